#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "Dialogs.h"
#include "FormStreams.h"
#include "PellorSettingsTable.h"

namespace {

// A settings stream built byte by byte, so that it can be cut anywhere.
class TStreamBuilder {
 public:
  TStreamBuilder() {
    bytes_ = "TPF0";
    Short("TPellorExcept");
    Short("PellorExcept");
  }
  TStreamBuilder& Prop(const String& name, Byte type, const String& value) {
    Short(name);
    bytes_ += static_cast<char>(type);
    bytes_ += value;
    return *this;
  }
  TStreamBuilder& End() {
    bytes_ += String(2, '\0');
    return *this;
  }
  String bytes_;

 private:
  void Short(const String& s) {
    bytes_ += static_cast<char>(s.size());
    bytes_ += s;
  }
};

String Le(std::int64_t v, int n) {
  String s;
  for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// Records the boxes of one test and puts the failing handler back.
class TBoxes {
 public:
  TBoxes() {
    old_ = SetMessageBoxHandler(
        [this](const String& text, const String& caption, Cardinal) {
          texts.push_back(caption + ": " + text);
          return idOK;
        });
  }
  ~TBoxes() { SetMessageBoxHandler(old_); }
  std::vector<String> texts;

 private:
  TMessageBoxHandler old_;
};

struct TTable : TSettingTable {
  TTable() : TSettingTable{0, 0, nullptr} {}
  ~TTable() { FreeSettingTable(*this); }
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;
  void Read(const String& bytes) {
    ReadSettingsStream(bytes.data(), bytes.size(), *this);
  }
  const SettingRecord* Get(const char* name) const {
    return FindSettingRecord(*this, name);
  }
};

TEST(PellorSettingsTableTest, EveryAcceptedValueType) {
  TBoxes boxes;
  TTable t;
  t.Read(TStreamBuilder()
             .Prop("I8", 2, Le(-5, 1))
             .Prop("I16", 3, Le(-300, 2))
             .Prop("I32", 4, Le(100000, 4))
             .Prop("F", 8, "")
             .Prop("T", 9, "")
             .Prop("S", 6, "\x05hello")
             .Prop("Empty", 6, String(1, '\0'))
             .Prop("L", 12, Le(3, 4) + "abc")
             .Prop("W", 18, Le(2, 4) + String("w\0x\0", 4))
             .End()
             .bytes_);
  EXPECT_TRUE(boxes.texts.empty());
  ASSERT_EQ(9u, t.count);
  EXPECT_EQ(131u, t.capacity);
  EXPECT_EQ(-5, +t.Get("I8")->intValue);
  EXPECT_EQ(-300, +t.Get("I16")->intValue);
  EXPECT_EQ(100000, +t.Get("I32")->intValue);
  EXPECT_EQ(skInteger, +t.Get("I32")->kind);
  EXPECT_EQ(0, +t.Get("I32")->boolValue);
  EXPECT_EQ(skBoolean, +t.Get("F")->kind);
  EXPECT_EQ(0, +t.Get("F")->boolValue);
  EXPECT_EQ(1, +t.Get("T")->boolValue);
  EXPECT_EQ("hello", SettingText(*t.Get("S")));
  EXPECT_EQ(skText, +t.Get("S")->kind);
  EXPECT_EQ(nullptr, +t.Get("Empty")->textValue);
  EXPECT_EQ("abc", SettingText(*t.Get("L")));
  EXPECT_EQ("wx", SettingText(*t.Get("W")));
  EXPECT_EQ(nullptr, t.Get("i8")) << "names are case-sensitive";
}

TEST(PellorSettingsTableTest, OtherValueTypesEndTheReadingWithABox) {
  for (Byte type :
       {Byte(0), Byte(1), Byte(5), Byte(7), Byte(10), Byte(19), Byte(0xF0)}) {
    TBoxes boxes;
    TTable t;
    t.Read(TStreamBuilder()
               .Prop("Before", 9, "")
               .Prop("Bad", type, Le(1, 4))
               .Prop("After", 9, "")
               .End()
               .bytes_);
    ASSERT_EQ(1u, boxes.texts.size()) << int(type);
    std::ostringstream hex;
    hex << std::hex << int(type);
    EXPECT_EQ("PellorExcept: Internal error: Invalid settings resource ($" +
                  hex.str() + ").",
              boxes.texts[0]);
    EXPECT_NE(nullptr, t.Get("Before"));
    EXPECT_EQ(nullptr, t.Get("After"));
  }
}

TEST(PellorSettingsTableTest, TypeSevenNamesItself) {
  TBoxes boxes;
  TTable t;
  t.Read(TStreamBuilder()
             .Prop("X", 7,
                   "\x03"
                   "abc")
             .End()
             .bytes_);
  ASSERT_EQ(1u, boxes.texts.size());
  EXPECT_EQ("PellorExcept: Internal error: Invalid settings resource ($7).",
            boxes.texts[0]);
}

TEST(PellorSettingsTableTest, ValuesRunningPastTheEndKeepWhatCameBefore) {
  struct Case {
    Byte type;
    String value;
    const char* hex;
  } cases[] = {
      {2, "", "2"},
      {3, "\x01", "3"},
      {4, "\x01\x02", "4"},
      {6, "\x09short", "6"},
      {12, Le(1000, 4) + "abc", "c"},
      {12, Le(-1, 4), "c"},
      {18, Le(5, 4) + String("a\0", 2), "12"},
      {18, Le(0x40000000, 4), "12"},
  };
  for (const auto& c : cases) {
    TBoxes boxes;
    TTable t;
    // Cut right after the value: no end marker follows.
    t.Read(TStreamBuilder()
               .Prop("Kept", 4, Le(7, 4))
               .Prop("Cut", c.type, c.value)
               .bytes_);
    ASSERT_EQ(1u, boxes.texts.size()) << int(c.type);
    EXPECT_EQ(
        String("PellorExcept: Internal error: Invalid settings resource ($") +
            c.hex + ").",
        boxes.texts[0]);
    ASSERT_EQ(1u, t.count);
    EXPECT_EQ(7, +t.Get("Kept")->intValue);
  }
}

TEST(PellorSettingsTableTest, CutsOutsideValuesEndQuietly) {
  const String whole =
      TStreamBuilder().Prop("A", 9, "").Prop("Name", 4, Le(1, 4)).End().bytes_;
  // Every cut inside the header, before the second name's end or its type.
  const std::size_t headerEnd = 4 + 14 + 13;
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    // The second property: length and name at 34, type at 39, value 40-43.
    if (cut >= 40 && cut <= 43) continue;
    TBoxes boxes;
    TTable t;
    t.Read(whole.substr(0, cut));
    EXPECT_TRUE(boxes.texts.empty()) << cut;
    EXPECT_EQ(cut >= 44 ? 2u : cut >= headerEnd + 3 ? 1u : 0u, t.count) << cut;
  }
}

TEST(PellorSettingsTableTest, OtherHeadersGiveAnEmptyTable) {
  for (String header :
       {String("TPF1"), String("TPF0\x0DTPellorExcepX"),
        String("TPF0\x0DTPellorExcept\x0CPellorExcepX"), String("\xF1TPF0")}) {
    TBoxes boxes;
    TTable t;
    t.Read(header +
           "\x01"
           "A\x09" +
           String(2, '\0'));
    EXPECT_EQ(0u, t.count);
    EXPECT_TRUE(boxes.texts.empty());
  }
}

TEST(PellorSettingsTableTest, TheTextFormReadsAsWritten) {
  const String binary = formstreams_detail::TextToBinary(
      "object PellorExcept: TPellorExcept\n"
      "  Enabled = True\n"
      "  FreezeTimeout = 60000\n"
      "  SmtpPort = 25\n"
      "  Plugins = 'modules|processes|hardware'\n"
      "  MailAddr = ''\n"
      "  Title = 'Caf'#233\n"
      "end\n");
  TBoxes boxes;
  TTable t;
  t.Read(binary);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(6u, t.count);
  EXPECT_EQ(1, +t.Get("Enabled")->boolValue);
  EXPECT_EQ(60000, +t.Get("FreezeTimeout")->intValue);
  EXPECT_EQ(25, +t.Get("SmtpPort")->intValue);
  EXPECT_EQ("modules|processes|hardware", SettingText(*t.Get("Plugins")));
  EXPECT_EQ(nullptr, +t.Get("MailAddr")->textValue);
  EXPECT_EQ(4u, SettingText(*t.Get("Title")).size());
}

TEST(PellorSettingsTableTest, TableGrowsByTwentyAndKeepsEntries) {
  TTable t;
  for (int i = 0; i < 131; ++i)
    ASSERT_NE(nullptr, AddSettingRecord(t, "S" + std::to_string(i), skInteger,
                                        false, i, ""));
  EXPECT_EQ(131u, t.capacity);
  AddSettingRecord(t, "S131", skText, false, 0, "text");
  EXPECT_EQ(151u, t.capacity);
  EXPECT_EQ(132u, t.count);
  for (int i = 0; i < 131; ++i)
    EXPECT_EQ(i, +t.Get(("S" + std::to_string(i)).c_str())->intValue);
  EXPECT_EQ("text", SettingText(*t.Get("S131")));
}

TEST(PellorSettingsTableTest, BuiltInDefaults) {
  struct Case {
    const char* name;
    Byte kind;
    int intValue;
    int boolValue;
    const char* text;
  } cases[] = {
      {"Enabled", skBoolean, 0, 0, nullptr},
      {"NoSettings", skBoolean, 0, 1, nullptr},
      {"FreezeTimeout", skInteger, 60000, 0, nullptr},
      {"AutoDelay", skInteger, 60, 0, nullptr},
      {"FocusedBtn", skBoolean, 0, 0, nullptr},
      {"DupFreezeDef", skBoolean, 2, 0, nullptr},
      {"ScrShotDepth", skInteger, 0, 0, nullptr},
      {"PrepAttMsg", skText, 0, 0, "Prepare attachments..."},
      {"Plugins", skText, 0, 0, "modules|processes|hardware"},
      {"VersionVar", skInteger, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    const SettingRecord* r = FindBuiltInSetting(c.name);
    ASSERT_NE(nullptr, r) << c.name;
    EXPECT_EQ(c.kind, +r->kind) << c.name;
    EXPECT_EQ(c.intValue, +r->intValue) << c.name;
    EXPECT_EQ(c.boolValue, +r->boolValue) << c.name;
    EXPECT_EQ(c.text ? String(c.text) : String(), SettingText(*r)) << c.name;
  }
  for (const char* absent : {"MinDebugInfo", "Assistant1", "enabled"})
    EXPECT_EQ(nullptr, FindBuiltInSetting(absent)) << absent;
  std::size_t count = 0;
  const SettingRecord* all = BuiltInSettings(count);
  EXPECT_STREQ("Enabled", all[0].name);
  EXPECT_STREQ("VersionVar", all[count - 1].name);
}

}  // namespace
