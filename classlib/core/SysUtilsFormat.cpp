// Number formatting and parsing, and Format, of the SysUtils unit.
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
