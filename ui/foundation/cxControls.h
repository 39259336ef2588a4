// The control unit of the component library. So far it holds the answers
// about the running Windows version that the graphics routines need, and the
// routines that keep a rectangle on the desktop's work area.
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>

#include "SysUtils.h"
#include "Types.h"

class TControl;

// ---------------------------------------------------------------------------
// Platform flags
// ---------------------------------------------------------------------------

// Set once by the unit's start-up from Win32Platform, Win32MajorVersion and
// Win32MinorVersion; read-only afterwards.
extern bool IsWin95X;     // Windows 95 family or Win32s
extern bool IsWinNT;      // NT 4 or later
extern bool IsWin2KOrXP;  // NT 5 or later
extern bool IsWinXP;      // NT 5.1 or later
extern bool IsWinVista;   // major version 6 or later, any platform

struct TcxPlatformFlags {
  bool Win95X = false;
  bool WinNT = false;
  bool Win2KOrXP = false;
  bool WinXP = false;
  bool WinVista = false;
};

// The flags for a platform id (VER_PLATFORM_*) and version.
TcxPlatformFlags cxGetPlatformFlags(Integer APlatform, Integer AMajor,
                                    Integer AMinor);

// ---------------------------------------------------------------------------
// Desktop work area
// ---------------------------------------------------------------------------

// The work area of the monitor nearest to the screen point.
TRect GetDesktopWorkArea(const TPoint& P);
// The monitor's work area; the whole desktop's work area for no monitor or
// when the system lacks the multi-monitor functions.
TRect GetMonitorWorkArea(HMONITOR AMonitor);
// Moves ABounds into the work area of the monitor at ADesktopPoint. A
// rectangle larger than the area ends on the area's left and top edges.
void MakeVisibleOnDesktop(TRect& ABounds, const TPoint& ADesktopPoint);
// The same for the control's bounds, at their top-left corner.
void MakeVisibleOnDesktop(TControl* AControl);
