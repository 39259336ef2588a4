// The check box editor: states and their values, toggling, the value rules
// of its properties, and clicks and the space bar through real input.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "cxCheckBox.h"

using namespace ui_test;

namespace {

TEST(CheckBoxProperties, StatesOfValuesAndTheirTexts) {
  TcxCheckBoxProperties p;
  EXPECT_EQ(p.GetState(Variant(true)), cbsChecked);
  EXPECT_EQ(p.GetState(Variant(false)), cbsUnchecked);
  EXPECT_EQ(p.GetState(Null()), cbsGrayed);
  EXPECT_EQ(p.GetState(Variant(5)), cbsGrayed);
  EXPECT_EQ(p.GetDisplayText(Variant(true)), u"True");
  EXPECT_EQ(p.GetDisplayText(Variant(false)), u"False");
  EXPECT_EQ(p.GetDisplayText(Variant(5)), u"");
  Variant v = Variant(5);
  EXPECT_FALSE(p.IsEditValueValid(v, false));
  v = Variant(true);
  EXPECT_TRUE(p.IsEditValueValid(v, false));
  EXPECT_TRUE(p.CompareDisplayValues(Variant(5), Null()));
  EXPECT_FALSE(p.CompareDisplayValues(Variant(true), Variant(false)));
}

TEST(CheckBoxProperties, StateValuesMustStayDistinct) {
  TcxCheckBoxProperties p;
  p.SetValueChecked(Null());
  EXPECT_TRUE(p.ValueChecked().AsBoolean());
  p.SetValueChecked(Variant(false));  // the unchecked value
  EXPECT_TRUE(p.ValueChecked().AsBoolean());
  p.SetValueChecked(Variant("Y"));
  EXPECT_EQ(VarToStr(p.ValueChecked()), "Y");
  // Null is refused for checked and unchecked, allowed for grayed.
  p.SetStateValues(Variant(1), Null(), Null());
  EXPECT_EQ(VarToStr(p.ValueChecked()), "Y");
  p.SetStateValues(Variant(1), Variant(1), Variant(0));
  EXPECT_EQ(VarToStr(p.ValueChecked()), "Y");
  p.SetStateValues(Variant(1), Variant(2), Variant(0));
  EXPECT_EQ(p.ValueChecked().AsInteger(), 1);
  EXPECT_EQ(p.ValueGrayed().AsInteger(), 2);
  EXPECT_EQ(p.GetState(Variant(2)), cbsGrayed);
  EXPECT_EQ(p.GetState(Variant(0)), cbsUnchecked);
}

TEST(CheckBox, TogglePassesThroughGrayedOnlyWhenAllowed) {
  TcxCheckBox box(nullptr);
  EXPECT_EQ(box.State(), cbsUnchecked);
  EXPECT_FALSE(box.EditValue().AsBoolean());
  const TcxCheckBoxState without[] = {cbsChecked, cbsUnchecked};
  for (TcxCheckBoxState expected : without) {
    box.Toggle();
    EXPECT_EQ(box.State(), expected);
  }
  box.Properties()->SetAllowGrayed(true);
  const TcxCheckBoxState with[] = {cbsGrayed, cbsChecked, cbsUnchecked};
  for (TcxCheckBoxState expected : with) {
    box.Toggle();
    EXPECT_EQ(box.State(), expected);
  }
}

TEST(CheckBox, StateChangesFireClickAndChangeOnce) {
  TcxCheckBox box(nullptr);
  Integer clicks = 0, changes = 0;
  box.OnClick = TNotifyEvent::FromFunction([&clicks](TObject*) { ++clicks; });
  box.Properties()->OnChange =
      TNotifyEvent::FromFunction([&changes](TObject*) { ++changes; });
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  // A value that is none of the three shows grayed and is not checked.
  box.SetEditValue(Variant(5));
  EXPECT_EQ(box.State(), cbsGrayed);
  EXPECT_FALSE(box.Checked());
}

class CheckBoxWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 320, 160);
    box_ = new TcxCheckBox(form_.get());
    box_->SetParent(form_.get());
    box_->SetBounds(10, 10, 250, 21);
    box_->SetCaption("Reset to Windows Default Places");
    form_->Show();
    PumpUntilIdle();
  }
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
  TcxCheckBox* box_ = nullptr;
};

TEST_F(CheckBoxWindowTest, AClickToggles) {
  Click(box_, 8, 10);
  PumpUntilIdle();
  EXPECT_TRUE(box_->Checked());
  Click(box_, 100, 10);
  PumpUntilIdle();
  EXPECT_FALSE(box_->Checked());
}

TEST_F(CheckBoxWindowTest, SpaceShowsPressedAndTogglesOnRelease) {
  box_->SetFocus();
  PumpUntilIdle();
  ASSERT_TRUE(box_->Focused());
  PressKeys({VK_SPACE});
  PumpUntilIdle();
  // One toggle for the press and release, none for the character.
  EXPECT_TRUE(box_->Checked());
  EXPECT_EQ(box_->CheckState(), ecsNormal);
  PressKeys({VK_SPACE});
  PumpUntilIdle();
  EXPECT_FALSE(box_->Checked());
}

TEST_F(CheckBoxWindowTest, PaintsTheMarkOnlyWhenChecked) {
  auto paint = [this] {
    TObjectPtr<TBitmap> b(new TBitmap);
    b->SetSize(box_->Width(), box_->Height());
    box_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), 0);
    std::string s;
    const TRect r = box_->CheckRect();
    for (Integer y = r.Top; y < r.Bottom; ++y) {
      for (Integer x = r.Left; x < r.Right; ++x) {
        s += std::to_string(ColorToRGB(b->Canvas()->Pixels(x, y))) + ",";
      }
    }
    return s;
  };
  const std::string off = paint();
  box_->SetChecked(true);
  const std::string on = paint();
  EXPECT_NE(on, off);
  EXPECT_GT(box_->CheckRect().Width(), 8);
  EXPECT_LT(box_->CheckRect().Right, 30);
}

}  // namespace
