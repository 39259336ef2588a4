#include "cxEditViewData.h"

#include <algorithm>
#include <climits>

#include "WinApi.h"
#include "cxDWMApi.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "dxUxTheme.h"

namespace {

bool PointIn(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

TShiftState MouseButtonsOf(TShiftState AShift) {
  TShiftState result;
  for (TShiftStateItem i : {ssLeft, ssRight, ssMiddle, ssDouble})
    if (AShift.Contains(i)) result.Include(i);
  return result;
}

}  // namespace

bool IsShadowDrawingNeeded(TcxCustomEditViewData* AViewData) {
  return AViewData->Style->Shadow() &&
         !TcxCustomEditViewData::IsNativeStyle(AViewData->Style->LookAndFeel());
}

Integer CalculateEditDefaultButtonWidth(TcxCanvas* ACanvas,
                                        TcxEditButtonViewInfo* AViewInfo) {
  TcxEditButtonViewInfoData& d = AViewInfo->Data;
  const TdxThemedObjectType themeType =
      d.SingleDropDown ? totComboBox : totButton;
  if (d.NativeStyle) d.NativeStyle = AreVisualStylesMustBeUsed(true, themeType);
  Integer margin = 4;
  if (d.NativeStyle) {
    const TRect m =
        cxGetThemeContentMargins(ACanvas, OpenTheme(themeType), 1, 1);
    margin = m.Left + m.Right;
  }
  if (AViewInfo->Width >= 1) return std::max(AViewInfo->Width, margin);
  if (d.Kind == bkGlyph && VerifyBitmap(AViewInfo->Glyph))
    return AViewInfo->Glyph->Width() + margin;
  Integer minimum = 0;
  if (d.Kind == bkText && ACanvas)
    minimum = margin + ACanvas->TextWidth(d.VisibleCaption) + 3;
  return std::max<Integer>(minimum, GetSystemMetrics(SM_CYHSCROLL));
}

// ---------------------------------------------------------------------------
// Construction and cached data
// ---------------------------------------------------------------------------

TcxCustomEditViewData::TcxCustomEditViewData(
    TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
    bool AIsInplace)
    : Properties(AProperties), Style(AStyle), IsInplace(AIsInplace) {
  Initialize();
  TextColor = clDefault;
  BackgroundColor = clDefault;
  InitCacheData();
}

void TcxCustomEditViewData::Initialize() {
  Enabled = true;
  ContentOffset = TRect{};
}

void TcxCustomEditViewData::InitCacheData() {
  VisibleButtonCount = Properties->Buttons()->GetVisibleCount();
  IsValueSource = Properties->GetEditValueSource(false) == evsValue;
  TcxEditAlignment* alignment = Properties->Alignment();
  HorzAlignment = alignment->Horz();
  VertAlignment = alignment->Vert();
  NativeStyle = IsNativeStyle(Style->LookAndFeel());
  InitEditContentParams(EditContentParams);
}

void TcxCustomEditViewData::InitEditContentParams(
    TcxEditContentParams& AParams) {
  AParams.Offsets = TRect{};
  AParams.ExternalBorderBounds = GetEditContentDefaultOffsets();
  AParams.Options = {ecoOffsetButtonContent};
  AParams.SizeCorrection = static_cast<Byte>(
      std::max<Integer>(0, 3 - AParams.ExternalBorderBounds.Left -
                               AParams.ExternalBorderBounds.Right));
  AParams.NativeTextHeightCorrection =
      NativeStyle && Properties->Buttons()->Count() > 0 ? 1 : 0;
}

bool TcxCustomEditViewData::IsNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel &&
         AreVisualStylesMustBeUsed(ALookAndFeel->NativeStyle(), totEdit);
}

TRect TcxCustomEditViewData::GetEditContentDefaultOffsets() {
  return EditContentDefaultOffsets[IsInplace ? 1 : 0];
}

TcxLookAndFeelPainterClass TcxCustomEditViewData::SkinPainter() const {
  return Style->LookAndFeel() ? Style->LookAndFeel()->SkinPainter() : nullptr;
}

// ---------------------------------------------------------------------------
// States, borders and extents
// ---------------------------------------------------------------------------

Integer TcxCustomEditViewData::GetEditNativeState(TcxCustomEditViewInfo*) {
  if (!Enabled) return 4;
  if (Properties->ReadOnly()) return 6;
  if (Focused) return IsCompositionEnabled() ? 3 : 5;
  if (Hot) return 2;
  return 1;
}

TcxContainerState TcxCustomEditViewData::GetContainerState(const TRect& ABounds,
                                                           const TPoint& P,
                                                           TcxMouseButton,
                                                           TShiftState AShift,
                                                           bool) {
  if (!Enabled) return {csDisabled};
  if (IsDesigning) return {csNormal};
  TcxContainerState result{Focused ? csActive : csNormal};
  const TRect visible =
      Edit ? Edit->GetVisibleBounds()
           : cxRectInflate(ABounds, ContentOffset.Left, ContentOffset.Top,
                           ContentOffset.Right, ContentOffset.Bottom);
  const bool noButton = !AShift.Contains(ssLeft) && !AShift.Contains(ssRight) &&
                        !AShift.Contains(ssMiddle);
  const bool captured = Edit && Edit->MouseCapture();
  if (PointIn(visible, P) && (noButton || captured)) result.Include(csHotTrack);
  return result;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle() {
  if (IsInplace) return ebsNone;
  const TcxEditBorderStyle s = Style->EditBorderStyle();
  // The ultra-flat looks are drawn by the border colour.
  return s == ebsUltraFlat || s == ebsOffice11 ? ebsSingle : s;
}

TColor TcxCustomEditViewData::GetBorderColor() {
  const bool highlighted =
      ContainerState.Contains(csActive) ||
      (ContainerState.Contains(csHotTrack) && Style->HotTrack());
  if (TcxLookAndFeelPainterClass painter = SkinPainter())
    return painter->GetContainerBorderColor(highlighted);
  const TcxEditBorderStyle s = Style->EditBorderStyle();
  if (s != ebsUltraFlat && s != ebsOffice11) return Style->BorderColor();
  if (highlighted || (IsDesigning && Enabled))
    return GetEditBorderHighlightColor(s == ebsOffice11);
  return clBtnShadow;
}

bool TcxCustomEditViewData::HasShadow() { return IsShadowDrawingNeeded(this); }

TRect TcxCustomEditViewData::GetBorderExtent() {
  if (IsInplace) return ContentOffset;
  TRect result;
  const bool painter = SkinPainter() != nullptr;
  TcxCustomEditStyle* base =
      static_cast<TcxCustomEditStyle*>(Style->GetBaseStyle());
  if ((Style->TransparentBorder() && !painter) || !Style->HasBorder() ||
      (NativeStyle && base->EditBorderStyle() == ebsNone)) {
    result = TRect{};
  } else if (NativeStyle) {
    result = cxContainerDefaultBorderExtent;
  } else {
    const Integer w = painter ? 1
                              : GetContainerBorderWidth(
                                    TcxContainerBorderStyle(GetBorderStyle()));
    result = GetContainerEdgesExtent(w, Style->Edges());
  }
  if (HasShadow()) {
    result.Right += cxContainerShadowWidth;
    result.Bottom += cxContainerShadowWidth;
  }
  return result;
}

TRect TcxCustomEditViewData::GetButtonsExtent(TcxCanvas* ACanvas) {
  if (IsInplace) return ContentOffset;
  if (!NativeStyle) return GetBorderExtent();
  TcxCustomEditStyle* base =
      static_cast<TcxCustomEditStyle*>(Style->GetBaseStyle());
  if (!Style->TransparentBorder() && !base->HasBorder()) return TRect{};
  const HTHEME theme = OpenTheme(totEdit);
  return theme ? cxGetThemeContentMargins(ACanvas, theme, 1, 1) : TRect{};
}

TRect TcxCustomEditViewData::GetClientExtent(TcxCanvas* ACanvas,
                                             TcxCustomEditViewInfo* AViewInfo) {
  TRect result = GetBorderExtent();
  if (ButtonsOnlyStyle && VisibleButtonCount > 0) {
    const TRect b = GetButtonsExtent(ACanvas);
    result.Left = b.Left;
    result.Right = b.Right;
  }
  if (HScrollBarVisible) result.Bottom += GetSystemMetrics(SM_CYHSCROLL);
  if (VScrollBarVisible) result.Right += GetSystemMetrics(SM_CXVSCROLL);
  for (const auto& b : AViewInfo->ButtonsInfo) {
    if (cxRectIsEmpty(b->Bounds)) continue;
    if (b->Data.LeftAlignment)
      result.Left =
          std::max(result.Left, b->Bounds.Right - AViewInfo->Bounds.Left);
    else
      result.Right =
          std::max(result.Right, AViewInfo->Bounds.Right - b->Bounds.Left);
  }
  return result;
}

TcxEditPaintOptions TcxCustomEditViewData::GetPaintOptions() const {
  TcxEditPaintOptions result = PaintOptions;
  if (ContentOffset != TRect{}) result.Include(epoHasExternalBorder);
  if (EditContentParams.Options.Contains(ecoShowFocusRectWhenInplace))
    result.Include(epoShowFocusRectWhenInplace);
  return result;
}

String TcxCustomEditViewData::EditValueToDisplayText(const Variant& AValue) {
  String result = InternalEditValueToDisplayText(AValue);
  if (OnGetDisplayText) OnGetDisplayText(this, result);
  return result;
}

Integer TcxCustomEditViewData::DoGetDefaultButtonWidth(Integer AIndex) {
  Integer result = 0;
  if (OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, AIndex, result);
  return result;
}

void TcxCustomEditViewData::CheckSizeConstraints(TSize& ASize) {
  if (!Edit) return;
  TSizeConstraints* c = Edit->Constraints();
  if (c->MaxHeight() > 0) ASize.cy = std::min(ASize.cy, c->MaxHeight());
  if (c->MinHeight() > 0) ASize.cy = std::max(ASize.cy, c->MinHeight());
  if (c->MaxWidth() > 0) ASize.cx = std::min(ASize.cx, c->MaxWidth());
  if (c->MinWidth() > 0) ASize.cx = std::max(ASize.cx, c->MinWidth());
}

// ---------------------------------------------------------------------------
// Calculation
// ---------------------------------------------------------------------------

void TcxCustomEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                                      const TPoint& P, TcxMouseButton AButton,
                                      TShiftState AShift,
                                      TcxCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent) {
  AShift = MouseButtonsOf(AShift);
  const Integer oldBorderWidth = GetContainerBorderWidth(
      TcxContainerBorderStyle(AViewInfo->EditBorderStyle));
  TcxEditBorderStyle borderStyle = ebsNone;
  for (int pass = 0; pass < 2; ++pass) {
    ContainerState =
        GetContainerState(ABounds, P, AButton, AShift, AIsMouseEvent);
    Hot = ContainerState.Contains(csActive) ||
          ContainerState.Contains(csHotTrack);
    if (IsDesigning || !Style->HotTrack() || IsInplace)
      AViewInfo->HotState = chsNoHotTrack;
    else
      AViewInfo->HotState =
          ContainerState.Contains(csHotTrack) ? chsSelected : chsNormal;
    if (Edit)
      if (auto* active = dynamic_cast<TcxCustomEditStyle*>(Edit->ActiveStyle()))
        Style = active;
    borderStyle = !IsInplace && NativeStyle
                      ? static_cast<TcxCustomEditStyle*>(Style->GetBaseStyle())
                            ->EditBorderStyle()
                      : GetBorderStyle();
    if (IsInplace || NativeStyle ||
        GetContainerBorderWidth(TcxContainerBorderStyle(borderStyle)) >=
            oldBorderWidth)
      break;
  }
  AViewInfo->EditBorderStyle = borderStyle;
  AViewInfo->BorderStyle = TcxContainerBorderStyle(borderStyle);
  AViewInfo->ContainerState = ContainerState;
  AViewInfo->EditProperties = Properties;
  ButtonsOnlyStyle = IsInplace
                         ? ABounds.Right != INT_MAX &&
                               Properties->ButtonsViewStyle() != bvsNormal
                         : Properties->ButtonsViewStyle() == bvsButtonsOnly;
  AViewInfo->Bounds = ABounds;
  AViewInfo->Painter = SkinPainter();
  AViewInfo->Enabled = Enabled;
  AViewInfo->Focused = Focused;
  AViewInfo->Edit = Edit;
  AViewInfo->HasInnerEdit = InnerEdit && InnerEdit->Visible();
  AViewInfo->IsDesigning = IsDesigning;
  AViewInfo->IsInplace = IsInplace;
  AViewInfo->IsSelected = IsSelected;
  AViewInfo->PaintOptions = GetPaintOptions();
  AViewInfo->Edges = Style->Edges();
  AViewInfo->Font =
      Style->DirectAccessMode() ? Style->Font() : Style->GetVisibleFont();
  AViewInfo->Shadow = !IsInplace && HasShadow();
  AViewInfo->WindowHandle =
      Edit && Edit->HandleAllocated() ? Edit->Handle() : nullptr;
  AViewInfo->Transparent = Properties->Transparent();
  AViewInfo->OffsetButtonContent =
      EditContentParams.Options.Contains(ecoOffsetButtonContent);

  CalculateViewInfo(AViewInfo);
  CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo,
                           AIsMouseEvent);
  const TRect extent = GetClientExtent(ACanvas, AViewInfo);
  AViewInfo->ClientRect =
      TRect{ABounds.Left + extent.Left, ABounds.Top + extent.Top,
            ABounds.Right - extent.Right, ABounds.Bottom - extent.Bottom};
  AViewInfo->InnerEditRect = AViewInfo->HasInnerEdit ? GetControlRect(InnerEdit)
                                                     : AViewInfo->ClientRect;

  TcxEditPopupBorderStyle popup = Style->PopupBorderStyle();
  if (popup == epbsDefault && Edit) {
    if (IsInplace) {
      static constexpr TcxEditPopupBorderStyle kByKind[] = {
          epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
      popup = kByKind[Style->LookAndFeel()->Kind()];
    } else if (borderStyle != ebsNone || VisibleButtonCount == 0) {
      popup = borderStyle == ebsFlat ? epbsFlat : epbsSingle;
    } else {
      popup = epbsFlat;
    }
  }
  AViewInfo->PopupBorderStyle = popup;
}

void TcxCustomEditViewData::CalculateEx(TcxCanvas* ACanvas,
                                        const TRect& ABounds, const TPoint& P,
                                        TcxMouseButton AButton,
                                        TShiftState AShift,
                                        TcxCustomEditViewInfo* AViewInfo,
                                        bool AIsMouseEvent) {
  AViewInfo->Left = ABounds.Left;
  AViewInfo->Top = ABounds.Top;
  Calculate(ACanvas, cxRectOffset(ABounds, -ABounds.Left, -ABounds.Top),
            TPoint{P.X - ABounds.Left, P.Y - ABounds.Top}, AButton, AShift,
            AViewInfo, AIsMouseEvent);
}

void TcxCustomEditViewData::CalculateViewInfo(TcxCustomEditViewInfo* V) {
  V->NativeStyle = NativeStyle;
  V->NativeState = GetEditNativeState(V);
  V->BorderExtent = GetBorderExtent();
  V->BorderRect = TRect{V->Bounds.Left + V->BorderExtent.Left,
                        V->Bounds.Top + V->BorderExtent.Top,
                        V->Bounds.Right - V->BorderExtent.Right,
                        V->Bounds.Bottom - V->BorderExtent.Bottom};
  V->ClientRect = V->BorderRect;
  V->HasContentOffsets = ContentOffset != TRect{};
  if (!IsInplace) V->BorderColor = GetBorderColor();
  V->TextColor = TextColor != clDefault ? TextColor : Style->TextColor();
  TColor background =
      BackgroundColor != clDefault ? BackgroundColor : Style->Color();
  if (NativeStyle && !Enabled && !Style->IsValueAssigned(csvColor)) {
    COLORREF fill = 0;
    if (HTHEME theme = OpenTheme(totEdit);
        theme &&
        SUCCEEDED(GetThemeColor(theme, 1, V->NativeState, 3802, &fill)))
      background = TColor(fill);
  }
  V->SetBackgroundColor(background);
}

TcxEditButtonStyle TcxCustomEditViewData::GetButtonsStyle() {
  const TcxEditButtonStyle own = Style->ButtonStyle();
  if (own != btsDefault) return own;
  if (IsInplace ||
      (Style->EditBorderStyle() == ebsNone && !Style->HotTrack())) {
    static constexpr TcxEditButtonStyle kByKind[] = {btsFlat, bts3D,
                                                     btsUltraFlat, btsOffice11};
    return kByKind[Style->LookAndFeel()->Kind()];
  }
  static constexpr TcxEditButtonStyle kByBorder[] = {
      btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat, btsOffice11};
  return kByBorder[Style->EditBorderStyle()];
}

TcxEditButton* TcxCustomEditViewData::ButtonOf(
    TcxEditButtonViewInfo* AButton) const {
  return Properties->Buttons()->Items(AButton->ButtonIndex);
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(
    TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton,
    TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  const TcxEditButtonTransparency transparency = Style->ButtonTransparency();
  const bool active = ContainerState.Contains(csActive);
  const bool hot = ContainerState.Contains(csHotTrack);
  if (VisibleButtonCount == 0 || (!active && transparency == ebtHideInactive) ||
      (!active && !hot && transparency == ebtHideUnselected)) {
    AViewInfo->SetButtonCount(0);
    return;
  }
  AViewInfo->SetButtonCount(VisibleButtonCount);
  AViewInfo->IsButtonReallyPressed = false;
  const Integer previousPressed = AIsMouseEvent ? AViewInfo->PressedButton : -1;
  AViewInfo->PressedButton = -1;
  AViewInfo->SelectedButton = -1;
  LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
  RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;

  const TRect buttonsExtent = GetButtonsExtent(ACanvas);
  TRect buttonsRect{ABounds.Left + buttonsExtent.Left,
                    ABounds.Top + buttonsExtent.Top,
                    ABounds.Right - buttonsExtent.Right,
                    ABounds.Bottom - buttonsExtent.Bottom};
  const TcxEditButtonStyle buttonsStyle = GetButtonsStyle();
  TcxEditButtons* buttons = Properties->Buttons();
  bool fontPrepared = false;
  Integer visibleIndex = VisibleButtonCount - 1;
  for (Integer i = buttons->Count() - 1; i >= 0; --i) {
    TcxEditButton* button = buttons->Items(i);
    if (!button->Visible()) continue;
    if (button->Kind() == bkText && !fontPrepared && ACanvas) {
      ACanvas->Font()->Assign(Style->GetVisibleFont());
      AViewInfo->PrepareCanvasFont(ACanvas);
      fontPrepared = true;
    }
    TcxEditButtonViewInfo* b =
        AViewInfo->ButtonsInfo[static_cast<std::size_t>(visibleIndex)].get();
    b->ButtonIndex = i;
    b->Data.Style = buttonsStyle;
    CalculateButtonViewInfo(ACanvas, AViewInfo, buttonsRect, visibleIndex);
    --visibleIndex;
  }
  if (ButtonsOnlyStyle && buttonsRect.Width() > 0)
    StretchButtons(AViewInfo, buttonsRect.Width());

  const TShiftState left{ssLeft};
  const TShiftState leftDouble{ssLeft, ssDouble};
  const bool leftPress = AShift == left || AShift == leftDouble;
  const bool anyButton = !AShift.Empty();
  for (Integer i = 0; i < VisibleButtonCount; ++i) {
    TcxEditButtonViewInfo* b =
        AViewInfo->ButtonsInfo[static_cast<std::size_t>(i)].get();
    TcxEditButtonState state = ebsNormal;
    if (!Enabled || !ButtonOf(b)->Enabled()) {
      state = ebsDisabled;
    } else if (IsButtonPressed(AViewInfo, i) ||
               (!IsDesigning && PointIn(b->VisibleBounds, P))) {
      const bool programPressed = IsButtonPressed(AViewInfo, i);
      const bool backOverCaptured =
          CaptureButtonVisibleIndex == i && AShift.Contains(ssLeft);
      const bool stillHeld = previousPressed == i && AShift.Contains(ssLeft);
      if (leftPress || stillHeld || backOverCaptured || programPressed)
        AViewInfo->IsButtonReallyPressed = true;
      if (programPressed ||
          (backOverCaptured && CanPressButton(AViewInfo, i)) ||
          (leftPress &&
           (CanPressButton(AViewInfo, i) || previousPressed == i)) ||
          stillHeld) {
        state = ebsPressed;
        AViewInfo->PressedButton = i;
      } else if (anyButton) {
        state = ebsNormal;
      } else {
        state = ebsSelected;
        AViewInfo->SelectedButton = i;
      }
    }
    if (AViewInfo->OnGetButtonState)
      AViewInfo->OnGetButtonState(AViewInfo, i, state);
    b->Data.State = state;
    CalculateButtonNativeInfo(b);
  }

  auto flag = [&](Integer index, bool TcxEditButtonViewInfoData::*field) {
    if (index >= 0)
      AViewInfo->ButtonsInfo[static_cast<std::size_t>(index)]->Data.*field =
          true;
  };
  flag(LeftSideLeftmostButtonIndex, &TcxEditButtonViewInfoData::LeftEdge);
  flag(RightSideRightmostButtonIndex, &TcxEditButtonViewInfoData::RightEdge);
  const bool leftSide = LeftSideLeftmostButtonIndex >= 0;
  const bool rightSide = RightSideRightmostButtonIndex >= 0;
  if (!ButtonsOnlyStyle || !leftSide)
    flag(RightSideLeftmostButtonIndex, &TcxEditButtonViewInfoData::LeftEdge);
  if (!ButtonsOnlyStyle || !rightSide)
    flag(LeftSideRightmostButtonIndex, &TcxEditButtonViewInfoData::RightEdge);
  if (ButtonsOnlyStyle)
    for (const auto& b : AViewInfo->ButtonsInfo) b->Data.LeftAlignment = false;
}

void TcxCustomEditViewData::StretchButtons(TcxCustomEditViewInfo* AViewInfo,
                                           Integer AFreeWidth) {
  auto& infos = AViewInfo->ButtonsInfo;
  bool anyStretchable = false;
  for (const auto& b : infos) anyStretchable |= b->Stretchable;
  Integer total = 0;
  std::vector<std::size_t> served;
  for (std::size_t i = 0; i < infos.size(); ++i)
    if (!anyStretchable || infos[i]->Stretchable) {
      served.push_back(i);
      total += infos[i]->Bounds.Width();
    }
  if (served.empty() || total <= 0) return;
  std::vector<Integer> growth(infos.size(), 0);
  Integer left = AFreeWidth;
  for (std::size_t k = 0; k < served.size(); ++k) {
    const std::size_t i = served[k];
    const Integer g = k + 1 == served.size()
                          ? left
                          : AFreeWidth * infos[i]->Bounds.Width() / total;
    growth[i] = g;
    left -= g;
  }
  // Left-aligned buttons grow to the right and push the following ones;
  // right-aligned ones grow to the left.
  Integer shift = 0;
  for (std::size_t i = 0; i < infos.size(); ++i) {
    auto& b = infos[i];
    if (!b->Data.LeftAlignment) continue;
    b->Bounds.Left += shift;
    b->Bounds.Right += shift + growth[i];
    shift += growth[i];
    b->VisibleBounds = b->Bounds;
  }
  shift = 0;
  for (std::size_t n = infos.size(); n-- > 0;) {
    auto& b = infos[n];
    if (b->Data.LeftAlignment) continue;
    b->Bounds.Right -= shift;
    b->Bounds.Left -= shift + growth[n];
    shift += growth[n];
    b->VisibleBounds = b->Bounds;
  }
}

void TcxCustomEditViewData::CalculateButtonViewInfo(
    TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, TRect& ARect,
    Integer AButtonVisibleIndex) {
  TcxEditButtonViewInfo* b =
      AViewInfo->ButtonsInfo[static_cast<std::size_t>(AButtonVisibleIndex)]
          .get();
  TcxEditButton* button = ButtonOf(b);
  TcxEditButtonViewInfoData& d = b->Data;
  d.SingleDropDown = VisibleButtonCount == 1 && button->Kind() == bkDown;
  d.Kind = button->Kind();
  if (d.Kind == bkText) {
    d.Caption = button->Caption();
    TcxLookAndFeelPainterClass painter = SkinPainter();
    d.TextColor =
        painter ? painter->EditButtonTextColor() : button->TextColor();
    d.VisibleCaption = button->VisibleCaption();
  }
  d.ContentAlignment = button->ContentAlignment();
  d.Default = button->Default();
  b->Glyph = button->HasGlyph() ? button->Glyph() : nullptr;
  b->HasBackground = AViewInfo->HasBackground;
  d.Gradient = Style->GradientButtons();
  d.IsInplace = IsInplace;
  d.LeftAlignment = button->LeftAlignment();
  d.LeftEdge = false;
  d.RightEdge = false;
  d.NativeStyle = NativeStyle;
  b->Stretchable = button->Stretchable();
  b->Width = button->Width() != 0 ? button->Width()
                                  : DoGetDefaultButtonWidth(b->ButtonIndex);
  const TcxEditButtonTransparency t = Style->ButtonTransparency();
  d.Transparent = t == ebtAlways || (t == ebtInactive && !Hot);
  d.BackgroundColor = AViewInfo->BackgroundColor;
  CalculateButtonBounds(ACanvas, AViewInfo, AButtonVisibleIndex, ARect);
}

void TcxCustomEditViewData::CalculateButtonBounds(
    TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
    Integer AButtonVisibleIndex, TRect& AButtonsRect) {
  TcxEditButtonViewInfo* b =
      AViewInfo->ButtonsInfo[static_cast<std::size_t>(AButtonVisibleIndex)]
          .get();
  if (AButtonsRect.Width() <= 0 || AButtonsRect.Height() <= 0) {
    b->Bounds = TRect{};
    b->VisibleBounds = TRect{};
    return;
  }
  const Integer width = CalculateEditDefaultButtonWidth(ACanvas, b);
  const Integer visible = std::min(width, AButtonsRect.Width());
  if (b->Data.LeftAlignment) {
    b->Bounds = TRect{AButtonsRect.Left, AButtonsRect.Top,
                      AButtonsRect.Left + width, AButtonsRect.Bottom};
    b->VisibleBounds = TRect{AButtonsRect.Left, AButtonsRect.Top,
                             AButtonsRect.Left + visible, AButtonsRect.Bottom};
    AButtonsRect.Left += visible;
    if (LeftSideLeftmostButtonIndex < 0)
      LeftSideLeftmostButtonIndex = AButtonVisibleIndex;
    LeftSideRightmostButtonIndex = AButtonVisibleIndex;
  } else {
    b->Bounds = TRect{AButtonsRect.Right - width, AButtonsRect.Top,
                      AButtonsRect.Right, AButtonsRect.Bottom};
    b->VisibleBounds = TRect{AButtonsRect.Right - visible, AButtonsRect.Top,
                             AButtonsRect.Right, AButtonsRect.Bottom};
    AButtonsRect.Right -= visible;
    if (RightSideRightmostButtonIndex < 0)
      RightSideRightmostButtonIndex = AButtonVisibleIndex;
    RightSideLeftmostButtonIndex = AButtonVisibleIndex;
  }
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(
    TcxEditButtonViewInfo* AButton) {
  TcxEditButtonViewInfoData& d = AButton->Data;
  d.NativePart = 0;
  AButton->NativeState = 0;
  d.PartiallyTransparent = false;
  if (!d.NativeStyle) return;
  const TdxThemedObjectType type = d.SingleDropDown ? totComboBox : totButton;
  const HTHEME theme = OpenTheme(type);
  if (!theme) return;
  d.NativePart = 1;
  if (d.SingleDropDown && !IsInplace && IsCompositionEnabled())
    d.NativePart = d.LeftAlignment ? 7 : 6;
  static constexpr Integer kStates[] = {4, 1, 3, 2};
  AButton->NativeState = kStates[d.State];
  d.PartiallyTransparent = IsThemeBackgroundPartiallyTransparent(
      theme, d.NativePart, AButton->NativeState);
}

// ---------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------

TSize TcxCustomEditViewData::GetEditContentSizeCorrection() {
  const TRect& o = EditContentParams.ExternalBorderBounds;
  return TSize{o.Left + o.Right + EditContentParams.SizeCorrection,
               o.Top + o.Bottom + EditContentParams.NativeTextHeightCorrection};
}

TSize TcxCustomEditViewData::GetEditContentSize(
    TcxCanvas* ACanvas, const Variant& AEditValue,
    const TcxEditSizeProperties& AEditSizeProperties) {
  if (ButtonsOnlyStyle) {
    ACanvas->Font()->Assign(Style->GetVisibleFont());
    return TSize{0,
                 ACanvas->TextHeight("Zg") + GetEditContentSizeCorrection().cy};
  }
  return InternalGetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
}

TSize TcxCustomEditViewData::GetEditConstantPartSize(
    TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
    TSize& AMinContentSize, TcxCustomEditViewInfo* AViewInfo) {
  TObjectPtr<TcxCustomEditViewInfo> temporary;
  if (!AViewInfo) {
    // The editor's own kind, so that its calculation finds its fields.
    temporary =
        OwnedCast<TcxCustomEditViewInfo>(Properties->GetViewInfoClass()());
    if (!temporary) temporary.reset(new TcxCustomEditViewInfo());
    AViewInfo = temporary.get();
    Calculate(ACanvas, TRect{0, 0, INT_MAX, INT_MAX}, TPoint{-1, -1}, cxmbNone,
              {}, AViewInfo, false);
  }
  return InternalGetEditConstantPartSize(
      ACanvas, IsInplace, AEditSizeProperties, AMinContentSize, AViewInfo);
}

TSize TcxCustomEditViewData::InternalGetEditConstantPartSize(
    TcxCanvas* ACanvas, bool AIsInplace, const TcxEditSizeProperties&,
    TSize& AMinContentSize, TcxCustomEditViewInfo* AViewInfo) {
  const TRect& b = AViewInfo->Bounds;
  const TRect& c = AViewInfo->ClientRect;
  const TSize result{(c.Left - b.Left) + (b.Right - c.Right),
                     (c.Top - b.Top) + (b.Bottom - c.Bottom)};
  Integer height = 0;
  for (const auto& info : AViewInfo->ButtonsInfo) {
    if (info->Data.Kind == bkGlyph && VerifyBitmap(info->Glyph))
      height = std::max(height, info->Glyph->Height());
    if (AIsInplace && info->Data.Kind == bkText && ACanvas) {
      ACanvas->Font()->Assign(Style->GetVisibleFont());
      height = std::max(height, ACanvas->TextHeight(info->Data.VisibleCaption));
    }
  }
  if (height > 0 && !SkinPainter()) {
    const TRect e = GetButtonsExtent(ACanvas);
    height += e.Top + e.Bottom;
  }
  height += GetEditButtonsContentVerticalOffset(ACanvas, GetButtonsStyle(),
                                                NativeStyle);
  AMinContentSize = TSize{0, std::max<Integer>(0, height - result.cy)};
  return result;
}

TSize TcxCustomEditViewData::GetEditSize(
    TcxCanvas* ACanvas, const Variant& AEditValue,
    const TcxEditSizeProperties& AEditSizeProperties,
    TcxCustomEditViewInfo* AViewInfo) {
  TSize minContent{0, 0};
  const TSize constant = GetEditConstantPartSize(ACanvas, AEditSizeProperties,
                                                 minContent, AViewInfo);
  TcxEditSizeProperties sizeProperties = AEditSizeProperties;
  bool tooNarrow = false;
  if (sizeProperties.Width != -1) {
    sizeProperties.Width -= constant.cx;
    if (sizeProperties.Width < 0) {
      sizeProperties.Width = 0;
      tooNarrow = true;
    }
  }
  TSize content = GetEditContentSize(ACanvas, AEditValue, sizeProperties);
  CheckSize(content, minContent);
  TSize result{tooNarrow ? AEditSizeProperties.Width : constant.cx + content.cx,
               constant.cy + content.cy};
  if (!IsInplace) CheckSizeConstraints(result);
  return result;
}

// ---------------------------------------------------------------------------
// The properties' factory of view data
// ---------------------------------------------------------------------------

TObjectPtr<TcxCustomEditViewData> TcxCustomEditProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new TcxCustomEditViewData(this, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

TSize TcxCustomEditProperties::GetEditSize(
    TcxCanvas* ACanvas, TcxCustomEditStyle* AEditStyle, bool AIsInplace,
    const Variant& AEditValue,
    const TcxEditSizeProperties& AEditSizeProperties) {
  TObjectPtr<TcxCustomEditViewData> data =
      CreateViewData(AEditStyle, AIsInplace);
  return data->GetEditSize(ACanvas, AEditValue, AEditSizeProperties);
}

TcxContainerStyleClass TcxCustomEditProperties::GetStyleClass() {
  return &cxNewContainerStyle<TcxEditStyle>;
}

TcxContainerViewInfoClass TcxCustomEditProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomEditViewInfo>;
}
