// File names and files of the SysUtils unit.
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
