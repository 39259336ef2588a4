#include "Startup.h"

#include <windows.h>

#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"
#include "wndMain.h"

namespace {
// Never closed: the system releases it with the process.
HANDLE gInstanceMutex = nullptr;
bool gFirstInstance = false;
TInstanceCheck gInstanceCheck = icFirst;
bool gStartInTray = false;
DWORD gInstanceError = 0;

// The system's own text for an error code.
String SystemErrorText(DWORD Error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  String result =
      length ? String(text, length) : Format("Error %d", {Integer(Error)});
  if (text) ::LocalFree(text);
  return Trim(result);
}
}  // namespace

bool HasTraySwitch(const std::vector<String>& Args) {
  for (const String& arg : Args) {
    if (arg == "/t") return true;
  }
  return false;
}

TInstanceCheck CheckInstance(const char* MutexName, DWORD& Error) {
  HANDLE mutex = ::CreateMutexA(nullptr, TRUE, MutexName);
  Error = ::GetLastError();
  if (!mutex) return icFailed;
  if (Error != 0) {
    ::CloseHandle(mutex);
    return icRunning;
  }
  gInstanceMutex = mutex;
  return icFirst;
}

bool IsFirstInstance() {
  gInstanceCheck = CheckInstance(kInstanceMutexName, gInstanceError);
  gFirstInstance = gInstanceCheck == icFirst;
  Application->SetTitle(kApplicationTitle);
  return gFirstInstance;
}

bool StartInTrayFlag() { return gStartInTray; }

int RunProgram() {
  try {
    std::vector<String> args;
    for (Integer i = 0; i <= ParamCount(); ++i) args.push_back(ParamStr(i));
    gStartInTray = HasTraySwitch(args);
    if (!IsFirstInstance()) {
      // Without a mutex there is no telling whether another copy runs: the
      // user sees why the program did not start instead.
      // The plain box, captioned with the title just set.
      const String text = gInstanceCheck == icFailed
                              ? SystemErrorText(gInstanceError)
                              : String(kAlreadyRunningText);
      MessageBoxSeam(text, Application->Title(), mbOK);
      Application->Terminate();
      return 0;
    }
    Application->SetTitle(kApplicationTitle);
    TwndMain* mainForm = nullptr;
    Application->CreateForm(mainForm);
    if (gStartInTray) {
      mainForm->SetStartInTray(true);
      Application->SetShowMainForm(false);
      ::ShowWindow(Application->Handle(), SW_HIDE);
    }
    Application->Run();
  } catch (Exception& E) {
    Application->ShowException(&E);
  } catch (...) {
    Exception e("");
    Application->ShowException(&e);
  }
  return 0;
}
