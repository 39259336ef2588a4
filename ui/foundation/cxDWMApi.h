// The desktop-composition functions, looked up by name at start-up so that
// the program runs where the library or a function is missing: then the
// function variable is null and composition counts as off.
#pragma once

#include <windows.h>

enum TDWMNCRENDERINGPOLICY {
  DWMNCRP_USEWINDOWSTYLE,
  DWMNCRP_DISABLED,
  DWMNCRP_ENABLED,
  DWMNCRP_LAST
};

struct TcxDwmMargins {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
};

struct TcxDwmBlurBehind {
  DWORD dwFlags;
  BOOL fEnable;
  HRGN hRgnBlur;
  BOOL fTransitionOnMaximized;
};

extern BOOL(WINAPI* DwmDefWindowProc)(HWND, UINT, WPARAM, LPARAM, LRESULT*);
extern HRESULT(WINAPI* DwmEnableBlurBehindWindow)(HWND,
                                                  const TcxDwmBlurBehind*);
extern HRESULT(WINAPI* DwmEnableComposition)(UINT);
extern HRESULT(WINAPI* DwmEnableMMCSS)(BOOL);
extern HRESULT(WINAPI* DwmExtendFrameIntoClientArea)(HWND,
                                                     const TcxDwmMargins*);
extern HRESULT(WINAPI* DwmGetColorizationColor)(DWORD*, BOOL*);
extern HRESULT(WINAPI* DwmGetWindowAttribute)(HWND, DWORD, void*, DWORD);
extern HRESULT(WINAPI* DwmIsCompositionEnabled)(BOOL*);
extern HRESULT(WINAPI* DwmSetWindowAttribute)(HWND, DWORD, const void*, DWORD);

bool IsDwmPresent();
bool IsCompositionEnabled();

// Binds the functions from the named library (start-up uses "dwmapi.dll" on
// systems from version 6); a missing library or function leaves it null.
// Returns whether the library was loaded.
bool cxBindDwmApi(const char* ALibraryName);
void cxUnbindDwmApi();
