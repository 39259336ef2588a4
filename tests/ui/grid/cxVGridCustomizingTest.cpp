// The vertical grid's customization form: its pages of hidden rows and
// categories, where it opens, the new-category dialog, deleting a category,
// rows dragged out of the grid and back, and the unit's cursors.
#include <gtest/gtest.h>

#include "../../app/AppTestSupport.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "UiDriverControlsWin.h"
#include "VGridTestSupport.h"
#include "cxButtons.h"
#include "cxVGridCustomizing.h"

using namespace vgrid_test;

namespace {

std::vector<String> CustomizeListNames(
    TcxVerticalGridItemsCustomizeListBox* AList) {
  std::vector<String> names;
  for (Integer i = 0; i < AList->Items()->Count(); ++i)
    names.push_back(AList->RowAt(i)->Name());
  return names;
}

class VGridCustomizingTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    grid_->SetName("Grid");
    general_ = grid_->Add<TcxCategoryRow>();
    general_->SetName("General");
    name_ = grid_->AddChild<TcxEditorRow>(general_);
    name_->SetName("Name");
    path_ = grid_->Add<TcxEditorRow>();
    path_->SetName("Path");
    hidden_ = grid_->Add<TcxEditorRow>();
    hidden_->SetName("Hidden");
    hidden_->SetVisible(false);
    spare_ = grid_->Add<TcxCategoryRow>();
    spare_->SetName("Spare");
    spare_->GetProperties()->SetCaption("Spare parts");
    spare_->SetVisible(false);
    grid_->OnCustomizationFormVisibleChanged =
        TNotifyEvent::FromFunction([this](TObject*) { ++visibleChanges_; });
  }
  void TearDown() override {
    grid_->Customizing()->SetVisible(false);
    TVGridFormTest<>::TearDown();
  }

  TcxVerticalGridCustomizing* Customizing() { return grid_->Customizing(); }
  void ShowForm() {
    Customizing()->SetVisible(true);
    ASSERT_TRUE(ui_test::WaitUntil(
        [&] {
          return Customizing()->Form() &&
                 ::IsWindowVisible(Customizing()->Form()->Handle());
        },
        "customization form shown"));
    ui_test::PumpUntilIdle();
  }
  POINT ListItemPoint(TcxVerticalGridItemsCustomizeListBox* AList,
                      Integer AIndex) {
    const TRect r = AList->ItemRect(AIndex);
    return ui_test::ScreenPointOf(AList->Handle(), (r.Left + r.Right) / 2,
                                  (r.Top + r.Bottom) / 2);
  }

  // The pointer goes back where it was: windowed tests of other programs
  // in the same session read hot states from it.
  ui_test::TCursorPosGuard cursorGuard_;
  TcxCategoryRow* general_ = nullptr;
  TcxEditorRow* name_ = nullptr;
  TcxEditorRow* path_ = nullptr;
  TcxEditorRow* hidden_ = nullptr;
  TcxCategoryRow* spare_ = nullptr;
  int visibleChanges_ = 0;
};

TEST_F(VGridCustomizingTest, TheFormListsHiddenRowsByKind) {
  cxSetResourceString(cxSvgCustomizeCaption, "Arrange");
  Customizing()->SetRowCount(1);
  EXPECT_EQ(Customizing()->RowCount(), 2);
  ShowForm();
  cxClearResourceStrings();
  TcxVerticalGridCustomizationForm* form = Customizing()->Form();
  EXPECT_EQ(form->Caption(), "Arrange");
  EXPECT_EQ(form->BorderStyle(), bsSizeToolWin);
  // Room for the row count and one line more.
  EXPECT_EQ(form->ClientHeight(), 3 * Customizing()->LineHeight());
  EXPECT_EQ(Customizing()->RowsSheet()->Caption(), "Rows");
  EXPECT_EQ(Customizing()->CategoriesSheet()->Caption(), "Categories");
  EXPECT_EQ(CustomizeListNames(Customizing()->RowListBox()),
            std::vector<String>{"Hidden"});
  EXPECT_EQ(CustomizeListNames(Customizing()->CategoryListBox()),
            std::vector<String>{"Spare"});
  EXPECT_EQ(Customizing()->NewButton()->Caption(), "&New...");
  EXPECT_TRUE(Customizing()->NewButton()->Enabled());
  EXPECT_FALSE(Customizing()->DeleteButton()->Enabled());
  EXPECT_EQ(grid_->DragMode(), dmAutomatic);
  EXPECT_EQ(visibleChanges_, 1);

  // Rows hidden or shown meanwhile are followed.
  path_->SetVisible(false);
  hidden_->SetVisible(true);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(CustomizeListNames(Customizing()->RowListBox()),
            std::vector<String>{"Path"});

  Customizing()->SetShowCategoryButtons(false);
  EXPECT_FALSE(Customizing()->ButtonPanel()->Visible());
}

TEST_F(VGridCustomizingTest, AGridWithoutRowsShowsNoForm) {
  grid_->ClearRows();
  Customizing()->SetVisible(true);
  EXPECT_FALSE(Customizing()->Visible());
  EXPECT_EQ(Customizing()->Form(), nullptr);
  EXPECT_EQ(visibleChanges_, 0);
}

TEST_F(VGridCustomizingTest, ItReopensWhereItWasWithTheSameSelection) {
  ShowForm();
  TcxVerticalGridCustomizationForm* form = Customizing()->Form();
  // Open for the first time beside the grid's top-right corner.
  const TPoint corner = grid_->ClientToScreen(TPoint{grid_->Width(), 0});
  EXPECT_EQ(form->Top(), corner.Y);
  Customizing()->PageControl()->SetActivePage(Customizing()->CategoriesSheet());
  ui_test::PumpUntilIdle();
  ui_test::Click(ListItemPoint(Customizing()->CategoryListBox(), 0));
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(Customizing()->DeleteButton()->Enabled());
  form->SetBounds(40, 50, form->Width(), form->Height());
  form->Close();
  ASSERT_TRUE(ui_test::WaitUntil([&] { return !Customizing()->Visible(); },
                                 "form closed"));
  EXPECT_EQ(Customizing()->Form(), nullptr);
  EXPECT_EQ(grid_->DragMode(), dmManual);
  EXPECT_EQ(visibleChanges_, 2);

  ShowForm();
  form = Customizing()->Form();
  EXPECT_EQ(form->Left(), 40);
  EXPECT_EQ(form->Top(), 50);
  EXPECT_EQ(Customizing()->CategoryListBox()->ItemIndex(), 0);
  EXPECT_EQ(Customizing()->RowListBox()->ItemIndex(), -1);
}

TEST_F(VGridCustomizingTest, ANewCategoryIsMadeHiddenThroughTheDialog) {
  ShowForm();
  Customizing()->PageControl()->SetActivePage(Customizing()->CategoriesSheet());
  ui_test::PumpUntilIdle();
  const std::string visibleTree = VGridTreeOf(grid_->RootRow());
  bool okEnabledWhileEmpty = true;
  {
    app_test::TOnModal<TfmCreateCategory> act([&](TfmCreateCategory* dlg) {
      ui_test::PumpUntilIdle();
      okEnabledWhileEmpty = dlg->btOK->Enabled();
      ui_test::TypeText("Misc");
      ui_test::PumpUntilIdle();
      ui_test::Click(dlg->btOK->Handle());
    });
    ui_test::Click(Customizing()->NewButton()->Handle());
    ui_test::PumpUntilIdle();
    EXPECT_TRUE(act.Ran());
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_FALSE(okEnabledWhileEmpty);
  TcxVerticalGridItemsCustomizeListBox* list = Customizing()->CategoryListBox();
  ASSERT_EQ(list->Items()->Count(), 2);
  auto* made = dynamic_cast<TcxCategoryRow*>(list->RowAt(1));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetProperties()->Caption(), "Misc");
  EXPECT_EQ(made->Name(), "GridRuntimeCreatedRow");
  EXPECT_FALSE(made->Visible());
  EXPECT_EQ(made->Owner(), form_.get());
  // Appended at the end of the tree, hidden: the grid shows what it did.
  EXPECT_EQ(VGridTreeOf(grid_->RootRow()),
            visibleTree + " GridRuntimeCreatedRow");
  EXPECT_EQ(grid_->VGViewInfo()->GetRowViewInfo(made), nullptr);
}

TEST_F(VGridCustomizingTest, DeleteFreesTheSelectedCategory) {
  ShowForm();
  Customizing()->PageControl()->SetActivePage(Customizing()->CategoriesSheet());
  ui_test::PumpUntilIdle();
  ui_test::Click(ListItemPoint(Customizing()->CategoryListBox(), 0));
  ui_test::PumpUntilIdle();
  const Integer before = grid_->Rows()->Count();
  ui_test::Click(Customizing()->DeleteButton()->Handle());
  ui_test::PumpUntilIdle();
  spare_ = nullptr;
  EXPECT_EQ(grid_->Rows()->Count(), before - 1);
  EXPECT_EQ(grid_->RowByName("Spare"), nullptr);
  EXPECT_EQ(Customizing()->CategoryListBox()->Items()->Count(), 0);
  EXPECT_FALSE(Customizing()->DeleteButton()->Enabled());
}

TEST_F(VGridCustomizingTest, ARowDroppedOnTheFormHidesAndDragsBack) {
  ShowForm();
  // The drop of a row that the grid is dragging: the list hands it to the
  // grid's own drop handling, which hides the row.
  TcxVerticalGridItemsCustomizeListBox* list = Customizing()->RowListBox();
  grid_->VGController()->SetDragRow(path_);
  grid_->SetDragMode(dmAutomatic);
  list->DragDrop(grid_, 10, 10);
  grid_->VGController()->SetDragRow(nullptr);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(path_->Visible());
  EXPECT_EQ(CustomizeListNames(list), (std::vector<String>{"Path", "Hidden"}));

  // Dragged out of the list with the mouse onto the grid's empty space
  // below the rows, the row is shown again.
  const POINT item = ListItemPoint(list, 0);
  const POINT empty = ScreenOf(TPoint{150, grid_->ClientHeight() - 5});
  EXPECT_TRUE(ui_test::TModalDrag(item)
                  .MoveTo(POINT{item.x + 10, item.y + 10}, 2)
                  .WaitFor([&] { return grid_->Dragging(); }, "grid drags")
                  .MoveTo(empty, 6)
                  .Release()
                  .Run());
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(path_->Visible());
  EXPECT_EQ(CustomizeListNames(list), std::vector<String>{"Hidden"});
}

TEST_F(VGridCustomizingTest, ARowDraggedWithTheMouseOntoTheFormHides) {
  ShowForm();
  // Clear of the grid's form, so that no window stands over the list.
  TcxVerticalGridCustomizationForm* form = Customizing()->Form();
  form->SetBounds(form_->Left() + form_->Width() + 20, form_->Top(),
                  form->Width(), form->Height());
  ui_test::PumpUntilIdle();
  TcxCustomRowViewInfo* pathInfo = LaidOut(path_);
  ASSERT_NE(pathInfo, nullptr);
  const POINT from = ScreenOf(pathInfo->HeaderInfo()->Captions(0)->CaptionRect);
  const POINT onList = ui_test::CentreOf(Customizing()->RowListBox()->Handle());
  EXPECT_TRUE(ui_test::TModalDrag(from).MoveTo(onList, 6).Release().Run());
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(path_->Visible());
  EXPECT_EQ(CustomizeListNames(Customizing()->RowListBox()),
            (std::vector<String>{"Path", "Hidden"}));
}

TEST_F(VGridCustomizingTest, TheListTakesOnlyRowsThatMayLeaveTheGrid) {
  ShowForm();
  TcxVerticalGridItemsCustomizeListBox* list = Customizing()->RowListBox();
  grid_->VGController()->SetDragRow(path_);
  struct TCase {
    const char* What;
    TObject* Source;
    bool MayMove;
    bool Accept;
  } const cases[] = {
      {"from the grid", grid_, true, true},
      {"a row that must stay", grid_, false, false},
      {"from another control", form_.get(), true, false},
  };
  for (const TCase& c : cases) {
    path_->Options()->SetCanMovedToCustomizationForm(c.MayMove);
    bool accept = !c.Accept;
    list->DragOver(c.Source, 5, 5, dsDragMove, accept);
    EXPECT_EQ(accept, c.Accept) << c.What;
  }
  grid_->VGController()->SetDragRow(nullptr);
  bool accept = true;
  list->DragOver(grid_, 5, 5, dsDragMove, accept);
  EXPECT_FALSE(accept);
}

TEST_F(VGridCustomizingTest, CanDropLooksAtTheListOfTheDraggedKind) {
  ShowForm();
  const TPoint onRows =
      Customizing()->RowListBox()->ClientToScreen(TPoint{5, 5});
  grid_->VGController()->SetDragRow(path_);
  Customizing()->PageControl()->SetActivePage(Customizing()->RowsSheet());
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(Customizing()->CanDrop(onRows));
  EXPECT_FALSE(Customizing()->CanDrop(TPoint{onRows.X - 2000, onRows.Y}));
  // A category goes to the categories page, which is not shown.
  grid_->VGController()->SetDragRow(general_);
  EXPECT_FALSE(Customizing()->CanDrop(onRows));
  grid_->VGController()->SetDragRow(nullptr);
}

TEST_F(VGridCustomizingTest, TheFormFollowsTheGridOutOfSight) {
  ShowForm();
  grid_->SetVisible(false);
  EXPECT_TRUE(ui_test::WaitUntil([&] { return !Customizing()->Visible(); },
                                 "form hidden with the grid"));
  EXPECT_EQ(visibleChanges_, 2);  // shown, then hidden with the grid
}

TEST_F(VGridCustomizingTest, MinimisingTheApplicationHidesTheFormForAWhile) {
  ShowForm();
  HWND form = Customizing()->Form()->Handle();
  HWND app = Application->Handle();
  const bool appWasVisible = ::IsWindowVisible(app);
  ::ShowWindow(app, SW_MINIMIZE);
  EXPECT_TRUE(ui_test::WaitUntil([&] { return !::IsWindowVisible(form); },
                                 "form hidden with the application"));
  EXPECT_TRUE(Customizing()->Visible());
  ::ShowWindow(app, SW_RESTORE);
  if (!appWasVisible) ::ShowWindow(app, SW_HIDE);
  ::SetActiveWindow(form_->Handle());
  EXPECT_TRUE(ui_test::WaitUntil([&] { return ::IsWindowVisible(form); },
                                 "form shown again"));
  ui_test::PumpUntilIdle();
  EXPECT_NE(::GetActiveWindow(), form);
}

// ---------------------------------------------------------------------------
// The new-category dialog and the unit's cursors
// ---------------------------------------------------------------------------

TEST(VGridNewCategoryDialog, OkOnlyWithACaptionAndCancelKeepsIt) {
  ui_test::TCursorPosGuard cursor;
  TObjectPtr<TForm> owner(new TForm(nullptr));
  owner->SetBounds(100, 80, 500, 400);
  String caption = "Start";
  bool okWithText = false, okWhenEmpty = true;
  TRect bounds;
  bool shown = true;
  {
    app_test::TOnModal<TfmCreateCategory> act([&](TfmCreateCategory* dlg) {
      ui_test::PumpUntilIdle();
      bounds = dlg->BoundsRect();
      EXPECT_EQ(dlg->Caption(), "New Category");
      EXPECT_EQ(dlg->lbCaption->Caption(), "&Category:");
      okWithText = dlg->btOK->Enabled();
      ui_test::PressKeys({VK_CONTROL, 'A'});
      ui_test::PressKeys({VK_DELETE});
      ui_test::PumpUntilIdle();
      okWhenEmpty = dlg->btOK->Enabled();
      ui_test::PressKeys({VK_ESCAPE});
    });
    shown = cxShowNewCategoryForm(owner.get(), caption, nullptr);
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_FALSE(shown);
  EXPECT_EQ(caption, "Start");
  EXPECT_TRUE(okWithText);
  EXPECT_FALSE(okWhenEmpty);
  // Centred over the owner form.
  EXPECT_EQ(bounds.Left, 100 + (500 - bounds.Width()) / 2);
  EXPECT_EQ(bounds.Top, 80 + (400 - bounds.Height()) / 2);
}

TEST(VGridNewCategoryDialog, EnterConfirmsTheTypedCaption) {
  ui_test::TCursorPosGuard cursor;
  String caption;
  bool confirmed = false;
  {
    app_test::TOnModal<TfmCreateCategory> act([](TfmCreateCategory*) {
      ui_test::PumpUntilIdle();
      ui_test::TypeText("Paths");
      ui_test::PressKeys({VK_RETURN});
    });
    confirmed = cxShowNewCategoryForm(nullptr, caption, nullptr);
    EXPECT_FALSE(act.TimedOut());
  }
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(caption, "Paths");
}

TEST(VGridCursors, TheRowDragCursorsAreLoaded) {
  for (TCursor id : {-1228, -1229, -1230, -1241, -1242}) {
    HCURSOR cursor = Screen->Cursors(id);
    ASSERT_NE(cursor, nullptr) << id;
    EXPECT_NE(cursor, Screen->Cursors(crDefault)) << id;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info)) << id;
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    // The arrows point from their top-left corner; the no-drag sign from
    // its middle.
    const DWORD hot = id == -1242 ? 15 : 0;
    EXPECT_EQ(info.xHotspot, hot) << id;
    EXPECT_EQ(info.yHotspot, hot) << id;
  }
}

}  // namespace
