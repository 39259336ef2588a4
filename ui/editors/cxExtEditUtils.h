// Drawing, measuring, parsing and window-hooking routines of the extended
// editors, also used by the toolbars, the shell controls and the status bar
// (rectangles, lines and colour increments). Windows only.
#pragma once

#include <functional>

#include "Controls.h"
#include "Graphics.h"
#include "Variants.h"
#include "cxCheckStates.h"
#include "cxGraphics.h"

// Subclasses one windowed control's window procedure: every message goes
// through HookWndProc before the procedure it replaced.
class TcxControlHook : public TObject {
  VARNEL_CLASS(TcxControlHook, TObject)
 public:
  // construction
  TcxControlHook();
  ~TcxControlHook() override;
  TcxControlHook(const TcxControlHook&) = delete;
  TcxControlHook& operator=(const TcxControlHook&) = delete;

  // properties
  TWinControl* WinControl() const { return winControl_; }
  // Unhooks the old control and hooks the new one (nil unhooks only).
  virtual void SetWinControl(TWinControl* Value);
  bool IsHooked() const { return prevWndProc_ != nullptr; }

 protected:
  // overridables
  // Passes the message on to the replaced procedure; unhooks after
  // WM_DESTROY.
  virtual void HookWndProc(TMessage& Message);
  virtual void HookControl();
  virtual void UnhookControl();

  WNDPROC PrevWndProc() const { return prevWndProc_; }

 private:
  TWinControl* winControl_ = nullptr;
  WNDPROC newWndProc_ = nullptr;
  WNDPROC prevWndProc_ = nullptr;
  bool destroying_ = false;
};

// rectangles and lines
// Frames R with its right and bottom coordinates drawn (they are the last
// column and row): left and top edges in AUpperLeftColor, right and bottom
// edges in ALowerRightColor. Returns R less one pixel on every side.
TRect DrawBounds(TCanvas* ACanvas, const TRect& R, TColor AUpperLeftColor,
                 TColor ALowerRightColor);
void DrawCanvasLine(TCanvas* ACanvas, TColor AColor, const TPoint& P1,
                    const TPoint& P2);
void DrawMRUDelimiter(TCanvas* ACanvas, const TRect& R, bool AHighlighted);
void InflateRectEx(TRect& R, Integer ALeft, Integer ATop, Integer ARight,
                   Integer ABottom);
Integer RectWidth(const TRect& R);
Integer RectHeight(const TRect& R);
Integer CalcCenterPosHeight(const TRect& R, Integer AHeight);
Integer CalcDrawWidth(const TRect& R, Integer AHeight);
// The colour (system colours resolved) with each channel moved by its
// delta and kept within 0 to 255; an RGB colour.
TColor IncColor(TColor AColor, Integer AR, Integer AG, Integer AB);
// Paints the control's parent behind the control into ADC, when asked
// (AWithParent) and the control has a parent.
void PaintBackground(TWinControl* AControl, HDC ADC, bool AWithParent);

// text
// Adds to AFlags the DrawText flags (AForDrawText) or the library's text
// flags for the alignments and options.
Integer PrepareTextFlag(Integer AFlags, TAlignment AHorzAlignment,
                        TcxAlignmentVert AVertAlignment, bool AEndEllipsis,
                        bool AWordWrap, Integer ATabWidth, bool AForDrawText,
                        bool AShowPrefix = false);
Integer NonCanvasTextHeight(TFont* AFont);
Integer NonCanvasTextWidth(TFont* AFont, const String& AText);
// The widest of the text and each of its lines, plus 1.
Integer CalcMaxWidth(TCanvas* ACanvas, const String& AText);
// Gives the canvas the font, turned by AAngle degrees when it is a TrueType
// font. Returns whether it is.
bool AdjustCanvasFont(TCanvas* ACanvas, TFont* AFont, Integer AAngle);
// The N-th piece (from 1) of the text split at ADelimiter.
String GetWord(Integer N, const String& AText, char ADelimiter);

// values and parsing
bool IsVarEmpty(const Variant& V);
bool IsValidStringForInt(const String& S);
// A trimmed decimal number within the double range: digits, the locale's
// decimal separator at most once and a leading minus sign.
bool IsValidStringForDouble(const String& S);
// The integer of the digits and minus signs of S; AStopOnInvalidChar ends
// the collection at the first other character instead of skipping it.
// Raises EConvertError for a collection that is no integer ("1-2").
Integer cxStrToInt(const String& S, bool AStopOnInvalidChar = true);
Extended cxStrToFloat(const String& S, bool AStopOnInvalidChar = true);
// A colour identifier ("clRed") or an integer string.
bool cxStrToColor(const String& S, TColor& AColor);
// "R.G.B"; missing parts repeat the last one.
TColor cxRGBStringColorToColor(const String& S);
// "#RRGGBB"; characters that are not hexadecimal digits are dropped.
TColor cxHexRGBStringColorToColor(const String& S);
String CheckStateToString(TcxCheckBoxState AState);
TcxCheckBoxState StringToCheckState(const String& S, bool AAllowGrayed);
TShiftState CurrentShiftState();

// Whether the font is a TrueType font (only those rotate).
bool cxIsTrueTypeFont(TFont* AFont);
// Whether AKey is the accelerator ("&" mark) of ACaption, without case.
bool cxIsAccel(char AKey, const String& ACaption);

// A bitmap property made on first read whose changes, and whose making and
// freeing by the setter, tell the owner.
class TcxLazyBitmap {
 public:
  explicit TcxLazyBitmap(std::function<void()> AChanged)
      : changed_(std::move(AChanged)) {}
  TBitmap* Get();
  bool Assigned() const { return bitmap_ != nullptr; }
  // Copies Value; nil frees the bitmap (no change when there was none).
  void Set(TBitmap* Value);

 private:
  std::function<void()> changed_;
  TObjectPtr<TBitmap> bitmap_;
};

// Answers CN_MEASUREITEM of an owner-drawn control with its size; false for
// any other message.
bool cxAnswerMeasureItem(TControl* AControl, TMessage& Message);
