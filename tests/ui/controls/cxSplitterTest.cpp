// The splitter beside a panel, dragged and clicked with real mouse input:
// resizing, the minimum with and without snapping, hot-zone clicks against
// drags, vetoed opening and closing, Escape, and the hot-zone styles.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "cxSplitter.h"

namespace {

class SplitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 260);
    panel_ = new TPanel(form_.get());
    panel_->SetParent(form_.get());
    panel_->SetAlign(alLeft);
    panel_->SetWidth(100);
    splitter_ = new TcxSplitter(form_.get());
    splitter_->SetParent(form_.get());
    splitter_->SetLeft(100);
    splitter_->SetControl(panel_);
    edit_ = new TEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(200, 10, 100, 21);
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    ui_test::ReleaseHeldButtons();
    form_.reset();
  }
  // Presses at (X, Y) of the splitter, moves by DX on the screen and
  // releases (the points are fixed first: a live resize moves the
  // splitter under the mouse).
  void DragBy(Integer X, Integer Y, Integer DX) {
    const POINT from = ui_test::ScreenPointOf(splitter_, X, Y);
    const POINT half{from.x + DX / 2, from.y};
    const POINT to{from.x + DX, from.y};
    ui_test::MouseDown(from);
    ui_test::MoveMouseTo(half);
    ui_test::MoveMouseTo(to);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    ui_test::MouseUp(to);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  Integer HotZoneY() { return splitter_->Height() / 2; }

  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TPanel* panel_ = nullptr;
  TcxSplitter* splitter_ = nullptr;
  TEdit* edit_ = nullptr;
};

TEST_F(SplitterTest, Defaults) {
  TcxSplitter fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 8);
  EXPECT_EQ(fresh.Align(), alLeft);
  EXPECT_EQ(fresh.AlignSplitter(), salLeft);
  EXPECT_EQ(fresh.MinSize(), 30);
  EXPECT_EQ(fresh.DragThreshold(), 3);
  EXPECT_EQ(fresh.PositionAfterOpen(), 30);
  EXPECT_TRUE(fresh.AutoPosition());
  EXPECT_TRUE(fresh.AllowHotZoneDrag());
  EXPECT_FALSE(fresh.AutoSnap());
  EXPECT_FALSE(fresh.ResizeUpdate());
  EXPECT_EQ(fresh.HotZone(), nullptr);
  EXPECT_EQ(fresh.State(), ssOpened);
}

TEST_F(SplitterTest, DraggingResizesTheNeighbour) {
  int moved = 0;
  splitter_->OnMoved = TNotifyEvent::FromFunction([&](TObject*) { ++moved; });
  DragBy(4, 20, 60);
  EXPECT_EQ(panel_->Width(), 160);
  EXPECT_EQ(splitter_->Left(), 160);
  EXPECT_EQ(moved, 1);
  splitter_->SetResizeUpdate(true);
  DragBy(4, 20, -40);
  EXPECT_EQ(panel_->Width(), 120);
  EXPECT_EQ(splitter_->State(), ssOpened);
}

TEST_F(SplitterTest, BelowTheMinimumSnapsOrStops) {
  DragBy(4, 20, -90);  // to 10 pixels
  EXPECT_EQ(panel_->Width(), 30);
  EXPECT_EQ(splitter_->State(), ssOpened);

  panel_->SetWidth(120);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  splitter_->SetAutoSnap(true);
  DragBy(4, 20, -110);
  EXPECT_EQ(panel_->Width(), 0);
  EXPECT_EQ(splitter_->State(), ssClosed);
  splitter_->SetSplitterState(ssOpened);
  EXPECT_EQ(panel_->Width(), 120);
  EXPECT_EQ(splitter_->State(), ssOpened);
}

TEST_F(SplitterTest, DragMaximumStaysPositiveInASmallParent) {
  form_->SetClientWidth(120);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  DragBy(4, 20, 50);
  EXPECT_GE(splitter_->DragMaximum(), 30);
  EXPECT_GE(panel_->Width(), 30);
  EXPECT_LE(panel_->Width(), 120);
}

TEST_F(SplitterTest, HotZoneClickOrDragByThreshold) {
  splitter_->SetHotZoneClassName("TcxXPTaskBarStyle");
  ASSERT_NE(splitter_->HotZone(), nullptr);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  struct Case {
    Integer Move;
    TcxSplitterState State;
    Integer Width;
  };
  // 2 pixels are still a click (it closes); 3 pixels start a drag.
  for (const Case& c : {Case{2, ssClosed, 0}, Case{3, ssOpened, 103}}) {
    SCOPED_TRACE(c.Move);
    splitter_->SetSplitterState(ssOpened);
    panel_->SetWidth(100);
    splitter_->SetLeft(100);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    ASSERT_TRUE(splitter_->IsPointInHotZone(3, HotZoneY()));
    DragBy(3, HotZoneY(), c.Move);
    EXPECT_EQ(splitter_->State(), c.State);
    EXPECT_EQ(panel_->Width(), c.Width);
  }
}

TEST_F(SplitterTest, VetoedOpenOrCloseKeepsTheState) {
  bool allowClose = false, allowOpen = false;
  splitter_->OnBeforeClose = TBeforeCloseHotZoneEvent::FromFunction(
      [&](TObject*, bool& AAllow) { AAllow = allowClose; });
  splitter_->OnBeforeOpen = TBeforeOpenHotZoneEvent::FromFunction(
      [&](TObject*, Integer& ASize, bool& AAllow) {
        AAllow = allowOpen;
        ASize = 70;
      });
  splitter_->SetSplitterState(ssClosed);
  EXPECT_EQ(splitter_->State(), ssOpened);
  EXPECT_EQ(panel_->Width(), 100);
  allowClose = true;
  splitter_->SetSplitterState(ssClosed);
  EXPECT_EQ(splitter_->State(), ssClosed);
  EXPECT_EQ(panel_->Width(), 0);
  splitter_->SetSplitterState(ssOpened);
  EXPECT_EQ(splitter_->State(), ssClosed);
  EXPECT_EQ(panel_->Width(), 0);
  allowOpen = true;
  splitter_->SetSplitterState(ssOpened);
  EXPECT_EQ(splitter_->State(), ssOpened);
  EXPECT_EQ(panel_->Width(), 70);  // the handler chose the size
}

TEST_F(SplitterTest, EscapeEndsADragWithoutResizing) {
  edit_->SetFocus();
  ASSERT_TRUE(ui_test::WaitUntil([&] { return edit_->Focused(); }, "focus"));
  int moved = 0;
  splitter_->OnMoved = TNotifyEvent::FromFunction([&](TObject*) { ++moved; });
  ui_test::MouseDown(splitter_, 4, 20);
  ui_test::MoveMouseTo(splitter_, 44, 20);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_EQ(splitter_->DragState(), sstResizing);
  ui_test::PressKeys({VK_ESCAPE});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(splitter_->DragState(), sstNormal);
  ui_test::MouseUp(splitter_, 44, 20);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(panel_->Width(), 100);
  EXPECT_EQ(moved, 0);
  EXPECT_FALSE(edit_->OnKeyDown);  // the hook is gone
}

TEST_F(SplitterTest, HotZoneStylesByClassName) {
  struct Case {
    const char* Name;
    bool Found;
  };
  for (const Case& c :
       {Case{"TcxXPTaskBarStyle", true}, Case{"TcxSimpleStyle", true},
        Case{"TcxMediaPlayer8Style", true}, Case{"TcxMediaPlayer9Style", true},
        Case{"TcxNoSuchStyle", false}}) {
    SCOPED_TRACE(c.Name);
    splitter_->SetHotZoneClassName(c.Name);
    EXPECT_EQ(splitter_->HotZoneClassName(), c.Found ? c.Name : "");
    if (c.Found) {
      EXPECT_EQ(splitter_->Constraints()->MinWidth(), 8);
      EXPECT_EQ(splitter_->Constraints()->MaxWidth(), 8);
    } else {
      EXPECT_EQ(splitter_->Constraints()->MaxWidth(), 0);
    }
  }
  // A new style class keeps the size and visibility of the old one.
  splitter_->SetHotZoneClassName("TcxSimpleStyle");
  splitter_->HotZone()->SetSizePercent(100);
  splitter_->HotZone()->SetVisible(false);
  splitter_->SetHotZoneClassName("TcxXPTaskBarStyle");
  EXPECT_EQ(splitter_->HotZone()->SizePercent(), 100);
  EXPECT_FALSE(splitter_->HotZone()->Visible());
  // The width is fixed at 8 while a style is set.
  splitter_->SetWidth(20);
  EXPECT_EQ(splitter_->Width(), 8);
}

TEST(HotZoneStyleTest, SimpleStyleDotsAndDirections) {
  EXPECT_EQ(TcxSimpleStyle::DotCount(29), 0);
  EXPECT_EQ(TcxSimpleStyle::DotCount(30), 1);
  EXPECT_EQ(TcxSimpleStyle::DotCount(34), 1);
  EXPECT_EQ(TcxSimpleStyle::DotCount(35), 2);
  TcxSplitter splitter(nullptr);
  struct Case {
    TcxSplitterAlign Align;
    TcxSplitterState State;
    bool Invert;
    TcxSplitterDirection Expected;
  };
  for (const Case& c : {Case{salLeft, ssOpened, false, cxsdRightToLeft},
                        Case{salLeft, ssClosed, false, cxsdLeftToRight},
                        Case{salLeft, ssOpened, true, cxsdLeftToRight},
                        Case{salRight, ssOpened, false, cxsdLeftToRight},
                        Case{salTop, ssOpened, false, cxsdBottomToTop},
                        Case{salBottom, ssClosed, false, cxsdBottomToTop}}) {
    splitter.SetAlignSplitter(c.Align);
    splitter.SetInvertDirection(c.Invert);
    splitter.SetSplitterState(c.State);  // no control: stored as given
    EXPECT_EQ(splitter.CalculateSplitterDirection(), c.Expected);
  }
}

TEST_F(SplitterTest, SameColourDoesNotRepaint) {
  splitter_->SetHotZoneClassName("TcxXPTaskBarStyle");
  auto* style = static_cast<TcxXPTaskBarStyle*>(splitter_->HotZone());
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  style->SetShadowColor(style->ShadowColor());
  EXPECT_FALSE(::GetUpdateRect(splitter_->Handle(), nullptr, FALSE));
  style->SetShadowColor(clRed);
  EXPECT_TRUE(::GetUpdateRect(splitter_->Handle(), nullptr, FALSE));
}

TEST_F(SplitterTest, XPTaskBarDotsArePainted) {
  splitter_->SetNativeBackground(false);
  splitter_->SetColor(clWhite);
  splitter_->SetHotZoneClassName("TcxXPTaskBarStyle");
  auto* style = static_cast<TcxXPTaskBarStyle*>(splitter_->HotZone());
  style->SetShadowColor(clRed);
  style->SetLightColor(clBlue);
  splitter_->Repaint();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  const TRect zone = style->HotZoneRect();
  // The first dot of the first row: shadow square at (left + 1, top + 4),
  // light square one pixel down and right.
  HDC dc = ::GetDC(splitter_->Handle());
  const COLORREF shadow = ::GetPixel(dc, zone.Left + 1, zone.Top + 4);
  const COLORREF light = ::GetPixel(dc, zone.Left + 3, zone.Top + 6);
  const COLORREF ground = ::GetPixel(dc, 7, 2);
  ::ReleaseDC(splitter_->Handle(), dc);
  EXPECT_EQ(shadow, RGB(255, 0, 0));
  EXPECT_EQ(light, RGB(0, 0, 255));
  EXPECT_EQ(ground, RGB(255, 255, 255));
}

}  // namespace

namespace {

TEST_F(SplitterTest, FindsTheControlOnItsAlignedSide) {
  splitter_->SetControl(nullptr);
  EXPECT_EQ(splitter_->FindControl(), panel_);
  splitter_->SetAlignSplitter(salRight);
  EXPECT_EQ(splitter_->FindControl(), nullptr);
}

TEST_F(SplitterTest, NoHotZoneDragAndRefusedResize) {
  splitter_->SetHotZoneClassName("TcxSimpleStyle");
  splitter_->SetAllowHotZoneDrag(false);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  const Integer y = splitter_->Height() / 2;
  const POINT from = ui_test::ScreenPointOf(splitter_, 3, y);
  ui_test::MouseDown(from);
  ui_test::MoveMouseTo(POINT{from.x + 40, from.y});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(splitter_->DragState(), sstHotZoneClick);
  ui_test::MouseUp(POINT{from.x + 40, from.y});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(panel_->Width(), 100);
  EXPECT_EQ(splitter_->State(), ssOpened);  // released outside the zone

  splitter_->OnCanResize = TcxCanResizeEvent::FromFunction(
      [](TObject*, Integer& ASize, bool& AAccept) { AAccept = ASize < 130; });
  DragBy(4, 20, 50);
  EXPECT_LT(panel_->Width(), 130);
}

}  // namespace

namespace {

TEST_F(SplitterTest, PostedMouseMessagesResizeTheNeighbour) {
  const HWND wnd = splitter_->Handle();
  auto post = [wnd](UINT AMsg, WPARAM AKeys, int X, int Y) {
    ::PostMessageA(wnd, AMsg, AKeys, MAKELPARAM(X, Y));
  };
  post(WM_LBUTTONDOWN, MK_LBUTTON, 4, 30);
  post(WM_MOUSEMOVE, MK_LBUTTON, 24, 30);
  post(WM_MOUSEMOVE, MK_LBUTTON, 49, 30);
  post(WM_LBUTTONUP, 0, 49, 30);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return panel_->Width() != 100; },
                                 "the panel resized"));
  EXPECT_EQ(panel_->Width(), 145);
  EXPECT_EQ(splitter_->Left(), 145);
  EXPECT_EQ(splitter_->DragState(), sstNormal);
}

}  // namespace
