// The two grids of places built as the main window builds them: ten
// button-edit rows under a category, and multi-editor rows with a name, a
// path button and a fixed-list View combo, with option rows below. Real
// clicks, keys and drags, and the tree read back.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"
#include "cxButtonEdit.h"
#include "cxDropDownEdit.h"
#include "cxRadioGroup.h"

using namespace vgrid_test;
using namespace ui_test;

namespace {

// Counts the ellipsis clicks and the edits the grids report.
class TPlaceGridProbe : public TObject {
 public:
  void ButtonClick(TObject*, Integer AButtonIndex) {
    ++Clicks;
    LastButton = AButtonIndex;
  }
  void Edited(TObject*, TcxCustomEditorRowProperties* AProperties) {
    ++Edits;
    LastEdited = AProperties;
  }
  Integer Clicks = 0;
  Integer LastButton = -1;
  Integer Edits = 0;
  TcxCustomEditorRowProperties* LastEdited = nullptr;
};

TcxButtonEditProperties* MakePathEditor(TcxCustomEditorRowProperties* AProps,
                                        TPlaceGridProbe* AProbe) {
  AProps->SetEditPropertiesClass(TcxButtonEditProperties::StaticClass());
  auto* props = static_cast<TcxButtonEditProperties*>(
      AProps->EditContainer()->Properties());
  props->SetReadOnly(true);
  props->SetViewStyle(vsHideCursor);
  props->OnButtonClick =
      TcxEditButtonClickEvent(AProbe, &TPlaceGridProbe::ButtonClick);
  AProps->DataBinding()->SetValueType("String");
  return props;
}

class CommonPlacesGridTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    grid_->SetBounds(10, 10, 380, 230);
    grid_->OptionsView()->SetShowEditButtons(ecsbAlways);
    grid_->OptionsView()->SetCategoryExplorerStyle(true);
    places_ = grid_->Add<TcxCategoryRow>();
    places_->GetProperties()->SetCaption("Places");
    places_->Options()->SetShowExpandButton(false);
    for (Integer k = 0; k < 10; ++k) {
      auto* row = grid_->AddChild<TcxEditorRow>(places_);
      row->SetName("edtCdPlace" + IntToStr(k));
      row->SetTag(k);
      row->GetProperties()->SetCaption("Place " + IntToStr(k + 1));
      MakePathEditor(row->GetProperties(), &probe_);
    }
  }
  TcxEditorRow* Place(Integer k) {
    return static_cast<TcxEditorRow*>(
        grid_->RowByName("EDTCDPLACE" + IntToStr(k)));
  }
  TPlaceGridProbe probe_;
  TcxCategoryRow* places_ = nullptr;
};

TEST_F(CommonPlacesGridTest, RowsAreFoundByNameAndCarryTheirTags) {
  for (Integer k = 0; k < 10; ++k) {
    TcxEditorRow* row = Place(k);
    ASSERT_NE(row, nullptr) << k;
    EXPECT_EQ(row->Tag(), k);
    EXPECT_EQ(row->Index(), k);
    EXPECT_EQ(row->GetParent(), places_);
    EXPECT_EQ(row->GetProperties()->EditPropertiesClassName(),
              "TcxButtonEditProperties");
  }
  Place(3)->GetProperties()->SetValue(Variant("Desktop"));
  EXPECT_EQ(VarToStr(Place(3)->GetProperties()->GetValue()), "Desktop");
  Place(3)->Options()->SetFocusing(false);
  EXPECT_FALSE(Place(3)->CanFocus());
}

TEST_F(CommonPlacesGridTest, EllipsisClickReachesTheRowsHandler) {
  PumpUntilIdle();
  TcxCustomRowViewInfo* info = LaidOut(Place(2));
  ASSERT_NE(info, nullptr);
  TcxRowValueInfo* cell = info->GetRowValueInfo(0, 0);
  ASSERT_NE(cell, nullptr);
  ASSERT_NE(cell->EditViewInfo(), nullptr);
  ASSERT_FALSE(cell->EditViewInfo()->ButtonsInfo.empty());
  // The value area's bounds tell the program how wide a path may be.
  EXPECT_GT(cell->DisplayRect().Width(), 23);
  // Button bounds are kept relative to the editor's origin.
  TcxCustomEditViewInfo* edit = cell->EditViewInfo();
  TRect button = edit->ButtonsInfo[0]->Bounds;
  ASSERT_FALSE(IsRectEmpty(button));
  OffsetRect(button, edit->Left, edit->Top);
  ASSERT_TRUE(PtInRect(cell->DisplayRect(), button.TopLeft()));
  Click(ScreenOf(button));
  ASSERT_TRUE(WaitUntil([&] { return probe_.Clicks > 0; }, "button click"));
  EXPECT_EQ(probe_.LastButton, 0);
  EXPECT_EQ(grid_->GetFocusedRow(), Place(2));
  EXPECT_EQ(grid_->GetFocusedRow()->Tag(), 2);
  EXPECT_TRUE(grid_->GetIsEditing());
  grid_->CancelEdit();
  EXPECT_FALSE(grid_->GetIsEditing());
}

TEST_F(CommonPlacesGridTest, HeadersAnswerTheHitTestOfTheDragHandlers) {
  PumpUntilIdle();
  TcxCustomRowViewInfo* info = LaidOut(Place(5));
  const TRect caption = info->HeaderInfo()->Captions(0)->CaptionRect;
  TcxvgHitTest* hit = grid_->GetHitTest();
  hit->ReCalculate(TPoint{caption.Left + 3, caption.Top + 3});
  EXPECT_TRUE(hit->GetHitAtRowHeader());
  EXPECT_EQ(hit->HitRow(), Place(5));
  // The category has no expand button however many children it has.
  EXPECT_TRUE(IsRectEmpty(LaidOut(places_)->HeaderInfo()->ButtonRect));
}

class OfficePlacesGridTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    grid_->SetBounds(10, 10, 560, 230);
    grid_->OptionsView()->SetShowEditButtons(ecsbAlways);
    grid_->OptionsView()->SetCategoryExplorerStyle(true);
    grid_->OptionsView()->SetRowHeaderMinWidth(0);
    grid_->OptionsView()->SetValueMinWidth(20);
    grid_->OptionsBehavior()->SetBandSizing(false);
    grid_->OptionsBehavior()->SetHeaderSizing(false);
    grid_->OnEdited =
        TcxVerticalGridChangedEvent(&probe_, &TPlaceGridProbe::Edited);
    auto* heading = grid_->Add<TcxCategoryRow>();
    heading->SetTag(100);
    heading->Options()->SetFocusing(false);
    heading->Options()->SetShowExpandButton(false);
    heading->GetProperties()->SetCaption("    Places" + std::string(24, ' ') +
                                         "Name" + std::string(43, ' ') +
                                         "Path");
    for (Integer k = 0; k < 10; ++k) {
      auto* row = grid_->AddChild<TcxMultiEditorRow>(heading);
      row->SetName("edtOffPlace" + IntToStr(k));
      row->SetTag(k);
      TcxMultiEditorRowProperties* props = row->GetProperties();
      props->SetFixed(true);
      TcxEditorRowItemProperties* name = props->Editors()->Add();
      name->SetCaption("Place " + IntToStr(k + 1));
      name->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
      name->SetWidth(100);
      TcxEditorRowItemProperties* path = props->Editors()->Add();
      path->SetCaption("Path");
      MakePathEditor(path, &probe_);
      path->SetWidth(200);
      TcxEditorRowItemProperties* view = props->Editors()->Add();
      view->SetCaption("View");
      view->SetEditPropertiesClass(TcxComboBoxProperties::StaticClass());
      auto* combo = static_cast<TcxComboBoxProperties*>(
          view->EditContainer()->Properties());
      combo->SetDropDownListStyle(lsFixedList);
      for (const char* item : {"List", "Details", "Properties", "Preview"})
        combo->Items()->Add(item);
      view->SetWidth(20);
      view->SetValue(Variant("Details"));
    }
    auto* options = grid_->Add<TcxCategoryRow>();
    options->SetTag(100);
    options->GetProperties()->SetCaption("Options");
    options->Options()->SetShowExpandButton(false);
    auto* version = grid_->AddChild<TcxEditorRow>(options);
    version->SetName("cbOfficeVersions");
    version->SetTag(100);
    version->GetProperties()->SetCaption("Version");
    version->GetProperties()->SetEditPropertiesClass(
        TcxRadioGroupProperties::StaticClass());
  }
  TcxMultiEditorRow* Place(Integer k) {
    return static_cast<TcxMultiEditorRow*>(
        grid_->RowByName("edtOffPlace" + IntToStr(k)));
  }
  TPlaceGridProbe probe_;
};

TEST_F(OfficePlacesGridTest, CellsLieSideBySideInTheirFixedWidths) {
  PumpUntilIdle();
  TcxMultiEditorRow* row = Place(0);
  TcxEditorPropertiesCollection* editors = row->GetProperties()->Editors();
  ASSERT_EQ(editors->Count(), 3);
  EXPECT_EQ(editors->GetItem(2)->Width(), 20);
  EXPECT_TRUE(row->GetProperties()->Fixed());
  TcxCustomRowViewInfo* info = LaidOut(row);
  TcxRowValueInfo* name = info->GetRowValueInfo(0, 0);
  TcxRowValueInfo* path = info->GetRowValueInfo(0, 1);
  ASSERT_NE(name, nullptr);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(name->DisplayRect().Width(), 100);
  EXPECT_GT(path->DisplayRect().Left, name->DisplayRect().Right - 1);
  EXPECT_EQ(path->DisplayRect().Width(), 200);
  // The heading and the option rows share the caption infos' hit test.
  EXPECT_FALSE(grid_->RowByName("cbOfficeVersions")->CanFocus() == false);
  EXPECT_FALSE(grid_->Rows()->Items(0)->CanFocus());
}

TEST_F(OfficePlacesGridTest, ViewIsPickedWithTheKeyboard) {
  PumpUntilIdle();
  grid_->SetFocus();
  grid_->FocusRow(Place(1), 2);
  PumpUntilIdle();
  ASSERT_EQ(grid_->GetFocusedRow(), Place(1));
  ASSERT_EQ(grid_->VGController()->CellIndex(), 2);
  Key(VK_F2);
  ASSERT_TRUE(grid_->GetIsEditing());
  // The list opens, the arrow picks the next view, Enter takes it.
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  ASSERT_TRUE(grid_->GetIsEditing());
  Key(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return probe_.Edits > 0; }, "edit posted"));
  TcxEditorRowItemProperties* view =
      Place(1)->GetProperties()->Editors()->GetItem(2);
  EXPECT_EQ(VarToStr(view->GetValue()), "Properties");
  EXPECT_EQ(probe_.LastEdited, view);
  EXPECT_EQ(
      VarToStr(Place(0)->GetProperties()->Editors()->GetItem(2)->GetValue()),
      "Details");
}

TEST_F(OfficePlacesGridTest, TabWalksTheCellsOfARowBeforeTheNextRow) {
  grid_->OptionsBehavior()->SetGoToNextCellOnTab(true);
  PumpUntilIdle();
  grid_->SetFocus();
  grid_->FocusRow(Place(4), 0);
  PumpUntilIdle();
  Key(VK_TAB);
  EXPECT_EQ(grid_->GetFocusedRow(), Place(4));
  EXPECT_EQ(grid_->VGController()->CellIndex(), 1);
  Key(VK_TAB);
  EXPECT_EQ(grid_->VGController()->CellIndex(), 2);
  Key(VK_TAB);
  EXPECT_EQ(grid_->GetFocusedRow(), Place(5));
  EXPECT_EQ(grid_->VGController()->CellIndex(), 0);
}

class OfficePlacesDragTest : public OfficePlacesGridTest {
 protected:
  void BeforeGridShow() override {
    OfficePlacesGridTest::BeforeGridShow();
    grid_->SetDragMode(dmAutomatic);
  }
  bool DragTo(TcxCustomRow* ARow, const TPoint& ATo) {
    TCursorPosGuard pos;
    const TRect from = LaidOut(ARow)->HeaderInfo()->Captions(0)->CaptionRect;
    TModalDrag drag(ScreenOf(TPoint{from.Left + 4, from.Top + 4}));
    drag.MoveTo(ScreenOf(ATo), 6).Release();
    const bool ran = drag.Run();
    PumpUntilIdle();
    return ran;
  }
  std::string Places() {
    std::string out;
    TcxCustomRow* heading = grid_->Rows()->Items(0);
    for (Integer i = 0; i < heading->Count(); ++i) {
      if (i) out += ' ';
      out += IntToStr(heading->Rows(i)->Tag());
      if (heading->Rows(i)->Count() > 0)
        out += "(" + IntToStr(heading->Rows(i)->Rows(0)->Tag()) + ")";
    }
    return out;
  }
};

TEST_F(OfficePlacesDragTest, DroppedRowsMoveAndNestAsTheHeaderSays) {
  PumpUntilIdle();
  ASSERT_EQ(Places(), "0 1 2 3 4 5 6 7 8 9");
  // Onto the indent of row 1: row 3 takes row 1's place.
  TcxCustomRowHeaderInfo* header = LaidOut(Place(1))->HeaderInfo();
  ASSERT_TRUE(DragTo(Place(3), TPoint{header->IndentBounds.Left + 2,
                                      header->HeaderRect.Top + 3}));
  EXPECT_EQ(Places(), "0 3 1 2 4 5 6 7 8 9");
  // Onto a caption of row 0: row 2 becomes its child.
  const TRect caption =
      LaidOut(Place(0))->HeaderInfo()->Captions(0)->CaptionRect;
  ASSERT_TRUE(DragTo(Place(2), TPoint{caption.Left + 3, caption.Top + 3}));
  EXPECT_EQ(Places(), "0(2) 3 1 4 5 6 7 8 9");
  EXPECT_EQ(Place(2)->GetParent(), Place(0));
  EXPECT_EQ(Place(2)->Index(), 0);
}

}  // namespace
