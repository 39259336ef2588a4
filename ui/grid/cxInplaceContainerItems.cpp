// The items of an editing control: their options, styles, data binding with
// the value type, the effective edit properties, values read and written
// through the data controller, and the cells' view data; the value-type
// registry by name; the control's options and its data controller.
#include "cxCheckBox.h"
#include "cxInplaceContainer.h"
#include "cxTextEdit.h"

// ---------------------------------------------------------------------------
// Value types by name
// ---------------------------------------------------------------------------

void TcxValueTypeClassRepository::RegisterValueTypeClass(
    const String& ADescription, TcxValueTypeClass AClass) {
  if (!AClass || !FindByClassType(AClass).empty()) return;
  items_.emplace_back(ADescription, AClass);
}

void TcxValueTypeClassRepository::UnRegisterValueTypeClass(
    TcxValueTypeClass AClass) {
  for (auto it = items_.begin(); it != items_.end(); ++it)
    if (it->second == AClass) {
      items_.erase(it);
      return;
    }
}

String TcxValueTypeClassRepository::FindByClassType(
    TcxValueTypeClass AClass) const {
  for (const auto& item : items_)
    if (item.second == AClass) return item.first;
  return String();
}

TcxValueTypeClass TcxValueTypeClassRepository::FindByDescription(
    const String& ADescription) const {
  for (const auto& item : items_)
    if (SameText(item.first, ADescription)) return item.second;
  return nullptr;
}

namespace {

TObjectPtr<TcxValueTypeClassRepository>& ValueTypeRepository() {
  static TObjectPtr<TcxValueTypeClassRepository> repository;
  return repository;
}

// Serves an item of a value type that names no editor: a repository item
// whose properties class is given at creation.
class TcxieDefaultRepositoryItem : public TcxEditRepositoryItem {
  VARNEL_CLASS(TcxieDefaultRepositoryItem, TcxEditRepositoryItem)
 public:
  TcxieDefaultRepositoryItem(TClass APropertiesClass)
      : TcxEditRepositoryItem(nullptr), propertiesClass_(APropertiesClass) {
    CreateProperties();
  }
  TClass GetEditPropertiesClass() override { return propertiesClass_; }

 private:
  TClass propertiesClass_;
};

std::vector<std::pair<TcxValueTypeClass, TObjectPtr<TcxEditRepositoryItem>>>&
DefaultItems() {
  static std::vector<
      std::pair<TcxValueTypeClass, TObjectPtr<TcxEditRepositoryItem>>>
      items;
  return items;
}

void InplaceContainerStartup() {
  ValueTypeRepository().reset(new TcxValueTypeClassRepository());
  cxieRegisterValueTypeClass("Boolean", TcxBooleanValueType::Class());
  cxieRegisterValueTypeClass("String", TcxStringValueType::Class());
  cxieRegisterValueTypeClass("Integer", TcxIntegerValueType::Class());
  cxieRegisterValueTypeClass("Currency", TcxCurrencyValueType::Class());
  cxieRegisterValueTypeClass("Float", TcxFloatValueType::Class());
  cxieRegisterValueTypeClass("DateTime", TcxDateTimeValueType::Class());
  cxieRegisterValueTypeClass("Variant", TcxVariantValueType::Class());
}

void InplaceContainerShutdown() {
  DefaultItems().clear();
  ValueTypeRepository().reset();
}

}  // namespace

VARNEL_UNIT(cxInplaceContainer, ({"cxEdit", "cxCheckBox", "cxTextEdit"}),
            &InplaceContainerStartup, &InplaceContainerShutdown);

TcxValueTypeClassRepository* cxieValueTypeClassRepository() {
  return ValueTypeRepository().get();
}

void cxieRegisterValueTypeClass(const String& ADescription,
                                TcxValueTypeClass AClass) {
  if (auto* repository = cxieValueTypeClassRepository())
    repository->RegisterValueTypeClass(ADescription, AClass);
}

void cxieUnRegisterValueTypeClass(TcxValueTypeClass AClass) {
  if (auto* repository = cxieValueTypeClassRepository())
    repository->UnRegisterValueTypeClass(AClass);
}

TcxEditRepositoryItem* cxGetDefaultEditDataRepositoryItem(
    TcxValueTypeClass AValueTypeClass) {
  if (!AValueTypeClass) AValueTypeClass = TcxStringValueType::Class();
  auto& items = DefaultItems();
  for (auto& item : items)
    if (item.first == AValueTypeClass) return item.second.get();
  const TClass propertiesClass = AValueTypeClass == TcxBooleanValueType::Class()
                                     ? TcxCheckBoxProperties::StaticClass()
                                     : TcxTextEditProperties::StaticClass();
  items.emplace_back(AValueTypeClass,
                     TObjectPtr<TcxEditRepositoryItem>(
                         new TcxieDefaultRepositoryItem(propertiesClass)));
  return items.back().second.get();
}

// ---------------------------------------------------------------------------
// Item options
// ---------------------------------------------------------------------------

TcxCustomInplaceEditContainer* TcxCustomEditContainerItemOptions::Item() const {
  return dynamic_cast<TcxCustomInplaceEditContainer*>(Owner());
}

void TcxCustomEditContainerItemOptions::Changed() {
  if (auto* item = Item()) item->Changed();
}

void TcxCustomEditContainerItemOptions::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditContainerItemOptions*>(Source);
  if (!source) return TcxOwnedPersistent::Assign(Source);
  SetEditing(source->Editing());
  SetFiltering(source->Filtering());
  SetFocusing(source->Focusing());
  SetIncSearch(source->IncSearch());
  SetShowEditButtons(source->ShowEditButtons());
  SetTabStop(source->TabStop());
}

void TcxCustomEditContainerItemOptions::SetEditing(bool Value) {
  if (editing_ == Value) return;
  editing_ = Value;
  if (!Value && Item()) Item()->SetEditing(false);
}

void TcxCustomEditContainerItemOptions::SetFiltering(bool Value) {
  if (filtering_ == Value) return;
  filtering_ = Value;
  Changed();
}

void TcxCustomEditContainerItemOptions::SetFocusing(bool Value) {
  if (focusing_ == Value) return;
  focusing_ = Value;
  if (!Value && Item()) Item()->SetFocused(false);
}

void TcxCustomEditContainerItemOptions::SetIncSearch(bool Value) {
  if (incSearch_ == Value) return;
  if (!Value && Item() && Item()->IncSearching()) Item()->CancelIncSearching();
  incSearch_ = Value;
}

void TcxCustomEditContainerItemOptions::SetShowEditButtons(
    TcxEditItemShowEditButtons Value) {
  if (showEditButtons_ == Value) return;
  showEditButtons_ = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Control options
// ---------------------------------------------------------------------------

namespace {
TcxEditingControl* OwnerControl(TPersistent* AOwner) {
  return dynamic_cast<TcxEditingControl*>(AOwner);
}
}  // namespace

TcxEditingControl* TcxControlOptionsView::Control() const {
  return OwnerControl(Owner());
}

void TcxControlOptionsView::Changed() {
  if (auto* control = Control()) control->LayoutChanged();
}

void TcxControlOptionsView::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxControlOptionsView*>(Source);
  if (!source) return TcxOwnedPersistent::Assign(Source);
  SetCellAutoHeight(source->CellAutoHeight());
  SetCellEndEllipsis(source->CellEndEllipsis());
  SetCellTextMaxLineCount(source->CellTextMaxLineCount());
  SetScrollBars(source->ScrollBars());
  SetShowEditButtons(source->ShowEditButtons());
}

void TcxControlOptionsView::SetCellAutoHeight(bool Value) {
  if (cellAutoHeight_ == Value) return;
  cellAutoHeight_ = Value;
  Changed();
}

void TcxControlOptionsView::SetCellEndEllipsis(bool Value) {
  if (cellEndEllipsis_ == Value) return;
  cellEndEllipsis_ = Value;
  Changed();
}

void TcxControlOptionsView::SetCellTextMaxLineCount(Integer Value) {
  if (cellTextMaxLineCount_ == Value) return;
  cellTextMaxLineCount_ = Value;
  Changed();
}

TScrollStyle TcxControlOptionsView::ScrollBars() const {
  return Control() ? Control()->ScrollBars() : ssBoth;
}

void TcxControlOptionsView::SetScrollBars(TScrollStyle Value) {
  if (auto* control = Control()) control->SetScrollBars(Value);
}

void TcxControlOptionsView::SetShowEditButtons(
    TcxEditingControlEditShowButtons Value) {
  if (showEditButtons_ == Value) return;
  showEditButtons_ = Value;
  Changed();
}

TcxEditingControl* TcxControlOptionsData::Control() const {
  return OwnerControl(Owner());
}

void TcxControlOptionsData::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxControlOptionsData*>(Source);
  if (!source) return TcxOwnedPersistent::Assign(Source);
  SetCancelOnExit(source->CancelOnExit());
  SetEditing(source->Editing());
}

void TcxControlOptionsData::SetEditing(bool Value) {
  if (editing_ == Value) return;
  editing_ = Value;
  if (!Value && Control() && Control()->Controller())
    Control()->Controller()->SetEditingItem(nullptr);
  Changed();
}

TcxEditingControl* TcxControlOptionsBehavior::Control() const {
  return OwnerControl(Owner());
}

void TcxControlOptionsBehavior::Changed() {
  if (auto* control = Control())
    if (control->Controller()) control->Controller()->BehaviorChanged();
}

template <class T>
void TcxControlOptionsBehavior::SetField(T& AField, T Value) {
  if (AField == Value) return;
  AField = Value;
  Changed();
}

void TcxControlOptionsBehavior::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxControlOptionsBehavior*>(Source);
  if (!source) return TcxOwnedPersistent::Assign(Source);
  SetAlwaysShowEditor(source->AlwaysShowEditor());
  SetCellHints(source->CellHints());
  SetFocusCellOnCycle(source->FocusCellOnCycle());
  SetFocusFirstCellOnNewRecord(source->FocusFirstCellOnNewRecord());
  SetGoToNextCellOnEnter(source->GoToNextCellOnEnter());
  SetGoToNextCellOnTab(source->GoToNextCellOnTab());
  SetImmediateEditor(source->ImmediateEditor());
}

void TcxControlOptionsBehavior::SetAlwaysShowEditor(bool Value) {
  SetField(alwaysShowEditor_, Value);
}
void TcxControlOptionsBehavior::SetCellHints(bool Value) {
  SetField(cellHints_, Value);
}
void TcxControlOptionsBehavior::SetDragDropImages(bool Value) {
  SetField(dragDropImages_, Value);
}
void TcxControlOptionsBehavior::SetFocusCellOnCycle(bool Value) {
  SetField(focusCellOnCycle_, Value);
}
void TcxControlOptionsBehavior::SetFocusFirstCellOnNewRecord(bool Value) {
  SetField(focusFirstCellOnNewRecord_, Value);
}
void TcxControlOptionsBehavior::SetGoToNextCellOnEnter(bool Value) {
  SetField(goToNextCellOnEnter_, Value);
}

void TcxControlOptionsBehavior::SetGoToNextCellOnTab(bool Value) {
  if (goToNextCellOnTab_ == Value) return;
  goToNextCellOnTab_ = Value;
  if (auto* control = Control()) {
    TcxKeys keys = control->Keys();
    if (Value)
      keys.Include(kTab);
    else
      keys.Exclude(kTab);
    control->SetKeys(keys);
  }
  Changed();
}

void TcxControlOptionsBehavior::SetImmediateEditor(bool Value) {
  SetField(immediateEditor_, Value);
}

void TcxControlOptionsBehavior::SetIncSearch(bool Value) {
  if (incSearch_ == Value) return;
  incSearch_ = Value;
  if (!Value && Control() && Control()->Controller())
    Control()->Controller()->CancelIncSearching();
}

void TcxControlOptionsBehavior::SetIncSearchItem(
    TcxCustomInplaceEditContainer* Value) {
  if (incSearchItem_ == Value) return;
  incSearchItem_ = Value;
  if (Control() && Control()->Controller())
    Control()->Controller()->CancelIncSearching();
}

// ---------------------------------------------------------------------------
// Item styles and data binding
// ---------------------------------------------------------------------------

void TcxEditContainerStyles::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxEditContainerStyles*>(Source))
    SetContent(source->Content());
  TcxStyles::Assign(Source);
}

void TcxEditContainerStyles::Changed(Integer AIndex) {
  TcxStyles::Changed(AIndex);
  auto* item = dynamic_cast<TcxCustomInplaceEditContainer*>(GetOwner());
  if (item && item->EditingControl())
    item->EditingControl()->UpdateViewStyles();
}

TcxCustomItemDataBinding::TcxCustomItemDataBinding(
    TcxCustomInplaceEditContainer* AItem)
    : TcxOwnedPersistent(AItem),
      item_(AItem),
      provider_(new TcxContainerItemDefaultValuesProvider(nullptr)) {}

TcxCustomItemDataBinding::~TcxCustomItemDataBinding() = default;

TcxEditRepositoryItem* TcxCustomItemDataBinding::DefaultRepositoryItem() {
  return cxGetDefaultEditDataRepositoryItem(GetValueTypeClass());
}

IcxEditDefaultValuesProvider*
TcxCustomItemDataBinding::GetDefaultValuesProvider(TcxCustomEditProperties*) {
  return provider_.get();
}

TcxValueTypeClass TcxCustomItemDataBinding::GetValueTypeClass() {
  return TcxStringValueType::Class();
}

void TcxCustomItemDataBinding::ValueTypeClassChanged() {
  if (auto* controller = item_->DataController())
    if (item_->ItemIndex() >= 0 &&
        item_->ItemIndex() < controller->GetItemCount())
      controller->ChangeValueTypeClass(item_->ItemIndex(), GetValueTypeClass());
  item_->InternalPropertiesChanged();
}

bool TcxCustomItemDataBinding::IsDisplayFormatDefined(
    bool AIsCurrencyValueAccepted) {
  (void)AIsCurrencyValueAccepted;
  return item_->HasDataTextHandler();
}

void TcxItemDataBinding::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxItemDataBinding*>(Source);
  if (!source) return TcxCustomItemDataBinding::Assign(Source);
  SetValueType(source->ValueType());
  SetValueTypeClass(source->GetValueTypeClass());
}

TcxValueTypeClass TcxItemDataBinding::GetValueTypeClass() {
  return valueTypeClass_ ? valueTypeClass_ : TcxStringValueType::Class();
}

void TcxItemDataBinding::SetValueTypeClass(TcxValueTypeClass Value) {
  if (Value == GetValueTypeClass()) return;
  valueTypeClass_ = Value;
  ValueTypeClassChanged();
}

String TcxItemDataBinding::ValueType() {
  auto* repository = cxieValueTypeClassRepository();
  return repository ? repository->FindByClassType(GetValueTypeClass())
                    : String();
}

void TcxItemDataBinding::SetValueType(const String& Value) {
  auto* repository = cxieValueTypeClassRepository();
  if (!repository) return;
  if (TcxValueTypeClass cls = repository->FindByDescription(Value))
    SetValueTypeClass(cls);
}

bool TcxItemDataBinding::IsValueTypeStored() {
  return GetValueTypeClass() != TcxStringValueType::Class();
}

// ---------------------------------------------------------------------------
// TcxCustomInplaceEditContainer
// ---------------------------------------------------------------------------

TcxCustomInplaceEditContainer::TcxCustomInplaceEditContainer(TComponent* AOwner)
    : TComponent(AOwner) {
  dataBinding_ = GetDataBindingClass()(this);
  options_ = CreateOptions();
  styles_ = CreateStyles();
}

TcxCustomInplaceEditContainer::~TcxCustomInplaceEditContainer() {
  if (!destroying_) {
    destroying_ = true;
    SetRepositoryItem(nullptr);
    SetEditingControl(nullptr);
  }
  DestroyProperties();
}

void TcxCustomInplaceEditContainer::BeforeDestruction() {
  destroying_ = true;
  if (editingControl_ && !editingControl_->IsDestroying() &&
      editingControl_->IsDesigning() &&
      editingControl_->DesignSelectionHelper())
    editingControl_->DesignSelectionHelper()->UnselectObject(this);
  SetRepositoryItem(nullptr);
  SetEditingControl(nullptr);
  options_.reset();
  styles_.reset();
  DestroyProperties();
  TComponent::BeforeDestruction();
}

Integer TcxCustomInplaceEditContainer::QueryInterface(const TGUID& iid,
                                                      void** obj) {
  if (iid == IcxEditRepositoryItemListener::IID) {
    *obj = static_cast<IcxEditRepositoryItemListener*>(this);
    return 0;
  }
  return TComponent::QueryInterface(iid, obj);
}

void TcxCustomInplaceEditContainer::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomInplaceEditContainer*>(Source);
  if (!source) return TComponent::Assign(Source);
  dataBinding_->Assign(source->DataBinding());
  SetPropertiesClassName(source->PropertiesClassName());
  SetProperties(source->Properties());
  SetRepositoryItem(source->RepositoryItem());
  styles_->Assign(source->Styles());
  OnGetEditProperties = source->OnGetEditProperties;
}

bool TcxCustomInplaceEditContainer::IsDestroying() const {
  return destroying_ || ComponentState().Contains(csDestroying);
}

void TcxCustomInplaceEditContainer::SetEditingControl(
    TcxEditingControl* Value) {
  if (editingControl_ == Value) return;
  if (Value && Value->ViewInfo())
    Value->ViewInfo()->SetState(TcxCustomControlViewInfo::cvis_StyleInvalid,
                                true);
  if (TcxEditingControl* old = editingControl_) {
    editingControl_ = nullptr;
    editingControl_ = old;
    old->DoInplaceEditContainerItemRemoved(this);
    editingControl_ = nullptr;
  }
  editingControl_ = Value;
  if (!Value) return;
  Value->BeginUpdate();
  TScopeGuard cancel([Value] { Value->CancelUpdate(); });
  Value->DoInplaceEditContainerItemAdded(this);
  dataBinding_->ValueTypeClassChanged();
  cancel.Dismiss();
  Value->CancelUpdate();
  InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::SetProperties(
    TcxCustomEditProperties* Value) {
  if (properties_ && Value) properties_->Assign(Value);
}

void TcxCustomInplaceEditContainer::SetPropertiesClass(TClass Value) {
  if (propertiesClass_ == Value) return;
  propertiesClass_ = Value;
  DestroyProperties();
  CreateProperties();
  InternalPropertiesChanged();
}

String TcxCustomInplaceEditContainer::PropertiesClassName() const {
  return properties_ ? properties_->ClassName() : String();
}

void TcxCustomInplaceEditContainer::SetPropertiesClassName(
    const String& Value) {
  if (Value == PropertiesClassName()) return;
  SetPropertiesClass(GetRegisteredEditProperties()->FindByClassName(Value));
}

void TcxCustomInplaceEditContainer::SetRepositoryItem(
    TcxEditRepositoryItem* Value) {
  if (repositoryItem_ == Value) return;
  if (repositoryItem_) {
    repositoryItem_->RemoveListener(this);
    if (auto* controller = Controller())
      controller->EditingController()->RemoveEdit(
          repositoryItem_->Properties());
  }
  repositoryItem_ = Value;
  if (repositoryItem_) repositoryItem_->AddListener(this);
  InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::ItemRemoved(TcxEditRepositoryItem*) {
  SetRepositoryItem(nullptr);
}

void TcxCustomInplaceEditContainer::PropertiesChanged(TcxEditRepositoryItem*) {
  InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::CreateProperties() {
  if (!propertiesClass_) return;
  properties_ =
      OwnedCast<TcxCustomEditProperties>(propertiesClass_->NewInstance(this));
}

void TcxCustomInplaceEditContainer::DestroyProperties() {
  FreeEditData();
  editViewData_.reset();
  if (properties_) {
    if (auto* controller = Controller())
      controller->EditingController()->RemoveEdit(properties_.get());
    if (propertiesValue_ == properties_.get()) propertiesValue_ = nullptr;
    properties_.reset();
  }
}

void TcxCustomInplaceEditContainer::FreeEditData() {
  if (!editData_) return;
  TObjectPtr<TcxCustomEditData> data(editData_);
  editData_ = nullptr;
}

void TcxCustomInplaceEditContainer::InternalPropertiesChanged() {
  if (IsDestroying()) return;
  auto* controller = Controller();
  TcxEditingController* editing =
      controller ? controller->EditingController() : nullptr;
  if (!editing || (!editing->Edit() && !editing->EditHiding())) FreeEditData();
  editViewData_.reset();
  propertiesValue_ = GetDefaultEditProperties();
  InitProperties(propertiesValue_);
  if (editingControl_ && propertiesValue_)
    editViewData_ = CreateEditViewData(propertiesValue_, nullptr);
  if (propertiesValue_ && !propertiesValue_->OnPropertiesChanged)
    propertiesValue_->OnPropertiesChanged = TNotifyEvent(
        this, &TcxCustomInplaceEditContainer::DoOnPropertiesChanged);
  PropertiesChanged();
}

TcxCustomEditProperties*
TcxCustomInplaceEditContainer::GetDefaultEditProperties() {
  if (repositoryItem_) return repositoryItem_->Properties();
  if (properties_) return properties_.get();
  TcxEditRepositoryItem* item = dataBinding_->DefaultRepositoryItem();
  return item ? item->Properties() : nullptr;
}

void TcxCustomInplaceEditContainer::InitProperties(
    TcxCustomEditProperties* AProperties) {
  if (!AProperties) return;
  AProperties->LockUpdate(true);
  TScopeGuard unlock([AProperties] { AProperties->LockUpdate(false); });
  AProperties->SetIDefaultValuesProvider(
      dataBinding_->GetDefaultValuesProvider(AProperties));
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::DoGetEditProperties(
    void* AData) {
  return DoGetPropertiesFromEvent(OnGetEditProperties, AData, propertiesValue_);
}

void TcxCustomInplaceEditContainer::DoGetEditingProperties(
    void* AData, TcxCustomEditProperties*& AProperties) {
  AProperties =
      DoGetPropertiesFromEvent(OnGetEditingProperties, AData, AProperties);
}

TcxCustomEditProperties*
TcxCustomInplaceEditContainer::DoGetPropertiesFromEvent(
    const TcxGetEditPropertiesEvent& AEvent, void* AData,
    TcxCustomEditProperties* AProperties) {
  TcxCustomEditProperties* result = AProperties;
  if (AEvent) {
    AEvent(this, AData, result);
    if (!result) result = AProperties;
  }
  InitProperties(result);
  return result;
}

void TcxCustomInplaceEditContainer::DoOnPropertiesChanged(TObject*) {
  InternalPropertiesChanged();
}

bool TcxCustomInplaceEditContainer::CanFocus() {
  return options_ && options_->Focusing();
}

bool TcxCustomInplaceEditContainer::CanTabStop() {
  return options_ && options_->TabStop();
}

bool TcxCustomInplaceEditContainer::CanEdit() {
  if (!editingControl_ || !CanFocus() || !options_->Editing()) return false;
  if (!editingControl_->GetOptions()->GetOptionsData()->Editing()) return false;
  auto* controller = DataController();
  return controller->GetEditOperations().Contains(dceoShowEdit) &&
         controller->GetRecordCount() > 0;
}

bool TcxCustomInplaceEditContainer::CanInitEditing() {
  return DataController() && DataController()->CanInitEditing(itemIndex_);
}

bool TcxCustomInplaceEditContainer::CanIncSearch() {
  if (!editingControl_ || !propertiesValue_) return false;
  return propertiesValue_->GetSupportedOperations().Contains(esoIncSearch) &&
         editingControl_->GetOptions()->GetOptionsBehavior()->IncSearch() &&
         options_->IncSearch();
}

void TcxCustomInplaceEditContainer::Changed() {
  if (editingControl_) editingControl_->UpdateViewStyles();
}

void TcxCustomInplaceEditContainer::DataChanged() {
  dataBinding_->Init();
  InternalPropertiesChanged();
}

TObjectPtr<TcxCustomEditViewData>
TcxCustomInplaceEditContainer::CreateEditViewData(
    TcxCustomEditProperties* AProperties, void*) {
  TObjectPtr<TcxCustomEditViewData> viewData =
      AProperties->CreateViewData(GetEditStyle(nullptr), true);
  viewData->OnGetDisplayText = TcxEditViewDataGetDisplayTextEvent(
      this, &TcxCustomInplaceEditContainer::EditViewDataGetDisplayTextHandler);
  return viewData;
}

void TcxCustomInplaceEditContainer::EditViewDataGetDisplayTextHandler(
    TObject* Sender, String& AText) {
  (void)Sender;
  DoGetDisplayText(-1, AText);
}

TcxCustomEditStyle* TcxCustomInplaceEditContainer::GetEditStyle(void*) {
  return editingControl_ ? editingControl_->EditStyle() : nullptr;
}

TcxCanvas* TcxCustomInplaceEditContainer::GetControlCanvas() {
  if (editingControl_ && editingControl_->HandleAllocated())
    return editingControl_->Canvas();
  return cxScreenCanvas();
}

TcxCustomControlController* TcxCustomInplaceEditContainer::Controller() {
  return editingControl_ ? editingControl_->Controller() : nullptr;
}

TcxDataController* TcxCustomInplaceEditContainer::DataController() {
  return editingControl_ ? editingControl_->DataController() : nullptr;
}

TcxValueTypeClass TcxCustomInplaceEditContainer::GetEditDataValueTypeClass() {
  return dataBinding_->GetValueTypeClass();
}

Variant TcxCustomInplaceEditContainer::GetValue(Integer ARecordIndex) {
  return DataController()->GetValue(ARecordIndex, itemIndex_);
}

void TcxCustomInplaceEditContainer::SetValue(Integer ARecordIndex,
                                             const Variant& Value) {
  DataController()->SetValue(ARecordIndex, itemIndex_, Value);
}

Variant TcxCustomInplaceEditContainer::GetCurrentValue() {
  return GetValue(DataController()->GetFocusedRecordIndex());
}

void TcxCustomInplaceEditContainer::SetCurrentValue(const Variant& Value) {
  SetValue(DataController()->GetFocusedRecordIndex(), Value);
}

Integer TcxCustomInplaceEditContainer::GetValueCount() {
  return DataController() ? DataController()->GetRecordCount() : 0;
}

void TcxCustomInplaceEditContainer::GetDisplayValue(
    TcxCustomEditProperties* AProperties, Integer ARecordIndex,
    Variant& AValue) {
  if (AProperties && AProperties->GetEditValueSource(false) != evsValue)
    AValue =
        Variant(DataController()->GetDisplayText(ARecordIndex, itemIndex_));
  else
    AValue = GetValue(ARecordIndex);
}

Variant TcxCustomInplaceEditContainer::GetEditValue() {
  if (!Editing()) return Variant();
  TcxDataController* controller = DataController();
  if (controller->GetRecordCount() == 0) return Null();
  if (controller->IsEditing())
    return controller->GetEditValue(itemIndex_, editValueSource_);
  // The record enters its edit state with the first change; until then the
  // editor shows what the record holds.
  const Integer record = controller->GetFocusedRecordIndex();
  return record < 0 ? Null() : controller->GetValue(record, itemIndex_);
}

void TcxCustomInplaceEditContainer::SetEditValue(const Variant& Value) {
  if (Editing())
    DataController()->SetEditValue(itemIndex_, Value, editValueSource_);
}

bool TcxCustomInplaceEditContainer::GetEditing() {
  auto* controller = Controller();
  return controller && controller->EditingItem() == this;
}

void TcxCustomInplaceEditContainer::SetEditing(bool Value) {
  auto* controller = Controller();
  if (!controller) return;
  if (Value)
    controller->SetEditingItem(this);
  else if (Editing())
    controller->SetEditingItem(nullptr);
}

bool TcxCustomInplaceEditContainer::Focused() {
  auto* controller = Controller();
  return controller && controller->FocusedItem() == this;
}

void TcxCustomInplaceEditContainer::SetFocused(bool Value) {
  auto* controller = Controller();
  if (!controller) return;
  if (Value) {
    controller->SetFocusedItem(this);
    return;
  }
  // An item that may no longer hold the focus passes it on to the next
  // focusable item, or to none.
  if (controller->FocusedItem() != this || CanFocus()) return;
  TcxCustomInplaceEditContainer* next = nullptr;
  const Integer count = editingControl_->ItemCount();
  for (Integer i = 1; i < count && !next; ++i) {
    auto* candidate = editingControl_->Items((itemIndex_ + i) % count);
    if (candidate->CanFocus()) next = candidate;
  }
  if (Editing()) controller->EditingController()->HideEdit(false);
  if (next) {
    controller->SetFocusedItem(next);
  } else {
    controller->InternalSetFocusedItem(nullptr);
    controller->FocusedItemChanged(this);
  }
}

bool TcxCustomInplaceEditContainer::IncSearching() {
  auto* controller = Controller();
  return controller && controller->GetIncSearchingItem() == this;
}

void TcxCustomInplaceEditContainer::CancelIncSearching() {
  if (auto* controller = Controller()) controller->CancelIncSearching();
}

TcxEditCellViewInfo* TcxCustomInplaceEditContainer::GetFocusedCellViewInfo() {
  auto* controller = Controller();
  return controller ? controller->GetFocusedCellViewInfo(this) : nullptr;
}

bool TcxCustomInplaceEditContainer::IsEditPartVisible() {
  TcxEditCellViewInfo* cell = GetFocusedCellViewInfo();
  return cell && !IsRectEmpty(cell->ClipRect());
}

TcxCustomInplaceEditContainer::TcxDataBindingClass
TcxCustomInplaceEditContainer::GetDataBindingClass() {
  return cxSubObjectClass<TcxItemDataBinding, TcxCustomItemDataBinding,
                          TcxCustomInplaceEditContainer>();
}

TObjectPtr<TcxCustomEditContainerItemOptions>
TcxCustomInplaceEditContainer::CreateOptions() {
  return TObjectPtr<TcxCustomEditContainerItemOptions>(
      new TcxCustomEditContainerItemOptions(this));
}

TObjectPtr<TcxEditContainerStyles>
TcxCustomInplaceEditContainer::CreateStyles() {
  return TObjectPtr<TcxEditContainerStyles>(new TcxEditContainerStyles(this));
}

// --- Cells -------------------------------------------------------------------

void TcxCustomInplaceEditContainer::InitEditViewInfo(
    TcxEditCellViewInfo* AViewInfo) {
  TcxCustomEditProperties* previous = AViewInfo->Properties();
  AViewInfo->SetProperties(DoGetEditProperties(AViewInfo->GetViewInfoData()));
  AViewInfo->GetDisplayValue(AViewInfo->Value());
  AViewInfo->GetEditViewParams(AViewInfo->ViewParams());
  TcxCustomEditProperties* properties = AViewInfo->Properties();
  if (!properties) return;
  if (!previous || previous != properties) {
    if (properties == propertiesValue_ && editViewData_) {
      AViewInfo->SetViewData(nullptr);
      editViewData_->InitCacheData();
    } else {
      AViewInfo->SetViewData(
          CreateEditViewData(properties, AViewInfo->GetViewInfoData()));
    }
    AViewInfo->SetEditViewInfo(
        OwnedCast<TcxCustomEditViewInfo>(properties->GetViewInfoClass()()));
  } else if (!AViewInfo->ViewDataCreated()) {
    AViewInfo->SetViewData(nullptr);
  }
  TcxCustomEditViewData* viewData = AViewInfo->ViewData();
  if (!viewData) return;
  if (AViewInfo->IsAutoHeight())
    viewData->PaintOptions.Include(epoAutoHeight);
  else
    viewData->PaintOptions.Exclude(epoAutoHeight);
  if (AViewInfo->IsEndEllipsis())
    viewData->PaintOptions.Include(epoShowEndEllipsis);
  else
    viewData->PaintOptions.Exclude(epoShowEndEllipsis);
}

void TcxCustomInplaceEditContainer::CalculateEditViewInfo(
    const Variant& AValue, TcxEditCellViewInfo* AViewInfo,
    const TPoint& AMousePos) {
  TcxCustomEditViewData* viewData = AViewInfo->ViewData();
  TcxCustomEditViewInfo* editViewInfo = AViewInfo->EditViewInfo();
  if (!viewData || !editViewInfo) return;
  TcxCanvas* canvas = GetControlCanvas();
  cxAssignEditStyle(AViewInfo);
  auto* controller = Controller();
  if (controller && controller->GetIncSearchingItem() == this &&
      AViewInfo->GetRecordIndex() == controller->GetFocusedRecordIndex()) {
    viewData->SelStart = 0;
    viewData->SelLength =
        static_cast<Integer>(controller->GetIncSearchingText().size());
    viewData->SelTextColor = AViewInfo->GetSelectedTextColor();
    viewData->SelBackgroundColor = AViewInfo->GetSelectedBKColor();
  } else {
    viewData->SelLength = 0;
  }
  viewData->MaxLineCount = AViewInfo->GetMaxLineCount();
  // Only the text family draws a value it was handed; the others take
  // theirs from the view data when they calculate.
  auto* textViewData = dynamic_cast<TcxCustomTextEditViewData*>(viewData);
  auto* textViewInfo = dynamic_cast<TcxCustomTextEditViewInfo*>(editViewInfo);
  if (textViewData && textViewInfo)
    textViewData->EditValueToDrawValue(canvas, AValue, textViewInfo);
  viewData->ContentOffset = AViewInfo->ContentOffset();
  viewData->CalculateEx(canvas, AViewInfo->EditBounds(), AMousePos, cxmbNone,
                        TShiftState{}, editViewInfo, false);
}

Integer TcxCustomInplaceEditContainer::GetEditHeight(
    TcxEditCellViewInfo* AViewInfo) {
  TcxCustomEditViewData* viewData = AViewInfo->ViewData();
  if (!viewData) return 0;
  TFont* font = AViewInfo->ViewParams().Font;
  editingControl_->EditStyle()->SetFont(font ? font : editingControl_->Font());
  viewData->ContentOffset = AViewInfo->ContentOffset();
  TcxEditSizeProperties size;
  size.Height = -1;
  size.MaxLineCount = AViewInfo->GetMaxLineCount();
  size.Width = AViewInfo->EditBounds().Width();
  Integer height =
      viewData->GetEditSize(GetControlCanvas(), AViewInfo->Value(), size).cy;
  if (AViewInfo->Borders().Contains(bTop)) ++height;
  if (AViewInfo->Borders().Contains(bBottom)) ++height;
  return height;
}

Integer TcxCustomInplaceEditContainer::GetEditWidth(
    TcxEditCellViewInfo* AViewInfo) {
  TcxCustomEditViewData* viewData = AViewInfo->ViewData();
  if (!viewData) return 0;
  if (TFont* font = AViewInfo->ViewParams().Font)
    editingControl_->EditStyle()->SetFont(font);
  viewData->ContentOffset = AViewInfo->ContentOffset();
  TcxEditSizeProperties size;
  size.Height = -1;
  size.MaxLineCount = AViewInfo->GetMaxLineCount();
  size.Width = -1;
  return viewData->GetEditSize(GetControlCanvas(), AViewInfo->Value(), size).cx;
}

Integer TcxCustomInplaceEditContainer::GetEditDefaultHeight(TFont* AFont) {
  if (!editViewData_ || !editingControl_) return 0;
  editingControl_->EditStyle()->SetFont(AFont ? AFont
                                              : editingControl_->Font());
  editViewData_->ContentOffset = TRect{0, 0, 0, 0};
  TcxEditSizeProperties size;
  size.Height = -1;
  size.MaxLineCount = 0;
  size.Width = -1;
  return editViewData_->GetEditSize(GetControlCanvas(), Null(), size).cy;
}

// ---------------------------------------------------------------------------
// TcxControlDataController
// ---------------------------------------------------------------------------

TcxControlDataController::TcxControlDataController(TComponent* AOwner)
    : TcxDataController(AOwner) {}

TcxEditingControl* TcxControlDataController::Control() const {
  return dynamic_cast<TcxEditingControl*>(Owner());
}

Integer TcxControlDataController::GetItemID(TObject* AItem) const {
  auto* item = dynamic_cast<TcxCustomInplaceEditContainer*>(AItem);
  return item ? item->ItemIndex() : -1;
}

void TcxControlDataController::UpdateItemIndexes() {
  if (auto* control = Control()) control->UpdateIndexes();
  TcxDataController::UpdateItemIndexes();
}

void TcxControlDataController::UpdateData() {
  if (auto* control = Control()) control->UpdateData();
}

void TcxControlDataController::UpdateControl(TcxUpdateControlInfo* AInfo) {
  if (auto* control = Control()) control->ControlUpdateData(AInfo);
}
