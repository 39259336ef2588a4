#include <gtest/gtest.h>

#include "cxLike.h"

namespace {

struct LikeCase {
  const char* Text;
  const char* Pattern;
  bool Matches;
};

TEST(cxLike, MatchesTheTableOfPatterns) {
  const LikeCase cases[] = {
      {"abc", "a%", true},
      {"abc", "%b%", true},
      {"abc", "a_c", true},
      {"abc", "A%", false},
      {"", "%", true},
      {"", "", true},
      {"", "_", false},
      {"a", "a%", true},
      {"ab", "a%%", true},
      // A trailing run of percent signs may match nothing at all.
      {"a", "a%%", true},
      {"a", "a%%%", true},
      {"", "%%", true},
      {"abc", "", false},
      {"abc", "abc", true},
      {"abc", "ab", false},
      {"abc", "%c", true},
      {"abc", "%b", false},
      {"abcbd", "%b_", true},
      {"abc", "___", true},
      {"abc", "____", false},
      {"xaby", "%a%b%", true},
      {"xbay", "%a%b%", false},
      {"mississippi", "%iss%ipp%", true},
      {"aaa", "%a%a%a%", true},
      {"aa", "%a%a%a%", false},
  };
  for (const LikeCase& c : cases)
    EXPECT_EQ(c.Matches, LikeStr(c.Text, c.Pattern, '%', '_'))
        << c.Text << " LIKE " << c.Pattern;
}

TEST(cxLike, UsesTheGivenWildcardsAndEscape) {
  EXPECT_TRUE(LikeStr("abc", "a*", '*', '?'));
  EXPECT_TRUE(LikeStr("abc", "a?c", '*', '?'));
  EXPECT_FALSE(LikeStr("a%c", "a?d", '*', '?'));
  EXPECT_TRUE(LikeStr("a%", "a%", '*', '?'));

  auto match = [](const char* AText, const char* APattern) {
    return LikeMatchChars(AText, static_cast<Integer>(strlen(AText)), APattern,
                          '\\', '_', '%',
                          static_cast<Integer>(strlen(APattern)));
  };
  EXPECT_TRUE(match("50%", "50\\%"));
  EXPECT_FALSE(match("500", "50\\%"));
  EXPECT_TRUE(match("a_b", "a\\_b"));
  EXPECT_FALSE(match("axb", "a\\_b"));
  EXPECT_TRUE(match("a\\b", "a\\\\b"));
  // A dangling escape stands for nothing.
  EXPECT_TRUE(match("ab", "ab\\"));
  EXPECT_TRUE(match("x50%y", "%50\\%%"));
}

TEST(cxLike, ComparesBytesNotCharacters) {
  EXPECT_TRUE(LikeStr("\xE9t\xE9", "_t_", '%', '_'));
  EXPECT_FALSE(LikeStr("\xE9", "\xC9", '%', '_'));
  std::string withZero("a\0b", 3);
  EXPECT_TRUE(LikeStr(withZero, std::string("a_b"), '%', '_'));
}

// Many percent signs over a long text that never matches: the matcher must
// not try every way of splitting the text among them.
TEST(cxLike, PathologicalPatternEndsQuickly) {
  String text(20000, 'a');
  String pattern;
  for (int i = 0; i < 200; ++i) pattern += "%a";
  pattern += "%b";
  EXPECT_FALSE(LikeStr(text, pattern, '%', '_'));
  EXPECT_TRUE(LikeStr(text + "b", pattern, '%', '_'));
}

TEST(cxLike, ClassifiesPatterns) {
  struct Case {
    const char* Pattern;
    cxLike::TcxFilterLikeOperator Kind;
    const char* Rest;
  };
  const Case cases[] = {
      {"abc%", cxLike::floBeginsWith, "abc"},
      {"%abc", cxLike::floEndsWith, "abc"},
      {"%%abc%%", cxLike::floContains, "abc"},
      {"%", cxLike::floLike, "%"},
      {"%%", cxLike::floLike, "%"},
      {"a%c", cxLike::floLike, "a%c"},
      {"a_c%", cxLike::floBeginsWith, "a_c"},
      {"", cxLike::floLike, ""},
      {"%a%", cxLike::floContains, "a"},
  };
  for (const Case& c : cases) {
    String pattern = c.Pattern;
    EXPECT_EQ(c.Kind, LikeOperatorByPattern(pattern, '%')) << c.Pattern;
    EXPECT_EQ(c.Rest, pattern) << c.Pattern;
  }
  String runs = "a%%%b%%";
  CollapseDoubledWildcard(runs, '%');
  EXPECT_EQ("a%b%", runs);
}

}  // namespace
