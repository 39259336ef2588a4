// The shell tree view that forms use: the inner shell tree inside a library
// container, which adds the border, styles and look-and-feel.
#pragma once

#include "cxContainer.h"
#include "cxShellControls.h"

class TcxCustomShellTreeView;
class TcxCustomShellListView;

// The inner tree as the inner control of its container.
class TcxInnerShellTreeView : public TcxCustomInnerShellTreeView,
                              public IcxContainerInnerControl {
  VARNEL_CLASS(TcxInnerShellTreeView, TcxCustomInnerShellTreeView)
 public:
  explicit TcxInnerShellTreeView(TComponent* AOwner);

  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  // IcxContainerInnerControl
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

  void SetContainer(TcxCustomShellTreeView* Value);

 protected:
  friend class TcxCustomShellTreeView;
  bool IsLoading() override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;

 private:
  TcxCustomShellTreeView* container_ = nullptr;
};

class TcxCustomShellTreeView : public TcxContainer {
  VARNEL_CLASS(TcxCustomShellTreeView, TcxContainer)
 public:
  // --- Construction ---
  explicit TcxCustomShellTreeView(TComponent* AOwner);
  ~TcxCustomShellTreeView() override;
  void Loaded() override;

  // --- Properties ---
  TcxInnerShellTreeView* InnerTreeView() const { return innerTree_; }
  TcxShellTreeRoot* Root() const { return innerTree_->Root(); }
  void SetRoot(TcxShellTreeRoot* Value) { innerTree_->Root()->Assign(Value); }
  TcxShellTreeViewOptions* Options() const { return innerTree_->Options(); }
  void SetOptions(TcxShellTreeViewOptions* Value) {
    innerTree_->Options()->Assign(Value);
  }
  TcxDragDropSettings* DragDropSettings() const {
    return innerTree_->DragDropSettings();
  }
  bool HideSelection() const { return innerTree_->HideSelection(); }
  void SetHideSelection(bool Value) { innerTree_->SetHideSelection(Value); }
  bool ShowButtons() const { return innerTree_->ShowButtons(); }
  void SetShowButtons(bool Value) { innerTree_->SetShowButtons(Value); }
  bool ShowLines() const { return innerTree_->ShowLines(); }
  void SetShowLines(bool Value) { innerTree_->SetShowLines(Value); }
  bool ShowRoot() const { return innerTree_->ShowRoot(); }
  void SetShowRoot(bool Value) { innerTree_->SetShowRoot(Value); }
  bool ShowInfoTips() const { return innerTree_->ShowInfoTips(); }
  void SetShowInfoTips(bool Value) { innerTree_->SetShowInfoTips(Value); }
  Integer Indent() const;
  void SetIndent(Integer Value);

  // A new PIDL of the selected folder; none without selection.
  PItemIDList AbsolutePIDL();
  void SetAbsolutePIDL(PItemIDList Value);
  // The file-system path of the selected folder; empty without selection
  // or for a virtual folder.
  String Path();
  void SetPath(const String& Value);
  TcxShellFolder* Folders(Integer AIndex) {
    return innerTree_->GetFolder(AIndex);
  }
  Integer FolderCount() { return innerTree_->GetFolderCount(); }
  PItemIDList GetNodeAbsolutePIDL(TTreeNode* ANode) {
    return innerTree_->GetNodeAbsolutePIDL(ANode);
  }
  void UpdateContent() { innerTree_->UpdateContent(); }
  // The linked list view: it shows the selected folder, and the tree
  // selects the folder it opens.
  TcxCustomShellListView* ShellListView() const;
  void SetShellListView(TcxCustomShellListView* Value);

  // --- Events ---
  TcxShellAddFolderEvent OnAddFolder;
  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandedEvent OnCollapsed;
  TTVCollapsingEvent OnCollapsing;
  TTVEditedEvent OnEdited;
  TTVEditingEvent OnEditing;
  TTVExpandedEvent OnExpanded;
  TTVExpandingEvent OnExpanding;
  TcxShellChangeEvent OnShellChange;

 protected:
  bool NeedsScrollBars() override;
  virtual void CurrentFolderChangedHandler(TObject* Sender,
                                           TcxCustomShellRoot* Root);

 private:
  void AddFolderHandler(TObject* Sender, TcxShellFolder* AFolder,
                        bool& ACanAdd);
  void ChangeHandler(TObject* Sender, TTreeNode* Node);
  void ChangingHandler(TObject* Sender, TTreeNode* Node, bool& AllowChange);
  void CollapsedHandler(TObject* Sender, TTreeNode* Node);
  void CollapsingHandler(TObject* Sender, TTreeNode* Node, bool& Allow);
  void EditedHandler(TObject* Sender, TTreeNode* Node, String& S);
  void EditingHandler(TObject* Sender, TTreeNode* Node, bool& Allow);
  void ExpandedHandler(TObject* Sender, TTreeNode* Node);
  void ExpandingHandler(TObject* Sender, TTreeNode* Node, bool& Allow);
  void ShellChangeHandler(TObject* Sender, Integer AEventID, PItemIDList P1,
                          PItemIDList P2);

  TcxInnerShellTreeView* innerTree_;  // owned as a component
  Integer indent_ = 19;
};

class TcxShellTreeView : public TcxCustomShellTreeView {
  VARNEL_CLASS(TcxShellTreeView, TcxCustomShellTreeView)
 public:
  explicit TcxShellTreeView(TComponent* AOwner)
      : TcxCustomShellTreeView(AOwner) {}
};
