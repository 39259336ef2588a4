// Mouse, keyboard and window routines, drag detection, popup menus, mouse
// tracking, the settings controller and the companion classes of the
// control base.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "ScopeGuard.h"
#include "cxControls.h"
#include "cxControlsPrivate.h"

TcxGetParentFormForDocking cxGetParentFormForDocking = nullptr;
TcxGetParentWndForDocking cxGetParentWndForDocking = nullptr;

namespace {

TDragObject* CurrentDragObject = nullptr;
Integer HourglassCount = 0;
TCursor HourglassPrevCursor = crDefault;

bool KeyDown(int AKey) { return ::GetAsyncKeyState(AKey) < 0; }

}  // namespace

namespace cxcontrols_detail {
void SetCurrentDragObject(TDragObject* Value) { CurrentDragObject = Value; }
}  // namespace cxcontrols_detail

// ---------------------------------------------------------------------------
// Routines
// ---------------------------------------------------------------------------

bool CanAllocateHandle(TControl* AControl) {
  auto* wc = dynamic_cast<TWinControl*>(AControl);
  if (wc && (wc->HandleAllocated() || wc->ParentWindow() != nullptr))
    return true;
  return AControl && AControl->Parent() &&
         CanAllocateHandle(AControl->Parent());
}

TcxDragDetect DragDetect(HWND Wnd) {
  const Integer threshold = Mouse->DragThreshold();
  TPoint p{};
  ::GetCursorPos(reinterpret_cast<POINT*>(&p));
  const TRect area =
      Rect(p.X - threshold, p.Y - threshold, p.X + threshold, p.Y + threshold);
  ::SetCapture(Wnd);
  TScopeGuard release([Wnd] {
    if (::GetCapture() == Wnd) ::ReleaseCapture();
  });
  TcxDragDetect result = ddCancel;
  bool done = false;
  while (!done && ::GetCapture() == Wnd) {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      if (msg.message == WM_QUIT)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) done = true;
        break;
      case WM_MOUSEMOVE:
        if (msg.hwnd == Wnd) {
          POINT sp{GET_X_LPARAM_(msg.lParam), GET_Y_LPARAM_(msg.lParam)};
          ::ClientToScreen(Wnd, &sp);
          if (!PtInRect(area, TPoint{sp.x, sp.y})) {
            result = ddDrag;
            done = true;
          }
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = ddNone;
        done = true;
        break;
      default:
        break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return result;
}

Integer GetMouseKeys() {
  Integer keys = 0;
  if (KeyDown(VK_LBUTTON)) keys |= MK_LBUTTON;
  if (KeyDown(VK_RBUTTON)) keys |= MK_RBUTTON;
  if (KeyDown(VK_SHIFT)) keys |= MK_SHIFT;
  if (KeyDown(VK_CONTROL)) keys |= MK_CONTROL;
  if (KeyDown(VK_MBUTTON)) keys |= MK_MBUTTON;
  return keys;
}

Integer ShiftStateToKeys(TShiftState Shift) {
  Integer keys = 0;
  if (Shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

Integer GetDblClickInterval() {
  return static_cast<Integer>(::GetDoubleClickTime());
}

TPoint GetMouseCursorPos() {
  POINT p;
  if (!::GetCursorPos(&p)) return cxInvalidPoint;
  return TPoint{p.x, p.y};
}

bool IsCtrlPressed() { return KeyDown(VK_CONTROL); }

bool IsMouseDownMessage(UINT AMessage) {
  switch (AMessage) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool IsPointInDragDetectArea(const TPoint& AMouseDownPos, Integer X,
                             Integer Y) {
  const Integer threshold = Mouse->DragThreshold();
  return std::abs(X - AMouseDownPos.X) < threshold &&
         std::abs(Y - AMouseDownPos.Y) < threshold;
}

bool IsNumericChar(char C, TcxNumberType AType) {
  if ((C >= '0' && C <= '9') || C == '+' || C == '-') return true;
  if (AType != ntInteger && C == DecimalSeparator) return true;
  return AType == ntExponent && (C == 'e' || C == 'E');
}

bool IsTextChar(char C) { return static_cast<unsigned char>(C) >= 32; }

Word TranslateKey(Word Key) { return Key; }

Word GET_APPCOMMAND_LPARAM(LPARAM lParam) {
  return static_cast<Word>(HIWORD(static_cast<DWORD_PTR>(lParam)) & ~0xF000);
}

bool IsChildClassWindow(HWND AWnd) {
  return (::GetWindowLongA(AWnd, GWL_STYLE) & WS_CHILD) != 0;
}

bool IsChildEx(HWND AParentWnd, HWND AWnd) {
  return AParentWnd != nullptr &&
         (AParentWnd == AWnd || ::IsChild(AParentWnd, AWnd));
}

bool IsOwner(HWND AOwnerWnd, HWND AWnd) {
  if (AOwnerWnd == nullptr) return false;
  for (HWND h = ::GetParent(AWnd); h; h = ::GetParent(h))
    if (h == AOwnerWnd) return true;
  return false;
}

bool IsOwnerEx(HWND AOwnerWnd, HWND AWnd) {
  return AOwnerWnd != nullptr &&
         (AOwnerWnd == AWnd || IsOwner(AOwnerWnd, AWnd));
}

void MapWindowPoint(HWND AFrom, HWND ATo, TPoint& P) {
  ::MapWindowPoints(AFrom, ATo, reinterpret_cast<POINT*>(&P), 1);
}

void MapWindowRect(HWND AFrom, HWND ATo, TRect& R) {
  TPoint a = R.TopLeft(), b = R.BottomRight();
  MapWindowPoint(AFrom, ATo, a);
  MapWindowPoint(AFrom, ATo, b);
  R = Rect(a, b);
}

void RecreateControlWnd(TWinControl* AControl) {
  if (AControl && AControl->HandleAllocated())
    AControl->Perform(CM_RECREATEWND, 0, 0);
}

String RemoveAccelChars(const String& S) {
  String result;
  result.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] != '&') {
      result += S[i];
    } else if (i + 1 < S.size()) {
      result += S[++i];
    } else {
      result += '_';
    }
  }
  return result;
}

void SetDesignerModified(TComponent*) {
  // The program has no form designer: nothing to tell.
}

void DialogApplyFont(TCustomForm* AForm, TFont* AFont) {
  const Integer before = AForm->Canvas()->TextHeight("Qq");
  AForm->Font()->Assign(AFont);
  const Integer after = AForm->Canvas()->TextHeight("Qq");
  if (before <= 0 || before == after) return;
  for (Integer i = 0; i < AForm->ControlCount(); ++i)
    AForm->Controls(i)->ChangeScale(after, before);
  AForm->SetClientWidth(MulDiv(AForm->ClientWidth(), after, before));
  AForm->SetClientHeight(MulDiv(AForm->ClientHeight(), after, before));
}

TcxPosition GetPointPosition(const TRect& R, const TPoint& P,
                             bool AHorzSeparation, bool AVertSeparation) {
  auto side = [&P](TPoint a, TPoint b) {
    return (P.X - a.X) * (b.Y - a.Y) - (P.Y - a.Y) * (b.X - a.X);
  };
  if (AHorzSeparation && AVertSeparation) {
    const Integer s1 = side(TPoint{R.Left, R.Bottom}, TPoint{R.Right, R.Top});
    const Integer s2 = side(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
    if (s1 < 0 && s2 < 0) return posBottom;
    if (s1 < 0) return posRight;
    if (s2 < 0) return posLeft;
    return posTop;
  }
  if (AHorzSeparation)
    return P.X < GetRangeCenter(R.Left, R.Right) ? posLeft : posRight;
  if (AVertSeparation)
    return P.Y < GetRangeCenter(R.Top, R.Bottom) ? posTop : posBottom;
  return posNone;
}

TDragObject* GetDragObject() { return CurrentDragObject; }

// ---------------------------------------------------------------------------
// Popup menus
// ---------------------------------------------------------------------------

bool ShowPopupMenu(TComponent* ACaller, TComponent* AComponent, Integer X,
                   Integer Y) {
  if (!AComponent) return false;
  if (auto menu = TIntfPtr<IcxPopupMenu>::Query(AComponent)) {
    menu->Popup(X, Y);
    return true;
  }
  if (auto* popup = dynamic_cast<TPopupMenu*>(AComponent)) {
    if (!popup->AutoPopup()) return false;
    popup->SetPopupComponent(ACaller);
    popup->Popup(X, Y);
    return true;
  }
  return false;
}

bool ShowPopupMenuFromCursorPos(TComponent* ACaller, TComponent* AComponent) {
  const TPoint p = GetMouseCursorPos();
  return ShowPopupMenu(ACaller, AComponent, p.X, p.Y);
}

bool IsPopupMenuShortCut(TComponent* AComponent, TMessage& Message) {
  if (!AComponent) return false;
  if (auto menu = TIntfPtr<IcxPopupMenu>::Query(AComponent))
    return menu->IsShortCut(Message);
  if (auto* popup = dynamic_cast<TPopupMenu*>(AComponent))
    return popup->WindowHandle() != nullptr && popup->IsShortCut(Message);
  return false;
}

Integer GetPopupMenuHeight(TPopupMenu* APopupMenu) {
  TcxScreenCanvas canvas;
  canvas.Font()->Assign(Screen->MenuFont());
  Integer total = 0;
  TMenuItem* items = APopupMenu->Items();
  for (Integer i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (!item->Visible()) continue;
    Integer height = canvas.TextHeight("Qg") + 4;
    if (APopupMenu->OwnerDraw() || APopupMenu->Images() != nullptr ||
        item->HasBitmap()) {
      Integer width = 0;
      item->MeasureItem(canvas.Canvas(), width, height);
    }
    total += height;
  }
  return total + 4;
}

// ---------------------------------------------------------------------------
// Mouse tracking
// ---------------------------------------------------------------------------

namespace {

class TMouseTrackingTimer : public TcxTimer {
 public:
  TMouseTrackingTimer(TWinControl* AControl, const TRect& ABounds,
                      IcxMouseTrackingCaller* ACaller)
      : TcxTimer(nullptr), Control(AControl), Bounds(ABounds), Caller(ACaller) {
    SetInterval(10);
    SetOnTimer(TNotifyEvent(this, &TMouseTrackingTimer::Tick));
  }
  void Tick(TObject*);
  TWinControl* Control;
  TRect Bounds;
  TIntfPtr<IcxMouseTrackingCaller> Caller;
};

std::unique_ptr<std::vector<std::unique_ptr<TMouseTrackingTimer>>> TrackingList;

TMouseTrackingTimer* FindTracker(IcxMouseTrackingCaller* ACaller) {
  if (!TrackingList) return nullptr;
  for (auto& t : *TrackingList)
    if (t->Caller.get() == ACaller) return t.get();
  return nullptr;
}

void TMouseTrackingTimer::Tick(TObject*) {
  const TPoint cursor = GetMouseCursorPos();
  bool inside;
  auto caller2 = TIntfPtr<IcxMouseTrackingCaller2>::Query(Caller.get());
  if (caller2) {
    inside = Control && Control->HandleAllocated() &&
             caller2->PtInCaller(Control->ScreenToClient(cursor));
  } else {
    inside = PtInRect(Bounds, cursor);
  }
  if (inside) return;
  // Ending the tracking frees this timer, and the control's own mouse-leave
  // handling may end it: from here on only locals are used.
  TIntfPtr<IcxMouseTrackingCaller> caller = Caller;
  TWinControl* control = Control;
  if (control && control->HandleAllocated() &&
      !PtInRect(control->ClientRect(), control->ScreenToClient(cursor)))
    control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  if (!IsMouseTracking(caller.get())) return;
  caller->MouseLeave();
  EndMouseTracking(caller.get());
}

}  // namespace

void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds,
                        IcxMouseTrackingCaller* ACaller) {
  if (cxcontrols_detail::Finalizing || !ACaller || IsMouseTracking(ACaller))
    return;
  TRect bounds = ABounds;
  if (AControl)
    bounds = Rect(AControl->ClientToScreen(ABounds.TopLeft()),
                  AControl->ClientToScreen(ABounds.BottomRight()));
  if (!TrackingList)
    TrackingList =
        std::make_unique<std::vector<std::unique_ptr<TMouseTrackingTimer>>>();
  TrackingList->push_back(
      std::make_unique<TMouseTrackingTimer>(AControl, bounds, ACaller));
}

void EndMouseTracking(IcxMouseTrackingCaller* ACaller) {
  if (!TrackingList) return;
  auto& list = *TrackingList;
  auto it = std::find_if(list.begin(), list.end(), [ACaller](auto& t) {
    return t->Caller.get() == ACaller;
  });
  if (it == list.end()) return;
  std::unique_ptr<TMouseTrackingTimer> timer = std::move(*it);
  list.erase(it);
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller) {
  return !cxcontrols_detail::Finalizing && FindTracker(ACaller) != nullptr;
}

Integer MouseTrackingCount() {
  return TrackingList ? static_cast<Integer>(TrackingList->size()) : 0;
}

bool FreeMouseTrackingList() {
  const bool leaked = TrackingList && !TrackingList->empty();
  if (leaked) ::OutputDebugStringA("MouseTrackingTimerList.Count <> 0");
  TrackingList.reset();
  return !leaked;
}

// ---------------------------------------------------------------------------
// Hourglass
// ---------------------------------------------------------------------------

void ShowHourglassCursor() {
  if (HourglassCount == 0) {
    HourglassPrevCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
  }
  ++HourglassCount;
}

void HideHourglassCursor() {
  if (HourglassCount == 0) return;
  if (--HourglassCount == 0) Screen->SetCursor(HourglassPrevCursor);
}

// ---------------------------------------------------------------------------
// Settings controller
// ---------------------------------------------------------------------------

namespace {
std::unique_ptr<TcxSettingsController> SettingsController;
}

namespace cxcontrols_detail {
void FreeSettingsController() { SettingsController.reset(); }
}  // namespace cxcontrols_detail

TcxSettingsController* cxSettingsController() {
  if (!SettingsController && !cxcontrols_detail::Finalizing)
    SettingsController = std::make_unique<TcxSettingsController>();
  return SettingsController.get();
}

TcxSettingsController::TcxSettingsController() = default;

TcxSettingsController::~TcxSettingsController() {
  if (window_) DeallocateHWnd(window_);
}

void TcxSettingsController::AddListener(TWinControl* AControl) {
  if (std::find(listeners_.begin(), listeners_.end(), AControl) !=
      listeners_.end())
    return;
  listeners_.push_back(AControl);
  if (!window_)
    window_ =
        AllocateHWnd(TWndMethod(this, &TcxSettingsController::MainWndProc));
}

void TcxSettingsController::RemoveListener(TWinControl* AControl) {
  std::erase(listeners_, AControl);
  if (listeners_.empty() && window_) {
    DeallocateHWnd(window_);
    window_ = nullptr;
  }
}

void TcxSettingsController::MainWndProc(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE &&
      Message.WParam == SPI_SETNONCLIENTMETRICS) {
    try {
      for (TWinControl* control : std::vector<TWinControl*>(listeners_))
        if (control->HandleAllocated())
          ::SendNotifyMessageA(control->Handle(), CM_NCSIZECHANGED, 0, 0);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
    Message.Result = 0;
    return;
  }
  Message.Result =
      ::DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------
// TcxDragAndDropObject
// ---------------------------------------------------------------------------

TcxDragAndDropObject::TcxDragAndDropObject(TComponent* AControl)
    : control_(dynamic_cast<TcxControl*>(AControl)),
      canvas_(control_ ? control_->Canvas() : nullptr) {}

void TcxDragAndDropObject::SetDirty(bool Value) {
  if (dirty_ == Value) return;
  dirty_ = Value;
  DirtyChanged();
}

void TcxDragAndDropObject::ChangeMousePos(const TPoint& P) {
  prevMousePos_ = curMousePos_;
  curMousePos_ = P;
}

void TcxDragAndDropObject::DoBeginDragAndDrop() {
  curMousePos_ = control_->ScreenToClient(GetMouseCursorPos());
  prevMousePos_ = curMousePos_;
  BeginDragAndDrop();
}

void TcxDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& Accepted) {
  ChangeMousePos(P);
  DragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  EndDragAndDrop(Accepted);
  AfterDragAndDrop(Accepted);
}

TCursor TcxDragAndDropObject::GetDragAndDropCursor(bool Accepted) {
  return Accepted ? crDrag : crNoDrop;
}

void TcxDragAndDropObject::DragAndDrop(const TPoint&, bool& Accepted) {
  SetDirty(false);
  Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

// ---------------------------------------------------------------------------
// TcxDragControlObject
// ---------------------------------------------------------------------------

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, Integer X,
                                            Integer Y) {
  auto* control = dynamic_cast<TcxControl*>(Control());
  if (Accepted && control && control->GetIsCopyDragDrop()) return crDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

void TcxDragControlObject::Finished(TObject* Target, Integer X, Integer Y,
                                    bool Accepted) {
  TDragControlObject::Finished(Target, X, Y, Accepted);
  // The drag machinery frees the object (it is made AutoFree) next.
  if (CurrentDragObject == this) CurrentDragObject = nullptr;
}

// ---------------------------------------------------------------------------
// TcxControlScrollBar and TcxSizeGrip
// ---------------------------------------------------------------------------

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner)
    : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Exclude(csFramed);
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetTabStop(false);
  SetVisible(false);
}

void TcxControlScrollBar::ApplyData() {
  if (data_.Visible) {
    SetScrollParams(data_.Min, data_.Max, data_.Position, data_.PageSize, true);
    SetSmallChange(data_.SmallChange);
    SetLargeChange(data_.LargeChange);
  }
  SetEnabled(data_.Enabled);
  if (Visible() != data_.Visible) SetVisible(data_.Visible);
}

void TcxControlScrollBar::FocusParent() {
  TWinControl* parent = Parent();
  if (!parent) return;
  bool focus;
  if (auto* control = dynamic_cast<TcxControl*>(parent))
    focus = control->FocusWhenChildIsClicked(this);
  else
    focus = parent->CanFocus();
  if (focus && parent->HandleAllocated())
    ::PostMessageA(parent->Handle(), WM_SETFOCUS,
                   reinterpret_cast<WPARAM>(::GetFocus()), 0);
}

void TcxControlScrollBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) FocusParent();
  TcxScrollBar::WndProc(Message);
}

void TcxControlScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;
    return;
  }
  TcxScrollBar::Dispatch(Message);
}

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  TControlStyle style = ControlStyle();
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TcxSizeGrip::LookAndFeelChanged);
}

TcxSizeGrip::~TcxSizeGrip() { lookAndFeel_.reset(); }

void TcxSizeGrip::Paint() {
  TcxCanvas canvas(Canvas());
  canvas.FillRect(ClientRect(),
                  lookAndFeel_->GetPainter()->DefaultSizeGripAreaColor());
}

// ---------------------------------------------------------------------------
// TcxControlChildComponent
// ---------------------------------------------------------------------------

TcxControlChildComponent::TcxControlChildComponent(TComponent* AOwner)
    : TcxComponent(AOwner) {
  Initialize();
}

TcxControlChildComponent::TcxControlChildComponent(TcxControl* AControl,
                                                   bool AAssignOwner)
    : TcxControlChildComponent(AAssignOwner && AControl ? AControl->Owner()
                                                        : nullptr) {
  SetControl(AControl);
}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (control_) control_->RemoveChildComponent(this);
}

bool TcxControlChildComponent::GetIsDestroying() {
  return ComponentState().Contains(csDestroying);
}

bool TcxControlChildComponent::GetIsLoading() const {
  return ComponentState().Contains(csLoading);
}

TComponent* TcxControlChildComponent::GetParentComponent() { return control_; }

void TcxControlChildComponent::SetParentComponent(TComponent* Value) {
  TcxComponent::SetParentComponent(Value);
  if (auto* control = dynamic_cast<TcxControl*>(Value))
    control->AddChildComponent(this);
}
