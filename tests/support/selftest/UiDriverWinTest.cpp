// The UI driver's own input paths, on a plain window that records what
// reaches it: the tests of other layers rely on what these show.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "UiDriverWin.h"

namespace {

struct TSeen {
  UINT Msg;
  WPARAM W;
  LPARAM L;
};

std::vector<TSeen>& Seen() {
  static std::vector<TSeen> seen;
  return seen;
}

LRESULT CALLBACK RecordingProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
      Seen().push_back({Msg, W, L});
      return 0;
    default:
      return ::DefWindowProcA(Wnd, Msg, W, L);
  }
}

class UiDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &RecordingProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "UiDriverTestWindow";
    ::RegisterClassA(&wc);  // registered before is fine
    wnd_ = ::CreateWindowExA(0, wc.lpszClassName, "driver", WS_OVERLAPPEDWINDOW,
                             100, 100, 240, 180, nullptr, nullptr, wc.hInstance,
                             nullptr);
    ASSERT_NE(wnd_, nullptr);
    ::ShowWindow(wnd_, SW_SHOW);
    ::SetForegroundWindow(wnd_);
    ::SetFocus(wnd_);
    ui_test::WaitUntil([this] { return ::GetForegroundWindow() == wnd_; },
                       "the window to come to the front");
    ui_test::PumpUntilIdle();
    Seen().clear();
  }
  void TearDown() override {
    if (wnd_) ::DestroyWindow(wnd_);
    Seen().clear();
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> out;
    for (const TSeen& s : Seen()) out.push_back(s.Msg);
    return out;
  }

  HWND wnd_ = nullptr;
  ui_test::TCursorPosGuard pointer_;
};

TEST_F(UiDriverTest, WheelReachesTheFocusedWindowWithDeltaPointAndKeys) {
  const POINT at = ui_test::ScreenPointOf(wnd_, 30, 40);
  ui_test::Wheel(at, -WHEEL_DELTA);
  ui_test::Wheel(at, 2 * WHEEL_DELTA, ui_test::kCtrl);
  ASSERT_EQ(Seen().size(), 2u);
  EXPECT_EQ(Seen()[0].Msg, static_cast<UINT>(WM_MOUSEWHEEL));
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Seen()[0].W), -WHEEL_DELTA);
  EXPECT_EQ(GET_KEYSTATE_WPARAM(Seen()[0].W) & MK_CONTROL, 0);
  // The wheel message carries the pointer in screen coordinates.
  EXPECT_EQ(static_cast<short>(LOWORD(Seen()[0].L)), at.x);
  EXPECT_EQ(static_cast<short>(HIWORD(Seen()[0].L)), at.y);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Seen()[1].W), 2 * WHEEL_DELTA);
  EXPECT_NE(GET_KEYSTATE_WPARAM(Seen()[1].W) & MK_CONTROL, 0);
  // The modifier is released again.
  EXPECT_EQ(::GetKeyState(VK_CONTROL) & 0x8000, 0);
}

TEST_F(UiDriverTest, SeparatePressesOnOneSpotAreNoDoubleClick) {
  const POINT at = ui_test::ScreenPointOf(wnd_, 50, 50);
  for (int i = 0; i < 2; ++i) {
    ui_test::MouseDown(at);
    ui_test::MouseUp(at);
  }
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP,
                                           WM_LBUTTONDOWN, WM_LBUTTONUP}));
  // A double click still is one.
  Seen().clear();
  ui_test::DoubleClick(at);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP,
                                           WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
}

TEST_F(UiDriverTest, HeldButtonShowsInTheKeyStateUntilReleased) {
  const POINT at = ui_test::ScreenPointOf(wnd_, 60, 70);
  ui_test::MouseDown(at);
  EXPECT_NE(::GetKeyState(VK_LBUTTON) & 0x8000, 0);
  ui_test::MouseUp(at);
  EXPECT_EQ(::GetKeyState(VK_LBUTTON) & 0x8000, 0);
  ASSERT_EQ(Seen().size(), 2u);
  EXPECT_EQ(Seen()[0].W & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
}

TEST_F(UiDriverTest, ButtonsLeftHeldAreReleasedByTheGuard) {
  {
    ui_test::THeldButtonsGuard buttons;
    ui_test::MouseDown(ui_test::ScreenPointOf(wnd_, 40, 40));
    ui_test::MouseDown(ui_test::ScreenPointOf(wnd_, 40, 40),
                       ui_test::TClickButton::Right);
    ui_test::MouseUp(ui_test::ScreenPointOf(wnd_, 40, 40),
                     ui_test::TClickButton::Right);
  }
  EXPECT_EQ(::GetKeyState(VK_LBUTTON) & 0x8000, 0);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  // Nothing is held now: a second release sends nothing.
  Seen().clear();
  ui_test::ReleaseHeldButtons();
  EXPECT_TRUE(Seen().empty());
}

}  // namespace
