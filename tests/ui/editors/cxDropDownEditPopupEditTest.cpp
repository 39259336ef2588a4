// The popup edit: its defaults, the borrowed control given back unchanged,
// the circular references it refuses, and the control's free notice.
#include <gtest/gtest.h>

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxDropDownEdit.h"
#include "cxTextEdit.h"

namespace {

using ui_test::WaitUntil;

TEST(PopupEditPropertiesTest, Defaults) {
  TcxPopupEditProperties props;
  EXPECT_EQ(props.PopupWidth(), 250);
  EXPECT_EQ(props.PopupHeight(), 200);
  EXPECT_EQ(props.PopupMinWidth(), 100);
  EXPECT_EQ(props.PopupMinHeight(), 100);
  EXPECT_TRUE(props.PopupSizeable());
  EXPECT_TRUE(props.PopupAutoSize());
  EXPECT_TRUE(props.ImmediateDropDown());
  EXPECT_TRUE(props.ImmediatePopup());
  EXPECT_TRUE(props.PopupWindowCapturesFocus());
  EXPECT_EQ(props.PopupControl(), nullptr);
}

TEST(PopupEditPropertiesTest, TheControlsFreeNoticeClearsOnlyItsOwnReference) {
  TcxPopupEditProperties props;
  TObjectPtr<TPanel> a(new TPanel(nullptr));
  TObjectPtr<TPanel> b(new TPanel(nullptr));
  props.SetPopupControl(a.get());
  props.SetPopupControl(b.get());
  a.reset();
  EXPECT_EQ(props.PopupControl(), b.get());
  TcxPopupEditProperties copy;
  copy.Assign(&props);
  EXPECT_EQ(copy.PopupControl(), b.get());
  b.reset();
  EXPECT_EQ(props.PopupControl(), nullptr);
  EXPECT_EQ(copy.PopupControl(), nullptr);
}

class PopupEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetCaption("PopupEditTest");
    form_->SetBounds(60, 60, 500, 360);
    holder_ = new TPanel(form_.get());
    holder_->SetParent(form_.get());
    holder_->SetBounds(10, 10, 220, 60);
    edit_ = new TcxPopupEdit(form_.get());
    edit_->SetParent(holder_);
    edit_->SetBounds(10, 10, 160, 24);
    // The popup's own loop would run inside the show message: the tests
    // drive the popup from outside.
    edit_->PopupWindow()->SetModalMode(false);
    panel_ = new TPanel(form_.get());
    panel_->SetParent(form_.get());
    panel_->SetBounds(20, 200, 300, 120);
    panel_->SetAlign(alNone);
    panel_->SetVisible(false);
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
  }
  bool WaitOpen() {
    return WaitUntil([&] { return edit_->DroppedDown(); }, "popup open");
  }

  TObjectPtr<TForm> form_;
  TPanel* holder_ = nullptr;
  TcxPopupEdit* edit_ = nullptr;
  TPanel* panel_ = nullptr;
};

TEST_F(PopupEditTest, APanelIsShownInThePopupAndComesBackUnchanged) {
  edit_->Properties()->SetPopupControl(panel_);
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  TcxCustomEditPopupWindow* popup = edit_->PopupWindow();
  EXPECT_EQ(panel_->Parent(), popup);
  EXPECT_TRUE(panel_->Visible());
  // Auto size: the client area is the panel's size.
  const TRect client = popup->ViewInfo()->ClientRect;
  EXPECT_EQ(client.Width(), 300);
  EXPECT_EQ(client.Height(), 120);
  EXPECT_EQ(panel_->Width(), 300);
  EXPECT_EQ(panel_->Height(), 120);
  edit_->SetDroppedDown(false);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(panel_->Parent(), form_.get());
  EXPECT_EQ(panel_->BoundsRect(), (TRect{20, 200, 320, 320}));
  EXPECT_EQ(panel_->Align(), alNone);
  EXPECT_FALSE(panel_->Visible());
}

// Saving and restoring directly.
TEST_F(PopupEditTest, AFormLosesItsBorderWhileBorrowedAndGetsItBack) {
  TObjectPtr<TForm> hosted(new TForm(nullptr));
  hosted->SetBorderStyle(bsDialog);
  hosted->SetBounds(5, 6, 200, 150);
  edit_->Properties()->SetPopupControl(hosted.get());
  edit_->SavePopupControlData();
  EXPECT_EQ(hosted->BorderStyle(), bsNone);
  hosted->SetBounds(0, 0, 300, 100);
  hosted->SetAlign(alClient);
  edit_->RestorePopupControlData();
  EXPECT_EQ(hosted->BorderStyle(), bsDialog);
  EXPECT_EQ(hosted->Align(), alNone);
  EXPECT_EQ(hosted->BoundsRect(), (TRect{5, 6, 205, 156}));
  hosted.reset();
  EXPECT_EQ(edit_->Properties()->PopupControl(), nullptr);
}

TEST_F(PopupEditTest, AFormOpensInThePopupTakesTheFocusAndComesBack) {
  TObjectPtr<TForm> hosted(new TForm(nullptr));
  hosted->SetBorderStyle(bsDialog);
  hosted->SetBounds(5, 6, 220, 140);
  auto* field = new TcxTextEdit(hosted.get());
  field->SetParent(hosted.get());
  field->SetBounds(10, 10, 120, 24);
  hosted->SetActiveControl(field);
  edit_->Properties()->SetPopupControl(hosted.get());
  edit_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return edit_->InnerEditControl()->Focused(); },
                        "editor focused"));
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  ui_test::PumpUntilIdle();
  EXPECT_EQ(hosted->Parent(), edit_->PopupWindow());
  EXPECT_EQ(hosted->BorderStyle(), bsNone);
  EXPECT_TRUE(::IsWindowVisible(hosted->Handle()));
  // The popup focuses the form's active control: typing goes there.
  ASSERT_TRUE(WaitUntil([&] { return field->InnerEditControl()->Focused(); },
                        "hosted field focused"));
  ui_test::TypeText("ab");
  ui_test::PumpUntilIdle();
  EXPECT_EQ(field->EditingText(), "ab");
  // A click outside the popup closes it.
  ui_test::Click(ui_test::ScreenPointOf(form_.get(), 470, 10));
  ASSERT_TRUE(WaitUntil([&] { return !edit_->DroppedDown(); }, "closed"));
  EXPECT_EQ(hosted->Parent(), nullptr);
  EXPECT_EQ(hosted->BorderStyle(), bsDialog);
  EXPECT_EQ(hosted->BoundsRect(), (TRect{5, 6, 225, 146}));
}

TEST_F(PopupEditTest, ContainersOfTheEditorAreRefused) {
  for (TControl* control :
       {static_cast<TControl*>(form_.get()), static_cast<TControl*>(holder_),
        static_cast<TControl*>(edit_),
        static_cast<TControl*>(edit_->PopupWindow())}) {
    SCOPED_TRACE(control->ClassName());
    edit_->Properties()->SetPopupControl(control);
    TControl* parent = control->Parent();
    try {
      edit_->SetDroppedDown(true);
      ADD_FAILURE() << "no error";
    } catch (const EcxEditError& e) {
      EXPECT_EQ(e.Message(), "Circular referencing is not allowed");
    }
    ui_test::PumpUntilIdle();
    EXPECT_FALSE(edit_->DroppedDown());
    EXPECT_EQ(control->Parent(), parent);  // not moved
  }
}

TEST_F(PopupEditTest, WithoutAControlThereIsNoDropDown) {
  edit_->SetDroppedDown(true);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
  // A hosted control freed clears the reference: no drop-down either.
  TObjectPtr<TPanel> gone(new TPanel(form_.get()));
  edit_->Properties()->SetPopupControl(gone.get());
  gone.reset();
  EXPECT_EQ(edit_->Properties()->PopupControl(), nullptr);
  edit_->SetDroppedDown(true);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(edit_->DroppedDown());
}

TEST_F(PopupEditTest, FreeingTheEditorWithItsPopupOpenGivesTheControlBack) {
  edit_->Properties()->SetPopupControl(panel_);
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  TObjectPtr<TcxPopupEdit> owned(edit_);
  owned.reset();
  edit_ = nullptr;
  EXPECT_EQ(panel_->Parent(), form_.get());
  EXPECT_EQ(panel_->BoundsRect(), (TRect{20, 200, 320, 320}));
}

TEST_F(PopupEditTest, HidePopupClosesWithTheGivenReason) {
  edit_->Properties()->SetPopupControl(panel_);
  edit_->SetDroppedDown(true);
  ASSERT_TRUE(WaitOpen());
  edit_->HidePopup(panel_, crEnter);
  ASSERT_TRUE(WaitUntil([&] { return !edit_->DroppedDown(); }, "closed"));
  EXPECT_EQ(edit_->CloseUpReason(), crEnter);
}

}  // namespace
