#include <gtest/gtest.h>

#include "Registry.h"
#include "RegistrySandbox.h"
#include "cxClasses.h"
#include "cxStorage.h"
#include "cxStorageTestSupport.h"

namespace {

class cxStorageRegistryTest : public testing::Test {
 protected:
  void SetUp() override { StPublishTestClasses(); }

  static bool KeyExists(const String& AKey) {
    TRegistry reg(KEY_READ);
    return reg.KeyExists(AKey);
  }
  static TRegDataType TypeOf(const String& AKey, const String& AName) {
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(AKey)) return rdUnknown;
    return reg.GetDataType(AName);
  }
  static String StringAt(const String& AKey, const String& AName) {
    TRegistry reg(KEY_READ);
    if (!reg.OpenKeyReadOnly(AKey)) return "<no key>";
    return reg.ReadString(AName);
  }

  TRegistrySandbox sandbox_;
};

TEST_F(cxStorageRegistryTest, LayoutOfATree) {
  TStNode grid(nullptr, "Grid");
  grid.Values["Caption"] = String("text");
  grid.Values["Width"] = 120;
  grid.Values["Ratio"] = 0.25;
  grid.AddChild("Row1")->Values["Visible"] = true;
  {
    TRegistry reg;
    reg.CreateKey("\\Software\\Test\\Stale");
  }
  TcxStorage("Software\\Test").StoreToRegistry(&grid);

  EXPECT_FALSE(KeyExists("\\Software\\Test\\Stale"));  // cleared first
  for (const char* key :
       {"\\Software\\Test\\Grid", "\\Software\\Test\\Grid\\[ClassName]",
        "\\Software\\Test\\Grid\\Row1",
        "\\Software\\Test\\Grid\\Row1\\[ClassName]"})
    EXPECT_TRUE(KeyExists(key)) << key;
  EXPECT_EQ(StringAt("\\Software\\Test\\Grid\\[ClassName]", "ClassName"),
            "TStNode");
  EXPECT_EQ(StringAt("\\Software\\Test\\Grid", "Caption"), "\"text\"");
  EXPECT_EQ(StringAt("\\Software\\Test\\Grid\\Row1", "Visible"), "\"True\"");
  EXPECT_EQ(TypeOf("\\Software\\Test\\Grid", "Width"), rdInteger);
  EXPECT_EQ(TypeOf("\\Software\\Test\\Grid", "Ratio"), rdBinary);
}

TEST_F(cxStorageRegistryTest, StoreAndRestoreATree) {
  TStNode source(nullptr, "Grid");
  source.Values["Caption"] = String("text");
  source.Values["Width"] = 120;
  source.Values["Ratio"] = 0.25;
  source.AddChild("Row1")->Values["Height"] = -1;
  TcxStorage("Software\\Test").StoreToRegistry(&source);

  TStNode target(nullptr, "Grid");
  TcxStorage storage("Software\\Test");
  storage.SetModesValue({smChildrenCreating});
  storage.RestoreFromRegistry(&target);
  EXPECT_TRUE(VarSameValue(target.Values["Caption"], Variant("text")));
  EXPECT_TRUE(VarSameValue(target.Values["Width"], Variant(120)));
  EXPECT_TRUE(VarSameValue(target.Values["Ratio"], Variant(0.25)));
  ASSERT_NE(target.Child("Row1"), nullptr);
  EXPECT_TRUE(
      VarSameValue(target.Child("Row1")->Values["Height"], Variant(-1)));
  EXPECT_EQ(target.CreatedClassNames, std::vector<String>{"TStNode"});
}

TEST_F(cxStorageRegistryTest, ReaderTellsTextKindsApart) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\N", true));
    reg.WriteString("Number", "12.5");
    reg.WriteString("Quoted", "\"12.5\"");
    reg.WriteString("Text", "plain words");
    reg.WriteExpandString("Expand", "\"%PATH%\"");
    reg.WriteInteger("Int", 7);
  }
  TcxRegistryReader reader("Software\\Test");
  StExpectReadValues(reader, {
                                 {"Number", varDouble, Variant(12.5)},
                                 {"Quoted", varString, Variant("12.5")},
                                 {"Text", varString, Variant("plain words")},
                                 {"Expand", varString, Variant("%PATH%")},
                                 {"Int", varInteger, Variant(7)},
                                 {"Missing", varNull, Null()},
                             });
}

// Currency values come back as doubles of the same value, not as their
// scaled integer's bytes taken for a double.
TEST_F(cxStorageRegistryTest, CurrencyAndDatesComeBackAsDoubles) {
  TStNode source(nullptr, "Grid");
  source.Values["Money"] = Currency::FromScaled(25000);
  source.Values["When"] = Variant::FromDateTime(45000.5);
  TcxStorage("Software\\Test").StoreToRegistry(&source);
  TStNode target(nullptr, "Grid");
  TcxStorage("Software\\Test").RestoreFromRegistry(&target);
  EXPECT_EQ(VarType(target.Values["Money"]), varDouble);
  EXPECT_DOUBLE_EQ(target.Values["Money"].AsDouble(), 2.5);
  EXPECT_DOUBLE_EQ(target.Values["When"].AsDouble(), 45000.5);
}

TEST_F(cxStorageRegistryTest, ABinaryValueOfTheWrongSizeIsARegistryError) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Grid", true));
    reg.WriteBinaryData("Ratio", "abc", 3);
  }
  TStNode target(nullptr, "Grid");
  EXPECT_THROW(TcxStorage("Software\\Test").RestoreFromRegistry(&target),
               ERegistryException);
}

TEST_F(cxStorageRegistryTest, AMissingKeyRestoresNothing) {
  TStNode target(nullptr, "Grid");
  target.Values["Width"] = 5;
  TcxStorage storage("Software\\Nowhere");
  storage.SetModesValue({smChildrenCreating});
  storage.RestoreFromRegistry(&target);
  EXPECT_TRUE(VarSameValue(target.Values["Width"], Variant(5)));
  EXPECT_TRUE(target.Children.empty());
  EXPECT_FALSE(KeyExists("\\Software\\Nowhere"));
}

TEST_F(cxStorageRegistryTest, AKeyThatCannotBeCreatedNamesTheLocation) {
  // Key names are limited to 255 characters.
  TStNode grid(nullptr, "Grid");
  TcxStorage storage(String("Software\\Test\\") + String(300, 'k'));
  try {
    storage.StoreToRegistry(&grid);
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message().substr(0, 32), "Can't create the registry key: \\");
  }
}

}  // namespace
