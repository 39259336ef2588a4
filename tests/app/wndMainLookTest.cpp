// What the main window shows, read back from the screen: the page
// control's tabs with their captions, the dock no taller than its toolbars,
// and the installed group drawn bold red by the window's own handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "AppTestSupport.h"
#include "ExtCtrls.h"
#include "PlacesTestSupport.h"
#include "cxListView.h"
#include "cxPC.h"
#include "wndMain.h"

using namespace ui_test;

namespace {

// Whether some pixel of the control's client rectangle R passes Test.
bool LookAnyPixel(TWinControl* AControl, const TRect& R,
                  const std::function<bool(COLORREF)>& Test) {
  HDC dc = ::GetDC(AControl->Handle());
  bool found = false;
  for (Integer y = R.Top; y < R.Bottom && !found; ++y)
    for (Integer x = R.Left; x < R.Right && !found; ++x)
      found = Test(::GetPixel(dc, x, y));
  ::ReleaseDC(AControl->Handle(), dc);
  return found;
}

bool LookIsDark(COLORREF C) {
  return GetRValue(C) + GetGValue(C) + GetBValue(C) < 200;
}

class MainWindowLookTest : public ::testing::Test {
 protected:
  void SetUp() override { sandbox_ = std::make_unique<TRegistrySandbox>(); }
  void TearDown() override {
    form_.reset();
    Pump();
    sandbox_.reset();
  }
  void OpenShown() {
    form_.reset(NewForm<TwndMain>(nullptr));
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "main window shown"));
    ::RedrawWindow(form_->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(PumpUntilIdle());
  }
  TListItem* LookItem(const String& Caption) {
    TListItems* items = form_->lvGroups->GetListItems();
    for (Integer i = 0; i < items->Count(); ++i)
      if (items->Item(i)->Caption() == Caption) return items->Item(i);
    return nullptr;
  }

  std::unique_ptr<TRegistrySandbox> sandbox_;
  TObjectPtr<TwndMain> form_;
};

TEST_F(MainWindowLookTest, BothTabsShowTheirCaptionsUncovered) {
  OpenShown();
  TcxPageControl* pc = form_->pcMainGrids;
  ASSERT_EQ(pc->Tabs()->Count(), 2);
  for (Integer i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const TRect r = pc->Tabs()->GetTab(i)->VisibleRect();
    ASSERT_FALSE(r.Right <= r.Left || r.Bottom <= r.Top);
    // Nothing of the window lies over the tab: a click there is the page
    // control's.
    const POINT centre =
        ScreenPointOf(pc, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_EQ(::WindowFromPoint(centre), pc->Handle());
    // The caption's letters are drawn in the tab.
    EXPECT_TRUE(LookAnyPixel(pc, r, LookIsDark));
  }
}

TEST_F(MainWindowLookTest, TheDockEndsWhereItsToolbarsEnd) {
  OpenShown();
  TControl* dock = nullptr;
  for (Integer i = 0; i < form_->ControlCount(); ++i) {
    TControl* c = form_->Controls(i);
    if (c->ClassName() == "TdxDockControl" && c->Align() == alTop) dock = c;
  }
  ASSERT_NE(dock, nullptr);
  auto* dockWindow = dynamic_cast<TWinControl*>(dock);
  ASSERT_NE(dockWindow, nullptr);
  // Lowest bottom of the toolbars docked in it.
  LONG toolbarsBottom = 0;
  for (HWND w = ::GetWindow(dockWindow->Handle(), GW_CHILD); w;
       w = ::GetWindow(w, GW_HWNDNEXT)) {
    RECT r;
    ::GetWindowRect(w, &r);
    toolbarsBottom = std::max(toolbarsBottom, r.bottom);
  }
  RECT d;
  ::GetWindowRect(dockWindow->Handle(), &d);
  EXPECT_GT(toolbarsBottom, d.top);
  EXPECT_EQ(d.bottom, toolbarsBottom);
  EXPECT_EQ(d.bottom - d.top, dock->Height());
  // The group list and the pages start right under it.
  RECT list;
  ::GetWindowRect(form_->Panel1->Handle(), &list);
  EXPECT_EQ(list.top, d.bottom);
}

TEST_F(MainWindowLookTest, TheInstalledGroupIsDrawnRed) {
  places_test::PutDword(places_test::kCommon + "\\Work", "Flags", gfInstalled);
  places_test::PutDword(places_test::kCommon + "\\Other", "Flags", 0);
  OpenShown();
  TListItem* work = LookItem("Work");
  TListItem* other = LookItem("Other");
  ASSERT_TRUE(work && other);
  TWinControl* inner = form_->lvGroups->InnerListView();
  const auto red = [](COLORREF C) { return C == RGB(255, 0, 0); };
  const auto black = [](COLORREF C) { return C == RGB(0, 0, 0); };
  const TRect workLabel = work->DisplayRect(drLabel);
  const TRect otherLabel = other->DisplayRect(drLabel);
  // The installed group's label is visible on the screen, not under
  // another window, and drawn red; the other one keeps the list's colour.
  const POINT at = ScreenPointOf(inner, (workLabel.Left + workLabel.Right) / 2,
                                 (workLabel.Top + workLabel.Bottom) / 2);
  EXPECT_EQ(::WindowFromPoint(at), inner->Handle());
  EXPECT_TRUE(LookAnyPixel(inner, workLabel, red));
  EXPECT_FALSE(LookAnyPixel(inner, workLabel, black));
  EXPECT_FALSE(LookAnyPixel(inner, otherLabel, red));
  EXPECT_TRUE(LookAnyPixel(inner, otherLabel, black));
}

}  // namespace
