// Locale reading and comparison through the Win32 seam. Each test names the
// locale it reads, so the prefix's own locale does not matter.
#include <gtest/gtest.h>
#include <windows.h>

#include "Handles.h"
#include "Platform.h"
#include "SysUtils.h"

namespace {

constexpr Cardinal kEnglishUS = 0x0409;
constexpr Cardinal kGerman = 0x0407;

TEST(SysUtilsWin, EnglishLocaleSettings) {
  TFormatSettings fs;
  GetLocaleFormatSettings(kEnglishUS, fs);
  EXPECT_EQ(fs.DecimalSeparator, '.');
  EXPECT_EQ(fs.ThousandSeparator, ',');
  EXPECT_EQ(fs.DateSeparator, '/');
  EXPECT_EQ(fs.TimeSeparator, ':');
  EXPECT_EQ(fs.ShortDateFormat, "m/d/yyyy");
  EXPECT_EQ(fs.ShortTimeFormat, "h:mm AMPM");
  EXPECT_EQ(fs.LongTimeFormat, "h:mm:ss AMPM");
  EXPECT_EQ(fs.TimeAMString, "AM");
  EXPECT_EQ(fs.TimePMString, "PM");
  EXPECT_EQ(fs.CurrencyString, "$");
  EXPECT_EQ(fs.CurrencyFormat, 0);
  EXPECT_EQ(fs.CurrencyDecimals, 2);
  EXPECT_EQ(fs.ShortDayNames[0], "Sun");
  EXPECT_EQ(fs.LongDayNames[1], "Monday");
  EXPECT_EQ(fs.ShortMonthNames[0], "Jan");
  EXPECT_EQ(fs.LongMonthNames[11], "December");
  TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  EXPECT_EQ(DateTimeToStr(v, fs), "3/5/2024 2:07:09 PM");
  EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2024 2:07:09 PM", fs), v);
}

TEST(SysUtilsWin, GermanLocaleSettings) {
  TFormatSettings fs;
  GetLocaleFormatSettings(kGerman, fs);
  EXPECT_EQ(fs.DecimalSeparator, ',');
  EXPECT_EQ(fs.ThousandSeparator, '.');
  EXPECT_EQ(fs.DateSeparator, '.');
  // Windows says "dd.MM.yyyy", Wine "d.M.yyyy": either way the picture is
  // taken over with lower-case letters.
  char raw[80] = {};
  ASSERT_GT(GetLocaleInfoA(kGerman, LOCALE_SSHORTDATE, raw, sizeof raw), 0);
  EXPECT_EQ(fs.ShortDateFormat, LowerCase(raw));
  EXPECT_TRUE(fs.ShortDateFormat == "dd.mm.yyyy" ||
              fs.ShortDateFormat == "d.m.yyyy")
      << fs.ShortDateFormat;
  EXPECT_EQ(fs.LongTimeFormat, "hh:mm:ss");
  EXPECT_EQ(fs.ShortTimeFormat, "hh:mm");
  EXPECT_EQ(fs.LongDayNames[0], "Sonntag");
  EXPECT_EQ(fs.LongMonthNames[2], "M\xe4rz");  // code page 1252
  EXPECT_EQ(fs.CurrencyString, "\x80");        // the euro sign in 1252
  TDateTime v = EncodeDateTime(2024, 11, 25, 14, 7, 9, 0);
  EXPECT_EQ(DateTimeToStr(v, fs), "25.11.2024 14:07:09");
  EXPECT_EQ(FloatToStrF(-1234.5, ffNumber, 15, 2, fs), "-1.234,50");
  EXPECT_DOUBLE_EQ(StrToDateTime("25.11.2024 14:07:09", fs), v);
  EXPECT_EQ(StrToDate("5.3.2024", fs), EncodeDate(2024, 3, 5));
}

TEST(SysUtilsWin, GetFormatSettingsReadsTheUsersLocale) {
  struct TSettingsGuard {
    const TFormatSettings saved = FormatSettings;
    ~TSettingsGuard() { FormatSettings = saved; }
  } settings;
  FormatSettings.DecimalSeparator = '#';
  GetFormatSettings();
  TFormatSettings expected;
  GetLocaleFormatSettings(GetThreadLocale(), expected);
  EXPECT_EQ(FormatSettings.DecimalSeparator, expected.DecimalSeparator);
  EXPECT_EQ(FormatSettings.ShortDateFormat, expected.ShortDateFormat);
  EXPECT_EQ(SysLocale.DefaultLCID, GetThreadLocale());
}

TEST(SysUtilsWin, CompareStringIsLinguistic) {
  using Platform::CompareAnsiLocale;
  // Ordinal order puts 'B' (0x42) before 'a' (0x61); the locale does not.
  EXPECT_GT(CompareStr("a", "B"), 0);
  EXPECT_LT(CompareAnsiLocale(kEnglishUS, "a", "B", false), 0);
  EXPECT_EQ(CompareAnsiLocale(kEnglishUS, "abc", "ABC", true), 0);
  EXPECT_NE(CompareAnsiLocale(kEnglishUS, "abc", "ABC", false), 0);
  EXPECT_EQ(CompareAnsiLocale(kEnglishUS, "\xe9t\xe9", "\xc9T\xc9", true), 0);
  EXPECT_LT(CompareAnsiLocale(kEnglishUS, "\xe9", "f", false), 0);
  EXPECT_LT(CompareAnsiLocale(kEnglishUS, "abc", "abcd", false), 0);
  // Embedded NULs and lengths are respected.
  EXPECT_LT(CompareAnsiLocale(kEnglishUS, String("a\0b", 3), String("a\0c", 3),
                              false),
            0);
}

TEST(SysUtilsWin, SystemIdentityAndProcess) {
  EXPECT_EQ(Win32Platform, VER_PLATFORM_WIN32_NT);
  EXPECT_GE(Win32MajorVersion, 5);
  String exe = ParamStr(0);
  EXPECT_TRUE(SameText(ExtractFileExt(exe), ".exe")) << exe;
  EXPECT_TRUE(FileExists(exe));
  EXPECT_EQ(LoadResString(0x7FF0), "");
  EXPECT_EQ(MulDiv(10, 3, 4), 8);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(ExpandFileName("C:\\a\\..\\b\\.\\c.txt"), "C:\\b\\c.txt");
}

TEST(SysUtilsWin, SafeLoadLibraryKeepsTheControlWord) {
  const TModuleHandle h(static_cast<HMODULE>(
      Platform::SafeLoadLibrary("kernel32.dll", SEM_NOOPENFILEERRORBOX)));
  EXPECT_TRUE(h);
  EXPECT_EQ(Platform::SafeLoadLibrary("no-such-library-xyz.dll",
                                      SEM_NOOPENFILEERRORBOX),
            nullptr);
}

}  // namespace
