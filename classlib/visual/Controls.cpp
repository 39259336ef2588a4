#include "Controls.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>

#include "ActnList.h"
#include "ControlsPrivate.h"
#include "FormStreams.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

using namespace controls_detail;

TMouse* Mouse = nullptr;

namespace controls_detail {

TControl* captureControl = nullptr;

}  // namespace controls_detail

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

void RaiseLastWin32Error() {
  const DWORD code = ::GetLastError();
  char buf[512] = {};
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, buf, sizeof buf, nullptr);
  EOSError e(Format("System Error.  Code: %d.\r\n%s",
                    {static_cast<Integer>(code), String(buf)}));
  e.ErrorCode = code;
  throw e;
}

TShiftState MouseKeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (::GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (::GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (::GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (::GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (::GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

namespace {

std::unordered_map<HWND, TWinControl*>& WindowControls() {
  static std::unordered_map<HWND, TWinControl*> map;
  return map;
}

// Few ids are ever asked for: a short list searched in order will do.
template <class THandle, class TLoad>
THandle CachedSystemHandle(std::vector<std::pair<LPCSTR, THandle>>& ACache,
                           LPCSTR AId, TLoad ALoad) {
  for (const auto& [id, handle] : ACache) {
    if (id == AId) return handle;
  }
  const THandle handle = ALoad(nullptr, AId);
  if (handle) ACache.emplace_back(AId, handle);
  return handle;
}

}  // namespace

namespace controls_detail {

std::vector<TWindowMessageObserver> windowMessageObservers;

void RegisterWindowControl(HWND Wnd, TWinControl* Control) {
  if (Wnd) WindowControls()[Wnd] = Control;
}

void UnregisterWindowControl(HWND Wnd, TWinControl* Control) {
  auto& map = WindowControls();
  auto it = map.find(Wnd);
  if (it != map.end() && it->second == Control) map.erase(it);
}

void ForgetWindowControl(TWinControl* Control) {
  std::erase_if(WindowControls(), [Control](const auto& entry) {
    return entry.second == Control;
  });
}

}  // namespace controls_detail

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  const auto& map = WindowControls();
  auto it = map.find(Handle);
  return it == map.end() ? nullptr : it->second;
}

void AddWindowMessageObserver(TWindowMessageObserver Observer) {
  if (Observer && !HasWindowMessageObserver(Observer))
    controls_detail::windowMessageObservers.push_back(Observer);
}

void RemoveWindowMessageObserver(TWindowMessageObserver Observer) {
  auto& list = controls_detail::windowMessageObservers;
  list.erase(std::remove(list.begin(), list.end(), Observer), list.end());
}

bool HasWindowMessageObserver(TWindowMessageObserver Observer) {
  const auto& list = controls_detail::windowMessageObservers;
  return std::find(list.begin(), list.end(), Observer) != list.end();
}

HCURSOR SystemCursor(LPCSTR Id) {
  static std::vector<std::pair<LPCSTR, HCURSOR>> cache;
  return CachedSystemHandle(cache, Id, &::LoadCursorA);
}

HICON SystemIcon(LPCSTR Id) {
  static std::vector<std::pair<LPCSTR, HICON>> cache;
  return CachedSystemHandle(cache, Id, &::LoadIconA);
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
  HWND h = ::WindowFromPoint(POINT{Pos.X, Pos.Y});
  while (h) {
    if (TWinControl* c = FindControl(h)) return c;
    h = ::GetParent(h);
  }
  return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* wc = FindVCLWindow(Pos);
  if (!wc) return nullptr;
  if (TControl* c = wc->ControlAtPos(wc->ScreenToClient(Pos), AllowDisabled)) {
    return c;
  }
  return wc;
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TControl* GetCaptureControl() {
  HWND h = ::GetCapture();
  if (!h) {
    captureControl = nullptr;
    return nullptr;
  }
  if (captureControl) {
    TWinControl* owner = dynamic_cast<TWinControl*>(captureControl);
    if (!owner) owner = captureControl->Parent();
    if (owner && owner->HandleAllocated() && owner->Handle() == h) {
      return captureControl;
    }
  }
  captureControl = nullptr;
  return FindControl(h);
}

void SetCaptureControl(TControl* Control) {
  ::ReleaseCapture();
  captureControl = nullptr;
  if (!Control) return;
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) {
    ::SetCapture(wc->Handle());
  } else if (Control->Parent()) {
    ::SetCapture(Control->Parent()->Handle());
  } else {
    return;
  }
  captureControl = Control;
}

// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

void TSizeConstraints::SetMaxHeight(Integer Value) {
  if (Value == maxHeight_) return;
  maxHeight_ = Value;
  if (Value > 0 && Value < minHeight_) minHeight_ = Value;
  Change();
}
void TSizeConstraints::SetMaxWidth(Integer Value) {
  if (Value == maxWidth_) return;
  maxWidth_ = Value;
  if (Value > 0 && Value < minWidth_) minWidth_ = Value;
  Change();
}
void TSizeConstraints::SetMinHeight(Integer Value) {
  if (Value == minHeight_) return;
  minHeight_ = Value;
  if (maxHeight_ > 0 && Value > maxHeight_) maxHeight_ = Value;
  Change();
}
void TSizeConstraints::SetMinWidth(Integer Value) {
  if (Value == minWidth_) return;
  minWidth_ = Value;
  if (maxWidth_ > 0 && Value > maxWidth_) maxWidth_ = Value;
  Change();
}

void TSizeConstraints::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TSizeConstraints*>(Source);
  if (!s) {
    inherited::Assign(Source);
    return;
  }
  minHeight_ = s->minHeight_;
  maxHeight_ = s->maxHeight_;
  minWidth_ = s->minWidth_;
  maxWidth_ = s->maxWidth_;
  Change();
}

void TSizeConstraints::Change() {
  // Re-applies the limits to the control's current size.
  if (control_)
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(),
                        control_->Height());
  OnChange(this);
}

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      font_(new TFont),
      constraints_(new TSizeConstraints(this)) {
  WindowProc = TWndMethod(this, &TControl::WndProc);
  font_->OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

TControl::~TControl() {
  // A plain delete still leaves the parent and any drag.
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  if (drag.control == this) {
    drag.control = nullptr;
    ResetDrag();
  }
  if (drag.target == this) drag.target = nullptr;
  if (auto* obj = dynamic_cast<TBaseDragControlObject*>(drag.object)) {
    if (obj->Control() == this) obj->SetControl(nullptr);
  }
  if (captureControl == this) SetCaptureControl(nullptr);
  if (Application) Application->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
  inherited::BeforeDestruction();
}

void TControl::SetParent(TWinControl* AParent) {
  if (parent_ == AParent) return;
  for (TControl* p = AParent; p; p = p->parent_) {
    if (p == this) {
      throw EInvalidOperation("A control cannot have itself as its parent");
    }
  }
  if (parent_) parent_->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    // Inherit colour and font from the new parent.
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                         Integer AHeight) {
  if (!CanResize(AWidth, AHeight)) {
    AWidth = width_;
    AHeight = height_;
  }
  if (ALeft == left_ && ATop == top_ && AWidth == width_ &&
      AHeight == height_) {
    return;
  }
  InvalidateControl(visible_, false);
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  Invalidate();
  UpdateBoundsRect(BoundsRect());
  Resize();
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool ok = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, ok);
  if (!ok) return false;
  const TSizeConstraints* c = constraints_.get();
  if (c->MinWidth() > 0 && NewWidth < c->MinWidth()) NewWidth = c->MinWidth();
  if (c->MaxWidth() > 0 && NewWidth > c->MaxWidth()) NewWidth = c->MaxWidth();
  if (c->MinHeight() > 0 && NewHeight < c->MinHeight()) {
    NewHeight = c->MinHeight();
  }
  if (c->MaxHeight() > 0 && NewHeight > c->MaxHeight()) {
    NewHeight = c->MaxHeight();
  }
  if (NewWidth < 0) NewWidth = 0;
  if (NewHeight < 0) NewHeight = 0;
  return true;
}

void TControl::Resize() {
  if (!ComponentState().Contains(csLoading)) OnResize(this);
}

void TControl::UpdateBoundsRect(const TRect&) {
  if (!parent_ || parent_->aligning_) return;
  // Bounds set by the program re-base the anchors.
  ApplyAnchorsFromParent();
  if (align_ != alNone) RequestAlign();
}

void TControl::ApplyAnchorsFromParent() {
  if (!parent_) return;
  TRect r = parent_->GetClientRect();
  parent_->AdjustClientRect(r);
  anchorOrigin_ = {left_, top_};
  anchorWidth_ = width_;
  anchorHeight_ = height_;
  anchorParentSize_ = {r.Width(), r.Height()};
  anchorsValid_ = true;
}

TRect TControl::GetClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(Integer Value) {
  SetClientSize({Value, ClientHeight()});
}
void TControl::SetClientHeight(Integer Value) {
  SetClientSize({ClientWidth(), Value});
}

void TControl::SetClientSize(const TSize& Value) {
  TRect client = GetClientRect();
  SetBounds(left_, top_, width_ - client.Width() + Value.cx,
            height_ - client.Height() + Value.cy);
}

TPoint TControl::ClientOrigin() {
  // Only the window knows how wide its frame and caption are: adding Left
  // and Top up the parents misses them by the size of every frame above.
  if (auto* win = dynamic_cast<TWinControl*>(this);
      win && win->HandleAllocated()) {
    POINT p{0, 0};
    ::ClientToScreen(win->Handle(), &p);
    return {p.x, p.y};
  }
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& P) {
  TPoint o = ClientOrigin();
  return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) {
  TPoint o = ClientOrigin();
  return {P.X - o.X, P.Y - o.Y};
}

TPoint TControl::ClientToParent(const TPoint& P, TWinControl* AParent) {
  if (!AParent) AParent = parent_;
  TPoint r = P;
  TControl* c = this;
  while (c && c != AParent) {
    r.X += c->left_;
    r.Y += c->top_;
    c = c->parent_;
  }
  if (c != AParent) {
    throw EInvalidOperation("Control '%s' is not a child of '%s'",
                            {Name(), AParent ? AParent->Name() : String()});
  }
  return r;
}

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  TAlign old = align_;
  align_ = Value;
  if (old == alNone) anchorsValid_ = false;
  if (Value == alNone) ApplyAnchorsFromParent();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (anchors_ == Value) return;
  anchors_ = Value;
  ApplyAnchorsFromParent();
}

void TControl::RequestAlign() {
  if (!parent_) return;
  // The control that moved wins ties with controls of the same alignment.
  parent_->requester_ = this;
  TScopeGuard clearRequester([this] {
    if (parent_) parent_->requester_ = nullptr;
  });
  parent_->Realign();
}

void TControl::Realign() { RequestAlign(); }

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  VisibleChanging();
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value, 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_) parent_->Show();
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

Integer TControl::GetTextLen() {
  return static_cast<Integer>(GetText().size());
}

String TControl::GetText() { return text_; }

void TControl::SetText(const String& Value) {
  if (GetText() == Value) return;
  SetTextBuf(Value);
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextBuf(const String& Value) {
  text_ = Value;
  Invalidate();
}

void TControl::SetName(const String& Value) {
  const bool changeText = controlStyle_.Contains(csSetCaption) &&
                          !ComponentState().Contains(csLoading) &&
                          Name() == GetText() &&
                          !(Owner() && dynamic_cast<TControl*>(Owner()) &&
                            Owner()->ComponentState().Contains(csLoading));
  inherited::SetName(Value);
  if (changeText) SetText(Value);
}

TColor TControl::ParentColorValue() const {
  return parent_ ? parent_->color_ : color_;
}

void TControl::SetColor(TColor Value) {
  if (color_ == Value && !parentColor_) return;
  color_ = Value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  if (Value) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (Value) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  // A font set on the control itself is no longer the parent's.
  if (!inheritingFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (showHint_ == Value && !parentShowHint_) return;
  showHint_ = Value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (parentShowHint_ == Value) return;
  parentShowHint_ = Value;
  if (Value && parent_) {
    showHint_ = parent_->showHint_;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
  }
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (biDiMode_ == Value) return;
  biDiMode_ = Value;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (drag.control) return;
  if (Threshold < 0) Threshold = Mouse ? Mouse->DragThreshold() : 5;
  POINT p;
  ::GetCursorPos(&p);
  HWND window = DragWindow();
  drag.control = this;
  drag.startPos = {p.x, p.y};
  drag.threshold = Threshold;
  captureControl = nullptr;
  ::SetCapture(window);
  if (Immediate) {
    StartDrag();
    if (drag.started) DragTo(drag.startPos);
  }
}

void TControl::EndDrag(bool Drop) {
  if (drag.control == this) DragDone(Drop);
}

bool TControl::Dragging() const { return drag.control == this; }

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !parent_ || !parent_->HandleAllocated()) return;
  RECT r{left_, top_, left_ + width_, top_ + height_};
  ::InvalidateRect(parent_->Handle(), &r, !IsOpaque);
}

void TControl::Invalidate() {
  InvalidateControl(visible_, controlStyle_.Contains(csOpaque));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.push_back(this);
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    if (wc->HandleAllocated()) {
      ::SetWindowPos(wc->Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    if (wc->HandleAllocated()) {
      ::SetWindowPos(wc->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  if (WindowProc) {
    WindowProc(m);
  } else {
    WndProc(m);
  }
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Application && IsMouseMessage(Message.Msg)) {
    if (Message.Msg == WM_MOUSEMOVE) {
      Application->HintMouseMessage(this, Message);
    } else {
      Application->CancelHint();
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
      WMLButtonDown(M, mbLeft, false);
      return;
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M, mbLeft, true);
      return;
    case WM_RBUTTONDOWN:
      WMLButtonDown(M, mbRight, false);
      return;
    case WM_RBUTTONDBLCLK:
      WMLButtonDown(M, mbRight, true);
      return;
    case WM_MBUTTONDOWN:
      WMLButtonDown(M, mbMiddle, false);
      return;
    case WM_MBUTTONDBLCLK:
      WMLButtonDown(M, mbMiddle, true);
      return;
    case WM_LBUTTONUP:
      WMButtonUp(M, mbLeft);
      return;
    case WM_RBUTTONUP:
      WMButtonUp(M, mbRight);
      return;
    case WM_MBUTTONUP:
      WMButtonUp(M, mbMiddle);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(M);
      return;
    case WM_MOUSEWHEEL:
      MouseWheelHandler(M);
      return;
    case CM_MOUSEWHEEL:
      WMMouseWheel(M);
      return;
    case WM_CONTEXTMENU: {
      bool handled = false;
      TPoint p = LParamToPoint(M.LParam);
      if (p.X != -1 || p.Y != -1) p = ScreenToClient(p);
      DoContextPopup(p, handled);
      if (handled) {
        M.Result = 1;
        return;
      }
      if (popupMenu_ && popupMenu_->AutoPopup() &&
          !ComponentState().Contains(csDesigning)) {
        // From the keyboard the menu opens at the control's corner.
        TPoint at = LParamToPoint(M.LParam);
        if (at.X == -1 && at.Y == -1) at = ClientToScreen(TPoint(0, 0));
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(at.X, at.Y);
        M.Result = 1;
        return;
      }
      break;
    }
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(M);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(M);
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_) showHint_ = parent_->showHint_;
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(M);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(M);
      return;
    case CM_DRAG:
      CMDrag(M);
      return;
    case CM_HITTEST:
      M.Result = 1;  // HTCLIENT
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      // Shown or hidden, the area it covers is painted again.
      InvalidateControl(true, false);
      return;
    default:
      break;
  }
  DefaultHandler(M);
}

void TControl::DefaultHandler(TMessage& Message) {
  // A graphic control has no window: text requests are answered here.
  switch (Message.Msg) {
    case WM_GETTEXT: {
      const String t = text_;
      auto* buf = reinterpret_cast<char*>(Message.LParam);
      const std::size_t cap = Message.WParam;
      if (!buf || cap == 0) {
        Message.Result = 0;
        return;
      }
      const std::size_t n = std::min(t.size(), cap - 1);
      std::memcpy(buf, t.data(), n);
      buf[n] = 0;
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(text_.size());
      return;
    case WM_SETTEXT:
      text_ =
          Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      return;
    default:
      break;
  }
}

void TControl::WMLButtonDown(TMessage& M, TMouseButton Button, bool Double) {
  DefaultHandler(M);
  if (Button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (controlStyle_.Contains(csClickEvents)) {
      controlState_.Include(csClicked);
    }
  }
  const TPoint p = LParamToPoint(M.LParam);
  TShiftState shift = MouseKeysToShiftState(M.WParam);
  if (Double) {
    shift.Include(ssDouble);
    // Controls whose system window reports clicks do their own.
    if (Button == mbLeft && controlStyle_.Contains(csClickEvents)) DblClick();
  }
  if (Button == mbLeft && !Double && dragMode_ == dmAutomatic &&
      !ComponentState().Contains(csDesigning)) {
    BeginDrag(false);
  }
  MouseDown(Button, shift, p.X, p.Y);
}

void TControl::WMButtonUp(TMessage& M, TMouseButton Button) {
  DefaultHandler(M);
  const TPoint p = LParamToPoint(M.LParam);
  if (Button == mbLeft) {
    if (controlStyle_.Contains(csCaptureMouse) && MouseCapture()) {
      SetMouseCapture(false);
    }
    if (controlState_.Contains(csClicked)) {
      controlState_.Exclude(csClicked);
      if (PtInRect(GetClientRect(), p)) Click();
    }
  }
  MouseUp(Button, MouseKeysToShiftState(M.WParam), p.X, p.Y);
}

void TControl::WMMouseMove(TMessage& M) {
  DefaultHandler(M);
  const TPoint p = LParamToPoint(M.LParam);
  MouseMove(MouseKeysToShiftState(M.WParam), p.X, p.Y);
}

void TControl::MouseWheelHandler(TMessage& Message) {
  // The form decides who gets the wheel: its focused control first.
  TCustomForm* form = GetParentForm(this);
  if (form && form != this) {
    form->MouseWheelHandler(Message);
  } else {
    Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  }
}

void TControl::WMMouseWheel(TMessage& M) {
  const Integer delta = static_cast<Smallint>(HIWORD(M.WParam));
  const TShiftState shift = MouseKeysToShiftState(LOWORD(M.WParam));
  const TPoint pos = LParamToPoint(M.LParam);
  if (DoMouseWheel(shift, delta, pos)) {
    M.Result = 1;
    return;
  }
  // Not taken: the parent may scroll.
  if (parent_) {
    M.Result = parent_->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
    return;
  }
  // Nobody took it: the system's default for the wheel.
  TMessage original = M;
  original.Msg = WM_MOUSEWHEEL;
  DefaultHandler(original);
  M.Result = original.Result;
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                            TPoint MousePos) {
  bool handled = false;
  OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  OnContextPopup(this, MousePos, Handled);
}

void TControl::Click() {
  // A control bound to an action runs it unless it has its own handler.
  if (!OnClick && actionLink_) {
    actionLink_->Execute(this);
    return;
  }
  OnClick(this);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

TBasicAction* TControl::Action() const {
  return actionLink_ ? actionLink_->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_.reset(new TControlActionLink(this));
  actionLink_->SetAction(Value);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == popupMenu_) popupMenu_ = nullptr;
  if (actionLink_ && AComponent == actionLink_->Action()) actionLink_.reset();
}
void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                         Integer Y) {
  OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                       Integer Y) {
  OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  OnMouseMove(this, Shift, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                        bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  OnDragDrop(this, Source, X, Y);
}

void TControl::ChangeScale(Integer M, Integer D) {
  if (M == D || D == 0) return;
  SetBounds(MulDiv(left_, M, D), MulDiv(top_, M, D), MulDiv(width_, M, D),
            MulDiv(height_, M, D));
}

void TControl::Changed() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::SendCancelMode(TControl* Sender) {
  if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(Sender);
}

void TControl::CMParentColorChanged(TMessage&) {
  if (parentColor_ && parent_) {
    color_ = parent_->color_;
    Perform(CM_COLORCHANGED, 0, 0);
    parentColor_ = true;
  }
}

void TControl::CMParentFontChanged(TMessage&) {
  if (parentFont_ && parent_) {
    inheritingFont_ = true;
    TScopeGuard inheritDone([this] { inheritingFont_ = false; });
    font_->Assign(parent_->font_.get());
  }
}

void TControl::CMMouseEnter(TMessage&) {
  mouseInControl_ = true;
  OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  mouseInControl_ = false;
  OnMouseLeave(this);
}

void TControl::CMDrag(TMessage& M) {
  auto* rec = reinterpret_cast<TDragRec*>(M.LParam);
  if (!rec) return;
  const TPoint p = ScreenToClient(rec->Pos);
  TObject* source = DragSourceFor(rec->Source);
  switch (static_cast<TDragMessage>(M.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      bool accept = true;
      const TDragState state = M.WParam == dmDragEnter   ? dsDragEnter
                               : M.WParam == dmDragLeave ? dsDragLeave
                                                         : dsDragMove;
      DragOver(source, p.X, p.Y, state, accept);
      M.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(source, p.X, p.Y);
      break;
    case dmFindTarget:
      M.Result = reinterpret_cast<LRESULT>(this);
      break;
    default:
      break;
  }
}

TComponent* TControl::GetParentComponent() { return parent_; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* wc = dynamic_cast<TWinControl*>(Value)) SetParent(wc);
}

void TControl::ReadState(TReader* Reader) {
  controlState_.Include(csReadingState);
  TScopeGuard readingDone([this] { controlState_.Exclude(csReadingState); });
  if (auto* p = dynamic_cast<TWinControl*>(Reader->Parent())) {
    if (p != this) SetParent(p);
  }
  inherited::ReadState(Reader);
}

void TControl::Loaded() {
  inherited::Loaded();
  if (parent_) {
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (parentFont_) Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
  ApplyAnchorsFromParent();
}

// ---------------------------------------------------------------------------
// TControlCanvas, TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (control_ == Value) return;
  FreeHandle();
  control_ = Value;
}

void TControlCanvas::FreeHandle() {
  if (!dc_) return;
  SetHandle(nullptr);
  dc_.reset();
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  if (auto* wc = dynamic_cast<TWinControl*>(control_)) {
    dc_ = TWindowDC(wc->Handle());
  } else {
    TWinControl* p = control_->Parent();
    if (!p)
      throw EInvalidOperation("Control '%s' has no parent window",
                              {control_->Name()});
    dc_ = TWindowDC(p->Handle());
    ::SetViewportOrgEx(dc_.get(), control_->Left(), control_->Top(), nullptr);
    ::IntersectClipRect(dc_.get(), 0, 0, control_->Width(), control_->Height());
  }
  SetHandle(dc_.get());
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(new TControlCanvas) {
  canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& M) {
  if (M.Msg == WM_PAINT && M.WParam) {
    TControlPaintScope paint(canvas_.get(), reinterpret_cast<HDC>(M.WParam));
    Paint();
    return;
  }
  inherited::Dispatch(M);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(new TControlCanvas) {
  canvas_->SetControl(this);
  paintsItself_ = true;
}

TCustomControl::~TCustomControl() {
  // The canvas holds a device context of the window.
  canvas_->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC) {
  TControlPaintScope paint(canvas_.get(), DC);
  Paint();
}

void TCustomControl::DestroyWnd() {
  canvas_->FreeHandle();
  inherited::DestroyWnd();
}

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  visible_ = false;
  color_ = clInfoBk;
  parentColor_ = false;
  parentFont_ = false;
  Brush()->SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& AHint) {
  RECT r{0, 0, MaxWidth, 0};
  TWindowDC dc(nullptr);
  TSelectObject font(dc.get(), Font()->Handle());
  ::DrawTextA(dc.get(), AHint.c_str(), -1, &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  return Rect(0, 0, r.right + 6, r.bottom + 4);
}

void THintWindow::ActivateHint(TRect R, const String& AHint) {
  activated_ = true;
  text_ = AHint;
  HandleNeeded();
  ::SetWindowTextA(Handle(), AHint.c_str());
  left_ = R.Left;
  top_ = R.Top;
  width_ = R.Width();
  height_ = R.Height();
  ::SetWindowPos(Handle(), HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  activated_ = false;
  DestroyHandle();
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  InflateRect(r, -2, -2);
  Canvas()->Font()->Assign(Font());
  RECT rr{r.Left, r.Top, r.Right, r.Bottom};
  ::SetBkMode(Canvas()->Handle(), TRANSPARENT);
  ::DrawTextA(Canvas()->Handle(), text_.c_str(), -1, &rr,
              DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// ---------------------------------------------------------------------------
// TMouse
// ---------------------------------------------------------------------------

TMouse::TMouse() {
  const int cx = ::GetSystemMetrics(SM_CXDRAG);
  if (cx > 0) dragThreshold_ = cx;
}

void TMouse::SetCapture(HWND Value) {
  if (Value) {
    ::SetCapture(Value);
  } else {
    ::ReleaseCapture();
  }
}

TPoint TMouse::CursorPos() const {
  POINT p{0, 0};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

void TMouse::SetCursorPos(const TPoint& Value) {
  ::SetCursorPos(Value.X, Value.Y);
}

Integer TMouse::WheelScrollLines() const {
  UINT lines = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<Integer>(lines);
}

void TWinControl::Loaded() {
  inherited::Loaded();
  Realign();
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void ControlsStartup() {
  RegisterEnum<TAlign>("TAlign", {"alNone", "alTop", "alBottom", "alLeft",
                                  "alRight", "alClient", "alCustom"});
  RegisterEnum<TAnchorKind>("TAnchorKind",
                            {"akLeft", "akTop", "akRight", "akBottom"});
  RegisterTypeName<TAnchors>("TAnchors");
  RegisterEnum<TAlignment>("TAlignment",
                           {"taLeftJustify", "taRightJustify", "taCenter"});
  RegisterEnum<TBiDiMode>(
      "TBiDiMode", {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                    "bdRightToLeftReadingOnly"});
  RegisterEnum<TDragMode>("TDragMode", {"dmManual", "dmAutomatic"});
  RegisterEnum<TDragKind>("TDragKind", {"dkDrag", "dkDock"});
  RegisterEnum<TFormBorderStyle>(
      "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                           "bsToolWindow", "bsSizeToolWin"});
  RegisterEnum<TImeMode>(
      "TImeMode",
      {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha",
       "imHira", "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"});
  RegisterTypeName<TCursor>("TCursor");

  TPublished<TSizeConstraints>()
      .Property("MaxHeight", &TSizeConstraints::MaxHeight,
                &TSizeConstraints::SetMaxHeight, 0)
      .Property("MaxWidth", &TSizeConstraints::MaxWidth,
                &TSizeConstraints::SetMaxWidth, 0)
      .Property("MinHeight", &TSizeConstraints::MinHeight,
                &TSizeConstraints::SetMinHeight, 0)
      .Property("MinWidth", &TSizeConstraints::MinWidth,
                &TSizeConstraints::SetMinWidth, 0);

  TPublished<TControl>()
      .Property("Left", &TControl::Left, &TControl::SetLeft)
      .Property("Top", &TControl::Top, &TControl::SetTop)
      .Property("Width", &TControl::Width, &TControl::SetWidth)
      .Property("Height", &TControl::Height, &TControl::SetHeight)
      .Property("Align", &TControl::Align, &TControl::SetAlign, alNone)
      .Property("Anchors", &TControl::Anchors, &TControl::SetAnchors,
                TAnchors{akLeft, akTop})
      .Property("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode,
                bdLeftToRight)
      .Property("Color", &TControl::Color, &TControl::SetColor)
      .Stored(&TControl::IsColorStored)
      .Property("Constraints", &TControl::Constraints,
                &TControl::SetConstraints)
      .Property("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
      .Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor,
                crDrag)
      .Property("DragKind", &TControl::DragKind, &TControl::SetDragKind, dkDrag)
      .Property("DragMode", &TControl::DragMode, &TControl::SetDragMode,
                dmManual)
      .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Property("Font", &TControl::Font, &TControl::SetFont)
      .Stored(&TControl::IsFontStored)
      .Property("ParentColor", &TControl::ParentColor,
                &TControl::SetParentColor)
      .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
      .Property("ParentShowHint", &TControl::ParentShowHint,
                &TControl::SetParentShowHint, true)
      .Property("Hint", &TControl::Hint, &TControl::SetHint)
      .Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
      .Stored(&TControl::IsShowHintStored)
      .Property("Visible", &TControl::Visible, &TControl::SetVisible, true)
      .Event("OnClick", &TControl::OnClick, &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick)
      .Event("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown)
      .Event("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp)
      .Event("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove)
      .Event("OnMouseWheel", &TControl::OnMouseWheel, &TControl::OnMouseWheel)
      .Event("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter)
      .Event("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave)
      .Event("OnResize", &TControl::OnResize, &TControl::OnResize)
      .Event("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize)
      .Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
      .Property("Action", &TControl::Action, &TControl::SetAction)
      .Event("OnContextPopup", &TControl::OnContextPopup,
             &TControl::OnContextPopup)
      .Event("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver)
      .Event("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop)
      .Event("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag)
      .Event("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);

  TPublished<TWinControl>()
      .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop,
                false)
      .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
      .Stored(false)
      .Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D, true)
      .Property("ParentCtl3D", &TWinControl::ParentCtl3D,
                &TWinControl::SetParentCtl3D, true)
      .Property("DoubleBuffered", &TWinControl::DoubleBuffered,
                &TWinControl::SetDoubleBuffered, false)
      .Property("ParentBackground", &TWinControl::ParentBackground,
                &TWinControl::SetParentBackground)
      .Stored(false)
      .Property("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode,
                imDontCare)
      .Property("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName)
      .Event("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter)
      .Event("OnExit", &TWinControl::OnExit, &TWinControl::OnExit)
      .Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown)
      .Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp)
      .Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);

  Mouse = new TMouse;
}

void ControlsShutdown() {
  CancelDrag();
  if (drag.window) {
    DeallocateHWnd(drag.window);
    drag.window = nullptr;
  }
  FreeAndNil(Mouse);
}

}  // namespace

VARNEL_UNIT(Controls, ({"SysUtils", "Classes", "Graphics"}), &ControlsStartup,
            &ControlsShutdown);
