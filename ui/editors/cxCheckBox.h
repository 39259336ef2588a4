// The check box editor and the check-mark painting that the check box, the
// check group and the check combo box share: one check square in every look
// (themed, painter, custom glyph strip, classic frame control, flat drawing
// with the check-mark mask). Windows only.
#pragma once

#include "Graphics.h"
#include "cxCheckStates.h"
#include "cxContainer.h"
#include "cxEditButtons.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"

// ---------------------------------------------------------------------------
// Check painting
// ---------------------------------------------------------------------------

void DrawEditCheck(
    TcxCanvas* ACanvas, const TRect& ACheckRect, TcxCheckBoxState AState,
    TcxEditCheckState ACheckState, TBitmap* AGlyph, Integer AGlyphCount,
    TcxEditBorderStyle AEditBorderStyle, bool ANativeStyle, TColor ABorderColor,
    TColor ABrushColor, bool ADrawBackground, bool AIsDesigning, bool AFocused,
    bool AIsThreeGlyphSets, TcxLookAndFeelPainterClass APainter,
    TcxCheckBoxNullValueShowingStyle ANullValueShowingStyle = nssGrayedChecked);
TSize GetEditCheckSize(TcxCanvas* ACanvas, bool ANativeStyle, TBitmap* AGlyph,
                       Integer AGlyphCount,
                       TcxLookAndFeelPainterClass APainter);
// 0 when native, with a glyph or a painter; otherwise 2 less the container
// border width of the style or kind.
Integer GetEditCheckBorderOffset(TcxContainerBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
Integer GetEditCheckBorderOffset(TcxEditBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
Integer GetEditCheckBorderOffset(TcxLookAndFeelKind ALookAndFeelKind,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
// Draws the text with a clear brush (disabled look when not enabled) and
// leaves a solid brush.
void DrawCheckBoxText(TcxCanvas* ACanvas, const String& AText, TFont* AFont,
                      TColor ATextColor, const TRect& ARect, Integer AFlags,
                      bool AEnabled);
// The check mark as a mask (black is the mark) of the standard check size,
// made from the system's check-box images.
TBitmap* cxCheckMarkMask();
// The frame-control state flags of the classic check in that state.
UINT GetClassicCheckFrameState(TcxCheckBoxState AState,
                               TcxEditCheckState ACheckState,
                               TcxEditBorderStyle AEditBorderStyle,
                               TcxCheckBoxNullValueShowingStyle ANullStyle);
