// Helpers of the program's windowed tests: modal dialogs that the program
// opens itself, driven from inside their loops.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>

#include "Forms.h"
#include "UiDriverControlsWin.h"

namespace app_test {

// While alive: the first modal form of class T that shows gets Action run
// on it from inside its loop, as a person would act on a dialog that the
// program opened. A form of class T still modal at the deadline is ended
// with mrAbort and TimedOut() tells it, so no test waits for a person.
template <class T>
class TOnModal {
 public:
  explicit TOnModal(std::function<void(T*)> Action,
                    DWORD TimeoutMs = ui_test::kDefaultTimeoutMs)
      : action_(std::move(Action)) {
    deadline_ = ::GetTickCount() + TimeoutMs;
    Current() = this;
    timer_ = ::SetTimer(nullptr, 0, 20, &TOnModal::Tick);
  }
  ~TOnModal() {
    ::KillTimer(nullptr, timer_);
    Current() = nullptr;
  }
  TOnModal(const TOnModal&) = delete;
  TOnModal& operator=(const TOnModal&) = delete;

  bool Ran() const { return ran_; }
  bool TimedOut() const { return timedOut_; }

 private:
  static TOnModal*& Current() {
    static TOnModal* current = nullptr;
    return current;
  }
  static T* ShownModal() {
    for (Integer i = 0; i < Screen->FormCount(); ++i) {
      auto* form = dynamic_cast<T*>(Screen->Forms(i));
      if (form && form->Showing() && form->FormState().Contains(fsModal)) {
        return form;
      }
    }
    return nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TOnModal* self = Current();
    if (!self) return;
    T* form = ShownModal();
    if (!form) return;
    if (!self->ran_) {
      // Once only, even when the action pumps and the timer comes again.
      self->ran_ = true;
      self->action_(form);
      return;
    }
    if (static_cast<LONG>(::GetTickCount() - self->deadline_) > 0) {
      self->timedOut_ = true;
      form->SetModalResult(mrAbort);
    }
  }

  std::function<void(T*)> action_;
  DWORD deadline_ = 0;
  UINT_PTR timer_ = 0;
  bool ran_ = false;
  bool timedOut_ = false;
};

}  // namespace app_test
