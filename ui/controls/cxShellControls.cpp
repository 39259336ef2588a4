// The inner shell tree view; see the header.
#include "cxShellControls.h"

#include <commctrl.h>

#include <algorithm>

#include "Forms.h"
#include "Messages.h"
#include "ScopeGuard.h"

namespace {

// The producer of a node's parent and the node's index there, read under
// that producer's read lock by the callers.
TcxShellTreeItemProducer* ParentProducer(TTreeNode* ANode) {
  return ANode && ANode->Parent()
             ? TcxCustomInnerShellTreeView::ProducerOf(ANode->Parent())
             : nullptr;
}

class TReadLock {
 public:
  explicit TReadLock(TcxCustomItemProducer* AProducer) : producer_(AProducer) {
    if (producer_) producer_->LockRead();
  }
  ~TReadLock() {
    if (producer_) producer_->UnlockRead();
  }
  TReadLock(const TReadLock&) = delete;
  TReadLock& operator=(const TReadLock&) = delete;

 private:
  TcxCustomItemProducer* producer_;
};

}  // namespace

// ---------------------------------------------------------------------------
// TcxShellTreeRoot
// ---------------------------------------------------------------------------

TcxShellTreeRoot::TcxShellTreeRoot(TcxCustomInnerShellTreeView* AOwner,
                                   HWND AParentWindow)
    : TcxCustomShellRoot(AOwner, AParentWindow), tree_(AOwner) {}

void TcxShellTreeRoot::RootUpdated() {
  TcxCustomShellRoot::RootUpdated();
  if (!tree_) return;
  tree_->Items()->Clear();
  tree_->UpdateNode(nullptr, false);
  if (tree_->OnRootChanged) tree_->OnRootChanged(tree_, this);
}

// ---------------------------------------------------------------------------
// TcxShellTreeItemProducer
// ---------------------------------------------------------------------------

TcxShellTreeItemProducer::TcxShellTreeItemProducer(
    TcxCustomInnerShellTreeView* AOwner, TTreeNode* ANode)
    : TcxCustomItemProducer(AOwner), tree_(AOwner), node_(ANode) {
  tree_->producers_->Add(this);
}

TcxShellTreeItemProducer::~TcxShellTreeItemProducer() {
  // The queue must hold no request of ours once we are off the list.
  try {
    ClearFetchQueue();
  } catch (...) {
  }
  tree_->producers_->Remove(this);
}

bool TcxShellTreeItemProducer::CanNotify() const {
  return node_ && tree_->HandleAllocated();
}

void TcxShellTreeItemProducer::ProcessItems(IShellFolder* AFolder,
                                            PItemIDList AFolderPidl,
                                            Integer APreloadItemCount) {
  if (node_ && AFolderPidl) {
    SHFILEINFOW info{};
    const auto* pidl = reinterpret_cast<LPCWSTR>(AFolderPidl);
    if (!node_->Parent()) {
      if (::SHGetFileInfoW(pidl, 0, &info, sizeof(info),
                           SHGFI_PIDL | SHGFI_DISPLAYNAME)) {
        node_->SetText(WideToAnsi(StrPasW(info.szDisplayName)));
      }
    } else if (TcxShellTreeItemProducer* parent = ParentProducer(node_)) {
      node_->SetText(WideToAnsi(GetShellItemDisplayName(
          parent->ShellFolder(), GetLastPidlItem(AFolderPidl))));
    }
    if (::SHGetFileInfoW(pidl, 0, &info, sizeof(info),
                         SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
      node_->SetImageIndex(info.iIcon);
    }
    if (::SHGetFileInfoW(pidl, 0, &info, sizeof(info),
                         SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON |
                             SHGFI_OPENICON)) {
      node_->SetSelectedIndex(info.iIcon);
    }
  }
  TcxCustomItemProducer::ProcessItems(AFolder, AFolderPidl, APreloadItemCount);
}

bool TcxShellTreeItemProducer::AllowBackgroundProcessing() {
  return !tree_->Navigating();
}

bool TcxShellTreeItemProducer::CanAddFolder(TcxShellFolder* AFolder) {
  return tree_->DoAddFolder(AFolder);
}

DWORD TcxShellTreeItemProducer::GetEnumFlags() {
  return tree_->Options()->GetEnumFlags();
}

TcxShellItemsInfoGatherer* TcxShellTreeItemProducer::GetItemsInfoGatherer() {
  return tree_->ItemsInfoGatherer();
}

bool TcxShellTreeItemProducer::GetShowToolTip() {
  return tree_->ShowInfoTips();
}

void TcxShellTreeItemProducer::InitializeItem(TcxShellItemInfo* AItem) {
  AItem->CheckUpdate(ShellFolder(), FolderPidl(), false);
  CheckForSubitems(AItem, ShellFolder());
}

void TcxShellTreeItemProducer::CheckForSubitems(TcxShellItemInfo* AItem,
                                                IShellFolder* AFolder) {
  // Removable media are not touched: probing would spin up the drive.
  if (!AItem->IsRemovable) AItem->CheckSubitems(AFolder, GetEnumFlags());
}

void TcxShellTreeItemProducer::NotifyUpdateItem(
    const TcxRequestItem& ARequest) {
  if (CanNotify()) {
    ::PostMessageA(tree_->Handle(), DSM_NOTIFYUPDATE, ARequest.ItemIndex,
                   reinterpret_cast<LPARAM>(node_));
  }
}

void TcxShellTreeItemProducer::SetItemsCount(Integer ACount) {
  if (node_) SendToOwner(DSM_SETCOUNT, ACount, reinterpret_cast<LPARAM>(node_));
}

void TcxShellTreeItemProducer::NotifyRemoveItem(Integer AIndex) {
  if (node_) {
    SendToOwner(DSM_NOTIFYREMOVEITEM, AIndex, reinterpret_cast<LPARAM>(node_));
  }
}

void TcxShellTreeItemProducer::NotifyAddItem(Integer AIndex) {
  if (node_) {
    SendToOwner(DSM_NOTIFYADDITEM, AIndex, reinterpret_cast<LPARAM>(node_));
  }
}

bool TcxShellTreeItemProducer::CheckUpdates() {
  if (!ShellFolder()) return false;
  std::vector<TObjectPtr<TcxShellItemInfo>> fresh;
  {
    const TCursor saved = tree_->Cursor();
    tree_->SetCursor(crHourGlass);
    TScopeGuard restore([this, saved] { tree_->SetCursor(saved); });
    if (!EnumerateItems(fresh, false, nullptr)) return false;
    for (auto& item : fresh) {
      item->CheckUpdate(ShellFolder(), FolderPidl(), false);
      CheckForSubitems(item.get(), ShellFolder());
    }
  }
  std::vector<TcxShellItemInfo*> sorted;
  for (auto& item : fresh) sorted.push_back(item.get());
  SortItems(sorted, ShellFolder(), false);
  auto take = [&](TcxShellItemInfo* AItem) {
    auto it = std::find_if(fresh.begin(), fresh.end(),
                           [AItem](const auto& P) { return P.get() == AItem; });
    TObjectPtr<TcxShellItemInfo> owned = std::move(*it);
    fresh.erase(it);
    return owned;
  };
  // The items change only under the write lock, with the fetch thread held,
  // and the control hears of the changes after the lock is released (its
  // handlers read the items, and removing a node frees that node's
  // producer, which stops the fetch thread again).
  std::vector<Integer> removed;
  std::vector<Integer> added;
  TcxShellItemsInfoGatherer* gatherer = GetItemsInfoGatherer();
  gatherer->StopFetch();
  TScopeGuard resume([gatherer] { gatherer->ResumeFetch(); });
  {
    LockWrite();
    TScopeGuard unlock([this] { UnlockWrite(); });
    for (std::size_t i = 0; i < items_.size();) {
      TcxShellItemInfo* old = items_[i];
      auto match = std::find_if(
          sorted.begin(), sorted.end(), [&](TcxShellItemInfo* Candidate) {
            return HRESULT_CODE(ShellFolder()->CompareIDs(
                       0, old->Pidl(), Candidate->Pidl())) == 0;
          });
      if (match != sorted.end()) {
        TcxShellItemInfo* replacement = *match;
        sorted.erase(match);
        items_[i] = take(replacement).release();
        Free(old);
        ++i;
      } else {
        removed.push_back(static_cast<Integer>(i));
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
        Free(old);
      }
    }
    for (TcxShellItemInfo* candidate : sorted) {
      TObjectPtr<TcxShellItemInfo> owned = take(candidate);
      if (!CanAddFolder(owned->Folder())) continue;
      items_.push_back(owned.release());
      added.push_back(static_cast<Integer>(items_.size()) - 1);
    }
  }
  for (Integer index : removed) NotifyRemoveItem(index);
  for (Integer index : added) NotifyAddItem(index);
  return true;
}

// ---------------------------------------------------------------------------
// TcxCustomInnerShellTreeView: construction
// ---------------------------------------------------------------------------

TcxCustomInnerShellTreeView::TcxCustomInnerShellTreeView(TComponent* AOwner)
    : TTreeView(AOwner),
      gatherer_(new TcxShellItemsInfoGatherer(this)),
      root_(new TcxShellTreeRoot(this, nullptr)),
      dragDropSettings_(new TcxDragDropSettings),
      options_(new TcxShellTreeViewOptions(this)),
      producers_(new TThreadList) {
  options_->OnShowToolTipChanged =
      TNotifyEvent(this, &TcxCustomInnerShellTreeView::ShowToolTipChanged);
  SHFILEINFOA info{};
  smallImages_ = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
      "C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  SetDoubleBuffered(true);
}

TcxCustomInnerShellTreeView::~TcxCustomInnerShellTreeView() {
  RemoveChangeNotification();
  {
    TList* list = producers_->LockList();
    TScopeGuard unlock([this] { producers_->UnlockList(); });
    for (Integer i = 0; i < list->Count(); ++i) {
      static_cast<TcxShellTreeItemProducer*>(list->Get(i))->ClearFetchQueue();
    }
  }
  // The nodes free their producers while this class still handles Delete.
  Items()->Clear();
  // The fetch thread ends before the objects its requests reach.
  gatherer_.reset();
}

bool TcxCustomInnerShellTreeView::IsLoading() {
  return ComponentState().Contains(csLoading);
}

Integer TcxCustomInnerShellTreeView::ProducerCount() {
  TList* list = producers_->LockList();
  const Integer count = list->Count();
  producers_->UnlockList();
  return count;
}

TcxShellTreeItemProducer* TcxCustomInnerShellTreeView::NewProducer(
    TTreeNode* ANode) {
  return new TcxShellTreeItemProducer(this, ANode);
}

bool TcxCustomInnerShellTreeView::IsLiveNode(TTreeNode* ANode) {
  if (!ANode) return false;
  TList* list = producers_->LockList();
  TScopeGuard unlock([this] { producers_->UnlockList(); });
  for (Integer i = 0; i < list->Count(); ++i) {
    if (static_cast<TcxShellTreeItemProducer*>(list->Get(i))->Node() == ANode) {
      return true;
    }
  }
  return false;
}

bool TcxCustomInnerShellTreeView::DoAddFolder(TcxShellFolder* AFolder) {
  bool canAdd = true;
  if (OnAddFolder) OnAddFolder(this, AFolder, canAdd);
  return canAdd;
}

void TcxCustomInnerShellTreeView::SetShowInfoTips(bool Value) {
  if (showInfoTips_ == Value) return;
  showInfoTips_ = Value;
  AdjustControlParams();
}

void TcxCustomInnerShellTreeView::ShowToolTipChanged(TObject*) {
  SetToolTips(options_->ShowToolTip());
  AdjustControlParams();
}

void TcxCustomInnerShellTreeView::AdjustControlParams() {
  if (!HandleAllocated()) return;
  LONG style = ::GetWindowLongA(Handle(), GWL_STYLE);
  style = (style & ~TVS_INFOTIP) | TVS_NOTOOLTIPS;
  if (showInfoTips_ || options_->ShowToolTip()) {
    style &= ~(TVS_INFOTIP | TVS_NOTOOLTIPS);
  }
  if (showInfoTips_) style |= TVS_INFOTIP;
  ::SetWindowLongA(Handle(), GWL_STYLE, style);
}

void TcxCustomInnerShellTreeView::CreateParams(TCreateParams& Params) {
  TTreeView::CreateParams(Params);
  if (showInfoTips_) {
    Params.Style = (Params.Style | TVS_INFOTIP) & ~TVS_NOTOOLTIPS;
  }
}

void TcxCustomInnerShellTreeView::CreateWnd() {
  TTreeView::CreateWnd();
  root_->SetParentWindow(Handle());
  ::SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(smallImages_));
  if (!IsLoading() && !root_->Pidl()) root_->CheckRoot();
  UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::DestroyWnd() {
  RemoveChangeNotification();
  SetCreateWndRestores(false);
  TTreeView::DestroyWnd();
}

void TcxCustomInnerShellTreeView::Loaded() {
  TTreeView::Loaded();
  if (!root_->Pidl()) root_->CheckRoot();
  UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::Delete(TTreeNode* Node) {
  TcxShellTreeItemProducer* producer = ProducerOf(Node);
  Node->SetData(nullptr);
  Free(producer);
  TTreeView::Delete(Node);
}

// ---------------------------------------------------------------------------
// Nodes
// ---------------------------------------------------------------------------

void TcxCustomInnerShellTreeView::ApplyItem(TTreeNode* ANode,
                                            TcxShellItemInfo* AItem) {
  ANode->SetText(WideToAnsi(AItem->Name));
  ANode->SetImageIndex(AItem->IconIndex);
  ANode->SetSelectedIndex(AItem->OpenIconIndex);
  ANode->SetHasChildren(AItem->HasSubfolder);
  ANode->SetCut(AItem->IsHidden);
  if (ANode->ItemId() && HandleAllocated()) {
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = ANode->ItemId();
    const Integer overlay = AItem->OverlayIndex();
    item.state = INDEXTOOVERLAYMASK(overlay + 1);
    item.stateMask = TVIS_OVERLAYMASK;
    ::SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void TcxCustomInnerShellTreeView::UpdateNode(TTreeNode* ANode, bool ACheck) {
  if (IsLoading() || !HandleAllocated() || !root_->IsValid()) return;
  TTreeNode* node = ANode;
  if (!node) {
    if (Items()->Count() > 0 && Items()->GetFirstNode()->Data()) {
      Items()->Clear();
    }
    node = Items()->GetFirstNode();
    if (!node) node = Items()->Add(nullptr, String());
    if (!node->Data()) node->SetData(NewProducer(node));
  }
  if (ACheck && node->Parent()) {
    TcxShellTreeItemProducer* parent = ParentProducer(node);
    TcxShellTreeItemProducer* own = ProducerOf(node);
    if (parent && own && !node->GetFirstChild()) {
      TReadLock lock(parent);
      const Integer index = node->Index();
      if (index < parent->ItemCount()) {
        TcxShellItemInfo* item = parent->Item(index);
        own->SetFolderPidl(item->FullPIDL());
        node->SetHasChildren(HasSubItems(
            parent->ShellFolder(), item->FullPIDL(), options_->GetEnumFlags()));
      }
    }
  } else {
    node->SetHasChildren(true);
  }
  if (!ACheck || !node->Parent()) CanExpand(node);
  CreateChangeNotification(nullptr);
}

bool TcxCustomInnerShellTreeView::CanExpand(TTreeNode* Node) {
  bool result = true;
  TcxShellTreeItemProducer* producer = ProducerOf(Node);
  if (producer && !Node->GetFirstChild()) {
    TcxShellFolderPtr folder;
    TcxPidlPtr pidl;
    if (TcxShellTreeItemProducer* parent = ParentProducer(Node)) {
      TReadLock lock(parent);
      const Integer index = Node->Index();
      if (index >= parent->ItemCount()) return false;
      TcxShellItemInfo* item = parent->Item(index);
      result = item->IsFolder;
      Node->SetHasChildren(result);
      if (!result) return false;
      if (!parent->ShellFolder() ||
          FAILED(parent->ShellFolder()->BindToObject(
              item->Pidl(), nullptr, IID_IShellFolder, folder.outVoid())) ||
          !folder) {
        Node->SetHasChildren(false);
        return false;
      }
      pidl.reset(ConcatenatePidls(parent->FolderPidl(), item->Pidl()));
    } else {
      if (!root_->ShellFolder()) return false;
      folder = TcxShellFolderPtr::Share(root_->ShellFolder());
      pidl.reset(GetPidlCopy(root_->Pidl()));
    }
    producer->ProcessItems(folder.get(), pidl.get(), 0);
    if (producer->ItemCount() == 0) Node->SetHasChildren(false);
  }
  return TTreeView::CanExpand(Node) && result;
}

void TcxCustomInnerShellTreeView::Change(TTreeNode* Node) {
  TTreeView::Change(Node);
  UpdateNode(Selected(), !navigating_);
  if (!navigating_) DoNavigateListView();
}

TTreeNode* TcxCustomInnerShellTreeView::GetNodeByPIDL(PItemIDList APidl) {
  if (!APidl) return nullptr;
  CheckShellRoot(root_.get());
  TTreeNode* node = Items()->GetFirstNode();
  if (!node || !root_->Pidl()) return nullptr;
  TcxShellFolderPtr desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.out()))) return nullptr;
  if (!IsPidlUnder(root_->Pidl(), APidl, desktop.get())) return nullptr;
  PItemIDList id = APidl;
  for (Integer skip = GetPidlItemsCount(root_->Pidl()); skip > 0; --skip) {
    id = GetNextItemID(id);
  }
  for (; id && id->mkid.cb != 0; id = GetNextItemID(id)) {
    TcxShellTreeItemProducer* producer = ProducerOf(node);
    if (!producer) return nullptr;
    TcxPidlPtr single(ExtractParticularPidl(id));
    const Integer index = producer->GetItemIndexByPidl(single.get());
    if (index < 0 || index >= node->Count()) return nullptr;
    node = node->Item(index);
  }
  return node;
}

PItemIDList TcxCustomInnerShellTreeView::GetNodeAbsolutePIDL(TTreeNode* ANode) {
  if (!ANode) return nullptr;
  if (!ANode->Parent()) return GetPidlCopy(root_->Pidl());
  TcxShellTreeItemProducer* parent = ParentProducer(ANode);
  if (!parent) return nullptr;
  TReadLock lock(parent);
  const Integer index = ANode->Index();
  if (index >= parent->ItemCount()) return nullptr;
  return GetPidlCopy(parent->Item(index)->FullPIDL());
}

TcxShellFolder* TcxCustomInnerShellTreeView::GetFolder(Integer AAbsoluteIndex) {
  TTreeNode* node = Items()->Item(AAbsoluteIndex);
  if (!node->Parent()) return root_->Folder();
  TcxShellTreeItemProducer* parent = ParentProducer(node);
  TReadLock lock(parent);
  const Integer index = node->Index();
  return parent && index < parent->ItemCount() ? parent->Item(index)->Folder()
                                               : nullptr;
}

Integer TcxCustomInnerShellTreeView::GetFolderCount() {
  return Items()->Count();
}

void TcxCustomInnerShellTreeView::UpdateContent() {
  if (!HandleAllocated()) return;
  CheckShellRoot(root_.get());
  Perform(DSM_SHELLTREECHANGENOTIFY, reinterpret_cast<WPARAM>(root_->Pidl()),
          0);
}

void TcxCustomInnerShellTreeView::KeyDown(Word& Key, TShiftState Shift) {
  TTreeView::KeyDown(Key, Shift);
  if (Key == VK_F5) UpdateContent();
}

bool TcxCustomInnerShellTreeView::CanEdit(TTreeNode* Node) {
  TcxShellTreeItemProducer* parent = ParentProducer(Node);
  if (!parent) return false;
  bool canRename = false;
  {
    TReadLock lock(parent);
    const Integer index = Node->Index();
    if (index >= parent->ItemCount()) return false;
    canRename = parent->Item(index)->CanRename;
  }
  return canRename && TTreeView::CanEdit(Node);
}

void TcxCustomInnerShellTreeView::EndLabelEdit(TTreeNode* ANode) {
  TcxShellTreeItemProducer* parent = ParentProducer(ANode);
  if (!parent || !parent->ShellFolder()) return;
  RemoveChangeNotification();
  const WideString newName = AnsiToWide(ANode->Text());
  parent->LockWrite();
  TScopeGuard unlock([parent] { parent->UnlockWrite(); });
  const Integer index = ANode->Index();
  if (index >= parent->ItemCount()) return;
  TcxShellItemInfo* item = parent->Item(index);
  PItemIDList renamed = nullptr;
  const HRESULT hr = parent->ShellFolder()->SetNameOf(
      Handle(), item->Pidl(), AsWChar(newName),
      SHGDN_INFOLDER | SHGDN_FORPARSING, &renamed);
  TcxPidlPtr owned(renamed);
  if (SUCCEEDED(hr) && renamed) {
    item->SetNewPidl(parent->ShellFolder(), parent->FolderPidl(), renamed);
    // The children were enumerated under the old name.
    if (TcxShellTreeItemProducer* own = ProducerOf(ANode)) {
      ANode->DeleteChildren();
      own->ClearItems();
    }
  }
  // A refused rename shows the old name again at once.
  ApplyItem(ANode, item);
}

// ---------------------------------------------------------------------------
// Change tracking and rebuilds
// ---------------------------------------------------------------------------

void TcxCustomInnerShellTreeView::CreateChangeNotification(TTreeNode* ANode) {
  if (notificationLocked_ || !HandleAllocated()) return;
  creatingNotification_ = true;
  TScopeGuard clear([this] { creatingNotification_ = false; });
  if (!options_->TrackShellChanges || Items()->Count() == 0) {
    RemoveChangeNotification();
    return;
  }
  TTreeNode* node = ANode ? ANode : Selected();
  if (!node) node = Items()->GetFirstNode();
  CheckShellRoot(root_.get());
  TcxPidlPtr pidl(GetNodeAbsolutePIDL(node));
  if (!pidl) return;
  RegisterShellChangeNotifier(pidl.get(), Handle(), DSM_SHELLTREECHANGENOTIFY,
                              true, notifier_);
}

void TcxCustomInnerShellTreeView::RemoveChangeNotification() {
  UnregisterShellChangeNotifier(notifier_);
}

void TcxCustomInnerShellTreeView::SaveTreeState() {
  TTreeNode* top = TopItem();
  savedTopIndex_ = top ? top->AbsoluteIndex() : -1;
  savedExpanded_.clear();
  for (TTreeNode* node = Items()->GetFirstNode(); node;
       node = node->GetNext()) {
    if (!node->Expanded()) continue;
    savedExpanded_.emplace_back(node->Parent() ? GetNodeAbsolutePIDL(node)
                                               : nullptr);
  }
  savedSelected_.reset(GetNodeAbsolutePIDL(Selected()));
}

void TcxCustomInnerShellTreeView::RestoreTreeState() {
  {
    std::vector<TcxPidlPtr> expanded = std::move(savedExpanded_);
    savedExpanded_.clear();
    for (const TcxPidlPtr& pidl : expanded) {
      if (TTreeNode* node = GetNodeByPIDL(pidl ? pidl.get() : root_->Pidl())) {
        node->Expand(false);
      }
    }
  }
  if (savedTopIndex_ >= 0 && savedTopIndex_ < Items()->Count()) {
    SetTopItem(Items()->Item(savedTopIndex_));
  }
  TcxPidlPtr selected = std::move(savedSelected_);
  if (!selected) return;
  for (TcxPidlPtr pidl = std::move(selected); pidl;) {
    if (GetNodeByPIDL(pidl.get())) {
      ::PostMessageA(Handle(), DSM_SHELLTREERESTORECURRENTPATH,
                     reinterpret_cast<WPARAM>(GetPidlCopy(pidl.get())), 0);
      return;
    }
    if (pidl->mkid.cb == 0) return;
    pidl.reset(GetPidlParent(pidl.get()));
  }
}

void TcxCustomInnerShellTreeView::DsmShellTreeChangeNotify(TMessage& M) {
  if (creatingNotification_ || rebuilding_) return;
  const auto eventId = static_cast<Integer>(M.LParam);
  PItemIDList pidl1 = nullptr;
  PItemIDList pidl2 = nullptr;
  if (eventId != 0 && M.WParam) {
    auto* pidls = reinterpret_cast<PItemIDList*>(M.WParam);
    pidl1 = pidls[0];
    pidl2 = pidls[1];
  }
  if (eventId == SHCNE_UPDATEITEM && !GetNodeByPIDL(pidl1)) return;
  TScopeGuard raise([&] {
    if (OnShellChange) OnShellChange(this, eventId, pidl1, pidl2);
  });
  Items()->BeginUpdate();
  TScopeGuard endUpdate([this] { Items()->EndUpdate(); });
  rebuilding_ = true;
  TScopeGuard clearRebuilding([this] { rebuilding_ = false; });
  HWND parentWnd =
      Parent() && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
  if (parentWnd) ::SendMessageA(parentWnd, WM_SETREDRAW, FALSE, 0);
  TScopeGuard redraw([this, parentWnd] {
    if (!parentWnd) return;
    ::SendMessageA(parentWnd, WM_SETREDRAW, TRUE, 0);
    Parent()->Update();
  });
  SaveTreeState();
  TScopeGuard restore([this] { RestoreTreeState(); });
  Items()->Clear();
  UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::DsmShellTreeRestoreCurrentPath(TMessage& M) {
  auto* pidl = reinterpret_cast<PItemIDList>(M.WParam);
  if (notificationLocked_) {
    ::PostMessageA(Handle(), DSM_SHELLTREERESTORECURRENTPATH, M.WParam, 0);
    return;
  }
  TcxPidlPtr owned(pidl);
  Perform(DSM_DONAVIGATE, reinterpret_cast<WPARAM>(pidl), 0);
  DoNavigateListView();
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TcxCustomInnerShellTreeView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      CNNotify(Message);
      return;
    case DSM_SETCOUNT:
      DsmSetCount(Message);
      return;
    case DSM_NOTIFYUPDATE:
      DsmNotifyUpdateItem(Message);
      return;
    case DSM_NOTIFYREMOVEITEM:
      DsmNotifyRemoveItem(Message);
      return;
    case DSM_NOTIFYADDITEM:
      DsmNotifyAddItem(Message);
      return;
    case DSM_NOTIFYUPDATECONTENTS:
      DsmNotifyUpdateContents(Message);
      return;
    case DSM_SHELLCHANGENOTIFY:
      DsmShellChangeNotify(Message);
      return;
    case DSM_DONAVIGATE:
      DsmDoNavigate(Message);
      return;
    case DSM_SYNCHRONIZEROOT:
      DsmSynchronizeRoot(Message);
      return;
    case DSM_SHELLTREECHANGENOTIFY:
      DsmShellTreeChangeNotify(Message);
      return;
    case DSM_SHELLTREERESTORECURRENTPATH:
      DsmShellTreeRestoreCurrentPath(Message);
      return;
    default:
      TTreeView::Dispatch(Message);
  }
}

void TcxCustomInnerShellTreeView::CNNotify(TMessage& M) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
  switch (hdr->code) {
    case TVN_GETINFOTIPA: {
      auto* tip = reinterpret_cast<NMTVGETINFOTIPA*>(M.LParam);
      TTreeNode* node = Items()->GetNode(tip->hItem);
      if (TcxShellTreeItemProducer* parent = ParentProducer(node)) {
        parent->DoGetInfoTip(Handle(), node->Index(), tip->pszText,
                             tip->cchTextMax);
      }
      return;
    }
    case TVN_ENDLABELEDITA: {
      const auto& info = *reinterpret_cast<const NMTVDISPINFOA*>(M.LParam);
      TTreeNode* node = Items()->GetNode(info.item.hItem);
      const bool edited = info.item.pszText != nullptr;
      TTreeView::Dispatch(M);
      if (node && edited) EndLabelEdit(node);
      return;
    }
    default:
      TTreeView::Dispatch(M);
  }
}

void TcxCustomInnerShellTreeView::DsmSetCount(TMessage& M) {
  auto* node = reinterpret_cast<TTreeNode*>(M.LParam);
  TcxShellTreeItemProducer* producer = ProducerOf(node);
  if (!producer) return;
  if (M.WParam == 0) {
    node->DeleteChildren();
    node->SetHasChildren(false);
    return;
  }
  TReadLock lock(producer);
  Items()->BeginUpdate();
  TScopeGuard endUpdate([this] { Items()->EndUpdate(); });
  bool added = false;
  for (Integer i = 0; i < producer->ItemCount(); ++i) {
    TcxShellItemInfo* item = producer->Item(i);
    if (!item->Updated) producer->FetchRequest(i, false);
    TTreeNode* child = Items()->AddChild(node, WideToAnsi(item->Name));
    child->SetData(NewProducer(child));
    ApplyItem(child, item);
    added = true;
  }
  if (!added) node->SetHasChildren(false);
}

void TcxCustomInnerShellTreeView::DsmNotifyUpdateItem(TMessage& M) {
  auto* node = reinterpret_cast<TTreeNode*>(M.LParam);
  // Posted by the fetch thread: the node may have gone meanwhile.
  if (!IsLiveNode(node)) return;
  TcxShellTreeItemProducer* producer = ProducerOf(node);
  const auto index = static_cast<Integer>(M.WParam);
  if (!producer || index < 0 || index >= node->Count()) return;
  TReadLock lock(producer);
  if (index >= producer->ItemCount()) return;
  ApplyItem(node->Item(index), producer->Item(index));
}

void TcxCustomInnerShellTreeView::DsmNotifyRemoveItem(TMessage& M) {
  auto* node = reinterpret_cast<TTreeNode*>(M.LParam);
  const auto index = static_cast<Integer>(M.WParam);
  if (node && index >= 0 && index < node->Count()) node->Item(index)->Delete();
}

void TcxCustomInnerShellTreeView::DsmNotifyAddItem(TMessage& M) {
  auto* node = reinterpret_cast<TTreeNode*>(M.LParam);
  TcxShellTreeItemProducer* producer = ProducerOf(node);
  if (!producer) return;
  TReadLock lock(producer);
  const auto index = static_cast<Integer>(M.WParam);
  if (index < 0 || index >= producer->ItemCount()) return;
  TcxShellItemInfo* item = producer->Item(index);
  TTreeNode* child = Items()->AddChild(node, WideToAnsi(item->Name));
  child->SetData(NewProducer(child));
  ApplyItem(child, item);
}

void TcxCustomInnerShellTreeView::DsmNotifyUpdateContents(TMessage&) {
  if (!IsLoading()) UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::DsmShellChangeNotify(TMessage& M) {
  auto* producer = reinterpret_cast<TcxShellTreeItemProducer*>(M.WParam);
  bool live = false;
  {
    TList* list = producers_->LockList();
    live = list->IndexOf(producer) >= 0;
    producers_->UnlockList();
  }
  if (!live || !producer->CheckUpdates()) UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::DsmDoNavigate(TMessage& M) {
  auto* pidl = reinterpret_cast<PItemIDList>(M.WParam);
  if (!pidl) return;
  TcxShellFolderPtr desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.out()))) return;
  navigating_ = true;
  TScopeGuard clear([this] { navigating_ = false; });
  Items()->BeginUpdate();
  TScopeGuard endUpdate([this] { Items()->EndUpdate(); });
  CheckShellRoot(root_.get());
  const Integer rootCount = GetPidlItemsCount(root_->Pidl());
  if (GetPidlItemsCount(pidl) < rootCount) {
    root_->SetPidl(pidl);
    SetSelected(Items()->GetFirstNode());
    return;
  }
  // Compared id by id: a path of as many ids elsewhere is not below the root.
  if (!IsPidlUnder(root_->Pidl(), pidl, desktop.get())) return;
  PItemIDList id = pidl;
  for (Integer skip = rootCount; skip > 0; --skip) id = GetNextItemID(id);
  TTreeNode* node = Items()->GetFirstNode();
  if (!node) return;
  SetSelected(node);
  for (; id && id->mkid.cb != 0; id = GetNextItemID(id)) {
    if (!node->GetFirstChild()) UpdateNode(node, false);
    TcxShellTreeItemProducer* producer = ProducerOf(node);
    if (!producer) break;
    TcxPidlPtr single(ExtractParticularPidl(id));
    const Integer index = producer->GetItemIndexByPidl(single.get());
    if (index < 0 || index >= node->Count()) break;
    node = node->Item(index);
    SetSelected(node);
  }
  if (TTreeNode* selected = Selected()) {
    ::SendMessageA(Handle(), TVM_ENSUREVISIBLE, 0,
                   reinterpret_cast<LPARAM>(selected->ItemId()));
  }
}

void TcxCustomInnerShellTreeView::DsmSynchronizeRoot(TMessage& M) {
  if (Parent() && Parent()->ComponentState().Contains(csLoading)) return;
  root_->Update(reinterpret_cast<TcxCustomShellRoot*>(M.WParam));
}

void TcxCustomInnerShellTreeView::DoContextPopup(TPoint MousePos,
                                                 bool& Handled) {
  TTreeNode* node = GetNodeAt(MousePos.X, MousePos.Y);
  if (!options_->ContextMenus || !node) {
    TTreeView::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  TcxShellTreeItemProducer* parent = ParentProducer(node);
  if (!parent) return;
  // The menu runs its own loop: it keeps its own reference to the folder and
  // a copy of the item id, so a rebuild meanwhile frees nothing it uses.
  TcxShellFolderPtr folder;
  TcxPidlPtr pidl;
  {
    TReadLock lock(parent);
    const Integer index = node->Index();
    if (index >= parent->ItemCount()) return;
    folder = TcxShellFolderPtr::Share(parent->ShellFolder());
    pidl.reset(GetPidlCopy(parent->Item(index)->Pidl()));
  }
  CreateChangeNotification(node);
  notificationLocked_ = true;
  TScopeGuard unlock([this] { notificationLocked_ = false; });
  POINT screen{MousePos.X, MousePos.Y};
  ::ClientToScreen(Handle(), &screen);
  DisplayContextMenu(Handle(), folder.get(), {pidl.get()},
                     TPoint{screen.x, screen.y});
}
