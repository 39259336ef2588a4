// Layout arithmetic on TRect, TPoint and TSize, and two persistent value
// objects with change notification. Rectangles are half open: a point is
// inside when Left <= x < Right and Top <= y < Bottom. Every routine that
// returns a rectangle returns a new value and leaves its arguments alone.
// Platform independent.
#pragma once

#include <vector>

#include "Classes.h"
#include "Types.h"

inline constexpr TRect cxInvalidRect{-1, -1, -1, -1};
inline constexpr TPoint cxInvalidPoint{-1, -1};
inline constexpr TRect cxNullRect{0, 0, 0, 0};
inline constexpr TSize cxNullSize{0, 0};
inline constexpr TPoint cxNullPoint{0, 0};

using TPointArray = std::vector<TPoint>;

enum TcxPtInRectType : Byte {
  ptrtNone,
  ptrtArea,
  ptrtLeft,
  ptrtTop,
  ptrtRight,
  ptrtBottom
};

// ---------------------------------------------------------------------------
// Rectangles
// ---------------------------------------------------------------------------

TRect cxRect(Integer left, Integer top, Integer right, Integer bottom);
TRect cxRect(const TPoint& topLeft, const TPoint& bottomRight);
TRect cxRectBounds(Integer left, Integer top, Integer width, Integer height);
Integer cxRectWidth(const TRect& r);
Integer cxRectHeight(const TRect& r);
TSize cxRectSize(const TRect& r);
// The width for index 0, the height for any other.
Integer cxRectGetSize(const TRect& r, Integer index);
// Left, Top, Right, Bottom for 0..3; 0 for any other index.
Integer cxRectGetItem(const TRect& r, Integer index);
TPoint cxRectLeftBottom(const TRect& r);
TPoint cxRectRightTop(const TRect& r);
TPoint cxRectCenter(const TRect& r);
// A rectangle of the given size centred in r.
TRect cxRectCenter(const TRect& r, Integer width, Integer height);
TRect cxRectCenter(const TRect& r, const TSize& size);
bool cxRectContain(const TRect& bounds, const TRect& inner);
// r shrunk by the four margins.
TRect cxRectContent(const TRect& r, const TRect& margins);
TRect cxRectInflate(const TRect& r, Integer dx, Integer dy);
TRect cxRectInflate(const TRect& r, Integer left, Integer top, Integer right,
                    Integer bottom);
// The common part; false, with result cxNullRect, when it is empty.
bool cxRectIntersect(TRect& result, const TRect& r1, const TRect& r2);
bool cxRectIntersect(const TRect& r1, const TRect& r2);
TRect cxRectInvert(const TRect& r);
bool cxRectIsEmpty(const TRect& r);
bool cxRectIsEqual(const TRect& r1, const TRect& r2);
bool cxRectCompare(const TRect& r1, const TRect& r2);
bool cxRectIsInvalid(const TRect& r);
bool cxRectIsNull(const TRect& r);
void cxRectMinMaxInit(Integer& min, Integer& max);
void cxRectMinMaxHeight(const TRect& r, Integer& max, Integer& min);
void cxRectMinMaxWidth(const TRect& r, Integer& max, Integer& min);
TRect cxRectOffset(const TRect& r, Integer dx, Integer dy);
TRect cxRectOffset(const TRect& r, const TPoint& p);
TRect cxRectOffset(const TRect& r, const TPointArray& points);
TRect cxRectOffsetHorz(const TRect& r, Integer dx);
TRect cxRectOffsetVert(const TRect& r, Integer dy);
// The bands by which r1 and r2 stick out below (a, c) and to the right
// (b, d) of each other; cxNullRect where they end level.
void cxRectOverlapped(const TRect& r1, const TRect& r2, TRect& a, TRect& b,
                      TRect& c, TRect& d);
bool cxRectPtIn(const TRect& r, const TPoint& p);
bool cxRectPtIn(const TRect& r, Integer x, Integer y);
// Where a point lies relative to r and edge bands of the given widths around
// its sides. Where two bands meet, right wins over bottom, bottom over left
// and left over top.
TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y, Integer d);
TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y, Integer dx,
                             Integer dy);
TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y,
                             Integer dLeft, Integer dTop, Integer dRight,
                             Integer dBottom);
TRect cxRectScaleWidth(const TRect& r, Integer x1, Integer x2, Integer w1,
                       Integer w2);
TRect cxRectScaleHeight(const TRect& r, Integer y1, Integer y2, Integer h1,
                        Integer h2);
TRect cxRectSetLeft(const TRect& r, Integer left);
TRect cxRectSetLeft(const TRect& r, Integer left, Integer width);
TRect cxRectSetTop(const TRect& r, Integer top);
TRect cxRectSetTop(const TRect& r, Integer top, Integer height);
TRect cxRectSetRight(const TRect& r, Integer right);
TRect cxRectSetRight(const TRect& r, Integer right, Integer width);
TRect cxRectSetBottom(const TRect& r, Integer bottom);
TRect cxRectSetBottom(const TRect& r, Integer bottom, Integer height);
TRect cxRectSetWidth(const TRect& r, Integer width);
TRect cxRectSetWidth(const TRect& r, Integer left, Integer width);
TRect cxRectSetHeight(const TRect& r, Integer height);
TRect cxRectSetSize(const TRect& r, Integer width, Integer height);
TRect cxRectSetXPos(const TRect& r, Integer left, Integer right);
TRect cxRectSetYPos(const TRect& r, Integer top, Integer bottom);
void cxRectSplitHorz(const TRect& r, TRect& leftPart, TRect& rightPart);
void cxRectSplitVert(const TRect& r, TRect& topPart, TRect& bottomPart);
// r1 grown to cover r2; r2 without positive width or height changes nothing.
TRect cxRectUnion(const TRect& r1, const TRect& r2);

// ---------------------------------------------------------------------------
// Points and sizes
// ---------------------------------------------------------------------------

TPoint cxPoint(Integer x, Integer y);
TPoint cxPoint(const TSize& size);
TPoint cxPointInvert(const TPoint& p);
bool cxPointIsEqual(const TPoint& p1, const TPoint& p2);
bool cxPointIsNull(const TPoint& p);
// x for index 0, y for any other.
Integer cxPointGetItem(const TPoint& p, Integer index);
TPoint cxPointReplaceItem(const TPoint& p, Integer index, Integer value);
TPoint cxPointOffset(const TPoint& p, Integer dx, Integer dy);
TPoint cxPointOffset(const TPoint& p1, const TPoint& p2);
TPoint cxPointOffset(const TPoint& p, const TPointArray& points);
TPoint cxPointSum(const TPointArray& points);
TSize cxSize(Integer cx, Integer cy);
bool cxSizeIsEqual(const TSize& s1, const TSize& s2);

// ---------------------------------------------------------------------------
// Persistent value objects
// ---------------------------------------------------------------------------

// A rectangle that tells OnChange about every real change: setting a value
// equal to the stored one notifies nothing.
class TcxRect : public TPersistent {
  VARNEL_CLASS(TcxRect, TPersistent)
 public:
  explicit TcxRect(TPersistent* AOwner = nullptr) : owner_(AOwner) {}

  // From a TcxRect; any other source changes nothing.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  void SetRect(const TRect& r);
  const TRect& GetData() const { return rect_; }
  TRect Rect() const { return rect_; }
  // 0 Left, 1 Top, 2 Right, 3 Bottom.
  Integer GetValue(Integer index) const;
  void SetValue(Integer index, Integer value);
  Integer Left() const { return rect_.Left; }
  Integer Top() const { return rect_.Top; }
  Integer Right() const { return rect_.Right; }
  Integer Bottom() const { return rect_.Bottom; }
  void SetLeft(Integer v) { SetValue(0, v); }
  void SetTop(Integer v) { SetValue(1, v); }
  void SetRight(Integer v) { SetValue(2, v); }
  void SetBottom(Integer v) { SetValue(3, v); }
  Integer GetWidth() const { return rect_.Right - rect_.Left; }
  Integer GetHeight() const { return rect_.Bottom - rect_.Top; }
  void SetWidth(Integer w);
  void SetHeight(Integer h);
  // Corners: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right. Setting
  // another index changes nothing; reading one gives cxNullPoint.
  TPoint GetVertex(Integer index) const;
  void SetVertex(Integer index, const TPoint& p);
  bool IsEmpty() const { return cxRectIsEmpty(rect_); }
  bool IsEqual(const TRect& r) const { return rect_ == r; }
  bool IsEqual(const TcxRect* r) const { return r && rect_ == r->rect_; }

  TNotifyEvent OnChange;

 protected:
  virtual void DoChange();

 private:
  TPersistent* owner_;
  TRect rect_;
};

// A size whose components never go below zero.
class TcxSize : public TPersistent {
  VARNEL_CLASS(TcxSize, TPersistent)
 public:
  explicit TcxSize(TPersistent* AOwner = nullptr) : owner_(AOwner) {}

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  // Negative components become 0; notifies when the result differs.
  virtual void SetSize(const TSize& s);
  const TSize& GetSize() const { return size_; }
  const TSize& GetData() const { return size_; }
  // Index 1 the width, any other the height.
  virtual Integer GetValue(Integer index) const;
  void SetValue(Integer index, Integer value);
  Integer Height() const { return size_.cy; }
  Integer Width() const { return size_.cx; }
  void SetHeight(Integer v) { SetValue(0, v); }
  void SetWidth(Integer v) { SetValue(1, v); }
  bool IsEmpty() const { return size_.cx == 0 && size_.cy == 0; }
  bool IsEqual(const TSize& s) const { return size_ == s; }
  bool IsEqual(const TcxSize* s) const { return s && size_ == s->size_; }
  // Form streams write a component only when it is not 0.
  virtual bool IsSizeStored(Integer index) const;
  bool IsHeightStored() const { return IsSizeStored(0); }
  bool IsWidthStored() const { return IsSizeStored(1); }

  TNotifyEvent OnChange;

 protected:
  virtual void DoChange();

 private:
  TPersistent* owner_;
  TSize size_;
};
