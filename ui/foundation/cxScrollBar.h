// A scroll bar drawn by the look-and-feel painters instead of the system:
// two arrow buttons, a thumb and two page areas, auto-repeat while an arrow
// or page area is held, thumb dragging inside a tracking area, hot tracking
// and double-buffered painting.
#pragma once

#include <memory>

#include "Controls.h"
#include "StdCtrls.h"
//
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

class TcxScrollBar;
class TcxTimer;
class TdxThemeChangedNotificator;

// The rectangles of a scroll bar's parts, in its client coordinates.
class TcxScrollBarViewInfo : public TObject {
  VARNEL_CLASS(TcxScrollBarViewInfo, TObject)
 public:
  explicit TcxScrollBarViewInfo(TcxScrollBar* AScrollBar);

  virtual void CalculateRects();
  virtual void Calculate();
  void CalculateMinThumnailSize();
  void CalculateThumbnailRect();
  void AdjustPageRects();
  // Moves the thumb so that it starts at APosition along the bar.
  void SetThumbnailPos(Integer APosition);

  TRect LineDownRect;
  TRect PageDownRect;
  TRect PageUpRect;
  TcxScrollBar* ScrollBar;
  TRect ThumbnailRect;
  Integer MinThumbnailSize = 8;
  TRect LineUpRect;

  // The track between the two buttons, along the bar.
  Integer TrackStart() const;
  Integer TrackEnd() const;
  Integer ThumbStart() const;
  Integer ThumbLength() const;
  bool HasThumb() const { return !IsRectEmpty(ThumbnailRect); }
};
using TcxScrollBarViewInfoClass = TClass;

class TcxScrollBar : public TCustomControl {
  VARNEL_CLASS(TcxScrollBar, TCustomControl)
 public:
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;

  // --- Properties ---
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind Value);
  TScrollBarInc LargeChange() const { return largeChange_; }
  void SetLargeChange(TScrollBarInc Value) { largeChange_ = Value; }
  TScrollBarInc SmallChange() const { return smallChange_; }
  void SetSmallChange(TScrollBarInc Value) { smallChange_ = Value; }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value);
  Integer Max() const { return max_; }
  Integer Min() const { return min_; }
  Integer PageSize() const { return pageSize_; }
  Integer Position() const { return position_; }
  void SetMax(Integer Value);
  void SetMin(Integer Value);
  void SetPageSize(Integer Value);
  void SetPosition(Integer Value);
  bool UnlimitedTracking() const { return unlimitedTracking_; }
  void SetUnlimitedTracking(bool Value) { unlimitedTracking_ = Value; }
  TcxScrollBarPart PressedPart() const { return pressedPart_; }
  TcxScrollBarPart HotPart() const { return hotPart_; }
  TcxScrollBarViewInfo* ViewInfo() const { return viewInfo_.get(); }
  TcxTimer* Timer() const { return timer_.get(); }

  // --- Methods ---
  void SetParams(Integer APosition, Integer AMin, Integer AMax);
  // Raises EInvalidOperation when AMax < AMin or AMax < APageSize.
  void SetScrollParams(Integer AMin, Integer AMax, Integer APosition,
                       Integer APageSize, bool ARedraw = true);
  TcxLookAndFeelPainterClass GetPainter() const;
  TcxScrollBarPart GetScrollBarPart(const TPoint& P) const;
  Integer GetPositionFromThumbnail() const;
  void InternalScroll(TScrollCode AScrollCode);
  void DoScroll(TcxScrollBarPart APart);
  void CancelScroll();
  // The state a part is drawn in now.
  TcxButtonState GetPartState(TcxScrollBarPart APart) const;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                 Integer AHeight) override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  // --- Overridables ---
  virtual void Change();
  virtual TClass GetViewInfoClass();
  virtual void DoPaint(TcxCanvas* ACanvas);
  virtual void DrawScrollBarPart(TcxCanvas* ACanvas, const TRect& R,
                                 TcxScrollBarPart APart, TcxButtonState AState);
  virtual void Scroll(TScrollCode AScrollCode, Integer& AScrollPos);
  virtual void MouseEnterNotify();
  virtual void MouseLeaveNotify();

  void Paint() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues);
  void ThemeChanged();
  void OnTimer(TObject* Sender);
  bool IsThumbDragging() const { return pressedPart_ == sbpThumbnail; }

 private:
  friend class TcxScrollBarViewInfo;
  void RecalculateAndInvalidate();
  void DragThumbTo(Integer X, Integer Y);
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TcxCanvas> bitmapCanvas_;
  TPoint downMousePos_;
  TScrollBarKind kind_ = sbHorizontal;
  TScrollBarInc largeChange_ = 1;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  Integer max_ = 100;
  Integer min_ = 0;
  Integer pageSize_ = 0;
  Integer position_ = 0;
  Integer savePosition_ = 0;
  TPoint saveThumbnailPos_;
  TScrollBarInc smallChange_ = 1;
  std::unique_ptr<TdxThemeChangedNotificator> themeNotificator_;
  std::unique_ptr<TcxTimer> timer_;
  bool unlimitedTracking_ = false;
  TcxScrollBarPart pressedPart_ = sbpNone;
  TcxScrollBarPart hotPart_ = sbpNone;
  std::unique_ptr<TcxScrollBarViewInfo> viewInfo_;
  bool firstTick_ = false;
};

// The system's thickness of a vertical bar (cx) and a horizontal bar (cy).
TSize GetScrollBarSize();
