// Groups found again after a reload or regrouping: the group locate object,
// the binary search for a group's record, and the expanded and selected
// groups saved at the start of an update pass and restored after grouping;
// the controller's grouping interface.
#include <algorithm>
#include <optional>

#include "ScopeGuard.h"
#include "cxCustomData.h"
#include "cxVariants.h"

namespace {

// Prepares the comparison of the sorting fields for a search and puts back
// the marks it found, so that a search made while a sort runs (from a
// compare handler) leaves that sort's marks alone.
class TPreparedSorting {
 public:
  explicit TPreparedSorting(TcxCustomDataControllerInfo* AInfo) : info_(AInfo) {
    TcxSortingFieldList& fields = info_->TotalSortingFieldList();
    for (Integer i = 0; i < fields.Count(); ++i)
      marks_.push_back(fields.Items(i).Field->CompareConversion);
    info_->PrepareSorting();
  }
  ~TPreparedSorting() {
    TcxSortingFieldList& fields = info_->TotalSortingFieldList();
    for (Integer i = 0; i < fields.Count() && i < Integer(marks_.size()); ++i)
      fields.Items(i).Field->CompareConversion = marks_[i];
  }
  TPreparedSorting(const TPreparedSorting&) = delete;
  TPreparedSorting& operator=(const TPreparedSorting&) = delete;

 private:
  TcxCustomDataControllerInfo* info_;
  std::vector<Integer> marks_;
};

}  // namespace

// ---------------------------------------------------------------------------
// TcxDataExpandingInfos
// ---------------------------------------------------------------------------

void TcxDataExpandingInfos::AddField(TcxCustomDataField* AField) {
  if (Find(AField) >= 0)
    InvalidOperation(cxGetResourceString(cxSDataItemExistError));
  fields_.push_back(AField);
  items_.clear();
}

void TcxDataExpandingInfos::AddItem(Integer ALevel, const Variant& AValue,
                                    TcxDataExpandingInfoStates AState) {
  items_.push_back({ALevel, AValue, AState});
}

void TcxDataExpandingInfos::CheckField(const TcxCustomDataField* AField) {
  if (Find(AField) >= 0) Clear();
}

void TcxDataExpandingInfos::Clear() {
  fields_.clear();
  items_.clear();
  SaveStates = {};
}

void TcxDataExpandingInfos::ClearFields() {
  fields_.clear();
  items_.clear();
}

Integer TcxDataExpandingInfos::Find(const TcxCustomDataField* AField) const {
  auto it = std::find(fields_.begin(), fields_.end(), AField);
  return it == fields_.end() ? -1 : static_cast<Integer>(it - fields_.begin());
}

// ---------------------------------------------------------------------------
// Locate objects
// ---------------------------------------------------------------------------

TcxDataControllerLocateObject::~TcxDataControllerLocateObject() {
  TcxDataControllerLocateObject::Clear();
}

void TcxDataControllerLocateObject::Clear() {
  if (recordIndex_ == 0) return;
  Integer r = recordIndex_;
  recordIndex_ = 0;
  dataController_->DataStorage()->DeleteInternalRecord(r);
}

void TcxDataControllerLocateObject::ReadData(TcxValueDefReader* AReader) {
  if (recordIndex_ == 0)
    recordIndex_ = dataController_->DataStorage()->AddInternalRecord();
  auto reading =
      MakeBracket(dataController_, &TcxCustomDataController::BeginReadRecord,
                  &TcxCustomDataController::EndReadRecord);
  dataController_->DataStorage()->ReadRecord(recordIndex_, AReader);
}

TcxDataControllerGroupLocateObject::TcxDataControllerGroupLocateObject(
    TcxCustomDataController* ADataController)
    : TcxDataControllerLocateObject(ADataController) {
  if (!ADataController) return;
  TcxGroupingFieldList& grouping =
      ADataController->DataControllerInfo()->GroupingFieldList();
  for (Integer i = 0; i < grouping.Count(); ++i) {
    TcxCustomDataField* f = grouping.Items(i).Field;
    groupingFields_.push_back(f);
    // Display texts are not in the sorted order's terms of the held values.
    if (ADataController->IsSortByDisplayTextNeeded(f))
      findGroupRecordEnabled_ = false;
  }
}

void TcxDataControllerGroupLocateObject::SetLevel(Integer AValue) {
  if (level_ == AValue) return;
  level_ = AValue;
  if (findGroupRecordEnabled_) return;
  Integer n =
      std::clamp<Integer>(AValue + 1, 0, Integer(groupingFields_.size()));
  findFields_.assign(groupingFields_.begin(), groupingFields_.begin() + n);
}

Integer TcxDataControllerGroupLocateObject::FindRecordListIndex() {
  if (RecordIndex() == 0 || level_ < 0) return -1;
  TcxCustomDataController* dc = DataController();
  TcxCustomDataControllerInfo* info = dc->DataControllerInfo();
  if (findGroupRecordEnabled_)
    return info->FindGroupRecordListIndex(RecordIndex(), level_ + 1);
  if (findFields_.empty()) return -1;
  // Only shown records have a group to find, so the scan walks the record
  // list rather than the whole storage.
  TRestoreOnExit finding(dc->internalFindRecord_, true);
  TPreparedSorting prepared(info);
  for (Integer p = 0; p < info->GetInternalRecordCount(); ++p) {
    Integer r = info->GetInternalRecordIndex(p);
    bool equal = true;
    for (TcxCustomDataField* f : findFields_)
      if (dc->CompareByField(RecordIndex(), r, f, dccmOther) != 0) {
        equal = false;
        break;
      }
    if (equal) return p;
  }
  return -1;
}

Integer TcxDataControllerGroupLocateObject::FindRecordIndex() {
  Integer p = FindRecordListIndex();
  return p < 0 ? -1
               : DataController()->DataControllerInfo()->GetInternalRecordIndex(
                     p);
}

// ---------------------------------------------------------------------------
// Finding a group's record
// ---------------------------------------------------------------------------

Integer TcxCustomDataControllerInfo::FindGroupRecordListIndex(
    Integer ARecordIndex, Integer ALevel) {
  Integer n = GetInternalRecordCount();
  // The tree's fields lead the sorted order that the search relies on.
  if (ALevel < 1 || ALevel > groups_.GetFieldCount() ||
      ALevel > totalSortingFields_.Count() || n == 0)
    return -1;
  TPreparedSorting prepared(this);
  auto compare = [&](Integer ARecord) {
    for (Integer k = 0; k < ALevel; ++k) {
      Integer c = CompareGroupRecords(ARecord, ARecordIndex, k);
      if (c != 0) return c;
    }
    return Integer(0);
  };
  Integer lo = 0, hi = n;
  while (lo < hi) {
    Integer mid = lo + (hi - lo) / 2;
    if (compare(recordList_[mid]) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < n && compare(recordList_[lo]) == 0 ? lo : -1;
}

Integer TcxCustomDataController::FindGroupRecord(Integer ARecordIndex,
                                                 Integer ALevel) {
  if (ARecordIndex >= GetRecordCount())
    InvalidOperation(cxGetResourceString(cxSDataRecordIndexError));
  Integer p = info_->FindGroupRecordListIndex(ARecordIndex, ALevel);
  return p < 0 ? -1 : info_->GetInternalRecordIndex(p);
}

// ---------------------------------------------------------------------------
// Saving and restoring expanded and selected groups
// ---------------------------------------------------------------------------

// Visits the groups in pre-order, descending only into expanded ones; a
// collapsed group is visited only when AVisitCollapsed.
template <class Visit>
void TcxCustomDataControllerInfo::ForEachSavedGroup(bool AVisitCollapsed,
                                                    Visit AVisit) {
  Integer n = groups_.GetItemCount();
  for (Integer i = 0; i < n;) {
    const TcxDataGroupInfo& g = groups_.GetItem(i);
    bool expanded = g.Expanded;
    bool deepest = groups_.IsDeepest(i);
    Integer end = g.EndIndex;
    if (expanded || AVisitCollapsed) AVisit(i);
    i = !expanded && !deepest ? end + 1 : i + 1;
  }
}

std::vector<Integer> TcxCustomDataControllerInfo::ListPositions() const {
  std::vector<Integer> positions(
      std::max<Integer>(0, dataController_->GetRecordCount()), -1);
  for (Integer p = 0; p < GetInternalRecordCount(); ++p) {
    Integer r = recordList_[p];
    if (r >= 0 && r < Integer(positions.size())) positions[r] = p;
  }
  return positions;
}

namespace {

// The data group indexes of the selected group rows, ascending.
std::vector<Integer> SelectedGroups(const TcxDataSelection& ASelection) {
  std::vector<Integer> groups;
  for (Integer i = 0; i < ASelection.Count(); ++i)
    if (ASelection.Items(i).Level == -1)
      groups.push_back(ASelection.Items(i).RecordIndex);
  std::sort(groups.begin(), groups.end());
  return groups;
}

bool Contains(const std::vector<Integer>& ASorted, Integer AValue) {
  return std::binary_search(ASorted.begin(), ASorted.end(), AValue);
}

bool ByGroup(const std::pair<Integer, Variant>& A,
             const std::pair<Integer, Variant>& B) {
  return A.first < B.first;
}

}  // namespace

// Records the values of the groups whose state a later pass may save. At the
// start of that pass the records may already hold other values (a changed
// first record, deleted records shifting the indexes), so each value is
// taken at the end of the first pass that shows the group expanded or
// selected, while it still agrees with the tree. A group's value never
// changes while the tree stands; regrouping forgets them all.
void TcxCustomDataControllerInfo::CacheGroupValues() {
  // Only these changes show a group expanded or selected for the first time.
  if (!IsGrouped() ||
      !(changes_.Contains(dcicLoad) || changes_.Contains(dcicGrouping) ||
        changes_.Contains(dcicExpanding) || changes_.Contains(dcicSelection)))
    return;
  std::vector<Integer> selected = SelectedGroups(*selection_);
  if (selected.empty() &&
      !dataController_->Options().Contains(dcoSaveExpanding))
    return;
  size_t before = groupValues_.size();
  try {
    ForEachSavedGroup(!selected.empty(), [&](Integer AIndex) {
      const TcxDataGroupInfo& g = groups_.GetItem(AIndex);
      if (!g.Expanded && !Contains(selected, AIndex)) return;
      std::pair<Integer, Variant> key{AIndex, Variant()};
      if (std::binary_search(groupValues_.begin(),
                             groupValues_.begin() + before, key, ByGroup))
        return;
      Integer record = recordList_[groups_.GetDataRecordListIndex(AIndex)];
      groupValues_.push_back({AIndex, dataController_->GetComparedValue(
                                          record, groups_.GetField(g.Level))});
    });
  } catch (const std::exception&) {
    // A source that cannot answer now leaves the value to be read when the
    // states are saved.
  }
  if (groupValues_.size() != before)
    std::sort(groupValues_.begin(), groupValues_.end(), ByGroup);
}

std::optional<Variant> TcxCustomDataControllerInfo::SavedGroupValue(
    Integer AGroupIndex) {
  auto it = std::lower_bound(
      groupValues_.begin(), groupValues_.end(),
      std::pair<Integer, Variant>{AGroupIndex, Variant()}, ByGroup);
  if (it != groupValues_.end() && it->first == AGroupIndex) return it->second;
  const TcxDataGroupInfo& g = groups_.GetItem(AGroupIndex);
  Integer record = recordList_[groups_.GetDataRecordListIndex(AGroupIndex)];
  // A first record gone with the records that were deleted.
  if (record >= dataController_->GetRecordCount()) return std::nullopt;
  return dataController_->GetComparedValue(record, groups_.GetField(g.Level));
}

void TcxCustomDataControllerInfo::SaveInfo() {
  TcxDataExpandingInfoStates states;
  bool saveExpanding = dataController_->Options().Contains(dcoSaveExpanding);
  bool selected = selection_->Count() > 0;
  bool reload = changes_.Contains(dcicLoad) || changes_.Contains(dcicGrouping);
  if (saveExpanding && reload) states.Include(eisExpanded);
  if (selected && (reload || changes_.Contains(dcicSorting) ||
                   changes_.Contains(dcicExpanding)))
    states.Include(eisSelected);
  SaveExpanding(states);
}

void TcxCustomDataControllerInfo::SaveExpanding(
    TcxDataExpandingInfoStates AStates) {
  if (AStates == expandingInfos_.SaveStates) return;
  bool fieldsDiffer = groups_.GetFieldCount() != groupingFields_.Count();
  for (Integer l = 0; !fieldsDiffer && l < groups_.GetFieldCount(); ++l)
    fieldsDiffer = groups_.GetField(l) != groupingFields_.Items(l).Field;
  expandingInfos_.Clear();
  expandingInfos_.SaveStates = AStates;
  if (AStates.Empty() || fieldsDiffer || dataController_->GetRecordCount() == 0)
    return;
  for (Integer l = 0; l < groups_.GetFieldCount(); ++l)
    expandingInfos_.AddField(groups_.GetField(l));
  if (!IsGrouped()) return;
  bool saveSelected = AStates.Contains(eisSelected);
  bool keepExpanded = selection_->Count() > 0 || !IsAlwaysExpanded();
  std::vector<Integer> selected = SelectedGroups(*selection_);
  ForEachSavedGroup(saveSelected, [&](Integer AIndex) {
    const TcxDataGroupInfo& g = groups_.GetItem(AIndex);
    TcxDataExpandingInfoStates state;
    if (g.Expanded && keepExpanded) state.Include(eisExpanded);
    if (saveSelected && Contains(selected, AIndex)) state.Include(eisSelected);
    if (state.Empty()) return;
    if (std::optional<Variant> value = SavedGroupValue(AIndex))
      expandingInfos_.AddItem(g.Level, *value, state);
  });
}

void TcxCustomDataControllerInfo::RestoreGroupStates() {
  TcxDataExpandingInfoStates saved = expandingInfos_.SaveStates;
  if (saved.Empty()) return;
  bool fieldsEqual = expandingInfos_.FieldCount() == groups_.GetFieldCount();
  for (Integer l = 0; fieldsEqual && l < groups_.GetFieldCount(); ++l)
    fieldsEqual = expandingInfos_.Fields(l) == groups_.GetField(l);
  if (!fieldsEqual) {
    if (saved.Contains(eisSelected)) selection_->ClearAll();
    return;
  }
  Integer levels = groups_.GetFieldCount();
  selection_->InternalDeleteIf(
      [levels](const TcxDataSelectionInfo& e) { return e.Level != levels; });
  bool restoreSelected = saved.Contains(eisSelected) && !selectionReset_;
  if (IsGrouped()) {
    std::vector<Integer> selectedGroups;
    TScopeGuard finish([&] {
      if (!IsAlwaysExpanded() && saved.Contains(eisExpanded)) groups_.Rebuild();
      for (Integer g : selectedGroups) selection_->Add(-1, -1, -1, g);
      RenumberSelection();
    });
    {
      TcxValueDefUnboundReader reader;
      TcxDataControllerGroupLocateObject locate(dataController_);
      Integer prevLevel = -1;
      for (Integer i = 0; i < expandingInfos_.Count(); ++i) {
        const TcxDataExpandingInfo& e = expandingInfos_.Items(i);
        if (e.Level < 0 || e.Level >= levels) continue;
        if (e.Level < prevLevel) reader.Truncate(e.Level);
        prevLevel = e.Level;
        reader.SetValue(groups_.GetField(e.Level)->GetValueDef(), e.Value);
        bool expand =
            e.State.Contains(eisExpanded) && saved.Contains(eisExpanded);
        bool select = e.State.Contains(eisSelected) && restoreSelected;
        if (!expand && !select) continue;
        locate.SetLevel(e.Level);
        locate.ReadData(&reader);
        Integer p = locate.FindRecordListIndex();
        if (p < 0) continue;
        Integer g = groups_.FindDataGroup(p);
        while (g >= 0 && groups_.GetLevel(g) > e.Level)
          g = groups_.GetParentIndex(g);
        if (g < 0 || groups_.GetLevel(g) != e.Level) continue;
        if (expand) groups_.GetItem(g).Expanded = true;
        if (select) selectedGroups.push_back(g);
      }
    }
  } else if (saved.Contains(eisSelected) && !dataController_->IsGridMode()) {
    std::vector<Integer> positions = ListPositions();
    TcxDataSelection& sel = *selection_;
    for (Integer i = 0; i < sel.Count(); ++i) {
      TcxDataSelectionInfo& e = sel.Items(i);
      e.RowIndex =
          e.RecordIndex >= 0 && e.RecordIndex < Integer(positions.size())
              ? positions[e.RecordIndex]
              : -1;
    }
    sel.InternalDeleteIf(
        [](const TcxDataSelectionInfo& e) { return e.RowIndex < 0; });
    sel.Sort();
  }
  TcxDataSelection& sel = *selection_;
  if (sel.AnchorRowIndex != -1 && !sel.IsRowSelected(sel.AnchorRowIndex))
    sel.ClearAnchor();
}

Integer TcxCustomDataControllerInfo::SelectedGroupRow(
    Integer AGroupIndex) const {
  // A group inside a collapsed one shows on its ancestor's row: it has none.
  if (AGroupIndex < 0 || AGroupIndex >= groups_.GetItemCount() ||
      !groups_.IsVisible(AGroupIndex))
    return -1;
  return groups_.GetItem(AGroupIndex).RowIndex;
}

// After regrouping: group entries take their group's row; data rows keep
// their selection only inside expanded groups, with their new row numbers.
void TcxCustomDataControllerInfo::RenumberSelection() {
  TcxDataSelection& sel = *selection_;
  if (sel.Count() == 0) return;
  std::vector<Integer> positions = ListPositions();
  std::vector<std::pair<Integer, Integer>> byPosition;  // (position, entry)
  for (Integer i = 0; i < sel.Count(); ++i) {
    TcxDataSelectionInfo& e = sel.Items(i);
    e.RowIndex = -1;
    if (e.Level == -1)
      e.RowIndex = SelectedGroupRow(e.RecordIndex);
    else if (e.RecordIndex >= 0 && e.RecordIndex < Integer(positions.size()) &&
             positions[e.RecordIndex] >= 0)
      byPosition.push_back({positions[e.RecordIndex], i});
  }
  std::sort(byPosition.begin(), byPosition.end());
  size_t k = 0;
  ForEachSavedGroup(false, [&](Integer AIndex) {
    if (!groups_.IsDeepest(AIndex)) return;
    const TcxDataGroupInfo& g = groups_.GetItem(AIndex);
    while (k < byPosition.size() && byPosition[k].first < g.BeginIndex) ++k;
    for (; k < byPosition.size() && byPosition[k].first <= g.EndIndex; ++k)
      sel.Items(byPosition[k].second).RowIndex =
          byPosition[k].first + g.RowIndex - g.BeginIndex + 1;
  });
  sel.InternalDeleteIf(
      [](const TcxDataSelectionInfo& e) { return e.RowIndex < 0; });
  sel.Sort();
}

// Selected records are kept by record index: they move with the records
// after them, as the bookmark does, and the deleted record's entry goes.
void TcxCustomDataControllerInfo::ShiftSelectedRecords(Integer ARecordIndex,
                                                       Integer ADelta) {
  TcxDataSelection& sel = *selection_;
  Integer gone = -1;
  for (Integer i = 0; i < sel.Count(); ++i) {
    TcxDataSelectionInfo& e = sel.Items(i);
    if (e.Level == -1 || e.RecordIndex < ARecordIndex) continue;
    if (ADelta < 0 && e.RecordIndex == ARecordIndex)
      gone = i;
    else
      e.RecordIndex += ADelta;
  }
  if (gone < 0) return;
  sel.InternalDelete(gone);
  changes_.Include(dcicSelection);
}

// ---------------------------------------------------------------------------
// Grouping interface
// ---------------------------------------------------------------------------

TcxCustomDataControllerInfo* TcxDataControllerGroups::DataControllerInfo()
    const {
  return dataController_->DataControllerInfo();
}

TcxDataGroups& TcxDataControllerGroups::DataGroups() const {
  return DataControllerInfo()->DataGroups();
}

void TcxDataControllerGroups::ChangeExpanding(Integer ARowIndex, bool AExpanded,
                                              bool ARecursive) {
  DataControllerInfo()->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
}

void TcxDataControllerGroups::FullCollapse() {
  DataControllerInfo()->FullCollapse();
}

void TcxDataControllerGroups::FullExpand() {
  DataControllerInfo()->FullExpand();
}

void TcxDataControllerGroups::ChangeGrouping(Integer AItemIndex,
                                             Integer AGroupIndex) {
  TcxCustomDataField* field = dataController_->GetItemField(AItemIndex);
  Integer current = GetFieldGroupIndex(field);
  // A grouped item asked past the last level lands on the last one.
  if (AGroupIndex < 0)
    AGroupIndex = -1;
  else if (current >= 0)
    AGroupIndex = std::min(AGroupIndex, GetGroupingItemCount() - 1);
  if (current == AGroupIndex) return;
  dataController_->BeforeSorting();
  dataController_->groupingChanged_ = true;
  DataControllerInfo()->ChangeGrouping(field, AGroupIndex);
}

void TcxDataControllerGroups::ClearGrouping() {
  if (GetGroupingItemCount() == 0) return;
  auto update = dataController_->UpdateScope();
  dataController_->BeforeSorting();
  dataController_->groupingChanged_ = true;
  DataControllerInfo()->ClearGrouping();
}

Integer TcxDataControllerGroups::GetGroupingItemCount() const {
  return DataControllerInfo()->GroupingFieldList().Count();
}

Integer TcxDataControllerGroups::GetGroupingItemIndex(
    Integer AGroupIndex) const {
  TcxGroupingFieldList& list = DataControllerInfo()->GroupingFieldList();
  if (AGroupIndex < 0 || AGroupIndex >= list.Count()) return -1;
  return list.Items(AGroupIndex).Field->GetIndex();
}

Integer TcxDataControllerGroups::GetItemGroupIndex(Integer AItemIndex) const {
  return GetFieldGroupIndex(dataController_->GetItemField(AItemIndex));
}

Integer TcxDataControllerGroups::GetFieldGroupIndex(
    const TcxCustomDataField* AField) const {
  return DataControllerInfo()->GroupingFieldList().Find(AField);
}

Integer TcxDataControllerGroups::GetChildCount(Integer AIndex) const {
  return DataGroups().GetChildCount(AIndex);
}

Integer TcxDataControllerGroups::GetChildDataGroupIndex(
    Integer AIndex, Integer AChildIndex) const {
  return DataGroups().GetChildIndex(AIndex, AChildIndex);
}

Integer TcxDataControllerGroups::GetChildRecordIndex(
    Integer AIndex, Integer AChildIndex) const {
  Integer pos = DataGroups().GetChildRecordListIndex(AIndex, AChildIndex);
  return pos < 0 ? -1 : DataControllerInfo()->GetInternalRecordIndex(pos);
}

Integer TcxDataControllerGroups::GetLevel(Integer AIndex) const {
  return DataGroups().GetLevel(AIndex);
}

Integer TcxDataControllerGroups::GetParentDataGroupIndex(Integer AIndex) const {
  return DataGroups().GetParentIndex(AIndex);
}

Integer TcxDataControllerGroups::GetDataGroupIndexByRowIndex(
    Integer ARowIndex) const {
  if (DataGroups().GetItemCount() == 0 || ARowIndex < 0 ||
      ARowIndex >= dataController_->GetRowCount())
    return -1;
  return DataGroups().GetIndexByRowIndex(ARowIndex);
}

Integer TcxDataControllerGroups::GetGroupRecordIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= DataGroups().GetItemCount()) return -1;
  return DataControllerInfo()->GetInternalRecordIndex(
      DataGroups().GetDataRecordListIndex(AIndex));
}

TcxCustomDataField* TcxDataControllerGroups::LevelField(Integer AIndex) const {
  Integer level = GetLevel(AIndex);
  if (level < 0 || level >= DataGroups().GetFieldCount()) return nullptr;
  return DataGroups().GetField(level);
}

Variant TcxDataControllerGroups::GetGroupValue(Integer AIndex) const {
  TcxCustomDataField* field = LevelField(AIndex);
  if (!field) return Null();
  return dataController_->GetComparedValue(GetGroupRecordIndex(AIndex), field);
}

String TcxDataControllerGroups::GetGroupDisplayText(Integer AIndex) const {
  TcxCustomDataField* field = LevelField(AIndex);
  if (!field) return String();
  return dataController_->GetInternalDisplayText(GetGroupRecordIndex(AIndex),
                                                 field);
}

Integer TcxDataControllerGroups::GetDataGroupIndexByGroupValue(
    Integer AParentIndex, const Variant& AValue) const {
  TcxCustomDataControllerInfo* info = DataControllerInfo();
  Integer result = -1;
  {
    auto sorting =
        MakeBracket(info, &TcxCustomDataControllerInfo::PrepareSorting,
                    &TcxCustomDataControllerInfo::UnprepareSorting);
    for (Integer i = 0; i < GetChildCount(AParentIndex); ++i) {
      Integer child = GetChildDataGroupIndex(AParentIndex, i);
      if (child >= 0 && VarEquals(GetGroupValue(child), AValue)) {
        result = child;
        break;
      }
    }
  }
  return result;
}

bool TcxDataControllerGroups::HasAsParent(Integer ARowIndex,
                                          Integer AParentRowIndex) const {
  if (DataGroups().GetItemCount() == 0) return false;
  Integer group = GetDataGroupIndexByRowIndex(ARowIndex);
  Integer parent = GetDataGroupIndexByRowIndex(AParentRowIndex);
  if (group < 0 || parent < 0) return false;
  if (group == parent) return true;
  if (GetLevel(parent) >= GetLevel(group)) return false;
  const TcxDataGroupInfo& p = DataGroups().GetItem(parent);
  return group >= p.BeginIndex && group <= p.EndIndex;
}

void TcxDataControllerGroups::LoadRecordIndexes(std::vector<Integer>& AList,
                                                Integer AIndex) const {
  TcxCustomDataControllerInfo* info = DataControllerInfo();
  Integer first = 0, last = info->GetInternalRecordCount() - 1;
  if (AIndex != -1) {
    TcxDataGroups& tree = DataGroups();
    if (AIndex < 0 || AIndex >= tree.GetItemCount()) return;
    // A group's records are one run of the record list.
    Integer deepestFirst = AIndex, deepestLast = AIndex;
    while (!tree.IsDeepest(deepestFirst))
      deepestFirst = tree.GetItem(deepestFirst).BeginIndex;
    while (!tree.IsDeepest(deepestLast))
      deepestLast = tree.GetItem(deepestLast).EndIndex;
    first = tree.GetItem(deepestFirst).BeginIndex;
    last = tree.GetItem(deepestLast).EndIndex;
  }
  for (Integer p = first; p <= last; ++p)
    AList.push_back(info->GetInternalRecordIndex(p));
}

void TcxDataControllerGroups::LoadRecordIndexesByRowIndex(
    std::vector<Integer>& AList, Integer ARowIndex) const {
  Integer group = GetDataGroupIndexByRowIndex(ARowIndex);
  if (group >= 0) LoadRecordIndexes(AList, group);
}
