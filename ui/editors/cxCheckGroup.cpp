#include "cxCheckGroup.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxEditUtils.h"
#include "cxGeometry.h"
#include "cxVariants.h"

namespace {

const char* const kStateNames[] = {"Unchecked", "Checked", "Grayed"};

}  // namespace

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TcxCustomCheckGroupProperties::TcxCustomCheckGroupProperties(
    TPersistent* AOwner)
    : TcxCustomButtonGroupProperties(AOwner) {
  RecreateItems();
}

TObjectPtr<TcxButtonGroupItems> TcxCustomCheckGroupProperties::CreateItems() {
  return TObjectPtr<TcxButtonGroupItems>(new TcxCheckGroupItems(this));
}

void TcxCustomCheckGroupProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCheckGroupProperties*>(Source);
  if (!source) {
    TcxCustomButtonGroupProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomButtonGroupProperties::Assign(Source);
  SetAllowGrayed(source->AllowGrayed());
  SetItemAlignment(source->ItemAlignment());
  SetGlyph(source->HasGlyph() ? source->Glyph() : nullptr);
  SetGlyphCount(source->GlyphCount());
  SetEditValueFormat(source->EditValueFormat());
  OnEditValueToStates = source->OnEditValueToStates;
  OnStatesToEditValue = source->OnStatesToEditValue;
}

void TcxCustomCheckGroupProperties::SetAllowGrayed(bool Value) {
  if (allowGrayed_ == Value) return;
  allowGrayed_ = Value;
  Changed();
}

void TcxCustomCheckGroupProperties::SetEditValueFormat(
    TcxCheckStatesValueFormat Value) {
  if (format_ == Value) return;
  format_ = Value;
  Changed();
}

void TcxCustomCheckGroupProperties::SetGlyphCount(Integer Value) {
  if (glyphCount_ == Value) return;
  glyphCount_ = Value;
  if (glyph_.Assigned()) Changed();
}

void TcxCustomCheckGroupProperties::SetItemAlignment(TAlignment Value) {
  if (itemAlignment_ == Value) return;
  itemAlignment_ = Value;
  Changed();
}

void TcxCustomCheckGroupProperties::CalculateCheckStatesByEditValue(
    TObject* Sender, const Variant& AEditValue, TcxCheckStates& AStates) {
  if (OnEditValueToStates) {
    AStates.assign(Items()->Count(), cbsUnchecked);
    OnEditValueToStates(Sender, AEditValue, AStates);
    AStates.resize(Items()->Count(), cbsUnchecked);
    return;
  }
  CalculateCheckStates(AEditValue, Items(), format_, AStates);
}

Variant TcxCustomCheckGroupProperties::CalculateEditValueByCheckStates(
    TObject* Sender, const TcxCheckStates& AStates) {
  if (OnStatesToEditValue) {
    Variant value;
    OnStatesToEditValue(Sender, AStates, value);
    return value;
  }
  return CalculateCheckStatesValue(AStates, Items(), format_);
}

WideString TcxCustomCheckGroupProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool) {
  TcxCheckStates states;
  CalculateCheckStatesByEditValue(nullptr, AEditValue, states);
  String text;
  for (size_t i = 0; i < states.size(); ++i) {
    if (i > 0) text += "; ";
    text += Items()->Items(static_cast<Integer>(i))->Caption() + ": " +
            kStateNames[states[i]];
  }
  return Platform::AnsiToWide(text);
}

bool TcxCustomCheckGroupProperties::CompareDisplayValues(
    const Variant& AEditValue1, const Variant& AEditValue2) {
  TcxCheckStates a, b;
  CalculateCheckStatesByEditValue(nullptr, AEditValue1, a);
  CalculateCheckStatesByEditValue(nullptr, AEditValue2, b);
  return a == b;
}

TcxCustomEditClass TcxCustomCheckGroupProperties::GetContainerClass() {
  return cxEditClass<TcxCheckGroup>();
}

// ---------------------------------------------------------------------------
// TcxCheckGroupButton
// ---------------------------------------------------------------------------

TcxCheckGroupButton::TcxCheckGroupButton(TcxCustomCheckGroup* AGroup)
    : TcxCheckBox(nullptr), group_(AGroup) {
  CreateProperties();
  GetStyle()->LookAndFeel()->SetMasterLookAndFeel(
      AGroup->GetStyle()->LookAndFeel());
  GetStyle()->SetTransparentBorder(true);
  // The group gives each button the bounds of its row.
  SetEditAutoSize(false);
}

Integer TcxCheckGroupButton::QueryInterface(const TGUID& iid, void** obj) {
  if (iid == IcxContainerInnerControl::IID) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return 0;
  }
  return TcxCheckBox::QueryInterface(iid, obj);
}

TcxContainer* TcxCheckGroupButton::GetControlContainer() { return group_; }

void TcxCheckGroupButton::KeyDown(Word& Key, TShiftState Shift) {
  const bool arrow =
      Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
  if (arrow && !group_->IsInplace()) {
    Integer index = -1;
    for (Integer i = 0; i < group_->ButtonCount(); ++i) {
      if (group_->Buttons(i) == this) index = i;
    }
    Integer target = cxButtonGroupArrowTarget(
        Key, index,
        group_->ActiveButtonGroupProperties()->GetButtonsPerColumn(),
        group_->ButtonCount());
    if (target < 0 || !group_->Buttons(target)->Enabled()) {
      target =
          group_->NextEnabledButton(index, Key == VK_RIGHT || Key == VK_DOWN);
    }
    if (target >= 0 && target != index) {
      group_->Buttons(target)->SetFocus();
      group_->SetLastFocusedIndex(target);
    }
    Key = 0;
    return;
  }
  TcxCheckBox::KeyDown(Key, Shift);
}

void TcxCheckGroupButton::Dispatch(TMessage& Message) {
  TcxCheckBox::Dispatch(Message);
  if (Message.Msg == WM_GETDLGCODE && !group_->IsInplace()) {
    Message.Result |= DLGC_WANTARROWS;
  }
}

void TcxCheckGroupButton::DoExit() {
  for (Integer i = 0; i < group_->ButtonCount(); ++i) {
    if (group_->Buttons(i) == this) group_->SetLastFocusedIndex(i);
  }
  TcxCheckBox::DoExit();
}

// ---------------------------------------------------------------------------
// TcxCustomCheckGroup
// ---------------------------------------------------------------------------

TcxCustomCheckGroup::TcxCustomCheckGroup(TComponent* AOwner, bool AIsInplace)
    : TcxCustomButtonGroup(AOwner, AIsInplace) {
  CreateProperties();
  controlStyle_.Exclude(csAcceptsControls);
  SetEditValue(Variant(0));
}

TObjectPtr<TWinControl> TcxCustomCheckGroup::GetButtonInstance() {
  return TObjectPtr<TWinControl>(new TcxCheckGroupButton(this));
}

TcxCheckBoxState TcxCustomCheckGroup::GetState(Integer AIndex) {
  return CheckButtons(AIndex)->State();
}

void TcxCustomCheckGroup::SetState(Integer AIndex, TcxCheckBoxState Value) {
  CheckButtons(AIndex)->SetState(Value);
}

void TcxCustomCheckGroup::SynchronizeDisplayValue() {
  TcxCustomCheckGroupProperties* props = ActiveCheckGroupProperties();
  if (props->Items()->ItemsNotifying()) return;
  TcxCheckStates states;
  props->CalculateCheckStatesByEditValue(props->GetStandaloneEventSender(this),
                                         EditValue(), states);
  if (!props->AllowGrayed() && Focused()) {
    std::replace(states.begin(), states.end(), cbsGrayed, cbsUnchecked);
  }
  TRestoreOnExit<bool> restore(synchronizing_, true);
  const Integer count =
      std::min(ButtonCount(), static_cast<Integer>(states.size()));
  for (Integer i = 0; i < count; ++i) CheckButtons(i)->SetState(states[i]);
}

void TcxCustomCheckGroup::InternalValidateDisplayValue(const Variant&) {
  const Variant old = EditValue();
  TcxCheckStates states;
  for (Integer i = 0; i < ButtonCount(); ++i) {
    states.push_back(CheckButtons(i)->State());
  }
  TcxCustomCheckGroupProperties* props = ActiveCheckGroupProperties();
  const Variant value = props->CalculateEditValueByCheckStates(
      props->GetStandaloneEventSender(this), states);
  {
    TRestoreOnExit<bool> restore(synchronizing_, true);
    SetUserAction(true);
    TScopeGuard clear([this] { SetUserAction(false); });
    TcxCustomButtonGroup::InternalSetEditValue(value, false);
  }
  if (!InternalVarEqualsExact(old, value)) DoEditValueChanged();
}

void TcxCustomCheckGroup::DoButtonChange(TObject*) {
  if (synchronizing_) return;
  LockChangeEvents(true);
  TScopeGuard unlock([this] { LockChangeEvents(false); });
  InternalValidateDisplayValue(Variant());
  ChangeHandler(this);
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue() &&
      ValidateEdit(true)) {
    InternalPostEditValue(false);
  }
}

void TcxCustomCheckGroup::PropertiesChanged(TObject* Sender) {
  TcxCustomButtonGroup::PropertiesChanged(Sender);
  if (!ComponentState().Contains(csReading)) SynchronizeDisplayValue();
}

void TcxCustomCheckGroup::UpdateButtons() {
  TcxCustomButtonGroup::UpdateButtons();
  if (lastFocusedIndex_ >= ButtonCount()) lastFocusedIndex_ = -1;
  TcxCustomCheckGroupProperties* props = ActiveCheckGroupProperties();
  const Integer count = std::min(ButtonCount(), props->Items()->Count());
  for (Integer i = 0; i < count; ++i) {
    TcxCheckGroupButton* button = CheckButtons(i);
    TcxCustomCheckBoxProperties* bp = button->CheckProperties();
    {
      auto update = bp->UpdateScope();
      bp->Alignment()->SetHorz(props->ItemAlignment());
      bp->SetAllowGrayed(props->AllowGrayed());
      bp->SetMultiLine(props->WordWrap());
      bp->SetGlyphCount(props->GlyphCount());
      bp->SetReadOnly(false);
    }
    button->SetCaption(props->Items()->Items(i)->Caption());
    bp->OnChange = TNotifyEvent(this, &TcxCustomCheckGroup::DoButtonChange);
  }
  SynchronizeDisplayValue();
}

void TcxCustomCheckGroup::SynchronizeButtonsStyle() {
  TcxCustomButtonGroup::SynchronizeButtonsStyle();
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TcxCheckGroupButton* button = CheckButtons(i);
    button->GetStyle()->SetBorderStyle(ActiveStyle()->BorderStyle());
    button->GetStyle()->SetColor(ActiveStyle()->Color());
    button->GetStyle()->SetTextColor(ActiveStyle()->TextColor());
    button->GetStyleDisabled()->SetColor(ActiveStyle()->Color());
    button->GetStyleDisabled()->SetTextColor(GetStyleDisabled()->TextColor());
    button->SetTransparent(Transparent());
  }
}

Integer TcxCustomCheckGroup::NextEnabledButton(Integer AIndex, bool AForward) {
  const Integer count = ButtonCount();
  for (Integer step = 1; step < count; ++step) {
    const Integer i =
        ((AIndex + (AForward ? step : -step)) % count + count) % count;
    if (Buttons(i)->Enabled()) return i;
  }
  return -1;
}

void TcxCustomCheckGroup::SetFocus() {
  TcxCustomButtonGroup::SetFocus();
  const Integer count = ButtonCount();
  const Integer start = std::max(lastFocusedIndex_, 0);
  for (Integer step = 0; step < count; ++step) {
    const Integer i = (start + step) % count;
    if (Buttons(i)->CanFocus()) {
      Buttons(i)->SetFocus();
      lastFocusedIndex_ = i;
      return;
    }
  }
}

namespace {

void CheckGroupStartup() {
  RegisterEnum<TcxCheckStatesValueFormat>(
      "TcxCheckStatesValueFormat",
      {"cvfCaptions", "cvfIndices", "cvfInteger", "cvfStatesString"});
  using P = TcxCustomCheckGroupProperties;
  TPublished<TcxCustomCheckGroupProperties>()
      .Property("AllowGrayed", &P::AllowGrayed, &P::SetAllowGrayed, false)
      .Property("EditValueFormat", &P::EditValueFormat, &P::SetEditValueFormat,
                cvfIndices)
      .Property("GlyphCount", &P::GlyphCount, &P::SetGlyphCount, 6)
      .Property("ItemAlignment", &P::ItemAlignment, &P::SetItemAlignment,
                taLeftJustify);
  RegisterClasses(
      {TcxCheckGroup::StaticClass(), TcxCheckGroupProperties::StaticClass()});
  GetRegisteredEditProperties()->Register(
      TcxCheckGroupProperties::StaticClass(),
      "CheckGroup|Represents a group of check boxes");
}

void CheckGroupShutdown() {
  GetRegisteredEditProperties()->Unregister(
      TcxCheckGroupProperties::StaticClass());
  UnpublishClass(TcxCustomCheckGroupProperties::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxCheckGroup, ({"cxButtonGroup", "cxCheckBox"}), &CheckGroupStartup,
            &CheckGroupShutdown);
