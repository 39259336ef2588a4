// The scrolling machinery of TcxControl: its own scroll bars and size grip,
// the pending scroll-bar parameters of one calculation pass, the mouse wheel
// and middle-button auto-scrolling.
#include <algorithm>
#include <cstdlib>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxControls.h"
#include "cxControlsPrivate.h"

void TcxControl::CreateScrollBars() {
  if (!NeedsScrollBars() || hScrollBar_) return;
  hScrollBar_ = std::make_unique<TcxControlScrollBar>(nullptr);
  hScrollBar_->SetKind(sbHorizontal);
  hScrollBar_->OnScroll = TScrollEvent(this, &TcxControl::HScrollHandler);
  vScrollBar_ = std::make_unique<TcxControlScrollBar>(nullptr);
  vScrollBar_->SetKind(sbVertical);
  vScrollBar_->OnScroll = TScrollEvent(this, &TcxControl::VScrollHandler);
  sizeGrip_ = std::make_unique<TcxSizeGrip>(nullptr);
  for (TControl* c : {static_cast<TControl*>(hScrollBar_.get()),
                      static_cast<TControl*>(vScrollBar_.get()),
                      static_cast<TControl*>(sizeGrip_.get())}) {
    TControlStyle style = c->ControlStyle();
    style.Include(csReplicatable);
    c->SetControlStyle(style);
  }
  sizeGrip_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  hScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  vScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
  if (TcxSettingsController* controller = cxSettingsController())
    controller->AddListener(this);
}

void TcxControl::DestroyScrollBars() {
  if (!hScrollBar_) return;
  if (TcxSettingsController* controller = cxSettingsController())
    controller->RemoveListener(this);
  sizeGrip_.reset();
  vScrollBar_.reset();
  hScrollBar_.reset();
}

void TcxControl::CheckNeedsScrollBars() {
  if (NeedsScrollBars()) {
    CreateScrollBars();
    if (HandleAllocated()) InitScrollBars();
  } else {
    DestroyScrollBars();
  }
}

void TcxControl::InitScrollBars() {
  if (!NeedsScrollBars() || !hScrollBar_) return;
  hScrollBar_->SetParent(this);
  vScrollBar_->SetParent(this);
  sizeGrip_->SetParent(this);
}

void TcxControl::HScrollHandler(TObject*, TScrollCode ScrollCode,
                                Integer& ScrollPos) {
  Scroll(sbHorizontal, ScrollCode, ScrollPos);
}

void TcxControl::VScrollHandler(TObject*, TScrollCode ScrollCode,
                                Integer& ScrollPos) {
  Scroll(sbVertical, ScrollCode, ScrollPos);
}

bool TcxControl::HScrollBarVisible() {
  if (!NeedsScrollBars() || !hScrollBar_) return false;
  if (calculatingScrollBarsParams_) return hScrollBar_->Data().Visible;
  return hScrollBar_->Visible();
}

bool TcxControl::VScrollBarVisible() {
  if (!NeedsScrollBars() || !vScrollBar_) return false;
  if (calculatingScrollBarsParams_) return vScrollBar_->Data().Visible;
  return vScrollBar_->Visible();
}

TcxMouseWheelScrollingKind TcxControl::GetMouseWheelScrollingKind() {
  return VScrollBarVisible() ? mwskVertical : mwskNone;
}

TRect TcxControl::GetHScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Top = r.Bottom;
  r.Bottom += hScrollBar_->Height();
  return r;
}

TRect TcxControl::GetVScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Left = r.Right;
  r.Right += vScrollBar_->Width();
  return r;
}

TRect TcxControl::GetSizeGripBounds() {
  return Rect(vScrollBar_->Left(), hScrollBar_->Top(),
              vScrollBar_->Left() + vScrollBar_->Width(),
              hScrollBar_->Top() + hScrollBar_->Height());
}

void TcxControl::SetInternalControlsBounds() {
  if (!hScrollBar_) return;
  if (hScrollBar_->Visible()) hScrollBar_->SetBoundsRect(GetHScrollBarBounds());
  if (vScrollBar_->Visible()) vScrollBar_->SetBoundsRect(GetVScrollBarBounds());
  if (sizeGrip_->Visible()) sizeGrip_->SetBoundsRect(GetSizeGripBounds());
}

void TcxControl::UpdateInternalControlsState() {
  if (!NeedsScrollBars() || !hScrollBar_) return;
  for (TWinControl* c : {static_cast<TWinControl*>(hScrollBar_.get()),
                         static_cast<TWinControl*>(vScrollBar_.get()),
                         static_cast<TWinControl*>(sizeGrip_.get())})
    if (c->Visible() && c->HandleAllocated()) c->Update();
}

void TcxControl::LockScrollBars() {
  if (scrollBarsLockCount_ == 0) scrollBarsUpdateNeeded_ = false;
  ++scrollBarsLockCount_;
}

void TcxControl::UnlockScrollBars() {
  if (scrollBarsLockCount_ <= 0) return;
  if (--scrollBarsLockCount_ == 0 && scrollBarsUpdateNeeded_)
    UpdateScrollBars();
}

void TcxControl::SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin,
                                  Integer AMax, Integer AStep, Integer APage,
                                  Integer APos, bool AAllowShow,
                                  bool AAllowHide) {
  TcxControlScrollBar* bar =
      AScrollBarKind == sbHorizontal ? hScrollBar_.get() : vScrollBar_.get();
  if (!bar) return;
  TcxScrollBarData& d = bar->Data();
  const bool styleAllows =
      scrollBars_ == ssBoth ||
      scrollBars_ ==
          (AScrollBarKind == sbHorizontal ? ssHorizontal : ssVertical);
  d.AllowShow = AAllowShow && styleAllows;
  d.AllowHide = AAllowHide;
  if (!d.AllowShow) {
    d.Visible = false;
  } else if (AMin > AMax || APage >= AMax - AMin + 1 || APos < AMin) {
    if (d.AllowHide) {
      d.Visible = false;
    } else {
      d.Enabled = false;
      d.Visible = true;
    }
  } else {
    d.Min = AMin;
    d.Max = AMax;
    d.SmallChange = static_cast<Smallint>(AStep);
    d.PageSize = APage;
    d.LargeChange = static_cast<Smallint>(APage);
    d.Position = APos;
    d.Enabled = true;
    d.Visible = true;
  }
}

void TcxControl::CalculateScrollBarsParams() {
  if (calculatingScrollBarsParams_) return;
  TRestoreOnExit calculating(calculatingScrollBarsParams_, true);
  TcxScrollBarData& h = hScrollBar_->Data();
  TcxScrollBarData& v = vScrollBar_->Data();
  h.Visible = false;
  v.Visible = false;
  bool hBefore, vBefore;
  do {
    hBefore = h.Visible;
    vBefore = v.Visible;
    InitScrollBarsParameters();
  } while (hBefore != h.Visible || vBefore != v.Visible);
  if (h.Visible && v.Visible && h.Enabled && v.Enabled && h.AllowHide &&
      v.AllowHide) {
    auto superfluous = [this](TcxScrollBarData& d, TScrollBarKind kind,
                              Integer otherThickness) {
      return IsPixelScrollBar(kind) &&
             d.PageSize + otherThickness >= d.Max - d.Min + 1;
    };
    const Integer vWidth = vScrollBar_->Width();
    const Integer hHeight = hScrollBar_->Height();
    if (superfluous(h, sbHorizontal, vWidth) &&
        superfluous(v, sbVertical, hHeight)) {
      const TcxScrollBarData hd = h, vd = v;
      SetScrollBarInfo(sbHorizontal, hd.Min, hd.Max, hd.SmallChange,
                       hd.PageSize + vWidth, hd.Position, hd.AllowShow,
                       hd.AllowHide);
      SetScrollBarInfo(sbVertical, vd.Min, vd.Max, vd.SmallChange,
                       vd.PageSize + hHeight, vd.Position, vd.AllowShow,
                       vd.AllowHide);
    }
  }
}

void TcxControl::UpdateScrollBars() {
  if (!NeedsScrollBars() || !hScrollBar_) return;
  if (scrollBarsLockCount_ > 0) {
    scrollBarsUpdateNeeded_ = true;
    return;
  }
  const bool outermost = !updatingScrollBars_;
  if (outermost) {
    initialHScrollBarVisible_ = hScrollBar_->Visible();
    initialVScrollBarVisible_ = vScrollBar_->Visible();
  }
  TRestoreOnExit updating(updatingScrollBars_, true);
  TScopeGuard leave([this, outermost] {
    if (outermost) initialScrollBarsParamsReached_ = false;
  });
  const bool hWasVisible = hScrollBar_->Visible();
  const bool vWasVisible = vScrollBar_->Visible();
  if (!initialScrollBarsParamsReached_) {
    CalculateScrollBarsParams();
    TcxScrollBarData& h = hScrollBar_->Data();
    TcxScrollBarData& v = vScrollBar_->Data();
    if (!outermost && h.Visible == initialHScrollBarVisible_ &&
        v.Visible == initialVScrollBarVisible_) {
      // The bars came back to where the update started: each takes room
      // from the other. Stop here with the changed ones visible but
      // disabled instead of flipping them again.
      initialScrollBarsParamsReached_ = true;
      if (hScrollBar_->Visible() != initialHScrollBarVisible_) {
        h.Visible = true;
        h.Enabled = false;
      }
      if (vScrollBar_->Visible() != initialVScrollBarVisible_) {
        v.Visible = true;
        v.Enabled = false;
      }
    }
    hScrollBar_->ApplyData();
    vScrollBar_->ApplyData();
  }
  if (hScrollBar_->Visible() != hWasVisible ||
      vScrollBar_->Visible() != vWasVisible) {
    BoundsChanged();
    return;
  }
  sizeGrip_->SetVisible(hScrollBar_->Visible() && vScrollBar_->Visible());
  SetInternalControlsBounds();
  if (NeedsToBringInternalControlsToFront()) BringInternalControlsToFront();
}

void TcxControl::CMNCSizeChanged(TMessage&) {
  if (!NeedsScrollBars() || !hScrollBar_) return;
  const Integer h = ::GetSystemMetrics(SM_CYHSCROLL);
  const Integer w = ::GetSystemMetrics(SM_CXVSCROLL);
  if (hScrollBar_->Height() == h && vScrollBar_->Width() == w) return;
  hScrollBar_->SetHeight(h);
  vScrollBar_->SetWidth(w);
  BoundsChanged();
}

void TcxControl::ScrollContent(TcxDirection ADirection) {
  if (ADirection == dirNone) return;
  if (!NeedsScrollBars() && !CanScrollLineWithoutScrollBars(ADirection)) return;
  const bool horz = ADirection == dirLeft || ADirection == dirRight;
  const TScrollCode code =
      ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown;
  TcxControlScrollBar* bar = horz ? hScrollBar_.get() : vScrollBar_.get();
  Integer pos = bar ? bar->Position() : 0;
  Scroll(horz ? sbHorizontal : sbVertical, code, pos);
  Update();
}

void TcxControl::ScrollWindow(Integer DX, Integer DY, const TRect& R) {
  HideDragImage();
  TScopeGuard show([this] { ShowDragImage(); });
  RECT rr{R.Left, R.Top, R.Right, R.Bottom};
  ::ScrollWindowEx(Handle(), DX, DY, &rr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE | SW_ERASE);
}

bool TcxControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                              TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const TcxMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
  if (kind == mwskNone) return false;
  TcxDirection direction;
  if (kind == mwskHorizontal)
    direction = WheelDelta >= 0 ? dirLeft : dirRight;
  else
    direction = WheelDelta >= 0 ? dirUp : dirDown;
  for (Integer i = 0; i < Mouse->WheelScrollLines(); ++i)
    ScrollContent(direction);
  return true;
}

// ---------------------------------------------------------------------------
// Middle-button auto-scrolling
// ---------------------------------------------------------------------------

namespace {

constexpr UINT_PTR AutoScrollTimerId = 0x4358;  // "CX"

struct TAutoScrollState {
  TcxDirection Direction = dirNone;
  Integer Speed = 1;
  bool LeftNeutralZone = false;
};

TCursor AutoScrollCursor(TcxDirection ADirection, bool AHorz, bool AVert) {
  switch (ADirection) {
    case dirLeft:
      return crLeftScroll;
    case dirRight:
      return crRightScroll;
    case dirUp:
      return crUpScroll;
    case dirDown:
      return crDownScroll;
    default:
      if (AHorz && AVert) return crFullScroll;
      return AHorz ? crHorScroll : crVerScroll;
  }
}

}  // namespace

void cxCalculateAutoScroll(const TPoint& AAnchor, const TPoint& P,
                           Integer ABitmapWidth, bool AHorzVisible,
                           bool AVertVisible, TcxDirection& ADirection,
                           Integer& ASpeed, bool& ALeftZone) {
  const Integer half = ABitmapWidth / 2;
  TRect zone =
      Rect(AAnchor.X - half, AAnchor.Y - half, AAnchor.X - half + ABitmapWidth,
           AAnchor.Y - half + ABitmapWidth);
  if (!AHorzVisible) {
    zone.Left = -0x3FFFFFFF;
    zone.Right = 0x3FFFFFFF;
  }
  if (!AVertVisible) {
    zone.Top = -0x3FFFFFFF;
    zone.Bottom = 0x3FFFFFFF;
  }
  if (PtInRect(zone, P)) {
    ADirection = dirNone;
    ASpeed = 0;
    return;
  }
  ALeftZone = true;
  const Integer dx = P.X - AAnchor.X, dy = P.Y - AAnchor.Y;
  const bool vertical =
      !AHorzVisible || (AVertVisible && std::abs(dy) >= std::abs(dx));
  Integer distance;
  if (vertical) {
    ADirection = dy < 0 ? dirUp : dirDown;
    distance = std::abs(dy);
  } else {
    ADirection = dx < 0 ? dirLeft : dirRight;
    distance = std::abs(dx);
  }
  ASpeed = std::clamp((distance - half) / 5 + 1, 1, 12);
}

void TcxControl::DoScrolling() {
  const bool horz = HScrollBarVisible(), vert = VScrollBarVisible();
  if (!horz && !vert) return;
  TRestoreOnExit scrolling(isScrollingContent_, true);
  const TPoint anchor = GetMouseCursorPos();
  const char* bitmapName = horz && vert ? "CX_FULLSCROLLBITMAP"
                           : horz       ? "CX_HORSCROLLBITMAP"
                                        : "CX_VERSCROLLBITMAP";
  TBitmapHandle bitmap(static_cast<HBITMAP>(::LoadImageA(
      ::GetModuleHandleA(nullptr), bitmapName, IMAGE_BITMAP, 0, 0, 0)));
  BITMAP info{};
  if (bitmap) ::GetObjectA(bitmap.get(), sizeof info, &info);
  const Integer bw = info.bmWidth > 0 ? info.bmWidth : 26;
  const Integer bh = info.bmHeight > 0 ? info.bmHeight : 26;
  HWND anchorWnd =
      ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP,
                        anchor.X - bw / 2, anchor.Y - bh / 2, bw, bh, Handle(),
                        nullptr, ::GetModuleHandleA(nullptr), nullptr);
  TScopeGuard destroyAnchor([anchorWnd] {
    if (anchorWnd) ::DestroyWindow(anchorWnd);
  });
  if (anchorWnd) {
    // The window owns the region once it is set.
    ::SetWindowRgn(anchorWnd, ::CreateEllipticRgn(0, 0, bw + 1, bh + 1), FALSE);
    ::SetWindowPos(anchorWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW |
                       SWP_NOACTIVATE);
    TWindowDC dc(anchorWnd);
    if (bitmap) {
      TOwnedDC memDC(::CreateCompatibleDC(dc.get()));
      TSelectObject select(memDC.get(), bitmap.get());
      ::BitBlt(dc.get(), 0, 0, bw, bh, memDC.get(), 0, 0, SRCCOPY);
    }
    TRegionHandle frame(::CreateEllipticRgn(0, 0, bw + 1, bh + 1));
    ::FrameRgn(dc.get(), frame.get(), ::GetSysColorBrush(COLOR_WINDOWTEXT), 1,
               1);
  }
  TAutoScrollState state;
  Integer ticks = 0;
  TPoint last = anchor;
  auto setCursor = [&] {
    ::SetCursor(Screen->Cursors(AutoScrollCursor(state.Direction, horz, vert)));
  };
  setCursor();
  const UINT_PTR timer = ::SetTimer(nullptr, AutoScrollTimerId, 20, nullptr);
  TScopeGuard killTimer([timer] {
    if (timer) ::KillTimer(nullptr, timer);
  });
  SetMouseCapture(true);
  TScopeGuard release([this] {
    if (MouseCapture()) SetMouseCapture(false);
  });
  HWND self = Handle();
  while (::GetCapture() == self) {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      if (msg.message == WM_QUIT)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_PAINT && msg.hwnd == anchorWnd) {
      ::ValidateRect(anchorWnd, nullptr);
      continue;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
        msg.message != WM_MOUSEMOVE && msg.message != WM_MBUTTONUP)
      break;
    bool done = false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        done = msg.wParam == VK_ESCAPE;
        break;
      case WM_TIMER:
        if (msg.hwnd == nullptr && msg.wParam == timer) {
          ++ticks;
          if (state.Speed > 0 && ticks % (13 - state.Speed) == 0)
            ScrollContent(state.Direction);
        }
        break;
      case WM_MOUSEMOVE: {
        POINT p{GET_X_LPARAM_(msg.lParam), GET_Y_LPARAM_(msg.lParam)};
        ::ClientToScreen(msg.hwnd, &p);
        const TPoint sp{p.x, p.y};
        if (sp != last) {
          last = sp;
          cxCalculateAutoScroll(anchor, sp, bw, horz, vert, state.Direction,
                                state.Speed, state.LeftNeutralZone);
          setCursor();
        }
        break;
      }
      case WM_MBUTTONUP:
        done = state.LeftNeutralZone;
        break;
      default:
        break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    if (done) break;
  }
}
