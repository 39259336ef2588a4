// The record engine behind the library's data-aware controls: data fields,
// the provider (unbound records, or an application's custom data source),
// the data controller with its update brackets and change records, the row
// list (filtering, sorting, grouping, focus, selection), incremental search
// and the editing state machine. Platform independent.
//
// Three numbers address data: a record index (position in the record
// storage; negative for internal records), a row index (position among the
// filtered, sorted and grouped rows; -1 = none) and an item index (position
// among the non-internal fields).
//
// Sorting never hands VarCompare to a sort: every comparison used for
// ordering is a strict weak order and ties are broken by record index, so
// the order is total and does not depend on the sort algorithm.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Classes.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxCustomDataSummary.h"
#include "cxDataStorage.h"
#include "cxDataUtils.h"
#include "cxFilter.h"

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

inline constexpr TcxResourceString cxSDataItemExistError{64880,
                                                         "Item already exists"};
inline constexpr TcxResourceString cxSDataRecordIndexError{
    64881, "RecordIndex out of range"};
inline constexpr TcxResourceString cxSDataItemIndexError{
    64882, "ItemIndex out of range"};
inline constexpr TcxResourceString cxSDataProviderModeError{
    64883, "This operation is not supported in provider mode"};
inline constexpr TcxResourceString cxSDataInvalidStreamFormat{
    64884, "Invalid stream format"};
inline constexpr TcxResourceString cxSDataCustomDataSourceInvalidCompare{
    64885, "GetInfoForCompare not implemented"};
inline constexpr TcxResourceString cxSDataRowIndexError{
    64886, "RowIndex out of range"};

VARNEL_EXCEPTION(EcxInvalidDataControllerOperation, Exception)

[[noreturn]] void InvalidOperation(const String& AMessage);

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

enum TcxDataChange { dcField, dcRecord, dcNew, dcDeleted, dcTotal };
enum TcxDataLayoutChange { lcStructure, lcData };
using TcxDataLayoutChanges = TSet<TcxDataLayoutChange>;
enum TcxDataControllerChange {
  dccLayout,
  dccData,
  dccFocus,
  dccSelection,
  dccDetail,
  dccSummary,
  dccSearch,
  dccSorting,
  dccGrouping,
  dccSyncMasterPos,
  dccBookmark,
  dccUpdateRecord
};
using TcxDataControllerChanges = TSet<TcxDataControllerChange>;
enum TcxDataControllerComparisonMode { dccmSorting, dccmGrouping, dccmOther };
enum TcxDataControllerEditKind { dceInsert, dceEdit, dceChanging, dceModified };
using TcxDataControllerEditState = TSet<TcxDataControllerEditKind>;
enum TcxDataControllerEditOperation {
  dceoAppend,
  dceoDelete,
  dceoEdit,
  dceoInsert,
  dceoShowEdit
};
using TcxDataControllerEditOperations = TSet<TcxDataControllerEditOperation>;
enum TcxDataSortOrder : Byte { soNone, soAscending, soDescending };
enum TcxDataControllerOption {
  dcoAnsiSort,
  dcoCaseInsensitive,
  dcoAssignGroupingValues,
  dcoAssignMasterDetailKeys,
  dcoSaveExpanding,
  dcoSortByDisplayText,
  dcoFocusTopRowAfterSorting,
  dcoGroupsAlwaysExpanded,
  dcoImmediatePost,
  dcoInsertOnNewItemRowFocusing
};
using TcxDataControllerOptions = TSet<TcxDataControllerOption>;
enum TcxDataControllerInfoChange {
  dcicLoad,
  dcicGrouping,
  dcicSorting,
  dcicFocusedRow,
  dcicView,
  dcicExpanding,
  dcicResetFocusedRow,
  dcicSelection,
  dcicSummary,
  dcicFocusedRecord
};
using TcxDataControllerInfoChanges = TSet<TcxDataControllerInfoChange>;

// No record is being edited. -1 cannot say so: it is a valid internal
// record index.
constexpr Integer cxNullEditingRecordIndex = -2147483647;

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataField;
class TcxCustomDataFieldList;
class TcxCustomDataProvider;
class TcxCustomDataSource;
class TcxDataFilterCriteria;
class TcxDataFilterList;

// ---------------------------------------------------------------------------
// Change records handed to the control (one per kind of change)
// ---------------------------------------------------------------------------

class TcxUpdateControlInfo : public TObject {
  VARNEL_CLASS(TcxUpdateControlInfo, TObject)
};

class TcxDataChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxDataChangedInfo, TcxUpdateControlInfo)
 public:
  TcxDataChangedInfo() = default;
  TcxDataChangedInfo(TcxDataChange AKind, Integer AItemIndex,
                     Integer ARecordIndex)
      : Kind(AKind), ItemIndex(AItemIndex), RecordIndex(ARecordIndex) {}
  TcxDataChange Kind = dcTotal;
  Integer ItemIndex = -1;
  Integer RecordIndex = -1;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxLayoutChangedInfo, TcxUpdateControlInfo)
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxUpdateRecordInfo, TcxUpdateControlInfo)
 public:
  TcxUpdateRecordInfo() = default;
  explicit TcxUpdateRecordInfo(Integer ARecordIndex)
      : RecordIndex(ARecordIndex) {}
  Integer RecordIndex = -1;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRowChangedInfo() = default;
  TcxFocusedRowChangedInfo(Integer APrevFocusedRowIndex,
                           Integer AFocusedRowIndex)
      : FocusedRowIndex(AFocusedRowIndex),
        PrevFocusedRowIndex(APrevFocusedRowIndex) {}
  Integer FocusedRowIndex = -1;
  Integer PrevFocusedRowIndex = -1;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
 public:
  TcxFocusedRecordChangedInfo() = default;
  TcxFocusedRecordChangedInfo(Integer APrevFocusedRecordIndex,
                              Integer AFocusedRecordIndex,
                              Integer APrevFocusedRowIndex,
                              Integer AFocusedRowIndex,
                              bool ANewItemRowFocusingChanged)
      : PrevFocusedRecordIndex(APrevFocusedRecordIndex),
        FocusedRecordIndex(AFocusedRecordIndex),
        FocusedRowIndex(AFocusedRowIndex),
        PrevFocusedRowIndex(APrevFocusedRowIndex),
        NewItemRowFocusingChanged(ANewItemRowFocusingChanged) {}
  Integer PrevFocusedRecordIndex = -1;
  Integer FocusedRecordIndex = -1;
  Integer FocusedRowIndex = -1;
  Integer PrevFocusedRowIndex = -1;
  bool NewItemRowFocusingChanged = false;
};

class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxSelectionChangedInfo, TcxUpdateControlInfo)
 public:
  TcxSelectionChangedInfo() = default;
  // Names ARowIndex1 unless it is -1, and ARowIndex2 unless it is -1 or the
  // same row.
  TcxSelectionChangedInfo(Integer ARowIndex1, Integer ARowIndex2);
  Integer Count() const { return static_cast<Integer>(rows_.size()); }
  Integer RowIndexes(Integer AIndex) const { return rows_.at(AIndex); }

 private:
  std::vector<Integer> rows_;
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxSearchChangedInfo, TcxUpdateControlInfo)
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
  VARNEL_CLASS(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
};

// ---------------------------------------------------------------------------
// Data fields
// ---------------------------------------------------------------------------

// One per item of the control, plus internal fields (the record-handle field
// of provider mode). Owns the field's value definition in the storage.
class TcxCustomDataField : public TObject {
  VARNEL_CLASS(TcxCustomDataField, TObject)
 public:
  explicit TcxCustomDataField(TcxCustomDataFieldList* AFieldList = nullptr);
  ~TcxCustomDataField() override;
  void BeforeDestruction() override;

  virtual bool CanModify(TcxDataEditValueSource AEditValueSource) const;
  virtual bool IsUnbound() const { return false; }
  virtual bool IsValueDefInternal() const { return isInternal_; }
  // A component the field may refer to is being freed.
  virtual void RemoveNotification(TComponent*) {}

  TcxCustomDataController* GetDataController() const;
  TcxCustomDataFieldList* FieldList() const { return fieldList_; }
  Integer GetIndex() const;
  bool IsInternal() const { return isInternal_; }
  void SetIsInternal(bool AValue);
  TObject* Item() const { return item_; }
  void SetItem(TObject* AItem) { item_ = AItem; }
  bool NeedConversion() const { return needConversion_; }
  void SetNeedConversion(bool AValue) { needConversion_ = AValue; }

  // A referencing field has none of these itself: they are those of the end
  // of its reference chain, and its setters are ignored.
  TcxValueTypeClass GetValueTypeClass() const {
    return DataOwner()->valueTypeClass_;
  }
  void SetValueTypeClass(TcxValueTypeClass AValue);
  bool GetTextStored() const { return DataOwner()->textStored_; }
  void SetTextStored(bool AValue);
  TcxValueDef* GetValueDef() const { return DataOwner()->valueDef_; }

  // Referenced fields (cxCustomDataProvider.cpp): this field shows the data
  // of another one. A reference that would lead back to this field is
  // refused (the reference stays as it was).
  TcxCustomDataField* ReferenceField() const { return referenceField_; }
  void SetReferenceField(TcxCustomDataField* AValue);
  // Takes over ASource's value definition and value type (ASource keeps
  // neither) and drops this field's own reference.
  virtual void Reassign(TcxCustomDataField* ASource);

  // 0 = not decided, -1 = native compare, 1 = converted values, 2 = display
  // texts. Set while the row list sorts.
  Integer CompareConversion = 0;

 private:
  friend class TcxCustomDataFieldList;
  friend class TcxCustomDataController;
  void BeginRecreateData();
  void EndRecreateData();
  void CreateData();
  void ClearData();
  // The end of the reference chain (the field itself without a reference).
  const TcxCustomDataField* DataOwner() const {
    const TcxCustomDataField* f = this;
    while (f->referenceField_) f = f->referenceField_;
    return f;
  }

  TcxCustomDataFieldList* fieldList_ = nullptr;
  TcxCustomDataField* referenceField_ = nullptr;
  bool isInternal_ = false;
  TObject* item_ = nullptr;
  Integer recreateLock_ = 0;
  bool needConversion_ = false;
  bool prepared_ = false;
  bool textStored_ = false;
  TcxValueDef* valueDef_ = nullptr;  // owned by the storage's definitions
  TcxValueTypeClass valueTypeClass_ = nullptr;
};

// Non-internal fields first (their position is the item index), internal
// fields after them. Owns its fields.
class TcxCustomDataFieldList : public TObject {
  VARNEL_CLASS(TcxCustomDataFieldList, TObject)
 public:
  explicit TcxCustomDataFieldList(
      TcxCustomDataController* ADataController = nullptr);
  ~TcxCustomDataFieldList() override;

  // The list owns AField from now on; it is lent back.
  TcxCustomDataField* Add(TObjectPtr<TcxCustomDataField> AField);
  // Frees AField.
  void Delete(TcxCustomDataField* AField);
  void Clear();
  TcxCustomDataField* FieldByItem(TObject* AItem) const;
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  TcxCustomDataField* GetItem(Integer AIndex) const {
    return items_.at(AIndex).get();
  }
  Integer GetItemCount() const { return GetCount() - internalCount_; }
  Integer IndexOf(const TcxCustomDataField* AField) const;
  void Move(TcxCustomDataField* AField, Integer ANewIndex);
  TcxCustomDataController* DataController() const { return dataController_; }
  void Update();
  void RemoveNotification(TComponent* AComponent);

 private:
  // Hands AField's data to the fields that refer to it, before it goes.
  void ReassignFields(TcxCustomDataField* AField);
  TcxCustomDataController* dataController_;
  std::vector<TObjectPtr<TcxCustomDataField>> items_;
  Integer internalCount_ = 0;
};

// ---------------------------------------------------------------------------
// Custom data source (provider mode)
// ---------------------------------------------------------------------------

using TcxDataRecordHandle = void*;
using TcxDataItemHandle = void*;

// An application derives from it to serve records itself. Record handles
// are opaque; item handles default to the item index.
class TcxCustomDataSource : public TObject {
  VARNEL_CLASS(TcxCustomDataSource, TObject)
 public:
  TcxCustomDataSource() = default;
  ~TcxCustomDataSource() override;

  virtual TcxDataRecordHandle AppendRecord();
  virtual void CustomSort() {}
  virtual void DeleteRecord(TcxDataRecordHandle) {}
  virtual String GetDisplayText(TcxDataRecordHandle ARecordHandle,
                                TcxDataItemHandle AItemHandle);
  virtual TcxDataItemHandle GetItemHandle(Integer AItemIndex);
  virtual Integer GetRecordCount() { return 0; }
  virtual Variant GetRecordId(TcxDataRecordHandle) { return Null(); }
  virtual TcxDataRecordHandle GetRecordHandle(Integer ARecordIndex);
  virtual Variant GetValue(TcxDataRecordHandle, TcxDataItemHandle) {
    return Null();
  }
  virtual TcxDataRecordHandle InsertRecord(TcxDataRecordHandle) {
    return AppendRecord();
  }
  virtual bool IsCustomSorting() { return false; }
  virtual bool IsRecordIdSupported() { return false; }
  virtual void SetRecordCount(Integer) {}
  virtual void SetValue(TcxDataRecordHandle, TcxDataItemHandle,
                        const Variant&) {}
  // The application calls it after changing its data: reloads the records
  // and ends any edit.
  virtual void DataChanged();

  // Native comparison (cxCustomDataProvider.cpp). With IsNativeCompare the
  // controller compares the source's own values: GetInfoForCompare answers
  // whether the record has a value and points APValue at it in the form
  // the field's value type compares (the number itself, a String, a
  // Variant ...), valid until the next call. A source that answers
  // IsNativeCompare must override it. With IsNativeCompareFunc the source
  // orders two records itself.
  virtual bool IsNativeCompare() { return false; }
  virtual bool IsNativeCompareFunc() { return false; }
  virtual bool GetInfoForCompare(TcxDataRecordHandle ARecordHandle,
                                 TcxDataItemHandle AItemHandle,
                                 const void*& APValue);
  virtual Integer NativeCompareFunc(TcxDataRecordHandle, TcxDataRecordHandle,
                                    TcxDataItemHandle) {
    return 0;
  }

  TcxCustomDataProvider* CurrentProvider() const { return provider_; }
  TcxCustomDataController* GetDataController() const;

 private:
  friend class TcxCustomDataProvider;
  friend class TcxCustomDataController;
  TcxCustomDataProvider* provider_ = nullptr;
};

// ---------------------------------------------------------------------------
// Provider: where records come from, and the edit state
// ---------------------------------------------------------------------------

class TcxCustomDataProvider : public TObject {
  VARNEL_CLASS(TcxCustomDataProvider, TObject)
 public:
  explicit TcxCustomDataProvider(
      TcxCustomDataController* ADataController = nullptr);
  ~TcxCustomDataProvider() override;

  TcxCustomDataController* DataController() const { return dataController_; }
  TcxCustomDataSource* CustomDataSource() const { return dataSource_; }
  void SetCustomDataSource(TcxCustomDataSource* AValue);

  virtual bool IsCustomDataSourceSupported() const { return true; }
  virtual bool IsGridMode() const { return false; }
  virtual bool IsDataSource() const { return false; }
  virtual bool IsSyncMode() const { return false; }
  // The outside record set is being updated, or is open.
  virtual bool IsGridModeUpdating() const { return false; }
  virtual bool IsActiveDataSet() const { return false; }
  virtual bool IsActive() const { return dataSource_ != nullptr; }
  virtual bool IsUnboundColumnMode() const { return !CanModify(); }
  virtual bool CanModify() const { return true; }
  virtual bool CanAppend() const { return CanModify(); }
  virtual bool CanInsert() const { return CanModify(); }
  virtual bool CanDelete() const;
  bool IsCustomSorting();

  // Edit state.
  bool IsEditing() const {
    return editingRecordIndex_ != cxNullEditingRecordIndex;
  }
  bool IsInserting() const { return IsEditing() && inserting_; }
  bool IsChanging() const { return changing_; }
  bool IsModified() const { return modified_; }
  Integer EditingRecordIndex() const { return editingRecordIndex_; }
  Integer EditingPrevRecordIndex() const { return prevRecordIndex_; }
  Integer EditingNextRecordIndex() const { return nextRecordIndex_; }
  Integer SavedRecordIndex() const { return savedRecordIndex_; }
  Integer InsertedRecordIndex() const { return insertedRecordIndex_; }
  void SetInsertedRecordIndex(Integer AValue) { insertedRecordIndex_ = AValue; }
  bool DataChangedLocked() const { return dataChangedLocked_; }
  Integer LocateCount() const { return locateCount_; }
  Integer LockCount() const { return lockCount_; }

  virtual void Edit();
  virtual void Insert() { InsertingRecord(false); }
  virtual void Append() { InsertingRecord(true); }
  virtual void Post();
  virtual void Cancel();
  virtual void Delete();
  virtual void DeleteRecords(const std::vector<Integer>& AList);
  virtual void DeleteSelection();
  virtual Variant GetEditValue(Integer AItemIndex);
  virtual bool SetEditValue(Integer AItemIndex, const Variant& AValue,
                            TcxDataEditValueSource AEditValueSource);
  virtual bool CanInitEditing(Integer ARecordIndex);
  virtual void PostEditingData();
  virtual void DoUpdateData();
  virtual void BeginDeleting();
  virtual void EndDeleting();
  void ResetEditing();
  void ResetChanging() { changing_ = false; }
  void SetChanging() { changing_ = true; }
  void ResetModified() { modified_ = false; }
  void SetModified() { modified_ = true; }
  // Forgets the editing record without touching the storage (the record is
  // being deleted).
  void ForgetEditingRecord();

  void BeginLocate() { ++locateCount_; }
  void EndLocate() { --locateCount_; }
  void Freeze() { ++lockCount_; }
  void Unfreeze() { --lockCount_; }

  // Record access through the data source (provider mode).
  Integer AppendRecord();
  Integer InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  Variant GetValue(Integer ARecordIndex, TcxCustomDataField* AField);
  String GetDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  void SetValue(Integer ARecordIndex, TcxCustomDataField* AField,
                const Variant& AValue);
  Variant GetRecordId(Integer ARecordIndex);
  bool IsRecordIdSupported();
  void SetRecordCount(Integer ACount);
  void LoadRecordHandles();
  TcxDataRecordHandle GetRecordHandleByIndex(Integer ARecordIndex);
  Integer GetRecordIndexByHandle(TcxDataRecordHandle AHandle);

  // Notifications from the data source.
  void DataChanged(TcxDataChange ADataChange, Integer AItemIndex,
                   Integer ARecordIndex);

  // Grid mode and loading (cxCustomDataProvider.cpp). A provider in grid
  // mode works on a window of an outside record set: navigation moves the
  // set, LoadDataBuffer lays the window into the storage and the values of
  // data fields come from GetExternalDataValue. Loading outside grid mode
  // walks the set from First to EOF and reads each record through a reader
  // from CreateValueDefReader. The plain provider has no set: it is at BOF
  // and EOF and moves nowhere.
  virtual bool IsBOF() const { return true; }
  virtual bool IsEOF() const { return true; }
  virtual void First() {}
  virtual void Prev() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(Integer) {}
  virtual void Scroll(Integer) {}
  virtual void SavePos() {}
  virtual void RestorePos() {}
  virtual void LoadDataBuffer() {}
  virtual Variant GetExternalDataValue(Integer, TcxCustomDataField*) {
    return Null();
  }
  virtual String GetExternalDataDisplayText(Integer, TcxCustomDataField*) {
    return String();
  }
  virtual TObjectPtr<TcxValueDefReader> CreateValueDefReader();
  // Appends a storage record for a record of the data source.
  Integer AddRecordHandle(TcxDataRecordHandle AHandle);

  // Native comparison of a field's values; records 0 or more come from the
  // data source, internal records from the storage. In sorting and
  // grouping (AMode other than dccmOther) Variant values compare in the
  // strict order of cxSortCompareVariants.
  bool IsNativeCompare();
  bool IsNativeCompareFunc();
  Integer NativeCompare(Integer ARecordIndex1, Integer ARecordIndex2,
                        TcxCustomDataField* AField,
                        TcxDataControllerComparisonMode AMode = dccmOther);
  Integer NativeCompareFunc(Integer ARecordIndex1, Integer ARecordIndex2,
                            TcxCustomDataField* AField);

 protected:
  void InsertingRecord(bool AIsAppending);
  void EditingRecord();

 private:
  friend class TcxCustomDataController;
  friend class TcxCustomDataSource;
  TcxDataItemHandle ItemHandle(TcxCustomDataField* AField);
  void SetRecordHandle(Integer ARecordIndex, TcxDataRecordHandle AHandle);

  TcxCustomDataController* dataController_;
  TcxCustomDataSource* dataSource_ = nullptr;
  bool changing_ = false;
  bool dataChangedLocked_ = false;
  Integer editingRecordIndex_ = cxNullEditingRecordIndex;
  Integer prevRecordIndex_ = -1;  // the record before the edited row
  Integer nextRecordIndex_ = -1;  // the record after the edited row
  Integer insertedRecordIndex_ = -1;
  bool inUpdateData_ = false;
  Integer locateCount_ = 0;
  Integer lockCount_ = 0;
  bool modified_ = false;
  Integer savedRecordIndex_ = 0;  // internal record with the values before
                                  // the edit; 0 = none
  bool inInserting_ = false;
  bool inserting_ = false;
};

// ---------------------------------------------------------------------------
// Sorting and grouping field lists
// ---------------------------------------------------------------------------

struct TcxDataSortInfo {
  TcxCustomDataField* Field = nullptr;
  TcxDataSortOrder SortOrder = soNone;
};

class TcxSortingFieldList : public TObject {
  VARNEL_CLASS(TcxSortingFieldList, TObject)
 public:
  TcxSortingFieldList() = default;

  void Add(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void Insert(Integer AIndex, TcxCustomDataField* AField,
              TcxDataSortOrder ASortOrder);
  void Delete(Integer AIndex);
  void Move(Integer ACurIndex, Integer ANewIndex);
  void Remove(TcxCustomDataField* AField);
  void SetSortOrder(Integer AIndex, TcxDataSortOrder ASortOrder);
  void Clear();
  Integer Find(const TcxCustomDataField* AField) const;
  Integer SortIndexByField(const TcxCustomDataField* AField) const {
    return Find(AField);
  }
  TcxDataSortOrder SortOrderByField(const TcxCustomDataField* AField) const;
  void CheckField(const TcxCustomDataField* AField);
  void AppendFrom(const TcxSortingFieldList& AList);
  virtual void ChangeSorting(TcxCustomDataField* AField,
                             TcxDataSortOrder ASortOrder);
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  const TcxDataSortInfo& Items(Integer AIndex) const {
    return items_.at(AIndex);
  }

  std::function<void()> OnChanged;

 protected:
  void Changed() {
    if (OnChanged) OnChanged();
  }

 private:
  std::vector<TcxDataSortInfo> items_;
};

class TcxGroupingFieldList : public TcxSortingFieldList {
  VARNEL_CLASS(TcxGroupingFieldList, TcxSortingFieldList)
 public:
  void ChangeSorting(TcxCustomDataField* AField,
                     TcxDataSortOrder ASortOrder) override;
  void ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex);
  Integer GroupIndexByField(const TcxCustomDataField* AField) const {
    return Find(AField);
  }
  void UpdateSorting(const TcxSortingFieldList& ASortingList);
};

// ---------------------------------------------------------------------------
// Group tree and selection
// ---------------------------------------------------------------------------

struct TcxRowInfo {
  bool Expanded = false;
  Integer Level = 0;
  Integer RecordIndex = -1;
};

struct TcxDataGroupInfo {
  Integer RowIndex = 0;
  bool Expanded = false;
  Integer Level = 0;
  // Deepest group: first and last record list positions of its records.
  // Other groups: item indexes of its first child and of the last item of
  // its subtree.
  Integer BeginIndex = 0;
  Integer EndIndex = 0;
};

// The groups in pre-order (each group followed by its subtree).
class TcxDataGroups : public TObject {
  VARNEL_CLASS(TcxDataGroups, TObject)
 public:
  TcxDataGroups() = default;

  void AddField(TcxCustomDataField* AField) { fields_.push_back(AField); }
  Integer GetFieldCount() const { return static_cast<Integer>(fields_.size()); }
  TcxCustomDataField* GetField(Integer AIndex) const {
    return fields_.at(AIndex);
  }
  TcxDataGroupInfo& AddEmpty();
  void Reserve(Integer ACount) { items_.reserve(ACount); }
  Integer GetItemCount() const { return static_cast<Integer>(items_.size()); }
  TcxDataGroupInfo& GetItem(Integer AIndex) { return items_.at(AIndex); }
  const TcxDataGroupInfo& GetItem(Integer AIndex) const {
    return items_.at(AIndex);
  }
  void Clear();

  Integer GetLevel(Integer AIndex) const;
  bool IsDeepest(Integer AIndex) const {
    return GetLevel(AIndex) == GetFieldCount() - 1;
  }
  Integer GetParentIndex(Integer AIndex) const;
  Integer GetFirstLevelCount() const;
  Integer GetFirstLevelIndex(Integer AN) const;
  Integer GetChildCount(Integer AIndex) const;
  Integer GetChildIndex(Integer AIndex, Integer AN) const;
  Integer GetChildRecordListIndex(Integer AIndex, Integer AN) const;
  Integer GetDataRecordListIndex(Integer AIndex) const;
  // Index of the item shown at ARowIndex, or -1 with AGroup = the group
  // whose data rows include ARowIndex.
  Integer Find(Integer ARowIndex, Integer& AGroup) const;
  void GetTopVisibleItem(Integer ARowIndex, Integer& AIndex) const;
  Integer GetIndexByRowIndex(Integer ARowIndex) const {
    return GetIndexByRowIndexLevel(ARowIndex, -1);
  }
  Integer GetIndexByRowIndexLevel(Integer ARowIndex, Integer ALevel) const;
  // The deepest group whose record range holds AListIndex, or -1.
  Integer FindDataGroup(Integer AListIndex) const;
  Integer FindByIndex(Integer AListIndex, Integer ALevel) const;
  bool IsVisible(Integer AIndex) const;
  bool MakeVisible(Integer AIndex, bool AExpandSelf);
  void ChangeExpanding(Integer ARowIndex, bool AExpand, bool ARecursive);
  void FullExpanding(bool AExpand);
  Integer GetRowCount() const;
  // Record list position in RecordIndex.
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  void Rebuild();

 private:
  std::vector<TcxCustomDataField*> fields_;
  std::vector<TcxDataGroupInfo> items_;
};

struct TcxDataSelectionInfo {
  Integer Level = 0;        // -1 for a group row
  Integer RecordIndex = 0;  // record of a data row; group index of a group row
  Integer RowIndex = 0;
};

// Selected rows, ordered by row index.
class TcxDataSelection : public TObject {
  VARNEL_CLASS(TcxDataSelection, TObject)
 public:
  explicit TcxDataSelection(TcxCustomDataController* ADataController = nullptr)
      : dataController_(ADataController) {}

  void Add(Integer AIndex, Integer ARowIndex, Integer ALevel,
           Integer ARecordIndex);
  void Delete(Integer AIndex);
  void Clear();
  void ClearAll();
  void ClearAnchor() { AnchorRowIndex = -1; }
  TcxCustomDataController* DataController() const { return dataController_; }
  bool FindByRowIndex(Integer ARowIndex, Integer& AIndex) const;
  Integer FindByGroupIndex(Integer AGroupIndex) const;
  Integer FindByRecordIndex(Integer ARecordIndex) const;
  bool IsRowSelected(Integer ARowIndex) const;
  bool IsRecordSelected(Integer ARecordIndex) const {
    return FindByRecordIndex(ARecordIndex) != -1;
  }
  void Sort();
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxDataSelectionInfo& Items(Integer AIndex) { return items_.at(AIndex); }
  const TcxDataSelectionInfo& Items(Integer AIndex) const {
    return items_.at(AIndex);
  }
  // Drops entries without firing (used while renumbering).
  void InternalDelete(Integer AIndex);
  // Drops every entry APred accepts, without firing; keeps the anchor only
  // while an entry still has its row.
  void InternalDeleteIf(
      const std::function<bool(const TcxDataSelectionInfo&)>& APred);

  Integer AnchorRowIndex = -1;
  std::function<void()> OnChanged;

 private:
  void Changed() {
    if (OnChanged) OnChanged();
  }
  TcxCustomDataController* dataController_;
  std::vector<TcxDataSelectionInfo> items_;
};

// Expanded and selected groups saved across a regrouping: one entry per
// group, by level and group value.
enum TcxDataExpandingInfoState { eisExpanded, eisSelected };
using TcxDataExpandingInfoStates = TSet<TcxDataExpandingInfoState>;

struct TcxDataExpandingInfo {
  Integer Level = 0;
  Variant Value;
  TcxDataExpandingInfoStates State;
};

class TcxDataExpandingInfos : public TObject {
  VARNEL_CLASS(TcxDataExpandingInfos, TObject)
 public:
  TcxDataExpandingInfos() = default;
  // Raises "Item already exists" for a field already present.
  void AddField(TcxCustomDataField* AField);
  void AddItem(Integer ALevel, const Variant& AValue,
               TcxDataExpandingInfoStates AState);
  // Forgets everything when AField is one of the fields.
  void CheckField(const TcxCustomDataField* AField);
  void Clear();
  void ClearFields();
  void ClearValues() { items_.clear(); }
  Integer Find(const TcxCustomDataField* AField) const;
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  const TcxDataExpandingInfo& Items(Integer AIndex) const {
    return items_.at(AIndex);
  }
  Integer FieldCount() const { return static_cast<Integer>(fields_.size()); }
  TcxCustomDataField* Fields(Integer AIndex) const {
    return fields_.at(AIndex);
  }
  bool Empty() const { return items_.empty() || fields_.empty(); }

  TcxDataExpandingInfoStates SaveStates;

 private:
  std::vector<TcxCustomDataField*> fields_;
  std::vector<TcxDataExpandingInfo> items_;
};

// ---------------------------------------------------------------------------
// Row list
// ---------------------------------------------------------------------------

class TcxDataFocusingInfo : public TObject {
  VARNEL_CLASS(TcxDataFocusingInfo, TObject)
 public:
  explicit TcxDataFocusingInfo(TcxCustomDataControllerInfo* AOwner = nullptr)
      : owner_(AOwner) {}
  void Clear();
  void Assign(const TcxDataFocusingInfo& ASource);
  bool IsEqual(const TcxDataFocusingInfo& AOther) const;
  void ResetPos();
  void SavePos();

  bool Changed = false;
  Integer Level = -1;
  Integer PrevRecordIndex = -1;
  Integer RecordIndex = -1;
  Integer RowIndex = -1;

 private:
  TcxCustomDataControllerInfo* owner_;
};

// Filters, sorts, groups, focuses and selects the controller's records.
// Changes are collected and applied in one update pass.
class TcxCustomDataControllerInfo : public TObject {
  VARNEL_CLASS(TcxCustomDataControllerInfo, TObject)
 public:
  explicit TcxCustomDataControllerInfo(
      TcxCustomDataController* ADataController = nullptr);
  ~TcxCustomDataControllerInfo() override;

  TcxCustomDataController* DataController() const { return dataController_; }
  TcxDataGroups& DataGroups() { return groups_; }
  TcxDataSelection& Selection() { return *selection_; }
  TcxSortingFieldList& SortingFieldList() { return sortingFields_; }
  TcxGroupingFieldList& GroupingFieldList() { return groupingFields_; }
  TcxSortingFieldList& TotalSortingFieldList() { return totalSortingFields_; }
  TcxDataFocusingInfo& FocusingInfo() { return focusingInfo_; }
  TcxDataFocusingInfo& PrevFocusingInfo() { return prevFocusingInfo_; }
  TcxDataControllerInfoChanges Changes() const { return changes_; }
  Integer LockCount() const { return lockCount_; }
  bool InfoCalculation() const { return infoCalculation_; }
  bool InCanFocusedRowChanging() const { return inCanFocusedRowChanging_; }
  bool Focusing() const { return focusing_; }

  // Rows.
  Integer GetRowCount() const;
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetInternalRecordCount() const {
    return static_cast<Integer>(recordList_.size());
  }
  Integer GetInternalRecordIndex(Integer AListIndex) const {
    return recordList_.at(AListIndex);
  }
  Integer GetInternalRecordListIndex(Integer ARecordIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  Integer GetNearestRowIndex(Integer ARowIndex) const;
  bool IsGrouped() const { return groups_.GetItemCount() > 0; }
  bool IsAlwaysExpanded() const;
  void CheckRowIndex(Integer ARowIndex) const;

  // Change entry points.
  void BeginUpdate() { ++lockCount_; }
  void EndUpdate();
  void Refresh();
  void RefreshFocused();
  void RefreshSummary(bool AOnlyView);
  void FocusedRecordChanged(bool ANewItemRowChanged);
  void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder AOrder);
  void ChangeSortIndex(TcxCustomDataField* AField, Integer AIndex);
  void ClearSorting(bool AKeepGroupedItems);
  void ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex);
  void ClearGrouping() {
    groupingFields_.Clear();
    CheckChanges();
  }
  void RemoveField(TcxCustomDataField* AField);
  void UpdateField(TcxCustomDataField* AField);

  // Expanding and selection.
  void ChangeExpanding(Integer ARowIndex, bool AExpand, bool ARecursive);
  void FullExpand();
  void FullCollapse();
  Integer LocateGroupByLevel(Integer AGroupIndex, Integer ALevel);
  Integer LocateDetail(Integer AGroupIndex, Integer AListIndex,
                       bool AMakeVisible);
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  void ClearSelection() { selection_->Clear(); }
  void ClearSelectionAnchor() { selection_->ClearAnchor(); }
  Integer GetSelectedCount() const { return selection_->Count(); }
  Integer GetSelectedRowIndex(Integer AIndex) const {
    return selection_->Items(AIndex).RowIndex;
  }
  bool IsRowSelected(Integer ARowIndex) const;
  virtual void TruncateSelection();
  // A record was inserted (ADelta 1) or deleted (-1) at ARecordIndex.
  void ShiftSelectedRecords(Integer ARecordIndex, Integer ADelta);
  void RecalcSelection();

  // Focus.
  Integer GetFocusedRowIndex() const { return focusingInfo_.RowIndex; }
  Integer GetFocusedRecordIndex() const;
  Integer GetPrevFocusedRowIndex() const { return prevFocusingInfo_.RowIndex; }
  Integer GetPrevFocusedRecordIndex() const {
    return prevFocusingInfo_.PrevRecordIndex;
  }
  bool GetNewItemRowFocusingChanged() const {
    return prevFocusingInfo_.Changed;
  }
  void SetFocusedRowIndex(Integer ARowIndex);
  void CorrectFocusedRow(Integer ARowIndex);
  bool CanFocusedRowChanging(Integer ARowIndex);
  Integer FindFocusedRow(bool AKeepCollapsed);

  // Record comparison used by sorting and grouping.
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2);
  Integer CompareGroupRecords(Integer ARecordIndex1, Integer ARecordIndex2,
                              Integer ALevel);
  // The first record list position whose group values on levels
  // 0 .. ALevel - 1 equal those of ARecordIndex, or -1.
  Integer FindGroupRecordListIndex(Integer ARecordIndex, Integer ALevel);
  void PrepareSorting();
  void UnprepareSorting();
  // Orders sibling groups by ALess over data group indexes (stable); the
  // result maps each new data group index to its old one.
  std::vector<Integer> ReorderGroups(
      const std::function<bool(Integer, Integer)>& ALess);

  virtual void Update();

 protected:
  void CheckChanges();
  void DoLoad();
  void DoFilter();
  void DoSort();
  void DoGrouping();
  void ResetFocusing();
  void CheckInfo();
  void CheckExpanding();
  void CheckFocusing();
  void CheckAfterCollapsing();
  void DoChangeFocusedRow(Integer ARowIndex, bool AForced);
  void ForwardChanges();
  void MarkExpandingChanged();
  // Saved expanded and selected groups (cxCustomDataGroups.cpp).
  void SaveInfo();
  void SaveExpanding(TcxDataExpandingInfoStates AStates);
  void RestoreGroupStates();
  void RenumberSelection();
  Integer SelectedGroupRow(Integer AGroupIndex) const;
  std::vector<Integer> ListPositions() const;
  void CacheGroupValues();
  std::optional<Variant> SavedGroupValue(Integer AGroupIndex);
  template <class Visit>
  void ForEachSavedGroup(bool AVisitCollapsed, Visit AVisit);

 private:
  TcxCustomDataController* dataController_;
  TcxDataControllerInfoChanges changes_;
  TcxDataGroups groups_;
  bool expanding_ = false;
  bool focusing_ = false;
  TcxDataFocusingInfo focusingInfo_;
  TcxGroupingFieldList groupingFields_;
  bool inCanFocusedRowChanging_ = false;
  bool infoCalculation_ = false;
  Integer lockCount_ = 0;
  TcxDataFocusingInfo prevFocusingInfo_;
  std::vector<Integer> recordList_;
  TObjectPtr<TcxDataSelection> selection_;
  TcxSortingFieldList sortingFields_;
  TcxSortingFieldList totalSortingFields_;
  TcxDataExpandingInfos expandingInfos_;
  // By group index, the values of groups shown expanded or selected, taken
  // while the tree and the values agreed; cleared by regrouping.
  std::vector<std::pair<Integer, Variant>> groupValues_;
  bool selectionReset_ = false;
};

// ---------------------------------------------------------------------------
// Incremental search, value readers, locate objects
// ---------------------------------------------------------------------------

class TcxDataControllerSearch : public TObject {
  VARNEL_CLASS(TcxDataControllerSearch, TObject)
 public:
  explicit TcxDataControllerSearch(
      TcxCustomDataController* ADataController = nullptr)
      : dataController_(ADataController) {}

  virtual bool Locate(Integer AItemIndex, const String& AText);
  virtual bool LocateNext(bool ADown);
  virtual void Cancel();
  void Lock() { locked_ = true; }
  void Unlock() { locked_ = false; }
  Integer GetItemIndex() const;
  void SetItemIndex(Integer AValue);
  bool Searching() const;
  String SearchText() const;

 protected:
  virtual void DoFocusedRecord(Integer AFilteredIndex);
  virtual Integer DoSearch(Integer AStartIndex, Integer AEndIndex, bool ADown,
                           const String& AText);

 private:
  TcxCustomDataController* dataController_;
  bool locked_ = false;
};

// Feeds a set of values into a storage record.
class TcxValueDefUnboundReader : public TcxValueDefReader {
  VARNEL_CLASS(TcxValueDefUnboundReader, TcxValueDefReader)
 public:
  TcxValueDefUnboundReader() = default;
  Variant GetValue(TcxValueDef* AValueDef) override;
  bool IsInternal(TcxValueDef* AValueDef) override;
  void SetValue(TcxValueDef* AValueDef, const Variant& AValue);
  void Truncate(Integer ACount);
  void Clear() { Truncate(0); }

 private:
  std::vector<TcxValueDef*> defs_;
  std::vector<std::unique_ptr<Variant>> values_;
};

// Reads one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
  VARNEL_CLASS(TcxValueDefRecordReader, TcxValueDefReader)
 public:
  TcxValueDefRecordReader(TcxCustomDataController* ADataController = nullptr,
                          Integer ARecordIndex = -1)
      : dataController_(ADataController), recordIndex_(ARecordIndex) {}
  String GetDisplayText(TcxValueDef* AValueDef) override;
  Variant GetValue(TcxValueDef* AValueDef) override;
  bool IsInternal(TcxValueDef* AValueDef) override;

 private:
  TcxCustomDataController* dataController_;
  Integer recordIndex_;
};

// Holds a set of values in an internal record of the storage and finds a
// record with equal values.
class TcxDataControllerLocateObject : public TObject {
  VARNEL_CLASS(TcxDataControllerLocateObject, TObject)
 public:
  explicit TcxDataControllerLocateObject(
      TcxCustomDataController* ADataController = nullptr)
      : dataController_(ADataController) {}
  ~TcxDataControllerLocateObject() override;
  virtual void Clear();
  void ReadData(TcxValueDefReader* AReader);
  // -1 before ReadData or when no record matches.
  virtual Integer FindRecordIndex() = 0;
  TcxCustomDataController* DataController() const { return dataController_; }
  // 0 = no internal record yet.
  Integer RecordIndex() const { return recordIndex_; }

 private:
  TcxCustomDataController* dataController_;
  Integer recordIndex_ = 0;
};

// Finds the first record whose key fields equal the held values.
class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
  VARNEL_CLASS(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
 public:
  using TcxDataControllerLocateObject::TcxDataControllerLocateObject;
  void AddField(TcxCustomDataField* AField) { fields_.push_back(AField); }
  void ClearFields() { fields_.clear(); }
  Integer FindRecordIndex() override;

 private:
  std::vector<TcxCustomDataField*> fields_;
};

// Finds a shown record whose grouping values on levels 0 .. Level equal the
// held values: by binary search of the sorted records, or, when a grouping
// field sorts by display text, by comparing values record by record.
class TcxDataControllerGroupLocateObject
    : public TcxDataControllerLocateObject {
  VARNEL_CLASS(TcxDataControllerGroupLocateObject,
               TcxDataControllerLocateObject)
 public:
  explicit TcxDataControllerGroupLocateObject(
      TcxCustomDataController* ADataController = nullptr);
  Integer FindRecordIndex() override;
  // The record list position of the record found, or -1.
  Integer FindRecordListIndex();
  Integer GetLevel() const { return level_; }
  void SetLevel(Integer AValue);
  bool FindGroupRecordEnabled() const { return findGroupRecordEnabled_; }

 private:
  std::vector<TcxCustomDataField*> groupingFields_;
  std::vector<TcxCustomDataField*> findFields_;
  bool findGroupRecordEnabled_ = true;
  Integer level_ = -1;
};

// A strict weak order on variants for sorting and grouping: kinds rank
// Empty, Null, Boolean, numbers and dates, texts, arrays, others; values of
// one kind compare as VarCompare would. Use it wherever VarCompare would
// decide an order.
Integer cxSortCompareVariants(const Variant& A, const Variant& B);

// ---------------------------------------------------------------------------
// Listener links and the notifier
// ---------------------------------------------------------------------------

// A weak reference to a controller: Ref becomes null when the controller is
// destroyed. Made by AddListenerLink; freeing it unregisters it.
class TcxDataListenerLink : public TObject {
  VARNEL_CLASS(TcxDataListenerLink, TObject)
 public:
  TcxDataListenerLink() = default;
  ~TcxDataListenerLink() override;
  TcxCustomDataController* Ref = nullptr;
};

// Holds a listener link for one scope: code that may lose its controller to
// an event handler asks Alive() before touching it again.
class TcxDataListenerLinkScope {
 public:
  explicit TcxDataListenerLinkScope(TcxCustomDataController* AController);
  ~TcxDataListenerLinkScope();
  TcxDataListenerLinkScope(const TcxDataListenerLinkScope&) = delete;
  TcxDataListenerLinkScope& operator=(const TcxDataListenerLinkScope&) = delete;
  bool Alive() const { return link_->Ref != nullptr; }

 private:
  TObjectPtr<TcxDataListenerLink> link_;
};

// Hears, for its controller, that a component the controller refers to is
// being freed: such components add it with FreeNotification.
class TcxDataControllerNotifier : public TComponent {
  VARNEL_CLASS(TcxDataControllerNotifier, TComponent)
 public:
  explicit TcxDataControllerNotifier(
      TcxCustomDataController* ADataController = nullptr)
      : TComponent(nullptr), dataController_(ADataController) {}
  TcxCustomDataController* DataController() const { return dataController_; }
  void Notification(TComponent* AComponent, TOperation AOperation) override;

 private:
  TcxCustomDataController* dataController_;
};

// ---------------------------------------------------------------------------
// Grouping interface
// ---------------------------------------------------------------------------

// The controller's public view of its group tree. Indexes are data group
// indexes unless named otherwise; -1 is the invisible root above level 0.
class TcxDataControllerGroups : public TObject {
  VARNEL_CLASS(TcxDataControllerGroups, TObject)
 public:
  explicit TcxDataControllerGroups(
      TcxCustomDataController* ADataController = nullptr)
      : dataController_(ADataController) {}

  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullCollapse();
  void FullExpand();
  void ChangeGrouping(Integer AItemIndex, Integer AGroupIndex);
  void ClearGrouping();
  Integer GetGroupingItemCount() const;
  Integer GetGroupingItemIndex(Integer AGroupIndex) const;
  Integer GetItemGroupIndex(Integer AItemIndex) const;
  Integer GetFieldGroupIndex(const TcxCustomDataField* AField) const;
  Integer GetChildCount(Integer AIndex) const;
  Integer GetChildDataGroupIndex(Integer AIndex, Integer AChildIndex) const;
  Integer GetChildRecordIndex(Integer AIndex, Integer AChildIndex) const;
  Integer GetLevel(Integer AIndex) const;
  Integer GetParentDataGroupIndex(Integer AIndex) const;
  Integer GetDataGroupIndexByRowIndex(Integer ARowIndex) const;
  Integer GetGroupRecordIndex(Integer AIndex) const;
  Variant GetGroupValue(Integer AIndex) const;
  String GetGroupDisplayText(Integer AIndex) const;
  Integer GetDataGroupIndexByGroupValue(Integer AParentIndex,
                                        const Variant& AValue) const;
  bool HasAsParent(Integer ARowIndex, Integer AParentRowIndex) const;
  void LoadRecordIndexes(std::vector<Integer>& AList, Integer AIndex) const;
  void LoadRecordIndexesByRowIndex(std::vector<Integer>& AList,
                                   Integer ARowIndex) const;
  TcxCustomDataController* DataController() const { return dataController_; }
  TcxCustomDataControllerInfo* DataControllerInfo() const;
  TcxDataGroups& DataGroups() const;

 private:
  // The grouping field of a group's level, or nil.
  TcxCustomDataField* LevelField(Integer AIndex) const;
  TcxCustomDataController* dataController_;
};

// ---------------------------------------------------------------------------
// Data controller
// ---------------------------------------------------------------------------

using TcxDataControllerNotifyEvent =
    std::function<void(TcxCustomDataController* ADataController)>;
using TcxDataControllerRecordEvent = std::function<void(
    TcxCustomDataController* ADataController, Integer ARecordIndex)>;
using TcxDataFilterRecordEvent =
    std::function<void(TcxCustomDataController* ADataController,
                       Integer ARecordIndex, bool& AAccept)>;
using TcxDataControllerCompareEvent = std::function<void(
    TcxCustomDataController* ADataController, Integer ARecordIndex1,
    Integer ARecordIndex2, Integer AItemIndex, const Variant& V1,
    const Variant& V2, Integer& ACompare)>;
using TcxDataRecordChangedEvent =
    std::function<void(TcxCustomDataController* ADataController,
                       Integer ARecordIndex, Integer AItemIndex)>;
// The control's view of every change record; the record is freed after the
// call.
using TcxUpdateControlEvent = std::function<void(TcxUpdateControlInfo* AInfo)>;

class TcxCustomDataController : public TPersistent {
  VARNEL_CLASS(TcxCustomDataController, TPersistent)
 public:
  explicit TcxCustomDataController(TComponent* AOwner = nullptr);
  ~TcxCustomDataController() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  TcxDataStorage* DataStorage() const { return storage_.get(); }
  TcxCustomDataProvider* Provider() const { return provider_.get(); }
  TcxCustomDataControllerInfo* DataControllerInfo() const {
    return info_.get();
  }
  TcxCustomDataFieldList* Fields() const { return fields_.get(); }
  TcxDataControllerSearch* Search() const { return search_.get(); }

  // Items and fields.
  virtual TcxCustomDataField* AddItem(TObject* AItem);
  virtual void RemoveItem(TObject* AItem);
  virtual TObject* GetItem(Integer AIndex) const;
  virtual Integer GetItemCount() const;
  TcxCustomDataField* GetItemField(Integer AItemIndex) const;
  TcxCustomDataField* AddInternalField();
  void ChangeValueTypeClass(Integer AItemIndex,
                            TcxValueTypeClass AValueTypeClass);
  TcxValueTypeClass GetItemValueTypeClass(Integer AItemIndex) const;
  void ChangeTextStored(Integer AItemIndex, bool AValue);
  bool GetItemTextStored(Integer AItemIndex) const;
  void CheckItemRange(Integer AItemIndex) const;
  void CheckRecordRange(Integer ARecordIndex);

  // Records and values.
  virtual Integer GetRecordCount() const;
  virtual void SetRecordCount(Integer ACount);
  Integer AppendRecord();
  Integer InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  virtual Variant GetValue(Integer ARecordIndex, Integer AItemIndex);
  virtual void SetValue(Integer ARecordIndex, Integer AItemIndex,
                        const Variant& AValue);
  virtual String GetDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual void SetDisplayText(Integer ARecordIndex, Integer AItemIndex,
                              const String& AText);
  Variant GetInternalValue(Integer ARecordIndex, TcxCustomDataField* AField);
  String GetInternalDisplayText(Integer ARecordIndex,
                                TcxCustomDataField* AField);
  Variant GetRecordId(Integer ARecordIndex);
  Variant GetRowId(Integer ARowIndex) const { return Variant(ARowIndex); }
  Variant GetGroupValue(Integer ARecordIndex, TcxCustomDataField* AField) {
    return GetInternalValue(ARecordIndex, AField);
  }
  // One value per grouping item; Null for a record out of range.
  std::vector<Variant> GetGroupValues(Integer ARecordIndex);
  // A group row shows the value of its level's grouping item.
  Variant GetRowValue(const TcxRowInfo& ARowInfo, Integer AItemIndex);
  String GetRowDisplayText(const TcxRowInfo& ARowInfo, Integer& AItemIndex);
  void ForEachRow(bool ASelectedOnly,
                  const std::function<void(Integer ARowIndex,
                                           const TcxRowInfo& ARowInfo)>& AProc);
  Integer FindRecordByFields(Integer ARecordIndex,
                             const std::vector<TcxCustomDataField*>& AFields);
  virtual bool UseRecordID() const { return false; }
  bool IsRecordID() const { return IsUnboundMode() && UseRecordID(); }

  // Rows.
  Integer GetFilteredRecordCount() const;
  Integer GetFilteredRecordIndex(Integer AIndex) const;
  Integer GetFilteredIndexByRecordIndex(Integer ARecordIndex) const;
  Integer GetRowCount() const;
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  void MakeRecordVisible(Integer ARecordIndex);
  Integer GetNearestRowIndex(Integer ARowIndex) const;

  // Update brackets and change delivery.
  void BeginUpdate();
  void EndUpdate();
  virtual void BeginFullUpdate() { BeginUpdate(); }
  virtual void EndFullUpdate() { EndUpdate(); }
  // BeginUpdate (BeginFullUpdate) now, its end when the scope is left.
  [[nodiscard]] auto UpdateScope() {
    return MakeBracket(this, &TcxCustomDataController::BeginUpdate,
                       &TcxCustomDataController::EndUpdate);
  }
  [[nodiscard]] auto FullUpdateScope() {
    return MakeBracket(this, &TcxCustomDataController::BeginFullUpdate,
                       &TcxCustomDataController::EndFullUpdate);
  }
  Integer GetLockCount() const;
  void Change(TcxDataControllerChanges AChanges);
  virtual void DataChanged(TcxDataChange ADataChange, Integer AItemIndex,
                           Integer ARecordIndex);
  virtual void LayoutChanged(TcxDataLayoutChanges AChanges);
  virtual void Refresh();
  void UpdateFocused();
  void AddDataChangedListener(TObject* AInstance, const TNotifyEvent& AEvent);
  void RemoveDataChangedListener(TObject* AInstance,
                                 const TNotifyEvent& AEvent);

  // Modes.
  bool IsProviderMode() const;
  bool IsUnboundMode() const;
  bool IsGridMode() const;
  bool IsDestroying() const { return destroying_; }
  bool IsLoading() const;
  bool IsFocusedSelectedMode() const { return !multiSelect_; }
  bool IsImmediatePost() const;
  TcxCustomDataSource* GetCustomDataSource() const;
  void SetCustomDataSource(TcxCustomDataSource* AValue);
  TcxDataControllerOptions Options() const { return options_; }
  void SetOptions(TcxDataControllerOptions AValue);

  // Grid mode, loading and smart load (cxCustomDataProvider.cpp).
  // The records are loaded from the provider (not kept by the controller):
  // provider mode, or a provider over an outside record set.
  bool IsDataBound() const;
  void Scroll(Integer ADistance);
  void SaveDataSetPos();
  void RestoreDataSetPos();
  // Data-changed listeners stay silent while a grid-mode locate runs.
  void LockGridModeNotify();
  void UnlockGridModeNotify();
  // Incremental search in grid mode; finds nothing here.
  virtual bool DoSearchInGridMode(const String&, bool, bool) { return false; }
  // A smart-loading controller keeps its records when the storage reloads;
  // it adds and deletes them itself, one at a time.
  virtual bool IsSmartLoad() const { return false; }
  // Nested brackets count; the outermost does the work.
  void BeginSmartLoad();
  void EndSmartLoad();
  // Inside BeginSmartLoad/EndSmartLoad: appends a record read from AReader
  // (provider mode: for the data source's next record).
  Integer LoadRecord(TcxValueDefReader* AReader);
  virtual Integer AppendInSmartLoad();
  virtual void DeleteInSmartLoad(Integer ARecordIndex);

  // Comparison.
  virtual Integer CompareByField(Integer ARecordIndex1, Integer ARecordIndex2,
                                 TcxCustomDataField* AField,
                                 TcxDataControllerComparisonMode AMode);
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2,
                         const TcxDataSortInfo& ASortInfo,
                         TcxDataControllerComparisonMode AMode);
  virtual Integer CompareEqualRecords(Integer ARecordIndex1,
                                      Integer ARecordIndex2) {
    return ARecordIndex1 - ARecordIndex2;
  }
  Variant GetComparedValue(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual bool IsConversionNeededForCompare(TcxCustomDataField* AField);
  bool IsStringConversionNeeded(TcxCustomDataField* AField) const;
  virtual bool IsSortByDisplayTextNeeded(TcxCustomDataField* AField) const;
  virtual bool GetItemSortByDisplayText(Integer, bool) const { return false; }
  bool IsCompareEventAssigned() const { return static_cast<bool>(OnCompare); }

  // Sorting and grouping requests.
  void ChangeSorting(Integer AItemIndex, TcxDataSortOrder ASortOrder);
  void ClearSorting(bool AKeepGroupedItems);
  TcxDataSortOrder GetItemSortOrder(Integer AItemIndex) const;
  Integer GetSortingItemCount() const;
  Integer GetSortingItemIndex(Integer AIndex) const;
  void ChangeGrouping(Integer AItemIndex, Integer AGroupIndex);
  void ClearGrouping();
  Integer GetGroupingItemCount() const;
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullExpand();
  void FullCollapse();

  // Editing.
  TcxDataControllerEditState GetEditState() const;
  TcxDataControllerEditOperations GetEditOperations() const;
  bool IsEditing() const;
  Integer GetEditingRecordIndex() const;
  Integer CalcEditingRecordIndex() const;
  Variant GetEditValue(Integer AItemIndex,
                       TcxDataEditValueSource AEditValueSource);
  bool SetEditValue(Integer AItemIndex, const Variant& AValue,
                    TcxDataEditValueSource AEditValueSource);
  bool CanInitEditing(Integer AItemIndex);
  void PostEditingData() { provider_->PostEditingData(); }
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void DeleteFocused();
  void DeleteSelection();
  virtual void UpdateData() {}
  virtual void CheckBrowseMode() {}
  bool CanFocusRecord(Integer ARecordIndex);
  void CheckEditingRecordIndex(Integer ARecordIndex);
  void CopyRecord(Integer AFromRecordIndex, Integer AToRecordIndex);
  Integer GetNewItemRecordIndex();
  bool IsNewItemRecordIndex(Integer ARecordIndex) const;
  bool GetNewItemRowFocused() const;
  void SetNewItemRowFocused(bool AValue);
  bool UseNewItemRowForEditing() const { return useNewItemRowForEditing_; }
  void SetUseNewItemRowForEditing(bool AValue);
  bool InCancel() const { return inCancel_; }

  // Focus and navigation.
  Integer GetFocusedRowIndex() const;
  Integer GetFocusedRecordIndex() const;
  void SetFocusedRowIndex(Integer ARowIndex) {
    ChangeFocusedRowIndex(ARowIndex);
  }
  bool ChangeFocusedRowIndex(Integer ARowIndex);
  bool ChangeFocusedRecordIndex(Integer ARecordIndex);
  void SetFocusedRecordIndex(Integer ARecordIndex) {
    ChangeFocusedRecordIndex(ARecordIndex);
  }
  void CheckFocusedRow();
  void GotoFirst();
  void GotoLast();
  void GotoNext();
  void GotoPrev();
  void MoveBy(Integer ADistance);
  bool IsBOF() const;
  bool IsEOF() const;
  Integer GetRecordIndex() const { return GetFocusedRecordIndex(); }

  // Bookmark (follows its record when earlier records come or go).
  void SaveBookmark();
  void GotoBookmark();
  void ClearBookmark();
  bool IsBookmarkAvailable() const { return bookmarkRecordIndex_ != -1; }
  bool IsBookmarkRow(Integer ARowIndex) const;
  Integer BookmarkRecordIndex() const { return bookmarkRecordIndex_; }
  void CheckBookmarkValid(Integer ARecordIndex);

  // Selection.
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool AValue);
  Integer GetSelectedCount() const;
  Integer GetSelectedRowIndex(Integer AIndex) const;
  bool IsRowSelected(Integer ARowIndex) const;
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  void SelectRows(Integer AFromRowIndex, Integer AToRowIndex);
  void SelectAll();
  void SelectFromAnchor(Integer ARowIndex, bool AKeepSelection);
  void SetSelectionAnchor(Integer ARowIndex);
  void ClearSelectionAnchor();
  Integer GetSelectionAnchorRowIndex() const;
  bool IsSelectionAnchorExist() const {
    return GetSelectionAnchorRowIndex() != -1;
  }
  bool FocusSelectedRow(Integer AIndex);
  void ClearSelection();
  void SyncSelected(bool AValue);
  void SyncSelectionFocusedRecord();
  void CheckFocusedSelected();
  void CheckSelectedCount(Integer ARecordIndex);

  // Incremental filter and search.
  Integer SetIncrementalFilter(Integer AItemIndex, const String& AText);
  void ResetIncrementalFilter();
  bool ChangeIncrementalFilterText(const String& AText);
  bool IsIncrementalFilter() const;
  String GetIncrementalFilterText() const { return incrementalFilterText_; }
  bool DoIncrementalFilterRecord(Integer ARecordIndex);
  Integer FindRecordIndexByText(Integer AStartIndex, Integer AItemIndex,
                                const String& AText, bool APartialCompare,
                                bool AWrap, bool AForward);
  String GetIncrementalSearchText(Integer ARecordIndex, Integer AItemIndex) {
    return GetDisplayText(ARecordIndex, AItemIndex);
  }
  bool IsFilterRecord() const { return static_cast<bool>(OnFilterRecord); }
  bool DoFilterRecord(Integer ARecordIndex);

  // Filter criteria (cxCustomDataFilter.cpp). The main criteria is made on
  // first use through GetFilterCriteriaClass; CreateFilter makes extra
  // criteria that the controller owns but never filters by.
  using TcxDataFilterCriteriaClass = TObjectPtr<TcxDataFilterCriteria> (*)(
      TcxCustomDataController* ADataController);
  virtual TcxDataFilterCriteriaClass GetFilterCriteriaClass() const;
  TcxDataFilterCriteria* Filter();
  void SetFilter(TcxDataFilterCriteria* AValue);
  virtual TcxDataFilterCriteria* CreateFilter();
  TcxDataFilterList* Filters();
  virtual void FilterChanged();
  virtual Variant GetFilterDataValue(Integer ARecordIndex,
                                     TcxCustomDataField* AField);
  virtual String GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual String GetFilterItemFieldCaption(TObject* AItem);
  virtual String GetFilterItemFieldName(TObject* AItem);
  virtual bool IsFilterItemSortByDisplayText(Integer AItemIndex);
  bool IsCriteriaFiltering() const;
  bool DoCriteriaFilterRecord(Integer ARecordIndex);
  void RemoveFilterItems(TcxCustomDataField* AField);
  friend class TcxDataFilterCriteria;

  // Summaries, sorting groups by a summary, the grouping interface.
  virtual void DoBeginSummary();
  virtual void DoEndSummary();
  virtual bool LockOnAfterSummary() const { return false; }
  // Created on first use, through CreateSummary.
  TcxDataSummary* Summary();
  TcxDataControllerGroups* Groups() { return &groupsInterface_; }
  virtual TClass GetSummaryItemClass() const;
  virtual TClass GetSummaryGroupItemLinkClass() const;
  // A TcxSortingBySummaryEngine descendant; nil here.
  virtual TClass GetSortingBySummaryEngineClass() const { return nullptr; }
  Integer GetSortingBySummaryDataItemIndex() const;
  void SetSortingBySummaryDataItemIndex(Integer AItemIndex);
  virtual void DoSortingBySummaryChanged() { sortingBySummaryChanged_ = true; }
  virtual void SummaryChanged(bool ARedrawOnly);
  // The summary counts only selected records at the moment.
  bool IsSummaryForSelectedRecords() const;
  bool IsSortingBySummary() const;
  // Set by the summary when its after-summary event falls while the owner
  // loads; Loaded raises the event through DoAfterSummary.
  void SetAfterSummaryPending(bool AValue) { afterSummaryPending_ = AValue; }
  bool AfterSummaryPending() const { return afterSummaryPending_; }
  virtual void DoAfterSummary();

  // Groups, listener links, the notifier, notify locking, loading and item
  // operations (cxCustomDataGroups.cpp, cxCustomDataNotify.cpp).
  // The first filtered record whose group values on levels 0 .. ALevel - 1
  // equal those of ARecordIndex, or -1 (also for ALevel out of 1 .. the
  // number of grouping items).
  Integer FindGroupRecord(Integer ARecordIndex, Integer ALevel);
  static TObjectPtr<TcxDataListenerLink> AddListenerLink(
      TcxCustomDataController* AController);
  // Frees the link.
  static void RemoveListenerLink(TObjectPtr<TcxDataListenerLink> ALink);
  TcxDataControllerNotifier* Notifier() const { return notifier_.get(); }
  virtual void RemoveNotification(TComponent* AComponent);
  void LockDataChangedNotify() { ++dataChangedNotifyLock_; }
  void UnlockDataChangedNotify();
  virtual bool DataChangedNotifyLocked() const {
    return dataChangedNotifyLock_ != 0;
  }
  // After the owner was read from a form stream: sends what waited for it.
  virtual void Loaded();
  virtual void UpdateItemIndexes();
  virtual bool ItemPropertiesChanged(Integer AItemIndex);
  virtual String GetItemName(TObject* AItem) const;
  // An item's number in stored filters: its position among the items here;
  // a control numbers its items itself.
  virtual Integer GetItemID(TObject* AItem) const;
  virtual TObject* FindItemByName(const String& AName) const;
  virtual TObject* FindItemByInternalID(Integer AID) const;
  virtual TObject* FindProperItemLink(TObject* AItem) const;
  void ChangeItemSortingIndex(Integer AItemIndex, Integer AIndex);
  Integer GetItemSortingIndex(Integer AItemIndex) const;

  // Around reading held values into a locate object's internal record.
  virtual void BeginReadRecord() {}
  virtual void EndReadRecord() {}

  // Structure updates (cxCustomDataProvider.cpp). Field preparation waits
  // for the end of the outermost BeginUpdateFields/EndUpdateFields.
  void BeginUpdateFields() { ++updateFieldsLock_; }
  void EndUpdateFields();
  // Provider mode, or the storage was just rebuilt.
  bool IsProviderDataSource() const;
  void UpdateItems(bool AUpdateFields);
  void UpdateStorage(bool AUpdateFields);
  // Prepares every field once with PrepareField, also when PrepareField
  // adds or frees fields.
  virtual void UpdateFields();
  virtual void PrepareField(TcxCustomDataField*) {}

  // From another controller: options, filter, summary and the events but
  // OnUpdateControl (cxCustomDataSummary.cpp).
  void Assign(TPersistent* ASource) override;

 private:
  Integer updateFieldsLock_ = 0;
  bool updateFieldsPending_ = false;
  bool fieldDestroyed_ = false;
  bool structureRecreated_ = false;

 protected:
  friend class TcxDataControllerGroups;
  friend class TcxSortingBySummaryEngine;
  virtual TObjectPtr<TcxDataSummary> CreateSummary();
  void DoSortBySummary();
  bool SummaryHasOption(TcxSummaryOption AOption) const;

 private:
  TObjectPtr<TcxDataSummary> summary_;
  TcxDataControllerGroups groupsInterface_{this};
  TcxCustomDataField* sortingBySummaryField_ = nullptr;
  bool sortingBySummaryChanged_ = false;

 public:
  // Events.
  TcxDataControllerNotifyEvent OnAfterCancel, OnAfterDelete, OnAfterInsert,
      OnAfterPost, OnBeforeCancel, OnBeforeInsert, OnBeforePost, OnDataChanged,
      OnGroupingChanged, OnSortingChanged;
  TcxDataControllerRecordEvent OnBeforeDelete, OnNewRecord;
  TcxDataFilterRecordEvent OnFilterRecord;
  TcxDataControllerCompareEvent OnCompare;
  TcxDataRecordChangedEvent OnRecordChanged;
  TcxUpdateControlEvent OnUpdateControl;

 protected:
  friend class TcxCustomDataControllerInfo;
  friend class TcxCustomDataProvider;
  friend class TcxCustomDataSource;
  friend class TcxCustomDataField;
  friend class TcxCustomDataFieldList;
  friend class TcxDataControllerSearch;
  friend class TcxDataListenerLink;
  friend class TcxDataControllerGroupLocateObject;
  friend class TcxDataFocusingInfo;

  virtual void UpdateControl(TcxUpdateControlInfo* AInfo);
  virtual void DoDataChanged(TcxDataChange AKind, Integer AItemIndex,
                             Integer ARecordIndex);
  virtual void DoBeforeFocusedRowChange(Integer) {}
  virtual void DoAfterCancel() { Fire(OnAfterCancel); }
  virtual void DoAfterDelete() { Fire(OnAfterDelete); }
  virtual void DoAfterInsert() { Fire(OnAfterInsert); }
  virtual void DoAfterPost() { Fire(OnAfterPost); }
  virtual void DoBeforeCancel() { Fire(OnBeforeCancel); }
  virtual void DoBeforeDelete(Integer ARecordIndex);
  virtual void DoBeforeInsert() { Fire(OnBeforeInsert); }
  virtual void DoBeforePost() { Fire(OnBeforePost); }
  virtual void DoNewRecord(Integer ARecordIndex);
  virtual void RemoveField(TcxCustomDataField* AField);
  void RestructData();
  void LoadStorage();
  // Takes ownership of AProvider in place of the current provider and
  // rebuilds the storage for it (a subclass's constructor calls it).
  void SetDataProvider(TcxCustomDataProvider* AProvider);
  void LoadRecords();
  virtual void DoReadRecord(Integer) {}
  void CheckChanges();
  void Update();
  void NotifyControl(TObjectPtr<TcxUpdateControlInfo> AInfo);
  void BeforeSorting();
  void CheckNearestFocusRow();
  void DeleteFocusedRecord();
  void DeleteRecords(std::vector<Integer> AList);
  void ResetNewItemRowFocused();
  void CorrectPrevSelectionChangedInfo();
  void DataStorageClearInternalRecords(TObject* ASender);
  bool IsDataField(TcxCustomDataField* AField) const;
  TcxCustomDataField* RecordHandleField() const { return recordHandleField_; }
  Integer CompareStrings(const Variant& A, const Variant& B) const;
  void NotifyDataChangedListeners(TcxDataChange AKind, Integer AItemIndex,
                                  Integer ARecordIndex);
  void ClearListenerLinks();
  // Bookmark and nearest record follow inserts and deletes.
  void ShiftAfterInsert(Integer ARecordIndex);
  void ShiftAfterDelete(Integer ARecordIndex);

 private:
  void Fire(const TcxDataControllerNotifyEvent& AEvent) {
    if (AEvent) AEvent(this);
  }

  TComponent* owner_;
  std::unique_ptr<TcxDataStorage, TObjectDeleter> storage_;
  TObjectPtr<TcxCustomDataFieldList> fields_;
  TObjectPtr<TcxDataControllerSearch> search_;
  TObjectPtr<TcxCustomDataProvider> provider_;
  TObjectPtr<TcxCustomDataControllerInfo> info_;
  struct TListener {
    TObject* Instance;
    TNotifyEvent Event;
  };
  std::vector<TListener> listeners_;

  bool destroying_ = false;
  TcxDataControllerOptions options_{
      dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding};
  TcxDataControllerChanges changes_;
  TcxDataChange dataChangeKind_ = dcTotal;
  Integer dataChangeItem_ = -1;
  Integer dataChangeRecord_ = -1;
  bool structureChanged_ = false;
  bool inNotifyControl_ = false;
  bool inUpdateItems_ = false;
  bool checkFocusingAfterFilter_ = false;
  bool filterChanged_ = false;
  bool groupingChanged_ = false;
  bool sortingChanged_ = false;
  bool loadedStorage_ = false;
  bool inSortingChangedEvent_ = false;
  bool inCancel_ = false;
  bool inDeleteSelection_ = false;
  bool internalFindRecord_ = false;
  Integer bookmarkRecordIndex_ = -1;
  Integer nearestRecordIndex_ = -1;
  Integer newItemRecordIndex_ = 0;
  bool newItemRowFocused_ = false;
  bool useNewItemRowForEditing_ = false;
  bool multiSelect_ = false;
  bool focusedSelected_ = true;
  Integer prevSelectedCount_ = 0;
  Integer prevSelectedRowIndex_ = -1;
  TcxCustomDataField* incrementalFilterField_ = nullptr;
  String incrementalFilterText_;
  TcxCustomDataField* searchField_ = nullptr;
  bool searching_ = false;
  String searchText_;
  TcxCustomDataField* recordHandleField_ = nullptr;
  Integer smartLoadLock_ = 0;
  Integer gridModeNotifyLock_ = 0;

  TObjectPtr<TcxDataControllerNotifier> notifier_{
      new TcxDataControllerNotifier(this)};
  std::vector<TcxDataListenerLink*> listenerLinks_;  // not owned
  Integer dataChangedNotifyLock_ = 0;
  bool dataChangedPending_ = false;
  bool afterSummaryPending_ = false;

  // Last, so that the criteria go while the rest of the controller is
  // still there.
  TObjectPtr<TcxDataFilterList> filters_;
  TObjectPtr<TcxDataFilterCriteria> filter_;
};

// The concrete controller the controls create.
class TcxDataController : public TcxCustomDataController {
  VARNEL_CLASS(TcxDataController, TcxCustomDataController)
 public:
  explicit TcxDataController(TComponent* AOwner = nullptr);
};

// ---------------------------------------------------------------------------
// The controller's filter criteria
// ---------------------------------------------------------------------------

// A leaf whose link is one of the controller's fields; towards its users
// the link is the field's item.
class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
  VARNEL_CLASS(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
 public:
  TcxDataFilterCriteriaItem(TcxFilterCriteriaItemList* AParent,
                            TObject* AItemLink,
                            TcxFilterOperatorKind AOperatorKind,
                            const Variant& AValue, const String& ADisplayValue);
  // AData points at the record index.
  Variant GetDataValue(const void* AData) override;
  bool CanGetDirectDataValue() override;
  bool GetDirectDataValue(const void* AData,
                          TcxFilterDirectValue& AValue) override;
  void GetDirectDataValues(const Integer* ARecords, Integer ACount,
                           TcxFilterDirectValue* AValues) override;
  String GetFieldCaption() override;
  String GetFieldName() override;
  TObject* GetItemLink() override;
  // An item is turned into its field first.
  void SetItemLink(TObject* AValue) override;
  TcxCustomDataController* DataController() const { return dataController_; }
  TcxCustomDataField* Field() const { return field_; }

 private:
  // Kept apart from the stored link so that reading a record's value needs
  // no type test.
  TcxCustomDataController* dataController_ = nullptr;
  TcxCustomDataField* field_ = nullptr;
  // The value type last read directly, and how its values are read.
  TcxValueDef* DirectValueDef();
  bool ReadDirectValue(TcxValueDef* ADef, Integer ARecordIndex,
                       TcxFilterDirectValue& AValue);

  TcxValueTypeClass directType_ = nullptr;
  TcxFilterDirectValue::TKind directKind_ = TcxFilterDirectValue::dvNone;
  Integer directSize_ = 0;
};

class TcxDataFilterValueList;
using TcxDataFilterGetValueListEvent =
    std::function<void(TcxFilterCriteria* ASender, Integer AItemIndex,
                       TcxDataFilterValueList* AValueList)>;

class TcxDataFilterCriteria : public TcxFilterCriteria {
  VARNEL_CLASS(TcxDataFilterCriteria, TcxFilterCriteria)
 public:
  explicit TcxDataFilterCriteria(TcxCustomDataController* ADataController);
  ~TcxDataFilterCriteria() override;

  TObjectPtr<TcxFilterValueList> CreateValueList() override;
  // Active, not empty, and the controller not in grid mode.
  virtual bool IsFiltering() const;
  bool DoFilterRecord(Integer ARecordIndex) {
    return DoFilterData(&ARecordIndex);
  }
  void RemoveItemByField(TcxCustomDataField* AField) {
    RemoveItemByItemLink(AField);
  }
  TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) override;

  // Items are identified in streams by their item index and, when they are
  // components, by their name.
  Integer GetIDByItemLink(TObject* AItemLink) override;
  String GetNameByItemLink(TObject* AItemLink) override;
  TObject* GetItemLinkByID(Integer AID) override;
  TObject* GetItemLinkByName(const String& AName) override;
  TObjectPtr<TcxFilterCriteriaItem> CreateItem(
      TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
      TcxFilterOperatorKind AKind, const Variant& AValue,
      const String& ADisplayValue) override;

  using TcxFilterCriteria::Assign;
  void Assign(TcxFilterCriteria* ASource, bool AIgnoreItemNames) override;
  void AssignEvents(TPersistent* ASource) override;
  // The tree as the binary form property "Criteria".
  void DefineProperties(TFiler* AFiler) override;
  void Update() override;

  bool IsDestroying() const;
  bool IsInternal() const;
  bool IsLoading() const;
  bool Active() const { return active_; }
  void SetActive(bool AValue);
  TcxCustomDataController* DataController() const { return dataController_; }

  TcxDataFilterGetValueListEvent OnGetValueList;

  // The controller's field for an item (a field stays itself).
  TcxCustomDataField* FieldOf(TObject* AItemLink) const;
  TObject* ClientItemOf(TObject* AItemLink) const;

 private:
  void WriteCriteria(TStream* AStream) { WriteData(AStream); }
  void ReadCriteria(TStream* AStream) { ReadData(AStream); }

  bool active_ = false;
  TcxCustomDataController* dataController_;
  bool destroying_ = false;
};

// The values a filter drop-down offers for one of the controller's items.
class TcxDataFilterValueList : public TcxFilterValueList {
  VARNEL_CLASS(TcxDataFilterValueList, TcxFilterValueList)
 public:
  using TcxFilterValueList::TcxFilterValueList;
  virtual void Load(Integer AItemIndex, bool AInitSortByDisplayText = true,
                    bool AUseFilteredValues = false);
  TcxDataFilterCriteria* DataCriteria() const;
};

// The controller's extra criteria; owns them.
class TcxDataFilterList : public TObject {
  VARNEL_CLASS(TcxDataFilterList, TObject)
 public:
  ~TcxDataFilterList() override { Clear(); }
  // The list owns AFilter from now on; it is lent back.
  TcxDataFilterCriteria* Add(TObjectPtr<TcxDataFilterCriteria> AFilter) {
    items_.Adopt(AFilter.get());
    return AFilter.release();
  }
  // Frees from the last to the first.
  void Clear();
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxDataFilterCriteria* Items(Integer AIndex) const {
    if (AIndex < 0 || AIndex >= Count())
      throw std::out_of_range("TcxDataFilterList::Items");
    return items_[static_cast<std::size_t>(AIndex)];
  }
  Integer IndexOf(const TcxDataFilterCriteria* AFilter) const;
  // Takes AFilter out without freeing it.
  void Remove(TcxDataFilterCriteria* AFilter);
  void RemoveItemByField(TcxCustomDataField* AField);

 private:
  // Criteria leave it themselves when they are freed.
  TOwningList<TcxDataFilterCriteria> items_;
};
