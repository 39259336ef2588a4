// The shell behind OpenWebPage (Windows only).
#include "cxClasses.h"
//
#include <shellapi.h>
#include <windows.h>

namespace {

void ShellOpen(const String& AOperation, const String& AFileName,
               Integer AShowCmd) {
  ShellExecuteA(nullptr, AOperation.c_str(), AFileName.c_str(), nullptr,
                nullptr, AShowCmd);
}

void ClassesWinStartup() { cxSetShellExecuteFunc(&ShellOpen); }

void ClassesWinShutdown() { cxSetShellExecuteFunc(nullptr); }

}  // namespace

VARNEL_UNIT(cxClassesWin, ({"cxClasses"}), &ClassesWinStartup,
            &ClassesWinShutdown);
