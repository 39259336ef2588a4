// Helpers for windowed tests: pumping messages with a deadline, ending
// modal loops that outlive theirs, and test forms that free themselves.
#pragma once

#include <windows.h>

#include <functional>

#include "Forms.h"

namespace visual_test {

// Handles messages until pred() holds or ms milliseconds pass; returns
// pred(). Never waits for a person.
inline bool PumpUntil(const std::function<bool()>& pred, DWORD ms = 5000) {
  const DWORD start = ::GetTickCount();
  while (!pred()) {
    Application->ProcessMessages();
    if (::GetTickCount() - start > ms) return pred();
    ::Sleep(1);
  }
  return true;
}

inline void Pump() { Application->ProcessMessages(); }

// While alive, a modal loop of Form that is still running after ms
// milliseconds ends with mrAbort, so a test fails instead of hanging.
class TModalWatchdog {
 public:
  TModalWatchdog(TCustomForm* form, UINT ms = 5000) {
    Form() = form;
    Fired() = false;
    timer_ = ::SetTimer(nullptr, 0, ms, &TModalWatchdog::Expired);
  }
  ~TModalWatchdog() {
    ::KillTimer(nullptr, timer_);
    Form() = nullptr;
  }
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

// The screen position of a point in a control's client area.
inline LPARAM ScreenLParam(TControl* c, Integer x, Integer y) {
  TPoint p = c->ClientToScreen({x, y});
  return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y));
}

inline LPARAM ClientLParam(Integer x, Integer y) {
  return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

}  // namespace visual_test
