// Calendar arithmetic, smart date words ("today", "Monday+2", "eom") and the
// conversions between dates and text that the date, time and calendar
// editors and the filters use. Platform independent: locale facts come from
// a replaceable locale source that reads the user's locale through the
// platform seam by default.
#pragma once

#include <functional>

#include "SysUtils.h"

enum TDay : Byte {
  dSunday = 0,
  dMonday,
  dTuesday,
  dWednesday,
  dThursday,
  dFriday,
  dSaturday = 6
};
// A set of TDay: bit (1 << day).
using TDays = Byte;
// A day's position in a week, 0..6.
using TDayOfWeek = Integer;

enum TcxDateElement { deYear, deMonth, deDay };

enum TcxFirstWeekOfYear : Byte {
  fwySystem = 0,
  fwyJan1 = 1,
  fwyFirstFullWeek = 2,
  fwyFirstFourDays = 3
};

// The date that stands for no date in every conversion.
inline constexpr TDateTime NullDate = -700000.0;
// The last moment of 31 December 9999.
inline constexpr TDateTime cxMaxDateTime = 2958465.99999;

// The earliest year the editors accept: 100, or 1 while the format
// controller uses the class library's date formats.
extern Integer MinYear;
extern Integer MaxYear;

// Consulted by SmartTextToDate when no smart word matches the text.
using TcxSmartTextToDateFunc = bool (*)(const String& AText, TDateTime& ADate);
extern TcxSmartTextToDateFunc SmartTextToDateFunc;

// Locale item numbers the unit reads besides those of Platform.h.
inline constexpr Cardinal cxLocaleIFirstDayOfWeek = 0x100C;
inline constexpr Cardinal cxLocaleIFirstWeekOfYear = 0x100D;
// Date formatting flags, as the system numbers them.
inline constexpr Cardinal cxDateShortDate = 0x01;
inline constexpr Cardinal cxDateLongDate = 0x02;

// Where the unit takes the locale's facts and the system's date and time
// texts from. The default answers from the user's locale; tests install a
// fixed locale so that results do not depend on the machine.
class TcxDateLocale {
 public:
  virtual ~TcxDateLocale() = default;
  // The locale's text for a Platform::TLocaleItem or cxLocale* item; false
  // when the locale has none.
  virtual bool GetInfo(Cardinal item, String& value);
  // The system's text for a date: the picture format (the locale's default
  // for flags when empty); false when the system cannot format it.
  virtual bool FormatDate(TDateTime date, Cardinal flags, const String& format,
                          String& result);
  // The system's text for a time in the locale's default time format.
  virtual bool FormatTime(TDateTime time, String& result);
};

// The locale source in use.
TcxDateLocale& cxDateLocale();
// Installs a locale source (not owned; null restores the user's locale)
// and returns the previous one.
TcxDateLocale* cxSetDateLocale(TcxDateLocale* locale);

// The clock that smart date words count from ("today", "now"); tests pin a
// fixed moment. An empty function restores the system clock. Returns the
// previous clock (empty for the system clock).
using TcxNowFunc = std::function<TDateTime()>;
TcxNowFunc cxSetNowFunc(TcxNowFunc now);
TDateTime cxNow();

// ---------------------------------------------------------------------------
// Calendar arithmetic (IsLeapYear comes from SysUtils)
// ---------------------------------------------------------------------------

void DecMonth(Word& AYear, Word& AMonth);
void IncMonth(Word& AYear, Word& AMonth);
// Moves by ADelta months; the year changes by whole years first.
void ChangeMonth(Word& AYear, Word& AMonth, Integer ADelta);
// year * 12 + month - 12.
Integer GetMonthNumber(TDateTime ADate);
Integer GetDateElement(TDateTime ADate, TcxDateElement AElement);
Word DaysPerMonth(Word AYear, Word AMonth);
// ADay moved into the month: 1 for ADay <= 0, the month's length beyond it.
Word CheckDay(Word AYear, Word AMonth, Integer ADay);
TDateTime TimeOf(TDateTime ADate);
TDateTime DateOf(TDateTime ADate);
// ADate's position (0..6) in a week that starts at the format controller's
// StartOfWeek.
TDayOfWeek DayOfWeekOffset(TDateTime ADate);
// The locale's first day of the week.
TDay GetStartOfWeek();
TDateTime GetStartDateOfMonth(TDateTime ADate);
// The last day of the month; 23:59:59.999 of it unless ADateOnly.
TDateTime GetEndDateOfMonth(TDateTime ADate, bool ADateOnly);
TDateTime GetStartDateOfYear(TDateTime ADate);
TDateTime GetEndDateOfYear(TDateTime ADate, bool ADateOnly);
Integer GetWeekNumber(TDateTime ADate, TDay AStartOfWeek,
                      TcxFirstWeekOfYear AFirstWeekOfYear);

// ---------------------------------------------------------------------------
// Conversions (StrToDateDef comes from SysUtils)
// ---------------------------------------------------------------------------

// The system's text for ADate in the user's locale (AFormat, or the
// locale's default for AFlags when empty); false and an empty text when the
// system cannot format it.
bool cxGetDateFormat(TDateTime ADate, String& AFormattedDate, Cardinal AFlags,
                     const String& AFormat);
String DateToLongDateStr(TDateTime ADate);

// Reads a smart date word, optionally followed by a day offset ("+3",
// "- 2"), relative to today. False when the text is not a smart date (the
// SmartTextToDateFunc hook then decides).
bool SmartTextToDate(const String& AText, TDateTime& ADate);
// A smart date or a date text in the locale's form. False for an empty
// text (ADate untouched) and for anything that is no date within
// MaxYear (ADate then NullDate on a conversion error).
bool TextToDateEx(const String& AText, TDateTime& ADate);
// Converts a date-and-time text with the locale's rules (AUseOleDateFormat)
// or the class library's; false and NullDate when it is no date.
bool cxStrToDateTime(const String& AText, bool AUseOleDateFormat,
                     TDateTime& ADate);
String cxDateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded,
                        bool AUseClassLibraryDateTimeFormats);
String DateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded);
String DateTimeToTextEx(TDateTime ADate, bool AIsMasked, bool AIsDateTimeEdit,
                        bool AFourDigitYearNeeded);
// 1 January of MinYear.
TDateTime cxMinDateTime();

// Lets a regular-expression date mask also accept the smart date words,
// each optionally followed by a sign and one to four digits; "now" only for
// a date-and-time mask.
void AddDateRegExprMaskSmartInput(String& AMask, bool ADateTime);
// AText as a literal of the regular-expression masks: runs of characters in
// single quotes, each quote character as \'.
String cxQuotedRegExprLiteral(const String& AText);

// The smart date words in their fixed order (today, yesterday, tomorrow,
// Sunday..Saturday, first..seventh, bom, eom, now), as currently set.
inline constexpr Integer cxSmartDateWordCount = 20;
String cxGetSmartDateWord(Integer AIndex);
