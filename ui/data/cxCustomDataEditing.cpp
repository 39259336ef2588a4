// The editing state machine (edit, insert, append, post, cancel, delete),
// focus and navigation, the bookmark, selection, the incremental filter,
// incremental search, value readers and the key locate object.
#include <algorithm>

#include "ScopeGuard.h"
#include "cxCustomData.h"

// ---------------------------------------------------------------------------
// Provider: edit state
// ---------------------------------------------------------------------------

void TcxCustomDataProvider::ForgetEditingRecord() {
  editingRecordIndex_ = cxNullEditingRecordIndex;
}

void TcxCustomDataProvider::ResetEditing() {
  TcxCustomDataController* dc = dataController_;
  TcxDataStorage* storage = dc->DataStorage();
  if (IsEditing() && editingRecordIndex_ < 0 &&
      editingRecordIndex_ == dc->newItemRecordIndex_) {
    storage->DeleteInternalRecord(editingRecordIndex_);
    dc->newItemRecordIndex_ = 0;
  }
  editingRecordIndex_ = cxNullEditingRecordIndex;
  prevRecordIndex_ = -1;
  nextRecordIndex_ = -1;
  inserting_ = false;
  changing_ = false;
  modified_ = false;
  if (savedRecordIndex_ != 0) {
    Integer saved = savedRecordIndex_;
    savedRecordIndex_ = 0;
    storage->DeleteInternalRecord(saved);
  }
}

void TcxCustomDataProvider::Edit() { EditingRecord(); }

void TcxCustomDataProvider::EditingRecord() {
  TcxCustomDataController* dc = dataController_;
  if (dc->UseNewItemRowForEditing() && dc->GetNewItemRowFocused() &&
      !IsInserting()) {
    InsertingRecord(false);
    return;
  }
  if (IsEditing()) return;
  Integer r = dc->CalcEditingRecordIndex();
  editingRecordIndex_ = r;
  prevRecordIndex_ = -1;
  nextRecordIndex_ = -1;
  if (r >= 0) {
    Integer row = dc->GetFocusedRowIndex();
    Integer count = dc->GetRowCount();
    if (row >= 0 && row < count - 1)
      nextRecordIndex_ = dc->GetRowInfo(row + 1).RecordIndex;
    else if (row >= 0)
      prevRecordIndex_ = dc->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
  }
  if (!IsEditing()) return;
  if (!IsDataSource() && !inserting_) {
    if (savedRecordIndex_ == 0)
      savedRecordIndex_ = dc->DataStorage()->AddInternalRecord();
    dc->CopyRecord(r, savedRecordIndex_);
  }
  dc->Change({dccUpdateRecord});
}

void TcxCustomDataProvider::InsertingRecord(bool AIsAppending) {
  TcxCustomDataController* dc = dataController_;
  if (!IsDataSource() && IsInserting() && !changing_ && !modified_) return;
  // In grid mode the new record takes the active record's place; without
  // one, -1 would name an internal record and the new values would land in
  // whatever that holds.
  if (dc->IsGridMode() && !dc->UseNewItemRowForEditing() &&
      dc->GetFocusedRecordIndex() < 0)
    return;
  if (IsEditing() && !IsDataSource()) {
    if (changing_ || modified_) {
      if (changing_) DoUpdateData();
      Post();
    } else {
      ResetEditing();
    }
  }
  dc->DoBeforeInsert();
  inInserting_ = true;
  Integer reference = -1;
  {
    auto update = dc->UpdateScope();
    // A failed insert is over before the update ends; a good one only after.
    TScopeGuard failed([this] { inInserting_ = false; });
    if (dc->UseNewItemRowForEditing()) {
      reference = dc->GetFocusedRecordIndex();
      if (reference < 0 && dc->GetRowCount() > 0)
        reference = dc->GetRowInfo(0).RecordIndex;
      editingRecordIndex_ = dc->GetNewItemRecordIndex();
      dc->newItemRowFocused_ = true;
      dc->ChangeFocusedRowIndex(-1);
      dc->newItemRowFocused_ = true;
    } else {
      if (!AIsAppending) dc->ClearSelection();
      Integer rows = dc->GetRowCount();
      if (dc->IsGridMode()) {
        reference = dc->GetFocusedRecordIndex();
        editingRecordIndex_ = reference;
        prevRecordIndex_ = -1;
        nextRecordIndex_ = -1;
      } else if (AIsAppending) {
        reference = rows > 0 ? dc->GetRowInfo(rows - 1).RecordIndex : -1;
        editingRecordIndex_ = dc->AppendRecord();
        prevRecordIndex_ = reference;
        nextRecordIndex_ = -1;
      } else {
        reference = dc->GetFocusedRecordIndex();
        bool hadRecords = dc->GetRecordCount() > 0;
        Integer at = reference < 0 ? 0 : reference;
        editingRecordIndex_ = dc->InsertRecord(at);
        prevRecordIndex_ = -1;
        nextRecordIndex_ = -1;
        if (hadRecords)
          nextRecordIndex_ = at >= editingRecordIndex_ ? at + 1 : at;
        if (reference >= editingRecordIndex_) ++reference;
      }
    }
    TcxGroupingFieldList& grouping =
        dc->DataControllerInfo()->GroupingFieldList();
    if (grouping.Count() > 0 &&
        dc->Options().Contains(dcoAssignGroupingValues) && reference >= 0)
      for (Integer i = 0; i < grouping.Count(); ++i) {
        TcxCustomDataField* f = grouping.Items(i).Field;
        if (!f->IsInternal())
          dc->SetValue(editingRecordIndex_, f->GetIndex(),
                       dc->GetInternalValue(reference, f));
      }
    dc->DoNewRecord(editingRecordIndex_);
    changing_ = false;
    inserting_ = true;
    failed.Dismiss();
  }
  inInserting_ = false;
  if (editingRecordIndex_ >= 0)
    dc->ChangeFocusedRecordIndex(editingRecordIndex_);
  dc->DoAfterInsert();
}

void TcxCustomDataProvider::Post() {
  TcxCustomDataController* dc = dataController_;
  // The after-post event may free the controller and with it this provider.
  TcxDataListenerLinkScope link(dc);
  dc->BeginFullUpdate();
  TScopeGuard endUpdate([&] {
    if (link.Alive()) dc->EndFullUpdate();
  });
  DoUpdateData();
  if (!IsInserting() || modified_) {
    dc->DoBeforePost();
    Integer posted = editingRecordIndex_;
    if (IsInserting() && dc->IsNewItemRecordIndex(editingRecordIndex_)) {
      Integer from = editingRecordIndex_;
      posted = dc->AppendRecord();
      insertedRecordIndex_ = posted;
      dc->CopyRecord(from, posted);
    }
    ResetEditing();
    dc->DataChanged(dcRecord, -1, posted);
    dc->DoAfterPost();
  } else {
    // An insert nobody typed into leaves no record behind.
    Cancel();
    dc->DataChanged(dcRecord, -1, -1);
  }
}

void TcxCustomDataProvider::Cancel() {
  TcxCustomDataController* dc = dataController_;
  dc->DoBeforeCancel();
  {
    auto update = dc->UpdateScope();
    Integer r = editingRecordIndex_;
    if (IsEditing() && (r >= 0 || dc->IsNewItemRecordIndex(r))) {
      if (IsInserting()) {
        // A grid-mode insert took the active record's place, not a record
        // of its own: deleting would shift the window under its values.
        if (r >= 0 && !dc->IsGridMode()) {
          ForgetEditingRecord();
          dc->DeleteRecord(r);
          Integer count = dc->GetRecordCount();
          if (!dc->InCancel() && dc->GetFocusedRecordIndex() >= count &&
              count > 0)
            dc->ChangeFocusedRecordIndex(count - 1);
        }
      } else if (savedRecordIndex_ != 0) {
        dc->CopyRecord(savedRecordIndex_, r);
      }
    }
    ResetEditing();
  }
  dc->DoAfterCancel();
}

void TcxCustomDataProvider::DoUpdateData() {
  if (!changing_ || inUpdateData_) return;
  TRestoreOnExit updating(inUpdateData_, true);
  dataController_->UpdateData();
}

void TcxCustomDataProvider::PostEditingData() {
  DoUpdateData();
  ResetChanging();
}

Variant TcxCustomDataProvider::GetEditValue(Integer AItemIndex) {
  if (!IsEditing())
    InvalidOperation(cxGetResourceString(cxSDataRecordIndexError));
  return dataController_->GetInternalValue(
      editingRecordIndex_, dataController_->GetItemField(AItemIndex));
}

bool TcxCustomDataProvider::SetEditValue(
    Integer AItemIndex, const Variant& AValue,
    TcxDataEditValueSource AEditValueSource) {
  bool emptyText = AEditValueSource == evsText && VarIsStr(AValue) &&
                   AValue.AsString().empty();
  dataController_->SetValue(editingRecordIndex_, AItemIndex,
                            emptyText ? Null() : AValue);
  modified_ = true;
  return true;
}

bool TcxCustomDataProvider::CanInitEditing(Integer ARecordIndex) {
  dataController_->CheckRecordRange(ARecordIndex);
  if (!IsEditing()) Edit();
  if (!IsEditing()) return false;
  changing_ = true;
  return true;
}

void TcxCustomDataProvider::BeginDeleting() {
  TcxCustomDataController* dc = dataController_;
  dc->nearestRecordIndex_ = -1;
  Integer row = dc->GetFocusedRowIndex();
  if (row < 0 || dc->IsGridMode()) return;
  if (dc->MultiSelect() &&
      (dc->GetSelectedCount() > 1 ||
       (dc->GetSelectedCount() == 1 && !dc->IsRowSelected(row))))
    return;
  Integer nearest = dc->GetNearestRowIndex(row);
  dc->nearestRecordIndex_ = dc->GetRowInfo(nearest).RecordIndex;
}

void TcxCustomDataProvider::EndDeleting() {
  dataController_->nearestRecordIndex_ = -1;
}

void TcxCustomDataProvider::Delete() {
  TcxCustomDataController* dc = dataController_;
  Integer r = dc->GetFocusedRecordIndex();
  if (r < 0) return;
  dc->DoBeforeDelete(r);
  dc->DeleteRecord(r);
  dc->CheckNearestFocusRow();
  dc->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(const std::vector<Integer>& AList) {
  TcxCustomDataController* dc = dataController_;
  {
    auto update = dc->FullUpdateScope();
    for (auto it = AList.rbegin(); it != AList.rend(); ++it) {
      dc->DoBeforeDelete(*it);
      dc->DeleteRecord(*it);
      dc->DoAfterDelete();
    }
    if (dc->inDeleteSelection_) dc->ClearSelection();
  }
  dc->CheckNearestFocusRow();
}

void TcxCustomDataProvider::DeleteSelection() {
  TcxCustomDataController* dc = dataController_;
  TcxCustomDataControllerInfo* info = dc->DataControllerInfo();
  std::vector<Integer> records;
  for (Integer i = 0; i < dc->GetSelectedCount(); ++i) {
    Integer row = dc->GetSelectedRowIndex(i);
    Integer group;
    if (info->IsGrouped() && info->DataGroups().Find(row, group) >= 0) {
      TcxDataGroups& groups = info->DataGroups();
      Integer last = group;
      if (!groups.IsDeepest(group)) last = groups.GetItem(group).EndIndex;
      for (Integer p = groups.GetDataRecordListIndex(group);
           p <= groups.GetItem(last).EndIndex; ++p)
        records.push_back(info->GetInternalRecordIndex(p));
    } else {
      records.push_back(dc->GetRowInfo(row).RecordIndex);
    }
  }
  dc->inDeleteSelection_ = true;
  TScopeGuard deleted([dc] { dc->inDeleteSelection_ = false; });
  dc->DeleteRecords(records);
}

// ---------------------------------------------------------------------------
// Controller: editing
// ---------------------------------------------------------------------------

TcxDataControllerEditState TcxCustomDataController::GetEditState() const {
  TcxDataControllerEditState state;
  if (provider_->IsInserting())
    state.Include(dceInsert);
  else if (provider_->IsEditing())
    state.Include(dceEdit);
  if (!state.Empty()) {
    if (provider_->IsChanging()) state.Include(dceChanging);
    if (provider_->IsModified()) state.Include(dceModified);
  }
  return state;
}

TcxDataControllerEditOperations TcxCustomDataController::GetEditOperations()
    const {
  TcxDataControllerEditOperations ops;
  if (provider_->CanAppend()) ops.Include(dceoAppend);
  if (provider_->CanDelete()) ops.Include(dceoDelete);
  if (provider_->CanModify()) ops.Include(dceoEdit);
  if (provider_->CanInsert()) ops.Include(dceoInsert);
  if (!(provider_->IsDataSource() && !provider_->IsSyncMode()))
    ops.Include(dceoShowEdit);
  return ops;
}

bool TcxCustomDataController::IsEditing() const {
  TcxDataControllerEditState s = GetEditState();
  return (s.Contains(dceInsert) || s.Contains(dceEdit)) &&
         provider_->IsEditing();
}

Integer TcxCustomDataController::GetEditingRecordIndex() const {
  if (provider_->IsEditing()) return provider_->EditingRecordIndex();
  return CalcEditingRecordIndex();
}

Integer TcxCustomDataController::CalcEditingRecordIndex() const {
  if (GetNewItemRowFocused()) return newItemRecordIndex_;
  Integer r = GetFocusedRecordIndex();
  return r >= 0 ? r : cxNullEditingRecordIndex;
}

Variant TcxCustomDataController::GetEditValue(Integer AItemIndex,
                                              TcxDataEditValueSource) {
  CheckItemRange(AItemIndex);
  if (useNewItemRowForEditing_ && GetNewItemRowFocused() &&
      !provider_->IsEditing())
    return Null();
  return provider_->GetEditValue(AItemIndex);
}

bool TcxCustomDataController::SetEditValue(
    Integer AItemIndex, const Variant& AValue,
    TcxDataEditValueSource AEditValueSource) {
  if (!CanInitEditing(AItemIndex)) return false;
  bool result = provider_->SetEditValue(AItemIndex, AValue, AEditValueSource);
  if (result && IsImmediatePost()) Post();
  return result;
}

bool TcxCustomDataController::CanInitEditing(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  TcxCustomDataField* field = fields_->GetItem(AItemIndex);
  if (!provider_->CanModify() && !field->IsUnbound()) return false;
  if (!field->CanModify(evsText)) return false;
  return provider_->CanInitEditing(GetEditingRecordIndex());
}

void TcxCustomDataController::Edit() {
  if (provider_->CanModify()) provider_->Edit();
}

void TcxCustomDataController::Insert() {
  if (provider_->CanInsert()) provider_->Insert();
}

void TcxCustomDataController::Append() {
  if (provider_->CanAppend()) provider_->Append();
}

void TcxCustomDataController::Post() {
  // An after-post handler may free the controller (closing its form).
  TcxDataListenerLinkScope link(this);
  checkFocusingAfterFilter_ = true;
  TScopeGuard forgetInserted([&] {
    if (link.Alive()) provider_->SetInsertedRecordIndex(-1);
  });
  if (provider_->IsEditing()) provider_->Post();
}

void TcxCustomDataController::Cancel() {
  if (inCancel_) return;
  TRestoreOnExit cancelling(inCancel_, true);
  Integer row = GetFocusedRowIndex();
  if (provider_->IsEditing()) provider_->Cancel();
  if (!info_->InCanFocusedRowChanging())
    ChangeFocusedRowIndex(std::min(row, GetRowCount() - 1));
}

bool TcxCustomDataController::CanFocusRecord(Integer ARecordIndex) {
  if (!provider_->IsDataSource() && provider_->IsEditing() &&
      ARecordIndex != provider_->EditingRecordIndex())
    Post();
  return true;
}

void TcxCustomDataController::CheckEditingRecordIndex(Integer ARecordIndex) {
  if (!provider_->IsEditing()) return;
  Integer e = provider_->EditingRecordIndex();
  if (e < 0) return;
  if ((ARecordIndex >= 0 && ARecordIndex <= e) || e >= GetRecordCount())
    provider_->ResetEditing();
}

void TcxCustomDataController::CopyRecord(Integer AFromRecordIndex,
                                         Integer AToRecordIndex) {
  if (IsProviderMode() && AToRecordIndex >= 0) {
    for (Integer i = 0; i < GetItemCount(); ++i) {
      TcxCustomDataField* f = fields_->GetItem(i);
      provider_->SetValue(AToRecordIndex, f,
                          GetInternalValue(AFromRecordIndex, f));
    }
  } else {
    TObjectPtr<TcxValueDefRecordReader> reader(
        new TcxValueDefRecordReader(this, AFromRecordIndex));
    storage_->ReadRecord(AToRecordIndex, reader.get());
  }
  if (AToRecordIndex >= 0) DataChanged(dcRecord, -1, AToRecordIndex);
}

Integer TcxCustomDataController::GetNewItemRecordIndex() {
  if (newItemRecordIndex_ == 0)
    newItemRecordIndex_ = storage_->AddInternalRecord();
  return newItemRecordIndex_;
}

bool TcxCustomDataController::IsNewItemRecordIndex(Integer ARecordIndex) const {
  return useNewItemRowForEditing_ && newItemRecordIndex_ != 0 &&
         ARecordIndex == newItemRecordIndex_;
}

bool TcxCustomDataController::GetNewItemRowFocused() const {
  return newItemRowFocused_ && useNewItemRowForEditing_ &&
         info_->GetFocusedRecordIndex() < 0;
}

void TcxCustomDataController::SetNewItemRowFocused(bool AValue) {
  if (newItemRowFocused_ == AValue) return;
  {
    auto update = UpdateScope();
    if (AValue)
      ChangeFocusedRowIndex(-1);
    else if (!destroying_)
      Post();
    info_->FocusedRecordChanged(true);
    newItemRowFocused_ = AValue;
  }
  if (options_.Contains(dcoInsertOnNewItemRowFocusing) &&
      GetNewItemRowFocused() && !provider_->IsInserting())
    Insert();
}

void TcxCustomDataController::SetUseNewItemRowForEditing(bool AValue) {
  if (useNewItemRowForEditing_ == AValue) return;
  Cancel();
  ClearSelection();
  useNewItemRowForEditing_ = AValue;
  Change({dccData});
}

void TcxCustomDataController::ResetNewItemRowFocused() {
  if (!newItemRowFocused_) return;
  info_->PrevFocusingInfo().Changed = true;
  newItemRowFocused_ = false;
}

void TcxCustomDataController::DoBeforeDelete(Integer ARecordIndex) {
  if (OnBeforeDelete) OnBeforeDelete(this, ARecordIndex);
}

void TcxCustomDataController::DoNewRecord(Integer ARecordIndex) {
  if (OnNewRecord) OnNewRecord(this, ARecordIndex);
}

// Deleting ------------------------------------------------------------------

void TcxCustomDataController::DeleteFocused() {
  Integer row = GetFocusedRowIndex();
  if (row < 0 || !provider_->CanDelete()) return;
  {
    auto deleting =
        MakeBracket(provider_.get(), &TcxCustomDataProvider::BeginDeleting,
                    &TcxCustomDataProvider::EndDeleting);
    Integer group;
    if (info_->IsGrouped() && info_->DataGroups().Find(row, group) >= 0) {
      TcxDataGroups& groups = info_->DataGroups();
      Integer last =
          groups.IsDeepest(group) ? group : groups.GetItem(group).EndIndex;
      std::vector<Integer> records;
      for (Integer p = groups.GetDataRecordListIndex(group);
           p <= groups.GetItem(last).EndIndex; ++p)
        records.push_back(info_->GetInternalRecordIndex(p));
      DeleteRecords(records);
    } else {
      DeleteFocusedRecord();
    }
  }
  ClearSelection();
}

void TcxCustomDataController::DeleteSelection() {
  if (GetSelectedCount() == 0 || !provider_->CanDelete()) return;
  auto deleting =
      MakeBracket(provider_.get(), &TcxCustomDataProvider::BeginDeleting,
                  &TcxCustomDataProvider::EndDeleting);
  if (IsFocusedSelectedMode())
    DeleteFocusedRecord();
  else
    provider_->DeleteSelection();
}

void TcxCustomDataController::DeleteFocusedRecord() {
  Integer focused = GetFocusedRecordIndex();
  if (nearestRecordIndex_ >= focused && nearestRecordIndex_ != -1)
    --nearestRecordIndex_;
  TScopeGuard restoreNearest([&] { nearestRecordIndex_ = focused; });
  provider_->Delete();
  restoreNearest.Dismiss();
}

void TcxCustomDataController::DeleteRecords(std::vector<Integer> AList) {
  std::sort(AList.begin(), AList.end());
  AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
  Integer focused = GetFocusedRecordIndex();
  if (nearestRecordIndex_ != -1)
    nearestRecordIndex_ -= static_cast<Integer>(
        std::upper_bound(AList.begin(), AList.end(), nearestRecordIndex_) -
        AList.begin());
  TScopeGuard restoreNearest([&] { nearestRecordIndex_ = focused; });
  provider_->DeleteRecords(AList);
  restoreNearest.Dismiss();
}

void TcxCustomDataController::CheckNearestFocusRow() {
  if (nearestRecordIndex_ == -1) {
    if (GetLockCount() == 0 && GetFocusedRecordIndex() < 0)
      ChangeFocusedRowIndex(GetRowCount() - 1);
  } else if (nearestRecordIndex_ < GetRecordCount()) {
    ChangeFocusedRecordIndex(nearestRecordIndex_);
  }
}

// ---------------------------------------------------------------------------
// Focus and navigation
// ---------------------------------------------------------------------------

Integer TcxCustomDataController::GetFocusedRowIndex() const {
  return info_->GetFocusedRowIndex();
}

Integer TcxCustomDataController::GetFocusedRecordIndex() const {
  return info_->GetFocusedRecordIndex();
}

bool TcxCustomDataController::ChangeFocusedRowIndex(Integer ARowIndex) {
  info_->SetFocusedRowIndex(ARowIndex);
  return true;
}

bool TcxCustomDataController::ChangeFocusedRecordIndex(Integer ARecordIndex) {
  Integer row = -1;
  if (ARecordIndex >= 0 && ARecordIndex < GetRecordCount())
    row = info_->GetRowIndexByRecordIndex(ARecordIndex, true);
  return ChangeFocusedRowIndex(row);
}

void TcxCustomDataController::CheckFocusedRow() {
  if (GetFocusedRowIndex() < 0 && !GetNewItemRowFocused())
    ChangeFocusedRowIndex(0);
}

// In grid mode the rows are a window of the provider's record set, so
// navigation moves the set instead of the focus.
void TcxCustomDataController::GotoFirst() {
  if (IsGridMode())
    provider_->First();
  else
    ChangeFocusedRowIndex(0);
}

void TcxCustomDataController::GotoLast() {
  if (IsGridMode())
    provider_->Last();
  else
    ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TcxCustomDataController::GotoNext() {
  if (IsGridMode())
    provider_->Next();
  else
    ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TcxCustomDataController::GotoPrev() {
  if (IsGridMode())
    provider_->Prev();
  else
    ChangeFocusedRowIndex(std::max<Integer>(GetFocusedRowIndex() - 1, 0));
}

void TcxCustomDataController::MoveBy(Integer ADistance) {
  if (IsGridMode())
    provider_->MoveBy(ADistance);
  else
    ChangeFocusedRowIndex(
        std::max<Integer>(GetFocusedRowIndex() + ADistance, 0));
}

bool TcxCustomDataController::IsBOF() const {
  if (IsGridMode()) return provider_->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TcxCustomDataController::IsEOF() const {
  if (IsGridMode()) return provider_->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

// ---------------------------------------------------------------------------
// Bookmark
// ---------------------------------------------------------------------------

void TcxCustomDataController::SaveBookmark() {
  Integer r = GetFocusedRecordIndex();
  if (r == bookmarkRecordIndex_) return;
  bookmarkRecordIndex_ = r;
  Change({dccBookmark});
}

void TcxCustomDataController::GotoBookmark() {
  if (IsBookmarkAvailable()) ChangeFocusedRecordIndex(bookmarkRecordIndex_);
}

void TcxCustomDataController::ClearBookmark() {
  bool was = IsBookmarkAvailable();
  bookmarkRecordIndex_ = -1;
  if (was) Change({dccBookmark});
}

bool TcxCustomDataController::IsBookmarkRow(Integer ARowIndex) const {
  return IsBookmarkAvailable() &&
         GetRowInfo(ARowIndex).RecordIndex == bookmarkRecordIndex_;
}

void TcxCustomDataController::CheckBookmarkValid(Integer ARecordIndex) {
  if (!IsBookmarkAvailable()) return;
  if ((ARecordIndex != -1 && ARecordIndex == bookmarkRecordIndex_) ||
      bookmarkRecordIndex_ >= GetRecordCount() ||
      // The row list is only current inside its own update pass.
      (info_->InfoCalculation() &&
       info_->GetInternalRecordListIndex(bookmarkRecordIndex_) < 0))
    ClearBookmark();
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void TcxCustomDataController::SetMultiSelect(bool AValue) {
  if (multiSelect_ == AValue) return;
  multiSelect_ = AValue;
  focusedSelected_ = true;
  auto update = UpdateScope();
  if (!AValue)
    ClearSelection();
  else if (GetFocusedRowIndex() >= 0)
    ChangeRowSelection(GetFocusedRowIndex(), true);
  if (SummaryHasOption(soSelectedRecords) ||
      SummaryHasOption(soMultipleSelectedRecords))
    SummaryChanged(false);
}

Integer TcxCustomDataController::GetSelectedCount() const {
  if (IsFocusedSelectedMode())
    return focusedSelected_ && GetFocusedRowIndex() >= 0 ? 1 : 0;
  return info_->GetSelectedCount();
}

Integer TcxCustomDataController::GetSelectedRowIndex(Integer AIndex) const {
  if (IsFocusedSelectedMode())
    return AIndex == 0 && GetSelectedCount() == 1 ? GetFocusedRowIndex() : -1;
  if (AIndex < 0 || AIndex >= info_->GetSelectedCount()) return -1;
  return info_->GetSelectedRowIndex(AIndex);
}

bool TcxCustomDataController::IsRowSelected(Integer ARowIndex) const {
  if (IsFocusedSelectedMode())
    return focusedSelected_ && ARowIndex >= 0 &&
           ARowIndex == GetFocusedRowIndex();
  return info_->IsRowSelected(ARowIndex);
}

void TcxCustomDataController::ChangeRowSelection(Integer ARowIndex,
                                                 bool ASelect) {
  if (multiSelect_) info_->ChangeRowSelection(ARowIndex, ASelect);
}

void TcxCustomDataController::SelectRows(Integer AFromRowIndex,
                                         Integer AToRowIndex) {
  if (!multiSelect_) return;
  if (AFromRowIndex > AToRowIndex) std::swap(AFromRowIndex, AToRowIndex);
  auto update = UpdateScope();
  for (Integer r = AFromRowIndex; r <= AToRowIndex; ++r)
    ChangeRowSelection(r, true);
}

void TcxCustomDataController::SelectAll() {
  if (multiSelect_ && GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::SelectFromAnchor(Integer ARowIndex,
                                               bool AKeepSelection) {
  if (!multiSelect_ || !IsSelectionAnchorExist()) return;
  Integer anchor = GetSelectionAnchorRowIndex();
  auto update = UpdateScope();
  if (!AKeepSelection) ClearSelection();
  SelectRows(anchor, ARowIndex);
}

void TcxCustomDataController::SetSelectionAnchor(Integer ARowIndex) {
  info_->CheckRowIndex(ARowIndex);
  info_->Selection().AnchorRowIndex = ARowIndex;
}

void TcxCustomDataController::ClearSelectionAnchor() {
  info_->ClearSelectionAnchor();
}

Integer TcxCustomDataController::GetSelectionAnchorRowIndex() const {
  return info_->Selection().AnchorRowIndex;
}

bool TcxCustomDataController::FocusSelectedRow(Integer AIndex) {
  Integer row = GetSelectedRowIndex(AIndex);
  if (row < 0) return false;
  ChangeFocusedRowIndex(row);
  return GetFocusedRowIndex() == row;
}

void TcxCustomDataController::ClearSelection() { info_->ClearSelection(); }

void TcxCustomDataController::SyncSelected(bool AValue) {
  if (!IsFocusedSelectedMode() || focusedSelected_ == AValue) return;
  focusedSelected_ = AValue;
  if (GetFocusedRowIndex() >= 0) {
    prevSelectedCount_ = 1;
    prevSelectedRowIndex_ = GetFocusedRowIndex();
    Change({dccSelection});
  }
}

void TcxCustomDataController::SyncSelectionFocusedRecord() {
  if (!multiSelect_) return;
  auto update = UpdateScope();
  ClearSelection();
  if (GetFocusedRowIndex() >= 0) ChangeRowSelection(GetFocusedRowIndex(), true);
}

void TcxCustomDataController::CheckFocusedSelected() {
  SyncSelectionFocusedRecord();
}

void TcxCustomDataController::CheckSelectedCount(Integer ARecordIndex) {
  info_->TruncateSelection();
  CheckBookmarkValid(ARecordIndex);
}

void TcxCustomDataController::CorrectPrevSelectionChangedInfo() {
  if (prevSelectedCount_ <= 1) {
    prevSelectedCount_ = GetSelectedCount();
    prevSelectedRowIndex_ =
        prevSelectedCount_ == 1 ? GetSelectedRowIndex(0) : -1;
  }
}

// ---------------------------------------------------------------------------
// Incremental filter
// ---------------------------------------------------------------------------

Integer TcxCustomDataController::SetIncrementalFilter(Integer AItemIndex,
                                                      const String& AText) {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  incrementalFilterField_ = field;
  incrementalFilterText_ = AText;
  Refresh();
  return GetFilteredRecordIndex(0);
}

void TcxCustomDataController::ResetIncrementalFilter() {
  bool was = IsIncrementalFilter();
  incrementalFilterField_ = nullptr;
  incrementalFilterText_.clear();
  if (was && !destroying_) Refresh();
}

bool TcxCustomDataController::ChangeIncrementalFilterText(const String& AText) {
  if (!incrementalFilterField_ || AText == incrementalFilterText_) return false;
  SetIncrementalFilter(incrementalFilterField_->GetIndex(), AText);
  return true;
}

bool TcxCustomDataController::IsIncrementalFilter() const {
  return incrementalFilterField_ && !incrementalFilterText_.empty();
}

bool TcxCustomDataController::DoIncrementalFilterRecord(Integer ARecordIndex) {
  return DataCompareText(
      GetInternalDisplayText(ARecordIndex, incrementalFilterField_),
      incrementalFilterText_, true);
}

bool TcxCustomDataController::DoFilterRecord(Integer ARecordIndex) {
  bool accept = true;
  if (OnFilterRecord) OnFilterRecord(this, ARecordIndex, accept);
  return accept;
}

Integer TcxCustomDataController::FindRecordIndexByText(
    Integer AStartIndex, Integer AItemIndex, const String& AText,
    bool APartialCompare, bool AWrap, bool AForward) {
  CheckItemRange(AItemIndex);
  Integer n = GetFilteredRecordCount();
  if (AStartIndex < 0 || AStartIndex >= n) return -1;
  auto matches = [&](Integer i) {
    return DataCompareText(
        GetDisplayText(GetFilteredRecordIndex(i), AItemIndex), AText,
        APartialCompare);
  };
  Integer step = AForward ? 1 : -1;
  for (Integer i = AStartIndex; i >= 0 && i < n; i += step)
    if (matches(i)) return GetFilteredRecordIndex(i);
  if (AWrap && AStartIndex != 0) {
    if (AForward) {
      for (Integer i = 0; i < AStartIndex; ++i)
        if (matches(i)) return GetFilteredRecordIndex(i);
    } else {
      for (Integer i = n - 1; i > AStartIndex; --i)
        if (matches(i)) return GetFilteredRecordIndex(i);
    }
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Incremental search
// ---------------------------------------------------------------------------

Integer TcxDataControllerSearch::GetItemIndex() const {
  return dataController_->searchField_
             ? dataController_->searchField_->GetIndex()
             : -1;
}

void TcxDataControllerSearch::SetItemIndex(Integer AValue) {
  dataController_->searchField_ = dataController_->GetItemField(AValue);
}

bool TcxDataControllerSearch::Searching() const {
  return dataController_->searching_;
}

String TcxDataControllerSearch::SearchText() const {
  return dataController_->searchText_;
}

bool TcxDataControllerSearch::Locate(Integer AItemIndex, const String& AText) {
  TcxCustomDataController* dc = dataController_;
  if (AText.empty() || dc->GetFilteredRecordCount() == 0) return false;
  SetItemIndex(AItemIndex);
  if (dc->IsGridMode()) {
    if (!dc->DoSearchInGridMode(AText, true, false)) return false;
  } else {
    Integer start = 0;
    Integer focused = dc->GetFocusedRecordIndex();
    if (focused >= 0)
      start = std::max<Integer>(0, dc->GetFilteredIndexByRecordIndex(focused));
    Integer found = DoSearch(start, -1, true, AText);
    if (found < 0 && start > 0) found = DoSearch(0, start - 1, true, AText);
    if (found < 0) return false;
    DoFocusedRecord(found);
  }
  dc->searching_ = true;
  dc->searchText_ = AText;
  dc->Change({dccSearch});
  dc->CheckFocusedSelected();
  return true;
}

bool TcxDataControllerSearch::LocateNext(bool ADown) {
  TcxCustomDataController* dc = dataController_;
  if (!Searching() || SearchText().empty() || GetItemIndex() < 0 ||
      dc->GetFilteredRecordCount() == 0)
    return false;
  if (dc->IsGridMode())
    return dc->DoSearchInGridMode(SearchText(), ADown, true);
  Integer focused = dc->GetFocusedRecordIndex();
  if (focused < 0) return false;
  Integer index = dc->GetFilteredIndexByRecordIndex(focused);
  if (index < 0) return false;
  Integer start = ADown ? index + 1 : index - 1;
  if (start < 0 || start >= dc->GetFilteredRecordCount()) return false;
  Integer found = DoSearch(start, -1, ADown, SearchText());
  if (found < 0) return false;
  DoFocusedRecord(found);
  dc->CheckFocusedSelected();
  return true;
}

Integer TcxDataControllerSearch::DoSearch(Integer AStartIndex,
                                          Integer AEndIndex, bool ADown,
                                          const String& AText) {
  TcxCustomDataController* dc = dataController_;
  Integer item = GetItemIndex();
  if (AEndIndex == -1) AEndIndex = ADown ? dc->GetFilteredRecordCount() - 1 : 0;
  Integer step = ADown ? 1 : -1;
  for (Integer i = AStartIndex; ADown ? i <= AEndIndex : i >= AEndIndex;
       i += step) {
    Integer r = dc->GetFilteredRecordIndex(i);
    if (DataCompareText(dc->GetIncrementalSearchText(r, item), AText, true))
      return i;
  }
  return -1;
}

void TcxDataControllerSearch::DoFocusedRecord(Integer AFilteredIndex) {
  auto lock = MakeBracket(this, &TcxDataControllerSearch::Lock,
                          &TcxDataControllerSearch::Unlock);
  dataController_->ChangeFocusedRecordIndex(
      dataController_->GetFilteredRecordIndex(AFilteredIndex));
  dataController_->SyncSelectionFocusedRecord();
}

void TcxDataControllerSearch::Cancel() {
  TcxCustomDataController* dc = dataController_;
  if (locked_ || !dc->searching_) return;
  dc->searching_ = false;
  dc->searchText_.clear();
  dc->Change({dccSearch});
}

// ---------------------------------------------------------------------------
// Value readers
// ---------------------------------------------------------------------------

static TcxCustomDataField* FieldOfValueDef(TcxValueDef* AValueDef) {
  return dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject());
}

static TcxValueDef* MainValueDef(TcxValueDef* AValueDef) {
  if (auto* internal = dynamic_cast<TcxInternalValueDef*>(AValueDef))
    return internal->GetValueDef();
  return AValueDef;
}

void TcxValueDefUnboundReader::SetValue(TcxValueDef* AValueDef,
                                        const Variant& AValue) {
  auto it = std::find(defs_.begin(), defs_.end(), AValueDef);
  size_t index = it - defs_.begin();
  if (it == defs_.end()) defs_.push_back(AValueDef);
  if (values_.size() < defs_.size()) values_.resize(defs_.size());
  if (!values_[index]) values_[index] = std::make_unique<Variant>();
  *values_[index] = AValue;
}

Variant TcxValueDefUnboundReader::GetValue(TcxValueDef* AValueDef) {
  TcxValueDef* def = MainValueDef(AValueDef);
  auto it = std::find(defs_.begin(), defs_.end(), def);
  size_t index = it - defs_.begin();
  if (it == defs_.end() || index >= values_.size() || !values_[index])
    return Null();
  return *values_[index];
}

bool TcxValueDefUnboundReader::IsInternal(TcxValueDef* AValueDef) {
  TcxCustomDataField* f = FieldOfValueDef(AValueDef);
  return f && f->IsInternal();
}

void TcxValueDefUnboundReader::Truncate(Integer ACount) {
  if (ACount < 0) ACount = 0;
  if (static_cast<size_t>(ACount) < values_.size()) values_.resize(ACount);
}

String TcxValueDefRecordReader::GetDisplayText(TcxValueDef* AValueDef) {
  TcxCustomDataField* f = FieldOfValueDef(AValueDef);
  if (!f || f->IsInternal()) return String();
  return dataController_->GetInternalDisplayText(recordIndex_, f);
}

Variant TcxValueDefRecordReader::GetValue(TcxValueDef* AValueDef) {
  TcxCustomDataField* f = FieldOfValueDef(AValueDef);
  if (!f) return Null();
  return dataController_->GetInternalValue(recordIndex_, f);
}

bool TcxValueDefRecordReader::IsInternal(TcxValueDef* AValueDef) {
  TcxCustomDataField* f = FieldOfValueDef(AValueDef);
  return f && f->IsInternal();
}

// ---------------------------------------------------------------------------
// Key locate object
// ---------------------------------------------------------------------------

Integer TcxDataControllerKeyLocateObject::FindRecordIndex() {
  if (RecordIndex() == 0) return -1;
  return DataController()->FindRecordByFields(RecordIndex(), fields_);
}
