// A separate program that opens the system's Open dialog and prints the
// button texts of the dialog's toolbars, one per line, then cancels it:
// the program's tests read what the places bar shows. The first argument,
// when given, is a key under HKEY_CURRENT_USER that stands in for the
// whole hive in this process (the tests' registry sandbox).
#include <windows.h>
//
#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

namespace {

BOOL CALLBACK PrintToolbar(HWND Window, LPARAM) {
  char name[64] = {};
  ::GetClassNameA(Window, name, sizeof name);
  if (lstrcmpiA(name, TOOLBARCLASSNAMEA) != 0) return TRUE;
  const int count =
      static_cast<int>(::SendMessageA(Window, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    if (!::SendMessageA(Window, TB_GETBUTTON, i,
                        reinterpret_cast<LPARAM>(&button)))
      continue;
    char text[MAX_PATH] = {};
    if (::SendMessageA(Window, TB_GETBUTTONTEXTA, button.idCommand,
                       reinterpret_cast<LPARAM>(text)) > 0) {
      std::printf("%s\n", text);
    }
  }
  return TRUE;
}

UINT_PTR CALLBACK Hook(HWND Dialog, UINT Message, WPARAM, LPARAM LParam) {
  if (Message == WM_NOTIFY &&
      reinterpret_cast<OFNOTIFYA*>(LParam)->hdr.code == CDN_INITDONE) {
    HWND frame = ::GetParent(Dialog);
    ::EnumChildWindows(frame, &PrintToolbar, 0);
    std::fflush(stdout);
    ::PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    HKEY sandbox = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, argv[1], 0, KEY_ALL_ACCESS,
                        &sandbox) != ERROR_SUCCESS ||
        ::RegOverridePredefKey(HKEY_CURRENT_USER, sandbox) != ERROR_SUCCESS) {
      return 2;
    }
  }
  char file[MAX_PATH] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "All Files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = &Hook;
  ::GetOpenFileNameA(&ofn);
  return 0;
}
