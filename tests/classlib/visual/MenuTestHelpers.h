// Scripts the next popup menu the thread shows: once the menu window is up
// it records what the menu holds and posts the given keys to it; a menu
// still open when the deadline passes is cancelled and the script reports
// the time-out, so a test fails instead of waiting for a person.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace visual_test {

struct TShownMenuItem {
  std::string Text;  // as the system shows it ("&" marks, tab + shortcut)
  UINT Type = 0;     // MFT_*
  UINT State = 0;    // MFS_*
  HBITMAP Bitmap = nullptr;
  bool HasSubMenu = false;
};

class TMenuScript {
 public:
  explicit TMenuScript(std::vector<WPARAM> Keys, UINT TimeoutMs = 5000)
      : keys_(std::move(Keys)), timeoutMs_(TimeoutMs) {
    Current() = this;
    start_ = ::GetTickCount();
    timer_ = ::SetTimer(nullptr, 0, 50, &TMenuScript::Tick);
  }
  ~TMenuScript() {
    ::KillTimer(nullptr, timer_);
    Current() = nullptr;
  }
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;

  bool SawMenu() const { return sawMenu_; }
  bool TimedOut() const { return timedOut_; }
  const std::vector<TShownMenuItem>& Items() const { return items_; }

  // The keys that choose the Index-th selectable item of a fresh menu.
  static std::vector<WPARAM> Choose(int Index) {
    std::vector<WPARAM> keys(static_cast<size_t>(Index) + 1, VK_DOWN);
    keys.push_back(VK_RETURN);
    return keys;
  }

 private:
  static TMenuScript*& Current() {
    static TMenuScript* current = nullptr;
    return current;
  }

  static BOOL CALLBACK IsMenuWindow(HWND h, LPARAM p) {
    char cls[16] = {};
    ::GetClassNameA(h, cls, sizeof(cls));
    if (std::string(cls) == "#32768" && ::IsWindowVisible(h)) {
      *reinterpret_cast<HWND*>(p) = h;
      return FALSE;
    }
    return TRUE;
  }

  static HWND FindMenuWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &TMenuScript::IsMenuWindow,
                        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void Record(HWND MenuWindow) {
    constexpr UINT kGetHMenu = 0x01E1;  // MN_GETHMENU
    HMENU menu =
        reinterpret_cast<HMENU>(::SendMessageA(MenuWindow, kGetHMenu, 0, 0));
    if (!menu) return;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      char text[256] = {};
      MENUITEMINFOA mii{};
      mii.cbSize = sizeof(mii);
      mii.fMask =
          MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU | MIIM_BITMAP;
      mii.dwTypeData = text;
      mii.cch = sizeof(text);
      if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) {
        continue;
      }
      TShownMenuItem item;
      if (!(mii.fType & (MFT_SEPARATOR | MFT_OWNERDRAW))) item.Text = text;
      item.Type = mii.fType;
      item.State = mii.fState;
      item.Bitmap = mii.hbmpItem;
      item.HasSubMenu = mii.hSubMenu != nullptr;
      items_.push_back(item);
    }
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TMenuScript* s = Current();
    if (!s) return;
    HWND menu = FindMenuWindow();
    if (menu && !s->sent_) {
      // Seen twice: the menu has been laid out and painted.
      if (!s->sawMenu_) {
        s->sawMenu_ = true;
        return;
      }
      s->Record(menu);
      for (WPARAM key : s->keys_) {
        ::PostMessageA(menu, WM_KEYDOWN, key, 0);
        ::PostMessageA(menu, WM_KEYUP, key, 0xC0000000);
      }
      s->sent_ = true;
      return;
    }
    if (menu && ::GetTickCount() - s->start_ > s->timeoutMs_) {
      s->timedOut_ = true;
      ::EndMenu();
    }
  }

  std::vector<WPARAM> keys_;
  std::vector<TShownMenuItem> items_;
  UINT timeoutMs_;
  DWORD start_ = 0;
  UINT_PTR timer_ = 0;
  bool sawMenu_ = false;
  bool sent_ = false;
  bool timedOut_ = false;
};

}  // namespace visual_test
