#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "PellorStrings.h"
#include "PellorThreads.h"

namespace {

String Hex(DWORD id) { return CardinalToHexPadded(id, 1, '0'); }

String Display(DWORD id, bool showHidden = false) {
  const void* creator = nullptr;
  DWORD creatorThread = 0;
  String text;
  ThreadDisplayName(id, showHidden, creator, text, creatorThread);
  return text;
}

bool Registered(DWORD id) {
  for (ThreadInfoEntry* e = ThreadRegistry()->head; e; e = e->next)
    if (e->threadId == id) return true;
  return false;
}

// A thread that waits until the test lets it end.
class TParkedThread {
 public:
  TParkedThread() {
    go_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &Run, go_, 0, &id_);
  }
  ~TParkedThread() {
    Finish();
    CloseHandle(go_);
  }
  void Finish() {
    if (!thread_) return;
    SetEvent(go_);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return thread_; }

 private:
  static DWORD WINAPI Run(void* go) {
    WaitForSingleObject(go, 10000);
    return 0;
  }
  HANDLE go_, thread_;
  DWORD id_ = 0;
};

class PellorThreadsTest : public testing::Test {
 protected:
  void SetUp() override { OpenThreadRegistry(); }
  void TearDown() override { CloseThreadRegistry(); }
};

TEST_F(PellorThreadsTest, TheMainThreadIsRegistered) {
  std::vector<DWORD> ids;
  ListProcessThreads(ids);
  ASSERT_FALSE(ids.empty());
  // The tests run on the program's first thread.
  EXPECT_EQ(GetCurrentThreadId(), ids.front());
  EXPECT_EQ(ids.front(), LibraryMainThreadId());
  EXPECT_EQ("main thread (" + Hex(GetCurrentThreadId()) + ")",
            Display(GetCurrentThreadId()));
}

TEST_F(PellorThreadsTest, DisplayNames) {
  TParkedThread worker;
  const String hex = Hex(worker.Id());
  EXPECT_EQ("thread " + hex, Display(worker.Id()));
  SetThreadName(worker.Id(), "worker");
  EXPECT_EQ("worker (" + hex + ")", Display(worker.Id()));
  static const int creatorCode = 0;
  SetThreadEntry(worker.Id(), worker.Handle(), "", GetCurrentThreadId(),
                 &creatorCode, "TMyThread");
  // The name stays when only the creator is given.
  EXPECT_EQ("worker (" + hex + ")", Display(worker.Id()));
  SetThreadEntry(worker.Id(), nullptr, "", 0, nullptr, "");
  EXPECT_FALSE(Registered(worker.Id()));
  SetThreadEntry(worker.Id(), worker.Handle(), "", GetCurrentThreadId(),
                 &creatorCode, "TMyThread");
  EXPECT_EQ("thread " + hex + " (TMyThread)", Display(worker.Id()));
  SetThreadName(worker.Id(), "-");
  EXPECT_EQ("", Display(worker.Id()));
  EXPECT_EQ("thread " + hex + " (TMyThread)", Display(worker.Id(), true));
}

TEST_F(PellorThreadsTest, RenamingKeepsCreatorAndClass) {
  TParkedThread worker;
  static const int creatorCode = 0;
  SetThreadEntry(worker.Id(), worker.Handle(), "first", 77, &creatorCode,
                 "TJob");
  SetThreadName(worker.Id(), "second");
  const void* creator = nullptr;
  DWORD creatorThread = 0;
  String text;
  ThreadDisplayName(worker.Id(), false, creator, text, creatorThread);
  EXPECT_EQ("second (" + Hex(worker.Id()) + ")", text);
  EXPECT_EQ(static_cast<const void*>(&creatorCode), creator);
  EXPECT_EQ(77u, creatorThread);
  SetThreadName(worker.Id(), "-");
  ThreadDisplayName(worker.Id(), true, creator, text, creatorThread);
  EXPECT_EQ("thread " + Hex(worker.Id()) + " (TJob)", text);
}

TEST_F(PellorThreadsTest, ThreadsThatCannotBeOpenedAreNotAdded) {
  const DWORD noThread = 0xFFFFFFF0u;
  SetThreadName(noThread, "ghost");
  EXPECT_FALSE(Registered(noThread));
  EXPECT_EQ("thread " + Hex(noThread), Display(noThread));
}

TEST_F(PellorThreadsTest, EndedThreadsLeaveAtTheNextChange) {
  TParkedThread worker;
  SetThreadName(worker.Id(), "short-lived");
  ASSERT_TRUE(Registered(worker.Id()));
  const DWORD id = worker.Id();
  worker.Finish();
  EXPECT_TRUE(Registered(id));
  TParkedThread other;
  SetThreadName(other.Id(), "other");
  EXPECT_FALSE(Registered(id));
  SetThreadName(other.Id(), "");
  SetThreadEntry(other.Id(), nullptr, "", 0, nullptr, "");
}

TEST_F(PellorThreadsTest, ListsAndOpensThreads) {
  TParkedThread worker;
  std::vector<DWORD> ids;
  ListProcessThreads(ids);
  EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), worker.Id()));
  EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), GetCurrentThreadId()));
  HANDLE h = OpenThreadById(worker.Id(), SYNCHRONIZE);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(h, 0));
  CloseHandle(h);
  EXPECT_EQ(nullptr, OpenThreadById(0xFFFFFFF0u, SYNCHRONIZE));
}

TEST_F(PellorThreadsTest, ASecondModuleSharesTheRegistry) {
  HMODULE module = LoadLibraryA("crash_test_module.dll");
  ASSERT_NE(nullptr, module);
  auto get = [module](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
  };
  auto open = reinterpret_cast<void (*)()>(get("CtmOpenRegistry"));
  auto close = reinterpret_cast<void (*)()>(get("CtmCloseRegistry"));
  auto users = reinterpret_cast<LONG (*)()>(get("CtmRegistryUsers"));
  auto mainId = reinterpret_cast<DWORD (*)()>(get("CtmMainThreadId"));
  auto name =
      reinterpret_cast<void (*)(DWORD, const char*)>(get("CtmSetThreadName"));
  auto display =
      reinterpret_cast<int (*)(DWORD, char*, int)>(get("CtmThreadDisplayName"));
  ASSERT_TRUE(open && close && users && mainId && name && display);
  const LONG before = ThreadRegistry()->refCount;
  open();
  EXPECT_EQ(before + 1, ThreadRegistry()->refCount);
  EXPECT_EQ(before + 1, users());
  EXPECT_EQ(LibraryMainThreadId(), mainId());

  TParkedThread worker;
  SetThreadName(worker.Id(), "named here");
  char text[100] = {};
  display(worker.Id(), text, sizeof text);
  EXPECT_EQ("named here (" + Hex(worker.Id()) + ")", String(text));
  name(worker.Id(), "named there");
  EXPECT_EQ("named there (" + Hex(worker.Id()) + ")", Display(worker.Id()));
  SetThreadEntry(worker.Id(), nullptr, "", 0, nullptr, "");

  close();
  EXPECT_EQ(before, ThreadRegistry()->refCount);
  FreeLibrary(module);
}

}  // namespace
