// The list box that lives inside a container or a drop-down popup.
#include <algorithm>

#include "Handles.h"
#include "Messages.h"
#include "ScopeGuard.h"
#include "cxContainer.h"

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner)
    : TListBox(AOwner) {
  cxCanvas_ = std::make_unique<TcxCanvas>(TListBox::Canvas());
  CreateScrollBars();
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent(
      this, &TcxCustomInnerListBox::LookAndFeelChanged);
  hScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  vScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  SetBorderStyle(bsNone);
  controlStyle_.Exclude(csOpaque);
  controlStyle_.Include(csDoubleClicks);
  SetParentColor(false);
  SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  // Scroll bars put on a parent are freed as our components too; those
  // without one go now, before the look-and-feel they follow.
  for (TcxScrollBar** bar : {&hScrollBar_, &vScrollBar_}) {
    if (!*bar) continue;
    (*bar)->LookAndFeel()->SetMasterLookAndFeel(nullptr);
    if (!(*bar)->Parent()) {
      TObjectPtr<TcxScrollBar> owned(*bar);
      *bar = nullptr;
    }
  }
  lookAndFeel_.reset();
  cxCanvas_.reset();
}

Integer TcxCustomInnerListBox::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return S_OK_;
  }
  return TListBox::QueryInterface(iid, obj);
}

void TcxCustomInnerListBox::CreateScrollBars() {
  auto make = [this](TScrollBarKind AKind, TScrollEvent AHandler) {
    auto* bar = new TcxScrollBar(this);
    bar->FreeNotification(this);
    bar->SetKind(AKind);
    bar->OnScroll = AHandler;
    bar->SetSmallChange(1);
    bar->SetVisible(false);
    return bar;
  };
  hScrollBar_ = make(
      sbHorizontal, TScrollEvent(this, &TcxCustomInnerListBox::HScrollHandler));
  vScrollBar_ = make(
      sbVertical, TScrollEvent(this, &TcxCustomInnerListBox::VScrollHandler));
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent,
                                         TOperation Operation) {
  TListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == hScrollBar_) hScrollBar_ = nullptr;
  if (AComponent == vScrollBar_) vScrollBar_ = nullptr;
}

void TcxCustomInnerListBox::SetLookAndFeel(TcxLookAndFeel* Value) {
  lookAndFeel_->Assign(Value);
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*,
                                               TcxLookAndFeelValues) {
  if (HandleAllocated()) Invalidate();
}

bool TcxCustomInnerListBox::ItemVisible(Integer Index) {
  const TRect r = ItemRect(Index);
  auto inside = [this](Integer X, Integer Y) {
    return X >= 0 && X < Width() && Y >= 0 && Y < Height();
  };
  return inside(r.Left, r.Top) || inside(r.Right - 1, r.Top) ||
         inside(r.Left, r.Bottom - 1) || inside(r.Right - 1, r.Bottom - 1);
}

// ---------------------------------------------------------------------------
// Size grip and external scroll bars
// ---------------------------------------------------------------------------

TRect TcxCustomInnerListBox::GetSizeGripRect() {
  if (!hScrollBar_ || !vScrollBar_ || !hScrollBar_->Visible() ||
      !vScrollBar_->Visible() || !Parent() || !HandleAllocated())
    return TRect();
  POINT p{vScrollBar_->Left(), hScrollBar_->Top()};
  ::ClientToScreen(Parent()->Handle(), &p);
  RECT window;
  ::GetWindowRect(Handle(), &window);
  const Integer left = p.x - window.left;
  const Integer top = p.y - window.top;
  return TRect{left, top, left + vScrollBar_->Width(),
               top + hScrollBar_->Height()};
}

void TcxCustomInnerListBox::DrawSizeGrip(HDC DC) {
  if (!UsecxScrollBars() || !hScrollBar_ || !vScrollBar_ ||
      !hScrollBar_->Visible() || !vScrollBar_->Visible())
    return;
  const TColor color =
      container_
          ? container_->LookAndFeel()->Painter()->DefaultSizeGripAreaColor()
          : clBtnFace;
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(color)));
  const TRect grip = GetSizeGripRect();
  const RECT r{grip.Left, grip.Top, grip.Right, grip.Bottom};
  ::FillRect(DC, &r, brush.get());
}

void TcxCustomInnerListBox::SetScrollBarParameters(TcxScrollBar* AScrollBar,
                                                   LONG AObjectID, int ABar) {
  bool visible = false;
  SCROLLBARINFO info{};
  if (Parent() && cxGetScrollBarInfo(Handle(), AObjectID, info) &&
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) ==
          0) {
    visible = true;
    AScrollBar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 &&
                           AScrollBar->Parent() &&
                           AScrollBar->Parent()->Enabled());
    POINT topLeft{info.rcScrollBar.left, info.rcScrollBar.top};
    POINT bottomRight{info.rcScrollBar.right, info.rcScrollBar.bottom};
    ::ScreenToClient(Parent()->Handle(), &topLeft);
    ::ScreenToClient(Parent()->Handle(), &bottomRight);
    const TRect r{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    if (r.Left < 0 || r.Top < 0 || r.Width() > Width() || r.Height() > Height())
      visible = false;
    else
      AScrollBar->SetBoundsRect(r);
  }
  if (visible) {
    ++scrollBarsLockCount_;
    TScopeGuard unlock([this] { --scrollBarsLockCount_; });
    AScrollBar->SetParent(Parent());
    AScrollBar->SetCtl3D(false);
    AScrollBar->BringToFront();
  } else {
    AScrollBar->SetBoundsRect(TRect());
  }
  AScrollBar->SetVisible(visible);
  if (!visible) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  ::GetScrollInfo(Handle(), ABar, &si);
  const Integer maximum = std::max(si.nMax, si.nMin);
  const Integer page = std::max<Integer>(
      0, std::min<Integer>(static_cast<Integer>(si.nPage), maximum));
  AScrollBar->SetScrollParams(si.nMin, maximum, si.nPos, page, true);
}

void TcxCustomInnerListBox::SetExternalScrollBarsParameters() {
  if (ComponentState().Contains(csDestroying) || scrollBarsLockCount_ > 0 ||
      !UsecxScrollBars() || isRedrawLocked_ || !HandleAllocated())
    return;
  TRestoreOnExit calculating(scrollBarsCalculating_, true);
  if (hScrollBar_) SetScrollBarParameters(hScrollBar_, OBJID_HSCROLL, SB_HORZ);
  if (vScrollBar_) SetScrollBarParameters(vScrollBar_, OBJID_VSCROLL, SB_VERT);
}

void TcxCustomInnerListBox::HScrollHandler(TObject*, TScrollCode ScrollCode,
                                           Integer& ScrollPos) {
  if (!hScrollBar_ || !hScrollBar_->HandleAllocated()) return;
  ::CallWindowProcA(DefWndProc(), Handle(), WM_HSCROLL,
                    MAKEWPARAM(ScrollCode, ScrollPos),
                    reinterpret_cast<LPARAM>(hScrollBar_->Handle()));
  ScrollPos = ::GetScrollPos(Handle(), SB_HORZ);
}

void TcxCustomInnerListBox::VScrollHandler(TObject*, TScrollCode ScrollCode,
                                           Integer& ScrollPos) {
  if (!vScrollBar_ || !vScrollBar_->HandleAllocated()) return;
  switch (ScrollCode) {
    case scLineUp:
    case scLineDown:
      SetTopIndex(ScrollPos);
      break;
    case scPosition:
    case scTrack:
      SetTopIndex(ScrollPos);
      ScrollPos = ::GetScrollPos(Handle(), SB_VERT);
      break;
    default:
      ::CallWindowProcA(DefWndProc(), Handle(), WM_VSCROLL,
                        MAKEWPARAM(ScrollCode, ScrollPos),
                        reinterpret_cast<LPARAM>(vScrollBar_->Handle()));
      ScrollPos = ::GetScrollPos(Handle(), SB_VERT);
      break;
  }
}

void TcxCustomInnerListBox::DestroyWindowHandle() {
  isRedrawLocked_ = false;
  TListBox::DestroyWindowHandle();
}

// ---------------------------------------------------------------------------
// Forwarding to the container
// ---------------------------------------------------------------------------

void TcxCustomInnerListBox::Click() {
  TListBox::Click();
  if (vScrollBar_ && HandleAllocated()) vScrollBar_->SetPosition(TopIndex());
  if (container_) _TcxContainerAccess::Click(container_);
}

void TcxCustomInnerListBox::DblClick() {
  TListBox::DblClick();
  if (container_) _TcxContainerAccess::DblClick(container_);
}

void TcxCustomInnerListBox::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (container_)
    container_->DragDrop(Source, X + Left(), Y + Top());
  else
    TListBox::DragDrop(Source, X, Y);
}

void TcxCustomInnerListBox::DragOver(TObject* Source, Integer X, Integer Y,
                                     TDragState State, bool& Accept) {
  if (container_)
    _TcxContainerAccess::DragOver(container_, Source, X + Left(), Y + Top(),
                                  State, Accept);
  else
    TListBox::DragOver(Source, X, Y, State, Accept);
}

void TcxCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (container_) _TcxContainerAccess::KeyDown(container_, Key, Shift);
  if (Key != 0) TListBox::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (container_) _TcxContainerAccess::KeyUp(container_, Key, Shift);
  if (Key != 0) TListBox::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::KeyPress(char& Key) {
  if (container_) {
    if (Key == '\t') Key = 0;
    _TcxContainerAccess::KeyPress(container_, Key);
    if (Key == '\r') Key = 0;
  }
  // The event only: the class library's own search would run twice.
  TWinControl::KeyPress(Key);
  if (Key != 0) DoAutoComplete(Key);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift,
                                      Integer X, Integer Y) {
  TListBox::MouseDown(Button, Shift, X, Y);
  if (!container_) return;
  TcxContainer* container = container_;
  container->SetInnerControlMouseDown(true);
  TScopeGuard forwarded(
      [container] { container->SetInnerControlMouseDown(false); });
  _TcxContainerAccess::MouseDown(container_, Button, Shift, X + Left(),
                                 Y + Top());
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TListBox::MouseMove(Shift, X, Y);
  if (container_)
    _TcxContainerAccess::MouseMove(container_, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift,
                                    Integer X, Integer Y) {
  TListBox::MouseUp(Button, Shift, X, Y);
  if (container_)
    _TcxContainerAccess::MouseUp(container_, Button, Shift, X + Left(),
                                 Y + Top());
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                                         TPoint MousePos) {
  if (container_ && _TcxContainerAccess::DoMouseWheel(container_, Shift,
                                                      WheelDelta, MousePos))
    return true;
  return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// ---------------------------------------------------------------------------
// Auto-complete
// ---------------------------------------------------------------------------

Integer TcxCustomInnerListBox::FindAutoCompleteString(const String& AFilter) {
  if (IsVirtual()) return DoFindData(AFilter);
  return static_cast<Integer>(
      ::SendMessageA(Handle(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(AFilter.c_str())));
}

void TcxCustomInnerListBox::DoAutoComplete(char& Key) {
  if (!AutoComplete()) return;
  const DWORD now = ::GetTickCount();
  if (now - prevKeyPressTime_ >= AutoCompleteDelay())
    autoCompleteFilter_.clear();
  prevKeyPressTime_ = now;
  if (Key == '\b') {
    if (!autoCompleteFilter_.empty()) {
      // A double-byte character goes as a whole: step back over trail
      // bytes to their lead byte.
      Integer last = static_cast<Integer>(autoCompleteFilter_.size()) - 1;
      const char* begin = autoCompleteFilter_.c_str();
      const char* lead = ::CharPrevA(begin, begin + last + 1);
      autoCompleteFilter_.resize(static_cast<size_t>(lead - begin));
    }
  } else if (!::IsDBCSLeadByte(static_cast<BYTE>(Key))) {
    autoCompleteFilter_ += Key;
  } else {
    MSG msg;
    if (HandleAllocated() &&
        ::PeekMessageA(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      autoCompleteFilter_ += Key;
      autoCompleteFilter_ += static_cast<char>(msg.wParam);
      Key = 0;
    }
  }
  if (autoCompleteFilter_.empty()) {
    SetItemIndex(0);
    Click();
    return;
  }
  const Integer index = FindAutoCompleteString(autoCompleteFilter_);
  if (index == -1) return;
  if (MultiSelect()) {
    ::SendMessageA(Handle(), LB_SELITEMRANGE, FALSE,
                   MAKELPARAM(0, std::max<Integer>(Count() - 1, 0)));
    ::SendMessageA(Handle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(index, index));
  }
  SetItemIndex(index);
  Click();
  if (Key != '\b' && Key != '\r' && Key != '\x1b') Key = 0;
}

// ---------------------------------------------------------------------------
// Focus rectangle and owner-drawn items
// ---------------------------------------------------------------------------

void TcxCustomInnerListBox::SaveCanvasParametersForFocusRect() {
  savedBrushColor_ = Canvas()->Brush()->Color();
  savedFontColor_ = Canvas()->Font()->Color();
}

void TcxCustomInnerListBox::RestoreCanvasParametersForFocusRect() {
  Canvas()->Brush()->SetColor(savedBrushColor_);
  Canvas()->Font()->SetColor(savedFontColor_);
  // The DC must take the brush again before the focus rectangle is drawn.
  if (Canvas()->HandleAllocated()) {
    const HDC dc = Canvas()->Handle();
    ::SelectObject(dc, Canvas()->Brush()->Handle());
    ::SetTextColor(dc, ColorToRGB(savedFontColor_));
  }
}

void TcxCustomInnerListBox::CNDrawItem(TMessage& Message) {
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  TCanvas* canvas = Canvas();
  TControlPaintScope paint(static_cast<TControlCanvas*>(canvas), draw->hDC);
  canvas->Font()->Assign(Font());
  canvas->Brush()->Assign(Brush());
  const Integer index = static_cast<Integer>(draw->itemID);
  const TRect rect{draw->rcItem.left, draw->rcItem.top, draw->rcItem.right,
                   draw->rcItem.bottom};
  TOwnerDrawState state;
  if (draw->itemState & ODS_SELECTED) state.Include(odSelected);
  if (draw->itemState & ODS_FOCUS) state.Include(odFocused);
  if (draw->itemState & ODS_DISABLED) state.Include(odDisabled);
  if (index >= 0 && state.Contains(odSelected)) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
  }
  if (static_cast<int>(draw->itemID) < 0)
    canvas->FillRect(rect);
  else
    DrawItem(index, rect, state);
  if (state.Contains(odFocused) && NeedDrawFocusRect()) {
    const RECT r = draw->rcItem;
    ::DrawFocusRect(draw->hDC, &r);
  }
  Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TcxCustomInnerListBox::WMLButtonDown(TMessage& Message) {
  if (!container_ || DragMode() != dmAutomatic || container_->IsDesigning()) {
    TListBox::Dispatch(Message);
    return;
  }
  const TDragMode saved = DragMode();
  SetDragMode(dmManual);
  TScopeGuard restore([this, saved] { SetDragMode(saved); });
  const TPoint p{static_cast<short>(LOWORD(Message.LParam)),
                 static_cast<short>(HIWORD(Message.LParam))};
  const TShiftState shift = MouseKeysToShiftState(Message.WParam);
  const bool extended = shift.Contains(ssShift) || shift.Contains(ssCtrl);
  if (MultiSelect()) {
    const Integer item = ItemAtPos(p, true);
    if ((!shift.Contains(ssShift) || shift.Contains(ssCtrl)) && item >= 0 &&
        Selected(item)) {
      // Dragging a selection must not collapse it to the pressed item.
      container_->BeginDrag(false);
      return;
    }
  }
  TListBox::Dispatch(Message);
  if (!(MultiSelect() && extended)) container_->BeginDrag(false);
}

void TcxCustomInnerListBox::DefaultHandler(TMessage& Message) {
  if (container_ && container_->InnerControlDefaultHandler(Message)) return;
  TListBox::DefaultHandler(Message);
}

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  if (container_ && container_->InnerControlMenuHandler(Message)) return;
  TListBox::WndProc(Message);
  switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_WINDOWPOSCHANGED:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE:
      SetExternalScrollBarsParameters();
      break;
    case WM_SETREDRAW:
      if (Message.WParam) SetExternalScrollBarsParameters();
      break;
    default:
      break;
  }
}

void TcxCustomInnerListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TListBox::Dispatch(Message);
      if (container_) {
        Message.Result |= DLGC_WANTCHARS;
        if (::GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      }
      return;
    case WM_SETFOCUS:
      TListBox::Dispatch(Message);
      if (container_ && !container_->IsDestroying() &&
          !ComponentState().Contains(csDestroying) &&
          !(container_->HandleAllocated() &&
            reinterpret_cast<HWND>(Message.WParam) == container_->Handle()))
        container_->FocusChanged();
      return;
    case WM_KILLFOCUS:
      TListBox::Dispatch(Message);
      if (container_ && !container_->IsDestroying()) container_->FocusChanged();
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_NCCALCSIZE:
      TListBox::Dispatch(Message);
      if (!scrollBarsCalculating_) SetExternalScrollBarsParameters();
      return;
    case WM_NCPAINT:
      TListBox::Dispatch(Message);
      if (UsecxScrollBars() && HandleAllocated()) {
        TWindowDC dc(Handle(), ::GetWindowDC(Handle()));
        DrawSizeGrip(dc.get());
      }
      return;
    case WM_PRINT:
      if ((Message.LParam & PRF_NONCLIENT) && UsecxScrollBars()) {
        DrawSizeGrip(reinterpret_cast<HDC>(Message.WParam));
        Message.LParam &= ~PRF_NONCLIENT;
      }
      DefaultHandler(Message);
      return;
    case WM_PRINTCLIENT:
      DefaultHandler(Message);
      return;
    case WM_SETREDRAW:
      isRedrawLocked_ = Message.WParam == 0;
      TListBox::Dispatch(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      TListBox::Dispatch(Message);
      if (!ComponentState().Contains(csDestroying)) {
        const TRect grip = GetSizeGripRect();
        if (grip.Width() > 0 && grip.Height() > 0) {
          TRegionHandle region(
              ::CreateRectRgn(grip.Left, grip.Top, grip.Right, grip.Bottom));
          ::SendMessageA(Handle(), WM_NCPAINT,
                         reinterpret_cast<WPARAM>(region.get()), 0);
        }
      }
      return;
    case CM_MOUSEENTER:
      TListBox::Dispatch(Message);
      return;
    case CM_MOUSELEAVE:
      TListBox::Dispatch(Message);
      if (container_) container_->ShortRefreshContainer(true);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    default:
      break;
  }
  TListBox::Dispatch(Message);
}
