#include <gtest/gtest.h>

#include "Classes.h"
#include "StringsHelpers.h"

namespace {

using V = std::vector<String>;

TEST(StringList, CommaTextReadTable) {
  struct Case {
    const char* text;
    V lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a,b,c", {"a", "b", "c"}},
      {"  a , b ", {"a", "b"}},
      {"a b", {"a", "b"}},  // blanks separate unquoted items
      {"\"a b\",c", {"a b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"\"\"", {""}},
      {"\"open", {"open"}},  // missing closing quote takes the rest
      {"\"x\"y", {"x", "y"}},
      {"a\tb\nc", {"a", "b", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList s;
    s.SetCommaText(c.text);
    EXPECT_EQ(ListOf(s), c.lines);
  }
}

TEST(StringList, CommaTextWriteAndRoundTrip) {
  struct Case {
    V lines;
    const char* text;
  };
  const Case cases[] = {
      {{}, ""},
      {{"a", "b"}, "a,b"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"x,y"}, "\"x,y\""},
      {{"q\"q"}, "\"q\"\"q\""},
      {{""}, "\"\""},
      {{"a", "", "b"}, "a,,b"},
      {{" lead", "trail "}, "\" lead\",\"trail \""},
      {{"\xE9t\xE9"}, "\xE9t\xE9"},  // ANSI bytes above 0x7F need no quotes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList s;
    for (const auto& l : c.lines) s.Add(l);
    EXPECT_EQ(s.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(s.CommaText());
    EXPECT_EQ(ListOf(back), c.lines);
  }
}

TEST(StringList, DelimitedTextUsesDelimiterAndQuoteChar) {
  TStringList s;
  s.SetDelimiter(';');
  s.SetQuoteChar('\'');
  s.SetDelimitedText("a;'b;c';'it''s'");
  EXPECT_EQ(ListOf(s), (V{"a", "b;c", "it's"}));
  EXPECT_EQ(s.DelimitedText(), "a;'b;c';'it''s'");
  // CommaText ignores them and leaves them as they were.
  EXPECT_EQ(s.CommaText(), "a,b;c,it's");
  EXPECT_EQ(s.Delimiter(), ';');
}

TEST(StringList, TextSplitsEveryLineBreakStyleAndWritesCrLf) {
  struct Case {
    const char* text;
    V lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\n", {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList s;
    s.SetText(c.text);
    EXPECT_EQ(ListOf(s), c.lines);
  }
  TStringList s;
  s.Add("x");
  s.Add("");
  EXPECT_EQ(s.Text(), "x\r\n\r\n");
}

TEST(StringList, SortedListsAndDuplicates) {
  struct Case {
    TDuplicates dup;
    V lines;
  };
  const Case cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}},
      // An equal string goes before the ones already there.
      {dupAccept, {"apple", "banana", "Banana", "cherry"}},
  };
  for (const auto& c : cases) {
    TStringList s;
    s.SetSorted(true);
    s.SetDuplicates(c.dup);
    for (const char* x : {"cherry", "Banana", "apple", "banana"}) s.Add(x);
    EXPECT_EQ(ListOf(s), c.lines);
    EXPECT_EQ(s.IndexOf("CHERRY"), static_cast<Integer>(c.lines.size()) - 1);
  }
  TStringList s;
  s.SetSorted(true);
  s.SetDuplicates(dupError);
  s.Add("one");
  try {
    s.Add("ONE");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  try {
    s.Insert(0, "zero");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
  }
  s.Add("two");
  EXPECT_THROW(s.Move(0, 1), EStringListError);
  EXPECT_EQ(ListOf(s), (V{"one", "two"}));  // nothing lost
  EXPECT_THROW(s.SetStrings(0, "x"), EStringListError);
}

TEST(StringList, FindAndCaseSensitivity) {
  TStringList s;
  s.SetSorted(true);
  s.SetDuplicates(dupAccept);
  for (const char* x : {"b", "B", "a", "c"}) s.Add(x);
  Integer index = -1;
  EXPECT_TRUE(s.Find("b", index));
  EXPECT_EQ(index, 1);  // the first of the equal ones
  EXPECT_FALSE(s.Find("bb", index));
  EXPECT_EQ(index, 3);  // where it would go
  s.SetCaseSensitive(true);
  EXPECT_EQ(s.IndexOf("B"), s.IndexOf("B"));
  EXPECT_NE(s.IndexOf("B"), s.IndexOf("b"));
}

TEST(StringList, SortIsStableAndCustomSortSeesOriginalIndexes) {
  TStringList s;
  for (const char* x : {"b1", "a1", "b2", "a2", "b3"}) s.Add(x);
  // Compare by the first character only: equal items keep their order.
  s.CustomSort([](TStringList* l, Integer i, Integer j) {
    return static_cast<Integer>(l->Strings(i)[0]) -
           static_cast<Integer>(l->Strings(j)[0]);
  });
  EXPECT_EQ(ListOf(s), (V{"a1", "a2", "b1", "b2", "b3"}));
  // A comparison that is not an order must not break the list.
  s.CustomSort([](TStringList*, Integer, Integer) { return -1; });
  EXPECT_EQ(s.Count(), 5);
}

TEST(StringList, NamesAndValues) {
  TStringList s;
  s.SetText("Key=Value\nEmpty=\nplain\nx=a=b\n");
  EXPECT_EQ(s.Names(0), "Key");
  EXPECT_EQ(s.Values("key"), "Value");
  EXPECT_EQ(s.Values("x"), "a=b");
  EXPECT_EQ(s.Names(2), "");
  EXPECT_EQ(s.ValueFromIndex(2), "");  // no separator, no value
  EXPECT_EQ(s.IndexOfName("EMPTY"), 1);
  s.SetValues("New", "1");
  EXPECT_EQ(s[4], "New=1");
  s.SetValues("Key", "");
  EXPECT_EQ(s.IndexOfName("Key"), -1);
  s.SetNameValueSeparator(':');
  s.Add("a:b");
  EXPECT_EQ(s.Values("a"), "b");
}

TEST(StringList, ObjectsInsertDeleteMoveExchange) {
  TObject o1, o2;
  TStringList s;
  s.AddObject("one", &o1);
  s.AddObject("two", &o2);
  s.Insert(0, "zero");
  EXPECT_EQ(s.IndexOfObject(&o2), 2);
  s.Move(2, 0);
  EXPECT_EQ(ListOf(s), (V{"two", "zero", "one"}));
  EXPECT_EQ(s.Objects(0), &o2);
  s.Exchange(0, 2);
  EXPECT_EQ(s.Objects(2), &o2);
  s.Delete(1);
  EXPECT_EQ(ListOf(s), (V{"one", "two"}));
  try {
    s.Delete(5);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_THROW(s.Strings(-1), EStringListError);
}

class TChangeCounter : public TObject {
  VARNEL_CLASS(TChangeCounter, TObject)
 public:
  Integer Changes = 0, Changings = 0;
  void Changed(TObject*) { ++Changes; }
  void Changing(TObject*) { ++Changings; }
};

TEST(StringList, ChangeEventsAndUpdateBatching) {
  TChangeCounter n;
  TStringList s;
  s.OnChange = TNotifyEvent(&n, &TChangeCounter::Changed);
  s.OnChanging = TNotifyEvent(&n, &TChangeCounter::Changing);
  s.Add("a");
  EXPECT_EQ(n.Changes, 1);
  EXPECT_EQ(n.Changings, 1);
  s.BeginUpdate();
  s.Add("b");
  s.Add("c");
  s.Delete(0);
  s.EndUpdate();
  EXPECT_EQ(n.Changes, 2);
  EXPECT_EQ(n.Changings, 2);
  s.SetCommaText("x,y,z");
  EXPECT_EQ(n.Changes, 3);
}

TEST(StringList, AssignEqualsAndAddStrings) {
  TStringList a, b;
  TObject o;
  a.AddObject("x", &o);
  a.Add("y");
  b.Add("old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(&a));
  EXPECT_EQ(b.Objects(0), &o);
  b.AddStrings(&b);
  EXPECT_EQ(ListOf(b), (V{"x", "y", "x", "y"}));
  EXPECT_FALSE(b.Equals(&a));
  TComponent notStrings(nullptr);
  EXPECT_THROW(b.Assign(&notStrings), EConvertError);
}

}  // namespace
