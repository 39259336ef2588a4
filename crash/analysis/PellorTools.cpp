#include "PellorTools.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "Handles.h"

namespace {

// ---------------------------------------------------------------------------
// Scrambled names (plain text in the comments)
// ---------------------------------------------------------------------------

template <std::size_t N>
String Stored(const char (&scrambled)[N]) {
  return UnscrambleStr(String(scrambled, N - 1));
}

// "ntdll.dll"
constexpr char kNtdll[] = "\x32\x0f\xfe\xd5\xb4\xd9\x72\x59\x38";
// "RtlNtStatusToDosError"
constexpr char kStatusToError[] =
    "\x0e\x0f\xf6\xf7\xac\xa4\x62\x54\x20\x06\xe1\xe5\xbf\xab\x61\x5e\x09\x19"
    "\xf8\xc6\xba";
// "netmsg.dll"
constexpr char kNetMsg[] = "\x32\x1e\xee\xd4\xab\x90\x38\x51\x38\x1f";
// "kernel32.dll"
constexpr char kKernel32[] = "\x37\x1e\xe8\xd7\xbd\x9b\x25\x07\x7a\x17\xfe\xdd";
// "ReadProcessMemory"
constexpr char kReadMemory[] =
    "\x0e\x1e\xfb\xdd\x88\x85\x79\x56\x31\x00\xe1\xfc\xb5\x82\x61\x5f\x35";

// ---------------------------------------------------------------------------
// Operating-system version
// ---------------------------------------------------------------------------

const char* const kKindNames[] = {
    "None",          "Windows 95",     "Windows 95 OSR-2", "Windows 98",
    "Windows 98 SE", "Windows ME",     "Windows 9x New",   "Windows NT 3",
    "Windows NT 4",  "Windows 2000",   "Windows XP",       "Windows 2003",
    "Windows Vista", "Windows NT New",
};

bool PlatformIs9x() { return (GetVersion() & 0x80000000u) != 0; }

TOsFacts GatherOsFacts() {
  TOsFacts f;
  f.is9x = PlatformIs9x();
  if (f.is9x) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;  // the 148-byte record
    if (GetVersionExA(&v)) {
      f.major = v.dwMajorVersion;
      f.minor = v.dwMinorVersion;
      f.build = v.dwBuildNumber;
      f.spString = v.szCSDVersion;
    }
  } else {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;  // the 284-byte extended record
    f.extendedRecord =
        GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v)) != FALSE;
    if (!f.extendedRecord) {
      v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
      if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) v = {};
    }
    f.major = v.dwMajorVersion;
    f.minor = v.dwMinorVersion;
    f.build = v.dwBuildNumber;
    for (const WCHAR* p = v.szCSDVersion; *p; ++p)
      f.spString.push_back(static_cast<char>(*p & 0xFF));
    if (f.extendedRecord) {
      f.servicePackMajor = v.wServicePackMajor;
      f.productType = v.wProductType;
    }
    f.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    f.tabletPC = GetSystemMetrics(SM_TABLETPC) != 0;
    f.starter = GetSystemMetrics(SM_STARTER) != 0;
    f.mediaCenter = GetSystemMetrics(SM_MEDIACENTER) != 0;
  }
  using TGetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
  auto nativeInfo = reinterpret_cast<TGetNativeSystemInfo>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                             "GetNativeSystemInfo")));
  if (nativeInfo) {
    SYSTEM_INFO si{};
    nativeInfo(&si);
    f.amd64 = si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  }
  return f;
}

// ---------------------------------------------------------------------------
// Executable stubs
// ---------------------------------------------------------------------------

constexpr std::size_t kStubSize = 17;

std::mutex gStubLock;
Byte* gStubPage = nullptr;
std::size_t gStubPageLeft = 0;

// ---------------------------------------------------------------------------
// Thread message windows
// ---------------------------------------------------------------------------

struct THandlerEntry {
  UINT message;
  TThreadMsgProc proc;
  TThreadMsgMethod method;
  void* object;
  bool SameTarget(TThreadMsgProc p, TThreadMsgMethod m, void* o) const {
    return proc == p && method == m && object == o;
  }
};
using TMsgHandlers = std::vector<THandlerEntry>;

struct TWindowEntry {
  DWORD thread;
  HWND wnd;
  TMsgHandlers handlers;
};

std::vector<TWindowEntry> gWindows;
std::atomic<HANDLE> gListMutex{nullptr};

LRESULT CALLBACK ThreadMsgWindowProc(HWND wnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam);

// "$<calling thread>$<window routine>", lowercase hex.
String NameSuffix() {
  return CardinalToHexPadded(GetCurrentThreadId(), 1, '0') +
         CardinalToHexPadded(static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(
                                 &ThreadMsgWindowProc)),
                             1, '0');
}

HANDLE ListMutex() {
  HANDLE m = gListMutex.load();
  if (m) return m;
  String name = "PellorToolsMsgHandlerMutex" + NameSuffix();
  THandle created(CreateMutexA(nullptr, FALSE, name.c_str()));
  if (!created) return nullptr;
  HANDLE expected = nullptr;
  // Losing the race closes ours and takes the winner's.
  if (!gListMutex.compare_exchange_strong(expected, created.get()))
    return expected;
  return created.release();
}

class TListLock {
 public:
  TListLock() : mutex_(ListMutex()) {
    if (mutex_) WaitForSingleObject(mutex_, INFINITE);
  }
  ~TListLock() {
    if (mutex_) ReleaseMutex(mutex_);
  }
  TListLock(const TListLock&) = delete;
  TListLock& operator=(const TListLock&) = delete;

 private:
  HANDLE mutex_;
};

TWindowEntry* FindWindowOf(DWORD thread) {
  for (auto& w : gWindows)
    if (w.thread == thread) return &w;
  return nullptr;
}

TWindowEntry* FindWindowEntry(HWND wnd) {
  for (auto& w : gWindows)
    if (w.wnd == wnd) return &w;
  return nullptr;
}

template <class T, class Pred>
void RemoveBySwap(std::vector<T>& v, Pred pred) {
  for (std::size_t i = 0; i < v.size();) {
    if (pred(v[i])) {
      v[i] = std::move(v.back());
      v.pop_back();
    } else {
      ++i;
    }
  }
}

LRESULT CALLBACK ThreadMsgWindowProc(HWND wnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam) {
  LRESULT result = DefWindowProcA(wnd, msg, wParam, lParam);
  if (!ThreadMsgDispatched(msg)) return result;
  try {
    // Handlers run on a private copy outside the lock, so they may add and
    // remove handlers themselves.
    TMsgHandlers handlers;
    {
      TListLock lock;
      if (TWindowEntry* entry = FindWindowEntry(wnd))
        handlers = entry->handlers;
    }
    for (const auto& h : handlers) {
      if (h.message != msg) continue;
      try {
        if (h.method)
          h.method(h.object, wnd, msg, wParam, lParam, result);
        else if (h.proc)
          h.proc(wnd, msg, wParam, lParam, result);
      } catch (...) {
        // An exception must not cross the window procedure.
      }
    }
  } catch (...) {
  }
  return result;
}

// ---------------------------------------------------------------------------
// PE images
// ---------------------------------------------------------------------------

// The directory entry {RVA, size} of a valid image, nil when absent.
const IMAGE_DATA_DIRECTORY* DirectoryEntry(const void* base, Cardinal index) {
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(base);
  if (!nt || index >= IMAGE_NUMBEROF_DIRECTORY_ENTRIES) return nullptr;
  auto* optional = reinterpret_cast<const Byte*>(&nt->OptionalHeader);
  const bool plus = nt->OptionalHeader.Magic == 0x20B;
  Cardinal count;
  std::memcpy(&count, optional + (plus ? 108 : 92), sizeof count);
  if (index >= count) return nullptr;
  auto* entry = reinterpret_cast<const IMAGE_DATA_DIRECTORY*>(
                    optional + (plus ? 112 : 96)) +
                index;
  if (entry->VirtualAddress == 0 || entry->Size == 0) return nullptr;
  return entry;
}

bool IsPe32(const void* base) {
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(base);
  return nt && nt->OptionalHeader.Magic != 0x20B;
}

template <class T>
const T* At(const void* base, Cardinal rva) {
  return reinterpret_cast<const T*>(static_cast<const Byte*>(base) + rva);
}

// The function RVA of export index idx as the module's file has it (the
// table in memory may have been patched); 0 when unreadable.
Cardinal ExportRvaOnDisk(const void* base, Cardinal idx) {
  const TMappedView mapped(
      MapModuleFile(reinterpret_cast<HMODULE>(const_cast<void*>(base))));
  if (!mapped) return 0;
  const Byte* view = static_cast<const Byte*>(mapped.get());
  Cardinal rva = 0;
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(view);
  const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0);
  if (nt && dir) {
    auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        view + RvaToFileOffset(nt, dir->VirtualAddress));
    if (idx < exp->NumberOfFunctions) {
      auto* funcs = reinterpret_cast<const DWORD*>(
          view + RvaToFileOffset(nt, exp->AddressOfFunctions));
      rva = funcs[idx];
    }
  }
  return rva;
}

// Forwarders may chain; a malformed image must not recurse forever.
constexpr int kMaxForwards = 8;
void* ResolveRva(const void* base, Cardinal rva, int forwards);
void* ExportByName(const void* base, const String& name, bool trustDisk,
                   int forwards);
void* ExportByOrdinal(const void* base, Cardinal ordinal, int forwards);

// ---------------------------------------------------------------------------
// Safe reads
// ---------------------------------------------------------------------------

constexpr UINT_PTR kUserSpaceEnd = 0x80000000u;

// Every byte of [p, p + count) lies in readable memory (asks the system).
bool RangeReadable(const Byte* p, UINT_PTR count) {
  UINT_PTR at = reinterpret_cast<UINT_PTR>(p);
  const UINT_PTR end = at + count;
  while (at < end) {
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(reinterpret_cast<const void*>(at), &mbi, sizeof mbi))
      return false;
    if (!RegionReadable(mbi.State, mbi.Protect)) return false;
    at = reinterpret_cast<UINT_PTR>(mbi.BaseAddress) + mbi.RegionSize;
  }
  return true;
}

using TReadMemory = BOOL(WINAPI*)(HANDLE, LPCVOID, LPVOID, SIZE_T, SIZE_T*);

TReadMemory ReadMemoryRoutine() {
  static const TReadMemory routine = [] {
    const String moduleName = Stored(kKernel32);
    HMODULE module;
    if (PlatformIs9x()) {
      module = GetModuleHandleA(moduleName.c_str());
    } else {
      const String wide = AnsiToWideStr(moduleName, true);
      module = GetModuleHandleW(reinterpret_cast<LPCWSTR>(wide.data()));
    }
    if (!module) return TReadMemory(nullptr);
    return reinterpret_cast<TReadMemory>(
        ImageExportByName(module, Stored(kReadMemory)));
  }();
  return routine;
}

bool ReadDword(Cardinal address, Cardinal& value) {
  return SafeRead(reinterpret_cast<const void*>(static_cast<UINT_PTR>(address)),
                  &value, sizeof value);
}

// ---------------------------------------------------------------------------
// System message texts
// ---------------------------------------------------------------------------

bool SystemMessageText(Cardinal code, String& text) {
  if (code > 0x3FFFFFFF) {
    using TStatusToError = ULONG(WINAPI*)(LONG);
    HMODULE ntdll = GetModuleHandleA(Stored(kNtdll).c_str());
    auto convert =
        ntdll ? reinterpret_cast<TStatusToError>(reinterpret_cast<void*>(
                    GetProcAddress(ntdll, Stored(kStatusToError).c_str())))
              : nullptr;
    if (convert) code = convert(static_cast<LONG>(code));
  }
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                FORMAT_MESSAGE_FROM_SYSTEM;
  TModuleHandle netMessages;
  if (code >= 2100 && code <= 2999) {
    netMessages.reset(LoadLibraryExA(Stored(kNetMsg).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE));
    if (netMessages) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  }
  char* buffer = nullptr;
  DWORD length = FormatMessageA(flags, netMessages.get(), code,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  netMessages.reset();
  if (length == 0 || !buffer) return false;
  text.assign(buffer, length);
  LocalFree(buffer);
  return true;
}

// ---------------------------------------------------------------------------
// Default exception class
// ---------------------------------------------------------------------------

TObjectPtr<PellorException> MakeDefaultException() {
  return TObjectPtr<PellorException>(
      new PellorException(kDefaultExceptionMessage));
}

std::atomic<TDefaultExceptionFactory> gDefaultFactory{nullptr};

void ToolsStartup() { SetPellorMessageSource(&SystemMessageText); }

void ToolsShutdown() {
  SetPellorMessageSource(nullptr);
  THandle(gListMutex.exchange(nullptr)).reset();
  gWindows.clear();  // windows still alive are left to their threads
}

}  // namespace

VARNEL_UNIT(PellorTools, ({}), &ToolsStartup, &ToolsShutdown);

const char* const kDefaultExceptionMessage =
    "Unknown exception. If you want to know more, you have to add SysUtils to "
    "your project.";

// ---------------------------------------------------------------------------
// Operating-system version
// ---------------------------------------------------------------------------

const char* OsVersionKindName(OsVersionKind kind) {
  if (kind < ovkNone || kind > ovkNTNew) return kKindNames[0];
  return kKindNames[kind];
}

OsVersionKind Win9xVersionKind(Cardinal major, Cardinal minor, Cardinal build) {
  if (major < 4) return ovkNone;
  if (major > 4) return ovkWin9xNew;
  if (minor < 10) return build <= 1000 ? ovkWin95 : ovkWin95Osr2;
  if (minor == 10) {
    if (build > 2700) return ovkWinME;
    return build > 2000 ? ovkWin98SE : ovkWin98;
  }
  return minor <= 90 ? ovkWinME : ovkWin9xNew;
}

OsVersionKind NtVersionKind(Cardinal major, Cardinal minor, Byte productType) {
  if (major < 4) return ovkNT3;
  if (major == 4) return ovkNT4;
  if (major == 5 && minor == 0) return ovkWin2000;
  if (major == 5 && minor == 1) return ovkWinXP;
  if (major == 5 && minor == 2)
    return productType == VER_NT_WORKSTATION ? ovkWinXP : ovkWin2003;
  if (major == 6 && minor == 0) return ovkWinVista;
  return ovkNTNew;
}

TOS MakeOsRecord(const TOsFacts& facts) {
  TOS os;
  os.major = facts.major;
  os.minor = facts.minor;
  os.spString = facts.spString;
  os.is64 = facts.amd64;
  os.is9x = facts.is9x;
  os.isNT = !facts.is9x;
  if (os.is9x) {
    os.build = facts.build & 0xFFFF;
    os.win9xKind = Win9xVersionKind(facts.major, facts.minor, os.build);
    os.kind = os.win9xKind;
    os.text = OsVersionKindName(os.kind);
    return os;
  }
  os.build = facts.build;
  os.ntKind = NtVersionKind(facts.major, facts.minor, facts.productType);
  os.kind = os.ntKind;
  if (facts.extendedRecord) {
    os.servicePack = facts.servicePackMajor;
  } else if (facts.spString.size() > 13) {
    // "Service Pack 3": the number after the 13-character lead-in.
    String number = facts.spString.substr(13);
    std::size_t digits = 0;
    while (digits < number.size() && number[digits] >= '0' &&
           number[digits] <= '9')
      ++digits;
    os.servicePack =
        ParseIntDigits(false, number.data(), static_cast<Integer>(digits));
  }
  os.text = OsVersionKindName(os.kind);
  if (facts.serverR2) os.text += " R2";
  if (facts.tabletPC) os.text += " Tablet PC";
  if (facts.starter) os.text += " Starter";
  if (facts.mediaCenter && os.kind < ovkWinVista) os.text += " Media Center";
  if (os.is64) os.text += " x64";
  if (!os.spString.empty()) os.text += " " + os.spString;
  return os;
}

void QueryOsVersion(TOS& os) {
  static const TOS record = MakeOsRecord(GatherOsFacts());
  os = record;
}

// The 16-bit call through the system's thunk: it copies the arguments
// between ESP and EBP to the 16-bit stack and needs 0x3C bytes of scratch
// below the frame, so the call gets a frame of its own.
__attribute__((noinline)) static DWORD CallThunk16(void* thunk, DWORD proc16,
                                                   DWORD kind) {
  DWORD result = 0;
  asm volatile(
      "push %%ebp\n\t"
      "mov %%esp, %%ebp\n\t"
      "sub $0x40, %%esp\n\t"
      "pushw %%cx\n\t"
      "call *%%eax\n\t"
      "mov %%ebp, %%esp\n\t"
      "pop %%ebp\n\t"
      "movzwl %%ax, %%eax\n\t"
      : "+a"(thunk), "+c"(kind), "+d"(proc16)
      :
      : "memory", "cc");
  result = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(thunk));
  return result;
}

Integer Win9xFreeResources(Integer kind) {
  TOS os;
  QueryOsVersion(os);
  if (!os.is9x || kind < 0 || kind > 2) return 0;
  using TLoadLibrary16 = DWORD(WINAPI*)(LPCSTR);
  using TFreeLibrary16 = void(WINAPI*)(DWORD);
  using TGetProcAddress16 = DWORD(WINAPI*)(DWORD, LPCSTR);
  struct TEntries {
    TLoadLibrary16 load = nullptr;
    TFreeLibrary16 free = nullptr;
    TGetProcAddress16 find = nullptr;
    void* thunk = nullptr;
  };
  static const TEntries e = [] {
    TEntries r;
    HMODULE k = GetModuleHandleA("kernel32.dll");
    if (!k) return r;
    auto entry = [k](LPCSTR name) {
      return reinterpret_cast<void*>(GetProcAddress(k, name));
    };
    r.load = reinterpret_cast<TLoadLibrary16>(entry(MAKEINTRESOURCEA(35)));
    r.free = reinterpret_cast<TFreeLibrary16>(entry(MAKEINTRESOURCEA(36)));
    r.find = reinterpret_cast<TGetProcAddress16>(entry(MAKEINTRESOURCEA(37)));
    r.thunk = entry("QT_Thunk");
    return r;
  }();
  if (!e.load || !e.free || !e.find || !e.thunk) return 0;
  DWORD user = e.load("user.exe");
  if (user < 32) return 0;  // 16-bit load errors are below 32
  DWORD proc = e.find(user, "GetFreeSystemResources");
  Integer result = 0;
  if (proc)
    result = static_cast<Integer>(
        CallThunk16(e.thunk, proc, static_cast<DWORD>(kind)) & 0xFFFF);
  e.free(user);
  return result;
}

// ---------------------------------------------------------------------------
// File versions, stubs, ticks
// ---------------------------------------------------------------------------

UInt64 ReadFileVersionNumber(const String& fileName) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return 0;
  std::vector<Byte> data(size);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info),
                      &infoSize) ||
      !info || infoSize < sizeof(VS_FIXEDFILEINFO))
    return 0;
  return (static_cast<UInt64>(info->dwFileVersionMS) << 32) |
         info->dwFileVersionLS;
}

String FormatFileVersion(UInt64 version) {
  String s;
  for (int shift = 48; shift >= 0; shift -= 16) {
    if (!s.empty()) s += ".";
    s += CardinalToDecPadded(static_cast<Cardinal>((version >> shift) & 0xFFFF),
                             0, ' ');
  }
  return s;
}

void* MakeMethodStub(void* object, const void* methodCode) {
  std::lock_guard<std::mutex> lock(gStubLock);
  if (gStubPageLeft < kStubSize) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    void* page = VirtualAlloc(nullptr, si.dwPageSize, MEM_COMMIT | MEM_RESERVE,
                              PAGE_EXECUTE_READWRITE);
    if (!page) return nullptr;
    gStubPage = static_cast<Byte*>(page);
    gStubPageLeft = si.dwPageSize;
  }
  Byte* stub = gStubPage;
  gStubPage += kStubSize;
  gStubPageLeft -= kStubSize;
  auto put32 = [](Byte* at, const void* value) {
    const auto v = static_cast<Cardinal>(reinterpret_cast<UINT_PTR>(value));
    std::memcpy(at, &v, 4);
  };
  stub[0] = 0x58;  // pop eax: the return address
  stub[1] = 0x68;  // push object
  put32(stub + 2, object);
  stub[6] = 0x50;  // push eax: the return address again
  stub[7] = 0xFF;  // jmp [stub + 13]
  stub[8] = 0x25;
  put32(stub + 9, stub + 13);
  put32(stub + 13, methodCode);
  FlushInstructionCache(GetCurrentProcess(), stub, kStubSize);
  return stub;
}

Cardinal TicksSince(Cardinal tick, Cardinal now) {
  Cardinal elapsed = now - tick;
  if (now < tick) --elapsed;
  return elapsed;
}

Cardinal TicksSince(Cardinal tick) { return TicksSince(tick, GetTickCount()); }

// ---------------------------------------------------------------------------
// Per-thread message windows
// ---------------------------------------------------------------------------

bool ThreadMsgDispatched(UINT msg) {
  static const UINT kListed[] = {0x11, 0x12, 0x15, 0x16, 0x17, 0x1A,
                                 0x1B, 0x1C, 0x1D, 0x1E, 0x2A, 0x41,
                                 0x48, 0x50, 0x51, 0x54, 0x7E};
  if (msg >= 0x218) return true;
  return std::find(std::begin(kListed), std::end(kListed), msg) !=
         std::end(kListed);
}

HWND ThreadMsgWindow(DWORD threadId) {
  const DWORD current = GetCurrentThreadId();
  const DWORD thread = threadId ? threadId : current;
  {
    TListLock lock;
    if (TWindowEntry* entry = FindWindowOf(thread)) return entry->wnd;
  }
  if (thread != current) return nullptr;
  const String className = "PellorToolsMsgHandlerWindow" + NameSuffix();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ThreadMsgWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = className.c_str();
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return nullptr;
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "", WS_POPUP,
                             0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!wnd) return nullptr;
  TListLock lock;
  gWindows.push_back({thread, wnd, {}});
  return wnd;
}

UINT AddThreadMsgHandler(TThreadMsgProc proc, UINT message, DWORD threadId) {
  return AddThreadMsgHandlerEx(proc, message, threadId, nullptr, nullptr);
}

UINT AddThreadMsgHandlerEx(TThreadMsgProc proc, UINT message, DWORD threadId,
                           TThreadMsgMethod methodCode, void* methodObject) {
  try {
    const DWORD thread = threadId ? threadId : GetCurrentThreadId();
    if (!ThreadMsgWindow(thread)) return 0;
    TListLock lock;
    TWindowEntry* entry = FindWindowOf(thread);
    if (!entry) return 0;
    TMsgHandlers& handlers = entry->handlers;
    if (message != 0) {
      for (const auto& h : handlers)
        if (h.message == message &&
            h.SameTarget(proc, methodCode, methodObject))
          return 0;
    } else {
      message = WM_USER;
      while (std::any_of(
          handlers.begin(), handlers.end(),
          [message](const THandlerEntry& h) { return h.message == message; }))
        ++message;
    }
    handlers.push_back({message, proc, methodCode, methodObject});
    return message;
  } catch (...) {
    return 0;
  }
}

void RemoveThreadMsgHandler(TThreadMsgProc proc, UINT message, DWORD threadId) {
  RemoveThreadMsgHandlerEx(proc, message, threadId, nullptr, nullptr);
}

void RemoveThreadMsgHandlerEx(TThreadMsgProc proc, UINT message, DWORD threadId,
                              TThreadMsgMethod methodCode, void* methodObject) {
  const DWORD current = GetCurrentThreadId();
  const DWORD thread = threadId ? threadId : current;
  HWND toClose = nullptr;
  {
    TListLock lock;
    TWindowEntry* entry = FindWindowOf(thread);
    if (!entry) return;
    RemoveBySwap(entry->handlers, [&](const THandlerEntry& h) {
      return (message == 0 || h.message == message) &&
             h.SameTarget(proc, methodCode, methodObject);
    });
    if (!entry->handlers.empty()) return;
    toClose = entry->wnd;
    RemoveBySwap(gWindows, [thread](const TWindowEntry& w) {
      return w.thread == thread;
    });
  }
  if (!toClose || !IsWindow(toClose)) return;
  if (thread == current)
    DestroyWindow(toClose);
  else
    PostMessageA(toClose, WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------------------
// PE images
// ---------------------------------------------------------------------------

bool ModuleOfAddress(const void* address, HMODULE& module, String& fileName) {
  module = nullptr;
  fileName.clear();
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(address, &mbi, sizeof mbi) || mbi.State != MEM_COMMIT ||
      !mbi.AllocationBase)
    return false;
  // Long enough for any path the system can load from; a name that only
  // just fits is still whole.
  std::vector<char> name(32768);
  const auto size = static_cast<DWORD>(name.size());
  DWORD length = GetModuleFileNameA(static_cast<HMODULE>(mbi.AllocationBase),
                                    name.data(), size);
  if (length == 0 || length >= size) return false;
  module = static_cast<HMODULE>(mbi.AllocationBase);
  fileName.assign(name.data(), length);
  return true;
}

PIMAGE_NT_HEADERS ImageNtHeaders(const void* base) {
  // Checked with the system's page map rather than SafeRead: SafeRead finds
  // its copy routine through these very headers.
  const Byte* image = static_cast<const Byte*>(base);
  if (!image || !RangeReadable(image, 64) || image[0] != 'M' || image[1] != 'Z')
    return nullptr;
  LONG offset;
  std::memcpy(&offset, image + 60, sizeof offset);
  if (offset < 0) return nullptr;
  const Byte* nt = image + offset;
  // Signature, file header and an optional header with all its
  // directories, of either width.
  const UINT_PTR headSize = sizeof(IMAGE_NT_HEADERS64);
  if (reinterpret_cast<UINT_PTR>(nt) + headSize <
          reinterpret_cast<UINT_PTR>(nt) ||
      !RangeReadable(nt, headSize) || std::memcmp(nt, "PE\0\0", 4) != 0)
    return nullptr;
  return reinterpret_cast<PIMAGE_NT_HEADERS>(const_cast<Byte*>(nt));
}

void* ImageDataDirectory(const void* base, Cardinal index) {
  const IMAGE_DATA_DIRECTORY* entry = DirectoryEntry(base, index);
  if (!entry) return nullptr;
  return const_cast<Byte*>(At<Byte>(base, entry->VirtualAddress));
}

PIMAGE_EXPORT_DIRECTORY ImageExportDirectory(const void* base) {
  return static_cast<PIMAGE_EXPORT_DIRECTORY>(
      ImageDataDirectory(base, IMAGE_DIRECTORY_ENTRY_EXPORT));
}

Cardinal ImageSize(const IMAGE_NT_HEADERS* headers) {
  return headers ? headers->OptionalHeader.SizeOfImage : 0;
}

Cardinal RvaToFileOffset(const IMAGE_NT_HEADERS* headers, Cardinal rva) {
  if (!headers) return rva;
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(headers);
  const Cardinal count = headers->FileHeader.NumberOfSections;
  for (Cardinal i = 0; i < count; ++i) {
    if (sections[i].VirtualAddress > rva) continue;
    if (i + 1 < count && sections[i + 1].VirtualAddress <= rva) continue;
    return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
  }
  return rva;
}

void* MapModuleFile(HMODULE module) {
  std::vector<WCHAR> path(32768);
  const auto size = static_cast<DWORD>(path.size());
  DWORD length = GetModuleFileNameW(module, path.data(), size);
  if (length == 0 || length >= size) return nullptr;
  const THandle file(CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return nullptr;
  // The view keeps the file mapped after both handles are closed.
  const THandle mapping(
      CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return nullptr;
  return MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
}

namespace {

void* ResolveRva(const void* base, Cardinal rva, int forwards) {
  const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0);
  if (!dir || rva < dir->VirtualAddress ||
      rva - dir->VirtualAddress >= dir->Size)
    return const_cast<Byte*>(At<Byte>(base, rva));
  // A forwarder: "module.name" (or "module.#ordinal").
  const char* text = At<char>(base, rva);
  const std::size_t room = dir->Size - (rva - dir->VirtualAddress);
  const String forward(text, strnlen(text, room));
  const std::size_t dot = forward.rfind('.');
  if (dot == String::npos || dot == 0 || dot + 1 == forward.size())
    return nullptr;
  HMODULE target = GetModuleHandleA(forward.substr(0, dot).c_str());
  if (!target || forwards >= kMaxForwards) return nullptr;
  const String name = forward.substr(dot + 1);
  if (name[0] != '#') return ExportByName(target, name, false, forwards + 1);
  const String digits = name.substr(1);
  return ExportByOrdinal(
      target,
      static_cast<Cardinal>(ParseIntDigits(
          false, digits.data(), static_cast<Integer>(digits.size()))),
      forwards + 1);
}

void* ExportByName(const void* base, const String& name, bool trustDisk,
                   int forwards) {
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(base);
  if (!nt) return nullptr;
  if (const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0)) {
    auto* exp = At<IMAGE_EXPORT_DIRECTORY>(base, dir->VirtualAddress);
    auto* names = At<DWORD>(base, exp->AddressOfNames);
    auto* ordinals = At<WORD>(base, exp->AddressOfNameOrdinals);
    auto* funcs = At<DWORD>(base, exp->AddressOfFunctions);
    for (DWORD i = 0; i < exp->NumberOfNames; ++i) {
      if (std::strcmp(At<char>(base, names[i]), name.c_str()) != 0) continue;
      const WORD idx = ordinals[i];
      if (idx >= exp->NumberOfFunctions) break;
      Cardinal rva = funcs[idx];
      if (trustDisk || rva >= ImageSize(nt)) {
        // The table in memory may have been patched: the file decides.
        Cardinal onDisk = ExportRvaOnDisk(base, idx);
        if (onDisk) rva = onDisk;
      }
      if (rva != 0 && rva < ImageSize(nt))
        return ResolveRva(base, rva, forwards);
      break;
    }
  }
  if (nt->OptionalHeader.Magic == 0x20B) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(
      reinterpret_cast<HMODULE>(const_cast<void*>(base)), name.c_str()));
}

void* ExportByOrdinal(const void* base, Cardinal ordinal, int forwards) {
  if (!ImageNtHeaders(base)) return nullptr;
  if (const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0)) {
    auto* exp = At<IMAGE_EXPORT_DIRECTORY>(base, dir->VirtualAddress);
    const Cardinal idx = ordinal - exp->Base;
    if (ordinal >= exp->Base && idx < exp->NumberOfFunctions) {
      const Cardinal rva = At<DWORD>(base, exp->AddressOfFunctions)[idx];
      if (rva != 0) return ResolveRva(base, rva, forwards);
    }
  }
  if (!IsPe32(base) || ordinal == 0 || ordinal > 0xFFFF) return nullptr;
  return reinterpret_cast<void*>(
      GetProcAddress(reinterpret_cast<HMODULE>(const_cast<void*>(base)),
                     MAKEINTRESOURCEA(ordinal)));
}

}  // namespace

void* ResolveExportRva(const void* base, Cardinal rva) {
  return ResolveRva(base, rva, 0);
}

void* ImageExportByName(const void* base, const String& name, bool trustDisk) {
  return ExportByName(base, name, trustDisk, 0);
}

void* ImageExportByOrdinal(const void* base, Cardinal ordinal) {
  return ExportByOrdinal(base, ordinal, 0);
}

String ImageExportNameOf(const void* base, const void* address, bool unmangle) {
  const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0);
  if (!dir) return String();
  auto* exp = At<IMAGE_EXPORT_DIRECTORY>(base, dir->VirtualAddress);
  auto* funcs = At<DWORD>(base, exp->AddressOfFunctions);
  auto* names = At<DWORD>(base, exp->AddressOfNames);
  auto* ordinals = At<WORD>(base, exp->AddressOfNameOrdinals);
  for (DWORD idx = 0; idx < exp->NumberOfFunctions; ++idx) {
    if (funcs[idx] == 0 || At<Byte>(base, funcs[idx]) != address) continue;
    String name;
    for (DWORD i = 0; i < exp->NumberOfNames; ++i)
      if (ordinals[i] == idx) {
        name = At<char>(base, names[i]);
        break;
      }
    if (name.empty()) return "#" + CardinalToDecPadded(idx + exp->Base, 0, ' ');
    String className;
    if (unmangle && UnmangleName(name, className) && !className.empty())
      return className + "." + name;
    return name;
  }
  return String();
}

const void* ImageNearestExport(const void* base, const void* address) {
  const IMAGE_DATA_DIRECTORY* dir = DirectoryEntry(base, 0);
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(base);
  if (!dir || !nt) return nullptr;
  auto* exp = At<IMAGE_EXPORT_DIRECTORY>(base, dir->VirtualAddress);
  auto* funcs = At<DWORD>(base, exp->AddressOfFunctions);
  const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(address);
  const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(base);
  if (at < from) return nullptr;
  const Cardinal rva = static_cast<Cardinal>(at - from);
  Cardinal best = 0;
  for (DWORD idx = 0; idx < exp->NumberOfFunctions; ++idx) {
    const Cardinal f = funcs[idx];
    // Forwarders are texts inside the export directory, not code.
    const bool forwarder =
        f >= dir->VirtualAddress && f - dir->VirtualAddress < dir->Size;
    if (f == 0 || forwarder || f >= ImageSize(nt) || f > rva) continue;
    best = std::max(best, f);
  }
  return best ? At<Byte>(base, best) : nullptr;
}

String LoadResourceStr(HMODULE module, LPCSTR type, LPCSTR name) {
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return String();
  DWORD size = SizeofResource(module, info);
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data || size == 0) return String();
  return String(static_cast<const char*>(data), size);
}

bool UnmangleName(String& name, String& className) {
  className.clear();
  if (name.empty() || name[0] != '@') return false;
  ReplaceAllStr(name, "::", ".");
  String suffix;
  if (name.size() > 1 && name[1] == '%') {
    for (std::size_t i = name.size() >= 2 ? name.size() - 2 : 0; i >= 3; --i)
      if (name[i] == '%' && name[i + 1] == '@') {
        suffix = "." + name.substr(i + 2);
        break;
      }
  }
  std::size_t start = 2;
  if (name.size() > 6 && name[1] == '_' && name[2] == '$') {
    std::size_t dollar = name.find('$', 4);
    if (dollar != String::npos) {
      std::size_t at = name.find('@', dollar + 1);
      if (at != String::npos) start = at;
    }
  }
  bool cut = false, destructor = false;
  for (std::size_t i = start; i < name.size(); ++i) {
    if (name[i] == '$') {
      destructor = i + 2 < name.size() && name[i + 2] == 'd';
      name.erase(i);
      name += suffix;
      cut = true;
      break;
    }
    if (name[i] == '@') {
      name[i] = '.';
      if (className.empty()) className = name.substr(1, i - 1);
    }
  }
  if (!className.empty() && className.size() + 2 < name.size()) {
    name.erase(0, className.size() + 2);
  } else {
    className.clear();
    if (cut) name.erase(0, 1);
  }
  if (!name.empty() && name[0] == '%') name.erase(0, 1);
  if (!name.empty() && name[0] == '.') name[0] = '@';
  if (!name.empty() && name.back() == '.')
    name += destructor ? "Destroy" : "Create";
  TrimStrInPlace(name);
  if (!name.empty() && name.back() == '.') name += "?";
  return true;
}

void SetDefaultExceptionClass() {
  TDefaultExceptionFactory expected = nullptr;
  gDefaultFactory.compare_exchange_strong(expected, &MakeDefaultException);
}

TDefaultExceptionFactory DefaultExceptionFactory() {
  return gDefaultFactory.load();
}

// ---------------------------------------------------------------------------
// Safe reads
// ---------------------------------------------------------------------------

bool RegionReadable(DWORD state, DWORD protect) {
  if (state != MEM_COMMIT) return false;
  switch (protect) {
    case PAGE_READONLY:
    case PAGE_READWRITE:
    case PAGE_EXECUTE:
    case PAGE_EXECUTE_READ:
    case PAGE_EXECUTE_READWRITE:
      return true;
    default:
      return false;
  }
}

TDATryRead SafeReadSnapshot() {
  TDATryRead regions;
  try {
    regions.reserve(64);
    UINT_PTR at = 0;
    MEMORY_BASIC_INFORMATION mbi;
    while (at < kUserSpaceEnd &&
           VirtualQuery(reinterpret_cast<const void*>(at), &mbi, sizeof mbi)) {
      const bool readable = RegionReadable(mbi.State, mbi.Protect);
      const auto* start = static_cast<const Byte*>(mbi.BaseAddress);
      const Byte* end = start + mbi.RegionSize;
      if (regions.empty() || regions.back().readable != readable)
        regions.push_back({start, end, readable});
      else
        regions.back().end = end;
      if (reinterpret_cast<UINT_PTR>(end) <= at) break;  // no progress
      at = reinterpret_cast<UINT_PTR>(end);
    }
  } catch (...) {
  }
  return regions;
}

void SafeReadSnapshotFree(TDATryRead& snapshot) {
  try {
    TDATryRead().swap(snapshot);
  } catch (...) {
  }
}

bool SafeReadAllowed(const TDATryRead& snapshot, const void* address,
                     Cardinal /*length*/) {
  auto it = std::upper_bound(snapshot.begin(), snapshot.end(), address,
                             [](const void* a, const TDATryRegion& r) {
                               return std::less<const void*>()(a, r.start);
                             });
  if (it == snapshot.begin()) return false;
  --it;
  return std::less<const void*>()(address, it->end) && it->readable;
}

bool SafeRead(const void* source, void* destination, Cardinal count,
              const TDATryRead* snapshot) {
  if (!source || (!destination && count)) return false;
  if (count == 0) return true;
  const auto* src = static_cast<const Byte*>(source);
  const auto first = reinterpret_cast<UINT_PTR>(src);
  if (first + count < first) return false;  // wraps around
  if (snapshot && !SafeReadAllowed(*snapshot, src, count)) return false;
  // Never let the copy touch a guard page (that would consume its one-shot
  // fault) or an unreadable page: the snapshot answers for the region it
  // has, the system for anything past it.
  const Byte* checkFrom = src;
  if (snapshot) {
    auto it = std::upper_bound(snapshot->begin(), snapshot->end(), source,
                               [](const void* a, const TDATryRegion& r) {
                                 return std::less<const void*>()(a, r.start);
                               });
    checkFrom = static_cast<const Byte*>((it - 1)->end);
  }
  const Byte* end = src + count;
  if (std::less<const Byte*>()(checkFrom, end) &&
      !RangeReadable(checkFrom, static_cast<UINT_PTR>(end - checkFrom)))
    return false;
  TReadMemory read = ReadMemoryRoutine();
  if (!read) return false;
  SIZE_T done = 0;
  return read(GetCurrentProcess(), source, destination, count, &done) &&
         done == count;
}

// ---------------------------------------------------------------------------
// Windows 9x id scrambling
// ---------------------------------------------------------------------------

TIdObfuscation FindIdObfuscator(Cardinal tibAddress, Cardinal fs30,
                                Cardinal threadId, Cardinal processId,
                                TDwordReader read) {
  Cardinal value = 0;
  const Cardinal guess95 = (tibAddress - 16) ^ threadId;
  if (read((threadId ^ guess95) + 8, value) && value == (processId ^ guess95))
    return {guess95, true};
  const Cardinal guess98 = fs30 ^ processId;
  if (read((threadId ^ guess98) + 56, value) && value == (processId ^ guess98))
    return {guess98, false};
  return {};
}

namespace {
const TIdObfuscation& IdObfuscation() {
  static const TIdObfuscation result = [] {
    Cardinal tib = 0, fs30 = 0;
    asm volatile("movl %%fs:0x18, %0" : "=r"(tib));
    asm volatile("movl %%fs:0x30, %0" : "=r"(fs30));
    return FindIdObfuscator(tib, fs30, GetCurrentThreadId(),
                            GetCurrentProcessId(), &ReadDword);
  }();
  return result;
}
}  // namespace

Cardinal Win9xIdObfuscator() { return IdObfuscation().value; }

bool IsWin95IdLayout() { return IdObfuscation().win95Layout; }
