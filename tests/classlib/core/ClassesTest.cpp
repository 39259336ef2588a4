#include <gtest/gtest.h>

#include "Classes.h"

namespace {

// ---------------------------------------------------------------------------
// TPersistent

class TPoint2 : public TPersistent {
  VARNEL_CLASS(TPoint2, TPersistent)
 public:
  Integer X = 0;
  void Assign(TPersistent* Source) override {
    if (auto* p = dynamic_cast<TPoint2*>(Source)) {
      X = p->X;
      return;
    }
    TPersistent::Assign(Source);
  }
};

TEST(Persistent, AssignErrorsNameBothClasses) {
  TPoint2 a, b;
  b.X = 3;
  a.Assign(&b);
  EXPECT_EQ(a.X, 3);
  TPersistent other;
  try {
    a.Assign(&other);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TPoint2");
  }
  try {
    a.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TPoint2");
  }
}

// ---------------------------------------------------------------------------
// TComponent

// Records notifications; optionally drops its reference to a peer.
class TWatcher : public TComponent {
  VARNEL_CLASS(TWatcher, TComponent)
 public:
  using TComponent::TComponent;
  std::vector<String>* Log = nullptr;
  TComponent* Peer = nullptr;

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Log) {
      // The notified component must still be its real class here.
      Log->push_back(Name() + (Operation == opInsert ? " +" : " -") +
                     AComponent->ClassName() + ":" + AComponent->Name());
    }
    if (Operation == opRemove && AComponent == Peer) Peer = nullptr;
  }
};

TEST(Component, NamesAreValidatedAndUniqueWithinTheOwner) {
  TObjectPtr<TComponent> owner(new TComponent(nullptr));
  auto* a = new TComponent(owner.get());
  auto* b = new TComponent(owner.get());
  a->SetName("Button1");
  EXPECT_EQ(owner->FindComponent("BUTTON1"), a);
  try {
    b->SetName("button1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named button1 already exists");
  }
  try {
    b->SetName("1st");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "'1st' is not a valid component name");
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("BUTTON1");  // a case change of its own name is fine
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("");
  EXPECT_EQ(owner->FindComponent(""), nullptr);
  // An unowned component may take a name its former siblings use.
  TObjectPtr<TComponent> loose(new TComponent(nullptr));
  loose->SetName("Button1");
}

class TTracked : public TComponent {
  VARNEL_CLASS(TTracked, TComponent)
 public:
  TTracked(TComponent* owner, std::vector<String>* log, const char* name)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~TTracked() override { log_->push_back(Name()); }

 private:
  std::vector<String>* log_;
};

TEST(Component, OwnerFreesItsComponentsLastInsertedFirst) {
  std::vector<String> freed;
  {
    TObjectPtr<TComponent> owner(new TComponent(nullptr));
    new TTracked(owner.get(), &freed, "A");
    auto* b = new TTracked(owner.get(), &freed, "B");
    new TTracked(b, &freed, "B1");
    new TTracked(owner.get(), &freed, "C");
    EXPECT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(b->ComponentIndex(), 1);
  }
  EXPECT_EQ(freed, (std::vector<String>{"C", "B", "B1", "A"}));
}

TEST(Component, FreeingAChildTellsOwnerAndSiblingsWhileWhole) {
  std::vector<String> log;
  TObjectPtr<TWatcher> owner(new TWatcher(nullptr));
  owner->SetName("Form");
  owner->Log = &log;
  auto* sibling = new TWatcher(owner.get());
  sibling->SetName("Sib");
  auto* child = new TWatcher(owner.get());
  child->SetName("Child");
  sibling->Log = &log;
  log.clear();

  Free(child);
  EXPECT_EQ(owner->ComponentCount(), 1);
  // The owner passes the notice to its components, last first.
  EXPECT_EQ(log, (std::vector<String>{"Sib -TWatcher:Child",
                                      "Form -TWatcher:Child"}));
  EXPECT_EQ(owner->FindComponent("Child"), nullptr);
}

TEST(Component, FreeNotificationReachesPeersInBothDirections) {
  TObjectPtr<TComponent> form1(new TComponent(nullptr));
  TObjectPtr<TComponent> form2(new TComponent(nullptr));
  auto* a = new TWatcher(form1.get());
  auto* b = new TWatcher(form2.get());
  a->Peer = b;
  b->Peer = a;
  a->FreeNotification(b);
  EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));

  Free(b);
  EXPECT_EQ(a->Peer, nullptr);

  // The link went with b: freeing a now calls nothing freed (ASan would
  // catch a call into b).
  a->Peer = nullptr;
  Free(a);
  EXPECT_EQ(form1->ComponentCount(), 0);
}

TEST(Component, RemovedFreeNotificationIsNotCalledAndFreedPeerIsForgotten) {
  auto* a = new TWatcher(nullptr);
  auto* b = new TWatcher(nullptr);
  a->Peer = b;
  a->FreeNotification(b);
  a->RemoveFreeNotification(b);
  Free(b);
  EXPECT_EQ(a->Peer, b);  // not told: the link was removed (b is gone)
  a->Peer = nullptr;

  // A peer freed first must not be called when the other side goes.
  auto* c = new TWatcher(nullptr);
  std::vector<String> log;
  c->Log = &log;
  a->FreeNotification(c);
  Free(c);
  Free(a);
  EXPECT_TRUE(log.empty());
}

TEST(Component, FreeingTheOwnerNotifiesPeersOfEachChild) {
  TObjectPtr<TComponent> other(new TComponent(nullptr));
  auto* watcher = new TWatcher(other.get());
  {
    TObjectPtr<TComponent> form(new TComponent(nullptr));
    auto* child = new TComponent(form.get());
    watcher->Peer = child;
    watcher->FreeNotification(child);
  }
  EXPECT_EQ(watcher->Peer, nullptr);
}

TEST(Component, PlainDeleteIsSafe) {
  TObjectPtr<TWatcher> peer(new TWatcher(nullptr));
  std::unique_ptr<TComponent> owner(new TComponent(nullptr));
  auto* child = new TComponent(owner.get());
  peer->Peer = child;
  peer->FreeNotification(child);
  owner.reset();  // plain delete: the same steps run from the destructor
  EXPECT_EQ(peer->Peer, nullptr);
}

TEST(Component, InsertRemoveNotifyAndMovingToAnotherOwner) {
  std::vector<String> log;
  TObjectPtr<TWatcher> owner(new TWatcher(nullptr));
  owner->SetName("O");
  owner->Log = &log;
  TObjectPtr<TComponent> owner2(new TComponent(nullptr));
  auto* c = new TComponent(owner.get());
  EXPECT_EQ(log, (std::vector<String>{"O +TComponent:"}));
  owner2->InsertComponent(c);
  EXPECT_EQ(c->Owner(), owner2.get());
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(log.back(), "O -TComponent:");
  EXPECT_THROW(owner->Components(0), EListError);
}

TEST(Component, StateFlagsAndHooks) {
  TObjectPtr<TComponent> owner(new TComponent(nullptr));
  auto* c = new TComponent(owner.get());
  owner->SetDesigning(true);
  EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
  auto* late = new TComponent(owner.get());
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  c->IncludeState(csLoading);
  c->Loaded();
  EXPECT_FALSE(c->ComponentState().Contains(csLoading));
  c->Updating();
  EXPECT_TRUE(c->ComponentState().Contains(csUpdating));
  c->Updated();
  EXPECT_FALSE(c->ComponentState().Contains(csUpdating));
  EXPECT_EQ(c->GetChildParent(), c);
  EXPECT_FALSE(c->HasParent());
  void* intf = nullptr;
  EXPECT_EQ(c->QueryInterface(IInterface::IID, &intf), S_OK_);
  EXPECT_EQ(c->_AddRef(), -1);
}

TEST(Component, VirtualConstructorGetsTheOwner) {
  TObjectPtr<TComponent> owner(new TComponent(nullptr));
  // The owner frees it.
  TObject* obj = TWatcher::StaticClass()->NewInstance(owner.get()).release();
  ASSERT_NE(dynamic_cast<TWatcher*>(obj), nullptr);
  EXPECT_EQ(owner->Components(0), obj);
}

// ---------------------------------------------------------------------------
// TCollection

class TNamedItem : public TCollectionItem {
  VARNEL_CLASS(TNamedItem, TCollectionItem)
 public:
  explicit TNamedItem(TCollection* c) : TCollectionItem(c) {}
  String Label;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TNamedItem*>(Source)) {
      Label = s->Label;
      return;
    }
    TCollectionItem::Assign(Source);
  }

 protected:
  String GetDisplayName() override {
    return Label.empty() ? TCollectionItem::GetDisplayName() : Label;
  }
};

// Logs Update and Notify calls; checks items are whole when notified.
class TLogCollection : public TCollection {
  VARNEL_CLASS(TLogCollection, TCollection)
 public:
  TLogCollection() : TCollection(TNamedItem::StaticClass()) {}
  std::vector<String> Log;

  String Order() {
    String r;
    for (Integer i = 0; i < Count(); ++i) r += Item<TNamedItem>(i)->Label;
    return r;
  }

 protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back(Item ? "update " + static_cast<TNamedItem*>(Item)->Label
                       : "update all");
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(String(names[Action]) + " " + Item->ClassName());
  }
};

TNamedItem* AddNamed(TCollection& c, const char* label) {
  auto* item = static_cast<TNamedItem*>(c.Add());
  item->Label = label;
  return item;
}

TEST(Collection, AddNotifiesOnceTheItemIsComplete) {
  TLogCollection c;
  TNamedItem* item = AddNamed(c, "a");
  EXPECT_EQ(c.Log, (std::vector<String>{"added TNamedItem", "update all"}));
  EXPECT_EQ(item->Collection(), &c);
  EXPECT_EQ(item->ID(), 0);
  EXPECT_EQ(AddNamed(c, "b")->ID(), 1);
  EXPECT_EQ(c.NextID(), 2);
  EXPECT_EQ(c.FindItemID(1)->Index(), 1);
  EXPECT_EQ(c.FindItemID(5), nullptr);
}

TEST(Collection, IndexMovesTable) {
  struct Case {
    Integer from, to;
    const char* order;
  };
  const Case cases[] = {
      {0, 3, "bcda"}, {3, 0, "dabc"}, {1, 2, "acbd"},
      {2, 1, "acbd"}, {0, 0, "abcd"}, {3, 3, "abcd"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(std::to_string(t.from) + "->" + std::to_string(t.to));
    TLogCollection c;
    for (const char* l : {"a", "b", "c", "d"}) AddNamed(c, l);
    c.Log.clear();
    c.Items(t.from)->SetIndex(t.to);
    EXPECT_EQ(c.Order(), t.order);
    std::vector<String> expected;
    if (t.from != t.to) expected.push_back("update all");
    EXPECT_EQ(c.Log, expected);
  }
}

TEST(Collection, IndexOutOfRangeRaisesAndKeepsOrder) {
  TLogCollection c;
  for (const char* l : {"a", "b"}) AddNamed(c, l);
  try {
    c.Items(0)->SetIndex(2);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(c.Items(0)->SetIndex(-1), EListError);
  EXPECT_THROW(c.Items(2), EListError);
  EXPECT_EQ(c.Order(), "ab");
}

TEST(Collection, InsertDeleteClearAndUpdateBatching) {
  TLogCollection c;
  for (const char* l : {"a", "b"}) AddNamed(c, l);
  auto* x = static_cast<TNamedItem*>(c.Insert(1));
  x->Label = "x";
  EXPECT_EQ(c.Order(), "axb");
  c.Log.clear();
  c.Delete(1);
  EXPECT_EQ(c.Order(), "ab");
  EXPECT_EQ(c.Log,
            (std::vector<String>{"deleting TNamedItem", "extracting TNamedItem",
                                 "update all"}));
  c.Log.clear();
  c.BeginUpdate();
  AddNamed(c, "c");
  c.Items(0)->SetIndex(2);
  EXPECT_EQ(c.Log, (std::vector<String>{"added TNamedItem"}));
  c.EndUpdate();
  EXPECT_EQ(c.Log.back(), "update all");
  EXPECT_EQ(c.UpdateCount(), 0);
  c.Log.clear();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Log.back(), "update all");
  EXPECT_EQ(std::count(c.Log.begin(), c.Log.end(), "update all"), 1);
}

TEST(Collection, FreeingAnItemRemovesItAndMovingBetweenCollections) {
  TLogCollection c, d;
  TNamedItem* a = AddNamed(c, "a");
  AddNamed(c, "b");
  a->SetCollection(&d);
  EXPECT_EQ(c.Order(), "b");
  EXPECT_EQ(d.Order(), "a");
  Free(a);
  EXPECT_EQ(d.Count(), 0);
  // An item created directly joins (and is owned by) the collection.
  auto* direct = new TNamedItem(&c);
  direct->Label = "z";
  EXPECT_EQ(c.Order(), "bz");
}

TEST(Collection, AssignCopiesItemsAndDisplayNames) {
  TLogCollection c, d;
  AddNamed(c, "a");
  AddNamed(c, "b");
  AddNamed(d, "old");
  d.Assign(&c);
  EXPECT_EQ(d.Order(), "ab");
  EXPECT_EQ(d.Items(1)->DisplayName(), "b");
  TPoint2 p;
  EXPECT_THROW(d.Assign(&p), EConvertError);
  d.Assign(&d);
  EXPECT_EQ(d.Order(), "ab");
}

class TOwnerComp : public TComponent {
  VARNEL_CLASS(TOwnerComp, TComponent)
 public:
  explicit TOwnerComp(TComponent* o)
      : TComponent(o), Items(this, TNamedItem::StaticClass()) {}
  TCollection* GetItems() { return &Items; }
  TOwnedCollection Items;
};

TEST(Collection, NamePathUsesTheOwnersPublishedProperty) {
  TPublished<TOwnerComp>().Property("Items", &TOwnerComp::GetItems);
  TOwnerComp comp(nullptr);
  comp.SetName("Grid");
  AddNamed(comp.Items, "a");
  AddNamed(comp.Items, "b");
  EXPECT_EQ(comp.Items.Owner(), &comp);
  EXPECT_EQ(comp.Items.GetNamePath(), "Grid.Items");
  EXPECT_EQ(comp.Items.Items(1)->GetNamePath(), "Grid.Items[1]");
  TLogCollection loose;
  EXPECT_EQ(loose.GetNamePath(), "TLogCollection");
  UnpublishClass(TOwnerComp::StaticClass());
}

}  // namespace
