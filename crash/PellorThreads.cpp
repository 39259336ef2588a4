#include "PellorThreads.h"

#include <tlhelp32.h>

#include <cstring>

#include "Dialogs.h"
#include "PellorHelpers.h"
#include "PellorStrings.h"
#include "PellorTools.h"

namespace {

constexpr DWORD kEntryAccess = SYNCHRONIZE | THREAD_QUERY_INFORMATION;
constexpr DWORD kDebuggerThreadName = 0x406D1388;

SharedThreadRegistry* registry = nullptr;
Integer registryUsers = 0;
DWORD mainThreadId = 0;

String HexId(DWORD id) { return CardinalToHexPadded(id, 1, '0'); }

// A zero-terminated copy from the process heap (another module may free it).
char* LocalText(const String& text) {
  if (text.empty()) return nullptr;
  auto* copy = static_cast<char*>(LocalAlloc(LPTR, text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

String EntryText(const char* text) { return text ? String(text) : String(); }

// How much of an entry another copy of the library allocated.
bool Covers(const ThreadInfoEntry* entry, SIZE_T size) {
  return LocalSize(const_cast<ThreadInfoEntry*>(entry)) > size;
}

class TRegistryLock {
 public:
  explicit TRegistryLock(DWORD timeout) {
    locked_ = registry && WaitForSingleObject(registry->registryMutex,
                                              timeout) == WAIT_OBJECT_0;
  }
  ~TRegistryLock() {
    if (locked_) ReleaseMutex(registry->registryMutex);
  }
  TRegistryLock(const TRegistryLock&) = delete;
  TRegistryLock& operator=(const TRegistryLock&) = delete;
  bool Locked() const { return locked_; }

 private:
  bool locked_ = false;
};

void FreeEntry(ThreadInfoEntry* entry) {
  LocalFree(entry->name);
  if (Covers(entry, 12)) LocalFree(entry->className);
  LocalFree(entry);
}

void FatalRegistryError(const String& text) {
  MessageBoxSeam(text, "PellorExcept", mbOK | mbIconError);
  ExitProcess(0);
}

}  // namespace

String ThreadRegistryName() {
  return "PellorExceptThreadNameBuf" + HexId(GetCurrentProcessId());
}

SharedThreadRegistry* ThreadRegistry() { return registry; }

DWORD LibraryMainThreadId() { return mainThreadId; }

void OpenThreadRegistry() {
  if (registryUsers++ > 0) return;
  SECURITY_ATTRIBUTES sa;
  SECURITY_DESCRIPTOR sd;
  InitOpenSecurity(sa, sd);
  SetLastError(0);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE,
                                      0, sizeof(SharedThreadRegistry),
                                      ThreadRegistryName().c_str());
  if (GetLastError() != 0) {
    if (!mapping) FatalRegistryError("internal error (opening global buffer)");
    registry = static_cast<SharedThreadRegistry*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    CloseHandle(mapping);
    if (!registry)
      FatalRegistryError("internal error. please notify the Varnel developers");
    InterlockedIncrement(&registry->refCount);
  } else {
    registry = static_cast<SharedThreadRegistry*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!registry)
      FatalRegistryError("internal error. please notify the Varnel developers");
    registry->refCount = 1;
    registry->watchdogMutex = CreateMutexA(nullptr, FALSE, nullptr);
    registry->registryMutex = CreateMutexA(nullptr, FALSE, nullptr);
    registry->head = nullptr;
    registry->mapping = mapping;
    std::vector<DWORD> ids;
    ListProcessThreads(ids);
    mainThreadId = ids.empty() ? GetCurrentThreadId() : ids.front();
    SetThreadEntry(mainThreadId, nullptr, "main thread", 0, nullptr, String());
  }
  if (mainThreadId == 0) {
    // Another module created the registry: its oldest registration is the
    // main thread.
    TRegistryLock lock(INFINITE);
    for (ThreadInfoEntry* e = registry->head; e; e = e->next)
      if (!e->next) mainThreadId = e->threadId;
  }
  if (mainThreadId == 0) mainThreadId = GetCurrentThreadId();
}

void CloseThreadRegistry() {
  if (!registry || --registryUsers > 0) return;
  if (InterlockedDecrement(&registry->refCount) == 0) {
    SetThreadEntry(GetCurrentThreadId(), nullptr, String(), 0, nullptr,
                   String());
    CloseHandle(registry->mapping);
    CloseHandle(registry->registryMutex);
    CloseHandle(registry->watchdogMutex);
  }
  UnmapViewOfFile(registry);
  registry = nullptr;
  mainThreadId = 0;
}

void SetThreadEntry(DWORD threadId, HANDLE thread, const String& name,
                    DWORD creatorThreadId, const void* creatorAddress,
                    const String& className) {
  TRegistryLock lock(INFINITE);
  if (!lock.Locked()) return;
  const bool update = !name.empty() || creatorAddress;
  String newName = name, newClass = className;
  HANDLE handle = nullptr;
  for (ThreadInfoEntry** link = &registry->head; *link; link = &(*link)->next) {
    ThreadInfoEntry* old = *link;
    if (old->threadId != threadId) continue;
    *link = old->next;
    if (update) {
      if (newName.empty()) newName = EntryText(old->name);
      if (Covers(old, 12)) {
        if (newClass.empty()) newClass = EntryText(old->className);
        if (!creatorAddress) {
          creatorAddress = old->creatorAddress;
          creatorThreadId = old->creatorThreadId;
        }
      }
    }
    if (Covers(old, 24)) handle = old->handle;
    FreeEntry(old);
    break;
  }
  if (update) {
    if (!handle && thread)
      DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &handle,
                      kEntryAccess, FALSE, 0);
    if (!handle) handle = OpenThreadById(threadId, kEntryAccess);
    if (handle) {
      auto* entry = static_cast<ThreadInfoEntry*>(
          LocalAlloc(LPTR, sizeof(ThreadInfoEntry)));
      if (entry) {
        entry->threadId = threadId;
        entry->handle = handle;
        entry->name = LocalText(newName);
        entry->className = LocalText(newClass);
        entry->creatorAddress = creatorAddress;
        entry->creatorThreadId = creatorThreadId;
        entry->next = registry->head;
        registry->head = entry;
      } else {
        CloseHandle(handle);
      }
    }
  } else if (handle) {
    CloseHandle(handle);
  }
  // At most one ended thread per change leaves the list.
  for (ThreadInfoEntry* e = registry->head; e; e = e->next) {
    if (Covers(e, 24) && e->handle &&
        WaitForSingleObject(e->handle, 0) == WAIT_OBJECT_0) {
      SetThreadEntry(e->threadId, nullptr, String(), 0, nullptr, String());
      break;
    }
  }
}

namespace {
LONG CALLBACK SwallowThreadName(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == kDebuggerThreadName
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

void SetThreadName(DWORD threadId, const String& name) {
  SetThreadEntry(threadId, nullptr, name, 0, nullptr, String());
  if (name.empty() || !IsDebuggerPresent()) return;
  // The debugger takes the name from this exception; without one taking
  // it, the handler below lets the program go on.
  PVOID handler = AddVectoredExceptionHandler(0, &SwallowThreadName);
  const ULONG_PTR arguments[4] = {
      0x1000, reinterpret_cast<ULONG_PTR>(name.c_str()), threadId, 0};
  RaiseException(kDebuggerThreadName, 0, 4, arguments);
  if (handler) RemoveVectoredExceptionHandler(handler);
}

void ThreadDisplayName(DWORD threadId, bool showHidden,
                       const void*& creatorAddress, String& text,
                       DWORD& creatorThreadId) {
  creatorAddress = nullptr;
  creatorThreadId = 0;
  const String hex = HexId(threadId);
  String name, className;
  {
    TRegistryLock lock(50);
    if (!lock.Locked()) {
      text = "thread " + hex;
      return;
    }
    for (ThreadInfoEntry* e = registry->head; e; e = e->next) {
      if (e->threadId != threadId) continue;
      name = EntryText(e->name);
      if (Covers(e, 12)) {
        className = EntryText(e->className);
        creatorAddress = e->creatorAddress;
        creatorThreadId = e->creatorThreadId;
      }
      break;
    }
  }
  if (!showHidden && name == "-")
    text.clear();
  else if (!name.empty() && name != "-")
    text = name + " (" + hex + ")";
  else
    text = "thread " + hex +
           (className.empty() ? String() : " (" + className + ")");
}

// ---------------------------------------------------------------------------
// Listing and opening threads
// ---------------------------------------------------------------------------

namespace {

void ListThreadsToolhelp(std::vector<DWORD>& ids) {
  using TSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using TWalk = BOOL(WINAPI*)(HANDLE, THREADENTRY32*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto snapshot = reinterpret_cast<TSnapshot>(reinterpret_cast<void*>(
      GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
  auto first = reinterpret_cast<TWalk>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Thread32First")));
  auto next = reinterpret_cast<TWalk>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Thread32Next")));
  if (!snapshot || !first || !next) return;
  HANDLE snap = snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry{};
  entry.dwSize = 28;
  for (BOOL ok = first(snap, &entry); ok; ok = next(snap, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId())
      ids.push_back(entry.th32ThreadID);
  CloseHandle(snap);
}

void ListThreadsNt(std::vector<DWORD>& ids) {
  using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<TQuery>(reinterpret_cast<void*>(GetProcAddress(
      GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return;
  constexpr ULONG kProcessInformation = 5;
  ULONG needed = 0;
  std::vector<Byte> buffer;
  bool ok = false;
  query(kProcessInformation, nullptr, 0, &needed);
  if (needed) {
    buffer.resize(static_cast<std::size_t>(needed) * 2);
    ok = query(kProcessInformation, buffer.data(),
               static_cast<ULONG>(buffer.size()), &needed) >= 0;
  } else {
    for (std::size_t size = 128 * 1024; !ok && size <= 4 * 1024 * 1024;
         size *= 2) {
      buffer.resize(size);
      ok = query(kProcessInformation, buffer.data(), static_cast<ULONG>(size),
                 &needed) >= 0;
    }
  }
  if (!ok) return;
  TOS os;
  QueryOsVersion(os);
  const std::size_t threadsAt = os.major < 5 ? 136 : 184;
  auto dword = [&](std::size_t at) {
    DWORD v = 0;
    if (at + 4 <= buffer.size()) std::memcpy(&v, buffer.data() + at, 4);
    return v;
  };
  for (std::size_t at = 0; at + threadsAt <= buffer.size();) {
    if (dword(at + 68) == GetCurrentProcessId()) {
      const DWORD count = dword(at + 4);
      for (DWORD i = 0; i < count; ++i) {
        const std::size_t record = at + threadsAt + 64 * i;
        if (record + 64 > buffer.size()) break;
        ids.push_back(dword(record + 36));
      }
      return;
    }
    const DWORD step = dword(at);
    if (step == 0) break;
    at += step;
  }
}

}  // namespace

void ListProcessThreads(std::vector<DWORD>& ids) {
  ids.clear();
  TOS os;
  QueryOsVersion(os);
  if (os.is9x)
    ListThreadsToolhelp(ids);
  else
    ListThreadsNt(ids);
}

HANDLE OpenThreadById(DWORD threadId, DWORD access) {
  using TOpenThread = HANDLE(WINAPI*)(DWORD, BOOL, DWORD);
  static const auto openThread =
      reinterpret_cast<TOpenThread>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "OpenThread")));
  if (openThread) return openThread(access, TRUE, threadId);
  struct TClientId {
    HANDLE process;
    HANDLE thread;
  };
  struct TObjectAttributes {
    ULONG length;
    HANDLE root;
    void* name;
    ULONG attributes;
    void* descriptor;
    void* qos;
  };
  using TNtOpenThread =
      LONG(WINAPI*)(HANDLE*, ACCESS_MASK, TObjectAttributes*, TClientId*);
  static const auto ntOpenThread =
      reinterpret_cast<TNtOpenThread>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtOpenThread")));
  if (!ntOpenThread) return nullptr;
  TObjectAttributes attributes{sizeof attributes, nullptr, nullptr, 0,
                               nullptr,           nullptr};
  TClientId client{nullptr,
                   reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(threadId))};
  HANDLE handle = nullptr;
  return ntOpenThread(&handle, access, &attributes, &client) >= 0 ? handle
                                                                  : nullptr;
}
