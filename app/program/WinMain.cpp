// Program start-up.
#include <windows.h>

#include "Startup.h"
#include "System.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitializeUnits();
  const int rc = RunProgram();
  FinalizeUnits();
  return rc;
}
