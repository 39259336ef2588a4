// Pulling a menu out as a floating toolbar: the detach caption of a menu
// opened from a detachable sub-menu item, dragged away by the mouse, closes
// the menu and floats the item's toolbar under the cursor; brought back, it
// hides the toolbar and opens the menu again.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarKindControls.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"
#include "dxBarTestSurface.h"

namespace {

using namespace ui_test;

class BarDetachMenuTest : public bar_test::TBarFormTest {
 protected:
  // A popup menu with a "Tools" sub-menu whose detaching bar is a hidden
  // toolbar with the same two buttons.
  void SetUp() override {
    TBarFormTest::SetUp();
    ShowForm();
    TdxBarButton* a = Button("Alpha");
    TdxBarButton* b = Button("Beta");
    bar_ = manager_->Bars()->Add();
    bar_->SetCaption("Tools");
    bar_->ItemLinks()->Add(a);
    bar_->ItemLinks()->Add(b);
    tools_ = SubItem("Tools", {a, b});
    tools_->SetDetachable(true);
    tools_->SetDetachingBar(bar_->Index());
    tools_->OnDetaching =
        TNotifyEvent::FromFunction([this](TObject*) { ++detachings_; });
    menu_ = Menu({Button("First"), tools_});
  }
  // Opens the popup menu and, by the keyboard, the Tools menu.
  TdxBarSubMenuControl* OpenTools() {
    menu_->PopupEx(150, 120, 0, 0, false, nullptr, false, nullptr);
    PumpUntilIdle();
    PressKeys({VK_DOWN});
    PressKeys({VK_DOWN});
    PressKeys({VK_RIGHT});
    return ToolsMenu();
  }
  TdxBarSubMenuControl* ToolsMenu() const {
    auto* control = dynamic_cast<TdxBarSubItemControl*>(
        tools_->GetLinkCount() ? tools_->GetLinks(0)->Control() : nullptr);
    return control ? control->GetSubMenuControl() : nullptr;
  }
  static POINT CaptionCentre(TdxBarSubMenuControl* AMenu) {
    const TRect r = AMenu->DetachCaptionRect();
    return ScreenPointOf(AMenu->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }

  TdxBar* bar_ = nullptr;
  TdxBarSubItem* tools_ = nullptr;
  TdxBarPopupMenu* menu_ = nullptr;
  int detachings_ = 0;
  TCursorPosGuard cursor_;
};

TEST_F(BarDetachMenuTest, ADetachedMenuBecomesAFloatingToolbarWithItsLinks) {
  TdxBarSubMenuControl* open = OpenTools();
  ASSERT_TRUE(open);
  ASSERT_TRUE(open->Detachable());
  ASSERT_TRUE(open->CanDetach());
  const TRect caption = open->DetachCaptionRect();
  ASSERT_FALSE(IsRectEmpty(caption));
  EXPECT_LE(caption.Bottom, open->ItemsRect().Top) << "above the items";

  const POINT from = CaptionCentre(open);
  const POINT drop{from.x + 60, from.y + 150};
  ASSERT_TRUE(TModalDrag(from)
                  .MoveTo({from.x + 5, from.y + 3})
                  .WaitFor([&] { return ToolsMenu() && !bar_->Visible(); },
                           "the menu still open near its caption")
                  .MoveTo(drop, 3)
                  .WaitFor([&] { return bar_->Visible() && bar_->IsFloat(); },
                           "the bar floating under the cursor")
                  .Release()
                  .Run());
  PumpUntilIdle();
  EXPECT_EQ(1, detachings_);
  EXPECT_EQ(nullptr, ToolsMenu());
  EXPECT_EQ(nullptr, menu_->SubMenuControl()) << "every menu closed";
  EXPECT_EQ(nullptr, ActiveBarControl);
  ASSERT_TRUE(bar_->Visible());
  auto* control = dynamic_cast<TdxBarControl*>(bar_->Control());
  ASSERT_TRUE(control);
  EXPECT_EQ(dsNone, control->DockingStyle());
  ASSERT_EQ(tools_->ItemLinks()->Count(), bar_->ItemLinks()->Count());
  for (Integer i = 0; i < bar_->ItemLinks()->Count(); ++i)
    EXPECT_EQ(tools_->ItemLinks()->Items(i)->Item(),
              bar_->ItemLinks()->Items(i)->Item());
  // The window hangs from the cursor by its caption.
  RECT window{};
  ::GetWindowRect(control->Handle(), &window);
  EXPECT_TRUE(window.left < drop.x && drop.x < window.right);
  EXPECT_TRUE(window.top <= drop.y &&
              drop.y < window.top + control->NCOffset().Y);
  EXPECT_EQ(window.left, bar_->FloatLeft());
}

TEST_F(BarDetachMenuTest, BroughtBackTheBarGoesAndTheMenuOpensAgain) {
  TdxBarSubMenuControl* open = OpenTools();
  ASSERT_TRUE(open);
  const POINT from = CaptionCentre(open);
  ASSERT_TRUE(TModalDrag(from)
                  .MoveTo({from.x + 60, from.y + 150}, 3)
                  .WaitFor([&] { return bar_->Visible(); }, "the bar out")
                  .MoveTo(from, 3)
                  .Release()
                  .Run());
  PumpUntilIdle();
  EXPECT_FALSE(bar_->Visible());
  EXPECT_TRUE(ToolsMenu()) << "the menu is back";
  EXPECT_TRUE(menu_->SubMenuControl());
}

TEST_F(BarDetachMenuTest, WithoutADetachingBarThePressOnlyTellsTheItem) {
  tools_->SetDetachingBar(-1);
  TdxBarSubMenuControl* open = OpenTools();
  ASSERT_TRUE(open);
  EXPECT_TRUE(open->Detachable());
  EXPECT_FALSE(open->CanDetach());
  MouseDown(CaptionCentre(open));
  PumpUntilIdle();
  EXPECT_EQ(1, detachings_);
  EXPECT_FALSE(bar_->Visible());
  MouseUp(CaptionCentre(open));
  PumpUntilIdle();
}

TEST_F(BarDetachMenuTest, AMenuOfANonDetachableItemHasNoCaption) {
  tools_->SetDetachable(false);
  TdxBarSubMenuControl* open = OpenTools();
  ASSERT_TRUE(open);
  EXPECT_FALSE(open->Detachable());
  EXPECT_TRUE(IsRectEmpty(open->DetachCaptionRect()));
  EXPECT_EQ(0, open->DetachCaptionAreaSize());
}

TEST_F(BarDetachMenuTest, TheCaptionIsDrawnByThePainter) {
  // The flat look draws a grip of lines on every other row in the middle
  // of its caption, on the toolbar colour.
  manager_->SetStyle(bmsFlat);
  TdxBarSubMenuControl* open = OpenTools();
  ASSERT_TRUE(open);
  const TRect caption = open->DetachCaptionRect();
  ASSERT_GE(caption.Height(), 3);
  RECT client{};
  ::GetClientRect(open->Handle(), &client);
  Surface surface(client.right, client.bottom);
  ::SendMessageA(open->Handle(), WM_PAINT,
                 reinterpret_cast<WPARAM>(surface.DC()), 0);
  const int mid = (caption.Left + caption.Right) / 2;
  const COLORREF shadow = bar_test::Sys(COLOR_BTNSHADOW);
  EXPECT_NE(shadow, surface.At(caption.Left + 1, caption.Top + 1))
      << "the caption's face beside the grip";
  EXPECT_EQ(shadow, surface.At(mid, caption.Top + 1));
  EXPECT_NE(shadow, surface.At(mid, caption.Top + 2)) << "every other row";
  open->HideAll();
}

}  // namespace
