// Referenced fields, native comparison through the provider and the custom
// data source, loading records from the provider (grid mode's data buffer
// or a walk over the provider's record set) and smart load.
#include <cstdint>

#include "ScopeGuard.h"
#include "cxCustomData.h"
#include "cxVariants.h"

// ---------------------------------------------------------------------------
// Referenced fields
// ---------------------------------------------------------------------------

void TcxCustomDataField::SetReferenceField(TcxCustomDataField* AValue) {
  TcxCustomDataField* target = AValue;
  while (target && target->referenceField_) target = target->referenceField_;
  // Following such a reference would never end.
  if (target == this || target == referenceField_) return;
  if (!referenceField_) {
    ClearData();
    valueTypeClass_ = nullptr;
  }
  referenceField_ = target;
}

void TcxCustomDataField::Reassign(TcxCustomDataField* ASource) {
  if (!referenceField_) ClearData();
  valueDef_ = ASource->valueDef_;
  valueTypeClass_ = ASource->valueTypeClass_;
  textStored_ = ASource->textStored_;
  if (valueDef_) valueDef_->SetLinkObject(this);
  ASource->valueDef_ = nullptr;
  ASource->valueTypeClass_ = nullptr;
  referenceField_ = nullptr;
}

void TcxCustomDataFieldList::ReassignFields(TcxCustomDataField* AField) {
  TcxCustomDataField* heir = nullptr;
  for (const TObjectPtr<TcxCustomDataField>& owned : items_) {
    TcxCustomDataField* f = owned.get();
    if (f == AField || f->referenceField_ != AField) continue;
    if (AField->referenceField_) {
      // AField only borrowed its data: its referrers keep borrowing it
      // (taking over AField's nothing would leave them without values).
      f->referenceField_ = AField->referenceField_;
    } else if (!heir) {
      f->Reassign(AField);
      heir = f;
    } else {
      f->referenceField_ = heir;
    }
  }
}

// ---------------------------------------------------------------------------
// Native comparison
// ---------------------------------------------------------------------------

bool TcxCustomDataSource::GetInfoForCompare(TcxDataRecordHandle,
                                            TcxDataItemHandle, const void*&) {
  InvalidOperation(cxGetResourceString(cxSDataCustomDataSourceInvalidCompare));
}

bool TcxCustomDataProvider::IsNativeCompare() {
  return dataSource_ && dataSource_->IsNativeCompare();
}

bool TcxCustomDataProvider::IsNativeCompareFunc() {
  return dataSource_ && dataSource_->IsNativeCompareFunc();
}

Integer TcxCustomDataProvider::NativeCompare(
    Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField,
    TcxDataControllerComparisonMode AMode) {
  TcxValueDef* def = AField->GetValueDef();
  if (!def) return 0;
  TcxDataStorage* storage = dataController_->DataStorage();
  TcxValueTypeClass type = def->ValueTypeClass();
  // Variant values compare with VarCompare, which is no order.
  bool strict = AMode != dccmOther && type == TcxVariantValueType::Class();
  if (ARecordIndex1 < 0 && ARecordIndex2 < 0 && !strict)
    return storage->CompareRecords(ARecordIndex1, ARecordIndex2, def);
  bool fromSource = dataSource_ && dataController_->IsDataField(AField);
  auto info = [&](Integer ARecordIndex, const void*& P) {
    if (ARecordIndex < 0 || !fromSource)
      return !storage->GetCompareInfo(ARecordIndex, def, P);
    dataSource_->provider_ = this;
    // A value without a pointer to it cannot be compared: it counts as
    // Null rather than being read through a null pointer.
    return dataSource_->GetInfoForCompare(GetRecordHandleByIndex(ARecordIndex),
                                          ItemHandle(AField), P) &&
           P != nullptr;
  };
  const void* p1 = nullptr;
  const void* p2 = nullptr;
  bool has1 = info(ARecordIndex1, p1);
  bool has2 = info(ARecordIndex2, p2);
  if (strict) {
    Variant v1 = Null(), v2 = Null();
    if (has1) type->GetValue(p1, v1);
    if (has2) type->GetValue(p2, v2);
    return cxSortCompareVariants(v1, v2);
  }
  return def->CompareValues(!has1, !has2, p1, p2);
}

Integer TcxCustomDataProvider::NativeCompareFunc(Integer ARecordIndex1,
                                                 Integer ARecordIndex2,
                                                 TcxCustomDataField* AField) {
  if (!dataSource_) return 0;
  dataSource_->provider_ = this;
  return dataSource_->NativeCompareFunc(GetRecordHandleByIndex(ARecordIndex1),
                                        GetRecordHandleByIndex(ARecordIndex2),
                                        ItemHandle(AField));
}

// ---------------------------------------------------------------------------
// Provider: records for loading
// ---------------------------------------------------------------------------

TObjectPtr<TcxValueDefReader> TcxCustomDataProvider::CreateValueDefReader() {
  return TObjectPtr<TcxValueDefReader>(new TcxValueDefReader());
}

void TcxCustomDataProvider::SetRecordHandle(Integer ARecordIndex,
                                            TcxDataRecordHandle AHandle) {
  TcxCustomDataField* f = dataController_->RecordHandleField();
  if (!f || !f->GetValueDef()) return;
  dataController_->DataStorage()->SetValue(
      ARecordIndex, f->GetValueDef(),
      Variant(
          static_cast<long long>(reinterpret_cast<std::intptr_t>(AHandle))));
}

Integer TcxCustomDataProvider::AddRecordHandle(TcxDataRecordHandle AHandle) {
  Integer r = dataController_->DataStorage()->AppendRecord();
  SetRecordHandle(r, AHandle);
  return r;
}

// ---------------------------------------------------------------------------
// Controller: grid mode
// ---------------------------------------------------------------------------

bool TcxCustomDataController::IsDataBound() const {
  return IsProviderMode() || (provider_ && provider_->IsDataSource());
}

void TcxCustomDataController::Scroll(Integer ADistance) {
  if (IsGridMode()) provider_->Scroll(ADistance);
}

void TcxCustomDataController::SaveDataSetPos() { provider_->SavePos(); }

void TcxCustomDataController::RestoreDataSetPos() { provider_->RestorePos(); }

void TcxCustomDataController::LockGridModeNotify() {
  ++gridModeNotifyLock_;
  provider_->BeginLocate();
}

void TcxCustomDataController::UnlockGridModeNotify() {
  // An unmatched unlock must not leave the provider's locate count below 0.
  if (gridModeNotifyLock_ == 0) return;
  --gridModeNotifyLock_;
  provider_->EndLocate();
}

void TcxCustomDataController::SetDataProvider(
    TcxCustomDataProvider* AProvider) {
  if (!AProvider || AProvider == provider_.get()) return;
  AProvider->dataController_ = this;
  provider_->ResetEditing();
  TcxCustomDataSource* source = provider_->dataSource_;
  if (source) {
    source->provider_ = nullptr;
    provider_->dataSource_ = nullptr;
  }
  provider_.reset(AProvider);
  if (source) {
    AProvider->dataSource_ = source;
    source->provider_ = AProvider;
  }
  RestructData();
}

// ---------------------------------------------------------------------------
// Controller: structure updates
// ---------------------------------------------------------------------------

void TcxCustomDataController::EndUpdateFields() {
  if (updateFieldsLock_ == 0 || --updateFieldsLock_ != 0) return;
  if (!updateFieldsPending_) return;
  updateFieldsPending_ = false;
  LayoutChanged({lcStructure});
}

bool TcxCustomDataController::IsProviderDataSource() const {
  return IsDataBound() || structureRecreated_;
}

void TcxCustomDataController::UpdateItems(bool AUpdateFields) {
  if (inUpdateItems_) return;
  TRestoreOnExit updating(inUpdateItems_, true);
  // Inside a bracket the load waits for its end (CheckChanges), so that
  // the records are read once.
  if (GetLockCount() != 0) structureChanged_ = true;
  if (IsProviderDataSource())
    UpdateStorage(AUpdateFields);
  else
    info_->Refresh();
}

void TcxCustomDataController::UpdateStorage(bool AUpdateFields) {
  auto update = FullUpdateScope();
  TScopeGuard recreated([this] { structureRecreated_ = false; });
  if (IsProviderDataSource()) {
    if (AUpdateFields || provider_->IsActiveDataSet()) {
      // While the outside set is being updated, preparing would drop the
      // record being edited, or follow a field that is gone.
      if (updateFieldsLock_ != 0)
        updateFieldsPending_ = true;
      else if (!provider_->IsGridModeUpdating() ||
               (!provider_->IsEditing() && !fieldDestroyed_))
        UpdateFields();
    }
    if (!structureChanged_) LoadStorage();
  }
  info_->Refresh();
}

void TcxCustomDataController::UpdateFields() {
  for (Integer i = 0; i < fields_->GetCount(); ++i)
    fields_->GetItem(i)->prepared_ = false;
  // Each round looks the next field up afresh: PrepareField may free fields
  // (any of them, the one in hand too) or add some.
  for (;;) {
    TcxCustomDataField* next = nullptr;
    for (Integer i = 0; i < fields_->GetCount() && !next; ++i)
      if (!fields_->GetItem(i)->prepared_) next = fields_->GetItem(i);
    if (!next) break;
    next->prepared_ = true;
    PrepareField(next);
  }
  fieldDestroyed_ = false;
}

// ---------------------------------------------------------------------------
// Controller: loading
// ---------------------------------------------------------------------------

void TcxCustomDataController::LoadStorage() {
  bool keep = IsSmartLoad();
  if (!keep) storage_->Clear(provider_->DataChangedLocked());
  if (provider_->IsActive() && !keep) {
    // The rows must not go on naming records the failed load dropped.
    TScopeGuard refresh([this] { info_->Refresh(); });
    LoadRecords();
    refresh.Dismiss();
  }
  loadedStorage_ = true;
  CheckSelectedCount(-1);
  UpdateFocused();
  info_->Refresh();
}

void TcxCustomDataController::LoadRecords() {
  if (IsGridMode()) {
    auto loading = MakeBracket(storage_.get(), &TcxDataStorage::BeginLoad,
                               &TcxDataStorage::EndLoad);
    provider_->LoadDataBuffer();
    return;
  }
  provider_->Freeze();
  TScopeGuard release([this] {
    provider_->RestorePos();
    provider_->Unfreeze();
  });
  provider_->SavePos();
  provider_->First();
  auto loading = MakeBracket(storage_.get(), &TcxDataStorage::BeginLoad,
                             &TcxDataStorage::EndLoad);
  if (IsProviderMode()) {
    provider_->LoadRecordHandles();
  } else {
    TObjectPtr<TcxValueDefReader> reader(provider_->CreateValueDefReader());
    while (!provider_->IsEOF()) {
      Integer r = storage_->AppendRecord();
      storage_->ReadRecord(r, reader.get());
      DoReadRecord(r);
      provider_->Next();
    }
  }
}

// ---------------------------------------------------------------------------
// Controller: smart load
// ---------------------------------------------------------------------------

void TcxCustomDataController::BeginSmartLoad() {
  if (smartLoadLock_++ != 0) return;
  provider_->Freeze();
  provider_->SavePos();
  storage_->BeginLoad();
}

void TcxCustomDataController::EndSmartLoad() {
  // An unmatched end would unfreeze a provider somebody else froze.
  if (smartLoadLock_ == 0 || --smartLoadLock_ != 0) return;
  storage_->EndLoad();
  provider_->RestorePos();
  provider_->Unfreeze();
  UpdateFocused();
  info_->Refresh();
}

Integer TcxCustomDataController::LoadRecord(TcxValueDefReader* AReader) {
  if (!IsProviderMode()) {
    Integer r = storage_->AppendRecord();
    if (AReader) storage_->ReadRecord(r, AReader);
    return r;
  }
  TcxCustomDataSource* source = provider_->dataSource_;
  source->provider_ = provider_.get();
  TcxDataRecordHandle handle = source->GetRecordHandle(GetRecordCount());
  Integer r = storage_->AppendRecord();
  if (AReader) storage_->ReadRecord(r, AReader);
  // After the read: the reader knows nothing of the handle.
  provider_->SetRecordHandle(r, handle);
  return r;
}

Integer TcxCustomDataController::AppendInSmartLoad() {
  Integer r;
  if (IsProviderMode()) {
    TcxCustomDataSource* source = provider_->dataSource_;
    source->provider_ = provider_.get();
    TcxDataRecordHandle handle = source->AppendRecord();
    // The source's way of saying it added nothing.
    if (handle ==
        reinterpret_cast<TcxDataRecordHandle>(static_cast<std::intptr_t>(-1)))
      return -1;
    r = provider_->AddRecordHandle(handle);
  } else {
    TObjectPtr<TcxValueDefReader> reader(provider_->CreateValueDefReader());
    r = LoadRecord(reader.get());
  }
  DataChanged(dcNew, -1, r);
  return r;
}

void TcxCustomDataController::DeleteInSmartLoad(Integer ARecordIndex) {
  if (IsProviderMode() && ARecordIndex >= 0) {
    TcxCustomDataSource* source = provider_->dataSource_;
    source->provider_ = provider_.get();
    source->DeleteRecord(provider_->GetRecordHandleByIndex(ARecordIndex));
  }
  storage_->DeleteRecord(ARecordIndex);
}
