#include "cxLabel.h"

#include <cmath>
#include <cstdlib>

#include "Handles.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxControls.h"
#include "cxEditUtils.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"

namespace {

Integer Sign(Integer V) { return V > 0 ? 1 : V < 0 ? -1 : 0; }

Integer Blend(Integer AFrom, Integer ATo, Integer AStep, Integer ACount) {
  return AStep * (ATo - AFrom) / ACount + AFrom;
}

TColor BlendColor(TColor ABackground, TColor AShadow, Integer AStep,
                  Integer ACount) {
  const Integer b = ColorToRGB(ABackground);
  const Integer s = ColorToRGB(AShadow);
  auto channel = [&](Integer shift) {
    return Blend((b >> shift) & 0xFF, (s >> shift) & 0xFF, AStep, ACount) &
           0xFF;
  };
  return TColor(channel(0) | channel(8) << 8 | channel(16) << 16);
}

bool IsRight(TcxLabelOrientation O) {
  return O == cxoRight || O == cxoRightTop || O == cxoRightBottom;
}

bool IsBottom(TcxLabelOrientation O) {
  return O == cxoBottom || O == cxoLeftBottom || O == cxoRightBottom;
}

}  // namespace

// ---------------------------------------------------------------------------
// The label's look
// ---------------------------------------------------------------------------

TPoint cxLabelDepthDelta(TcxLabelEffect AEffect,
                         TcxLabelOrientation AOrientation, Integer ADepth) {
  if (AEffect == cxleNormal) return TPoint{0, 0};
  switch (AOrientation) {
    case cxoLeft:
    case cxoRight:
      return TPoint{ADepth, 0};
    case cxoTop:
    case cxoBottom:
      return TPoint{0, ADepth};
    default:
      return TPoint{ADepth, ADepth};
  }
}

Integer cxLabelStyleOffset(TcxLabelStyle AStyle, Integer AFontSize) {
  if (AStyle != cxlsRaised && AStyle != cxlsLowered) return 0;
  return AFontSize < 12 ? 1 : 2;
}

std::vector<TcxLabelTextCopy> cxLabelTextCopies(const TcxLabelLook& ALook) {
  std::vector<TcxLabelTextCopy> copies;
  const Integer styleOffset = cxLabelStyleOffset(ALook.Style, ALook.FontSize);
  TPoint point{0, 0};
  TPoint step{0, 0};
  if (ALook.Effect != cxleNormal && ALook.Depth != 0) {
    step = cxLabelDepthDelta(ALook.Effect, ALook.Orientation, ALook.Depth);
    if (IsRight(ALook.Orientation)) {
      point.X += styleOffset + step.X;
      step.X = -step.X;
    }
    if (IsBottom(ALook.Orientation)) {
      point.Y += styleOffset + step.Y;
      step.Y = -step.Y;
    }
    if (ALook.Effect != cxleCool) step = TPoint{Sign(step.X), Sign(step.Y)};
    const Integer unit = step.X != 0 ? std::abs(step.X) : std::abs(step.Y);
    const Integer count = unit ? ALook.Depth / unit : 0;
    for (Integer i = 1; i <= count; ++i) {
      const TColor color =
          ALook.Effect == cxleFun
              ? BlendColor(ALook.BackgroundColor, ALook.ShadowedColor, i, count)
              : ALook.ShadowedColor;
      copies.push_back({point, color});
      point = TPoint{point.X + step.X, point.Y + step.Y};
    }
    if (step.X < 0) point.X -= styleOffset;
    if (step.Y < 0) point.Y -= styleOffset;
  }
  const bool big = ALook.FontSize >= 12;
  const TPoint inner{point.X + 1, point.Y + 1};
  const TPoint outer{point.X + 2, point.Y + 2};
  switch (ALook.Style) {
    case cxlsRaised:
      copies.push_back({point, clBtnHighlight});
      if (big) copies.push_back({outer, clBtnShadow});
      copies.push_back({inner, ALook.TextColor, true});
      break;
    case cxlsLowered:
      if (big) copies.push_back({point, clBtnShadow});
      copies.push_back({outer, clBtnHighlight});
      copies.push_back({inner, ALook.TextColor, true});
      break;
    case cxlsOutLine:
      copies.push_back({point, ALook.TextColor, true, ALook.Rotatable});
      break;
    case cxlsNormal:
      copies.push_back({point, ALook.TextColor, true});
      break;
  }
  return copies;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomLabelProperties::TcxCustomLabelProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner) {}

TcxCustomLabelProperties::~TcxCustomLabelProperties() = default;

void TcxCustomLabelProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomLabelProperties*>(Source);
  if (!source) {
    TcxCustomEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomEditProperties::Assign(Source);
  SetAngle(source->Angle());
  SetDepth(source->Depth());
  SetGlyph(source->HasGlyph() ? source->Glyph() : nullptr);
  SetLabelEffect(source->LabelEffect());
  SetLabelStyle(source->LabelStyle());
  SetOrientation(source->Orientation());
  SetPenWidth(source->PenWidth());
  SetShadowedColor(source->ShadowedColor());
  SetShowAccelChar(source->ShowAccelChar());
  SetShowEndEllipsis(source->ShowEndEllipsis());
  SetWordWrap(source->WordWrap());
}

void TcxCustomLabelProperties::SetAngle(Integer Value) { Store(angle_, Value); }
void TcxCustomLabelProperties::SetDepth(Word Value) { Store(depth_, Value); }
void TcxCustomLabelProperties::SetLabelEffect(TcxLabelEffect Value) {
  Store(effect_, Value);
}
void TcxCustomLabelProperties::SetLabelStyle(TcxLabelStyle Value) {
  Store(style_, Value);
}
void TcxCustomLabelProperties::SetOrientation(TcxLabelOrientation Value) {
  Store(orientation_, Value);
}
void TcxCustomLabelProperties::SetPenWidth(Integer Value) {
  Store(penWidth_, Value);
}
void TcxCustomLabelProperties::SetShadowedColor(TColor Value) {
  Store(shadowedColor_, Value);
}
void TcxCustomLabelProperties::SetShowAccelChar(bool Value) {
  Store(showAccelChar_, Value);
}
void TcxCustomLabelProperties::SetShowEndEllipsis(bool Value) {
  Store(showEndEllipsis_, Value);
}
void TcxCustomLabelProperties::SetWordWrap(bool Value) {
  Store(wordWrap_, Value);
}

void TcxCustomLabelProperties::CalculateDepthDelta(TPoint& ADelta) {
  ADelta = cxLabelDepthDelta(effect_, orientation_, depth_);
}

TcxEditSupportedOperations TcxCustomLabelProperties::GetSupportedOperations() {
  return {esoAutoHeight, esoFiltering, esoShowingCaption, esoSorting,
          esoTransparency};
}

WideString TcxCustomLabelProperties::GetDisplayText(const Variant& AEditValue,
                                                    bool, bool) {
  return Platform::AnsiToWide(VarToStr(AEditValue));
}

void TcxCustomLabelProperties::PrepareDisplayValue(const Variant& AEditValue,
                                                   Variant& ADisplayValue,
                                                   bool) {
  ADisplayValue = Variant(VarToStr(AEditValue));
}

TcxCustomEditClass TcxCustomLabelProperties::GetContainerClass() {
  return cxEditClass<TcxLabel>();
}

// ---------------------------------------------------------------------------
// TcxCustomLabel
// ---------------------------------------------------------------------------

TcxCustomLabel::TcxCustomLabel(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace) {
  CreateProperties();
  controlStyle_.Exclude(csCaptureMouse);
  SetBounds(Left(), Top(), 121, 21);
  SetTabStop(false);
}

TcxCustomLabel::~TcxCustomLabel() { SetFocusControl(nullptr); }

void TcxCustomLabel::SetFocusControl(TWinControl* Value) {
  if (Value == this || focusControl_ == Value) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = Value;
  if (focusControl_) focusControl_->FreeNotification(this);
}

void TcxCustomLabel::Notification(TComponent* AComponent,
                                  TOperation Operation) {
  TcxCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) {
    focusControl_ = nullptr;
  }
}

void TcxCustomLabel::InternalSetEditValue(const Variant& Value,
                                          bool AValidateEditValue) {
  TcxCustomEdit::InternalSetEditValue(Value, AValidateEditValue);
  if (!settingCaption_) {
    TRestoreOnExit<bool> restore(settingCaption_, true);
    SetCaption(VarToStr(Value));
  }
  Invalidate();
}

void TcxCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      TcxCustomEdit::Dispatch(Message);
      if (!settingCaption_) {
        TRestoreOnExit<bool> restore(settingCaption_, true);
        SetInternalEditValue(Variant(Caption()));
      }
      // A new text asks for a new size.
      ShortRefreshContainer(false);
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (focusControl_ && Enabled() &&
          ActiveLabelProperties()->ShowAccelChar() &&
          cxIsAccel(static_cast<char>(Message.WParam), Caption())) {
        if (focusControl_->CanFocus()) focusControl_->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TcxCustomEdit::Dispatch(Message);
}

void TcxCustomLabel::Paint() {
  TcxCanvas* canvas = Canvas();
  TcxCustomLabelViewInfo* info = LabelViewInfo();
  auto data = CreateViewData();
  data->Calculate(canvas, TRect{0, 0, Width(), Height()}, TPoint{-1, -1},
                  cxmbNone, {}, info, false);
  data->EditValueToDrawValue(canvas, EditValue(), info);
  SetViewInfoCalculated();
  info->Paint(canvas);
}

void TcxCustomLabel::PropertiesChanged(TObject* Sender) {
  TcxCustomEdit::PropertiesChanged(Sender);
  Invalidate();
}

namespace {

void LabelStartup() {
  RegisterEnum<TcxLabelEffect>(
      "TcxLabelEffect", {"cxleNormal", "cxleFun", "cxleExtrude", "cxleCool"});
  RegisterEnum<TcxLabelStyle>("TcxLabelStyle", {"cxlsNormal", "cxlsRaised",
                                                "cxlsLowered", "cxlsOutLine"});
  RegisterEnum<TcxLabelOrientation>(
      "TcxLabelOrientation",
      {"cxoLeft", "cxoRight", "cxoTop", "cxoBottom", "cxoLeftTop",
       "cxoLeftBottom", "cxoRightTop", "cxoRightBottom"});
  using P = TcxCustomLabelProperties;
  TPublished<TcxCustomLabelProperties>()
      .Property("Angle", &P::Angle, &P::SetAngle, 0)
      .Property("Depth", &P::Depth, &P::SetDepth, Word(0))
      .Property("LabelEffect", &P::LabelEffect, &P::SetLabelEffect, cxleNormal)
      .Property("LabelStyle", &P::LabelStyle, &P::SetLabelStyle, cxlsNormal)
      .Property("Orientation", &P::Orientation, &P::SetOrientation,
                cxoRightBottom)
      .Property("PenWidth", &P::PenWidth, &P::SetPenWidth, 1)
      .Property("ShadowedColor", &P::ShadowedColor, &P::SetShadowedColor,
                clGrayText)
      .Property("ShowAccelChar", &P::ShowAccelChar, &P::SetShowAccelChar, true)
      .Property("ShowEndEllipsis", &P::ShowEndEllipsis, &P::SetShowEndEllipsis,
                false)
      .Property("WordWrap", &P::WordWrap, &P::SetWordWrap, false);
  using L = TcxCustomLabel;
  TPublished<TcxCustomLabel>()
      .Property("AutoSize", &TcxCustomEdit::AutoSize,
                &TcxCustomEdit::SetEditAutoSize, true)
      .Property("FocusControl", &L::FocusControl, &L::SetFocusControl);
  RegisterClasses({TcxLabel::StaticClass(), TcxLabelProperties::StaticClass(),
                   TcxLabelEditStyle::StaticClass()});
  GetRegisteredEditProperties()->Register(TcxLabelProperties::StaticClass(),
                                          "Label|Represents a Label");
}

void LabelShutdown() {
  GetRegisteredEditProperties()->Unregister(TcxLabelProperties::StaticClass());
  UnpublishClass(TcxCustomLabelProperties::StaticClass());
  UnpublishClass(TcxCustomLabel::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxLabel, ({"cxEdit"}), &LabelStartup, &LabelShutdown);
