#include <gtest/gtest.h>

#include <vector>

#include "ListItems.h"

namespace {

TEST(ListItemsTest, AddedItemsKeepTheirValuesAndPositions) {
  TListItems items;
  int data = 0;
  TListItem* first = items.Add();
  first->SetCaption("First");
  first->SetData(&data);
  first->SetChecked(true);
  TListItem* second = items.Add();
  second->SetSelected(true);

  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(items[0], first);
  EXPECT_EQ(items.Item(1), second);
  EXPECT_EQ(first->Caption(), "First");
  EXPECT_EQ(first->Data(), &data);
  EXPECT_TRUE(first->Checked());
  EXPECT_FALSE(first->Selected());
  EXPECT_EQ(second->Caption(), "");
  EXPECT_EQ(second->Data(), nullptr);
  EXPECT_FALSE(second->Checked());
  EXPECT_TRUE(second->Selected());
  EXPECT_EQ(second->Index(), 1);
  EXPECT_EQ(second->Owner(), &items);

  items.Delete(0);
  EXPECT_EQ(items.Count(), 1);
  EXPECT_EQ(second->Index(), 0);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(items.IndexOf(second), -1);
}

TEST(ListItemsTest, IndexOutOfRangeRaisesTheListError) {
  TListItems items;
  items.Add();
  for (Integer index : {-1, 1}) {
    EXPECT_THROW(items.Item(index), EListError) << index;
    EXPECT_THROW(items.Delete(index), EListError) << index;
  }
  try {
    items.Item(5);
    ADD_FAILURE() << "no error for index 5";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_EQ(items.Count(), 1);
}

// A list that records what it is told, as a list view would follow it.
class TRecordingItems : public TListItems {
 public:
  struct TEvent {
    TListItem* Item;
    TListItemChange Change;
    bool operator==(const TEvent&) const = default;
  };
  std::vector<TEvent> Events;

 protected:
  void Notify(TListItem* Item, TListItemChange Change) override {
    Events.push_back({Item, Change});
  }
};

TEST(ListItemsTest, ChangesReachTheListOnlyWhenSomethingChanges) {
  TRecordingItems items;
  TListItem* a = items.Add();
  a->SetCaption("A");
  a->SetCaption("A");
  a->SetChecked(false);  // already clear
  a->SetChecked(true);
  a->SetSelected(true);
  a->SetData(&items);
  items.Clear();
  using E = TRecordingItems::TEvent;
  EXPECT_EQ(items.Events, (std::vector<E>{{a, licAdded},
                                          {a, licCaption},
                                          {a, licChecked},
                                          {a, licSelected},
                                          {a, licData},
                                          {a, licDeleting}}));
}

TEST(ListItemsTest, SubItemsAndImageIndexReachTheList) {
  TRecordingItems items;
  TListItem* a = items.Add();
  items.Events.clear();
  a->SetImageIndex(-1);  // the default already
  a->SetImageIndex(3);
  a->SubItems()->Add("path");
  TStringList other;
  other.Add("x");
  other.Add("y");
  a->SetSubItems(&other);
  EXPECT_EQ(a->ImageIndex(), 3);
  ASSERT_EQ(a->SubItems()->Count(), 2);
  EXPECT_EQ(a->SubItems()->Strings(1), "y");
  ASSERT_GE(items.Events.size(), 3u);
  using E = TRecordingItems::TEvent;
  EXPECT_EQ(items.Events[0], (E{a, licImageIndex}));
  EXPECT_EQ(items.Events[1], (E{a, licSubItems}));
  for (const E& e : items.Events) EXPECT_NE(e.Change, licCaption);
}

TEST(ListItemsTest, WithoutAWindowItemsCannotBeEditedOrMeasured) {
  TListItems items;
  TListItem* a = items.Add();
  a->SetCaption("plain");
  EXPECT_FALSE(a->EditCaption());
  a->CancelEdit();
  EXPECT_EQ(a->Caption(), "plain");
  const TRect r = a->DisplayRect(drBounds);
  EXPECT_EQ(r.Width(), 0);
  EXPECT_EQ(r.Height(), 0);
}

TEST(ListItemsTest, ALentItemReportsTheRowItStandsFor) {
  TListItems items;
  items.Add();
  TListItem lent(&items);
  EXPECT_EQ(lent.Index(), -1);
  TListItems::SetVirtualIndex(&lent, 41);
  EXPECT_EQ(lent.Index(), 41);
  // An item of the list keeps its real place.
  TListItems::SetVirtualIndex(items.Item(0), 7);
  EXPECT_EQ(items.Item(0)->Index(), 0);
}

}  // namespace
