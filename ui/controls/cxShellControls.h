// The inner shell tree view: a class-library tree view whose nodes are the
// folders of the shell namespace below a root, each node with the producer
// that enumerates its folder, one background fetcher for the whole tree, and
// the shell's change notifications followed below the selected folder.
#pragma once

#include "ComCtrls.h"
#include "cxShellCommon.h"

class TcxCustomInnerShellTreeView;

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

class TcxCustomInnerShellTreeView : public TTreeView {
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
  virtual void DoNavigateListView() {}

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
  // The state a rebuild restores.
  Integer savedTopIndex_ = -1;
  std::vector<TcxPidlPtr> savedExpanded_;
  TcxPidlPtr savedSelected_;
};

class TcxInnerShellTreeView;
