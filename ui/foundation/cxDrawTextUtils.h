// The component library's text engine: a text is broken into rows that fit
// a rectangle, the rows are placed by the horizontal and vertical alignment
// and drawn with justification, clipping, an end ellipsis and a highlighted
// character range. cxTextOut does all of it in one call or only computes the
// rectangle the text needs. The unit also holds the plain measuring and
// drawing wrappers that the rest of the library uses for 8-bit text.
//
// Text is 8-bit in the system's ANSI code page. On a far-east system locale
// (SysLocale.FarEast) a double-byte character is never split.
#pragma once

// Classes.h comes before <windows.h> (see Controls.h).
#include "Classes.h"
//
#include <windows.h>

#include <vector>

#include "Graphics.h"
#include "Types.h"

class TcxCanvas;

// ---------------------------------------------------------------------------
// Text-output flags
// ---------------------------------------------------------------------------

enum TcxTextAlignX : Byte {
  taLeft,
  taCenterX,
  taRight,
  taJustifyX,
  taDistributeX
};
enum TcxTextAlignY : Byte { taTop, taCenterY, taBottom, taDistributeY };

// Bits 0-2 hold a TcxTextAlignX, bits 4-5 a TcxTextAlignY.
constexpr Cardinal cxtoAlignXMask = 0x7;
constexpr Cardinal cxtoAlignYMask = 0x30;
constexpr Cardinal cxtoAlignYShift = 4;
constexpr Cardinal cxtoKeepLeftInside = 0x40;  // no row starts left of it
constexpr Cardinal cxtoKeepTopInside = 0x80;   // no row starts above it
constexpr Cardinal cxtoWordBreak = 0x100;
constexpr Cardinal cxtoSingleLine = 0x200;  // CR and LF are plain characters
constexpr Cardinal cxtoExpandTabs = 0x400;
constexpr Cardinal cxtoEndEllipsis = 0x800;
constexpr Cardinal cxtoExternalLeading = 0x2000;
// Only rows that fit the height whole are made.
constexpr Cardinal cxtoWholeRows = 0x4000;
constexpr Cardinal cxtoNoClip = 0x8000;
// Carried into TcxTextParams for callers; the layout ignores it.
constexpr Cardinal cxtoReserved10000 = 0x10000;
// A word longer than a row may break between characters.
constexpr Cardinal cxtoCharBreak = 0x20000;
constexpr Cardinal cxtoCalcRect = 0x100000;
constexpr Cardinal cxtoReturnRowCount = 0x200000;

// The flags for an alignment pair.
Cardinal cxMakeFormat(TcxTextAlignX AlignX, TcxTextAlignY AlignY);

// What the layout needs to know of the flags and of the font selected into
// the device context (cxCalcTextParams).
struct TcxTextParams {
  Integer LineHeight = 0;       // the font's tmHeight
  Integer ExternalLeading = 0;  // 0 unless cxtoExternalLeading
  Integer RowHeight = 0;        // LineHeight + ExternalLeading
  Integer EllipsisWidth = 0;    // width of "..." with cxtoEndEllipsis
  Byte BreakChar = 0;           // the font's tmBreakChar
  Byte TextAlignX = taLeft;     // a TcxTextAlignX ordinal
  Byte TextAlignY = taTop;      // a TcxTextAlignY ordinal
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool ExternalLeadingUsed = false;
  bool WholeRows = false;
  bool NoClip = false;
  bool Reserved10000 = false;
  bool KeepLeftInside = false;
  bool KeepTopInside = false;
  bool CharBreak = false;  // also on for a far-east locale
  bool ReturnRowCount = false;
  bool CalcRect = false;
  Integer MaxCharWidth = 0;  // tmMaxCharWidth
  Byte CharSet = 0;          // tmCharSet
};

// One row of a laid-out text. Text points into the caller's text, which
// must outlive the rows.
struct TcxTextRow {
  const char* Text = nullptr;
  Integer TextLength = 0;   // bytes
  TSize TextExtents;        // width and height in pixels
  Integer BreakCount = 0;   // break characters spread by justification
  TPoint TextOrigin;        // top-left corner, set by cxPlaceTextRows
  Integer StartOffset = 0;  // of Text from the start of the whole text
};
using TcxTextRows = std::vector<TcxTextRow>;

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

TcxTextParams cxCalcTextParams(HDC DC, Cardinal Flags);
// Makes the canvas's handle and font current first.
TcxTextParams cxCalcTextParams(TCanvas* ACanvas, Cardinal Flags);

// The extent of Length characters; with ExpandTabs tabs are expanded to the
// system's default stops.
void cxCalcTextExtents(HDC DC, const char* Text, Integer Length, TSize& Size,
                       bool ExpandTabs);
// Sets the row's TextExtents from its characters.
void cxCalcTextRowExtents(HDC DC, TcxTextRow& Row, const TcxTextParams& Params);

// Breaks the zero-terminated Text into rows that fit R. MaxRowCount 0 or
// less sets no limit. False only when the row limit cut the text short
// (never for single-line text or with cxtoCalcRect).
bool cxMakeTextRows(HDC DC, const char* Text, const TRect& R,
                    Integer MaxRowCount, Integer& RowCount, TcxTextRows& Rows,
                    const TcxTextParams& Params);
bool cxMakeTextRows(TCanvas* ACanvas, const char* Text, const TRect& R,
                    Integer MaxRowCount, Integer& RowCount, TcxTextRows& Rows,
                    const TcxTextParams& Params);

// Sets every row's TextOrigin. Vertical distribution may change
// Params.RowHeight.
void cxPlaceTextRows(HDC DC, const TRect& R, TcxTextParams& Params,
                     Integer RowCount, TcxTextRows& Rows);

// R with Left + LeftIndent and Right - RightIndent.
TRect cxPrepareRect(const TRect& R, const TcxTextParams& Params,
                    Integer LeftIndent, Integer RightIndent);

// Draws placed rows in the DC's font and text colour, the characters
// SelStart .. SelStart + SelLength - 1 of the whole text in SelTextColor on
// SelBkColor (clNone: no background). The DC's clip region, background
// mode, text colour and justification are as before when it returns.
void cxTextRowsOutHighlight(HDC DC, const TRect& R, const TcxTextParams& Params,
                            const TcxTextRows& Rows, Integer RowCount,
                            Integer SelStart, Integer SelLength,
                            TColor SelBkColor, TColor SelTextColor,
                            bool ForceEllipsis);

// The widest of the first RowCount rows; 0 when there is none.
Integer cxGetLongestTextRowWidth(const TcxTextRows& Rows, Integer RowCount);

// Lays out and draws Text in R narrowed by the indents. Returns the height
// from R's top to the last row's bottom, or the row count with
// cxtoReturnRowCount (and whenever that height is 0). With cxtoCalcRect
// nothing is drawn and R receives the rectangle the text needs.
Integer cxTextOut(HDC DC, const String& Text, TRect& R, Cardinal Flags,
                  Integer SelStart, Integer SelLength, TColor SelBkColor,
                  TColor SelTextColor, Integer MaxLineCount = 0,
                  Integer LeftIndent = 0, Integer RightIndent = 0);
Integer cxTextOut(TCanvas* ACanvas, const String& Text, TRect& R,
                  Cardinal Flags, Integer SelStart, Integer SelLength,
                  TColor SelBkColor, TColor SelTextColor,
                  Integer MaxLineCount = 0, Integer LeftIndent = 0,
                  Integer RightIndent = 0);
Integer cxTextOut(HDC DC, const String& Text, TRect& R, Cardinal Flags = 0,
                  Integer MaxLineCount = 0, Integer LeftIndent = 0,
                  Integer RightIndent = 0);
Integer cxTextOut(TCanvas* ACanvas, const String& Text, TRect& R,
                  Cardinal Flags = 0, Integer MaxLineCount = 0,
                  Integer LeftIndent = 0, Integer RightIndent = 0);

// ---------------------------------------------------------------------------
// Plain wrappers
// ---------------------------------------------------------------------------

// Count -1 measures the whole string; true on success.
bool cxGetTextExtentPoint32(HDC DC, const String& Text, TSize& Size,
                            Integer Count = -1);
// DrawText with the system's DT_* flags; returns DrawText's height.
Integer cxDrawText(HDC DC, const String& Text, TRect& R, UINT Format,
                   Integer Count = -1);
bool cxExtTextOut(HDC DC, const String& Text, const TPoint& P, const TRect& R,
                  UINT Options, Integer Count = -1);
bool cxExtTextOut(HDC DC, const String& Text, const TPoint& P, UINT Options,
                  Integer Count = -1);

// Measured on the shared screen canvas with a copy of AFont, at FontSize
// points when it is not 0.
TSize cxTextExtent(TFont* AFont, const String& Text, Integer FontSize = 0);
Integer cxTextWidth(TFont* AFont, const String& Text, Integer FontSize = 0);
Integer cxTextHeight(TFont* AFont, const String& Text, Integer FontSize = 0);

// The size of the text on one line (cxGetTextRect for one row).
TSize cxTextSize(HDC DC, const String& Text);
// The rectangle from (0, 0) that the word-wrapped text needs in at most
// RowCount rows of the height of "Wg", as narrow as that allows; with
// FixedHeight its height is RowCount such rows.
TRect cxGetTextRect(HDC DC, const String& Text, Integer RowCount,
                    bool FixedHeight = false);
TRect cxGetTextRect(TFont* AFont, const String& Text, Integer RowCount);
// Word-wraps Text into lines no wider than R (a single word wider than R
// keeps a line of its own) and adds them to Lines.
void cxGetTextLines(const String& Text, TcxCanvas* ACanvas, const TRect& R,
                    TStrings* Lines);

// True when text in the character set reads right to left. DEFAULT_CHARSET
// stands for the system's character set; a text that starts with a 7-bit
// character reads left to right.
bool cxGetWritingDirection(Byte ACharset, const String& Text);
