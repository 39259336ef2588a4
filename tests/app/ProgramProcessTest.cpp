// varnel.exe itself, started as separate processes beside the test program:
// one copy per session, and the start hidden in the tray.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "System.h"

namespace {

constexpr DWORD kDeadlineMs = 20000;

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of('\\') + 1) + "varnel.exe";
}

// A started copy of the program; ended when the test is done with it.
class TProgram {
 public:
  explicit TProgram(const std::string& Args) {
    std::string cmd =
        "\"" + ProgramPath() + "\"" + (Args.empty() ? "" : " ") + Args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = ::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, &si, &pi_) != FALSE;
    if (started_) ::WaitForInputIdle(pi_.hProcess, kDeadlineMs);
  }
  ~TProgram() {
    if (!started_) return;
    if (Running()) {
      ::TerminateProcess(pi_.hProcess, 1);
      ::WaitForSingleObject(pi_.hProcess, kDeadlineMs);
    }
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return pi_.dwProcessId; }
  bool Running() const {
    return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
  }
  void WaitForIdle() const { ::WaitForInputIdle(pi_.hProcess, kDeadlineMs); }
  bool WaitForExit(DWORD Ms) const {
    return ::WaitForSingleObject(pi_.hProcess, Ms) == WAIT_OBJECT_0;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

struct TWindowQuery {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND W, LPARAM L) {
  auto* q = reinterpret_cast<TWindowQuery*>(L);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(W, &pid);
  if (pid == q->pid) q->found.push_back(W);
  return TRUE;
}

// The top-level windows of a process.
std::vector<HWND> WindowsOf(DWORD Pid) {
  TWindowQuery q{Pid, {}};
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

std::string TextOf(HWND W) {
  char text[1024] = {};
  ::GetWindowTextA(W, text, sizeof text);
  return text;
}

std::string ClassOf(HWND W) {
  char name[256] = {};
  ::GetClassNameA(W, name, sizeof name);
  return name;
}

// The texts of a dialog's static controls.
std::string StaticTexts(HWND Dialog) {
  std::string all;
  for (HWND c = ::GetWindow(Dialog, GW_CHILD); c;
       c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (_stricmp(ClassOf(c).c_str(), "Static") == 0) all += TextOf(c) + "\n";
  }
  return all;
}

// Polls Find until it gives a window or the deadline passes.
template <class F>
HWND WaitForWindow(F Find) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kDeadlineMs) {
    if (HWND w = Find()) return w;
    ::Sleep(50);
  }
  return nullptr;
}

HWND VisibleWindowCaptioned(DWORD Pid, const std::string& Caption) {
  for (HWND w : WindowsOf(Pid)) {
    if (::IsWindowVisible(w) && TextOf(w) == Caption) return w;
  }
  return nullptr;
}

TEST(Program, ASecondStartSaysSoAndEndsTheFirstStays) {
  TProgram first("");
  ASSERT_TRUE(first.Started()) << ProgramPath();
  ASSERT_TRUE(WaitForWindow([&] {
    return VisibleWindowCaptioned(first.Id(), "Varnel");
  })) << "the main window did not show";

  for (const char* args : {"", "/t"}) {
    TProgram second(args);
    ASSERT_TRUE(second.Started());
    HWND box = WaitForWindow([&]() -> HWND {
      for (HWND w : WindowsOf(second.Id())) {
        if (::IsWindowVisible(w) && ClassOf(w) == "#32770") return w;
      }
      return nullptr;
    });
    ASSERT_TRUE(box) << "no message box from the second copy (" << args << ")";
    EXPECT_EQ(TextOf(box), "Tarvik v_1");
    EXPECT_NE(StaticTexts(box).find("Tarvik is running in the System Tray."),
              std::string::npos)
        << StaticTexts(box);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(kDeadlineMs));
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(VisibleWindowCaptioned(first.Id(), "Varnel"));
  }
}

TEST(Program, TheTraySwitchStartsWithoutAWindow) {
  TProgram program("/t");
  ASSERT_TRUE(program.Started());
  // The main window exists, hidden, once the program is idle.
  HWND main = WaitForWindow([&]() -> HWND {
    for (HWND w : WindowsOf(program.Id())) {
      if (TextOf(w) == "Varnel") return w;
    }
    return nullptr;
  });
  ASSERT_TRUE(main);
  program.WaitForIdle();
  EXPECT_TRUE(program.Running());
  for (HWND w : WindowsOf(program.Id())) {
    EXPECT_FALSE(::IsWindowVisible(w))
        << "visible: \"" << TextOf(w) << "\" " << ClassOf(w);
  }
}

}  // namespace
