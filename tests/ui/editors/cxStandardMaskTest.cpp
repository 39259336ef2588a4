#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "SysUtils.h"
#include "cxStandardMask.h"

namespace {

using cxStandardMask::EmptyString;
using cxStandardMask::FormatText;
using cxStandardMask::MaskBlank;
using cxStandardMask::SaveLiteralChars;

// Separators that differ from the mask characters, so that a test sees
// whether "/" and ":" follow the settings.
class cxStandardMaskTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings.DateSeparator = '-';
    FormatSettings.TimeSeparator = '.';
  }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

struct CompileCase {
  const char* mask;
  const char* fullEmpty;
  const char* empty;
  char blank;
  bool saveLiterals;
  bool leading;
};

TEST_F(cxStandardMaskTest, CompilesPositionsTailAndFlags) {
  const CompileCase cases[] = {
      {"00;0", "__", "  ", '_', false, false},
      {"(00)", "(__)", "(  )", '_', true, false},
      {"(00);0", "(__)", "  ", '_', false, false},
      {"LlAaCc09#", "_________", "         ", '_', true, false},
      {"\\0", "0", "0", '_', true, false},
      {"\\L\\\\", "L\\", "L\\", '_', true, false},
      {"0\\", "_", " ", '_', true, false},
      {">L<l<>L", "___", "   ", '_', true, false},
      {"99;1;*", "**", "  ", '*', true, false},
      {"99;0;*", "**", "  ", '*', false, false},
      {"99;1;", "__;1;", "  ;1;", '_', true, false},
      {"99;2", "__;2", "  ;2", '_', true, false},
      {"99;1;**", "__;1;**", "  ;1;**", '_', true, false},
      {"9;9", "_;_", " ; ", '_', true, false},
      {";0", "", "", '_', false, false},
      {"!999", "___", "   ", '_', true, true},
      {"9!9", "_!_", " ! ", '_', true, false},
      {"99/99", "__-__", "  -  ", '_', true, false},
      {"90:00", "__.__", "  .  ", '_', true, false},
      {"!99/99/9999;1; ", "  -  -    ", "  -  -    ", ' ', true, true},
      {"", "", "", '_', true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    TcxStandardMask mask;
    mask.Compile(c.mask);
    EXPECT_EQ(mask.Mask(), c.mask);
    EXPECT_EQ(mask.GetFullEmptyString(), c.fullEmpty);
    EXPECT_EQ(mask.GetEmptyString(), c.empty);
    EXPECT_EQ(mask.GetCount(), static_cast<Integer>(std::strlen(c.fullEmpty)));
    EXPECT_EQ(mask.Blank(), c.blank);
    EXPECT_EQ(mask.SaveLiteralCharacters(), c.saveLiterals);
    EXPECT_EQ(mask.Leading(), c.leading);
    // The routines on a temporary mask agree.
    EXPECT_EQ(EmptyString(c.mask, '#'), c.empty);
    EXPECT_EQ(MaskBlank(c.mask), c.blank);
    EXPECT_EQ(SaveLiteralChars(c.mask), c.saveLiterals);
  }
}

TEST_F(cxStandardMaskTest, ItemKindsOptionalityAndCaseControl) {
  TcxStandardMask mask;
  mask.Compile("Ll>Aa<Cc<>09#\\x");
  const struct {
    TClass cls;
    bool optional;
    TcxCaseControl caseControl;
  } want[] = {
      {TcxStandardMaskAlphaItem::StaticClass(), false, ccUserCase},
      {TcxStandardMaskAlphaItem::StaticClass(), true, ccUserCase},
      {TcxStandardMaskAlphaNumericItem::StaticClass(), false, ccUpperCase},
      {TcxStandardMaskAlphaNumericItem::StaticClass(), true, ccUpperCase},
      {TcxStandardMaskASCIIItem::StaticClass(), false, ccLowerCase},
      {TcxStandardMaskASCIIItem::StaticClass(), true, ccLowerCase},
      {TcxStandardMaskNumericItem::StaticClass(), false, ccUserCase},
      {TcxStandardMaskNumericItem::StaticClass(), true, ccUserCase},
      {TcxStandardMaskNumericSymbolItem::StaticClass(), true, ccUserCase},
  };
  ASSERT_EQ(mask.GetCount(), 10);
  for (Integer i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    auto* item = dynamic_cast<TcxStandardMaskManyItem*>(mask.GetItems(i));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ClassType(), want[i].cls);
    EXPECT_EQ(item->Optional(), want[i].optional);
    EXPECT_EQ(item->CaseControl(), want[i].caseControl);
  }
  auto* literal = dynamic_cast<TcxStandardMaskLiteralItem*>(mask.GetItems(9));
  ASSERT_NE(literal, nullptr);
  EXPECT_EQ(literal->Literal(), 'x');
  EXPECT_EQ(mask.GetItems(10), nullptr);
  EXPECT_EQ(mask.GetItems(-1), nullptr);
}

// What each item kind accepts, and what its case control makes of the
// character.
TEST_F(cxStandardMaskTest, ItemChecks) {
  TcxStandardMask mask;
  // Positions: alpha, alphanumeric, any, digit, sign (all user case),
  // then an upper-case any and a lower-case any, then the literal "x".
  mask.Compile("LAC0#>C<Cx");
  const char* accepts[] = {
      "aZ",            // L
      "aZ09",          // A
      "aZ09+-_ \xE9",  // C
      "09",            // 0
      "09+-",          // #
  };
  const char probes[] = {'a', 'Z', '0', '9', '+', '-', '_', ' ', '\xE9'};
  for (Integer i = 0; i < 5; ++i) {
    for (char probe : probes) {
      char c = probe;
      const bool accepted = mask.GetItems(i)->Check(c);
      EXPECT_EQ(accepted, String(accepts[i]).find(probe) != String::npos)
          << i << " '" << probe << "'";
      EXPECT_EQ(c, probe) << "user case keeps the character";
    }
  }
  const struct {
    Integer item;
    char in;
    char out;
  } cases[] = {
      {5, 'a', 'A'}, {5, 'Z', 'Z'}, {5, '\xE9', '\xE9'}, {5, '1', '1'},
      {6, 'Q', 'q'}, {6, 'q', 'q'}, {6, '\xC9', '\xC9'},
  };
  for (const auto& c : cases) {
    char ch = c.in;
    EXPECT_TRUE(mask.GetItems(c.item)->Check(ch));
    EXPECT_EQ(ch, c.out) << c.item << " '" << c.in << "'";
  }
  char ch = 'x';
  EXPECT_TRUE(mask.GetItems(7)->Check(ch));
  ch = 'X';
  EXPECT_FALSE(mask.GetItems(7)->Check(ch));
}

struct FormatCase {
  const char* mask;
  const char* text;
  bool useCheckedChar;
  bool literalsInText;
  const char* expected;
};

TEST_F(cxStandardMaskTest, FormatLaysTextsIntoTheMask) {
  const FormatCase cases[] = {
      {">LL<ll", "aBcD", true, true, "ABcd"},
      {">LL<ll", "aBcD", false, true, "aBcD"},
      {">L<>L", "ab", true, true, "Ab"},
      {"!999", "12", true, true, "_12"},
      {"999", "12", true, true, "12_"},
      {"!999", "12345", true, true, "345"},
      {"999", "12345", true, true, "123"},
      {"(000)", "123", true, true, "(123)"},
      {"(000)", "(123)", true, true, "(123)"},
      {"(000)", "1x2", true, true, "(12_)"},
      {"!(999)", "12", true, true, "(_12)"},
      {"000", "1 2", true, true, "1_2"},
      {"000", "1_2", true, true, "1_2"},
      {"99;1;*", "*5", true, true, "*5"},
      {"99;1;*", "_5", true, true, "5*"},
      {"LL", "12", true, true, "__"},
      {"", "abc", true, true, ""},
      // Literals not stored: literal positions take characters only when
      // the text is said to hold them.
      {"-C;0", "-", true, true, "-_"},
      {"-C;0", "-", true, false, "--"},
      {"-C;1", "-", true, false, "-_"},
      {"0-0;0", "1-2", true, false, "1-2"},
      {"0/0", "1-2", true, true, "1-2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.mask) + " <- " + c.text);
    TcxStandardMask mask;
    mask.Compile(c.mask);
    String text = c.text;
    mask.Format(text, c.useCheckedChar, c.literalsInText);
    EXPECT_EQ(text, c.expected);
  }
}

TEST_F(cxStandardMaskTest, FormatTextReplacesTheBlank) {
  EXPECT_EQ(FormatText("12", "!999", '#'), "#12");
  EXPECT_EQ(FormatText("1#2", "999", '#'), "1#2");
  EXPECT_EQ(FormatText("12", "!999", '\0'), "_12");
  EXPECT_EQ(FormatText("ab", ">LL", '\0'), "AB");
}

TEST_F(cxStandardMaskTest, Format2GivesTheStoredValue) {
  const struct {
    const char* mask;
    const char* text;
    const char* expected;
  } cases[] = {
      {"(000)", "(12_)", "(12 )"},
      {"(000);0", "(12_)", "12 "},
      {"99;1;*", "*5", " 5"},
      {"00", "1234", "12"},
      {"(000)", "(1", "(1"},
      {"(000);0", "[12_]", "12 "},
      {"", "abc", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.mask) + " <- " + c.text);
    TcxStandardMask mask;
    mask.Compile(c.mask);
    String text = c.text;
    mask.Format2(text);
    EXPECT_EQ(text, c.expected);
  }
}

TEST_F(cxStandardMaskTest, PartialAndFullValidity) {
  const struct {
    const char* mask;
    const char* text;
    bool valid;
    bool fullValid;
  } cases[] = {
      {"#0", "+5", true, true},       {"#0", "-5", true, true},
      {"#0", "_5", true, true},       {"#0", " 5", true, true},
      {"#0", "5_", true, false},      {"#0", "5", true, false},
      {"#0", "", true, false},        {"#0", "123", false, false},
      {"#0", "x5", false, false},     {"LL", "a1", false, false},
      {"ll", "\xE9_", false, false},  {"ll", "__", true, true},
      {"LL", "__", true, false},      {"(00)", "(12)", true, true},
      {"(00)", "[12)", false, false}, {"(00)", "_12)", false, false},
      {"99", "  ", true, true},       {"00", "  ", true, false},
      {"cC", " x", true, true},       {"99;1;*", "**", true, true},
      {"99;1;*", "__", false, false}, {"", "", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.mask) + " : " + c.text);
    TcxStandardMask mask;
    mask.Compile(c.mask);
    String text = c.text;
    EXPECT_EQ(mask.IsValid(text), c.valid);
    text = c.text;
    EXPECT_EQ(mask.IsFullValid(text), c.fullValid);
    EXPECT_EQ(cxStandardMask::IsTextValid(c.text, c.mask), c.valid);
    EXPECT_EQ(cxStandardMask::IsTextFullValid(c.text, c.mask), c.fullValid);
  }
}

TEST_F(cxStandardMaskTest, ValidityAppliesTheCaseControlInPlace) {
  TcxStandardMask mask;
  mask.Compile(">L<L");
  String text = "aB";
  EXPECT_TRUE(mask.IsValid(text));
  EXPECT_EQ(text, "Ab");
  text = "xY";
  EXPECT_TRUE(mask.IsFullValid(text));
  EXPECT_EQ(text, "Xy");
}

TEST_F(cxStandardMaskTest, SeparatorsAreTakenWhenTheMaskIsCompiled) {
  TcxStandardMask mask;
  mask.Compile("99/99 99:99");
  EXPECT_EQ(mask.GetFullEmptyString(), "__-__ __.__");
  FormatSettings.DateSeparator = '/';
  FormatSettings.TimeSeparator = ':';
  EXPECT_EQ(mask.GetFullEmptyString(), "__-__ __.__");
  mask.Compile(mask.Mask());
  EXPECT_EQ(mask.GetFullEmptyString(), "__/__ __:__");
}

TEST_F(cxStandardMaskTest, ClearRestoresTheDefaults) {
  TcxStandardMask mask;
  mask.Compile("!99;0;*");
  mask.Clear();
  EXPECT_EQ(mask.GetCount(), 0);
  EXPECT_EQ(mask.Blank(), '_');
  EXPECT_TRUE(mask.SaveLiteralCharacters());
  EXPECT_FALSE(mask.Leading());
  EXPECT_EQ(mask.Mask(), "");
  // Compiling starts from the defaults too.
  mask.Compile("!99;0;*");
  mask.Compile("99");
  EXPECT_EQ(mask.GetFullEmptyString(), "__");
  EXPECT_TRUE(mask.SaveLiteralCharacters());
  EXPECT_FALSE(mask.Leading());
}

// Masks and texts of any bytes: every operation ends, and the laid-in text
// always has one character per position.
TEST_F(cxStandardMaskTest, AnyMaskAndTextBytes) {
  std::mt19937 rng(1210);
  const char likely[] = "LlAaCc09#<>\\/:;!01*_ x(";
  auto randomText = [&](std::size_t maxLength) {
    String s;
    const std::size_t n = rng() % (maxLength + 1);
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned r = rng();
      s += r % 2 ? likely[(r >> 8) % (sizeof likely - 1)]
                 : static_cast<char>((r >> 8) & 0xFF);
    }
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const String source = randomText(12);
    TcxStandardMask mask;
    mask.Compile(source);
    const std::size_t count = static_cast<std::size_t>(mask.GetCount());
    ASSERT_LE(count, source.size());
    ASSERT_EQ(mask.GetFullEmptyString().size(), count);
    const String text = randomText(16);
    for (bool checked : {false, true}) {
      for (bool literals : {false, true}) {
        String laid = text;
        mask.Format(laid, checked, literals);
        ASSERT_EQ(laid.size(), count) << source << " / " << text;
      }
    }
    String laid = text;
    mask.Format(laid);
    // A laid-in text is always valid as far as it goes.
    String copy = laid;
    EXPECT_TRUE(mask.IsValid(copy)) << source << " / " << text;
    mask.Format2(laid);
    ASSERT_LE(laid.size(), count);
    String t = text;
    mask.IsValid(t);
    t = text;
    mask.IsFullValid(t);
  }
}

}  // namespace
