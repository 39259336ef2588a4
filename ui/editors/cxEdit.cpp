#include "cxEdit.h"

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "cxVariants.h"

TAlignment cxEditDefaultHorzAlignment = taLeftJustify;
TcxEditVertAlignment cxEditDefaultVertAlignment = taTopJustify;
const char* const cxEditStyleValueNameA[6] = {
    "ButtonStyle",     "ButtonTransparency", "PopupBorderStyle",
    "GradientButtons", "Gradient",           "GradientDirection"};

namespace {

// Every live properties object, so that a provider that goes can be
// forgotten by all its users.
std::vector<TcxCustomEditProperties*> gPropertiesList;
TObjectPtr<TcxRegisteredClasses> gRegisteredEditProperties;

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomEditDefaultValuesProvider
// ---------------------------------------------------------------------------

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() {
  ClearUsers();
}

void* TcxCustomEditDefaultValuesProvider::GetInterfaceFor(const TGUID& iid) {
  if (iid == IcxEditDefaultValuesProvider::IID)
    return static_cast<IcxEditDefaultValuesProvider*>(this);
  return TcxInterfacedPersistent::GetInterfaceFor(iid);
}

void TcxCustomEditDefaultValuesProvider::ClearUsers() {
  // A user may leave the list while it is told.
  const std::vector<TcxCustomEditProperties*> users = gPropertiesList;
  for (TcxCustomEditProperties* p : users) {
    IcxEditDefaultValuesProvider* provider = p->IDefaultValuesProvider();
    if (provider && provider->GetInstance() == GetInstance())
      p->DefaultValuesProviderDestroyed();
  }
}

// ---------------------------------------------------------------------------
// TcxEditAlignment
// ---------------------------------------------------------------------------

void TcxEditAlignment::DoChanged() {
  if (OnChanged) OnChanged(this);
}

void TcxEditAlignment::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditAlignment*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  vert_ = source->vert_;
  horz_ = source->horz_;
  isHorzAssigned_ = source->isHorzAssigned_;
  DoChanged();
}

void TcxEditAlignment::SetHorz(TAlignment Value) {
  if (isHorzAssigned_ && horz_ == Value) return;
  isHorzAssigned_ = true;
  horz_ = Value;
  DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value) {
  if (vert_ == Value) return;
  vert_ = Value;
  DoChanged();
}

void TcxEditAlignment::Reset() {
  isHorzAssigned_ = false;
  DoChanged();
}

// ---------------------------------------------------------------------------
// TcxCustomEditPropertiesValues
// ---------------------------------------------------------------------------

TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues(
    TPersistent* AOwner)
    : owner_(AOwner) {}

TcxCustomEditProperties* TcxCustomEditPropertiesValues::Properties() const {
  return dynamic_cast<TcxCustomEditProperties*>(owner_);
}

void TcxCustomEditPropertiesValues::BeginUpdate() {
  if (TcxCustomEditProperties* p = Properties()) p->BeginUpdate();
}

void TcxCustomEditPropertiesValues::EndUpdate() {
  if (TcxCustomEditProperties* p = Properties()) p->EndUpdate();
}

void TcxCustomEditPropertiesValues::Changed() {
  if (TcxCustomEditProperties* p = Properties()) p->Changed();
}

void TcxCustomEditPropertiesValues::SetFlag(bool& AFlag, bool Value) {
  if (AFlag == Value) return;
  AFlag = Value;
  Changed();
}

void TcxCustomEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditPropertiesValues*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  auto update = MakeBracket(this, &TcxCustomEditPropertiesValues::BeginUpdate,
                            &TcxCustomEditPropertiesValues::EndUpdate);
  SetMaxValue(source->maxValue_);
  SetMinValue(source->minValue_);
  SetReadOnly(source->readOnly_);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() {
  auto update = MakeBracket(this, &TcxCustomEditPropertiesValues::BeginUpdate,
                            &TcxCustomEditPropertiesValues::EndUpdate);
  SetMaxValue(false);
  SetMinValue(false);
  SetReadOnly(false);
}

// ---------------------------------------------------------------------------
// TcxCustomEditProperties
// ---------------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner),
      buttons_(new TcxEditButtons(this, TcxEditButtons::GetButtonClass())),
      freeNotificator_(new TcxFreeNotificator(nullptr)),
      storedAlignment_(new TcxEditAlignment(this)),
      alignment_(new TcxEditAlignment(this)),
      assignedValues_(new TcxCustomEditPropertiesValues(this)) {
  buttons_->OnChange =
      TNotifyEvent(this, &TcxCustomEditProperties::ButtonsChanged);
  freeNotificator_->OnFreeNotification = TcxFreeNotificationEvent(
      this, &TcxCustomEditProperties::FreeNotificationHandler);
  alignment_->OnChanged =
      TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChangedHandler);
  // A virtual call from the constructor reaches this class's answer only;
  // descendants with another default set the field again in theirs.
  useLeftAlignmentOnEditing_ = DefaultUseLeftAlignmentOnEditing();
  gPropertiesList.push_back(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  cxInplaceEditListsDisconnect(this);
  provider_ = nullptr;
  std::erase(gPropertiesList, this);
}

TObjectPtr<TcxCustomEditProperties>
TcxCustomEditProperties::CreatePreviewProperties() {
  return OwnedCast<TcxCustomEditProperties>(ClassType()->NewInstance(nullptr));
}

void TcxCustomEditProperties::BeginUpdate() {
  if (updateCount_ == 0) changedOccurred_ = false;
  ++updateCount_;
}

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (updateCount_ < 1) return;
  --updateCount_;
  if (updateCount_ == 0 && AInvokeChanged && changedOccurred_) Changed();
}

bool TcxCustomEditProperties::ChangedLocked() const {
  return changesLocked_ || updateCount_ > 0;
}

void TcxCustomEditProperties::Changed() {
  auto* owner = dynamic_cast<TComponent*>(GetOwner());
  if (ChangedLocked() ||
      (owner && owner->ComponentState().Contains(csDestroying))) {
    changedOccurred_ = true;
    return;
  }
  if (OnPropertiesChanged) OnPropertiesChanged(this);
}

void TcxCustomEditProperties::SetAutoSelect(bool Value) {
  if (autoSelect_ == Value) return;
  autoSelect_ = Value;
  Changed();
}

void TcxCustomEditProperties::SetButtonsViewStyle(
    TcxEditButtonsViewStyle Value) {
  if (buttonsViewStyle_ == Value) return;
  buttonsViewStyle_ = Value;
  Changed();
}

void TcxCustomEditProperties::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  Changed();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (useLeftAlignmentOnEditing_ == Value) return;
  useLeftAlignmentOnEditing_ = Value;
  Changed();
}

template <class T>
void TcxCustomEditProperties::SetAssigned(
    T& AField, T Value,
    bool (TcxCustomEditPropertiesValues::*AIsAssigned)() const,
    void (TcxCustomEditPropertiesValues::*AAssign)(bool)) {
  if ((assignedValues_.get()->*AIsAssigned)() && AField == Value) return;
  // The assigned flag reports a change too: one notice for both.
  auto update = UpdateScope();
  AField = Value;
  (assignedValues_.get()->*AAssign)(true);
  Changed();
}

void TcxCustomEditProperties::SetMaxValue(double Value) {
  SetAssigned(maxValue_, Value, &TcxCustomEditPropertiesValues::MaxValue,
              &TcxCustomEditPropertiesValues::SetMaxValue);
}

void TcxCustomEditProperties::SetMinValue(double Value) {
  SetAssigned(minValue_, Value, &TcxCustomEditPropertiesValues::MinValue,
              &TcxCustomEditPropertiesValues::SetMinValue);
}

void TcxCustomEditProperties::SetReadOnly(bool Value) {
  SetAssigned(readOnly_, Value, &TcxCustomEditPropertiesValues::ReadOnly,
              &TcxCustomEditPropertiesValues::SetReadOnly);
}

void TcxCustomEditProperties::FillMinMaxValues(double AMaxValue,
                                               double AMinValue) {
  if (assignedValues_->MaxValue() && assignedValues_->MinValue() &&
      maxValue_ == AMaxValue && minValue_ == AMinValue)
    return;
  auto update = UpdateScope();
  maxValue_ = AMaxValue;
  minValue_ = AMinValue;
  assignedValues_->SetMaxValue(true);
  assignedValues_->SetMinValue(true);
  Changed();
}

void TcxCustomEditProperties::SetIDefaultValuesProvider(
    IcxEditDefaultValuesProvider* Value) {
  provider_ = Value;
  // Only an editor's own properties follow its data at once; shared ones
  // are told through the editor (the repository's binding).
  TPersistent* owner = GetOwner();
  if (owner && ClassInheritsFrom(owner->ClassType(), "TcxCustomEdit"))
    DefaultValuesChanged();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment() {
  if (provider_) return provider_->DefaultAlignment();
  return alignment_->Horz();
}

bool TcxCustomEditProperties::IsAlignmentStored() {
  return storedAlignment_->IsHorzAssigned() ||
         storedAlignment_->Vert() != cxEditDefaultVertAlignment;
}

TcxEditAlignment* TcxCustomEditProperties::Alignment() {
  alignment_->OnChanged = nullptr;
  alignment_->vert_ = storedAlignment_->vert_;
  alignment_->horz_ = storedAlignment_->horz_;
  alignment_->isHorzAssigned_ = storedAlignment_->isHorzAssigned_;
  TComponent* owner = GetOwnerComponent(this);
  if (IsAlignmentStored() && owner &&
      owner->ComponentState().Contains(csWriting))
    return alignment_.get();
  if (!storedAlignment_->IsHorzAssigned())
    alignment_->horz_ = GetDefaultHorzAlignment();
  alignment_->OnChanged =
      TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChangedHandler);
  return alignment_.get();
}

void TcxCustomEditProperties::AlignmentChangedHandler(TObject*) {
  storedAlignment_->OnChanged = nullptr;
  storedAlignment_->Assign(alignment_.get());
  Changed();
}

void TcxCustomEditProperties::BaseSetAlignment(TcxEditAlignment* Value) {
  storedAlignment_->Assign(Value);
  Changed();
}

bool TcxCustomEditProperties::GetReadOnly() {
  if (assignedValues_->ReadOnly()) return readOnly_;
  if (provider_) return provider_->DefaultReadOnly();
  return false;
}

bool TcxCustomEditProperties::CanModify() {
  if (assignedValues_->ReadOnly() && !readOnly_) return true;
  if (GetReadOnly()) return false;
  if (!provider_) return true;
  return provider_->DefaultCanModify() && provider_->CanSetEditMode();
}

double TcxCustomEditProperties::GetMaxValue() {
  if (assignedValues_->MaxValue()) return maxValue_;
  return provider_ ? provider_->DefaultMaxValue() : 0;
}

double TcxCustomEditProperties::GetMinValue() {
  if (assignedValues_->MinValue()) return minValue_;
  return provider_ ? provider_->DefaultMinValue() : 0;
}

String TcxCustomEditProperties::GetValidateErrorText(Integer) {
  return cxGetResourceString(cxSEditValidateErrorText);
}

TcxDataEditValueSource TcxCustomEditProperties::GetValueEditorEditValueSource(
    bool AEditFocused) {
  const TcxEditDisplayFormatOptions options = GetDisplayFormatOptions();
  if (!AEditFocused && options.Contains(dfoSupports) && provider_ &&
      provider_->IsDisplayFormatDefined(!options.Contains(dfoNoCurrencyValue)))
    return evsText;
  return evsValue;
}

bool TcxCustomEditProperties::IsValueEditorWithValueFormatting() {
  const TcxEditDisplayFormatOptions options = GetDisplayFormatOptions();
  return options.Contains(dfoSupports) &&
         GetEditValueSource(true) == evsValue &&
         GetEditValueSource(false) == evsText && provider_ &&
         provider_->IsDisplayFormatDefined(
             !options.Contains(dfoNoCurrencyValue));
}

bool TcxCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1,
                                                   const Variant& AEditValue2) {
  Variant v1;
  Variant v2;
  PrepareDisplayValue(AEditValue1, v1, false);
  PrepareDisplayValue(AEditValue2, v2, false);
  return v1 == v2;
}

WideString TcxCustomEditProperties::GetDisplayText(const Variant&, bool, bool) {
  return WideString();
}

TcxEditSupportedOperations TcxCustomEditProperties::GetSupportedOperations() {
  if (buttons_->Count() > 0) return {esoHotTrack};
  return {};
}

bool TcxCustomEditProperties::IsEditValueValid(Variant&, bool) { return true; }

void TcxCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue,
                                                  Variant& ADisplayValue,
                                                  bool) {
  ADisplayValue = AEditValue;
}

void TcxCustomEditProperties::RestoreDefaults() {
  storedAlignment_->Reset();
  auto update = UpdateScope();
  assignedValues_->RestoreDefaults();
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue,
                                                   String& AErrorText,
                                                   bool& AError,
                                                   TObject* AEdit) {
  if (!CanValidate()) return;
  if (AErrorText.empty()) AErrorText = GetValidateErrorText(0);
  bool changed = false;
  DoValidate(ADisplayValue, AErrorText, AError, AEdit, changed);
}

void TcxCustomEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditProperties*>(Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  SetAutoSelect(source->autoSelect_);
  buttons_->Assign(source->buttons_.get());
  SetButtonsViewStyle(source->buttonsViewStyle_);
  beepOnError_ = source->beepOnError_;
  clearKey_ = source->clearKey_;
  clickKey_ = source->clickKey_;
  SetUseLeftAlignmentOnEditing(source->useLeftAlignmentOnEditing_);
  provider_ = source->provider_;
  BaseSetAlignment(source->Alignment());
  assignedValues_->SetMaxValue(false);
  if (source->assignedValues_->MaxValue()) SetMaxValue(source->GetMaxValue());
  assignedValues_->SetMinValue(false);
  if (source->assignedValues_->MinValue()) SetMinValue(source->GetMinValue());
  assignedValues_->SetReadOnly(false);
  if (source->assignedValues_->ReadOnly()) SetReadOnly(source->GetReadOnly());
  immediatePost_ = source->immediatePost_;
  SetTransparent(source->transparent_);
  useMouseWheel_ = source->useMouseWheel_;
  validateOnEnter_ = source->validateOnEnter_;
  OnButtonClick = source->OnButtonClick;
  OnChange = source->OnChange;
  OnEditValueChanged = source->OnEditValueChanged;
  OnValidate = source->OnValidate;
}

// ---------------------------------------------------------------------------
// Module routines
// ---------------------------------------------------------------------------

TcxRegisteredClasses* GetRegisteredEditProperties() {
  if (!gRegisteredEditProperties) {
    gRegisteredEditProperties.reset(new TcxRegisteredClasses(false));
    gRegisteredEditProperties->SetKeepSorted(true);
  }
  return gRegisteredEditProperties.get();
}

TComponent* GetOwnerComponent(TPersistent* APersistent) {
  // A chain of owners that loops back is treated as having no component.
  for (Integer guard = 0; APersistent && guard < 1000; ++guard) {
    if (auto* c = dynamic_cast<TComponent*>(APersistent)) return c;
    APersistent = APersistent->GetOwner();
  }
  return nullptr;
}

bool InternalVarEqualsExact(const Variant& V1, const Variant& V2) {
  return V1.VarType() == V2.VarType() && VarEqualsExact(V1, V2);
}

bool IsSpaceChar(char C) {
  switch (static_cast<unsigned char>(C)) {
    case 0:
    case 9:
    case 10:
    case 12:
    case 13:
    case 32:
      return true;
    default:
      return false;
  }
}

void CheckSize(TSize& ASize, const TSize& AMinSize) {
  ASize.cx = std::max(ASize.cx, AMinSize.cx);
  ASize.cy = std::max(ASize.cy, AMinSize.cy);
}

TShiftState ButtonToShift(TMouseButton AButton) {
  switch (AButton) {
    case mbRight:
      return {ssRight};
    case mbMiddle:
      return {ssMiddle};
    case mbLeft:
    default:
      return {ssLeft};
  }
}

void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState) {
  SendMessageA(AControl->Handle(), WM_KEYDOWN, AKey, 0);
}

void SendKeyPress(TWinControl* AControl, char AKey) {
  SendMessageA(AControl->Handle(), WM_CHAR,
               static_cast<WPARAM>(static_cast<unsigned char>(AKey)), 0);
}

void SendKeyUp(TWinControl* AControl, Word AKey, TShiftState) {
  SendMessageA(AControl->Handle(), WM_KEYUP, AKey, 0);
}

void UniteRegions(HRGN ADest, HRGN ASource) {
  CombineRgn(ADest, ADest, ASource, RGN_OR);
}

namespace {

void EditStartup() {
  if (Screen)
    Screen->SetCursors(
        crcxEditMouseWheel,
        ::LoadCursorA(::GetModuleHandleA(nullptr), "CXEDIT_MOUSEWHEEL"));
  // An auto-sizing editor leaves its measured size out of form streams.
  TPublished<TcxCustomEdit>()
      .Property("Height", &TControl::Height, &TControl::SetHeight)
      .Stored(&TcxCustomEdit::IsHeightStored)
      .Property("Width", &TControl::Width, &TControl::SetWidth)
      .Stored(&TcxCustomEdit::IsWidthStored);
}

void EditShutdown() {
  UnpublishClass(TcxCustomEdit::StaticClass());
  gRegisteredEditProperties.reset();
}

}  // namespace

VARNEL_UNIT(cxEdit, ({"cxEditUtils", "cxClasses", "Forms"}), &EditStartup,
            &EditShutdown);
