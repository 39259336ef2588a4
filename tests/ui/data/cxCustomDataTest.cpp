#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "cxCustomData.h"

namespace {

// A controller with an Integer item 0 and a String item 1, and a log of the
// change records it hands to its control.
class DataControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(1, TcxStringValueType::Class());
    dc_.OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) {
      if (auto* d = dynamic_cast<TcxDataChangedInfo*>(AInfo))
        dataChanges_.push_back(*d);
      if (dynamic_cast<TcxSearchChangedInfo*>(AInfo)) ++searchChanges_;
      if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo))
        focusChanges_.push_back({f->PrevFocusedRowIndex, f->FocusedRowIndex});
    };
  }

  // One record per entry: (integer, text); Null where the variant is Null.
  void Load(const std::vector<std::pair<Variant, Variant>>& ARecords) {
    dc_.BeginUpdate();
    dc_.SetRecordCount(static_cast<Integer>(ARecords.size()));
    for (size_t i = 0; i < ARecords.size(); ++i) {
      dc_.SetValue(static_cast<Integer>(i), 0, ARecords[i].first);
      dc_.SetValue(static_cast<Integer>(i), 1, ARecords[i].second);
    }
    dc_.EndUpdate();
    ClearLog();
  }
  void LoadTexts(const std::vector<const char*>& ATexts) {
    std::vector<std::pair<Variant, Variant>> records;
    Integer i = 0;
    for (const char* t : ATexts) records.push_back({Variant(i++), Variant(t)});
    Load(records);
  }
  void ClearLog() {
    dataChanges_.clear();
    searchChanges_ = 0;
    focusChanges_.clear();
  }
  std::vector<Integer> RowRecords() {
    std::vector<Integer> result;
    for (Integer r = 0; r < dc_.GetRowCount(); ++r)
      result.push_back(dc_.GetRowInfo(r).RecordIndex);
    return result;
  }

  TcxDataController dc_;
  std::vector<TcxDataChangedInfo> dataChanges_;
  Integer searchChanges_ = 0;
  std::vector<std::pair<Integer, Integer>> focusChanges_;
};

// ---------------------------------------------------------------------------
// Change records
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, DataChangesMergePerBracket) {
  struct Case {
    const char* name;
    std::function<void(TcxDataController&)> act;
    TcxDataChange kind;
    Integer item;
    Integer record;
  };
  const Case cases[] = {
      {"one value outside a bracket",
       [](TcxDataController& dc) { dc.SetValue(1, 1, "x"); }, dcField, 1, 1},
      {"two items of one record",
       [](TcxDataController& dc) {
         dc.BeginUpdate();
         dc.SetValue(2, 0, 7);
         dc.SetValue(2, 1, "y");
         dc.EndUpdate();
       },
       dcRecord, -1, 2},
      {"the same item twice",
       [](TcxDataController& dc) {
         dc.BeginUpdate();
         dc.SetValue(0, 1, "a");
         dc.SetValue(0, 1, "b");
         dc.EndUpdate();
       },
       dcField, 1, 0},
      {"two records",
       [](TcxDataController& dc) {
         dc.BeginUpdate();
         dc.SetValue(0, 0, 1);
         dc.SetValue(1, 0, 2);
         dc.EndUpdate();
       },
       dcTotal, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load({{1, "a"}, {2, "b"}, {3, "c"}});
    c.act(dc_);
    ASSERT_EQ(dataChanges_.size(), 1u);
    EXPECT_EQ(dataChanges_[0].Kind, c.kind);
    EXPECT_EQ(dataChanges_[0].ItemIndex, c.item);
    EXPECT_EQ(dataChanges_[0].RecordIndex, c.record);
  }
}

TEST_F(DataControllerTest, NothingIsSentUntilTheOutermostBracketCloses) {
  Load({{1, "a"}});
  dc_.BeginUpdate();
  dc_.BeginUpdate();
  dc_.SetValue(0, 0, 5);
  dc_.EndUpdate();
  EXPECT_TRUE(dataChanges_.empty());
  dc_.EndUpdate();
  EXPECT_EQ(dataChanges_.size(), 1u);
  EXPECT_EQ(dc_.GetValue(0, 0).AsInteger(), 5);
}

TEST(SelectionChangedInfo, NamesDistinctRowsOnly) {
  EXPECT_EQ(TcxSelectionChangedInfo(-1, -1).Count(), 0);
  EXPECT_EQ(TcxSelectionChangedInfo(3, 3).Count(), 1);
  TcxSelectionChangedInfo two(2, 5);
  ASSERT_EQ(two.Count(), 2);
  EXPECT_EQ(two.RowIndexes(0), 2);
  EXPECT_EQ(two.RowIndexes(1), 5);
}

// ---------------------------------------------------------------------------
// Range errors
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, RangeErrorsCarryTheirMessages) {
  Load({{1, "a"}, {2, "b"}});
  TObject item;
  dc_.AddItem(&item);
  struct Case {
    const char* name;
    std::function<void(TcxDataController&)> act;
    const char* message;
  };
  const Case cases[] = {
      {"record at the count", [](auto& dc) { dc.GetValue(2, 0); },
       "RecordIndex out of range"},
      {"negative record", [](auto& dc) { dc.SetValue(-5, 0, 1); },
       "RecordIndex out of range"},
      {"item past the end", [](auto& dc) { dc.GetValue(0, 3); },
       "ItemIndex out of range"},
      {"negative item", [](auto& dc) { dc.GetDisplayText(0, -1); },
       "ItemIndex out of range"},
      {"insert past the end", [](auto& dc) { dc.InsertRecord(3); },
       "RecordIndex out of range"},
      {"record id", [](auto& dc) { dc.GetRecordId(2); },
       "RecordIndex out of range"},
      {"row past the end", [](auto& dc) { dc.GetRowInfo(2); },
       "RowIndex out of range"},
      {"edit value without an edit",
       [](auto& dc) { dc.GetEditValue(0, evsValue); },
       "RecordIndex out of range"},
      {"item added twice", [&item](auto& dc) { dc.AddItem(&item); },
       "Item already exists"},
      {"sorting an unknown item",
       [](auto& dc) { dc.ChangeSorting(9, soAscending); },
       "ItemIndex out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.act(dc_);
      ADD_FAILURE() << "no exception";
    } catch (const EcxInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST_F(DataControllerTest, NewItemRecordAndNilItemsAreAccepted) {
  Load({{1, "a"}});
  Integer newItem = dc_.GetNewItemRecordIndex();
  EXPECT_LT(newItem, 0);
  dc_.SetValue(newItem, 0, 42);
  EXPECT_EQ(dc_.GetValue(newItem, 0).AsInteger(), 42);
  // Items without an object may be added any number of times.
  dc_.AddItem(nullptr);
  dc_.AddItem(nullptr);
  EXPECT_EQ(dc_.GetItemCount(), 4);
}

TEST_F(DataControllerTest, ChangingAValueTypeNullsOnlyThatItem) {
  Load({{1, "a"}, {2, "b"}});
  dc_.ChangeValueTypeClass(0, TcxFloatValueType::Class());
  EXPECT_EQ(dc_.GetRecordCount(), 2);
  EXPECT_TRUE(dc_.GetValue(0, 0).IsNull());
  EXPECT_EQ(dc_.GetValue(1, 1).AsString(), "b");
}

// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, SortTiesKeepRecordIndexOrder) {
  // Ties by record index, whichever way the key sorts; Null first ascending.
  struct Case {
    const char* name;
    TcxValueTypeClass type;
    std::vector<Variant> values;
    TcxDataSortOrder order;
    std::vector<Integer> rows;
  };
  const Variant N = Null();
  const Case cases[] = {
      {"integers ascending",
       TcxIntegerValueType::Class(),
       {2, 1, 2, N, 1, 2},
       soAscending,
       {3, 1, 4, 0, 2, 5}},
      {"integers descending",
       TcxIntegerValueType::Class(),
       {2, 1, 2, N, 1, 2},
       soDescending,
       {0, 2, 5, 1, 4, 3}},
      {"texts ascending",
       TcxStringValueType::Class(),
       {"b", "a", "b", "B", "a"},
       soAscending,
       {3, 1, 4, 0, 2}},
      {"floats descending",
       TcxFloatValueType::Class(),
       {1.5, 2.5, 1.5, N},
       soDescending,
       {1, 0, 2, 3}},
      {"variants ascending",
       TcxVariantValueType::Class(),
       {3, "x", N, 3, true, 2.5},
       soAscending,
       {2, 4, 5, 0, 3, 1}},
      {"large ints ascending",
       TcxLargeIntValueType::Class(),
       {Variant(5LL << 40), Variant(-1), Variant(5LL << 40)},
       soAscending,
       {1, 0, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dc_.ClearSorting(false);
    dc_.ChangeValueTypeClass(0, c.type);
    dc_.BeginUpdate();
    dc_.SetRecordCount(0);
    dc_.SetRecordCount(static_cast<Integer>(c.values.size()));
    for (size_t i = 0; i < c.values.size(); ++i)
      dc_.SetValue(static_cast<Integer>(i), 0, c.values[i]);
    dc_.EndUpdate();
    dc_.ChangeSorting(0, c.order);
    EXPECT_EQ(RowRecords(), c.rows);
    // Two sort fields take the general path: same order with a constant
    // second key.
    dc_.ChangeSorting(1, soAscending);
    EXPECT_EQ(RowRecords(), c.rows);
    dc_.ChangeSorting(1, soNone);
  }
}

TEST_F(DataControllerTest, CompareEventDecidesEvenWhenInconsistent) {
  Load({{3, "c"}, {1, "a"}, {2, "b"}});
  dc_.OnCompare = [](TcxCustomDataController*, Integer, Integer, Integer,
                     const Variant& V1, const Variant& V2, Integer& C) {
    C = V1.AsInteger() < V2.AsInteger() ? 1 : -1;  // reversed, never equal
  };
  dc_.ChangeSorting(0, soAscending);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 2, 1}));
  // A handler that is no order at all still sorts every record once.
  dc_.OnCompare = [](TcxCustomDataController*, Integer, Integer, Integer,
                     const Variant&, const Variant&, Integer& C) { C = -1; };
  dc_.Refresh();
  std::vector<Integer> rows = RowRecords();
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<Integer>{0, 1, 2}));
}

TEST_F(DataControllerTest, CaseInsensitiveOptionMakesTextsEqual) {
  Load({{0, "b"}, {1, "A"}, {2, "a"}, {3, "B"}});
  dc_.ChangeSorting(1, soAscending);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{1, 3, 2, 0}));
  dc_.SetOptions(dc_.Options() + TcxDataControllerOptions{dcoCaseInsensitive});
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{1, 2, 0, 3}));
}

TEST_F(DataControllerTest, FocusFollowsItsRecordThroughASort) {
  Load({{3, "c"}, {1, "a"}, {2, "b"}});
  dc_.SetFocusedRecordIndex(0);
  dc_.ChangeSorting(0, soAscending);
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 0);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 2);
}

TEST(SortCompareVariants, IsAStrictWeakOrderOverMixedKinds) {
  const std::vector<Variant> values = {
      Variant(), Null(), Variant(true), Variant(false), Variant(-1), Variant(1),
      Variant(2.5), Variant("abc"), Variant("5"), Variant(5),
      // Texts of both kinds whose byte and code-unit orders disagree.
      Variant("\xff"), Variant(u"\u20ac"), Variant("\x80"), Variant(u"\u00ff"),
      Variant(std::numeric_limits<double>::quiet_NaN()),
      VarArrayOf({Variant(1), Variant("x")}), VarArrayOf({Variant(1)})};
  for (const Variant& a : values) {
    EXPECT_EQ(cxSortCompareVariants(a, a), 0);
    for (const Variant& b : values) {
      Integer ab = cxSortCompareVariants(a, b);
      EXPECT_EQ(ab, -cxSortCompareVariants(b, a));
      for (const Variant& c : values) {
        if (ab < 0 && cxSortCompareVariants(b, c) < 0) {
          EXPECT_LT(cxSortCompareVariants(a, c), 0);
        }
      }
    }
  }
  EXPECT_LT(cxSortCompareVariants(Variant(), Null()), 0);
  EXPECT_LT(cxSortCompareVariants(Null(), Variant(false)), 0);
  EXPECT_LT(cxSortCompareVariants(Variant(-1), Variant(2.5)), 0);
}

// ---------------------------------------------------------------------------
// Grouping
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, GroupsStartCollapsedAndExpandIntoRecords) {
  LoadTexts({"b", "a", "b", "a", "b"});
  dc_.ChangeGrouping(1, 0);
  ASSERT_EQ(dc_.GetRowCount(), 2);
  TcxRowInfo g0 = dc_.GetRowInfo(0), g1 = dc_.GetRowInfo(1);
  EXPECT_EQ(g0.Level, 0);
  EXPECT_FALSE(g0.Expanded);
  EXPECT_EQ(dc_.GetValue(g0.RecordIndex, 1).AsString(), "a");
  EXPECT_EQ(dc_.GetValue(g1.RecordIndex, 1).AsString(), "b");

  dc_.ChangeExpanding(1, true, false);
  ASSERT_EQ(dc_.GetRowCount(), 5);
  EXPECT_TRUE(dc_.GetRowInfo(1).Expanded);
  for (Integer row = 2; row <= 4; ++row) {
    TcxRowInfo info = dc_.GetRowInfo(row);
    EXPECT_EQ(info.Level, 1);
    EXPECT_EQ(dc_.GetValue(info.RecordIndex, 1).AsString(), "b");
  }
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{1, 0, 0, 2, 4}));

  // A data row has nothing to expand or collapse.
  dc_.ChangeExpanding(3, false, false);
  EXPECT_EQ(dc_.GetRowCount(), 5);
  dc_.ChangeExpanding(1, false, false);
  EXPECT_EQ(dc_.GetRowCount(), 2);
}

TEST_F(DataControllerTest, ExpandedGroupsSurviveAReloadWhileTheirValueLasts) {
  LoadTexts({"a", "b", "a", "b", "b"});
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeExpanding(1, true, false);
  ASSERT_EQ(dc_.GetRowCount(), 5);
  dc_.SetValue(0, 0, 99);  // reloads and regroups
  EXPECT_EQ(dc_.GetRowCount(), 5);
  EXPECT_TRUE(dc_.GetRowInfo(1).Expanded);
  dc_.BeginUpdate();
  for (Integer r : {1, 3, 4}) dc_.SetValue(r, 1, "c");
  dc_.EndUpdate();
  EXPECT_EQ(dc_.GetRowCount(), 2);  // "c" is a new group: collapsed

  dc_.SetOptions(dc_.Options() - TcxDataControllerOptions{dcoSaveExpanding});
  dc_.ChangeExpanding(1, true, false);
  dc_.SetValue(0, 0, 98);
  EXPECT_EQ(dc_.GetRowCount(), 2);
}

TEST_F(DataControllerTest, CollapsedOuterGroupHidesItsSubgroups) {
  Load({{1, "a"}, {2, "a"}, {1, "a"}, {1, "b"}});
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeGrouping(0, 1);
  TcxCustomDataControllerInfo* info = dc_.DataControllerInfo();
  TcxDataGroups& groups = info->DataGroups();
  // a{1,2}, b{1}: five groups in pre-order.
  ASSERT_EQ(groups.GetItemCount(), 5);
  EXPECT_EQ(dc_.GetRowCount(), 2);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(groups.GetItem(i).RowIndex, 0);
  EXPECT_EQ(groups.GetIndexByRowIndex(0), 0);

  dc_.FullExpand();
  // a, a/1, rec0, rec2, a/2, rec1, b, b/1, rec3
  EXPECT_EQ(dc_.GetRowCount(), 9);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 0, 0, 2, 1, 1, 3, 3, 3}));
  EXPECT_EQ(groups.GetChildCount(0), 2);
  EXPECT_EQ(groups.GetChildCount(1), 2);

  dc_.ChangeExpanding(0, false, false);
  EXPECT_EQ(dc_.GetRowCount(), 4);
  EXPECT_EQ(groups.GetIndexByRowIndex(0), 0);
  EXPECT_EQ(groups.GetItem(2).RowIndex, 0);
}

TEST_F(DataControllerTest, CollapsingMovesTheFocusToTheGroupRow) {
  LoadTexts({"a", "b", "b"});
  dc_.ChangeGrouping(1, 0);
  dc_.FullExpand();
  dc_.SetFocusedRecordIndex(2);
  ASSERT_EQ(dc_.GetFocusedRowIndex(), 4);
  dc_.FullCollapse();
  EXPECT_EQ(dc_.GetRowCount(), 2);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 1);
}

// ---------------------------------------------------------------------------
// Focus and navigation
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, FocusIsClampedAndNavigationStopsAtTheEnds) {
  LoadTexts({"a", "b", "c", "d"});
  dc_.SetFocusedRowIndex(9);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 3);
  EXPECT_TRUE(dc_.IsEOF());
  dc_.SetFocusedRowIndex(-7);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), -1);
  dc_.GotoFirst();
  dc_.GotoPrev();
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 0);
  EXPECT_TRUE(dc_.IsBOF());
  dc_.SetFocusedRowIndex(2);
  dc_.MoveBy(-5);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 0);
}

TEST_F(DataControllerTest, BatchedFocusMovesReportTheFirstPreviousRow) {
  LoadTexts({"a", "b", "c", "d"});
  dc_.SetFocusedRowIndex(1);
  ClearLog();
  dc_.BeginUpdate();
  dc_.SetFocusedRowIndex(2);
  dc_.SetFocusedRowIndex(3);
  dc_.EndUpdate();
  ASSERT_EQ(focusChanges_.size(), 1u);
  EXPECT_EQ(focusChanges_[0], std::make_pair(1, 3));
}

// ---------------------------------------------------------------------------
// Bookmark
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, BookmarkFollowsItsRecord) {
  LoadTexts({"a", "b", "c", "d"});
  dc_.SetFocusedRecordIndex(2);
  dc_.SaveBookmark();
  ASSERT_EQ(dc_.BookmarkRecordIndex(), 2);

  dc_.InsertRecord(0);  // "c" moves to 3
  EXPECT_EQ(dc_.BookmarkRecordIndex(), 3);
  dc_.DeleteRecord(1);  // "a" goes: "c" back to 2
  EXPECT_EQ(dc_.BookmarkRecordIndex(), 2);
  dc_.DeleteRecord(3);  // a later record changes nothing
  EXPECT_EQ(dc_.BookmarkRecordIndex(), 2);
  dc_.SetFocusedRowIndex(0);
  dc_.GotoBookmark();
  EXPECT_EQ(dc_.GetValue(dc_.GetFocusedRecordIndex(), 1).AsString(), "c");

  dc_.DeleteRecord(2);  // its own record: the bookmark goes
  EXPECT_FALSE(dc_.IsBookmarkAvailable());
}

TEST_F(DataControllerTest, BookmarkOfAFilteredOutRecordIsCleared) {
  LoadTexts({"apple", "berry", "avocado"});
  dc_.SetFocusedRecordIndex(1);
  dc_.SaveBookmark();
  EXPECT_EQ(dc_.SetIncrementalFilter(1, "A"), 0);
  EXPECT_EQ(dc_.GetFilteredRecordCount(), 2);
  EXPECT_FALSE(dc_.IsBookmarkAvailable());
}

// ---------------------------------------------------------------------------
// Search
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, LocateStartsAtTheFocusAndWrapsOnce) {
  LoadTexts({"alpha", "Beta", "apple"});
  dc_.SetFocusedRowIndex(1);
  TcxDataControllerSearch* search = dc_.Search();
  ClearLog();
  ASSERT_TRUE(search->Locate(1, "A"));
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(search->Searching());
  EXPECT_EQ(search->SearchText(), "A");
  EXPECT_EQ(searchChanges_, 1);
  EXPECT_FALSE(search->LocateNext(true));  // nothing after the last record
  ASSERT_TRUE(search->LocateNext(false));
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 0);
  EXPECT_FALSE(search->LocateNext(false));  // no wrap backwards

  // From "apple", wrap to "alpha" only when nothing follows.
  dc_.SetFocusedRowIndex(2);
  ASSERT_TRUE(search->Locate(1, "al"));
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 0);
  EXPECT_FALSE(search->Locate(1, "zz"));
  EXPECT_EQ(search->SearchText(), "al");
  EXPECT_FALSE(search->Locate(1, ""));
  EXPECT_TRUE(search->Searching());
}

TEST_F(DataControllerTest, FocusingAnotherRecordEndsTheSearch) {
  LoadTexts({"alpha", "beta"});
  TcxDataControllerSearch* search = dc_.Search();
  ASSERT_TRUE(search->Locate(1, "b"));
  ClearLog();
  dc_.SetFocusedRowIndex(0);
  EXPECT_FALSE(search->Searching());
  EXPECT_EQ(searchChanges_, 1);
  EXPECT_FALSE(search->LocateNext(true));
}

TEST_F(DataControllerTest, FindRecordIndexByTextWrapRules) {
  LoadTexts({"ab", "x", "ab", "x"});
  struct Case {
    Integer start;
    const char* text;
    bool wrap, forward;
    Integer expected;
  };
  const Case cases[] = {
      {1, "a", false, true, 2},  {3, "a", false, true, -1},
      {3, "a", true, true, 0},   {1, "a", false, false, 0},
      {0, "x", true, false, -1},  // backward from 0 looks at record 0 only
      {0, "ab", true, false, 0}, {2, "x", true, false, 1},
      {1, "ab", false, true, 2}, {2, "ab", true, true, 2},
      {4, "ab", true, true, -1}, {-1, "ab", true, true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " " << c.text << " wrap "
                                    << c.wrap << " forward " << c.forward);
    EXPECT_EQ(
        dc_.FindRecordIndexByText(c.start, 1, c.text, true, c.wrap, c.forward),
        c.expected);
  }
  // Whole-text comparison: "a" is no match for "ab".
  EXPECT_EQ(dc_.FindRecordIndexByText(0, 1, "a", false, true, true), -1);
}

// ---------------------------------------------------------------------------
// Filtering
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, FilterEventAndIncrementalFilterDropRows) {
  LoadTexts({"apple", "berry", "avocado", "banana"});
  dc_.OnFilterRecord = [](TcxCustomDataController*, Integer ARecordIndex,
                          bool& AAccept) { AAccept = ARecordIndex != 2; };
  dc_.Refresh();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 1, 3}));
  EXPECT_EQ(dc_.SetIncrementalFilter(1, "B"), 1);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{1, 3}));
  dc_.ResetIncrementalFilter();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 1, 3}));
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

TEST_F(DataControllerTest, SelectedRecordsKeepTheirSelectionThroughASort) {
  LoadTexts({"a", "b", "c"});
  dc_.SetMultiSelect(true);
  dc_.SelectRows(1, 0);
  ASSERT_EQ(dc_.GetSelectedCount(), 2);
  dc_.ChangeSorting(1, soDescending);  // c, b, a
  EXPECT_FALSE(dc_.IsRowSelected(0));
  EXPECT_TRUE(dc_.IsRowSelected(1));
  EXPECT_TRUE(dc_.IsRowSelected(2));
  dc_.DeleteSelection();
  ASSERT_EQ(dc_.GetRecordCount(), 1);
  EXPECT_EQ(dc_.GetValue(0, 1).AsString(), "c");
  EXPECT_EQ(dc_.GetSelectedCount(), 0);
}

TEST_F(DataControllerTest, SelectFromAnchorSpansBothWays) {
  LoadTexts({"a", "b", "c", "d", "e"});
  dc_.SetMultiSelect(true);
  dc_.SetSelectionAnchor(3);
  dc_.SelectFromAnchor(1, false);
  std::vector<Integer> rows;
  dc_.ForEachRow(
      true, [&](Integer ARow, const TcxRowInfo&) { rows.push_back(ARow); });
  EXPECT_EQ(rows, (std::vector<Integer>{1, 2, 3}));
  dc_.SelectFromAnchor(4, false);
  EXPECT_EQ(dc_.GetSelectedCount(), 2);
  dc_.SelectFromAnchor(0, true);
  EXPECT_EQ(dc_.GetSelectedCount(), 5);
}

TEST_F(DataControllerTest, GroupRowsShowTheirGroupingValue) {
  Load({{1, "a"}, {2, "b"}});
  dc_.ChangeGrouping(1, 0);
  Integer item = 0;
  EXPECT_EQ(dc_.GetRowDisplayText(dc_.GetRowInfo(1), item), "b");
  EXPECT_EQ(item, 1);
  dc_.FullExpand();
  item = 0;
  EXPECT_EQ(dc_.GetRowDisplayText(dc_.GetRowInfo(1), item), "1");
  EXPECT_EQ(item, 0);
  EXPECT_EQ(dc_.GetGroupValues(1)[0].AsString(), "b");
  EXPECT_TRUE(dc_.GetGroupValues(7)[0].IsNull());
}

TEST_F(DataControllerTest, WithoutMultiSelectTheFocusedRowIsTheSelection) {
  LoadTexts({"a", "b"});
  EXPECT_EQ(dc_.GetSelectedCount(), 0);
  dc_.SetFocusedRowIndex(1);
  EXPECT_EQ(dc_.GetSelectedCount(), 1);
  EXPECT_EQ(dc_.GetSelectedRowIndex(0), 1);
  dc_.ChangeRowSelection(0, true);  // ignored
  EXPECT_FALSE(dc_.IsRowSelected(0));
}

// ---------------------------------------------------------------------------
// Provider mode
// ---------------------------------------------------------------------------

class VectorSource : public TcxCustomDataSource {
 public:
  std::vector<std::vector<Variant>> rows;
  Integer GetRecordCount() override {
    return static_cast<Integer>(rows.size());
  }
  Variant GetValue(TcxDataRecordHandle R, TcxDataItemHandle I) override {
    return rows.at(Index(R)).at(Index(I));
  }
  void SetValue(TcxDataRecordHandle R, TcxDataItemHandle I,
                const Variant& V) override {
    rows.at(Index(R)).at(Index(I)) = V;
  }
  static size_t Index(void* H) { return reinterpret_cast<size_t>(H); }
};

TEST_F(DataControllerTest, ProviderModeReadsAndWritesThroughTheSource) {
  Load({{1, "local"}});
  VectorSource source;
  source.rows = {{Variant(5), Variant("five")}, {Variant(3), Variant("three")}};
  dc_.SetCustomDataSource(&source);
  EXPECT_TRUE(dc_.IsProviderMode());
  ASSERT_EQ(dc_.GetRecordCount(), 2);
  EXPECT_EQ(dc_.GetValue(1, 1).AsString(), "three");
  dc_.SetValue(0, 0, 9);
  EXPECT_EQ(source.rows[0][0].AsInteger(), 9);
  dc_.ChangeSorting(0, soAscending);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{1, 0}));
  source.rows.push_back({Variant(1), Variant("one")});
  source.DataChanged();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{2, 1, 0}));
  dc_.SetCustomDataSource(nullptr);
  EXPECT_TRUE(dc_.IsUnboundMode());
  EXPECT_EQ(dc_.GetRecordCount(), 0);
}

}  // namespace
