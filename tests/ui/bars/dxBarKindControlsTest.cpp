// The item controls of the kinds on real bars: a menu bar's sub-item opened
// by a click, check buttons in menus, drop-down buttons, what a toolbar
// button shows by its paint style, captioned separators, and menus that
// would open themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "Forms.h"
#include "SysUtils.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"
#include "dxBarKindControls.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

namespace {

using namespace ui_test;

class BarKindControlsTest : public bar_test::TBarFormTest {
 protected:
  static TdxBarSubMenuControl* Open(TdxBarPopupMenu* AMenu) {
    AMenu->PopupEx(150, 150, 0, 0, false, nullptr, false, nullptr);
    PumpUntilIdle();
    return AMenu->SubMenuControl();
  }
  static TdxBarItemControl* ControlOf(TdxBarItem* AItem, Integer ALink = 0) {
    return AItem->GetLinkCount() > ALink ? AItem->GetLinks(ALink)->Control()
                                         : nullptr;
  }
  static POINT Centre(TdxBarItemControl* AControl) {
    const TRect r = AControl->GetItemBounds();
    return ScreenPointOf(AControl->Parent()->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }

  TCursorPosGuard cursor_;
  THeldButtonsGuard held_;
};

TEST_F(BarKindControlsTest, AClickOnAMenuBarEntryOpensItsMenuBelowIt) {
  int news = 0;
  TdxBarSubItem* groups = SubItem("&Groups", {Button("&New group", &news)});
  TdxBar* bar = Toolbar({groups});
  ShowForm();
  auto* entry = dynamic_cast<TdxBarSubItemControl*>(ControlOf(groups));
  ASSERT_TRUE(entry);
  Click(Centre(entry));
  TdxBarSubMenuControl* menu = entry->GetSubMenuControl();
  ASSERT_TRUE(menu) << "the release closed the menu the press opened";
  EXPECT_TRUE(::IsWindowVisible(menu->Handle()));
  const TRect item = bar->Control()->GetItemScreenRect(entry);
  EXPECT_EQ(item.Left, menu->BoundsRect().Left);
  EXPECT_EQ(item.Bottom, menu->BoundsRect().Top);
  EXPECT_TRUE(entry->IsDroppedDown());

  TdxBarItemControl* command = menu->ItemLinks()->Items(0)->Control();
  ASSERT_TRUE(command);
  Click(Centre(command));
  EXPECT_EQ(1, news);
  EXPECT_EQ(nullptr, entry->GetSubMenuControl());
  EXPECT_EQ(nullptr, ActiveBarControl);
  EXPECT_FALSE(bar->Control()->IsDowned());
}

TEST_F(BarKindControlsTest, ACheckButtonInAMenuClosesItUnlessToldNotTo) {
  ShowForm();
  for (bool close : {true, false}) {
    TdxBarButton* check = Button("Check");
    check->SetButtonStyle(bsChecked);
    check->SetCloseSubMenuOnClick(close);
    TdxBarPopupMenu* menu = Menu({check});
    TdxBarSubMenuControl* open = Open(menu);
    ASSERT_TRUE(open);
    Click(Centre(ControlOf(check)));
    EXPECT_TRUE(check->Down()) << close;
    EXPECT_EQ(close, menu->SubMenuControl() == nullptr) << close;
    if (TdxBarSubMenuControl* still = menu->SubMenuControl()) {
      Click(Centre(ControlOf(check)));
      EXPECT_FALSE(check->Down());
      still->HideAll();
    }
  }
}

TEST_F(BarKindControlsTest, ADropDownButtonOpensItsMenuFromTheArrowOnly) {
  int clicks = 0, inner = 0;
  TdxBarPopupMenu* dropDown = Menu({Button("Inner", &inner)});
  TdxBarButton* button = Button("Paste", &clicks);
  button->SetButtonStyle(bsDropDown);
  button->SetDropDownMenu(dropDown);
  TdxBar* bar = Toolbar({button});
  ShowForm();
  auto* control = dynamic_cast<TdxBarButtonControl*>(ControlOf(button));
  ASSERT_TRUE(control);
  ASSERT_EQ(2u, control->Parts().size());
  const TRect arrow = control->Parts()[1];
  const POINT onArrow =
      ScreenPointOf(bar->Control()->Handle(), (arrow.Left + arrow.Right) / 2,
                    (arrow.Top + arrow.Bottom) / 2);

  // Disabled drop-down: the arrow neither opens nor clicks.
  button->SetDropDownEnabled(false);
  Click(onArrow);
  EXPECT_EQ(nullptr, dropDown->SubMenuControl());
  EXPECT_EQ(0, clicks);

  button->SetDropDownEnabled(true);
  MouseDown(onArrow);
  TdxBarSubMenuControl* menu = dropDown->SubMenuControl();
  ASSERT_TRUE(menu);
  EXPECT_TRUE(control->IsDroppedDown());
  const TRect item = bar->Control()->GetItemScreenRect(control);
  EXPECT_EQ(item.Bottom, menu->BoundsRect().Top);
  MouseUp(onArrow);
  EXPECT_TRUE(dropDown->SubMenuControl()) << "the release keeps it open";
  EXPECT_EQ(0, clicks);
  Click(Centre(menu->ItemLinks()->Items(0)->Control()));
  EXPECT_EQ(1, inner);
  EXPECT_EQ(nullptr, dropDown->SubMenuControl());
  EXPECT_FALSE(control->IsDroppedDown());

  // The button part still clicks the button.
  const TRect part = control->Parts()[0];
  Click(ScreenPointOf(bar->Control()->Handle(), (part.Left + part.Right) / 2,
                      (part.Top + part.Bottom) / 2));
  EXPECT_EQ(1, clicks);
}

TEST_F(BarKindControlsTest, WhatAButtonShowsFollowsItsPaintStyle) {
  TdxBarButton* toolbarButton = Button("&Save");
  TdxBarButton* menuButton = Button("&Open");
  TdxBarSubItem* file = SubItem("File", {menuButton});
  Toolbar({toolbarButton, file});
  ShowForm();
  auto* control = dynamic_cast<TdxBarButtonControl*>(ControlOf(toolbarButton));
  ASSERT_TRUE(control);
  // No glyph: the standard style shows the caption on a toolbar, and the
  // button keeps its accelerator there.
  EXPECT_EQ(psCaption, control->GetPaintStyle());
  EXPECT_TRUE(toolbarButton->HasAccel(toolbarButton->GetLinks(0)));
  struct Case {
    TdxBarPaintStyle Style;
    TdxBarPaintStyle Shown;
    bool Accel;
  };
  for (const Case& c : {Case{psCaption, psCaption, true},
                        Case{psCaptionGlyph, psCaptionGlyph, true},
                        Case{psCaptionInMenu, psCaptionInMenu, false}}) {
    toolbarButton->GetLinks(0)->SetUserPaintStyle(c.Style);
    toolbarButton->GetLinks(0)->SetUserDefine({udPaintStyle});
    EXPECT_EQ(c.Shown, control->GetPaintStyle()) << int(c.Style);
    EXPECT_EQ(c.Accel, toolbarButton->HasAccel(toolbarButton->GetLinks(0)))
        << int(c.Style);
  }
  // In a menu every button keeps its accelerator.
  EXPECT_TRUE(menuButton->HasAccel(menuButton->GetLinks(0)));
}

TEST_F(BarKindControlsTest, ACaptionedSeparatorIsLowerAtTheTopOfAMenu) {
  ShowForm();
  auto* first = static_cast<TdxBarSeparator*>(
      manager_->AddItem(TdxBarSeparator::StaticClass()));
  first->SetCaption("Recent");
  auto* later = static_cast<TdxBarSeparator*>(
      manager_->AddItem(TdxBarSeparator::StaticClass()));
  later->SetCaption("Older");
  TdxBarPopupMenu* menu = Menu({first, Button("One"), later, Button("Two")});
  ASSERT_TRUE(Open(menu));
  TdxBarItemControl* top = ControlOf(first);
  TdxBarItemControl* lower = ControlOf(later);
  ASSERT_TRUE(top && lower);
  EXPECT_EQ(manager_->Painter()->SubMenuGetSeparatorSize(),
            lower->GetRealHeight() - top->GetRealHeight());
  EXPECT_FALSE(top->CanSelect());
  menu->SubMenuControl()->HideAll();
}

TEST_F(BarKindControlsTest, MenusThatWouldOpenThemselvesAreRefused) {
  TdxBarPopupMenu* menu = Menu({});
  TdxBarButton* dropper = Button("Drop");
  dropper->SetButtonStyle(bsDropDown);
  dropper->SetDropDownMenu(menu);
  TdxBarSubItem* inner = SubItem("Inner", {dropper});
  TdxBarSubItem* outer = SubItem("Outer", {inner});
  String error;
  EXPECT_FALSE(menu->CanContainItem(outer, error));
  EXPECT_EQ("You cannot create recursive menus", error);
  EXPECT_FALSE(menu->CanContainItem(dropper, error));
  EXPECT_TRUE(menu->CanContainItem(Button("Plain"), error));
  // A sub-item cannot hold itself, not even through another one.
  EXPECT_FALSE(inner->ItemLinks()->CanContainItem(outer, error));
  EXPECT_EQ("You cannot create recursive menus", error);
  EXPECT_FALSE(outer->ItemLinks()->CanContainItem(outer, error));

  // A drop-down menu that already leads back to the button is refused and
  // the old one stays.
  TdxBarPopupMenu* other = Menu({outer});
  try {
    dropper->SetDropDownMenu(other);
    ADD_FAILURE() << "no exception";
  } catch (Exception& e) {
    EXPECT_EQ("You cannot create recursive menus", e.Message());
  }
  EXPECT_EQ(menu, dropper->DropDownMenu());
  // A freed drop-down menu is forgotten.
  Free(menu);
  EXPECT_EQ(nullptr, dropper->DropDownMenu());
}

TEST_F(BarKindControlsTest, APopupMenuNeedsAManager) {
  TObjectPtr<TForm> lonely;
  const Integer managers = dxBarManagerList()->Count();
  form_.reset();
  ASSERT_EQ(managers - 1, dxBarManagerList()->Count());
  // No test leaves a manager behind.
  ASSERT_EQ(0, dxBarManagerList()->Count());
  lonely.reset(new TForm(nullptr));
  try {
    new TdxBarPopupMenu(lonely.get());
    ADD_FAILURE() << "no exception";
  } catch (Exception& e) {
    EXPECT_EQ("There are no TdxBarManagers available", e.Message());
  }
}

TEST(BarPopupMenuKeysTest, KeyMessagesGiveShortCuts) {
  // The modifiers come from the key state: none are held here.
  TMessage plain{WM_KEYDOWN, 'A', 0, 0};
  EXPECT_EQ(TShortCut('A'), TdxBarPopupMenu::ShortCutOfKeyMessage(plain));
  TMessage alt{WM_SYSKEYDOWN, 'A', 1 << 29, 0};
  EXPECT_EQ(TShortCut('A' | scAlt), TdxBarPopupMenu::ShortCutOfKeyMessage(alt));
  TMessage none{WM_KEYDOWN, 0, 1 << 29, 0};
  EXPECT_EQ(TShortCut(0), TdxBarPopupMenu::ShortCutOfKeyMessage(none));
  // Ctrl+Shift+A, with both modifiers in the thread's key state.
  BYTE saved[256];
  ::GetKeyboardState(saved);
  BYTE held[256];
  std::copy(std::begin(saved), std::end(saved), std::begin(held));
  held[VK_SHIFT] = held[VK_CONTROL] = 0x80;
  ::SetKeyboardState(held);
  const TShortCut chord = TdxBarPopupMenu::ShortCutOfKeyMessage(plain);
  ::SetKeyboardState(saved);
  EXPECT_EQ(TShortCut(0x6041), chord);
}

}  // namespace
