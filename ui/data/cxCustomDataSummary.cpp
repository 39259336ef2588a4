// Summaries: items, footer and group summary items, summary groups and
// their links, the computation, the display texts and the values set by the
// application; sorting groups by a summary; the controller's assignment.
#include <algorithm>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxCustomData.h"
#include "cxVariants.h"

namespace {

// BeginUpdate on an owner that may be missing, EndUpdate at scope exit.
template <class T>
[[nodiscard]] auto UpdateIfAny(T* AObject) {
  if (AObject) AObject->BeginUpdate();
  return TScopeGuard([AObject] {
    if (AObject) AObject->EndUpdate();
  });
}

const Variant& NullVariant() {
  static const Variant null = Null();
  return null;
}

bool Differs(const Variant& A, const Variant& B) {
  if (A.VarType() != B.VarType() && (A.IsNull() || B.IsNull())) return true;
  try {
    return A != B;
  } catch (const Exception&) {
    return true;
  }
}

// A sum that leaves the 64-bit range goes on in floating point rather than
// stopping the update pass.
Variant AddValues(const Variant& A, const Variant& B) {
  try {
    return A + B;
  } catch (const EVariantOverflowError&) {
    return Variant(A.AsDouble() + B.AsDouble());
  }
}

TcxDataGroups& TreeOf(TcxCustomDataController* ADataController) {
  return ADataController->DataControllerInfo()->DataGroups();
}

}  // namespace

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

TObject* TcxCustomDataSummaryItem::ItemLink() const {
  return field_ ? field_->Item() : nullptr;
}

void TcxCustomDataSummaryItem::SetItemLink(TObject* AValue) {
  if (field_ && AValue == ItemLink()) return;
  TcxCustomDataController* dc = GetDataController();
  SetField(AValue && dc ? dc->Fields()->FieldByItem(AValue) : nullptr);
}

void TcxCustomDataSummaryItem::SetField(TcxCustomDataField* AField) {
  if (AField == field_) return;
  TCollection* c = Collection();
  auto update = UpdateIfAny(c);
  ItemLinkChanging(AField);
  field_ = AField;
}

void TcxCustomDataSummaryItem::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxCustomDataSummaryItem*>(ASource);
  if (!source) {
    TCollectionItem::Assign(ASource);
    return;
  }
  TcxCustomDataController* dc = GetDataController();
  if (dc && source->GetDataController() == dc) {
    SetField(source->Field());
  } else {
    // Another controller: its item that stands for the source's item.
    TObject* link = source->ItemLink();
    if (link && dc) link = dc->FindProperItemLink(link);
    SetField(link && dc ? dc->Fields()->FieldByItem(link) : nullptr);
  }
}

TcxCustomDataController* TcxDataSummaryItem::GetDataController() const {
  TcxDataSummaryItems* items = SummaryItems();
  return items ? items->DataController() : nullptr;
}

TcxDataSummaryItems* TcxDataSummaryItem::SummaryItems() const {
  return dynamic_cast<TcxDataSummaryItems*>(Collection());
}

void TcxDataSummaryItem::BeforeDestruction() {
  try {
    if (sorted_) {
      sorted_ = false;
      TcxDataSummaryItems* items = SummaryItems();
      TcxCustomDataController* dc = GetDataController();
      if (dc && items && items->Summary() && !items->Summary()->IsDestroying())
        dc->DoSortingBySummaryChanged();
    }
    TcxCustomDataSummaryItem::BeforeDestruction();
  } catch (...) {
    // Leaving the collection recalculates; destruction must go on.
  }
}

bool TcxDataSummaryItem::IsCurrency(TVarType AVarType) const {
  return VarTypeIsCurrency(AVarType);
}

bool TcxDataSummaryItem::IsDataBinded() const {
  return Field() != nullptr || (kind_ == skCount && Position() == spGroup);
}

bool TcxDataSummaryItem::IsPositionStored() const {
  TcxDataSummaryItems* items = SummaryItems();
  return items ? items->IsPositionStored(this) : position_ != spGroup;
}

TcxSummaryValueType TcxDataSummaryItem::GetValueType(TVarType AVarType) const {
  if (IsCurrency(AVarType)) return svtCurrency;
  if (AVarType == varDate) return svtDate;
  return svtFloat;
}

String TcxDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter) {
  String text;
  // Unassigned: the item was not computed (it has no field), which is not
  // a zero.
  if (AValue.IsNull() || AValue.IsEmpty()) {
    text = String();
  } else if (kind_ == skNone) {
    text = VarToStr(AValue);
  } else {
    String f = format_;
    TcxDataSummaryItems* items = SummaryItems();
    if (f.empty() && items)
      f = items->DefaultFormat(GetValueType(VarType(AValue)), kind_, AIsFooter);
    if (VarType(AValue) != varDate || kind_ == skCount) {
      try {
        text = FormatFloat(f, static_cast<Extended>(AValue.AsDouble()));
      } catch (const Exception&) {
        // A minimum or maximum of texts has no number to format.
        text = VarToStr(AValue);
      }
    } else {
      TDateTime d = AValue.AsDateTime();
      TDateTime datePart = cxDataUtils::DateOf(d);
      TDateTime timePart = cxDataUtils::TimeOf(d);
      String dateText;
      if (timePart == 0)
        dateText = DateToStr(d);
      else if (datePart != 0)
        dateText = DateTimeToStr(d);
      else
        dateText = TimeToStr(d);
      text = f + dateText;
    }
  }
  if (OnGetText) OnGetText(this, AValue, AIsFooter, text);
  return text;
}

void TcxDataSummaryItem::SetFormat(const String& AValue) {
  if (format_ == AValue) return;
  format_ = AValue;
  Changed(false);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind AValue) {
  if (kind_ == AValue) return;
  kind_ = AValue;
  Changed(true);
}

TcxSummaryPosition TcxDataSummaryItem::Position() const {
  TcxDataSummaryItems* items = SummaryItems();
  return items ? items->GetItemPosition(this) : position_;
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition AValue) {
  if (position_ == AValue) return;
  position_ = AValue;
  Changed(false);
}

void TcxDataSummaryItem::SetSorted(bool AValue) {
  TcxCustomDataController* dc = GetDataController();
  if (dc && dc->GetSortingBySummaryDataItemIndex() != -1) return;
  if (sorted_ == AValue) return;
  TcxDataSummaryItems* items = SummaryItems();
  auto update = UpdateIfAny(items);
  if (items) items->BeforeSortingChange(this, AValue);
  sorted_ = AValue;
  if (dc) dc->DoSortingBySummaryChanged();
  Changed(true);
}

void TcxDataSummaryItem::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxDataSummaryItem*>(ASource);
  if (!source) {
    TcxCustomDataSummaryItem::Assign(ASource);
    return;
  }
  TCollection* c = Collection();
  auto update = UpdateIfAny(c);
  TcxCustomDataSummaryItem::Assign(ASource);
  SetFormat(source->format_);
  SetKind(source->kind_);
  SetPosition(source->position_);
  SetSorted(source->sorted_);
  OnGetText = source->OnGetText;
}

// ---------------------------------------------------------------------------
// Item collections
// ---------------------------------------------------------------------------

TcxDataSummaryItems::TcxDataSummaryItems(TcxDataSummary* ASummary,
                                         TClass AItemClass)
    : TcxCollection(AItemClass ? AItemClass
                               : TcxDataSummaryItem::StaticClass()),
      owner_(ASummary),
      summary_(ASummary) {}

TPersistent* TcxDataSummaryItems::GetOwner() { return owner_; }

TcxCustomDataController* TcxDataSummaryItems::DataController() const {
  return summary_ ? summary_->DataController() : nullptr;
}

void TcxDataSummaryItems::Update(TCollectionItem* AItem) {
  if (summary_) summary_->Changed(AItem != nullptr);
}

TcxSummaryPosition TcxDataSummaryItems::GetItemPosition(
    const TcxDataSummaryItem* AItem) const {
  return AItem->position_;
}

bool TcxDataSummaryItems::IsPositionStored(
    const TcxDataSummaryItem* AItem) const {
  return GetItemPosition(AItem) != spGroup;
}

bool TcxDataSummaryItems::IsPropertiesEmpty(
    const TcxDataSummaryItem* AItem) const {
  return AItem->Format().empty() && AItem->Kind() == skNone && !AItem->Sorted();
}

void TcxDataSummaryItems::AssignEvents(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TcxDataSummaryItems*>(ASource))
    OnSummary = source->OnSummary;
}

void TcxDataSummaryItems::Assign(TPersistent* ASource) {
  TcxCollection::Assign(ASource);
  AssignEvents(ASource);
}

String TcxDataSummaryItems::DefaultFormat(TcxSummaryValueType AValueType,
                                          TcxSummaryKind AKind,
                                          bool AIsFooter) const {
  const char* name = nullptr;
  switch (AKind) {
    case skNone:
      return String();
    case skCount:
      return AIsFooter ? "0" : "COUNT=0";
    case skSum:
      name = "SUM";
      break;
    case skMin:
      name = "MIN";
      break;
    case skMax:
      name = "MAX";
      break;
    case skAverage:
      name = "AVG";
      break;
  }
  // A footer sum shows the bare amount.
  bool bare = AKind == skSum && AIsFooter;
  String prefix = bare ? String() : String(name) + "=";
  switch (AValueType) {
    case svtDate:
      return prefix;
    case svtCurrency: {
      String cf = DefaultCurrencyDisplayFormat();
      String pattern = prefix + "%s;" + prefix + "-%s";
      return Format(pattern, {cf, cf});
    }
    default:
      return prefix + "0.00;" + prefix + "-0.00";
  }
}

TcxDataSummaryItem* TcxDataSummaryItems::GetDataItem(
    Integer AItemIndex, TcxSummaryPosition APosition, bool ACheckKind,
    TcxSummaryKind AKind) {
  TcxCustomDataController* dc = DataController();
  if (!dc) return nullptr;
  TcxCustomDataField* field = dc->GetItemField(AItemIndex);
  for (Integer i = 0; i < Count(); ++i) {
    TcxDataSummaryItem* item = Items(i);
    if (item->Field() == field && GetItemPosition(item) == APosition &&
        (!ACheckKind || item->Kind() == AKind))
      return item;
  }
  return nullptr;
}

TcxDataSummaryItem* TcxDataSummaryItems::Add() {
  return static_cast<TcxDataSummaryItem*>(TCollection::Add());
}

TcxDataSummaryItem* TcxDataSummaryItems::Add(TObject* AItemLink,
                                             TcxSummaryPosition APosition,
                                             TcxSummaryKind AKind,
                                             const String& AFormat) {
  auto update = MakeBracket(this, &TcxDataSummaryItems::BeginUpdate,
                            &TcxDataSummaryItems::EndUpdate);
  TcxDataSummaryItem* item = Add();
  item->SetItemLink(AItemLink);
  item->SetPosition(APosition);
  item->SetKind(AKind);
  item->SetFormat(AFormat);
  return item;
}

void TcxDataSummaryItems::DeleteItems(TObject* AItemLink,
                                      TcxSummaryPosition APosition) {
  auto update = MakeBracket(this, &TcxDataSummaryItems::BeginUpdate,
                            &TcxDataSummaryItems::EndUpdate);
  for (Integer i = Count() - 1; i >= 0; --i)
    if (Items(i)->ItemLink() == AItemLink &&
        GetItemPosition(Items(i)) == APosition)
      Delete(i);
}

Integer TcxDataSummaryItems::IndexOf(const TcxDataSummaryItem* AItem) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i) == AItem) return i;
  return -1;
}

Integer TcxDataSummaryItems::IndexOfItemLink(TObject* AItemLink) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->ItemLink() == AItemLink) return i;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfItemLink(
    TObject* AItemLink) const {
  Integer i = IndexOfItemLink(AItemLink);
  return i < 0 ? nullptr : Items(i);
}

Integer TcxDataSummaryItems::IndexOfField(
    const TcxCustomDataField* AField) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Field() == AField) return i;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfField(
    const TcxCustomDataField* AField) const {
  Integer i = IndexOfField(AField);
  return i < 0 ? nullptr : Items(i);
}

String TcxDataSummaryItems::GetDataItemFormat(Integer AItemIndex,
                                              TcxSummaryPosition APosition) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  return item ? item->Format() : String();
}

TcxSummaryKind TcxDataSummaryItems::GetDataItemKind(
    Integer AItemIndex, TcxSummaryPosition APosition) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  return item ? item->Kind() : skNone;
}

bool TcxDataSummaryItems::GetDataItemSorted(Integer AItemIndex,
                                            TcxSummaryPosition APosition) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  return item && item->Sorted();
}

void TcxDataSummaryItems::SetDataItemProperty(
    Integer AItemIndex, TcxSummaryPosition APosition, bool AValueIsEmpty,
    const std::function<void(TcxDataSummaryItem*)>& ASetter) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  if (item) {
    ASetter(item);
    if (IsPropertiesEmpty(item)) Delete(item->Index());
    return;
  }
  if (AValueIsEmpty) return;
  auto update = MakeBracket(this, &TcxDataSummaryItems::BeginUpdate,
                            &TcxDataSummaryItems::EndUpdate);
  item = Add();
  item->SetField(DataController()->GetItemField(AItemIndex));
  item->SetPosition(APosition);
  ASetter(item);
}

void TcxDataSummaryItems::SetDataItemFormat(Integer AItemIndex,
                                            TcxSummaryPosition APosition,
                                            const String& AValue) {
  SetDataItemProperty(
      AItemIndex, APosition, AValue.empty(),
      [&](TcxDataSummaryItem* AItem) { AItem->SetFormat(AValue); });
}

void TcxDataSummaryItems::SetDataItemKind(Integer AItemIndex,
                                          TcxSummaryPosition APosition,
                                          TcxSummaryKind AValue) {
  SetDataItemProperty(
      AItemIndex, APosition, AValue == skNone,
      [&](TcxDataSummaryItem* AItem) { AItem->SetKind(AValue); });
}

void TcxDataSummaryItems::SetDataItemSorted(Integer AItemIndex,
                                            TcxSummaryPosition APosition,
                                            bool AValue) {
  SetDataItemProperty(
      AItemIndex, APosition, !AValue,
      [&](TcxDataSummaryItem* AItem) { AItem->SetSorted(AValue); });
}

TcxDataGroupSummaryItems::TcxDataGroupSummaryItems(TcxDataSummary* ASummary,
                                                   TClass AItemClass,
                                                   TPersistent* AOwner)
    : TcxDataSummaryItems(ASummary, AItemClass) {
  if (AOwner) owner_ = AOwner;
}

void TcxDataGroupSummaryItems::BeforeSortingChange(TcxDataSummaryItem* AItem,
                                                   bool ASorted) {
  if (!ASorted) return;
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i) != AItem) Items(i)->sorted_ = false;
}

String TcxDataGroupSummaryItems::GetGroupText(const Variant& AValues) {
  String text;
  bool first = true;
  for (Integer i = 0; i < Count(); ++i) {
    TcxDataSummaryItem* item = Items(i);
    if (GetItemPosition(item) != spGroup) continue;
    bool valid =
        Summary() ? Summary()->IsValidSummaryValuesIndex(AValues, i) : false;
    Variant value = valid ? VarArrayGet(AValues, {i}) : Null();
    if (!first) text += separator_ + " ";
    text += item->FormatValue(value, false);
    first = false;
  }
  if (!text.empty()) text = beginText_ + text + endText_;
  return text;
}

void TcxDataGroupSummaryItems::Assign(TPersistent* ASource) {
  auto update = MakeBracket(this, &TcxDataGroupSummaryItems::BeginUpdate,
                            &TcxDataGroupSummaryItems::EndUpdate);
  TcxDataSummaryItems::Assign(ASource);
  if (auto* source = dynamic_cast<TcxDataGroupSummaryItems*>(ASource)) {
    beginText_ = source->beginText_;
    endText_ = source->endText_;
    separator_ = source->separator_;
  }
}

void TcxDataGroupSummaryItems::DefineProperties(TFiler* AFiler) {
  TcxDataSummaryItems::DefineProperties(AFiler);
  // Against an ancestor the published properties carry every difference.
  bool plain = AFiler->Ancestor() == nullptr;
  TWriterProc write(this, &TcxDataGroupSummaryItems::WriteEmptyText);
  AFiler->DefineProperty("BeginText", TReaderProc(), write,
                         plain && beginText_.empty());
  AFiler->DefineProperty("EndText", TReaderProc(), write,
                         plain && endText_.empty());
  AFiler->DefineProperty("Separator", TReaderProc(), write,
                         plain && separator_.empty());
}

void TcxDataGroupSummaryItems::WriteEmptyText(TWriter* AWriter) {
  AWriter->WriteString(String());
}

TcxDataSummaryItem* TcxDataGroupSummaryItems::SortedSummaryItem() const {
  TcxCustomDataController* dc = DataController();
  Integer index = dc ? dc->GetSortingBySummaryDataItemIndex() : -1;
  if (index != -1) return ItemOfField(dc->GetItemField(index));
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Sorted()) return Items(i);
  return nullptr;
}

void TcxDataGroupSummaryItems::SetBeginText(const String& AValue) {
  if (beginText_ == AValue) return;
  beginText_ = AValue;
  if (Summary()) Summary()->Changed(true);
}

void TcxDataGroupSummaryItems::SetEndText(const String& AValue) {
  if (endText_ == AValue) return;
  endText_ = AValue;
  if (Summary()) Summary()->Changed(true);
}

void TcxDataGroupSummaryItems::SetSeparator(const String& AValue) {
  if (separator_ == AValue) return;
  separator_ = AValue;
  if (Summary()) Summary()->Changed(true);
}

// ---------------------------------------------------------------------------
// Summary groups
// ---------------------------------------------------------------------------

TcxDataSummaryGroup* TcxDataSummaryGroupItemLink::SummaryGroup() const {
  auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(Collection());
  return links ? links->SummaryGroup() : nullptr;
}

TcxCustomDataController* TcxDataSummaryGroupItemLink::GetDataController()
    const {
  TcxDataSummaryGroup* group = SummaryGroup();
  TcxDataSummary* summary = group ? group->Summary() : nullptr;
  return summary ? summary->DataController() : nullptr;
}

void TcxDataSummaryGroupItemLink::ItemLinkChanging(TcxCustomDataField* AField) {
  TcxDataSummaryGroup* group = SummaryGroup();
  TcxDataSummary* summary = group ? group->Summary() : nullptr;
  if (!AField || !summary) return;
  TcxDataSummaryGroups* groups = summary->SummaryGroups();
  for (Integer g = 0; g < groups->Count(); ++g) {
    TcxDataSummaryGroupItemLinks* links = groups->Items(g)->Links();
    for (Integer i = 0; i < links->Count(); ++i)
      if (links->Items(i) != this && links->Items(i)->Field() == AField)
        links->Items(i)->ForgetField();
  }
}

TcxDataSummaryGroupItemLinks::TcxDataSummaryGroupItemLinks(
    TcxDataSummaryGroup* AGroup)
    : TcxCollection(AGroup && AGroup->Summary()
                        ? AGroup->Summary()->GetSummaryGroupItemLinkClass()
                        : TcxDataSummaryGroupItemLink::StaticClass()),
      group_(AGroup) {}

TPersistent* TcxDataSummaryGroupItemLinks::GetOwner() { return group_; }

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem*) {
  TcxDataSummary* summary = group_ ? group_->Summary() : nullptr;
  if (summary) summary->Changed(false);
}

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* ACollection)
    : TCollectionItem(ACollection) {
  TcxDataSummary* summary = Summary();
  summaryItems_.reset(new TcxDataGroupSummaryItems(
      summary, summary ? summary->GetSummaryItemClass() : nullptr, this));
}

TcxDataSummaryGroup::~TcxDataSummaryGroup() {
  summaryItems_.reset();
  links_.reset();
}

TcxDataSummary* TcxDataSummaryGroup::Summary() const {
  auto* groups = dynamic_cast<TcxDataSummaryGroups*>(Collection());
  return groups ? groups->Summary() : nullptr;
}

TcxDataSummaryGroupItemLinks* TcxDataSummaryGroup::Links() {
  if (!links_) links_.reset(new TcxDataSummaryGroupItemLinks(this));
  return links_.get();
}

bool TcxDataSummaryGroup::HasLinkToField(
    const TcxCustomDataField* AField) const {
  if (!links_ || !AField) return false;
  for (Integer i = 0; i < links_->Count(); ++i)
    if (links_->Items(i)->Field() == AField) return true;
  return false;
}

void TcxDataSummaryGroup::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxDataSummaryGroup*>(ASource);
  if (!source) {
    TCollectionItem::Assign(ASource);
    return;
  }
  Links()->Assign(source->Links());
  summaryItems_->Assign(source->summaryItems_.get());
}

TcxDataSummaryGroups::TcxDataSummaryGroups(TcxDataSummary* ASummary)
    : TcxCollection(TcxDataSummaryGroup::StaticClass()), summary_(ASummary) {}

TPersistent* TcxDataSummaryGroups::GetOwner() { return summary_; }

void TcxDataSummaryGroups::Update(TCollectionItem*) {
  if (summary_) summary_->Changed(false);
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(
    TObject* ALink) const {
  if (!ALink) return nullptr;
  for (Integer g = 0; g < Count(); ++g) {
    TcxDataSummaryGroupItemLinks* links = Items(g)->Links();
    for (Integer i = 0; i < links->Count(); ++i)
      if (links->Items(i)->ItemLink() == ALink) return Items(g);
  }
  return nullptr;
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByField(
    const TcxCustomDataField* AField) const {
  for (Integer g = 0; g < Count(); ++g)
    if (Items(g)->HasLinkToField(AField)) return Items(g);
  return nullptr;
}

// ---------------------------------------------------------------------------
// The summary
// ---------------------------------------------------------------------------

TcxDataSummary::TcxDataSummary(TcxCustomDataController* ADataController)
    : dataController_(ADataController), footerValues_(Null()) {
  defaultGroupSummaryItems_.reset(
      new TcxDataGroupSummaryItems(this, GetSummaryItemClass(), this));
  footerSummaryItems_.reset(
      new TcxDataFooterSummaryItems(this, GetSummaryItemClass()));
  summaryGroups_.reset(new TcxDataSummaryGroups(this));
}

TcxDataSummary::~TcxDataSummary() {
  destroying_ = true;
  summaryGroups_.reset();
  defaultGroupSummaryItems_.reset();
  footerSummaryItems_.reset();
}

void TcxDataSummary::BeforeDestruction() { destroying_ = true; }

void TcxDataSummary::SetOptions(TcxSummaryOptions AValue) {
  if (AValue.Contains(soSelectedRecords) &&
      AValue.Contains(soMultipleSelectedRecords))
    AValue.Exclude(options_.Contains(soSelectedRecords)
                       ? soSelectedRecords
                       : soMultipleSelectedRecords);
  if (AValue == options_) return;
  options_ = AValue;
  Changed(false);
}

void TcxDataSummary::BeginUpdate() {
  if (dataController_) dataController_->BeginUpdate();
  ++lockCount_;
}

void TcxDataSummary::EndUpdate() {
  --lockCount_;
  TScopeGuard update([this] {
    if (dataController_) dataController_->EndUpdate();
  });
  Changed(false);
}

void TcxDataSummary::CancelUpdate() {
  --lockCount_;
  if (dataController_) dataController_->EndUpdate();
}

void TcxDataSummary::Changed(bool AViewOnly) {
  if (inAfterSummary_ || lockCount_ != 0) return;
  Update(AViewOnly);
}

void TcxDataSummary::Update(bool AViewOnly) {
  if (!destroying_ && dataController_)
    dataController_->SummaryChanged(AViewOnly);
}

TcxDataGroupSummaryItems* TcxDataSummary::GetGroupSummaryItems(
    Integer ALevel) const {
  if (!dataController_) return nullptr;
  TcxGroupingFieldList& grouping =
      dataController_->DataControllerInfo()->GroupingFieldList();
  if (ALevel < 0 || ALevel >= grouping.Count()) return nullptr;
  TcxDataSummaryGroup* group =
      summaryGroups_->FindByField(grouping.Items(ALevel).Field);
  return group ? group->SummaryItems() : defaultGroupSummaryItems_.get();
}

Variant* TcxDataSummary::GroupValuesSlot(Integer ADataGroupIndex) {
  if (!dataController_ || ADataGroupIndex < 0 ||
      ADataGroupIndex >= TreeOf(dataController_).GetItemCount())
    return nullptr;
  Integer pos = ADataGroupIndex;
  if (!groupOrder_.empty()) {
    if (ADataGroupIndex >= static_cast<Integer>(groupOrder_.size()))
      return nullptr;
    pos = groupOrder_[ADataGroupIndex];
  }
  if (pos < 0 || pos >= static_cast<Integer>(groupValues_.size()))
    return nullptr;
  return &groupValues_[pos];
}

const Variant* TcxDataSummary::GetGroupSummaryValues(
    Integer ADataGroupIndex) const {
  if (const Variant* slot =
          const_cast<TcxDataSummary*>(this)->GroupValuesSlot(ADataGroupIndex))
    return slot;
  // Without group summary items nothing is stored: every group reads Null.
  if (groupValues_.empty() && dataController_ && ADataGroupIndex >= 0 &&
      ADataGroupIndex < TreeOf(dataController_).GetItemCount())
    return &NullVariant();
  return nullptr;
}

bool TcxDataSummary::GetGroupSummaryInfo(Integer ARowIndex,
                                         TcxDataGroupSummaryItems*& AItems,
                                         const Variant*& AValues) const {
  AItems = nullptr;
  AValues = nullptr;
  if (!dataController_ || ARowIndex < 0 ||
      ARowIndex >= dataController_->GetRowCount())
    return false;
  TcxDataGroups& tree = TreeOf(dataController_);
  if (tree.GetItemCount() == 0) return false;
  Integer group = tree.GetIndexByRowIndex(ARowIndex);
  if (group < 0) return false;
  AItems = GetGroupSummaryItems(tree.GetLevel(group));
  AValues = GetGroupSummaryValues(group);
  return AItems && AValues && !AValues->IsEmpty();
}

bool TcxDataSummary::IsValidSummaryValuesIndex(const Variant& AValues,
                                               Integer AIndex) const {
  return AValues.IsArray() && AIndex >= VarArrayLowBound(AValues, 1) &&
         AIndex <= VarArrayHighBound(AValues, 1);
}

Variant TcxDataSummary::GetGroupSummaryValue(Integer ADataGroupIndex,
                                             Integer AIndex) const {
  const Variant* values = GetGroupSummaryValues(ADataGroupIndex);
  if (!values || !IsValidSummaryValuesIndex(*values, AIndex)) return Null();
  return VarArrayGet(*values, {AIndex});
}

Variant TcxDataSummary::GetGroupSummaryDisplayValue(Integer ARowIndex,
                                                    Integer ALevel,
                                                    Integer AIndex) const {
  if (!dataController_ || ARowIndex < 0 ||
      ARowIndex >= dataController_->GetRowCount())
    return Null();
  return GetGroupSummaryValue(
      TreeOf(dataController_).GetIndexByRowIndexLevel(ARowIndex, ALevel),
      AIndex);
}

void TcxDataSummary::SetValueElement(Variant* AValues, Integer AIndex,
                                     const Variant& AValue) {
  if (!AValues || !IsValidSummaryValuesIndex(*AValues, AIndex)) return;
  if (!Differs(VarArrayGet(*AValues, {AIndex}), AValue)) return;
  settingCustomSummary_ = true;
  TScopeGuard set([this] { settingCustomSummary_ = false; });
  VarArrayPut(*AValues, AValue, {AIndex});
  Changed(true);
}

void TcxDataSummary::SetGroupSummaryValue(Integer ADataGroupIndex,
                                          Integer AIndex,
                                          const Variant& AValue) {
  SetValueElement(GroupValuesSlot(ADataGroupIndex), AIndex, AValue);
}

void TcxDataSummary::SetGroupSummaryDisplayValue(Integer ARowIndex,
                                                 Integer ALevel, Integer AIndex,
                                                 const Variant& AValue) {
  if (!dataController_ || ARowIndex < 0 ||
      ARowIndex >= dataController_->GetRowCount())
    return;
  SetGroupSummaryValue(
      TreeOf(dataController_).GetIndexByRowIndexLevel(ARowIndex, ALevel),
      AIndex, AValue);
}

Variant TcxDataSummary::GetFooterSummaryValue(Integer AIndex) const {
  if (!IsValidSummaryValuesIndex(footerValues_, AIndex)) return Null();
  return VarArrayGet(footerValues_, {AIndex});
}

void TcxDataSummary::SetFooterSummaryValue(Integer AIndex,
                                           const Variant& AValue) {
  SetValueElement(&footerValues_, AIndex, AValue);
}

String TcxDataSummary::GetFooterSummaryText(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= footerSummaryItems_->Count() ||
      !IsValidSummaryValuesIndex(footerValues_, AIndex))
    return String();
  return footerSummaryItems_->Items(AIndex)->FormatValue(
      GetFooterSummaryValue(AIndex), true);
}

String TcxDataSummary::GetGroupSummaryText(Integer ARowIndex) const {
  TcxDataGroupSummaryItems* items;
  const Variant* values;
  if (!GetGroupSummaryInfo(ARowIndex, items, values)) return String();
  return items->GetGroupText(*values);
}

String TcxDataSummary::GetGroupFooterSummaryText(Integer ARowIndex,
                                                 Integer ALevel,
                                                 Integer AIndex) const {
  if (!dataController_ || ARowIndex < 0 ||
      ARowIndex >= dataController_->GetRowCount())
    return String();
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  const Variant* values = GetGroupSummaryValues(
      TreeOf(dataController_).GetIndexByRowIndexLevel(ARowIndex, ALevel));
  if (!items || !values || AIndex < 0 || AIndex >= items->Count() ||
      !IsValidSummaryValuesIndex(*values, AIndex))
    return String();
  return items->Items(AIndex)->FormatValue(VarArrayGet(*values, {AIndex}),
                                           true);
}

Integer TcxDataSummary::GetGroupFooterIndexOfItemLink(
    Integer ALevel, TObject* AItemLink) const {
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items) return -1;
  for (Integer i = 0; i < items->Count(); ++i)
    if (items->GetItemPosition(items->Items(i)) == spFooter &&
        items->Items(i)->ItemLink() == AItemLink)
      return i;
  return -1;
}

TClass TcxDataSummary::GetSummaryItemClass() const {
  return dataController_ ? dataController_->GetSummaryItemClass()
                         : TcxDataSummaryItem::StaticClass();
}

TClass TcxDataSummary::GetSummaryGroupItemLinkClass() const {
  return dataController_ ? dataController_->GetSummaryGroupItemLinkClass()
                         : TcxDataSummaryGroupItemLink::StaticClass();
}

TcxDataSummaryItems* TcxDataSummary::GetPatternSummaryItems(
    TcxDataSummary* APatternSummary, TcxDataSummaryItems* AItems) const {
  if (!APatternSummary) return nullptr;
  if (AItems == footerSummaryItems_.get())
    return APatternSummary->FooterSummaryItems();
  if (AItems == defaultGroupSummaryItems_.get())
    return APatternSummary->DefaultGroupSummaryItems();
  for (Integer g = 0; g < summaryGroups_->Count(); ++g)
    if (summaryGroups_->Items(g)->SummaryItems() == AItems)
      return g < APatternSummary->SummaryGroups()->Count()
                 ? APatternSummary->SummaryGroups()->Items(g)->SummaryItems()
                 : nullptr;
  return nullptr;
}

void TcxDataSummary::RemoveItemByField(TcxCustomDataField* AField) {
  std::vector<TcxCustomDataSummaryItem*> bound;
  auto collect = [&](TCollection* AItems) {
    for (Integer i = 0; i < AItems->Count(); ++i) {
      auto* item = static_cast<TcxCustomDataSummaryItem*>(AItems->Items(i));
      if (item->Field() == AField) bound.push_back(item);
    }
  };
  collect(footerSummaryItems_.get());
  collect(defaultGroupSummaryItems_.get());
  for (Integer g = 0; g < summaryGroups_->Count(); ++g) {
    TcxDataSummaryGroup* group = summaryGroups_->Items(g);
    collect(group->SummaryItems());
    collect(group->Links());
  }
  // Fields are removed in the middle of structure changes: start no update
  // pass when no summary item depends on this one.
  if (bound.empty()) return;
  BeginUpdate();
  for (TcxCustomDataSummaryItem* item : bound) item->ForgetField();
  EndUpdate();
}

void TcxDataSummary::AssignEvents(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TcxDataSummary*>(ASource))
    OnAfterSummary = source->OnAfterSummary;
}

void TcxDataSummary::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxDataSummary*>(ASource);
  if (!source) {
    TPersistent::Assign(ASource);
    return;
  }
  auto update = MakeBracket(this, &TcxDataSummary::BeginUpdate,
                            &TcxDataSummary::EndUpdate);
  footerSummaryItems_->Assign(source->footerSummaryItems_.get());
  defaultGroupSummaryItems_->Assign(source->defaultGroupSummaryItems_.get());
  summaryGroups_->Assign(source->summaryGroups_.get());
  SetOptions(source->options_);
  AssignEvents(source);
}

// Computation ---------------------------------------------------------------

bool TcxDataSummary::IsSummaryForSelectedRecords() const {
  return dataController_ && dataController_->IsSummaryForSelectedRecords();
}

void TcxDataSummary::PrepareSelectedRecords() {
  restrictToSelected_ = IsSummaryForSelectedRecords();
  selectedRecords_.clear();
  if (!restrictToSelected_ || dataController_->IsFocusedSelectedMode()) return;
  selectedRecords_.assign(dataController_->GetRecordCount(), false);
  TcxDataSelection& selection =
      dataController_->DataControllerInfo()->Selection();
  for (Integer i = 0; i < selection.Count(); ++i) {
    const TcxDataSelectionInfo& entry = selection.Items(i);
    if (entry.Level != -1 && entry.RecordIndex >= 0 &&
        entry.RecordIndex < static_cast<Integer>(selectedRecords_.size()))
      selectedRecords_[entry.RecordIndex] = true;
  }
}

Integer TcxDataSummary::GetRecordIndex(Integer AListIndex) {
  Integer r =
      dataController_->DataControllerInfo()->GetInternalRecordIndex(AListIndex);
  if (!restrictToSelected_) return r;
  if (dataController_->IsFocusedSelectedMode())
    return r == dataController_->GetFocusedRecordIndex() ? r : -1;
  return r >= 0 && r < static_cast<Integer>(selectedRecords_.size()) &&
                 selectedRecords_[r]
             ? r
             : -1;
}

void TcxDataSummary::BeginCalculate() {
  if (!settingCustomSummary_) CalculateFooterSummary();
}

void TcxDataSummary::EndCalculate() {
  if (settingCustomSummary_) return;
  CalculateGroupSummary();
  DoAfterSummary();
}

void TcxDataSummary::Calculate() {
  BeginCalculate();
  EndCalculate();
}

void TcxDataSummary::BeginCalculateSummary(TcxDataSummaryItems* AItems,
                                           TcxDataSummaryCountValues& ACounts,
                                           TcxDataSummaryValues& AValues) {
  ACounts.assign(AItems->Count(), 0);
  AValues.assign(AItems->Count(), Variant());
  failed_.assign(AItems->Count(), false);
}

void TcxDataSummary::CalculateSummary(TcxDataSummaryItems* AItems,
                                      Integer AFirstListIndex,
                                      Integer ALastListIndex,
                                      TcxDataSummaryCountValues& ACounts,
                                      TcxDataSummaryValues& AValues, Variant&) {
  Integer n = AItems->Count();
  if (n == 0) return;
  // A subclass may prepare the arrays itself.
  failed_.resize(n, false);
  ACounts.resize(n, 0);
  AValues.resize(n);
  for (Integer p = AFirstListIndex; p <= ALastListIndex; ++p) {
    Integer r = GetRecordIndex(p);
    if (r == -1) continue;
    for (Integer i = 0; i < n; ++i) {
      if (failed_[i]) continue;
      try {
        DoSummaryValue(AItems->Items(i), r, ACounts[i], AValues[i]);
      } catch (const EVariantError&) {
        failed_[i] = true;
      } catch (const EConvertError&) {
        failed_[i] = true;
      } catch (const EMathError&) {
        failed_[i] = true;
      }
    }
  }
}

void TcxDataSummary::DoSummaryValue(TcxDataSummaryItem* AItem,
                                    Integer ARecordIndex, Integer& ACount,
                                    Variant& AValue) {
  if (!AItem->IsDataBinded()) return;
  Variant v = AItem->Field() ? dataController_->GetInternalValue(ARecordIndex,
                                                                 AItem->Field())
                             : Null();
  TcxDataSummaryItems* items = AItem->SummaryItems();
  if (items && items->OnSummary) {
    TcxSummaryEventArguments arguments{ARecordIndex, AItem};
    TcxSummaryEventOutArguments out{v, AValue, ACount, false};
    items->OnSummary(items, arguments, out);
    AValue = out.SummaryValue;
    ACount = out.CountValue;
    v = out.Value;
    if (out.Done) return;
  }
  TcxSummaryKind kind = AItem->Kind();
  if (kind == skNone) return;
  if (options_.Contains(soNullIgnore) && v.IsNull()) return;
  bool additive = kind == skSum || kind == skAverage;
  // Texts would be joined by the addition: a sum adds the numbers they
  // hold, and text that is no number makes the item's value Null.
  if (additive && VarIsStr(v)) v = VarAsType(v, varDouble);
  if (AValue.IsEmpty()) {
    bool waitForValue =
        kind == skCount || ((kind == skMin || kind == skMax) && v.IsNull());
    if (!waitForValue) {
      AValue = v;
      if (additive && AValue.IsNull()) AValue = Variant(0);
    }
  } else if (!v.IsNull() && !AValue.IsNull()) {
    switch (kind) {
      case skSum:
      case skAverage:
        AValue = AddValues(AValue, v);
        break;
      case skMin:
        if (v < AValue) AValue = v;
        break;
      case skMax:
        if (v > AValue) AValue = v;
        break;
      default:
        break;
    }
  }
  ++ACount;
}

void TcxDataSummary::DoFinishSummaryValue(TcxDataSummaryItem* AItem,
                                          Variant& AValue, Integer ACount) {
  if (AValue.IsEmpty()) AValue = Null();
  if (AItem->Kind() == skCount) {
    AValue = Variant(ACount);
  } else if (AItem->Kind() == skAverage && ACount > 0 && !AValue.IsNull()) {
    bool isDate = VarIsDate(AValue);
    AValue = AValue / Variant(ACount);
    if (isDate) AValue = VarFromDateTime(AValue.AsDouble());
  }
}

void TcxDataSummary::EndCalculateSummary(TcxDataSummaryItems* AItems,
                                         TcxDataSummaryCountValues& ACounts,
                                         Variant& ATarget,
                                         TcxDataSummaryValues& AValues) {
  failed_.resize(AItems->Count(), false);
  ACounts.resize(AItems->Count(), 0);
  AValues.resize(AItems->Count());
  for (Integer i = 0; i < AItems->Count(); ++i) {
    TcxDataSummaryItem* item = AItems->Items(i);
    if (!item->IsDataBinded()) continue;
    if (failed_[i]) {
      AValues[i] = Null();
      continue;
    }
    try {
      DoFinishSummaryValue(item, AValues[i], ACounts[i]);
    } catch (const EVariantError&) {
      AValues[i] = Null();
    } catch (const EMathError&) {
      AValues[i] = Null();
    }
  }
  ATarget = AItems->Count() > 0 ? VarArrayOf(AValues) : Null();
}

void TcxDataSummary::CalculateFooterSummary() {
  PrepareSelectedRecords();
  TcxDataSummaryItems* items = footerSummaryItems_.get();
  TcxDataSummaryCountValues counts;
  TcxDataSummaryValues values;
  BeginCalculateSummary(items, counts, values);
  if (!dataController_->IsGridMode())
    CalculateSummary(
        items, 0,
        dataController_->DataControllerInfo()->GetInternalRecordCount() - 1,
        counts, values, footerValues_);
  EndCalculateSummary(items, counts, footerValues_, values);
}

void TcxDataSummary::CalculateGroupSummary() {
  groupValues_.clear();
  groupOrder_.clear();
  TcxDataGroups& tree = TreeOf(dataController_);
  Integer n = tree.GetItemCount();
  Integer levels = tree.GetFieldCount();
  bool any = false;
  for (Integer l = 0; l < levels && !any; ++l) {
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(l);
    any = items && items->Count() > 0;
  }
  if (!any || n == 0) return;
  PrepareSelectedRecords();
  groupValues_.assign(n, Null());
  TcxDataSummaryCountValues counts;
  TcxDataSummaryValues values;
  for (Integer l = 0; l < levels; ++l) {
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(l);
    if (!items || items->Count() == 0) continue;
    Integer current = -1;
    for (Integer i = 0; i < n; ++i) {
      const TcxDataGroupInfo& g = tree.GetItem(i);
      if (g.Level == l) {
        if (current >= 0)
          EndCalculateSummary(items, counts, groupValues_[current], values);
        current = i;
        BeginCalculateSummary(items, counts, values);
      }
      if (g.Level == levels - 1 && current >= 0)
        CalculateSummary(items, g.BeginIndex, g.EndIndex, counts, values,
                         groupValues_[current]);
    }
    if (current >= 0)
      EndCalculateSummary(items, counts, groupValues_[current], values);
  }
}

void TcxDataSummary::DoAfterSummary() {
  if (!OnAfterSummary || !dataController_) return;
  if (dataController_->IsLoading()) {
    dataController_->SetAfterSummaryPending(true);
    return;
  }
  dataController_->SetAfterSummaryPending(false);
  if (dataController_->LockOnAfterSummary()) return;
  inAfterSummary_ = true;
  TScopeGuard after([this] { inAfterSummary_ = false; });
  OnAfterSummary(this);
}

void TcxDataSummary::GroupsReordered(const std::vector<Integer>& ANewToOld) {
  if (groupValues_.empty()) return;
  std::vector<Integer> order(ANewToOld.size());
  for (size_t i = 0; i < ANewToOld.size(); ++i) {
    Integer old = ANewToOld[i];
    order[i] = groupOrder_.empty() ? old
               : old >= 0 && old < static_cast<Integer>(groupOrder_.size())
                   ? groupOrder_[old]
                   : -1;
  }
  groupOrder_.swap(order);
}

// ---------------------------------------------------------------------------
// Sorting groups by a summary
// ---------------------------------------------------------------------------

TcxCustomDataController* TcxSortingBySummaryEngine::DataController() const {
  return info_ ? info_->DataController() : nullptr;
}

void TcxSortingBySummaryEngine::SortGroups(
    const std::function<bool(Integer, Integer)>& ALess) {
  if (!info_) return;
  std::vector<Integer> newToOld = info_->ReorderGroups(ALess);
  TcxCustomDataController* dc = info_->DataController();
  if (dc && dc->summary_) dc->summary_->GroupsReordered(newToOld);
}

std::vector<Integer> TcxCustomDataControllerInfo::ReorderGroups(
    const std::function<bool(Integer, Integer)>& ALess) {
  std::vector<Integer> newToOld;
  Integer n = groups_.GetItemCount();
  Integer levels = groups_.GetFieldCount();
  if (n == 0 || levels == 0) return newToOld;
  Integer deepest = levels - 1;
  std::vector<Integer> roots;
  std::vector<std::vector<Integer>> children(n);
  std::vector<Integer> last(levels, -1);
  for (Integer i = 0; i < n; ++i) {
    Integer level = groups_.GetItem(i).Level;
    if (level < 0 || level > deepest || (level > 0 && last[level - 1] < 0))
      return newToOld;  // not a tree this pass can reorder
    last[level] = i;
    if (level == 0)
      roots.push_back(i);
    else
      children[last[level - 1]].push_back(i);
  }
  classlib_detail::StableSort(roots, ALess);
  for (std::vector<Integer>& c : children)
    if (c.size() > 1) classlib_detail::StableSort(c, ALess);

  std::vector<TcxDataGroupInfo> items;
  items.reserve(n);
  std::vector<Integer> records;
  records.reserve(recordList_.size());
  newToOld.reserve(n);
  std::function<void(Integer)> emit = [&](Integer AOld) {
    size_t at = items.size();
    items.push_back(groups_.GetItem(AOld));
    newToOld.push_back(AOld);
    if (items[at].Level == deepest) {
      Integer b = static_cast<Integer>(records.size());
      for (Integer p = items[at].BeginIndex; p <= items[at].EndIndex; ++p)
        records.push_back(recordList_.at(p));
      items[at].BeginIndex = b;
      items[at].EndIndex = static_cast<Integer>(records.size()) - 1;
    } else {
      items[at].BeginIndex = static_cast<Integer>(at) + 1;
      for (Integer c : children[AOld]) emit(c);
      items[at].EndIndex = static_cast<Integer>(items.size()) - 1;
    }
  };
  for (Integer r : roots) emit(r);
  if (records.size() != recordList_.size()) {
    newToOld.clear();
    return newToOld;
  }

  std::vector<TcxCustomDataField*> fields;
  for (Integer f = 0; f < levels; ++f) fields.push_back(groups_.GetField(f));
  groups_.Clear();
  for (TcxCustomDataField* f : fields) groups_.AddField(f);
  groups_.Reserve(n);
  for (const TcxDataGroupInfo& g : items) groups_.AddEmpty() = g;
  recordList_.swap(records);
  groups_.Rebuild();

  std::vector<Integer> oldToNew(n);
  for (Integer i = 0; i < n; ++i) oldToNew[newToOld[i]] = i;
  for (Integer i = 0; i < selection_->Count(); ++i) {
    TcxDataSelectionInfo& entry = selection_->Items(i);
    if (entry.Level == -1 && entry.RecordIndex >= 0 && entry.RecordIndex < n)
      entry.RecordIndex = oldToNew[entry.RecordIndex];
  }
  RecalcSelection();
  return newToOld;
}

// ---------------------------------------------------------------------------
// The controller's side
// ---------------------------------------------------------------------------

TcxDataSummary* TcxCustomDataController::Summary() {
  if (!summary_ && !destroying_) summary_ = CreateSummary();
  return summary_.get();
}

TObjectPtr<TcxDataSummary> TcxCustomDataController::CreateSummary() {
  return TObjectPtr<TcxDataSummary>(new TcxDataSummary(this));
}

TClass TcxCustomDataController::GetSummaryItemClass() const {
  return TcxDataSummaryItem::StaticClass();
}

TClass TcxCustomDataController::GetSummaryGroupItemLinkClass() const {
  return TcxDataSummaryGroupItemLink::StaticClass();
}

Integer TcxCustomDataController::GetSortingBySummaryDataItemIndex() const {
  return sortingBySummaryField_ ? sortingBySummaryField_->GetIndex() : -1;
}

void TcxCustomDataController::SetSortingBySummaryDataItemIndex(
    Integer AItemIndex) {
  TcxCustomDataField* field =
      AItemIndex == -1 ? nullptr : GetItemField(AItemIndex);
  if (field == sortingBySummaryField_) return;
  sortingBySummaryField_ = field;
  if (destroying_) return;
  sortingBySummaryChanged_ = true;
  auto update = UpdateScope();
  Change(TcxDataControllerChanges{dccSorting});
  info_->RefreshSummary(false);
}

void TcxCustomDataController::SummaryChanged(bool ARedrawOnly) {
  if (info_) info_->RefreshSummary(ARedrawOnly);
}

bool TcxCustomDataController::SummaryHasOption(TcxSummaryOption AOption) const {
  return summary_ && summary_->Options().Contains(AOption);
}

bool TcxCustomDataController::IsSummaryForSelectedRecords() const {
  return SummaryHasOption(soSelectedRecords) ||
         (SummaryHasOption(soMultipleSelectedRecords) &&
          GetSelectedCount() > 1);
}

bool TcxCustomDataController::IsSortingBySummary() const {
  if (!summary_ || SummaryHasOption(soSelectedRecords) ||
      SummaryHasOption(soMultipleSelectedRecords))
    return false;
  for (Integer l = 0; l < GetGroupingItemCount(); ++l) {
    TcxDataGroupSummaryItems* items = summary_->GetGroupSummaryItems(l);
    if (items && items->SortedSummaryItem()) return true;
  }
  return false;
}

void TcxCustomDataController::DoBeginSummary() {
  if (!summary_ || IsSummaryForSelectedRecords()) return;
  summary_->BeginCalculate();
}

void TcxCustomDataController::DoEndSummary() {
  if (!summary_) return;
  if (IsSummaryForSelectedRecords())
    summary_->Calculate();
  else
    summary_->EndCalculate();
}

void TcxCustomDataController::DoSortBySummary() {
  TClass engineClass = GetSortingBySummaryEngineClass();
  if (!engineClass) return;
  TObjectPtr<TcxSortingBySummaryEngine> engine =
      OwnedCast<TcxSortingBySummaryEngine>(engineClass->NewInstance());
  if (!engine) return;
  engine->info_ = info_.get();
  engine->Sort();
}

void TcxCustomDataController::DoAfterSummary() {
  if (summary_) summary_->DoAfterSummary();
}

// ---------------------------------------------------------------------------
// The controller's assignment
// ---------------------------------------------------------------------------

void TcxCustomDataController::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxCustomDataController*>(ASource);
  if (!source) {
    TPersistent::Assign(ASource);
    return;
  }
  if (source == this) return;
  auto update = UpdateScope();
  SetOptions(source->options_);
  SetFilter(source->Filter());
  Summary()->Assign(source->Summary());
  OnAfterCancel = source->OnAfterCancel;
  OnAfterDelete = source->OnAfterDelete;
  OnAfterInsert = source->OnAfterInsert;
  OnAfterPost = source->OnAfterPost;
  OnBeforeCancel = source->OnBeforeCancel;
  OnBeforeInsert = source->OnBeforeInsert;
  OnBeforePost = source->OnBeforePost;
  OnDataChanged = source->OnDataChanged;
  OnGroupingChanged = source->OnGroupingChanged;
  OnSortingChanged = source->OnSortingChanged;
  OnBeforeDelete = source->OnBeforeDelete;
  OnNewRecord = source->OnNewRecord;
  OnCompare = source->OnCompare;
  OnRecordChanged = source->OnRecordChanged;
  // Handlers cannot be compared: a filter handler on either side
  // filters again.
  bool refilter = OnFilterRecord || source->OnFilterRecord;
  OnFilterRecord = source->OnFilterRecord;
  if (refilter) FilterChanged();
}

// ---------------------------------------------------------------------------
// Unit start-up: what form streams store of a summary
// ---------------------------------------------------------------------------

namespace {

void SummaryStartup() {
  RegisterEnum<TcxSummaryKind>(
      "TcxSummaryKind",
      {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"});
  RegisterEnum<TcxSummaryPosition>("TcxSummaryPosition",
                                   {"spGroup", "spFooter"});
  RegisterEnum<TcxSummaryOption>(
      "TcxSummaryOption",
      {"soNullIgnore", "soSelectedRecords", "soMultipleSelectedRecords"});
  TPublished<TcxDataSummaryItem>()
      .Property("Format", &TcxDataSummaryItem::Format,
                &TcxDataSummaryItem::SetFormat)
      .Property("Kind", &TcxDataSummaryItem::Kind, &TcxDataSummaryItem::SetKind,
                skNone)
      .Property("Position", &TcxDataSummaryItem::Position,
                &TcxDataSummaryItem::SetPosition)
      .Stored(&TcxDataSummaryItem::IsPositionStored);
  TPublished<TcxDataGroupSummaryItems>()
      .Property("BeginText", &TcxDataGroupSummaryItems::BeginText,
                &TcxDataGroupSummaryItems::SetBeginText)
      .Stored(&TcxDataGroupSummaryItems::IsBeginTextStored)
      .Property("EndText", &TcxDataGroupSummaryItems::EndText,
                &TcxDataGroupSummaryItems::SetEndText)
      .Stored(&TcxDataGroupSummaryItems::IsEndTextStored)
      .Property("Separator", &TcxDataGroupSummaryItems::Separator,
                &TcxDataGroupSummaryItems::SetSeparator)
      .Stored(&TcxDataGroupSummaryItems::IsSeparatorStored);
  TPublished<TcxDataSummaryGroup>()
      .Property("Links", &TcxDataSummaryGroup::Links)
      .Property("SummaryItems", &TcxDataSummaryGroup::SummaryItems);
  TPublished<TcxDataSummary>()
      .Property("DefaultGroupSummaryItems",
                &TcxDataSummary::DefaultGroupSummaryItems)
      .Property("FooterSummaryItems", &TcxDataSummary::FooterSummaryItems)
      .Property("SummaryGroups", &TcxDataSummary::SummaryGroups)
      .Property("Options", &TcxDataSummary::Options,
                &TcxDataSummary::SetOptions, TcxSummaryOptions{});
}

void SummaryShutdown() {
  for (TClass c :
       {TcxDataSummary::StaticClass(), TcxDataSummaryGroup::StaticClass(),
        TcxDataGroupSummaryItems::StaticClass(),
        TcxDataSummaryItem::StaticClass()})
    UnpublishClass(c);
}

}  // namespace

VARNEL_UNIT(cxCustomDataSummary, ({"Classes"}), &SummaryStartup,
            &SummaryShutdown);
