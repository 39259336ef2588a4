// The UI driver for tests of the class library's controls: controls found
// by pointer or caption, the application's own message loop handling what
// the driver sends, and modal loops that end when a test overruns them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>

#include "Controls.h"
#include "Forms.h"
#include "UiDriverWin.h"

namespace ui_test {

// The driver's messages go through the application's loop, as the
// program's do: key preview, dialog keys, hints and shortcuts see them.
inline void ApplicationPump() { Application->ProcessMessages(); }
inline const bool kApplicationPumpInstalled = (SetPump(&ApplicationPump), true);

// Where a point of a control's client area is on the screen: through the
// window that holds the control, where the system placed it.
inline POINT ScreenPointOf(TControl* C, Integer X, Integer Y) {
  POINT p{X, Y};
  TControl* c = C;
  while (c && !dynamic_cast<TWinControl*>(c)) {
    p.x += c->Left();
    p.y += c->Top();
    c = c->Parent();
  }
  if (c) ::ClientToScreen(static_cast<TWinControl*>(c)->Handle(), &p);
  return p;
}

inline POINT CentreOf(TControl* C) {
  return ScreenPointOf(C, C->ClientWidth() / 2, C->ClientHeight() / 2);
}

// The visible control under Root (Root included) whose caption is Caption,
// with or without its "&" marks; nullptr when there is none.
inline TControl* FindControlByCaption(TControl* Root, const String& Caption) {
  if (!Root->Visible()) return nullptr;
  String plain;
  const String text = Root->Caption();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  if (text == Caption || plain == Caption) return Root;
  if (auto* w = dynamic_cast<TWinControl*>(Root)) {
    for (Integer i = 0; i < w->ControlCount(); ++i) {
      if (TControl* found = FindControlByCaption(w->Controls(i), Caption)) {
        return found;
      }
    }
  }
  return nullptr;
}

inline void Click(TControl* C) { Click(CentreOf(C)); }
inline void Click(TControl* C, Integer X, Integer Y,
                  TClickButton Button = TClickButton::Left,
                  unsigned Modifiers = kNoModifiers) {
  Click(ScreenPointOf(C, X, Y), Button, Modifiers);
}
inline void RightClick(TControl* C) { RightClick(CentreOf(C)); }
inline void RightClick(TControl* C, Integer X, Integer Y) {
  RightClick(ScreenPointOf(C, X, Y));
}
inline void DoubleClick(TControl* C) { DoubleClick(CentreOf(C)); }
inline void DoubleClick(TControl* C, Integer X, Integer Y) {
  DoubleClick(ScreenPointOf(C, X, Y));
}
inline void MoveMouseTo(TControl* C, Integer X, Integer Y) {
  MoveMouseTo(ScreenPointOf(C, X, Y));
}
inline void MouseDown(TControl* C, Integer X, Integer Y,
                      TClickButton Button = TClickButton::Left) {
  MouseDown(ScreenPointOf(C, X, Y), Button);
}
inline void MouseUp(TControl* C, Integer X, Integer Y,
                    TClickButton Button = TClickButton::Left) {
  MouseUp(ScreenPointOf(C, X, Y), Button);
}
inline void Wheel(TControl* C, Integer X, Integer Y, int Delta,
                  unsigned Modifiers = kNoModifiers) {
  Wheel(ScreenPointOf(C, X, Y), Delta, Modifiers);
}
inline void Drag(TControl* From, Integer FromX, Integer FromY, TControl* To,
                 Integer ToX, Integer ToY) {
  Drag(ScreenPointOf(From, FromX, FromY), ScreenPointOf(To, ToX, ToY));
}

// Clicks the control with the given caption under Root; fails the test when
// there is none.
inline void Click(TControl* Root, const String& Caption) {
  TControl* c = FindControlByCaption(Root, Caption);
  if (!c) {
    ADD_FAILURE() << "no control \"" << Caption << "\"";
    return;
  }
  Click(c);
}

// While alive, a modal loop of Form that is still running after ms
// milliseconds ends with mrAbort, so a test fails instead of hanging.
class TModalWatchdog {
 public:
  explicit TModalWatchdog(TCustomForm* form, UINT ms = kDefaultTimeoutMs) {
    Form() = form;
    Fired() = false;
    timer_ = ::SetTimer(nullptr, 0, ms, &TModalWatchdog::Expired);
  }
  ~TModalWatchdog() {
    ::KillTimer(nullptr, timer_);
    Form() = nullptr;
  }
  TModalWatchdog(const TModalWatchdog&) = delete;
  TModalWatchdog& operator=(const TModalWatchdog&) = delete;
  static bool& Fired() {
    static bool fired = false;
    return fired;
  }

 private:
  static TCustomForm*& Form() {
    static TCustomForm* form = nullptr;
    return form;
  }
  static void CALLBACK Expired(HWND, UINT, UINT_PTR, DWORD) {
    Fired() = true;
    if (Form()) Form()->SetModalResult(mrAbort);
  }
  UINT_PTR timer_ = 0;
};

// Runs Action once from inside the modal loop of Form, as soon as the form
// shows: the way a test clicks or types in a modal form.
class TModalAction {
 public:
  TModalAction(TCustomForm* form, std::function<void()> action) {
    Form() = form;
    Action() = std::move(action);
    timer_ = ::SetTimer(nullptr, 0, 20, &TModalAction::Tick);
  }
  ~TModalAction() {
    ::KillTimer(nullptr, timer_);
    Form() = nullptr;
    Action() = nullptr;
  }
  TModalAction(const TModalAction&) = delete;
  TModalAction& operator=(const TModalAction&) = delete;

 private:
  static TCustomForm*& Form() {
    static TCustomForm* form = nullptr;
    return form;
  }
  static std::function<void()>& Action() {
    static std::function<void()> action;
    return action;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!Form() || !Action() || !Form()->Showing() ||
        !Form()->FormState().Contains(fsModal)) {
      return;
    }
    // Once only, even when the action pumps and the timer comes again.
    std::function<void()> action = std::move(Action());
    Action() = nullptr;
    action();
  }
  UINT_PTR timer_ = 0;
};

}  // namespace ui_test
