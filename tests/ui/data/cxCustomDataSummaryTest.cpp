#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"
#include "VariantAssert.h"
#include "cxCustomData.h"
#include "cxVariants.h"

namespace {

// Orders sibling groups by the sorted group summary item of their level, in
// the direction of the level's grouping.
class TSummaryOrderEngine : public TcxSortingBySummaryEngine {
  VARNEL_CLASS(TSummaryOrderEngine, TcxSortingBySummaryEngine)
 public:
  void Sort() override {
    TcxDataSummary* summary = DataController()->Summary();
    TcxCustomDataControllerInfo* info = DataControllerInfo();
    SortGroups([&](Integer A, Integer B) {
      Integer level = info->DataGroups().GetLevel(A);
      TcxDataGroupSummaryItems* items = summary->GetGroupSummaryItems(level);
      TcxDataSummaryItem* sorted = items ? items->SortedSummaryItem() : nullptr;
      if (!sorted) return false;
      Integer c = cxSortCompareVariants(
          summary->GetGroupSummaryValue(A, sorted->Index()),
          summary->GetGroupSummaryValue(B, sorted->Index()));
      if (info->GroupingFieldList().Items(level).SortOrder == soDescending)
        c = -c;
      return c < 0;
    });
  }
};

class TSummarySortingController : public TcxDataController {
  VARNEL_CLASS(TSummarySortingController, TcxDataController)
 public:
  using TcxDataController::TcxDataController;
  TClass GetSortingBySummaryEngineClass() const override {
    return TSummaryOrderEngine::StaticClass();
  }
};

// Items: 0 group (String), 1 amount (Variant: any kind of value), 2 price
// (Currency), 3 day (DateTime). Each item is a client object, so summary
// items can be linked to it.
template <class TController>
class SummaryFixture : public ::testing::Test {
 protected:
  enum { kGroup, kAmount, kPrice, kDay };

  // Texts of numbers and dates in the US form.
  SummaryFixture() : savedFormats_(FormatSettings) {
    FormatSettings = DefaultFormatSettings();
  }
  ~SummaryFixture() override { FormatSettings = savedFormats_; }

  void SetUp() override {
    TcxValueTypeClass types[] = {
        TcxStringValueType::Class(), TcxVariantValueType::Class(),
        TcxCurrencyValueType::Class(), TcxDateTimeValueType::Class()};
    for (Integer i = 0; i < 4; ++i) {
      items_.push_back(std::make_unique<TObject>());
      dc_.AddItem(items_.back().get());
      dc_.ChangeValueTypeClass(i, types[i]);
    }
    dc_.OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) {
      if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) ++layoutNotices_;
    };
  }

  TObject* Link(Integer AItemIndex) { return items_[AItemIndex].get(); }
  TcxDataSummary* Summary() { return dc_.Summary(); }

  // One record per entry: (group, amount).
  void Load(const std::vector<std::pair<const char*, Variant>>& ARecords) {
    dc_.BeginUpdate();
    dc_.SetRecordCount(static_cast<Integer>(ARecords.size()));
    for (size_t i = 0; i < ARecords.size(); ++i) {
      dc_.SetValue(static_cast<Integer>(i), kGroup, ARecords[i].first);
      dc_.SetValue(static_cast<Integer>(i), kAmount, ARecords[i].second);
    }
    dc_.EndUpdate();
  }
  void LoadAmounts(const std::vector<Variant>& AValues) {
    std::vector<std::pair<const char*, Variant>> records;
    for (const Variant& v : AValues) records.push_back({"g", v});
    Load(records);
  }

  // Level-0 groups in row order: (group value, group summary value i).
  std::vector<std::pair<String, Variant>> TopGroups(Integer AValueIndex = 0) {
    std::vector<std::pair<String, Variant>> result;
    TcxDataControllerGroups* groups = dc_.Groups();
    for (Integer i = 0; i < groups->GetChildCount(-1); ++i) {
      Integer g = groups->GetChildDataGroupIndex(-1, i);
      result.push_back({VarToStr(groups->GetGroupValue(g)),
                        Summary()->GetGroupSummaryValue(g, AValueIndex)});
    }
    return result;
  }

  TFormatSettings savedFormats_;
  std::vector<std::unique_ptr<TObject>> items_;
  TController dc_;
  Integer layoutNotices_ = 0;
};

using DataSummaryTest = SummaryFixture<TcxDataController>;
using SortingBySummaryTest = SummaryFixture<TSummarySortingController>;

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

TEST_F(DataSummaryTest, FooterValuesOfEachKind) {
  const Variant N = Null();
  const Int64 big = std::numeric_limits<Int64>::max() - 10;
  struct Case {
    const char* name;
    std::vector<Variant> values;
    TcxSummaryKind kind;
    bool nullIgnore;
    Variant value;
    Integer count;
  };
  const Case cases[] = {
      {"sum counts nulls", {N, 2, 3}, skSum, false, 5, 3},
      {"sum ignoring nulls", {N, 2, 3}, skSum, true, 5, 2},
      {"min waits for a value", {N, 5, 2}, skMin, false, 2, 3},
      {"max keeps the first of equals", {2, 7, 7}, skMax, false, 7, 3},
      {"average", {2, 3, 4}, skAverage, false, 3.0, 3},
      {"average counts a null", {N, 2, 4}, skAverage, false, 2.0, 3},
      {"average ignoring nulls", {N, 2, 4}, skAverage, true, 3.0, 2},
      {"sum of nulls", {N, N}, skSum, false, 0, 2},
      {"sum of nulls ignored", {N, N}, skSum, true, N, 0},
      {"no records", {}, skSum, false, N, 0},
      {"min of texts", {"pear", "apple"}, skMin, false, "apple", 2},
      // Mended: the platform addition would join the texts into "102.5".
      {"sum of number texts", {"10", "2.5"}, skSum, false, 12.5, 2},
      // Mended: text that is no number ends the item, not the update pass.
      {"sum with a word", {2, "abc", 3}, skSum, false, N, 3},
      {"sum past 32 bits", {2147483647, 1}, skSum, false, Int64{2147483648}, 2},
      // Mended: past 64 bits the sum goes on in floating point.
      {"sum past 64 bits",
       {big, big},
       skSum,
       false,
       static_cast<double>(big) * 2,
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Summary()->FooterSummaryItems()->Clear();
    Summary()->SetOptions(c.nullIgnore ? TcxSummaryOptions{soNullIgnore}
                                       : TcxSummaryOptions{});
    Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, c.kind);
    Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, skCount);
    LoadAmounts(c.values);
    EXPECT_TRUE(SameVariant(Summary()->GetFooterSummaryValue(0), c.value));
    EXPECT_TRUE(
        SameVariant(Summary()->GetFooterSummaryValue(1), Variant(c.count)));
  }
}

TEST_F(DataSummaryTest, AverageOfDatesIsADate) {
  Summary()->FooterSummaryItems()->Add(Link(kDay), spFooter, skAverage);
  dc_.BeginUpdate();
  dc_.SetRecordCount(2);
  dc_.SetValue(0, kDay, VarFromDateTime(EncodeDate(2024, 3, 1)));
  dc_.SetValue(1, kDay, VarFromDateTime(EncodeDate(2024, 3, 5)));
  dc_.EndUpdate();
  Variant v = Summary()->GetFooterSummaryValue(0);
  EXPECT_EQ(VarType(v), varDate);
  EXPECT_EQ(v.AsDateTime(), EncodeDate(2024, 3, 3));
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "AVG=3/3/2024");
}

TEST_F(DataSummaryTest, CountWithoutFieldCountsGroupRecordsOnly) {
  Summary()->DefaultGroupSummaryItems()->Add(nullptr, spGroup, skCount);
  Summary()->FooterSummaryItems()->Add(nullptr, spFooter, skCount);
  Load({{"a", 1}, {"b", 2}, {"b", 3}});
  dc_.ChangeGrouping(kGroup, 0);
  EXPECT_EQ(TopGroups(),
            (std::vector<std::pair<String, Variant>>{{"a", 1}, {"b", 2}}));
  // In the footer a count needs a field: not computed at all.
  EXPECT_TRUE(Summary()->GetFooterSummaryValue(0).IsEmpty());
  Summary()->SetOptions({soNullIgnore});
  EXPECT_EQ(TopGroups(),
            (std::vector<std::pair<String, Variant>>{{"a", 0}, {"b", 0}}));
}

// Groups a: 5, 6 and b: 1, 2, 7, with a sum and a count per group.
class GroupSummaryTest : public DataSummaryTest {
 protected:
  void SetUp() override {
    DataSummaryTest::SetUp();
    TcxDataGroupSummaryItems* items = Summary()->DefaultGroupSummaryItems();
    items->Add(Link(kAmount), spGroup, skSum);
    items->Add(nullptr, spGroup, skCount);
    items->Add(Link(kAmount), spFooter, skMax);
    Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, skSum);
    Load({{"b", 1}, {"a", 5}, {"b", 2}, {"a", 6}, {"b", 7}});
    dc_.ChangeGrouping(kGroup, 0);
  }
};

TEST_F(GroupSummaryTest, GroupTextsAndFooterFollowTheFilter) {
  ASSERT_EQ(dc_.GetRowCount(), 2);
  EXPECT_EQ(Summary()->GetGroupSummaryText(0), "(SUM=11.00, COUNT=2)");
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(SUM=10.00, COUNT=3)");
  EXPECT_EQ(Summary()->GetGroupFooterSummaryText(1, 0, 2), "MAX=7.00");
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "21.00");

  dc_.OnFilterRecord = [](TcxCustomDataController* ADc, Integer ARecord,
                          bool& AAccept) {
    AAccept = ADc->GetValue(ARecord, kAmount).AsInteger() != 7;
  };
  dc_.Refresh();
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(SUM=3.00, COUNT=2)");
  EXPECT_EQ(Summary()->GetGroupFooterSummaryText(1, 0, 2), "MAX=2.00");
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "14.00");

  // A data row reads the values of its group.
  dc_.ChangeExpanding(0, true, false);
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(SUM=11.00, COUNT=2)");
}

TEST_F(GroupSummaryTest, SummaryGroupGivesALevelItsOwnItems) {
  dc_.ChangeGrouping(kPrice, 1);
  TcxDataSummaryGroup* group = Summary()->SummaryGroups()->Add();
  group->Links()->Add()->SetItemLink(Link(kPrice));
  group->SummaryItems()->Add(nullptr, spGroup, skCount);
  group->SummaryItems()->SetBeginText("[");
  group->SummaryItems()->SetEndText("]");
  dc_.ChangeExpanding(0, true, false);
  // Row 0 group a (level 0), row 1 its one price group (Null prices).
  EXPECT_EQ(Summary()->GetGroupSummaryText(0), "(SUM=11.00, COUNT=2)");
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "[COUNT=2]");
  // A field belongs to one summary group only.
  TcxDataSummaryGroup* other = Summary()->SummaryGroups()->Add();
  other->Links()->Add()->SetItemLink(Link(kPrice));
  EXPECT_EQ(group->Links()->Items(0)->ItemLink(), nullptr);
  EXPECT_EQ(Summary()->SummaryGroups()->FindByItemLink(Link(kPrice)), other);
}

TEST_F(GroupSummaryTest, OutOfRangeIndexesGiveNullAndEmptyTexts) {
  EXPECT_TRUE(Summary()->GetGroupSummaryValue(-1, 0).IsNull());
  EXPECT_TRUE(Summary()->GetGroupSummaryValue(99, 0).IsNull());
  EXPECT_TRUE(Summary()->GetGroupSummaryValue(0, 9).IsNull());
  EXPECT_EQ(Summary()->GetGroupSummaryValues(-1), nullptr);
  EXPECT_TRUE(Summary()->GetFooterSummaryValue(5).IsNull());
  EXPECT_EQ(Summary()->GetFooterSummaryText(-1), "");
  EXPECT_EQ(Summary()->GetGroupSummaryText(57), "");
  EXPECT_EQ(Summary()->GetGroupFooterSummaryText(0, 3, 0), "");
  Summary()->SetGroupSummaryValue(99, 0, 1);
  Summary()->SetFooterSummaryValue(7, 1);
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "21.00");
}

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

TEST_F(DataSummaryTest, DefaultFormatsAndOwnFormats) {
  TcxDataFooterSummaryItems* footer = Summary()->FooterSummaryItems();
  TcxDataGroupSummaryItems* group = Summary()->DefaultGroupSummaryItems();
  TcxDataSummaryItem* f = footer->Add(Link(kAmount), spFooter, skSum);
  TcxDataSummaryItem* g = group->Add(Link(kAmount), spGroup, skSum);
  const TDateTime day = EncodeDate(2024, 3, 4);
  const TDateTime noon = 0.5;
  String cf = DefaultCurrencyDisplayFormat();
  Currency price = Currency::FromScaled(1234500);
  struct Case {
    TcxSummaryKind kind;
    Variant value;
    const char* format;
    String footerText;
    String groupText;
  };
  const Case cases[] = {
      {skSum, 10, "", "10.00", "SUM=10.00"},
      {skSum, -2.5, "", "-2.50", "SUM=-2.50"},
      {skMin, 1.5, "", "MIN=1.50", "MIN=1.50"},
      {skMax, 3, "", "MAX=3.00", "MAX=3.00"},
      {skAverage, 3.0, "", "AVG=3.00", "AVG=3.00"},
      {skCount, 3, "", "3", "COUNT=3"},
      {skSum, 1.25, "0.0 kg", "1.3 kg", "1.3 kg"},
      {skNone, "x", "", "x", "x"},
      {skSum, Null(), "", "", ""},
      {skSum, Variant(price), "", FormatFloat(cf, 123.45),
       "SUM=" + FormatFloat(cf, 123.45)},
      {skMin, VarFromDateTime(day), "", "MIN=3/4/2024", "MIN=3/4/2024"},
      {skSum, VarFromDateTime(day), "", "3/4/2024", "SUM=3/4/2024"},
      {skMax, VarFromDateTime(day + noon), "", "MAX=3/4/2024 12:00:00 PM",
       "MAX=3/4/2024 12:00:00 PM"},
      {skMax, VarFromDateTime(noon), "", "MAX=12:00:00 PM", "MAX=12:00:00 PM"},
      // For dates the format is a prefix, not a pattern.
      {skMin, VarFromDateTime(day), "From", "From3/4/2024", "From3/4/2024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarToStr(c.value) + " " + c.format);
    for (TcxDataSummaryItem* item : {f, g}) {
      item->SetKind(c.kind);
      item->SetFormat(c.format);
    }
    EXPECT_EQ(f->FormatValue(c.value, true), c.footerText);
    EXPECT_EQ(g->FormatValue(c.value, false), c.groupText);
  }
  g->OnGetText = [](TcxDataSummaryItem*, const Variant&, bool AIsFooter,
                    String& AText) { AText = AIsFooter ? "F" : "G:" + AText; };
  g->SetKind(skCount);
  g->SetFormat("");
  EXPECT_EQ(g->FormatValue(3, false), "G:COUNT=3");
}

TEST_F(DataSummaryTest, GroupTextJoinsOnlyGroupPositionItems) {
  TcxDataGroupSummaryItems* items = Summary()->DefaultGroupSummaryItems();
  items->Add(Link(kAmount), spGroup, skSum);
  items->Add(Link(kAmount), spFooter, skMax);
  items->Add(Link(kAmount), spGroup, skCount);
  items->SetSeparator(";");
  EXPECT_EQ(items->GetGroupText(VarArrayOf({10, 9, 3})),
            "(SUM=10.00; COUNT=3)");
  items->Clear();
  EXPECT_EQ(items->GetGroupText(Null()), "");
}

// ---------------------------------------------------------------------------
// Values set by the application, notifications
// ---------------------------------------------------------------------------

TEST_F(GroupSummaryTest, ReplacedValuesLastUntilTheNextRecalculation) {
  Integer afterSummary = 0;
  Summary()->OnAfterSummary = [&](TcxDataSummary*) { ++afterSummary; };
  layoutNotices_ = 0;
  Integer groupB = dc_.Groups()->GetDataGroupIndexByGroupValue(-1, "b");
  Summary()->SetGroupSummaryValue(groupB, 0, 99);
  Summary()->SetFooterSummaryValue(0, 1000);
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(SUM=99.00, COUNT=3)");
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "1000.00");
  EXPECT_EQ(afterSummary, 0);    // no recalculation
  EXPECT_EQ(layoutNotices_, 2);  // a repaint each

  layoutNotices_ = 0;
  Summary()->SetFooterSummaryValue(0, 1000);  // the same value
  EXPECT_EQ(layoutNotices_, 0);

  dc_.SetValue(0, kAmount, 4);  // b: 4, 2, 7
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(SUM=13.00, COUNT=3)");
  EXPECT_EQ(Summary()->GetFooterSummaryText(0), "24.00");
  EXPECT_EQ(afterSummary, 1);
}

TEST_F(DataSummaryTest, AfterSummaryWaitsWhileTheOwnerLoads) {
  TComponent owner(nullptr);
  TObject item;
  TcxDataController dc(&owner);
  dc.AddItem(&item);
  dc.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
  Integer calls = 0;
  Variant seen;
  dc.Summary()->FooterSummaryItems()->Add(&item, spFooter, skSum);
  dc.Summary()->OnAfterSummary = [&](TcxDataSummary* ASummary) {
    ++calls;
    seen = ASummary->GetFooterSummaryValue(0);
    // Changes made here start no new computation.
    ASummary->FooterSummaryItems()->Items(0)->SetKind(skMax);
  };
  owner.IncludeState(csLoading);
  dc.SetRecordCount(2);
  dc.SetValue(0, 0, 3);
  dc.SetValue(1, 0, 4);
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(dc.AfterSummaryPending());
  EXPECT_TRUE(SameVariant(dc.Summary()->GetFooterSummaryValue(0), 7));

  owner.Loaded();
  ASSERT_TRUE(dc.AfterSummaryPending());
  dc.Loaded();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(SameVariant(seen, 7));
  EXPECT_FALSE(dc.AfterSummaryPending());
}

// ---------------------------------------------------------------------------
// Items per controller item, removal, options
// ---------------------------------------------------------------------------

TEST_F(DataSummaryTest, DataItemPropertiesAddAndFreeItems) {
  TcxDataFooterSummaryItems* footer = Summary()->FooterSummaryItems();
  footer->SetDataItemFormat(kAmount, spFooter, "");
  EXPECT_EQ(footer->Count(), 0);  // an empty value adds nothing
  footer->SetDataItemKind(kAmount, spFooter, skSum);
  ASSERT_EQ(footer->Count(), 1);
  EXPECT_EQ(footer->GetDataItemKind(kAmount, spFooter), skSum);
  EXPECT_EQ(footer->Items(0)->ItemLink(), Link(kAmount));
  footer->SetDataItemFormat(kAmount, spFooter, "0");
  footer->SetDataItemKind(kAmount, spFooter, skNone);
  EXPECT_EQ(footer->Count(), 1);  // the format keeps it
  footer->SetDataItemFormat(kAmount, spFooter, "");
  EXPECT_EQ(footer->Count(), 0);
  EXPECT_THROW(footer->SetDataItemKind(9, spFooter, skSum),
               EcxInvalidDataControllerOperation);

  TcxDataGroupSummaryItems* group = Summary()->DefaultGroupSummaryItems();
  group->Add(Link(kAmount), spGroup, skSum);
  group->Add(Link(kAmount), spFooter, skSum);
  group->Add(Link(kPrice), spGroup, skSum);
  group->DeleteItems(Link(kAmount), spGroup);
  ASSERT_EQ(group->Count(), 2);
  EXPECT_EQ(group->Items(0)->Position(), spFooter);
}

TEST_F(GroupSummaryTest, RemovingAnItemUnbindsItsSummaryItems) {
  dc_.RemoveItem(Link(kAmount));
  TcxDataGroupSummaryItems* items = Summary()->DefaultGroupSummaryItems();
  ASSERT_EQ(items->Count(), 3);
  EXPECT_EQ(items->Items(0)->Field(), nullptr);
  EXPECT_EQ(Summary()->FooterSummaryItems()->Items(0)->Field(), nullptr);
  // Mended: an unbound item shows nothing rather than "SUM=0.00".
  EXPECT_EQ(Summary()->GetGroupSummaryText(1), "(, COUNT=3)");
}

TEST_F(DataSummaryTest, AssignCopiesItemsIntoAnotherController) {
  Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, skSum, "0");
  Summary()->FooterSummaryItems()->Add(Link(kPrice), spFooter, skMax);
  TcxDataSummaryGroup* group = Summary()->SummaryGroups()->Add();
  group->Links()->Add()->SetItemLink(Link(kGroup));
  group->SummaryItems()->Add(nullptr, spGroup, skCount);
  Summary()->SetOptions({soNullIgnore});
  Integer calls = 0;
  Summary()->OnAfterSummary = [&](TcxDataSummary*) { ++calls; };

  // Shares the amount item only.
  TcxDataController other;
  other.AddItem(Link(kAmount));
  other.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
  other.Summary()->Assign(Summary());
  TcxDataFooterSummaryItems* footer = other.Summary()->FooterSummaryItems();
  ASSERT_EQ(footer->Count(), 2);
  EXPECT_EQ(footer->Items(0)->ItemLink(), Link(kAmount));
  EXPECT_EQ(footer->Items(0)->Format(), "0");
  EXPECT_EQ(footer->Items(1)->ItemLink(), nullptr);
  EXPECT_EQ(footer->Items(1)->Kind(), skMax);
  ASSERT_EQ(other.Summary()->SummaryGroups()->Count(), 1);
  EXPECT_EQ(other.Summary()->SummaryGroups()->Items(0)->SummaryItems()->Count(),
            1);
  EXPECT_EQ(other.Summary()->Options(), TcxSummaryOptions{soNullIgnore});
  calls = 0;
  other.SetRecordCount(1);
  other.SetValue(0, 0, 4);
  EXPECT_EQ(other.Summary()->GetFooterSummaryText(0), "4");
  EXPECT_GT(calls, 0);
}

TEST_F(DataSummaryTest, OptionsKeepTheNewlyAddedSelectedRecordsOption) {
  Summary()->SetOptions({soSelectedRecords});
  Summary()->SetOptions({soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_EQ(Summary()->Options(), TcxSummaryOptions{soMultipleSelectedRecords});
  Summary()->SetOptions(
      {soNullIgnore, soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_EQ(Summary()->Options(),
            (TcxSummaryOptions{soNullIgnore, soSelectedRecords}));
}

TEST_F(DataSummaryTest, SelectedRecordsRestrictTheSummary) {
  Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, skSum);
  LoadAmounts({1, 2, 4, 8});
  dc_.SetMultiSelect(true);
  dc_.ClearSelection();
  Summary()->SetOptions({soMultipleSelectedRecords});
  dc_.ChangeRowSelection(1, true);
  // One selected row is not a multiple selection: all records count.
  EXPECT_TRUE(SameVariant(Summary()->GetFooterSummaryValue(0), 15));
  dc_.ChangeRowSelection(3, true);
  EXPECT_TRUE(SameVariant(Summary()->GetFooterSummaryValue(0), 10));
  Summary()->SetOptions({soSelectedRecords});
  dc_.ChangeRowSelection(3, false);
  EXPECT_TRUE(SameVariant(Summary()->GetFooterSummaryValue(0), 2));
}

// ---------------------------------------------------------------------------
// Sorting groups by a summary
// ---------------------------------------------------------------------------

// Groups a: 5, 6 (11), b: 1, 2, 7 (10), c: 20; sum then count per group.
class SortedGroupsTest : public SortingBySummaryTest {
 protected:
  void SetUp() override {
    SortingBySummaryTest::SetUp();
    TcxDataGroupSummaryItems* items = Summary()->DefaultGroupSummaryItems();
    sum_ = items->Add(Link(kAmount), spGroup, skSum);
    items->Add(nullptr, spGroup, skCount);
    Load({{"b", 1}, {"a", 5}, {"c", 20}, {"b", 2}, {"a", 6}, {"b", 7}});
    dc_.ChangeGrouping(kGroup, 0);
  }
  using Groups = std::vector<std::pair<String, Variant>>;
  TcxDataSummaryItem* sum_ = nullptr;
};

TEST_F(SortedGroupsTest, GroupsFollowTheirSummary) {
  EXPECT_EQ(TopGroups(), (Groups{{"a", 11}, {"b", 10}, {"c", 20}}));
  sum_->SetSorted(true);
  EXPECT_EQ(TopGroups(), (Groups{{"b", 10}, {"a", 11}, {"c", 20}}));
  EXPECT_EQ(Summary()->GetGroupSummaryText(0), "(SUM=10.00, COUNT=3)");
  // The records move with their group.
  dc_.ChangeExpanding(0, true, false);
  std::vector<Integer> records;
  for (Integer r = 1; r <= 3; ++r)
    records.push_back(dc_.GetRowInfo(r).RecordIndex);
  EXPECT_EQ(records, (std::vector<Integer>{0, 3, 5}));
  std::vector<Integer> loaded;
  dc_.Groups()->LoadRecordIndexes(loaded,
                                  dc_.Groups()->GetChildDataGroupIndex(-1, 1));
  EXPECT_EQ(loaded, (std::vector<Integer>{1, 4}));

  dc_.ChangeSorting(kGroup, soDescending);
  EXPECT_EQ(TopGroups(), (Groups{{"c", 20}, {"a", 11}, {"b", 10}}));

  sum_->SetSorted(false);
  EXPECT_EQ(TopGroups(), (Groups{{"c", 20}, {"b", 10}, {"a", 11}}));
}

TEST_F(SortedGroupsTest, SortingRecordsKeepsThemInTheirGroups) {
  sum_->SetSorted(true);
  dc_.ChangeSorting(kAmount, soDescending);
  EXPECT_EQ(TopGroups(), (Groups{{"b", 10}, {"a", 11}, {"c", 20}}));
  std::vector<Integer> records;
  dc_.Groups()->LoadRecordIndexes(records, -1);
  EXPECT_EQ(records, (std::vector<Integer>{5, 3, 0, 4, 1, 2}));
  dc_.ChangeExpanding(1, true, false);
  EXPECT_EQ(dc_.GetRowInfo(2).RecordIndex, 4);
  EXPECT_EQ(dc_.GetRowInfo(4).RecordIndex, 2);
}

TEST_F(SortedGroupsTest, ExpandedAndSelectedGroupsFollowAResort) {
  sum_->SetSorted(true);  // b, a, c
  dc_.SetMultiSelect(true);
  dc_.ClearSelection();
  dc_.ChangeExpanding(0, true, false);  // b: rows 1..3
  dc_.ChangeRowSelection(5, true);      // group c
  dc_.SetValue(2, kAmount, 3);          // c: 3 comes first
  EXPECT_EQ(TopGroups(), (Groups{{"c", 3}, {"b", 10}, {"a", 11}}));
  EXPECT_TRUE(dc_.GetRowInfo(1).Expanded);
  EXPECT_EQ(dc_.GetRowInfo(2).RecordIndex, 0);
  EXPECT_EQ(dc_.GetRowCount(), 6);
  ASSERT_EQ(dc_.GetSelectedCount(), 1);
  EXPECT_EQ(dc_.GetSelectedRowIndex(0), 0);
}

TEST_F(SortedGroupsTest, DataChangesAndReplacedValuesResort) {
  sum_->SetSorted(true);
  dc_.SetValue(2, kAmount, 3);  // c: 3
  EXPECT_EQ(TopGroups(), (Groups{{"c", 3}, {"b", 10}, {"a", 11}}));
  // A value set by the application reorders and stays with its group.
  Integer groupC = dc_.Groups()->GetDataGroupIndexByGroupValue(-1, "c");
  Summary()->SetGroupSummaryValue(groupC, 0, 50);
  EXPECT_EQ(TopGroups(), (Groups{{"b", 10}, {"a", 11}, {"c", 50}}));
  EXPECT_EQ(TopGroups(1), (Groups{{"b", 3}, {"a", 2}, {"c", 1}}));
}

TEST_F(SortedGroupsTest, ControllerNamesTheSortingItem) {
  dc_.SetSortingBySummaryDataItemIndex(kAmount);
  EXPECT_EQ(dc_.GetSortingBySummaryDataItemIndex(), kAmount);
  EXPECT_EQ(Summary()->DefaultGroupSummaryItems()->SortedSummaryItem(), sum_);
  EXPECT_EQ(TopGroups(), (Groups{{"b", 10}, {"a", 11}, {"c", 20}}));
  sum_->SetSorted(true);  // ignored while the controller names one
  EXPECT_FALSE(sum_->Sorted());
  EXPECT_THROW(dc_.SetSortingBySummaryDataItemIndex(9),
               EcxInvalidDataControllerOperation);
  dc_.SetSortingBySummaryDataItemIndex(-1);
  EXPECT_EQ(TopGroups(), (Groups{{"a", 11}, {"b", 10}, {"c", 20}}));
}

TEST_F(SortedGroupsTest, OneSortedItemPerCollectionAndNoneForSelections) {
  TcxDataSummaryItem* count = Summary()->DefaultGroupSummaryItems()->Items(1);
  sum_->SetSorted(true);
  count->SetSorted(true);
  EXPECT_FALSE(sum_->Sorted());
  EXPECT_EQ(TopGroups(), (Groups{{"c", 20}, {"a", 11}, {"b", 10}}));
  Summary()->SetOptions({soSelectedRecords});
  EXPECT_FALSE(dc_.IsSortingBySummary());
  Summary()->SetOptions({});
  // Freeing the sorted item restores the grouping order.
  Summary()->DefaultGroupSummaryItems()->Delete(1);
  EXPECT_EQ(TopGroups(), (Groups{{"a", 11}, {"b", 10}, {"c", 20}}));
}

TEST_F(GroupSummaryTest, WithoutAnEngineSortedGroupsKeepTheirOrder) {
  Summary()->DefaultGroupSummaryItems()->Items(0)->SetSorted(true);
  EXPECT_TRUE(dc_.IsSortingBySummary());
  EXPECT_EQ(TopGroups(),
            (std::vector<std::pair<String, Variant>>{{"a", 11}, {"b", 10}}));
}

// ---------------------------------------------------------------------------
// Grouping interface
// ---------------------------------------------------------------------------

TEST_F(DataSummaryTest, GroupingInterfaceOverTwoLevels) {
  dc_.BeginUpdate();
  dc_.SetRecordCount(4);
  const char* groups[] = {"b", "a", "b", "b"};
  const Integer days[] = {2, 1, 1, 2};
  for (Integer i = 0; i < 4; ++i) {
    dc_.SetValue(i, kGroup, groups[i]);
    dc_.SetValue(i, kDay, VarFromDateTime(EncodeDate(2024, 1, days[i])));
  }
  dc_.EndUpdate();
  Integer groupingChanges = 0;
  dc_.OnGroupingChanged = [&](TcxCustomDataController*) { ++groupingChanges; };
  TcxDataControllerGroups* g = dc_.Groups();
  g->ChangeGrouping(kGroup, 0);
  g->ChangeGrouping(kDay, 1);
  EXPECT_EQ(groupingChanges, 2);
  g->ChangeGrouping(kDay, 1);  // already there
  EXPECT_EQ(groupingChanges, 2);
  EXPECT_THROW(g->ChangeGrouping(7, 0), EcxInvalidDataControllerOperation);
  EXPECT_THROW(g->GetItemGroupIndex(-1), EcxInvalidDataControllerOperation);

  EXPECT_EQ(g->GetGroupingItemCount(), 2);
  EXPECT_EQ(g->GetGroupingItemIndex(1), kDay);
  EXPECT_EQ(g->GetGroupingItemIndex(2), -1);
  EXPECT_EQ(g->GetItemGroupIndex(kAmount), -1);

  Integer b = g->GetDataGroupIndexByGroupValue(-1, "b");
  EXPECT_EQ(g->GetDataGroupIndexByGroupValue(-1, "z"), -1);
  ASSERT_GE(b, 0);
  EXPECT_EQ(g->GetLevel(b), 0);
  EXPECT_EQ(g->GetChildCount(b), 2);
  Integer bDay2 = g->GetChildDataGroupIndex(b, 1);
  EXPECT_EQ(g->GetParentDataGroupIndex(bDay2), b);
  EXPECT_EQ(g->GetGroupDisplayText(b), "b");
  EXPECT_TRUE(SameVariant(g->GetGroupValue(bDay2),
                          VarFromDateTime(EncodeDate(2024, 1, 2))));
  EXPECT_EQ(g->GetChildRecordIndex(bDay2, 1), 3);
  EXPECT_EQ(g->GetChildRecordIndex(bDay2, 2), -1);
  EXPECT_EQ(g->GetGroupRecordIndex(b), 2);

  std::vector<Integer> records;
  g->LoadRecordIndexes(records, b);
  EXPECT_EQ(records, (std::vector<Integer>{2, 0, 3}));
  records.clear();
  g->LoadRecordIndexes(records, -1);
  EXPECT_EQ(records, (std::vector<Integer>{1, 2, 0, 3}));

  // Rows: a, b collapsed. Expand b and its second day.
  g->ChangeExpanding(1, true, false);
  g->ChangeExpanding(3, true, false);
  EXPECT_EQ(g->GetDataGroupIndexByRowIndex(4), bDay2);
  EXPECT_TRUE(g->HasAsParent(4, 1));
  EXPECT_TRUE(g->HasAsParent(4, 3));
  EXPECT_FALSE(g->HasAsParent(4, 2));
  EXPECT_FALSE(g->HasAsParent(1, 4));
  records.clear();
  g->LoadRecordIndexesByRowIndex(records, 4);
  EXPECT_EQ(records, (std::vector<Integer>{0, 3}));

  g->ClearGrouping();
  EXPECT_EQ(groupingChanges, 3);
  EXPECT_FALSE(g->HasAsParent(0, 1));
  EXPECT_EQ(dc_.GetRowCount(), 4);
}

// ---------------------------------------------------------------------------
// Copying between controllers
// ---------------------------------------------------------------------------

// Client items that carry their own ID, as a control's items do.
class TIdItem : public TObject {
  VARNEL_CLASS(TIdItem, TObject)
 public:
  explicit TIdItem(Integer AID) : ID(AID) {}
  Integer ID;
};

class TIdController : public TcxDataController {
  VARNEL_CLASS(TIdController, TcxDataController)
 public:
  explicit TIdController(std::vector<Integer> AIDs) {
    for (Integer id : AIDs) {
      items.push_back(std::make_unique<TIdItem>(id));
      AddItem(items.back().get());
    }
  }
  Integer GetItemID(TObject* AItem) const override {
    auto* item = dynamic_cast<TIdItem*>(AItem);
    return item ? item->ID : -1;
  }
  TObject* ItemWithID(Integer AID) const {
    for (const auto& item : items)
      if (item->ID == AID) return item.get();
    return nullptr;
  }
  std::vector<std::unique_ptr<TIdItem>> items;
};

TEST(SummaryAssign, ItemsFindTheTargetsItemOfTheSameID) {
  TIdController source({1, 2, 3});
  TIdController target({3, 1});
  TcxDataFooterSummaryItems* footer = source.Summary()->FooterSummaryItems();
  for (Integer id : {1, 2, 3})
    footer->Add(source.ItemWithID(id), spFooter, skSum);
  TcxDataSummaryGroup* group = source.Summary()->SummaryGroups()->Add();
  group->Links()->Add()->SetItemLink(source.ItemWithID(3));

  target.Summary()->Assign(source.Summary());
  TcxDataFooterSummaryItems* copied = target.Summary()->FooterSummaryItems();
  ASSERT_EQ(copied->Count(), 3);
  EXPECT_EQ(copied->Items(0)->ItemLink(), target.ItemWithID(1));
  EXPECT_EQ(copied->Items(1)->ItemLink(), nullptr);
  EXPECT_EQ(copied->Items(2)->ItemLink(), target.ItemWithID(3));
  EXPECT_EQ(
      target.Summary()->SummaryGroups()->FindByItemLink(target.ItemWithID(3)),
      target.Summary()->SummaryGroups()->Items(0));
}

TEST_F(DataSummaryTest, ControllerAssignCopiesOptionsFilterSummaryAndEvents) {
  LoadAmounts({Variant(1), Variant(2), Variant(3)});
  dc_.SetOptions({dcoCaseInsensitive});
  dc_.Filter()->AddItem(nullptr, Link(kAmount), foGreater, 1, "1");
  dc_.Filter()->SetActive(true);
  Summary()->FooterSummaryItems()->Add(Link(kAmount), spFooter, skSum);
  Integer dataChanges = 0, controlNotices = 0;
  dc_.OnDataChanged = [&](TcxCustomDataController*) { ++dataChanges; };
  dc_.OnFilterRecord = [](TcxCustomDataController* ADc, Integer ARecord,
                          bool& AAccept) {
    AAccept = ADc->GetValue(ARecord, kAmount).AsInteger() != 3;
  };

  TcxDataController other;
  for (Integer i = 0; i < 4; ++i) other.AddItem(Link(i));
  other.ChangeValueTypeClass(kAmount, TcxIntegerValueType::Class());
  other.SetRecordCount(3);
  for (Integer r = 0; r < 3; ++r) other.SetValue(r, kAmount, r + 1);
  other.OnUpdateControl = [&](TcxUpdateControlInfo*) { ++controlNotices; };
  other.Assign(&dc_);

  EXPECT_EQ(other.Options(), TcxDataControllerOptions{dcoCaseInsensitive});
  EXPECT_TRUE(other.Filter()->Active());
  ASSERT_EQ(other.Summary()->FooterSummaryItems()->Count(), 1);
  // Only 2 passes the filter (> 1) and the handler (not 3).
  EXPECT_EQ(other.GetFilteredRecordCount(), 1);
  EXPECT_EQ(other.Summary()->GetFooterSummaryValue(0).AsInteger(), 2);
  EXPECT_GT(controlNotices, 0);  // the control keeps its own view
  dataChanges = 0;
  other.SetValue(0, kAmount, 5);
  EXPECT_EQ(dataChanges, 1);

  // Anything but a controller is refused as TPersistent refuses it.
  TStringList strings;
  EXPECT_THROW(other.Assign(&strings), EConvertError);
}

// ---------------------------------------------------------------------------
// Form streams
// ---------------------------------------------------------------------------

// Carries a summary through the component streams as its property
// "Summary".
class TSummaryCarrier : public TComponent {
  VARNEL_CLASS(TSummaryCarrier, TComponent)
 public:
  explicit TSummaryCarrier(TcxDataSummary* ASummary = nullptr)
      : TComponent(nullptr), summary(ASummary) {}
  TcxDataSummary* Summary() const { return summary; }
  TcxDataSummary* summary;
};

class SummaryStreamTest : public DataSummaryTest {
 protected:
  static void SetUpTestSuite() {
    TPublished<TSummaryCarrier>().Property("Summary",
                                           &TSummaryCarrier::Summary);
  }
  static void TearDownTestSuite() {
    UnpublishClass(TSummaryCarrier::StaticClass());
  }

  static String Stream(TcxDataSummary* ASummary) {
    TSummaryCarrier carrier(ASummary);
    TMemoryStream stream;
    WriteComponentToStream(stream, &carrier);
    return String(static_cast<const char*>(stream.Memory()),
                  static_cast<size_t>(stream.Size()));
  }
  static String Text(const String& ABinary) {
    TStringStream in(ABinary), out("");
    ObjectBinaryToText(in, out);
    return out.DataString();
  }
  static void Read(const String& ABinary, TcxDataSummary* ASummary) {
    TSummaryCarrier carrier(ASummary);
    TStringStream in(ABinary);
    ReadComponentFromStream(in, &carrier);
  }
};

TEST_F(SummaryStreamTest, PropertiesMakeTheRoundTripAndDefaultsStayOut) {
  Summary()->SetOptions({soNullIgnore});
  Summary()->FooterSummaryItems()->Add(nullptr, spFooter, skSum, "0.0");
  TcxDataGroupSummaryItems* defaults = Summary()->DefaultGroupSummaryItems();
  defaults->Add(nullptr, spFooter, skCount);
  defaults->Add(nullptr, spGroup, skNone);
  defaults->SetBeginText("");
  defaults->SetSeparator(";");
  TcxDataSummaryGroup* group = Summary()->SummaryGroups()->Add();
  group->Links()->Add();
  group->SummaryItems()->Add(nullptr, spGroup, skMax, "M=");
  group->SummaryItems()->SetEndText("]");

  String binary = Stream(Summary());
  String text = Text(binary);
  for (const char* stored :
       {"Options = [soNullIgnore]", "Format = '0.0'", "Kind = skSum",
        "Position = spFooter", "BeginText = ''", "Separator = ';'",
        "EndText = ']'", "Format = 'M='"})
    EXPECT_NE(text.find(stored), String::npos) << stored << "\n" << text;
  // Defaults: the kind skNone, the group position, footer positions and the
  // group texts left as they were.
  for (const char* left :
       {"skNone", "spGroup", "Separator = ','", "BeginText = '('"})
    EXPECT_EQ(text.find(left), String::npos) << left << "\n" << text;

  TcxDataController other;
  Read(binary, other.Summary());
  TcxDataSummary* copy = other.Summary();
  EXPECT_EQ(copy->Options(), TcxSummaryOptions{soNullIgnore});
  ASSERT_EQ(copy->FooterSummaryItems()->Count(), 1);
  EXPECT_EQ(copy->FooterSummaryItems()->Items(0)->Format(), "0.0");
  EXPECT_EQ(copy->FooterSummaryItems()->Items(0)->Kind(), skSum);
  TcxDataGroupSummaryItems* copiedDefaults = copy->DefaultGroupSummaryItems();
  ASSERT_EQ(copiedDefaults->Count(), 2);
  EXPECT_EQ(copiedDefaults->Items(0)->Position(), spFooter);
  EXPECT_EQ(copiedDefaults->Items(1)->Position(), spGroup);
  EXPECT_EQ(copiedDefaults->BeginText(), "");
  EXPECT_EQ(copiedDefaults->EndText(), ")");
  EXPECT_EQ(copiedDefaults->Separator(), ";");
  ASSERT_EQ(copy->SummaryGroups()->Count(), 1);
  TcxDataSummaryGroup* copiedGroup = copy->SummaryGroups()->Items(0);
  EXPECT_EQ(copiedGroup->Links()->Count(), 1);
  ASSERT_EQ(copiedGroup->SummaryItems()->Count(), 1);
  EXPECT_EQ(copiedGroup->SummaryItems()->Items(0)->Kind(), skMax);
  EXPECT_EQ(copiedGroup->SummaryItems()->Items(0)->Format(), "M=");
  EXPECT_EQ(copiedGroup->SummaryItems()->EndText(), "]");
  EXPECT_EQ(Stream(copy), binary);
}

}  // namespace
