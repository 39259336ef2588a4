// The painters' menu operations: drawing constants, the menu frame, the
// detach caption, group separators and the expand band's double chevron.
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxBarSubMenu.h"
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

void TdxBarPainter::SubMenuControlDrawMarkBand(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R,
    bool ASelected) {
  // Drawn off screen first: the band flickers otherwise while the mouse
  // moves over it.
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TOwnedDC memory(::CreateCompatibleDC(DC));
  TBitmapHandle bitmap(::CreateCompatibleBitmap(DC, R.Width(), R.Height()));
  {
    TSelectObject select(memory.get(), bitmap.get());
    ::SetWindowOrgEx(memory.get(), R.Left, R.Top, nullptr);
    Fill(memory.get(), R, SubMenuControlToolbarItemsBrush());
    if (ASelected) SubMenuControlDrawMarkSelection(AMenu, memory.get(), R);
    SubMenuControlDrawMarkContent(AMenu, memory.get(), R, ASelected);
    ::BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), memory.get(), R.Left,
             R.Top, SRCCOPY);
  }
}

void TdxBarPainter::SubMenuControlDrawMarkSelection(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R) {
  Edge(DC, R, BDR_RAISEDINNER, BF_RECT);
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(AMenu.Control);
  Fill(DC, Deflated(R, 1),
       menu ? menu->LightBrush() : ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
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

void TdxBarPainter::SubMenuControlDrawBackground(const TdxBarSubMenuPaintInfo&,
                                                 HDC DC, const TRect& R,
                                                 HBRUSH ABrush, TColor AColor) {
  FillBackgroundArea(DC, R, R, ABrush, AColor, nullptr);
}

TRect TdxBarPainter::SubMenuControlBeginGroupRect(
    const TdxBarSubMenuPaintInfo& AMenu, TdxBarItemControl*,
    const TRect& AItemRect) {
  const Integer size = AMenu.Control ? AMenu.Control->GetBeginGroupSize() : 0;
  return Rect(AItemRect.Left, AItemRect.Top - size, AItemRect.Right,
              AItemRect.Top);
}

void TdxBarPainter::SubMenuControlDrawBeginGroup(
    const TdxBarSubMenuPaintInfo& AMenu, TdxBarItemControl* AControl,
    TcxCanvas* ACanvas, const TRect& R) {
  if (!ACanvas) return;
  HDC dc = ACanvas->Handle();
  DrawBackground(AControl, dc, R, AMenu.BackgroundBrush, false);
  const Integer indent = SubMenuBeginGroupIndent();
  SubMenuControlDrawSeparator(
      dc, Rect(R.Left + indent, R.Top + 4, R.Right - indent, R.Bottom - 4));
}

// ---------------------------------------------------------------------------
// Menu scrolling
// ---------------------------------------------------------------------------

TRect TdxBarPainter::SubMenuControlGetScrollBandBounds(
    const TdxBarSubMenuPaintInfo& AMenu, TcxArrowDirection ADirection) {
  TRect r = AMenu.ItemsRect;
  const Integer size = SubMenuControlGetScrollBandSize(AMenu);
  if (ADirection == adUp)
    r.Bottom = r.Top + size;
  else
    r.Top = r.Bottom - size;
  return r;
}

void TdxBarPainter::SubMenuControlFillScrollArrow(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  TColor AColor) {
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(AColor)));
  Fill(ACanvas->Handle(), R, brush.get());
}

void TdxBarPainter::SubMenuControlDrawScrollArrow(
    const TdxBarSubMenuPaintInfo& AMenu, TcxCanvas* ACanvas, const TRect& R,
    TColor AColor, TcxArrowDirection ADirection) {
  // A triangle of the arrow size, its point towards the hidden items; the
  // fill is clipped to it and the triangle is then kept out of the band's
  // background.
  const Integer size =
      std::max<Integer>(SubMenuControlGetScrollArrowSize(AMenu.TextSize), 1);
  const Integer base = 2 * size - 1;
  const Integer left = (R.Left + R.Right - base) / 2;
  const Integer top = (R.Top + R.Bottom - size) / 2;
  POINT points[3];
  if (ADirection == adUp) {
    points[0] = {left, top + size};
    points[1] = {left + base, top + size};
    points[2] = {left + size - 1, top - 1};
  } else {
    points[0] = {left, top};
    points[1] = {left + base, top};
    points[2] = {left + size - 1, top + size};
  }
  const TRect bounds = Rect(left, top, left + base, top + size);
  auto region = [&] {
    return TObjectPtr<TcxRegion>(
        new TcxRegion(::CreatePolygonRgn(points, 3, WINDING)));
  };
  ACanvas->SaveClipRegion();
  ACanvas->SetClipRegion(region(), roIntersect, false);
  SubMenuControlFillScrollArrow(ACanvas, bounds, AColor);
  ACanvas->RestoreClipRegion();
  ACanvas->SetClipRegion(region(), roSubtract, false);
}

void TdxBarPainter::SubMenuControlDrawScrollBandBackground(
    const TdxBarSubMenuPaintInfo& AMenu, TcxCanvas* ACanvas,
    TcxArrowDirection ADirection) {
  TdxBarItemControl* neighbour =
      ADirection == adDown ? AMenu.BottomItem : AMenu.TopItem;
  DrawBackground(neighbour, ACanvas->Handle(),
                 SubMenuControlGetScrollBandBounds(AMenu, ADirection),
                 AMenu.BackgroundBrush, neighbour == nullptr);
}

void TdxBarPainter::SubMenuControlDrawScrollBand(
    const TdxBarSubMenuPaintInfo& AMenu, TcxCanvas* ACanvas,
    TcxArrowDirection ADirection) {
  if (!ACanvas) return;
  const TRect bounds = SubMenuControlGetScrollBandBounds(AMenu, ADirection);
  ACanvas->SaveClipRegion();
  TScopeGuard restore([&] { ACanvas->RestoreClipRegion(); });
  ACanvas->IntersectClipRect(bounds);
  SubMenuControlDrawScrollArrow(
      AMenu, ACanvas, bounds, static_cast<TColor>(::GetSysColor(COLOR_BTNTEXT)),
      ADirection);
  SubMenuControlDrawScrollButton(AMenu, ACanvas, ADirection);
  SubMenuControlDrawNonRecentGroupSeparator(AMenu, ACanvas, ADirection);
  SubMenuControlDrawScrollBandBackground(AMenu, ACanvas, ADirection);
}

// ---------------------------------------------------------------------------
// Menu items
// ---------------------------------------------------------------------------

void TdxBarPainter::DrawGlyphAndTextInSubMenu(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  TdxBarItemControl* control = AParams.ItemControl;
  if (!control || !AParams.Canvas) return;
  DrawItemBackgroundInSubMenu(AParams, R);
  const TdxBarSubMenuPaintInfo menu =
      dxBarGetSubMenuPaintInfo(control->Parent());
  const TRect icon = SubMenuControlGetItemIconRect(R, menu.IconAreaSize);
  TdxBarGlyphFlags flags;
  flags.NoIcon = !AParams.ViewStructure.Contains(cpIcon);
  flags.Selected = AParams.DrawSelected;
  flags.Down = AParams.Down;
  DrawGlyph(AParams, icon, TRect{}, flags);
  DrawItemTextInSubMenu(AParams, SubMenuControlGetItemTextRect(menu, R));
}

void TdxBarPainter::DrawItemTextInSubMenu(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  TdxBarItemControl* control = AParams.ItemControl;
  HDC dc = AParams.Canvas->Handle();
  const Integer inner = SubMenuControlInternalBorderSize();
  TRect r = Rect(R.Left, R.Top - inner, R.Right, R.Bottom + inner);
  DrawItemText(control, dc, AParams.Caption, r, taLeftJustify, AParams.Enabled,
               AParams.DrawSelected, false, false, IsFlatItemTextForMenu());
  if (AParams.ShortCutText.empty()) return;
  TCustomdxBarControl* menu = control ? control->Parent() : nullptr;
  r.Right -= (menu ? menu->TextSize() : 0) + 5;
  DrawItemText(control, dc, AParams.ShortCutText, r, taRightJustify,
               AParams.Enabled, AParams.DrawSelected, false, false,
               IsFlatItemTextForMenu());
}

void TdxBarPainter::DrawSubMenuItemBands(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R,
    HBRUSH ANormal) {
  TdxBarItemControl* control = AParams.ItemControl;
  TCustomdxBarControl* menu = control ? control->Parent() : nullptr;
  if (!menu) return;
  HDC dc = AParams.Canvas->Handle();
  const TRect icon = SubMenuControlGetItemIconRect(
      R, dxBarGetSubMenuPaintInfo(menu).IconAreaSize);
  const bool noIcon = !AParams.ViewStructure.Contains(cpIcon) ||
                      !control->IconAssigned(AParams.ViewSize);
  HBRUSH selected = BarToolbarSelBrush(menu);
  HBRUSH band =
      noIcon && AParams.DrawSelected && !AParams.Down ? selected : ANormal;
  const bool opaque = AParams.DrawSelected;
  DrawBackground(control, dc,
                 Rect(icon.Right, icon.Top, icon.Right + 1, icon.Bottom), band,
                 opaque);
  if (R.Top < icon.Top)
    DrawBackground(control, dc,
                   Rect(icon.Left, R.Top, icon.Right + 1, icon.Top), band,
                   opaque);
  if (R.Bottom > icon.Bottom)
    DrawBackground(control, dc,
                   Rect(icon.Left, icon.Bottom, icon.Right + 1, R.Bottom), band,
                   opaque);
  DrawBackground(control, dc, Rect(icon.Right + 1, R.Top, R.Right, R.Bottom),
                 AParams.DrawSelected ? selected : ANormal, opaque);
}

// ---------------------------------------------------------------------------
// Standard painter
// ---------------------------------------------------------------------------

void TdxBarStandardPainter::DrawItemBackgroundInSubMenu(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  DrawSubMenuItemBands(AParams, R, dxBarItemBkBrush(AParams.ItemControl));
}

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

void TdxBarFlatPainter::SubMenuControlDrawBeginGroup(
    const TdxBarSubMenuPaintInfo& AMenu, TdxBarItemControl* AControl,
    TcxCanvas* ACanvas, const TRect& R) {
  if (!ACanvas) return;
  HDC dc = ACanvas->Handle();
  // The band under the icon column runs on through the separator.
  const Integer band = TextAreaOffset(AControl);
  DrawBackground(AControl, dc, Rect(R.Left, R.Top, R.Left + band, R.Bottom),
                 dxBarFlatBrushes().Toolbar, true);
  DrawBackground(AControl, dc, Rect(R.Left + band, R.Top, R.Right, R.Bottom),
                 AMenu.BackgroundBrush, false);
  const Integer middle = (R.Top + R.Bottom) / 2;
  SubMenuControlDrawSeparator(
      dc, Rect(R.Left + band + SubMenuBeginGroupIndent(), middle, R.Right + 1,
               middle + 1));
}

void TdxBarFlatPainter::DrawItemBackgroundInSubMenu(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  TdxBarItemControl* control = AParams.ItemControl;
  TCustomdxBarControl* menu = control ? control->Parent() : nullptr;
  if (!menu) return;
  HDC dc = AParams.Canvas->Handle();
  const TdxBarSubMenuPaintInfo info = dxBarGetSubMenuPaintInfo(menu);
  const bool selected = AParams.DrawSelected;
  HBRUSH toolbar = dxBarFlatBrushes().Toolbar;
  HBRUSH selection = BarToolbarSelBrush(menu);
  if (selected) {
    FrameFlatSelRect(dc, R);
  } else {
    // The ring: the band's colour over the band, the menu's beyond it.
    TClipRegionSaver clip(dc);
    ::ExcludeClipRect(dc, R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    const Integer band = R.Left + SubMenuControlGetBandSize(info) + 1;
    DrawBackground(control, dc, Rect(R.Left, R.Top, band, R.Bottom), toolbar,
                   true);
    DrawBackground(control, dc, Rect(band, R.Top, R.Right, R.Bottom),
                   info.BackgroundBrush, false);
  }
  const TRect inner = Deflated(R, 1);
  const TRect icon = SubMenuControlGetItemIconRect(R, info.IconAreaSize);
  HBRUSH band = selected ? selection : toolbar;
  const Integer column = icon.Right + 2;
  Fill(dc, Rect(icon.Right, inner.Top, column, inner.Bottom), band);
  Fill(dc, Rect(icon.Left, inner.Top, column, icon.Top), band);
  Fill(dc, Rect(icon.Left, icon.Bottom, column, inner.Bottom), band);
  DrawBackground(control, dc,
                 Rect(column, inner.Top, inner.Right, inner.Bottom),
                 selected ? selection : dxBarItemBkBrush(control), selected);
}

// ---------------------------------------------------------------------------
// Themed painter
// ---------------------------------------------------------------------------

void TdxBarXPPainter::SubMenuControlDrawBeginGroup(
    const TdxBarSubMenuPaintInfo& AMenu, TdxBarItemControl* AControl,
    TcxCanvas* ACanvas, const TRect& R) {
  if (!ACanvas) return;
  DrawBackground(AControl, ACanvas->Handle(), R, AMenu.BackgroundBrush, false);
  SubMenuControlDrawSeparator(ACanvas->Handle(), R);
}

void TdxBarXPPainter::DrawItemBackgroundInSubMenu(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  TCustomdxBarControl* menu =
      AParams.ItemControl ? AParams.ItemControl->Parent() : nullptr;
  DrawSubMenuItemBands(AParams, R,
                       dxBarGetSubMenuPaintInfo(menu).BackgroundBrush);
}
