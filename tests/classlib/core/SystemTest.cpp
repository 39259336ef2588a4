#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "System.h"

namespace {

class TBase : public TObject {
  VARNEL_CLASS(TBase, TObject)
 public:
  int Calls = 0;
  void Hit(TObject*) { ++Calls; }
  void Other(TObject*) { Calls += 10; }
};

class TDerived : public TBase {
  VARNEL_CLASS(TDerived, TBase)
};

// Records its own destruction in a shared log.
class TLogged : public TObject {
  VARNEL_CLASS(TLogged, TObject)
 public:
  TLogged() = default;
  TLogged(std::string* Log, char Name) : log_(Log), name_(Name) {}
  ~TLogged() override {
    if (log_) *log_ += name_;
  }

 private:
  std::string* log_ = nullptr;
  char name_ = 0;
};

TEST(Ownership, OwnedCastHandsOnOrFrees) {
  std::string log;
  TObjectPtr<TObject> derived(new TDerived);
  TObject* raw = derived.get();
  TObjectPtr<TBase> base = OwnedCast<TBase>(std::move(derived));
  EXPECT_EQ(base.get(), raw);
  EXPECT_FALSE(derived);

  TObjectPtr<TBase> none =
      OwnedCast<TBase>(TObjectPtr<TObject>(new TLogged(&log, 'x')));
  EXPECT_FALSE(none);
  EXPECT_EQ(log, "x");  // freed, not leaked
}

TEST(Ownership, OwningListFreesWhatItStillHoldsLastFirst) {
  std::string log;
  auto* a = new TLogged(&log, 'a');
  auto* b = new TLogged(&log, 'b');
  auto* c = new TLogged(&log, 'c');
  TObjectPtr<TLogged> taken;
  {
    TOwningList<TLogged> list;
    list.Adopt(a);
    list.Adopt(c);
    list.AdoptAt(1, b);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1], b);
    list.Move(0, 2);  // b c a
    EXPECT_EQ(list[0], b);
    EXPECT_EQ(list[2], a);
    EXPECT_TRUE(list.Extract(c));
    EXPECT_FALSE(list.Extract(c));
    taken.reset(c);
    EXPECT_EQ(log, "");
  }
  EXPECT_EQ(log, "ab");
  taken.reset();
  EXPECT_EQ(log, "abc");
}

TEST(ClassReference, NamesParentsAndInheritance) {
  TDerived d;
  EXPECT_EQ(d.ClassName(), "TDerived");
  EXPECT_EQ(d.ClassParent(), TBase::StaticClass());
  EXPECT_TRUE(d.InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TBase().InheritsFrom(TDerived::StaticClass()));
}

TEST(ClassReference, VirtualConstructorThroughRegistry) {
  RegisterClass(TDerived::StaticClass());
  TClass cls = FindClass("tderived");
  TObjectPtr<TObject> obj = cls->NewInstance();
  EXPECT_EQ(obj->ClassType(), TDerived::StaticClass());
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
  UnRegisterClass(TDerived::StaticClass());
  EXPECT_EQ(GetClass("TDerived"), nullptr);
}

TEST(Closure, EqualityIsSameObjectAndSameMethod) {
  TBase a, b;
  TNotifyEvent e1(&a, &TBase::Hit), e2(&a, &TBase::Hit);
  TNotifyEvent e3(&b, &TBase::Hit), e4(&a, &TBase::Other);
  EXPECT_EQ(e1, e2);
  EXPECT_NE(e1, e3);
  EXPECT_NE(e1, e4);
  EXPECT_NE(e1, TNotifyEvent());
  EXPECT_EQ(TNotifyEvent(), TNotifyEvent(nullptr));
  e1(nullptr);
  e4(nullptr);
  EXPECT_EQ(a.Calls, 11);
  TNotifyEvent()(nullptr);  // unassigned: nothing happens
}

TEST(Closure, DerivedObjectWithBaseMethod) {
  TDerived d;
  TNotifyEvent e(&d, &TBase::Hit);
  e(&d);
  EXPECT_EQ(d.Calls, 1);
  EXPECT_EQ(e.Data(), static_cast<void*>(static_cast<TBase*>(&d)));
}

TEST(Exception, FormattedMessageAndHierarchy) {
  try {
    throw EReadError("Bad %s at %d", {String("value"), 7});
  } catch (const EFilerError& e) {
    EXPECT_EQ(e.Message(), "Bad value at 7");
    EXPECT_EQ(e.ClassName(), "EReadError");
    EXPECT_TRUE(e.InheritsFrom(EStreamError::StaticClass()));
  }
  EXPECT_THROW(Abort(), EAbort);
}

TEST(UnitOrder, DependenciesFirstTiesByName) {
  std::vector<TUnitInfo> units = {
      {"Main", {"Forms", "Classes"}},
      {"Forms", {"Classes", "Graphics"}},
      {"Graphics", {"Classes"}},
      {"Classes", {"System"}},
      {"System", {}},
      {"Alpha", {"System"}},
  };
  std::vector<String> want = {"System",   "Alpha", "Classes",
                              "Graphics", "Forms", "Main"};
  EXPECT_EQ(OrderUnits(units), want);
}

TEST(UnitOrder, CycleAndUnknownUnitAreErrors) {
  EXPECT_THROW(OrderUnits({{"A", {"B"}}, {"B", {"A"}}}), EInvalidOperation);
  EXPECT_THROW(OrderUnits({{"A", {"Missing"}}}), EInvalidOperation);
  EXPECT_THROW(OrderUnits({{"A", {}}, {"A", {}}}), EInvalidOperation);
}

class Counted : public TInterfacedObject {
  VARNEL_CLASS(Counted, TInterfacedObject)
 public:
  explicit Counted(bool* freed) : freed_(freed) {}
  ~Counted() override { *freed_ = true; }

 private:
  bool* freed_;
};

TEST(Interface, LastReferenceFreesTheObject) {
  bool freed = false;
  {
    TIntfPtr<IInterface> a(new Counted(&freed));
    TIntfPtr<IInterface> b = a;
    auto c = TIntfPtr<IInterface>::Query(a.get());
    EXPECT_TRUE(c);
    EXPECT_FALSE(freed);
  }
  EXPECT_TRUE(freed);
}

}  // namespace

namespace {

// The test main starts the units as the program does: every unit of the
// layer ran, each after the units it uses.
TEST(UnitOrder, LayerUnitsStartAfterWhatTheyUse) {
  std::vector<String> order = InitializedUnitOrder();
  auto at = [&](const char* name) {
    auto it = std::find(order.begin(), order.end(), name);
    EXPECT_NE(it, order.end()) << name << " was not started";
    return it - order.begin();
  };
  EXPECT_LT(at("SysUtils"), at("Classes"));
  EXPECT_LT(at("SysUtils"), at("Variants"));
}

}  // namespace
