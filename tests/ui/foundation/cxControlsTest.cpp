// Platform flags and the desktop work-area routines.
#include <gtest/gtest.h>

#include <memory>

#include "Controls.h"
#include "cxControls.h"

namespace {

struct FlagsCase {
  const char* System;
  Integer Platform;
  Integer Major;
  Integer Minor;
  bool Win95X, WinNT, Win2KOrXP, WinXP, WinVista;
};

class PlatformFlagsTest : public testing::TestWithParam<FlagsCase> {};

TEST_P(PlatformFlagsTest, MatchTheVersion) {
  const FlagsCase& c = GetParam();
  TcxPlatformFlags f = cxGetPlatformFlags(c.Platform, c.Major, c.Minor);
  EXPECT_EQ(f.Win95X, c.Win95X);
  EXPECT_EQ(f.WinNT, c.WinNT);
  EXPECT_EQ(f.Win2KOrXP, c.Win2KOrXP);
  EXPECT_EQ(f.WinXP, c.WinXP);
  EXPECT_EQ(f.WinVista, c.WinVista);
}

// The XP flag holds for every NT from 5.1 on (6.0 and 10 included).
INSTANTIATE_TEST_SUITE_P(
    Versions, PlatformFlagsTest,
    testing::Values(FlagsCase{"Win32s", VER_PLATFORM_WIN32s_, 3, 10, true,
                              false, false, false, false},
                    FlagsCase{"Win98", VER_PLATFORM_WIN32_WINDOWS_, 4, 10, true,
                              false, false, false, false},
                    FlagsCase{"NT3.51", VER_PLATFORM_WIN32_NT_, 3, 51, false,
                              false, false, false, false},
                    FlagsCase{"NT4", VER_PLATFORM_WIN32_NT_, 4, 0, false, true,
                              false, false, false},
                    FlagsCase{"Win2000", VER_PLATFORM_WIN32_NT_, 5, 0, false,
                              true, true, false, false},
                    FlagsCase{"XP", VER_PLATFORM_WIN32_NT_, 5, 1, false, true,
                              true, true, false},
                    FlagsCase{"Vista", VER_PLATFORM_WIN32_NT_, 6, 0, false,
                              true, true, true, true},
                    FlagsCase{"Win10", VER_PLATFORM_WIN32_NT_, 10, 0, false,
                              true, true, true, true}),
    [](const testing::TestParamInfo<FlagsCase>& info) {
      String name = info.param.System;
      if (auto dot = name.find('.'); dot != String::npos) name.erase(dot, 1);
      return name;
    });

TEST(PlatformFlagsTest, StartUpSetsTheFlagsOfTheRunningSystem) {
  TcxPlatformFlags f =
      cxGetPlatformFlags(Win32Platform, Win32MajorVersion, Win32MinorVersion);
  EXPECT_EQ(IsWin95X, f.Win95X);
  EXPECT_EQ(IsWinNT, f.WinNT);
  EXPECT_EQ(IsWin2KOrXP, f.Win2KOrXP);
  EXPECT_EQ(IsWinXP, f.WinXP);
  EXPECT_EQ(IsWinVista, f.WinVista);
  // Every system the program runs on today is NT 5.1 or later.
  EXPECT_TRUE(IsWinXP);
}

TRect SystemWorkArea() {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TEST(DesktopWorkAreaTest, WithoutAMonitorIsTheWholeDesktopWorkArea) {
  EXPECT_EQ(GetMonitorWorkArea(nullptr), SystemWorkArea());
}

TEST(DesktopWorkAreaTest, IsTheWorkAreaOfTheMonitorAtThePoint) {
  TRect area = GetDesktopWorkArea(TPoint{10, 10});
  HMONITOR monitor = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoA(monitor, &info));
  EXPECT_EQ(area, (TRect{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                         info.rcWork.bottom}));
  // A point far off every monitor takes the nearest one's.
  EXPECT_EQ(GetDesktopWorkArea(TPoint{-100000, -100000}).Width(),
            GetMonitorWorkArea(MonitorFromPoint(POINT{-100000, -100000},
                                                MONITOR_DEFAULTTONEAREST))
                .Width());
}

struct MoveCase {
  const char* Name;
  // Offsets and size relative to the work area; a size of 0 means the
  // area's extent plus the given excess.
  Integer Left, Top, Width, Height;
  Integer ExpectedLeft, ExpectedTop;
};

class MakeVisibleOnDesktopTest : public testing::TestWithParam<MoveCase> {};

TEST_P(MakeVisibleOnDesktopTest, MovesTheRectangleIntoTheWorkArea) {
  const MoveCase& c = GetParam();
  const TRect area = GetDesktopWorkArea(TPoint{10, 10});
  ASSERT_GT(area.Width(), 200);
  ASSERT_GT(area.Height(), 200);
  // Negative sizes stand for the area's extent plus that many pixels.
  Integer w = c.Width > 0 ? c.Width : area.Width() - c.Width;
  Integer h = c.Height > 0 ? c.Height : area.Height() - c.Height;
  // Positive offsets count from the top-left, large ones from the far edge.
  auto at = [](Integer from, Integer to, Integer offset) {
    return offset >= 10000 ? to - (offset - 10000) : from + offset;
  };
  TRect r;
  r.Left = at(area.Left, area.Right, c.Left);
  r.Top = at(area.Top, area.Bottom, c.Top);
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  MakeVisibleOnDesktop(r, TPoint{10, 10});
  EXPECT_EQ(r.Width(), w);
  EXPECT_EQ(r.Height(), h);
  EXPECT_EQ(r.Left, at(area.Left, area.Right - w, c.ExpectedLeft));
  EXPECT_EQ(r.Top, at(area.Top, area.Bottom - h, c.ExpectedTop));
}

// ExpectedLeft/Top 10000 mean "flush with the far edge".
INSTANTIATE_TEST_SUITE_P(
    Cases, MakeVisibleOnDesktopTest,
    testing::Values(MoveCase{"Inside", 20, 30, 50, 40, 20, 30},
                    MoveCase{"PastRight", 10020, 30, 50, 40, 10000, 30},
                    MoveCase{"PastBottom", 20, 10010, 50, 40, 20, 10000},
                    MoveCase{"BeforeLeft", -30, 30, 50, 40, 0, 30},
                    MoveCase{"AboveTop", 20, -25, 50, 40, 20, 0},
                    MoveCase{"PastCorner", 10010, 10010, 50, 40, 10000, 10000},
                    MoveCase{"WiderThanArea", 40, 30, -100, 40, 0, 30},
                    MoveCase{"TallerThanArea", 20, 40, 50, -100, 20, 0}),
    [](const testing::TestParamInfo<MoveCase>& info) {
      return String(info.param.Name);
    });

class TPlainControl : public TControl {
 public:
  TPlainControl() : TControl(nullptr) {}
};

TEST(MakeVisibleOnDesktopTest, MovesAControlsBounds) {
  const TRect area = GetDesktopWorkArea(TPoint{10, 10});
  auto control = std::make_unique<TPlainControl>();
  control->SetBounds(area.Right - 20, area.Top + 5, 80, 30);
  MakeVisibleOnDesktop(control.get());
  EXPECT_EQ(control->BoundsRect(),
            (TRect{area.Right - 80, area.Top + 5, area.Right, area.Top + 35}));
}

}  // namespace
