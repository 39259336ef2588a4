// The owner window's messages: floating toolbars go with their form when it
// hides and minimizes and come back without taking the activation, a modal
// mode closes open menus, and floating toolbars are kept on the work area.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarOwner.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

namespace {

using namespace ui_test;

class BarOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(120, 120, 400, 300);
    manager_ = new TdxBarManager(form_.get());
    auto* button = static_cast<TdxBarButton*>(manager_->AddButton());
    button->SetCaption("Float");
    bar_ = manager_->Bars()->Add();
    bar_->ItemLinks()->Add(button);
    bar_->SetFloatLeft(300);
    bar_->SetFloatTop(300);
    bar_->SetDockingStyle(dsNone);
    bar_->SetVisible(true);
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    PumpUntilIdle();
  }
  void TearDown() override {
    form_.reset();
    PumpUntilIdle();
  }
  bool FloatingShown() const {
    TCustomdxBarControl* c = bar_->Control();
    return c && c->HandleAllocated() && ::IsWindowVisible(c->Handle());
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
  TdxBar* bar_ = nullptr;
};

TEST_F(BarOwnerTest, FloatingToolbarsFollowTheirFormOutOfSightAndBack) {
  ASSERT_TRUE(FloatingShown());
  form_->Hide();
  PumpUntilIdle();
  EXPECT_FALSE(FloatingShown());
  form_->Show();
  PumpUntilIdle();
  EXPECT_TRUE(FloatingShown());

  // Minimizing and restoring through the system commands.
  ::SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpUntilIdle();
  EXPECT_FALSE(FloatingShown());
  ::SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  PumpUntilIdle();
  EXPECT_TRUE(FloatingShown());
  EXPECT_NE(bar_->Control()->Handle(), ::GetActiveWindow())
      << "restored toolbars do not take the activation";
}

TEST_F(BarOwnerTest, KeepingInactiveToolbarsStillHidesThemWithTheForm) {
  manager_->HideFloatingBarsWhenInactive = false;
  dxBarActivateFloatToolbars(manager_, false, false);
  EXPECT_TRUE(FloatingShown()) << "only their caption looks inactive";
  dxBarActivateFloatToolbars(manager_, true, false);
  form_->Hide();
  PumpUntilIdle();
  EXPECT_FALSE(FloatingShown());
}

TEST_F(BarOwnerTest, AModalModeClosesTheOpenMenus) {
  auto* menu = new TdxBarPopupMenu(form_.get());
  menu->ItemLinks()->Add(manager_->AddButton());
  menu->PopupEx(150, 150, 0, 0, false, nullptr, false, nullptr);
  PumpUntilIdle();
  ASSERT_TRUE(menu->SubMenuControl());
  ::SendMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);
  PumpUntilIdle();
  EXPECT_EQ(nullptr, menu->SubMenuControl());
}

TEST(BarOwnerGeometryTest, FloatingToolbarsAreMovedOntoTheWorkArea) {
  const TRect area{0, 0, 800, 600};
  struct Case {
    TRect Bar, Expected;
  };
  for (const Case& c : {Case{{10, 10, 110, 60}, {10, 10, 110, 60}},
                        Case{{750, 580, 850, 630}, {700, 550, 800, 600}},
                        Case{{-30, -20, 70, 30}, {0, 0, 100, 50}},
                        // Taller than the area: its top wins.
                        Case{{10, 100, 110, 800}, {10, 0, 110, 700}}})
    EXPECT_EQ(c.Expected, dxBarKeepOnWorkArea(c.Bar, area))
        << c.Bar.Left << "," << c.Bar.Top;
}

}  // namespace
