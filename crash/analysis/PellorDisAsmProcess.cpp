#include "PellorDisAsmProcess.h"

#include <algorithm>

namespace {

const void* Ptr(Cardinal address) {
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
}

Cardinal Addr(const void* p) {
  return static_cast<Cardinal>(reinterpret_cast<uintptr_t>(p));
}

// The base of the loaded module holding address, or null.
const Byte* ModuleBase(Cardinal address) {
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(Ptr(address), &mbi, sizeof mbi) ||
      mbi.State != MEM_COMMIT || mbi.Type != MEM_IMAGE || !mbi.AllocationBase)
    return nullptr;
  auto* base = static_cast<const Byte*>(mbi.AllocationBase);
  return ImageNtHeaders(base) ? base : nullptr;
}

// Copy-on-write pages of loaded images (import tables and data that was
// never written; Wine leaves them so even after the loader wrote them) are
// safe to read: reading never copies. The safe reads leave them out on
// purpose for the snapshot, so they are read here, page by page checked.
bool ReadWriteCopy(Cardinal address, void* buffer, Cardinal count) {
  Cardinal at = address;
  const Cardinal end = address + count;
  if (end < address) return false;
  while (at < end) {
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(Ptr(at), &mbi, sizeof mbi) || mbi.State != MEM_COMMIT)
      return false;
    DWORD protect = mbi.Protect;
    if (protect != PAGE_WRITECOPY && protect != PAGE_EXECUTE_WRITECOPY &&
        !RegionReadable(mbi.State, protect))
      return false;
    Cardinal regionEnd =
        Addr(mbi.BaseAddress) + static_cast<Cardinal>(mbi.RegionSize);
    if (regionEnd <= at) return false;
    at = regionEnd;
  }
  SIZE_T done = 0;
  return ReadProcessMemory(GetCurrentProcess(), Ptr(address), buffer, count,
                           &done) &&
         done == count;
}

}  // namespace

Cardinal TDAProcessEnvironment::Read(Cardinal address, void* buffer,
                                     Cardinal count) const {
  if (count == 0) return 0;
  auto read = [this](Cardinal at, void* to, Cardinal n) {
    return SafeRead(Ptr(at), to, n, snapshot_) ||
           (!snapshot_ && ReadWriteCopy(at, to, n));
  };
  if (read(address, buffer, count)) return count;
  // Near the end of readable memory: as much as can be had.
  auto* out = static_cast<Byte*>(buffer);
  Cardinal n = 0;
  while (n < count && read(address + n, out + n, 1)) ++n;
  return n;
}

bool TDAProcessEnvironment::CodeRange(Cardinal entry, Cardinal& begin,
                                      Cardinal& end) const {
  const Byte* base = ModuleBase(entry);
  PIMAGE_NT_HEADERS nt = base ? ImageNtHeaders(base) : nullptr;
  if (nt && nt->FileHeader.NumberOfSections > 0) {
    auto* section = IMAGE_FIRST_SECTION(nt);
    begin = Addr(base) + section[0].VirtualAddress;
    end =
        begin + std::max(section[0].Misc.VirtualSize, section[0].SizeOfRawData);
    if (nt->FileHeader.NumberOfSections > 1 &&
        (section[1].Characteristics & IMAGE_SCN_CNT_CODE))
      end = Addr(base) + section[1].VirtualAddress +
            std::max(section[1].Misc.VirtualSize, section[1].SizeOfRawData);
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
      Cardinal dataBegin = Addr(base) + nt->OptionalHeader.BaseOfData;
      Cardinal dataEnd = dataBegin + nt->OptionalHeader.SizeOfInitializedData;
      begin = std::min(begin, dataBegin);
      end = std::max(end, dataEnd);
    }
    if (entry >= begin && entry < end) return true;
  }
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(Ptr(entry), &mbi, sizeof mbi) || mbi.State != MEM_COMMIT)
    return false;
  begin = Addr(mbi.BaseAddress);
  end = begin + static_cast<Cardinal>(mbi.RegionSize);
  return true;
}

String TDAProcessEnvironment::SymbolName(Cardinal address) const {
  if (const Byte* base = ModuleBase(address)) {
    String name = ImageExportNameOf(base, Ptr(address), true);
    if (!name.empty()) return name;
  }
  return symbolLookup ? symbolLookup(address) : String();
}

bool TDAProcessEnvironment::IsNamedExport(Cardinal address) const {
  const Byte* base = ModuleBase(address);
  if (!base) return false;
  String name = ImageExportNameOf(base, Ptr(address));
  return !name.empty() && name[0] != '#';
}

String TDAProcessEnvironment::ForeignModuleName(Cardinal address) const {
  const Byte* base = ModuleBase(address);
  if (!base || base == reinterpret_cast<const Byte*>(GetModuleHandleA(nullptr)))
    return String();
  HMODULE module;
  String fileName;
  if (!ModuleOfAddress(Ptr(address), module, fileName)) return String();
  size_t slash = fileName.find_last_of("\\/");
  return slash == String::npos ? fileName : fileName.substr(slash + 1);
}

Cardinal TDAProcessEnvironment::ImageEnd(Cardinal address) const {
  const Byte* base = ModuleBase(address);
  PIMAGE_NT_HEADERS nt = base ? ImageNtHeaders(base) : nullptr;
  return nt ? Addr(base) + ImageSize(nt) : 0;
}

Cardinal TDAProcessEnvironment::SourceLine(Cardinal address,
                                           bool& startsLine) const {
  startsLine = false;
  return lineLookup ? lineLookup(address, startsLine) : 0;
}
