#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "SysUtils.h"
#include "cxCustomData.h"

namespace {

// Items: 0 Integer (a key), 1 and 2 String (grouping values).
class GroupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (TcxValueTypeClass type :
         {TcxIntegerValueType::Class(), TcxStringValueType::Class(),
          TcxStringValueType::Class()})
      dc_.ChangeValueTypeClass(dc_.AddItem(nullptr)->GetIndex(), type);
  }

  // One record per entry: (group text, subgroup text); item 0 = position.
  void Load(const std::vector<std::pair<const char*, const char*>>& ARows) {
    dc_.BeginUpdate();
    dc_.SetRecordCount(static_cast<Integer>(ARows.size()));
    for (size_t i = 0; i < ARows.size(); ++i) {
      Integer r = static_cast<Integer>(i);
      dc_.SetValue(r, 0, r);
      dc_.SetValue(r, 1, ARows[i].first);
      dc_.SetValue(r, 2, ARows[i].second);
    }
    dc_.EndUpdate();
  }

  // Each shown row as text: group rows "[level:value]", data rows the key.
  std::vector<String> Rows() {
    std::vector<String> rows;
    for (Integer r = 0; r < dc_.GetRowCount(); ++r) {
      TcxRowInfo info = dc_.GetRowInfo(r);
      if (info.Level < dc_.GetGroupingItemCount()) {
        Integer item = 0;
        rows.push_back("[" + IntToStr(info.Level) + ":" +
                       dc_.GetRowDisplayText(info, item) +
                       (info.Expanded ? "+" : "") + "]");
      } else {
        rows.push_back(dc_.GetDisplayText(info.RecordIndex, 0));
      }
    }
    return rows;
  }

  std::vector<Integer> SelectedRows() {
    std::vector<Integer> rows;
    for (Integer i = 0; i < dc_.GetSelectedCount(); ++i)
      rows.push_back(dc_.GetSelectedRowIndex(i));
    return rows;
  }

  TcxDataController dc_;
};

// ---------------------------------------------------------------------------
// Finding a group's record
// ---------------------------------------------------------------------------

TEST_F(GroupsTest, FindGroupRecordSearchesTheSortedGroupsInBothDirections) {
  Load({{"b", "y"}, {"a", "x"}, {"b", "x"}, {"a", "y"}, {"b", "y"}});
  for (TcxDataSortOrder order : {soAscending, soDescending}) {
    SCOPED_TRACE(order);
    dc_.ChangeGrouping(1, 0);
    dc_.ChangeGrouping(2, 1);
    dc_.ChangeSorting(1, order);
    dc_.ChangeSorting(2, order);
    struct Case {
      Integer Record, Level;
      std::vector<Integer> Matches;  // records with those group values
    } cases[] = {
        {4, 1, {0, 2, 4}},  // "b"
        {4, 2, {0, 4}},     // "b", "y"
        {1, 2, {1}},        // "a", "x"
        {3, 1, {1, 3}},     // "a"
    };
    for (const Case& c : cases) {
      Integer found = dc_.FindGroupRecord(c.Record, c.Level);
      EXPECT_NE(std::find(c.Matches.begin(), c.Matches.end(), found),
                c.Matches.end())
          << "record " << c.Record << " level " << c.Level << " found "
          << found;
      // The first of them in the sorted records.
      Integer pos = dc_.GetFilteredIndexByRecordIndex(found);
      for (Integer m : c.Matches)
        EXPECT_LE(pos, dc_.GetFilteredIndexByRecordIndex(m));
    }
    EXPECT_EQ(dc_.FindGroupRecord(0, 0), -1);
    EXPECT_EQ(dc_.FindGroupRecord(0, 3), -1);
  }
  EXPECT_THROW(dc_.FindGroupRecord(5, 1), EcxInvalidDataControllerOperation);
  dc_.ClearGrouping();  // applies at once: the rows are records again
  EXPECT_EQ(dc_.GetRowCount(), 5);
  EXPECT_EQ(dc_.FindGroupRecord(0, 1), -1);
}

TEST_F(GroupsTest, GroupLocateObjectFindsHeldValuesOrNothing) {
  Load({{"b", "y"}, {"a", "x"}, {"b", "x"}});
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeGrouping(2, 1);
  TcxValueDef* group = dc_.GetItemField(1)->GetValueDef();
  TcxValueDef* subgroup = dc_.GetItemField(2)->GetValueDef();
  TcxDataControllerGroupLocateObject locate(&dc_);
  ASSERT_TRUE(locate.FindGroupRecordEnabled());
  locate.SetLevel(1);
  EXPECT_EQ(locate.FindRecordIndex(), -1);  // nothing read yet

  struct Case {
    const char *Group, *Subgroup;
    Integer Level, Record;
  } cases[] = {
      {"b", "x", 1, 2}, {"b", "y", 1, 0},  {"a", "y", 1, -1},
      {"a", "y", 0, 1}, {"c", "x", 0, -1},
  };
  for (const Case& c : cases) {
    TcxValueDefUnboundReader reader;
    reader.SetValue(group, Variant(c.Group));
    reader.SetValue(subgroup, Variant(c.Subgroup));
    locate.SetLevel(c.Level);
    locate.ReadData(&reader);
    EXPECT_EQ(locate.FindRecordIndex(), c.Record)
        << c.Group << "/" << c.Subgroup << " level " << c.Level;
  }
  Integer internal = locate.RecordIndex();
  EXPECT_LT(internal, 0);
  locate.Clear();
  EXPECT_EQ(locate.RecordIndex(), 0);
  EXPECT_EQ(locate.FindRecordIndex(), -1);
}

// Counts the read brackets and whether a value was read inside one.
class ReadBracketController : public TcxDataController {
 public:
  void BeginReadRecord() override { ++begun; }
  void EndReadRecord() override { ++ended; }
  Integer begun = 0, ended = 0;
};

class BracketCheckingReader : public TcxValueDefReader {
 public:
  explicit BracketCheckingReader(ReadBracketController* ADataController)
      : dc_(ADataController) {}
  Variant GetValue(TcxValueDef*) override {
    inside = dc_->begun == dc_->ended + 1;
    if (fail) throw EConvertError("unreadable key");
    return Variant(7);
  }
  bool fail = false;
  bool inside = false;

 private:
  ReadBracketController* dc_;
};

TEST(LocateObject, ReadsHeldValuesInsideTheControllersReadBracket) {
  ReadBracketController dc;
  dc.ChangeValueTypeClass(dc.AddItem(nullptr)->GetIndex(),
                          TcxIntegerValueType::Class());
  dc.SetRecordCount(2);
  dc.SetValue(1, 0, 7);
  TcxDataControllerKeyLocateObject locate(&dc);
  locate.AddField(dc.GetItemField(0));

  BracketCheckingReader reader(&dc);
  locate.ReadData(&reader);
  EXPECT_TRUE(reader.inside);
  EXPECT_EQ(dc.begun, 1);
  EXPECT_EQ(dc.ended, 1);
  EXPECT_EQ(locate.FindRecordIndex(), 1);

  reader.fail = true;
  EXPECT_THROW(locate.ReadData(&reader), EConvertError);
  EXPECT_EQ(dc.begun, 2);
  EXPECT_EQ(dc.ended, 2);
}

// ---------------------------------------------------------------------------
// Grouping requests
// ---------------------------------------------------------------------------

TEST_F(GroupsTest, GroupingPostsTheEditAndIgnoresTheLevelAlreadyHeld) {
  Load({{"b", "y"}, {"a", "x"}, {"b", "x"}});
  Integer changes = 0;
  dc_.OnGroupingChanged = [&changes](TcxCustomDataController*) { ++changes; };
  struct Step {
    std::function<void()> Request;
    bool Changes;
  } steps[] = {
      {[this] { dc_.ChangeGrouping(1, 0); }, true},
      {[this] { dc_.ChangeGrouping(1, 0); }, false},
      {[this] { dc_.ChangeGrouping(1, 3); }, false},  // already the last
      {[this] { dc_.Groups()->ChangeGrouping(1, 0); }, false},
      {[this] { dc_.ChangeGrouping(2, 0); }, true},
      {[this] { dc_.ChangeGrouping(2, 7); }, true},  // moves to the last
      {[this] { dc_.ChangeGrouping(2, -3); }, true},
      {[this] { dc_.ChangeGrouping(2, -1); }, false},
      {[this] { dc_.ClearGrouping(); }, true},
      {[this] { dc_.ClearGrouping(); }, false},
  };
  Integer i = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(i++);
    dc_.SetFocusedRecordIndex(0);
    dc_.Edit();
    ASSERT_TRUE(dc_.SetEditValue(0, Variant(100 + i), evsValue));
    changes = 0;
    step.Request();
    EXPECT_EQ(changes, step.Changes ? 1 : 0);
    if (step.Changes) {
      EXPECT_FALSE(dc_.IsEditing());
      EXPECT_EQ(dc_.GetValue(0, 0).AsInteger(), 100 + i);
    } else {
      EXPECT_TRUE(dc_.IsEditing());
      dc_.Cancel();
    }
  }
  EXPECT_EQ(dc_.GetGroupingItemCount(), 0);
}

// Groups by display text: the locate object compares values record by
// record and only among the shown records.
class DisplayTextController : public TcxDataController {
 public:
  bool GetItemSortByDisplayText(Integer, bool) const override { return true; }
};

TEST(GroupLocateObject, ByDisplayTextFindsOnlyShownRecords) {
  DisplayTextController dc;
  dc.AddItem(nullptr);
  dc.ChangeValueTypeClass(0, TcxStringValueType::Class());
  dc.SetRecordCount(3);
  dc.SetValue(0, 0, "a");
  dc.SetValue(1, 0, "b");
  dc.SetValue(2, 0, "a");
  dc.ChangeGrouping(0, 0);
  dc.OnFilterRecord = [](TcxCustomDataController*, Integer ARecord,
                         bool& AAccept) { AAccept = ARecord != 0; };
  dc.Refresh();
  TcxDataControllerGroupLocateObject locate(&dc);
  EXPECT_FALSE(locate.FindGroupRecordEnabled());
  TcxValueDefUnboundReader reader;
  reader.SetValue(dc.GetItemField(0)->GetValueDef(), Variant("a"));
  locate.SetLevel(0);
  locate.ReadData(&reader);
  EXPECT_EQ(locate.FindRecordIndex(), 2);
}

// ---------------------------------------------------------------------------
// Expanded groups across a reload
// ---------------------------------------------------------------------------

TEST_F(GroupsTest, ExpandedSubgroupsComeBackWhereTheirPathStillExists) {
  Load({{"a", "x"}, {"a", "y"}, {"b", "x"}, {"b", "y"}});
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeGrouping(2, 1);
  dc_.ChangeExpanding(0, true, false);  // a
  dc_.ChangeExpanding(2, true, false);  // a/y
  dc_.ChangeExpanding(4, true, false);  // b
  ASSERT_EQ(Rows(), (std::vector<String>{"[0:a+]", "[1:x]", "[1:y+]", "1",
                                         "[0:b+]", "[1:x]", "[1:y]"}));
  // a/y's only record moves to a/z: a stays expanded, a/z is new.
  dc_.SetValue(1, 2, "z");
  EXPECT_EQ(Rows(), (std::vector<String>{"[0:a+]", "[1:x]", "[1:z]", "[0:b+]",
                                         "[1:x]", "[1:y]"}));
}

TEST_F(GroupsTest, DeletingEarlierRecordsKeepsTheSameGroupsExpanded) {
  Load({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeExpanding(2, true, false);  // c
  ASSERT_EQ(Rows(),
            (std::vector<String>{"[0:a]", "[0:b]", "[0:c+]", "2", "[0:d]"}));
  // Record indexes shift down: the old tree's first record of "c" is now
  // the record of "d".
  dc_.DeleteRecord(0);
  EXPECT_EQ(Rows(), (std::vector<String>{"[0:b]", "[0:c+]", "2", "[0:d]"}));
  dc_.DeleteRecord(0);
  dc_.DeleteRecord(0);  // "c" goes
  EXPECT_EQ(Rows(), (std::vector<String>{"[0:d]"}));
}

TEST_F(GroupsTest, AlwaysExpandedGroupsStayExpandedAfterAReload) {
  Load({{"a", ""}, {"b", ""}});
  dc_.SetOptions(dc_.Options() +
                 TcxDataControllerOptions{dcoGroupsAlwaysExpanded});
  dc_.ChangeGrouping(1, 0);
  EXPECT_EQ(Rows(), (std::vector<String>{"[0:a+]", "0", "[0:b+]", "1"}));
  dc_.SetValue(1, 1, "a");
  EXPECT_EQ(Rows(), (std::vector<String>{"[0:a+]", "0", "1"}));
}

// ---------------------------------------------------------------------------
// Selected groups and records across a reload or regrouping
// ---------------------------------------------------------------------------

TEST_F(GroupsTest, SelectedGroupsAndRecordsFollowAReload) {
  Load({{"a", ""}, {"b", ""}, {"b", ""}, {"c", ""}});
  dc_.SetMultiSelect(true);
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeExpanding(1, true, false);  // b
  // rows: a, b+, 1, 2, c
  dc_.ChangeRowSelection(0, true);  // a
  dc_.ChangeRowSelection(3, true);  // record 2
  dc_.ChangeRowSelection(4, true);  // c
  ASSERT_EQ(SelectedRows(), (std::vector<Integer>{0, 3, 4}));

  // A new group "0" comes first: every row moves down by one.
  Integer r = dc_.AppendRecord();
  dc_.SetValue(r, 0, r);
  dc_.SetValue(r, 1, "0");
  ASSERT_EQ(Rows(), (std::vector<String>{"[0:0]", "[0:a]", "[0:b+]", "1", "2",
                                         "[0:c]"}));
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{1, 4, 5}));

  // Descending regroups the same field: the states come back in the new
  // order.
  dc_.ChangeSorting(1, soDescending);
  ASSERT_EQ(Rows(), (std::vector<String>{"[0:c]", "[0:b+]", "1", "2", "[0:a]",
                                         "[0:0]"}));
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{0, 3, 4}));

  // A selected record inside a group that ends up collapsed drops out.
  dc_.ChangeExpanding(1, false, false);
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{0, 2}));
}

TEST_F(GroupsTest, SelectedSubgroupsAreFoundByTheirWholePath) {
  Load({{"a", "x"}, {"a", "y"}, {"b", "x"}, {"b", "y"}});
  dc_.SetMultiSelect(true);
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeGrouping(2, 1);
  dc_.FullExpand();
  // a, a/x, 0, a/y, 1, b, b/x, 2, b/y, 3
  dc_.ChangeExpanding(1, false, false);  // a/x
  dc_.ChangeExpanding(5, false, false);  // b/x
  ASSERT_EQ(Rows(), (std::vector<String>{"[0:a+]", "[1:x]", "[1:y+]", "1",
                                         "[0:b+]", "[1:x]", "[1:y+]", "3"}));
  dc_.ChangeRowSelection(1, true);  // a/x
  dc_.ChangeRowSelection(6, true);  // b/y
  // Swapping the subgroups' order keeps the same two groups selected.
  dc_.ChangeSorting(2, soDescending);
  ASSERT_EQ(Rows(), (std::vector<String>{"[0:a+]", "[1:y+]", "1", "[1:x]",
                                         "[0:b+]", "[1:y+]", "3", "[1:x]"}));
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{3, 5}));
}

TEST_F(GroupsTest, SelectedRecordsFollowInsertsAndDeletesBeforeThem) {
  Load({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
  dc_.SetMultiSelect(true);
  dc_.SelectRows(2, 3);  // c, d
  auto selectedTexts = [this] {
    std::vector<String> texts;
    for (Integer row : SelectedRows())
      texts.push_back(dc_.GetDisplayText(dc_.GetRowInfo(row).RecordIndex, 1));
    return texts;
  };
  dc_.DeleteRecord(0);
  EXPECT_EQ(selectedTexts(), (std::vector<String>{"c", "d"}));
  dc_.DeleteRecord(1);  // c itself
  EXPECT_EQ(selectedTexts(), (std::vector<String>{"d"}));
  dc_.SetValue(dc_.InsertRecord(0), 1, "0");
  EXPECT_EQ(selectedTexts(), (std::vector<String>{"d"}));
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{2}));
}

TEST_F(GroupsTest, GroupingByAnotherFieldClearsTheSelection) {
  Load({{"a", "x"}, {"b", "y"}});
  dc_.SetMultiSelect(true);
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeRowSelection(1, true);
  dc_.SetSelectionAnchor(1);
  dc_.ChangeGrouping(1, -1);
  dc_.ChangeGrouping(2, 0);
  EXPECT_EQ(dc_.GetSelectedCount(), 0);
  EXPECT_FALSE(dc_.IsSelectionAnchorExist());
}

TEST_F(GroupsTest, FocusTopRowAfterSortingDropsSelectedGroupsToo) {
  Load({{"a", ""}, {"b", ""}});
  dc_.SetMultiSelect(true);
  dc_.ChangeGrouping(1, 0);
  dc_.ChangeRowSelection(1, true);
  dc_.SetOptions(dc_.Options() +
                 TcxDataControllerOptions{dcoFocusTopRowAfterSorting});
  dc_.ChangeSorting(1, soDescending);
  EXPECT_EQ(dc_.GetSelectedCount(), 0);
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 0);
}

TEST_F(GroupsTest, AnchorLeavesWithTheLastEntryOfItsRow) {
  Load({{"b", ""}, {"a", ""}, {"c", ""}});
  dc_.SetMultiSelect(true);
  dc_.ChangeRowSelection(2, true);
  dc_.SetSelectionAnchor(2);
  dc_.ChangeSorting(1, soAscending);  // record 2 ("c") stays last
  EXPECT_EQ(SelectedRows(), (std::vector<Integer>{2}));
  EXPECT_EQ(dc_.GetSelectionAnchorRowIndex(), 2);
  dc_.DeleteRecord(2);
  EXPECT_EQ(dc_.GetSelectedCount(), 0);
  EXPECT_FALSE(dc_.IsSelectionAnchorExist());
}

TEST(DataExpandingInfos, RefusesAFieldTwiceAndForgetsWhatInvolvesAField) {
  TcxDataController dc;
  TcxCustomDataField* a = dc.AddItem(nullptr);
  TcxCustomDataField* b = dc.AddItem(nullptr);
  TcxDataExpandingInfos infos;
  infos.AddField(a);
  infos.AddItem(0, Variant(1), {eisExpanded});
  infos.SaveStates = {eisExpanded};
  try {
    infos.AddField(a);
    FAIL() << "no error";
  } catch (const EcxInvalidDataControllerOperation& e) {
    EXPECT_EQ(e.Message(), "Item already exists");
  }
  EXPECT_FALSE(infos.Empty());
  infos.CheckField(b);
  EXPECT_EQ(infos.Count(), 1);
  infos.CheckField(a);
  EXPECT_TRUE(infos.Empty());
  EXPECT_EQ(infos.FieldCount(), 0);
  EXPECT_TRUE(infos.SaveStates.Empty());
}

}  // namespace
