#include "UiDriverWin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace ui_test {

namespace {

void PeekTranslateDispatch() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

TPumpFunction& PumpSlot() {
  static TPumpFunction pump = &PeekTranslateDispatch;
  return pump;
}

// Waits for the next message of any kind, or a few milliseconds for what no
// message announces.
void AwaitSomething() {
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

bool OwnWindow(HWND Wnd) {
  return Wnd &&
         ::GetWindowThreadProcessId(Wnd, nullptr) == ::GetCurrentThreadId();
}

std::string WithoutAccelerators(const std::string& Text) {
  std::string out;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&' && i + 1 < Text.size()) ++i;
    out += Text[i];
  }
  return out;
}

struct TCaptionSearch {
  std::string Caption;
  HWND Found = nullptr;
};

BOOL CALLBACK VisitByCaption(HWND Wnd, LPARAM P) {
  auto& s = *reinterpret_cast<TCaptionSearch*>(P);
  char text[512] = {};
  ::GetWindowTextA(Wnd, text, sizeof(text));
  if (::IsWindowVisible(Wnd) &&
      (s.Caption == text || s.Caption == WithoutAccelerators(text))) {
    s.Found = Wnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK VisitTopLevelByCaption(HWND Wnd, LPARAM P) {
  if (!VisitByCaption(Wnd, P)) return FALSE;
  ::EnumChildWindows(Wnd, &VisitByCaption, P);
  return reinterpret_cast<TCaptionSearch*>(P)->Found ? FALSE : TRUE;
}

// ---------------------------------------------------------------------------
// Mouse

struct TClickMemory {
  DWORD Time = 0;
  POINT At{};
  TClickButton Button = TClickButton::Left;
  bool Valid = false;
};

TClickMemory& LastClick() {
  static TClickMemory last;
  return last;
}

DWORD ButtonFlag(TClickButton Button, bool Down) {
  switch (Button) {
    case TClickButton::Right:
      return Down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case TClickButton::Middle:
      return Down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    case TClickButton::Left:
      break;
  }
  return Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
}

// The time stamp of a click. Separate clicks stay separate: one on the spot
// of the driver's previous click, within the double-click time, is stamped
// just after that time.
DWORD ClickTime(POINT At, TClickButton Button) {
  TClickMemory& last = LastClick();
  DWORD time = ::GetTickCount();
  if (last.Valid && last.Button == Button &&
      time - last.Time <= ::GetDoubleClickTime() &&
      std::abs(last.At.x - At.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(last.At.y - At.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK)) {
    time = last.Time + ::GetDoubleClickTime() + 1;
  }
  last = {time, At, Button, true};
  return time;
}

// The buttons MouseDown pressed and no MouseUp released yet.
unsigned& HeldButtons() {
  static unsigned held = 0;
  return held;
}

unsigned ButtonBit(TClickButton Button) {
  return 1u << static_cast<unsigned>(Button);
}

INPUT MouseInput(DWORD Flags, DWORD Time) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = Flags;
  in.mi.time = Time;
  return in;
}

INPUT KeyInput(WORD Vk, bool Down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = Vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(Vk, MAPVK_VK_TO_VSC));
  switch (Vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
    case VK_NUMLOCK:
      in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  if (!Down) in.ki.dwFlags |= KEYEVENTF_KEYUP;
  return in;
}

void Send(std::vector<INPUT> Inputs) {
  const UINT sent = ::SendInput(static_cast<UINT>(Inputs.size()), Inputs.data(),
                                sizeof(INPUT));
  if (sent != Inputs.size()) {
    ADD_FAILURE() << "the system took " << sent << " of " << Inputs.size()
                  << " input events (error " << ::GetLastError() << ")";
  }
}

// The windowing system answers each move of its pointer with a move of its
// own, which can arrive after the driver's next move and put the pointer
// back for a moment. While tests run, the mouse is the driver's alone: a
// low-level hook drops every mouse event that the driver did not send.
LRESULT CALLBACK OnlyDriverMouse(int Code, WPARAM W, LPARAM L) {
  if (Code == HC_ACTION &&
      !(reinterpret_cast<const MSLLHOOKSTRUCT*>(L)->flags & LLMHF_INJECTED)) {
    return 1;
  }
  return ::CallNextHookEx(nullptr, Code, W, L);
}

// The hook lives on a thread of its own that does nothing but answer it, so
// that it is answered at once even while a test is busy (an unanswered hook
// lets the event through after a while).
DWORD WINAPI MouseHookThread(LPVOID Ready) {
  const HHOOK hook = ::SetWindowsHookExA(WH_MOUSE_LL, &OnlyDriverMouse,
                                         ::GetModuleHandleA(nullptr), 0);
  ::SetEvent(static_cast<HANDLE>(Ready));
  if (!hook) return 1;
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
  return 0;
}

void TakeTheMouse() {
  static const bool taken = [] {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread =
        ready ? ::CreateThread(nullptr, 0, &MouseHookThread, ready, 0, nullptr)
              : nullptr;
    const bool ok =
        thread &&
        ::WaitForSingleObject(ready, kDefaultTimeoutMs) == WAIT_OBJECT_0 &&
        ::WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
    if (thread) ::CloseHandle(thread);
    if (ready) ::CloseHandle(ready);
    return ok;
  }();
  if (!taken)
    ADD_FAILURE() << "no mouse hook: the display may move the pointer";
}

bool MovePointer(POINT Screen) {
  TakeTheMouse();
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0);
  // Absolute positions are in 65536ths of the screen, taken back to pixels
  // rounding down: rounded up here, they land on the pixel itself.
  move.mi.dx = static_cast<LONG>((Screen.x * 65536LL + cx - 1) / cx);
  move.mi.dy = static_cast<LONG>((Screen.y * 65536LL + cy - 1) / cy);
  Send({move});
  POINT now{};
  ::GetCursorPos(&now);
  if (now.x != Screen.x || now.y != Screen.y) {
    ADD_FAILURE() << "the pointer went to (" << now.x << ", " << now.y
                  << ") instead of (" << Screen.x << ", " << Screen.y << ")";
    return false;
  }
  return true;
}

// The pointer goes to the point for a press; the window there (or holding
// the mouse) must be one of ours, or the press would land in another
// program.
bool PointAt(POINT Screen) {
  if (!MovePointer(Screen)) return false;
  HWND capture = ::GetCapture();
  HWND under = capture ? capture : ::WindowFromPoint(Screen);
  if (!OwnWindow(under)) {
    ADD_FAILURE() << "no window of the test is at (" << Screen.x << ", "
                  << Screen.y << ")";
    return false;
  }
  return true;
}

void SendModifiers(unsigned Modifiers, bool Down) {
  std::vector<INPUT> keys;
  const std::pair<unsigned, WORD> all[] = {
      {kShift, VK_SHIFT}, {kCtrl, VK_CONTROL}, {kAlt, VK_MENU}};
  for (const auto& [bit, vk] : all) {
    if (Modifiers & bit) keys.push_back(KeyInput(vk, Down));
  }
  if (!Down) std::reverse(keys.begin(), keys.end());
  if (!keys.empty()) {
    Send(std::move(keys));
    PumpUntilIdle();
  }
}

// Makes one of our windows the one the keyboard goes to.
bool OwnKeyboard() {
  if (OwnWindow(::GetForegroundWindow())) return true;
  HWND focus = ::GetFocus();
  HWND top = focus ? ::GetAncestor(focus, GA_ROOT) : ::GetActiveWindow();
  if (top) {
    ::SetForegroundWindow(top);
    PumpUntilIdle();
  }
  if (!OwnWindow(::GetForegroundWindow())) {
    ADD_FAILURE() << "no window of the test has the keyboard";
    return false;
  }
  return true;
}

}  // namespace

void SetPump(TPumpFunction Pump) {
  PumpSlot() = Pump ? Pump : &PeekTranslateDispatch;
}

void Pump() { PumpSlot()(); }

bool PumpUntilIdle(DWORD TimeoutMs) {
  const UINT busy =
      QS_KEY | QS_MOUSE | QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE;
  const DWORD start = ::GetTickCount();
  for (;;) {
    Pump();
    if (HIWORD(::GetQueueStatus(busy)) == 0) return true;
    if (::GetTickCount() - start > TimeoutMs) {
      ADD_FAILURE() << "the application was still busy after " << TimeoutMs
                    << " ms (queue status " << std::hex
                    << HIWORD(::GetQueueStatus(busy)) << ")";
      return false;
    }
  }
}

bool WaitUntil(const std::function<bool()>& Done, const char* What,
               DWORD TimeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    Pump();
    if (Done()) return true;
    if (::GetTickCount() - start > TimeoutMs) {
      ADD_FAILURE() << "gave up after " << TimeoutMs
                    << " ms waiting for: " << What;
      return false;
    }
    AwaitSomething();
  }
}

HWND FindWindowByCaption(const std::string& Caption) {
  TCaptionSearch search{Caption};
  ::EnumThreadWindows(::GetCurrentThreadId(), &VisitTopLevelByCaption,
                      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

POINT ScreenPointOf(HWND Wnd, int X, int Y) {
  POINT p{X, Y};
  ::ClientToScreen(Wnd, &p);
  return p;
}

POINT CentreOf(HWND Wnd) {
  RECT r{};
  ::GetClientRect(Wnd, &r);
  return ScreenPointOf(Wnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void MoveMouseTo(POINT Screen) {
  // Setting the position moves the pointer as the mouse does: the window
  // under it (or holding the capture) gets the move through hit testing.
  if (!MovePointer(Screen)) return;
  PumpUntilIdle();
}

void MouseDown(POINT Screen, TClickButton Button, unsigned Modifiers) {
  if (!PointAt(Screen)) return;
  PumpUntilIdle();
  SendModifiers(Modifiers, true);
  Send({MouseInput(ButtonFlag(Button, true), ClickTime(Screen, Button))});
  HeldButtons() |= ButtonBit(Button);
  PumpUntilIdle();
}

void MouseUp(POINT Screen, TClickButton Button, unsigned Modifiers) {
  if (!PointAt(Screen)) return;
  PumpUntilIdle();
  Send({MouseInput(ButtonFlag(Button, false), 0)});
  HeldButtons() &= ~ButtonBit(Button);
  PumpUntilIdle();
  SendModifiers(Modifiers, false);
}

void Click(POINT Screen, TClickButton Button, unsigned Modifiers) {
  if (!PointAt(Screen)) return;
  PumpUntilIdle();
  SendModifiers(Modifiers, true);
  const DWORD time = ClickTime(Screen, Button);
  Send({MouseInput(ButtonFlag(Button, true), time),
        MouseInput(ButtonFlag(Button, false), time)});
  PumpUntilIdle();
  SendModifiers(Modifiers, false);
}

void RightClick(POINT Screen) { Click(Screen, TClickButton::Right); }

void DoubleClick(POINT Screen, TClickButton Button) {
  if (!PointAt(Screen)) return;
  PumpUntilIdle();
  // Both clicks in one go carry one time: the system sees a double click
  // however slowly the test runs.
  const DWORD time = ClickTime(Screen, Button);
  Send({MouseInput(ButtonFlag(Button, true), time),
        MouseInput(ButtonFlag(Button, false), time),
        MouseInput(ButtonFlag(Button, true), time),
        MouseInput(ButtonFlag(Button, false), time)});
  PumpUntilIdle();
}

void Drag(POINT From, POINT To, TClickButton Button, int Steps) {
  MouseDown(From, Button);
  Steps = std::max(Steps, 1);
  for (int i = 1; i <= Steps; ++i) {
    MoveMouseTo({From.x + (To.x - From.x) * i / Steps,
                 From.y + (To.y - From.y) * i / Steps});
  }
  MouseUp(To, Button);
}

void Wheel(POINT Screen, int Delta, unsigned Modifiers) {
  if (!MovePointer(Screen)) return;
  PumpUntilIdle();
  SendModifiers(Modifiers, true);
  INPUT turn = MouseInput(MOUSEEVENTF_WHEEL, 0);
  turn.mi.mouseData = static_cast<DWORD>(Delta);
  Send({turn});
  PumpUntilIdle();
  SendModifiers(Modifiers, false);
}

void ReleaseHeldButtons() {
  if (!HeldButtons()) return;
  for (TClickButton b :
       {TClickButton::Left, TClickButton::Right, TClickButton::Middle}) {
    if (HeldButtons() & ButtonBit(b))
      Send({MouseInput(ButtonFlag(b, false), 0)});
  }
  HeldButtons() = 0;
  PumpUntilIdle();
}

void Click(HWND Wnd) { Click(CentreOf(Wnd)); }
void DoubleClick(HWND Wnd) { DoubleClick(CentreOf(Wnd)); }
void RightClick(HWND Wnd) { RightClick(CentreOf(Wnd)); }

// ---------------------------------------------------------------------------
// Keyboard

void PressKeys(std::initializer_list<WORD> Chord) {
  PressKeys(std::vector<WORD>(Chord));
}

void PressKeys(const std::vector<WORD>& Chord) {
  if (Chord.empty() || !OwnKeyboard()) return;
  // One step at a time: what a handler sees of the key state matches the
  // message it handles.
  for (WORD vk : Chord) {
    Send({KeyInput(vk, true)});
    PumpUntilIdle();
  }
  for (auto it = Chord.rbegin(); it != Chord.rend(); ++it) {
    Send({KeyInput(*it, false)});
    PumpUntilIdle();
  }
}

void TypeText(const std::string& Text) {
  if (!OwnKeyboard()) return;
  for (char c : Text) {
    const SHORT scan = ::VkKeyScanA(c);
    if (scan == -1) {
      // No key makes it: the character alone, as an input method sends it.
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = static_cast<unsigned char>(c);
      in.ki.dwFlags = KEYEVENTF_UNICODE;
      INPUT up = in;
      up.ki.dwFlags |= KEYEVENTF_KEYUP;
      Send({in, up});
      PumpUntilIdle();
      continue;
    }
    std::vector<WORD> chord;
    const int shifts = HIBYTE(scan);
    if (shifts & 1) chord.push_back(VK_SHIFT);
    if (shifts & 2) chord.push_back(VK_CONTROL);
    if (shifts & 4) chord.push_back(VK_MENU);
    chord.push_back(LOBYTE(scan));
    PressKeys(chord);
  }
}

// ---------------------------------------------------------------------------
// Popup menus

namespace {

TMenuScript*& CurrentScript() {
  static TMenuScript* current = nullptr;
  return current;
}

BOOL CALLBACK IsMenuWindow(HWND Wnd, LPARAM P) {
  char cls[16] = {};
  ::GetClassNameA(Wnd, cls, sizeof(cls));
  if (std::string(cls) == "#32768" && ::IsWindowVisible(Wnd)) {
    *reinterpret_cast<HWND*>(P) = Wnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindMenuWindow() {
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &IsMenuWindow,
                      reinterpret_cast<LPARAM>(&found));
  return found;
}

HMENU MenuOfWindow(HWND MenuWindow) {
  constexpr UINT kGetHMenu = 0x01E1;  // MN_GETHMENU
  return reinterpret_cast<HMENU>(::SendMessageA(MenuWindow, kGetHMenu, 0, 0));
}

std::vector<TShownMenuItem> ReadMenu(HMENU Menu) {
  std::vector<TShownMenuItem> items;
  const int count = ::GetMenuItemCount(Menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask =
        MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU | MIIM_BITMAP;
    mii.dwTypeData = text;
    mii.cch = sizeof(text);
    if (!::GetMenuItemInfoA(Menu, static_cast<UINT>(i), TRUE, &mii)) {
      continue;
    }
    TShownMenuItem item;
    if (!(mii.fType & (MFT_SEPARATOR | MFT_OWNERDRAW))) item.Text = text;
    item.Type = mii.fType;
    item.State = mii.fState;
    item.Bitmap = mii.hbmpItem;
    item.HasSubMenu = mii.hSubMenu != nullptr;
    items.push_back(item);
  }
  return items;
}

// The shown text without "&" marks and the tab with the shortcut.
std::string PlainItemText(const std::string& Shown) {
  return WithoutAccelerators(Shown.substr(0, Shown.find('\t')));
}

}  // namespace

TMenuScript::TMenuScript(std::vector<WORD> Keys, DWORD TimeoutMs)
    : keys_(std::move(Keys)), timeoutMs_(TimeoutMs) {
  CurrentScript() = this;
  start_ = ::GetTickCount();
  timer_ = ::SetTimer(nullptr, 0, 50, &TMenuScript::Tick);
}

TMenuScript::TMenuScript(TChooseItem Item, DWORD TimeoutMs)
    : TMenuScript(std::vector<WORD>{}, TimeoutMs) {
  item_ = std::move(Item.Text);
}

TMenuScript::~TMenuScript() {
  ::KillTimer(nullptr, timer_);
  CurrentScript() = nullptr;
}

std::vector<WORD> TMenuScript::Choose(int Index) {
  std::vector<WORD> keys(static_cast<size_t>(Index) + 1, VK_DOWN);
  keys.push_back(VK_RETURN);
  return keys;
}

void TMenuScript::Act(HWND MenuWindow) {
  HMENU menu = MenuOfWindow(MenuWindow);
  if (menu) items_ = ReadMenu(menu);
  if (item_.empty()) {
    // Keys go straight to the menu's window: the menu has them whichever
    // program has the keyboard.
    for (WORD key : keys_) {
      ::PostMessageA(MenuWindow, WM_KEYDOWN, key, 0);
      ::PostMessageA(MenuWindow, WM_KEYUP, key, 0xC0000000);
    }
    return;
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    RECT r{};
    if (PlainItemText(items_[i].Text) != item_ ||
        !::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r)) {
      continue;
    }
    // A click on the item, through the menu's own mouse handling.
    if (!MovePointer({(r.left + r.right) / 2, (r.top + r.bottom) / 2})) break;
    Send({MouseInput(MOUSEEVENTF_LEFTDOWN, 0),
          MouseInput(MOUSEEVENTF_LEFTUP, 0)});
    return;
  }
  missed_ = true;
  ::EndMenu();
}

void CALLBACK TMenuScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  TMenuScript* s = CurrentScript();
  if (!s) return;
  HWND menu = FindMenuWindow();
  if (menu && !s->sent_) {
    // Seen twice: the menu has been laid out and painted.
    if (!s->sawMenu_) {
      s->sawMenu_ = true;
      return;
    }
    s->sent_ = true;
    s->Act(menu);
    return;
  }
  if (menu && ::GetTickCount() - s->start_ > s->timeoutMs_) {
    s->timedOut_ = true;
    ::EndMenu();
  }
}

// ---------------------------------------------------------------------------
// Drags that run a modal loop

namespace {

TModalDrag*& CurrentDrag() {
  static TModalDrag* drag = nullptr;
  return drag;
}

}  // namespace

TModalDrag::TModalDrag(POINT From, DWORD TimeoutMs)
    : from_(From), at_(From), timeoutMs_(TimeoutMs) {}

TModalDrag::~TModalDrag() {
  if (timer_) ::KillTimer(nullptr, timer_);
  if (CurrentDrag() == this) CurrentDrag() = nullptr;
}

TModalDrag& TModalDrag::MoveTo(POINT To, int Steps) {
  Steps = std::max(Steps, 1);
  const POINT from = at_;
  for (int i = 1; i <= Steps; ++i) {
    const POINT p{from.x + (To.x - from.x) * i / Steps,
                  from.y + (To.y - from.y) * i / Steps};
    steps_.emplace_back("a move of the pointer", [p] {
      MovePointer(p);
      return true;
    });
  }
  at_ = To;
  return *this;
}

TModalDrag& TModalDrag::Key(WORD Vk) {
  usesKeys_ = true;
  steps_.emplace_back("a key", [Vk] {
    Send({KeyInput(Vk, true), KeyInput(Vk, false)});
    return true;
  });
  return *this;
}

TModalDrag& TModalDrag::KeyDown(WORD Vk) {
  usesKeys_ = true;
  steps_.emplace_back("a key press", [Vk] {
    Send({KeyInput(Vk, true)});
    return true;
  });
  return *this;
}

TModalDrag& TModalDrag::KeyUp(WORD Vk) {
  steps_.emplace_back("a key release", [Vk] {
    Send({KeyInput(Vk, false)});
    return true;
  });
  return *this;
}

TModalDrag& TModalDrag::WaitFor(std::function<bool()> Done, const char* What) {
  steps_.emplace_back(What, std::move(Done));
  return *this;
}

TModalDrag& TModalDrag::Release() {
  steps_.emplace_back("the release", [] {
    Send({MouseInput(MOUSEEVENTF_LEFTUP, 0)});
    return true;
  });
  return *this;
}

bool TModalDrag::Run() {
  if (!PointAt(from_)) return false;
  if (usesKeys_ && !OwnKeyboard()) return false;
  PumpUntilIdle();
  CurrentDrag() = this;
  start_ = ::GetTickCount();
  timer_ = ::SetTimer(nullptr, 0, 10, &TModalDrag::Tick);
  Send(
      {MouseInput(MOUSEEVENTF_LEFTDOWN, ClickTime(from_, TClickButton::Left))});
  // The press starts the application's loop here; the steps run inside it.
  WaitUntil([this] { return done_; }, "the end of the scripted drag",
            timeoutMs_ + 1000);
  if (timer_) ::KillTimer(nullptr, timer_);
  timer_ = 0;
  CurrentDrag() = nullptr;
  PumpUntilIdle();
  return done_ && !timedOut_;
}

void TModalDrag::Expire() {
  timedOut_ = true;
  std::string what = next_ < steps_.size() ? steps_[next_].first : "the end";
  ADD_FAILURE() << "the scripted drag gave up after " << timeoutMs_
                << " ms waiting for: " << what;
  // Keys a step held are let go too.
  Send({MouseInput(MOUSEEVENTF_LEFTUP, 0), KeyInput(VK_CONTROL, false),
        KeyInput(VK_SHIFT, false), KeyInput(VK_ESCAPE, true),
        KeyInput(VK_ESCAPE, false)});
  ::ReleaseCapture();
  done_ = true;
}

void CALLBACK TModalDrag::Tick(HWND, UINT, UINT_PTR, DWORD) {
  TModalDrag* d = CurrentDrag();
  if (!d || d->done_) return;
  if (::GetTickCount() - d->start_ > d->timeoutMs_) {
    d->Expire();
    return;
  }
  if (d->next_ < d->steps_.size()) {
    if (d->steps_[d->next_].second()) ++d->next_;
    return;
  }
  d->done_ = true;
}

void ChooseMenuItem(const std::function<void()>& Show,
                    const std::string& Item) {
  TMenuScript script(TChooseItem{Item});
  Show();
  PumpUntilIdle();
  EXPECT_TRUE(script.SawMenu()) << "no menu was shown";
  EXPECT_FALSE(script.Missed()) << "the menu has no item \"" << Item << "\"";
  EXPECT_FALSE(script.TimedOut()) << "the menu did not close";
}

}  // namespace ui_test
