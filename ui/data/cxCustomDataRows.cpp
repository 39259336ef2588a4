// The row list: the update pass that loads, filters, sorts, groups,
// focuses and selects; the sorting and grouping field lists; the group tree.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "ScopeGuard.h"
#include "cxCustomData.h"
#include "cxVariants.h"

// ---------------------------------------------------------------------------
// A strict weak order on variants
// ---------------------------------------------------------------------------

namespace {

template <class T>
Integer Cmp(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

enum TKindRank {
  krEmpty,
  krNull,
  krBoolean,
  krNumber,
  krText,
  krArray,
  krOther
};

TKindRank KindRank(const Variant& V) {
  if (V.IsArray()) return krArray;
  TVarType t = V.VarType() & varTypeMask;
  switch (t) {
    case varEmpty:
      return krEmpty;
    case varNull:
      return krNull;
    case varBoolean:
      return krBoolean;
    case varString:
    case varOleStr:
      return krText;
    default:
      break;
  }
  if (VarTypeIsNumeric(t) || t == varDate) return krNumber;
  if (VarIsDate(V) || VarIsNumericEx(V)) return krNumber;
  return krOther;
}

// Numbers and dates: integers exactly, everything else as doubles with NaN
// first (NaN is unordered for the operators).
Integer CompareNumbers(const Variant& A, const Variant& B) {
  if (VarIsOrdinal(A) && VarIsOrdinal(B)) return Cmp(A.AsInt64(), B.AsInt64());
  double a, b;
  try {
    a = A.AsDouble();
    b = B.AsDouble();
  } catch (const EVariantError&) {
    return Cmp(A.VarType(), B.VarType());
  }
  bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
  return Cmp(a, b);
}

}  // namespace

Integer cxSortCompareVariants(const Variant& A, const Variant& B) {
  TKindRank ra = KindRank(A), rb = KindRank(B);
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (ra) {
    case krEmpty:
    case krNull:
      return 0;
    case krBoolean:
      return Cmp(A.AsBoolean(), B.AsBoolean());
    case krNumber:
      return CompareNumbers(A, B);
    case krText:
      // 8-bit and wide texts share one key, or the order would differ
      // between the two kinds and stop being transitive.
      if (A.VarType() == varString && B.VarType() == varString &&
          A.AsString() == B.AsString())
        return 0;
      return Cmp(A.AsWideString(), B.AsWideString());
    case krArray: {
      Integer ha = VarArrayHighBound(A, 1), hb = VarArrayHighBound(B, 1);
      if (ha - VarArrayLowBound(A, 1) != hb - VarArrayLowBound(B, 1))
        return Cmp(ha - VarArrayLowBound(A, 1), hb - VarArrayLowBound(B, 1));
      for (Integer i = 0; i <= ha - VarArrayLowBound(A, 1); ++i) {
        Integer c =
            cxSortCompareVariants(VarArrayGet(A, {VarArrayLowBound(A, 1) + i}),
                                  VarArrayGet(B, {VarArrayLowBound(B, 1) + i}));
        if (c != 0) return c;
      }
      return 0;
    }
    default:
      return Cmp(A.VarType(), B.VarType());
  }
}

// ---------------------------------------------------------------------------
// Sorting and grouping field lists
// ---------------------------------------------------------------------------

void TcxSortingFieldList::Add(TcxCustomDataField* AField,
                              TcxDataSortOrder ASortOrder) {
  items_.push_back({AField, ASortOrder});
  Changed();
}

void TcxSortingFieldList::Insert(Integer AIndex, TcxCustomDataField* AField,
                                 TcxDataSortOrder ASortOrder) {
  AIndex = std::clamp<Integer>(AIndex, 0, Count());
  items_.insert(items_.begin() + AIndex, {AField, ASortOrder});
  Changed();
}

void TcxSortingFieldList::Delete(Integer AIndex) {
  items_.erase(items_.begin() + AIndex);
  Changed();
}

void TcxSortingFieldList::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex == ANewIndex) return;
  TcxDataSortInfo info = items_.at(ACurIndex);
  items_.erase(items_.begin() + ACurIndex);
  items_.insert(items_.begin() + ANewIndex, info);
  Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* AField) {
  Integer i = Find(AField);
  if (i >= 0) Delete(i);
}

void TcxSortingFieldList::SetSortOrder(Integer AIndex,
                                       TcxDataSortOrder ASortOrder) {
  if (items_.at(AIndex).SortOrder == ASortOrder) return;
  items_[AIndex].SortOrder = ASortOrder;
  Changed();
}

void TcxSortingFieldList::Clear() {
  while (!items_.empty()) Delete(0);
}

Integer TcxSortingFieldList::Find(const TcxCustomDataField* AField) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Field == AField) return static_cast<Integer>(i);
  return -1;
}

TcxDataSortOrder TcxSortingFieldList::SortOrderByField(
    const TcxCustomDataField* AField) const {
  Integer i = Find(AField);
  return i < 0 ? soNone : items_[i].SortOrder;
}

void TcxSortingFieldList::CheckField(const TcxCustomDataField* AField) {
  if (Find(AField) >= 0) Changed();
}

void TcxSortingFieldList::AppendFrom(const TcxSortingFieldList& AList) {
  for (const TcxDataSortInfo& info : AList.items_)
    if (Find(info.Field) < 0) Add(info.Field, info.SortOrder);
}

void TcxSortingFieldList::ChangeSorting(TcxCustomDataField* AField,
                                        TcxDataSortOrder ASortOrder) {
  Integer i = Find(AField);
  if (i >= 0) {
    if (ASortOrder == soNone)
      Delete(i);
    else
      SetSortOrder(i, ASortOrder);
  } else if (ASortOrder != soNone) {
    Add(AField, ASortOrder);
  }
}

void TcxGroupingFieldList::ChangeSorting(TcxCustomDataField* AField,
                                         TcxDataSortOrder ASortOrder) {
  TcxSortingFieldList::ChangeSorting(
      AField, ASortOrder == soNone ? soAscending : ASortOrder);
}

void TcxGroupingFieldList::ChangeGrouping(TcxCustomDataField* AField,
                                          Integer AGroupIndex) {
  Integer i = Find(AField);
  if (AGroupIndex < 0) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Insert(std::min(AGroupIndex, Count()), AField, soAscending);
  } else {
    Move(i, std::min(AGroupIndex, Count() - 1));
  }
}

void TcxGroupingFieldList::UpdateSorting(
    const TcxSortingFieldList& ASortingList) {
  for (Integer i = 0; i < Count(); ++i) {
    TcxDataSortOrder order = ASortingList.SortOrderByField(Items(i).Field);
    SetSortOrder(i, order == soNone ? soAscending : order);
  }
}

// ---------------------------------------------------------------------------
// Group tree
// ---------------------------------------------------------------------------

TcxDataGroupInfo& TcxDataGroups::AddEmpty() {
  items_.emplace_back();
  return items_.back();
}

void TcxDataGroups::Clear() {
  fields_.clear();
  items_.clear();
}

Integer TcxDataGroups::GetLevel(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetItemCount()) return -1;
  return items_[AIndex].Level;
}

Integer TcxDataGroups::GetParentIndex(Integer AIndex) const {
  Integer level = GetLevel(AIndex);
  if (level <= 0) return -1;
  for (Integer i = AIndex - 1; i >= 0; --i)
    if (items_[i].Level < level) return i;
  return -1;
}

Integer TcxDataGroups::GetFirstLevelCount() const {
  return static_cast<Integer>(
      std::count_if(items_.begin(), items_.end(),
                    [](const TcxDataGroupInfo& g) { return g.Level == 0; }));
}

Integer TcxDataGroups::GetFirstLevelIndex(Integer AN) const {
  if (AN < 0) return -1;
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (items_[i].Level == 0 && AN-- == 0) return i;
  return -1;
}

Integer TcxDataGroups::GetChildCount(Integer AIndex) const {
  if (AIndex == -1) return GetFirstLevelCount();
  if (AIndex < 0 || AIndex >= GetItemCount()) return 0;
  const TcxDataGroupInfo& g = items_[AIndex];
  if (IsDeepest(AIndex)) return g.EndIndex - g.BeginIndex + 1;
  Integer n = 0;
  for (Integer i = g.BeginIndex; i <= g.EndIndex; ++i)
    if (items_[i].Level == g.Level + 1) ++n;
  return n;
}

Integer TcxDataGroups::GetChildIndex(Integer AIndex, Integer AN) const {
  if (AIndex == -1) return GetFirstLevelIndex(AN);
  if (AIndex < 0 || AIndex >= GetItemCount() || IsDeepest(AIndex) || AN < 0)
    return -1;
  const TcxDataGroupInfo& g = items_[AIndex];
  if (g.EndIndex - g.BeginIndex < AN) return -1;
  for (Integer i = g.BeginIndex; i <= g.EndIndex; ++i)
    if (items_[i].Level == g.Level + 1 && AN-- == 0) return i;
  return -1;
}

Integer TcxDataGroups::GetChildRecordListIndex(Integer AIndex,
                                               Integer AN) const {
  if (AIndex < 0 || AIndex >= GetItemCount() || !IsDeepest(AIndex)) return -1;
  const TcxDataGroupInfo& g = items_[AIndex];
  if (AN < 0 || AN > g.EndIndex - g.BeginIndex) return -1;
  return g.BeginIndex + AN;
}

Integer TcxDataGroups::GetDataRecordListIndex(Integer AIndex) const {
  while (!IsDeepest(AIndex)) AIndex = items_[AIndex].BeginIndex;
  return items_[AIndex].BeginIndex;
}

Integer TcxDataGroups::Find(Integer ARowIndex, Integer& AGroup) const {
  AGroup = -1;
  auto byRow = [](const TcxDataGroupInfo& g, Integer row) {
    return g.RowIndex < row;
  };
  auto it = std::lower_bound(items_.begin(), items_.end(), ARowIndex, byRow);
  if (it != items_.end() && it->RowIndex == ARowIndex) {
    // The first item carrying a row is the one shown there; the items after
    // it with the same row are hidden inside it.
    AGroup = static_cast<Integer>(it - items_.begin());
    return AGroup;
  }
  AGroup = static_cast<Integer>(it - items_.begin()) - 1;
  return -1;
}

void TcxDataGroups::GetTopVisibleItem(Integer ARowIndex,
                                      Integer& AIndex) const {
  Integer level = GetLevel(AIndex);
  Integer candidate = AIndex;
  for (Integer i = AIndex; i >= 0 && items_[i].RowIndex == ARowIndex; --i) {
    if (items_[i].Level < level) {
      level = items_[i].Level;
      if (!items_[i].Expanded) candidate = i;
    }
    if (level == 0) break;
  }
  AIndex = candidate;
}

Integer TcxDataGroups::GetIndexByRowIndexLevel(Integer ARowIndex,
                                               Integer ALevel) const {
  Integer group;
  Integer index = Find(ARowIndex, group);
  if (index < 0) index = group;
  if (index < 0) return -1;
  if (ALevel == -1) return index;
  if (items_[index].Level < ALevel) {
    for (Integer i = index; i < GetItemCount(); ++i)
      if (items_[i].Level == ALevel) return i;
  } else {
    for (Integer i = index; i >= 0; --i)
      if (items_[i].Level == ALevel) return i;
  }
  return -1;
}

Integer TcxDataGroups::FindDataGroup(Integer AListIndex) const {
  Integer deepest = GetFieldCount() - 1;
  // Deepest groups' ranges ascend with their item index: binary search over
  // items, stepping to a deepest neighbour.
  Integer lo = 0, hi = GetItemCount() - 1;
  while (lo <= hi) {
    Integer mid = lo + (hi - lo) / 2;
    Integer d = mid;
    while (d < GetItemCount() && items_[d].Level != deepest) ++d;
    if (d >= GetItemCount()) {
      hi = mid - 1;
      continue;
    }
    const TcxDataGroupInfo& g = items_[d];
    if (AListIndex < g.BeginIndex)
      hi = mid - 1;
    else if (AListIndex > g.EndIndex)
      lo = d + 1;
    else
      return d;
  }
  return -1;
}

Integer TcxDataGroups::FindByIndex(Integer AListIndex, Integer ALevel) const {
  Integer remembered = -1;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    if (items_[i].Level == ALevel) remembered = i;
    if (IsDeepest(i) && AListIndex >= items_[i].BeginIndex &&
        AListIndex <= items_[i].EndIndex)
      return remembered;
  }
  return -1;
}

bool TcxDataGroups::IsVisible(Integer AIndex) const {
  for (Integer p = GetParentIndex(AIndex); p >= 0; p = GetParentIndex(p))
    if (!items_[p].Expanded) return false;
  return true;
}

bool TcxDataGroups::MakeVisible(Integer AIndex, bool AExpandSelf) {
  bool changed = false;
  if (AExpandSelf && !items_.at(AIndex).Expanded) {
    items_[AIndex].Expanded = true;
    changed = true;
  }
  for (Integer p = GetParentIndex(AIndex); p >= 0; p = GetParentIndex(p))
    if (!items_[p].Expanded) {
      items_[p].Expanded = true;
      changed = true;
    }
  if (changed) Rebuild();
  return changed;
}

void TcxDataGroups::ChangeExpanding(Integer ARowIndex, bool AExpand,
                                    bool ARecursive) {
  Integer group;
  Integer index = Find(ARowIndex, group);
  if (index < 0) return;  // a data row
  items_[index].Expanded = AExpand;
  if (ARecursive && !IsDeepest(index))
    for (Integer i = items_[index].BeginIndex; i <= items_[index].EndIndex; ++i)
      items_[i].Expanded = AExpand;
  Rebuild();
}

void TcxDataGroups::FullExpanding(bool AExpand) {
  for (TcxDataGroupInfo& g : items_) g.Expanded = AExpand;
  Rebuild();
}

Integer TcxDataGroups::GetRowCount() const {
  if (items_.empty()) return 0;
  Integer top = GetItemCount() - 1;
  GetTopVisibleItem(items_[top].RowIndex, top);
  const TcxDataGroupInfo& t = items_[top];
  Integer n = t.RowIndex + 1;
  if (t.Expanded && IsDeepest(top)) n += t.EndIndex - t.BeginIndex + 1;
  return n;
}

TcxRowInfo TcxDataGroups::GetRowInfo(Integer ARowIndex) const {
  TcxRowInfo info;
  Integer group;
  Integer index = Find(ARowIndex, group);
  if (index >= 0) {
    info.Expanded = items_[index].Expanded;
    info.Level = items_[index].Level;
    info.RecordIndex = GetDataRecordListIndex(index);
  } else if (group >= 0) {
    const TcxDataGroupInfo& g = items_[group];
    info.Expanded = false;
    info.Level = GetFieldCount();
    info.RecordIndex = ARowIndex + g.BeginIndex - g.RowIndex - 1;
  } else {
    info.RecordIndex = 0;
  }
  return info;
}

void TcxDataGroups::Rebuild() {
  Integer deepest = GetFieldCount() - 1;
  // Per level: whether the items of that level are shown (every ancestor
  // expanded), else the row of their outermost collapsed ancestor.
  std::vector<bool> shown(GetFieldCount() + 1, true);
  std::vector<Integer> carried(GetFieldCount() + 1, -1);
  Integer row = 0;
  for (TcxDataGroupInfo& g : items_) {
    Integer l = g.Level;
    if (shown[l]) {
      g.RowIndex = row++;
      if (l == deepest && g.Expanded) row += g.EndIndex - g.BeginIndex + 1;
      shown[l + 1] = g.Expanded;
      carried[l + 1] = g.RowIndex;
    } else {
      g.RowIndex = carried[l];
      shown[l + 1] = false;
      carried[l + 1] = carried[l];
    }
  }
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void TcxDataSelection::Add(Integer AIndex, Integer ARowIndex, Integer ALevel,
                           Integer ARecordIndex) {
  TcxDataSelectionInfo info{ALevel, ARecordIndex, ARowIndex};
  if (AIndex < 0 || AIndex >= Count())
    items_.push_back(info);
  else
    items_.insert(items_.begin() + AIndex, info);
  Changed();
}

void TcxDataSelection::InternalDelete(Integer AIndex) {
  if (items_.at(AIndex).RowIndex == AnchorRowIndex) AnchorRowIndex = -1;
  items_.erase(items_.begin() + AIndex);
}

void TcxDataSelection::InternalDeleteIf(
    const std::function<bool(const TcxDataSelectionInfo&)>& APred) {
  items_.erase(std::remove_if(items_.begin(), items_.end(), APred),
               items_.end());
  if (AnchorRowIndex != -1 &&
      std::none_of(items_.begin(), items_.end(),
                   [this](const TcxDataSelectionInfo& e) {
                     return e.RowIndex == AnchorRowIndex;
                   }))
    AnchorRowIndex = -1;
}

void TcxDataSelection::Delete(Integer AIndex) {
  InternalDelete(AIndex);
  Changed();
}

void TcxDataSelection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TcxDataSelection::ClearAll() {
  ClearAnchor();
  items_.clear();
  Changed();
}

bool TcxDataSelection::FindByRowIndex(Integer ARowIndex,
                                      Integer& AIndex) const {
  auto it = std::lower_bound(items_.begin(), items_.end(), ARowIndex,
                             [](const TcxDataSelectionInfo& e, Integer row) {
                               return e.RowIndex < row;
                             });
  AIndex = static_cast<Integer>(it - items_.begin());
  return it != items_.end() && it->RowIndex == ARowIndex;
}

Integer TcxDataSelection::FindByGroupIndex(Integer AGroupIndex) const {
  for (Integer i = 0; i < Count(); ++i)
    if (items_[i].Level == -1 && items_[i].RecordIndex == AGroupIndex) return i;
  return -1;
}

Integer TcxDataSelection::FindByRecordIndex(Integer ARecordIndex) const {
  for (Integer i = 0; i < Count(); ++i)
    if (items_[i].Level != -1 && items_[i].RecordIndex == ARecordIndex)
      return i;
  return -1;
}

bool TcxDataSelection::IsRowSelected(Integer ARowIndex) const {
  Integer i;
  return FindByRowIndex(ARowIndex, i);
}

void TcxDataSelection::Sort() {
  std::stable_sort(
      items_.begin(), items_.end(),
      [](const TcxDataSelectionInfo& a, const TcxDataSelectionInfo& b) {
        return a.RowIndex < b.RowIndex;
      });
}

// ---------------------------------------------------------------------------
// Focusing info
// ---------------------------------------------------------------------------

void TcxDataFocusingInfo::Clear() {
  Level = -1;
  RecordIndex = -1;
  RowIndex = -1;
}

void TcxDataFocusingInfo::Assign(const TcxDataFocusingInfo& ASource) {
  Level = ASource.Level;
  PrevRecordIndex = ASource.PrevRecordIndex;
  RecordIndex = ASource.RecordIndex;
  RowIndex = ASource.RowIndex;
  Changed = false;
}

bool TcxDataFocusingInfo::IsEqual(const TcxDataFocusingInfo& AOther) const {
  if (RecordIndex != AOther.RecordIndex || Level != AOther.Level) return false;
  if (owner_ && owner_->Changes().Contains(dcicSorting))
    return RowIndex == AOther.RowIndex;
  return true;
}

void TcxDataFocusingInfo::ResetPos() {
  Level = -1;
  RecordIndex = owner_->DataController()->GetRecordIndex();
}

void TcxDataFocusingInfo::SavePos() {
  if (RowIndex == -1) {
    Level = -1;
    RecordIndex = -1;
  } else {
    Level = owner_->GetRowInfo(RowIndex).Level;
    RecordIndex = owner_->DataController()->GetRecordIndex();
  }
  PrevRecordIndex = RecordIndex;
}

// ---------------------------------------------------------------------------
// Row list
// ---------------------------------------------------------------------------

TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(
    TcxCustomDataController* ADataController)
    : dataController_(ADataController),
      focusingInfo_(this),
      prevFocusingInfo_(this),
      selection_(new TcxDataSelection(ADataController)) {
  sortingFields_.OnChanged = [this] { changes_.Include(dcicSorting); };
  groupingFields_.OnChanged = [this] {
    changes_ += {dcicGrouping, dcicSorting, dcicSummary};
  };
  selection_->OnChanged = [this] {
    changes_.Include(dcicSelection);
    if (dataController_->SummaryHasOption(soSelectedRecords) ||
        dataController_->SummaryHasOption(soMultipleSelectedRecords))
      changes_.Include(dcicSummary);
  };
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo() = default;

bool TcxCustomDataControllerInfo::IsAlwaysExpanded() const {
  return dataController_->Options().Contains(dcoGroupsAlwaysExpanded);
}

void TcxCustomDataControllerInfo::CheckRowIndex(Integer ARowIndex) const {
  if (ARowIndex < 0 || ARowIndex >= GetRowCount())
    InvalidOperation(cxGetResourceString(cxSDataRowIndexError));
}

Integer TcxCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() ? groups_.GetRowCount() : GetInternalRecordCount();
}

TcxRowInfo TcxCustomDataControllerInfo::GetRowInfo(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  TcxRowInfo info;
  if (IsGrouped())
    info = groups_.GetRowInfo(ARowIndex);
  else
    info.RecordIndex = ARowIndex;
  info.RecordIndex = recordList_.at(info.RecordIndex);
  return info;
}

Integer TcxCustomDataControllerInfo::GetInternalRecordListIndex(
    Integer ARecordIndex) const {
  auto it = std::find(recordList_.begin(), recordList_.end(), ARecordIndex);
  return it == recordList_.end()
             ? -1
             : static_cast<Integer>(it - recordList_.begin());
}

Integer TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(
    Integer ARecordIndex, bool AMakeVisible) {
  Integer pos = GetInternalRecordListIndex(ARecordIndex);
  if (pos < 0 || !IsGrouped()) return pos;
  Integer g = groups_.FindDataGroup(pos);
  if (g < 0) return -1;
  if (!AMakeVisible) return LocateDetail(g, pos, false);
  Integer row = LocateDetail(g, pos, true);
  CheckChanges();
  return row;
}

Integer TcxCustomDataControllerInfo::GetNearestRowIndex(
    Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  Integer count = GetRowCount();
  if (!IsGrouped()) {
    if (ARowIndex < count - 1) return ARowIndex + 1;
    return ARowIndex > 0 ? ARowIndex - 1 : ARowIndex;
  }
  Integer level = GetRowInfo(ARowIndex).Level;
  if (ARowIndex < count - 1 && GetRowInfo(ARowIndex + 1).Level == level)
    return ARowIndex + 1;
  if (ARowIndex > 0 && GetRowInfo(ARowIndex - 1).Level == level)
    return ARowIndex - 1;
  if (ARowIndex == count - 1) return ARowIndex > 0 ? ARowIndex - 1 : ARowIndex;
  return ARowIndex + 1;
}

void TcxCustomDataControllerInfo::EndUpdate() {
  --lockCount_;
  CheckChanges();
}

void TcxCustomDataControllerInfo::CheckChanges() {
  if (lockCount_ == 0 && !infoCalculation_ && !changes_.Empty()) Update();
}

void TcxCustomDataControllerInfo::Refresh() {
  changes_.Include(dcicLoad);
  if (!dataController_->LockOnAfterSummary()) changes_.Include(dcicSummary);
  if (sortingFields_.Count() > 0) changes_.Include(dcicSorting);
  if (groupingFields_.Count() > 0) changes_.Include(dcicGrouping);
  CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshFocused() {
  changes_.Include(dcicResetFocusedRow);
  focusingInfo_.ResetPos();
  CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshSummary(bool AOnlyView) {
  bool bySummary = dataController_->IsSortingBySummary();
  changes_.Include(AOnlyView && !bySummary ? dcicView : dcicSummary);
  if (bySummary) changes_.Include(dcicGrouping);
  CheckChanges();
}

void TcxCustomDataControllerInfo::FocusedRecordChanged(
    bool ANewItemRowChanged) {
  changes_.Include(dcicFocusedRecord);
  if (ANewItemRowChanged) prevFocusingInfo_.Changed = true;
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSorting(TcxCustomDataField* AField,
                                                TcxDataSortOrder AOrder) {
  sortingFields_.ChangeSorting(AField, AOrder);
  groupingFields_.UpdateSorting(sortingFields_);
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSortIndex(TcxCustomDataField* AField,
                                                  Integer AIndex) {
  Integer cur = sortingFields_.Find(AField);
  if (cur < 0) return;
  AIndex = std::clamp<Integer>(AIndex, 0, sortingFields_.Count() - 1);
  if (AIndex == cur) return;
  sortingFields_.Move(cur, AIndex);
  dataController_->BeforeSorting();
  dataController_->sortingChanged_ = true;
  CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSorting(bool AKeepGroupedItems) {
  Integer before = sortingFields_.Count();
  if (AKeepGroupedItems) {
    for (Integer i = sortingFields_.Count() - 1; i >= 0; --i)
      if (groupingFields_.Find(sortingFields_.Items(i).Field) < 0)
        sortingFields_.Delete(i);
  } else {
    sortingFields_.Clear();
    for (Integer i = 0; i < groupingFields_.Count(); ++i)
      groupingFields_.SetSortOrder(i, soAscending);
  }
  if (sortingFields_.Count() != before) {
    dataController_->BeforeSorting();
    dataController_->sortingChanged_ = true;
  }
  CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeGrouping(TcxCustomDataField* AField,
                                                 Integer AGroupIndex) {
  if (groupingFields_.Find(AField) >= 0 || AGroupIndex >= 0)
    selection_->ClearAll();
  groupingFields_.ChangeGrouping(AField, AGroupIndex);
  groupingFields_.UpdateSorting(sortingFields_);
  CheckChanges();
}

void TcxCustomDataControllerInfo::RemoveField(TcxCustomDataField* AField) {
  sortingFields_.ChangeSorting(AField, soNone);
  if (groupingFields_.Find(AField) >= 0) {
    selection_->ClearAll();
    groupingFields_.Remove(AField);
  }
  groupingFields_.UpdateSorting(sortingFields_);
  expandingInfos_.CheckField(AField);
}

void TcxCustomDataControllerInfo::UpdateField(TcxCustomDataField* AField) {
  changes_.Include(dcicView);
  sortingFields_.CheckField(AField);
  if (groupingFields_.Find(AField) >= 0) selection_->ClearAll();
  groupingFields_.CheckField(AField);
  expandingInfos_.CheckField(AField);
  CheckChanges();
}

// Expanding -----------------------------------------------------------------

void TcxCustomDataControllerInfo::MarkExpandingChanged() {
  changes_.Include(dcicExpanding);
  expanding_ = true;
}

void TcxCustomDataControllerInfo::ChangeExpanding(Integer ARowIndex,
                                                  bool AExpand,
                                                  bool ARecursive) {
  CheckRowIndex(ARowIndex);
  if (!IsGrouped() || IsAlwaysExpanded()) return;
  if (!AExpand) dataController_->CheckBrowseMode();
  groups_.ChangeExpanding(ARowIndex, AExpand, ARecursive);
  MarkExpandingChanged();
  auto update = MakeBracket(this, &TcxCustomDataControllerInfo::BeginUpdate,
                            &TcxCustomDataControllerInfo::EndUpdate);
  if (!AExpand) CheckAfterCollapsing();
}

void TcxCustomDataControllerInfo::FullExpand() {
  if (!IsGrouped() || IsAlwaysExpanded()) return;
  groups_.FullExpanding(true);
  MarkExpandingChanged();
  CheckChanges();
}

void TcxCustomDataControllerInfo::FullCollapse() {
  if (!IsGrouped() || IsAlwaysExpanded()) return;
  dataController_->CheckBrowseMode();
  groups_.FullExpanding(false);
  MarkExpandingChanged();
  auto update = MakeBracket(this, &TcxCustomDataControllerInfo::BeginUpdate,
                            &TcxCustomDataControllerInfo::EndUpdate);
  CheckAfterCollapsing();
}

Integer TcxCustomDataControllerInfo::LocateGroupByLevel(Integer AGroupIndex,
                                                        Integer ALevel) {
  Integer index = AGroupIndex;
  while (groups_.GetLevel(index) != ALevel) {
    Integer parent = groups_.GetParentIndex(index);
    if (parent < 0 || groups_.GetItem(parent).BeginIndex != index) break;
    index = parent;
  }
  if (groups_.MakeVisible(index, false)) MarkExpandingChanged();
  return groups_.GetItem(index).RowIndex;
}

Integer TcxCustomDataControllerInfo::LocateDetail(Integer AGroupIndex,
                                                  Integer AListIndex,
                                                  bool AMakeVisible) {
  if (AMakeVisible) {
    if (groups_.MakeVisible(AGroupIndex, true)) MarkExpandingChanged();
  } else if (!groups_.IsVisible(AGroupIndex) ||
             !groups_.GetItem(AGroupIndex).Expanded) {
    return -1;
  }
  const TcxDataGroupInfo& g = groups_.GetItem(AGroupIndex);
  return AListIndex + g.RowIndex - g.BeginIndex + 1;
}

// Selection -----------------------------------------------------------------

void TcxCustomDataControllerInfo::ChangeRowSelection(Integer ARowIndex,
                                                     bool ASelect) {
  CheckRowIndex(ARowIndex);
  Integer index;
  if (selection_->FindByRowIndex(ARowIndex, index)) {
    if (!ASelect) selection_->Delete(index);
  } else if (ASelect) {
    TcxRowInfo info = GetRowInfo(ARowIndex);
    Integer group = -1;
    if (IsGrouped() && groups_.Find(ARowIndex, group) >= 0)
      selection_->Add(index, ARowIndex, -1, group);
    else
      selection_->Add(index, ARowIndex, info.Level, info.RecordIndex);
  }
  CheckChanges();
}

bool TcxCustomDataControllerInfo::IsRowSelected(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  return selection_->IsRowSelected(ARowIndex);
}

void TcxCustomDataControllerInfo::TruncateSelection() {
  if (selection_->Count() == 0) return;
  Integer count = dataController_->GetRecordCount();
  if (count == 0) {
    selection_->ClearAll();
    return;
  }
  if (dataController_->inDeleteSelection_) return;
  bool changed = false;
  for (Integer i = selection_->Count() - 1; i >= 0; --i)
    if (selection_->Items(i).Level != -1 &&
        selection_->Items(i).RecordIndex >= count) {
      selection_->InternalDelete(i);
      changed = true;
    }
  if (changed) changes_.Include(dcicSelection);
}

void TcxCustomDataControllerInfo::RecalcSelection() {
  TcxDataSelection& sel = *selection_;
  if (sel.Count() == 0) return;
  std::vector<Integer> positions = ListPositions();
  // Rows hidden in collapsed groups leave the selection: a row index of -1
  // would name no row.
  for (Integer i = 0; i < sel.Count(); ++i) {
    TcxDataSelectionInfo& e = sel.Items(i);
    Integer row = -1;
    if (e.Level == -1) {
      row = SelectedGroupRow(e.RecordIndex);
    } else if (e.RecordIndex >= 0 &&
               e.RecordIndex < static_cast<Integer>(positions.size())) {
      Integer pos = positions[e.RecordIndex];
      if (pos >= 0 && IsGrouped()) {
        Integer g = groups_.FindDataGroup(pos);
        row = g < 0 ? -1 : LocateDetail(g, pos, false);
      } else {
        row = pos;
      }
    }
    e.RowIndex = row;
  }
  sel.InternalDeleteIf(
      [](const TcxDataSelectionInfo& e) { return e.RowIndex < 0; });
  sel.Sort();
}

// Focus ---------------------------------------------------------------------

Integer TcxCustomDataControllerInfo::GetFocusedRecordIndex() const {
  Integer row = focusingInfo_.RowIndex;
  if (row < 0 || row >= GetRowCount()) return -1;
  return GetRowInfo(row).RecordIndex;
}

void TcxCustomDataControllerInfo::SetFocusedRowIndex(Integer ARowIndex) {
  auto update = dataController_->FullUpdateScope();
  DoChangeFocusedRow(ARowIndex, false);
}

void TcxCustomDataControllerInfo::CorrectFocusedRow(Integer ARowIndex) {
  focusingInfo_.Clear();
  DoChangeFocusedRow(ARowIndex, false);
}

bool TcxCustomDataControllerInfo::CanFocusedRowChanging(Integer ARowIndex) {
  Integer record = ARowIndex < 0 ? -1 : GetRowInfo(ARowIndex).RecordIndex;
  inCanFocusedRowChanging_ = true;
  TScopeGuard changed([this] { inCanFocusedRowChanging_ = false; });
  return dataController_->CanFocusRecord(record);
}

void TcxCustomDataControllerInfo::DoChangeFocusedRow(Integer ARowIndex,
                                                     bool AForced) {
  Integer count = GetRowCount();
  ARowIndex = std::clamp<Integer>(ARowIndex, -1, count - 1);
  if (ARowIndex == focusingInfo_.RowIndex) return;
  focusing_ = true;
  if (!changes_.Contains(dcicFocusedRow)) {
    bool changed = prevFocusingInfo_.Changed;
    prevFocusingInfo_.Assign(focusingInfo_);
    prevFocusingInfo_.Changed = changed;
  }
  bool accepted = false;
  TScopeGuard finish([&] {
    count = GetRowCount();
    if (prevFocusingInfo_.RowIndex >= count) prevFocusingInfo_.RowIndex = -1;
    if (focusingInfo_.RowIndex >= count) focusingInfo_.RowIndex = -1;
    if (prevFocusingInfo_.RowIndex != -1 || accepted) focusingInfo_.SavePos();
    if (!focusingInfo_.IsEqual(prevFocusingInfo_) ||
        focusingInfo_.RowIndex != prevFocusingInfo_.RowIndex) {
      changes_ += {dcicFocusedRow, dcicFocusedRecord};
      if (dataController_->IsFocusedSelectedMode() &&
          dataController_->SummaryHasOption(soSelectedRecords))
        changes_.Include(dcicSummary);
      dataController_->ResetNewItemRowFocused();
      dataController_->SyncSelected(true);
    }
    focusing_ = false;
  });
  accepted = AForced || CanFocusedRowChanging(ARowIndex);
  if (accepted) {
    dataController_->DoBeforeFocusedRowChange(ARowIndex);
    // The check above may have posted an edit and re-sorted the rows.
    focusingInfo_.RowIndex =
        std::clamp<Integer>(ARowIndex, -1, GetRowCount() - 1);
  }
}

Integer TcxCustomDataControllerInfo::FindFocusedRow(bool AKeepCollapsed) {
  Integer record = focusingInfo_.RecordIndex;
  if (record < 0) return -1;
  Integer pos = GetInternalRecordListIndex(record);
  if (pos < 0) return -1;
  if (!IsGrouped()) return pos;
  Integer g = groups_.FindDataGroup(pos);
  if (g < 0) return -1;
  Integer fieldCount = groups_.GetFieldCount();
  Integer level = focusingInfo_.Level;
  bool first = pos == groups_.GetItem(g).BeginIndex;
  if (!AKeepCollapsed) {
    if (first && level >= 0 && level < fieldCount)
      return LocateGroupByLevel(g, level);
    if (first && level == -1) return LocateGroupByLevel(g, -1);
    return LocateDetail(g, pos, true);
  }
  Integer v = g;
  groups_.GetTopVisibleItem(groups_.GetItem(g).RowIndex, v);
  if (level >= fieldCount) {
    if (v == g && groups_.GetItem(g).Expanded)
      return LocateDetail(g, pos, false);
    level = fieldCount - 1;
  }
  if (level < 0 && v == g) return groups_.GetItem(g).RowIndex;
  for (Integer i = g; i >= 0; --i)
    if (groups_.GetItem(i).Level == level) return groups_.GetItem(i).RowIndex;
  return -1;
}

void TcxCustomDataControllerInfo::CheckFocusing() {
  Integer f = FindFocusedRow(false);
  Integer row = focusingInfo_.RowIndex;
  Integer count = GetRowCount();
  bool outOfRange = row >= count;
  bool showsOther = false;
  if (!outOfRange && row >= 0) {
    TcxRowInfo info = GetRowInfo(row);
    showsOther =
        info.RecordIndex != focusingInfo_.RecordIndex ||
        (focusingInfo_.Level >= 0 && info.Level != focusingInfo_.Level);
  }
  if (f != row && (outOfRange || showsOther)) DoChangeFocusedRow(f, true);
  if (changes_.Contains(dcicFocusedRow) && prevFocusingInfo_.RowIndex >= count)
    prevFocusingInfo_.RowIndex = -1;
  if (dataController_->filterChanged_ && focusingInfo_.RowIndex < 0 &&
      !dataController_->GetNewItemRowFocused()) {
    dataController_->filterChanged_ = false;
    if (dataController_->Provider()->LocateCount() == 0) CorrectFocusedRow(0);
  }
}

void TcxCustomDataControllerInfo::CheckAfterCollapsing() {
  Integer r = FindFocusedRow(true);
  if (r != focusingInfo_.RowIndex) {
    DoChangeFocusedRow(r, true);
  } else if (r >= 0) {
    // Same number, but the row may now show the group instead of the record.
    focusingInfo_.SavePos();
    changes_.Include(dcicFocusedRecord);
  }
}

void TcxCustomDataControllerInfo::ResetFocusing() {
  TcxCustomDataController* dc = dataController_;
  if (dc->inNotifyControl_ ||
      !dc->Options().Contains(dcoFocusTopRowAfterSorting))
    return;
  if (!(dc->groupingChanged_ || dc->sortingChanged_ || dc->loadedStorage_))
    return;
  dc->loadedStorage_ = false;
  focusingInfo_.Clear();
  DoChangeFocusedRow(0, false);
  if (selection_->Count() > 0) selection_->ClearAll();
  // The saved selected groups must not come back over this reset.
  selectionReset_ = true;
}

void TcxCustomDataControllerInfo::CheckExpanding() {
  if (IsGrouped() && IsAlwaysExpanded()) groups_.FullExpanding(true);
  RestoreGroupStates();
}

void TcxCustomDataControllerInfo::CheckInfo() {
  CheckExpanding();
  CheckFocusing();
  dataController_->CheckBookmarkValid(-1);
}

// Update pass ---------------------------------------------------------------

void TcxCustomDataControllerInfo::Update() {
  TcxCustomDataController* dc = dataController_;
  infoCalculation_ = true;
  if (dc->sortingBySummaryChanged_) {
    changes_.Include(dcicSorting);
    if (!dc->IsSortingBySummary()) changes_ += {dcicGrouping, dcicSummary};
  }
  // Groups ordered by summary stand on a record list sorted in that order:
  // sorting the records again, or new values, start from a regrouped tree.
  if (dc->IsSortingBySummary() &&
      (changes_.Contains(dcicSorting) || changes_.Contains(dcicSummary)))
    changes_.Include(dcicGrouping);
  // Loading still computes (the after-summary event waits for Loaded);
  // reading the owner from a stream does not.
  bool calcSummary =
      changes_.Contains(dcicSummary) &&
      !(dc->Owner() && dc->Owner()->ComponentState().Contains(csReading)) &&
      !dc->IsDestroying();
  expanding_ = false;
  selectionReset_ = false;
  TScopeGuard finish([&] {
    expandingInfos_.Clear();
    if (expanding_) RecalcSelection();
    if (changes_.Contains(dcicSorting) || changes_.Contains(dcicExpanding))
      dc->CorrectPrevSelectionChangedInfo();
    CacheGroupValues();
    infoCalculation_ = false;
    ForwardChanges();
  });
  SaveInfo();
  if (changes_.Contains(dcicLoad)) {
    DoLoad();
    DoFilter();
  }
  if (calcSummary) dc->DoBeginSummary();
  bool grouping = changes_.Contains(dcicGrouping);
  if (grouping || changes_.Contains(dcicSorting)) DoSort();
  if (grouping) DoGrouping();
  if (grouping && dc->summary_) dc->summary_->GroupsRegrouped();
  if (grouping || changes_.Contains(dcicSorting)) ResetFocusing();
  CheckInfo();
  if (calcSummary) dc->DoEndSummary();
  if ((calcSummary || grouping || changes_.Contains(dcicSorting)) &&
      dc->IsSortingBySummary()) {
    dc->DoSortBySummary();
    // Expanded and selected groups were restored on the tree in grouping
    // order and moved with their groups; a second restore would search
    // records no longer in that order. Only the focus follows.
    CheckFocusing();
    dc->CheckBookmarkValid(-1);
  }
}

void TcxCustomDataControllerInfo::ForwardChanges() {
  TcxCustomDataController* dc = dataController_;
  TcxDataControllerInfoChanges c = changes_;
  TcxDataControllerChanges out;
  if (c.Contains(dcicSorting) || c.Contains(dcicView)) out.Include(dccLayout);
  if (c.Contains(dcicLoad) || c.Contains(dcicGrouping) ||
      c.Contains(dcicExpanding))
    out.Include(dccData);
  if (c.Contains(dcicFocusedRow) || c.Contains(dcicResetFocusedRow) ||
      c.Contains(dcicFocusedRecord))
    out.Include(dccFocus);
  if (c.Contains(dcicSelection)) out.Include(dccSelection);
  if (c.Contains(dcicSummary)) out.Include(dccSummary);
  if (dc->groupingChanged_) out.Include(dccGrouping);
  if (dc->sortingChanged_) out.Include(dccSorting);
  changes_ = {};
  dc->groupingChanged_ = false;
  dc->sortingChanged_ = false;
  dc->filterChanged_ = false;
  dc->sortingBySummaryChanged_ = false;
  dc->Change(out);
  dc->loadedStorage_ = false;
}

void TcxCustomDataControllerInfo::DoLoad() {
  recordList_.resize(dataController_->GetRecordCount());
  std::iota(recordList_.begin(), recordList_.end(), 0);
}

void TcxCustomDataControllerInfo::DoFilter() {
  TcxCustomDataController* dc = dataController_;
  bool incremental = dc->IsIncrementalFilter();
  bool criteria = dc->IsCriteriaFiltering();
  bool event = !dc->IsGridMode() && dc->IsFilterRecord();
  if (!incremental && !criteria && !event) return;
  Integer editing = dc->Provider()->EditingRecordIndex();
  size_t before = recordList_.size();
  std::vector<Integer> kept;
  kept.reserve(before);
  // The criteria alone decides over stored values: it may take the records
  // as a whole.
  bool batched = criteria && !incremental && !event && !dc->IsGridMode() &&
                 !dc->IsProviderMode() &&
                 dc->filter_->FilterRecords(recordList_, editing, kept);
  if (!batched) {
    for (Integer r : recordList_) {
      bool keep =
          r == editing || ((!event || dc->DoFilterRecord(r)) &&
                           (!incremental || dc->DoIncrementalFilterRecord(r)) &&
                           (!criteria || dc->DoCriteriaFilterRecord(r)));
      if (keep) kept.push_back(r);
    }
  }
  recordList_.swap(kept);
  if (recordList_.size() != before) {
    for (Integer i = selection_->Count() - 1; i >= 0; --i) {
      const TcxDataSelectionInfo& e = selection_->Items(i);
      if (e.Level != -1 && GetInternalRecordListIndex(e.RecordIndex) < 0)
        selection_->Delete(i);
    }
    if (dc->checkFocusingAfterFilter_) {
      dc->checkFocusingAfterFilter_ = false;
      dc->filterChanged_ = true;
    }
  }
}

// Sorting -------------------------------------------------------------------

void TcxCustomDataControllerInfo::PrepareSorting() {
  TcxCustomDataController* dc = dataController_;
  for (Integer i = 0; i < totalSortingFields_.Count(); ++i) {
    TcxCustomDataField* f = totalSortingFields_.Items(i).Field;
    f->CompareConversion = 0;
    bool conversion = dc->IsConversionNeededForCompare(f);
    f->CompareConversion =
        conversion ? (dc->IsSortByDisplayTextNeeded(f) ? 2 : 1) : -1;
  }
}

void TcxCustomDataControllerInfo::UnprepareSorting() {
  for (Integer i = 0; i < totalSortingFields_.Count(); ++i)
    totalSortingFields_.Items(i).Field->CompareConversion = 0;
}

Integer TcxCustomDataControllerInfo::CompareRecords(Integer ARecordIndex1,
                                                    Integer ARecordIndex2) {
  if (ARecordIndex1 == ARecordIndex2) return 0;
  TcxCustomDataProvider* p = dataController_->Provider();
  Integer e = p->EditingRecordIndex();
  Integer prev = p->EditingPrevRecordIndex();
  Integer next = p->EditingNextRecordIndex();
  if (p->IsEditing() && (prev != -1 || next != -1)) {
    // The edited record keeps its place: after everything when it was the
    // last row, else just before the record that followed it.
    if (ARecordIndex1 == e) {
      if (prev != -1) return 1;
      if (ARecordIndex2 == next) return -1;
      ARecordIndex1 = next;
    } else if (ARecordIndex2 == e) {
      if (prev != -1) return -1;
      if (ARecordIndex1 == next) return 1;
      ARecordIndex2 = next;
    }
  }
  for (Integer i = 0; i < totalSortingFields_.Count(); ++i) {
    Integer c = dataController_->CompareRecords(ARecordIndex1, ARecordIndex2,
                                                totalSortingFields_.Items(i),
                                                dccmSorting);
    if (c != 0) return c;
  }
  return dataController_->CompareEqualRecords(ARecordIndex1, ARecordIndex2);
}

Integer TcxCustomDataControllerInfo::CompareGroupRecords(Integer ARecordIndex1,
                                                         Integer ARecordIndex2,
                                                         Integer ALevel) {
  if (ARecordIndex1 == ARecordIndex2) return 0;
  TcxCustomDataProvider* p = dataController_->Provider();
  Integer e = p->EditingRecordIndex();
  if (p->IsEditing() && p->SavedRecordIndex() != 0) {
    // The edited record groups by its values before the edit.
    if (ARecordIndex1 == e) ARecordIndex1 = p->SavedRecordIndex();
    if (ARecordIndex2 == e) ARecordIndex2 = p->SavedRecordIndex();
  } else if (p->IsEditing() && (p->EditingPrevRecordIndex() != -1 ||
                                p->EditingNextRecordIndex() != -1)) {
    Integer next = p->EditingNextRecordIndex();
    bool hasPrev = p->EditingPrevRecordIndex() != -1;
    if (ARecordIndex1 == e) {
      if (hasPrev || ARecordIndex2 == next) return 0;
      ARecordIndex1 = next;
    } else if (ARecordIndex2 == e) {
      if (hasPrev || ARecordIndex1 == next) return 0;
      ARecordIndex2 = next;
    }
  }
  return dataController_->CompareRecords(ARecordIndex1, ARecordIndex2,
                                         totalSortingFields_.Items(ALevel),
                                         dccmGrouping);
}

namespace {

// A stable merge sort that stays inside its ranges whatever the comparison
// answers (an application's compare event need not be an order).
template <class Less>
void MergeSort(std::vector<Integer>& AItems, Less ALess) {
  size_t n = AItems.size();
  if (n < 2) return;
  std::vector<Integer> buffer(n);
  const size_t run = 16;
  for (size_t lo = 0; lo < n; lo += run) {
    size_t hi = std::min(lo + run, n);
    for (size_t i = lo + 1; i < hi; ++i) {
      Integer v = AItems[i];
      size_t j = i;
      while (j > lo && ALess(v, AItems[j - 1])) {
        AItems[j] = AItems[j - 1];
        --j;
      }
      AItems[j] = v;
    }
  }
  std::vector<Integer>* src = &AItems;
  std::vector<Integer>* dst = &buffer;
  for (size_t width = run; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      size_t a = lo, b = mid, k = lo;
      while (a < mid && b < hi)
        (*dst)[k++] = ALess((*src)[b], (*src)[a]) ? (*src)[b++] : (*src)[a++];
      while (a < mid) (*dst)[k++] = (*src)[a++];
      while (b < hi) (*dst)[k++] = (*src)[b++];
    }
    std::swap(src, dst);
  }
  if (src != &AItems) AItems.swap(buffer);
}

template <class Key>
struct TKeyed {
  Key Value;
  Integer RecordIndex;
};

// Sorts the records of AList that have a value by their extracted keys;
// ties by the controller's record order. Records without a value (Null)
// come first ascending and last descending, as the storage orders them.
template <class Key, class Extract>
bool SortByKeys(TcxCustomDataController* ADataController,
                std::vector<Integer>& AList, TcxValueDef* ADef,
                bool ADescending, Extract AExtract) {
  TcxDataStorage* storage = ADataController->DataStorage();
  std::vector<TKeyed<Key>> keyed;
  std::vector<Integer> nulls;
  keyed.reserve(AList.size());
  for (Integer r : AList) {
    const void* p = nullptr;
    if (storage->GetCompareInfo(r, ADef, p)) {
      nulls.push_back(r);
    } else {
      TKeyed<Key> k{Key(), r};
      if (!AExtract(p, k.Value)) return false;
      keyed.push_back(std::move(k));
    }
  }
  auto tie = [ADataController](Integer a, Integer b) {
    return ADataController->CompareEqualRecords(a, b) < 0;
  };
  // Equal keys first by record index, then each run of them by the
  // controller's own tie-break (a no-op for the default one).
  std::sort(keyed.begin(), keyed.end(),
            [&](const TKeyed<Key>& a, const TKeyed<Key>& b) {
              if (a.Value < b.Value) return !ADescending;
              if (b.Value < a.Value) return ADescending;
              return a.RecordIndex < b.RecordIndex;
            });
  for (size_t lo = 0; lo < keyed.size();) {
    size_t hi = lo + 1;
    while (hi < keyed.size() && !(keyed[lo].Value < keyed[hi].Value) &&
           !(keyed[hi].Value < keyed[lo].Value))
      ++hi;
    if (hi - lo > 1)
      std::stable_sort(keyed.begin() + lo, keyed.begin() + hi,
                       [&](const TKeyed<Key>& a, const TKeyed<Key>& b) {
                         return tie(a.RecordIndex, b.RecordIndex);
                       });
    lo = hi;
  }
  std::sort(nulls.begin(), nulls.end(), tie);
  size_t k = 0;
  if (!ADescending)
    for (Integer r : nulls) AList[k++] = r;
  for (const TKeyed<Key>& e : keyed) AList[k++] = e.RecordIndex;
  if (ADescending)
    for (Integer r : nulls) AList[k++] = r;
  return true;
}

template <class T>
T ReadRaw(const void* P) {
  T v;
  std::memcpy(&v, P, sizeof(T));
  return v;
}

}  // namespace

// One sort field of a plain stored type, compared natively and with no
// edited record to keep in place: sort extracted keys instead of asking the
// storage for every comparison. Gives the same order as CompareRecords.
static bool FastSort(TcxCustomDataController* ADataController,
                     TcxSortingFieldList& ATotal, std::vector<Integer>& AList) {
  if (ATotal.Count() != 1 || ADataController->IsProviderMode() ||
      ADataController->IsCompareEventAssigned())
    return false;
  TcxCustomDataProvider* p = ADataController->Provider();
  if (p->IsEditing() &&
      (p->EditingPrevRecordIndex() != -1 || p->EditingNextRecordIndex() != -1))
    return false;
  const TcxDataSortInfo& info = ATotal.Items(0);
  if (info.Field->CompareConversion != -1 || !info.Field->GetValueDef())
    return false;
  for (Integer r : AList)
    if (r < 0) return false;
  TcxValueDef* def = info.Field->GetValueDef();
  TcxValueTypeClass t = def->ValueTypeClass();
  bool desc = info.SortOrder == soDescending;
  auto integer = [](auto tag) {
    using T = decltype(tag);
    return [](const void* P, Int64& K) {
      K = ReadRaw<T>(P);
      return true;
    };
  };
  if (t == TcxIntegerValueType::Class())
    return SortByKeys<Int64>(ADataController, AList, def, desc,
                             integer(Integer()));
  if (t == TcxSmallintValueType::Class())
    return SortByKeys<Int64>(ADataController, AList, def, desc,
                             integer(Smallint()));
  if (t == TcxWordValueType::Class())
    return SortByKeys<Int64>(ADataController, AList, def, desc,
                             integer(Word()));
  if (t == TcxLargeIntValueType::Class() || t == TcxCurrencyValueType::Class())
    return SortByKeys<Int64>(ADataController, AList, def, desc,
                             integer(Int64()));
  if (t == TcxFloatValueType::Class() || t == TcxDateTimeValueType::Class())
    return SortByKeys<double>(ADataController, AList, def, desc,
                              [](const void* P, double& K) {
                                K = ReadRaw<double>(P);
                                return !std::isnan(K);
                              });
  if (t == TcxStringValueType::Class())
    return SortByKeys<String>(ADataController, AList, def, desc,
                              [t](const void* P, String& K) {
                                Variant v;
                                t->GetValue(P, v);
                                K = v.IsNull() ? String() : v.AsString();
                                return true;
                              });
  return false;
}

void TcxCustomDataControllerInfo::DoSort() {
  TcxCustomDataController* dc = dataController_;
  totalSortingFields_.Clear();
  totalSortingFields_.AppendFrom(groupingFields_);
  totalSortingFields_.AppendFrom(sortingFields_);
  if (dc->IsGridMode() || recordList_.empty()) return;
  auto sorting = MakeBracket(this, &TcxCustomDataControllerInfo::PrepareSorting,
                             &TcxCustomDataControllerInfo::UnprepareSorting);
  if (dc->IsProviderMode() && dc->Provider()->IsCustomSorting()) {
    dc->GetCustomDataSource()->CustomSort();
  } else if (!FastSort(dc, totalSortingFields_, recordList_)) {
    MergeSort(recordList_, [this](Integer a, Integer b) {
      return CompareRecords(a, b) < 0;
    });
  }
}

// Grouping ------------------------------------------------------------------

void TcxCustomDataControllerInfo::DoGrouping() {
  groups_.Clear();
  groupValues_.clear();
  Integer n = GetInternalRecordCount();
  Integer levels = groupingFields_.Count();
  if (n == 0 || levels == 0) return;
  for (Integer i = 0; i < levels; ++i)
    groups_.AddField(groupingFields_.Items(i).Field);
  groups_.Reserve(std::min<Integer>(n, 1024) * levels);
  Integer deepest = levels - 1;
  std::vector<Integer> current(levels), first(levels);
  auto open = [&](Integer k, Integer p) {
    TcxDataGroupInfo& g = groups_.AddEmpty();
    Integer index = groups_.GetItemCount() - 1;
    g.Level = k;
    g.BeginIndex = k < deepest ? index + 1 : p;
    current[k] = index;
    first[k] = recordList_[p];
  };
  {
    auto sorting =
        MakeBracket(this, &TcxCustomDataControllerInfo::PrepareSorting,
                    &TcxCustomDataControllerInfo::UnprepareSorting);
    // A failed grouping leaves no half-built tree behind.
    TScopeGuard dropGroups([this] { groups_.Clear(); });
    for (Integer k = 0; k < levels; ++k) open(k, 0);
    for (Integer p = 1; p < n; ++p) {
      Integer r = recordList_[p];
      Integer changed = -1;
      for (Integer k = 0; k < levels; ++k)
        if (CompareGroupRecords(first[k], r, k) != 0) {
          changed = k;
          break;
        }
      if (changed < 0) continue;
      Integer last = groups_.GetItemCount() - 1;
      for (Integer k = changed; k < levels; ++k)
        groups_.GetItem(current[k]).EndIndex = k < deepest ? last : p - 1;
      for (Integer k = changed; k < levels; ++k) open(k, p);
    }
    dropGroups.Dismiss();
  }
  Integer last = groups_.GetItemCount() - 1;
  for (Integer k = 0; k < levels; ++k)
    groups_.GetItem(current[k]).EndIndex = k < deepest ? last : n - 1;
  groups_.Rebuild();
}
