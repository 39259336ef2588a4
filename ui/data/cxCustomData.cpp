// Data fields, the custom data source, the provider's record access and the
// controller's items, records, values, update brackets, change delivery and
// comparison. The row list lives in cxCustomDataRows.cpp, editing, focus,
// search and selection in cxCustomDataEditing.cpp.
#include "cxCustomData.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxVariants.h"

void InvalidOperation(const String& AMessage) {
  throw EcxInvalidDataControllerOperation(AMessage);
}

TcxSelectionChangedInfo::TcxSelectionChangedInfo(Integer ARowIndex1,
                                                 Integer ARowIndex2) {
  if (ARowIndex1 != -1) rows_.push_back(ARowIndex1);
  if (ARowIndex2 != -1 && ARowIndex2 != ARowIndex1) rows_.push_back(ARowIndex2);
}

// ---------------------------------------------------------------------------
// TcxCustomDataField
// ---------------------------------------------------------------------------

TcxCustomDataField::TcxCustomDataField(TcxCustomDataFieldList* AFieldList)
    : fieldList_(AFieldList) {}

TcxCustomDataField::~TcxCustomDataField() { ClearData(); }

void TcxCustomDataField::BeforeDestruction() {}

TcxCustomDataController* TcxCustomDataField::GetDataController() const {
  return fieldList_ ? fieldList_->DataController() : nullptr;
}

Integer TcxCustomDataField::GetIndex() const {
  return fieldList_ ? fieldList_->IndexOf(this) : -1;
}

bool TcxCustomDataField::CanModify(TcxDataEditValueSource) const {
  TcxCustomDataController* dc = GetDataController();
  return GetValueDef() != nullptr || (dc && dc->IsProviderMode());
}

void TcxCustomDataField::SetIsInternal(bool AValue) {
  if (isInternal_ == AValue) return;
  isInternal_ = AValue;
  if (fieldList_) fieldList_->Update();
}

void TcxCustomDataField::SetValueTypeClass(TcxValueTypeClass AValue) {
  if (referenceField_ || valueTypeClass_ == AValue) return;
  BeginRecreateData();
  valueTypeClass_ = AValue;
  EndRecreateData();
}

void TcxCustomDataField::SetTextStored(bool AValue) {
  if (referenceField_ || textStored_ == AValue) return;
  BeginRecreateData();
  textStored_ = AValue;
  EndRecreateData();
}

void TcxCustomDataField::BeginRecreateData() {
  if (recreateLock_++ == 0) ClearData();
}

void TcxCustomDataField::EndRecreateData() {
  if (--recreateLock_ == 0) CreateData();
}

void TcxCustomDataField::CreateData() {
  ClearData();
  TcxCustomDataController* dc = GetDataController();
  if (referenceField_ || !valueTypeClass_ || !dc) return;
  valueDef_ = dc->DataStorage()->ValueDefs()->Add(valueTypeClass_, isInternal_,
                                                  textStored_, this);
}

void TcxCustomDataField::ClearData() {
  if (!valueDef_) return;
  TcxValueDef* def = valueDef_;
  valueDef_ = nullptr;
  def->ValueDefs()->Remove(def);
}

// ---------------------------------------------------------------------------
// TcxCustomDataFieldList
// ---------------------------------------------------------------------------

TcxCustomDataFieldList::TcxCustomDataFieldList(
    TcxCustomDataController* ADataController)
    : dataController_(ADataController) {}

TcxCustomDataFieldList::~TcxCustomDataFieldList() { Clear(); }

TcxCustomDataField* TcxCustomDataFieldList::Add(
    TObjectPtr<TcxCustomDataField> AField) {
  TcxCustomDataField* field = AField.get();
  field->fieldList_ = this;
  if (field->IsInternal())
    items_.push_back(std::move(AField));
  else
    items_.insert(items_.begin() + GetItemCount(), std::move(AField));
  Update();
  return field;
}

void TcxCustomDataFieldList::Delete(TcxCustomDataField* AField) {
  Integer index = IndexOf(AField);
  if (index < 0) return;
  ReassignFields(AField);
  // Freed on the way out, after the controller has let go of it.
  TObjectPtr<TcxCustomDataField> leaving = std::move(items_[index]);
  items_.erase(items_.begin() + index);
  if (dataController_) dataController_->RemoveField(AField);
  Update();
}

void TcxCustomDataFieldList::Clear() {
  while (!items_.empty()) {
    TObjectPtr<TcxCustomDataField> last = std::move(items_.back());
    items_.pop_back();
  }
  internalCount_ = 0;
}

TcxCustomDataField* TcxCustomDataFieldList::FieldByItem(TObject* AItem) const {
  for (const TObjectPtr<TcxCustomDataField>& f : items_)
    if (f->Item() == AItem) return f.get();
  return nullptr;
}

Integer TcxCustomDataFieldList::IndexOf(
    const TcxCustomDataField* AField) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == AField) return static_cast<Integer>(i);
  return -1;
}

void TcxCustomDataFieldList::Move(TcxCustomDataField* AField,
                                  Integer ANewIndex) {
  Integer cur = IndexOf(AField);
  if (cur < 0 || cur == ANewIndex) return;
  TObjectPtr<TcxCustomDataField> moved = std::move(items_[cur]);
  items_.erase(items_.begin() + cur);
  items_.insert(items_.begin() + ANewIndex, std::move(moved));
}

void TcxCustomDataFieldList::Update() {
  // Keeps the internal fields behind the item fields.
  std::stable_partition(
      items_.begin(), items_.end(),
      [](const TObjectPtr<TcxCustomDataField>& f) { return !f->IsInternal(); });
  internalCount_ = static_cast<Integer>(std::count_if(
      items_.begin(), items_.end(),
      [](const TObjectPtr<TcxCustomDataField>& f) { return f->IsInternal(); }));
}

// ---------------------------------------------------------------------------
// TcxCustomDataSource
// ---------------------------------------------------------------------------

TcxCustomDataSource::~TcxCustomDataSource() {
  if (provider_) provider_->SetCustomDataSource(nullptr);
}

TcxDataRecordHandle TcxCustomDataSource::AppendRecord() {
  return reinterpret_cast<TcxDataRecordHandle>(static_cast<intptr_t>(-1));
}

String TcxCustomDataSource::GetDisplayText(TcxDataRecordHandle ARecordHandle,
                                           TcxDataItemHandle AItemHandle) {
  try {
    return VarToStr(GetValue(ARecordHandle, AItemHandle));
  } catch (const EVariantError&) {
    return String();
  }
}

TcxDataItemHandle TcxCustomDataSource::GetItemHandle(Integer AItemIndex) {
  return reinterpret_cast<TcxDataItemHandle>(static_cast<intptr_t>(AItemIndex));
}

TcxDataRecordHandle TcxCustomDataSource::GetRecordHandle(Integer ARecordIndex) {
  return reinterpret_cast<TcxDataRecordHandle>(
      static_cast<intptr_t>(ARecordIndex));
}

void TcxCustomDataSource::DataChanged() {
  if (!provider_) return;
  TcxCustomDataController* dc = provider_->DataController();
  auto update = dc->FullUpdateScope();
  provider_->DataChanged(dcTotal, -1, -1);
}

TcxCustomDataController* TcxCustomDataSource::GetDataController() const {
  return provider_ ? provider_->DataController() : nullptr;
}

// ---------------------------------------------------------------------------
// TcxCustomDataProvider: record access
// ---------------------------------------------------------------------------

TcxCustomDataProvider::TcxCustomDataProvider(
    TcxCustomDataController* ADataController)
    : dataController_(ADataController) {}

TcxCustomDataProvider::~TcxCustomDataProvider() {
  if (dataSource_) dataSource_->provider_ = nullptr;
}

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* AValue) {
  if (!IsCustomDataSourceSupported() || dataSource_ == AValue) return;
  if (dataSource_) dataSource_->provider_ = nullptr;
  // A source serves one provider here: the one it had lets go of it.
  if (AValue && AValue->provider_)
    AValue->provider_->SetCustomDataSource(nullptr);
  dataSource_ = AValue;
  if (dataSource_) dataSource_->provider_ = this;
  if (dataController_ && !dataController_->IsDestroying())
    dataController_->RestructData();
}

bool TcxCustomDataProvider::CanDelete() const {
  return dataController_ && dataController_->GetRecordCount() > 0;
}

bool TcxCustomDataProvider::IsCustomSorting() {
  return dataSource_ && dataSource_->IsCustomSorting();
}

TcxDataItemHandle TcxCustomDataProvider::ItemHandle(
    TcxCustomDataField* AField) {
  return dataSource_->GetItemHandle(AField->GetIndex());
}

TcxDataRecordHandle TcxCustomDataProvider::GetRecordHandleByIndex(
    Integer ARecordIndex) {
  TcxCustomDataField* f = dataController_->RecordHandleField();
  if (!f || !f->GetValueDef()) return nullptr;
  Variant v =
      dataController_->DataStorage()->GetValue(ARecordIndex, f->GetValueDef());
  if (v.IsNull()) return nullptr;
  return reinterpret_cast<TcxDataRecordHandle>(
      static_cast<intptr_t>(v.AsInt64()));
}

Integer TcxCustomDataProvider::GetRecordIndexByHandle(
    TcxDataRecordHandle AHandle) {
  Integer n = dataController_->DataStorage()->RecordCount();
  for (Integer i = 0; i < n; ++i)
    if (GetRecordHandleByIndex(i) == AHandle) return i;
  return -1;
}

static Variant HandleToVariant(TcxDataRecordHandle AHandle) {
  return Variant(static_cast<long long>(reinterpret_cast<intptr_t>(AHandle)));
}

void TcxCustomDataProvider::LoadRecordHandles() {
  if (!dataSource_) return;
  dataSource_->provider_ = this;
  TcxDataStorage* storage = dataController_->DataStorage();
  storage->Clear(dataChangedLocked_);
  Integer n = std::max<Integer>(0, dataSource_->GetRecordCount());
  storage->SetRecordCount(n);
  TcxCustomDataField* f = dataController_->RecordHandleField();
  if (!f || !f->GetValueDef()) return;
  for (Integer i = 0; i < n; ++i)
    storage->SetValue(i, f->GetValueDef(),
                      HandleToVariant(dataSource_->GetRecordHandle(i)));
}

Integer TcxCustomDataProvider::AppendRecord() {
  if (!dataSource_) return -1;
  TcxDataRecordHandle h = dataSource_->AppendRecord();
  LoadRecordHandles();
  dataController_->DataChanged(dcNew, -1, -1);
  return GetRecordIndexByHandle(h);
}

Integer TcxCustomDataProvider::InsertRecord(Integer ARecordIndex) {
  if (!dataSource_) return -1;
  TcxDataRecordHandle h =
      ARecordIndex < dataController_->GetRecordCount()
          ? dataSource_->InsertRecord(GetRecordHandleByIndex(ARecordIndex))
          : dataSource_->AppendRecord();
  LoadRecordHandles();
  dataController_->DataChanged(dcNew, -1, -1);
  return GetRecordIndexByHandle(h);
}

void TcxCustomDataProvider::DeleteRecord(Integer ARecordIndex) {
  if (!dataSource_) return;
  dataSource_->DeleteRecord(GetRecordHandleByIndex(ARecordIndex));
  LoadRecordHandles();
  dataController_->DataChanged(dcDeleted, -1, ARecordIndex);
}

Variant TcxCustomDataProvider::GetValue(Integer ARecordIndex,
                                        TcxCustomDataField* AField) {
  if (!dataSource_) return Null();
  return dataSource_->GetValue(GetRecordHandleByIndex(ARecordIndex),
                               ItemHandle(AField));
}

String TcxCustomDataProvider::GetDisplayText(Integer ARecordIndex,
                                             TcxCustomDataField* AField) {
  if (!dataSource_) return String();
  return dataSource_->GetDisplayText(GetRecordHandleByIndex(ARecordIndex),
                                     ItemHandle(AField));
}

void TcxCustomDataProvider::SetValue(Integer ARecordIndex,
                                     TcxCustomDataField* AField,
                                     const Variant& AValue) {
  if (!dataSource_) return;
  dataSource_->SetValue(GetRecordHandleByIndex(ARecordIndex),
                        ItemHandle(AField), AValue);
}

Variant TcxCustomDataProvider::GetRecordId(Integer ARecordIndex) {
  if (!dataSource_) return Null();
  return dataSource_->GetRecordId(GetRecordHandleByIndex(ARecordIndex));
}

bool TcxCustomDataProvider::IsRecordIdSupported() {
  return dataSource_ && dataSource_->IsRecordIdSupported();
}

void TcxCustomDataProvider::SetRecordCount(Integer ACount) {
  if (!dataSource_) return;
  dataSource_->SetRecordCount(ACount);
  DataChanged(dcTotal, -1, -1);
}

void TcxCustomDataProvider::DataChanged(TcxDataChange ADataChange,
                                        Integer AItemIndex,
                                        Integer ARecordIndex) {
  if (lockCount_ == 0)
    dataController_->DataChanged(ADataChange, AItemIndex, ARecordIndex);
  if (dataChangedLocked_)
    ResetChanging();
  else
    ResetEditing();
}

// ---------------------------------------------------------------------------
// TcxCustomDataController: construction, items
// ---------------------------------------------------------------------------

TcxCustomDataController::TcxCustomDataController(TComponent* AOwner)
    : owner_(AOwner) {
  storage_.reset(new TcxDataStorage());
  fields_.reset(new TcxCustomDataFieldList(this));
  search_.reset(new TcxDataControllerSearch(this));
  provider_.reset(new TcxCustomDataProvider(this));
  info_.reset(new TcxCustomDataControllerInfo(this));
  storage_->OnClearInternalRecords = TNotifyEvent(
      this, &TcxCustomDataController::DataStorageClearInternalRecords);
  storage_->SetUseRecordID(IsRecordID());
}

TcxCustomDataController::~TcxCustomDataController() {
  destroying_ = true;
  notifier_.reset();
  // Summary items refer to fields and report to the row list.
  summary_.reset();
  filter_.reset();
  filters_.reset();
  info_.reset();
  search_.reset();
  if (provider_ && provider_->CustomDataSource())
    provider_->CustomDataSource()->provider_ = nullptr;
  storage_->OnClearInternalRecords = nullptr;
  storage_->Clear(false);
  // Fields give their value definitions back to the storage first.
  fields_.reset();
  provider_.reset();
  storage_.reset();
  ClearListenerLinks();
}

void TcxCustomDataController::BeforeDestruction() { destroying_ = true; }

TcxDataController::TcxDataController(TComponent* AOwner)
    : TcxCustomDataController(AOwner) {}

TObject* TcxCustomDataController::GetItem(Integer AIndex) const {
  CheckItemRange(AIndex);
  return fields_->GetItem(AIndex)->Item();
}

Integer TcxCustomDataController::GetItemCount() const {
  return fields_->GetItemCount();
}

TcxCustomDataField* TcxCustomDataController::GetItemField(
    Integer AItemIndex) const {
  CheckItemRange(AItemIndex);
  return fields_->GetItem(AItemIndex);
}

TcxCustomDataField* TcxCustomDataController::AddItem(TObject* AItem) {
  if (AItem && fields_->FieldByItem(AItem))
    InvalidOperation(cxGetResourceString(cxSDataItemExistError));
  TObjectPtr<TcxCustomDataField> field(new TcxCustomDataField(fields_.get()));
  field->SetItem(AItem);
  return fields_->Add(std::move(field));
}

TcxCustomDataField* TcxCustomDataController::AddInternalField() {
  TObjectPtr<TcxCustomDataField> field(new TcxCustomDataField(fields_.get()));
  field->isInternal_ = true;
  return fields_->Add(std::move(field));
}

void TcxCustomDataController::RemoveItem(TObject* AItem) {
  TcxCustomDataField* field = fields_->FieldByItem(AItem);
  if (!field || field->IsInternal()) return;
  auto update = UpdateScope();
  info_->RemoveField(field);
  fields_->Delete(field);
}

void TcxCustomDataController::RemoveField(TcxCustomDataField* AField) {
  fieldDestroyed_ = true;
  if (AField == recordHandleField_) recordHandleField_ = nullptr;
  if (AField == incrementalFilterField_) ResetIncrementalFilter();
  if (AField == searchField_) {
    search_->Cancel();
    searchField_ = nullptr;
  }
  if (AField == sortingBySummaryField_) sortingBySummaryField_ = nullptr;
  if (summary_) summary_->RemoveItemByField(AField);
  if (info_) info_->RemoveField(AField);
  RemoveFilterItems(AField);
}

void TcxCustomDataController::ChangeValueTypeClass(
    Integer AItemIndex, TcxValueTypeClass AValueTypeClass) {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  if (field->GetValueTypeClass() == AValueTypeClass) return;
  field->SetValueTypeClass(AValueTypeClass);
  if (IsProviderMode()) RestructData();
  info_->UpdateField(field);
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(
    Integer AItemIndex) const {
  return GetItemField(AItemIndex)->GetValueTypeClass();
}

void TcxCustomDataController::ChangeTextStored(Integer AItemIndex,
                                               bool AValue) {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  if (field->GetTextStored() == AValue) return;
  field->SetTextStored(AValue);
  info_->UpdateField(field);
}

bool TcxCustomDataController::GetItemTextStored(Integer AItemIndex) const {
  return GetItemField(AItemIndex)->GetTextStored();
}

void TcxCustomDataController::CheckItemRange(Integer AItemIndex) const {
  if (AItemIndex < 0 || AItemIndex >= GetItemCount())
    InvalidOperation(cxGetResourceString(cxSDataItemIndexError));
}

void TcxCustomDataController::CheckRecordRange(Integer ARecordIndex) {
  GetNewItemRecordIndex();
  if ((ARecordIndex >= 0 && ARecordIndex < GetRecordCount()) ||
      ARecordIndex == newItemRecordIndex_ ||
      (provider_->SavedRecordIndex() != 0 &&
       ARecordIndex == provider_->SavedRecordIndex()))
    return;
  InvalidOperation(cxGetResourceString(cxSDataRecordIndexError));
}

// ---------------------------------------------------------------------------
// Modes
// ---------------------------------------------------------------------------

bool TcxCustomDataController::IsProviderMode() const {
  return provider_ && provider_->CustomDataSource() != nullptr;
}

bool TcxCustomDataController::IsUnboundMode() const {
  return provider_ && provider_->IsCustomDataSourceSupported() &&
         provider_->CustomDataSource() == nullptr;
}

bool TcxCustomDataController::IsGridMode() const {
  return provider_ && provider_->IsGridMode();
}

bool TcxCustomDataController::IsLoading() const {
  return owner_ && owner_->ComponentState().Contains(csLoading);
}

bool TcxCustomDataController::IsImmediatePost() const {
  return options_.Contains(dcoImmediatePost) ||
         provider_->IsUnboundColumnMode();
}

TcxCustomDataSource* TcxCustomDataController::GetCustomDataSource() const {
  return provider_->CustomDataSource();
}

void TcxCustomDataController::SetCustomDataSource(TcxCustomDataSource* AValue) {
  provider_->SetCustomDataSource(AValue);
}

void TcxCustomDataController::SetOptions(TcxDataControllerOptions AValue) {
  if (options_ == AValue) return;
  options_ = AValue;
  Refresh();
}

bool TcxCustomDataController::IsDataField(TcxCustomDataField* AField) const {
  return !AField->IsInternal() ||
         (AField->ReferenceField() && !AField->DataOwner()->IsInternal());
}

// ---------------------------------------------------------------------------
// Records and values
// ---------------------------------------------------------------------------

Integer TcxCustomDataController::GetRecordCount() const {
  return storage_->RecordCount();
}

void TcxCustomDataController::SetRecordCount(Integer ACount) {
  if (IsGridMode()) return;
  if (ACount < 0) ACount = 0;
  if (IsProviderMode()) {
    provider_->SetRecordCount(ACount);
    return;
  }
  Integer old = GetRecordCount();
  if (old == ACount) return;
  storage_->SetRecordCount(ACount);
  if (bookmarkRecordIndex_ >= ACount) ClearBookmark();
  CheckSelectedCount(-1);
  CheckEditingRecordIndex(-1);
  DataChanged(ACount > old ? dcNew : dcDeleted, -1, -1);
}

Integer TcxCustomDataController::AppendRecord() {
  if (IsSmartLoad()) return AppendInSmartLoad();
  if (IsProviderMode()) return provider_->AppendRecord();
  Integer r = storage_->AppendRecord();
  DataChanged(dcNew, -1, r);
  return r;
}

Integer TcxCustomDataController::InsertRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount())
    InvalidOperation(cxGetResourceString(cxSDataRecordIndexError));
  if (IsSmartLoad()) return AppendInSmartLoad();
  if (IsProviderMode()) {
    Integer r = provider_->InsertRecord(ARecordIndex);
    ShiftAfterInsert(r);
    return r;
  }
  storage_->InsertRecord(ARecordIndex);
  ShiftAfterInsert(ARecordIndex);
  DataChanged(dcNew, -1, ARecordIndex);
  return ARecordIndex;
}

void TcxCustomDataController::DeleteRecord(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  if (ARecordIndex >= 0) info_->ShiftSelectedRecords(ARecordIndex, -1);
  if (provider_->EditingRecordIndex() == ARecordIndex)
    provider_->ForgetEditingRecord();
  if (IsProviderMode() && ARecordIndex >= 0 && !IsSmartLoad()) {
    CheckBookmarkValid(ARecordIndex);
    ShiftAfterDelete(ARecordIndex);
    provider_->DeleteRecord(ARecordIndex);
    return;
  }
  if (IsSmartLoad() && ARecordIndex >= 0)
    DeleteInSmartLoad(ARecordIndex);
  else
    storage_->DeleteRecord(ARecordIndex);
  if (ARecordIndex == newItemRecordIndex_) {
    newItemRecordIndex_ = 0;
    DataChanged(dcDeleted, -1, ARecordIndex);
    return;
  }
  CheckEditingRecordIndex(ARecordIndex);
  CheckSelectedCount(ARecordIndex);
  ShiftAfterDelete(ARecordIndex);
  DataChanged(dcDeleted, -1, ARecordIndex);
}

void TcxCustomDataController::ShiftAfterInsert(Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  if (bookmarkRecordIndex_ >= ARecordIndex) ++bookmarkRecordIndex_;
  info_->ShiftSelectedRecords(ARecordIndex, 1);
}

void TcxCustomDataController::ShiftAfterDelete(Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  // CheckBookmarkValid has already dropped a bookmark on the record itself.
  if (bookmarkRecordIndex_ > ARecordIndex) --bookmarkRecordIndex_;
}

Variant TcxCustomDataController::GetValue(Integer ARecordIndex,
                                          Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  CheckRecordRange(ARecordIndex);
  return GetInternalValue(ARecordIndex, fields_->GetItem(AItemIndex));
}

String TcxCustomDataController::GetDisplayText(Integer ARecordIndex,
                                               Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  CheckRecordRange(ARecordIndex);
  return GetInternalDisplayText(ARecordIndex, fields_->GetItem(AItemIndex));
}

Variant TcxCustomDataController::GetInternalValue(Integer ARecordIndex,
                                                  TcxCustomDataField* AField) {
  if (IsProviderMode() && ARecordIndex >= 0 && IsDataField(AField))
    return provider_->GetValue(ARecordIndex, AField);
  if (IsGridMode() && IsDataField(AField))
    return provider_->GetExternalDataValue(ARecordIndex, AField);
  if (!AField->GetValueDef()) return Null();
  return storage_->GetValue(ARecordIndex, AField->GetValueDef());
}

String TcxCustomDataController::GetInternalDisplayText(
    Integer ARecordIndex, TcxCustomDataField* AField) {
  if (IsProviderMode() && ARecordIndex >= 0 && IsDataField(AField))
    return provider_->GetDisplayText(ARecordIndex, AField);
  if (IsGridMode() && IsDataField(AField))
    return provider_->GetExternalDataDisplayText(ARecordIndex, AField);
  if (!AField->GetValueDef()) return String();
  return storage_->GetDisplayText(ARecordIndex, AField->GetValueDef());
}

void TcxCustomDataController::SetValue(Integer ARecordIndex, Integer AItemIndex,
                                       const Variant& AValue) {
  if (IsGridMode()) return;
  CheckItemRange(AItemIndex);
  CheckRecordRange(ARecordIndex);
  TcxCustomDataField* field = fields_->GetItem(AItemIndex);
  if (IsProviderMode() && ARecordIndex >= 0)
    provider_->SetValue(ARecordIndex, field, AValue);
  else if (field->GetValueDef())
    storage_->SetValue(ARecordIndex, field->GetValueDef(), AValue);
  DataChanged(dcField, AItemIndex, ARecordIndex);
}

void TcxCustomDataController::SetDisplayText(Integer ARecordIndex,
                                             Integer AItemIndex,
                                             const String& AText) {
  if (IsGridMode()) return;
  CheckItemRange(AItemIndex);
  CheckRecordRange(ARecordIndex);
  TcxCustomDataField* field = fields_->GetItem(AItemIndex);
  if (!(IsProviderMode() && ARecordIndex >= 0) && field->GetValueDef())
    storage_->SetDisplayText(ARecordIndex, field->GetValueDef(), AText);
  DataChanged(dcField, AItemIndex, ARecordIndex);
}

Variant TcxCustomDataController::GetRecordId(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount())
    InvalidOperation(cxGetResourceString(cxSDataRecordIndexError));
  if (IsRecordID()) return Variant(storage_->GetRecordID(ARecordIndex));
  if (IsProviderMode() && provider_->IsRecordIdSupported())
    return provider_->GetRecordId(ARecordIndex);
  return Null();
}

std::vector<Variant> TcxCustomDataController::GetGroupValues(
    Integer ARecordIndex) {
  TcxGroupingFieldList& grouping = info_->GroupingFieldList();
  std::vector<Variant> values;
  bool inRange = ARecordIndex >= 0 && ARecordIndex < GetRecordCount();
  for (Integer i = 0; i < grouping.Count(); ++i)
    values.push_back(inRange
                         ? GetGroupValue(ARecordIndex, grouping.Items(i).Field)
                         : Null());
  return values;
}

static Integer RowItemIndex(TcxCustomDataController* ADataController,
                            const TcxRowInfo& ARowInfo, Integer AItemIndex) {
  TcxGroupingFieldList& grouping =
      ADataController->DataControllerInfo()->GroupingFieldList();
  if (ARowInfo.Level < grouping.Count() &&
      !ADataController->IsNewItemRecordIndex(ARowInfo.RecordIndex))
    return grouping.Items(ARowInfo.Level).Field->GetIndex();
  return AItemIndex;
}

Variant TcxCustomDataController::GetRowValue(const TcxRowInfo& ARowInfo,
                                             Integer AItemIndex) {
  return GetValue(ARowInfo.RecordIndex,
                  RowItemIndex(this, ARowInfo, AItemIndex));
}

String TcxCustomDataController::GetRowDisplayText(const TcxRowInfo& ARowInfo,
                                                  Integer& AItemIndex) {
  AItemIndex = RowItemIndex(this, ARowInfo, AItemIndex);
  return GetDisplayText(ARowInfo.RecordIndex, AItemIndex);
}

void TcxCustomDataController::ForEachRow(
    bool ASelectedOnly,
    const std::function<void(Integer, const TcxRowInfo&)>& AProc) {
  if (ASelectedOnly) {
    for (Integer i = 0; i < GetSelectedCount(); ++i) {
      Integer row = GetSelectedRowIndex(i);
      AProc(row, GetRowInfo(row));
    }
  } else {
    for (Integer row = 0; row < GetRowCount(); ++row)
      AProc(row, GetRowInfo(row));
  }
}

Integer TcxCustomDataController::FindRecordByFields(
    Integer ARecordIndex, const std::vector<TcxCustomDataField*>& AFields) {
  if (AFields.empty()) return -1;
  Integer result = -1;
  {
    auto sorting =
        MakeBracket(info_.get(), &TcxCustomDataControllerInfo::PrepareSorting,
                    &TcxCustomDataControllerInfo::UnprepareSorting);
    Integer n = GetRecordCount();
    for (Integer r = 0; r < n && result < 0; ++r) {
      bool equal = true;
      for (TcxCustomDataField* f : AFields)
        if (CompareByField(ARecordIndex, r, f, dccmOther) != 0) {
          equal = false;
          break;
        }
      if (equal) result = r;
    }
  }
  return result;
}

// ---------------------------------------------------------------------------
// Rows (the row list's answers)
// ---------------------------------------------------------------------------

Integer TcxCustomDataController::GetFilteredRecordCount() const {
  return info_->GetInternalRecordCount();
}

Integer TcxCustomDataController::GetFilteredRecordIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= info_->GetInternalRecordCount()) return -1;
  return info_->GetInternalRecordIndex(AIndex);
}

Integer TcxCustomDataController::GetFilteredIndexByRecordIndex(
    Integer ARecordIndex) const {
  return info_->GetInternalRecordListIndex(ARecordIndex);
}

Integer TcxCustomDataController::GetRowCount() const {
  return info_->GetRowCount();
}

TcxRowInfo TcxCustomDataController::GetRowInfo(Integer ARowIndex) const {
  return info_->GetRowInfo(ARowIndex);
}

Integer TcxCustomDataController::GetRowIndexByRecordIndex(Integer ARecordIndex,
                                                          bool AMakeVisible) {
  CheckRecordRange(ARecordIndex);
  return info_->GetRowIndexByRecordIndex(ARecordIndex, AMakeVisible);
}

void TcxCustomDataController::MakeRecordVisible(Integer ARecordIndex) {
  GetRowIndexByRecordIndex(ARecordIndex, true);
}

Integer TcxCustomDataController::GetNearestRowIndex(Integer ARowIndex) const {
  return info_->GetNearestRowIndex(ARowIndex);
}

// ---------------------------------------------------------------------------
// Update brackets and change delivery
// ---------------------------------------------------------------------------

void TcxCustomDataController::BeginUpdate() { info_->BeginUpdate(); }

void TcxCustomDataController::EndUpdate() {
  info_->EndUpdate();
  CheckChanges();
}

Integer TcxCustomDataController::GetLockCount() const {
  return info_ ? info_->LockCount() : 0;
}

void TcxCustomDataController::Change(TcxDataControllerChanges AChanges) {
  changes_ += AChanges;
  CheckChanges();
}

void TcxCustomDataController::CheckChanges() {
  // Inside the row list's update pass the changes wait for its end.
  if (GetLockCount() != 0 || destroying_ || info_->InfoCalculation()) return;
  if (changes_.Empty()) return;
  if (structureChanged_) {
    structureChanged_ = false;
    LayoutChanged({lcStructure});
  }
  Update();
}

void TcxCustomDataController::Update() {
  TcxDataControllerChanges changes = changes_;
  changes_ = {};
  if (changes.Contains(dccData)) {
    TcxDataChange kind = dataChangeKind_;
    Integer item = dataChangeItem_;
    Integer record = dataChangeRecord_;
    if (kind == dcField && item == -1) kind = dcRecord;
    if ((kind == dcField || kind == dcRecord) && record == -1 &&
        !(newItemRecordIndex_ != 0 && record == newItemRecordIndex_))
      kind = dcTotal;
    dataChangeKind_ = dcTotal;
    dataChangeItem_ = -1;
    dataChangeRecord_ = -1;
    NotifyControl(TObjectPtr<TcxDataChangedInfo>(
        new TcxDataChangedInfo(kind, item, record)));
    DoDataChanged(kind, item, record);
  } else if (changes.Contains(dccLayout) || changes.Contains(dccDetail) ||
             changes.Contains(dccSummary)) {
    NotifyControl(TObjectPtr<TcxLayoutChangedInfo>(new TcxLayoutChangedInfo()));
  } else if (changes.Contains(dccUpdateRecord)) {
    NotifyControl(TObjectPtr<TcxUpdateRecordInfo>(
        new TcxUpdateRecordInfo(GetFocusedRecordIndex())));
    search_->Cancel();
  }
  if (changes.Contains(dccFocus)) {
    TcxDataFocusingInfo& prev = info_->PrevFocusingInfo();
    TcxDataFocusingInfo& cur = info_->FocusingInfo();
    if (prev.RowIndex != cur.RowIndex)
      NotifyControl(TObjectPtr<TcxFocusedRowChangedInfo>(
          new TcxFocusedRowChangedInfo(prev.RowIndex, cur.RowIndex)));
    Integer prevRecord = prev.PrevRecordIndex;
    Integer curRecord = info_->GetFocusedRecordIndex();
    if (prevRecord >= 0 || curRecord >= 0 || prev.Changed) {
      NotifyControl(TObjectPtr<TcxFocusedRecordChangedInfo>(
          new TcxFocusedRecordChangedInfo(prevRecord, curRecord, prev.RowIndex,
                                          cur.RowIndex, prev.Changed)));
      search_->Cancel();
    }
    prev.Assign(cur);
    prev.PrevRecordIndex = curRecord;
  }
  if (changes.Contains(dccSelection)) {
    Integer count = GetSelectedCount();
    Integer row = count == 1 ? GetSelectedRowIndex(0) : -1;
    bool single = prevSelectedCount_ <= 1 && count <= 1;
    NotifyControl(
        single ? TObjectPtr<TcxSelectionChangedInfo>(
                     new TcxSelectionChangedInfo(prevSelectedRowIndex_, row))
               : TObjectPtr<TcxSelectionChangedInfo>(
                     new TcxSelectionChangedInfo()));
    prevSelectedCount_ = count;
    prevSelectedRowIndex_ = row;
  }
  if (changes.Contains(dccSearch))
    NotifyControl(TObjectPtr<TcxSearchChangedInfo>(new TcxSearchChangedInfo()));
  if (changes.Contains(dccBookmark))
    NotifyControl(
        TObjectPtr<TcxBookmarkChangedInfo>(new TcxBookmarkChangedInfo()));
  if (changes.Contains(dccGrouping) && !IsLoading() && OnGroupingChanged)
    OnGroupingChanged(this);
  if (changes.Contains(dccSorting) && !IsLoading() && !inSortingChangedEvent_ &&
      OnSortingChanged) {
    TRestoreOnExit inEvent(inSortingChangedEvent_, true);
    OnSortingChanged(this);
  }
}

void TcxCustomDataController::NotifyControl(
    TObjectPtr<TcxUpdateControlInfo> AInfo) {
  TRestoreOnExit notifying(inNotifyControl_, true);
  UpdateControl(AInfo.get());
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* AInfo) {
  if (OnUpdateControl) OnUpdateControl(AInfo);
}

void TcxCustomDataController::AddDataChangedListener(
    TObject* AInstance, const TNotifyEvent& AEvent) {
  listeners_.push_back({AInstance, AEvent});
}

void TcxCustomDataController::RemoveDataChangedListener(
    TObject* AInstance, const TNotifyEvent& AEvent) {
  for (auto it = listeners_.begin(); it != listeners_.end(); ++it)
    if (it->Instance == AInstance && it->Event == AEvent) {
      listeners_.erase(it);
      return;
    }
}

void TcxCustomDataController::DataChanged(TcxDataChange ADataChange,
                                          Integer AItemIndex,
                                          Integer ARecordIndex) {
  bool recordKnown = dataChangeRecord_ != -1;
  if (recordKnown && ARecordIndex != dataChangeRecord_) {
    dataChangeKind_ = dcTotal;
  } else if (ADataChange != dcField || dataChangeItem_ == -1 ||
             AItemIndex == dataChangeItem_) {
    dataChangeKind_ = ADataChange;
  } else {
    dataChangeKind_ = dcRecord;
    AItemIndex = -1;
  }
  dataChangeItem_ = AItemIndex;
  dataChangeRecord_ = ARecordIndex;
  if (dataChangeKind_ == dcTotal) {
    // A change of several records names neither an item nor a record.
    dataChangeItem_ = -1;
    dataChangeRecord_ = -1;
  }
  if (ADataChange == dcTotal && IsDataBound()) {
    LoadStorage();
    return;
  }
  if (ADataChange == dcNew || ADataChange == dcDeleted) info_->RefreshFocused();
  info_->Refresh();
}

void TcxCustomDataController::LayoutChanged(TcxDataLayoutChanges) {
  UpdateItems(provider_->IsActive());
}

void TcxCustomDataController::Refresh() {
  auto update = UpdateScope();
  info_->Refresh();
}

void TcxCustomDataController::UpdateFocused() {
  if (provider_->LocateCount() != 0 && info_->Focusing()) return;
  info_->RefreshFocused();
}

void TcxCustomDataController::RestructData() {
  auto update = FullUpdateScope();
  provider_->ResetEditing();
  // Records of one source mean nothing under another.
  storage_->Clear(false);
  bookmarkRecordIndex_ = -1;
  CheckSelectedCount(-1);
  storage_->SetStoredValuesOnly(IsProviderMode() || IsGridMode());
  storage_->SetUseRecordID(IsRecordID());
  if (IsProviderMode()) {
    if (!recordHandleField_) {
      recordHandleField_ = AddInternalField();
      recordHandleField_->SetValueTypeClass(TcxLargeIntValueType::Class());
    }
  } else if (recordHandleField_) {
    TcxCustomDataField* f = recordHandleField_;
    recordHandleField_ = nullptr;
    fields_->Delete(f);
  }
  structureRecreated_ = true;
  LayoutChanged({lcData});
}

void TcxCustomDataController::DataStorageClearInternalRecords(TObject*) {
  newItemRecordIndex_ = 0;
  // The saved copy of an edited record went with them: a cancel must not
  // copy back whatever internal record takes its index next.
  if (provider_) provider_->savedRecordIndex_ = 0;
}

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

bool TcxCustomDataController::IsStringConversionNeeded(
    TcxCustomDataField* AField) const {
  return (options_.Contains(dcoAnsiSort) ||
          options_.Contains(dcoCaseInsensitive)) &&
         AField->GetValueTypeClass() && AField->GetValueTypeClass()->IsString();
}

bool TcxCustomDataController::IsSortByDisplayTextNeeded(
    TcxCustomDataField* AField) const {
  return !internalFindRecord_ && !AField->IsInternal() &&
         GetItemSortByDisplayText(AField->GetIndex(),
                                  options_.Contains(dcoSortByDisplayText));
}

bool TcxCustomDataController::IsConversionNeededForCompare(
    TcxCustomDataField* AField) {
  if (AField->CompareConversion != 0) return AField->CompareConversion > 0;
  return AField->NeedConversion() || IsStringConversionNeeded(AField) ||
         IsSortByDisplayTextNeeded(AField) ||
         (IsProviderMode() && !provider_->IsNativeCompare());
}

Variant TcxCustomDataController::GetComparedValue(Integer ARecordIndex,
                                                  TcxCustomDataField* AField) {
  if (AField->CompareConversion == 2)
    return Variant(GetInternalDisplayText(ARecordIndex, AField));
  return GetInternalValue(ARecordIndex, AField);
}

Integer TcxCustomDataController::CompareStrings(const Variant& A,
                                                const Variant& B) const {
  if (options_.Contains(dcoAnsiSort)) {
    Integer c = options_.Contains(dcoCaseInsensitive)
                    ? AnsiCompareText(A.AsString(), B.AsString())
                    : AnsiCompareStr(A.AsString(), B.AsString());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (options_.Contains(dcoCaseInsensitive)) {
    Integer c =
        CompareStr(AnsiUpperCase(A.AsString()), AnsiUpperCase(B.AsString()));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return cxSortCompareVariants(A, B);
}

Integer TcxCustomDataController::CompareByField(
    Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField,
    TcxDataControllerComparisonMode AMode) {
  bool ordering = AMode != dccmOther;
  if ((OnCompare && !AField->IsInternal()) ||
      IsConversionNeededForCompare(AField)) {
    if (!OnCompare && IsProviderMode() && provider_->IsNativeCompareFunc() &&
        ARecordIndex1 >= 0 && ARecordIndex2 >= 0)
      return provider_->NativeCompareFunc(ARecordIndex1, ARecordIndex2, AField);
    Variant v1 = GetComparedValue(ARecordIndex1, AField);
    Variant v2 = GetComparedValue(ARecordIndex2, AField);
    if (OnCompare) {
      Integer c = 0;
      OnCompare(this, ARecordIndex1, ARecordIndex2, AField->GetIndex(), v1, v2,
                c);
      return c;
    }
    if (VarIsStr(v1) && VarIsStr(v2)) return CompareStrings(v1, v2);
    return ordering ? cxSortCompareVariants(v1, v2) : VarCompare(v1, v2);
  }
  TcxValueDef* def = AField->GetValueDef();
  if (!def) return 0;
  if (IsProviderMode())
    return provider_->NativeCompare(ARecordIndex1, ARecordIndex2, AField,
                                    AMode);
  // The variant type compares with VarCompare, which is no order: sorting
  // and grouping compare its values with the strict order instead.
  if (ordering && def->ValueTypeClass() == TcxVariantValueType::Class())
    return cxSortCompareVariants(storage_->GetValue(ARecordIndex1, def),
                                 storage_->GetValue(ARecordIndex2, def));
  return storage_->CompareRecords(ARecordIndex1, ARecordIndex2, def);
}

Integer TcxCustomDataController::CompareRecords(
    Integer ARecordIndex1, Integer ARecordIndex2,
    const TcxDataSortInfo& ASortInfo, TcxDataControllerComparisonMode AMode) {
  Integer c =
      CompareByField(ARecordIndex1, ARecordIndex2, ASortInfo.Field, AMode);
  return ASortInfo.SortOrder == soDescending ? -c : c;
}

// ---------------------------------------------------------------------------
// Sorting and grouping requests
// ---------------------------------------------------------------------------

void TcxCustomDataController::BeforeSorting() {
  if (provider_->IsEditing()) Post();
}

void TcxCustomDataController::ChangeSorting(Integer AItemIndex,
                                            TcxDataSortOrder ASortOrder) {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  if (GetItemSortOrder(AItemIndex) == ASortOrder) return;
  BeforeSorting();
  sortingChanged_ = true;
  info_->ChangeSorting(field, ASortOrder);
}

void TcxCustomDataController::ClearSorting(bool AKeepGroupedItems) {
  info_->ClearSorting(AKeepGroupedItems);
}

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(
    Integer AItemIndex) const {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  Integer i = info_->SortingFieldList().Find(field);
  if (i >= 0) return info_->SortingFieldList().Items(i).SortOrder;
  i = info_->GroupingFieldList().Find(field);
  if (i >= 0) return info_->GroupingFieldList().Items(i).SortOrder;
  return soNone;
}

Integer TcxCustomDataController::GetSortingItemCount() const {
  return info_->SortingFieldList().Count();
}

Integer TcxCustomDataController::GetSortingItemIndex(Integer AIndex) const {
  return info_->SortingFieldList().Items(AIndex).Field->GetIndex();
}

void TcxCustomDataController::ChangeGrouping(Integer AItemIndex,
                                             Integer AGroupIndex) {
  groupsInterface_.ChangeGrouping(AItemIndex, AGroupIndex);
}

void TcxCustomDataController::ClearGrouping() {
  groupsInterface_.ClearGrouping();
}

Integer TcxCustomDataController::GetGroupingItemCount() const {
  return info_->GroupingFieldList().Count();
}

void TcxCustomDataController::ChangeExpanding(Integer ARowIndex, bool AExpanded,
                                              bool ARecursive) {
  info_->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
}

void TcxCustomDataController::FullExpand() { info_->FullExpand(); }

void TcxCustomDataController::FullCollapse() { info_->FullCollapse(); }
