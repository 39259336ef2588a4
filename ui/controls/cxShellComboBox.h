// The shell combo box: an editor for choosing a shell folder. Its text
// shows the folder's small icon and name, its drop-down is a shell tree, and
// the user may also type a path. The edit value names the folder: a path
// relative to the root's folder, a file-system path, or an internal virtual
// path for folders that have none. Linked to a shell list view and a shell
// tree view, all three show the same folder.
#pragma once

#include "cxDropDownEdit.h"
#include "cxFilterControlUtils.h"
#include "cxShellListView.h"
#include "cxShellTreeView.h"

class TcxCustomShellComboBox;
class TcxCustomShellComboBoxProperties;

enum TcxShellComboBoxShowFullPath : Byte { sfpNever, sfpAlways, sfpNotFocused };

enum TcxPopupShellTreeViewOption : Byte {
  tvoContextMenus,
  tvoHotTrack,
  tvoShowButtons,
  tvoShowInfoTips,
  tvoShowLines,
  tvoShowRoot,
  tvoShowToolTip,
  tvoRightClickSelect
};
using TcxPopupShellTreeViewOptions = TSet<TcxPopupShellTreeViewOption>;

enum TcxShellComboBoxViewOption : Byte { scvoShowFiles, scvoShowHidden };
using TcxShellComboBoxViewOptions = TSet<TcxShellComboBoxViewOption>;

// The small system image list that the editors draw their icons from; the
// system owns it.
HIMAGELIST cxShellComboBoxImageList();

// ---------------------------------------------------------------------------
// Root and properties
// ---------------------------------------------------------------------------

class TcxShellComboBoxRoot : public TcxCustomShellRoot {
  VARNEL_CLASS(TcxShellComboBoxRoot, TcxCustomShellRoot)
 public:
  TcxShellComboBoxRoot(TcxCustomShellComboBoxProperties* AOwner,
                       HWND AParentWindow);
  // Raised after every change of the resolved root.
  TNotifyEvent OnChange;

 protected:
  void RootUpdated() override;
};

// What an edit value shows: the text, and the icon and overlay (-1: none).
struct TcxShellDisplayValue {
  String Text;
  Integer IconIndex = -1;
  Integer OverlayIndex = -1;
};

class TcxCustomShellComboBoxProperties : public TcxCustomPopupEditProperties {
  VARNEL_CLASS(TcxCustomShellComboBoxProperties, TcxCustomPopupEditProperties)
 public:
  // --- Construction ---
  explicit TcxCustomShellComboBoxProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomShellComboBoxProperties() override;
  void Assign(TPersistent* Source) override;

  // --- Properties ---
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }
  bool FastSearch() const { return fastSearch_; }
  void SetFastSearch(bool Value);
  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool Value);
  TcxShellComboBoxRoot* Root() const { return root_.get(); }
  void SetRoot(TcxShellComboBoxRoot* Value) { root_->Assign(Value); }
  TcxShellComboBoxShowFullPath ShowFullPath() const { return showFullPath_; }
  void SetShowFullPath(TcxShellComboBoxShowFullPath Value);
  bool StoreRelativePath() const { return storeRelativePath_; }
  void SetStoreRelativePath(bool Value);
  TcxPopupShellTreeViewOptions TreeViewOptions() const {
    return treeViewOptions_;
  }
  void SetTreeViewOptions(TcxPopupShellTreeViewOptions Value);
  TcxShellComboBoxViewOptions ViewOptions() const { return viewOptions_; }
  void SetViewOptions(TcxShellComboBoxViewOptions Value);

  TcxShellAddFolderEvent OnAddFolder;
  // The root's settings changed (sender: these properties); an editor
  // passes it on to its linked controls.
  TNotifyEvent OnRootSettingsChanged;

  // --- Methods ---
  TcxShellViewOptions GetShellViewOptions() const;
  // The text, icon and overlay an edit value shows.
  TcxShellDisplayValue GetShellDisplayValue(const Variant& AEditValue,
                                            bool AFocused);
  // Whether the text shows the whole path.
  bool ShowsFullPath(bool AFocused) const {
    return showFullPath_ == sfpAlways ||
           (showFullPath_ == sfpNotFocused && !AFocused);
  }
  // Resolves the root when it has no folder yet.
  void CheckRoot();

  // --- Overridables ---
  // A new absolute PIDL of the folder the value names, or none.
  virtual PItemIDList EditValueToPIDL(const Variant& AEditValue);
  virtual void RootChanged() { Changed(); }

  // --- Overrides ---
  bool CompareDisplayValues(const Variant& AEditValue1,
                            const Variant& AEditValue2) override;
  TcxCustomEditClass GetContainerClass() override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsValue; }
  bool IsEditValueValid(Variant&, bool) override { return true; }
  bool UseLookupData() override { return true; }
  bool IsLookupDataVisual() override { return false; }
  TObjectPtr<TcxCustomTextEditLookupData> CreateLookupData(
      TcxCustomTextEdit* AEdit) override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TcxCustomEditPopupWindow* NewPopupWindow(TWinControl* AEdit) override;

 private:
  friend class TcxShellComboBoxRoot;
  void RootSettingsChangedHandler(TObject* Sender);

  bool fastSearch_ = false;
  bool incrementalSearch_ = false;
  TObjectPtr<TcxShellComboBoxRoot> root_;
  TcxShellComboBoxShowFullPath showFullPath_ = sfpNever;
  bool storeRelativePath_ = true;
  TcxPopupShellTreeViewOptions treeViewOptions_{
      tvoContextMenus, tvoHotTrack, tvoShowButtons,
      tvoShowLines,    tvoShowRoot, tvoShowToolTip};
  TcxShellComboBoxViewOptions viewOptions_;
};

class TcxShellComboBoxProperties : public TcxCustomShellComboBoxProperties {
  VARNEL_CLASS(TcxShellComboBoxProperties, TcxCustomShellComboBoxProperties)
 public:
  using TcxCustomShellComboBoxProperties::TcxCustomShellComboBoxProperties;
};

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

class TcxShellComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  VARNEL_CLASS(TcxShellComboBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  void Assign(TObject* Source) override;
  void Offset(Integer DX, Integer DY) override;
  // The icon's rectangle (empty without an image list).
  TRect IconRect() const;

  TPoint IconPosition{};
  Integer IconIndex = -1;
  // 1 for a link, 0 for a share, -1 for none.
  Integer OverlayIndex = -1;

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
};

class TcxShellComboBoxViewData : public TcxCustomTextEditViewData {
  VARNEL_CLASS(TcxShellComboBoxViewData, TcxCustomTextEditViewData)
 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  TRect GetClientExtent(TcxCanvas* ACanvas,
                        TcxCustomEditViewInfo* AViewInfo) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomTextEditViewInfo* AViewInfo) override;
  String InternalEditValueToDisplayText(const Variant& AValue) override;

 protected:
  TSize InternalGetEditConstantPartSize(
      TcxCanvas* ACanvas, bool AIsInplace,
      const TcxEditSizeProperties& AEditSizeProperties, TSize& AMinContentSize,
      TcxCustomEditViewInfo* AViewInfo) override;

 private:
  TcxCustomShellComboBoxProperties* ShellProperties() const {
    return static_cast<TcxCustomShellComboBoxProperties*>(Properties);
  }
  bool EditFocused() const;
};

// ---------------------------------------------------------------------------
// The drop-down
// ---------------------------------------------------------------------------

// Incremental search over the nodes the drop-down tree shows.
class TcxShellComboBoxLookupData : public TcxCustomTextEditLookupData {
  VARNEL_CLASS(TcxShellComboBoxLookupData, TcxCustomTextEditLookupData)
 public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  String GetItem(Integer AIndex) override;
  Integer GetItemCount() override;
  void ListChanged() override {}
  // The drop-down tree's selection as the current key, without choosing it.
  void SyncCurrentKey(Integer AIndex);

 private:
  TcxCustomShellComboBox* ShellComboBox() const;
};

class TcxPopupShellTreeView : public TcxShellTreeView {
  VARNEL_CLASS(TcxPopupShellTreeView, TcxShellTreeView)
 public:
  explicit TcxPopupShellTreeView(TComponent* AOwner);
  void SetEdit(TcxCustomShellComboBox* Value) { edit_ = Value; }
  bool RightClickSelect = false;
  void Dispatch(TMessage& Message) override;

 private:
  // Closes the drop-down with the reason the key or click gives.
  void DoSelectNode(TcxEditCloseUpReason AReason);
  void InnerKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // The tree control keeps the button-up of a click to itself and tells its
  // parent of the click instead.
  // True when the click chose a node.
  bool InnerClick(TMouseButton AButton);

  TcxCustomShellComboBox* edit_ = nullptr;
};

class TcxShellComboBoxPopupWindow : public TcxPopupEditPopupWindow {
  VARNEL_CLASS(TcxShellComboBoxPopupWindow, TcxPopupEditPopupWindow)
 public:
  using TcxPopupEditPopupWindow::TcxPopupEditPopupWindow;
};

// ---------------------------------------------------------------------------
// The editor
// ---------------------------------------------------------------------------

class TcxCustomShellComboBox : public TcxCustomPopupEdit {
  VARNEL_CLASS(TcxCustomShellComboBox, TcxCustomPopupEdit)
  // Tab in the drop-down tree goes to the editor's own key handling.
  friend class TcxPopupShellTreeView;

 public:
  // --- Construction ---
  explicit TcxCustomShellComboBox(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomShellComboBox() override;

  // --- Properties ---
  TcxCustomShellComboBoxProperties* ActiveProperties() {
    return static_cast<TcxCustomShellComboBoxProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomShellComboBoxProperties* Properties() const {
    return static_cast<TcxCustomShellComboBoxProperties*>(
        TcxCustomEdit::Properties());
  }
  // A new copy of the current folder's PIDL (none without one).
  PItemIDList AbsolutePIDL() const;
  // Chooses the folder; one outside the root or missing changes nothing.
  void SetAbsolutePIDL(PItemIDList Value);
  // The file-system path of the current folder; empty without one.
  String Path() const;
  void SetPath(const String& Value);
  // Chooses the folder APidl names below the root (none: the root).
  void SetRelativePIDL(PItemIDList Value);
  TcxCustomShellListView* ShellListView() const { return shellListView_; }
  void SetShellListView(TcxCustomShellListView* Value);
  TcxCustomShellTreeView* ShellTreeView() const { return shellTreeView_; }
  void SetShellTreeView(TcxCustomShellTreeView* Value);
  TcxPopupShellTreeView* PopupShellTreeView() const { return popupTree_; }
  // The icon of the folder shown (-1: none) and its overlay.
  void GetShellIcon(Integer& AIconIndex, Integer& AOverlayIndex) const;

  // --- Overridables ---
  virtual TcxPopupShellTreeView* NewPopupShellTreeView(TComponent* AOwner);
  virtual void InternalSynchronizeEditValue(PItemIDList APidl,
                                            const String& AText);
  virtual void SelectedNodeChangeHandler(TObject* Sender, TTreeNode* Node);

  // --- Overrides ---
  TClass GetPropertiesClass() override {
    return TcxCustomShellComboBoxProperties::StaticClass();
  }
  bool CanDropDown() override { return popupTree_ != nullptr; }
  void CloseUp(TcxEditCloseUpReason AReason) override;
  void DoInitPopup() override;
  void DropDown() override;
  void InitializePopupWindow() override;
  void SetupPopupWindow() override;
  void PropertiesChanged(TObject* Sender) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void HandleSelectItem(TObject* Sender) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

  // --- Implementation used by the drop-down parts ---
  // The node at AIndex among the visible nodes (expanded ancestors only),
  // or none; AIndex < 0 counts all visible nodes into ACount.
  TTreeNode* VisibleNode(Integer AIndex, Integer* ACount = nullptr);
  Integer VisibleNodeIndex(TTreeNode* ANode);
  // The expanded node whose text is AText (case-insensitive): the selected
  // node first, then depth-first through expanded nodes.
  TTreeNode* FindNodeAmongExpandedNodes(const String& AText);

 protected:
  void PopupWindowShowed(TObject* Sender) override;
  // Binds the root's events and makes the drop-down tree.
  void Initialize();

 private:
  void InternalSetAbsolutePIDL(PItemIDList APidl);
  void SetShellIcon(Integer AIconIndex, Integer AOverlayIndex);
  void SynchronizeDependentShellControls();
  void SynchronizePopupShellTreeView();
  // APidl is made the root's when none, and must be below the root.
  bool CheckAbsolutePIDL(PItemIDList& APidl, bool ACheckExistence);
  PItemIDList ParseTypedText(const String& AText);
  void InvalidateShellIconRect();
  void RootChangeHandler(TObject* Sender);
  void RootSettingsChanged(TObject* Sender);
  void AddFolderHandler(TObject* Sender, TcxShellFolder* AFolder,
                        bool& ACanAdd);
  void DsmDoNavigate(TMessage& M);
  void DsmSynchronizeRoot(TMessage& M);
  TcxShellComboBoxViewInfo* ShellViewInfo() const;

  TcxPidlPtr pidl_;
  TcxPopupShellTreeView* popupTree_ = nullptr;  // owned by the popup window
  TcxCustomShellListView* shellListView_ = nullptr;
  TcxCustomShellTreeView* shellTreeView_ = nullptr;
  bool synchronizing_ = false;
  bool navigating_ = false;
  bool droppingDown_ = false;
  bool popupShowing_ = false;
  Integer iconIndex_ = -1;
  Integer overlayIndex_ = -1;
};

class TcxShellComboBox : public TcxCustomShellComboBox {
  VARNEL_CLASS(TcxShellComboBox, TcxCustomShellComboBox)
 public:
  explicit TcxShellComboBox(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxShellComboBoxProperties::StaticClass();
  }
  TcxShellComboBoxProperties* Properties() const {
    return static_cast<TcxShellComboBoxProperties*>(
        TcxCustomEdit::Properties());
  }
  void SetProperties(TcxShellComboBoxProperties* Value) {
    TcxCustomEdit::SetProperties(Value);
  }
};

// ---------------------------------------------------------------------------
// Filter values
// ---------------------------------------------------------------------------

class TcxFilterShellComboBoxHelper : public TcxFilterDropDownEditHelper {
  VARNEL_CLASS(TcxFilterShellComboBoxHelper, TcxFilterDropDownEditHelper)
 public:
  static const TcxFilterShellComboBoxHelper* Instance();
  TcxCustomEditClass GetFilterEditClass() const override;

 protected:
  TcxFilterShellComboBoxHelper() = default;
};
