#include "cxControls.h"

#include "Controls.h"
#include "Handles.h"

bool IsWin95X = false;
bool IsWinNT = false;
bool IsWin2KOrXP = false;
bool IsWinXP = false;
bool IsWinVista = false;

namespace {

// The multi-monitor functions are looked up at each use: the library may
// lack them (it does before Windows 98 and NT 5).
TModuleHandle User32Lib;

using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
using TGetMonitorInfoA = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

template <typename T>
T User32Proc(const char* name) {
  if (!User32Lib) return nullptr;
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(User32Lib.get(), name)));
}

TRect WholeDesktopWorkArea() {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}

void cxControlsStartup() {
  TcxPlatformFlags flags =
      cxGetPlatformFlags(Win32Platform, Win32MajorVersion, Win32MinorVersion);
  IsWin95X = flags.Win95X;
  IsWinNT = flags.WinNT;
  IsWin2KOrXP = flags.Win2KOrXP;
  IsWinXP = flags.WinXP;
  IsWinVista = flags.WinVista;
  User32Lib.reset(LoadLibraryA("USER32"));
}

void cxControlsShutdown() { User32Lib.reset(); }

}  // namespace

TcxPlatformFlags cxGetPlatformFlags(Integer APlatform, Integer AMajor,
                                    Integer AMinor) {
  TcxPlatformFlags flags;
  const bool nt = APlatform == VER_PLATFORM_WIN32_NT_;
  flags.Win95X = APlatform == VER_PLATFORM_WIN32_WINDOWS_ ||
                 APlatform == VER_PLATFORM_WIN32s_;
  flags.WinNT = nt && AMajor >= 4;
  flags.Win2KOrXP = nt && AMajor >= 5;
  // Every NT from 5.1 on has the XP-and-later behaviour, 6.x and 10 too.
  flags.WinXP = nt && (AMajor > 5 || (AMajor == 5 && AMinor > 0));
  flags.WinVista = AMajor >= 6;
  return flags;
}

TRect GetMonitorWorkArea(HMONITOR AMonitor) {
  auto getMonitorInfo = User32Proc<TGetMonitorInfoA>("GetMonitorInfoA");
  if (AMonitor == nullptr || getMonitorInfo == nullptr)
    return WholeDesktopWorkArea();
  MONITORINFO info{};
  info.cbSize = sizeof info;  // 40 bytes: the plain structure, no device name
  if (!getMonitorInfo(AMonitor, &info)) return WholeDesktopWorkArea();
  return TRect{info.rcWork.left, info.rcWork.top, info.rcWork.right,
               info.rcWork.bottom};
}

TRect GetDesktopWorkArea(const TPoint& P) {
  auto monitorFromPoint = User32Proc<TMonitorFromPoint>("MonitorFromPoint");
  HMONITOR monitor = nullptr;
  if (monitorFromPoint != nullptr)
    monitor = monitorFromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST);
  return GetMonitorWorkArea(monitor);
}

void MakeVisibleOnDesktop(TRect& ABounds, const TPoint& ADesktopPoint) {
  const TRect area = GetDesktopWorkArea(ADesktopPoint);
  auto shift = [&ABounds](Integer dx, Integer dy) {
    ABounds.Left += dx;
    ABounds.Right += dx;
    ABounds.Top += dy;
    ABounds.Bottom += dy;
  };
  // Right and bottom first, so that the left and top edges win for a
  // rectangle larger than the area.
  if (ABounds.Right > area.Right) shift(area.Right - ABounds.Right, 0);
  if (ABounds.Bottom > area.Bottom) shift(0, area.Bottom - ABounds.Bottom);
  if (ABounds.Left < area.Left) shift(area.Left - ABounds.Left, 0);
  if (ABounds.Top < area.Top) shift(0, area.Top - ABounds.Top);
}

void MakeVisibleOnDesktop(TControl* AControl) {
  if (AControl == nullptr) return;
  TRect bounds = AControl->BoundsRect();
  MakeVisibleOnDesktop(bounds, bounds.TopLeft());
  AControl->SetBoundsRect(bounds);
}

VARNEL_UNIT(cxControls, ({"SysUtils"}), &cxControlsStartup,
            &cxControlsShutdown);
