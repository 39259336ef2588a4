#include "cxFilter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "FormStreams.h"
#include "Platform.h"
#include "ScopeGuard.h"
#include "SysConst.h"
#include "SysUtils.h"
#include "cxDataUtils.h"
#include "cxDateUtils.h"
#include "cxVariants.h"

bool cxFilterIncludeTodayInLastNextDaysList = true;

namespace {

// Deeper trees than this are not something a user builds; a stream that
// claims one is corrupt, and refusing it keeps the recursion bounded.
constexpr Integer MaxFilterStreamDepth = 256;

[[noreturn]] void FilterStreamError() { throw EReadError(SReadError); }

String FilterValueToText(const Variant& AValue) {
  if (VarIsNull(AValue)) return cxSFilterString(cxSFilterBlankCaption);
  return VarToStr(AValue);
}

Integer ArrayLow(const Variant& A) { return VarArrayLowBound(A, 1); }
Integer ArrayHigh(const Variant& A) { return VarArrayHighBound(A, 1); }
Variant ArrayItem(const Variant& A, Integer AIndex) {
  return VarArrayGet(A, {AIndex});
}

TDateTime FirstOfMonth(Integer AYear, Integer AMonth) {
  while (AMonth > 12) {
    AMonth -= 12;
    ++AYear;
  }
  while (AMonth < 1) {
    AMonth += 12;
    --AYear;
  }
  return EncodeDate(static_cast<Word>(AYear), static_cast<Word>(AMonth), 1);
}

void DecodeYearMonth(TDateTime ADate, Integer& AYear, Integer& AMonth) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  AYear = y;
  AMonth = m;
}

TDateTime WeekStart(TDateTime ADate) {
  return cxDataUtils::GetStartDateOfWeek(ADate);
}

}  // namespace

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

TcxFilterCriteria* TcxFilterOperator::Criteria() const {
  return criteriaItem_->Criteria();
}

String TcxFilterOperator::GetExpressionFilterText(const Variant& AValue) {
  return GetExpressionValue(AValue);
}

String TcxFilterOperator::GetExpressionValue(const Variant& AValue) {
  String text;
  if (PrepareExpressionValue(AValue, text)) return text;
  if (VarIsStr(AValue)) {
    text = QuotedStr(VarToStr(AValue));
  } else if (VarIsDate(AValue)) {
    text = "'" + Criteria()->ConvertDateToStr(AValue) + "'";
  } else if (VarType(AValue) == varBoolean) {
    text = Criteria()->ConvertBoolToStr(AValue);
  } else if (VarIsNull(AValue)) {
    text = "NULL";
  } else {
    text = VarToStr(AValue);
  }
  Criteria()->FormatFilterTextValue(criteriaItem_, AValue, text);
  return text;
}

bool TcxFilterEqualOperator::CompareValues(const Variant& A, const Variant& B) {
  return VarCompare(A, B) == 0;
}
String TcxFilterEqualOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorEqual);
}
bool TcxFilterEqualOperator::IsExpression() {
  return VarIsArray(CriteriaItem()->Value());
}

// A multi-field key: one equality per name of the ";"-separated field name.
String TcxFilterEqualOperator::GetExpressionFilterText(const Variant& AValue) {
  if (!VarIsArray(AValue))
    return TcxFilterOperator::GetExpressionFilterText(AValue);
  String names = CriteriaItem()->GetFieldName();
  Integer pos = 1;
  String result;
  for (Integer i = ArrayLow(AValue); i <= ArrayHigh(AValue); ++i) {
    String name = ExtractFilterDisplayValue(names, pos);
    if (!result.empty()) result += " AND ";
    result +=
        "(" + name + " = " + GetExpressionValue(ArrayItem(AValue, i)) + ")";
  }
  return result;
}

bool TcxFilterNotEqualOperator::CompareValues(const Variant& A,
                                              const Variant& B) {
  return !TcxFilterEqualOperator::CompareValues(A, B);
}
String TcxFilterNotEqualOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorNotEqual);
}
String TcxFilterNotEqualOperator::GetExpressionFilterText(
    const Variant& AValue) {
  return "NOT (" + TcxFilterEqualOperator::GetExpressionFilterText(AValue) +
         ")";
}

bool TcxFilterLessOperator::CompareValues(const Variant& A, const Variant& B) {
  return VarCompare(A, B) < 0;
}
String TcxFilterLessOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorLess);
}
bool TcxFilterLessEqualOperator::CompareValues(const Variant& A,
                                               const Variant& B) {
  return VarCompare(A, B) <= 0;
}
String TcxFilterLessEqualOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorLessEqual);
}
bool TcxFilterGreaterOperator::CompareValues(const Variant& A,
                                             const Variant& B) {
  return VarCompare(A, B) > 0;
}
String TcxFilterGreaterOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorGreater);
}
bool TcxFilterGreaterEqualOperator::CompareValues(const Variant& A,
                                                  const Variant& B) {
  return VarCompare(A, B) >= 0;
}
String TcxFilterGreaterEqualOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorGreaterEqual);
}

bool TcxFilterLikeOperator::CompareValues(const Variant& A, const Variant& B) {
  TcxFilterCriteria* criteria = Criteria();
  String text = VarToStr(A);
  String pattern = B.AsString();
  return LikeMatchChars(text.data(), static_cast<Integer>(text.size()),
                        pattern.data(), 0, criteria->UnderscoreWildcard(),
                        criteria->PercentWildcard(),
                        static_cast<Integer>(pattern.size()));
}

cxLike::TcxFilterLikeOperator TcxFilterLikeOperator::PatternKind() {
  String pattern = VarToStr(CriteriaItem()->Value());
  return LikeOperatorByPattern(pattern, Criteria()->PercentWildcard());
}

String TcxFilterLikeOperator::DisplayText() {
  switch (PatternKind()) {
    case cxLike::floBeginsWith:
      return cxSFilterString(cxSFilterOperatorBeginsWith);
    case cxLike::floEndsWith:
      return cxSFilterString(cxSFilterOperatorEndsWith);
    case cxLike::floContains:
      return cxSFilterString(cxSFilterOperatorContains);
    default:
      return cxSFilterString(cxSFilterOperatorLike);
  }
}

void TcxFilterLikeOperator::PrepareDisplayValue(String& AText) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription))
    LikeOperatorByPattern(AText, Criteria()->PercentWildcard());
}

bool TcxFilterNotLikeOperator::CompareValues(const Variant& A,
                                             const Variant& B) {
  return !TcxFilterLikeOperator::CompareValues(A, B);
}
String TcxFilterNotLikeOperator::DisplayText() {
  switch (PatternKind()) {
    case cxLike::floBeginsWith:
      return cxSFilterString(cxSFilterOperatorDoesNotBeginWith);
    case cxLike::floEndsWith:
      return cxSFilterString(cxSFilterOperatorDoesNotEndWith);
    case cxLike::floContains:
      return cxSFilterString(cxSFilterOperatorDoesNotContain);
    default:
      return cxSFilterString(cxSFilterOperatorNotLike);
  }
}
bool TcxFilterNotLikeOperator::IsExpression() {
  return Criteria()->NotLikeAsExpression;
}
String TcxFilterNotLikeOperator::GetExpressionFilterText(
    const Variant& AValue) {
  return " NOT (" + CriteriaItem()->GetFieldName() + " LIKE " +
         GetExpressionValue(AValue) + ")";
}

bool TcxFilterBetweenOperator::CompareValues(const Variant& A,
                                             const Variant& B) {
  if (&B == boundsOf_)
    return VarCompare(low_, A) <= 0 && VarCompare(A, high_) <= 0;
  return VarCompare(ArrayItem(B, 0), A) <= 0 &&
         VarCompare(A, ArrayItem(B, 1)) <= 0;
}

void TcxFilterBetweenOperator::PrepareCompareValue(const Variant& AValue) {
  boundsOf_ = nullptr;
  if (VarArrayDimCount(AValue) != 1 || ArrayLow(AValue) != 0 ||
      ArrayHigh(AValue) < 1)
    return;
  low_ = ArrayItem(AValue, 0);
  high_ = ArrayItem(AValue, 1);
  boundsOf_ = &AValue;
}
String TcxFilterBetweenOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorBetween);
}
bool TcxFilterBetweenOperator::IsExpression() {
  return Criteria()->BetweenAsExpression;
}
String TcxFilterBetweenOperator::GetExpressionFilterText(
    const Variant& AValue) {
  String name = CriteriaItem()->GetFieldName();
  return "(" + name + " >= " + GetExpressionValue(ArrayItem(AValue, 0)) +
         ") AND (" + name + " <= " + GetExpressionValue(ArrayItem(AValue, 1)) +
         ")";
}
bool TcxFilterBetweenOperator::PrepareExpressionValue(const Variant& AValue,
                                                      String& AText) {
  if (!VarIsArray(AValue)) return false;
  AText = GetExpressionValue(ArrayItem(AValue, 0)) + " AND " +
          GetExpressionValue(ArrayItem(AValue, 1));
  return true;
}
void TcxFilterBetweenOperator::PrepareDisplayValue(String& AText) {
  Integer pos = 1;
  String first = ExtractFilterDisplayValue(AText, pos);
  String second = ExtractFilterDisplayValue(AText, pos);
  AText = VarBetweenArrayToStr(VarBetweenArrayCreate(first, second));
}

bool TcxFilterNotBetweenOperator::CompareValues(const Variant& A,
                                                const Variant& B) {
  return !TcxFilterBetweenOperator::CompareValues(A, B);
}
String TcxFilterNotBetweenOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorNotBetween);
}
String TcxFilterNotBetweenOperator::GetExpressionFilterText(
    const Variant& AValue) {
  return "NOT (" + TcxFilterBetweenOperator::GetExpressionFilterText(AValue) +
         ")";
}

bool TcxFilterInListOperator::CompareValues(const Variant& A,
                                            const Variant& B) {
  for (Integer i = ArrayLow(B); i <= ArrayHigh(B); ++i)
    if (A == ArrayItem(B, i)) return true;
  return false;
}
String TcxFilterInListOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorInList);
}
bool TcxFilterInListOperator::IsExpression() {
  return Criteria()->InListAsExpression;
}
String TcxFilterInListOperator::GetExpressionFilterText(const Variant& AValue) {
  String name = CriteriaItem()->GetFieldName();
  String result;
  for (Integer i = ArrayLow(AValue); i <= ArrayHigh(AValue); ++i) {
    if (!result.empty()) result += " OR ";
    result +=
        "(" + name + " = " + GetExpressionValue(ArrayItem(AValue, i)) + ")";
  }
  return result;
}
bool TcxFilterInListOperator::PrepareExpressionValue(const Variant& AValue,
                                                     String& AText) {
  if (!VarIsArray(AValue)) return false;
  AText = "(";
  for (Integer i = ArrayLow(AValue); i <= ArrayHigh(AValue); ++i) {
    if (i > ArrayLow(AValue)) AText += ", ";
    AText += GetExpressionValue(ArrayItem(AValue, i));
  }
  AText += ")";
  return true;
}
// An empty display value shows an empty list rather than failing.
void TcxFilterInListOperator::PrepareDisplayValue(String& AText) {
  std::vector<Variant> pieces;
  Integer pos = 1;
  while (pos <= static_cast<Integer>(AText.size()))
    pieces.emplace_back(ExtractFilterDisplayValue(AText, pos));
  AText = pieces.empty() ? String("()") : VarListArrayToStr(VarArrayOf(pieces));
}

bool TcxFilterNotInListOperator::CompareValues(const Variant& A,
                                               const Variant& B) {
  return !TcxFilterInListOperator::CompareValues(A, B);
}
String TcxFilterNotInListOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorNotInList);
}
String TcxFilterNotInListOperator::GetExpressionFilterText(
    const Variant& AValue) {
  return "NOT (" + TcxFilterInListOperator::GetExpressionFilterText(AValue) +
         ")";
}

bool TcxFilterNullOperator::CompareValues(const Variant& A, const Variant&) {
  return CriteriaItem()->ValueIsNull(A);
}
String TcxFilterNullOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorIsNull);
}
void TcxFilterNullOperator::PrepareDisplayValue(String& AText) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription)) AText.clear();
}

bool TcxFilterNotNullOperator::CompareValues(const Variant& A,
                                             const Variant& B) {
  return !TcxFilterNullOperator::CompareValues(A, B);
}
String TcxFilterNotNullOperator::DisplayText() {
  return cxSFilterString(cxSFilterOperatorIsNotNull);
}

// Date operators.

TcxFilterDateOperator::TcxFilterDateOperator(
    TcxFilterCriteriaItem* ACriteriaItem)
    : TcxFilterOperator(ACriteriaItem) {}

void TcxFilterDateOperator::Prepare() {
  preparedFor_ = -1;
  CheckToday();
}

void TcxFilterDateOperator::CheckToday() {
  TDateTime today = std::floor(cxNow());
  if (today == preparedFor_ &&
      includeToday_ == cxFilterIncludeTodayInLastNextDaysList)
    return;
  includeToday_ = cxFilterIncludeTodayInLastNextDaysList;
  CalculateBounds(today);
  preparedFor_ = today;
}

bool TcxFilterDateOperator::CompareValues(const Variant& A, const Variant&) {
  if (CriteriaItem()->ValueIsNull(A)) return false;
  CheckToday();
  if (lower_ != 0 && A < Variant::FromDateTime(lower_)) return false;
  if (upper_ != 0 && !(A < Variant::FromDateTime(upper_))) return false;
  return true;
}

String TcxFilterDateOperator::GetExpressionFilterText(const Variant&) {
  CheckToday();
  String name = CriteriaItem()->GetFieldName();
  String result;
  if (lower_ != 0)
    result = "(" + name +
             " >= " + GetExpressionValue(Variant::FromDateTime(lower_)) + ")";
  if (upper_ != 0) {
    if (!result.empty()) result += " AND ";
    result += "(" + name + " < " +
              GetExpressionValue(Variant::FromDateTime(upper_)) + ")";
  }
  return result;
}

#define CX_DATE_OPERATOR_TEXT(Name, ResString) \
  String Name::DisplayText() { return cxSFilterString(ResString); }

CX_DATE_OPERATOR_TEXT(TcxFilterYesterdayOperator, cxSFilterOperatorYesterday)
CX_DATE_OPERATOR_TEXT(TcxFilterTodayOperator, cxSFilterOperatorToday)
CX_DATE_OPERATOR_TEXT(TcxFilterTomorrowOperator, cxSFilterOperatorTomorrow)
CX_DATE_OPERATOR_TEXT(TcxFilterLast7DaysOperator, cxSFilterOperatorLast7Days)
CX_DATE_OPERATOR_TEXT(TcxFilterLastWeekOperator, cxSFilterOperatorLastWeek)
CX_DATE_OPERATOR_TEXT(TcxFilterLast14DaysOperator, cxSFilterOperatorLast14Days)
CX_DATE_OPERATOR_TEXT(TcxFilterLastTwoWeeksOperator,
                      cxSFilterOperatorLastTwoWeeks)
CX_DATE_OPERATOR_TEXT(TcxFilterLast30DaysOperator, cxSFilterOperatorLast30Days)
CX_DATE_OPERATOR_TEXT(TcxFilterLastMonthOperator, cxSFilterOperatorLastMonth)
CX_DATE_OPERATOR_TEXT(TcxFilterLastYearOperator, cxSFilterOperatorLastYear)
CX_DATE_OPERATOR_TEXT(TcxFilterInPastOperator, cxSFilterOperatorPast)
CX_DATE_OPERATOR_TEXT(TcxFilterThisWeekOperator, cxSFilterOperatorThisWeek)
CX_DATE_OPERATOR_TEXT(TcxFilterThisMonthOperator, cxSFilterOperatorThisMonth)
CX_DATE_OPERATOR_TEXT(TcxFilterThisYearOperator, cxSFilterOperatorThisYear)
CX_DATE_OPERATOR_TEXT(TcxFilterNext7DaysOperator, cxSFilterOperatorNext7Days)
CX_DATE_OPERATOR_TEXT(TcxFilterNextWeekOperator, cxSFilterOperatorNextWeek)
CX_DATE_OPERATOR_TEXT(TcxFilterNext14DaysOperator, cxSFilterOperatorNext14Days)
CX_DATE_OPERATOR_TEXT(TcxFilterNextTwoWeeksOperator,
                      cxSFilterOperatorNextTwoWeeks)
CX_DATE_OPERATOR_TEXT(TcxFilterNext30DaysOperator, cxSFilterOperatorNext30Days)
CX_DATE_OPERATOR_TEXT(TcxFilterNextMonthOperator, cxSFilterOperatorNextMonth)
CX_DATE_OPERATOR_TEXT(TcxFilterNextYearOperator, cxSFilterOperatorNextYear)
CX_DATE_OPERATOR_TEXT(TcxFilterInFutureOperator, cxSFilterOperatorFuture)
#undef CX_DATE_OPERATOR_TEXT

void TcxFilterYesterdayOperator::CalculateBounds(TDateTime D) {
  SetBounds(D - 1, D);
}
void TcxFilterTodayOperator::CalculateBounds(TDateTime D) {
  SetBounds(D, D + 1);
}
void TcxFilterTomorrowOperator::CalculateBounds(TDateTime D) {
  SetBounds(D + 1, D + 2);
}
void TcxFilterLastNDaysOperator::CalculateBounds(TDateTime D) {
  TDateTime upper = cxFilterIncludeTodayInLastNextDaysList ? D + 1 : D;
  SetBounds(upper - DayCount(), upper);
}
void TcxFilterNextNDaysOperator::CalculateBounds(TDateTime D) {
  TDateTime lower = cxFilterIncludeTodayInLastNextDaysList ? D : D + 1;
  SetBounds(lower, lower + DayCount());
}
void TcxFilterLastWeekOperator::CalculateBounds(TDateTime D) {
  TDateTime w = WeekStart(D);
  SetBounds(w - 7, w);
}
void TcxFilterLastTwoWeeksOperator::CalculateBounds(TDateTime D) {
  TDateTime w = WeekStart(D);
  SetBounds(w - 14, w);
}
void TcxFilterThisWeekOperator::CalculateBounds(TDateTime D) {
  TDateTime w = WeekStart(D);
  SetBounds(w, w + 7);
}
void TcxFilterNextWeekOperator::CalculateBounds(TDateTime D) {
  TDateTime w = WeekStart(D);
  SetBounds(w + 7, w + 14);
}
void TcxFilterNextTwoWeeksOperator::CalculateBounds(TDateTime D) {
  TDateTime w = WeekStart(D);
  SetBounds(w + 7, w + 21);
}
void TcxFilterLastMonthOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y, m - 1), FirstOfMonth(y, m));
}
void TcxFilterThisMonthOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y, m), FirstOfMonth(y, m + 1));
}
void TcxFilterNextMonthOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y, m + 1), FirstOfMonth(y, m + 2));
}
void TcxFilterLastYearOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y - 1, 1), FirstOfMonth(y, 1));
}
void TcxFilterThisYearOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y, 1), FirstOfMonth(y + 1, 1));
}
void TcxFilterNextYearOperator::CalculateBounds(TDateTime D) {
  Integer y, m;
  DecodeYearMonth(D, y, m);
  SetBounds(FirstOfMonth(y + 1, 1), FirstOfMonth(y + 2, 1));
}
void TcxFilterInPastOperator::CalculateBounds(TDateTime D) { SetBounds(0, D); }
void TcxFilterInFutureOperator::CalculateBounds(TDateTime D) {
  SetBounds(D + 1, 0);
}

TObjectPtr<TcxFilterOperator> cxCreateFilterOperator(
    TcxFilterOperatorKind AKind, TcxFilterCriteriaItem* AItem) {
  switch (AKind) {
    case foEqual:
      return TObjectPtr<TcxFilterEqualOperator>(
          new TcxFilterEqualOperator(AItem));
    case foNotEqual:
      return TObjectPtr<TcxFilterNotEqualOperator>(
          new TcxFilterNotEqualOperator(AItem));
    case foLess:
      return TObjectPtr<TcxFilterLessOperator>(
          new TcxFilterLessOperator(AItem));
    case foLessEqual:
      return TObjectPtr<TcxFilterLessEqualOperator>(
          new TcxFilterLessEqualOperator(AItem));
    case foGreater:
      return TObjectPtr<TcxFilterGreaterOperator>(
          new TcxFilterGreaterOperator(AItem));
    case foGreaterEqual:
      return TObjectPtr<TcxFilterGreaterEqualOperator>(
          new TcxFilterGreaterEqualOperator(AItem));
    case foLike:
      return TObjectPtr<TcxFilterLikeOperator>(
          new TcxFilterLikeOperator(AItem));
    case foNotLike:
      return TObjectPtr<TcxFilterNotLikeOperator>(
          new TcxFilterNotLikeOperator(AItem));
    case foBetween:
      return TObjectPtr<TcxFilterBetweenOperator>(
          new TcxFilterBetweenOperator(AItem));
    case foNotBetween:
      return TObjectPtr<TcxFilterNotBetweenOperator>(
          new TcxFilterNotBetweenOperator(AItem));
    case foInList:
      return TObjectPtr<TcxFilterInListOperator>(
          new TcxFilterInListOperator(AItem));
    case foNotInList:
      return TObjectPtr<TcxFilterNotInListOperator>(
          new TcxFilterNotInListOperator(AItem));
    case foYesterday:
      return TObjectPtr<TcxFilterYesterdayOperator>(
          new TcxFilterYesterdayOperator(AItem));
    case foToday:
      return TObjectPtr<TcxFilterTodayOperator>(
          new TcxFilterTodayOperator(AItem));
    case foTomorrow:
      return TObjectPtr<TcxFilterTomorrowOperator>(
          new TcxFilterTomorrowOperator(AItem));
    case foLast7Days:
      return TObjectPtr<TcxFilterLast7DaysOperator>(
          new TcxFilterLast7DaysOperator(AItem));
    case foLastWeek:
      return TObjectPtr<TcxFilterLastWeekOperator>(
          new TcxFilterLastWeekOperator(AItem));
    case foLast14Days:
      return TObjectPtr<TcxFilterLast14DaysOperator>(
          new TcxFilterLast14DaysOperator(AItem));
    case foLastTwoWeeks:
      return TObjectPtr<TcxFilterLastTwoWeeksOperator>(
          new TcxFilterLastTwoWeeksOperator(AItem));
    case foLast30Days:
      return TObjectPtr<TcxFilterLast30DaysOperator>(
          new TcxFilterLast30DaysOperator(AItem));
    case foLastMonth:
      return TObjectPtr<TcxFilterLastMonthOperator>(
          new TcxFilterLastMonthOperator(AItem));
    case foLastYear:
      return TObjectPtr<TcxFilterLastYearOperator>(
          new TcxFilterLastYearOperator(AItem));
    case foInPast:
      return TObjectPtr<TcxFilterInPastOperator>(
          new TcxFilterInPastOperator(AItem));
    case foThisWeek:
      return TObjectPtr<TcxFilterThisWeekOperator>(
          new TcxFilterThisWeekOperator(AItem));
    case foThisMonth:
      return TObjectPtr<TcxFilterThisMonthOperator>(
          new TcxFilterThisMonthOperator(AItem));
    case foThisYear:
      return TObjectPtr<TcxFilterThisYearOperator>(
          new TcxFilterThisYearOperator(AItem));
    case foNext7Days:
      return TObjectPtr<TcxFilterNext7DaysOperator>(
          new TcxFilterNext7DaysOperator(AItem));
    case foNextWeek:
      return TObjectPtr<TcxFilterNextWeekOperator>(
          new TcxFilterNextWeekOperator(AItem));
    case foNext14Days:
      return TObjectPtr<TcxFilterNext14DaysOperator>(
          new TcxFilterNext14DaysOperator(AItem));
    case foNextTwoWeeks:
      return TObjectPtr<TcxFilterNextTwoWeeksOperator>(
          new TcxFilterNextTwoWeeksOperator(AItem));
    case foNext30Days:
      return TObjectPtr<TcxFilterNext30DaysOperator>(
          new TcxFilterNext30DaysOperator(AItem));
    case foNextMonth:
      return TObjectPtr<TcxFilterNextMonthOperator>(
          new TcxFilterNextMonthOperator(AItem));
    case foNextYear:
      return TObjectPtr<TcxFilterNextYearOperator>(
          new TcxFilterNextYearOperator(AItem));
    case foInFuture:
      return TObjectPtr<TcxFilterInFutureOperator>(
          new TcxFilterInFutureOperator(AItem));
  }
  return TObjectPtr<TcxFilterEqualOperator>(new TcxFilterEqualOperator(AItem));
}

// ---------------------------------------------------------------------------
// Tree
// ---------------------------------------------------------------------------

TcxCustomFilterCriteriaItem::TcxCustomFilterCriteriaItem(
    TcxFilterCriteriaItemList* AParent)
    : parent_(AParent) {}

TcxCustomFilterCriteriaItem::~TcxCustomFilterCriteriaItem() {
  if (parent_) parent_->RemoveItem(this);
}

void TcxCustomFilterCriteriaItem::Changed() {
  if (TcxFilterCriteria* criteria = GetCriteria()) criteria->Changed();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const {
  return parent_ ? parent_->GetCriteria() : nullptr;
}

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(
    TcxFilterCriteriaItemList* AParent,
    TcxFilterBoolOperatorKind ABoolOperatorKind)
    : TcxCustomFilterCriteriaItem(AParent), boolOperator_(ABoolOperatorKind) {}

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList() { Clear(); }

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const {
  return criteria_ ? criteria_ : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::RemoveItem(TcxCustomFilterCriteriaItem* AItem) {
  if (!items_.Extract(AItem)) return;
  AItem->parent_ = nullptr;
  Changed();
}

void TcxFilterCriteriaItemList::Append(TcxCustomFilterCriteriaItem* AItem) {
  items_.Adopt(AItem);
  AItem->parent_ = this;
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(
    TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
    const Variant& AValue, const String& ADisplayValue) {
  TcxFilterCriteria* criteria = GetCriteria();
  TObjectPtr<TcxFilterCriteriaItem> item =
      criteria ? criteria->CreateItem(this, AItemLink, AOperatorKind, AValue,
                                      ADisplayValue)
               : TObjectPtr<TcxFilterCriteriaItem>(new TcxFilterCriteriaItem(
                     this, AItemLink, AOperatorKind, AValue, ADisplayValue));
  // Constructors cannot reach a descendant's mapping of links.
  item->SetItemLink(AItemLink);
  Append(item.get());
  Changed();
  return item.release();
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(
    TcxFilterBoolOperatorKind ABoolOperatorKind) {
  TcxFilterCriteria* criteria = GetCriteria();
  TObjectPtr<TcxFilterCriteriaItemList> list =
      criteria ? criteria->CreateItemList(this, ABoolOperatorKind)
               : TObjectPtr<TcxFilterCriteriaItemList>(
                     new TcxFilterCriteriaItemList(this, ABoolOperatorKind));
  Append(list.get());
  Changed();
  return list.release();
}

void TcxFilterCriteriaItemList::Clear() {
  TcxFilterCriteria* criteria = GetCriteria();
  if (criteria) criteria->BeginUpdate();
  while (!items_.empty()) Free(items_.back());
  if (criteria) criteria->EndUpdate();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::Items(
    Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) return nullptr;
  return items_[AIndex];
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(
    TcxFilterBoolOperatorKind AValue) {
  if (boolOperator_ == AValue) return;
  boolOperator_ = AValue;
  Changed();
}

TcxFilterCriteriaItem::TcxFilterCriteriaItem(
    TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
    TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
    const String& ADisplayValue)
    : TcxCustomFilterCriteriaItem(AParent),
      displayValue_(ADisplayValue),
      itemLink_(AItemLink),
      operatorKind_(AOperatorKind),
      value_(AValue) {
  RecreateOperator();
  ApplyBlankDisplayRule();
}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() = default;

void TcxFilterCriteriaItem::ApplyBlankDisplayRule() {
  if (operator_->IsNullOperator() && displayValue_.empty())
    displayValue_ = cxSFilterString(cxSFilterBlankCaption);
}

Variant TcxFilterCriteriaItem::GetDataValue(const void*) { return Null(); }

void TcxFilterCriteriaItem::GetDirectDataValues(const Integer* ARecords,
                                                Integer ACount,
                                                TcxFilterDirectValue* AValues) {
  for (Integer i = 0; i < ACount; ++i)
    if (!GetDirectDataValue(&ARecords[i], AValues[i]))
      AValues[i].Kind = TcxFilterDirectValue::dvNone;
}

String TcxFilterCriteriaItem::GetDisplayValue() {
  String text = displayValue_;
  operator_->PrepareDisplayValue(text);
  return text;
}

String TcxFilterCriteriaItem::GetExpressionValue(bool AIsDisplay) {
  if (AIsDisplay) return GetDisplayValue();
  return operator_->GetExpressionValue(value_);
}

TObjectPtr<TcxFilterOperator> TcxFilterCriteriaItem::CreateFilterOperator() {
  bool isNull = ValueIsNull(value_);
  if (isNull && (operatorKind_ == foEqual || operatorKind_ == foLike))
    return TObjectPtr<TcxFilterNullOperator>(new TcxFilterNullOperator(this));
  if (isNull && (operatorKind_ == foNotEqual || operatorKind_ == foNotLike))
    return TObjectPtr<TcxFilterNotNullOperator>(
        new TcxFilterNotNullOperator(this));
  return cxCreateFilterOperator(operatorKind_, this);
}

void TcxFilterCriteriaItem::RecreateOperator() {
  bool hadOne = static_cast<bool>(operator_);
  operator_.reset();
  operator_ = CreateFilterOperator();
  if (hadOne) Changed();
}

bool TcxFilterCriteriaItem::ValueIsNull(const Variant& AValue) const {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->ValueIsNull(AValue) : VarIsNull(AValue);
}

void TcxFilterCriteriaItem::SetDisplayValue(const String& AValue) {
  if (displayValue_ == AValue) return;
  displayValue_ = AValue;
  Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind AValue) {
  if (operatorKind_ == AValue) return;
  operatorKind_ = AValue;
  RecreateOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& AValue) {
  if (VarCompare(value_, AValue) == 0) return;
  value_ = AValue;
  RecreateOperator();
}

// ---------------------------------------------------------------------------
// Quick tests
// ---------------------------------------------------------------------------
//
// A leaf whose record values can be read without a Variant is tested on
// them directly, with the results VarCompare, the variant == and the LIKE
// matcher give on the prepared values. Whatever a quick test is not sure to
// answer the same way (Null, a blank under soft null, a value or bound of
// another kind) goes the general way.

namespace {

struct QuickOperand {
  enum TKind : Byte { qoInteger, qoFloat, qoString };
  TKind Kind = qoInteger;
  Int64 AsInteger = 0;
  long double AsFloat = 0;
  String AsString;
};

enum TQuickRelation : Byte {
  qrEqual,
  qrNotEqual,
  qrLess,
  qrLessEqual,
  qrGreater,
  qrGreaterEqual
};

}  // namespace

struct TcxFilterQuickTest {
  enum TKind : Byte { qtNull, qtLike, qtCompare, qtRange, qtList };
  TKind Kind = qtNull;
  bool Negate = false;
  TQuickRelation Relation = qrEqual;
  // The pattern of LIKE, the bound of a comparison, both bounds of a range,
  // the members of a list (Null members, equal to nothing, left out).
  String Pattern;
  std::vector<QuickOperand> Operands;
  // What the operands are: which record values the test can take.
  enum TFamily : Byte { qfIntegers, qfNumbers, qfTexts, qfMixed };
  TFamily Family = qfIntegers;
};

namespace {

// Integers exactly and floating-point numbers as long double, as the variant
// comparison takes them; texts only when 8-bit (a wide text would first be
// converted).
bool MakeQuickOperand(const Variant& AValue, QuickOperand& AOperand) {
  TVarType type = VarType(AValue);
  if (VarIsOrdinal(AValue) && type != varBoolean) {
    AOperand.Kind = QuickOperand::qoInteger;
    AOperand.AsInteger = AValue.AsInt64();
  } else if (VarIsFloat(AValue) && type != varCurrency) {
    AOperand.Kind = QuickOperand::qoFloat;
    AOperand.AsFloat = AValue.AsDouble();
  } else if (type == varString) {
    AOperand.Kind = QuickOperand::qoString;
    AOperand.AsString = AValue.AsString();
  } else {
    return false;
  }
  return true;
}

bool IsSimpleArray(const Variant& AValue, Integer AMinCount) {
  return VarArrayDimCount(AValue) == 1 && ArrayLow(AValue) == 0 &&
         ArrayHigh(AValue) >= AMinCount - 1;
}

template <class T>
bool IsExactly(TcxFilterOperator* AOperator) {
  return typeid(*AOperator) == typeid(T);
}

// The relation a comparison operator tests, or null for any other operator.
const TQuickRelation* RelationOf(TcxFilterOperator* AOperator) {
  static const std::pair<const std::type_info*, TQuickRelation> relations[] = {
      {&typeid(TcxFilterEqualOperator), qrEqual},
      {&typeid(TcxFilterNotEqualOperator), qrNotEqual},
      {&typeid(TcxFilterLessOperator), qrLess},
      {&typeid(TcxFilterLessEqualOperator), qrLessEqual},
      {&typeid(TcxFilterGreaterOperator), qrGreater},
      {&typeid(TcxFilterGreaterEqualOperator), qrGreaterEqual}};
  for (const auto& entry : relations)
    if (typeid(*AOperator) == *entry.first) return &entry.second;
  return nullptr;
}

std::unique_ptr<TcxFilterQuickTest> MakeQuickTest(TcxFilterOperator* AOperator,
                                                  const Variant& AValue) {
  auto test = std::make_unique<TcxFilterQuickTest>();
  auto relation = [&](TQuickRelation ARelation) {
    test->Kind = TcxFilterQuickTest::qtCompare;
    test->Relation = ARelation;
    test->Operands.resize(1);
    return MakeQuickOperand(AValue, test->Operands[0]);
  };
  bool ok = false;
  if (IsExactly<TcxFilterNullOperator>(AOperator) ||
      IsExactly<TcxFilterNotNullOperator>(AOperator)) {
    test->Negate = IsExactly<TcxFilterNotNullOperator>(AOperator);
    ok = true;
  } else if (IsExactly<TcxFilterLikeOperator>(AOperator) ||
             IsExactly<TcxFilterNotLikeOperator>(AOperator)) {
    test->Kind = TcxFilterQuickTest::qtLike;
    test->Negate = IsExactly<TcxFilterNotLikeOperator>(AOperator);
    ok = VarType(AValue) == varString;
    if (ok) test->Pattern = AValue.AsString();
  } else if (const TQuickRelation* r = RelationOf(AOperator)) {
    ok = relation(*r);
  } else if (IsExactly<TcxFilterBetweenOperator>(AOperator) ||
             IsExactly<TcxFilterNotBetweenOperator>(AOperator)) {
    test->Kind = TcxFilterQuickTest::qtRange;
    test->Negate = IsExactly<TcxFilterNotBetweenOperator>(AOperator);
    test->Operands.resize(2);
    ok = IsSimpleArray(AValue, 2) &&
         MakeQuickOperand(ArrayItem(AValue, 0), test->Operands[0]) &&
         MakeQuickOperand(ArrayItem(AValue, 1), test->Operands[1]);
  } else if (IsExactly<TcxFilterInListOperator>(AOperator) ||
             IsExactly<TcxFilterNotInListOperator>(AOperator)) {
    test->Kind = TcxFilterQuickTest::qtList;
    test->Negate = IsExactly<TcxFilterNotInListOperator>(AOperator);
    ok = IsSimpleArray(AValue, 0);
    for (Integer i = 0; ok && i <= ArrayHigh(AValue); ++i) {
      Variant member = ArrayItem(AValue, i);
      if (VarIsNull(member)) continue;
      test->Operands.emplace_back();
      ok = MakeQuickOperand(member, test->Operands.back());
    }
  }
  if (!ok) return nullptr;
  bool integers = true, numbers = true, texts = true;
  for (const QuickOperand& operand : test->Operands) {
    integers = integers && operand.Kind == QuickOperand::qoInteger;
    numbers = numbers && operand.Kind != QuickOperand::qoString;
    texts = texts && operand.Kind == QuickOperand::qoString;
  }
  // An empty list holds no member of either family: both kinds take it.
  test->Family = integers  ? TcxFilterQuickTest::qfIntegers
                 : numbers ? TcxFilterQuickTest::qfNumbers
                 : texts   ? TcxFilterQuickTest::qfTexts
                           : TcxFilterQuickTest::qfMixed;
  return test;
}

// VarCompare's answer: 0 when equal, -1 when less, 1 otherwise (NaN too).
template <class T>
Integer Relate(const T& A, const T& B) {
  return A == B ? 0 : (A < B ? -1 : 1);
}

Integer CompareNumbers(const QuickOperand& A, const QuickOperand& B) {
  if (A.Kind == QuickOperand::qoInteger && B.Kind == QuickOperand::qoInteger)
    return Relate(A.AsInteger, B.AsInteger);
  auto wide = [](const QuickOperand& X) {
    return X.Kind == QuickOperand::qoInteger
               ? static_cast<long double>(X.AsInteger)
               : X.AsFloat;
  };
  return Relate(wide(A), wide(B));
}

Integer CompareTexts(const String& A, const String& B) {
  return Relate(AnsiCompareStr(A, B), 0);
}

bool Related(Integer ACompare, TQuickRelation ARelation) {
  switch (ARelation) {
    case qrEqual:
      return ACompare == 0;
    case qrNotEqual:
      return ACompare != 0;
    case qrLess:
      return ACompare < 0;
    case qrLessEqual:
      return ACompare <= 0;
    case qrGreater:
      return ACompare > 0;
    case qrGreaterEqual:
      return ACompare >= 0;
  }
  return false;
}

// The operators' comparison of the record's value X with the operands,
// given Compare(X, B, ABoundFirst) with VarCompare's answers for (X, B), or
// for (B, X) when ABoundFirst (the two differ for NaN).
template <TcxFilterQuickTest::TKind K, class T, class C>
bool QuickResultOf(const TcxFilterQuickTest& ATest, const T& X,
                   const C& Compare) {
  const std::vector<QuickOperand>& operands = ATest.Operands;
  if constexpr (K == TcxFilterQuickTest::qtCompare) {
    return Related(Compare(X, operands[0], false), ATest.Relation);
  } else if constexpr (K == TcxFilterQuickTest::qtRange) {
    // Both sides always: a branch on the first would mostly miss.
    const int low = Compare(X, operands[0], true) <= 0;
    const int high = Compare(X, operands[1], false) <= 0;
    return (low & high) != 0;
  } else if constexpr (K == TcxFilterQuickTest::qtList) {
    for (const QuickOperand& member : operands)
      if (Compare(X, member, false) == 0) return true;
    return false;
  } else {
    return false;
  }
}

template <class T, class C>
bool QuickResult(const TcxFilterQuickTest& ATest, const T& X,
                 const C& Compare) {
  using Q = TcxFilterQuickTest;
  switch (ATest.Kind) {
    case Q::qtCompare:
      return QuickResultOf<Q::qtCompare>(ATest, X, Compare);
    case Q::qtRange:
      return QuickResultOf<Q::qtRange>(ATest, X, Compare);
    case Q::qtList:
      return QuickResultOf<Q::qtList>(ATest, X, Compare);
    default:
      return false;
  }
}

Integer CompareIntegers(Int64 A, const QuickOperand& B, bool ABoundFirst) {
  return ABoundFirst ? Relate(B.AsInteger, A) : Relate(A, B.AsInteger);
}

// 1 or 0 for the leaf's result, -1 when the general path must decide.
Integer RunQuickTest(const TcxFilterQuickTest& ATest,
                     const TcxFilterDirectValue& AValue,
                     TcxFilterCriteriaOptions AOptions, char APercent,
                     char AUnderscore) {
  using Q = TcxFilterQuickTest;
  bool result = false;
  if (AValue.Kind == TcxFilterDirectValue::dvString) {
    const String* text = AValue.AsString;
    // A blank under soft null: the null rules decide.
    if (text->empty() && AOptions.Contains(fcoSoftNull)) return -1;
    String upper;
    if (AOptions.Contains(fcoCaseInsensitive)) {
      upper = AnsiUpperCase(*text);
      text = &upper;
    }
    if (ATest.Kind == Q::qtLike) {
      result = LikeMatchChars(text->data(), static_cast<Integer>(text->size()),
                              ATest.Pattern.data(), 0, AUnderscore, APercent,
                              static_cast<Integer>(ATest.Pattern.size()));
    } else if (ATest.Kind != Q::qtNull) {
      if (ATest.Family != Q::qfTexts && !ATest.Operands.empty()) return -1;
      result = QuickResult(
          ATest, *text,
          [](const String& A, const QuickOperand& B, bool ABoundFirst) {
            return ABoundFirst ? CompareTexts(B.AsString, A)
                               : CompareTexts(A, B.AsString);
          });
    }
  } else if (AValue.Kind == TcxFilterDirectValue::dvInteger ||
             AValue.Kind == TcxFilterDirectValue::dvFloat) {
    if (ATest.Kind == Q::qtLike) return -1;
    if (ATest.Kind != Q::qtNull) {
      if (ATest.Family == Q::qfIntegers &&
          AValue.Kind == TcxFilterDirectValue::dvInteger) {
        result = QuickResult(ATest, AValue.AsInteger, CompareIntegers);
      } else if (ATest.Family <= Q::qfNumbers) {
        QuickOperand number;
        number.Kind = AValue.Kind == TcxFilterDirectValue::dvInteger
                          ? QuickOperand::qoInteger
                          : QuickOperand::qoFloat;
        number.AsInteger = AValue.AsInteger;
        number.AsFloat = AValue.AsFloat;
        result = QuickResult(
            ATest, number,
            [](const QuickOperand& A, const QuickOperand& B, bool ABoundFirst) {
              return ABoundFirst ? CompareNumbers(B, A) : CompareNumbers(A, B);
            });
      } else {
        return -1;
      }
    }
  } else {
    return -1;
  }
  return result != ATest.Negate ? 1 : 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Criteria
// ---------------------------------------------------------------------------

TcxFilterCriteria::TcxFilterCriteria()
    : root_(new TcxFilterCriteriaItemList(nullptr, fboAnd)) {
  root_->criteria_ = this;
}

// The tree goes without announcing: the descendants that would hear about
// it are already gone.
TcxFilterCriteria::~TcxFilterCriteria() {
  destroying_ = true;
  root_.reset();
}

TObjectPtr<TcxFilterCriteriaItem> TcxFilterCriteria::CreateItem(
    TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
    TcxFilterOperatorKind AKind, const Variant& AValue,
    const String& ADisplayValue) {
  return TObjectPtr<TcxFilterCriteriaItem>(new TcxFilterCriteriaItem(
      AParent, AItemLink, AKind, AValue, ADisplayValue));
}

TObjectPtr<TcxFilterCriteriaItemList> TcxFilterCriteria::CreateItemList(
    TcxFilterCriteriaItemList* AParent, TcxFilterBoolOperatorKind AKind) {
  return TObjectPtr<TcxFilterCriteriaItemList>(
      new TcxFilterCriteriaItemList(AParent, AKind));
}

TObjectPtr<TcxFilterValueList> TcxFilterCriteria::CreateValueList() {
  return TObjectPtr<TcxFilterValueList>(new TcxFilterValueList(this));
}

void TcxFilterCriteria::EndUpdate() {
  if (lockCount_ > 0) --lockCount_;
  CheckChanges();
}

void TcxFilterCriteria::CancelUpdate() {
  if (lockCount_ > 0) --lockCount_;
  if (lockCount_ == 0) changed_ = false;
}

void TcxFilterCriteria::Changed() {
  ++changeCount_;
  changed_ = true;
  CheckChanges();
}

void TcxFilterCriteria::CheckChanges() {
  if (lockCount_ != 0 || !changed_ || destroying_) return;
  changed_ = false;
  Prepare();
  Update();
}

namespace {
template <class F>
void ForEachLeaf(TcxFilterCriteriaItemList* AList, const F& AProc) {
  for (Integer i = 0; i < AList->Count(); ++i) {
    TcxCustomFilterCriteriaItem* item = AList->Items(i);
    if (item->IsItemList())
      ForEachLeaf(static_cast<TcxFilterCriteriaItemList*>(item), AProc);
    else
      AProc(static_cast<TcxFilterCriteriaItem*>(item));
  }
}
}  // namespace

void TcxFilterCriteria::Prepare() {
  ForEachLeaf(root_.get(), [](TcxFilterCriteriaItem* AItem) {
    AItem->Operator()->Prepare();
  });
}

void TcxFilterCriteria::Update() {
  if (OnChanged) OnChanged(this);
}

void TcxFilterCriteria::PrepareValue(Variant& AValue) {
  TVarType type = VarType(AValue);
  if (type == varCurrency) {
    AValue = VarAsType(AValue, varDouble);
  } else if (VarIsStr(AValue)) {
    if (options_.Contains(fcoCaseInsensitive))
      AValue = Variant(AnsiUpperCase(VarToStr(AValue)));
  } else if (VarIsArray(AValue)) {
    for (Integer i = ArrayLow(AValue); i <= ArrayHigh(AValue); ++i) {
      Variant element = ArrayItem(AValue, i);
      PrepareValue(element);
      VarArrayPut(AValue, element, {i});
    }
  }
}

bool TcxFilterCriteria::ValueIsNull(const Variant& AValue) const {
  return options_.Contains(fcoSoftNull) ? VarIsSoftNull(AValue)
                                        : VarIsNull(AValue);
}

bool TcxFilterCriteria::DoFilterData(const void* AData) {
  return EvaluateList(root_.get(), AData);
}

// Every child is evaluated: a handler that reads values may count on it.
bool TcxFilterCriteria::EvaluateList(TcxFilterCriteriaItemList* AList,
                                     const void* AData) {
  bool result = true;
  TcxFilterBoolOperatorKind kind = AList->BoolOperatorKind();
  bool first = true;
  // By index: a handler that reads values may change the list.
  for (std::size_t i = 0; i < AList->items_.size(); ++i) {
    TcxCustomFilterCriteriaItem* item = AList->items_[i];
    bool v =
        item->IsItemList()
            ? EvaluateList(static_cast<TcxFilterCriteriaItemList*>(item), AData)
            : EvaluateItem(static_cast<TcxFilterCriteriaItem*>(item), AData);
    if (first) {
      first = false;
      result = (kind == fboAnd || kind == fboOr) ? v : !v;
      continue;
    }
    switch (kind) {
      case fboAnd:
        result = result && v;
        break;
      case fboOr:
        result = result || v;
        break;
      case fboNotAnd:
        result = result || !v;
        break;
      case fboNotOr:
        result = result && !v;
        break;
    }
  }
  return result;
}

// The leaf's value as the criteria compares it, and the quick test that
// goes with it. Prepared once per change of the criteria.
void TcxFilterCriteria::PrepareItem(TcxFilterCriteriaItem* AItem) {
  AItem->quick_.reset();
  AItem->preparedValue_ = AItem->value_;
  PrepareValue(AItem->preparedValue_);
  AItem->preparedStamp_ = changeCount_;
  AItem->Operator()->PrepareCompareValue(AItem->preparedValue_);
  if (QuickTestsAllowed() && AItem->CanGetDirectDataValue())
    AItem->quick_ = MakeQuickTest(AItem->Operator(), AItem->preparedValue_);
}

bool TcxFilterCriteria::EvaluateItem(TcxFilterCriteriaItem* AItem,
                                     const void* AData) {
  if (AItem->quick_ && AItem->preparedStamp_ == changeCount_) {
    TcxFilterDirectValue direct;
    if (AItem->GetDirectDataValue(AData, direct)) {
      Integer result = RunQuickTest(*AItem->quick_, direct, options_,
                                    percentWildcard_, underscoreWildcard_);
      if (result >= 0) return result != 0;
    }
  }
  return EvaluateItemValue(AItem, AData);
}

bool TcxFilterCriteria::EvaluateItemValue(TcxFilterCriteriaItem* AItem,
                                          const void* AData) {
  try {
    Variant value = AItem->GetDataValue(AData);
    PrepareValue(value);
    if (AItem->preparedStamp_ != changeCount_) PrepareItem(AItem);
    TcxFilterOperator* op = AItem->Operator();
    if (options_.Contains(fcoIgnoreNull) && !op->IsNullOperator() &&
        ValueIsNull(value))
      return false;
    return op->CompareValues(value, AItem->preparedValue_);
  } catch (EVariantError&) {
    if (options_.Contains(fcoSoftCompare)) return false;
    throw;
  } catch (EConvertError&) {
    // A date outside the calendar cannot become text or be compared as a
    // date: the same kind of failure as a variant error.
    if (options_.Contains(fcoSoftCompare)) return false;
    throw;
  }
}

// ---------------------------------------------------------------------------
// Batches
// ---------------------------------------------------------------------------
//
// A batch of records goes through one leaf at a time, and lists join the
// leaves' results record by record as EvaluateList does. Quick tests have no
// effects, so testing them out of record order changes nothing; a record
// that needs the general path for any leaf is evaluated whole, record by
// record, so its reads, events and exceptions come as they would have.

namespace {
constexpr Integer kFilterBatch = 1024;
}  // namespace

// Only leaves that vouch for their direct values are prepared here: their
// preparation is this unit's own and has no effects.
bool TcxFilterCriteria::QuickThroughout(TcxFilterCriteriaItemList* AList) {
  bool quick = true;
  ForEachLeaf(AList, [&](TcxFilterCriteriaItem* AItem) {
    quick = quick && AItem->CanGetDirectDataValue();
  });
  if (!quick) return false;
  ForEachLeaf(AList, [&](TcxFilterCriteriaItem* AItem) {
    if (AItem->preparedStamp_ != changeCount_) PrepareItem(AItem);
    quick = quick && AItem->quick_;
  });
  return quick;
}

void TcxFilterCriteria::EvaluateItemBatch(TcxFilterCriteriaItem* AItem,
                                          const Integer* ARecords,
                                          Integer ACount, Byte* AResults,
                                          Byte* AUnsure,
                                          TcxFilterDirectValue* AValues) {
  AItem->GetDirectDataValues(ARecords, ACount, AValues);
  const TcxFilterQuickTest& test = *AItem->quick_;
  // Integers against integer operands, the commonest case, are tested with
  // the operator chosen once for the batch; everything else as record by
  // record.
  using Q = TcxFilterQuickTest;
  bool integers = test.Family == Q::qfIntegers;
  auto each = [&](const auto& AIntegerTest) {
    for (Integer i = 0; i < ACount; ++i) {
      const TcxFilterDirectValue& value = AValues[i];
      if (integers && value.Kind == TcxFilterDirectValue::dvInteger) {
        AResults[i] = AIntegerTest(value.AsInteger) != test.Negate;
        continue;
      }
      Integer result = RunQuickTest(test, value, options_, percentWildcard_,
                                    underscoreWildcard_);
      AResults[i] = result > 0;
      AUnsure[i] |= result < 0;
    }
  };
  auto integerTest = [&](auto AKind) {
    return [&test](Int64 X) {
      return QuickResultOf<decltype(AKind)::value>(test, X, CompareIntegers);
    };
  };
  switch (integers ? test.Kind : Q::qtNull) {
    case Q::qtCompare:
      each(integerTest(std::integral_constant<Q::TKind, Q::qtCompare>()));
      break;
    case Q::qtRange:
      each(integerTest(std::integral_constant<Q::TKind, Q::qtRange>()));
      break;
    case Q::qtList:
      each(integerTest(std::integral_constant<Q::TKind, Q::qtList>()));
      break;
    default:
      // Null and LIKE tests take no integer operands: the general way.
      integers = false;
      each([](Int64) { return false; });
      break;
  }
}

void TcxFilterCriteria::EvaluateListBatch(TcxFilterCriteriaItemList* AList,
                                          const Integer* ARecords,
                                          Integer ACount, Byte* AResults,
                                          Byte* AUnsure,
                                          TcxFilterDirectValue* AValues) {
  TcxFilterBoolOperatorKind kind = AList->BoolOperatorKind();
  std::fill(AResults, AResults + ACount, Byte{1});
  Byte child[kFilterBatch];
  bool first = true;
  for (TcxCustomFilterCriteriaItem* item : AList->items_) {
    if (item->IsItemList())
      EvaluateListBatch(static_cast<TcxFilterCriteriaItemList*>(item), ARecords,
                        ACount, child, AUnsure, AValues);
    else
      EvaluateItemBatch(static_cast<TcxFilterCriteriaItem*>(item), ARecords,
                        ACount, child, AUnsure, AValues);
    // Not and not-or negate every child, the first one included; and then
    // join as or and and.
    Byte negate = kind == fboNotAnd || kind == fboNotOr;
    bool any = kind == fboOr || kind == fboNotAnd;
    if (first) {
      for (Integer i = 0; i < ACount; ++i) AResults[i] = child[i] ^ negate;
    } else if (any) {
      for (Integer i = 0; i < ACount; ++i) AResults[i] |= child[i] ^ negate;
    } else {
      for (Integer i = 0; i < ACount; ++i) AResults[i] &= child[i] ^ negate;
    }
    first = false;
  }
}

bool TcxFilterCriteria::FilterRecords(const std::vector<Integer>& ARecords,
                                      Integer AKeep,
                                      std::vector<Integer>& AKept) {
  if (!QuickTestsAllowed() || !QuickThroughout(root_.get())) return false;
  Integer total = static_cast<Integer>(ARecords.size());
  std::vector<TcxFilterDirectValue> values(std::min(total, kFilterBatch));
  Byte results[kFilterBatch];
  Byte unsure[kFilterBatch];
  Integer kept[kFilterBatch];
  for (Integer start = 0; start < total; start += kFilterBatch) {
    Integer count = std::min(kFilterBatch, total - start);
    const Integer* records = ARecords.data() + start;
    std::fill(unsure, unsure + count, Byte{0});
    EvaluateListBatch(root_.get(), records, count, results, unsure,
                      values.data());
    // Every record is written and the end moves past those kept: about
    // half the records pass a typical test, and a branch on each would
    // mostly miss.
    Integer end = 0;
    for (Integer i = 0; i < count; ++i) {
      Integer record = records[i];
      if (record == AKeep)
        results[i] = 1;
      else if (unsure[i])
        results[i] = EvaluateList(root_.get(), &record);
      kept[end] = record;
      end += results[i];
    }
    AKept.insert(AKept.end(), kept, kept + end);
  }
  return true;
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(
    TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
    TcxFilterOperatorKind AKind, const Variant& AValue,
    const String& ADisplayValue) {
  if (!AParent) AParent = root_.get();
  return AParent->AddItem(AItemLink, AKind, AValue, ADisplayValue);
}

void TcxFilterCriteria::Clear() {
  auto update = UpdateScope();
  root_->Clear();
  root_->SetBoolOperatorKind(fboAnd);
}

void TcxFilterCriteria::Refresh() {
  auto update = UpdateScope();
  ForEachLeaf(root_.get(),
              [](TcxFilterCriteriaItem* AItem) { AItem->RecreateOperator(); });
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(
    TObject* AItemLink) {
  TcxFilterCriteriaItem* found = nullptr;
  ForEachLeaf(root_.get(), [&](TcxFilterCriteriaItem* AItem) {
    if (!found && AItem->itemLink_ == AItemLink) found = AItem;
  });
  return found;
}

void TcxFilterCriteria::RemoveItemByItemLink(TObject* AItemLink) {
  BeginUpdate();
  bool removed = false;
  // Nothing removed, nothing changed: the bracket ends without a change.
  TScopeGuard update([&] {
    if (removed)
      EndUpdate();
    else
      CancelUpdate();
  });
  while (TcxFilterCriteriaItem* item = FindItemByItemLink(AItemLink)) {
    TcxFilterCriteriaItemList* parent = item->Parent();
    Free(item);
    Tidy(parent);
    removed = true;
  }
}

// A list left empty goes; an and/or list left with one child hands it to
// its parent. A NOT list keeps its single child: dropping the list would
// drop the negation and turn the condition into its opposite.
void TcxFilterCriteria::Tidy(TcxFilterCriteriaItemList* AList) {
  if (!AList || AList == root_.get()) return;
  TcxFilterCriteriaItemList* parent = AList->Parent();
  if (AList->Count() == 0) {
    Free(AList);
    Tidy(parent);
    return;
  }
  if (AList->Count() != 1) return;
  if (AList->BoolOperatorKind() == fboNotAnd ||
      AList->BoolOperatorKind() == fboNotOr)
    return;
  // The only child moves up to the parent.
  TcxCustomFilterCriteriaItem* child = AList->items_.ExtractLast();
  parent->Append(child);
  Free(AList);
}

void TcxFilterCriteria::SetDateTimeFormat(const String& AValue) {
  if (dateTimeFormat_ == AValue) return;
  dateTimeFormat_ = AValue;
  Changed();
}

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions AValue) {
  if (options_ == AValue) return;
  options_ = AValue;
  Changed();
}

void TcxFilterCriteria::SetPercentWildcard(char AValue) {
  if (percentWildcard_ == AValue) return;
  percentWildcard_ = AValue;
  Changed();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char AValue) {
  if (underscoreWildcard_ == AValue) return;
  underscoreWildcard_ = AValue;
  Changed();
}

void TcxFilterCriteria::RestoreDefaults() {
  BeginUpdate();
  SetOptions({});
  SetPercentWildcard('%');
  LikeAllowed = true;
  BetweenAsExpression = false;
  NotLikeAsExpression = false;
  InListAsExpression = false;
  SetUnderscoreWildcard('_');
  EndUpdate();
}

// ---------------------------------------------------------------------------
// Copying and comparing
// ---------------------------------------------------------------------------

bool TcxFilterCriteria::EqualItems(TcxFilterCriteria* AOther) {
  TMemoryStream mine, theirs;
  WriteData(&mine, AOther->version_);
  AOther->WriteData(&theirs, version_);
  if (mine.Size() != theirs.Size()) return false;
  return std::memcmp(mine.Memory(), theirs.Memory(),
                     static_cast<std::size_t>(mine.Size())) == 0;
}

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* ASource,
                                    bool AIgnoreItemNames) {
  if (EqualItems(ASource)) return;
  auto update = UpdateScope();
  Clear();
  TMemoryStream stream;
  {
    TRestoreOnExit keepVersion(ASource->version_);
    if (AIgnoreItemNames && ASource->version_ > 2) ASource->version_ = 2;
    ASource->WriteData(&stream, version_);
  }
  stream.SetPosition(0);
  ReadData(&stream);
}

void TcxFilterCriteria::Assign(TcxFilterCriteria* ASource,
                               bool AIgnoreItemNames) {
  if (!ASource) {
    TPersistent::Assign(ASource);
    return;
  }
  auto update = UpdateScope();
  SetDateTimeFormat(ASource->dateTimeFormat_);
  maxValueListCount_ = ASource->maxValueListCount_;
  SetOptions(ASource->options_);
  SetPercentWildcard(ASource->percentWildcard_);
  BetweenAsExpression = ASource->BetweenAsExpression;
  NotLikeAsExpression = ASource->NotLikeAsExpression;
  InListAsExpression = ASource->InListAsExpression;
  LikeAllowed = ASource->LikeAllowed;
  SetUnderscoreWildcard(ASource->underscoreWildcard_);
  AssignItems(ASource, AIgnoreItemNames);
  AssignEvents(ASource);
}

void TcxFilterCriteria::AssignEvents(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TcxFilterCriteria*>(ASource))
    OnChanged = source->OnChanged;
}

// ---------------------------------------------------------------------------
// Stream
// ---------------------------------------------------------------------------

Byte FilterVersionByID(Integer AID) {
  if (AID == -1) return 2;
  if (AID == -2) return 3;
  return 1;
}

Integer FilterVersionIDByVersion(Byte AVersion) {
  return AVersion >= 3 ? -2 : -1;
}

void TcxFilterCriteria::WriteData(TStream* AStream, Byte AVersionCap) {
  Byte version = version_;
  if (AVersionCap != 0 && AVersionCap < version) version = AVersionCap;
  // The first form has no kind byte for the root and is only ever read.
  if (version < 2) version = 2;
  savedVersion_ = version;
  WriteIntegerProc(AStream, FilterVersionIDByVersion(version));
  WriteList(AStream, root_.get());
}

void TcxFilterCriteria::WriteList(TStream* AStream,
                                  TcxFilterCriteriaItemList* AList) {
  WriteByteProc(AStream, AList->BoolOperatorKind());
  WriteIntegerProc(AStream, AList->Count());
  for (Integer i = 0; i < AList->Count(); ++i) {
    TcxCustomFilterCriteriaItem* child = AList->Items(i);
    WriteBooleanProc(AStream, child->IsItemList());
    if (child->IsItemList()) {
      WriteList(AStream, static_cast<TcxFilterCriteriaItemList*>(child));
      continue;
    }
    auto* item = static_cast<TcxFilterCriteriaItem*>(child);
    TObject* link = item->GetItemLink();
    WriteByteProc(AStream, item->OperatorKind());
    WriteStringProc(AStream, item->DisplayValue());
    WriteIntegerProc(AStream, GetIDByItemLink(link));
    if (savedVersion_ > 2) WriteStringProc(AStream, GetNameByItemLink(link));
    WriteVariantProc(AStream, item->Value());
  }
}

namespace {

// A tree as read from a stream, checked whole before the criteria changes.
struct TStreamNode {
  bool IsList = false;
  Byte Kind = 0;
  std::vector<TStreamNode> Children;
  String DisplayValue;
  Integer ID = 0;
  String Name;
  Variant Value;
};

void ReadStreamChildren(TStream* AStream, Byte AVersion, Integer ACount,
                        Integer ADepth, std::vector<TStreamNode>& AChildren);

void ReadStreamList(TStream* AStream, Byte AVersion, Integer ADepth,
                    TStreamNode& ANode) {
  if (ADepth > MaxFilterStreamDepth) FilterStreamError();
  ANode.IsList = true;
  ANode.Kind = ReadByteFunc(AStream);
  if (ANode.Kind > fboNotOr) FilterStreamError();
  ReadStreamChildren(AStream, AVersion, ReadIntegerFunc(AStream), ADepth,
                     ANode.Children);
}

void ReadStreamChildren(TStream* AStream, Byte AVersion, Integer ACount,
                        Integer ADepth, std::vector<TStreamNode>& AChildren) {
  if (ACount < 0) FilterStreamError();
  for (Integer i = 0; i < ACount; ++i) {
    TStreamNode node;
    if (ReadBooleanFunc(AStream)) {
      ReadStreamList(AStream, AVersion, ADepth + 1, node);
    } else {
      node.Kind = ReadByteFunc(AStream);
      if (node.Kind >= cxFilterOperatorKindCount) FilterStreamError();
      node.DisplayValue = ReadStringFunc(AStream);
      node.ID = ReadIntegerFunc(AStream);
      if (AVersion > 2) node.Name = ReadStringFunc(AStream);
      node.Value = ReadVariantFunc(AStream);
    }
    AChildren.push_back(std::move(node));
  }
}

}  // namespace

TObject* TcxFilterCriteria::ResolveItemLink(const String& AName, Integer AID) {
  if (AName.empty()) return GetItemLinkByID(AID);
  if (TObject* link = GetItemLinkByName(AName)) return link;
  TObject* link = GetItemLinkByID(AID);
  if (link && GetNameByItemLink(link).empty()) return link;
  return nullptr;
}

void TcxFilterCriteria::ReadData(TStream* AStream) {
  Integer id = ReadIntegerFunc(AStream);
  Byte version = FilterVersionByID(id);
  TStreamNode root;
  if (version == 1) {
    root.IsList = true;
    root.Kind = fboAnd;
    ReadStreamChildren(AStream, version, id, 0, root.Children);
  } else {
    ReadStreamList(AStream, version, 0, root);
  }

  struct Loader {
    TcxFilterCriteria* Criteria;
    void Load(TcxFilterCriteriaItemList* AList, const TStreamNode& ANode) {
      for (const TStreamNode& child : ANode.Children) {
        if (child.IsList) {
          Load(AList->AddItemList(
                   static_cast<TcxFilterBoolOperatorKind>(child.Kind)),
               child);
          continue;
        }
        // A leaf whose item is gone is dropped; its list stays.
        TObject* link = Criteria->ResolveItemLink(child.Name, child.ID);
        if (!link) continue;
        TcxFilterCriteriaItem* item =
            AList->AddItem(link, static_cast<TcxFilterOperatorKind>(child.Kind),
                           child.Value, child.DisplayValue);
        if (!item->ItemLink()) Free(item);
      }
    }
  };

  auto update = UpdateScope();
  Clear();
  loadedVersion_ = version;
  root_->SetBoolOperatorKind(static_cast<TcxFilterBoolOperatorKind>(root.Kind));
  Loader{this}.Load(root_.get(), root);
}

namespace {

// Carries a criteria through the component streams as its property
// "Filter".
class TFilterWrapper : public TComponent {
  VARNEL_CLASS(TFilterWrapper, TComponent)
 public:
  explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
  TcxFilterCriteria* Filter = nullptr;
  TcxFilterCriteria* GetFilter() const { return Filter; }
};

}  // namespace

void TcxFilterCriteria::SaveToStream(TStream* AStream) {
  TObjectPtr<TFilterWrapper> wrapper(new TFilterWrapper(nullptr));
  wrapper->Filter = this;
  WriteComponentToStream(*AStream, wrapper.get());
}

void TcxFilterCriteria::LoadFromStream(TStream* AStream) {
  auto update = UpdateScope();
  TObjectPtr<TFilterWrapper> wrapper(new TFilterWrapper(nullptr));
  wrapper->Filter = this;
  ReadComponentFromStream(*AStream, wrapper.get());
}

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

String TcxFilterCriteria::ConvertBoolToStr(const Variant& AValue) {
  return VarToStr(AValue);
}

// A date outside the calendar (read from a damaged stream) is written as
// its day number rather than failing the whole text.
String TcxFilterCriteria::ConvertDateToStr(const Variant& AValue) {
  try {
    if (dateTimeFormat_.empty()) return VarToStr(AValue);
    String result;
    DateTimeToString(result, dateTimeFormat_, VarToDateTime(AValue));
    return result;
  } catch (EConvertError&) {
    return FloatToStr(AValue.AsDouble());
  }
}

String TcxFilterCriteria::GetFilterExpression(bool AIsDisplay) {
  return ListExpression(root_.get(), AIsDisplay);
}

String TcxFilterCriteria::ListExpression(TcxFilterCriteriaItemList* AList,
                                         bool AIsDisplay) {
  TcxFilterBoolOperatorKind kind = AList->BoolOperatorKind();
  bool isOr = kind == fboOr || kind == fboNotOr;
  String joiner;
  if (AIsDisplay)
    joiner = cxSFilterString(isOr ? cxSFilterOrCaption : cxSFilterAndCaption);
  else
    joiner = isOr ? "OR" : "AND";
  String result;
  for (Integer i = 0; i < AList->Count(); ++i) {
    TcxCustomFilterCriteriaItem* child = AList->Items(i);
    if (i > 0) result += " " + joiner + " ";
    if (child->IsItemList())
      result += "(" +
                ListExpression(static_cast<TcxFilterCriteriaItemList*>(child),
                               AIsDisplay) +
                ")";
    else
      result += "(" +
                GetItemExpression(static_cast<TcxFilterCriteriaItem*>(child),
                                  AIsDisplay) +
                ")";
  }
  if (kind == fboNotAnd || kind == fboNotOr) {
    String notWord =
        AIsDisplay ? cxSFilterString(cxSFilterNotCaption) : String("NOT");
    result = notWord + " (" + result + ")";
  }
  return result;
}

String TcxFilterCriteria::GetItemExpression(TcxFilterCriteriaItem* AItem,
                                            bool AIsDisplay) {
  if (!AIsDisplay && AItem->Operator()->IsExpression())
    return AItem->Operator()->GetExpressionFilterText(AItem->Value());
  String result = GetItemExpressionFieldName(AItem, AIsDisplay) + " " +
                  GetItemExpressionOperator(AItem, AIsDisplay);
  String value = GetItemExpressionValue(AItem, AIsDisplay);
  if (!value.empty()) result += " " + value;
  return result;
}

String TcxFilterCriteria::GetItemExpressionFieldName(
    TcxFilterCriteriaItem* AItem, bool AIsDisplay) {
  return AIsDisplay ? AItem->GetFieldCaption() : AItem->GetFieldName();
}

String TcxFilterCriteria::GetItemExpressionOperator(
    TcxFilterCriteriaItem* AItem, bool AIsDisplay) {
  TcxFilterOperator* op = AItem->Operator();
  if (AIsDisplay &&
      (op->IsDescription() || options_.Contains(fcoShowOperatorDescription)))
    return op->DisplayText();
  return op->FilterText();
}

String TcxFilterCriteria::GetItemExpressionValue(TcxFilterCriteriaItem* AItem,
                                                 bool AIsDisplay) {
  return AItem->GetExpressionValue(AIsDisplay);
}

String ExtractFilterDisplayValue(const String& AText, Integer& APos) {
  Integer length = static_cast<Integer>(AText.size());
  if (APos < 1) APos = 1;
  if (APos > length) {
    APos = length + 1;
    return String();
  }
  std::size_t start = static_cast<std::size_t>(APos - 1);
  std::size_t end = AText.find(';', start);
  String piece;
  if (end == String::npos) {
    piece = AText.substr(start);
    APos = length + 1;
  } else {
    piece = AText.substr(start, end - start);
    APos = static_cast<Integer>(end) + 2;
  }
  return Trim(piece);
}

String VarBetweenArrayToStr(const Variant& AValue) {
  return FilterValueToText(ArrayItem(AValue, 0)) + " " +
         cxSFilterString(cxSFilterAndCaption) + " " +
         FilterValueToText(ArrayItem(AValue, 1));
}

String VarListArrayToStr(const Variant& AValue) {
  String result = "(";
  for (Integer i = ArrayLow(AValue); i <= ArrayHigh(AValue); ++i) {
    if (i > ArrayLow(AValue)) result += ", ";
    result += FilterValueToText(ArrayItem(AValue, i));
  }
  return result + ")";
}

// ---------------------------------------------------------------------------
// Value list
// ---------------------------------------------------------------------------

Integer TcxFilterValueList::MRUSeparatorIndex() const {
  for (Integer i = 0; i < Count(); ++i) {
    if (items_[i].Kind == fviMRUSeparator) return i;
    if (items_[i].Kind != fviMRU) return -1;
  }
  return -1;
}

Integer TcxFilterValueList::StartValueIndex() const {
  for (Integer i = 0; i < Count(); ++i)
    if (items_[i].Kind == fviValue) return i;
  return Count();
}

void TcxFilterValueList::Insert(Integer AIndex, TcxFilterValueItemKind AKind,
                                const Variant& AValue,
                                const String& ADisplayText) {
  items_.insert(items_.begin() + AIndex,
                TcxFilterValueItem{AKind, AValue, ADisplayText});
}

void TcxFilterValueList::Add(TcxFilterValueItemKind AKind,
                             const Variant& AValue, const String& ADisplayText,
                             bool AIsAppending) {
  if (AKind == fviMRU) {
    Integer separator = MRUSeparatorIndex();
    if (separator < 0) {
      Insert(0, fviMRUSeparator, Null(), String());
      separator = 0;
    }
    Insert(separator, AKind, AValue, ADisplayText);
    return;
  }
  if (AKind != fviValue) {
    Insert(StartValueIndex(), AKind, AValue, ADisplayText);
    return;
  }
  if (AIsAppending) {
    items_.push_back(TcxFilterValueItem{AKind, AValue, ADisplayText});
    return;
  }
  if (MaxCount() != 0 && Count() >= MaxCount()) return;
  Integer index;
  if (!Find(AValue, ADisplayText, index))
    Insert(index, AKind, AValue, ADisplayText);
}

Integer TcxFilterValueList::CompareItem(Integer AIndex, const Variant& AValue,
                                        const String& ADisplayText) {
  const TcxFilterValueItem& item = items_[AIndex];
  if (SortByDisplayText) {
    String a = item.DisplayText;
    String b = ADisplayText;
    if (criteria_->Options().Contains(fcoCaseInsensitive)) {
      a = AnsiUpperCase(a);
      b = AnsiUpperCase(b);
    }
    Integer c = Platform::CompareAnsi(a, b, false);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  Variant a = item.Value;
  Variant b = AValue;
  criteria_->PrepareValue(a);
  criteria_->PrepareValue(b);
  return VarCompare(a, b);
}

bool TcxFilterValueList::Find(const Variant& AValue, const String& ADisplayText,
                              Integer& AIndex) {
  Integer separator = MRUSeparatorIndex();
  for (Integer i = 0; i < separator; ++i) {
    if (CompareItem(i, AValue, ADisplayText) == 0) {
      AIndex = i;
      return true;
    }
  }
  Integer low = StartValueIndex();
  Integer high = Count() - 1;
  bool found = false;
  while (low <= high) {
    Integer middle = (low + high) / 2;
    Integer c = CompareItem(middle, AValue, ADisplayText);
    if (c < 0) {
      low = middle + 1;
    } else if (c > 0) {
      high = middle - 1;
    } else {
      found = true;
      low = middle;
      break;
    }
  }
  AIndex = low;
  return found;
}

void TcxFilterValueList::Delete(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  items_.erase(items_.begin() + AIndex);
}

Integer TcxFilterValueList::FindItemByKind(TcxFilterValueItemKind AKind,
                                           const Variant& AValue) const {
  for (Integer i = 0; i < Count(); ++i) {
    if (items_[i].Kind != AKind) continue;
    if (VarIsNull(AValue) || VarEquals(items_[i].Value, AValue)) return i;
  }
  return -1;
}

Integer TcxFilterValueList::FindItemByValue(const Variant& AValue) {
  Integer index;
  return Find(AValue, VarToStr(AValue), index) ? index : -1;
}

Integer TcxFilterValueList::GetIndexByCriteriaItem(
    TcxFilterCriteriaItem* AItem) {
  if (!AItem) return FindItemByKind(fviAll);
  if (AItem->ValueIsNull(AItem->Value())) {
    if (AItem->OperatorKind() == foEqual) return FindItemByKind(fviBlanks);
    if (AItem->OperatorKind() == foNotEqual)
      return FindItemByKind(fviNonBlanks);
  }
  Integer index;
  if (AItem->OperatorKind() == foEqual &&
      Find(AItem->Value(), AItem->DisplayValue(), index))
    return index;
  return FindItemByKind(fviCustom);
}

// ---------------------------------------------------------------------------
// Unit start-up
// ---------------------------------------------------------------------------

namespace {

void FilterStartup() {
  RegisterEnum<TcxFilterCriteriaOption>(
      "TcxFilterCriteriaOption",
      {"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
       "fcoSoftCompare", "fcoIgnoreNull"});
  TPublished<TcxFilterCriteria>()
      .Property("MaxValueListCount", &TcxFilterCriteria::MaxValueListCount,
                &TcxFilterCriteria::SetMaxValueListCount, 0)
      .Property("Options", &TcxFilterCriteria::Options,
                &TcxFilterCriteria::SetOptions, TcxFilterCriteriaOptions{})
      .Property("PercentWildcard", &TcxFilterCriteria::PercentWildcard,
                &TcxFilterCriteria::SetPercentWildcard, '%')
      .Property("UnderscoreWildcard", &TcxFilterCriteria::UnderscoreWildcard,
                &TcxFilterCriteria::SetUnderscoreWildcard, '_')
      .Field("OnChanged", &TcxFilterCriteria::OnChanged);
  TPublished<TFilterWrapper>().Property("Filter", &TFilterWrapper::GetFilter);
  RegisterClass(TFilterWrapper::StaticClass());
}

void FilterShutdown() {
  UnRegisterClass(TFilterWrapper::StaticClass());
  UnpublishClass(TFilterWrapper::StaticClass());
  UnpublishClass(TcxFilterCriteria::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxFilter, ({"Classes", "cxClasses"}), &FilterStartup,
            &FilterShutdown);
