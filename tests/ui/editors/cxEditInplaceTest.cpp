// The editor control under real input: the clear and click keys, Esc, and
// in-place activation by key and mouse inside a plain test container; and
// the in-place edit list's reuse of editors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditFormFixture.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "UiDriverWin.h"
#include "cxEdit.h"

using namespace ui_test;

namespace {

class TTypingEditProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TTypingEditProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanCompareEditValue() override { return true; }
  bool IsResetEditClass() override { return true; }
  TcxCustomEditClass GetContainerClass() override;
};

// An editor without inner control whose typed digits append to its value.
class TTypingEdit : public TcxCustomEdit {
  VARNEL_CLASS(TTypingEdit, TcxCustomEdit)
 public:
  explicit TTypingEdit(TComponent* AOwner, bool AIsInplace = false)
      : TcxCustomEdit(AOwner, AIsInplace) {
    CreateProperties();
  }
  TClass GetPropertiesClass() override {
    return TTypingEditProperties::StaticClass();
  }
  String GetDisplayValue() override { return VarToStr(EditValue()); }
  std::string Text() { return GetDisplayValue(); }
  std::vector<TPoint> Presses;

 protected:
  void DoEditKeyPress(char& Key) override {
    if (!ValidateKeyPress(Key) || Key < '0' || Key > '9') return;
    bool saved = IsUserAction();
    SetUserAction(true);
    auto restore = TScopeGuard([this, saved] { SetUserAction(saved); });
    SetEditValue(Variant(GetDisplayValue() + Key));
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override {
    Presses.push_back(TPoint{X, Y});
    TcxCustomEdit::MouseDown(Button, Shift, X, Y);
  }
};

TcxCustomEditClass TTypingEditProperties::GetContainerClass() {
  return cxEditClass<TTypingEdit>();
}

using Log = std::vector<std::string>;

class EditWindow : public TEditFormTest<TTypingEdit> {
 protected:
  void Listen(TcxCustomEditProperties* AProps, TcxCustomEdit* AEdit) {
    AProps->OnChange = TNotifyEvent::FromFunction(
        [this](TObject*) { log_.push_back("change"); });
    AProps->OnEditValueChanged = TNotifyEvent::FromFunction(
        [this](TObject*) { log_.push_back("value"); });
    AEdit->OnKeyPress = TKeyPressEvent::FromFunction(
        [this](TObject*, char& Key) { keys_.push_back(Key); });
  }
  TTypingEdit* StandaloneEdit() {
    auto* edit = new TTypingEdit(form_.get());
    edit->SetParent(form_.get());
    edit->SetBounds(20, 20, 120, 24);
    Listen(edit->Properties(), edit);
    edit->SetFocus();
    EXPECT_TRUE(WaitUntil([&] { return ::GetFocus() == edit->Handle(); },
                          "editor focused"));
    log_.clear();
    return edit;
  }

  Log log_;
  std::string keys_;
};

TEST_F(EditWindow, ClearKeySetsNullWithOneChangeEventEach) {
  TTypingEdit* edit = StandaloneEdit();
  edit->Properties()->SetClearKey(ShortCut(VK_DELETE, {}));
  edit->SetEditValue(Variant(5));
  log_.clear();
  PressKeys({VK_DELETE});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_TRUE(VarIsNull(edit->EditValue()));
  EXPECT_EQ(log_, (Log{"change", "value"}));
  EXPECT_TRUE(edit->ModifiedAfterEnter());
}

TEST_F(EditWindow, CtrlEnterClicksTheDefaultButtonAndDropsItsCharacter) {
  TTypingEdit* edit = StandaloneEdit();
  std::vector<Integer> clicks;
  edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction(
      [&](TObject*, Integer AIndex) { clicks.push_back(AIndex); });
  // Without a default button Ctrl+Enter is an ordinary key.
  PressKeys({VK_CONTROL, VK_RETURN});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(keys_, "\n");
  keys_.clear();
  auto* buttons = edit->Properties()->Buttons();
  buttons->Add()->SetVisible(false);
  buttons->Add();
  buttons->Add()->SetDefault(true);
  PressKeys({VK_CONTROL, VK_RETURN});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(clicks, std::vector<Integer>{2});  // its index among all buttons
  EXPECT_EQ(keys_, "");
}

TEST_F(EditWindow, EscAfterAChangeRestoresTheValueAndSwallowsTheEsc) {
  TTypingEdit* edit = StandaloneEdit();
  // The value before editing is the one the editor had when entered.
  edit->SetEditValue(Variant("4"));
  other_->SetFocus();
  edit->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == edit->Handle(); },
                        "editor focused again"));
  TypeText("12");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->Text(), "412");
  keys_.clear();
  log_.clear();
  PressKeys({VK_ESCAPE});
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->Text(), "4");
  EXPECT_TRUE(edit->Modified());
  EXPECT_FALSE(edit->ModifiedAfterEnter());
  EXPECT_EQ(log_, (Log{"change", "value"}));
  EXPECT_EQ(keys_, "");
}

// A grid's part, played by the test: a plain container that hosts the
// in-place editor of its one cell and keeps the cell's value.
class InplaceWindow : public EditWindow {
 protected:
  void SetUp() override {
    EditWindow::SetUp();
    cell_ = new TcxContainer(form_.get());
    cell_->SetParent(form_.get());
    cell_->SetBounds(40, 60, 200, 100);
    props_.reset(new TTypingEditProperties(nullptr));
    edit_ = static_cast<TTypingEdit*>(list_.GetEdit(props_.get()));
    Listen(edit_->Properties(), edit_);
    edit_->SetParent(cell_);
    edit_->SetBounds(10, 20, 120, 24);
    edit_->OnPostEditValue = TNotifyEvent::FromFunction(
        [this](TObject*) { cellValue_ = edit_->Text(); });
    edit_->SetEditValue(Variant(cellValue_));
    log_.clear();
  }
  void TearDown() override {
    list_.DestroyItems();
    EditWindow::TearDown();
  }
  void PostAndDeactivate() {
    edit_->PostEditValue();
    EXPECT_TRUE(edit_->Deactivate());
    edit_->SetVisible(false);
    other_->SetFocus();
    EXPECT_TRUE(PumpUntilIdle());
  }

  TcxInplaceEditList list_;
  TObjectPtr<TTypingEditProperties> props_;
  TcxContainer* cell_ = nullptr;
  TTypingEdit* edit_ = nullptr;
  TcxCustomEditData* data_ = nullptr;
  std::string cellValue_ = "1";
};

TEST_F(InplaceWindow, ActivatedByAKeyTheEditorTakesTheKeyAndPosts) {
  EXPECT_FALSE(edit_->Visible());
  EXPECT_FALSE(edit_->AutoSize());
  edit_->ActivateByKey('7', data_);
  EXPECT_TRUE(edit_->Activated());
  EXPECT_TRUE(edit_->Visible());
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == edit_->Handle(); },
                        "in-place editor focused"));
  EXPECT_EQ(edit_->Text(), "17");
  TypeText("5");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit_->Text(), "175");
  EXPECT_EQ(cellValue_, "1");
  PostAndDeactivate();
  EXPECT_EQ(cellValue_, "175");
  EXPECT_FALSE(edit_->Modified());
  EXPECT_FALSE(edit_->Visible());
}

TEST_F(InplaceWindow, ActivatedByTheMouseTheEditorGetsThePressAtItsPoint) {
  // The grid passes the point in the cell's client coordinates.
  edit_->ActivateByMouse({ssLeft}, 25, 30, data_);
  ASSERT_TRUE(WaitUntil([&] { return ::GetFocus() == edit_->Handle(); },
                        "in-place editor focused"));
  ASSERT_EQ(edit_->Presses.size(), 1u);
  EXPECT_EQ(edit_->Presses[0], (TPoint{15, 10}));
  EXPECT_FALSE(edit_->MouseCapture());  // the button is not really held
  TypeText("3");
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit_->Text(), "13");
  EXPECT_EQ(log_, (Log{"value", "change"}));
  PostAndDeactivate();
  EXPECT_EQ(cellValue_, "13");
}

TEST_F(InplaceWindow, TheRightButtonGivesNoContextMenuOfTheEditor) {
  edit_->ActivateByKey('2', data_);
  TMessage message{WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit_->Handle()),
                   MAKELPARAM(100, 100), 77};
  edit_->WindowProc(message);
  EXPECT_EQ(message.Result, 77);  // nobody handled it
}

TEST(InplaceEditList, OneEditorPerPropertiesAndTheFreedOnesIsReused) {
  TcxInplaceEditList list;
  TObjectPtr<TTypingEditProperties> first(new TTypingEditProperties(nullptr));
  TObjectPtr<TTypingEditProperties> second(new TTypingEditProperties(nullptr));
  TcxCustomEdit* firstEdit = list.GetEdit(first.get());
  TcxCustomEdit* secondEdit = list.GetEdit(second.get());
  ASSERT_NE(firstEdit, secondEdit);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(firstEdit->ClassType(), TTypingEdit::StaticClass());
  EXPECT_TRUE(firstEdit->IsInplace());
  EXPECT_FALSE(firstEdit->Visible());
  // The same properties again: the same editor with their new settings.
  first->SetClearKey(ShortCut(VK_DELETE, {}));
  EXPECT_EQ(list.GetEdit(first.get()), firstEdit);
  EXPECT_EQ(firstEdit->Properties()->ClearKey(), ShortCut(VK_DELETE, {}));
  first.reset();
  TObjectPtr<TTypingEditProperties> third(new TTypingEditProperties(nullptr));
  EXPECT_EQ(list.GetEdit(third.get()), firstEdit);
  EXPECT_EQ(list.Count(), 2);
  list.RemoveItem(third.get());
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindEdit(second.get()), secondEdit);
}

}  // namespace
