// Strings, Format, number and date conversions, locale format settings, file
// routines and small system helpers. Platform independent: everything the
// operating system provides comes through Platform.h.
//
// Format settings: one global record, FormatSettings, holds the locale's
// separators, formats and names. The class library's familiar global names
// (DecimalSeparator, ShortDateFormat, LongMonthNames, ...) are references to
// the fields of that record, so reading or assigning either spelling is the
// same thing. GetFormatSettings() rereads the record from the user's locale
// (the application calls it when the system reports an "intl" setting
// change). Every routine that depends on the settings also has an overload
// taking an explicit TFormatSettings; the overloads without one use the
// global record.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "Platform.h"
#include "System.h"

// ---------------------------------------------------------------------------
// Format settings
// ---------------------------------------------------------------------------

struct TFormatSettings {
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 0;
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  Byte CurrencyDecimals = 2;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  String CurrencyString = "$";
  String ShortDateFormat = "M/d/yyyy";
  String LongDateFormat = "dddd, MMMM d, yyyy";
  String TimeAMString = "AM";
  String TimePMString = "PM";
  String ShortTimeFormat = "h:mm AMPM";
  String LongTimeFormat = "h:mm:ss AMPM";
  String ShortMonthNames[12];
  String LongMonthNames[12];
  String ShortDayNames[7];  // Sunday first
  String LongDayNames[7];
  Word TwoDigitYearCenturyWindow = 50;
};

// US-English settings, independent of the system (for tests and for text
// that must not follow the user's locale, such as stored values).
TFormatSettings DefaultFormatSettings();

extern TFormatSettings FormatSettings;

inline Byte& CurrencyFormat = FormatSettings.CurrencyFormat;
inline Byte& NegCurrFormat = FormatSettings.NegCurrFormat;
inline char& ThousandSeparator = FormatSettings.ThousandSeparator;
inline char& DecimalSeparator = FormatSettings.DecimalSeparator;
inline Byte& CurrencyDecimals = FormatSettings.CurrencyDecimals;
inline char& DateSeparator = FormatSettings.DateSeparator;
inline char& TimeSeparator = FormatSettings.TimeSeparator;
inline char& ListSeparator = FormatSettings.ListSeparator;
inline String& CurrencyString = FormatSettings.CurrencyString;
inline String& ShortDateFormat = FormatSettings.ShortDateFormat;
inline String& LongDateFormat = FormatSettings.LongDateFormat;
inline String& TimeAMString = FormatSettings.TimeAMString;
inline String& TimePMString = FormatSettings.TimePMString;
inline String& ShortTimeFormat = FormatSettings.ShortTimeFormat;
inline String& LongTimeFormat = FormatSettings.LongTimeFormat;
inline String (&ShortMonthNames)[12] = FormatSettings.ShortMonthNames;
inline String (&LongMonthNames)[12] = FormatSettings.LongMonthNames;
inline String (&ShortDayNames)[7] = FormatSettings.ShortDayNames;
inline String (&LongDayNames)[7] = FormatSettings.LongDayNames;
inline Word& TwoDigitYearCenturyWindow =
    FormatSettings.TwoDigitYearCenturyWindow;

// Fills settings from the given locale (defaults where the system has no
// answer).
void GetLocaleFormatSettings(Cardinal locale, TFormatSettings& settings);
// Rereads the global FormatSettings and SysLocale from the user's locale.
void GetFormatSettings();

// Turns a locale date picture ("M/d/yyyy", "dddd, MMMM dd, yyyy", with
// 'quoted' literals) into a FormatDateTime format ("m/d/yyyy"). The era
// ("g", "gg") stays only for calendars that count in eras (calendar types 3
// and 4); elsewhere it is dropped with the blanks after it.
String TranslateDateFormat(const String& picture, Integer calendarType = 1);
// The time formats come from the locale's 12/24-hour flag, leading-zero flag
// and AM/PM position, as the class library builds them: "h:mm AMPM" and
// "h:mm:ss AMPM" for US English, "hh:mm" and "hh:mm:ss" for German.

struct TSysLocale {
  Cardinal DefaultLCID = 0x0409;
  Integer PriLangID = 0x09;
  Integer SubLangID = 0x01;
  bool FarEast = false;
  bool MiddleEast = false;
};
extern TSysLocale SysLocale;

// Operating-system identity, filled at start-up.
constexpr Integer VER_PLATFORM_WIN32s_ = 0;
constexpr Integer VER_PLATFORM_WIN32_WINDOWS_ = 1;
constexpr Integer VER_PLATFORM_WIN32_NT_ = 2;
extern Integer Win32Platform;
extern Integer Win32MajorVersion;
extern Integer Win32MinorVersion;
extern Integer Win32BuildNumber;
extern String Win32CSDVersion;

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

// Format(fmt, args) (declared in System.h) uses the global settings.
String Format(const String& fmt, TVarRecs args, const TFormatSettings& fs);
String Format(const String& fmt, const TVarRec* args, std::size_t count,
              const TFormatSettings& fs);
void FmtStr(String& result, const String& fmt, TVarRecs args);
// Formats into buffer (at most bufLen characters, no terminator added);
// returns the number of characters written.
Cardinal FormatBuf(char* buffer, Cardinal bufLen, const char* fmt,
                   Cardinal fmtLen, TVarRecs args);

// Variants convert through these hooks so that this unit does not depend on
// Variants; the Variants unit installs them at start-up. Unset hooks make a
// variant argument an EConvertError(SInvalidFormat).
namespace classlib_detail {
struct TVariantFormatHooks {
  String (*ToStr)(const Variant&) = nullptr;
  Int64 (*ToInt64)(const Variant&) = nullptr;
  Extended (*ToExtended)(const Variant&) = nullptr;
};
extern TVariantFormatHooks VariantFormatHooks;
}  // namespace classlib_detail

// ---------------------------------------------------------------------------
// Integers
// ---------------------------------------------------------------------------

String IntToStr(Integer value);
String IntToStr(Int64 value);
// Other integer types (long, unsigned, ...) go through Int64.
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool> &&
         !std::is_same_v<T, char>) String IntToStr(T value) {
  return IntToStr(static_cast<Int64>(value));
}
// Negative Integers show their 32-bit two's complement, Int64s their 64-bit.
String IntToHex(Integer value, Integer digits);
String IntToHex(Int64 value, Integer digits);
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) String
    IntToHex(T value, Integer digits) {
  if constexpr (sizeof(T) <= sizeof(Integer)) {
    return IntToHex(static_cast<Integer>(value), digits);
  } else {
    return IntToHex(static_cast<Int64>(value), digits);
  }
}

// Accept leading spaces, a sign, and decimal digits or hexadecimal after "$",
// "0x" or "x"; nothing may follow the number. Decimal values out of range are
// errors; hexadecimal may use every bit ("$FFFFFFFF" is -1 as an Integer).
Integer StrToInt(const String& s);  // EConvertError(SInvalidInteger)
Int64 StrToInt64(const String& s);
Integer StrToIntDef(const String& s, Integer def);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);
// The class library's Val: code is 0 on success, else the 1-based position of
// the first offending character (value then undefined, set to 0).
void Val(const String& s, Integer& value, Integer& code);
void Val(const String& s, Int64& value, Integer& code);
void Val(const String& s, double& value, Integer& code);

// ---------------------------------------------------------------------------
// Floating point and currency
// ---------------------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
enum TFloatValue { fvExtended, fvCurrency };

String FloatToStr(Extended value);
String FloatToStr(Extended value, const TFormatSettings& fs);
String FloatToStrF(Extended value, TFloatFormat format, Integer precision,
                   Integer digits);
String FloatToStrF(Extended value, TFloatFormat format, Integer precision,
                   Integer digits, const TFormatSettings& fs);
String FormatFloat(const String& format, Extended value);
String FormatFloat(const String& format, Extended value,
                   const TFormatSettings& fs);
String FormatCurr(const String& format, Currency value);
String FormatCurr(const String& format, Currency value,
                  const TFormatSettings& fs);
String CurrToStr(Currency value);
String CurrToStr(Currency value, const TFormatSettings& fs);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits,
                  const TFormatSettings& fs);

Extended StrToFloat(const String& s);  // EConvertError(SInvalidFloat)
Extended StrToFloat(const String& s, const TFormatSettings& fs);
Extended StrToFloatDef(const String& s, Extended def);
bool TryStrToFloat(const String& s, Extended& value);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, Extended& value, const TFormatSettings& fs);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs);
// Text with the settings' decimal separator, no thousands separators, with
// leading and trailing spaces allowed. value points to an Extended, or to a
// Currency for fvCurrency (rounded half to even to four decimals).
bool TextToFloat(const char* text, void* value, TFloatValue valueType);
bool TextToFloat(const char* text, void* value, TFloatValue valueType,
                 const TFormatSettings& fs);
Currency StrToCurr(const String& s);
Currency StrToCurr(const String& s, const TFormatSettings& fs);
Currency StrToCurrDef(const String& s, Currency def);
bool TryStrToCurr(const String& s, Currency& value);
bool TryStrToCurr(const String& s, Currency& value, const TFormatSettings& fs);

Currency DoubleToCurr(Extended value);  // rounds half to even
Extended CurrToDouble(Currency value);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
Int64 Round(Extended value);
Int64 Trunc(Extended value);
Extended Frac(Extended value);
Extended Int(Extended value);

// ---------------------------------------------------------------------------
// Dates and times (TDateTime: days since 1899-12-30, fraction = time)
// ---------------------------------------------------------------------------

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerDay = 24 * 60;
constexpr Integer SecsPerDay = MinsPerDay * 60;
constexpr Integer MSecsPerDay = SecsPerDay * 1000;
constexpr Integer DateDelta = 693594;  // days from 0001-01-01 to 1899-12-31

bool IsLeapYear(Word year);
Word MonthDays(bool leapYear, Word month);              // month 1..12
TDateTime EncodeDate(Word year, Word month, Word day);  // EConvertError
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                         Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                       Word sec, Word msec, TDateTime& value);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day,
                    Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday .. 7 = Saturday.
Integer DayOfWeek(TDateTime date);
TDateTime SystemTimeToDateTime(const TSystemTime& st);
void DateTimeToSystemTime(TDateTime value, TSystemTime& st);
TDateTime Now();
TDateTime Date();
TDateTime Time();
TDateTime IncMonth(TDateTime date, Integer months = 1);

String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value,
                      const TFormatSettings& fs);
void DateTimeToString(String& result, const String& format, TDateTime value);
void DateTimeToString(String& result, const String& format, TDateTime value,
                      const TFormatSettings& fs);
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& fs);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& fs);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& fs);

TDateTime StrToDate(const String& s);  // EConvertError(SInvalidDate)
TDateTime StrToDate(const String& s, const TFormatSettings& fs);
TDateTime StrToTime(const String& s);  // EConvertError(SInvalidTime)
TDateTime StrToTime(const String& s, const TFormatSettings& fs);
TDateTime StrToDateTime(const String& s);  // EConvertError(SInvalidDateTime)
TDateTime StrToDateTime(const String& s, const TFormatSettings& fs);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToTimeDef(const String& s, TDateTime def);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value,
                      const TFormatSettings& fs);

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

// Blanks are spaces and control characters (<= ' ').
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);
// ASCII letters only.
String UpperCase(const String& s);
String LowerCase(const String& s);
Integer CompareStr(const String& a, const String& b);   // ordinal, <0 0 >0
Integer CompareText(const String& a, const String& b);  // ASCII-insensitive
bool SameText(const String& a, const String& b);        // ASCII-insensitive
// Locale aware (the user's locale, through the platform).
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
Integer AnsiCompareStr(const String& a, const String& b);
Integer AnsiCompareText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);

// 1-based position of sub in s, 0 when absent (also for an empty sub).
Integer Pos(const String& sub, const String& s);
Integer AnsiPos(const String& sub, const String& s);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
String StringReplace(const String& s, const String& oldPattern,
                     const String& newPattern, TReplaceFlags flags);

String QuotedStr(const String& s);  // 'it''s'
String AnsiQuotedStr(const String& s, char quote);
// Reads a quoted string at text[pos]: returns its content (doubled quotes
// undone) and moves pos past the closing quote (to the end when there is
// none). Returns "" and leaves pos when text[pos] is not the quote.
String AnsiExtractQuotedStr(const String& text, std::size_t& pos, char quote);
// The unquoted content when s starts with the quote; s itself otherwise.
String AnsiDequotedStr(const String& s, char quote);
String StringOfChar(char ch, Integer count);
// index is 1-based, as the class library's.
bool IsDelimiter(const String& delimiters, const String& s, Integer index);
Integer LastDelimiter(const String& delimiters, const String& s);

enum TTextLineBreakStyle { tlbsLF, tlbsCRLF };
// Every CR, LF, CR LF or LF CR becomes one line break of the given style.
String AdjustLineBreaks(const String& s, TTextLineBreakStyle style = tlbsCRLF);

String BoolToStr(bool value, bool useBoolStrs = false);
bool StrToBool(const String& s);  // EConvertError(SInvalidBoolean)
bool StrToBoolDef(const String& s, bool def);
bool TryStrToBool(const String& s, bool& value);

// ---------------------------------------------------------------------------
// File names and files (path delimiter '\\'; '/' is accepted off Windows)
// ---------------------------------------------------------------------------

constexpr char PathDelim = '\\';
constexpr char DriveDelim = ':';
constexpr char PathSep = ';';

String ExtractFilePath(const String& fileName);  // with trailing delimiter
String ExtractFileDir(const String& fileName);   // without it
String ExtractFileName(const String& fileName);
String ExtractFileDrive(const String& fileName);  // "C:" or "\\server\share"
String ExtractFileExt(const String& fileName);    // ".txt" or ""
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& s);
String IncludeTrailingBackslash(const String& s);
String ExcludeTrailingPathDelimiter(const String& s);
String ExcludeTrailingBackslash(const String& s);
bool IsPathDelimiter(const String& s, Integer index);  // index 1-based
String ExpandFileName(const String& fileName);

bool FileExists(const String& fileName);
bool DirectoryExists(const String& name);
bool ForceDirectories(const String& dir);  // EInOutError on an empty name
bool CreateDir(const String& dir);
bool RemoveDir(const String& dir);
// The system headers make DeleteFile a macro for DeleteFileA; both spellings
// are declared so that include order does not matter.
namespace classlib_detail {
bool DeleteFileImpl(const String& fileName);
}
#pragma push_macro("DeleteFile")
#undef DeleteFile
inline bool DeleteFile(const String& fileName) {
  return classlib_detail::DeleteFileImpl(fileName);
}
#ifdef _WIN32
inline bool DeleteFileA(const String& fileName) {
  return classlib_detail::DeleteFileImpl(fileName);
}
#endif
#pragma pop_macro("DeleteFile")
bool RenameFile(const String& oldName, const String& newName);
String GetCurrentDir();
bool SetCurrentDir(const String& dir);

// DOS file date: date in the high word, time in the low word; -1 = none.
Integer FileAge(const String& fileName);
TDateTime FileDateToDateTime(Integer fileDate);
Integer DateTimeToFileDate(TDateTime value);

constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faAnyFile = 0x3F;

struct TSearchRec {
  Integer Time = 0;  // DOS file date, local time
  Int64 Size = 0;
  Integer Attr = 0;
  String Name;
  Integer ExcludeAttr = 0;
  std::shared_ptr<void> FindHandle;  // owned by the platform search
};
// 0 on success, else an operating-system error code. Entries whose
// attributes have a bit of faHidden/faSysFile/faDirectory/faVolumeID not in
// attr are skipped, as the class library does.
Integer FindFirst(const String& path, Integer attr, TSearchRec& f);
Integer FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

// ---------------------------------------------------------------------------
// Miscellany
// ---------------------------------------------------------------------------

// number * numerator / denominator in 64 bits, rounded half away from zero;
// -1 when denominator is 0 or the result does not fit an Integer. These
// three are system functions: the Windows build has the system's own (its
// files see the system headers first), and elsewhere the platform seam
// supplies them (classlib/posix).
#ifndef _WIN32
Integer MulDiv(Integer number, Integer numerator, Integer denominator);
Cardinal GetTickCount();
void Sleep(Cardinal milliseconds);
#endif

Integer ParamCount();
String ParamStr(Integer index);  // 0 = the program's path
// Splits a command line as the class library does: blanks separate
// parameters, double quotes group (and are removed), "" inside quotes is
// nothing special.
std::vector<String> SplitCommandLine(const String& commandLine);

// String resource by identifier from the executable ("" when absent).
String LoadResString(Integer ident);

// Raises EAssertionFailed with the class library's message
// "<message> (<file>, line <n>)" when condition is false.
void Assert(bool condition, const String& message = "",
            const char* file = __builtin_FILE(), int line = __builtin_LINE());

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

enum TShiftStateItem : Byte {
  ssShift,
  ssAlt,
  ssCtrl,
  ssLeft,
  ssRight,
  ssMiddle,
  ssDouble
};

// A set of TShiftStateItem.
class TShiftState {
 public:
  constexpr TShiftState() = default;
  constexpr TShiftState(std::initializer_list<TShiftStateItem> items) {
    for (auto i : items) bits_ |= Bit(i);
  }
  constexpr bool Contains(TShiftStateItem i) const { return bits_ & Bit(i); }
  constexpr TShiftState& Include(TShiftStateItem i) {
    bits_ |= Bit(i);
    return *this;
  }
  constexpr TShiftState& Exclude(TShiftStateItem i) {
    bits_ &= static_cast<Byte>(~Bit(i));
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Byte Bits() const { return bits_; }
  friend constexpr bool operator==(TShiftState a, TShiftState b) {
    return a.bits_ == b.bits_;
  }

 private:
  static constexpr Byte Bit(TShiftStateItem i) {
    return static_cast<Byte>(1u << i);
  }
  Byte bits_ = 0;
};

using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift);
String ShortCutToText(TShortCut shortCut);     // "" for an unnamed key
TShortCut TextToShortCut(const String& text);  // 0 when not recognised
