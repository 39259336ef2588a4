// The editors' drawing and measuring routines: arrows drawn as stacked
// one-pixel lines, button borders and poly-lines drawn with cached brushes,
// glyphs (normal and disabled), button content offsets, the painter for a
// look, the conversion between the two text-flag vocabularies, and the
// highlight colours. Windows only.
#pragma once

#include <vector>

#include "Graphics.h"
#include "ImgList.h"
#include "cxDrawTextUtils.h"
#include "cxEditButtons.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"

// painting
void DrawArrow(TcxCanvas* ACanvas, Integer ASize, const TRect& AContentRect,
               TcxArrowDirection ADirection, bool ADouble, bool APressed,
               TColor AColor);
// Draws a one-pixel line along each side of R in ABorders (left, right,
// top, bottom) and shrinks R by it.
void DrawButtonBorder(TcxCanvas* ACanvas, TRect& R, TcxBorders ABorders,
                      TColor AColor);
// The open poly-line through the points, end point included. With
// AUseBrush every segment must be horizontal or vertical.
void InternalPolyLine(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints,
                      TColor AColor, bool AUseBrush = false);
// Fills R less AExcludeRect (all of R when AExcludeRect is empty).
void InternalFillRect(TcxCanvas* ACanvas, const TRect& R,
                      const TRect& AExcludeRect, HBRUSH ABrush);
void cxEditFillRect(TCanvas* ACanvas, const TRect& R, TColor AColor);
void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, TColor AColor);
void cxEditFillRect(HDC ADC, const TRect& R, HBRUSH ABrush);
// Draws the glyph with its transparent colour showing ABackgroundColor
// (nothing for clNone) or ABackgroundBitmap; disabled glyphs are embossed.
void DrawGlyph(TCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph,
               bool AEnabled = true, TColor ABackgroundColor = clNone,
               TBitmap* ABackgroundBitmap = nullptr);
void DrawGlyph(TcxCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph,
               bool AEnabled = true, TColor ABackgroundColor = clNone,
               TBitmap* ABackgroundBitmap = nullptr);
void DrawGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList,
               Integer AImageIndex, const TRect& AGlyphRect,
               TColor ABackgroundColor, bool AEnabled,
               TBitmap* ABackgroundBitmap = nullptr);
void SaveCanvasFont(TcxCanvas* ACanvas, LOGFONTA& ALogFont);
void RestoreCanvasFont(TcxCanvas* ACanvas, const LOGFONTA& ALogFont);

// measuring and tests
// The content margins of a theme part in a 100 by 100 rectangle, per side.
TRect cxGetThemeContentMargins(TcxCanvas* ACanvas, HTHEME ATheme, Integer APart,
                               Integer AState);
TSize GetArrowSize(const TSize& ASize, TcxArrowDirection ADirection);
Integer GetEditButtonsContentVerticalOffset(TcxCanvas* ACanvas,
                                            TcxEditButtonStyle AButtonStyle,
                                            bool ANativeStyle);
TcxLookAndFeelPainterClass GetPainterClass(bool ANativeStyle,
                                           TcxLookAndFeelKind AKind);
TColor GetHotTrackColor();
TColor GetEditBorderHighlightColor(bool AIsOffice11Style);
TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11Style);
bool VerifyBitmap(TBitmap* ABitmap);
bool VerifyImages(TCustomImageList* AImages);
void cxOffsetRect(TRect& R, const TPoint& P);
// Whether a system of that platform and version has a hot-track colour
// (COLOR_HOTLIGHT): Windows 98 and ME, and every NT from 5.0 on.
bool cxSystemHasHotTrackColor(Cardinal APlatformId, Cardinal AMajorVersion,
                              Cardinal AMinorVersion);

// text flags
Integer cxTextOutFlagsToDrawTextFlags(Cardinal AFlags);
Cardinal DrawTextFlagsTocxTextOutFlags(Integer AFlags);
