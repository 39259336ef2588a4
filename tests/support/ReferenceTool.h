// Differential tests compare with a reference tool of the build host
// (objdump, unzip, python3, ...). Where the tool is missing the test is
// skipped on a developer's machine, but fails where the environment
// variable CI is set: there the tools belong to the set-up, and a quiet
// skip would hide that the comparison never ran.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

inline bool RunningUnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0';
}

#ifndef _WIN32
#include <string>

// Whether the build host has a command of this name on its PATH.
inline bool HostHas(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1")
                         .c_str()) == 0;
}
#endif

// Ends the test: skipped, or failed under CI, with the reason given.
#define SKIP_UNLESS_CI(reason)                               \
  do {                                                       \
    if (RunningUnderCi()) FAIL() << "CI is set: " << reason; \
    GTEST_SKIP() << reason;                                  \
  } while (false)
