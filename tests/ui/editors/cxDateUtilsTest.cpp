#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "DateLocaleFixture.h"
#include "cxClasses.h"
#include "cxDateUtils.h"
#include "cxFormats.h"

using date_test::GermanLocale;
using date_test::TPinnedLocale;
using date_test::UsLocale;

namespace {

String DateText(TDateTime d) {
  return FormatDateTime("yyyy-mm-dd hh:nn:ss", d, DefaultFormatSettings());
}

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

// ---------------------------------------------------------------------------
// Calendar arithmetic
// ---------------------------------------------------------------------------

TEST(cxDateUtilsCalendar, ChangeMonthCarriesAndBorrowsYears) {
  struct Case {
    Word year, month;
    Integer delta;
    Word wantYear, wantMonth;
  } cases[] = {
      {2000, 1, -1, 1999, 12},  {2000, 1, 25, 2002, 2},  {2000, 12, 1, 2001, 1},
      {2000, 5, -17, 1998, 12}, {2000, 6, -6, 1999, 12}, {2000, 6, 0, 2000, 6},
      {2000, 7, 6, 2001, 1},    {2000, 1, -12, 1999, 1},
  };
  for (const Case& c : cases) {
    Word y = c.year, m = c.month;
    ChangeMonth(y, m, c.delta);
    EXPECT_EQ(y, c.wantYear) << c.year << "/" << c.month << " " << c.delta;
    EXPECT_EQ(m, c.wantMonth) << c.year << "/" << c.month << " " << c.delta;
  }
}

TEST(cxDateUtilsCalendar, IncAndDecMonthWrapTheYear) {
  Word y = 2023, m = 12;
  IncMonth(y, m);
  EXPECT_EQ(y, 2024);
  EXPECT_EQ(m, 1);
  DecMonth(y, m);
  EXPECT_EQ(y, 2023);
  EXPECT_EQ(m, 12);
}

TEST(cxDateUtilsCalendar, MonthLengthsAndCheckDay) {
  struct Case {
    Word year, month;
    Integer day;
    Word days, checked;
  } cases[] = {
      {2024, 2, 30, 29, 29},  {2023, 2, 29, 28, 28}, {1900, 2, 29, 28, 28},
      {2000, 2, 29, 29, 29},  {2024, 4, 0, 30, 1},   {2024, 4, -5, 30, 1},
      {2024, 12, 31, 31, 31}, {2024, 4, 31, 30, 30},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DaysPerMonth(c.year, c.month), c.days)
        << c.year << "/" << c.month;
    EXPECT_EQ(CheckDay(c.year, c.month, c.day), c.checked)
        << c.year << "/" << c.month << "/" << c.day;
  }
}

TEST(cxDateUtilsCalendar, MonthAndYearBounds) {
  const TDateTime noon = D(2024, 2, 14) + 0.5;
  EXPECT_EQ(GetStartDateOfMonth(noon), D(2024, 2, 1));
  EXPECT_EQ(GetEndDateOfMonth(noon, true), D(2024, 2, 29));
  EXPECT_EQ(DateText(GetEndDateOfMonth(noon, false)), "2024-02-29 23:59:59");
  EXPECT_EQ(GetStartDateOfYear(noon), D(2024, 1, 1));
  EXPECT_EQ(GetEndDateOfYear(noon, true), D(2024, 12, 31));
  EXPECT_GT(GetEndDateOfYear(noon, false), D(2024, 12, 31) + 0.9999);
  EXPECT_EQ(GetMonthNumber(noon), 2024 * 12 + 2 - 12);
  EXPECT_EQ(GetDateElement(noon, deDay), 14);
  EXPECT_EQ(DateOf(noon), D(2024, 2, 14));
  EXPECT_DOUBLE_EQ(TimeOf(noon), 0.5);
  // Before 1899 the time counts away from the day, as the date type does.
  EXPECT_DOUBLE_EQ(TimeOf(-1.25), -0.25);
  EXPECT_EQ(DateOf(-1.25), -1.0);
}

struct TWeekCase {
  TDateTime date;
  TDay start;
  TcxFirstWeekOfYear rule;
  Integer week;
};

void ExpectWeekNumbers(std::initializer_list<TWeekCase> cases) {
  for (const TWeekCase& c : cases) {
    EXPECT_EQ(GetWeekNumber(c.date, c.start, c.rule), c.week)
        << DateText(c.date) << " start " << int(c.start) << " rule "
        << int(c.rule);
  }
}

TEST(cxDateUtilsCalendar, WeekNumbers) {
  ExpectWeekNumbers({
      // First four days, weeks from Monday: 1 January 2025 is a Wednesday,
      // so 31 December 2024 already lies in week 1.
      {D(2024, 12, 31), dMonday, fwyFirstFourDays, 1},
      {D(2024, 12, 29), dMonday, fwyFirstFourDays, 52},
      // 1 January 2027 is a Friday: 31 December 2026 stays in week 53.
      {D(2026, 12, 31), dMonday, fwyFirstFourDays, 53},
      {D(2024, 6, 15), dMonday, fwyFirstFourDays, 24},
      // 1 January: the week that holds it is week 1, even in December.
      {D(2023, 12, 31), dSunday, fwyJan1, 1},
      {D(2023, 12, 30), dSunday, fwyJan1, 52},
      {D(2024, 3, 1), dSunday, fwyJan1, 9},
      // First full week: 1 January 2022 is a Saturday, the first full week
      // starts on Sunday 2 January.
      {D(2022, 1, 2), dSunday, fwyFirstFullWeek, 1},
      {D(2022, 1, 9), dSunday, fwyFirstFullWeek, 2},
      {D(2023, 1, 8), dSunday, fwyFirstFullWeek, 2},
  });
}

// ISO 8601 weeks start on Monday and belong to the year of their Thursday;
// week 1 is the week of that year's first Thursday. Worked out with the
// standard library's calendar so that it shares nothing with the code under
// test.
Integer IsoWeek(std::chrono::year_month_day ymd) {
  using namespace std::chrono;
  const sys_days day{ymd};
  const days fromMonday{(weekday{day}.iso_encoding() - 1)};
  const sys_days thursday = day - fromMonday + days{3};
  const sys_days jan1{year_month_day{thursday}.year() / January / 1};
  return static_cast<Integer>((thursday - jan1).count() / 7 + 1);
}

TEST(cxDateUtilsCalendar, FirstFourDaysFromMondayAreIsoWeeks) {
  using namespace std::chrono;
  const sys_days last{year{2032} / December / 31};
  Integer checked = 0;
  for (sys_days day{year{2015} / January / 1}; day <= last; day += days{1}) {
    const year_month_day ymd{day};
    const TDateTime date =
        D(static_cast<Word>(static_cast<int>(ymd.year())),
          static_cast<Word>(static_cast<unsigned>(ymd.month())),
          static_cast<Word>(static_cast<unsigned>(ymd.day())));
    ASSERT_EQ(GetWeekNumber(date + 0.75, dMonday, fwyFirstFourDays),
              IsoWeek(ymd))
        << DateText(date);
    ++checked;
  }
  EXPECT_EQ(checked, 6575);
}

TEST(cxDateUtilsCalendar, WeekNumbersAtTheTurnOfTheYear) {
  ExpectWeekNumbers({
      // First full week: days of January before the first full week are the
      // last week of the year before.
      {D(2020, 12, 31), dMonday, fwyFirstFullWeek, 52},
      {D(2021, 1, 1), dMonday, fwyFirstFullWeek, 52},
      {D(2021, 1, 3), dMonday, fwyFirstFullWeek, 52},
      {D(2021, 1, 4), dMonday, fwyFirstFullWeek, 1},
      {D(2021, 1, 2), dSunday, fwyFirstFullWeek, 52},
      {D(2021, 1, 3), dSunday, fwyFirstFullWeek, 1},
      {D(2023, 1, 1), dMonday, fwyFirstFullWeek, 52},
      {D(2023, 1, 2), dMonday, fwyFirstFullWeek, 1},
      {D(2023, 1, 1), dSunday, fwyFirstFullWeek, 1},
      // 2023 began on a Sunday, so with Sunday weeks it has 53; its last
      // week runs on into January 2024, whose first Sunday is the 7th.
      {D(2023, 12, 31), dSunday, fwyFirstFullWeek, 53},
      {D(2024, 1, 6), dSunday, fwyFirstFullWeek, 53},
      {D(2024, 1, 7), dSunday, fwyFirstFullWeek, 1},
      {D(2023, 12, 31), dMonday, fwyFirstFullWeek, 52},
      {D(2024, 1, 1), dMonday, fwyFirstFullWeek, 1},
      // 1 January: always week 1, and the December days of its week too.
      {D(2021, 1, 1), dMonday, fwyJan1, 1},
      {D(2021, 1, 3), dMonday, fwyJan1, 1},
      {D(2021, 1, 4), dMonday, fwyJan1, 2},
      {D(2020, 12, 27), dMonday, fwyJan1, 52},
      {D(2020, 12, 28), dMonday, fwyJan1, 1},
      {D(2021, 1, 2), dSunday, fwyJan1, 1},
      {D(2021, 1, 3), dSunday, fwyJan1, 2},
      {D(2020, 12, 27), dSunday, fwyJan1, 1},
      {D(2022, 12, 31), dSunday, fwyJan1, 53},
      {D(2023, 1, 1), dSunday, fwyJan1, 1},
      {D(2022, 12, 31), dMonday, fwyJan1, 1},
      {D(2023, 1, 2), dMonday, fwyJan1, 2},
      {D(2023, 12, 31), dMonday, fwyJan1, 53},
      {D(2024, 1, 1), dMonday, fwyJan1, 1},
      // First four days from Sunday: 1 January 2027 is a Friday, so Sunday
      // 27 December 2026 starts the last week of 2026.
      {D(2027, 1, 2), dSunday, fwyFirstFourDays, 52},
      {D(2027, 1, 3), dSunday, fwyFirstFourDays, 1},
      // 1 January of year 1 was a Monday; its Sunday week began in year 0,
      // which had 366 days and began on a Saturday.
      {D(1, 1, 1), dSunday, fwyFirstFullWeek, 53},
      {D(1, 1, 7), dSunday, fwyFirstFullWeek, 1},
  });
}

TEST(cxDateUtilsCalendar, SystemWeekRuleAndStartOfWeekComeFromTheLocale) {
  TPinnedLocale pin(GermanLocale());
  EXPECT_EQ(GetStartOfWeek(), dMonday);
  EXPECT_EQ(GetWeekNumber(D(2024, 12, 31), dMonday, fwySystem), 1);
  EXPECT_EQ(GetWeekNumber(D(2026, 12, 31), dMonday, fwySystem), 53);
  pin.Use(UsLocale());
  EXPECT_EQ(GetStartOfWeek(), dSunday);
  // Jan 1 rule: 31 December 2026 shares its week with 1 January 2027.
  EXPECT_EQ(GetWeekNumber(D(2026, 12, 31), dSunday, fwySystem), 1);
}

TEST(cxDateUtilsCalendar, DayOfWeekOffsetFollowsTheControllersStartOfWeek) {
  TPinnedLocale pin(UsLocale());
  const TDateTime wednesday = D(2024, 2, 14);
  cxFormatController()->SetStartOfWeek(dSunday);
  EXPECT_EQ(DayOfWeekOffset(wednesday), 3);
  cxFormatController()->SetStartOfWeek(dMonday);
  EXPECT_EQ(DayOfWeekOffset(wednesday), 2);
  cxFormatController()->SetStartOfWeek(dThursday);
  EXPECT_EQ(DayOfWeekOffset(wednesday), 6);
}

// ---------------------------------------------------------------------------
// Smart date input
// ---------------------------------------------------------------------------

class cxSmartDateTest : public ::testing::Test {
 protected:
  // Today is Wednesday, 14 February 2024 (a leap year), 10:30.
  TPinnedLocale pin_{UsLocale(), EncodeDateTime(2024, 2, 14, 10, 30, 0, 0)};
  void SetUp() override { cxFormatController()->SetStartOfWeek(dMonday); }
  void TearDown() override {
    cxClearResourceStrings();
    SmartTextToDateFunc = nullptr;
  }
};

TEST_F(cxSmartDateTest, WordsAndOffsets) {
  struct Case {
    const char* text;
    const char* want;
  } cases[] = {
      {"today", "2024-02-14 00:00:00"},
      {"Today+3", "2024-02-17 00:00:00"},
      {"tomorrow-2", "2024-02-13 00:00:00"},
      {"today+", "2024-02-14 00:00:00"},
      {"  yesterday  ", "2024-02-13 00:00:00"},
      {"TODAY - 1", "2024-02-13 00:00:00"},
      {"today + 10", "2024-02-24 00:00:00"},
      {"wednesday", "2024-02-14 00:00:00"},  // today itself
      {"Sunday", "2024-02-18 00:00:00"},
      {"monday", "2024-02-19 00:00:00"},
      {"friday+7", "2024-02-23 00:00:00"},
      // Days of the current week, counted from Monday.
      {"first", "2024-02-12 00:00:00"},
      {"third", "2024-02-14 00:00:00"},
      {"seventh", "2024-02-18 00:00:00"},
      {"bom", "2024-02-01 00:00:00"},
      {"eom", "2024-02-29 00:00:00"},
      {"EOM-1", "2024-02-28 00:00:00"},
      {"now", "2024-02-14 10:30:00"},
      {"now+1", "2024-02-15 10:30:00"},
  };
  for (const Case& c : cases) {
    TDateTime d = 0;
    ASSERT_TRUE(SmartTextToDate(c.text, d)) << c.text;
    EXPECT_EQ(DateText(d), c.want) << c.text;
  }
}

// A word is a smart date only as the whole text or before a day offset.
TEST_F(cxSmartDateTest, TrailingTextIsNoSmartDate) {
  const char* texts[] = {
      "nowhere",   "Mondays",    "todayx",  "today+3x",   "today++3",
      "today+$10", "tomorrow 2", "today 3", "yesterday.", "eom+99999999999",
      "to",        "+3",         "",        "   ",        "first second",
      "bomb",
  };
  for (const char* text : texts) {
    TDateTime d = 123.0;
    EXPECT_FALSE(SmartTextToDate(text, d)) << text;
    EXPECT_EQ(d, 123.0) << text;
  }
}

TEST_F(cxSmartDateTest, WeekdayWordsCountFromToday) {
  TDateTime d = 0;
  pin_.SetNow(D(2024, 2, 18));  // a Sunday
  ASSERT_TRUE(SmartTextToDate("sunday", d));
  EXPECT_EQ(d, D(2024, 2, 18));
  pin_.SetNow(D(2024, 2, 19));  // a Monday
  ASSERT_TRUE(SmartTextToDate("sunday", d));
  EXPECT_EQ(d, D(2024, 2, 25));
  ASSERT_TRUE(SmartTextToDate("saturday", d));
  EXPECT_EQ(d, D(2024, 2, 24));
}

TEST_F(cxSmartDateTest, WeekDayNumbersFollowTheStartOfWeek) {
  TDateTime d = 0;
  cxFormatController()->SetStartOfWeek(dSunday);
  ASSERT_TRUE(SmartTextToDate("first", d));
  EXPECT_EQ(d, D(2024, 2, 11));
  ASSERT_TRUE(SmartTextToDate("seventh", d));
  EXPECT_EQ(d, D(2024, 2, 17));
}

TEST_F(cxSmartDateTest, ReplacedWordsTakeEffectAtOnce) {
  TDateTime d = 0;
  cxSetResourceString(cxSDateToday, "heute");
  ASSERT_TRUE(SmartTextToDate("Heute+1", d));
  EXPECT_EQ(d, D(2024, 2, 15));
  EXPECT_FALSE(SmartTextToDate("today", d));
  // An emptied word matches nothing instead of everything.
  cxSetResourceString(cxSDateNow, "");
  EXPECT_FALSE(SmartTextToDate("anything", d));
  EXPECT_TRUE(SmartTextToDate("eom", d));
}

TEST_F(cxSmartDateTest, HookDecidesWhenNoWordMatches) {
  static String seen;
  SmartTextToDateFunc = [](const String& text, TDateTime& date) {
    seen = text;
    date = 42;
    return true;
  };
  TDateTime d = 0;
  EXPECT_TRUE(SmartTextToDate(" nowhere ", d));
  EXPECT_EQ(seen, " nowhere ");  // untrimmed
  EXPECT_EQ(d, 42);
  seen.clear();
  EXPECT_TRUE(SmartTextToDate("today", d));
  EXPECT_EQ(seen, "");
}

TEST_F(cxSmartDateTest, RegExprMaskGetsTheWords) {
  String mask = "X";
  AddDateRegExprMaskSmartInput(mask, false);
  EXPECT_EQ(mask,
            "(X)|('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|"
            "'Wednesday'|'Thursday'|'Friday'|'Saturday'|'first'|'second'|"
            "'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
            "((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
  String withNow = "X";
  AddDateRegExprMaskSmartInput(withNow, true);
  EXPECT_NE(withNow.find("'eom'|'now')(("), String::npos) << withNow;
  // A quote inside a word leaves the quoted run.
  cxSetResourceString(cxSDateToday, "o'day");
  String quoted = "X";
  AddDateRegExprMaskSmartInput(quoted, false);
  EXPECT_EQ(quoted.rfind("(X)|('o'\\''day'|'yesterday'", 0), 0u) << quoted;
}

// ---------------------------------------------------------------------------
// Text to date
// ---------------------------------------------------------------------------

TEST(cxTextToDateEx, EmptyTextLeavesTheDateAlone) {
  TPinnedLocale pin(UsLocale());
  for (const char* text : {"", "   ", "\t\r\n"}) {
    TDateTime d = 123.0;
    EXPECT_FALSE(TextToDateEx(text, d)) << text;
    EXPECT_EQ(d, 123.0);
  }
}

TEST(cxTextToDateEx, LocaleTexts) {
  TPinnedLocale pin(UsLocale());
  struct Case {
    const char* text;
    const char* want;  // null: no date
  } cases[] = {
      {"2/29/2024", "2024-02-29 00:00:00"},
      {" 12/31/9999 ", "9999-12-31 00:00:00"},
      {"2/14/2024 10:30 PM", "2024-02-14 22:30:00"},
      {"2/14/2024 12:05:09 AM", "2024-02-14 00:05:09"},
      {"Feb 29 2024", "2024-02-29 00:00:00"},
      {"29 February 2024", "2024-02-29 00:00:00"},
      {"3/7/24", "2024-03-07 00:00:00"},
      {"3/7/95", "1995-03-07 00:00:00"},
      {"3/7", "2024-03-07 00:00:00"},
      {"tomorrow+1", "2024-02-16 00:00:00"},
      {"2/30/2024", nullptr},
      {"1/1/10000", nullptr},
      {"today+3000000", nullptr},  // beyond the last year
      {"today-3000000", nullptr},  // before the first
      {"10:30", nullptr},          // a time has no day
      {"13/1/2024", nullptr},
      {"2/14/2024 25:00", nullptr},
      {"Mondays", nullptr},
      {"nowhere", nullptr},
      {"2/14/2024 garbage", nullptr},
  };
  for (const Case& c : cases) {
    TDateTime d = 0;
    bool ok = TextToDateEx(c.text, d);
    if (c.want) {
      EXPECT_TRUE(ok) << c.text;
      EXPECT_EQ(DateText(d), c.want) << c.text;
    } else {
      EXPECT_FALSE(ok) << c.text << " gave " << d;
    }
  }
}

TEST(cxTextToDateEx, GermanLocale) {
  TPinnedLocale pin(GermanLocale());
  TDateTime d = 0;
  ASSERT_TRUE(TextToDateEx("29.02.2024", d));
  EXPECT_EQ(d, D(2024, 2, 29));
  ASSERT_TRUE(TextToDateEx("1.3.24 13:45", d));
  EXPECT_EQ(DateText(d), "2024-03-01 13:45:00");
  ASSERT_TRUE(TextToDateEx("5. M\xE4rz 2024", d));
  EXPECT_EQ(d, D(2024, 3, 5));
  EXPECT_FALSE(TextToDateEx("2/29/2024 PM", d));
}

// Literal words of the locale's formats are dropped before the conversion.
TEST(cxTextToDateEx, LiteralWordsOfTheFormatsDisappear) {
  date_test::TLocaleFacts polish = GermanLocale();
  polish.settings.ShortDateFormat = "dd.MM.yyyy 'r.'";
  TPinnedLocale pin(polish);
  TDateTime d = 0;
  ASSERT_TRUE(TextToDateEx("29.02.2024 r.", d));
  EXPECT_EQ(d, D(2024, 2, 29));
  ASSERT_TRUE(TextToDateEx("29.02.2024 R.", d));
  EXPECT_EQ(d, D(2024, 2, 29));
}

TEST(cxTextToDateEx, ClassLibraryFormats) {
  TPinnedLocale pin(UsLocale());
  cxFormatController()->SetUseClassLibraryDateTimeFormats(true);
  EXPECT_EQ(MinYear, 1);
  EXPECT_EQ(cxMinDateTime(), D(1, 1, 1));
  TDateTime d = 0;
  ASSERT_TRUE(TextToDateEx("2/29/2024", d));
  EXPECT_EQ(d, D(2024, 2, 29));
  // The class library's parser knows no month names.
  EXPECT_FALSE(TextToDateEx("Feb 29 2024", d));
  EXPECT_EQ(d, NullDate);
  cxFormatController()->SetUseClassLibraryDateTimeFormats(false);
  EXPECT_EQ(MinYear, 100);
  EXPECT_EQ(cxMinDateTime(), D(100, 1, 1));
}

TEST(cxStrToDateTime, ConvertsOrGivesTheNullDate) {
  TPinnedLocale pin(UsLocale());
  TDateTime d = 0;
  EXPECT_TRUE(cxStrToDateTime("2/29/2024 1:02:03 PM", true, d));
  EXPECT_EQ(DateText(d), "2024-02-29 13:02:03");
  EXPECT_TRUE(cxStrToDateTime("2/29/2024", false, d));
  EXPECT_EQ(d, D(2024, 2, 29));
  for (bool ole : {true, false}) {
    d = 5;
    EXPECT_FALSE(cxStrToDateTime("no date", ole, d));
    EXPECT_EQ(d, NullDate);
  }
}

// Whatever the text, the conversions answer instead of failing.
TEST(cxTextToDateEx, AnyBytesGiveAnAnswer) {
  TPinnedLocale pin(UsLocale());
  std::mt19937 rng(20241210);
  const char* seeds[] = {"today", "now", "2/29/2024", "12:30 PM", "Feb",
                         "+",     "-",   ":",         "/",        " "};
  for (int i = 0; i < 3000; ++i) {
    String text;
    int parts = static_cast<int>(rng() % 5);
    for (int p = 0; p < parts; ++p) {
      if (rng() % 2) {
        text += seeds[rng() % std::size(seeds)];
      } else {
        int n = static_cast<int>(rng() % 12);
        for (int k = 0; k < n; ++k) text += static_cast<char>(rng() % 256);
      }
    }
    TDateTime d = 0;
    if (TextToDateEx(text, d)) {
      EXPECT_GE(d, -693594.0) << i;
      EXPECT_LT(d, 2958466.0) << i;
    }
    SmartTextToDate(text, d);
    cxStrToDateTime(text, i % 2 == 0, d);
  }
}

// ---------------------------------------------------------------------------
// Date to text
// ---------------------------------------------------------------------------

TEST(cxDateTimeToText, ClassLibraryFormats) {
  date_test::TLocaleFacts l = GermanLocale();
  l.settings.ShortDateFormat = "dd.MM.yy";
  TPinnedLocale pin(l);
  const TDateTime day = D(2024, 2, 29);
  EXPECT_EQ(cxDateTimeToText(day, false, true), "29.02.24");
  EXPECT_EQ(cxDateTimeToText(day, true, true), "29.02.2024");
  EXPECT_EQ(cxDateTimeToText(day + 0.4375, true, true), "29.02.2024 10:30:00");
  EXPECT_EQ(cxDateTimeToText(NullDate, true, true), "");
}

TEST(cxDateTimeToText, SystemFormatsWithTheLocalesShortDate) {
  date_test::TLocaleFacts l = GermanLocale();
  l.items[Platform::liSShortDate] = "dd.MM.yy";
  TPinnedLocale pin(l);
  const TDateTime day = D(2024, 2, 29);
  EXPECT_EQ(cxDateTimeToText(day, false, false), "29.02.24");
  EXPECT_EQ(cxDateTimeToText(day, true, false), "29.02.2024");
  EXPECT_EQ(cxDateTimeToText(day + 0.4375, true, false), "29.02.2024 10:30:00");
  // A format that already has four year letters is left alone.
  pin.Use(UsLocale());
  EXPECT_EQ(cxDateTimeToText(day, true, false), "2/29/2024");
  EXPECT_EQ(DateTimeToText(day, true), "2/29/2024");
}

TEST(cxDateTimeToText, MaskedEditorsUseTheControllersFormats) {
  TPinnedLocale pin(UsLocale());
  const TDateTime moment = D(2024, 2, 9) + 0.75;
  EXPECT_EQ(DateTimeToTextEx(moment, true, false, false), "02/09/2024");
  EXPECT_EQ(DateTimeToTextEx(moment, true, true, false),
            "02/09/2024 06:00:00 PM");
  EXPECT_EQ(DateTimeToTextEx(moment, false, false, true), "2/9/2024 18:00:00");
  EXPECT_EQ(DateTimeToTextEx(NullDate, true, true, true), "");
}

TEST(cxGetDateFormat, FailureGivesFalseAndAnEmptyText) {
  TPinnedLocale pin(UsLocale());
  String text = "old";
  // Before the system's calendar begins.
  EXPECT_FALSE(cxGetDateFormat(D(1200, 1, 1), text, 0, "yyyy"));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(cxGetDateFormat(D(2024, 2, 29), text, 0, "yyyy-MM-dd"));
  EXPECT_EQ(text, "2024-02-29");
  // Without the system's text the class library's long date stands in.
  EXPECT_EQ(DateToLongDateStr(D(1200, 1, 1)),
            FormatDateTime("dddddd", D(1200, 1, 1)));
}

}  // namespace
