#include <gtest/gtest.h>

#include "PellorTexts.h"

namespace {

TEST(PellorTextsTest, PathParts) {
  EXPECT_EQ("b.txt", FileNamePart("C:\\a\\b.txt"));
  EXPECT_EQ("b.txt", FileNamePart("b.txt"));
  EXPECT_EQ("C:\\a\\", FilePathPart("C:\\a\\b.txt"));
  EXPECT_EQ("", FilePathPart("b.txt"));
  EXPECT_EQ("a.tar", StripExtension("a.tar.gz"));
  EXPECT_EQ("README", StripExtension("README"));
}

TEST(PellorTextsTest, SentenceWithPeriod) {
  struct Case {
    String in, out;
  } cases[] = {{"Error!!", "Error."},
               {"", "."},
               {"...", "."},
               {"Done", "Done."},
               {String("Stop.!\0", 7), "Stop."},
               {"a.b", "a.b."}};
  for (const auto& c : cases)
    EXPECT_EQ(c.out, SentenceWithPeriod(c.in)) << c.in;
}

TEST(PellorTextsTest, Identifiers) {
  for (const char* yes : {"a", "_", "TForm1", "_x_9"})
    EXPECT_TRUE(IsIdentifier(yes)) << yes;
  for (const char* no : {"", "9a", "a-b", "a b", "\xE4"})
    EXPECT_FALSE(IsIdentifier(no)) << no;
}

TEST(PellorTextsTest, InRangeOrNil) {
  EXPECT_TRUE(InRangeOrNil(0, 10, 20));
  EXPECT_TRUE(InRangeOrNil(10, 10, 20));
  EXPECT_TRUE(InRangeOrNil(20, 10, 20));
  EXPECT_FALSE(InRangeOrNil(21, 10, 20));
  EXPECT_FALSE(InRangeOrNil(9, 10, 20));
}

TPlaceholderSource Source() {
  TPlaceholderSource s;
  s.appName = "prog.exe";
  s.modName = "lib.dll";
  s.appVersion = [] { return String("1.2.3.4"); };
  s.modVersion = [] { return String("5.6"); };
  s.exceptMsg = "Boom";
  s.bugReport = "REPORT";
  s.now = {2024, 3, 7, 9, 5, 3, 42};
  return s;
}

TEST(PellorTextsTest, Placeholders) {
  struct Case {
    const char *in, *out;
  } cases[] = {
      {"%appname% %LF%", "prog.exe \r\n"},
      {"%APPNAME%/%ModName%", "prog.exe/lib.dll"},
      {"%date%", "2024-03-07"},
      {"%time%", "09:05:03, 42ms"},
      {"%datetime%", "2024-03-07, 09:05:03, 42ms"},
      {"v%appversion% m%modversion%", "v1.2.3.4 m5.6"},
      {"%exceptmsg%: %BUGREPORT%", "Boom: REPORT"},
      {"%unknown% %%", "%unknown% %%"},
  };
  for (const auto& c : cases) {
    String text = c.in;
    ExpandPlaceholderTexts(text, Source());
    EXPECT_EQ(c.out, text) << c.in;
  }
}

TEST(PellorTextsTest, VersionsAreAskedForOnlyWhenUsed) {
  int asked = 0;
  TPlaceholderSource s = Source();
  s.appVersion = [&asked] { return ++asked, String("1"); };
  String text = "%appname%";
  ExpandPlaceholderTexts(text, s);
  EXPECT_EQ(0, asked);
  text = "%appversion% %AppVersion%";
  ExpandPlaceholderTexts(text, s);
  EXPECT_EQ(1, asked);
  EXPECT_EQ("1 1", text);
}

TEST(PellorTextsTest, EmptyMessageReadsUnknown) {
  TPlaceholderSource s = Source();
  s.exceptMsg.clear();
  String text = "[%exceptMsg%]";
  ExpandPlaceholderTexts(text, s);
  EXPECT_EQ("[Unknown]", text);
}

}  // namespace
