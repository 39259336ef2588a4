#include "dxBarAnimation.h"

#include <algorithm>

#include "WinApi.h"

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

namespace {

void AddPart(std::vector<TdxBarShadowPartInfo>& AParts, const TRect& R,
             TdxBarShadowPartKind AKind, TdxBarShadowCorners ACorners) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  AParts.push_back({R, AKind, ACorners});
}

}  // namespace

std::vector<TdxBarShadowPartInfo> dxBarShadowParts(const TRect& AOwner,
                                                   const TRect& APopup,
                                                   Integer ASize) {
  std::vector<TdxBarShadowPartInfo> parts;
  const Integer S = ASize;
  const bool noOwner =
      AOwner.Right <= AOwner.Left || AOwner.Bottom <= AOwner.Top;
  const bool horizontal =
      noOwner || AOwner.Bottom == APopup.Top || AOwner.Top == APopup.Bottom;
  TRect A = noOwner ? TRect{} : AOwner;
  TRect B = APopup;
  // A is the upper (or left) one.
  if (!noOwner &&
      (horizontal ? AOwner.Top > APopup.Top : AOwner.Left > APopup.Left))
    std::swap(A, B);
  if (horizontal) {
    const bool hasA = !(A.Right <= A.Left || A.Bottom <= A.Top);
    if (hasA)
      AddPart(parts, {A.Right, A.Top + S, A.Right + S, A.Bottom}, spVertical,
              {TdxBarShadowCorner::scTop});
    AddPart(parts, {B.Left + S, B.Bottom, B.Right + S, B.Bottom + S},
            spHorizontal,
            {TdxBarShadowCorner::scLeft, TdxBarShadowCorner::scRight});
    if (hasA) {
      if (A.Left + S < B.Left)
        AddPart(parts, {A.Left + S, A.Bottom, B.Left, A.Bottom + S},
                spHorizontal, {TdxBarShadowCorner::scLeft});
      if (B.Right < A.Right)
        AddPart(parts, {B.Right, A.Bottom, A.Right + S, A.Bottom + S},
                spHorizontal, {TdxBarShadowCorner::scRight});
    }
    if (!hasA || A.Right < B.Right) {
      AddPart(parts, {B.Right, B.Top + S, B.Right + S, B.Bottom}, spVertical,
              {TdxBarShadowCorner::scTop});
    } else {
      AddPart(parts, {B.Right, B.Top, B.Right + S, B.Bottom}, spVertical, {});
    }
    return parts;
  }
  AddPart(parts, {B.Right, B.Top + S, B.Right + S, B.Bottom}, spVertical,
          {TdxBarShadowCorner::scTop});
  if (A.Top + S < B.Top)
    AddPart(parts, {A.Right, A.Top + S, A.Right + S, B.Top}, spVertical,
            {TdxBarShadowCorner::scTop});
  if (B.Bottom < A.Bottom) {
    AddPart(parts, {A.Left + S, A.Bottom, A.Right + S, A.Bottom + S},
            spHorizontal,
            {TdxBarShadowCorner::scLeft, TdxBarShadowCorner::scRight});
    AddPart(parts, {A.Right, B.Bottom, A.Right + S, A.Bottom}, spVertical, {});
  } else {
    AddPart(parts, {A.Left + S, A.Bottom, A.Right, A.Bottom + S}, spHorizontal,
            {TdxBarShadowCorner::scLeft});
  }
  if (A.Bottom < B.Bottom) {
    AddPart(parts, {B.Left + S, B.Bottom, B.Right + S, B.Bottom + S},
            spHorizontal,
            {TdxBarShadowCorner::scLeft, TdxBarShadowCorner::scRight});
  } else {
    AddPart(parts, {B.Left, B.Bottom, B.Right + S, B.Bottom + S}, spHorizontal,
            {TdxBarShadowCorner::scRight});
  }
  return parts;
}

std::vector<Byte> dxBarShadowAlpha(const TdxBarShadowPartInfo& APart,
                                   Integer ASize) {
  const Integer w = APart.Bounds.Width(), h = APart.Bounds.Height();
  std::vector<Byte> alpha(static_cast<std::size_t>(std::max(w * h, 0)));
  const Integer thickness = APart.Kind == spVertical ? w : h;
  auto fade = [ASize](Integer AValue, Integer AStep) {
    return ::MulDiv(AValue, AStep + 1, ASize + 1);
  };
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const Integer d = APart.Kind == spVertical ? x : y;
      Integer a = std::max<Integer>(thickness - d, 0) * 15;
      if (APart.Corners.Contains(TdxBarShadowCorner::scLeft) && x < ASize)
        a = fade(a, x);
      if (APart.Corners.Contains(TdxBarShadowCorner::scRight) &&
          w - 1 - x < ASize)
        a = fade(a, w - 1 - x);
      if (APart.Corners.Contains(TdxBarShadowCorner::scTop) && y < ASize)
        a = fade(a, y);
      alpha[static_cast<std::size_t>(y * w + x)] = static_cast<Byte>(a);
    }
  return alpha;
}

bool dxBarShadowTranslucent() {
  if (!UpdateLayeredWindowProc) return false;
  HDC dc = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(dc, BITSPIXEL);
  ::ReleaseDC(nullptr, dc);
  return bits > 8;
}

Integer dxBarShadowSize() { return dxBarShadowTranslucent() ? 4 : 2; }

TdxBarMenuAnimations dxBarResolveMenuAnimation(TdxBarMenuAnimations AKind,
                                               Integer ARandom0To99) {
  if (AKind != maRandom) return AKind;
  if (ARandom0To99 < 33) return maUnfold;
  if (ARandom0To99 < 66) return maSlide;
  return maFade;
}

// ---------------------------------------------------------------------------
// Parts
// ---------------------------------------------------------------------------

TdxBarShadowPart::TdxBarShadowPart(TdxBarShadow* AShadow,
                                   const TdxBarShadowPartInfo& AInfo)
    : TCustomControl(nullptr), shadow_(AShadow), info_(AInfo) {
  SetVisible(false);
  const TRect& r = info_.Bounds;
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TdxBarShadowPart::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  if (dxBarShadowTranslucent()) Params.ExStyle |= WS_EX_LAYERED;
  TWinControl* owner = shadow_->Owner();
  if (owner && owner->HandleAllocated()) {
    Params.WndParent = owner->Handle();
    if (::GetWindowLongA(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)
      Params.ExStyle |= WS_EX_TOPMOST;
  }
  Params.WindowClass.style = 0;
}

bool TdxBarShadowPart::CanShow() const {
  if (info_.Corners.Empty()) return true;
  const Integer s = dxBarShadowSize();
  return info_.Bounds.Width() >= s && info_.Bounds.Height() >= s;
}

void TdxBarShadowPart::ShowPart() {
  if (!CanShow()) return;
  HandleNeeded();
  const TRect& r = info_.Bounds;
  if (dxBarShadowTranslucent()) {
    // A premultiplied black image: only the alpha channel carries shade.
    const std::vector<Byte> alpha = dxBarShadowAlpha(info_, dxBarShadowSize());
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = r.Width();
    bi.bmiHeader.biHeight = -r.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp =
        ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
      auto* px = static_cast<DWORD*>(bits);
      for (std::size_t i = 0; i < alpha.size(); ++i)
        px[i] = static_cast<DWORD>(alpha[i]) << 24;
      HGDIOBJ old = ::SelectObject(mem, bmp);
      POINT src{0, 0}, dst{r.Left, r.Top};
      SIZE size{r.Width(), r.Height()};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      UpdateLayeredWindowProc(Handle(), screen, &dst, &size, mem, &src, 0,
                              &blend, ULW_ALPHA);
      ::SelectObject(mem, old);
    }
    if (bmp) ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
  }
  TWinControl* owner = shadow_->Owner();
  HWND after = owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
  ::SetWindowPos(Handle(), after, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdxBarShadowPart::Paint() {
  dxBarStandardPaint::FillBackground(Canvas()->Handle(), ClientRect(),
                                     clBtnShadow);
}

void TdxBarShadowPart::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Shadow
// ---------------------------------------------------------------------------

TdxBarShadow::TdxBarShadow(TWinControl* AOwner) : owner_(AOwner) {}

TdxBarShadow::~TdxBarShadow() { FreeParts(); }

void TdxBarShadow::FreeParts() {
  std::vector<TdxBarShadowPart*> parts = std::exchange(parts_, {});
  for (TdxBarShadowPart* part : parts) Free(part);
}

void TdxBarShadow::SetOwnerBounds(const TRect& AOwnerItem,
                                  const TRect& APopup) {
  ownerItem_ = AOwnerItem;
  popup_ = APopup;
  Refresh();
}

void TdxBarShadow::Refresh() {
  FreeParts();
  for (const TdxBarShadowPartInfo& info :
       dxBarShadowParts(ownerItem_, popup_, dxBarShadowSize()))
    parts_.push_back(new TdxBarShadowPart(this, info));
  if (visible_)
    for (TdxBarShadowPart* part : parts_) part->ShowPart();
}

void TdxBarShadow::SetVisible(bool Value) {
  visible_ = Value;
  for (TdxBarShadowPart* part : parts_) {
    if (Value) {
      part->ShowPart();
    } else if (part->HandleAllocated()) {
      part->DestroyHandle();
    }
  }
}

// ---------------------------------------------------------------------------
// Menu animation
// ---------------------------------------------------------------------------

TdxBarAnimationInfo dxBarMakeAnimationInfo(TdxBarMenuAnimations AKind,
                                           const TRect& AFinal,
                                           TSize AClientSize, bool ALeftward,
                                           bool AUpward) {
  TdxBarAnimationInfo info;
  info.Animation = AKind;
  info.OpensLeftward = ALeftward;
  info.OpensUpward = AUpward;
  info.FinalLeft = AFinal.Left;
  info.FinalTop = AFinal.Top;
  info.FinalClientWidth = AClientSize.cx;
  info.FinalClientHeight = AClientSize.cy;
  info.BorderWidth = AFinal.Width() - AClientSize.cx;
  info.BorderHeight = AFinal.Height() - AClientSize.cy;
  if (AKind == maSlide) {
    info.FirstValue = 0;
    info.Delta = AClientSize.cy;
    info.Step = 17;
    return info;
  }
  // The longer side leads by the difference; the growth is the shorter
  // side.
  const Integer d = AClientSize.cy - AClientSize.cx;
  info.FirstValue = d;
  info.Delta = d <= 0 ? AClientSize.cy : AClientSize.cx;
  info.Step = 8;
  return info;
}

Integer dxBarAnimationStepCount(const TdxBarAnimationInfo& AInfo) {
  return AInfo.Step > 0 ? std::max<Integer>(AInfo.Delta / AInfo.Step, 0) : 0;
}

TRect dxBarAnimationStepBounds(const TdxBarAnimationInfo& AInfo,
                               Integer AStep) {
  const Integer g = AStep * AInfo.Step;
  Integer width = g, height = g;
  if (AInfo.FirstValue < 0) {
    width = g - AInfo.FirstValue;
  } else {
    height = g + AInfo.FirstValue;
  }
  if (AInfo.Animation == maSlide) width = AInfo.FinalClientWidth;
  const Integer left = AInfo.OpensLeftward
                           ? AInfo.FinalLeft + AInfo.FinalClientWidth - width
                           : AInfo.FinalLeft;
  const Integer top = AInfo.OpensUpward
                          ? AInfo.FinalTop + AInfo.FinalClientHeight - height
                          : AInfo.FinalTop;
  return Bounds(left, top, width + AInfo.BorderWidth,
                height + AInfo.BorderHeight);
}

TPoint dxBarAnimationImageOffset(const TdxBarAnimationInfo& AInfo,
                                 TSize AShown) {
  if (AInfo.OpensUpward) return {0, 0};
  return {AInfo.OpensLeftward ? AInfo.FinalClientWidth - AShown.cx : 0,
          AInfo.FinalClientHeight - AShown.cy};
}

namespace {

DWORD SystemTicks() { return ::GetTickCount(); }
void SystemPause() { ::Sleep(1); }

}  // namespace

TdxBarAnimationClock& dxBarAnimationClock() {
  static TdxBarAnimationClock clock{&SystemTicks, &SystemPause};
  return clock;
}

TdxBarAnimationThread::TdxBarAnimationThread(HWND AWnd,
                                             const TdxBarAnimationInfo& AInfo,
                                             HBITMAP AImage)
    : wnd_(AWnd), info_(AInfo), image_(AImage) {
  HDC dc = ::GetDC(wnd_);
  memDC_ = ::CreateCompatibleDC(dc);
  ::ReleaseDC(wnd_, dc);
  oldBitmap_ = ::SelectObject(memDC_, image_);
}

TdxBarAnimationThread::~TdxBarAnimationThread() {
  terminated_ = true;
  if (thread_) {
    // The thread may be sending the window its last message: serve it.
    while (::MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE,
                                       QS_SENDMESSAGE) != WAIT_OBJECT_0) {
      MSG msg;
      ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    ::CloseHandle(thread_);
  }
  ::SelectObject(memDC_, oldBitmap_);
  ::DeleteObject(image_);
  ::DeleteDC(memDC_);
}

void TdxBarAnimationThread::Start() {
  if (thread_) return;
  DWORD id = 0;
  thread_ = ::CreateThread(nullptr, 0, &ThreadProc, this, 0, &id);
  // Without a thread the menu still ends up placed and shown.
  if (!thread_) ::PostMessageA(wnd_, dxBarAnimationFinishMessage, 0, 0);
}

DWORD WINAPI TdxBarAnimationThread::ThreadProc(LPVOID AParam) {
  static_cast<TdxBarAnimationThread*>(AParam)->Execute();
  return 0;
}

void TdxBarAnimationThread::Execute() {
  const TdxBarAnimationClock& clock = dxBarAnimationClock();
  const Integer count = dxBarAnimationStepCount(info_);
  for (Integer i = 1; i <= count && !terminated_; ++i) {
    const DWORD start = clock.Ticks();
    DoStep(i);
    clock.Pause();
    while (clock.Ticks() == start && !terminated_) clock.Pause();
  }
  ::SendMessageA(wnd_, dxBarAnimationFinishMessage, 0, 0);
}

void TdxBarAnimationThread::DoStep(Integer AStep) {
  const TRect r = dxBarAnimationStepBounds(info_, AStep);
  ::SetWindowPos(wnd_, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  // The whole shown part comes from the image at every step: nothing
  // depends on the pixels the system kept while the window grew.
  const TSize shown{r.Width() - info_.BorderWidth,
                    r.Height() - info_.BorderHeight};
  const TPoint offset = dxBarAnimationImageOffset(info_, shown);
  HDC dc = ::GetDC(wnd_);
  ::BitBlt(dc, 0, 0, shown.cx, shown.cy, memDC_, offset.X, offset.Y, SRCCOPY);
  ::ReleaseDC(wnd_, dc);
}
