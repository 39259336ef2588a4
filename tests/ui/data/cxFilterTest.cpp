#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "SysUtils.h"
#include "cxDataUtils.h"
#include "cxDateUtils.h"
#include "cxFilter.h"
#include "cxVariants.h"

namespace {

// An item link: a named column with a stream identifier.
class TestField : public TObject {
  VARNEL_CLASS(TestField, TObject)
 public:
  TestField(const String& AName, Integer AID) : Name(AName), ID(AID) {}
  String Name;
  Integer ID;
};

using TestRecord = std::map<const TObject*, Variant>;

class TestItem : public TcxFilterCriteriaItem {
  VARNEL_CLASS(TestItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(const void* AData) override {
    const auto& record = *static_cast<const TestRecord*>(AData);
    auto it = record.find(ItemLink());
    return it == record.end() ? Null() : it->second;
  }
  String GetFieldCaption() override { return "C" + Field()->Name; }
  String GetFieldName() override { return Field()->Name; }
  TestField* Field() { return static_cast<TestField*>(ItemLink()); }
  // While set, no operator can be made.
  static inline bool FailOperator = false;
  TObjectPtr<TcxFilterOperator> CreateFilterOperator() override {
    if (FailOperator) throw Exception("no operator");
    return TcxFilterCriteriaItem::CreateFilterOperator();
  }
};

class TestCriteria : public TcxFilterCriteria {
  VARNEL_CLASS(TestCriteria, TcxFilterCriteria)
 public:
  std::vector<TestField*> Fields;
  bool Matches(const TestRecord& ARecord) { return DoFilterData(&ARecord); }

  TObjectPtr<TcxFilterCriteriaItem> CreateItem(
      TcxFilterCriteriaItemList* AParent, TObject* ALink,
      TcxFilterOperatorKind AKind, const Variant& AValue,
      const String& ADisplay) override {
    return TObjectPtr<TestItem>(
        new TestItem(AParent, ALink, AKind, AValue, ADisplay));
  }
  Integer GetIDByItemLink(TObject* ALink) override {
    return ALink ? static_cast<TestField*>(ALink)->ID : -1;
  }
  String GetNameByItemLink(TObject* ALink) override {
    return ALink ? static_cast<TestField*>(ALink)->Name : String();
  }
  TObject* GetItemLinkByID(Integer AID) override {
    for (TestField* f : Fields)
      if (f->ID == AID) return f;
    return nullptr;
  }
  TObject* GetItemLinkByName(const String& AName) override {
    for (TestField* f : Fields)
      if (!f->Name.empty() && f->Name == AName) return f;
    return nullptr;
  }
};

class FilterTest : public ::testing::Test {
 protected:
  FilterTest() : a_("A", 1), b_("B", 2), f_("F", 7) {
    criteria_.Fields = {&a_, &b_, &f_};
  }
  ~FilterTest() override {
    cxSetNowFunc(nullptr);
    cxDataUtils::SetStartOfWeek(cxDataUtils::StartOfWeekFromLocale);
    cxFilterIncludeTodayInLastNextDaysList = true;
  }

  bool Test(TcxFilterOperatorKind AKind, const Variant& ACriteriaValue,
            const Variant& ARecordValue) {
    criteria_.Clear();
    criteria_.AddItem(nullptr, &f_, AKind, ACriteriaValue, "");
    return criteria_.Matches({{&f_, ARecordValue}});
  }
  static Variant Day(Word AYear, Word AMonth, Word ADay, double ATime = 0) {
    return Variant::FromDateTime(EncodeDate(AYear, AMonth, ADay) + ATime);
  }
  static void PinToday(Word AYear, Word AMonth, Word ADay) {
    TDateTime now = EncodeDate(AYear, AMonth, ADay) + 0.5;
    cxSetNowFunc([now] { return now; });
  }
  std::vector<Byte> Bytes(Byte ACap = 0) {
    TMemoryStream stream;
    criteria_.WriteData(&stream, ACap);
    auto* p = static_cast<const Byte*>(stream.Memory());
    return std::vector<Byte>(p, p + stream.Size());
  }
  static std::unique_ptr<TMemoryStream> StreamOf(const std::vector<Byte>& AB) {
    auto stream = std::make_unique<TMemoryStream>();
    if (!AB.empty())
      stream->WriteBuffer(AB.data(), static_cast<Integer>(AB.size()));
    stream->SetPosition(0);
    return stream;
  }

  TestField a_, b_, f_;
  TestCriteria criteria_;
};

// ---------------------------------------------------------------------------
// Tree and evaluation
// ---------------------------------------------------------------------------

TEST_F(FilterTest, EmptyCriteriaAndEmptyListsPassEverything) {
  EXPECT_TRUE(criteria_.Matches({}));
  criteria_.Root()->AddItemList(fboNotAnd);
  criteria_.Root()->AddItemList(fboOr);
  EXPECT_TRUE(criteria_.Matches({{&a_, 1}}));
}

TEST_F(FilterTest, NestedListsCombineTheirChildren) {
  // (A = 1) AND (NOT ((B = 1) OR (F = 1)))
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "1");
  TcxFilterCriteriaItemList* notOr = criteria_.Root()->AddItemList(fboNotOr);
  criteria_.AddItem(notOr, &b_, foEqual, 1, "1");
  criteria_.AddItem(notOr, &f_, foEqual, 1, "1");
  struct Case {
    int A, B, F;
    bool Expected;
  };
  const Case cases[] = {{1, 0, 0, true},
                        {1, 1, 0, false},
                        {1, 0, 1, false},
                        {1, 1, 1, false},
                        {0, 0, 0, false}};
  for (const Case& c : cases)
    EXPECT_EQ(c.Expected,
              criteria_.Matches({{&a_, c.A}, {&b_, c.B}, {&f_, c.F}}))
        << c.A << c.B << c.F;

  notOr->SetBoolOperatorKind(fboNotAnd);  // false exactly when all are true
  EXPECT_TRUE(criteria_.Matches({{&a_, 1}, {&b_, 1}, {&f_, 0}}));
  EXPECT_FALSE(criteria_.Matches({{&a_, 1}, {&b_, 1}, {&f_, 1}}));
  criteria_.Root()->SetBoolOperatorKind(fboOr);
  EXPECT_TRUE(criteria_.Matches({{&a_, 0}, {&b_, 0}, {&f_, 1}}));
  EXPECT_FALSE(criteria_.Matches({{&a_, 0}, {&b_, 1}, {&f_, 1}}));
}

TEST_F(FilterTest, ItemsOutOfRangeAreNullAndForeignRemovalIsIgnored) {
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "1");
  EXPECT_EQ(nullptr, criteria_.Root()->Items(-1));
  EXPECT_EQ(nullptr, criteria_.Root()->Items(1));
  int changes = 0;
  criteria_.OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  TestCriteria other;
  TcxFilterCriteriaItem* foreign = other.AddItem(nullptr, &a_, foEqual, 1, "");
  criteria_.Root()->RemoveItem(foreign);
  EXPECT_EQ(0, changes);
  EXPECT_EQ(1, criteria_.Root()->Count());
}

TEST_F(FilterTest, NullValueSwitchesToBlankTestAndBack) {
  TcxFilterCriteriaItem* item =
      criteria_.AddItem(nullptr, &f_, foEqual, Null(), "");
  EXPECT_TRUE(item->Operator()->Is<TcxFilterNullOperator>());
  EXPECT_EQ("blank", item->DisplayValue());
  EXPECT_TRUE(criteria_.Matches({{&f_, Null()}}));
  EXPECT_FALSE(criteria_.Matches({{&f_, 5}}));

  item->SetDisplayValue("five");
  item->SetValue(5);
  EXPECT_EQ(TcxFilterEqualOperator::StaticClass(),
            item->Operator()->ClassType());
  EXPECT_TRUE(criteria_.Matches({{&f_, 5}}));
  // Set later, a null value keeps the display value the user saw.
  item->SetValue(Null());
  EXPECT_EQ("five", item->DisplayValue());

  TcxFilterCriteriaItem* notNull =
      criteria_.AddItem(nullptr, &a_, foNotLike, Null(), "");
  EXPECT_TRUE(notNull->Operator()->Is<TcxFilterNotNullOperator>());
  EXPECT_TRUE(criteria_.Matches({{&f_, Null()}, {&a_, "x"}}));
  EXPECT_FALSE(criteria_.Matches({{&f_, Null()}, {&a_, Null()}}));
}

TEST_F(FilterTest, OptionsShapeTheTest) {
  // Ignore-null: a null record value fails every test except blank tests.
  criteria_.SetOptions({fcoIgnoreNull});
  EXPECT_FALSE(Test(foEqual, 5, Null()));
  EXPECT_FALSE(Test(foNotEqual, 5, Null()));
  EXPECT_FALSE(Test(foBetween, VarBetweenArrayCreate(1, 5), Null()));
  EXPECT_TRUE(Test(foEqual, Null(), Null()));

  // Soft null: an empty text is blank for blank tests and for ignore-null.
  EXPECT_TRUE(Test(foNotEqual, "x", ""));
  criteria_.SetOptions({fcoIgnoreNull, fcoSoftNull});
  EXPECT_FALSE(Test(foNotEqual, "x", ""));
  EXPECT_TRUE(Test(foEqual, Null(), ""));
  criteria_.SetOptions({});
  EXPECT_FALSE(Test(foEqual, Null(), ""));

  criteria_.SetOptions({fcoCaseInsensitive});
  EXPECT_TRUE(Test(foEqual, "ABC", "abc"));
  EXPECT_TRUE(Test(foLike, "a%", "ABC"));
  EXPECT_TRUE(Test(foInList, VarArrayOf({"x", "abc"}), "Abc"));
  criteria_.SetOptions({});
  EXPECT_FALSE(Test(foEqual, "ABC", "abc"));
  EXPECT_TRUE(Test(foEqual, Currency::FromScaled(25000), 2.5));
}

// A leaf that also serves integer record values without a Variant, and a
// criteria that may or may not vouch for its own value preparation.
struct ReadCounts {
  int Direct = 0;
  int General = 0;
};

class DirectItem : public TestItem {
  VARNEL_CLASS(DirectItem, TestItem)
 public:
  DirectItem(TcxFilterCriteriaItemList* AParent, TObject* ALink,
             TcxFilterOperatorKind AKind, const Variant& AValue,
             ReadCounts* ACounts)
      : TestItem(AParent, ALink, AKind, AValue, ""), counts_(ACounts) {}
  bool CanGetDirectDataValue() override { return true; }
  bool GetDirectDataValue(const void* AData,
                          TcxFilterDirectValue& AValue) override {
    Variant v = TestItem::GetDataValue(AData);
    if (VarType(v) != varInteger) return false;
    ++counts_->Direct;
    AValue.Kind = TcxFilterDirectValue::dvInteger;
    AValue.AsInteger = v.AsInteger();
    return true;
  }
  Variant GetDataValue(const void* AData) override {
    ++counts_->General;
    return TestItem::GetDataValue(AData);
  }

 private:
  ReadCounts* counts_;
};

class DirectCriteria : public TestCriteria {
  VARNEL_CLASS(DirectCriteria, TestCriteria)
 public:
  explicit DirectCriteria(bool AVouch) {
    if (AVouch) quickTestClass_ = &typeid(DirectCriteria);
  }
  TObjectPtr<TcxFilterCriteriaItem> CreateItem(
      TcxFilterCriteriaItemList* AParent, TObject* ALink,
      TcxFilterOperatorKind AKind, const Variant& AValue,
      const String&) override {
    return TObjectPtr<DirectItem>(
        new DirectItem(AParent, ALink, AKind, AValue, &Counts));
  }
  ReadCounts Counts;
};

TEST_F(FilterTest, DirectValuesStandInOnlyWhereTheCriteriaVouches) {
  TestField f("F", 7);
  const std::vector<Variant> records = {5, 1, 7, "9", Null(), 2};
  std::vector<bool> expected;
  for (bool vouch : {false, true}) {
    DirectCriteria criteria(vouch);
    criteria.AddItem(nullptr, &f, foGreater, 2, "");
    std::vector<bool> results;
    for (const Variant& v : records)
      results.push_back(criteria.Matches({{&f, v}}));
    if (!vouch) {
      EXPECT_EQ(0, criteria.Counts.Direct);
      expected = results;
      continue;
    }
    EXPECT_EQ(expected, results);
    // The first record prepares the leaf the general way; afterwards only
    // what the direct read declines (a text, a Null) goes that way.
    EXPECT_EQ(3, criteria.Counts.General);
    EXPECT_EQ(3, criteria.Counts.Direct);
    // A change prepares the leaf again from the next record on.
    criteria.SetOptions({fcoCaseInsensitive});
    EXPECT_TRUE(criteria.Matches({{&f, 5}}));
    EXPECT_EQ(4, criteria.Counts.General);
  }
}

TEST_F(FilterTest, VariantErrorsFailTheLeafOnlyUnderSoftCompare) {
  // A date range against a text that is no date cannot be compared.
  EXPECT_THROW(Test(foToday, Null(), "no date"), EVariantError);
  criteria_.SetOptions({fcoSoftCompare});
  EXPECT_FALSE(Test(foToday, Null(), "no date"));
}

// A date outside the calendar, as a damaged stream can hold one.
TEST_F(FilterTest, DatesOutsideTheCalendarNeitherBreakTextsNorSoftTests) {
  Variant distant = Variant::FromDateTime(5e6);
  criteria_.AddItem(nullptr, &f_, foLike, distant, "distant");
  EXPECT_EQ("(F LIKE '5000000')", criteria_.FilterText());
  EXPECT_THROW(criteria_.Matches({{&f_, "x"}}), EConvertError);
  criteria_.SetOptions({fcoSoftCompare});
  EXPECT_FALSE(criteria_.Matches({{&f_, "x"}}));
}

TEST_F(FilterTest, OneAnnouncementPerOuterUpdate) {
  int changes = 0;
  criteria_.OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  criteria_.BeginUpdate();
  criteria_.BeginUpdate();
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "");
  criteria_.SetPercentWildcard('*');
  criteria_.EndUpdate();
  EXPECT_EQ(0, changes);
  criteria_.EndUpdate();
  EXPECT_EQ(1, changes);

  criteria_.BeginUpdate();
  criteria_.SetPercentWildcard('%');
  criteria_.CancelUpdate();
  EXPECT_EQ(1, changes);
  criteria_.SetPercentWildcard('%');  // no change, no announcement
  EXPECT_EQ(1, changes);
  criteria_.SetUnderscoreWildcard('?');
  EXPECT_EQ(2, changes);
}

TEST_F(FilterTest, RemovingByLinkTidiesTheLists) {
  // Root: (A), (sub: B, F)
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "");
  TcxFilterCriteriaItemList* sub = criteria_.Root()->AddItemList(fboOr);
  criteria_.AddItem(sub, &b_, foEqual, 2, "");
  TcxFilterCriteriaItem* f = criteria_.AddItem(sub, &f_, foEqual, 3, "");
  TcxFilterCriteriaItemList* only = criteria_.Root()->AddItemList(fboAnd);
  criteria_.AddItem(only, &b_, foEqual, 4, "");

  int changes = 0;
  criteria_.OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  criteria_.RemoveItemByItemLink(&b_);
  EXPECT_EQ(1, changes);
  // The sub-list's other leaf moved to the end of the root; the list that
  // held only B went.
  ASSERT_EQ(2, criteria_.Root()->Count());
  EXPECT_EQ(f, criteria_.Root()->Items(1));
  EXPECT_EQ(criteria_.Root(), f->Parent());

  criteria_.RemoveItemByItemLink(&b_);  // nothing left to remove
  EXPECT_EQ(1, changes);
}

TEST_F(FilterTest, RemovingByLinkKeepsTheNegationOfANotList) {
  TcxFilterCriteriaItemList* notAnd = criteria_.Root()->AddItemList(fboNotAnd);
  criteria_.AddItem(notAnd, &a_, foEqual, 1, "");
  criteria_.AddItem(notAnd, &b_, foEqual, 1, "");
  criteria_.RemoveItemByItemLink(&b_);
  // NOT (A = 1) must still reject A = 1.
  EXPECT_FALSE(criteria_.Matches({{&a_, 1}}));
  EXPECT_TRUE(criteria_.Matches({{&a_, 2}}));
  EXPECT_EQ("(NOT ((A = 1)))", criteria_.FilterText());
}

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

TEST_F(FilterTest, ComparisonOperators) {
  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Criteria, Record;
    bool Expected;
  };
  const Case cases[] = {
      {foEqual, 5, 5, true},
      {foEqual, 5, 6, false},
      {foEqual, "5", 5, true},
      {foNotEqual, 5, 6, true},
      {foNotEqual, 5, 5, false},
      {foLess, 5, 4, true},
      {foLess, 5, 5, false},
      {foLessEqual, 5, 5, true},
      {foLessEqual, 5, 6, false},
      {foGreater, 5, 6, true},
      {foGreater, 5, 5, false},
      {foGreaterEqual, 5, 5, true},
      {foGreaterEqual, 5, 4, false},
      {foLess, 5, Null(), true},  // Null sorts first
      {foLike, "a%", "abc", true},
      {foLike, "a%", "bac", false},
      {foLike, "1_", 12, true},
      {foNotLike, "a%", "abc", false},
      {foNotLike, "a%", "bac", true},
      {foBetween, VarBetweenArrayCreate(1, 5), 1, true},
      {foBetween, VarBetweenArrayCreate(1, 5), 5, true},
      {foBetween, VarBetweenArrayCreate(1, 5), 6, false},
      {foBetween, VarBetweenArrayCreate(5, 1), 3, false},
      {foNotBetween, VarBetweenArrayCreate(1, 5), 6, true},
      {foNotBetween, VarBetweenArrayCreate(1, 5), 3, false},
      {foInList, VarArrayOf({1, 2, 3}), 2, true},
      {foInList, VarArrayOf({1, 2, 3}), 4, false},
      {foNotInList, VarArrayOf({1, 2, 3}), 4, true},
      {foNotInList, VarArrayOf({1, 2, 3}), 3, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Expected, Test(c.Kind, c.Criteria, c.Record))
        << int(c.Kind) << " " << VarToStr(c.Record);
}

TEST_F(FilterTest, DateRangesOnFixedDays) {
  cxDataUtils::SetStartOfWeek(1);  // Monday
  struct Case {
    Word Y, M, D;  // today
    TcxFilterOperatorKind Kind;
    Variant Lower, Upper;  // Null: open
  };
  const Case cases[] = {
      {2023, 12, 31, foThisMonth, Day(2023, 12, 1), Day(2024, 1, 1)},
      {2023, 12, 31, foNextMonth, Day(2024, 1, 1), Day(2024, 2, 1)},
      {2023, 11, 30, foNextMonth, Day(2023, 12, 1), Day(2024, 1, 1)},
      {2024, 1, 15, foLastMonth, Day(2023, 12, 1), Day(2024, 1, 1)},
      {2023, 12, 31, foTomorrow, Day(2024, 1, 1), Day(2024, 1, 2)},
      {2023, 12, 31, foThisYear, Day(2023, 1, 1), Day(2024, 1, 1)},
      {2023, 12, 31, foNextYear, Day(2024, 1, 1), Day(2025, 1, 1)},
      {2023, 12, 31, foLastYear, Day(2022, 1, 1), Day(2023, 1, 1)},
      {2024, 2, 29, foThisMonth, Day(2024, 2, 1), Day(2024, 3, 1)},
      {2024, 3, 1, foYesterday, Day(2024, 2, 29), Day(2024, 3, 1)},
      {2024, 3, 1, foLast7Days, Day(2024, 2, 24), Day(2024, 3, 2)},
      {2024, 2, 28, foNext7Days, Day(2024, 2, 28), Day(2024, 3, 6)},
      {2024, 3, 1, foLast30Days, Day(2024, 2, 1), Day(2024, 3, 2)},
      {2024, 3, 1, foLast14Days, Day(2024, 2, 17), Day(2024, 3, 2)},
      {2024, 2, 20, foNext14Days, Day(2024, 2, 20), Day(2024, 3, 5)},
      {2024, 2, 20, foNext30Days, Day(2024, 2, 20), Day(2024, 3, 21)},
      {2024, 2, 29, foToday, Day(2024, 2, 29), Day(2024, 3, 1)},
      {2024, 2, 29, foThisWeek, Day(2024, 2, 26), Day(2024, 3, 4)},
      {2024, 2, 29, foLastWeek, Day(2024, 2, 19), Day(2024, 2, 26)},
      {2024, 2, 29, foLastTwoWeeks, Day(2024, 2, 12), Day(2024, 2, 26)},
      {2024, 2, 29, foNextWeek, Day(2024, 3, 4), Day(2024, 3, 11)},
      {2024, 2, 29, foNextTwoWeeks, Day(2024, 3, 4), Day(2024, 3, 18)},
      {2024, 2, 29, foInPast, Null(), Day(2024, 2, 29)},
      {2024, 2, 29, foInFuture, Day(2024, 3, 1), Null()},
  };
  for (const Case& c : cases) {
    PinToday(c.Y, c.M, c.D);
    SCOPED_TRACE(testing::Message()
                 << c.Y << "-" << c.M << "-" << c.D << " kind " << int(c.Kind));
    criteria_.Clear();
    TcxFilterCriteriaItem* item =
        criteria_.AddItem(nullptr, &f_, c.Kind, Null(), "");
    auto* op = dynamic_cast<TcxFilterDateOperator*>(item->Operator());
    ASSERT_NE(nullptr, op);
    EXPECT_EQ(VarIsNull(c.Lower) ? 0.0 : c.Lower.AsDateTime(),
              op->LowerBound());
    EXPECT_EQ(VarIsNull(c.Upper) ? 0.0 : c.Upper.AsDateTime(),
              op->UpperBound());
    if (!VarIsNull(c.Lower)) {
      EXPECT_TRUE(criteria_.Matches({{&f_, c.Lower}}));
      EXPECT_FALSE(criteria_.Matches(
          {{&f_, Variant::FromDateTime(c.Lower.AsDateTime() - 0.0001)}}));
    }
    if (!VarIsNull(c.Upper)) {
      EXPECT_FALSE(criteria_.Matches({{&f_, c.Upper}}));
      EXPECT_TRUE(criteria_.Matches(
          {{&f_, Variant::FromDateTime(c.Upper.AsDateTime() - 0.0001)}}));
    }
    EXPECT_FALSE(criteria_.Matches({{&f_, Null()}}));
  }
}

TEST_F(FilterTest, LastAndNextDaysCanLeaveTodayOut) {
  cxFilterIncludeTodayInLastNextDaysList = false;
  PinToday(2024, 3, 1);
  EXPECT_FALSE(Test(foLast7Days, Null(), Day(2024, 3, 1)));
  EXPECT_TRUE(Test(foLast7Days, Null(), Day(2024, 2, 23)));
  EXPECT_FALSE(Test(foNext7Days, Null(), Day(2024, 3, 1)));
  EXPECT_TRUE(Test(foNext7Days, Null(), Day(2024, 3, 8)));
}

TEST_F(FilterTest, TodayFollowsTheClockBetweenChanges) {
  PinToday(2024, 2, 28);
  criteria_.AddItem(nullptr, &f_, foToday, Null(), "");
  EXPECT_TRUE(criteria_.Matches({{&f_, Day(2024, 2, 28, 23.99 / 24)}}));
  EXPECT_FALSE(criteria_.Matches({{&f_, Day(2024, 2, 29)}}));
  // Midnight passes without any change to the criteria.
  PinToday(2024, 2, 29);
  EXPECT_TRUE(criteria_.Matches({{&f_, Day(2024, 2, 29)}}));
  EXPECT_FALSE(criteria_.Matches({{&f_, Day(2024, 2, 28)}}));
  criteria_.SetDateTimeFormat("yyyy-mm-dd");
  EXPECT_EQ("((F >= '2024-02-29') AND (F < '2024-03-01'))",
            criteria_.FilterText());
}

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

TEST_F(FilterTest, FilterTextAndCaptionOfTheExamples) {
  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char* Display;
    bool Descriptions;
    const char* Text;
    const char* Caption;
  };
  const Case cases[] = {
      {foEqual, 5, "5", false, "(F = 5)", "(CF = 5)"},
      {foEqual, 5, "5", true, "(F = 5)", "(CF equals 5)"},
      {foLike, "ab%", "ab%", true, "(F LIKE 'ab%')", "(CF begins with ab)"},
      {foLike, "%ab", "%ab", true, "(F LIKE '%ab')", "(CF ends with ab)"},
      {foLike, "%ab%", "%ab%", true, "(F LIKE '%ab%')", "(CF contains ab)"},
      {foLike, "%", "%", true, "(F LIKE '%')", "(CF like %)"},
      {foLike, "ab%", "ab%", false, "(F LIKE 'ab%')", "(CF LIKE ab%)"},
      {foNotLike, "ab%", "ab%", true, "(F NOT LIKE 'ab%')",
       "(CF does not begin with ab)"},
      {foBetween, VarBetweenArrayCreate(1, 5), "1;5", false,
       "(F BETWEEN 1 AND 5)", "(CF between 1 and 5)"},
      {foBetween, VarBetweenArrayCreate(1, 5), "1", false,
       "(F BETWEEN 1 AND 5)", "(CF between 1 and )"},
      {foNotInList, VarArrayOf({1, 2}), " a ;b; c", false, "(F NOT IN (1, 2))",
       "(CF not in (a, b, c))"},
      {foInList, VarArrayOf({1}), "", false, "(F IN (1))", "(CF in ())"},
      {foEqual, "O'Brien", "O'Brien", false, "(F = 'O''Brien')",
       "(CF = O'Brien)"},
      {foEqual, Null(), "", false, "(F = NULL)", "(CF = blank)"},
      {foNotEqual, Null(), "", true, "(F <> NULL)", "(CF is not blank)"},
      {foGreater, 25, "25", false, "(F > 25)", "(CF > 25)"},
      {foEqual, true, "yes", false, "(F = True)", "(CF = yes)"},
      {foToday, Null(), "", false,
       "((F >= '2024-02-29') AND (F < '2024-03-01'))", "(CF is today)"},
      {foInPast, Null(), "", false, "((F < '2024-02-29'))", "(CF is past)"},
  };
  PinToday(2024, 2, 29);
  criteria_.SetDateTimeFormat("yyyy-mm-dd");
  for (const Case& c : cases) {
    criteria_.Clear();
    criteria_.SetOptions(
        c.Descriptions ? TcxFilterCriteriaOptions{fcoShowOperatorDescription}
                       : TcxFilterCriteriaOptions{});
    criteria_.AddItem(nullptr, &f_, c.Kind, c.Value, c.Display);
    EXPECT_EQ(c.Text, criteria_.FilterText()) << c.Text;
    EXPECT_EQ(c.Caption, criteria_.FilterCaption()) << c.Caption;
  }
}

TEST_F(FilterTest, ListsInTextsAndCaptions) {
  EXPECT_EQ("", criteria_.FilterText());
  EXPECT_EQ("", criteria_.FilterCaption());
  criteria_.Root()->SetBoolOperatorKind(fboNotAnd);
  EXPECT_EQ("NOT ()", criteria_.FilterText());
  criteria_.Root()->SetBoolOperatorKind(fboAnd);

  criteria_.AddItem(nullptr, &a_, foEqual, 1, "one");
  TcxFilterCriteriaItemList* notOr = criteria_.Root()->AddItemList(fboNotOr);
  criteria_.AddItem(notOr, &b_, foLess, 2, "2");
  criteria_.AddItem(notOr, &f_, foEqual, "x", "x");
  EXPECT_EQ("(A = 1) AND (NOT ((B < 2) OR (F = 'x')))", criteria_.FilterText());
  EXPECT_EQ("(CA = one) and (not ((CB < 2) or (CF = x)))",
            criteria_.FilterCaption());
}

TEST_F(FilterTest, OperatorsSpelledOutAsExpressions) {
  criteria_.BetweenAsExpression = true;
  criteria_.InListAsExpression = true;
  criteria_.NotLikeAsExpression = true;
  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char* Text;
  };
  const Case cases[] = {
      {foBetween, VarBetweenArrayCreate(1, 5), "((F >= 1) AND (F <= 5))"},
      {foNotBetween, VarBetweenArrayCreate(1, 5),
       "(NOT ((F >= 1) AND (F <= 5)))"},
      {foInList, VarArrayOf({1, "b"}), "((F = 1) OR (F = 'b'))"},
      {foNotInList, VarArrayOf({1}), "(NOT ((F = 1)))"},
      {foNotLike, "a%", "( NOT (F LIKE 'a%'))"},
  };
  for (const Case& c : cases) {
    criteria_.Clear();
    criteria_.AddItem(nullptr, &f_, c.Kind, c.Value, "");
    EXPECT_EQ(c.Text, criteria_.FilterText());
  }
  // A key of several fields: one equality per name.
  TestField key("K1; K2", 9);
  criteria_.Clear();
  criteria_.AddItem(nullptr, &key, foEqual, VarArrayOf({1, "x"}), "");
  EXPECT_EQ("((K1 = 1) AND (K2 = 'x'))", criteria_.FilterText());
  criteria_.Clear();
  criteria_.AddItem(nullptr, &key, foNotEqual, VarArrayOf({1, "x"}), "");
  EXPECT_EQ("(NOT ((K1 = 1) AND (K2 = 'x')))", criteria_.FilterText());
}

TEST(cxFilterTexts, DisplayValuePieces) {
  String text = " a ;b;;c ";
  Integer pos = 1;
  EXPECT_EQ("a", ExtractFilterDisplayValue(text, pos));
  EXPECT_EQ(5, pos);
  EXPECT_EQ("b", ExtractFilterDisplayValue(text, pos));
  EXPECT_EQ("", ExtractFilterDisplayValue(text, pos));
  EXPECT_EQ("c", ExtractFilterDisplayValue(text, pos));
  EXPECT_EQ(10, pos);
  EXPECT_EQ("", ExtractFilterDisplayValue(text, pos));
  EXPECT_EQ("1 and blank",
            VarBetweenArrayToStr(VarBetweenArrayCreate(1, Null())));
  EXPECT_EQ("(a, blank, 3)", VarListArrayToStr(VarArrayOf({"a", Null(), 3})));
}

// ---------------------------------------------------------------------------
// Stream
// ---------------------------------------------------------------------------

TEST_F(FilterTest, StreamBytes) {
  EXPECT_EQ((std::vector<Byte>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0}),
            Bytes());
  criteria_.AddItem(nullptr, &f_, foEqual, 5, "5");
  const std::vector<Byte> leaf2 = {0xFF, 0xFF, 0xFF, 0xFF,       // version 2
                                   0x00, 1,    0,    0,    0,    // and, 1 child
                                   0x00, 0x00,                   // leaf, equal
                                   1,    0,    0,    0,    '5',  // display
                                   7,    0,    0,    0,          // ID
                                   0x02, 0x05};                  // value 5
  EXPECT_EQ(leaf2, Bytes());
  criteria_.SetStoreItemLinkNames(true);
  const std::vector<Byte> leaf3 = {
      0xFE, 0xFF, 0xFF, 0xFF, 0x00, 1, 0, 0, 0, 0x00, 0x00, 1,    0,   0,
      0,    '5',  7,    0,    0,    0, 1, 0, 0, 0,    'F',  0x02, 0x05};
  EXPECT_EQ(leaf3, Bytes());
  EXPECT_EQ(leaf2, Bytes(2));
  criteria_.SetStoreItemLinkNames(false);
  EXPECT_EQ(leaf2, Bytes(3));
}

TEST_F(FilterTest, StreamRoundTripThroughEachVersion) {
  criteria_.Root()->SetBoolOperatorKind(fboOr);
  criteria_.AddItem(nullptr, &a_, foBetween, VarBetweenArrayCreate(1, 5),
                    "1;5");
  TcxFilterCriteriaItemList* sub = criteria_.Root()->AddItemList(fboNotAnd);
  criteria_.AddItem(sub, &b_, foInList, VarArrayOf({"x", "y"}), "x;y");
  criteria_.AddItem(sub, &f_, foEqual, Null(), "");
  criteria_.AddItem(sub, &f_, foToday, Null(), "");
  const String text = criteria_.FilterText();
  const String caption = criteria_.FilterCaption();

  for (bool names : {false, true}) {
    criteria_.SetStoreItemLinkNames(names);
    std::vector<Byte> bytes = Bytes();
    TestCriteria copy;
    copy.Fields = criteria_.Fields;
    copy.ReadData(StreamOf(bytes).get());
    EXPECT_EQ(names ? 3 : 2, copy.LoadedVersion());
    EXPECT_EQ(text, copy.FilterText());
    EXPECT_EQ(caption, copy.FilterCaption());
    EXPECT_TRUE(copy.EqualItems(&criteria_));
  }

  // The first form: the ID is the root's child count, no root kind byte.
  const std::vector<Byte> v1 = {2,    0,    0, 0,                         //
                                0x00, 0x00, 1, 0, 0, 0, '1', 1, 0, 0, 0,  //
                                0x02, 0x01,                               //
                                0x00, 0x01, 0, 0, 0, 0, 2,   0, 0, 0, 0x02,
                                0x07};
  TestCriteria old;
  old.Fields = criteria_.Fields;
  old.ReadData(StreamOf(v1).get());
  EXPECT_EQ(1, old.LoadedVersion());
  EXPECT_EQ("(A = 1) AND (B <> 7)", old.FilterText());
}

TEST_F(FilterTest, StreamResolvesLinksByNameThenByUnnamedID) {
  TestField unnamed("", 3);
  criteria_.Fields.push_back(&unnamed);
  criteria_.SetStoreItemLinkNames(true);
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "");
  criteria_.AddItem(nullptr, &unnamed, foEqual, 2, "");
  std::vector<Byte> bytes = Bytes();

  // The reader's links: "A" renamed (ID 1 kept), the unnamed one's ID kept.
  TestField renamed("Z", 1);
  TestField unnamedAgain("", 3);
  TestCriteria other;
  other.Fields = {&renamed, &unnamedAgain};
  other.ReadData(StreamOf(bytes).get());
  // A named link found only by ID is not trusted; the unnamed one is.
  ASSERT_EQ(1, other.Root()->Count());
  EXPECT_EQ(
      &unnamedAgain,
      static_cast<TcxFilterCriteriaItem*>(other.Root()->Items(0))->ItemLink());
}

TEST_F(FilterTest, BadStreamsRaiseAndLeaveTheCriteriaAsItWas) {
  TcxFilterCriteriaItemList* sub = criteria_.Root()->AddItemList(fboOr);
  criteria_.AddItem(sub, &a_, foLike, "a%", "a%");
  criteria_.AddItem(sub, &b_, foBetween, VarBetweenArrayCreate(1, 2), "");
  const std::vector<Byte> good = Bytes();

  TestCriteria target;
  target.Fields = criteria_.Fields;
  target.AddItem(nullptr, &f_, foEqual, 42, "42");
  const String before = target.FilterText();
  int changes = 0;
  target.OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });

  for (std::size_t n = 0; n < good.size(); ++n) {
    std::vector<Byte> cut(good.begin(), good.begin() + n);
    EXPECT_THROW(target.ReadData(StreamOf(cut).get()), EReadError) << n;
    EXPECT_EQ(before, target.FilterText()) << n;
  }
  struct Corruption {
    std::size_t Offset;
    Byte Value;
  };
  // The root kind, a child count, a list kind and a leaf's operator kind.
  const Corruption corrupt[] = {
      {4, 4}, {5, 0xFF}, {8, 0x80}, {10, 9}, {16, 34}};
  for (const Corruption& c : corrupt) {
    std::vector<Byte> bad = good;
    bad[c.Offset] = c.Value;
    EXPECT_THROW(target.ReadData(StreamOf(bad).get()), EReadError) << c.Offset;
    EXPECT_EQ(before, target.FilterText());
  }
  EXPECT_EQ(0, changes);

  // Lists nested beyond any sensible depth.
  std::vector<Byte> deep = {0xFF, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 100000; ++i)
    deep.insert(deep.end(), {0x00, 1, 0, 0, 0, 0x01});
  EXPECT_THROW(target.ReadData(StreamOf(deep).get()), EReadError);
  EXPECT_EQ(before, target.FilterText());

  target.ReadData(StreamOf(good).get());
  EXPECT_EQ(criteria_.FilterText(), target.FilterText());
  EXPECT_EQ(1, changes);
}

TEST_F(FilterTest, UnresolvedLeavesAreDroppedAndTheirListsKept) {
  TcxFilterCriteriaItemList* sub = criteria_.Root()->AddItemList(fboOr);
  criteria_.AddItem(sub, &a_, foEqual, 1, "");
  criteria_.AddItem(nullptr, &b_, foEqual, 2, "");
  TestCriteria other;
  other.Fields = {&b_};
  other.ReadData(StreamOf(Bytes()).get());
  EXPECT_EQ("() AND (B = 2)", other.FilterText());
}

TEST_F(FilterTest, AssignCopiesSettingsTreeAndEvents) {
  criteria_.SetOptions({fcoCaseInsensitive});
  criteria_.SetPercentWildcard('*');
  criteria_.SetMaxValueListCount(7);
  criteria_.SetStoreItemLinkNames(true);
  criteria_.AddItem(nullptr, &a_, foLike, "x*", "x*");
  int changes = 0;
  criteria_.OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });

  TestCriteria copy;
  copy.Fields = criteria_.Fields;
  copy.Assign(&criteria_, false);
  changes = 0;
  EXPECT_EQ(criteria_.Options(), copy.Options());
  EXPECT_EQ('*', copy.PercentWildcard());
  EXPECT_EQ(7, copy.MaxValueListCount());
  EXPECT_EQ(criteria_.FilterText(), copy.FilterText());
  EXPECT_TRUE(copy.Matches({{&a_, "XY"}}));
  EXPECT_TRUE(copy.EqualItems(&criteria_));
  copy.SetUnderscoreWildcard('?');
  EXPECT_EQ(1, changes);  // the copied event fires for the copy

  copy.RestoreDefaults();
  EXPECT_TRUE(copy.Options().Empty());
  EXPECT_EQ('%', copy.PercentWildcard());
  EXPECT_EQ('_', copy.UnderscoreWildcard());
  EXPECT_EQ(1, copy.Root()->Count());
  EXPECT_EQ(7, copy.MaxValueListCount());
}

TEST_F(FilterTest, ComponentStreamCarriesThePublishedSettings) {
  TMemoryStream plain;
  criteria_.SaveToStream(&plain);
  criteria_.SetOptions({fcoSoftNull, fcoIgnoreNull});
  criteria_.SetPercentWildcard('*');
  criteria_.SetMaxValueListCount(12);
  TMemoryStream changed;
  criteria_.SaveToStream(&changed);
  // Defaults are left out.
  EXPECT_LT(plain.Size(), changed.Size());

  TestCriteria copy;
  int changes = 0;
  copy.OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  changed.SetPosition(0);
  copy.LoadFromStream(&changed);
  EXPECT_EQ((TcxFilterCriteriaOptions{fcoSoftNull, fcoIgnoreNull}),
            copy.Options());
  EXPECT_EQ('*', copy.PercentWildcard());
  EXPECT_EQ('_', copy.UnderscoreWildcard());
  EXPECT_EQ(12, copy.MaxValueListCount());
  EXPECT_EQ(1, changes);
}

// ---------------------------------------------------------------------------
// Value list
// ---------------------------------------------------------------------------

TEST_F(FilterTest, ValueListKeepsDistinctValuesInOrder) {
  std::unique_ptr<TcxFilterValueList, TObjectDeleter> list(
      criteria_.CreateValueList());
  list->Add(fviAll, Null(), "(All)");
  list->Add(fviCustom, Null(), "(Custom...)");
  for (int v : {3, 1, 2, 2}) list->Add(fviValue, v, IntToStr(v));
  list->Add(fviBlanks, Null(), "(Blanks)");
  ASSERT_EQ(6, list->Count());
  const TcxFilterValueItemKind kinds[] = {fviAll,   fviCustom, fviBlanks,
                                          fviValue, fviValue,  fviValue};
  for (Integer i = 0; i < 6; ++i) EXPECT_EQ(kinds[i], list->Items(i).Kind);
  EXPECT_EQ("1", list->Items(3).DisplayText);
  EXPECT_EQ("3", list->Items(5).DisplayText);
  EXPECT_EQ(3, list->StartValueIndex());
  EXPECT_EQ(4, list->FindItemByValue(2));
  EXPECT_EQ(-1, list->FindItemByValue(9));

  list->Add(fviMRU, 2, "2");
  EXPECT_EQ(fviMRU, list->Items(0).Kind);
  EXPECT_EQ(fviMRUSeparator, list->Items(1).Kind);
  EXPECT_EQ(1, list->MRUSeparatorIndex());
  EXPECT_EQ(fviAll, list->Items(2).Kind);
  list->Add(fviMRU, 7, "7");
  EXPECT_EQ(2, list->MRUSeparatorIndex());
  list->Add(fviValue, 7, "7");  // already among the recent values
  EXPECT_EQ(9, list->Count());

  criteria_.SetMaxValueListCount(9);
  list->Add(fviValue, 8, "8");
  EXPECT_EQ(9, list->Count());
}

TEST_F(FilterTest, ValueListMapsLeavesToEntries) {
  std::unique_ptr<TcxFilterValueList, TObjectDeleter> list(
      criteria_.CreateValueList());
  list->Add(fviAll, Null(), "(All)");
  list->Add(fviCustom, Null(), "(Custom...)");
  list->Add(fviBlanks, Null(), "(Blanks)");
  list->Add(fviNonBlanks, Null(), "(NonBlanks)");
  list->Add(fviValue, 5, "5");
  EXPECT_EQ(0, list->GetIndexByCriteriaItem(nullptr));
  auto index = [&](TcxFilterOperatorKind AKind, const Variant& AValue) {
    criteria_.Clear();
    return list->GetIndexByCriteriaItem(
        criteria_.AddItem(nullptr, &f_, AKind, AValue, VarToStr(AValue)));
  };
  EXPECT_EQ(2, index(foEqual, Null()));
  EXPECT_EQ(3, index(foNotEqual, Null()));
  EXPECT_EQ(4, index(foEqual, 5));
  EXPECT_EQ(1, index(foEqual, 6));
  EXPECT_EQ(1, index(foLess, 5));
}

TEST_F(FilterTest, ValueListSortsByTextThenByValue) {
  std::unique_ptr<TcxFilterValueList, TObjectDeleter> list(
      criteria_.CreateValueList());
  list->SortByDisplayText = true;
  list->Add(fviValue, 3, "b");
  list->Add(fviValue, 2, "a");
  list->Add(fviValue, 1, "b");
  list->Add(fviValue, 3, "b");
  ASSERT_EQ(3, list->Count());
  EXPECT_EQ(2, list->Items(0).Value.AsInteger());
  EXPECT_EQ(1, list->Items(1).Value.AsInteger());
  EXPECT_EQ(3, list->Items(2).Value.AsInteger());
}

TEST_F(FilterTest, AFailedRefreshEndsItsUpdate) {
  criteria_.AddItem(nullptr, &a_, foEqual, 1, "");
  int changes = 0;
  criteria_.OnChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  TestItem::FailOperator = true;
  EXPECT_THROW(criteria_.Refresh(), Exception);
  TestItem::FailOperator = false;
  EXPECT_FALSE(criteria_.IsUpdating());
  criteria_.Refresh();  // the item gets its operator back
  // Changes are told again, not held for an update that never ends.
  criteria_.AddItem(nullptr, &a_, foEqual, 2, "");
  EXPECT_EQ(1, changes);
}

}  // namespace
