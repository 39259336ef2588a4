// The decoder and the analysis on this process's own code, read through
// the safe reads: real compiled functions, import calls and the C++
// runtime's non-returning routines of our build.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "PellorDisAsm.h"
#include "PellorDisAsmProcess.h"

namespace {

Cardinal Addr(const void* p) {
  return static_cast<Cardinal>(reinterpret_cast<uintptr_t>(p));
}

volatile int gSink = 0;

__attribute__((noinline)) int Classify(int value) {
  // Enough cases for the compiler to consider a table.
  switch (value) {
    case 0:
      gSink = 3;
      return 11;
    case 1:
      gSink = 5;
      return 17;
    case 2:
      gSink = 7;
      return 23;
    case 3:
      gSink = 11;
      return 31;
    case 4:
      gSink = 13;
      return 37;
    case 5:
      gSink = 17;
      return 41;
    case 6:
      gSink = 19;
      return 43;
    default:
      return -1;
  }
}

// A call through the import cell, as written (the compiler may load the
// cell into a register first, which leaves the call without a target).
extern "C" __attribute__((naked)) DWORD CallTickCount() {
  asm("call *__imp__GetTickCount@0\n\tret");
}

[[noreturn]] __attribute__((noinline)) void ThrowRange(int value) {
  throw std::out_of_range(value ? "one" : "zero");
}

TEST(PellorDisAsmWin, AnalysesCompiledFunctions) {
  TDAProcessEnvironment env;
  TDARuntimeHelpers helpers = OwnRuntimeHelpers(env);
  const void* functions[] = {
      reinterpret_cast<const void*>(&Classify),
      reinterpret_cast<const void*>(&CallTickCount),
      reinterpret_cast<const void*>(&AnalyzeFunctionEx),
      reinterpret_cast<const void*>(&FormatDisassembly),
  };
  for (const void* f : functions) {
    TFunctionInfo info;
    ASSERT_TRUE(AnalyzeFunctionEx(env, Addr(f), info, helpers))
        << std::hex << Addr(f) << " " << info.errorText << " at "
        << info.errorAddress;
    EXPECT_LE(info.lowestAddress, Addr(f));
    EXPECT_GT(info.lowestAddress + info.spanLength, Addr(f));
    EXPECT_LT(info.spanLength, 0x10000u);
  }
}

TEST(PellorDisAsmWin, ImportCallsNameTheirTarget) {
  TDAProcessEnvironment env;

  TFunctionInfo info;
  String text;
  ASSERT_TRUE(DisassembleFunction(
      env, Addr(reinterpret_cast<const void*>(&CallTickCount)), text, 0, info,
      true, 0));
  EXPECT_NE(String::npos, text.find("GetTickCount")) << text;
  bool found = false;
  for (const TDAExternalCall& c : info.externalCalls)
    if (c.target == Addr(reinterpret_cast<const void*>(&GetTickCount)) ||
        env.SymbolName(c.target) == "GetTickCount")
      found = true;
  EXPECT_TRUE(found) << text;
}

TEST(PellorDisAsmWin, ThrowEndsTheFunctionForOurBuild) {
  TDAProcessEnvironment env;
  TDARuntimeHelpers helpers = OwnRuntimeHelpers(env);
  ASSERT_FALSE(helpers.noReturn.empty());
  Cardinal entry = Addr(reinterpret_cast<const void*>(&ThrowRange));
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunctionEx(env, entry, info, helpers)) << info.errorText;
  // Every area that is not left by a jump or return ends with a call of a
  // non-returning routine: nothing after the throw was taken for code.
  Cardinal highest = 0;
  for (const TDACodeArea& a : info.areas) highest = std::max(highest, a.end);
  bool endsInNoReturnCall = false;
  for (const TDAExternalCall& c : info.externalCalls) {
    if (c.next != highest + 1) continue;
    for (Cardinal r : helpers.noReturn)
      if (c.target == r) endsInNoReturnCall = true;
  }
  EXPECT_TRUE(endsInNoReturnCall);
}

TEST(PellorDisAsmWin, UnreadableEntryAndUnreadablePointerCell) {
  TDAProcessEnvironment env;
  TFunctionInfo info;
  EXPECT_FALSE(AnalyzeFunction(env, 0x10, info));
  EXPECT_EQ(kDAErrorNotCommitted, info.errorCode);

  // call [0x10]: the pointer cell cannot be read.
  static const Byte code[] = {0xFF, 0x15, 0x10, 0x00, 0x00, 0x00};
  TDAInstruction in;
  EXPECT_FALSE(DecodeInstruction(env, Addr(code), in));
  EXPECT_TRUE(in.isCall);
  EXPECT_EQ(Addr(code) + 2, in.targetCellRef);
}

TEST(PellorDisAsmWin, ListingOfOwnFunctionMarksTheAddress) {
  TDAProcessEnvironment env;
  Cardinal entry = Addr(reinterpret_cast<const void*>(&Classify));
  TFunctionInfo info;
  String text;
  TDAInstruction first;
  ASSERT_TRUE(DecodeInstruction(env, entry, first));
  ASSERT_TRUE(DisassembleFunction(env, entry, text, first.next, info, true, 0,
                                  OwnRuntimeHelpers(env)));
  char head[16];
  std::snprintf(head, sizeof head, "%08x ", entry);
  EXPECT_EQ(0u, text.find(head)) << text;
  std::snprintf(head, sizeof head, "%08x >", first.next);
  EXPECT_NE(String::npos, text.find(head)) << text;
}

}  // namespace
