// The start-up rules: the tray switch and the single-instance mutex.
#include <gtest/gtest.h>
#include <windows.h>

#include "Startup.h"

namespace {

TEST(Startup, OnlyTheExactSwitchStartsInTheTray) {
  struct Case {
    std::vector<String> args;
    bool tray;
  };
  const Case cases[] = {
      {{"C:\\varnel.exe"}, false},
      {{"C:\\varnel.exe", "/t"}, true},
      {{"C:\\varnel.exe", "x", "/t", "/t"}, true},
      {{"C:\\varnel.exe", "/T"}, false},
      {{"C:\\varnel.exe", "/tray"}, false},
      {{"C:\\varnel.exe", "-t"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasTraySwitch(c.args), c.tray) << c.args.back();
  }
}

TEST(Startup, TheMutexTellsFirstFromLaterInstances) {
  const String name = "VarnelTest_" + std::to_string(::GetCurrentProcessId());
  DWORD error = 0;
  EXPECT_EQ(CheckInstance(name.c_str(), error), icFirst);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(CheckInstance(name.c_str(), error), icRunning);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST(Startup, AMutexThatCannotBeMadeIsNoOtherInstance) {
  // A namespace that does not exist: the system makes no mutex at all.
  DWORD error = 0;
  EXPECT_EQ(CheckInstance("NoSuchNamespace\\Tarvik_v1", error), icFailed);
  EXPECT_NE(error, 0u);
}

}  // namespace
