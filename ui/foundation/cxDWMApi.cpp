#include "cxDWMApi.h"

#include "Handles.h"
#include "System.h"

BOOL(WINAPI* DwmDefWindowProc)(HWND, UINT, WPARAM, LPARAM, LRESULT*) = nullptr;
HRESULT(WINAPI* DwmEnableBlurBehindWindow)
(HWND, const TcxDwmBlurBehind*) = nullptr;
HRESULT(WINAPI* DwmEnableComposition)(UINT) = nullptr;
HRESULT(WINAPI* DwmEnableMMCSS)(BOOL) = nullptr;
HRESULT(WINAPI* DwmExtendFrameIntoClientArea)
(HWND, const TcxDwmMargins*) = nullptr;
HRESULT(WINAPI* DwmGetColorizationColor)(DWORD*, BOOL*) = nullptr;
HRESULT(WINAPI* DwmGetWindowAttribute)(HWND, DWORD, void*, DWORD) = nullptr;
HRESULT(WINAPI* DwmIsCompositionEnabled)(BOOL*) = nullptr;
HRESULT(WINAPI* DwmSetWindowAttribute)
(HWND, DWORD, const void*, DWORD) = nullptr;

namespace {

TModuleHandle gDwmLibrary;

template <class F>
void Bind(F& AFunction, const char* AName) {
  AFunction = gDwmLibrary ? reinterpret_cast<F>(reinterpret_cast<void*>(
                                ::GetProcAddress(gDwmLibrary.get(), AName)))
                          : nullptr;
}

void BindAll() {
  Bind(DwmDefWindowProc, "DwmDefWindowProc");
  Bind(DwmEnableBlurBehindWindow, "DwmEnableBlurBehindWindow");
  Bind(DwmEnableComposition, "DwmEnableComposition");
  Bind(DwmEnableMMCSS, "DwmEnableMMCSS");
  Bind(DwmExtendFrameIntoClientArea, "DwmExtendFrameIntoClientArea");
  Bind(DwmGetColorizationColor, "DwmGetColorizationColor");
  Bind(DwmGetWindowAttribute, "DwmGetWindowAttribute");
  Bind(DwmIsCompositionEnabled, "DwmIsCompositionEnabled");
  Bind(DwmSetWindowAttribute, "DwmSetWindowAttribute");
}

bool MajorVersionAbove5() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwMajorVersion > 5;
}

void DwmStartup() {
  if (MajorVersionAbove5()) cxBindDwmApi("dwmapi.dll");
}

}  // namespace

bool cxBindDwmApi(const char* ALibraryName) {
  gDwmLibrary.reset(::LoadLibraryA(ALibraryName));
  BindAll();
  return static_cast<bool>(gDwmLibrary);
}

void cxUnbindDwmApi() {
  gDwmLibrary.reset();
  BindAll();
}

bool IsDwmPresent() { return static_cast<bool>(gDwmLibrary); }

bool IsCompositionEnabled() {
  if (!IsDwmPresent() || !DwmIsCompositionEnabled) return false;
  BOOL enabled = FALSE;
  // A failed call counts as composition off.
  return SUCCEEDED(DwmIsCompositionEnabled(&enabled)) && enabled;
}

VARNEL_UNIT(cxDWMApi, ({"SysUtils"}), &DwmStartup, &cxUnbindDwmApi);
