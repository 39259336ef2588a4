#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "SysUtils.h"
#include "cxRegExpr.h"

namespace {

using cxRegExpr::IsTextFullValid;
using cxRegExpr::IsTextValid;

// Pins the separators that the pattern syntax reads from the locale.
class SeparatorsGuard {
 public:
  SeparatorsGuard(char date, char time, char decimal)
      : date_(DateSeparator), time_(TimeSeparator), decimal_(DecimalSeparator) {
    DateSeparator = date;
    TimeSeparator = time;
    DecimalSeparator = decimal;
  }
  ~SeparatorsGuard() {
    DateSeparator = date_;
    TimeSeparator = time_;
    DecimalSeparator = decimal_;
  }

 private:
  char date_, time_, decimal_;
};

void Compile(TcxRegExpr& engine, const String& pattern) {
  TStringStream source(pattern);
  engine.Compile(&source);
}

// The full messages of a failed compile; empty when it compiles.
std::vector<String> CompileErrors(const String& pattern) {
  TcxRegExpr engine;
  std::vector<String> out;
  try {
    Compile(engine, pattern);
  } catch (const EcxRegExprError& e) {
    for (Integer i = 0; i < e.Errors().GetCount(); ++i) {
      out.push_back(e.Errors()[i].GetFullMessage());
    }
    EXPECT_FALSE(engine.IsCompiled());
  }
  return out;
}

struct ErrorCase {
  const char* pattern;
  std::vector<String> errors;
};

class RegExprErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(RegExprErrorTest, ReportsEveryErrorWithItsPosition) {
  SeparatorsGuard pinned('/', ':', '.');
  EXPECT_EQ(CompileErrors(GetParam().pattern), GetParam().errors)
      << "pattern: " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, RegExprErrorTest,
    testing::Values(
        ErrorCase{"", {"The source stream is empty"}},
        ErrorCase{" \t\r\n", {"The source stream is empty"}},
        ErrorCase{"a?+",
                  {"Line1, Char3: The '+' quantifier cannot be applied "
                   "here"}},
        ErrorCase{"a**",
                  {"Line1, Char3: The '*' quantifier cannot be applied "
                   "here"}},
        ErrorCase{"(a?)*",
                  {"Line1, Char5: The '*' quantifier cannot be applied here"}},
        ErrorCase{"|a", {"Line1, Char1: The alternative should not be empty"}},
        ErrorCase{"a|", {"The alternative should not be empty"}},
        ErrorCase{"(a|)", {"Line1, Char4: The block should not be empty"}},
        ErrorCase{"()", {"Line1, Char2: The block should not be empty"}},
        ErrorCase{"a)(b", {"Line1, Char2: Illegal ')'"}},
        ErrorCase{"*a", {"Line1, Char1: Illegal quantifier '*'"}},
        ErrorCase{"a|?", {"Line1, Char3: Illegal quantifier '?'"}},
        // Without an item the bounds are read as ordinary lexems.
        ErrorCase{"{2}",
                  {"Line1, Char1: Incorrect parameter quantifier",
                   "Line1, Char2: Illegal integer value",
                   "Line1, Char3: Illegal '}'"}},
        ErrorCase{"a{,3}",
                  {"Line1, Char3: Incorrect parameter quantifier",
                   "Line1, Char4: Illegal integer value",
                   "Line1, Char5: Illegal '}'"}},
        ErrorCase{"a{3,1}",
                  {"Line1, Char5: Incorrect parameter quantifier",
                   "Line1, Char6: Illegal '}'"}},
        ErrorCase{"a?{2}",
                  {"Line1, Char3: The parameter quantifier cannot be applied "
                   "here"}},
        ErrorCase{"a*{2,}",
                  {"Line1, Char3: The parameter quantifier cannot be applied "
                   "here"}},
        ErrorCase{"(a)\\2", {"Line1, Char4: Too big reference number"}},
        ErrorCase{"\\1(a)", {"Line1, Char1: Too big reference number"}},
        // \12 is group 1 followed by 2.
        ErrorCase{"\\12", {"Line1, Char1: Too big reference number"}},
        ErrorCase{"\\", {"The alternative should not be empty"}},
        ErrorCase{"[]", {"Line1, Char2: Can't create empty enumeration"}},
        ErrorCase{"[^]", {"Line1, Char3: Can't create empty enumeration"}},
        ErrorCase{"[z-a]",
                  {"Line1, Char4: The starting character of the subrange "
                   "must be less than the finishing one"}},
        ErrorCase{"[a-a]",
                  {"Line1, Char4: The starting character of the subrange "
                   "must be less than the finishing one"}},
        ErrorCase{"[a-c-e]", {"Line1, Char5: Illegal '-'"}},
        ErrorCase{"\\x4G",
                  {"Line1, Char4: Hexadecimal number expected but 'G' "
                   "found"}},
        ErrorCase{"\\x4", {"Line1, Char4: Hexadecimal number expected"}},
        ErrorCase{"(a", {"Missing ')'"}}, ErrorCase{"a)", {"Unnecessary ')'"}},
        ErrorCase{"'ab", {"Line1, Char4: Missing ' ' '"}},
        ErrorCase{"[ab", {"Line1, Char4: Missing ']'"}},
        ErrorCase{"[a-", {"Line1, Char4: Missing ']'"}},
        ErrorCase{"a{1", {"Line1, Char4: Missing '}'"}},
        ErrorCase{"a{x}", {"Line1, Char3: Illegal 'x'"}},
        ErrorCase{"a{'}", {"Line1, Char3: Illegal ' ' '"}},
        ErrorCase{"\\ a",
                  {"Line1, Char2: The space character is not allowed after "
                   "'\\'"}},
        // Scanning goes on after an error and reports every one.
        ErrorCase{"\\xZ[a",
                  {"Line1, Char3: Hexadecimal number expected but "
                   "'Z' found",
                   "Line1, Char6: Missing ']'"}},
        // Parsing too.
        ErrorCase{"*|+",
                  {"Line1, Char1: Illegal quantifier '*'",
                   "Line1, Char3: Illegal quantifier '+'"}},
        // A carriage return starts a new line, a line feed column 0.
        ErrorCase{"a\r\n(|b)",
                  {"Line2, Char2: The alternative should not be empty"}}));

TEST(RegExprErrorMessageTest, FullMessageShowsOnlyPositionsAboveZero) {
  EXPECT_EQ(TcxRegExprError(1, 5, "m").GetFullMessage(), "Line1, Char5: m");
  EXPECT_EQ(TcxRegExprError(2, 0, "m").GetFullMessage(), "Line2: m");
  EXPECT_EQ(TcxRegExprError(0, 7, "m").GetFullMessage(), "m");
}

TEST(RegExprErrorMessageTest, MessagesComeThroughTheReplaceableStrings) {
  cxClearResourceStrings();
  cxSetResourceString(scxRegExprMissing, "Fehlt '%s'");
  cxSetResourceString(scxRegExprLine, "Zeile");
  EXPECT_EQ(CompileErrors("[ab"),
            std::vector<String>{"Zeile1, Char4: Fehlt ']'"});
  cxClearResourceStrings();
}

TEST(RegExprCompileTest, MissingStreamIsAnError) {
  TcxRegExpr engine;
  try {
    engine.Compile(nullptr);
    FAIL() << "no error";
  } catch (const EcxRegExprError& e) {
    ASSERT_EQ(e.Errors().GetCount(), 1);
    EXPECT_EQ(e.Errors()[0].GetFullMessage(),
              "The source stream is not assigned");
  }
  EXPECT_FALSE(engine.IsCompiled());
}

TEST(RegExprCompileTest, UncompiledEngineRefusesEveryStep) {
  TcxRegExpr engine;
  char c = 'a';
  auto expectNotCompiled = [](auto&& step) {
    try {
      step();
      ADD_FAILURE() << "no error";
    } catch (const EcxEditError& e) {
      EXPECT_EQ(e.Message(), "Regular expression is not compiled");
    }
  };
  expectNotCompiled([&] { engine.Next(c); });
  expectNotCompiled([&] { engine.NextEx("a"); });
  expectNotCompiled([&] { engine.Prev(); });
  expectNotCompiled([&] { engine.Reset(); });
  expectNotCompiled([&] { engine.IsFinal(); });
  expectNotCompiled([&] { engine.IsStart(); });
  EXPECT_EQ(engine.GetStream(), nullptr);
  EXPECT_EQ(engine.Print(), "");
}

TEST(RegExprCompileTest, RecompilingStartsAfresh) {
  TcxRegExpr engine;
  Compile(engine, "ab");
  char c = 'a';
  ASSERT_TRUE(engine.Next(c));
  // A failed compile leaves nothing usable behind.
  EXPECT_THROW(Compile(engine, "(a"), EcxRegExprError);
  EXPECT_FALSE(engine.IsCompiled());
  EXPECT_EQ(engine.Errors().GetCount(), 1);
  EXPECT_EQ(engine.GetStream(), nullptr);
  EXPECT_THROW(engine.Next(c), EcxEditError);
  // A good one clears the errors and starts at the beginning.
  Compile(engine, "xy");
  EXPECT_TRUE(engine.IsCompiled());
  EXPECT_EQ(engine.Errors().GetCount(), 0);
  EXPECT_TRUE(engine.IsStart());
  ASSERT_NE(engine.GetStream(), nullptr);
  EXPECT_EQ(engine.GetStream()->Size(), 2);
}

TEST(RegExprCompileTest, CompilesTheWholeStreamFromItsStart) {
  TcxRegExpr engine;
  TStringStream source("abc");
  source.SetPosition(2);
  engine.Compile(&source);
  EXPECT_EQ(engine.NextEx("abc"), "abc");
  EXPECT_TRUE(engine.IsFinal());
}

// ---------------------------------------------------------------------------
// Matching
// ---------------------------------------------------------------------------

struct MatchCase {
  const char* pattern;
  const char* text;
  bool valid;  // every character accepted
  bool full;   // and the match complete
};

class RegExprMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(RegExprMatchTest, AcceptsWhatThePatternDescribes) {
  SeparatorsGuard pinned('-', '.', ',');
  const MatchCase& m = GetParam();
  EXPECT_EQ(IsTextValid(m.text, m.pattern), m.valid)
      << "pattern " << m.pattern << " text " << m.text;
  EXPECT_EQ(IsTextFullValid(m.text, m.pattern), m.full)
      << "pattern " << m.pattern << " text " << m.text;
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, RegExprMatchTest,
    testing::Values(
        MatchCase{"'AB'", "AB", true, true},
        MatchCase{"'AB'", "ab", false, false},
        MatchCase{"'it''s'", "it's", true, true},
        MatchCase{"a b\tc", "abc", true, true},  // blanks are ignored
        MatchCase{"' '", " ", true, true},       // but not inside quotes
        MatchCase{"ab", "a", true, false}, MatchCase{"ab", "abc", false, false},
        MatchCase{"ab|cd", "cd", true, true},
        MatchCase{"ab|cd", "ad", false, false},
        MatchCase{".", "\xE9", true, true},
        MatchCase{"\\d\\d?", "1", true, true},
        MatchCase{"\\d\\d?", "12", true, true},
        MatchCase{"\\d\\d?", "123", false, false},
        MatchCase{"\\D", "x", true, true}, MatchCase{"\\D", "5", false, false},
        MatchCase{"\\w+", "ab_9", true, true},
        MatchCase{"\\w+", "a b", false, false},
        MatchCase{"\\W", "-", true, true},
        MatchCase{"\\s\\S", "\tx", true, true},
        MatchCase{"\\S", " ", false, false},
        MatchCase{"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1B", true, true},
        MatchCase{"\\x41\\x6a", "Aj", true, true},
        MatchCase{"\\.\\0\\(", ".0(", true, true},
        MatchCase{"a\\", "a", true, true},  // a final backslash is nothing
        MatchCase{"(x)\\12", "xx2", true, true},
        // Separators follow the locale (pinned to - . and , here).
        MatchCase{"\\d/\\d:\\d\\p\\d", "1-2.3,4", true, true},
        MatchCase{"/", "/", false, false}, MatchCase{"[/:]", ".", true, true},
        // Classes.
        MatchCase{"[a-c]{2}", "bc", true, true},
        MatchCase{"[a-c]", "d", false, false},
        MatchCase{"[^0-9]", "x", true, true},
        MatchCase{"[^0-9]", "5", false, false},
        MatchCase{"[a-]", "-", true, true}, MatchCase{"[a-]", "a", true, true},
        MatchCase{"[-a]", "-", true, true}, MatchCase{"[a^]", "^", true, true},
        MatchCase{"[.(]", "(", true, true},
        MatchCase{"[.(]", "x", false, false},
        MatchCase{"[\\d_]", "_", true, true},
        MatchCase{"[' ']", " ", true, true},
        MatchCase{"[\\x80-\\xFF]", "\xC4", true, true},
        MatchCase{"[\\x80-\\xFF]", "\x7F", false, false},
        // Quantifiers.
        MatchCase{"a*", "", true, true}, MatchCase{"a+", "", true, false},
        MatchCase{"a+b", "aaab", true, true},
        MatchCase{"(ab)+", "abab", true, true},
        MatchCase{"(ab)+", "aba", true, false},
        MatchCase{"a*?", "aaa", true, true},
        MatchCase{"a{3}", "aa", true, false},
        MatchCase{"a{3}", "aaa", true, true},
        MatchCase{"a{3}", "aaaa", false, false},
        MatchCase{"a{2,4}", "a", true, false},
        MatchCase{"a{2,4}", "aa", true, true},
        MatchCase{"a{2,4}", "aaaa", true, true},
        MatchCase{"a{2,4}", "aaaaa", false, false},
        MatchCase{"a{2,}", "aaaaaaa", true, true},
        MatchCase{"a{0}b", "b", true, true},
        MatchCase{"a{ 1 , 2 }", "aa", true, true},
        // A group that can be empty at the end leaves the match complete.
        MatchCase{"a(b?)", "a", true, true}, MatchCase{"(a?)", "", true, true},
        MatchCase{"(a?)(b?)c", "c", true, true},
        // Back references repeat the pattern of the group, not its match.
        MatchCase{"(\\d)-\\1", "1-2", true, true},
        MatchCase{"((a)|b)\\2", "ba", true, true},
        MatchCase{"((a)|b)\\2", "bb", false, false},
        // ...with the quantifier the group has when the reference is read.
        MatchCase{"(a)+\\1", "a", true, false},
        MatchCase{"(a)+\\1", "aa", true, true},
        MatchCase{"(a)\\1+", "aaa", true, true},
        // A group that a repetition replaced can still be referred to.
        MatchCase{"(a){2}\\1", "aaa", true, true},
        MatchCase{"(a){2}\\1", "aa", true, false},
        // A reference inside its own group copies what was read of it.
        MatchCase{"(a\\1)", "aa", true, true}));

TEST(RegExprStepTest, NextPrevAndResetMoveThroughTheInput) {
  TcxRegExpr engine;
  Compile(engine, "ab|ac");
  EXPECT_TRUE(engine.IsStart());
  EXPECT_FALSE(engine.Prev());  // nothing to take back
  char c = 'a';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_FALSE(engine.IsStart());
  EXPECT_FALSE(engine.IsFinal());
  c = 'd';
  EXPECT_FALSE(engine.Next(c));  // refused: the position stays
  c = 'c';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_TRUE(engine.IsFinal());
  ASSERT_TRUE(engine.Prev());
  EXPECT_FALSE(engine.IsFinal());
  c = 'b';
  EXPECT_TRUE(engine.Next(c));
  EXPECT_TRUE(engine.IsFinal());
  engine.Reset();
  EXPECT_TRUE(engine.IsStart());
  EXPECT_FALSE(engine.Prev());
}

TEST(RegExprStepTest, NextExReturnsTheAcceptedCharactersAsGiven) {
  TcxRegExpr engine;
  Compile(engine, "'AB'c");
  engine.SetCaseInsensitive(true);
  EXPECT_EQ(engine.NextEx("abX"), "ab");
  EXPECT_FALSE(engine.IsFinal());
  EXPECT_EQ(engine.NextEx("c"), "c");
  EXPECT_TRUE(engine.IsFinal());
}

TEST(RegExprStepTest, CaseInsensitiveMatchTurnsCharactersIntoThePatternsCase) {
  TcxRegExpr engine;
  Compile(engine, "'AB'[x-z]");
  engine.SetCaseInsensitive(true);
  char c = 'a';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(c, 'A');
  c = 'b';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(c, 'B');
  // Ranges never fold case.
  c = 'Y';
  EXPECT_FALSE(engine.Next(c));
  EXPECT_EQ(c, 'Y');
  c = 'y';
  EXPECT_TRUE(engine.Next(c));
}

TEST(RegExprStepTest, CaseFoldingFollowsTheCodePage) {
  TcxRegExpr engine;
  Compile(engine, "'\xC4'");  // A with diaeresis in code page 1252
  engine.SetCaseInsensitive(true);
  char c = '\xE4';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(c, '\xC4');
}

TEST(RegExprStepTest, RejectingNegatedClassLeavesTheCharacterAlone) {
  TcxRegExpr engine;
  Compile(engine, "[^a]|.");
  engine.SetCaseInsensitive(true);
  char c = 'A';
  EXPECT_TRUE(engine.Next(c));
  EXPECT_EQ(c, 'A');
}

// Logs what auto-completion inserts (the character) and takes back ("~").
class CompletionLog {
 public:
  explicit CompletionLog(TcxRegExpr& engine) {
    engine.OnSymbolUpdate = TcxSymbolUpdateEvent(this, &CompletionLog::Updated);
    engine.OnSymbolDelete = TcxSymbolDeleteEvent(this, &CompletionLog::Deleted);
  }
  void Updated(char ASymbol) { text += ASymbol; }
  void Deleted() { text += '~'; }
  String text;
};

TEST(RegExprAutoCompleteTest, InsertsAndTakesBackForcedCharacters) {
  TcxRegExpr engine;
  CompletionLog log(engine);
  Compile(engine, "'(' \\d\\d ')'");
  engine.SetUpdateOn(true);
  EXPECT_EQ(log.text, "(");  // the forced prefix at once
  char c = '1';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(log.text, "(");
  c = '2';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(log.text, "()");
  EXPECT_TRUE(engine.IsFinal());
  // Back: the forced ")" goes first, then the "2" before it.
  ASSERT_TRUE(engine.Prev());
  EXPECT_EQ(log.text, "()~");
  EXPECT_FALSE(engine.IsFinal());
  c = '5';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(log.text, "()~)");
  ASSERT_TRUE(engine.Prev());  // ")" and "5"
  ASSERT_TRUE(engine.Prev());  // "1"
  EXPECT_EQ(log.text, "()~)~");
  // Only the forced prefix is left: it goes, and there is nothing before.
  EXPECT_FALSE(engine.Prev());
  EXPECT_EQ(log.text, "()~)~~");
  EXPECT_TRUE(engine.IsStart());
}

TEST(RegExprAutoCompleteTest, CompletesThroughSeparatorsAndStopsAtChoices) {
  SeparatorsGuard pinned('.', ':', ',');
  TcxRegExpr engine;
  CompletionLog log(engine);
  engine.SetUpdateOn(true);  // before Compile: completes when compiled
  Compile(engine, "'<'\\d\\d/(\\d\\d|x)");
  EXPECT_EQ(log.text, "<");
  for (char c : String("31")) ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(log.text, "<.");  // the date separator, then a choice
  // After a complete match nothing more is forced.
  Compile(engine, "a+b?");
  EXPECT_EQ(log.text, "<.a");
  char c = 'a';
  ASSERT_TRUE(engine.Next(c));
  EXPECT_EQ(log.text, "<.a");
}

TEST(RegExprAutoCompleteTest, SameCharacterInEveryBranchIsForced) {
  TcxRegExpr engine;
  CompletionLog log(engine);
  Compile(engine, "ab|ac");
  engine.SetUpdateOn(true);
  EXPECT_EQ(log.text, "a");
  EXPECT_FALSE(engine.IsFinal());
}

TEST(RegExprPrintTest, ListsTheParseTree) {
  struct Case {
    const char* pattern;
    const char* tree;
  };
  const Case cases[] = {
      {"ab?", "<Start_Alt>\r\nitem --> \r\nitem --> ?\r\n<Finish_Alt>\r\n"},
      {"a|(b|c)*",
       "<Start_Alt>\r\nitem --> \r\n<Finish_Alt>\r\n"
       "<Start_Alt>\r\n<Start_Block>\r\n"
       "<Start_Alt>\r\nitem --> \r\n<Finish_Alt>\r\n"
       "<Start_Alt>\r\nitem --> \r\n<Finish_Alt>\r\n"
       "<Finish_Block> --> *\r\n<Finish_Alt>\r\n"},
      // A second quantifier wraps the item: a*? is (a*)?.
      {"a*?",
       "<Start_Alt>\r\n<Start_Block>\r\n<Start_Alt>\r\nitem --> *\r\n"
       "<Finish_Alt>\r\n<Finish_Block> --> ?\r\n<Finish_Alt>\r\n"},
      // a{2,4} is a a (a a?)? in a group.
      {"a{2,4}",
       "<Start_Alt>\r\n<Start_Block>\r\n<Start_Alt>\r\n"
       "item --> \r\nitem --> \r\n"
       "<Start_Block>\r\n<Start_Alt>\r\nitem --> \r\nitem --> ?\r\n"
       "<Finish_Alt>\r\n<Finish_Block> --> ?\r\n"
       "<Finish_Alt>\r\n<Finish_Block> --> \r\n<Finish_Alt>\r\n"},
      // a+{2,} is a+ a+ (a+)*.
      {"a+{2,}",
       "<Start_Alt>\r\n<Start_Block>\r\n<Start_Alt>\r\n"
       "item --> +\r\nitem --> +\r\n"
       "<Start_Block>\r\n<Start_Alt>\r\nitem --> +\r\n<Finish_Alt>\r\n"
       "<Finish_Block> --> *\r\n"
       "<Finish_Alt>\r\n<Finish_Block> --> \r\n<Finish_Alt>\r\n"},
  };
  for (const Case& c : cases) {
    TcxRegExpr engine;
    Compile(engine, c.pattern);
    EXPECT_EQ(engine.Print(), c.tree) << c.pattern;
  }
}

TEST(RegExprUnitRoutinesTest, BadMaskErrorOutlivesItsEngine) {
  try {
    IsTextValid("x", "[a");
    FAIL() << "no error";
  } catch (const EcxRegExprError& e) {
    ASSERT_EQ(e.Errors().GetCount(), 1);
    EXPECT_EQ(e.Errors()[0].GetFullMessage(), "Line1, Char3: Missing ']'");
  }
  EXPECT_THROW(IsTextFullValid("x", ""), EcxRegExprError);
}

// ---------------------------------------------------------------------------
// Hostile patterns
// ---------------------------------------------------------------------------

// Runs Work on a thread of its own and waits for it at most Limit. Work
// still running then fails the test; as it cannot be stopped, the program
// ends at once instead of hanging.
template <class F>
void ExpectFinishesWithin(std::chrono::milliseconds Limit, F Work) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread worker([done, &Work] {
    Work();
    done->set_value();
  });
  if (finished.wait_for(Limit) != std::future_status::ready) {
    ADD_FAILURE() << "still running after " << Limit.count() << " ms";
    std::fflush(stdout);
    std::_Exit(1);
  }
  worker.join();
}

String Repeat(const String& s, int times) {
  String out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

TEST(RegExprLimitsTest, HugePatternsFailCleanly) {
  struct Case {
    String pattern;
    const char* firstError;
  };
  const Case cases[] = {
      {"a{100000}", "Line1, Char2: Incorrect parameter quantifier"},
      {"a{99999999999999999999}",
       "Line1, Char2: Incorrect parameter quantifier"},
      {"a{1,100000}", "Line1, Char2: Incorrect parameter quantifier"},
      {"((a{60}){60}){60}", "Line1, Char14: Incorrect parameter quantifier"},
      {"(" + String(60, 'a') + ")" + Repeat("\\1", 100),
       "Line1, Char195: Too big reference number"},
      {String(5000, 'a'), "Line1, Char4097: Illegal 'a'"},
      {String(3000, '(') + "a" + String(3000, ')'),
       "Line1, Char257: Illegal '('"},
  };
  for (const Case& c : cases) {
    std::vector<String> errors = CompileErrors(c.pattern);
    ASSERT_FALSE(errors.empty()) << c.pattern.substr(0, 40);
    EXPECT_EQ(errors[0], c.firstError) << c.pattern.substr(0, 40);
  }
}

TEST(RegExprLimitsTest, LongQuantifierChainsStayWithinBounds) {
  // Every further "?" wraps the item once more; the wrapping stops at a
  // fixed depth with an error instead of growing without end.
  std::vector<String> errors = CompileErrors("a" + String(2000, '?'));
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0], "Line1, Char259: Illegal quantifier '?'");
}

TEST(RegExprLimitsTest, ManyOptionalGroupsMatchQuickly) {
  // Each optional group can be passed in two ways; the matcher visits each
  // state once per step instead of following every path (2^200 of them),
  // so the matches end long before the deadline.
  String pattern = Repeat("(a?)?", 200) + "b";
  bool longer = false, shortest = false;
  ExpectFinishesWithin(std::chrono::seconds(20), [&] {
    longer = IsTextFullValid("aaab", pattern);
    shortest = IsTextFullValid("b", pattern);
  });
  EXPECT_TRUE(longer);
  EXPECT_TRUE(shortest);
}

}  // namespace
