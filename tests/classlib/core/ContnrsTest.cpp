#include <gtest/gtest.h>

#include <thread>

#include "Contnrs.h"

namespace {

TEST(List, IndexErrorsCarryTheBadValue) {
  struct Case {
    const char* what;
    std::function<void(TList&)> op;
    const char* message;
  };
  const Case cases[] = {
      {"Get", [](TList& l) { l.Get(3); }, "List index out of bounds (3)"},
      {"Delete", [](TList& l) { l.Delete(-1); },
       "List index out of bounds (-1)"},
      {"Insert", [](TList& l) { l.Insert(4, nullptr); },
       "List index out of bounds (4)"},
      {"Move", [](TList& l) { l.Move(0, 9); }, "List index out of bounds (9)"},
      {"Exchange", [](TList& l) { l.Exchange(0, 5); },
       "List index out of bounds (5)"},
      {"Capacity", [](TList& l) { l.SetCapacity(1); },
       "List capacity out of bounds (1)"},
      {"Count", [](TList& l) { l.SetCount(-2); },
       "List count out of bounds (-2)"},
  };
  int a = 0, b = 0, c = 0;
  for (const auto& t : cases) {
    SCOPED_TRACE(t.what);
    TList l;
    l.Add(&a);
    l.Add(&b);
    l.Add(&c);
    try {
      t.op(l);
      FAIL();
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), t.message);
    }
    EXPECT_EQ(l.Count(), 3);
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, EditingOperations) {
  int v[5] = {};
  TList l;
  for (int& x : v) l.Add(&x);
  l.Move(0, 4);
  EXPECT_EQ(l[4], &v[0]);
  l.Exchange(0, 1);
  EXPECT_EQ(l.First(), &v[2]);
  EXPECT_EQ(l.Remove(&v[3]), 2);
  EXPECT_EQ(l.Remove(&v[3]), -1);
  EXPECT_EQ(l.Extract(&v[1]), &v[1]);
  EXPECT_EQ(l.Extract(&v[1]), nullptr);
  l.SetCount(5);
  EXPECT_EQ(l[4], nullptr);
  l.Pack();
  EXPECT_EQ(l.Count(), 3);
  EXPECT_GE(l.Expand()->Capacity(), l.Count() + 1);
  l.Sort([](void* x, void* y) { return x < y ? -1 : x > y ? 1 : 0; });
  EXPECT_EQ(l[0], &v[0]);
  EXPECT_EQ(l[2], &v[4]);
  TList copy;
  copy.Assign(&l);
  EXPECT_EQ(copy.Count(), 3);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.Capacity(), 0);
}

class TCounted : public TObject {
  VARNEL_CLASS(TCounted, TObject)
 public:
  explicit TCounted(int* live) : live_(live) { ++*live_; }
  ~TCounted() override { --*live_; }

 private:
  int* live_;
};

TEST(ObjectList, OwnsWhatItHoldsUnlessExtracted) {
  int live = 0;
  TCounted* kept;
  {
    TObjectList l;
    l.Add(new TCounted(&live));
    kept = new TCounted(&live);
    l.Add(kept);
    l.Add(new TCounted(&live));
    l.Delete(0);
    EXPECT_EQ(live, 2);
    EXPECT_EQ(l.Extract(kept), kept);
    l.SetItems(0, new TCounted(&live));  // replaces and frees the old one
    EXPECT_EQ(live, 2);
    EXPECT_EQ(l.FindInstanceOf(TCounted::StaticClass()), 0);
    EXPECT_EQ(l.FindInstanceOf(TObject::StaticClass(), true), -1);
    EXPECT_EQ(l.FindInstanceOf(TObject::StaticClass(), false), 0);
  }
  EXPECT_EQ(live, 1);
  Free(kept);
  TObjectList notOwning(false);
  TCounted stack(&live);
  notOwning.Add(&stack);
  notOwning.Clear();
  EXPECT_EQ(live, 1);
}

TEST(ComponentList, DropsComponentsFreedElsewhere) {
  TObjectPtr<TComponent> owner(new TComponent(nullptr));
  auto* a = new TComponent(owner.get());
  auto* b = new TComponent(owner.get());
  {
    TComponentList list(false);
    list.Add(a);
    list.Add(b);
    list.Add(a);
    Free(a);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], b);
  }
  // The list is gone: freeing b must not reach it (ASan would see it).
  Free(b);

  // An owning list frees its components; their owner forgets them.
  auto* c = new TComponent(owner.get());
  {
    TComponentList owning;
    owning.Add(c);
  }
  EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST(ClassList, HoldsClassReferences) {
  TClassList l;
  l.Add(TComponent::StaticClass());
  l.Add(TList::StaticClass());
  EXPECT_EQ(l.IndexOf(TList::StaticClass()), 1);
  EXPECT_EQ(l[0], TComponent::StaticClass());
  EXPECT_EQ(l.Remove(TComponent::StaticClass()), 0);
  EXPECT_EQ(l.First(), TList::StaticClass());
}

TEST(ThreadList, DuplicatesAndLocking) {
  TThreadList l;
  int x = 0;
  l.Add(&x);
  l.Add(&x);  // ignored by default
  EXPECT_EQ(l.LockList()->Count(), 1);
  l.UnlockList();
  l.SetDuplicates(dupError);
  EXPECT_THROW(l.Add(&x), EListError);
  l.SetDuplicates(dupAccept);
  std::vector<int> values(200);
  std::thread t([&] {
    for (int i = 0; i < 100; ++i) l.Add(&values[i]);
  });
  for (int i = 100; i < 200; ++i) l.Add(&values[i]);
  t.join();
  EXPECT_EQ(l.LockList()->Count(), 201);
  l.UnlockList();
}

class TIntf : public TInterfacedObject {
  VARNEL_CLASS(TIntf, TInterfacedObject)
 public:
  explicit TIntf(int* live) : live_(live) { ++*live_; }
  ~TIntf() override { --*live_; }

 private:
  int* live_;
};

TEST(InterfaceList, HoldsCountedReferences) {
  int live = 0;
  TIntfPtr<TInterfaceList> list(new TInterfaceList);
  TIntfPtr<IInterface> a(new TIntf(&live));
  list->Add(a);
  list->Add(TIntfPtr<IInterface>(new TIntf(&live)));
  EXPECT_EQ(list->IndexOf(a), 0);
  list->Exchange(0, 1);
  EXPECT_EQ(list->Last(), a);
  a.reset();
  EXPECT_EQ(live, 2);
  EXPECT_EQ(list->Remove(list->Last()), 1);
  EXPECT_EQ(live, 1);
  EXPECT_THROW(list->Get(3), EListError);
  list->Clear();
  EXPECT_EQ(live, 0);
}

}  // namespace
