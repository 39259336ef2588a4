// The editing control's layout arithmetic.
#include "cxInplaceContainerLayout.h"

#include <cmath>

bool cxRange(Integer& Value, Integer AMin, Integer AMax) {
  if (cxInRange(Value, AMin, AMax)) return true;
  Value = Value < AMin ? AMin : AMax;
  return false;
}

TcxCellRects cxCalculateCellRects(const TRect& ADisplayRect,
                                  const TRect& AAvailableRect,
                                  const TcxCellBorderSides& ABorders,
                                  bool AHasBorders,
                                  const TRect& AContentOffset) {
  TcxCellRects result;
  TRect clip;
  IntersectRect(clip, ADisplayRect, AAvailableRect);
  result.Visible = clip.Left < clip.Right && clip.Top < clip.Bottom;
  result.ClipRect = result.Visible ? clip : TRect{0, 0, 0, 0};
  result.EditBounds = ADisplayRect;
  TRect visible = result.ClipRect;
  if (AHasBorders) {
    if (ABorders.Left) ++result.EditBounds.Left;
    if (ABorders.Top) ++result.EditBounds.Top;
    if (ABorders.Right) --result.EditBounds.Right;
    if (ABorders.Bottom) --result.EditBounds.Bottom;
    IntersectRect(visible, result.ClipRect, result.EditBounds);
    if (visible.Left >= visible.Right || visible.Top >= visible.Bottom) {
      result.VisibleEditRect = TRect{0, 0, 0, 0};
      return result;
    }
  }
  result.VisibleEditRect = TRect{visible.Left + AContentOffset.Left,
                                 visible.Top + AContentOffset.Top,
                                 visible.Right - AContentOffset.Right,
                                 visible.Bottom - AContentOffset.Bottom};
  return result;
}

Integer cxSizingSteps(Integer AFrom, Integer ATo, Integer AIncrement,
                      bool ATruncate) {
  if (AIncrement <= 0) AIncrement = 1;
  const double steps = static_cast<double>(ATo - AFrom) / AIncrement;
  return static_cast<Integer>(ATruncate ? std::trunc(steps)
                                        : std::nearbyint(steps));
}

void cxGetPlaceArrowsPolygons(const TRect& ARect, TcxPlaceArrowsSide ASide,
                              TPoint (&AFirst)[7], TPoint (&ASecond)[7]) {
  static constexpr Integer kVertFirst[7][2] = {
      {0, 0}, {-5, -6}, {-2, -6}, {-2, -9}, {3, -9}, {3, -6}, {6, -6}};
  static constexpr Integer kVertSecond[7][2] = {
      {0, -1}, {6, 6}, {3, 6}, {3, 9}, {-2, 9}, {-2, 6}, {-6, 6}};
  static constexpr Integer kHorzFirst[7][2] = {
      {0, 0}, {-6, -6}, {-6, -2}, {-9, -2}, {-9, 3}, {-6, 3}, {-6, 6}};
  static constexpr Integer kHorzSecond[7][2] = {
      {0, 0}, {6, 6}, {6, 3}, {9, 3}, {9, -2}, {6, -2}, {6, -6}};
  TPoint a, b;
  switch (ASide) {
    case pasLeft:
      a = TPoint{ARect.Left, ARect.Top};
      b = TPoint{ARect.Left, ARect.Bottom};
      break;
    case pasTop:
      a = TPoint{ARect.Left, ARect.Top};
      b = TPoint{ARect.Right, ARect.Top};
      break;
    case pasRight:
      a = TPoint{ARect.Right, ARect.Top};
      b = TPoint{ARect.Right, ARect.Bottom};
      break;
    default:
      a = TPoint{ARect.Left, ARect.Bottom};
      b = TPoint{ARect.Right, ARect.Bottom};
      break;
  }
  const bool vertical = ASide == pasLeft || ASide == pasRight;
  const auto& first = vertical ? kVertFirst : kHorzFirst;
  const auto& second = vertical ? kVertSecond : kHorzSecond;
  for (int i = 0; i < 7; ++i) {
    AFirst[i] = TPoint{a.X + first[i][0], a.Y + first[i][1]};
    ASecond[i] = TPoint{b.X + second[i][0], b.Y + second[i][1]};
  }
}

Byte cxAutoScrollDirections(const TRect& AArea, const TPoint& P,
                            bool ACheckHorz, bool ACheckVert) {
  if (PtInRect(AArea, P)) return 0;
  Byte result = 0;
  if (ACheckHorz) {
    if (P.X <= AArea.Left)
      result |= cxasdLeft;
    else if (P.X >= AArea.Right)
      result |= cxasdRight;
  }
  if (ACheckVert) {
    if (P.Y <= AArea.Top)
      result |= cxasdTop;
    else if (P.Y >= AArea.Bottom)
      result |= cxasdBottom;
  }
  return result;
}
