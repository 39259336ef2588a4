#include <gtest/gtest.h>

#include <map>

#include "Platform.h"
#include "SysUtils.h"
#include "cxDataUtils.h"
#include "cxDateUtils.h"

namespace {

// A locale with fixed answers for the regional settings read here.
class TFixedLocale : public TcxDateLocale {
 public:
  std::map<Cardinal, String> items;
  bool GetInfo(Cardinal item, String& value) override {
    auto it = items.find(item);
    if (it == items.end()) return false;
    value = it->second;
    return true;
  }
};

class TPinnedLocale {
 public:
  TPinnedLocale() { saved_ = cxSetDateLocale(&locale); }
  ~TPinnedLocale() {
    cxSetDateLocale(saved_);
    cxDataUtils::SetStartOfWeek(cxDataUtils::StartOfWeekFromLocale);
  }
  TPinnedLocale(const TPinnedLocale&) = delete;
  TPinnedLocale& operator=(const TPinnedLocale&) = delete;
  TFixedLocale locale;

 private:
  TcxDateLocale* saved_ = nullptr;
};

TEST(cxDataUtilsTest, DataCompareText) {
  struct Case {
    const char* text1;
    const char* text2;
    bool partial;
    bool match;
  };
  const Case cases[] = {
      {"Abc", "a", true, true},
      {"a", "Abc", true, false},
      {"Abc", "a", false, false},
      {"abc", "ABC", false, true},
      {"", "", false, true},
      {"", "", true, true},
      {"x", "", true, false},
      {"x", "", false, false},
      {"", "x", true, false},
      {"ab", "abc", true, false},
      {"\xE9t\xE9", "\xC9T", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.text1) + " / " + c.text2);
    EXPECT_EQ(DataCompareText(c.text1, c.text2, c.partial), c.match);
  }
}

TEST(cxDataUtilsTest, DefaultCurrencyDisplayFormatFollowsTheRegionalSettings) {
  struct Case {
    const char* symbol;
    const char* decimals;
    const char* placement;
    const char* format;
  };
  const Case cases[] = {
      {"$", "2", "0", "$,0.00"},      {"$", "2", "1", ",0.00$"},
      {"kr", "0", "2", "kr ,0."},     {"Fr.", "2", "3", ",0.00 Fr'.'"},
      {"a,b", "1", "0", "a','b,0.0"}, {"", "3", "2", ",0.000"},
  };
  TPinnedLocale pinned;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    pinned.locale.items[Platform::liSCurrency] = c.symbol;
    pinned.locale.items[Platform::liICurrDigits] = c.decimals;
    pinned.locale.items[Platform::liICurrency] = c.placement;
    EXPECT_EQ(DefaultCurrencyDisplayFormat(), c.format);
  }
}

TEST(cxDataUtilsTest, StartOfWeekIsSetOrTakenFromTheLocale) {
  TPinnedLocale pinned;
  pinned.locale.items[cxLocaleIFirstDayOfWeek] = "0";  // Monday
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 1);
  pinned.locale.items[cxLocaleIFirstDayOfWeek] = "6";  // Sunday
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 0);
  cxDataUtils::SetStartOfWeek(3);
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 3);
  cxDataUtils::SetStartOfWeek(8);
  cxDataUtils::SetStartOfWeek(-1);
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 3);
  cxDataUtils::SetStartOfWeek(10);
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 0);
  pinned.locale.items.erase(cxLocaleIFirstDayOfWeek);
  EXPECT_EQ(cxDataUtils::GetStartOfWeek(), 1) << "unreadable locale: Monday";
}

TEST(cxDataUtilsTest, StartDateOfWeek) {
  TPinnedLocale pinned;
  const TDateTime sunday = EncodeDate(2024, 3, 10);
  const TDateTime monday = EncodeDate(2024, 3, 4);
  cxDataUtils::SetStartOfWeek(1);
  EXPECT_EQ(cxDataUtils::GetStartDateOfWeek(sunday + 0.75), monday);
  EXPECT_EQ(cxDataUtils::GetStartDateOfWeek(monday), monday);
  cxDataUtils::SetStartOfWeek(0);
  EXPECT_EQ(cxDataUtils::GetStartDateOfWeek(sunday + 0.5), sunday);
  EXPECT_EQ(cxDataUtils::GetStartDateOfWeek(monday + 5), sunday - 7);
  EXPECT_EQ(cxDataUtils::DateOf(-1.25), -1.0);
  EXPECT_EQ(cxDataUtils::TimeOf(2.25), 0.25);
}

// ---------------------------------------------------------------------------
// TcxCollection
// ---------------------------------------------------------------------------

class TNamedItem : public TCollectionItem {
  VARNEL_CLASS(TNamedItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  String Name;
  void Assign(TPersistent* Source) override {
    if (auto item = dynamic_cast<TNamedItem*>(Source)) {
      Name = item->Name;
      return;
    }
    TCollectionItem::Assign(Source);
  }
};

class TCountingCollection : public cxDataUtils::TcxCollection {
  VARNEL_CLASS(TCountingCollection, cxDataUtils::TcxCollection)
 public:
  TCountingCollection() : TcxCollection(TNamedItem::StaticClass()) {}
  int updates = 0;

 protected:
  void Update(TCollectionItem*) override { ++updates; }
};

void Fill(TCollection& ACollection, std::initializer_list<const char*> ANames) {
  for (const char* name : ANames) {
    static_cast<TNamedItem*>(ACollection.Add())->Name = name;
  }
}

TEST(cxDataUtilsTest, CollectionAssignKeepsItsItems) {
  TCountingCollection source, target;
  Fill(source, {"a", "b"});
  Fill(target, {"x", "y", "z"});
  TCollectionItem* first = target.Items(0);
  TCollectionItem* second = target.Items(1);
  target.updates = 0;
  target.Assign(&source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Items(0), first);
  EXPECT_EQ(target.Items(1), second);
  EXPECT_EQ(target.Item<TNamedItem>(0)->Name, "a");
  EXPECT_EQ(target.Item<TNamedItem>(1)->Name, "b");
  EXPECT_EQ(target.updates, 1) << "one change for the whole bracket";

  Fill(source, {"c"});
  target.Assign(&source);
  ASSERT_EQ(target.Count(), 3);
  EXPECT_EQ(target.Items(0), first);
  EXPECT_EQ(target.Item<TNamedItem>(2)->Name, "c");

  TCountingCollection empty1, empty2;
  empty1.Assign(&empty2);
  EXPECT_EQ(empty1.updates, 0);
}

// ---------------------------------------------------------------------------
// TcxCustomDataBinding
// ---------------------------------------------------------------------------

TEST(cxDataUtilsTest, DataBindingReportsChangesThroughItsHooks) {
  TComponent owner(nullptr);
  TcxCustomDataBinding binding(&owner, nullptr);
  EXPECT_EQ(binding.GetOwner(), &owner);
  int dataSetChanges = 0, visualChanges = 0;
  binding.OnDataSetChange =
      TcxDataBindingNotifyEvent::FromFunction([&] { ++dataSetChanges; });
  EXPECT_TRUE(binding.CanModify());
  EXPECT_TRUE(binding.SetEditMode());
  binding.SetReadOnly(true);
  binding.SetReadOnly(true);
  EXPECT_EQ(dataSetChanges, 1);
  EXPECT_FALSE(binding.CanModify());
  EXPECT_TRUE(binding.IsControlReadOnly());
  EXPECT_TRUE(binding.GetStoredValue(evsValue, false).IsNull());

  class TWatched : public TcxCustomDataBinding {
   public:
    using TcxCustomDataBinding::TcxCustomDataBinding;
    int* changes = nullptr;
    void VisualControlChanged() override { ++*changes; }
  };
  TWatched watched(&owner, nullptr);
  watched.changes = &visualChanges;
  TComponent control(nullptr);
  watched.SetVisualControl(&control);
  watched.SetVisualControl(&control);
  EXPECT_EQ(visualChanges, 1);
  // Unset hooks are not called.
  watched.DataChange();
  watched.UpdateData();
}

}  // namespace
