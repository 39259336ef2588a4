#include <gtest/gtest.h>

#include <thread>

#include "PellorFields.h"

namespace {

struct TRecordingSettings : TPESettingsOwner {
  String name, value;
  int writes = 0;
  bool WriteStrSetting(const String& n, const String& v) override {
    name = n;
    value = v;
    ++writes;
    return true;
  }
};

struct TRecordingException : TPEChangeOwner {
  int held = 0, modified = 0, notices = 0;
  void HoldChanges() override { ++held; }
  void ReleaseChanges() override {
    if (--held == 0 && modified) {
      ++notices;
      modified = 0;
    }
  }
  void MarkModified() override { ++modified; }
};

TIntfPtr<TIPEFields> Fields(std::initializer_list<FieldEntry> entries) {
  auto list = NewFieldList();
  list->AllowContent();
  for (const auto& e : entries) list->AppendField(e.name, e.content);
  return list;
}

String Names(TIPEFields& list) {
  String s;
  for (Integer i = 0; i < list.FieldCount(); ++i) s += list.NameAt(i) + ",";
  return s;
}

TEST(PellorFieldsTest, ContentIsRefusedUntilAllowed) {
  auto list = NewFieldList();
  list->PutContent("a", "1");
  list->InsertField(0, "b", "2");
  EXPECT_EQ(0, list->FieldCount());
  list->AllowContent();
  list->PutContent("a", "  1 \r\n");
  EXPECT_EQ("1", list->ContentOf("A"));
}

TEST(PellorFieldsTest, BlankContentRemovesTheField) {
  auto list = Fields({{"computer name", "pc"}, {"user", "me"}});
  list->PutContent("Computer Name", "   ");
  EXPECT_EQ("user,", Names(*list));
  list->PutContent("nothing", "");
  EXPECT_EQ(1, list->FieldCount());
}

TEST(PellorFieldsTest, PutContentTakesTheNamesLetterCase) {
  auto list = Fields({{"exception message", "x"}});
  TRecordingSettings owner;
  list->SetSettingsOwner(&owner);
  list->PutContent("exception message", "x");
  EXPECT_EQ(0, owner.writes);
  list->PutContent("Exception Message", "x");
  EXPECT_EQ("Exception Message,", Names(*list));
  EXPECT_EQ(1, owner.writes);
  list->DetachSettingsOwner();
}

TEST(PellorFieldsTest, InsertFieldPlacesAndReplaces) {
  struct Case {
    Integer index;
    const char* name;
    const char* expected;
  } cases[] = {
      {99, "d", "a,b,c,d,"}, {-5, "d", "d,a,b,c,"}, {1, "d", "a,d,b,c,"},
      {0, "a", "a,b,c,"},    {3, "a", "b,c,a,"},    {0, "c", "c,a,b,"},
  };
  for (const auto& c : cases) {
    auto list = Fields({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    list->InsertField(c.index, c.name, "new");
    EXPECT_EQ(c.expected, Names(*list)) << c.index << " " << c.name;
    EXPECT_EQ("new", list->ContentOf(c.name));
  }
}

TEST(PellorFieldsTest, InsertPositionFollowsTheEntries) {
  auto list = Fields({{"a", "1"}, {"b", "2"}});
  list->SetInsertPosition(1);
  list->PutContent("x", "new");
  list->PutContent("y", "new");
  EXPECT_EQ("a,x,y,b,", Names(*list));
  list->RemoveAt(0);
  list->PutContent("z", "new");
  EXPECT_EQ("x,y,z,b,", Names(*list));
}

TEST(PellorFieldsTest, OutOfRangeIndexesDoNothing) {
  auto list = Fields({{"a", "1"}});
  list->RemoveAt(1);
  list->RemoveAt(-1);
  list->RenameAt(5, "x");
  EXPECT_EQ("", list->NameAt(1));
  EXPECT_EQ(-1, list->IndexOfName("x"));
  EXPECT_EQ("a,", Names(*list));
}

TEST(PellorFieldsTest, SettingsOwnerGetsTheWholeList) {
  auto list = Fields({});
  TRecordingSettings owner;
  list->SetSettingsOwner(&owner);
  list->PutContent("a", "1");
  list->PutContent("b", "2");
  EXPECT_EQ("AddFields", owner.name);
  EXPECT_EQ("a=1|b=2", owner.value);
  list->RenameAt(0, "A");
  EXPECT_EQ("A=1|b=2", owner.value);
  list->DetachSettingsOwner();
  list->PutContent("c", "3");
  EXPECT_EQ("A=1|b=2", owner.value);
}

TEST(PellorFieldsTest, ExceptionOwnerIsToldOncePerBracket) {
  auto list = Fields({});
  TRecordingException owner;
  list->SetExceptionOwner(&owner);
  list->BeginAccess();
  list->PutContent("a", "1");
  list->PutContent("b", "2");
  list->RemoveName("a");
  EXPECT_EQ(0, owner.notices);
  list->EndAccess();
  EXPECT_EQ(1, owner.notices);
  list->PutContent("c", "3");
  EXPECT_EQ(2, owner.notices);
  list->DetachExceptionOwner();
}

TEST(PellorFieldsTest, CopyHasTheEntriesAndNoOwner) {
  auto list = Fields({{"a", "1"}, {"b", "2"}});
  TRecordingSettings owner;
  list->SetSettingsOwner(&owner);
  PPEFields copy = list->CopyFields();
  copy->PutContent("c", "3");
  EXPECT_EQ(0, owner.writes);
  EXPECT_EQ(3, copy->FieldCount());
  EXPECT_EQ("2", copy->ContentOf("b"));
  list->DetachSettingsOwner();
}

TEST(PellorFieldsTest, ManyThreadsKeepEveryEntry) {
  auto list = Fields({});
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&list, t] {
      for (int i = 0; i < 100; ++i)
        list->PutContent("f" + std::to_string(t) + "_" + std::to_string(i),
                         "x");
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(400, list->FieldCount());
}

// ---------------------------------------------------------------------------

TEST(PellorAttachmentsTest, DefaultsForSendAsAndFieldName) {
  struct Case {
    const char *source, *sendAs, *field, *expectSendAs, *expectField;
  } cases[] = {
      {"C:\\x\\report.log", "", "", "report.log", "report"},
      {"C:\\x\\archive.tar.gz", "", "", "archive.tar.gz", "archive.tar"},
      {"C:\\x\\README", "", "", "README", "README"},
      {"C:\\x\\a.txt", "b.dat", "", "b.dat", "b"},
      {"a.txt", "", "F", "a.txt", "F"},
  };
  for (const auto& c : cases) {
    PPEAttachments list = NewAttachmentList();
    list->AddAttachment(c.source, c.sendAs, "", c.field);
    String source, sendAs, zip, field;
    ASSERT_TRUE(list->AttachmentAt(0, source, sendAs, zip, field));
    EXPECT_EQ(c.source, source);
    EXPECT_EQ(c.expectSendAs, sendAs) << c.source;
    EXPECT_EQ(c.expectField, field) << c.source;
  }
}

TEST(PellorAttachmentsTest, EmptySourceAddsNothing) {
  PPEAttachments list = NewAttachmentList();
  list->AddAttachment("", "a", "b", "c");
  EXPECT_EQ(0, list->AttachmentCount());
  String s, a, z, f;
  EXPECT_FALSE(list->AttachmentAt(0, s, a, z, f));
}

TEST(PellorAttachmentsTest, RemoveClearAndWriteBack) {
  TIntfPtr<TIPEAttachments> list(new TIPEAttachments);
  TRecordingSettings owner;
  list->SetSettingsOwner(&owner);
  list->AddAttachment("C:\\a.txt", "", "z.zip", "");
  list->AddAttachment("C:\\b.txt", "x.txt", "", "X");
  EXPECT_EQ("AddAttachs", owner.name);
  EXPECT_EQ("C:\\a.txt>a.txt>z.zip>a|C:\\b.txt>x.txt>>X", owner.value);
  EXPECT_FALSE(list->RemoveAttachment("C:\\c.txt"));
  EXPECT_TRUE(list->RemoveAttachment("c:\\A.TXT"));
  EXPECT_EQ("C:\\b.txt>x.txt>>X", owner.value);
  const int writes = owner.writes;
  list->ClearAttachments();
  list->ClearAttachments();
  EXPECT_EQ(writes + 1, owner.writes);
  EXPECT_EQ("", owner.value);
  list->DetachSettingsOwner();
}

TEST(PellorAttachmentsTest, CopyDropsZipNames) {
  PPEAttachments list = NewAttachmentList();
  list->AddAttachment("C:\\a.txt", "s.txt", "z.zip", "F");
  PPEAttachments copy = list->CopyAttachments();
  String source, sendAs, zip, field;
  ASSERT_TRUE(copy->AttachmentAt(0, source, sendAs, zip, field));
  EXPECT_EQ("C:\\a.txt", source);
  EXPECT_EQ("s.txt", sendAs);
  EXPECT_EQ("", zip);
  EXPECT_EQ("F", field);
}

}  // namespace
