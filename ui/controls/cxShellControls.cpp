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
// TcxShellListViewOptions
// ---------------------------------------------------------------------------

void TcxShellListViewOptions::Assign(TPersistent* Source) {
  if (auto* options = dynamic_cast<TcxShellListViewOptions*>(Source)) {
    AutoNavigate = options->AutoNavigate;
  }
  TcxShellOptions::Assign(Source);
}

// ---------------------------------------------------------------------------
// TcxShellListRoot
// ---------------------------------------------------------------------------

TcxShellListRoot::TcxShellListRoot(TcxCustomInnerShellListView* AOwner,
                                   HWND AParentWindow)
    : TcxCustomShellRoot(AOwner, AParentWindow), list_(AOwner) {}

void TcxShellListRoot::RootUpdated() {
  TcxCustomShellRoot::RootUpdated();
  if (!list_) return;
  list_->CheckUpdateItems();
  if (list_->OnRootChanged) list_->OnRootChanged(list_, this);
}

// ---------------------------------------------------------------------------
// TcxShellListViewProducer
// ---------------------------------------------------------------------------

TcxShellListViewProducer::TcxShellListViewProducer(
    TcxCustomInnerShellListView* AOwner)
    : TcxCustomItemProducer(AOwner), list_(AOwner) {}

TcxShellListViewProducer::~TcxShellListViewProducer() {
  try {
    ClearFetchQueue();
  } catch (...) {
  }
}

bool TcxShellListViewProducer::CanAddFolder(TcxShellFolder* AFolder) {
  return list_->DoAddFolder(AFolder);
}

bool TcxShellListViewProducer::DoCompareItems(TcxShellFolder* AFolder1,
                                              TcxShellFolder* AFolder2,
                                              Integer& ACompare) {
  return list_->DoCompare(AFolder1, AFolder2, ACompare);
}

DWORD TcxShellListViewProducer::GetEnumFlags() {
  return list_->Options()->GetEnumFlags();
}

TcxShellItemsInfoGatherer* TcxShellListViewProducer::GetItemsInfoGatherer() {
  return list_->ItemsInfoGatherer();
}

bool TcxShellListViewProducer::GetShowToolTip() {
  return list_->Options()->ShowToolTip();
}

void TcxShellListViewProducer::NotifyUpdateItem(
    const TcxRequestItem& ARequest) {
  // Only rows on screen asked with priority; the others are drawn complete
  // when they come into view.
  if (!ARequest.Priority || !list_->HandleAllocated()) return;
  bool inside = false;
  {
    TReadLock lock(this);
    inside = ARequest.ItemIndex < ItemCount();
  }
  if (inside) {
    ::PostMessageA(list_->Handle(), DSM_NOTIFYUPDATE, ARequest.ItemIndex, 0);
  }
}

void TcxShellListViewProducer::ProcessDetails(IShellFolder* AFolder, Integer) {
  Integer charWidth = 8;
  if (HDC dc = ::GetDC(nullptr)) {
    HGDIOBJ old = ::SelectObject(dc, list_->Font()->Handle());
    SIZE size{};
    if (::GetTextExtentPoint32A(dc, "X", 1, &size)) charWidth = size.cx;
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
  }
  TcxCustomItemProducer::ProcessDetails(AFolder, charWidth);
  list_->CreateColumns();
}

// ---------------------------------------------------------------------------
// TcxCustomInnerShellListView: construction
// ---------------------------------------------------------------------------

namespace {

// Set while a list view shows what a linked control chose: no list view
// then tells its own linked controls, which would echo it back.
bool linkedControlNavigating = false;

}  // namespace

TcxCustomInnerShellListView::TcxCustomInnerShellListView(TComponent* AOwner)
    : TcxCustomInnerListView(AOwner),
      gatherer_(new TcxShellItemsInfoGatherer(this)),
      root_(new TcxShellListRoot(this, nullptr)),
      dragDropSettings_(new TcxDragDropSettings),
      options_(new TcxShellListViewOptions(this)),
      producer_(new TcxShellListViewProducer(this)),
      dropTarget_(this) {
  root_->OnSettingsChanged =
      TNotifyEvent(this, &TcxCustomInnerShellListView::RootSettingsChanged);
  SHFILEINFOA info{};
  smallImages_ = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
      "C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  largeImages_ = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
  SetOwnerData(true);
  SetHideSelection(false);
  SetDoubleBuffered(true);
}

TcxCustomInnerShellListView::~TcxCustomInnerShellListView() {
  RemoveChangeNotification();
  SetTreeView(nullptr);
  SetComboBox(nullptr);
  currentDropTarget_.reset();
  // The producer's requests leave the queue before the thread ends.
  producer_.reset();
  gatherer_.reset();
}

bool TcxCustomInnerShellListView::LinkedControlNavigating() {
  return linkedControlNavigating;
}

void TcxCustomInnerShellListView::CreateParams(TCreateParams& Params) {
  TcxCustomInnerListView::CreateParams(Params);
  Params.Style |= LVS_SHAREIMAGELISTS;
}

void TcxCustomInnerShellListView::CreateWnd() {
  TcxCustomInnerListView::CreateWnd();
  ::SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(smallImages_));
  ::SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(largeImages_));
  // The rows' overlays, cut state and drop mark are asked per row: an
  // owner-data list keeps only selection and focus.
  ::SendMessageA(Handle(), LVM_SETCALLBACKMASK,
                 LVIS_OVERLAYMASK | LVIS_CUT | LVIS_DROPHILITED, 0);
  dropTarget_.Register(Handle());
  if (root_->Pidl()) {
    CheckUpdateItems();
  } else {
    root_->CheckRoot();
  }
}

void TcxCustomInnerShellListView::DestroyWnd() {
  RemoveChangeNotification();
  Columns()->Clear();
  dropTarget_.Revoke();
  TcxCustomInnerListView::DestroyWnd();
}

void TcxCustomInnerShellListView::Loaded() {
  TcxCustomInnerListView::Loaded();
  if (ComponentState().Contains(csDesigning)) root_->RootUpdated();
}

bool TcxCustomInnerShellListView::DoAddFolder(TcxShellFolder* AFolder) {
  bool canAdd = true;
  if (OnAddFolder) OnAddFolder(this, AFolder, canAdd);
  return canAdd;
}

bool TcxCustomInnerShellListView::DoCompare(TcxShellFolder* AFolder1,
                                            TcxShellFolder* AFolder2,
                                            Integer& ACompare) {
  if (!OnCompare) return false;
  OnCompare(this, AFolder1, AFolder2, ACompare);
  return true;
}

void cxShellSendRootToLinked(TWinControl* AControl, TcxCustomShellRoot* ARoot) {
  if (AControl && AControl->HandleAllocated()) {
    ::SendMessageA(AControl->Handle(), DSM_SYNCHRONIZEROOT,
                   reinterpret_cast<WPARAM>(ARoot), 0);
  }
}

void cxShellSendNavigateToLinked(TWinControl* AControl, PItemIDList APidl) {
  if (!AControl || !AControl->Parent() || !APidl) return;
  AControl->HandleNeeded();
  ::SendMessageA(AControl->Handle(), DSM_DONAVIGATE,
                 reinterpret_cast<WPARAM>(APidl), 0);
}

void cxShellSetLink(TComponent* AOwner, TWinControl*& ALink,
                    TWinControl* AValue) {
  if (ALink == AValue) return;
  if (ALink) ALink->RemoveFreeNotification(AOwner);
  ALink = AValue;
  if (ALink) ALink->FreeNotification(AOwner);
}

void TcxCustomInnerShellListView::RootSettingsChanged(TObject*) {
  if (Parent() && Parent()->ComponentState().Contains(csLoading)) return;
  cxShellSendRootToLinked(treeView_, root_.get());
  cxShellSendRootToLinked(comboBox_, root_.get());
}

void TcxCustomInnerShellListView::SetTreeView(TWinControl* AValue) {
  cxShellSetLink(this, treeView_, AValue);
}

void TcxCustomInnerShellListView::SetComboBox(TWinControl* AValue) {
  cxShellSetLink(this, comboBox_, AValue);
}

void TcxCustomInnerShellListView::Notification(TComponent* AComponent,
                                               TOperation Operation) {
  TcxCustomInnerListView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == treeView_) treeView_ = nullptr;
  if (AComponent == comboBox_) comboBox_ = nullptr;
}

// ---------------------------------------------------------------------------
// Showing the folder
// ---------------------------------------------------------------------------

void TcxCustomInnerShellListView::CheckUpdateItems() {
  producer_->ClearItems();
  if (!HandleAllocated() || !::IsWindow(Handle())) return;
  if (root_->IsValid()) {
    if (producer_->ItemCount() == 0) {
      producer_->ProcessItems(root_->ShellFolder(), root_->Pidl(), 10);
    }
  } else {
    Clear();
  }
  CreateChangeNotification();
  Invalidate();
}

void TcxCustomInnerShellListView::SetListViewStyle(TcxListViewStyle Value) {
  static constexpr TViewStyle kStyles[] = {vsIcon, vsSmallIcon, vsList,
                                           vsReport};
  listStyle_ = Value;
  SetViewStyle(kStyles[Value]);
  CreateColumns();
  if (HandleAllocated()) Invalidate();
}

void TcxCustomInnerShellListView::CreateColumns() {
  if (listStyle_ != lvsReport) return;
  TListColumns* columns = Columns();
  columns->BeginUpdate();
  TScopeGuard endUpdate([columns] { columns->EndUpdate(); });
  columns->Clear();
  TcxShellDetails* details = producer_->Details();
  for (Integer i = 0; i < details->GetCount(); ++i) {
    const TcxDetailItem& detail = details->GetItems(i);
    TListColumn* column = columns->Add();
    column->SetCaption(detail.Text);
    column->SetAlignment(detail.Alignment);
    column->SetWidth(detail.Width);
  }
}

void TcxCustomInnerShellListView::OwnerDataFetch(TListItem* Item) {
  {
    TReadLock lock(producer_.get());
    const Integer index = Item->Index();
    if (index < 0 || index >= producer_->ItemCount()) return;
    TcxShellItemInfo* item = producer_->Item(index);
    item->CheckUpdate(producer_->ShellFolder(), producer_->FolderPidl(), false);
    Item->SetCaption(WideToAnsi(item->Name));
    Item->SetImageIndex(item->IconIndex);
    if (listStyle_ == lvsReport) {
      if (item->Details()->Count() == 0) {
        item->FetchDetails(Handle(), producer_->ShellFolder(),
                           *producer_->Details());
      }
      Item->SubItems()->Assign(item->Details());
    }
    if (!item->Updated) producer_->FetchRequest(index, true);
  }
  TcxCustomInnerListView::OwnerDataFetch(Item);
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TcxCustomInnerShellListView::Dispatch(TMessage& Message) {
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
    case DSM_NOTIFYUPDATECONTENTS:
      DsmNotifyUpdateContents(Message);
      return;
    case DSM_SHELLCHANGENOTIFY:
      DsmShellChangeNotify(Message);
      return;
    case DSM_SYNCHRONIZEROOT:
      DsmSynchronizeRoot(Message);
      return;
    default:
      TcxCustomInnerListView::Dispatch(Message);
  }
}

void TcxCustomInnerShellListView::CNNotify(TMessage& M) {
  if (ComponentState().Contains(csDestroying)) return;
  const auto* hdr = reinterpret_cast<const NMHDR*>(M.LParam);
  switch (hdr->code) {
    case LVN_GETINFOTIPA: {
      auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(M.LParam);
      producer_->DoGetInfoTip(Handle(), tip->iItem, tip->pszText,
                              tip->cchTextMax);
      return;
    }
    case LVN_GETDISPINFOA: {
      TcxCustomInnerListView::Dispatch(M);
      auto& item = reinterpret_cast<NMLVDISPINFOA*>(M.LParam)->item;
      if (item.iSubItem != 0 || !(item.mask & (LVIF_IMAGE | LVIF_STATE))) {
        return;
      }
      TReadLock lock(producer_.get());
      if (item.iItem < 0 || item.iItem >= producer_->ItemCount()) return;
      TcxShellItemInfo* info = producer_->Item(item.iItem);
      info->CheckUpdate(producer_->ShellFolder(), producer_->FolderPidl(),
                        false);
      item.state &= ~(LVIS_OVERLAYMASK | LVIS_CUT | LVIS_DROPHILITED);
      item.state |= INDEXTOOVERLAYMASK(info->OverlayIndex() + 1);
      if (info->IsHidden) item.state |= LVIS_CUT;
      if (item.iItem == dropItem_) item.state |= LVIS_DROPHILITED;
      item.stateMask |= LVIS_OVERLAYMASK | LVIS_CUT | LVIS_DROPHILITED;
      item.mask |= LVIF_STATE;
      return;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
      if (!dragDropSettings_->AllowDragObjects()) {
        TcxCustomInnerListView::Dispatch(M);
      } else if (SelCount() > 0) {
        DoBeginDrag();
      }
      return;
    default:
      TcxCustomInnerListView::Dispatch(M);
  }
}

void TcxCustomInnerShellListView::DsmSetCount(TMessage& M) {
  SetItemCount(static_cast<Integer>(M.WParam));
  if (!HandleAllocated()) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

void TcxCustomInnerShellListView::DsmNotifyUpdateItem(TMessage& M) {
  if (HandleAllocated()) ::SendMessageA(Handle(), LVM_UPDATE, M.WParam, 0);
  if (Container()) Container()->SetScrollBarsParameters(false);
}

void TcxCustomInnerShellListView::DsmNotifyUpdateContents(TMessage&) {
  if (!ComponentState().Contains(csLoading)) CheckUpdateItems();
  if (Container()) Container()->SetScrollBarsParameters(false);
}

void TcxCustomInnerShellListView::DsmShellChangeNotify(TMessage& M) {
  if (shellChanging_) return;
  TRestoreOnExit changing(shellChanging_, true);
  const auto eventId = static_cast<Integer>(M.LParam);
  PItemIDList pidl1 = nullptr;
  PItemIDList pidl2 = nullptr;
  if (M.WParam) {
    auto* pidls = reinterpret_cast<PItemIDList*>(M.WParam);
    pidl1 = pidls[0];
    pidl2 = pidls[1];
  }
  CheckUpdateItems();
  if (OnShellChange) OnShellChange(this, eventId, pidl1, pidl2);
  if (Container()) Container()->SetScrollBarsParameters(false);
}

void TcxCustomInnerShellListView::DsmSynchronizeRoot(TMessage& M) {
  if (Parent() && Parent()->ComponentState().Contains(csLoading)) return;
  root_->Update(reinterpret_cast<TcxCustomShellRoot*>(M.WParam));
}

// ---------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------

std::vector<Integer> TcxCustomInnerShellListView::SelectedIndexes() {
  std::vector<Integer> indexes;
  if (!HandleAllocated()) return indexes;
  for (LRESULT row = -1;;) {
    row = ::SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                         LVNI_SELECTED);
    if (row < 0) break;
    indexes.push_back(static_cast<Integer>(row));
  }
  return indexes;
}

PItemIDList TcxCustomInnerShellListView::GetItemAbsolutePIDL(Integer AIndex) {
  TReadLock lock(producer_.get());
  if (AIndex < 0 || AIndex >= producer_->ItemCount()) return nullptr;
  return ConcatenatePidls(producer_->FolderPidl(),
                          producer_->Item(AIndex)->Pidl());
}

TcxShellFolder* TcxCustomInnerShellListView::GetFolder(Integer AIndex) {
  TReadLock lock(producer_.get());
  return AIndex >= 0 && AIndex < producer_->ItemCount()
             ? producer_->Item(AIndex)->Folder()
             : nullptr;
}

Integer TcxCustomInnerShellListView::GetFolderCount() { return ItemCount(); }

void TcxCustomInnerShellListView::Navigate(PItemIDList APidl) {
  if (!APidl || EqualPIDLs(APidl, producer_->FolderPidl())) return;
  TcxPidlPtr target(GetPidlCopy(APidl));
  if (OnBeforeNavigation) {
    String path;
    try {
      path = WideToAnsi(GetShellItemDisplayName(
          GetDesktopIShellFolder().get(), target.get(), SHGDN_FORPARSING));
    } catch (const EOleError&) {
    }
    OnBeforeNavigation(this, target.get(), AnsiToWide(path));
  }
  root_->SetPidl(target.get());
  DoNavigateTreeView();
  if (OnAfterNavigation) {
    OnAfterNavigation(this, root_->Pidl(), root_->GetCurrentPath());
  }
}

void TcxCustomInnerShellListView::DoProcessNavigation(Integer AIndex) {
  TcxPidlPtr target;
  {
    TReadLock lock(producer_.get());
    if (AIndex < 0 || AIndex >= producer_->ItemCount()) return;
    TcxShellItemInfo* item = producer_->Item(AIndex);
    if (!item->IsFolder) return;
    target.reset(ConcatenatePidls(producer_->FolderPidl(), item->Pidl()));
  }
  // Navigating reloads the producer: no lock may be held then.
  Navigate(target.get());
}

void TcxCustomInnerShellListView::DoProcessDefaultCommand(Integer AIndex) {
  TcxPidlPtr pidl(GetItemAbsolutePIDL(AIndex));
  if (!pidl) return;
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = Handle();
  info.lpIDList = pidl.get();
  info.nShow = SW_SHOW;
  ::ShellExecuteExA(&info);
}

void TcxCustomInnerShellListView::DblClick() {
  const std::vector<Integer> selected = SelectedIndexes();
  if (options_->AutoNavigate && !selected.empty()) {
    bool folder = false;
    {
      TReadLock lock(producer_.get());
      const Integer index = selected.front();
      folder =
          index < producer_->ItemCount() && producer_->Item(index)->IsFolder;
    }
    if (folder) {
      DoProcessNavigation(selected.front());
    } else {
      DoProcessDefaultCommand(selected.front());
    }
  }
  TcxCustomInnerListView::DblClick();
}

void TcxCustomInnerShellListView::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomInnerListView::KeyDown(Key, Shift);
  if (IsEditingLabel()) return;
  switch (Key) {
    case VK_BACK:
      if (options_->AutoNavigate) BrowseParent();
      break;
    case VK_RETURN:
      DblClick();
      break;
    case VK_F5:
      UpdateContent();
      break;
    default:
      break;
  }
}

void TcxCustomInnerShellListView::BrowseParent() {
  TcxPidlPtr parent(GetPidlParent(producer_->FolderPidl()));
  if (parent) Navigate(parent.get());
}

void TcxCustomInnerShellListView::UpdateContent() {
  TcxPidlPtr selected;
  if (!MultiSelect()) {
    const std::vector<Integer> rows = SelectedIndexes();
    if (!rows.empty()) {
      TReadLock lock(producer_.get());
      if (rows.front() < producer_->ItemCount()) {
        selected.reset(GetPidlCopy(producer_->Item(rows.front())->Pidl()));
      }
    }
  }
  CheckUpdateItems();
  if (!selected || !HandleAllocated()) return;
  const Integer index = producer_->GetItemIndexByPidl(selected.get());
  if (index < 0) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void TcxCustomInnerShellListView::ProcessTreeViewNavigate(PItemIDList APidl) {
  if (!APidl) return;
  TRestoreOnExit navigating(linkedControlNavigating, true);
  SHFILEINFOW info{};
  info.dwAttributes = SFGAO_FOLDER;
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(APidl), 0, &info,
                        sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED) ||
      !(info.dwAttributes & SFGAO_FOLDER)) {
    return;
  }
  if (!EqualPIDLs(APidl, root_->Pidl())) root_->SetPidl(APidl);
}

void TcxCustomInnerShellListView::DoNavigateTreeView() {
  if (linkedControlNavigating || (!treeView_ && !comboBox_)) return;
  TcxPidlPtr pidl(GetPidlCopy(root_->Pidl()));
  cxShellSendNavigateToLinked(treeView_, pidl.get());
  cxShellSendNavigateToLinked(comboBox_, pidl.get());
}

// ---------------------------------------------------------------------------
// Label editing and the context menu
// ---------------------------------------------------------------------------

bool TcxCustomInnerShellListView::CanEdit(TListItem* Item) {
  if (!Item) return true;
  {
    TReadLock lock(producer_.get());
    const Integer index = Item->Index();
    if (index < 0 || index >= producer_->ItemCount()) return false;
    if (!producer_->Item(index)->CanRename) return false;
  }
  return TcxCustomInnerListView::CanEdit(Item);
}

void TcxCustomInnerShellListView::Edit(const LVITEMA& Item) {
  TcxCustomInnerListView::Edit(Item);
  if (!Item.pszText) return;
  TcxPidlPtr oldPidl;
  TcxShellFolderPtr folder;
  {
    TReadLock lock(producer_.get());
    if (Item.iItem < 0 || Item.iItem >= producer_->ItemCount()) return;
    oldPidl.reset(GetPidlCopy(producer_->Item(Item.iItem)->Pidl()));
    folder = TcxShellFolderPtr::Share(producer_->ShellFolder());
  }
  if (!folder) return;
  // No lock is held while the shell renames: its change notice may reload
  // the folder meanwhile.
  const WideString name = AnsiToWide(Item.pszText);
  PItemIDList renamed = nullptr;
  const HRESULT hr =
      folder->SetNameOf(Handle(), oldPidl.get(), AsWChar(name),
                        SHGDN_INFOLDER | SHGDN_FORPARSING, &renamed);
  TcxPidlPtr newPidl(renamed);
  if (SUCCEEDED(hr) && newPidl && folder.get() == producer_->ShellFolder()) {
    const Integer index = producer_->GetItemIndexByPidl(oldPidl.get());
    if (index >= 0) {
      TcxShellItemsInfoGatherer* gatherer = gatherer_.get();
      gatherer->StopFetch();
      TScopeGuard resume([gatherer] { gatherer->ResumeFetch(); });
      producer_->LockWrite();
      TScopeGuard unlock([this] { producer_->UnlockWrite(); });
      producer_->Item(index)->SetNewPidl(folder.get(), producer_->FolderPidl(),
                                         newPidl.get());
    }
  }
  // The row shows the item's name: the new one, or the old one at once when
  // the shell refused.
  if (HandleAllocated()) {
    ::SendMessageA(Handle(), LVM_UPDATE, static_cast<WPARAM>(Item.iItem), 0);
  }
}

void TcxCustomInnerShellListView::DoContextPopup(TPoint MousePos,
                                                 bool& Handled) {
  const std::vector<Integer> selected = SelectedIndexes();
  if (!options_->ContextMenus || selected.empty()) {
    TcxCustomInnerListView::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  std::vector<TcxPidlPtr> pidls;
  TcxShellFolderPtr folder;
  {
    TReadLock lock(producer_.get());
    folder = TcxShellFolderPtr::Share(producer_->ShellFolder());
    for (Integer index : selected) {
      if (index < producer_->ItemCount()) {
        pidls.emplace_back(GetPidlCopy(producer_->Item(index)->Pidl()));
      }
    }
  }
  std::vector<PItemIDList> items;
  for (const TcxPidlPtr& pidl : pidls) items.push_back(pidl.get());
  POINT screen{MousePos.X, MousePos.Y};
  ::ClientToScreen(Handle(), &screen);
  DisplayContextMenu(Handle(), folder.get(), items, TPoint{screen.x, screen.y});
}

// ---------------------------------------------------------------------------
// Change tracking
// ---------------------------------------------------------------------------

void TcxCustomInnerShellListView::CreateChangeNotification() {
  if (!options_->TrackShellChanges || !HandleAllocated() ||
      !producer_->FolderPidl()) {
    RemoveChangeNotification();
    return;
  }
  RegisterShellChangeNotifier(producer_->FolderPidl(), Handle(),
                              DSM_SHELLCHANGENOTIFY, false, notifier_);
}

void TcxCustomInnerShellListView::RemoveChangeNotification() {
  UnregisterShellChangeNotifier(notifier_);
}

// ---------------------------------------------------------------------------
// Drag and drop
// ---------------------------------------------------------------------------

void TcxCustomInnerShellListView::DoBeginDrag() {
  std::vector<TcxPidlPtr> pidls;
  TcxShellFolderPtr folder;
  {
    TReadLock lock(producer_.get());
    folder = TcxShellFolderPtr::Share(producer_->ShellFolder());
    for (Integer index : SelectedIndexes()) {
      if (index < producer_->ItemCount()) {
        pidls.emplace_back(GetPidlCopy(producer_->Item(index)->Pidl()));
      }
    }
  }
  std::vector<PItemIDList> items;
  for (const TcxPidlPtr& pidl : pidls) items.push_back(pidl.get());
  cxShellDoDragDrop(Handle(), folder.get(), items, this,
                    dragDropSettings_->GetDropEffectAPI());
}

void TcxCustomInnerShellListView::HighlightDropItem(Integer AIndex) {
  // The mark is answered per row from dropItem_: the row is redrawn.
  if (AIndex < 0 || !HandleAllocated()) return;
  ::SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(AIndex),
                 static_cast<LPARAM>(AIndex));
}

IDropTarget* TcxCustomInnerShellListView::GetDropTarget(const POINT& AScreenPos,
                                                        bool& AChanged) {
  AChanged = false;
  if (!HandleAllocated()) return nullptr;
  POINT client = AScreenPos;
  ::ScreenToClient(Handle(), &client);
  const Integer index = ItemIndexAt(client.x, client.y);
  if (index < 0) {
    // Empty space: the folder itself takes the drop.
    if (dropItem_ >= 0 || !currentDropTarget_) {
      ReleaseDropTarget(true);
      AChanged = true;
      if (IShellFolder* folder = producer_->ShellFolder()) {
        folder->CreateViewObject(Handle(), IID_IDropTarget,
                                 currentDropTarget_.outVoid());
      }
    }
    return currentDropTarget_.get();
  }
  if (index == dropItem_ && currentDropTarget_) {
    return currentDropTarget_.get();
  }
  ReleaseDropTarget(true);
  AChanged = true;
  TReadLock lock(producer_.get());
  if (index >= producer_->ItemCount() || !producer_->ShellFolder()) {
    return nullptr;
  }
  LPCITEMIDLIST items[1] = {producer_->Item(index)->Pidl()};
  if (SUCCEEDED(producer_->ShellFolder()->GetUIObjectOf(
          Handle(), 1, items, IID_IDropTarget, nullptr,
          currentDropTarget_.outVoid())) &&
      currentDropTarget_) {
    dropItem_ = index;
    HighlightDropItem(index);
  }
  return currentDropTarget_.get();
}

void TcxCustomInnerShellListView::ReleaseDropTarget(bool ALeave) {
  if (currentDropTarget_ && ALeave) currentDropTarget_->DragLeave();
  currentDropTarget_.reset();
  const Integer marked = dropItem_;
  dropItem_ = -1;
  HighlightDropItem(marked);
}

DWORD TcxCustomInnerShellListView::GetDefaultDropEffect() {
  return dragDropSettings_->GetDefaultDropEffectAPI();
}

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
      producers_(new TThreadList),
      dropTarget_(this) {
  options_->OnShowToolTipChanged =
      TNotifyEvent(this, &TcxCustomInnerShellTreeView::ShowToolTipChanged);
  root_->OnSettingsChanged =
      TNotifyEvent(this, &TcxCustomInnerShellTreeView::RootSettingsChanged);
  SHFILEINFOA info{};
  smallImages_ = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
      "C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  SetDoubleBuffered(true);
}

TcxCustomInnerShellTreeView::~TcxCustomInnerShellTreeView() {
  SetListView(nullptr);
  SetComboBox(nullptr);
  RemoveChangeNotification();
  currentDropTarget_.reset();
  dropNode_ = nullptr;
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
  dropTarget_.Register(Handle());
}

void TcxCustomInnerShellTreeView::DestroyWnd() {
  RemoveChangeNotification();
  ReleaseDropTarget(true);
  dropTarget_.Revoke();
  SetCreateWndRestores(false);
  TTreeView::DestroyWnd();
}

void TcxCustomInnerShellTreeView::Loaded() {
  TTreeView::Loaded();
  if (!root_->Pidl()) root_->CheckRoot();
  UpdateNode(nullptr, false);
}

void TcxCustomInnerShellTreeView::Delete(TTreeNode* Node) {
  if (Node == dropNode_) ReleaseDropTarget(true);
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
  // A rebuild under a drag would free the node the drag is over.
  if (dropTarget_.Dragging()) return;
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
    case TVN_BEGINDRAGA:
    case TVN_BEGINRDRAGA: {
      const auto& info = *reinterpret_cast<const NMTREEVIEWA*>(M.LParam);
      TTreeNode* node = Items()->GetNode(info.itemNew.hItem);
      if (!node || !dragDropSettings_->AllowDragObjects()) {
        TTreeView::Dispatch(M);
        return;
      }
      SetSelected(node);
      DoBeginDrag(node);
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
  if (live && !producer->ShellFolder() && producer->Node()) {
    // Never opened: nothing to merge, but the folder may have children now.
    producer->Node()->SetHasChildren(true);
    return;
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

// ---------------------------------------------------------------------------
// Linked list view
// ---------------------------------------------------------------------------

void TcxCustomInnerShellTreeView::SetListView(
    TcxCustomInnerShellListView* Value) {
  if (listView_ == Value) return;
  if (listView_) {
    listView_->SetTreeView(nullptr);
    listView_->RemoveFreeNotification(this);
  }
  listView_ = Value;
  if (!listView_) return;
  listView_->FreeNotification(this);
  listView_->SetTreeView(this);
  DoNavigateListView();
}

void TcxCustomInnerShellTreeView::SetComboBox(TWinControl* Value) {
  cxShellSetLink(this, comboBox_, Value);
}

void TcxCustomInnerShellTreeView::Notification(TComponent* AComponent,
                                               TOperation Operation) {
  TTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == listView_) listView_ = nullptr;
  if (AComponent == comboBox_) comboBox_ = nullptr;
}

void TcxCustomInnerShellTreeView::DoNavigateListView() {
  if ((!listView_ && !comboBox_) || Items()->Count() == 0) return;
  TTreeNode* node = Selected() ? Selected() : Items()->GetFirstNode();
  TcxPidlPtr pidl(GetNodeAbsolutePIDL(node));
  if (!pidl) return;
  if (listView_) listView_->ProcessTreeViewNavigate(pidl.get());
  cxShellSendNavigateToLinked(comboBox_, pidl.get());
}

void TcxCustomInnerShellTreeView::RootSettingsChanged(TObject*) {
  if (Parent() && Parent()->ComponentState().Contains(csLoading)) return;
  cxShellSendRootToLinked(listView_, root_.get());
  cxShellSendRootToLinked(comboBox_, root_.get());
}

// ---------------------------------------------------------------------------
// Drag and drop
// ---------------------------------------------------------------------------

void TcxCustomInnerShellTreeView::DoBeginDrag(TTreeNode* ANode) {
  TcxShellTreeItemProducer* parent = ParentProducer(ANode);
  if (!parent) return;
  TcxShellFolderPtr folder;
  TcxPidlPtr pidl;
  {
    TReadLock lock(parent);
    const Integer index = ANode->Index();
    if (index >= parent->ItemCount()) return;
    folder = TcxShellFolderPtr::Share(parent->ShellFolder());
    pidl.reset(GetPidlCopy(parent->Item(index)->Pidl()));
  }
  TTreeNode* parentNode = ANode->Parent();
  if (!cxShellDoDragDrop(Handle(), folder.get(), {pidl.get()}, this,
                         dragDropSettings_->GetDropEffectAPI())) {
    return;
  }
  // A move took the item away: the parent's children follow the folder.
  if (!IsLiveNode(parentNode)) return;
  if (TcxShellTreeItemProducer* producer = ProducerOf(parentNode);
      !producer || !producer->CheckUpdates()) {
    UpdateNode(parentNode, false);
  }
}

IDropTarget* TcxCustomInnerShellTreeView::GetDropTarget(const POINT& AScreenPos,
                                                        bool& AChanged) {
  AChanged = false;
  if (!HandleAllocated()) return nullptr;
  POINT client = AScreenPos;
  ::ScreenToClient(Handle(), &client);
  TTreeNode* node = GetNodeAt(client.x, client.y);
  if (!node) {
    ReleaseDropTarget(true);
    return nullptr;
  }
  if (node == dropNode_ && currentDropTarget_) return currentDropTarget_.get();
  ReleaseDropTarget(true);
  AChanged = true;
  TcxComPtr<IDropTarget> target;
  if (TcxShellTreeItemProducer* parent = ParentProducer(node)) {
    TReadLock lock(parent);
    const Integer index = node->Index();
    IShellFolder* folder = parent->ShellFolder();
    if (!folder || index >= parent->ItemCount()) return nullptr;
    TcxShellItemInfo* item = parent->Item(index);
    if (item->IsFolder) {
      TcxShellFolderPtr bound;
      if (SUCCEEDED(folder->BindToObject(item->Pidl(), nullptr,
                                         IID_IShellFolder, bound.outVoid())) &&
          bound) {
        bound->CreateViewObject(Handle(), IID_IDropTarget, target.outVoid());
      }
    } else {
      LPCITEMIDLIST items[1] = {item->Pidl()};
      folder->GetUIObjectOf(Handle(), 1, items, IID_IDropTarget, nullptr,
                            target.outVoid());
    }
  } else if (TcxShellTreeItemProducer* own = ProducerOf(node);
             own && own->ShellFolder()) {
    own->ShellFolder()->CreateViewObject(Handle(), IID_IDropTarget,
                                         target.outVoid());
  }
  if (!target) return nullptr;
  currentDropTarget_ = target;
  dropNode_ = node;
  SetDropTarget(node);
  return currentDropTarget_.get();
}

void TcxCustomInnerShellTreeView::ReleaseDropTarget(bool ALeave) {
  if (currentDropTarget_ && ALeave) currentDropTarget_->DragLeave();
  currentDropTarget_.reset();
  if (dropNode_ && HandleAllocated()) SetDropTarget(nullptr);
  dropNode_ = nullptr;
}

DWORD TcxCustomInnerShellTreeView::GetDefaultDropEffect() {
  return dragDropSettings_->GetDefaultDropEffectAPI();
}

void TcxCustomInnerShellTreeView::DropDone() {
  // The folder that took the drop catches up once the shell has finished:
  // its producer is named by a posted notice, checked when it arrives.
  if (!dropNode_ || !HandleAllocated()) return;
  ::PostMessageA(Handle(), DSM_SHELLCHANGENOTIFY,
                 reinterpret_cast<WPARAM>(ProducerOf(dropNode_)), 0);
}
