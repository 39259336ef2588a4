#include "Ucommon.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "Registry.h"
#include "SysUtils.h"

namespace {

constexpr LongWord kReadWrite = KEY_READ | KEY_WRITE;

struct TSpecialFolder {
  Integer Id;
  const char* Name;
};

// By number: 18 is the network neighbourhood as the places bars know it.
constexpr TSpecialFolder kSpecialFolders[] = {
    {0, "Desktop"},
    {5, "My Documents"},
    {6, "Favorites"},
    {8, "Recent"},
    {13, "My Music"},
    {17, "My Computer"},
    {18, "Network Neighborhood"},
    {26, "App Data"},
    {31, "Common Favorites"},
    {35, "Common App Data"},
    {39, "My Pictures"},
    {46, "Common Documents"},
    {53, "Common Music"},
    {54, "Common Pictures"},
    {59, "CD Burn Area"},
};

// Releases the shell allocator when the lookup ends, however it ends.
class TShellMalloc {
 public:
  TShellMalloc() {
    if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
  }
  ~TShellMalloc() {
    if (malloc_) malloc_->Release();
  }
  TShellMalloc(const TShellMalloc&) = delete;
  TShellMalloc& operator=(const TShellMalloc&) = delete;
  IMalloc* get() const { return malloc_; }

 private:
  IMalloc* malloc_ = nullptr;
};

// A path that names no key: empty, or only backslashes (which the registry
// wrapper reads as the root itself).
bool NamesNoKey(const String& key) {
  return key.find_first_not_of('\\') == String::npos;
}

}  // namespace

String GetSpecialFolderName(Integer FolderId) {
  for (const TSpecialFolder& folder : kSpecialFolders)
    if (folder.Id == FolderId) return folder.Name;
  return String();
}

String GetSpecialFolderPath(Integer FolderId) {
  char buffer[MAX_PATH + 1] = {};
  {
    TShellMalloc malloc;
    if (!malloc.get()) throw EAbort(String());
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, FolderId, &list)) &&
        list) {
      if (!SHGetPathFromIDListA(list, buffer)) buffer[0] = '\0';
      malloc.get()->Free(list);
    }
  }
  buffer[MAX_PATH] = '\0';
  return IncludeTrailingPathDelimiter(String(buffer));
}

bool DeleteAllValues(const String& Key) {
  if (NamesNoKey(Key)) return false;
  try {
    TRegistry reg(kReadWrite);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(Key, false)) return false;
    TStringList names;
    reg.GetValueNames(&names);
    for (Integer i = 0; i < names.Count(); ++i) reg.DeleteValue(names[i]);
    reg.GetValueNames(&names);
    bool empty = names.Count() == 0;
    reg.CloseKey();
    return empty;
  } catch (const Exception&) {
    return false;
  }
}

bool DeleteKeyTree(const String& Key) {
  if (NamesNoKey(Key)) return false;
  try {
    TStringList names;
    {
      TRegistry reg(kReadWrite);
      reg.SetRootKey(HKEY_CURRENT_USER);
      if (reg.OpenKey(Key, false)) {
        reg.GetKeyNames(&names);
        reg.CloseKey();
      }
    }
    for (Integer i = 0; i < names.Count(); ++i) {
      String child = Key + "\\" + names[i];
      DeleteAllValues(child);
      if (!DeleteKeyTree(child)) return false;
    }
    DeleteAllValues(Key);
    TRegistry reg(kReadWrite);
    reg.SetRootKey(HKEY_CURRENT_USER);
    reg.DeleteKey(Key);
    // A key that could not be deleted is no success, whatever the steps
    // before reported.
    return !reg.KeyExists(Key);
  } catch (const Exception&) {
    return false;
  }
}

String ExtractLastKeyName(const String& Key) {
  std::size_t at = Key.rfind('\\');
  return at == String::npos ? Key : Key.substr(at);
}

String GetStringAt(TStrings* Strings, Integer Index) {
  return Strings->Strings(Index);
}

String GetFileVersion(const String& FileName) {
  try {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
    if (size == 0) return String();
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(FileName.c_str(), 0, size, info.data()))
      return "Alpha";
    char query[] = "\\StringFileInfo\\040904E4\\FileVersion";
    void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(info.data(), query, &value, &len) || !value)
      return String();
    // The length may count the closing zero, or the text may lack one.
    const char* text = static_cast<const char*>(value);
    const char* end = static_cast<const char*>(std::memchr(text, '\0', len));
    return String(text, end ? end - text : len);
  } catch (const std::exception&) {
    return "Alpha";
  }
}

String ProgramFileName() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}
