#include "cxControls.h"

#include <algorithm>

#include "Controls.h"
#include "Handles.h"
#include "ScopeGuard.h"
#include "cxControlsPrivate.h"

UINT dxWMGetSkinnedMessage = 0;
Byte cxDragAndDropWindowTransparency = 180;

namespace cxcontrols_detail {
bool Finalizing = false;
void SetCurrentDragObject(TDragObject* Value);
}  // namespace cxcontrols_detail

bool IsWin95X = false;
bool IsWinNT = false;
bool IsWin2KOrXP = false;
bool IsWinXP = false;
bool IsWinVista = false;

namespace {

// The multi-monitor functions are looked up at each use: the library may
// lack them (it does before Windows 98 and NT 5).
TModuleHandle User32Lib;

using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
using TGetMonitorInfoA = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

template <typename T>
T User32Proc(const char* name) {
  if (!User32Lib) return nullptr;
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(User32Lib.get(), name)));
}

TRect WholeDesktopWorkArea() {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// The library's cursors, in the order of their numbers from crDragCopy.
const char* const CursorNames[] = {
    "CX_DRAGCOPYCURSOR",   "CX_FULLSCROLLCURSOR", "CX_HORSCROLLCURSOR",
    "CX_VERSCROLLCURSOR",  "CX_UPSCROLLCURSOR",   "CX_RIGHTSCROLLCURSOR",
    "CX_DOWNSCROLLCURSOR", "CX_LEFTSCROLLCURSOR", "CX_REMOVECURSOR",
    "CX_VERTSIZECURSOR",   "CX_HORZSIZECURSOR",   "CX_MULTIDRAGCURSOR",
    "CX_NODROPCURSOR",     "CX_DRAGCURSOR",       "CX_COLORPICKERCURSOR"};

void LoadCursors() {
  if (!Screen) return;
  Screen->SetCursors(crcxHandPoint, ::LoadCursorA(nullptr, IDC_HAND));
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (Integer i = 0; i < static_cast<Integer>(std::size(CursorNames)); ++i)
    Screen->SetCursors(crDragCopy + i, ::LoadCursorA(instance, CursorNames[i]));
}

void cxControlsStartup() {
  cxcontrols_detail::Finalizing = false;
  TcxPlatformFlags flags =
      cxGetPlatformFlags(Win32Platform, Win32MajorVersion, Win32MinorVersion);
  IsWin95X = flags.Win95X;
  IsWinNT = flags.WinNT;
  IsWin2KOrXP = flags.Win2KOrXP;
  IsWinXP = flags.WinXP;
  IsWinVista = flags.WinVista;
  User32Lib.reset(LoadLibraryA("USER32"));
  LoadCursors();
  dxWMGetSkinnedMessage =
      ::RegisterWindowMessageA("{B2CE3777-44D8-4998-9701-47BBBC10B656}");
}

void cxControlsShutdown() {
  cxcontrols_detail::Finalizing = true;
  FreeMouseTrackingList();
  cxcontrols_detail::FreeSettingsController();
  cxcontrols_detail::FreeTimerObjects();
  User32Lib.reset();
}

}  // namespace

TcxPlatformFlags cxGetPlatformFlags(Integer APlatform, Integer AMajor,
                                    Integer AMinor) {
  TcxPlatformFlags flags;
  const bool nt = APlatform == VER_PLATFORM_WIN32_NT_;
  flags.Win95X = APlatform == VER_PLATFORM_WIN32_WINDOWS_ ||
                 APlatform == VER_PLATFORM_WIN32s_;
  flags.WinNT = nt && AMajor >= 4;
  flags.Win2KOrXP = nt && AMajor >= 5;
  // Every NT from 5.1 on has the XP-and-later behaviour, 6.x and 10 too.
  flags.WinXP = nt && (AMajor > 5 || (AMajor == 5 && AMinor > 0));
  flags.WinVista = AMajor >= 6;
  return flags;
}

TRect GetMonitorWorkArea(HMONITOR AMonitor) {
  auto getMonitorInfo = User32Proc<TGetMonitorInfoA>("GetMonitorInfoA");
  if (AMonitor == nullptr || getMonitorInfo == nullptr)
    return WholeDesktopWorkArea();
  MONITORINFO info{};
  info.cbSize = sizeof info;  // 40 bytes: the plain structure, no device name
  if (!getMonitorInfo(AMonitor, &info)) return WholeDesktopWorkArea();
  return TRect{info.rcWork.left, info.rcWork.top, info.rcWork.right,
               info.rcWork.bottom};
}

TRect GetDesktopWorkArea(const TPoint& P) {
  auto monitorFromPoint = User32Proc<TMonitorFromPoint>("MonitorFromPoint");
  HMONITOR monitor = nullptr;
  if (monitorFromPoint != nullptr)
    monitor = monitorFromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST);
  return GetMonitorWorkArea(monitor);
}

void MakeVisibleOnDesktop(TRect& ABounds, const TPoint& ADesktopPoint) {
  const TRect area = GetDesktopWorkArea(ADesktopPoint);
  auto shift = [&ABounds](Integer dx, Integer dy) {
    ABounds.Left += dx;
    ABounds.Right += dx;
    ABounds.Top += dy;
    ABounds.Bottom += dy;
  };
  // Right and bottom first, so that the left and top edges win for a
  // rectangle larger than the area.
  if (ABounds.Right > area.Right) shift(area.Right - ABounds.Right, 0);
  if (ABounds.Bottom > area.Bottom) shift(0, area.Bottom - ABounds.Bottom);
  if (ABounds.Left < area.Left) shift(area.Left - ABounds.Left, 0);
  if (ABounds.Top < area.Top) shift(0, area.Top - ABounds.Top);
}

void MakeVisibleOnDesktop(TControl* AControl) {
  if (AControl == nullptr) return;
  TRect bounds = AControl->BoundsRect();
  MakeVisibleOnDesktop(bounds, bounds.TopLeft());
  AControl->SetBoundsRect(bounds);
}

VARNEL_UNIT(cxControls, ({"SysUtils", "Forms"}), &cxControlsStartup,
            &cxControlsShutdown);

// ---------------------------------------------------------------------------
// TcxControl
// ---------------------------------------------------------------------------

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  if (HasDragImages()) controlStyle_.Include(csDisplayDragImage);
  canvas_ = std::make_unique<TcxCanvas>(TCustomControl::Canvas());
  defaultCursor_ = Cursor();
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TcxControl::LookAndFeelChangeHandler);
  scrollBars_ = ssBoth;
  CreateScrollBars();
  SetTabStop(MayFocus());
  lastParentBackground_ = true;
  SetParentBackground(true);
}

TcxControl::~TcxControl() {
  EndDrag(false);
  DestroyScrollBars();
  fontListeners_.clear();
  activeCanvas_.reset();
  canvas_.reset();
  lookAndFeel_.reset();
  cxClearObjectLinks(this);
}

void TcxControl::BeforeDestruction() {
  TCustomControl::BeforeDestruction();
  Destroying();
}

void TcxControl::LookAndFeelChangeHandler(TcxLookAndFeel* Sender,
                                          TcxLookAndFeelValues AChanged) {
  LookAndFeelChanged(Sender, AChanged);
}

TcxCanvas* TcxControl::ActiveCanvas() {
  if (HandleAllocated()) {
    activeCanvas_.reset();
    return canvas_.get();
  }
  if (!activeCanvas_) activeCanvas_ = std::make_unique<TcxScreenCanvas>();
  return activeCanvas_.get();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  BoundsChanged();
}

void TcxControl::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  BoundsChanged();
}

void TcxControl::SetLookAndFeel(TcxLookAndFeel* Value) {
  lookAndFeel_->Assign(Value);
}

TcxDragAndDropObject* TcxControl::DragAndDropObject() {
  if (!dragAndDropObject_) {
    dragAndDropObject_ = OwnedCast<TcxDragAndDropObject>(
        GetDragAndDropObjectClass()->NewInstance(this));
    if (!dragAndDropObject_)
      dragAndDropObject_.reset(new TcxDragAndDropObject(this));
  }
  return dragAndDropObject_.get();
}

TClass TcxControl::GetDragAndDropObjectClass() {
  return dragAndDropObjectClass_ ? dragAndDropObjectClass_
                                 : TcxDragAndDropObject::StaticClass();
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState Value) {
  if (dragAndDropState_ == Value) return;
  dragAndDropState_ = Value;
  if (Value == ddsNone && !finishingDragAndDrop_) DoCancelMode();
}

void TcxControl::SetMouseCaptureObject(TObject* Value) {
  if (mouseCaptureObject_ == Value) return;
  if (auto obj = TIntfPtr<IcxMouseCaptureObject>::Query(
          dynamic_cast<TInterfacedObject*>(mouseCaptureObject_)))
    obj->DoCancelMode();
  mouseCaptureObject_ = Value;
  const bool hadCapture = MouseCapture();
  SetMouseCapture(Value != nullptr);
  if (hadCapture && !MouseCapture() && dragAndDropState_ == ddsStarting &&
      HandleAllocated())
    ::SendMessageA(Handle(), WM_CANCELMODE, 0, 0);
}

void TcxControl::SetPopupMenu(TComponent* Value) {
  if (Value && !dynamic_cast<TPopupMenu*>(Value) &&
      !TIntfPtr<IcxPopupMenu>::Query(Value))
    Value = nullptr;
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TcxControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TcxControl::AddFontListener(IcxFontListener* AListener) {
  fontListeners_.push_back(AListener);
}

void TcxControl::RemoveFontListener(IcxFontListener* AListener) {
  std::erase(fontListeners_, AListener);
}

void TcxControl::InvalidateRect(const TRect& R, bool AEraseBackground) {
  if (HandleAllocated()) cxInvalidateRect(Handle(), R, AEraseBackground);
}

void TcxControl::InvalidateRgn(TcxRegion* ARegion, bool AEraseBackground) {
  if (HandleAllocated() && ARegion && !ARegion->IsEmpty())
    ::InvalidateRgn(Handle(), ARegion->Handle(), AEraseBackground);
}

void TcxControl::InvalidateWithChildren() {
  if (HandleAllocated())
    ::RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
}

void TcxControl::UpdateWithChildren() {
  if (HandleAllocated())
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TcxControl::PostMouseMove() {
  if (HandleAllocated()) PostMouseMove(ScreenToClient(GetMouseCursorPos()));
}

void TcxControl::PostMouseMove(const TPoint& P) {
  if (HandleAllocated())
    ::PostMessageA(Handle(), WM_MOUSEMOVE, 0,
                   MAKELPARAM(static_cast<WORD>(P.X), static_cast<WORD>(P.Y)));
}

bool TcxControl::IsMouseInPressedArea(Integer X, Integer Y) {
  return IsPointInDragDetectArea(mouseDownPos_, X, Y);
}

// --- Overridables ---------------------------------------------------------

bool TcxControl::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) {
  return ShowPopupMenu(this, AMenu, X, Y);
}

void TcxControl::Modified() {
  if (IsDesigning()) SetDesignerModified(this);
}

void TcxControl::AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) {
  if (DragMode() == dmAutomatic && AButton == mbLeft && MouseCapture() &&
      (!IsDesigning() || AllowAutoDragAndDropAtDesignTime(X, Y, {})) &&
      CanDrag(X, Y) && DragDetect(Handle()) == ddDrag)
    BeginDrag(true);
  if (AButton == mbMiddle) DoScrolling();
}

void TcxControl::BringInternalControlsToFront() {
  if (hScrollBar_) hScrollBar_->BringToFront();
  if (vScrollBar_) vScrollBar_->BringToFront();
  if (sizeGrip_) sizeGrip_->BringToFront();
}

void TcxControl::CancelMouseOperations() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

bool TcxControl::CanFocusOnClick() {
  return !IsDesigning() && focusOnClick_ && MayFocus() && CanFocus();
}

bool TcxControl::CanFocusOnClick(Integer, Integer) { return CanFocusOnClick(); }

bool TcxControl::FocusWhenChildIsClicked(TControl*) {
  return CanFocusOnClick();
}

Integer TcxControl::GetBorderSize() {
  return borderStyle_ == cxcbsNone ? 0 : GetLookAndFeelPainter()->BorderSize();
}

TRect TcxControl::GetBounds() {
  if (!IsRectEmpty(explicitBounds_)) return explicitBounds_;
  if (HandleAllocated()) return ClientRect();
  return Rect(0, 0, Width(), Height());
}

TRect TcxControl::GetClientBounds() {
  TRect r = GetBounds();
  const Integer border = GetBorderSize();
  r = cxRectInflate(r, -border, -border);
  if (HScrollBarVisible()) r.Bottom -= hScrollBar_->Height();
  if (VScrollBarVisible()) r.Right -= vScrollBar_->Width();
  return r;
}

TCursor TcxControl::GetCursor(Integer, Integer) { return defaultCursor_; }

bool TcxControl::GetIsDesigning() {
  return ComponentState().Contains(csDesigning);
}

bool TcxControl::GetIsFocused() { return Focused(); }

void TcxControl::InitControl() { InitScrollBars(); }

bool TcxControl::IsInternalControl(TControl* AControl) {
  return AControl &&
         (AControl == hScrollBar_.get() || AControl == vScrollBar_.get() ||
          AControl == sizeGrip_.get());
}

TcxLookAndFeel* TcxControl::GetLookAndFeelValue() { return lookAndFeel_.get(); }

TcxLookAndFeelPainterClass TcxControl::GetLookAndFeelPainter() {
  return lookAndFeel_->GetPainter();
}

bool TcxControl::NeedsToBringInternalControlsToFront() {
  return !IsDesigning();
}

TClass TcxControl::GetDragImagesClass() {
  return TcxDragImageList::StaticClass();
}

void TcxControl::InitDragImages(TcxDragImageList* AList) {
  const TSize size = GetDragImagesSize();
  AList->SetWidth(size.cx);
  AList->SetHeight(size.cy);
  if (size.cx == 0 || size.cy == 0) return;
  TBitmap bitmap;
  bitmap.SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap.Canvas());
  DrawDragImage(&canvas, Rect(0, 0, size.cx, size.cy));
  AList->AddMasked(&bitmap, bitmap.TransparentColor());
}

bool TcxControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::AcceptMousePosForClick(Integer X, Integer Y) {
  return DragMode() == dmManual || IsMouseInPressedArea(X, Y);
}

void TcxControl::AddChildComponent(TcxControlChildComponent* AComponent) {
  AComponent->SetControl(this);
}

void TcxControl::RemoveChildComponent(TcxControlChildComponent* AComponent) {
  AComponent->SetControl(nullptr);
}

void TcxControl::BoundsChanged() { UpdateScrollBars(); }

bool TcxControl::CanDrag(Integer, Integer) {
  return dragAndDropState_ == ddsNone;
}

void TcxControl::CursorChanged() { defaultCursor_ = Cursor(); }

void TcxControl::DoCancelMode() {
  mouseButtonPressed_ = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::FocusChanged() { OnFocusChanged(this); }

void TcxControl::FontChanged() {
  for (IcxFontListener* listener : std::vector(fontListeners_))
    listener->Changed(this, Font());
  Invalidate();
}

bool TcxControl::GetDesignHitTest(Integer, Integer, TShiftState) {
  return dragAndDropState_ != ddsNone || mouseButtonPressed_;
}

TClass TcxControl::GetDragObjectClass() {
  return TcxDragControlObject::StaticClass();
}

void TcxControl::MouseEnter(TControl*) { OnMouseEnter(this); }

void TcxControl::MouseLeave(TControl*) { OnMouseLeave(this); }

void TcxControl::DragAndDrop(const TPoint& P, bool& Accepted) {
  DragAndDropObject()->DoDragAndDrop(P, Accepted);
}

void TcxControl::EndDragAndDrop(bool Accepted) {
  SetDragAndDropState(ddsNone);
  Screen->SetCursor(dragAndDropPrevCursor_);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  DragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TcxControl::BeginDragAndDrop() {
  DragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  dragAndDropPrevCursor_ = Screen->Cursor();
  SetDragAndDropState(ddsInProcess);
}

void TcxControl::FinishDragAndDrop(bool Accepted) {
  if (finishingDragAndDrop_) return;
  TRestoreOnExit finishing(finishingDragAndDrop_, true);
  if (dragAndDropState_ == ddsInProcess)
    EndDragAndDrop(Accepted);
  else
    SetDragAndDropState(ddsNone);
  dragAndDropObject_.reset();
}

bool TcxControl::IsMenuKey(TMessage& Message) {
  if (IsDesigning()) return false;
  for (TControl* c = this; c; c = c->Parent()) {
    auto* control = dynamic_cast<TcxControl*>(c);
    if (control && control->popupMenu_ &&
        IsPopupMenuShortCut(control->popupMenu_, Message))
      return true;
  }
  return false;
}

// --- Class-library overrides ------------------------------------------------

void TcxControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  TRestoreOnExit creating(creatingWindow_, true);
  TCustomControl::CreateWnd();
  CheckNeedsScrollBars();
  InitControl();
}

void TcxControl::DestroyWindowHandle() {
  TCustomControl::DestroyWindowHandle();
  controlState_.Exclude(csClicked);
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  BoundsChanged();
}

void TcxControl::Paint() {
  if (borderStyle_ == cxcbsDefault) {
    GetLookAndFeelPainter()->DrawBorder(canvas_.get(), GetBounds());
    canvas_->IntersectClipRect(GetClientBounds());
  }
  TCustomControl::Paint();
  UpdateInternalControlsState();
}

void TcxControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  TPoint p = MousePos;
  if (p.X == -1 && p.Y == -1) p = TPoint{0, 0};
  p = ClientToScreen(p);
  Handled = DoShowPopupMenu(popupMenu_, p.X, p.Y);
}

void TcxControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) FinishDragAndDrop(false);
  TCustomControl::KeyDown(Key, Shift);
}

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                           Integer Y) {
  mouseDownPos_ = TPoint{X, Y};
  TcxObjectLink* link = cxAddObjectLink(this);
  TScopeGuard freeLink([link] { cxRemoveObjectLink(link); });
  TScopeGuard markPressed([this, link] {
    if (link->Target && MouseCapture()) mouseButtonPressed_ = true;
  });
  if (CanFocusOnClick(X, Y) && !Shift.Contains(ssDouble)) {
    const TPoint before{Left(), Top()};
    SetFocus();
    if (!link->Target) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() == this && !Focused() &&
        HandleAllocated())
      ::SetFocus(Handle());
    if (!Focused() && !AllowDragAndDropWithoutFocus()) {
      SetMouseCapture(false);
      return;
    }
    X += before.X - Left();
    Y += before.Y - Top();
  }
  if (Button == mbLeft && !Shift.Contains(ssDouble) &&
      StartDragAndDrop(TPoint{X, Y})) {
    if (DragAndDropObject()->GetImmediateStart())
      BeginDragAndDrop();
    else
      SetDragAndDropState(ddsStarting);
  } else {
    FinishDragAndDrop(false);
  }
  if (!link->Target) return;
  BeforeMouseDown(Button, Shift, X, Y);
  if (!link->Target) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TcxControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  const TCursor cursor = GetCursor(X, Y);
  {
    // The default cursor stays what the program set, not what a spot shows.
    TRestoreOnExit keep(defaultCursor_);
    SetCursor(cursor);
  }
  TCustomControl::MouseMove(Shift, X, Y);
  if (dragAndDropState_ == ddsStarting && !IsMouseInPressedArea(X, Y))
    BeginDragAndDrop();
  if (dragAndDropState_ == ddsInProcess) {
    bool accepted = false;
    DragAndDrop(TPoint{X, Y}, accepted);
  }
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                         Integer Y) {
  mouseButtonPressed_ = false;
  CancelMouseOperations();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

// The class library's drag objects draw no image of their own yet, so there
// is nothing to hide around painting.
void TcxControl::HideDragImage() {}

void TcxControl::ShowDragImage() {}

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  Update();
  TCustomControl::DoStartDrag(DragObject);
  if (!DragObject) {
    TClass cls = GetDragObjectClass();
    if (cls == TcxDragControlObject::StaticClass()) {
      DragObject = new TcxDragControlObject(this);
    } else if (cls) {
      // The drag object frees itself (AutoFree) once the drag is over.
      DragObject = OwnedCast<TDragObject>(cls->NewInstance(this)).release();
    }
    if (DragObject) DragObject->AutoFree = true;
  }
  if (!StartDrag(DragObject)) {
    if (DragObject && DragObject->AutoFree) Free(DragObject);
    DragObject = nullptr;
    CancelDrag();
  }
}

void TcxControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  dragImages_.reset();
}

void TcxControl::DragOver(TObject* Source, Integer X, Integer Y,
                          TDragState State, bool& Accept) {
  if (auto* obj = dynamic_cast<TDragObject*>(Source))
    cxcontrols_detail::SetCurrentDragObject(State == dsDragLeave ? nullptr
                                                                 : obj);
  TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TDragImageList* TcxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!dragImages_) {
    dragImages_ = std::make_unique<TcxDragImageList>(nullptr);
    InitDragImages(dragImages_.get());
  }
  return dragImages_->Count() > 0 ? dragImages_.get() : nullptr;
}

// --- Messages ---------------------------------------------------------------

void TcxControl::WndProc(TMessage& Message) {
  TcxObjectLink* link = cxAddObjectLink(this);
  TScopeGuard freeLink([link] { cxRemoveObjectLink(link); });
  const UINT msg = Message.Msg;
  bool direct = false;
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !Dragging()) {
    const TPoint p{GET_X_LPARAM_(Message.LParam),
                   GET_Y_LPARAM_(Message.LParam)};
    direct = IsDesigning() ? GetDesignHitTest(p.X, p.Y, {ssLeft})
                           : DragMode() == dmAutomatic;
    if (direct && IsControlMouseMsg(Message)) {
      direct = false;
      return;
    }
  }
  if (direct) {
    controlState_.Include(csLButtonDown);
    TRestoreOnExit bypass(bypassLibraryDragStart_, true);
    Dispatch(Message);
    if (link->Target) controlState_.Exclude(csLButtonDown);
  } else {
    if (msg == WM_RBUTTONUP) mouseRightButtonReleased_ = true;
    TCustomControl::WndProc(Message);
  }
  if (!link->Target) return;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged();
      break;
    case WM_PAINT:
      if (ParentBackground() != lastParentBackground_) {
        lastParentBackground_ = ParentBackground();
        ParentBackgroundChanged();
      }
      break;
    case WM_RBUTTONUP:
      mouseRightButtonReleased_ = false;
      break;
    default:
      break;
  }
  if (!link->Target) return;
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
    TPoint p{GET_X_LPARAM_(Message.LParam), GET_Y_LPARAM_(Message.LParam)};
    // Past 32768 pixels the message's 16-bit coordinates wrap.
    if (HandleAllocated() && (Width() > 32768 || Height() > 32768))
      p = ScreenToClient(GetMouseCursorPos());
    const TMouseButton button = msg == WM_LBUTTONDOWN   ? mbLeft
                                : msg == WM_RBUTTONDOWN ? mbRight
                                                        : mbMiddle;
    AfterMouseDown(button, p.X, p.Y);
  }
}

void TcxControl::WMGetDlgCode(TMessage& Message) {
  LRESULT code = 0;
  if (keys_.Contains(kAll)) code |= DLGC_WANTALLKEYS;
  if (keys_.Contains(kArrows)) code |= DLGC_WANTARROWS;
  if (keys_.Contains(kChars)) code |= DLGC_WANTCHARS;
  // Ctrl+Tab still moves the focus.
  if (keys_.Contains(kTab) && ::GetKeyState(VK_CONTROL) >= 0)
    code |= DLGC_WANTTAB;
  Message.Result = code;
}

void TcxControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  if (!IsDesigning()) {
    TPoint p{GET_X_LPARAM_(Message.LParam), GET_Y_LPARAM_(Message.LParam)};
    if (p.X != -1 || p.Y != -1) {
      p = ScreenToClient(p);
      if (!PtInRect(ClientRect(), p)) {
        TCustomControl::Dispatch(Message);
        return;
      }
    }
    bool handled = false;
    DoContextPopup(p, handled);
    Message.Result = handled ? 1 : 0;
    if (handled) return;
  }
  TCustomControl::Dispatch(Message);
}

void TcxControl::WMSetCursor(TMessage& Message) {
  if (IsDesigning() && dragAndDropState_ == ddsNone) {
    const TPoint p = ScreenToClient(GetMouseCursorPos());
    if (GetDesignHitTest(p.X, p.Y, {ssLeft})) {
      ::SetCursor(Screen->Cursors(GetCursor(p.X, p.Y)));
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

void TcxControl::CNKeyDown(TMessage& Message) {
  if (IsMenuKey(Message)) {
    Message.Result = 1;
    return;
  }
  if (Message.Msg == CN_SYSKEYDOWN || dragAndDropState_ == ddsNone) {
    TCustomControl::Dispatch(Message);
    return;
  }
  if (Message.WParam == VK_ESCAPE && HandleAllocated())
    ::SendMessageA(Handle(), WM_KEYDOWN, Message.WParam, Message.LParam);
  Message.Result = 1;
}

void TcxControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (bypassLibraryDragStart_) {
        // The press reaches the handlers without the class library's drag
        // start: AfterMouseDown starts a drag once DragDetect sees one.
        TRestoreOnExit manual(dragMode_, dmManual);
        TCustomControl::Dispatch(Message);
        return;
      }
      break;
    case WM_CANCELMODE:
      TCustomControl::Dispatch(Message);
      FinishDragAndDrop(false);
      DoCancelMode();
      return;
    case WM_CONTEXTMENU:
      WMContextMenu(Message);
      return;
    case WM_ERASEBKGND:
      if (HasBackground()) break;
      Message.Result = 1;
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case WM_NCCALCSIZE:
      TCustomControl::Dispatch(Message);
      if (HandleAllocated()) ::PostMessageA(Handle(), CM_NCSIZECHANGED, 0, 0);
      return;
    case WM_PAINT: {
      HideDragImage();
      TScopeGuard show([this] { ShowDragImage(); });
      TCustomControl::Dispatch(Message);
      return;
    }
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    case CM_COLORCHANGED:
      ColorChanged();
      break;
    case CM_CURSORCHANGED:
      CursorChanged();
      break;
    case CM_DESIGNHITTEST:
      TCustomControl::Dispatch(Message);
      if (Message.Result == 0 &&
          GetDesignHitTest(GET_X_LPARAM_(Message.LParam),
                           GET_Y_LPARAM_(Message.LParam),
                           MouseKeysToShiftState(Message.WParam)))
        Message.Result = 1;
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      FontChanged();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      cxDispatchMouseEnterLeave(this, Message,
                                [&] { TCustomControl::Dispatch(Message); });
      return;
    case CM_NCSIZECHANGED:
      CMNCSizeChanged(Message);
      return;
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(Message);
      TextChanged();
      return;
    case CM_VISIBLECHANGED:
      TCustomControl::Dispatch(Message);
      VisibleChanged();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(Message);
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}
