// Shadows and menu animation: the strips of a shadow around a popup and the
// item that opened it, their fading, the strips as mouse-transparent
// windows, the choice of an opening animation, the steps of unfolding and
// sliding menus, and a menu on the screen opened by the animation thread
// on the test's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

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

// A menu 100 x 60 (client) whose window, with a frame of 2 on every side,
// ends at (200, 300).
TdxBarAnimationInfo Menu(TdxBarMenuAnimations AKind, bool ALeftward = false,
                         bool AUpward = false) {
  return dxBarMakeAnimationInfo(AKind, Bounds(200, 300, 104, 64), {100, 60},
                                ALeftward, AUpward);
}

TEST(BarMenuAnimationTest, UnfoldingGrowsBothSidesWithTheLongerLeading) {
  const TdxBarAnimationInfo wide = Menu(maUnfold);
  EXPECT_EQ(-40, wide.FirstValue);
  EXPECT_EQ(60, wide.Delta);
  EXPECT_EQ(7, dxBarAnimationStepCount(wide));
  EXPECT_EQ(Bounds(200, 300, 8 + 40 + 4, 8 + 4),
            dxBarAnimationStepBounds(wide, 1));
  EXPECT_EQ(Bounds(200, 300, 56 + 40 + 4, 56 + 4),
            dxBarAnimationStepBounds(wide, 7));

  const TdxBarAnimationInfo tall = dxBarMakeAnimationInfo(
      maUnfold, Bounds(0, 0, 50, 130), {50, 130}, false, false);
  EXPECT_EQ(80, tall.FirstValue);
  EXPECT_EQ(50, tall.Delta);
  EXPECT_EQ(Bounds(0, 0, 16, 96), dxBarAnimationStepBounds(tall, 2));
}

TEST(BarMenuAnimationTest, SlidingKeepsTheWidthAndGrowsDownwards) {
  const TdxBarAnimationInfo slide = Menu(maSlide);
  EXPECT_EQ(17, slide.Step);
  EXPECT_EQ(3, dxBarAnimationStepCount(slide));
  struct Case {
    Integer Step;
    TRect Bounds;
  };
  for (const Case& c : {Case{1, Bounds(200, 300, 104, 17 + 4)},
                        Case{2, Bounds(200, 300, 104, 34 + 4)},
                        Case{3, Bounds(200, 300, 104, 51 + 4)}})
    EXPECT_EQ(c.Bounds, dxBarAnimationStepBounds(slide, c.Step)) << c.Step;
}

TEST(BarMenuAnimationTest, FlippedMenusGrowFromTheirFarEdges) {
  // Leftwards the right edge stays, upwards the bottom edge.
  EXPECT_EQ(Bounds(200 + 100 - 48, 300, 48 + 4, 8 + 4),
            dxBarAnimationStepBounds(Menu(maUnfold, true), 1));
  EXPECT_EQ(Bounds(200, 300 + 60 - 17, 104, 17 + 4),
            dxBarAnimationStepBounds(Menu(maSlide, false, true), 1));
  // The shown part comes from where the menu grows from.
  const TSize shown{48, 8};
  EXPECT_EQ(TPoint(0, 52), dxBarAnimationImageOffset(Menu(maUnfold), shown));
  EXPECT_EQ(TPoint(52, 52),
            dxBarAnimationImageOffset(Menu(maUnfold, true), shown));
  EXPECT_EQ(TPoint(0, 0),
            dxBarAnimationImageOffset(Menu(maUnfold, false, true), shown));
}

TEST(BarMenuAnimationTest, LessGrowthThanAStepMakesNoStep) {
  const TdxBarAnimationInfo tiny = dxBarMakeAnimationInfo(
      maSlide, Bounds(0, 0, 30, 14), {30, 10}, false, false);
  EXPECT_EQ(0, dxBarAnimationStepCount(tiny));
}

// A clock whose every reading is a new tick, so that no step waits, and
// which notes the window's size at each step.
struct TRecordingClock {
  static TRecordingClock*& Current() {
    static TRecordingClock* current = nullptr;
    return current;
  }
  TRecordingClock() {
    saved = dxBarAnimationClock();
    Current() = this;
    dxBarAnimationClock() = {&Ticks, &Pause};
  }
  ~TRecordingClock() {
    dxBarAnimationClock() = saved;
    Current() = nullptr;
  }
  static DWORD Ticks() { return ++Current()->ticks; }
  static void Pause() {
    TRecordingClock* self = Current();
    // The first step may come before the test knows the window; a window
    // that never comes records nothing, and the test fails on the sizes.
    const DWORD start = ::GetTickCount();
    while (!self->Wnd.load()) {
      if (::GetTickCount() - start > 10000) return;
      ::Sleep(1);
    }
    RECT r{};
    ::GetWindowRect(self->Wnd.load(), &r);
    std::lock_guard<std::mutex> lock(self->mutex);
    self->Sizes.push_back({r.right - r.left, r.bottom - r.top});
  }
  std::vector<TSize> Taken() {
    std::lock_guard<std::mutex> lock(mutex);
    return Sizes;
  }
  TdxBarAnimationClock saved;
  std::atomic<DWORD> ticks{0};
  std::atomic<HWND> Wnd{nullptr};
  std::mutex mutex;
  std::vector<TSize> Sizes;
};

class BarMenuAnimationWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(100, 100, 300, 200);
    manager_ = new TdxBarManager(form_.get());
    form_->Show();
    PumpUntilIdle();
    // The mouse stays away: a move over the menu would stop the animation.
    MoveMouseTo({5, 5});
    menu_ = new TdxBarPopupMenu(form_.get());
    for (const char* caption : {"One", "Two", "Three", "Four", "Five"}) {
      auto* b = static_cast<TdxBarButton*>(manager_->AddButton());
      b->SetCaption(caption);
      menu_->ItemLinks()->Add(b);
    }
  }
  void TearDown() override {
    if (ActiveBarControl) ActiveBarControl->HideAll();
    form_.reset();
    PumpUntilIdle();
  }
  TdxBarSubMenuControl* Open(bool AAnimate) {
    menu_->PopupEx(150, 150, 0, 0, AAnimate, nullptr, false, nullptr);
    return menu_->SubMenuControl();
  }
  static TRect WindowRect(TdxBarSubMenuControl* AMenu) {
    RECT r{};
    ::GetWindowRect(AMenu->Handle(), &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
  TdxBarPopupMenu* menu_ = nullptr;
  TCursorPosGuard cursor_;
};

TEST_F(BarMenuAnimationWindowTest, AnUnfoldingMenuGrowsStepByStepToItsPlace) {
  manager_->MenuAnimations = maUnfold;
  TRecordingClock clock;
  TdxBarSubMenuControl* open = Open(true);
  ASSERT_TRUE(open);
  clock.Wnd = open->Handle();
  const TdxBarAnimationInfo info = dxBarMakeAnimationInfo(
      maUnfold, open->BoundsRect(), {open->ClientWidth(), open->ClientHeight()},
      open->FlippedLeft(), open->FlippedUp());
  ASSERT_TRUE(WaitUntil([&] { return !open->AnimationRunning(); },
                        "the animation's end"));
  PumpUntilIdle();
  const std::vector<TSize> sizes = clock.Taken();
  ASSERT_EQ(static_cast<std::size_t>(dxBarAnimationStepCount(info)),
            sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const TRect step =
        dxBarAnimationStepBounds(info, static_cast<Integer>(i) + 1);
    EXPECT_EQ(step.Width(), sizes[i].cx) << "step " << i + 1;
    EXPECT_EQ(step.Height(), sizes[i].cy) << "step " << i + 1;
  }
  EXPECT_EQ(Bounds(info.FinalLeft, info.FinalTop,
                   info.FinalClientWidth + info.BorderWidth,
                   info.FinalClientHeight + info.BorderHeight),
            WindowRect(open));
  EXPECT_TRUE(::IsWindowVisible(open->Handle()));
  EXPECT_FALSE(open->ShowAnimation);
}

TEST_F(BarMenuAnimationWindowTest, AKeyStopsTheAnimationWithTheMenuInPlace) {
  manager_->MenuAnimations = maSlide;
  // A clock that never ticks holds the first step until the key comes.
  static std::atomic<bool> paused{false};
  const TdxBarAnimationClock saved = dxBarAnimationClock();
  dxBarAnimationClock() = {[]() -> DWORD { return 1; },
                           []() {
                             paused = true;
                             ::Sleep(1);
                           }};
  TdxBarSubMenuControl* open = Open(true);
  ASSERT_TRUE(open);
  const TRect final = open->BoundsRect();
  ASSERT_TRUE(WaitUntil([&] { return paused.load(); }, "the first step"));
  EXPECT_TRUE(open->AnimationRunning());
  PressKeys({VK_DOWN});
  dxBarAnimationClock() = saved;
  EXPECT_FALSE(open->AnimationRunning());
  EXPECT_EQ(final, WindowRect(open));
  EXPECT_EQ(menu_->ItemLinks()->Items(0)->Control(), open->SelectedControl());
}

TEST_F(BarMenuAnimationWindowTest, WithoutAnimationTheMenuAppearsAtOnce) {
  for (TdxBarMenuAnimations kind : {maNone, maUnfold}) {
    manager_->MenuAnimations = kind;
    // maUnfold with the caller's animation off shows at once too.
    TdxBarSubMenuControl* open = Open(kind == maNone);
    ASSERT_TRUE(open);
    EXPECT_FALSE(open->AnimationRunning());
    EXPECT_TRUE(::IsWindowVisible(open->Handle()));
    EXPECT_EQ(open->BoundsRect(), WindowRect(open));
    open->HideAll();
    PumpUntilIdle();
  }
}

}  // namespace
