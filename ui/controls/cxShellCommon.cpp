// The shell controls' common ground; see the header.
#include "cxShellCommon.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "Forms.h"
#include "Messages.h"
#include "ScopeGuard.h"
#include "cxClasses.h"
#include "cxRegExpr.h"  // EcxEditError

namespace {

// Entry points looked up at start-up (older systems lack some of them).
using TSHGetFolderLocation = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD,
                                              LPITEMIDLIST*);
using TSHChangeNotifyRegister = ULONG(WINAPI*)(HWND, int, LONG, UINT, int,
                                               const SHChangeNotifyEntry*);
using TSHChangeNotifyDeregister = BOOL(WINAPI*)(ULONG);
using TSHGetPathFromIDListA = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
using TSHGetPathFromIDListW = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);

struct TShellEntries {
  TModuleHandle Shell32;
  TSHGetFolderLocation GetFolderLocation = nullptr;
  TSHChangeNotifyRegister ChangeNotifyRegister = nullptr;
  TSHChangeNotifyDeregister ChangeNotifyDeregister = nullptr;
  TSHGetPathFromIDListA GetPathFromIDListA = nullptr;
  TSHGetPathFromIDListW GetPathFromIDListW = nullptr;
};

TShellEntries& Entries() {
  static TShellEntries entries;
  return entries;
}

std::mutex& MallocLock() {
  static std::mutex lock;
  return lock;
}
IMalloc*& CachedMalloc() {
  static IMalloc* malloc = nullptr;
  return malloc;
}

std::atomic<Integer> genericFileIcon{-1};
std::atomic<Integer> genericFolderIcon{-1};
std::atomic<Integer> genericOpenFolderIcon{-1};

// The live gatherers, so that shut-down can end threads whose controls were
// never freed.
std::mutex& GatherersLock() {
  static std::mutex lock;
  return lock;
}
std::vector<TcxShellItemsInfoGatherer*>& Gatherers() {
  static std::vector<TcxShellItemsInfoGatherer*> list;
  return list;
}

bool oleInitialized = false;

template <class T>
T BindEntry(HMODULE Module, const char* Name) {
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(::GetProcAddress(Module, Name)));
}

void ShellCommonStartup() {
  // Nothing here may raise: a missing entry point only disables what needs it.
  oleInitialized = SUCCEEDED(::OleInitialize(nullptr));
  TShellEntries& e = Entries();
  e.Shell32.reset(::LoadLibraryA("shell32.dll"));
  if (!e.Shell32) return;
  HMODULE m = e.Shell32.get();
  e.GetFolderLocation =
      BindEntry<TSHGetFolderLocation>(m, "SHGetFolderLocation");
  e.ChangeNotifyRegister =
      BindEntry<TSHChangeNotifyRegister>(m, MAKEINTRESOURCEA(2));
  e.ChangeNotifyDeregister =
      BindEntry<TSHChangeNotifyDeregister>(m, MAKEINTRESOURCEA(4));
  e.GetPathFromIDListA =
      BindEntry<TSHGetPathFromIDListA>(m, "SHGetPathFromIDListA");
  e.GetPathFromIDListW =
      BindEntry<TSHGetPathFromIDListW>(m, "SHGetPathFromIDListW");
}

void ShellCommonShutdown() {
  std::vector<TcxShellItemsInfoGatherer*> live;
  {
    std::lock_guard<std::mutex> guard(GatherersLock());
    live = Gatherers();
  }
  for (TcxShellItemsInfoGatherer* g : live) g->DestroyFetchThread();
  {
    std::lock_guard<std::mutex> guard(MallocLock());
    if (CachedMalloc()) CachedMalloc()->Release();
    CachedMalloc() = nullptr;
  }
  TShellEntries& e = Entries();
  e.GetFolderLocation = nullptr;
  e.ChangeNotifyRegister = nullptr;
  e.ChangeNotifyDeregister = nullptr;
  e.GetPathFromIDListA = nullptr;
  e.GetPathFromIDListW = nullptr;
  e.Shell32.reset();
  if (oleInitialized) ::OleUninitialize();
  oleInitialized = false;
}

USHORT IdSize(PItemIDList P) { return P->mkid.cb; }
PItemIDList Advance(PItemIDList P) {
  return reinterpret_cast<PItemIDList>(reinterpret_cast<BYTE*>(P) + IdSize(P));
}

// A new PIDL of Size id bytes, the terminator and two further zero bytes.
PItemIDList AllocPidl(Integer Size) {
  auto* p = static_cast<BYTE*>(cxMalloc()->Alloc(Size + 4));
  if (!p) throw EOutOfMemory("Out of memory");
  std::memset(p, 0, Size + 4);
  return reinterpret_cast<PItemIDList>(p);
}

const wchar_t kDummyFile[] = L"C:\\CXDUMMYFILE.TXT";
const wchar_t kDummyFolder[] = L"C:\\CXDUMMYFOLDER";

Integer GenericIcon(std::atomic<Integer>& Cache, const wchar_t* Name,
                    DWORD Attributes, UINT Extra) {
  Integer value = Cache.load();
  if (value != -1) return value;
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(Name, Attributes, &info, sizeof(info),
                       SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | Extra)) {
    value = info.iIcon;
  }
  Cache.store(value);
  return value;
}

WideString FromW(const wchar_t* S) {
  return S ? WideString(reinterpret_cast<const char16_t*>(S)) : WideString();
}

}  // namespace

VARNEL_UNIT(cxShellCommon, ({"SysUtils", "Classes"}), &ShellCommonStartup,
            &ShellCommonShutdown);

// ---------------------------------------------------------------------------
// Item identifier lists
// ---------------------------------------------------------------------------

IMalloc* cxMalloc() {
  std::lock_guard<std::mutex> guard(MallocLock());
  if (!CachedMalloc()) {
    IMalloc* malloc = nullptr;
    OleCheck(::SHGetMalloc(&malloc));
    CachedMalloc() = malloc;
  }
  return CachedMalloc();
}

Integer GetPidlSize(PItemIDList APidl) {
  Integer size = 0;
  for (PItemIDList p = APidl; p && IdSize(p) != 0; p = Advance(p)) {
    size += IdSize(p);
  }
  return size;
}

PItemIDList GetNextItemID(PItemIDList APidl) {
  if (!APidl || IdSize(APidl) == 0) return nullptr;
  return Advance(APidl);
}

Integer GetPidlItemsCount(PItemIDList APidl) {
  Integer count = 0;
  for (PItemIDList p = APidl; p && IdSize(p) != 0; p = Advance(p)) {
    if (++count > 260) return -1;
  }
  return count;
}

PItemIDList GetLastPidlItem(PItemIDList APidl) {
  if (!APidl) return nullptr;
  PItemIDList last = APidl;
  for (PItemIDList p = APidl; IdSize(p) != 0; p = Advance(p)) last = p;
  return last;
}

PItemIDList GetPidlCopy(PItemIDList APidl) {
  if (!APidl) return nullptr;
  const Integer size = GetPidlSize(APidl);
  PItemIDList copy = AllocPidl(size);
  std::memcpy(copy, APidl, size);
  return copy;
}

PItemIDList GetPidlParent(PItemIDList APidl) {
  if (!APidl) return nullptr;
  PItemIDList last = GetLastPidlItem(APidl);
  const Integer size =
      IdSize(APidl) == 0 ? 0
                         : static_cast<Integer>(reinterpret_cast<BYTE*>(last) -
                                                reinterpret_cast<BYTE*>(APidl));
  PItemIDList parent = AllocPidl(size);
  std::memcpy(parent, APidl, size);
  return parent;
}

PItemIDList ConcatenatePidls(PItemIDList APidl1, PItemIDList APidl2) {
  if (!APidl1 && !APidl2) return nullptr;
  if (!APidl1) return GetPidlCopy(APidl2);
  if (!APidl2) return GetPidlCopy(APidl1);
  const Integer size1 = GetPidlSize(APidl1);
  const Integer size2 = GetPidlSize(APidl2);
  PItemIDList result = AllocPidl(size1 + size2);
  std::memcpy(result, APidl1, size1);
  std::memcpy(reinterpret_cast<BYTE*>(result) + size1, APidl2, size2);
  return result;
}

PItemIDList ExtractParticularPidl(PItemIDList APidl) {
  if (!APidl || IdSize(APidl) == 0) return nullptr;
  PItemIDList result = AllocPidl(IdSize(APidl));
  std::memcpy(result, APidl, IdSize(APidl));
  return result;
}

PItemIDList CreateEmptyPidl() { return AllocPidl(0); }

bool EqualPIDLs(PItemIDList APidl1, PItemIDList APidl2) {
  if (APidl1 == APidl2) return true;
  if (!APidl1 || !APidl2) return false;
  const Integer size = GetPidlSize(APidl1);
  return size == GetPidlSize(APidl2) && std::memcmp(APidl1, APidl2, size) == 0;
}

bool IsSubPath(PItemIDList AParent, PItemIDList AChild) {
  const Integer parentSize = GetPidlSize(AParent);
  if (parentSize == 0) return true;
  return GetPidlSize(AChild) >= parentSize &&
         std::memcmp(AParent, AChild, parentSize) == 0;
}

bool IsPidlUnder(PItemIDList AParent, PItemIDList AChild,
                 IShellFolder* ADesktop) {
  const Integer count = GetPidlItemsCount(AParent);
  if (count < 0 || !AChild || GetPidlItemsCount(AChild) < count) return false;
  PItemIDList child = AChild;
  bool sameBytes = true;
  for (PItemIDList p = AParent; p && IdSize(p) != 0; p = Advance(p)) {
    if (IdSize(child) != IdSize(p) || std::memcmp(p, child, IdSize(p)) != 0) {
      sameBytes = false;
      break;
    }
    child = Advance(child);
  }
  if (sameBytes) return true;
  if (!ADesktop) return false;
  // The child's first `count` ids, as a PIDL of their own.
  PItemIDList end = AChild;
  for (Integer i = 0; i < count; ++i) end = Advance(end);
  const auto size = static_cast<Integer>(reinterpret_cast<BYTE*>(end) -
                                         reinterpret_cast<BYTE*>(AChild));
  TcxPidlPtr prefix(AllocPidl(size));
  std::memcpy(prefix.get(), AChild, size);
  return HRESULT_CODE(ADesktop->CompareIDs(0, AParent, prefix.get())) == 0;
}

void DisposePidl(PItemIDList APidl) {
  if (APidl) cxMalloc()->Free(APidl);
}

String GetPidlName(PItemIDList APidl) {
  if (!APidl) return String();
  const TShellEntries& e = Entries();
  if (e.GetPathFromIDListW) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!e.GetPathFromIDListW(APidl, buffer)) return String();
    return WideToAnsi(FromW(buffer));
  }
  char buffer[MAX_PATH + 1] = {};
  if (!e.GetPathFromIDListA || !e.GetPathFromIDListA(APidl, buffer)) {
    return String();
  }
  return buffer;
}

// ---------------------------------------------------------------------------
// Shell routines
// ---------------------------------------------------------------------------

void OleCheck(HRESULT AResult) {
  if (SUCCEEDED(AResult)) return;
  char* text = nullptr;
  ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(AResult), 0,
                   reinterpret_cast<char*>(&text), 0, nullptr);
  String message = text ? text : "";
  if (text) ::LocalFree(text);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' ||
          message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "OLE error %08lX",
                  static_cast<unsigned long>(AResult));
    message = buf;
  }
  throw EOleSysError(message);
}

TcxShellFolderPtr GetDesktopIShellFolder() {
  TcxShellFolderPtr desktop;
  OleCheck(::SHGetDesktopFolder(desktop.out()));
  return desktop;
}

WideString GetTextFromStrRet(STRRET& AStrRet, PItemIDList APidl) {
  switch (AStrRet.uType) {
    case STRRET_WSTR: {
      WideString text = FromW(AStrRet.pOleStr);
      cxMalloc()->Free(AStrRet.pOleStr);
      AStrRet.pOleStr = nullptr;
      return text;
    }
    case STRRET_OFFSET: {
      if (!APidl || AStrRet.uOffset >= IdSize(APidl)) return WideString();
      const char* start =
          reinterpret_cast<const char*>(APidl) + AStrRet.uOffset;
      const std::size_t max = IdSize(APidl) - AStrRet.uOffset;
      return AnsiToWide(String(start, strnlen(start, max)));
    }
    case STRRET_CSTR:
      return AnsiToWide(String(AStrRet.cStr, strnlen(AStrRet.cStr, MAX_PATH)));
    default:
      return WideString();
  }
}

WideString GetShellItemDisplayName(IShellFolder* AFolder, PItemIDList APidl,
                                   DWORD AFlags) {
  if (!AFolder) return WideString();
  STRRET str{};
  if (FAILED(AFolder->GetDisplayNameOf(APidl, AFlags, &str))) {
    return WideString();
  }
  return GetTextFromStrRet(str, APidl);
}

HRESULT GetShellDetails(IShellFolder* AFolder, PItemIDList APidl,
                        TcxComPtr<IShellDetails>& ADetails) {
  ADetails.reset();
  if (!AFolder) return E_NOINTERFACE;
  HRESULT hr = AFolder->QueryInterface(IID_IShellDetails, ADetails.outVoid());
  if (SUCCEEDED(hr) && ADetails) return hr;
  hr = AFolder->GetUIObjectOf(nullptr, 0, nullptr, IID_IShellDetails, nullptr,
                              ADetails.outVoid());
  if (SUCCEEDED(hr) && ADetails) return hr;
  hr =
      AFolder->CreateViewObject(nullptr, IID_IShellDetails, ADetails.outVoid());
  if (SUCCEEDED(hr) && ADetails) return hr;
  LPCITEMIDLIST items[1] = {APidl};
  hr = AFolder->GetUIObjectOf(nullptr, APidl ? 1 : 0, APidl ? items : nullptr,
                              IID_IShellDetails, nullptr, ADetails.outVoid());
  if (SUCCEEDED(hr) && !ADetails) hr = E_NOINTERFACE;
  return hr;
}

bool HasSubItems(IShellFolder* AFolder, PItemIDList APidl, DWORD AEnumFlags) {
  if (!AFolder || !APidl) return false;
  PItemIDList last = GetLastPidlItem(APidl);
  LPCITEMIDLIST items[1] = {last};
  ULONG attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
  if (FAILED(AFolder->GetAttributesOf(1, items, &attributes)) ||
      !(attributes & SFGAO_FOLDER)) {
    return false;
  }
  if (!(AEnumFlags & SHCONTF_NONFOLDERS)) {
    return (attributes & SFGAO_HASSUBFOLDER) != 0;
  }
  String path = GetPidlName(APidl);
  if (!path.empty()) {
    TcxShellFolderPtr desktop = GetDesktopIShellFolder();
    WideString wide = AnsiToWide(path);
    PItemIDList parsed = nullptr;
    ULONG eaten = 0;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr,
                                            const_cast<LPWSTR>(AsWChar(wide)),
                                            &eaten, &parsed, nullptr))) {
      DisposePidl(parsed);
      if (path.back() == '\\') path.pop_back();
      WIN32_FIND_DATAA data{};
      TFindHandle search(::FindFirstFileA((path + "\\*.*").c_str(), &data));
      if (!search) return false;
      do {
        const String name = data.cFileName;
        if (name == "." || name == "..") continue;
        const DWORD a = data.dwFileAttributes;
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(AEnumFlags & SHCONTF_FOLDERS))
          continue;
        if ((a & FILE_ATTRIBUTE_HIDDEN) &&
            !(AEnumFlags & SHCONTF_INCLUDEHIDDEN))
          continue;
        return true;
      } while (::FindNextFileA(search.get(), &data));
      return false;
    }
  }
  TcxShellFolderPtr folder;
  if (FAILED(AFolder->BindToObject(last, nullptr, IID_IShellFolder,
                                   folder.outVoid())) ||
      !folder) {
    return false;
  }
  TcxComPtr<IEnumIDList> enumerator;
  if (FAILED(folder->EnumObjects(nullptr, AEnumFlags, enumerator.out())) ||
      !enumerator) {
    return false;
  }
  PItemIDList item = nullptr;
  ULONG fetched = 0;
  const HRESULT hr = enumerator->Next(1, &item, &fetched);
  DisposePidl(item);
  return hr == S_OK && fetched == 1;
}

double cxFileTimeToDateTime(FILETIME AFileTime) {
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  if (!::FileTimeToLocalFileTime(&AFileTime, &local) ||
      !::FileTimeToDosDateTime(&local, &date, &time)) {
    return -1;
  }
  return FileDateToDateTime(static_cast<Integer>(MAKELONG(time, date)));
}

void TcxContextMenuMessageWindow::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      menu_->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
      Message.Result = 1;
      return;
    case WM_INITMENUPOPUP:
      menu_->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
      Message.Result = 0;
      return;
    default:
      TcxMessageWindow::WndProc(Message);
  }
}

void DisplayContextMenu(HWND AWnd, IShellFolder* AFolder,
                        const std::vector<PItemIDList>& APidls,
                        const TPoint& AScreenPos) {
  if (!AFolder || APidls.empty()) return;
  std::vector<LPCITEMIDLIST> items(APidls.begin(), APidls.end());
  TcxComPtr<IContextMenu> menu;
  if (FAILED(AFolder->GetUIObjectOf(AWnd, static_cast<UINT>(items.size()),
                                    items.data(), IID_IContextMenu, nullptr,
                                    menu.outVoid())) ||
      !menu) {
    return;
  }
  TMenuHandle popup(::CreatePopupMenu());
  if (!popup ||
      FAILED(menu->QueryContextMenu(popup.get(), 0, 1, 0x7FFF, CMF_NORMAL))) {
    return;
  }
  TObjectPtr<TcxContextMenuMessageWindow> window;
  if (auto menu2 = menu.Query<IContextMenu2>(IID_IContextMenu2)) {
    window.reset(new TcxContextMenuMessageWindow(menu2.get()));
  }
  const UINT command = static_cast<UINT>(::TrackPopupMenu(
      popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, AScreenPos.X, AScreenPos.Y,
      0, window ? window->Handle() : AWnd, nullptr));
  if (command == 0) return;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = AWnd;
  info.lpVerb = MAKEINTRESOURCEA(command - 1);
  info.nShow = SW_SHOWNORMAL;
  menu->InvokeCommand(&info);
}

WideString UpperCaseW(const WideString& S) {
  WideString result = S;
  if (!result.empty()) {
    ::CharUpperBuffW(reinterpret_cast<wchar_t*>(result.data()),
                     static_cast<DWORD>(result.size()));
  }
  return result;
}

WideString LowerCaseW(const WideString& S) {
  WideString result = S;
  if (!result.empty()) {
    ::CharLowerBuffW(reinterpret_cast<wchar_t*>(result.data()),
                     static_cast<DWORD>(result.size()));
  }
  return result;
}

Integer StrLenW(const wchar_t* S) {
  return S ? static_cast<Integer>(std::wcslen(S)) : 0;
}

WideString StrPasW(const wchar_t* S) { return FromW(S); }

wchar_t* StrPLCopyW(wchar_t* Dest, const WideString& Source, Integer MaxLen) {
  return ::lstrcpynW(Dest, AsWChar(Source), MaxLen + 1);
}

String WideToAnsi(const WideString& S) {
  if (S.empty()) return String();
  const auto* w = AsWChar(S);
  const int size = static_cast<int>(S.size());
  const int n =
      ::WideCharToMultiByte(CP_ACP, 0, w, size, nullptr, 0, nullptr, nullptr);
  String result(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w, size, result.data(), n, nullptr, nullptr);
  return result;
}

WideString AnsiToWide(const String& S) {
  if (S.empty()) return WideString();
  const int size = static_cast<int>(S.size());
  const int n = ::MultiByteToWideChar(CP_ACP, 0, S.data(), size, nullptr, 0);
  WideString result(static_cast<std::size_t>(n), u'\0');
  ::MultiByteToWideChar(CP_ACP, 0, S.data(), size,
                        reinterpret_cast<wchar_t*>(result.data()), n);
  return result;
}

void CheckShellRoot(TcxCustomShellRoot* ARoot) {
  if (ARoot && !ARoot->ShellFolder()) ARoot->CheckRoot();
}

Integer cxShellGenericFileIcon() {
  return GenericIcon(genericFileIcon, kDummyFile, FILE_ATTRIBUTE_NORMAL, 0);
}
Integer cxShellGenericFolderIcon() {
  return GenericIcon(genericFolderIcon, kDummyFolder, FILE_ATTRIBUTE_DIRECTORY,
                     0);
}
Integer cxShellGenericOpenFolderIcon() {
  return GenericIcon(genericOpenFolderIcon, kDummyFolder,
                     FILE_ATTRIBUTE_DIRECTORY, SHGFI_OPENICON);
}

// ---------------------------------------------------------------------------
// TcxShellFolder
// ---------------------------------------------------------------------------

namespace {

template <class E>
TSet<E> ReadBits(ULONG Value, std::initializer_list<std::pair<E, ULONG>> Map) {
  TSet<E> result;
  for (const auto& [element, bit] : Map) {
    if (Value & bit) result.Include(element);
  }
  return result;
}

}  // namespace

TcxShellFolder::TcxShellFolder(PItemIDList AAbsolutePIDL)
    : absolutePIDL_(AAbsolutePIDL) {
  TcxShellFolderPtr desktop = GetDesktopIShellFolder();
  if (GetPidlItemsCount(AAbsolutePIDL) > 1) {
    TcxPidlPtr parent(GetPidlParent(AAbsolutePIDL));
    desktop->BindToObject(parent.get(), nullptr, IID_IShellFolder,
                          parentFolder_.outVoid());
    relativePIDL_.reset(ExtractParticularPidl(GetLastPidlItem(AAbsolutePIDL)));
  } else {
    parentFolder_ = desktop;
    relativePIDL_.reset(GetPidlCopy(AAbsolutePIDL));
  }
}

TcxShellFolder::~TcxShellFolder() = default;

ULONG TcxShellFolder::GetShellAttributes(ULONG AMask) {
  ULONG attributes = AMask;
  if (!parentFolder_) return 0;
  LPCITEMIDLIST items[1] = {relativePIDL_.get()};
  if (FAILED(parentFolder_->GetAttributesOf(1, items, &attributes))) {
    return 0;
  }
  return attributes;
}

bool TcxShellFolder::HasShellAttribute(ULONG AMask) {
  return (GetShellAttributes(AMask) & AMask) != 0;
}

TcxShellFolderAttributes TcxShellFolder::GetAttributes() {
  return ReadBits<TcxShellFolderAttribute>(GetShellAttributes(0xF0000),
                                           {{sfaGhosted, SFGAO_GHOSTED},
                                            {sfaHidden, 0x80000},
                                            {sfaIsSlow, 0x4000},
                                            {sfaLink, 0x10000},
                                            {sfaReadOnly, 0x40000},
                                            {sfaShare, 0x20000}});
}

TcxShellFolderCapabilities TcxShellFolder::GetCapabilities() {
  return ReadBits<TcxShellFolderCapability>(GetShellAttributes(0x177),
                                            {{sfcCanCopy, 1},
                                             {sfcCanDelete, 0x20},
                                             {sfcCanLink, 4},
                                             {sfcCanMove, 2},
                                             {sfcCanRename, 0x10},
                                             {sfcDropTarget, 0x100},
                                             {sfcHasPropSheet, 0x40}});
}

TcxShellFolderProperties TcxShellFolder::GetProperties() {
  return ReadBits<TcxShellFolderProperty>(GetShellAttributes(0xE302000),
                                          {{sfpBrowsable, 0x8000000},
                                           {sfpCompressed, 0x4000000},
                                           {sfpEncrypted, 0x2000},
                                           {sfpNewContent, 0x200000},
                                           {sfpNonEnumerated, 0x100000},
                                           {sfpRemovable, 0x2000000}});
}

TcxShellFolderStorageCapabilities TcxShellFolder::GetStorageCapabilities() {
  return ReadBits<TcxShellFolderStorageCapability>(
      GetShellAttributes(0x70C50008), {{sfscFileSysAncestor, 0x10000000},
                                       {sfscFileSystem, 0x40000000},
                                       {sfscFolder, 0x20000000},
                                       {sfscLink, 0x10000},
                                       {sfscReadOnly, 0x40000},
                                       {sfscStorage, 8},
                                       {sfscStorageAncestor, 0x800000},
                                       {sfscStream, 0x400000}});
}

bool TcxShellFolder::GetIsFolder() {
  return (GetShellAttributes(SFGAO_FOLDER) & SFGAO_FOLDER) != 0;
}

bool TcxShellFolder::GetSubFolders() {
  return (GetShellAttributes(SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
}

WideString TcxShellFolder::GetDisplayName() {
  return GetShellItemDisplayName(parentFolder_.get(), relativePIDL_.get(),
                                 SHGDN_INFOLDER);
}

WideString TcxShellFolder::GetPathName() {
  TcxShellFolderPtr desktop = GetDesktopIShellFolder();
  WideString path =
      GetShellItemDisplayName(desktop.get(), absolutePIDL_, SHGDN_FORPARSING);
  if (path.rfind(u"::{", 0) == 0) {
    path = GetShellItemDisplayName(desktop.get(), absolutePIDL_, SHGDN_NORMAL);
  }
  return path;
}

TcxShellFolderPtr TcxShellFolder::GetShellFolder() {
  TcxShellFolderPtr desktop = GetDesktopIShellFolder();
  if (GetPidlSize(absolutePIDL_) == 0) return desktop;
  TcxShellFolderPtr folder;
  desktop->BindToObject(absolutePIDL_, nullptr, IID_IShellFolder,
                        folder.outVoid());
  return folder;
}

// ---------------------------------------------------------------------------
// TcxShellDetails
// ---------------------------------------------------------------------------

namespace {

inline constexpr TcxResourceString SShellDefaultNameStr{65471, "Name"};
inline constexpr TcxResourceString SShellDefaultSizeStr{65440, "Size"};
inline constexpr TcxResourceString SShellDefaultTypeStr{65441, "Type"};
inline constexpr TcxResourceString SShellDefaultModifiedStr{65442, "Modified"};

TAlignment FormatToAlignment(int Format) {
  switch (Format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
      return taRightJustify;
    case LVCFMT_CENTER:
      return taCenter;
    default:
      return taLeftJustify;
  }
}

}  // namespace

TcxDetailItem& TcxShellDetails::Add() { return items_.emplace_back(); }

void TcxShellDetails::Remove(Integer AIndex) {
  if (AIndex >= 0 && AIndex < GetCount()) items_.erase(items_.begin() + AIndex);
}

void TcxShellDetails::ProcessDetails(Integer ACharWidth, IShellFolder* AFolder,
                                     bool AIsFileSystem) {
  Clear();
  auto addColumn = [&](SHELLDETAILS& D, Integer Id) {
    TcxDetailItem& item = Add();
    item.Text = WideToAnsi(GetTextFromStrRet(D.str, nullptr));
    item.Width = D.cxChar * ACharWidth;
    item.Alignment = FormatToAlignment(D.fmt);
    item.ID = Id;
  };
  auto folder2 = TcxComPtr<IShellFolder>::Share(AFolder).Query<IShellFolder2>(
      IID_IShellFolder2);
  if (folder2) {
    for (UINT i = 0;; ++i) {
      SHELLDETAILS d{};
      if (FAILED(folder2->GetDetailsOf(nullptr, i, &d))) break;
      SHCOLSTATEF state = 0;
      if (SUCCEEDED(folder2->GetDefaultColumnState(i, &state)) &&
          (!(state & SHCOLSTATE_ONBYDEFAULT) || (state & SHCOLSTATE_HIDDEN))) {
        if (d.str.uType == STRRET_WSTR) cxMalloc()->Free(d.str.pOleStr);
        continue;
      }
      addColumn(d, static_cast<Integer>(i));
    }
    return;
  }
  TcxComPtr<IShellDetails> details;
  if (SUCCEEDED(GetShellDetails(AFolder, nullptr, details)) && details) {
    for (UINT i = 0;; ++i) {
      SHELLDETAILS d{};
      if (FAILED(details->GetDetailsOf(nullptr, i, &d))) break;
      addColumn(d, static_cast<Integer>(i));
    }
    return;
  }
  auto fixed = [&](const TcxResourceString& Caption, Integer Chars,
                   TAlignment Alignment, Integer Id) {
    TcxDetailItem& item = Add();
    item.Text = Caption.Text;
    item.Width = Chars * ACharWidth;
    item.Alignment = Alignment;
    item.ID = Id;
  };
  fixed(SShellDefaultNameStr, 25, taLeftJustify, 0);
  if (!AIsFileSystem) return;
  fixed(SShellDefaultSizeStr, 10, taRightJustify, 1);
  fixed(SShellDefaultTypeStr, 10, taLeftJustify, 2);
  fixed(SShellDefaultModifiedStr, 14, taLeftJustify, 3);
}

// ---------------------------------------------------------------------------
// TcxShellItemInfo
// ---------------------------------------------------------------------------

TcxShellItemInfo::TcxShellItemInfo(IShellFolder* AParentFolder,
                                   PItemIDList AParentFolderPidl,
                                   PItemIDList APidl, bool AFast)
    : details_(new TStringList), pidl_(GetPidlCopy(APidl)) {
  if (AFast) {
    Name = u" ";
    IconIndex = cxShellGenericFileIcon();
    OpenIconIndex = IconIndex;
  } else {
    CheckInitialize(AParentFolder, APidl);
  }
  SetFullPidl(AParentFolderPidl);
}

TcxShellItemInfo::~TcxShellItemInfo() {
  // The folder object borrows the full PIDL: it goes first.
  folder_.reset();
}

void TcxShellItemInfo::SetFullPidl(PItemIDList AParentFolderPidl) {
  folder_.reset();
  fullPIDL_.reset(ConcatenatePidls(AParentFolderPidl, pidl_.get()));
  folder_.reset(new TcxShellFolder(fullPIDL_.get()));
}

void TcxShellItemInfo::CheckInitialize(IShellFolder* AFolder,
                                       PItemIDList APidl) {
  if (Initialized) return;
  Initialized = true;
  ULONG attributes = SFGAO_FOLDER;
  LPCITEMIDLIST items[1] = {APidl};
  if (!AFolder || FAILED(AFolder->GetAttributesOf(1, items, &attributes))) {
    IsFolder = false;
    IsFilesystem = false;
    IsDropTarget = true;
    CanRename = true;
  } else {
    IsFolder = (attributes & SFGAO_FOLDER) != 0;
  }
  HasSubfolder = IsFolder;
  Name = GetShellItemDisplayName(AFolder, APidl, SHGDN_INFOLDER);
  if (IsFolder) {
    IconIndex = cxShellGenericFolderIcon();
    OpenIconIndex = cxShellGenericOpenFolderIcon();
  } else {
    IconIndex = cxShellGenericFileIcon();
    OpenIconIndex = IconIndex;
  }
}

void TcxShellItemInfo::CheckUpdate(IShellFolder* AFolder,
                                   PItemIDList AParentFolderPidl, bool AFast) {
  if (Updated || Updating.exchange(true)) return;
  TScopeGuard clearUpdating([this] { Updating = false; });
  if (!pidl_) throw EAssertionFailed("Item object not initialized");
  TcxPidlPtr full(ConcatenatePidls(AParentFolderPidl, pidl_.get()));
  CheckInitialize(AFolder, pidl_.get());
  if (AFast) {
    SHFILEINFOW info{};
    if (IsFolder) {
      if (::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(full.get()), 0, &info,
                           sizeof(info), SHGFI_PIDL | SHGFI_SYSICONINDEX)) {
        IconIndex = info.iIcon;
      }
    } else {
      if (::SHGetFileInfoW(AsWChar(Name), FILE_ATTRIBUTE_NORMAL, &info,
                           sizeof(info),
                           SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX)) {
        IconIndex = info.iIcon;
      }
      if (::SHGetFileInfoW(
              AsWChar(Name), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
              SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_OPENICON)) {
        OpenIconIndex = info.iIcon;
      }
    }
    return;
  }
  LPCITEMIDLIST items[1] = {pidl_.get()};
  ULONG attributes = 0;
  if (AFolder && SUCCEEDED(AFolder->GetAttributesOf(1, items, &attributes))) {
    IsFilesystem = (attributes & SFGAO_FILESYSTEM) != 0;
  }
  attributes = 0x020B0000;
  if (AFolder && SUCCEEDED(AFolder->GetAttributesOf(1, items, &attributes))) {
    IsHidden = (attributes & SFGAO_HIDDEN) != 0;
    IsShare = (attributes & SFGAO_SHARE) != 0;
    IsLink = (attributes & SFGAO_LINK) != 0;
    IsRemovable = (attributes & SFGAO_REMOVABLE) != 0;
  }
  attributes = 0x177;
  if (AFolder && SUCCEEDED(AFolder->GetAttributesOf(1, items, &attributes))) {
    IsDropTarget = (attributes & SFGAO_DROPTARGET) != 0;
    CanRename = (attributes & SFGAO_CANRENAME) != 0;
  }
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(full.get()), 0, &info,
                       sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_TYPENAME)) {
    IconIndex = info.iIcon;
    OpenIconIndex = info.iIcon;
  }
  if (IsFolder &&
      ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(full.get()), 0, &info,
                       sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON)) {
    OpenIconIndex = info.iIcon;
  }
  Updated = true;
}

void TcxShellItemInfo::CheckSubitems(IShellFolder* AFolder, DWORD AEnumFlags) {
  HasSubfolder = HasSubItems(AFolder, fullPIDL_.get(), AEnumFlags);
}

void TcxShellItemInfo::FetchDetails(HWND, IShellFolder* AFolder,
                                    const TcxShellDetails& ADetails) {
  details_->Clear();
  auto addFrom = [&](auto& Provider) {
    for (Integer i = 0; i < ADetails.GetCount(); ++i) {
      const TcxDetailItem& column = ADetails.GetItems(i);
      if (column.ID == 0) continue;
      SHELLDETAILS d{};
      if (SUCCEEDED(Provider->GetDetailsOf(pidl_.get(),
                                           static_cast<UINT>(column.ID), &d))) {
        details_->Add(WideToAnsi(GetTextFromStrRet(d.str, pidl_.get())));
      } else {
        details_->Add(String());
      }
    }
  };
  auto folder2 = TcxComPtr<IShellFolder>::Share(AFolder).Query<IShellFolder2>(
      IID_IShellFolder2);
  if (folder2) {
    addFrom(folder2);
    return;
  }
  TcxComPtr<IShellDetails> details;
  if (SUCCEEDED(GetShellDetails(AFolder, pidl_.get(), details)) && details) {
    addFrom(details);
    return;
  }
  if (!IsFilesystem) return;
  const String path = WideToAnsi(
      GetShellItemDisplayName(AFolder, pidl_.get(), SHGDN_FORPARSING));
  if (path.empty() || path.size() > MAX_PATH) return;
  WIN32_FIND_DATAA data{};
  TFindHandle search(::FindFirstFileA(path.c_str(), &data));
  if (!search) return;
  const unsigned long long size =
      (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
      data.nFileSizeLow;
  details_->Add(cxFormatFileSizeKB(size));
  String type;
  const auto dot = path.rfind('.');
  if (dot != String::npos && path.find('\\', dot) == String::npos) {
    char buffer[MAX_PATH] = {};
    LONG length = sizeof(buffer);
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, path.substr(dot).c_str(), buffer,
                         &length) == ERROR_SUCCESS) {
      char typeName[MAX_PATH] = {};
      length = sizeof(typeName);
      if (::RegQueryValueA(HKEY_CLASSES_ROOT, buffer, typeName, &length) ==
          ERROR_SUCCESS) {
        type = typeName;
      }
    }
  }
  details_->Add(type);
  String modified;
  DateTimeToString(modified, String(),
                   cxFileTimeToDateTime(data.ftLastWriteTime));
  details_->Add(modified);
}

String cxFormatFileSizeKB(unsigned long long ASize) {
  unsigned long long kb = (ASize + 1023) / 1024;
  String digits = std::to_string(kb);
  String grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ' ';
    grouped += digits[i];
  }
  return grouped + " KB";
}

void TcxShellItemInfo::SetNewPidl(IShellFolder* AFolder,
                                  PItemIDList AParentFolderPidl,
                                  PItemIDList ANewPidl) {
  if (!ANewPidl) return;
  pidl_.reset(GetPidlCopy(ANewPidl));
  // The full PIDL and the folder object name the renamed item too.
  SetFullPidl(AParentFolderPidl);
  Initialized = false;
  Updated = false;
  CheckUpdate(AFolder, AParentFolderPidl, false);
}

Integer TcxShellItemInfo::OverlayIndex() const {
  if (IsLink) return 1;
  if (IsShare) return 0;
  return -1;
}

// ---------------------------------------------------------------------------
// Roots
// ---------------------------------------------------------------------------

Integer cxBrowseFolderCSIDL(TcxBrowseFolder AFolder) {
  static constexpr Integer kCsidl[] = {-1, 29, 10, 25, 46, 31, 23, 22, 24, 45,
                                       3,  0,  16, 17, 4,  6,  20, 34, 13, 39,
                                       18, 40, 38, 2,  8,  11, 7,  21};
  return kCsidl[AFolder];
}

TcxCustomShellRoot::TcxCustomShellRoot(TPersistent* AOwner, HWND AParentWindow)
    : owner_(AOwner), parentWindow_(AParentWindow) {}

TcxCustomShellRoot::~TcxCustomShellRoot() {
  // The folder object borrows the PIDL.
  folder_.reset();
}

void TcxCustomShellRoot::CheckRoot() {
  if (checking_) return;
  checking_ = true;
  TScopeGuard clear([this] { checking_ = false; });
  TcxPidlPtr pidl;
  try {
    TcxShellFolderPtr desktop = GetDesktopIShellFolder();
    valid_ = false;
    shellFolder_.reset();
    folder_.reset();
    pidl_.reset();
    TcxBrowseFolder kind = browseFolder_;
    if (kind == bfCustomPath && customPath_.empty()) kind = bfDesktop;
    PItemIDList raw = nullptr;
    if (kind != bfCustomPath) {
      const Integer csidl = cxBrowseFolderCSIDL(kind);
      const TShellEntries& e = Entries();
      if (e.GetFolderLocation) {
        OleCheck(e.GetFolderLocation(parentWindow_, csidl, nullptr, 0, &raw));
      } else {
        OleCheck(::SHGetSpecialFolderLocation(parentWindow_, csidl, &raw));
      }
    } else {
      ULONG eaten = 0;
      OleCheck(desktop->ParseDisplayName(
          parentWindow_, nullptr, const_cast<LPWSTR>(AsWChar(customPath_)),
          &eaten, &raw, nullptr));
    }
    pidl.reset(raw);
    if (kind == bfDesktop) {
      shellFolder_ = desktop;
      pidl_.reset(GetPidlCopy(pidl.get()));
      valid_ = true;
      attributes_ = SFGAO_FILESYSTEM;
      RootUpdated();
    } else {
      SetPidl(pidl.get());
    }
  } catch (const Exception& E) {
    if (rootChanging_ > 0) throw EcxEditError(E.Message());
    RootUpdated();
  }
}

void TcxCustomShellRoot::SetPidl(PItemIDList APidl) {
  if (!APidl) return;
  TcxPidlPtr copy(GetPidlCopy(APidl));
  folder_.reset();
  pidl_.reset();
  valid_ = false;
  attributes_ = 0;
  TcxShellFolderPtr desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.out())) || !desktop) return;
  TcxShellFolderPtr bound;
  if (GetPidlSize(copy.get()) == 0 ||
      FAILED(desktop->BindToObject(copy.get(), nullptr, IID_IShellFolder,
                                   bound.outVoid())) ||
      !bound) {
    shellFolder_ = desktop;
    attributes_ = SFGAO_FILESYSTEM;
  } else {
    shellFolder_ = bound;
    ULONG attributes = 0;
    LPCITEMIDLIST items[1] = {copy.get()};
    attributes_ = SUCCEEDED(desktop->GetAttributesOf(1, items, &attributes))
                      ? attributes
                      : 0;
  }
  pidl_ = std::move(copy);
  valid_ = true;
  RootUpdated();
}

void TcxCustomShellRoot::UpdateFolder() {
  folder_.reset();
  if (pidl_) folder_.reset(new TcxShellFolder(pidl_.get()));
}

void TcxCustomShellRoot::RootUpdated() { UpdateFolder(); }

void TcxCustomShellRoot::Update(TcxCustomShellRoot* ASource) {
  if (updating_) return;
  updating_ = true;
  TScopeGuard clear([this] { updating_ = false; });
  Assign(ASource);
}

WideString TcxCustomShellRoot::GetCurrentPath() {
  if (!pidl_) return WideString();
  TcxShellFolderPtr desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.out())) || !desktop) {
    return WideString();
  }
  return GetShellItemDisplayName(desktop.get(), pidl_.get(), SHGDN_FORPARSING);
}

void TcxCustomShellRoot::DoSettingsChanged() {
  if (!updating_ && OnSettingsChanged) OnSettingsChanged(this);
}

template <class Change>
void TcxCustomShellRoot::ChangeWithRollBack(Change&& AChange) {
  const TcxBrowseFolder oldFolder = browseFolder_;
  const WideString oldPath = customPath_;
  try {
    ++rootChanging_;
    TScopeGuard drop([this] { --rootChanging_; });
    AChange();
  } catch (const EcxEditError&) {
    browseFolder_ = oldFolder;
    customPath_ = oldPath;
    CheckRoot();
    throw;
  }
  DoSettingsChanged();
}

void TcxCustomShellRoot::SetBrowseFolder(TcxBrowseFolder Value) {
  ChangeWithRollBack([&] {
    if (browseFolder_ != Value) {
      browseFolder_ = Value;
      CheckRoot();
    } else if (!pidl_) {
      CheckRoot();
    }
  });
}

void TcxCustomShellRoot::SetCustomPath(const WideString& Value) {
  ChangeWithRollBack([&] {
    customPath_ = Value;
    if (browseFolder_ == bfCustomPath) CheckRoot();
  });
}

void TcxCustomShellRoot::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomShellRoot*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  ChangeWithRollBack([&] {
    browseFolder_ = source->browseFolder_;
    customPath_ = source->customPath_;
    CheckRoot();
  });
}

// ---------------------------------------------------------------------------
// Options and drag-and-drop settings
// ---------------------------------------------------------------------------

DWORD TcxShellOptions::GetEnumFlags() const {
  DWORD flags = 0;
  if (showFolders_) flags |= SHCONTF_FOLDERS;
  if (showNonFolders_) flags |= SHCONTF_NONFOLDERS;
  if (showHidden_) flags |= SHCONTF_INCLUDEHIDDEN;
  return flags;
}

void TcxShellOptions::NotifyUpdateContents() {
  if (owner_ && owner_->HandleAllocated()) {
    ::SendMessageA(owner_->Handle(), DSM_NOTIFYUPDATECONTENTS, 0, 0);
  }
}

void TcxShellOptions::SetShowFolders(bool Value) {
  showFolders_ = Value;
  NotifyUpdateContents();
}

void TcxShellOptions::SetShowNonFolders(bool Value) {
  showNonFolders_ = Value;
  NotifyUpdateContents();
}

void TcxShellOptions::SetShowHidden(bool Value) {
  showHidden_ = Value;
  NotifyUpdateContents();
}

void TcxShellOptions::SetShowToolTip(bool Value) {
  if (showToolTip_ == Value) return;
  showToolTip_ = Value;
  if (OnShowToolTipChanged) OnShowToolTipChanged(this);
}

void TcxShellOptions::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxShellOptions*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  showFolders_ = source->showFolders_;
  showNonFolders_ = source->showNonFolders_;
  showHidden_ = source->showHidden_;
  ContextMenus = source->ContextMenus;
  TrackShellChanges = source->TrackShellChanges;
  SetShowToolTip(source->showToolTip_);
  NotifyUpdateContents();
}

void TcxDragDropSettings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxDragDropSettings*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  DefaultDropEffect = source->DefaultDropEffect;
  DropEffect = source->DropEffect;
  Scroll = source->Scroll;
  SetAllowDragObjects(source->allowDragObjects_);
}

void TcxDragDropSettings::SetAllowDragObjects(bool Value) {
  if (allowDragObjects_ == Value) return;
  allowDragObjects_ = Value;
  if (OnChange) OnChange(this);
}

DWORD TcxDragDropSettings::GetDefaultDropEffectAPI() const {
  static constexpr DWORD kEffects[] = {DROPEFFECT_COPY, DROPEFFECT_MOVE,
                                       DROPEFFECT_LINK};
  return kEffects[DefaultDropEffect];
}

DWORD TcxDragDropSettings::GetDropEffectAPI() const {
  DWORD effects = 0;
  if (DropEffect.Contains(deCopy)) effects |= DROPEFFECT_COPY;
  if (DropEffect.Contains(deMove)) effects |= DROPEFFECT_MOVE;
  if (DropEffect.Contains(deLink)) effects |= DROPEFFECT_LINK;
  return effects;
}

HRESULT TcxDropSource::QueryContinueDrag(BOOL AEscapePressed, DWORD AKeyState) {
  if (AEscapePressed) return DRAGDROP_S_CANCEL;
  if (AKeyState & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
  return DRAGDROP_S_DROP;
}

HRESULT TcxDropSource::GiveFeedback(DWORD) {
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------------------
// TcxShellDropTarget
// ---------------------------------------------------------------------------

IDropTarget* TcxShellDropTarget::TargetAt(POINTL APoint, IDataObject* AData,
                                          DWORD AKeyState, DWORD* AEffect,
                                          HRESULT& AResult) {
  AResult = S_OK;
  bool changed = false;
  IDropTarget* target =
      site_ ? site_->GetDropTarget(POINT{APoint.x, APoint.y}, changed)
            : nullptr;
  if (!target) {
    *AEffect = DROPEFFECT_NONE;
    return nullptr;
  }
  // A target the cursor has just reached hears of the drag first.
  if (changed && AData) {
    AResult = target->DragEnter(AData, AKeyState, APoint, AEffect);
    if (FAILED(AResult)) return nullptr;
  }
  return target;
}

HRESULT TcxShellDropTarget::DragEnter(IDataObject* ADataObject, DWORD AKeyState,
                                      POINTL APoint, DWORD* AEffect) {
  if (!AEffect) return E_INVALIDARG;
  dataObject_ = TcxComPtr<IDataObject>::Share(ADataObject);
  HRESULT hr = S_OK;
  IDropTarget* target = TargetAt(APoint, nullptr, AKeyState, AEffect, hr);
  if (!target) return hr;
  *AEffect = site_->GetDefaultDropEffect();
  return target->DragEnter(ADataObject, AKeyState, APoint, AEffect);
}

HRESULT TcxShellDropTarget::DragOver(DWORD AKeyState, POINTL APoint,
                                     DWORD* AEffect) {
  if (!AEffect) return E_INVALIDARG;
  HRESULT hr = S_OK;
  IDropTarget* target =
      TargetAt(APoint, dataObject_.get(), AKeyState, AEffect, hr);
  if (!target) return hr;
  return target->DragOver(AKeyState, APoint, AEffect);
}

HRESULT TcxShellDropTarget::DragLeave() {
  dataObject_.reset();
  if (site_) site_->ReleaseDropTarget(true);
  return S_OK;
}

HRESULT TcxShellDropTarget::Drop(IDataObject* ADataObject, DWORD AKeyState,
                                 POINTL APoint, DWORD* AEffect) {
  if (!AEffect) return E_INVALIDARG;
  IcxShellDropTargetSite* site = site_;
  TScopeGuard release([this, site] {
    dataObject_.reset();
    if (site) site->ReleaseDropTarget(false);
  });
  HRESULT hr = S_OK;
  IDropTarget* target = TargetAt(APoint, ADataObject, AKeyState, AEffect, hr);
  if (!target) return hr;
  hr = target->Drop(ADataObject, AKeyState, APoint, AEffect);
  site->DropDone();
  return hr;
}

TcxShellDropTargetRegistration::TcxShellDropTargetRegistration(
    IcxShellDropTargetSite* ASite)
    : target_(
          TcxComPtr<TcxShellDropTarget>::Share(new TcxShellDropTarget(ASite))) {
}

TcxShellDropTargetRegistration::~TcxShellDropTargetRegistration() {
  Revoke();
  // OLE may still hold the object for a drag in progress.
  target_->Detach();
}

void TcxShellDropTargetRegistration::Register(HWND AWnd) {
  if (wnd_ == AWnd) return;
  Revoke();
  if (SUCCEEDED(::RegisterDragDrop(AWnd, target_.get()))) wnd_ = AWnd;
}

void TcxShellDropTargetRegistration::Revoke() {
  if (!wnd_) return;
  ::RevokeDragDrop(wnd_);
  wnd_ = nullptr;
}

bool cxShellDoDragDrop(HWND AWnd, IShellFolder* AFolder,
                       const std::vector<PItemIDList>& APidls,
                       TWinControl* AOwner, DWORD AAllowedEffects) {
  if (!AFolder || APidls.empty()) return false;
  std::vector<LPCITEMIDLIST> items(APidls.begin(), APidls.end());
  TcxComPtr<IDataObject> data;
  if (FAILED(AFolder->GetUIObjectOf(AWnd, static_cast<UINT>(items.size()),
                                    items.data(), IID_IDataObject, nullptr,
                                    data.outVoid())) ||
      !data) {
    return false;
  }
  TcxComPtr<TcxDropSource> source =
      TcxComPtr<TcxDropSource>::Share(new TcxDropSource(AOwner));
  DWORD effect = DROPEFFECT_NONE;
  ::DoDragDrop(data.get(), source.get(), AAllowedEffects, &effect);
  return true;
}

// ---------------------------------------------------------------------------
// TcxCustomItemProducer
// ---------------------------------------------------------------------------

TcxCustomItemProducer::TcxCustomItemProducer(TWinControl* AOwner)
    : owner_(AOwner), details_(new TcxShellDetails) {}

TcxCustomItemProducer::~TcxCustomItemProducer() {
  // The gatherer is no longer reachable here (its getter belongs to the
  // descendant, which is gone): descendants clear their requests in their
  // own destructors.
  std::unique_lock<std::shared_mutex> guard(lock_);
  for (TcxShellItemInfo* item : items_) Free(item);
  items_.clear();
}

void TcxCustomItemProducer::ClearItems() {
  ClearFetchQueue();
  {
    std::unique_lock<std::shared_mutex> guard(lock_);
    for (TcxShellItemInfo* item : items_) Free(item);
    items_.clear();
    shellFolder_.reset();
    folderPidl_.reset();
  }
}

void TcxCustomItemProducer::SetFolderPidl(PItemIDList APidl) {
  std::unique_lock<std::shared_mutex> guard(lock_);
  folderPidl_.reset(GetPidlCopy(APidl));
}

void TcxCustomItemProducer::ProcessDetails(IShellFolder* AFolder,
                                           Integer ACharWidth) {
  bool fileSystem = false;
  try {
    TcxShellFolderPtr desktop = GetDesktopIShellFolder();
    ULONG attributes = SFGAO_FILESYSTEM;
    LPCITEMIDLIST items[1] = {folderPidl_.get()};
    fileSystem = GetPidlSize(folderPidl_.get()) > 0 &&
                 SUCCEEDED(desktop->GetAttributesOf(1, items, &attributes)) &&
                 (attributes & SFGAO_FILESYSTEM);
  } catch (const EOleError&) {
    fileSystem = false;
  }
  details_->ProcessDetails(ACharWidth, AFolder, fileSystem);
}

void TcxCustomItemProducer::ProcessItems(IShellFolder* AFolder,
                                         PItemIDList AFolderPidl,
                                         Integer APreloadItemCount) {
  if (!items_.empty() || shellFolder_) ClearItems();
  {
    // The fetch thread reads the folder PIDL under the read lock.
    std::unique_lock<std::shared_mutex> guard(lock_);
    shellFolder_ = TcxShellFolderPtr::Share(AFolder);
    folderPidl_.reset(GetPidlCopy(AFolderPidl));
  }
  ProcessDetails(AFolder, APreloadItemCount);
  FetchItems(APreloadItemCount);
  if (AllowBackgroundProcessing()) RequestItemsInfo();
}

bool TcxCustomItemProducer::EnumerateItems(
    std::vector<TObjectPtr<TcxShellItemInfo>>& AItems, bool ACheckAddFolder,
    Integer* APreloadItemCount) {
  if (!shellFolder_) return false;
  TcxComPtr<IEnumIDList> enumerator;
  if (FAILED(
          shellFolder_->EnumObjects(owner_ ? owner_->ParentWindow() : nullptr,
                                    GetEnumFlags(), enumerator.out())) ||
      !enumerator) {
    return false;
  }
  for (;;) {
    PItemIDList pidl = nullptr;
    ULONG fetched = 0;
    HRESULT hr = enumerator->Next(1, &pidl, &fetched);
    if (hr == E_INVALIDARG) hr = enumerator->Next(1, &pidl, &fetched);
    if (FAILED(hr) || hr == S_FALSE || fetched == 0 || !pidl) {
      DisposePidl(pidl);
      break;
    }
    TcxPidlPtr owned(pidl);
    TObjectPtr<TcxShellItemInfo> item(new TcxShellItemInfo(
        shellFolder_.get(), folderPidl_.get(), pidl, false));
    if (item->Name.empty()) continue;
    if (ACheckAddFolder && !CanAddFolder(item->Folder())) continue;
    if (APreloadItemCount && *APreloadItemCount > 0) {
      item->CheckUpdate(shellFolder_.get(), folderPidl_.get(), false);
      --*APreloadItemCount;
    } else if (APreloadItemCount) {
      InitializeItem(item.get());
    }
    AItems.push_back(std::move(item));
  }
  return true;
}

void TcxCustomItemProducer::SortItems(std::vector<TcxShellItemInfo*>& AItems,
                                      IShellFolder* AFolder, bool AWithEvents) {
  std::stable_sort(
      AItems.begin(), AItems.end(),
      [&](TcxShellItemInfo* A, TcxShellItemInfo* B) {
        Integer compare = 0;
        if (AWithEvents && DoCompareItems(A->Folder(), B->Folder(), compare)) {
          return compare < 0;
        }
        if (A->IsFolder != B->IsFolder) return A->IsFolder;
        const HRESULT hr = AFolder->CompareIDs(0, A->Pidl(), B->Pidl());
        return static_cast<short>(HRESULT_CODE(hr)) < 0;
      });
}

void TcxCustomItemProducer::FetchItems(Integer APreloadItemCount) {
  {
    const TCursor savedCursor = Screen ? Screen->Cursor() : crDefault;
    if (Screen) Screen->SetCursor(crHourGlass);
    TScopeGuard restoreCursor([savedCursor] {
      if (Screen) Screen->SetCursor(savedCursor);
    });
    std::vector<TObjectPtr<TcxShellItemInfo>> created;
    Integer preload = APreloadItemCount;
    if (!EnumerateItems(created, true, &preload)) return;
    std::vector<TcxShellItemInfo*> sorted;
    sorted.reserve(created.size());
    for (auto& item : created) sorted.push_back(item.get());
    SortItems(sorted, shellFolder_.get(), true);
    std::unique_lock<std::shared_mutex> guard(lock_);
    for (auto& item : created) (void)item.release();
    items_.insert(items_.end(), sorted.begin(), sorted.end());
  }
  SetItemsCount(ItemCount());
}

void TcxCustomItemProducer::RequestItemsInfo() {
  TcxShellItemsInfoGatherer* gatherer = GetItemsInfoGatherer();
  if (!gatherer) return;
  gatherer->StopFetch();
  TScopeGuard resume([gatherer] { gatherer->ResumeFetch(); });
  std::shared_lock<std::shared_mutex> guard(lock_);
  for (Integer i = 0; i < ItemCount(); ++i) {
    if (!items_[i]->Updated) gatherer->RequestItemInfo(this, i, false);
  }
}

void TcxCustomItemProducer::FetchRequest(Integer AIndex, bool APriority) {
  if (TcxShellItemsInfoGatherer* gatherer = GetItemsInfoGatherer()) {
    gatherer->RequestItemInfo(this, AIndex, APriority);
  }
}

void TcxCustomItemProducer::ClearFetchQueue() {
  if (TcxShellItemsInfoGatherer* gatherer = GetItemsInfoGatherer()) {
    gatherer->ClearFetchQueue(this);
  }
}

Integer TcxCustomItemProducer::GetItemIndexByPidl(PItemIDList APidl) {
  if (!APidl || !shellFolder_) return -1;
  std::shared_lock<std::shared_mutex> guard(lock_);
  for (Integer i = 0; i < ItemCount(); ++i) {
    const HRESULT hr = shellFolder_->CompareIDs(0, items_[i]->Pidl(), APidl);
    if (HRESULT_CODE(hr) == 0) return i;
  }
  return -1;
}

TcxShellItemInfo* TcxCustomItemProducer::GetItemByPidl(PItemIDList APidl) {
  const Integer index = GetItemIndexByPidl(APidl);
  if (index < 0) return nullptr;
  std::shared_lock<std::shared_mutex> guard(lock_);
  return index < ItemCount() ? items_[index] : nullptr;
}

void TcxCustomItemProducer::DoGetInfoTip(HWND AHandle, Integer AIndex,
                                         char* AInfoTip, Integer AMaxLen) {
  if (!AInfoTip || AMaxLen <= 0) return;
  if (!GetShowToolTip()) {
    AInfoTip[0] = '\0';
    return;
  }
  std::shared_lock<std::shared_mutex> guard(lock_);
  if (AIndex < 0 || AIndex >= ItemCount() || !shellFolder_) return;
  LPCITEMIDLIST items[1] = {items_[AIndex]->Pidl()};
  TcxComPtr<IQueryInfo> info;
  if (FAILED(shellFolder_->GetUIObjectOf(AHandle, 1, items, IID_IQueryInfo,
                                         nullptr, info.outVoid())) ||
      !info) {
    return;
  }
  wchar_t* tip = nullptr;
  if (FAILED(info->GetInfoTip(0, &tip)) || !tip) return;
  const String text = WideToAnsi(FromW(tip));
  cxMalloc()->Free(tip);
  const std::size_t n =
      std::min<std::size_t>(text.size(), static_cast<std::size_t>(AMaxLen) - 1);
  std::memcpy(AInfoTip, text.data(), n);
  AInfoTip[n] = '\0';
}

void TcxCustomItemProducer::SendToOwner(UINT AMessage, Integer AValue,
                                        LPARAM ALParam) {
  if (owner_ && owner_->HandleAllocated()) {
    ::SendMessageA(owner_->Handle(), AMessage, static_cast<WPARAM>(AValue),
                   ALParam);
  }
}

void TcxCustomItemProducer::SetItemsCount(Integer ACount) {
  SendToOwner(DSM_SETCOUNT, ACount, 0);
}

void TcxCustomItemProducer::NotifyRemoveItem(Integer AIndex) {
  SendToOwner(DSM_NOTIFYREMOVEITEM, AIndex, 0);
}

void TcxCustomItemProducer::NotifyAddItem(Integer AIndex) {
  SendToOwner(DSM_NOTIFYADDITEM, AIndex, 0);
}

// ---------------------------------------------------------------------------
// TcxShellItemsInfoGatherer
// ---------------------------------------------------------------------------

// What the fetch thread keeps between requests: the folder it bound itself
// for the producer it last served (interfaces of the user-interface thread
// are never called from this thread).
struct TcxFetchThreadContext {
  TcxShellFolderPtr Desktop;
  TcxCustomItemProducer* Producer = nullptr;
  TcxPidlPtr FolderPidl;
  TcxShellFolderPtr Folder;

  IShellFolder* FolderFor(TcxCustomItemProducer* AProducer) {
    PItemIDList pidl = AProducer->FolderPidl();
    if (!pidl) return nullptr;
    if (Producer == AProducer && Folder && EqualPIDLs(FolderPidl.get(), pidl)) {
      return Folder.get();
    }
    Producer = AProducer;
    FolderPidl.reset(GetPidlCopy(pidl));
    Folder.reset();
    if (!Desktop && FAILED(::SHGetDesktopFolder(Desktop.out()))) return nullptr;
    if (GetPidlSize(pidl) == 0) {
      Folder = Desktop;
    } else {
      Desktop->BindToObject(pidl, nullptr, IID_IShellFolder, Folder.outVoid());
    }
    return Folder.get();
  }
};

namespace {

bool IsSignalled(const THandle& Event) {
  return Event && ::WaitForSingleObject(Event.get(), 0) == WAIT_OBJECT_0;
}

THandle NewEvent() {
  return THandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

}  // namespace

TcxShellItemsInfoGatherer::TcxShellItemsInfoGatherer(TWinControl* AOwner)
    : owner_(AOwner), queue_(new TThreadList), itemUpdating_(NewEvent()) {
  CreateFetchThread();
  std::lock_guard<std::mutex> guard(GatherersLock());
  Gatherers().push_back(this);
}

TcxShellItemsInfoGatherer::~TcxShellItemsInfoGatherer() {
  {
    std::lock_guard<std::mutex> guard(GatherersLock());
    auto& list = Gatherers();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  DestroyFetchThread();
  TList* list = queue_->LockList();
  for (Integer i = 0; i < list->Count(); ++i) {
    delete static_cast<TcxRequestItem*>(list->Get(i));
  }
  list->Clear();
  queue_->UnlockList();
}

void TcxShellItemsInfoGatherer::CreateFetchThread() {
  stopRequest_ = NewEvent();
  stopped_ = NewEvent();
  terminate_ = NewEvent();
  thread_.reset(
      ::CreateThread(nullptr, 0, &ShellFetchThreadProc, this, 0, nullptr));
}

void TcxShellItemsInfoGatherer::TerminateFetchThread() {
  if (!thread_) return;
  ::SetEvent(terminate_.get());
  ::WaitForSingleObject(thread_.get(), INFINITE);
}

void TcxShellItemsInfoGatherer::DestroyFetchThread() {
  TerminateFetchThread();
  thread_.reset();
  stopRequest_.reset();
  stopped_.reset();
  terminate_.reset();
}

void TcxShellItemsInfoGatherer::StopFetch() {
  if (++stopCount_ != 1 || !thread_) return;
  // Cleared first, so that only an answer to this request counts.
  ::ResetEvent(stopped_.get());
  ::SetEvent(stopRequest_.get());
  ::WaitForSingleObject(stopped_.get(), INFINITE);
}

void TcxShellItemsInfoGatherer::ResumeFetch() {
  if (stopCount_ <= 0) return;
  if (--stopCount_ == 0 && stopRequest_) ::ResetEvent(stopRequest_.get());
}

Integer TcxShellItemsInfoGatherer::GetFetchQueueItemIndex(
    TList* AQueue, TcxCustomItemProducer* AProducer, Integer AIndex) {
  for (Integer i = 0; i < AQueue->Count(); ++i) {
    const auto* request = static_cast<TcxRequestItem*>(AQueue->Get(i));
    if (request->ItemProducer == AProducer && request->ItemIndex == AIndex) {
      return i;
    }
  }
  return -1;
}

void TcxShellItemsInfoGatherer::RequestItemInfo(
    TcxCustomItemProducer* AProducer, Integer AIndex, bool APriority) {
  StopFetch();
  TScopeGuard resume([this] { ResumeFetch(); });
  TList* list = queue_->LockList();
  TScopeGuard unlock([this] { queue_->UnlockList(); });
  const Integer found = GetFetchQueueItemIndex(list, AProducer, AIndex);
  if (found < 0) {
    auto request = std::make_unique<TcxRequestItem>();
    request->ItemIndex = AIndex;
    request->ItemProducer = AProducer;
    request->Priority = APriority;
    if (APriority) {
      list->Insert(0, request.get());
    } else {
      list->Add(request.get());
    }
    (void)request.release();
    return;
  }
  const auto* request = static_cast<TcxRequestItem*>(list->Get(found));
  if (APriority && !request->Taken) list->Move(found, 0);
}

void TcxShellItemsInfoGatherer::ClearFetchQueue(
    TcxCustomItemProducer* AProducer) {
  if (clearing_) return;
  clearing_ = true;
  StopFetch();
  TScopeGuard done([this] {
    clearing_ = false;
    ResumeFetch();
  });
  for (bool complete = false; !complete;) {
    complete = true;
    TList* list = queue_->LockList();
    TScopeGuard unlock([this] { queue_->UnlockList(); });
    for (Integer i = list->Count() - 1; i >= 0; --i) {
      auto* request = static_cast<TcxRequestItem*>(list->Get(i));
      if (AProducer && request->ItemProducer != AProducer) continue;
      if (request->Taken) {
        complete = false;
        continue;
      }
      list->Delete(i);
      delete request;
    }
    if (!complete) ::Sleep(1);
  }
}

bool TcxShellItemsInfoGatherer::GetIsFetchQueueEmpty() {
  TList* list = queue_->LockList();
  const bool empty = list->Count() == 0;
  queue_->UnlockList();
  return empty;
}

std::vector<TcxRequestItem> TcxShellItemsInfoGatherer::QueueSnapshot() {
  std::vector<TcxRequestItem> result;
  TList* list = queue_->LockList();
  for (Integer i = 0; i < list->Count(); ++i) {
    result.push_back(*static_cast<TcxRequestItem*>(list->Get(i)));
  }
  queue_->UnlockList();
  return result;
}

bool TcxShellItemsInfoGatherer::GetIsFetchStopping() const {
  return IsSignalled(stopRequest_);
}

bool TcxShellItemsInfoGatherer::GetIsFetchThreadTerminating() const {
  return IsSignalled(terminate_);
}

bool TcxShellItemsInfoGatherer::GetIsItemUpdating() const {
  return IsSignalled(itemUpdating_);
}

DWORD WINAPI TcxShellItemsInfoGatherer::ShellFetchThreadProc(void* AParam) {
  auto* self = static_cast<TcxShellItemsInfoGatherer*>(AParam);
  const bool com =
      SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  {
    TcxFetchThreadContext context;
    for (;;) {
      if (!self->GetIsFetchThreadTerminating() && !self->GetIsFetchStopping()) {
        ::ResetEvent(self->stopped_.get());
        self->ServeQueue(context);
      }
      if (self->GetIsFetchThreadTerminating()) break;
      if (self->GetIsFetchStopping()) ::SetEvent(self->stopped_.get());
      ::WaitForSingleObject(self->terminate_.get(), 10);
    }
  }
  if (com) ::CoUninitialize();
  return 0;
}

void TcxShellItemsInfoGatherer::ServeQueue(TcxFetchThreadContext& AContext) {
  TList* list = queue_->LockList();
  TScopeGuard unlock([this] { queue_->UnlockList(); });
  while (list->Count() > 0) {
    auto* request = static_cast<TcxRequestItem*>(list->Get(0));
    try {
      ProcessRequest(*request, AContext);
    } catch (...) {
      // The request is dropped below all the same, so that clearing the
      // queue never waits for a request that failed.
    }
    list->Delete(0);
    delete request;
    if (GetIsFetchThreadTerminating() || GetIsFetchStopping()) break;
  }
}

void TcxShellItemsInfoGatherer::ProcessRequest(
    TcxRequestItem& ARequest, TcxFetchThreadContext& AContext) {
  ARequest.Taken = true;
  TcxCustomItemProducer* producer = ARequest.ItemProducer;
  {
    producer->LockRead();
    TScopeGuard unlock([producer] { producer->UnlockRead(); });
    if (ARequest.ItemIndex < 0 || ARequest.ItemIndex >= producer->ItemCount()) {
      return;
    }
    TcxShellItemInfo* item = producer->Item(ARequest.ItemIndex);
    IShellFolder* folder = AContext.FolderFor(producer);
    if (!folder) return;
    item->CheckUpdate(folder, producer->FolderPidl(), false);
    producer->CheckForSubitems(item, folder);
    item->Updated = true;
  }
  ::SetEvent(itemUpdating_.get());
  TScopeGuard reset([this] { ::ResetEvent(itemUpdating_.get()); });
  producer->NotifyUpdateItem(ARequest);
}

// ---------------------------------------------------------------------------
// Change notification
// ---------------------------------------------------------------------------

bool RegisterShellChangeNotifier(PItemIDList APidl, HWND AWnd, UINT AMessage,
                                 bool ARecursive,
                                 TcxShellChangeNotifierData& AData) {
  if (AData.Handle != 0 && EqualPIDLs(AData.Pidl.get(), APidl)) return true;
  UnregisterShellChangeNotifier(AData);
  AData.Pidl.reset(GetPidlCopy(APidl));
  SHChangeNotifyEntry entry{};
  entry.pidl = AData.Pidl.get();
  entry.fRecursive = ARecursive;
  const TShellEntries& e = Entries();
  constexpr LONG kEvents = 0x2B81F;
  const int sources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel;
  AData.Handle =
      e.ChangeNotifyRegister
          ? e.ChangeNotifyRegister(AWnd, sources, kEvents, AMessage, 1, &entry)
          : 0;
  if (AData.Handle == 0) {
    // Not kept as watched: the next registration of this folder tries again.
    AData.Pidl.reset();
    return false;
  }
  return true;
}

void UnregisterShellChangeNotifier(TcxShellChangeNotifierData& AData) {
  if (AData.Handle != 0 && Entries().ChangeNotifyDeregister) {
    Entries().ChangeNotifyDeregister(AData.Handle);
  }
  AData.Handle = 0;
  AData.Pidl.reset();
}
