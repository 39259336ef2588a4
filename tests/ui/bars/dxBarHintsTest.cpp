// Bar hints: shown after the delay for the toolbar item under the mouse,
// hidden after their time, passed on at once from item to item, never
// shown for an item without hint text, and kept on the work area.
#include <gtest/gtest.h>

#include "Forms.h"
#include "SysUtils.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarHints.h"
#include "dxBarMenuTestSupport.h"

namespace {

using namespace ui_test;

class BarHintsTest : public bar_test::TBarFormTest {
 protected:
  void TearDown() override {
    TBarFormTest::TearDown();
    if (dxBarQuickReshow()) dxBarFireReshowTimer();
  }
  TdxBarButton* Button(const String& ACaption, const String& AHint) {
    TdxBarButton* b = bar_test::AddButton(manager_, ACaption);
    b->SetHint(AHint);
    return b;
  }
  void Show(std::initializer_list<TdxBarItem*> AItems) {
    bar_ = manager_->Bars()->Add();
    for (TdxBarItem* item : AItems) bar_->ItemLinks()->Add(item);
    bar_->SetDockingStyle(dsTop);
    bar_->SetVisible(true);
    ShowForm();
  }
  POINT Centre(TdxBarItem* AItem) {
    TdxBarItemControl* c = AItem->GetLinks(0)->Control();
    const TRect r = c->GetItemBounds();
    return ScreenPointOf(bar_->Control()->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }
  static bool Showing() {
    return dxBarHintWindow() && dxBarHintWindow()->IsShowing();
  }
  static String ShownText() {
    return Showing() ? dxBarHintWindow()->ViewInfo()->Text() : String();
  }

  TdxBar* bar_ = nullptr;
  TCursorPosGuard cursor_;
};

TEST_F(BarHintsTest, AHintShowsAfterTheDelayAndGoesAfterItsTime) {
  manager_->ShowShortCutInHint = true;
  TdxBarButton* save = Button("Save", "Save|Saves the file");
  save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  Show({save});
  const POINT at = Centre(save);
  MoveMouseTo(at);
  PumpUntilIdle();
  EXPECT_TRUE(dxBarHintTimerRunning());
  EXPECT_FALSE(Showing());
  dxBarFireHintTimer();
  PumpUntilIdle();
  ASSERT_TRUE(Showing());
  EXPECT_EQ("Save (Ctrl+S)", ShownText());
  const TRect r = dxBarHintWindow()->BoundsRect();
  EXPECT_EQ(at.y + 20, r.Top);
  EXPECT_TRUE(dxBarHintTimerRunning()) << "the hide timer runs";
  dxBarFireHintTimer();
  PumpUntilIdle();
  EXPECT_FALSE(Showing());
  EXPECT_FALSE(dxBarHintActive());
}

TEST_F(BarHintsTest, AShownHintPassesAtOnceToTheNextItem) {
  TdxBarButton* open = Button("Open", "Open a file");
  TdxBarButton* close = Button("Close", "Close it");
  TdxBarButton* bare = Button("Bare", "");
  bare->SetShortCut(ShortCut('B', TShiftState{ssCtrl}));
  Show({open, close, bare});
  MoveMouseTo(Centre(open));
  PumpUntilIdle();
  dxBarFireHintTimer();
  PumpUntilIdle();
  ASSERT_EQ("Open a file", ShownText());
  MoveMouseTo(Centre(close));
  PumpUntilIdle();
  EXPECT_EQ("Close it", ShownText()) << "no new delay while one shows";
  // An item without hint text shows none, whatever its shortcut.
  MoveMouseTo(Centre(bare));
  PumpUntilIdle();
  if (dxBarHintTimerRunning()) dxBarFireHintTimer();
  PumpUntilIdle();
  EXPECT_FALSE(Showing());
  // Just after a hint went, the next one comes without the delay.
  EXPECT_TRUE(dxBarQuickReshow());
  MoveMouseTo(Centre(open));
  PumpUntilIdle();
  EXPECT_EQ("Open a file", ShownText());
}

TEST(BarHintGeometryTest, HintsStayOnTheWorkArea) {
  const TRect area{0, 0, 800, 600};
  struct Case {
    TPoint At;
    TSize Size;
    TPoint Expected;
  };
  for (const Case& c : {Case{{100, 100}, {120, 30}, {100, 100}},
                        Case{{750, 100}, {120, 30}, {680, 100}},
                        Case{{100, 590}, {120, 30}, {100, 540}},
                        Case{{-40, -10}, {120, 30}, {0, 0}}})
    EXPECT_EQ(c.Expected, dxBarCorrectHintPos(c.At, c.Size, area))
        << c.At.X << "," << c.At.Y;
}

TEST(BarHintViewInfoTest, PaintersMakePlainHintsEvenForScreenTips) {
  TdxBarStandardPainter standard;
  TdxBarFlatPainter flat;
  TObject screenTip;
  for (TdxBarPainter* painter : {static_cast<TdxBarPainter*>(&standard),
                                 static_cast<TdxBarPainter*>(&flat)}) {
    // A screen tip is not drawn: the hint text shows, with the shortcut.
    EXPECT_EQ(
        "Open (Ctrl+O)",
        painter->CreateHintViewInfo(nullptr, "Open", " (Ctrl+O)", &screenTip)
            ->Text());
    EXPECT_EQ(
        "Open",
        painter->CreateHintViewInfo(nullptr, "Open", "", nullptr)->Text());
    // No hint text, no hint, whatever the shortcut.
    EXPECT_EQ(
        "",
        painter->CreateHintViewInfo(nullptr, "", " (Ctrl+O)", nullptr)->Text());
  }
}

}  // namespace
