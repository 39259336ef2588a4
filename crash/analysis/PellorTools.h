// System services of the crash-report library: the OS version record,
// executable method stubs, hidden per-thread message windows with their
// handler registry, lookups inside loaded PE images, the compiler's name
// demangler, reads of the process's own memory that never fault, and the
// Windows 9x id scrambling value. Nothing here raises: failures answer nil,
// 0, false or an empty string.
#pragma once

#include <windows.h>

#include <vector>

#include "PellorStrings.h"

// ---------------------------------------------------------------------------
// Operating-system version
// ---------------------------------------------------------------------------

enum OsVersionKind : Integer {
  ovkNone,
  ovkWin95,
  ovkWin95Osr2,
  ovkWin98,
  ovkWin98SE,
  ovkWinME,
  ovkWin9xNew,
  ovkNT3,
  ovkNT4,
  ovkWin2000,
  ovkWinXP,
  ovkWin2003,
  ovkWinVista,
  ovkNTNew,
};

// "Windows 95", ..., "Windows NT New"; "None" for anything unknown.
const char* OsVersionKindName(OsVersionKind kind);

struct TOS {
  Cardinal major = 0;
  Cardinal minor = 0;
  Cardinal build = 0;
  String spString;
  bool is9x = false;
  OsVersionKind win9xKind = ovkNone;
  bool isNT = false;
  OsVersionKind ntKind = ovkNone;
  OsVersionKind kind = ovkNone;
  bool is64 = false;
  Integer servicePack = 0;
  String text;
};

// What the system reports, gathered once by QueryOsVersion; separate so that
// the decisions can be checked for systems the tests do not run on.
struct TOsFacts {
  bool is9x = false;
  Cardinal major = 0, minor = 0, build = 0;
  String spString;
  bool extendedRecord = false;  // the extended version query worked
  Word servicePackMajor = 0;    // from the extended record
  Byte productType = 0;         // from the extended record; 1 = workstation
  bool amd64 = false;
  bool serverR2 = false, tabletPC = false, starter = false, mediaCenter = false;
};

OsVersionKind Win9xVersionKind(Cardinal major, Cardinal minor, Cardinal build);
OsVersionKind NtVersionKind(Cardinal major, Cardinal minor, Byte productType);
TOS MakeOsRecord(const TOsFacts& facts);

// The record of the running system, filled on first use.
void QueryOsVersion(TOS& os);

// Free system (0), GDI (1) or USER (2) resources in percent on the 9x line;
// 0 on NT or when anything is missing.
Integer Win9xFreeResources(Integer kind);

// ---------------------------------------------------------------------------
// File versions, stubs, ticks
// ---------------------------------------------------------------------------

// Most significant version dword in the high half; 0 without a version.
UInt64 ReadFileVersionNumber(const String& fileName);
// "1.2.3.4" from the four 16-bit quarters, high to low.
String FormatFileVersion(UInt64 version);

// 17 bytes of executable memory that, called as a stdcall procedure, call
// methodCode (stdcall) with object inserted as its first argument. Never
// freed. Null when no executable memory can be had.
void* MakeMethodStub(void* object, const void* methodCode);

// Milliseconds since a tick-counter value, across the counter's wrap.
Cardinal TicksSince(Cardinal tick);
Cardinal TicksSince(Cardinal tick, Cardinal now);

// ---------------------------------------------------------------------------
// Per-thread message windows
// ---------------------------------------------------------------------------

// A handler: a plain procedure, or a method (code + object), which gets the
// object first. result starts as the default window procedure's answer.
using TThreadMsgProc = void (*)(HWND wnd, UINT msg, WPARAM wParam,
                                LPARAM lParam, LRESULT& result);
using TThreadMsgMethod = void (*)(void* object, HWND wnd, UINT msg,
                                  WPARAM wParam, LPARAM lParam,
                                  LRESULT& result);

// The hidden message window of a thread (0 = current). Created only for the
// calling thread; 0 for another thread that has none.
HWND ThreadMsgWindow(DWORD threadId = 0);
// Registers a handler; message 0 takes the first free number from WM_USER.
// Returns the message number, 0 on failure or for an identical entry.
UINT AddThreadMsgHandler(TThreadMsgProc proc, UINT message, DWORD threadId = 0);
UINT AddThreadMsgHandlerEx(TThreadMsgProc proc, UINT message, DWORD threadId,
                           TThreadMsgMethod methodCode, void* methodObject);
// Unregisters (message 0 = every number). The window goes with its last
// handler.
void RemoveThreadMsgHandler(TThreadMsgProc proc, UINT message,
                            DWORD threadId = 0);
void RemoveThreadMsgHandlerEx(TThreadMsgProc proc, UINT message, DWORD threadId,
                              TThreadMsgMethod methodCode, void* methodObject);
// Whether the window procedure hands msg to the handlers.
bool ThreadMsgDispatched(UINT msg);

// ---------------------------------------------------------------------------
// PE images
// ---------------------------------------------------------------------------

// True when address lies in committed memory of a loaded module.
bool ModuleOfAddress(const void* address, HMODULE& module, String& fileName);
PIMAGE_NT_HEADERS ImageNtHeaders(const void* base);
// The directory's data inside the image; nil when invalid or absent.
void* ImageDataDirectory(const void* base, Cardinal index);
PIMAGE_EXPORT_DIRECTORY ImageExportDirectory(const void* base);
Cardinal ImageSize(const IMAGE_NT_HEADERS* headers);
Cardinal RvaToFileOffset(const IMAGE_NT_HEADERS* headers, Cardinal rva);
// A read-only view of the module's file; the caller unmaps it.
void* MapModuleFile(HMODULE module);
// base + rva, or the forwarded export when rva points at a forwarder text.
void* ResolveExportRva(const void* base, Cardinal rva);
void* ImageExportByName(const void* base, const String& name,
                        bool trustDisk = false);
void* ImageExportByOrdinal(const void* base, Cardinal ordinal);
// The export name of an address ("#5" when exported by ordinal only).
String ImageExportNameOf(const void* base, const void* address,
                         bool unmangle = false);
// The highest exported address of the image at or below address (exports
// forwarded elsewhere do not count); nil when there is none.
const void* ImageNearestExport(const void* base, const void* address);
// The raw bytes of a resource; empty when missing.
String LoadResourceStr(HMODULE module, LPCSTR type, LPCSTR name);

// Rewrites a mangled compiler name ("@Unit@TClass@Method$qqrv") into a
// readable one; true when it did.
bool UnmangleName(String& name, String& className);

// Makes PellorException the class in which unknown system exceptions are
// wrapped, unless a default is already set.
using TDefaultExceptionFactory = TObjectPtr<PellorException> (*)();
void SetDefaultExceptionClass();
TDefaultExceptionFactory DefaultExceptionFactory();
extern const char* const kDefaultExceptionMessage;

// ---------------------------------------------------------------------------
// Safe reads
// ---------------------------------------------------------------------------

struct TDATryRegion {
  const void* start = nullptr;
  const void* end = nullptr;  // exclusive
  bool readable = false;
};
// The user address space as readable and unreadable runs, by address.
using TDATryRead = std::vector<TDATryRegion>;

// Whether a region of the given state and protection may be read: guard,
// copy-on-write and no-access pages may not.
bool RegionReadable(DWORD state, DWORD protect);
TDATryRead SafeReadSnapshot();
void SafeReadSnapshotFree(TDATryRead& snapshot);
bool SafeReadAllowed(const TDATryRead& snapshot, const void* address,
                     Cardinal length);
// True when count bytes were copied. Never faults.
bool SafeRead(const void* source, void* destination, Cardinal count,
              const TDATryRead* snapshot = nullptr);

// ---------------------------------------------------------------------------
// Windows 9x id scrambling
// ---------------------------------------------------------------------------

// Reads a dword of memory; false when it cannot be read.
using TDwordReader = bool (*)(Cardinal address, Cardinal& value);
struct TIdObfuscation {
  Cardinal value = 0;
  bool win95Layout = false;
};
// The decision from the two candidate values (the thread information
// block's linear address and the dword at FS:[0x30]) and the ids.
TIdObfuscation FindIdObfuscator(Cardinal tibAddress, Cardinal fs30,
                                Cardinal threadId, Cardinal processId,
                                TDwordReader read);
// The value Windows 9x XORs thread and process ids with; 0 on NT.
Cardinal Win9xIdObfuscator();
bool IsWin95IdLayout();
