// Portable stand-ins for the platform seam, so that the class-library core
// builds and runs its tests off Windows: US-English locale data, case rules
// of code page 1252 applied byte by byte, and the C library's clock and file
// calls.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "Platform.h"
#include "SysUtils.h"

namespace Platform {

namespace {

// Letters of code page 1252 beyond ASCII: 0xC0-0xDE upper (except 0xD7),
// 0xE0-0xFE lower (except 0xF7), plus the pairs S/s, OE/oe, Z/z caron and
// Y diaeresis.
unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

unsigned char LowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

const char* UsLocale(Cardinal item) {
  static const char* const kMonths[] = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  static const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr",
                                             "May", "Jun", "Jul", "Aug",
                                             "Sep", "Oct", "Nov", "Dec"};
  // Monday first, as the system numbers them.
  static const char* const kDays[] = {"Monday",   "Tuesday", "Wednesday",
                                      "Thursday", "Friday",  "Saturday",
                                      "Sunday"};
  static const char* const kShortDays[] = {"Mon", "Tue", "Wed", "Thu",
                                           "Fri", "Sat", "Sun"};
  if (item >= liSMonthName1 && item < liSMonthName1 + 12) {
    return kMonths[item - liSMonthName1];
  }
  if (item >= liSAbbrevMonthName1 && item < liSAbbrevMonthName1 + 12) {
    return kShortMonths[item - liSAbbrevMonthName1];
  }
  if (item >= liSDayName1 && item < liSDayName1 + 7) {
    return kDays[item - liSDayName1];
  }
  if (item >= liSAbbrevDayName1 && item < liSAbbrevDayName1 + 7) {
    return kShortDays[item - liSAbbrevDayName1];
  }
  switch (item) {
    case liSList:
      return ",";
    case liSDecimal:
      return ".";
    case liSThousand:
      return ",";
    case liSCurrency:
      return "$";
    case liICurrDigits:
      return "2";
    case liICurrency:
      return "0";
    case liINegCurr:
      return "0";
    case liSDate:
      return "/";
    case liSTime:
      return ":";
    case liSShortDate:
      return "M/d/yyyy";
    case liSLongDate:
      return "dddd, MMMM dd, yyyy";
    case liITime:
      return "0";
    case liITLZero:
      return "0";
    case liS1159:
      return "AM";
    case liS2359:
      return "PM";
    case liSTimeFormat:
      return "h:mm:ss tt";
    case liITimeMarkPosn:
      return "0";
    case liICalendarType:
      return "1";
    default:
      return nullptr;
  }
}

TSystemTime FromTm(const struct tm& t, long msec) {
  TSystemTime st;
  st.wYear = static_cast<Word>(t.tm_year + 1900);
  st.wMonth = static_cast<Word>(t.tm_mon + 1);
  st.wDayOfWeek = static_cast<Word>(t.tm_wday);
  st.wDay = static_cast<Word>(t.tm_mday);
  st.wHour = static_cast<Word>(t.tm_hour);
  st.wMinute = static_cast<Word>(t.tm_min);
  st.wSecond = static_cast<Word>(t.tm_sec);
  st.wMilliseconds = static_cast<Word>(msec);
  return st;
}

String Native(const String& path) {
  String p = path;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return p;
}

Integer AttrOf(const struct stat& st, const String& name) {
  Integer a = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (!(st.st_mode & S_IWUSR)) a |= faReadOnly;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
    a |= faHidden;
  }
  return a;
}

struct TSearch {
  DIR* dir = nullptr;
  String folder;
  String mask;
  ~TSearch() {
    if (dir) closedir(dir);
  }
};

bool NextMatch(TSearch& s, TFindEntry& e, Integer& error) {
  while (struct dirent* d = readdir(s.dir)) {
    String name = d->d_name;
    if (fnmatch(s.mask.c_str(), name.c_str(), 0) != 0) continue;
    struct stat st;
    if (stat((s.folder + name).c_str(), &st) != 0) continue;
    e.Name = name;
    e.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<Int64>(st.st_size);
    e.Attr = AttrOf(st, name);
    struct tm t;
    localtime_r(&st.st_mtime, &t);
    e.LocalWriteTime = FromTm(t, 0);
    return true;
  }
  error = errNoMoreFiles;
  return false;
}

}  // namespace

Cardinal UserDefaultLCID() { return 0x0409; }

bool GetLocaleString(Cardinal lcid, Cardinal item, String& value) {
  (void)lcid;
  const char* v = UsLocale(item);
  if (!v) return false;
  value = v;
  return true;
}

namespace {

// The system's date and time pictures: runs of one letter are fields,
// 'quoted' text is literal ('' is a quote), everything else is copied.
String FormatPicture(const String& picture, const TSystemTime& t, bool date) {
  String r;
  std::size_t i = 0;
  auto two = [](unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02u", v % 100);
    return String(buf);
  };
  while (i < picture.size()) {
    char c = picture[i];
    if (c == '\'') {
      std::size_t j = i + 1;
      while (j < picture.size()) {
        if (picture[j] == '\'') {
          if (j + 1 < picture.size() && picture[j + 1] == '\'') {
            r += '\'';
            j += 2;
            continue;
          }
          break;
        }
        r += picture[j++];
      }
      i = j + 1;
      continue;
    }
    std::size_t n = 1;
    while (i + n < picture.size() && picture[i + n] == c) ++n;
    i += n;
    // Monday first in the locale table; wDayOfWeek counts from Sunday.
    Cardinal day = (t.wDayOfWeek + 6u) % 7u;
    if (date && c == 'd') {
      if (n <= 2) {
        r += n == 1 ? std::to_string(t.wDay) : two(t.wDay);
      } else {
        r += UsLocale((n == 3 ? liSAbbrevDayName1 : liSDayName1) + day);
      }
    } else if (date && c == 'M') {
      if (n <= 2) {
        r += n == 1 ? std::to_string(t.wMonth) : two(t.wMonth);
      } else {
        r += UsLocale((n == 3 ? liSAbbrevMonthName1 : liSMonthName1) +
                      t.wMonth - 1u);
      }
    } else if (date && c == 'y') {
      if (n <= 2) {
        r += n == 1 ? std::to_string(t.wYear % 100) : two(t.wYear);
      } else {
        r += std::to_string(t.wYear);
      }
    } else if (date && c == 'g') {
      r += "A.D.";
    } else if (!date && (c == 'h' || c == 'H')) {
      unsigned h = t.wHour;
      if (c == 'h') h = h % 12 == 0 ? 12 : h % 12;
      r += n == 1 ? std::to_string(h) : two(h);
    } else if (!date && c == 'm') {
      r += n == 1 ? std::to_string(t.wMinute) : two(t.wMinute);
    } else if (!date && c == 's') {
      r += n == 1 ? std::to_string(t.wSecond) : two(t.wSecond);
    } else if (!date && c == 't') {
      String mark = t.wHour < 12 ? "AM" : "PM";
      r += n == 1 ? mark.substr(0, 1) : mark;
    } else {
      r.append(n, c);
    }
  }
  return r;
}

}  // namespace

bool FormatDateLocale(Cardinal lcid, const TSystemTime& date, Cardinal flags,
                      const String& format, String& value) {
  (void)lcid;
  if (!format.empty() && (flags & 3u)) return false;
  if (date.wMonth < 1 || date.wMonth > 12 || date.wDay < 1 ||
      date.wDay > MonthDays(IsLeapYear(date.wYear), date.wMonth)) {
    return false;
  }
  String picture = format;
  if (picture.empty()) {
    picture = UsLocale((flags & 2u) ? liSLongDate : liSShortDate);
  }
  value = FormatPicture(picture, date, true);
  return true;
}

bool FormatTimeLocale(Cardinal lcid, const TSystemTime& time, Cardinal flags,
                      const String& format, String& value) {
  (void)lcid;
  (void)flags;
  if (time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59) return false;
  value = FormatPicture(
      format.empty() ? String(UsLocale(liSTimeFormat)) : format, time, false);
  return true;
}

bool FarEastLocale() { return false; }
bool MiddleEastLocale() { return false; }

Integer CompareAnsiLocale(Cardinal lcid, const String& a, const String& b,
                          bool ignoreCase) {
  (void)lcid;
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (ignoreCase) {
      x = UpperByte(x);
      y = UpperByte(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

Integer CompareAnsi(const String& a, const String& b, bool ignoreCase) {
  return CompareAnsiLocale(UserDefaultLCID(), a, b, ignoreCase);
}

String UpperAnsi(const String& s) {
  String r = s;
  for (char& c : r)
    c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
  return r;
}

String LowerAnsi(const String& s) {
  String r = s;
  for (char& c : r)
    c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return r;
}

namespace {
// Code page 1252's characters 0x80-0x9F (0 where it has none).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

String WideToAnsi(const char16_t* text, std::size_t length) {
  String r;
  if (!text) return r;
  r.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    char16_t c = text[i];
    char out = '?';
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out = static_cast<char>(c);
    } else {
      for (int k = 0; k < 32; ++k) {
        if (kCp1252High[k] && kCp1252High[k] == c) {
          out = static_cast<char>(0x80 + k);
          break;
        }
      }
    }
    r += out;
  }
  return r;
}

WideString AnsiToWide(const String& s) {
  WideString r;
  r.reserve(s.size());
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    char16_t w = c;
    if (c >= 0x80 && c < 0xA0)
      w = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : c;
    r += w;
  }
  return r;
}

TSystemTime LocalTime() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm t;
  localtime_r(&ts.tv_sec, &t);
  return FromTm(t, ts.tv_nsec / 1000000);
}

Cardinal TickCount() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<Cardinal>(static_cast<UInt64>(ts.tv_sec) * 1000 +
                               ts.tv_nsec / 1000000);
}

void SleepMs(Cardinal milliseconds) {
  struct timespec ts;
  ts.tv_sec = milliseconds / 1000;
  ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000;
  nanosleep(&ts, nullptr);
}

String ExponentText(long double value, Integer precision) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Le", precision, value);
  return buf;
}

TOSVersion OSVersion() {
  TOSVersion v;
  v.PlatformId = 2;
  v.Major = 5;
  v.Minor = 1;
  v.Build = 2600;
  return v;
}

String CommandLine() {
  // Rebuilt from /proc, quoting arguments that contain blanks.
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  String all((std::istreambuf_iterator<char>(in)),
             std::istreambuf_iterator<char>());
  String r, arg;
  auto flush = [&] {
    bool quote = arg.empty() || arg.find_first_of(" \t") != String::npos;
    if (!r.empty()) r += ' ';
    r += quote ? "\"" + arg + "\"" : arg;
    arg.clear();
  };
  for (char c : all) {
    if (c == '\0') {
      flush();
    } else {
      arg += c;
    }
  }
  if (!arg.empty()) flush();
  return r;
}

String ModuleFileName() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? String(buf, static_cast<std::size_t>(n)) : String();
}

bool LoadResString(Integer ident, String& value) {
  (void)ident;
  (void)value;
  return false;
}

String KeyName(Word virtualKey) {
  (void)virtualKey;
  return String();
}

void* SafeLoadLibrary(const String& fileName, Cardinal errorMode) {
  (void)fileName;
  (void)errorMode;
  return nullptr;
}

const char* PathDelimiters() { return "\\/"; }

bool SeekFile(std::FILE* file, Int64 offset, int whence) {
  return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

Int64 TellFile(std::FILE* file) { return static_cast<Int64>(ftello(file)); }

bool TruncateFile(std::FILE* file, Int64 size) {
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

Integer FileAttributes(const String& fileName) {
  struct stat st;
  if (fileName.empty() || stat(Native(fileName).c_str(), &st) != 0) return -1;
  String name = Native(fileName);
  std::size_t slash = name.find_last_of('/');
  return AttrOf(st, slash == String::npos ? name : name.substr(slash + 1));
}

bool LastWriteLocalTime(const String& fileName, TSystemTime& time) {
  struct stat st;
  if (stat(Native(fileName).c_str(), &st) != 0) return false;
  struct tm t;
  localtime_r(&st.st_mtime, &t);
  time = FromTm(t, 0);
  return true;
}

bool RemoveFile(const String& fileName) {
  return unlink(Native(fileName).c_str()) == 0;
}

bool RenameFile(const String& oldName, const String& newName) {
  // Windows refuses to replace an existing file; so does this stand-in.
  struct stat st;
  if (stat(Native(newName).c_str(), &st) == 0) return false;
  return std::rename(Native(oldName).c_str(), Native(newName).c_str()) == 0;
}

bool CreateDir(const String& dir) {
  return mkdir(Native(dir).c_str(), 0777) == 0;
}

bool RemoveDir(const String& dir) { return rmdir(Native(dir).c_str()) == 0; }

String CurrentDir() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? String(buf) : String();
}

bool SetCurrentDir(const String& dir) {
  return chdir(Native(dir).c_str()) == 0;
}

String FullPathName(const String& fileName) {
  String p = Native(fileName);
  if (p.empty()) return p;
  if (p[0] != '/') p = CurrentDir() + "/" + p;
  // Resolve "." and ".." textually, as the system does, without touching
  // the disk.
  std::vector<String> parts;
  std::size_t i = 0;
  while (i <= p.size()) {
    std::size_t j = p.find('/', i);
    if (j == String::npos) j = p.size();
    String part = p.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  String r;
  for (const auto& part : parts) r += "/" + part;
  if (r.empty() || (p.size() > 1 && p.back() == '/')) r += "/";
  return r;
}

std::shared_ptr<void> FindFirst(const String& pattern, TFindEntry& entry,
                                Integer& error) {
  String p = Native(pattern);
  std::size_t slash = p.find_last_of('/');
  auto s = std::make_shared<TSearch>();
  s->folder = slash == String::npos ? "" : p.substr(0, slash + 1);
  s->mask = slash == String::npos ? p : p.substr(slash + 1);
  if (s->mask == "*.*") s->mask = "*";
  s->dir = opendir(s->folder.empty() ? "." : s->folder.c_str());
  if (!s->dir) {
    error = errPathNotFound;
    return nullptr;
  }
  if (!NextMatch(*s, entry, error)) {
    error = errFileNotFound;
    return nullptr;
  }
  return s;
}

bool FindNext(void* search, TFindEntry& entry, Integer& error) {
  if (!search) {
    error = errNoMoreFiles;
    return false;
  }
  return NextMatch(*static_cast<TSearch*>(search), entry, error);
}

}  // namespace Platform

// The system functions that the Windows build takes from the system.

Integer MulDiv(Integer number, Integer numerator, Integer denominator) {
  if (denominator == 0) return -1;
  Int64 p = static_cast<Int64>(number) * numerator;
  Int64 q = p / denominator;
  Int64 rem = p % denominator;
  // Half away from zero.
  Int64 absRem = rem < 0 ? -rem : rem;
  Int64 absDen = denominator < 0 ? -Int64(denominator) : denominator;
  if (2 * absRem >= absDen) q += ((p < 0) != (denominator < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<Integer>(q);
}

Cardinal GetTickCount() { return Platform::TickCount(); }

void Sleep(Cardinal milliseconds) { Platform::SleepMs(milliseconds); }
