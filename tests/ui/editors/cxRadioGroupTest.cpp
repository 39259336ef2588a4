// The radio group: edit value and item index both ways, the value of a
// click (posted at once with ImmediatePost), and the owner-drawn radio
// mark against the look's own painter.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "cxEditTestCanvas.h"
#include "cxRadioGroup.h"

using namespace ui_test;

namespace {

// The Office grid's "Version" row.
void AddVersions(TcxCustomRadioGroupProperties* P) {
  const std::pair<const char*, Integer> versions[] = {
      {"2000", 1}, {"XP", 2}, {"2003", 4}, {"2007", 8}};
  for (const auto& [caption, value] : versions) {
    TcxRadioGroupItem* item = P->GetItems()->Add();
    item->SetCaption(caption);
    item->SetValue(Variant(value));
  }
  P->SetColumns(4);
  P->SetDefaultValue(Variant(0));
}

TEST(RadioGroupProperties, EditValuesFindTheirItems) {
  TcxRadioGroupProperties p;
  AddVersions(&p);
  EXPECT_EQ(p.GetRadioGroupItemIndex(Variant(4)), 2);
  EXPECT_EQ(p.GetRadioGroupItemIndex(Variant(8)), 3);
  EXPECT_EQ(p.GetRadioGroupItemIndex(Variant(16)), -1);
  EXPECT_EQ(p.GetRadioGroupItemIndex(Null()), -1);
  EXPECT_EQ(p.GetDisplayText(Variant(2)), u"XP");
  EXPECT_EQ(p.GetDisplayText(Variant(3)), u"");
  p.SetDefaultCaption("None");
  EXPECT_EQ(p.GetDisplayText(Variant(3)), u"None");
  Variant display;
  p.PrepareDisplayValue(Variant(8), display, false);
  EXPECT_EQ(display.AsInteger(), 3);
  p.PrepareDisplayValue(Variant(5), display, false);
  EXPECT_EQ(display.AsInteger(), -1);
  EXPECT_TRUE(p.CompareDisplayValues(Variant(5), Variant(7)));
  EXPECT_FALSE(p.CompareDisplayValues(Variant(1), Variant(2)));
  EXPECT_EQ(p.ItemIndexToEditValue(-1).AsInteger(), 0);
  EXPECT_EQ(p.ItemIndexToEditValue(1).AsInteger(), 2);
}

TEST(RadioGroupProperties, ItemsWithoutValueMatchTheirCaption) {
  TcxRadioGroupProperties p;
  for (const char* caption : {"XP", "", "Vista"}) {
    p.GetItems()->Add()->SetCaption(caption);
  }
  EXPECT_EQ(p.GetRadioGroupItemIndex(Variant("XP")), 0);
  EXPECT_EQ(p.GetRadioGroupItemIndex(Variant("xp")), -1);
  // Null reads as the empty text: the item with the empty caption.
  EXPECT_EQ(p.GetRadioGroupItemIndex(Null()), 1);
  const Variant v = p.ItemIndexToEditValue(2);
  EXPECT_TRUE(VarIsStr(v));
  EXPECT_EQ(VarToStr(v), "Vista");
}

TEST(RadioGroupProperties, RadioColumnsAreNotBalanced) {
  TcxRadioGroupProperties p;
  for (Integer i = 0; i < 4; ++i) p.GetItems()->Add();
  p.SetColumns(3);
  EXPECT_EQ(p.GetColumnCount(), 3);
  EXPECT_EQ(p.GetButtonsPerColumn(), 2);
  TcxRadioGroupProperties none;
  EXPECT_EQ(none.GetColumnCount(), 1);
}

class RadioGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    group_.reset(new TcxRadioGroup(nullptr));
    AddVersions(group_->Properties());
    group_->Properties()->OnChange =
        TNotifyEvent::FromFunction([this](TObject*) { ++changes_; });
  }
  TObjectPtr<TcxRadioGroup> group_;
  Integer changes_ = 0;
};

TEST_F(RadioGroupTest, AValueChecksItsButton) {
  group_->SetEditValue(Variant(4));
  EXPECT_EQ(group_->ItemIndex(), 2);
  EXPECT_TRUE(group_->RadioButtons(2)->Checked());
  EXPECT_EQ(changes_, 1);
  group_->SetEditValue(Variant(5));
  EXPECT_EQ(group_->ItemIndex(), -1);
  for (Integer i = 0; i < 4; ++i)
    EXPECT_FALSE(group_->RadioButtons(i)->Checked());
}

TEST_F(RadioGroupTest, ItemIndexIsClampedAndGivesTheValue) {
  group_->SetItemIndex(10);
  EXPECT_EQ(group_->ItemIndex(), 3);
  EXPECT_EQ(group_->EditValue().AsInteger(), 8);
  group_->SetItemIndex(-5);
  EXPECT_EQ(group_->ItemIndex(), -1);
  // No item: the default value.
  EXPECT_EQ(VarType(group_->EditValue()), varInteger);
  EXPECT_EQ(group_->EditValue().AsInteger(), 0);
  group_->SetItemIndex(1);
  group_->Clear();
  EXPECT_EQ(group_->ItemIndex(), -1);
}

TEST_F(RadioGroupTest, TheSameValueAgainFiresNothing) {
  group_->SetEditValue(Variant(2));
  const Integer before = changes_;
  group_->SetModified(true);
  group_->SetEditValue(Variant(2));
  EXPECT_EQ(changes_, before);
  EXPECT_FALSE(group_->Modified());
}

TEST_F(RadioGroupTest, ButtonsFollowTheItems) {
  ASSERT_EQ(group_->ButtonCount(), 4);
  EXPECT_EQ(group_->RadioButtons(1)->Caption(), "XP");
  group_->SetEditValue(Variant(8));
  group_->Properties()->GetItems()->Items(3)->SetCaption("2007 SP");
  EXPECT_EQ(group_->RadioButtons(3)->Caption(), "2007 SP");
  // Changing an item keeps the checked one.
  EXPECT_EQ(group_->ItemIndex(), 3);
}

// The radio mark in each look, drawn by the button and by the painter.
TEST(RadioButton, TheMarkIsThePaintersInEveryLook) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 200, 100);
  auto* button = new TcxRadioButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(0, 0, 120, 20);
  button->SetCaption("Radio");
  button->SetColor(clWhite);
  form->HandleNeeded();
  for (TcxLookAndFeelKind kind :
       {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    button->LookAndFeel()->SetKind(kind);
    for (bool checked : {false, true}) {
      button->SetChecked(checked);
      edit_test::TTestCanvas ours(120, 20, clWhite);
      TCanvasDCScope scope(ours.Bitmap()->Canvas(),
                           ours.Bitmap()->Canvas()->Handle());
      DRAWITEMSTRUCT item{};
      item.CtlType = ODT_BUTTON;
      item.hDC = ours.Bitmap()->Canvas()->Handle();
      button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
      const TRect glyph = button->GlyphRect();
      const TcxLookAndFeelPainterClass painter =
          button->LookAndFeel()->GetAvailablePainter(totButton);
      ASSERT_EQ((TSize{glyph.Width(), glyph.Height()}),
                painter->RadioButtonSize());
      edit_test::TTestCanvas theirs(120, 20, clWhite);
      painter->DrawRadioButton(theirs.Canvas(), glyph.Left, glyph.Top,
                               cxbsNormal, checked, false, clWhite, false);
      for (Integer y = glyph.Top; y < glyph.Bottom; ++y) {
        for (Integer x = glyph.Left; x < glyph.Right; ++x) {
          ASSERT_EQ(ours.At(x, y), theirs.At(x, y))
              << "kind " << int(kind) << " checked " << checked << " at " << x
              << "," << y;
        }
      }
      // The caption lies right of the mark.
      Integer dark = 0;
      for (Integer y = 0; y < 20; ++y) {
        for (Integer x = glyph.Right + 2; x < 120; ++x) {
          dark += ours.At(x, y) != ColorToRGB(clWhite) ? 1 : 0;
        }
      }
      EXPECT_GT(dark, 10);
    }
  }
  // Checked and unchecked marks differ, so the comparison can fail.
  button->LookAndFeel()->SetKind(lfStandard);
  edit_test::TTestCanvas on(20, 20, clWhite), off(20, 20, clWhite);
  const TcxLookAndFeelPainterClass painter =
      button->LookAndFeel()->GetAvailablePainter(totButton);
  painter->DrawRadioButton(on.Canvas(), 2, 2, cxbsNormal, true, false, clWhite,
                           false);
  painter->DrawRadioButton(off.Canvas(), 2, 2, cxbsNormal, false, false,
                           clWhite, false);
  EXPECT_NE(on.Picture(clBlack), off.Picture(clBlack));
}

class RadioGroupWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(50, 50, 420, 240);
    form_->Show();
    PumpUntilIdle();
  }
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
};

TEST_F(RadioGroupWindowTest, ClickingAButtonChecksItAndPostsWithImmediatePost) {
  // In place, as the grid's editor: a click posts the value at once.
  TcxRadioGroup* group = new TcxRadioGroup(form_.get(), true);
  group->SetParent(form_.get());
  group->SetBounds(10, 10, 380, 60);
  AddVersions(group->Properties());
  group->Properties()->SetImmediatePost(true);
  group->SetEditValue(Variant(4));
  std::vector<Integer> posted;
  group->OnPostEditValue =
      TNotifyEvent::FromFunction([&posted, group](TObject*) {
        posted.push_back(group->EditValue().AsInteger());
      });
  PumpUntilIdle();
  TControl* button2007 = FindControlByCaption(group, "2007");
  ASSERT_NE(button2007, nullptr);
  Click(button2007, 8, button2007->Height() / 2);
  PumpUntilIdle();
  EXPECT_EQ(group->ItemIndex(), 3);
  EXPECT_EQ(group->EditValue().AsInteger(), 8);
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), 8);

  // Standalone: the click checks and changes the value.
  TcxRadioGroup* standalone = new TcxRadioGroup(form_.get());
  standalone->SetParent(form_.get());
  standalone->SetBounds(10, 90, 380, 100);
  AddVersions(standalone->Properties());
  standalone->Properties()->SetColumns(2);
  Integer changes = 0;
  standalone->Properties()->OnChange =
      TNotifyEvent::FromFunction([&changes](TObject*) { ++changes; });
  PumpUntilIdle();
  TControl* xp = FindControlByCaption(standalone, "XP");
  ASSERT_NE(xp, nullptr);
  // Leaving the in-place group's button ends its mouse tracking.
  MoveMouseTo(xp, 8, xp->Height() / 2);
  PumpUntilIdle();
  Click(xp, 8, xp->Height() / 2);
  PumpUntilIdle();
  EXPECT_EQ(standalone->ItemIndex(), 1);
  EXPECT_EQ(standalone->EditValue().AsInteger(), 2);
  EXPECT_EQ(changes, 1);
  // Two columns: "XP" under "2000", "2003" beside "2000".
  EXPECT_EQ(standalone->Buttons(1)->Left(), standalone->Buttons(0)->Left());
  EXPECT_GT(standalone->Buttons(2)->Left(), standalone->Buttons(0)->Left());
}

TEST_F(RadioGroupWindowTest, TheFocusMessageFocusesAValidButton) {
  TcxRadioGroup* group = new TcxRadioGroup(form_.get());
  group->SetParent(form_.get());
  group->SetBounds(10, 10, 380, 100);
  AddVersions(group->Properties());
  PumpUntilIdle();
  SendMessageA(group->Handle(), cxWM_FOCUSRADIOBUTTON, 0, 2);
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 2);
  SendMessageA(group->Handle(), cxWM_FOCUSRADIOBUTTON, 0, 9);
  PumpUntilIdle();
  EXPECT_EQ(group->GetFocusedButtonIndex(), 2);
}

}  // namespace
