#include "cxPCPaintersSides.h"

#include <vector>

#include "cxPCPainters.h"

TcxBorder cxPCOuterSide(TcxTabPosition APosition) {
  switch (APosition) {
    case tpBottom:
      return bBottom;
    case tpLeft:
      return bLeft;
    case tpRight:
      return bRight;
    default:
      return bTop;
  }
}

TcxBorder cxPCPageSide(TcxTabPosition APosition) {
  switch (APosition) {
    case tpBottom:
      return bTop;
    case tpLeft:
      return bRight;
    case tpRight:
      return bLeft;
    default:
      return bBottom;
  }
}

bool cxPCIsHorizontalPosition(TcxTabPosition APosition) {
  return APosition == tpTop || APosition == tpBottom;
}

TcxBorder cxPCRowStartSide(TcxTabPosition APosition) {
  return cxPCIsHorizontalPosition(APosition) ? bLeft : bTop;
}

TcxBorder cxPCRowEndSide(TcxTabPosition APosition) {
  return cxPCIsHorizontalPosition(APosition) ? bRight : bBottom;
}

void cxPCExtendSide(TRect& R, TcxBorder ASide, Integer ADelta) {
  switch (ASide) {
    case bLeft:
      R.Left -= ADelta;
      break;
    case bTop:
      R.Top -= ADelta;
      break;
    case bRight:
      R.Right += ADelta;
      break;
    case bBottom:
      R.Bottom += ADelta;
      break;
  }
}

TRect cxPCSideStrip(const TRect& R, TcxBorder ASide, Integer AThickness,
                    bool AOutside) {
  TRect strip = R;
  switch (ASide) {
    case bLeft:
      strip.Right = AOutside ? R.Left : R.Left + AThickness;
      strip.Left = strip.Right - AThickness;
      break;
    case bTop:
      strip.Bottom = AOutside ? R.Top : R.Top + AThickness;
      strip.Top = strip.Bottom - AThickness;
      break;
    case bRight:
      strip.Left = AOutside ? R.Right : R.Right - AThickness;
      strip.Right = strip.Left + AThickness;
      break;
    case bBottom:
      strip.Top = AOutside ? R.Bottom : R.Bottom - AThickness;
      strip.Bottom = strip.Top + AThickness;
      break;
  }
  return strip;
}

void cxPCDrawBorders(TcxCanvas* ACanvas, TRect& R,
                     std::initializer_list<TcxBorder> ABorders,
                     std::initializer_list<TColor> AColors, bool AExclude) {
  const std::vector<TcxBorder> borders(ABorders);
  std::vector<TColor> colors(AColors);
  colors.resize(borders.size(), colors.empty() ? clNone : colors.back());
  DrawBorder(ACanvas, R, borders.data(), colors.data(),
             static_cast<Integer>(borders.size()), AExclude);
}

TRect cxPCTabTopFrameRect(TcxTab* ATab) {
  const TRect r = ATab->FullRect();
  if (cxPCIsHorizontalPosition(ATab->PaintingPosition())) return r;
  return {r.Left, r.Bottom - r.Width(), r.Left + r.Height(), r.Bottom};
}

bool cxPCIsPaintingPositionIndexIn(Integer AIndex,
                                   std::initializer_list<Integer> AIndexes) {
  for (Integer i : AIndexes)
    if (i == AIndex) return true;
  return false;
}

void cxPCFrameNavigatorButton(TcxCanvas* ACanvas, TRect& ARect,
                              TcxPCNavigatorButtonState AState) {
  const TColor color =
      AState == nbsNormal || AState == nbsDisabled ? clBtnShadow : TColor(0);
  ACanvas->FrameRect(ARect, color);
  InflateRect(ARect, -1, -1);
}

Integer cxPCCloseSpacedButtonsDistance(TcxPCNavigatorButton AButton1,
                                       TcxPCNavigatorButton AButton2) {
  return AButton1 == nbClose || AButton2 == nbClose ? 3 : 1;
}
