// The arithmetic of the editing control's layout, apart from any window:
// clipping a cell and placing its editor, snapping a sizing mark to whole
// increments, the place arrows' outline and the directions an edge
// auto-scroll takes. Platform independent.
#pragma once

#include "Types.h"

inline bool cxInRange(Integer Value, Integer AMin, Integer AMax) {
  return AMin <= Value && Value <= AMax;
}
// True when Value lies in the range; otherwise clamps it and answers False.
bool cxRange(Integer& Value, Integer AMin, Integer AMax);
template <class T>
T cxSetValue(bool ACondition, const T& A, const T& B) {
  return ACondition ? A : B;
}

// Which sides of a cell carry a one-pixel border line.
struct TcxCellBorderSides {
  bool Left = false;
  bool Top = false;
  bool Right = false;
  bool Bottom = false;
};

// A cell's rectangles: the display rectangle cut to the available area
// ((0, 0, 0, 0) and invisible when nothing shows), the editor's bounds
// inside the borders, and the visible part of those bounds inset by the
// content offset, where an in-place editor goes ((0, 0, 0, 0) when only
// border lines show).
struct TcxCellRects {
  bool Visible = false;
  TRect ClipRect;
  TRect EditBounds;
  TRect VisibleEditRect;
};
TcxCellRects cxCalculateCellRects(const TRect& ADisplayRect,
                                  const TRect& AAvailableRect,
                                  const TcxCellBorderSides& ABorders,
                                  bool AHasBorders,
                                  const TRect& AContentOffset);

// Whole increments between two mouse coordinates: rounded half to even
// for the mark, truncated for a size applied while dragging.
Integer cxSizingSteps(Integer AFrom, Integer ATo, Integer AIncrement,
                      bool ATruncate);

enum TcxPlaceArrowsSide : Byte { pasLeft, pasTop, pasRight, pasBottom };
// The two seven-point polygons of the place arrows that point at ASide of
// ARect, in ARect's coordinates.
void cxGetPlaceArrowsPolygons(const TRect& ARect, TcxPlaceArrowsSide ASide,
                              TPoint (&AFirst)[7], TPoint (&ASecond)[7]);

// Bits of the directions an edge auto-scroll takes.
constexpr Byte cxasdLeft = 1, cxasdTop = 2, cxasdRight = 4, cxasdBottom = 8;
// None inside AArea; else left or right, and top or bottom, of the sides
// checked that P lies on or beyond.
Byte cxAutoScrollDirections(const TRect& AArea, const TPoint& P,
                            bool ACheckHorz, bool ACheckVert);
