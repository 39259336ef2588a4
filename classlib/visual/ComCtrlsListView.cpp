#include <algorithm>
#include <cstring>

#include "ComCtrls.h"

namespace {

void InitListViewClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

constexpr UINT kStateChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kStateUnchecked = INDEXTOSTATEIMAGEMASK(1);

bool StateChecked(UINT state) {
  return (state & LVIS_STATEIMAGEMASK) == kStateChecked;
}

// Copies Text into a buffer the window gave, cut to its size.
void CopyOut(const String& Text, char* Buffer, int Size) {
  if (!Buffer || Size <= 0) return;
  const std::size_t n =
      std::min<std::size_t>(Text.size(), static_cast<std::size_t>(Size - 1));
  std::memcpy(Buffer, Text.data(), n);
  Buffer[n] = '\0';
}

TCustomDrawState DrawStateOf(UINT state) {
  TCustomDrawState s;
  if (state & CDIS_SELECTED) s.Include(cdsSelected);
  if (state & CDIS_GRAYED) s.Include(cdsGrayed);
  if (state & CDIS_DISABLED) s.Include(cdsDisabled);
  if (state & CDIS_CHECKED) s.Include(cdsChecked);
  if (state & CDIS_FOCUS) s.Include(cdsFocused);
  if (state & CDIS_DEFAULT) s.Include(cdsDefault);
  if (state & CDIS_HOT) s.Include(cdsHot);
  if (state & CDIS_MARKED) s.Include(cdsMarked);
  if (state & CDIS_INDETERMINATE) s.Include(cdsIndeterminate);
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// TListColumn
// ---------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* Collection)
    : TCollectionItem(Collection) {}

void TListColumn::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed(false);
}

Integer TListColumn::Width() const {
  auto* columns = dynamic_cast<TListColumns*>(Collection());
  TCustomListView* view = columns ? columns->Owner() : nullptr;
  if (view && view->HandleAllocated() && width_ >= 0) {
    const LRESULT w = ::SendMessageA(view->Handle(), LVM_GETCOLUMNWIDTH,
                                     static_cast<WPARAM>(Index()), 0);
    if (w > 0) return static_cast<Integer>(w);
  }
  return width_;
}

void TListColumn::SetWidth(Integer Value) {
  if (Value < ColumnHeaderWidth) Value = 0;
  width_ = Value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed(false);
}

void TListColumn::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed(false);
}

void TListColumn::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TListColumn*>(Source)) {
    caption_ = c->caption_;
    width_ = c->Width();
    alignment_ = c->alignment_;
    imageIndex_ = c->imageIndex_;
    Changed(false);
    return;
  }
  inherited::Assign(Source);
}

String TListColumn::GetDisplayName() {
  return caption_.empty() ? inherited::GetDisplayName() : caption_;
}

// ---------------------------------------------------------------------------
// TListColumns
// ---------------------------------------------------------------------------

TListColumns::TListColumns(TCustomListView* AOwner)
    : TCollection(TListColumn::StaticClass()), owner_(AOwner) {}

TPersistent* TListColumns::GetOwner() { return owner_; }

void TListColumns::Update(TCollectionItem*) {
  if (owner_) owner_->UpdateColumns();
}

// ---------------------------------------------------------------------------
// TListViewItems
// ---------------------------------------------------------------------------

TListViewItems::TListViewItems(TCustomListView* AOwner)
    : TListItems(AOwner), owner_(AOwner) {}

void TListViewItems::BeginUpdate() {
  if (updateCount_++ == 0 && owner_->HandleAllocated())
    ::SendMessageA(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListViewItems::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && owner_->HandleAllocated()) {
    ::SendMessageA(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(owner_->Handle(), nullptr, TRUE);
  }
}

void TListViewItems::Notify(TListItem* Item, TListItemChange Change) {
  const Integer index = IndexOf(Item);
  // Items lent to OnData belong to no row of the model.
  if (index < 0) return;
  switch (Change) {
    case licAdded:
      owner_->WindowInsert(Item, index);
      owner_->InsertItem(Item);
      break;
    case licDeleting:
      owner_->Delete(Item);
      owner_->WindowDelete(index);
      break;
    default:
      owner_->WindowUpdate(Item, index, Change);
      break;
  }
}

bool TListViewItems::EditItemCaption(TListItem* Item) {
  const Integer index = Item->Index();
  if (index < 0 || !owner_->HandleAllocated() || owner_->ReadOnly())
    return false;
  ::SetFocus(owner_->Handle());
  return ::SendMessageA(owner_->Handle(), LVM_EDITLABELA,
                        static_cast<WPARAM>(index), 0) != 0;
}

void TListViewItems::CancelItemEdit(TListItem*) {
  if (!owner_->HandleAllocated()) return;
  // Some versions of the window keep the typed text when told to cancel:
  // while this runs, the end of the edit drops it whatever the window says.
  owner_->cancellingEdit_ = true;
  ::SendMessageA(owner_->Handle(), LVM_CANCELEDITLABEL, 0, 0);
  owner_->cancellingEdit_ = false;
}

TRect TListViewItems::ItemDisplayRect(const TListItem* Item,
                                      TDisplayCode Code) const {
  const Integer index = Item->Index();
  if (index < 0 || !owner_->HandleAllocated()) return TRect();
  static constexpr int kCodes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL,
                                   LVIR_SELECTBOUNDS};
  RECT r{};
  r.left = kCodes[Code];
  if (!::SendMessageA(owner_->Handle(), LVM_GETITEMRECT,
                      static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
    return TRect();
  return Rect(r.left, r.top, r.right, r.bottom);
}

// ---------------------------------------------------------------------------
// TCustomListView
// ---------------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner),
      items_(new TListViewItems(this)),
      columns_(new TListColumns(this)),
      canvas_(new TCanvas),
      smallChangeLink_(new TChangeLink),
      largeChangeLink_(new TChangeLink) {
  InitListViewClasses();
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
  color_ = clWindow;
  parentColor_ = false;
  SetTabStop(true);
  width_ = 250;
  height_ = 150;
  smallChangeLink_->OnChange =
      TNotifyEvent(this, &TCustomListView::ImagesChanged);
  largeChangeLink_->OnChange =
      TNotifyEvent(this, &TCustomListView::ImagesChanged);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::BeforeDestruction() {
  // The window goes first; its notices must not reach half-freed items.
  SetSmallImages(nullptr);
  SetLargeImages(nullptr);
  inherited::BeforeDestruction();
}

void TCustomListView::Notification(TComponent* AComponent,
                                   TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == smallImages_) SetSmallImages(nullptr);
  if (AComponent == largeImages_) SetLargeImages(nullptr);
}

DWORD TCustomListView::ViewStyleFlags() const {
  static constexpr DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST,
                                      LVS_REPORT};
  return kStyles[viewStyle_];
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWA);
  Params.Style |= ViewStyleFlags() | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) Params.Style |= LVS_SINGLESEL;
  if (!hideSelection_) Params.Style |= LVS_SHOWSELALWAYS;
  if (!readOnly_) Params.Style |= LVS_EDITLABELS;
  if (!showColumnHeaders_) Params.Style |= LVS_NOCOLUMNHEADER;
  if (ownerData_) Params.Style |= LVS_OWNERDATA;
  if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
  inherited::CreateWnd();
  HWND h = Handle();
  // Notices come as the ANSI structures this class reads.
  ::SendMessageA(h, CCM_SETUNICODEFORMAT, FALSE, 0);
  const COLORREF bk = ColorToRGB(color_);
  ::SendMessageA(h, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(bk));
  ::SendMessageA(h, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(bk));
  ::SendMessageA(h, LVM_SETTEXTCOLOR, 0,
                 static_cast<LPARAM>(ColorToRGB(Font()->Color())));
  UpdateExStyles();
  // Owner data keeps no states: the check boxes are asked for too.
  if (ownerData_ && checkboxes_)
    ::SendMessageA(h, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  UpdateImages();
  UpdateColumns();
  WindowFill();
}

void TCustomListView::DestroyWnd() {
  // Widths the user dragged live on in the columns.
  for (Integer i = 0; i < columns_->Count(); ++i) {
    TListColumn* c = columns_->Items(i);
    if (c->Width() >= 0) {
      const Integer w = c->Width();
      columns_->BeginUpdate();
      c->SetWidth(w);
      columns_->EndUpdate();
    }
  }
  inherited::DestroyWnd();
}

void TCustomListView::UpdateExStyles() {
  if (!HandleAllocated()) return;
  DWORD ex = LVS_EX_LABELTIP;
  if (checkboxes_) ex |= LVS_EX_CHECKBOXES;
  if (rowSelect_) ex |= LVS_EX_FULLROWSELECT;
  if (gridLines_) ex |= LVS_EX_GRIDLINES;
  if (OnInfoTip) ex |= LVS_EX_INFOTIP;
  ::SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, ~0u,
                 static_cast<LPARAM>(ex));
}

void TCustomListView::UpdateImages() {
  if (!HandleAllocated()) return;
  ::SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle()
                                                       : nullptr));
  ::SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle()
                                                       : nullptr));
}

void TCustomListView::ImagesChanged(TObject*) {
  UpdateImages();
  Invalidate();
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  HWND header = reinterpret_cast<HWND>(::SendMessageA(h, LVM_GETHEADER, 0, 0));
  Integer have =
      header
          ? static_cast<Integer>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0))
          : 0;
  const Integer want = columns_->Count();
  while (have > want && have > 0) {
    ::SendMessageA(h, LVM_DELETECOLUMN, static_cast<WPARAM>(--have), 0);
  }
  static constexpr int kFormats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  for (Integer i = 0; i < want; ++i) {
    TListColumn* c = columns_->Items(i);
    String caption = c->Caption();
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM | LVCF_WIDTH;
    col.fmt = kFormats[c->Alignment()];
    col.pszText = caption.data();
    col.iSubItem = i;
    // Fitted widths are measured once the column is in.
    const Integer w = c->Width();
    col.cx = w >= 0 ? w : 50;
    if (c->ImageIndex() >= 0) {
      col.mask |= LVCF_IMAGE;
      col.fmt |= LVCFMT_IMAGE;
      col.iImage = c->ImageIndex();
    }
    if (i < have) {
      ::SendMessageA(h, LVM_SETCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&col));
    } else {
      ::SendMessageA(h, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&col));
    }
    if (w < 0) {
      ::SendMessageA(
          h, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
          w == ColumnTextWidth ? LVSCW_AUTOSIZE : LVSCW_AUTOSIZE_USEHEADER);
    }
  }
  // Sub-item texts need their columns: set them again now that they exist.
  if (want > have && !ownerData_) {
    for (Integer i = 0; i < items_->Count(); ++i)
      WindowUpdate(items_->Item(i), i, licSubItems);
  }
}

void TCustomListView::WindowFill() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  filling_ = true;
  TScopeGuard filled([this] { filling_ = false; });
  if (ownerData_) {
    ::SendMessageA(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(ownerCount_), 0);
  } else {
    ::SendMessageA(h, LVM_DELETEALLITEMS, 0, 0);
    ::SendMessageA(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(items_->Count()),
                   0);
    for (Integer i = 0; i < items_->Count(); ++i)
      WindowInsert(items_->Item(i), i);
  }
}

void TCustomListView::WindowInsert(TListItem* Item, Integer Index) {
  if (!HandleAllocated() || ownerData_) return;
  HWND h = Handle();
  String caption = Item->Caption();
  LVITEMA it{};
  it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  it.iItem = Index;
  it.pszText = caption.data();
  it.lParam = reinterpret_cast<LPARAM>(Item);
  it.iImage = Item->ImageIndex();
  // The window's notices about the row it makes are not changes of the
  // item: they neither reach its handlers nor come back into it.
  const bool wasFilling = filling_;
  filling_ = true;
  const LRESULT at =
      ::SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
  if (at >= 0) {
    const Integer row = static_cast<Integer>(at);
    if (Item->SubItems()->Count() > 0) WindowUpdate(Item, row, licSubItems);
    if (checkboxes_) WindowUpdate(Item, row, licChecked);
    if (Item->Selected()) WindowUpdate(Item, row, licSelected);
  }
  filling_ = wasFilling;
}

void TCustomListView::WindowUpdate(TListItem* Item, Integer Index,
                                   TListItemChange Change) {
  if (!HandleAllocated() || ownerData_ || fromWindow_) return;
  HWND h = Handle();
  LVITEMA it{};
  it.iItem = Index;
  switch (Change) {
    case licCaption: {
      String caption = Item->Caption();
      it.pszText = caption.data();
      ::SendMessageA(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(&it));
      break;
    }
    case licSubItems: {
      TStrings* subs = Item->SubItems();
      const Integer columns = std::max<Integer>(columns_->Count(), 1);
      for (Integer j = 1; j < columns; ++j) {
        String text = j - 1 < subs->Count() ? subs->Strings(j - 1) : String();
        it.iSubItem = j;
        it.pszText = text.data();
        ::SendMessageA(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index),
                       reinterpret_cast<LPARAM>(&it));
      }
      break;
    }
    case licImageIndex:
      it.mask = LVIF_IMAGE;
      it.iImage = Item->ImageIndex();
      ::SendMessageA(h, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
      break;
    case licData:
      it.mask = LVIF_PARAM;
      it.lParam = reinterpret_cast<LPARAM>(Item);
      ::SendMessageA(h, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
      break;
    case licChecked:
      if (!checkboxes_) break;
      it.stateMask = LVIS_STATEIMAGEMASK;
      it.state = Item->Checked() ? kStateChecked : kStateUnchecked;
      ::SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(&it));
      break;
    case licSelected:
      it.stateMask = LVIS_SELECTED;
      it.state = Item->Selected() ? LVIS_SELECTED : 0;
      ::SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(Index),
                     reinterpret_cast<LPARAM>(&it));
      break;
    default:
      break;
  }
}

void TCustomListView::WindowDelete(Integer Index) {
  if (!HandleAllocated() || ownerData_) return;
  ::SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
}

// --- Properties ---

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (viewStyle_ == Value) return;
  viewStyle_ = Value;
  if (HandleAllocated()) {
    HWND h = Handle();
    const LONG style = ::GetWindowLongA(h, GWL_STYLE);
    ::SetWindowLongA(
        h, GWL_STYLE,
        static_cast<LONG>((style & ~LVS_TYPEMASK) | ViewStyleFlags()));
    ::InvalidateRect(h, nullptr, TRUE);
  }
}

void TCustomListView::SetCheckboxes(bool Value) {
  if (checkboxes_ == Value) return;
  checkboxes_ = Value;
  if (!HandleAllocated()) return;
  UpdateExStyles();
  // Turning check boxes on gives every row an empty box: show the model's.
  if (checkboxes_ && !ownerData_) {
    for (Integer i = 0; i < items_->Count(); ++i)
      WindowUpdate(items_->Item(i), i, licChecked);
  }
}

void TCustomListView::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  RecreateWnd();
}

void TCustomListView::SetHideSelection(bool Value) {
  if (hideSelection_ == Value) return;
  hideSelection_ = Value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  RecreateWnd();
}

void TCustomListView::SetRowSelect(bool Value) {
  if (rowSelect_ == Value) return;
  rowSelect_ = Value;
  UpdateExStyles();
}

void TCustomListView::SetGridLines(bool Value) {
  if (gridLines_ == Value) return;
  gridLines_ = Value;
  UpdateExStyles();
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
  if (showColumnHeaders_ == Value) return;
  showColumnHeaders_ = Value;
  RecreateWnd();
}

void TCustomListView::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
  if (smallImages_ == Value) return;
  if (smallImages_) {
    smallImages_->UnRegisterChanges(smallChangeLink_.get());
    smallImages_->RemoveFreeNotification(this);
  }
  smallImages_ = Value;
  if (smallImages_) {
    smallImages_->RegisterChanges(smallChangeLink_.get());
    smallImages_->FreeNotification(this);
  }
  UpdateImages();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
  if (largeImages_ == Value) return;
  if (largeImages_) {
    largeImages_->UnRegisterChanges(largeChangeLink_.get());
    largeImages_->RemoveFreeNotification(this);
  }
  largeImages_ = Value;
  if (largeImages_) {
    largeImages_->RegisterChanges(largeChangeLink_.get());
    largeImages_->FreeNotification(this);
  }
  UpdateImages();
}

void TCustomListView::SetOwnerData(bool Value) {
  if (ownerData_ == Value) return;
  items_->Clear();
  ownerCount_ = 0;
  ownerData_ = Value;
  RecreateWnd();
}

Integer TCustomListView::ItemCount() const {
  return ownerData_ ? ownerCount_ : items_->Count();
}

void TCustomListView::SetItemCount(Integer Value) {
  if (!ownerData_) return;
  ownerCount_ = std::max<Integer>(Value, 0);
  tempItem_.reset();
  if (HandleAllocated()) {
    ::SendMessageA(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(ownerCount_),
                   0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

TListItem* TCustomListView::ItemOfRow(Integer Row) {
  if (!ownerData_) {
    return Row >= 0 && Row < items_->Count() ? items_->Item(Row) : nullptr;
  }
  if (Row < 0 || Row >= ownerCount_) return nullptr;
  tempItem_.reset(new TListItem(items_.get()));
  TListItems::SetVirtualIndex(tempItem_.get(), Row);
  OwnerDataFetch(tempItem_.get());
  return tempItem_.get();
}

TListItem* TCustomListView::Selected() {
  if (HandleAllocated()) {
    const LRESULT row = ::SendMessageA(Handle(), LVM_GETNEXTITEM,
                                       static_cast<WPARAM>(-1), LVNI_SELECTED);
    return ItemOfRow(static_cast<Integer>(row));
  }
  for (Integer i = 0; i < items_->Count(); ++i)
    if (items_->Item(i)->Selected()) return items_->Item(i);
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
  if (ownerData_) {
    if (!HandleAllocated()) return;
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED;
    ::SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&it));
    if (Value && Value->Index() >= 0) {
      it.state = LVIS_SELECTED;
      ::SendMessageA(Handle(), LVM_SETITEMSTATE,
                     static_cast<WPARAM>(Value->Index()),
                     reinterpret_cast<LPARAM>(&it));
    }
    return;
  }
  for (Integer i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Item(i);
    if (item != Value) item->SetSelected(false);
  }
  if (Value) Value->SetSelected(true);
}

Integer TCustomListView::SelCount() {
  if (HandleAllocated())
    return static_cast<Integer>(
        ::SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
  Integer n = 0;
  for (Integer i = 0; i < items_->Count(); ++i)
    if (items_->Item(i)->Selected()) ++n;
  return n;
}

TListItem* TCustomListView::ItemFocused() {
  if (!HandleAllocated()) return nullptr;
  const LRESULT row = ::SendMessageA(Handle(), LVM_GETNEXTITEM,
                                     static_cast<WPARAM>(-1), LVNI_FOCUSED);
  return ItemOfRow(static_cast<Integer>(row));
}

void TCustomListView::SetItemFocused(TListItem* Value) {
  if (!HandleAllocated() || !Value || Value->Index() < 0) return;
  LVITEMA it{};
  it.stateMask = LVIS_FOCUSED;
  it.state = LVIS_FOCUSED;
  ::SendMessageA(Handle(), LVM_SETITEMSTATE,
                 static_cast<WPARAM>(Value->Index()),
                 reinterpret_cast<LPARAM>(&it));
}

Integer TCustomListView::ItemIndexAt(Integer X, Integer Y) {
  if (!HandleAllocated()) return -1;
  LVHITTESTINFO info{};
  info.pt = POINT{X, Y};
  ::SendMessageA(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  return (info.flags & LVHT_ONITEM) ? info.iItem : -1;
}

TListItem* TCustomListView::GetItemAt(Integer X, Integer Y) {
  return ItemOfRow(ItemIndexAt(X, Y));
}

THitTests TCustomListView::GetHitTestInfoAt(Integer X, Integer Y) {
  THitTests result;
  if (!HandleAllocated()) return result;
  LVHITTESTINFO info{};
  info.pt = POINT{X, Y};
  ::SendMessageA(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  const UINT f = info.flags;
  if (f & LVHT_ABOVE) result.Include(htAbove);
  if (f & LVHT_BELOW) result.Include(htBelow);
  if (f & LVHT_NOWHERE) result.Include(htNowhere);
  if (f & LVHT_ONITEM) result.Include(htOnItem);
  if (f & LVHT_ONITEMICON) result.Include(htOnIcon);
  if (f & LVHT_ONITEMLABEL) result.Include(htOnLabel);
  if (f & LVHT_ONITEMSTATEICON) result.Include(htOnStateIcon);
  if (f & LVHT_TOLEFT) result.Include(htToLeft);
  if (f & LVHT_TORIGHT) result.Include(htToRight);
  return result;
}

TListItem* TCustomListView::TopItem() {
  if (!HandleAllocated()) return nullptr;
  return ItemOfRow(
      static_cast<Integer>(::SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0)));
}

bool TCustomListView::IsEditing() {
  return HandleAllocated() &&
         ::SendMessageA(Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

void TCustomListView::Clear() {
  if (ownerData_) {
    SetItemCount(0);
  } else {
    items_->Clear();
  }
}

// --- Overridable behaviour ---

bool TCustomListView::CanEdit(TListItem* Item) {
  bool allow = !readOnly_;
  if (OnEditing) OnEditing(this, Item, allow);
  return allow;
}

void TCustomListView::Edit(const LVITEMA& Item) {
  TListItem* item = ItemOfRow(Item.iItem);
  if (!item || !Item.pszText) return;
  String text = Item.pszText;
  if (OnEdited) OnEdited(this, item, text);
  // Whatever the handler made of the text is what the item and the
  // window show.
  if (item->Caption() == text) {
    WindowUpdate(item, Item.iItem, licCaption);
  } else {
    item->SetCaption(text);
  }
}

bool TCustomListView::CanChange(TListItem* Item, TItemChange Change) {
  bool allow = true;
  if (OnChanging) OnChanging(this, Item, Change, allow);
  return allow;
}

void TCustomListView::Change(TListItem* Item, TItemChange Change) {
  if (OnChange) OnChange(this, Item, Change);
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) {
  if (OnSelectItem) OnSelectItem(this, Item, Selected);
}

void TCustomListView::Delete(TListItem* Item) {
  if (OnDeletion) OnDeletion(this, Item);
}

void TCustomListView::InsertItem(TListItem* Item) {
  if (OnInsert) OnInsert(this, Item);
}

void TCustomListView::ColClick(TListColumn* Column) {
  if (OnColumnClick) OnColumnClick(this, Column);
}

void TCustomListView::OwnerDataFetch(TListItem* Item) {
  if (OnData) OnData(this, Item);
}

bool TCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDraw)
    OnCustomDraw(this, ARect, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State,
                                     TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDrawItem)
    OnCustomDrawItem(this, Item, State, defaultDraw);
  return defaultDraw;
}

bool TCustomListView::CustomDrawSubItem(TListItem* Item, Integer SubItem,
                                        TCustomDrawState State,
                                        TCustomDrawStage Stage) {
  bool defaultDraw = true;
  if (Stage == cdPrePaint && OnCustomDrawSubItem)
    OnCustomDrawSubItem(this, Item, SubItem, State, defaultDraw);
  return defaultDraw;
}

// --- Notices ---

void TCustomListView::Dispatch(TMessage& M) {
  if (M.Msg == CN_NOTIFY) {
    CNNotify(M);
    return;
  }
  inherited::Dispatch(M);
}

void TCustomListView::ItemChangedNotify(const NMLISTVIEW& nm) {
  if (!(nm.uChanged & LVIF_STATE)) {
    if (!filling_) {
      if (TListItem* item = ItemOfRow(nm.iItem))
        Change(item, nm.uChanged & LVIF_IMAGE ? ctImage : ctText);
    }
    return;
  }
  // Row -1 stands for every row: read each row's state back.
  Integer first = nm.iItem, last = nm.iItem;
  if (nm.iItem < 0) {
    first = 0;
    last = ItemCount() - 1;
  }
  for (Integer row = first; row <= last; ++row) {
    UINT state = nm.uNewState, old = nm.uOldState;
    if (nm.iItem < 0) {
      state = static_cast<UINT>(
          ::SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                         LVIS_SELECTED | LVIS_STATEIMAGEMASK));
      if (!ownerData_) {
        TListItem* item = items_->Item(row);
        old = (item->Selected() ? LVIS_SELECTED : 0) |
              (item->Checked() ? kStateChecked : kStateUnchecked);
      }
    }
    if (filling_) continue;
    TListItem* item = ItemOfRow(row);
    if (!item) continue;
    const bool selected = (state & LVIS_SELECTED) != 0;
    const bool selChanged = selected != ((old & LVIS_SELECTED) != 0);
    const bool checkChanged = checkboxes_ &&
                              (state & LVIS_STATEIMAGEMASK) != 0 &&
                              StateChecked(state) != StateChecked(old);
    if (!ownerData_) {
      fromWindow_ = true;
      item->SetSelected(selected);
      if (checkboxes_ && (state & LVIS_STATEIMAGEMASK) != 0)
        item->SetChecked(StateChecked(state));
      fromWindow_ = false;
    }
    if (!selChanged && !checkChanged) continue;
    Change(item, ctState);
    if (selChanged) DoSelectItem(item, selected);
  }
}

void TCustomListView::GetDispInfo(NMLVDISPINFOA& info) {
  LVITEMA& it = info.item;
  TListItem* item = ItemOfRow(it.iItem);
  if (!item) return;
  if (it.mask & LVIF_TEXT) {
    if (it.iSubItem == 0) {
      dispText_ = item->Caption();
    } else {
      TStrings* subs = item->SubItems();
      dispText_ =
          it.iSubItem - 1 < subs->Count() ? subs->Strings(it.iSubItem - 1) : "";
    }
    CopyOut(dispText_, it.pszText, it.cchTextMax);
  }
  if (it.mask & LVIF_IMAGE) it.iImage = item->ImageIndex();
  if (it.mask & LVIF_STATE) {
    if (checkboxes_) {
      it.stateMask |= LVIS_STATEIMAGEMASK;
      it.state = (it.state & ~LVIS_STATEIMAGEMASK) |
                 (item->Checked() ? kStateChecked : kStateUnchecked);
    }
  }
}

void TCustomListView::CustomDrawNotify(TMessage& M) {
  auto& cd = *reinterpret_cast<NMLVCUSTOMDRAW*>(M.LParam);
  const DWORD stage = cd.nmcd.dwDrawStage;
  M.Result = CDRF_DODEFAULT;
  const bool wantItems = OnCustomDrawItem || OnCustomDrawSubItem;
  if (stage == CDDS_PREPAINT) {
    const RECT& r = cd.nmcd.rc;
    if (OnCustomDraw) {
      canvas_->SetHandle(cd.nmcd.hdc);
      canvas_->Font()->Assign(Font());
      canvas_->Brush()->SetColor(color_);
      const bool dflt =
          CustomDraw(Rect(r.left, r.top, r.right, r.bottom), cdPrePaint);
      canvas_->SetHandle(nullptr);
      if (!dflt) {
        M.Result = CDRF_SKIPDEFAULT;
        return;
      }
    }
    if (wantItems) M.Result = CDRF_NOTIFYITEMDRAW;
    return;
  }
  if ((stage & CDDS_ITEMPREPAINT) != CDDS_ITEMPREPAINT) return;
  TListItem* item = ItemOfRow(static_cast<Integer>(cd.nmcd.dwItemSpec));
  if (!item) return;
  const bool sub = (stage & CDDS_SUBITEM) != 0;
  if (sub && !OnCustomDrawSubItem) return;
  canvas_->SetHandle(cd.nmcd.hdc);
  canvas_->Font()->Assign(Font());
  canvas_->Brush()->SetColor(color_);
  const TColor fontColor = canvas_->Font()->Color();
  const TFontStyles fontStyle = canvas_->Font()->Style();
  const String fontName = canvas_->Font()->Name();
  const Integer fontHeight = canvas_->Font()->Height();
  const TColor brushColor = canvas_->Brush()->Color();
  const TCustomDrawState state = DrawStateOf(cd.nmcd.uItemState);
  const bool dflt =
      sub ? CustomDrawSubItem(item, cd.iSubItem, state, cdPrePaint)
          : CustomDrawItem(item, state, cdPrePaint);
  if (!dflt) {
    M.Result = CDRF_SKIPDEFAULT;
  } else {
    TFont* f = canvas_->Font();
    if (f->Style() != fontStyle || f->Name() != fontName ||
        f->Height() != fontHeight) {
      ::SelectObject(cd.nmcd.hdc, f->Handle());
      M.Result |= CDRF_NEWFONT;
    }
    if (f->Color() != fontColor) {
      cd.clrText = ColorToRGB(f->Color());
      M.Result |= CDRF_NEWFONT;
    }
    if (canvas_->Brush()->Color() != brushColor) {
      cd.clrTextBk = ColorToRGB(canvas_->Brush()->Color());
      M.Result |= CDRF_NEWFONT;
    }
    if (!sub && OnCustomDrawSubItem) M.Result |= CDRF_NOTIFYSUBITEMDRAW;
  }
  // The font stays selected for the window's own drawing; the canvas lets
  // go of the context without restoring it.
  canvas_->SetHandle(nullptr);
}

void TCustomListView::CNNotify(TMessage& M) {
  auto* hdr = reinterpret_cast<NMHDR*>(M.LParam);
  switch (hdr->code) {
    case LVN_ITEMCHANGING: {
      auto& nm = *reinterpret_cast<NMLISTVIEW*>(M.LParam);
      M.Result = 0;
      if (filling_ || fromWindow_ || !(nm.uChanged & LVIF_STATE)) return;
      if (TListItem* item = ItemOfRow(nm.iItem))
        M.Result = CanChange(item, ctState) ? 0 : 1;
      return;
    }
    case LVN_ITEMCHANGED:
      ItemChangedNotify(*reinterpret_cast<NMLISTVIEW*>(M.LParam));
      return;
    case LVN_GETDISPINFOA:
      GetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(M.LParam));
      return;
    case LVN_BEGINLABELEDITA: {
      auto& info = *reinterpret_cast<NMLVDISPINFOA*>(M.LParam);
      TListItem* item = ItemOfRow(info.item.iItem);
      M.Result = item && CanEdit(item) ? 0 : 1;
      return;
    }
    case LVN_ENDLABELEDITA: {
      auto& info = *reinterpret_cast<NMLVDISPINFOA*>(M.LParam);
      // The item already shows the new caption: the window must not set
      // the raw text over it.
      if (!cancellingEdit_) Edit(info.item);
      M.Result = 0;
      return;
    }
    case LVN_COLUMNCLICK: {
      auto& nm = *reinterpret_cast<NMLISTVIEW*>(M.LParam);
      if (nm.iSubItem >= 0 && nm.iSubItem < columns_->Count())
        ColClick(columns_->Items(nm.iSubItem));
      return;
    }
    case LVN_GETINFOTIPA: {
      auto& tip = *reinterpret_cast<NMLVGETINFOTIPA*>(M.LParam);
      TListItem* item = ItemOfRow(tip.iItem);
      if (!item || !OnInfoTip) return;
      String text = tip.pszText ? String(tip.pszText) : String();
      OnInfoTip(this, item, text);
      CopyOut(text, tip.pszText, tip.cchTextMax);
      return;
    }
    case NM_CUSTOMDRAW:
      CustomDrawNotify(M);
      return;
    default:
      break;
  }
  DefaultHandler(M);
}
