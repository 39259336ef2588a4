// The shell list view that forms use (the inner shell list inside the list
// view's container, which adds the border, styles, look-and-feel and scroll
// bars), and the path routines of the shell controls: classifying a typed
// path and turning it into an absolute PIDL below a control's root, and the
// table of the system's special folders that lets their display names
// resolve.
#pragma once

#include "cxShellCommon.h"
#include "cxShellControls.h"

enum TcxShellViewOption : Byte { svoShowFiles, svoShowFolders, svoShowHidden };
using TcxShellViewOptions = TSet<TcxShellViewOption>;

enum TcxShellObjectPathType : Byte {
  sptAbsolutePhysical,
  sptIncorrect,
  sptInternalAbsoluteVirtual,
  sptInternalRelativeVirtual,
  sptRelativePhysical,
  sptUNC,
  sptVirtual
};

// The markers of an internal virtual path: names from the desktop, or from
// the control's root.
inline constexpr char kcxShellAbsoluteVirtualPathMarker[] =
    "::{9C211B58-E6F1-456A-9F22-7B3B418A7BB1}";
inline constexpr char kcxShellRelativeVirtualPathMarker[] =
    "::{63BE9ADB-E4B5-4623-96AA-57440B4EF5A8}";

// With AAsPath the file-system path (or the in-folder names joined by "\"
// when there is none); otherwise the plain display name of the last id.
String GetPIDLDisplayName(PItemIDList APidl, bool AAsPath);
// Classifies APath; completes a root- or drive-relative one from
// ACurrentPath, which must begin with a drive letter, ":" and "\".
TcxShellObjectPathType CheckShellObjectPath(String& APath,
                                            const String& ACurrentPath,
                                            bool AAdapt);
bool CheckViewOptions(TcxShellViewOptions AViewOptions, ULONG AAttributes);
// A PIDL relative to AFolder, or none.
PItemIDList InternalParseDisplayName(IShellFolder* AFolder,
                                     const WideString& AName,
                                     TcxShellViewOptions AViewOptions);
// A new absolute PIDL, or none. With ACheckSubPath only a folder below the
// root (compared id by id) is returned.
PItemIDList PathToAbsolutePIDL(const String& APath, TcxCustomShellRoot* ARoot,
                               TcxShellViewOptions AViewOptions,
                               bool ACheckSubPath);
PItemIDList ShellObjectInternalVirtualPathToPIDL(
    const String& APath, TcxCustomShellRoot* ARoot,
    TcxShellViewOptions AViewOptions);
bool CheckShellObjectExistence(PItemIDList APidl);
// No PIDL stands for the root's (lent, not copied).
bool CheckAbsolutePIDL(PItemIDList& APidl, TcxCustomShellRoot* ARoot,
                       bool ACheckExistence, bool ACheckSubPath);

// The value an editor stores for a folder with a file-system path: with
// AStoreRelativePath and a folder at or below the root's folder, the path
// relative to the root ("" for the root itself); otherwise the whole path.
// Below means by whole path components, case-insensitively.
String cxShellPathToEditValue(const String& APath, const String& ARootPath,
                              bool AStoreRelativePath);

// ---------------------------------------------------------------------------
// The shell list view
// ---------------------------------------------------------------------------

class TcxCustomShellListView;

// The inner shell list as the inner control of its container.
class TcxInnerShellListView : public TcxCustomInnerShellListView {
  VARNEL_CLASS(TcxInnerShellListView, TcxCustomInnerShellListView)
 public:
  explicit TcxInnerShellListView(TComponent* AOwner)
      : TcxCustomInnerShellListView(AOwner) {}
  bool DoCompare(TcxShellFolder* AFolder1, TcxShellFolder* AFolder2,
                 Integer& ACompare) override;

 private:
  TcxCustomShellListView* ShellContainer() const;
};

using TcxBeforeNavigationEvent = TClosure<void(TcxCustomShellListView* Sender,
                                               PItemIDList ANewAbsolutePIDL)>;
using TcxCurrentFolderChangedEvent =
    TClosure<void(TcxCustomShellListView* Sender)>;

class TcxCustomShellListView : public TcxCustomListView {
  VARNEL_CLASS(TcxCustomShellListView, TcxCustomListView)
 public:
  // --- Construction ---
  explicit TcxCustomShellListView(TComponent* AOwner);
  ~TcxCustomShellListView() override;

  // --- Properties ---
  TcxInnerShellListView* InnerShellListView() const;
  TcxShellListRoot* Root() const { return InnerShellListView()->Root(); }
  void SetRoot(TcxShellListRoot* Value) { Root()->Assign(Value); }
  TcxShellListViewOptions* Options() const {
    return InnerShellListView()->Options();
  }
  void SetOptions(TcxShellListViewOptions* Value) { Options()->Assign(Value); }
  TcxDragDropSettings* DragDropSettings() const {
    return InnerShellListView()->DragDropSettings();
  }
  void SetDragDropSettings(TcxDragDropSettings* Value) {
    DragDropSettings()->Assign(Value);
  }
  void SetViewStyle(TViewStyle Value) override;

  // A new copy of the current folder's PIDL (the caller disposes it).
  PItemIDList AbsolutePIDL() const;
  void SetAbsolutePIDL(PItemIDList Value);
  // The current folder's file-system path; empty for a virtual folder.
  String Path() const;
  void SetPath(const String& Value);
  TcxShellFolder* Folders(Integer AIndex) const {
    return InnerShellListView()->GetFolder(AIndex);
  }
  Integer FolderCount() const { return InnerShellListView()->GetFolderCount(); }
  PItemIDList GetItemAbsolutePIDL(Integer AIndex) const {
    return InnerShellListView()->GetItemAbsolutePIDL(AIndex);
  }
  TcxShellViewOptions GetViewOptions(bool AForPath) const;

  // --- Methods ---
  void BrowseParent() { InnerShellListView()->BrowseParent(); }
  void UpdateContent() { InnerShellListView()->UpdateContent(); }
  void ProcessTreeViewNavigate(PItemIDList APidl) {
    InnerShellListView()->ProcessTreeViewNavigate(APidl);
  }
  void SetTreeView(TWinControl* AValue) {
    InnerShellListView()->SetTreeView(AValue);
  }
  void SetFocus() override;

  // --- Events ---
  TcxShellAddFolderEvent OnAddFolder;
  TcxBeforeNavigationEvent OnBeforeNavigation;
  TcxShellCompareEvent OnCompare;
  TcxCurrentFolderChangedEvent OnCurrentFolderChanged;
  TcxShellChangeEvent OnShellChange;

 protected:
  virtual void CurrentFolderChangedHandler(TObject* Sender,
                                           TcxCustomShellRoot* Root);

 private:
  void BeforeNavigationHandler(TcxCustomInnerShellListView* Sender,
                               PItemIDList APidl, const WideString& APath);
  void AddFolderHandler(TObject* Sender, TcxShellFolder* AFolder,
                        bool& ACanAdd);
  void ShellChangeHandler(TObject* Sender, Integer AEventID, PItemIDList P1,
                          PItemIDList P2);
};

class TcxShellListView : public TcxCustomShellListView {
  VARNEL_CLASS(TcxShellListView, TcxCustomShellListView)
 public:
  explicit TcxShellListView(TComponent* AOwner)
      : TcxCustomShellListView(AOwner) {}
};
