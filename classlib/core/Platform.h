// The thin seam between the class-library routines and the operating system.
// classlib/win/PlatformWin.cpp implements it over Win32; off Windows,
// classlib/posix/PlatformPosix.cpp supplies portable stand-ins (US-English
// locale, byte-wise case rules for ASCII and code page 1252, the C library's
// clock and file calls). Nothing here includes <windows.h>.
#pragma once

#include <cstdio>
#include <memory>

#include "System.h"

struct TSystemTime {
  Word wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
  Word wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};

namespace Platform {

// Locale items, numbered as the system numbers them.
enum TLocaleItem : Cardinal {
  liSList = 0x0C,
  liSDecimal = 0x0E,
  liSThousand = 0x0F,
  liSCurrency = 0x14,
  liICurrDigits = 0x19,
  liICurrency = 0x1B,
  liINegCurr = 0x1C,
  liSDate = 0x1D,
  liSTime = 0x1E,
  liSShortDate = 0x1F,
  liSLongDate = 0x20,
  liITime = 0x23,
  liITLZero = 0x25,
  liS1159 = 0x28,
  liS2359 = 0x29,
  liSDayName1 = 0x2A,        // Monday; 7 = Sunday
  liSAbbrevDayName1 = 0x31,  // Monday; 7 = Sunday
  liSMonthName1 = 0x38,
  liSAbbrevMonthName1 = 0x44,
  liSTimeFormat = 0x1003,
  liITimeMarkPosn = 0x1005,
  liICalendarType = 0x1009,
};

Cardinal UserDefaultLCID();
// The locale's text for item; false (and value untouched) when the system
// has none.
bool GetLocaleString(Cardinal lcid, Cardinal item, String& value);
// The locale's text for a date or a time: the picture format, or the
// locale's default for flags when the format is empty (date flags: 1 short,
// 2 long). False when the system cannot format it.
bool FormatDateLocale(Cardinal lcid, const TSystemTime& date, Cardinal flags,
                      const String& format, String& value);
bool FormatTimeLocale(Cardinal lcid, const TSystemTime& time, Cardinal flags,
                      const String& format, String& value);
bool FarEastLocale();     // double-byte character sets enabled
bool MiddleEastLocale();  // right-to-left scripts enabled

// Compares in the user's locale: <0, 0, >0.
Integer CompareAnsi(const String& a, const String& b, bool ignoreCase);
// Same, in an explicit locale (tests pin one this way).
Integer CompareAnsiLocale(Cardinal lcid, const String& a, const String& b,
                          bool ignoreCase);
// (Not AnsiUpper: the system headers define that name as a macro.)
String UpperAnsi(const String& s);
String LowerAnsi(const String& s);

// Between UTF-16 and the system's ANSI code page (1252 off Windows);
// characters the code page lacks become '?'.
String WideToAnsi(const char16_t* text, std::size_t length);
WideString AnsiToWide(const String& s);
inline String WideToAnsi(const WideString& w) {
  return WideToAnsi(w.data(), w.size());
}

TSystemTime LocalTime();
Cardinal TickCount();
void SleepMs(Cardinal milliseconds);

// value as the C library's "%.*Le" writes it, with precision digits after
// the point. (The C runtime of Windows knows no long double of its own.)
String ExponentText(long double value, Integer precision);

struct TOSVersion {
  Integer PlatformId = 2;
  Integer Major = 0;
  Integer Minor = 0;
  Integer Build = 0;
  String CSDVersion;
};
TOSVersion OSVersion();

String CommandLine();     // the raw command line
String ModuleFileName();  // the executable's path
// A string resource of the executable; false when there is none.
bool LoadResString(Integer ident, String& value);
// The keyboard's name for a virtual key ("Num *"); "" when unknown.
String KeyName(Word virtualKey);
// Loads a library without the system's error box and with the caller's
// floating-point control word preserved; null on failure.
void* SafeLoadLibrary(const String& fileName, Cardinal errorMode);

// The characters that end a folder name in a path: the backslash, and off
// Windows the host's own separator as well.
const char* PathDelimiters();

// 64-bit positions in files opened with the C library's fopen. SeekFile
// and TruncateFile report success; TellFile gives -1 on failure.
bool SeekFile(std::FILE* file, Int64 offset, int whence);
Int64 TellFile(std::FILE* file);
bool TruncateFile(std::FILE* file, Int64 size);

// Files. Attributes use the fa* bits; -1 when the file does not exist.
Integer FileAttributes(const String& fileName);
bool LastWriteLocalTime(const String& fileName, TSystemTime& time);
bool RemoveFile(const String& fileName);
bool RenameFile(const String& oldName, const String& newName);
bool CreateDir(const String& dir);
bool RemoveDir(const String& dir);
String CurrentDir();
bool SetCurrentDir(const String& dir);
String FullPathName(const String& fileName);

struct TFindEntry {
  String Name;
  Int64 Size = 0;
  Integer Attr = 0;
  TSystemTime LocalWriteTime;
};
// System error codes returned by the search.
constexpr Integer errFileNotFound = 2;
constexpr Integer errPathNotFound = 3;
constexpr Integer errNoMoreFiles = 18;
// Starts a search for pattern (wildcards * and ?). On success fills entry
// and returns the search handle, which closes itself when the last
// reference goes; on failure returns null and sets error.
std::shared_ptr<void> FindFirst(const String& pattern, TFindEntry& entry,
                                Integer& error);
// Next entry; false with error at the end or on failure.
bool FindNext(void* search, TFindEntry& entry, Integer& error);

}  // namespace Platform
