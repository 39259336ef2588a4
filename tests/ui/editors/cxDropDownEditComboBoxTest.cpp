// The combo box: its list styles and settings, the list sized to whole rows,
// and picking items with the keys and the mouse through real input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Clipbrd.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxDropDownEdit.h"

namespace {

using ui_test::WaitUntil;

TEST(ComboBoxPropertiesTest, NewPropertiesAndTheirLimits) {
  TcxComboBoxProperties props;
  EXPECT_EQ(props.DropDownListStyle(), lsEditList);
  EXPECT_EQ(props.GetEditingStyle(), esEdit);
  EXPECT_EQ(props.DropDownRows(), 8);
  EXPECT_TRUE(props.ImmediateDropDown());
  EXPECT_TRUE(props.ValidateOnEnter());
  EXPECT_TRUE(props.DropDownAutoWidth());
  props.SetDropDownRows(0);
  EXPECT_EQ(props.DropDownRows(), 8);
  props.SetDropDownRows(-2);
  EXPECT_EQ(props.DropDownRows(), 8);
  props.SetDropDownRows(3);
  EXPECT_EQ(props.GetDropDownPageRowCount(), 3);
  const std::pair<TcxEditDropDownListStyle, TcxEditEditingStyle> styles[] = {
      {lsEditFixedList, esEditList},
      {lsEditList, esEdit},
      {lsFixedList, esFixedList}};
  for (const auto& [list, editing] : styles) {
    props.SetDropDownListStyle(list);
    EXPECT_EQ(props.GetEditingStyle(), editing) << int(list);
    EXPECT_EQ(props.DropDownOnClick(), list == lsFixedList) << int(list);
  }
  // The drop-down names map onto the popup settings.
  props.SetDropDownWidth(-4);
  EXPECT_EQ(props.PopupWidth(), 0);
  props.SetDropDownSizeable(true);
  EXPECT_TRUE(props.PopupSizeable());
}

TEST(ComboBoxPropertiesTest, AssignCopiesTheComboSettings) {
  TcxComboBoxProperties source;
  source.SetDropDownListStyle(lsFixedList);
  source.SetDropDownRows(5);
  source.SetItemHeight(17);
  source.SetRevertable(true);
  source.Items()->Add("List");
  source.OnDrawItem = TcxEditDrawItemEvent::FromFunction(
      [](TcxCustomComboBox*, TcxCanvas*, Integer, const TRect&,
         TOwnerDrawState) {});
  TcxComboBoxProperties copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
  EXPECT_EQ(copy.DropDownRows(), 5);
  EXPECT_EQ(copy.ItemHeight(), 17);
  EXPECT_TRUE(copy.Revertable());
  EXPECT_EQ(copy.Items()->Count(), 1);
  EXPECT_TRUE(copy.OnDrawItem);
  EXPECT_FALSE(copy.OnMeasureItem);
}

class ComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetCaption("ComboBoxTest");
    form_->SetBounds(60, 60, 400, 300);
    combo_ = new TcxComboBox(form_.get());
    combo_->SetParent(form_.get());
    combo_->SetBounds(20, 20, 160, 24);
    other_ = new TcxTextEdit(form_.get());
    other_->SetParent(form_.get());
    other_->SetBounds(20, 250, 100, 24);
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    combo_->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return combo_->InnerEditControl()->Focused(); },
                          "focused"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  void SetItems(std::initializer_list<const char*> AItems) {
    TStrings* items = combo_->Properties()->Items();
    items->Clear();
    for (const char* item : AItems) items->Add(item);
  }
  void SetViews() { SetItems({"List", "Details", "Summary", "Preview"}); }
  void SetTenItems() {
    SetItems({"Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5",
              "Item 6", "Item 7", "Item 8", "Item 9"});
  }
  bool WaitOpen() {
    return WaitUntil([&] { return combo_->DroppedDown(); }, "list open");
  }
  bool WaitClosed() {
    return WaitUntil([&] { return !combo_->DroppedDown(); }, "list closed");
  }
  TcxCustomComboBoxListBox* List() { return combo_->GetLookupData()->List(); }
  Integer WidestItem() {
    Integer widest = 0;
    for (Integer i = 0; i < combo_->Properties()->Items()->Count(); ++i)
      widest = std::max(widest, List()->GetItemWidth(i));
    return widest;
  }
  POINT ItemCentre(Integer AIndex) {
    const TRect r = List()->ItemRect(AIndex);
    return ui_test::ScreenPointOf(List(), (r.Left + r.Right) / 2,
                                  (r.Top + r.Bottom) / 2);
  }

  TObjectPtr<TForm> form_;
  TcxComboBox* combo_ = nullptr;
  TcxTextEdit* other_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
  ui_test::THeldButtonsGuard buttons_;
};

TEST_F(ComboBoxTest, TheListTakesAtMostDropDownRowsRows) {
  combo_->Properties()->SetItemHeight(13);
  const Integer scrollBar = ::GetSystemMetrics(SM_CXVSCROLL);
  struct Case {
    bool TenItems;
    Integer Height;
    bool ScrollBar;
  };
  for (const Case& c : {Case{true, 104, true}, Case{false, 39, false}}) {
    SCOPED_TRACE(c.Height);
    if (c.TenItems)
      SetTenItems();
    else
      SetItems({"List", "Details", "Summary"});
    combo_->SetDroppedDown(true);
    ASSERT_TRUE(WaitOpen());
    const TSize preferred =
        combo_->GetLookupData()->GetVisualAreaPreferredSize(0, 0);
    EXPECT_EQ(preferred.cy, c.Height);
    EXPECT_EQ(preferred.cx, WidestItem() + 4 + (c.ScrollBar ? scrollBar : 0));
    // The open list shows exactly those rows.
    EXPECT_EQ(List()->Height(), c.Height);
    EXPECT_TRUE(::IsWindowVisible(List()->Handle()));
    combo_->SetDroppedDown(false);
    ASSERT_TRUE(WaitClosed());
  }
}

TEST_F(ComboBoxTest, AResizedListSnapsToWholeRows) {
  combo_->Properties()->SetItemHeight(13);
  combo_->Properties()->SetDropDownSizeable(true);
  SetTenItems();
  combo_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(combo_->PopupWindow()->SysPanelStyle());  // the sizing grip
  ASSERT_EQ(List()->Height(), 104);
  // Growing rounds down, shrinking rounds up.
  for (const auto& [asked, snapped] :
       {std::pair{110, 104}, std::pair{98, 104}, std::pair{120, 117},
        std::pair{90, 91}}) {
    TSize size{List()->Width(), asked};
    EXPECT_TRUE(combo_->GetLookupData()->CanResizeVisualArea(size, 0, 0));
    EXPECT_EQ(size.cy, snapped) << asked;
  }
  // A drag of the grip by 20 pixels shows one more whole row.
  TcxCustomEditPopupWindow* popup = combo_->PopupWindow();
  const TRect g = popup->ViewInfo()->SizeGripRect;
  const POINT grip{popup->Left() + (g.Left + g.Right) / 2,
                   popup->Top() + (g.Top + g.Bottom) / 2};
  ui_test::Drag(grip, POINT{grip.x, grip.y + 20});
  ASSERT_TRUE(WaitUntil([&] { return !popup->IsSizing(); }, "sized"));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(List()->Height(), 117);
}

TEST_F(ComboBoxTest, AFixedListSearchesWhatIsTypedAndTakesTheHighlight) {
  combo_->Properties()->SetDropDownListStyle(lsFixedList);
  SetViews();
  ui_test::TypeText("s");
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->EditingText(), "Summary");
  EXPECT_EQ(combo_->SelStart(), 1);
  EXPECT_EQ(combo_->SelLength(), 6);
  EXPECT_EQ(combo_->SelectedItem(), 2);
  ui_test::TypeText("x");  // no item starts with it: swallowed
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->EditingText(), "Summary");
  EXPECT_TRUE(combo_->DroppedDown());
  ui_test::PressKeys({VK_DOWN});
  ui_test::PumpUntilIdle();
  EXPECT_EQ(combo_->SelectedItem(), 3);
  EXPECT_EQ(combo_->EditingText(), "Summary");  // only the highlight moved
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(combo_->CloseUpReason(), crEnter);
  EXPECT_EQ(combo_->EditingText(), "Preview");
  EXPECT_EQ(combo_->ItemIndex(), 3);
}

TEST_F(ComboBoxTest, EscKeepsTheItemAndCloseKeysTakeTheHighlight) {
  SetViews();
  combo_->SetItemIndex(0);
  struct Case {
    std::vector<WORD> Open;
    std::vector<WORD> Close;
    TcxEditCloseUpReason Reason;
    const char* Text;
  };
  const Case cases[] = {
      {{VK_MENU, VK_DOWN}, {VK_ESCAPE}, crCancel, "List"},
      {{VK_F4}, {VK_F4}, crClose, "Details"},
      {{VK_MENU, VK_DOWN}, {VK_MENU, VK_UP}, crClose, "Summary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    ui_test::PressKeys(c.Open);
    ASSERT_TRUE(WaitOpen());
    ui_test::PumpUntilIdle();
    ui_test::PressKeys({VK_DOWN});
    ui_test::PumpUntilIdle();
    ui_test::PressKeys(c.Close);
    ASSERT_TRUE(WaitClosed());
    ui_test::PumpUntilIdle();
    EXPECT_EQ(combo_->CloseUpReason(), c.Reason);
    EXPECT_EQ(combo_->EditingText(), c.Text);
    EXPECT_FALSE(combo_->DroppedDown());
  }
}

TEST_F(ComboBoxTest, AClickOnAnItemTakesItAndBelowTheLastDoesNothing) {
  SetViews();
  combo_->Properties()->SetDropDownRows(8);
  combo_->Properties()->SetDropDownSizeable(true);
  combo_->Properties()->SetPopupAutoSize(false);
  combo_->Properties()->SetPopupHeight(200);
  ui_test::PumpUntilIdle();
  const TRect b = combo_->ViewInfo()->ButtonsInfo[0]->Bounds;
  const POINT button = ui_test::ScreenPointOf(combo_, (b.Left + b.Right) / 2,
                                              (b.Top + b.Bottom) / 2);
  ui_test::Click(button);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  // Below the last row of a list taller than its items.
  const TRect last = List()->ItemRect(3);
  ASSERT_LT(last.Bottom + 10, List()->ClientHeight());
  ui_test::Click(ui_test::ScreenPointOf(List(), 10, last.Bottom + 10));
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(combo_->DroppedDown());
  ui_test::Click(ItemCentre(1));
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(combo_->CloseUpReason(), crEnter);
  EXPECT_EQ(combo_->EditingText(), "Details");
  EXPECT_EQ(combo_->ItemIndex(), 1);
}

TEST_F(ComboBoxTest, ARevertableFixedListStepsOnADoubleClick) {
  combo_->Properties()->SetDropDownListStyle(lsFixedList);
  combo_->Properties()->SetRevertable(true);
  SetViews();
  combo_->SetItemIndex(3);
  ASSERT_EQ(combo_->EditingText(), "Preview");
  combo_->DblClick();
  EXPECT_EQ(combo_->EditingText(), "List");  // wrapped around
  EXPECT_EQ(combo_->ItemIndex(), 0);
  combo_->DblClick();
  EXPECT_EQ(combo_->EditingText(), "Details");
  combo_->Properties()->SetRevertable(false);
  combo_->DblClick();
  EXPECT_EQ(combo_->EditingText(), "Details");
}

TEST_F(ComboBoxTest, ARealDoubleClickOnARevertableTextSteps) {
  combo_->Properties()->SetRevertable(true);
  SetViews();
  combo_->SetItemIndex(3);
  ui_test::DoubleClick(ui_test::ScreenPointOf(combo_, 20, 12));
  ASSERT_TRUE(WaitUntil([&] { return combo_->EditingText() == "List"; },
                        "stepped to the first item"));
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(combo_->DroppedDown());
}

TEST_F(ComboBoxTest, APasteOpensTheListOnThePastedItem) {
  SetViews();
  Clipboard()->SetAsText("Summary");
  ui_test::PressKeys({VK_CONTROL, 'V'});
  ASSERT_TRUE(WaitOpen());
  ASSERT_TRUE(WaitUntil([&] { return combo_->SelectedItem() == 2; },
                        "pasted item highlighted"));
  EXPECT_EQ(combo_->EditingText(), "Summary");
  EXPECT_EQ(combo_->ItemIndex(), 2);
  combo_->SetDroppedDown(false);
  ASSERT_TRUE(WaitClosed());
  // A paste that leaves the text as it was opens nothing.
  combo_->SelectAll();
  ui_test::PressKeys({VK_CONTROL, 'V'});
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(combo_->DroppedDown());
}

TEST_F(ComboBoxTest, AComboWithoutItemsDoesNotOpen) {
  int popups = 0;
  combo_->Properties()->OnPopup =
      TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
  ui_test::PressKeys({VK_F4});
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(combo_->DroppedDown());
  EXPECT_EQ(popups, 0);
}

TEST_F(ComboBoxTest, AnEditFixedListAcceptsOnlyItemTexts) {
  combo_->Properties()->SetDropDownListStyle(lsEditFixedList);
  SetViews();
  struct Case {
    const char* Text;
    bool Valid;
  };
  for (const Case& c : {Case{"Det", false}, Case{"Details", true},
                        Case{"dEtAiLs", true}, Case{"Previews", false}}) {
    Variant value(String(c.Text));
    EXPECT_EQ(combo_->ActiveProperties()->IsDisplayValueValid(value, true),
              c.Valid)
        << c.Text;
  }
}

TEST_F(ComboBoxTest, MeasuredRowsHaveTheirOwnHeights) {
  SetViews();
  combo_->Properties()->OnMeasureItem =
      TcxComboBoxMeasureItemEvent::FromFunction(
          [](TcxCustomComboBox*, Integer AIndex, TcxCanvas*, Integer& AHeight) {
            AHeight = 10 + 5 * AIndex;
          });
  combo_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_EQ(List()->Style(), lbOwnerDrawVariable);
  EXPECT_EQ(List()->GetHeight(3), 10 + 15 + 20);
  EXPECT_EQ(List()->Height(), 10 + 15 + 20 + 25);
  EXPECT_EQ(List()->ItemRect(2).Height(), 20);
}

TEST_F(ComboBoxTest, ADrawHandlerPaintsTheRows) {
  SetViews();
  std::vector<Integer> drawn;
  combo_->Properties()->OnDrawItem = TcxEditDrawItemEvent::FromFunction(
      [&](TcxCustomComboBox* AControl, TcxCanvas* ACanvas, Integer AIndex,
          const TRect& ARect, TOwnerDrawState) {
        EXPECT_EQ(AControl, combo_);
        drawn.push_back(AIndex);
        ACanvas->FillRect(ARect, AIndex == 2 ? clRed : clWhite);
      });
  combo_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  ::UpdateWindow(List()->Handle());
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 2), drawn.end());
  const TRect r = List()->ItemRect(2);
  HDC dc = ::GetDC(List()->Handle());
  const COLORREF pixel = ::GetPixel(dc, r.Left + 5, (r.Top + r.Bottom) / 2);
  ::ReleaseDC(List()->Handle(), dc);
  EXPECT_EQ(pixel, RGB(255, 0, 0));
}

}  // namespace
