#include <gtest/gtest.h>

#include <stdexcept>

#include "DateLocaleFixture.h"
#include "cxFormats.h"
#include "cxRegExpr.h"

using date_test::GermanLocale;
using date_test::TListener;
using date_test::TPinnedLocale;
using date_test::TTimeListener;
using date_test::UsLocale;

namespace {

const char kDay[] = "([012]?[1-9]|[123]0|31)";
const char kOffset[] = "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
const char kWords[] =
    "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|"
    "'Thursday'|'Friday'|'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|"
    "'sixth'|'seventh'|'bom'|'eom'";

String MonthPiece(const String& names) {
  return "((0?[1-9]|1[012])|(" + names + "))";
}

String SmartDate(const String& datePart) {
  return "(" + datePart + ")|(" + kWords + ")" + kOffset;
}

String SmartDateTime(const String& datePart, const String& timePart) {
  return "(" + datePart + " ' '(" + timePart + ")?)|(" + kWords + "|'now')" +
         kOffset;
}

struct Derived {
  String dateEditFormat, standardDate, standardDateTime, regExprDate,
      regExprDateTime, maskedDate, maskedDateTime, currency;
  TDay startOfWeek;
};

void ExpectDerived(const TcxFormatController& fc, const Derived& want) {
  EXPECT_EQ(fc.DateEditFormat(), want.dateEditFormat);
  EXPECT_EQ(fc.StandardDateEditMask(), want.standardDate);
  EXPECT_EQ(fc.DateEditMask(), want.standardDate);
  EXPECT_EQ(fc.StandardDateTimeEditMask(), want.standardDateTime);
  EXPECT_EQ(fc.RegExprDateEditMask(), want.regExprDate);
  EXPECT_EQ(fc.RegExprDateTimeEditMask(), want.regExprDateTime);
  EXPECT_EQ(fc.MaskedDateEditFormat(), want.maskedDate);
  EXPECT_EQ(fc.MaskedDateTimeEditFormat(), want.maskedDateTime);
  EXPECT_EQ(fc.CurrencyFormat(), want.currency);
  EXPECT_EQ(fc.StartOfWeek(), want.startOfWeek);
}

TEST(cxFormatController, UnitedStatesMasks) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  const String date = MonthPiece(
                          "'Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|"
                          "'Sep'|'Oct'|'Nov'|'Dec'") +
                      "\\/" + kDay + "\\/\\d\\d\\d\\d";
  const String time = "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?";
  ExpectDerived(
      fc, {"MM/dd/yyyy", "!99/99/9999;1; ", "!99/99/9999\\ 99:99:99\\ cc;1; ",
           SmartDate(date), SmartDateTime(date, time), "mm/dd/yyyy",
           "mm/dd/yyyy' 'hh:nn:ss' 'ampm", "$,0.00;($,0.00)", dSunday});
}

TEST(cxFormatController, GermanMasks) {
  TPinnedLocale pin(GermanLocale());
  TcxFormatController fc;
  const String date = String(kDay) + "'.'" +
                      MonthPiece(
                          "'Jan'|'Feb'|'M\xE4r'|'Apr'|'Mai'|'Jun'|'Jul'|'Aug'|"
                          "'Sep'|'Okt'|'Nov'|'Dez'") +
                      "'.'\\d\\d\\d\\d";
  const String time = "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d";
  ExpectDerived(
      fc,
      {"dd.MM.yyyy", "!99\\.99\\.9999;1; ", "!99\\.99\\.9999\\ 99:99:99;1; ",
       SmartDate(date), SmartDateTime(date, time), "dd'.'mm'.'yyyy",
       "dd'.'mm'.'yyyy' 'hh:nn:ss", ",0.00 \x80;-,0.00 \x80", dMonday});
}

TEST(cxFormatController, SingleLettersAreDoubledInTheEditFormat) {
  struct Case {
    const char* shortDate;
    const char* editFormat;
    const char* limited;
    const char* standardMask;
    const char* masked;
  } cases[] = {
      {"d/M/yyyy", "dd/MM/yyyy", "dd/MM/yyyy", "!99/99/9999;1; ", "dd/mm/yyyy"},
      {"d-MMM-yy", "dd-MMM-yy", "dd-MMM-yy", "!99\\-lll\\-99;1; ",
       "dd'-'mmm'-'yy"},
      {"yyyy MMMM d", "yyyy MMMM dd", "yyyy MMM dd", "!9999\\ lll\\ 99;1; ",
       "yyyy' 'mmm' 'dd"},
      {"d 'd' M", "dd 'd' MM", "dd 'd' MM", "!99\\ \\d\\ 99;1; ",
       "dd' ''d 'mm"},
  };
  for (const Case& c : cases) {
    date_test::TLocaleFacts l = UsLocale();
    l.settings.ShortDateFormat = c.shortDate;
    TPinnedLocale pin(l);
    TcxFormatController fc;
    EXPECT_EQ(fc.DateEditFormat(), c.editFormat) << c.shortDate;
    EXPECT_EQ(TcxFormatController::GetDateEditFormat(true), c.limited)
        << c.shortDate;
    EXPECT_EQ(fc.StandardDateEditMask(), c.standardMask) << c.shortDate;
    EXPECT_EQ(fc.MaskedDateEditFormat(), c.masked) << c.shortDate;
  }
}

TEST(cxFormatController, LongMonthNamesForFourMonthLetters) {
  date_test::TLocaleFacts l = UsLocale();
  l.settings.ShortDateFormat = "MMMM d";
  TPinnedLocale pin(l);
  TcxFormatController fc;
  EXPECT_NE(fc.RegExprDateEditMask().find("|('January'|'February'|"),
            String::npos)
      << fc.RegExprDateEditMask();
}

TEST(cxFormatController, AnEraMakesEmptyMasks) {
  date_test::TLocaleFacts l = UsLocale();
  l.settings.ShortDateFormat = "gg yyyy/M/d";
  TPinnedLocale pin(l);
  TcxFormatController fc;
  EXPECT_EQ(fc.StandardDateEditMask(), "");
  EXPECT_EQ(fc.RegExprDateEditMask(), "");
  EXPECT_EQ(fc.RegExprDateTimeEditMask(), "");
  EXPECT_EQ(fc.StandardDateTimeEditMask(), "");
  EXPECT_TRUE(fc.DateFormatInfo().Items.empty());
  // The time alone can still be masked.
  EXPECT_FALSE(fc.TimeFormatInfo().Items.empty());
}

// Whether the regular-expression engine takes the whole text as a match of
// the mask.
bool MatchesWhole(const String& text, const String& mask) {
  TcxRegExpr re;
  TMemoryStream source;
  source.Write(mask.data(), static_cast<Integer>(mask.size()));
  re.Compile(&source);
  for (char c : text) {
    if (!re.Next(c)) return false;
  }
  return re.IsFinal();
}

// The derived masks are patterns the regular-expression editor accepts, and
// they take what a user types: a date in the locale's form or a smart word.
TEST(cxFormatController, RegExprMasksAcceptDatesAndSmartWords) {
  struct Case {
    bool german;
    bool dateTime;
    const char* text;
    bool valid;
  } cases[] = {
      {false, false, "2/29/2024", true},
      {false, false, "02/29/2024", true},
      {false, false, "Feb/29/2024", true},
      {false, false, "tomorrow+3", true},
      {false, false, "eom-12", true},
      {false, false, "today+12345", false},
      {false, false, "now", false},
      {false, false, "nowhere", false},
      {false, false, "13/1/2024", false},
      {false, false, "2/32/2024", false},
      {false, true, "2/29/2024 10:30:00 PM", true},
      // The blank before the time belongs to the date part.
      {false, true, "2/29/2024 ", true},
      {false, true, "2/29/2024", false},
      {false, true, "now-1", true},
      {false, true, "2/29/2024 13:30:00", false},
      {true, false, "29.02.2024", true},
      {true, false, "29.M\xE4r.2024", true},
      {true, false, "29/02/2024", false},
      {true, true, "29.02.2024 23:59:59", true},
      {true, true, "29.02.2024 24:00:00", false},
  };
  for (const Case& c : cases) {
    TPinnedLocale pin(c.german ? GermanLocale() : UsLocale());
    TcxFormatController fc;
    const String& mask =
        c.dateTime ? fc.RegExprDateTimeEditMask() : fc.RegExprDateEditMask();
    EXPECT_EQ(MatchesWhole(c.text, mask), c.valid) << c.text;
  }
}

// ---------------------------------------------------------------------------
// Parsing formats
// ---------------------------------------------------------------------------

using Items = std::vector<TcxDateTimeFormatItem>;

String Describe(const Items& items) {
  String r;
  for (const auto& i : items) {
    r += "[" + IntToStr(int(i.Kind)) + ":" + i.Data + "]";
  }
  return r;
}

TEST(cxFormatController, ParsesFormats) {
  TPinnedLocale pin(UsLocale());
  const TcxDateTimeFormatItem sep{dtikDateSeparator, ""};
  const TcxDateTimeFormatItem colon{dtikTimeSeparator, ""};
  struct Case {
    const char* format;
    Items want;
  } cases[] = {
      {"yyyy-MM-dd",
       {{dtikYear, "YYYY"},
        {dtikString, "-"},
        {dtikMonth, "MM"},
        {dtikString, "-"},
        {dtikDay, "DD"}}},
      {"h:mm AMPM",
       {{dtikHour, "12H"},
        colon,
        {dtikMin, "NN"},
        {dtikString, " "},
        {dtikTimeSuffix, "AMPM"}}},
      {"HH:nn:ss.zzz",
       {{dtikHour, "24HH"},
        colon,
        {dtikMin, "NN"},
        colon,
        {dtikSec, "SS"},
        {dtikString, "."},
        {dtikMSec, "ZZZ"}}},
      {"am/pm hhh",
       {{dtikTimeSuffix, "am/pm"}, {dtikString, " "}, {dtikHour, "12HH"}}},
      {"h a/p",
       {{dtikHour, "12H"}, {dtikString, " "}, {dtikTimeSuffix, "a/p"}}},
      // A later repeat of a field is ignored; literals repeat.
      {"dddd, mmmm d",
       {{dtikDay, "DDDD"},
        {dtikString, ", "},
        {dtikMonth, "MMMM"},
        {dtikString, " "}}},
      {"aaa d/m", {{dtikDay, "DDD"}, {dtikString, " "}, sep, {dtikMonth, "M"}}},
      // Without an hour a time suffix means nothing.
      {"yy AMPM", {{dtikYear, "YY"}, {dtikString, " "}}},
      {"'at' \"o'clock\"", {{dtikString, "at "}, {dtikString, "o'clock"}}},
      // Nested formats: short date, a blank and the long time.
      {"c",
       {{dtikMonth, "M"},
        sep,
        {dtikDay, "D"},
        sep,
        {dtikYear, "YYYY"},
        {dtikString, " "},
        {dtikHour, "12H"},
        colon,
        {dtikMin, "NN"},
        colon,
        {dtikSec, "SS"},
        {dtikString, " "},
        {dtikTimeSuffix, "AMPM"}}},
      {"",
       {{dtikMonth, "M"},
        sep,
        {dtikDay, "D"},
        sep,
        {dtikYear, "YYYY"},
        {dtikString, " "},
        {dtikHour, "12H"},
        colon,
        {dtikMin, "NN"},
        colon,
        {dtikSec, "SS"},
        {dtikString, " "},
        {dtikTimeSuffix, "AMPM"}}},
      {"ddddd t",
       {{dtikMonth, "M"},
        sep,
        {dtikDay, "D"},
        sep,
        {dtikYear, "YYYY"},
        {dtikString, " "},
        {dtikHour, "12H"},
        colon,
        {dtikMin, "NN"},
        {dtikString, " "},
        {dtikTimeSuffix, "AMPM"}}},
      {"yyyy g", {}},
  };
  for (const Case& c : cases) {
    TcxDateTimeFormatInfo info;
    bool ok = TcxFormatController::GetDateTimeFormatInfo(c.format, info);
    EXPECT_EQ(ok, !c.want.empty()) << c.format;
    EXPECT_EQ(Describe(info.Items), Describe(c.want)) << c.format;
    for (const auto& item : c.want) {
      EXPECT_TRUE(info.DefinedItems[item.Kind]) << c.format;
    }
  }
}

TEST(cxFormatController, NestingStopsAtTwoLevels) {
  date_test::TLocaleFacts l = UsLocale();
  l.settings.ShortDateFormat = "ddddd";  // names itself
  l.settings.LongTimeFormat = "c";
  TPinnedLocale pin(l);
  TcxFormatController fc;
  TcxDateTimeFormatInfo info;
  EXPECT_TRUE(TcxFormatController::GetDateTimeFormatInfo("c", info));
  EXPECT_EQ(Describe(info.Items), "[0: ][0: ]");
}

TEST(cxFormatController, StandardMaskZones) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  const TcxDateTimeFormatInfo& info = fc.DateTimeFormatInfo();
  // "MM/DD/YYYY HH:NN:SS CC"
  EXPECT_EQ(TcxFormatController::GetDateTimeStandardMaskStringLength(info), 22);
  struct Case {
    Integer pos;
    bool found;
    TcxDateTimeFormatItemKind kind;
    Integer start, length;
  } cases[] = {
      {0, false, dtikString, 0, 0},      {1, true, dtikMonth, 1, 2},
      {2, true, dtikMonth, 1, 2},        {3, true, dtikDateSeparator, 3, 1},
      {10, true, dtikYear, 7, 4},        {11, true, dtikString, 11, 1},
      {13, true, dtikHour, 12, 2},       {16, true, dtikMin, 15, 2},
      {21, true, dtikTimeSuffix, 21, 2}, {22, true, dtikTimeSuffix, 21, 2},
      {23, false, dtikString, 0, 0},     {-4, false, dtikString, 0, 0},
  };
  for (const Case& c : cases) {
    TcxDateTimeFormatItemInfo item;
    ASSERT_EQ(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(
                  info, c.pos, item),
              c.found)
        << c.pos;
    if (!c.found) continue;
    EXPECT_EQ(item.Kind, c.kind) << c.pos;
    EXPECT_EQ(item.ItemZoneStart, c.start) << c.pos;
    EXPECT_EQ(item.ItemZoneLength, c.length) << c.pos;
  }
  TcxDateTimeFormatItemInfo item;
  ASSERT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(
      info, 21, item));
  EXPECT_EQ(item.TimeSuffixKind, tskAMPMString);

  TcxDateTimeFormatInfo ap;
  TcxFormatController::GetDateTimeFormatInfo("hh:nn a/p", ap);
  ASSERT_TRUE(
      TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(ap, 7, item));
  EXPECT_EQ(item.TimeSuffixKind, tskAP);
  EXPECT_EQ(
      TcxFormatController::InternalGetDateTimeEditStandardMask(ap, dtmkTime),
      "00:00\\ c;1;0");
  EXPECT_FALSE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(
      TcxDateTimeFormatInfo(), 1, item));
}

TEST(cxFormatController, CurrencyFormats) {
  struct Case {
    const char* symbol;
    Byte positive, negative, decimals;
    const char* want;
  } cases[] = {
      {"$", 0, 1, 2, "$,0.00;-$,0.00"},
      {"kr", 3, 10, 2, ",0.00 kr;,0.00 kr-"},
      {"Fr.", 2, 12, 2, "Fr'.' ,0.00;Fr'.' -,0.00"},
      {"R$", 2, 9, 0, "R$ ,0.;-R$ ,0."},
      {"", 1, 5, 1, ";-,0.0"},
      {"$", 1, 15, 2, ",0.00$;(,0.00 $)"},
      {"$", 0, 14, 2, "$,0.00;($ ,0.00)"},
      {"$", 0, 13, 2, "$,0.00;,0.00- $"},
  };
  for (const Case& c : cases) {
    date_test::TLocaleFacts l = UsLocale();
    l.settings.CurrencyString = c.symbol;
    l.settings.CurrencyFormat = c.positive;
    l.settings.NegCurrFormat = c.negative;
    l.settings.CurrencyDecimals = c.decimals;
    TPinnedLocale pin(l);
    EXPECT_EQ(TcxFormatController::GetCurrencyFormat(), c.want)
        << c.symbol << " " << int(c.positive) << " " << int(c.negative);
  }
}

TEST(cxFormatController, CurrencySymbolQuotesOnlyGroupingAndDecimalPoint) {
  const struct {
    const char* symbol;
    const char* literal;
  } cases[] = {{"$", "$"}, {"Fr.", "Fr'.'"}, {"a,b", "a','b"}, {"..", "'.''.'"},
               {"", ""},   {"S/ ", "S/ "},   {"\x80", "\x80"}};
  for (const auto& c : cases) {
    EXPECT_EQ(cxQuotedCurrencySymbol(c.symbol), c.literal) << c.symbol;
  }
}

// ---------------------------------------------------------------------------
// Assigned values, listeners and notifications
// ---------------------------------------------------------------------------

TEST(cxFormatController, AssignedValuesSurviveALocaleChange) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  TListener listener;
  fc.AddListener(&listener);
  fc.SetRegExprDateEditMask("\\d+");
  fc.SetStartOfWeek(dWednesday);
  fc.SetCurrencyFormat("0.0");
  EXPECT_EQ(listener.changes, 3);
  EXPECT_TRUE(fc.AssignedRegExprDateEditMask());
  // Setting the same value again changes nothing.
  fc.SetRegExprDateEditMask("\\d+");
  EXPECT_EQ(listener.changes, 3);

  pin.Use(GermanLocale());
  fc.FormatChanged();
  EXPECT_EQ(fc.RegExprDateEditMask(), "\\d+");
  EXPECT_EQ(fc.StartOfWeek(), dWednesday);
  EXPECT_EQ(fc.CurrencyFormat(), "0.0");
  EXPECT_EQ(fc.StandardDateEditMask(), "!99\\.99\\.9999;1; ");
  EXPECT_NE(fc.RegExprDateTimeEditMask().find("'.'"), String::npos);

  fc.SetAssignedRegExprDateEditMask(false);
  fc.SetAssignedStartOfWeek(false);
  fc.SetAssignedCurrencyFormat(false);
  EXPECT_EQ(fc.RegExprDateEditMask().rfind("(([012]?[1-9]", 0), 0u);
  EXPECT_EQ(fc.StartOfWeek(), dMonday);
  EXPECT_EQ(fc.CurrencyFormat(), ",0.00 \x80;-,0.00 \x80");
  fc.RemoveListener(&listener);
}

TEST(cxFormatController, AssignedMasksAreKept) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  fc.SetStandardDateEditMask("!9999;1;_");
  fc.SetStandardDateTimeEditMask("!99;1;_");
  fc.SetRegExprDateTimeEditMask("x");
  pin.Use(GermanLocale());
  fc.FormatChanged();
  EXPECT_EQ(fc.StandardDateEditMask(), "!9999;1;_");
  EXPECT_EQ(fc.DateEditMask(), "!99\\.99\\.9999;1; ");  // always derived
  EXPECT_EQ(fc.StandardDateTimeEditMask(), "!99;1;_");
  EXPECT_EQ(fc.RegExprDateTimeEditMask(), "x");
  EXPECT_TRUE(fc.AssignedStandardDateTimeEditMask());
}

TEST(cxFormatController, ListenersAreToldOnceAndLocksDefer) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  TListener a, b;
  fc.AddListener(&a);
  fc.AddListener(&a);
  fc.AddListener(&b);
  fc.FormatChanged();
  EXPECT_EQ(a.changes, 1);
  EXPECT_EQ(b.changes, 1);

  fc.BeginUpdate();
  fc.BeginUpdate();
  fc.SetFirstWeekOfYear(fwyFirstFullWeek);
  fc.FormatChanged();
  fc.EndUpdate();
  EXPECT_EQ(a.changes, 1);
  fc.EndUpdate();
  EXPECT_EQ(a.changes, 2);
  fc.EndUpdate();  // unbalanced: nothing
  EXPECT_EQ(a.changes, 2);
  EXPECT_EQ(fc.FirstWeekOfYear(), fwyFirstFullWeek);

  // A listener that removes itself and another while being told.
  a.onChange = [&] {
    fc.RemoveListener(&a);
    fc.RemoveListener(&b);
  };
  fc.FormatChanged();
  EXPECT_EQ(a.changes, 3);
  EXPECT_EQ(b.changes, 2);
  fc.FormatChanged();
  EXPECT_EQ(a.changes, 3);
}

TEST(cxFormatController, SystemMessages) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController fc;
  TListener plain;
  TTimeListener timed;
  fc.AddListener(&plain);
  fc.AddListener(&timed);

  TcxFormatControllerMessage time{cxWM_TIMECHANGE};
  EXPECT_TRUE(fc.MainWndProc(time));
  EXPECT_EQ(timed.timeChanges, 1);
  EXPECT_EQ(plain.changes, 0);

  struct Case {
    std::uintptr_t wParam;
    const char* section;
    bool handled;
  } cases[] = {
      {0, "intl", true},   {0, "Intl", true},  {0, "Windows", false},
      {0, nullptr, false}, {1, "intl", false},
  };
  for (const Case& c : cases) {
    FormatSettings.ShortDateFormat = "yyyy|M|d";  // not the system's
    TcxFormatControllerMessage m{cxWM_SETTINGCHANGE, c.wParam, c.section, 7};
    int before = plain.changes;
    EXPECT_EQ(fc.MainWndProc(m), c.handled) << c.section << " " << c.wParam;
    EXPECT_EQ(plain.changes - before, c.handled ? 1 : 0);
    if (c.handled) {
      // The class library's settings were read again from the system, and
      // the masks follow them.
      EXPECT_NE(FormatSettings.ShortDateFormat, "yyyy|M|d");
      EXPECT_EQ(m.Result, 0);
      TcxFormatController fresh;
      EXPECT_EQ(fc.StandardDateEditMask(), fresh.StandardDateEditMask());
    } else {
      EXPECT_EQ(FormatSettings.ShortDateFormat, "yyyy|M|d");
    }
  }

  // The application may keep its own settings.
  cxFormatControllerApplication.UpdateFormatSettings = [] { return false; };
  FormatSettings.ShortDateFormat = "yyyy|M|d";
  TcxFormatControllerMessage m{cxWM_SETTINGCHANGE, 0, "intl"};
  EXPECT_FALSE(fc.MainWndProc(m));
  EXPECT_EQ(FormatSettings.ShortDateFormat, "yyyy|M|d");
  cxFormatControllerApplication.UpdateFormatSettings = nullptr;

  TcxFormatControllerMessage other{0x0010};
  EXPECT_FALSE(fc.MainWndProc(other));
  fc.RemoveListener(&plain);
  fc.RemoveListener(&timed);
}

class TThrowingController : public TcxFormatController {
 public:
  std::function<void()> raise;
  bool WndProc(TcxFormatControllerMessage&) override {
    raise();
    return false;
  }
};

TEST(cxFormatController, NoExceptionLeavesTheWindowProcedure) {
  TPinnedLocale pin(UsLocale());
  TThrowingController fc;
  String handled;
  cxFormatControllerApplication.HandleException = [&](const Exception& e) {
    handled = e.Message();
  };
  TcxFormatControllerMessage m{cxWM_TIMECHANGE};
  fc.raise = [] { throw EConvertError("bad"); };
  EXPECT_TRUE(fc.MainWndProc(m));
  EXPECT_EQ(handled, "bad");
  fc.raise = [] { throw std::runtime_error("foreign"); };
  EXPECT_TRUE(fc.MainWndProc(m));
  cxFormatControllerApplication.HandleException = nullptr;
  // Without an application handler an abort stays silent (the test main
  // fails on any message box).
  fc.raise = [] { Abort(); };
  EXPECT_TRUE(fc.MainWndProc(m));
}

struct TFakeWindows {
  static inline int created = 0;
  static inline int destroyed = 0;
  static inline void* lastDestroyed = nullptr;
  static void* Create(TcxFormatController*) {
    ++created;
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(created));
  }
  static void Destroy(void* w) {
    ++destroyed;
    lastDestroyed = w;
  }
};

TEST(cxFormatController, WindowLivesWhileListenersAreRegistered) {
  TPinnedLocale pin(UsLocale());
  TFakeWindows::created = TFakeWindows::destroyed = 0;
  TcxFormatControllerWindowHooks fake;
  fake.Create = &TFakeWindows::Create;
  fake.Destroy = &TFakeWindows::Destroy;
  TcxFormatControllerWindowHooks saved = cxSetFormatControllerWindowHooks(fake);
  {
    TcxFormatController fc;
    EXPECT_EQ(fc.WindowHandle(), nullptr);
    TListener a, b;
    fc.AddListener(&a);
    void* window = fc.WindowHandle();
    EXPECT_NE(window, nullptr);
    fc.AddListener(&b);
    EXPECT_EQ(TFakeWindows::created, 1);
    fc.RemoveListener(&a);
    EXPECT_EQ(TFakeWindows::destroyed, 0);
    fc.RemoveListener(&b);
    EXPECT_EQ(TFakeWindows::destroyed, 1);
    EXPECT_EQ(TFakeWindows::lastDestroyed, window);
    EXPECT_EQ(fc.WindowHandle(), nullptr);
    fc.AddListener(&a);
    EXPECT_EQ(TFakeWindows::created, 2);
  }
  // Freed with a listener still registered: its window goes too.
  EXPECT_EQ(TFakeWindows::destroyed, 2);
  cxSetFormatControllerWindowHooks(saved);
}

TEST(cxFormatController, ClassLibraryFormatsMoveTheEarliestYear) {
  TPinnedLocale pin(UsLocale());
  TcxFormatController* fc = cxFormatController();
  EXPECT_EQ(fc, cxFormatController());
  fc->SetUseClassLibraryDateTimeFormats(true);
  EXPECT_EQ(cxMinDateTime(), EncodeDate(1, 1, 1));
  fc->SetUseClassLibraryDateTimeFormats(false);
  EXPECT_EQ(cxMinDateTime(), EncodeDate(100, 1, 1));
}

TEST(cxFormatController, DisplayFormats) {
  TPinnedLocale pin(GermanLocale());
  EXPECT_EQ(TcxFormatController::GetDateTimeDisplayFormat(dtmkDate),
            "dd.MM.yyyy");
  EXPECT_EQ(TcxFormatController::GetDateTimeDisplayFormat(dtmkTime),
            "hh:mm:ss");
  EXPECT_EQ(TcxFormatController::GetDateTimeDisplayFormat(dtmkDateTime),
            "dd.MM.yyyy hh:mm:ss");
  EXPECT_EQ(GetCharString('c', 3), "ccc");
  EXPECT_EQ(GetCharString('c', 0), "");
}

}  // namespace
