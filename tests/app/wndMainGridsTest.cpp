// The main window's grids of places driven by real input: what the rows
// show for a group, the ellipsis opening the select-folder dialog, a view
// picked with the keyboard, and row headers dragged; each change read back
// from the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "MainWindowTestSupport.h"
#include "cxRadioGroup.h"
#include "cxVGrid.h"

using namespace ui_test;
using main_window_test::ChooseInDialog;
using main_window_test::StoreGroup;
using places_test::kCommon;
using places_test::KeyValues;
using places_test::kOffice;
using places_test::TScratchFolders;

namespace {

const char kGridsOffice11Key[] =
    "Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Places";

class PlaceGridsTest : public main_window_test::TMainWindowFixture {
 protected:
  TcxEditorRow* CommonRow(Integer K) {
    return dynamic_cast<TcxEditorRow*>(
        form_->vgCommonDlg->RowByName("edtCdPlace" + IntToStr(K)));
  }
  TcxMultiEditorRow* OfficeRow(Integer K) {
    return dynamic_cast<TcxMultiEditorRow*>(
        form_->vgOfficeDlg->RowByName("edtOffPlace" + IntToStr(K)));
  }
  static String Text(TcxCustomEditorRowProperties* Cell) {
    return VarToStr(Cell->GetValue());
  }
  TcxCustomRowViewInfo* LaidOut(TcxVerticalGrid* Grid, TcxCustomRow* Row) {
    Grid->VGViewInfo()->Calculate();
    return Grid->VGViewInfo()->GetRowViewInfo(Row);
  }
  // Screen point a few pixels into the caption of Row's header.
  POINT HeaderPoint(TcxVerticalGrid* Grid, TcxCustomRow* Row) {
    const TRect r = LaidOut(Grid, Row)->HeaderInfo()->Captions(0)->CaptionRect;
    return ScreenPointOf(Grid->Handle(), r.Left + 4, (r.Top + r.Bottom) / 2);
  }
  // The paths of a stored group's places, in order.
  std::vector<String> StoredPaths(const String& Key) {
    std::vector<String> out;
    for (Integer i = 0;; ++i) {
      auto values = KeyValues(Key + "\\Place" + IntToStr(i));
      if (values.empty()) break;
      out.push_back(values["Path"]);
    }
    return out;
  }
};

TEST_F(PlaceGridsTest, OfficeDetectionReachesTheOfficeGrid) {
  Open();
  TcxVerticalGrid* grid = form_->vgOfficeDlg;
  // No Office: the whole grid is off and painted as such.
  EXPECT_FALSE(grid->Enabled());
  TcxViewParams header = grid->Styles()->GetHeaderParams(OfficeRow(0));
  EXPECT_EQ(header.TextColor, form_->styDisabled->TextColor());
  form_.reset();

  places_test::PutDword(kGridsOffice11Key, "ItemSize", 1);
  Open();
  grid = form_->vgOfficeDlg;
  EXPECT_TRUE(grid->Enabled());
  for (const char* name : {"cbOfficeVersions", "rgOfficeDefault"}) {
    auto* row = dynamic_cast<TcxEditorRow*>(grid->RowByName(name));
    ASSERT_NE(row, nullptr) << name;
    auto* props = dynamic_cast<TcxRadioGroupProperties*>(
        row->GetProperties()->EditProperties());
    ASSERT_NE(props, nullptr) << name;
    ASSERT_EQ(props->GetItems()->Count(), 1) << name;
    EXPECT_EQ(props->GetItems()->Items(0)->Caption(), "2003");
    EXPECT_EQ(VarToStr(props->GetItems()->Items(0)->Value()), "3");
  }
  // The default row is there without a group; the group's own are not.
  EXPECT_TRUE(grid->RowByName("rgOfficeDefault")->Options()->Focusing());
  EXPECT_FALSE(grid->RowByName("cbOfficeVersions")->Options()->Focusing());
  EXPECT_FALSE(grid->RowByName("cbUseSmIcon")->Options()->Focusing());
  header = grid->Styles()->GetHeaderParams(OfficeRow(0));
  EXPECT_EQ(header.TextColor, form_->styDisabled->TextColor());
  header = grid->Styles()->GetHeaderParams(grid->RowByName("rgOfficeDefault"));
  EXPECT_NE(header.TextColor, form_->styDisabled->TextColor());
}

TEST_F(PlaceGridsTest, CommonGridShowsTheGroupsPlaces) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  // Long enough that no value cell holds it whole (a place must exist to
  // be shown).
  String relative;
  for (int i = 0; i < 8; ++i) {
    if (!relative.empty()) relative += "\\";
    relative += "folder-with-a-long-name" + IntToStr(i);
    folders.Make(relative);
  }
  const String deep = folders.Make(relative + "\\Last");
  StoreGroup(kCommon, "Work", 0, {"0", docs, deep});
  Open(true);
  // No group chosen yet: nothing to show or enter.
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    EXPECT_FALSE(CommonRow(k)->Options()->Focusing()) << k;
  }
  Select("Work");

  EXPECT_EQ(Text(CommonRow(0)->GetProperties()), "Desktop");
  EXPECT_EQ(Text(CommonRow(1)->GetProperties()), docs);
  const String shortened = Text(CommonRow(2)->GetProperties());
  EXPECT_NE(shortened.find("..."), String::npos) << shortened;
  EXPECT_EQ(shortened.substr(shortened.size() - 5), "\\Last");
  EXPECT_EQ(shortened.substr(0, 3), deep.substr(0, 3));
  EXPECT_EQ(CommonRow(2)->GetProperties()->Hint(), deep);
  const TRect cell = LaidOut(form_->vgCommonDlg, CommonRow(2))
                         ->GetRowValueInfo(0, 0)
                         ->DisplayRect();
  EXPECT_LE(form_->Canvas()->TextWidth(shortened), cell.Width() - 23);

  // Three places, the blank one after them, and nothing to enter below.
  for (Integer k = 0; k < kPlaceRowCount; ++k) {
    EXPECT_EQ(CommonRow(k)->Options()->Focusing(), k <= 3) << k;
  }
  EXPECT_EQ(Text(CommonRow(3)->GetProperties()), "");
}

// The group saved as selected is selected in the list when the window
// opens; its places must show in the grid and the group actions apply to
// it, as after a click on it.
TEST_F(PlaceGridsTest, TheGroupSavedAsSelectedShowsItsPlacesAtOnce) {
  StoreGroup(kCommon, "Other", 0, {"0"});
  StoreGroup(kCommon, "Work", gfSelected, {"5", "17"});
  Open(true);
  ASSERT_TRUE(ListItem("Work"));
  EXPECT_TRUE(ListItem("Work")->Selected());
  EXPECT_TRUE(CommonRow(0)->Options()->Focusing());
  EXPECT_FALSE(Text(CommonRow(0)->GetProperties()).empty());
  EXPECT_FALSE(Text(CommonRow(1)->GetProperties()).empty());
  EXPECT_EQ(Text(CommonRow(2)->GetProperties()), "");
  EXPECT_TRUE(form_->actInstallGroup->Enabled());
}

TEST_F(PlaceGridsTest, EllipsisOpensTheSelectFolderDialogForThatRow) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  StoreGroup(kCommon, "Work", gfInstalled, {docs});
  Open(true);
  Select("Work");
  TcxRowValueInfo* cell =
      LaidOut(form_->vgCommonDlg, CommonRow(1))->GetRowValueInfo(0, 0);
  ASSERT_NE(cell, nullptr);
  ASSERT_NE(cell->EditViewInfo(), nullptr);
  ASSERT_FALSE(cell->EditViewInfo()->ButtonsInfo.empty());
  TRect button = cell->EditViewInfo()->ButtonsInfo[0]->Bounds;
  OffsetRect(button, cell->EditViewInfo()->Left, cell->EditViewInfo()->Top);

  app_test::TOnModal<TdlgSelectFolder> act(
      [](TdlgSelectFolder* d) { ChooseInDialog(d, 2); });  // "Desktop"
  TCursorPosGuard pos;
  Click(ScreenPointOf(form_->vgCommonDlg->Handle(),
                      (button.Left + button.Right) / 2,
                      (button.Top + button.Bottom) / 2));
  ASSERT_TRUE(WaitUntil(
      [&] {
        return act.Ran() && !form_->vgCommonDlg->GetIsEditing() &&
               Text(CommonRow(1)->GetProperties()) == "Desktop";
      },
      "place chosen through the dialog"));
  EXPECT_FALSE(act.TimedOut());
  EXPECT_EQ(KeyValues(kCommon + "\\Work\\Place1")["Path"], "REG_DWORD:0");
  // The group is installed: the places bar follows at once.
  EXPECT_EQ(KeyValues(kPlacesBarKey)["Place1"], "REG_DWORD:0");
  // And a new blank row opens below.
  EXPECT_TRUE(CommonRow(2)->Options()->Focusing());
}

TEST_F(PlaceGridsTest, OfficeViewPickedWithTheKeyboardIsStoredAtOnce) {
  TScratchFolders folders;
  const String docs = folders.Make("Docs");
  places_test::PutDword(kGridsOffice11Key, "ItemSize", 1);
  StoreGroup(kOffice, "Off", 0, {docs, "5"});
  Open(true);
  form_->ActivatePage(1);
  Select("Off");
  TcxVerticalGrid* grid = form_->vgOfficeDlg;
  TcxEditorPropertiesCollection* cells =
      OfficeRow(1)->GetProperties()->Editors();
  ASSERT_EQ(Text(cells->GetItem(2)), "Details");
  // A special folder's name is its own; a custom folder's may be edited.
  EXPECT_TRUE(cells->GetItem(0)->EditProperties()->ReadOnly());
  EXPECT_FALSE(OfficeRow(0)
                   ->GetProperties()
                   ->Editors()
                   ->GetItem(0)
                   ->EditProperties()
                   ->ReadOnly());

  grid->SetFocus();
  grid->FocusRow(OfficeRow(1), 2);
  PumpUntilIdle();
  ASSERT_EQ(grid->GetFocusedRow(), OfficeRow(1));
  PressKeys({VK_F2});
  PumpUntilIdle();
  ASSERT_TRUE(grid->GetIsEditing());
  for (WORD key : {VK_F4, VK_DOWN, VK_RETURN, VK_RETURN}) {
    PressKeys({key});
    PumpUntilIdle();
  }
  ASSERT_TRUE(WaitUntil(
      [&] {
        return KeyValues(kOffice + "\\Off\\Place1")["View"] == "REG_DWORD:3";
      },
      "view stored"));
  EXPECT_EQ(Text(OfficeRow(1)->GetProperties()->Editors()->GetItem(2)),
            "Summary");
  // The other place keeps its view.
  EXPECT_EQ(KeyValues(kOffice + "\\Off\\Place0")["View"], "REG_DWORD:2");
}

TEST_F(PlaceGridsTest, SmallIconClickedInTheGridSetsOnlyItsFlag) {
  places_test::PutDword(kGridsOffice11Key, "ItemSize", 1);
  StoreGroup(kOffice, "Off", 0);
  places_test::PutDword(kOffice + "\\Off", "OfficeFlags", 1);
  Open(true);
  form_->ActivatePage(1);
  Select("Off");
  TcxVerticalGrid* grid = form_->vgOfficeDlg;
  TcxCustomRow* row = grid->RowByName("cbUseSmIcon");
  ASSERT_TRUE(row->Options()->Focusing());
  const TRect cell = LaidOut(grid, row)->GetRowValueInfo(0, 0)->DisplayRect();
  const POINT box = ScreenPointOf(grid->Handle(), cell.Left + 10,
                                  (cell.Top + cell.Bottom) / 2);
  TCursorPosGuard pos;
  // The first click may only open the row's editor.
  for (int i = 0; i < 2; ++i) {
    if (KeyValues(kOffice + "\\Off")["OfficeFlags"] == "REG_DWORD:17") break;
    Click(box);
    PumpUntilIdle();
  }
  EXPECT_EQ(KeyValues(kOffice + "\\Off")["OfficeFlags"], "REG_DWORD:17");
}

TEST_F(PlaceGridsTest, DraggingARowHeaderMovesThePlace) {
  TScratchFolders folders;
  const String a = folders.Make("A"), b = folders.Make("B"),
               c = folders.Make("C");
  StoreGroup(kCommon, "Work", 0, {a, b, c});
  Open(true);
  Select("Work");
  TcxVerticalGrid* grid = form_->vgCommonDlg;
  TCursorPosGuard pos;
  Drag(HeaderPoint(grid, CommonRow(0)), HeaderPoint(grid, CommonRow(2)),
       TClickButton::Left, 6);
  ASSERT_TRUE(WaitUntil(
      [&] { return StoredPaths(kCommon + "\\Work").front() == "REG_SZ:" + b; },
      "row moved"));
  EXPECT_EQ(StoredPaths(kCommon + "\\Work"),
            (std::vector<String>{"REG_SZ:" + b, "REG_SZ:" + c, "REG_SZ:" + a}));
  EXPECT_EQ(Text(CommonRow(2)->GetProperties()), a);
  EXPECT_EQ(Text(CommonRow(0)->GetProperties()), b);
}

TEST_F(PlaceGridsTest, RefusedDragsLeaveTheOrder) {
  TScratchFolders folders;
  const String a = folders.Make("A"), b = folders.Make("B");
  StoreGroup(kCommon, "Work", 0, {a, b});
  Open(true);
  Select("Work");
  TcxVerticalGrid* grid = form_->vgCommonDlg;
  const std::vector<String> order{"REG_SZ:" + a, "REG_SZ:" + b};
  TCursorPosGuard pos;
  struct {
    const char* what;
    Integer from, to;
    TClickButton button;
  } cases[] = {
      {"onto the blank row", 0, 2, TClickButton::Left},
      {"onto a disabled row", 0, 5, TClickButton::Left},
      {"from the blank row", 2, 0, TClickButton::Left},
      {"with the right button", 0, 1, TClickButton::Right},
  };
  for (auto& t : cases) {
    Drag(HeaderPoint(grid, CommonRow(t.from)),
         HeaderPoint(grid, CommonRow(t.to)), t.button, 6);
    PumpUntilIdle();
    // A right press may open nothing, but leave no menu behind either.
    PressKeys({VK_ESCAPE});
    PumpUntilIdle();
    EXPECT_EQ(StoredPaths(kCommon + "\\Work"), order) << t.what;
  }
  // The heading above the rows is no place either.
  Drag(HeaderPoint(grid, grid->Rows()->Items(0)),
       HeaderPoint(grid, CommonRow(1)), TClickButton::Left, 6);
  PumpUntilIdle();
  EXPECT_EQ(StoredPaths(kCommon + "\\Work"), order);
}

}  // namespace
