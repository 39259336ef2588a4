// The standard controls over their system windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

class StdCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetBounds(30, 30, 400, 300);
  }
  void TearDown() override {
    form.reset();
    PumpUntilIdle();
  }
  template <class T>
  T* Add(TRect bounds) {
    auto* c = new T(form.get());
    c->SetBoundsRect(bounds);
    c->SetParent(form.get());
    return c;
  }
  TCursorPosGuard pointer;
  TObjectPtr<TForm> form;
};

TEST_F(StdCtrlsTest, EditKeepsStateAcrossWindowAndReportsChanges) {
  auto* edit = Add<TEdit>(Bounds(10, 10, 150, 21));
  edit->SetText("before window");
  edit->SetReadOnly(true);
  int changes = 0;
  edit->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  form->Show();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(edit->Text(), "before window");
  EXPECT_NE(::GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(changes, 0);

  edit->SetReadOnly(false);
  edit->SetText("hello world");
  EXPECT_EQ(changes, 1);
  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->SelText(), "world");
  edit->SetSelText("there");
  EXPECT_EQ(edit->Text(), "hello there");
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 11);
  // MaxLength limits what is typed or inserted.
  edit->SetMaxLength(5);
  edit->Clear();
  edit->SetSelText("abcdefgh");
  EXPECT_EQ(edit->Text(), "abcde");
}

TEST_F(StdCtrlsTest, CheckBoxClickCyclesStates) {
  struct Case {
    bool allowGrayed;
    std::vector<TCheckBoxState> states;
  };
  const Case cases[] = {
      {false, {cbChecked, cbUnchecked, cbChecked}},
      {true, {cbGrayed, cbChecked, cbUnchecked}},
  };
  form->Show();
  for (const Case& c : cases) {
    auto* box = Add<TCheckBox>(Bounds(10, 40, 120, 17));
    box->SetAllowGrayed(c.allowGrayed);
    int clicks = 0;
    box->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    for (TCheckBoxState expected : c.states) {
      ::SendMessageA(box->Handle(), BM_CLICK, 0, 0);
      EXPECT_EQ(box->State(), expected);
      EXPECT_EQ(static_cast<TCheckBoxState>(
                    ::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0)),
                expected);
    }
    EXPECT_EQ(clicks, static_cast<int>(c.states.size()));
    Free(box);
  }
}

TEST_F(StdCtrlsTest, CheckingRadioButtonUnchecksSiblings) {
  auto* a = Add<TRadioButton>(Bounds(10, 10, 100, 17));
  auto* b = Add<TRadioButton>(Bounds(10, 30, 100, 17));
  a->SetChecked(true);
  form->Show();
  ::SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(::SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(StdCtrlsTest, ButtonSetsFormModalResultAndDefaultTakesEnter) {
  auto* b = Add<TButton>(Bounds(10, 10, 75, 25));
  b->SetModalResult(mrYes);
  b->SetDefault(true);
  form->Show();
  ::SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ModalResult(), mrYes);
  form->SetModalResult(mrNone);
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrYes);
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
}

TEST_F(StdCtrlsTest, ListBoxItemsSurviveWindowAndSortedInsertKeepsOrder) {
  auto* list = Add<TListBox>(Bounds(10, 10, 150, 120));
  list->Items()->Add("pear");
  list->Items()->Add("apple");
  list->SetItemIndex(1);
  form->Show();
  EXPECT_EQ(::SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetSorted(true);
  list->Items()->Add("banana");
  EXPECT_EQ(list->Items()->Strings(1), "banana");
  char buf[32] = {};
  ::SendMessageA(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ(buf, "banana");
  // Re-creating the window keeps items and selection.
  list->SetItemIndex(2);
  list->SetBorderStyle(bsNone);
  EXPECT_EQ(::SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->ItemAtPos({5, 5}, true), 0);
  EXPECT_EQ(list->ItemAtPos({5, 110}, true), -1);
}

TEST_F(StdCtrlsTest, ListBoxMouseClickAndDoubleClickFireOnce) {
  auto* list = Add<TListBox>(Bounds(10, 10, 150, 120));
  list->Items()->Add("one");
  list->Items()->Add("two");
  int clicks = 0, doubles = 0;
  list->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  list->OnDblClick = TNotifyEvent::FromFunction([&](TObject*) { ++doubles; });
  form->Show();
  const TRect second = list->ItemRect(1);
  Click(list, second.Left + 5, second.Top + 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  DoubleClick(list, second.Left + 5, second.Top + 2);
  EXPECT_EQ(doubles, 1);
}

TEST_F(StdCtrlsTest, NamingAnEmptyEditGivesItTheName) {
  auto* edit = Add<TEdit>(Bounds(10, 10, 100, 21));
  edit->SetName("edtCity");
  EXPECT_EQ(edit->Text(), "edtCity");
  edit->SetText("Paris");
  edit->SetName("edtTown");
  EXPECT_EQ(edit->Text(), "Paris");
}

TEST_F(StdCtrlsTest, OwnerDrawListBoxDrawsAndMeasuresThroughEvents) {
  auto* list = Add<TListBox>(Bounds(10, 10, 150, 120));
  list->SetStyle(lbOwnerDrawVariable);
  list->Items()->Add("one");
  list->Items()->Add("two");
  std::vector<Integer> measured;
  list->OnMeasureItem = TMeasureItemEvent::FromFunction(
      [&](TWinControl*, Integer index, Integer& height) {
        measured.push_back(index);
        height = 20 + index * 10;
      });
  std::vector<Integer> drawn;
  list->OnDrawItem = TDrawItemEvent::FromFunction(
      [&](TWinControl* c, Integer index, TRect r, TOwnerDrawState) {
        drawn.push_back(index);
        static_cast<TListBox*>(c)->Canvas()->FillRect(r);
      });
  form->Show();
  list->Repaint();
  Pump();
  EXPECT_EQ(measured, (std::vector<Integer>{0, 1}));
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  EXPECT_EQ(list->ItemRect(1).Height(), 30);
}

TEST_F(StdCtrlsTest, VirtualListBoxAsksForDataAndFindsByTyping) {
  auto* list = Add<TListBox>(Bounds(10, 10, 150, 120));
  list->SetStyle(lbVirtual);
  const char* names[] = {"alpha", "beta", "bravo", "charlie"};
  list->OnData = TLBGetDataEvent::FromFunction(
      [&](TWinControl*, Integer index, String& data) { data = names[index]; });
  list->SetCount(4);
  form->Show();
  EXPECT_EQ(::SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(list->ItemText(2), "bravo");
  EXPECT_THROW(list->Items()->Strings(0), EStringListError);

  char key = 'b';
  list->KeyPress(key);
  EXPECT_EQ(list->ItemIndex(), 1);
  key = 'r';
  list->KeyPress(key);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(key, 0);
}

TEST_F(StdCtrlsTest, ComboBoxItemsAndSelection) {
  auto* combo = Add<TComboBox>(Bounds(10, 10, 150, 21));
  combo->SetStyle(csDropDownList);
  combo->Items()->Add("red");
  combo->Items()->Add("green");
  combo->SetItemIndex(1);
  form->Show();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
  int changes = 0, selects = 0;
  combo->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  combo->OnSelect = TNotifyEvent::FromFunction([&](TObject*) { ++selects; });
  // The user picking an item: the system's notification to the parent.
  ::SendMessageA(combo->Handle(), CB_SETCURSEL, 0, 0);
  ::SendMessageA(form->Handle(), WM_COMMAND,
                 MAKEWPARAM(::GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(combo->Text(), "red");
}

TEST_F(StdCtrlsTest, MemoLinesEditTheText) {
  auto* memo = Add<TMemo>(Bounds(10, 10, 200, 100));
  memo->Lines()->Add("first");
  memo->Lines()->Add("second");
  form->Show();
  EXPECT_EQ(memo->Text(), "first\r\nsecond");
  memo->Lines()->Insert(1, "middle");
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Strings(0), "middle");
  EXPECT_EQ(memo->Text(), "middle\r\nsecond");
  EXPECT_THROW(memo->Lines()->Strings(5), EStringListError);
}

TEST_F(StdCtrlsTest, AutoSizeLabelFitsItsCaption) {
  auto* label = Add<TLabel>(Bounds(10, 10, 5, 5));
  label->SetCaption("x");
  const Integer narrow = label->Width();
  label->SetCaption("a much longer caption");
  EXPECT_GT(label->Width(), narrow);
  EXPECT_GT(label->Height(), 5);
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_GT(label->Width(), narrow);
}

}  // namespace
