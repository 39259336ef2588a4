#include "cxEditStyle.h"

#include "ScopeGuard.h"
#include "WinApi.h"
#include "cxEdit.h"

namespace {

TObjectPtr<TcxEditStyleController> gDefaultEditStyleController;
Integer gDefaultControllerFaces = 0;

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomEditStyle
// ---------------------------------------------------------------------------

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner,
                                       bool ADirectAccessMode,
                                       TcxContainerStyle* AParentStyle,
                                       TcxContainerStateItem AState)
    : TcxContainerStyle(AOwner, ADirectAccessMode, AParentStyle, AState) {
  // The container's constructor could only ask its own class for the
  // default controller; in-place editors follow none.
  if (IsBaseStyle() && !ADirectAccessMode &&
      BaseGetStyleController() == nullptr)
    BaseSetStyleController(GetDefaultStyleController());
}

TcxCustomEditStyle* TcxCustomEditStyle::Parent() const {
  return static_cast<TcxCustomEditStyle*>(ParentStyle());
}

TcxCustomEditStyle* TcxCustomEditStyle::ControllerStyle() {
  TcxStyleController* controller = GetActiveStyleController();
  if (!controller) return nullptr;
  return dynamic_cast<TcxCustomEditStyle*>(
      controller->GetInternalStyle(State()));
}

template <class T>
bool TcxCustomEditStyle::Find(TcxContainerStyleValue AValue,
                              T TcxCustomEditStyle::*AField, T& AResult) {
  if (extendedAssigned_.Contains(AValue)) {
    AResult = this->*AField;
    return true;
  }
  if (DirectAccessMode()) return false;
  TcxCustomEditStyle* other = ControllerStyle();
  return other && other != this && other->Find(AValue, AField, AResult);
}

template <class T>
T TcxCustomEditStyle::Get(TcxContainerStyleValue AValue,
                          T TcxCustomEditStyle::*AField,
                          T (TcxCustomEditStyle::*ADefault)()) {
  T result{};
  if (Find(AValue, AField, result)) return result;
  return (this->*ADefault)();
}

template <class T>
void TcxCustomEditStyle::Set(TcxContainerStyleValue AValue,
                             T TcxCustomEditStyle::*AField, T Value,
                             bool ABaseOnly) {
  if (ABaseOnly && !IsBaseStyle()) {
    Parent()->Set(AValue, AField, Value, ABaseOnly);
    return;
  }
  if (extendedAssigned_.Contains(AValue) && this->*AField == Value) return;
  this->*AField = Value;
  extendedAssigned_.Include(AValue);
  Changed();
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() {
  return Get(svButtonStyle, &TcxCustomEditStyle::buttonStyle_,
             &TcxCustomEditStyle::DefaultButtonStyle);
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle Value) {
  Set(svButtonStyle, &TcxCustomEditStyle::buttonStyle_, Value, false);
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() {
  return Get(svButtonTransparency, &TcxCustomEditStyle::buttonTransparency_,
             &TcxCustomEditStyle::DefaultButtonTransparency);
}

void TcxCustomEditStyle::SetButtonTransparency(
    TcxEditButtonTransparency Value) {
  Set(svButtonTransparency, &TcxCustomEditStyle::buttonTransparency_, Value,
      true);
}

bool TcxCustomEditStyle::Gradient() {
  return Get(svGradient, &TcxCustomEditStyle::gradient_,
             &TcxCustomEditStyle::DefaultGradient);
}

void TcxCustomEditStyle::SetGradient(bool Value) {
  Set(svGradient, &TcxCustomEditStyle::gradient_, Value, true);
}

bool TcxCustomEditStyle::GradientButtons() {
  return Get(svGradientButtons, &TcxCustomEditStyle::gradientButtons_,
             &TcxCustomEditStyle::DefaultGradientButtons);
}

void TcxCustomEditStyle::SetGradientButtons(bool Value) {
  Set(svGradientButtons, &TcxCustomEditStyle::gradientButtons_, Value, true);
}

TcxEditGradientDirection TcxCustomEditStyle::GradientDirection() {
  return Get(svGradientDirection, &TcxCustomEditStyle::gradientDirection_,
             &TcxCustomEditStyle::DefaultGradientDirection);
}

void TcxCustomEditStyle::SetGradientDirection(TcxEditGradientDirection Value) {
  // dirNone is not a gradient direction.
  if (Value == dirNone) return;
  Set(svGradientDirection, &TcxCustomEditStyle::gradientDirection_, Value,
      true);
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() {
  return Get(svPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_,
             &TcxCustomEditStyle::DefaultPopupBorderStyle);
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle Value) {
  Set(svPopupBorderStyle, &TcxCustomEditStyle::popupBorderStyle_, Value, true);
}

bool TcxCustomEditStyle::PopupCloseButton() {
  return IsBaseStyle() ? popupCloseButton_ : Parent()->PopupCloseButton();
}

void TcxCustomEditStyle::SetPopupCloseButton(bool Value) {
  if (!IsBaseStyle()) return Parent()->SetPopupCloseButton(Value);
  if (popupCloseButton_ == Value) return;
  popupCloseButton_ = Value;
  Changed();
}

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() {
  return IsBaseStyle() ? btsDefault : Parent()->ButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() {
  return IsBaseStyle() ? ebtNone : Parent()->ButtonTransparency();
}

bool TcxCustomEditStyle::DefaultGradient() {
  return IsBaseStyle() ? false : Parent()->Gradient();
}

bool TcxCustomEditStyle::DefaultGradientButtons() {
  return IsBaseStyle() ? false : Parent()->GradientButtons();
}

TcxEditGradientDirection TcxCustomEditStyle::DefaultGradientDirection() {
  return IsBaseStyle() ? dirDown : Parent()->GradientDirection();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() {
  return IsBaseStyle() ? epbsDefault : Parent()->PopupBorderStyle();
}

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  if (AValue < cxContainerStyleValueCount)
    return TcxContainerStyle::IsValueAssigned(AValue);
  switch (static_cast<Integer>(AValue)) {
    case svButtonStyle: {
      TcxEditButtonStyle v;
      return Find(AValue, &TcxCustomEditStyle::buttonStyle_, v);
    }
    case svButtonTransparency: {
      TcxEditButtonTransparency v;
      return Find(AValue, &TcxCustomEditStyle::buttonTransparency_, v);
    }
    case svPopupBorderStyle: {
      TcxEditPopupBorderStyle v;
      return Find(AValue, &TcxCustomEditStyle::popupBorderStyle_, v);
    }
    case svGradientButtons: {
      bool v;
      return Find(AValue, &TcxCustomEditStyle::gradientButtons_, v);
    }
    case svGradient: {
      bool v;
      return Find(AValue, &TcxCustomEditStyle::gradient_, v);
    }
    case svGradientDirection: {
      TcxEditGradientDirection v;
      return Find(AValue, &TcxCustomEditStyle::gradientDirection_, v);
    }
    default:
      return false;
  }
}

bool TcxCustomEditStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue,
                                           String& AName) {
  if (AStyleValue >= cxContainerStyleValueCount && AStyleValue < 16) {
    AName = cxEditStyleValueNameA[AStyleValue - cxContainerStyleValueCount];
    return true;
  }
  return TcxContainerStyle::GetStyleValueName(AStyleValue, AName);
}

TcxContainerStyleValues
TcxCustomEditStyle::InternalGetNotPublishedExtendedStyleValues() {
  TcxContainerStyleValues result;
  for (Integer v : {3, 4, 5, 6, 9, 11, 12, 13, 14, 15})
    result.Include(TcxContainerStyleValue(v));
  return result;
}

TcxStyleController* TcxCustomEditStyle::GetDefaultStyleController() {
  if (DirectAccessMode()) return nullptr;
  TcxContainer* container = GetContainer();
  if (container && container->IsInplace()) return nullptr;
  return DefaultEditStyleController();
}

void TcxCustomEditStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditStyle*>(Source);
  if (!source) return TcxContainerStyle::Assign(Source);
  auto update = MakeBracket(this, &TcxContainerStyle::BeginUpdate,
                            &TcxContainerStyle::EndUpdate);
  buttonStyle_ = source->buttonStyle_;
  buttonTransparency_ = source->buttonTransparency_;
  gradient_ = source->gradient_;
  gradientButtons_ = source->gradientButtons_;
  gradientDirection_ = source->gradientDirection_;
  popupBorderStyle_ = source->popupBorderStyle_;
  popupCloseButton_ = source->popupCloseButton_;
  extendedAssigned_ = source->extendedAssigned_;
  TcxContainerStyle::Assign(Source);
  Changed();
}

void TcxCustomEditStyle::RestoreDefaults() {
  auto update = MakeBracket(this, &TcxContainerStyle::BeginUpdate,
                            &TcxContainerStyle::EndUpdate);
  extendedAssigned_ = {};
  buttonStyle_ = btsDefault;
  buttonTransparency_ = ebtNone;
  gradient_ = false;
  gradientButtons_ = false;
  gradientDirection_ = dirDown;
  popupBorderStyle_ = epbsDefault;
  popupCloseButton_ = true;
  TcxContainerStyle::RestoreDefaults();
}

void TcxCustomEditStyle::Init(const TcxViewParams& AParams) {
  auto update = MakeBracket(this, &TcxContainerStyle::BeginUpdate,
                            &TcxContainerStyle::EndUpdate);
  SetColor(AParams.Color);
  if (AParams.Font) SetFont(AParams.Font);
  SetTextColor(AParams.TextColor);
}

// ---------------------------------------------------------------------------
// Style controllers
// ---------------------------------------------------------------------------

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner)
    : TcxStyleController(AOwner) {
  // The base constructor made plain container styles.
  CreateStyles();
}

TcxEditStyleController* DefaultEditStyleController() {
  return gDefaultEditStyleController.get();
}

TcxDefaultEditStyleController::TcxDefaultEditStyleController(TComponent* AOwner)
    : TComponent(AOwner) {
  ++gDefaultControllerFaces;
}

TcxDefaultEditStyleController::~TcxDefaultEditStyleController() {
  --gDefaultControllerFaces;
}

Integer TcxDefaultEditStyleController::InstanceCount() {
  return gDefaultControllerFaces;
}

TcxCustomEditStyle* TcxDefaultEditStyleController::Style() {
  return DefaultEditStyleController()->Style();
}
TcxCustomEditStyle* TcxDefaultEditStyleController::StyleDisabled() {
  return DefaultEditStyleController()->StyleDisabled();
}
TcxCustomEditStyle* TcxDefaultEditStyleController::StyleFocused() {
  return DefaultEditStyleController()->StyleFocused();
}
TcxCustomEditStyle* TcxDefaultEditStyleController::StyleHot() {
  return DefaultEditStyleController()->StyleHot();
}
TNotifyEvent TcxDefaultEditStyleController::OnStyleChanged() const {
  return DefaultEditStyleController()->OnStyleChanged;
}
void TcxDefaultEditStyleController::SetOnStyleChanged(TNotifyEvent Value) {
  DefaultEditStyleController()->OnStyleChanged = Value;
}

namespace {

void EditStyleStartup() {
  gDefaultEditStyleController.reset(new TcxEditStyleController(nullptr));
  cxContainerDefaultStyleController = gDefaultEditStyleController.get();
}

void EditStyleShutdown() {
  cxContainerDefaultStyleController = nullptr;
  gDefaultEditStyleController.reset();
}

}  // namespace

VARNEL_UNIT(cxEditStyle, ({"cxContainer"}), &EditStyleStartup,
            &EditStyleShutdown);
