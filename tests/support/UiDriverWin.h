// Drives windows of the test's own thread the way a person would: the mouse
// and the keyboard reach them through hit testing, activation, capture and
// the application's message loop, and every step ends once the thread is
// idle. Waits have a deadline that fails the running test instead of
// hanging; nothing sleeps for a fixed time.
//
// The mouse: the pointer is moved to the screen point (the system's own
// move message is handled first), then the button messages go to the window
// under the point, or to the window holding the mouse capture, after
// WM_NCHITTEST, WM_MOUSEACTIVATE and WM_SETCURSOR as the system sends them.
// The keyboard: key messages reach the focused window through the message
// loop (so that accelerators, dialog keys and TranslateMessage see them),
// with the thread's key state showing the modifiers held.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace ui_test {

constexpr DWORD kDefaultTimeoutMs = 10000;

// Handles every message that is waiting. The default one peeks, translates
// and dispatches; a test program with a message loop of its own (the class
// library's application) installs that one.
using TPumpFunction = void (*)();
void SetPump(TPumpFunction Pump);
void Pump();

// Handles messages until no input, posted or sent message and no paint is
// left for the thread; fails the test when that does not happen in time.
bool PumpUntilIdle(DWORD TimeoutMs = kDefaultTimeoutMs);

// Handles messages until Done() holds; fails the test (naming What) when it
// does not in time. Between checks it waits for the next message, or a few
// milliseconds for conditions that no message announces (the X server
// showing a window).
bool WaitUntil(const std::function<bool()>& Done, const char* What,
               DWORD TimeoutMs = kDefaultTimeoutMs);

// Windows of this thread.
HWND FindWindowByCaption(const std::string& Caption);  // nullptr: none
POINT ScreenPointOf(HWND Wnd, int X, int Y);           // client to screen
POINT CentreOf(HWND Wnd);                              // of the client area

enum class TClickButton { Left, Right, Middle };

// Modifier keys held during a mouse action.
enum TModifiers : unsigned {
  kNoModifiers = 0,
  kShift = 1,
  kCtrl = 2,
  kAlt = 4
};

void MoveMouseTo(POINT Screen);
// A press that stays held (until MouseUp): the test can act while the
// button is down, e.g. fire a control's repeat timer itself. Like separate
// clicks, separate presses never make a double click.
void MouseDown(POINT Screen, TClickButton Button = TClickButton::Left,
               unsigned Modifiers = kNoModifiers);
void MouseUp(POINT Screen, TClickButton Button = TClickButton::Left,
             unsigned Modifiers = kNoModifiers);
void Click(POINT Screen, TClickButton Button = TClickButton::Left,
           unsigned Modifiers = kNoModifiers);
void RightClick(POINT Screen);
// Two clicks in quick succession: the second press arrives as a double
// click where the window's class asks for double clicks.
void DoubleClick(POINT Screen, TClickButton Button = TClickButton::Left);
// Presses at From, moves to To in Steps even moves, releases there.
void Drag(POINT From, POINT To, TClickButton Button = TClickButton::Left,
          int Steps = 4);

// Turns the wheel by Delta (WHEEL_DELTA a notch, negative towards the
// user) with the pointer at Screen. The system sends the wheel message to
// the focused window (some Windows versions to the one under the pointer):
// a test focuses the window it points at.
void Wheel(POINT Screen, int Delta, unsigned Modifiers = kNoModifiers);

// Releases every button that MouseDown pressed and no MouseUp released,
// where the pointer is, so that a test stopped halfway leaves none held.
void ReleaseHeldButtons();

void Click(HWND Wnd);
void DoubleClick(HWND Wnd);
void RightClick(HWND Wnd);

// Presses the keys in order and releases them in reverse, as a chord
// ({VK_CONTROL, 'C'}); a single key is a chord of one.
void PressKeys(std::initializer_list<WORD> Chord);
void PressKeys(const std::vector<WORD>& Chord);
// Types the text on the keyboard, shift included; characters without a key
// arrive as the character message alone.
void TypeText(const std::string& Text);

// What a shown popup menu held.
struct TShownMenuItem {
  std::string Text;  // as the system shows it ("&" marks, tab + shortcut)
  UINT Type = 0;     // MFT_*
  UINT State = 0;    // MFS_*
  HBITMAP Bitmap = nullptr;
  bool HasSubMenu = false;
};

// The item of a popup menu to click, by its text without "&" marks and
// shortcut.
struct TChooseItem {
  std::string Text;
};

// Scripts the next popup menu the thread shows, from inside the menu's own
// loop: once the menu is up it records what the menu holds and then clicks
// the item with the given text, or presses the given keys. A menu still open
// at the deadline is closed and the script reports the time-out, so a test
// fails instead of waiting for a person. One script at a time.
class TMenuScript {
 public:
  explicit TMenuScript(std::vector<WORD> Keys,
                       DWORD TimeoutMs = kDefaultTimeoutMs);
  explicit TMenuScript(TChooseItem Item, DWORD TimeoutMs = kDefaultTimeoutMs);
  ~TMenuScript();
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;

  // The keys that choose the Index-th selectable item of a fresh menu.
  static std::vector<WORD> Choose(int Index);

  bool SawMenu() const { return sawMenu_; }
  bool TimedOut() const { return timedOut_; }
  // The item to click was not in the menu.
  bool Missed() const { return missed_; }
  const std::vector<TShownMenuItem>& Items() const { return items_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Act(HWND MenuWindow);

  std::vector<WORD> keys_;
  std::string item_;
  std::vector<TShownMenuItem> items_;
  DWORD timeoutMs_;
  DWORD start_ = 0;
  UINT_PTR timer_ = 0;
  bool sawMenu_ = false;
  bool sent_ = false;
  bool timedOut_ = false;
  bool missed_ = false;
};

// Runs Show() (which opens the popup menu) under a script that clicks the
// item with the given text; fails the test when no menu showed, the item was
// missing or the menu stayed open.
void ChooseMenuItem(const std::function<void()>& Show, const std::string& Item);

// Scripts a drag whose press starts a modal loop of the application (a
// toolbar moved by its grip runs one until the button is released). The
// press goes to From; from inside the application's loop each step runs on
// a thread timer once the input of the one before has been handled: a move
// of the pointer, a key pressed and released, a wait for a condition, the
// release of the button. At the deadline the button is released and Escape
// pressed, so that the loop ends, and the test fails.
class TModalDrag {
 public:
  explicit TModalDrag(POINT From, DWORD TimeoutMs = kDefaultTimeoutMs);
  ~TModalDrag();
  TModalDrag(const TModalDrag&) = delete;
  TModalDrag& operator=(const TModalDrag&) = delete;

  // Moves in Steps even moves from where the previous step left the pointer.
  TModalDrag& MoveTo(POINT To, int Steps = 1);
  TModalDrag& Key(WORD Vk);
  // A key held over the steps between the two.
  TModalDrag& KeyDown(WORD Vk);
  TModalDrag& KeyUp(WORD Vk);
  TModalDrag& WaitFor(std::function<bool()> Done, const char* What);
  TModalDrag& Release();
  // Presses and runs the steps; true when every step ran in time.
  bool Run();

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Expire();

  POINT from_;
  POINT at_;
  DWORD timeoutMs_;
  std::vector<std::pair<std::string, std::function<bool()>>> steps_;
  std::size_t next_ = 0;
  DWORD start_ = 0;
  UINT_PTR timer_ = 0;
  bool usesKeys_ = false;
  bool done_ = false;
  bool timedOut_ = false;
};

// Restores the pointer position when it ends: tests that move the pointer
// leave it where they found it.
class TCursorPosGuard {
 public:
  TCursorPosGuard() { ::GetCursorPos(&saved_); }
  ~TCursorPosGuard() { MoveMouseTo(saved_); }
  TCursorPosGuard(const TCursorPosGuard&) = delete;
  TCursorPosGuard& operator=(const TCursorPosGuard&) = delete;

 private:
  POINT saved_{};
};

// Releases the buttons a test left held (ReleaseHeldButtons) when it ends.
// Made after the test's windows, it ends before them: the release reaches
// the window that has the mouse.
class THeldButtonsGuard {
 public:
  THeldButtonsGuard() = default;
  ~THeldButtonsGuard() { ReleaseHeldButtons(); }
  THeldButtonsGuard(const THeldButtonsGuard&) = delete;
  THeldButtonsGuard& operator=(const THeldButtonsGuard&) = delete;
};

}  // namespace ui_test
