#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "ScopeGuard.h"

namespace {

// A Begin/End pair that counts its depth and records the order of calls.
class TBracketed {
 public:
  void Begin() {
    if (failBegin) throw std::runtime_error("begin");
    ++depth;
    log += "B";
  }
  void End() {
    --depth;
    log += "E";
    if (failEnd) throw std::runtime_error("end");
  }
  int depth = 0;
  bool failBegin = false;
  bool failEnd = false;
  std::string log;
};

TEST(ScopeGuardTest, RunsOnNormalExitAndOnException) {
  int runs = 0;
  {
    TScopeGuard g([&] { ++runs; });
    EXPECT_EQ(runs, 0);
  }
  EXPECT_EQ(runs, 1);
  try {
    TScopeGuard g([&] { ++runs; });
    throw std::runtime_error("work");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 2);
}

TEST(ScopeGuardTest, DismissedGuardDoesNothing) {
  int runs = 0;
  {
    TScopeGuard g([&] { ++runs; });
    EXPECT_TRUE(g.Active());
    g.Dismiss();
    EXPECT_FALSE(g.Active());
  }
  EXPECT_EQ(runs, 0);
}

TEST(ScopeGuardTest, ClosingExceptionPropagatesOnNormalExit) {
  TBracketed b;
  b.failEnd = true;
  try {
    auto g = MakeBracket(b, &TBracketed::Begin, &TBracketed::End);
    EXPECT_EQ(b.depth, 1);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "end");
    EXPECT_EQ(b.depth, 0);
    return;
  }
  FAIL() << "the failing End was not reported";
}

TEST(ScopeGuardTest, FirstExceptionWinsWhileUnwinding) {
  TBracketed b;
  b.failEnd = true;
  try {
    auto g = MakeBracket(&b, &TBracketed::Begin, &TBracketed::End);
    throw std::logic_error("work");
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "work");
  } catch (...) {
    FAIL() << "the closing call's exception replaced the first one";
  }
  EXPECT_EQ(b.depth, 0);
  EXPECT_EQ(b.log, "BE");
}

// A guard made while another exception is already in flight (inside a
// catch block) is not unwinding: its closing exception must still surface.
TEST(ScopeGuardTest, GuardInsideCatchBlockStillReportsItsOwnFailure) {
  TBracketed b;
  b.failEnd = true;
  bool reported = false;
  try {
    throw std::logic_error("outer");
  } catch (const std::logic_error&) {
    try {
      auto g = MakeBracket(b, &TBracketed::Begin, &TBracketed::End);
    } catch (const std::runtime_error&) {
      reported = true;
    }
  }
  EXPECT_TRUE(reported);
}

TEST(ScopeGuardTest, FailingBeginLeavesNothingToEnd) {
  TBracketed b;
  b.failBegin = true;
  EXPECT_THROW(
      { auto g = MakeBracket(b, &TBracketed::Begin, &TBracketed::End); },
      std::runtime_error);
  EXPECT_EQ(b.log, "");
}

TEST(ScopeGuardTest, NestedBracketsCloseInReverseOrder) {
  std::string log;
  {
    TScopeGuard outer([&] { log += "1"; });
    TScopeGuard inner([&] { log += "2"; });
  }
  EXPECT_EQ(log, "21");
}

TEST(ScopeGuardTest, OptionalGuardCoversOnlyWhenMade) {
  TBracketed b;
  for (bool take : {false, true}) {
    b.log.clear();
    {
      std::optional<
          TBracketScope<TBracketed, &TBracketed::Begin, &TBracketed::End>>
          g;
      if (take) g.emplace(&b);
    }
    EXPECT_EQ(b.log, take ? "BE" : "") << take;
    EXPECT_EQ(b.depth, 0);
  }
}

TEST(ScopeGuardTest, BracketScopeClosesOnException) {
  using TScope =
      TBracketScope<TBracketed, &TBracketed::Begin, &TBracketed::End>;
  TBracketed b;
  EXPECT_THROW(
      {
        TScope s(&b);
        EXPECT_EQ(b.depth, 1);
        throw std::runtime_error("work");
      },
      std::runtime_error);
  EXPECT_EQ(b.depth, 0);
  EXPECT_EQ(b.log, "BE");
}

TEST(ScopeGuardTest, RestoreOnExitPutsTheValueBack) {
  std::string path = "Form";
  int depth = 1;
  try {
    TRestoreOnExit keepPath(path);
    TRestoreOnExit nested(depth, 2);
    EXPECT_EQ(depth, 2);
    path = "Form.Items";
    throw std::runtime_error("read");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(path, "Form");
  EXPECT_EQ(depth, 1);
}

}  // namespace
