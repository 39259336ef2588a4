#include "cxEditUtils.h"

#include <algorithm>

#include "Handles.h"
#include "WinApi.h"
#include "cxEditPaintUtils.h"
#include "cxGeometry.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

bool gHasHotTrackColor = false;

void FillPixels(HDC ADC, Integer ALeft, Integer ATop, Integer AWidth,
                Integer AHeight, HBRUSH ABrush) {
  const RECT r{ALeft, ATop, ALeft + AWidth, ATop + AHeight};
  ::FillRect(ADC, &r, ABrush);
}

}  // namespace

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void DrawArrow(TcxCanvas* ACanvas, Integer ASize, const TRect& AContentRect,
               TcxArrowDirection ADirection, bool ADouble, bool APressed,
               TColor AColor) {
  if (ASize <= 0) return;
  const Integer count = ADouble ? 2 : 1;
  const bool vertical = ADirection == adUp || ADirection == adDown;
  const Integer width = vertical ? 2 * ASize - 1 : count * ASize;
  const Integer height = vertical ? count * ASize : 2 * ASize - 1;
  Integer x = AContentRect.Left + (AContentRect.Width() - width) / 2;
  Integer y = AContentRect.Top + (AContentRect.Height() - height) / 2;
  if (APressed) {
    ++x;
    ++y;
  }
  const HDC dc = ACanvas->Handle();
  const HBRUSH brush = GetSolidBrush(AColor);
  for (Integer k = 0; k < count; ++k) {
    const Integer step = k * ASize;
    for (Integer i = 0; i < ASize; ++i) {
      switch (ADirection) {
        case adUp:
          FillPixels(dc, x + ASize - 1 - i, y + step + i, 2 * i + 1, 1, brush);
          break;
        case adDown:
          FillPixels(dc, x + i, y + step + i, width - 2 * i, 1, brush);
          break;
        case adLeft:
          FillPixels(dc, x + step + i, y + ASize - 1 - i, 1, 2 * i + 1, brush);
          break;
        case adRight:
          FillPixels(dc, x + step + i, y + i, 1, height - 2 * i, brush);
          break;
      }
    }
  }
}

void DrawButtonBorder(TcxCanvas* ACanvas, TRect& R, TcxBorders ABorders,
                      TColor AColor) {
  if (ABorders.Contains(bLeft)) {
    InternalPolyLine(
        ACanvas, {TPoint{R.Left, R.Top}, TPoint{R.Left, R.Bottom - 1}}, AColor);
    ++R.Left;
  }
  if (ABorders.Contains(bRight)) {
    InternalPolyLine(
        ACanvas,
        {TPoint{R.Right - 1, R.Top}, TPoint{R.Right - 1, R.Bottom - 1}},
        AColor);
    --R.Right;
  }
  if (ABorders.Contains(bTop)) {
    InternalPolyLine(
        ACanvas, {TPoint{R.Left, R.Top}, TPoint{R.Right - 1, R.Top}}, AColor);
    ++R.Top;
  }
  if (ABorders.Contains(bBottom)) {
    InternalPolyLine(
        ACanvas,
        {TPoint{R.Left, R.Bottom - 1}, TPoint{R.Right - 1, R.Bottom - 1}},
        AColor);
    --R.Bottom;
  }
}

void InternalPolyLine(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints,
                      TColor AColor, bool AUseBrush) {
  if (APoints.empty()) return;
  const HDC dc = ACanvas->Handle();
  const TPoint& last = APoints.back();
  if (!AUseBrush) {
    TPenHandle pen(
        CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(AColor))));
    TSelectObject select(dc, pen.get());
    std::vector<POINT> points;
    points.reserve(APoints.size());
    for (const TPoint& p : APoints) points.push_back(POINT{p.X, p.Y});
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SetPixel(dc, last.X, last.Y, static_cast<COLORREF>(ColorToRGB(AColor)));
    return;
  }
  const HBRUSH brush = GetSolidBrush(AColor);
  for (std::size_t i = 0; i + 1 < APoints.size(); ++i) {
    const TPoint& a = APoints[i];
    const TPoint& b = APoints[i + 1];
    // From the start point up to, not including, the end point, whichever
    // way the segment runs.
    TRect r;
    if (a.Y == b.Y) {
      r = a.X <= b.X ? TRect{a.X, a.Y, b.X, a.Y + 1}
                     : TRect{b.X + 1, a.Y, a.X + 1, a.Y + 1};
    } else {
      r = a.Y <= b.Y ? TRect{a.X, a.Y, a.X + 1, b.Y}
                     : TRect{a.X, b.Y + 1, a.X + 1, a.Y + 1};
    }
    cxEditFillRect(dc, r, brush);
  }
  cxEditFillRect(dc, TRect{last.X, last.Y, last.X + 1, last.Y + 1}, brush);
}

void InternalFillRect(TcxCanvas* ACanvas, const TRect& R,
                      const TRect& AExcludeRect, HBRUSH ABrush) {
  if (cxRectIsEmpty(R) || R == AExcludeRect) return;
  const HDC dc = ACanvas->Handle();
  if (cxRectIsEmpty(AExcludeRect)) {
    cxEditFillRect(dc, R, ABrush);
    return;
  }
  const TRect& x = AExcludeRect;
  cxEditFillRect(dc, TRect{R.Left, R.Top, x.Left, R.Bottom}, ABrush);
  cxEditFillRect(dc, TRect{x.Left, R.Top, x.Right, x.Top}, ABrush);
  cxEditFillRect(dc, TRect{x.Right, R.Top, R.Right, R.Bottom}, ABrush);
  cxEditFillRect(dc, TRect{x.Left, x.Bottom, x.Right, R.Bottom}, ABrush);
}

void cxEditFillRect(TCanvas* ACanvas, const TRect& R, TColor AColor) {
  cxEditFillRect(ACanvas->Handle(), R, GetSolidBrush(AColor));
}

void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  cxEditFillRect(ACanvas->Handle(), R, GetSolidBrush(AColor));
}

void cxEditFillRect(HDC ADC, const TRect& R, HBRUSH ABrush) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::FillRect(ADC, &r, ABrush);
}

void DrawGlyph(TCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph,
               bool AEnabled, TColor ABackgroundColor,
               TBitmap* ABackgroundBitmap) {
  if (!VerifyBitmap(AGlyph)) return;
  const Integer w = AGlyph->Width();
  const Integer h = AGlyph->Height();
  const TRect glyphRect{0, 0, w, h};
  if (AEnabled) {
    TCanvas* target = ABackgroundBitmap ? ABackgroundBitmap->Canvas() : ACanvas;
    TBrush* brush = target->Brush();
    const TBrushStyle savedStyle = brush->Style();
    const TColor savedColor = brush->Color();
    if (ABackgroundBitmap || ABackgroundColor == clNone)
      brush->SetStyle(bsClear);
    else
      brush->SetColor(ABackgroundColor);
    const TColor transparent = AGlyph->TransparentColor();
    if (ABackgroundBitmap) {
      target->BrushCopy(glyphRect, AGlyph, glyphRect, transparent);
      ACanvas->Draw(X, Y, ABackgroundBitmap);
    } else {
      target->BrushCopy(TRect{X, Y, X + w, Y + h}, AGlyph, glyphRect,
                        transparent);
    }
    brush->SetColor(savedColor);
    brush->SetStyle(savedStyle);
    return;
  }
  TObjectPtr<TImageList> images(new TImageList(nullptr));
  images->SetSize(w, h);
  images->AddMasked(AGlyph, AGlyph->TransparentColor());
  if (!ABackgroundBitmap && ABackgroundColor != clNone) {
    TObjectPtr<TBitmap> back(new TBitmap());
    back->SetWidth(w);
    back->SetHeight(h);
    back->Canvas()->Brush()->SetColor(ABackgroundColor);
    back->Canvas()->FillRect(glyphRect);
    images->Draw(back->Canvas(), 0, 0, 0, false);
    ACanvas->Draw(X, Y, back.get());
  } else if (ABackgroundBitmap) {
    images->Draw(ABackgroundBitmap->Canvas(), 0, 0, 0, false);
    ACanvas->Draw(X, Y, ABackgroundBitmap);
  } else {
    images->Draw(ACanvas, X, Y, 0, false);
  }
}

void DrawGlyph(TcxCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph,
               bool AEnabled, TColor ABackgroundColor,
               TBitmap* ABackgroundBitmap) {
  DrawGlyph(ACanvas->Canvas(), X, Y, AGlyph, AEnabled, ABackgroundColor,
            ABackgroundBitmap);
}

void DrawGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList,
               Integer AImageIndex, const TRect& AGlyphRect,
               TColor ABackgroundColor, bool AEnabled,
               TBitmap* ABackgroundBitmap) {
  if (!VerifyImages(AImageList)) return;
  TObjectPtr<TBitmap> own;
  TBitmap* target = ABackgroundBitmap;
  if (!target) {
    own.reset(new TBitmap());
    own->SetWidth(AImageList->Width());
    own->SetHeight(AImageList->Height());
    own->Canvas()->Brush()->SetColor(ABackgroundColor);
    own->Canvas()->FillRect(
        TRect{0, 0, AImageList->Width(), AImageList->Height()});
    target = own.get();
  }
  AImageList->Draw(target->Canvas(), 0, 0, AImageIndex, AEnabled);
  ACanvas->Canvas()->Draw(AGlyphRect.Left, AGlyphRect.Top, target);
}

void SaveCanvasFont(TcxCanvas* ACanvas, LOGFONTA& ALogFont) {
  cxGetFontData(ACanvas->Font()->Handle(), ALogFont);
}

void RestoreCanvasFont(TcxCanvas* ACanvas, const LOGFONTA& ALogFont) {
  ACanvas->Font()->SetHandle(CreateFontIndirectA(&ALogFont));
}

// ---------------------------------------------------------------------------
// Measuring and tests
// ---------------------------------------------------------------------------

TRect cxGetThemeContentMargins(TcxCanvas* ACanvas, HTHEME ATheme, Integer APart,
                               Integer AState) {
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  GetThemeBackgroundContentRect(ATheme, ACanvas ? ACanvas->Handle() : nullptr,
                                APart, AState, &bounds, &content);
  return TRect{content.left - bounds.left, content.top - bounds.top,
               bounds.right - content.right, bounds.bottom - content.bottom};
}

TSize GetArrowSize(const TSize& ASize, TcxArrowDirection ADirection) {
  const Integer side = std::min(ASize.cx, ASize.cy);
  Integer width = (side - 1) / 2;
  if (width % 2 == 0) ++width;
  const Integer height = width / 2 + 1;
  if (ADirection == adLeft || ADirection == adRight)
    return TSize{height, width};
  return TSize{width, height};
}

Integer GetEditButtonsContentVerticalOffset(TcxCanvas* ACanvas,
                                            TcxEditButtonStyle AButtonStyle,
                                            bool ANativeStyle) {
  if (ANativeStyle) {
    const HTHEME theme = OpenTheme(totButton);
    if (theme) {
      const TRect m = cxGetThemeContentMargins(ACanvas, theme, 1, 1);
      return m.Top + m.Bottom;
    }
  }
  static constexpr Integer kOffsets[] = {0, 4, 2, 2, 2, 2, 2};
  return kOffsets[AButtonStyle];
}

TcxLookAndFeelPainterClass GetPainterClass(bool ANativeStyle,
                                           TcxLookAndFeelKind AKind) {
  if (ANativeStyle && AreVisualStylesAvailable())
    return cxPainterInstance<TcxWinXPLookAndFeelPainter>();
  switch (AKind) {
    case lfFlat:
      return cxPainterInstance<TcxFlatLookAndFeelPainter>();
    case lfUltraFlat:
      return cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
    case lfOffice11:
      return cxPainterInstance<TcxOffice11LookAndFeelPainter>();
    case lfStandard:
    default:
      return cxPainterInstance<TcxStandardLookAndFeelPainter>();
  }
}

bool cxSystemHasHotTrackColor(Cardinal APlatformId, Cardinal AMajorVersion,
                              Cardinal AMinorVersion) {
  // COLOR_HOTLIGHT came with Windows 98 and NT 5.0 and stayed in every later
  // version; reading only major version 5 gave later systems pure blue.
  if (APlatformId == VER_PLATFORM_WIN32_WINDOWS)
    return AMajorVersion > 4 || (AMajorVersion == 4 && AMinorVersion != 0);
  if (APlatformId == VER_PLATFORM_WIN32_NT) return AMajorVersion >= 5;
  return false;
}

TColor GetHotTrackColor() {
  if (gHasHotTrackColor) return TColor(GetSysColor(COLOR_HOTLIGHT));
  return TColor(0xFF0000);
}

TColor GetEditBorderHighlightColor(bool AIsOffice11Style) {
  return AIsOffice11Style ? dxOffice11SelectedBorderColor : clHighlight;
}

TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11Style) {
  const TcxLookAndFeelPainterClass painter =
      AIsOffice11Style ? cxPainterInstance<TcxOffice11LookAndFeelPainter>()
                       : cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
  return painter->ButtonColor(APressed ? cxbsPressed : cxbsHot);
}

bool VerifyBitmap(TBitmap* ABitmap) {
  return ABitmap && !ABitmap->Empty() && ABitmap->Width() > 0 &&
         ABitmap->Height() > 0;
}

bool VerifyImages(TCustomImageList* AImages) {
  return AImages && AImages->Width() > 0 && AImages->Height() > 0;
}

void cxOffsetRect(TRect& R, const TPoint& P) {
  R.Left += P.X;
  R.Right += P.X;
  R.Top += P.Y;
  R.Bottom += P.Y;
}

// ---------------------------------------------------------------------------
// Text flags
// ---------------------------------------------------------------------------

namespace {

struct TTextFlagPair {
  Cardinal TextOut;
  Integer Canvas;
};

// Left and top are the zero values of the text-output alignments, so they
// have no pair: the alignment ordinals are carried bit by bit.
constexpr TTextFlagPair kTextFlagPairs[] = {
    {0x1, cxtfAlignHCenter},          {0x2, cxtfAlignRight},
    {0x10, cxtfAlignVCenter},         {0x20, cxtfAlignBottom},
    {cxtoSingleLine, cxtfSingleLine}, {cxtoWordBreak, cxtfWordBreak}};

}  // namespace

Integer cxTextOutFlagsToDrawTextFlags(Cardinal AFlags) {
  Integer result = 0;
  for (const TTextFlagPair& p : kTextFlagPairs)
    if (AFlags & p.TextOut) result |= p.Canvas;
  return result;
}

Cardinal DrawTextFlagsTocxTextOutFlags(Integer AFlags) {
  Cardinal result = 0;
  for (const TTextFlagPair& p : kTextFlagPairs)
    if (AFlags & p.Canvas) result |= p.TextOut;
  return result;
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {

void EditUtilsStartup() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  gHasHotTrackColor =
      GetVersionExA(&info) &&
      cxSystemHasHotTrackColor(info.dwPlatformId, info.dwMajorVersion,
                               info.dwMinorVersion);
}

void EditUtilsShutdown() { gHasHotTrackColor = false; }

}  // namespace

VARNEL_UNIT(cxEditUtils, ({"cxEditPaintUtils", "dxOffice11"}),
            &EditUtilsStartup, &EditUtilsShutdown);
