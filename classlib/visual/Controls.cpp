#include "Controls.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "ActnList.h"
#include "FormStreams.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

TMouse* Mouse = nullptr;

namespace {

// The window property that ties a window to its control.
constexpr const char* kControlProp = "VarnelControl";

// The control whose window is being created: its window procedure is put
// in place at the window's first message.
TWinControl* creationControl = nullptr;

TControl* captureControl = nullptr;

// Unique child-window identifiers, so that WM_MEASUREITEM (which names the
// child only by identifier) finds its control.
UINT nextControlId = 1;

struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
};

// The drag under way.
struct TDragProgress {
  TControl* control = nullptr;
  TDragObject* object = nullptr;
  TControl* target = nullptr;
  TPoint targetPos;
  TPoint startPos;
  Integer threshold = 0;
  bool started = false;
  bool accepted = false;
  HWND window = nullptr;
};
TDragProgress drag;

TPoint LParamToPoint(LPARAM lp) {
  return {static_cast<Smallint>(LOWORD(lp)), static_cast<Smallint>(HIWORD(lp))};
}

LPARAM PointToLParam(const TPoint& p) {
  return MAKELPARAM(static_cast<Word>(p.X), static_cast<Word>(p.Y));
}

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
         msg != 0x020E /* WM_MOUSEHWHEEL */;
}

}  // namespace

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

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  return static_cast<TWinControl*>(::GetPropA(Handle, kControlProp));
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
// Drag objects and the drag machinery
// ---------------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) {
  return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted && control_) return control_->DragCursor();
  return inherited::GetDragCursor(Accepted, X, Y);
}

void TDragControlObject::Finished(TObject* Target, Integer X, Integer Y,
                                  bool Accepted) {
  if (!control_) return;
  if (!Accepted) {
    control_->DragCanceled();
    Target = nullptr;
  }
  control_->DoEndDrag(Target, X, Y);
}

TDragObject* DragObject() { return drag.object; }
TControl* DragControl() { return drag.control; }

namespace {

// What a target sees as the source: the control for a control drag.
TObject* DragSourceFor(TDragObject* obj) {
  if (auto* c = dynamic_cast<TBaseDragControlObject*>(obj)) {
    return c->Control();
  }
  return obj;
}

bool SendDragMessage(TControl* target, TDragMessage msg, const TPoint& pos) {
  if (!target) return false;
  TDragRec rec;
  rec.Pos = pos;
  rec.Source = drag.object;
  rec.Target = target;
  return target->Perform(CM_DRAG, msg, reinterpret_cast<LPARAM>(&rec)) != 0;
}

void DragWndProc(TMessage& m);

HWND DragWindow() {
  if (!drag.window) {
    drag.window = AllocateHWnd(TWndMethod::FromFunction(&DragWndProc));
  }
  return drag.window;
}

void ResetDrag() {
  TDragObject* obj = drag.object;
  HWND window = drag.window;
  drag = TDragProgress{};
  drag.window = window;
  if (obj && obj->AutoFree) Free(obj);
  if (::GetCapture() == window) ::ReleaseCapture();
}

void StartDrag() {
  TControl* source = drag.control;
  TDragObject* obj = nullptr;
  source->DoStartDrag(obj);
  if (!drag.control) return;  // cancelled from OnStartDrag
  if (!obj) {
    obj = new TDragControlObject(source);
    obj->AutoFree = true;
  }
  drag.object = obj;
  drag.started = true;
}

void UpdateDragCursor(const TPoint& pos) {
  if (!drag.object || !Screen) return;
  TPoint local = drag.target ? drag.target->ScreenToClient(pos) : pos;
  ::SetCursor(Screen->Cursors(
      drag.object->GetDragCursor(drag.accepted, local.X, local.Y)));
}

void DragWndProc(TMessage& m) {
  try {
    switch (m.Msg) {
      case WM_MOUSEMOVE: {
        if (!drag.control) break;
        POINT p{static_cast<Smallint>(LOWORD(m.LParam)),
                static_cast<Smallint>(HIWORD(m.LParam))};
        ::ClientToScreen(drag.window, &p);
        const TPoint pos{p.x, p.y};
        if (!drag.started) {
          if (std::abs(pos.X - drag.startPos.X) <= drag.threshold &&
              std::abs(pos.Y - drag.startPos.Y) <= drag.threshold) {
            break;
          }
          StartDrag();
          if (!drag.started) break;
        }
        DragTo(pos);
        break;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (drag.started) {
          DragDone(true);
        } else {
          ResetDrag();
        }
        break;
      case WM_KEYDOWN:
        if (m.WParam == VK_ESCAPE) DragDone(false);
        break;
      case WM_CAPTURECHANGED:
        if (drag.control && reinterpret_cast<HWND>(m.LParam) != drag.window) {
          if (drag.started) {
            DragDone(false);
          } else {
            ResetDrag();
          }
        }
        break;
      default:
        m.Result = ::DefWindowProcA(drag.window, m.Msg, m.WParam, m.LParam);
    }
  } catch (...) {
    ResetDrag();
    if (Application) Application->HandleException(nullptr);
  }
}

}  // namespace

void DragTo(const TPoint& Pos) {
  if (!drag.started) return;
  TControl* target = FindDragTarget(Pos, false);
  if (target != drag.target) {
    if (drag.target) SendDragMessage(drag.target, dmDragLeave, Pos);
    drag.target = target;
    drag.accepted = SendDragMessage(target, dmDragEnter, Pos);
  } else {
    drag.accepted = SendDragMessage(target, dmDragMove, Pos);
  }
  drag.targetPos = Pos;
  if (drag.object) {
    drag.object->DragPos = Pos;
    drag.object->DragTarget = drag.target;
    drag.object->DragTargetPos =
        drag.target ? drag.target->ScreenToClient(Pos) : Pos;
  }
  UpdateDragCursor(Pos);
}

void DragDone(bool Drop) {
  if (!drag.control) return;
  if (!drag.started) {
    ResetDrag();
    return;
  }
  TControl* target = drag.target;
  TDragObject* obj = drag.object;
  const TPoint pos = drag.targetPos;
  const bool accepted = Drop && target && drag.accepted;
  // Nothing may re-enter the drag from the handlers below.
  drag.control = nullptr;
  if (::GetCapture() == drag.window) ::ReleaseCapture();
  if (obj) {
    obj->Dropped = accepted;
    obj->Cancelling = !Drop;
  }
  TPoint local = target ? target->ScreenToClient(pos) : pos;
  if (target) {
    SendDragMessage(target, accepted ? dmDragDrop : dmDragLeave, pos);
  }
  if (obj)
    obj->Finished(accepted ? target : nullptr, local.X, local.Y, accepted);
  ResetDrag();
}

void CancelDrag() {
  if (drag.control) DragDone(false);
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
// TWinControl
// ---------------------------------------------------------------------------

LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), brush_(new TBrush) {
  objectInstance_ =
      MakeObjectInstance(TWndMethod(this, &TWinControl::MainWndProc));
  brush_->SetColor(color_);
}

TWinControl::~TWinControl() {
  // Without BeforeDestruction (a plain delete) the parent and the children
  // must still let go of this control while it is a TWinControl.
  if (parent_) parent_->RemoveControl(this);
  while (!controls_.empty()) RemoveControl(controls_.back());
  if (handle_) DestroyHandle();
  FreeObjectInstance(objectInstance_);
}

void TWinControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  // Children owned elsewhere outlive their parent: they leave it.
  while (!controls_.empty()) RemoveControl(controls_.back());
  if (handle_) DestroyHandle();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  if (!handle_) CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (parentWindow_ == Value) return;
  parentWindow_ = Value;
  if (handle_ && !parent_) {
    if (Value) {
      ::SetParent(handle_, Value);
    } else {
      DestroyHandle();
    }
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = text_;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!enabled_) Params.Style |= WS_DISABLED;
  if (tabStop_) Params.Style |= WS_TABSTOP;
  Params.X = left_;
  Params.Y = top_;
  Params.Width = width_;
  Params.Height = height_;
  if (parent_) {
    Params.WndParent = parent_->Handle();
  } else {
    Params.WndParent = parentWindow_;
  }
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW;
  if (controlStyle_.Contains(csDoubleClicks)) {
    Params.WindowClass.style |= CS_DBLCLKS;
  }
  Params.WindowClass.lpfnWndProc = ::DefWindowProcA;
  Params.WindowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = ::GetModuleHandleA(nullptr);
  const String name = ClassName();
  std::snprintf(Params.WinClassName, sizeof Params.WinClassName, "%s",
                name.c_str());
}

void TWinControl::CreateSubClass(TCreateParams& Params,
                                 const char* ControlClassName) {
  WNDCLASSA wc{};
  if (!::GetClassInfoA(nullptr, ControlClassName, &wc)) {
    throw EOutOfResources("Cannot find window class %s", {ControlClassName});
  }
  const UINT keep = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC |
                    CS_CLASSDC | CS_PARENTDC;
  wc.style = (wc.style & keep) | (Params.WindowClass.style & CS_DBLCLKS);
  if (!controlStyle_.Contains(csDoubleClicks)) wc.style &= ~CS_DBLCLKS;
  Params.WindowClass = wc;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    throw EInvalidOperation("Control '%s' has no parent window", {Name()});
  }
  defWndProc_ = params.WindowClass.lpfnWndProc;
  HINSTANCE inst = ::GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  const bool registered =
      ::GetClassInfoA(inst, params.WinClassName, &existing) != 0;
  if (!registered || existing.lpfnWndProc != &InitWndProc) {
    if (registered) ::UnregisterClassA(params.WinClassName, inst);
    WNDCLASSA wc = params.WindowClass;
    wc.lpfnWndProc = &InitWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = params.WinClassName;
    if (!::RegisterClassA(&wc)) {
      throw EOutOfResources("Cannot register window class %s",
                            {String(params.WinClassName)});
    }
  }
  {
    creationControl = this;
    TScopeGuard created([] { creationControl = nullptr; });
    CreateWindowHandle(params);
  }
  if (!handle_) RaiseLastWin32Error();
  // Fonts of system controls come from the control.
  if (defWndProc_ != &::DefWindowProcA) {
    ::SendMessageA(handle_, WM_SETFONT,
                   reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  }
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) {
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextControlId++));
    if (nextControlId > 0x7FFF) nextControlId = 1;
  }
  HWND h = ::CreateWindowExA(
      Params.ExStyle, Params.WinClassName, Params.Caption.c_str(), Params.Style,
      Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id,
      ::GetModuleHandleA(nullptr), Params.Param);
  if (h) handle_ = h;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  {
    controlState_.Include(csCreating);
    TScopeGuard createDone([this] { controlState_.Exclude(csCreating); });
    CreateWnd();
  }
  if (parent_) SetZOrderPosition(-1);
  UpdateBounds();
  // Children windows follow in z order; they show with UpdateShowing.
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->CreateHandle();
  }
}

void TWinControl::SetZOrderPosition(Integer) {
  if (!handle_ || !parent_) return;
  // The window goes behind the windowed sibling that follows it in the list.
  HWND after = HWND_TOP;
  bool found = false;
  for (TControl* c : parent_->controls_) {
    if (c == this) {
      found = true;
      continue;
    }
    auto* wc = dynamic_cast<TWinControl*>(c);
    if (found && wc && wc->handle_) {
      after = ::GetWindow(wc->handle_, GW_HWNDPREV);
      if (!after) after = HWND_TOP;
      break;
    }
  }
  if (after == handle_) return;
  ::SetWindowPos(handle_, after, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroyWnd() {
  // The text lives on in the control until the window comes back.
  const Integer len = ::GetWindowTextLengthA(handle_);
  String t(static_cast<std::size_t>(std::max(len, 0)) + 1, '\0');
  const Integer got = ::GetWindowTextA(handle_, t.data(), len + 1);
  t.resize(static_cast<std::size_t>(std::max(got, 0)));
  text_ = t;
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  controlState_.Include(csDestroyingHandle);
  HWND h = handle_;
  if (h) ::DestroyWindow(h);
  handle_ = nullptr;
  showing_ = false;
  controlState_.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_) {
    if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->DestroyHandle();
  }
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  recreating_ = true;
  TScopeGuard recreated([this] { recreating_ = false; });
  const bool hadParentWindow = parent_ && parent_->handle_;
  DestroyHandle();
  UpdateControlState();
  if (!handle_ && hadParentWindow) CreateHandle();
}

void TWinControl::UpdateControlState() {
  // A child shows when its parent does; a top-level control (a form, or a
  // control placed in a foreign window) decides for itself.
  if (parent_) {
    if (parent_->showing_ || showing_) UpdateShowing();
  } else if (parentWindow_ || dynamic_cast<TCustomForm*>(this)) {
    UpdateShowing();
  }
}

void TWinControl::UpdateShowing() {
  const bool want = visible_ && (parent_ ? parent_->showing_ : true);
  if (want && !handle_) CreateHandle();
  if (handle_ && want != showing_) {
    showing_ = want;
    TScopeGuard undo([this, want] { showing_ = !want; });
    Perform(CM_SHOWINGCHANGED, 0, 0);
    undo.Dismiss();
  }
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (auto* wc = dynamic_cast<TWinControl*>(c)) {
      if (wc->handle_ || (want && wc->visible_)) wc->UpdateShowing();
    }
  }
}

void TWinControl::CMShowingChanged(TMessage&) {
  ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!visible_ && parent_) {
    // A hidden control cannot keep the focus.
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this);
  }
  UpdateControlState();
}

void TWinControl::SetParentWindowsChanged() {}

void TWinControl::InsertControl(TControl* AControl) {
  if (AControl->parent_ == this) return;
  controls_.push_back(AControl);
  AControl->parent_ = this;
  if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
    tabList_.push_back(wc);
    if (handle_) {
      wc->CreateHandle();
      wc->UpdateControlState();
    }
  }
  AControl->ApplyAnchorsFromParent();
  if (AControl->align_ != alNone) Realign();
  AControl->Invalidate();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(controls_.begin(), controls_.end(), AControl);
  if (it == controls_.end()) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* form = dynamic_cast<TCustomForm*>(this)) {
    form->DefocusControl(AControl);
  } else if (TCustomForm* f = GetParentForm(this)) {
    f->DefocusControl(AControl);
  }
  AControl->InvalidateControl(AControl->visible_, false);
  controls_.erase(std::find(controls_.begin(), controls_.end(), AControl));
  if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), wc),
                   tabList_.end());
    if (wc->handle_) wc->DestroyHandle();
  }
  AControl->parent_ = nullptr;
  if (AControl->align_ != alNone) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) {
  while (Control && Control != this) Control = Control->parent_;
  return Control == this;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled,
                                    bool AllowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!AllowWinControls && dynamic_cast<TWinControl*>(c)) continue;
    if (!c->visible_) continue;
    if (!AllowDisabled && !c->enabled_) continue;
    if (PtInRect(c->BoundsRect(), Pos)) {
      TPoint local{Pos.X - c->left_, Pos.Y - c->top_};
      if (c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0) return c;
    }
  }
  return nullptr;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TControl* c : controls_) {
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, Integer Order) {
  auto* c = dynamic_cast<TControl*>(Child);
  if (!c || c->parent_ != this) return;
  auto it = std::find(controls_.begin(), controls_.end(), c);
  controls_.erase(it);
  Order = std::clamp<Integer>(Order, 0, static_cast<Integer>(controls_.size()));
  controls_.insert(controls_.begin() + Order, c);
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() {
  if (alignLevel_ > 0 || aligning_) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  if (ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying)) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  controlState_.Exclude(csAlignmentNeeded);
  AlignAll();
}

void TWinControl::AlignAll() {
  TRect r = GetClientRect();
  AdjustClientRect(r);
  aligning_ = true;
  TScopeGuard aligned([this] { aligning_ = false; });
  AlignControls(requester_, r);
}

void TWinControl::AdjustClientRect(TRect&) {}

TRect TWinControl::GetClientRect() {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
  }
  return inherited::GetClientRect();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  // Anchored controls keep their distances to the sides they are tied to.
  for (TControl* c : controls_) {
    if (c->align_ != alNone || !c->anchorsValid_) continue;
    const TAnchors a = c->anchors_;
    if (a == TAnchors{akLeft, akTop}) continue;
    const Integer dx = Rect.Width() - c->anchorParentSize_.cx;
    const Integer dy = Rect.Height() - c->anchorParentSize_.cy;
    Integer l = c->left_, t = c->top_, w = c->width_, h = c->height_;
    // The rule is relative to where the control was when it was set.
    const Integer ol = c->anchorOrigin_.X, ot = c->anchorOrigin_.Y;
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft)) {
        l = ol;
        w = c->anchorWidth_ + dx;
      } else {
        l = ol + dx;
      }
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop)) {
        t = ot;
        h = c->anchorHeight_ + dy;
      } else {
        t = ot + dy;
      }
    }
    c->SetBounds(l, t, w, h);
  }
  auto align = [&](TAlign which) {
    std::vector<TControl*> list;
    for (TControl* c : controls_) {
      if (c->align_ == which && c->visible_) list.push_back(c);
    }
    auto key = [which](TControl* c) {
      switch (which) {
        case alTop:
          return c->top_;
        case alBottom:
          return -(c->top_ + c->height_);
        case alLeft:
          return c->left_;
        case alRight:
          return -(c->left_ + c->width_);
        default:
          return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      if (key(a) != key(b)) return key(a) < key(b);
      return a == AControl && b != AControl;
    });
    for (TControl* c : list) {
      Integer w = Rect.Width(), h = Rect.Height();
      switch (which) {
        case alTop:
          c->SetBounds(Rect.Left, Rect.Top, w, c->height_);
          Rect.Top += c->height_;
          break;
        case alBottom:
          c->SetBounds(Rect.Left, Rect.Bottom - c->height_, w, c->height_);
          Rect.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(Rect.Left, Rect.Top, c->width_, h);
          Rect.Left += c->width_;
          break;
        case alRight:
          c->SetBounds(Rect.Right - c->width_, Rect.Top, c->width_, h);
          Rect.Right -= c->width_;
          break;
        case alClient:
          c->SetBounds(Rect.Left, Rect.Top, std::max(w, 0), std::max(h, 0));
          break;
        default:
          break;
      }
      if (Rect.Bottom < Rect.Top) Rect.Bottom = Rect.Top;
      if (Rect.Right < Rect.Left) Rect.Right = Rect.Left;
    }
  };
  align(alTop);
  align(alBottom);
  align(alLeft);
  align(alRight);
  align(alClient);
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                            Integer AHeight) {
  if (!CanResize(AWidth, AHeight)) {
    AWidth = width_;
    AHeight = height_;
  }
  if (ALeft == left_ && ATop == top_ && AWidth == width_ &&
      AHeight == height_) {
    return;
  }
  const bool sized = AWidth != width_ || AHeight != height_;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (handle_ && !updatingBounds_) {
    updatingBounds_ = true;
    ::SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    updatingBounds_ = false;
  }
  UpdateBoundsRect(BoundsRect());
  if (sized) {
    Realign();
    Resize();
  }
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  ::GetWindowRect(handle_, &r);
  if (::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
    HWND p = ::GetParent(handle_);
    if (p) ::MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  }
  const bool sized =
      (r.right - r.left) != width_ || (r.bottom - r.top) != height_;
  const bool moved = r.left != left_ || r.top != top_;
  if (!sized && !moved) return;
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  if (sized) {
    Realign();
    Resize();
  }
}

void TWinControl::Invalidate() {
  if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) ::UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

String TWinControl::GetText() {
  if (!handle_) return text_;
  const Integer len =
      static_cast<Integer>(::SendMessageA(handle_, WM_GETTEXTLENGTH, 0, 0));
  String t(static_cast<std::size_t>(std::max(len, 0)) + 1, '\0');
  const Integer got = static_cast<Integer>(::SendMessageA(
      handle_, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(t.data())));
  t.resize(static_cast<std::size_t>(std::max(got, 0)));
  return t;
}

Integer TWinControl::GetTextLen() {
  if (!handle_) return static_cast<Integer>(text_.size());
  return static_cast<Integer>(::SendMessageA(handle_, WM_GETTEXTLENGTH, 0, 0));
}

void TWinControl::SetTextBuf(const String& Value) {
  text_ = Value;
  if (handle_) {
    ::SendMessageA(handle_, WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(Value.c_str()));
  }
}

void TWinControl::SetTabStop(bool Value) {
  if (tabStop_ == Value) return;
  tabStop_ = Value;
  if (handle_) {
    LONG style = ::GetWindowLongA(handle_, GWL_STYLE);
    style = Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    ::SetWindowLongA(handle_, GWL_STYLE, style);
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

Integer TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (Value < 0 || Value > static_cast<Integer>(list.size())) {
    Value = static_cast<Integer>(list.size());
  }
  list.insert(list.begin() + Value, this);
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TControl* c = this; c && c != form; c = c->parent_) {
    if (!c->visible_ || !c->GetEnabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() { return handle_ && ::GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_ || !parent_) {
    ::SetFocus(Handle());
  } else {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : tabList_) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl,
                                          bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const Integer n = static_cast<Integer>(list.size());
  auto it = std::find(list.begin(), list.end(), CurControl);
  Integer start = it == list.end() ? (GoForward ? n - 1 : 0)
                                   : static_cast<Integer>(it - list.begin());
  Integer i = start;
  for (Integer step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[i];
    if (c == CurControl) break;
    if (CheckTabStop && !c->tabStop_) continue;
    if (CheckParent && c->parent_ != this) continue;
    if (c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward,
                             bool CheckTabStop) {
  if (TWinControl* c =
          FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) {
    c->SetFocus();
  }
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::SetParentBackground(bool Value) {
  if (Value) {
    controlStyle_.Include(csParentBackground);
  } else {
    controlStyle_.Exclude(csParentBackground);
  }
  Invalidate();
}

void TWinControl::SetCtl3D(bool Value) {
  if (ctl3D_ == Value) return;
  ctl3D_ = Value;
  parentCtl3D_ = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    WindowProc(Message);
  } catch (...) {
    // Exceptions cannot cross the system's window procedure.
    if (Application) Application->HandleException(this);
  }
  if (Message.Msg == WM_NCDESTROY) {
    if (handle_) ::RemovePropA(handle_, kControlProp);
    handle_ = nullptr;
    showing_ = false;
  }
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this)) {
        if (form != this && !form->SetFocusedControl(this)) return;
      }
      break;
    default:
      if (IsMouseMessage(Message.Msg)) {
        if (IsControlMouseMsg(Message)) return;
      }
      break;
  }
  inherited::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* target = nullptr;
  TControl* cap = GetCaptureControl();
  const TPoint p = LParamToPoint(Message.LParam);
  if (cap && cap->parent_ == this && !dynamic_cast<TWinControl*>(cap)) {
    target = cap;
  } else if (!cap || cap == this) {
    target = ControlAtPos(p, false);
  }
  if (!target) return false;
  const TPoint local{p.X - target->left_, p.Y - target->top_};
  Message.Result =
      target->Perform(Message.Msg, Message.WParam, PointToLParam(local));
  return true;
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT:
      WMPaint(M);
      return;
    case WM_ERASEBKGND:
      // Double buffering erases off screen, in WMPaint.
      if (doubleBuffered_ && M.WParam != static_cast<WPARAM>(M.LParam)) {
        M.Result = 1;
        return;
      }
      if (defWndProc_ == &::DefWindowProcA) {
        RECT r;
        ::GetClientRect(handle_, &r);
        ::FillRect(reinterpret_cast<HDC>(M.WParam), &r, brush_->Handle());
        M.Result = 1;
        return;
      }
      break;
    case WM_SIZE:
      WMSize(M);
      return;
    case WM_MOVE:
      WMMove(M);
      return;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(M);
      if (!updatingBounds_) UpdateBounds();
      return;
    case WM_COMMAND:
      WMCommand(M);
      return;
    case WM_NOTIFY:
      WMNotify(M);
      return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      WMCtlColor(M);
      return;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
      HWND child = nullptr;
      if (M.Msg == WM_DRAWITEM) {
        child = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam)->hwndItem;
      } else if (M.Msg == WM_DELETEITEM) {
        child = reinterpret_cast<DELETEITEMSTRUCT*>(M.LParam)->hwndItem;
      } else if (M.Msg == WM_COMPAREITEM) {
        child = reinterpret_cast<COMPAREITEMSTRUCT*>(M.LParam)->hwndItem;
      } else if (handle_) {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
        child = ::GetDlgItem(handle_, static_cast<int>(mi->CtlID));
      }
      if (TWinControl* c = FindControl(child); c && c != this) {
        M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
        return;
      }
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam));
          c && c != this) {
        M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
        return;
      }
      break;
    case WM_SETCURSOR:
      WMSetCursor(M);
      return;
    case WM_CAPTURECHANGED:
      if (captureControl &&
          (captureControl == this || captureControl->parent_ == this) &&
          reinterpret_cast<HWND>(M.LParam) != handle_) {
        captureControl = nullptr;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(M)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(M)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(M)) return;
      break;
    case WM_SETFOCUS:
      DefaultHandler(M);
      return;
    case WM_KILLFOCUS:
      DefaultHandler(M);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(M);
      return;
    case CN_KEYUP:
      CNKeyUp(M);
      return;
    case CN_CHAR:
      CNChar(M);
      return;
    case CN_SYSCHAR:
      CNSysChar(M);
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORDLG: {
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
      ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(brush_->Color())));
      M.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(M);
      return;
    case CM_COLORCHANGED:
      CMColorChanged(M);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(M);
      return;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(M);
      return;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(M);
      return;
    case CM_TEXTCHANGED:
      return;
    case CM_CTL3DCHANGED:
      for (TControl* c : controls_) {
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->parentCtl3D_) {
          wc->ctl3D_ = ctl3D_;
          wc->Perform(CM_CTL3DCHANGED, 0, 0);
        }
      }
      return;
    case CM_SHOWHINTCHANGED:
      for (TControl* c : controls_) c->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      // Offered to every child until one takes it.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        if (c->Perform(M.Msg, M.WParam, M.LParam) != 0) {
          M.Result = 1;
          return;
        }
      }
      return;
    case CM_MOUSEWHEEL:
      WMMouseWheel(M);
      return;
    case WM_WININICHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_FONTCHANGE:
    case WM_TIMECHANGE: {
      DefaultHandler(M);
      const UINT notice = M.Msg == WM_WININICHANGE     ? CM_WININICHANGE
                          : M.Msg == WM_SYSCOLORCHANGE ? CM_SYSCOLORCHANGE
                          : M.Msg == WM_FONTCHANGE     ? CM_FONTCHANGE
                                                       : CM_TIMECHANGE;
      Perform(notice, M.WParam, M.LParam);
      return;
    }
    case CM_WININICHANGE:
    case CM_SYSCOLORCHANGE:
    case CM_FONTCHANGE:
    case CM_TIMECHANGE:
      // System changes reach every control.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        c->Perform(M.Msg, M.WParam, M.LParam);
      }
      return;
    default:
      break;
  }
  inherited::Dispatch(M);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!handle_) {
    inherited::DefaultHandler(Message);
    return;
  }
  if (Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x1000) {
    // The library's own notices mean nothing to the system.
    return;
  }
  if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) {
    // A reflected notification or key nobody handled: nothing to do; a
    // key goes on to the window as usual.
    Message.Result = 0;
    return;
  }
  Message.Result = ::CallWindowProcA(defWndProc_, handle_, Message.Msg,
                                     Message.WParam, Message.LParam);
}

void TWinControl::WMPaint(TMessage& M) {
  bool hasGraphic = false;
  for (TControl* c : controls_) {
    if (!dynamic_cast<TWinControl*>(c)) hasGraphic = true;
  }
  if (M.WParam) {
    PaintWindow(reinterpret_cast<HDC>(M.WParam));
    PaintControls(reinterpret_cast<HDC>(M.WParam), nullptr);
    return;
  }
  if (!hasGraphic && defWndProc_ != &::DefWindowProcA && !paintsItself_) {
    DefaultHandler(M);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(handle_, &ps);
  TScopeGuard endPaint([&] { ::EndPaint(handle_, &ps); });
  HDC target = dc;
  TOwnedDC memDC;
  TBitmapHandle bitmap;
  std::optional<TSelectObject> selected;
  RECT client;
  ::GetClientRect(handle_, &client);
  if (doubleBuffered_ && client.right > 0 && client.bottom > 0) {
    // Everything is drawn off screen first, then copied in one go.
    memDC.reset(::CreateCompatibleDC(dc));
    bitmap.reset(::CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memDC && bitmap) {
      selected.emplace(memDC.get(), bitmap.get());
      ::IntersectClipRect(memDC.get(), ps.rcPaint.left, ps.rcPaint.top,
                          ps.rcPaint.right, ps.rcPaint.bottom);
      Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC.get()),
              reinterpret_cast<LPARAM>(memDC.get()));
      target = memDC.get();
    }
  }
  // What was drawn reaches the screen even when painting failed half way.
  TScopeGuard present([&] {
    if (target != dc) {
      ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top,
               ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, memDC.get(), ps.rcPaint.left,
               ps.rcPaint.top, SRCCOPY);
    }
  });
  PaintWindow(target);
  PaintControls(target, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m;
  m.Msg = WM_PAINT;
  m.WParam = reinterpret_cast<WPARAM>(DC);
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  bool painting = First == nullptr;
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c == First) painting = true;
    if (!painting || dynamic_cast<TWinControl*>(c) || !c->visible_) continue;
    RECT clip;
    ::GetClipBox(DC, &clip);
    RECT bounds{c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_};
    RECT inter;
    if (!::IntersectRect(&inter, &clip, &bounds)) continue;
    TSavedDC saved(DC);
    ::SetViewportOrgEx(DC, c->left_, c->top_, nullptr);
    ::IntersectClipRect(DC, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::WMSize(TMessage& M) {
  DefaultHandler(M);
  if (!updatingBounds_) UpdateBounds();
  Realign();
}

void TWinControl::WMMove(TMessage& M) {
  DefaultHandler(M);
  if (!updatingBounds_) UpdateBounds();
}

void TWinControl::WMCommand(TMessage& M) {
  if (M.LParam) {
    if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam));
        c && c != this) {
      M.Result = c->Perform(CN_COMMAND, M.WParam, M.LParam);
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMNotify(TMessage& M) {
  auto* hdr = reinterpret_cast<NMHDR*>(M.LParam);
  if (hdr) {
    if (TWinControl* c = FindControl(hdr->hwndFrom); c && c != this) {
      M.Result = c->Perform(CN_NOTIFY, M.WParam, M.LParam);
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMCtlColor(TMessage& M) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam));
      c && c != this) {
    M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  DefaultHandler(M);
}

void TWinControl::WMSetCursor(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == handle_ &&
      LOWORD(M.LParam) == HTCLIENT && Screen) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      POINT p;
      ::GetCursorPos(&p);
      TControl* c = ControlAtPos(ScreenToClient({p.x, p.y}), false);
      cursor = c ? c->Cursor() : Cursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen->Cursors(cursor));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

// A key message goes to the form first when it previews keys; a handler
// that clears the key has handled it.
bool TWinControl::DoKeyEvent(TMessage& Message,
                             bool (TWinControl::*AFormStep)(TMessage&),
                             void (TWinControl::*AEvent)(Word&, TShiftState)) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() &&
      (static_cast<TWinControl*>(form)->*AFormStep)(Message)) {
    return true;
  }
  Word key = static_cast<Word>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (!controlStyle_.Contains(csNoStdEvents)) {
    (this->*AEvent)(key, shift);
    if (key == 0) return true;
    Message.WParam = key;
  }
  return false;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  return DoKeyEvent(Message, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  return DoKeyEvent(Message, &TWinControl::DoKeyUp, &TWinControl::KeyUp);
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() &&
      static_cast<TWinControl*>(form)->DoKeyPress(Message)) {
    return true;
  }
  char ch = static_cast<char>(Message.WParam);
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyPress(ch);
    if (ch == 0) return true;
    Message.WParam = static_cast<Byte>(ch);
  }
  return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) { OnKeyPress(this, Key); }

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

namespace {

// A key that is a shortcut of a popup menu of the control or its parents,
// or of the main menu or an action list of its form, runs that item.
bool IsShortCutKey(TWinControl* Control, const TMessage& M) {
  for (TControl* c = Control; c; c = c->Parent()) {
    if (c->PopupMenu() && c->PopupMenu()->IsShortCut(M)) return true;
  }
  TCustomForm* form = GetParentForm(Control);
  if (!form) return false;
  for (Integer i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (auto* menu = dynamic_cast<TMainMenu*>(c)) {
      if (menu->IsShortCut(M)) return true;
    } else if (auto* list = dynamic_cast<TCustomActionList*>(c)) {
      if (list->IsShortCut(M)) return true;
    }
  }
  return false;
}

}  // namespace

void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    if (IsShortCutKey(this, M)) return;
    UINT mask = 0;
    switch (M.WParam) {
      case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
      default:
        break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, M.WParam, 0) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      if (TCustomForm* form = GetParentForm(this)) {
        if (form->Perform(CM_DIALOGKEY, M.WParam, M.LParam) != 0) return;
      }
    }
  }
  M.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& M) { M.Result = 0; }

void TWinControl::CNChar(TMessage& M) {
  M.Result = 0;
  if (ComponentState().Contains(csDesigning)) return;
  // A control that takes no characters offers them to the form as
  // accelerators.
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    if (TCustomForm* form = GetParentForm(this)) {
      if (form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0) M.Result = 1;
    }
  }
}

void TWinControl::CNSysChar(TMessage& M) {
  M.Result = 0;
  if (ComponentState().Contains(csDesigning) || M.WParam == VK_SPACE) return;
  if (TCustomForm* form = GetParentForm(this)) {
    M.Result = form->Perform(CM_DIALOGCHAR, M.WParam, M.LParam);
  }
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!enabled_ && parent_) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this);
  }
  if (handle_) ::EnableWindow(handle_, enabled_);
}

void TWinControl::CMColorChanged(TMessage&) {
  brush_->SetColor(color_);
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  }
  Invalidate();
}

void TWinControl::CMFontChanged(TMessage&) {
  if (handle_ && defWndProc_ != &::DefWindowProcA) {
    ::SendMessageA(handle_, WM_SETFONT,
                   reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  }
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
  Invalidate();
}

LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* c = creationControl;
  if (!c) return ::DefWindowProcA(hwnd, msg, wp, lp);
  creationControl = nullptr;
  c->handle_ = hwnd;
  ::SetPropA(hwnd, kControlProp, c);
  ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(c->objectInstance_));
  return ::CallWindowProcA(c->objectInstance_, hwnd, msg, wp, lp);
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
