// The vertical grid's row model: the tree and its flat list, the index
// errors, clamped properties, cell values in the data controller, and the
// rows container's lookups and copies.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"

using namespace vgrid_test;

namespace {

using RowTreeTest = TVGridModelTest<>;

TEST_F(RowTreeTest, FlatListIsPreOrderAndFollowsMoves) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  TcxEditorRow* a1 = AddEditor(a, "a1");
  AddEditor(a, "a2");
  TcxCategoryRow* b = AddCategory(nullptr, "b");
  AddEditor(a1, "a1x");
  AddEditor(b, "b1");
  EXPECT_EQ(FlatNames(), "a a1 a1x a2 b b1");
  EXPECT_EQ(a1->GetLevel(), 1);
  EXPECT_EQ(a1->GetAbsoluteIndex(), 1);

  b->SetIndex(0);
  EXPECT_EQ(FlatNames(), "b b1 a a1 a1x a2");
  // A nested row given no parent goes to the end of the top level.
  a1->SetParent(nullptr);
  EXPECT_EQ(TreeOf(grid_->RootRow()), "b(b1) a(a2) a1(a1x)");
  EXPECT_EQ(a1->GetParent(), nullptr);
  EXPECT_TRUE(a1->IsRootLevel());
  EXPECT_EQ(FlatNames(), "b b1 a a2 a1 a1x");
}

TEST_F(RowTreeTest, IgnoredMovesChangeNothing) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  AddEditor(a, "a1");
  TcxEditorRow* a2 = AddEditor(a, "a2");
  const std::string before = TreeOf(grid_->RootRow());
  a->SetParent(a);
  a2->SetIndex(5);
  a2->SetIndex(-1);
  a2->SetParent(a);
  EXPECT_EQ(TreeOf(grid_->RootRow()), before);
  // A row that is in no tree has no parent link to move in.
  TcxEditorRow loose(nullptr);
  loose.SetIndex(0);
  EXPECT_EQ(loose.Index(), -1);
}

TEST_F(RowTreeTest, IndexErrorsLeaveTheTreeAlone) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  TcxEditorRow* a1 = AddEditor(a, "a1");
  TcxEditorRow* stranger = AddEditor(nullptr, "stranger");
  const std::string before = TreeOf(grid_->RootRow());
  EXPECT_EQ(VGridErrorOf([&] { a->Remove(stranger); }), "Index error");
  for (Integer index : {-1, 0, 1})
    EXPECT_EQ(VGridErrorOf([&] { a1->Delete(index); }), "Index error") << index;
  EXPECT_EQ(VGridErrorOf([&] { a->Delete(1); }), "Index error");
  EXPECT_EQ(VGridErrorOf([&] { grid_->Rows()->Items(3); }), "Index error");
  EXPECT_EQ(TreeOf(grid_->RootRow()), before);
}

TEST_F(RowTreeTest, RemovedChildStaysAliveAndFreeingFreesTheSubtree) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  TcxEditorRow* a1 = AddEditor(a, "a1");
  AddEditor(a1, "a1x");
  a->Remove(a1);
  EXPECT_EQ(a1->ParentLink(), nullptr);
  EXPECT_EQ(a->Count(), 0);
  grid_->RootRow()->Add(a1);
  const Integer components = owner_->ComponentCount();
  grid_->Remove(a1);
  EXPECT_EQ(owner_->ComponentCount(), components - 2);
  EXPECT_EQ(FlatNames(), "a");
  EXPECT_EQ(grid_->RowByName("a1x"), nullptr);
}

TEST_F(RowTreeTest, HeightAndCellWidthAreClamped) {
  TcxEditorRow* row = AddEditor(nullptr, "r");
  const std::pair<Integer, Integer> heights[] = {
      {-5, -1}, {-1, -1}, {0, 0}, {30, 30}};
  for (auto [set, stored] : heights) {
    row->SetHeight(set);
    EXPECT_EQ(row->Height(), stored) << set;
  }
  auto* multi = grid_->Add<TcxMultiEditorRow>();
  TcxEditorRowItemProperties* cell = multi->GetProperties()->Editors()->Add();
  EXPECT_EQ(cell->Width(), 50);
  const std::pair<Integer, Integer> widths[] = {
      {5, 20}, {19, 20}, {20, 20}, {120, 120}};
  for (auto [set, stored] : widths) {
    cell->SetWidth(set);
    EXPECT_EQ(cell->Width(), stored) << set;
  }
}

TEST_F(RowTreeTest, ExpandReachesDescendantsOnlyWhenAsked) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  TcxCategoryRow* a1 = AddCategory(a, "a1");
  TcxEditorRow* a1x = AddEditor(a1, "a1x");
  grid_->FullCollapse();
  EXPECT_FALSE(a->Expanded());
  EXPECT_FALSE(a1->Expanded());
  a->Expand(false);
  EXPECT_TRUE(a->Expanded());
  EXPECT_FALSE(a1->Expanded());
  a->Expand(true);
  EXPECT_TRUE(a1->Expanded());
  a1x->Collapse(false);
  EXPECT_FALSE(a1x->Expanded());
}

TEST_F(RowTreeTest, VisibilityFollowsCollapsedAndHiddenAncestors) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  TcxEditorRow* a1 = AddEditor(a, "a1");
  TcxEditorRow* b = AddEditor(nullptr, "b");
  EXPECT_EQ(grid_->LastVisibleRow(), b);
  b->SetVisible(false);
  EXPECT_EQ(grid_->LastVisibleRow(), a1);
  a->SetExpanded(false);
  EXPECT_FALSE(grid_->IsRowVisible(a1));
  EXPECT_EQ(grid_->LastVisibleRow(), a);
  EXPECT_EQ(grid_->NextVisibleRow(nullptr), grid_->FirstVisibleRow());
  EXPECT_EQ(grid_->NextVisibleRow(a), nullptr);
  a->SetVisible(false);
  a->SetExpanded(true);
  EXPECT_FALSE(grid_->IsRowVisible(a1));
  EXPECT_FALSE(grid_->HasVisibleRows());
}

TEST_F(RowTreeTest, LookupsByNameCaptionAndIdentifier) {
  TcxCategoryRow* a = AddCategory(nullptr, "PlacesRow");
  a->GetProperties()->SetCaption("Places");
  auto* multi = grid_->AddChild<TcxMultiEditorRow>(a);
  multi->SetName("multi");
  multi->GetProperties()->Editors()->Add()->SetCaption("Path");
  EXPECT_EQ(grid_->RowByName("placesrow"), a);
  EXPECT_EQ(grid_->RowByName("PLACESROW"), a);
  EXPECT_EQ(grid_->RowByName("nosuch"), nullptr);
  EXPECT_EQ(grid_->RowByCaption("places"), a);
  EXPECT_EQ(grid_->RowByCaption("PATH"), multi);
  EXPECT_EQ(grid_->RowByCaption("nosuch"), nullptr);
  TcxVerticalGridRows* rows = grid_->Rows();
  EXPECT_EQ(rows->FindRowByID(-1), grid_->RootRow());
  EXPECT_EQ(rows->FindRowByID(multi->ID()), multi);
  EXPECT_NE(multi->ID(), a->ID());
  EXPECT_EQ(rows->FindRowByStoredName("nosuch"), grid_->RootRow());
}

TEST_F(RowTreeTest, AddRefusesClassesThatAreNoRows) {
  const Integer components = owner_->ComponentCount();
  EXPECT_EQ(VGridErrorOf([&] { grid_->Add(nullptr); }), "Can't create row");
  EXPECT_EQ(VGridErrorOf([&] { grid_->Add(TcxCellEdit::StaticClass()); }),
            "Can't create row");
  EXPECT_EQ(VGridErrorOf([&] { grid_->Add(TcxCustomRow::StaticClass()); }),
            "Can't create row");
  EXPECT_EQ(owner_->ComponentCount(), components);
  EXPECT_FALSE(grid_->HasRows());
}

TEST_F(RowTreeTest, AssigningRowsCopiesTheTreeAndRefusesNone) {
  TcxCategoryRow* a = AddCategory(nullptr, "a");
  a->GetProperties()->SetCaption("Cat");
  TcxEditorRow* a1 = AddEditor(a, "a1");
  a1->SetHeight(33);
  TObjectPtr<TForm> otherOwner(new TForm(nullptr));
  auto* other = new TcxVerticalGrid(otherOwner.get());
  other->AddChild<TcxEditorRow>(nullptr);
  other->AssignRows(nullptr);
  EXPECT_EQ(other->Rows()->Count(), 1);
  EXPECT_EQ(VGridErrorOf([&] { other->Rows()->AssignRows(nullptr); }),
            "Can't assign rows");
  EXPECT_EQ(other->Rows()->Count(), 1);

  other->AssignRows(grid_);
  ASSERT_EQ(other->Rows()->Count(), 2);
  auto* copy = dynamic_cast<TcxCategoryRow*>(other->Rows()->Items(0));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetProperties()->Caption(), "Cat");
  EXPECT_EQ(copy->ID(), a->ID());
  auto* copyChild = dynamic_cast<TcxEditorRow*>(copy->Rows(0));
  ASSERT_NE(copyChild, nullptr);
  EXPECT_EQ(copyChild->Height(), 33);
}

using RowValueTest = TVGridModelTest<>;

TEST_F(RowValueTest, UnboundGridHasOneFocusedRecordAndRowsStartNull) {
  EXPECT_EQ(grid_->DataController()->GetRowCount(), 1);
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 0);
  TcxEditorRow* row = AddEditor(nullptr, "r");
  EXPECT_TRUE(VarIsNull(row->GetProperties()->GetValue()));
  row->GetProperties()->SetValue(Variant("C:\\Work"));
  EXPECT_TRUE(
      SameVariant(row->GetProperties()->GetValue(), Variant("C:\\Work")));
  EXPECT_TRUE(
      SameVariant(grid_->DataController()->GetValue(
                      0, row->GetProperties()->EditContainer()->ItemIndex()),
                  Variant("C:\\Work")));
}

TEST_F(RowValueTest, EachMultiEditorCellIsItsOwnField) {
  auto* multi = grid_->Add<TcxMultiEditorRow>();
  TcxEditorPropertiesCollection* editors = multi->GetProperties()->Editors();
  TcxEditorRowItemProperties* name = editors->Add();
  TcxEditorRowItemProperties* path = editors->Add();
  name->SetValue(Variant("Docs"));
  path->SetValue(Variant("C:\\Docs"));
  EXPECT_EQ(VarToStr(name->GetValue()), "Docs");
  EXPECT_EQ(VarToStr(path->GetValue()), "C:\\Docs");
  EXPECT_EQ(multi->GetEditContainerCount(), 2);
  EXPECT_EQ(multi->GetEditContainer(1), path->EditContainer());
  EXPECT_EQ(multi->GetEditContainer(2), nullptr);
  EXPECT_EQ(path->EditContainer()->CellIndex(), 1);
}

using VirtualRowValueTest = TVGridModelTest<TcxVirtualVerticalGrid>;

TEST_F(VirtualRowValueTest, WithoutRecordsValuesReadNullAndWritesAreLost) {
  TcxEditorRow* row = AddEditor(nullptr, "r");
  EXPECT_EQ(grid_->DataController()->GetRowCount(), 0);
  row->GetProperties()->SetValue(Variant("lost"));
  EXPECT_TRUE(VarIsNull(row->GetProperties()->GetValue()));
}

TEST_F(VirtualRowValueTest, CellAssignCopiesValueButEditorRowAssignDoesNot) {
  grid_->DataController()->SetRecordCount(1);
  grid_->DataController()->ChangeFocusedRowIndex(0);
  TcxEditorRow* source = AddEditor(nullptr, "source");
  TcxEditorRow* target = AddEditor(nullptr, "target");
  source->GetProperties()->SetValue(Variant("v"));
  target->GetProperties()->Assign(source->GetProperties());
  EXPECT_TRUE(VarIsNull(target->GetProperties()->GetValue()));

  auto* multi = grid_->Add<TcxMultiEditorRow>();
  TcxEditorRowItemProperties* cell = multi->GetProperties()->Editors()->Add();
  cell->Assign(source->GetProperties());
  EXPECT_EQ(VarToStr(cell->GetValue()), "v");
}

}  // namespace
