// Personalised menus on the screen: a menu shows its recently used items
// and an expand button; the button, Ctrl+Down, walking past the last item
// and the delayed expansion (its timers fired by the test) show the rest;
// an item used from the expanded menu is shown the next time.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"
#include "dxBarTestSurface.h"

namespace {

using namespace ui_test;

class BarPersonalMenusTest : public bar_test::TBarFormTest {
 protected:
  // "Often" and "Often too" are used much, the two others never: the menu
  // shows the first two only.
  void SetUp() override {
    TBarFormTest::SetUp();
    ShowForm();
    MoveMouseTo({5, 5});
    menu_ =
        Menu({Button("Often", &clicks_[0]), Button("Often too", &clicks_[1]),
              Button("Seldom", &clicks_[2]), Button("Never", &clicks_[3])});
    menu_->SetUseRecentItems(true);
    TdxBarItemLinks* links = menu_->ItemLinks();
    links->Items(0)->SetUseCount(30);
    links->Items(1)->SetUseCount(30);
    links->Items(1)->BringToTopInRecentList(false);
    links->Items(0)->BringToTopInRecentList(false);
  }
  TdxBarSubMenuControl* Open() {
    menu_->PopupEx(150, 120, 0, 0, false, nullptr, false, nullptr);
    PumpUntilIdle();
    return menu_->SubMenuControl();
  }
  TdxBarItemLink* Link(Integer AIndex) const {
    return menu_->ItemLinks()->Items(AIndex);
  }
  bool Shown(Integer AIndex) const {
    return Link(AIndex)->VisibleIndex() >= 0 &&
           !IsRectEmpty(Link(AIndex)->ItemRect);
  }
  static POINT MarkCentre(TdxBarSubMenuControl* AMenu) {
    const TRect r = AMenu->MarkRect();
    return ScreenPointOf(AMenu->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }

  TdxBarPopupMenu* menu_ = nullptr;
  int clicks_[4] = {};
  TCursorPosGuard cursor_;
};

TEST_F(BarPersonalMenusTest, TheExpandButtonShowsTheHiddenItems) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  EXPECT_TRUE(Shown(0));
  EXPECT_TRUE(Shown(1));
  EXPECT_FALSE(Shown(2));
  EXPECT_FALSE(Shown(3));
  ASSERT_TRUE(open->MarkExists());
  const TRect mark = open->MarkRect();
  EXPECT_GE(mark.Top, Link(1)->ItemRect.Bottom) << "below the items";
  const Integer height = open->Height();

  // The mouse on the button highlights it; a press expands the menu in its
  // place, and the release clicks nothing that now lies under the mouse.
  MoveMouseTo(MarkCentre(open));
  PumpUntilIdle();
  EXPECT_EQ(msSelected, open->MarkState());
  Click(MarkCentre(open));
  ASSERT_EQ(open, menu_->SubMenuControl()) << "the same menu, expanded";
  for (Integer i = 0; i < 4; ++i) EXPECT_TRUE(Shown(i)) << i;
  EXPECT_FALSE(open->MarkExists());
  EXPECT_GT(open->Height(), height);
  EXPECT_EQ(150, open->Left());
  EXPECT_EQ(120, open->Top());
  EXPECT_TRUE(dxBarExpandedMenus);
  for (int c : clicks_) EXPECT_EQ(0, c);
  // The expanded view marks the items it would hide.
  EXPECT_TRUE(open->IsNonRecent(Link(2)));
  EXPECT_FALSE(open->IsNonRecent(Link(0)));
}

TEST_F(BarPersonalMenusTest, AMenuLeftAloneExpandsAfterTheDelay) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  ASSERT_EQ(3u, open->ExpandMenuTimerId());
  EXPECT_EQ(4000u, open->ExpandMenuTimerInterval());
  open->ExpandMenuTimer();
  EXPECT_TRUE(Shown(3));
  EXPECT_EQ(0u, open->ExpandMenuTimerId());
}

TEST_F(BarPersonalMenusTest, AChangedSelectionOnlyHighlightsTheButtonLater) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  PressKeys({VK_DOWN});
  EXPECT_EQ(Link(0)->Control(), open->SelectedControl());
  ASSERT_EQ(2u, open->ExpandMenuTimerId());
  EXPECT_EQ(4000u, open->ExpandMenuTimerInterval());
  open->ExpandMenuTimer();
  EXPECT_EQ(msSelected, open->MarkState());
  EXPECT_FALSE(Shown(2)) << "highlighted, not expanded";
}

TEST_F(BarPersonalMenusTest, CtrlDownExpandsAndSoDoesWalkingPastTheEnd) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  PressKeys({VK_CONTROL, VK_DOWN});
  EXPECT_TRUE(Shown(2));
  open->HideAll();
  PumpUntilIdle();

  open = Open();
  ASSERT_TRUE(open);
  ASSERT_FALSE(Shown(2)) << "a new chain starts personalised again";
  PressKeys({VK_DOWN});
  PressKeys({VK_DOWN});
  ASSERT_EQ(Link(1)->Control(), open->SelectedControl());
  // Down on the last shown item goes on into the items it shows now.
  PressKeys({VK_DOWN});
  EXPECT_TRUE(Shown(2));
  EXPECT_EQ(Link(2)->Control(), open->SelectedControl());
}

TEST_F(BarPersonalMenusTest, AnItemUsedFromTheExpandedMenuIsShownNextTime) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  PressKeys({VK_CONTROL, VK_DOWN});
  ASSERT_TRUE(Shown(2));
  Click(ScreenPointOf(open->Handle(),
                      (Link(2)->ItemRect.Left + Link(2)->ItemRect.Right) / 2,
                      (Link(2)->ItemRect.Top + Link(2)->ItemRect.Bottom) / 2));
  EXPECT_EQ(1, clicks_[2]);
  EXPECT_EQ(nullptr, menu_->SubMenuControl());
  EXPECT_EQ(0, Link(2)->RecentIndex());

  open = Open();
  ASSERT_TRUE(open);
  EXPECT_TRUE(Shown(2));
  EXPECT_FALSE(Shown(3));
}

TEST_F(BarPersonalMenusTest, TheStandardStyleShowsEveryItem) {
  manager_->SetStyle(bmsStandard);
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  for (Integer i = 0; i < 4; ++i) EXPECT_TRUE(Shown(i)) << i;
  EXPECT_FALSE(open->MarkExists());
  EXPECT_EQ(0u, open->ExpandMenuTimerId());
}

}  // namespace

namespace {

// The pixel a menu window paints at a client point.
COLORREF PersonalMenuPixel(TdxBarSubMenuControl* AMenu, int X, int Y) {
  RECT r{};
  ::GetClientRect(AMenu->Handle(), &r);
  Surface surface(r.right, r.bottom);
  ::SendMessageA(AMenu->Handle(), WM_PAINT,
                 reinterpret_cast<WPARAM>(surface.DC()), 0);
  return surface.At(X, Y);
}

TEST_F(BarPersonalMenusTest, RarelyUsedItemsAndTheExpandButtonPaintLighter) {
  TdxBarSubMenuControl* open = Open();
  ASSERT_TRUE(open);
  ASSERT_TRUE(open->MarkExists());
  const COLORREF light = [&] {
    LOGBRUSH b{};
    ::GetObjectA(open->LightBrush(), sizeof b, &b);
    return b.lbColor;
  }();
  ASSERT_NE(light, ::GetSysColor(COLOR_BTNFACE));
  // The expand button: plain until the mouse is on it, then raised with
  // the light face.
  const TRect mark = open->MarkRect();
  const int mx = mark.Left + 3, my = mark.Top + 2;
  EXPECT_NE(light, PersonalMenuPixel(open, mx, my));
  open->SetMarkState(msSelected);
  EXPECT_EQ(light, PersonalMenuPixel(open, mx, my));
  open->SetMarkState(msNone);

  open->SetMarkState(msPressed);
  ASSERT_TRUE(Shown(2));
  // Right of the captions: the row's own background.
  const auto rowPixel = [&](Integer AIndex) {
    const TRect r = Link(AIndex)->ItemRect;
    return PersonalMenuPixel(open, r.Right - 3, (r.Top + r.Bottom) / 2);
  };
  EXPECT_EQ(light, rowPixel(2)) << "non-recent";
  EXPECT_EQ(light, rowPixel(3)) << "non-recent";
  EXPECT_NE(light, rowPixel(0)) << "recent";
  open->HideAll();
}

}  // namespace
