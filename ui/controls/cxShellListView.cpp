// The path routines of the shell controls; see the header.
#include "cxShellListView.h"

#include <cctype>

#include "ScopeGuard.h"

namespace {

bool IsDriveLetter(char C) {
  return std::isalpha(static_cast<unsigned char>(C)) != 0;
}

bool HasDrive(const String& S) {
  return S.size() >= 2 && IsDriveLetter(S[0]) && S[1] == ':';
}

bool HasDriveRoot(const String& S) {
  return HasDrive(S) && S.size() >= 3 && S[2] == '\\';
}

// The special folders, for display names typed in place of a path; made on
// first use and freed at shut-down.
struct TcxSpecialFolderInfo {
  TcxPidlPtr Pidl;
  String DisplayName;
  String UpperDisplayName;
  String UpperPath;
  ULONG Attributes = 0;
};

std::vector<TcxSpecialFolderInfo>& SpecialFolders() {
  static std::vector<TcxSpecialFolderInfo> table;
  return table;
}

const std::vector<TcxSpecialFolderInfo>& SpecialFolderTable() {
  auto& table = SpecialFolders();
  if (!table.empty()) return table;
  table.resize(35);
  for (int csidl = 0; csidl < 35; ++csidl) {
    PItemIDList pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) {
      continue;
    }
    TcxSpecialFolderInfo& info = table[static_cast<std::size_t>(csidl)];
    info.Pidl.reset(pidl);
    info.DisplayName = GetPIDLDisplayName(pidl, false);
    info.UpperDisplayName = AnsiUpperCase(info.DisplayName);
    info.UpperPath = AnsiUpperCase(GetPidlName(pidl));
    TcxShellFolder folder(pidl);
    info.Attributes = folder.GetShellAttributes(SFGAO_FOLDER | SFGAO_HIDDEN) &
                      (SFGAO_FOLDER | SFGAO_HIDDEN);
  }
  return table;
}

void ShellListViewShutdown() { SpecialFolders().clear(); }

DWORD EnumFlagsOf(TcxShellViewOptions AViewOptions) {
  DWORD flags = 0;
  if (AViewOptions.Contains(svoShowFolders)) flags |= SHCONTF_FOLDERS;
  if (AViewOptions.Contains(svoShowFiles)) flags |= SHCONTF_NONFOLDERS;
  if (AViewOptions.Contains(svoShowHidden)) flags |= SHCONTF_INCLUDEHIDDEN;
  return flags;
}

// The child of AFolder whose in-folder name is AUpperName (8-bit upper case).
PItemIDList FindChildByName(IShellFolder* AFolder, const String& AUpperName,
                            TcxShellViewOptions AViewOptions) {
  TcxComPtr<IEnumIDList> enumerator;
  if (FAILED(AFolder->EnumObjects(nullptr, EnumFlagsOf(AViewOptions),
                                  enumerator.out())) ||
      !enumerator) {
    return nullptr;
  }
  for (;;) {
    PItemIDList pidl = nullptr;
    ULONG fetched = 0;
    if (enumerator->Next(1, &pidl, &fetched) != S_OK || !pidl) return nullptr;
    TcxPidlPtr owned(pidl);
    const String name = AnsiUpperCase(
        WideToAnsi(GetShellItemDisplayName(AFolder, pidl, SHGDN_INFOLDER)));
    if (name == AUpperName) return owned.release();
  }
}

}  // namespace

VARNEL_UNIT(cxShellListView, ({"cxShellCommon"}), nullptr,
            &ShellListViewShutdown);

String GetPIDLDisplayName(PItemIDList APidl, bool AAsPath) {
  if (!APidl) return String();
  if (AAsPath) {
    const String path = GetPidlName(APidl);
    if (!path.empty()) return path;
  }
  TcxShellFolderPtr folder = GetDesktopIShellFolder();
  String names;
  String last;
  for (PItemIDList id = APidl; id && id->mkid.cb != 0; id = GetNextItemID(id)) {
    TcxPidlPtr single(ExtractParticularPidl(id));
    const bool isLast = GetNextItemID(id)->mkid.cb == 0;
    if (AAsPath) {
      if (!names.empty()) names += '\\';
      names += WideToAnsi(
          GetShellItemDisplayName(folder.get(), single.get(), SHGDN_INFOLDER));
    } else if (isLast) {
      last = WideToAnsi(
          GetShellItemDisplayName(folder.get(), single.get(), SHGDN_NORMAL));
    }
    if (isLast) break;
    TcxShellFolderPtr next;
    if (FAILED(folder->BindToObject(single.get(), nullptr, IID_IShellFolder,
                                    next.outVoid())) ||
        !next) {
      break;
    }
    folder = next;
  }
  if (APidl->mkid.cb == 0 && !AAsPath) {
    last =
        WideToAnsi(GetShellItemDisplayName(folder.get(), APidl, SHGDN_NORMAL));
  }
  return AAsPath ? names : last;
}

TcxShellObjectPathType CheckShellObjectPath(String& APath,
                                            const String& ACurrentPath,
                                            bool AAdapt) {
  if (APath.empty()) return sptIncorrect;
  if (APath.size() > 1 && APath.back() == '\\' &&
      APath[APath.size() - 2] != ':') {
    APath.pop_back();
  }
  if (APath.size() > 2 && APath.compare(0, 2, "\\\\") == 0) return sptUNC;
  if (APath.size() >= 40) {
    const String head = AnsiUpperCase(APath.substr(0, 40));
    if (head == kcxShellAbsoluteVirtualPathMarker) {
      return sptInternalAbsoluteVirtual;
    }
    if (head == kcxShellRelativeVirtualPathMarker) {
      return sptInternalRelativeVirtual;
    }
  }
  if (APath.compare(0, 3, "::{") == 0) return sptVirtual;
  if (HasDriveRoot(APath)) return sptAbsolutePhysical;
  const bool rootRelative = APath[0] == '\\';
  if (!rootRelative && !HasDrive(APath)) return sptRelativePhysical;
  if (!HasDriveRoot(ACurrentPath)) return sptIncorrect;
  if (rootRelative) {
    APath = APath.size() == 1 ? ACurrentPath.substr(0, 3)
                              : ACurrentPath.substr(0, 2) + APath;
    return sptAbsolutePhysical;
  }
  if (std::toupper(static_cast<unsigned char>(APath[0])) !=
      std::toupper(static_cast<unsigned char>(ACurrentPath[0]))) {
    return sptIncorrect;
  }
  if (!AAdapt) return sptIncorrect;
  if (APath.size() == 2) {
    APath = ACurrentPath;
    return sptAbsolutePhysical;
  }
  APath = APath.substr(2);
  return sptRelativePhysical;
}

bool CheckViewOptions(TcxShellViewOptions AViewOptions, ULONG AAttributes) {
  const bool folder = (AAttributes & SFGAO_FOLDER) != 0;
  return (!(AAttributes & SFGAO_HIDDEN) ||
          AViewOptions.Contains(svoShowHidden)) &&
         (folder || AViewOptions.Contains(svoShowFiles)) &&
         (!folder || AViewOptions.Contains(svoShowFolders));
}

PItemIDList InternalParseDisplayName(IShellFolder* AFolder,
                                     const WideString& AName,
                                     TcxShellViewOptions AViewOptions) {
  if (!AFolder) return nullptr;
  PItemIDList pidl = nullptr;
  ULONG eaten = 0;
  ULONG attributes = SFGAO_FOLDER | SFGAO_HIDDEN;
  WideString name = AName;
  if (SUCCEEDED(AFolder->ParseDisplayName(nullptr, nullptr,
                                          const_cast<LPWSTR>(AsWChar(name)),
                                          &eaten, &pidl, &attributes)) &&
      pidl) {
    if (CheckViewOptions(AViewOptions, attributes)) return pidl;
    DisposePidl(pidl);
    return nullptr;
  }
  return FindChildByName(AFolder, AnsiUpperCase(WideToAnsi(AName)),
                         AViewOptions);
}

PItemIDList ShellObjectInternalVirtualPathToPIDL(
    const String& APath, TcxCustomShellRoot* ARoot,
    TcxShellViewOptions AViewOptions) {
  const bool relative =
      AnsiUpperCase(APath.substr(0, 40)) == kcxShellRelativeVirtualPathMarker;
  TcxShellFolderPtr folder;
  TcxPidlPtr result;
  if (relative) {
    CheckShellRoot(ARoot);
    if (!ARoot || !ARoot->ShellFolder()) return nullptr;
    folder = TcxShellFolderPtr::Share(ARoot->ShellFolder());
    result.reset(GetPidlCopy(ARoot->Pidl()));
  } else {
    folder = GetDesktopIShellFolder();
  }
  const String rest = APath.size() > 41 ? APath.substr(41) : String();
  if (rest.empty()) return CreateEmptyPidl();
  std::vector<String> names;
  for (std::size_t start = 0; start <= rest.size();) {
    const std::size_t end = rest.find('\\', start);
    const String name =
        rest.substr(start, end == String::npos ? String::npos : end - start);
    if (!name.empty()) names.push_back(AnsiUpperCase(name));
    if (end == String::npos) break;
    start = end + 1;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    TcxPidlPtr child(FindChildByName(folder.get(), names[i], AViewOptions));
    if (!child) continue;
    const bool last = i + 1 == names.size();
    TcxPidlPtr joined(ConcatenatePidls(result.get(), child.get()));
    if (last) return joined.release();
    ULONG attributes = SFGAO_FOLDER;
    LPCITEMIDLIST items[1] = {child.get()};
    TcxShellFolderPtr next;
    if (FAILED(folder->GetAttributesOf(1, items, &attributes)) ||
        !(attributes & SFGAO_FOLDER) ||
        FAILED(folder->BindToObject(child.get(), nullptr, IID_IShellFolder,
                                    next.outVoid())) ||
        !next) {
      return nullptr;
    }
    folder = next;
    result = std::move(joined);
  }
  return nullptr;
}

PItemIDList PathToAbsolutePIDL(const String& APath, TcxCustomShellRoot* ARoot,
                               TcxShellViewOptions AViewOptions,
                               bool ACheckSubPath) {
  CheckShellRoot(ARoot);
  if (!ARoot || !ARoot->Pidl()) return nullptr;
  if (APath.empty()) return GetPidlCopy(ARoot->Pidl());
  String path = AnsiUpperCase(APath);
  const String rootPath = AnsiUpperCase(GetPidlName(ARoot->Pidl()));
  TcxPidlPtr result;
  switch (CheckShellObjectPath(path, rootPath, false)) {
    case sptRelativePhysical: {
      TcxPidlPtr relative(InternalParseDisplayName(
          ARoot->ShellFolder(), AnsiToWide(path), AViewOptions));
      if (relative) {
        result.reset(ConcatenatePidls(ARoot->Pidl(), relative.get()));
        break;
      }
      for (const TcxSpecialFolderInfo& info : SpecialFolderTable()) {
        if (info.Pidl && info.UpperDisplayName == path &&
            CheckViewOptions(AViewOptions, info.Attributes)) {
          result.reset(GetPidlCopy(info.Pidl.get()));
          break;
        }
      }
      break;
    }
    case sptInternalAbsoluteVirtual:
    case sptInternalRelativeVirtual:
      result.reset(
          ShellObjectInternalVirtualPathToPIDL(path, ARoot, AViewOptions));
      break;
    case sptIncorrect:
      return nullptr;
    default: {
      TcxShellFolderPtr desktop = GetDesktopIShellFolder();
      result.reset(InternalParseDisplayName(desktop.get(), AnsiToWide(path),
                                            AViewOptions));
      break;
    }
  }
  if (ACheckSubPath && result &&
      !IsPidlUnder(ARoot->Pidl(), result.get(),
                   GetDesktopIShellFolder().get())) {
    return nullptr;
  }
  return result.release();
}

bool CheckShellObjectExistence(PItemIDList APidl) {
  SHFILEINFOW info{};
  if (!APidl || ::SHGetFileInfoW(
                    reinterpret_cast<LPCWSTR>(APidl), 0, &info, sizeof(info),
                    SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) == 0) {
    return false;
  }
  // The shell describes a file-system id from the id alone, also when the
  // file is gone: the disk has the last word.
  const String path = GetPidlName(APidl);
  return path.empty() || ::GetFileAttributesW(AsWChar(AnsiToWide(path))) !=
                             INVALID_FILE_ATTRIBUTES;
}

bool CheckAbsolutePIDL(PItemIDList& APidl, TcxCustomShellRoot* ARoot,
                       bool ACheckExistence, bool ACheckSubPath) {
  CheckShellRoot(ARoot);
  if (!APidl) {
    APidl = ARoot ? ARoot->Pidl() : nullptr;
    return APidl != nullptr;
  }
  if (ACheckSubPath &&
      (!ARoot ||
       !IsPidlUnder(ARoot->Pidl(), APidl, GetDesktopIShellFolder().get()))) {
    return false;
  }
  return !ACheckExistence || CheckShellObjectExistence(APidl);
}

String cxShellPathToEditValue(const String& APath, const String& ARootPath,
                              bool AStoreRelativePath) {
  if (!AStoreRelativePath || ARootPath.empty() || APath.empty()) return APath;
  String root = ARootPath;
  if (root.back() != '\\') root += '\\';
  String path = APath;
  if (path.back() != '\\') path += '\\';
  if (path.size() < root.size() ||
      AnsiUpperCase(path.substr(0, root.size())) != AnsiUpperCase(root)) {
    return APath;
  }
  String rest = path.substr(root.size());
  if (!rest.empty()) rest.pop_back();
  return rest;
}

// ---------------------------------------------------------------------------
// TcxInnerShellListView
// ---------------------------------------------------------------------------

TcxCustomShellListView* TcxInnerShellListView::ShellContainer() const {
  return dynamic_cast<TcxCustomShellListView*>(Container());
}

bool TcxInnerShellListView::DoCompare(TcxShellFolder* AFolder1,
                                      TcxShellFolder* AFolder2,
                                      Integer& ACompare) {
  TcxCustomShellListView* container = ShellContainer();
  if (!container || !container->OnCompare) {
    return TcxCustomInnerShellListView::DoCompare(AFolder1, AFolder2, ACompare);
  }
  container->OnCompare(container, AFolder1, AFolder2, ACompare);
  return true;
}

// ---------------------------------------------------------------------------
// TcxCustomShellListView
// ---------------------------------------------------------------------------

TcxCustomShellListView::TcxCustomShellListView(TComponent* AOwner)
    : TcxCustomListView(AOwner, TcxInnerShellListView::StaticClass()) {
  TcxInnerShellListView* inner = InnerShellListView();
  inner->OnBeforeNavigation = TcxNavigationEvent(
      this, &TcxCustomShellListView::BeforeNavigationHandler);
  inner->OnAddFolder =
      TcxShellAddFolderEvent(this, &TcxCustomShellListView::AddFolderHandler);
  inner->OnShellChange =
      TcxShellChangeEvent(this, &TcxCustomShellListView::ShellChangeHandler);
  inner->OnRootChanged = TcxRootChangedEvent(
      this, &TcxCustomShellListView::CurrentFolderChangedHandler);
  SetBounds(Left(), Top(), 250, 150);
}

TcxCustomShellListView::~TcxCustomShellListView() = default;

TcxInnerShellListView* TcxCustomShellListView::InnerShellListView() const {
  return static_cast<TcxInnerShellListView*>(InnerListView());
}

void TcxCustomShellListView::SetViewStyle(TViewStyle Value) {
  static constexpr TcxListViewStyle kStyles[] = {lvsIcon, lvsSmallIcon, lvsList,
                                                 lvsReport};
  InnerShellListView()->SetListViewStyle(kStyles[Value]);
  SetScrollBarsParameters(false);
}

PItemIDList TcxCustomShellListView::AbsolutePIDL() const {
  return GetPidlCopy(Root()->Pidl());
}

void TcxCustomShellListView::SetAbsolutePIDL(PItemIDList Value) {
  PItemIDList pidl = Value;
  if (!CheckAbsolutePIDL(pidl, Root(), true, false)) return;
  TcxPidlPtr copy(GetPidlCopy(pidl));
  ProcessTreeViewNavigate(copy.get());
}

String TcxCustomShellListView::Path() const {
  return GetPidlName(Root()->Pidl());
}

void TcxCustomShellListView::SetPath(const String& Value) {
  TcxCustomInnerShellListView* inner = InnerShellListView();
  if (!inner->HandleAllocated()) return;
  TcxPidlPtr pidl(
      PathToAbsolutePIDL(Value, Root(), GetViewOptions(true), false));
  if (!pidl) return;
  inner->ProcessTreeViewNavigate(pidl.get());
  inner->DoNavigateTreeView();
}

TcxShellViewOptions TcxCustomShellListView::GetViewOptions(
    bool AForPath) const {
  if (AForPath) return TcxShellViewOptions{svoShowFolders, svoShowHidden};
  TcxShellViewOptions options;
  if (Options()->ShowNonFolders()) options.Include(svoShowFiles);
  if (Options()->ShowFolders()) options.Include(svoShowFolders);
  if (Options()->ShowHidden()) options.Include(svoShowHidden);
  return options;
}

void TcxCustomShellListView::SetFocus() {
  if (ComponentState().Contains(csDesigning)) return;
  TcxCustomListView::SetFocus();
}

void TcxCustomShellListView::CurrentFolderChangedHandler(TObject*,
                                                         TcxCustomShellRoot*) {
  TScopeGuard recalc([this] { SetScrollBarsParameters(false); });
  if (OnCurrentFolderChanged) OnCurrentFolderChanged(this);
}

void TcxCustomShellListView::BeforeNavigationHandler(
    TcxCustomInnerShellListView*, PItemIDList APidl, const WideString&) {
  if (OnBeforeNavigation) OnBeforeNavigation(this, APidl);
}

void TcxCustomShellListView::AddFolderHandler(TObject*, TcxShellFolder* AFolder,
                                              bool& ACanAdd) {
  if (OnAddFolder) OnAddFolder(this, AFolder, ACanAdd);
}

void TcxCustomShellListView::ShellChangeHandler(TObject*, Integer AEventID,
                                                PItemIDList P1,
                                                PItemIDList P2) {
  if (OnShellChange) OnShellChange(this, AEventID, P1, P2);
}
