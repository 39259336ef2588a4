// The text editors' lookup data: prefix search without wrap-around, the
// key kept or reset after a failed search, Go in every direction, and the
// select-item event of SetCurrentKey.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cxTextEdit.h"

namespace {

// Properties whose editing style the test chooses.
class TStyleProps : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TStyleProps, TcxCustomTextEditProperties)
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  TcxEditEditingStyle GetEditingStyle() override { return Style; }
  TcxEditEditingStyle Style = esEdit;
};

class TStyleEdit : public TcxCustomTextEdit {
  VARNEL_CLASS(TStyleEdit, TcxCustomTextEdit)
 public:
  explicit TStyleEdit(TComponent* AOwner, bool AIsInplace = false)
      : TcxCustomTextEdit(AOwner, AIsInplace) {
    CreateProperties();
    CreateTextEditParts();
  }
  TClass GetPropertiesClass() override { return TStyleProps::StaticClass(); }
  TStyleProps* Props() { return static_cast<TStyleProps*>(Properties()); }
};

class LookupData : public ::testing::Test {
 protected:
  void Fill(std::initializer_list<const char*> AItems) {
    for (const char* item : AItems) edit_->Props()->LookupItems()->Add(item);
  }
  TcxCustomTextEditLookupData* Lookup() { return edit_->LookupData(); }
  TObjectPtr<TStyleEdit> edit_{new TStyleEdit(nullptr)};
};

TEST_F(LookupData, EveryTextEditorHasOneAndAPlainOneShowsNoList) {
  ASSERT_NE(Lookup(), nullptr);
  EXPECT_EQ(edit_->ILookupData(), Lookup());
  EXPECT_EQ(Lookup()->GetActiveControl(), nullptr);
  EXPECT_TRUE(Lookup()->IsEmpty());
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), -1);
}

TEST_F(LookupData, LocateCompletesWithTheFirstPrefixMatchAsTheItemSpellsIt) {
  Fill({"Apple", "apricot", "Banana"});
  struct Case {
    const char* typed;
    bool found;
    const char* text;
    const char* tail;
    Integer key;
  } cases[] = {
      {"a", true, "A", "pple", 0},     {"ap", true, "Ap", "ple", 0},
      {"APR", true, "apr", "icot", 1}, {"b", true, "B", "anana", 2},
      {"c", false, "c", "", -1},       {"", false, "", "", -1},
  };
  for (const Case& c : cases) {
    String text = c.typed;
    String tail;
    EXPECT_EQ(Lookup()->Locate(text, tail, false), c.found) << c.typed;
    EXPECT_EQ(text, c.text) << c.typed;
    if (c.found) {
      EXPECT_EQ(tail, c.tail) << c.typed;
    }
    EXPECT_EQ(Lookup()->CurrentKeyIndex(), c.key) << c.typed;
  }
}

TEST_F(LookupData, LocateAfterTheCurrentItemDoesNotWrapAround) {
  Fill({"ab", "x", "ac"});
  String text = "a";
  String tail;
  Lookup()->SetCurrentKey(Variant(2));
  EXPECT_FALSE(Lookup()->Locate(text, tail, true));
  Lookup()->SetCurrentKey(Variant(0));
  text = "a";
  EXPECT_TRUE(Lookup()->Locate(text, tail, true));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), 2);
}

TEST_F(LookupData,
       AnEditListKeepsItsKeyAfterAFailedSearchButNotAfterTextChanged) {
  edit_->Props()->Style = esEditList;
  Fill({"List", "Details"});
  String text = "De";
  String tail;
  ASSERT_TRUE(Lookup()->Locate(text, tail, false));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), 1);
  text = "Dx";
  EXPECT_FALSE(Lookup()->Locate(text, tail, false));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), 1);
  // A plain editor forgets it.
  edit_->Props()->Style = esEdit;
  text = "Dx";
  EXPECT_FALSE(Lookup()->Locate(text, tail, false));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), -1);
  edit_->Props()->Style = esEditList;
  Lookup()->SetCurrentKey(Variant(1));
  // A text the list does not know, put there past the editor's checks.
  edit_->InnerTextEdit()->SetEditValue(Variant("unknown"));
  Lookup()->TextChanged();
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), -1);
}

TEST_F(LookupData, MRUModeSearchesExactly) {
  Fill({"abc", "ab"});
  edit_->Props()->SetMRUMode(true);
  String text = "ab";
  String tail = "x";
  EXPECT_TRUE(Lookup()->InternalLocate(text, tail, false, true));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), 1);
  EXPECT_EQ(tail, "");
  text = "a";
  EXPECT_FALSE(Lookup()->InternalLocate(text, tail, false, true));
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), -1);
}

TEST_F(LookupData, GoMovesThroughFiveItems) {
  Fill({"0", "1", "2", "3", "4"});
  struct Case {
    Integer from;
    TcxEditLookupDataGoDirection direction;
    bool circular;
    Integer to;
  } cases[] = {
      {3, egdPageDown, false, 4},  {3, egdPageUp, false, 0},
      {4, egdNext, false, 4},      {4, egdNext, true, 0},
      {-1, egdPrev, false, -1},    {0, egdPrev, true, 4},
      {-1, egdPageDown, false, 4}, {-1, egdPageUp, false, -1},
      {-1, egdPageUp, true, 4},    {0, egdPageUp, true, 4},
      {4, egdPageDown, true, 0},   {2, egdBegin, false, 0},
      {2, egdEnd, false, 4},       {1, egdNext, false, 2},
  };
  for (const Case& c : cases) {
    Lookup()->SetCurrentKey(Variant(c.from));
    Lookup()->Go(c.direction, c.circular);
    EXPECT_EQ(Lookup()->CurrentKeyIndex(), c.to)
        << "from " << c.from << " direction " << int(c.direction)
        << " circular " << c.circular;
  }
}

TEST_F(LookupData, GoWithoutItemsDoesNothing) {
  Lookup()->Go(egdEnd, true);
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), -1);
}

TEST_F(LookupData, SameKeySelectsAgainOnlyWhenTheTextDiffers) {
  Fill({"One", "Two"});
  int selects = 0;
  Lookup()->OnSelectItem =
      TNotifyEvent::FromFunction([&](TObject*) { ++selects; });
  Lookup()->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 1);
  edit_->SetEditingTextValue("Two");
  Lookup()->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 1);
  edit_->SetEditingTextValue("two");  // differs in case
  Lookup()->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 2);
  Lookup()->SetCurrentKey(Variant(7));  // refused: no such item
  EXPECT_EQ(Lookup()->CurrentKeyIndex(), 1);
}

TEST_F(LookupData, ItemIndexSetsTheEditValueAndTheItemObject) {
  TObject marker;
  edit_->Props()->LookupItems()->Add("One");
  edit_->Props()->LookupItems()->AddObject("Two", &marker);
  edit_->SetItemIndex(1);
  EXPECT_EQ(edit_->ItemIndex(), 1);
  EXPECT_EQ(VarToStr(edit_->EditValue()), "Two");
  EXPECT_EQ(edit_->ItemObject(), &marker);
  edit_->SetItemIndex(0);
  EXPECT_EQ(VarToStr(edit_->EditValue()), "One");
  edit_->SetItemObject(&marker);
  EXPECT_EQ(edit_->ItemIndex(), 1);
  EXPECT_EQ(edit_->Text(), "Two");
}

}  // namespace
