#include "cxGeometry.h"

#include <algorithm>

#include "SysUtils.h"

// ---------------------------------------------------------------------------
// Rectangles
// ---------------------------------------------------------------------------

TRect cxRect(Integer left, Integer top, Integer right, Integer bottom) {
  return {left, top, right, bottom};
}

TRect cxRect(const TPoint& topLeft, const TPoint& bottomRight) {
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

TRect cxRectBounds(Integer left, Integer top, Integer width, Integer height) {
  return {left, top, left + width, top + height};
}

Integer cxRectWidth(const TRect& r) { return r.Right - r.Left; }
Integer cxRectHeight(const TRect& r) { return r.Bottom - r.Top; }
TSize cxRectSize(const TRect& r) { return {cxRectWidth(r), cxRectHeight(r)}; }

Integer cxRectGetSize(const TRect& r, Integer index) {
  return index == 0 ? cxRectWidth(r) : cxRectHeight(r);
}

Integer cxRectGetItem(const TRect& r, Integer index) {
  switch (index) {
    case 0:
      return r.Left;
    case 1:
      return r.Top;
    case 2:
      return r.Right;
    case 3:
      return r.Bottom;
    default:
      return 0;
  }
}

TPoint cxRectLeftBottom(const TRect& r) { return {r.Left, r.Bottom}; }
TPoint cxRectRightTop(const TRect& r) { return {r.Right, r.Top}; }

TPoint cxRectCenter(const TRect& r) {
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

TRect cxRectCenter(const TRect& r, Integer width, Integer height) {
  Integer left = (r.Left + r.Right - width) / 2;
  Integer top = (r.Top + r.Bottom - height) / 2;
  return {left, top, left + width, top + height};
}

TRect cxRectCenter(const TRect& r, const TSize& size) {
  return cxRectCenter(r, size.cx, size.cy);
}

bool cxRectContain(const TRect& bounds, const TRect& inner) {
  return inner.Left >= bounds.Left && inner.Top >= bounds.Top &&
         inner.Right <= bounds.Right && inner.Bottom <= bounds.Bottom;
}

TRect cxRectContent(const TRect& r, const TRect& margins) {
  return {r.Left + margins.Left, r.Top + margins.Top, r.Right - margins.Right,
          r.Bottom - margins.Bottom};
}

TRect cxRectInflate(const TRect& r, Integer dx, Integer dy) {
  return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

TRect cxRectInflate(const TRect& r, Integer left, Integer top, Integer right,
                    Integer bottom) {
  return {r.Left - left, r.Top - top, r.Right + right, r.Bottom + bottom};
}

bool cxRectIntersect(TRect& result, const TRect& r1, const TRect& r2) {
  TRect r{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top),
          std::min(r1.Right, r2.Right), std::min(r1.Bottom, r2.Bottom)};
  if (cxRectIsEmpty(r)) {
    result = cxNullRect;
    return false;
  }
  result = r;
  return true;
}

bool cxRectIntersect(const TRect& r1, const TRect& r2) {
  TRect unused;
  return cxRectIntersect(unused, r1, r2);
}

TRect cxRectInvert(const TRect& r) {
  return {-r.Left, -r.Top, -r.Right, -r.Bottom};
}

bool cxRectIsEmpty(const TRect& r) {
  return r.Left >= r.Right || r.Top >= r.Bottom;
}

bool cxRectIsEqual(const TRect& r1, const TRect& r2) { return r1 == r2; }
bool cxRectCompare(const TRect& r1, const TRect& r2) { return r1 == r2; }
bool cxRectIsInvalid(const TRect& r) { return r == cxInvalidRect; }
bool cxRectIsNull(const TRect& r) { return r == cxNullRect; }

void cxRectMinMaxInit(Integer& min, Integer& max) {
  min = 2147483647;
  max = -1;
}

void cxRectMinMaxHeight(const TRect& r, Integer& max, Integer& min) {
  max = std::max(max, r.Bottom);
  min = std::min(min, r.Top);
}

void cxRectMinMaxWidth(const TRect& r, Integer& max, Integer& min) {
  max = std::max(max, r.Right);
  min = std::min(min, r.Left);
}

TRect cxRectOffset(const TRect& r, Integer dx, Integer dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

TRect cxRectOffset(const TRect& r, const TPoint& p) {
  return cxRectOffset(r, p.X, p.Y);
}

TRect cxRectOffset(const TRect& r, const TPointArray& points) {
  return cxRectOffset(r, cxPointSum(points));
}

TRect cxRectOffsetHorz(const TRect& r, Integer dx) {
  return cxRectOffset(r, dx, 0);
}

TRect cxRectOffsetVert(const TRect& r, Integer dy) {
  return cxRectOffset(r, 0, dy);
}

namespace {

// A band of source along one axis: with farSide the far edge moves to the
// near edge + n, else the near edge moves to the far edge + n (n negative
// then). Nothing for n = 0.
TRect OverlapBand(const TRect& source, bool vertical, bool farSide, Integer n) {
  if (n == 0) return cxNullRect;
  TRect r = source;
  if (vertical) {
    if (farSide) {
      r.Bottom = r.Top + n;
    } else {
      r.Top = r.Bottom + n;
    }
  } else {
    if (farSide) {
      r.Right = r.Left + n;
    } else {
      r.Left = r.Right + n;
    }
  }
  return r;
}

}  // namespace

void cxRectOverlapped(const TRect& r1, const TRect& r2, TRect& a, TRect& b,
                      TRect& c, TRect& d) {
  Integer v = r1.Bottom - r2.Bottom;
  a = OverlapBand(r1, true, v < 0, -v);
  c = OverlapBand(r2, true, v > 0, v);
  Integer h = r1.Right - r2.Right;
  b = OverlapBand(r1, false, h < 0, -h);
  d = OverlapBand(r2, false, h > 0, h);
}

bool cxRectPtIn(const TRect& r, const TPoint& p) {
  return cxRectPtIn(r, p.X, p.Y);
}

bool cxRectPtIn(const TRect& r, Integer x, Integer y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y, Integer d) {
  return cxRectPtInEx(r, x, y, d, d, d, d);
}

TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y, Integer dx,
                             Integer dy) {
  return cxRectPtInEx(r, x, y, dx, dy, dx, dy);
}

TcxPtInRectType cxRectPtInEx(const TRect& r, Integer x, Integer y,
                             Integer dLeft, Integer dTop, Integer dRight,
                             Integer dBottom) {
  auto inBand = [](Integer v, Integer d) { return v >= -d && v < d; };
  if (cxRectPtIn(r, x, y)) return ptrtArea;
  if (!cxRectPtIn(cxRectInflate(r, dLeft, dTop, dRight, dBottom), x, y)) {
    return ptrtNone;
  }
  if (inBand(x - r.Right, dRight)) return ptrtRight;
  if (inBand(y - r.Bottom, dBottom)) return ptrtBottom;
  if (inBand(x - r.Left, dLeft)) return ptrtLeft;
  return ptrtTop;
}

TRect cxRectScaleWidth(const TRect& r, Integer x1, Integer x2, Integer w1,
                       Integer w2) {
  TRect result = r;
  result.Left = x2 + MulDiv(x1 - r.Left, w2, w1);
  result.Right = result.Left + MulDiv(r.Right - r.Left, w2, w1);
  return result;
}

TRect cxRectScaleHeight(const TRect& r, Integer y1, Integer y2, Integer h1,
                        Integer h2) {
  TRect result = r;
  result.Top = y2 + MulDiv(y1 - r.Top, h2, h1);
  result.Bottom = result.Top + MulDiv(r.Bottom - r.Top, h2, h1);
  return result;
}

TRect cxRectSetLeft(const TRect& r, Integer left) {
  return cxRectSetLeft(r, left, cxRectWidth(r));
}

TRect cxRectSetLeft(const TRect& r, Integer left, Integer width) {
  return {left, r.Top, left + width, r.Bottom};
}

TRect cxRectSetTop(const TRect& r, Integer top) {
  return cxRectSetTop(r, top, cxRectHeight(r));
}

TRect cxRectSetTop(const TRect& r, Integer top, Integer height) {
  return {r.Left, top, r.Right, top + height};
}

TRect cxRectSetRight(const TRect& r, Integer right) {
  return cxRectSetRight(r, right, cxRectWidth(r));
}

TRect cxRectSetRight(const TRect& r, Integer right, Integer width) {
  return {right - width, r.Top, right, r.Bottom};
}

TRect cxRectSetBottom(const TRect& r, Integer bottom) {
  return cxRectSetBottom(r, bottom, cxRectHeight(r));
}

TRect cxRectSetBottom(const TRect& r, Integer bottom, Integer height) {
  return {r.Left, bottom - height, r.Right, bottom};
}

TRect cxRectSetWidth(const TRect& r, Integer width) {
  return {r.Left, r.Top, r.Left + width, r.Bottom};
}

TRect cxRectSetWidth(const TRect& r, Integer left, Integer width) {
  return {left, r.Top, left + width, r.Bottom};
}

TRect cxRectSetHeight(const TRect& r, Integer height) {
  return {r.Left, r.Top, r.Right, r.Top + height};
}

TRect cxRectSetSize(const TRect& r, Integer width, Integer height) {
  return {r.Left, r.Top, r.Left + width, r.Top + height};
}

TRect cxRectSetXPos(const TRect& r, Integer left, Integer right) {
  return {left, r.Top, right, r.Bottom};
}

TRect cxRectSetYPos(const TRect& r, Integer top, Integer bottom) {
  return {r.Left, top, r.Right, bottom};
}

void cxRectSplitHorz(const TRect& r, TRect& leftPart, TRect& rightPart) {
  Integer middle = (r.Left + r.Right) / 2;
  leftPart = {r.Left, r.Top, middle, r.Bottom};
  rightPart = {middle, r.Top, r.Right, r.Bottom};
}

void cxRectSplitVert(const TRect& r, TRect& topPart, TRect& bottomPart) {
  Integer middle = (r.Top + r.Bottom) / 2;
  topPart = {r.Left, r.Top, r.Right, middle};
  bottomPart = {r.Left, middle, r.Right, r.Bottom};
}

TRect cxRectUnion(const TRect& r1, const TRect& r2) {
  if (r2.Right - r2.Left <= 0 || r2.Bottom - r2.Top <= 0) return r1;
  return {std::min(r1.Left, r2.Left), std::min(r1.Top, r2.Top),
          std::max(r1.Right, r2.Right), std::max(r1.Bottom, r2.Bottom)};
}

// ---------------------------------------------------------------------------
// Points and sizes
// ---------------------------------------------------------------------------

TPoint cxPoint(Integer x, Integer y) { return {x, y}; }
TPoint cxPoint(const TSize& size) { return {size.cx, size.cy}; }
TPoint cxPointInvert(const TPoint& p) { return {-p.X, -p.Y}; }
bool cxPointIsEqual(const TPoint& p1, const TPoint& p2) { return p1 == p2; }
bool cxPointIsNull(const TPoint& p) { return p == cxNullPoint; }

Integer cxPointGetItem(const TPoint& p, Integer index) {
  return index == 0 ? p.X : p.Y;
}

TPoint cxPointReplaceItem(const TPoint& p, Integer index, Integer value) {
  TPoint result = p;
  (index == 0 ? result.X : result.Y) = value;
  return result;
}

TPoint cxPointOffset(const TPoint& p, Integer dx, Integer dy) {
  return {p.X + dx, p.Y + dy};
}

TPoint cxPointOffset(const TPoint& p1, const TPoint& p2) {
  return cxPointOffset(p1, p2.X, p2.Y);
}

TPoint cxPointOffset(const TPoint& p, const TPointArray& points) {
  return cxPointOffset(p, cxPointSum(points));
}

TPoint cxPointSum(const TPointArray& points) {
  TPoint sum = cxNullPoint;
  for (const TPoint& p : points) sum = cxPointOffset(sum, p);
  return sum;
}

TSize cxSize(Integer cx, Integer cy) { return {cx, cy}; }
bool cxSizeIsEqual(const TSize& s1, const TSize& s2) { return s1 == s2; }

// ---------------------------------------------------------------------------
// TcxRect
// ---------------------------------------------------------------------------

void TcxRect::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TcxRect*>(Source)) SetRect(other->rect_);
}

void TcxRect::SetRect(const TRect& r) {
  if (r == rect_) return;
  rect_ = r;
  DoChange();
}

Integer TcxRect::GetValue(Integer index) const {
  return cxRectGetItem(rect_, index);
}

void TcxRect::SetValue(Integer index, Integer value) {
  TRect r = rect_;
  switch (index) {
    case 0:
      r.Left = value;
      break;
    case 1:
      r.Top = value;
      break;
    case 2:
      r.Right = value;
      break;
    case 3:
      r.Bottom = value;
      break;
    default:
      return;
  }
  SetRect(r);
}

void TcxRect::SetWidth(Integer w) { SetRect(cxRectSetWidth(rect_, w)); }
void TcxRect::SetHeight(Integer h) { SetRect(cxRectSetHeight(rect_, h)); }

TPoint TcxRect::GetVertex(Integer index) const {
  switch (index) {
    case 0:
      return {rect_.Left, rect_.Top};
    case 1:
      return {rect_.Right, rect_.Top};
    case 2:
      return {rect_.Left, rect_.Bottom};
    case 3:
      return {rect_.Right, rect_.Bottom};
    default:
      return cxNullPoint;
  }
}

void TcxRect::SetVertex(Integer index, const TPoint& p) {
  TRect r = rect_;
  switch (index) {
    case 0:
      r.Left = p.X;
      r.Top = p.Y;
      break;
    case 1:
      r.Right = p.X;
      r.Top = p.Y;
      break;
    case 2:
      r.Left = p.X;
      r.Bottom = p.Y;
      break;
    case 3:
      r.Right = p.X;
      r.Bottom = p.Y;
      break;
    default:
      return;
  }
  SetRect(r);
}

void TcxRect::DoChange() { OnChange(this); }

// ---------------------------------------------------------------------------
// TcxSize
// ---------------------------------------------------------------------------

void TcxSize::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TcxSize*>(Source)) {
    SetSize(other->size_);
  } else {
    inherited::Assign(Source);
  }
}

void TcxSize::SetSize(const TSize& s) {
  TSize value{std::max(s.cx, 0), std::max(s.cy, 0)};
  if (value == size_) return;
  size_ = value;
  DoChange();
}

Integer TcxSize::GetValue(Integer index) const {
  return index == 1 ? size_.cx : size_.cy;
}

void TcxSize::SetValue(Integer index, Integer value) {
  TSize s = size_;
  (index == 1 ? s.cx : s.cy) = value;
  SetSize(s);
}

bool TcxSize::IsSizeStored(Integer index) const { return GetValue(index) != 0; }

void TcxSize::DoChange() { OnChange(this); }

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void GeometryStartup() {
  TPublished<TcxRect>()
      .IndexedProperty("Left", 0, &TcxRect::GetValue, &TcxRect::SetValue)
      .IndexedProperty("Top", 1, &TcxRect::GetValue, &TcxRect::SetValue)
      .IndexedProperty("Right", 2, &TcxRect::GetValue, &TcxRect::SetValue)
      .IndexedProperty("Bottom", 3, &TcxRect::GetValue, &TcxRect::SetValue)
      .Field("OnChange", &TcxRect::OnChange);
  TPublished<TcxSize>()
      .IndexedProperty("Height", 0, &TcxSize::GetValue, &TcxSize::SetValue)
      .Stored(&TcxSize::IsHeightStored)
      .IndexedProperty("Width", 1, &TcxSize::GetValue, &TcxSize::SetValue)
      .Stored(&TcxSize::IsWidthStored);
  RegisterClass(TcxRect::StaticClass());
}

void GeometryShutdown() {
  UnRegisterClass(TcxRect::StaticClass());
  UnpublishClass(TcxSize::StaticClass());
  UnpublishClass(TcxRect::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxGeometry, ({"Classes"}), &GeometryStartup, &GeometryShutdown);
