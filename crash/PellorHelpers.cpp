#include "PellorHelpers.h"

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "PellorSettings.h"
#include "PellorStrings.h"
#include "PellorTools.h"
#include "PellorTypes.h"

HMODULE OwnModule() {
  MEMORY_BASIC_INFORMATION mbi{};
  if (!VirtualQuery(reinterpret_cast<const void*>(&OwnModule), &mbi,
                    sizeof mbi))
    return nullptr;
  return static_cast<HMODULE>(mbi.AllocationBase);
}

String ModuleFileName(HMODULE module) {
  char name[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
  return String(name, n > MAX_PATH ? MAX_PATH : n);
}

// ---------------------------------------------------------------------------
// Temporary folder
// ---------------------------------------------------------------------------

String CrashTempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, path);
  if (n == 0 || n > MAX_PATH) return {};
  String folder(path, n);
  CreateDirectoryA(folder.c_str(), nullptr);
  if (folder.back() != '\\') folder += '\\';
  folder +=
      StripExtension(FileNamePart(ModuleFileName(nullptr))) + ".PellorExcept";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

void ClearCrashTempFolder() {
  const String folder = CrashTempFolder();
  if (folder.empty()) return;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

String ComputerNameText() {
  char name[261] = {};
  DWORD size = 260;
  if (!GetComputerNameA(name, &size)) return {};
  return String(name, size);
}

// ---------------------------------------------------------------------------
// Registry
// ---------------------------------------------------------------------------

namespace {
struct TKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using TKey = std::unique_ptr<std::remove_pointer_t<HKEY>, TKeyCloser>;
}  // namespace

String ReadRegString(HKEY root, const String& key, const String& value) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return {};
  TKey opened(raw);
  DWORD size = 0;
  if (RegQueryValueExA(raw, value.c_str(), nullptr, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0)
    return {};
  // Twice the size: the value may grow between the two queries.
  String data(static_cast<std::size_t>(size) * 2, '\0');
  DWORD type = 0;
  size = static_cast<DWORD>(data.size());
  if (RegQueryValueExA(raw, value.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS)
    return {};
  data.resize(size);
  if (type == REG_SZ) data.resize(std::strlen(data.c_str()));
  return data;
}

bool WriteRegString(HKEY root, const String& key, const String& value,
                    const String& text) {
  HKEY raw = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &raw, nullptr) != ERROR_SUCCESS)
    return false;
  TKey opened(raw);
  return RegSetValueExA(raw, value.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool DeleteRegValue(HKEY root, const String& key, const String& value) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &raw) !=
      ERROR_SUCCESS)
    return false;
  TKey opened(raw);
  return RegDeleteValueA(raw, value.c_str()) == ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------
// Clock and security
// ---------------------------------------------------------------------------

Int64 UtcSecondsNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const UInt64 t =
      (static_cast<UInt64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<Int64>(t / 10000000u);
}

void InitOpenSecurity(SECURITY_ATTRIBUTES& attributes,
                      SECURITY_DESCRIPTOR& descriptor) {
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor = &descriptor;
  attributes.bInheritHandle = FALSE;
}

// ---------------------------------------------------------------------------
// C++ objects
// ---------------------------------------------------------------------------

namespace {

template <class T>
bool ReadValue(const void* address, T& value) {
  return SafeRead(address, &value, sizeof value);
}

// Inside the mapped image of a loaded module.
bool InLoadedImage(const void* address) {
  MEMORY_BASIC_INFORMATION mbi{};
  if (!address || !VirtualQuery(address, &mbi, sizeof mbi) ||
      mbi.State != MEM_COMMIT || mbi.Type != MEM_IMAGE || !mbi.AllocationBase)
    return false;
  const IMAGE_NT_HEADERS* nt = ImageNtHeaders(mbi.AllocationBase);
  if (!nt) return false;
  const auto base = reinterpret_cast<UINT_PTR>(mbi.AllocationBase);
  const auto at = reinterpret_cast<UINT_PTR>(address);
  return at - base < nt->OptionalHeader.SizeOfImage;
}

// What a live object of a class with virtual functions shows: its virtual
// table holds, just before the first slot, the offset to the whole object
// and the type record, whose second word names the type.
struct TObjectView {
  const void* start = nullptr;
  const std::type_info* type = nullptr;
  String mangled;
};

bool ViewObject(const void* object, TObjectView& view) {
  const void* vtable = nullptr;
  if (!object || !ReadValue(object, vtable) || !InLoadedImage(vtable))
    return false;
  const auto* slots = static_cast<const void* const*>(vtable);
  std::ptrdiff_t offsetToTop = 0;
  const void* typeRecord = nullptr;
  if (!ReadValue(slots - 2, offsetToTop) || !ReadValue(slots - 1, typeRecord) ||
      !InLoadedImage(typeRecord))
    return false;
  if (offsetToTop > 0 || offsetToTop < -0x10000) return false;
  const void* typeVtable = nullptr;
  const char* name = nullptr;
  const auto* record = static_cast<const void* const*>(typeRecord);
  if (!ReadValue(record, typeVtable) || !InLoadedImage(typeVtable) ||
      !ReadValue(record + 1, name) || !InLoadedImage(name))
    return false;
  String mangled;
  for (int i = 0; i < 1024; ++i) {
    char c = 0;
    if (!ReadValue(name + i, c)) return false;
    if (c == 0) break;
    if (c <= 32 || c > 126) return false;
    mangled += c;
  }
  if (mangled.empty() || mangled.size() >= 1024) return false;
  view.start = static_cast<const char*>(object) + offsetToTop;
  view.type = static_cast<const std::type_info*>(typeRecord);
  view.mangled = mangled;
  return true;
}

String Demangled(const String& mangled) {
  // Types local to a function carry a "*" in front.
  const char* name = mangled.c_str() + (mangled[0] == '*' ? 1 : 0);
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(
      abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
  return status == 0 && text ? String(text.get()) : String(name);
}

bool TypeOrBaseNamed(const std::type_info* type, const String& name,
                     int depth) {
  if (!type || depth > 64) return false;
  if (Demangled(type->name()) == name) return true;
  if (const auto* si = dynamic_cast<const abi::__si_class_type_info*>(type))
    return TypeOrBaseNamed(si->__base_type, name, depth + 1);
  if (const auto* vmi = dynamic_cast<const abi::__vmi_class_type_info*>(type)) {
    for (unsigned i = 0; i < vmi->__base_count; ++i)
      if (TypeOrBaseNamed(vmi->__base_info[i].__base_type, name, depth + 1))
        return true;
  }
  return false;
}

// The object seen as a T, when its dynamic type is or derives from T.
template <class T>
const T* Upcast(const TObjectView& view) {
  void* adjusted = const_cast<void*>(view.start);
  if (!typeid(T).__do_catch(view.type, &adjusted, 1)) return nullptr;
  return static_cast<const T*>(adjusted);
}

TFpuResetRoutine fpuReset = nullptr;

}  // namespace

bool LooksLikeObject(const void* object) {
  TObjectView view;
  return ViewObject(object, view);
}

bool InheritsFromClassName(const void* object, const String& className) {
  TObjectView view;
  if (!ViewObject(object, view)) return false;
  try {
    return TypeOrBaseNamed(view.type, className, 0);
  } catch (...) {
    return false;
  }
}

String ExceptionClassText(const void* object) {
  TObjectView view;
  if (!ViewObject(object, view)) return "Unknown";
  String name = Demangled(view.mangled);
  return name.empty() ? String("Unknown") : name;
}

String ExceptionMessageText(const void* object) {
  String text;
  TObjectView view;
  if (object && ViewObject(object, view)) {
    try {
      if (const auto* own = Upcast<PellorException>(view))
        text = own->Message();
      else if (const auto* cpp = Upcast<std::exception>(view))
        text = cpp->what();
      else
        text = Demangled(view.mangled);
    } catch (...) {
      text.clear();
    }
  }
  String kept;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 || c == '\r' || c == '\n') kept += c;
  }
  TrimStrInPlace(kept);
  return kept.empty() ? String("Unknown") : kept;
}

void SetFpuResetRoutine(TFpuResetRoutine routine) { fpuReset = routine; }

Cardinal ResetFpu(Cardinal a, Cardinal b, Cardinal c) {
  return fpuReset ? fpuReset(a, b, c) : a;
}

// ---------------------------------------------------------------------------
// Placeholders and clipboard
// ---------------------------------------------------------------------------

namespace {
String VersionOf(HMODULE module) {
  String version = SettingsVersionText(module);
  if (!version.empty()) return version;
  const UInt64 number = ReadFileVersionNumber(ModuleFileName(module));
  return number ? FormatFileVersion(number) : String("?");
}
}  // namespace

void ExpandPlaceholders(HMODULE module, String& text, const String& exceptMsg,
                        const String& bugReport) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  TPlaceholderSource source;
  source.appName = FileNamePart(ModuleFileName(nullptr));
  source.modName = FileNamePart(ModuleFileName(module));
  source.appVersion = [] { return VersionOf(GetModuleHandleA(nullptr)); };
  source.modVersion = [module] { return VersionOf(module); };
  source.exceptMsg = exceptMsg;
  source.bugReport = bugReport;
  source.now = {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                now.wMinute, now.wSecond, now.wMilliseconds};
  ExpandPlaceholderTexts(text, source);
}

void CopyTextToClipboard(const String& text) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  if (!OpenClipboard(nullptr)) return;
  if (HGLOBAL memory =
          GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1)) {
    if (void* p = GlobalLock(memory)) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}
