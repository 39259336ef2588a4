// The radio group's view data and view info: the marks and captions a grid
// cell paints for the items, with the item of the value checked.
#include <algorithm>

#include "WinApi.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "cxRadioGroup.h"
#include "dxUxTheme.h"

namespace {

TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle AStyle) {
  switch (AStyle) {
    case btsFlat:
      return lfFlat;
    case btsUltraFlat:
      return lfUltraFlat;
    case btsOffice11:
      return lfOffice11;
    default:
      return lfStandard;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

TRect TcxRadioGroupButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize,
                                                TAlignment AAlignment,
                                                bool AIsPaintCopy) {
  TRect r =
      TcxGroupBoxButtonViewInfo::GetGlyphRect(AGlyphSize, AAlignment, false);
  if (AIsPaintCopy && !Data.NativeStyle) r = cxRectOffset(r, 1, 0);
  return r;
}

void TcxCustomRadioGroupViewInfo::Assign(TObject* Source) {
  TcxButtonGroupViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxCustomRadioGroupViewInfo*>(Source))
    ItemIndex = source->ItemIndex;
}

TObjectPtr<TcxEditButtonViewInfo>
TcxCustomRadioGroupViewInfo::CreateButtonViewInfo() {
  return TObjectPtr<TcxEditButtonViewInfo>(new TcxRadioGroupButtonViewInfo());
}

bool TcxCustomRadioGroupViewInfo::IsButtonGlypthTransparent(
    TcxGroupBoxButtonViewInfo* AButton) {
  return IsBackgroundTransparent() ||
         (AButton->Data.NativeStyle && AButton->Data.PartiallyTransparent);
}

void TcxCustomRadioGroupViewInfo::DrawButtonGlyph(
    TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
    const TRect& AGlyphRect) {
  auto saved = ACanvas->SavedDCScope();
  ACanvas->IntersectClipRect(AButton->Bounds);
  const bool checked = AButton->ButtonIndex == ItemIndex;
  if (AButton->Data.NativeStyle) {
    if (const HTHEME theme = OpenTheme(totButton)) {
      DrawThemeBackground(theme, ACanvas->Handle(), 2, AButton->NativeState,
                          reinterpret_cast<const RECT*>(&AGlyphRect), nullptr);
      return;
    }
  }
  TcxLookAndFeelPainterClass painter =
      Painter ? Painter
              : GetPainterClass(false, KindOfButtonStyle(AButton->Data.Style));
  painter->DrawRadioButton(
      ACanvas, AGlyphRect.Left, AGlyphRect.Top,
      EditBtnState2ButtonState[AButton->Data.State], checked, false,
      IsBackgroundTransparent() ? clDefault : AButton->Data.BackgroundColor,
      IsDesigning);
}

void TcxCustomRadioGroupViewInfo::DrawButtonCaption(
    TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
    const TRect& AGlyphRect) {
  TRect r = AButton->Bounds;
  if (Alignment == taRightJustify)
    r.Left = AGlyphRect.Right;
  else
    r.Right = AGlyphRect.Left;
  if (AButton->Data.NativeStyle) {
    r.Left += 3;
    --r.Top;
    ++r.Bottom;
  } else {
    r.Left += 5;
    --r.Right;
  }
  if (IsDBEditPaintCopyDrawing) r = cxRectOffset(r, 0, -1);
  ACanvas->SetFont(Font);
  ACanvas->Font()->SetColor(TextColor);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->DrawTexT(AButton->Data.Caption, r,
                    static_cast<Integer>(DrawTextFlags),
                    AButton->Data.State != ebsDisabled);
  ACanvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// View data
// ---------------------------------------------------------------------------

void TcxCustomRadioGroupViewData::Calculate(
    TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
    TcxMouseButton AButton, TShiftState AShift,
    TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  if (vi) vi->Alignment = taRightJustify;
  TcxButtonGroupViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                    AViewInfo, AIsMouseEvent);
  if (!vi) return;
  vi->GlyphSize =
      Style->LookAndFeel()->GetAvailablePainter(totButton)->RadioButtonSize();
  vi->SetBackgroundColor(Style->Color());
}

void TcxCustomRadioGroupViewData::EditValueToDrawValue(
    TcxCanvas*, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->ItemIndex = PreviewMode
                      ? 0
                      : static_cast<TcxCustomRadioGroupProperties*>(Properties)
                            ->GetRadioGroupItemIndex(AValue);
  // The themed part of a button tells checked from unchecked.
  for (Integer i = 0; i < static_cast<Integer>(vi->ButtonsInfo.size()); ++i)
    CalculateButtonNativeState(vi, vi->Button(i));
}

TcxEditMetrics TcxCustomRadioGroupViewData::GetEditMetrics(bool,
                                                           TcxCanvas* ACanvas) {
  const bool native = IsButtonNativeStyle(Style->LookAndFeel());
  TcxEditMetrics m;
  m.FixedWidthTextCorrection = native ? 1 : 3;
  m.FixedWidthCorrection = IsInplace ? -5 : -6;
  m.AutoWidthTextCorrection = native ? 5 : 7;
  m.AutoWidthCorrection = IsInplace ? 1 : 6;
  m.FirstColumnOffset = IsInplace ? 1 : 6;
  m.ColumnAreaWidthCorrection = IsInplace ? -2 : -6;
  m.ColumnSpacing = 0;
  if (ACanvas)
    m.GlyphSize =
        Style->LookAndFeel()->GetAvailablePainter(totButton)->RadioButtonSize();
  return m;
}

void TcxCustomRadioGroupViewData::CalculateButtonNativeState(
    TcxButtonGroupViewInfo* AViewInfo, TcxGroupBoxButtonViewInfo* AButton) {
  TcxEditButtonViewInfoData& d = AButton->Data;
  d.NativePart = 0;
  AButton->NativeState = 0;
  d.PartiallyTransparent = false;
  if (!d.NativeStyle) return;
  auto* vi = static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  // Disabled, normal, pressed and hot, unchecked then checked.
  static constexpr Integer kStates[2][4] = {{4, 1, 3, 2}, {8, 5, 7, 6}};
  const bool checked = AButton->ButtonIndex == vi->ItemIndex;
  d.NativePart = 2;
  AButton->NativeState = kStates[checked ? 1 : 0][d.State];
  if (const HTHEME theme = OpenTheme(totButton))
    d.PartiallyTransparent =
        IsThemeBackgroundPartiallyTransparent(theme, 2, AButton->NativeState);
}

// ---------------------------------------------------------------------------
// The properties' factories
// ---------------------------------------------------------------------------

TcxContainerViewInfoClass TcxCustomRadioGroupProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomRadioGroupViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomRadioGroupProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  return cxNewEditViewData<TcxCustomRadioGroupViewData>(
      this, AStyle, AIsInplace, APreviewMode);
}
