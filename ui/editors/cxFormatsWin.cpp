// The hidden window through which the format controller hears the system's
// regional-settings and time broadcasts (Windows only).
//
// cxFormats.h comes before <windows.h>: the system headers turn names such
// as GetCurrencyFormat into macros.
#include "cxFormats.h"
//
#include <windows.h>

namespace {

const char kWindowClass[] = "TcxFormatControllerWindow";
bool g_classRegistered = false;

LRESULT CALLBACK FormatControllerWndProc(HWND wnd, UINT msg, WPARAM wParam,
                                         LPARAM lParam) {
  // C++ exceptions cannot unwind through the system's callback frames:
  // nothing may leave this procedure.
  try {
    auto* controller = reinterpret_cast<TcxFormatController*>(
        GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (controller) {
      TcxFormatControllerMessage message;
      message.Msg = msg;
      message.WParam = wParam;
      if (msg == WM_SETTINGCHANGE && lParam) {
        message.Section = reinterpret_cast<const char*>(lParam);
      }
      if (controller->MainWndProc(message)) return message.Result;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

void* CreateControllerWindow(TcxFormatController* controller) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!g_classRegistered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &FormatControllerWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      return nullptr;
    }
    g_classRegistered = true;
  }
  // A hidden top-level window, not a message-only one: message-only windows
  // receive no broadcasts.
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0,
                             0, 0, nullptr, nullptr, instance, nullptr);
  if (!wnd) return nullptr;
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(controller));
  return wnd;
}

void DestroyControllerWindow(void* window) {
  HWND wnd = static_cast<HWND>(window);
  // The controller is going: no message may reach it any more.
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
  DestroyWindow(wnd);
}

void FormatsWinStartup() {
  TcxFormatControllerWindowHooks hooks;
  hooks.Create = &CreateControllerWindow;
  hooks.Destroy = &DestroyControllerWindow;
  cxSetFormatControllerWindowHooks(hooks);
}

void FormatsWinShutdown() {
  cxSetFormatControllerWindowHooks(TcxFormatControllerWindowHooks());
  if (g_classRegistered) {
    UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
    g_classRegistered = false;
  }
}

}  // namespace

VARNEL_UNIT(cxFormatsWin, ({"cxFormats"}), &FormatsWinStartup,
            &FormatsWinShutdown);
