// The drop-down popup window and the thread hooks that close popups.
#include <algorithm>

#include "Messages.h"
#include "ScopeGuard.h"
#include "cxContainer.h"
#include "cxContainerPrivate.h"
#include "cxPopupScan.h"

bool TopMostComboBoxes = true;

namespace {

// Open popups in the order they opened: a popup is open exactly while it is
// listed here.
std::vector<TcxCustomPopupWindow*> OpenPopups;
HHOOK CallWndProcHook = nullptr;
HHOOK GetMessageHook = nullptr;
HHOOK MouseHook = nullptr;
// On while a popup is shown and while the mouse hook closes one.
bool ShowingPopup = false;
// Between the unit's start-up and its end.
bool HooksEnabled = false;
// Nesting of the call-window-procedure hook: the hook is not removed from
// inside its own call.
Integer CallWndProcDepth = 0;

bool IsOpen(TcxCustomPopupWindow* APopup) {
  return std::find(OpenPopups.begin(), OpenPopups.end(), APopup) !=
         OpenPopups.end();
}

void RemoveOpen(TcxCustomPopupWindow* APopup) {
  auto it = std::find(OpenPopups.begin(), OpenPopups.end(), APopup);
  if (it != OpenPopups.end()) OpenPopups.erase(it);
  cxcontainer_detail::UpdatePopupHooks();
}

void AddOpen(TcxCustomPopupWindow* APopup) {
  OpenPopups.push_back(APopup);
  cxcontainer_detail::UpdatePopupHooks();
}

bool IsDestroying(TComponent* AComponent) {
  return AComponent->ComponentState().Contains(csDestroying);
}

TCustomForm* OwnerForm(TcxCustomPopupWindow* APopup) {
  return APopup->OwnerControl() ? GetParentForm(APopup->OwnerControl())
                                : nullptr;
}

}  // namespace

Integer cxOpenPopupWindowCount() {
  return static_cast<Integer>(OpenPopups.size());
}

TcxCustomPopupWindow* cxOpenPopupWindow(Integer AIndex) {
  return OpenPopups.at(AIndex);
}

bool cxPopupHooksInstalled() { return GetMessageHook && MouseHook; }

bool cxPopupWindowHookInstalled() { return CallWndProcHook != nullptr; }

// ---------------------------------------------------------------------------
// TcxCustomPopupWindow
// ---------------------------------------------------------------------------

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* AOwnerControl)
    : TcxPopupWindow(AOwnerControl), ownerControl_(AOwnerControl) {
  // The owner may go first (a handler frees it while its popup closes):
  // its free notification clears the reference.
  if (ownerControl_) ownerControl_->FreeNotification(this);
  CreatePopupParts();
  SetFormStyle(fsNormal);
  SetVisible(false);
  SetKeyPreview(true);
}

void TcxCustomPopupWindow::CreatePopupParts() {
  if (style_) style_->OnChanged = nullptr;
  style_ = GetStyleClass()(this, false, nullptr, csNormal);
  style_->OnChanged =
      TNotifyEvent(this, &TcxCustomPopupWindow::PopupWindowStyleChanged);
  viewInfo_ = GetViewInfoClass()();
}

void TcxCustomPopupWindow::BeforeDestruction() {
  cxClearObjectLinks(this);
  RemoveOpen(this);
  TcxPopupWindow::BeforeDestruction();
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  cxClearObjectLinks(this);
  SetPopupMode(pmNone);
  RemoveOpen(this);
  if (ownerControl_) ownerControl_->RemoveFreeNotification(this);
  viewInfo_.reset();
  if (style_) style_->OnChanged = nullptr;
  style_.reset();
}

void TcxCustomPopupWindow::Notification(TComponent* AComponent,
                                        TOperation Operation) {
  TcxPopupWindow::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == ownerControl_) ownerControl_ = nullptr;
  if (AComponent == focusedControl_) focusedControl_ = nullptr;
}

TcxContainerStyleClass TcxCustomPopupWindow::GetStyleClass() {
  return &cxNewContainerStyle<TcxContainerStyle>;
}

TcxContainerViewInfoClass TcxCustomPopupWindow::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxContainerViewInfo>;
}

// The handlers run on copies of the events: a handler that frees the
// popup (with its owner) frees the event it runs from.
void TcxCustomPopupWindow::DoClosed() {
  const TNotifyEvent handler = OnClosed;
  handler(this);
}
void TcxCustomPopupWindow::DoClosing() {
  const TNotifyEvent handler = OnClosing;
  handler(this);
}
void TcxCustomPopupWindow::DoShowed() {
  const TNotifyEvent handler = OnShowed;
  handler(this);
}
void TcxCustomPopupWindow::DoShowing() {
  const TNotifyEvent handler = OnShowing;
  handler(this);
}

bool TcxCustomPopupWindow::IsSysKeyAccepted(Word Key) {
  return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_F4;
}

bool TcxCustomPopupWindow::NeedIgnoreMouseMessageAfterCloseUp(HWND, UINT,
                                                              TShiftState,
                                                              const TPoint&) {
  return false;
}

bool TcxCustomPopupWindow::IsVisible() { return IsOpen(this); }

bool TcxCustomPopupWindow::HasCapture() {
  return HandleAllocated() && ::GetCapture() == Handle();
}

bool TcxCustomPopupWindow::IsOwnerControlVisible() {
  return ownerControl_ && ownerControl_->HandleAllocated() &&
         ::IsWindowVisible(ownerControl_->Handle());
}

bool TcxCustomPopupWindow::GetJustClosed() {
  return std::exchange(justClosed_, false);
}

void TcxCustomPopupWindow::LockDeactivate(bool ALock) {
  if (ALock)
    ++deactivateLockCount_;
  else if (deactivateLockCount_ > 0)
    --deactivateLockCount_;
}

bool TcxCustomPopupWindow::Focused() {
  if (!IsVisible() || !captureFocus_ || !HandleAllocated()) return false;
  HWND focus = ::GetFocus();
  return focus && (focus == Handle() || IsChildWindow(this, focus));
}

TWinControl* TcxCustomPopupWindow::GetFirstFocusControl(TWinControl* AControl) {
  if (!AControl) return this;
  if (AControl->CanFocus() && AControl->TabStop()) return AControl;
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  return list.empty() ? static_cast<TWinControl*>(this) : list.front();
}

TRect TcxCustomPopupWindow::GetOwnerScreenBounds() {
  TRect r = OwnerBounds();
  if (!ownerControl_ || !ownerControl_->HandleAllocated() ||
      !(::GetWindowLongA(ownerControl_->Handle(), GWL_STYLE) & WS_CHILD) ||
      !OwnerParent())
    return r;
  const TPoint topLeft = OwnerParent()->ClientToScreen(TPoint{r.Left, r.Top});
  const TPoint bottomRight =
      OwnerParent()->ClientToScreen(TPoint{r.Right, r.Bottom});
  return TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

void TcxCustomPopupWindow::AdjustClientRect(TRect& Rect) {
  Rect = viewInfo_->ClientRect;
}

void TcxCustomPopupWindow::Paint() { viewInfo_->Paint(Canvas()); }

// --- Window creation ---------------------------------------------------------

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  TCustomForm* form = ownerControl_ ? GetParentForm(ownerControl_) : nullptr;
  if (captureFocus_) {
    if (form) Params.WndParent = form->Handle();
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
    Params.ExStyle &= ~WS_EX_TOPMOST;
    if (isTopMost_ && (!form || (::GetWindowLongA(form->Handle(), GWL_EXSTYLE) &
                                 WS_EX_TOPMOST)))
      Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    Params.Style = WS_CHILD;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Params.ExStyle &= ~WS_EX_TOPMOST;
    if (!Params.WndParent) Params.WndParent = cxMessageWindow()->Handle();
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd() {
  SetPopupParent(captureFocus_ && ownerControl_ ? GetParentForm(ownerControl_)
                                                : nullptr);
  TcxPopupWindow::CreateWnd();
  // A child-styled window of the desktop never takes activation.
  if (!captureFocus_ && HandleAllocated()) ::SetParent(Handle(), nullptr);
}

void TcxCustomPopupWindow::CreateHandle() {
  const bool listed = IsOpen(this);
  if (!listed) AddOpen(this);
  TScopeGuard unlist([this, listed] {
    if (!listed) RemoveOpen(this);
  });
  TcxPopupWindow::CreateHandle();
}

void TcxCustomPopupWindow::RecreatePopup() {
  const bool wasOpen = IsVisible();
  if (wasOpen) CloseUp();
  if (HandleAllocated()) RecreateWnd();
  if (wasOpen) Popup(focusedControl_);
}

void TcxCustomPopupWindow::SetCaptureFocus(bool Value) {
  if (captureFocus_ == Value) return;
  captureFocus_ = Value;
  RecreatePopup();
}

void TcxCustomPopupWindow::SetIsTopMost(bool Value) {
  if (isTopMost_ == Value) return;
  isTopMost_ = Value;
  RecreatePopup();
}

// --- Opening and closing -----------------------------------------------------

void TcxCustomPopupWindow::CorrectBoundsWithDesktopWorkArea(TPoint& APosition) {
  if (!AcceptsAnySize()) return;
  const TRect area = GetDesktopWorkArea(APosition);
  Integer width = Width();
  Integer height = Height();
  if (APosition.X < area.Left) {
    width -= area.Left - APosition.X;
    APosition.X = area.Left;
  }
  if (APosition.Y < area.Top) {
    height -= area.Top - APosition.Y;
    APosition.Y = area.Top;
  }
  height = std::min(height, area.Bottom - APosition.Y);
  width = std::min(width, area.Right - APosition.X);
  SetBounds(Left(), Top(), width, height);
  if (Height() != height && APosition.Y == area.Top)
    APosition.Y += height - Height();
}

void TcxCustomPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (IsVisible() || !IsOwnerControlVisible()) return;
  InitPopup();
  CalculateSize();
  TPoint p = CalculatePosition();
  CorrectBoundsWithDesktopWorkArea(p);
  {
    TRestoreOnExit showing(ShowingPopup, true);
    AddOpen(this);
    DoShowing();
    const Integer width = Width();
    const Integer height = Height();
    SetBounds(p.X, p.Y, width, height);
    Show();
    SetBounds(p.X, p.Y, width, height);
    focusedControl_ =
        captureFocus_ ? GetFirstFocusControl(AFocusedControl) : AFocusedControl;
    if (focusedControl_)
      focusedControl_->SetFocus();
    else
      SetFocus();
    TCustomForm* form = OwnerForm(this);
    bool topMost =
        !form ||
        (form->HandleAllocated() &&
         (::GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST));
    if (!captureFocus_) {
      for (Integer i = 0; Screen && i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->FormStyle() == fsStayOnTop && !f->Visible()) topMost = true;
      }
      if (TopMostComboBoxes) topMost = true;
    }
    ::SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
  SetModalResult(mrNone);
  DoShowed();
  if (captureFocus_ && modalMode_) ShowPopupLoop();
}

void TcxCustomPopupWindow::ShowPopupLoop() {
  TcxObjectLinkScope self(this);
  while (self.Alive() && IsVisible() && Application &&
         !Application->Terminated()) {
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN,
                       PM_NOREMOVE) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU ||
         msg.wParam == VK_SPACE))
      ::PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != mrNone) {
      if (CloseQuery())
        ModalCloseUp();
      else
        SetModalResult(mrNone);
      continue;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::CloseUp() {
  if (!IsVisible()) return;
  LockCMActivateMessages(true);
  TScopeGuard unlock([] { LockCMActivateMessages(false); });
  // The handlers may free the popup (with its owner): nothing of it is
  // touched once it is gone.
  TcxObjectLinkScope self(this);
  RemoveOpen(this);
  DoClosing();
  if (!self.Alive()) return;
  if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
  Hide();
  if (!self.Alive()) return;
  DoClosed();
  if (!self.Alive() || !HandleAllocated()) return;
  HWND capture = ::GetCapture();
  if (capture && (capture == Handle() || ::IsChild(Handle(), capture)))
    ::ReleaseCapture();
}

void TcxCustomPopupWindow::ClosePopup() {
  if (HandleAllocated()) ::PostMessageA(Handle(), CM_CLOSEPOPUPWINDOW, 0, 0);
}

void TcxCustomPopupWindow::Deactivate() {
  if (IsDeactivateLocked()) return;
  HWND active = ::GetActiveWindow();
  TcxObjectLinkScope self(this);
  for (Integer i = cxOpenPopupWindowCount() - 1; i >= 0; --i) {
    if (i >= cxOpenPopupWindowCount()) continue;
    TcxCustomPopupWindow* popup = cxOpenPopupWindow(i);
    if (popup->HandleAllocated() && popup->Handle() == active) break;
    if (popup->HandleAllocated() && ::IsWindowEnabled(popup->Handle()) &&
        !popup->IsDeactivateLocked())
      popup->CloseUp();
  }
  if (self.Alive() && cxOpenPopupWindowCount() > 0) CloseUp();
}

void TcxCustomPopupWindow::VisibleChanged() {
  TcxPopupWindow::VisibleChanged();
  if (!captureFocus_ || !ownerControl_ || !HandleAllocated() ||
      ::IsWindowVisible(Handle()))
    return;
  TCustomForm* form = GetParentForm(ownerControl_);
  if (form && form->HandleAllocated() && ::GetFocus() == form->Handle() &&
      ownerControl_->CanFocus() &&
      !form->ComponentState().Contains(csDesigning))
    ownerControl_->SetFocus();
}

void TcxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (IsVisible() && HasCapture() && Key == VK_ESCAPE) {
    ::ReleaseCapture();
    Key = 0;
    return;
  }
  TWinControl::KeyDown(Key, Shift);
}

void TcxCustomPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CLOSEPOPUPWINDOW: {
      TcxObjectLinkScope self(this);
      LockDeactivate(true);
      CloseUp();
      if (!self.Alive()) return;
      LockDeactivate(false);
      if (ownerControl_ && ownerControl_->HandleAllocated())
        ::SendMessageA(ownerControl_->Handle(), WM_SETFOCUS, 0, 0);
      return;
    }
    case CM_SHOWPOPUPWINDOW:
      Popup(focusedControl_);
      return;
    case WM_ACTIVATEAPP:
      // The hooks decide what deactivating the application closes.
      Message.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (HasBackground()) break;
      Message.Result = 1;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      cxDispatchMouseEnterLeave(this, Message,
                                [&] { TcxPopupWindow::Dispatch(Message); });
      return;
    default:
      break;
  }
  TcxPopupWindow::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------

struct TcxPopupHooks {
  // The scans' view of the open popups for one mouse press or one
  // deactivation of the application.
  class TScanHost : public TcxPopupScanHost {
   public:
    HWND Wnd = nullptr;
    UINT Msg = 0;
    TPoint Pos;
    TShiftState Shift;

    static TcxCustomPopupWindow* P(TObject* APopup) {
      return static_cast<TcxCustomPopupWindow*>(APopup);
    }
    Integer PopupCount() override { return cxOpenPopupWindowCount(); }
    TObject* Popup(Integer AIndex) override {
      return cxOpenPopupWindow(AIndex);
    }
    void Close(TObject* APopup) override {
      TcxCustomPopupWindow* popup = P(APopup);
      TcxObjectLinkScope self(popup);
      TRestoreOnExit showing(ShowingPopup, true);
      popup->LockDeactivate(true);
      popup->CloseUp();
      if (self.Alive()) popup->LockDeactivate(false);
    }
    bool IsPassedOver(TObject* APopup) override {
      TcxCustomPopupWindow* popup = P(APopup);
      if (IsDestroying(popup)) return true;
      if (popup->CaptureFocus() && !popup->Active()) return true;
      return HasNativeHandle(popup, Wnd, true);
    }
    TcxPopupPressCase PressCase(TObject* APopup) override {
      TcxCustomPopupWindow* popup = P(APopup);
      TWinControl* owner = popup->OwnerControl();
      if (!owner) return ppcUnrelated;
      TCustomForm* form = GetParentForm(owner);
      auto* formPopup = dynamic_cast<TcxCustomPopupWindow*>(form);
      if (CheckParentsNativeHandle(owner, Wnd) ||
          (formPopup && !formPopup->IsVisible()))
        return ppcOwnerForm;
      if (form && form->FormStyle() == fsMDIChild && form->HandleAllocated()) {
        HWND client = ::GetParent(form->Handle());
        HWND frame = client ? ::GetParent(client) : nullptr;
        if (client && (Wnd == client ||
                       (frame && (Wnd == frame || ::IsChild(frame, Wnd)))))
          return ppcMDI;
      }
      return ppcUnrelated;
    }
    bool IsOwnerClick(TObject* APopup) override {
      TcxCustomPopupWindow* popup = P(APopup);
      TWinControl* owner = popup->OwnerControl();
      if (!owner || !owner->HandleAllocated()) return false;
      if (Wnd != owner->Handle() && !::IsChild(owner->Handle(), Wnd))
        return false;
      if (Msg != WM_LBUTTONDOWN && Msg != WM_LBUTTONDBLCLK) return false;
      const TRect r = popup->GetOwnerScreenBounds();
      return Pos.X >= r.Left && Pos.X < r.Right && Pos.Y >= r.Top &&
             Pos.Y < r.Bottom;
    }
    bool NeedIgnorePress(TObject* APopup) override {
      return P(APopup)->NeedIgnoreMouseMessageAfterCloseUp(Wnd, Msg, Shift,
                                                           Pos);
    }
    void SetJustClosed(TObject* APopup) override {
      P(APopup)->SetJustClosed(true);
    }
    bool IsOwnerGoneOrHidden(TObject* APopup) override {
      TWinControl* owner = P(APopup)->OwnerControl();
      return !owner || IsDestroying(owner) || !owner->Visible() ||
             !owner->HandleAllocated() || !::IsWindowVisible(owner->Handle());
    }
    void PostInactiveCaption(TObject* APopup) override {
      TCustomForm* form = OwnerForm(P(APopup));
      if (form && form->HandleAllocated())
        ::PostMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    }
    bool StaysOpenOnDeactivation(TObject* APopup) override {
      TcxCustomPopupWindow* popup = P(APopup);
      if (popup->CaptureFocus() && Screen && Screen->ActiveForm() == popup)
        return true;
      return popup->HandleAllocated() && !::IsWindowEnabled(popup->Handle());
    }
    TObject* FocusChangeTarget(TObject* APopup) override {
      // Containers clear their weak links when they are destroyed.
      return dynamic_cast<TcxContainer*>(P(APopup)->OwnerControl());
    }
    void FocusChanged(TObject* ATarget) override {
      auto* container = static_cast<TcxContainer*>(ATarget);
      if (!container->IsDestroying()) container->FocusChanged();
    }
  };

  // The one message being swallowed: its window's procedure is replaced by
  // a stub that puts the old one back and answers without handling it.
  static inline HWND SwallowedWnd = nullptr;
  static inline WNDPROC SwallowedProc = nullptr;

  static LRESULT CALLBACK SwallowStub(HWND AWnd, UINT, WPARAM, LPARAM) {
    if (AWnd == SwallowedWnd && SwallowedProc) {
      ::SetWindowLongPtrA(AWnd, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(SwallowedProc));
      SwallowedWnd = nullptr;
      SwallowedProc = nullptr;
    }
    return 1;
  }

  static void Swallow(HWND AWnd) {
    if (SwallowedWnd) return;
    SwallowedWnd = AWnd;
    SwallowedProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowStub)));
  }

  static bool Usable(TcxCustomPopupWindow* APopup) {
    return !IsDestroying(APopup);
  }

  static bool OwnerUsable(TcxCustomPopupWindow* APopup) {
    TWinControl* owner = APopup->OwnerControl();
    return owner && !IsDestroying(owner);
  }

  static void OnDestroy(HWND AWnd) {
    for (TcxCustomPopupWindow* popup : std::vector(OpenPopups)) {
      if (!IsOpen(popup) || !Usable(popup)) continue;
      if (popup->HandleAllocated() && popup->Handle() == AWnd) {
        popup->Close();
        return;
      }
    }
  }

  static void OnClose(HWND AWnd) {
    for (TcxCustomPopupWindow* popup : std::vector(OpenPopups)) {
      if (!IsOpen(popup) || !Usable(popup)) continue;
      if (popup->HandleAllocated() && popup->Handle() == AWnd) {
        TcxObjectLinkScope self(popup);
        if (popup->CloseQuery()) popup->CloseUp();
        if (self.Alive() && !popup->IsVisible() && popup->CaptureFocus() &&
            OwnerUsable(popup) && popup->OwnerControl()->HandleAllocated())
          if (HWND w = FindFirstNonChildParentWindow(
                  popup->OwnerControl()->Handle()))
            ::SendMessageA(w, WM_CLOSE, 0, 0);
        return;
      }
      if (!popup->CaptureFocus() && OwnerUsable(popup)) {
        TCustomForm* form = OwnerForm(popup);
        if (!form || !form->HandleAllocated() || form->Handle() == AWnd)
          popup->CloseUp();
        return;
      }
    }
  }

  static void OnHide(HWND AWnd) {
    for (Integer i = cxOpenPopupWindowCount() - 1; i >= 0; --i) {
      TcxCustomPopupWindow* popup = cxOpenPopupWindow(i);
      if (!Usable(popup) || !OwnerUsable(popup)) continue;
      TWinControl* owner = popup->OwnerControl();
      if (!owner->HandleAllocated() || owner->Handle() != AWnd) continue;
      // This popup and every later one, newest first.
      while (cxOpenPopupWindowCount() > i)
        cxOpenPopupWindow(cxOpenPopupWindowCount() - 1)->CloseUp();
      return;
    }
  }

  static void OnWindowPosChanged(HWND AWnd) {
    for (bool again = true; again;) {
      again = false;
      for (TcxCustomPopupWindow* popup : OpenPopups) {
        if (!Usable(popup) || !popup->HandleAllocated() || !OwnerUsable(popup))
          continue;
        TWinControl* owner = popup->OwnerControl();
        if (owner->HandleAllocated() && owner->Handle() == AWnd &&
            !::IsWindowVisible(AWnd)) {
          popup->CloseUp();
          again = true;
          break;
        }
      }
    }
  }

  static bool SwallowsInactiveCaption(HWND AWnd) {
    if (ShowingPopup) return true;
    for (TcxCustomPopupWindow* popup : OpenPopups) {
      if (!Usable(popup)) continue;
      TCustomForm* form = OwnerForm(popup);
      if (form && form->HandleAllocated() && form->Handle() == AWnd)
        return true;
    }
    return false;
  }

  static LRESULT CALLBACK CallWndProc(int Code, WPARAM W, LPARAM L) {
    if (Code != HC_ACTION) return ::CallNextHookEx(CallWndProcHook, Code, W, L);
    ++CallWndProcDepth;
    TScopeGuard leave([] {
      if (--CallWndProcDepth == 0) cxcontainer_detail::UpdatePopupHooks();
    });
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(L);
    if ((msg->message == CM_ACTIVATE || msg->message == CM_DEACTIVATE) &&
        cxcontainer_detail::CMActivateMessagesLockCount != 0)
      Swallow(msg->hwnd);
    else if (!OpenPopups.empty()) {
      switch (msg->message) {
        case WM_DESTROY:
          OnDestroy(msg->hwnd);
          break;
        case WM_CLOSE:
          OnClose(msg->hwnd);
          break;
        case WM_SHOWWINDOW:
          if (!msg->wParam) OnHide(msg->hwnd);
          break;
        case WM_ACTIVATEAPP:
          if (!msg->wParam) {
            TScanHost host;
            cxScanPopupsForDeactivation(host);
          }
          break;
        case WM_WINDOWPOSCHANGED:
          OnWindowPosChanged(msg->hwnd);
          break;
        case WM_NCACTIVATE:
          if (!msg->wParam && SwallowsInactiveCaption(msg->hwnd))
            Swallow(msg->hwnd);
          break;
        default:
          break;
      }
    }
    return ::CallNextHookEx(CallWndProcHook, Code, W, L);
  }

  static LRESULT CALLBACK GetMessageProc(int Code, WPARAM W, LPARAM L) {
    if (Code == HC_ACTION && W == PM_REMOVE && !OpenPopups.empty()) {
      auto* msg = reinterpret_cast<MSG*>(L);
      if (msg->message == WM_SYSKEYDOWN) {
        TcxCustomPopupWindow* newest = OpenPopups.back();
        if (!(newest->CaptureFocus() && newest->ModalMode()) &&
            !newest->IsSysKeyAccepted(static_cast<Word>(msg->wParam)))
          msg->message = WM_NULL;
      }
    }
    return ::CallNextHookEx(GetMessageHook, Code, W, L);
  }

  static LRESULT CALLBACK MouseProc(int Code, WPARAM W, LPARAM L) {
    if (Code == HC_ACTION && IsMouseDownMessage(static_cast<UINT>(W)) &&
        !OpenPopups.empty()) {
      const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(L);
      TScanHost host;
      host.Wnd = info->hwnd;
      host.Msg = static_cast<UINT>(W);
      host.Pos = TPoint{info->pt.x, info->pt.y};
      host.Shift = InternalGetShiftState();
      if (!cxScanPopupsForPress(host)) return 1;
    }
    return ::CallNextHookEx(MouseHook, Code, W, L);
  }
};

namespace cxcontainer_detail {

void InstallPopupHooks() {
  const DWORD thread = ::GetCurrentThreadId();
  HooksEnabled = true;
  GetMessageHook = ::SetWindowsHookExA(
      WH_GETMESSAGE, &TcxPopupHooks::GetMessageProc, nullptr, thread);
  MouseHook =
      ::SetWindowsHookExA(WH_MOUSE, &TcxPopupHooks::MouseProc, nullptr, thread);
  UpdatePopupHooks();
}

// The call-window-procedure hook sees every message sent to a window of the
// thread, and each costs a round trip through the hook chain: it is in place
// only while it has something to watch.
void UpdatePopupHooks() {
  const bool needed =
      HooksEnabled && (!OpenPopups.empty() || CMActivateMessagesLockCount != 0);
  if (needed && !CallWndProcHook) {
    CallWndProcHook =
        ::SetWindowsHookExA(WH_CALLWNDPROC, &TcxPopupHooks::CallWndProc,
                            nullptr, ::GetCurrentThreadId());
  } else if (!needed && CallWndProcHook && CallWndProcDepth == 0) {
    ::UnhookWindowsHookEx(CallWndProcHook);
    CallWndProcHook = nullptr;
  }
}

void RemovePopupHooks() {
  HooksEnabled = false;
  for (HHOOK* hook : {&MouseHook, &GetMessageHook, &CallWndProcHook}) {
    if (*hook) ::UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  OpenPopups.clear();
  OpenPopups.shrink_to_fit();
}

}  // namespace cxcontainer_detail
