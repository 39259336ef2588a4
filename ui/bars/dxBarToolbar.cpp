// The toolbar window: docked and floating windows, the non-client frame,
// hit tests, the mark, and the moves between docks and floating.
#include <algorithm>
#include <utility>

#include "ScopeGuard.h"
#include "dxBar.h"
#include "dxBarHints.h"

namespace {

// A toolbar being dragged by the user: the drag has its own message loop.
TdxBarControl* MovingBarControl = nullptr;

constexpr UINT_PTR MoreButtonsTimerId = 1;

TRect WindowRectOf(HWND Wnd) {
  RECT r{};
  ::GetWindowRect(Wnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TdxBarControl::TdxBarControl(TComponent* AOwner) : TCustomdxBarControl(AOwner) {
  SetVisible(false);
}

TdxBarControl::~TdxBarControl() {
  if (MovingBarControl == this) MovingBarControl = nullptr;
  moving_ = false;
  if (TdxDockControl* dock = DockControl()) dock->DeleteBarControl(this, false);
}

void TdxBarControl::SetBar(TdxBar* Value) {
  bar_ = Value;
  if (bar_) {
    SetItemLinks(bar_->ItemLinks());
    SetText(bar_->Caption());
  }
}

bool TdxBarControl::IsRealVertical() const {
  return DockingStyle() == dsLeft || DockingStyle() == dsRight;
}

bool TdxBarControl::IsVertical() const {
  return IsRealVertical() && (!bar_ || bar_->RotateWhenVertical);
}

bool TdxBarControl::GetMultiLine() const {
  return DockingStyle() == dsNone || (bar_ && bar_->MultiLine());
}

bool TdxBarControl::GetHorizontal() const {
  return DockingStyle() == dsTop || DockingStyle() == dsBottom;
}

bool TdxBarControl::CanCustomizing() const {
  return (BarManager() && BarManager()->IsDesigning()) ||
         (bar_ && bar_->AllowCustomizing);
}

bool TdxBarControl::CanMoving() const { return bar_ && bar_->CanMoving(); }

bool TdxBarControl::HasCloseButton() const {
  return DockingStyle() == dsNone && bar_ && bar_->CanClose();
}

void TdxBarControl::SetCloseButtonState(TdxBarMarkState Value) {
  if (closeButtonState_ == Value) return;
  closeButtonState_ = Value;
  if (HandleAllocated())
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
  if (Value == DockingStyle()) return;
  itemsCut_ = false;
  TCustomdxBarControl::SetDockingStyle(Value);
}

bool TdxBarControl::MarkExists() const {
  // The standard drawing offers no quick customization: the mark shows only
  // when items lost their place.
  return bar_ && bar_->ShowMark && itemsCut_ && DockingStyle() != dsNone;
}

TRect TdxBarControl::MarkRect() {
  if (!MarkExists()) return {};
  const TRect client = ClientRect();
  if (IsRealVertical()) {
    return Rect(0, client.Bottom - dxBarStandardPaint::MarkSize, client.Right,
                client.Bottom);
  }
  return Rect(client.Right - dxBarStandardPaint::MarkSize, 0, client.Right,
              client.Bottom);
}

TRect TdxBarControl::ContentOffsets(TdxBarDockingStyle AStyle) const {
  if (TdxBarPainter* painter = GetPainter())
    return painter->GetToolbarContentOffsets(bar_, AStyle, false);
  const bool border = !bar_ || bar_->BorderStyle != bbsNone;
  return dxBarStandardPaint::ToolbarContentOffsets(AStyle, border);
}

Integer TdxBarControl::BarNCSizeX(TdxBarDockingStyle AStyle) const {
  const TRect r = ContentOffsets(AStyle);
  return r.Left + r.Right;
}

Integer TdxBarControl::BarNCSizeY(TdxBarDockingStyle AStyle) const {
  const TRect r = ContentOffsets(AStyle);
  return r.Top + r.Bottom;
}

TClass TdxBarControl::GetViewInfoClass() const {
  return TdxBarControlViewInfo::StaticClass();
}

void TdxBarControl::SetFont() {
  if (BarManager()) Font()->Assign(BarManager()->Font());
}

// ---------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------

void TdxBarControl::CreateParams(TCreateParams& Params) {
  TCustomdxBarControl::CreateParams(Params);
  Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  Params.ExStyle = 0;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (DockingStyle() != dsNone && DockControl()) {
    Params.Style |= WS_CHILD;
    Params.WndParent = DockControl()->Handle();
  } else {
    Params.Style |= WS_POPUP;
    TWinControl* owner = BarManager() ? BarManager()->ParentedOwner() : nullptr;
    Params.WndParent = owner ? owner->Handle() : nullptr;
  }
}

void TdxBarControl::CreateWnd() {
  TCustomdxBarControl::CreateWnd();
  if (bar_) ::SetWindowTextA(Handle(), bar_->Caption().c_str());
  SetLayeredAttributes();
  UpdateCaptionButtons(nullptr);
}

void TdxBarControl::SetLayeredAttributes() {
  if (!HandleAllocated()) return;
  const bool floating = DockingStyle() == dsNone && !Parent();
  SetLayeredWndAttributes(Handle(),
                          floating && bar_ ? bar_->AlphaBlendValue() : 255);
}

void TdxBarControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE:
      WMNCCalcSize(Message);
      return;
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      return;
    case WM_NCPAINT: {
      TWindowDC dc(Handle(), ::GetWindowDC(Handle()));
      DoNCPaint(dc.get());
      Message.Result = 0;
      return;
    }
    case WM_NCACTIVATE:
      Message.Result = 1;
      return;
    case WM_LBUTTONDBLCLK:
      if (hitCode_ == HTCAPTION) {
        WMLButtonDblClk(Message);
        return;
      }
      break;
    case WM_SIZE:
      TCustomdxBarControl::WndProc(Message);
      if (!ComponentState().Contains(csDestroying)) {
        CalcLayout();
        UpdateCaptionButtons(nullptr);
      }
      return;
    case WM_TIMER:
      if (Message.WParam == MoreButtonsTimerId) {
        MoreButtonsHintTimer();
        return;
      }
      break;
    case WM_DESTROY:
      FinishMoreButtonsHintTimer();
      WMDestroy(Message);
      return;
    case WM_SIZING:
      if (DockingStyle() == dsNone) {
        WMSizing(Message);
        return;
      }
      break;
    case WM_WINDOWPOSCHANGING:
      if (DockingStyle() == dsNone)
        KeepOnWorkArea(*reinterpret_cast<WINDOWPOS*>(Message.LParam));
      break;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      info->ptMinTrackSize = {10, 10};
      info->ptMaxTrackSize = {30000, 30000};
      Message.Result = 0;
      return;
    }
    default:
      break;
  }
  TCustomdxBarControl::WndProc(Message);
}

namespace {

BOOL CALLBACK MeetsWorkArea(HMONITOR AMonitor, HDC, LPRECT, LPARAM AData) {
  auto* test = reinterpret_cast<std::pair<RECT, bool>*>(AData);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT common{};
  if (::GetMonitorInfoA(AMonitor, &info) &&
      ::IntersectRect(&common, &info.rcWork, &test->first)) {
    test->second = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

// A floating bar that would lie off every monitor's work area (a stored
// place from a larger desktop, a drop beyond the screen) comes back to the
// edge of the work area where the cursor is, so that it can be reached.
void TdxBarControl::KeepOnWorkArea(WINDOWPOS& APos) {
  if ((APos.flags & SWP_NOMOVE) && (APos.flags & SWP_NOSIZE)) return;
  const TRect current = WindowRectOf(Handle());
  const Integer x = (APos.flags & SWP_NOMOVE) ? current.Left : APos.x;
  const Integer y = (APos.flags & SWP_NOMOVE) ? current.Top : APos.y;
  const Integer cx = (APos.flags & SWP_NOSIZE) ? current.Width() : APos.cx;
  const Integer cy = (APos.flags & SWP_NOSIZE) ? current.Height() : APos.cy;
  std::pair<RECT, bool> test{RECT{x, y, x + cx, y + cy}, false};
  ::EnumDisplayMonitors(nullptr, nullptr, &MeetsWorkArea,
                        reinterpret_cast<LPARAM>(&test));
  if (test.second) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoA(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST),
                         &info)) {
    return;
  }
  const RECT& work = info.rcWork;
  Integer left = x;
  Integer top = y;
  if (x + cx <= work.left) left = work.left;
  if (x >= work.right) left = work.right - cx;
  if (y + cy <= work.top) top = work.top;
  if (y >= work.bottom) top = work.bottom - cy;
  APos.x = left;
  APos.y = top;
  if (APos.flags & SWP_NOSIZE) {
    APos.cx = cx;
    APos.cy = cy;
  }
  APos.flags &= ~SWP_NOMOVE;
}

// A floating bar snaps to the sizes its layout can take: the dragged edge
// moves to fit the size for the new width (or height); corners keep the
// bounds.
void TdxBarControl::WMSizing(TMessage& M) {
  auto* r = reinterpret_cast<RECT*>(M.LParam);
  const TRect current = BoundsRect();
  const Integer ncx = BarNCSizeX(dsNone);
  const Integer ncy = BarNCSizeY(dsNone);
  switch (M.WParam) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: {
      const TSize s = GetSizeForWidth(dsNone, r->right - r->left - ncx);
      if (M.WParam == WMSZ_LEFT) {
        r->left = r->right - s.cx - ncx;
      } else {
        r->right = r->left + s.cx + ncx;
      }
      r->bottom = r->top + s.cy + ncy;
      break;
    }
    case WMSZ_TOP:
    case WMSZ_BOTTOM: {
      const TSize s = GetSizeForHeight(dsNone, r->bottom - r->top - ncy);
      if (M.WParam == WMSZ_TOP) {
        r->top = r->bottom - s.cy - ncy;
      } else {
        r->bottom = r->top + s.cy + ncy;
      }
      r->right = r->left + s.cx + ncx;
      break;
    }
    default:
      *r = dxRECT(current);
      break;
  }
  if (r->top < -15) {
    r->bottom += -15 - r->top;
    r->top = -15;
  }
  M.Result = TRUE;
}

void TdxBarControl::WMNCCalcSize(TMessage& M) {
  auto* r = reinterpret_cast<RECT*>(M.LParam);
  const TRect offsets = ContentOffsets(DockingStyle());
  r->left += offsets.Left;
  r->top += offsets.Top;
  r->right -= offsets.Right;
  r->bottom -= offsets.Bottom;
  M.Result = 0;
}

void TdxBarControl::WMNCHitTest(TMessage& M) {
  const POINT screen{static_cast<short>(LOWORD(M.LParam)),
                     static_cast<short>(HIWORD(M.LParam))};
  const TPoint p = ScreenToClient({screen.x, screen.y});
  M.Result = HTCLIENT;
  hitCode_ = 0;
  if (GetBehaviorOptions().Contains(bboUnmoved)) return;
  const bool customizing = BarManager() && BarManager()->IsCustomizing();
  TdxBarItemControl* item = ItemAtPos(p);
  const bool along = IsRealVertical() ? p.Y >= 0 : p.X >= 0;
  if (DockingStyle() == dsNone) {
    const TRect window = WindowRectOf(Handle());
    const TPoint w{screen.x - window.Left, screen.y - window.Top};
    const Integer bx = GetPainter() ? GetPainter()->BorderSizeX()
                                    : dxBarStandardPaint::FloatingBorder;
    if (w.Y < bx) {
      M.Result = HTTOP;
    } else if (w.X >= window.Width() - bx) {
      M.Result = HTRIGHT;
    } else if (w.Y >= window.Height() - bx) {
      M.Result = HTBOTTOM;
    } else if (w.X < bx) {
      M.Result = HTLEFT;
    } else if (PtInRect(CloseButtonRectNC(), w) && !customizing) {
      hitCode_ = HTCLOSE;
    } else if (GetCaptionButtons() &&
               GetCaptionButtons()->GetButtonIndex(w) >= 0 && !customizing) {
      // A caption button takes the press instead of the move.
      hitCode_ = HTCLIENT;
    } else if (!PtInRect(ClientRect(), p) ||
               !(item && (item->HotPartWantMouse() || customizing))) {
      hitCode_ = HTCAPTION;
    }
    return;
  }
  if (along && item && (item->HotPartWantMouse() || customizing)) return;
  if (along && PtInRect(MarkRect(), p)) return;
  hitCode_ = HTCAPTION;
}

void TdxBarControl::DoNCPaint(HDC DC) {
  const TRect window = WindowRectOf(Handle());
  const TRect outer = Bounds(0, 0, window.Width(), window.Height());
  const TRect offsets = ContentOffsets(DockingStyle());
  const TRect client =
      Rect(offsets.Left, offsets.Top, outer.Right - offsets.Right,
           outer.Bottom - offsets.Bottom);
  TSavedDC saved(DC);
  ::ExcludeClipRect(DC, client.Left, client.Top, client.Right, client.Bottom);
  TdxBarPainter* painter = GetPainter();
  if (!painter) {
    if (DockingStyle() == dsNone) {
      dxBarStandardPaint::DrawFloatingFrame(DC, outer, client,
                                            bar_ ? bar_->Caption() : String());
      DrawCloseButton(DC);
      DrawCaptionButtons(DC);
    } else if (!bar_ || bar_->BorderStyle != bbsNone) {
      dxBarStandardPaint::DrawDockedFrame(DC, outer, client, IsRealVertical());
    }
    return;
  }
  if (painter->IsCompoundPainting()) {
    painter->DrawToolbarNonContentPart(this, DC);
    return;
  }
  HBRUSH brush = painter->BarToolbarBrush(this);
  if (DockingStyle() == dsNone) {
    FillBackgroundArea(DC, outer, outer, brush, clNone, nullptr);
    painter->BarDrawFloatingBarBorder(this, DC, outer, client, brush);
    if (HasCaption())
      painter->BarDrawFloatingBarCaption(
          this, DC, painter->GetToolbarCaptionRect(outer), outer, brush);
  } else if (!bar_ || bar_->BorderStyle != bbsNone) {
    painter->BarDrawBackground(this, DC, outer, outer, brush, clNone);
    painter->BarDrawDockedBarBorder(this, DC, outer, brush);
  }
}

TRect TdxBarControl::CaptionRectNC(Integer& ABoxSize) {
  ABoxSize = 0;
  if (!HandleAllocated() || DockingStyle() != dsNone) return {};
  const TRect window = WindowRectOf(Handle());
  if (TdxBarPainter* painter = GetPainter()) {
    ABoxSize = painter->BarCaptionSize();
    return painter->GetToolbarCaptionRect(
        Rect(0, 0, window.Width(), window.Height()));
  }
  const TRect offsets = ContentOffsets(dsNone);
  const Integer top = dxBarStandardPaint::FloatingBorder;
  ABoxSize = offsets.Top - top;
  return Rect(offsets.Left, top, window.Width() - offsets.Right,
              top + ABoxSize);
}

namespace {

// The square box of a caption ending at ARight; the standard look keeps it
// a little inside the caption.
TRect CaptionBox(const TRect& ACaption, Integer ARight, Integer ASize,
                 bool AStandard) {
  if (ASize <= 0 || ARight - ASize < ACaption.Left) return {};
  TRect r = Rect(ARight - ASize, ACaption.Top, ARight,
                 AStandard ? ACaption.Top + ASize : ACaption.Bottom);
  if (AStandard) InflateRect(r, -1, -1);
  return r;
}

}  // namespace

TRect TdxBarControl::CloseButtonRectNC() {
  if (!HasCloseButton()) return {};
  Integer size = 0;
  const TRect caption = CaptionRectNC(size);
  return CaptionBox(caption, caption.Right, size, !GetPainter());
}

TdxBarCaptionButtons* TdxBarControl::GetCaptionButtons() const {
  return bar_ ? bar_->CaptionButtons() : nullptr;
}

TPoint TdxBarControl::NCOffset() const {
  const TRect offsets = ContentOffsets(DockingStyle());
  return {offsets.Left, offsets.Top};
}

void TdxBarControl::UpdateCaptionButtons(TdxBarCaptionButton*) {
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  if (!buttons) return;
  Integer size = 0;
  const TRect caption = CaptionRectNC(size);
  // Right to left from the close button: the last button sits next to it.
  Integer right = caption.Right - (HasCloseButton() ? size : 0);
  for (Integer i = buttons->Count() - 1; i >= 0; --i) {
    const TRect box = CaptionBox(caption, right, size, !GetPainter());
    buttons->Items(i)->SetBounds(box);
    if (!IsRectEmpty(box)) right -= size;
  }
  if (HandleAllocated() && buttons->Count() > 0)
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TdxBarControl::DrawCaptionButtons(HDC DC) {
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  if (!buttons) return;
  for (Integer i = 0; i < buttons->Count(); ++i) {
    TdxBarCaptionButton* button = buttons->Items(i);
    const TRect r = button->Bounds();
    if (IsRectEmpty(r)) continue;
    const Integer state = button->State();
    if (TdxBarPainter* painter = GetPainter()) {
      painter->BarDrawCaptionElement(
          this, DC, r,
          state == dxBarCaptionButtonPressed ? msPressed
          : state == dxBarCaptionButtonHot   ? msSelected
                                             : msNone);
    } else {
      RECT box = dxRECT(r);
      ::FillRect(DC, &box, ::GetSysColorBrush(COLOR_BTNFACE));
      if (state == dxBarCaptionButtonHot || state == dxBarCaptionButtonPressed)
        ::DrawEdge(DC, &box,
                   state == dxBarCaptionButtonPressed ? BDR_SUNKENOUTER
                                                      : BDR_RAISEDINNER,
                   BF_RECT);
    }
    TBitmap* glyph = button->Glyph();
    if (!glyph || glyph->Empty()) continue;
    const Integer w = std::min(glyph->Width(), r.Width());
    const Integer h = std::min(glyph->Height(), r.Height());
    const TRect g = Bounds(r.Left + (r.Width() - w) / 2,
                           r.Top + (r.Height() - h) / 2, w, h);
    TransparentDraw(DC, g, glyph, button->Enabled());
  }
}

void TdxBarControl::CaptionButtonClick(Integer AIndex) {
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  if (buttons && AIndex >= 0 && AIndex < buttons->Count())
    buttons->Items(AIndex)->Click();
}

void TdxBarControl::DrawCloseButton(HDC DC) {
  const TRect r = CloseButtonRectNC();
  if (IsRectEmpty(r)) return;
  if (TdxBarPainter* painter = GetPainter()) {
    painter->BarDrawCloseButton(this, DC, r);
    return;
  }
  RECT box = dxRECT(r);
  UINT state = DFCS_CAPTIONCLOSE;
  if (CloseButtonState() == msPressed) state |= DFCS_PUSHED;
  ::DrawFrameControl(DC, &box, DFC_CAPTION, state);
}

bool TdxBarControl::TrackFrameButton(
    const std::function<bool(const TPoint&)>& AOver,
    const std::function<void(const TPoint&)>& AShow) {
  const HWND wnd = Handle();
  const auto windowPoint = [wnd](const TPoint& AScreen) {
    const TRect window = WindowRectOf(wnd);
    return TPoint{AScreen.X - window.Left, AScreen.Y - window.Top};
  };
  POINT cursor{};
  ::GetCursorPos(&cursor);
  AShow(windowPoint({cursor.x, cursor.y}));
  ::SetCapture(wnd);
  bool clicked = false;
  MSG msg;
  while (::GetCapture() == wnd && dxBarGetLoopMessage(msg)) {
    if (msg.message == WM_LBUTTONUP || msg.message == WM_MOUSEMOVE) {
      const TPoint p = windowPoint(dxBarMessageScreenPoint(msg));
      if (msg.message == WM_LBUTTONUP) {
        clicked = AOver(p);
        break;
      }
      AShow(p);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  if (::IsWindow(wnd) && ::GetCapture() == wnd) ::ReleaseCapture();
  return ::IsWindow(wnd) && clicked;
}

void TdxBarControl::TrackCloseButton() {
  TdxBarManager* manager = BarManager();
  if (!manager || !bar_) return;
  const HWND wnd = Handle();
  const auto over = [this](const TPoint& P) {
    return PtInRect(CloseButtonRectNC(), P);
  };
  const bool clicked = TrackFrameButton(over, [&](const TPoint& P) {
    SetCloseButtonState(over(P) ? msPressed : msSelected);
  });
  if (!::IsWindow(wnd)) return;
  SetCloseButtonState(msNone);
  if (!clicked) return;
  // Hiding frees this window: nothing of it is touched afterwards.
  TdxBar* bar = bar_;
  bar->SetVisible(false);
  manager->DesignerModified();
  manager->DoBarClose(bar);
}

void TdxBarControl::TrackCaptionButton(Integer AIndex) {
  TdxBarCaptionButtons* buttons = GetCaptionButtons();
  if (!buttons || AIndex < 0 || AIndex >= buttons->Count()) return;
  const HWND wnd = Handle();
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  const auto over = [&](const TPoint& P) {
    return buttons->GetButtonIndex(P) == AIndex;
  };
  const bool clicked = TrackFrameButton(over, [&](const TPoint& P) {
    buttons->UpdateButtonStates(over(P) ? P : TPoint{-1, -1}, true);
  });
  if (!self->Target || !::IsWindow(wnd)) return;
  buttons->UpdateButtonStates({-1, -1}, false);
  if (clicked) CaptionButtonClick(AIndex);
}

void TdxBarControl::WMDestroy(TMessage& M) {
  TdxDockControl* dock = DockControl();
  if (dock) dock->SetDestroyingBarWindow(true);
  TScopeGuard done([&] {
    if (dock) dock->SetDestroyingBarWindow(false);
  });
  TCustomdxBarControl::WndProc(M);
}

void TdxBarControl::FillBackground(HDC DC, const TRect& R) {
  if (TdxBarPainter* painter = GetPainter()) {
    painter->BarDrawBackground(this, DC, R, R, painter->BarToolbarBrush(this),
                               clNone);
    return;
  }
  const TColor color = bar_ && bar_->Color != clDefault
                           ? bar_->Color
                           : dxBarStandardPaint::ToolbarColor();
  dxBarStandardPaint::FillBackground(DC, R, color);
}

void TdxBarControl::DoPaint() {
  TcxCanvas* canvas = ActiveCanvas();
  TSavedDC saved(canvas->Handle());
  DrawItems(canvas);
  TCustomdxBarControlViewInfo* vi = ViewInfo();
  for (Integer i = 0; vi && i < vi->GetSeparatorCount(); ++i) {
    const TdxBarItemSeparatorInfo s = vi->GetSeparatorInfo(i);
    if (TdxBarPainter* painter = GetPainter())
      painter->BarDrawBeginGroup(this, canvas->Handle(), s.Bounds,
                                 painter->BarToolbarBrush(this),
                                 s.Kind == skHorizontal);
    else
      dxBarStandardPaint::DrawSeparator(canvas->Handle(), s.Bounds,
                                        s.Kind == skHorizontal);
    canvas->ExcludeClipRect(s.Bounds);
  }
  if (MarkExists()) {
    const TRect mark = MarkRect();
    if (TdxBarPainter* painter = GetPainter())
      painter->BarDrawMarks(this, canvas->Handle(), mark,
                            painter->BarToolbarBrush(this));
    else
      dxBarStandardPaint::DrawMark(canvas->Handle(), mark, IsRealVertical(),
                                   MarkState());
    canvas->ExcludeClipRect(mark);
  }
  FillBackground(canvas->Handle(), ClientRect());
}

void TdxBarControl::DoRepaintBar(bool ARecreate) {
  TCustomdxBarControl::DoRepaintBar(ARecreate);
  if (DockingStyle() != dsNone && DockControl()) {
    DockControl()->UpdateDock();
  } else if (HandleAllocated()) {
    const TSize size = GetSizeForWidth(dsNone, ClientWidth());
    SetClientSize(size);
    CalcLayout();
  }
  Invalidate();
  if (HandleAllocated()) ::SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TdxBarControl::RepaintBar() { RepaintBarEx(true); }

// ---------------------------------------------------------------------------
// Placement
// ---------------------------------------------------------------------------

void TdxBarControl::FrameChanged() {
  if (!HandleAllocated()) return;
  ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                     SWP_NOACTIVATE);
}

void TdxBarControl::RebuildBar() {
  FrameChanged();
  RepaintBar();
}

void TdxBarControl::SetNewBounds(const TRect& R) {
  if (R == BoundsRect()) return;
  SetBoundsRect(R);
}

void TdxBarControl::ChangeStyleWinTo(TdxBarDockingStyle AStyle,
                                     TdxDockControl* ADock) {
  ++internalLock_;
  TScopeGuard unlock([&] { --internalLock_; });
  const bool hadHandle = HandleAllocated();
  if (hadHandle) DestroyHandle();
  SetDockingStyle(AStyle);
  SetDockControl(AStyle == dsNone ? nullptr : ADock);
  SetParent(AStyle == dsNone ? nullptr : ADock);
}

void TdxBarControl::ShowDocked(TdxDockControl* ADockControl,
                               TPoint AScreenPoint) {
  if (!ADockControl) return;
  if (TdxDockControl* old = DockControl()) old->DeleteBarControl(this, true);
  if (DockControl() != ADockControl || DockingStyle() == dsNone ||
      DockingStyle() != ADockControl->DockingStyle()) {
    ChangeStyleWinTo(ADockControl->DockingStyle(), ADockControl);
  }
  HandleNeeded();
  ADockControl->AddBarControl(this, AScreenPoint, true, !moving_);
  SetVisible(true);
  ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  SavePos();
}

void TdxBarControl::ShowFloating(TPoint AScreenPoint) {
  if (TdxDockControl* old = DockControl()) old->DeleteBarControl(this, true);
  if (DockingStyle() != dsNone || (HandleAllocated() && Parent())) {
    ChangeStyleWinTo(dsNone, nullptr);
  }
  const TSize size = GetTrackSize(dsNone);
  SetBounds(AScreenPoint.X, AScreenPoint.Y, size.cx, size.cy);
  HandleNeeded();
  SetVisible(true);
  ::SetWindowPos(Handle(), HWND_TOP, AScreenPoint.X, AScreenPoint.Y, size.cx,
                 size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  CalcLayout();
  Invalidate();
  SavePos();
}

void TdxBarControl::SavePos() {
  if (!bar_ || moving_ || savingPos_ || !HandleAllocated()) return;
  TdxBarManager* manager = BarManager();
  if (!manager || manager->IsDestroying()) return;
  // Writing the place back must not move the window again: the bar leaves
  // a window alone while it saves its place (InInternalChange).
  savingPos_ = true;
  TScopeGuard done([&] { savingPos_ = false; });
  if (DockingStyle() != dsNone) {
    if (DockControl() && DockControl()->DestroyingBarWindow()) return;
    bar_->SetDockedDockingStyle(DockingStyle());
    if (TdxDockCol* col = GetDockCol()) {
      bar_->SetOneOnRow(col->Row->ColCount() == 1);
      bar_->SetDockedLeft(Left());
      bar_->SetDockedTop(Top());
    }
  } else {
    bar_->SetFloatLeft(Left());
    bar_->SetFloatTop(Top());
    bar_->SetFloatClientWidth(ClientWidth());
    bar_->SetFloatClientHeight(ClientHeight());
  }
}

TdxDockCol* TdxBarControl::GetDockCol() const {
  TdxDockControl* dock = DockControl();
  if (!dock || DockingStyle() == dsNone) return nullptr;
  for (Integer r = 0; r < dock->RowCount(); ++r) {
    const Integer c = dock->Rows(r)->ColIndexOf(this);
    if (c >= 0) return dock->Rows(r)->Cols(c);
  }
  return nullptr;
}

Integer TdxBarControl::GetRow() const {
  TdxDockCol* col = GetDockCol();
  return col ? DockControl()->IndexOfRow(col->Row) : 0;
}

Integer TdxBarControl::GetCol() const {
  TdxDockCol* col = GetDockCol();
  return col ? col->Row->ColIndexOf(this) : 0;
}

TPoint TdxBarControl::GetDragPointOffset(TdxBarDockingStyle AStyle) {
  if (grabSize_.cx <= 0 || grabSize_.cy <= 0) return grabPoint_;
  const TSize track = GetTrackSize(AStyle);
  return {::MulDiv(track.cx, grabPoint_.X, grabSize_.cx),
          ::MulDiv(track.cy, grabPoint_.Y, grabSize_.cy)};
}

// ---------------------------------------------------------------------------
// Mouse: the grip and caption start a move, a double click docks or floats
// ---------------------------------------------------------------------------

void TdxBarControl::DoBarMouseDown(TMouseButton AButton, TShiftState AShift,
                                   bool AInClient, TdxBarItemControl* AItem,
                                   const TPoint& P) {
  if (AButton == mbLeft && hitCode_ == HTCAPTION &&
      !AShift.Contains(ssDouble)) {
    if (!CanMoving()) return;
    const TRect window = WindowRectOf(Handle());
    POINT cursor{};
    ::GetCursorPos(&cursor);
    grabPoint_ = {cursor.x - window.Left, cursor.y - window.Top};
    grabSize_ = {window.Width(), window.Height()};
    BarManager()->Bars()->Moving(this);
    return;
  }
  if (AButton == mbLeft && hitCode_ == HTCLOSE) {
    TrackCloseButton();
    return;
  }
  if (AButton == mbLeft && !AInClient && GetCaptionButtons()) {
    const TPoint offset = NCOffset();
    const Integer index =
        GetCaptionButtons()->GetButtonIndex({P.X + offset.X, P.Y + offset.Y});
    if (index >= 0) {
      TrackCaptionButton(index);
      return;
    }
  }
  TCustomdxBarControl::DoBarMouseDown(AButton, AShift, AInClient, AItem, P);
}

void TdxBarControl::DoBarMouseMove(TShiftState AShift, const TPoint& P,
                                   TdxBarItemControl* AItem) {
  if (!NotHandleMouseMove(true)) {
    const TPoint offset = NCOffset();
    if (TdxBarCaptionButtons* buttons = GetCaptionButtons())
      buttons->UpdateButtonStates({P.X + offset.X, P.Y + offset.Y}, false);
    TdxBarPainter* painter = GetPainter();
    if (!ActiveBarControl && painter && painter->BarAllowQuickCustomizing() &&
        MarkExists() && MarkState() != msPressed && PtInRect(MarkRect(), P))
      SetMarkState(msSelected);
  }
  TCustomdxBarControl::DoBarMouseMove(AShift, P, AItem);
  if (IsLive(this) && !ActiveBarControl && MarkState() == msSelected &&
      !PtInRect(MarkRect(), P))
    SetMarkState(msNone);
}

void TdxBarControl::DoBarMouseLeave() {
  TCustomdxBarControl::DoBarMouseLeave();
  if (TdxBarCaptionButtons* buttons = GetCaptionButtons())
    buttons->UpdateButtonStates({-1, -1}, false);
}

// ---------------------------------------------------------------------------
// Mark
// ---------------------------------------------------------------------------

void TdxBarControl::SetMarkState(TdxBarMarkState Value) {
  TdxBarManager* manager = BarManager();
  if ((manager && manager->IsCustomizing()) || Value == MarkState()) return;
  TCustomdxBarControl::SetMarkState(Value);
  FinishMoreButtonsHintTimer();
  // The pressed mark opens the quick-customization toolbar, which this
  // program does not build yet: the press only shows.
  if (Value == msSelected) {
    if (DockingStyle() == dsNone) StartMoreButtonsHintTimer();
    dxBarActivateHint(manager, true, "More Buttons", nullptr);
  } else if (Value == msNone && !SelectedControl()) {
    dxBarActivateHint(manager, false, String(), nullptr);
  }
  Invalidate();
}

void TdxBarControl::InvalidateMark() {
  if (!HandleAllocated()) return;
  RECT r = dxRECT(MarkRect());
  ::InvalidateRect(Handle(), &r, FALSE);
}

void TdxBarControl::CheckMarkState() {
  if (!HandleAllocated() || MarkState() == msPressed) return;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  const TPoint p = ScreenToClient({cursor.x, cursor.y});
  SetMarkState(PtInRect(MarkRect(), p) ? msSelected : msNone);
}

void TdxBarControl::StartMoreButtonsHintTimer() {
  if (!HandleAllocated()) return;
  moreButtonsTimer_ = ::SetTimer(Handle(), MoreButtonsTimerId, 50, nullptr);
}

void TdxBarControl::FinishMoreButtonsHintTimer() {
  if (moreButtonsTimer_ && HandleAllocated())
    dxKillTimer(Handle(), moreButtonsTimer_);
  moreButtonsTimer_ = 0;
}

void TdxBarControl::MoreButtonsHintTimer() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  const TPoint p = ScreenToClient({cursor.x, cursor.y});
  if (HandleAllocated() && ::IsWindowVisible(Handle()) &&
      PtInRect(MarkRect(), p))
    return;
  FinishMoreButtonsHintTimer();
  if (MarkState() == msSelected) SetMarkState(msNone);
}

void TdxBarControl::WMLButtonDblClk(TMessage&) {
  if (!bar_ || (BarManager() && BarManager()->IsDesigning())) return;
  TdxBarManager* manager = BarManager();
  if (DockingStyle() != dsNone) {
    if (manager && !manager->DoDocking(bar_, dsNone, nullptr)) return;
    ShowFloating({bar_->FloatLeft(), bar_->FloatTop()});
    return;
  }
  TdxBarDockingStyle style = bar_->DockedDockingStyle();
  if (style == dsNone) style = dsTop;
  TdxDockControl* dock =
      manager ? manager->GetInternalDockControl(style) : nullptr;
  if (!dock || (manager && !manager->DoDocking(bar_, style, dock))) return;
  const TPoint origin = dock->ClientToScreen({bar_->DockedLeft(), 0});
  ShowDocked(dock, {origin.X, origin.Y + dock->GetClientSize() + 1});
}

TdxBarControl* TdxBarControl::DraggedControl() { return MovingBarControl; }

// The drag itself is the bars' move loop; the window only marks itself.
void TdxBarControl::BeginMoving() {
  MovingBarControl = this;
  moving_ = true;
}

void TdxBarControl::EndMoving() {
  if (!moving_) return;
  moving_ = false;
  if (MovingBarControl == this) MovingBarControl = nullptr;
  SavePos();
  TellBarItsPlace();
}

void TdxBarControl::TellBarItsPlace() {
  if (bar_) bar_->ChangeDockingStyle(DockingStyle(), DockControl());
}

void TdxBarControl::ChangeBarControlPos(const TPoint& ACursor) {
  TdxBarManager* manager = BarManager();
  if (!manager || !bar_) return;
  // The dock whose zone holds the cursor, in the order left, right, top,
  // bottom.
  TdxDockControl* target = nullptr;
  for (TdxBarDockingStyle style : {dsLeft, dsRight, dsTop, dsBottom}) {
    for (Integer i = 0; !target && i < manager->DockControlCount(); ++i) {
      TdxDockControl* dock = manager->DockControls(i);
      if (dock->DockingStyle() != style || !dock->CanDocking(bar_) ||
          !dock->HandleAllocated()) {
        continue;
      }
      if (PtInRect(dock->GetDockZoneBounds(), ACursor) &&
          manager->DoDocking(bar_, style, dock)) {
        target = dock;
      }
    }
    if (target) break;
  }
  // Ctrl held keeps a dragged bar floating anywhere.
  if (moving_ && ::GetAsyncKeyState(VK_CONTROL) < 0) target = nullptr;
  // A floating bar passing over a dock docks only once the mouse rests.
  TdxBars* bars = manager->Bars();
  if (moving_ && !bars->DockingPass()) {
    if (target && DockingStyle() == dsNone) {
      bars->StartWaitForDocking();
      target = nullptr;
    } else {
      bars->StopWaitForDocking();
    }
  }
  if (!target && !manager->DoDocking(bar_, dsNone, nullptr)) return;
  const TPoint offset =
      GetDragPointOffset(target ? target->DockingStyle() : dsNone);
  const TPoint topLeft{ACursor.X - offset.X, ACursor.Y - offset.Y};
  if (target) {
    if (DockControl() == target && DockingStyle() == target->DockingStyle()) {
      target->MoveBarControl(this, topLeft);
    } else {
      ShowDocked(target, topLeft);
    }
  } else if (DockingStyle() == dsNone) {
    ::SetWindowPos(Handle(), nullptr, topLeft.X, topLeft.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    ShowFloating(topLeft);
  }
  // The bar follows at once; its window stays the one being dragged.
  TellBarItsPlace();
}
