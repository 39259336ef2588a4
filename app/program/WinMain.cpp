// Program start-up.
#include <windows.h>

#include "System.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitializeUnits();
  FinalizeUnits();
  return 0;
}
