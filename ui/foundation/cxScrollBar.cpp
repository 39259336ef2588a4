#include "cxScrollBar.h"

#include <algorithm>

#include "SysConst.h"
//
#include "cxControls.h"
#include "dxThemeManager.h"

namespace {

// The tracking area of a thumb drag reaches this far from the bar.
constexpr Integer TrackAlongMargin = 34;
constexpr Integer TrackAcrossMargin = 136;
constexpr Cardinal FirstRepeatDelay = 400;
constexpr Cardinal RepeatInterval = 60;

bool IsRepeatingPart(TcxScrollBarPart APart) {
  return APart == sbpLineUp || APart == sbpLineDown || APart == sbpPageUp ||
         APart == sbpPageDown;
}

}  // namespace

TSize GetScrollBarSize() {
  return TSize{::GetSystemMetrics(SM_CXVSCROLL),
               ::GetSystemMetrics(SM_CYHSCROLL)};
}

// ---------------------------------------------------------------------------
// TcxScrollBarViewInfo
// ---------------------------------------------------------------------------

TcxScrollBarViewInfo::TcxScrollBarViewInfo(TcxScrollBar* AScrollBar)
    : ScrollBar(AScrollBar) {}

Integer TcxScrollBarViewInfo::TrackStart() const {
  return ScrollBar->Kind() == sbHorizontal ? LineUpRect.Right
                                           : LineUpRect.Bottom;
}

Integer TcxScrollBarViewInfo::TrackEnd() const {
  return ScrollBar->Kind() == sbHorizontal ? LineDownRect.Left
                                           : LineDownRect.Top;
}

Integer TcxScrollBarViewInfo::ThumbStart() const {
  return ScrollBar->Kind() == sbHorizontal ? ThumbnailRect.Left
                                           : ThumbnailRect.Top;
}

Integer TcxScrollBarViewInfo::ThumbLength() const {
  return ScrollBar->Kind() == sbHorizontal ? ThumbnailRect.Width()
                                           : ThumbnailRect.Height();
}

void TcxScrollBarViewInfo::Calculate() { CalculateRects(); }

void TcxScrollBarViewInfo::CalculateRects() {
  const Integer w = ScrollBar->Width();
  const Integer h = ScrollBar->Height();
  if (ScrollBar->Kind() == sbHorizontal) {
    const Integer b =
        std::min<Integer>(::GetSystemMetrics(SM_CYHSCROLL), w / 2);
    LineUpRect = Bounds(0, 0, b, h);
    LineDownRect = Bounds(w - b, 0, b, h);
  } else {
    const Integer b =
        std::min<Integer>(::GetSystemMetrics(SM_CXVSCROLL), h / 2);
    LineUpRect = Bounds(0, 0, w, b);
    LineDownRect = Bounds(0, h - b, w, b);
  }
  CalculateThumbnailRect();
}

void TcxScrollBarViewInfo::CalculateMinThumnailSize() {
  MinThumbnailSize = ScrollBar->GetPainter()->ScrollBarMinimalThumbSize(
      ScrollBar->Kind() == sbVertical);
}

void TcxScrollBarViewInfo::SetThumbnailPos(Integer APosition) {
  const Integer length = ThumbLength();
  if (ScrollBar->Kind() == sbHorizontal) {
    ThumbnailRect.Left = APosition;
    ThumbnailRect.Right = APosition + length;
  } else {
    ThumbnailRect.Top = APosition;
    ThumbnailRect.Bottom = APosition + length;
  }
}

void TcxScrollBarViewInfo::CalculateThumbnailRect() {
  ThumbnailRect = TRect{};
  TcxScrollBar* sb = ScrollBar;
  if (!sb->Enabled()) {
    AdjustPageRects();
    return;
  }
  const Integer start = TrackStart();
  const Integer t = TrackEnd() - start;
  const Integer range = sb->Max() - sb->Min();
  Integer length = 0;
  Integer offset = 0;
  if (sb->PageSize() != 0) {
    length = std::min(t, MulDiv(sb->PageSize(), t, range + 1));
    if (t < MinThumbnailSize || range == 0) {
      AdjustPageRects();
      return;
    }
    length = std::max(length, MinThumbnailSize);
    const Integer r = range - sb->PageSize() + 1;
    // A page that covers the whole range leaves nothing to move through.
    if (r > 0)
      offset = MulDiv(t - length, std::min(sb->Position() - sb->Min(), r), r);
  } else {
    length = ::GetSystemMetrics(sb->Kind() == sbVertical ? SM_CYVTHUMB
                                                         : SM_CXHTHUMB);
    if (t < length) {
      AdjustPageRects();
      return;
    }
    if (t - length > 0 && range != 0)
      offset = MulDiv(t - length, sb->Position() - sb->Min(), range);
  }
  if (sb->Kind() == sbHorizontal)
    ThumbnailRect = Bounds(start + offset, 0, length, sb->Height());
  else
    ThumbnailRect = Bounds(0, start + offset, sb->Width(), length);
  AdjustPageRects();
}

void TcxScrollBarViewInfo::AdjustPageRects() {
  if (!HasThumb()) {
    PageUpRect = TRect{};
    PageDownRect = TRect{};
    return;
  }
  if (ScrollBar->Kind() == sbHorizontal) {
    PageUpRect =
        Rect(LineUpRect.Right, 0, ThumbnailRect.Left, ScrollBar->Height());
    PageDownRect =
        Rect(ThumbnailRect.Right, 0, LineDownRect.Left, ScrollBar->Height());
  } else {
    PageUpRect =
        Rect(0, LineUpRect.Bottom, ScrollBar->Width(), ThumbnailRect.Top);
    PageDownRect =
        Rect(0, ThumbnailRect.Bottom, ScrollBar->Width(), LineDownRect.Top);
  }
}

// ---------------------------------------------------------------------------
// TcxScrollBar
// ---------------------------------------------------------------------------

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  bitmap_ = std::make_unique<TBitmap>();
  bitmapCanvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TcxScrollBar::LookAndFeelChanged);
  viewInfo_ = std::make_unique<TcxScrollBarViewInfo>(this);
  controlStyle_ = TControlStyle{csCaptureMouse, csFramed, csOpaque};
  kind_ = sbHorizontal;
  TCustomControl::SetBounds(left_, top_, 121, ::GetSystemMetrics(SM_CYHSCROLL));
  themeNotificator_ = std::make_unique<TdxThemeChangedNotificator>();
  themeNotificator_->OnThemeChanged =
      TdxThemeChangedEvent(this, &TcxScrollBar::ThemeChanged);
  timer_ = std::make_unique<TcxTimer>(nullptr);
  timer_->SetEnabled(false);
  timer_->SetInterval(FirstRepeatDelay);
  timer_->SetOnTimer(TNotifyEvent(this, &TcxScrollBar::OnTimer));
  viewInfo_->CalculateMinThumnailSize();
  viewInfo_->Calculate();
}

TcxScrollBar::~TcxScrollBar() {
  timer_.reset();
  themeNotificator_.reset();
  viewInfo_.reset();
  lookAndFeel_.reset();
  bitmapCanvas_.reset();
  bitmap_.reset();
}

TClass TcxScrollBar::GetViewInfoClass() {
  return TcxScrollBarViewInfo::StaticClass();
}

TcxLookAndFeelPainterClass TcxScrollBar::GetPainter() const {
  return lookAndFeel_->GetAvailablePainter(totScrollBar);
}

void TcxScrollBar::SetLookAndFeel(TcxLookAndFeel* Value) {
  lookAndFeel_->Assign(Value);
}

void TcxScrollBar::SetKind(TScrollBarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  if (ComponentState().Contains(csLoading))
    viewInfo_->Calculate();
  else
    SetBounds(left_, top_, height_, width_);
  Invalidate();
}

void TcxScrollBar::SetMax(Integer Value) {
  SetScrollParams(min_, Value, position_, pageSize_, true);
}
void TcxScrollBar::SetMin(Integer Value) {
  SetScrollParams(Value, max_, position_, pageSize_, true);
}
void TcxScrollBar::SetPageSize(Integer Value) {
  SetScrollParams(min_, max_, position_, Value, true);
}
void TcxScrollBar::SetPosition(Integer Value) {
  SetScrollParams(min_, max_, Value, pageSize_, true);
}
void TcxScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  SetScrollParams(AMin, AMax, APosition, pageSize_, true);
}

void TcxScrollBar::SetScrollParams(Integer AMin, Integer AMax,
                                   Integer APosition, Integer APageSize,
                                   bool ARedraw) {
  if (AMax < AMin || AMax < APageSize) throw EInvalidOperation(SScrollBarRange);
  const bool redraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (min_ == AMin && max_ == AMax && pageSize_ == APageSize &&
      position_ == APosition)
    return;
  min_ = AMin;
  max_ = AMax;
  pageSize_ = APageSize;
  if (position_ == APosition) {
    viewInfo_->CalculateThumbnailRect();
    if (redraw) Invalidate();
    return;
  }
  // A bar whose position the program moves is in use again.
  SetEnabled(true);
  position_ = APosition;
  viewInfo_->CalculateThumbnailRect();
  if (redraw) Invalidate();
  Change();
}

void TcxScrollBar::Change() {
  Changed();
  OnChange(this);
}

void TcxScrollBar::Scroll(TScrollCode AScrollCode, Integer& AScrollPos) {
  OnScroll(this, AScrollCode, AScrollPos);
}

TcxScrollBarPart TcxScrollBar::GetScrollBarPart(const TPoint& P) const {
  if (!PtInRect(Rect(0, 0, width_, height_), P)) return sbpNone;
  if (PtInRect(viewInfo_->LineUpRect, P)) return sbpLineUp;
  if (PtInRect(viewInfo_->LineDownRect, P)) return sbpLineDown;
  if (!viewInfo_->HasThumb()) return sbpNone;
  if (PtInRect(viewInfo_->ThumbnailRect, P)) return sbpThumbnail;
  if (PtInRect(viewInfo_->PageUpRect, P)) return sbpPageUp;
  if (PtInRect(viewInfo_->PageDownRect, P)) return sbpPageDown;
  return sbpNone;
}

Integer TcxScrollBar::GetPositionFromThumbnail() const {
  const Integer travel = viewInfo_->TrackEnd() - viewInfo_->TrackStart() -
                         viewInfo_->ThumbLength();
  if (travel <= 0) return min_;
  const Integer range = max_ - min_ + (pageSize_ > 0 ? 1 - pageSize_ : 0);
  return min_ + MulDiv(range, viewInfo_->ThumbStart() - viewInfo_->TrackStart(),
                       travel);
}

void TcxScrollBar::InternalScroll(TScrollCode AScrollCode) {
  Integer pos = position_;
  switch (AScrollCode) {
    case scLineUp:
      pos -= smallChange_;
      break;
    case scLineDown:
      pos += smallChange_;
      break;
    case scPageUp:
      pos -= largeChange_;
      break;
    case scPageDown:
      pos += largeChange_;
      break;
    case scTop:
      pos = min_;
      break;
    case scBottom:
      pos = max_;
      break;
    default:
      break;
  }
  pos = std::clamp(pos, min_, max_);
  Scroll(AScrollCode, pos);
  pos = std::clamp(pos, min_, max_);
  if (pos == position_) return;
  if (AScrollCode == scTrack) {
    position_ = pos;
    Invalidate();
  } else {
    SetPosition(pos);
  }
}

void TcxScrollBar::DoScroll(TcxScrollBarPart APart) {
  switch (APart) {
    case sbpLineUp:
      InternalScroll(scLineUp);
      break;
    case sbpLineDown:
      InternalScroll(scLineDown);
      break;
    case sbpThumbnail:
      InternalScroll(scTrack);
      break;
    case sbpPageUp:
      InternalScroll(scPageUp);
      break;
    case sbpPageDown:
      InternalScroll(scPageDown);
      break;
    default:
      break;
  }
}

void TcxScrollBar::CancelScroll() {
  if (pressedPart_ == sbpNone) return;
  if (pressedPart_ == sbpThumbnail) {
    SetPosition(GetPositionFromThumbnail());
    InternalScroll(scPosition);
  }
  timer_->SetEnabled(false);
  pressedPart_ = sbpNone;
  hotPart_ = sbpNone;
  InternalScroll(scEndScroll);
  viewInfo_->CalculateThumbnailRect();
  Invalidate();
}

TcxButtonState TcxScrollBar::GetPartState(TcxScrollBarPart APart) const {
  if (!enabled_) return cxbsDisabled;
  if (APart == sbpThumbnail && !GetPainter()->IsButtonHotTrack())
    return cxbsNormal;
  if (pressedPart_ != sbpNone)
    return APart == pressedPart_ && APart == hotPart_ ? cxbsPressed
                                                      : cxbsNormal;
  if (APart == hotPart_ && !ComponentState().Contains(csDesigning))
    return cxbsHot;
  return cxbsNormal;
}

void TcxScrollBar::DrawScrollBarPart(TcxCanvas* ACanvas, const TRect& R,
                                     TcxScrollBarPart APart,
                                     TcxButtonState AState) {
  GetPainter()->DrawScrollBarPart(ACanvas, kind_ == sbHorizontal, R, APart,
                                  AState);
}

void TcxScrollBar::DoPaint(TcxCanvas* ACanvas) {
  const TcxScrollBarViewInfo& vi = *viewInfo_;
  if (!vi.HasThumb())
    DrawScrollBarPart(ACanvas, Rect(0, 0, width_, height_), sbpPageUp,
                      cxbsNormal);
  else
    DrawScrollBarPart(ACanvas, vi.ThumbnailRect, sbpThumbnail,
                      GetPartState(sbpThumbnail));
  DrawScrollBarPart(ACanvas, vi.LineUpRect, sbpLineUp, GetPartState(sbpLineUp));
  DrawScrollBarPart(ACanvas, vi.LineDownRect, sbpLineDown,
                    GetPartState(sbpLineDown));
  if (!IsRectEmpty(vi.PageUpRect))
    DrawScrollBarPart(ACanvas, vi.PageUpRect, sbpPageUp,
                      GetPartState(sbpPageUp));
  if (!IsRectEmpty(vi.PageDownRect))
    DrawScrollBarPart(ACanvas, vi.PageDownRect, sbpPageDown,
                      GetPartState(sbpPageDown));
}

void TcxScrollBar::Paint() {
  if (width_ <= 0 || height_ <= 0) return;
  if (bitmap_->Width() != width_ || bitmap_->Height() != height_)
    bitmap_->SetSize(width_, height_);
  DoPaint(bitmapCanvas_.get());
  ::BitBlt(Canvas()->Handle(), 0, 0, width_, height_,
           bitmap_->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxScrollBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                             Integer AHeight) {
  const TRect before = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (before != BoundsRect() && width_ > 0 && height_ > 0) {
    bitmap_->SetSize(width_, height_);
    viewInfo_->Calculate();
  }
}

void TcxScrollBar::RecalculateAndInvalidate() {
  viewInfo_->CalculateMinThumnailSize();
  viewInfo_->Calculate();
  Invalidate();
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  RecalculateAndInvalidate();
}

void TcxScrollBar::ThemeChanged() {
  viewInfo_->CalculateMinThumnailSize();
  viewInfo_->Calculate();
  UpdateScrollBarBitmaps();
  Invalidate();
  // A themed bar may change its thickness.
  if (parent_) parent_->Realign();
}

void TcxScrollBar::OnTimer(TObject*) {
  if (MouseCapture() && IsRepeatingPart(pressedPart_)) {
    if (timer_->Interval() != RepeatInterval)
      timer_->SetInterval(RepeatInterval);
    DoScroll(pressedPart_);
    TPoint p{};
    ::GetCursorPos(reinterpret_cast<POINT*>(&p));
    timer_->SetEnabled(HandleAllocated() &&
                       GetScrollBarPart(ScreenToClient(p)) == pressedPart_);
  } else {
    CancelScroll();
  }
}

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                             Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxScrollBarPart part = GetScrollBarPart(TPoint{X, Y});
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    downMousePos_ = TPoint{X, Y};
    savePosition_ = position_;
    saveThumbnailPos_ = viewInfo_->ThumbnailRect.TopLeft();
    InternalScroll(scTrack);
  }
  pressedPart_ = part;
  hotPart_ = part;
  if (part != sbpThumbnail) {
    DoScroll(part);
    timer_->SetInterval(FirstRepeatDelay);
    timer_->SetEnabled(true);
  }
  Repaint();
}

void TcxScrollBar::DragThumbTo(Integer X, Integer Y) {
  TRect area = Rect(0, 0, width_, height_);
  if (kind_ == sbHorizontal)
    area = cxRectInflate(area, TrackAlongMargin, TrackAcrossMargin);
  else
    area = cxRectInflate(area, TrackAcrossMargin, TrackAlongMargin);
  if (unlimitedTracking_ || PtInRect(area, TPoint{X, Y})) {
    TcxScrollBarViewInfo& vi = *viewInfo_;
    const bool horz = kind_ == sbHorizontal;
    Integer offset = horz ? X - downMousePos_.X : Y - downMousePos_.Y;
    if (offset != 0) {
      const Integer saved = horz ? saveThumbnailPos_.X : saveThumbnailPos_.Y;
      const Integer lowest = vi.TrackStart() - saved;
      const Integer highest = vi.TrackEnd() - vi.ThumbLength() - saved;
      offset = std::clamp(offset, lowest, std::max(lowest, highest));
      vi.SetThumbnailPos(saved + offset);
      vi.AdjustPageRects();
      Repaint();
      const Integer pos = GetPositionFromThumbnail();
      if (pos != position_) {
        position_ = pos;
        DoScroll(sbpThumbnail);
      }
    }
  } else if (position_ != savePosition_) {
    SetPosition(savePosition_);
    DoScroll(sbpThumbnail);
  }
}

void TcxScrollBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (pressedPart_ == sbpThumbnail) {
    DragThumbTo(X, Y);
    return;
  }
  const TcxScrollBarPart part = GetScrollBarPart(TPoint{X, Y});
  if (pressedPart_ != sbpNone) timer_->SetEnabled(part == pressedPart_);
  if (part != hotPart_) {
    hotPart_ = part;
    if (GetPainter()->IsButtonHotTrack()) Repaint();
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
                           Integer Y) {
  CancelScroll();
  hotPart_ = GetScrollBarPart(TPoint{X, Y});
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TcxScrollBar::MouseEnterNotify() {
  if (GetPainter()->IsButtonHotTrack() || IsRepeatingPart(pressedPart_))
    Repaint();
}

void TcxScrollBar::MouseLeaveNotify() {
  if (!IsThumbDragging()) hotPart_ = sbpNone;
  if (GetPainter()->IsButtonHotTrack() || IsRepeatingPart(pressedPart_))
    Invalidate();
}

void TcxScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_CANCELMODE:
      TCustomControl::Dispatch(Message);
      CancelScroll();
      return;
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(Message);
      viewInfo_->Calculate();
      if (!enabled_) CancelScroll();
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      TCustomControl::Dispatch(Message);
      if (!visible_) CancelScroll();
      return;
    case CM_MOUSEENTER:
      TCustomControl::Dispatch(Message);
      MouseEnterNotify();
      return;
    case CM_MOUSELEAVE:
      TCustomControl::Dispatch(Message);
      MouseLeaveNotify();
      return;
    case CM_SYSCOLORCHANGE:
      UpdateScrollBarBitmaps();
      TCustomControl::Dispatch(Message);
      return;
    case CN_CTLCOLORSCROLLBAR:
      UpdateScrollBarBitmaps();
      Message.Result = ::DefWindowProcA(Handle(), Message.Msg - CN_BASE,
                                        Message.WParam, Message.LParam);
      return;
    case CN_HSCROLL:
    case CN_VSCROLL:
      InternalScroll(static_cast<TScrollCode>(Message.WParamLo()));
      return;
    default:
      TCustomControl::Dispatch(Message);
  }
}
