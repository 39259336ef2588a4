// What the locale routines read from the system itself.
#include <gtest/gtest.h>

#include "cxClasses.h"

namespace {

TEST(LocaleInfoWinTest, ReadsTheRequestedLocale) {
  constexpr Cardinal kGerman = 0x0407;
  constexpr Cardinal kUSEnglish = 0x0409;
  EXPECT_EQ(cxGetLocaleInfo(kGerman, Platform::liSDecimal, "?"), ",");
  EXPECT_EQ(cxGetLocaleInfo(kGerman, Platform::liSDate, "?"), ".");
  EXPECT_EQ(cxGetLocaleInfo(kUSEnglish, Platform::liSDecimal, "?"), ".");
  EXPECT_EQ(cxGetLocaleInfo(kGerman, Platform::liSDayName1, "?"), "Montag");
  EXPECT_EQ(cxGetLocaleInfo(kGerman, 0xFFFF, "none"), "none");
}

TEST(ShellExecuteWinTest, TheShellIsInstalledAtStartUp) {
  TcxShellExecuteFunc shell = cxSetShellExecuteFunc(nullptr);
  cxSetShellExecuteFunc(shell);
  EXPECT_TRUE(static_cast<bool>(shell));
}

}  // namespace
