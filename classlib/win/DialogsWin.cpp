// The system's message box, owned by the active window of the calling
// thread so that it is modal to it.
#include <windows.h>

#include "Dialogs.h"

namespace {

// The executable's name without folder and extension: what the program is
// called until it sets a title of its own.
String ModuleTitle() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  String name(path, n < MAX_PATH ? n : MAX_PATH);
  std::size_t slash = name.find_last_of("\\/:");
  if (slash != String::npos) name.erase(0, slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != String::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

Integer classlib_detail::PlatformMessageBox(const String& text,
                                            const String& caption,
                                            Cardinal flags) {
  String title = caption.empty() ? ModuleTitle() : caption;
  return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), flags);
}
