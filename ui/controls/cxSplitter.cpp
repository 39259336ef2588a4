#include "WinApi.h"
//
#include <algorithm>
#include <cstdlib>

#include "Forms.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "cxSplitter.h"
//
#include "cxControlsCommon.h"
#include "cxExtEditUtils.h"
#include "dxThemeManager.h"

namespace {

constexpr Integer kHotZoneThickness = 7;

using THotZoneFactories = TcxStyleFactories<TcxHotZoneStyle, TcxCustomSplitter>;

THotZoneFactories& HotZoneFactories() {
  static THotZoneFactories factories;
  return factories;
}

TcxRegisteredClasses* registeredHotZoneStyles = nullptr;

struct THotZoneRegistration {
  TClass Class;
  THotZoneFactories::TMaker Maker;
  Integer NameId;
};

const THotZoneRegistration kHotZoneStyles[] = {
    {TcxMediaPlayer8Style::StaticClass(),
     &THotZoneFactories::Make<TcxMediaPlayer8Style>, 65478},
    {TcxMediaPlayer9Style::StaticClass(),
     &THotZoneFactories::Make<TcxMediaPlayer9Style>, 65477},
    {TcxXPTaskBarStyle::StaticClass(),
     &THotZoneFactories::Make<TcxXPTaskBarStyle>, 65479},
    {TcxSimpleStyle::StaticClass(), &THotZoneFactories::Make<TcxSimpleStyle>,
     65480},
};

void SplitterStartup() {
  for (const THotZoneRegistration& r : kHotZoneStyles)
    HotZoneFactories().Register(GetRegisteredHotZoneStyles(), r.Class, r.Maker,
                                r.NameId);
  RegisterEnum<TcxSplitterAlign>(
      "TcxSplitterAlign", {"salBottom", "salLeft", "salRight", "salTop"});
  using S = TcxCustomSplitter;
  TPublished<TcxCustomSplitter>()
      .Property("AlignSplitter", &S::AlignSplitter, &S::SetAlignSplitter,
                salLeft)
      .Property("AllowHotZoneDrag", &S::AllowHotZoneDrag,
                &S::SetAllowHotZoneDrag, true)
      .Property("AutoPosition", &S::AutoPosition, &S::SetAutoPosition, true)
      .Property("AutoSnap", &S::AutoSnap, &S::SetAutoSnap, false)
      .Property("DragThreshold", &S::DragThreshold, &S::SetDragThreshold, 3)
      .Property("InvertDirection", &S::InvertDirection, &S::SetInvertDirection,
                false)
      .Property("MinSize", &S::MinSize, &S::SetMinSize, 30)
      .Property("NativeBackground", &S::NativeBackground,
                &S::SetNativeBackground, true)
      .Property("PositionAfterOpen", &S::PositionAfterOpen,
                &S::SetPositionAfterOpen, 30)
      .Property("ResizeUpdate", &S::ResizeUpdate, &S::SetResizeUpdate, false)
      .Property("Control", &S::Control, &S::SetControl)
      .Property("HotZoneClassName", &S::HotZoneClassName,
                &S::SetHotZoneClassName)
      .Event("OnCanResize", &S::OnCanResize, &S::OnCanResize)
      .Event("OnMoved", &S::OnMoved, &S::OnMoved)
      .Event("OnBeforeOpen", &S::OnBeforeOpen, &S::OnBeforeOpen)
      .Event("OnAfterOpen", &S::OnAfterOpen, &S::OnAfterOpen)
      .Event("OnBeforeClose", &S::OnBeforeClose, &S::OnBeforeClose)
      .Event("OnAfterClose", &S::OnAfterClose, &S::OnAfterClose);
  RegisterClasses({TcxSplitter::StaticClass()});
}

void SplitterShutdown() {
  UnpublishClass(TcxCustomSplitter::StaticClass());
  if (!registeredHotZoneStyles) return;
  for (const THotZoneRegistration& r : kHotZoneStyles)
    registeredHotZoneStyles->Unregister(r.Class);
  TObjectPtr<TcxRegisteredClasses> free(registeredHotZoneStyles);
  registeredHotZoneStyles = nullptr;
}

VARNEL_UNIT(cxSplitter, {}, &SplitterStartup, &SplitterShutdown);

}  // namespace

TcxRegisteredClasses* GetRegisteredHotZoneStyles() {
  if (!registeredHotZoneStyles)
    registeredHotZoneStyles = new TcxRegisteredClasses(false);
  return registeredHotZoneStyles;
}

// ---------------------------------------------------------------------------
// TcxHotZoneStyle
// ---------------------------------------------------------------------------

TcxHotZoneStyle::TcxHotZoneStyle(TcxCustomSplitter* AOwner) : owner_(AOwner) {}

TcxHotZoneStyle::~TcxHotZoneStyle() { owner_ = nullptr; }

void TcxHotZoneStyle::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TcxHotZoneStyle*>(Source)) {
    SetSizePercent(s->SizePercent());
    SetVisible(s->Visible());
    return;
  }
  inherited::Assign(Source);
}

void TcxHotZoneStyle::SetSizePercent(Integer Value) {
  Value = std::max(Value, 1);
  if (sizePercent_ == Value) return;
  sizePercent_ = Value;
  Changed();
}

void TcxHotZoneStyle::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TcxHotZoneStyle::SetColor(TColor& AField, TColor AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TcxHotZoneStyle::Changed() {
  if (owner_) owner_->HotZoneStyleChanged();
}

TcxSplitterDirection TcxHotZoneStyle::SplitterDirection() {
  return owner_ ? owner_->CalculateSplitterDirection() : cxsdLeftToRight;
}

TRect TcxHotZoneStyle::CalculateHotZoneRect(const TRect& ABounds) {
  const Integer width = ABounds.Right - ABounds.Left;
  const Integer height = ABounds.Bottom - ABounds.Top;
  if (IsHorizontal()) {
    const Integer length = sizePercent_ * width / 100;
    const Integer left = width / 2 - length / 2;
    hotZoneRect_ = TRect(left, ABounds.Top, left + length,
                         ABounds.Top + kHotZoneThickness);
  } else {
    const Integer length = sizePercent_ * height / 100;
    const Integer top = height / 2 - length / 2;
    hotZoneRect_ = TRect(ABounds.Left, top, ABounds.Left + kHotZoneThickness,
                         top + length);
  }
  return hotZoneRect_;
}

TRect TcxHotZoneStyle::DrawHotZone(TcxCanvas* ACanvas, const TRect& ARect,
                                   bool AHot, bool APressed) {
  CalculateHotZoneRect(ARect);
  ACanvas->Canvas()->Lock();
  auto unlock = TScopeGuard([&] { ACanvas->Canvas()->Unlock(); });
  if (owner_) ACanvas->Brush()->SetColor(owner_->Color());
  DrawBackground(ACanvas, hotZoneRect_, AHot, APressed);
  DrawMarks(ACanvas, AHot, APressed);
  return hotZoneRect_;
}

void TcxHotZoneStyle::DrawDotRow(TcxCanvas* ACanvas, const TRect& R,
                                 bool AForward, Integer AGap, Integer AOffset,
                                 TColor A, TColor B, bool AReversed) {
  const bool horizontal = IsHorizontal();
  const Integer nearEnd = horizontal ? R.Left : R.Top;
  const Integer farEnd = horizontal ? R.Right : R.Bottom;
  auto dot = [&](Integer along) {
    const Integer x = horizontal ? along : R.Left + AOffset;
    const Integer y = horizontal ? R.Top + AOffset : along;
    const TPoint b = AReversed ? TPoint(x, y) : TPoint(x + 1, y + 1);
    const TPoint a = AReversed ? TPoint(x + 1, y + 1) : TPoint(x, y);
    ACanvas->FillRect(TRect(b.X, b.Y, b.X + 2, b.Y + 2), B);
    ACanvas->FillRect(TRect(a.X, a.Y, a.X + 2, a.Y + 2), A);
  };
  if (AForward) {
    for (Integer p = nearEnd + AGap; p + AGap <= farEnd; p += AGap + 2) dot(p);
  } else {
    for (Integer p = farEnd - 2 * AGap; p >= nearEnd; p -= AGap + 2) dot(p);
  }
}

void TcxHotZoneStyle::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                TColor AColor) {
  const TcxSplitterDirection d = SplitterDirection();
  const bool horizontal = d == cxsdTopToBottom || d == cxsdBottomToTop;
  // Drawn for a left-to-right arrow along x across a centre row y, then
  // mirrored or turned.
  const Integer x0 = horizontal ? R.Top : R.Left;
  const Integer centre =
      horizontal ? (R.Left + R.Right) / 2 : (R.Top + R.Bottom) / 2;
  const bool reverse = d == cxsdRightToLeft || d == cxsdBottomToTop;
  for (Integer i = 0; i < 4; ++i) {
    Integer from = x0 + 6 - i, to = i == 3 ? x0 + 2 : x0 + 4 - i;
    if (reverse) {
      from = x0 + 4 + i;
      to = i == 3 ? x0 + 6 : x0 + 2 + i;
    }
    const Integer lo = std::min(from, to), hi = std::max(from, to) + 1;
    for (const Integer row : {centre - i, centre + i}) {
      const TRect seg = horizontal ? TRect(row, lo, row + 1, hi)
                                   : TRect(lo, row, hi, row + 1);
      ACanvas->FillRect(seg, AColor);
    }
  }
}

// --- XP taskbar ---

void TcxXPTaskBarStyle::Assign(TPersistent* Source) {
  TcxHotZoneStyle::Assign(Source);
  if (auto* s = dynamic_cast<TcxXPTaskBarStyle*>(Source)) {
    SetLightColor(s->LightColor());
    SetShadowColor(s->ShadowColor());
  }
}

TRect TcxXPTaskBarStyle::CalculateHotZoneRect(const TRect& ABounds) {
  const TRect r = TcxHotZoneStyle::CalculateHotZoneRect(ABounds);
  if (IsHorizontal()) {
    rows_[0] = TRect(r.Left, r.Top + 1, r.Right, r.Bottom / 2);
    rows_[1] = TRect(r.Left + 3, r.Bottom / 2 + 1, r.Right, r.Bottom);
  } else {
    rows_[0] = TRect(r.Left + 1, r.Top, r.Right / 2, r.Bottom);
    rows_[1] = TRect(r.Right / 2 + 1, r.Top + 3, r.Right, r.Bottom);
  }
  return r;
}

void TcxXPTaskBarStyle::DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool,
                                       bool) {
  TcxCustomSplitter* splitter = Owner();
  if (splitter && splitter->NativeBackground() &&
      AreVisualStylesAvailable(totWindow))
    cxDrawThemeParentBackground(splitter, ACanvas, R);
  else
    ACanvas->FillRect(R, splitter ? splitter->Color() : clBtnFace);
}

void TcxXPTaskBarStyle::DrawMarks(TcxCanvas* ACanvas, bool, bool APressed) {
  for (const TRect& row : rows_)
    DrawDotRow(ACanvas, row, true, 4, 0, shadowColor_, lightColor_, APressed);
}

// --- Simple ---

void TcxSimpleStyle::Assign(TPersistent* Source) {
  TcxHotZoneStyle::Assign(Source);
  if (auto* s = dynamic_cast<TcxSimpleStyle*>(Source)) {
    SetArrowColor(s->ArrowColor());
    SetArrowHighlightColor(s->ArrowHighlightColor());
    SetLightColor(s->LightColor());
    SetShadowColor(s->ShadowColor());
    SetDotsColor(s->DotsColor());
    SetDotsShadowColor(s->DotsShadowColor());
  }
}

TRect TcxSimpleStyle::CalculateHotZoneRect(const TRect& ABounds) {
  const TRect r = TcxHotZoneStyle::CalculateHotZoneRect(ABounds);
  if (IsHorizontal()) {
    arrows_[0] = TRect(r.Left + 5, r.Top, r.Left + 12, r.Bottom);
    arrows_[1] = TRect(r.Right - 12, r.Top, r.Right - 5, r.Bottom);
  } else {
    arrows_[0] = TRect(r.Left, r.Top + 5, r.Right, r.Top + 12);
    arrows_[1] = TRect(r.Left, r.Bottom - 12, r.Right, r.Bottom - 5);
  }
  return r;
}

void TcxSimpleStyle::DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool,
                                    bool APressed) {
  const TColor color = Owner() ? Owner()->Color() : clBtnFace;
  TCanvas* canvas = ACanvas->Canvas();
  TRect inner =
      DrawBounds(canvas, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1),
                 shadowColor_, shadowColor_);
  ACanvas->FillRect(
      TRect(inner.Left, inner.Top, inner.Right + 1, inner.Bottom + 1), color);
  DrawBounds(canvas, inner, APressed ? color : lightColor_,
             APressed ? lightColor_ : color);
  const bool horizontal = IsHorizontal();
  const Integer length = horizontal ? R.Right - R.Left : R.Bottom - R.Top;
  const Integer count = DotCount(length);
  const TColor first = APressed ? dotsColor_ : dotsShadowColor_;
  const TColor second = APressed ? dotsShadowColor_ : dotsColor_;
  for (Integer i = 0; i < count; ++i) {
    const Integer along = (horizontal ? R.Left : R.Top) + 15 + 3 * i;
    const Integer x = horizontal ? along : (R.Left + R.Right) / 2 - 1;
    const Integer y = horizontal ? (R.Top + R.Bottom) / 2 - 1 : along;
    ACanvas->SetPixel(x, y, first);
    ACanvas->SetPixel(x + 1, y + 1, second);
  }
}

void TcxSimpleStyle::DrawMarks(TcxCanvas* ACanvas, bool AHot, bool APressed) {
  const TColor color = AHot && !APressed ? arrowHighlightColor_ : arrowColor_;
  for (const TRect& r : arrows_) DrawArrow(ACanvas, r, color);
}

// --- Media player 9 ---

void TcxMediaPlayer9Style::Assign(TPersistent* Source) {
  TcxHotZoneStyle::Assign(Source);
  if (auto* s = dynamic_cast<TcxMediaPlayer9Style*>(Source)) {
    SetArrowColor(s->ArrowColor());
    SetArrowHighlightColor(s->ArrowHighlightColor());
    SetLightColor(s->LightColor());
    SetBorderColor(s->BorderColor());
    SetShadowStartColor(s->ShadowStartColor());
    SetShadowHighlightStartColor(s->ShadowHighlightStartColor());
  }
}

TRect TcxMediaPlayer9Style::CalculateHotZoneRect(const TRect& ABounds) {
  const TRect r = TcxHotZoneStyle::CalculateHotZoneRect(ABounds);
  const Integer cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  arrow_ = IsHorizontal() ? TRect(cx - 7, r.Top, cx + 7, r.Top + 7)
                          : TRect(r.Left, cy - 7, r.Left + 7, cy + 7);
  return r;
}

void TcxMediaPlayer9Style::DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                                          bool AHot, bool APressed) {
  TCanvas* canvas = ACanvas->Canvas();
  const bool horizontal = IsHorizontal();
  const TRect band = horizontal
                         ? TRect(R.Left + 1, R.Top, R.Right - 1, R.Bottom)
                         : TRect(R.Left, R.Top + 1, R.Right, R.Bottom - 1);
  ACanvas->FillRect(band, lightColor_);
  DrawBounds(canvas,
             TRect(band.Left, band.Top, band.Right - 1, band.Bottom - 1),
             borderColor_, borderColor_);
  // Rounded ends: the corner pixels take the light colour.
  for (const TPoint& p :
       {TPoint(band.Left, band.Top), TPoint(band.Right - 1, band.Top),
        TPoint(band.Left, band.Bottom - 1),
        TPoint(band.Right - 1, band.Bottom - 1)})
    ACanvas->SetPixel(p.X, p.Y, Owner() ? Owner()->Color() : clBtnFace);
  const TColor start = AHot ? shadowHighlightStartColor_ : shadowStartColor_;
  const Integer deltas[3] = {APressed ? -60 : 0, -30, APressed ? 0 : -60};
  const Integer first = APressed ? 1 : 4;
  for (Integer i = 0; i < 3; ++i) {
    const TColor c = IncColor(start, deltas[i], deltas[i], deltas[i]);
    if (horizontal) {
      const Integer y = band.Top + first + i;
      if (y < band.Bottom - 1)
        DrawCanvasLine(canvas, c, TPoint(band.Left + 1, y),
                       TPoint(band.Right - 2, y));
    } else {
      const Integer x = band.Left + first + i;
      if (x < band.Right - 1)
        DrawCanvasLine(canvas, c, TPoint(x, band.Top + 1),
                       TPoint(x, band.Bottom - 2));
    }
  }
  const TColor color = Owner() ? Owner()->Color() : clBtnFace;
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetColor(color);
}

void TcxMediaPlayer9Style::DrawMarks(TcxCanvas* ACanvas, bool AHot,
                                     bool APressed) {
  DrawArrow(ACanvas, arrow_,
            AHot && !APressed ? arrowHighlightColor_ : arrowColor_);
}

// --- Media player 8 ---

void TcxMediaPlayer8Style::Assign(TPersistent* Source) {
  TcxHotZoneStyle::Assign(Source);
  if (auto* s = dynamic_cast<TcxMediaPlayer8Style*>(Source)) {
    SetArrowColor(s->ArrowColor());
    SetArrowHighlightColor(s->ArrowHighlightColor());
    SetLightColor(s->LightColor());
    SetShadowColor(s->ShadowColor());
  }
}

TRect TcxMediaPlayer8Style::CalculateHotZoneRect(const TRect& ABounds) {
  const TRect r = TcxHotZoneStyle::CalculateHotZoneRect(ABounds);
  if (IsHorizontal()) {
    const Integer d = (r.Right - r.Left - 27) / 2;
    grips_[0] = TRect(r.Left + 4, r.Top, r.Left + 4 + d, r.Bottom);
    grips_[1] = TRect(r.Right - 4 - d, r.Top, r.Right - 4, r.Bottom);
    button_ = TRect(r.Left + d + 4, r.Top, r.Left + d + 23, r.Bottom);
  } else {
    const Integer d = (r.Bottom - r.Top - 27) / 2;
    grips_[0] = TRect(r.Left, r.Top + 4, r.Right, r.Top + 4 + d);
    grips_[1] = TRect(r.Left, r.Bottom - 4 - d, r.Right, r.Bottom - 4);
    button_ = TRect(r.Left, r.Top + d + 4, r.Right, r.Top + d + 23);
  }
  return r;
}

void TcxMediaPlayer8Style::DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                                          bool, bool APressed) {
  const TColor color = Owner() ? Owner()->Color() : clBtnFace;
  TCanvas* canvas = ACanvas->Canvas();
  ACanvas->FillRect(R, color);
  const TRect inner =
      DrawBounds(canvas, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1),
                 shadowColor_, shadowColor_);
  if (IsHorizontal())
    DrawCanvasLine(canvas, lightColor_,
                   TPoint(inner.Left, APressed ? inner.Bottom : inner.Top),
                   TPoint(inner.Right, APressed ? inner.Bottom : inner.Top));
  else
    DrawCanvasLine(canvas, lightColor_,
                   TPoint(APressed ? inner.Right : inner.Left, inner.Top),
                   TPoint(APressed ? inner.Right : inner.Left, inner.Bottom));
}

void TcxMediaPlayer8Style::DrawMarks(TcxCanvas* ACanvas, bool AHot,
                                     bool APressed) {
  DrawDotRow(ACanvas, grips_[0], false, 3, 3, shadowColor_, lightColor_,
             !APressed);
  DrawDotRow(ACanvas, grips_[1], true, 3, 3, shadowColor_, lightColor_,
             !APressed);
  const TColor color = Owner() ? Owner()->Color() : clBtnFace;
  ACanvas->FillRect(button_, color);
  DrawBounds(
      ACanvas->Canvas(),
      TRect(button_.Left, button_.Top, button_.Right - 1, button_.Bottom - 1),
      APressed ? shadowColor_ : lightColor_,
      APressed ? lightColor_ : shadowColor_);
  DrawArrow(ACanvas, button_,
            AHot && !APressed ? arrowHighlightColor_ : arrowColor_);
}

// ---------------------------------------------------------------------------
// TcxCustomSplitter
// ---------------------------------------------------------------------------

TcxCustomSplitter::TcxCustomSplitter(TComponent* AOwner)
    : TcxControl(AOwner), buffer_(new TBitmap) {
  controlStyle_.Exclude(csSetCaption);
  SetBorderStyle(cxcbsNone);
  SetAlign(alNone);
  SetAlignSplitter(salLeft);
  SetWidth(8);
  SetTabStop(false);
  SetColor(clWindow);
  SetParentColor(true);
  bufferCanvas_ = std::make_unique<TcxCanvas>(buffer_->Canvas());
}

TcxCustomSplitter::~TcxCustomSplitter() {
  StopSizing();
  SetControl(nullptr);
  hotZone_.reset();
  bufferCanvas_.reset();
}

void TcxCustomSplitter::SetAlignSplitter(TcxSplitterAlign Value) {
  alignSplitter_ = Value;
  static constexpr TAlign kAligns[] = {alBottom, alLeft, alRight, alTop};
  SetAlign(kAligns[Value]);
  if (hotZone_) NormalizeSplitterSize();
  Invalidate();
}

void TcxCustomSplitter::SetAllowHotZoneDrag(bool Value) {
  StopSizing();
  allowHotZoneDrag_ = Value;
}

void TcxCustomSplitter::SetInvertDirection(bool Value) {
  StopSizing();
  invertDirection_ = Value;
  Invalidate();
}

void TcxCustomSplitter::SetNativeBackground(bool Value) {
  nativeBackground_ = Value;
  Invalidate();
}

void TcxCustomSplitter::SetControl(TControl* Value) {
  if (control_ == Value) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = Value;
  if (control_) control_->FreeNotification(this);
}

void TcxCustomSplitter::Notification(TComponent* AComponent,
                                     TOperation Operation) {
  TcxControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == control_) control_ = nullptr;
}

void TcxCustomSplitter::Loaded() {
  TcxControl::Loaded();
  if (!control_) SetControl(FindControl());
  SetAlignSplitter(alignSplitter_);
}

void TcxCustomSplitter::LookAndFeelChanged(TcxLookAndFeel* Sender,
                                           TcxLookAndFeelValues AChanged) {
  TcxControl::LookAndFeelChanged(Sender, AChanged);
  NormalizeSplitterSize();
  Invalidate();
}

String TcxCustomSplitter::HotZoneClassName() const {
  return hotZone_ ? hotZone_->ClassName() : String();
}

void TcxCustomSplitter::SetHotZoneClassName(const String& Value) {
  SetHotZoneStyleClass(GetRegisteredHotZoneStyles()->FindByClassName(Value));
}

void TcxCustomSplitter::SetHotZoneStyleClass(TClass Value) {
  if ((hotZone_ ? hotZone_->ClassType() : nullptr) == Value) return;
  TcxHotZoneStyle saved(nullptr);
  if (hotZone_) saved.Assign(hotZone_.get());
  hotZone_.reset();
  hotZone_.reset(HotZoneFactories().Create(Value, this));
  if (hotZone_) hotZone_->Assign(&saved);
  Invalidate();
  NormalizeSplitterSize();
}

void TcxCustomSplitter::SetHotZone(TcxHotZoneStyle* Value) {
  if (hotZone_.get() == Value) return;
  hotZone_.reset(Value);
  NormalizeSplitterSize();
  Invalidate();
}

void TcxCustomSplitter::NormalizeSplitterSize() {
  TSizeConstraints* c = Constraints();
  const bool vertical = alignSplitter_ == salLeft || alignSplitter_ == salRight;
  if (!hotZone_ && !LookAndFeel()->SkinPainter()) {
    c->SetMinWidth(0);
    c->SetMaxWidth(0);
    c->SetMinHeight(0);
    c->SetMaxHeight(0);
    return;
  }
  const Integer lo = GetSplitterMinSize(), hi = GetSplitterMaxSize();
  if (vertical) {
    c->SetMinHeight(0);
    c->SetMaxHeight(0);
    c->SetMinWidth(lo);
    c->SetMaxWidth(hi);
    SetWidth(lo);
  } else {
    c->SetMinWidth(0);
    c->SetMaxWidth(0);
    c->SetMinHeight(lo);
    c->SetMaxHeight(hi);
    SetHeight(lo);
  }
}

void TcxCustomSplitter::SetSplitterState(TcxSplitterState Value) {
  if (!control_) {
    state_ = Value;
    return;
  }
  // Opening and closing set the state themselves, so that a handler that
  // vetoes the change leaves it describing the control's real size.
  if (Value == ssOpened)
    OpenSplitter();
  else
    CloseSplitter();
}

TcxSplitterDirection TcxCustomSplitter::CalculateSplitterDirection() {
  const bool o = (state_ == ssOpened) != invertDirection_;
  switch (alignSplitter_) {
    case salLeft:
      return o ? cxsdRightToLeft : cxsdLeftToRight;
    case salRight:
      return o ? cxsdLeftToRight : cxsdRightToLeft;
    case salTop:
      return o ? cxsdBottomToTop : cxsdTopToBottom;
    case salBottom:
      break;
  }
  return o ? cxsdTopToBottom : cxsdBottomToTop;
}

Integer TcxCustomSplitter::GetSplitterMinSize() {
  return hotZone_ ? hotZone_->GetMinSize() : 8;
}

Integer TcxCustomSplitter::GetSplitterMaxSize() {
  return hotZone_ ? hotZone_->GetMaxSize() : 8;
}

bool TcxCustomSplitter::IsPointInHotZone(Integer X, Integer Y) {
  const TRect client = ClientRect();
  if (LookAndFeel()->SkinPainter()) return IsPointInSplitter(X, Y);
  if (!hotZone_) return false;
  const TRect r = hotZone_->CalculateHotZoneRect(client);
  return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

bool TcxCustomSplitter::IsPointInSplitter(Integer X, Integer Y) {
  const TRect r = ClientRect();
  return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

void TcxCustomSplitter::UpdateMouseStates(Integer X, Integer Y) {
  if (IsPointInHotZone(X, Y))
    mouseStates_.Include(smsInHotZone);
  else
    mouseStates_.Exclude(smsInHotZone);
}

Integer TcxCustomSplitter::InternalGetMinSize() {
  Integer own = 0;
  if (control_) {
    own = alignSplitter_ == salTop || alignSplitter_ == salBottom
              ? control_->Constraints()->MinHeight()
              : control_->Constraints()->MinWidth();
  }
  return std::max(minSize_, own);
}

TControl* TcxCustomSplitter::FindControl() {
  TWinControl* parent = Parent();
  if (!parent) return nullptr;
  TPoint p(Left(), Top());
  switch (Align()) {
    case alTop:
      p.Y -= 1;
      break;
    case alBottom:
      p.Y = Top() + Height();
      break;
    case alLeft:
      p.X -= 1;
      break;
    case alRight:
      p.X = Left() + Width();
      break;
    default:
      return nullptr;
  }
  for (Integer i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    if (r.Right - r.Left == 0) {
      if (Align() == alRight)
        r.Left -= 1;
      else
        r.Right += 1;
    }
    if (r.Bottom - r.Top == 0) {
      if (Align() == alBottom)
        r.Top -= 1;
      else
        r.Bottom += 1;
    }
    if (PtInRect(r, p)) return c;
  }
  for (Integer i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || c->Align() != Align()) continue;
    switch (Align()) {
      case alTop:
        if (c->Height() == 0 && c->Top() == Height()) return c;
        break;
      case alBottom:
        if (c->Height() == 0 && c->Top() == Top()) return c;
        break;
      case alLeft:
        if (c->Width() == 0 && c->Left() == Width()) return c;
        break;
      case alRight:
        if (c->Width() == 0 && c->Left() == Left()) return c;
        break;
      default:
        break;
    }
  }
  return nullptr;
}

// --- Dragging ---

void TcxCustomSplitter::InitResize(Integer X, Integer Y) {
  TWinControl* parent = Parent();
  Integer room = 0;
  switch (alignSplitter_) {
    case salTop:
      room = parent->ClientHeight() - Height() - control_->Top();
      break;
    case salBottom:
      room = control_->Top() + control_->Height() - Height();
      break;
    case salLeft:
      room = parent->ClientWidth() - Width() - control_->Left();
      break;
    case salRight:
      room = control_->Left() + control_->Width() - Width();
      break;
  }
  // Signed: a parent too small for the minimum leaves the control at its
  // minimum instead of wrapping to a huge maximum.
  dragMax_ = std::max(room - minSize_, InternalGetMinSize());
  const Integer constraint =
      alignSplitter_ == salTop || alignSplitter_ == salBottom
          ? control_->Constraints()->MaxHeight()
          : control_->Constraints()->MaxWidth();
  if (constraint > 0 && constraint < dragMax_) dragMax_ = constraint;
  UpdateSize(X, Y);
  screenDC_ = ::GetDC(nullptr);
  if (TCustomForm* form = GetParentForm(this)) {
    if (TWinControl* active = form->ActiveControl()) {
      hookedControl_ = active;
      savedKeyDown_ = active->OnKeyDown;
      active->OnKeyDown = TKeyEvent(this, &TcxCustomSplitter::FocusKeyDown);
    }
  }
  if (!resizeUpdate_) DrawSplitLine(true, 0, true);
}

void TcxCustomSplitter::CalcSplitSize(Integer X, Integer Y, bool AClamp,
                                      Integer& AOffset, Integer& ASize) {
  const bool vertical = alignSplitter_ == salLeft || alignSplitter_ == salRight;
  AOffset = vertical ? X - pressPoint_.X : Y - pressPoint_.Y;
  switch (alignSplitter_) {
    case salTop:
      ASize = control_->Height() + AOffset;
      break;
    case salBottom:
      ASize = control_->Height() - AOffset;
      break;
    case salLeft:
      ASize = control_->Width() + AOffset;
      break;
    case salRight:
      ASize = control_->Width() - AOffset;
      break;
  }
  if (!AClamp) return;
  const Integer unclamped = ASize;
  if (ASize >= InternalGetMinSize())
    ASize = std::min(ASize, dragMax_);
  else
    ASize = autoSnap_ ? 0 : InternalGetMinSize();
  const Integer change = ASize - unclamped;
  const bool grows = alignSplitter_ == salTop || alignSplitter_ == salLeft;
  AOffset += grows ? change : -change;
}

void TcxCustomSplitter::UpdateSize(Integer X, Integer Y) {
  CalcSplitSize(X, Y, true, splitOffset_, newSize_);
}

TRect TcxCustomSplitter::SplitLineRect(Integer AOffset) {
  TRect r = BoundsRect();
  TPoint topLeft(r.Left, r.Top);
  if (Parent()) {
    POINT p{r.Left, r.Top};
    ::ClientToScreen(Parent()->Handle(), &p);
    topLeft = TPoint(p.x, p.y);
  }
  r = TRect(topLeft.X, topLeft.Y, topLeft.X + Width(), topLeft.Y + Height());
  const bool vertical = alignSplitter_ == salLeft || alignSplitter_ == salRight;
  if (vertical) {
    r.Left += AOffset + 1;
    r.Right += AOffset + 1;
  } else {
    r.Top += AOffset + 1;
    r.Bottom += AOffset + 1;
  }
  return r;
}

void TcxCustomSplitter::DrawSplitLine(bool AFull, Integer ADelta,
                                      bool AForward) {
  if (!screenDC_) return;
  TRect r = SplitLineRect(splitOffset_);
  if (!AFull && ADelta != 0) {
    // Only the strip not covered by the line moved by the delta.
    const Integer d = AForward ? ADelta : -ADelta;
    const bool vertical =
        alignSplitter_ == salLeft || alignSplitter_ == salRight;
    if (vertical) {
      if (d > 0)
        r.Right = std::min(r.Right, r.Left + d);
      else
        r.Left = std::max(r.Left, r.Right + d);
    } else {
      if (d > 0)
        r.Bottom = std::min(r.Bottom, r.Top + d);
      else
        r.Top = std::max(r.Top, r.Bottom + d);
    }
  }
  HGDIOBJ old = ::SelectObject(screenDC_, cxHalfToneBrush()->Handle());
  ::PatBlt(screenDC_, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
           PATINVERT);
  ::SelectObject(screenDC_, old);
  splitLineShown_ = !splitLineShown_;
}

bool TcxCustomSplitter::CanResize(Integer& NewSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, accept);
  return accept;
}

bool TcxCustomSplitter::DoCanResize(Integer& NewSize) {
  const bool accept = CanResize(NewSize);
  if (accept && autoSnap_ && NewSize < InternalGetMinSize()) NewSize = 0;
  return accept;
}

void TcxCustomSplitter::ReleaseHook() {
  if (!hookedControl_) return;
  hookedControl_->OnKeyDown = savedKeyDown_;
  hookedControl_ = nullptr;
  savedKeyDown_ = nullptr;
}

void TcxCustomSplitter::StopSizing() {
  if (splitLineShown_) DrawSplitLine(true, 0, true);
  splitLineShown_ = false;
  if (screenDC_) ::ReleaseDC(nullptr, screenDC_);
  screenDC_ = nullptr;
  ReleaseHook();
  dragState_ = sstNormal;
}

void TcxCustomSplitter::FocusKeyDown(TObject* Sender, Word& Key,
                                     TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    CancelDrag();
    Key = 0;
    return;
  }
  if (savedKeyDown_) savedKeyDown_(Sender, Key, Shift);
}

void TcxCustomSplitter::CancelDrag() {
  StopSizing();
  SetShowHint(savedShowHint_);
  SetParentShowHint(savedParentShowHint_);
  dragOrigin_ = TPoint(-1, -1);
  mouseStates_ = {};
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  Invalidate();
}

void TcxCustomSplitter::MouseDown(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !control_) return;
  pressPoint_ = TPoint(X, Y);
  savedShowHint_ = ShowHint();
  savedParentShowHint_ = ParentShowHint();
  SetShowHint(false);
  mouseStates_.Include(smsClicked);
  UpdateMouseStates(X, Y);
  if (mouseStates_.Contains(smsInHotZone)) {
    dragState_ = sstHotZoneClick;
    dragOrigin_ = TPoint(X, Y);
    Invalidate();
  } else {
    dragState_ = sstResizing;
    InitResize(X, Y);
  }
}

void TcxCustomSplitter::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  const TcxSplitterMouseStates before = mouseStates_;
  UpdateMouseStates(X, Y);
  if (Shift.Contains(ssLeft) && control_ && dragState_ != sstNormal) {
    Integer offset = 0, size = 0;
    CalcSplitSize(X, Y, true, offset, size);
    if (dragState_ == sstResizing) {
      if (DoCanResize(size)) {
        if (!resizeUpdate_) DrawSplitLine(true, 0, true);
        newSize_ = size;
        splitOffset_ = offset;
        if (resizeUpdate_) {
          if (newSize_ > 0) lastOpenSize_ = newSize_;
          UpdateControlSize();
        } else {
          DrawSplitLine(true, 0, true);
        }
      }
    } else if (dragState_ == sstHotZoneClick) {
      if (allowHotZoneDrag_) {
        if ((std::abs(X - dragOrigin_.X) >= dragThreshold_ ||
             std::abs(Y - dragOrigin_.Y) >= dragThreshold_) &&
            DoCanResize(size)) {
          dragState_ = sstResizing;
          InitResize(X, Y);
        }
      } else if (!(before == mouseStates_)) {
        Invalidate();
      }
    }
    return;
  }
  if (!Shift.Contains(ssLeft) && !Shift.Contains(ssRight)) {
    if (!(before == mouseStates_)) Invalidate();
    TCursor cursor = Cursor();
    if (mouseStates_.Contains(smsInHotZone))
      cursor = crDefault;
    else if (cursor == crDefault)
      cursor = alignSplitter_ == salTop || alignSplitter_ == salBottom
                   ? crVSplit
                   : crHSplit;
    ::SetCursor(Screen->Cursors(cursor));
  }
}

void TcxCustomSplitter::MouseUp(TMouseButton Button, TShiftState Shift,
                                Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  InternalMouseUp(Button, Shift, X, Y);
}

void TcxCustomSplitter::InternalMouseUp(TMouseButton Button, TShiftState,
                                        Integer X, Integer Y) {
  if (Button != mbLeft || !control_ || !mouseStates_.Contains(smsClicked))
    return;
  SetShowHint(savedShowHint_);
  SetParentShowHint(savedParentShowHint_);
  dragOrigin_ = TPoint(-1, -1);
  UpdateMouseStates(X, Y);
  if (dragState_ == sstHotZoneClick && mouseStates_.Contains(smsInHotZone)) {
    if (state_ == ssOpened)
      CloseSplitter();
    else
      OpenSplitter();
  } else if (dragState_ != sstHotZoneClick) {
    StopSizing();
    Integer offset = 0, size = 0;
    CalcSplitSize(X, Y, false, offset, size);
    // A size the handler refuses is not applied on release either: the
    // control gets the last size it accepted.
    if (size != newSize_ && !DoCanResize(size)) size = newSize_;
    const Integer unclamped = size;
    bool closed = false;
    if (size < minSize_) {
      if (state_ == ssOpened && !autoSnap_) {
        size = minSize_;
      } else if (state_ == ssOpened) {
        CloseSplitter();
        closed = true;
      } else if (size < 0) {
        size = 0;
      }
    }
    if (!closed) {
      newSize_ = std::min(size, std::max(dragMax_, minSize_));
      UpdateControlSize();
      state_ = newSize_ <= 0 ? ssClosed : ssOpened;
      if (unclamped >= 0 && newSize_ > 0) lastOpenSize_ = newSize_;
    }
  }
  StopSizing();
  mouseStates_ = {};
  dragState_ = sstNormal;
  Invalidate();
}

void TcxCustomSplitter::UpdateControlSize() {
  if (newSize_ == appliedSize_ || !control_) return;
  Application->ProcessMessages();
  TWinControl* parent = Parent();
  if (parent) parent->DisableAlign();
  {
    auto enable = TScopeGuard([parent] {
      if (parent) parent->EnableAlign();
    });
    switch (alignSplitter_) {
      case salTop:
        control_->SetHeight(newSize_);
        break;
      case salBottom:
        control_->SetBounds(control_->Left(),
                            control_->Top() + control_->Height() - newSize_,
                            control_->Width(), newSize_);
        break;
      case salLeft:
        control_->SetWidth(newSize_);
        break;
      case salRight:
        control_->SetBounds(control_->Left() + control_->Width() - newSize_,
                            control_->Top(), newSize_, control_->Height());
        break;
    }
  }
  if (appliedSize_ <= 0) {
    switch (alignSplitter_) {
      case salTop:
        SetTop(control_->Top() + control_->Height());
        break;
      case salBottom:
        SetTop(control_->Top() + control_->Height() - Height());
        break;
      case salLeft:
        SetLeft(control_->Left() + control_->Width());
        break;
      case salRight:
        SetLeft(control_->Left() + control_->Width() - Width());
        break;
    }
  }
  appliedSize_ = newSize_;
  Application->ProcessMessages();
  DoEventMoved();
}

void TcxCustomSplitter::OpenSplitter() {
  if (state_ != ssClosed || !control_) return;
  Integer size = std::max(autoPosition_ ? lastOpenSize_ : positionAfterOpen_,
                          InternalGetMinSize());
  bool allow = true;
  if (OnBeforeOpen) OnBeforeOpen(this, size, allow);
  if (!allow) return;
  state_ = ssOpened;
  newSize_ = size;
  UpdateControlSize();
  if (OnAfterOpen) OnAfterOpen(this);
  Invalidate();
}

void TcxCustomSplitter::CloseSplitter() {
  if (state_ != ssOpened || !control_) return;
  bool allow = true;
  if (OnBeforeClose) OnBeforeClose(this, allow);
  if (!allow) return;
  state_ = ssClosed;
  newSize_ = 0;
  lastOpenSize_ = alignSplitter_ == salLeft || alignSplitter_ == salRight
                      ? control_->Width()
                      : control_->Height();
  UpdateControlSize();
  if (OnAfterClose) OnAfterClose(this);
  Invalidate();
}

void TcxCustomSplitter::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSELEAVE:
      TcxControl::Dispatch(Message);
      if (mouseStates_.Contains(smsInHotZone)) Invalidate();
      mouseStates_.Exclude(smsInHotZone);
      return;
    case WM_SETCURSOR:
      // MouseMove sets the cursor.
      Message.Result = 1;
      return;
    default:
      TcxControl::Dispatch(Message);
  }
}

void TcxCustomSplitter::Paint() {
  const TRect client = ClientRect();
  buffer_->SetWidth(client.Right);
  buffer_->SetHeight(client.Bottom);
  bufferCanvas_->Brush()->SetColor(Color());
  if (nativeBackground_ && AreVisualStylesAvailable(totWindow)) {
    cxDrawThemeParentBackground(this, Canvas(), client);
    bufferCanvas_->CopyRect(client, Canvas()->Canvas(), client);
  } else {
    bufferCanvas_->FillRect(client, Color());
  }
  if (hotZone_ && hotZone_->Visible()) {
    const bool hot = mouseStates_.Contains(smsInHotZone);
    hotZone_->DrawHotZone(bufferCanvas_.get(), client, hot,
                          hot && mouseStates_.Contains(smsClicked));
  }
  Canvas()->CopyRect(client, buffer_->Canvas(), client);
}
