// The button groups' view data and view info: one button view info per
// item laid out in columns, each with its mouse state, and the painting of
// glyph and caption that a grid cell shows instead of child windows.
#include <algorithm>
#include <climits>

#include "WinApi.h"
#include "cxButtonGroup.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "dxUxTheme.h"

// ---------------------------------------------------------------------------
// TcxGroupBoxButtonViewInfo
// ---------------------------------------------------------------------------

void TcxGroupBoxButtonViewInfo::Assign(TPersistent* Source) {
  TcxEditButtonViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxGroupBoxButtonViewInfo*>(Source)) {
    Column = source->Column;
    Row = source->Row;
  }
}

TRect TcxGroupBoxButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize,
                                              TAlignment AAlignment, bool) {
  TRect r;
  r.Top = Bounds.Top + (Bounds.Height() - AGlyphSize.cy) / 2;
  r.Bottom = r.Top + AGlyphSize.cy;
  if (AAlignment == taRightJustify) {
    r.Left = Bounds.Left;
    r.Right = r.Left + AGlyphSize.cx;
  } else {
    r.Right = Bounds.Right;
    r.Left = r.Right - AGlyphSize.cx;
  }
  return r;
}

// ---------------------------------------------------------------------------
// TcxButtonGroupViewInfo
// ---------------------------------------------------------------------------

void TcxButtonGroupViewInfo::Assign(TObject* Source) {
  TcxGroupBoxViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxButtonGroupViewInfo*>(Source)) {
    GlyphSize = source->GlyphSize;
    Alignment = source->Alignment;
  }
}

void TcxButtonGroupViewInfo::DrawEditButton(TcxCanvas* ACanvas,
                                            Integer AButtonVisibleIndex) {
  TcxGroupBoxButtonViewInfo* button = Button(AButtonVisibleIndex);
  const TRect glyph =
      button->GetGlyphRect(GetGlyphSize(), Alignment, IsDBEditPaintCopyDrawing);
  if (!IsDBEditPaintCopyDrawing && !IsButtonGlypthTransparent(button))
    ACanvas->FillRect(button->Bounds, button->Data.BackgroundColor);
  DrawButtonGlyph(ACanvas, button, glyph);
  DrawButtonCaption(ACanvas, button, glyph);
}

// ---------------------------------------------------------------------------
// TcxButtonGroupViewData
// ---------------------------------------------------------------------------

TcxCustomButtonGroupProperties* TcxButtonGroupViewData::GetProperties() const {
  return static_cast<TcxCustomButtonGroupProperties*>(Properties);
}

bool TcxButtonGroupViewData::IsButtonNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel &&
         AreVisualStylesMustBeUsed(ALookAndFeel->NativeStyle(), totButton);
}

Integer TcxButtonGroupViewData::GetDrawTextFlags() {
  // Left, vertically centred, prefix shown; wrapped only when the rows
  // grow with their captions.
  if (GetPaintOptions().Contains(epoAutoHeight) && GetProperties()->WordWrap())
    return cxtfAlignLeft | cxtfAlignVCenter | cxtfDontClip | cxtfShowPrefix |
           cxtfWordBreak;
  return cxtfAlignLeft | cxtfAlignVCenter | cxtfSingleLine | cxtfShowPrefix;
}

void TcxButtonGroupViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                                       const TPoint& P, TcxMouseButton AButton,
                                       TShiftState AShift,
                                       TcxCustomEditViewInfo* AViewInfo,
                                       bool AIsMouseEvent) {
  TcxGroupBoxViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                 AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->DrawTextFlags = static_cast<Cardinal>(GetDrawTextFlags());
  const Integer count = GetProperties()->Items()->Count();
  vi->SetButtonCount(count);
  if (count == 0) return;
  CalculateButtonViewInfos(vi);
  CalculateButtonPositions(ACanvas, vi);
  CalculateButtonStates(vi, P, AButton, AShift, AIsMouseEvent);
}

void TcxButtonGroupViewData::CalculateButtonViewInfos(
    TcxButtonGroupViewInfo* AViewInfo) {
  TcxCustomButtonGroupProperties* props = GetProperties();
  const Integer perColumn = props->GetButtonsPerColumn();
  TcxEditButtonStyle style;
  if (IsInplace) {
    static constexpr TcxEditButtonStyle kByKind[] = {btsFlat, bts3D,
                                                     btsUltraFlat, btsOffice11};
    style = kByKind[Style->LookAndFeel()->Kind()];
  } else {
    switch (Style->EditBorderStyle()) {
      case ebsUltraFlat:
        style = btsUltraFlat;
        break;
      case ebsOffice11:
        style = btsOffice11;
        break;
      case ebsSingle:
      case ebsThick:
      case ebsFlat:
        style = btsFlat;
        break;
      default:
        style = bts3D;
        break;
    }
  }
  const bool native = IsButtonNativeStyle(Style->LookAndFeel());
  for (Integer i = 0; i < static_cast<Integer>(AViewInfo->ButtonsInfo.size());
       ++i) {
    TcxGroupBoxButtonViewInfo* b = AViewInfo->Button(i);
    b->Column = i / perColumn;
    b->Row = i % perColumn;
    b->Data.Caption = props->Items()->Items(i)->Caption();
    b->Data.VisibleCaption = b->Data.Caption;
    b->Data.NativeStyle = native;
    b->Data.Style = style;
  }
}

void TcxButtonGroupViewData::CalculateButtonPositions(
    TcxCanvas* ACanvas, TcxButtonGroupViewInfo* AViewInfo) {
  TcxCustomButtonGroupProperties* props = GetProperties();
  const std::vector<TRect> bounds = cxButtonGroupButtonBounds(
      props->Items()->Count(), props->GetColumnCount(), AViewInfo->Bounds,
      GetClientExtent(ACanvas, AViewInfo),
      GetEditMetrics(GetPaintOptions().Contains(epoAutoHeight), ACanvas));
  const std::size_t count =
      std::min(bounds.size(), AViewInfo->ButtonsInfo.size());
  for (std::size_t i = 0; i < count; ++i) {
    AViewInfo->ButtonsInfo[i]->Bounds = bounds[i];
    AViewInfo->ButtonsInfo[i]->VisibleBounds = bounds[i];
  }
}

void TcxButtonGroupViewData::CalculateButtonStates(
    TcxButtonGroupViewInfo* AViewInfo, const TPoint& P, TcxMouseButton AButton,
    TShiftState AShift, bool AIsMouseEvent) {
  const Integer previousPressed = AIsMouseEvent ? AViewInfo->PressedButton : -1;
  AViewInfo->PressedButton = -1;
  AViewInfo->SelectedButton = -1;
  AViewInfo->IsButtonReallyPressed = false;
  const bool leftHeld = AShift.Contains(ssLeft);
  TShiftState mouse;
  for (TShiftStateItem i : {ssLeft, ssRight, ssMiddle, ssDouble})
    if (AShift.Contains(i)) mouse.Include(i);
  const bool onlyLeft =
      mouse == TShiftState{ssLeft} || mouse == TShiftState{ssLeft, ssDouble};
  const bool native = IsButtonNativeStyle(Style->LookAndFeel());
  const TcxEditButtonTransparency transparency = Style->ButtonTransparency();
  for (Integer i = 0; i < static_cast<Integer>(AViewInfo->ButtonsInfo.size());
       ++i) {
    TcxGroupBoxButtonViewInfo* b = AViewInfo->Button(i);
    const TcxEditButtonState previous = b->Data.State;
    b->ButtonIndex = i;
    b->Data.NativeStyle = native;
    b->Data.Transparent = transparency == ebtAlways ||
                          (transparency == ebtInactive && !IsSelected);
    b->Data.BackgroundColor = AViewInfo->BackgroundColor;
    const bool corePressed = IsButtonPressed(AViewInfo, i);
    const bool mayPress = CanPressButton(AViewInfo, i);
    const bool heldOnCapture = AButton == cxmbNone && leftHeld &&
                               previous == ebsNormal &&
                               CaptureButtonVisibleIndex == i;
    const bool stillHeld = previous == ebsPressed && leftHeld;
    TcxEditButtonState state = ebsNormal;
    if (!Enabled) {
      state = ebsDisabled;
    } else if (corePressed) {
      state = ebsPressed;
    } else if (IsDesigning || !cxRectPtIn(b->Bounds, P)) {
      state = ebsNormal;
    } else if (AShift.Empty()) {
      state = ebsSelected;
    } else if ((heldOnCapture && mayPress) ||
               (onlyLeft &&
                ((AButton == cxmbLeft && mayPress) || i == previousPressed)) ||
               stillHeld) {
      state = ebsPressed;
    }
    b->Data.State = state;
    if (state == ebsPressed) AViewInfo->PressedButton = i;
    if (state == ebsSelected) AViewInfo->SelectedButton = i;
    if (corePressed || (AButton == cxmbLeft && onlyLeft) || stillHeld ||
        heldOnCapture)
      AViewInfo->IsButtonReallyPressed = true;
    CalculateButtonNativeState(AViewInfo, b);
  }
}

TSize TcxButtonGroupViewData::GetEditConstantPartSize(
    TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
    TSize& AMinContentSize, TcxCustomEditViewInfo*) {
  AMinContentSize = TSize{0, 0};
  if (!ACanvas) return TSize{0, 0};
  TcxCustomButtonGroupProperties* props = GetProperties();
  TcxButtonGroupItems* items = props->Items();
  ACanvas->SetFont(Style->GetVisibleFont());
  const Integer unit =
      ACanvas->TextHeight("Zg") + GetEditContentSizeCorrection().cy;
  const Integer count = items->Count();
  const Integer givenWidth = std::max(AEditSizeProperties.Width, 0);
  if (count == 0) return TSize{givenWidth, unit};
  const Integer columns = props->GetColumnCount();
  const Integer perColumn = props->GetButtonsPerColumn();
  if (AEditSizeProperties.Width < 0) {
    const TcxEditMetrics m = GetEditMetrics(false, ACanvas);
    Integer widest = 0;
    for (Integer i = 0; i < count; ++i)
      widest = std::max(
          widest,
          ACanvas->TextWidth(RemoveAccelChars(items->Items(i)->Caption())));
    const Integer width =
        (widest + m.AutoWidthTextCorrection + m.GlyphSize.cx) * columns +
        (columns - 1) * m.ColumnSpacing + m.AutoWidthCorrection;
    const Integer rowHeight = std::max(m.GlyphSize.cy, unit);
    return TSize{width, perColumn * rowHeight};
  }
  // The rows grow with their wrapped captions.
  PaintOptions.Include(epoAutoHeight);
  const TcxEditMetrics m = GetEditMetrics(true, ACanvas);
  TObjectPtr<TcxCustomEditViewInfo> info =
      OwnedCast<TcxCustomEditViewInfo>(Properties->GetViewInfoClass()());
  const TRect extent = GetClientExtent(ACanvas, info.get());
  const Integer textWidth = std::max<Integer>(
      1, (AEditSizeProperties.Width + m.FixedWidthCorrection - extent.Left -
          extent.Right - (columns - 1) * m.ColumnSpacing) /
                 columns -
             m.GlyphSize.cx - m.FixedWidthTextCorrection);
  Integer rowHeight = unit;
  if (props->WordWrap()) {
    for (Integer i = 0; i < count; ++i) {
      const String& caption = items->Items(i)->Caption();
      if (caption.empty()) continue;
      TRect r{0, 0, textWidth, 0};
      ACanvas->TextExtent(
          caption, r,
          cxtfAlignLeft | cxtfAlignTop | cxtfWordBreak | cxtfShowPrefix);
      rowHeight =
          std::max(rowHeight, r.Height() + GetEditContentSizeCorrection().cy);
    }
  }
  Integer height = rowHeight * perColumn;
  if (!IsInplace) height += extent.Top + extent.Bottom;
  return TSize{givenWidth, height};
}
