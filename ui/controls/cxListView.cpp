#include "WinApi.h"
//
#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "Handles.h"
#include "Messages.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxListView.h"

namespace {

TListViewItems* ViewItems(TCustomListView* AList) {
  return static_cast<TListViewItems*>(AList->Items());
}

// What form streams set.
void ListViewStartup() {
  RegisterEnum<TViewStyle>("TViewStyle",
                           {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
  using L = TcxCustomListView;
  TPublished<TcxCustomListView>()
      .Property("Checkboxes", &L::Checkboxes, &L::SetCheckboxes, false)
      .Property("ColumnClick", &L::ColumnClick, &L::SetColumnClick, true)
      .Property("GridLines", &L::GridLines, &L::SetGridLines, false)
      .Property("HideSelection", &L::HideSelection, &L::SetHideSelection, true)
      .Property("LargeImages", &L::LargeImages, &L::SetLargeImages)
      .Property("MultiSelect", &L::MultiSelect, &L::SetMultiSelect, false)
      .Property("ReadOnly", &L::ReadOnly, &L::SetReadOnly, false)
      .Property("RowSelect", &L::RowSelect, &L::SetRowSelect, false)
      .Property("ShowColumnHeaders", &L::ShowColumnHeaders,
                &L::SetShowColumnHeaders, true)
      .Property("SmallImages", &L::SmallImages, &L::SetSmallImages)
      .Property("ViewStyle", &L::ViewStyle, &L::SetViewStyle, vsIcon)
      .Event("OnCancelEdit", &L::OnCancelEdit, &L::OnCancelEdit);
  RegisterClasses({TcxListView::StaticClass()});
}

void ListViewShutdown() { UnpublishClass(TcxCustomListView::StaticClass()); }

VARNEL_UNIT(cxListView, {}, &ListViewStartup, &ListViewShutdown);

}  // namespace

// ---------------------------------------------------------------------------
// TcxIconOptions
// ---------------------------------------------------------------------------

void TcxIconOptions::SetArrangement(TIconArrangement Value) {
  if (arrangement_ == Value) return;
  arrangement_ = Value;
  if (OnArrangementChange) OnArrangementChange(this);
}

void TcxIconOptions::SetAutoArrange(bool Value) {
  if (autoArrange_ == Value) return;
  autoArrange_ = Value;
  if (OnAutoArrangeChange) OnAutoArrangeChange(this);
}

void TcxIconOptions::SetWrapText(bool Value) {
  if (wrapText_ == Value) return;
  wrapText_ = Value;
  if (OnWrapTextChange) OnWrapTextChange(this);
}

// ---------------------------------------------------------------------------
// TcxCustomInnerListView
// ---------------------------------------------------------------------------

TcxCustomInnerListView::TcxCustomInnerListView(TComponent* AOwner)
    : TListView(AOwner), iconOptions_(new TcxIconOptions(this)) {
  cxCanvas_ = std::make_unique<TcxCanvas>(Canvas());
  SetBorderStyle(bsNone);
  controlStyle_.Include(csDoubleClicks);
  SetParentColor(false);
  SetParentFont(true);
  SetShowColumnHeaders(true);
}

TcxCustomInnerListView::~TcxCustomInnerListView() {
  UnsubclassHeader();
  cxCanvas_.reset();
}

Integer TcxCustomInnerListView::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return S_OK_;
  }
  return TListView::QueryInterface(iid, obj);
}

TcxContainer* TcxCustomInnerListView::GetControlContainer() {
  return container_;
}

bool TcxCustomInnerListView::ContainerAlive() const {
  return container_ && !container_->IsDestroying();
}

void TcxCustomInnerListView::CreateParams(TCreateParams& Params) {
  TListView::CreateParams(Params);
  if (container_ && container_->IconOptions()->AutoArrange())
    Params.Style |= LVS_AUTOARRANGE;
  else
    Params.Style &= ~LVS_AUTOARRANGE;
  if (!ShowColumnHeaders()) Params.Style |= LVS_NOCOLUMNHEADER;
}

void TcxCustomInnerListView::CreateWnd() {
  TListView::CreateWnd();
  // A header made before the window procedure saw its creation.
  if (!header_) {
    if (HWND header = reinterpret_cast<HWND>(
            ::SendMessageA(Handle(), LVM_GETHEADER, 0, 0)))
      SubclassHeader(header);
  }
  if (container_) {
    container_->SetScrollBarsParameters(false);
    container_->AdjustInnerControl();
  }
}

bool TcxCustomInnerListView::CanEdit(TListItem* Item) {
  if (container_ && container_->ReadOnly()) return false;
  return TListView::CanEdit(Item);
}

// --- Header ---

namespace {
// The list view of each subclassed header: looked up on every header
// message, so kept here rather than in a window property (a trip to the
// window system per read).
std::unordered_map<HWND, TcxCustomInnerListView*>& HeaderOwners() {
  static std::unordered_map<HWND, TcxCustomInnerListView*> owners;
  return owners;
}
}  // namespace

void TcxCustomInnerListView::SubclassHeader(HWND AWnd) {
  if (header_) return;
  header_ = AWnd;
  HeaderOwners()[AWnd] = this;
  prevHeaderProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderWindowProc)));
  ::SetWindowLongPtrA(AWnd, GWL_STYLE,
                      ::GetWindowLongPtrA(AWnd, GWL_STYLE) | HDS_HOTTRACK);
}

void TcxCustomInnerListView::UnsubclassHeader() {
  if (!header_) return;
  if (::IsWindow(header_)) {
    ::SetWindowLongPtrA(header_, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(prevHeaderProc_));
  }
  HeaderOwners().erase(header_);
  header_ = nullptr;
  prevHeaderProc_ = nullptr;
}

LRESULT CALLBACK TcxCustomInnerListView::HeaderWindowProc(HWND AWnd, UINT AMsg,
                                                          WPARAM AW,
                                                          LPARAM AL) {
  const auto it = HeaderOwners().find(AWnd);
  TcxCustomInnerListView* self =
      it == HeaderOwners().end() ? nullptr : it->second;
  if (!self) return ::DefWindowProcA(AWnd, AMsg, AW, AL);
  if (AMsg == WM_NCDESTROY) {
    WNDPROC prev = self->prevHeaderProc_;
    self->UnsubclassHeader();
    return ::CallWindowProcA(prev, AWnd, AMsg, AW, AL);
  }
  return self->HeaderWndProc(AMsg, AW, AL);
}

LRESULT TcxCustomInnerListView::HeaderWndProc(UINT AMsg, WPARAM AW, LPARAM AL) {
  switch (AMsg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      HDC dc = reinterpret_cast<HDC>(AW);
      const bool begun = dc == nullptr;
      if (begun) dc = ::BeginPaint(header_, &ps);
      auto end = TScopeGuard([&] {
        cxCanvas_->Canvas()->SetHandle(nullptr);
        if (begun) ::EndPaint(header_, &ps);
      });
      cxCanvas_->Canvas()->SetHandle(dc);
      DrawHeader();
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN: {
      const LRESULT r =
          ::CallWindowProcA(prevHeaderProc_, header_, AMsg, AW, AL);
      if (columnClick_ && ::GetCapture() == header_)
        pressedHeaderItem_ = GetHeaderPressedItemIndex();
      return r;
    }
    case WM_CAPTURECHANGED:
      if (pressedHeaderItem_ >= 0) {
        const TRect r = GetHeaderItemRect(pressedHeaderItem_);
        const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
        ::InvalidateRect(header_, &rr, FALSE);
        pressedHeaderItem_ = -1;
      }
      break;
    case CM_HEADERITEMINFO:
      return Perform(AMsg, AW, AL);
    default:
      break;
  }
  return ::CallWindowProcA(prevHeaderProc_, header_, AMsg, AW, AL);
}

void TcxCustomInnerListView::DrawHeader() {
  cxCanvas_->Brush()->SetColor(clBtnFace);
  cxCanvas_->Font()->Assign(Font());
  cxCanvas_->Font()->SetColor(clBtnText);
  TcxLookAndFeel* lookAndFeel =
      container_ ? container_->LookAndFeel() : nullptr;
  if (!lookAndFeel) return;
  for (Integer i = 0; i <= Columns()->Count(); ++i)
    DrawHeaderSection(header_, i, cxCanvas_.get(), SmallImages(), lookAndFeel);
}

Integer TcxCustomInnerListView::HeaderItemIndex(Integer APosition) {
  return static_cast<Integer>(::SendMessageA(
      header_, HDM_ORDERTOINDEX, static_cast<WPARAM>(APosition), 0));
}

TRect TcxCustomInnerListView::GetHeaderItemRect(Integer AItemIndex) {
  RECT r{};
  ::SendMessageA(header_, HDM_GETITEMRECT, static_cast<WPARAM>(AItemIndex),
                 reinterpret_cast<LPARAM>(&r));
  return TRect(r.left, r.top, r.right, r.bottom);
}

Integer TcxCustomInnerListView::GetHeaderHotItemIndex() {
  POINT p{};
  ::GetCursorPos(&p);
  if (!header_ || ::WindowFromPoint(p) != header_) return -1;
  HDHITTESTINFO hit{};
  ::ScreenToClient(header_, &p);
  hit.pt = p;
  ::SendMessageA(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit.iItem;
}

Integer TcxCustomInnerListView::GetHeaderPressedItemIndex() {
  POINT p{};
  ::GetCursorPos(&p);
  ::ScreenToClient(header_, &p);
  HDHITTESTINFO hit{};
  hit.pt = p;
  ::SendMessageA(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) return -1;
  return hit.iItem;
}

void TcxCustomInnerListView::LVMGetHeaderItemInfo(TMessage& Message) {
  auto* info = reinterpret_cast<THeaderItemInfo*>(Message.LParam);
  const auto i = static_cast<Integer>(Message.WParam);
  const Integer count = Columns()->Count();
  *info = THeaderItemInfo{};
  if (i < count) {
    TListColumn* column = Column(i);
    info->ImageIndex = column->ImageIndex();
    info->Alignment = column->Alignment();
    info->Caption = column->Caption().c_str();
    info->SortOrder = soNone;
  } else {
    info->ImageIndex = -1;
  }
  if (i != count) {
    info->SectionRect = GetHeaderItemRect(HeaderItemIndex(i));
  } else {
    RECT r{};
    ::GetClientRect(header_, &r);
    info->SectionRect = TRect(r.left, r.top, r.right, r.bottom);
    if (count > 0)
      info->SectionRect.Left =
          GetHeaderItemRect(HeaderItemIndex(count - 1)).Right;
  }
  const Integer item = HeaderItemIndex(i);
  bool hotTracking = columnClick_;
  for (Integer c = 0; c < count && hotTracking; ++c)
    hotTracking = Column(c)->ImageIndex() == -1;
  if (Parent() && !Parent()->Enabled())
    info->State = cxbsDisabled;
  else if (pressedHeaderItem_ >= 0 && item == pressedHeaderItem_)
    info->State = cxbsPressed;
  else if (hotTracking && i < count && item == GetHeaderHotItemIndex())
    info->State = cxbsHot;
  else
    info->State = cxbsNormal;
  Message.Result = 1;
}

void TcxCustomInnerListView::LookAndFeelChanged(TcxLookAndFeel*,
                                                TcxLookAndFeelValues) {
  if (header_) ::InvalidateRect(header_, nullptr, FALSE);
}

// --- Scrolling with the library scroll bars ---

Integer TcxCustomInnerListView::DefaultScroll(UINT AMessage, TcxScrollBar* ABar,
                                              TScrollCode ACode, Integer APos) {
  HWND bar = ABar && ABar->HandleAllocated() ? ABar->Handle() : nullptr;
  ::CallWindowProcA(DefWndProc(), Handle(), AMessage, MAKEWPARAM(ACode, APos),
                    reinterpret_cast<LPARAM>(bar));
  return ::GetScrollPos(Handle(), AMessage == WM_HSCROLL ? SB_HORZ : SB_VERT);
}

void TcxCustomInnerListView::HScrollHandler(TObject*, TScrollCode ScrollCode,
                                            Integer& ScrollPos) {
  if (ScrollCode == scTrack) {
    ::SendMessageA(
        Handle(), LVM_SCROLL,
        static_cast<WPARAM>(ScrollPos - ::GetScrollPos(Handle(), SB_HORZ)), 0);
    return;
  }
  ScrollPos =
      DefaultScroll(WM_HSCROLL, container_ ? container_->HScrollBar() : nullptr,
                    ScrollCode, ScrollPos);
}

void TcxCustomInnerListView::VScrollHandler(TObject*, TScrollCode ScrollCode,
                                            Integer& ScrollPos) {
  if (ScrollCode == scTrack) {
    switch (ViewStyle()) {
      case vsIcon:
      case vsSmallIcon: {
        POINT origin{};
        ::SendMessageA(Handle(), LVM_GETORIGIN, 0,
                       reinterpret_cast<LPARAM>(&origin));
        ::SendMessageA(Handle(), LVM_SCROLL, 0,
                       static_cast<LPARAM>(ScrollPos - origin.y));
        break;
      }
      case vsReport: {
        const auto top = static_cast<Integer>(
            ::SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0));
        RECT r{};
        r.left = LVIR_BOUNDS;
        ::SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(top),
                       reinterpret_cast<LPARAM>(&r));
        ::SendMessageA(
            Handle(), LVM_SCROLL, 0,
            static_cast<LPARAM>((ScrollPos - top) * (r.bottom - r.top)));
        break;
      }
      case vsList:
        break;
    }
    return;
  }
  ScrollPos =
      DefaultScroll(WM_VSCROLL, container_ ? container_->VScrollBar() : nullptr,
                    ScrollCode, ScrollPos);
}

// --- Messages ---

void TcxCustomInnerListView::WndProc(TMessage& Message) {
  if (container_ && container_->InnerControlMenuHandler(Message)) return;
  if (Message.Msg == LVM_CANCELEDITLABEL) {
    TRestoreOnExit cancelling(cancellingLabel_, true);
    TListView::WndProc(Message);
    return;
  }
  TListView::WndProc(Message);
  if (Message.Msg == WM_PAINT && container_)
    container_->UpdateScrollBarsParameters();
  if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE) {
    auto child = reinterpret_cast<HWND>(Message.LParam);
    char name[81] = {};
    ::GetClassNameA(child, name, 80);
    if (std::string(name) == "SysHeader32") SubclassHeader(child);
  }
}

void TcxCustomInnerListView::DefaultHandler(TMessage& Message) {
  if (container_ && container_->InnerControlDefaultHandler(Message)) return;
  TListView::DefaultHandler(Message);
}

void TcxCustomInnerListView::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  if (hdr->code == LVN_BEGINLABELEDITA) {
    TListView::Dispatch(Message);
    editingLabel_ = Message.Result == 0;
    return;
  }
  if (hdr->code != LVN_ENDLABELEDITA) {
    TListView::Dispatch(Message);
    return;
  }
  auto& info = *reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
  Message.Result = 0;
  const Integer index = info.item.iItem;
  if (index < 0 || index >= ItemCount()) {
    editingLabel_ = false;
    return;
  }
  TListItem* item = OwnerData() ? nullptr : Items()->Item(index);
  if (info.item.pszText && !cancellingLabel_) {
    editingLabel_ = false;
    if (!item || CanChange(item, ctText)) Edit(info.item);
  } else {
    DoCancelEdit();
    editingLabel_ = false;
  }
}

void TcxCustomInnerListView::DoCancelEdit() {
  if (editingLabel_ && ContainerAlive() && container_->OnCancelEdit)
    container_->OnCancelEdit(container_);
}

void TcxCustomInnerListView::WMNCPaint(TMessage& Message) {
  // Without library scroll bars the list shows its own, which only the
  // system's non-client painting draws.
  if (!UsesLibraryScrollBars()) {
    TListView::Dispatch(Message);
    return;
  }
  if (!container_ || !container_->HScrollBar() || !container_->VScrollBar() ||
      !container_->HScrollBar()->Visible() ||
      !container_->VScrollBar()->Visible())
    return;
  TWindowDC dc(Handle(), ::GetWindowDC(Handle()));
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(
      container_->LookAndFeel()->GetPainter()->DefaultSizeGripAreaColor())));
  const TRect grip = GetSizeGripRect(this);
  const RECT r{grip.Left, grip.Top, grip.Right, grip.Bottom};
  ::FillRect(dc.get(), &r, brush.get());
}

void TcxCustomInnerListView::WMWindowPosChanged(TMessage& Message) {
  const bool destroying = ComponentState().Contains(csDestroying);
  if (!destroying && container_) container_->SetScrollBarsParameters(false);
  TListView::Dispatch(Message);
  if (destroying || !container_ || !container_->HScrollBar() ||
      !container_->VScrollBar() || !container_->HScrollBar()->Visible() ||
      !container_->VScrollBar()->Visible())
    return;
  const TRect grip = GetSizeGripRect(this);
  TRegionHandle region(
      ::CreateRectRgn(grip.Left, grip.Top, grip.Right, grip.Bottom));
  ::SendMessageA(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region.get()),
                 0);
}

void TcxCustomInnerListView::WMLButtonDown(TMessage& Message) {
  TListView::Dispatch(Message);
  if (container_ && Dragging()) {
    CancelDrag();
    container_->BeginDrag(false);
  }
}

void TcxCustomInnerListView::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      CNNotify(Message);
      return;
    case CM_HEADERITEMINFO:
      LVMGetHeaderItemInfo(Message);
      return;
    case CM_HINTSHOW:
      CMHintShow(Message);
      return;
    case WM_NCPAINT:
      WMNCPaint(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(Message);
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_NCCALCSIZE:
      TListView::Dispatch(Message);
      if (container_) container_->SetScrollBarsParameters(false);
      return;
    case WM_NOTIFY: {
      TListView::Dispatch(Message);
      auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
      if (container_ &&
          (hdr->code == HDN_ITEMCHANGEDA || hdr->code == HDN_ITEMCHANGEDW))
        container_->SetScrollBarsParameters(true);
      return;
    }
    case WM_GETDLGCODE:
      TListView::Dispatch(Message);
      if (container_) {
        Message.Result |= DLGC_WANTCHARS;
        if (::GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTARROWS;
      }
      return;
    case WM_SETFOCUS:
      TListView::Dispatch(Message);
      if (ContainerAlive() && !ComponentState().Contains(csDestroying) &&
          !(container_->HandleAllocated() &&
            reinterpret_cast<HWND>(Message.WParam) == container_->Handle()))
        container_->FocusChanged();
      return;
    case WM_KILLFOCUS:
      TListView::Dispatch(Message);
      if (ContainerAlive()) container_->FocusChanged();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      cxDispatchMouseEnterLeave(this, Message,
                                [&] { TListView::Dispatch(Message); });
      return;
    default:
      TListView::Dispatch(Message);
  }
}

void TcxCustomInnerListView::Loaded() {
  TListView::Loaded();
  if (container_) container_->UpdateIconOptions();
  savedHint_ = Hint();
}

void TcxCustomInnerListView::CMHintShow(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  TListItem* item = HandleAllocated()
                        ? GetItemAt(info->CursorPos.X, info->CursorPos.Y)
                        : nullptr;
  if (hadHint_ && item == lastHintItem_) return;
  if (!OnInfoTip) {
    if (!hintReplaced_) savedHint_ = Hint();
    TListView::Dispatch(Message);
  } else if (item) {
    String text = item->Caption();
    OnInfoTip(this, item, text);
    const TRect bounds = item->DisplayRect(drBounds);
    const TPoint topLeft = ClientToScreen(TPoint(bounds.Left, bounds.Top));
    const TPoint bottomRight =
        ClientToScreen(TPoint(bounds.Right, bounds.Bottom));
    info->CursorRect =
        TRect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
    info->HintStr = text;
    info->HintPos = TPoint(topLeft.X + ::GetSystemMetrics(SM_CXCURSOR),
                           topLeft.Y + ::GetSystemMetrics(SM_CYCURSOR));
    info->HintMaxWidth = ClientWidth();
    // The control's own hint comes back once the mouse leaves the items.
    if (!hintReplaced_) savedHint_ = Hint();
    hintReplaced_ = true;
    SetHint(text);
  }
  lastHintItem_ = item;
  hadHint_ = true;
}

// --- Input handed to the container ---

void TcxCustomInnerListView::Click() {
  TListView::Click();
  if (container_) _TcxContainerAccess::Click(container_);
}

void TcxCustomInnerListView::DblClick() {
  TListView::DblClick();
  if (container_) _TcxContainerAccess::DblClick(container_);
}

bool TcxCustomInnerListView::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                                          TPoint MousePos) {
  const bool handled =
      container_ && _TcxContainerAccess::DoMouseWheel(container_, Shift,
                                                      WheelDelta, MousePos);
  if (!handled) TListView::DoMouseWheel(Shift, WheelDelta, MousePos);
  return handled;
}

void TcxCustomInnerListView::DragOver(TObject* Source, Integer X, Integer Y,
                                      TDragState State, bool& Accept) {
  if (container_)
    _TcxContainerAccess::DragOver(container_, Source, X + Left(), Y + Top(),
                                  State, Accept);
  else
    TListView::DragOver(Source, X, Y, State, Accept);
}

void TcxCustomInnerListView::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (container_)
    container_->DragDrop(Source, X + Left(), Y + Top());
  else
    TListView::DragDrop(Source, X, Y);
}

void TcxCustomInnerListView::KeyDown(Word& Key, TShiftState Shift) {
  if (container_) _TcxContainerAccess::KeyDown(container_, Key, Shift);
  if (Key != 0) TListView::KeyDown(Key, Shift);
}

void TcxCustomInnerListView::KeyPress(char& Key) {
  if (Key == '\t') Key = 0;
  if (container_) {
    _TcxContainerAccess::KeyPress(container_, Key);
    if (Key == '\r') Key = 0;
  }
  if (Key != 0) TListView::KeyPress(Key);
}

void TcxCustomInnerListView::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (container_) _TcxContainerAccess::KeyUp(container_, Key, Shift);
  if (Key != 0) TListView::KeyUp(Key, Shift);
}

void TcxCustomInnerListView::MouseDown(TMouseButton Button, TShiftState Shift,
                                       Integer X, Integer Y) {
  TListView::MouseDown(Button, Shift, X, Y);
  if (!container_) return;
  TcxContainer* container = container_;
  container->SetInnerControlMouseDown(true);
  TScopeGuard forwarded(
      [container] { container->SetInnerControlMouseDown(false); });
  _TcxContainerAccess::MouseDown(container, Button, Shift, X + Left(),
                                 Y + Top());
}

void TcxCustomInnerListView::MouseMove(TShiftState Shift, Integer X,
                                       Integer Y) {
  TListView::MouseMove(Shift, X, Y);
  if (hintReplaced_ && HandleAllocated() && !GetItemAt(X, Y)) {
    SetHint(savedHint_);
    hintReplaced_ = false;
  }
  if (container_)
    _TcxContainerAccess::MouseMove(container_, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListView::MouseUp(TMouseButton Button, TShiftState Shift,
                                     Integer X, Integer Y) {
  TListView::MouseUp(Button, Shift, X, Y);
  if (container_)
    _TcxContainerAccess::MouseUp(container_, Button, Shift, X + Left(),
                                 Y + Top());
}

bool TcxCustomInnerListView::CanFocus() {
  return container_ ? container_->CanFocus() : TListView::CanFocus();
}

void TcxCustomInnerListView::MouseEnter(TControl*) {}

void TcxCustomInnerListView::MouseLeave(TControl*) {
  if (ContainerAlive()) container_->ShortRefreshContainer(true);
}

// ---------------------------------------------------------------------------
// TcxCustomListView
// ---------------------------------------------------------------------------

TcxCustomListView::TcxCustomListView(TComponent* AOwner, TClass AListViewClass)
    : TcxContainer(AOwner), iconOptions_(new TcxIconOptions(this)) {
  iconOptions_->OnArrangementChange =
      TNotifyEvent(this, &TcxCustomListView::ArrangementChangeHandler);
  iconOptions_->OnAutoArrangeChange =
      TNotifyEvent(this, &TcxCustomListView::AutoArrangeChangeHandler);
  iconOptions_->OnWrapTextChange =
      TNotifyEvent(this, &TcxCustomListView::WrapTextChangeHandler);
  // From here on the container owns it as one of its components.
  innerListView_ =
      OwnedCast<TcxCustomInnerListView>(AListViewClass->NewInstance(this))
          .release();
  if (!innerListView_)
    throw Exception("TcxCustomListView: " + String(AListViewClass->Name) +
                    " is not an inner list view class");
  innerListView_->SetAlign(alClient);
  innerListView_->SetParent(this);
  innerListView_->SetContainer(this);
  SetInnerControl(innerListView_);
  SetBounds(Left(), Top(), 121, 97);
}

TcxCustomListView::~TcxCustomListView() {
  if (innerListView_) innerListView_->SetContainer(nullptr);
  SetInnerControl(nullptr);
}

void TcxCustomListView::SetIconOptions(TcxIconOptions* Value) {
  iconOptions_->SetArrangement(Value->Arrangement());
  iconOptions_->SetAutoArrange(Value->AutoArrange());
  iconOptions_->SetWrapText(Value->WrapText());
}

void TcxCustomListView::UpdateIconOptions() {
  ViewItems(innerListView_)->BeginUpdate();
  auto end = TScopeGuard([this] { ViewItems(innerListView_)->EndUpdate(); });
  TcxIconOptions* own = innerListView_->IconOptions();
  own->SetArrangement(iconOptions_->Arrangement());
  own->SetAutoArrange(iconOptions_->AutoArrange());
  own->SetWrapText(iconOptions_->WrapText());
}

namespace {

// The window style bit of each icon option.
void SetListStyleBit(TWinControl* AList, DWORD ABit, bool AOn) {
  if (!AList->HandleAllocated()) return;
  const LONG_PTR style = ::GetWindowLongPtrA(AList->Handle(), GWL_STYLE);
  const LONG_PTR next =
      AOn ? style | ABit : style & ~static_cast<LONG_PTR>(ABit);
  if (next != style) ::SetWindowLongPtrA(AList->Handle(), GWL_STYLE, next);
}

}  // namespace

void TcxCustomListView::ArrangementChangeHandler(TObject*) {
  if (!innerListView_) return;
  innerListView_->IconOptions()->SetArrangement(iconOptions_->Arrangement());
  SetListStyleBit(innerListView_, LVS_ALIGNLEFT,
                  iconOptions_->Arrangement() == iaLeft);
}

void TcxCustomListView::AutoArrangeChangeHandler(TObject*) {
  if (!innerListView_) return;
  innerListView_->IconOptions()->SetAutoArrange(iconOptions_->AutoArrange());
  SetListStyleBit(innerListView_, LVS_AUTOARRANGE, iconOptions_->AutoArrange());
}

void TcxCustomListView::WrapTextChangeHandler(TObject*) {
  if (!innerListView_) return;
  innerListView_->IconOptions()->SetWrapText(iconOptions_->WrapText());
  SetListStyleBit(innerListView_, LVS_NOLABELWRAP, !iconOptions_->WrapText());
}

void TcxCustomListView::SetReadOnly(bool Value) {
  if (ReadOnly() == Value) return;
  innerListView_->SetReadOnly(Value);
  DataSetChange();
}

void TcxCustomListView::SetViewStyle(TViewStyle Value) {
  innerListView_->SetViewStyle(Value);
  SetScrollBarsParameters(false);
}

TListItem* TcxCustomListView::FindCaption(Integer AStartIndex,
                                          const String& AValue, bool APartial,
                                          bool AInclusive, bool AWrap) {
  TListItems* items = GetListItems();
  const Integer count = items->Count();
  if (count == 0) return nullptr;
  auto matches = [&](Integer i) {
    const String& caption = items->Item(i)->Caption();
    if (APartial)
      return caption.size() >= AValue.size() &&
             ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                              caption.c_str(), static_cast<int>(AValue.size()),
                              AValue.c_str(),
                              static_cast<int>(AValue.size())) == CSTR_EQUAL;
    return ::lstrcmpiA(caption.c_str(), AValue.c_str()) == 0;
  };
  Integer start = std::max<Integer>(AStartIndex, 0);
  if (!AInclusive) ++start;
  for (Integer i = start; i < count; ++i)
    if (matches(i)) return items->Item(i);
  if (AWrap)
    for (Integer i = 0; i < std::min(start, count); ++i)
      if (matches(i)) return items->Item(i);
  return nullptr;
}

TListItem* TcxCustomListView::FindData(Integer AStartIndex, void* AValue,
                                       bool AInclusive, bool AWrap) {
  TListItems* items = GetListItems();
  const Integer count = items->Count();
  Integer start = std::max<Integer>(AStartIndex, 0);
  if (!AInclusive) ++start;
  for (Integer i = start; i < count; ++i)
    if (items->Item(i)->Data() == AValue) return items->Item(i);
  if (AWrap)
    for (Integer i = 0; i < std::min(start, count); ++i)
      if (items->Item(i)->Data() == AValue) return items->Item(i);
  return nullptr;
}

void TcxCustomListView::DeleteSelected() {
  if (ReadOnly()) return;
  TListItems* items = GetListItems();
  for (Integer i = items->Count() - 1; i >= 0; --i)
    if (items->Item(i)->Selected()) items->Delete(i);
}

void TcxCustomListView::Loaded() {
  TcxContainer::Loaded();
  UpdateIconOptions();
}

void TcxCustomListView::LookAndFeelChanged(
    TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  TcxContainer::LookAndFeelChanged(Sender, AChangedValues);
  if (!IsCreating() && !GetIsDestroying() && innerListView_)
    innerListView_->LookAndFeelChanged(Sender, AChangedValues);
}

void TcxCustomListView::Scroll(TScrollBarKind AScrollBarKind,
                               TScrollCode AScrollCode, Integer& AScrollPos) {
  TcxContainer::Scroll(AScrollBarKind, AScrollCode, AScrollPos);
  if (AScrollBarKind == sbVertical)
    innerListView_->VScrollHandler(this, AScrollCode, AScrollPos);
  else
    innerListView_->HScrollHandler(this, AScrollCode, AScrollPos);
  SetScrollBarsParameters(false);
}

void TcxCustomListView::DoExit() {
  if (GetIsDestroying()) return;
  TcxContainer::DoExit();
}

void TcxCustomListView::FontChanged() {
  TcxContainer::FontChanged();
  SetSize();
}

void TcxCustomListView::ChangeScale(Integer M, Integer D) {
  TcxContainer::ChangeScale(M, D);
  innerListView_->ChangeScale(M, D);
}
