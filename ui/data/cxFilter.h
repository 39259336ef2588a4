// Filter criteria: a tree of and/or/not lists whose leaves compare one data
// item with a value through an operator; its evaluation per record, its
// filter text and caption, its binary stream form, and the list of values a
// filter drop-down offers. Platform independent.
//
// The criteria does not know what an item link is: descendants map links to
// the identifiers and names of the stream and read a record's value.
#pragma once

#include <memory>
#include <typeinfo>
#include <vector>

#include "Classes.h"
#include "ScopeGuard.h"
#include "TypInfo.h"
#include "Variants.h"
#include "cxFilterConsts.h"
#include "cxLike.h"

enum TcxFilterOperatorKind : Byte {
  foEqual,
  foNotEqual,
  foLess,
  foLessEqual,
  foGreater,
  foGreaterEqual,
  foLike,
  foNotLike,
  foBetween,
  foNotBetween,
  foInList,
  foNotInList,
  foYesterday,
  foToday,
  foTomorrow,
  foLast7Days,
  foLastWeek,
  foLast14Days,
  foLastTwoWeeks,
  foLast30Days,
  foLastMonth,
  foLastYear,
  foInPast,
  foThisWeek,
  foThisMonth,
  foThisYear,
  foNext7Days,
  foNextWeek,
  foNext14Days,
  foNextTwoWeeks,
  foNext30Days,
  foNextMonth,
  foNextYear,
  foInFuture
};
using TcxFilterOperatorKinds = TSet<TcxFilterOperatorKind>;
inline constexpr Integer cxFilterOperatorKindCount = 34;

enum TcxFilterBoolOperatorKind : Byte { fboAnd, fboOr, fboNotAnd, fboNotOr };

enum TcxFilterCriteriaOption : Byte {
  fcoCaseInsensitive,
  fcoShowOperatorDescription,
  fcoSoftNull,
  fcoSoftCompare,
  fcoIgnoreNull
};
using TcxFilterCriteriaOptions = TSet<TcxFilterCriteriaOption>;

class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterValueList;
struct TcxFilterQuickTest;

// A record's value as its store keeps it, read without making a Variant:
// what a leaf hands to the criteria's quick tests. Never Null.
struct TcxFilterDirectValue {
  enum TKind : Byte { dvNone, dvInteger, dvFloat, dvString };
  TKind Kind = dvNone;
  Int64 AsInteger = 0;
  double AsFloat = 0;
  const String* AsString = nullptr;
};

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

// Whether the last-N-days ranges end with today and the next-N-days ranges
// begin with it.
extern bool cxFilterIncludeTodayInLastNextDaysList;

// The test of one leaf, with the words and value formats it contributes to
// captions and filter texts. Owned by its leaf.
class TcxFilterOperator : public TObject {
  VARNEL_CLASS(TcxFilterOperator, TObject)
 public:
  explicit TcxFilterOperator(TcxFilterCriteriaItem* ACriteriaItem)
      : criteriaItem_(ACriteriaItem) {}

  virtual String GetExpressionFilterText(const Variant& AValue);
  virtual String GetExpressionValue(const Variant& AValue);
  virtual void PrepareDisplayValue(String&) {}
  virtual void Prepare() {}
  virtual bool PrepareExpressionValue(const Variant&, String&) { return false; }
  // Told the leaf's prepared value each time it is prepared anew, before
  // the tests that compare against it; an operator may keep what it derives
  // from it for those tests.
  virtual void PrepareCompareValue(const Variant&) {}
  // Both values already prepared by the criteria.
  virtual bool CompareValues(const Variant& AValue1,
                             const Variant& AValue2) = 0;
  virtual String DisplayText() { return FilterText(); }
  virtual String FilterText() = 0;
  virtual bool IsDescription() { return false; }
  virtual bool IsExpression() { return false; }
  virtual bool IsNullOperator() { return false; }

  TcxFilterCriteriaItem* CriteriaItem() const { return criteriaItem_; }
  TcxFilterCriteria* Criteria() const;

 private:
  TcxFilterCriteriaItem* criteriaItem_;
};

class TcxFilterEqualOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterEqualOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "="; }
  bool IsExpression() override;
  String GetExpressionFilterText(const Variant& AValue) override;
};

class TcxFilterNotEqualOperator : public TcxFilterEqualOperator {
  VARNEL_CLASS(TcxFilterNotEqualOperator, TcxFilterEqualOperator)
 public:
  using TcxFilterEqualOperator::TcxFilterEqualOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "<>"; }
  String GetExpressionFilterText(const Variant& AValue) override;
};

class TcxFilterLessOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterLessOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "<"; }
};

class TcxFilterLessEqualOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterLessEqualOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "<="; }
};

class TcxFilterGreaterOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterGreaterOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return ">"; }
};

class TcxFilterGreaterEqualOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterGreaterEqualOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return ">="; }
};

class TcxFilterLikeOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterLikeOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "LIKE"; }
  void PrepareDisplayValue(String& AText) override;

 protected:
  cxLike::TcxFilterLikeOperator PatternKind();
};

class TcxFilterNotLikeOperator : public TcxFilterLikeOperator {
  VARNEL_CLASS(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
 public:
  using TcxFilterLikeOperator::TcxFilterLikeOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "NOT LIKE"; }
  bool IsExpression() override;
  String GetExpressionFilterText(const Variant& AValue) override;
};

class TcxFilterBetweenOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterBetweenOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "BETWEEN"; }
  bool IsDescription() override { return true; }
  bool IsExpression() override;
  String GetExpressionFilterText(const Variant& AValue) override;
  bool PrepareExpressionValue(const Variant& AValue, String& AText) override;
  void PrepareDisplayValue(String& AText) override;
  void PrepareCompareValue(const Variant& AValue) override;

 private:
  // The bounds of the prepared value they were taken from.
  const Variant* boundsOf_ = nullptr;
  Variant low_, high_;
};

class TcxFilterNotBetweenOperator : public TcxFilterBetweenOperator {
  VARNEL_CLASS(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
 public:
  using TcxFilterBetweenOperator::TcxFilterBetweenOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "NOT BETWEEN"; }
  String GetExpressionFilterText(const Variant& AValue) override;
};

class TcxFilterInListOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterInListOperator, TcxFilterOperator)
 public:
  using TcxFilterOperator::TcxFilterOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "IN"; }
  bool IsDescription() override { return true; }
  bool IsExpression() override;
  String GetExpressionFilterText(const Variant& AValue) override;
  bool PrepareExpressionValue(const Variant& AValue, String& AText) override;
  void PrepareDisplayValue(String& AText) override;
};

class TcxFilterNotInListOperator : public TcxFilterInListOperator {
  VARNEL_CLASS(TcxFilterNotInListOperator, TcxFilterInListOperator)
 public:
  using TcxFilterInListOperator::TcxFilterInListOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "NOT IN"; }
  String GetExpressionFilterText(const Variant& AValue) override;
};

// A blank test: what an equality or LIKE leaf becomes with a null value.
class TcxFilterNullOperator : public TcxFilterEqualOperator {
  VARNEL_CLASS(TcxFilterNullOperator, TcxFilterEqualOperator)
 public:
  using TcxFilterEqualOperator::TcxFilterEqualOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  bool IsNullOperator() override { return true; }
  void PrepareDisplayValue(String& AText) override;
};

class TcxFilterNotNullOperator : public TcxFilterNullOperator {
  VARNEL_CLASS(TcxFilterNotNullOperator, TcxFilterNullOperator)
 public:
  using TcxFilterNullOperator::TcxFilterNullOperator;
  bool CompareValues(const Variant& A, const Variant& B) override;
  String DisplayText() override;
  String FilterText() override { return "<>"; }
};

// A range relative to today: [lower, upper), 0 on a side leaves it open.
// The range follows the calendar: a test on another day than the one the
// bounds were computed for computes them again (the clock is cxNow of the
// date utilities, which tests can pin).
class TcxFilterDateOperator : public TcxFilterOperator {
  VARNEL_CLASS(TcxFilterDateOperator, TcxFilterOperator)
 public:
  explicit TcxFilterDateOperator(TcxFilterCriteriaItem* ACriteriaItem);
  bool CompareValues(const Variant& A, const Variant& B) override;
  String FilterText() override { return DisplayText(); }
  bool IsExpression() override { return true; }
  void PrepareDisplayValue(String& AText) override { AText.clear(); }
  String GetExpressionFilterText(const Variant& AValue) override;
  void Prepare() override;

  TDateTime LowerBound() const { return lower_; }
  TDateTime UpperBound() const { return upper_; }

 protected:
  // Sets both bounds for today ADate (midnight).
  virtual void CalculateBounds(TDateTime ADate) = 0;
  void SetBounds(TDateTime ALower, TDateTime AUpper) {
    lower_ = ALower;
    upper_ = AUpper;
  }

 private:
  void CheckToday();

  TDateTime lower_ = 0;
  TDateTime upper_ = 0;
  TDateTime preparedFor_ = -1;
  bool includeToday_ = true;
};

// Declares one date operator class with its bound rule and its words.
#define CX_FILTER_DATE_OPERATOR(Name)                   \
  class Name : public TcxFilterDateOperator {           \
    VARNEL_CLASS(Name, TcxFilterDateOperator)           \
   public:                                              \
    using TcxFilterDateOperator::TcxFilterDateOperator; \
    String DisplayText() override;                      \
                                                        \
   protected:                                           \
    void CalculateBounds(TDateTime ADate) override;     \
  };

CX_FILTER_DATE_OPERATOR(TcxFilterYesterdayOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterTodayOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterTomorrowOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterLastWeekOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterLastTwoWeeksOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterLastMonthOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterLastYearOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterInPastOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterThisWeekOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterThisMonthOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterThisYearOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterNextWeekOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterNextTwoWeeksOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterNextMonthOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterNextYearOperator)
CX_FILTER_DATE_OPERATOR(TcxFilterInFutureOperator)

class TcxFilterLastNDaysOperator : public TcxFilterDateOperator {
  VARNEL_CLASS(TcxFilterLastNDaysOperator, TcxFilterDateOperator)
 public:
  using TcxFilterDateOperator::TcxFilterDateOperator;
  virtual Integer DayCount() = 0;

 protected:
  void CalculateBounds(TDateTime ADate) override;
};

class TcxFilterNextNDaysOperator : public TcxFilterDateOperator {
  VARNEL_CLASS(TcxFilterNextNDaysOperator, TcxFilterDateOperator)
 public:
  using TcxFilterDateOperator::TcxFilterDateOperator;
  virtual Integer DayCount() = 0;

 protected:
  void CalculateBounds(TDateTime ADate) override;
};

#define CX_FILTER_NDAYS_OPERATOR(Name, Parent, Count) \
  class Name : public Parent {                        \
    VARNEL_CLASS(Name, Parent)                        \
   public:                                            \
    using Parent::Parent;                             \
    Integer DayCount() override { return Count; }     \
    String DisplayText() override;                    \
  };

CX_FILTER_NDAYS_OPERATOR(TcxFilterLast7DaysOperator, TcxFilterLastNDaysOperator,
                         7)
CX_FILTER_NDAYS_OPERATOR(TcxFilterLast14DaysOperator,
                         TcxFilterLastNDaysOperator, 14)
CX_FILTER_NDAYS_OPERATOR(TcxFilterLast30DaysOperator,
                         TcxFilterLastNDaysOperator, 30)
CX_FILTER_NDAYS_OPERATOR(TcxFilterNext7DaysOperator, TcxFilterNextNDaysOperator,
                         7)
CX_FILTER_NDAYS_OPERATOR(TcxFilterNext14DaysOperator,
                         TcxFilterNextNDaysOperator, 14)
CX_FILTER_NDAYS_OPERATOR(TcxFilterNext30DaysOperator,
                         TcxFilterNextNDaysOperator, 30)

#undef CX_FILTER_DATE_OPERATOR
#undef CX_FILTER_NDAYS_OPERATOR

// The operator object for a kind (the blank tests come from the leaf, which
// knows whether its value is null).
TObjectPtr<TcxFilterOperator> cxCreateFilterOperator(
    TcxFilterOperatorKind AKind, TcxFilterCriteriaItem* AItem);

// ---------------------------------------------------------------------------
// The tree
// ---------------------------------------------------------------------------

class TcxCustomFilterCriteriaItem : public TObject {
  VARNEL_CLASS(TcxCustomFilterCriteriaItem, TObject)
 public:
  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* AParent);
  // Takes the item out of its parent.
  ~TcxCustomFilterCriteriaItem() override;

  virtual void Changed();
  virtual TcxFilterCriteria* GetCriteria() const;
  virtual bool GetIsItemList() const = 0;

  TcxFilterCriteria* Criteria() const { return GetCriteria(); }
  bool IsItemList() const { return GetIsItemList(); }
  TcxFilterCriteriaItemList* Parent() const { return parent_; }

 private:
  friend class TcxFilterCriteriaItemList;
  friend class TcxFilterCriteria;
  TcxFilterCriteriaItemList* parent_;
};

// A node: joins its children with and, or, not and, not or. Owns them.
class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
  VARNEL_CLASS(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)
 public:
  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* AParent,
                            TcxFilterBoolOperatorKind ABoolOperatorKind);
  ~TcxFilterCriteriaItemList() override;

  bool GetIsItemList() const override { return true; }
  TcxFilterCriteria* GetCriteria() const override;
  // Takes AItem out (not freed); Changed only when it was a child.
  virtual void RemoveItem(TcxCustomFilterCriteriaItem* AItem);

  // The new child, which the list owns.
  TcxFilterCriteriaItem* AddItem(TObject* AItemLink,
                                 TcxFilterOperatorKind AOperatorKind,
                                 const Variant& AValue,
                                 const String& ADisplayValue);
  TcxFilterCriteriaItemList* AddItemList(
      TcxFilterBoolOperatorKind ABoolOperatorKind);
  void Clear();
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Null for an index out of range.
  TcxCustomFilterCriteriaItem* Items(Integer AIndex) const;
  TcxFilterBoolOperatorKind BoolOperatorKind() const { return boolOperator_; }
  void SetBoolOperatorKind(TcxFilterBoolOperatorKind AValue);

 private:
  friend class TcxFilterCriteria;
  // The list owns AItem from now on.
  void Append(TcxCustomFilterCriteriaItem* AItem);

  TcxFilterBoolOperatorKind boolOperator_;
  TcxFilterCriteria* criteria_ = nullptr;  // the root's only
  // Children leave it themselves when they are freed.
  TOwningList<TcxCustomFilterCriteriaItem> items_;
};

// A leaf: the item link's value against Value through the operator.
class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
  VARNEL_CLASS(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)
 public:
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                        TcxFilterOperatorKind AOperatorKind,
                        const Variant& AValue, const String& ADisplayValue);
  ~TcxFilterCriteriaItem() override;

  bool GetIsItemList() const override { return false; }
  // The record's value of the item link; AData is what DoFilterData got.
  // Null here.
  virtual Variant GetDataValue(const void* AData);
  virtual String GetDisplayValue();
  virtual String GetExpressionValue(bool AIsDisplay);
  virtual String GetFieldCaption() { return String(); }
  virtual String GetFieldName() { return String(); }
  virtual TObjectPtr<TcxFilterOperator> CreateFilterOperator();
  virtual TObject* GetItemLink() { return itemLink_; }
  virtual void SetItemLink(TObject* AValue) { itemLink_ = AValue; }
  void RecreateOperator();
  bool ValueIsNull(const Variant& AValue) const;
  // Whether GetDirectDataValue may stand in for GetDataValue; asked once
  // each time the leaf is prepared. No by default.
  virtual bool CanGetDirectDataValue() { return false; }
  // The record's value as GetDataValue would give it, when it is not Null
  // and can be read without a Variant; false sends the record through
  // GetDataValue.
  virtual bool GetDirectDataValue(const void*, TcxFilterDirectValue&) {
    return false;
  }
  // GetDirectDataValue for many records at once, where a record's data is
  // its index; a value that must go through GetDataValue gets dvNone.
  virtual void GetDirectDataValues(const Integer* ARecords, Integer ACount,
                                   TcxFilterDirectValue* AValues);

  const String& DisplayValue() const { return displayValue_; }
  void SetDisplayValue(const String& AValue);
  TObject* ItemLink() { return GetItemLink(); }
  TcxFilterOperator* Operator() const { return operator_.get(); }
  TcxFilterOperatorKind OperatorKind() const { return operatorKind_; }
  void SetOperatorKind(TcxFilterOperatorKind AValue);
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& AValue);

 protected:
  TObject* StoredItemLink() const { return itemLink_; }

 private:
  friend class TcxFilterCriteria;
  void ApplyBlankDisplayRule();

  String displayValue_;
  TObject* itemLink_ = nullptr;
  TObjectPtr<TcxFilterOperator> operator_;
  TcxFilterOperatorKind operatorKind_;
  Variant value_;
  // Value as the criteria prepares it, valid while preparedStamp_ matches
  // the criteria's change count.
  Variant preparedValue_;
  UInt64 preparedStamp_ = 0;
  // Built with the prepared value; null when only the general path knows
  // how to test this leaf.
  std::unique_ptr<TcxFilterQuickTest> quick_;
};

// ---------------------------------------------------------------------------
// The criteria
// ---------------------------------------------------------------------------

class TcxFilterCriteria : public TPersistent {
  VARNEL_CLASS(TcxFilterCriteria, TPersistent)
 public:
  TcxFilterCriteria();
  ~TcxFilterCriteria() override;

  // Texts (filter text: an expression with field names; caption: a readable
  // sentence with field captions and the user's display values).
  virtual String ConvertBoolToStr(const Variant& AValue);
  virtual String ConvertDateToStr(const Variant& AValue);
  virtual void FormatFilterTextValue(TcxFilterCriteriaItem*, const Variant&,
                                     String&) {}
  virtual String GetFilterCaption() { return GetFilterExpression(true); }
  virtual String GetFilterExpression(bool AIsDisplay);
  virtual String GetFilterText() { return GetFilterExpression(false); }
  virtual String GetItemExpression(TcxFilterCriteriaItem* AItem,
                                   bool AIsDisplay);
  virtual String GetItemExpressionFieldName(TcxFilterCriteriaItem* AItem,
                                            bool AIsDisplay);
  virtual String GetItemExpressionOperator(TcxFilterCriteriaItem* AItem,
                                           bool AIsDisplay);
  virtual String GetItemExpressionValue(TcxFilterCriteriaItem* AItem,
                                        bool AIsDisplay);
  virtual void SetFilterText(const String&) {}

  // Item links in the stream; a descendant supplies them. The defaults know
  // no links.
  virtual Integer GetIDByItemLink(TObject*) { return -1; }
  virtual String GetNameByItemLink(TObject*) { return String(); }
  virtual TObject* GetItemLinkByID(Integer) { return nullptr; }
  virtual TObject* GetItemLinkByName(const String&) { return nullptr; }

  // The node classes of the tree and of the value list.
  virtual TObjectPtr<TcxFilterCriteriaItem> CreateItem(
      TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
      TcxFilterOperatorKind AKind, const Variant& AValue,
      const String& ADisplayValue);
  virtual TObjectPtr<TcxFilterCriteriaItemList> CreateItemList(
      TcxFilterCriteriaItemList* AParent, TcxFilterBoolOperatorKind AKind);
  virtual TObjectPtr<TcxFilterValueList> CreateValueList();

  // Evaluation.
  virtual void Prepare();
  // In place: currency becomes a double, texts are upper-cased under
  // fcoCaseInsensitive, array elements are prepared one by one.
  virtual void PrepareValue(Variant& AValue);
  virtual void Update();
  bool DoFilterData(const void* AData);
  // Appends to AKept, in their order, the records of ARecords (indexes, as
  // DoFilterData takes them) the tree accepts, and AKeep untested. Leaves
  // are tested a batch of records at a time on direct values; a record some
  // leaf cannot decide so goes through DoFilterData. False, with nothing
  // appended, when some leaf has no test on direct values: the caller then
  // filters record by record.
  bool FilterRecords(const std::vector<Integer>& ARecords, Integer AKeep,
                     std::vector<Integer>& AKept);
  virtual bool ValueIsNull(const Variant& AValue) const;

  // Changes.
  void BeginUpdate() { ++lockCount_; }
  void EndUpdate();
  void CancelUpdate();
  // BeginUpdate now, EndUpdate when the scope is left.
  [[nodiscard]] auto UpdateScope() {
    return MakeBracket(this, &TcxFilterCriteria::BeginUpdate,
                       &TcxFilterCriteria::EndUpdate);
  }
  virtual void Changed();
  bool IsUpdating() const { return lockCount_ > 0; }

  // Tree operations.
  TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* AParent,
                                 TObject* AItemLink,
                                 TcxFilterOperatorKind AKind,
                                 const Variant& AValue,
                                 const String& ADisplayValue);
  void Clear();
  bool IsEmpty() const { return root_->Count() == 0; }
  bool IsStore() const {
    return root_->BoolOperatorKind() != fboAnd || root_->Count() > 0;
  }
  void Refresh();
  virtual TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink);
  void RemoveItemByItemLink(TObject* AItemLink);

  // Copying and comparing.
  bool EqualItems(TcxFilterCriteria* AOther);
  virtual void AssignItems(TcxFilterCriteria* ASource,
                           bool AIgnoreItemNames = false);
  // Settings, tree and events of another criteria. The one-argument Assign
  // of TPersistent stays as it is.
  using TPersistent::Assign;
  virtual void Assign(TcxFilterCriteria* ASource, bool AIgnoreItemNames);
  virtual void AssignEvents(TPersistent* ASource);
  virtual void RestoreDefaults();

  // The binary stream form. ReadData reads the whole tree aside first: a
  // truncated or corrupt stream raises EReadError and leaves the criteria
  // as it was.
  virtual void ReadData(TStream* AStream);
  virtual void WriteData(TStream* AStream, Byte AVersionCap = 0);
  // The published settings (and whatever a descendant files itself, such
  // as the tree) as a component stream.
  void SaveToStream(TStream* AStream);
  void LoadFromStream(TStream* AStream);

  // Settings.
  const String& DateTimeFormat() const { return dateTimeFormat_; }
  void SetDateTimeFormat(const String& AValue);
  Integer MaxValueListCount() const { return maxValueListCount_; }
  void SetMaxValueListCount(Integer AValue) { maxValueListCount_ = AValue; }
  TcxFilterCriteriaOptions Options() const { return options_; }
  void SetOptions(TcxFilterCriteriaOptions AValue);
  char PercentWildcard() const { return percentWildcard_; }
  void SetPercentWildcard(char AValue);
  char UnderscoreWildcard() const { return underscoreWildcard_; }
  void SetUnderscoreWildcard(char AValue);
  bool StoreItemLinkNames() const { return version_ > 2; }
  void SetStoreItemLinkNames(bool AValue) { version_ = AValue ? 3 : 2; }
  Byte Version() const { return version_; }
  Byte LoadedVersion() const { return loadedVersion_; }
  Byte SavedVersion() const { return savedVersion_; }
  TcxFilterCriteriaItemList* Root() const { return root_.get(); }
  String FilterText() { return GetFilterText(); }
  String FilterCaption() { return GetFilterCaption(); }

  bool LikeAllowed = true;
  bool BetweenAsExpression = false;
  bool NotLikeAsExpression = false;
  bool InListAsExpression = false;
  TNotifyEvent OnChanged;

 protected:
  // The class whose ValueIsNull and PrepareValue are this unit's own: leaves
  // are tested without Variants only in a criteria of exactly that class. A
  // descendant that overrides neither names itself here.
  const std::type_info* quickTestClass_ = &typeid(TcxFilterCriteria);

 private:
  friend class TcxFilterCriteriaItem;
  bool EvaluateList(TcxFilterCriteriaItemList* AList, const void* AData);
  bool EvaluateItem(TcxFilterCriteriaItem* AItem, const void* AData);
  // The general path: the record's value as a Variant.
  bool EvaluateItemValue(TcxFilterCriteriaItem* AItem, const void* AData);
  // Batches: AResults gets each record's result, AUnsure is set for the
  // records some leaf could not decide on its direct value.
  bool QuickThroughout(TcxFilterCriteriaItemList* AList);
  void EvaluateListBatch(TcxFilterCriteriaItemList* AList,
                         const Integer* ARecords, Integer ACount,
                         Byte* AResults, Byte* AUnsure,
                         TcxFilterDirectValue* AValues);
  void EvaluateItemBatch(TcxFilterCriteriaItem* AItem, const Integer* ARecords,
                         Integer ACount, Byte* AResults, Byte* AUnsure,
                         TcxFilterDirectValue* AValues);
  String ListExpression(TcxFilterCriteriaItemList* AList, bool AIsDisplay);
  void CheckChanges();
  void Tidy(TcxFilterCriteriaItemList* AList);
  void WriteList(TStream* AStream, TcxFilterCriteriaItemList* AList);
  TObject* ResolveItemLink(const String& AName, Integer AID);
  void PrepareItem(TcxFilterCriteriaItem* AItem);
  bool QuickTestsAllowed() const { return typeid(*this) == *quickTestClass_; }

  bool changed_ = false;
  UInt64 changeCount_ = 1;
  bool destroying_ = false;
  String dateTimeFormat_;
  Byte loadedVersion_ = 0;
  Integer lockCount_ = 0;
  Integer maxValueListCount_ = 0;
  TcxFilterCriteriaOptions options_;
  char percentWildcard_ = '%';
  TObjectPtr<TcxFilterCriteriaItemList> root_;
  Byte savedVersion_ = 0;
  char underscoreWildcard_ = '_';
  Byte version_ = 2;
};

// The version a stream identifier stands for, and back.
Byte FilterVersionByID(Integer AID);
Integer FilterVersionIDByVersion(Byte AVersion);

// Pieces of ";"-separated display values, and the texts of array values.
String ExtractFilterDisplayValue(const String& AText, Integer& APos);
String VarBetweenArrayToStr(const Variant& AValue);
String VarListArrayToStr(const Variant& AValue);

// ---------------------------------------------------------------------------
// Value list of a filter drop-down
// ---------------------------------------------------------------------------

enum TcxFilterValueItemKind : Byte {
  fviAll,
  fviCustom,
  fviBlanks,
  fviNonBlanks,
  fviUser,
  fviValue,
  fviMRU,
  fviMRUSeparator,
  fviSpecial
};

struct TcxFilterValueItem {
  TcxFilterValueItemKind Kind;
  Variant Value;
  String DisplayText;
};

// The MRU block (closed by a separator), then the special entries in the
// order they came, then the distinct values in order.
class TcxFilterValueList : public TObject {
  VARNEL_CLASS(TcxFilterValueList, TObject)
 public:
  explicit TcxFilterValueList(TcxFilterCriteria* ACriteria)
      : criteria_(ACriteria) {}

  virtual Integer CompareItem(Integer AIndex, const Variant& AValue,
                              const String& ADisplayText);
  virtual void Add(TcxFilterValueItemKind AKind, const Variant& AValue,
                   const String& ADisplayText, bool AIsAppending = false);
  virtual void Clear() { items_.clear(); }
  virtual bool Find(const Variant& AValue, const String& ADisplayText,
                    Integer& AIndex);
  virtual Integer GetIndexByCriteriaItem(TcxFilterCriteriaItem* AItem);

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  const TcxFilterValueItem& Items(Integer AIndex) const {
    return items_.at(AIndex);
  }
  Integer MaxCount() const { return criteria_->MaxValueListCount(); }
  Integer MRUSeparatorIndex() const;
  Integer StartValueIndex() const;
  void Delete(Integer AIndex);
  Integer FindItemByKind(TcxFilterValueItemKind AKind,
                         const Variant& AValue) const;
  Integer FindItemByKind(TcxFilterValueItemKind AKind) const {
    return FindItemByKind(AKind, Null());
  }
  Integer FindItemByValue(const Variant& AValue);
  TcxFilterCriteria* Criteria() const { return criteria_; }
  bool SortByDisplayText = false;

 private:
  void Insert(Integer AIndex, TcxFilterValueItemKind AKind,
              const Variant& AValue, const String& ADisplayText);

  TcxFilterCriteria* criteria_;
  std::vector<TcxFilterValueItem> items_;
};
