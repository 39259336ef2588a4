// The platform seam over Win32.
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "Handles.h"
#include "Platform.h"

namespace Platform {

namespace {

TSystemTime FromSystemTime(const SYSTEMTIME& st) {
  TSystemTime t;
  t.wYear = st.wYear;
  t.wMonth = st.wMonth;
  t.wDayOfWeek = st.wDayOfWeek;
  t.wDay = st.wDay;
  t.wHour = st.wHour;
  t.wMinute = st.wMinute;
  t.wSecond = st.wSecond;
  t.wMilliseconds = st.wMilliseconds;
  return t;
}

bool LocalFromFileTime(const FILETIME& ft, TSystemTime& t) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&ft, &local) ||
      !FileTimeToSystemTime(&local, &st)) {
    return false;
  }
  t = FromSystemTime(st);
  return true;
}

void FillEntry(const WIN32_FIND_DATAA& d, TFindEntry& e) {
  e.Name = d.cFileName;
  e.Size = (static_cast<Int64>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  e.Attr = static_cast<Integer>(d.dwFileAttributes);
  if (!LocalFromFileTime(d.ftLastWriteTime, e.LocalWriteTime)) {
    e.LocalWriteTime = TSystemTime();
  }
}

int Clip(std::size_t n) {
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

}  // namespace

Cardinal UserDefaultLCID() { return GetThreadLocale(); }

bool GetLocaleString(Cardinal lcid, Cardinal item, String& value) {
  int n = GetLocaleInfoA(lcid, item, nullptr, 0);
  if (n <= 0) return false;
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  n = GetLocaleInfoA(lcid, item, buf.data(), n);
  if (n <= 0) return false;
  value.assign(buf.data(), static_cast<std::size_t>(n - 1));
  return true;
}

bool FormatDateLocale(Cardinal lcid, const TSystemTime& date, Cardinal flags,
                      const String& format, String& value) {
  SYSTEMTIME st{date.wYear, date.wMonth,  date.wDayOfWeek, date.wDay,
                date.wHour, date.wMinute, date.wSecond,    date.wMilliseconds};
  char buf[256];
  int n = GetDateFormatA(lcid, flags, &st,
                         format.empty() ? nullptr : format.c_str(), buf,
                         sizeof buf);
  if (n <= 0) return false;
  value.assign(buf, static_cast<std::size_t>(n - 1));
  return true;
}

bool FormatTimeLocale(Cardinal lcid, const TSystemTime& time, Cardinal flags,
                      const String& format, String& value) {
  SYSTEMTIME st{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
  char buf[256];
  int n = GetTimeFormatA(lcid, flags, &st,
                         format.empty() ? nullptr : format.c_str(), buf,
                         sizeof buf);
  if (n <= 0) return false;
  value.assign(buf, static_cast<std::size_t>(n - 1));
  return true;
}

bool FarEastLocale() { return GetSystemMetrics(SM_DBCSENABLED) != 0; }
bool MiddleEastLocale() { return GetSystemMetrics(SM_MIDEASTENABLED) != 0; }

Integer CompareAnsiLocale(Cardinal lcid, const String& a, const String& b,
                          bool ignoreCase) {
  int r = CompareStringA(lcid, ignoreCase ? NORM_IGNORECASE : 0, a.data(),
                         Clip(a.size()), b.data(), Clip(b.size()));
  if (r == 0) {
    // The system refused (bad locale): fall back to the byte order.
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  return r - CSTR_EQUAL;
}

Integer CompareAnsi(const String& a, const String& b, bool ignoreCase) {
  return CompareAnsiLocale(LOCALE_USER_DEFAULT, a, b, ignoreCase);
}

String UpperAnsi(const String& s) {
  String r = s;
  if (!r.empty()) CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

String LowerAnsi(const String& s) {
  String r = s;
  if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

String WideToAnsi(const char16_t* text, std::size_t length) {
  if (!text || length == 0) return String();
  const auto* w = reinterpret_cast<const wchar_t*>(text);
  int n = WideCharToMultiByte(CP_ACP, 0, w, Clip(length), nullptr, 0, nullptr,
                              nullptr);
  if (n <= 0) return String();
  String r(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, Clip(length), r.data(), n, nullptr,
                      nullptr);
  return r;
}

WideString AnsiToWide(const String& s) {
  if (s.empty()) return WideString();
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), Clip(s.size()), nullptr, 0);
  if (n <= 0) return WideString();
  WideString r(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), Clip(s.size()),
                      reinterpret_cast<wchar_t*>(r.data()), n);
  return r;
}

TSystemTime LocalTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return FromSystemTime(st);
}

Cardinal TickCount() { return ::GetTickCount(); }

void SleepMs(Cardinal milliseconds) { ::Sleep(milliseconds); }

String ExponentText(long double value, Integer precision) {
  char buf[64];
  __mingw_snprintf(buf, sizeof buf, "%.*Le", precision, value);
  return buf;
}

TOSVersion OSVersion() {
  TOSVersion v;
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (GetVersionExA(&info)) {
    v.PlatformId = static_cast<Integer>(info.dwPlatformId);
    v.Major = static_cast<Integer>(info.dwMajorVersion);
    v.Minor = static_cast<Integer>(info.dwMinorVersion);
    // On the 9x family the high word holds the version again.
    v.Build =
        static_cast<Integer>(info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS
                                 ? info.dwBuildNumber & 0xFFFF
                                 : info.dwBuildNumber);
    v.CSDVersion = info.szCSDVersion;
  }
  return v;
}

String CommandLine() {
  const char* p = GetCommandLineA();
  return p ? String(p) : String();
}

String ModuleFileName() {
  std::vector<char> buf(MAX_PATH);
  while (true) {
    DWORD n =
        GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return String();
    if (n < buf.size()) return String(buf.data(), n);
    if (buf.size() >= 32768) return String(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

bool LoadResString(Integer ident, String& value) {
  char buf[4096];
  int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(ident), buf,
                      sizeof buf);
  if (n <= 0) return false;
  value.assign(buf, static_cast<std::size_t>(n));
  return true;
}

String KeyName(Word virtualKey) {
  UINT scan = MapVirtualKeyA(virtualKey, 0);
  if (scan == 0) return String();
  char buf[256];
  int n = GetKeyNameTextA(static_cast<LONG>(scan << 16), buf, sizeof buf);
  return n > 0 ? String(buf, static_cast<std::size_t>(n)) : String();
}

void* SafeLoadLibrary(const String& fileName, Cardinal errorMode) {
  UINT oldMode = SetErrorMode(errorMode);
  // Some libraries change the floating-point control word when they load;
  // the program's own setting is put back.
  unsigned short cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  HMODULE h = LoadLibraryA(fileName.c_str());
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(cw));
  SetErrorMode(oldMode);
  return reinterpret_cast<void*>(h);
}

const char* PathDelimiters() { return "\\"; }

bool SeekFile(std::FILE* file, Int64 offset, int whence) {
  return _fseeki64(file, offset, whence) == 0;
}

Int64 TellFile(std::FILE* file) { return _ftelli64(file); }

bool TruncateFile(std::FILE* file, Int64 size) {
  return _chsize_s(_fileno(file), size) == 0;
}

Integer FileAttributes(const String& fileName) {
  DWORD a = GetFileAttributesA(fileName.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return -1;
  return static_cast<Integer>(a);
}

bool LastWriteLocalTime(const String& fileName, TSystemTime& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data)) {
    return false;
  }
  return LocalFromFileTime(data.ftLastWriteTime, time);
}

bool RemoveFile(const String& fileName) {
  return ::DeleteFileA(fileName.c_str()) != 0;
}

bool RenameFile(const String& oldName, const String& newName) {
  return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
}

bool CreateDir(const String& dir) {
  return CreateDirectoryA(dir.c_str(), nullptr) != 0;
}

bool RemoveDir(const String& dir) { return RemoveDirectoryA(dir.c_str()) != 0; }

String CurrentDir() {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  if (n == 0) return String();
  std::vector<char> buf(n + 1);
  n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
  return String(buf.data(), n);
}

bool SetCurrentDir(const String& dir) {
  return SetCurrentDirectoryA(dir.c_str()) != 0;
}

String FullPathName(const String& fileName) {
  if (fileName.empty()) return String();
  DWORD n = GetFullPathNameA(fileName.c_str(), 0, nullptr, nullptr);
  if (n == 0) return fileName;
  std::vector<char> buf(n + 1);
  char* part = nullptr;
  n = GetFullPathNameA(fileName.c_str(), static_cast<DWORD>(buf.size()),
                       buf.data(), &part);
  if (n == 0 || n >= buf.size()) return fileName;
  return String(buf.data(), n);
}

std::shared_ptr<void> FindFirst(const String& pattern, TFindEntry& entry,
                                Integer& error) {
  WIN32_FIND_DATAA data;
  TFindHandle handle(FindFirstFileA(pattern.c_str(), &data));
  if (!handle) {
    error = static_cast<Integer>(GetLastError());
    return nullptr;
  }
  FillEntry(data, entry);
  return std::make_shared<TFindHandle>(std::move(handle));
}

bool FindNext(void* search, TFindEntry& entry, Integer& error) {
  auto* s = static_cast<TFindHandle*>(search);
  WIN32_FIND_DATAA data;
  if (!s || !FindNextFileA(s->get(), &data)) {
    error = s ? static_cast<Integer>(GetLastError()) : errNoMoreFiles;
    return false;
  }
  FillEntry(data, entry);
  return true;
}

}  // namespace Platform
