#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include "Classes.h"
#include "PlacesTestSupport.h"
#include "SysUtils.h"
#include "Ucommon.h"

using namespace places_test;

namespace {

class UcommonTest : public testing::Test {
 protected:
  TRegistrySandbox sandbox;
};

TEST_F(UcommonTest, SpecialFolderNames) {
  const struct {
    Integer id;
    const char* name;
  } cases[] = {
      {0, "Desktop"},
      {5, "My Documents"},
      {17, "My Computer"},
      {18, "Network Neighborhood"},
      {26, "App Data"},
      {59, "CD Burn Area"},
      {2, ""},
      {-1, ""},
      {60, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetSpecialFolderName(c.id), c.name) << "CSIDL " << c.id;
}

TEST_F(UcommonTest, SpecialFolderPathsEndInABackslash) {
  // The computer has no file-system path of its own.
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_DRIVES), "\\");
  String documents = GetSpecialFolderPath(CSIDL_PERSONAL);
  ASSERT_GT(documents.size(), 3u);
  EXPECT_EQ(documents.back(), '\\');
  EXPECT_NE(documents[documents.size() - 2], '\\');
  EXPECT_TRUE(DirectoryExists(documents));
  // A number the shell does not know fails the lookup.
  EXPECT_EQ(GetSpecialFolderPath(0x7F), "\\");
}

TEST_F(UcommonTest, DeleteAllValuesKeepsSubkeys) {
  PutString("Software\\T\\K", "A", "text");
  PutDword("Software\\T\\K", "B", 7);
  PutDword("Software\\T\\K", "", 1);  // the default value
  PutDword("Software\\T\\K\\Child", "C", 1);
  EXPECT_TRUE(DeleteAllValues("Software\\T\\K"));
  EXPECT_TRUE(KeyValues("Software\\T\\K").empty());
  EXPECT_EQ(KeyValues("Software\\T\\K\\Child").size(), 1u);

  // A key without values is already clear; a missing one is not.
  EXPECT_TRUE(DeleteAllValues("Software\\T\\K"));
  EXPECT_FALSE(DeleteAllValues("Software\\T\\Missing"));
  EXPECT_FALSE(KeyExists("Software\\T\\Missing"));
}

TEST_F(UcommonTest, DeleteKeyTreeRemovesEveryLevelAndNothingBeside) {
  PutDword("Software\\T\\Tree", "V", 1);
  PutDword("Software\\T\\Tree\\A", "V", 1);
  PutString("Software\\T\\Tree\\A\\B", "V", "x");
  PutDword("Software\\T\\Tree\\C", "V", 1);
  PutDword("Software\\T\\TreeSibling", "V", 1);
  EXPECT_TRUE(DeleteKeyTree("Software\\T\\Tree"));
  EXPECT_FALSE(KeyExists("Software\\T\\Tree"));
  EXPECT_TRUE(KeyExists("Software\\T\\TreeSibling"));
  EXPECT_TRUE(DeleteKeyTree("Software\\T\\Tree"));  // gone already
}

TEST_F(UcommonTest, APathThatNamesNoKeyReachesNothing) {
  // Opened as given, these would name the root of the hive.
  PutDword("Software\\T\\Keep", "V", 1);
  PutDword("", "RootValue", 1);
  for (const char* key : {"", "\\", "\\\\"}) {
    EXPECT_FALSE(DeleteAllValues(key)) << '"' << key << '"';
    EXPECT_FALSE(DeleteKeyTree(key)) << '"' << key << '"';
  }
  EXPECT_TRUE(KeyExists("Software\\T\\Keep"));
  EXPECT_EQ(KeyValues("").count("RootValue"), 1u);
}

TEST_F(UcommonTest, ExtractLastKeyName) {
  const struct {
    const char* key;
    const char* last;
  } cases[] = {
      {"Software\\Microsoft\\Office", "\\Office"},
      {"Office", "Office"},
      {"Software\\", "\\"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractLastKeyName(c.key), c.last);
}

TEST_F(UcommonTest, GetStringAt) {
  TStringList list;
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(GetStringAt(&list, 1), "b");
  EXPECT_THROW(GetStringAt(&list, 2), EStringListError);
}

String ModuleFileName() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

TEST_F(UcommonTest, FileVersionOfTheRunningModule) {
  EXPECT_EQ(GetFileVersion(ModuleFileName()), "7.6.5.4 test");
}

// A copy of this executable whose only resource is the version block with
// the given identifier of this executable (none for 0).
class TVersionedCopy {
 public:
  explicit TVersionedCopy(int versionId) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = IncludeTrailingPathDelimiter(temp) + "varnel-version-" +
            std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(versionId) + ".exe";
    ok_ = CopyFileA(ModuleFileName().c_str(), path_.c_str(), FALSE);
    HANDLE update = ok_ ? BeginUpdateResourceA(path_.c_str(), TRUE) : nullptr;
    ok_ = update != nullptr;
    if (ok_ && versionId != 0) {
      HRSRC res =
          FindResourceA(nullptr, MAKEINTRESOURCEA(versionId), RT_VERSION);
      HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
      ok_ = data &&
            UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(1),
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                            LockResource(data), SizeofResource(nullptr, res));
    }
    if (update) ok_ = EndUpdateResourceA(update, !ok_) && ok_;
  }
  ~TVersionedCopy() { DeleteFileA(path_.c_str()); }
  bool ok() const { return ok_; }
  const String& path() const { return path_; }

 private:
  String path_;
  bool ok_ = false;
};

TEST_F(UcommonTest, FileVersionWithoutAUsEnglishAnsiBlockIsEmpty) {
  TVersionedCopy german(2);
  ASSERT_TRUE(german.ok());
  DWORD handle = 0;
  ASSERT_GT(GetFileVersionInfoSizeA(german.path().c_str(), &handle), 0u);
  EXPECT_EQ(GetFileVersion(german.path()), "");

  TVersionedCopy none(0);
  ASSERT_TRUE(none.ok());
  EXPECT_EQ(GetFileVersion(none.path()), "");
  EXPECT_EQ(GetFileVersion(ModuleFileName() + ".missing"), "");
}

}  // namespace
