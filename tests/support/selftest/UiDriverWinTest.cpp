// The UI driver's own input paths, on a plain window that records what
// reaches it: the tests of other layers rely on what these show.
#include <gtest/gtest-spi.h>
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

// A window whose press runs a loop of its own until the button is
// released or the capture is lost, as a toolbar's drag does.
struct TLoopRecord {
  bool InLoop = false;
  bool Ended = false;
  std::vector<POINT> Moves;
};

TLoopRecord& LoopRecord() {
  static TLoopRecord record;
  return record;
}

LRESULT CALLBACK LoopProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg != WM_LBUTTONDOWN) return ::DefWindowProcA(Wnd, Msg, W, L);
  TLoopRecord& r = LoopRecord();
  r.InLoop = true;
  ::SetCapture(Wnd);
  MSG msg;
  while (::GetCapture() == Wnd && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_MOUSEMOVE) {
      POINT p{static_cast<short>(LOWORD(msg.lParam)),
              static_cast<short>(HIWORD(msg.lParam))};
      ::ClientToScreen(msg.hwnd, &p);
      r.Moves.push_back(p);
      continue;
    }
    ::DispatchMessageA(&msg);
  }
  if (::GetCapture() == Wnd) ::ReleaseCapture();
  r.InLoop = false;
  r.Ended = true;
  return 0;
}

HWND LoopWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &LoopProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "UiDriverLoopWindow";
  ::RegisterClassA(&wc);
  HWND wnd =
      ::CreateWindowExA(0, wc.lpszClassName, "loop", WS_POPUP | WS_VISIBLE, 400,
                        100, 120, 120, nullptr, nullptr, wc.hInstance, nullptr);
  ui_test::PumpUntilIdle();
  LoopRecord() = {};
  return wnd;
}

TEST_F(UiDriverTest, AScriptedDragRunsItsStepsInsideTheApplicationsLoop) {
  HWND wnd = LoopWindow();
  const POINT from = ui_test::ScreenPointOf(wnd, 10, 10);
  const POINT to{from.x + 150, from.y + 60};
  bool sawLoop = false;
  EXPECT_TRUE(ui_test::TModalDrag(from)
                  .MoveTo(to, 2)
                  .WaitFor(
                      [&] {
                        sawLoop = LoopRecord().InLoop;
                        return true;
                      },
                      "a look at the loop")
                  .Release()
                  .Run());
  ::DestroyWindow(wnd);
  EXPECT_TRUE(sawLoop);
  EXPECT_TRUE(LoopRecord().Ended);
  ASSERT_FALSE(LoopRecord().Moves.empty());
  EXPECT_EQ(to.x, LoopRecord().Moves.back().x);
  EXPECT_EQ(to.y, LoopRecord().Moves.back().y);
}

// A step that never comes true fails the test at the deadline, and the
// application's loop is ended rather than left waiting.
void DragThatNeverEnds(HWND Wnd) {
  ui_test::TModalDrag(ui_test::ScreenPointOf(Wnd, 10, 10), 300)
      .WaitFor([] { return false; }, "something that never happens")
      .Release()
      .Run();
}

TEST_F(UiDriverTest, AScriptedDragThatOverrunsItsDeadlineFailsAndEndsTheLoop) {
  static HWND wnd = nullptr;
  wnd = LoopWindow();
  EXPECT_NONFATAL_FAILURE(DragThatNeverEnds(wnd),
                          "waiting for: something that never happens");
  ::DestroyWindow(wnd);
  EXPECT_TRUE(LoopRecord().Ended);
  EXPECT_FALSE(LoopRecord().InLoop);
  EXPECT_EQ(::GetKeyState(VK_LBUTTON) & 0x8000, 0);
}

}  // namespace
