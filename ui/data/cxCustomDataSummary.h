// Summaries of a data controller: footer values over the filtered records
// and group values per group of the group tree, with the kinds sum,
// minimum, maximum, count and average, their display texts, values set by
// the application, and the engine that orders groups by a group summary.
// A header part of the unit cxCustomData (included from cxCustomData.h).
//
// Group values live here, indexed by data group index, not in the groups:
// a value per group made grouping large record sets much slower even when
// no summary was asked for, so they are kept only while summary items
// exist.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "FormStreams.h"
#include "TypInfo.h"
#include "Variants.h"
#include "cxDataUtils.h"

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataField;
class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryItems;
class TcxDataSummaryGroup;

enum TcxSummaryKind { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition { spGroup, spFooter };
enum TcxSummaryOption {
  soNullIgnore,
  soSelectedRecords,
  soMultipleSelectedRecords
};
using TcxSummaryOptions = TSet<TcxSummaryOption>;
enum TcxSummaryProperty { spFormat, spKind, spSorted };
using TcxSummaryProperties = TSet<TcxSummaryProperty>;
enum TcxSummaryValueType { svtFloat, svtCurrency, svtDate };

// One running value and one running count per summary item.
using TcxDataSummaryValues = std::vector<Variant>;
using TcxDataSummaryCountValues = std::vector<Integer>;

struct TcxSummaryEventArguments {
  Integer RecordIndex = -1;
  TcxDataSummaryItem* SummaryItem = nullptr;
};

struct TcxSummaryEventOutArguments {
  Variant Value;         // the record's value
  Variant SummaryValue;  // the running value
  Integer CountValue = 0;
  bool Done = false;  // the handler accumulated the record itself
};

using TcxSummaryEvent = std::function<void(
    TcxDataSummaryItems* ASender, const TcxSummaryEventArguments& AArguments,
    TcxSummaryEventOutArguments& AOutArguments)>;
using TcxDataSummaryItemGetTextEvent =
    std::function<void(TcxDataSummaryItem* ASender, const Variant& AValue,
                       bool AIsFooter, String& AText)>;
using TcxAfterSummaryEvent = std::function<void(TcxDataSummary* ASender)>;

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

// Bound to one data field of the controller (nil when unbound).
class TcxCustomDataSummaryItem : public TCollectionItem {
  VARNEL_CLASS(TcxCustomDataSummaryItem, TCollectionItem)
 public:
  explicit TcxCustomDataSummaryItem(TCollection* ACollection = nullptr)
      : TCollectionItem(ACollection) {}

  virtual TcxCustomDataController* GetDataController() const = 0;
  virtual void ItemLinkChanging(TcxCustomDataField*) {}

  TcxCustomDataField* Field() const { return field_; }
  // The client item the field stands for; nil when unbound.
  TObject* ItemLink() const;
  void SetItemLink(TObject* AValue);
  void Assign(TPersistent* ASource) override;

 protected:
  friend class TcxDataSummary;
  friend class TcxDataSummaryItems;
  // Binds without the client item (items may share a nil item).
  void SetField(TcxCustomDataField* AField);
  // Drops the field silently (it is being removed).
  void ForgetField() { field_ = nullptr; }

 private:
  TcxCustomDataField* field_ = nullptr;
};

class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
  VARNEL_CLASS(TcxDataSummaryItem, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryItem(TCollection* ACollection = nullptr)
      : TcxCustomDataSummaryItem(ACollection) {}
  void BeforeDestruction() override;

  TcxCustomDataController* GetDataController() const override;
  virtual bool IsCurrency(TVarType AVarType) const;
  virtual bool IsDataBinded() const;
  virtual bool IsPositionStored() const;
  virtual TcxCustomDataField* DataField() const { return Field(); }
  virtual String FormatValue(const Variant& AValue, bool AIsFooter);
  TcxSummaryValueType GetValueType(TVarType AVarType) const;

  const String& Format() const { return format_; }
  void SetFormat(const String& AValue);
  TcxSummaryKind Kind() const { return kind_; }
  void SetKind(TcxSummaryKind AValue);
  TcxSummaryPosition Position() const;
  void SetPosition(TcxSummaryPosition AValue);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool AValue);
  TcxDataSummaryItems* SummaryItems() const;
  void Assign(TPersistent* ASource) override;

  TcxDataSummaryItemGetTextEvent OnGetText;

 private:
  friend class TcxDataSummaryItems;
  friend class TcxDataGroupSummaryItems;
  String format_;
  TcxSummaryKind kind_ = skNone;
  TcxSummaryPosition position_ = spGroup;
  bool sorted_ = false;
};

// ---------------------------------------------------------------------------
// Item collections
// ---------------------------------------------------------------------------

class TcxDataSummaryItems : public cxDataUtils::TcxCollection {
  VARNEL_CLASS(TcxDataSummaryItems, cxDataUtils::TcxCollection)
 public:
  TcxDataSummaryItems(TcxDataSummary* ASummary = nullptr,
                      TClass AItemClass = nullptr);

  virtual void BeforeSortingChange(TcxDataSummaryItem*, bool) {}
  virtual TcxSummaryPosition GetItemPosition(
      const TcxDataSummaryItem* AItem) const;
  virtual bool IsPositionStored(const TcxDataSummaryItem* AItem) const;
  // Format empty, kind skNone and not sorted.
  virtual bool IsPropertiesEmpty(const TcxDataSummaryItem* AItem) const;
  virtual void AssignEvents(TPersistent* ASource);
  virtual String DefaultFormat(TcxSummaryValueType AValueType,
                               TcxSummaryKind AKind, bool AIsFooter) const;
  virtual String GetGroupText(const Variant&) { return String(); }
  virtual TcxDataSummaryItem* GetDataItem(Integer AItemIndex,
                                          TcxSummaryPosition APosition,
                                          bool ACheckKind = false,
                                          TcxSummaryKind AKind = skNone);

  TcxDataSummaryItem* Add();
  TcxDataSummaryItem* Add(TObject* AItemLink, TcxSummaryPosition APosition,
                          TcxSummaryKind AKind, const String& AFormat = "");
  void DeleteItems(TObject* AItemLink, TcxSummaryPosition APosition);
  Integer IndexOf(const TcxDataSummaryItem* AItem) const;
  Integer IndexOfItemLink(TObject* AItemLink) const;
  TcxDataSummaryItem* ItemOfItemLink(TObject* AItemLink) const;
  Integer IndexOfField(const TcxCustomDataField* AField) const;
  TcxDataSummaryItem* ItemOfField(const TcxCustomDataField* AField) const;
  TcxDataSummaryItem* Items(Integer AIndex) const {
    return Item<TcxDataSummaryItem>(AIndex);
  }

  String GetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition);
  TcxSummaryKind GetDataItemKind(Integer AItemIndex,
                                 TcxSummaryPosition APosition);
  bool GetDataItemSorted(Integer AItemIndex, TcxSummaryPosition APosition);
  void SetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition,
                         const String& AValue);
  void SetDataItemKind(Integer AItemIndex, TcxSummaryPosition APosition,
                       TcxSummaryKind AValue);
  void SetDataItemSorted(Integer AItemIndex, TcxSummaryPosition APosition,
                         bool AValue);

  void Assign(TPersistent* ASource) override;
  TPersistent* GetOwner() override;
  TcxDataSummary* Summary() const { return summary_; }
  TcxCustomDataController* DataController() const;

  TcxSummaryEvent OnSummary;

 protected:
  void Update(TCollectionItem* AItem) override;
  // Applies ASetter to the item of that controller item and position,
  // adding one only for a non-empty value and freeing one left empty.
  void SetDataItemProperty(
      Integer AItemIndex, TcxSummaryPosition APosition, bool AValueIsEmpty,
      const std::function<void(TcxDataSummaryItem*)>& ASetter);

  TPersistent* owner_ = nullptr;

 private:
  TcxDataSummary* summary_;
};

class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
  VARNEL_CLASS(TcxDataFooterSummaryItems, TcxDataSummaryItems)
 public:
  using TcxDataSummaryItems::TcxDataSummaryItems;
  TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem*) const override {
    return spFooter;
  }
  bool IsPositionStored(const TcxDataSummaryItem*) const override {
    return false;
  }
};

class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
  VARNEL_CLASS(TcxDataGroupSummaryItems, TcxDataSummaryItems)
 public:
  // AOwner: the summary group that holds the items, or the summary.
  TcxDataGroupSummaryItems(TcxDataSummary* ASummary = nullptr,
                           TClass AItemClass = nullptr,
                           TPersistent* AOwner = nullptr);

  void BeforeSortingChange(TcxDataSummaryItem* AItem, bool ASorted) override;
  String GetGroupText(const Variant& AValues) override;
  void Assign(TPersistent* ASource) override;
  // The item groups are ordered by, or nil.
  TcxDataSummaryItem* SortedSummaryItem() const;

  const String& BeginText() const { return beginText_; }
  void SetBeginText(const String& AValue);
  const String& EndText() const { return endText_; }
  void SetEndText(const String& AValue);
  const String& Separator() const { return separator_; }
  void SetSeparator(const String& AValue);
  bool IsBeginTextStored() const { return beginText_ != DefaultBeginText; }
  bool IsEndTextStored() const { return endText_ != DefaultEndText; }
  bool IsSeparatorStored() const { return separator_ != DefaultSeparator; }
  void DefineProperties(TFiler* AFiler) override;

  static constexpr const char* DefaultBeginText = "(";
  static constexpr const char* DefaultEndText = ")";
  static constexpr const char* DefaultSeparator = ",";

 private:
  // Form streams leave empty strings out, which would bring the default
  // back on reading: an emptied text is written here instead.
  void WriteEmptyText(TWriter* AWriter);

  String beginText_ = DefaultBeginText;
  String endText_ = DefaultEndText;
  String separator_ = DefaultSeparator;
};

// ---------------------------------------------------------------------------
// Summary groups: grouping levels that use their own group summary items
// ---------------------------------------------------------------------------

// A client item whose grouping level uses the summary group holding it. A
// field belongs to at most one summary group.
class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
  VARNEL_CLASS(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryGroupItemLink(TCollection* ACollection = nullptr)
      : TcxCustomDataSummaryItem(ACollection) {}
  TcxCustomDataController* GetDataController() const override;
  void ItemLinkChanging(TcxCustomDataField* AField) override;
  TcxDataSummaryGroup* SummaryGroup() const;
};

class TcxDataSummaryGroupItemLinks : public cxDataUtils::TcxCollection {
  VARNEL_CLASS(TcxDataSummaryGroupItemLinks, cxDataUtils::TcxCollection)
 public:
  explicit TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* AGroup = nullptr);
  TcxDataSummaryGroupItemLink* Add() {
    return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Add());
  }
  TcxDataSummaryGroupItemLink* Items(Integer AIndex) const {
    return Item<TcxDataSummaryGroupItemLink>(AIndex);
  }
  TcxDataSummaryGroup* SummaryGroup() const { return group_; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TcxDataSummaryGroup* group_;
};

class TcxDataSummaryGroup : public TCollectionItem {
  VARNEL_CLASS(TcxDataSummaryGroup, TCollectionItem)
 public:
  explicit TcxDataSummaryGroup(TCollection* ACollection = nullptr);
  ~TcxDataSummaryGroup() override;

  // Created on first use.
  TcxDataSummaryGroupItemLinks* Links();
  TcxDataGroupSummaryItems* SummaryItems() const { return summaryItems_.get(); }
  TcxDataSummary* Summary() const;
  bool HasLinkToField(const TcxCustomDataField* AField) const;
  void Assign(TPersistent* ASource) override;

 private:
  TObjectPtr<TcxDataSummaryGroupItemLinks> links_;
  TObjectPtr<TcxDataGroupSummaryItems> summaryItems_;
};

class TcxDataSummaryGroups : public cxDataUtils::TcxCollection {
  VARNEL_CLASS(TcxDataSummaryGroups, cxDataUtils::TcxCollection)
 public:
  explicit TcxDataSummaryGroups(TcxDataSummary* ASummary = nullptr);
  TcxDataSummaryGroup* Add() {
    return static_cast<TcxDataSummaryGroup*>(TCollection::Add());
  }
  TcxDataSummaryGroup* Items(Integer AIndex) const {
    return Item<TcxDataSummaryGroup>(AIndex);
  }
  // The first group whose links contain ALink; nil for a nil link.
  TcxDataSummaryGroup* FindByItemLink(TObject* ALink) const;
  TcxDataSummaryGroup* FindByField(const TcxCustomDataField* AField) const;
  TcxDataSummary* Summary() const { return summary_; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TcxDataSummary* summary_;
};

// ---------------------------------------------------------------------------
// The summary
// ---------------------------------------------------------------------------

class TcxDataSummary : public TPersistent {
  VARNEL_CLASS(TcxDataSummary, TPersistent)
 public:
  explicit TcxDataSummary(TcxCustomDataController* ADataController = nullptr);
  ~TcxDataSummary() override;
  void BeforeDestruction() override;

  TcxCustomDataController* DataController() const { return dataController_; }
  TcxDataGroupSummaryItems* DefaultGroupSummaryItems() const {
    return defaultGroupSummaryItems_.get();
  }
  TcxDataFooterSummaryItems* FooterSummaryItems() const {
    return footerSummaryItems_.get();
  }
  TcxDataSummaryGroups* SummaryGroups() const { return summaryGroups_.get(); }
  TcxSummaryOptions Options() const { return options_; }
  // Of the two selected-record options only the one newly added is kept.
  void SetOptions(TcxSummaryOptions AValue);
  bool IsDestroying() const { return destroying_; }
  bool InAfterSummary() const { return inAfterSummary_; }

  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  virtual void Changed(bool AViewOnly);
  void Recalculate() { Changed(false); }

  // Values and texts. Out-of-range indexes give Null or an empty text;
  // setters ignore them.
  TcxDataGroupSummaryItems* GetGroupSummaryItems(Integer ALevel) const;
  bool GetGroupSummaryInfo(Integer ARowIndex, TcxDataGroupSummaryItems*& AItems,
                           const Variant*& AValues) const;
  // Nil for -1 and for indexes outside the group tree.
  const Variant* GetGroupSummaryValues(Integer ADataGroupIndex) const;
  Variant GetGroupSummaryValue(Integer ADataGroupIndex, Integer AIndex) const;
  Variant GetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel,
                                      Integer AIndex) const;
  void SetGroupSummaryValue(Integer ADataGroupIndex, Integer AIndex,
                            const Variant& AValue);
  void SetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel,
                                   Integer AIndex, const Variant& AValue);
  const Variant& FooterSummaryValues() const { return footerValues_; }
  Variant GetFooterSummaryValue(Integer AIndex) const;
  void SetFooterSummaryValue(Integer AIndex, const Variant& AValue);
  String GetFooterSummaryText(Integer AIndex) const;
  String GetGroupSummaryText(Integer ARowIndex) const;
  String GetGroupFooterSummaryText(Integer ARowIndex, Integer ALevel,
                                   Integer AIndex) const;
  Integer GetGroupFooterIndexOfItemLink(Integer ALevel,
                                        TObject* AItemLink) const;
  virtual bool IsValidSummaryValuesIndex(const Variant& AValues,
                                         Integer AIndex) const;
  virtual TClass GetSummaryItemClass() const;
  virtual TClass GetSummaryGroupItemLinkClass() const;
  TcxDataSummaryItems* GetPatternSummaryItems(
      TcxDataSummary* APatternSummary, TcxDataSummaryItems* AItems) const;
  void RemoveItemByField(TcxCustomDataField* AField);
  void Assign(TPersistent* ASource) override;
  virtual void AssignEvents(TPersistent* ASource);

  // The computation, run by the row list's update pass.
  virtual void BeginCalculate();
  virtual void EndCalculate();
  virtual void Calculate();
  virtual void CalculateFooterSummary();
  virtual void CalculateGroupSummary();
  virtual void DoAfterSummary();

  // The group tree was rebuilt in its natural order; group values are in
  // that order.
  void GroupsRegrouped() { groupOrder_.clear(); }
  // The groups were reordered: new data group i was old group ANewToOld[i].
  void GroupsReordered(const std::vector<Integer>& ANewToOld);

  TcxAfterSummaryEvent OnAfterSummary;

 protected:
  virtual void Update(bool AViewOnly);
  virtual Integer GetRecordIndex(Integer AListIndex);
  virtual void BeginCalculateSummary(TcxDataSummaryItems* AItems,
                                     TcxDataSummaryCountValues& ACounts,
                                     TcxDataSummaryValues& AValues);
  virtual void CalculateSummary(TcxDataSummaryItems* AItems,
                                Integer AFirstListIndex, Integer ALastListIndex,
                                TcxDataSummaryCountValues& ACounts,
                                TcxDataSummaryValues& AValues,
                                Variant& ASummaryValue);
  // Values that cannot be combined (text that is no number, kinds that do
  // not compare) make the item's value Null instead of aborting the pass.
  virtual void DoSummaryValue(TcxDataSummaryItem* AItem, Integer ARecordIndex,
                              Integer& ACount, Variant& AValue);
  virtual void DoFinishSummaryValue(TcxDataSummaryItem* AItem, Variant& AValue,
                                    Integer ACount);
  virtual void EndCalculateSummary(TcxDataSummaryItems* AItems,
                                   TcxDataSummaryCountValues& ACounts,
                                   Variant& ATarget,
                                   TcxDataSummaryValues& AValues);

 private:
  Variant* GroupValuesSlot(Integer ADataGroupIndex);
  void SetValueElement(Variant* AValues, Integer AIndex, const Variant& AValue);
  void PrepareSelectedRecords();
  bool IsSummaryForSelectedRecords() const;

  TcxCustomDataController* dataController_;
  TObjectPtr<TcxDataGroupSummaryItems> defaultGroupSummaryItems_;
  TObjectPtr<TcxDataFooterSummaryItems> footerSummaryItems_;
  TObjectPtr<TcxDataSummaryGroups> summaryGroups_;
  TcxSummaryOptions options_;
  Variant footerValues_;
  // Per group of the tree in the order the groups had when the values were
  // computed; groupOrder_ maps today's data group index to that position
  // (empty: the same order). Empty when no group summary item exists.
  std::vector<Variant> groupValues_;
  std::vector<Integer> groupOrder_;
  // Items whose values could not be combined in the current computation.
  std::vector<bool> failed_;
  // The records counted when the summary is restricted to selected ones.
  std::vector<bool> selectedRecords_;
  bool restrictToSelected_ = false;
  bool inAfterSummary_ = false;
  Integer lockCount_ = 0;
  bool settingCustomSummary_ = false;
  bool destroying_ = false;
};

// Orders the groups by a group summary. The base controller names no engine
// (GetSortingBySummaryEngineClass gives nil), so sorting by summary does
// nothing there; a controller that offers it supplies a subclass.
class TcxSortingBySummaryEngine : public TObject {
  VARNEL_CLASS(TcxSortingBySummaryEngine, TObject)
 public:
  TcxSortingBySummaryEngine() = default;
  virtual void Sort() = 0;
  TcxCustomDataControllerInfo* DataControllerInfo() const { return info_; }
  TcxCustomDataController* DataController() const;

 protected:
  // Reorders the child groups of every group, and the level-0 groups, by
  // ALess over data group indexes (ties keep their order). Records,
  // expanded states, selected groups and group summary values move with
  // their groups.
  void SortGroups(const std::function<bool(Integer, Integer)>& ALess);

 private:
  friend class TcxCustomDataController;
  TcxCustomDataControllerInfo* info_ = nullptr;
};
