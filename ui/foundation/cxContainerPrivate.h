// Shared between the parts of the container unit.
#pragma once

#include "SysUtils.h"

namespace cxcontainer_detail {
// Activation messages are swallowed by the call-window-procedure hook while
// this is not zero (LockCMActivateMessages).
extern Integer CMActivateMessagesLockCount;
// The thread hooks that close popups; installed at unit start-up.
void InstallPopupHooks();
void RemovePopupHooks();
}  // namespace cxcontainer_detail
