// The shell tree view container; see the header.
#include "cxShellTreeView.h"

#include <commctrl.h>

#include <algorithm>

#include "ScopeGuard.h"
#include "cxShellListView.h"

// ---------------------------------------------------------------------------
// TcxInnerShellTreeView
// ---------------------------------------------------------------------------

TcxInnerShellTreeView::TcxInnerShellTreeView(TComponent* AOwner)
    : TcxCustomInnerShellTreeView(AOwner) {
  controlStyle_.Include(csDoubleClicks);
  SetParentColor(false);
  SetParentFont(true);
}

void TcxInnerShellTreeView::CreateParams(TCreateParams& Params) {
  TcxCustomInnerShellTreeView::CreateParams(Params);
  // The container draws the border.
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

Integer TcxInnerShellTreeView::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return S_OK_;
  }
  return TcxCustomInnerShellTreeView::QueryInterface(iid, obj);
}

TcxContainer* TcxInnerShellTreeView::GetControlContainer() {
  return container_;
}

void TcxInnerShellTreeView::SetContainer(TcxCustomShellTreeView* Value) {
  container_ = Value;
}

bool TcxInnerShellTreeView::IsLoading() {
  return container_ ? container_->ComponentState().Contains(csLoading)
                    : TcxCustomInnerShellTreeView::IsLoading();
}

void TcxInnerShellTreeView::KeyDown(Word& Key, TShiftState Shift) {
  if (container_ && container_->OnKeyDown) {
    container_->OnKeyDown(container_, Key, Shift);
  }
  if (Key != 0) TcxCustomInnerShellTreeView::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// TcxCustomShellTreeView
// ---------------------------------------------------------------------------

TcxCustomShellTreeView::TcxCustomShellTreeView(TComponent* AOwner)
    : TcxContainer(AOwner) {
  innerTree_ = new TcxInnerShellTreeView(this);
  innerTree_->SetContainer(this);
  innerTree_->SetParent(this);
  innerTree_->OnAddFolder =
      TcxShellAddFolderEvent(this, &TcxCustomShellTreeView::AddFolderHandler);
  innerTree_->OnChange =
      TTVChangedEvent(this, &TcxCustomShellTreeView::ChangeHandler);
  innerTree_->OnChanging =
      TTVChangingEvent(this, &TcxCustomShellTreeView::ChangingHandler);
  innerTree_->OnCollapsed =
      TTVExpandedEvent(this, &TcxCustomShellTreeView::CollapsedHandler);
  innerTree_->OnCollapsing =
      TTVCollapsingEvent(this, &TcxCustomShellTreeView::CollapsingHandler);
  innerTree_->OnEdited =
      TTVEditedEvent(this, &TcxCustomShellTreeView::EditedHandler);
  innerTree_->OnEditing =
      TTVEditingEvent(this, &TcxCustomShellTreeView::EditingHandler);
  innerTree_->OnExpanded =
      TTVExpandedEvent(this, &TcxCustomShellTreeView::ExpandedHandler);
  innerTree_->OnExpanding =
      TTVExpandingEvent(this, &TcxCustomShellTreeView::ExpandingHandler);
  innerTree_->OnRootChanged = TcxRootChangedEvent(
      this, &TcxCustomShellTreeView::CurrentFolderChangedHandler);
  innerTree_->OnShellChange =
      TcxShellChangeEvent(this, &TcxCustomShellTreeView::ShellChangeHandler);
  SetInnerControl(innerTree_);
  SetBounds(Left(), Top(), 121, 97);
}

TcxCustomShellTreeView::~TcxCustomShellTreeView() = default;

bool TcxCustomShellTreeView::NeedsScrollBars() { return false; }

void TcxCustomShellTreeView::Loaded() {
  TcxContainer::Loaded();
  innerTree_->Loaded();
}

Integer TcxCustomShellTreeView::Indent() const {
  if (!innerTree_->HandleAllocated()) return indent_;
  return static_cast<Integer>(
      ::SendMessageA(innerTree_->Handle(), TVM_GETINDENT, 0, 0));
}

void TcxCustomShellTreeView::SetIndent(Integer Value) {
  indent_ = Value;
  if (innerTree_->HandleAllocated()) {
    ::SendMessageA(innerTree_->Handle(), TVM_SETINDENT, Value, 0);
  }
}

PItemIDList TcxCustomShellTreeView::AbsolutePIDL() {
  TTreeNode* selected = innerTree_->Selected();
  return selected ? innerTree_->GetNodeAbsolutePIDL(selected) : nullptr;
}

void TcxCustomShellTreeView::SetAbsolutePIDL(PItemIDList Value) {
  if (!innerTree_->HandleAllocated()) return;
  PItemIDList pidl = Value;
  if (!CheckAbsolutePIDL(pidl, innerTree_->Root(), true, true)) return;
  innerTree_->Perform(DSM_DONAVIGATE, reinterpret_cast<WPARAM>(pidl), 0);
  innerTree_->DoNavigateListView();
}

String TcxCustomShellTreeView::Path() {
  TcxPidlPtr pidl(AbsolutePIDL());
  return pidl ? GetPidlName(pidl.get()) : String();
}

void TcxCustomShellTreeView::SetPath(const String& Value) {
  if (!innerTree_->HandleAllocated() || Value == Path()) return;
  TcxShellViewOptions options{svoShowFolders, svoShowHidden};
  TcxPidlPtr pidl(PathToAbsolutePIDL(Value, innerTree_->Root(), options, true));
  if (!pidl) return;
  innerTree_->Perform(DSM_DONAVIGATE, reinterpret_cast<WPARAM>(pidl.get()), 0);
  innerTree_->DoNavigateListView();
}

TcxCustomShellListView* TcxCustomShellTreeView::ShellListView() const {
  TcxCustomInnerShellListView* list = innerTree_->ListView();
  return list ? dynamic_cast<TcxCustomShellListView*>(
                    static_cast<TcxCustomInnerListView*>(list)->Container())
              : nullptr;
}

void TcxCustomShellTreeView::SetShellListView(TcxCustomShellListView* Value) {
  innerTree_->SetListView(Value ? Value->InnerShellListView() : nullptr);
}

void TcxCustomShellTreeView::CurrentFolderChangedHandler(TObject*,
                                                         TcxCustomShellRoot*) {}

void TcxCustomShellTreeView::AddFolderHandler(TObject*, TcxShellFolder* AFolder,
                                              bool& ACanAdd) {
  if (OnAddFolder) OnAddFolder(this, AFolder, ACanAdd);
}

void TcxCustomShellTreeView::ChangeHandler(TObject*, TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

void TcxCustomShellTreeView::ChangingHandler(TObject*, TTreeNode* Node,
                                             bool& AllowChange) {
  if (OnChanging) OnChanging(this, Node, AllowChange);
}

void TcxCustomShellTreeView::CollapsedHandler(TObject*, TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TcxCustomShellTreeView::CollapsingHandler(TObject*, TTreeNode* Node,
                                               bool& Allow) {
  if (OnCollapsing) OnCollapsing(this, Node, Allow);
}

void TcxCustomShellTreeView::EditedHandler(TObject*, TTreeNode* Node,
                                           String& S) {
  if (OnEdited) OnEdited(this, Node, S);
}

void TcxCustomShellTreeView::EditingHandler(TObject*, TTreeNode* Node,
                                            bool& Allow) {
  if (OnEditing) OnEditing(this, Node, Allow);
}

void TcxCustomShellTreeView::ExpandedHandler(TObject*, TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

void TcxCustomShellTreeView::ExpandingHandler(TObject*, TTreeNode* Node,
                                              bool& Allow) {
  if (OnExpanding) OnExpanding(this, Node, Allow);
}

void TcxCustomShellTreeView::ShellChangeHandler(TObject*, Integer AEventID,
                                                PItemIDList P1,
                                                PItemIDList P2) {
  if (OnShellChange) OnShellChange(this, AEventID, P1, P2);
}
