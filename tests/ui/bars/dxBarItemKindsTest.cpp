// The item kinds without windows: check buttons and their groups, the
// places a separator may take, edits, and the list of a combo (its size,
// its index and the nearest string to a typed text).
#include <gtest/gtest.h>
#include <windows.h>

#include "Forms.h"
#include "SysUtils.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"

namespace {

class BarItemKindsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    manager_ = new TdxBarManager(form_.get());
  }
  void TearDown() override { form_.reset(); }

  template <class T>
  T* Add() {
    return static_cast<T*>(manager_->AddItem(T::StaticClass()));
  }
  TdxBarButton* CheckButton(Integer AGroup) {
    auto* b = Add<TdxBarButton>();
    b->SetButtonStyle(bsChecked);
    b->SetGroupIndex(AGroup);
    return b;
  }
  TdxBarCombo* Combo(Integer ACount) {
    auto* combo = Add<TdxBarCombo>();
    for (Integer i = 0; i < ACount; ++i)
      combo->Items()->Add("Entry " + IntToStr(i));
    return combo;
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
};

std::vector<bool> DownStates(std::initializer_list<TdxBarButton*> AButtons) {
  std::vector<bool> result;
  for (TdxBarButton* b : AButtons) result.push_back(b->Down());
  return result;
}

TEST_F(BarItemKindsTest, AGroupKeepsAtMostOneButtonDown) {
  TdxBarButton* a = CheckButton(1);
  TdxBarButton* b = CheckButton(1);
  TdxBarButton* c = CheckButton(1);
  TdxBarButton* other = CheckButton(2);
  other->SetDown(true);

  a->SetDown(true);
  EXPECT_EQ(DownStates({a, b, c}), (std::vector<bool>{true, false, false}));
  b->SetDown(true);
  EXPECT_EQ(DownStates({a, b, c}), (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(other->Down()) << "another group is not touched";

  // The last button down cannot be raised on its own...
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  // ...until the group allows all up; one member's setting is the group's.
  c->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_FALSE(other->AllowAllUp());
  b->SetDown(false);
  EXPECT_EQ(DownStates({a, b, c}), (std::vector<bool>{false, false, false}));
}

TEST_F(BarItemKindsTest, OnlyCheckButtonsGoDownOrJoinGroups) {
  auto* plain = Add<TdxBarButton>();
  plain->SetGroupIndex(5);
  EXPECT_EQ(0, plain->GroupIndex());
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());

  TdxBarButton* check = CheckButton(0);
  check->SetDown(true);
  ASSERT_TRUE(check->Down());
  check->SetButtonStyle(bsDefault);
  EXPECT_FALSE(check->Down()) << "losing the check style raises the button";

  struct Case {
    TdxBarButtonStyle Style;
    TdxBarButtonStates States;
  };
  for (const Case& c : {Case{bsDefault, {}}, Case{bsChecked, {bstChecked}},
                        Case{bsDropDown, {bstDropDown}},
                        Case{bsCheckedDropDown, {bstChecked, bstDropDown}}}) {
    check->SetButtonStyle(c.Style);
    EXPECT_EQ(c.Style, check->ButtonStyle());
    EXPECT_TRUE(c.States == check->InternalStates()) << int(c.Style);
  }
}

TEST_F(BarItemKindsTest, ClickingACheckButtonTogglesItOnlyWhenEnabled) {
  TdxBarButton* b = CheckButton(0);
  int clicks = 0;
  b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  b->Click();
  EXPECT_TRUE(b->Down());
  b->SetEnabled(false);
  b->Click();
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(1, clicks);
}

TEST_F(BarItemKindsTest, SeparatorsGoIntoMenusOnly) {
  auto* separator = Add<TdxBarSeparator>();
  TdxBar* bar = manager_->Bars()->Add();
  String error = "stale";
  EXPECT_FALSE(separator->CanBePlacedOn(pkBar, bar, error));
  EXPECT_EQ("A separator item cannot be placed on the specified toolbar",
            error);
  EXPECT_TRUE(separator->CanBePlacedOn(pkSubItemOrPopupMenu, nullptr, error));
  EXPECT_EQ("", error);
  EXPECT_TRUE(separator->ShowCaption());
  EXPECT_FALSE(separator->CanClicked());
  // A sub-item's links refuse it through the same answer.
  auto* sub = static_cast<TdxBarSubItem*>(manager_->AddSubItem());
  EXPECT_TRUE(sub->ItemLinks()->CanContainItem(separator, error));
}

TEST_F(BarItemKindsTest, NewItemCaptionsNameTheKind) {
  EXPECT_EQ("New Button", TdxBarButton::GetNewCaption());
  EXPECT_EQ("New Separator", TdxBarSeparator::GetNewCaption());
  EXPECT_EQ("New Item", TdxBarEdit::GetNewCaption());
}

TEST_F(BarItemKindsTest, EditsKeepSaneWidthsAndLengths) {
  auto* edit = Add<TdxBarEdit>();
  EXPECT_EQ(100, edit->GetWidth());
  EXPECT_FALSE(edit->ShowCaption());
  for (Integer bad : {0, -5}) {
    edit->SetWidth(bad);
    EXPECT_EQ(100, edit->GetWidth());
  }
  edit->SetWidth(140);
  EXPECT_EQ(140, edit->GetWidth());
  for (auto [value, stored] : {std::pair{10, 10}, {1, 1}, {0, 0}, {-3, 0}}) {
    edit->SetMaxLength(value);
    EXPECT_EQ(stored, edit->MaxLength()) << value;
  }
  EXPECT_FALSE(edit->CanClicked());
}

TEST_F(BarItemKindsTest, TextChangesFireOnChangeOnceEach) {
  auto* edit = Add<TdxBarEdit>();
  int changes = 0;
  edit->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  edit->SetText("abc");
  edit->SetText("abc");
  EXPECT_EQ(1, changes);
  // Without a control being edited, the current text is the committed one.
  edit->SetCurText("xyz");
  EXPECT_EQ("xyz", edit->Text());
  EXPECT_EQ("xyz", edit->GetCurText());
  EXPECT_EQ(2, changes);
}

TEST_F(BarItemKindsTest, WindowedKindsShowAsButtonsOnVerticalBars) {
  TdxBarItemList* list = RegdxItemList();
  for (TClass kind : {TdxBarLabel::StaticClass(), TdxBarEdit::StaticClass(),
                      TdxBarCombo::StaticClass()}) {
    bool found = false;
    for (Integer i = 0; i < list->Count(); ++i)
      found = found || list->GetItemClass(i) == kind;
    EXPECT_TRUE(found) << kind;
  }
  auto* combo = Add<TdxBarCombo>();
  EXPECT_EQ(list->GetItemControlClass(TdxBarButton::StaticClass()),
            combo->GetControlClass(true));
}

TEST_F(BarItemKindsTest, ADropDownListShowsAtMostItsCountOfRows) {
  struct Case {
    Integer Strings;
    Integer DropDownCount;
    Integer Rows;
    bool ScrollBar;
  };
  for (const Case& c :
       {Case{20, 8, 8, true}, Case{8, 8, 8, false}, Case{3, 8, 3, false},
        Case{0, 8, 0, false}, Case{5, 2, 2, true}}) {
    TdxBarCombo* combo = Combo(c.Strings);
    combo->SetDropDownCount(c.DropDownCount);
    combo->SetItemHeight(15);
    EXPECT_EQ(c.Rows, combo->GetDropDownRowCount()) << c.Strings;
    EXPECT_EQ(c.ScrollBar, combo->HasDropDownScrollBar()) << c.Strings;
    EXPECT_EQ(4 + 15 * c.Rows, combo->GetDropDownHeight()) << c.Strings;
  }
}

TEST_F(BarItemKindsTest, ADropDownListIsAsWideAsItsWidestString) {
  const Integer scroll = GetSystemMetrics(SM_CXVSCROLL);
  TdxBarCombo* combo = Combo(20);
  combo->Items()->Add(String(60, 'W'));
  Integer widest = 0;
  combo->MeasureItemWidth(combo->Items()->Count() - 1, widest);
  ASSERT_GT(widest, 100);
  EXPECT_EQ(widest + 4 + scroll, combo->GetDropDownWidth());
  // A set width is the inner width: the frame and the scroll bar come on top.
  combo->SetDropDownWidth(50);
  EXPECT_EQ(50 + 4 + scroll, combo->GetDropDownWidth());
  combo->Items()->Clear();
  EXPECT_EQ(50 + 4, combo->GetDropDownWidth());
}

TEST_F(BarItemKindsTest, NearestStringToATypedText) {
  TdxBarCombo* combo = Add<TdxBarCombo>();
  for (const char* s : {"ab", "abc", "x"}) combo->Items()->Add(s);
  struct Case {
    const char* Text;
    Integer Index;
  };
  for (const Case& c : {Case{"abc", 1},
                        {"ay", 0},
                        {"z", -1},
                        {"", -1},
                        {"AB", 0},
                        {"aBc", 1},
                        {"abcd", 1},
                        {"X", 2}})
    EXPECT_EQ(c.Index, combo->GetNearestItemIndex(c.Text)) << c.Text;
  // The first string that holds the whole text wins over an earlier one
  // with a shorter common prefix.
  combo->Items()->Clear();
  for (const char* s : {"Mars", "Maple", "Mapping"}) combo->Items()->Add(s);
  EXPECT_EQ(2, combo->GetNearestItemIndex("mapp"));
  EXPECT_EQ(1, combo->GetNearestItemIndex("map"));
}

TEST_F(BarItemKindsTest, ItemIndexFollowsTextAndFiresOnChangeEachTime) {
  TdxBarCombo* combo = Combo(3);
  int changes = 0;
  combo->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  combo->SetText("Entry 1");
  EXPECT_EQ(1, combo->ItemIndex());
  EXPECT_EQ(1, changes);
  // Same text, another index: still a change for the program.
  combo->SetItemIndex(-1);
  combo->SetText("Entry 1");
  ASSERT_EQ(1, combo->ItemIndex());
  changes = 0;
  combo->SetItemIndex(2);
  combo->SetItemIndex(1);
  EXPECT_EQ("Entry 1", combo->Text());
  EXPECT_EQ(2, changes);

  combo->SetItemIndex(7);
  EXPECT_EQ(-1, combo->ItemIndex());
  EXPECT_EQ("", combo->Text());
  combo->SetText("not listed");
  EXPECT_EQ(-1, combo->ItemIndex());

  // Strings removed under the index leave nothing selected.
  combo->SetItemIndex(2);
  combo->Items()->Delete(2);
  EXPECT_EQ(-1, combo->ItemIndex());
}

TEST_F(BarItemKindsTest, SortingKeepsTheIndexOnTheText) {
  TdxBarCombo* combo = Add<TdxBarCombo>();
  for (const char* s : {"pear", "apple", "fig"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  combo->SetSorted(true);
  EXPECT_EQ("pear", combo->Text());
  EXPECT_EQ(2, combo->ItemIndex());
}

TEST_F(BarItemKindsTest, ListCombosSendOnlyPagingKeysToTheList) {
  TdxBarCombo* list = Add<TdxBarCombo>();
  auto* plain = Add<TCustomdxBarCombo>();
  struct Case {
    Word Key;
    TShiftState Shift;
    bool List;
    bool Plain;
  };
  for (const Case& c :
       {Case{VK_DOWN, {}, true, true}, Case{VK_PRIOR, {}, true, true},
        Case{VK_DOWN, {ssShift}, false, true}, Case{'A', {}, false, true},
        Case{VK_RETURN, {}, false, false}, Case{VK_TAB, {}, false, false},
        Case{VK_ESCAPE, {}, false, false}}) {
    EXPECT_EQ(c.List, list->CheckKeyForDropDownWindow(c.Key, c.Shift)) << c.Key;
    EXPECT_EQ(c.Plain, plain->CheckKeyForDropDownWindow(c.Key, c.Shift))
        << c.Key;
  }
  plain->OnCheckKeyForDropDownWindow =
      TdxBarCheckKeyForDropDownWindowEvent::FromFunction(
          [](TCustomdxBarCombo*, Word AKey, TShiftState, bool& AResult) {
            if (AKey == VK_TAB) AResult = true;
          });
  EXPECT_TRUE(plain->CheckKeyForDropDownWindow(VK_TAB, {}));
}

}  // namespace
