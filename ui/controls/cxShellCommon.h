// The shell controls' common ground: item identifier lists (PIDLs), shell
// folders and items, report columns, roots, options, the item producer that
// enumerates one folder, the background fetcher that completes items, and
// the registration for the shell's change notifications.
#pragma once

#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Handles.h"
#include "SysUtils.h"
#include "WinApi.h"
#include "cxControls.h"

using PItemIDList = LPITEMIDLIST;

// ---------------------------------------------------------------------------
// COM references
// ---------------------------------------------------------------------------

// One counted reference to a system COM object; released once.
template <class I>
class TcxComPtr {
 public:
  TcxComPtr() noexcept = default;
  // Takes over a reference the caller already holds.
  explicit TcxComPtr(I* Value) noexcept : ptr_(Value) {}
  TcxComPtr(const TcxComPtr& Other) noexcept : ptr_(Other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  TcxComPtr(TcxComPtr&& Other) noexcept : ptr_(Other.ptr_) {
    Other.ptr_ = nullptr;
  }
  TcxComPtr& operator=(TcxComPtr Other) noexcept {
    std::swap(ptr_, Other.ptr_);
    return *this;
  }
  ~TcxComPtr() { reset(); }

  I* get() const noexcept { return ptr_; }
  I* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  void reset() noexcept {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }
  // For API calls that hand a new reference out through a pointer.
  I** out() noexcept {
    reset();
    return &ptr_;
  }
  void** outVoid() noexcept { return reinterpret_cast<void**>(out()); }
  // A second reference for the caller.
  static TcxComPtr Share(I* Value) noexcept {
    if (Value) Value->AddRef();
    return TcxComPtr(Value);
  }
  template <class J>
  TcxComPtr<J> Query(REFIID Iid) const noexcept {
    TcxComPtr<J> result;
    if (ptr_) ptr_->QueryInterface(Iid, result.outVoid());
    return result;
  }

 private:
  I* ptr_ = nullptr;
};

using TcxShellFolderPtr = TcxComPtr<IShellFolder>;

// ---------------------------------------------------------------------------
// Item identifier lists
// ---------------------------------------------------------------------------

// The shell's task allocator, obtained once and kept until shut-down.
IMalloc* cxMalloc();

Integer GetPidlSize(PItemIDList APidl);
PItemIDList GetNextItemID(PItemIDList APidl);
// -1 when more than 260 ids follow one another.
Integer GetPidlItemsCount(PItemIDList APidl);
PItemIDList GetLastPidlItem(PItemIDList APidl);
PItemIDList GetPidlCopy(PItemIDList APidl);
PItemIDList GetPidlParent(PItemIDList APidl);
PItemIDList ConcatenatePidls(PItemIDList APidl1, PItemIDList APidl2);
PItemIDList ExtractParticularPidl(PItemIDList APidl);
PItemIDList CreateEmptyPidl();
bool EqualPIDLs(PItemIDList APidl1, PItemIDList APidl2);
// A byte prefix test (see IsPidlUnder for the id-by-id test).
bool IsSubPath(PItemIDList AParent, PItemIDList AChild);
// Whether the child's first ids are AParent's, compared id by id: by bytes,
// and, when they differ and ADesktop is given, by the shell (ids of one
// object made by different calls may differ in their bytes).
bool IsPidlUnder(PItemIDList AParent, PItemIDList AChild,
                 IShellFolder* ADesktop = nullptr);
void DisposePidl(PItemIDList APidl);
String GetPidlName(PItemIDList APidl);

// An owned PIDL, freed through the task allocator.
struct TcxPidlDeleter {
  void operator()(ITEMIDLIST* APidl) const noexcept { DisposePidl(APidl); }
};
using TcxPidlPtr = std::unique_ptr<ITEMIDLIST, TcxPidlDeleter>;

// ---------------------------------------------------------------------------
// Shell routines
// ---------------------------------------------------------------------------

VARNEL_EXCEPTION(EOleError, Exception)
VARNEL_EXCEPTION(EOleSysError, EOleError)
// Raises EOleSysError with the system's text for a failing result.
void OleCheck(HRESULT AResult);

TcxShellFolderPtr GetDesktopIShellFolder();
WideString GetTextFromStrRet(STRRET& AStrRet, PItemIDList APidl);
WideString GetShellItemDisplayName(IShellFolder* AFolder, PItemIDList APidl,
                                   DWORD AFlags = SHGDN_INFOLDER);
HRESULT GetShellDetails(IShellFolder* AFolder, PItemIDList APidl,
                        TcxComPtr<IShellDetails>& ADetails);
bool HasSubItems(IShellFolder* AFolder, PItemIDList APidl, DWORD AEnumFlags);
double cxFileTimeToDateTime(FILETIME AFileTime);
// A file size as whole kilobytes, rounded up, in groups of three ("1 234 KB").
String cxFormatFileSizeKB(unsigned long long ASize);
void DisplayContextMenu(HWND AWnd, IShellFolder* AFolder,
                        const std::vector<PItemIDList>& APidls,
                        const TPoint& AScreenPos);
// Case conversion of wide text in the full character set.
WideString UpperCaseW(const WideString& S);
WideString LowerCaseW(const WideString& S);
Integer StrLenW(const wchar_t* S);
WideString StrPasW(const wchar_t* S);
wchar_t* StrPLCopyW(wchar_t* Dest, const WideString& Source, Integer MaxLen);
String WideToAnsi(const WideString& S);
WideString AnsiToWide(const String& S);
inline const wchar_t* AsWChar(const WideString& S) {
  return reinterpret_cast<const wchar_t*>(S.c_str());
}

class TcxCustomShellRoot;
void CheckShellRoot(TcxCustomShellRoot* ARoot);

// The system image list indexes of a generic file, folder and open folder
// (-1 until looked up).
Integer cxShellGenericFileIcon();
Integer cxShellGenericFolderIcon();
Integer cxShellGenericOpenFolderIcon();

// ---------------------------------------------------------------------------
// Shell folder
// ---------------------------------------------------------------------------

enum TcxShellFolderAttribute : Byte {
  sfaGhosted,
  sfaHidden,
  sfaIsSlow,
  sfaLink,
  sfaReadOnly,
  sfaShare
};
using TcxShellFolderAttributes = TSet<TcxShellFolderAttribute>;
enum TcxShellFolderCapability : Byte {
  sfcCanCopy,
  sfcCanDelete,
  sfcCanLink,
  sfcCanMove,
  sfcCanRename,
  sfcDropTarget,
  sfcHasPropSheet
};
using TcxShellFolderCapabilities = TSet<TcxShellFolderCapability>;
enum TcxShellFolderProperty : Byte {
  sfpBrowsable,
  sfpCompressed,
  sfpEncrypted,
  sfpNewContent,
  sfpNonEnumerated,
  sfpRemovable
};
using TcxShellFolderProperties = TSet<TcxShellFolderProperty>;
enum TcxShellFolderStorageCapability : Byte {
  sfscFileSysAncestor,
  sfscFileSystem,
  sfscFolder,
  sfscLink,
  sfscReadOnly,
  sfscStorage,
  sfscStorageAncestor,
  sfscStream
};
using TcxShellFolderStorageCapabilities = TSet<TcxShellFolderStorageCapability>;

// One namespace object, on an absolute PIDL that its owner keeps alive.
class TcxShellFolder : public TObject {
  VARNEL_CLASS(TcxShellFolder, TObject)
 public:
  explicit TcxShellFolder(PItemIDList AAbsolutePIDL);
  ~TcxShellFolder() override;

  PItemIDList AbsolutePIDL() const { return absolutePIDL_; }
  PItemIDList RelativePIDL() const { return relativePIDL_.get(); }
  IShellFolder* ParentShellFolder() const { return parentFolder_.get(); }

  TcxShellFolderAttributes GetAttributes();
  TcxShellFolderCapabilities GetCapabilities();
  TcxShellFolderProperties GetProperties();
  TcxShellFolderStorageCapabilities GetStorageCapabilities();
  bool GetIsFolder();
  bool GetSubFolders();
  ULONG GetShellAttributes(ULONG AMask);
  bool HasShellAttribute(ULONG AMask);
  WideString GetDisplayName();
  WideString GetPathName();
  TcxShellFolderPtr GetShellFolder();

 private:
  PItemIDList absolutePIDL_;
  TcxShellFolderPtr parentFolder_;
  TcxPidlPtr relativePIDL_;
};

// ---------------------------------------------------------------------------
// Report columns
// ---------------------------------------------------------------------------

struct TcxDetailItem {
  String Text;
  Integer Width = 0;
  TAlignment Alignment = taLeftJustify;
  Integer ID = 0;
};

class TcxShellDetails : public TObject {
  VARNEL_CLASS(TcxShellDetails, TObject)
 public:
  TcxDetailItem& Add();
  void Remove(Integer AIndex);
  void Clear() { items_.clear(); }
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  const TcxDetailItem& GetItems(Integer AIndex) const {
    return items_.at(AIndex);
  }
  void ProcessDetails(Integer ACharWidth, IShellFolder* AFolder,
                      bool AIsFileSystem);

 private:
  std::vector<TcxDetailItem> items_;
};

// ---------------------------------------------------------------------------
// Item info
// ---------------------------------------------------------------------------

// One enumerated child of a folder, as a producer holds it.
class TcxShellItemInfo : public TObject {
  VARNEL_CLASS(TcxShellItemInfo, TObject)
 public:
  TcxShellItemInfo(IShellFolder* AParentFolder, PItemIDList AParentFolderPidl,
                   PItemIDList APidl, bool AFast);
  ~TcxShellItemInfo() override;

  void CheckInitialize(IShellFolder* AFolder, PItemIDList APidl);
  void CheckUpdate(IShellFolder* AFolder, PItemIDList AParentFolderPidl,
                   bool AFast);
  void CheckSubitems(IShellFolder* AFolder, DWORD AEnumFlags);
  void FetchDetails(HWND AWnd, IShellFolder* AFolder,
                    const TcxShellDetails& ADetails);
  // After a rename: the item takes the new id and is completed again.
  void SetNewPidl(IShellFolder* AFolder, PItemIDList AParentFolderPidl,
                  PItemIDList ANewPidl);
  // 1 for a link, 0 for a share, -1 otherwise.
  Integer OverlayIndex() const;

  // Fields that the producer's lock guards.
  bool CanRename = false;
  TStringList* Details() const { return details_.get(); }
  TcxShellFolder* Folder() const { return folder_.get(); }
  PItemIDList FullPIDL() const { return fullPIDL_.get(); }
  bool HasSubfolder = false;
  Integer IconIndex = -1;
  bool Initialized = false;
  bool IsDropTarget = false;
  bool IsFilesystem = false;
  bool IsFolder = false;
  bool IsHidden = false;
  bool IsLink = false;
  bool IsRemovable = false;
  bool IsShare = false;
  WideString Name;
  Integer OpenIconIndex = -1;
  PItemIDList Pidl() const { return pidl_.get(); }
  std::atomic<bool> Updated{false};
  std::atomic<bool> Updating{false};

 private:
  void SetFullPidl(PItemIDList AParentFolderPidl);
  TObjectPtr<TStringList> details_;
  TObjectPtr<TcxShellFolder> folder_;
  TcxPidlPtr fullPIDL_;
  TcxPidlPtr pidl_;
};

// ---------------------------------------------------------------------------
// Roots, options, drag and drop settings
// ---------------------------------------------------------------------------

enum TcxBrowseFolder : Byte {
  bfCustomPath,
  bfAltStartup,
  bfBitBucket,
  bfCommonDesktopDirectory,
  bfCommonDocuments,
  bfCommonFavorites,
  bfCommonPrograms,
  bfCommonStartMenu,
  bfCommonStartup,
  bfCommonTemplates,
  bfControls,
  bfDesktop,
  bfDesktopDirectory,
  bfDrives,
  bfPrinters,
  bfFavorites,
  bfFonts,
  bfHistory,
  bfMyMusic,
  bfMyPictures,
  bfNetHood,
  bfProfile,
  bfProgramFiles,
  bfPrograms,
  bfRecent,
  bfStartMenu,
  bfStartUp,
  bfTemplates
};
// The CSIDL of a browse folder (-1 for bfCustomPath).
Integer cxBrowseFolderCSIDL(TcxBrowseFolder AFolder);

class TcxCustomShellRoot;
using TcxRootChangedEvent =
    TClosure<void(TObject* Sender, TcxCustomShellRoot* Root)>;

// The root folder of a control: a special folder or a custom path.
class TcxCustomShellRoot : public TPersistent {
  VARNEL_CLASS(TcxCustomShellRoot, TPersistent)
 public:
  TcxCustomShellRoot(TPersistent* AOwner, HWND AParentWindow);
  ~TcxCustomShellRoot() override;

  void Assign(TPersistent* Source) override;
  virtual void CheckRoot();
  void SetPidl(PItemIDList APidl);
  void Update(TcxCustomShellRoot* ASource);
  WideString GetCurrentPath();

  TcxBrowseFolder BrowseFolder() const { return browseFolder_; }
  void SetBrowseFolder(TcxBrowseFolder Value);
  const WideString& CustomPath() const { return customPath_; }
  void SetCustomPath(const WideString& Value);

  PItemIDList Pidl() const { return pidl_.get(); }
  IShellFolder* ShellFolder() const { return shellFolder_.get(); }
  bool IsValid() const { return valid_; }
  ULONG Attributes() const { return attributes_; }
  TcxShellFolder* Folder() const { return folder_.get(); }
  TPersistent* Owner() const { return owner_; }
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND Value) { parentWindow_ = Value; }
  bool Updating() const { return updating_; }

  TNotifyEvent OnSettingsChanged;

 protected:
  virtual void RootUpdated();
  void DoSettingsChanged();

 private:
  template <class Change>
  void ChangeWithRollBack(Change&& AChange);
  void UpdateFolder();

  TPersistent* owner_;
  HWND parentWindow_;
  TcxBrowseFolder browseFolder_ = bfDesktop;
  WideString customPath_;
  TcxShellFolderPtr shellFolder_;
  TcxPidlPtr pidl_;
  bool valid_ = false;
  ULONG attributes_ = 0;
  TObjectPtr<TcxShellFolder> folder_;
  bool checking_ = false;
  Integer rootChanging_ = 0;
  bool updating_ = false;
};

class TcxShellOptions : public TPersistent {
  VARNEL_CLASS(TcxShellOptions, TPersistent)
 public:
  explicit TcxShellOptions(TWinControl* AOwner) : owner_(AOwner) {}
  void Assign(TPersistent* Source) override;
  DWORD GetEnumFlags() const;
  void NotifyUpdateContents();

  bool ShowFolders() const { return showFolders_; }
  void SetShowFolders(bool Value);
  bool ShowNonFolders() const { return showNonFolders_; }
  void SetShowNonFolders(bool Value);
  bool ShowHidden() const { return showHidden_; }
  void SetShowHidden(bool Value);
  bool ShowToolTip() const { return showToolTip_; }
  void SetShowToolTip(bool Value);
  bool ContextMenus = true;
  bool TrackShellChanges = true;

  TNotifyEvent OnShowToolTipChanged;

 private:
  TWinControl* owner_;
  bool showFolders_ = true;
  bool showNonFolders_ = true;
  bool showHidden_ = false;
  bool showToolTip_ = true;
};

class TcxShellTreeViewOptions : public TcxShellOptions {
  VARNEL_CLASS(TcxShellTreeViewOptions, TcxShellOptions)
 public:
  using TcxShellOptions::TcxShellOptions;
};

enum TcxDropEffect : Byte { deCopy, deMove, deLink };
using TcxDropEffectSet = TSet<TcxDropEffect>;

class TcxDragDropSettings : public TPersistent {
  VARNEL_CLASS(TcxDragDropSettings, TPersistent)
 public:
  TcxDragDropSettings() = default;
  void Assign(TPersistent* Source) override;
  bool AllowDragObjects() const { return allowDragObjects_; }
  void SetAllowDragObjects(bool Value);
  DWORD GetDefaultDropEffectAPI() const;
  DWORD GetDropEffectAPI() const;
  TcxDropEffect DefaultDropEffect = deMove;
  TcxDropEffectSet DropEffect{deCopy, deMove, deLink};
  bool Scroll = false;
  TNotifyEvent OnChange;

 private:
  bool allowDragObjects_ = true;
};

// ---------------------------------------------------------------------------
// Private messages between producers, fetchers and controls
// ---------------------------------------------------------------------------

constexpr UINT DSM_SETCOUNT = 0xB13B;
constexpr UINT DSM_NOTIFYUPDATE = 0xB13C;
constexpr UINT DSM_NOTIFYREMOVEITEM = 0xB13E;
constexpr UINT DSM_NOTIFYADDITEM = 0xB13F;
constexpr UINT DSM_NOTIFYUPDATECONTENTS = 0xB140;
constexpr UINT DSM_SHELLCHANGENOTIFY = 0xB141;
constexpr UINT DSM_DONAVIGATE = 0xB142;
constexpr UINT DSM_SYNCHRONIZEROOT = 0xB143;
constexpr UINT DSM_SHELLTREECHANGENOTIFY = 0xB144;
constexpr UINT DSM_SHELLTREERESTORECURRENTPATH = 0xB145;

// ---------------------------------------------------------------------------
// Item producer and background fetcher
// ---------------------------------------------------------------------------

class TcxShellItemsInfoGatherer;
class TcxCustomItemProducer;

struct TcxRequestItem {
  Integer ItemIndex = 0;
  TcxCustomItemProducer* ItemProducer = nullptr;
  bool Taken = false;
  bool Priority = false;
};

// Enumerates one folder into a sorted list of items. A descendant's
// destructor clears its requests from the fetch queue (ClearFetchQueue).
class TcxCustomItemProducer : public TObject {
  VARNEL_CLASS(TcxCustomItemProducer, TObject)
 public:
  explicit TcxCustomItemProducer(TWinControl* AOwner);
  ~TcxCustomItemProducer() override;

  void ClearItems();
  // Names the folder without enumerating it (a node not yet expanded).
  void SetFolderPidl(PItemIDList APidl);
  virtual void ProcessItems(IShellFolder* AFolder, PItemIDList AFolderPidl,
                            Integer APreloadItemCount);
  void FetchItems(Integer APreloadItemCount);
  void RequestItemsInfo();
  void FetchRequest(Integer AIndex, bool APriority = false);
  void ClearFetchQueue();
  TcxShellItemInfo* GetItemByPidl(PItemIDList APidl);
  Integer GetItemIndexByPidl(PItemIDList APidl);
  void DoGetInfoTip(HWND AHandle, Integer AIndex, char* AInfoTip,
                    Integer AMaxLen);

  void LockRead() { lock_.lock_shared(); }
  void UnlockRead() { lock_.unlock_shared(); }
  void LockWrite() { lock_.lock(); }
  void UnlockWrite() { lock_.unlock(); }

  // Under the read lock (or on the thread that holds the write lock).
  Integer ItemCount() const { return static_cast<Integer>(items_.size()); }
  TcxShellItemInfo* Item(Integer AIndex) const { return items_[AIndex]; }
  IShellFolder* ShellFolder() const { return shellFolder_.get(); }
  PItemIDList FolderPidl() const { return folderPidl_.get(); }
  TcxShellDetails* Details() const { return details_.get(); }
  TWinControl* Owner() const { return owner_; }

  // Used by the fetch thread and by subclasses.
  virtual bool AllowBackgroundProcessing() = 0;
  virtual bool CanAddFolder(TcxShellFolder*) { return true; }
  virtual bool DoCompareItems(TcxShellFolder*, TcxShellFolder*, Integer&) {
    return false;
  }
  virtual DWORD GetEnumFlags() = 0;
  virtual TcxShellItemsInfoGatherer* GetItemsInfoGatherer() = 0;
  virtual bool GetShowToolTip() = 0;
  virtual void InitializeItem(TcxShellItemInfo*) {}
  // AFolder: the producer's folder as the calling thread bound it.
  virtual void CheckForSubitems(TcxShellItemInfo*, IShellFolder* /*AFolder*/) {}
  virtual void NotifyUpdateItem(const TcxRequestItem& ARequest) = 0;

 protected:
  virtual void ProcessDetails(IShellFolder* AFolder, Integer ACharWidth);
  virtual void SetItemsCount(Integer ACount);
  virtual void NotifyRemoveItem(Integer AIndex);
  virtual void NotifyAddItem(Integer AIndex);
  // Sends the owner's window a message, when it has one.
  void SendToOwner(UINT AMessage, Integer AValue, LPARAM ALParam);
  // Sorts items of AFolder (folders first, then the folder's order);
  // AWithEvents asks DoCompareItems first.
  void SortItems(std::vector<TcxShellItemInfo*>& AItems, IShellFolder* AFolder,
                 bool AWithEvents);
  // Enumerates AFolder into new items (none when it cannot be enumerated).
  bool EnumerateItems(std::vector<TObjectPtr<TcxShellItemInfo>>& AItems,
                      bool ACheckAddFolder, Integer* APreloadItemCount);

  std::vector<TcxShellItemInfo*> items_;  // owned

 private:
  TWinControl* owner_;
  std::shared_mutex lock_;
  TcxShellFolderPtr shellFolder_;
  TcxPidlPtr folderPidl_;
  TObjectPtr<TcxShellDetails> details_;
};

// One background thread per control that completes items.
class TcxShellItemsInfoGatherer : public TObject {
  VARNEL_CLASS(TcxShellItemsInfoGatherer, TObject)
 public:
  explicit TcxShellItemsInfoGatherer(TWinControl* AOwner);
  ~TcxShellItemsInfoGatherer() override;

  void StopFetch();
  void ResumeFetch();
  void RequestItemInfo(TcxCustomItemProducer* AProducer, Integer AIndex,
                       bool APriority);
  // Null clears every request.
  void ClearFetchQueue(TcxCustomItemProducer* AProducer);
  void DestroyFetchThread();

  bool GetIsFetchQueueEmpty();
  bool GetIsFetchStopping() const;
  bool GetIsFetchThreadTerminating() const;
  bool GetIsItemUpdating() const;
  Integer StopCount() const { return stopCount_; }
  bool HasThread() const { return static_cast<bool>(thread_); }
  // A copy of the queue, head first (for diagnostics and tests).
  std::vector<TcxRequestItem> QueueSnapshot();

 private:
  static DWORD WINAPI ShellFetchThreadProc(void* AParam);
  void ServeQueue(struct TcxFetchThreadContext& AContext);
  void ProcessRequest(TcxRequestItem& ARequest,
                      struct TcxFetchThreadContext& AContext);
  void CreateFetchThread();
  void TerminateFetchThread();
  static Integer GetFetchQueueItemIndex(TList* AQueue,
                                        TcxCustomItemProducer* AProducer,
                                        Integer AIndex);
  TWinControl* owner_;
  TObjectPtr<TThreadList> queue_;
  THandle thread_;
  Integer stopCount_ = 0;
  bool clearing_ = false;
  THandle stopRequest_;
  THandle stopped_;
  THandle terminate_;
  THandle itemUpdating_;
};

// ---------------------------------------------------------------------------
// Change notification
// ---------------------------------------------------------------------------

struct TcxShellChangeNotifierData {
  ULONG Handle = 0;
  TcxPidlPtr Pidl;
};

// False when the shell refused the registration; the PIDL is then not
// kept, so that the next call for it tries again.
bool RegisterShellChangeNotifier(PItemIDList APidl, HWND AWnd, UINT AMessage,
                                 bool ARecursive,
                                 TcxShellChangeNotifierData& AData);
void UnregisterShellChangeNotifier(TcxShellChangeNotifierData& AData);

using TcxShellChangeEvent = TClosure<void(
    TObject* Sender, Integer AEventID, PItemIDList APIDL1, PItemIDList APIDL2)>;
using TcxShellAddFolderEvent =
    TClosure<void(TObject* Sender, TcxShellFolder* AFolder, bool& ACanAdd)>;

// ---------------------------------------------------------------------------
// Drop source and context-menu window
// ---------------------------------------------------------------------------

// A COM object of one interface, counted; it frees itself with its last
// reference (made with a count of 0, so the first owner shares it).
template <class I, const IID& Iid>
class TcxComObject : public I {
 public:
  virtual ~TcxComObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIid, void** Obj) override {
    if (!Obj) return E_POINTER;
    if (IsEqualIID(AIid, IID_IUnknown) || IsEqualIID(AIid, Iid)) {
      *Obj = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG count = --refCount_;
    if (count == 0) delete this;  // the COM contract's own ownership
    return count;
  }

 private:
  std::atomic<ULONG> refCount_{0};
};

class TcxDropSource : public TcxComObject<IDropSource, IID_IDropSource> {
 public:
  explicit TcxDropSource(TWinControl* AOwner) : owner_(AOwner) {}
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL AEscapePressed,
                                              DWORD AKeyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD AEffect) override;
  TWinControl* Owner() const { return owner_; }

 private:
  TWinControl* owner_;
};

// What a shell control tells its drop target: the shell object under a
// point takes the drop.
class IcxShellDropTargetSite {
 public:
  // The shell drop target under the screen point, held by the site until
  // ReleaseDropTarget; AChanged when it is not the one of the last call.
  virtual IDropTarget* GetDropTarget(const POINT& AScreenPos,
                                     bool& AChanged) = 0;
  // Forgets the held target; ALeave tells it the drag left (not after a
  // drop, which ended the drag for it already).
  virtual void ReleaseDropTarget(bool ALeave) = 0;
  // The drop effect offered first, before the target answers.
  virtual DWORD GetDefaultDropEffect() = 0;
  // After a drop on the held target (before it is released).
  virtual void DropDone() {}

 protected:
  ~IcxShellDropTargetSite() = default;
};

// The OLE drop target a shell control registers: it hands each call on to
// the shell object under the cursor, which the site finds.
class TcxShellDropTarget : public TcxComObject<IDropTarget, IID_IDropTarget> {
 public:
  explicit TcxShellDropTarget(IcxShellDropTargetSite* ASite) : site_(ASite) {}
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* ADataObject, DWORD AKeyState,
                                      POINTL APoint, DWORD* AEffect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD AKeyState, POINTL APoint,
                                     DWORD* AEffect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* ADataObject, DWORD AKeyState,
                                 POINTL APoint, DWORD* AEffect) override;

  // The control is going: later calls find no target.
  void Detach() { site_ = nullptr; }
  // Whether a drag is over the control (its data object is held).
  bool Dragging() const { return static_cast<bool>(dataObject_); }

 private:
  // The site's target under the point (none: AEffect is DROPEFFECT_NONE,
  // or AResult holds the failure of a new target's DragEnter with AData).
  IDropTarget* TargetAt(POINTL APoint, IDataObject* AData, DWORD AKeyState,
                        DWORD* AEffect, HRESULT& AResult);

  IcxShellDropTargetSite* site_;
  TcxComPtr<IDataObject> dataObject_;
};

// The drop target of a control: registered with OLE while the control's
// window exists.
class TcxShellDropTargetRegistration {
 public:
  explicit TcxShellDropTargetRegistration(IcxShellDropTargetSite* ASite);
  ~TcxShellDropTargetRegistration();
  TcxShellDropTargetRegistration(const TcxShellDropTargetRegistration&) =
      delete;
  TcxShellDropTargetRegistration& operator=(
      const TcxShellDropTargetRegistration&) = delete;

  void Register(HWND AWnd);
  void Revoke();
  TcxShellDropTarget* Target() const { return target_.get(); }
  bool Dragging() const { return target_->Dragging(); }

 private:
  TcxComPtr<TcxShellDropTarget> target_;
  HWND wnd_ = nullptr;
};

// Runs an OLE drag of the items APidls of AFolder (relative ids); false when
// the folder offers no data object for them.
bool cxShellDoDragDrop(HWND AWnd, IShellFolder* AFolder,
                       const std::vector<PItemIDList>& APidls,
                       TWinControl* AOwner, DWORD AAllowedEffects);

class TcxContextMenuMessageWindow : public TcxMessageWindow {
  VARNEL_CLASS(TcxContextMenuMessageWindow, TcxMessageWindow)
 public:
  explicit TcxContextMenuMessageWindow(IContextMenu2* AMenu)
      : menu_(TcxComPtr<IContextMenu2>::Share(AMenu)) {}

 protected:
  void WndProc(TMessage& Message) override;

 private:
  TcxComPtr<IContextMenu2> menu_;
};
