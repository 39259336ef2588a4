// Points, sizes and rectangles. Rectangles are half open: Right and Bottom
// lie just outside. The layouts match the system's POINT, SIZE and RECT
// (four-byte signed fields in the same order), so the Windows layer passes
// them to the API by address. Platform independent.
#pragma once

#include <algorithm>

#include "System.h"

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend bool operator==(const TPoint& a, const TPoint& b) {
    return a.X == b.X && a.Y == b.Y;
  }
  friend bool operator!=(const TPoint& a, const TPoint& b) { return !(a == b); }
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend bool operator==(const TSize& a, const TSize& b) {
    return a.cx == b.cx && a.cy == b.cy;
  }
  friend bool operator!=(const TSize& a, const TSize& b) { return !(a == b); }
};

struct TSmallPoint {
  Smallint x = 0;
  Smallint y = 0;
};

struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  Integer Width() const { return Right - Left; }
  Integer Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  void SetTopLeft(const TPoint& p) {
    Left = p.X;
    Top = p.Y;
  }
  void SetBottomRight(const TPoint& p) {
    Right = p.X;
    Bottom = p.Y;
  }

  friend bool operator==(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right &&
           a.Bottom == b.Bottom;
  }
  friend bool operator!=(const TRect& a, const TRect& b) { return !(a == b); }
};

static_assert(sizeof(TPoint) == 8 && sizeof(TSize) == 8 && sizeof(TRect) == 16,
              "must match the system's POINT, SIZE and RECT");

inline TPoint Point(Integer x, Integer y) { return {x, y}; }
inline TSmallPoint SmallPoint(Integer x, Integer y) {
  return {static_cast<Smallint>(x), static_cast<Smallint>(y)};
}
inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom) {
  return {left, top, right, bottom};
}
inline TRect Rect(const TPoint& topLeft, const TPoint& bottomRight) {
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}
inline TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
  return {left, top, left + width, top + height};
}

// A rectangle with no area (either side not positive) is empty.
inline bool IsRectEmpty(const TRect& r) {
  return r.Right <= r.Left || r.Bottom <= r.Top;
}
inline bool PtInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
inline bool EqualRect(const TRect& a, const TRect& b) { return a == b; }

// The common part of a and b; false, with dest emptied, when they do not
// overlap (as the system routine does).
inline bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top),
          std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (IsRectEmpty(r)) {
    dest = TRect{};
    return false;
  }
  dest = r;
  return true;
}

// The smallest rectangle holding both; an empty operand is ignored.
inline bool UnionRect(TRect& dest, const TRect& a, const TRect& b) {
  if (IsRectEmpty(a)) {
    dest = IsRectEmpty(b) ? TRect{} : b;
  } else if (IsRectEmpty(b)) {
    dest = a;
  } else {
    dest = {std::min(a.Left, b.Left), std::min(a.Top, b.Top),
            std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
  }
  return !IsRectEmpty(dest);
}

inline void OffsetRect(TRect& r, Integer dx, Integer dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}
inline void InflateRect(TRect& r, Integer dx, Integer dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}
inline TPoint CenterPoint(const TRect& r) {
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}
