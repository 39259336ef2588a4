// The check box's view data and view info: the layout of the mark and its
// caption, the mark's mouse state and the focus rectangle, the size the box
// asks for, and the painting a window and a grid cell share.
#include <algorithm>
#include <climits>

#include "WinApi.h"
#include "cxCheckBox.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "dxUxTheme.h"

namespace {

// The look a hot box's mark takes for the style's border.
TcxEditBorderStyle HotCheckBorderStyle(TcxEditBorderStyle AStyle) {
  switch (AStyle) {
    case ebsNone:
      return ebsFlat;
    case ebsSingle:
      return ebsThick;
    case ebsFlat:
      return ebs3D;
    default:
      return AStyle;
  }
}

String CaptionOf(TcxContainer* AEdit) {
  return AEdit ? AEdit->Caption() : String();
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomCheckBoxViewInfo
// ---------------------------------------------------------------------------

void TcxCustomCheckBoxViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomCheckBoxViewInfo*>(Source);
  if (!source) return;
  CheckRect = source->CheckRect;
  FocusRect = source->FocusRect;
  Alignment = source->Alignment;
  CheckBorderStyle = source->CheckBorderStyle;
  BorderOffset = source->BorderOffset;
  Glyph = source->Glyph;
  GlyphCount = source->GlyphCount;
  HasGlyph = source->HasGlyph;
  NullStyle = source->NullStyle;
  IsTextColorAssigned = source->IsTextColorAssigned;
  CheckState = source->CheckState;
  State = source->State;
}

void TcxCustomCheckBoxViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  CheckRect = cxRectOffset(CheckRect, DX, DY);
  if (!cxRectIsEmpty(FocusRect)) FocusRect = cxRectOffset(FocusRect, DX, DY);
}

void TcxCustomCheckBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  // A glyph or a see-through theme part shows the background through the
  // mark, so the background goes under it too.
  bool seeThrough = HasGlyph;
  if (NativeStyle && !seeThrough) {
    if (const HTHEME theme = OpenTheme(totButton))
      seeThrough = IsThemeBackgroundPartiallyTransparent(
          theme, 3, 4 * State + CheckState + 1);
  }
  DrawEditBackground(ACanvas, Bounds,
                     cxRectInflate(CheckRect, -BorderOffset, -BorderOffset),
                     !seeThrough);
  DrawEditCheck(ACanvas, CheckRect, State, CheckState,
                HasGlyph ? Glyph : nullptr, GlyphCount, CheckBorderStyle,
                NativeStyle, BorderColor, BackgroundColor,
                !IsBackgroundTransparent(), IsDesigning, Focused, true, Painter,
                NullStyle);
  if (Alignment != taCenter && !Text.empty())
    DrawCheckBoxText(ACanvas, Text, Font, TextColor, TextRect,
                     static_cast<Integer>(DrawTextFlags),
                     IsContainerInnerControl || Enabled ||
                         IsTextColorAssigned || NativeStyle);
  if (!cxRectIsEmpty(FocusRect)) {
    ACanvas->Brush()->SetColor(BackgroundColor);
    ACanvas->Font()->SetColor(TextColor);
    ACanvas->DrawFocusRect(FocusRect);
  }
}

bool TcxCustomCheckBoxViewInfo::Repaint(TWinControl* AControl,
                                        const TRect& AInnerEditRect,
                                        TcxCustomEditViewInfo* AOldViewInfo) {
  bool result = TcxCustomTextEditViewInfo::Repaint(AControl, AInnerEditRect,
                                                   AOldViewInfo);
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AOldViewInfo);
  if (!old || !AControl || !AControl->HandleAllocated()) return result;
  if (old->CheckState != CheckState || old->State != State) {
    const TRect r = cxRectOffset(CheckRect, Left, Top);
    ::InvalidateRect(AControl->Handle(), reinterpret_cast<const RECT*>(&r),
                     FALSE);
    result = true;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TcxCustomCheckBoxViewData
// ---------------------------------------------------------------------------

Integer TcxCustomCheckBoxViewData::GetDrawTextFlags() {
  const TAlignment alignment = GetProperties()->Alignment()->Horz();
  Integer flags = alignment == taCenter ? cxtfAlignHCenter : cxtfAlignLeft;
  flags |= cxtfShowPrefix;
  const bool multiLine = GetProperties()->MultiLine();
  flags |= multiLine ? cxtfWordBreak | cxtfDontClip : cxtfSingleLine;
  flags |= IsInplace || !multiLine ? cxtfAlignVCenter : cxtfAlignTop;
  return flags;
}

TcxEditCheckState TcxCustomCheckBoxViewData::CalculateCheckState(
    TcxCustomCheckBoxViewInfo* AViewInfo, const TPoint& P,
    TcxMouseButton AButton, TShiftState AShift) {
  if (!Enabled) return ecsDisabled;
  if (HasControlCheckState) return ControlCheckState;
  if (IsDesigning) return ecsNormal;
  if (!cxRectPtIn(AViewInfo->BorderRect, P)) return ecsNormal;
  if (AShift.Empty()) return ecsHot;
  if (AShift == TShiftState{ssLeft} &&
      (AButton == cxmbLeft || AViewInfo->CheckState == ecsPressed))
    return ecsPressed;
  return ecsNormal;
}

void TcxCustomCheckBoxViewData::Calculate(TcxCanvas* ACanvas,
                                          const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton,
                                          TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo,
                                          bool AIsMouseEvent) {
  auto* vi = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  const TcxEditCheckState previousCheckState = vi ? vi->CheckState : ecsNormal;
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                   AViewInfo, AIsMouseEvent);
  if (!vi) return;
  TcxCustomCheckBoxProperties* props = GetProperties();
  const bool embedded = props->IsEmbeddedEdit();
  vi->DrawTextFlags = static_cast<Cardinal>(GetDrawTextFlags());
  vi->Text = CaptionOf(Edit);
  if (Edit && !IsInplace) {
    if (auto* edit = dynamic_cast<TcxCustomEdit*>(Edit))
      vi->Transparent = edit->Transparent();
  }
  vi->IsContainerInnerControl = embedded;

  // Where the mark sits.
  TAlignment alignment = props->Alignment()->Horz();
  if (IsInplace && !embedded && !props->UseAlignmentWhenInplace() &&
      vi->Text.empty())
    alignment = taCenter;
  vi->Alignment = alignment;

  TcxEditBorderStyle border = Style->EditBorderStyle();
  if (vi->HotState == chsSelected) border = HotCheckBorderStyle(border);
  vi->CheckBorderStyle = border;

  vi->Glyph = props->InternalGetGlyph();
  vi->GlyphCount = props->GlyphCount();
  vi->HasGlyph = vi->GlyphCount > 0 && VerifyBitmap(vi->Glyph);
  vi->NullStyle = props->NullStyle();
  TcxLookAndFeelPainterClass painter = SkinPainter();
  vi->BorderOffset =
      GetEditCheckBorderOffset(border, NativeStyle, vi->HasGlyph, painter);
  const TSize size =
      GetEditCheckSize(ACanvas, NativeStyle, vi->HasGlyph ? vi->Glyph : nullptr,
                       vi->GlyphCount, painter);

  // The layout of mark and caption.
  TRect c = vi->ClientRect;
  TRect t = vi->ClientRect;
  if (IsInplace) {
    if (alignment == taLeftJustify) {
      t.Right -= 2;
      if (!embedded) c.Left += 2;
    } else if (alignment == taRightJustify) {
      t.Left += 2;
      if (!embedded) c.Right -= 2;
    }
    t.Top += ContentOffset.Top;
    t.Bottom -= ContentOffset.Bottom;
  } else {
    t = cxRectInflate(t, -2, -2);
    if (!embedded) --t.Top;
    if (!NativeStyle || !embedded) c = cxRectInflate(c, -2, -2);
  }
  if (c.Height() > size.cy) {
    c.Top += (c.Height() - size.cy) / 2;
    c.Bottom = c.Top + size.cy;
  }
  if (size.cx >= c.Width()) {
    t.Right = t.Left;
  } else if (alignment == taCenter) {
    c.Left += (c.Width() - size.cx) / 2;
    c.Right = c.Left + size.cx;
  } else if (alignment == taRightJustify) {
    c.Left = c.Right - size.cx;
    t.Right = c.Left - 3 + (IsInplace && embedded ? 1 : 0);
  } else {
    c.Right = c.Left + size.cx;
    t.Left = c.Right + 3;
  }
  if (!Enabled && !NativeStyle && !painter) {
    ++t.Right;
    ++t.Bottom;
  }
  vi->CheckRect = c;
  vi->TextRect = t;

  vi->CheckState = previousCheckState;
  vi->CheckState = CalculateCheckState(vi, P, AButton, AShift);
  if (IsInplace)
    vi->BorderColor =
        (Hot || IsDesigning) && Enabled ? clHighlight : clBtnShadow;
  vi->IsTextColorAssigned = Style->IsValueAssigned(csvTextColor);
  CalculateFocusRect(ACanvas, vi);
}

void TcxCustomCheckBoxViewData::CalculateFocusRect(
    TcxCanvas* ACanvas, TcxCustomCheckBoxViewInfo* AViewInfo) {
  TcxCustomCheckBoxViewInfo* vi = AViewInfo;
  vi->FocusRect = TRect{};
  const bool centred = vi->Alignment == taCenter;
  const bool embedded = GetProperties()->IsEmbeddedEdit();
  const bool shown =
      Focused && (((!IsInplace || embedded) && !centred) ||
                  (IsInplace && centred &&
                   GetPaintOptions().Contains(epoShowFocusRectWhenInplace)));
  if (!shown) return;
  const TRect& client = vi->ClientRect;
  TRect r;
  if (centred) {
    r = cxRectInflate(client, -1, -1);
    r.Top = std::max(r.Top, client.Top);
    r.Bottom = std::min(r.Bottom, client.Bottom);
    vi->FocusRect = r;
    return;
  }
  if (vi->Text.empty()) return;
  r = vi->TextRect;
  if (!GetProperties()->FullFocusRect() && ACanvas) {
    ACanvas->SetFont(vi->Font ? vi->Font : Style->GetVisibleFont());
    ACanvas->TextExtent(vi->Text, r, static_cast<Integer>(vi->DrawTextFlags));
  }
  r = cxRectInflate(r, 1, 1);
  TRect limit = cxRectInflate(vi->TextRect, 1, IsInplace ? -1 : 1);
  limit.Right = std::min(limit.Right, vi->BorderRect.Right - 1);
  r.Left = std::max(r.Left, limit.Left);
  r.Top = std::max(r.Top, limit.Top);
  r.Right = std::min(r.Right, limit.Right);
  r.Bottom = std::min(r.Bottom, limit.Bottom);
  vi->FocusRect = r;
}

void TcxCustomCheckBoxViewData::EditValueToDrawValue(
    TcxCanvas* ACanvas, const Variant& AValue,
    TcxCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->State = PreviewMode ? cbsChecked : GetProperties()->GetState(AValue);
  if (IsInplace && !GetProperties()->IsEmbeddedEdit()) vi->Text = String();
  CalculateFocusRect(ACanvas, vi);
}

TSize TcxCustomCheckBoxViewData::InternalGetEditConstantPartSize(
    TcxCanvas* ACanvas, bool AIsInplace,
    const TcxEditSizeProperties& AEditSizeProperties, TSize& AMinContentSize,
    TcxCustomEditViewInfo* AViewInfo) {
  TSize result = TcxCustomEditViewData::InternalGetEditConstantPartSize(
      ACanvas, AIsInplace, AEditSizeProperties, AMinContentSize, AViewInfo);
  // The mark has no buttons to make room for.
  AMinContentSize = TSize{0, 0};
  auto* vi = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  if (!vi || !ACanvas) return result;
  const TSize check =
      GetEditCheckSize(ACanvas, NativeStyle, vi->HasGlyph ? vi->Glyph : nullptr,
                       vi->GlyphCount, SkinPainter());
  result.cx += check.cx;
  result.cy += check.cy;
  const String caption = CaptionOf(Edit);
  const bool centred = vi->Alignment == taCenter;
  ACanvas->SetFont(Style->GetVisibleFont());
  if (AIsInplace) {
    if (!caption.empty() && !centred)
      result.cx = ACanvas->TextWidth(RemoveAccelChars(caption)) +
                  (vi->TextRect.Left - vi->Bounds.Left);
    else
      result.cx = check.cx + 4;
    result.cy += 2 * (1 - vi->BorderOffset);
  } else {
    result.cy += 4;
  }
  Integer textHeight;
  if (AIsInplace || centred) {
    textHeight = ACanvas->TextHeight("Gg");
  } else {
    Integer width =
        AEditSizeProperties.Width > 0 ? AEditSizeProperties.Width : INT_MAX / 2;
    if (!Enabled && !NativeStyle) --width;
    TRect r{0, 0, std::max(width, 1), 0};
    ACanvas->TextExtent(caption.empty() ? String(" ") : caption, r,
                        GetDrawTextFlags());
    textHeight = r.Height();
  }
  result.cy = std::max(result.cy, textHeight);
  return result;
}

// ---------------------------------------------------------------------------
// The properties' factories
// ---------------------------------------------------------------------------

TcxContainerStyleClass TcxCustomCheckBoxProperties::GetStyleClass() {
  return &cxNewContainerStyle<TcxCheckBoxStyle>;
}

TcxContainerViewInfoClass TcxCustomCheckBoxProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomCheckBoxViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomCheckBoxProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  return cxNewEditViewData<TcxCustomCheckBoxViewData>(this, AStyle, AIsInplace,
                                                      APreviewMode);
}
