// Scope guards: the closing half of a bracket (EndUpdate, Unlock, Close,
// restoring a saved value) runs when the scope ends, however it ends, so that
// no caller writes `try { ... } catch (...) { End(); throw; } End();` again.
//
// Exceptions from the closing call: on a normal exit it propagates to the
// caller, as a failing End() would have without the guard. While the scope
// is being left by an exception, that first exception wins and the closing
// call's own exception is dropped: it is almost always a consequence of the
// first, and a second exception escaping a destructor during unwinding would
// end the program.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// Runs Action once when the guard goes out of scope, unless dismissed.
//   TScopeGuard restore([&] { Value = saved; });
template <class Action>
class TScopeGuard {
 public:
  explicit TScopeGuard(Action Act) noexcept(
      std::is_nothrow_move_constructible_v<Action>)
      : action_(std::move(Act)) {}
  ~TScopeGuard() noexcept(false) {
    if (!active_) return;
    active_ = false;
    if (std::uncaught_exceptions() > uncaught_) {
      try {
        action_();
      } catch (...) {
        // The exception that is unwinding this scope is the one to report.
      }
    } else {
      action_();
    }
  }
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;

  // The scope's work was committed: the closing action must not run.
  void Dismiss() noexcept { active_ = false; }
  bool Active() const noexcept { return active_; }

 private:
  Action action_;
  // Exceptions already in flight when the guard was made (a guard inside a
  // catch block or a destructor must not think its own scope is unwinding).
  int uncaught_ = std::uncaught_exceptions();
  bool active_ = true;
};

template <class Action>
TScopeGuard(Action) -> TScopeGuard<Action>;

// Puts a variable back to the value it had when the guard was made, or
// sets it for the scope and then puts it back:
//   TRestoreOnExit keepPath(propPath_);
//   TRestoreOnExit reading(reading_, true);
template <class T>
class TRestoreOnExit {
 public:
  explicit TRestoreOnExit(T& Variable)
      : variable_(Variable), saved_(Variable) {}
  TRestoreOnExit(T& Variable, T Value)
      : variable_(Variable),
        saved_(std::exchange(Variable, std::move(Value))) {}
  TRestoreOnExit(const TRestoreOnExit&) = delete;
  TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;
  ~TRestoreOnExit() { variable_ = std::move(saved_); }

 private:
  T& variable_;
  T saved_;
};

// Calls End on an object; the closing action of a bracket.
template <class T, auto End>
struct TMemberCall {
  T* Object;
  void operator()() const { std::invoke(End, Object); }
};

// A bracket whose two members are known where the type is named:
//   using TLockScope = TBracketScope<TFoo, &TFoo::Lock, &TFoo::Unlock>;
//   TLockScope lock(this);
template <class T, auto Begin, auto End>
class TBracketScope : public TScopeGuard<TMemberCall<T, End>> {
 public:
  explicit TBracketScope(T* Object)
      : TScopeGuard<TMemberCall<T, End>>(
            (std::invoke(Begin, Object), TMemberCall<T, End>{Object})) {}
};

// Calls Begin on Object now and returns a guard that calls End at scope
// exit. Object is a pointer or a reference; a Begin that throws leaves
// nothing to end.
//   auto update = MakeBracket(Items, &TStrings::BeginUpdate,
//                             &TStrings::EndUpdate);
template <class Object, class Begin, class End>
[[nodiscard]] auto MakeBracket(Object&& Target, Begin BeginCall, End EndCall) {
  auto* target = [&] {
    if constexpr (std::is_pointer_v<std::remove_cvref_t<Object>>)
      return Target;
    else
      return std::addressof(Target);
  }();
  std::invoke(BeginCall, target);
  return TScopeGuard([target, EndCall] { std::invoke(EndCall, target); });
}
