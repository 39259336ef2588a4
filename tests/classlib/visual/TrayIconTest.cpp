// The tray icon: added to and removed from the shell's notification area,
// its mouse callbacks, the popup menu on a right click, balloons, and
// coming back when the taskbar is re-created.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include "ActnList.h"
#include "Forms.h"
#include "TrayIcon.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

// Whether the shell holds an icon for this window and id: changing the tip
// of an icon it does not know fails.
bool ShellHasIcon(HWND window) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = TTrayIcon::IconId;
  data.uFlags = NIF_TIP;
  return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.reset(new TComponent(nullptr));
    tray = new TTrayIcon(owner.get());
    tray->SetHint("Varnel");
  }
  void TearDown() override {
    owner.reset();
    Pump();
  }
  void Callback(UINT mouseMsg) {
    ::SendMessageA(tray->WindowHandle(), TTrayIcon::WM_TRAYNOTIFY,
                   TTrayIcon::IconId, mouseMsg);
  }
  TObjectPtr<TComponent> owner;
  TTrayIcon* tray = nullptr;
};

TEST_F(TrayIconTest, VisibleAddsAndRemovesTheIconAndFreeingRemovesIt) {
  ASSERT_NE(tray->WindowHandle(), nullptr);
  EXPECT_FALSE(ShellHasIcon(tray->WindowHandle()));
  tray->SetVisible(true);
  ASSERT_TRUE(tray->Added());
  EXPECT_TRUE(ShellHasIcon(tray->WindowHandle()));
  tray->SetVisible(false);
  EXPECT_FALSE(tray->Added());
  EXPECT_FALSE(ShellHasIcon(tray->WindowHandle()));

  tray->SetVisible(true);
  const HWND window = tray->WindowHandle();
  ASSERT_TRUE(ShellHasIcon(window));
  Free(tray);
  tray = nullptr;
  EXPECT_FALSE(ShellHasIcon(window));
}

TEST_F(TrayIconTest, ComesBackWhenTheTaskbarIsRecreated) {
  tray->SetVisible(true);
  ASSERT_TRUE(tray->Added());
  // A new shell knows no icons.
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = tray->WindowHandle();
  data.uID = TTrayIcon::IconId;
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
  ::SendMessageA(tray->WindowHandle(),
                 ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(tray->Added());
  EXPECT_TRUE(ShellHasIcon(tray->WindowHandle()));

  // A hidden icon stays hidden.
  tray->SetVisible(false);
  ::SendMessageA(tray->WindowHandle(),
                 ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_FALSE(ShellHasIcon(tray->WindowHandle()));
}

TEST_F(TrayIconTest, RightClickOpensThePopupMenuAndTheChoiceRunsItsAction) {
  auto* menu = new TPopupMenu(owner.get());
  auto* action = new TAction(owner.get());
  action->SetCaption("Restore");
  int restores = 0;
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++restores; });
  auto* item = new TMenuItem(owner.get());
  item->SetAction(action);
  item->SetDefault(true);
  menu->Items()->Add(item);
  auto* close = new TMenuItem(owner.get());
  close->SetCaption("Exit");
  menu->Items()->Add(close);
  int popups = 0;
  menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
  tray->SetPopupMenu(menu);
  tray->SetVisible(true);
  ASSERT_TRUE(tray->Added());

  {
    TMenuScript script(TMenuScript::Choose(0));
    Callback(WM_RBUTTONUP);
    ASSERT_TRUE(script.SawMenu());
    EXPECT_FALSE(script.TimedOut());
    ASSERT_EQ(script.Items().size(), 2u);
    EXPECT_TRUE(script.Items()[0].State & MFS_DEFAULT);
  }
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(restores, 1);
  EXPECT_EQ(menu->PopupComponent(), tray);

  // A right button going down or a menu without AutoPopup opens nothing.
  Callback(WM_RBUTTONDOWN);
  menu->SetAutoPopup(false);
  Callback(WM_RBUTTONUP);
  EXPECT_EQ(popups, 1);

  Free(menu);  // the icon forgets a freed menu
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  Callback(WM_RBUTTONUP);
}

TEST_F(TrayIconTest, MouseCallbacksRaiseTheirEvents) {
  std::vector<String> log;
  tray->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { log.push_back("click"); });
  tray->OnDblClick =
      TNotifyEvent::FromFunction([&](TObject*) { log.push_back("dbl"); });
  tray->OnMouseDown = TMouseEvent::FromFunction(
      [&](TObject*, TMouseButton b, TShiftState, Integer, Integer) {
        log.push_back(b == mbLeft ? "down-left" : "down-other");
      });
  tray->SetVisible(true);
  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  Callback(WM_LBUTTONDBLCLK);
  Callback(WM_MOUSEMOVE);
  // Another icon's id is not ours.
  ::SendMessageA(tray->WindowHandle(), TTrayIcon::WM_TRAYNOTIFY,
                 TTrayIcon::IconId + 1, WM_LBUTTONUP);
  EXPECT_EQ(log, (std::vector<String>{"down-left", "click", "dbl"}));
}

TEST_F(TrayIconTest, BalloonNeedsTheIconAndLongTextsAreCut) {
  tray->SetBalloonTitle("Varnel");
  tray->SetBalloonHint(String(400, 'b'));
  tray->SetBalloonFlags(bfInfo);
  EXPECT_FALSE(tray->ShowBalloonHint());  // not shown yet
  tray->SetHint(String(300, 'h'));        // longer than the shell keeps
  tray->SetVisible(true);
  ASSERT_TRUE(tray->Added());
  EXPECT_TRUE(tray->ShowBalloonHint());
  EXPECT_EQ(tray->Hint().size(), 300u);
}

TEST_F(TrayIconTest, IconChangesReachTheShell) {
  tray->SetVisible(true);
  ASSERT_TRUE(tray->Added());
  TObjectPtr<TIcon> icon(new TIcon);
  icon->SetHandle(::CopyIcon(::LoadIconA(nullptr, IDI_WARNING)));
  tray->SetIcon(icon.get());
  EXPECT_FALSE(tray->Icon()->Empty());
  EXPECT_TRUE(ShellHasIcon(tray->WindowHandle()));
}

}  // namespace
