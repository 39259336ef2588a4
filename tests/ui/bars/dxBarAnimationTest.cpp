// Shadows and menu animation: the strips of a shadow around a popup and the
// item that opened it, their fading, the strips as mouse-transparent
// windows, and the choice of an opening animation.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarAnimation.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

namespace {

using namespace ui_test;
using C = TdxBarShadowCorner;

struct TPart {
  TRect Bounds;
  TdxBarShadowPartKind Kind;
  TdxBarShadowCorners Corners;
};

void ExpectParts(const std::vector<TPart>& AExpected, const TRect& AOwner,
                 const TRect& APopup) {
  const std::vector<TdxBarShadowPartInfo> parts =
      dxBarShadowParts(AOwner, APopup, 4);
  ASSERT_EQ(AExpected.size(), parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    EXPECT_EQ(AExpected[i].Bounds, parts[i].Bounds) << i;
    EXPECT_EQ(AExpected[i].Kind, parts[i].Kind) << i;
    EXPECT_TRUE(AExpected[i].Corners == parts[i].Corners) << i;
  }
}

TEST(BarShadowTest, APopupAloneHasAStripBelowAndOneRight) {
  ExpectParts({{{14, 60, 114, 64}, spHorizontal, {C::scLeft, C::scRight}},
               {{110, 14, 114, 60}, spVertical, {C::scTop}}},
              TRect{}, {10, 10, 110, 60});
}

TEST(BarShadowTest, ADropDownBelowAWiderButtonFollowsBothOutlines) {
  // Button 10..130 x 0..20 above a menu 10..110 x 20..80.
  ExpectParts({{{130, 4, 134, 20}, spVertical, {C::scTop}},
               {{14, 80, 114, 84}, spHorizontal, {C::scLeft, C::scRight}},
               {{110, 20, 134, 24}, spHorizontal, {C::scRight}},
               {{110, 20, 114, 80}, spVertical, {}}},
              {10, 0, 130, 20}, {10, 20, 110, 80});
}

TEST(BarShadowTest, ASubMenuBesideItsItemShadesBoth) {
  // Item 0..100 x 50..70, menu 100..200 x 40..140 to its right.
  ExpectParts({{{200, 44, 204, 140}, spVertical, {C::scTop}},
               {{4, 70, 100, 74}, spHorizontal, {C::scLeft}},
               {{104, 140, 204, 144}, spHorizontal, {C::scLeft, C::scRight}}},
              {0, 50, 100, 70}, {100, 40, 200, 140});
}

TEST(BarShadowTest, StripsFadeAcrossAndAtTheirCorners) {
  const TdxBarShadowPartInfo below{{0, 0, 10, 4}, spHorizontal, {}};
  const std::vector<Byte> a = dxBarShadowAlpha(below, 4);
  EXPECT_EQ((std::vector<Byte>{60, 45, 30, 15}),
            (std::vector<Byte>{a[5], a[15], a[25], a[35]}));
  const TdxBarShadowPartInfo corner{{0, 0, 10, 4}, spHorizontal, {C::scLeft}};
  const std::vector<Byte> b = dxBarShadowAlpha(corner, 4);
  EXPECT_EQ((std::vector<Byte>{12, 24, 36, 48, 60}),
            (std::vector<Byte>{b[0], b[1], b[2], b[3], b[4]}));
  const TdxBarShadowPartInfo right{{0, 0, 4, 10}, spVertical, {C::scTop}};
  const std::vector<Byte> c = dxBarShadowAlpha(right, 4);
  EXPECT_EQ(12, c[0]);  // top row, first column: 60 * 1/5
  EXPECT_EQ(60, c[4 * 4]);
  EXPECT_EQ(15, c[4 * 4 + 3]);
}

TEST(BarShadowTest, RandomAnimationsArePickedByThirds) {
  struct Case {
    TdxBarMenuAnimations Kind;
    Integer Random;
    TdxBarMenuAnimations Result;
  };
  for (const Case& c :
       {Case{maRandom, 0, maUnfold}, Case{maRandom, 32, maUnfold},
        Case{maRandom, 33, maSlide}, Case{maRandom, 65, maSlide},
        Case{maRandom, 66, maFade}, Case{maRandom, 99, maFade},
        Case{maSlide, 0, maSlide}, Case{maNone, 80, maNone}})
    EXPECT_EQ(c.Result, dxBarResolveMenuAnimation(c.Kind, c.Random))
        << c.Random;
}

TEST(BarShadowWindowTest, StripsShowBesideTheirOwnerAndLetTheMousePass) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(100, 100, 200, 150);
  form->Show();
  PumpUntilIdle();
  TObjectPtr<TdxBarShadow> shadow(new TdxBarShadow(form.get()));
  shadow->SetOwnerBounds({}, form->BoundsRect());
  shadow->SetVisible(true);
  PumpUntilIdle();
  ASSERT_EQ(2, shadow->PartCount());
  for (Integer i = 0; i < shadow->PartCount(); ++i) {
    TdxBarShadowPart* part = shadow->Part(i);
    ASSERT_TRUE(part->HandleAllocated());
    EXPECT_TRUE(::IsWindowVisible(part->Handle()));
    EXPECT_EQ(HTTRANSPARENT,
              ::SendMessageA(part->Handle(), WM_NCHITTEST, 0, 0));
  }
  EXPECT_EQ(form->BoundsRect().Bottom, shadow->Part(0)->BoundsRect().Top);
  shadow->SetVisible(false);
  EXPECT_FALSE(shadow->Part(0)->HandleAllocated());
}

TEST(BarShadowWindowTest, AFadingMenuStillOpensAndCloses) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(100, 100, 300, 200);
  auto* manager = new TdxBarManager(form.get());
  manager->MenuAnimations = maFade;
  form->Show();
  PumpUntilIdle();
  auto* menu = new TdxBarPopupMenu(form.get());
  menu->ItemLinks()->Add(manager->AddButton());
  menu->PopupEx(150, 150, 0, 0, true, nullptr, false, nullptr);
  PumpUntilIdle();
  ASSERT_TRUE(menu->SubMenuControl());
  EXPECT_TRUE(::IsWindowVisible(menu->SubMenuControl()->Handle()));
  menu->SubMenuControl()->HideAll();
  EXPECT_EQ(nullptr, menu->SubMenuControl());
}

}  // namespace
