// The stack walker: rebuilds a thread's call stack from every value on its
// raw stack that could be a return address, checks each one against the
// code before it and against the functions that the analysis finds, keeps
// the best-linked chain between the frame-pointer anchors, folds recursion
// and names the frames through the debug information. Also the quick
// candidate capture at the moment an exception is raised and the one-line
// address text used throughout the crash library. Nothing here raises.
#pragma once

#include <vector>

#include "PellorDisAsm.h"
#include "PellorStrings.h"
#include "PellorTools.h"

// Progress of slow crash work, in per mille of the current stage. The
// window that shows it comes later; until then TSilentProgressAlert only
// remembers the position.
class IProgressAlert {
 public:
  virtual ~IProgressAlert() = default;
  virtual Integer GetProgress() const = 0;
  virtual void SetProgress(Integer perMille) = 0;
};

class TSilentProgressAlert : public IProgressAlert {
 public:
  Integer GetProgress() const override { return progress_; }
  void SetProgress(Integer perMille) override { progress_ = perMille; }

 private:
  Integer progress_ = 0;
};

// One output line of a walk.
struct TStackItem {
  Cardinal address = 0;          // the call instruction (or the top address)
  Cardinal relativeAddress = 0;  // from the function's entry; 0 when unknown
  String moduleName;
  String unitName;
  // With relative lines and the entry's line known: line is the absolute
  // line and relativeLine the offset from the entry's line. Otherwise line
  // is 0 and relativeLine the line number (0 when unknown).
  Integer line = 0;
  Integer relativeLine = 0;
  String functionName;
};
using TStackTrace = std::vector<TStackItem>;

// A candidate collected while an exception is raised.
struct TDAPreStackEntry {
  Byte kept = 0;  // its slot is on the frame-pointer chain
  Cardinal address = 0;
};
using TDAPreStackItem = std::vector<TDAPreStackEntry>;

// Whether the bytes before value end in a call (E8 rel32, FF /2 or /3, or
// 9A far call). Values of 7 or less never do.
bool CouldFollowCall(Cardinal value, const TDATryRead* snapshot = nullptr);

struct TTraceStackRequest {
  bool hideItemsWithoutLines = false;
  bool showRelativeAddresses = false;
  bool showRelativeLines = false;
  bool omitTopItem = false;
  // Minimal-debug-info identities ("module|identity") of the modules seen
  // are added here when given.
  std::vector<String>* minDebugIdentities = nullptr;
  const volatile Byte* abortFlag = nullptr;
  const TDAPreStackItem* preCollected = nullptr;
  bool abnormalTermination = false;
  bool skipChainOptimisation = false;
  Cardinal framePointer = 0;  // 0: the caller's frame (current thread only)
  IProgressAlert* progress = nullptr;
  Cardinal creatorAddress = 0;  // where the thread was created; 0 none
  Cardinal stackTop = 0;        // exclusive; 0: the current thread's base
  Cardinal stackBottom = 0;     // 0: the caller's stack pointer
  bool externalException = false;
  bool isException = false;
  Cardinal currentAddress = 0;  // 0 (no exception): the caller's return
};

struct TTraceStackResult {
  String text;
  bool hasLineNumbers = false;
  Cardinal crc1 = 0;
  Cardinal crc2 = 0;
  Cardinal exceptionLineAddress = 0;    // code address of the exception's
  Cardinal exceptionFunctionEntry = 0;  // function and its entry
  Cardinal exceptionCodeAddress = 0;    // the newest item's code address
};

// Walks the stack described by request. items, when given, receives one
// record per printed line.
void TraceStack(const TTraceStackRequest& request, TTraceStackResult& result,
                TStackTrace* items = nullptr);

// The candidates of a stack, collected quickly; their number.
Integer CaptureRawStack(Cardinal framePointer, Cardinal stackTop,
                        Cardinal stackBottom, TDAPreStackItem& out,
                        bool isException, Cardinal currentAddress);

// "0040123a +1c Varnel.exe Unit 123 +4 Function"-style line of an address.
String FormatStackAddress(Cardinal address, bool showRelativeAddress,
                          bool showRelativeLine);

// The text of a walk phase that failed; the address of the exception being
// handled is appended when there is one.
String FormatInternalError(const String& phase, bool showRelativeAddress,
                           bool showRelativeLine,
                           Cardinal exceptionAddress = 0);

// What one printed line contributes to the callstack checksums.
struct TCallstackCrcLine {
  Cardinal codeAddress = 0;
  Cardinal entry = 0;  // 0 when unknown
  String moduleName;   // "" or "???" when unknown
  String unitName;
  String functionName;
};
// CRC 1 is the first line's value, CRC 2 that value updated with every
// further line's; lines with a known module, entry and name contribute
// their offset from the entry, so the sums do not depend on load addresses.
void CallstackCrcs(const std::vector<TCallstackCrcLine>& lines, Cardinal& crc1,
                   Cardinal& crc2);

// Forgets the cached modules and function analyses.
void ClearStackTraceCaches();

namespace pellor_detail {
// On the Windows 9x line a window procedure that DispatchMessageA runs is
// not entered from that routine's own code, so any newer frame may be the
// one it called: its calls (to one of dispatchTargets, the routine and the
// import stubs that lead there) also count as calls without a known target.
void AddDispatchBranches(TFunctionInfo& info, bool is9x,
                         const std::vector<Cardinal>& dispatchTargets);

// A link between two stack candidates, as the chain scoring sees it.
struct TChainLink {
  Integer other = -1;
  bool hasFunction = false;  // the call was found inside an analysed function
  bool approved = false;     // that function comes from debug information
  unsigned lineBonus = 0;    // 0 to 9: what the debug information confirms
};
struct TChainChoice {
  UInt64 score = UInt64(1) << 60;  // a candidate without links
  bool reachesGoal = false;
  std::vector<Integer> path;  // from the start on (the goal last when reached)
};
// The best-scored chain of links from candidate from towards goal, each link
// moving one way (links[i] are candidate i's links). A goal below 0 means
// none: the chain runs down towards candidate 0 as far as links reach.
TChainChoice ChooseLinkChain(const std::vector<std::vector<TChainLink>>& links,
                             Integer from, Integer goal);
}  // namespace pellor_detail
