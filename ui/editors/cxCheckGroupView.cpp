// The check group's view data and view info: one mark and caption per item
// that a grid cell paints, each in the state the value gives it.
#include <algorithm>

#include "cxCheckGroup.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

void TcxCheckGroupButtonViewInfo::Assign(TPersistent* Source) {
  TcxGroupBoxButtonViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxCheckGroupButtonViewInfo*>(Source))
    CheckState = source->CheckState;
}

TRect TcxCheckGroupButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize,
                                                TAlignment AAlignment,
                                                bool AIsPaintCopy) {
  // The item alignment names the side of the mark, the base the side of
  // the caption.
  const TAlignment captionSide =
      AAlignment == taLeftJustify ? taRightJustify : taLeftJustify;
  TRect r =
      TcxGroupBoxButtonViewInfo::GetGlyphRect(AGlyphSize, captionSide, false);
  if (AIsPaintCopy)
    r = cxRectOffset(r, AAlignment == taLeftJustify ? 2 : -2, 0);
  return r;
}

void TcxCheckGroupViewInfo::Assign(TObject* Source) {
  TcxButtonGroupViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxCheckGroupViewInfo*>(Source)) {
    CheckBorderStyle = source->CheckBorderStyle;
    Glyph = source->Glyph;
    GlyphCount = source->GlyphCount;
    CaptionExtent = source->CaptionExtent;
  }
}

TObjectPtr<TcxEditButtonViewInfo>
TcxCheckGroupViewInfo::CreateButtonViewInfo() {
  return TObjectPtr<TcxEditButtonViewInfo>(new TcxCheckGroupButtonViewInfo());
}

void TcxCheckGroupViewInfo::DrawButtonGlyph(TcxCanvas* ACanvas,
                                            TcxGroupBoxButtonViewInfo* AButton,
                                            const TRect& AGlyphRect) {
  static constexpr TcxEditCheckState kCheckStates[] = {ecsDisabled, ecsNormal,
                                                       ecsPressed, ecsHot};
  TcxEditBorderStyle border = CheckBorderStyle;
  if (border == ebsFlat && AButton->Data.State == ebsSelected) border = ebs3D;
  DrawEditCheck(ACanvas, AGlyphRect,
                static_cast<TcxCheckGroupButtonViewInfo*>(AButton)->CheckState,
                kCheckStates[AButton->Data.State], Glyph, GlyphCount, border,
                AButton->Data.NativeStyle, clBtnText,
                AButton->Data.BackgroundColor, !IsBackgroundTransparent(),
                IsDesigning, false, true, Painter, nssGrayedChecked);
}

void TcxCheckGroupViewInfo::DrawButtonCaption(
    TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
    const TRect& AGlyphRect) {
  TRect r = AButton->Bounds;
  if (Alignment == taLeftJustify) {
    r.Left = AGlyphRect.Right + CaptionExtent.Left;
    r.Right -= CaptionExtent.Right;
  } else {
    r.Left += CaptionExtent.Left;
    r.Right = AGlyphRect.Left - CaptionExtent.Right;
  }
  DrawCheckBoxText(ACanvas, AButton->Data.Caption, Font, TextColor, r,
                   static_cast<Integer>(DrawTextFlags),
                   AButton->Data.State != ebsDisabled);
}

// ---------------------------------------------------------------------------
// View data
// ---------------------------------------------------------------------------

TSize TcxCheckGroupViewData::GlyphSizeOf(TcxCanvas* ACanvas) {
  TcxCustomCheckGroupProperties* props = GetCheckGroupProperties();
  return GetEditCheckSize(ACanvas, IsButtonNativeStyle(Style->LookAndFeel()),
                          props->GlyphOrNull(), props->GlyphCount(),
                          SkinPainter());
}

void TcxCheckGroupViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                                      const TPoint& P, TcxMouseButton AButton,
                                      TShiftState AShift,
                                      TcxCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent) {
  TcxCustomCheckGroupProperties* props = GetCheckGroupProperties();
  auto* vi = dynamic_cast<TcxCheckGroupViewInfo*>(AViewInfo);
  if (vi) vi->Alignment = props->ItemAlignment();
  TcxButtonGroupViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                    AViewInfo, AIsMouseEvent);
  if (!vi) return;
  vi->GlyphSize = GlyphSizeOf(ACanvas);
  static constexpr TcxEditBorderStyle kByKind[] = {ebsFlat, ebs3D, ebsUltraFlat,
                                                   ebsOffice11};
  vi->CheckBorderStyle = kByKind[Style->LookAndFeel()->Kind()];
  TBitmap* glyph = props->GlyphOrNull();
  vi->Glyph = props->GlyphCount() > 0 && VerifyBitmap(glyph) ? glyph : nullptr;
  vi->GlyphCount = props->GlyphCount();
  vi->CaptionExtent = GetCaptionRectExtent();
  vi->SetBackgroundColor(Style->Color());
}

void TcxCheckGroupViewData::EditValueToDrawValue(
    TcxCanvas*, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TcxCheckGroupViewInfo*>(AViewInfo);
  if (!vi) return;
  const Integer count = static_cast<Integer>(vi->ButtonsInfo.size());
  if (PreviewMode) {
    for (Integer i = 0; i < count; ++i)
      vi->CheckButton(i)->CheckState = i == 0 ? cbsChecked : cbsUnchecked;
    return;
  }
  TcxCheckStates states;
  GetCheckGroupProperties()->CalculateCheckStatesByEditValue(nullptr, AValue,
                                                             states);
  for (Integer i = 0; i < count; ++i)
    vi->CheckButton(i)->CheckState =
        i < static_cast<Integer>(states.size()) ? states[i] : cbsUnchecked;
}

TRect TcxCheckGroupViewData::GetCaptionRectExtent() {
  return GetCheckGroupProperties()->ItemAlignment() == taLeftJustify
             ? TRect{3, 0, 2, 0}
             : TRect{2, 0, 2, 0};
}

TcxEditMetrics TcxCheckGroupViewData::GetEditMetrics(bool, TcxCanvas* ACanvas) {
  const bool right =
      GetCheckGroupProperties()->ItemAlignment() == taRightJustify;
  TcxEditMetrics m;
  m.FirstColumnOffset = IsInplace ? (right ? 0 : 1) : 6;
  m.ColumnAreaWidthCorrection = IsInplace ? -1 : -6;
  m.ColumnSpacing = 6;
  if (ACanvas) {
    m.GlyphSize = GlyphSizeOf(ACanvas);
    const TRect extent = GetCaptionRectExtent();
    m.FixedWidthTextCorrection = extent.Left + extent.Right;
    m.AutoWidthTextCorrection = m.FixedWidthTextCorrection;
    m.AutoWidthCorrection = IsInplace ? 1 : 6;
    m.FixedWidthCorrection = m.ColumnAreaWidthCorrection;
  }
  return m;
}

// ---------------------------------------------------------------------------
// The properties' factories
// ---------------------------------------------------------------------------

TcxContainerViewInfoClass TcxCustomCheckGroupProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCheckGroupViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomCheckGroupProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  return cxNewEditViewData<TcxCheckGroupViewData>(this, AStyle, AIsInplace,
                                                  APreviewMode);
}
