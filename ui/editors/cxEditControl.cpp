// The editor control: construction, the edit value and its change events,
// validation, posting and the unbound data binding.
#include <windows.h>

#include "Forms.h"
#include "ScopeGuard.h"
#include "cxEdit.h"
#include "cxEditRepositoryItems.h"
#include "cxEditStyle.h"
#include "cxVariants.h"

// ---------------------------------------------------------------------------
// TcxEditChangeEventsCatcher
// ---------------------------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool AInvokeChangedOnUnlock) {
  if (ALock) {
    if (lockCount_ == 0) {
      OnChangeEvent = false;
      OnEditValueChangedEvent = false;
    }
    ++lockCount_;
    return;
  }
  if (lockCount_ <= 0) return;
  if (--lockCount_ > 0 || !AInvokeChangedOnUnlock) return;
  auto state = edit_->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying)) return;
  if (OnChangeEvent && edit_->IsOnChangeEventAssigned()) edit_->DoOnChange();
  if (OnEditValueChangedEvent && edit_->IsOnEditValueChangedEventAssigned())
    edit_->DoOnEditValueChanged();
}

// ---------------------------------------------------------------------------
// TcxEditDataBinding
// ---------------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit) : edit_(AEdit) {
  CreateDefaultValuesProvider();
}

TcxEditDataBinding::~TcxEditDataBinding() = default;

void TcxEditDataBinding::CreateDefaultValuesProvider() {
  provider_ = OwnedCast<TcxCustomEditDefaultValuesProvider>(
      GetDefaultValuesProviderClass()->NewInstance());
}

TPersistent* TcxEditDataBinding::GetOwner() { return edit_; }

void TcxEditDataBinding::DefaultValuesChanged() {
  edit_->ActiveProperties()->DefaultValuesChanged();
}

Variant TcxEditDataBinding::GetDisplayValue() {
  return Variant(edit_->GetDisplayValue());
}

bool TcxEditDataBinding::GetModified() { return edit_->ModifiedAfterEnter(); }

void TcxEditDataBinding::GetStoredValue(Variant& Value) {
  edit_->GetEditValue(Value);
}

void TcxEditDataBinding::Reset() { edit_->ResetEditValue(); }

bool TcxEditDataBinding::SetEditMode() {
  edit_->SetModifiedAfterEnter(true);
  return true;
}

bool TcxEditDataBinding::CanCheckEditorValue() {
  return edit_->ComponentState().Contains(csDesigning) ||
         !edit_->ModifiedAfterEnter();
}

void TcxEditDataBinding::SetDisplayValue(const Variant& AValue) {
  edit_->SetInternalDisplayValue(AValue);
}

void TcxEditDataBinding::UpdateDisplayValue() {
  edit_->SynchronizeDisplayValue();
}

// ---------------------------------------------------------------------------
// TcxCustomEdit: construction
// ---------------------------------------------------------------------------

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace)
    : TcxContainer(AOwner), isInplace_(AIsInplace) {
  changeEvents_.reset(new TcxEditChangeEventsCatcher(this));
  dataBinding_ = GetDataBindingClass()(this);
  CreateProperties();
  autoSize_ = !isInplace_;
  editValue_ = Null();
  if (isInplace_) {
    // The grid's keys reach an in-place editor; without an inner edit the
    // editor takes Tab itself.
    TcxKeys keys = Keys();
    keys.Include(kAll);
    keys.Include(kArrows);
    keys.Include(kTab);
    SetKeys(keys);
  }
}

TcxCustomEdit::~TcxCustomEdit() {
  if (repositoryItem_) repositoryItem_->RemoveListener(this);
  if (properties_) {
    properties_->OnPropertiesChanged = nullptr;
    if (!isInplace_) properties_->SetIDefaultValuesProvider(nullptr);
  }
  properties_.reset();
  dataBinding_.reset();
}

void TcxCustomEdit::CreateProperties() {
  if (properties_) {
    properties_->OnPropertiesChanged = nullptr;
    properties_->SetIDefaultValuesProvider(nullptr);
  }
  properties_ = OwnedCast<TcxCustomEditProperties>(
      GetPropertiesClass()->NewInstance(this));
  properties_->OnPropertiesChanged =
      TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
  if (!isInplace_)
    properties_->SetIDefaultValuesProvider(
        dataBinding_->IDefaultValuesProvider());
  // The styles and the view info are the properties class's.
  CreateContainerParts();
}

void TcxCustomEdit::SetParent(TWinControl* AParent) {
  // The binding can show its value only once the editor sits somewhere.
  if (pendingBindingRefresh_ && AParent) {
    pendingBindingRefresh_ = false;
    dataBinding_->UpdateNotConnectedDBEditDisplayValue();
    PropertiesChanged(properties_.get());
    dataBinding_->UpdateDisplayValue();
  }
  TcxContainer::SetParent(AParent);
}

void TcxCustomEdit::ReadState(TReader* Reader) {
  // Streaming the properties in must not notify the editor.
  properties_->OnPropertiesChanged = nullptr;
  TcxContainer::ReadState(Reader);
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  LockChangeEvents(true);
  auto unlock = TScopeGuard([this] { LockChangeEvents(false, false); });
  LockClick(true);
  auto unlockClick = TScopeGuard([this] { LockClick(false); });
  dataBinding_->UpdateNotConnectedDBEditDisplayValue();
  ShortRefreshContainer(false);
  if (!repositoryItem_)
    properties_->OnPropertiesChanged =
        TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
  PropertiesChanged(ActiveProperties());
}

TcxEditDataBindingClass TcxCustomEdit::GetDataBindingClass() {
  return [](TcxCustomEdit* AEdit) {
    return TObjectPtr<TcxEditDataBinding>(new TcxEditDataBinding(AEdit));
  };
}

TcxContainerStyleClass TcxCustomEdit::GetStyleClass() {
  return ActiveProperties()->GetStyleClass();
}

TcxContainerViewInfoClass TcxCustomEdit::GetViewInfoClass() {
  return ActiveProperties()->GetViewInfoClass();
}

Integer TcxCustomEdit::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxEditRepositoryItemListener::IID) {
    *obj = static_cast<IcxEditRepositoryItemListener*>(this);
    return S_OK_;
  }
  return TcxContainer::QueryInterface(iid, obj);
}

bool TcxCustomEdit::LoadingOrDestroying() {
  auto state = ComponentState();
  return state.Contains(csLoading) || state.Contains(csDestroying) ||
         IsDestroying();
}

// ---------------------------------------------------------------------------
// Properties and the repository item
// ---------------------------------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() {
  // The shared properties answer with this editor's data source.
  if (repositoryItem_) {
    auto* props = repositoryItem_->Properties();
    if (props && dataBinding_)
      props->SetIDefaultValuesProvider(dataBinding_->IDefaultValuesProvider());
    return props;
  }
  return properties_.get();
}

void TcxCustomEdit::PropertiesChanged(TObject*) {
  validated_ = false;
  if (modifiedAfterEnter_ && RealReadOnly()) modifiedAfterEnter_ = false;
  if (ActiveProperties()->Transparent()) transparent_ = true;
  ShortRefreshContainer(false);
}

void TcxCustomEdit::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  Invalidate();
}

bool TcxCustomEdit::RealReadOnly() {
  return ActiveProperties()->GetReadOnly() || !dataBinding_->IsDataAvailable();
}

bool TcxCustomEdit::CanModify() {
  auto* props = ActiveProperties();
  if (isInplace_) return props->CanModify();
  if (props->IsReadOnlyStored()) return !props->GetReadOnly();
  auto* provider = dataBinding_->IDefaultValuesProvider();
  return provider && provider->DefaultCanModify() && provider->CanSetEditMode();
}

bool TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem) {
  return !AItem ||
         AItem->Properties()->ClassType()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (repositoryItem_ == Value) return;
  if (!IsRepositoryItemAcceptable(Value))
    throw EcxEditError(cxGetResourceString(cxSEditInvalidRepositoryItem));
  RepositoryItemAssigning();
  if (repositoryItem_) {
    repositoryItem_->RemoveListener(this);
    repositoryItem_->RemoveFreeNotification(this);
  }
  repositoryItem_ = Value;
  if (repositoryItem_) {
    repositoryItem_->AddListener(this);
    repositoryItem_->FreeNotification(this);
    properties_->SetIDefaultValuesProvider(nullptr);
    PropertiesChanged(repositoryItem_->Properties());
    properties_->OnPropertiesChanged = nullptr;
  } else if (!LoadingOrDestroying()) {
    properties_->OnPropertiesChanged =
        TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
    properties_->SetIDefaultValuesProvider(
        dataBinding_->IDefaultValuesProvider());
    PropertiesChanged(properties_.get());
  }
  RepositoryItemAssigned();
}

void TcxCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TcxContainer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == repositoryItem_)
    SetRepositoryItem(nullptr);
}

void TcxCustomEdit::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender == repositoryItem_) SetRepositoryItem(nullptr);
}

void TcxCustomEdit::PropertiesChanged(TcxEditRepositoryItem* Sender) {
  if (Sender == repositoryItem_) PropertiesChanged(Sender->Properties());
}

// ---------------------------------------------------------------------------
// Flags and locks
// ---------------------------------------------------------------------------

void TcxCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  if (!Value) modifiedAfterEnter_ = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool Value) {
  modifiedAfterEnter_ = Value;
  if (Value) {
    validated_ = false;
    modified_ = true;
  }
}

void TcxCustomEdit::SaveModified() {
  savedModified_.emplace_back(modified_, modifiedAfterEnter_);
}

void TcxCustomEdit::RestoreModified() {
  if (savedModified_.empty()) return;
  std::tie(modified_, modifiedAfterEnter_) = savedModified_.back();
  savedModified_.pop_back();
}

void TcxCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock) {
  changeEvents_->Lock(ALock, AInvokeChangedOnUnlock);
}

void TcxCustomEdit::LockClick(bool ALock) {
  if (ALock)
    ++clickLockCount_;
  else if (clickLockCount_ > 0)
    --clickLockCount_;
}

void TcxCustomEdit::LockEditValueChanging(bool ALock) {
  if (ALock)
    ++editValueChangingLockCount_;
  else if (editValueChangingLockCount_ > 0)
    --editValueChangingLockCount_;
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

// Each event goes to the editor's own properties first, then to the shared
// properties of its repository item.
#define CX_FIRE_BOTH(EVENT, ...)                               \
  do {                                                         \
    if (properties_->EVENT) properties_->EVENT(__VA_ARGS__);   \
    if (repositoryItem_) {                                     \
      auto* active = ActiveProperties();                       \
      if (active && active->EVENT) active->EVENT(__VA_ARGS__); \
    }                                                          \
  } while (false)

void TcxCustomEdit::DoOnChange() { CX_FIRE_BOTH(OnChange, this); }

void TcxCustomEdit::DoOnEditValueChanged() {
  CX_FIRE_BOTH(OnEditValueChanged, this);
}

void TcxCustomEdit::DoOnValidate(Variant& DisplayValue, String& ErrorText,
                                 bool& Error) {
  CX_FIRE_BOTH(OnValidate, this, DisplayValue, ErrorText, Error);
}

void TcxCustomEdit::DoClosePopup(TcxEditCloseUpReason AReason) {
  CX_FIRE_BOTH(OnClosePopup, this, AReason);
}

void TcxCustomEdit::DoButtonClick(Integer AButtonVisibleIndex) {
  // The handlers get the button's index among all buttons.
  Integer index = AButtonVisibleIndex;
  auto* buttons = ActiveProperties()->Buttons();
  for (Integer i = 0, visible = -1; i < buttons->Count(); ++i) {
    if (!buttons->Items(i)->Visible()) continue;
    if (++visible == AButtonVisibleIndex) {
      index = i;
      break;
    }
  }
  CX_FIRE_BOTH(OnButtonClick, this, index);
}

#undef CX_FIRE_BOTH

void TcxCustomEdit::DoPostEditValue() {
  if (OnPostEditValue) OnPostEditValue(this);
}

void TcxCustomEdit::DoAfterKeyDown(Word& Key, TShiftState Shift) {
  if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
}

bool TcxCustomEdit::IsOnChangeEventAssigned() {
  return properties_->OnChange || ActiveProperties()->OnChange;
}

bool TcxCustomEdit::IsOnEditValueChangedEventAssigned() {
  return properties_->OnEditValueChanged ||
         ActiveProperties()->OnEditValueChanged;
}

bool TcxCustomEdit::IsOnValidateEventAssigned() {
  return properties_->OnValidate || ActiveProperties()->OnValidate;
}

template <class F>
void TcxCustomEdit::InvokeWithForcedModified(F&& AHandler) {
  if (!isInplace_) {
    AHandler();
    return;
  }
  // The grid's handler must see its editor as modified and cannot change
  // the flags.
  SaveModified();
  auto restore = TScopeGuard([this] { RestoreModified(); });
  modified_ = true;
  modifiedAfterEnter_ = true;
  AHandler();
}

void TcxCustomEdit::DoChange() {
  if (LoadingOrDestroying()) return;
  if (IsOnChangeEventAssigned()) {
    if (AreChangeEventsLocked())
      changeEvents_->OnChangeEvent = true;
    else
      InvokeWithForcedModified([this] { DoOnChange(); });
  }
  auto* props = ActiveProperties();
  if (!props->HasDisplayValue() && !props->CanCompareEditValue())
    DoEditValueChanged();
}

void TcxCustomEdit::DoEditValueChanged() {
  if (LoadingOrDestroying() || !IsOnEditValueChangedEventAssigned()) return;
  if (AreChangeEventsLocked())
    changeEvents_->OnEditValueChangedEvent = true;
  else
    InvokeWithForcedModified([this] { DoOnEditValueChanged(); });
}

void TcxCustomEdit::ChangeHandler(TObject*) {
  if (focused_)
    SetModifiedAfterEnter(true);
  else
    dataBinding_->SetModified();
  DoChange();
}

// ---------------------------------------------------------------------------
// The value
// ---------------------------------------------------------------------------

void TcxCustomEdit::SetEditValue(const Variant& Value) {
  if (editValueChangingLockCount_ > 0) return;
  LockClick(true);
  auto unlock = TScopeGuard([this] { LockClick(false); });
  if (isUserAction_ && !DoEditing()) return;
  InternalSetEditValue(Value, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& Value, bool) {
  if (isUserAction_ && !DoEditing()) return;
  auto* props = ActiveProperties();
  bool changed =
      props->CanCompareEditValue() && (VarType(Value) != VarType(editValue_) ||
                                       !VarEqualsExact(Value, editValue_));
  editValue_ = Value;
  SynchronizeDisplayValue();
  if (isUserAction_)
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (changed) {
    DoEditValueChanged();
    if (!props->HasDisplayValue()) DoChange();
  }
}

void TcxCustomEdit::GetEditingValue(Variant& Value) {
  if (focused_ && !validated_ && modifiedAfterEnter_)
    InternalGetEditingValue(Value);
  else
    Value = editValue_;
}

void TcxCustomEdit::Clear() {
  Variant v;
  GetClearValue(v);
  SetEditValue(v);
}

void TcxCustomEdit::PrepareDisplayValue(const Variant& AEditValue,
                                        Variant& ADisplayValue,
                                        bool AEditFocused) {
  ActiveProperties()->PrepareDisplayValue(AEditValue, ADisplayValue,
                                          AEditFocused);
}

void TcxCustomEdit::InternalValidateDisplayValue(const Variant& ADisplayValue) {
  SaveModified();
  auto restore = TScopeGuard([this] { RestoreModified(); });
  InternalSetDisplayValue(ADisplayValue);
}

void TcxCustomEdit::Reset() { dataBinding_->Reset(); }

void TcxCustomEdit::ResetEditValue() {
  if (!modifiedAfterEnter_ || !ActiveProperties()->IsResetEditClass()) return;
  LockChangeEvents(true);
  auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
  modifiedAfterEnter_ = false;
  Variant value = valueBeforeEditing_;
  if (dataBinding_->IsDBEdit()) dataBinding_->GetStoredValue(value);
  SetInternalEditValue(value);
  SetModified(true);
  SelectAll();
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue())
    InternalPostEditValue(false);
}

// ---------------------------------------------------------------------------
// Editing, validation and posting
// ---------------------------------------------------------------------------

bool TcxCustomEdit::DoEditing() {
  if (!InternalDoEditing()) return false;
  if (dataBinding_->Modified()) return true;
  TRestoreOnExit keep(isDoingEditing_, true);
  bool result = CanModify();
  if (isInplace_) {
    LockEditValueChanging(true);
    auto unlock = TScopeGuard([this] { LockEditValueChanging(false); });
    if (result && OnEditing) OnEditing(this, result);
    return result;
  }
  if (result && OnEditing) OnEditing(this, result);
  if (result) {
    LockEditValueChanging(true);
    auto unlock = TScopeGuard([this] { LockEditValueChanging(false); });
    result = dataBinding_->SetEditMode();
  }
  return result;
}

bool TcxCustomEdit::ValidateEdit(bool ARaiseExceptionOnError) {
  if (!modifiedAfterEnter_ || validated_ || validateDisableCount_ != 0)
    return true;
  TRestoreOnExit keep(isValidating_, true);
  Variant displayValue(GetDisplayValue());
  String errorText;
  bool error = false;
  auto* props = ActiveProperties();
  if (props->CanValidate())
    props->ValidateDisplayValue(displayValue, errorText, error, this);
  if (error) {
    // The value validation produced stays, also when the error raises.
    auto writeBack = TScopeGuard([this, &displayValue] {
      if (VarToStr(displayValue) == GetDisplayValue()) return;
      SetInternalDisplayValue(displayValue);
      if (Visible()) {
        SelectAll();
        if (!IsEditClass()) UpdateDrawValue();
      }
    });
    if (ARaiseExceptionOnError) {
      HandleValidationError(errorText);
      if (Application) Application->ProcessMessages();
    }
    return false;
  }
  if (isUserAction_ && !DoEditing()) Abort();
  InternalValidateDisplayValue(displayValue);
  if (!isInplace_ && !focused_) modifiedAfterEnter_ = false;
  validated_ = true;
  return true;
}

void TcxCustomEdit::HandleValidationError(const String& AErrorText) {
  if (!CanFocus()) {
    validated_ = true;
  } else if (Visible()) {
    if (!focused_) {
      TRestoreOnExit keep(isRefocusing_, true);
      GetActiveControl()->SetFocus();
    }
    SelectAll();
  }
  if (ActiveProperties()->BeepOnError()) MessageBeep(0);
  if (!AErrorText.empty()) throw EcxEditValidationError(AErrorText);
}

bool TcxCustomEdit::CanPostEditValue() {
  return !ComponentState().Contains(csDesigning) &&
         dataBinding_->CanPostEditorValue();
}

void TcxCustomEdit::InternalPostEditValue(bool AValidateEdit) {
  if (AValidateEdit) {
    TRestoreOnExit keep(isUserAction_, false);
    if (!ValidateEdit(true)) Abort();
  }
  try {
    BeforePosting();
    auto after = TScopeGuard([this] { AfterPosting(); });
    if (isInplace_) {
      DoPostEditValue();
      SetModified(false);
    } else {
      dataBinding_->SetStoredValue(EditValue());
    }
  } catch (...) {
    // A grid reports its own write errors; a standalone editor takes the
    // focus back and lets the error go on.
    if (isInplace_) return;
    HandleValidationError(String());
    throw;
  }
}

void TcxCustomEdit::PostEditValue() {
  if (CanPostEditValue()) {
    InternalPostEditValue(true);
    return;
  }
  if (focused_ && DoEditing()) {
    SetModifiedAfterEnter(true);
    validated_ = true;
    auto clear = TScopeGuard([this] { SetModifiedAfterEnter(false); });
    InternalPostEditValue(false);
  }
}

// ---------------------------------------------------------------------------
// The properties' side of the editor
// ---------------------------------------------------------------------------

TcxCustomEditClass TcxCustomEditProperties::GetContainerClass() {
  return cxEditClass<TcxCustomEdit>();
}

TObject* TcxCustomEditProperties::GetStandaloneEventSender(TObject* AEdit) {
  auto* edit = dynamic_cast<TcxCustomEdit*>(AEdit);
  return edit && !edit->IsInplace() ? AEdit : nullptr;
}

void TcxCustomEditProperties::DoValidate(Variant& ADisplayValue,
                                         String& AErrorText, bool& AError,
                                         TObject* AEdit,
                                         bool& ADisplayValueChanged) {
  ADisplayValueChanged = false;
  auto* edit = dynamic_cast<TcxCustomEdit*>(AEdit);
  if (!edit || !edit->IsOnValidateEventAssigned()) return;
  Variant kept = ADisplayValue;
  edit->DoOnValidate(ADisplayValue, AErrorText, AError);
  if (!AError) return;
  if (VarToStr(ADisplayValue) != VarToStr(kept))
    ADisplayValueChanged = true;
  else
    ADisplayValue = Variant(edit->GetDisplayValue());
}
