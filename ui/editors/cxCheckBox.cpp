#include "cxCheckBox.h"

#include <algorithm>

#include "TypInfo.h"
#include "WinApi.h"
#include "cxEditUtils.h"
#include "cxEditViewData.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"
#include "cxVariants.h"

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner),
      displayChecked_("True"),
      displayUnchecked_("False") {}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() = default;

void TcxCustomCheckBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCheckBoxProperties*>(Source);
  if (!source) {
    TcxCustomEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomEditProperties::Assign(Source);
  SetAllowGrayed(source->AllowGrayed());
  SetDisplayChecked(source->DisplayChecked());
  SetDisplayGrayed(source->DisplayGrayed());
  SetDisplayUnchecked(source->DisplayUnchecked());
  SetFullFocusRect(source->FullFocusRect());
  SetGlyph(source->HasGlyph() ? source->Glyph() : nullptr);
  SetGlyphCount(source->GlyphCount());
  SetMultiLine(source->MultiLine());
  SetNullStyle(source->NullStyle());
  SetUseAlignmentWhenInplace(source->UseAlignmentWhenInplace());
  SetStateValues(source->ValueChecked(), source->ValueGrayed(),
                 source->ValueUnchecked());
}

void TcxCustomCheckBoxProperties::SetAllowGrayed(bool Value) {
  Store(allowGrayed_, Value);
}

void TcxCustomCheckBoxProperties::SetCaption(const String& Value) {
  captionAssigned_ = true;
  Store(caption_, Value);
}

void TcxCustomCheckBoxProperties::SetDisplayChecked(const String& Value) {
  Store(displayChecked_, Value);
}

void TcxCustomCheckBoxProperties::SetDisplayGrayed(const String& Value) {
  Store(displayGrayed_, Value);
}

void TcxCustomCheckBoxProperties::SetDisplayUnchecked(const String& Value) {
  Store(displayUnchecked_, Value);
}

void TcxCustomCheckBoxProperties::SetFullFocusRect(bool Value) {
  Store(fullFocusRect_, Value);
}

void TcxCustomCheckBoxProperties::SetGlyphCount(Integer Value) {
  if (glyphCount_ == Value) return;
  glyphCount_ = Value;
  if (glyph_.Assigned()) Changed();
}

void TcxCustomCheckBoxProperties::SetMultiLine(bool Value) {
  Store(multiLine_, Value);
}

void TcxCustomCheckBoxProperties::SetNullStyle(
    TcxCheckBoxNullValueShowingStyle Value) {
  Store(nullStyle_, Value);
}

void TcxCustomCheckBoxProperties::SetUseAlignmentWhenInplace(bool Value) {
  Store(useAlignmentWhenInplace_, Value);
}

bool TcxCustomCheckBoxProperties::IsOwnerLoading() {
  auto* owner = dynamic_cast<TComponent*>(GetOwner());
  return owner && owner->ComponentState().Contains(csLoading);
}

bool TcxCustomCheckBoxProperties::DiffersFromAll(const Variant& Value) const {
  return !InternalVarEqualsExact(Value, valueChecked_) &&
         !InternalVarEqualsExact(Value, valueGrayed_) &&
         !InternalVarEqualsExact(Value, valueUnchecked_);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& Value) {
  if (!IsOwnerLoading() && (VarIsNull(Value) || !DiffersFromAll(Value))) {
    return;
  }
  valueChecked_ = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value) {
  if (!IsOwnerLoading() && (VarIsNull(Value) || !DiffersFromAll(Value))) {
    return;
  }
  valueUnchecked_ = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& Value) {
  if (!DiffersFromAll(Value)) return;
  valueGrayed_ = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetStateValues(const Variant& AChecked,
                                                 const Variant& AGrayed,
                                                 const Variant& AUnchecked) {
  if (VarIsNull(AChecked) || VarIsNull(AUnchecked) ||
      InternalVarEqualsExact(AChecked, AGrayed) ||
      InternalVarEqualsExact(AChecked, AUnchecked) ||
      InternalVarEqualsExact(AGrayed, AUnchecked)) {
    return;
  }
  valueChecked_ = AChecked;
  valueGrayed_ = AGrayed;
  valueUnchecked_ = AUnchecked;
  Changed();
}

TcxCheckBoxState TcxCustomCheckBoxProperties::GetState(
    const Variant& AEditValue) {
  if (VarEqualsExact(AEditValue, valueChecked_)) return cbsChecked;
  if (VarEqualsExact(AEditValue, valueUnchecked_)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::StateToEditValue(TcxCheckBoxState AState) {
  switch (AState) {
    case cbsChecked:
      return valueChecked_;
    case cbsGrayed:
      return valueGrayed_;
    default:
      return valueUnchecked_;
  }
}

TcxEditSupportedOperations
TcxCustomCheckBoxProperties::GetSupportedOperations() {
  return {esoAlwaysHotTrack, esoEditing, esoFiltering,   esoHotTrack,
          esoShowingCaption, esoSorting, esoTransparency};
}

WideString TcxCustomCheckBoxProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool) {
  switch (GetState(AEditValue)) {
    case cbsChecked:
      return Platform::AnsiToWide(displayChecked_);
    case cbsGrayed:
      return Platform::AnsiToWide(displayGrayed_);
    default:
      return Platform::AnsiToWide(displayUnchecked_);
  }
}

bool TcxCustomCheckBoxProperties::IsEditValueValid(Variant& AEditValue,
                                                   bool AEditFocused) {
  if (!TcxCustomEditProperties::IsEditValueValid(AEditValue, AEditFocused)) {
    return false;
  }
  return InternalVarEqualsExact(AEditValue, valueChecked_) ||
         InternalVarEqualsExact(AEditValue, valueGrayed_) ||
         InternalVarEqualsExact(AEditValue, valueUnchecked_);
}

void TcxCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue,
                                                      Variant& ADisplayValue,
                                                      bool) {
  ADisplayValue = Variant(static_cast<Integer>(GetState(AEditValue)));
}

bool TcxCustomCheckBoxProperties::CompareDisplayValues(
    const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetState(AEditValue1) == GetState(AEditValue2);
}

TcxCustomEditClass TcxCustomCheckBoxProperties::GetContainerClass() {
  return cxEditClass<TcxCheckBox>();
}

// ---------------------------------------------------------------------------
// TcxCustomCheckBox
// ---------------------------------------------------------------------------

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace) {
  CreateProperties();
  controlStyle_.Exclude(csDoubleClicks);
  SetBounds(Left(), Top(), 121, Height());
  SetTabStop(true);
  SetEditValue(CheckProperties()->ValueUnchecked());
}

TcxCheckBoxState TcxCustomCheckBox::State() {
  return ActiveCheckProperties()->GetState(EditValue());
}

void TcxCustomCheckBox::SetState(TcxCheckBoxState Value) {
  if (ComponentState().Contains(csLoading)) {
    stateRequested_ = true;
    requestedState_ = Value;
    return;
  }
  if (Value == State()) return;
  Variant editValue;
  PrepareEditValue(Variant(static_cast<Integer>(Value)), editValue, Focused());
  SetInternalEditValue(editValue);
}

void TcxCustomCheckBox::PrepareEditValue(const Variant& ADisplayValue,
                                         Variant& AEditValue, bool) {
  AEditValue = ActiveCheckProperties()->StateToEditValue(
      static_cast<TcxCheckBoxState>(ADisplayValue.AsInteger()));
}

void TcxCustomCheckBox::Toggle() {
  LockChangeEvents(true);
  TScopeGuard unlock([this] { LockChangeEvents(false); });
  {
    SetUserAction(true);
    TScopeGuard clear([this] { SetUserAction(false); });
    switch (State()) {
      case cbsUnchecked:
        SetState(ActiveCheckProperties()->AllowGrayed() ? cbsGrayed
                                                        : cbsChecked);
        break;
      case cbsChecked:
        SetState(cbsUnchecked);
        break;
      case cbsGrayed:
        SetState(cbsChecked);
        break;
    }
  }
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue() &&
      ValidateEdit(true)) {
    InternalPostEditValue(false);
  }
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& Value,
                                             bool AValidateEditValue) {
  const TcxCheckBoxState before = State();
  TcxCustomEdit::InternalSetEditValue(Value, AValidateEditValue);
  if (State() != before) {
    Click();
    DoChange();
  }
  ShortRefreshContainer(false);
  Invalidate();
}

void TcxCustomCheckBox::Loaded() {
  TcxCustomEdit::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  TScopeGuard unlock([this] {
    LockClick(false);
    LockChangeEvents(false, false);
  });
  const bool requested = stateRequested_;
  stateRequested_ = false;
  SetState(requested ? requestedState_ : cbsUnchecked);
}

void TcxCustomCheckBox::PropertiesChanged(TObject* Sender) {
  TcxCustomCheckBoxProperties* props = CheckProperties();
  if (props->IsCaptionAssigned()) {
    SetCaption(props->Caption());
    props->ClearCaptionAssigned();
  }
  TcxCustomEdit::PropertiesChanged(Sender);
  Invalidate();
}

void TcxCustomCheckBox::SetCheckState(TcxEditCheckState Value) {
  if (checkState_ == Value) return;
  checkState_ = Value;
  Invalidate();
}

void TcxCustomCheckBox::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && (checkState_ == ecsNormal || checkState_ == ecsHot)) {
    checkPressed_ = true;
    SetCheckState(ecsPressed);
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomCheckBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && checkState_ == ecsPressed && checkPressed_) {
    checkPressed_ = false;
    SetCheckState(ecsNormal);
    Toggle();
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomCheckBox::KeyPress(char& Key) {
  if (Key == ' ') {
    // Standalone, the key's release toggles; in place the press does.
    if (IsInplace() && checkState_ == ecsNormal) Toggle();
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyPress(Key);
}

void TcxCustomCheckBox::MouseDown(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  TcxCustomEdit::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  mousePressed_ = true;
  SetCheckState(ecsPressed);
}

void TcxCustomCheckBox::MouseUp(TMouseButton Button, TShiftState Shift,
                                Integer X, Integer Y) {
  TcxCustomEdit::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !mousePressed_) return;
  mousePressed_ = false;
  const bool inside = cxRectPtIn(TRect{0, 0, Width(), Height()}, X, Y);
  SetCheckState(inside ? ecsHot : ecsNormal);
  // Released over the box: the pressed look turns hot and the box toggles.
  if (inside && DoEditing()) Toggle();
}

void TcxCustomCheckBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomEdit::MouseMove(Shift, X, Y);
  if (checkPressed_) return;
  const bool inside = cxRectPtIn(TRect{0, 0, Width(), Height()}, X, Y);
  if (mousePressed_) {
    SetCheckState(inside ? ecsPressed : ecsNormal);
  } else {
    SetCheckState(inside && Shift.Empty() ? ecsHot : ecsNormal);
  }
}

void TcxCustomCheckBox::MouseLeave(TControl* AControl) {
  TcxCustomEdit::MouseLeave(AControl);
  if (!checkPressed_ && !mousePressed_) SetCheckState(ecsNormal);
}

void TcxCustomCheckBox::DoExit() {
  checkPressed_ = false;
  SetCheckState(ecsNormal);
  TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (cxIsAccel(static_cast<char>(Message.WParam), Caption()) &&
          CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
      TcxCustomEdit::Dispatch(Message);
      ShortRefreshContainer(false);
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      TcxCustomEdit::Dispatch(Message);
      SetCheckState(Enabled() ? ecsNormal : ecsDisabled);
      return;
    default:
      break;
  }
  TcxCustomEdit::Dispatch(Message);
}

void TcxCustomCheckBox::InitializeViewData(TcxCustomEditViewData* AViewData) {
  TcxCustomEdit::InitializeViewData(AViewData);
  // The window tracks the mark's mouse and key state itself.
  if (auto* data = dynamic_cast<TcxCustomCheckBoxViewData*>(AViewData)) {
    data->HasControlCheckState = true;
    data->ControlCheckState = checkState_;
  }
}

void TcxCustomCheckBox::FillSizeProperties(TcxEditSizeProperties& AProps) {
  AProps.Height = -1;
  AProps.MaxLineCount = ActiveCheckProperties()->MultiLine() ? 0 : 1;
  // Before the first calculation there is no text rectangle yet.
  const Integer textWidth = CheckViewInfo()->TextRect.Width();
  AProps.Width = textWidth > 0 ? textWidth : Width();
}

void TcxCustomCheckBox::Paint() {
  TcxCanvas* canvas = Canvas();
  TcxCustomCheckBoxViewInfo* info = CheckViewInfo();
  auto data = CreateViewData();
  data->Calculate(canvas, TRect{0, 0, Width(), Height()}, TPoint{-1, -1},
                  cxmbNone, {}, info, false);
  data->EditValueToDrawValue(canvas, EditValue(), info);
  SetViewInfoCalculated();
  checkRect_ = info->CheckRect;
  info->Paint(canvas);
}

namespace {

void CheckBoxStartup() {
  RegisterEnum<TcxCheckBoxState>("TcxCheckBoxState",
                                 {"cbsUnchecked", "cbsChecked", "cbsGrayed"});
  RegisterEnum<TcxCheckBoxNullValueShowingStyle>(
      "TcxCheckBoxNullValueShowingStyle",
      {"nssUnchecked", "nssInactive", "nssGrayedChecked"});
  using P = TcxCustomCheckBoxProperties;
  TPublished<TcxCustomCheckBoxProperties>()
      .Property("AllowGrayed", &P::AllowGrayed, &P::SetAllowGrayed, false)
      .Property("Caption", &P::Caption, &P::SetCaption)
      .Property("DisplayChecked", &P::DisplayChecked, &P::SetDisplayChecked)
      .Property("DisplayGrayed", &P::DisplayGrayed, &P::SetDisplayGrayed)
      .Property("DisplayUnchecked", &P::DisplayUnchecked,
                &P::SetDisplayUnchecked)
      .Property("FullFocusRect", &P::FullFocusRect, &P::SetFullFocusRect, false)
      .Property("GlyphCount", &P::GlyphCount, &P::SetGlyphCount, 6)
      .Property("MultiLine", &P::MultiLine, &P::SetMultiLine, false)
      .Property("NullStyle", &P::NullStyle, &P::SetNullStyle, nssGrayedChecked)
      .Property("UseAlignmentWhenInplace", &P::UseAlignmentWhenInplace,
                &P::SetUseAlignmentWhenInplace, false)
      .Property("ValueChecked", &P::ValueChecked, &P::SetValueChecked)
      .Property("ValueGrayed", &P::ValueGrayed, &P::SetValueGrayed)
      .Property("ValueUnchecked", &P::ValueUnchecked, &P::SetValueUnchecked);
  TPublished<TcxCustomCheckBox>().Property("AutoSize", &TcxCustomEdit::AutoSize,
                                           &TcxCustomEdit::SetEditAutoSize,
                                           true);
  RegisterClasses({TcxCheckBox::StaticClass(),
                   TcxCheckBoxProperties::StaticClass(),
                   TcxCheckBoxStyle::StaticClass()});
  GetRegisteredEditProperties()->Register(
      TcxCheckBoxProperties::StaticClass(),
      "CheckBox|Represents a check box control that allows selecting an "
      "option");
}

void CheckBoxShutdown() {
  GetRegisteredEditProperties()->Unregister(
      TcxCheckBoxProperties::StaticClass());
  UnpublishClass(TcxCustomCheckBoxProperties::StaticClass());
  UnpublishClass(TcxCustomCheckBox::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxCheckBox, ({"cxEdit"}), &CheckBoxStartup, &CheckBoxShutdown);
