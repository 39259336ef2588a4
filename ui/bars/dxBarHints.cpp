#include "dxBarHints.h"

#include "ScopeGuard.h"
#include "WinApi.h"
#include "dxBarSubMenu.h"

namespace {

constexpr UINT ReshowTime = 400;
// The hint goes this far below the cursor (and above it when flipped).
constexpr Integer HintCursorOffset = 20;

TPoint CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

// One hint request at a time for every manager of the process.
struct THintState {
  bool Active = false;
  String Text;
  bool Shown = false;
  TdxBarManager* TimerManager = nullptr;
  UINT_PTR Timer = 0;
  bool TimerHides = false;
  UINT_PTR Reshow = 0;
  bool QuickReshow = false;
  // The item control asking, through a weak link: it may go first.
  TcxObjectLink* Object = nullptr;
  TdxBarHintWindow* Window = nullptr;
  TdxBarManagerProc PreviousUnregister = nullptr;
};
THintState gHint;

void SetObject(TdxBarItemControl* AObject) {
  if (gHint.Object) cxRemoveObjectLink(gHint.Object);
  gHint.Object = AObject ? cxAddObjectLink(AObject) : nullptr;
}

TdxBarItemControl* Object() {
  return gHint.Object ? static_cast<TdxBarItemControl*>(gHint.Object->Target)
                      : nullptr;
}

void KillHintTimer() {
  if (gHint.Timer) dxKillTimer(nullptr, gHint.Timer);
  gHint.Timer = 0;
}

void KillReshowTimer() {
  if (gHint.Reshow) dxKillTimer(nullptr, gHint.Reshow);
  gHint.Reshow = 0;
}

void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  dxBarFireHintTimer();
}

void CALLBACK ReshowTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  dxBarFireReshowTimer();
}

void StartHintTimer(TdxBarManager* AManager, UINT ATime, bool AHides) {
  KillHintTimer();
  gHint.TimerManager = AManager;
  gHint.TimerHides = AHides;
  gHint.Timer = ::SetTimer(nullptr, 0, ATime, &HintTimerProc);
}

TdxBarHintWindow* Window() {
  if (!gHint.Window) gHint.Window = new TdxBarHintWindow(nullptr);
  return gHint.Window;
}

void DoActivateHint(TdxBarManager* AManager, bool AShow, const String& AText,
                    TdxBarItemControl* AObject);

void DisplayHint(TdxBarManager* AManager) {
  bool shown = false;
  if (!gHint.Text.empty()) {
    shown = Window()->ActivateHint(AManager, gHint.Text, String());
  } else if (TdxBarItemControl* control = Object()) {
    bool suppressed = false;
    String hint, shortCut;
    if (control->DoHint(suppressed, hint, shortCut) &&
        (control->GetEnabled() || AManager->ShowHintForDisabledItems)) {
      if (!AManager->ShowShortCutInHint) shortCut.clear();
      shown = Window()->ActivateHint(AManager, hint, shortCut);
    }
  }
  if (!shown) return DoActivateHint(AManager, false, String(), nullptr);
  gHint.Shown = true;
  StartHintTimer(AManager, Window()->GetHideHintTime(), true);
}

void DoActivateHint(TdxBarManager* AManager, bool AShow, const String& AText,
                    TdxBarItemControl* AObject) {
  if (!AShow && !gHint.Active) return;
  gHint.Active = AShow;
  gHint.Text = AText;
  gHint.Shown = false;
  const bool wanted = AShow && (!AText.empty() || AObject);
  KillHintTimer();
  SetObject(AObject);
  const bool visible = gHint.Window && gHint.Window->IsShowing();
  if (wanted) {
    if (visible || gHint.QuickReshow) return DisplayHint(AManager);
    StartHintTimer(AManager, Window()->GetShowHintTime(), false);
    return;
  }
  if (!visible) return;
  gHint.Window->HideHint();
  if (!AShow) return;
  // A hint just left: the next one within the re-show time comes at once.
  KillReshowTimer();
  gHint.QuickReshow = true;
  gHint.Reshow = ::SetTimer(nullptr, 0, ReshowTime, &ReshowTimerProc);
}

void ManagerGone(TdxBarManager* AManager) {
  if (gHint.TimerManager == AManager) {
    KillHintTimer();
    gHint.TimerManager = nullptr;
    gHint.Active = false;
    SetObject(nullptr);
    if (gHint.Window) gHint.Window->HideHint();
  }
  if (gHint.PreviousUnregister) gHint.PreviousUnregister(AManager);
}

}  // namespace

// ---------------------------------------------------------------------------
// Requests and timers
// ---------------------------------------------------------------------------

void dxBarActivateHint(TdxBarManager* AManager, bool AShow, const String& AText,
                       TdxBarItemControl* AObject) {
  if (!AManager || AManager->IsCustomizing() || !AManager->ShowHint) return;
  DoActivateHint(AManager, AShow, AText, AObject);
}

TdxBarHintWindow* dxBarHintWindow() { return gHint.Window; }
bool dxBarHintActive() { return gHint.Active; }
bool dxBarHintTimerRunning() { return gHint.Timer != 0; }
bool dxBarQuickReshow() { return gHint.QuickReshow; }

void dxBarFireHintTimer() {
  TdxBarManager* manager = gHint.TimerManager;
  const bool hides = gHint.TimerHides;
  KillHintTimer();
  if (!manager || manager->ComponentState().Contains(csDestroying)) return;
  if (hides) {
    dxBarActivateHint(manager, false, String(), nullptr);
  } else {
    DisplayHint(manager);
  }
}

void dxBarFireReshowTimer() {
  KillReshowTimer();
  gHint.QuickReshow = false;
}

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

TdxBarHintViewInfo::TdxBarHintViewInfo(TdxBarManager* ABarManager,
                                       const String& AHint,
                                       const String& AShortCut,
                                       TPoint ACursorPos)
    : barManager_(ABarManager),
      text_(AHint.empty() ? String() : AHint + AShortCut),
      cursorPos_(ACursorPos) {}

void TdxBarHintViewInfo::Calculate(TcxCanvas* ACanvas) {
  if (text_.empty()) {
    bounds_ = {};
    return;
  }
  const TRect area = dxBarGetWorkArea(cursorPos_);
  RECT r{0, 0, area.Width(), 0};
  ::DrawTextA(ACanvas->Handle(), text_.c_str(), -1, &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  bounds_ = {0, 0, r.right + 6, r.bottom + 6};
}

TRect TdxBarHintViewInfo::GetTextRect() const {
  return {bounds_.Left + 3, bounds_.Top + 3, bounds_.Right - 1,
          bounds_.Bottom - 1};
}

void TdxBarHintViewInfo::Paint(TcxCanvas* ACanvas) {
  HDC dc = ACanvas->Handle();
  RECT r = dxRECT(bounds_);
  ::DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  RECT text = dxRECT(GetTextRect());
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, text_.c_str(), -1, &text,
              DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
}

TPoint dxBarCorrectHintPos(TPoint P, TSize ASize, const TRect& AWorkArea) {
  if (P.X + ASize.cx > AWorkArea.Right) P.X = AWorkArea.Right - ASize.cx;
  if (P.Y + ASize.cy > AWorkArea.Bottom)
    P.Y = P.Y - ASize.cy - HintCursorOffset;
  P.X = std::max<Integer>(P.X, AWorkArea.Left);
  P.Y = std::max<Integer>(P.Y, AWorkArea.Top);
  return P;
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

TdxBarHintWindow::TdxBarHintWindow(TComponent* AOwner)
    : TCustomControl(AOwner) {
  SetVisible(false);
  SetColor(clInfoBk);
}

TdxBarHintWindow::~TdxBarHintWindow() {
  if (gHint.Window == this) gHint.Window = nullptr;
}

void TdxBarHintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_DISABLED;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style = CS_SAVEBITS;
  Params.WndParent = nullptr;
}

bool TdxBarHintWindow::IsShowing() const {
  return const_cast<TdxBarHintWindow*>(this)->HandleAllocated() &&
         ::IsWindowVisible(const_cast<TdxBarHintWindow*>(this)->Handle());
}

bool TdxBarHintWindow::ActivateHint(TdxBarManager* AManager,
                                    const String& AHint,
                                    const String& AShortCut) {
  const TPoint cursor = CursorPos();
  TdxBarPainter* painter = AManager ? AManager->Painter() : nullptr;
  if (painter)
    viewInfo_ =
        painter->CreateHintViewInfo(AManager, AHint, AShortCut, nullptr);
  else
    viewInfo_.reset(new TdxBarHintViewInfo(AManager, AHint, AShortCut, cursor));
  if (AManager) Font()->Assign(AManager->Font());
  Font()->SetColor(clInfoText);
  HandleNeeded();
  ::SetWindowTextA(Handle(), viewInfo_->Text().c_str());
  Canvas()->Font()->Assign(Font());
  {
    TcxCanvas canvas(Canvas());
    viewInfo_->Calculate(&canvas);
  }
  const TRect b = viewInfo_->Bounds();
  if (b.Width() == 0 && b.Height() == 0) return false;
  const TPoint wanted = painter ? painter->GetBarItemContolHintPosition(
                                      nullptr, TRect{}, cursor, 0)
                                : TPoint{cursor.X, cursor.Y + HintCursorOffset};
  const TPoint p = dxBarCorrectHintPos(wanted, {b.Width(), b.Height()},
                                       dxBarGetWorkArea(wanted));
  SetBounds(p.X, p.Y, b.Width(), b.Height());
  ::SetWindowPos(Handle(), HWND_TOPMOST, p.X, p.Y, b.Width(), b.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::InvalidateRect(Handle(), nullptr, TRUE);
  return true;
}

void TdxBarHintWindow::HideHint() {
  if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
  viewInfo_.reset();
}

void TdxBarHintWindow::Paint() {
  if (!viewInfo_) return;
  TcxCanvas canvas(Canvas());
  dxBarStandardPaint::FillBackground(Canvas()->Handle(), ClientRect(),
                                     clInfoBk);
  ::SetTextColor(Canvas()->Handle(), ColorToRGB(clInfoText));
  viewInfo_->Paint(&canvas);
}

void TdxBarHintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

namespace {

void HintsStartup() {
  gHint.PreviousUnregister = FOnUnregisterBarManager;
  FOnUnregisterBarManager = &ManagerGone;
}

void HintsShutdown() {
  KillHintTimer();
  KillReshowTimer();
  SetObject(nullptr);
  FOnUnregisterBarManager = gHint.PreviousUnregister;
  TdxBarHintWindow* window = gHint.Window;
  gHint.Window = nullptr;
  Free(window);
}

}  // namespace

VARNEL_UNIT(dxBarHints, ({"dxBar", "dxBarControls"}), &HintsStartup,
            &HintsShutdown);
