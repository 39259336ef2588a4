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

}  // namespace
