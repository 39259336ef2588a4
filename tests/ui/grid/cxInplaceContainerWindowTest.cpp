// The editing control under real input: clicking a cell and typing into
// its editor, Enter and Esc, keyboard navigation, typed characters opening
// the editor, cell hints, and dragging a row with place arrows.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "cxTextEdit.h"

using namespace grid_test;
using namespace ui_test;

namespace {

class GridWindowTest : public TGridFormTest {
 protected:
  void BeforeGridShow() override {
    first_ = grid_->AddItem();
    second_ = grid_->AddItem();
    first_->SetValue(0, Variant("one"));
    second_->SetValue(0, Variant("two"));
  }
  String StoredValue(TTestItem* AItem) {
    return VarToStr(grid_->DataController()->GetValue(0, AItem->ItemIndex()));
  }
  bool EditorShown() {
    TcxCustomEdit* edit = grid_->EditingController()->Edit();
    return edit && edit->Visible() && edit->Focused();
  }

  TTestItem* first_ = nullptr;
  TTestItem* second_ = nullptr;
};

TEST_F(GridWindowTest, ClickTypeEnterStoresTheValue) {
  Click(ScreenOf(grid_->CellCentre(first_)));
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); }, "editor shown"));
  EXPECT_EQ(grid_->EditingController()->EditingItem(), first_);
  PressKeys({VK_CONTROL, 'A'});
  TypeText("typed");
  PressKeys({VK_RETURN});
  ASSERT_TRUE(
      WaitUntil([&] { return !grid_->EditingController()->IsEditing(); },
                "editor closed"));
  EXPECT_EQ(StoredValue(first_), "typed");
  EXPECT_EQ(StoredValue(second_), "two");
}

TEST_F(GridWindowTest, EscInAnUnchangedEditorPassesTheKeyOn) {
  std::vector<Word> keysSeen;
  grid_->OnKeyDown = TKeyEvent::FromFunction(
      [&](TObject*, Word& Key, TShiftState) { keysSeen.push_back(Key); });
  Click(ScreenOf(grid_->CellCentre(first_)));
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); }, "editor shown"));
  TcxCustomEdit* edit = grid_->EditingController()->Edit();
  Word key = VK_ESCAPE;
  edit->OnKeyDown(edit, key, TShiftState{});
  EXPECT_EQ(key, VK_ESCAPE);
  // The control's own key event heard the editor's key first.
  EXPECT_EQ(keysSeen, std::vector<Word>{VK_ESCAPE});
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  EXPECT_EQ(StoredValue(first_), "one");
}

TEST_F(GridWindowTest, EscInAModifiedEditorIsEatenAndDiscards) {
  Click(ScreenOf(grid_->CellCentre(first_)));
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); }, "editor shown"));
  TypeText("zz");
  PumpUntilIdle();
  TcxCustomEdit* edit = grid_->EditingController()->Edit();
  ASSERT_TRUE(edit->ModifiedAfterEnter());
  Word key = VK_ESCAPE;
  edit->OnKeyDown(edit, key, TShiftState{});
  EXPECT_EQ(key, 0);
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  EXPECT_EQ(StoredValue(first_), "one");
}

TEST_F(GridWindowTest, ArrowsMoveTheFocusAndF2OpensTheEditor) {
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  grid_->Controller()->SetFocusedItem(first_);
  grid_->SetFocus();
  PumpUntilIdle();
  PressKeys({VK_DOWN});
  ASSERT_TRUE(
      WaitUntil([&] { return grid_->Controller()->FocusedItem() == second_; },
                "focus moved down"));
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  PressKeys({VK_DOWN});  // the last row: stays
  PumpUntilIdle();
  EXPECT_EQ(grid_->Controller()->FocusedItem(), second_);
  PressKeys({VK_F2});
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); }, "F2 opened the editor"));
  EXPECT_EQ(grid_->EditingController()->EditingItem(), second_);
}

TEST_F(GridWindowTest, TypedCharacterOpensTheEditorWithIt) {
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  grid_->Controller()->SetFocusedItem(second_);
  grid_->SetFocus();
  PumpUntilIdle();
  TypeText("q");
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); }, "editor opened by key"));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(
      WaitUntil([&] { return !grid_->EditingController()->IsEditing(); },
                "editor closed"));
  EXPECT_EQ(StoredValue(second_), "q");
}

TEST_F(GridWindowTest, IncSearchTakesTheCharacterInstead) {
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  grid_->OptionsBehavior()->SetIncSearch(true);
  grid_->Controller()->SetFocusedItem(second_);
  grid_->SetFocus();
  PumpUntilIdle();
  TypeText("t");
  PumpUntilIdle();
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  EXPECT_EQ(grid_->Controller()->GetIncSearchingText(), "t");
  EXPECT_EQ(grid_->Controller()->GetIncSearchingItem(), second_);
}

TEST_F(GridWindowTest, SecondClickOnTheFocusedCellWaitsForTheDoubleClickTime) {
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  Click(ScreenOf(grid_->CellCentre(first_)));
  PumpUntilIdle();
  ASSERT_EQ(grid_->Controller()->FocusedItem(), first_);
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  // Wait out the double-click time, so the next click is a click of its own.
  TcxTimer expire(nullptr);
  bool expired = false;
  expire.SetInterval(static_cast<Cardinal>(GetDblClickInterval()) + 50);
  expire.SetOnTimer(
      TNotifyEvent::FromFunction([&](TObject*) { expired = true; }));
  ASSERT_TRUE(WaitUntil([&] { return expired; }, "double-click time passed"));
  expire.SetEnabled(false);
  Click(ScreenOf(grid_->CellCentre(first_)));
  PumpUntilIdle();
  EXPECT_TRUE(grid_->EditingController()->EditShowingTimerActive());
  EXPECT_FALSE(grid_->EditingController()->IsEditing());
  ASSERT_EQ(grid_->EditingController()->EditShowingTimer()->Interval(),
            static_cast<Cardinal>(GetDblClickInterval()));
  ASSERT_TRUE(WaitUntil([&] { return EditorShown(); },
                        "editor opened after the delay"));
}

TEST_F(GridWindowTest, ClippedCellShowsAHintAndAFittingOneDoesNot) {
  grid_->OptionsBehavior()->SetCellHints(true);
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  first_->SetValue(0, Variant("a text much too long for a narrow cell"));
  second_->SetValue(0, Variant("ok"));
  grid_->TestViewInfo()->CellWidth = 60;
  grid_->LayoutChanged();
  PumpUntilIdle();
  auto* hotTrack = grid_->Controller()->HotTrackController();
  TCursorPosGuard cursor;
  MoveMouseTo(ScreenOf(grid_->CellCentre(second_)));
  PumpUntilIdle();
  EXPECT_FALSE(hotTrack->HintVisible());
  MoveMouseTo(ScreenOf(grid_->CellCentre(first_)));
  ASSERT_TRUE(WaitUntil([&] { return hotTrack->HintVisible(); }, "hint shown"));
  EXPECT_EQ(hotTrack->HintText(), "a text much too long for a narrow cell");
  EXPECT_TRUE(::IsWindowVisible(hotTrack->HintWindow()->Handle()));
  MoveMouseTo(ScreenOf(grid_->CellCentre(second_)));
  ASSERT_TRUE(WaitUntil([&] { return !hotTrack->HintVisible(); }, "hint gone"));
  // Hints off: none, but the cells are still hot-tracked.
  grid_->OptionsBehavior()->SetCellHints(false);
  MoveMouseTo(ScreenOf(grid_->CellCentre(first_)));
  PumpUntilIdle();
  EXPECT_FALSE(hotTrack->HintVisible());
  EXPECT_EQ(hotTrack->PrevElement(), grid_->CellOf(first_));
}

TEST_F(GridWindowTest, DraggingARowMovesItWithPlaceArrows) {
  TTestItem* third = grid_->AddItem();
  grid_->OptionsBehavior()->SetImmediateEditor(false);
  grid_->TestController()->DragObjectClass = TTestRowDragObject::StaticClass();
  PumpUntilIdle();
  bool arrowsSeen = false;
  const POINT from = ScreenOf(grid_->CellCentre(third));
  const POINT to = ScreenOf(grid_->CellCentre(first_));
  TModalDrag drag(from);
  drag.MoveTo(to, 4)
      .WaitFor(
          [&] {
            auto* object = dynamic_cast<TTestRowDragObject*>(
                grid_->DragAndDropState() == ddsInProcess
                    ? grid_->DragAndDropObject()
                    : nullptr);
            arrowsSeen = object && object->Arrows() &&
                         ::IsWindowVisible(object->Arrows()->Handle());
            return arrowsSeen;
          },
          "place arrows shown")
      .Release();
  ASSERT_TRUE(drag.Run());
  EXPECT_TRUE(arrowsSeen);
  PumpUntilIdle();
  EXPECT_EQ(grid_->Items(0), third);
  EXPECT_EQ(grid_->Items(1), first_);
  EXPECT_EQ(grid_->Items(2), second_);
  EXPECT_EQ(third->ItemIndex(), 0);
}

}  // namespace
