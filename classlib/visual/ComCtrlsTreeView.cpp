#include <algorithm>
#include <cstring>
#include <functional>

#include "ComCtrls.h"
#include "SysConst.h"

namespace {

void InitTreeViewClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

// Calls Fn for Node and every node under it, parents first.
void ForEachNode(TTreeNode* Node, const std::function<void(TTreeNode*)>& Fn) {
  Fn(Node);
  for (Integer i = 0; i < Node->Count(); ++i) ForEachNode(Node->Item(i), Fn);
}

}  // namespace

// ---------------------------------------------------------------------------
// TTreeNode
// ---------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : owner_(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const {
  return owner_ ? owner_->Owner() : nullptr;
}

TPersistent* TTreeNode::GetOwner() { return owner_; }

Integer TTreeNode::Level() const {
  Integer level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

Integer TTreeNode::Index() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  for (std::size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<Integer>(i);
  return -1;
}

Integer TTreeNode::AbsoluteIndex() const {
  Integer n = 0;
  for (TTreeNode* node = owner_->GetFirstNode(); node; node = node->GetNext()) {
    if (node == this) return n;
    ++n;
  }
  return -1;
}

TTreeNode* TTreeNode::GetFirstChild() const {
  return children_.empty() ? nullptr : children_.front().get();
}

TTreeNode* TTreeNode::GetLastChild() const {
  return children_.empty() ? nullptr : children_.back().get();
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  const Integer i = Index();
  return i >= 0 && i + 1 < static_cast<Integer>(siblings.size())
             ? siblings[i + 1].get()
             : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const Integer i = Index();
  return i > 0 ? owner_->SiblingsOf(parent_)[i - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (TTreeNode* child = GetFirstChild()) return child;
  for (const TTreeNode* node = this; node; node = node->parent_) {
    if (TTreeNode* next = node->GetNextSibling()) return next;
  }
  return nullptr;
}

void TTreeNode::UpdateWindowItem(UINT Mask) {
  TCustomTreeView* view = TreeView();
  if (!itemId_ || !view || !view->HandleAllocated()) return;
  TVITEMA it{};
  it.mask = Mask | TVIF_HANDLE;
  it.hItem = itemId_;
  String text = text_;
  it.pszText = text.data();
  it.iImage = imageIndex_;
  it.iSelectedImage = selectedIndex_;
  it.cChildren = HasChildren() ? 1 : 0;
  ::SendMessageA(view->Handle(), TVM_SETITEMA, 0,
                 reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetText(const String& Value) {
  text_ = Value;
  UpdateWindowItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(Integer Value) {
  imageIndex_ = Value;
  UpdateWindowItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(Integer Value) {
  selectedIndex_ = Value;
  UpdateWindowItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetHasChildren(bool Value) {
  hasChildren_ = Value;
  UpdateWindowItem(TVIF_CHILDREN);
}

void TTreeNode::SetExpanded(bool Value) {
  if (Value) {
    Expand(false);
  } else {
    Collapse(false);
  }
}

void TTreeNode::Expand(bool Recurse) {
  TCustomTreeView* view = TreeView();
  if (HasChildren() && !expanded_) {
    if (itemId_ && view && view->HandleAllocated()) {
      // The window asks the expanding handlers and reports the result.
      ::SendMessageA(view->Handle(), TVM_EXPAND, TVE_EXPAND,
                     reinterpret_cast<LPARAM>(itemId_));
    } else if (!view || view->CanExpand(this)) {
      expanded_ = true;
      if (view) view->Expand(this);
    }
  }
  if (Recurse)
    for (Integer i = 0; i < Count(); ++i) Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  TCustomTreeView* view = TreeView();
  if (expanded_) {
    if (itemId_ && view && view->HandleAllocated()) {
      ::SendMessageA(view->Handle(), TVM_EXPAND, TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(itemId_));
    } else if (!view || view->CanCollapse(this)) {
      expanded_ = false;
      if (view) view->Collapse(this);
    }
  }
  if (Recurse)
    for (Integer i = 0; i < Count(); ++i) Item(i)->Collapse(true);
}

bool TTreeNode::Selected() const {
  TCustomTreeView* view = TreeView();
  return view && view->Selected() == this;
}

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* view = TreeView();
  if (!view) return;
  if (Value) {
    view->SetSelected(this);
  } else if (Selected()) {
    view->SetSelected(nullptr);
  }
}

void TTreeNode::SetCut(bool Value) {
  cut_ = Value;
  TCustomTreeView* view = TreeView();
  if (!itemId_ || !view || !view->HandleAllocated()) return;
  TVITEMA it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = itemId_;
  it.stateMask = TVIS_CUT;
  it.state = Value ? TVIS_CUT : 0;
  ::SendMessageA(view->Handle(), TVM_SETITEMA, 0,
                 reinterpret_cast<LPARAM>(&it));
}

bool TTreeNode::DropTarget() const {
  TCustomTreeView* view = TreeView();
  return view && view->DropTarget() == this;
}

void TTreeNode::SetDropTarget(bool Value) {
  TCustomTreeView* view = TreeView();
  if (!view) return;
  if (Value) {
    view->SetDropTarget(this);
  } else if (DropTarget()) {
    view->SetDropTarget(nullptr);
  }
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (!p->expanded_) return false;
  return true;
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* view = TreeView();
  if (itemId_ && view && view->HandleAllocated()) {
    ::SendMessageA(view->Handle(), TVM_ENSUREVISIBLE, 0,
                   reinterpret_cast<LPARAM>(itemId_));
    return;
  }
  for (TTreeNode* p = parent_; p; p = p->parent_) p->Expand(false);
}

bool TTreeNode::EditText() {
  TCustomTreeView* view = TreeView();
  if (!itemId_ || !view || !view->HandleAllocated() || view->ReadOnly())
    return false;
  ::SetFocus(view->Handle());
  return ::SendMessageA(view->Handle(), TVM_EDITLABELA, 0,
                        reinterpret_cast<LPARAM>(itemId_)) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* view = TreeView();
  if (!view || !view->HandleAllocated()) return;
  view->cancellingEdit_ = Cancel;
  ::SendMessageA(view->Handle(), TVM_ENDEDITLABELNOW, Cancel ? TRUE : FALSE, 0);
  view->cancellingEdit_ = false;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* view = TreeView();
  if (!itemId_ || !view || !view->HandleAllocated()) return TRect();
  RECT r{};
  // The message takes the item handle in the rectangle it fills.
  static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
  std::memcpy(&r, &itemId_, sizeof(HTREEITEM));
  if (!::SendMessageA(view->Handle(), TVM_GETITEMRECT, TextOnly ? TRUE : FALSE,
                      reinterpret_cast<LPARAM>(&r)))
    return TRect();
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back().get());
}

void TTreeNode::Assign(TPersistent* Source) {
  if (auto* n = dynamic_cast<TTreeNode*>(Source)) {
    SetText(n->text_);
    data_ = n->data_;
    SetImageIndex(n->imageIndex_);
    SetSelectedIndex(n->selectedIndex_);
    SetHasChildren(n->hasChildren_);
    return;
  }
  inherited::Assign(Source);
}

// ---------------------------------------------------------------------------
// TTreeNodes
// ---------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : owner_(AOwner) {}

TTreeNodes::~TTreeNodes() {
  // No notices: whoever listens may already be gone.
  roots_.clear();
}

TPersistent* TTreeNodes::GetOwner() { return owner_; }

std::vector<TObjectPtr<TTreeNode>>& TTreeNodes::SiblingsOf(TTreeNode* Parent) {
  return Parent ? Parent->children_ : roots_;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, std::size_t At,
                                const String& S, void* Ptr) {
  auto& siblings = SiblingsOf(Parent);
  At = std::min(At, siblings.size());
  TTreeNode* node = new TTreeNode(this);
  siblings.emplace(siblings.begin() + static_cast<std::ptrdiff_t>(At), node);
  node->parent_ = Parent;
  node->text_ = S;
  node->data_ = Ptr;
  if (owner_) owner_->WindowInsert(node);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const String& S) {
  return AddObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S,
                                 void* Ptr) {
  TTreeNode* parent = Sibling ? Sibling->parent_ : nullptr;
  return InsertAt(parent, SiblingsOf(parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const String& S) {
  return InsertAt(Sibling ? Sibling->parent_ : nullptr, 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const String& S) {
  return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S,
                                      void* Ptr) {
  return InsertAt(Parent, SiblingsOf(Parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const String& S) {
  return InsertAt(Parent, 0, S, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const String& S) {
  if (!Sibling) return InsertAt(nullptr, roots_.size(), S, nullptr);
  return InsertAt(Sibling->parent_, static_cast<std::size_t>(Sibling->Index()),
                  S, nullptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node->owner_ != this) return;
  // Children go first, each told to the view.
  while (!Node->children_.empty()) Delete(Node->children_.back().get());
  if (owner_) owner_->Delete(Node);
  auto& siblings = SiblingsOf(Node->parent_);
  const auto it = std::find_if(
      siblings.begin(), siblings.end(),
      [Node](const TObjectPtr<TTreeNode>& p) { return p.get() == Node; });
  if (it == siblings.end()) return;
  TTreeNode* parent = Node->parent_;
  TObjectPtr<TTreeNode> doomed = std::move(*it);
  siblings.erase(it);
  if (parent && parent->children_.empty()) {
    parent->expanded_ = false;
    parent->UpdateWindowItem(TVIF_CHILDREN);
  }
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) Delete(roots_.back().get());
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0 && owner_ && owner_->HandleAllocated())
    ::SendMessageA(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && owner_ && owner_->HandleAllocated()) {
    ::SendMessageA(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(owner_->Handle(), nullptr, TRUE);
  }
}

Integer TTreeNodes::Count() const {
  Integer n = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(Integer Index) const {
  Integer n = 0;
  if (Index >= 0) {
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
      if (n++ == Index) return node;
  }
  throw EListError(SListIndexError, {Index});
}

TTreeNode* TTreeNodes::GetFirstNode() const {
  return roots_.empty() ? nullptr : roots_.front().get();
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (!ItemId) return nullptr;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
    if (node->itemId_ == ItemId) return node;
  return nullptr;
}

// ---------------------------------------------------------------------------
// TCustomTreeView
// ---------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), items_(new TTreeNodes(this)) {
  InitTreeViewClasses();
  color_ = clWindow;
  parentColor_ = false;
  SetTabStop(true);
  width_ = 121;
  height_ = 97;
}

TCustomTreeView::~TCustomTreeView() = default;

void TCustomTreeView::BeforeDestruction() {
  SetImages(nullptr);
  SetStateImages(nullptr);
  inherited::BeforeDestruction();
}

void TCustomTreeView::Notification(TComponent* AComponent,
                                   TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) SetImages(nullptr);
  if (AComponent == stateImages_) SetStateImages(nullptr);
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  UpdateImages();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (stateImages_ == Value) return;
  if (stateImages_) stateImages_->RemoveFreeNotification(this);
  stateImages_ = Value;
  if (stateImages_) stateImages_->FreeNotification(this);
  UpdateImages();
}

void TCustomTreeView::UpdateImages() {
  if (!HandleAllocated()) return;
  ::SendMessageA(
      Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
      reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  ::SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_STATE,
                 reinterpret_cast<LPARAM>(stateImages_ ? stateImages_->Handle()
                                                       : nullptr));
}

#define VARNEL_TREE_STYLE_SETTER(Name, field)   \
  void TCustomTreeView::Set##Name(bool Value) { \
    if (field == Value) return;                 \
    field = Value;                              \
    RecreateWnd();                              \
  }
VARNEL_TREE_STYLE_SETTER(ShowButtons, showButtons_)
VARNEL_TREE_STYLE_SETTER(ShowLines, showLines_)
VARNEL_TREE_STYLE_SETTER(ShowRoot, showRoot_)
VARNEL_TREE_STYLE_SETTER(ReadOnly, readOnly_)
VARNEL_TREE_STYLE_SETTER(HideSelection, hideSelection_)
VARNEL_TREE_STYLE_SETTER(RowSelect, rowSelect_)
VARNEL_TREE_STYLE_SETTER(ToolTips, toolTips_)
#undef VARNEL_TREE_STYLE_SETTER

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  if (showButtons_) Params.Style |= TVS_HASBUTTONS;
  if (showLines_) Params.Style |= TVS_HASLINES;
  if (showRoot_) Params.Style |= TVS_LINESATROOT;
  if (!readOnly_) Params.Style |= TVS_EDITLABELS;
  if (!hideSelection_) Params.Style |= TVS_SHOWSELALWAYS;
  if (rowSelect_) Params.Style |= TVS_FULLROWSELECT;
  if (!toolTips_) Params.Style |= TVS_NOTOOLTIPS;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::WindowInsert(TTreeNode* Node) {
  if (!HandleAllocated()) return;
  TTreeNode* parent = Node->parent_;
  if (parent && !parent->itemId_) return;
  TTreeNode* prev = Node->GetPrevSibling();
  String text = Node->text_;
  TVINSERTSTRUCTA ins{};
  ins.hParent = parent ? parent->itemId_ : TVI_ROOT;
  ins.hInsertAfter = prev && prev->itemId_ ? prev->itemId_ : TVI_FIRST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE |
                  TVIF_CHILDREN | TVIF_STATE;
  ins.item.pszText = text.data();
  ins.item.lParam = reinterpret_cast<LPARAM>(Node);
  ins.item.iImage = Node->imageIndex_;
  ins.item.iSelectedImage = Node->selectedIndex_;
  ins.item.cChildren = Node->HasChildren() ? 1 : 0;
  ins.item.stateMask = TVIS_CUT;
  ins.item.state = Node->cut_ ? TVIS_CUT : 0;
  Node->itemId_ = reinterpret_cast<HTREEITEM>(::SendMessageA(
      Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  if (parent) parent->UpdateWindowItem(TVIF_CHILDREN);
}

void TCustomTreeView::WindowInsertTree(TTreeNode* Node) {
  WindowInsert(Node);
  for (Integer i = 0; i < Node->Count(); ++i) WindowInsertTree(Node->Item(i));
  if (Node->expanded_ && createWndRestores_ && Node->itemId_) {
    fromWindow_ = true;
    ::SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND,
                   reinterpret_cast<LPARAM>(Node->itemId_));
    fromWindow_ = false;
  }
}

void TCustomTreeView::CreateWnd() {
  inherited::CreateWnd();
  HWND h = Handle();
  ::SendMessageA(h, CCM_SETUNICODEFORMAT, FALSE, 0);
  ::SendMessageA(h, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color_)));
  UpdateImages();
  for (auto& root : items_->roots_) WindowInsertTree(root.get());
  if (createWndRestores_ && savedSelected_) {
    fromWindow_ = true;
    ::SendMessageA(h, TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(savedSelected_->itemId_));
    fromWindow_ = false;
  }
  savedSelected_ = nullptr;
}

void TCustomTreeView::DestroyWnd() {
  savedSelected_ = Selected();
  for (auto& root : items_->roots_)
    ForEachNode(root.get(), [](TTreeNode* n) { n->itemId_ = nullptr; });
  inherited::DestroyWnd();
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM Item) const {
  if (!Item || !HandleAllocated()) return nullptr;
  TVITEMA it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = Item;
  if (!::SendMessageA(const_cast<TCustomTreeView*>(this)->Handle(),
                      TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)))
    return nullptr;
  return reinterpret_cast<TTreeNode*>(it.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return savedSelected_;
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  return NodeOf(reinterpret_cast<HTREEITEM>(
      ::SendMessageA(h, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (!HandleAllocated()) {
    savedSelected_ = Value;
    return;
  }
  ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(Value ? Value->itemId_ : nullptr));
}

TTreeNode* TCustomTreeView::TopItem() const {
  if (!HandleAllocated()) return items_->GetFirstNode();
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  return NodeOf(reinterpret_cast<HTREEITEM>(
      ::SendMessageA(h, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
  if (!HandleAllocated() || !Value) return;
  ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
                 reinterpret_cast<LPARAM>(Value->itemId_));
}

TTreeNode* TCustomTreeView::DropTarget() const {
  if (!HandleAllocated()) return nullptr;
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  return NodeOf(reinterpret_cast<HTREEITEM>(
      ::SendMessageA(h, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* Value) {
  if (!HandleAllocated()) return;
  ::SendMessageA(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE,
                 reinterpret_cast<LPARAM>(Value ? Value->itemId_ : nullptr));
}

TTreeNode* TCustomTreeView::GetNodeAt(Integer X, Integer Y) const {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO info{};
  info.pt = POINT{X, Y};
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  ::SendMessageA(h, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  return (info.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON |
                        TVHT_ONITEMRIGHT))
             ? NodeOf(info.hItem)
             : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(Integer X, Integer Y) const {
  THitTests result;
  if (!HandleAllocated()) return result;
  TVHITTESTINFO info{};
  info.pt = POINT{X, Y};
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  ::SendMessageA(h, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  const UINT f = info.flags;
  if (f & TVHT_ABOVE) result.Include(htAbove);
  if (f & TVHT_BELOW) result.Include(htBelow);
  if (f & TVHT_NOWHERE) result.Include(htNowhere);
  if (f & TVHT_ONITEM) result.Include(htOnItem);
  if (f & TVHT_ONITEMBUTTON) result.Include(htOnButton);
  if (f & TVHT_ONITEMICON) result.Include(htOnIcon);
  if (f & TVHT_ONITEMINDENT) result.Include(htOnIndent);
  if (f & TVHT_ONITEMLABEL) result.Include(htOnLabel);
  if (f & TVHT_ONITEMRIGHT) result.Include(htOnRight);
  if (f & TVHT_ONITEMSTATEICON) result.Include(htOnStateIcon);
  if (f & TVHT_TOLEFT) result.Include(htToLeft);
  if (f & TVHT_TORIGHT) result.Include(htToRight);
  return result;
}

void TCustomTreeView::FullExpand() {
  for (auto& root : items_->roots_) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (auto& root : items_->roots_) root->Collapse(true);
}

bool TCustomTreeView::IsEditing() const {
  if (!HandleAllocated()) return false;
  HWND h = const_cast<TCustomTreeView*>(this)->Handle();
  return ::SendMessageA(h, TVM_GETEDITCONTROL, 0, 0) != 0;
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool allow = !readOnly_;
  if (OnEditing) OnEditing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
  if (savedSelected_ == Node) savedSelected_ = nullptr;
  if (Node->itemId_ && HandleAllocated() &&
      !ComponentState().Contains(csDestroying)) {
    HTREEITEM id = Node->itemId_;
    Node->itemId_ = nullptr;
    ::SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(id));
  }
}

void TCustomTreeView::Dispatch(TMessage& M) {
  if (M.Msg == CN_NOTIFY) {
    CNNotify(M);
    return;
  }
  inherited::Dispatch(M);
}

void TCustomTreeView::CNNotify(TMessage& M) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
  switch (hdr->code) {
    case TVN_SELCHANGINGA: {
      const auto& nm = *reinterpret_cast<const NMTREEVIEWA*>(M.LParam);
      TTreeNode* node = reinterpret_cast<TTreeNode*>(nm.itemNew.lParam);
      M.Result = fromWindow_ || CanChange(node) ? 0 : 1;
      return;
    }
    case TVN_SELCHANGEDA: {
      const auto& nm = *reinterpret_cast<const NMTREEVIEWA*>(M.LParam);
      if (!fromWindow_) Change(reinterpret_cast<TTreeNode*>(nm.itemNew.lParam));
      return;
    }
    case TVN_ITEMEXPANDINGA: {
      const auto& nm = *reinterpret_cast<const NMTREEVIEWA*>(M.LParam);
      TTreeNode* node = reinterpret_cast<TTreeNode*>(nm.itemNew.lParam);
      if (!node || fromWindow_) return;
      const bool allow =
          nm.action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
      M.Result = allow ? 0 : 1;
      return;
    }
    case TVN_ITEMEXPANDEDA: {
      const auto& nm = *reinterpret_cast<const NMTREEVIEWA*>(M.LParam);
      TTreeNode* node = reinterpret_cast<TTreeNode*>(nm.itemNew.lParam);
      if (!node) return;
      const bool expanded = (nm.itemNew.state & TVIS_EXPANDED) != 0;
      const bool was = node->expanded_;
      node->expanded_ = expanded;
      if (fromWindow_ || was == expanded) return;
      if (expanded) {
        Expand(node);
      } else {
        Collapse(node);
      }
      return;
    }
    case TVN_BEGINLABELEDITA: {
      const auto& info = *reinterpret_cast<const NMTVDISPINFOA*>(M.LParam);
      TTreeNode* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
      M.Result = node && CanEdit(node) ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDITA: {
      const auto& info = *reinterpret_cast<const NMTVDISPINFOA*>(M.LParam);
      TTreeNode* node = NodeOf(info.item.hItem);
      M.Result = 0;
      if (!node || !info.item.pszText || cancellingEdit_) return;
      String text = info.item.pszText;
      if (OnEdited) OnEdited(this, node, text);
      node->SetText(text);
      return;
    }
    default:
      break;
  }
  DefaultHandler(M);
}
