// How a text editor's text is measured, laid out and painted when the
// Windows edit does not show it: the text view data and view info.
#include "WinApi.h"
//
#include <algorithm>

#include "cxContainer.h"
#include "cxGeometry.h"
#include "cxGraphics.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

namespace {

constexpr Cardinal kHorzMask = 0x3;
constexpr Cardinal kVertMask = 0x30;

TcxTextRows LayOut(TcxCanvas* ACanvas, const String& AText, const TRect& R,
                   Cardinal AFlags, Integer AMaxRows, Integer& ARowCount) {
  TcxTextParams params = cxCalcTextParams(ACanvas->Canvas(), AFlags);
  TcxTextRows rows;
  ARowCount = 0;
  cxMakeTextRows(ACanvas->Canvas(), AText.c_str(), R, AMaxRows, ARowCount, rows,
                 params);
  return rows;
}

// Single line becomes word break with whole rows, vertical alignment goes.
Cardinal WordBreakFlags(Cardinal AFlags) {
  return ((AFlags & ~cxtoSingleLine) | cxtoWordBreak | cxtoWholeRows) &
         ~kVertMask;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomTextEditViewData
// ---------------------------------------------------------------------------

void TcxCustomTextEditViewData::InitCacheData() {
  TcxCustomEditViewData::InitCacheData();
  isValueEditorWithValueFormatting_ =
      Properties->IsValueEditorWithValueFormatting();
}

bool TcxCustomTextEditViewData::GetIsEditClass() {
  auto* edit = dynamic_cast<TcxCustomEdit*>(Edit);
  return edit && edit->IsEditClass();
}

Cardinal TcxCustomTextEditViewData::GetDrawTextFlags() {
  static constexpr Cardinal kHorz[] = {0, 2, 1};        // left, right, centre
  static constexpr Cardinal kVert[] = {0, 0x20, 0x10};  // top, bottom, centre
  return kHorz[HorzAlignment] | kVert[VertAlignment] | cxtoSingleLine |
         cxTextEditFlagsAlways;
}

TRect TcxCustomTextEditViewData::GetDrawTextOffset() {
  return GetTextEditDrawTextOffset(this);
}

TRect GetTextEditDrawTextOffset(TcxCustomTextEditViewData* AViewData) {
  TRect result = AViewData->ContentOffset;
  const TcxEditEditingStyle style =
      AViewData->GetProperties()->GetEditingStyle();
  if (!AViewData->IsInplace && (style == esFixedList || style == esNoEdit)) {
    if (AViewData->VertAlignment == taTopJustify) {
      ++result.Top;
      ++result.Bottom;
    }
    if (AViewData->HorzAlignment == taRightJustify)
      ++result.Right;
    else
      ++result.Left;
  }
  return result;
}

TRect GetTextEditDrawTextOffset(TAlignment, bool AIsInplace) {
  return EditContentDefaultOffsets[AIsInplace ? 1 : 0];
}

void TcxCustomTextEditViewData::Calculate(TcxCanvas* ACanvas,
                                          const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton,
                                          TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo,
                                          bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                   AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->DrawSelectionBar = false;
  vi->EditingStyle = GetProperties()->GetEditingStyle();
  vi->IsEditClass = GetIsEditClass();
  vi->HasPopupWindow = Edit && Edit->HasPopupWindow();
  const TRect offset = GetDrawTextOffset();
  TRect r = vi->ClientRect;
  r = TRect{r.Left + offset.Left, r.Top + offset.Top, r.Right - offset.Right,
            r.Bottom - offset.Bottom};
  if (!IsInplace && ACanvas) {
    ACanvas->SetFont(vi->Font ? vi->Font : Style->GetVisibleFont());
    const Integer lineHeight = ACanvas->TextHeight("Zg");
    if (r.Bottom - r.Top < lineHeight)
      r.Bottom = std::min(r.Top + lineHeight, vi->ClientRect.Bottom);
  }
  vi->TextRect = r;
  vi->MaxLineCount = GetMaxLineCount();
  vi->TextOutData.Initialized = false;
  PrepareDrawTextFlags(ACanvas, vi);
}

void TcxCustomTextEditViewData::PrepareDrawTextFlags(
    TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  Cardinal flags = GetDrawTextFlags();
  if (ACanvas && !GetProperties()->IsMultiLine() &&
      Properties->GetSupportedOperations().Contains(esoAutoHeight) &&
      GetPaintOptions().Contains(epoAutoHeight)) {
    ACanvas->SetFont(Style->GetVisibleFont());
    TRect r = AViewInfo->TextRect;
    if (HorzAlignment == taRightJustify) --r.Right;
    Integer rows = 0;
    LayOut(ACanvas, AViewInfo->Text, r,
           WordBreakFlags(flags) | cxtoReturnRowCount, 0, rows);
    if (rows > 1) {
      flags = (flags & ~cxtoSingleLine) | cxtoWordBreak | cxtoWholeRows;
      if (rows * ACanvas->TextHeight("Zg") > r.Height())
        flags &= ~(kVertMask | cxtoSingleLine);
    }
  }
  if (GetPaintOptions().Contains(epoShowEndEllipsis)) flags |= cxtoEndEllipsis;
  AViewInfo->DrawTextFlags = flags;
  AViewInfo->ComboBoxStyle = IsComboBoxStyle();
}

void TcxCustomTextEditViewData::EditValueToDrawValue(
    TcxCanvas*, const Variant& AValue, TcxCustomTextEditViewInfo* AViewInfo) {
  AViewInfo->Text = IsValueHidden ? String() : EditValueToDisplayText(AValue);
  AViewInfo->TextOutData.Initialized = false;
  PrepareSelection(AViewInfo);
}

void TcxCustomTextEditViewData::EditValueToDrawValue(
    TcxCanvas* ACanvas, const Variant& AValue,
    TcxCustomEditViewInfo* AViewInfo) {
  if (auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo))
    EditValueToDrawValue(ACanvas, AValue, info);
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(
    const Variant& AValue, TcxCustomTextEditViewInfo* AViewInfo) {
  String text = VarToStr(AValue);
  GetProperties()->DisplayValueToDisplayText(text);
  AViewInfo->Text = text;
  AViewInfo->TextOutData.Initialized = false;
}

String TcxCustomTextEditViewData::InternalEditValueToDisplayText(
    const Variant& AValue) {
  String text;
  if (isValueEditorWithValueFormatting_)
    text = VarToStr(AValue);
  else
    GetProperties()->GetDefaultDisplayValue(AValue, Focused, text);
  GetProperties()->DisplayValueToDisplayText(text);
  return text;
}

TColor TcxCustomTextEditViewData::InvertColor(TColor AColor) {
  return static_cast<TColor>(ColorToRGB(AColor) ^ 0xFFFFFF);
}

void TcxCustomTextEditViewData::PrepareSelection(
    TcxCustomTextEditViewInfo* AViewInfo) {
  AViewInfo->SelStart = SelStart;
  AViewInfo->SelLength = SelLength;
  if (SelLength == 0) return;
  if (SelBackgroundColor != clDefault) {
    AViewInfo->SelBackgroundColor = SelBackgroundColor;
    AViewInfo->SelTextColor = SelTextColor != clDefault
                                  ? SelTextColor
                                  : InvertColor(SelBackgroundColor);
  } else if (SelTextColor != clDefault) {
    AViewInfo->SelTextColor = SelTextColor;
    AViewInfo->SelBackgroundColor = InvertColor(SelTextColor);
  } else if (Style->GetColor() == clHighlight) {
    AViewInfo->SelBackgroundColor = clBlack;
    AViewInfo->SelTextColor = clWhite;
  } else {
    AViewInfo->SelBackgroundColor = clHighlight;
    AViewInfo->SelTextColor = clHighlightText;
  }
}

TSize TcxCustomTextEditViewData::InternalGetEditContentSize(
    TcxCanvas* ACanvas, const Variant& AEditValue,
    const TcxEditSizeProperties& AEditSizeProperties) {
  TSize result = TcxCustomEditViewData::InternalGetEditContentSize(
      ACanvas, AEditValue, AEditSizeProperties);
  const TSize size =
      GetTextEditContentSize(ACanvas, this, EditValueToDisplayText(AEditValue),
                             GetDrawTextFlags(), AEditSizeProperties, 0, true);
  CheckSize(result, size);
  return result;
}

TSize GetTextEditContentSize(TcxCanvas* ACanvas,
                             TcxCustomTextEditViewData* AViewData,
                             const String& AText, Cardinal AFlags,
                             const TcxEditSizeProperties& ASizeProperties,
                             Integer ALineCount, bool AAddWidthCorrection) {
  ACanvas->SetFont(AViewData->Style->GetVisibleFont());
  const TSize correction = AViewData->GetEditContentSizeCorrection();
  const Integer lineHeight = ACanvas->TextHeight("Zg");
  const TcxEditEditingStyle style =
      AViewData->GetProperties()->GetEditingStyle();
  const bool alignmentPixel =
      !AViewData->IsInplace && (style == esFixedList || style == esNoEdit) &&
      !(AViewData->IsComboBoxStyle() && AViewData->NativeStyle);
  const bool zeroHeight =
      AViewData->GetPaintOptions().Contains(epoAllowZeroHeight);
  TSize result{0, 0};
  if (ASizeProperties.Width >= 0) {
    const Integer width = ASizeProperties.Width - 3 +
                          (AViewData->IsInplace ? 0 : 2) +
                          (alignmentPixel ? 0 : 1);
    if (width > 0) {
      result.cx = ASizeProperties.Width;
      if (AText.empty()) {
        result.cy = zeroHeight ? 0 : lineHeight;
      } else {
        Integer rows = 0;
        LayOut(ACanvas, AText, TRect{0, 0, width, 0x3FFFFFFF},
               WordBreakFlags(AFlags) | cxtoReturnRowCount,
               ASizeProperties.MaxLineCount, rows);
        result.cy = std::max<Integer>(rows, 1) * lineHeight;
      }
    } else {
      result.cy = AText.empty() && zeroHeight ? 0 : lineHeight;
    }
  } else if (!(AFlags & cxtoSingleLine) ||
             (AViewData->GetPaintOptions().Contains(epoAutoHeight) &&
              AViewData->Properties->GetSupportedOperations().Contains(
                  esoAutoHeight))) {
    Integer rows = 0;
    const Integer limit =
        ALineCount > 0 ? ALineCount : ASizeProperties.MaxLineCount;
    TcxTextRows laid =
        LayOut(ACanvas, AText, TRect{0, 0, 0x3FFFFFFF, 0x3FFFFFFF},
               WordBreakFlags(AFlags) | cxtoCalcRect, limit, rows);
    result.cx = cxGetLongestTextRowWidth(laid, rows);
    result.cy = ALineCount > 0 ? ALineCount * lineHeight : lineHeight;
  } else {
    result.cy = lineHeight;
    result.cx = AText.empty() ? 0 : ACanvas->TextWidth(AText);
  }
  if (alignmentPixel) ++result.cx;
  if (AAddWidthCorrection) result.cx += correction.cx;
  if (result.cy > 0) result.cy += correction.cy;
  return result;
}

// ---------------------------------------------------------------------------
// TcxCustomTextEditViewInfo
// ---------------------------------------------------------------------------

void TcxCustomTextEditViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomTextEditViewInfo*>(Source);
  if (!source) return;
  ComboBoxStyle = source->ComboBoxStyle;
  DrawSelectionBar = source->DrawSelectionBar;
  DrawTextFlags = source->DrawTextFlags;
  EditingStyle = source->EditingStyle;
  HasPopupWindow = source->HasPopupWindow;
  IsEditClass = source->IsEditClass;
  MaxLineCount = source->MaxLineCount;
  SelStart = source->SelStart;
  SelLength = source->SelLength;
  SelTextColor = source->SelTextColor;
  SelBackgroundColor = source->SelBackgroundColor;
  Text = source->Text;
  TextRect = source->TextRect;
  TextOutData.Initialized = false;
}

void TcxCustomTextEditViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  DrawTextEdit(ACanvas, this);
}

void TcxCustomTextEditViewInfo::DrawText(TcxCanvas* ACanvas) {
  DrawEditText(ACanvas, this);
}

Integer TcxCustomTextEditViewInfo::GetTextBaseLine() {
  const Integer f = Font ? ScreenCanvas()->FontHeight(Font) : 0;
  const TRect& t = TextRect;
  const TcxEditVertAlignment vert =
      EditProperties ? EditProperties->Alignment()->Vert() : taTopJustify;
  switch (vert) {
    case taBottomJustify:
      return t.Bottom - 1;
    case taVCenter:
      return t.Top + f + (t.Bottom - t.Top - f) / 2 - 1;
    case taTopJustify:
      break;
  }
  return t.Top + f - 1;
}

void TcxCustomTextEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::Offset(DX, DY);
  TextRect = cxRectOffset(TextRect, DX, DY);
  if (!TextOutData.Initialized) return;
  TextOutData.TextRect = cxRectOffset(TextOutData.TextRect, DX, DY);
  for (TcxTextRow& row : TextOutData.TextRows) {
    row.TextOrigin.X += DX;
    row.TextOrigin.Y += DY;
  }
}

bool TcxCustomTextEditViewInfo::NeedShowHint(TcxCanvas* ACanvas,
                                             const TPoint& P, String& AText,
                                             bool& AIsMultiLine,
                                             TRect& ATextRect) {
  const TPoint local{P.X - Left, P.Y - Top};
  if (!cxRectPtIn(TextRect, local) || Text.empty() || !ACanvas) return false;
  if (Font) ACanvas->SetFont(Font);
  const bool wordBreak =
      (DrawTextFlags & cxtoWordBreak) && !(DrawTextFlags & cxtoSingleLine);
  Integer rows = 0;
  const Integer width = wordBreak ? TextRect.Width() : 0x3FFFFFFF;
  TcxTextRows laid =
      LayOut(ACanvas, Text, TRect{0, 0, width, 0x3FFFFFFF},
             ((DrawTextFlags & ~kVertMask) | cxtoCalcRect), 0, rows);
  const Integer rowHeight = ACanvas->TextHeight("Zg");
  const bool fits = cxGetLongestTextRowWidth(laid, rows) <= TextRect.Width() &&
                    rows * rowHeight <= TextRect.Height() + rowHeight / 2;
  if (fits) return false;
  AText = Text;
  AIsMultiLine = wordBreak;
  ATextRect = TextRect;
  return true;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void InternalTextOut(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo,
                     const String& AText, TRect& R, Cardinal AFlags,
                     Integer ASelStart, Integer ASelLength,
                     TColor ASelBackgroundColor, TColor ASelTextColor,
                     Integer AMaxLineCount) {
  auto& d = AViewInfo->TextOutData;
  HDC dc = ACanvas->Handle();
  if (!d.Initialized) {
    d.TextParams = cxCalcTextParams(ACanvas->Canvas(), AFlags);
    d.TextRect = cxPrepareRect(R, d.TextParams, 0, 0);
    d.TextRows.clear();
    d.RowCount = 0;
    d.Initialized = true;
    if (cxRectIsEmpty(d.TextRect)) return;
    const bool complete =
        cxMakeTextRows(dc, AText.c_str(), d.TextRect, AMaxLineCount, d.RowCount,
                       d.TextRows, d.TextParams);
    d.ForceEndEllipsis = !complete && d.TextParams.EndEllipsis &&
                         d.TextParams.WordBreak && !d.TextParams.SingleLine;
    cxPlaceTextRows(dc, d.TextRect, d.TextParams, d.RowCount, d.TextRows);
    const auto length = static_cast<Integer>(AText.size());
    d.SelStart = ASelStart;
    d.SelLength = ASelLength;
    if (d.SelStart < 0 || d.SelStart >= length) d.SelLength = 0;
    if (d.SelLength > 0 && d.SelStart + d.SelLength > length)
      d.SelLength = length - d.SelStart;
    d.SelBackgroundColor = ASelBackgroundColor;
    d.SelTextColor = ASelTextColor;
  }
  if (d.RowCount == 0) return;
  cxTextRowsOutHighlight(dc, d.TextRect, d.TextParams, d.TextRows, d.RowCount,
                         d.SelStart, d.SelLength, d.SelBackgroundColor,
                         d.SelTextColor, d.ForceEndEllipsis);
}

void DrawEditText(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  if (AViewInfo->Text.empty()) return;
  if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
  ACanvas->Font()->SetColor(AViewInfo->DrawSelectionBar ? clHighlightText
                                                        : AViewInfo->TextColor);
  AViewInfo->PrepareCanvasFont(ACanvas);
  TRect r = AViewInfo->TextRect;
  InternalTextOut(ACanvas, AViewInfo, AViewInfo->Text, r,
                  AViewInfo->DrawTextFlags, AViewInfo->SelStart,
                  AViewInfo->SelLength, AViewInfo->SelBackgroundColor,
                  AViewInfo->SelTextColor, AViewInfo->MaxLineCount);
}

void DrawTextEdit(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  const TcxEditEditingStyle style = AViewInfo->EditingStyle;
  TcxEditBackgroundPaintingStyle painting = bpsSolid;
  if (AViewInfo->ComboBoxStyle)
    painting = style == esFixedList || style == esNoEdit ? bpsComboListEdit
                                                         : bpsComboEdit;
  DrawCustomEdit(ACanvas, AViewInfo,
                 !AViewInfo->Transparent && !AViewInfo->DrawSelectionBar,
                 painting);
  TRect r = AViewInfo->ClientRect;
  if (!AViewInfo->IsInplace) {
    if ((!AViewInfo->NativeStyle || AViewInfo->DrawSelectionBar) &&
        !AViewInfo->Transparent && style != esNoEdit)
      ACanvas->FrameRect(r, AViewInfo->BackgroundColor);
    r = cxRectInflate(r, -1, -1);
  }
  if (AViewInfo->IsOwnerDrawing && AViewInfo->OnOwnerDraw) {
    AViewInfo->OnOwnerDraw(ACanvas, r);
  } else {
    if (AViewInfo->DrawSelectionBar) ACanvas->FillRect(r, clHighlight);
    if (AViewInfo->IsDBEditPaintCopyDrawing || !AViewInfo->HasInnerEdit ||
        !AViewInfo->IsEditClass)
      AViewInfo->DrawText(ACanvas);
  }
  if (!AViewInfo->IsInplace && AViewInfo->Focused && !AViewInfo->IsEditClass &&
      !AViewInfo->HasPopupWindow) {
    if (AViewInfo->DrawSelectionBar) {
      ACanvas->Font()->SetColor(clHighlightText);
      ACanvas->SetBrushColor(clHighlight);
    } else {
      ACanvas->Font()->SetColor(clWindowText);
      ACanvas->SetBrushColor(AViewInfo->BackgroundColor);
    }
    ACanvas->DrawFocusRect(r);
  }
}
