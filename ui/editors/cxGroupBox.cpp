#include "cxGroupBox.h"

#include <algorithm>

#include "Handles.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxControls.h"
#include "cxEditUtils.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// The button theme's group-box part and its text colour property.
constexpr int kThemeGroupBoxPart = 4;
constexpr int kThemeTextColor = 3803;

UINT CaptionDrawFlags(bool AVertical) {
  UINT flags = DT_SINGLELINE;
  if (AVertical) flags |= DT_NOPREFIX;
  return flags;
}

}  // namespace

// ---------------------------------------------------------------------------
// Caption geometry
// ---------------------------------------------------------------------------

TcxGroupBoxCaptionPosition cxGroupBoxCaptionPosition(
    TcxCaptionAlignment AAlignment) {
  if (AAlignment <= alTopRight) return cxgpTop;
  if (AAlignment <= alBottomRight) return cxgpBottom;
  if (AAlignment <= alLeftBottom) return cxgpLeft;
  if (AAlignment <= alRightBottom) return cxgpRight;
  return cxgpCenter;
}

bool cxIsVerticalCaption(TcxCaptionAlignment AAlignment) {
  return AAlignment >= alLeftTop && AAlignment <= alRightBottom;
}

TRect cxGroupBoxCaptionRect(TcxCaptionAlignment AAlignment,
                            const TSize& ATextSize, const TSize& AControlSize,
                            bool AShadow) {
  const Integer tw = ATextSize.cx;
  const Integer th = ATextSize.cy;
  const Integer w = AControlSize.cx;
  const Integer h = AControlSize.cy;
  const Integer s = AShadow ? cxContainerShadowWidth : 0;
  TRect r;
  switch (AAlignment) {
    case alTopLeft:
    case alBottomLeft:
      r = TRect{8, 0, 8 + tw, th};
      break;
    case alTopCenter:
    case alBottomCenter:
    case alCenterCenter:
      r.Left = (w - s - tw) / 2;
      r = TRect{r.Left, 0, r.Left + tw, th};
      break;
    case alTopRight:
    case alBottomRight:
      r = TRect{w - s - 8 - tw, 0, w - s - 8, th};
      break;
    case alLeftTop:
      r = TRect{-1, 8, th - 1, 8 + tw};
      break;
    case alLeftCenter:
      r.Bottom = h - s - (h - s - tw) / 2;
      r = TRect{-1, r.Bottom - tw, th - 1, r.Bottom};
      break;
    case alLeftBottom:
      r = TRect{-1, h - s - 8 - tw, th - 1, h - s - 8};
      break;
    case alRightTop:
      r = TRect{w - th + 1, 8, w + 1, 8 + tw};
      break;
    case alRightCenter:
      r.Top = (h - tw) / 2;
      r = TRect{w - th + 1, r.Top, w + 1, r.Top + tw};
      break;
    case alRightBottom:
      r = TRect{w - th + 1, h - 8 - tw, w + 1, h - 8};
      break;
  }
  if (AAlignment >= alBottomLeft && AAlignment <= alBottomRight) {
    r.Top = h - th - 2;
    r.Bottom = h - 2;
  } else if (AAlignment == alCenterCenter) {
    r.Top = (h - s - th) / 2;
    r.Bottom = r.Top + th;
  }
  return r;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomEditClass TcxCustomGroupBoxProperties::GetContainerClass() {
  return cxEditClass<TcxGroupBox>();
}

TcxContainerViewInfoClass TcxCustomGroupBoxProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxGroupBoxViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomGroupBoxProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  return cxNewEditViewData<TcxGroupBoxViewData>(this, AStyle, AIsInplace,
                                                APreviewMode);
}

// ---------------------------------------------------------------------------
// View data and view info
// ---------------------------------------------------------------------------

TRect TcxGroupBoxViewData::GetClientExtent(TcxCanvas*, TcxCustomEditViewInfo*) {
  if (!IsInplace)
    if (auto* box = dynamic_cast<TcxCustomGroupBox*>(Edit))
      return box->GetClientExtent();
  return GetBorderExtent();
}

void TcxGroupBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  if (!IsInplace) {
    TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
    return;
  }
  DrawEditBackground(ACanvas, Bounds, TRect{}, false);
  DrawButtons(ACanvas);
}

// ---------------------------------------------------------------------------
// TcxCustomGroupBox
// ---------------------------------------------------------------------------

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace), captionFont_(new TFont) {
  CreateProperties();
  controlStyle_ +=
      TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents};
  SetBounds(Left(), Top(), 185, 105);
  CalculateCaptionFont();
  SetTabStop(false);
}

TcxCustomGroupBox::~TcxCustomGroupBox() = default;

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  CalculateCaptionFont();
  UpdateVisibleCaption();
  ShortRefreshContainer(false);
  Realign();
}

void TcxCustomGroupBox::CalculateCaptionFont() {
  if (IsInplace()) return;
  captionFont_->Assign(ActiveStyle()->GetVisibleFont());
  if (!cxIsVerticalCaption(alignment_)) return;
  if (!cxIsTrueTypeFont(captionFont_.get())) captionFont_->SetName("Arial");
  const Integer angle = alignment_ <= alLeftBottom ? 900 : 2700;
  if (captionFont_->Orientation() != angle) captionFont_->SetOrientation(angle);
}

void TcxCustomGroupBox::UpdateVisibleCaption() {
  visibleCaption_ =
      cxIsVerticalCaption(alignment_) ? RemoveAccelChars(Caption()) : Caption();
}

Integer TcxCustomGroupBox::CaptionLineHeight() {
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->SetFont(captionFont_.get());
  return canvas->TextHeight("Qq");
}

TRect TcxCustomGroupBox::GetCaptionRect() {
  UpdateVisibleCaption();
  if (visibleCaption_.empty()) return cxEmptyRect;
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->SetFont(captionFont_.get());
  RECT r{8, 0, 0, canvas->TextHeight("Qq")};
  DrawTextA(canvas->Handle(), visibleCaption_.c_str(),
            static_cast<int>(visibleCaption_.size()), &r,
            CaptionDrawFlags(cxIsVerticalCaption(alignment_)) | DT_CALCRECT);
  const TSize text{r.right - r.left, r.bottom - r.top};
  return cxGroupBoxCaptionRect(alignment_, text, TSize{Width(), Height()},
                               HasShadow());
}

TRect TcxCustomGroupBox::GetBorderExtentEx() {
  TRect extent = TcxCustomEdit::GetBorderExtent();
  if (IsInplace() || alignment_ == alCenterCenter) return extent;
  const Integer half = CaptionLineHeight() / 2;
  switch (cxGroupBoxCaptionPosition(alignment_)) {
    case cxgpTop:
      extent.Top = half + 1;
      break;
    case cxgpBottom:
      extent.Bottom = half + 1;
      break;
    case cxgpLeft:
      extent.Left = half;
      break;
    case cxgpRight:
      extent.Right = half;
      break;
    default:
      break;
  }
  return extent;
}

TRect TcxCustomGroupBox::GetClientExtent() {
  TRect extent = TcxCustomEdit::GetBorderExtent();
  if (IsInplace() || alignment_ == alCenterCenter) return extent;
  const Integer line = CaptionLineHeight() + 3;
  switch (cxGroupBoxCaptionPosition(alignment_)) {
    case cxgpTop:
      extent.Top = line;
      break;
    case cxgpBottom:
      extent.Bottom = line;
      break;
    case cxgpLeft:
      extent.Left = line;
      break;
    case cxgpRight:
      extent.Right = line;
      break;
    default:
      break;
  }
  return extent;
}

void TcxCustomGroupBox::AdjustClientRect(TRect& Rect) {
  if (ComponentState().Contains(csDestroying)) return;
  const TRect e = GetClientExtent();
  Rect = TRect{e.Left, e.Top, Width() - e.Right, Height() - e.Bottom};
}

TColor TcxCustomGroupBox::GetBorderColor() {
  const TcxEditBorderStyle style = Style()->EditBorderStyle();
  if (style == ebsUltraFlat || style == ebsOffice11) {
    return Enabled() ? GetEditBorderHighlightColor(style == ebsOffice11)
                     : clBtnShadow;
  }
  return ActiveStyle()->BorderColor();
}

TcxContainerStyle* TcxCustomGroupBox::InternalGetActiveStyle() {
  return Enabled() ? GetStyle() : GetStyleDisabled();
}

void TcxCustomGroupBox::ContainerStyleChanged(TObject* Sender) {
  CalculateCaptionFont();
  TcxCustomEdit::ContainerStyleChanged(Sender);
}

bool TcxCustomGroupBox::HandleDialogChar(TMessage& Message) {
  if (!cxIsAccel(static_cast<char>(Message.WParam), Caption()) || !CanFocus()) {
    return false;
  }
  TRestoreOnExit<bool> restore(accelHandling_, true);
  SelectFirst();
  Message.Result = 1;
  return true;
}

void TcxCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (HandleDialogChar(Message)) return;
      break;
    case CM_FONTCHANGED:
      TcxCustomEdit::Dispatch(Message);
      CalculateCaptionFont();
      Realign();
      return;
    case CM_TEXTCHANGED:
      TcxCustomEdit::Dispatch(Message);
      UpdateVisibleCaption();
      ShortRefreshContainer(false);
      Invalidate();
      return;
    default:
      break;
  }
  TcxCustomEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TcxCustomGroupBox::DrawFrame(TcxCanvas* ACanvas,
                                  const TRect& ACaptionRect) {
  TRect r{0, 0, Width(), Height()};
  const Integer half = CaptionLineHeight() / 2;
  switch (cxGroupBoxCaptionPosition(alignment_)) {
    case cxgpTop:
      r.Top += half;
      break;
    case cxgpBottom:
      r.Bottom -= half;
      break;
    case cxgpLeft:
      r.Left += half;
      break;
    case cxgpRight:
      r.Right -= half;
      break;
    default:
      break;
  }
  auto saved = ACanvas->SavedDCScope();
  if (alignment_ != alCenterCenter && !cxRectIsEmpty(ACaptionRect)) {
    ACanvas->ExcludeClipRect(ACaptionRect);
  }
  const bool native = AreVisualStylesMustBeUsed(IsNativeStyle(), totButton) &&
                      OpenTheme(totButton) != nullptr;
  if (native) {
    DrawThemeBackground(OpenTheme(totButton), ACanvas->Handle(),
                        kThemeGroupBoxPart, Enabled() ? 1 : 2,
                        reinterpret_cast<const RECT*>(&r), nullptr);
    return;
  }
  switch (Style()->EditBorderStyle()) {
    case ebsSingle:
      ACanvas->FrameRect(r, GetBorderColor());
      break;
    case ebsThick:
      ACanvas->FrameRect(r, GetBorderColor(), 2);
      break;
    case ebsFlat:
      ACanvas->FrameRect(r, clBtnShadow);
      ACanvas->FrameRect(cxRectInflate(r, -1, -1), clBtnHighlight);
      break;
    case ebs3D:
      if (Ctl3D()) {
        const TRect inner{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
        ACanvas->FrameRect(inner, clBtnShadow);
        ACanvas->FrameRect(cxRectOffset(inner, 1, 1), clBtnHighlight);
      } else {
        ACanvas->FrameRect(r, clWindowFrame);
        ACanvas->FrameRect(cxRectInflate(r, -1, -1), ActiveStyle()->Color());
      }
      break;
    case ebsUltraFlat:
    case ebsOffice11:
      ACanvas->FrameRect(r, GetBorderColor());
      break;
    case ebsNone:
      break;
  }
}

void TcxCustomGroupBox::DrawCaption(TcxCanvas* ACanvas,
                                    const TRect& ACaptionRect) {
  if (visibleCaption_.empty()) return;
  ACanvas->SetFont(captionFont_.get());
  TColor textColor = ActiveStyle()->TextColor();
  if (!Enabled()) textColor = clGrayText;
  const HTHEME theme = AreVisualStylesMustBeUsed(IsNativeStyle(), totButton)
                           ? OpenTheme(totButton)
                           : nullptr;
  COLORREF themed = 0;
  if (theme &&
      SUCCEEDED(GetThemeColor(theme, kThemeGroupBoxPart, Enabled() ? 1 : 2,
                              kThemeTextColor, &themed))) {
    textColor = TColor(themed);
  }
  ACanvas->Font()->SetColor(textColor);
  const bool transparent = Transparent();
  const HDC dc = ACanvas->Handle();
  if (transparent) {
    ACanvas->Brush()->SetStyle(bsClear);
  } else {
    ACanvas->FillRect(ACaptionRect, ActiveStyle()->Color());
    ACanvas->Brush()->SetStyle(bsClear);
  }
  ACanvas->Canvas()->Refresh();
  TSelectObject font(dc, ACanvas->Font()->Handle());
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(textColor)));
  SetBkMode(dc, TRANSPARENT);
  RECT r{ACaptionRect.Left, ACaptionRect.Top, ACaptionRect.Right,
         ACaptionRect.Bottom};
  if (cxIsVerticalCaption(alignment_)) {
    const bool left = alignment_ <= alLeftBottom;
    const Integer x = left ? ACaptionRect.Left : ACaptionRect.Right;
    const Integer y = left ? ACaptionRect.Bottom - 1 : ACaptionRect.Top + 1;
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &r, visibleCaption_.c_str(),
                static_cast<UINT>(visibleCaption_.size()), nullptr);
  } else {
    DrawTextA(dc, visibleCaption_.c_str(),
              static_cast<int>(visibleCaption_.size()), &r,
              CaptionDrawFlags(false));
  }
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomGroupBox::Paint() {
  TcxCanvas* canvas = Canvas();
  const TRect bounds{0, 0, Width(), Height()};
  if (IsInplace()) {
    canvas->FillRect(bounds, ActiveStyle()->Color());
    return;
  }
  if (Transparent()) {
    cxDrawTransparentControlBackground(this, canvas, bounds);
  } else {
    canvas->FillRect(bounds, ActiveStyle()->Color());
  }
  const TRect caption = GetCaptionRect();
  DrawFrame(canvas, caption);
  DrawCaption(canvas, caption);
}

namespace {

void GroupBoxStartup() {
  RegisterEnum<TcxCaptionAlignment>(
      "TcxCaptionAlignment",
      {"alTopLeft", "alTopCenter", "alTopRight", "alBottomLeft",
       "alBottomCenter", "alBottomRight", "alLeftTop", "alLeftCenter",
       "alLeftBottom", "alRightTop", "alRightCenter", "alRightBottom",
       "alCenterCenter"});
  using G = TcxCustomGroupBox;
  TPublished<TcxCustomGroupBox>()
      .Property("Alignment", &G::Alignment, &G::SetAlignment, alTopLeft)
      .Property("CaptionBkColor", &G::CaptionBkColor, &G::SetCaptionBkColor);
  RegisterClasses({TcxGroupBox::StaticClass()});
}

void GroupBoxShutdown() {
  UnpublishClass(TcxCustomGroupBox::StaticClass());
  UnRegisterClass(TcxGroupBox::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxGroupBox, ({"cxEdit", "cxContainer"}), &GroupBoxStartup,
            &GroupBoxShutdown);
