#include "cxDateUtils.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "Platform.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxFormats.h"

Integer MinYear = 100;
Integer MaxYear = 9999;
TcxSmartTextToDateFunc SmartTextToDateFunc = nullptr;

// ---------------------------------------------------------------------------
// Locale source and clock
// ---------------------------------------------------------------------------

namespace {

// The system formats dates and times only within its own calendar range;
// outside it the conversion reports failure instead of decoding garbage.
bool ToSystemTime(TDateTime value, TSystemTime& st) {
  if (!std::isfinite(value) || value < -109205.0 || value >= 2958466.0) {
    return false;  // before 1601 or after 9999
  }
  try {
    DateTimeToSystemTime(value, st);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

TcxDateLocale& DefaultLocale() {
  static TcxDateLocale locale;
  return locale;
}

TcxDateLocale* g_locale = nullptr;
TcxNowFunc g_now;

}  // namespace

bool TcxDateLocale::GetInfo(Cardinal item, String& value) {
  return Platform::GetLocaleString(Platform::UserDefaultLCID(), item, value);
}

bool TcxDateLocale::FormatDate(TDateTime date, Cardinal flags,
                               const String& format, String& result) {
  TSystemTime st;
  if (!ToSystemTime(date, st)) return false;
  return Platform::FormatDateLocale(Platform::UserDefaultLCID(), st, flags,
                                    format, result);
}

bool TcxDateLocale::FormatTime(TDateTime time, String& result) {
  TSystemTime st;
  if (!ToSystemTime(time, st)) return false;
  return Platform::FormatTimeLocale(Platform::UserDefaultLCID(), st, 0,
                                    String(), result);
}

TcxDateLocale& cxDateLocale() { return g_locale ? *g_locale : DefaultLocale(); }

TcxDateLocale* cxSetDateLocale(TcxDateLocale* locale) {
  TcxDateLocale* old = g_locale;
  g_locale = locale;
  return old;
}

TcxNowFunc cxSetNowFunc(TcxNowFunc now) {
  TcxNowFunc old = std::move(g_now);
  g_now = std::move(now);
  return old;
}

TDateTime cxNow() { return g_now ? g_now() : Now(); }

namespace {

String LocaleInfo(Cardinal item, const String& def) {
  String value;
  if (!cxDateLocale().GetInfo(item, value)) return def;
  return value;
}

}  // namespace

// ---------------------------------------------------------------------------
// Calendar arithmetic
// ---------------------------------------------------------------------------

void DecMonth(Word& AYear, Word& AMonth) {
  if (AMonth <= 1) {
    --AYear;
    AMonth = 12;
  } else {
    --AMonth;
  }
}

void IncMonth(Word& AYear, Word& AMonth) {
  if (AMonth >= 12) {
    ++AYear;
    AMonth = 1;
  } else {
    ++AMonth;
  }
}

void ChangeMonth(Word& AYear, Word& AMonth, Integer ADelta) {
  Integer year = AYear + ADelta / 12;
  Integer month = AMonth + ADelta % 12;
  if (month <= 0) {
    --year;
    month += 12;
  } else if (month > 12) {
    ++year;
    month -= 12;
  }
  AYear = static_cast<Word>(year);
  AMonth = static_cast<Word>(month);
}

Integer GetMonthNumber(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return y * 12 + m - 12;
}

Integer GetDateElement(TDateTime ADate, TcxDateElement AElement) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  switch (AElement) {
    case deYear:
      return y;
    case deMonth:
      return m;
    default:
      return d;
  }
}

Word DaysPerMonth(Word AYear, Word AMonth) {
  static const Word kDays[12] = {31, 28, 31, 30, 31, 30,
                                 31, 31, 30, 31, 30, 31};
  if (AMonth < 1 || AMonth > 12) return 0;
  Word days = kDays[AMonth - 1];
  if (AMonth == 2 && IsLeapYear(AYear)) ++days;
  return days;
}

Word CheckDay(Word AYear, Word AMonth, Integer ADay) {
  if (ADay <= 0) return 1;
  Word last = DaysPerMonth(AYear, AMonth);
  if (ADay > last) return last;
  return static_cast<Word>(ADay);
}

TDateTime TimeOf(TDateTime ADate) { return ADate - std::trunc(ADate); }

TDateTime DateOf(TDateTime ADate) { return std::trunc(ADate); }

TDayOfWeek DayOfWeekOffset(TDateTime ADate) {
  Integer start = cxFormatController()->StartOfWeek();
  return (DayOfWeek(ADate) - 1 - start + 7) % 7;
}

TDay GetStartOfWeek() {
  // The locale counts from Monday (0); TDay counts from Sunday.
  Integer day = StrToIntDef(LocaleInfo(cxLocaleIFirstDayOfWeek, "0"), 0);
  if (day < 0 || day > 6) day = 0;
  return static_cast<TDay>((day + 1) % 7);
}

TDateTime GetStartDateOfMonth(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return EncodeDate(y, m, 1);
}

namespace {
const TDateTime kLastMomentOfDay = EncodeTime(23, 59, 59, 999);
}

TDateTime GetEndDateOfMonth(TDateTime ADate, bool ADateOnly) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  TDateTime r = EncodeDate(y, m, DaysPerMonth(y, m));
  return ADateOnly ? r : r + kLastMomentOfDay;
}

TDateTime GetStartDateOfYear(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return EncodeDate(y, 1, 1);
}

TDateTime GetEndDateOfYear(TDateTime ADate, bool ADateOnly) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  TDateTime r = EncodeDate(y, 12, 31);
  return ADateOnly ? r : r + kLastMomentOfDay;
}

namespace {

// The first day of week 1 of the year that begins on AJan1, a day with
// weekday number AJan1Weekday. Nothing here decodes a date, so that this
// also serves the year before the first representable one.
TDateTime FirstDayOfWeekOne(TDateTime AJan1, Integer AJan1Weekday,
                            Integer AStart, TcxFirstWeekOfYear ARule) {
  TDateTime first = AJan1 - ((AJan1Weekday - 1 - AStart) % 7 + 7) % 7;
  if (ARule == fwyFirstFullWeek) {
    if (first < AJan1) first += 7;
  } else if (ARule == fwyFirstFourDays) {
    if (first + 3 < AJan1) first += 7;
  }
  return first;
}

}  // namespace

Integer GetWeekNumber(TDateTime ADate, TDay AStartOfWeek,
                      TcxFirstWeekOfYear AFirstWeekOfYear) {
  if (AFirstWeekOfYear == fwySystem) {
    Integer rule =
        StrToIntDef(LocaleInfo(cxLocaleIFirstWeekOfYear, "0"), 0) + 1;
    if (rule < fwyJan1 || rule > fwyFirstFourDays) rule = fwyJan1;
    AFirstWeekOfYear = static_cast<TcxFirstWeekOfYear>(rule);
  }
  const Integer start = AStartOfWeek;
  const TDateTime day = DateOf(ADate);
  Word y, m, d;
  DecodeDate(day, y, m, d);
  const TDateTime jan1 = EncodeDate(y, 1, 1);
  const Integer jan1Weekday = DayOfWeek(jan1);
  TDateTime first =
      FirstDayOfWeekOne(jan1, jan1Weekday, start, AFirstWeekOfYear);
  if (day < first) {
    // The first days of January before week 1 belong to the last week of
    // the year before; truncating a negative distance would call them
    // week 1 and show two different weeks under the same number.
    const Integer daysBefore = IsLeapYear(static_cast<Word>(y - 1)) ? 366 : 365;
    const Integer weekdayBefore =
        ((jan1Weekday - 1 - daysBefore) % 7 + 7) % 7 + 1;
    first = FirstDayOfWeekOne(jan1 - daysBefore, weekdayBefore, start,
                              AFirstWeekOfYear);
    return static_cast<Integer>(day - first) / 7 + 1;
  }
  Integer week = static_cast<Integer>(day - first) / 7 + 1;
  if (m == 12) {
    TDateTime weekStart = day - ((DayOfWeek(day) - 1 - start) % 7 + 7) % 7;
    if (AFirstWeekOfYear == fwyJan1 && weekStart + 6 <= 2958465.0 &&
        GetDateElement(weekStart + 6, deMonth) == 1) {
      week = 1;
    } else if (AFirstWeekOfYear == fwyFirstFourDays &&
               weekStart + 3 <= 2958465.0 &&
               GetDateElement(weekStart + 3, deMonth) == 1) {
      week = 1;
    }
  }
  return week;
}

// ---------------------------------------------------------------------------
// Smart date words
// ---------------------------------------------------------------------------

namespace {

const TcxResourceString* const kSmartWords[cxSmartDateWordCount] = {
    &cxSDateToday,   &cxSDateYesterday, &cxSDateTomorrow,  &cxSDateSunday,
    &cxSDateMonday,  &cxSDateTuesday,   &cxSDateWednesday, &cxSDateThursday,
    &cxSDateFriday,  &cxSDateSaturday,  &cxSDateFirst,     &cxSDateSecond,
    &cxSDateThird,   &cxSDateFourth,    &cxSDateFifth,     &cxSDateSixth,
    &cxSDateSeventh, &cxSDateBOM,       &cxSDateEOM,       &cxSDateNow};

constexpr Integer kWordToday = 0;
constexpr Integer kWordYesterday = 1;
constexpr Integer kWordTomorrow = 2;
constexpr Integer kWordSunday = 3;
constexpr Integer kWordSaturday = 9;
constexpr Integer kWordFirst = 10;
constexpr Integer kWordSeventh = 16;
constexpr Integer kWordBOM = 17;
constexpr Integer kWordEOM = 18;
constexpr Integer kWordNow = 19;

// The system's locale-neutral comparison, as the words are matched.
constexpr Cardinal kLocaleSystemDefault = 0x0800;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The offset that may follow a word: nothing, a lone sign, or a sign and a
// decimal number of days. nullopt for anything else.
std::optional<Integer> ReadDayOffset(const String& rest) {
  if (rest.empty()) return 0;
  if (rest[0] != '+' && rest[0] != '-') return std::nullopt;
  String digits = Trim(rest.substr(1));
  if (digits.empty()) return 0;
  Int64 value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 0x7FFFFFFF) return std::nullopt;
  }
  Integer n = static_cast<Integer>(value);
  return rest[0] == '-' ? -n : n;
}

TDateTime SmartWordDate(Integer index) {
  const TDateTime now = cxNow();
  const TDateTime today = DateOf(now);
  if (index == kWordToday) return today;
  if (index == kWordYesterday) return today - 1;
  if (index == kWordTomorrow) return today + 1;
  if (index >= kWordSunday && index <= kWordSaturday) {
    Integer delta = index - 2 - DayOfWeek(today);
    if (delta < 0) delta += 7;
    return today + delta;
  }
  if (index >= kWordFirst && index <= kWordSeventh) {
    return today - (DayOfWeekOffset(today) - (index - kWordFirst));
  }
  if (index == kWordBOM) return GetStartDateOfMonth(today);
  if (index == kWordEOM) return GetEndDateOfMonth(today, true);
  return now;
}

}  // namespace

String cxQuotedRegExprLiteral(const String& AText) {
  String r;
  bool open = false;
  for (char c : AText) {
    if (c == '\'') {
      if (open) {
        r += '\'';
        open = false;
      }
      r += "\\'";
    } else {
      if (!open) {
        r += '\'';
        open = true;
      }
      r += c;
    }
  }
  if (open) r += '\'';
  return r;
}

String cxGetSmartDateWord(Integer AIndex) {
  if (AIndex < 0 || AIndex >= cxSmartDateWordCount) return String();
  return cxGetResourceString(*kSmartWords[AIndex]);
}

bool SmartTextToDate(const String& AText, TDateTime& ADate) {
  struct Word_ {
    Integer index;
    String text;
  };
  std::vector<Word_> words;
  for (Integer i = 0; i < cxSmartDateWordCount; ++i) {
    String w = cxGetSmartDateWord(i);
    // An emptied word would match every text.
    if (!w.empty()) words.push_back({i, w});
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const Word_& a, const Word_& b) {
                     return a.text.size() > b.text.size();
                   });
  const String text = Trim(AText);
  for (const Word_& w : words) {
    if (text.size() < w.text.size()) continue;
    if (Platform::CompareAnsiLocale(kLocaleSystemDefault,
                                    text.substr(0, w.text.size()), w.text,
                                    true) != 0) {
      continue;
    }
    // A word counts only as the whole text or before a day offset:
    // "nowhere" and "Mondays" are no smart dates.
    std::optional<Integer> offset =
        ReadDayOffset(Trim(text.substr(w.text.size())));
    if (!offset) continue;
    try {
      ADate = SmartWordDate(w.index) + *offset;
    } catch (const Exception&) {
      return false;  // today lies outside the calendar
    }
    return true;
  }
  if (SmartTextToDateFunc) return SmartTextToDateFunc(AText, ADate);
  return false;
}

void AddDateRegExprMaskSmartInput(String& AMask, bool ADateTime) {
  String words;
  const Integer count = ADateTime ? cxSmartDateWordCount : kWordNow;
  for (Integer i = 0; i < count; ++i) {
    String w = cxGetSmartDateWord(i);
    if (w.empty()) continue;
    if (!words.empty()) words += '|';
    words += cxQuotedRegExprLiteral(w);
  }
  AMask = "(" + AMask + ")|(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

// ---------------------------------------------------------------------------
// Text to date
// ---------------------------------------------------------------------------

namespace {

String FirstChar(const String& s) { return s.empty() ? s : s.substr(0, 1); }

// Removes the literal words of the locale's date and time formats and
// normalises blanks, so that "Tuesday, 5. March 2024" reads as a plain
// date; with useLocale the locale's date separator becomes a blank too.
String PrepareTextForConversion(const String& text, bool useLocale) {
  std::vector<String> keep;
  if (useLocale) {
    keep = {FirstChar(LocaleInfo(Platform::liSDate, "")),
            FirstChar(LocaleInfo(Platform::liSTime, "")),
            LocaleInfo(Platform::liS1159, "am"),
            LocaleInfo(Platform::liS2359, "pm")};
  } else {
    keep = {String(1, DateSeparator), String(1, TimeSeparator), TimeAMString,
            TimePMString};
  }
  for (String& k : keep) k = AnsiUpperCase(Trim(k));

  String r = text;
  TcxFormatController* fc = cxFormatController();
  for (const TcxDateTimeFormatInfo* info :
       {&fc->DateFormatInfo(), &fc->TimeFormatInfo()}) {
    for (const TcxDateTimeFormatItem& item : info->Items) {
      if (item.Kind != dtikString) continue;
      String literal = AnsiUpperCase(Trim(item.Data));
      if (literal.empty() ||
          std::find(keep.begin(), keep.end(), literal) != keep.end()) {
        continue;
      }
      r = StringReplace(r, literal, String(literal.size(), ' '),
                        rfReplaceAll | rfIgnoreCase);
    }
  }

  r = Trim(r);
  String collapsed;
  for (char c : r) {
    if (IsBlank(c)) {
      if (!collapsed.empty() && collapsed.back() == ' ') continue;
      c = ' ';
    }
    collapsed += c;
  }
  if (useLocale) {
    String sep = LocaleInfo(Platform::liSDate, "");
    if (!sep.empty()) {
      collapsed = StringReplace(collapsed, sep, " ", rfReplaceAll);
    }
  }
  return collapsed;
}

// The locale's lenient reading of a date and time, as the variant
// conversion does it: the date's numbers may be separated by blanks or
// punctuation, months may be named, and the order of day, month and year
// follows the locale's short date format.
class TLocaleDateReader {
 public:
  bool Read(const String& text, TDateTime& result) {
    if (!Tokenize(text)) return false;
    TDateTime time = 0;
    if (!TakeTime(time)) return false;
    TDateTime date = 0;
    if (!TakeDate(date)) return false;
    result = date >= 0 ? date + time : date - time;
    return true;
  }

 private:
  enum Kind { kNumber, kMonth, kAm, kPm, kTimeSep };
  struct Token {
    Kind kind;
    Integer value = 0;
    Integer digits = 0;
    bool used = false;
  };
  std::vector<Token> tokens_;

  static bool IsLetter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
  }

  bool Tokenize(const String& text) {
    const char timeSep =
        FirstChar(LocaleInfo(Platform::liSTime, ":")).append(":").front();
    const String am = LocaleInfo(Platform::liS1159, "AM");
    const String pm = LocaleInfo(Platform::liS2359, "PM");
    std::size_t i = 0;
    while (i < text.size()) {
      char c = text[i];
      if (c >= '0' && c <= '9') {
        std::size_t start = i;
        Int64 v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
          if (i - start >= 9) return false;
          v = v * 10 + (text[i] - '0');
          ++i;
        }
        tokens_.push_back({kNumber, static_cast<Integer>(v),
                           static_cast<Integer>(i - start)});
      } else if (IsLetter(c)) {
        std::size_t start = i;
        while (i < text.size() && IsLetter(text[i])) ++i;
        String word = text.substr(start, i - start);
        if (!ReadWord(word, am, pm)) return false;
      } else if (c == timeSep || c == ':') {
        tokens_.push_back({kTimeSep});
        ++i;
      } else {
        ++i;  // blanks and punctuation only separate
      }
    }
    return true;
  }

  bool ReadWord(const String& word, const String& am, const String& pm) {
    if ((!am.empty() && AnsiSameText(word, am)) || SameText(word, "AM") ||
        SameText(word, "A")) {
      tokens_.push_back({kAm});
      return true;
    }
    if ((!pm.empty() && AnsiSameText(word, pm)) || SameText(word, "PM") ||
        SameText(word, "P")) {
      tokens_.push_back({kPm});
      return true;
    }
    for (Integer m = 0; m < 12; ++m) {
      String longName = LocaleInfo(Platform::liSMonthName1 + m, "");
      String shortName = LocaleInfo(Platform::liSAbbrevMonthName1 + m, "");
      if ((!longName.empty() && AnsiSameText(word, longName)) ||
          (!shortName.empty() && AnsiSameText(word, shortName))) {
        tokens_.push_back({kMonth, m + 1});
        return true;
      }
    }
    return false;
  }

  // The time: hour:minute[:second], or an hour before AM/PM; the tokens
  // it uses are marked.
  bool TakeTime(TDateTime& time) {
    Integer hour = -1, minute = 0, second = 0;
    std::size_t i = 0;
    for (; i < tokens_.size(); ++i) {
      if (tokens_[i].kind != kNumber || i + 1 >= tokens_.size()) continue;
      Kind next = tokens_[i + 1].kind;
      if (next == kTimeSep || next == kAm || next == kPm) break;
    }
    if (i < tokens_.size()) {
      hour = tokens_[i].value;
      tokens_[i].used = true;
      std::size_t j = i + 1;
      if (j + 1 < tokens_.size() && tokens_[j].kind == kTimeSep &&
          tokens_[j + 1].kind == kNumber) {
        tokens_[j].used = tokens_[j + 1].used = true;
        minute = tokens_[j + 1].value;
        j += 2;
        if (j + 1 < tokens_.size() && tokens_[j].kind == kTimeSep &&
            tokens_[j + 1].kind == kNumber) {
          tokens_[j].used = tokens_[j + 1].used = true;
          second = tokens_[j + 1].value;
          j += 2;
        }
      } else if (tokens_[j].kind == kTimeSep) {
        return false;
      }
    }
    Integer ampm = -1;
    for (Token& t : tokens_) {
      if (t.kind == kAm || t.kind == kPm) {
        if (ampm >= 0 || hour < 0) return false;
        ampm = t.kind == kPm ? 1 : 0;
        t.used = true;
      }
    }
    for (const Token& t : tokens_) {
      if (t.kind == kTimeSep && !t.used) return false;
    }
    if (hour < 0) return true;
    if (ampm >= 0) {
      if (hour < 1 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += ampm * 12;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(minute),
                         static_cast<Word>(second), 0, time);
  }

  static Integer FullYear(const Token& t) {
    if (t.digits > 2) return t.value;
    return t.value < 30 ? 2000 + t.value : 1900 + t.value;
  }

  enum Order { kMDY, kDMY, kYMD };

  static Order LocaleOrder() {
    String format = LocaleInfo(Platform::liSShortDate, "M/d/yyyy");
    bool quoted = false;
    for (char c : format) {
      if (c == '\'') quoted = !quoted;
      if (quoted) continue;
      switch (c) {
        case 'y':
        case 'Y':
          return kYMD;
        case 'd':
        case 'D':
          return kDMY;
        case 'M':
          return kMDY;
        default:
          break;
      }
    }
    return kMDY;
  }

  bool TakeDate(TDateTime& date) {
    std::vector<Token> numbers;
    Integer month = 0;
    bool anyTime = false;
    for (const Token& t : tokens_) {
      if (t.used) {
        anyTime = true;
        continue;
      }
      if (t.kind == kNumber) {
        numbers.push_back(t);
      } else if (t.kind == kMonth) {
        if (month) return false;
        month = t.value;
      }
    }
    if (numbers.empty() && !month) {
      date = 0;  // a time alone
      return anyTime;
    }
    const Integer thisYear = GetDateElement(cxNow(), deYear);
    const Order order = LocaleOrder();
    Integer y = 0, m = 0, d = 0;
    if (month) {
      m = month;
      if (numbers.size() == 1) {
        if (numbers[0].digits > 2 || numbers[0].value > 31) {
          y = FullYear(numbers[0]);
          d = 1;
        } else {
          d = numbers[0].value;
          y = thisYear;
        }
      } else if (numbers.size() == 2) {
        bool yearFirst =
            order == kYMD || numbers[0].digits > 2 || numbers[0].value > 31;
        const Token& yt = yearFirst ? numbers[0] : numbers[1];
        d = (yearFirst ? numbers[1] : numbers[0]).value;
        y = FullYear(yt);
      } else {
        return false;
      }
    } else if (numbers.size() == 3) {
      Order o = order;
      if (numbers[0].digits > 2) o = kYMD;
      const Token* yt;
      switch (o) {
        case kMDY:
          m = numbers[0].value;
          d = numbers[1].value;
          yt = &numbers[2];
          break;
        case kDMY:
          d = numbers[0].value;
          m = numbers[1].value;
          yt = &numbers[2];
          break;
        default:
          yt = &numbers[0];
          m = numbers[1].value;
          d = numbers[2].value;
          break;
      }
      y = FullYear(*yt);
    } else if (numbers.size() == 2) {
      y = thisYear;
      if (order == kDMY) {
        d = numbers[0].value;
        m = numbers[1].value;
      } else {
        m = numbers[0].value;
        d = numbers[1].value;
      }
    } else {
      return false;
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m),
                         static_cast<Word>(d), date);
  }
};

bool LocaleTextToDate(const String& text, TDateTime& date) {
  TLocaleDateReader reader;
  return reader.Read(text, date);
}

bool IsDateInRange(TDateTime date) {
  if (!(date > -2147483648.0 && date < 2147483647.0)) return false;
  if (std::trunc(date) == 0) return false;
  // Only days the calendar can name: from 1 January 1 to the end of 9999.
  if (date >= 2958466.0 || date <= -693594.0) return false;
  return GetDateElement(date, deYear) <= MaxYear;
}

}  // namespace

bool TextToDateEx(const String& AText, TDateTime& ADate) {
  const String text = Trim(AText);
  if (text.empty()) return false;
  try {
    TDateTime date;
    if (!SmartTextToDate(text, date)) {
      const bool classLibrary =
          cxFormatController()->UseClassLibraryDateTimeFormats();
      const String prepared = PrepareTextForConversion(text, !classLibrary);
      if (classLibrary) {
        date = StrToDateTime(prepared);
      } else if (!LocaleTextToDate(prepared, date)) {
        ADate = NullDate;
        return false;
      }
    }
    ADate = date;
    return IsDateInRange(date);
  } catch (...) {
    ADate = NullDate;
    return false;
  }
}

bool cxStrToDateTime(const String& AText, bool AUseOleDateFormat,
                     TDateTime& ADate) {
  ADate = NullDate;
  try {
    const String prepared = PrepareTextForConversion(AText, AUseOleDateFormat);
    TDateTime date;
    if (AUseOleDateFormat) {
      if (!LocaleTextToDate(prepared, date)) return false;
    } else {
      date = StrToDateTime(prepared);
    }
    ADate = date;
    return true;
  } catch (const Exception&) {
    ADate = NullDate;
    return false;
  }
}

// ---------------------------------------------------------------------------
// Date to text
// ---------------------------------------------------------------------------

bool cxGetDateFormat(TDateTime ADate, String& AFormattedDate, Cardinal AFlags,
                     const String& AFormat) {
  String text;
  if (!cxDateLocale().FormatDate(ADate, AFlags, AFormat, text)) {
    AFormattedDate.clear();
    return false;
  }
  AFormattedDate = text;
  return true;
}

String DateToLongDateStr(TDateTime ADate) {
  String r;
  if (cxGetDateFormat(ADate, r, cxDateLongDate, String())) return r;
  return FormatDateTime("dddddd", ADate);
}

String cxDateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded,
                        bool AUseClassLibraryDateTimeFormats) {
  if (ADate == NullDate) return String();
  const bool hasTime = TimeOf(ADate) != 0;
  String format;
  if (AUseClassLibraryDateTimeFormats) {
    format = ShortDateFormat;
    if (hasTime) format += " " + LongTimeFormat;
  } else {
    format = LocaleInfo(Platform::liSShortDate, "");
  }
  if (AFourDigitYearNeeded) {
    String lower = LowerCase(format);
    std::size_t p = lower.find("yy");
    if (p != String::npos && lower.find("yyy") == String::npos) {
      format.insert(p + 2, 2, format[p]);
    }
  }
  try {
    if (AUseClassLibraryDateTimeFormats) return FormatDateTime(format, ADate);
    String text;
    if (cxDateLocale().FormatDate(ADate, 0, format, text)) {
      String time;
      if (hasTime && cxDateLocale().FormatTime(ADate, time)) {
        text += " " + time;
      }
      return text;
    }
    return VarToStr(VarFromDateTime(ADate));
  } catch (const Exception&) {
    return String();
  }
}

String DateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded) {
  return cxDateTimeToText(
      ADate, AFourDigitYearNeeded,
      cxFormatController()->UseClassLibraryDateTimeFormats());
}

String DateTimeToTextEx(TDateTime ADate, bool AIsMasked, bool AIsDateTimeEdit,
                        bool AFourDigitYearNeeded) {
  if (ADate == NullDate) return String();
  if (!AIsMasked) return DateTimeToText(ADate, AFourDigitYearNeeded);
  TcxFormatController* fc = cxFormatController();
  try {
    if (AIsDateTimeEdit) {
      return FormatDateTime(fc->MaskedDateTimeEditFormat(), ADate);
    }
    return FormatDateTime(fc->MaskedDateEditFormat(), DateOf(ADate));
  } catch (const Exception&) {
    return String();  // outside the calendar
  }
}

TDateTime cxMinDateTime() {
  return EncodeDate(static_cast<Word>(MinYear), 1, 1);
}
