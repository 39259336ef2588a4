// The plain message box. Every box the non-visual code shows goes through
// one replaceable handler, so that tests can record the calls instead of
// waiting on a modal window.
#pragma once

#include <functional>

#include "System.h"

// Button and icon flags, with the values the system's message box uses.
constexpr Cardinal mbOK = 0x00000000;
constexpr Cardinal mbOKCancel = 0x00000001;
constexpr Cardinal mbYesNo = 0x00000004;
constexpr Cardinal mbIconError = 0x00000010;
constexpr Cardinal mbIconQuestion = 0x00000020;
constexpr Cardinal mbIconWarning = 0x00000030;
constexpr Cardinal mbIconInformation = 0x00000040;

// Results, as the system returns them.
constexpr Integer idOK = 1;
constexpr Integer idCancel = 2;
constexpr Integer idYes = 6;
constexpr Integer idNo = 7;

// Shows text with a caption and flags and returns the button pressed. An
// empty caption stands for the program's title.
using TMessageBoxHandler = std::function<Integer(
    const String& text, const String& caption, Cardinal flags)>;

// Installs handler and returns the one it replaces. An empty handler puts
// the platform's default back (the system's message box on Windows, the
// standard error stream elsewhere).
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

// Shows a box through the current handler.
Integer MessageBoxSeam(const String& text, const String& caption,
                       Cardinal flags);

// The plain box: the text, an OK button, the program's title as caption.
void ShowMessage(const String& text);
void ShowMessageFmt(const String& fmt, TVarRecs args);

namespace classlib_detail {
// The platform's own box (DialogsWin.cpp, DialogsPosix.cpp).
Integer PlatformMessageBox(const String& text, const String& caption,
                           Cardinal flags);
}  // namespace classlib_detail
