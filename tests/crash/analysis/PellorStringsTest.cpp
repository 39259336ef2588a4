#include <gtest/gtest.h>

#include <climits>

#include "PellorStrings.h"

namespace {

const String kBlank2 = "  ";

// ---------------------------------------------------------------------------
// Exceptions
// ---------------------------------------------------------------------------

TEST(PellorExceptionTest, IsItsOwnRootNotAClassLibraryException) {
  AbnormalTerminationException e("stopped");
  EXPECT_EQ("stopped", e.Message());
  EXPECT_TRUE(e.InheritsFrom(PellorException::StaticClass()));
  EXPECT_FALSE(e.InheritsFrom(Exception::StaticClass()));
  EXPECT_EQ("AbnormalTerminationException", e.ClassName());
  // A handler for the class library's exceptions must not swallow it.
  bool caughtAsPellor = false;
  try {
    try {
      throw PellorException("x");
    } catch (const Exception&) {
    }
  } catch (const PellorException& p) {
    caughtAsPellor = p.Message() == "x";
  }
  EXPECT_TRUE(caughtAsPellor);
}

// ---------------------------------------------------------------------------
// Trimming, cutting and case
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, TrimTreatsEveryControlCharacterAsBlank) {
  struct Case {
    String in, out;
  } cases[] = {
      {"", ""},
      {" \t\r\n\x01 ", ""},
      {"\x01 a b\x1f", "a b"},
      {"abc", "abc"},
      {String("\0x\0", 3), "x"},
      {"\xa0z\xa0", "\xa0z\xa0"},  // above 32: not a blank
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.out, TrimmedStr(c.in));
    String s = c.in;
    TrimStrInPlace(s);
    EXPECT_EQ(c.out, s);
  }
}

TEST(PellorStringsTest, StripRemovesAndReportsWhetherAnythingWent) {
  String s = "a-b--c";
  EXPECT_TRUE(StripChar(s, '-'));
  EXPECT_EQ("abc", s);
  EXPECT_FALSE(StripChar(s, '-'));
  String t = "a1b2c3";
  EXPECT_TRUE(StripCharSet(t, PellorCharSet("0123456789")));
  EXPECT_EQ("abc", t);
  EXPECT_FALSE(StripCharSet(t, PellorCharSet("xyz")));
  EXPECT_EQ("abc", t);
}

TEST(PellorStringsTest, CuttingClipsToTheString) {
  struct Case {
    Integer index, count;
    String deleted, kept;
  } cases[] = {
      {1, 1, "bcde", "a"},  {2, 2, "ade", "bc"}, {4, kPellorToEnd, "abc", "de"},
      {5, 10, "abcd", "e"}, {6, 1, "abcde", ""}, {0, 2, "abcde", "ab"},
      {2, 0, "abcde", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << "," << c.count);
    EXPECT_EQ(c.deleted, DeletedCopy("abcde", c.index, c.count));
    String s = "abcde";
    KeepRange(s, c.index, c.count);
    EXPECT_EQ(c.kept, s);
  }
  EXPECT_EQ("de", TailStr("abcde", 2));
  EXPECT_EQ("abcde", TailStr("abcde", 9));
  EXPECT_EQ("", TailStr("abcde", 0));
}

TEST(PellorStringsTest, CaseTablesTouchOnlyTheirLetters) {
  // Upper/lower know only a-z and three umlauts; folding knows more.
  EXPECT_EQ("AZ\xc4\xd6\xdc\xe9{@1", UpperStr("az\xe4\xf6\xfc\xe9{@1"));
  EXPECT_EQ("az\xe4\xf6\xfc\xc9[`1", LowerStr("AZ\xc4\xd6\xdc\xc9[`1"));
  struct Case {
    unsigned char in, folded;
  } cases[] = {
      {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},
      {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}, {0xC0, 0xE0},
      {0xDE, 0xFE}, {0xD7, 0xD7}, {0xDF, 0xDF}, {0x9A, 0x9A}, {0xE0, 0xE0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.folded,
              static_cast<unsigned char>(FoldChar(static_cast<char>(c.in))))
        << std::hex << int(c.in);
  EXPECT_EQ("+", BoolToSign(true));
  EXPECT_EQ("-", BoolToSign(false));
}

TEST(PellorStringsTest, AnsiToWideWidensBytesUnchanged) {
  EXPECT_EQ(String("a\0\xe9\0", 4), AnsiToWideStr("a\xe9", false));
  EXPECT_EQ(String("a\0\0\0", 4), AnsiToWideStr("a", true));
  EXPECT_EQ(String("\0\0", 2), AnsiToWideStr("", true));
}

// ---------------------------------------------------------------------------
// Comparison and search
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, FoldedComparison) {
  EXPECT_TRUE(SameTextFolded("Hello\xc0", "hELLO\xe0"));
  EXPECT_FALSE(SameTextFolded("abc", "abcd"));
  EXPECT_EQ(0, CompareTextFolded("ABC", "abc"));
  EXPECT_EQ('b' - 'a', CompareTextFolded("b", "A"));
  EXPECT_EQ(-2, CompareTextFolded("ab", "ABcd"));
  // Unsigned bytes: 0xE9 sorts after 'z'.
  EXPECT_GT(CompareTextFolded("\xe9", "z"), 0);
}

TEST(PellorStringsTest, FindSearchesTheGivenRangeInEitherDirection) {
  struct Case {
    String sub, s;
    Integer from, to, expected;
  } cases[] = {
      {"b", "abcb", 1, kPellorToEnd, 2},
      {"b", "abcb", 4, 1, 4},  // backwards: last match first
      {"b", "abcb", 3, 1, 2},
      {"b", "abcb", 0, 4, 0},
      {"b", "abcb", 1, 0, 0},
      {"b", "abcb", 3, 3, 0},
      {"cb", "abcb", 1, 2, 0},  // match must start within [from, to]
      {"cb", "abcb", 1, 3, 3},
      {"abcbx", "abcb", 1, 9, 0},
      {"", "abcb", 1, 9, 0},
      {"b", "", 1, 9, 0},
      {"bc", "abcb", 9, 1, 2},  // from beyond the last start is clipped
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, FindStr(c.sub, c.s, c.from, c.to))
        << c.sub << " in " << c.s << " " << c.from << ".." << c.to;
  EXPECT_EQ(0, FindStr("B", "abcb", 1));
  EXPECT_EQ(2, FindText("B", "abcb", 1));
  EXPECT_EQ(4, FindText("B", "abcb", 4, 1));
}

TEST(PellorStringsTest, SearchCharsTakesZeroLengthsAsTerminated) {
  EXPECT_EQ(2, SearchChars("cd", "abcdcd", 0, kPellorToEnd, 0, false, 0));
  EXPECT_EQ(4, SearchChars("cd", "abcdcd", 0, 0, 5, false, 0));
  EXPECT_EQ(-1, SearchChars(nullptr, "abc", 1, 9, 0, false, 3));
  EXPECT_EQ(-1, SearchChars("a", nullptr, 1, 9, 0, false, 3));
  EXPECT_EQ(-1, SearchChars("", "abc", 0, 9, 0, false, 0));
  // Explicit lengths bound the search even past a terminator.
  EXPECT_EQ(-1, SearchChars("d", "abcd", 1, 9, 0, false, 3));
  EXPECT_EQ(2, SearchChars("\0x", "a\0\0x", 2, 9, 0, false, 4));
  EXPECT_EQ(1, SearchChars("BC", "abc", 2, 9, 0, true, 3));
}

TEST(PellorStringsTest, StartsWith) {
  EXPECT_TRUE(StartsWithStr("", ""));
  EXPECT_TRUE(StartsWithStr("ab", "abc"));
  EXPECT_FALSE(StartsWithStr("Ab", "abc"));
  EXPECT_TRUE(StartsWithText("Ab", "abc"));
  EXPECT_FALSE(StartsWithText("abcd", "abc"));
}

TEST(PellorStringsTest, FindCharOfSetClipsTheRange) {
  const TPellorCharSet digits = PellorCharSet("0123456789");
  struct Case {
    Integer from, to, expected;
  } cases[] = {
      {1, kPellorToEnd, 2},
      {3, kPellorToEnd, 4},
      {5, kPellorToEnd, 0},
      {99, 1, 4},
      {3, 1, 2},
      {-5, 2, 2},
      {0, 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, FindCharOfSet(digits, "a1b2c", c.from, c.to))
        << c.from << ".." << c.to;
  EXPECT_EQ(0, FindCharOfSet(digits, "", 1, 9));
}

// ---------------------------------------------------------------------------
// Replacing
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, ReplaceWithAndWithoutRescanning) {
  struct Case {
    String s, what, with;
    bool again;
    String expected;
    bool replaced;
  } cases[] = {
      {"     ", kBlank2, " ", true, " ", true},
      {"     ", kBlank2, " ", false, "   ", true},
      {"a  b    c", kBlank2, " ", true, "a b c", true},
      {"aXbxc", "x", "--", false, "aXb--c", true},
      {"aaa", "a", "aa", false, "aaaaaa", true},  // inserted text not rescanned
      {"abc", "d", "e", false, "abc", false},
      {"abc", "", "e", false, "abc", false},
      {"abab", "ab", "", false, "", true},
      // Growing replacement with rescan: resumes one past the insert.
      {"abb", "ab", "ca", true, "cca", true},
  };
  for (const auto& c : cases) {
    String s = c.s;
    EXPECT_EQ(c.replaced, ReplaceAllStr(s, c.what, c.with, c.again))
        << "[" << c.s << "] " << c.what << " -> " << c.with;
    EXPECT_EQ(c.expected, s) << "[" << c.s << "]";
  }
  String t = "aXbxc";
  EXPECT_TRUE(ReplaceAllText(t, "x", "-"));
  EXPECT_EQ("a-b-c", t);
}

TEST(PellorStringsTest, RescanningAReplacementThatHoldsItsTargetEnds) {
  // A careless caller must not hang the crash handler.
  String s = "aXa";
  EXPECT_TRUE(ReplaceAllStr(s, "a", "ba", true));
  EXPECT_EQ("baXba", s);
}

// ---------------------------------------------------------------------------
// Padding and numbers
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, PaddingKeepsTheSignInFrontOfDigitFill) {
  struct Case {
    String s;
    Integer minLen;
    char fill;
    String expected;
  } cases[] = {
      {"-5", 4, '0', "-005"},   {"-5", 4, ' ', "  -5"},
      {"ab", -4, '.', "ab.."},  {"-5", -4, '0', "-500"},
      {"abcd", 2, ' ', "abcd"}, {"abcd", 4, ' ', "abcd"},
      {"", 3, 'x', "xxx"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, PadStr(c.s, c.minLen, c.fill))
        << c.s << " " << c.minLen;
  String s = "-1";
  PadStrInPlace(s, 0, true, '0');
  EXPECT_EQ("-1", s);
  PadStrInPlace(s, -3, true, '0');
  EXPECT_EQ("-1", s);
}

TEST(PellorStringsTest, DecimalTextsCoverTheWholeRange) {
  EXPECT_EQ("0", IntToDec(0));
  EXPECT_EQ("-2147483648", IntToDec(INT32_MIN));
  EXPECT_EQ("2147483647", IntToDec(INT32_MAX));
  EXPECT_EQ("-9223372036854775808", Int64ToDec(INT64_MIN));
  EXPECT_EQ("9223372036854775807", Int64ToDec(INT64_MAX));
  EXPECT_EQ("4294967295", CardinalToDecPadded(0xFFFFFFFFu, 0, ' '));
  EXPECT_EQ("-0042", IntToDecPadded(-42, 5, '0'));
  EXPECT_EQ("42   ", IntToDecPadded(42, -5, ' '));
  EXPECT_EQ("00000000000000000007", Int64ToDecPadded(7, 20, '0'));
}

TEST(PellorStringsTest, HexTexts) {
  struct Case {
    String actual, expected;
  } cases[] = {
      {CardinalToHex(0), "0"},
      {CardinalToHex(0xDEADBEEF), "deadbeef"},
      {Int64ToHex(0x12345678), "12345678"},
      {Int64ToHex(0x100000002LL), "100000002"},
      {Int64ToHex(-1), "ffffffffffffffff"},
      {IntToHexPadded(255, 8, '0'), "$000000ff"},
      {IntToHexPadded(255, 4, ' '), "  $ff"},
      {IntToHexPadded(255, -4, ' '), "$ff  "},
      {IntToHexPadded(255, 1, '0'), "$ff"},
      {IntToHexPadded(-1, 0, ' '), "$ffffffff"},
      {IntToHexPadded(255, 4, 'A'), "$AAff"},  // a hex-digit fill pads digits
      {IntToHexPadded(255, 2, ' '), "$ff"},
      {CardinalToHexPadded(0x1F, 1, '0'), "$1f"},
      {Int64ToHexPadded(0x100000002LL, 12, '0'), "$000100000002"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(PellorStringsTest, ParseIntDigitsValidatesNothing) {
  struct Case {
    bool hex;
    String text;
    Integer expected;
  } cases[] = {
      {true, "ff", 255},        {false, "-12", -12},
      {true, "FF", 255},        {false, "1x2", 102},  // a non-digit counts as 0
      {false, "-", 0},          {true, "ffffffff", -1},
      {false, "4294967297", 1},  // wraps at 32 bits
      {false, "", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, ParseIntDigits(c.hex, c.text.data(),
                                         static_cast<Integer>(c.text.size())))
        << c.text;
  EXPECT_EQ(0, ParseIntDigits(false, nullptr, 3));
  EXPECT_EQ(12, ParseIntDigits(false, "123", 2));
}

// ---------------------------------------------------------------------------
// Delimited item lists
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, TidyItemListDropsBlanksAndEmptyItems) {
  struct Case {
    String in, out;
  } cases[] = {
      {" a , ,b ,", "a,b"},     {"", ""}, {" , ,", ""},
      {"a b, c d", "a b,c d"},   // blanks inside an item stay
      {"\ta\r\n;b", "a\r\n;b"},  // another delimiter: all one item
      {",,a,,,b,,", "a,b"},
  };
  for (const auto& c : cases) {
    String s = c.in;
    TidyItemList(s, ',');
    EXPECT_EQ(c.out, s) << "[" << c.in << "]";
  }
  String s = "\ta\r\n;b";
  TidyItemList(s, ';');
  EXPECT_EQ("a;b", s);
}

TEST(PellorStringsTest, ItemCountAndItemAt) {
  struct Case {
    String list;
    Integer count;
    std::vector<String> items;
  } cases[] = {
      {"", 0, {}},
      {"a,", 2, {"a", ""}},
      {"a,b", 2, {"a", "b"}},
      {",x,,y", 4, {"", "x", "", "y"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.count, ItemCount(c.list, ','));
    for (std::size_t i = 0; i < c.items.size(); ++i)
      EXPECT_EQ(c.items[i], ItemAt(c.list, static_cast<Integer>(i) + 1, ','));
    EXPECT_EQ("", ItemAt(c.list, c.count + 1, ','));
    EXPECT_EQ("", ItemAt(c.list, 0, ','));
  }
  EXPECT_EQ("", ItemAt("a,b", 3, ','));
}

TEST(PellorStringsTest, HasItemMatchesWholeItemsOnly) {
  struct Case {
    String list, item;
    bool str, text;
  } cases[] = {
      {"ab,b,cb", "b", true, true},   {"ab,cb", "b", false, false},
      {"ab,cb", "ab,cb", true, true}, {"Ab,cb", "ab", false, true},
      {"bb,xb", "b", false, false},   {"x,bb", "bb", true, true},
      {"abc", "", false, false},      {"", "", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.str, HasItemStr(c.list, c.item, ','))
        << c.list << " / " << c.item;
    EXPECT_EQ(c.text, HasItemText(c.list, c.item, ','))
        << c.list << " / " << c.item;
  }
}

// ---------------------------------------------------------------------------
// Sizes and system texts
// ---------------------------------------------------------------------------

TEST(PellorStringsTest, FormatByteSizeTruncatesToHundredths) {
  const String sep(1, LocaleDecimalSeparator());
  struct Case {
    Int64 size;
    String expected;
  } cases[] = {
      {0, "0 Bytes"},
      {1023, "1023 Bytes"},
      {-1023, "1023 Bytes"},
      {1024, "1" + sep + "00 KB"},
      {1536, "1" + sep + "50 KB"},
      {1048575, "1023" + sep + "99 KB"},
      {1048576, "1" + sep + "00 MB"},
      {1073741823, "1023" + sep + "99 MB"},
      {1073741824, "1" + sep + "00 GB"},
      {5LL * 1073741824 + 1073741824 / 4, "5" + sep + "25 GB"},
      {INT64_MIN, "8589934592" + sep + "00 GB"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, FormatByteSize(c.size)) << c.size;
}

bool FakeSource(Cardinal code, String& text) {
  if (code != 5) return false;
  text = "Access is denied.\r\nSecond line\r\n";
  return true;
}

TEST(PellorStringsTest, ErrorCodeTextCleansLineBreaksAndFallsBack) {
  SetPellorMessageSource(&FakeSource);
  EXPECT_EQ("Access is denied. Second line ", ErrorCodeText(5));
  const String fallback = ErrorCodeText(0xC0000005);
  SetPellorMessageSource(nullptr);
  EXPECT_TRUE(fallback.ends_with(" $c0000005")) << fallback;
  EXPECT_GT(fallback.size(), String(" $c0000005").size());
  EXPECT_EQ(fallback, ErrorCodeText(0xC0000005));
}

TEST(PellorStringsTest, UnscrambleIsItsOwnInverse) {
  const String plain("some text\0with a zero", 21);
  const String scrambled = UnscrambleStr(plain);
  EXPECT_NE(plain, scrambled);
  EXPECT_EQ(plain, UnscrambleStr(scrambled));
}

}  // namespace
