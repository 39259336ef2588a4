// State shared by the sources of the control unit; not for other units.
#pragma once

#include <windows.h>

#include "Types.h"

namespace cxcontrols_detail {

// Set by the unit's exit: on-demand objects are no longer made.
extern bool Finalizing;

void FreeTimerObjects();
void FreeSettingsController();

}  // namespace cxcontrols_detail

// The signed coordinates of a mouse message's LParam.
inline int GET_X_LPARAM_(LPARAM lp) {
  return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lp)));
}
inline int GET_Y_LPARAM_(LPARAM lp) {
  return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lp)));
}
