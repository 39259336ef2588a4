#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "Handles.h"
#include "Resources.h"

namespace {

const char kFormData[] = "TPF0\x07TwndMain";
const Byte kNumbered[] = {1, 2, 3};

// A copy of this test program with resources added, loaded as data: the
// test program itself carries none.
class ResourcesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char self[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char dir[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, dir);
    copy_ = String(dir) + "varnel-resources-" +
            std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileA(self, copy_.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(copy_.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    const WORD lang = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(10), "TWNDMAIN", lang,
                                const_cast<char*>(kFormData),
                                sizeof kFormData - 1));
    ASSERT_TRUE(
        UpdateResourceA(update, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(7), lang,
                        const_cast<Byte*>(kNumbered), sizeof kNumbered));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    module_.reset(
        LoadLibraryExA(copy_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module_);
  }
  static void TearDownTestSuite() {
    module_.reset();
    DeleteFileA(copy_.c_str());
  }
  static TModuleHandle module_;
  static String copy_;
};

TModuleHandle ResourcesTest::module_;
String ResourcesTest::copy_;

String ReadAll(TStream& stream) {
  String text(static_cast<std::size_t>(stream.Size()), '\0');
  stream.ReadBuffer(text.data(), static_cast<Integer>(text.size()));
  return text;
}

TEST_F(ResourcesTest, ReadsAResourceByName) {
  TResourceStream stream(module_.get(), "TWNDMAIN", MAKEINTRESOURCEA(10));
  EXPECT_EQ(stream.Size(), static_cast<Int64>(sizeof kFormData - 1));
  EXPECT_EQ(ReadAll(stream), String(kFormData, sizeof kFormData - 1));
  // Reading past the end moves nothing.
  char c;
  EXPECT_EQ(stream.Read(&c, 1), 0);
}

TEST_F(ResourcesTest, ReadsAResourceByNumber) {
  TResourceStream stream(module_.get(), 7, MAKEINTRESOURCEA(10));
  EXPECT_EQ(ReadAll(stream), String(kNumbered, kNumbered + 3));
}

TEST_F(ResourcesTest, MissingResourcesRaise) {
  struct Case {
    const char* what;
    std::function<void()> open;
    const char* message;
  };
  const Case cases[] = {
      {"name",
       [] { TResourceStream(module_.get(), "NOPE", MAKEINTRESOURCEA(10)); },
       "Resource NOPE not found"},
      {"type",
       [] { TResourceStream(module_.get(), "TWNDMAIN", MAKEINTRESOURCEA(2)); },
       "Resource TWNDMAIN not found"},
      {"number",
       [] { TResourceStream(module_.get(), 8, MAKEINTRESOURCEA(10)); },
       "Resource 8 not found"},
      // 65543 shares its low word with 7.
      {"number beyond 16 bits",
       [] { TResourceStream(module_.get(), 65543, MAKEINTRESOURCEA(10)); },
       "Resource 65543 not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.open();
      ADD_FAILURE() << "no exception";
    } catch (const EResNotFound& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST_F(ResourcesTest, WritingRaises) {
  TResourceStream stream(module_.get(), "TWNDMAIN", MAKEINTRESOURCEA(10));
  const char x = 'x';
  EXPECT_THROW(stream.Write(&x, 1), EStreamError);
  EXPECT_EQ(ReadAll(stream).substr(0, 4), "TPF0");
}

}  // namespace
