#include <gtest/gtest.h>
#include <windows.h>

#include <cfloat>

#include "Classes.h"
#include "IniFilesWin.h"
#include "StringsHelpers.h"

namespace {

class IniFilesWinTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, dir);
    fileName_ = String(dir) + "varnel-inifileswin-" +
                std::to_string(GetCurrentProcessId()) + ".ini";
    DeleteFileA(fileName_.c_str());
  }
  void TearDown() override {
    // Let the profile cache go before the file does.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
    DeleteFileA(fileName_.c_str());
  }
  String fileName_;
};

TEST_F(IniFilesWinTest, EntriesRoundTripThroughTheFile) {
  {
    TIniFile ini(fileName_);
    ini.WriteString("Main", "Caption", "Places");
    ini.WriteInteger("Main", "Left", -10);
    ini.WriteBool("Main", "Visible", true);
    ini.WriteString("Other", "Key", "v");
  }
  TIniFile ini(fileName_);
  EXPECT_EQ(ini.ReadString("main", "CAPTION", ""), "Places");
  EXPECT_EQ(ini.ReadInteger("Main", "Left", 0), -10);
  EXPECT_TRUE(ini.ReadBool("Main", "Visible", false));
  EXPECT_EQ(ini.ReadString("Main", "Missing", "def"), "def");

  TObjectPtr<TStringList> list(new TStringList);
  ini.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"Main", "Other"}));
  ini.ReadSection("Main", list.get());
  EXPECT_EQ(ListOf(list.get()),
            (std::vector<String>{"Caption", "Left", "Visible"}));
  ini.ReadSectionValues("Main", list.get());
  EXPECT_EQ(ListOf(list.get()),
            (std::vector<String>{"Caption=Places", "Left=-10", "Visible=1"}));

  EXPECT_TRUE(ini.ValueExists("Main", "Left"));
  ini.DeleteKey("Main", "Left");
  EXPECT_FALSE(ini.ValueExists("Main", "Left"));
  ini.EraseSection("Other");
  EXPECT_FALSE(ini.SectionExists("Other"));
  EXPECT_TRUE(ini.SectionExists("Main"));
}

TEST_F(IniFilesWinTest, EntriesReadBackAsWritten) {
  {
    TIniFile ini(fileName_);
    ini.WriteString("Main", "First", "1");
    // "[x=y]" would come back as a section header holding what follows.
    EXPECT_THROW(ini.WriteString("Main", "[x", "y]"), EIniFileException);
    EXPECT_THROW(ini.WriteString("Main", "a", "b\r\n[T]"), EIniFileException);
    ini.WriteFloat("Main", "Max", DBL_MAX);
    ini.WriteFloat("Main", "Third", 1.0 / 3.0);
    ini.WriteString("Main", "Last", "2");
  }
  TIniFile ini(fileName_);
  TObjectPtr<TStringList> list(new TStringList);
  ini.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"Main"}));
  ini.ReadSection("Main", list.get());
  EXPECT_EQ(ListOf(list.get()),
            (std::vector<String>{"First", "Max", "Third", "Last"}));
  EXPECT_EQ(ini.ReadFloat("Main", "Max", 0), DBL_MAX);
  EXPECT_EQ(ini.ReadFloat("Main", "Third", 0), 1.0 / 3.0);
}

TEST_F(IniFilesWinTest, LongValuesAreNotCut) {
  const String text(5000, 'x');
  TIniFile ini(fileName_);
  ini.WriteString("S", "Long", text);
  EXPECT_EQ(ini.ReadString("S", "Long", ""), text);
}

}  // namespace
