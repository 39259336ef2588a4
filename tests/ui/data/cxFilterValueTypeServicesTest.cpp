// The editors' filter helpers asking the data layer's own value types, and
// the operator kinds of both layers agreeing.
#include <gtest/gtest.h>

#include "Variants.h"
#include "cxDataStorage.h"
#include "cxFilter.h"
#include "cxFilterControlUtils.h"

namespace {

TEST(FilterValueTypeServicesTest, TheDataLayerAnswersForItsValueTypes) {
  EXPECT_TRUE(cxFilterValueTypeIsString(TcxStringValueType::Class()));
  EXPECT_TRUE(cxFilterValueTypeIsString(TcxWideStringValueType::Class()));
  EXPECT_FALSE(cxFilterValueTypeIsString(TcxIntegerValueType::Class()));
  EXPECT_FALSE(cxFilterValueTypeIsString(nullptr));
}

TEST(FilterValueTypeServicesTest, TypedValuesAreCheckedByTheColumnsType) {
  const TcxCustomFilterEditHelper* helper =
      TcxCustomFilterEditHelper::Instance();
  // Empty text for a number: Null, accepted.
  Variant empty = String();
  FilterControlValidateValue(nullptr, empty, fcoEqual,
                             TcxIntegerValueType::Class(), helper);
  EXPECT_TRUE(VarIsNull(empty));
  // Empty text for a string stays text.
  Variant emptyText = String();
  FilterControlValidateValue(nullptr, emptyText, fcoEqual,
                             TcxStringValueType::Class(), helper);
  EXPECT_TRUE(VarIsStr(emptyText));
  // Digits become the number.
  Variant digits = String("42");
  FilterControlValidateValue(nullptr, digits, fcoGreater,
                             TcxIntegerValueType::Class(), helper);
  EXPECT_EQ(VarType(digits), varInteger);
  EXPECT_EQ(VarToStr(digits), "42");
  // Letters are not.
  Variant letters = String("abc");
  EXPECT_THROW(FilterControlValidateValue(nullptr, letters, fcoEqual,
                                          TcxIntegerValueType::Class(), helper),
               EcxFilterControlError);
  // Any text is a pattern.
  FilterControlValidateValue(nullptr, letters, fcoLike,
                             TcxIntegerValueType::Class(), helper);
  EXPECT_EQ(VarToStr(letters), "abc");
}

TEST(FilterValueTypeServicesTest, OperatorsMapOntoTheEnginesKinds) {
  struct Case {
    TcxFilterControlOperator Operator;
    TcxFilterOperatorKind Kind;
  };
  const Case cases[] = {
      {fcoNone, foEqual},          {fcoEqual, foEqual},
      {fcoBlanks, foEqual},        {fcoNonBlanks, foNotEqual},
      {fcoNotLike, foNotLike},     {fcoBetween, foBetween},
      {fcoNotInList, foNotInList}, {fcoYesterday, foYesterday},
      {fcoInPast, foInPast},       {fcoThisWeek, foThisWeek},
      {fcoInFuture, foInFuture},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetFilterOperatorKind(c.Operator), c.Kind) << int(c.Operator);
    if (c.Operator != fcoNone && c.Operator != fcoBlanks &&
        c.Operator != fcoNonBlanks) {
      EXPECT_EQ(GetFilterControlOperator(c.Kind, false), c.Operator);
    }
  }
  EXPECT_EQ(GetFilterControlOperator(foEqual, true), fcoBlanks);
  EXPECT_EQ(GetFilterControlOperator(foNotEqual, true), fcoNonBlanks);
  EXPECT_EQ(GetFilterControlOperator(foLess, true), fcoLess);
}

// The editors read the engine's operator words by their text: a text
// changed on one side only would no longer be replaced together.
TEST(FilterValueTypeServicesTest, OperatorTextsAreTheEnginesWords) {
  struct Case {
    TcxFilterControlOperator Operator;
    const TcxResourceString* Text;
  };
  const Case cases[] = {
      {fcoEqual, &cxSFilterOperatorEqual},
      {fcoNotEqual, &cxSFilterOperatorNotEqual},
      {fcoLess, &cxSFilterOperatorLess},
      {fcoLessEqual, &cxSFilterOperatorLessEqual},
      {fcoGreater, &cxSFilterOperatorGreater},
      {fcoGreaterEqual, &cxSFilterOperatorGreaterEqual},
      {fcoLike, &cxSFilterOperatorLike},
      {fcoNotLike, &cxSFilterOperatorNotLike},
      {fcoBlanks, &cxSFilterOperatorIsNull},
      {fcoNonBlanks, &cxSFilterOperatorIsNotNull},
      {fcoBetween, &cxSFilterOperatorBetween},
      {fcoNotBetween, &cxSFilterOperatorNotBetween},
      {fcoInList, &cxSFilterOperatorInList},
      {fcoNotInList, &cxSFilterOperatorNotInList},
      {fcoYesterday, &cxSFilterOperatorYesterday},
      {fcoToday, &cxSFilterOperatorToday},
      {fcoTomorrow, &cxSFilterOperatorTomorrow},
      {fcoLast7Days, &cxSFilterOperatorLast7Days},
      {fcoLastWeek, &cxSFilterOperatorLastWeek},
      {fcoLast14Days, &cxSFilterOperatorLast14Days},
      {fcoLastTwoWeeks, &cxSFilterOperatorLastTwoWeeks},
      {fcoLast30Days, &cxSFilterOperatorLast30Days},
      {fcoLastMonth, &cxSFilterOperatorLastMonth},
      {fcoLastYear, &cxSFilterOperatorLastYear},
      {fcoInPast, &cxSFilterOperatorPast},
      {fcoThisWeek, &cxSFilterOperatorThisWeek},
      {fcoThisMonth, &cxSFilterOperatorThisMonth},
      {fcoThisYear, &cxSFilterOperatorThisYear},
      {fcoNext7Days, &cxSFilterOperatorNext7Days},
      {fcoNextWeek, &cxSFilterOperatorNextWeek},
      {fcoNext14Days, &cxSFilterOperatorNext14Days},
      {fcoNextTwoWeeks, &cxSFilterOperatorNextTwoWeeks},
      {fcoNext30Days, &cxSFilterOperatorNext30Days},
      {fcoNextMonth, &cxSFilterOperatorNextMonth},
      {fcoNextYear, &cxSFilterOperatorNextYear},
      {fcoInFuture, &cxSFilterOperatorFuture},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetFilterControlOperatorText(c.Operator), c.Text->Text)
        << int(c.Operator);
}

}  // namespace
