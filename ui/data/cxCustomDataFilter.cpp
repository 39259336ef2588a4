// A source of unit cxCustomData: the controller's filter criteria, their
// binding to the controller's fields and records, and the value lists of
// filter drop-downs.
#include <cstring>
#include <typeinfo>

#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "cxCustomData.h"

namespace {
// An integer of ASize bytes, negative for a signed one.
Int64 LoadInteger(const void* ASlot, Integer ASize) {
  auto load = [ASlot](auto ASample) {
    std::memcpy(&ASample, ASlot, sizeof(ASample));
    return static_cast<Int64>(ASample);
  };
  switch (ASize) {
    case -2:
      return load(Smallint{});
    case 2:
      return load(Word{});
    case -8:
      return load(Int64{});
    default:
      return load(Integer{});
  }
}

template <class T>
TObjectPtr<TcxDataFilterCriteria> CreateCriteria(
    TcxCustomDataController* AController) {
  return TObjectPtr<T>(new T(AController));
}
}  // namespace

// ---------------------------------------------------------------------------
// Controller
// ---------------------------------------------------------------------------

TcxCustomDataController::TcxDataFilterCriteriaClass
TcxCustomDataController::GetFilterCriteriaClass() const {
  return &CreateCriteria<TcxDataFilterCriteria>;
}

TcxDataFilterCriteria* TcxCustomDataController::Filter() {
  if (!filter_) filter_ = GetFilterCriteriaClass()(this);
  return filter_.get();
}

void TcxCustomDataController::SetFilter(TcxDataFilterCriteria* AValue) {
  Filter()->Assign(AValue, false);
}

TcxDataFilterList* TcxCustomDataController::Filters() {
  if (!filters_) filters_.reset(new TcxDataFilterList);
  return filters_.get();
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter() {
  return Filters()->Add(GetFilterCriteriaClass()(this));
}

void TcxCustomDataController::FilterChanged() {
  checkFocusingAfterFilter_ = true;
  if (IsEditing()) Cancel();
  Refresh();
  CheckBookmarkValid(-1);
  CorrectPrevSelectionChangedInfo();
}

Variant TcxCustomDataController::GetFilterDataValue(
    Integer ARecordIndex, TcxCustomDataField* AField) {
  return GetInternalValue(ARecordIndex, AField);
}

String TcxCustomDataController::GetFilterDisplayText(Integer ARecordIndex,
                                                     Integer AItemIndex) {
  return GetDisplayText(ARecordIndex, AItemIndex);
}

String TcxCustomDataController::GetFilterItemFieldCaption(TObject*) {
  return String();
}

String TcxCustomDataController::GetFilterItemFieldName(TObject* AItem) {
  return GetFilterItemFieldCaption(AItem);
}

bool TcxCustomDataController::IsFilterItemSortByDisplayText(
    Integer AItemIndex) {
  if (GetItemSortByDisplayText(AItemIndex, true)) return true;
  TcxValueTypeClass type = GetItemValueTypeClass(AItemIndex);
  return options_.Contains(dcoAnsiSort) && type && type->IsString();
}

bool TcxCustomDataController::IsCriteriaFiltering() const {
  return filter_ && filter_->IsFiltering();
}

bool TcxCustomDataController::DoCriteriaFilterRecord(Integer ARecordIndex) {
  return filter_->DoFilterRecord(ARecordIndex);
}

// Called when a field goes: no criteria may keep a leaf on it.
void TcxCustomDataController::RemoveFilterItems(TcxCustomDataField* AField) {
  if (filter_) filter_->RemoveItemByField(AField);
  if (filters_) filters_->RemoveItemByField(AField);
}

// ---------------------------------------------------------------------------
// Leaves
// ---------------------------------------------------------------------------

TcxDataFilterCriteriaItem::TcxDataFilterCriteriaItem(
    TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
    TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
    const String& ADisplayValue)
    : TcxFilterCriteriaItem(AParent, AItemLink, AOperatorKind, AValue,
                            ADisplayValue) {
  SetItemLink(AItemLink);
}

Variant TcxDataFilterCriteriaItem::GetDataValue(const void* AData) {
  if (!field_) return Null();
  return dataController_->GetFilterDataValue(
      *static_cast<const Integer*>(AData), field_);
}

// Only where every step of GetDataValue is this unit's own: a descendant
// of the leaf or of the controller may read filter values its own way (as
// display texts, say).
bool TcxDataFilterCriteriaItem::CanGetDirectDataValue() {
  return field_ && dataController_ &&
         typeid(*this) == typeid(TcxDataFilterCriteriaItem) &&
         typeid(*dataController_) == typeid(TcxDataController);
}

// The value definition GetInternalValue reads the stored value through in an
// unbound or loaded controller, with how its type is read; null when the
// values must go through GetDataValue.
TcxValueDef* TcxDataFilterCriteriaItem::DirectValueDef() {
  TcxCustomDataController* dc = dataController_;
  TcxValueDef* def = field_->GetValueDef();
  if (!def || dc->IsProviderMode() || dc->IsGridMode()) return nullptr;
  TcxValueTypeClass type = def->ValueTypeClass();
  if (type != directType_) {
    directType_ = type;
    directKind_ = TcxFilterDirectValue::dvInteger;
    directSize_ = 0;
    if (type == TcxStringValueType::Class()) {
      directKind_ = TcxFilterDirectValue::dvString;
    } else if (type == TcxFloatValueType::Class()) {
      directKind_ = TcxFilterDirectValue::dvFloat;
    } else if (type == TcxIntegerValueType::Class()) {
      directSize_ = -4;
    } else if (type == TcxSmallintValueType::Class()) {
      directSize_ = -2;
    } else if (type == TcxWordValueType::Class()) {
      directSize_ = 2;
    } else if (type == TcxLargeIntValueType::Class()) {
      directSize_ = -8;
    } else {
      directKind_ = TcxFilterDirectValue::dvNone;
    }
  }
  return directKind_ == TcxFilterDirectValue::dvNone ? nullptr : def;
}

// GetInternalValue without the Variant, after DirectValueDef.
bool TcxDataFilterCriteriaItem::ReadDirectValue(TcxValueDef* ADef,
                                                Integer ARecordIndex,
                                                TcxFilterDirectValue& AValue) {
  const void* value = nullptr;
  if (dataController_->DataStorage()->GetCompareInfo(ARecordIndex, ADef, value))
    return false;
  AValue.Kind = directKind_;
  switch (directKind_) {
    case TcxFilterDirectValue::dvString:
      AValue.AsString = static_cast<const String*>(value);
      return AValue.AsString != nullptr;
    case TcxFilterDirectValue::dvFloat:
      std::memcpy(&AValue.AsFloat, value, sizeof(double));
      return true;
    case TcxFilterDirectValue::dvInteger:
      AValue.AsInteger = LoadInteger(value, directSize_);
      return true;
    default:
      return false;
  }
}

bool TcxDataFilterCriteriaItem::GetDirectDataValue(
    const void* AData, TcxFilterDirectValue& AValue) {
  TcxValueDef* def = DirectValueDef();
  return def &&
         ReadDirectValue(def, *static_cast<const Integer*>(AData), AValue);
}

// The reading is set up once for the whole batch.
void TcxDataFilterCriteriaItem::GetDirectDataValues(
    const Integer* ARecords, Integer ACount, TcxFilterDirectValue* AValues) {
  TcxValueDef* def = DirectValueDef();
  for (Integer i = 0; i < ACount; ++i)
    if (!def || !ReadDirectValue(def, ARecords[i], AValues[i]))
      AValues[i].Kind = TcxFilterDirectValue::dvNone;
}

String TcxDataFilterCriteriaItem::GetFieldCaption() {
  TcxCustomDataField* field = Field();
  if (!field || !field->Item()) return String();
  return DataController()->GetFilterItemFieldCaption(field->Item());
}

String TcxDataFilterCriteriaItem::GetFieldName() {
  TcxCustomDataField* field = Field();
  if (!field || !field->Item()) return String();
  return DataController()->GetFilterItemFieldName(field->Item());
}

TObject* TcxDataFilterCriteriaItem::GetItemLink() {
  TcxCustomDataField* field = Field();
  if (!field) return nullptr;
  // A field without a client item stands for itself.
  return field->Item() ? field->Item() : field;
}

void TcxDataFilterCriteriaItem::SetItemLink(TObject* AValue) {
  auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(Criteria());
  dataController_ = criteria ? criteria->DataController() : nullptr;
  field_ = criteria ? criteria->FieldOf(AValue) : nullptr;
  TcxFilterCriteriaItem::SetItemLink(field_);
}

// ---------------------------------------------------------------------------
// Criteria
// ---------------------------------------------------------------------------

TcxDataFilterCriteria::TcxDataFilterCriteria(
    TcxCustomDataController* ADataController)
    : dataController_(ADataController) {
  quickTestClass_ = &typeid(TcxDataFilterCriteria);
  SetStoreItemLinkNames(true);
}

TcxDataFilterCriteria::~TcxDataFilterCriteria() {
  destroying_ = true;
  if (dataController_ && dataController_->filters_)
    dataController_->filters_->Remove(this);
  SetActive(false);
}

TcxCustomDataField* TcxDataFilterCriteria::FieldOf(TObject* AItemLink) const {
  if (!AItemLink) return nullptr;
  if (auto* field = dynamic_cast<TcxCustomDataField*>(AItemLink)) return field;
  return dataController_->Fields()->FieldByItem(AItemLink);
}

TObjectPtr<TcxFilterValueList> TcxDataFilterCriteria::CreateValueList() {
  return TObjectPtr<TcxDataFilterValueList>(new TcxDataFilterValueList(this));
}

bool TcxDataFilterCriteria::IsFiltering() const {
  return active_ && !IsEmpty() && !dataController_->IsGridMode();
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemByItemLink(
    TObject* AItemLink) {
  TcxCustomDataField* field = FieldOf(AItemLink);
  return field ? TcxFilterCriteria::FindItemByItemLink(field) : nullptr;
}

// A leaf's identity in the stream is its item's, as the controller names
// and numbers its items; a link may be the field or the item itself.
TObject* TcxDataFilterCriteria::ClientItemOf(TObject* AItemLink) const {
  TcxCustomDataField* field = FieldOf(AItemLink);
  return field && !field->IsInternal() ? field->Item() : nullptr;
}

Integer TcxDataFilterCriteria::GetIDByItemLink(TObject* AItemLink) {
  if (TObject* item = ClientItemOf(AItemLink))
    return dataController_->GetItemID(item);
  // A controller may hold fields without client items: their position is
  // all that names them.
  TcxCustomDataField* field = FieldOf(AItemLink);
  for (Integer i = 0; field && i < dataController_->GetItemCount(); ++i)
    if (dataController_->GetItemField(i) == field) return i;
  return -1;
}

String TcxDataFilterCriteria::GetNameByItemLink(TObject* AItemLink) {
  TObject* item = ClientItemOf(AItemLink);
  return item ? dataController_->GetItemName(item) : String();
}

TObject* TcxDataFilterCriteria::GetItemLinkByID(Integer AID) {
  if (TObject* item = dataController_->FindItemByInternalID(AID)) return item;
  if (AID >= 0 && AID < dataController_->GetItemCount() &&
      !dataController_->GetItem(AID))
    return dataController_->GetItemField(AID);
  return nullptr;
}

TObject* TcxDataFilterCriteria::GetItemLinkByName(const String& AName) {
  return dataController_->FindItemByName(AName);
}

TObjectPtr<TcxFilterCriteriaItem> TcxDataFilterCriteria::CreateItem(
    TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
    TcxFilterOperatorKind AKind, const Variant& AValue,
    const String& ADisplayValue) {
  return TObjectPtr<TcxDataFilterCriteriaItem>(new TcxDataFilterCriteriaItem(
      AParent, AItemLink, AKind, AValue, ADisplayValue));
}

void TcxDataFilterCriteria::Assign(TcxFilterCriteria* ASource,
                                   bool AIgnoreItemNames) {
  auto* source = dynamic_cast<TcxDataFilterCriteria*>(ASource);
  if (!source) {
    TcxFilterCriteria::Assign(ASource, AIgnoreItemNames);
    return;
  }
  auto update = MakeBracket(this, &TcxDataFilterCriteria::BeginUpdate,
                            &TcxDataFilterCriteria::EndUpdate);
  TcxFilterCriteria::Assign(ASource, AIgnoreItemNames);
  SetActive(source->active_);
}

void TcxDataFilterCriteria::AssignEvents(TPersistent* ASource) {
  TcxFilterCriteria::AssignEvents(ASource);
  if (auto* source = dynamic_cast<TcxDataFilterCriteria*>(ASource))
    OnGetValueList = source->OnGetValueList;
}

void TcxDataFilterCriteria::DefineProperties(TFiler* AFiler) {
  TcxFilterCriteria::DefineProperties(AFiler);
  AFiler->DefineBinaryProperty(
      "Criteria", TStreamProc(this, &TcxDataFilterCriteria::ReadCriteria),
      TStreamProc(this, &TcxDataFilterCriteria::WriteCriteria), IsStore());
}

void TcxDataFilterCriteria::Update() {
  if (IsInternal() || IsDestroying() || IsLoading()) return;
  if (!dataController_->Provider()->IsDataSource()) dataController_->Post();
  dataController_->FilterChanged();
  TcxFilterCriteria::Update();
}

bool TcxDataFilterCriteria::IsDestroying() const {
  return destroying_ || dataController_->IsDestroying();
}

bool TcxDataFilterCriteria::IsInternal() const {
  return dataController_->filters_ &&
         dataController_->filters_->IndexOf(this) >= 0;
}

bool TcxDataFilterCriteria::IsLoading() const {
  return dataController_->IsLoading();
}

void TcxDataFilterCriteria::SetActive(bool AValue) {
  if (active_ == AValue) return;
  active_ = AValue;
  Changed();
}

// ---------------------------------------------------------------------------
// Value list
// ---------------------------------------------------------------------------

TcxDataFilterCriteria* TcxDataFilterValueList::DataCriteria() const {
  return static_cast<TcxDataFilterCriteria*>(Criteria());
}

void TcxDataFilterValueList::Load(Integer AItemIndex,
                                  bool AInitSortByDisplayText,
                                  bool AUseFilteredValues) {
  TcxDataFilterCriteria* criteria = DataCriteria();
  TcxCustomDataController* dc = criteria->DataController();
  TcxCustomDataField* field = dc->GetItemField(AItemIndex);
  Clear();
  if (AInitSortByDisplayText)
    SortByDisplayText = dc->IsFilterItemSortByDisplayText(AItemIndex);
  Add(fviAll, Null(), cxSFilterString(cxSFilterBoxAllCaption));
  Add(fviCustom, Null(), cxSFilterString(cxSFilterBoxCustomCaption));
  bool hasBlanks = false;
  if (dc->IsGridMode()) {
    hasBlanks = true;
  } else {
    auto addRecord = [&](Integer ARecordIndex) {
      Variant value = dc->GetFilterDataValue(ARecordIndex, field);
      if (criteria->ValueIsNull(value))
        hasBlanks = true;
      else
        Add(fviValue, value,
            dc->GetFilterDisplayText(ARecordIndex, AItemIndex));
    };
    if (AUseFilteredValues && dc->GetFilteredRecordCount() > 0) {
      for (Integer i = 0; i < dc->GetFilteredRecordCount(); ++i)
        addRecord(dc->GetFilteredRecordIndex(i));
    } else {
      AUseFilteredValues = false;
      for (Integer i = 0; i < dc->GetRecordCount(); ++i) addRecord(i);
    }
  }
  if (hasBlanks)
    Add(fviBlanks, Null(), cxSFilterString(cxSFilterBoxBlanksCaption));
  bool notNullItem = false;
  if (!hasBlanks && AUseFilteredValues) {
    TcxFilterCriteriaItem* item = criteria->FindItemByItemLink(field);
    notNullItem = item && item->Operator()->Is<TcxFilterNotNullOperator>();
  }
  if (hasBlanks || notNullItem)
    Add(fviNonBlanks, Null(), cxSFilterString(cxSFilterBoxNonBlanksCaption));
  if (criteria->OnGetValueList)
    criteria->OnGetValueList(criteria, AItemIndex, this);
}

// ---------------------------------------------------------------------------
// Extra criteria
// ---------------------------------------------------------------------------

void TcxDataFilterList::Clear() {
  while (!items_.empty()) Free(items_.ExtractLast());
}

Integer TcxDataFilterList::IndexOf(const TcxDataFilterCriteria* AFilter) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == AFilter) return static_cast<Integer>(i);
  return -1;
}

void TcxDataFilterList::Remove(TcxDataFilterCriteria* AFilter) {
  items_.Extract(AFilter);
}

void TcxDataFilterList::RemoveItemByField(TcxCustomDataField* AField) {
  for (TcxDataFilterCriteria* filter : items_)
    filter->RemoveItemByField(AField);
}

// ---------------------------------------------------------------------------
// Unit start-up
// ---------------------------------------------------------------------------

namespace {

void DataFilterStartup() {
  TPublished<TcxDataFilterCriteria>().Property(
      "Active", &TcxDataFilterCriteria::Active,
      &TcxDataFilterCriteria::SetActive, false);
}

void DataFilterShutdown() {
  UnpublishClass(TcxDataFilterCriteria::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxCustomDataFilter, ({"cxFilter"}), &DataFilterStartup,
            &DataFilterShutdown);
