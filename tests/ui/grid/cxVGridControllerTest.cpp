// The vertical grid's controller under real input: keys that expand and
// move the focus, the hit test, clicks on expand buttons, and rows moved
// by dragging their headers.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"

using namespace vgrid_test;
using namespace ui_test;

namespace {

// A category "A" with editor rows a1 and a2, then editor rows b and c.
class VGridControllerTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    a_ = grid_->Add<TcxCategoryRow>();
    a_->SetName("A");
    a_->GetProperties()->SetCaption("Category A");
    a1_ = Editor(a_, "a1");
    a2_ = Editor(a_, "a2");
    b_ = Editor(nullptr, "b");
    c_ = Editor(nullptr, "c");
  }
  TcxEditorRow* Editor(TcxCustomRow* AParent, const String& AName) {
    auto* row = grid_->AddChild<TcxEditorRow>(AParent);
    row->SetName(AName);
    row->GetProperties()->SetCaption(AName);
    return row;
  }
  void FocusGrid(TcxCustomRow* ARow) {
    grid_->SetFocus();
    grid_->SetFocusedRow(ARow);
    PumpUntilIdle();
  }
  TRect CaptionOf(TcxCustomRow* ARow) {
    TcxCustomRowViewInfo* info = LaidOut(ARow);
    return info->HeaderInfo()->Captions(0)->CaptionRect;
  }
  std::string Tree() { return VGridTreeOf(grid_->RootRow()); }
  TcxCategoryRow* a_ = nullptr;
  TcxEditorRow *a1_ = nullptr, *a2_ = nullptr, *b_ = nullptr, *c_ = nullptr;
};

TEST_F(VGridControllerTest, RightAndLeftExpandAndCollapseTheFocusedCategory) {
  a_->SetExpanded(false);
  FocusGrid(a_);
  Key(VK_RIGHT);
  EXPECT_TRUE(a_->Expanded());
  EXPECT_EQ(grid_->GetFocusedRow(), a_);
  Key(VK_LEFT);
  EXPECT_FALSE(a_->Expanded());
  // Without buttons the key still does not reach the cell navigator.
  grid_->OptionsView()->SetShowButtons(false);
  Key(VK_RIGHT);
  EXPECT_FALSE(a_->Expanded());
  EXPECT_EQ(grid_->GetFocusedRow(), a_);
  Key(VK_ADD);
  EXPECT_FALSE(a_->Expanded());
  grid_->OptionsView()->SetShowButtons(true);
  Key(VK_ADD);
  EXPECT_TRUE(a_->Expanded());
}

TEST_F(VGridControllerTest, ArrowsWalkTheVisibleRowsAndSkipCollapsedOnes) {
  FocusGrid(a_);
  Key(VK_DOWN);
  EXPECT_EQ(grid_->GetFocusedRow(), a1_);
  a_->SetExpanded(false);
  FocusGrid(a_);
  Key(VK_DOWN);
  EXPECT_EQ(grid_->GetFocusedRow(), b_);
  Key(VK_UP);
  EXPECT_EQ(grid_->GetFocusedRow(), a_);
}

TEST_F(VGridControllerTest, CtrlPageDownAndUpReachTheEnds) {
  FocusGrid(a1_);
  PressKeys({VK_CONTROL, VK_NEXT});
  PumpUntilIdle();
  EXPECT_EQ(grid_->GetFocusedRow(), c_);
  PressKeys({VK_CONTROL, VK_PRIOR});
  PumpUntilIdle();
  EXPECT_EQ(grid_->GetFocusedRow(), a_);
  Key(VK_NEXT);
  EXPECT_EQ(grid_->GetFocusedRow(), c_);  // all rows fit on one page
}

TEST_F(VGridControllerTest, RowWithoutTabStopCellsIsPassedOver) {
  auto* multi = grid_->Add<TcxMultiEditorRow>();
  multi->SetIndex(3);  // between b and c
  TcxEditorRowItemProperties* cell = multi->GetProperties()->Editors()->Add();
  cell->Options()->SetTabStop(false);
  PumpUntilIdle();
  ASSERT_TRUE(multi->CanFocus());
  FocusGrid(b_);
  Key(VK_DOWN);
  EXPECT_EQ(grid_->GetFocusedRow(), c_);
  Key(VK_UP);
  EXPECT_EQ(grid_->GetFocusedRow(), b_);
}

TEST_F(VGridControllerTest, HitTestNamesTheRowAndThePart) {
  PumpUntilIdle();
  TcxvgHitTest* hit = grid_->GetHitTest();
  const TRect caption = CaptionOf(b_);
  hit->ReCalculate(TPoint{caption.Left + 2, caption.Top + 2});
  EXPECT_EQ(hit->HitRow(), b_);
  EXPECT_TRUE(hit->GetHitAtRowHeader());
  EXPECT_TRUE(hit->HasCode(vghc_HitAtCaption));
  TcxRowValueInfo* value = LaidOut(b_)->GetRowValueInfo(0, 0);
  ASSERT_NE(value, nullptr);
  hit->ReCalculate(TPoint{value->DisplayRect().Left + 3, caption.Top + 2});
  EXPECT_EQ(hit->HitRow(), b_);
  EXPECT_FALSE(hit->GetHitAtRowHeader());
  EXPECT_TRUE(hit->HasCode(vghc_HitAtValue));
  const TRect last = LaidOut(c_)->RowRect;
  hit->ReCalculate(TPoint{10, last.Bottom + 10});
  EXPECT_EQ(hit->HitRow(), nullptr);
  EXPECT_TRUE(hit->HasCode(vghc_HitAtEmpty));
  EXPECT_FALSE(hit->GetHitAtRowHeader());
}

TEST_F(VGridControllerTest, ClickOnTheExpandButtonToggles) {
  PumpUntilIdle();
  const TRect button = LaidOut(a_)->HeaderInfo()->ButtonRect;
  ASSERT_FALSE(IsRectEmpty(button));
  Click(ScreenOf(button));
  PumpUntilIdle();
  EXPECT_FALSE(a_->Expanded());
  EXPECT_EQ(a1_->VisibleIndex(), -1);
  Click(ScreenOf(LaidOut(a_)->HeaderInfo()->ButtonRect));
  PumpUntilIdle();
  EXPECT_TRUE(a_->Expanded());
  a_->Options()->SetShowExpandButton(false);
  EXPECT_TRUE(IsRectEmpty(LaidOut(a_)->HeaderInfo()->ButtonRect));
}

TEST_F(VGridControllerTest, CollapsingMovesTheFocusToTheVisibleAncestor) {
  FocusGrid(a2_);
  Click(ScreenOf(LaidOut(a_)->HeaderInfo()->ButtonRect));
  PumpUntilIdle();
  EXPECT_EQ(grid_->GetFocusedRow(), a_);
}

class VGridDragTest : public VGridControllerTest {
 protected:
  void BeforeGridShow() override {
    VGridControllerTest::BeforeGridShow();
    grid_->SetDragMode(dmAutomatic);
  }
  bool DragRow(TcxCustomRow* ARow, const TPoint& ATo) {
    TCursorPosGuard pos;
    const TRect from = CaptionOf(ARow);
    TModalDrag drag(ScreenOf(from));
    drag.MoveTo(ScreenOf(ATo), 6).Release();
    const bool ran = drag.Run();
    PumpUntilIdle();
    return ran;
  }
  static TPoint Centre(const TRect& R) {
    return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }
};

TEST_F(VGridDragTest, DropOnACaptionMakesAChildAtTheTargetsIndex) {
  ASSERT_EQ(Tree(), "A(a1 a2) b c");
  ASSERT_TRUE(DragRow(c_, Centre(CaptionOf(a_))));
  EXPECT_EQ(Tree(), "A(c a1 a2) b");
  // b's own index (1) is out of range among b's children: c stays last.
  ASSERT_TRUE(DragRow(c_, Centre(CaptionOf(b_))));
  EXPECT_EQ(Tree(), "A(a1 a2) b(c)");
}

TEST_F(VGridDragTest, DropOnAnotherPartOfARowTakesItsPlace) {
  TcxCustomRowHeaderInfo* header = LaidOut(a2_)->HeaderInfo();
  ASSERT_GT(header->IndentBounds.Width(), 2);
  const TPoint indent{header->IndentBounds.Left + 2,
                      (header->HeaderRect.Top + header->HeaderRect.Bottom) / 2};
  ASSERT_TRUE(DragRow(c_, indent));
  EXPECT_EQ(Tree(), "A(a1 c a2) b");
}

TEST_F(VGridDragTest, DropOnItsOwnDescendantIsRefused) {
  ASSERT_TRUE(DragRow(a_, Centre(CaptionOf(a1_))));
  EXPECT_EQ(Tree(), "A(a1 a2) b c");
  // Below the rows the dragged row becomes the last top-level row.
  const TRect last = LaidOut(c_)->RowRect;
  ASSERT_TRUE(DragRow(a1_, TPoint{20, last.Bottom + 20}));
  EXPECT_EQ(Tree(), "A(a2) b c a1");
}

class VirtualVGridControllerTest
    : public TVGridFormTest<TcxVirtualVerticalGrid> {};

TEST_F(VirtualVGridControllerTest, GoToLastReachesTheLastRecord) {
  grid_->DataController()->SetRecordCount(7);
  grid_->DataController()->ChangeFocusedRowIndex(2);
  grid_->Scroller()->GoToLast();
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 6);
  grid_->Scroller()->GoToFirst();
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 0);
  grid_->Scroller()->GoToNext();
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 1);
  grid_->Scroller()->GoToPrev();
  grid_->Scroller()->GoToPrev();
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 0);
}

}  // namespace
