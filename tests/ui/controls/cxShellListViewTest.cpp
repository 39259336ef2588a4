// The path routines: classifying typed paths, and turning paths and internal
// virtual paths into PIDLs below a root, over folder trees made under the
// temporary folder.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include "ShellTestSupport.h"
#include "cxShellListView.h"

using shell_test::PidlOf;
using shell_test::TTempFolderTree;

TEST(ShellPathTest, ClassifiesAndCompletesTypedPaths) {
  const String absolute = kcxShellAbsoluteVirtualPathMarker;
  const String relative = kcxShellRelativeVirtualPathMarker;
  String lowerAbsolute = absolute;
  for (char& c : lowerAbsolute) c = static_cast<char>(std::tolower(c));
  struct Case {
    String path;
    String current;
    bool adapt;
    TcxShellObjectPathType type;
    String result;
  } cases[] = {
      {"C:\\Windows\\", "", false, sptAbsolutePhysical, "C:\\Windows"},
      {"C:\\", "", false, sptAbsolutePhysical, "C:\\"},
      {"\\\\srv\\share", "", false, sptUNC, "\\\\srv\\share"},
      {"::{x}", "", false, sptVirtual, "::{x}"},
      {"\\", "D:\\x", false, sptAbsolutePhysical, "D:\\"},
      {"\\dir", "D:\\x", false, sptAbsolutePhysical, "D:\\dir"},
      {"\\", "", false, sptIncorrect, "\\"},
      {"\\", "::{y}", false, sptIncorrect, "\\"},
      {"E:foo", "D:\\x", false, sptIncorrect, "E:foo"},
      {"E:foo", "D:\\x", true, sptIncorrect, "E:foo"},
      {"d:foo", "D:\\x", false, sptIncorrect, "d:foo"},
      {"d:foo", "D:\\x", true, sptRelativePhysical, "foo"},
      {"D:", "D:\\x", true, sptAbsolutePhysical, "D:\\x"},
      {"foo\\bar\\", "", false, sptRelativePhysical, "foo\\bar"},
      {"", "D:\\x", true, sptIncorrect, ""},
      {absolute + "\\Desk", "", false, sptInternalAbsoluteVirtual,
       absolute + "\\Desk"},
      {lowerAbsolute, "", false, sptInternalAbsoluteVirtual, lowerAbsolute},
      {relative + "\\a", "", false, sptInternalRelativeVirtual,
       relative + "\\a"},
  };
  for (Case& c : cases) {
    String path = c.path;
    EXPECT_EQ(CheckShellObjectPath(path, c.current, c.adapt), c.type)
        << "\"" << c.path << "\" in \"" << c.current << "\"";
    EXPECT_EQ(path, c.result) << "\"" << c.path << "\"";
  }
}

TEST(ShellPathTest, ViewOptionsFilterHiddenFilesAndFolders) {
  struct Case {
    TcxShellViewOptions options;
    ULONG attributes;
    bool accepted;
  } cases[] = {
      {{svoShowFolders}, SFGAO_FOLDER, true},
      {{svoShowFolders}, 0, false},
      {{svoShowFiles}, SFGAO_FOLDER, false},
      {{svoShowFiles}, 0, true},
      {{svoShowFolders}, SFGAO_FOLDER | SFGAO_HIDDEN, false},
      {{svoShowFolders, svoShowHidden}, SFGAO_FOLDER | SFGAO_HIDDEN, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckViewOptions(c.options, c.attributes), c.accepted)
        << c.attributes;
  }
}

class ShellPathToPidlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFolder("Desktop\\A\\B");
    tree_.AddFolder("Desktop2\\A");
    root_.SetBrowseFolder(bfCustomPath);
    root_.SetCustomPath(AnsiToWide(tree_.Path("Desktop")));
    ASSERT_TRUE(root_.IsValid());
  }
  std::string PathOf(PItemIDList APidl) { return GetPidlName(APidl); }

  TTempFolderTree tree_;
  TcxCustomShellRoot root_{nullptr, nullptr};
  TcxShellViewOptions options_{svoShowFolders, svoShowHidden};
};

TEST_F(ShellPathToPidlTest, PathsBelowTheRootResolve) {
  TcxPidlPtr empty(PathToAbsolutePIDL("", &root_, options_, true));
  EXPECT_TRUE(EqualPIDLs(empty.get(), root_.Pidl()));
  TcxPidlPtr relative(PathToAbsolutePIDL("a\\b", &root_, options_, true));
  ASSERT_NE(relative, nullptr);
  EXPECT_TRUE(shell_test::SamePath(PathOf(relative.get()),
                                   tree_.Path("Desktop\\A\\B")));
  TcxPidlPtr absolute(
      PathToAbsolutePIDL(tree_.Path("Desktop\\A"), &root_, options_, true));
  ASSERT_NE(absolute, nullptr);
  EXPECT_TRUE(
      shell_test::SamePath(PathOf(absolute.get()), tree_.Path("Desktop\\A")));
}

TEST_F(ShellPathToPidlTest, ASiblingWithTheRootsNameAsPrefixIsNotBelowIt) {
  // "...\Desktop2\A" begins with the text "...\Desktop" but is not below it.
  TcxPidlPtr outside(
      PathToAbsolutePIDL(tree_.Path("Desktop2\\A"), &root_, options_, true));
  EXPECT_EQ(outside, nullptr);
  TcxPidlPtr unchecked(
      PathToAbsolutePIDL(tree_.Path("Desktop2\\A"), &root_, options_, false));
  EXPECT_NE(unchecked, nullptr);
  TcxPidlPtr missing(
      PathToAbsolutePIDL(tree_.Path("Desktop\\Nope"), &root_, options_, true));
  EXPECT_EQ(missing, nullptr);
}

TEST_F(ShellPathToPidlTest, InternalVirtualPathsWalkInFolderNames) {
  const String relative = String(kcxShellRelativeVirtualPathMarker) + "\\a\\B";
  TcxPidlPtr pidl(PathToAbsolutePIDL(relative, &root_, options_, true));
  ASSERT_NE(pidl, nullptr);
  EXPECT_TRUE(
      shell_test::SamePath(PathOf(pidl.get()), tree_.Path("Desktop\\A\\B")));
  TcxPidlPtr desktop(ShellObjectInternalVirtualPathToPIDL(
      kcxShellAbsoluteVirtualPathMarker, &root_, options_));
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(GetPidlSize(desktop.get()), 0);
}

TEST_F(ShellPathToPidlTest, AbsolutePidlsAreCheckedAgainstTheRoot) {
  PItemIDList none = nullptr;
  EXPECT_TRUE(CheckAbsolutePIDL(none, &root_, true, true));
  EXPECT_EQ(none, root_.Pidl());
  TcxPidlPtr inside = PidlOf(tree_.Path("Desktop\\A"));
  PItemIDList p = inside.get();
  EXPECT_TRUE(CheckAbsolutePIDL(p, &root_, true, true));
  TcxPidlPtr outside = PidlOf(tree_.Path("Desktop2\\A"));
  p = outside.get();
  EXPECT_FALSE(CheckAbsolutePIDL(p, &root_, true, true));
  EXPECT_TRUE(CheckAbsolutePIDL(p, &root_, true, false));
}

TEST(ShellPathDisplayTest, DisplayNamesOfPidls) {
  TTempFolderTree tree;
  tree.AddFolder("Shown");
  TcxPidlPtr pidl = PidlOf(tree.Path("Shown"));
  EXPECT_EQ(GetPIDLDisplayName(pidl.get(), false), "Shown");
  EXPECT_TRUE(shell_test::SamePath(GetPIDLDisplayName(pidl.get(), true),
                                   tree.Path("Shown")));
  TcxPidlPtr empty(CreateEmptyPidl());
  EXPECT_FALSE(GetPIDLDisplayName(empty.get(), false).empty());
}

TEST(ShellPathTest, EditValuesAreRelativeOnlyBelowTheRoot) {
  struct Case {
    String path;
    String root;
    bool relative;
    String value;
  } cases[] = {
      {"C:\\Users\\Me\\Desktop", "C:\\Users\\Me\\Desktop", true, ""},
      {"C:\\Users\\Me\\Desktop\\A\\B", "C:\\Users\\Me\\Desktop", true, "A\\B"},
      {"c:\\users\\me\\desktop\\A", "C:\\Users\\Me\\Desktop\\", true, "A"},
      {"C:\\Users\\Me\\Desktop2\\A", "C:\\Users\\Me\\Desktop", true,
       "C:\\Users\\Me\\Desktop2\\A"},
      {"C:\\Users\\Me\\Desktop2", "C:\\Users\\Me\\Desktop", true,
       "C:\\Users\\Me\\Desktop2"},
      {"D:\\A\\B", "D:\\", true, "A\\B"},
      {"C:\\Users\\Me\\Desktop\\A", "C:\\Users\\Me\\Desktop", false,
       "C:\\Users\\Me\\Desktop\\A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxShellPathToEditValue(c.path, c.root, c.relative), c.value)
        << c.path << " under " << c.root;
  }
}
