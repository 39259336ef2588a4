// Repository items shared by editors: change notices, removal, lookup.
#include <gtest/gtest.h>

#include <vector>

#include "WinApi.h"
#include "cxEditRepositoryItems.h"

namespace {

class TListener : public IcxEditRepositoryItemListener {
 public:
  explicit TListener(std::vector<String>* log, String name)
      : log_(log), name_(std::move(name)) {}
  Integer QueryInterface(const TGUID&, void**) override { return -1; }
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void ItemRemoved(TcxEditRepositoryItem*) override {
    log_->push_back(name_ + " removed");
  }
  void PropertiesChanged(TcxEditRepositoryItem*) override {
    log_->push_back(name_ + " changed");
  }

 private:
  std::vector<String>* log_;
  String name_;
};

TEST(EditRepository, ListenersHearChangesAndRemovalLastFirst) {
  std::vector<String> log;
  TListener a(&log, "a");
  TListener b(&log, "b");
  TcxEditRepository repository(nullptr);
  TcxEditRepositoryItem* item =
      repository.CreateItem(TcxEditRepositoryItem::StaticClass());
  item->AddListener(&a);
  item->AddListener(&b);
  item->AddListener(&a);
  EXPECT_EQ(item->ListenerCount(), 2);
  item->Properties()->SetAutoSelect(false);
  EXPECT_EQ(log, (std::vector<String>{"b changed", "a changed"}));
  log.clear();
  item->RemoveListener(&b);
  repository.Clear();
  EXPECT_EQ(log, (std::vector<String>{"a removed"}));
  EXPECT_EQ(repository.Count(), 0);
}

TEST(EditRepository, ItemsJoinAndLeaveTheirRepository) {
  TcxEditRepository first(nullptr);
  TcxEditRepository second(nullptr);
  TcxEditRepositoryItem* item =
      first.CreateItem(TcxEditRepositoryItem::StaticClass());
  EXPECT_EQ(item->Repository(), &first);
  EXPECT_EQ(first.Items(0), item);
  EXPECT_TRUE(item->HasParent());
  EXPECT_EQ(item->GetParentComponent(), &first);
  item->SetRepository(&second);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Count(), 1);
  EXPECT_THROW(first.Items(0), EListError);
  item->SetRepository(&first);
}

TEST(EditRepository, ItemByNameIgnoresCase) {
  TcxEditRepository repository(nullptr);
  TcxEditRepositoryItem* item =
      repository.CreateItem(TcxEditRepositoryItem::StaticClass());
  item->SetName("FolderButtons");
  EXPECT_EQ(repository.ItemByName("folderBUTTONS"), item);
  EXPECT_EQ(repository.ItemByName("Folder"), nullptr);
}

class TcxEditRepositoryTestItem : public TcxEditRepositoryItem {
  VARNEL_CLASS(TcxEditRepositoryTestItem, TcxEditRepositoryItem)
 public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
};

TEST(EditRepository, BaseNameIsTheRepositoryNameAndTheKind) {
  TcxEditRepository repository(nullptr);
  repository.SetName("Repo");
  TcxEditRepositoryItem* item =
      repository.CreateItem(TcxEditRepositoryTestItem::StaticClass());
  EXPECT_EQ(item->GetBaseName(), "RepoTestItem");
  TcxEditRepositoryItem* plain =
      repository.CreateItem(TcxEditRepositoryItem::StaticClass());
  EXPECT_EQ(plain->GetBaseName(), "RepoItem");
}

TEST(EditRepository, ItemWithAnOwnerOutlivesClearOfTheRepository) {
  TComponent form(nullptr);
  TcxEditRepository repository(nullptr);
  TcxEditRepositoryItem* item =
      repository.CreateItemEx(TcxEditRepositoryItem::StaticClass(), &form);
  repository.Clear();
  EXPECT_EQ(item->Repository(), nullptr);
  EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(EditRepository, DefaultRepositoryIsMadeOnce) {
  EXPECT_EQ(GetDefaultEditRepository(), GetDefaultEditRepository());
  EXPECT_NE(GetDefaultEditRepository(), nullptr);
}

}  // namespace
