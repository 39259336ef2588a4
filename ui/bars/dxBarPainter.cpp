// The base bar painter: toolbar margins, backgrounds, captions, marks and
// separators, glyph placement and text colours, button layout and the
// simple metrics every painter starts from.
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxBarHints.h"
#include "dxOffice11.h"

namespace {

HBRUSH SysBrush(int AIndex) { return ::GetSysColorBrush(AIndex); }

TColor SysColor(int AIndex) {
  return static_cast<TColor>(::GetSysColor(AIndex));
}

void FillWith(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ABrush);
}

// A one-pixel pen line from A to B, the end point excluded.
void PenLine(HDC DC, COLORREF AColor, std::initializer_list<POINT> APoints) {
  TPenHandle pen(::CreatePen(PS_SOLID, 1, AColor));
  TSelectObject select(DC, pen.get());
  ::Polyline(DC, APoints.begin(), static_cast<int>(APoints.size()));
}

TdxBarControl* ToolbarOf(TdxBar* ABar) {
  return ABar ? dynamic_cast<TdxBarControl*>(ABar->Control()) : nullptr;
}

// The caption strip of a floating toolbar in its window's coordinates.
TRect FloatingCaptionRect(TdxBarPainter* APainter, TdxBarControl* AControl) {
  return APainter->GetToolbarCaptionRect(
      Rect(0, 0, AControl->Width(), AControl->Height()));
}

}  // namespace

// ---------------------------------------------------------------------------
// Toolbar compound painting and caption
// ---------------------------------------------------------------------------

void TdxBarPainter::DrawToolbarContentPart(TdxBarControl* ABarControl,
                                           TcxCanvas* ACanvas) {
  if (!ABarControl || !ACanvas) return;
  BarDrawBackground(ABarControl, ACanvas->Handle(), ABarControl->ClientRect(),
                    ABarControl->ClientRect(), BarToolbarBrush(ABarControl),
                    clNone);
}

TRect TdxBarPainter::GetToolbarCaptionRect(const TRect& AWindowRect) {
  TRect r = Rect(
      AWindowRect.Left + BorderSizeX(), AWindowRect.Top + BorderSizeY(),
      AWindowRect.Right - BorderSizeX(), AWindowRect.Bottom - BorderSizeY());
  r.Bottom = r.Top + BarCaptionSize();
  return r;
}

void TdxBarPainter::CorrectCaptionParams(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect& ACaptionRect,
    const TRect& AGlyphRect, TAlignment& AAlignment) {
  const bool vertical = AParams.PaintType == ptVert;
  if (AParams.ViewSize == cvsLarge) {
    switch (AParams.GlyphLayout) {
      case glLeft:
        AAlignment = taLeftJustify;
        if (vertical)
          ACaptionRect.Top = AGlyphRect.Bottom + 3;
        else
          ACaptionRect.Left = AGlyphRect.Right + 3;
        break;
      case glRight:
        AAlignment = taRightJustify;
        if (vertical)
          ACaptionRect.Bottom = AGlyphRect.Top - 3;
        else
          ACaptionRect.Right = AGlyphRect.Left - 3;
        break;
      case glTop:
        AAlignment = taCenter;
        if (vertical)
          ACaptionRect.Right = AGlyphRect.Left;
        else
          ACaptionRect.Top = AGlyphRect.Bottom;
        break;
      case glBottom:
        AAlignment = taCenter;
        if (vertical)
          ACaptionRect.Left = AGlyphRect.Right;
        else
          ACaptionRect.Bottom = AGlyphRect.Top;
        break;
    }
    return;
  }
  AAlignment = taLeftJustify;
  const Integer shift =
      AParams.ViewStructure.Contains(cpIcon)
          ? AParams.GlyphAreaSize
          : (AParams.ItemControl
                 ? AParams.ItemControl->GetControlCaptionOffset()
                 : 0);
  if (vertical)
    ACaptionRect.Top += shift;
  else
    ACaptionRect.Left += shift;
  if (!IsMenuItem(AParams.ItemControl))
    OffsetCaptionBounds(AParams.Down, AParams.IsPressed, ACaptionRect);
}

// ---------------------------------------------------------------------------
// Glyph frames, arrows and text colours
// ---------------------------------------------------------------------------

void TdxBarPainter::DrawGlyphBorder(TdxBarItemControl*, HDC, HBRUSH, bool,
                                    const TRect&, TdxBarPaintType,
                                    const TdxBarGlyphFlags&) {}

void TdxBarPainter::DrawGlyphCheckMark(TdxBarItemControl*, HDC, Integer,
                                       Integer, Integer) {}

void TdxBarPainter::DrawGlyphEmptyImage(TdxBarItemControl* AControl, HDC DC,
                                        const TRect& R,
                                        TdxBarPaintType APaintType,
                                        bool ADown) {
  if (APaintType != ptMenu || !ADown) return;
  Integer scale = 1;
  if (AControl && AControl->Parent() &&
      AControl->Parent()->Font()->Size() >= 16)
    scale = 2;
  DrawGlyphCheckMark(AControl, DC, (R.Left + R.Right - 9 * scale) / 2,
                     (R.Top + R.Bottom - 7 * scale) / 2, scale);
}

void TdxBarPainter::DrawItemArrow(HDC DC, const TRect& R,
                                  TcxArrowDirection ADirection, bool AEnabled,
                                  bool ASelected, bool AFlat, TColor AColor) {
  ::DrawItemArrow(DC, R, ADirection, AEnabled, ASelected, AFlat, AColor);
}

void TdxBarPainter::DrawLargeItemArrow(HDC DC, const TRect& R,
                                       TcxArrowDirection ADirection,
                                       Integer ASize, bool ASelected,
                                       bool AEnabled, bool AFlat,
                                       TColor AColor) {
  ::DrawLargeItemArrow(DC, R, ADirection == adDown, AColor, AFlat, AEnabled,
                       ASelected, ASize);
}

TColor TdxBarPainter::GetDefaultEnabledTextColor(TdxBarItemControl*,
                                                 bool ASelected, bool AFlat) {
  return SysColor(ASelected && !AFlat ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
}

TdxBarTextColors TdxBarPainter::GetDisabledTextColors(TdxBarItemControl*,
                                                      bool ASelected,
                                                      bool AFlat) {
  if (ASelected || AFlat)
    return {SysColor(COLOR_GRAYTEXT), SysColor(COLOR_GRAYTEXT)};
  return {SysColor(COLOR_BTNHIGHLIGHT), SysColor(COLOR_BTNSHADOW)};
}

TColor TdxBarPainter::GetEnabledTextColor(TdxBarItemControl* AControl,
                                          bool ASelected, bool AFlat) {
  return GetDefaultEnabledTextColor(AControl, ASelected, AFlat);
}

TdxBarTextColors TdxBarPainter::GetTextColors(TdxBarItemControl* AControl,
                                              bool AEnabled, bool ASelected,
                                              bool AFlat) {
  if (!AEnabled) return GetDisabledTextColors(AControl, ASelected, AFlat);
  const TColor color = GetEnabledTextColor(AControl, ASelected, AFlat);
  return {color, color};
}

TColor TdxBarPainter::GetItemArrowColor(
    const TdxBarButtonLikeControlDrawParams& AParams) {
  if (!UseTextColorForItemArrow()) return clDefault;
  return GetTextColors(AParams.ItemControl, AParams.Enabled,
                       AParams.IsTextSelected, AParams.IsFlatText)
      .Second;
}

bool TdxBarPainter::GetFaded(TdxBarManager* AManager) {
  return AManager && AManager->ImageOptions()->MakeDisabledImagesFaded();
}

bool TdxBarPainter::IsMenuItem(TdxBarItemControl* AControl) {
  return AControl && AControl->GetPaintType() == ptMenu;
}

bool TdxBarPainter::IsFlatItemTextForMenu() const {
  return IsFlatItemText() && !IsHighContrastWhite();
}

// ---------------------------------------------------------------------------
// Hints
// ---------------------------------------------------------------------------

TPoint TdxBarPainter::GetBarItemContolHintPosition(TCustomdxBarControl*,
                                                   const TRect&,
                                                   const TPoint& ACursorPos,
                                                   Integer) {
  return {ACursorPos.X, ACursorPos.Y + 20};
}

TObjectPtr<TdxBarHintViewInfo> TdxBarPainter::CreateHintViewInfo(
    TdxBarManager* AManager, const String& AHint, const String& AShortCut,
    TObject*) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  return TObjectPtr<TdxBarHintViewInfo>(
      new TdxBarHintViewInfo(AManager, AHint, AShortCut, {cursor.x, cursor.y}));
}

// ---------------------------------------------------------------------------
// Toolbar caption and mark
// ---------------------------------------------------------------------------

TColor TdxBarPainter::BarCaptionBkColor(bool AActive) {
  return SysColor(AActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
}

TColor TdxBarPainter::BarCaptionColor(TdxBarControl*) {
  return SysColor(COLOR_CAPTIONTEXT);
}

TColor TdxBarPainter::BarMarkArrowColor(TdxBarControl*, TdxBarMarkState) {
  return SysColor(COLOR_CAPTIONTEXT);
}

void TdxBarPainter::BarDrawGrip(TdxBarControl*, HDC DC, const TRect& R,
                                HBRUSH) {
  BarDrawSizeGrip(DC, R);
}

void TdxBarPainter::BarDrawMarkArrow(TdxBarControl* ABarControl, HDC DC,
                                     const TRect& R) {
  const Integer x = (R.Left + R.Right - 7) / 2;
  const Integer sum = R.Top + R.Bottom - 4;
  const Integer y = sum / 2 + sum % 2;
  const POINT points[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
  const TColor color = BarMarkArrowColor(
      ABarControl, ABarControl ? ABarControl->MarkState() : msNone);
  dxBarPolygon(DC, points, 2, color, color);
}

void TdxBarPainter::BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC,
                                     const TRect& R, Integer AOffset) {
  const COLORREF color = ::GetSysColor(COLOR_BTNTEXT);
  const Integer p = AOffset;
  if (!ABarControl || ABarControl->GetHorizontal()) {
    const Integer y = BarIsBarSmall(R) ? 3 : 4;
    PenLine(DC, color, {{p, y}, {p + 2, y + 2}, {p - 1, y + 5}});
    PenLine(DC, color, {{p + 1, y}, {p + 3, y + 2}, {p, y + 5}});
  } else {
    const Integer s = ABarControl->ClientWidth() - 8;
    PenLine(DC, color, {{s, p}, {s + 2, p + 2}, {s + 5, p - 1}});
    PenLine(DC, color, {{s, p + 1}, {s + 2, p + 3}, {s + 5, p}});
  }
}

void TdxBarPainter::BarDrawMarkElements(TdxBarControl* ABarControl, HDC DC,
                                        const TRect& R) {
  const bool horizontal = !ABarControl || ABarControl->GetHorizontal();
  if (BarAllowQuickCustomizing()) {
    const TColor color = SysColor(GetDrawMarkElementColor(ABarControl));
    if (horizontal) {
      const Integer x = R.Left + 3;
      const Integer y = R.Bottom - 7 + (BarIsBarSmall(R) ? 1 : 0);
      const POINT points[3] = {{x, y}, {x + 4, y}, {x + 2, y + 2}};
      dxBarPolygon(DC, points, 2, color, color);
    } else {
      const Integer x = R.Left + 5;
      const Integer y = R.Top + 3;
      const POINT points[3] = {{x, y}, {x, y + 4}, {x - 2, y + 2}};
      dxBarPolygon(DC, points, 2, color, color);
    }
  }
  if (ABarControl && ABarControl->ItemsCut()) {
    const Integer start = horizontal ? R.Left : R.Top;
    BarDrawMarkAtPos(ABarControl, DC, R, start + 2);
    BarDrawMarkAtPos(ABarControl, DC, R, start + 6);
  }
}

Integer TdxBarPainter::GetDrawMarkElementColor(TdxBarControl*) {
  return COLOR_BTNTEXT;
}

// ---------------------------------------------------------------------------
// Button captions and layout
// ---------------------------------------------------------------------------

void TdxBarPainter::ButtonLikeControlDoDrawCaption(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R,
    TAlignment AAlignment) {
  if (!AParams.Canvas) return;
  DrawItemText(AParams.ItemControl, AParams.Canvas->Handle(), AParams.Caption,
               R, AAlignment, AParams.Enabled, AParams.IsTextSelected,
               AParams.PaintType == ptVert, false, AParams.IsFlatText);
}

void TdxBarPainter::InflateSizeForArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, Integer& AWidth) {
  if (AParams.IsSplit && AParams.IsDropDown && AParams.PaintType != ptMenu) {
    AWidth += GetControlTextIndents().Right + AParams.ArrowSize.cx;
  } else if (!AParams.IsMenuItem) {
    TCustomdxBarControl* bar =
        AParams.ItemControl ? AParams.ItemControl->Parent() : nullptr;
    AWidth += (bar ? bar->GetTextSize() : 0) / 2;
  }
}

void TdxBarPainter::CalculateButtonParts(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect* AParts,
    Integer APartCount, const TRect&) {
  if (!AParams.IsDropDown || APartCount < 2) return;
  AParts[1].Left = AParts[1].Right - AParams.ArrowSize.cx;
  AParts[0].Right = AParts[1].Left;
}

// ---------------------------------------------------------------------------
// General metrics
// ---------------------------------------------------------------------------

TRect TdxBarPainter::GetToolbarContentOffsets(TdxBar* ABar,
                                              TdxBarDockingStyle AStyle,
                                              bool AHasSizeGrip) {
  TRect r;
  if (AStyle == dsNone) {
    r = {BorderSizeX(), BorderSizeY(), BorderSizeX(), BorderSizeY()};
    TdxBarControl* control = ToolbarOf(ABar);
    if (control && !control->HasCaption()) return r;
    r.Left += BarHorSize();
    r.Right += BarHorSize();
    r.Top += BarCaptionAreaSize() + BarTopSize();
    r.Bottom += BarBottomSize();
    return r;
  }
  if (ABar && ABar->BorderStyle == bbsSingle) {
    r = BarBorderSizes(ABar, AStyle);
    const Integer fingers = BarFingersSize(ABar);
    if (AStyle == dsTop || AStyle == dsBottom)
      r.Left += fingers;
    else
      r.Top += fingers;
    return r;
  }
  if (ABar && ABar->IsStatusBar()) {
    r.Top += StatusBarTopBorderSize();
    const TRect offsets = StatusBarBorderOffsets();
    r.Left += offsets.Left;
    r.Top += offsets.Top;
    r.Right += offsets.Right;
    r.Bottom += offsets.Bottom;
  }
  if (AHasSizeGrip)
    r.Right += StatusBarGripSize(ABar ? ABar->BarManager() : nullptr).cx;
  return r;
}

Integer TdxBarPainter::GetControlCaptionOffset(
    TCustomdxBarControl* ABarControl) {
  if (!ABarControl) return 0;
  return -ABarControl->Font()->Height() / 2;
}

Integer TdxBarPainter::GetDefaultTextSize(TcxCanvas* ACanvas) {
  if (!ACanvas) return 6;
  SIZE size{};
  ::GetTextExtentPoint32A(ACanvas->Handle(), "Wg", 2, &size);
  return size.cy + 6;
}

TRect TdxBarPainter::GetLargeImageBounds(
    const TSize& AImageSize, const TRect& R, TdxBarPaintType APaintType,
    TdxBarItemControlViewStructure AStructure, TdxBarGlyphLayout ALayout) {
  Integer left = R.Left + (R.Width() - AImageSize.cx) / 2;
  Integer top = R.Top + (R.Height() - AImageSize.cy) / 2;
  if (AStructure.Contains(cpText) && APaintType != ptMenu) {
    const bool horz = APaintType == ptHorz;
    switch (ALayout) {
      case glLeft:
        if (horz)
          left = R.Left + 4;
        else
          top = R.Top + 4;
        break;
      case glRight:
        if (horz)
          left = R.Right - 4 - AImageSize.cx;
        else
          top = R.Bottom - 4 - AImageSize.cy;
        break;
      case glTop:
        if (horz)
          top = R.Top + 2;
        else
          left = R.Right - 2 - AImageSize.cx;
        break;
      case glBottom:
        if (horz)
          top = R.Bottom - 2 - AImageSize.cy;
        else
          left = R.Left + 2;
        break;
    }
  }
  return Bounds(left, top, AImageSize.cx, AImageSize.cy);
}

TRect TdxBarPainter::GetSmallImageBounds(const TSize& AImageSize,
                                         const TRect& AArea, bool ANoIcon,
                                         bool ADown, bool APressed,
                                         TdxBarItemControl* AControl) {
  if (ANoIcon && !ADown) return Rect(0, 0, AImageSize.cx, AImageSize.cy);
  TRect r = Bounds(AArea.Left + (AArea.Width() - AImageSize.cx) / 2,
                   AArea.Top + (AArea.Height() - AImageSize.cy) / 2,
                   AImageSize.cx, AImageSize.cy);
  Integer shift = 0;
  if (ADown) shift += GlyphDownShift(AControl);
  if (APressed) shift += GlyphDrawDownedShift(AControl, ADown);
  return Rect(r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift);
}

// ---------------------------------------------------------------------------
// Item background, glyph and text
// ---------------------------------------------------------------------------

void TdxBarPainter::DrawBackground(TdxBarItemControl* AControl, HDC DC,
                                   const TRect& R, HBRUSH ABrush,
                                   bool AOpaque) {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  if (AOpaque || !bar) {
    FillWith(DC, R, ABrush);
    return;
  }
  dxBarFillControlBackground(bar, DC, R);
}

void TdxBarPainter::DrawBackgroundFrameRect(TdxBarItemControl* AControl, HDC DC,
                                            const TRect& R, HBRUSH ABrush,
                                            bool AOpaque) {
  if (AOpaque) {
    RECT r = dxRECT(R);
    ::FrameRect(DC, &r, ABrush);
    return;
  }
  TClipRegionSaver clip(DC);
  ::ExcludeClipRect(DC, R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  DrawBackground(AControl, DC, R, ABrush, false);
}

void TdxBarPainter::DrawDisabledShadowRect(TdxBarItemControl*, HDC DC,
                                           const TRect& R) {
  FillWith(DC, R, SysBrush(COLOR_BTNSHADOW));
}

void TdxBarPainter::DrawItemText(TdxBarItemControl* AItemControl, HDC DC,
                                 const String& AText, const TRect& R,
                                 TAlignment AAlignment, bool AEnabled,
                                 bool ASelected, bool AVertical, bool AClip,
                                 bool AAllowFlat, UINT AFlags) {
  // Vertical captions are drawn with the rotated font the bar selects;
  // horizontally they take the alignment and are centred across.
  UINT flags = AFlags;
  if (!AClip) flags |= DT_NOCLIP;
  if (!AVertical) {
    static constexpr UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    flags |= align[AAlignment] | DT_VCENTER;
  }
  const TdxBarTextColors colors = GetTextColors(nullptr, AEnabled, ASelected,
                                                IsFlatItemText() && AAllowFlat);
  // A context that nobody chose a font for draws in the stock system font,
  // wider than the item's own font that measured the caption.
  TcxCanvas* canvas = AItemControl ? AItemControl->GetCanvas() : nullptr;
  const bool stockFont =
      ::GetCurrentObject(DC, OBJ_FONT) == ::GetStockObject(SYSTEM_FONT);
  TSelectObject itemFont(DC, stockFont && canvas
                                 ? canvas->Font()->Handle()
                                 : ::GetCurrentObject(DC, OBJ_FONT));
  const int oldMode = ::SetBkMode(DC, TRANSPARENT);
  const COLORREF oldColor = ::GetTextColor(DC);
  RECT r = dxRECT(R);
  if (colors.First != colors.Second) {
    RECT shadow{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    ::SetTextColor(DC, ColorToRGB(colors.First));
    ::DrawTextA(DC, AText.c_str(), -1, &shadow, flags);
  }
  ::SetTextColor(DC, ColorToRGB(colors.Second));
  ::DrawTextA(DC, AText.c_str(), -1, &r, flags);
  ::SetTextColor(DC, oldColor);
  ::SetBkMode(DC, oldMode);
}

void TdxBarPainter::DrawLowered(HDC DC, TRect& R) {
  RECT r = dxRECT(R);
  ::DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
  R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

HBRUSH TdxBarPainter::GlyphBkgndBrush(TdxBarItemControl* AControl,
                                      TdxBarPaintType,
                                      const TdxBarGlyphFlags&) {
  return dxBarItemBkBrush(AControl);
}

TRect TdxBarPainter::DrawGlyph(const TdxBarButtonLikeControlDrawParams& AParams,
                               const TRect& R, const TRect& ABackground,
                               TdxBarGlyphFlags AFlags) {
  TdxBarItemControl* control = AParams.ItemControl;
  if (!control || !AParams.Canvas) return {};
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  Integer index = -1;
  if (!control->GetCurrentImage(AParams.ViewSize, glyph, images, index))
    AFlags.NoIcon = true;
  const TSize size = control->GetGlyphSize(AParams.ViewSize);
  TRect glyphRect;
  if (AParams.ViewSize == cvsLarge && AParams.PaintType != ptMenu) {
    glyphRect = GetLargeImageBounds(size, R, AParams.PaintType,
                                    AParams.ViewStructure, AParams.GlyphLayout);
  } else {
    TRect area = R;
    if (!AFlags.WholeArea && AParams.GlyphAreaSize > 0) {
      if (AParams.PaintType == ptHorz)
        area.Right = area.Left + AParams.GlyphAreaSize;
      if (AParams.PaintType == ptVert)
        area.Bottom = area.Top + AParams.GlyphAreaSize;
    }
    glyphRect = GetSmallImageBounds(size, area, AFlags.NoIcon, AFlags.Down,
                                    AFlags.Pressed, control);
  }
  const TRect background = IsRectEmpty(ABackground) ? R : ABackground;
  DrawGlyphAndBkgnd(control, AParams.Canvas->Handle(), background, glyphRect,
                    AParams.PaintType, glyph, images, index, AFlags);
  return glyphRect;
}

void TdxBarPainter::DrawGlyphAndBkgnd(
    TdxBarItemControl* AControl, HDC DC, const TRect& ABackground,
    const TRect& AGlyphRect, TdxBarPaintType APaintType, TBitmap* AGlyph,
    TCustomImageList* AImages, Integer AImageIndex,
    const TdxBarGlyphFlags& AFlags) {
  HBRUSH brush = GlyphBkgndBrush(AControl, APaintType, AFlags);
  const bool fits = ABackground.Width() >= AGlyphRect.Width() + 2 &&
                    ABackground.Height() >= AGlyphRect.Height() + 2;
  if (IsNativeBackground())
    DrawGlyphBorder(AControl, DC, brush, fits, ABackground, APaintType, AFlags);
  const TRect inner = fits ? Rect(ABackground.Left + 1, ABackground.Top + 1,
                                  ABackground.Right - 1, ABackground.Bottom - 1)
                           : ABackground;
  const bool transparent = IsGlyphImageTransparent(AControl);
  if (!IsNativeBackground() && (AFlags.NoIcon || transparent))
    DrawBackground(
        AControl, DC, inner, brush,
        IsGlyphImageBackgroundOpaque(AControl, AFlags.Down, AFlags.NoIcon,
                                     AFlags.Selected, AFlags.Pressed));
  if (AFlags.NoIcon) {
    DrawGlyphEmptyImage(AControl, DC, inner, APaintType, AFlags.Down);
  } else {
    TdxBarManager* manager = AControl ? AControl->GetBarManager() : nullptr;
    TdxBarImageDrawState state;
    state.Enabled = !AControl || AControl->GetEnabled();
    state.GrayScale = AFlags.GrayScale;
    state.Flat = IsFlatGlyphImage();
    state.Selected = AFlags.Selected;
    state.Down = AFlags.Down;
    state.Pressed = AFlags.Pressed;
    state.Shadow = IsGlyphImageHasShadow();
    state.Faded = GetFaded(manager);
    TColor bkColor = clNone;
    if (manager) {
      state.Smooth = manager->ImageOptions()->SmoothGlyphs;
      state.LeftBottomPixelTransparent =
          manager->ImageOptions()->UseLeftBottomPixelAsTransparent();
      bkColor = manager->ImageOptions()->ImageListBkColor();
    }
    TransparentDraw(DC, transparent ? nullptr : brush, inner, AGlyphRect,
                    AGlyph, AImages, AImageIndex, bkColor, state);
  }
  if (!IsNativeBackground())
    DrawGlyphBorder(AControl, DC, brush, fits, ABackground, APaintType, AFlags);
}

bool TdxBarPainter::IsGlyphImageBackgroundOpaque(TdxBarItemControl*, bool ADown,
                                                 bool ANoIcon, bool ASelected,
                                                 bool APressed) {
  return APressed && (ADown || ANoIcon || ASelected);
}

Integer TdxBarPainter::TextAreaOffset(TdxBarItemControl* AControl) {
  if (!AControl || !AControl->Parent() || !IsMenuItem(AControl)) return 0;
  return AControl->Parent()->GetTextSize() + 1;
}

// ---------------------------------------------------------------------------
// Toolbar grip and frame metrics
// ---------------------------------------------------------------------------

Integer TdxBarPainter::BorderSizeX() const {
  return ::GetSystemMetrics(SM_CXFRAME);
}
Integer TdxBarPainter::BorderSizeY() const {
  return ::GetSystemMetrics(SM_CYFRAME);
}

Integer TdxBarPainter::RealButtonArrowWidth(TdxBarManager* AManager) {
  if (!AManager) return 0;
  Integer width =
      AManager->ButtonArrowWidth() * (AManager->LargeIcons() ? 2 : 1);
  if (width % 2 == 0) ++width;
  return width;
}

Integer TdxBarPainter::RealLargeButtonArrowWidth(TdxBarManager* AManager) {
  return AManager ? AManager->LargeButtonArrowWidth() : 0;
}

Integer TdxBarPainter::BarFingersSize(TdxBar* ABar) {
  TdxBarControl* control = ToolbarOf(ABar);
  if (!ABar || !ABar->CanMoving()) return EmptyFingersSize();
  return FingersSize(control);
}

// ---------------------------------------------------------------------------
// Dock and bar backgrounds and brushes
// ---------------------------------------------------------------------------

void TdxBarPainter::DockControlFillBackground(TdxDockControl*, HDC DC,
                                              const TRect& ADestRect,
                                              const TRect&, const TRect&,
                                              HBRUSH ABrush, TColor AColor) {
  FillBackgroundArea(DC, ADestRect, ADestRect, ABrush, AColor, nullptr);
}

void TdxBarPainter::BarFillParentBackground(TdxBarControl* ABarControl, HDC DC,
                                            const TRect& ADestRect,
                                            const TRect& ASourceRect,
                                            HBRUSH ABrush, TColor AColor) {
  TdxDockControl* dock = ABarControl ? ABarControl->DockControl() : nullptr;
  if (!dock) {
    FillBackgroundArea(DC, ADestRect, ASourceRect, ABrush, AColor, nullptr);
    return;
  }
  // The dock paints in its own coordinates: shift the origin so that its
  // background runs on under the toolbar.
  TPoint prev;
  TRect r = ADestRect;
  BeforeDrawBackground(ABarControl, dock, DC, r, prev);
  dock->FillBackground(DC, r);
  AfterDrawBackground(DC, prev);
}

void TdxBarPainter::BarDrawDockedBackground(TdxBarControl* ABarControl, HDC DC,
                                            const TRect& ADestRect,
                                            const TRect& ASourceRect,
                                            HBRUSH ABrush, TColor AColor) {
  BarFillParentBackground(ABarControl, DC, ADestRect, ASourceRect, ABrush,
                          AColor);
}

void TdxBarPainter::BarDrawFloatingBackground(TdxBarControl* ABarControl,
                                              HDC DC, const TRect& ADestRect,
                                              const TRect& ASourceRect,
                                              HBRUSH ABrush, TColor AColor) {
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  FillBackgroundArea(DC, ADestRect, ASourceRect, ABrush, AColor,
                     manager ? manager->Backgrounds()->Bar() : nullptr);
}

HBRUSH TdxBarPainter::BarToolbarBrush(TCustomdxBarControl*) {
  return SysBrush(COLOR_BTNFACE);
}
HBRUSH TdxBarPainter::BarToolbarBrushEx(TCustomdxBarControl* ABarControl) {
  return BarToolbarBrush(ABarControl);
}
HBRUSH TdxBarPainter::BarToolbarDownedBrush(TCustomdxBarControl*) {
  return dxBarPatternBrush();
}
HBRUSH TdxBarPainter::BarToolbarDownedSelBrush(TCustomdxBarControl*) {
  return SysBrush(COLOR_BTNFACE);
}
HBRUSH TdxBarPainter::BarToolbarSelBrush(TCustomdxBarControl*) {
  return SysBrush(COLOR_HIGHLIGHT);
}

// ---------------------------------------------------------------------------
// Toolbars
// ---------------------------------------------------------------------------

TRect TdxBarPainter::BarBorderPaintSizes(TdxBarControl*) {
  const Integer b = BarBorderSize();
  return {b, b, b, b};
}

TRect TdxBarPainter::BarBorderSizes(TdxBar*, TdxBarDockingStyle) {
  return {2, 2, 2, 2};
}

Integer TdxBarPainter::BarCaptionSize() const {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics,
                               &metrics, 0))
    return ::GetSystemMetrics(SM_CYSMCAPTION);
  return metrics.iSmCaptionHeight;
}

TSize TdxBarPainter::BarCloseButtonSize() const {
  return {BarCaptionSize(), BarCaptionSize()};
}

void TdxBarPainter::BarDrawBackground(TdxBarControl* ABarControl, HDC DC,
                                      const TRect& ADestRect,
                                      const TRect& ASourceRect, HBRUSH ABrush,
                                      TColor AColor) {
  TdxBar* bar = ABarControl ? ABarControl->Bar() : nullptr;
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  TBitmap* shared = manager ? manager->Backgrounds()->Bar() : nullptr;
  if (bar && bar->IsStatusBar() && (!shared || shared->Empty())) {
    FillBackgroundArea(DC, ADestRect, ADestRect, ABrush, AColor, nullptr);
    return;
  }
  if (bar && bar->Color != clDefault) {
    FillBackgroundArea(DC, ADestRect, ADestRect, nullptr, bar->Color, nullptr);
    return;
  }
  if (ABarControl && ABarControl->DockingStyle() != dsNone)
    BarDrawDockedBackground(ABarControl, DC, ADestRect, ASourceRect, ABrush,
                            AColor);
  else
    BarDrawFloatingBackground(ABarControl, DC, ADestRect, ASourceRect, ABrush,
                              AColor);
}

TRect TdxBarPainter::FillBeginGroupSides(TCustomdxBarControl* ABarControl,
                                         HDC DC, const TRect& R, HBRUSH ABrush,
                                         bool AHorizontal) {
  const Integer side = BarBeginGroupSideSize();
  if (AHorizontal) {
    dxBarFillControlBackground(
        ABarControl, DC, Rect(R.Left, R.Top, R.Right, R.Top + side), ABrush);
    dxBarFillControlBackground(ABarControl, DC,
                               Rect(R.Left, R.Bottom - side, R.Right, R.Bottom),
                               ABrush);
    return Rect(R.Left, R.Top + side, R.Right, R.Bottom - side);
  }
  dxBarFillControlBackground(
      ABarControl, DC, Rect(R.Left, R.Top, R.Left + side, R.Bottom), ABrush);
  dxBarFillControlBackground(
      ABarControl, DC, Rect(R.Right - side, R.Top, R.Right, R.Bottom), ABrush);
  return Rect(R.Left + side, R.Top, R.Right - side, R.Bottom);
}

void TdxBarPainter::BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC,
                                      const TRect& R, HBRUSH ABrush,
                                      bool AHorizontal) {
  RECT line =
      dxRECT(FillBeginGroupSides(ABarControl, DC, R, ABrush, AHorizontal));
  ::DrawEdge(DC, &line, EDGE_ETCHED, AHorizontal ? BF_TOP : BF_LEFT);
}

void TdxBarPainter::BarDrawCaptionElement(TdxBarControl* ABarControl, HDC DC,
                                          const TRect& R,
                                          TdxBarMarkState AState) {
  if (AState == msNone) {
    TBrushHandle brush(::CreateSolidBrush(ColorToRGB(BarCaptionBkColor(true))));
    FillWith(DC, R, brush.get());
    return;
  }
  FrameFlatSelRect(DC, R);
  FillWith(DC, Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1),
           AState == msSelected ? BarToolbarSelBrush(ABarControl)
                                : BarToolbarDownedSelBrush(ABarControl));
}

void TdxBarPainter::BarDrawFloatingBarCaption(TdxBarControl* ABarControl,
                                              HDC DC, TRect ACaptionRect,
                                              const TRect&, HBRUSH ABrush) {
  FillWith(DC,
           Rect(ACaptionRect.Left, ACaptionRect.Bottom, ACaptionRect.Right,
                ACaptionRect.Bottom + 1),
           ABrush);
  if (BarCaptionTransparent()) FillWith(DC, ACaptionRect, ABrush);
  const bool active = true;
  if (ABarControl && ABarControl->HasCloseButton()) {
    ACaptionRect.Right -= BarCaptionSize();
    BarDrawCloseButton(
        ABarControl, DC,
        Rect(ACaptionRect.Right, ACaptionRect.Top,
             ACaptionRect.Right + BarCaptionSize(), ACaptionRect.Bottom));
  }
  // The caption buttons stand left of the close button; the text ends
  // before them.
  if (TdxBarCaptionButtons* buttons =
          ABarControl ? ABarControl->GetCaptionButtons() : nullptr) {
    const TRect r = buttons->GetRect();
    if (!IsRectEmpty(r)) {
      ACaptionRect.Right = std::min(ACaptionRect.Right, r.Left);
      ABarControl->DrawCaptionButtons(DC);
    }
  }
  Integer textLeft = ACaptionRect.Left + 2;
  const bool mark = ABarControl && ABarControl->MarkExists();
  if (mark) {
    const TRect markRect = BarMarkItemRect(ABarControl);
    if (markRect.Right > textLeft) textLeft = markRect.Right + 3;
  }
  if (ACaptionRect.Width() > 0) {
    TFontHandle font(CreateCaptionFontHandle(
        ABarControl ? ABarControl->Font() : nullptr,
        !ABarControl || !ABarControl->BarManager() ||
            ABarControl->BarManager()->UseSystemFont()));
    TSelectObject select(DC, font.get());
    ::SetTextColor(DC, ColorToRGB(BarCaptionColor(ABarControl)));
    ::SetBkColor(DC, ColorToRGB(BarCaptionBkColor(active)));
    ::SetBkMode(DC, BarCaptionTransparent() ? TRANSPARENT : OPAQUE);
    const String caption =
        ABarControl && ABarControl->Bar() ? ABarControl->Bar()->Caption() : "";
    SIZE extent{};
    ::GetTextExtentPoint32A(DC, caption.c_str(),
                            static_cast<int>(caption.size()), &extent);
    RECT clip = dxRECT(ACaptionRect);
    ::ExtTextOutA(
        DC, textLeft, (ACaptionRect.Top + ACaptionRect.Bottom - extent.cy) / 2,
        ETO_CLIPPED | (BarCaptionTransparent() ? 0 : ETO_OPAQUE), &clip,
        caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
  }
  if (mark) BarDrawMark(ABarControl, DC, BarMarkItemRect(ABarControl));
}

void TdxBarPainter::BarDrawMark(TdxBarControl* ABarControl, HDC DC,
                                const TRect& R) {
  BarDrawMarkArrow(ABarControl, DC, R);
}

void TdxBarPainter::BarDrawMarks(TdxBarControl* ABarControl, HDC DC,
                                 const TRect& R, HBRUSH ABrush) {
  BarDrawMarkBackground(ABarControl, DC, R, ABrush);
  BarDrawMarkElements(ABarControl, DC, R);
}

TRect TdxBarPainter::BarMarkItemRect(TdxBarControl* ABarControl) {
  if (!ABarControl) return {};
  const Integer w = ABarControl->ClientWidth();
  const Integer h = ABarControl->ClientHeight();
  const Integer mark = MarkSizeX(ABarControl);
  switch (ABarControl->DockingStyle()) {
    case dsLeft:
    case dsRight:
      return Rect(0, h - mark, w, h);
    case dsTop:
    case dsBottom:
      return Rect(w - mark, 0, w, h);
    case dsNone:
      break;
  }
  const TRect caption = FloatingCaptionRect(this, ABarControl);
  TRect r = Rect(caption.Right - caption.Height(), caption.Top, caption.Right,
                 caption.Bottom);
  if (ABarControl->HasCloseButton()) {
    const Integer shift = BarCloseButtonSize().cx + 1;
    r.Left -= shift;
    r.Right -= shift;
  }
  r.Left = std::max(r.Left, caption.Left);
  return r;
}

TSize TdxBarPainter::StatusBarGripSize(TdxBarManager*) const {
  return {::GetSystemMetrics(SM_CXHSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)};
}

// ---------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------

HBRUSH TdxBarPainter::ButtonControlArrowBrush(
    const TdxBarButtonLikeControlDrawParams& AParams) {
  return dxBarItemBkBrush(AParams.ItemControl);
}

bool TdxBarPainter::IsButtonControlArrowBackgroundOpaque(
    const TdxBarButtonLikeControlDrawParams& AParams) {
  return IsFlatItemText() && (AParams.DroppedDown || AParams.DrawSelected);
}

bool TdxBarPainter::IsButtonControlArrowDrawSelected(
    const TdxBarButtonLikeControlDrawParams& AParams) {
  const bool menu = AParams.PaintType == ptMenu;
  if (IsFlatItemText())
    return (IsHighContrastWhite() && AParams.DrawSelected &&
            (menu || !AParams.DroppedDown)) ||
           (menu && AParams.DroppedDown);
  return IsButtonControlArrowFlat() && AParams.DroppedDown;
}

void TdxBarPainter::OffsetCaptionBounds(bool ADown, bool APressed, TRect& R) {
  if (IsFlatItemText()) return;
  Integer shift = 0;
  if (ADown || APressed) ++shift;
  if (ADown && APressed && !IsButtonControlArrowFlat()) ++shift;
  R = Rect(R.Left + shift, R.Top + shift, R.Right + shift, R.Bottom + shift);
}

void TdxBarPainter::OffsetEllipsisBounds(bool ADown, TRect& R) {
  if (!ADown || IsFlatItemText()) return;
  R = Rect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
}

void TdxBarPainter::DrawButtonLikeControl(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& ABounds) {
  if (!AParams.Canvas || !AParams.ItemControl) return;
  HDC dc = AParams.Canvas->Handle();
  TRect r = ABounds;
  if (AParams.IsLowered) DrawLowered(dc, r);
  if (AParams.PaintType == ptMenu) {
    DrawGlyphAndTextInSubMenu(AParams, r);
    DrawButtonLikeControlArrow(AParams, r);
    return;
  }
  TRect content = r;
  if (AParams.IsDropDown && AParams.IsSplit && AParams.PaintType != ptMenu)
    content.Right -= AParams.ArrowSize.cx;
  TRect glyphBase = r;
  if (AParams.ViewSize == cvsLarge) {
    glyphBase = content;
    content = Rect(content.Left + 1, content.Top + 1, content.Right - 1,
                   content.Bottom - 1);
    OffsetCaptionBounds(AParams.Down, AParams.IsPressed, content);
  }
  TRect background = AParams.DroppedDownFlat        ? r
                     : AParams.ViewSize == cvsLarge ? glyphBase
                                                    : content;
  TdxBarGlyphFlags flags;
  flags.NoIcon = !AParams.ViewStructure.Contains(cpIcon);
  flags.Selected = AParams.DrawSelected;
  flags.Down = AParams.Down;
  flags.Pressed = AParams.IsPressed;
  flags.DroppedDown = AParams.DroppedDown;
  flags.GrayScale = AParams.GrayScale;
  flags.SplitPart = AParams.IsDropDown && AParams.IsSplit;
  const TRect glyph = DrawGlyph(AParams, content, background, flags);
  if (AParams.ViewStructure.Contains(cpText)) {
    TRect caption = content;
    TAlignment alignment = taLeftJustify;
    CorrectCaptionParams(AParams, caption, glyph, alignment);
    DrawItemText(AParams.ItemControl, dc, AParams.Caption, caption, alignment,
                 AParams.Enabled, AParams.IsTextSelected,
                 AParams.PaintType == ptVert, false, AParams.IsFlatText);
  }
  DrawButtonLikeControlArrow(AParams, r);
}

void TdxBarPainter::DrawButtonLikeControlArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  if (!AParams.IsDropDown || AParams.IsMenuItem) return;
  if (AParams.IsSplit)
    DrawSplitControlArrow(AParams, R);
  else
    DrawAssociateControlArrow(AParams, R);
}

void TdxBarPainter::DrawButtonControlArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect R) {
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  const bool menu = AParams.PaintType == ptMenu;
  if (!IsButtonControlArrowFlat() && AParams.DroppedDown &&
      (R.Width() >= 10 || menu))
    R = Rect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
  const bool enabled = AParams.Enabled && AParams.IsDropDownEnabled;
  if (menu) {
    DrawLargeItemArrow(dc, R, adRight, AParams.ArrowSize.cy,
                       IsButtonControlArrowDrawSelected(AParams), enabled,
                       IsButtonControlArrowFlat(), GetItemArrowColor(AParams));
  } else {
    DrawItemArrow(dc, R, adDown, enabled,
                  IsButtonControlArrowDrawSelected(AParams),
                  IsButtonControlArrowFlat(), GetItemArrowColor(AParams));
  }
}

void TdxBarPainter::DrawButtonControlArrowBackground(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect& R, HBRUSH ABrush) {
  if (AParams.PaintType != ptMenu && IsFlatItemText()) {
    R.Left -= 1;
    if (AParams.DroppedDown) return;
  }
  if (!AParams.Canvas) return;
  DrawBackground(AParams.ItemControl, AParams.Canvas->Handle(), R, ABrush,
                 IsButtonControlArrowBackgroundOpaque(AParams));
}

void TdxBarPainter::DrawSplitControlArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  TRect arrow = Rect(R.Right - AParams.ArrowSize.cx, R.Top, R.Right, R.Bottom);
  DrawButtonControlArrowBackground(AParams, arrow,
                                   ButtonControlArrowBrush(AParams));
  DrawButtonControlArrow(AParams, arrow);
}

void TdxBarPainter::DrawAssociateControlArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R) {
  if (!AParams.Canvas) return;
  TRect r = R;
  const bool menu = AParams.PaintType == ptMenu;
  if (!menu) OffsetCaptionBounds(false, AParams.DroppedDown, r);
  const TcxArrowDirection direction =
      AParams.PaintType == ptHorz ? adDown : adRight;
  const Integer size = AParams.ArrowSize.cy - (menu ? 0 : 1);
  const bool selected = menu ? AParams.DrawSelected && !IsFlatItemTextForMenu()
                             : AParams.IsTextSelected;
  TCustomdxBarControl* bar =
      AParams.ItemControl ? AParams.ItemControl->Parent() : nullptr;
  const Integer textSize = bar ? bar->GetTextSize() : 0;
  const Integer fontHeight = bar ? bar->Font()->Height() : 0;
  if (AParams.PaintType == ptHorz)
    r.Left = r.Right - textSize / 2 + fontHeight / 2;
  else if (AParams.PaintType == ptVert)
    r.Top = r.Bottom - textSize / 2 + fontHeight / 2;
  else
    r.Left = r.Right - textSize + AParams.ArrowSize.cy;
  DrawLargeItemArrow(AParams.Canvas->Handle(), r, direction, size, selected,
                     AParams.Enabled, IsFlatItemText(),
                     GetItemArrowColor(AParams));
}

// ---------------------------------------------------------------------------
// Menus, edits and progress
// ---------------------------------------------------------------------------

HBRUSH TdxBarPainter::SubMenuControlToolbarItemsBrush() const {
  return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
}

TColor TdxBarPainter::EditGetEnabledBkColor() const {
  return SysColor(COLOR_WINDOW);
}
TColor TdxBarPainter::EditGetEnabledTextColor() const {
  return SysColor(COLOR_WINDOWTEXT);
}
TColor TdxBarPainter::EditGetDisabledTextColor() const {
  return SysColor(COLOR_GRAYTEXT);
}

TColor TdxBarPainter::ProgressControlBarBrushColor() const {
  return SysColor(COLOR_HIGHLIGHT);
}

void TdxBarPainter::ProgressControlDrawBar(
    const TdxBarProgressDrawParams& AParams, HDC DC, const TRect& R,
    TColor AColor) {
  const bool vertical = AParams.PaintType == ptVert;
  const Integer length = vertical ? R.Height() : R.Width();
  const Integer cross = vertical ? R.Width() : R.Height();
  const Integer done = ::MulDiv(length, AParams.Position - AParams.Min,
                                AParams.Max - AParams.Min);
  if (done <= 0) return;
  const Integer start = vertical ? R.Top : R.Left;
  const Integer end = start + std::min(done, length);
  auto part = [&](Integer from, Integer to) {
    return vertical ? Rect(R.Left, from, R.Right, to)
                    : Rect(from, R.Top, to, R.Bottom);
  };
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(AColor)));
  if (AParams.Smooth) {
    ProgressControlFillContent(DC, part(start, end), brush.get());
    return;
  }
  const Integer block = std::max<Integer>(::MulDiv(cross, 2, 3), 1);
  for (Integer p = start; p < end; p += block + 2)
    ProgressControlFillDiscreteContent(DC, part(p, std::min(p + block, end)),
                                       brush.get());
}

void TdxBarPainter::ProgressControlFillContent(HDC DC, const TRect& R,
                                               HBRUSH ABrush) {
  FillWith(DC, R, ABrush);
}

// ---------------------------------------------------------------------------
// Shared routines
// ---------------------------------------------------------------------------

void dxBarFillControlBackground(TCustomdxBarControl* AControl, HDC DC,
                                const TRect& R, HBRUSH ABrush) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  if (AControl)
    AControl->FillBackground(DC, R);
  else if (ABrush)
    FillWith(DC, R, ABrush);
}

HBRUSH dxBarItemBkBrush(TdxBarItemControl* AControl) {
  TCustomdxBarControl* bar = AControl ? AControl->Parent() : nullptr;
  TdxBarPainter* painter = bar ? bar->GetPainter() : nullptr;
  if (!painter) return SysBrush(COLOR_BTNFACE);
  return bar->ItemsBackgroundBrush();
}

HFONT CreateCaptionFontHandle(TFont* AFont, bool AUseSystemFont) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTA font = metrics.lfSmCaptionFont;
  if (!AUseSystemFont && AFont) {
    const String name = AFont->Name();
    lstrcpynA(font.lfFaceName, name.c_str(), LF_FACESIZE);
    const LONG height = AFont->Height();
    font.lfHeight =
        height < 0 ? std::min<LONG>(height, -11) : std::max<LONG>(height, 11);
  }
  return ::CreateFontIndirectA(&font);
}

// ---------------------------------------------------------------------------
// Static texts
// ---------------------------------------------------------------------------

TRect TdxBarPainter::StaticControlGetBorderOffsets(
    TdxBarStaticBorderStyle AStyle) const {
  static constexpr Integer widths[] = {0, 1, 1, 2, 2};
  const Integer w = widths[AStyle];
  return {w, w, w, w};
}

void TdxBarPainter::DrawStaticBorder(HDC DC, TdxBarStaticBorderStyle AStyle,
                                     const TRect& AOffsets, TRect& R) {
  if (AStyle == sbsNone) return;
  RECT r = dxRECT(R);
  if (AStyle == sbsBump) {
    ::DrawEdge(DC, &r, BDR_RAISEDINNER, BF_RECT);
    ::InflateRect(&r, -1, -1);
    ::DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
    R = Rect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    return;
  }
  static constexpr UINT edges[] = {0, BDR_SUNKENOUTER, BDR_RAISEDINNER,
                                   EDGE_ETCHED, 0};
  ::DrawEdge(DC, &r, edges[AStyle], BF_RECT);
  R = Rect(R.Left + AOffsets.Left, R.Top + AOffsets.Top,
           R.Right - AOffsets.Right, R.Bottom - AOffsets.Bottom);
}

bool TdxBarPainter::StaticBackgroundIsOpaque(TdxBarItemControl*) const {
  // Items carry no background colour of their own here: statics show the
  // bar's background through.
  return false;
}

void TdxBarPainter::DrawStaticLikeControl(
    const TdxBarStaticLikeControlDrawParams& AParams, TRect& R,
    Integer ALeadingIndent, Integer ATrailingIndent) {
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  TdxBarItemControl* control = AParams.ItemControl;
  HBRUSH brush = dxBarItemBkBrush(control);
  const bool vertical = AParams.PaintType == ptVert;
  if (ALeadingIndent != 0) {
    TRect strip = R;
    if (vertical) {
      strip.Bottom = strip.Top + ALeadingIndent;
      R.Top = strip.Bottom;
    } else {
      strip.Right = strip.Left + ALeadingIndent;
      R.Left = strip.Right;
    }
    DrawBackground(control, dc, strip, brush, false);
  }
  if (ATrailingIndent != 0) {
    TRect strip = R;
    if (vertical) {
      strip.Top = strip.Bottom - ATrailingIndent;
      R.Bottom = strip.Top;
    } else {
      strip.Left = strip.Right - ATrailingIndent;
      R.Right = strip.Left;
    }
    DrawBackground(control, dc, strip, brush, false);
  }
  DrawStaticBorder(dc, AParams.BorderStyle, AParams.BorderOffsets, R);
}

void TdxBarPainter::DrawStaticBackground(
    const TdxBarStaticLikeControlDrawParams& AParams, const TRect& R) {
  DrawBackground(AParams.ItemControl, AParams.Canvas->Handle(), R,
                 dxBarItemBkBrush(AParams.ItemControl),
                 StaticBackgroundIsOpaque(AParams.ItemControl));
}

void TdxBarPainter::DrawStaticGlyphAndCaption(
    const TdxBarStaticLikeControlDrawParams& AParams, const TRect& R) {
  if (!AParams.Canvas) return;
  DrawStaticBackground(AParams, R);
  TdxBarItemControl* control = AParams.ItemControl;
  TCustomdxBarControl* bar = control ? control->Parent() : nullptr;
  const bool menu = AParams.PaintType == ptMenu;
  const bool vertical = AParams.PaintType == ptVert;
  const bool icon = AParams.ViewStructure.Contains(cpIcon);
  const bool text = AParams.ViewStructure.Contains(cpText);
  const bool centredGlyph = AParams.AllowCenter && !(menu && text);
  const bool centredText = AParams.AllowCenter && AParams.Alignment == taCenter;
  if (icon) {
    TRect glyph = R;
    if (text && AParams.PaintType == ptHorz)
      glyph.Right = glyph.Left + AParams.GlyphAreaSize;
    if (text && vertical) glyph.Bottom = glyph.Top + AParams.GlyphAreaSize;
    if (menu && !centredGlyph)
      glyph = SubMenuControlGetItemIconRect(
          R, dxBarGetSubMenuPaintInfo(bar).IconAreaSize);
    // Statics draw their glyph the way menus do: centred in its rectangle.
    TdxBarButtonLikeControlDrawParams glyphParams(control);
    glyphParams.Canvas = AParams.Canvas;
    glyphParams.ViewSize = AParams.ViewSize;
    glyphParams.ViewStructure = AParams.ViewStructure;
    glyphParams.PaintType = ptMenu;
    TdxBarGlyphFlags flags;
    flags.WholeArea = centredGlyph;
    flags.Static = true;
    DrawGlyph(glyphParams, glyph, glyph, flags);
  }
  if (!text) return;
  TRect r = R;
  const bool leadAligned = AParams.Alignment == taLeftJustify || centredText;
  if (!leadAligned) {
    (vertical ? r.Bottom : r.Right) -= 2;
  } else {
    Integer lead = 0;
    if (menu)
      lead =
          AParams.Alignment == taLeftJustify
              ? SubMenuControlGetItemTextIndent(dxBarGetSubMenuPaintInfo(bar))
              : 0;
    else if (icon)
      lead = AParams.GlyphAreaSize + 2;
    else if (!centredText)
      lead = (bar ? bar->TextSize() : 0) / 4;
    (vertical ? r.Top : r.Left) += lead;
  }
  const TAlignment alignment = centredText ? taCenter : AParams.Alignment;
  DrawItemText(control, AParams.Canvas->Handle(), AParams.Caption, r, alignment,
               AParams.Enabled, false, vertical, true, false);
}

void TdxBarPainter::DrawSeparatorControl(
    const TdxBarSeparatorControlDrawParams& AParams, const TRect& R) {
  if (!AParams.Canvas) return;
  TdxBarItemControl* control = AParams.ItemControl;
  TCustomdxBarControl* bar = control ? control->Parent() : nullptr;
  HDC dc = AParams.Canvas->Handle();
  if (AParams.ViewStructure.Contains(cpText)) {
    DrawSeparatorGlyphAndCaption(AParams, R);
    const Integer size = SubMenuGetSeparatorSize();
    if (!AParams.IsTop)
      SubMenuControlDrawSeparator(dc,
                                  Rect(R.Left, R.Top, R.Right, R.Top + size));
    SubMenuControlDrawSeparator(
        dc, Rect(R.Left, R.Bottom - size, R.Right, R.Bottom));
    return;
  }
  if (AParams.PaintType == ptMenu) {
    SubMenuControlDrawBeginGroup(dxBarGetSubMenuPaintInfo(bar), control,
                                 AParams.Canvas, R);
    return;
  }
  BarDrawBeginGroup(bar, dc, R, bar ? BarToolbarBrush(bar) : nullptr, false);
}
