// Keeps a Wine session warm for a test run: while this process lives, the
// wineserver, the desktop and the system processes stay up, so each test
// executable starts in a fraction of a second instead of booting Wine.
//
// Usage: wine_keepalive.exe [ready-file]
// Creates ready-file once the desktop exists, then sleeps until killed.
#include <windows.h>

int main(int argc, char** argv) {
  // Starts the (virtual) desktop now rather than in the first test.
  GetDesktopWindow();
  if (argc > 1) {
    HANDLE h = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Sleep(INFINITE);
  return 0;
}
