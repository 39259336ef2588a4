#include "SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "SysConst.h"
#include "SysUtilsPrivate.h"

using sysutils_detail::Upper;

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
    // Appended, not "F" + ...: GCC 12 sees a false overlap in the latter.
    name = "F";
    name += std::to_string(key - 0x6F);
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
