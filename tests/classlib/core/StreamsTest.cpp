#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "Classes.h"

namespace {

String TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          ("varnel_streams_" +
           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + name))
      .string();
}

TEST(MemoryStream, WriteSeekReadAndGrowth) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  EXPECT_EQ(m.Seek(Int64{-2}, soEnd), 3);
  EXPECT_EQ(m.Seek(1, soFromCurrent), 4);
  char c = 0;
  EXPECT_EQ(m.Read(&c, 1), 1);
  EXPECT_EQ(c, 'o');
  EXPECT_EQ(m.Read(&c, 1), 0);  // at the end
  // Writing past the end fills the gap with zeros.
  m.SetPosition(8);
  m.WriteBuffer("!", 1);
  EXPECT_EQ(m.Size(), 9);
  EXPECT_EQ(std::memcmp(m.Memory(), "hello\0\0\0!", 9), 0);
  // A seek before the start is refused.
  EXPECT_EQ(m.Seek(Int64{-100}, soBeginning), 9);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Memory(), nullptr);
}

TEST(MemoryStream, ReadBufferPastTheEndRaisesAndWriteErrors) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.SetPosition(1);
  char buf[8];
  try {
    m.ReadBuffer(buf, 3);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  EXPECT_THROW(m.ReadBuffer(buf, -1), EReadError);
  m.ReadBuffer(buf, 0);  // nothing to read is fine
  // A read-only memory stream moves nothing on write.
  class TFixed : public TCustomMemoryStream {
   public:
    TFixed(void* p, Integer n) { SetPointer(p, n); }
  } fixed(buf, 4);
  try {
    fixed.WriteBuffer("x", 1);
    FAIL();
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_EQ(fixed.Size(), 4);
}

TEST(MemoryStream, CopyFromAllOrPart) {
  TStringStream src("0123456789");
  src.SetPosition(7);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10);  // 0 = everything, from the start
  EXPECT_EQ(dst.Size(), 10);
  src.SetPosition(2);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&src, 3), 3);
  EXPECT_EQ(String(static_cast<char*>(part.Memory()), 3), "234");
  src.SetPosition(8);
  EXPECT_THROW(part.CopyFrom(&src, 5), EReadError);
}

TEST(MemoryStream, LoadFromStreamFailureKeepsTheOldContent) {
  // A source whose Size claims more than it can deliver.
  class TLiar : public TStringStream {
   public:
    using TStringStream::TStringStream;
    Int64 Size() override { return 100; }
  } liar("short");
  TMemoryStream m;
  m.WriteBuffer("keep", 4);
  EXPECT_THROW(m.LoadFromStream(&liar), EReadError);
  EXPECT_EQ(m.Size(), 4);
  EXPECT_EQ(std::memcmp(m.Memory(), "keep", 4), 0);
}

TEST(StringStream, ReadWriteStringsAndClampedSeek) {
  TStringStream s("abc");
  EXPECT_EQ(s.ReadString(2), "ab");
  s.WriteString("XYZ");
  EXPECT_EQ(s.DataString(), "abXYZ");
  EXPECT_EQ(s.Seek(Int64{50}, soBeginning), 5);
  EXPECT_EQ(s.Seek(Int64{-50}, soCurrent), 0);
  EXPECT_EQ(s.ReadString(100), "abXYZ");
  s.SetSize(2);
  EXPECT_EQ(s.DataString(), "ab");
  EXPECT_EQ(s.Position(), 2);
}

TEST(FileStream, CreateWriteReopenReadAndResize) {
  String path = TempPath("a.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("abcdef", 6);
    EXPECT_EQ(f.Size(), 6);
    f.SetPosition(2);
    char c;
    f.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'c');
    f.WriteBuffer("Z", 1);  // read then write in one stream
  }
  {
    TFileStream f(path, fmOpenReadWrite | fmShareDenyNone);
    char buf[6];
    f.ReadBuffer(buf, 6);
    EXPECT_EQ(String(buf, 6), "abcZef");
    f.SetSize(3);
    EXPECT_EQ(f.Size(), 3);
    EXPECT_EQ(f.Position(), 3);
  }
  {
    TFileStream f(path, fmOpenRead);
    EXPECT_EQ(f.Size(), 3);
    EXPECT_EQ(f.Write("x", 1), 0);  // opened for reading only
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
  }
  std::remove(path.c_str());
}

TEST(FileStream, OpenAndCreateErrorsNameTheFile) {
  String missing = TempPath("missing/none.bin");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\"");
  }
  try {
    TFileStream f(missing, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\"");
  }
}

TEST(FileStream, StringsAndMemoryStreamsThroughFiles) {
  String path = TempPath("lines.txt");
  TStringList out;
  out.Add("first");
  out.Add("second");
  out.SaveToFile(path);
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(String(static_cast<char*>(m.Memory()), m.Size()),
            "first\r\nsecond\r\n");
  TStringList in;
  in.LoadFromFile(path);
  EXPECT_TRUE(in.Equals(&out));
  m.SaveToFile(path);
  in.LoadFromFile(path);
  EXPECT_TRUE(in.Equals(&out));
  std::remove(path.c_str());
}

}  // namespace
