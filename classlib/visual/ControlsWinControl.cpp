// The windowed control of the control unit.
#include <algorithm>
#include <optional>

#include "ActnList.h"
#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

using namespace controls_detail;

namespace {

// The control whose window is being created: its window procedure is put
// in place at the window's first message.
TWinControl* creationControl = nullptr;

// Unique child-window identifiers, so that WM_MEASUREITEM (which names the
// child only by identifier) finds its control.
UINT nextControlId = 1;

}  // namespace

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
  // A window that ended without its last message reaching this control.
  ForgetWindowControl(this);
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
  Params.WindowClass.hCursor = SystemCursor(IDC_ARROW);
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
    TScopeGuard done([this] { updatingBounds_ = false; });
    ::SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // A handler of the resize may have set other bounds while the window
    // moved (a dock that measures its rows again); those bounds went only
    // into the fields, so the window must follow them now. A few rounds
    // settle every sane handler; one that never settles keeps its last.
    for (Integer round = 0; round < 4; ++round) {
      if (left_ == ALeft && top_ == ATop && width_ == AWidth &&
          height_ == AHeight) {
        break;
      }
      ALeft = left_;
      ATop = top_;
      AWidth = width_;
      AHeight = height_;
      ::SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
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
    // By index: an observer may add or remove observers.
    auto& observers = controls_detail::windowMessageObservers;
    for (size_t i = 0; i < observers.size() && handle_; ++i)
      observers[i](handle_, Message);
    WindowProc(Message);
  } catch (...) {
    // Exceptions cannot cross the system's window procedure.
    if (Application) Application->HandleException(this);
  }
  if (Message.Msg == WM_NCDESTROY) {
    if (handle_) UnregisterWindowControl(handle_, this);
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
      WMEraseBkgnd(M);
      return;
    case WM_SIZE:
      WMSize(M);
      return;
    case WM_MOVE:
      WMMove(M);
      return;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(M);
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
    case WM_COMPAREITEM:
      WMOwnerItem(M);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      WMScroll(M);
      return;
    case WM_SETCURSOR:
      WMSetCursor(M);
      return;
    case WM_CAPTURECHANGED:
      WMCaptureChanged(M);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      WMKeyDown(M);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      WMKeyUp(M);
      return;
    case WM_CHAR:
      WMChar(M);
      return;
    case WM_SETFOCUS:
      WMSetFocus(M);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(M);
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
    case CN_CTLCOLORDLG:
      CNCtlColor(M);
      return;
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
      CMTextChanged(M);
      return;
    case CM_CTL3DCHANGED:
      CMCtl3DChanged(M);
      return;
    case CM_SHOWHINTCHANGED:
      CMShowHintChanged(M);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      CMOfferDialogKey(M);
      return;
    case CM_MOUSEWHEEL:
      WMMouseWheel(M);
      return;
    case WM_WININICHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_FONTCHANGE:
    case WM_TIMECHANGE:
      WMSystemChange(M);
      return;
    case CM_WININICHANGE:
    case CM_SYSCOLORCHANGE:
    case CM_FONTCHANGE:
    case CM_TIMECHANGE:
      CMSystemChange(M);
      return;
    default:
      inherited::Dispatch(M);
      return;
  }
}

void TWinControl::WMEraseBkgnd(TMessage& M) {
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
  inherited::Dispatch(M);
}

void TWinControl::WMWindowPosChanged(TMessage& M) {
  DefaultHandler(M);
  if (!updatingBounds_) UpdateBounds();
}

void TWinControl::WMOwnerItem(TMessage& M) {
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
  inherited::Dispatch(M);
}

void TWinControl::WMScroll(TMessage& M) {
  if (TWinControl* c = FindControl(reinterpret_cast<HWND>(M.LParam));
      c && c != this) {
    M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return;
  }
  inherited::Dispatch(M);
}

void TWinControl::WMCaptureChanged(TMessage& M) {
  if (captureControl &&
      (captureControl == this || captureControl->parent_ == this) &&
      reinterpret_cast<HWND>(M.LParam) != handle_) {
    captureControl = nullptr;
  }
  inherited::Dispatch(M);
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) inherited::Dispatch(M);
}

void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) inherited::Dispatch(M);
}

void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) inherited::Dispatch(M);
}

void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }

void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }

void TWinControl::CNCtlColor(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
  ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(brush_->Color())));
  M.Result = reinterpret_cast<LRESULT>(brush_->Handle());
}

// The window shows its own text: the base control's repaint is not needed.
void TWinControl::CMTextChanged(TMessage&) {}

void TWinControl::CMCtl3DChanged(TMessage&) {
  for (TControl* c : controls_) {
    if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->parentCtl3D_) {
      wc->ctl3D_ = ctl3D_;
      wc->Perform(CM_CTL3DCHANGED, 0, 0);
    }
  }
}

void TWinControl::CMShowHintChanged(TMessage&) {
  for (TControl* c : controls_) c->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TWinControl::CMOfferDialogKey(TMessage& M) {
  // Offered to every child until one takes it.
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->Perform(M.Msg, M.WParam, M.LParam) != 0) {
      M.Result = 1;
      return;
    }
  }
}

void TWinControl::WMSystemChange(TMessage& M) {
  DefaultHandler(M);
  const UINT notice = M.Msg == WM_WININICHANGE     ? CM_WININICHANGE
                      : M.Msg == WM_SYSCOLORCHANGE ? CM_SYSCOLORCHANGE
                      : M.Msg == WM_FONTCHANGE     ? CM_FONTCHANGE
                                                   : CM_TIMECHANGE;
  Perform(notice, M.WParam, M.LParam);
}

void TWinControl::CMSystemChange(TMessage& M) {
  // System changes reach every control.
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->Perform(M.Msg, M.WParam, M.LParam);
  }
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
  RegisterWindowControl(hwnd, c);
  ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(c->objectInstance_));
  return ::CallWindowProcA(c->objectInstance_, hwnd, msg, wp, lp);
}
