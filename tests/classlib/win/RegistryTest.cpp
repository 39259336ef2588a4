#include <gtest/gtest.h>

#include <functional>

#include "Classes.h"
#include "Registry.h"
#include "RegistrySandbox.h"
#include "StringsHelpers.h"

namespace {

// Stores a value with any type and bytes, as another program might have.
void PutRaw(TRegistry& reg, const String& name, DWORD type,
            const std::vector<Byte>& data) {
  ASSERT_EQ(RegSetValueExA(reg.CurrentKey(), name.c_str(), 0, type, data.data(),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reg.OpenKey("Software\\Test", true)); }
  TRegistrySandbox sandbox;
  TRegistry reg;
};

TEST(RegistrySandboxTest, WritesStayInTheSandboxAndGoWithIt) {
  String scratch;
  {
    TRegistrySandbox sandbox;
    scratch = sandbox.ScratchPath();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\VarnelSandboxProbe", true));
    reg.WriteInteger("Probe", 1);
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("Software\\VarnelSandboxProbe"));
    EXPECT_FALSE(sandbox.RealKeyExists("Software\\VarnelSandboxProbe"));
    EXPECT_TRUE(
        sandbox.RealKeyExists(scratch + "\\Software\\VarnelSandboxProbe"));
    EXPECT_THROW(TRegistrySandbox(), std::logic_error);
  }
  TRegistry real;
  EXPECT_FALSE(real.KeyExists("Software\\VarnelSandboxProbe"));
  EXPECT_FALSE(real.KeyExists(scratch));
}

TEST_F(RegistryTest, EveryValueTypeRoundTrips) {
  const Byte blob[] = {1, 2, 0, 255};
  struct Case {
    const char* name;
    std::function<void(TRegistry&)> write;
    std::function<void(TRegistry&)> check;
    TRegDataType type;
    Integer size;
  };
  const Case cases[] = {
      {"String", [](TRegistry& r) { r.WriteString("String", "C:\\Data"); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadString("String"), "C:\\Data"); },
       rdString, 8},
      {"Empty", [](TRegistry& r) { r.WriteString("Empty", ""); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadString("Empty"), ""); }, rdString, 1},
      {"Expand",
       [](TRegistry& r) { r.WriteExpandString("Expand", "%TEMP%\\x"); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadString("Expand"), "%TEMP%\\x"); },
       rdExpandString, 9},
      {"Integer", [](TRegistry& r) { r.WriteInteger("Integer", -5); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadInteger("Integer"), -5); }, rdInteger,
       4},
      {"Bool", [](TRegistry& r) { r.WriteBool("Bool", true); },
       [](TRegistry& r) {
         EXPECT_TRUE(r.ReadBool("Bool"));
         EXPECT_EQ(r.ReadInteger("Bool"), 1);
       },
       rdInteger, 4},
      {"Float", [](TRegistry& r) { r.WriteFloat("Float", 12.5); },
       [](TRegistry& r) { EXPECT_EQ(r.ReadFloat("Float"), 12.5); }, rdBinary,
       8},
      {"Currency",
       [](TRegistry& r) {
         r.WriteCurrency("Currency", Currency::FromScaled(123456));
       },
       [](TRegistry& r) {
         EXPECT_EQ(r.ReadCurrency("Currency").Value, 123456);
       },
       rdBinary, 8},
      {"DateTime", [](TRegistry& r) { r.WriteDateTime("DateTime", 46000.75); },
       [](TRegistry& r) {
         EXPECT_EQ(r.ReadDateTime("DateTime"), 46000.75);
         EXPECT_EQ(r.ReadDate("DateTime"), 46000.75);
         EXPECT_EQ(r.ReadTime("DateTime"), 46000.75);
       },
       rdBinary, 8},
      {"Binary",
       [&blob](TRegistry& r) { r.WriteBinaryData("Binary", blob, 4); },
       [&blob](TRegistry& r) {
         Byte out[8] = {};
         EXPECT_EQ(r.ReadBinaryData("Binary", out, sizeof out), 4);
         EXPECT_EQ(std::memcmp(out, blob, 4), 0);
       },
       rdBinary, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.write(reg);
    EXPECT_TRUE(reg.ValueExists(c.name));
    EXPECT_EQ(reg.GetDataType(c.name), c.type);
    EXPECT_EQ(reg.GetDataSize(c.name), c.size);
    c.check(reg);
  }
}

TEST_F(RegistryTest, ValuesThatDoNotFitTheReadRaise) {
  PutRaw(reg, "ShortDword", REG_DWORD, {1, 2});
  PutRaw(reg, "ShortDouble", REG_BINARY, {1, 2, 3, 4, 5, 6, 7});
  PutRaw(reg, "LongDouble", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  PutRaw(reg, "Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
  PutRaw(reg, "Multi", REG_MULTI_SZ, {'a', 0, 0});
  reg.WriteString("Text", "12");
  reg.WriteInteger("Number", 12);
  reg.WriteFloat("Double", 1.0);

  struct Case {
    const char* what;
    std::function<void()> read;
    const char* message;
  };
  const Case cases[] = {
      {"2-byte DWORD", [&] { reg.ReadInteger("ShortDword"); },
       "Invalid data type for 'ShortDword'"},
      {"7-byte double", [&] { reg.ReadFloat("ShortDouble"); },
       "Invalid data type for 'ShortDouble'"},
      {"9-byte double", [&] { reg.ReadDateTime("LongDouble"); },
       "Invalid data type for 'LongDouble'"},
      {"7-byte currency", [&] { reg.ReadCurrency("ShortDouble"); },
       "Invalid data type for 'ShortDouble'"},
      {"QWORD as integer", [&] { reg.ReadInteger("Qword"); },
       "Invalid data type for 'Qword'"},
      {"string as integer", [&] { reg.ReadInteger("Text"); },
       "Invalid data type for 'Text'"},
      {"string as bool", [&] { reg.ReadBool("Text"); },
       "Invalid data type for 'Text'"},
      {"integer as string", [&] { reg.ReadString("Number"); },
       "Invalid data type for 'Number'"},
      {"double as string", [&] { reg.ReadString("Double"); },
       "Invalid data type for 'Double'"},
      {"multi-string as string", [&] { reg.ReadString("Multi"); },
       "Invalid data type for 'Multi'"},
      {"integer as float", [&] { reg.ReadFloat("Number"); },
       "Invalid data type for 'Number'"},
      {"string as binary",
       [&] {
         Byte b[8];
         reg.ReadBinaryData("Text", b, sizeof b);
       },
       "Invalid data type for 'Text'"},
      {"binary larger than the buffer",
       [&] {
         Byte b[8];
         reg.ReadBinaryData("LongDouble", b, sizeof b);
       },
       "Invalid data type for 'LongDouble'"},
      {"missing integer", [&] { reg.ReadInteger("Missing"); },
       "Failed to get data for 'Missing'"},
      {"missing float", [&] { reg.ReadFloat("Missing"); },
       "Failed to get data for 'Missing'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.read();
      ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  // Nothing stored was lost on the way.
  EXPECT_EQ(reg.GetDataSize("ShortDword"), 2);
  EXPECT_EQ(reg.ReadString("Text"), "12");
}

TEST_F(RegistryTest, MissingStringsAndBlocksReadEmpty) {
  EXPECT_EQ(reg.ReadString("Missing"), "");
  Byte b[4];
  EXPECT_EQ(reg.ReadBinaryData("Missing", b, sizeof b), 0);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  EXPECT_EQ(reg.GetDataType("Missing"), rdUnknown);
  EXPECT_FALSE(reg.ValueExists("Missing"));
}

TEST_F(RegistryTest, TextWithoutTerminatorOrWithInnerZeroReadsSafely) {
  PutRaw(reg, "Unterminated", REG_SZ, {'a', 'b', 'c'});
  PutRaw(reg, "InnerZero", REG_SZ, {'a', 0, 'b', 0});
  PutRaw(reg, "Nothing", REG_SZ, {});
  EXPECT_EQ(reg.ReadString("Unterminated"), "abc");
  EXPECT_EQ(reg.ReadString("InnerZero"), "a");
  EXPECT_EQ(reg.ReadString("Nothing"), "");
}

TEST_F(RegistryTest, OpenKeyFollowsRelativeAndAbsoluteNames) {
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test");
  ASSERT_TRUE(reg.OpenKey("Child", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test\\Child");
  reg.WriteInteger("Here", 1);

  ASSERT_TRUE(reg.OpenKey("\\Software\\Other", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Other");
  // A failed open keeps the open key.
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Other");
  EXPECT_NE(reg.CurrentKey(), nullptr);

  // A trailing backslash names the key itself.
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Child\\", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test\\Child");
  EXPECT_EQ(reg.ReadInteger("Here"), 1);

  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), "");
  // With no key open, relative names start at the root.
  EXPECT_TRUE(reg.KeyExists("Software\\Test\\Child"));
  EXPECT_FALSE(reg.KeyExists("Child"));
  ASSERT_TRUE(reg.OpenKey("Software\\Test", false));
  EXPECT_TRUE(reg.KeyExists("Child"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Test"));
  EXPECT_FALSE(reg.KeyExists("Software"));
}

TEST_F(RegistryTest, WritesWithoutAnOpenKeyRaise) {
  reg.CloseKey();
  try {
    reg.WriteString("Name", "x");
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Failed to set data for 'Name'");
  }
  EXPECT_FALSE(reg.ValueExists("Name"));
  EXPECT_FALSE(reg.DeleteValue("Name"));
}

TEST_F(RegistryTest, ReadOnlyKeysReadButDoNotWrite) {
  reg.WriteInteger("Flags", 3);
  TRegistry ro(KEY_READ);
  ASSERT_TRUE(ro.OpenKeyReadOnly("Software\\Test"));
  EXPECT_EQ(ro.Access(), static_cast<LongWord>(KEY_READ));
  EXPECT_EQ(ro.ReadInteger("Flags"), 3);
  EXPECT_THROW(ro.WriteInteger("Flags", 4), ERegistryException);
  EXPECT_FALSE(ro.OpenKeyReadOnly("\\Software\\Missing"));
}

TEST_F(RegistryTest, CreateKeyMakesWithoutOpening) {
  EXPECT_TRUE(reg.CreateKey("A\\B"));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test");
  EXPECT_TRUE(reg.KeyExists("A\\B"));
  try {
    reg.CreateKey("");
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Failed to create key ");
  }
}

TEST_F(RegistryTest, DeleteKeyTakesSubkeysAndValues) {
  ASSERT_TRUE(reg.OpenKey("Tree\\Mid\\Leaf", true));
  reg.WriteString("Path", "C:\\");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Tree", false));
  reg.WriteInteger("Flags", 1);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test", false));

  EXPECT_TRUE(reg.DeleteKey("Tree"));
  EXPECT_FALSE(reg.KeyExists("Tree"));
  EXPECT_FALSE(reg.DeleteKey("Tree"));
  // An empty name would be the open key or the whole root.
  EXPECT_FALSE(reg.DeleteKey(""));
  EXPECT_FALSE(reg.DeleteKey("\\"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Test"));
}

TEST_F(RegistryTest, KeyNamesComeInRegistryOrder) {
  for (const char* name : {"Place2", "Place10", "Place0", "Place11", "Place1"})
    reg.CreateKey(name);
  TObjectPtr<TStringList> names(new TStringList);
  reg.GetKeyNames(names.get());
  EXPECT_EQ(ListOf(names.get()),
            (std::vector<String>{"Place0", "Place1", "Place10", "Place11",
                                 "Place2"}));
  EXPECT_TRUE(reg.HasSubKeys());
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumSubKeys, 5);
  EXPECT_EQ(info.NumValues, 0);

  reg.WriteString("Description", "d");
  reg.WriteInteger("Flags", 0);
  reg.GetValueNames(names.get());
  EXPECT_EQ(names->Count(), 2);
  EXPECT_GE(names->IndexOf("Description"), 0);
  EXPECT_GE(names->IndexOf("Flags"), 0);

  ASSERT_TRUE(reg.OpenKey("Place0", false));
  EXPECT_FALSE(reg.HasSubKeys());
  reg.GetKeyNames(names.get());
  EXPECT_EQ(names->Count(), 0);
}

TEST_F(RegistryTest, ValueNamesDeleteAndRename) {
  reg.WriteInteger("Old", 7);
  reg.WriteString("Taken", "t");
  reg.RenameValue("Old", "Taken");  // target exists: nothing moves
  EXPECT_EQ(reg.ReadInteger("Old"), 7);
  reg.RenameValue("Old", "New");
  EXPECT_FALSE(reg.ValueExists("Old"));
  EXPECT_EQ(reg.GetDataType("New"), rdInteger);
  EXPECT_EQ(reg.ReadInteger("New"), 7);
  EXPECT_TRUE(reg.DeleteValue("New"));
  EXPECT_FALSE(reg.DeleteValue("New"));
}

class RegistryMoveTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    ASSERT_TRUE(reg.OpenKey("Groups\\Work", true));
    reg.WriteString("Description", "my work");
    reg.WriteInteger("Flags", 2);
    ASSERT_TRUE(reg.OpenKey("Place0", true));
    reg.WriteString("Path", "C:\\Work\\");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Groups", false));
  }
  void ExpectGroupAt(const String& name) {
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("Software\\Test\\Groups\\" + name, false)) << name;
    EXPECT_EQ(r.ReadString("Description"), "my work");
    EXPECT_EQ(r.ReadInteger("Flags"), 2);
    ASSERT_TRUE(r.OpenKey("Place0", false));
    EXPECT_EQ(r.ReadString("Path"), "C:\\Work\\");
  }
};

TEST_F(RegistryMoveTest, MovesValuesAndSubkeys) {
  reg.MoveKey("Work", "Home", true);
  EXPECT_FALSE(reg.KeyExists("Work"));
  ExpectGroupAt("Home");
}

TEST_F(RegistryMoveTest, CopiesWhenNotDeleting) {
  reg.MoveKey("Work", "\\Software\\Test\\Groups\\Copy", false);
  ExpectGroupAt("Work");
  ExpectGroupAt("Copy");
}

TEST_F(RegistryMoveTest, MovesNothingWhenSourceMissingOrTargetTaken) {
  reg.CreateKey("Home");
  reg.MoveKey("Work", "Home", true);
  ExpectGroupAt("Work");
  EXPECT_FALSE(reg.OpenKey("Home\\Place0", false));
  reg.MoveKey("Missing", "Other", true);
  EXPECT_FALSE(reg.KeyExists("Other"));
}

TEST_F(RegistryMoveTest, RefusesToMoveAKeyIntoItself) {
  EXPECT_THROW(reg.MoveKey("Work", "Work\\Inner", true), ERegistryException);
  ExpectGroupAt("Work");
  EXPECT_FALSE(reg.KeyExists("Work\\Inner"));
}

TEST_F(RegistryTest, RegistryIniFileMapsSectionsToSubkeys) {
  {
    TRegistryIniFile ini("Software\\Test\\Bars");
    ini.WriteString("Bar0", "Caption", "Tools");
    ini.WriteInteger("Bar0", "Width", 120);
    ini.WriteBool("Bar0", "Visible", true);
    ini.WriteString("\\Software\\Test\\Bars\\Items", "Count", "3");
    TObjectPtr<TMemoryStream> block(new TMemoryStream);
    const Byte set = 0x05;
    block->WriteBuffer(&set, 1);
    block->SetPosition(0);
    ini.WriteBinaryStream("Bar0", "UserDefine", block.get());
  }
  TRegistry raw;
  ASSERT_TRUE(raw.OpenKey("Software\\Test\\Bars\\Bar0", false));
  EXPECT_EQ(raw.GetDataType("Width"), rdInteger);
  EXPECT_EQ(raw.GetDataType("UserDefine"), rdBinary);

  TRegistryIniFile ini("Software\\Test\\Bars");
  EXPECT_EQ(ini.ReadString("Bar0", "Caption", ""), "Tools");
  EXPECT_EQ(ini.ReadString("Bar0", "Width", ""), "120");
  EXPECT_EQ(ini.ReadInteger("Bar0", "Width", 0), 120);
  EXPECT_EQ(ini.ReadInteger("Items", "Count", 0), 3);
  EXPECT_TRUE(ini.ReadBool("Bar0", "Visible", false));
  EXPECT_EQ(ini.ReadInteger("Bar0", "Caption", -1), -1);
  EXPECT_EQ(ini.ReadString("Nowhere", "X", "def"), "def");
  TObjectPtr<TMemoryStream> block(new TMemoryStream);
  EXPECT_EQ(ini.ReadBinaryStream("Bar0", "UserDefine", block.get()), 1);
  EXPECT_EQ(static_cast<const Byte*>(block->Memory())[0], 0x05);

  TObjectPtr<TStringList> list(new TStringList);
  ini.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"Bar0", "Items"}));
  EXPECT_TRUE(ini.ValueExists("Bar0", "Caption"));
  ini.DeleteKey("Bar0", "Caption");
  EXPECT_FALSE(ini.ValueExists("Bar0", "Caption"));
  ini.EraseSection("Bar0");
  EXPECT_FALSE(ini.SectionExists("Bar0"));
  EXPECT_TRUE(ini.SectionExists("Items"));
}

}  // namespace
