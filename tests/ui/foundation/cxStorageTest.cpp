#include <gtest/gtest.h>

#include <filesystem>

#include "Classes.h"
#include "FormStreams.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "Variants.h"
#include "cxStorage.h"
#include "cxStorageTestSupport.h"

namespace {

String StStreamBytes(TcxStreamObjectData& AData) {
  TStringStream out;
  AData.SaveToStream(&out);
  return out.DataString();
}

// The value of one property after a trip through the stream format.
Variant StStreamTrip(const Variant& AValue) {
  TcxStreamObjectData data("Root", "TRoot");
  data.AddProperty("P", AValue);
  TStringStream stream(StStreamBytes(data));
  TcxStreamObjectData back;
  back.LoadFromStream(&stream);
  const TcxStreamPropertyData* prop = back.FindProperty("P");
  return prop ? prop->Value : Unassigned();
}

class cxStorageTest : public testing::Test {
 protected:
  void SetUp() override { StPublishTestClasses(); }

  // A widget with every kind of published value set away from its default.
  void FillWidget(TStWidget& AWidget) {
    AWidget.SetName("Widget");
    AWidget.Caption = "  padded, \"quoted\"  ";
    AWidget.Count = -70000;
    AWidget.Ratio = 12.5;
    AWidget.Enabled = true;
    AWidget.Shade = stsDark;
    AWidget.Shades = TStShades{stsNone, stsDark};
    AWidget.Big = 1234567;
    AWidget.Wide = u"wide";
  }
  void ExpectRestored(TStWidget& AWidget) {
    EXPECT_EQ(AWidget.Caption, "  padded, \"quoted\"  ");
    EXPECT_EQ(AWidget.Count, -70000);
    EXPECT_DOUBLE_EQ(AWidget.Ratio, 12.5);
    EXPECT_TRUE(AWidget.Enabled);
    EXPECT_EQ(AWidget.Shade, stsDark);
    EXPECT_EQ(AWidget.Shades, (TStShades{stsNone, stsDark}));
    EXPECT_EQ(AWidget.Big, 1234567);
    EXPECT_TRUE(AWidget.Wide == u"wide");
  }
};

// ---------------------------------------------------------------------------
// Conversion routines
// ---------------------------------------------------------------------------

TEST(cxStorageConversionTest, HexTexts) {
  EXPECT_EQ(StringToHexString(String("\x4a\x00\xff", 3)), "4A00FF");
  struct Case {
    const char* hex;
    String bytes;
  } const cases[] = {
      {"4a4", String("\x4a")},  // the odd last digit is dropped
      {"4A00ff", String("\x4a\x00\xff", 3)},
      {"", String()},
  };
  for (const Case& c : cases) EXPECT_EQ(HexStringToString(c.hex), c.bytes);
  EXPECT_THROW(HexStringToString("4G"), EcxHexStringConvertError);
  EXPECT_THROW(HexStringToString("4a "), EcxHexStringConvertError);
}

TEST(cxStorageConversionTest, StreamTextsRoundTrip) {
  TMemoryStream source;
  source.WriteBuffer("\x01\xAB", 2);
  const String text = StreamToString(&source);
  EXPECT_EQ(text, "Hex:01AB");
  TMemoryStream target;
  StringToStream(text, &target);
  EXPECT_EQ(target.Size(), 2);
  EXPECT_EQ(StreamToString(&target), text);

  TMemoryStream empty;
  EXPECT_EQ(StreamToString(&empty), "");
  EXPECT_EQ(StreamToString(nullptr), "");
  StringToStream("Hex:A", &empty);  // under 6 characters: nothing
  EXPECT_EQ(empty.Size(), 0);
}

TEST(cxStorageConversionTest, BooleansAndEnumerations) {
  EXPECT_TRUE(StringToBoolean("tRuE"));
  EXPECT_FALSE(StringToBoolean("FALSE"));
  EXPECT_THROW(StringToBoolean("1"), EPropertyConvertError);

  const std::vector<String> names{"alpha", "beta"};
  EXPECT_EQ(EnumerationToString(1, names), "beta");
  EXPECT_THROW(EnumerationToString(2, names), EPropertyConvertError);
  EXPECT_THROW(EnumerationToString(-1, names), EPropertyConvertError);
  EXPECT_EQ(StringToEnumeration("BETA", names), 1);
  EXPECT_THROW(StringToEnumeration("gamma", names), EPropertyConvertError);
}

TEST(cxStorageConversionTest, SetTexts) {
  const std::vector<String> names{"a", "b", "c"};
  Byte set = 0x05;  // {0, 2}
  EXPECT_EQ(SetToString(&set, 1, names), "[a,c]");
  Byte none = 0;
  EXPECT_EQ(SetToString(&none, 1, names), "[]");
  Byte beyond = 0x08;  // bit 3 has no name
  EXPECT_THROW(SetToString(&beyond, 1, names), EPropertyConvertError);

  Byte parsed = 0xFF;
  StringToSet("[a, c]", &parsed, 1, names);  // " c" matches no name
  EXPECT_EQ(parsed, 0x01);
  StringToSet("[B,C,zz]", &parsed, 1, names);
  EXPECT_EQ(parsed, 0x06);
  EXPECT_THROW(StringToSet("a,b", &parsed, 1, names), EPropertyConvertError);
  EXPECT_THROW(StringToSet("[a", &parsed, 1, names), EPropertyConvertError);
}

// ---------------------------------------------------------------------------
// Stream format
// ---------------------------------------------------------------------------

TEST(cxStorageStreamFormatTest, ObjectRecordBytes) {
  TcxStreamObjectData data("R", "TC");
  EXPECT_EQ(StStreamBytes(data),
            String("\x06\x01R\x06\x02TC\x02\x00\x02\x00", 11));

  TcxStreamObjectData withByte("R", "TC");
  withByte.AddProperty("B", Variant(static_cast<Byte>(65)));
  // Name, tag 2, then the byte as the one-character string "A".
  EXPECT_EQ(StStreamBytes(withByte), String("\x06\x01R\x06\x02TC\x02\x01"
                                            "\x06\x01"
                                            "B\x02\x02\x06\x01"
                                            "A\x02\x00",
                                            19));
}

TEST(cxStorageStreamFormatTest, StringTypeBytes) {
  struct Case {
    Variant value;
    Byte typeByte;
  };
  const Case cases[] = {
      {Variant(String(255, 'x')), vaString},
      {Variant(String(300, 'x')), vaLString},
      {Variant(String("caf\xE9")), vaUTF8String},
      {Variant(WideString(u"plain")), vaString},
      {Variant(WideString(u"\u4E2D\u6587")), vaWString},  // UTF-8 is longer
  };
  for (const Case& c : cases) {
    TcxStreamObjectData data("R", "T");
    data.AddProperty("P", c.value);
    const String bytes = StStreamBytes(data);
    // Root "R" (3), class "T" (3), count (2), name "P" (3), tag (2).
    ASSERT_GT(bytes.size(), 13u);
    EXPECT_EQ(static_cast<Byte>(bytes[13]), c.typeByte)
        << VarTypeAsText(VarType(c.value));
  }
}

TEST(cxStorageStreamFormatTest, ValuesComeBackAsTheirTagsSay) {
  struct Case {
    Variant stored;
    TVarType readType;
    Variant expected;
  };
  const Case cases[] = {
      {Variant(true), varBoolean, Variant(true)},
      {Variant(static_cast<Byte>(65)), varByte, Variant(static_cast<Byte>(65))},
      {Variant(Currency::FromScaled(123456)), varCurrency,
       Variant(Currency::FromScaled(123456))},
      {Variant::FromDateTime(45000.25), varDate,
       Variant::FromDateTime(45000.25)},
      {Variant(2.5), varDouble, Variant(2.5)},
      {Variant(static_cast<Smallint>(-300)), varInteger, Variant(-300)},
      {Variant(static_cast<Int64>(0x100000005LL)), varInteger, Variant(5)},
      {Variant(static_cast<LongWord>(0xFFFFFFFFu)), varInteger, Variant(-1)},
      {Variant(1.5f), varDouble, Variant(1.5)},
      {Variant(String("caf\xE9")), varString, Variant(String("caf\xE9"))},
      {Variant(WideString(u"\u4E2D")), varOleStr,
       Variant(WideString(u"\u4E2D"))},
  };
  for (const Case& c : cases) {
    const Variant back = StStreamTrip(c.stored);
    EXPECT_EQ(VarType(back), c.readType) << VarTypeAsText(VarType(c.stored));
    EXPECT_TRUE(VarSameValue(back, c.expected))
        << VarTypeAsText(VarType(c.stored)) << ": " << VarToStr(back);
  }
}

TEST(cxStorageStreamFormatTest, ADateBeyondTheCalendarIsWrittenBackAsRead) {
  // Property "D", tag 4, a date value of 1e300.
  String bytes(
      "\x06\x01R\x06\x01T\x02\x01\x06\x01"
      "D\x02\x04\x11",
      14);
  const double huge = 1e300;
  bytes.append(reinterpret_cast<const char*>(&huge), 8);
  bytes.append("\x02\x00", 2);
  TStringStream stream(bytes);
  TcxStreamObjectData data;
  data.LoadFromStream(&stream);
  EXPECT_EQ(StStreamBytes(data), bytes);
}

TEST(cxStorageStreamFormatTest, KindsWithoutATagAreLeftOutCountIncluded) {
  TcxStreamObjectData data("R", "T");
  data.AddProperty("Kept", Variant(1));
  data.AddProperty("Dropped", VarArrayOf({Variant(1)}));
  TStringStream stream(StStreamBytes(data));
  TcxStreamObjectData back;
  back.LoadFromStream(&stream);
  ASSERT_EQ(back.Properties.size(), 1u);
  EXPECT_EQ(back.Properties[0]->Name, "Kept");
}

TEST(cxStorageStreamFormatTest, UnknownTagReadsAsNull) {
  // One property "P" with tag 12 and no value, then no children.
  TStringStream stream(
      String("\x06\x01R\x06\x01T\x02\x01\x06\x01P\x02\x0C\x02\x00", 15));
  TcxStreamObjectData back;
  back.LoadFromStream(&stream);
  ASSERT_EQ(back.Properties.size(), 1u);
  EXPECT_TRUE(back.Properties[0]->Value.IsNull());
}

TEST(cxStorageStreamFormatTest, CorruptStreamsRaiseReadErrors) {
  TcxStreamObjectData tree("Root", "TRoot");
  tree.AddProperty("Caption", Variant(String("text")));
  tree.AddChild("Child", "TChild")->AddProperty("Value", Variant(7));
  const String good = StStreamBytes(tree);
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < good.size(); ++n) {
    TStringStream stream(good.substr(0, n));
    TcxStreamObjectData back;
    EXPECT_THROW(back.LoadFromStream(&stream), EReadError) << n << " bytes";
  }
  struct Case {
    const char* what;
    String bytes;
  } const cases[] = {
      {"child count far beyond the data",
       String("\x06\x01R\x06\x01T\x02\x00\x04\xFF\xFF\xFF\x7F", 13)},
      {"negative property count", String("\x06\x01R\x06\x01T\x02\xFF", 8)},
      {"a number where the name goes", String("\x02\x05", 2)},
      {"an unknown value type", String("\x30\x01R", 3)},
  };
  for (const Case& c : cases) {
    TStringStream stream(c.bytes);
    TcxStreamObjectData back;
    EXPECT_THROW(back.LoadFromStream(&stream), EReadError) << c.what;
  }
}

TEST(cxStorageStreamFormatTest, DeepNestingIsRefusedNotRecursedInto) {
  // Each level: name "", class "", no properties, one child.
  String bytes;
  for (int i = 0; i < 5000; ++i)
    bytes += String("\x06\x00\x06\x00\x02\x00\x02\x01", 8);
  TStringStream stream(bytes);
  TcxStreamObjectData back;
  EXPECT_THROW(back.LoadFromStream(&stream), EReadError);
}

// ---------------------------------------------------------------------------
// Storing and restoring published properties
// ---------------------------------------------------------------------------

TEST_F(cxStorageTest, PublishedPropertiesRoundTripThroughAStream) {
  TStWidget source(nullptr);
  FillWidget(source);
  TMemoryStream stream;
  TcxStorage(&stream).StoreToStream(&source);

  TStWidget target(nullptr);
  target.SetName("Widget");
  stream.SetPosition(0);
  TcxStorage(&stream).RestoreFromStream(&target);
  ExpectRestored(target);
}

TEST_F(cxStorageTest, PublishedPropertiesRoundTripThroughAnIniFile) {
  TStTempFile file("widget.ini");
  TStWidget source(nullptr);
  FillWidget(source);
  TcxStorage(file.Name()).StoreToIni(&source);

  TStWidget target(nullptr);
  target.SetName("Widget");
  TcxStorage(file.Name()).RestoreFromIni(&target);
  ExpectRestored(target);
}

TEST_F(cxStorageTest, IniLayoutOfAnObject) {
  TStTempFile file("layout.ini");
  TStWidget widget(nullptr);
  FillWidget(widget);
  TcxStorage(file.Name()).StoreToIni(&widget);

  TMemIniFile ini(file.Name());
  const String section = "Widget: TStWidget";
  ASSERT_TRUE(ini.SectionExists(section));
  EXPECT_EQ(ini.ReadString(section, "Caption", ""),
            "\"  padded, \"quoted\"  \"");
  EXPECT_EQ(ini.ReadString(section, "Count", ""), "-70000");
  EXPECT_EQ(ini.ReadString(section, "Enabled", ""), "\"True\"");
  EXPECT_EQ(ini.ReadString(section, "Shade", ""), "\"stsDark\"");
  EXPECT_EQ(ini.ReadString(section, "Shades", ""), "\"[stsNone,stsDark]\"");
  // Events, and object properties without by-name references, are not
  // values.
  EXPECT_FALSE(ini.ValueExists(section, "OnClick"));
  EXPECT_FALSE(ini.ValueExists(section, "Items"));
  EXPECT_FALSE(ini.ValueExists(section, "Buddy"));
}

TEST_F(cxStorageTest, AnObjectWithOnlyEventsIsStoredWithoutProperties) {
  TStTempFile file("events.ini");
  TStEventsOnly object;
  TcxStorage(file.Name()).StoreToIni(&object);
  TMemIniFile ini(file.Name());
  TStringList entries;
  ini.ReadSection("Object: TStEventsOnly", &entries);
  ASSERT_EQ(entries.Count(), 1);
  EXPECT_EQ(entries[0], "");  // the marker that the section is there
}

TEST_F(cxStorageTest, IniReaderTellsValueKindsApart) {
  TStTempFile file("values.ini");
  file.Write(
      "[N: T]\n=\nInt=100\nQuoted=\"OK\"\nNumberText=\"12\"\nReal=12.5\n"
      "Text=neither number nor date\nEmpty=\n");
  TcxIniFileReader reader(file.Name());
  StExpectReadValues(
      reader, {
                  {"Int", varInteger, Variant(100)},
                  {"Quoted", varString, Variant("OK")},
                  {"NumberText", varString, Variant("12")},
                  {"Real", varDouble, Variant(12.5)},
                  {"Text", varString, Variant("neither number nor date")},
                  {"Empty", varString, Variant("")},
                  {"Missing", varNull, Null()},
              });
}

TEST_F(cxStorageTest, IniChildrenAreTheSectionsUnderTheObjectsPath) {
  TStTempFile file("children.ini");
  file.Write(
      "[Root: TA]\n=\n[Root/One: TB]\n=\n[root/Two:  TC ]\n=\n"
      "[Root/One/Deep: TD]\n=\n[Other/Three: TE]\n=\n[NoColon]\nX=1\n");
  TcxIniFileReader reader(file.Name());
  TStringList classes, names;
  reader.ReadChildren("Root", "TA", &classes, &names);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names[0], "One");
  EXPECT_EQ(classes[0], "TB");
  EXPECT_EQ(names[1], "Two");
  EXPECT_EQ(classes[1], "TC");
}

TEST_F(cxStorageTest, RestoringAMissingIniFileOrEmptyStreamDoesNothing) {
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  widget.Count = 5;
  TStTempFile file("missing.ini");
  TcxStorage(file.Name()).RestoreFromIni(&widget);
  TMemoryStream empty;
  TcxStorage(&empty).RestoreFromStream(&widget);
  TcxStorage(static_cast<TStream*>(nullptr)).RestoreFromStream(&widget);
  EXPECT_EQ(widget.Count, 5);
  EXPECT_FALSE(std::filesystem::exists(file.Name()));
}

TEST_F(cxStorageTest, IniFileThatCannotBeWrittenFailsTheStore) {
  const String name = (std::filesystem::temp_directory_path() /
                       "varnel-storage-no-such-dir" / "x.ini")
                          .string();
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  EXPECT_THROW(TcxStorage(name).StoreToIni(&widget), EStreamError);
}

TEST_F(cxStorageTest, ClearFirstDecidesWhetherOldSectionsStay) {
  TStTempFile file("clear.ini");
  file.Write("[Old: TX]\nA=1\n");
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  TcxStorage keep(file.Name());
  keep.SetClearFirst(false);
  keep.StoreToIni(&widget);
  EXPECT_TRUE(TMemIniFile(file.Name()).SectionExists("Old: TX"));
  TcxStorage(file.Name()).StoreToIni(&widget);
  EXPECT_FALSE(TMemIniFile(file.Name()).SectionExists("Old: TX"));
  EXPECT_TRUE(TMemIniFile(file.Name()).SectionExists("Widget: TStWidget"));
}

TEST_F(cxStorageTest, AnUnknownEnumerationNameStopsTheRestore) {
  TStTempFile file("badenum.ini");
  file.Write("[Widget: TStWidget]\nShade=\"stsPurple\"\n");
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  EXPECT_THROW(TcxStorage(file.Name()).RestoreFromIni(&widget),
               EPropertyConvertError);
}

TEST_F(cxStorageTest, ReadOnlyPropertiesAreStoredButNotSetBack) {
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  TMemoryStream stream;
  TcxStorage(&stream).StoreToStream(&widget);
  stream.SetPosition(0);
  TcxStreamObjectData data;
  data.LoadFromStream(&stream);
  ASSERT_NE(data.FindProperty("Fixed"), nullptr);
  stream.SetPosition(0);
  EXPECT_NO_THROW(TcxStorage(&stream).RestoreFromStream(&widget));
}

TEST_F(cxStorageTest, ComponentReferencesByName) {
  TComponent owner(nullptr);
  TStWidget* widget = new TStWidget(&owner);
  widget->SetName("Widget");
  TComponent* buddy = new TComponent(&owner);
  buddy->SetName("Pal");
  widget->Buddy = buddy;

  TMemoryStream stream;
  TcxStorage store(&stream);
  store.SetComponentRefsByName(true);
  store.StoreToStream(widget);

  widget->Buddy = nullptr;
  stream.SetPosition(0);
  TcxStorage restore(&stream);
  restore.SetComponentRefsByName(true);
  std::vector<String> asked;
  restore.ComponentLookup = TcxGetComponentByNameEvent::FromFunction(
      [&](const String& AName) -> TComponent* {
        asked.push_back(AName);
        return owner.FindComponent(AName);
      });
  restore.RestoreFromStream(widget);
  EXPECT_EQ(widget->Buddy, buddy);
  EXPECT_EQ(asked, std::vector<String>{"Pal"});
}

TEST_F(cxStorageTest, CollectionItemsAreChildrenNamedByIndex) {
  TStTempFile file("collection.ini");
  TStWidget source(nullptr);
  source.SetName("Widget");
  for (const char* caption : {"first", "second"})
    static_cast<TStItem*>(source.GetItems()->Add())->Caption = caption;
  TcxStorage store(file.Name());
  store.SetModesValue({smSavePublishedClassProperties});
  store.StoreToIni(&source);
  TMemIniFile ini(file.Name());
  EXPECT_EQ(ini.ReadString("Widget/Items/1: TStItem", "Caption", ""),
            "\"second\"");

  TStWidget target(nullptr);
  target.SetName("Widget");
  TcxStorage restore(file.Name());
  restore.SetModesValue({smSavePublishedClassProperties, smChildrenCreating});
  restore.RestoreFromIni(&target);
  ASSERT_EQ(target.GetItems()->Count(), 2);
  EXPECT_EQ(target.GetItems()->Item<TStItem>(0)->Caption, "first");
  EXPECT_EQ(target.GetItems()->Item<TStItem>(1)->Caption, "second");

  // Deleting: an item the data lacks is freed.
  target.GetItems()->Add();
  restore.SetModesValue({smSavePublishedClassProperties, smChildrenDeleting});
  restore.RestoreFromIni(&target);
  EXPECT_EQ(target.GetItems()->Count(), 2);
}

TEST_F(cxStorageTest, ClassPropertyFilterKeepsObjectsOut) {
  TStTempFile file("filter.ini");
  TStWidget widget(nullptr);
  widget.SetName("Widget");
  widget.GetItems()->Add();
  TcxStorage store(file.Name());
  store.SetModesValue({smSavePublishedClassProperties});
  store.ClassPropertyFilter = TcxTestClassPropertyEvent::FromFunction(
      [](const String& AName, TObject*) { return AName != "Items"; });
  store.StoreToIni(&widget);
  EXPECT_FALSE(
      TMemIniFile(file.Name()).SectionExists("Widget/Items: TCollection"));
}

TEST_F(cxStorageTest, ATreeThatLeadsBackToItselfIsRefused) {
  TStLoop loop;
  TMemoryStream stream;
  TcxStorage store(&stream);
  store.SetModesValue({smSavePublishedClassProperties});
  EXPECT_THROW(store.StoreToStream(&loop), EcxStorage);
}

// ---------------------------------------------------------------------------
// Stored-object interfaces
// ---------------------------------------------------------------------------

class cxStorageInterfaceTest : public testing::Test {
 protected:
  // Root with children A (Value 1) and B (Value 2, with child C).
  static void Fill(TStNode& ARoot) {
    ARoot.Values["Caption"] = String("root");
    ARoot.AddChild("A")->Values["Value"] = 1;
    TStNode* b = ARoot.AddChild("B");
    b->Values["Value"] = 2;
    b->AddChild("C")->Values["Flag"] = true;
  }
  static String Store(TStNode& ARoot) {
    TStringStream stream;
    TcxStorage(&stream).StoreToStream(&ARoot);
    return stream.DataString();
  }
  static void Restore(const String& AData, TStNode& ARoot,
                      TcxStorageModes AModes) {
    TStringStream stream(AData);
    TcxStorage storage(&stream);
    storage.SetModesValue(AModes);
    storage.RestoreFromStream(&ARoot);
  }
};

TEST_F(cxStorageInterfaceTest, StoreWalksTheTreeDepthFirst) {
  TStNode root(nullptr, "Root");
  Fill(root);
  TStringStream stream(Store(root));
  TcxStreamObjectData data;
  data.LoadFromStream(&stream);
  EXPECT_EQ(data.Name, "Root");
  EXPECT_EQ(data.ClassName, "TStNode");
  ASSERT_EQ(data.Children.size(), 2u);
  EXPECT_EQ(data.Children[1]->Name, "B");
  ASSERT_EQ(data.Children[1]->Children.size(), 1u);
  const TcxStreamPropertyData* flag =
      data.Children[1]->Children[0]->FindProperty("Flag");
  ASSERT_NE(flag, nullptr);
  // Booleans are stored as their names.
  EXPECT_TRUE(VarSameValue(flag->Value, Variant("True")));
}

TEST_F(cxStorageInterfaceTest, ChildrenAreMatchedByNameIgnoringCase) {
  TStNode source(nullptr, "Root");
  Fill(source);
  const String data = Store(source);

  TStNode target(nullptr, "Root");
  TStNode* a = target.AddChild("a");
  TStNode* b = target.AddChild("b");
  TStNode* c = b->AddChild("c");
  Restore(data, target, {});
  EXPECT_TRUE(VarSameValue(a->Values["Value"], Variant(1)));
  EXPECT_TRUE(VarSameValue(b->Values["Value"], Variant(2)));
  EXPECT_TRUE(VarSameValue(c->Values["Flag"], Variant("True")));
  EXPECT_TRUE(VarSameValue(target.Values["Caption"], Variant("root")));
}

TEST_F(cxStorageInterfaceTest, ModesDecideAboutMissingAndExtraChildren) {
  TStNode source(nullptr, "Root");
  Fill(source);
  const String data = Store(source);

  // Neither mode: the extra child survives and nothing is created.
  TStNode plain(nullptr, "Root");
  plain.AddChild("Extra");
  Restore(data, plain, {});
  EXPECT_EQ(plain.Children.size(), 1u);
  EXPECT_TRUE(plain.CreatedClassNames.empty());

  // Creating: stored children are made with their stored class names.
  TStNode creating(nullptr, "Root");
  Restore(data, creating, {smChildrenCreating});
  ASSERT_NE(creating.Child("B"), nullptr);
  ASSERT_NE(creating.Child("B")->Child("C"), nullptr);
  EXPECT_EQ(creating.CreatedClassNames,
            (std::vector<String>{"TStNode", "TStNode"}));
  EXPECT_TRUE(VarSameValue(creating.Child("B")->Values["Value"], Variant(2)));

  // Deleting: the extra child goes.
  TStNode deleting(nullptr, "Root");
  deleting.AddChild("A");
  deleting.AddChild("Extra");
  Restore(data, deleting, {smChildrenDeleting});
  EXPECT_EQ(deleting.DeletedNames, std::vector<String>{"Extra"});
  ASSERT_EQ(deleting.Children.size(), 1u);
  EXPECT_EQ(deleting.Children[0]->ObjectName, "A");
}

TEST_F(cxStorageInterfaceTest, ARefusedChildIsSkipped) {
  TStNode source(nullptr, "Root");
  Fill(source);
  TStNode target(nullptr, "Root");
  target.RefuseChildren = true;
  Restore(Store(source), target, {smChildrenCreating});
  EXPECT_TRUE(target.Children.empty());
  EXPECT_EQ(target.CreatedClassNames.size(), 2u);
}

TEST_F(cxStorageInterfaceTest, UnnamedChildrenAreNamedByTheirObjectName) {
  TStNode source(nullptr, "Root");
  Fill(source);
  source.UnnamedChildren = true;
  const String data = Store(source);
  TStringStream stream(data);
  TcxStreamObjectData tree;
  tree.LoadFromStream(&stream);
  ASSERT_EQ(tree.Children.size(), 2u);
  EXPECT_EQ(tree.Children[0]->Name, "A");

  TStNode target(nullptr, "Root");
  target.UnnamedChildren = true;
  TStNode* a = target.AddChild("A");
  Restore(data, target, {});
  EXPECT_TRUE(VarSameValue(a->Values["Value"], Variant(1)));
}

TEST_F(cxStorageInterfaceTest, QualifierAndPrefixFormTheFullName) {
  TStNode root(nullptr, "Root");
  root.AddChild("Kid");
  TStringStream stream;
  TcxStorage storage(&stream);
  storage.SetNameQualifier("Form");
  storage.SetPathPrefix("Top/");
  // The stream writer builds its tree from the names: a prefix that names
  // no root leaves it empty, so capture the names through a writer.
  class TNames : public TcxCustomWriter {
   public:
    TNames() : TcxCustomWriter(String(), false) {}
    void BeginWriteObject(const String& AObjectName, const String&) override {
      Names.push_back(AObjectName);
    }
    std::vector<String> Names;
  } names;
  storage.StoreWithExistingWriter(&root, &names);
  EXPECT_EQ(names.Names,
            (std::vector<String>{"Top/Form.Root", "Top/Form.Root/Kid"}));
}

TEST_F(cxStorageInterfaceTest, InterfaceOnlyIgnoresPublishedProperties) {
  TStNode node(nullptr, "Root");
  node.SetTag(7);  // published by the component
  TcxStorage storage;
  storage.SetStoredObject(&node);
  Variant v;
  storage.GetPropertyValue("Tag", v);
  EXPECT_TRUE(VarSameValue(v, Variant(7)));
  storage.InterfaceOnlyQuery =
      TcxGetUseInterfaceOnlyEvent::FromFunction([] { return true; });
  storage.GetPropertyValue("Tag", v);
  EXPECT_TRUE(v.IsNull());
}

}  // namespace
