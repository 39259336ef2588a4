// The buttons in a floating bar's caption: their states under the mouse as
// a table, the button found at a point, and on the screen the hover that
// makes one hot and the press loop that clicks it once.
#include <gtest/gtest.h>

#include <vector>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarHints.h"
#include "dxBarMenuTestSupport.h"

namespace {

using namespace ui_test;

// Three buttons side by side, 10 pixels each, the middle one disabled.
class dxBarCaptionButtonsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    buttons_ = bar_->CaptionButtons();
    for (Integer i = 0; i < 3; ++i) {
      TdxBarCaptionButton* b = buttons_->Add();
      b->SetBounds(Rect(10 * i, 0, 10 * i + 10, 10));
    }
    buttons_->Items(1)->SetEnabled(false);
  }
  std::vector<Integer> States() const {
    std::vector<Integer> s;
    for (Integer i = 0; i < buttons_->Count(); ++i)
      s.push_back(buttons_->Items(i)->State());
    return s;
  }
  TObjectPtr<TdxBar> bar_{new TdxBar(nullptr)};
  TdxBarCaptionButtons* buttons_ = nullptr;
};

TEST_F(dxBarCaptionButtonsTableTest, StatesFollowThePointAndThePress) {
  constexpr Integer N = dxBarCaptionButtonNormal;
  constexpr Integer D = dxBarCaptionButtonDisabled;
  constexpr Integer H = dxBarCaptionButtonHot;
  constexpr Integer P = dxBarCaptionButtonPressed;
  struct Case {
    TPoint At;
    bool Pressed;
    std::vector<Integer> Expected;
  };
  const Case cases[] = {
      {{5, 5}, false, {H, D, N}},   {{5, 5}, true, {P, D, N}},
      {{25, 5}, false, {N, D, H}},  {{15, 5}, false, {N, D, N}},
      {{25, 5}, true, {N, D, P}},   {{50, 5}, true, {N, D, N}},
      {{-1, -1}, false, {N, D, N}},
  };
  for (const Case& c : cases) {
    buttons_->UpdateButtonStates(c.At, c.Pressed);
    EXPECT_EQ(c.Expected, States())
        << "at " << c.At.X << "," << c.At.Y << " pressed " << c.Pressed;
  }
}

TEST_F(dxBarCaptionButtonsTableTest, TheButtonAtAPointIsAnEnabledOne) {
  const std::pair<TPoint, Integer> cases[] = {
      {{0, 0}, 0},  {{9, 9}, 0},   {{10, 5}, -1}, {{19, 5}, -1},
      {{20, 0}, 2}, {{30, 5}, -1}, {{5, 10}, -1}, {{-1, 5}, -1},
  };
  for (const auto& [at, index] : cases)
    EXPECT_EQ(index, buttons_->GetButtonIndex(at)) << at.X << "," << at.Y;
  EXPECT_EQ(Rect(0, 0, 30, 10), buttons_->GetRect());
  buttons_->Items(1)->SetEnabled(true);
  EXPECT_EQ(dxBarCaptionButtonNormal, buttons_->Items(1)->State());
  EXPECT_EQ(1, buttons_->GetButtonIndex({15, 5}));
}

TEST_F(dxBarCaptionButtonsTableTest, OnlyAHotButtonHasAHint) {
  TdxBarCaptionButton* b = buttons_->Items(0);
  b->SetHint("Pin");
  bool deactivate = false;
  String hint, shortCut;
  EXPECT_FALSE(b->DoHint(deactivate, hint, shortCut));
  buttons_->UpdateButtonStates({5, 5}, false);
  ASSERT_TRUE(b->DoHint(deactivate, hint, shortCut));
  EXPECT_EQ("Pin", hint);
  EXPECT_EQ("", shortCut);
}

TEST_F(dxBarCaptionButtonsTableTest, AnotherBarTakesCopiesOfTheButtons) {
  int clicks = 0;
  buttons_->Items(0)->SetHint("First");
  buttons_->Items(0)->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  TObjectPtr<TdxBar> other(new TdxBar(nullptr));
  TdxBarCaptionButtons* copies = other->CaptionButtons();
  copies->Assign(buttons_);
  ASSERT_EQ(3, copies->Count());
  EXPECT_EQ("First", copies->Items(0)->Hint());
  EXPECT_FALSE(copies->Items(1)->Enabled());
  EXPECT_EQ(Rect(20, 0, 30, 10), copies->Items(2)->Bounds());
  copies->Items(0)->Click();
  EXPECT_EQ(1, clicks);
}

class dxBarCaptionButtonsTest : public bar_test::TBarFormTest {
 protected:
  // A floating toolbar with two caption buttons; the second counts its
  // clicks.
  TdxBarControl* FloatingBar() {
    bar_ = manager_->Bars()->Add();
    bar_->SetCaption("Tools");
    bar_->ItemLinks()->Add(Button("Some button"));
    bar_->CaptionButtons()->Add()->SetHint("Pin");
    TdxBarCaptionButton* counted = bar_->CaptionButtons()->Add();
    counted->SetHint("Options");
    counted->OnClick = TNotifyEvent::FromFunction([this](TObject* ASender) {
      clicks_ += ASender == bar_->CaptionButtons()->Items(1) ? 1 : 100;
    });
    // A floating bar shows only while its form does.
    ShowForm();
    bar_->SetFloatLeft(200);
    bar_->SetFloatTop(200);
    bar_->SetDockingStyle(dsNone);
    bar_->SetVisible(true);
    PumpUntilIdle();
    return dynamic_cast<TdxBarControl*>(bar_->Control());
  }
  POINT OnScreen(TdxBarControl* AControl, const TRect& AWindowRect) {
    RECT window{};
    ::GetWindowRect(AControl->Handle(), &window);
    return {window.left + (AWindowRect.Left + AWindowRect.Right) / 2,
            window.top + (AWindowRect.Top + AWindowRect.Bottom) / 2};
  }
  // The colour in the middle of a window-coordinate rectangle, as painted.
  static COLORREF PixelAt(TdxBarControl* AControl, const TRect& R) {
    ::RedrawWindow(AControl->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpUntilIdle();
    HDC dc = ::GetWindowDC(AControl->Handle());
    const COLORREF c = ::GetPixel(dc, R.Left + 1, (R.Top + R.Bottom) / 2);
    ::ReleaseDC(AControl->Handle(), dc);
    return c;
  }
  TdxBar* bar_ = nullptr;
  int clicks_ = 0;
  TCursorPosGuard cursor_;
};

TEST_F(dxBarCaptionButtonsTest, TheButtonsStandInTheCaptionBeforeTheClose) {
  TdxBarControl* control = FloatingBar();
  ASSERT_TRUE(control);
  TdxBarCaptionButtons* buttons = bar_->CaptionButtons();
  const TRect first = buttons->Items(0)->Bounds();
  const TRect second = buttons->Items(1)->Bounds();
  const TRect close = control->CloseButtonRectNC();
  ASSERT_FALSE(IsRectEmpty(first));
  ASSERT_FALSE(IsRectEmpty(close));
  EXPECT_LE(first.Right, second.Left);
  EXPECT_LE(second.Right, close.Left);
  EXPECT_EQ(first.Top, close.Top);
  // Docked there is no caption and so no button.
  bar_->SetDockingStyle(dsTop);
  PumpUntilIdle();
  EXPECT_TRUE(IsRectEmpty(buttons->GetRect()));
}

TEST_F(dxBarCaptionButtonsTest, HoverMakesAButtonHotAndAClickClicksItOnce) {
  TdxBarControl* control = FloatingBar();
  ASSERT_TRUE(control);
  TdxBarCaptionButton* target = bar_->CaptionButtons()->Items(1);
  const TRect r = target->Bounds();
  const COLORREF normal = PixelAt(control, r);

  MoveMouseTo(OnScreen(control, r));
  PumpUntilIdle();
  EXPECT_EQ(dxBarCaptionButtonHot, target->State());
  EXPECT_EQ(dxBarCaptionButtonNormal,
            bar_->CaptionButtons()->Items(0)->State());
  EXPECT_NE(normal, PixelAt(control, r)) << "the hot button looks different";
  EXPECT_TRUE(dxBarHintActive()) << "its hint is on its way";

  // Moving on to the other button moves the hot state with it.
  MoveMouseTo(OnScreen(control, bar_->CaptionButtons()->Items(0)->Bounds()));
  PumpUntilIdle();
  EXPECT_EQ(dxBarCaptionButtonNormal, target->State());
  EXPECT_EQ(dxBarCaptionButtonHot, bar_->CaptionButtons()->Items(0)->State());

  Click(OnScreen(control, r));
  EXPECT_EQ(1, clicks_);
  EXPECT_TRUE(bar_->Visible()) << "a caption button is not the close button";
  EXPECT_FALSE(control->Moving());
}

TEST_F(dxBarCaptionButtonsTest, APressReleasedAwayFromTheButtonClicksNothing) {
  TdxBarControl* control = FloatingBar();
  ASSERT_TRUE(control);
  TdxBarCaptionButton* target = bar_->CaptionButtons()->Items(1);
  const POINT on = OnScreen(control, target->Bounds());
  RECT window{};
  ::GetWindowRect(control->Handle(), &window);
  const POINT away{window.left - 30, window.bottom + 30};
  ASSERT_TRUE(
      TModalDrag(on)
          .WaitFor([&] { return target->State() == dxBarCaptionButtonPressed; },
                   "the button pressed")
          .MoveTo(away)
          .WaitFor([&] { return target->State() == dxBarCaptionButtonNormal; },
                   "the button up again while away")
          .Release()
          .Run());
  EXPECT_EQ(0, clicks_);
  EXPECT_EQ(dxBarCaptionButtonNormal, target->State());
  // The bar did not move: the press was the button's, not the caption's.
  RECT after{};
  ::GetWindowRect(control->Handle(), &after);
  EXPECT_EQ(window.left, after.left);
  EXPECT_EQ(window.top, after.top);
}

// Quick customization does not exist in this program, so a floating bar's
// mark never shows; the poll that would end its hot state still works.
TEST_F(dxBarCaptionButtonsTest,
       TheMoreButtonsPollEndsAHotMarkOnceTheMouseIsOff) {
  TdxBarControl* control = FloatingBar();
  ASSERT_TRUE(control);
  EXPECT_FALSE(control->MarkExists());
  control->SetMarkState(msSelected);
  EXPECT_TRUE(control->MoreButtonsHintTimerRunning());
  control->MoreButtonsHintTimer();
  EXPECT_EQ(msNone, control->MarkState());
  EXPECT_FALSE(control->MoreButtonsHintTimerRunning());
  bar_->SetDockingStyle(dsTop);
  PumpUntilIdle();
  control = dynamic_cast<TdxBarControl*>(bar_->Control());
  ASSERT_TRUE(control);
  control->SetMarkState(msSelected);
  EXPECT_FALSE(control->MoreButtonsHintTimerRunning()) << "floating bars only";
  control->SetMarkState(msNone);
}

}  // namespace
