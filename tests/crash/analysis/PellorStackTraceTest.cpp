// The stack walker on real stacks of this test program (a known call chain
// in three source files, on the calling thread and on a suspended one), on
// stacks of garbage, and its checksums at another load address.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <random>
#include <regex>

#include "Handles.h"
#include "PellorStackTrace.h"
#include "callchain/CallChain.h"

namespace {

Cardinal CodeAddr(const void* p) {
  return static_cast<Cardinal>(reinterpret_cast<std::uintptr_t>(p));
}

const char* const kModule = "crash_analysis_tests.exe";

std::vector<String> SplitLines(const String& text) {
  std::vector<String> lines;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t at = text.find("\r\n", from);
    if (at == String::npos) at = text.size();
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  return lines;
}

// The position of the item with that name, -1 when absent.
int IndexOf(const TStackTrace& items, const String& name) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].functionName == name) return static_cast<int>(i);
  return -1;
}

// Checks that C, B and A follow each other, newest first, with their units
// and the lines of their calls.
void ExpectChain(const TStackTrace& items) {
  const int c = IndexOf(items, "CallChainC");
  ASSERT_GE(c, 0);
  ASSERT_LT(c + 2, static_cast<int>(items.size()));
  const char* names[] = {"CallChainC", "CallChainB", "CallChainA"};
  const char* units[] = {"CallChainC.cpp", "CallChainB.cpp", "CallChainA.cpp"};
  const int lines[] = {gCallChainLineC, gCallChainLineB, gCallChainLineA};
  for (int k = 0; k < 3; ++k) {
    const TStackItem& item = items[c + k];
    EXPECT_EQ(names[k], item.functionName) << k;
    EXPECT_EQ(units[k], item.unitName) << k;
    EXPECT_EQ(lines[k], item.relativeLine) << k;  // plain line numbers
    EXPECT_TRUE(SameTextFolded(kModule, item.moduleName)) << item.moduleName;
    EXPECT_NE(0u, item.relativeAddress) << k;
  }
}

// Walks pre-collected candidates, without a top item.
TStackTrace WalkCollected(const TDAPreStackItem& pre,
                          TTraceStackResult& result) {
  TTraceStackRequest request;
  request.preCollected = &pre;
  request.omitTopItem = true;
  TStackTrace items;
  TraceStack(request, result, &items);
  return items;
}

}  // namespace

// Outside any namespace, so that their map names are plain.
struct TCurrentWalk {
  TTraceStackRequest request;
  TTraceStackResult result;
  TStackTrace items;
};

__attribute__((noinline)) int WalkHere(void* context) {
  auto* walk = static_cast<TCurrentWalk*>(context);
  TraceStack(walk->request, walk->result, &walk->items);
  return 0;
}

namespace {

TEST(PellorStackTrace, CurrentThreadShowsTheCallChainInOrder) {
  TCurrentWalk walk;
  TSilentProgressAlert progress;
  walk.request.progress = &progress;
  CallChainA(&WalkHere, &walk);
  SCOPED_TRACE(walk.result.text);
  ExpectChain(walk.items);
  // The newest frame is the one that asked for the walk.
  EXPECT_EQ("WalkHere", walk.items.front().functionName);
  EXPECT_EQ(1, IndexOf(walk.items, "CallChainC"));
  // And the chain continues into this test.
  EXPECT_GE(IndexOf(walk.items, "CallChainA"), 0);
  EXPECT_GT(static_cast<int>(walk.items.size()),
            IndexOf(walk.items, "CallChainA") + 1);
  EXPECT_TRUE(walk.result.hasLineNumbers);
  EXPECT_EQ(1000, progress.GetProgress());

  // One printed line per item, newest first.
  const std::vector<String> lines = SplitLines(walk.result.text);
  ASSERT_EQ(walk.items.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", walk.items[i].address);
    EXPECT_EQ(0u, lines[i].find(hex)) << lines[i];
    EXPECT_TRUE(lines[i].ends_with(" " + walk.items[i].functionName))
        << lines[i];
  }
  // The exception's function is the newest one with a line.
  EXPECT_EQ(walk.items.front().address, walk.result.exceptionCodeAddress);
  EXPECT_EQ(walk.items.front().address, walk.result.exceptionFunctionEntry +
                                            walk.items.front().relativeAddress);
}

TEST(PellorStackTrace, TheSameStackGivesTheSameChecksums) {
  TCurrentWalk walks[2];
  for (TCurrentWalk& walk : walks) CallChainA(&WalkHere, &walk);
  EXPECT_EQ(walks[0].result.text, walks[1].result.text);
  EXPECT_EQ(walks[0].result.crc1, walks[1].result.crc1);
  EXPECT_EQ(walks[0].result.crc2, walks[1].result.crc2);
  // Another caller of the chain changes CRC 2 but not CRC 1.
  TCurrentWalk other;
  CallChainA(&WalkHere, &other);
  EXPECT_EQ(walks[0].result.crc1, other.result.crc1);
  EXPECT_NE(walks[0].result.crc2, other.result.crc2);
}

TEST(PellorStackTrace, RelativeColumnsAreAligned) {
  TCurrentWalk walk;
  walk.request.showRelativeAddresses = true;
  walk.request.showRelativeLines = true;
  CallChainA(&WalkHere, &walk);
  SCOPED_TRACE(walk.result.text);
  const int c = IndexOf(walk.items, "CallChainC");
  ASSERT_GE(c, 0);
  // Absolute line, then the offset from the function's first line.
  EXPECT_EQ(gCallChainLineC, walk.items[c].line);
  EXPECT_GT(walk.items[c].relativeLine, 0);
  EXPECT_LT(walk.items[c].relativeLine, 6);

  const std::vector<String> lines = SplitLines(walk.result.text);
  ASSERT_EQ(walk.items.size(), lines.size());
  const std::regex shape(
      "[0-9a-f]{8} \\+[0-9a-f]+ +crash_analysis_tests\\.exe +CallChainC\\.cpp"
      " +([0-9]+) +\\+([0-9]+) CallChainC",
      std::regex::icase);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[c], m, shape)) << lines[c];
  EXPECT_EQ(IntToDec(gCallChainLineC), m[1].str());
  EXPECT_EQ(IntToDec(walk.items[c].relativeLine), m[2].str());
  // Every column is padded, so the function names start in one column and
  // the relative addresses have one width.
  const std::size_t nameAt =
      lines[0].size() - walk.items[0].functionName.size();
  const std::size_t relEnd = lines[0].find(' ', 9);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(nameAt, lines[i].size() - walk.items[i].functionName.size())
        << lines[i];
    EXPECT_EQ(relEnd, lines[i].find(' ', 9)) << lines[i];
    char rel[16];
    std::snprintf(rel, sizeof rel, "%x", walk.items[i].relativeAddress);
    const String digits = lines[i].substr(10, relEnd - 10);
    EXPECT_EQ(std::strtoul(rel, nullptr, 16),
              std::strtoul(digits.c_str(), nullptr, 16))
        << lines[i];
  }
}

// ---------------------------------------------------------------------------
// Another thread, suspended inside the chain
// ---------------------------------------------------------------------------

}  // namespace

struct TSpinner {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> release{0};
  Cardinal stackTop = 0;
};

__attribute__((noinline)) int Spin(void* context) {
  auto* spinner = static_cast<TSpinner*>(context);
  SetEvent(spinner->ready);
  while (!spinner->release) YieldProcessor();
  return 0;
}

DWORD WINAPI SpinnerThread(void* context) {
  auto* spinner = static_cast<TSpinner*>(context);
  spinner->stackTop =
      CodeAddr(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->StackBase);
  return static_cast<DWORD>(CallChainA(&Spin, context));
}

namespace {

TEST(PellorStackTrace, SuspendedThreadShowsTheCallChain) {
  TSpinner spinner;
  ASSERT_NE(nullptr, spinner.ready);
  const THandle readyEvent(spinner.ready);
  const THandle threadHandle(
      CreateThread(nullptr, 0, &SpinnerThread, &spinner, 0, nullptr));
  ASSERT_TRUE(threadHandle);
  HANDLE thread = threadHandle.get();
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(spinner.ready, 20000))
      << "the thread did not reach the probe";

  TTraceStackResult result;
  TStackTrace items;
  ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(thread));
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_FULL;
  const bool gotContext = GetThreadContext(thread, &context);
  if (gotContext) {
    TTraceStackRequest request;
    request.framePointer = context.Ebp;
    request.stackTop = spinner.stackTop;
    request.stackBottom = context.Esp;
    request.currentAddress = context.Eip;
    TraceStack(request, result, &items);
  }
  ResumeThread(thread);
  spinner.release = 1;
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 20000));
  ASSERT_TRUE(gotContext);

  SCOPED_TRACE(result.text);
  ExpectChain(items);
  // The thread may stop inside a helper of the loop: the newest item is
  // where it stopped, and the spinning function calls C's probe.
  EXPECT_EQ(context.Eip, items.front().address);
  EXPECT_EQ(IndexOf(items, "CallChainC") - 1, IndexOf(items, "Spin"));
  EXPECT_NE(String::npos,
            items[IndexOf(items, "CallChainA") + 1].functionName.find(
                "SpinnerThread"));
}

// ---------------------------------------------------------------------------
// Captured candidates
// ---------------------------------------------------------------------------

}  // namespace

// Whether address lies in executable code of a loaded module, whose bytes
// stay as they were when the stack was captured.
static bool InModuleCode(Cardinal address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info,
                   sizeof info) != sizeof info)
    return false;
  const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return info.State == MEM_COMMIT && info.Type == MEM_IMAGE &&
         (info.Protect & executable) != 0;
}

__attribute__((noinline)) int CaptureHere(void* context) {
  return CaptureRawStack(0, 0, 0, *static_cast<TDAPreStackItem*>(context),
                         false, 0);
}

namespace {

TEST(PellorStackTrace, CapturedCandidatesWalkLikeTheStack) {
  TDAPreStackItem pre;
  CallChainA(&CaptureHere, &pre);
  ASSERT_FALSE(pre.empty());
  // Every candidate passed the return-address test when it was captured. Only
  // those in a module's code can be tested again: a stale heap pointer left
  // on the stack may have looked like a call then and no longer does, since
  // the heap has changed under it since.
  int inCode = 0;
  for (const TDAPreStackEntry& e : pre) {
    if (!InModuleCode(e.address)) continue;
    ++inCode;
    EXPECT_TRUE(CouldFollowCall(e.address)) << std::hex << e.address;
  }
  EXPECT_GE(inCode, 3);  // at least the A -> B -> C chain
  EXPECT_TRUE(std::any_of(pre.begin(), pre.end(),
                          [](const TDAPreStackEntry& e) { return e.kept; }));

  TTraceStackResult result;
  const TStackTrace items = WalkCollected(pre, result);
  SCOPED_TRACE(result.text);
  ExpectChain(items);
}

// ---------------------------------------------------------------------------
// Frames of the exception machinery, and the abort flag
// ---------------------------------------------------------------------------

}  // namespace

// A frame that calls on (call in parentheses) and works after the call,
// which keeps it a call (no tail jump) at any optimisation.
#define PELLOR_FRAME(call, ...)    \
  __VA_ARGS__ {                    \
    volatile int after = 1;        \
    int result = call;             \
    asm volatile("" ::: "memory"); \
    return result + after;         \
  }

// Stand-ins under the names of the runtime's and the system's exception
// routines: the walker knows those frames by name only.
#define PELLOR_PASS_THROUGH(name)                             \
  PELLOR_FRAME((probe(context)),                              \
               extern "C" __attribute__((noinline)) int name( \
                   TCallChainProbe probe, void* context))
PELLOR_PASS_THROUGH(_ThrowExceptionLDTC)
PELLOR_PASS_THROUGH(_ReThrowException)
PELLOR_PASS_THROUGH(__ExceptionHandler)
#undef PELLOR_PASS_THROUGH

// Calls the chain from inside the given runtime routine.
struct TThroughRoutine {
  int (*routine)(TCallChainProbe, void*);
  TCallChainProbe probe;
  void* context;
};

__attribute__((noinline)) int ChainThenRoutine(void* context) {
  auto* through = static_cast<TThroughRoutine*>(context);
  return through->routine(through->probe, through->context);
}

PELLOR_FRAME(
    (CallChainA(&ChainThenRoutine, through)),
    __attribute__((noinline)) int RoutineCaller(TThroughRoutine* through))

namespace {

TEST(PellorStackTrace, AbnormalTerminationHidesTheThrowingFrames) {
  for (auto* routine : {&_ThrowExceptionLDTC, &_ReThrowException}) {
    for (bool abnormal : {false, true}) {
      TCurrentWalk walk;
      walk.request.abnormalTermination = abnormal;
      TThroughRoutine through{routine, &WalkHere, &walk};
      RoutineCaller(&through);
      SCOPED_TRACE(walk.result.text);
      const String name = routine == &_ThrowExceptionLDTC
                              ? "_ThrowExceptionLDTC"
                              : "_ReThrowException";
      // The chain calls the routine, which calls the walk.
      ExpectChain(walk.items);
      if (!abnormal) {
        EXPECT_EQ("WalkHere", walk.items.front().functionName);
        EXPECT_EQ(1, IndexOf(walk.items, name));
        continue;
      }
      // The routine and everything newer go, the top item too; the
      // report starts with the frame that called the routine.
      EXPECT_EQ(-1, IndexOf(walk.items, name));
      EXPECT_EQ(-1, IndexOf(walk.items, "WalkHere"));
      EXPECT_EQ("ChainThenRoutine", walk.items.front().functionName);
      EXPECT_EQ(1, IndexOf(walk.items, "CallChainC"));
      EXPECT_GE(IndexOf(walk.items, "RoutineCaller"), 0);
    }
  }
}

}  // namespace

// Where the exception is handled: the system's dispatcher calls the
// handler, which captures the candidates and walks its own stack.
struct TDispatchCapture {
  TDAPreStackItem pre;
  TCurrentWalk live;
};

__attribute__((noinline)) int CaptureInHandler(void* context) {
  auto* capture = static_cast<TDispatchCapture*>(context);
  CaptureRawStack(0, 0, 0, capture->pre, false, 0);
  return WalkHere(&capture->live);
}

// The dispatcher calls the handler directly, as the system's does after
// frames without names.
PELLOR_FRAME(
    (__ExceptionHandler(&CaptureInHandler, context)), extern "C"
    __attribute__((noinline)) int KiUserExceptionDispatcher(void* context))

// Where the fault is.
__attribute__((noinline)) int FaultSite(void* context) {
  return context != nullptr;
}

PELLOR_FRAME((KiUserExceptionDispatcher(context)),
             __attribute__((noinline)) int RaiseAndDispatch(void* context))

namespace {

TEST(PellorStackTrace, CapturedStacksHideTheExceptionDispatch) {
  // The fault: the top item.
  const Cardinal fault =
      CodeAddr(reinterpret_cast<const void*>(&FaultSite)) + 1;
  TDispatchCapture capture;
  capture.live.request.currentAddress = fault;
  CallChainA(&RaiseAndDispatch, &capture);
  ASSERT_FALSE(capture.pre.empty());

  // Walked live, every frame shows.
  {
    const TStackTrace& items = capture.live.items;
    SCOPED_TRACE(capture.live.result.text);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(fault, items.front().address);
    for (const char* name :
         {"CaptureInHandler", "__ExceptionHandler", "KiUserExceptionDispatcher",
          "RaiseAndDispatch", "CallChainA"})
      EXPECT_GE(IndexOf(items, name), 1) << name;
  }

  // From the captured candidates, the handler, what it called and the
  // dispatcher are gone; the top item stays, followed by the frame that
  // raised.
  TTraceStackRequest request;
  request.preCollected = &capture.pre;
  request.currentAddress = fault;
  TTraceStackResult result;
  TStackTrace items;
  TraceStack(request, result, &items);
  SCOPED_TRACE(result.text);
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(fault, items.front().address);
  for (const char* gone :
       {"CaptureInHandler", "__ExceptionHandler", "KiUserExceptionDispatcher"})
    EXPECT_EQ(-1, IndexOf(items, gone)) << gone;
  EXPECT_EQ("RaiseAndDispatch", items[1].functionName);
  EXPECT_EQ(2, IndexOf(items, "CallChainC"));
  ExpectChain(items);
}

// Sets the abort flag when the walk reports the given progress.
class TAbortingProgress : public TSilentProgressAlert {
 public:
  TAbortingProgress(volatile Byte& flag, Integer at) : flag_(flag), at_(at) {}
  void SetProgress(Integer perMille) override {
    TSilentProgressAlert::SetProgress(perMille);
    if (perMille >= at_) flag_ = 1;
  }

 private:
  volatile Byte& flag_;
  Integer at_;
};

// Walks the chain with the abort flag set once progress reaches at;
// whether it was set, and the progress the walk ended with.
std::pair<bool, Integer> WalkAbortingAt(Integer at, const TDAPreStackItem* pre,
                                        TCurrentWalk& walk) {
  volatile Byte flag = 0;
  TAbortingProgress progress(flag, at);
  walk.request.abortFlag = &flag;
  walk.request.progress = &progress;
  walk.request.preCollected = pre;
  CallChainA(&WalkHere, &walk);
  walk.request.abortFlag = nullptr;
  walk.request.progress = nullptr;
  return {flag != 0, progress.GetProgress()};
}

TEST(PellorStackTrace, AbortFlagEndsTheWalkEarly) {
  TDAPreStackItem pre;
  CallChainA(&CaptureHere, &pre);
  ASSERT_FALSE(pre.empty());
  for (const TDAPreStackItem* captured :
       {static_cast<TDAPreStackItem*>(nullptr), &pre}) {
    SCOPED_TRACE(captured ? "captured" : "live");
    // Aborted as the collecting starts: only the top item is left, with at
    // most the slot read before the flag was seen.
    TCurrentWalk walk;
    EXPECT_TRUE(WalkAbortingAt(0, captured, walk).first);
    ASSERT_FALSE(walk.items.empty());
    EXPECT_LE(walk.items.size(), 2u) << walk.result.text;
    EXPECT_EQ("WalkHere", walk.items.front().functionName);

    // Aborted in the deep checks: the walk still ends with a text and
    // progress at its end, and the next walk is whole again.
    TCurrentWalk partial;
    EXPECT_EQ(std::make_pair(true, Integer(1000)),
              WalkAbortingAt(26, captured, partial));
    EXPECT_FALSE(partial.items.empty());
  }
  TCurrentWalk whole;
  CallChainA(&WalkHere, &whole);
  SCOPED_TRACE(whole.result.text);
  ExpectChain(whole.items);
  EXPECT_GT(whole.items.size(), 5u);
}

// ---------------------------------------------------------------------------
// Recursion
// ---------------------------------------------------------------------------

}  // namespace

struct TRecursion {
  int depth = 0;
  TCurrentWalk walk;
};

__attribute__((noinline)) int Recurse(void* context, int n) {
  auto& r = *static_cast<TRecursion*>(context);
  volatile int after = 1;
  int result = n > 0 ? Recurse(context, n - 1) : WalkHere(&r.walk);
  asm volatile("" ::: "memory");
  return result + after;
}

namespace {

TEST(PellorStackTrace, RecursionIsFolded) {
  TRecursion r;
  Recurse(&r, 6);
  SCOPED_TRACE(r.walk.result.text);
  // The call from this test and one recursive call remain.
  int count = 0;
  for (const TStackItem& item : r.walk.items)
    count += item.functionName == "Recurse";
  EXPECT_EQ(2, count);
}

// ---------------------------------------------------------------------------
// Return-address test and garbage
// ---------------------------------------------------------------------------

TEST(PellorStackTrace, CouldFollowCallKnowsCallsFromJumps) {
  struct Case {
    const char* what;
    std::vector<Byte> before;  // the bytes ending at the value
    bool expected;
  };
  const Case cases[] = {
      {"call rel32", {0xE8, 1, 2, 3, 4}, true},
      {"call [mem]", {0xFF, 0x15, 1, 2, 3, 4}, true},
      {"call eax", {0xFF, 0xD0}, true},
      {"call [eax+8]", {0xFF, 0x50, 0x08}, true},
      {"call far [mem] (/3)", {0xFF, 0x1D, 1, 2, 3, 4}, true},
      {"call [esp+disp32]", {0xFF, 0x94, 0x24, 1, 2, 3, 4}, true},
      {"call far ptr", {0x9A, 1, 2, 3, 4, 5, 6}, true},
      {"jmp eax (/4)", {0xFF, 0xE0}, false},
      {"jmp [mem] (/4)", {0xFF, 0x25, 1, 2, 3, 4}, false},
      {"push [mem] (/6)", {0xFF, 0x35, 1, 2, 3, 4}, false},
      {"jmp rel32", {0xE9, 1, 2, 3, 4}, false},
      {"plain data", {0x90, 0x90, 0x90, 0x90}, false},
  };
  for (const Case& c : cases) {
    Byte buffer[32];
    std::memset(buffer, 0x90, sizeof buffer);
    std::memcpy(buffer + 16 - c.before.size(), c.before.data(),
                c.before.size());
    EXPECT_EQ(c.expected, CouldFollowCall(CodeAddr(buffer + 16))) << c.what;
  }
  EXPECT_FALSE(CouldFollowCall(0));
  EXPECT_FALSE(CouldFollowCall(7));
  // Memory that is reserved but not committed.
  void* reserved = VirtualAlloc(nullptr, 0x10000, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(nullptr, reserved);
  EXPECT_FALSE(CouldFollowCall(CodeAddr(reserved) + 0x100));
  VirtualFree(reserved, 0, MEM_RELEASE);
}

// The return address of a real call, for planting into fake stacks.
__attribute__((noinline)) Cardinal ReturnAddressProbe() {
  return CodeAddr(__builtin_return_address(0));
}
__attribute__((noinline)) Cardinal RealReturnAddress() {
  volatile Cardinal r = ReturnAddressProbe();
  return r;
}

TEST(PellorStackTrace, GarbageStacksFailCleanly) {
  std::vector<Cardinal> stack(4096);
  std::mt19937 random(1234);
  const Cardinal code = CodeAddr(reinterpret_cast<const void*>(&TraceStack));
  // Code of a module without debug information, named by its exports.
  const Cardinal systemCode = CodeAddr(reinterpret_cast<const void*>(
      GetProcAddress(GetModuleHandleA("msvcrt.dll"), "bsearch")));
  ASSERT_NE(0u, systemCode);
  const Cardinal realReturn = RealReturnAddress();
  const Cardinal base = CodeAddr(stack.data());
  const Cardinal top = base + 4 * static_cast<Cardinal>(stack.size());
  void* reserved = VirtualAlloc(nullptr, 0x10000, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(nullptr, reserved);
  const Cardinal special[] = {0,          7,
                              8,          0xFFFFFFFF,
                              0x80000000, CodeAddr(reserved) + 5,
                              code,       code + 1,
                              realReturn, realReturn + 1,
                              base,       top,
                              top - 4};
  for (int round = 0; round < 4; ++round) {
    for (std::size_t i = 0; i < stack.size(); ++i) {
      switch (random() % 5) {
        case 0:
          stack[i] = random();
          break;
        case 1:
          stack[i] = special[random() % std::size(special)];
          break;
        case 2:  // a "frame pointer" into the stack, often backwards
          stack[i] = base + 4 * (random() % stack.size());
          break;
        case 3:
          stack[i] = systemCode + random() % 0x4000;
          break;
        default:
          stack[i] = code + random() % 0x4000;
      }
    }
    TTraceStackRequest request;
    request.stackTop = top;
    request.stackBottom = base;
    request.framePointer = stack[random() % stack.size()];
    request.currentAddress = round % 2 ? realReturn : 0xDEADBEEF;
    request.isException = round == 3;
    request.externalException = round == 3;
    request.creatorAddress = round == 2 ? code : 0;
    request.showRelativeAddresses = true;
    request.showRelativeLines = true;
    TTraceStackResult result;
    TStackTrace items;
    TraceStack(request, result, &items);
    EXPECT_FALSE(result.text.empty()) << round;
    EXPECT_EQ(SplitLines(result.text).size(), items.size()) << round;
    // The forced top item is always shown, newest first.
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(request.currentAddress, items.front().address) << round;

    TDAPreStackItem pre;
    CaptureRawStack(request.framePointer, top, base, pre, false, 0);
    request.preCollected = &pre;
    TraceStack(request, result, &items);
    EXPECT_FALSE(items.empty()) << round;
  }
  // An unreadable or empty range gives nothing at all.
  const std::pair<Cardinal, Cardinal> ranges[] = {
      {CodeAddr(reserved) + 0x1000, CodeAddr(reserved)},
      {base, base},
      {base, top},  // top below bottom
      {top + 0x10000000, base},
  };
  for (const auto& [rangeTop, rangeBottom] : ranges) {
    TTraceStackRequest request;
    request.stackTop = rangeTop;
    request.stackBottom = rangeBottom;
    request.framePointer = rangeBottom;
    request.currentAddress = realReturn;
    TTraceStackResult result;
    TStackTrace items;
    TraceStack(request, result, &items);
    EXPECT_EQ("", result.text);
    EXPECT_TRUE(items.empty());
    TDAPreStackItem pre(3);
    EXPECT_EQ(
        0, CaptureRawStack(rangeBottom, rangeTop, rangeBottom, pre, false, 0));
    EXPECT_TRUE(pre.empty());
  }
  VirtualFree(reserved, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------------------
// Checksums and address texts
// ---------------------------------------------------------------------------

TEST(PellorStackTrace, ChecksumsDoNotDependOnTheLoadAddress) {
  TCurrentWalk walk;
  CallChainA(&WalkHere, &walk);
  ASSERT_FALSE(walk.items.empty());
  std::vector<TCallstackCrcLine> lines;
  for (const TStackItem& item : walk.items) {
    if (!item.relativeAddress) continue;  // entry unknown
    lines.push_back({item.address, item.address - item.relativeAddress,
                     item.moduleName, item.unitName, item.functionName});
  }
  ASSERT_GE(lines.size(), 4u);
  Cardinal crc1 = 0, crc2 = 0;
  CallstackCrcs(lines, crc1, crc2);

  // The same stack with the module loaded 0x01230000 higher.
  std::vector<TCallstackCrcLine> moved = lines;
  for (TCallstackCrcLine& l : moved) {
    l.codeAddress += 0x01230000;
    l.entry += 0x01230000;
  }
  Cardinal movedCrc1 = 0, movedCrc2 = 0;
  CallstackCrcs(moved, movedCrc1, movedCrc2);
  EXPECT_EQ(crc1, movedCrc1);
  EXPECT_EQ(crc2, movedCrc2);
  // Case does not matter either.
  moved[1].moduleName = UpperStr(moved[1].moduleName);
  moved[1].functionName = UpperStr(moved[1].functionName);
  CallstackCrcs(moved, movedCrc1, movedCrc2);
  EXPECT_EQ(crc2, movedCrc2);

  // CRC 1 is the first line alone; CRC 2 covers the order of all of them.
  std::vector<TCallstackCrcLine> swapped = lines;
  std::swap(swapped[1], swapped[2]);
  Cardinal swappedCrc1 = 0, swappedCrc2 = 0;
  CallstackCrcs(swapped, swappedCrc1, swappedCrc2);
  EXPECT_EQ(crc1, swappedCrc1);
  EXPECT_NE(crc2, swappedCrc2);

  // What each line contributes depends on what is known of it.
  struct Case {
    const char* what;
    TCallstackCrcLine line;
    bool movesWithTheModule;
  };
  const Case cases[] = {
      {"fully known", {0x401234, 0x401200, "m.exe", "u.cpp", "F"}, false},
      {"no unit", {0x401234, 0x401200, "m.exe", "", "F"}, false},
      {"no entry", {0x401234, 0, "m.exe", "u.cpp", "F"}, true},
      {"no module", {0x401234, 0x401200, "???", "u.cpp", "F"}, true},
      {"no name", {0x401234, 0x401200, "m.exe", "u.cpp", ""}, true},
  };
  for (const Case& c : cases) {
    TCallstackCrcLine shifted = c.line;
    shifted.codeAddress += 0x10000;
    if (shifted.entry) shifted.entry += 0x10000;
    Cardinal a1, a2, b1, b2;
    CallstackCrcs({c.line}, a1, a2);
    CallstackCrcs({shifted}, b1, b2);
    EXPECT_EQ(a1, a2) << c.what;
    EXPECT_EQ(c.movesWithTheModule, a1 != b1) << c.what;
    if (c.movesWithTheModule) {
      EXPECT_EQ(c.line.codeAddress, a1) << c.what;
    }
  }
}

TEST(PellorStackTrace, FormatStackAddressNamesTheFrame) {
  TCurrentWalk walk;
  CallChainA(&WalkHere, &walk);
  const int b = IndexOf(walk.items, "CallChainB");
  ASSERT_GE(b, 0);
  const TStackItem& item = walk.items[b];
  const String text = FormatStackAddress(item.address, true, false);
  char expected[128];
  std::snprintf(expected, sizeof expected, "%08x +%x ", item.address,
                item.relativeAddress);
  EXPECT_EQ(String(expected) + "crash_analysis_tests.exe CallChainB.cpp " +
                IntToDec(gCallChainLineB) + " CallChainB",
            text);
  const String relative = FormatStackAddress(item.address, false, true);
  EXPECT_TRUE(std::regex_match(
      relative, std::regex("[0-9a-f]{8} crash_analysis_tests\\.exe "
                           "CallChainB\\.cpp [0-9]+ \\+[0-9]+ CallChainB")))
      << relative;

  EXPECT_EQ("00000010 +0 ???", FormatStackAddress(0x10, true, false));
  EXPECT_EQ("00000010 ???", FormatStackAddress(0x10, false, false));

  EXPECT_EQ(">> internal error in InDeepChecks",
            FormatInternalError("InDeepChecks", false, false));
  EXPECT_EQ(">> internal error in ComposeResult:\r\n00000010 ???",
            FormatInternalError("ComposeResult", false, false, 0x10));
}

TEST(PellorStackTrace, HiddenLinelessFramesKeepTheTopItem) {
  // A top item in memory without debug information still heads the trace
  // when items without lines are hidden.
  void* page =
      VirtualAlloc(nullptr, 0x1000, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  ASSERT_NE(nullptr, page);
  std::memset(page, 0x90, 0x1000);
  // Not on the stack: for an exception, the slot holding the exception
  // address is where the walk starts.
  static TCurrentWalk walk;
  walk.request.hideItemsWithoutLines = true;
  walk.request.isException = true;
  walk.request.currentAddress = CodeAddr(page) + 0x10;
  CallChainA(&WalkHere, &walk);
  VirtualFree(page, 0, MEM_RELEASE);
  SCOPED_TRACE(walk.result.text);
  ASSERT_FALSE(walk.items.empty());
  EXPECT_EQ(CodeAddr(page) + 0x10, walk.items.front().address);
  EXPECT_EQ("???", walk.items.front().moduleName);
  ExpectChain(walk.items);
  for (std::size_t i = 1; i < walk.items.size(); ++i)
    EXPECT_NE(0, walk.items[i].relativeLine) << walk.items[i].functionName;
}

}  // namespace

// ---------------------------------------------------------------------------
// Choosing the chain between anchors
// ---------------------------------------------------------------------------

namespace {

using pellor_detail::ChooseLinkChain;
using pellor_detail::TChainLink;

TChainLink Fn(Integer other, bool approved, unsigned lineBonus = 0) {
  return {other, true, approved, lineBonus};
}
TChainLink NoFn(Integer other, unsigned lineBonus = 0) {
  return {other, false, false, lineBonus};
}

TEST(PellorStackTrace, ChainChoiceKeepsTheBestConnectedPath) {
  struct Case {
    const char* what;
    std::vector<std::vector<TChainLink>> links;
    Integer from, goal;
    std::vector<Integer> path;
    bool reachesGoal;
  };
  const Case cases[] = {
      {"reaching the goal beats a longer chain that does not",
       {{Fn(1, true, 9), NoFn(3)}, {Fn(2, true, 9)}, {}, {}},
       0,
       3,
       {0, 3},
       true},
      {"calls inside functions beat calls without",
       {{NoFn(2, 9), Fn(1, false)}, {Fn(3, false)}, {NoFn(3, 9)}, {}},
       0,
       3,
       {0, 1, 3},
       true},
      {"an approved function outweighs debug lines",
       {{Fn(1, false, 9), Fn(2, true)}, {Fn(3, false, 9)}, {Fn(3, true)}, {}},
       0,
       3,
       {0, 2, 3},
       true},
      {"downward along caller links",
       {{}, {Fn(0, true)}, {NoFn(0)}, {Fn(1, true), NoFn(2)}},
       3,
       0,
       {3, 1, 0},
       true},
      {"links that leave the range are not followed",
       {{Fn(2, true), Fn(5, true), Fn(-1, true)}, {}, {}},
       0,
       2,
       {0, 2},
       true},
      {"no link reaches the goal",
       {{Fn(1, true)}, {}, {}},
       0,
       2,
       {0, 1},
       false},
      // Older than the oldest anchor there is no goal: the chain runs down
      // as far as its links reach.
      {"no goal: the best-linked chain down",
       {{}, {}, {NoFn(0)}, {Fn(1, true)}, {Fn(3, true), NoFn(2, 9)}},
       4,
       -1,
       {4, 3, 1},
       false},
      // A chain whose every link lies in a function keeps its bonus even
      // though it never reached a goal; one through a call outside any
      // function loses it, however approved its first link.
      {"no goal: a directly connected chain wins",
       {{}, {NoFn(0)}, {}, {Fn(2, false, 3), Fn(1, true)}},
       3,
       -1,
       {3, 2},
       false},
      {"start out of range", {{}, {}}, 5, 1, {}, false},
  };
  for (const Case& c : cases) {
    const pellor_detail::TChainChoice choice =
        ChooseLinkChain(c.links, c.from, c.goal);
    EXPECT_EQ(c.path, choice.path) << c.what;
    EXPECT_EQ(c.reachesGoal, choice.reachesGoal) << c.what;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Modules without debug information
// ---------------------------------------------------------------------------

namespace {

TEST(PellorStackTrace, NearestExportIsTheHighestAtOrBelow) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  ASSERT_NE(nullptr, ntdll);
  for (const char* name : {"RtlAllocateHeap", "RtlFreeHeap", "NtClose"}) {
    const auto* entry =
        reinterpret_cast<const Byte*>(GetProcAddress(ntdll, name));
    ASSERT_NE(nullptr, entry) << name;
    EXPECT_EQ(entry, ImageNearestExport(ntdll, entry)) << name;
    EXPECT_EQ(entry, ImageNearestExport(ntdll, entry + 1)) << name;
    EXPECT_EQ(name,
              ImageExportNameOf(ntdll, ImageNearestExport(ntdll, entry + 1)));
  }
  // Below every export, and images without exports.
  EXPECT_EQ(nullptr, ImageNearestExport(ntdll, ntdll));
  EXPECT_EQ(nullptr, ImageNearestExport(GetModuleHandleA(nullptr),
                                        GetModuleHandleA(nullptr)));
}

}  // namespace

TCurrentWalk* gSearchWalk = nullptr;

// The system's binary search calls back into this program.
extern "C" int WalkFromSearch(const void* key, const void* element) {
  if (gSearchWalk) WalkHere(gSearchWalk);
  gSearchWalk = nullptr;
  return *static_cast<const int*>(key) - *static_cast<const int*>(element);
}

__attribute__((noinline)) int SearchThenWalk(void* context) {
  static const int sorted[] = {1, 2, 3};
  const int key = 2;
  gSearchWalk = static_cast<TCurrentWalk*>(context);
  return bsearch(&key, sorted, 3, sizeof(int), &WalkFromSearch) != nullptr;
}

namespace {

// The C runtime's search is a frame without debug information: it is
// named after the export it lies in.
TEST(PellorStackTrace, SystemFramesAreNamedByTheirExports) {
  TCurrentWalk walk;
  CallChainA(&SearchThenWalk, &walk);
  const TStackTrace& items = walk.items;
  SCOPED_TRACE(walk.result.text);
  const int callback = IndexOf(items, "WalkFromSearch");
  const int caller = IndexOf(items, "SearchThenWalk");
  ASSERT_GE(callback, 0);
  ASSERT_EQ(callback + 2, caller);
  const TStackItem& system = items[callback + 1];
  EXPECT_TRUE(SameTextFolded("msvcrt.dll", system.moduleName))
      << system.moduleName;
  EXPECT_EQ("bsearch", system.functionName);
  EXPECT_EQ("", system.unitName);
  EXPECT_EQ(0, system.relativeLine);
  // The export's entry is known, so the address is relative to it.
  EXPECT_EQ(CodeAddr(reinterpret_cast<const void*>(
                GetProcAddress(GetModuleHandleA("msvcrt.dll"), "bsearch"))),
            system.address - system.relativeAddress);
  ExpectChain(items);
}

}  // namespace

namespace {

TEST(PellorStackTrace, DispatchCallsCountAsUntargetedOnWindows9x) {
  const Cardinal dispatch = 0x7E418000, stub = 0x00401230, other = 0x7E410000;
  TFunctionInfo info;
  info.externalCalls = {
      {true, 0x401000, 0x401006, dispatch},   // call [import]
      {true, 0x401010, 0x401015, stub},       // call stub (jmp [import])
      {true, 0x401020, 0x401026, other},      // another routine
      {false, 0x401030, 0x401036, dispatch},  // a tail jump, no frame
      {true, 0x401040, 0x401042, 0},          // call eax
  };
  info.unresolvedBranches = {{true, 0x401040, 0x401042}};
  struct Case {
    bool is9x;
    std::vector<Cardinal> calls;  // the new untargeted calls
  };
  const Case cases[] = {{false, {}}, {true, {0x401000, 0x401010}}};
  for (const Case& c : cases) {
    TFunctionInfo f = info;
    pellor_detail::AddDispatchBranches(f, c.is9x, {dispatch, stub});
    // Run twice: nothing is recorded twice.
    pellor_detail::AddDispatchBranches(f, c.is9x, {dispatch, stub});
    ASSERT_EQ(1 + c.calls.size(), f.unresolvedBranches.size()) << c.is9x;
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
      const TDABranch& b = f.unresolvedBranches[1 + i];
      EXPECT_TRUE(b.isCall);
      EXPECT_EQ(c.calls[i], b.address);
      EXPECT_EQ(c.calls[i] == 0x401000 ? 0x401006u : 0x401015u, b.next);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Calls in code that two functions share
// ---------------------------------------------------------------------------

// Hand-made functions with map names. H calls F; F jumps into the middle of
// G, where the bytes of one of G's instructions read as "call eax" when
// entered there. In the first pair G's own instruction is a "mov eax, imm",
// so the call returning behind it is F's. In the second pair G's own
// instruction is a call ending at the same place, and a function that reads
// the bytes otherwise is wrong about G's code.
asm(R"(
  .macro pellor_function name
    .globl _\name
    .def _\name; .scl 2; .type 32; .endef
_\name:
  .endm
  .macro pellor_shared g, f, h, opcode
    pellor_function \g
    .byte 0x55, 0x89, 0xE5, \opcode, 0x90, 0x90, 0xFF, 0xD0, 0x5D, 0xC3
    pellor_function \f
    .byte 0x55, 0x89, 0xE5, 0xE9
    .long _\g + 6 - . - 4
    pellor_function \h
    .byte 0x55, 0x89, 0xE5, 0xE8
    .long _\f - . - 4
    .byte 0x5D, 0xC3
  .endm
  .text
  pellor_shared PellorSharedG, PellorSharedF, PellorSharedH, 0xB8
  pellor_shared PellorOwnG, PellorOwnF, PellorOwnH, 0xE8
)");

extern "C" const Byte PellorSharedG[], PellorSharedH[];
extern "C" const Byte PellorOwnG[], PellorOwnH[];

namespace {

TEST(PellorStackTrace, CallsInSharedCodeBelongToTheFunctionThatRanThem) {
  struct Case {
    const char* what;
    const Byte* g;
    const Byte* h;
    String callerName;  // the frame whose return address lies in G
    Cardinal callerAt;  // its call, from G's start
    String calledName;
  };
  const Case cases[] = {
      {"G has no call there", PellorSharedG, PellorSharedH, "PellorSharedF", 6,
       "PellorSharedH"},
      {"G's own call wins", PellorOwnG, PellorOwnH, "PellorOwnG", 3,
       "PellorOwnH"},
  };
  for (const Case& c : cases) {
    // Both return addresses on the frame-pointer chain, oldest first.
    const TDAPreStackItem pre = {{1, CodeAddr(c.h) + 8},
                                 {1, CodeAddr(c.g) + 8}};
    for (int walk = 0; walk < 2; ++walk) {  // the second one from the caches
      TTraceStackResult result;
      const TStackTrace items = WalkCollected(pre, result);
      SCOPED_TRACE(result.text);
      ASSERT_EQ(2u, items.size()) << c.what;
      EXPECT_EQ(c.callerName, items[0].functionName) << c.what;
      EXPECT_EQ(CodeAddr(c.g) + c.callerAt, items[0].address) << c.what;
      EXPECT_EQ(c.calledName, items[1].functionName) << c.what;
      EXPECT_EQ(CodeAddr(c.h) + 3, items[1].address) << c.what;
    }
  }
}

}  // namespace
