// The text editor under real key input, standalone on a form and in place
// in a test container: typing, completion from the lookup items, the
// clipboard with a maximum length, the hidden cursor, the keys a grid gets,
// and the text messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Clipbrd.h"
#include "EditFormFixture.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "UiDriverWin.h"
#include "cxTextEdit.h"

using namespace ui_test;

namespace {

using Log = std::vector<std::string>;

class TextEditWindow : public TEditFormTest<TcxTextEdit> {
 protected:
  void BeforeShow() override {
    edit_ = new TcxTextEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(20, 20, 160, 24);
    edit_->OnAfterKeyDown =
        TKeyEvent::FromFunction([this](TObject*, Word& Key, TShiftState) {
          afterKeys_.push_back(Key);
        });
    edit_->Properties()->OnChange = TNotifyEvent::FromFunction(
        [this](TObject*) { log_.push_back("change:" + edit_->Text()); });
  }
  void Focus(TcxCustomTextEdit* AEdit) {
    AEdit->SetFocus();
    ASSERT_TRUE(WaitUntil(
        [&] { return ::GetFocus() == AEdit->InnerEditControl()->Handle(); },
        "inner edit focused"));
    log_.clear();
  }
  void Type(const std::string& AText) {
    TypeText(AText);
    ASSERT_TRUE(PumpUntilIdle());
  }
  void Keys(std::initializer_list<WORD> AChord) {
    PressKeys(AChord);
    ASSERT_TRUE(PumpUntilIdle());
  }

  TcxTextEdit* edit_ = nullptr;
  std::vector<Word> afterKeys_;
  Log log_;
};

TEST_F(TextEditWindow, TypedTextBecomesTheValueWhenTheFocusLeaves) {
  EXPECT_EQ(edit_->Width(), 160);
  EXPECT_NE(edit_->InnerEditControl(), nullptr);
  Focus(edit_);
  Type("abc");
  EXPECT_EQ(edit_->Text(), "abc");
  EXPECT_EQ(edit_->SelStart(), 3);
  EXPECT_TRUE(edit_->ModifiedAfterEnter());
  EXPECT_EQ(log_, (Log{"change:a", "change:ab", "change:abc"}));
  EXPECT_TRUE(VarIsNull(edit_->EditValue()));
  Variant editing;
  edit_->GetEditingValue(editing);
  EXPECT_EQ(VarToStr(editing), "abc");
  Focus(other_);
  EXPECT_EQ(VarToStr(edit_->EditValue()), "abc");
}

TEST_F(TextEditWindow, AProgrammaticValueShowsAsText) {
  edit_->SetEditValue(Variant("hello"));
  EXPECT_EQ(edit_->Text(), "hello");
  EXPECT_FALSE(edit_->Modified());
  edit_->SetText("world");
  EXPECT_EQ(VarToStr(edit_->EditValue()), "world");
}

TEST_F(TextEditWindow, TypingCompletesFromTheLookupItems) {
  auto* items = edit_->Properties()->LookupItems();
  items->Add("Apple");
  items->Add("apricot");
  items->Add("Banana");
  Focus(edit_);
  Type("ap");
  EXPECT_EQ(edit_->Text(), "Apple");
  EXPECT_EQ(edit_->SelStart(), 2);
  EXPECT_EQ(edit_->SelLength(), 3);
  EXPECT_EQ(edit_->SelText(), "ple");
  EXPECT_TRUE(edit_->FindSelection());
  Type("r");
  EXPECT_EQ(edit_->Text(), "apricot");
  EXPECT_EQ(edit_->SelStart(), 3);
  EXPECT_EQ(edit_->SelLength(), 4);
  // A character that starts no item replaces the completed tail.
  Type("x");
  EXPECT_EQ(edit_->Text(), "aprx");
  EXPECT_FALSE(edit_->FindSelection());
  // Up and Down do not step through the items of a plain text editor.
  afterKeys_.clear();
  Keys({VK_DOWN});
  EXPECT_EQ(edit_->Text(), "aprx");
  EXPECT_EQ(afterKeys_, std::vector<Word>{VK_DOWN});
}

TEST_F(TextEditWindow, IncrementalSearchOffTypesPlainly) {
  edit_->Properties()->LookupItems()->Add("Apple");
  edit_->Properties()->SetIncrementalSearch(false);
  Focus(edit_);
  Type("ap");
  EXPECT_EQ(edit_->Text(), "ap");
}

TEST_F(TextEditWindow, PasteIsCutToTheMaximumLength) {
  edit_->Properties()->SetMaxLength(5);
  struct Case {
    const char* text;
    Integer selStart;
    Integer selLength;
    const char* pasted;
    const char* result;
    Integer caret;
  } cases[] = {
      {"abc", 1, 2, "12345", "a1234", 5},
      {"abcde", 5, 0, "x", "abcde", 5},
      {"ab", 2, 0, "xy", "abxy", 4},
  };
  Focus(edit_);
  for (const Case& c : cases) {
    edit_->SetEditValue(Variant(c.text));
    edit_->SetSelection(c.selStart, c.selLength);
    Clipboard()->SetAsText(c.pasted);
    Keys({VK_CONTROL, 'V'});
    EXPECT_EQ(edit_->Text(), c.result) << c.text << " + " << c.pasted;
    EXPECT_EQ(edit_->SelStart(), c.caret) << c.text << " + " << c.pasted;
    EXPECT_EQ(edit_->SelLength(), 0);
  }
}

TEST_F(TextEditWindow, TypingStopsAtTheMaximumLength) {
  edit_->Properties()->SetMaxLength(3);
  Focus(edit_);
  Type("abcd");
  EXPECT_EQ(edit_->Text(), "abc");
}

TEST_F(TextEditWindow, CharCaseAppliesToTypedText) {
  edit_->Properties()->SetCharCase(ecUpperCase);
  Focus(edit_);
  Type("abc");
  EXPECT_EQ(edit_->Text(), "ABC");
}

TEST_F(TextEditWindow, PasswordEchoKeepsTheRealText) {
  edit_->Properties()->SetEchoMode(eemPassword);
  Focus(edit_);
  Type("key");
  EXPECT_EQ(edit_->Text(), "key");
  HWND inner = edit_->InnerEditControl()->Handle();
  EXPECT_EQ(::SendMessageA(inner, EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(TextEditWindow, HiddenCursorShowsTheTextButTakesNoEditing) {
  edit_->Properties()->SetViewStyle(vsHideCursor);
  edit_->SetEditValue(Variant("hello"));
  Focus(edit_);
  EXPECT_FALSE(edit_->IsEditClass());
  edit_->SetSelection(1, 2);
  EXPECT_EQ(edit_->SelStart(), 0);
  EXPECT_EQ(edit_->SelLength(), 0);
  Type("xy");
  Keys({VK_DELETE});
  Keys({VK_BACK});
  Clipboard()->SetAsText("pasted");
  Keys({VK_CONTROL, 'V'});
  Keys({VK_CONTROL, 'X'});
  EXPECT_EQ(edit_->Text(), "hello");
  Clipboard()->SetAsText("");
  Keys({VK_CONTROL, 'C'});
  EXPECT_EQ(Clipboard()->AsText(), "hello");
  EXPECT_EQ(VarToStr(edit_->EditValue()), "hello");
}

TEST_F(TextEditWindow, LeftAndRightCollapseASelectionToItsEnds) {
  edit_->SetEditValue(Variant("abcdefg"));
  Focus(edit_);
  struct Case {
    WORD key;
    Integer caret;
  } cases[] = {{VK_LEFT, 2}, {VK_RIGHT, 5}};
  for (const Case& c : cases) {
    edit_->SetSelection(2, 3);
    Keys({c.key});
    EXPECT_EQ(edit_->SelStart(), c.caret);
    EXPECT_EQ(edit_->SelLength(), 0);
  }
  EXPECT_TRUE(afterKeys_.empty());
}

TEST_F(TextEditWindow, KeysTheEditHasNoUseForGoOnToTheContainer) {
  edit_->SetEditValue(Variant("abc"));
  Focus(edit_);
  edit_->SetSelection(0, 0);
  Keys({VK_LEFT});  // already at the start
  Keys({VK_RIGHT});
  Keys({VK_UP});
  Keys({VK_NEXT});
  EXPECT_EQ(afterKeys_, (std::vector<Word>{VK_LEFT, VK_UP, VK_NEXT}));
  EXPECT_EQ(edit_->SelStart(), 1);
  EXPECT_EQ(edit_->Text(), "abc");
}

TEST_F(TextEditWindow, EscAfterTypingRestoresTheValue) {
  edit_->SetEditValue(Variant("start"));
  Focus(other_);
  Focus(edit_);
  Type("X");
  EXPECT_NE(edit_->Text(), "start");
  Keys({VK_ESCAPE});
  EXPECT_EQ(edit_->Text(), "start");
  EXPECT_EQ(VarToStr(edit_->EditValue()), "start");
}

TEST_F(TextEditWindow, GetTextNeverWritesPastTheBuffer) {
  edit_->SetEditValue(Variant("abcdef"));
  char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  EXPECT_EQ(::SendMessageA(edit_->Handle(), WM_GETTEXT, 4,
                           reinterpret_cast<LPARAM>(buffer)),
            3);
  EXPECT_EQ(std::string(buffer), "abc");
  EXPECT_EQ(buffer[4], '#');
  EXPECT_EQ(::SendMessageA(edit_->Handle(), WM_GETTEXT, 0,
                           reinterpret_cast<LPARAM>(buffer)),
            0);
  EXPECT_EQ(::SendMessageA(edit_->Handle(), WM_GETTEXTLENGTH, 0, 0), 6);
  EXPECT_EQ(::SendMessageA(edit_->Handle(), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>("new")),
            1);
  EXPECT_EQ(edit_->Text(), "new");
  EXPECT_EQ(VarToStr(edit_->EditValue()), "new");
}

TEST_F(TextEditWindow, ClearSelectionAndSelText) {
  edit_->SetEditValue(Variant("abcdef"));
  edit_->SetSelection(1, 2);
  edit_->ClearSelection();
  EXPECT_EQ(edit_->Text(), "adef");
  EXPECT_EQ(edit_->SelStart(), 1);
  edit_->SetSelection(0, 1);
  edit_->SetSelText("XY");
  EXPECT_EQ(edit_->Text(), "XYdef");
  EXPECT_EQ(edit_->SelStart(), 2);
}

TEST_F(TextEditWindow, EnterReachesTheWindowsEditOnlyWithBeepOnEnter) {
  std::string innerKeys;
  edit_->InnerEditControl()->OnKeyPress = TKeyPressEvent::FromFunction(
      [&](TObject*, char& Key) { innerKeys += Key; });
  Focus(edit_);
  Keys({VK_RETURN});
  EXPECT_EQ(innerKeys, "\r");
  innerKeys.clear();
  edit_->SetBeepOnEnter(false);
  Keys({VK_RETURN});
  Type("a");
  EXPECT_EQ(innerKeys, "a");
}

TEST_F(TextEditWindow, CursorPosIsTheCaretIndexUpToTheEnd) {
  edit_->SetEditValue(Variant("abcd"));
  Focus(edit_);
  for (Integer caret : {4, 2, 0}) {
    edit_->SetSelection(caret, 0);
    EXPECT_EQ(edit_->CursorPos(), caret);
  }
}

TEST_F(TextEditWindow, ATextTheItemsDoNotKnowIsReportedOnValidation) {
  edit_->Properties()->LookupItems()->Add("known");
  std::vector<std::string> reported;
  edit_->Properties()->OnNewLookupDisplayText =
      TcxNewLookupDisplayTextEvent::FromFunction(
          [&](TObject*, const String& AText) { reported.push_back(AText); });
  Focus(edit_);
  Type("zz");
  Focus(other_);
  EXPECT_EQ(reported, std::vector<std::string>{"zz"});
  Focus(edit_);
  edit_->SelectAll();
  Type("known");
  Focus(other_);
  EXPECT_EQ(reported.size(), 1u);
}

// Numeric properties that group digits, as the numeric editors' do.
class TGroupingProps : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TGroupingProps, TcxCustomTextEditProperties)
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsEditValueNumeric() override { return true; }
  bool HasDigitGrouping(bool) override { return true; }
};

class TGroupingEdit : public TcxCustomTextEdit {
  VARNEL_CLASS(TGroupingEdit, TcxCustomTextEdit)
 public:
  explicit TGroupingEdit(TComponent* AOwner, bool AIsInplace = false)
      : TcxCustomTextEdit(AOwner, AIsInplace) {
    CreateProperties();
    CreateTextEditParts();
  }
  TClass GetPropertiesClass() override { return TGroupingProps::StaticClass(); }
};

TEST_F(TextEditWindow, NumericTypingGroupsDigitsAndKeepsTheCaret) {
  TRestoreOnExit<char> thousand(ThousandSeparator, ',');
  TRestoreOnExit<char> decimal(DecimalSeparator, '.');
  auto* numeric = new TGroupingEdit(form_.get());
  numeric->SetParent(form_.get());
  numeric->SetBounds(20, 120, 160, 24);
  Focus(numeric);
  Type("1234");
  EXPECT_EQ(numeric->Text(), "1,234");
  EXPECT_EQ(numeric->SelStart(), 5);
  Type("5");
  EXPECT_EQ(numeric->Text(), "12,345");
  numeric->SetSelection(1, 0);
  Type("9");
  EXPECT_EQ(numeric->Text(), "192,345");
  EXPECT_EQ(numeric->SelStart(), 2);
}

// A descendant that steps through its items with the keys and the wheel,
// as the combo box does.
class TScrollingEdit : public TcxTextEdit {
  VARNEL_CLASS(TScrollingEdit, TcxTextEdit)
 public:
  using TcxTextEdit::TcxTextEdit;
  bool GetScrollLookupDataList(TcxEditScrollCause) override { return true; }
};

TEST_F(TextEditWindow, ADescendantStepsThroughTheItemsWithKeysAndWheel) {
  auto* edit = new TScrollingEdit(form_.get());
  edit->SetParent(form_.get());
  edit->SetBounds(20, 120, 160, 24);
  for (const char* item : {"One", "Two", "Three"})
    edit->Properties()->LookupItems()->Add(item);
  int clicks = 0;
  edit->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  std::vector<Word> passedOn;
  edit->OnAfterKeyDown = TKeyEvent::FromFunction(
      [&](TObject*, Word& Key, TShiftState) { passedOn.push_back(Key); });
  Focus(edit);
  struct Step {
    std::vector<WORD> keys;
    const char* text;
  } steps[] = {
      {{VK_DOWN}, "One"},
      {{VK_DOWN}, "Two"},
      {{VK_UP}, "One"},
      {{VK_UP}, "One"},  // no wrap-around
      {{VK_CONTROL, VK_NEXT}, "Three"},
      {{VK_PRIOR}, "One"},
  };
  int expectedClicks = 0;
  std::string previous;
  for (const Step& step : steps) {
    PressKeys(step.keys);
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(edit->Text(), step.text);
    if (previous != step.text) ++expectedClicks;
    previous = step.text;
    EXPECT_EQ(clicks, expectedClicks) << step.text;
  }
  EXPECT_EQ(edit->ItemIndex(), 0);
  EXPECT_TRUE(edit->ModifiedAfterEnter());
  // The navigation took the arrows and page keys (only Ctrl went on).
  EXPECT_EQ(passedOn, std::vector<Word>{VK_CONTROL});
  Wheel(CentreOf(edit->Handle()), -WHEEL_DELTA);
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(edit->Text(), "Two");
}

// A grid's part, played by the test: a plain container hosting the
// in-place editor of its one cell.
class TextEditInplace : public TextEditWindow {
 protected:
  void SetUp() override {
    TextEditWindow::SetUp();
    cell_ = new TcxContainer(form_.get());
    cell_->SetParent(form_.get());
    cell_->SetBounds(40, 80, 220, 100);
    props_.reset(new TcxTextEditProperties(nullptr));
    inplace_ = static_cast<TcxTextEdit*>(list_.GetEdit(props_.get()));
    inplace_->SetParent(cell_);
    inplace_->SetBounds(10, 20, 150, 22);
    inplace_->OnPostEditValue = TNotifyEvent::FromFunction(
        [this](TObject*) { cellValue_ = VarToStr(inplace_->EditValue()); });
    inplace_->OnAfterKeyDown = TKeyEvent::FromFunction(
        [this](TObject*, Word& Key, TShiftState) { gridKeys_.push_back(Key); });
    inplace_->SetEditValue(Variant(cellValue_));
  }
  void TearDown() override {
    list_.DestroyItems();
    TextEditWindow::TearDown();
  }

  TcxInplaceEditList list_;
  TObjectPtr<TcxTextEditProperties> props_;
  TcxContainer* cell_ = nullptr;
  TcxTextEdit* inplace_ = nullptr;
  TcxCustomEditData* data_ = nullptr;
  std::string cellValue_ = "1";
  std::vector<Word> gridKeys_;
};

TEST_F(TextEditInplace,
       TypedKeysEditTheCellAndTheGridGetsWhatTheEditCannotUse) {
  EXPECT_TRUE(inplace_->IsInplace());
  inplace_->ActivateByKey('7', data_);
  ASSERT_TRUE(WaitUntil(
      [&] { return ::GetFocus() == inplace_->InnerEditControl()->Handle(); },
      "in-place editor focused"));
  ASSERT_TRUE(PumpUntilIdle());
  EXPECT_EQ(inplace_->Text(), "7");
  Type("5");
  EXPECT_EQ(inplace_->Text(), "75");
  EXPECT_EQ(cellValue_, "1");
  inplace_->SetSelection(0, 0);
  gridKeys_.clear();
  Keys({VK_LEFT});
  Keys({VK_DOWN});
  Keys({VK_RIGHT});
  EXPECT_EQ(gridKeys_, (std::vector<Word>{VK_LEFT, VK_DOWN}));
  EXPECT_EQ(inplace_->SelStart(), 1);
  // Enter reaches neither the Windows edit nor the text.
  Keys({VK_RETURN});
  EXPECT_EQ(inplace_->Text(), "75");
  inplace_->PostEditValue();
  EXPECT_EQ(cellValue_, "75");
  EXPECT_TRUE(inplace_->Deactivate());
}

}  // namespace
