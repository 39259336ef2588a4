// The shared timer window, popup forms, drag images and the customization
// list box of the control unit.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxControls.h"
#include "cxControlsPrivate.h"

// ---------------------------------------------------------------------------
// Message window and timers
// ---------------------------------------------------------------------------

namespace {

class TcxTimerWindow : public TcxMessageWindow {
 protected:
  void WndProc(TMessage& Message) override;
};

std::unique_ptr<TcxMessageWindow> MessageWindow;
std::unique_ptr<TcxTimerWindow> TimerWindow;
std::unique_ptr<std::vector<TcxTimer*>> RunningTimers;

TcxTimerWindow* GetTimerWindow() {
  if (!TimerWindow && !cxcontrols_detail::Finalizing)
    TimerWindow = std::make_unique<TcxTimerWindow>();
  return TimerWindow.get();
}

std::vector<TcxTimer*>* GetRunningTimers() {
  if (!RunningTimers && !cxcontrols_detail::Finalizing)
    RunningTimers = std::make_unique<std::vector<TcxTimer*>>();
  return RunningTimers.get();
}

void TcxTimerWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    // The identifier is the timer's address; one that stopped (or is gone)
    // is no longer listed and its late message is dropped.
    if (RunningTimers) {
      auto* timer = reinterpret_cast<TcxTimer*>(Message.WParam);
      auto& list = *RunningTimers;
      if (std::find(list.begin(), list.end(), timer) != list.end())
        timer->TimeOut();
    }
    return;
  }
  TcxMessageWindow::WndProc(Message);
}

}  // namespace

namespace cxcontrols_detail {
void FreeTimerObjects() {
  TimerWindow.reset();
  RunningTimers.reset();
  MessageWindow.reset();
}
}  // namespace cxcontrols_detail

TcxMessageWindow::TcxMessageWindow() {
  handle_ = AllocateHWnd(TWndMethod(this, &TcxMessageWindow::MainWndProc));
}

TcxMessageWindow::~TcxMessageWindow() {
  if (handle_) DeallocateHWnd(handle_);
}

void TcxMessageWindow::WndProc(TMessage& Message) {
  Message.Result =
      ::DefWindowProcA(handle_, Message.Msg, Message.WParam, Message.LParam);
}

TcxMessageWindow* cxMessageWindow() {
  if (!MessageWindow && !cxcontrols_detail::Finalizing)
    MessageWindow = std::make_unique<TcxMessageWindow>();
  return MessageWindow.get();
}

Integer cxRunningTimerCount() {
  return RunningTimers ? static_cast<Integer>(RunningTimers->size()) : 0;
}

TcxTimer::TcxTimer(TComponent* AOwner)
    : TComponent(AOwner), eventId_(reinterpret_cast<UINT_PTR>(this)) {}

TcxTimer::~TcxTimer() { KillTimer(); }

void TcxTimer::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  UpdateTimer();
}

void TcxTimer::SetInterval(Cardinal Value) {
  if (Value == 0 || interval_ == Value) return;
  interval_ = Value;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& Value) {
  onTimer_ = Value;
  UpdateTimer();
}

bool TcxTimer::CanSetTimer() const {
  return enabled_ && !timerOn_ && onTimer_.Assigned();
}

void TcxTimer::UpdateTimer() {
  KillTimer();
  SetTimer();
}

void TcxTimer::SetTimer() {
  if (!CanSetTimer()) return;
  TcxTimerWindow* window = GetTimerWindow();
  if (!window) return;
  SetTimerOn(::SetTimer(window->Handle(), eventId_, interval_, nullptr) != 0);
}

void TcxTimer::KillTimer() {
  if (!timerOn_) return;
  if (TimerWindow) ::KillTimer(TimerWindow->Handle(), eventId_);
  SetTimerOn(false);
}

void TcxTimer::SetTimerOn(bool Value) {
  if (timerOn_ == Value) return;
  if (std::vector<TcxTimer*>* list = GetRunningTimers()) {
    if (Value)
      list->push_back(this);
    else
      std::erase(*list, this);
  }
  timerOn_ = Value;
}

void TcxTimer::TimeOut() { onTimer_(this); }

// ---------------------------------------------------------------------------
// TcxPopupWindow
// ---------------------------------------------------------------------------

TPoint cxCalculatePopupPosition(const TRect& AOwner, const TSize& ASize,
                                TcxPopupDirection ADirection,
                                TcxPopupAlignHorz AAlignHorz,
                                TcxPopupAlignVert AAlignVert,
                                const TRect& AArea) {
  TcxPopupAlignHorz horz = AAlignHorz;
  TcxPopupAlignVert vert = AAlignVert;
  TPoint p{};
  if (horz == pahCenter) p.X = (AOwner.Left + AOwner.Right - ASize.cx) / 2;
  if (vert == pavCenter) p.Y = (AOwner.Top + AOwner.Bottom - ASize.cy) / 2;
  auto place = [&] {
    if (ADirection == pdVertical) {
      if (horz == pahLeft) p.X = AOwner.Left;
      if (horz == pahRight) p.X = AOwner.Right - ASize.cx;
      if (vert == pavTop) p.Y = AOwner.Top - ASize.cy;
      if (vert == pavBottom) p.Y = AOwner.Bottom;
    } else {
      if (horz == pahLeft) p.X = AOwner.Left - ASize.cx;
      if (horz == pahRight) p.X = AOwner.Right;
      if (vert == pavTop) p.Y = AOwner.Top;
      if (vert == pavBottom) p.Y = AOwner.Bottom - ASize.cy;
    }
  };
  place();
  if (ADirection == pdVertical) {
    const Integer above = AOwner.Top - AArea.Top;
    const Integer below = AArea.Bottom - AOwner.Bottom;
    if (vert == pavBottom && p.Y + ASize.cy > AArea.Bottom && above > below)
      vert = pavTop;
    else if (vert == pavTop && p.Y < AArea.Top && above <= below)
      vert = pavBottom;
  } else {
    const Integer left = AOwner.Left - AArea.Left;
    const Integer right = AArea.Right - AOwner.Right;
    if (horz == pahRight && p.X + ASize.cx > AArea.Right && left > right)
      horz = pahLeft;
    else if (horz == pahLeft && p.X < AArea.Left && left <= right)
      horz = pahRight;
  }
  place();
  if (ADirection == pdVertical || horz == pahCenter) {
    if (p.X + ASize.cx > AArea.Right) p.X = AArea.Right - ASize.cx;
    if (p.X < AArea.Left) p.X = AArea.Left;
  }
  if (ADirection == pdHorizontal || vert == pavCenter) {
    if (p.Y + ASize.cy > AArea.Bottom) p.Y = AArea.Bottom - ASize.cy;
    if (p.Y < AArea.Top) p.Y = AArea.Top;
  }
  return p;
}

TcxPopupWindow::TcxPopupWindow(TComponent* AOwner) : TForm(AOwner) {
  TForm::SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  canvas_ = std::make_unique<TcxCanvas>(TForm::Canvas());
}

TcxPopupWindow::~TcxPopupWindow() = default;

void TcxPopupWindow::SetBorderSpace(Integer Value) {
  if (borderSpace_ == Value) return;
  RestoreControlsBounds();
  borderSpace_ = Value;
}

void TcxPopupWindow::SetBorderStyle(TcxPopupBorderStyle Value) {
  if (borderStyle_ == Value) return;
  RestoreControlsBounds();
  borderStyle_ = Value;
}

Integer TcxPopupWindow::GetFrameWidth(TcxBorder) {
  switch (borderStyle_) {
    case pbsUltraFlat:
    case pbsFlat:
      return 1;
    case pbs3D:
      return 2;
    default:
      return 0;
  }
}

Integer TcxPopupWindow::GetBorderWidth(TcxBorder ABorder) {
  return GetFrameWidth(ABorder) + borderSpace_;
}

Integer TcxPopupWindow::GetNCWidth() const {
  auto* self = const_cast<TcxPopupWindow*>(this);
  return self->GetBorderWidth(bLeft) + self->GetBorderWidth(bRight);
}

Integer TcxPopupWindow::GetNCHeight() const {
  auto* self = const_cast<TcxPopupWindow*>(this);
  return self->GetBorderWidth(bTop) + self->GetBorderWidth(bBottom);
}

TRect TcxPopupWindow::GetClientBounds() {
  TRect r = ClientRect();
  r.Left += GetBorderWidth(bLeft);
  r.Top += GetBorderWidth(bTop);
  r.Right -= GetBorderWidth(bRight);
  r.Bottom -= GetBorderWidth(bBottom);
  return r;
}

TRect TcxPopupWindow::GetOwnerScreenBounds() {
  if (!ownerParent_) return ownerBounds_;
  return Rect(ownerParent_->ClientToScreen(ownerBounds_.TopLeft()),
              ownerParent_->ClientToScreen(ownerBounds_.BottomRight()));
}

void TcxPopupWindow::InitPopup() {
  if (ownerParent_) Font()->Assign(ownerParent_->Font());
}

void TcxPopupWindow::CalculateSize() {
  if (!adjustable_) return;
  const Integer dx = GetBorderWidth(bLeft);
  const Integer dy = GetBorderWidth(bTop);
  Integer right = 0, bottom = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  if (ControlCount() > 0 || right > 0 || bottom > 0) {
    SetBounds(left_, top_, dx + right + GetBorderWidth(bRight),
              dy + bottom + GetBorderWidth(bBottom));
  }
}

void TcxPopupWindow::RestoreControlsBounds() {
  const Integer dx = GetBorderWidth(bLeft);
  const Integer dy = GetBorderWidth(bTop);
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
  }
}

TPoint TcxPopupWindow::CalculatePosition() {
  const TRect owner = GetOwnerScreenBounds();
  // The monitor is the one at the owner edge the popup is placed against.
  TPoint monitorPoint = cxCalculatePopupPosition(
      owner, TSize{Width(), Height()}, direction_, alignHorz_, alignVert_,
      Rect(-0x3FFFFFFF, -0x3FFFFFFF, 0x3FFFFFFF, 0x3FFFFFFF));
  if (direction_ == pdVertical) {
    if (alignVert_ != pavCenter)
      monitorPoint.Y = alignVert_ == pavTop ? owner.Top : owner.Bottom;
  } else if (alignHorz_ != pahCenter) {
    monitorPoint.X = alignHorz_ == pahLeft ? owner.Left : owner.Right;
  }
  return cxCalculatePopupPosition(owner, TSize{Width(), Height()}, direction_,
                                  alignHorz_, alignVert_,
                                  GetDesktopWorkArea(monitorPoint));
}

void TcxPopupWindow::Popup() {
  InitPopup();
  CalculateSize();
  const TPoint p = CalculatePosition();
  SetBounds(p.X, p.Y, Width(), Height());
  Show();
}

void TcxPopupWindow::CloseUp() { Hide(); }

void TcxPopupWindow::DrawFrame() {
  TRect r = Rect(0, 0, Width(), Height());
  HDC dc = canvas_->Handle();
  switch (borderStyle_) {
    case pbsUltraFlat:
      canvas_->FrameRect(r, frameColor_);
      break;
    case pbsFlat: {
      RECT rr{r.Left, r.Top, r.Right, r.Bottom};
      ::DrawEdge(dc, &rr, BDR_RAISEDINNER, BF_RECT);
      break;
    }
    case pbs3D: {
      RECT rr{r.Left, r.Top, r.Right, r.Bottom};
      ::DrawEdge(dc, &rr, BDR_RAISEDOUTER, BF_RECT);
      ::InflateRect(&rr, -1, -1);
      ::DrawEdge(dc, &rr, BDR_RAISEDINNER, BF_RECT);
      break;
    }
    default:
      break;
  }
}

void TcxPopupWindow::Paint() {
  TForm::Paint();
  DrawFrame();
}

void TcxPopupWindow::Deactivate() {
  TForm::Deactivate();
  CloseUp();
}

void TcxPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
      TForm::Dispatch(Message);
      if (LOWORD(Message.WParam) != WA_INACTIVE) {
        // The window that lost activation keeps an active caption while
        // the popup is open.
        prevActiveWindow_ = reinterpret_cast<HWND>(Message.LParam);
        if (prevActiveWindow_)
          ::SendMessageA(prevActiveWindow_, WM_NCACTIVATE, TRUE, 0);
      }
      return;
    case WM_ACTIVATEAPP:
      DefaultHandler(Message);
      if (!Message.WParam) {
        if (prevActiveWindow_)
          ::SendMessageA(prevActiveWindow_, WM_NCACTIVATE, FALSE, 0);
        CloseUp();
      }
      return;
    case CM_VISIBLECHANGED:
      TForm::Dispatch(Message);
      VisibleChanged();
      return;
    default:
      TForm::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------
// Drag images
// ---------------------------------------------------------------------------

namespace {

using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

bool HasLayeredWindows() {
  HMODULE user32 = ::GetModuleHandleA("user32.dll");
  return user32 &&
         ::GetProcAddress(user32, "SetLayeredWindowAttributes") != nullptr;
}

}  // namespace

TcxDragImage::TcxDragImage() : TcxPopupWindow(nullptr) {
  TcxPopupWindow::SetBounds(0, 0, 0, 0);
  image_ = std::make_unique<TBitmap>();
  imageCanvas_ = std::make_unique<TcxCanvas>(image_->Canvas());
  SetAlphaBlend(true);
  SetAlphaBlendValue(cxDragAndDropWindowTransparency);
}

TcxDragImage::~TcxDragImage() = default;

bool TcxDragImage::AlphaBlended() const {
  return AlphaBlend() && HasLayeredWindows();
}

void TcxDragImage::Init(const TRect& ARect, const TPoint& P) {
  SetBounds(left_, top_, ARect.Width(), ARect.Height());
  hotSpot_ = TPoint{P.X - ARect.Left, P.Y - ARect.Top};
}

void TcxDragImage::MoveTo(const TPoint& P) {
  HandleNeeded();
  SetBounds(P.X - hotSpot_.X, P.Y - hotSpot_.Y, Width(), Height());
}

void TcxDragImage::SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                             Integer AHeight) {
  TcxPopupWindow::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (image_) image_->SetSize(Width(), Height());
}

void TcxDragImage::Show() {
  ::ShowWindow(Handle(), SW_SHOWNA);
  Update();
}

void TcxDragImage::Hide() {
  if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
}

bool TcxDragImage::Visible() {
  return HandleAllocated() && ::IsWindowVisible(Handle());
}

void TcxDragImage::SetVisible(bool Value) {
  if (Value)
    Show();
  else
    Hide();
}

void TcxDragImage::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  if (Screen && Screen->ActiveForm() && Screen->ActiveForm() != this)
    Params.WndParent = Screen->ActiveForm()->Handle();
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TcxDragImage::Paint() {
  TcxPopupWindow::Paint();
  ::BitBlt(WindowCanvas()->Handle(), 0, 0, Width(), Height(),
           image_->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxDragImage::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCHITTEST:
      Message.Result = HTTRANSPARENT;
      return;
    default:
      TcxPopupWindow::Dispatch(Message);
  }
}

TcxDragAndDropArrow::TcxDragAndDropArrow(bool ATransparent)
    : transparent_(ATransparent) {
  SetAlphaBlend(false);
  if (Transparent()) {
    SetTransparentColorValue(GetImageBackColor());
    SetTransparentColor(true);
  }
}

bool TcxDragAndDropArrow::Transparent() const {
  return transparent_ && HasLayeredWindows();
}

void TcxDragAndDropArrow::Init(TControl* AOwner, const TRect& AAreaBounds,
                               const TRect& AClientRect, TcxArrowPlace APlace) {
  TRect bounds = GetDragAndDropArrowBounds(AAreaBounds, AClientRect, APlace);
  if (AOwner)
    bounds = Rect(AOwner->ClientToScreen(bounds.TopLeft()),
                  AOwner->ClientToScreen(bounds.BottomRight()));
  HandleNeeded();
  SetBoundsRect(bounds);
  const TRect client = Rect(0, 0, bounds.Width(), bounds.Height());
  Canvas()->FillRect(client, GetImageBackColor());
  DrawDragAndDropArrow(Canvas(), client, APlace);
  if (!Transparent()) {
    std::vector<TPoint> points;
    GetDragAndDropArrowPoints(client, APlace, points, true);
    TRegionHandle region(
        ::CreatePolygonRgn(reinterpret_cast<const POINT*>(points.data()),
                           static_cast<int>(points.size()), WINDING));
    // The window owns the region from here on.
    if (::SetWindowRgn(Handle(), region.get(), TRUE)) (void)region.release();
  }
}

TRect GetDragAndDropArrowBounds(const TRect& AAreaBounds,
                                const TRect& AClientRect,
                                TcxArrowPlace APlace) {
  TRect r = AAreaBounds;
  if (!IsRectEmpty(AClientRect)) {
    auto clampH = [&](Integer v) {
      return std::clamp(v, AClientRect.Left, AClientRect.Right - 1);
    };
    auto clampV = [&](Integer v) {
      return std::clamp(v, AClientRect.Top, AClientRect.Bottom - 1);
    };
    r = Rect(clampH(r.Left), clampV(r.Top), clampH(r.Right), clampV(r.Bottom));
  }
  if (APlace == apLeft || APlace == apRight) {
    r.Bottom = r.Top + 1;
    r.Top -= 5;
    r.Bottom += 5;
    if (APlace == apLeft) {
      r.Right = r.Left;
      r.Left -= 9;
    } else {
      r.Left = r.Right;
      r.Right += 9;
    }
  } else {
    r.Right = r.Left + 1;
    r.Left -= 5;
    r.Right += 5;
    if (APlace == apTop) {
      r.Bottom = r.Top;
      r.Top -= 9;
    } else {
      r.Top = r.Bottom;
      r.Bottom += 9;
    }
  }
  return r;
}

void GetDragAndDropArrowPoints(const TRect& ABounds, TcxArrowPlace APlace,
                               std::vector<TPoint>& APoints, bool AForRegion) {
  const Integer L = ABounds.Left, T = ABounds.Top, R = ABounds.Right,
                B = ABounds.Bottom, d = AForRegion ? 1 : 0;
  switch (APlace) {
    case apLeft:
      APoints = {{L + 3, T - d},    {L + 3, T + 3},     {L, T + 3},
                 {L, B + d - 4},    {L + 3, B + d - 4}, {L + 3, B + d - 1},
                 {R + d - 1, T + 5}};
      break;
    case apTop:
      APoints = {{L + 3, T},         {R + d - 4, T},     {R + d - 4, T + 3},
                 {R + d - 1, T + 3}, {L + 5, B + d - 1}, {L, T + 3},
                 {L + 3, T + 3}};
      break;
    case apRight:
      APoints = {{R + d - 4, T - d},
                 {R + d - 4, T + 3},
                 {R + d - 1, T + 3},
                 {R + d - 1, B + d - 4},
                 {R + d - 4, B + d - 4},
                 {R + d - 4, B + d - 1},
                 {L, T + 5}};
      break;
    case apBottom:
      APoints = {{L + 3, B + d - 1},     {R + d - 4, B + d - 1},
                 {R + d - 4, B + d - 4}, {R + d - 1, B + d - 4},
                 {L + 5, T - d},         {L - d, B + d - 4},
                 {L + 3, B - 4}};
      break;
  }
}

void DrawDragAndDropArrow(TcxCanvas* ACanvas, const TRect& ABounds,
                          TcxArrowPlace APlace) {
  std::vector<TPoint> points;
  GetDragAndDropArrowPoints(ABounds, APlace, points, false);
  ACanvas->Brush()->SetColor(clLime);
  ACanvas->Pen()->SetColor(clBlack);
  ACanvas->Polygon(points);
}

// ---------------------------------------------------------------------------
// TcxCustomizeListBox
// ---------------------------------------------------------------------------

TcxCustomizeListBox::TcxCustomizeListBox(TComponent* AOwner)
    : TListBox(AOwner) {}

void TcxCustomizeListBox::CreateParams(TCreateParams& Params) {
  TListBox::CreateParams(Params);
  Params.WindowClass.style |= CS_HREDRAW;
}

TObject* TcxCustomizeListBox::ItemObject() {
  const Integer i = ItemIndex();
  return i < 0 ? nullptr : Items()->Objects(i);
}

void TcxCustomizeListBox::SetItemObject(TObject* Value) {
  if (ItemObject() == Value) return;
  SetItemIndex(Items()->IndexOfObject(Value));
  Click();
}

TObject* TcxCustomizeListBox::DragAndDropItemObject() {
  return dragAndDropItemIndex_ < 0 ? nullptr
                                   : Items()->Objects(dragAndDropItemIndex_);
}

void TcxCustomizeListBox::MouseDown(TMouseButton Button, TShiftState Shift,
                                    Integer X, Integer Y) {
  TListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer item = ItemAtPos(TPoint{X, Y}, true);
  if (item >= 0 && Items()->Objects(item) != nullptr) {
    dragAndDropItemIndex_ = ItemIndex();
    mouseDownPos_ = TPoint{X, Y};
  }
}

void TcxCustomizeListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TListBox::MouseMove(Shift, X, Y);
  if (dragAndDropItemIndex_ < 0) return;
  if (!IsPointInDragDetectArea(mouseDownPos_, X, Y) ||
      ItemAtPos(TPoint{X, Y}, true) != dragAndDropItemIndex_) {
    SetItemIndex(dragAndDropItemIndex_);
    BeginDragAndDrop();
    dragAndDropItemIndex_ = -1;
  }
}

void TcxCustomizeListBox::MouseUp(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  TListBox::MouseUp(Button, Shift, X, Y);
  dragAndDropItemIndex_ = -1;
}

void TcxCustomizeListBox::BeginDragAndDrop() {
  if (!MultiSelect()) return;
  auto update =
      MakeBracket(Items(), &TStrings::BeginUpdate, &TStrings::EndUpdate);
  const Integer current = ItemIndex();
  for (Integer i = 0; i < Items()->Count(); ++i) SetSelected(i, i == current);
}

void TcxCustomizeListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      if (dragAndDropItemIndex_ >= 0) {
        const TPoint p{GET_X_LPARAM_(Message.LParam),
                       GET_Y_LPARAM_(Message.LParam)};
        MouseMove(MouseKeysToShiftState(Message.WParam), p.X, p.Y);
        return;
      }
      break;
    case WM_CANCELMODE:
      TListBox::Dispatch(Message);
      dragAndDropItemIndex_ = -1;
      return;
    default:
      break;
  }
  TListBox::Dispatch(Message);
}
