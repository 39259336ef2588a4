// Start-up of varnel.exe against a minimal Win32 window program built the
// same way, in one run: the time from process creation to the first idle
// moment of the program's user-interface thread (its main window is up and
// waiting for input), and the working set at that moment. Runs under Wine,
// on the release build (the one users get), in the tests' warm session:
//
//   tools/wine-run.sh --prefix build/mingw/wineprefix
//       --keepalive build/mingw/bin/wine_keepalive.exe
//       build/release/bin/startup_bench.exe [runs]
//
// Both programs sit beside this one. Prints one line per program and the
// ratios against the goal: at most 1.5 times the minimal program's time and
// at most 15 MB more memory (working set), and the committed private memory
// of each, which an emulator underneath does not inflate.
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
  double PrivateMb = 0;
};

// The process's own committed private memory, as its address space shows
// it. Where an emulator runs the program (QEMU's user mode, on a kernel
// without 32-bit support), the working set also counts the emulator's
// translated code, which grows with the code the program runs; this figure
// does not.
double CommittedPrivateMb(HANDLE Process) {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr;
       ::VirtualQueryEx(Process, at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
      total += info.RegionSize;
    if (info.RegionSize == 0) break;
  }
  return static_cast<double>(total) / (1024 * 1024);
}

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
  Out.PrivateMb = CommittedPrivateMb(pi.hProcess);
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
  std::vector<double> ms, mb, priv;
  for (int i = 0; i < Runs; ++i) {
    TSample s;
    if (!RunOnce(Exe, s)) return false;
    ms.push_back(s.Ms);
    mb.push_back(s.WorkingSetMb);
    priv.push_back(s.PrivateMb);
  }
  for (auto* v : {&ms, &mb, &priv}) std::sort(v->begin(), v->end());
  Out.Ms = ms[ms.size() / 2];
  Out.WorkingSetMb = mb[mb.size() / 2];
  Out.PrivateMb = priv[priv.size() / 2];
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
  for (const auto& [name, s] :
       {std::pair{"minimal_window:", minimal}, std::pair{"varnel:", varnel}}) {
    std::printf(
        "%-15s %8.1f ms to idle, working set %6.1f MB, committed private "
        "%6.1f MB\n",
        name, s.Ms, s.WorkingSetMb, s.PrivateMb);
  }
  std::printf(
      "time %.2fx (goal <= 1.5x), memory %+.1f MB (goal <= +15 MB), "
      "committed private %+.1f MB\n",
      varnel.Ms / minimal.Ms, varnel.WorkingSetMb - minimal.WorkingSetMb,
      varnel.PrivateMb - minimal.PrivateMb);
  return 0;
}
