// The page and tab controls in windows: clicks, Ctrl+Tab and arrow keys
// through the UI driver, a held scroll arrow with its timer driven by the
// test, a page control from a form stream, the go dialog and the pixels of
// the standard painter.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "ScopeGuard.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "cxGeometry.h"
#include "cxPC.h"
#include "cxPCPainters.h"
#include "cxPCTestPainters.h"

// The form class of forms/TPCTestForm.txt.
class TPCTestForm : public TForm {
  VARNEL_CLASS(TPCTestForm, TForm)
 public:
  explicit TPCTestForm(TComponent* AOwner) : TForm(AOwner) {}
  Integer PageChangings = 0;
  void pcMainPageChanging(TObject*, TcxTabSheet*, bool&) { ++PageChangings; }
  template <class T>
  T* Child(const char* AName) {
    return dynamic_cast<T*>(FindComponent(AName));
  }
};

namespace {

void PublishTestForm() {
  static bool done = false;
  if (done) return;
  done = true;
  TPublished<TPCTestForm>().Method("pcMainPageChanging",
                                   &TPCTestForm::pcMainPageChanging);
}

// The centre of a tab on the screen.
POINT TabPoint(TcxCustomTabControl* AControl, Integer TabVisibleIndex) {
  TRect r = AControl->Tabs()->GetVisibleTab(TabVisibleIndex)->VisibleRect();
  return ui_test::ScreenPointOf(AControl, (r.Left + r.Right) / 2,
                                (r.Top + r.Bottom) / 2);
}

class PageControlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 300);
    pc_ = new TcxPageControl(form_.get());
    pc_->SetStyle(kTestStandardStyle);
    pc_->SetParent(form_.get());
    pc_->SetBounds(8, 8, 380, 240);
    for (const char* caption : {"&Common", "&Office", "&Third"}) {
      auto* sheet = new TcxTabSheet(form_.get());
      sheet->SetCaption(caption);
      sheet->SetPageControl(pc_);
      sheets_.push_back(sheet);
    }
    edit_ = new TEdit(form_.get());
    edit_->SetParent(sheets_[0]);
    edit_->SetBounds(10, 10, 100, 21);
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    pc_->OnPageChanging = TcxPageChangingEvent::FromFunction(
        [this](TObject*, TcxTabSheet* APage, bool& AAllow) {
          log_.push_back("changing " + APage->Caption());
          AAllow = allow_;
        });
    pc_->OnChange = TNotifyEvent::FromFunction(
        [this](TObject*) { log_.push_back("change"); });
    for (TcxTabSheet* sheet : sheets_) {
      sheet->OnShow = TNotifyEvent::FromFunction([this, sheet](TObject*) {
        log_.push_back("show " + sheet->Caption());
      });
      sheet->OnHide = TNotifyEvent::FromFunction([this, sheet](TObject*) {
        log_.push_back("hide " + sheet->Caption());
      });
    }
  }
  void TearDown() override {
    if (::GetCapture()) ::ReleaseCapture();
    form_.reset();
  }

  TTestPaintersScope painters_;
  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TcxPageControl* pc_ = nullptr;
  TEdit* edit_ = nullptr;
  std::vector<TcxTabSheet*> sheets_;
  std::vector<String> log_;
  bool allow_ = true;
};

TEST_F(PageControlWindowTest, ClickingATabShowsItsPage) {
  ASSERT_EQ(pc_->ActivePage(), sheets_[0]);
  ui_test::Click(TabPoint(pc_, 1));
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[1]; }, "the Office page"));
  EXPECT_EQ(log_, (std::vector<String>{"changing &Office", "hide &Common",
                                       "show &Office", "change"}));
  EXPECT_TRUE(sheets_[1]->Visible());
  EXPECT_FALSE(sheets_[0]->Visible());
  EXPECT_EQ(pc_->TabIndex(), 1);

  // A refused change keeps the page and raises no OnChange.
  log_.clear();
  allow_ = false;
  ui_test::Click(TabPoint(pc_, 2));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(log_, (std::vector<String>{"changing &Third"}));
  EXPECT_EQ(pc_->ActivePage(), sheets_[1]);
  EXPECT_EQ(pc_->TabIndex(), 1);
}

TEST_F(PageControlWindowTest, CtrlTabAndArrowKeysSwitchPages) {
  edit_->SetFocus();
  ASSERT_TRUE(ui_test::WaitUntil([&] { return edit_->Focused(); }, "focus"));
  ui_test::PressKeys({VK_CONTROL, VK_TAB});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[1]; }, "Ctrl+Tab to Office"));
  ui_test::PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[0]; }, "Ctrl+Shift+Tab back"));
  ui_test::PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  ASSERT_TRUE(
      ui_test::WaitUntil([&] { return pc_->ActivePage() == sheets_[2]; },
                         "wrapping to the last page"));

  pc_->SetFocus();
  ASSERT_TRUE(ui_test::WaitUntil([&] { return pc_->Focused(); }, "focus"));
  ui_test::PressKeys({VK_RIGHT});  // on the last tab: nothing
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(pc_->ActivePage(), sheets_[2]);
  ui_test::PressKeys({VK_LEFT});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[1]; }, "Left to Office"));
  ui_test::PressKeys({VK_HOME});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[0]; }, "Home to Common"));
}

TEST_F(PageControlWindowTest, AcceleratorSelectsTheFirstMatchingShownTab) {
  sheets_[1]->SetTabVisible(false);
  edit_->SetFocus();
  ASSERT_TRUE(ui_test::WaitUntil([&] { return edit_->Focused(); }, "focus"));
  ui_test::PressKeys({VK_MENU, 'O'});  // Office's tab is hidden
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(pc_->ActivePage(), sheets_[0]);
  ui_test::PressKeys({VK_MENU, 'T'});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[2]; }, "Alt+T to Third"));
}

TEST_F(PageControlWindowTest, RemovingTheActivePageActivatesTheNext) {
  pc_->SetActivePage(sheets_[1]);
  TObjectDeleter()(sheets_[1]);
  EXPECT_EQ(pc_->ActivePage(), sheets_[2]);
  EXPECT_EQ(pc_->TabIndex(), 1);
  EXPECT_EQ(pc_->Tabs()->Strings(1), "&Third");
  TObjectDeleter()(sheets_[2]);
  EXPECT_EQ(pc_->ActivePage(), sheets_[0]);
  EXPECT_EQ(sheets_[0]->PageIndex(), 0);
  try {
    sheets_[0]->SetPageIndex(3);
    ADD_FAILURE() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(),
              "3 is an invalid PageIndex value.  PageIndex must be between 0 "
              "and 0");
  }
}

TEST_F(PageControlWindowTest, HidingTheActiveTabSelectsTheNextVisible) {
  pc_->SetActivePage(sheets_[1]);
  sheets_[1]->SetTabVisible(false);
  EXPECT_EQ(pc_->ActivePage(), sheets_[2]);
  EXPECT_EQ(pc_->TabIndex(), 2);
}

TEST_F(PageControlWindowTest, GoDialogListsTabsAndSelectsTheClickedOne) {
  pc_->SetOptions(pc_->Options() + TcxPCOptions{pcoGoDialog});
  ASSERT_TRUE(pc_->NavigatorButtons.Contains(nbGoDialog));
  TRect button = pc_->Painter()->GetGoDialogButtonBounds();
  POINT p = ui_test::ScreenPointOf(pc_, (button.Left + button.Right) / 2,
                                   (button.Top + button.Bottom) / 2);
  ui_test::ChooseMenuItem([&] { ui_test::Click(p); }, "Third");
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return pc_->ActivePage() == sheets_[2]; }, "the chosen page"));
  EXPECT_FALSE(pc_->GoDialogShowing());
  EXPECT_EQ(pc_->NavigatorButtonStates[nbGoDialog], nbsNormal);
}

// --- The held arrow ---

class TabScrollWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 200);
    tc_ = new TcxTabControl(form_.get());
    tc_->SetStyle(kTestStandardStyle);
    tc_->SetParent(form_.get());
    tc_->SetBounds(8, 8, 240, 120);
    tc_->SetTabWidth(60);
    for (Integer i = 0; i < 8; ++i) tc_->Tabs()->Add("Tab " + IntToStr(i));
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    if (::GetCapture()) ::ReleaseCapture();
    form_.reset();
  }
  POINT ButtonPoint(TcxPCNavigatorButton AButton) {
    auto* painter = dynamic_cast<TcxPCStandardPainter*>(tc_->Painter());
    for (const auto& b : painter->NavigatorButtonPositions())
      if (b.Button == AButton)
        return ui_test::ScreenPointOf(tc_, (b.Rect.Left + b.Rect.Right) / 2,
                                      (b.Rect.Top + b.Rect.Bottom) / 2);
    ADD_FAILURE() << "button not shown";
    return POINT{};
  }

  TTestPaintersScope painters_;
  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TcxTabControl* tc_ = nullptr;
};

TEST_F(TabScrollWindowTest,
       HeldArrowScrollsNowThenAfterTheStartDelayThenEachDelay) {
  EXPECT_EQ(TabScrollingStartDelay, 300);
  EXPECT_EQ(TabScrollingDelay, 150);
  // The test drives the ticks; the system timer must not fire meanwhile.
  TRestoreOnExit<Integer> start(TabScrollingStartDelay, 300000);
  TRestoreOnExit<Integer> repeat(TabScrollingDelay, 150000);
  ASSERT_EQ(tc_->FirstVisibleTab, 0);
  POINT arrow = ButtonPoint(nbBottomRight);
  ui_test::MouseDown(arrow);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return tc_->FirstVisibleTab == 1; },
                                 "the first scroll at once"));
  ASSERT_NE(tc_->Timer(), nullptr);
  EXPECT_TRUE(tc_->Timer()->Enabled());
  EXPECT_EQ(tc_->Timer()->Interval(), 300000u);
  EXPECT_EQ(tc_->NavigatorButtonStates[nbBottomRight], nbsPressed);

  tc_->Timer()->TimeOut();
  EXPECT_EQ(tc_->FirstVisibleTab, 2);
  EXPECT_EQ(tc_->Timer()->Interval(), 150000u);
  tc_->Timer()->TimeOut();
  EXPECT_EQ(tc_->FirstVisibleTab, 3);
  EXPECT_EQ(tc_->Timer()->Interval(), 150000u);

  // Up to the end: the arrow turns disabled and the next tick stops.
  for (Integer i = 0; i < 10 && tc_->Timer()->Enabled(); ++i)
    tc_->Timer()->TimeOut();
  EXPECT_FALSE(tc_->Timer()->Enabled());
  EXPECT_TRUE(tc_->IsLastTabFullyVisible);
  EXPECT_EQ(tc_->LastVisibleTab, 7);
  EXPECT_EQ(tc_->NavigatorButtonStates[nbBottomRight], nbsDisabled);
  ui_test::MouseUp(arrow);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
}

TEST_F(TabScrollWindowTest, DraggingOffTheArrowStopsTheRepeat) {
  TRestoreOnExit<Integer> start(TabScrollingStartDelay, 300000);
  POINT arrow = ButtonPoint(nbBottomRight);
  ui_test::MouseDown(arrow);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return tc_->FirstVisibleTab == 1; },
                                 "the first scroll"));
  ui_test::MoveMouseTo(POINT{arrow.x, arrow.y + 60});
  ASSERT_TRUE(ui_test::WaitUntil([&] { return !tc_->Timer()->Enabled(); },
                                 "the repeat to stop"));
  EXPECT_EQ(tc_->NavigatorButtonStates[nbBottomRight], nbsNormal);
  ui_test::MouseUp(POINT{arrow.x, arrow.y + 60});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(tc_->FirstVisibleTab, 1);
}

// --- Pixels ---

TColor PixelAt(TWinControl* AControl, Integer X, Integer Y) {
  HDC dc = ::GetDC(AControl->Handle());
  COLORREF c = ::GetPixel(dc, X, Y);
  ::ReleaseDC(AControl->Handle(), dc);
  return static_cast<TColor>(c);
}

TEST_F(TabScrollWindowTest, StandardPainterDrawsTheSelectedTabAndFrame) {
  tc_->SetShowFrame(true);
  tc_->SetTabIndex(1);
  ::RedrawWindow(tc_->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  auto* painter = dynamic_cast<TcxPCStandardPainter*>(tc_->Painter());
  ASSERT_NE(painter, nullptr);
  // The content of the selected tab lies on its body colour, the others'
  // on theirs.
  painter->StandardPainterPrepareOutTabImageAndTextData(1);
  TRect text = painter->OutTabImageAndTextData.TabTextRect;
  ASSERT_FALSE(cxRectIsEmpty(text));
  EXPECT_EQ(PixelAt(tc_, text.Left, text.Top), ColorToRGB(clWindow));
  painter->StandardPainterPrepareOutTabImageAndTextData(0);
  TRect other = painter->OutTabImageAndTextData.TabTextRect;
  EXPECT_EQ(PixelAt(tc_, other.Left, other.Top), ColorToRGB(clBtnFace));
  // The page frame: two rings, light on the left and top.
  TRect frame = painter->GetFrameRect();
  EXPECT_EQ(PixelAt(tc_, frame.Left, frame.Top + 5),
            ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(tc_, frame.Left + 1, frame.Top + 5), ColorToRGB(cl3DLight));
  EXPECT_EQ(PixelAt(tc_, frame.Right - 1, frame.Top + 5),
            ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(PixelAt(tc_, frame.Right - 2, frame.Top + 5),
            ColorToRGB(clBtnShadow));
  // The disabled left arrow: its edge and face.
  TRect arrow;
  for (const auto& b : painter->NavigatorButtonPositions())
    if (b.Button == nbTopLeft) arrow = b.Rect;
  ASSERT_FALSE(cxRectIsEmpty(arrow));
  EXPECT_EQ(PixelAt(tc_, arrow.Left, arrow.Top), ColorToRGB(cl3DLight));
  EXPECT_EQ(PixelAt(tc_, arrow.Right - 1, arrow.Bottom - 1),
            ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(PixelAt(tc_, arrow.Left + 3, arrow.Top + 3), ColorToRGB(clBtnFace));
}

// --- A page control from a form stream ---

TEST(PageControlStreamTest, StreamedPageControlShowsItsActivePage) {
  PublishTestForm();
  TTestPaintersScope painters;
  TObjectPtr<TPCTestForm> form(NewForm<TPCTestForm>(nullptr));
  auto* pc = form->Child<TcxPageControl>("pcMain");
  auto* common = form->Child<TcxTabSheet>("tsCommon");
  auto* office = form->Child<TcxTabSheet>("tsOffice");
  ASSERT_NE(pc, nullptr);
  ASSERT_NE(office, nullptr);
  EXPECT_TRUE(pc->StoredClientRectRead);
  EXPECT_EQ(pc->StoredClientRect, TRect(2, 22, 343, 227));
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePage(), office);
  EXPECT_EQ(pc->GetActivePageIndex(), 1);
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_EQ(form->PageChangings, 0);
  form->Show();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(office->Visible());
  EXPECT_FALSE(common->Visible());
  EXPECT_EQ(pc->Tabs()->Strings(0), "Common Dialogs");
  EXPECT_EQ(common->ImageIndex(), 0);
  // The page fills the page area the painter measures.
  EXPECT_EQ(office->BoundsRect(), pc->GetDisplayRect());
  ui_test::Click(TabPoint(pc, 0));
  ASSERT_TRUE(ui_test::WaitUntil([&] { return pc->ActivePage() == common; },
                                 "the Common page"));
  EXPECT_EQ(form->PageChangings, 1);
}

// --- Wheel and hot tracking ---

TEST_F(TabScrollWindowTest, WheelOverTheTabsScrollsThem) {
  TRect first = tc_->Tabs()->GetVisibleTab(0)->FullRect();
  TPoint overTabs = tc_->ClientToScreen(TPoint(first.Left + 5, first.Top + 5));
  TPoint overPage = tc_->ClientToScreen(TPoint(10, 100));
  EXPECT_FALSE(tc_->DoMouseWheel(TShiftState(), -120, overPage));
  EXPECT_EQ(tc_->FirstVisibleTab, 0);
  EXPECT_TRUE(tc_->DoMouseWheel(TShiftState(), -120, overTabs));
  EXPECT_EQ(tc_->FirstVisibleTab, 1);
  EXPECT_TRUE(tc_->DoMouseWheel(TShiftState(), 120, overTabs));
  EXPECT_EQ(tc_->FirstVisibleTab, 0);
  tc_->SetMultiLine(true);
  EXPECT_FALSE(tc_->DoMouseWheel(TShiftState(), -120, overTabs));
}

TEST_F(TabScrollWindowTest, HotTrackingFollowsTheCursorButNotOverDisabledTabs) {
  tc_->SetHotTrack(true);
  tc_->Tabs()->GetTab(2)->SetEnabled(false);
  ui_test::MoveMouseTo(TabPoint(tc_, 1));
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return tc_->HotTrackTabVisibleIndex == 1; }, "tab 1 hot"));
  EXPECT_TRUE(tc_->Tabs()->GetTab(1)->HotTrack());
  ui_test::MoveMouseTo(TabPoint(tc_, 2));
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return tc_->HotTrackTabVisibleIndex == -1; }, "no tab hot"));
  POINT arrow = ButtonPoint(nbBottomRight);
  ui_test::MoveMouseTo(arrow);
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return tc_->NavigatorButtonStates[nbBottomRight] == nbsHotTrack; },
      "the arrow hot"));
  EXPECT_EQ(tc_->HotTrackTabVisibleIndex, -1);
}

}  // namespace
