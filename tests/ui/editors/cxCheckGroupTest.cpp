// The check group: the program's options group in the integer format, the
// display text, grayed states while focused, and clicks and arrow keys
// through real input.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Platform.h"
#include "UiDriverControlsWin.h"
#include "cxCheckGroup.h"

using namespace ui_test;

namespace {

void AddOptions(TcxCustomCheckGroupProperties* P) {
  for (const char* caption : {"Run at User Logon", "Minimize to System Tray",
                              "Place Common Dialog Items In Submenu",
                              "Place Office Dialog Items In Submenu"}) {
    P->GetItems()->Add()->SetCaption(caption);
  }
  P->SetEditValueFormat(cvfInteger);
  P->SetImmediatePost(true);
}

TEST(CheckGroupProperties, DisplayTextNamesEveryItemsState) {
  TcxCheckGroupProperties p;
  AddOptions(&p);
  EXPECT_EQ(Platform::WideToAnsi(p.GetDisplayText(Variant(2))),
            "Run at User Logon: Unchecked; Minimize to System Tray: Checked; "
            "Place Common Dialog Items In Submenu: Unchecked; Place Office "
            "Dialog Items In Submenu: Unchecked");
  TcxCheckGroupProperties empty;
  EXPECT_EQ(empty.GetDisplayText(Variant(2)), u"");
}

TEST(CheckGroupProperties, EqualStatesAreEqualDisplayValues) {
  TcxCheckGroupProperties p;
  for (const char* c : {"A", "B", "C"}) p.GetItems()->Add()->SetCaption(c);
  EXPECT_TRUE(p.CompareDisplayValues(Variant("0,1"), Variant("0,1,")));
  EXPECT_FALSE(p.CompareDisplayValues(Variant("0,1"), Variant("0")));
}

TEST(CheckGroupProperties, EventsReplaceTheConversion) {
  TcxCheckGroupProperties p;
  for (const char* c : {"A", "B"}) p.GetItems()->Add()->SetCaption(c);
  p.OnEditValueToStates = TcxValueToCheckStatesEvent::FromFunction(
      [](TObject*, const Variant&, TcxCheckStates& states) {
        states[1] = cbsChecked;
      });
  p.OnStatesToEditValue = TcxCheckStatesToValueEvent::FromFunction(
      [](TObject*, const TcxCheckStates& states, Variant& value) {
        value = Variant(Integer(states.size()) * 100);
      });
  TcxCheckStates states;
  p.CalculateCheckStatesByEditValue(nullptr, Variant("junk"), states);
  EXPECT_EQ(states, (TcxCheckStates{cbsUnchecked, cbsChecked}));
  EXPECT_EQ(p.CalculateEditValueByCheckStates(nullptr, states).AsInteger(),
            200);
}

TEST(CheckGroup, AValueSetsTheButtons) {
  TcxCheckGroup group(nullptr);
  AddOptions(group.GetProperties());
  ASSERT_EQ(group.ButtonCount(), 4);
  group.SetEditValue(Variant(2));
  const TcxCheckBoxState expected[] = {cbsUnchecked, cbsChecked, cbsUnchecked,
                                       cbsUnchecked};
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(group.GetState(i), expected[i]);
  // Setting a button by code rebuilds the value.
  group.SetState(0, cbsChecked);
  EXPECT_EQ(group.EditValue().AsInt64(), 3);
  EXPECT_EQ(VarType(group.EditValue()), varInt64);
}

class CheckGroupWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 460, 240);
    form_->Show();
    PumpUntilIdle();
  }
  TcxCheckGroup* NewGroup(bool AInplace) {
    auto* group = new TcxCheckGroup(form_.get(), AInplace);
    group->SetParent(form_.get());
    group->SetBounds(10, AInplace ? 120 : 10, 420, 100);
    group->SetCaption(" Options ");
    AddOptions(group->GetProperties());
    group->GetProperties()->SetColumns(2);
    group->SetEditValue(Variant(2));
    PumpUntilIdle();
    return group;
  }
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
};

TEST_F(CheckGroupWindowTest, CheckingAnItemPostsTheNewValue) {
  TcxCheckGroup* group = NewGroup(true);
  std::vector<Int64> posted;
  group->OnPostEditValue =
      TNotifyEvent::FromFunction([&posted, group](TObject*) {
        posted.push_back(group->EditValue().AsInt64());
      });
  TcxCheckGroupButton* first = group->CheckButtons(0);
  Click(first, 8, first->Height() / 2);
  PumpUntilIdle();
  EXPECT_EQ(group->EditValue().AsInt64(), 3);
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), 3);

  TcxCheckGroup* standalone = NewGroup(false);
  Integer changes = 0;
  standalone->GetProperties()->OnChange =
      TNotifyEvent::FromFunction([&changes](TObject*) { ++changes; });
  TcxCheckGroupButton* second = standalone->CheckButtons(1);
  Click(second, 8, second->Height() / 2);
  PumpUntilIdle();
  EXPECT_EQ(standalone->EditValue().AsInt64(), 0);
  EXPECT_EQ(changes, 1);
}

TEST_F(CheckGroupWindowTest, ArrowsSkipDisabledItems) {
  TcxCheckGroup* group = NewGroup(false);
  group->GetProperties()->GetItems()->GetItem(1)->SetEnabled(false);
  EXPECT_FALSE(group->Buttons(1)->Enabled());
  group->Buttons(0)->SetFocus();
  PumpUntilIdle();
  // Two columns: 0 and 1 left, 2 and 3 right. Down from 0 meets the
  // disabled 1 and goes on to 2.
  PressKeys({VK_DOWN});
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 2);
  PressKeys({VK_RIGHT});
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 3);
  PressKeys({VK_RIGHT});
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 0);
  PressKeys({VK_LEFT});
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 3);
}

TEST_F(CheckGroupWindowTest,
       GrayedShowsUncheckedWhileFocusedWithoutAllowGrayed) {
  TcxCheckGroup* group = NewGroup(false);
  group->GetProperties()->SetEditValueFormat(cvfStatesString);
  group->SetEditValue(Variant("2"));
  EXPECT_EQ(group->GetState(0), cbsGrayed);
  group->SetFocus();
  PumpUntilIdle();
  ASSERT_TRUE(group->Focused());
  group->SetEditValue(Variant("2"));
  group->SetEditValue(Variant("21"));
  EXPECT_EQ(group->GetState(0), cbsUnchecked);
  EXPECT_EQ(group->GetState(1), cbsChecked);
}

}  // namespace
