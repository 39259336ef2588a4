#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <thread>

#include "Handles.h"
#include "PellorTools.h"
#include "UiDriverWin.h"

namespace {

// ---------------------------------------------------------------------------
// Operating-system version
// ---------------------------------------------------------------------------

TEST(PellorToolsOsTest, Win9xKinds) {
  struct Case {
    Cardinal major, minor, build;
    OsVersionKind kind;
  } cases[] = {
      {3, 95, 0, ovkNone},        {4, 0, 950, ovkWin95},
      {4, 0, 1000, ovkWin95},     {4, 0, 1001, ovkWin95Osr2},
      {4, 3, 1214, ovkWin95Osr2}, {4, 10, 1998, ovkWin98},
      {4, 10, 2000, ovkWin98},    {4, 10, 2222, ovkWin98SE},
      {4, 10, 2700, ovkWin98SE},  {4, 10, 2701, ovkWinME},
      {4, 11, 0, ovkWinME},       {4, 90, 3000, ovkWinME},
      {4, 91, 0, ovkWin9xNew},    {5, 0, 0, ovkWin9xNew},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.kind, Win9xVersionKind(c.major, c.minor, c.build))
        << c.major << "." << c.minor << "." << c.build;
}

TEST(PellorToolsOsTest, NtKinds) {
  struct Case {
    Cardinal major, minor;
    Byte productType;
    OsVersionKind kind;
  } cases[] = {
      {3, 51, 1, ovkNT3},   {4, 0, 1, ovkNT4},      {5, 0, 1, ovkWin2000},
      {5, 1, 1, ovkWinXP},  {5, 2, 1, ovkWinXP},    {5, 2, 3, ovkWin2003},
      {5, 3, 1, ovkNTNew},  {6, 0, 1, ovkWinVista}, {6, 1, 1, ovkNTNew},
      {10, 0, 1, ovkNTNew},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.kind, NtVersionKind(c.major, c.minor, c.productType))
        << c.major << "." << c.minor << " type " << int(c.productType);
}

TEST(PellorToolsOsTest, KindNames) {
  const char* expected[] = {
      "None",          "Windows 95",    "Windows 95 OSR-2", "Windows 98",
      "Windows 98 SE", "Windows ME",    "Windows 9x New",   "Windows NT 3",
      "Windows NT 4",  "Windows 2000",  "Windows XP",       "Windows 2003",
      "Windows Vista", "Windows NT New"};
  for (int k = 0; k <= ovkNTNew; ++k)
    EXPECT_STREQ(expected[k], OsVersionKindName(static_cast<OsVersionKind>(k)));
  EXPECT_STREQ("None", OsVersionKindName(static_cast<OsVersionKind>(99)));
}

TEST(PellorToolsOsTest, RecordTextAndServicePack) {
  TOsFacts xp;
  xp.major = 5;
  xp.minor = 2;
  xp.build = 3790;
  xp.productType = 1;
  xp.extendedRecord = true;
  xp.servicePackMajor = 2;
  xp.spString = "Service Pack 2";
  xp.amd64 = true;
  xp.mediaCenter = true;
  TOS os = MakeOsRecord(xp);
  EXPECT_TRUE(os.isNT);
  EXPECT_FALSE(os.is9x);
  EXPECT_EQ(ovkWinXP, os.kind);
  EXPECT_EQ(ovkWinXP, os.ntKind);
  EXPECT_EQ(ovkNone, os.win9xKind);
  EXPECT_EQ(2, os.servicePack);
  EXPECT_EQ("Windows XP Media Center x64 Service Pack 2", os.text);

  TOsFacts server = xp;
  server.productType = 3;
  server.serverR2 = true;
  server.tabletPC = true;
  server.starter = true;
  server.amd64 = false;
  server.spString.clear();
  EXPECT_EQ("Windows 2003 R2 Tablet PC Starter Media Center",
            MakeOsRecord(server).text);

  TOsFacts vista;
  vista.major = 6;
  vista.mediaCenter = true;
  vista.spString = "Service Pack 1";
  vista.extendedRecord = false;
  TOS v = MakeOsRecord(vista);
  EXPECT_EQ("Windows Vista Service Pack 1", v.text);  // no Media Center
  EXPECT_EQ(1, v.servicePack);                        // from the text

  vista.spString = "Service Pack ";  // too short for a number
  EXPECT_EQ(0, MakeOsRecord(vista).servicePack);
}

TEST(PellorToolsOsTest, Win9xRecordKeepsTheLowBuildHalf) {
  TOsFacts me;
  me.is9x = true;
  me.major = 4;
  me.minor = 90;
  me.build = 0x045A0BB8;  // 9x packs the version into the high half
  me.spString = " ";
  TOS os = MakeOsRecord(me);
  EXPECT_TRUE(os.is9x);
  EXPECT_FALSE(os.isNT);
  EXPECT_EQ(3000u, os.build);
  EXPECT_EQ(ovkWinME, os.win9xKind);
  EXPECT_EQ(ovkNone, os.ntKind);
  EXPECT_EQ("Windows ME", os.text);
}

TEST(PellorToolsOsTest, TheRunningSystemIsNT) {
  TOS os;
  QueryOsVersion(os);
  EXPECT_TRUE(os.isNT);
  EXPECT_FALSE(os.is9x);
  EXPECT_NE(ovkNone, os.kind);
  EXPECT_TRUE(os.text.starts_with(OsVersionKindName(os.kind))) << os.text;
  TOS again;
  QueryOsVersion(again);
  EXPECT_EQ(os.text, again.text);
  for (Integer kind = 0; kind <= 2; ++kind)
    EXPECT_EQ(0, Win9xFreeResources(kind));
}

// ---------------------------------------------------------------------------
// File versions, stubs, ticks
// ---------------------------------------------------------------------------

String ModulePath(HMODULE module) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  return String(path, n);
}

TEST(PellorToolsTest, FileVersions) {
  struct Case {
    UInt64 version;
    String text;
  } cases[] = {
      {0, "0.0.0.0"},
      {0x0001000200030004ULL, "1.2.3.4"},
      {0xFFFFFFFFFFFFFFFFULL, "65535.65535.65535.65535"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, FormatFileVersion(c.version));

  const String kernel32 = ModulePath(GetModuleHandleA("kernel32.dll"));
  const UInt64 version = ReadFileVersionNumber(kernel32);
  EXPECT_NE(0u, version >> 48) << kernel32;  // a major version
  EXPECT_EQ(0u, ReadFileVersionNumber("C:\\no\\such\\file.dll"));
}

struct TStubTarget {
  int base;
};

int __stdcall StubMethod(TStubTarget* self, int a, int b) {
  return self->base + 10 * a + b;
}

TEST(PellorToolsTest, MethodStubInsertsTheObject) {
  TStubTarget one{100}, two{200};
  void* stub1 = MakeMethodStub(&one, reinterpret_cast<void*>(&StubMethod));
  void* stub2 = MakeMethodStub(&two, reinterpret_cast<void*>(&StubMethod));
  ASSERT_NE(nullptr, stub1);
  ASSERT_NE(nullptr, stub2);

  const auto* b = static_cast<const Byte*>(stub1);
  auto dword = [b](int at) {
    Cardinal v;
    std::memcpy(&v, b + at, 4);
    return v;
  };
  EXPECT_EQ(0x58, b[0]);
  EXPECT_EQ(0x68, b[1]);
  EXPECT_EQ(reinterpret_cast<Cardinal>(&one), dword(2));
  EXPECT_EQ(0x50, b[6]);
  EXPECT_EQ(0xFF, b[7]);
  EXPECT_EQ(0x25, b[8]);
  EXPECT_EQ(reinterpret_cast<Cardinal>(b + 13), dword(9));
  EXPECT_EQ(reinterpret_cast<Cardinal>(&StubMethod), dword(13));

  MEMORY_BASIC_INFORMATION mbi;
  ASSERT_TRUE(VirtualQuery(stub1, &mbi, sizeof mbi));
  EXPECT_EQ(static_cast<DWORD>(PAGE_EXECUTE_READWRITE), mbi.Protect);

  using TPlain = int(__stdcall*)(int, int);
  EXPECT_EQ(132, reinterpret_cast<TPlain>(stub1)(3, 2));
  EXPECT_EQ(275, reinterpret_cast<TPlain>(stub2)(7, 5));
}

TEST(PellorToolsTest, TicksSince) {
  struct Case {
    Cardinal tick, now, elapsed;
  } cases[] = {
      {100, 150, 50},
      {5, 5, 0},
      {0xFFFFFFF0u, 0x10, 0x1F},  // across the wrap: one less
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.elapsed, TicksSince(c.tick, c.now)) << c.tick << " " << c.now;
  // Against the clock: a tick five seconds ago is at least five seconds
  // old, and not a minute.
  const Cardinal elapsed = TicksSince(GetTickCount() - 5000);
  EXPECT_GE(elapsed, 5000u);
  EXPECT_LT(elapsed, 65000u);
}

// ---------------------------------------------------------------------------
// Per-thread message windows
// ---------------------------------------------------------------------------

struct TCalls {
  std::vector<std::pair<UINT, WPARAM>> seen;
};
TCalls gCalls;

void RecordingProc(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  gCalls.seen.emplace_back(msg, wParam);
  result = 77;
}

void OtherProc(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
  gCalls.seen.emplace_back(msg, 999);
  result += 1;
}

void ThrowingProc(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
  throw PellorException("handler failed");
}

struct TCounter {
  int hits = 0;
};
void CountingMethod(void* object, HWND, UINT, WPARAM, LPARAM, LRESULT& result) {
  ++static_cast<TCounter*>(object)->hits;
  result = 5;
}

// Removes every handler this suite may have left, so each test starts
// without a window.
class PellorThreadWindowTest : public testing::Test {
 protected:
  void SetUp() override { gCalls.seen.clear(); }
  void TearDown() override {
    RemoveThreadMsgHandler(&RecordingProc, 0);
    RemoveThreadMsgHandler(&OtherProc, 0);
    RemoveThreadMsgHandler(&ThrowingProc, 0);
    RemoveThreadMsgHandlerEx(nullptr, 0, 0, &CountingMethod, &counter_);
  }
  TCounter counter_;
};

TEST_F(PellorThreadWindowTest, MessageZeroTakesTheNextFreeUserNumber) {
  EXPECT_EQ(1024u, AddThreadMsgHandler(&RecordingProc, 0));
  EXPECT_EQ(1025u, AddThreadMsgHandler(&RecordingProc, 0));
  EXPECT_EQ(1027u, AddThreadMsgHandler(&OtherProc, 1027));
  EXPECT_EQ(1026u, AddThreadMsgHandler(&OtherProc, 0));
  EXPECT_EQ(1028u, AddThreadMsgHandler(&OtherProc, 0));
}

TEST_F(PellorThreadWindowTest, IdenticalRegistrationFails) {
  EXPECT_EQ(2000u, AddThreadMsgHandler(&RecordingProc, 2000));
  EXPECT_EQ(0u, AddThreadMsgHandler(&RecordingProc, 2000));
  EXPECT_EQ(2000u, AddThreadMsgHandler(&OtherProc, 2000));
  EXPECT_EQ(2000u, AddThreadMsgHandlerEx(nullptr, 2000, 0, &CountingMethod,
                                         &counter_));
  TCounter other;
  EXPECT_EQ(2000u,
            AddThreadMsgHandlerEx(nullptr, 2000, 0, &CountingMethod, &other));
  RemoveThreadMsgHandlerEx(nullptr, 0, 0, &CountingMethod, &other);
}

TEST_F(PellorThreadWindowTest, HandlersRunInOrderOnTheDefaultAnswer) {
  const UINT msg = AddThreadMsgHandler(&RecordingProc, 0);
  ASSERT_NE(0u, AddThreadMsgHandler(&ThrowingProc, msg));
  ASSERT_NE(0u, AddThreadMsgHandler(&OtherProc, msg));
  ASSERT_NE(0u,
            AddThreadMsgHandlerEx(nullptr, msg, 0, &CountingMethod, &counter_));
  HWND wnd = ThreadMsgWindow();
  ASSERT_NE(nullptr, wnd);
  // The program's own message, sent as the program sends it.
  // Recording sets 77, the throwing handler is contained, Other adds one,
  // the method (called on its object) sets 5.
  EXPECT_EQ(5, SendMessageA(wnd, msg, 42, 0));
  EXPECT_EQ(1, counter_.hits);
  ASSERT_EQ(2u, gCalls.seen.size());
  EXPECT_EQ(std::make_pair(msg, WPARAM(42)), gCalls.seen[0]);
  EXPECT_EQ(std::make_pair(msg, WPARAM(999)), gCalls.seen[1]);

  RemoveThreadMsgHandlerEx(nullptr, 0, 0, &CountingMethod, &counter_);
  EXPECT_EQ(78, SendMessageA(wnd, msg, 1, 0));
}

TEST_F(PellorThreadWindowTest, OnlyListedSystemMessagesReachHandlers) {
  struct Case {
    UINT msg;
    bool dispatched;
  } cases[] = {
      {0x11, true},   {0x1A, true},  {0x7E, true},
      {0x218, true},  {0x7F, false}, {0x100, false},
      {0x217, false}, {0x10, false}, {0x2B, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.dispatched, ThreadMsgDispatched(c.msg)) << std::hex << c.msg;

  ASSERT_EQ(0x100u, AddThreadMsgHandler(&RecordingProc, 0x100));
  ASSERT_EQ(0x1Au, AddThreadMsgHandler(&RecordingProc, 0x1A));
  HWND wnd = ThreadMsgWindow();
  // Sent directly: the hidden message window takes no input; the system
  // sends it broadcasts such as WM_SETTINGCHANGE, and a key message only
  // by mistake.
  SendMessageA(wnd, 0x100, 1, 0);
  SendMessageA(wnd, 0x1A, 2, 0);
  ASSERT_EQ(1u, gCalls.seen.size());
  EXPECT_EQ(0x1Au, gCalls.seen[0].first);
}

TEST_F(PellorThreadWindowTest, WindowIsNamedForItsThreadAndGoesWithItsLast) {
  ASSERT_NE(0u, AddThreadMsgHandler(&RecordingProc, 0));
  ASSERT_NE(0u, AddThreadMsgHandler(&OtherProc, 0));
  HWND wnd = ThreadMsgWindow();
  ASSERT_TRUE(IsWindow(wnd));
  EXPECT_EQ(wnd, ThreadMsgWindow(GetCurrentThreadId()));
  char className[256];
  ASSERT_GT(GetClassNameA(wnd, className, sizeof className), 0);
  const String expectedStart = "PellorToolsMsgHandlerWindow$" +
                               CardinalToHex(GetCurrentThreadId()) + "$";
  EXPECT_TRUE(String(className).starts_with(expectedStart)) << className;
  EXPECT_EQ(WS_EX_TOOLWINDOW,
            GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  RemoveThreadMsgHandler(&RecordingProc, 0);
  EXPECT_TRUE(IsWindow(wnd));
  RemoveThreadMsgHandler(&OtherProc, 0);
  EXPECT_FALSE(IsWindow(wnd));
  // The next registration makes a fresh window.
  ASSERT_NE(0u, AddThreadMsgHandler(&RecordingProc, 0));
  HWND fresh = ThreadMsgWindow();
  EXPECT_TRUE(IsWindow(fresh));
}

TEST_F(PellorThreadWindowTest, ForeignThreadsGetNoWindowButCanRemove) {
  const THandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE ready = readyEvent.get();
  DWORD workerId = 0;
  HWND workerWnd = nullptr;
  bool closed = false;
  std::thread worker([&] {
    workerId = GetCurrentThreadId();
    AddThreadMsgHandler(&RecordingProc, 0);
    workerWnd = ThreadMsgWindow();
    SetEvent(ready);
    // Handles its messages until the window is gone.
    closed = ui_test::WaitUntil([&] { return !IsWindow(workerWnd); },
                                "the worker's window to go");
  });
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000));
  ASSERT_NE(nullptr, workerWnd);

  // Asking for another thread's window never creates one.
  DWORD idle = 0;
  std::thread other([&idle] { idle = GetCurrentThreadId(); });
  other.join();
  EXPECT_EQ(nullptr, ThreadMsgWindow(idle));
  EXPECT_EQ(0u, AddThreadMsgHandler(&RecordingProc, 0, idle));

  // The worker's existing window is found and can take more handlers.
  EXPECT_EQ(workerWnd, ThreadMsgWindow(workerId));
  EXPECT_EQ(1025u, AddThreadMsgHandler(&OtherProc, 0, workerId));

  // Removing the last handler from here closes it through the worker.
  RemoveThreadMsgHandler(&OtherProc, 0, workerId);
  RemoveThreadMsgHandler(&RecordingProc, 0, workerId);
  worker.join();
  EXPECT_TRUE(closed);
}

// ---------------------------------------------------------------------------
// PE images
// ---------------------------------------------------------------------------

HMODULE Kernel32() { return GetModuleHandleA("kernel32.dll"); }

TEST(PellorPeTest, HeadersOfModulesAndOfAnythingElse) {
  EXPECT_NE(nullptr, ImageNtHeaders(GetModuleHandleA(nullptr)));
  EXPECT_NE(nullptr, ImageNtHeaders(Kernel32()));
  static const char notAnImage[128] = "MZ but nothing else";
  EXPECT_EQ(nullptr, ImageNtHeaders(notAnImage));
  EXPECT_EQ(nullptr, ImageNtHeaders(nullptr));
  void* locked =
      VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
  EXPECT_EQ(nullptr, ImageNtHeaders(locked));
  VirtualFree(locked, 0, MEM_RELEASE);

  // Headers that run into a locked page are not headers.
  auto* pages = static_cast<Byte*>(
      VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(nullptr, pages);
  const LONG offset = 4096 - 8;
  std::memcpy(pages, "MZ", 2);
  std::memcpy(pages + 60, &offset, sizeof offset);
  std::memcpy(pages + offset, "PE\0\0", 4);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
  EXPECT_EQ(nullptr, ImageNtHeaders(pages));
  EXPECT_EQ(nullptr, ImageExportByName(pages, "Anything"));
  ASSERT_TRUE(VirtualProtect(pages + 4096, 4096, PAGE_READWRITE, &old));
  EXPECT_NE(nullptr, ImageNtHeaders(pages));
  VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(PellorPeTest, ExportsOfARealModule) {
  HMODULE k = Kernel32();
  for (const char* name : {"GetTickCount", "CreateFileA", "VirtualQuery"}) {
    void* expected = reinterpret_cast<void*>(GetProcAddress(k, name));
    ASSERT_NE(nullptr, expected) << name;
    EXPECT_EQ(expected, ImageExportByName(k, name)) << name;
    EXPECT_EQ(expected, ImageExportByName(k, name, true)) << name;
  }
  EXPECT_EQ(nullptr, ImageExportByName(k, "NoSuchExportAnywhere"));
  EXPECT_EQ(nullptr, ImageExportByName(k, "gettickcount"));  // case matters

  // By ordinal and back to the name, through the module's own tables.
  PIMAGE_EXPORT_DIRECTORY exp = ImageExportDirectory(k);
  ASSERT_NE(nullptr, exp);
  const auto* base = reinterpret_cast<const Byte*>(k);
  const auto* names =
      reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
  const auto* ordinals =
      reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
  bool found = false;
  for (DWORD i = 0; i < exp->NumberOfNames; ++i) {
    if (std::strcmp(reinterpret_cast<const char*>(base + names[i]),
                    "GetTickCount") != 0)
      continue;
    found = true;
    void* byOrdinal = ImageExportByOrdinal(k, ordinals[i] + exp->Base);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(k, "GetTickCount")),
              byOrdinal);
  }
  EXPECT_TRUE(found);
}

TEST(PellorPeTest, ForwardedExportsResolveInTheTargetModule) {
  HMODULE k = Kernel32();
  PIMAGE_EXPORT_DIRECTORY exp = ImageExportDirectory(k);
  ASSERT_NE(nullptr, exp);
  const IMAGE_DATA_DIRECTORY& dir =
      ImageNtHeaders(k)
          ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* base = reinterpret_cast<const Byte*>(k);
  const auto* names =
      reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
  const auto* ordinals =
      reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
  const auto* funcs =
      reinterpret_cast<const DWORD*>(base + exp->AddressOfFunctions);
  int forwarders = 0;
  for (DWORD i = 0; i < exp->NumberOfNames && forwarders < 20; ++i) {
    const DWORD rva = funcs[ordinals[i]];
    if (rva < dir.VirtualAddress || rva >= dir.VirtualAddress + dir.Size)
      continue;
    const char* name = reinterpret_cast<const char*>(base + names[i]);
    void* expected = reinterpret_cast<void*>(GetProcAddress(k, name));
    if (!expected) continue;  // forwarded to a module that is not loaded
    ++forwarders;
    EXPECT_EQ(expected, ImageExportByName(k, name)) << name;
  }
  EXPECT_GT(forwarders, 0);
}

TEST(PellorPeTest, ModuleOfAddress) {
  HMODULE module = nullptr;
  String file;
  ASSERT_TRUE(
      ModuleOfAddress(reinterpret_cast<void*>(&ModulePath), module, file));
  EXPECT_EQ(GetModuleHandleA(nullptr), module);
  EXPECT_EQ(ModulePath(module), file);
  ASSERT_TRUE(ModuleOfAddress(
      reinterpret_cast<void*>(GetProcAddress(Kernel32(), "GetTickCount")),
      module, file));
  EXPECT_EQ(Kernel32(), module);

  std::vector<Byte> heap(64);
  EXPECT_FALSE(ModuleOfAddress(heap.data(), module, file));
  EXPECT_EQ(nullptr, module);
  EXPECT_EQ("", file);
  EXPECT_FALSE(ModuleOfAddress(nullptr, module, file));
}

TEST(PellorPeTest, MapModuleFileAndResources) {
  HMODULE k = Kernel32();
  const TMappedView mapped(MapModuleFile(k));
  void* view = mapped.get();
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(0, std::memcmp(view, "MZ", 2));
  PIMAGE_NT_HEADERS onDisk = ImageNtHeaders(view);
  ASSERT_NE(nullptr, onDisk);
  EXPECT_EQ(ImageSize(ImageNtHeaders(k)), ImageSize(onDisk));

  // The version resource starts with its own length.
  const String version =
      LoadResourceStr(k, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1));
  ASSERT_GE(version.size(), 2u);
  Word length;
  std::memcpy(&length, version.data(), 2);
  EXPECT_LE(length, version.size());
  EXPECT_GT(length, 0);
  EXPECT_EQ("", LoadResourceStr(k, "NOSUCHTYPE", "NOSUCHNAME"));
}

// A small PE32 image built in memory: one section, and an export table with
// a named export, an ordinal-only export, a zero entry and two forwarders.
class PellorSyntheticImageTest : public testing::Test {
 protected:
  static constexpr Cardinal kSize = 0x3000;
  static constexpr Cardinal kExportRva = 0x1000;
  static constexpr Cardinal kAlphaRva = 0x2100;
  static constexpr Cardinal kOrdinalOnlyRva = 0x2200;
  static constexpr Cardinal kMangledRva = 0x2300;

  void SetUp() override {
    image_ = static_cast<Byte*>(
        VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, image_);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image_);
    dos->e_magic = IMAGE_DOS_SIGNATURE;
    dos->e_lfanew = 0x80;
    nt_ = reinterpret_cast<IMAGE_NT_HEADERS32*>(image_ + 0x80);
    nt_->Signature = IMAGE_NT_SIGNATURE;
    nt_->FileHeader.Machine = IMAGE_FILE_MACHINE_I386;
    nt_->FileHeader.NumberOfSections = 3;
    nt_->FileHeader.SizeOfOptionalHeader = sizeof(IMAGE_OPTIONAL_HEADER32);
    nt_->OptionalHeader.Magic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
    nt_->OptionalHeader.SizeOfImage = kSize;
    nt_->OptionalHeader.NumberOfRvaAndSizes = 16;
    auto* sections = IMAGE_FIRST_SECTION(nt_);
    const Cardinal starts[] = {0x1000, 0x2000, 0x2800};
    const Cardinal raw[] = {0x400, 0x1400, 0x1c00};
    for (int i = 0; i < 3; ++i) {
      sections[i].VirtualAddress = starts[i];
      sections[i].PointerToRawData = raw[i];
    }

    // Export directory, then its tables and texts, all inside its range.
    Byte* p = image_ + kExportRva;
    auto* exp = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(p);
    Cardinal next = kExportRva + sizeof(IMAGE_EXPORT_DIRECTORY);
    auto place = [&](const void* data, Cardinal size) {
      std::memcpy(image_ + next, data, size);
      Cardinal at = next;
      next += (size + 3) & ~3u;
      return at;
    };
    auto text = [&](const char* s) {
      return place(s, static_cast<Cardinal>(std::strlen(s) + 1));
    };
    const Cardinal notLoaded = text("nosuchmodule.Foo");
    const Cardinal tick = text("kernel32.GetTickCount");
    // Ordinal base 1: index 4 is ordinal 5.
    const DWORD funcs[] = {kAlphaRva,       0,          notLoaded, tick,
                           kOrdinalOnlyRva, kMangledRva};
    const Cardinal names[] = {text("Alpha"), text("Gone"), text("Tick"),
                              text("@Unit@TFoo@Bar$qqrv")};
    const WORD ordinals[] = {0, 2, 3, 5};
    exp->Base = 1;
    exp->NumberOfFunctions = 6;
    exp->NumberOfNames = 4;
    exp->AddressOfFunctions = place(funcs, sizeof funcs);
    exp->AddressOfNames = place(names, sizeof names);
    exp->AddressOfNameOrdinals = place(ordinals, sizeof ordinals);
    nt_->OptionalHeader.DataDirectory[0].VirtualAddress = kExportRva;
    nt_->OptionalHeader.DataDirectory[0].Size = next - kExportRva;
  }
  void TearDown() override { VirtualFree(image_, 0, MEM_RELEASE); }

  Byte* image_ = nullptr;
  IMAGE_NT_HEADERS32* nt_ = nullptr;
};

TEST_F(PellorSyntheticImageTest, DirectoriesAndFileOffsets) {
  EXPECT_EQ(reinterpret_cast<PIMAGE_NT_HEADERS>(nt_), ImageNtHeaders(image_));
  EXPECT_EQ(image_ + kExportRva, ImageDataDirectory(image_, 0));
  EXPECT_EQ(image_ + kExportRva,
            reinterpret_cast<Byte*>(ImageExportDirectory(image_)));
  EXPECT_EQ(nullptr, ImageDataDirectory(image_, 1));   // absent
  EXPECT_EQ(nullptr, ImageDataDirectory(image_, 16));  // beyond the table
  nt_->OptionalHeader.NumberOfRvaAndSizes = 0;
  EXPECT_EQ(nullptr, ImageDataDirectory(image_, 0));
  nt_->OptionalHeader.NumberOfRvaAndSizes = 16;
  EXPECT_EQ(kSize, ImageSize(ImageNtHeaders(image_)));

  struct Case {
    Cardinal rva, offset;
  } cases[] = {
      {0x0800, 0x0800},  // before every section: unchanged
      {0x1000, 0x0400}, {0x1234, 0x0634}, {0x2000, 0x1400},
      {0x27FF, 0x1BFF}, {0x2800, 0x1C00}, {0x9000, 0x8400},  // last section
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.offset, RvaToFileOffset(ImageNtHeaders(image_), c.rva))
        << std::hex << c.rva;
}

TEST_F(PellorSyntheticImageTest, ExportLookups) {
  EXPECT_EQ(image_ + kAlphaRva, ImageExportByName(image_, "Alpha"));
  // No file behind the image: the table in memory stands.
  EXPECT_EQ(image_ + kAlphaRva, ImageExportByName(image_, "Alpha", true));
  EXPECT_EQ(image_ + kAlphaRva, ImageExportByOrdinal(image_, 1));
  EXPECT_EQ(image_ + kOrdinalOnlyRva, ImageExportByOrdinal(image_, 5));
  // Forwarded to a module that is not loaded: nothing.
  EXPECT_EQ(nullptr, ImageExportByName(image_, "Gone"));
  EXPECT_EQ(nullptr, ImageExportByOrdinal(image_, 3));
  // Forwarded to a loaded module: its export.
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(Kernel32(), "GetTickCount")),
            ImageExportByName(image_, "Tick"));
}

TEST_F(PellorSyntheticImageTest, ExportNames) {
  EXPECT_EQ("Alpha", ImageExportNameOf(image_, image_ + kAlphaRva));
  EXPECT_EQ("#5", ImageExportNameOf(image_, image_ + kOrdinalOnlyRva));
  EXPECT_EQ("", ImageExportNameOf(image_, image_ + 0x2004));
  EXPECT_EQ("@Unit@TFoo@Bar$qqrv",
            ImageExportNameOf(image_, image_ + kMangledRva));
  EXPECT_EQ("Unit.TFoo.Bar",
            ImageExportNameOf(image_, image_ + kMangledRva, true));
}

TEST(PellorUnmangleTest, Names) {
  struct Case {
    String in;
    bool mangled;
    String name, className;
  } cases[] = {
      {"GetTickCount", false, "GetTickCount", ""},
      {"", false, "", ""},
      {"@Unit@TFoo@Bar$qqrv", true, "TFoo.Bar", "Unit"},
      {"@Unit@Proc$qqrv", true, "Proc", "Unit"},
      {"@Proc$qv", true, "Proc", ""},
      {"@TFoo@$bdtr$qqrv", true, "TFoo.Destroy", ""},
      {"@TFoo@$bctr$qqrv", true, "TFoo.Create", ""},
      {"@Ns::TFoo@Bar$qqrv", true, "Bar", "Ns.TFoo"},
      {"@Unit@Data", true, "Data", "Unit"},
  };
  for (const auto& c : cases) {
    String name = c.in;
    String className = "stale";
    EXPECT_EQ(c.mangled, UnmangleName(name, className)) << c.in;
    EXPECT_EQ(c.name, name) << c.in;
    EXPECT_EQ(c.className, className) << c.in;
  }
}

TEST(PellorToolsTest, DefaultExceptionClass) {
  SetDefaultExceptionClass();
  TDefaultExceptionFactory factory = DefaultExceptionFactory();
  ASSERT_NE(nullptr, factory);
  TObjectPtr<PellorException> e = factory();
  EXPECT_EQ(kDefaultExceptionMessage, e->Message());
  EXPECT_EQ(
      "Unknown exception. If you want to know more, you have to add SysUtils "
      "to your project.",
      e->Message());
  SetDefaultExceptionClass();  // a second call keeps the first
  EXPECT_EQ(factory, DefaultExceptionFactory());
}

TEST(PellorToolsTest, ErrorCodeTextUsesTheSystemTables) {
  const String denied = ErrorCodeText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(denied.empty());
  EXPECT_EQ(String::npos, denied.find_first_of("\r\n")) << denied;
  EXPECT_FALSE(denied.ends_with(" $5")) << denied;
  // A status code goes through the status-to-error conversion first.
  EXPECT_EQ(ErrorCodeText(ERROR_NOACCESS), ErrorCodeText(0xC0000005));
  EXPECT_TRUE(ErrorCodeText(0x0ABCDEF1).ends_with(" $abcdef1"));
}

// ---------------------------------------------------------------------------
// Safe reads
// ---------------------------------------------------------------------------

TEST(PellorSafeReadTest, RegionReadability) {
  struct Case {
    DWORD state, protect;
    bool readable;
  } cases[] = {
      {MEM_COMMIT, PAGE_READONLY, true},
      {MEM_COMMIT, PAGE_READWRITE, true},
      {MEM_COMMIT, PAGE_EXECUTE, true},
      {MEM_COMMIT, PAGE_EXECUTE_READ, true},
      {MEM_COMMIT, PAGE_EXECUTE_READWRITE, true},
      {MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD, false},
      {MEM_COMMIT, PAGE_WRITECOPY, false},
      {MEM_COMMIT, PAGE_EXECUTE_WRITECOPY, false},
      {MEM_COMMIT, PAGE_NOACCESS, false},
      {MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE, false},
      {MEM_RESERVE, PAGE_READWRITE, false},
      {MEM_FREE, PAGE_NOACCESS, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.readable, RegionReadable(c.state, c.protect))
        << std::hex << c.state << " " << c.protect;
}

// Three pages: readable, no access, guard.
class PellorSafeReadPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    page_ = si.dwPageSize;
    base_ = static_cast<Byte*>(VirtualAlloc(
        nullptr, 3 * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, base_);
    for (Cardinal i = 0; i < page_; ++i) base_[i] = static_cast<Byte>(i);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old));
    ASSERT_TRUE(VirtualProtect(base_ + 2 * page_, page_,
                               PAGE_READWRITE | PAGE_GUARD, &old));
  }
  void TearDown() override { VirtualFree(base_, 0, MEM_RELEASE); }

  bool StillGuarded() const {
    MEMORY_BASIC_INFORMATION mbi;
    return VirtualQuery(base_ + 2 * page_, &mbi, sizeof mbi) &&
           (mbi.Protect & PAGE_GUARD) != 0;
  }

  Cardinal page_ = 0;
  Byte* base_ = nullptr;
};

TEST_F(PellorSafeReadPagesTest, UnreadablePagesGiveFalseWithoutFaulting) {
  TDATryRead snapshot = SafeReadSnapshot();
  for (const TDATryRead* snap : {static_cast<const TDATryRead*>(nullptr),
                                 static_cast<const TDATryRead*>(&snapshot)}) {
    SCOPED_TRACE(snap ? "with snapshot" : "without snapshot");
    Byte buffer[16] = {};
    EXPECT_TRUE(SafeRead(base_ + 16, buffer, 16, snap));
    EXPECT_EQ(16, buffer[0]);
    EXPECT_EQ(31, buffer[15]);
    EXPECT_FALSE(SafeRead(base_ + page_, buffer, 4, snap));
    EXPECT_FALSE(SafeRead(base_ + page_ + 100, buffer, 4, snap));
    EXPECT_FALSE(SafeRead(base_ + 2 * page_, buffer, 4, snap));
    EXPECT_FALSE(SafeRead(nullptr, buffer, 4, snap));
    EXPECT_FALSE(SafeRead(reinterpret_cast<void*>(0x10), buffer, 4, snap));
    // Exactly up to the end of the readable page is a full read; one byte
    // more reaches into the locked page.
    EXPECT_TRUE(SafeRead(base_ + page_ - 16, buffer, 16, snap));
    EXPECT_EQ(static_cast<Byte>(page_ - 1), buffer[15]);
    EXPECT_FALSE(SafeRead(base_ + page_ - 16, buffer, 17, snap));
    EXPECT_TRUE(StillGuarded());
  }
}

TEST_F(PellorSafeReadPagesTest, SnapshotMarksGuardAndLockedPagesUnreadable) {
  TDATryRead snapshot = SafeReadSnapshot();
  ASSERT_FALSE(snapshot.empty());
  EXPECT_TRUE(SafeReadAllowed(snapshot, base_, 1));
  EXPECT_TRUE(SafeReadAllowed(snapshot, base_ + page_ - 1, 1));
  EXPECT_FALSE(SafeReadAllowed(snapshot, base_ + page_, 1));
  EXPECT_FALSE(SafeReadAllowed(snapshot, base_ + 2 * page_ + 8, 1));
  EXPECT_FALSE(SafeReadAllowed(snapshot, nullptr, 1));
  int local = 0;
  EXPECT_TRUE(SafeReadAllowed(snapshot, &local, sizeof local));
  EXPECT_TRUE(StillGuarded());

  // Sorted, gap-free from 0, and neighbours always differ.
  EXPECT_EQ(nullptr, snapshot.front().start);
  for (std::size_t i = 1; i < snapshot.size(); ++i) {
    EXPECT_EQ(snapshot[i - 1].end, snapshot[i].start);
    EXPECT_NE(snapshot[i - 1].readable, snapshot[i].readable);
  }
  SafeReadSnapshotFree(snapshot);
  EXPECT_TRUE(snapshot.empty());
  EXPECT_FALSE(SafeReadAllowed(snapshot, base_, 1));
}

TEST_F(PellorSafeReadPagesTest, AStaleSnapshotDoesNotLetAReadFault) {
  // The snapshot is the caller's word for the region; the copy itself must
  // still not fault when the page was locked since. Whether the system's
  // copy routine then answers with the bytes is its own affair.
  TDATryRead snapshot = SafeReadSnapshot();
  DWORD old;
  ASSERT_TRUE(VirtualProtect(base_, page_, PAGE_NOACCESS, &old));
  Byte buffer[4] = {9, 9, 9, 9};
  if (SafeRead(base_ + 4, buffer, 4, &snapshot)) {
    const Byte expected[4] = {4, 5, 6, 7};
    EXPECT_EQ(0, std::memcmp(expected, buffer, 4));
  }
}

// ---------------------------------------------------------------------------
// Windows 9x id scrambling
// ---------------------------------------------------------------------------

std::map<Cardinal, Cardinal> gFakeMemory;

bool FakeRead(Cardinal address, Cardinal& value) {
  auto it = gFakeMemory.find(address);
  if (it == gFakeMemory.end()) return false;
  value = it->second;
  return true;
}

TEST(PellorIdScramblingTest, DecisionFromTheTwoLayouts) {
  const Cardinal tid = 0x00001234, pid = 0x00005678;
  const Cardinal tib = 0x00540000;

  // 95 layout: the thread record 16 bytes before the information block
  // holds the scrambled process id at +8.
  const Cardinal key95 = (tib - 16) ^ tid;
  gFakeMemory = {{tib - 16 + 8, pid ^ key95}};
  TIdObfuscation r = FindIdObfuscator(tib, 0, tid, pid, &FakeRead);
  EXPECT_EQ(key95, r.value);
  EXPECT_TRUE(r.win95Layout);

  // 98 layout: the key comes from FS:[0x30]; the check is at +56.
  const Cardinal fs30 = 0x8176A000;
  const Cardinal key98 = fs30 ^ pid;
  gFakeMemory = {{(tid ^ key98) + 56, pid ^ key98}};
  r = FindIdObfuscator(tib, fs30, tid, pid, &FakeRead);
  EXPECT_EQ(key98, r.value);
  EXPECT_FALSE(r.win95Layout);

  // Values that do not match, or memory that cannot be read: NT.
  gFakeMemory = {{tib - 16 + 8, 1}, {(tid ^ key98) + 56, 2}};
  r = FindIdObfuscator(tib, fs30, tid, pid, &FakeRead);
  EXPECT_EQ(0u, r.value);
  EXPECT_FALSE(r.win95Layout);
  gFakeMemory.clear();
  EXPECT_EQ(0u, FindIdObfuscator(tib, fs30, tid, pid, &FakeRead).value);
}

TEST(PellorIdScramblingTest, NtHasNoScrambling) {
  EXPECT_EQ(0u, Win9xIdObfuscator());
  EXPECT_FALSE(IsWin95IdLayout());
}

}  // namespace
