#include "SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "SysConst.h"

// ---------------------------------------------------------------------------
// Format settings and system identity
// ---------------------------------------------------------------------------

namespace {

const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed",
                                   "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

}  // namespace

TFormatSettings DefaultFormatSettings() {
  TFormatSettings fs;
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = kShortMonths[i];
    fs.LongMonthNames[i] = kLongMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = kShortDays[i];
    fs.LongDayNames[i] = kLongDays[i];
  }
  return fs;
}

TFormatSettings FormatSettings = DefaultFormatSettings();
TSysLocale SysLocale;
Integer Win32Platform = VER_PLATFORM_WIN32_NT_;
Integer Win32MajorVersion = 0;
Integer Win32MinorVersion = 0;
Integer Win32BuildNumber = 0;
String Win32CSDVersion;

namespace classlib_detail {
TVariantFormatHooks VariantFormatHooks;
}

namespace {

String LocaleStr(Cardinal lcid, Cardinal item, const String& def) {
  String v;
  if (Platform::GetLocaleString(lcid, item, v) && !v.empty()) return v;
  return def;
}

char LocaleChar(Cardinal lcid, Cardinal item, char def) {
  String v = LocaleStr(lcid, item, String(1, def));
  return v.empty() ? def : v[0];
}

Integer LocaleInt(Cardinal lcid, Cardinal item, Integer def) {
  return StrToIntDef(LocaleStr(lcid, item, ""), def);
}

}  // namespace

String TranslateDateFormat(const String& picture, Integer calendarType) {
  const bool eras = calendarType == 3 || calendarType == 4;
  String r;
  std::size_t i = 0;
  while (i < picture.size()) {
    char c = picture[i];
    if (c == '\'' || c == '"') {
      // Quoted text is copied with its quotes: FormatDateTime reads them.
      std::size_t end = picture.find(c, i + 1);
      if (end == String::npos) end = picture.size() - 1;
      r.append(picture, i, end - i + 1);
      i = end + 1;
      continue;
    }
    if ((c == 'g' || c == 'G') && !eras) {
      while (i < picture.size() && (picture[i] == 'g' || picture[i] == 'G')) {
        ++i;
      }
      while (i < picture.size() && picture[i] == ' ') ++i;
      continue;
    }
    if (c == 'M' || c == 'D' || c == 'Y') c = static_cast<char>(c + 32);
    r += c;
    ++i;
  }
  return r;
}

void GetLocaleFormatSettings(Cardinal lcid, TFormatSettings& fs) {
  using namespace Platform;
  TFormatSettings def = DefaultFormatSettings();
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] =
        LocaleStr(lcid, liSAbbrevMonthName1 + i, def.ShortMonthNames[i]);
    fs.LongMonthNames[i] =
        LocaleStr(lcid, liSMonthName1 + i, def.LongMonthNames[i]);
  }
  // The system counts days from Monday; the settings from Sunday.
  for (int i = 0; i < 7; ++i) {
    Cardinal day = static_cast<Cardinal>((i + 6) % 7);
    fs.ShortDayNames[i] =
        LocaleStr(lcid, liSAbbrevDayName1 + day, def.ShortDayNames[i]);
    fs.LongDayNames[i] =
        LocaleStr(lcid, liSDayName1 + day, def.LongDayNames[i]);
  }
  fs.CurrencyString = LocaleStr(lcid, liSCurrency, "");
  fs.CurrencyFormat = static_cast<Byte>(LocaleInt(lcid, liICurrency, 0));
  fs.NegCurrFormat = static_cast<Byte>(LocaleInt(lcid, liINegCurr, 0));
  fs.ThousandSeparator = LocaleChar(lcid, liSThousand, ',');
  fs.DecimalSeparator = LocaleChar(lcid, liSDecimal, '.');
  fs.CurrencyDecimals = static_cast<Byte>(LocaleInt(lcid, liICurrDigits, 0));
  fs.DateSeparator = LocaleChar(lcid, liSDate, '/');
  Integer calendar = LocaleInt(lcid, liICalendarType, 1);
  fs.ShortDateFormat =
      TranslateDateFormat(LocaleStr(lcid, liSShortDate, "m/d/yy"), calendar);
  fs.LongDateFormat = TranslateDateFormat(
      LocaleStr(lcid, liSLongDate, "mmmm d, yyyy"), calendar);
  fs.TimeSeparator = LocaleChar(lcid, liSTime, ':');
  fs.TimeAMString = LocaleStr(lcid, liS1159, "am");
  fs.TimePMString = LocaleStr(lcid, liS2359, "pm");
  String hour = LocaleInt(lcid, liITLZero, 0) == 0 ? "h" : "hh";
  String prefix, postfix;
  if (LocaleInt(lcid, liITime, 0) == 0) {
    if (LocaleInt(lcid, liITimeMarkPosn, 0) == 0) {
      postfix = " AMPM";
    } else {
      prefix = "AMPM ";
    }
  }
  fs.ShortTimeFormat = prefix + hour + ":mm" + postfix;
  fs.LongTimeFormat = prefix + hour + ":mm:ss" + postfix;
  fs.ListSeparator = LocaleChar(lcid, liSList, ',');
}

void GetFormatSettings() {
  Cardinal lcid = Platform::UserDefaultLCID();
  SysLocale.DefaultLCID = lcid;
  SysLocale.PriLangID = static_cast<Integer>(lcid & 0x3FF);
  SysLocale.SubLangID = static_cast<Integer>((lcid & 0xFFFF) >> 10);
  SysLocale.FarEast = Platform::FarEastLocale();
  SysLocale.MiddleEast = Platform::MiddleEastLocale();
  GetLocaleFormatSettings(lcid, FormatSettings);
}

namespace {

void SysUtilsStartup() {
  Platform::TOSVersion v = Platform::OSVersion();
  Win32Platform = v.PlatformId;
  Win32MajorVersion = v.Major;
  Win32MinorVersion = v.Minor;
  Win32BuildNumber = v.Build;
  Win32CSDVersion = v.CSDVersion;
  GetFormatSettings();
}

}  // namespace

VARNEL_UNIT(SysUtils, ({}), &SysUtilsStartup, nullptr);

// ---------------------------------------------------------------------------
// Decimal digits of floating-point and currency values
// ---------------------------------------------------------------------------

namespace {

// value = 0.Digits * 10^Exponent; Digits has no trailing zeros and is empty
// for zero.
struct TDecimal {
  bool Negative = false;
  int Exponent = 0;
  String Digits;
  bool Inf = false;
  bool Nan = false;
};

constexpr int kMaxDigits = 18;     // of a floating-point value
constexpr int kMaxPrecision = 19;  // a currency value has up to 19

TDecimal ToDecimal(Extended value) {
  TDecimal d;
  if (std::isnan(value)) {
    d.Nan = true;
    return d;
  }
  d.Negative = std::signbit(value);
  if (std::isinf(value)) {
    d.Inf = true;
    return d;
  }
  if (value == 0) {
    d.Negative = false;
    return d;
  }
  String text = Platform::ExponentText(value, kMaxDigits - 1);
  // text: [-]d.ddddde[+-]xx
  const char* p = text.c_str();
  if (*p == '-') ++p;
  String digits;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits += *p;
  }
  int exp = *p == 'e' ? std::atoi(p + 1) : 0;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  d.Digits = digits;
  d.Exponent = exp + 1;
  return d;
}

TDecimal ToDecimal(Currency c) {
  TDecimal d;
  if (c.Value == 0) return d;
  d.Negative = c.Value < 0;
  UInt64 mag = d.Negative ? UInt64(0) - static_cast<UInt64>(c.Value)
                          : static_cast<UInt64>(c.Value);
  String digits = std::to_string(mag);
  d.Exponent = static_cast<int>(digits.size()) - 4;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  d.Digits = digits;
  return d;
}

// Keeps at most precision significant digits and at most decimals digits
// after the point, rounding half away from zero on the decimal digits.
void RoundDecimal(TDecimal& d, int precision, int decimals) {
  if (d.Inf || d.Nan || d.Digits.empty()) return;
  long keep =
      std::min<long>(precision, static_cast<long>(d.Exponent) + decimals);
  if (keep >= static_cast<long>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
  } else {
    bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
      int i = static_cast<int>(keep) - 1;
      while (i >= 0 && d.Digits[i] == '9') {
        d.Digits[i] = '0';
        --i;
      }
      if (i < 0) {
        d.Digits.insert(d.Digits.begin(), '1');
        ++d.Exponent;
      } else {
        ++d.Digits[i];
      }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  }
  if (d.Digits.empty()) {
    // Rounded away entirely: a plain zero, without a sign.
    d.Negative = false;
    d.Exponent = 0;
  }
}

char DigitAt(const TDecimal& d, long i) {
  return i >= 0 && i < static_cast<long>(d.Digits.size()) ? d.Digits[i] : '0';
}

String SpecialText(const TDecimal& d) {
  if (d.Nan) return "NAN";
  return d.Negative ? "-INF" : "INF";
}

String ExponentText(int exp, int minDigits, bool plusSign) {
  String r;
  if (exp < 0) {
    r = "-";
  } else if (plusSign) {
    r = "+";
  }
  String n = std::to_string(exp < 0 ? -exp : exp);
  if (static_cast<int>(n.size()) < minDigits) {
    n.insert(0, minDigits - n.size(), '0');
  }
  return r + n;
}

String GroupThousands(const String& intPart, char sep) {
  if (sep == 0) return intPart;
  String r;
  int n = static_cast<int>(intPart.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += sep;
    r += intPart[i];
  }
  return r;
}

// Integer and fraction digits of a rounded decimal in fixed notation.
String FixedText(const TDecimal& d, int decimals, char thousand, char point) {
  String intPart;
  for (long i = 0; i < d.Exponent; ++i) intPart += DigitAt(d, i);
  if (intPart.empty()) intPart = "0";
  String r = GroupThousands(intPart, thousand);
  if (decimals > 0) {
    r += point;
    for (long i = 0; i < decimals; ++i) r += DigitAt(d, d.Exponent + i);
  }
  return r;
}

String GeneralText(const TDecimal& d, int precision, int expDigits,
                   char point) {
  if (d.Digits.empty()) return "0";
  String r = d.Negative ? "-" : "";
  int n = static_cast<int>(d.Digits.size());
  if (d.Exponent > precision || d.Exponent < -3) {
    r += d.Digits[0];
    if (n > 1) {
      r += point;
      r.append(d.Digits, 1, String::npos);
    }
    r += 'E';
    r += ExponentText(d.Exponent - 1, expDigits, false);
    return r;
  }
  if (d.Exponent <= 0) {
    r += '0';
    r += point;
    r.append(-d.Exponent, '0');
    r += d.Digits;
    return r;
  }
  for (int i = 0; i < d.Exponent; ++i) r += DigitAt(d, i);
  if (n > d.Exponent) {
    r += point;
    r.append(d.Digits, d.Exponent, String::npos);
  }
  return r;
}

String ExponentFormText(const TDecimal& d, int precision, int expDigits,
                        char point) {
  String r = d.Negative ? "-" : "";
  r += DigitAt(d, 0);
  if (precision > 1) {
    r += point;
    for (int i = 1; i < precision; ++i) r += DigitAt(d, i);
  }
  r += 'E';
  r += ExponentText(d.Digits.empty() ? 0 : d.Exponent - 1, expDigits, true);
  return r;
}

String CurrencyText(const String& number, bool negative,
                    const TFormatSettings& fs) {
  const String& c = fs.CurrencyString;
  const String& n = number;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1:
        return n + c;
      case 2:
        return c + " " + n;
      case 3:
        return n + " " + c;
      default:
        return c + n;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1:
      return "-" + c + n;
    case 2:
      return c + "-" + n;
    case 3:
      return c + n + "-";
    case 4:
      return "(" + n + c + ")";
    case 5:
      return "-" + n + c;
    case 6:
      return n + "-" + c;
    case 7:
      return n + c + "-";
    case 8:
      return "-" + n + " " + c;
    case 9:
      return "-" + c + " " + n;
    case 10:
      return n + " " + c + "-";
    case 11:
      return c + " " + n + "-";
    case 12:
      return c + " -" + n;
    case 13:
      return n + "- " + c;
    case 14:
      return "(" + c + " " + n + ")";
    case 15:
      return "(" + n + " " + c + ")";
    default:
      return "(" + c + n + ")";
  }
}

String DecimalToText(TDecimal d, TFloatFormat format, int precision, int digits,
                     const TFormatSettings& fs) {
  if (d.Inf || d.Nan) return SpecialText(d);
  precision = std::clamp(precision, 1, kMaxPrecision);
  switch (format) {
    case ffExponent: {
      RoundDecimal(d, precision, 9999);
      return ExponentFormText(d, precision, std::clamp(digits, 0, 4),
                              fs.DecimalSeparator);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = std::clamp(digits, 0, kMaxDigits);
      TDecimal probe = d;
      RoundDecimal(probe, precision, 9999);
      if (probe.Exponent > precision) {
        // Too large for the precision in fixed notation.
        return GeneralText(probe, precision, 0, fs.DecimalSeparator);
      }
      RoundDecimal(d, precision, digits);
      String number =
          FixedText(d, digits, format == ffFixed ? 0 : fs.ThousandSeparator,
                    fs.DecimalSeparator);
      if (format == ffCurrency) return CurrencyText(number, d.Negative, fs);
      return d.Negative ? "-" + number : number;
    }
    case ffGeneral:
    default: {
      RoundDecimal(d, precision, 9999);
      return GeneralText(d, precision, std::clamp(digits, 0, 4),
                         fs.DecimalSeparator);
    }
  }
}

}  // namespace

String FloatToStrF(Extended value, TFloatFormat format, Integer precision,
                   Integer digits, const TFormatSettings& fs) {
  return DecimalToText(ToDecimal(value), format, precision, digits, fs);
}

String FloatToStrF(Extended value, TFloatFormat format, Integer precision,
                   Integer digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

String FloatToStr(Extended value, const TFormatSettings& fs) {
  return FloatToStrF(value, ffGeneral, 15, 0, fs);
}

String FloatToStr(Extended value) { return FloatToStr(value, FormatSettings); }

String CurrToStrF(Currency value, TFloatFormat format, Integer digits,
                  const TFormatSettings& fs) {
  return DecimalToText(ToDecimal(value), format, kMaxPrecision, digits, fs);
}

String CurrToStrF(Currency value, TFloatFormat format, Integer digits) {
  return CurrToStrF(value, format, digits, FormatSettings);
}

String CurrToStr(Currency value, const TFormatSettings& fs) {
  return CurrToStrF(value, ffGeneral, 0, fs);
}

String CurrToStr(Currency value) { return CurrToStr(value, FormatSettings); }

// ---------------------------------------------------------------------------
// FormatFloat
// ---------------------------------------------------------------------------

namespace {

// Splits a FormatFloat format into its ';'-separated sections, respecting
// quoted text.
std::vector<String> FloatSections(const String& format) {
  std::vector<String> sections(1);
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '\'' || c == '"') {
      std::size_t end = format.find(c, i + 1);
      if (end == String::npos) end = format.size() - 1;
      sections.back().append(format, i, end - i + 1);
      i = end;
    } else if (c == ';') {
      sections.emplace_back();
    } else {
      sections.back() += c;
    }
  }
  return sections;
}

struct TFloatPicture {
  int IntPlaces = 0;     // '0'/'#' before the point
  int MinIntDigits = 0;  // from the first '0' before the point
  int DecPlaces = 0;     // '0'/'#' after the point
  int MinDecDigits = 0;  // up to the last '0' after the point
  bool HasPoint = false;
  bool Thousands = false;
  bool Scientific = false;
  bool ExpPlus = false;
  int ExpDigits = 0;
};

TFloatPicture ScanPicture(const String& s) {
  TFloatPicture p;
  int firstZero = -1;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\'' || c == '"') {
      std::size_t end = s.find(c, i + 1);
      i = end == String::npos ? s.size() : end;
    } else if ((c == 'E' || c == 'e') && i + 1 < s.size() &&
               (s[i + 1] == '+' || s[i + 1] == '-') && !p.Scientific) {
      p.Scientific = true;
      p.ExpPlus = s[i + 1] == '+';
      i += 2;
      while (i < s.size() && s[i] == '0') {
        ++p.ExpDigits;
        ++i;
      }
      --i;
    } else if (c == '0' || c == '#') {
      if (p.Scientific) continue;
      if (p.HasPoint) {
        ++p.DecPlaces;
        if (c == '0') p.MinDecDigits = p.DecPlaces;
      } else {
        if (c == '0' && firstZero < 0) firstZero = p.IntPlaces;
        ++p.IntPlaces;
      }
    } else if (c == '.') {
      if (!p.HasPoint && !p.Scientific) p.HasPoint = true;
    } else if (c == ',') {
      if (!p.HasPoint && !p.Scientific) p.Thousands = true;
    }
  }
  if (firstZero >= 0) p.MinIntDigits = p.IntPlaces - firstZero;
  p.ExpDigits = std::min(p.ExpDigits, 4);
  return p;
}

// Writes one section: literals where they stand, the integer digits at the
// first placeholder, the fraction at the point and the exponent at "E+".
String ApplyPicture(const String& s, const TFloatPicture& p, TDecimal d,
                    int precision, bool withSign, const TFormatSettings& fs) {
  String intDigits, decDigits, expText;
  if (p.Scientific) {
    int places = std::max(p.IntPlaces, 1);
    int total = std::min(places + p.DecPlaces, precision);
    RoundDecimal(d, total, 9999);
    int exp = d.Digits.empty() ? 0 : d.Exponent - places;
    for (int i = 0; i < places; ++i) intDigits += DigitAt(d, i);
    std::size_t lead = intDigits.find_first_not_of('0');
    if (lead == String::npos) lead = intDigits.size();
    int strip = std::min<int>(static_cast<int>(lead),
                              places - std::max(p.MinIntDigits, 0));
    intDigits.erase(0, std::max(strip, 0));
    for (int i = 0; i < p.DecPlaces; ++i) decDigits += DigitAt(d, places + i);
    expText = ExponentText(exp, p.ExpDigits, p.ExpPlus);
  } else {
    RoundDecimal(d, precision, p.DecPlaces);
    for (long i = 0; i < d.Exponent; ++i) intDigits += DigitAt(d, i);
    if (static_cast<int>(intDigits.size()) < p.MinIntDigits) {
      intDigits.insert(0, p.MinIntDigits - intDigits.size(), '0');
    }
    for (long i = 0; i < p.DecPlaces; ++i) {
      decDigits += DigitAt(d, d.Exponent + i);
    }
    if (p.Thousands)
      intDigits = GroupThousands(intDigits, fs.ThousandSeparator);
  }
  while (static_cast<int>(decDigits.size()) > p.MinDecDigits &&
         decDigits.back() == '0') {
    decDigits.pop_back();
  }
  String r;
  if (withSign && d.Negative) r += '-';
  bool intDone = false, expDone = false;
  auto emitInt = [&] {
    if (!intDone) r += intDigits;
    intDone = true;
  };
  bool pointSeen = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\'' || c == '"') {
      std::size_t end = s.find(c, i + 1);
      if (end == String::npos) end = s.size();
      r.append(s, i + 1, end - i - 1);
      i = end;
    } else if ((c == 'E' || c == 'e') && p.Scientific && !expDone &&
               i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
      emitInt();
      r += c;
      r += expText;
      expDone = true;
      i += 2;
      while (i < s.size() && s[i] == '0') ++i;
      --i;
    } else if ((c == '0' || c == '#' || c == ',') && !expDone) {
      if (!pointSeen) emitInt();
    } else if (c == '.' && !pointSeen && !expDone) {
      emitInt();
      pointSeen = true;
      if (!decDigits.empty()) {
        r += fs.DecimalSeparator;
        r += decDigits;
      }
    } else {
      r += c;
    }
  }
  return r;
}

String FormatDecimal(const String& format, const TDecimal& value, int precision,
                     const TFormatSettings& fs) {
  std::vector<String> sections = FloatSections(format);
  auto section = [&](std::size_t i) -> const String& {
    static const String empty;
    return i < sections.size() ? sections[i] : empty;
  };
  // Negative values use the second section when it is there and not empty;
  // values that round to zero use the third.
  std::size_t idx = 0;
  if (value.Negative && !section(1).empty()) idx = 1;
  TFloatPicture pic = ScanPicture(section(idx));
  TDecimal rounded = value;
  if (pic.Scientific) {
    RoundDecimal(
        rounded,
        std::min(std::max(pic.IntPlaces, 1) + pic.DecPlaces, precision), 9999);
  } else {
    RoundDecimal(rounded, precision, pic.DecPlaces);
  }
  if (rounded.Digits.empty() && !section(2).empty()) idx = 2;
  const String& s = section(idx);
  TFloatPicture p = idx == 0 ? pic : ScanPicture(s);
  if (s.empty()) {
    // No usable section: the general format.
    TDecimal g = value;
    RoundDecimal(g, 15, 9999);
    return GeneralText(g, 15, 0, fs.DecimalSeparator);
  }
  return ApplyPicture(s, p, value, precision, idx == 0, fs);
}

}  // namespace

String FormatFloat(const String& format, Extended value,
                   const TFormatSettings& fs) {
  TDecimal d = ToDecimal(value);
  if (d.Inf || d.Nan) return SpecialText(d);
  if (format.empty()) return FloatToStr(value, fs);
  // A double carries 15 reliable digits; more would print binary noise.
  return FormatDecimal(format, d, 15, fs);
}

String FormatFloat(const String& format, Extended value) {
  return FormatFloat(format, value, FormatSettings);
}

String FormatCurr(const String& format, Currency value,
                  const TFormatSettings& fs) {
  if (format.empty()) return CurrToStr(value, fs);
  return FormatDecimal(format, ToDecimal(value), kMaxPrecision, fs);
}

String FormatCurr(const String& format, Currency value) {
  return FormatCurr(format, value, FormatSettings);
}

// ---------------------------------------------------------------------------
// Integers
// ---------------------------------------------------------------------------

String IntToStr(Integer value) { return std::to_string(value); }

String IntToStr(Int64 value) { return std::to_string(value); }

namespace {

String HexDigits(UInt64 v, Integer digits) {
  static const char kHex[] = "0123456789ABCDEF";
  String r;
  do {
    r.insert(r.begin(), kHex[v & 15]);
    v >>= 4;
  } while (v);
  if (static_cast<Integer>(r.size()) < digits) {
    r.insert(0, std::min<Integer>(digits, 32) - r.size(), '0');
  }
  return r;
}

// The class library's integer scanner. Returns 0 on success or the 1-based
// position of the first character that does not belong to the number.
// Leading spaces are skipped; hexadecimal follows "$", "x", "X" or "0x";
// hexadecimal may fill all bits (so "$FFFFFFFF" is -1 as an Integer).
Integer ScanInteger(const String& s, Int64& value, int bits) {
  const std::size_t n = s.size();
  std::size_t i = 0;
  value = 0;
  while (i < n && s[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) {
    neg = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  const UInt64 mask = bits == 64 ? ~UInt64(0) : (UInt64(1) << bits) - 1;
  const UInt64 maxPos = mask >> 1;  // 2^(bits-1) - 1
  UInt64 acc = 0;
  std::size_t start = i;
  for (; i < n; ++i) {
    char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    if (hex) {
      if (acc > (mask >> 4)) return static_cast<Integer>(i + 1);
      acc = acc * 16 + digit;
    } else {
      UInt64 limit = neg ? maxPos + 1 : maxPos;
      if (acc > (limit - digit) / 10) return static_cast<Integer>(i + 1);
      acc = acc * 10 + digit;
    }
  }
  if (i == start) return static_cast<Integer>(i + 1);
  if (i < n) return static_cast<Integer>(i + 1);
  if (hex) {
    // All bits may be used: reinterpret as two's complement of that width.
    Int64 v;
    if (bits == 64) {
      v = static_cast<Int64>(acc);
    } else {
      v = acc > maxPos ? static_cast<Int64>(acc) - (Int64(1) << bits)
                       : static_cast<Int64>(acc);
    }
    value = neg ? -v : v;
  } else {
    value = neg ? static_cast<Int64>(UInt64(0) - acc) : static_cast<Int64>(acc);
  }
  return 0;
}

}  // namespace

String IntToHex(Integer value, Integer digits) {
  return HexDigits(static_cast<UInt64>(static_cast<Cardinal>(value)), digits);
}

String IntToHex(Int64 value, Integer digits) {
  return HexDigits(static_cast<UInt64>(value), digits);
}

bool TryStrToInt64(const String& s, Int64& value) {
  Int64 v;
  if (ScanInteger(s, v, 64) != 0) return false;
  value = v;
  return true;
}

bool TryStrToInt(const String& s, Integer& value) {
  Int64 v;
  if (ScanInteger(s, v, 32) != 0) return false;
  value = static_cast<Integer>(v);
  return true;
}

Integer StrToInt(const String& s) {
  Integer v;
  if (!TryStrToInt(s, v)) throw EConvertError(SInvalidInteger, {s});
  return v;
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) throw EConvertError(SInvalidInteger, {s});
  return v;
}

Integer StrToIntDef(const String& s, Integer def) {
  Integer v;
  return TryStrToInt(s, v) ? v : def;
}

Int64 StrToInt64Def(const String& s, Int64 def) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : def;
}

void Val(const String& s, Integer& value, Integer& code) {
  Int64 v;
  code = ScanInteger(s, v, 32);
  value = code == 0 ? static_cast<Integer>(v) : 0;
}

void Val(const String& s, Int64& value, Integer& code) {
  Int64 v;
  code = ScanInteger(s, v, 64);
  value = code == 0 ? v : 0;
}

// ---------------------------------------------------------------------------
// Text to floating point and currency
// ---------------------------------------------------------------------------

namespace {

// A decimal number scanned from text: sign, digits and the power of ten of
// the last digit.
struct TScannedNumber {
  bool Negative = false;
  String Digits;
  long Exp10 = 0;
};

// Scans [blanks] [sign] digits [point digits] [E [sign] digits] [blanks].
// Returns the 1-based position of the first bad character, 0 when the whole
// text is a number.
Integer ScanFloat(const String& s, char point, TScannedNumber& num) {
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n && s[i] == ' ') ++i;
  if (i < n && (s[i] == '-' || s[i] == '+')) {
    num.Negative = s[i] == '-';
    ++i;
  }
  bool any = false;
  for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
    num.Digits += s[i];
    any = true;
  }
  if (i < n && s[i] == point) {
    ++i;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
      num.Digits += s[i];
      --num.Exp10;
      any = true;
    }
  }
  if (!any) return static_cast<Integer>(i + 1);
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool eneg = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) {
      eneg = s[i] == '-';
      ++i;
    }
    std::size_t start = i;
    long e = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
      if (e < 100000) e = e * 10 + (s[i] - '0');
    }
    if (i == start) return static_cast<Integer>(i + 1);
    num.Exp10 += eneg ? -e : e;
  }
  while (i < n && s[i] == ' ') ++i;
  if (i < n) return static_cast<Integer>(i + 1);
  return 0;
}

bool NumberToDouble(const TScannedNumber& num, double& value) {
  String c = (num.Negative ? "-" : "") +
             (num.Digits.empty() ? "0" : num.Digits) + "e" +
             std::to_string(num.Exp10);
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(c.c_str(), &end);
  if (errno == ERANGE && std::isinf(v)) return false;
  if (errno == ERANGE && v == 0) v = num.Negative ? -0.0 : 0.0;
  value = v;
  return true;
}

// Exact: digits scaled to ten-thousandths, rounded half to even as the
// currency type rounds.
bool NumberToCurrency(const TScannedNumber& num, Currency& value) {
  String digits = num.Digits;
  long exp = num.Exp10 + 4;  // power of ten of the last digit, in 1/10000
  size_t firstNonZero = digits.find_first_not_of('0');
  if (firstNonZero == String::npos) {
    value = Currency::FromScaled(0);
    return true;
  }
  digits.erase(0, firstNonZero);
  if (exp > 20) return false;
  String intPart, rest;
  if (exp >= 0) {
    intPart = digits + String(exp, '0');
  } else if (static_cast<long>(digits.size()) > -exp) {
    intPart = digits.substr(0, digits.size() + exp);
    rest = digits.substr(digits.size() + exp);
  } else {
    rest = String(-exp - digits.size(), '0') + digits;
  }
  if (intPart.size() > 19) return false;
  UInt64 mag = 0;
  for (char c : intPart) mag = mag * 10 + (c - '0');
  if (!rest.empty()) {
    bool above =
        rest[0] > '5' ||
        (rest[0] == '5' && rest.find_first_not_of('0', 1) != String::npos);
    bool half = rest[0] == '5' && !above;
    if (above || (half && (mag & 1))) ++mag;
  }
  UInt64 limit = num.Negative ? UInt64(INT64_MAX) + 1 : UInt64(INT64_MAX);
  if (mag > limit) return false;
  value =
      Currency::FromScaled(num.Negative ? static_cast<Int64>(UInt64(0) - mag)
                                        : static_cast<Int64>(mag));
  return true;
}

}  // namespace

void Val(const String& s, double& value, Integer& code) {
  TScannedNumber num;
  code = ScanFloat(s, '.', num);
  value = 0;
  if (code == 0 && !NumberToDouble(num, value)) {
    code = static_cast<Integer>(s.size());
    value = 0;
  }
}

bool TextToFloat(const char* text, void* value, TFloatValue valueType,
                 const TFormatSettings& fs) {
  if (!text || !value) return false;
  TScannedNumber num;
  if (ScanFloat(text, fs.DecimalSeparator, num) != 0) return false;
  if (valueType == fvCurrency) {
    return NumberToCurrency(num, *static_cast<Currency*>(value));
  }
  double d;
  if (!NumberToDouble(num, d)) return false;
  *static_cast<Extended*>(value) = d;
  return true;
}

bool TextToFloat(const char* text, void* value, TFloatValue valueType) {
  return TextToFloat(text, value, valueType, FormatSettings);
}

bool TryStrToFloat(const String& s, Extended& value,
                   const TFormatSettings& fs) {
  Extended v;
  if (!TextToFloat(s.c_str(), &v, fvExtended, fs)) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs) {
  Extended v;
  if (!TryStrToFloat(s, v, fs)) return false;
  value = static_cast<double>(v);
  return true;
}

bool TryStrToFloat(const String& s, Extended& value) {
  return TryStrToFloat(s, value, FormatSettings);
}

bool TryStrToFloat(const String& s, double& value) {
  return TryStrToFloat(s, value, FormatSettings);
}

Extended StrToFloat(const String& s, const TFormatSettings& fs) {
  Extended v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError(SInvalidFloat, {s});
  return v;
}

Extended StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }

Extended StrToFloatDef(const String& s, Extended def) {
  Extended v;
  return TryStrToFloat(s, v) ? v : def;
}

bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& fs) {
  Currency v;
  if (!TextToFloat(s.c_str(), &v, fvCurrency, fs)) return false;
  value = v;
  return true;
}

bool TryStrToCurr(const String& s, Currency& value) {
  return TryStrToCurr(s, value, FormatSettings);
}

Currency StrToCurr(const String& s, const TFormatSettings& fs) {
  Currency v;
  if (!TryStrToCurr(s, v, fs)) throw EConvertError(SInvalidFloat, {s});
  return v;
}

Currency StrToCurr(const String& s) { return StrToCurr(s, FormatSettings); }

Currency StrToCurrDef(const String& s, Currency def) {
  Currency v;
  return TryStrToCurr(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// Rounding
// ---------------------------------------------------------------------------

namespace {

Int64 CheckedInt64(Extended v) {
  // Both bounds are exact powers of two, so the comparison is exact.
  if (std::isnan(v) || v >= 9223372036854775808.0L ||
      v < -9223372036854775808.0L) {
    throw EInvalidOp(SInvalidOp);
  }
  return static_cast<Int64>(v);
}

}  // namespace

Int64 Round(Extended value) {
  Extended r = std::floor(value);
  Extended diff = value - r;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2.0L) != 0)) r += 1;
  return CheckedInt64(r);
}

Int64 Trunc(Extended value) { return CheckedInt64(std::trunc(value)); }

Extended Frac(Extended value) { return value - std::trunc(value); }

Extended Int(Extended value) { return std::trunc(value); }

Currency DoubleToCurr(Extended value) {
  Extended scaled = value * 10000;
  Extended r = std::floor(scaled);
  Extended diff = scaled - r;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2.0L) != 0)) r += 1;
  return Currency::FromScaled(CheckedInt64(r));
}

Extended CurrToDouble(Currency value) {
  return static_cast<Extended>(value.Value) / 10000;
}

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

namespace {

[[noreturn]] void FormatError(const String& fmt) {
  throw EConvertError(SInvalidFormat, {fmt});
}

[[noreturn]] void ArgumentMissing(const String& fmt) {
  throw EConvertError(SArgumentMissing, {fmt});
}

String NarrowWide(const char16_t* p, std::size_t n) {
  return Platform::WideToAnsi(p, n);
}

bool ArgAsInt64(const TVarRec& a, Int64& v, bool& wide) {
  wide = false;
  switch (a.VType) {
    case vtInteger:
      v = a.VInteger;
      return true;
    case vtInt64:
      v = a.VInt64;
      wide = true;
      return true;
    case vtVariant:
      if (!classlib_detail::VariantFormatHooks.ToInt64 || !a.VVariant) {
        return false;
      }
      v = classlib_detail::VariantFormatHooks.ToInt64(*a.VVariant);
      wide = v < INT32_MIN || v > INT32_MAX;
      return true;
    default:
      return false;
  }
}

bool ArgAsDecimal(const TVarRec& a, TDecimal& d) {
  switch (a.VType) {
    case vtExtended:
      d = ToDecimal(a.VExtended);
      return true;
    case vtCurrency:
      d = ToDecimal(a.VCurrency);
      return true;
    case vtVariant:
      if (!classlib_detail::VariantFormatHooks.ToExtended || !a.VVariant) {
        return false;
      }
      d = ToDecimal(
          classlib_detail::VariantFormatHooks.ToExtended(*a.VVariant));
      return true;
    default:
      return false;
  }
}

bool ArgAsString(const TVarRec& a, String& s) {
  switch (a.VType) {
    case vtChar:
      s.assign(1, a.VChar);
      return true;
    case vtWideChar:
      s = NarrowWide(&a.VWideChar, 1);
      return true;
    case vtPChar:
      s = a.VPChar ? a.VPChar : "";
      return true;
    case vtPWideChar:
      if (!a.VPWideChar) {
        s.clear();
      } else {
        std::size_t n = 0;
        while (a.VPWideChar[n]) ++n;
        s = NarrowWide(a.VPWideChar, n);
      }
      return true;
    case vtAnsiString:
      s = a.VAnsiString ? *a.VAnsiString : String();
      return true;
    case vtWideString:
      s = a.VWideString
              ? NarrowWide(a.VWideString->data(), a.VWideString->size())
              : String();
      return true;
    case vtVariant:
      if (!classlib_detail::VariantFormatHooks.ToStr || !a.VVariant) {
        return false;
      }
      s = classlib_detail::VariantFormatHooks.ToStr(*a.VVariant);
      return true;
    default:
      return false;
  }
}

}  // namespace

String Format(const String& fmt, const TVarRec* args, std::size_t count,
              const TFormatSettings& fs) {
  String out;
  std::size_t next = 0;
  const std::size_t n = fmt.size();
  auto takeArg = [&]() -> const TVarRec& {
    if (next >= count) ArgumentMissing(fmt);
    return args[next++];
  };
  // Reads a number or '*' (an Integer argument); -1 when neither is there.
  auto readNumber = [&](std::size_t& i) -> long {
    if (i < n && fmt[i] == '*') {
      ++i;
      const TVarRec& a = takeArg();
      if (a.VType != vtInteger) FormatError(fmt);
      return a.VInteger;
    }
    if (i >= n || fmt[i] < '0' || fmt[i] > '9') return -1;
    long v = 0;
    while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
      if (v < 100000000) v = v * 10 + (fmt[i] - '0');
      ++i;
    }
    return v;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    ++i;
    if (i >= n) FormatError(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    // [index ":"] ["-"] [width] ["." prec] type
    long num = readNumber(i);
    if (num >= 0 && i < n && fmt[i] == ':') {
      next = static_cast<std::size_t>(num);
      ++i;
      num = -1;
    }
    bool left = false;
    if (num < 0 && i < n && fmt[i] == '-') {
      left = true;
      ++i;
    }
    long width = num >= 0 ? num : readNumber(i);
    long prec = -1;
    if (i < n && fmt[i] == '.') {
      ++i;
      prec = readNumber(i);
      if (prec < 0) FormatError(fmt);
    }
    if (i >= n) FormatError(fmt);
    char type = fmt[i];
    if (type >= 'a' && type <= 'z') type = static_cast<char>(type - 32);
    String text;
    switch (type) {
      case 'D':
      case 'U':
      case 'X': {
        const TVarRec& a = takeArg();
        Int64 v;
        bool wide;
        if (!ArgAsInt64(a, v, wide)) FormatError(fmt);
        bool neg = false;
        UInt64 mag;
        if (type == 'D') {
          neg = v < 0;
          mag =
              neg ? UInt64(0) - static_cast<UInt64>(v) : static_cast<UInt64>(v);
        } else if (wide) {
          mag = static_cast<UInt64>(v);
        } else {
          mag = static_cast<Cardinal>(static_cast<Integer>(v));
        }
        String digits = type == 'X' ? HexDigits(mag, 0) : std::to_string(mag);
        if (prec > static_cast<long>(digits.size()) && prec <= 64) {
          digits.insert(0, prec - digits.size(), '0');
        }
        text = neg ? "-" + digits : digits;
        break;
      }
      case 'E':
      case 'F':
      case 'G':
      case 'N':
      case 'M': {
        const TVarRec& a = takeArg();
        TDecimal d;
        if (!ArgAsDecimal(a, d)) FormatError(fmt);
        bool isCurr = a.VType == vtCurrency;
        int fullPrec = isCurr ? kMaxPrecision : kMaxDigits;
        switch (type) {
          case 'E':
            text = DecimalToText(d, ffExponent, prec < 0 ? 15 : prec, 3, fs);
            break;
          case 'F':
            text = DecimalToText(d, ffFixed, fullPrec, prec < 0 ? 2 : prec, fs);
            break;
          case 'G':
            text = DecimalToText(d, ffGeneral, prec < 0 ? 15 : prec, 3, fs);
            break;
          case 'N':
            text =
                DecimalToText(d, ffNumber, fullPrec, prec < 0 ? 2 : prec, fs);
            break;
          default:
            text = DecimalToText(d, ffCurrency, fullPrec,
                                 prec < 0 ? fs.CurrencyDecimals : prec, fs);
            break;
        }
        break;
      }
      case 'P': {
        const TVarRec& a = takeArg();
        if (a.VType != vtPointer && a.VType != vtObject && a.VType != vtClass &&
            a.VType != vtPChar) {
          FormatError(fmt);
        }
        text = HexDigits(reinterpret_cast<std::uintptr_t>(a.VPointer),
                         sizeof(void*) * 2);
        break;
      }
      case 'S': {
        const TVarRec& a = takeArg();
        if (!ArgAsString(a, text)) FormatError(fmt);
        if (prec >= 0 && static_cast<std::size_t>(prec) < text.size()) {
          text.resize(prec);
        }
        break;
      }
      default:
        FormatError(fmt);
    }
    if (width > static_cast<long>(text.size())) {
      String pad(width - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

String Format(const String& fmt, const TVarRec* args, std::size_t count) {
  return Format(fmt, args, count, FormatSettings);
}

String Format(const String& fmt, TVarRecs args, const TFormatSettings& fs) {
  return Format(fmt, args.begin(), args.size(), fs);
}

String Format(const String& fmt, TVarRecs args) {
  return Format(fmt, args.begin(), args.size(), FormatSettings);
}

void FmtStr(String& result, const String& fmt, TVarRecs args) {
  result = Format(fmt, args);
}

Cardinal FormatBuf(char* buffer, Cardinal bufLen, const char* fmt,
                   Cardinal fmtLen, TVarRecs args) {
  if (!buffer || !fmt) return 0;
  String s = Format(String(fmt, fmtLen), args);
  Cardinal n = std::min<Cardinal>(bufLen, static_cast<Cardinal>(s.size()));
  std::memcpy(buffer, s.data(), n);
  return n;
}

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

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

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

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
}  // namespace

String Trim(const String& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

String TrimRight(const String& s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

String UpperCase(const String& s) {
  String r = s;
  for (char& c : r) c = Upper(c);
  return r;
}

String LowerCase(const String& s) {
  String r = s;
  for (char& c : r) c = Lower(c);
  return r;
}

Integer CompareStr(const String& a, const String& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
    if (d) return d;
  }
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

Integer CompareText(const String& a, const String& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int d = static_cast<unsigned char>(Upper(a[i])) -
            static_cast<unsigned char>(Upper(b[i]));
    if (d) return d;
  }
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

bool SameText(const String& a, const String& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

String AnsiUpperCase(const String& s) { return Platform::UpperAnsi(s); }
String AnsiLowerCase(const String& s) { return Platform::LowerAnsi(s); }

Integer AnsiCompareStr(const String& a, const String& b) {
  return Sign(Platform::CompareAnsi(a, b, false));
}

Integer AnsiCompareText(const String& a, const String& b) {
  return Sign(Platform::CompareAnsi(a, b, true));
}

bool AnsiSameStr(const String& a, const String& b) {
  return AnsiCompareStr(a, b) == 0;
}

bool AnsiSameText(const String& a, const String& b) {
  return AnsiCompareText(a, b) == 0;
}

Integer Pos(const String& sub, const String& s) {
  if (sub.empty()) return 0;
  std::size_t p = s.find(sub);
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

Integer AnsiPos(const String& sub, const String& s) { return Pos(sub, s); }

String StringReplace(const String& s, const String& oldPattern,
                     const String& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool ignoreCase = flags & rfIgnoreCase;
  const String hay = ignoreCase ? AnsiUpperCase(s) : s;
  const String needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  String r;
  std::size_t from = 0;
  while (true) {
    std::size_t p = hay.find(needle, from);
    if (p == String::npos) break;
    r.append(s, from, p - from);
    r += newPattern;
    from = p + needle.size();
    if (!(flags & rfReplaceAll)) break;
  }
  r.append(s, from, String::npos);
  return r;
}

String AnsiQuotedStr(const String& s, char quote) {
  String r(1, quote);
  for (char c : s) {
    r += c;
    if (c == quote) r += c;
  }
  r += quote;
  return r;
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, '\''); }

String AnsiExtractQuotedStr(const String& text, std::size_t& pos, char quote) {
  if (pos >= text.size() || text[pos] != quote) return String();
  String r;
  std::size_t i = pos + 1;
  while (i < text.size()) {
    if (text[i] == quote) {
      if (i + 1 < text.size() && text[i + 1] == quote) {
        r += quote;
        i += 2;
        continue;
      }
      ++i;  // the closing quote
      break;
    }
    r += text[i++];
  }
  pos = i;
  return r;
}

String AnsiDequotedStr(const String& s, char quote) {
  if (s.empty() || s[0] != quote) return s;
  std::size_t pos = 0;
  return AnsiExtractQuotedStr(s, pos, quote);
}

String StringOfChar(char ch, Integer count) {
  return count > 0 ? String(static_cast<std::size_t>(count), ch) : String();
}

bool IsDelimiter(const String& delimiters, const String& s, Integer index) {
  if (index < 1 || index > static_cast<Integer>(s.size())) return false;
  return delimiters.find(s[index - 1]) != String::npos;
}

Integer LastDelimiter(const String& delimiters, const String& s) {
  std::size_t p = s.find_last_of(delimiters);
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

String AdjustLineBreaks(const String& s, TTextLineBreakStyle style) {
  const char* br = style == tlbsCRLF ? "\r\n" : "\n";
  String r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      char other = c == '\r' ? '\n' : '\r';
      if (i + 1 < s.size() && s[i + 1] == other) ++i;
      r += br;
    } else {
      r += c;
    }
  }
  return r;
}

String BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? SDefaultTrueBoolStr : SDefaultFalseBoolStr;
  return value ? "-1" : "0";
}

bool TryStrToBool(const String& s, bool& value) {
  if (SameText(s, SDefaultTrueBoolStr)) {
    value = true;
    return true;
  }
  if (SameText(s, SDefaultFalseBoolStr)) {
    value = false;
    return true;
  }
  Extended f;
  if (TryStrToFloat(s, f)) {
    value = f != 0;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool v;
  if (!TryStrToBool(s, v)) throw EConvertError(SInvalidBoolean, {s});
  return v;
}

bool StrToBoolDef(const String& s, bool def) {
  bool v;
  return TryStrToBool(s, v) ? v : def;
}

// ---------------------------------------------------------------------------
// File names and files
// ---------------------------------------------------------------------------

namespace {

const String kPathDelims = Platform::PathDelimiters();
const String kPathAndDrive = kPathDelims + DriveDelim;

bool IsDelim(char c) { return kPathDelims.find(c) != String::npos; }

}  // namespace

String ExtractFilePath(const String& fileName) {
  return fileName.substr(0, LastDelimiter(kPathAndDrive, fileName));
}

String ExtractFileDir(const String& fileName) {
  Integer i = LastDelimiter(kPathAndDrive, fileName);
  if (i > 1 && IsDelim(fileName[i - 1]) &&
      !IsDelimiter(kPathAndDrive, fileName, i - 1)) {
    --i;
  }
  return fileName.substr(0, i);
}

String ExtractFileName(const String& fileName) {
  return fileName.substr(LastDelimiter(kPathAndDrive, fileName));
}

String ExtractFileDrive(const String& fileName) {
  if (fileName.size() >= 2 && fileName[1] == DriveDelim) {
    return fileName.substr(0, 2);
  }
  if (fileName.size() >= 2 && IsDelim(fileName[0]) && IsDelim(fileName[1])) {
    // "\\server\share": up to the delimiter after the share name.
    std::size_t n = 0, i = 2;
    for (; i < fileName.size(); ++i) {
      if (IsDelim(fileName[i]) && ++n == 2) break;
    }
    return fileName.substr(0, i);
  }
  return String();
}

String ExtractFileExt(const String& fileName) {
  Integer i = LastDelimiter("." + kPathAndDrive, fileName);
  if (i > 0 && fileName[i - 1] == '.') return fileName.substr(i - 1);
  return String();
}

String ChangeFileExt(const String& fileName, const String& extension) {
  Integer i = LastDelimiter("." + kPathAndDrive, fileName);
  if (i == 0 || fileName[i - 1] != '.')
    i = static_cast<Integer>(fileName.size()) + 1;
  return fileName.substr(0, i - 1) + extension;
}

bool IsPathDelimiter(const String& s, Integer index) {
  return index >= 1 && index <= static_cast<Integer>(s.size()) &&
         IsDelim(s[index - 1]);
}

String IncludeTrailingPathDelimiter(const String& s) {
  if (IsPathDelimiter(s, static_cast<Integer>(s.size()))) return s;
  return s + PathDelim;
}

String IncludeTrailingBackslash(const String& s) {
  return IncludeTrailingPathDelimiter(s);
}

String ExcludeTrailingPathDelimiter(const String& s) {
  if (IsPathDelimiter(s, static_cast<Integer>(s.size()))) {
    return s.substr(0, s.size() - 1);
  }
  return s;
}

String ExcludeTrailingBackslash(const String& s) {
  return ExcludeTrailingPathDelimiter(s);
}

String ExpandFileName(const String& fileName) {
  return Platform::FullPathName(fileName);
}

bool FileExists(const String& fileName) {
  Integer a = Platform::FileAttributes(fileName);
  return a != -1 && !(a & faDirectory);
}

bool DirectoryExists(const String& name) {
  Integer a = Platform::FileAttributes(name);
  return a != -1 && (a & faDirectory);
}

bool CreateDir(const String& dir) { return Platform::CreateDir(dir); }
bool RemoveDir(const String& dir) { return Platform::RemoveDir(dir); }

bool ForceDirectories(const String& dir) {
  if (dir.empty()) throw EInOutError(SCannotCreateDir);
  String d = ExcludeTrailingPathDelimiter(dir);
  if (d.size() < 3 || DirectoryExists(d) || ExtractFilePath(d) == d) {
    return true;
  }
  return ForceDirectories(ExtractFilePath(d)) && CreateDir(d);
}

namespace classlib_detail {
bool DeleteFileImpl(const String& fileName) {
  return Platform::RemoveFile(fileName);
}
}  // namespace classlib_detail

bool RenameFile(const String& oldName, const String& newName) {
  return Platform::RenameFile(oldName, newName);
}

String GetCurrentDir() { return Platform::CurrentDir(); }
bool SetCurrentDir(const String& dir) { return Platform::SetCurrentDir(dir); }

namespace {

Integer SystemTimeToFileDate(const TSystemTime& t) {
  if (t.wYear < 1980 || t.wYear > 2107) return 0;
  unsigned date = ((t.wYear - 1980u) << 9) | (unsigned(t.wMonth) << 5) | t.wDay;
  unsigned time =
      (unsigned(t.wHour) << 11) | (unsigned(t.wMinute) << 5) | (t.wSecond / 2u);
  return static_cast<Integer>((date << 16) | time);
}

}  // namespace

Integer FileAge(const String& fileName) {
  TSystemTime t;
  if (DirectoryExists(fileName) || !Platform::LastWriteLocalTime(fileName, t)) {
    return -1;
  }
  // A time that no DOS time can hold is unknown to the caller, as a missing
  // file is; 0 would pass for a date (month 0, day 0).
  Integer age = SystemTimeToFileDate(t);
  return age != 0 ? age : -1;
}

TDateTime FileDateToDateTime(Integer fileDate) {
  Cardinal v = static_cast<Cardinal>(fileDate);
  Word date = static_cast<Word>(v >> 16), time = static_cast<Word>(v);
  TDateTime d, t;
  if (!TryEncodeDate(static_cast<Word>((date >> 9) + 1980), (date >> 5) & 15,
                     date & 31, d) ||
      !TryEncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, t)) {
    throw EConvertError(SInvalidDateTime, {IntToHex(fileDate, 8)});
  }
  return d + t;
}

Integer DateTimeToFileDate(TDateTime value) {
  TSystemTime t;
  DateTimeToSystemTime(value, t);
  return SystemTimeToFileDate(t);
}

namespace {

constexpr Integer faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;

void FillSearchRec(TSearchRec& f, const Platform::TFindEntry& e) {
  f.Name = e.Name;
  f.Size = e.Size;
  f.Attr = e.Attr;
  f.Time = SystemTimeToFileDate(e.LocalWriteTime);
}

// Skips entries with attributes the caller did not ask for.
Integer FindMatching(TSearchRec& f, Platform::TFindEntry& e) {
  Integer error = 0;
  while (e.Attr & f.ExcludeAttr) {
    if (!Platform::FindNext(f.FindHandle.get(), e, error)) return error;
  }
  FillSearchRec(f, e);
  return 0;
}

}  // namespace

Integer FindFirst(const String& path, Integer attr, TSearchRec& f) {
  f.ExcludeAttr = ~attr & faSpecial;
  Platform::TFindEntry e;
  Integer error = 0;
  f.FindHandle = Platform::FindFirst(path, e, error);
  if (!f.FindHandle) return error ? error : Platform::errFileNotFound;
  Integer r = FindMatching(f, e);
  if (r != 0) FindClose(f);
  return r;
}

Integer FindNext(TSearchRec& f) {
  if (!f.FindHandle) return Platform::errNoMoreFiles;
  Platform::TFindEntry e;
  Integer error = 0;
  if (!Platform::FindNext(f.FindHandle.get(), e, error)) return error;
  return FindMatching(f, e);
}

void FindClose(TSearchRec& f) { f.FindHandle.reset(); }

// ---------------------------------------------------------------------------
// Miscellany
// ---------------------------------------------------------------------------

std::vector<String> SplitCommandLine(const String& commandLine) {
  std::vector<String> r;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  while (true) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i >= n) break;
    String param;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      if (commandLine[i] == '"') {
        quoted = !quoted;
      } else {
        param += commandLine[i];
      }
      ++i;
    }
    r.push_back(param);
  }
  return r;
}

Integer ParamCount() {
  std::vector<String> p = SplitCommandLine(Platform::CommandLine());
  return p.empty() ? 0 : static_cast<Integer>(p.size() - 1);
}

String ParamStr(Integer index) {
  if (index == 0) return Platform::ModuleFileName();
  std::vector<String> p = SplitCommandLine(Platform::CommandLine());
  if (index < 0 || index >= static_cast<Integer>(p.size())) return String();
  return p[index];
}

String LoadResString(Integer ident) {
  String s;
  return Platform::LoadResString(ident, s) ? s : String();
}

void Assert(bool condition, const String& message, const char* file, int line) {
  if (condition) return;
  String msg = message.empty() ? String(SAssertionFailed) : message;
  throw EAssertionFailed(SAssertError, {msg, file ? file : "", line});
}

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

TShortCut ShortCut(Word key, TShiftState shift) {
  if (key & 0xFF00) return scNone;
  TShortCut r = key;
  if (shift.Contains(ssShift)) r |= scShift;
  if (shift.Contains(ssCtrl)) r |= scCtrl;
  if (shift.Contains(ssAlt)) r |= scAlt;
  return r;
}

void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift) {
  key = shortCut & static_cast<Word>(~(scShift | scCtrl | scAlt));
  shift = TShiftState();
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

String ShortCutToText(TShortCut shortCut) {
  static const char* const kKeys20[] = {SmkcSpace, SmkcPgUp,  SmkcPgDn,
                                        SmkcEnd,   SmkcHome,  SmkcLeft,
                                        SmkcUp,    SmkcRight, SmkcDown};
  unsigned key = shortCut & 0xFF;
  String name;
  if (key == 0x08) {
    name = SmkcBkSp;
  } else if (key == 0x09) {
    name = SmkcTab;
  } else if (key == 0x0D) {
    name = SmkcEnter;
  } else if (key == 0x1B) {
    name = SmkcEsc;
  } else if (key >= 0x20 && key <= 0x28) {
    name = kKeys20[key - 0x20];
  } else if (key == 0x2D) {
    name = SmkcIns;
  } else if (key == 0x2E) {
    name = SmkcDel;
  } else if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A)) {
    name = String(1, static_cast<char>(key));
  } else if (key >= 0x60 && key <= 0x69) {
    // The numeric pad's digits are named like the main digits.
    name = String(1, static_cast<char>('0' + key - 0x60));
  } else if (key >= 0x70 && key <= 0x87) {
    name = "F" + std::to_string(key - 0x6F);
  } else {
    name = Platform::KeyName(static_cast<Word>(key));
  }
  if (name.empty()) return String();
  String r;
  if (shortCut & scShift) r += SmkcShift;
  if (shortCut & scCtrl) r += SmkcCtrl;
  if (shortCut & scAlt) r += SmkcAlt;
  return r + name;
}

TShortCut TextToShortCut(const String& text) {
  String t = text;
  TShortCut shift = 0;
  auto front = [&](const char* prefix) {
    std::size_t n = std::strlen(prefix);
    if (t.size() >= n && SameText(t.substr(0, n), prefix)) {
      t.erase(0, n);
      return true;
    }
    return false;
  };
  while (true) {
    if (front(SmkcShift)) {
      shift |= scShift;
    } else if (front("^") || front(SmkcCtrl)) {
      shift |= scCtrl;
    } else if (front(SmkcAlt)) {
      shift |= scAlt;
    } else {
      break;
    }
  }
  if (t.empty()) return scNone;
  for (Word key = 0x08; key <= 0xFF; ++key) {
    String name = ShortCutToText(key);
    if (!name.empty() && AnsiCompareText(t, name) == 0) {
      return static_cast<TShortCut>(key | shift);
    }
  }
  return scNone;
}
