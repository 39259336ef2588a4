#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "StringsHelpers.h"
#include "cxClasses.h"

namespace {

// ---------------------------------------------------------------------------
// Resource strings
// ---------------------------------------------------------------------------

inline constexpr TcxResourceString sFirst{1, "first text"};
inline constexpr TcxResourceString sSecond{2, "second text"};
// Another record with the same text as sFirst.
inline constexpr TcxResourceString sFirstAgain{3, "first text"};

class ResourceStringTest : public testing::Test {
 protected:
  void SetUp() override { cxClearResourceStrings(); }
  void TearDown() override { cxClearResourceStrings(); }
};

TEST_F(ResourceStringTest, OwnTextUntilReplaced) {
  EXPECT_EQ(cxGetResourceString(sFirst), "first text");
  EXPECT_EQ(cxGetResourceString(scxCantOpenRegistryKey),
            "Can't open the registry key: \\%s");
  EXPECT_EQ(cxGetResourceString(cxSDateWednesday), "Wednesday");
  EXPECT_EQ(cxSDateWednesday.Identifier, 64992);
  EXPECT_EQ(cxGetResourceString(String("any text")), "any text");
}

TEST_F(ResourceStringTest, ReplacingByRecordTouchesOnlyThatRecord) {
  cxSetResourceString(sFirst, "erster");
  EXPECT_EQ(cxGetResourceString(sFirst), "erster");
  EXPECT_EQ(cxGetResourceString(sFirstAgain), "first text");
  EXPECT_EQ(cxGetResourceString(sSecond), "second text");
  cxSetResourceString(sFirst, "premier");
  EXPECT_EQ(cxGetResourceString(sFirst), "premier");
  // A text lookup finds the replacement registered for that text.
  EXPECT_EQ(cxGetResourceStringNet("first text"), "premier");
  EXPECT_EQ(cxGetResourceStringNet("second text"), "second text");
}

TEST_F(ResourceStringTest, ReplacingByTextTouchesEveryRecordWithThatText) {
  cxSetResourceStringNet("first text", "erster");
  EXPECT_EQ(cxGetResourceString(sFirst), "erster");
  EXPECT_EQ(cxGetResourceString(sFirstAgain), "erster");
  EXPECT_EQ(cxGetResourceString(sSecond), "second text");
  EXPECT_EQ(cxGetResourceString(String("first text")), "erster");
  EXPECT_EQ(cxGetResourceStringNet("first text"), "erster");
  cxSetResourceStringNet("first text", "premier");
  EXPECT_EQ(cxGetResourceString(sFirst), "premier");
  // Exact text only.
  EXPECT_EQ(cxGetResourceStringNet("First text"), "First text");
}

TEST_F(ResourceStringTest, TheTwoKindsCannotBeMixed) {
  const String mixMessage =
      "You cannot mix cxSetResourceString and cxSetResourceStringNet calls";
  cxSetResourceString(sFirst, "erster");
  try {
    cxSetResourceStringNet("second text", "zweiter");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), mixMessage);
  }
  EXPECT_EQ(cxGetResourceString(sSecond), "second text");
  EXPECT_EQ(cxGetResourceString(sFirst), "erster");

  cxClearResourceStrings();
  cxSetResourceStringNet("second text", "zweiter");
  try {
    cxSetResourceString(sFirst, "erster");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), mixMessage);
  }
  EXPECT_EQ(cxGetResourceString(sFirst), "first text");
  EXPECT_EQ(cxGetResourceString(sSecond), "zweiter");
}

// ---------------------------------------------------------------------------
// Class registries
// ---------------------------------------------------------------------------

class TBase : public TObject {
  VARNEL_CLASS(TBase, TObject)
};
class TChild : public TBase {
  VARNEL_CLASS(TChild, TBase)
};
class TGrandChild : public TChild {
  VARNEL_CLASS(TGrandChild, TChild)
};
class TOther : public TObject {
  VARNEL_CLASS(TOther, TObject)
};
class TMapA : public TObject {
  VARNEL_CLASS(TMapA, TObject)
};
class TMapB : public TObject {
  VARNEL_CLASS(TMapB, TObject)
};
class TMapC : public TObject {
  VARNEL_CLASS(TMapC, TObject)
};

TClass Base() { return TBase::StaticClass(); }
TClass Child() { return TChild::StaticClass(); }
TClass GrandChild() { return TGrandChild::StaticClass(); }

std::vector<TClass> KeyOrder(const TcxRegisteredClassList& list) {
  std::vector<TClass> keys;
  for (Integer i = 0; i < list.GetCount(); ++i) {
    keys.push_back(list.GetItem(i).KeyClass);
  }
  return keys;
}

TEST(RegisteredClassListTest, NearestRegisteredAncestorAnswers) {
  TcxRegisteredClassList list;
  list.Register(Child(), TMapA::StaticClass());
  list.Register(Base(), TMapB::StaticClass());
  // The ancestor's pair goes before its descendant's.
  EXPECT_EQ(KeyOrder(list), (std::vector<TClass>{Base(), Child()}));
  struct Case {
    TClass asked;
    TClass mapped;
  };
  const Case cases[] = {{GrandChild(), TMapA::StaticClass()},
                        {Child(), TMapA::StaticClass()},
                        {Base(), TMapB::StaticClass()},
                        {TOther::StaticClass(), nullptr},
                        {TObject::StaticClass(), nullptr}};
  for (const Case& c : cases) {
    EXPECT_EQ(list.FindClass(c.asked), c.mapped) << c.asked->Name;
  }
}

TEST(RegisteredClassListTest, FindReportsWhereADescendantStands) {
  TcxRegisteredClassList list;
  list.Register(TOther::StaticClass(), TMapA::StaticClass());
  list.Register(GrandChild(), TMapA::StaticClass());
  list.Register(Child(), TMapB::StaticClass());
  EXPECT_EQ(KeyOrder(list), (std::vector<TClass>{TOther::StaticClass(), Child(),
                                                 GrandChild()}));
  Integer index = -1;
  EXPECT_FALSE(list.Find(Base(), index));
  EXPECT_EQ(index, 1);  // the lowest pair of a descendant
  index = -1;
  EXPECT_FALSE(list.Find(TMapC::StaticClass(), index));
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(list.Find(GrandChild(), index));
  EXPECT_EQ(index, 2);
}

TEST(RegisteredClassListTest, LaterRegistrationWinsUntilUnregistered) {
  TcxRegisteredClassList list;
  list.Register(Child(), TMapA::StaticClass());
  list.Register(Child(), TMapB::StaticClass());
  EXPECT_EQ(list.FindClass(GrandChild()), TMapB::StaticClass());
  list.Unregister(Child(), TMapB::StaticClass());
  EXPECT_EQ(list.FindClass(GrandChild()), TMapA::StaticClass());
  list.Unregister(Child(), TMapB::StaticClass());  // gone already
  list.Unregister(Child(), TMapA::StaticClass());
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.FindClass(Child()), nullptr);
  EXPECT_THROW(list.GetItem(0), EListError);
}

TEST(RegisteredClassesTest, DescriptionAndHintSplitAtTheFirstBar) {
  TcxRegisteredClasses classes;
  classes.Register(Base(), "Text Edit|Plain text editor");
  classes.Register(Child(), "Memo");
  classes.Register(GrandChild(), "A|b|c");
  struct Case {
    TClass cls;
    const char* description;
    const char* hint;
  };
  const Case cases[] = {{Base(), "Text Edit", "Plain text editor"},
                        {Child(), "Memo", "Memo"},
                        {GrandChild(), "A", "b|c"},
                        {TOther::StaticClass(), "", ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(classes.GetDescriptionByClass(c.cls), c.description);
    EXPECT_EQ(classes.GetHintByClass(c.cls), c.hint);
  }
  EXPECT_EQ(classes.GetDescription(0), "Text Edit");
  EXPECT_EQ(classes.GetHint(0), "Plain text editor");
  EXPECT_EQ(classes.Descriptions(1), "Memo");
  EXPECT_THROW(classes.GetDescription(3), EListError);
}

TEST(RegisteredClassesTest, LookupsAreExact) {
  TcxRegisteredClasses classes;
  classes.Register(Base(), "Text Edit|Plain");
  classes.Register(Base(), "Again");  // already there: ignored
  EXPECT_EQ(classes.Count(), 1);
  EXPECT_EQ(classes.GetDescription(0), "Text Edit");
  EXPECT_EQ(classes.FindByClassName("TBase"), Base());
  EXPECT_EQ(classes.FindByClassName("tbase"), nullptr);
  EXPECT_EQ(classes.FindByDescription("Text Edit"), Base());
  EXPECT_EQ(classes.FindByDescription("Text Edit|Plain"), nullptr);
  EXPECT_EQ(classes.FindByDescription("text edit"), nullptr);
  classes.Unregister(Base());
  EXPECT_EQ(classes.Count(), 0);
  EXPECT_EQ(classes.FindByClassName("TBase"), nullptr);
}

TEST(RegisteredClassesTest, KeepSortedOrdersByDescriptionWithoutCase) {
  TcxRegisteredClasses classes;
  classes.Register(Base(), "memo|z");
  classes.Register(Child(), "Button|y");
  classes.Register(GrandChild(), "Label");
  EXPECT_EQ(classes.Items(0), Base());  // registration order
  classes.SetKeepSorted(true);
  EXPECT_EQ(classes.Descriptions(0), "Button");
  EXPECT_EQ(classes.Descriptions(1), "Label");
  EXPECT_EQ(classes.Descriptions(2), "memo");
  classes.Register(TOther::StaticClass(), "check");
  EXPECT_EQ(classes.Descriptions(1), "check");
  EXPECT_EQ(classes.Items(1), TOther::StaticClass());
}

class TStreamed : public TObject {
  VARNEL_CLASS(TStreamed, TObject)
};

TEST(RegisteredClassesTest, CanRegisterForStreaming) {
  TcxRegisteredClasses plain;
  plain.Register(TStreamed::StaticClass(), "S");
  EXPECT_EQ(GetClass("TStreamed"), nullptr);
  TcxRegisteredClasses streamed(true);
  streamed.Register(TStreamed::StaticClass(), "S");
  EXPECT_EQ(GetClass("TStreamed"), TStreamed::StaticClass());
  UnRegisterClass(TStreamed::StaticClass());
}

// ---------------------------------------------------------------------------
// Weak links, owning lists, collections, free notifications
// ---------------------------------------------------------------------------

TEST(ObjectLinkTest, LinksToADestroyedComponentAreCleared) {
  TObjectPtr<TcxComponent> watched(new TcxComponent(nullptr));
  TObjectPtr<TcxComponent> other(new TcxComponent(nullptr));
  TcxObjectLink* first = cxAddObjectLink(watched.get());
  TcxObjectLink* second = cxAddObjectLink(watched.get());
  TcxObjectLink* toOther = cxAddObjectLink(other.get());
  EXPECT_EQ(cxAddObjectLink(nullptr), nullptr);
  ASSERT_EQ(first->Target, watched.get());
  cxRemoveObjectLink(second);  // a link given back early is simply gone
  watched.reset();
  EXPECT_EQ(first->Target, nullptr);
  EXPECT_EQ(toOther->Target, other.get());
  cxRemoveObjectLink(first);
  cxRemoveObjectLink(toOther);
  cxRemoveObjectLink(nullptr);
}

TEST(ObjectLinkTest, PlainObjectsClearTheirLinksThemselves) {
  TObject target;
  TcxObjectLink* link = cxAddObjectLink(&target);
  cxClearObjectLinks(&target);
  EXPECT_EQ(link->Target, nullptr);
  cxClearObjectLinks(&target);  // nothing left to clear
  cxRemoveObjectLink(link);
}

// Counts its own destructions.
class TCounted : public TObject {
  VARNEL_CLASS(TCounted, TObject)
 public:
  explicit TCounted(int* destroyed = nullptr) : destroyed_(destroyed) {}
  ~TCounted() override {
    if (destroyed_) ++*destroyed_;
  }

 private:
  int* destroyed_;
};

TEST(ObjectListTest, ClearAndDestructionFreeTheEntries) {
  int destroyed = 0;
  {
    TcxObjectList list;
    list.Add(new TCounted(&destroyed));
    list.Add(new TCounted(&destroyed));
    list.Clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(list.Count(), 0);
    list.Add(new TCounted(&destroyed));
    auto* extracted = new TCounted(&destroyed);
    list.Add(extracted);
    // An extracted entry belongs to the caller again.
    TObjectPtr<TCounted> owner(static_cast<TCounted*>(list.Extract(extracted)));
    EXPECT_EQ(list.Count(), 1);
  }
  EXPECT_EQ(destroyed, 4);
}

TEST(OpenListTest, SettingBeyondTheEndGrowsTheList) {
  TcxOpenList list;
  int a = 0, b = 0;
  list.SetItem(3, &a);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Get(3), &a);
  list.SetItem(1, &b);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_THROW(list.SetItem(-1, &a), EListError);
}

class TNamedItem : public TCollectionItem {
  VARNEL_CLASS(TNamedItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  void Assign(TPersistent* Source) override {
    if (auto* other = dynamic_cast<TNamedItem*>(Source)) {
      name = other->name;
    } else {
      inherited::Assign(Source);
    }
  }
  String name;
};

void FillNames(TCollection& c, std::initializer_list<const char*> names) {
  c.Clear();
  for (const char* n : names) static_cast<TNamedItem*>(c.Add())->name = n;
}

std::vector<String> Names(const TCollection& c) {
  std::vector<String> out;
  for (Integer i = 0; i < c.Count(); ++i) {
    out.push_back(c.Item<TNamedItem>(i)->name);
  }
  return out;
}

TEST(CollectionTest, AssignReusesTheItemsItHas) {
  TcxCollection target(TNamedItem::StaticClass());
  TCollection source(TNamedItem::StaticClass());
  FillNames(target, {"x", "y", "z"});
  TCollectionItem* firstItem = target.Items(0);
  Integer firstID = firstItem->ID();
  FillNames(source, {"a", "b"});
  target.Assign(&source);
  EXPECT_EQ(Names(target), (std::vector<String>{"a", "b"}));
  EXPECT_EQ(target.Items(0), firstItem);
  EXPECT_EQ(target.Items(0)->ID(), firstID);
  FillNames(source, {"a", "b", "c", "d"});
  target.Assign(&source);
  EXPECT_EQ(Names(target), (std::vector<String>{"a", "b", "c", "d"}));
  EXPECT_EQ(target.Items(0), firstItem);
  source.Clear();
  target.Assign(&source);
  EXPECT_EQ(target.Count(), 0);
}

TEST(FreeNotificatorTest, ReportsEveryWatchedComponentThatGoes) {
  std::vector<TComponent*> freed;
  TcxFreeNotificator notificator;
  notificator.OnFreeNotification = TcxFreeNotificationEvent::FromFunction(
      [&freed](TComponent* c) { freed.push_back(c); });
  TObjectPtr<TComponent> watched(new TComponent(nullptr));
  TObjectPtr<TComponent> dropped(new TComponent(nullptr));
  notificator.AddSender(watched.get());
  notificator.AddSender(dropped.get());
  notificator.AddSender(nullptr);
  notificator.RemoveSender(dropped.get());
  notificator.RemoveSender(nullptr);
  TComponent* watchedAddress = watched.get();
  watched.reset();
  dropped.reset();
  EXPECT_EQ(freed, std::vector<TComponent*>{watchedAddress});
}

// A component that names its helpers for the designer.
class TWithHelpers : public TcxComponent {
  VARNEL_CLASS(TWithHelpers, TcxComponent)
 public:
  using TcxComponent::TcxComponent;
  std::vector<TComponent*> helpers;

 protected:
  void GetFakeComponentLinks(TList* AList) override {
    for (TComponent* h : helpers) AList->Add(h);
  }
};

TEST(ComponentTest, FakeLinksAreFilledOnlyAtDesignTime) {
  TComponent owner(nullptr);
  TComponent* h1 = new TComponent(&owner);
  TComponent* h2 = new TComponent(&owner);
  auto* c = new TWithHelpers(&owner);
  c->helpers = {h1, h2};
  c->Loaded();
  EXPECT_EQ(c->FakeComponentLink1(), nullptr);
  c->SetDesigning(true);
  c->Loaded();
  EXPECT_EQ(c->FakeComponentLink1(), h1);
  EXPECT_EQ(c->FakeComponentLink2(), h2);
  EXPECT_EQ(c->FakeComponentLink3(), nullptr);
  // They are published, so that the designer streams them.
  EXPECT_EQ(GetObjectProp(c, "FakeComponentLink2"), h2);
}

// ---------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------

TEST(FreeRoutinesTest, Arithmetic) {
  struct Case {
    Integer a, b, roundDiv, center;
  };
  const Case cases[] = {
      {7, 2, 4, 4},    {-7, 2, -2, -3}, {6, 2, 3, 4},
      {-3, 1, -3, -1}, {3, 1, 3, 2},    {0, 5, 0, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundDiv(c.a, c.b), c.roundDiv) << c.a << "/" << c.b;
    EXPECT_EQ(GetRangeCenter(c.a, c.b), c.center) << c.a << "," << c.b;
  }
  EXPECT_EQ(GetRangeCenter(-3, 0), -2);
  EXPECT_EQ(GetRangeCenter(3, 0), 1);
  EXPECT_EQ(GetRangeCenter(2147483647, 2147483647), 2147483647);
  EXPECT_THROW(RoundDiv(1, 0), EDivByZero);
  EXPECT_EQ(cxSign(0.0), 1);
  EXPECT_EQ(cxSign(2.5), 1);
  EXPECT_EQ(cxSign(-0.1), -1);
  Integer a = 1, b = 2;
  SwapIntegers(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(Size(3, 4), (TSize{3, 4}));
}

TEST(FreeRoutinesTest, TextHelpers) {
  EXPECT_EQ(HexToByte("1F"), 0x1F);
  EXPECT_EQ(HexToByte("a0"), 0xA0);
  EXPECT_EQ(HexToByte("fF"), 0xFF);
  EXPECT_EQ(HexToByte("G"), 0);  // no digits to read past
  EXPECT_EQ(HexToByte(""), 0);
  EXPECT_EQ(GetCorrectPath("a/b\\c/"), "a\\b\\c\\");
  EXPECT_EQ(cxStrCharLength("abc", 3), 1);
  EXPECT_EQ(cxStrCharLength("abc", 4), 0);
  EXPECT_EQ(cxNextCharPos("abc", 1), 2);
  EXPECT_EQ(cxNextCharPos("abc", 4), 4);
  EXPECT_EQ(cxPrevCharPos("abc", 3), 2);
  EXPECT_EQ(cxPrevCharPos("abc", 1), 1);
  EXPECT_EQ(cxGetLocaleInfo(0x0409, Platform::liSDecimal, "?"), ".");
  EXPECT_EQ(cxGetLocaleInfo(0x0409, 0xFFFF, "fallback"), "fallback");
}

TEST(FreeRoutinesTest, OpenWebPageAsksTheShellToOpenItMaximised) {
  struct Call {
    String operation, fileName;
    Integer showCmd;
  };
  std::vector<Call> calls;
  TcxShellExecuteFunc previous = cxSetShellExecuteFunc(
      [&calls](const String& AOperation, const String& AFileName,
               Integer AShowCmd) {
        calls.push_back({AOperation, AFileName, AShowCmd});
      });
  OpenWebPage("https://example.org/help?topic=1");
  cxSetShellExecuteFunc(previous);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].operation, "OPEN");
  EXPECT_EQ(calls[0].fileName, "https://example.org/help?topic=1");
  EXPECT_EQ(calls[0].showCmd, 3);  // the system's "show maximised"
}

TEST(FreeRoutinesTest, ClassInheritsFromComparesNamesExactly) {
  EXPECT_TRUE(ClassInheritsFrom(GrandChild(), "TGrandChild"));
  EXPECT_TRUE(ClassInheritsFrom(GrandChild(), "TBase"));
  EXPECT_TRUE(ClassInheritsFrom(GrandChild(), "TObject"));
  EXPECT_FALSE(ClassInheritsFrom(GrandChild(), "tbase"));
  EXPECT_FALSE(ClassInheritsFrom(Base(), "TChild"));
}

TEST(FreeRoutinesTest, BufferValuesAreLittleEndian) {
  Byte buffer[12] = {};
  WriteInteger(buffer, -2, 1);
  WriteWord(buffer, 0x1234, 5);
  WriteBoolean(buffer, true, 7);
  WriteByte(buffer, 0xAB, 9);
  const Byte expected[12] = {0,    0xFE, 0xFF, 0xFF, 0xFF, 0x34,
                             0x12, 1,    0,    0xAB, 0,    0};
  EXPECT_EQ(0, std::memcmp(buffer, expected, sizeof buffer));
  EXPECT_EQ(ReadInteger(buffer, 1), -2);
  EXPECT_EQ(ReadWord(buffer, 5), 0x1234);
  EXPECT_TRUE(ReadBoolean(buffer, 7));
  EXPECT_EQ(ReadByte(buffer, 9), 0xAB);
  buffer[7] = 0;
  buffer[8] = 1;  // a Boolean is two bytes: the high one counts too
  EXPECT_TRUE(ReadBoolean(buffer, 7));
}

TEST(FreeRoutinesTest, MemoryHelpers) {
  Byte source[4] = {1, 2, 3, 4};
  Byte target[6] = {9, 9, 9, 9, 9, 9};
  cxCopyData(source, target, 1, 2, 3);
  const Byte shifted[6] = {9, 9, 2, 3, 4, 9};
  EXPECT_EQ(0, std::memcmp(target, shifted, 6));
  cxCopyData(source, target, -5, 0, 2);  // non-positive offsets count as 0
  EXPECT_EQ(target[0], 1);
  EXPECT_EQ(target[1], 2);
  cxZeroMemory(target, 6);
  EXPECT_EQ(target[5], 0);
  void* block = cxAllocMem(16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(static_cast<Byte*>(block)[15], 0);
  cxFreeMem(block);
  EXPECT_EQ(cxAllocMem(0), nullptr);
}

TEST(FreeRoutinesTest, StreamsEqualComparesSizeAndBytes) {
  TMemoryStream a, b;
  EXPECT_TRUE(StreamsEqual(&a, &b));
  a.WriteBuffer("abc", 3);
  b.WriteBuffer("abd", 3);
  EXPECT_FALSE(StreamsEqual(&a, &b));
  b.SetSize(0);
  b.WriteBuffer("abc", 3);
  EXPECT_TRUE(StreamsEqual(&a, &b));
  b.WriteBuffer("d", 1);
  EXPECT_FALSE(StreamsEqual(&a, &b));
}

TEST(FreeRoutinesTest, CopyListAndOwner) {
  TList source, target;
  int x = 0, y = 0;
  source.Add(&x);
  source.Add(&y);
  target.Add(&y);
  CopyList(&source, &target);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Get(0), &x);
  TcxInterfacedPersistent parent(nullptr);
  TcxInterfacedPersistent child(&parent);
  EXPECT_EQ(GetPersistentOwner(&child), &parent);
  EXPECT_EQ(GetPersistentOwner(&parent), nullptr);
  EXPECT_EQ(GetPersistentOwner(nullptr), nullptr);
}

enum TFruit : Byte { frApple, frPear, frPlum };

TEST(FreeRoutinesTest, FillStringsWithEnumTypeValuesSkipsEmptyTexts) {
  RegisterEnum<TFruit>("TFruit", {"frApple", "frPear", "frPlum"});
  TStringList list;
  list.Add("kept");
  FillStringsWithEnumTypeValues(&list, TypeInfo<TFruit>(), [](Integer v) {
    return v == frPear ? String() : GetEnumName(TypeInfo<TFruit>(), v);
  });
  EXPECT_EQ(ListOf(list), (std::vector<String>{"kept", "frApple", "frPlum"}));
  EXPECT_EQ(list.Objects(2), reinterpret_cast<TObject*>(frPlum));
}

// ---------------------------------------------------------------------------
// Component names
// ---------------------------------------------------------------------------

class TcxTestButton : public TComponent {
  VARNEL_CLASS(TcxTestButton, TComponent)
 public:
  using TComponent::TComponent;
};

class TPanelWithFont : public TPersistent {
  VARNEL_CLASS(TPanelWithFont, TPersistent)
 public:
  TBase* Font() const { return nullptr; }
  TChild* Glyph() const { return nullptr; }
  TBase* Other() const { return nullptr; }
};

TEST(NamesTest, GetValidNameCountsOn) {
  TComponent owner(nullptr);
  TComponent* edit = new TComponent(&owner);
  edit->SetName("Edit");
  TComponent* edit1 = new TComponent(&owner);
  edit1->SetName("Edit1");
  auto* fresh = new TComponent(&owner);
  EXPECT_EQ(GetValidName(fresh, "Edit"), "Edit2");
  EXPECT_EQ(GetValidName(fresh, "Memo"), "Memo");
  EXPECT_EQ(GetValidName(fresh, "Edit", true), "Edit2");
  EXPECT_EQ(GetValidName(fresh, "Memo", true), "Memo1");
  TComponent lonely(nullptr);
  EXPECT_EQ(GetValidName(&lonely, "Edit", true), "Edit");
}

TEST(NamesTest, CreateUniqueNameBuildsFromParentClassAndName) {
  TComponent owner(nullptr);
  auto* parent = new TComponent(&owner);
  parent->SetName("Grid");
  auto* button = new TcxTestButton(&owner);
  struct Case {
    TComponent* parent;
    const char* prefix;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {parent, "Tcx", "Row", "GridRow"},
      {parent, "Tcx", "", "GridTestButton1"},    // numbered from 1
      {parent, "TCX", "7", "GridTestButton7"},   // any case; leading digit
      {nullptr, "TdxBar", "", "cxTestButton1"},  // else without "T"
      {nullptr, "Tcx", "my-row name!", "myrowname"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CreateUniqueName(&owner, c.parent, button, c.prefix, c.name),
              c.expected)
        << c.name;
  }
  // Names of other components count without case; the component's own not.
  auto* taken = new TComponent(&owner);
  taken->SetName("GRIDROW");
  EXPECT_EQ(CreateUniqueName(&owner, parent, button, "Tcx", "Row"), "GridRow1");
  button->SetName("GridRow1");
  EXPECT_EQ(CreateUniqueName(&owner, parent, button, "Tcx", "Row"), "GridRow1");
}

TEST(NamesTest, RenameComponentsReplacesThePrefix) {
  TComponent owner(nullptr);
  TComponent elsewhere(nullptr);
  auto make = [](TComponent* o, const char* name) {
    auto* c = new TComponent(o);
    c->SetName(name);
    return c;
  };
  std::vector<TComponent*> items = {
      make(&owner, "GridRow1"), make(&owner, "gridRow2"),
      make(&owner, "Grid"),  // not longer than the prefix
      make(&elsewhere, "GridRow3"), make(&owner, "Other")};
  make(&owner, "TreeRow1x");  // blocks one renaming
  make(&owner, "GridRow1x");
  items.push_back(owner.FindComponent("GridRow1x"));
  auto item = [&items](TComponent*, Integer i) { return items[i]; };
  TComponent caller(nullptr);
  RenameComponents(&caller, &owner, "Tree", item,
                   static_cast<Integer>(items.size()), "grid");
  std::vector<String> names;
  for (TComponent* c : items) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<String>{"TreeRow1", "TreeRow2", "Grid",
                                        "GridRow3", "Other", "GridRow1x"}));
  // Nothing for a component that comes from an ancestor form.
  caller.SetAncestor(true);
  RenameComponents(&caller, &owner, "X", item, 1, "Tree");
  EXPECT_EQ(items[0]->Name(), "TreeRow1");
}

TEST(NamesTest, GetSubobjectNameMatchesTheExactDeclaredClass) {
  TPublished<TPanelWithFont>()
      .Property("Font", &TPanelWithFont::Font)
      .Property("Glyph", &TPanelWithFont::Glyph)
      .Property("Other", &TPanelWithFont::Other);
  TPanelWithFont panel;
  TChild child;
  TBase base;
  TOther other;
  EXPECT_EQ(GetSubobjectName(&panel, &base), "Font");
  EXPECT_EQ(GetSubobjectName(&panel, &child), "Glyph");
  EXPECT_EQ(GetSubobjectName(&panel, &other), "");
  UnpublishClass(TPanelWithFont::StaticClass());
}

}  // namespace
