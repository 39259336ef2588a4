// Dates and times of the SysUtils unit.
#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SysConst.h"
#include "SysUtils.h"
#include "SysUtilsPrivate.h"

using sysutils_detail::Upper;

// ---------------------------------------------------------------------------
// Dates and times
// ---------------------------------------------------------------------------

namespace {

// Days from 1899-12-30 to year-month-day (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468 + 25569;
}

void CivilFromDays(long z, long& y, unsigned& m, unsigned& d) {
  z += 719468 - 25569;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

// Day number and milliseconds of the day. The fraction counts forward from
// the date even for values before 1899-12-30 (-1.25 is 1899-12-29 06:00).
// Rounding to the millisecond may reach midnight, which belongs to the next
// day.
void SplitDateTime(TDateTime v, long& day, long& msec) {
  if (!std::isfinite(v) || v > 2958466.0 || v < -693594.0) {
    throw EConvertError(SInvalidDateTime, {FloatToStr(v)});
  }
  double whole = std::trunc(v);
  day = static_cast<long>(whole);
  double frac = std::fabs(v - whole);
  msec = static_cast<long>(std::nearbyint(frac * MSecsPerDay));
  if (msec >= MSecsPerDay) {
    msec -= MSecsPerDay;
    ++day;
  }
}

TDateTime JoinDateTime(TDateTime date, TDateTime time) {
  return date >= 0 ? date + time : date - time;
}

}  // namespace

bool IsLeapYear(Word year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

Word MonthDays(bool leapYear, Word month) {
  static const Word kDays[12] = {31, 28, 31, 30, 31, 30,
                                 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && leapYear ? 29 : kDays[month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > MonthDays(IsLeapYear(year), month)) {
    return false;
  }
  date = static_cast<TDateTime>(DaysFromCivil(year, month, day));
  return true;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d))
    throw EConvertError(SDateEncodeError);
  return d;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) {
    throw EConvertError(STimeEncodeError);
  }
  return t;
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                       Word sec, Word msec, TDateTime& value) {
  TDateTime d, t;
  if (!TryEncodeDate(year, month, day, d) ||
      !TryEncodeTime(hour, min, sec, msec, t)) {
    return false;
  }
  value = JoinDateTime(d, t);
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                         Word sec, Word msec) {
  return JoinDateTime(EncodeDate(year, month, day),
                      EncodeTime(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day,
                    Word& hour, Word& min, Word& sec, Word& msec) {
  long days, ms;
  SplitDateTime(value, days, ms);
  long y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  year = static_cast<Word>(y);
  month = static_cast<Word>(m);
  day = static_cast<Word>(d);
  hour = static_cast<Word>(ms / 3600000);
  min = static_cast<Word>(ms / 60000 % 60);
  sec = static_cast<Word>(ms / 1000 % 60);
  msec = static_cast<Word>(ms % 1000);
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  Word h, n, s, z;
  DecodeDateTime(date, year, month, day, h, n, s, z);
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  Word y, m, d;
  DecodeDateTime(time, y, m, d, hour, min, sec, msec);
}

Integer DayOfWeek(TDateTime date) {
  long days, ms;
  SplitDateTime(date, days, ms);
  // 1899-12-30 was a Saturday (7).
  long r = (days % 7 + 7 + 6) % 7;
  return static_cast<Integer>(r + 1);
}

TDateTime SystemTimeToDateTime(const TSystemTime& st) {
  return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                        st.wSecond, st.wMilliseconds);
}

void DateTimeToSystemTime(TDateTime value, TSystemTime& st) {
  DecodeDateTime(value, st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                 st.wSecond, st.wMilliseconds);
  st.wDayOfWeek = static_cast<Word>(DayOfWeek(value) - 1);
}

TDateTime Now() { return SystemTimeToDateTime(Platform::LocalTime()); }

TDateTime Date() {
  TSystemTime st = Platform::LocalTime();
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Time() {
  TSystemTime st = Platform::LocalTime();
  return EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime IncMonth(TDateTime date, Integer months) {
  Word y, m, d, h, n, s, z;
  DecodeDateTime(date, y, m, d, h, n, s, z);
  long total = static_cast<long>(y) * 12 + (m - 1) + months;
  long ny = total / 12;
  Word nm = static_cast<Word>(total % 12 + 1);
  if (ny < 1 || ny > 9999) throw EConvertError(SDateEncodeError);
  Word nd = std::min<Word>(d, MonthDays(IsLeapYear(static_cast<Word>(ny)), nm));
  return EncodeDateTime(static_cast<Word>(ny), nm, nd, h, n, s, z);
}

// ---------------------------------------------------------------------------
// FormatDateTime
// ---------------------------------------------------------------------------

namespace {

bool StartsWithText(const String& s, std::size_t i, const char* word) {
  std::size_t n = std::strlen(word);
  if (i + n > s.size()) return false;
  for (std::size_t k = 0; k < n; ++k) {
    if (Upper(s[i + k]) != Upper(word[k])) return false;
  }
  return true;
}

// Does the format from position i on hold an AM/PM marker (outside quotes)?
bool HasAmPm(const String& f, std::size_t i) {
  for (; i < f.size(); ++i) {
    char c = f[i];
    if (c == '\'' || c == '"') {
      std::size_t end = f.find(c, i + 1);
      if (end == String::npos) return false;
      i = end;
    } else if (StartsWithText(f, i, "AM/PM") || StartsWithText(f, i, "A/P") ||
               StartsWithText(f, i, "AMPM")) {
      return true;
    }
  }
  return false;
}

String Pad2(unsigned v) {
  String s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

struct TDateParts {
  Word Year, Month, Day, Hour, Min, Sec, MSec;
  Integer DayOfWeek;  // 1 = Sunday
};

void FormatParts(String& out, const String& f, const TDateParts& p,
                 const TFormatSettings& fs, int depth) {
  // Formats that name other formats ("c", "ddddd", "t") may nest at most
  // twice, so a format that names itself cannot recurse without end.
  if (depth > 2) return;
  char lastToken = ' ';
  const std::size_t n = f.size();
  std::size_t i = 0;
  while (i < n) {
    char c = f[i];
    char token = Upper(c);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    auto count = [&](char u) {
      std::size_t k = i;
      while (k < n && Upper(f[k]) == u) ++k;
      return k - i;
    };
    switch (token) {
      case 'Y': {
        std::size_t k = count('Y');
        out += k <= 2 ? Pad2(p.Year % 100) : [&] {
          String s = std::to_string(p.Year);
          return String(s.size() < 4 ? 4 - s.size() : 0, '0') + s;
        }();
        i += k;
        break;
      }
      case 'M':
      case 'N': {
        // 'N' came from an 'm' after an hour: minutes.
        std::size_t k = count(Upper(c));
        if (token == 'N') {
          k = std::min<std::size_t>(k, 2);
          out += k == 1 ? std::to_string(p.Min) : Pad2(p.Min);
        } else if (k == 1) {
          out += std::to_string(p.Month);
        } else if (k == 2) {
          out += Pad2(p.Month);
        } else if (k == 3) {
          out += fs.ShortMonthNames[p.Month - 1];
        } else {
          out += fs.LongMonthNames[p.Month - 1];
          k = std::min<std::size_t>(k, 4);
        }
        i += k;
        break;
      }
      case 'D': {
        std::size_t k = count('D');
        switch (k) {
          case 1:
            out += std::to_string(p.Day);
            break;
          case 2:
            out += Pad2(p.Day);
            break;
          case 3:
            out += fs.ShortDayNames[p.DayOfWeek - 1];
            break;
          case 4:
            out += fs.LongDayNames[p.DayOfWeek - 1];
            break;
          case 5:
            FormatParts(out, fs.ShortDateFormat, p, fs, depth + 1);
            break;
          default:
            k = 6;
            FormatParts(out, fs.LongDateFormat, p, fs, depth + 1);
            break;
        }
        i += k;
        break;
      }
      case 'E': {
        // Gregorian calendars have no era offset: the plain year.
        std::size_t k = std::min<std::size_t>(count('E'), 2);
        out += k == 1 ? std::to_string(p.Year) : Pad2(p.Year);
        i += count('E');
        break;
      }
      case 'G':
        // Era names exist only for the eastern calendars.
        i += count('G');
        break;
      case 'H': {
        std::size_t k = std::min<std::size_t>(count('H'), 2);
        unsigned h = p.Hour;
        if (HasAmPm(f, i)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += k == 1 ? std::to_string(h) : Pad2(h);
        i += count('H');
        break;
      }
      case 'S': {
        std::size_t k = std::min<std::size_t>(count('S'), 2);
        out += k == 1 ? std::to_string(p.Sec) : Pad2(p.Sec);
        i += count('S');
        break;
      }
      case 'Z': {
        std::size_t k = count('Z');
        String s = std::to_string(p.MSec);
        if (k >= 3) s = String(3 - s.size(), '0') + s;
        out += s;
        i += std::min<std::size_t>(k, 3);
        break;
      }
      case 'T': {
        std::size_t k = count('T');
        FormatParts(out, k == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs,
                    depth + 1);
        i += std::min<std::size_t>(k, 2);
        break;
      }
      case 'C': {
        FormatParts(out, fs.ShortDateFormat, p, fs, depth + 1);
        if (p.Hour || p.Min || p.Sec) {
          out += ' ';
          FormatParts(out, fs.LongTimeFormat, p, fs, depth + 1);
        }
        ++i;
        break;
      }
      case 'A': {
        bool pm = p.Hour >= 12;
        if (StartsWithText(f, i, "AM/PM")) {
          out += pm ? f.substr(i + 3, 2) : f.substr(i, 2);
          i += 5;
        } else if (StartsWithText(f, i, "A/P")) {
          out += pm ? f[i + 2] : f[i];
          i += 3;
        } else if (StartsWithText(f, i, "AMPM")) {
          out += pm ? fs.TimePMString : fs.TimeAMString;
          i += 4;
        } else {
          out += c;
          ++i;
        }
        break;
      }
      case '/':
        if (fs.DateSeparator) out += fs.DateSeparator;
        ++i;
        break;
      case ':':
        if (fs.TimeSeparator) out += fs.TimeSeparator;
        ++i;
        break;
      case '\'':
      case '"': {
        std::size_t end = f.find(c, i + 1);
        if (end == String::npos) end = n;
        out.append(f, i + 1, end - i - 1);
        i = end + 1;
        break;
      }
      default:
        out += c;
        ++i;
        break;
    }
  }
}

}  // namespace

void DateTimeToString(String& result, const String& format, TDateTime value,
                      const TFormatSettings& fs) {
  TDateParts p;
  DecodeDateTime(value, p.Year, p.Month, p.Day, p.Hour, p.Min, p.Sec, p.MSec);
  p.DayOfWeek = DayOfWeek(value);
  result.clear();
  FormatParts(result, format.empty() ? String("C") : format, p, fs, 0);
}

void DateTimeToString(String& result, const String& format, TDateTime value) {
  DateTimeToString(result, format, value, FormatSettings);
}

String FormatDateTime(const String& format, TDateTime value,
                      const TFormatSettings& fs) {
  String r;
  DateTimeToString(r, format, value, fs);
  return r;
}

String FormatDateTime(const String& format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings);
}

String DateToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("ddddd", value, fs);
}
String DateToStr(TDateTime value) { return DateToStr(value, FormatSettings); }
String TimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("tt", value, fs);
}
String TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings); }
String DateTimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("c", value, fs);
}
String DateTimeToStr(TDateTime value) {
  return DateTimeToStr(value, FormatSettings);
}

// ---------------------------------------------------------------------------
// Text to dates and times
// ---------------------------------------------------------------------------

namespace {

struct TScanner {
  const String& s;
  std::size_t pos = 0;

  void Blanks() {
    while (pos < s.size() && s[pos] == ' ') ++pos;
  }
  bool AtEnd() {
    Blanks();
    return pos >= s.size();
  }
  // Up to four digits; digits is their count (0 when none).
  bool Number(Word& value, int& digits) {
    Blanks();
    std::size_t start = pos;
    unsigned v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' &&
           pos - start < 4) {
      v = v * 10 + (s[pos] - '0');
      ++pos;
    }
    digits = static_cast<int>(pos - start);
    if (digits == 0) return false;
    if (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') return false;
    value = static_cast<Word>(v);
    return true;
  }
  bool Char(char c) {
    Blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool Text(const String& word) {
    Blanks();
    if (word.empty() || !StartsWithText(s, pos, word.c_str())) return false;
    pos += word.size();
    return true;
  }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrder(const String& shortDateFormat) {
  for (char c : shortDateFormat) {
    switch (Upper(c)) {
      case 'E':
      case 'Y':
        return doYMD;
      case 'M':
        return doMDY;
      case 'D':
        return doDMY;
      default:
        break;
    }
  }
  return doMDY;
}

bool ScanDate(TScanner& sc, TDateTime& date, const TFormatSettings& fs) {
  Word n1, n2, n3 = 0;
  int l1, l2, l3 = 0;
  if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2)) {
    return false;
  }
  bool three = false;
  if (sc.Char(fs.DateSeparator)) {
    if (!sc.Number(n3, l3)) return false;
    three = true;
  }
  TSystemTime now = Platform::LocalTime();
  Word y, m, d;
  int yearDigits = 4;
  TDateOrder order = DateOrder(fs.ShortDateFormat);
  if (!three) {
    y = now.wYear;
    if (order == doDMY) {
      d = n1;
      m = n2;
    } else {
      m = n1;
      d = n2;
    }
  } else {
    switch (order) {
      case doMDY:
        m = n1;
        d = n2;
        y = n3;
        yearDigits = l3;
        break;
      case doDMY:
        d = n1;
        m = n2;
        y = n3;
        yearDigits = l3;
        break;
      default:
        y = n1;
        m = n2;
        d = n3;
        yearDigits = l1;
        break;
    }
    if (yearDigits <= 2) {
      // Two-digit years fall in the hundred years that end
      // TwoDigitYearCenturyWindow years after this one; with a window of 0
      // they belong to the current century.
      int current = now.wYear;
      int window = fs.TwoDigitYearCenturyWindow;
      int base = current - window;
      int year = y + base / 100 * 100;
      if (window > 0 && year < base) year += 100;
      y = static_cast<Word>(year);
    }
  }
  return TryEncodeDate(y, m, d, date);
}

bool ScanAmPm(TScanner& sc, const TFormatSettings& fs, int& ampm) {
  if (sc.Text(fs.TimeAMString) || sc.Text("AM")) {
    ampm = 0;
    return true;
  }
  if (sc.Text(fs.TimePMString) || sc.Text("PM")) {
    ampm = 1;
    return true;
  }
  return false;
}

bool ScanTime(TScanner& sc, TDateTime& time, const TFormatSettings& fs) {
  int ampm = -1;
  ScanAmPm(sc, fs, ampm);
  Word h, m = 0, s = 0, z = 0;
  int l;
  if (!sc.Number(h, l)) return false;
  bool minutes = false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(m, l)) return false;
    minutes = true;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(s, l)) return false;
      if (sc.Char(fs.DecimalSeparator)) {
        if (!sc.Number(z, l)) return false;
      }
    }
  }
  if (ampm < 0) ScanAmPm(sc, fs, ampm);
  // A lone number is not a time unless AM or PM says so.
  if (!minutes && ampm < 0) return false;
  if (ampm >= 0) {
    if (h > 12) return false;
    if (h == 12) h = 0;
    if (ampm == 1) h += 12;
  }
  return TryEncodeTime(h, m, s, z, time);
}

}  // namespace

bool TryStrToDate(const String& s, TDateTime& value,
                  const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime d;
  if (!ScanDate(sc, d, fs) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value,
                  const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime t;
  if (!ScanTime(sc, t, fs) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value,
                      const TFormatSettings& fs) {
  TScanner sc{s};
  TDateTime d, t = 0;
  if (ScanDate(sc, d, fs)) {
    if (!sc.AtEnd() && (!ScanTime(sc, t, fs) || !sc.AtEnd())) return false;
    value = JoinDateTime(d, t);
    return true;
  }
  return TryStrToTime(s, value, fs);
}

bool TryStrToDate(const String& s, TDateTime& value) {
  return TryStrToDate(s, value, FormatSettings);
}
bool TryStrToTime(const String& s, TDateTime& value) {
  return TryStrToTime(s, value, FormatSettings);
}
bool TryStrToDateTime(const String& s, TDateTime& value) {
  return TryStrToDateTime(s, value, FormatSettings);
}

TDateTime StrToDate(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDate(s, v, fs)) throw EConvertError(SInvalidDate, {s});
  return v;
}
TDateTime StrToTime(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToTime(s, v, fs)) throw EConvertError(SInvalidTime, {s});
  return v;
}
TDateTime StrToDateTime(const String& s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, fs)) throw EConvertError(SInvalidDateTime, {s});
  return v;
}
TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToDateTime(const String& s) {
  return StrToDateTime(s, FormatSettings);
}
TDateTime StrToDateDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToDate(s, v) ? v : def;
}
TDateTime StrToTimeDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToTime(s, v) ? v : def;
}
TDateTime StrToDateTimeDef(const String& s, TDateTime def) {
  TDateTime v;
  return TryStrToDateTime(s, v) ? v : def;
}
