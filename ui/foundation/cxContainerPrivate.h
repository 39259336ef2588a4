// Shared between the parts of the container unit.
#pragma once

#include "SysUtils.h"

namespace cxcontainer_detail {
// Activation messages are swallowed by the call-window-procedure hook while
// this is not zero (LockCMActivateMessages).
extern Integer CMActivateMessagesLockCount;
// The thread hooks that close popups: the mouse and get-message hooks from
// unit start-up to its end, the call-window-procedure hook while a popup is
// open or activation messages are locked (UpdatePopupHooks, after either
// changes).
void InstallPopupHooks();
void UpdatePopupHooks();
void RemovePopupHooks();
}  // namespace cxcontainer_detail
