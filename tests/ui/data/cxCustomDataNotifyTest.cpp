#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Classes.h"
#include "cxCustomData.h"

namespace {

// ---------------------------------------------------------------------------
// Listener links
// ---------------------------------------------------------------------------

TEST(DataListenerLink, LosesItsControllerWhenTheControllerGoes) {
  auto* dc = new TcxDataController();
  TObjectPtr<TcxDataListenerLink> kept =
      TcxCustomDataController::AddListenerLink(dc);
  TObjectPtr<TcxDataListenerLink> dropped =
      TcxCustomDataController::AddListenerLink(dc);
  EXPECT_EQ(kept->Ref, dc);
  // Freed while the controller lives: the controller forgets it.
  TcxCustomDataController::RemoveListenerLink(std::move(dropped));
  Free(dc);
  EXPECT_EQ(kept->Ref, nullptr);
  TcxCustomDataController::RemoveListenerLink(std::move(kept));
}

// A controller that an after-post handler frees, as a form closing in that
// event would.
TEST(DataListenerLink, PostSurvivesAnAfterPostHandlerThatFreesTheController) {
  for (bool inserting : {false, true}) {
    SCOPED_TRACE(inserting);
    auto* dc = new TcxDataController();
    dc->AddItem(nullptr);
    dc->ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc->SetRecordCount(2);
    dc->SetFocusedRowIndex(0);
    bool freed = false;
    dc->OnAfterPost = [&freed](TcxCustomDataController* ADataController) {
      // The handler itself goes with the controller: nothing after Free.
      freed = true;
      Free(ADataController);
    };
    if (inserting)
      dc->Append();
    else
      dc->Edit();
    ASSERT_TRUE(dc->SetEditValue(0, 7, evsValue));
    dc->Post();
    EXPECT_TRUE(freed);
  }
}

TEST(DataListenerLink, PostResetsTheInsertedRecordWhileTheControllerLives) {
  TcxDataController dc;
  dc.AddItem(nullptr);
  dc.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
  dc.SetUseNewItemRowForEditing(true);
  dc.SetNewItemRowFocused(true);
  dc.Insert();
  ASSERT_TRUE(dc.SetEditValue(0, 5, evsValue));
  Integer inserted = -2;
  dc.OnAfterPost = [&](TcxCustomDataController* ADataController) {
    inserted = ADataController->Provider()->InsertedRecordIndex();
  };
  dc.Post();
  EXPECT_EQ(inserted, 0);
  EXPECT_EQ(dc.Provider()->InsertedRecordIndex(), -1);
  EXPECT_EQ(dc.GetValue(0, 0).AsInteger(), 5);
}

// ---------------------------------------------------------------------------
// Notifier
// ---------------------------------------------------------------------------

class RemovalLog : public TcxDataController {
 public:
  std::vector<TComponent*> Removed;
  void RemoveNotification(TComponent* AComponent) override {
    Removed.push_back(AComponent);
    TcxDataController::RemoveNotification(AComponent);
  }
};

TEST(DataControllerNotifier, PassesOnTheRemovalOfAWatchedComponent) {
  RemovalLog dc;
  auto* watched = new TComponent(nullptr);
  auto* other = new TComponent(nullptr);
  watched->FreeNotification(dc.Notifier());
  Free(other);
  EXPECT_TRUE(dc.Removed.empty());
  Free(watched);
  EXPECT_EQ(dc.Removed, (std::vector<TComponent*>{watched}));
}

TEST(DataControllerNotifier, GoesWithItsControllerAndLeavesItsPeersWhole) {
  auto* watched = new TComponent(nullptr);
  {
    RemovalLog dc;
    watched->FreeNotification(dc.Notifier());
  }
  // The peer must not tell a notifier that is gone.
  Free(watched);
}

// ---------------------------------------------------------------------------
// Data-changed notification, its lock and loading
// ---------------------------------------------------------------------------

class DataChangedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_.AddItem(nullptr);
    dc_.ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc_.SetRecordCount(2);
    dc_.OnDataChanged = [this](TcxCustomDataController*) { ++dataChanged_; };
    dc_.OnRecordChanged = [this](TcxCustomDataController*, Integer ARecord,
                                 Integer AItem) {
      recordChanged_.push_back({ARecord, AItem});
    };
  }
  TComponent owner_{nullptr};
  TcxDataController dc_{&owner_};
  Integer dataChanged_ = 0;
  std::vector<std::pair<Integer, Integer>> recordChanged_;
};

TEST_F(DataChangedTest, ChangesWhileTheOwnerLoadsWaitForLoaded) {
  owner_.IncludeState(csLoading);
  dc_.SetValue(0, 0, 1);
  dc_.SetValue(1, 0, 2);
  EXPECT_EQ(dataChanged_, 0);
  EXPECT_TRUE(recordChanged_.empty());
  owner_.ExcludeState(csLoading);
  dc_.Loaded();
  EXPECT_EQ(dataChanged_, 1);
  EXPECT_TRUE(recordChanged_.empty());  // the whole data changed
  dc_.Loaded();                         // nothing is pending any more
  EXPECT_EQ(dataChanged_, 1);

  dc_.SetValue(1, 0, 3);
  EXPECT_EQ(dataChanged_, 2);
  EXPECT_EQ(recordChanged_, (std::vector<std::pair<Integer, Integer>>{{1, 0}}));
}

TEST_F(DataChangedTest, ListenersAreToldInOrderAndCanLeaveWhileTold) {
  std::vector<Integer> log;
  TObject a, b;
  TNotifyEvent first;
  first = TNotifyEvent::FromFunction([&](TObject*) {
    log.push_back(1);
    dc_.RemoveDataChangedListener(&a, first);
  });
  dc_.AddDataChangedListener(&a, first);
  dc_.AddDataChangedListener(
      &b, TNotifyEvent::FromFunction([&](TObject*) { log.push_back(2); }));
  dc_.SetValue(0, 0, 9);
  dc_.SetValue(0, 0, 8);
  EXPECT_EQ(log, (std::vector<Integer>{1, 2, 2}));
}

TEST_F(DataChangedTest, NotifyLockCountsAndNeverGoesBelowZero) {
  EXPECT_FALSE(dc_.DataChangedNotifyLocked());
  dc_.LockDataChangedNotify();
  dc_.LockDataChangedNotify();
  dc_.UnlockDataChangedNotify();
  EXPECT_TRUE(dc_.DataChangedNotifyLocked());
  dc_.UnlockDataChangedNotify();
  dc_.UnlockDataChangedNotify();
  EXPECT_FALSE(dc_.DataChangedNotifyLocked());
  dc_.LockDataChangedNotify();
  EXPECT_TRUE(dc_.DataChangedNotifyLocked());
}

class SummaryHook : public TcxDataController {
 public:
  Integer AfterSummary = 0;
  void DoAfterSummary() override { ++AfterSummary; }
};

TEST(DataControllerLoaded, RaisesAPendingAfterSummaryOnce) {
  SummaryHook dc;
  dc.Loaded();
  EXPECT_EQ(dc.AfterSummary, 0);
  dc.SetAfterSummaryPending(true);
  dc.Loaded();
  dc.Loaded();
  EXPECT_EQ(dc.AfterSummary, 1);
  EXPECT_FALSE(dc.AfterSummaryPending());
}

// ---------------------------------------------------------------------------
// Item operations
// ---------------------------------------------------------------------------

// A control's controller: the items live in the control's own list, named
// components with IDs.
class ItemsController : public TcxDataController {
 public:
  std::vector<TComponent*> Items;
  std::vector<Integer> IDs;
  TObject* GetItem(Integer AIndex) const override {
    CheckItemRange(AIndex);
    return Items.at(AIndex);
  }
  Integer GetItemID(TObject* AItem) const override {
    for (size_t i = 0; i < Items.size(); ++i)
      if (Items[i] == AItem) return IDs[i];
    return -1;
  }
};

class ItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* names[] = {"Alpha", "Beta", "Gamma", "Delta"};
    for (Integer i = 0; i < 4; ++i) {
      auto* item = new TComponent(&form_);
      item->SetName(names[i]);
      dc_.Items.push_back(item);
      dc_.IDs.push_back(10 + i);
      dc_.AddItem(item);
      dc_.ChangeValueTypeClass(i, TcxIntegerValueType::Class());
    }
    dc_.SetRecordCount(2);
    for (Integer r = 0; r < 2; ++r)
      for (Integer i = 0; i < 4; ++i) dc_.SetValue(r, i, 100 * i + r);
    dc_.OnUpdateControl = [this](TcxUpdateControlInfo* AInfo) {
      if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) ++layoutChanges_;
    };
  }
  std::vector<Integer> SortingItems() {
    std::vector<Integer> items;
    for (Integer i = 0; i < dc_.GetSortingItemCount(); ++i)
      items.push_back(dc_.GetSortingItemIndex(i));
    return items;
  }

  TComponent form_{nullptr};
  ItemsController dc_;
  Integer layoutChanges_ = 0;
};

TEST_F(ItemsTest, UpdateItemIndexesLetsValuesFollowTheirItems) {
  // The control moved Gamma to the front.
  std::rotate(dc_.Items.begin(), dc_.Items.begin() + 2, dc_.Items.begin() + 3);
  dc_.UpdateItemIndexes();
  EXPECT_EQ(layoutChanges_, 1);
  for (Integer i = 0; i < 4; ++i)
    EXPECT_EQ(dc_.GetItemField(i)->Item(), dc_.Items[i]);
  EXPECT_EQ(dc_.GetValue(1, 0).AsInteger(), 201);
  EXPECT_EQ(dc_.GetValue(1, 1).AsInteger(), 1);
  EXPECT_EQ(dc_.GetValue(1, 2).AsInteger(), 101);
  EXPECT_EQ(dc_.GetValue(1, 3).AsInteger(), 301);
}

TEST_F(ItemsTest, ItemsAreFoundByNameAndByID) {
  EXPECT_EQ(dc_.GetItemName(dc_.Items[1]), "Beta");
  TObject plain;
  EXPECT_EQ(dc_.GetItemName(&plain), "");
  EXPECT_EQ(dc_.FindItemByName("gAMMA"), dc_.Items[2]);
  EXPECT_EQ(dc_.FindItemByName("Epsilon"), nullptr);
  EXPECT_EQ(dc_.FindItemByInternalID(11), dc_.Items[1]);
  EXPECT_EQ(dc_.FindItemByInternalID(14), nullptr);
  EXPECT_EQ(dc_.FindProperItemLink(dc_.Items[0]), dc_.Items[0]);

  // Nothing is identified by no name or by the "no ID" answer, even when an
  // item has no name and no ID.
  dc_.Items[0]->SetName("");
  dc_.IDs[0] = -1;
  EXPECT_EQ(dc_.FindItemByName(""), nullptr);
  EXPECT_EQ(dc_.FindItemByInternalID(-1), nullptr);
  TObject stranger;
  EXPECT_EQ(dc_.FindProperItemLink(&stranger), nullptr);
}

TEST_F(ItemsTest, ItemPropertiesChangedRefreshesForSortedItemsOnly) {
  dc_.ChangeSorting(1, soDescending);
  dc_.ChangeGrouping(2, 0);
  Integer refreshes = 0;
  dc_.OnUpdateControl = [&](TcxUpdateControlInfo* AInfo) {
    if (dynamic_cast<TcxDataChangedInfo*>(AInfo)) ++refreshes;
  };
  EXPECT_FALSE(dc_.ItemPropertiesChanged(0));
  EXPECT_EQ(refreshes, 0);
  EXPECT_TRUE(dc_.ItemPropertiesChanged(1));
  EXPECT_TRUE(dc_.ItemPropertiesChanged(2));
  EXPECT_TRUE(dc_.ItemPropertiesChanged(-1));
  EXPECT_EQ(refreshes, 3);
  EXPECT_THROW(dc_.ItemPropertiesChanged(4), EcxInvalidDataControllerOperation);
}

TEST_F(ItemsTest, ChangeItemSortingIndex) {
  struct Case {
    const char* Name;
    Integer Before, Item, Index;  // Before: an item moved to 0 first
    std::vector<Integer> Sorting;
  } cases[] = {
      // Items 0 and 1 sort, item 2 groups, item 3 does neither.
      {"moves a sorted item", -1, 1, 0, {1, 0}},
      {"clamps past the end", -1, 0, 7, {1, 0}},
      {"an unsorted item stays unsorted", -1, 3, 0, {0, 1}},
      {"a grouped item sorts in its grouping order", -1, 2, 1, {0, 2, 1}},
      {"index -1 takes a grouped item out", 2, 2, -1, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    dc_.ClearSorting(false);
    dc_.ClearGrouping();
    dc_.ChangeSorting(0, soAscending);
    dc_.ChangeSorting(1, soDescending);
    dc_.ChangeGrouping(2, 0);
    if (c.Before >= 0) dc_.ChangeItemSortingIndex(c.Before, 0);
    dc_.ChangeItemSortingIndex(c.Item, c.Index);
    EXPECT_EQ(SortingItems(), c.Sorting);
    EXPECT_EQ(dc_.GetItemSortOrder(2), soAscending);
    EXPECT_EQ(dc_.GetItemSortOrder(1), soDescending);
  }
}

}  // namespace
