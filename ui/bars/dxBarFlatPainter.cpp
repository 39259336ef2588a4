// The flat painter: one-pixel frames instead of edges, a selection shown as
// a highlight-coloured frame around a lightened fill, and the five flat
// brushes built from the system colours.
#include <windows.h>

#include <utility>

#include "Handles.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxOffice11.h"

namespace {

TdxBarFlatBrushes gFlatBrushes;
TObjectPtr<TdxBarFlatPainter> gFlatPainter;

TColor Nearest(TColor AColor) {
  HDC screen = ::GetDC(nullptr);
  const COLORREF c = ::GetNearestColor(screen, ColorToRGB(AColor));
  ::ReleaseDC(nullptr, screen);
  return static_cast<TColor>(c);
}

void ReplaceBrush(HBRUSH& ABrush, TColor AColor) {
  if (ABrush) ::DeleteObject(ABrush);
  ABrush = ::CreateSolidBrush(ColorToRGB(Nearest(AColor)));
}

void FreeFlatBrushes() {
  for (HBRUSH* brush :
       {&gFlatBrushes.Border, &gFlatBrushes.Toolbar, &gFlatBrushes.Downed,
        &gFlatBrushes.DownedSel, &gFlatBrushes.Selected}) {
    if (*brush) ::DeleteObject(*brush);
    *brush = nullptr;
  }
}

void Frame(HDC DC, const TRect& R, HBRUSH ABrush) {
  RECT r = dxRECT(R);
  ::FrameRect(DC, &r, ABrush);
}

void Fill(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ABrush);
}

TRect Deflated(const TRect& R, Integer D) {
  return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D);
}

TCustomdxBarControl* BarOf(TdxBarItemControl* AControl) {
  return AControl ? AControl->Parent() : nullptr;
}

void Line(HDC DC, COLORREF AColor, std::initializer_list<POINT> APoints) {
  TPenHandle pen(::CreatePen(PS_SOLID, 1, AColor));
  TSelectObject select(DC, pen.get());
  ::Polyline(DC, APoints.begin(), static_cast<int>(APoints.size()));
}

}  // namespace

TColor dxBarFlatToolbarsBorderColor() {
  const COLORREF c = ::GetSysColor(COLOR_BTNSHADOW);
  return static_cast<TColor>(RGB(::MulDiv(GetRValue(c), 8, 10),
                                 ::MulDiv(GetGValue(c), 8, 10),
                                 ::MulDiv(GetBValue(c), 8, 10)));
}

TColor dxBarFlatToolbarsColor() {
  const COLORREF c = ::GetSysColor(COLOR_BTNFACE);
  auto raise = [](Integer v) { return v + ::MulDiv(255 - v, 16, 100); };
  return static_cast<TColor>(
      RGB(raise(GetRValue(c)), raise(GetGValue(c)), raise(GetBValue(c))));
}

const TdxBarFlatBrushes& dxBarFlatBrushes() {
  if (!gFlatBrushes.Border && !dxBarIsFinalizing()) dxBarRebuildFlatBrushes();
  return gFlatBrushes;
}

void dxBarRebuildFlatBrushes() {
  ReplaceBrush(gFlatBrushes.Border, dxBarFlatToolbarsBorderColor());
  ReplaceBrush(gFlatBrushes.Toolbar, dxBarFlatToolbarsColor());
  ReplaceBrush(gFlatBrushes.Downed, GetLightColor(11, 9, 73));
  ReplaceBrush(gFlatBrushes.DownedSel, GetLightColor(14, 44, 40));
  ReplaceBrush(gFlatBrushes.Selected, GetLightColor(-2, 30, 72));
}

void dxBarFreeFlatPainter() {
  gFlatPainter.reset();
  FreeFlatBrushes();
}

TdxBarFlatPainter* dxBarFlatPainter() {
  if (!gFlatPainter && !dxBarIsFinalizing())
    gFlatPainter.reset(new TdxBarFlatPainter);
  return gFlatPainter.get();
}

// ---------------------------------------------------------------------------
// Added operations
// ---------------------------------------------------------------------------

void TdxBarFlatPainter::DrawFrameRect(TdxBarItemControl* AControl, HDC DC,
                                      const TRect& R, HBRUSH,
                                      TdxBarPaintType APaintType,
                                      bool ASelected, bool ADowned) {
  const bool menu = APaintType == ptMenu;
  if (ASelected || ADowned || menu) {
    if (menu && !ASelected)
      Frame(DC, R, ::GetSysColorBrush(COLOR_BTNSHADOW));
    else
      FrameFlatSelRect(DC, R);
  } else {
    Frame(DC, R, dxBarItemBkBrush(AControl));
  }
}

HBRUSH TdxBarFlatPainter::GetToolbarBrush(TdxBarItemControl*) {
  return dxBarFlatBrushes().Toolbar;
}

HBRUSH TdxBarFlatPainter::StaticBorderBrush(TdxBarItemControl*,
                                            TdxBarStaticBorderStyle) {
  return ::GetSysColorBrush(COLOR_BTNSHADOW);
}

TColor TdxBarFlatPainter::SubMenuControlGetSeparatorColor() const {
  return static_cast<TColor>(::GetSysColor(COLOR_BTNSHADOW));
}

// ---------------------------------------------------------------------------
// Glyphs, marks and frames
// ---------------------------------------------------------------------------

void TdxBarFlatPainter::DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC,
                                        HBRUSH ABrush, bool AFits,
                                        const TRect& R,
                                        TdxBarPaintType APaintType,
                                        const TdxBarGlyphFlags& AFlags) {
  if (AFlags.DroppedDown) {
    // Joined to its open popup: the owner frame in the border colour.
    Frame(DC, R, dxBarFlatBrushes().Border);
  } else if (AFlags.Down || (AFlags.Selected && APaintType != ptMenu)) {
    FrameFlatSelRect(DC, R);
  } else if (AFits) {
    DrawBackgroundFrameRect(AControl, DC, R, ABrush,
                            AFlags.Selected || AFlags.Down || AFlags.Pressed);
  }
}

void TdxBarFlatPainter::DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC,
                                           Integer ALeft, Integer ATop,
                                           Integer AScale) {
  const bool enabled = !AControl || AControl->GetEnabled();
  COLORREF color = ::GetSysColor(COLOR_BTNSHADOW);
  if (enabled)
    color = IsHighContrastWhite() || IsHighContrast2() ? RGB(255, 255, 255)
                                                       : RGB(0, 0, 0);
  const Integer s = AScale;
  for (Integer pass = 0; pass < 2 * s; ++pass) {
    const Integer k = pass + (enabled ? 0 : 1);
    Line(DC, color,
         {{ALeft + s, ATop + k + 2 * s},
          {ALeft + 3 * s, ATop + k + 4 * s},
          {ALeft + 8 * s, ATop + k - s}});
  }
}

void TdxBarFlatPainter::FrameFlatSelRect(HDC DC, const TRect& R) {
  if (IsHighContrastBlack() || IsHighContrast2()) {
    Frame(DC, R, ::GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
    return;
  }
  ::FrameFlatSelRect(DC, R);
}

TColor TdxBarFlatPainter::BarCaptionBkColor(bool) {
  return TdxBarPainter::BarCaptionBkColor(false);
}

TColor TdxBarFlatPainter::BarMarkArrowColor(TdxBarControl* ABarControl,
                                            TdxBarMarkState AState) {
  if (AState != msNone)
    return static_cast<TColor>(::GetSysColor(COLOR_BTNTEXT));
  return TdxBarPainter::BarMarkArrowColor(ABarControl, AState);
}

Integer TdxBarFlatPainter::GetDrawMarkElementColor(TdxBarControl* ABarControl) {
  if (IsHighContrastWhite() && ABarControl &&
      ABarControl->MarkState() == msSelected)
    return COLOR_BTNFACE;
  return TdxBarPainter::GetDrawMarkElementColor(ABarControl);
}

void TdxBarFlatPainter::BarDrawMarkBackground(TdxBarControl* ABarControl,
                                              HDC DC, const TRect& R,
                                              HBRUSH ABrush) {
  const TdxBarMarkState state = ABarControl ? ABarControl->MarkState() : msNone;
  if (state == msPressed) {
    Frame(DC, R, dxBarFlatBrushes().Border);
    Fill(DC, Deflated(R, 1), BarToolbarSelBrush(ABarControl));
  } else if (state == msSelected) {
    FrameFlatSelRect(DC, R);
    Fill(DC, Deflated(R, 1), BarToolbarSelBrush(ABarControl));
  } else {
    Frame(DC, R, ABrush);
    dxBarFillControlBackground(ABarControl, DC, Deflated(R, 1), ABrush);
  }
}

Integer TdxBarFlatPainter::GetControlCaptionOffset(
    TCustomdxBarControl* ABarControl) {
  if (ABarControl && ABarControl->Kind() == bkSubMenu) return 8;
  return TdxBarPainter::GetControlCaptionOffset(ABarControl);
}

void TdxBarFlatPainter::DrawLowered(HDC DC, TRect& R) {
  Frame(DC, R, ::GetSysColorBrush(COLOR_BTNSHADOW));
  R = Deflated(R, 1);
}

void TdxBarFlatPainter::FrameAndFillRect(TdxBarItemControl* AControl, HDC DC,
                                         TRect& R, bool, bool ASelected,
                                         bool APressed) {
  TCustomdxBarControl* bar = BarOf(AControl);
  HBRUSH fill = nullptr;
  if (ASelected) {
    FrameFlatSelRect(DC, R);
    fill = APressed ? BarToolbarDownedSelBrush(bar) : BarToolbarSelBrush(bar);
  } else {
    fill = dxBarItemBkBrush(AControl);
    Frame(DC, R, fill);
  }
  R = Deflated(R, 1);
  Fill(DC, R, fill);
}

HBRUSH TdxBarFlatPainter::GlyphBkgndBrush(TdxBarItemControl* AControl,
                                          TdxBarPaintType APaintType,
                                          const TdxBarGlyphFlags& AFlags) {
  TCustomdxBarControl* bar = BarOf(AControl);
  if (AFlags.DroppedDown)
    return AFlags.Down ? BarToolbarDownedSelBrush(bar) : BarToolbarBrush(bar);
  if (AFlags.Selected)
    return AFlags.Down || AFlags.Pressed ? BarToolbarDownedSelBrush(bar)
                                         : BarToolbarSelBrush(bar);
  if (AFlags.Down) return BarToolbarDownedBrush(bar);
  if (APaintType == ptMenu && !AFlags.Static) return GetToolbarBrush(AControl);
  return dxBarItemBkBrush(AControl);
}

bool TdxBarFlatPainter::IsGlyphImageBackgroundOpaque(
    TdxBarItemControl* AControl, bool ADown, bool ANoIcon, bool ASelected,
    bool APressed) {
  const bool base = TdxBarPainter::IsGlyphImageBackgroundOpaque(
      AControl, ADown, ANoIcon, ASelected, APressed);
  return APressed ? base : base || ADown || ANoIcon || ASelected;
}

Integer TdxBarFlatPainter::TextAreaOffset(TdxBarItemControl* AControl) {
  TCustomdxBarControl* bar = BarOf(AControl);
  if (!bar || bar->Kind() != bkSubMenu) return 0;
  return bar->GetTextSize() + 3;
}

Integer TdxBarFlatPainter::RealButtonArrowWidth(TdxBarManager* AManager) {
  return TdxBarPainter::RealButtonArrowWidth(AManager) - 1;
}

Integer TdxBarFlatPainter::RealLargeButtonArrowWidth(TdxBarManager* AManager) {
  return TdxBarPainter::RealLargeButtonArrowWidth(AManager) - 1;
}

// ---------------------------------------------------------------------------
// Brushes
// ---------------------------------------------------------------------------

HBRUSH TdxBarFlatPainter::BarToolbarBrush(TCustomdxBarControl*) {
  return dxBarFlatBrushes().Toolbar;
}

HBRUSH TdxBarFlatPainter::BarToolbarBrushEx(TCustomdxBarControl* ABarControl) {
  TdxBarControl* toolbar = dynamic_cast<TdxBarControl*>(ABarControl);
  TdxBar* bar = toolbar ? toolbar->Bar() : nullptr;
  if (bar && (bar->IsMainMenu() || bar->IsStatusBar()))
    return ::GetSysColorBrush(COLOR_BTNFACE);
  return TdxBarPainter::BarToolbarBrushEx(ABarControl);
}

HBRUSH TdxBarFlatPainter::BarToolbarDownedBrush(TCustomdxBarControl*) {
  return dxBarFlatBrushes().Downed;
}
HBRUSH TdxBarFlatPainter::BarToolbarDownedSelBrush(TCustomdxBarControl*) {
  return dxBarFlatBrushes().DownedSel;
}
HBRUSH TdxBarFlatPainter::BarToolbarSelBrush(TCustomdxBarControl*) {
  return dxBarFlatBrushes().Selected;
}

HBRUSH TdxBarFlatPainter::SubMenuControlToolbarItemsBrush() const {
  return ::GetSysColorBrush(COLOR_WINDOW);
}

HBRUSH TdxBarFlatPainter::ButtonControlArrowBrush(
    const TdxBarButtonLikeControlDrawParams& AParams) {
  if (!AParams.DrawSelected)
    return TdxBarPainter::ButtonControlArrowBrush(AParams);
  TCustomdxBarControl* bar = BarOf(AParams.ItemControl);
  return AParams.DroppedDown || IsHighContrastWhite()
             ? BarToolbarDownedSelBrush(bar)
             : BarToolbarSelBrush(bar);
}

// ---------------------------------------------------------------------------
// Toolbars
// ---------------------------------------------------------------------------

void TdxBarFlatPainter::BarDrawBeginGroup(TCustomdxBarControl* ABarControl,
                                          HDC DC, const TRect& R, HBRUSH ABrush,
                                          bool AHorizontal) {
  const TRect line =
      FillBeginGroupSides(ABarControl, DC, R, ABrush, AHorizontal);
  Fill(DC,
       AHorizontal ? Rect(line.Left, line.Top, line.Right, line.Top + 1)
                   : Rect(line.Left, line.Top, line.Left + 1, line.Bottom),
       ::GetSysColorBrush(COLOR_BTNSHADOW));
}

void TdxBarFlatPainter::BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC,
                                           const TRect& R) {
  const TdxBarMarkState state =
      ABarControl ? ABarControl->CloseButtonState() : msNone;
  BarDrawCaptionElement(ABarControl, DC, R, state);
  TRect r = Rect(R.Left + 3, R.Top + 4, R.Right - 3, R.Bottom - 4);
  if (r.Width() % 2 != 0) --r.Right;
  r.Bottom = r.Top + r.Width() - 1;
  const COLORREF color = ColorToRGB(BarMarkArrowColor(ABarControl, state));
  Line(DC, color, {{r.Left, r.Top}, {r.Right - 1, r.Bottom}});
  Line(DC, color, {{r.Left + 1, r.Top}, {r.Right, r.Bottom}});
  Line(DC, color, {{r.Left, r.Bottom - 1}, {r.Right - 1, r.Top - 1}});
  Line(DC, color, {{r.Left + 1, r.Bottom - 1}, {r.Right, r.Top - 1}});
}

void TdxBarFlatPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl,
                                               HDC DC, TRect R, HBRUSH ABrush) {
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  Frame(DC, R, face);
  const COLORREF faceColor = ::GetSysColor(COLOR_BTNFACE);
  const TRect ring = Deflated(R, 1);
  for (const POINT& p :
       {POINT{ring.Left, ring.Top}, POINT{ring.Right - 1, ring.Top},
        POINT{ring.Left, ring.Bottom - 1},
        POINT{ring.Right - 1, ring.Bottom - 1}})
    ::SetPixel(DC, p.x, p.y, faceColor);
  R = Deflated(R, 2);
  if (!ABarControl || !ABarControl->CanMoving()) return;
  const Integer b = BeforeFingersSize();
  const Integer g = GripperSize();
  const bool horizontal = ABarControl->GetHorizontal();
  const TRect grip =
      horizontal ? Rect(R.Left + b, R.Top + 3, R.Left + b + g, R.Bottom - 3)
                 : Rect(R.Left + 3, R.Top + b, R.Right - 3, R.Top + b + g);
  HBRUSH shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
  // Stripes across the grip's length, the first in the shadow colour.
  const Integer count = horizontal ? grip.Height() : grip.Width();
  for (Integer i = 0; i < count; ++i) {
    const TRect stripe =
        horizontal
            ? Rect(grip.Left, grip.Top + i, grip.Right, grip.Top + i + 1)
            : Rect(grip.Left + i, grip.Top, grip.Left + i + 1, grip.Bottom);
    Fill(DC, stripe, i % 2 == 0 ? shadow : ABrush);
  }
}

void TdxBarFlatPainter::BarDrawFloatingBarBorder(TdxBarControl*, HDC DC,
                                                 TRect R,
                                                 const TRect& AClientRect,
                                                 HBRUSH ABrush) {
  Frame(DC, R, dxBarFlatBrushes().Border);
  R = Deflated(R, 1);
  Frame(DC, R, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  while (AClientRect.Left - R.Left > 1) {
    R = Deflated(R, 1);
    Frame(DC, R, ABrush);
  }
}

void TdxBarFlatPainter::DrawButtonControlArrowBackground(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect& R, HBRUSH ABrush) {
  TdxBarPainter::DrawButtonControlArrowBackground(AParams, R, ABrush);
  if (!AParams.Canvas) return;
  if (AParams.DroppedDown && AParams.PaintType != ptMenu) return;
  DrawFrameRect(AParams.ItemControl, AParams.Canvas->Handle(), R, ABrush,
                AParams.PaintType, AParams.DrawSelected, AParams.Down);
}

Integer TdxBarFlatPainter::SubMenuControlMarkArrowSize(Integer ASize) const {
  Integer s = (ASize - 4) / 2;
  if (s > 4 && s % 2 != 0) --s;
  return s;
}
