// Without a window system the box becomes a line on standard error and the
// first button counts as pressed.
#include <cstdio>

#include "Dialogs.h"

Integer classlib_detail::PlatformMessageBox(const String& text,
                                            const String& caption,
                                            Cardinal flags) {
  if (caption.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  switch (flags & 0x0F) {
    case mbYesNo:
      return idYes;
    default:
      return idOK;
  }
}
