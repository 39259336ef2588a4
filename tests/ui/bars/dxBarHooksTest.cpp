// The unit's message helpers and the call-window-procedure hook's handing
// of MDI messages: a single-document form never reaches the MDI seams, a
// window of an MDI client area reaches the main form's manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <utility>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "UiDriverWin.h"
#include "dxBar.h"

namespace {

// A window that counts the messages it is given.
struct TCountingWindow {
  TCountingWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "BarHooksTestCounter";
    ::RegisterClassA(&wc);
    Wnd = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 20, 20,
                            nullptr, nullptr, wc.hInstance, nullptr);
    Counts().clear();
  }
  ~TCountingWindow() { ::DestroyWindow(Wnd); }
  static std::map<UINT, int>& Counts() {
    static std::map<UINT, int> counts;
    return counts;
  }
  static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    ++Counts()[M];
    if (M == WM_PAINT) {
      PAINTSTRUCT ps;
      ::BeginPaint(W, &ps);
      ::EndPaint(W, &ps);
      return 0;
    }
    return ::DefWindowProcA(W, M, WP, LP);
  }
  HWND Wnd = nullptr;
};

bool QuitWaiting() {
  MSG msg;
  if (!::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
  return true;
}

// Each helper handles its own kind of waiting message only, and leaves a
// quit request for the application's loop.
TEST(BarMessageHelpersTest, EachHandlesItsOwnMessagesAndKeepsAQuit) {
  struct TCase {
    const char* Name;
    void (*Process)();
    UINT Own;
    UINT Other;
  };
  const TCase cases[] = {
      {"mouse", &ProcessMouseMessages, WM_MOUSEMOVE, WM_USER + 1},
      {"mouse wheel", &ProcessMouseMessages, WM_MOUSEWHEEL, WM_TIMER},
      {"paint", &ProcessPaintMessages, WM_PAINT, WM_MOUSEMOVE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ui_test::PumpUntilIdle();
    TCountingWindow w;
    if (c.Own == WM_PAINT) {
      ::ShowWindow(w.Wnd, SW_SHOWNOACTIVATE);
      ui_test::PumpUntilIdle();
      ::InvalidateRect(w.Wnd, nullptr, FALSE);
    } else {
      ::PostMessageA(w.Wnd, c.Own, 0, 0);
    }
    ::PostMessageA(w.Wnd, c.Other, 0, 0);
    TCountingWindow::Counts().clear();
    c.Process();
    EXPECT_EQ(1, TCountingWindow::Counts()[c.Own]);
    EXPECT_EQ(0, TCountingWindow::Counts()[c.Other]);
    // A quit met on the way is put back.
    ::PostQuitMessage(7);
    c.Process();
    EXPECT_TRUE(QuitWaiting());
    MSG left;
    EXPECT_TRUE(::PeekMessageA(&left, w.Wnd, c.Other, c.Other, PM_REMOVE));
  }
}

class BarHooksMDITest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = dxBarManagerSeams();
    dxBarManagerSeams().MDIFrameMessage = [](TMessage& M) {
      FrameMessages().push_back(M.Msg);
    };
    dxBarManagerSeams().MainFormClientWndProc = [](TdxBarManager* AManager,
                                                   HWND, TMessage& M) {
      ClientMessages().push_back({AManager, M.Msg});
    };
    FrameMessages().clear();
    ClientMessages().clear();
    form_.reset(new TForm(nullptr));
    form_->SetBounds(100, 100, 300, 200);
    manager_ = new TdxBarManager(form_.get());
    savedMain_ = Application->MainForm();
    Application->SetMainForm(form_.get());
  }
  void TearDown() override {
    Application->SetMainForm(savedMain_);
    form_.reset();
    dxBarManagerSeams() = saved_;
  }
  static std::vector<UINT>& FrameMessages() {
    static std::vector<UINT> messages;
    return messages;
  }
  static std::vector<std::pair<TdxBarManager*, UINT>>& ClientMessages() {
    static std::vector<std::pair<TdxBarManager*, UINT>> messages;
    return messages;
  }

  TdxBarManagerSeams saved_;
  TCustomForm* savedMain_ = nullptr;
  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
};

TEST_F(BarHooksMDITest, ASingleDocumentFormNeverReachesTheMDISeams) {
  form_->Show();
  ui_test::PumpUntilIdle();
  HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                 10, 10, form_->Handle(), nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(child);
  ::SendMessageA(form_->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  ::SetWindowPos(form_->Handle(), nullptr, 120, 120, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageA(child, WM_CHILDACTIVATE, 0, 0);
  ::DestroyWindow(child);
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(FrameMessages().empty());
  EXPECT_TRUE(ClientMessages().empty());
}

TEST_F(BarHooksMDITest, AWindowOfAnMDIClientAreaReachesTheMainFormsManager) {
  form_->Show();
  ui_test::PumpUntilIdle();
  CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
  HWND client = ::CreateWindowExA(
      0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
      200, 100, form_->Handle(), nullptr, ::GetModuleHandleA(nullptr), &ccs);
  ASSERT_TRUE(client);
  TScopeGuard freeClient([&] { ::DestroyWindow(client); });
  // The windows of a client area are the program's own forms and controls.
  TObjectPtr<TPanel> inner(new TPanel(nullptr));
  inner->SetParentWindow(client);
  inner->SetBounds(0, 0, 10, 10);
  ASSERT_TRUE(inner->Handle());
  ::SendMessageA(inner->Handle(), WM_CHILDACTIVATE, 0, 0);
  inner.reset();
  ASSERT_EQ(2u, ClientMessages().size());
  EXPECT_EQ(manager_, ClientMessages()[0].first);
  EXPECT_EQ(static_cast<UINT>(WM_CHILDACTIVATE), ClientMessages()[0].second);
  EXPECT_EQ(static_cast<UINT>(WM_DESTROY), ClientMessages()[1].second);
  // The frame itself is no MDI frame: its activation stays its own.
  EXPECT_TRUE(FrameMessages().empty());
}

}  // namespace
