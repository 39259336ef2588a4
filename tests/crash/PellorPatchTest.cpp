#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "PellorPatch.h"
#include "PellorStrings.h"

namespace {

__attribute__((noinline)) int Original(int x) { return x + 1; }
__attribute__((noinline)) int Replacement(int x) { return x * 100; }
__attribute__((noinline)) int Other(int x) { return x - 1000; }
__attribute__((noinline)) int Callee(int x) { return x + 7; }
__attribute__((noinline)) int Caller(int x) { return Callee(x) * 2; }
__attribute__((noinline)) UINT WINAPI FakeOemCodePage() { return 4242; }

// Called through a volatile pointer, so that the compiler neither inlines
// nor folds the call the patch redirects.
int Call(int (*f)(int), int x) {
  int (*volatile p)(int) = f;
  return p(x);
}

class PellorPatchTest : public testing::Test {
 protected:
  void TearDown() override {
    UndoCodePatches();
    ClearCodePatches();
  }
};

TEST_F(PellorPatchTest, JumpIsPatchedAndUndone) {
  ASSERT_EQ(6, Call(&Original, 5));
  ASSERT_TRUE(PatchWithJump(reinterpret_cast<void*>(&Original),
                            reinterpret_cast<void*>(&Replacement)));
  EXPECT_EQ(500, Call(&Original, 5));
  ASSERT_EQ(1u, CodePatches().size());
  EXPECT_EQ(Byte(0xE9), Byte(CodePatches()[0].written[0]));
  UndoCodePatches();
  EXPECT_EQ(6, Call(&Original, 5));
}

TEST_F(PellorPatchTest, TwoPatchesOfOneAddressUndoToTheOriginal) {
  auto* at = reinterpret_cast<void*>(&Original);
  ASSERT_TRUE(PatchWithJump(at, reinterpret_cast<void*>(&Replacement)));
  ASSERT_TRUE(PatchWithJump(at, reinterpret_cast<void*>(&Other)));
  EXPECT_EQ(-995, Call(&Original, 5));
  UndoCodePatches();
  EXPECT_EQ(6, Call(&Original, 5));
}

TEST_F(PellorPatchTest, EqualBytesAreNoPatch) {
  Byte current[5];
  std::memcpy(current, reinterpret_cast<void*>(&Original), 5);
  EXPECT_FALSE(AddCodePatch(reinterpret_cast<void*>(&Original), current, 5));
  EXPECT_TRUE(CodePatches().empty());
  EXPECT_FALSE(AddCodePatch(
      reinterpret_cast<void*>(static_cast<UINT_PTR>(0x10)), current, 5));
  EXPECT_TRUE(CodePatches().empty());
}

// Writes code the way another patcher would: not on our undo list.
void ForeignWrite(void* at, const void* bytes, std::size_t length) {
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(at, length, PAGE_EXECUTE_READWRITE, &old));
  std::memcpy(at, bytes, length);
  VirtualProtect(at, length, old, &old);
  FlushInstructionCache(GetCurrentProcess(), at, length);
}

TEST_F(PellorPatchTest, UndoLeavesWhatSomethingElsePatched) {
  auto* at = reinterpret_cast<Byte*>(&Original);
  ASSERT_TRUE(PatchWithJump(at, reinterpret_cast<void*>(&Replacement)));
  const String original = CodePatches()[0].previous;
  Byte jump[5] = {0xE9};
  const auto displacement = static_cast<Cardinal>(
      reinterpret_cast<UINT_PTR>(&Other) - reinterpret_cast<UINT_PTR>(at) - 5);
  std::memcpy(jump + 1, &displacement, 4);
  ForeignWrite(at, jump, 5);
  UndoCodePatches();
  EXPECT_EQ(-995, Call(&Original, 5));
  ForeignWrite(at, original.data(), original.size());
  EXPECT_EQ(6, Call(&Original, 5));
}

TEST_F(PellorPatchTest, ImportStubsHaveTheirTargetPatched) {
  auto* stub = static_cast<Byte*>(VirtualAlloc(
      nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  ASSERT_NE(nullptr, stub);
  void** slot = reinterpret_cast<void**>(stub + 16);
  *slot = reinterpret_cast<void*>(&Original);
  stub[0] = 0xFF;
  stub[1] = 0x25;
  std::memcpy(stub + 2, &slot, 4);
  Byte before[6];
  std::memcpy(before, stub, 6);
  ASSERT_TRUE(PatchWithJump(stub, reinterpret_cast<void*>(&Replacement)));
  EXPECT_EQ(0, std::memcmp(before, stub, 6));
  EXPECT_EQ(500, Call(&Original, 5));
  EXPECT_EQ(500, Call(reinterpret_cast<int (*)(int)>(stub), 5));
  UndoCodePatches();
  EXPECT_EQ(6, Call(&Original, 5));
  VirtualFree(stub, 0, MEM_RELEASE);
}

int calls = 0;
__attribute__((noinline)) void Count() { ++calls; }

TEST_F(PellorPatchTest, CallIsWrittenAtAnInstruction) {
  auto* code = static_cast<Byte*>(VirtualAlloc(
      nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  ASSERT_NE(nullptr, code);
  std::memset(code, 0x90, 5);
  code[5] = 0xC3;
  auto run = reinterpret_cast<void (*)()>(code);
  calls = 0;
  run();
  EXPECT_EQ(0, calls);
  ASSERT_TRUE(PatchWithCall(code, reinterpret_cast<void*>(&Count)));
  run();
  EXPECT_EQ(1, calls);
  UndoCodePatches();
  run();
  EXPECT_EQ(1, calls);
  VirtualFree(code, 0, MEM_RELEASE);
}

TEST_F(PellorPatchTest, CallInAFunctionIsRedirectedAndRestored) {
  ASSERT_EQ(24, Call(&Caller, 5));
  EXPECT_FALSE(RedirectCallInFunction(reinterpret_cast<void*>(&Caller),
                                      reinterpret_cast<void*>(&Other),
                                      reinterpret_cast<void*>(&Replacement)));
  ASSERT_TRUE(RedirectCallInFunction(reinterpret_cast<void*>(&Caller),
                                     reinterpret_cast<void*>(&Callee),
                                     reinterpret_cast<void*>(&Replacement)));
  EXPECT_EQ(1000, Call(&Caller, 5));
  EXPECT_EQ(12, Call(&Callee, 5));
  UndoCodePatches();
  EXPECT_EQ(24, Call(&Caller, 5));
}

TEST_F(PellorPatchTest, ImportEntryOfTheProgramIsPatchedAndUndone) {
  const UINT real = GetOEMCP();
  ASSERT_NE(4242u, real);
  // Through the import table, as the program's own calls go.
  void* imported = reinterpret_cast<void*>(&GetOEMCP);
  PatchImportEntry(GetModuleHandleA(nullptr), imported,
                   reinterpret_cast<void*>(&FakeOemCodePage));
  EXPECT_EQ(4242u, GetOEMCP());
  PatchImportEntry(GetModuleHandleA(nullptr),
                   reinterpret_cast<void*>(&FakeOemCodePage), imported);
  EXPECT_EQ(real, GetOEMCP());
}

TEST_F(PellorPatchTest, ApiIsPatchedEverywhereAndBack) {
  const UINT real = GetOEMCP();
  void* previous = nullptr;
  EXPECT_FALSE(PatchApiEverywhere("kernel32.dll", "GetOEMCP", nullptr,
                                  reinterpret_cast<void*>(&FakeOemCodePage),
                                  previous));
  ASSERT_NE(nullptr, previous);
  EXPECT_EQ(4242u, GetOEMCP());
  // Set already: nothing happens.
  void* again = previous;
  EXPECT_FALSE(PatchApiEverywhere("kernel32.dll", "GetOEMCP", nullptr,
                                  reinterpret_cast<void*>(&Other), again));
  EXPECT_EQ(4242u, GetOEMCP());
  UnpatchApiEverywhere(nullptr, previous,
                       reinterpret_cast<void*>(&FakeOemCodePage));
  EXPECT_EQ(real, GetOEMCP());
}

TEST_F(PellorPatchTest, LoadedModulesIncludeTheProgramAndKernel) {
  std::vector<TLoadedModule> modules;
  ListLoadedModules(modules);
  auto has = [&](const char* name) {
    return std::any_of(modules.begin(), modules.end(),
                       [&](const TLoadedModule& m) {
                         return SameTextFolded(m.fileName, name);
                       });
  };
  EXPECT_TRUE(has("crash_tests.exe"));
  EXPECT_TRUE(has("kernel32.dll"));
  EXPECT_FALSE(has("no_such_module.dll"));
}

}  // namespace
