#include "PellorPatch.h"

#include <cstring>

#include "Dialogs.h"
#include "PellorDisAsmProcess.h"
#include "PellorHelpers.h"
#include "PellorTools.h"

namespace {

// Reads of the process's own memory that never fault. Unlike SafeRead it
// accepts copy-on-write pages: the import tables and code of loaded images
// are mapped that way on some systems.
bool ReadOwn(const void* address, void* buffer, Cardinal length) {
  SIZE_T done = 0;
  return address &&
         ReadProcessMemory(GetCurrentProcess(), address, buffer, length,
                           &done) &&
         done == length;
}

std::vector<CodePatch>& UndoList() {
  static std::vector<CodePatch> patches;
  return patches;
}

// Copies bytes over code with the pages made writable for the copy.
bool WriteCode(void* address, const void* bytes, Cardinal length) {
  DWORD old = 0;
  if (!VirtualProtect(address, length, PAGE_EXECUTE_READWRITE, &old))
    return false;
  std::memcpy(address, bytes, length);
  DWORD ignored = 0;
  VirtualProtect(address, length, old, &ignored);
  FlushInstructionCache(GetCurrentProcess(), address, length);
  return true;
}

// The slot of an import stub (jmp [slot]) at address; null otherwise.
void** ImportStubSlot(const void* address) {
  Byte code[6];
  if (!address || !ReadOwn(address, code, sizeof code) || code[0] != 0xFF ||
      code[1] != 0x25)
    return nullptr;
  void** slot = nullptr;
  std::memcpy(&slot, code + 2, 4);
  void* probe = nullptr;
  return ReadOwn(slot, &probe, sizeof probe) ? slot : nullptr;
}

bool WritePointer(void** slot, const void* value) {
  return WriteCode(slot, &value, sizeof value);
}

Cardinal Displacement(const void* target, const void* from, Cardinal length) {
  return static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(target) -
                               reinterpret_cast<UINT_PTR>(from) - length);
}

bool PatchBranch(Byte opcode, void* address, const void* target) {
  Byte code[5] = {opcode};
  const Cardinal displacement = Displacement(target, address, 5);
  std::memcpy(code + 1, &displacement, 4);
  return AddCodePatch(address, code, 5);
}

bool PatchesEverything() { return GetModuleHandleA(nullptr) == OwnModule(); }

void PatchImportsWhereNeeded(const void* oldAddress, const void* newAddress) {
  if (PatchesEverything()) {
    std::vector<TLoadedModule> modules;
    ListLoadedModules(modules);
    PatchImportsOfModules(modules, oldAddress, newAddress);
  } else {
    PatchImportEntry(OwnModule(), oldAddress, newAddress);
  }
}

}  // namespace

bool AddCodePatch(void* address, const void* bytes, Cardinal length) {
  if (!address || !bytes || length == 0) return false;
  String previous(length, '\0');
  if (!ReadOwn(address, previous.data(), length)) return false;
  String written(static_cast<const char*>(bytes), length);
  if (previous == written) return false;
  if (!WriteCode(address, bytes, length)) return false;
  UndoList().push_back({static_cast<Byte*>(address), previous, written});
  return true;
}

void UndoCodePatches() {
  auto& patches = UndoList();
  for (auto it = patches.rbegin(); it != patches.rend(); ++it) {
    const auto length = static_cast<Cardinal>(it->written.size());
    String current(length, '\0');
    if (!ReadOwn(it->address, current.data(), length) || current != it->written)
      continue;  // something else changed the code since: leave it
    WriteCode(it->address, it->previous.data(), length);
  }
}

void ClearCodePatches() { UndoList().clear(); }

const std::vector<CodePatch>& CodePatches() { return UndoList(); }

bool PatchWithJump(void* routine, const void* replacement) {
  if (void** slot = ImportStubSlot(routine)) routine = *slot;
  return PatchBranch(0xE9, routine, replacement);
}

bool PatchWithCall(void* address, const void* replacement) {
  return PatchBranch(0xE8, address, replacement);
}

bool PatchCallOperand(void* operand, Cardinal value) {
  return AddCodePatch(operand, &value, 4);
}

void ListLoadedModules(std::vector<TLoadedModule>& modules) {
  modules.clear();
  modules.reserve(10);
  UINT_PTR at = 0;
  const void* previousBase = nullptr;
  MEMORY_BASIC_INFORMATION mbi;
  while (VirtualQuery(reinterpret_cast<const void*>(at), &mbi, sizeof mbi)) {
    if (mbi.State == MEM_COMMIT && mbi.BaseAddress == mbi.AllocationBase &&
        mbi.AllocationBase != previousBase) {
      char name[MAX_PATH + 1] = {};
      const auto module = static_cast<HMODULE>(mbi.AllocationBase);
      if (GetModuleFileNameA(module, name, MAX_PATH))
        modules.push_back({module, FileNamePart(name)});
    }
    previousBase = mbi.AllocationBase;
    const UINT_PTR next =
        reinterpret_cast<UINT_PTR>(mbi.BaseAddress) + mbi.RegionSize;
    if (next <= at) break;
    at = next;
  }
}

void PatchImportEntry(HMODULE module, const void* oldAddress,
                      const void* newAddress) {
  const IMAGE_NT_HEADERS* nt = ImageNtHeaders(module);
  if (!nt ||
      nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
    return;
  const IMAGE_DATA_DIRECTORY& dir =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return;
  const auto base = reinterpret_cast<Byte*>(module);
  const Cardinal imageSize = nt->OptionalHeader.SizeOfImage;
  const Cardinal end = dir.VirtualAddress + dir.Size;
  // The descriptors up to the empty one; false when one is damaged: an
  // address table past the directory's end (our linker counts its address
  // tables into the directory) or outside the image.
  auto eachDescriptor = [&](auto&& visit) {
    for (Cardinal at = dir.VirtualAddress; at + 20 <= imageSize; at += 20) {
      IMAGE_IMPORT_DESCRIPTOR descriptor;
      if (!ReadOwn(base + at, &descriptor, sizeof descriptor) ||
          descriptor.Name == 0)
        return true;
      if (descriptor.FirstThunk > end || descriptor.FirstThunk >= imageSize)
        return false;
      if (descriptor.FirstThunk) visit(descriptor.FirstThunk);
    }
    return true;
  };
  // A damaged table gets no patch at all.
  if (!eachDescriptor([](Cardinal) {})) {
    if (module == OwnModule() && IsDebuggerPresent())
      MessageBoxSeam(
          "The import table is invalid.\r\n\r\nThis way "
          "PellorExcept can't install the thread hooks.",
          FileNamePart(ModuleFileName(module)), mbOK | mbIconError);
    return;
  }
  eachDescriptor([&](Cardinal firstThunk) {
    for (auto* entry = reinterpret_cast<void**>(base + firstThunk);
         reinterpret_cast<Byte*>(entry + 1) <= base + imageSize; ++entry) {
      void* value = nullptr;
      if (!ReadOwn(entry, &value, sizeof value) || !value) break;
      if (value == oldAddress) WritePointer(entry, newAddress);
    }
  });
}

void PatchImportsOfModules(const std::vector<TLoadedModule>& modules,
                           const void* oldAddress, const void* newAddress) {
  TOS os;
  QueryOsVersion(os);
  for (const TLoadedModule& m : modules) {
    // Modules above 2 GB are the 9x system's shared ones.
    if (os.is9x && reinterpret_cast<UINT_PTR>(m.module) >= 0x80000000u)
      continue;
    PatchImportEntry(m.module, oldAddress, newAddress);
  }
}

bool PatchApiEverywhere(const String& library, const String& function,
                        void* ownImport, const void* replacement,
                        void*& previous) {
  if (previous) return false;
  HMODULE module = GetModuleHandleA(library.c_str());
  previous = module ? ImageExportByName(module, function) : nullptr;
  if (!previous) return false;
  void** slot = ImportStubSlot(ownImport);
  void* noted = slot ? *slot : nullptr;
  PatchImportsWhereNeeded(previous, replacement);
  if (slot && *slot == noted && noted != replacement) {
    WritePointer(slot, replacement);
    return true;
  }
  return false;
}

void UnpatchApiEverywhere(void* ownImport, const void* previous,
                          const void* replacement) {
  if (!previous) return;
  void** slot = ImportStubSlot(ownImport);
  void* noted = slot ? *slot : nullptr;
  PatchImportsWhereNeeded(replacement, previous);
  if (slot && *slot == noted && noted != previous) WritePointer(slot, previous);
}

bool RedirectCallInFunction(const void* function, const void* oldTarget,
                            const void* newTarget) {
  TDAProcessEnvironment env;
  TFunctionInfo info;
  const auto entry =
      static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(function));
  if (!AnalyzeFunction(env, entry, info) || !info.valid) return false;
  const auto old = static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(oldTarget));
  for (const TDAExternalCall& call : info.externalCalls) {
    if (!call.isCall || !call.isRelative || call.target != old) continue;
    auto* operand =
        reinterpret_cast<void*>(static_cast<UINT_PTR>(call.next - 4));
    const Cardinal value =
        static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(newTarget)) -
        call.next;
    return AddCodePatch(operand, &value, 4);
  }
  return false;
}
