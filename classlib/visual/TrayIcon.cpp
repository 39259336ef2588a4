#include "TrayIcon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "Forms.h"
#include "TypInfo.h"

namespace {

template <size_t N>
void CopyText(char (&Dest)[N], const String& Text) {
  const size_t n = std::min(Text.size(), N - 1);
  std::memcpy(Dest, Text.data(), n);
  Dest[n] = '\0';
}

}  // namespace

TTrayIcon::TTrayIcon(TComponent* AOwner)
    : TComponent(AOwner), icon_(std::make_unique<TIcon>()) {
  icon_->OnChange = TNotifyEvent(this, &TTrayIcon::IconChanged);
  taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
  if (!ComponentState().Contains(csDesigning)) {
    window_ = AllocateHWnd(TWndMethod(this, &TTrayIcon::WndProc));
  }
}

TTrayIcon::~TTrayIcon() {
  RemoveIcon();
  SetPopupMenu(nullptr);
  if (window_) DeallocateHWnd(window_);
  window_ = nullptr;
}

void TTrayIcon::FillData(NOTIFYICONDATAA& Data, UINT Flags) const {
  Data = NOTIFYICONDATAA{};
  Data.cbSize = sizeof(Data);
  Data.hWnd = window_;
  Data.uID = IconId;
  Data.uFlags = Flags;
  Data.uCallbackMessage = WM_TRAYNOTIFY;
  Data.hIcon = CurrentIcon();
  CopyText(Data.szTip, hint_);
}

HICON TTrayIcon::CurrentIcon() const {
  if (!icon_->Empty()) return icon_->Handle();
  // The program's own icon, or the system's application icon.
  static HICON fallback = [] {
    HICON h = ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON");
    return h ? h : ::LoadIconA(nullptr, IDI_APPLICATION);
  }();
  return fallback;
}

bool TTrayIcon::Add() {
  if (!window_) return false;
  NOTIFYICONDATAA data;
  FillData(data, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  added_ = ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
  return added_;
}

void TTrayIcon::RemoveIcon() {
  if (!added_) return;
  NOTIFYICONDATAA data;
  FillData(data, 0);
  ::Shell_NotifyIconA(NIM_DELETE, &data);
  added_ = false;
}

void TTrayIcon::Modify(UINT Flags) {
  if (!added_) return;
  NOTIFYICONDATAA data;
  FillData(data, Flags);
  ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TTrayIcon::SetVisible(bool Value) {
  visible_ = Value;
  const TComponentState state = ComponentState();
  if (state.Contains(csDesigning) || state.Contains(csLoading)) return;
  if (Value && !added_) {
    Add();
  } else if (!Value) {
    RemoveIcon();
  }
}

void TTrayIcon::SetHint(const String& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  Modify(NIF_TIP);
}

void TTrayIcon::SetIcon(TIcon* Value) {
  icon_->Assign(Value);
  Modify(NIF_ICON);
}

void TTrayIcon::IconChanged(TObject*) { Modify(NIF_ICON); }

bool TTrayIcon::ShowBalloonHint() {
  if (!added_) return false;
  NOTIFYICONDATAA data;
  FillData(data, NIF_INFO);
  CopyText(data.szInfo, balloonHint_);
  CopyText(data.szInfoTitle, balloonTitle_);
  data.uTimeout = static_cast<UINT>(std::max<Integer>(balloonTimeout_, 0));
  static constexpr DWORD kFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING,
                                     NIIF_ERROR};
  data.dwInfoFlags = kFlags[balloonFlags_ <= bfError ? balloonFlags_ : bfNone];
  return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TTrayIcon::Loaded() {
  inherited::Loaded();
  if (visible_) SetVisible(true);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TTrayIcon::WndProc(TMessage& M) {
  if (M.Msg == WM_TRAYNOTIFY) {
    if (M.WParam == IconId) TrayMessage(static_cast<UINT>(M.LParam));
    M.Result = 0;
    return;
  }
  if (taskbarCreated_ != 0 && M.Msg == taskbarCreated_) {
    // The new taskbar knows no icons: add ours again.
    added_ = false;
    if (visible_) Add();
  }
  M.Result = ::DefWindowProcA(window_, M.Msg, M.WParam, M.LParam);
}

void TTrayIcon::TrayMessage(UINT MouseMsg) {
  POINT pt{};
  ::GetCursorPos(&pt);
  const TShiftState shift = KeyboardStateToShiftState();
  switch (MouseMsg) {
    case WM_LBUTTONDOWN:
      OnMouseDown(this, mbLeft, shift, pt.x, pt.y);
      break;
    case WM_RBUTTONDOWN:
      OnMouseDown(this, mbRight, shift, pt.x, pt.y);
      break;
    case WM_MBUTTONDOWN:
      OnMouseDown(this, mbMiddle, shift, pt.x, pt.y);
      break;
    case WM_LBUTTONUP:
      OnMouseUp(this, mbLeft, shift, pt.x, pt.y);
      Click();
      break;
    case WM_MBUTTONUP:
      OnMouseUp(this, mbMiddle, shift, pt.x, pt.y);
      break;
    case WM_LBUTTONDBLCLK:
      DblClick();
      break;
    case WM_RBUTTONUP:
      OnMouseUp(this, mbRight, shift, pt.x, pt.y);
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        // The menu closes on a click elsewhere only when its owner is the
        // foreground window; the null message afterwards lets the shell
        // see it close.
        ::SetForegroundWindow(window_);
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(pt.x, pt.y);
        ::PostMessageA(window_, WM_NULL, 0, 0);
      }
      break;
    case NIN_BALLOONUSERCLICK:
      OnBalloonClick(this);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Published properties and the unit
// ---------------------------------------------------------------------------

namespace {

void TrayIconStartup() {
  RegisterEnum<TBalloonFlags>("TBalloonFlags",
                              {"bfNone", "bfInfo", "bfWarning", "bfError"});
  TPublished<TTrayIcon>()
      .Property("BalloonHint", &TTrayIcon::BalloonHint,
                &TTrayIcon::SetBalloonHint)
      .Property("BalloonTitle", &TTrayIcon::BalloonTitle,
                &TTrayIcon::SetBalloonTitle)
      .Property("BalloonFlags", &TTrayIcon::BalloonFlags,
                &TTrayIcon::SetBalloonFlags, bfNone)
      .Property("BalloonTimeout", &TTrayIcon::BalloonTimeout,
                &TTrayIcon::SetBalloonTimeout, 10000)
      .Property("Hint", &TTrayIcon::Hint, &TTrayIcon::SetHint)
      .Property("Icon", &TTrayIcon::Icon, &TTrayIcon::SetIcon)
      .Property("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu)
      .Property("Visible", &TTrayIcon::Visible, &TTrayIcon::SetVisible, false)
      .Event("OnClick", &TTrayIcon::OnClick, &TTrayIcon::OnClick)
      .Event("OnDblClick", &TTrayIcon::OnDblClick, &TTrayIcon::OnDblClick)
      .Event("OnMouseDown", &TTrayIcon::OnMouseDown, &TTrayIcon::OnMouseDown)
      .Event("OnMouseUp", &TTrayIcon::OnMouseUp, &TTrayIcon::OnMouseUp)
      .Event("OnBalloonClick", &TTrayIcon::OnBalloonClick,
             &TTrayIcon::OnBalloonClick);
  RegisterClasses({TTrayIcon::StaticClass()});
}

}  // namespace

VARNEL_UNIT(TrayIcon, ({"Controls", "Forms", "Menus"}), &TrayIconStartup,
            nullptr);
