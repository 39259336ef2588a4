// The inner shell controls. The list view shows one folder from its
// producer through an owner-data list view, completing items in the
// background; the tree view's nodes are the folders below a root, each node
// with the producer that enumerates its folder, one background fetcher for
// the whole tree, and the shell's change notifications followed below the
// selected folder. Both take OLE drops for the shell object under the
// cursor and start OLE drags of the shell's data objects.
#pragma once

#include "ComCtrls.h"
#include "cxListView.h"
#include "cxShellCommon.h"

class TcxCustomInnerShellTreeView;
class TcxCustomInnerShellListView;

// Messages between linked shell controls. A linked control takes the
// sender's root (when its window exists; the roots' updating flag stops the
// echo), or shows APidl (its window is made first when it sits on a form).
void cxShellSendRootToLinked(TWinControl* AControl, TcxCustomShellRoot* ARoot);
void cxShellSendNavigateToLinked(TWinControl* AControl, PItemIDList APidl);
// Moves a link with its free notification from the old control to AValue.
void cxShellSetLink(TComponent* AOwner, TWinControl*& ALink,
                    TWinControl* AValue);

// ---------------------------------------------------------------------------
// The inner shell list view
// ---------------------------------------------------------------------------

enum TcxListViewStyle : Byte { lvsIcon, lvsSmallIcon, lvsList, lvsReport };

class TcxShellListViewOptions : public TcxShellOptions {
  VARNEL_CLASS(TcxShellListViewOptions, TcxShellOptions)
 public:
  using TcxShellOptions::TcxShellOptions;
  void Assign(TPersistent* Source) override;
  bool AutoNavigate = true;
};

using TcxNavigationEvent =
    TClosure<void(TcxCustomInnerShellListView* Sender, PItemIDList fqPidl,
                  const WideString& FolderPath)>;
using TcxShellCompareEvent =
    TClosure<void(TObject* Sender, TcxShellFolder* AItem1,
                  TcxShellFolder* AItem2, Integer& ACompare)>;

class TcxShellListRoot : public TcxCustomShellRoot {
  VARNEL_CLASS(TcxShellListRoot, TcxCustomShellRoot)
 public:
  TcxShellListRoot(TcxCustomInnerShellListView* AOwner, HWND AParentWindow);

 protected:
  friend class TcxCustomInnerShellListView;
  void RootUpdated() override;

 private:
  TcxCustomInnerShellListView* list_;
};

class TcxShellListViewProducer : public TcxCustomItemProducer {
  VARNEL_CLASS(TcxShellListViewProducer, TcxCustomItemProducer)
 public:
  explicit TcxShellListViewProducer(TcxCustomInnerShellListView* AOwner);
  ~TcxShellListViewProducer() override;

  TcxCustomInnerShellListView* GetListView() const { return list_; }

  bool AllowBackgroundProcessing() override { return true; }
  bool CanAddFolder(TcxShellFolder* AFolder) override;
  bool DoCompareItems(TcxShellFolder* AFolder1, TcxShellFolder* AFolder2,
                      Integer& ACompare) override;
  DWORD GetEnumFlags() override;
  TcxShellItemsInfoGatherer* GetItemsInfoGatherer() override;
  bool GetShowToolTip() override;
  void NotifyUpdateItem(const TcxRequestItem& ARequest) override;

 protected:
  void ProcessDetails(IShellFolder* AFolder, Integer ACharWidth) override;

 private:
  TcxCustomInnerShellListView* list_;
};

// The list view that does the shell work: an owner-data list over the items
// of its producer, which enumerates the folder its root names.
class TcxCustomInnerShellListView : public TcxCustomInnerListView,
                                    public IcxShellDropTargetSite {
  VARNEL_CLASS(TcxCustomInnerShellListView, TcxCustomInnerListView)
 public:
  // --- Construction ---
  explicit TcxCustomInnerShellListView(TComponent* AOwner);
  ~TcxCustomInnerShellListView() override;

  // --- Properties ---
  TcxShellListRoot* Root() const { return root_.get(); }
  TcxShellListViewOptions* Options() const { return options_.get(); }
  TcxDragDropSettings* DragDropSettings() const {
    return dragDropSettings_.get();
  }
  TcxShellListViewProducer* ItemProducer() const { return producer_.get(); }
  TcxShellItemsInfoGatherer* ItemsInfoGatherer() const {
    return gatherer_.get();
  }
  TcxListViewStyle ListViewStyle() const { return listStyle_; }
  void SetListViewStyle(TcxListViewStyle Value);
  TWinControl* TreeView() const { return treeView_; }
  const TcxShellChangeNotifierData& Notifier() const { return notifier_; }
  // The OLE drop target while the window exists.
  IDropTarget* OleDropTarget() const { return dropTarget_.Target(); }
  // The item highlighted as the drop target (-1 for none).
  Integer DropTargetItem() const { return dropItem_; }

  // --- Methods ---
  virtual void Navigate(PItemIDList APidl);
  void BrowseParent();
  void UpdateContent();
  void CheckUpdateItems();
  // A linked control chose a folder: shown without navigation events.
  void ProcessTreeViewNavigate(PItemIDList APidl);
  void SetTreeView(TWinControl* AValue);
  // The linked shell combo box (set by the combo box itself).
  TWinControl* ComboBox() const { return comboBox_; }
  void SetComboBox(TWinControl* AValue);
  // Tells the linked tree view and combo box the folder shown.
  void DoNavigateTreeView();
  // A new PIDL: the folder's and the item's.
  PItemIDList GetItemAbsolutePIDL(Integer AIndex);
  TcxShellFolder* GetFolder(Integer AIndex);
  Integer GetFolderCount();
  bool DoAddFolder(TcxShellFolder* AFolder);
  virtual bool DoCompare(TcxShellFolder* AFolder1, TcxShellFolder* AFolder2,
                         Integer& ACompare);
  // Whether any list view is showing what a linked control chose.
  static bool LinkedControlNavigating();

  TcxNavigationEvent OnBeforeNavigation;
  TcxNavigationEvent OnAfterNavigation;
  TcxShellAddFolderEvent OnAddFolder;
  TcxShellCompareEvent OnCompare;
  TcxRootChangedEvent OnRootChanged;
  TcxShellChangeEvent OnShellChange;

  void Dispatch(TMessage& Message) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // IcxShellDropTargetSite
  IDropTarget* GetDropTarget(const POINT& AScreenPos, bool& AChanged) override;
  void ReleaseDropTarget(bool ALeave) override;
  DWORD GetDefaultDropEffect() override;

 protected:
  friend class TcxShellListViewProducer;
  friend class TcxShellListRoot;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void OwnerDataFetch(TListItem* Item) override;
  bool CanEdit(TListItem* Item) override;
  void Edit(const LVITEMA& Item) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  virtual void DoProcessDefaultCommand(Integer AIndex);
  void DoProcessNavigation(Integer AIndex);
  void CreateColumns();
  void CreateChangeNotification();
  void RemoveChangeNotification();

 private:
  // --- Message handlers ---
  void CNNotify(TMessage& M);
  void DsmSetCount(TMessage& M);
  void DsmNotifyUpdateItem(TMessage& M);
  void DsmNotifyUpdateContents(TMessage& M);
  void DsmShellChangeNotify(TMessage& M);
  void DsmSynchronizeRoot(TMessage& M);

  // --- Implementation ---
  void DoBeginDrag();
  void RootSettingsChanged(TObject* Sender);
  // Rows selected, in list order.
  std::vector<Integer> SelectedIndexes();
  void HighlightDropItem(Integer AIndex);

  TObjectPtr<TcxShellItemsInfoGatherer> gatherer_;
  TObjectPtr<TcxShellListRoot> root_;
  TObjectPtr<TcxDragDropSettings> dragDropSettings_;
  TObjectPtr<TcxShellListViewOptions> options_;
  TObjectPtr<TcxShellListViewProducer> producer_;
  HIMAGELIST smallImages_ = nullptr;
  HIMAGELIST largeImages_ = nullptr;
  TcxListViewStyle listStyle_ = lvsIcon;
  TWinControl* treeView_ = nullptr;
  TWinControl* comboBox_ = nullptr;
  bool shellChanging_ = false;
  TcxShellChangeNotifierData notifier_;
  TcxShellDropTargetRegistration dropTarget_;
  TcxComPtr<IDropTarget> currentDropTarget_;
  Integer dropItem_ = -1;
};

// ---------------------------------------------------------------------------
// The inner shell tree view
// ---------------------------------------------------------------------------

class TcxShellTreeRoot : public TcxCustomShellRoot {
  VARNEL_CLASS(TcxShellTreeRoot, TcxCustomShellRoot)
 public:
  TcxShellTreeRoot(TcxCustomInnerShellTreeView* AOwner, HWND AParentWindow);

 protected:
  void RootUpdated() override;

 private:
  TcxCustomInnerShellTreeView* tree_;
};

class TcxShellTreeItemProducer : public TcxCustomItemProducer {
  VARNEL_CLASS(TcxShellTreeItemProducer, TcxCustomItemProducer)
 public:
  TcxShellTreeItemProducer(TcxCustomInnerShellTreeView* AOwner,
                           TTreeNode* ANode);
  ~TcxShellTreeItemProducer() override;

  // Names and pictures ANode after the folder, then enumerates it.
  void ProcessItems(IShellFolder* AFolder, PItemIDList AFolderPidl,
                    Integer APreloadItemCount) override;
  // Brings the items up to date with the folder; false when it cannot be
  // enumerated (the caller rebuilds instead).
  bool CheckUpdates();

  TTreeNode* Node() const { return node_; }
  TcxCustomInnerShellTreeView* Tree() const { return tree_; }

  bool AllowBackgroundProcessing() override;
  bool CanAddFolder(TcxShellFolder* AFolder) override;
  DWORD GetEnumFlags() override;
  TcxShellItemsInfoGatherer* GetItemsInfoGatherer() override;
  bool GetShowToolTip() override;
  void InitializeItem(TcxShellItemInfo* AItem) override;
  void CheckForSubitems(TcxShellItemInfo* AItem,
                        IShellFolder* AFolder) override;
  void NotifyUpdateItem(const TcxRequestItem& ARequest) override;

 protected:
  void SetItemsCount(Integer ACount) override;
  void NotifyRemoveItem(Integer AIndex) override;
  void NotifyAddItem(Integer AIndex) override;

 private:
  bool CanNotify() const;
  TcxCustomInnerShellTreeView* tree_;
  TTreeNode* node_;
};

class TcxCustomInnerShellTreeView : public TTreeView,
                                    public IcxShellDropTargetSite {
  VARNEL_CLASS(TcxCustomInnerShellTreeView, TTreeView)
 public:
  // --- Construction ---
  explicit TcxCustomInnerShellTreeView(TComponent* AOwner);
  ~TcxCustomInnerShellTreeView() override;

  // --- Properties ---
  TcxShellTreeRoot* Root() const { return root_.get(); }
  TcxShellTreeViewOptions* Options() const { return options_.get(); }
  TcxDragDropSettings* DragDropSettings() const {
    return dragDropSettings_.get();
  }
  TcxShellItemsInfoGatherer* ItemsInfoGatherer() const {
    return gatherer_.get();
  }
  bool ShowInfoTips() const { return showInfoTips_; }
  void SetShowInfoTips(bool Value);
  bool Navigating() const { return navigating_; }
  // The notifier registration (for inspection).
  const TcxShellChangeNotifierData& Notifier() const { return notifier_; }
  Integer ProducerCount();
  TcxCustomInnerShellListView* ListView() const { return listView_; }
  void SetListView(TcxCustomInnerShellListView* Value);
  // The linked shell combo box (set by the combo box itself).
  TWinControl* ComboBox() const { return comboBox_; }
  void SetComboBox(TWinControl* Value);
  // The node whose shell object takes the drag (none when none does).
  TTreeNode* DropTargetNode() const { return dropNode_; }
  // Shows the selected folder in the linked list view and combo box.
  void DoNavigateListView();
  // The OLE drop target while the window exists.
  IDropTarget* OleDropTarget() const { return dropTarget_.Target(); }

  // --- Methods ---
  TTreeNode* GetNodeByPIDL(PItemIDList APidl);
  // A new absolute PIDL of ANode's folder (none for none).
  PItemIDList GetNodeAbsolutePIDL(TTreeNode* ANode);
  void UpdateNode(TTreeNode* ANode, bool ACheck);
  void UpdateContent();
  TcxShellFolder* GetFolder(Integer AAbsoluteIndex);
  Integer GetFolderCount();
  void CreateChangeNotification(TTreeNode* ANode = nullptr);
  void RemoveChangeNotification();
  bool DoAddFolder(TcxShellFolder* AFolder);
  static TcxShellTreeItemProducer* ProducerOf(TTreeNode* ANode) {
    return ANode ? static_cast<TcxShellTreeItemProducer*>(ANode->Data())
                 : nullptr;
  }

  TcxShellAddFolderEvent OnAddFolder;
  TcxRootChangedEvent OnRootChanged;
  TcxShellChangeEvent OnShellChange;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // IcxShellDropTargetSite
  IDropTarget* GetDropTarget(const POINT& AScreenPos, bool& AChanged) override;
  void ReleaseDropTarget(bool ALeave) override;
  DWORD GetDefaultDropEffect() override;
  void DropDone() override;

 protected:
  friend class TcxShellTreeItemProducer;
  friend class TcxShellTreeRoot;
  virtual bool IsLoading();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  bool CanEdit(TTreeNode* Node) override;
  bool CanExpand(TTreeNode* Node) override;
  void Change(TTreeNode* Node) override;
  void Delete(TTreeNode* Node) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoBeginDrag(TTreeNode* ANode);

 private:
  // --- Message handlers ---
  void CNNotify(TMessage& M);
  void DsmSetCount(TMessage& M);
  void DsmNotifyUpdateItem(TMessage& M);
  void DsmNotifyRemoveItem(TMessage& M);
  void DsmNotifyAddItem(TMessage& M);
  void DsmNotifyUpdateContents(TMessage& M);
  void DsmShellChangeNotify(TMessage& M);
  void DsmDoNavigate(TMessage& M);
  void DsmSynchronizeRoot(TMessage& M);
  void DsmShellTreeChangeNotify(TMessage& M);
  void DsmShellTreeRestoreCurrentPath(TMessage& M);

  // --- Implementation ---
  void EndLabelEdit(TTreeNode* ANode);
  void SaveTreeState();
  void RestoreTreeState();
  void AdjustControlParams();
  void ShowToolTipChanged(TObject* Sender);
  void RootSettingsChanged(TObject* Sender);
  void ApplyItem(TTreeNode* ANode, TcxShellItemInfo* AItem);
  // A live node of this tree (posted messages may name freed ones).
  bool IsLiveNode(TTreeNode* ANode);
  TcxShellTreeItemProducer* NewProducer(TTreeNode* ANode);

  TObjectPtr<TcxShellItemsInfoGatherer> gatherer_;
  TObjectPtr<TcxShellTreeRoot> root_;
  TObjectPtr<TcxDragDropSettings> dragDropSettings_;
  TObjectPtr<TcxShellTreeViewOptions> options_;
  TObjectPtr<TThreadList> producers_;
  HIMAGELIST smallImages_ = nullptr;
  bool showInfoTips_ = false;
  bool navigating_ = false;
  bool rebuilding_ = false;
  bool creatingNotification_ = false;
  bool notificationLocked_ = false;
  TcxShellChangeNotifierData notifier_;
  TcxCustomInnerShellListView* listView_ = nullptr;
  TWinControl* comboBox_ = nullptr;
  TcxShellDropTargetRegistration dropTarget_;
  TcxComPtr<IDropTarget> currentDropTarget_;
  TTreeNode* dropNode_ = nullptr;
  // The state a rebuild restores.
  Integer savedTopIndex_ = -1;
  std::vector<TcxPidlPtr> savedExpanded_;
  TcxPidlPtr savedSelected_;
};

class TcxInnerShellTreeView;
