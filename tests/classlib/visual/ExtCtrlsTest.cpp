// Panels, images and timers.
#include <gtest/gtest.h>
#include <windows.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

TEST(ExtCtrls, PanelBordersShrinkTheAlignedArea) {
  struct Case {
    TPanelBevel outer, inner;
    Integer bevelWidth, borderWidth;
    Integer inset;
  };
  const Case cases[] = {
      {bvNone, bvNone, 1, 0, 0},      {bvRaised, bvNone, 1, 0, 1},
      {bvRaised, bvLowered, 2, 0, 4}, {bvNone, bvNone, 1, 5, 5},
      {bvLowered, bvRaised, 1, 3, 5},
  };
  for (const Case& c : cases) {
    TObjectPtr<TPanel> panel(new TPanel(nullptr));
    panel->SetBounds(0, 0, 100, 60);
    panel->SetBevelOuter(c.outer);
    panel->SetBevelInner(c.inner);
    panel->SetBevelWidth(c.bevelWidth);
    panel->SetBorderWidth(c.borderWidth);
    auto* child = new TPanel(panel.get());
    child->SetParent(panel.get());
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(),
              Rect(c.inset, c.inset, 100 - c.inset, 60 - c.inset));
  }
}

TEST(ExtCtrls, TimerFiresWhileEnabled) {
  TObjectPtr<TTimer> timer(new TTimer(nullptr));
  int ticks = 0;
  timer->OnTimer = TNotifyEvent::FromFunction([&](TObject*) { ++ticks; });
  timer->SetInterval(10);
  EXPECT_TRUE(WaitUntil([&] { return ticks >= 2; }, "two ticks"));
  timer->SetEnabled(false);
  const int stopped = ticks;
  // A witness of the same interval ticking three times gives the stopped
  // timer every chance to tick once more.
  TObjectPtr<TTimer> witness(new TTimer(nullptr));
  int witnessTicks = 0;
  witness->OnTimer =
      TNotifyEvent::FromFunction([&](TObject*) { ++witnessTicks; });
  witness->SetInterval(10);
  EXPECT_TRUE(WaitUntil([&] { return witnessTicks >= 3; }, "the witness"));
  EXPECT_EQ(ticks, stopped);
}

TEST(ExtCtrls, ExceptionInTimerGoesToApplication) {
  TObjectPtr<TTimer> timer(new TTimer(nullptr));
  String seen;
  Application->OnException = TExceptionEvent::FromFunction(
      [&](TObject*, Exception* e) { seen = e->Message(); });
  timer->OnTimer = TNotifyEvent::FromFunction([&](TObject*) {
    timer->SetEnabled(false);
    throw Exception("tick failed");
  });
  timer->SetInterval(5);
  EXPECT_TRUE(WaitUntil([&] { return !seen.empty(); }, "the exception"));
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "tick failed");
}

TEST(ExtCtrls, ImagePlacesPictureByStretchCenterAndProportion) {
  struct Case {
    bool stretch, center, proportional;
    TRect expected;
  };
  // A 40x20 picture in a 100x100 image.
  const Case cases[] = {
      {false, false, false, Rect(0, 0, 40, 20)},
      {false, true, false, Rect(30, 40, 70, 60)},
      {true, false, false, Rect(0, 0, 100, 100)},
      {true, false, true, Rect(0, 0, 100, 50)},
      {true, true, true, Rect(0, 25, 100, 75)},
  };
  for (const Case& c : cases) {
    TObjectPtr<TImage> image(new TImage(nullptr));
    image->SetBounds(0, 0, 100, 100);
    TObjectPtr<TBitmap> bmp(new TBitmap);
    bmp->SetSize(40, 20);
    image->Picture()->SetGraphic(bmp.get());
    image->SetStretch(c.stretch);
    image->SetCenter(c.center);
    image->SetProportional(c.proportional);
    EXPECT_EQ(image->DestRect(), c.expected);
  }
}

TEST(ExtCtrls, AutoSizeImageTakesPictureSize) {
  TObjectPtr<TImage> image(new TImage(nullptr));
  image->SetAutoSize(true);
  TObjectPtr<TBitmap> bmp(new TBitmap);
  bmp->SetSize(33, 17);
  image->Picture()->SetGraphic(bmp.get());
  EXPECT_EQ(image->Width(), 33);
  EXPECT_EQ(image->Height(), 17);
}

}  // namespace
