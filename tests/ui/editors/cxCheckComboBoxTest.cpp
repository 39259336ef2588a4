// The check combo box: the text of its states, the list that toggles them
// by click and by Space, the states that follow deleted items, and its
// filter-value helper.
#include <gtest/gtest.h>

#include <string>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxCheckComboBox.h"

namespace {

using ui_test::WaitUntil;

void AddColours(TcxCustomCheckComboBoxProperties* AProps) {
  AProps->Items()->AddCheckItem("Red");
  AProps->Items()->AddCheckItem("Green", "G");
  AProps->Items()->AddCheckItem("Blue");
}

TEST(CheckComboBoxPropertiesTest, TheTextJoinsTheCheckedItems) {
  TcxCheckComboBoxProperties props;
  EXPECT_EQ(props.DropDownListStyle(), lsFixedList);
  EXPECT_EQ(props.EditValueFormat(), cvfInteger);
  EXPECT_EQ(props.Delimiter(), ";");
  AddColours(&props);
  struct Case {
    Integer Value;
    bool ShowEmpty;
    const char* Delimiter;
    const char* Text;
  };
  const Case cases[] = {{3, true, ";", "Red;G"},
                        {0, true, ";", "None selected"},
                        {0, false, ";", ""},
                        {7, true, ", ", "Red, G, Blue"},
                        {4, true, ";", "Blue"}};
  for (const Case& c : cases) {
    props.SetShowEmptyText(c.ShowEmpty);
    props.SetDelimiter(c.Delimiter);
    EXPECT_EQ(props.DisplayTextOf(nullptr, Variant(c.Value)), c.Text)
        << c.Value;
  }
  // Grayed items are not shown.
  props.SetEditValueFormat(cvfStatesString);
  props.SetDelimiter(";");
  EXPECT_EQ(props.DisplayTextOf(nullptr, Variant(String("211"))), "G;Blue");
  props.SetEmptySelectionText("(none)");
  EXPECT_TRUE(props.IsEmptySelectionTextStored());
  EXPECT_EQ(props.DisplayTextOf(nullptr, Variant(String("000"))), "(none)");
}

TEST(CheckComboBoxPropertiesTest, AssignCopiesItemsFormatAndTexts) {
  TcxCheckComboBoxProperties source;
  AddColours(&source);
  source.SetEditValueFormat(cvfIndices);
  source.SetDelimiter("|");
  source.SetShowEmptyText(false);
  TcxCheckComboBoxProperties copy;
  copy.Assign(&source);
  ASSERT_EQ(copy.Items()->Count(), 3);
  EXPECT_EQ(copy.Items()->Items(1)->ShortDescription(), "G");
  EXPECT_EQ(copy.Items()->Items(1)->GetDisplayDescription(), "G");
  EXPECT_EQ(copy.Items()->Items(0)->GetDisplayDescription(), "Red");
  EXPECT_EQ(copy.EditValueFormat(), cvfIndices);
  EXPECT_EQ(copy.Delimiter(), "|");
  EXPECT_FALSE(copy.ShowEmptyText());
}

TEST(CheckComboBoxPropertiesTest, AClickInsideTheCheckSquareCountsItsEdges) {
  TcxCheckPaintHelper helper;
  const TRect item{0, 0, 100, 17};  // o = (17 - 13) / 2 = 2
  EXPECT_TRUE(helper.IsClickInCheck(item, 2, 2));
  EXPECT_TRUE(helper.IsClickInCheck(item, 15, 15));
  EXPECT_FALSE(helper.IsClickInCheck(item, 16, 8));
  EXPECT_FALSE(helper.IsClickInCheck(item, 1, 8));
  EXPECT_EQ(helper.CalcTextRect(item).Left, 19);
  EXPECT_EQ(helper.GetNextState(cbsGrayed), cbsUnchecked);
  EXPECT_EQ(helper.GetNextState(cbsChecked), cbsUnchecked);
  EXPECT_EQ(helper.GetNextState(cbsUnchecked), cbsChecked);
}

class CheckComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetCaption("CheckComboBoxTest");
    form_->SetBounds(60, 60, 400, 300);
    combo_ = new TcxCheckComboBox(form_.get());
    combo_->SetParent(form_.get());
    combo_->SetBounds(20, 20, 180, 24);
    AddColours(combo_->Properties());
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    combo_->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return combo_->Focused(); }, "focused"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  TcxCustomCheckComboBoxListBox* List() {
    return static_cast<TcxCustomCheckComboBoxListBox*>(
        combo_->GetLookupData()->List());
  }
  bool Open() {
    combo_->SetDroppedDown(true);
    return WaitUntil([&] { return combo_->DroppedDown(); }, "list open") &&
           ui_test::PumpUntilIdle();
  }
  POINT CheckCentre(Integer AIndex) {
    const TRect r = List()->GetCheckRect(AIndex);
    return ui_test::ScreenPointOf(List(), (r.Left + r.Right) / 2,
                                  (r.Top + r.Bottom) / 2);
  }

  TObjectPtr<TForm> form_;
  TcxCheckComboBox* combo_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
  ui_test::THeldButtonsGuard buttons_;
};

TEST_F(CheckComboBoxTest, TheValueShowsAsTheCheckedItems) {
  combo_->SetValue(Variant(Integer{3}));
  EXPECT_EQ(combo_->EditingText(), "Red;G");
  EXPECT_EQ(combo_->GetItemState(1), cbsChecked);
  EXPECT_EQ(combo_->GetItemState(2), cbsUnchecked);
  combo_->SetValue(Variant(Integer{0}));
  EXPECT_EQ(combo_->EditingText(), "None selected");
  combo_->SetItemState(2, cbsChecked);
  EXPECT_EQ(combo_->GetValue().AsInteger(), 4);
  combo_->SetItemState(0, cbsGrayed);  // refused
  EXPECT_EQ(combo_->GetItemState(0), cbsUnchecked);
  EXPECT_EQ(combo_->GetValue().AsInteger(), 4);
}

TEST_F(CheckComboBoxTest, ClicksInTheListToggleAndKeepItOpen) {
  ASSERT_TRUE(Open());
  ui_test::Click(CheckCentre(0));
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(combo_->DroppedDown());
  EXPECT_EQ(combo_->GetItemState(0), cbsChecked);
  EXPECT_EQ(combo_->GetValue().AsInteger(), 1);
  ui_test::Click(CheckCentre(0));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->GetItemState(0), cbsUnchecked);
  // A press on one item released over another toggles nothing.
  ui_test::Drag(CheckCentre(1), CheckCentre(2));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->GetItemState(1), cbsUnchecked);
  EXPECT_EQ(combo_->GetItemState(2), cbsUnchecked);
  ui_test::PressKeys({VK_ESCAPE});
  ASSERT_TRUE(WaitUntil([&] { return !combo_->DroppedDown(); }, "closed"));
  EXPECT_EQ(combo_->EditingText(), "None selected");
}

TEST_F(CheckComboBoxTest, SpaceTogglesTheCurrentItem) {
  ASSERT_TRUE(Open());
  ui_test::PressKeys({VK_DOWN});
  ui_test::PumpUntilIdle();
  ASSERT_EQ(combo_->SelectedItem(), 0);
  ui_test::PressKeys({VK_DOWN});
  ui_test::PumpUntilIdle();
  ui_test::TypeText(" ");
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->GetItemState(1), cbsChecked);
  EXPECT_EQ(combo_->EditingText(), "G");
  EXPECT_EQ(combo_->SelectedItem(), 1);  // the current item stays
}

TEST_F(CheckComboBoxTest, AGrayedItemClickedBecomesUnchecked) {
  combo_->Properties()->SetEditValueFormat(cvfStatesString);
  combo_->SetValue(Variant(String("200")));
  ASSERT_EQ(combo_->GetItemState(0), cbsGrayed);
  ASSERT_TRUE(Open());
  ui_test::Click(CheckCentre(0));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->GetItemState(0), cbsUnchecked);
  ui_test::Click(CheckCentre(0));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->GetItemState(0), cbsChecked);
  EXPECT_EQ(VarToStr(combo_->GetValue()), "100");
}

TEST_F(CheckComboBoxTest, AClickCheckHandlerCanRefuse) {
  int asked = 0;
  combo_->Properties()->OnClickCheck =
      TcxCheckComboClickCheckEvent::FromFunction(
          [&](TObject*, Integer, bool& AAllow) {
            ++asked;
            AAllow = false;
          });
  ASSERT_TRUE(Open());
  ui_test::Click(CheckCentre(1));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(combo_->GetItemState(1), cbsUnchecked);
  EXPECT_EQ(combo_->GetValue().AsInteger(), 0);
}

TEST_F(CheckComboBoxTest, DeletingAnItemTakesItsStateAlong) {
  combo_->SetValue(Variant(Integer{5}));  // checked, unchecked, checked
  combo_->Properties()->Items()->Delete(1);
  EXPECT_EQ(combo_->States(), (TcxCheckStates{cbsChecked, cbsChecked}));
  EXPECT_EQ(combo_->GetValue().AsInteger(), 3);
  EXPECT_EQ(combo_->EditingText(), "Red;Blue");
}

TEST(CheckComboBoxFilterTest, TheFilterEditorCopiesItemsAndFormat) {
  EXPECT_EQ(FilterEditsController()->FindHelper(
                TcxCheckComboBoxProperties::StaticClass()),
            TcxFilterCheckComboBoxHelper::Instance());
  TcxCheckComboBoxProperties column;
  AddColours(&column);
  column.SetEditValueFormat(cvfIndices);
  column.Buttons()->Clear();
  TObjectPtr<TcxCustomEdit> owned;
  TcxCustomEdit* edit = TcxFilterCheckComboBoxHelper::Instance()->GetFilterEdit(
      &column, nullptr, &owned);
  auto* combo = dynamic_cast<TcxCheckComboBox*>(edit);
  ASSERT_NE(combo, nullptr);
  TcxCheckComboBoxProperties* props = combo->Properties();
  EXPECT_EQ(props->EditValueFormat(), cvfIndices);
  EXPECT_EQ(props->Items()->Count(), 3);
  EXPECT_EQ(props->DropDownListStyle(), lsFixedList);
  ASSERT_EQ(props->Buttons()->Count(), 1);
  EXPECT_EQ(props->Buttons()->Items(0)->Kind(), bkDown);
  const TcxFilterControlOperators basic{fcoEqual, fcoNotEqual, fcoBlanks,
                                        fcoNonBlanks};
  TcxFilterControlOperators extended = basic;
  extended.Include(fcoInList);
  extended.Include(fcoNotInList);
  const auto* helper = TcxFilterCheckComboBoxHelper::Instance();
  EXPECT_EQ(helper->GetSupportedFilterOperators(props, nullptr), basic);
  EXPECT_EQ(helper->GetSupportedFilterOperators(props, nullptr, true),
            extended);
}

}  // namespace
