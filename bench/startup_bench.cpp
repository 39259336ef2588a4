// Start-up of varnel.exe against a minimal Win32 window program built the
// same way, in one run: the time from process creation to the first idle
// moment of the program's user-interface thread (its main window is up and
// waiting for input), and the working set at that moment. Runs under Wine:
//
//   tools/wine-run.sh --prefix build/mingw/wineprefix
//       build/mingw/bin/startup_bench.exe [runs]
//
// Both programs sit beside this one. Prints one line per program and the
// ratios against the goal: at most 1.5 times the minimal program's time and
// at most 15 MB more memory.
#include <windows.h>
//
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TSample {
  double Ms = 0;
  double WorkingSetMb = 0;
};

std::string Beside(const char* Name) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1) + Name;
}

bool RunOnce(const std::string& Exe, TSample& Out) {
  std::string cmd = "\"" + Exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER freq, start, idle;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi)) {
    return false;
  }
  const bool ok = ::WaitForInputIdle(pi.hProcess, 60000) == 0;
  ::QueryPerformanceCounter(&idle);
  PROCESS_MEMORY_COUNTERS mem{};
  mem.cb = sizeof mem;
  ::GetProcessMemoryInfo(pi.hProcess, &mem, sizeof mem);
  ::TerminateProcess(pi.hProcess, 0);
  ::WaitForSingleObject(pi.hProcess, 60000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  Out.Ms = 1000.0 * static_cast<double>(idle.QuadPart - start.QuadPart) /
           static_cast<double>(freq.QuadPart);
  Out.WorkingSetMb = static_cast<double>(mem.WorkingSetSize) / (1024 * 1024);
  return ok;
}

// The median of Runs starts, after one start that warms the caches.
bool Measure(const std::string& Exe, int Runs, TSample& Out) {
  TSample warm;
  if (!RunOnce(Exe, warm)) return false;
  std::vector<double> ms, mb;
  for (int i = 0; i < Runs; ++i) {
    TSample s;
    if (!RunOnce(Exe, s)) return false;
    ms.push_back(s.Ms);
    mb.push_back(s.WorkingSetMb);
  }
  std::sort(ms.begin(), ms.end());
  std::sort(mb.begin(), mb.end());
  Out.Ms = ms[ms.size() / 2];
  Out.WorkingSetMb = mb[mb.size() / 2];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  TSample minimal, varnel;
  if (!Measure(Beside("minimal_window.exe"), runs, minimal) ||
      !Measure(Beside("varnel.exe"), runs, varnel)) {
    std::fprintf(stderr, "startup_bench: a program did not start or idle\n");
    return 1;
  }
  std::printf("minimal_window: %8.1f ms to idle, working set %6.1f MB\n",
              minimal.Ms, minimal.WorkingSetMb);
  std::printf("varnel:         %8.1f ms to idle, working set %6.1f MB\n",
              varnel.Ms, varnel.WorkingSetMb);
  std::printf("time %.2fx (goal <= 1.5x), memory %+.1f MB (goal <= +15 MB)\n",
              varnel.Ms / minimal.Ms,
              varnel.WorkingSetMb - minimal.WorkingSetMb);
  return 0;
}
