// The painters' menu operations: drawing constants, the menu frame, the
// detach caption, group separators and the expand band's double chevron.
#include <windows.h>

#include "Handles.h"
#include "dxBar.h"
#include "dxOffice11.h"

namespace {

void Fill(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ABrush);
}

void Frame(HDC DC, const TRect& R, HBRUSH ABrush) {
  RECT r = dxRECT(R);
  ::FrameRect(DC, &r, ABrush);
}

void Edge(HDC DC, const TRect& R, UINT AEdge, UINT AFlags) {
  RECT r = dxRECT(R);
  ::DrawEdge(DC, &r, AEdge, AFlags);
}

TRect Deflated(const TRect& R, Integer D) {
  return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D);
}

}  // namespace

void TdxBarPainter::SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas,
                                                    Integer ATextSize,
                                                    Integer& AMarkSize,
                                                    Integer& AArrowWidth) {
  AArrowWidth = SubMenuControlArrowWidth(ATextSize);
  SIZE digit{};
  if (ACanvas) ::GetTextExtentPoint32A(ACanvas->Handle(), "0", 1, &digit);
  AMarkSize = digit.cy + 1;
  const Integer b = SubMenuControlMarkArrowSize(AMarkSize);
  if (b % 2 != 0) AMarkSize = 2 * b + 4;
}

TRect TdxBarPainter::SubMenuControlGetItemIconRect(const TRect& R,
                                                   Integer AWidth) {
  return Rect(R.Left, R.Top, R.Left + AWidth, R.Bottom);
}

Integer TdxBarPainter::SubMenuControlGetItemTextIndent(
    const TdxBarSubMenuPaintInfo& AMenu) const {
  return SubMenuControlGetBandSize(AMenu) + 3;
}

TRect TdxBarPainter::SubMenuControlGetItemTextRect(
    const TdxBarSubMenuPaintInfo& AMenu, const TRect& R) {
  return Rect(R.Left + SubMenuControlGetItemTextIndent(AMenu), R.Top, R.Right,
              R.Bottom);
}

TRect TdxBarPainter::SubMenuControlContentRectOffset(
    const TdxBarSubMenuPaintInfo&) {
  const Integer b = SubMenuControlClientBorderSize();
  return {b, b, b, b};
}

void TdxBarPainter::SubMenuControlDrawBorder(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, TRect R) {
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  Fill(DC, Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1), face);
  Fill(DC, Rect(R.Left + 1, R.Top, R.Right - 1, R.Top + 1), face);
  Edge(DC, R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  if (!AMenu.Detachable) return;
  R = Deflated(R, 1);
  Edge(DC, R, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_RIGHT);
  R = Deflated(R, 1);
  R.Bottom = R.Top + AMenu.DetachCaptionAreaSize - 1;
  Frame(DC, R, face);
  SubMenuControlDrawDetachCaption(AMenu, DC, AMenu.DetachCaptionRect);
}

void TdxBarPainter::SubMenuControlDrawClientBorder(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, TRect R, HBRUSH ABrush) {
  if (AMenu.Detachable) R.Top -= 2;
  Edge(DC, R, BDR_RAISEDINNER, BF_RECT);
  Frame(DC, Deflated(R, 1), ABrush);
}

void TdxBarPainter::SubMenuControlDrawDetachCaption(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R) {
  Fill(DC, R,
       ::GetSysColorBrush(AMenu.DetachCaptionSelected ? COLOR_ACTIVECAPTION
                                                      : COLOR_INACTIVECAPTION));
}

void TdxBarPainter::SubMenuControlDrawSeparator(HDC DC, const TRect& R) {
  Edge(DC, R, EDGE_ETCHED, BF_TOP);
}

void TdxBarPainter::SubMenuControlDrawMarkContent(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R,
    bool ASelected) {
  const Integer size = AMenu.MarkArrowSize;
  const COLORREF color = ::GetSysColor(
      IsHighContrastWhite() && IsFlatItemText() && ASelected ? COLOR_BTNFACE
                                                             : COLOR_BTNTEXT);
  TPenHandle pen(::CreatePen(PS_SOLID, 1, color));
  TSelectObject select(DC, pen.get());
  const Integer half = size / 2;
  const Integer x0 = (R.Left + R.Right - size - 1) / 2;
  const Integer y0 = (AMenu.MarkSize - 2 * size) / 2 + R.Top;
  for (Integer i = 0; i < size; ++i) {
    const Integer y = y0 + i + (i >= half ? half : 0);
    const POINT line[3] = {
        {x0, y}, {x0 + half, y + half}, {x0 + size + 1, y - 1}};
    ::Polyline(DC, line, 3);
  }
}

// ---------------------------------------------------------------------------
// Standard painter
// ---------------------------------------------------------------------------

TRect TdxBarStandardPainter::SubMenuControlContentRectOffset(
    const TdxBarSubMenuPaintInfo& AMenu) {
  return {2, AMenu.Detachable ? 0 : 2, 2, 2};
}

// ---------------------------------------------------------------------------
// Flat painter
// ---------------------------------------------------------------------------

void TdxBarFlatPainter::SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas,
                                                        Integer ATextSize,
                                                        Integer& AMarkSize,
                                                        Integer& AArrowWidth) {
  TdxBarPainter::SubMenuControlCalcDrawingConsts(ACanvas, ATextSize, AMarkSize,
                                                 AArrowWidth);
  const Integer m = SubMenuControlMarkArrowSize(AMarkSize - 2);
  if (m % 2 != 0) AMarkSize = 2 * m + 4;
}

TRect TdxBarFlatPainter::SubMenuControlGetItemIconRect(const TRect& R,
                                                       Integer AWidth) {
  return TdxBarPainter::SubMenuControlGetItemIconRect(Deflated(R, 1),
                                                      AWidth - 2);
}

TRect TdxBarFlatPainter::SubMenuControlGetItemTextRect(
    const TdxBarSubMenuPaintInfo& AMenu, const TRect& R) {
  return TdxBarPainter::SubMenuControlGetItemTextRect(
      AMenu, Rect(R.Left, R.Top + 1, R.Right - 1, R.Bottom - 1));
}

Integer TdxBarFlatPainter::SubMenuControlGetItemTextIndent(
    const TdxBarSubMenuPaintInfo& AMenu) const {
  return TdxBarPainter::SubMenuControlGetItemTextIndent(AMenu) + 6;
}

void TdxBarFlatPainter::SubMenuControlDrawBorder(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, TRect R) {
  Frame(DC, R, dxBarFlatBrushes().Border);
  if (!AMenu.Detachable) return;
  HBRUSH window = ::GetSysColorBrush(COLOR_WINDOW);
  const TRect inner = Deflated(R, 1);
  Fill(DC, Rect(inner.Left, inner.Top, inner.Right, inner.Top + 1), window);
  const Integer h = AMenu.DetachCaptionHeight;
  Fill(DC, Rect(inner.Left, inner.Top, inner.Left + 1, inner.Top + h), window);
  Fill(DC, Rect(inner.Right - 1, inner.Top, inner.Right, inner.Top + h),
       window);
  SubMenuControlDrawDetachCaption(AMenu, DC, AMenu.DetachCaptionRect);
}

void TdxBarFlatPainter::SubMenuControlDrawClientBorder(
    const TdxBarSubMenuPaintInfo&, HDC DC, TRect R, HBRUSH ABrush) {
  Frame(DC, R, SubMenuControlToolbarItemsBrush());
  Fill(DC, Rect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1), ABrush);
}

void TdxBarFlatPainter::SubMenuControlDrawDetachCaption(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R) {
  TRect r = R;
  if (AMenu.DetachCaptionSelected) {
    FrameFlatSelRect(DC, r);
    r = Deflated(r, 1);
    Fill(DC, r, dxBarFlatBrushes().Selected);
  } else {
    Fill(DC, r, dxBarFlatBrushes().Toolbar);
  }
  // A grip 33 pixels wide in the middle: a line on every other row.
  const Integer inset = (R.Width() - 33) / 2;
  const TRect grip =
      Rect(R.Left + inset, R.Top + 1, R.Right - inset, R.Bottom - 1);
  HBRUSH line = ::GetSysColorBrush(
      AMenu.DetachCaptionSelected ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
  for (Integer y = grip.Top; y < grip.Bottom; y += 2)
    Fill(DC, Rect(grip.Left, y, grip.Right, y + 1), line);
}

void TdxBarFlatPainter::SubMenuControlDrawSeparator(HDC DC, const TRect& R) {
  TBrushHandle brush(
      ::CreateSolidBrush(ColorToRGB(SubMenuControlGetSeparatorColor())));
  Fill(DC, Rect(R.Left, R.Top, R.Right, R.Top + 1), brush.get());
}
