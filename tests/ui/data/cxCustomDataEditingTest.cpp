#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cxCustomData.h"

namespace {

// Item 0 Integer, item 1 String.
class DataEditingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(1, TcxStringValueType::Class());
    dc_.OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) {
      if (auto* d = dynamic_cast<TcxDataChangedInfo*>(AInfo))
        dataChanges_.push_back(*d);
    };
  }
  void Load(const std::vector<std::pair<Variant, Variant>>& ARecords) {
    dc_.BeginUpdate();
    dc_.SetRecordCount(static_cast<Integer>(ARecords.size()));
    for (size_t i = 0; i < ARecords.size(); ++i) {
      dc_.SetValue(static_cast<Integer>(i), 0, ARecords[i].first);
      dc_.SetValue(static_cast<Integer>(i), 1, ARecords[i].second);
    }
    dc_.EndUpdate();
    dataChanges_.clear();
  }
  std::vector<Integer> RowRecords() {
    std::vector<Integer> result;
    for (Integer r = 0; r < dc_.GetRowCount(); ++r)
      result.push_back(dc_.GetRowInfo(r).RecordIndex);
    return result;
  }
  std::vector<String> Texts() {
    std::vector<String> result;
    for (Integer r = 0; r < dc_.GetRecordCount(); ++r)
      result.push_back(VarToStr(dc_.GetValue(r, 1)));
    return result;
  }

  TcxDataController dc_;
  std::vector<TcxDataChangedInfo> dataChanges_;
};

using State = TcxDataControllerEditState;

TEST_F(DataEditingTest, AppendOnEmptyAndPostUntouchedLeavesNoRecord) {
  dc_.Append();
  EXPECT_EQ(dc_.GetRecordCount(), 1);
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 0);
  EXPECT_EQ(dc_.GetEditState(), State{dceInsert});
  EXPECT_TRUE(dc_.IsEditing());
  dataChanges_.clear();
  dc_.Post();
  EXPECT_EQ(dc_.GetRecordCount(), 0);
  EXPECT_EQ(dc_.GetEditState(), State{});
  ASSERT_FALSE(dataChanges_.empty());
  EXPECT_EQ(dataChanges_.back().RecordIndex, -1);
}

TEST_F(DataEditingTest, EditStatesThroughOneEdit) {
  Load({{1, "a"}, {2, "b"}});
  dc_.SetFocusedRowIndex(1);
  struct Step {
    const char* name;
    std::function<void(TcxDataController&)> act;
    State state;
  };
  const Step steps[] = {
      {"browse", [](auto&) {}, State{}},
      {"edit", [](auto& dc) { dc.Edit(); }, State{dceEdit}},
      {"editor opened", [](auto& dc) { dc.CanInitEditing(1); },
       State{dceEdit, dceChanging}},
      {"value written", [](auto& dc) { dc.SetEditValue(1, "B", evsValue); },
       State{dceEdit, dceChanging, dceModified}},
      {"editor data pushed", [](auto& dc) { dc.PostEditingData(); },
       State{dceEdit, dceModified}},
      {"posted", [](auto& dc) { dc.Post(); }, State{}},
      {"insert", [](auto& dc) { dc.Insert(); }, State{dceInsert}},
      {"cancelled", [](auto& dc) { dc.Cancel(); }, State{}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.act(dc_);
    EXPECT_EQ(dc_.GetEditState().ToInt(), s.state.ToInt());
  }
  EXPECT_EQ(Texts(), (std::vector<String>{"a", "B"}));
}

TEST_F(DataEditingTest, InsertGoesBeforeTheFocusedRecord) {
  Load({{1, "a"}, {2, "b"}, {3, "c"}});
  dc_.SetFocusedRowIndex(1);
  dc_.Insert();
  EXPECT_EQ(dc_.GetRecordCount(), 4);
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 1);
  EXPECT_EQ(dc_.GetValue(2, 1).AsString(), "b");
  dc_.SetEditValue(1, "new", evsValue);
  dc_.Post();
  EXPECT_EQ(Texts(), (std::vector<String>{"a", "new", "b", "c"}));
  EXPECT_EQ(dc_.GetEditState(), State{});
}

TEST_F(DataEditingTest, CancelledInsertRemovesItsRecord) {
  Load({{1, "a"}, {2, "b"}});
  dc_.SetFocusedRowIndex(0);
  dc_.Insert();
  dc_.SetEditValue(1, "typed", evsValue);
  dc_.Cancel();
  EXPECT_EQ(Texts(), (std::vector<String>{"a", "b"}));
  EXPECT_EQ(dc_.GetEditState(), State{});
}

TEST_F(DataEditingTest, CancelRestoresEarlierValuesIncludingNull) {
  Load({{Null(), "x"}, {2, "y"}});
  dc_.SetFocusedRowIndex(0);
  dc_.SetEditValue(0, 5, evsValue);
  dc_.SetEditValue(1, "", evsText);  // an empty text stores Null
  EXPECT_TRUE(dc_.GetValue(0, 1).IsNull());
  dc_.Cancel();
  EXPECT_TRUE(dc_.GetValue(0, 0).IsNull());
  EXPECT_EQ(dc_.GetValue(0, 1).AsString(), "x");
  EXPECT_EQ(dc_.GetEditState(), State{});
}

TEST_F(DataEditingTest, ImmediatePostEndsEveryEdit) {
  Load({{1, "a"}});
  dc_.SetOptions(dc_.Options() + TcxDataControllerOptions{dcoImmediatePost});
  dc_.SetFocusedRowIndex(0);
  ASSERT_TRUE(dc_.SetEditValue(0, 7, evsValue));
  EXPECT_EQ(dc_.GetEditState(), State{});
  EXPECT_EQ(dc_.GetValue(0, 0).AsInteger(), 7);
}

TEST_F(DataEditingTest, FocusingAnotherRecordPostsTheEdit) {
  Load({{1, "a"}, {2, "b"}});
  dc_.SetFocusedRowIndex(0);
  dc_.SetEditValue(1, "changed", evsValue);
  dc_.SetFocusedRowIndex(1);
  EXPECT_EQ(dc_.GetEditState(), State{});
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 1);
  EXPECT_EQ(dc_.GetValue(0, 1).AsString(), "changed");
}

TEST_F(DataEditingTest, EditedRecordKeepsItsPlaceUntilPosted) {
  Load({{10, "a"}, {20, "b"}, {30, "c"}});
  dc_.ChangeSorting(0, soAscending);
  // On the last row: stays last however it would sort.
  dc_.SetFocusedRowIndex(2);
  dc_.SetEditValue(0, -1, evsValue);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 1, 2}));
  dc_.Post();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{2, 0, 1}));
  // On another row: stays just before the record that followed it.
  dc_.SetFocusedRowIndex(1);  // record 0
  dc_.SetEditValue(0, 99, evsValue);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{2, 0, 1}));
  EXPECT_EQ(dc_.GetFocusedRecordIndex(), 0);
  dc_.Post();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{2, 1, 0}));
}

TEST_F(DataEditingTest, AppendedRecordStaysLastWhileEdited) {
  Load({{10, "a"}, {20, "b"}});
  dc_.ChangeSorting(0, soAscending);
  dc_.Append();
  dc_.SetEditValue(0, 1, evsValue);
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 1, 2}));
  EXPECT_EQ(dc_.GetFocusedRowIndex(), 2);
  dc_.Post();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{2, 0, 1}));
}

TEST_F(DataEditingTest, EditingRecordIsNeverFilteredOut) {
  Load({{1, "apple"}, {2, "berry"}});
  dc_.SetFocusedRowIndex(1);
  dc_.Edit();
  dc_.SetIncrementalFilter(1, "a");
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0, 1}));
  dc_.Cancel();
  dc_.Refresh();
  EXPECT_EQ(RowRecords(), (std::vector<Integer>{0}));
}

TEST_F(DataEditingTest, DeleteFocusedGroupRowDeletesTheGroup) {
  Load({{1, "a"}, {2, "b"}, {3, "a"}, {4, "b"}, {5, "b"}});
  dc_.ChangeGrouping(1, 0);
  dc_.SetFocusedRowIndex(1);  // group "b"
  dc_.DeleteFocused();
  EXPECT_EQ(Texts(), (std::vector<String>{"a", "a"}));
  // The focus goes to the nearest group's record.
  ASSERT_GE(dc_.GetFocusedRecordIndex(), 0);
  EXPECT_EQ(dc_.GetValue(dc_.GetFocusedRecordIndex(), 1).AsString(), "a");
}

TEST_F(DataEditingTest, DeleteFocusedMovesToTheNearestRow) {
  Load({{1, "a"}, {2, "b"}, {3, "c"}});
  struct Case {
    Integer focusRow;
    std::vector<String> left;
    String focused;
  };
  // The next row, or the previous one at the end.
  const Case cases[] = {{1, {"a", "c"}, "c"}, {2, {"a", "b"}, "b"}};
  for (const Case& c : cases) {
    Load({{1, "a"}, {2, "b"}, {3, "c"}});
    dc_.SetFocusedRowIndex(c.focusRow);
    dc_.DeleteFocused();
    EXPECT_EQ(Texts(), c.left);
    ASSERT_GE(dc_.GetFocusedRecordIndex(), 0);
    EXPECT_EQ(dc_.GetValue(dc_.GetFocusedRecordIndex(), 1).AsString(),
              c.focused);
  }
}

TEST_F(DataEditingTest, EventsOfAnInsertAndPostInOrder) {
  Load({{1, "a"}});
  std::vector<std::string> log;
  dc_.OnBeforeInsert = [&](TcxCustomDataController*) {
    log.push_back("before insert");
  };
  dc_.OnNewRecord = [&](TcxCustomDataController*, Integer r) {
    log.push_back("new " + std::to_string(r));
  };
  dc_.OnAfterInsert = [&](TcxCustomDataController*) {
    log.push_back("after insert");
  };
  dc_.OnBeforePost = [&](TcxCustomDataController*) {
    log.push_back("before post");
  };
  dc_.OnAfterPost = [&](TcxCustomDataController*) {
    log.push_back("after post");
  };
  dc_.Append();
  dc_.SetEditValue(0, 2, evsValue);
  dc_.Post();
  EXPECT_EQ(log,
            (std::vector<std::string>{"before insert", "new 1", "after insert",
                                      "before post", "after post"}));
}

TEST_F(DataEditingTest, NewRecordTakesTheGroupingValuesOfItsNeighbour) {
  Load({{1, "a"}, {2, "b"}});
  dc_.ChangeGrouping(1, 0);
  dc_.FullExpand();  // a, rec0, b, rec1
  dc_.SetFocusedRowIndex(3);
  dc_.Insert();
  EXPECT_EQ(dc_.GetValue(dc_.GetEditingRecordIndex(), 1).AsString(), "b");
}

TEST_F(DataEditingTest, EditOperationsOfThePlainProvider) {
  TcxDataControllerEditOperations all{dceoAppend, dceoEdit, dceoInsert,
                                      dceoShowEdit};
  EXPECT_EQ(dc_.GetEditOperations(), all);
  Load({{1, "a"}});
  EXPECT_EQ(dc_.GetEditOperations(),
            all + TcxDataControllerEditOperations{dceoDelete});
}

}  // namespace
