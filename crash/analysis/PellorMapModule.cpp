#include "PellorMapModule.h"

#include <windows.h>

#include "Handles.h"
#include "PellorMapSources.h"
#include "PellorTools.h"
#include "SysUtils.h"

namespace {

using Addr = std::uintptr_t;

bool LastWrite(const String& name, FILETIME& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
    return false;
  time = data.ftLastWriteTime;
  return true;
}

UInt64 WholeDays(const FILETIME& time) {
  const UInt64 ticks =
      (static_cast<UInt64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return ticks / 864000000000ull;
}

// A whole file; empty when it cannot be read or is beyond any sane size.
String ReadWholeFile(const String& name) {
  constexpr DWORD kMaxDebugFile = 256u << 20;
  const THandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return String();
  String data;
  DWORD high = 0;
  const DWORD size = GetFileSize(file.get(), &high);
  if (size != INVALID_FILE_SIZE && high == 0 && size <= kMaxDebugFile) {
    data.resize(size);
    DWORD read = 0;
    if (!ReadFile(file.get(), data.data(), size, &read, nullptr) ||
        read != size)
      data.clear();
  }
  return data;
}

bool ModuleOfAddressSeam(const void* address, const void*& instance,
                         String& fileName, Cardinal& fileDate) {
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(address, &mbi, sizeof mbi) || mbi.State != MEM_COMMIT ||
      !mbi.AllocationBase)
    return false;
  char path[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(mbi.AllocationBase),
                                     path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  instance = mbi.AllocationBase;
  fileName.assign(path, n);
  fileDate = 0;
  FILETIME utc, local;
  WORD date = 0, time = 0;
  if (LastWrite(fileName, utc) && FileTimeToLocalFileTime(&utc, &local) &&
      FileTimeToDosDateTime(&local, &date, &time))
    fileDate = (static_cast<Cardinal>(date) << 16) | time;
  return true;
}

bool MinimalDebugFile(TMapFile& map) {
  const String settings =
      LoadResourceStr(static_cast<HMODULE>(const_cast<void*>(map.Instance())),
                      MAKEINTRESOURCEA(10), "TPELLOREXCEPT");
  const String identity = MinDebugInfoOfSettings(settings);
  if (identity.empty()) return false;
  map.SetIdentityText(identity);
  return FindDebugFile(map, true) && map.Valid();
}

// The debug data of a mapped ".tds" (or PE) file.
bool Td32FromFile(const String& fileName, TMapFile& map) {
  const THandle file(CreateFileA(fileName.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  if (!file) return false;
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size == 0) return false;
  const THandle mapping(
      CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return false;
  const TMappedView mapped(
      MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!mapped) return false;
  const auto* view = static_cast<const Byte*>(mapped.get());
  const Byte* data = view;
  std::size_t length = size;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(view);
  if (size >= sizeof(IMAGE_DOS_HEADER) && dos->e_magic == IMAGE_DOS_SIGNATURE &&
      dos->e_lfanew > 0 &&
      static_cast<DWORD>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) <= size) {
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(view + dos->e_lfanew);
    data = nullptr;
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DEBUG];
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    const WORD count = nt->FileHeader.NumberOfSections;
    const Addr sectionsEnd = reinterpret_cast<Addr>(sections + count);
    if (nt->Signature == IMAGE_NT_SIGNATURE && count > 0 &&
        sectionsEnd <= reinterpret_cast<Addr>(view) + size) {
      const IMAGE_SECTION_HEADER& last = sections[count - 1];
      if (last.VirtualAddress == dir.VirtualAddress && last.SizeOfRawData > 0 &&
          last.PointerToRawData < size &&
          sizeof(IMAGE_DEBUG_DIRECTORY) <= size - last.PointerToRawData) {
        const auto* entry = reinterpret_cast<const IMAGE_DEBUG_DIRECTORY*>(
            view + last.PointerToRawData);
        if (entry->PointerToRawData < size) {
          data = view + entry->PointerToRawData;
          length = size - entry->PointerToRawData;
        }
      }
    }
  }
  return data && ReadTd32Data(data, length, map);
}

}  // namespace

String MinDebugInfoOfSettings(const String& settings) {
  static const String kName = "\x0CMinDebugInfo";
  std::size_t at = settings.find(kName);
  while (at != String::npos) {
    const std::size_t value = at + kName.size();
    if (value + 2 + 31 <= settings.size() && settings[value] == 6 &&
        static_cast<Byte>(settings[value + 1]) == 31)
      return settings.substr(value + 2, 31);
    at = settings.find(kName, at + 1);
  }
  return String();
}

bool SetMapLayoutFromImage(TMapFile& map) {
  const void* base = map.Instance();
  PIMAGE_NT_HEADERS nt = base ? ImageNtHeaders(base) : nullptr;
  if (!nt) return false;
  const Addr instance = reinterpret_cast<Addr>(base);
  const IMAGE_OPTIONAL_HEADER& opt = nt->OptionalHeader;
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const WORD count = nt->FileHeader.NumberOfSections;
  Addr codeStart = instance + opt.BaseOfCode;
  Addr codeEnd = codeStart + opt.SizeOfCode;
  Cardinal second = 0;
  if (count >= 1 && (sections[0].Characteristics & IMAGE_SCN_CNT_CODE)) {
    codeStart = instance + sections[0].VirtualAddress;
    codeEnd = codeStart + sections[0].Misc.VirtualSize;
    if (count >= 2 && (sections[1].Characteristics & IMAGE_SCN_CNT_CODE)) {
      codeEnd =
          instance + sections[1].VirtualAddress + sections[1].Misc.VirtualSize;
      second = sections[1].VirtualAddress - sections[0].VirtualAddress;
    }
  }
  const Addr dataStart = instance + opt.BaseOfData;
  map.SetLayout(
      instance, codeStart, codeEnd, dataStart,
      dataStart + opt.SizeOfInitializedData + opt.SizeOfUninitializedData,
      second);
  return true;
}

bool PackedMapFromResource(TMapFile& map) {
  const String data =
      LoadResourceStr(static_cast<HMODULE>(const_cast<void*>(map.Instance())),
                      "PELLOR", "EXCEPT");
  return !data.empty() && ImportPackedMap(data, map, &MinimalDebugFile);
}

bool ReadTd32DebugData(TMapFile& map) {
  const void* base = map.Instance();
  PIMAGE_NT_HEADERS nt = base ? ImageNtHeaders(base) : nullptr;
  if (nt && map.SecondCodeOffset() == 0) {
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DEBUG];
    const Cardinal imageSize = nt->OptionalHeader.SizeOfImage;
    if (dir.VirtualAddress && dir.Size >= sizeof(IMAGE_DEBUG_DIRECTORY) &&
        dir.VirtualAddress < imageSize &&
        sizeof(IMAGE_DEBUG_DIRECTORY) <= imageSize - dir.VirtualAddress) {
      const auto* entry = reinterpret_cast<const IMAGE_DEBUG_DIRECTORY*>(
          static_cast<const Byte*>(base) + dir.VirtualAddress);
      if (entry->AddressOfRawData && entry->AddressOfRawData < imageSize &&
          entry->SizeOfData <= imageSize - entry->AddressOfRawData &&
          ReadTd32Data(static_cast<const Byte*>(base) + entry->AddressOfRawData,
                       entry->SizeOfData, map))
        return true;
    }
  }
  const String module = map.ModuleFileName();
  String tds = ChangeFileExt(module, ".tds");
  if (SameTextFolded(ExtractFileExt(module), ".tds") || !FileExists(tds))
    tds = module;
  if (!FileExists(tds)) return false;
  FILETIME tdsTime, mapTime;
  const String mapFile = ChangeFileExt(tds, ".map");
  if (LastWrite(tds, tdsTime) && LastWrite(mapFile, mapTime) &&
      WholeDays(mapTime) > WholeDays(tdsTime))
    return false;
  return Td32FromFile(tds, map);
}

bool FindDebugFile(TMapFile& map, bool minimal) {
  const String stem = ChangeFileExt(map.MapFileName(), "");
  if (!minimal) {
    if (FileExists(stem + ".map")) {
      const String text = ReadWholeFile(stem + ".map");
      if (!text.empty()) {
        ParseLinkerMap(text, map);
        map.SetValid(true);
        return true;
      }
    }
  }
  const String packed = ReadWholeFile(stem + ".pellor");
  if (!packed.empty() && ImportPackedMap(packed, map, nullptr)) return true;
  if (minimal) return false;
  const String jedi = ReadWholeFile(stem + ".jdbg");
  if (!jedi.empty() && ReadJdbgData(jedi, map)) {
    map.SetValid(true);
    return true;
  }
  return false;
}

void LoadModuleMap(TMapFile& map) {
  const bool image = SetMapLayoutFromImage(map);
  if (image && PackedMapFromResource(map)) return;
  if (ReadTd32DebugData(map)) {
    map.SetValid(true);
    return;
  }
  FindDebugFile(map, false);
}

namespace {

bool Unmangle(String& name, String& className) {
  return UnmangleName(name, className);
}

void MapModuleStartup() {
  TMapModuleSeam seam;
  seam.moduleOfAddress = &ModuleOfAddressSeam;
  seam.load = &LoadModuleMap;
  SetMapModuleSeam(seam);
  TMapFile::SetUnmangler(&Unmangle);
}

void MapModuleShutdown() {
  SetMapModuleSeam(TMapModuleSeam());
  TMapFile::SetUnmangler(nullptr);
}

}  // namespace

VARNEL_UNIT(PellorMapModule, ({"PellorMapFile", "PellorTools"}),
            &MapModuleStartup, &MapModuleShutdown);
