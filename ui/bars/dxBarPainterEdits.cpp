// The painters' edit-like controls: how an edit, combo, colour combo or
// spin edit divides into parts, the edit window's colours, the combo's
// arrow, the colour combo's dots, the spin buttons and the date
// navigator's buttons. The windowed edit and combo item controls read
// these when they paint.
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"
#include "dxBarWinControls.h"
#include "dxOffice11.h"

namespace {

TRect Shrunk(const TRect& R, const TRect& AMargins) {
  return Rect(R.Left + AMargins.Left, R.Top + AMargins.Top,
              R.Right - AMargins.Right, R.Bottom - AMargins.Bottom);
}

void FillSys(HDC DC, const TRect& R, int AIndex) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ::GetSysColorBrush(AIndex));
}

}  // namespace

TRect TdxBarPainter::EditControlGetContentRect(TdxBarPaintType APaintType,
                                               const TRect& R) const {
  return Shrunk(R, EditControlBorderOffsets(APaintType));
}

Integer TdxBarPainter::EditTextSize(Integer AFontHeight) const {
  const TRect border = EditControlBorderOffsets(ptHorz);
  const TRect vertical = GetEditTextVerticalOffsets();
  return AFontHeight + border.Top + border.Bottom + vertical.Top +
         vertical.Bottom + 1;
}

// ---------------------------------------------------------------------------
// Parts
// ---------------------------------------------------------------------------

void TdxBarPainter::CalculateEditParts(
    const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
    Integer APartCount, const TRect& ABounds) {
  if (APartCount < 3) return;
  Integer left = ABounds.Left;
  if (AParams.Transparent && AParams.PaintType != ptMenu)
    left += EditControlBorderOffsets(AParams.PaintType).Left;
  AParts[1] =
      Rect(left, ABounds.Top, left + AParams.GlyphAreaWidth, ABounds.Bottom);
  AParts[2] = Rect(AParts[1].Right, ABounds.Top,
                   AParts[1].Right + AParams.CaptionAreaWidth, ABounds.Bottom);
  AParts[0] = EditControlGetContentRect(AParams.PaintType, AParams.TextField);
}

namespace {

// The drop-down button at the right of its part; the text field ends
// before it.
void FinishComboParts(const TdxBarPainter& APainter, TCustomdxBarControl* ABar,
                      TRect* AParts) {
  const Integer arrow = APainter.ComboBoxArrowWidth(
      ABar ? APainter.GetDefaultArrowSignSize().cx : 5);
  AParts[3].Left = AParts[3].Right - arrow;
  AParts[0].Right = AParts[3].Left - APainter.ComboControlArrowOffset();
}

}  // namespace

void TdxBarPainter::CalculateComboParts(
    const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
    Integer APartCount, const TRect& ABounds) {
  if (APartCount < 4) return;
  CalculateEditParts(AParams, AParts, APartCount, ABounds);
  AParts[3] =
      Shrunk(AParams.TextField, ComboControlButtonOffsets(AParams.PaintType));
  FinishComboParts(
      *this, AParams.ItemControl ? AParams.ItemControl->Parent() : nullptr,
      AParts);
}

void TdxBarPainter::CalculateColorComboParts(
    const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
    Integer APartCount, const TRect& ABounds) {
  if (APartCount < 5) return;
  CalculateEditParts(AParams, AParts, APartCount, ABounds);
  AParts[4] = GetCustomColorButtonBounds(AParams, AParams.TextField);
  const bool shown = AParts[4].Width() > 0;
  AParts[3] =
      Shrunk(AParams.TextField, ComboControlButtonOffsets(AParams.PaintType));
  AParts[3].Right = AParts[4].Left;
  if (shown)
    AParts[3].Right -= GetCustomColorButtonIndents(AParams.PaintType).Left;
  if (!ColorComboHasCompleteFrame() || !shown)
    AParts[3].Right -= ComboControlButtonOffsets(AParams.PaintType).Right;
  FinishComboParts(
      *this, AParams.ItemControl ? AParams.ItemControl->Parent() : nullptr,
      AParts);
}

void TdxBarPainter::CalculateSpinEditParts(
    const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
    Integer APartCount, const TRect& ABounds) {
  if (APartCount < 5) return;
  CalculateEditParts(AParams, AParts, APartCount, ABounds);
  AParts[3] = GetSpinEditButtonBounds(AParams, AParams.TextField, sbUp);
  AParts[4] = GetSpinEditButtonBounds(AParams, AParams.TextField, sbDown);
  AParts[0].Right = AParts[3].Left - GetSpinEditButtonIndents().Left -
                    EditControlBorderOffsets(AParams.PaintType).Right;
}

// ---------------------------------------------------------------------------
// Frame and colours
// ---------------------------------------------------------------------------

void TdxBarPainter::EditControlDrawBorder(
    const TdxBarEditLikeControlDrawParams& AParams, TRect& R) {
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  TdxBarItemControl* control = AParams.ItemControl;
  HBRUSH bar = dxBarItemBkBrush(control);
  if (AParams.DrawSelected) {
    RECT r = dxRECT(R);
    ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else {
    DrawBackgroundFrameRect(control, dc, R, bar, false);
  }
  R = Shrunk(R, {1, 1, 1, 1});
  const bool plain = AParams.Enabled || AParams.Transparent;
  DrawBackgroundFrameRect(
      control, dc, R, plain ? bar : ::GetSysColorBrush(COLOR_BTNHIGHLIGHT),
      (AParams.DrawSelected || !AParams.Enabled) && !AParams.Transparent);
  R = Shrunk(R, {1, 1, 1, 1});
}

void TdxBarPainter::EditGetColors(
    const TdxBarEditLikeControlDrawParams& AParams, TColor& ATextColor,
    TColor& ABkColor) {
  if (AParams.Enabled) {
    ATextColor = EditGetEnabledTextColor();
    ABkColor = EditGetEnabledBkColor();
    return;
  }
  ATextColor = EditGetDisabledTextColor();
  LOGBRUSH brush{};
  ::GetObjectA(dxBarItemBkBrush(AParams.ItemControl), sizeof brush, &brush);
  ABkColor = static_cast<TColor>(brush.lbColor);
}

// ---------------------------------------------------------------------------
// Combos
// ---------------------------------------------------------------------------

Integer TdxBarPainter::ComboControlArrowSize(const TRect& AButton) const {
  const Integer size = AButton.Width() / 4;
  return size % 2 == 0 ? size + 1 : size;
}

void TdxBarPainter::CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText,
                                        const TRect& R) {
  HDC dc = ACanvas->Handle();
  RECT r = dxRECT(R);
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetCurrentObject(dc, OBJ_BRUSH)));
  ::TextOutA(dc, R.Left + 2, R.Top, AText.c_str(),
             static_cast<int>(AText.size()));
}

// ---------------------------------------------------------------------------
// Colour combos
// ---------------------------------------------------------------------------

Integer TdxBarPainter::GetCustomColorButtonWidth(TdxBarPaintType APaintType,
                                                 const TRect& R) const {
  const TRect indents = GetCustomColorButtonIndents(APaintType);
  return (R.Height() - 4) / 7 * 7 - indents.Left - indents.Right + 4;
}

TRect TdxBarPainter::GetCustomColorButtonBounds(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R) const {
  const TRect indents = GetCustomColorButtonIndents(AParams.PaintType);
  TRect button = R;
  button.Left = R.Right - GetCustomColorButtonWidth(AParams.PaintType, R) -
                indents.Left - indents.Right;
  // A button that would take half of the text field leaves it whole.
  if (!AParams.ShowCustomColorButton ||
      button.Width() * 2 >= AParams.TextField.Width())
    return Rect(R.Right, R.Top, R.Right, R.Bottom);
  return Shrunk(button, indents);
}

void TdxBarPainter::DrawDots(const TdxBarEditLikeControlDrawParams& AParams,
                             const TRect& R, bool APressed) {
  const Integer dot = R.Width() / 7;
  if (dot <= 0) return;
  TRect first = Rect(R.Left, R.Bottom - dot, R.Left + dot, R.Bottom);
  first = Rect(first.Left + (R.Width() - 5 * dot) / 2,
               first.Top - GetDotSpaceAfter(dot),
               first.Right + (R.Width() - 5 * dot) / 2,
               first.Bottom - GetDotSpaceAfter(dot));
  OffsetEllipsisBounds(APressed, first);
  for (Integer i = 0; i < 3; ++i)
    DrawDot(AParams, Rect(first.Left + 2 * dot * i, first.Top,
                          first.Right + 2 * dot * i, first.Bottom));
}

void TdxBarPainter::DrawDot(const TdxBarEditLikeControlDrawParams& AParams,
                            const TRect& R) {
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  if (!AParams.Enabled) {
    DrawDisabledShadowRect(AParams.ItemControl, dc, R);
    return;
  }
  FillSys(dc, R,
          IsHighContrastWhite() && AParams.DrawSelected ? COLOR_BTNFACE
                                                        : COLOR_BTNTEXT);
}

// ---------------------------------------------------------------------------
// Spin edits
// ---------------------------------------------------------------------------

TSize TdxBarPainter::GetSpinEditArrowSize(Integer AHeight) {
  const Integer a = (AHeight / 2 - 2) / 2;
  return {2 * a - 1, a};
}

Integer TdxBarPainter::GetSpinEditButtonWidth(const TRect& R) const {
  const TSize arrow = GetSpinEditArrowSize(R.Height());
  const TRect indents = GetSpinEditButtonIndents();
  return arrow.cx + 2 * (arrow.cy + 2) - indents.Left - indents.Right;
}

TRect TdxBarPainter::GetSpinEditButtonBounds(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R,
    TdxBarSpinEditButton AButton) const {
  const TRect indents = GetSpinEditButtonIndents();
  TRect column = R;
  column.Left =
      R.Right - GetSpinEditButtonWidth(R) - indents.Left - indents.Right;
  if (column.Width() * 2 >= AParams.TextField.Width())
    return Rect(R.Right, R.Top, R.Right, R.Bottom);
  column = Shrunk(column, indents);
  const Integer middle = (column.Top + column.Bottom) / 2;
  if (AButton == sbUp) column.Bottom = middle;
  if (AButton == sbDown) column.Top = middle;
  return column;
}

Integer TdxBarPainter::GetSpinEditButtonState(
    const TdxBarEditLikeControlDrawParams& AParams, Integer APart) {
  if (!AParams.Enabled) return 4;
  if (AParams.ActiveButton == APart) return 3;
  if (AParams.HotPartIndex == APart) return 2;
  return 1;
}

TPoint TdxBarPainter::GetSpinEditArrowPos(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R,
    Integer APart) const {
  const TSize arrow = GetSpinEditArrowSize(AParams.TextField.Height());
  TPoint p{R.Left + arrow.cy, (R.Top + R.Bottom - arrow.cy) / 2};
  if (APart == 3) p.Y += arrow.cy - 1;
  if (APart == AParams.ActiveButton) p = {p.X + 1, p.Y + 1};
  return p;
}

void TdxBarPainter::SpinEditControlDrawButton(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R,
    Integer APart) {
  if (!AParams.Canvas) return;
  TRect r = R;
  FrameAndFillRect(AParams.ItemControl, AParams.Canvas->Handle(), r,
                   AParams.Enabled, AParams.DrawSelected,
                   APart == AParams.ActiveButton);
  DrawSpinEditArrow(AParams, GetSpinEditArrowPos(AParams, R, APart), APart);
}

void TdxBarPainter::SpinEditControlDrawArrowByPoints(HDC DC, const TPoint& P,
                                                     Integer AWidth, bool AUp,
                                                     int ASysColor) {
  const Integer half = AWidth / 2;
  const POINT points[3] = {{P.X, P.Y},
                           {P.X + AWidth - 1, P.Y},
                           {P.X + half, AUp ? P.Y - half : P.Y + half}};
  const COLORREF color = ::GetSysColor(ASysColor);
  TPenHandle pen(::CreatePen(PS_SOLID, 1, color));
  TBrushHandle brush(::CreateSolidBrush(color));
  TSelectObject selectPen(DC, pen.get());
  TSelectObject selectBrush(DC, brush.get());
  ::Polygon(DC, points, 3);
}

void TdxBarPainter::DrawSpinEditArrow(
    const TdxBarEditLikeControlDrawParams& AParams, const TPoint& P,
    Integer APart) {
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  const Integer width = GetSpinEditArrowSize(AParams.TextField.Height()).cx;
  const bool up = APart == 3;
  if (AParams.Enabled) {
    SpinEditControlDrawArrowByPoints(dc, P, width, up, COLOR_BTNTEXT);
    return;
  }
  // Engraved: the highlight one pixel down-right under the shadow.
  SpinEditControlDrawArrowByPoints(dc, {P.X + 1, P.Y + 1}, width, up,
                                   COLOR_BTNHIGHLIGHT);
  SpinEditControlDrawArrowByPoints(dc, P, width, up, COLOR_BTNSHADOW);
}

// ---------------------------------------------------------------------------
// Date navigator
// ---------------------------------------------------------------------------

void TdxBarPainter::DateNavigatorDrawButtonCaption(HDC DC, const TRect& R,
                                                   Integer AOffset,
                                                   const String& ACaption,
                                                   bool AOpaque) {
  SIZE size{};
  ::GetTextExtentPoint32A(DC, ACaption.c_str(),
                          static_cast<int>(ACaption.size()), &size);
  const int x = (R.Left + R.Right - size.cx) / 2 + AOffset;
  const int y = (R.Top + R.Bottom - size.cy) / 2 + AOffset;
  ::SetTextColor(DC, ::GetSysColor(COLOR_BTNTEXT));
  ::SetBkColor(DC, ::GetSysColor(COLOR_BTNFACE));
  RECT clip = dxRECT(R);
  ::ExtTextOutA(DC, x, y, ETO_CLIPPED | (AOpaque ? ETO_OPAQUE : 0), &clip,
                ACaption.c_str(), static_cast<UINT>(ACaption.size()), nullptr);
}

void TdxBarPainter::DateNavigatorDrawButton(HDC DC, TRect R,
                                            const String& ACaption,
                                            bool APressed) {
  if (APressed) {
    RECT r = dxRECT(R);
    ::DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    // Raised: dark outside at the bottom and right, light inside at the
    // top and left.
    FillSys(DC, Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), COLOR_BTNTEXT);
    FillSys(DC, Rect(R.Right - 1, R.Top, R.Right, R.Bottom), COLOR_BTNTEXT);
    FillSys(DC, Rect(R.Left, R.Top, R.Right - 1, R.Top + 1), COLOR_BTNFACE);
    FillSys(DC, Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1), COLOR_BTNFACE);
    FillSys(DC, Rect(R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1),
            COLOR_BTNSHADOW);
    FillSys(DC, Rect(R.Right - 2, R.Top + 1, R.Right - 1, R.Bottom - 1),
            COLOR_BTNSHADOW);
    FillSys(DC, Rect(R.Left + 1, R.Top + 1, R.Right - 2, R.Top + 2),
            COLOR_BTNHIGHLIGHT);
    FillSys(DC, Rect(R.Left + 1, R.Top + 1, R.Left + 2, R.Bottom - 2),
            COLOR_BTNHIGHLIGHT);
    FillSys(DC, Rect(R.Right - 2, R.Top + 1, R.Right - 1, R.Top + 2),
            COLOR_BTNFACE);
  }
  R = Shrunk(R, {2, 2, 2, 2});
  DateNavigatorDrawButtonCaption(DC, R, 1, ACaption, !APressed);
}

void TdxBarFlatPainter::DateNavigatorDrawButton(HDC DC, TRect R,
                                                const String& ACaption, bool) {
  RECT r = dxRECT(R);
  ::FrameRect(DC, &r, ::GetSysColorBrush(COLOR_BTNSHADOW));
  ::InflateRect(&r, -1, -1);
  ::FrameRect(DC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  DateNavigatorDrawButtonCaption(DC, Shrunk(R, {2, 2, 2, 2}), 0, ACaption,
                                 true);
}

// ---------------------------------------------------------------------------
// Edit-like controls on bars and menus
// ---------------------------------------------------------------------------

bool TdxBarPainter::EditControlCaptionBackgroundIsOpaque(
    const TdxBarEditLikeControlDrawParams& AParams) const {
  return AParams.PaintType == ptMenu &&
         (AParams.DrawSelected ||
          (AParams.ItemControl && AParams.ItemControl->NonRecent()));
}

bool TdxBarPainter::EditControlCaptionRightIndentIsOpaque(
    const TdxBarEditLikeControlDrawParams& AParams) const {
  return AParams.PaintType == ptMenu && AParams.ItemControl &&
         AParams.ItemControl->NonRecent();
}

TRect TdxBarPainter::EditControlIndents(
    const TdxBarEditLikeControlDrawParams& AParams,
    TdxBarItemControlPart APart) const {
  const bool menu = AParams.PaintType == ptMenu;
  if (APart == cpText) {
    Integer left = 0;
    if (!AParams.ViewStructure.Contains(cpIcon))
      left = EditControlCaptionAbsoluteLeftIndent();
    else if (menu)
      left = EditControlCaptionRelativeLeftIndent();
    return {left, 0, EditControlCaptionRightIndent(), 0};
  }
  if (menu) return EditControlSubMenuGlyphIndents();
  Integer glyph = 0;
  if (AParams.ItemControl)
    glyph = AParams.ItemControl->GetGlyphSize(AParams.ViewSize).cx;
  return {(AParams.GlyphAreaWidth - glyph) / 2, 0,
          GetControlTextIndents().Right, 0};
}

void TdxBarPainter::DrawEditLikeControl(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R) {
  if (!AParams.Canvas) return;
  EditControlDrawBackground(AParams);
  if (AParams.PaintType == ptMenu && AParams.DrawSelected)
    EditControlDrawSelectionFrame(AParams, R);
  TdxBarItemControl* control = AParams.ItemControl;
  const std::vector<TRect> none;
  const std::vector<TRect>& parts = control ? control->Parts() : none;
  if (parts.size() < 3) return;
  TSavedDC saved(AParams.Canvas->Handle());
  if (AParams.ViewStructure.Contains(cpIcon))
    EditControlDrawGlyph(AParams, parts[1]);
  if (AParams.ViewStructure.Contains(cpText))
    EditControlDrawCaption(AParams, parts[2]);
}

void TdxBarPainter::EditControlDrawBackground(
    const TdxBarEditLikeControlDrawParams& AParams) {
  auto* control = dynamic_cast<TdxBarCustomEditControl*>(AParams.ItemControl);
  if (!control || control->Parts().size() < 3) return;
  HDC dc = AParams.Canvas->Handle();
  const bool menu = AParams.PaintType == ptMenu;
  const bool opaque = EditControlCaptionBackgroundIsOpaque(AParams);
  HBRUSH caption = control->GetCaptionBkBrush();
  if (AParams.ViewStructure.Contains(cpText)) {
    TRect area = control->Parts()[2];
    const Integer indent = EditControlIndents(AParams, cpText).Right;
    TRect strip = area;
    area.Right -= indent;
    strip.Left = area.Right;
    DrawBackground(control, dc, area, caption, opaque);
    DrawBackground(control, dc, strip, dxBarItemBkBrush(control),
                   EditControlCaptionRightIndentIsOpaque(AParams));
  }
  if (AParams.ViewStructure.Contains(cpIcon) && !menu)
    DrawBackground(control, dc, control->Parts()[1], caption, opaque);
}

void TdxBarPainter::EditControlDrawGlyph(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R) {
  TdxBarItemControl* control = AParams.ItemControl;
  if (!control) return;
  TRect r = R;
  if (AParams.PaintType != ptMenu) {
    const TRect indents = EditControlIndents(AParams, cpIcon);
    r.Left += indents.Left;
    r.Right -= indents.Right;
  }
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  Integer index = -1;
  if (!control->GetCurrentImage(AParams.ViewSize, glyph, images, index)) return;
  const TSize size = control->GetGlyphSize(AParams.ViewSize);
  const TRect place =
      Bounds(r.Left + (r.Width() - size.cx) / 2,
             r.Top + (r.Height() - size.cy) / 2, size.cx, size.cy);
  TdxBarGlyphFlags flags;
  flags.WholeArea = true;
  DrawGlyphAndBkgnd(control, AParams.Canvas->Handle(), r, place,
                    AParams.PaintType, glyph, images, index, flags);
  AParams.Canvas->ExcludeClipRect(R);
}

void TdxBarPainter::EditControlDrawCaption(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R) {
  TRect r = R;
  r.Right -= EditControlIndents(AParams, cpText).Right;
  DrawItemText(AParams.ItemControl, AParams.Canvas->Handle(), AParams.Caption,
               r, taRightJustify, AParams.Enabled,
               AParams.PaintType == ptMenu && AParams.DrawSelected, false,
               false, IsFlatItemTextForMenu());
  AParams.Canvas->ExcludeClipRect(R);
}

void TdxBarPainter::EditControlDrawTextField(TdxBarCustomEditControl* AControl,
                                             TcxCanvas* ACanvas,
                                             const TRect& R) {
  if (!AControl || !ACanvas || R.Width() <= 0 || R.Height() <= 0) return;
  auto* edit = dynamic_cast<TdxBarEdit*>(AControl->Item());
  if (!edit) return;
  TColor text = clWindowText;
  TColor background = clWindow;
  AControl->GetEditColors(text, background);
  HDC dc = ACanvas->Handle();
  TClipRegionSaver clip(dc);
  ::IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(background)));
  RECT r = dxRECT(R);
  ::FillRect(dc, &r, brush.get());
  const COLORREF oldText = ::SetTextColor(dc, ColorToRGB(text));
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  edit->DrawInterior(AControl, ACanvas, EditOffsetInteriorRect(R),
                     AControl->ItemLink());
  ::SetBkMode(dc, oldMode);
  ::SetTextColor(dc, oldText);
}

TRect TdxBarPainter::EditOffsetInteriorRect(const TRect& R) const {
  const TRect caption = GetCaptionOffsets();
  const TRect vertical = GetEditTextVerticalOffsets();
  return Rect(R.Left + caption.Left, R.Top + vertical.Top,
              R.Right - caption.Right, R.Bottom - vertical.Bottom);
}

void TdxBarPainter::EditControlPrepareEditWnd(TdxBarWinControl* AControl,
                                              HWND AEdit) const {
  if (!AControl || !AEdit) return;
  const TRect window = AControl->GetWindowRect();
  RECT r = dxRECT(
      EditOffsetInteriorRect(Rect(0, 0, window.Width(), window.Height())));
  ::SendMessageA(AEdit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TdxBarPainter::EditControlUpdateWndText(HWND AEdit, bool ANotify) {
  if (!AEdit || !ANotify) return;
  ::SendMessageA(AEdit, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE),
                 reinterpret_cast<LPARAM>(AEdit));
  ::SendMessageA(AEdit, EM_SETSEL, 0, -1);
}

void TdxBarPainter::ComboControlDrawArrowButton(
    const TdxBarEditLikeControlDrawParams& AParams, const TRect& R, bool) {
  if (!AParams.Canvas || R.Width() <= 0) return;
  HDC dc = AParams.Canvas->Handle();
  DrawBackground(AParams.ItemControl, dc, R, ::GetSysColorBrush(COLOR_BTNFACE),
                 true);
  RECT edge = dxRECT(R);
  ::DrawEdge(dc, &edge, AParams.DroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
             BF_RECT);
  TColor color = ComboControlArrowColor();
  if (!IsFlatItemText() && !AParams.Enabled) color = clDefault;
  DrawLargeItemArrow(dc, R, adDown, ComboControlArrowSize(R), false,
                     AParams.Enabled, IsFlatItemText(), color);
}
