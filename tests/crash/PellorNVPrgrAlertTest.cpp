#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "Handles.h"
#include "PellorNVPrgrAlert.h"
#include "ScopeGuard.h"
#include "UiDriverWin.h"

namespace {

TIntfPtr<TIProgressAlert> Alert(std::initializer_list<Int64> weights,
                                const String& icon = "") {
  TIntfPtr<TIProgressAlert> a(
      new TIProgressAlert("Progress", GetModuleHandleA(nullptr), icon));
  int n = 0;
  for (Int64 w : weights) a->AddStage("stage " + std::to_string(n++), w);
  return a;
}

Integer BarPos(TIProgressAlert& a) {
  return static_cast<Integer>(SendMessageA(a.Bar(), PBM_GETPOS, 0, 0));
}

TEST(PellorNVPrgrAlertTest, WeightedStages) {
  struct Case {
    Integer stage, perMille, position;
  } cases[] = {{0, 0, 0},     {0, 1000, 250}, {1, 0, 250},
               {1, 500, 500}, {2, 500, 875},  {2, 1000, 1000}};
  for (const auto& c : cases) {
    auto a = Alert({100, 200, 100});
    a->SetCurrentStage(c.stage);
    a->SetProgress(c.perMille);
    EXPECT_EQ(c.position, a->BarPosition()) << c.stage << " " << c.perMille;
  }
}

TEST(PellorNVPrgrAlertTest, ProgressWithoutStagesDividesByNothing) {
  auto a = Alert({});
  a->SetProgress(500);
  EXPECT_EQ(500, a->GetProgress());
  EXPECT_EQ(0, a->BarPosition());
  a->StageDone();
  EXPECT_EQ(0, a->GetCurrentStage());
  auto zero = Alert({0, 0});
  zero->SetProgress(700);
  EXPECT_EQ(0, zero->BarPosition());
}

TEST(PellorNVPrgrAlertTest, SelectingStages) {
  auto a = Alert({100, 200, 100});
  a->SetCurrentStage(3);
  EXPECT_EQ(2, a->GetCurrentStage());
  EXPECT_EQ(1000, a->BarPosition());
  for (Integer bad : {-1, 4, 99}) {
    a->SetCurrentStage(bad);
    EXPECT_EQ(2, a->GetCurrentStage());
    EXPECT_EQ(1000, a->BarPosition());
  }
  a->SetCurrentStage(0);
  a->StageDone();
  EXPECT_EQ(1, a->GetCurrentStage());
  EXPECT_EQ(0, a->GetProgress());
  a->ClearStages();
  EXPECT_EQ(0, a->GetCurrentStage());
  EXPECT_TRUE(a->Stages().empty());
}

TEST(PellorNVPrgrAlertTest, EmptyStageTextRepeatsTheLastOne) {
  auto a = Alert({});
  a->AddStage("", 10);
  a->AddStage("Walking stacks", 10);
  a->AddStage("", 10);
  ASSERT_EQ(3u, a->Stages().size());
  EXPECT_EQ("", a->Stages()[0].text);
  EXPECT_EQ("Walking stacks", a->Stages()[2].text);
  EXPECT_EQ(20, a->Stages()[2].start);
}

String WindowText(HWND wnd) {
  char text[256] = {};
  GetWindowTextA(wnd, text, sizeof text);
  return text;
}

TEST(PellorNVPrgrAlertTest, OpenShowsTheStageAndTheBar) {
  auto a = Alert({});
  ASSERT_TRUE(a->Open(nullptr, false));
  EXPECT_EQ("Please wait...", WindowText(a->Label()));
  EXPECT_EQ("Progress", WindowText(a->Window()));
  EXPECT_FALSE(a->Open(nullptr, true));
  a->SetProgress(400);
  EXPECT_EQ(400, BarPos(*a));
  a->SetCaption("Sending");
  EXPECT_EQ("Sending", WindowText(a->Window()));
  HWND window = a->Window();
  a->Dismiss();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, a->Window());
}

TEST(PellorNVPrgrAlertTest, TheUserCannotCloseIt) {
  auto a = Alert({1});
  ASSERT_TRUE(a->Open(nullptr, true));
  // Alt+F4 asks the window to close as the system menu would (SC_CLOSE, then
  // WM_CLOSE); the window has no close box to click.
  ui_test::PressKeys({VK_MENU, VK_F4});
  EXPECT_TRUE(IsWindow(a->Window()));
  a->Dismiss();
}

TEST(PellorNVPrgrAlertTest, ParentIsDisabledWhileOpen) {
  HWND parent =
      CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                      100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, parent);
  const TScopeGuard destroyParent([parent] { DestroyWindow(parent); });
  auto a = Alert({1});
  ASSERT_TRUE(a->Open(parent, false));
  EXPECT_FALSE(IsWindowEnabled(parent));
  a->Dismiss();
  EXPECT_TRUE(IsWindowEnabled(parent));
}

TEST(PellorNVPrgrAlertTest, WorkersPostTheirProgress) {
  auto a = Alert({100, 200, 100});
  ASSERT_TRUE(a->Open(nullptr, false));
  std::atomic<bool> done{false};
  std::thread worker([&a, &done] {
    a->SetCurrentStage(1);
    a->SetProgress(500);
    done = true;
  });
  // The label text is set from the worker through the window's thread.
  EXPECT_TRUE(ui_test::WaitUntil([&done] { return done.load(); },
                                 "the worker's progress"));
  worker.join();
  ui_test::PumpUntilIdle();
  EXPECT_EQ(500, BarPos(*a));
  EXPECT_EQ("stage 1", WindowText(a->Label()));
  a->Dismiss();
}

TEST(PellorNVPrgrAlertTest, DismissFromAnotherThreadHandsOverTheWindow) {
  auto a = Alert({1});
  ASSERT_TRUE(a->Open(nullptr, false));
  HWND window = a->Window();
  std::thread([&a] { a->Dismiss(); }).join();
  EXPECT_EQ(nullptr, a->Window());
  EXPECT_TRUE(ui_test::WaitUntil([window] { return !IsWindow(window); },
                                 "the window to go"));
}

TEST(PellorNVPrgrAlertTest, LaterLongerStagesWidenTheLabel) {
  auto a = Alert({});
  a->AddStage("short", 1);
  a->AddStage(String(60, 'W'), 1);
  ASSERT_TRUE(a->Open(nullptr, false));
  RECT r;
  GetWindowRect(a->Label(), &r);
  EXPECT_GT(r.right - r.left, 220);
  auto plain = Alert({});
  plain->AddStage("short", 1);
  ASSERT_TRUE(plain->Open(nullptr, false));
  RECT p;
  GetWindowRect(plain->Label(), &p);
  EXPECT_EQ(220, p.right - p.left);
  plain->Dismiss();
  a->Dismiss();
}

TEST(PellorNVPrgrAlertTest, IconMovesTheLabel) {
  auto a = Alert({1}, "PEITEST");
  ASSERT_TRUE(a->Open(nullptr, false));
  ASSERT_NE(nullptr, a->IconButton());
  RECT r;
  GetWindowRect(a->Label(), &r);
  POINT pt{r.left, r.top};
  ScreenToClient(a->Window(), &pt);
  EXPECT_EQ(51, pt.x);
  // 40 more for the icon, but never below 220.
  EXPECT_EQ(220, r.right - r.left);
  a->Dismiss();
  auto none = Alert({1}, "NOSUCHICON");
  ASSERT_TRUE(none->Open(nullptr, false));
  EXPECT_EQ(nullptr, none->IconButton());
  none->Dismiss();
}

TEST(PellorNVPrgrAlertTest, IconIsBlendedOverTheButtonFace) {
  const TWindowDC screen(nullptr);
  const TOwnedDC memory(CreateCompatibleDC(screen.get()));
  const TBitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 32, 32));
  HDC dc = memory.get();
  const TSelectObject selected(dc, bitmap.get());
  ASSERT_TRUE(
      DrawBlendedBitmapResource(GetModuleHandleA(nullptr), "PEITEST", dc, 32));
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 5, 5));
  // Fully transparent: the face colour, within the blend's rounding.
  const COLORREF face = GetSysColor(COLOR_BTNFACE), seen = GetPixel(dc, 0, 31);
  EXPECT_LE(std::abs(GetRValue(face) - GetRValue(seen)), 1);
  EXPECT_LE(std::abs(GetGValue(face) - GetGValue(seen)), 1);
  EXPECT_LE(std::abs(GetBValue(face) - GetBValue(seen)), 1);
  EXPECT_FALSE(
      DrawBlendedBitmapResource(GetModuleHandleA(nullptr), "PEITEST", dc, 16));
  EXPECT_FALSE(
      DrawBlendedBitmapResource(GetModuleHandleA(nullptr), "NOSUCH", dc, 32));
}

}  // namespace
