#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "Classes.h"
#include "IniFiles.h"
#include "StringsHelpers.h"
#include "SysUtils.h"
#include "TempFile.h"

namespace {

// Pins the text forms of numbers and dates.
class IniFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    DecimalSeparator = '.';
    DateSeparator = '-';
    TimeSeparator = ':';
    ShortDateFormat = "yyyy/mm/dd";
    LongTimeFormat = "hh:nn:ss";
    ShortTimeFormat = "hh:nn";
  }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

TEST_F(IniFilesTest, IntegerTextsReadAsTheyShould) {
  struct Case {
    const char* text;
    Integer expected;
  };
  const Case cases[] = {
      {"42", 42},  {"-7", -7}, {"$1F", 31},   {"0x1F", 31},        {"0X1f", 31},
      {"abc", -1}, {"", -1},   {"12abc", -1}, {"99999999999", -1},
  };
  TMemIniFile ini;
  for (const Case& c : cases) {
    ini.WriteString("S", "K", c.text);
    EXPECT_EQ(ini.ReadInteger("S", "K", -1), c.expected) << c.text;
  }
  EXPECT_EQ(ini.ReadInteger("S", "Missing", 5), 5);
}

TEST_F(IniFilesTest, BoolTextsReadAsTheyShould) {
  struct Case {
    const char* text;
    bool def;
    bool expected;
  };
  const Case cases[] = {
      {"1", false, true},  {"0", true, false},    {"2", false, true},
      {"-1", false, true}, {"yes", false, false}, {"yes", true, true},
      {"", true, true},
  };
  TMemIniFile ini;
  for (const Case& c : cases) {
    ini.WriteString("S", "K", c.text);
    EXPECT_EQ(ini.ReadBool("S", "K", c.def), c.expected) << c.text;
  }
}

TEST_F(IniFilesTest, TypedWritesStoreTextAndReadBack) {
  TMemIniFile ini;
  ini.WriteInteger("T", "Int", -123);
  ini.WriteBool("T", "On", true);
  ini.WriteBool("T", "Off", false);
  ini.WriteFloat("T", "Float", 12.5);
  const TDateTime date = EncodeDate(2026, 12, 10);
  const TDateTime time = EncodeTime(14, 5, 30, 0);
  ini.WriteDate("T", "Date", date);
  ini.WriteTime("T", "Time", time);
  ini.WriteDateTime("T", "Stamp", date + time);

  EXPECT_EQ(ini.ReadString("T", "Int", ""), "-123");
  EXPECT_EQ(ini.ReadString("T", "On", ""), "1");
  EXPECT_EQ(ini.ReadString("T", "Off", ""), "0");
  EXPECT_EQ(ini.ReadString("T", "Float", ""), "12.5");
  EXPECT_EQ(ini.ReadString("T", "Date", ""), "2026-12-10");
  EXPECT_EQ(ini.ReadString("T", "Time", ""), "14:05:30");

  EXPECT_EQ(ini.ReadInteger("T", "Int", 0), -123);
  EXPECT_TRUE(ini.ReadBool("T", "On", false));
  EXPECT_FALSE(ini.ReadBool("T", "Off", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("T", "Float", 0), 12.5);
  EXPECT_DOUBLE_EQ(ini.ReadDate("T", "Date", 0), date);
  EXPECT_NEAR(ini.ReadTime("T", "Time", 0), time, 1e-9);
  EXPECT_NEAR(ini.ReadDateTime("T", "Stamp", 0), date + time, 1e-9);
}

TEST_F(IniFilesTest, UnreadableNumbersAndDatesGiveTheDefault) {
  TMemIniFile ini;
  ini.WriteString("T", "Bad", "twelve");
  EXPECT_DOUBLE_EQ(ini.ReadFloat("T", "Bad", 1.5), 1.5);
  EXPECT_DOUBLE_EQ(ini.ReadDate("T", "Bad", 2.0), 2.0);
  EXPECT_DOUBLE_EQ(ini.ReadTime("T", "Bad", 0.25), 0.25);
  EXPECT_DOUBLE_EQ(ini.ReadDateTime("T", "Bad", 3.0), 3.0);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("T", "Missing", 4.0), 4.0);
}

TEST_F(IniFilesTest, NamesCompareWithoutCaseAndValuesKeepQuotes) {
  TMemIniFile ini;
  ini.WriteString("Root/Child: TGrid", "Caption", "\"12.5\"");
  EXPECT_EQ(ini.ReadString("ROOT/CHILD: tgrid", "caption", ""), "\"12.5\"");
  ini.WriteString("root/child: TGRID", "CAPTION", "x");
  TObjectPtr<TStringList> names(new TStringList);
  ini.ReadSections(names.get());
  EXPECT_EQ(ListOf(names.get()), std::vector<String>{"Root/Child: TGrid"});
  ini.ReadSection("Root/Child: TGrid", names.get());
  EXPECT_EQ(ListOf(names.get()), std::vector<String>{"Caption"});
  EXPECT_EQ(ini.ReadString("Root/Child: TGrid", "Caption", ""), "x");
}

TEST_F(IniFilesTest, CommentsBlankLinesAndLayoutSurviveARewrite) {
  TMemIniFile ini;
  ini.SetLines({
      "; settings of the tool",
      "",
      "[Main]",
      "; the window",
      "Left = 10",
      "Top=20",
      "",
      "[Bar0]",
      "=",
      "Caption=\"Tools\"",
  });
  EXPECT_EQ(ini.ReadInteger("main", "LEFT", 0), 10);
  ini.WriteInteger("Main", "Top", 25);
  ini.WriteInteger("Main", "Width", 300);
  ini.WriteString("New", "A", "b");
  EXPECT_EQ(ini.Lines(), (std::vector<String>{
                             "; settings of the tool",
                             "",
                             "[Main]",
                             "; the window",
                             "Left = 10",
                             "Top=25",
                             "Width=300",
                             "",
                             "[Bar0]",
                             "=",
                             "Caption=\"Tools\"",
                             "[New]",
                             "A=b",
                         }));
}

TEST_F(IniFilesTest, SectionListingsAndRemoval) {
  TMemIniFile ini;
  ini.SetLines({"[A]", "=", "x=1", "; not an entry=really", "y=2", "[B]", "z=3",
                "[Empty]"});
  TObjectPtr<TStringList> list(new TStringList);

  ini.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"A", "B", "Empty"}));
  ini.ReadSection("A", list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"", "x", "y"}));
  ini.ReadSectionValues("A", list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"=", "x=1", "y=2"}));

  EXPECT_TRUE(ini.SectionExists("empty"));
  EXPECT_FALSE(ini.SectionExists("C"));
  EXPECT_TRUE(ini.ValueExists("A", "X"));
  EXPECT_FALSE(ini.ValueExists("A", "; not an entry"));

  ini.DeleteKey("A", "x");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  EXPECT_TRUE(ini.ValueExists("A", "y"));
  ini.EraseSection("b");
  ini.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"A", "Empty"}));
  // Removing what is not there changes nothing.
  ini.DeleteKey("Nowhere", "x");
  ini.EraseSection("Nowhere");
  EXPECT_EQ(ini.Lines(),
            (std::vector<String>{"[A]", "=", "; not an entry=really", "y=2",
                                 "[Empty]"}));
}

TEST_F(IniFilesTest, ByteBlocksAreHexText) {
  TMemIniFile ini;
  const Byte bytes[] = {0x00, 0x7F, 0xA5, 0xFF};
  TObjectPtr<TMemoryStream> out(new TMemoryStream);
  out->WriteBuffer(bytes, sizeof bytes);
  out->SetPosition(1);  // only the bytes from the position on
  ini.WriteBinaryStream("S", "Glyph", out.get());
  EXPECT_EQ(ini.ReadString("S", "Glyph", ""), "7FA5FF");

  TObjectPtr<TMemoryStream> in(new TMemoryStream);
  EXPECT_EQ(ini.ReadBinaryStream("S", "Glyph", in.get()), 3);
  EXPECT_EQ(in->Position(), 0);
  ASSERT_EQ(in->Size(), 3);
  EXPECT_EQ(std::memcmp(in->Memory(), bytes + 1, 3), 0);
}

TEST_F(IniFilesTest, MalformedByteBlocksReadNothing) {
  TMemIniFile ini;
  for (const char* text : {"7", "7G", "ABC", "zz", ""}) {
    ini.WriteString("S", "Glyph", text);
    TObjectPtr<TMemoryStream> in(new TMemoryStream);
    EXPECT_EQ(ini.ReadBinaryStream("S", "Glyph", in.get()), 0) << text;
    EXPECT_EQ(in->Size(), 0) << text;
  }
}

TEST_F(IniFilesTest, FileRoundTripKeepsTheFilesLines) {
  TTempFile file("roundtrip.ini");
  file.Write("; hand-written\r\n[Main]\r\nLeft=1\n\n[Other]\rKey=v\r\n");
  {
    TMemIniFile ini(file.Name());
    EXPECT_EQ(ini.ReadString("Other", "Key", ""), "v");
    ini.WriteInteger("Main", "Left", 2);
    EXPECT_EQ(file.Read().find("Left=2"), String::npos);  // not yet written
    ini.UpdateFile();
  }
  EXPECT_EQ(file.Read(),
            "; hand-written\r\n[Main]\r\nLeft=2\r\n\r\n[Other]\r\nKey=v\r\n");
  TMemIniFile again(file.Name());
  EXPECT_EQ(again.ReadInteger("Main", "Left", 0), 2);
}

TEST_F(IniFilesTest, NumbersReadBackAsTheSameValueAfterAReload) {
  const double values[] = {0.0,
                           12.5,
                           -7.0,
                           0.1,
                           0.1 + 0.2,
                           1.0 / 3.0,
                           123456789.123456789,
                           1e300,
                           -2.5e-300,
                           DBL_MAX,
                           -DBL_MAX,
                           DBL_MIN,
                           std::numeric_limits<double>::denorm_min(),
                           HUGE_VAL,
                           -HUGE_VAL};
  TTempFile file("floats.ini");
  {
    TMemIniFile ini(file.Name());
    for (std::size_t i = 0; i < std::size(values); ++i)
      ini.WriteFloat("F", "V" + std::to_string(i), values[i]);
    ini.WriteFloat("F", "NaN", std::nan(""));
    ini.UpdateFile();
  }
  TMemIniFile ini(file.Name());
  for (std::size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(ini.ReadFloat("F", "V" + std::to_string(i), 42.0), values[i])
        << ini.ReadString("F", "V" + std::to_string(i), "");
  EXPECT_TRUE(std::isnan(ini.ReadFloat("F", "NaN", 42.0)));
  // As few digits as the value needs.
  EXPECT_EQ(ini.ReadString("F", "V1", ""), "12.5");
  EXPECT_EQ(ini.ReadString("F", "V3", ""), "0.1");
}

TEST_F(IniFilesTest, EntriesThatWouldNotReadBackAreRefused) {
  struct Case {
    const char* section;
    const char* ident;
    const char* value;
  };
  const Case refused[] = {
      {"S", "[x", "y]"},      {"S", " [x", "y] "}, {"S", ";x", "1"},
      {"S", "  ;x", "1"},     {"S", "a=b", "c"},   {"S", "a\nb", "c"},
      {"S", "a", "b\r\n[T]"}, {"S", "a", "b\rc"},  {"S\n[T]", "a", "b"},
  };
  TTempFile file("refused.ini");
  TMemIniFile ini(file.Name());
  ini.WriteString("S", "Kept", "1");
  for (const Case& c : refused) {
    EXPECT_THROW(ini.WriteString(c.section, c.ident, c.value),
                 EIniFileException)
        << c.ident << "=" << c.value;
  }
  EXPECT_EQ(ini.Lines(), (std::vector<String>{"[S]", "Kept=1"}));

  // Near misses keep working, and read back the same after a reload.
  const Case kept[] = {
      {"S", "[x", "y"},  {"S", "x]", "[y]"}, {"S", "[z]", ""},
      {"S", "w", "[v]"}, {"S", "u;", "t=s"}, {"[S]", "r", "q"},
  };
  for (const Case& c : kept) ini.WriteString(c.section, c.ident, c.value);
  ini.WriteString("S", "After", "2");
  ini.UpdateFile();
  TMemIniFile again(file.Name());
  TObjectPtr<TStringList> list(new TStringList);
  again.ReadSections(list.get());
  EXPECT_EQ(ListOf(list.get()), (std::vector<String>{"S", "[S]"}));
  again.ReadSectionValues("S", list.get());
  EXPECT_EQ(ListOf(list.get()),
            (std::vector<String>{"Kept=1", "[x=y", "x]=[y]", "[z]=", "w=[v]",
                                 "u;=t=s", "After=2"}));
  EXPECT_EQ(again.ReadString("[S]", "r", ""), "q");
}

TEST_F(IniFilesTest, MissingFileLoadsEmptyAndNoNameWritesNothing) {
  TTempFile file("missing.ini");
  TMemIniFile ini(file.Name());
  TObjectPtr<TStringList> list(new TStringList);
  ini.ReadSections(list.get());
  EXPECT_EQ(list->Count(), 0);

  TMemIniFile memoryOnly;
  memoryOnly.WriteString("S", "K", "V");
  memoryOnly.UpdateFile();  // no file name: nothing to do, no error
  EXPECT_EQ(memoryOnly.ReadString("S", "K", ""), "V");
}

TEST_F(IniFilesTest, UnwritableFileRaises) {
  TMemIniFile ini(
      (std::filesystem::temp_directory_path() / "varnel-no-such-dir" / "x.ini")
          .string());
  ini.WriteString("S", "K", "V");
  EXPECT_THROW(ini.UpdateFile(), EStreamError);
}

TEST_F(IniFilesTest, StringsInAndOut) {
  TObjectPtr<TStringList> lines(new TStringList);
  lines->Add("[Main]");
  lines->Add("A=1");
  TMemIniFile ini;
  ini.SetStrings(lines.get());
  ini.WriteString("Main", "B", "2");
  ini.GetStrings(lines.get());
  EXPECT_EQ(ListOf(lines.get()), (std::vector<String>{"[Main]", "A=1", "B=2"}));
  ini.Clear();
  ini.GetStrings(lines.get());
  EXPECT_EQ(lines->Count(), 0);
}

}  // namespace
