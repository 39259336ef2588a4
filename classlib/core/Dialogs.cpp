#include "Dialogs.h"

#include <mutex>
#include <utility>

namespace {

std::mutex& HandlerLock() {
  static std::mutex lock;
  return lock;
}

TMessageBoxHandler& CurrentHandler() {
  static TMessageBoxHandler handler;
  return handler;
}

}  // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  std::lock_guard<std::mutex> guard(HandlerLock());
  TMessageBoxHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  if (!previous) previous = &classlib_detail::PlatformMessageBox;
  return previous;
}

Integer MessageBoxSeam(const String& text, const String& caption,
                       Cardinal flags) {
  TMessageBoxHandler handler;
  {
    // A copy, so that a handler may replace itself while it runs.
    std::lock_guard<std::mutex> guard(HandlerLock());
    handler = CurrentHandler();
  }
  if (!handler)
    return classlib_detail::PlatformMessageBox(text, caption, flags);
  return handler(text, caption, flags);
}

void ShowMessage(const String& text) { MessageBoxSeam(text, String(), mbOK); }

void ShowMessageFmt(const String& fmt, TVarRecs args) {
  ShowMessage(Format(fmt, args));
}
