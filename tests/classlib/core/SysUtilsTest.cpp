#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>

#include "SysConst.h"
#include "SysUtils.h"

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

namespace {

// Every test below pins its settings: US English, or a German variant.
TFormatSettings Us() { return DefaultFormatSettings(); }

TFormatSettings German() {
  TFormatSettings fs = DefaultFormatSettings();
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  fs.DateSeparator = '.';
  fs.ShortDateFormat = "dd.mm.yyyy";
  fs.LongTimeFormat = "hh:mm:ss";
  fs.ShortTimeFormat = "hh:mm";
  fs.CurrencyString = "EUR";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  return fs;
}

// Restores the global settings after a test that changes them.
class SysUtilsGlobalSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = Us();
  }
  void TearDown() override { FormatSettings = saved_; }
  TFormatSettings saved_;
};

String ConvertErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "<no EConvertError>";
}

// ---------------------------------------------------------------------------
// Format

TEST(SysUtilsFormat, Specifiers) {
  const TFormatSettings us = Us();
  String s = "abc";
  struct Case {
    String got;
    const char* expected;
  } cases[] = {
      {Format("%d|%5d|%-5d|%.3d|%.3d", {42, 42, 42, 7, -7}, us),
       "42|   42|42   |007|-007"},
      {Format("%d", {Int64(-9000000000)}, us), "-9000000000"},
      {Format("%u", {-1}, us), "4294967295"},
      {Format("%x|%X|%.4x|%x", {255, 255, 10, -1}, us), "FF|FF|000A|FFFFFFFF"},
      // long long is always a 64-bit argument (Int64 is long on LP64 hosts,
      // which the argument list narrows when the value fits).
      {Format("%x", {-1LL}, us), "FFFFFFFFFFFFFFFF"},
      {Format("%s|%5s|%-5s|%.2s", {s, s, s, s}, us), "abc|  abc|abc  |ab"},
      {Format("%s%s%s", {'c', "pc", String("str")}, us), "cpcstr"},
      {Format("%s", {WideString(u"w\u00e9\u20ac\u4e00")}, us), "w\xe9\x80?"},
      {Format("%f|%.0f|%.3f", {1.5, 2.5, -0.0005}, us), "1.50|3|-0.001"},
      {Format("%n|%.1n", {1234567.891, -1234.56}, us), "1,234,567.89|-1,234.6"},
      {Format("%m|%m", {1234.5, -1234.5}, us), "$1,234.50|($1,234.50)"},
      {Format("%e|%.3e", {1234.5, -0.00012345}, us),
       "1.23450000000000E+003|-1.23E-004"},
      {Format("%g|%g|%.3g|%g", {0.1, 1e20, 1234.5, 1e-5}, us),
       "0.1|1E020|1.23E003|1E-005"},
      {Format("%f", {Currency::FromScaled(12345)}, us), "1.23"},
      {Format("%2:s %0:s %s", {"a", "b", "c"}, us), "c a b"},
      {Format("%-*d|%*.*f", {4, 7, 6, 1, 3.14159}, us), "7   |   3.1"},
      {Format("100%% %s", {"sure"}, us), "100% sure"},
      {Format("%D %S %X", {1, "x", 31}, us), "1 x 1F"},
      {Format("%f", {1.5}, German()), "1,50"},
      {Format("%p", {reinterpret_cast<const void*>(0x1234)}, us)
           .substr(sizeof(void*) * 2 - 4),
       "1234"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(SysUtilsFormat, ErrorsNameTheFormat) {
  EXPECT_EQ(ConvertErrorOf([] { Format("%d", {1.5}); }),
            "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] { Format("%f", {1}); }),
            "Format '%f' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] { Format("%s", {true}); }),
            "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] { Format("%k", {1}); }),
            "Format '%k' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] { Format("abc %", {1}); }),
            "Format 'abc %' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] {
              Format("%*d", {"x", 1});
            }),
            "Format '%*d' invalid or incompatible with argument");
  EXPECT_EQ(ConvertErrorOf([] { Format("%d %d", {1}); }),
            "No argument for format '%d %d'");
  EXPECT_EQ(ConvertErrorOf([] { Format("%5:d", {1}); }),
            "No argument for format '%5:d'");
}

TEST(SysUtilsFormat, FormatBufStopsAtTheBuffer) {
  char buf[4] = {'x', 'x', 'x', 'x'};
  const char* fmt = "%d-%d";
  EXPECT_EQ(FormatBuf(buf, 3, fmt, 5, {12, 34}), 3u);
  EXPECT_EQ(String(buf, 4), "12-x");
}

// ---------------------------------------------------------------------------
// Integers

TEST(SysUtilsIntegers, TryStrToIntAcceptsWhatTheClassLibraryAccepts) {
  struct Case {
    const char* text;
    bool ok;
    Integer value;
  } cases[] = {
      {"0", true, 0},
      {"  12", true, 12},
      {"+7", true, 7},
      {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"$FF", true, 255},
      {"0x1f", true, 31},
      {"x10", true, 16},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},
      {"$100000000", false, 0},
      {"12 ", false, 0},
      {"1 2", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"1.0", false, 0},
      {"\t5", false, 0},
  };
  for (const auto& c : cases) {
    Integer v = 12345;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
    if (!c.ok) {
      EXPECT_EQ(v, 12345) << c.text << " changed the output";
    }
  }
}

TEST(SysUtilsIntegers, Int64RangeAndErrors) {
  Int64 v;
  EXPECT_TRUE(TryStrToInt64("-9223372036854775808", v));
  EXPECT_EQ(v, INT64_MIN);
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", v));
  EXPECT_TRUE(TryStrToInt64("$FFFFFFFFFFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_EQ(StrToInt64("  4294967296"), 4294967296LL);
  EXPECT_EQ(ConvertErrorOf([] { StrToInt("12a"); }),
            "'12a' is not a valid integer value");
  EXPECT_EQ(StrToIntDef("zz", -3), -3);
  Integer iv, code;
  Val("12a", iv, code);
  EXPECT_EQ(code, 3);
  Val(" 99", iv, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(iv, 99);
}

TEST(SysUtilsIntegers, ToText) {
  EXPECT_EQ(IntToStr(-17), "-17");
  EXPECT_EQ(IntToStr(Int64(1) << 40), "1099511627776");
  EXPECT_EQ(IntToStr(4000000000u), "4000000000");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0xFFFFFFFEu, 2), "FFFFFFFE");
  EXPECT_EQ(IntToHex(static_cast<unsigned short>(10), 2), "0A");
}

// ---------------------------------------------------------------------------
// Floating point

TEST(SysUtilsFloat, FloatToStrHasExactDigits) {
  const TFormatSettings us = Us();
  struct Case {
    Extended value;
    const char* expected;
  } cases[] = {
      {0.1, "0.1"},
      {0, "0"},
      {-1.5, "-1.5"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {123456789012345678.0, "1.23456789012346E17"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.1 + 0.2, "0.3"},
      {9.9999999999999999e22, "1E23"},
      {INFINITY, "INF"},
      {-INFINITY, "-INF"},
      {NAN, "NAN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStr(c.value, us), c.expected) << (double)c.value;
  }
  EXPECT_EQ(FloatToStr(-1234.5, German()), "-1234,5");
}

TEST(SysUtilsFloat, FloatToStrFFormats) {
  const TFormatSettings us = Us();
  TFormatSettings de = German();
  struct Case {
    String got;
    const char* expected;
  } cases[] = {
      {FloatToStrF(1234.5678, ffGeneral, 6, 0, us), "1234.57"},
      {FloatToStrF(1234.5678, ffGeneral, 3, 2, us), "1.23E03"},
      {FloatToStrF(1234.5678, ffExponent, 4, 2, us), "1.235E+03"},
      {FloatToStrF(0, ffExponent, 3, 0, us), "0.00E+0"},
      {FloatToStrF(-0.00012, ffExponent, 2, 1, us), "-1.2E-4"},
      {FloatToStrF(1234.5678, ffFixed, 15, 2, us), "1234.57"},
      {FloatToStrF(0.125, ffFixed, 15, 2, us), "0.13"},
      {FloatToStrF(-0.125, ffFixed, 15, 2, us), "-0.13"},
      {FloatToStrF(-0.001, ffFixed, 15, 2, us), "0.00"},
      {FloatToStrF(99.996, ffFixed, 15, 2, us), "100.00"},
      {FloatToStrF(1e20, ffFixed, 15, 2, us), "1E20"},
      {FloatToStrF(1234567.891, ffNumber, 15, 2, us), "1,234,567.89"},
      {FloatToStrF(-999.5, ffNumber, 15, 0, us), "-1,000"},
      {FloatToStrF(1234.5, ffCurrency, 15, 2, us), "$1,234.50"},
      {FloatToStrF(-1234.5, ffCurrency, 15, 2, us), "($1,234.50)"},
      {FloatToStrF(1234.5, ffCurrency, 15, 2, de), "1.234,50 EUR"},
      {FloatToStrF(-1234.5, ffCurrency, 15, 2, de), "-1.234,50 EUR"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(SysUtilsFloat, NegativeCurrencyFormats) {
  TFormatSettings fs = Us();
  fs.CurrencyString = "$";
  const char* expected[] = {"($1.00)", "-$1.00",  "$-1.00",   "$1.00-",
                            "(1.00$)", "-1.00$",  "1.00-$",   "1.00$-",
                            "-1.00 $", "-$ 1.00", "1.00 $-",  "$ 1.00-",
                            "$ -1.00", "1.00- $", "($ 1.00)", "(1.00 $)"};
  for (int i = 0; i < 16; ++i) {
    fs.NegCurrFormat = static_cast<Byte>(i);
    EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, fs), expected[i]) << i;
  }
  const char* positive[] = {"$1.00", "1.00$", "$ 1.00", "1.00 $"};
  for (int i = 0; i < 4; ++i) {
    fs.CurrencyFormat = static_cast<Byte>(i);
    EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, fs), positive[i]) << i;
  }
}

TEST(SysUtilsFloat, FormatFloatPictures) {
  const TFormatSettings us = Us();
  struct Case {
    const char* format;
    Extended value;
    const char* expected;
  } cases[] = {
      {"0.00", 1.005, "1.00"},  // 1.005 is 1.00499999... as a double
      {"0.00", 0.125, "0.13"},
      {"0.00", -0.125, "-0.13"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", -1234.5, "-1,235"},
      {"#.##", 1, "1"},
      {"#.##", 0, ""},
      {"0.##", 1.5, "1.5"},
      {"#.###", 0.5, ".5"},
      {"000", 7, "007"},
      {"0", 0.4, "0"},
      {"0.0", -0.04, "0.0"},
      {"$#,##0.00;($#,##0.00)", -5, "($5.00)"},
      {"0.00;;'zero'", 0.001, "zero"},
      {"0.00;;'zero'", -0.001, "zero"},
      {"0.00;", -2, "-2.00"},
      {"'Total: '0.0' kg'", 12.34, "Total: 12.3 kg"},
      {"\"a;b\"0", 5, "a;b5"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00E-00", 0.0012345, "1.23E-03"},
      {"##0.0E+0", 12345, "123.5E+2"},
      {"0.###############", 0.1, "0.1"},
      {"", 2.5, "2.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat(c.format, c.value, us), c.expected)
        << c.format << " " << (double)c.value;
  }
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, German()), "1.234,50");
}

TEST(SysUtilsFloat, CurrencyIsExact) {
  const TFormatSettings us = Us();
  Currency c = Currency::FromScaled(INT64_MAX);
  EXPECT_EQ(CurrToStr(c, us), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(-15000), us), "-1.5");
  EXPECT_EQ(FormatCurr("#,##0.0000", c, us), "922,337,203,685,477.5807");
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(12345), ffCurrency, 2, us),
            "$1.23");
  Currency v;
  ASSERT_TRUE(TryStrToCurr("-922337203685477.5808", v, us));
  EXPECT_EQ(v.Value, INT64_MIN);
  EXPECT_FALSE(TryStrToCurr("922337203685477.5808", v, us));
  ASSERT_TRUE(TryStrToCurr("0.00005", v, us));
  EXPECT_EQ(v.Value, 0);  // half to even
  ASSERT_TRUE(TryStrToCurr("0.00015", v, us));
  EXPECT_EQ(v.Value, 2);
  EXPECT_EQ(DoubleToCurr(1.23456).Value, 12346);
  EXPECT_EQ(DoubleToCurr(-1.23456).Value, -12346);
}

TEST(SysUtilsFloat, TextToFloat) {
  const TFormatSettings us = Us();
  const TFormatSettings de = German();
  struct Case {
    const char* text;
    bool german;
    bool ok;
    double value;
  } cases[] = {
      {"1.5", false, true, 1.5},    {" -2.25 ", false, true, -2.25},
      {"1e3", false, true, 1000},   {"1.5E-2", false, true, 0.015},
      {".5", false, true, 0.5},     {"5.", false, true, 5},
      {"1,5", true, true, 1.5},     {"1.5", true, false, 0},
      {"1,000.5", false, false, 0}, {"", false, false, 0},
      {".", false, false, 0},       {"1e", false, false, 0},
      {"1e400", false, false, 0},   {"abc", false, false, 0},
      {"0.1", false, true, 0.1},
  };
  for (const auto& c : cases) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v, c.german ? de : us), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_EQ(ConvertErrorOf([&] { StrToFloat("x1", us); }),
            "'x1' is not a valid floating point value");
}

TEST(SysUtilsFloat, RoundIsHalfToEven) {
  struct Case {
    Extended value;
    Int64 expected;
  } cases[] = {{0.5, 0},
               {1.5, 2},
               {2.5, 2},
               {3.5, 4},
               {-0.5, 0},
               {-1.5, -2},
               {-2.5, -2},
               {2.4, 2},
               {2.6, 3},
               {-2.6, -3},
               {1e15 + 0.5, 1000000000000000}};
  for (const auto& c : cases)
    EXPECT_EQ(Round(c.value), c.expected) << (double)c.value;
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_DOUBLE_EQ(static_cast<double>(Frac(-2.75)), -0.75);
  EXPECT_DOUBLE_EQ(static_cast<double>(Int(-2.75)), -2);
  EXPECT_THROW(Round(1e30), EInvalidOp);
  EXPECT_THROW(Trunc(NAN), EInvalidOp);
}

// ---------------------------------------------------------------------------
// Dates and times

TEST(SysUtilsDates, EncodeAndDecodeAroundTheEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2001, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  // Before the epoch the fraction still counts forward as the time.
  TDateTime v = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  EXPECT_DOUBLE_EQ(v, -1.25);
  Word y, m, d, h, n, s, z;
  DecodeDateTime(-1.25, y, m, d, h, n, s, z);
  EXPECT_EQ(std::vector<Word>({y, m, d, h, n, s, z}),
            std::vector<Word>({1899, 12, 29, 6, 0, 0, 0}));
  DecodeDateTime(EncodeDateTime(2024, 3, 1, 23, 59, 59, 999), y, m, d, h, n, s,
                 z);
  EXPECT_EQ(std::vector<Word>({y, m, d, h, n, s, z}),
            std::vector<Word>({2024, 3, 1, 23, 59, 59, 999}));
}

TEST(SysUtilsDates, MillisecondRoundingCarriesIntoTheNextDay) {
  Word y, m, d, h, n, s, z;
  DecodeDateTime(1.0 - 1e-10, y, m, d, h, n, s, z);
  EXPECT_EQ(std::vector<Word>({y, m, d, h, n, s, z}),
            std::vector<Word>({1899, 12, 31, 0, 0, 0, 0}));
}

TEST(SysUtilsDates, CalendarHelpers) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(MonthDays(true, 2), 29);
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 9)), 1);    // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6);  // Friday
  EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
  EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15), -15), EncodeDate(2022, 12, 15));
  EXPECT_DOUBLE_EQ(IncMonth(EncodeDateTime(2024, 1, 31, 12, 0, 0, 0)),
                   EncodeDateTime(2024, 2, 29, 12, 0, 0, 0));
}

TEST(SysUtilsDates, FormatDateTimeSpecifiers) {
  const TFormatSettings us = Us();
  TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  struct Case {
    const char* format;
    const char* expected;
  } cases[] = {
      {"d dd ddd dddd", "5 05 Tue Tuesday"},
      {"m mm mmm mmmm", "3 03 Mar March"},
      {"yy yyyy y", "24 2024 24"},
      {"h:n:s.z", "14:7:9.45"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
      {"hh:mm", "14:07"},       // m after h is minutes
      {"h 'h' mm", "14 h 07"},  // quoted text does not end the hour
      {"h:mm am/pm", "2:07 pm"},
      {"h:mm AM/PM", "2:07 PM"},
      {"h:mm a/p", "2:07 p"},
      {"hh:mm ampm", "02:07 PM"},
      {"ddddd", "3/5/2024"},
      {"dddddd", "Tuesday, March 5, 2024"},
      {"c", "3/5/2024 2:07:09 PM"},
      {"t|tt", "2:07 PM|2:07:09 PM"},
      {"yyyy/mm/dd", "2024/03/05"},
      {"\"quoted: d\" d", "quoted: d 5"},
      {"e ee g", "2024 2024 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(c.format, v, us), c.expected) << c.format;
  }
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), us), "3/5/2024");
  EXPECT_EQ(FormatDateTime("h:mm am/pm", EncodeTime(0, 5, 0, 0), us),
            "12:05 am");
  EXPECT_EQ(FormatDateTime("ddddd", v, German()), "05.03.2024");
  EXPECT_EQ(DateTimeToStr(v, German()), "05.03.2024 14:07:09");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25, us), "1899-12-29 06:00");
}

TEST(SysUtilsDates, SelfReferentialFormatsDoNotRecurseForever) {
  TFormatSettings fs = Us();
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  EXPECT_NO_THROW(FormatDateTime("c", 1.5, fs));
}

TEST(SysUtilsDates, StrToDateFollowsTheShortDateOrder) {
  const TFormatSettings us = Us();
  const TFormatSettings de = German();
  TFormatSettings ymd = Us();
  ymd.ShortDateFormat = "yyyy/mm/dd";
  TDateTime v;
  ASSERT_TRUE(TryStrToDate("3/5/2024", v, us));
  EXPECT_EQ(v, EncodeDate(2024, 3, 5));
  ASSERT_TRUE(TryStrToDate(" 05.03.2024 ", v, de));
  EXPECT_EQ(v, EncodeDate(2024, 3, 5));
  ASSERT_TRUE(TryStrToDate("2024/3/5", v, ymd));
  EXPECT_EQ(v, EncodeDate(2024, 3, 5));
  Word year = Platform::LocalTime().wYear;
  ASSERT_TRUE(TryStrToDate("12/24", v, us));
  EXPECT_EQ(v, EncodeDate(year, 12, 24));
  for (const char* bad : {"2/30/2024", "3/5", "3-5-2024", "3/5/2024x", "",
                          "13/1/2024", "3/5/20245", "3//2024"}) {
    if (String(bad) == "3/5") continue;  // valid: this year
    EXPECT_FALSE(TryStrToDate(bad, v, us)) << bad;
  }
  EXPECT_EQ(ConvertErrorOf([&] { StrToDate("31/12/2024", us); }),
            "'31/12/2024' is not a valid date");
}

TEST(SysUtilsDates, TwoDigitYearsUseTheCenturyWindow) {
  TFormatSettings fs = Us();
  int now = Platform::LocalTime().wYear;
  TDateTime v;
  Word y, m, d;
  for (int window : {0, 50, 20}) {
    fs.TwoDigitYearCenturyWindow = static_cast<Word>(window);
    for (int yy : {0, 30, 49, 50, 99}) {
      ASSERT_TRUE(TryStrToDate(Format("1/1/%.2d", {yy}), v, fs));
      DecodeDate(v, y, m, d);
      int expected;
      if (window == 0) {
        expected = now / 100 * 100 + yy;
      } else {
        int base = now - window;
        expected = base / 100 * 100 + yy;
        if (expected < base) expected += 100;
      }
      EXPECT_EQ(y, expected) << "window " << window << " year " << yy;
      if (window) {
        EXPECT_GE(y, now - window);
        EXPECT_LT(y, now - window + 100);
      }
    }
  }
  fs.TwoDigitYearCenturyWindow = 50;
  ASSERT_TRUE(TryStrToDate("1/1/0024", v, fs));  // four digits: as written
  DecodeDate(v, y, m, d);
  EXPECT_EQ(y, 24);
}

TEST(SysUtilsDates, StrToTimeAndDateTime) {
  const TFormatSettings us = Us();
  struct Case {
    const char* text;
    bool ok;
    TDateTime expected;
  } times[] = {
      {"14:07", true, EncodeTime(14, 7, 0, 0)},
      {"14:07:09", true, EncodeTime(14, 7, 9, 0)},
      {"14:07:09.045", true, EncodeTime(14, 7, 9, 45)},
      {"2:07 PM", true, EncodeTime(14, 7, 0, 0)},
      {"2:07 pm", true, EncodeTime(14, 7, 0, 0)},
      {"12:00 AM", true, 0},
      {"12:30 PM", true, EncodeTime(12, 30, 0, 0)},
      {"PM 2:07", true, EncodeTime(14, 7, 0, 0)},
      {"3 PM", true, EncodeTime(15, 0, 0, 0)},
      {"13:00 PM", false, 0},
      {"24:00", false, 0},
      {"12:60", false, 0},
      {"15", false, 0},
      {"1:2:3:4", false, 0},
  };
  for (const auto& c : times) {
    TDateTime v = -1;
    EXPECT_EQ(TryStrToTime(c.text, v, us), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.expected) << c.text;
    }
  }
  TDateTime v;
  ASSERT_TRUE(TryStrToDateTime("3/5/2024 2:07:09 PM", v, us));
  EXPECT_DOUBLE_EQ(v, EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
  ASSERT_TRUE(TryStrToDateTime("3/5/2024", v, us));
  EXPECT_EQ(v, EncodeDate(2024, 3, 5));
  ASSERT_TRUE(TryStrToDateTime("14:07", v, us));
  EXPECT_DOUBLE_EQ(v, EncodeTime(14, 7, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("12/29/1899 06:00", v, us));
  EXPECT_DOUBLE_EQ(v, -1.25);
  EXPECT_FALSE(TryStrToDateTime("3/5/2024 junk", v, us));
  EXPECT_EQ(ConvertErrorOf([&] { StrToTime("25:00", us); }),
            "'25:00' is not a valid time");
  EXPECT_EQ(ConvertErrorOf([&] { StrToDateTime("3/5/2024 x", us); }),
            "'3/5/2024 x' is not a valid date and time");
  // Round trip through the settings' own formats.
  TDateTime t = EncodeDateTime(2031, 11, 2, 23, 4, 5, 0);
  EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t, us), us), t);
  EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(t, German()), German()), t);
}

TEST_F(SysUtilsGlobalSettings, GlobalNamesAreTheRecordsFields) {
  DecimalSeparator = ',';
  EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  ShortDateFormat = "yyyy-mm-dd";
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5)), "2024-03-05");
  LongMonthNames[0] = "Januar";
  EXPECT_EQ(FormatDateTime("mmmm", EncodeDate(2024, 1, 5)), "Januar");
}

TEST(SysUtilsLocale, TranslateDateFormat) {
  EXPECT_EQ(TranslateDateFormat("M/d/yyyy"), "m/d/yyyy");
  EXPECT_EQ(TranslateDateFormat("dddd, MMMM dd, yyyy"), "dddd, mmmm dd, yyyy");
  EXPECT_EQ(TranslateDateFormat("d. MMMM yyyy"), "d. mmmm yyyy");
  EXPECT_EQ(TranslateDateFormat("gg yyyy/M/d"), "yyyy/m/d");
  EXPECT_EQ(TranslateDateFormat("gg yyyy/M/d", 3), "gg yyyy/m/d");
  EXPECT_EQ(TranslateDateFormat("d 'de' MMMM"), "d 'de' mmmm");
}

// ---------------------------------------------------------------------------
// Strings

TEST(SysUtilsStrings, TrimAndCase) {
  EXPECT_EQ(Trim(" \t\r\na b\x01 "), "a b");
  EXPECT_EQ(TrimLeft("  x  "), "x  ");
  EXPECT_EQ(TrimRight("  x \n"), "  x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(UpperCase("ab\xe9z"), "AB\xe9Z");  // ASCII only
  EXPECT_EQ(LowerCase("AB\xc9Z"), "ab\xc9z");
  EXPECT_LT(CompareStr("a", "B"), 0 + 100);
  EXPECT_GT(CompareStr("a", "B"), 0);  // ordinal: 'a' > 'B'
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abcd"), 0);
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("\xe9", "\xc9"));
}

TEST(SysUtilsStrings, SearchAndReplace) {
  EXPECT_EQ(Pos("lo", "hello lo"), 4);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(StringReplace("aAaA", "a", "b", 0), "bAaA");
  EXPECT_EQ(StringReplace("aAaA", "a", "b", rfReplaceAll), "bAbA");
  EXPECT_EQ(StringReplace("aAaA", "a", "bb", rfReplaceAll | rfIgnoreCase),
            "bbbbbbbb");
  EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_TRUE(IsDelimiter("\\:", "C:\\x", 2));
  EXPECT_FALSE(IsDelimiter("\\:", "C:\\x", 9));
  EXPECT_EQ(LastDelimiter("\\.", "a\\b.c"), 4);
  EXPECT_EQ(LastDelimiter("/", "abc"), 0);
}

TEST(SysUtilsStrings, Quoting) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  String text = "'a''b' rest";
  std::size_t pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr(text, pos, '\''), "a'b");
  EXPECT_EQ(pos, 6u);
  pos = 1;
  EXPECT_EQ(AnsiExtractQuotedStr(text, pos, '\''), "");
  EXPECT_EQ(pos, 1u);
  EXPECT_EQ(AnsiDequotedStr("'x''y'", '\''), "x'y");
  EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
  EXPECT_EQ(AnsiDequotedStr("''", '\''), "");
  EXPECT_EQ(AnsiDequotedStr("'open", '\''), "open");
}

TEST(SysUtilsStrings, LineBreaksAndMisc) {
  EXPECT_EQ(AdjustLineBreaks("a\rb\nc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\ne");
  EXPECT_EQ(AdjustLineBreaks("a\r\n\r\nb", tlbsLF), "a\n\nb");
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -1), "");
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false, true), "False");
  bool b;
  EXPECT_TRUE(TryStrToBool("true", b) && b);
  EXPECT_TRUE(TryStrToBool("0", b) && !b);
  EXPECT_TRUE(TryStrToBool("-1", b) && b);
  EXPECT_FALSE(TryStrToBool("yes", b));
  EXPECT_EQ(ConvertErrorOf([] { StrToBool("yes"); }),
            "'yes' is not a valid boolean value");
}

TEST(SysUtilsStrings, AnsiRoutinesFoldCodePage1252Letters) {
  // The portable stand-in; on Windows the locale decides.
  EXPECT_EQ(AnsiUpperCase("\xe9t\xe9 \x9a"), "\xc9T\xc9 \x8a");
  EXPECT_EQ(AnsiLowerCase("\xc9T\xc9"), "\xe9t\xe9");
  EXPECT_EQ(AnsiCompareText("\xe9t\xe9", "\xc9T\xc9"), 0);
  EXPECT_TRUE(AnsiSameText("abc", "ABC"));
  EXPECT_FALSE(AnsiSameStr("abc", "ABC"));
  EXPECT_EQ(AnsiCompareStr("a", "a"), 0);
  EXPECT_LT(AnsiCompareText("a", "b"), 0);
}

// ---------------------------------------------------------------------------
// File names

TEST(SysUtilsFiles, NameParts) {
  struct Case {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
    const char* drive;
  } cases[] = {
      {"C:\\dir\\file.txt", "C:\\dir\\", "C:\\dir", "file.txt", ".txt", "C:"},
      {"C:\\file", "C:\\", "C:\\", "file", "", "C:"},
      {"C:file.a.b", "C:", "C:", "file.a.b", ".b", "C:"},
      {"\\\\srv\\share\\d\\f.x", "\\\\srv\\share\\d\\", "\\\\srv\\share\\d",
       "f.x", ".x", "\\\\srv\\share"},
      {"dir.d\\file", "dir.d\\", "dir.d", "file", "", ""},
      {"file", "", "", "file", "", ""},
      {"\\file", "\\", "\\", "file", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    EXPECT_EQ(ExtractFileDrive(c.name), c.drive) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("a\\b.txt", ".ini"), "a\\b.ini");
  EXPECT_EQ(ChangeFileExt("a.d\\b", ".ini"), "a.d\\b.ini");
  EXPECT_EQ(ChangeFileExt("a.txt", ""), "a");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\x\\"), "C:\\x");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\x"), "C:\\x");
}

// A scratch folder under the system's temporary folder, removed afterwards.
class SysUtilsFileSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TEMP");
    if (!tmp || !*tmp) tmp = std::getenv("TMPDIR");
    root_ = IncludeTrailingPathDelimiter(
                ExpandFileName(tmp && *tmp ? tmp : "/tmp")) +
            "sysutils_test_" + IntToStr(static_cast<Int64>(GetTickCount())) +
            "_" + IntToStr(static_cast<Int64>(std::rand()));
  }
  void TearDown() override { RemoveTree(root_); }
  static void RemoveTree(const String& dir) {
    TSearchRec f;
    std::vector<String> files, dirs;
    if (FindFirst(IncludeTrailingPathDelimiter(dir) + "*", faAnyFile, f) == 0) {
      do {
        if (f.Name == "." || f.Name == "..") continue;
        (f.Attr & faDirectory ? dirs : files)
            .push_back(IncludeTrailingPathDelimiter(dir) + f.Name);
      } while (FindNext(f) == 0);
      FindClose(f);
    }
    for (const auto& x : files) DeleteFile(x);
    for (const auto& x : dirs) RemoveTree(x);
    RemoveDir(dir);
  }
  // The name as the C library takes it.
  static String OsName(const String& name) {
    String native = name;
#ifndef _WIN32
    for (char& c : native) {
      if (c == '\\') c = '/';
    }
#endif
    return native;
  }
  static void Touch(const String& name, const String& data) {
    std::ofstream(OsName(name), std::ios::binary) << data;
  }
  static void SetWriteTime(const String& name, Int64 stamp) {
#ifdef _WIN32
    // 64-bit times: the years past 2038 are tested too.
    __utimbuf64 times{stamp, stamp};
    ASSERT_EQ(_utime64(OsName(name).c_str(), &times), 0);
#else
    utimbuf times{static_cast<std::time_t>(stamp),
                  static_cast<std::time_t>(stamp)};
    ASSERT_EQ(utime(OsName(name).c_str(), &times), 0);
#endif
  }
  String root_;
};

TEST_F(SysUtilsFileSystem, CreateFindRenameDelete) {
  String deep = root_ + "\\a\\b\\c";
  EXPECT_FALSE(DirectoryExists(deep));
  ASSERT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_TRUE(ForceDirectories(deep + "\\"));  // already there
  EXPECT_THROW(ForceDirectories(""), EInOutError);

  String f1 = root_ + "\\a\\one.txt", f2 = root_ + "\\a\\two.dat";
  Touch(f1, "12345");
  Touch(f2, "x");
  EXPECT_TRUE(FileExists(f1));
  EXPECT_FALSE(DirectoryExists(f1));

  TSearchRec sr;
  std::vector<String> names;
  ASSERT_EQ(FindFirst(root_ + "\\a\\*.txt", faAnyFile, sr), 0);
  do names.push_back(sr.Name);
  while (FindNext(sr) == 0);
  FindClose(sr);
  EXPECT_EQ(names, std::vector<String>({"one.txt"}));

  ASSERT_EQ(FindFirst(root_ + "\\a\\one.txt", faAnyFile, sr), 0);
  EXPECT_EQ(sr.Size, 5);
  EXPECT_FALSE(sr.Attr & faDirectory);
  TDateTime age = FileDateToDateTime(sr.Time);
  EXPECT_LT(std::fabs(age - Now()), 1.0);
  FindClose(sr);
  EXPECT_EQ(FileAge(f1), sr.Time);
  EXPECT_EQ(FileAge(root_ + "\\missing"), -1);

  // Without faDirectory, directories are skipped.
  names.clear();
  ASSERT_EQ(FindFirst(root_ + "\\a\\*", 0, sr), 0);
  do names.push_back(sr.Name);
  while (FindNext(sr) == 0);
  FindClose(sr);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, std::vector<String>({"one.txt", "two.dat"}));
  EXPECT_NE(FindFirst(root_ + "\\a\\*.none", faAnyFile, sr), 0);
  EXPECT_NE(FindFirst(root_ + "\\nowhere\\*", faAnyFile, sr), 0);

  EXPECT_FALSE(RenameFile(f1, f2));  // never replaces
  EXPECT_TRUE(RenameFile(f1, root_ + "\\a\\three.txt"));
  EXPECT_FALSE(FileExists(f1));
  EXPECT_TRUE(DeleteFile(root_ + "\\a\\three.txt"));
  EXPECT_FALSE(DeleteFile(root_ + "\\a\\three.txt"));
}

// A last write that no DOS time can hold is as unknown as a missing file's:
// 0 would pass for a date (month 0, day 0).
TEST_F(SysUtilsFileSystem, FileAgeOutsideDosYearsIsUnknown) {
  ASSERT_TRUE(ForceDirectories(root_));
  const String file = root_ + "\\dated.txt";
  Touch(file, "x");
  struct TCase {
    const char* What;
    Int64 Stamp;
    Integer Year;  // 0: unknown
  };
  const TCase cases[] = {
      {"1975", 173000000, 0},
      {"2110", 4431000000, 0},
      {"2000", 960000000, 2000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    SetWriteTime(file, c.Stamp);
    Integer age = FileAge(file);
    if (c.Year == 0) {
      EXPECT_EQ(age, -1);
    } else {
      ASSERT_NE(age, -1);
      EXPECT_EQ((age >> 25) + 1980, c.Year);
    }
  }
}

TEST(SysUtilsFiles, FileDates) {
  TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  Integer fd = DateTimeToFileDate(v);
  EXPECT_DOUBLE_EQ(FileDateToDateTime(fd),
                   EncodeDateTime(2024, 3, 5, 14, 7, 8, 0));
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0);
  EXPECT_THROW(FileDateToDateTime(0), EConvertError);  // month 0
}

// ---------------------------------------------------------------------------
// Miscellany

TEST(SysUtilsMisc, MulDivRoundsHalfAwayFromZero) {
  struct Case {
    Integer a, b, c, expected;
  } cases[] = {
      {10, 3, 4, 8},    // 7.5 -> 8
      {-10, 3, 4, -8},  // -7.5 -> -8
      {10, -3, 4, -8},
      {10, 3, -4, -8},
      {5, 1, 3, 2},  // 1.67
      {4, 1, 3, 1},  // 1.33
      {1, 1, 0, -1},
      {INT32_MAX, 2, 2, INT32_MAX},  // 64-bit intermediate
      {INT32_MAX, 2, 1, -1},         // overflow
      {96, 120, 96, 120},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected)
        << c.a << "*" << c.b << "/" << c.c;
  }
}

TEST(SysUtilsMisc, CommandLineSplitting) {
  EXPECT_EQ(SplitCommandLine("prog.exe a  \"b c\" d\"e f\"g \"\" h"),
            std::vector<String>({"prog.exe", "a", "b c", "de fg", "", "h"}));
  EXPECT_EQ(SplitCommandLine("  "), std::vector<String>());
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x.exe\"\t/s"),
            std::vector<String>({"C:\\Program Files\\x.exe", "/s"}));
  EXPECT_FALSE(ParamStr(0).empty());
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
  EXPECT_EQ(ParamStr(-1), "");
}

TEST(SysUtilsMisc, AssertRaisesWithPlace) {
  EXPECT_NO_THROW(Assert(true, "fine"));
  try {
    Assert(false, "broken", "unit.cpp", 12);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "broken (unit.cpp, line 12)");
  }
  try {
    Assert(false, "", "u.cpp", 3);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Assertion failed (u.cpp, line 3)");
  }
}

TEST(SysUtilsMisc, ShortCutText) {
  struct Case {
    TShortCut sc;
    const char* text;
  } cases[] = {
      {ShortCut('A', {ssCtrl}), "Ctrl+A"},
      {ShortCut('S', {ssShift, ssCtrl, ssAlt}), "Shift+Ctrl+Alt+S"},
      {ShortCut(0x70, {}), "F1"},
      {ShortCut(0x7B, {ssShift}), "Shift+F12"},
      {ShortCut(0x08, {ssAlt}), "Alt+BkSp"},
      {0x09, "Tab"},
      {0x0D, "Enter"},
      {0x1B, "Esc"},
      {0x20, "Space"},
      {0x21, "PgUp"},
      {0x22, "PgDn"},
      {0x23, "End"},
      {0x24, "Home"},
      {0x25, "Left"},
      {0x26, "Up"},
      {0x27, "Right"},
      {0x28, "Down"},
      {0x2D, "Ins"},
      {ShortCut(0x2E, {ssCtrl}), "Ctrl+Del"},
      {'7', "7"},
      {0x65, "5"},  // numeric pad
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    if (c.sc != 0x65) {
      EXPECT_EQ(TextToShortCut(c.text), c.sc) << c.text;
    }
  }
  EXPECT_EQ(TextToShortCut("ctrl+shift+x"), ShortCut('X', {ssShift, ssCtrl}));
  EXPECT_EQ(TextToShortCut("^C"), ShortCut('C', {ssCtrl}));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
  EXPECT_EQ(ShortCutToText(0), "");
  Word key;
  TShiftState shift;
  ShortCutToKey(ShortCut('Q', {ssAlt, ssShift}), key, shift);
  EXPECT_EQ(key, 'Q');
  EXPECT_TRUE(shift == TShiftState({ssAlt, ssShift}));
}

TEST(SysUtilsMisc, LocaleSettingsThroughTheSeam) {
  // The portable stand-in answers for US English.
  TFormatSettings fs;
  GetLocaleFormatSettings(0x0409, fs);
  EXPECT_EQ(fs.ShortDateFormat, "m/d/yyyy");
  EXPECT_EQ(fs.LongTimeFormat, "h:mm:ss AMPM");
  EXPECT_EQ(fs.ShortTimeFormat, "h:mm AMPM");
  EXPECT_EQ(fs.ShortDayNames[0], "Sun");
  EXPECT_EQ(fs.LongDayNames[6], "Saturday");
  EXPECT_EQ(fs.LongMonthNames[11], "December");
  EXPECT_EQ(fs.CurrencyString, "$");
  EXPECT_EQ(fs.CurrencyDecimals, 2);
}

}  // namespace
