// The path routines: classifying typed paths, and turning paths and internal
// virtual paths into PIDLs below a root; and the shell list view in a
// window, linked to a tree: its rows, navigation, change notification,
// report columns, events, renaming and OLE drops. All over folder trees made
// under the temporary folder.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "ShellTestSupport.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxShellListView.h"
#include "cxShellTreeView.h"

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

TEST_F(ShellPathToPidlTest, AFolderDeletedAfterItsPidlWasMadeDoesNotExist) {
  TcxPidlPtr b = PidlOf(tree_.Path("Desktop\\A\\B"));
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(CheckShellObjectExistence(b.get()));
  ASSERT_TRUE(::RemoveDirectoryA(tree_.Path("Desktop\\A\\B").c_str()));
  EXPECT_FALSE(CheckShellObjectExistence(b.get()));
  PItemIDList p = b.get();
  EXPECT_FALSE(CheckAbsolutePIDL(p, &root_, true, true));
  EXPECT_TRUE(CheckAbsolutePIDL(p, &root_, false, true));
  // Virtual folders have no path to look for: the shell's word holds.
  TcxPidlPtr desktop(CreateEmptyPidl());
  EXPECT_TRUE(CheckShellObjectExistence(desktop.get()));
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

// ---------------------------------------------------------------------------
// The shell list view in a window, linked to a shell tree view, over a folder
// tree made under the temporary folder.
// ---------------------------------------------------------------------------

namespace {

// What the list shows in a row and column, asked of the window (the text
// reaches it through the owner-data callback, as it does for painting).
String RowText(TcxCustomShellListView* AList, Integer ARow,
               Integer AColumn = 0) {
  char buffer[MAX_PATH] = {};
  LVITEMA item{};
  item.iSubItem = AColumn;
  item.pszText = buffer;
  item.cchTextMax = MAX_PATH;
  ::SendMessageA(AList->InnerListView()->Handle(), LVM_GETITEMTEXTA,
                 static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<String> Rows(TcxCustomShellListView* AList) {
  std::vector<String> rows;
  const auto count = static_cast<Integer>(
      ::SendMessageA(AList->InnerListView()->Handle(), LVM_GETITEMCOUNT, 0, 0));
  for (Integer i = 0; i < count; ++i) rows.push_back(RowText(AList, i));
  return rows;
}

Integer RowOf(TcxCustomShellListView* AList, const String& ACaption) {
  const std::vector<String> rows = Rows(AList);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] == ACaption) return static_cast<Integer>(i);
  }
  return -1;
}

// The middle of a row's label, in the inner list's client coordinates.
POINT RowPoint(TcxCustomShellListView* AList, Integer ARow) {
  RECT r{};
  r.left = LVIR_LABEL;
  ::SendMessageA(AList->InnerListView()->Handle(), LVM_GETITEMRECT,
                 static_cast<WPARAM>(ARow), reinterpret_cast<LPARAM>(&r));
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

Integer RowState(TcxCustomShellListView* AList, Integer ARow, UINT AMask) {
  return static_cast<Integer>(::SendMessageA(AList->InnerListView()->Handle(),
                                             LVM_GETITEMSTATE,
                                             static_cast<WPARAM>(ARow), AMask));
}

class ShellListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFolder("Root\\A\\A1");
    tree_.AddFolder("Root\\B");
    tree_.AddFile("Root\\file.txt", "12345");
    tree_.AddFile("Root\\a.txt");
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 640, 420);
    slv_ = new TcxShellListView(form_.get());
    slv_->SetParent(form_.get());
    slv_->SetBounds(220, 8, 400, 360);
    slv_->Root()->SetBrowseFolder(bfCustomPath);
    slv_->Root()->SetCustomPath(AnsiToWide(tree_.Path("Root")));
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    inner_ = slv_->InnerShellListView();
  }
  void TearDown() override {
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  // A tree beside the list, on the same root, linked to it.
  TcxShellTreeView* AddLinkedTree() {
    auto* stv = new TcxShellTreeView(form_.get());
    stv->SetParent(form_.get());
    stv->SetBounds(8, 8, 200, 360);
    stv->Root()->SetBrowseFolder(bfCustomPath);
    stv->Root()->SetCustomPath(AnsiToWide(tree_.Path("Root")));
    stv->SetShellListView(slv_);
    EXPECT_TRUE(ui_test::PumpUntilIdle());
    return stv;
  }
  void DoubleClickRow(const String& ACaption) {
    const Integer row = RowOf(slv_, ACaption);
    ASSERT_GE(row, 0) << ACaption;
    const POINT p = RowPoint(slv_, row);
    ui_test::DoubleClick(inner_, p.x, p.y);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void SelectRow(const String& ACaption) {
    const Integer row = RowOf(slv_, ACaption);
    ASSERT_GE(row, 0) << ACaption;
    const POINT p = RowPoint(slv_, row);
    ui_test::Click(inner_, p.x, p.y);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  bool ShowsFolder(const std::string& APath) {
    return shell_test::SamePath(slv_->Path(), APath);
  }

  TTempFolderTree tree_;
  TObjectPtr<TForm> form_;
  TcxShellListView* slv_ = nullptr;
  TcxInnerShellListView* inner_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
};

}  // namespace

TEST_F(ShellListViewTest, ShowsFoldersFirstThenFilesWithTheirIcons) {
  EXPECT_EQ(Rows(slv_), (std::vector<String>{"A", "B", "a.txt", "file.txt"}));
  EXPECT_EQ(slv_->FolderCount(), 4);
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root")));
  // Every row asks the system image list for its icon, folders and files
  // apart.
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = RowOf(slv_, "A");
  ::SendMessageA(inner_->Handle(), LVM_GETITEMA, 0,
                 reinterpret_cast<LPARAM>(&item));
  const Integer folderIcon = item.iImage;
  item.iItem = RowOf(slv_, "file.txt");
  ::SendMessageA(inner_->Handle(), LVM_GETITEMA, 0,
                 reinterpret_cast<LPARAM>(&item));
  EXPECT_GE(folderIcon, 0);
  EXPECT_GE(item.iImage, 0);
  EXPECT_NE(folderIcon, item.iImage);
  TcxPidlPtr second(slv_->GetItemAbsolutePIDL(RowOf(slv_, "B")));
  EXPECT_TRUE(
      shell_test::SamePath(GetPidlName(second.get()), tree_.Path("Root\\B")));
}

TEST_F(ShellListViewTest, DoubleClickOpensAFolderAndTheTreeFollows) {
  TcxShellTreeView* stv = AddLinkedTree();
  TcxInnerShellTreeView* tree = stv->InnerTreeView();
  EXPECT_EQ(stv->ShellListView(), slv_);
  Integer changed = 0;
  struct Counter {
    Integer* count;
    void Changed(TcxCustomShellListView*) { ++*count; }
  } counter{&changed};
  slv_->OnCurrentFolderChanged =
      TcxCurrentFolderChangedEvent(&counter, &Counter::Changed);

  DoubleClickRow("A");
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root\\A")));
  EXPECT_EQ(Rows(slv_), (std::vector<String>{"A1"}));
  EXPECT_EQ(changed, 1);
  ASSERT_NE(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Selected()->Text(), "A");

  // Backspace goes up again, and the tree with it.
  inner_->SetFocus();
  ui_test::PressKeys({VK_BACK});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root")));
  EXPECT_EQ(tree->Selected(), tree->Items()->GetFirstNode());

  // Choosing a folder in the tree shows it in the list.
  stv->SetPath(tree_.Path("Root\\B"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root\\B")));
  EXPECT_TRUE(Rows(slv_).empty());

  // Enter on a selected folder opens it as a double-click does.
  slv_->SetPath(tree_.Path("Root"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(tree->Selected(), tree->Items()->GetFirstNode());
  SelectRow("A");
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root\\A")));
  EXPECT_EQ(tree->Selected()->Text(), "A");
}

TEST_F(ShellListViewTest, WithoutAutoNavigateNothingOpens) {
  slv_->Options()->AutoNavigate = false;
  Integer doubleClicks = 0;
  struct Counter {
    Integer* count;
    void Clicked(TObject*) { ++*count; }
  } counter{&doubleClicks};
  slv_->OnDblClick = TNotifyEvent(&counter, &Counter::Clicked);
  DoubleClickRow("A");
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root")));
  EXPECT_EQ(doubleClicks, 1);
  ui_test::PressKeys({VK_BACK});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(ShowsFolder(tree_.Path("Root")));
}

TEST_F(ShellListViewTest, AFileMadeThroughTheShellAppearsLive) {
  EXPECT_TRUE(shell_test::SamePath(GetPidlName(inner_->Notifier().Pidl.get()),
                                   tree_.Path("Root")));
  Integer changes = 0;
  struct Counter {
    Integer* count;
    void Changed(TObject*, Integer, PItemIDList, PItemIDList) { ++*count; }
  } counter{&changes};
  slv_->OnShellChange = TcxShellChangeEvent(&counter, &Counter::Changed);
  const std::string made = tree_.Path("Root\\new.txt");
  tree_.AddFile("Root\\new.txt");
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA, made.c_str(), nullptr);
  // Wine tells a watcher of one folder (not of its subtree) only of changes
  // to that folder itself, which a file manager also announces.
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, tree_.Path("Root").c_str(),
                   nullptr);
  ASSERT_TRUE(ui_test::WaitUntil([&] { return RowOf(slv_, "new.txt") >= 0; },
                                 "the new file in the list"));
  EXPECT_GE(changes, 1);
  EXPECT_EQ(Rows(slv_),
            (std::vector<String>{"A", "B", "a.txt", "file.txt", "new.txt"}));
}

TEST_F(ShellListViewTest, ReportViewShowsTheFoldersColumns) {
  slv_->SetViewStyle(vsReport);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  TcxShellDetails* details = inner_->ItemProducer()->Details();
  ASSERT_GE(details->GetCount(), 2);
  ASSERT_EQ(slv_->Columns()->Count(), details->GetCount());
  for (Integer i = 0; i < details->GetCount(); ++i) {
    EXPECT_EQ(slv_->Columns()->Items(i)->Caption(), details->GetItems(i).Text);
    EXPECT_FALSE(details->GetItems(i).Text.empty()) << i;
  }
  const Integer row = RowOf(slv_, "file.txt");
  ASSERT_GE(row, 0);
  // A file has a text in the column after its name (its size).
  EXPECT_FALSE(RowText(slv_, row, 1).empty());
}

TEST_F(ShellListViewTest, AddFolderAndCompareEventsDecideRowsAndOrder) {
  struct Handlers {
    void AddFolder(TObject*, TcxShellFolder* AFolder, bool& ACanAdd) {
      ACanAdd = WideToAnsi(AFolder->GetDisplayName()) != "B";
    }
    void Compare(TObject*, TcxShellFolder* A, TcxShellFolder* B,
                 Integer& ACompare) {
      ACompare = -lstrcmpiA(WideToAnsi(A->GetDisplayName()).c_str(),
                            WideToAnsi(B->GetDisplayName()).c_str());
    }
  } handlers;
  slv_->OnAddFolder = TcxShellAddFolderEvent(&handlers, &Handlers::AddFolder);
  slv_->OnCompare = TcxShellCompareEvent(&handlers, &Handlers::Compare);
  slv_->UpdateContent();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(Rows(slv_), (std::vector<String>{"file.txt", "a.txt", "A"}));
}

TEST_F(ShellListViewTest, F5KeepsTheSelectedItem) {
  SelectRow("file.txt");
  tree_.AddFile("Root\\0.txt");
  ui_test::PressKeys({VK_F5});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // The new file comes before it: the selection follows the item.
  const Integer row = RowOf(slv_, "file.txt");
  ASSERT_EQ(row, 4);
  EXPECT_EQ(RowState(slv_, row, LVIS_SELECTED), LVIS_SELECTED);
  EXPECT_EQ(slv_->GetSelCount(), 1);
}

TEST_F(ShellListViewTest, RenameRenamesTheFileAndARefusalShowsTheOldName) {
  slv_->Options()->TrackShellChanges = false;
  const Integer row = RowOf(slv_, "a.txt");
  ASSERT_NE(::SendMessageA(inner_->Handle(), LVM_EDITLABELA,
                           static_cast<WPARAM>(row), 0),
            0);
  ui_test::PressKeys({VK_CONTROL, 'A'});
  ui_test::TypeText("c.txt");
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(shell_test::Exists(tree_.Path("Root\\c.txt")));
  EXPECT_FALSE(shell_test::Exists(tree_.Path("Root\\a.txt")));
  EXPECT_EQ(RowText(slv_, row), "c.txt");
  TcxPidlPtr pidl(slv_->GetItemAbsolutePIDL(row));
  EXPECT_TRUE(
      shell_test::SamePath(GetPidlName(pidl.get()), tree_.Path("Root\\c.txt")));
  EXPECT_TRUE(
      shell_test::SamePath(WideToAnsi(slv_->Folders(row)->GetPathName()),
                           tree_.Path("Root\\c.txt")));

  // "file.txt" exists: the shell refuses, and the row shows its name again.
  ASSERT_NE(::SendMessageA(inner_->Handle(), LVM_EDITLABELA,
                           static_cast<WPARAM>(row), 0),
            0);
  ui_test::PressKeys({VK_CONTROL, 'A'});
  ui_test::TypeText("file.txt");
  ui_test::PressKeys({VK_RETURN});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // A refusal may show the shell's message box; it is closed by the test.
  if (HWND box = ::GetActiveWindow();
      box && box != form_->Handle() && ::IsWindowVisible(box)) {
    ::PostMessageA(box, WM_CLOSE, 0, 0);
    ui_test::PumpUntilIdle();
  }
  EXPECT_EQ(RowText(slv_, row), "c.txt");
  EXPECT_TRUE(shell_test::Exists(tree_.Path("Root\\c.txt")));
}

TEST_F(ShellListViewTest, DropsGoToTheFolderUnderTheCursorOrTheShownOne) {
  tree_.AddFile("outside.txt", "dropped");
  TcxComPtr<IDataObject> data =
      shell_test::ShellDataObjectOf(tree_.Path("outside.txt"));
  ASSERT_TRUE(data);
  IDropTarget* target = inner_->OleDropTarget();
  ASSERT_NE(target, nullptr);
  inner_->DragDropSettings()->DefaultDropEffect = deCopy;

  // Over the folder A: the shell's target of A takes the drag, and the row
  // is marked.
  const Integer row = RowOf(slv_, "A");
  POINT p = ui_test::ScreenPointOf(inner_, RowPoint(slv_, row).x,
                                   RowPoint(slv_, row).y);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(
      target->DragEnter(data.get(), MK_LBUTTON, POINTL{p.x, p.y}, &effect),
      S_OK);
  EXPECT_NE(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(inner_->DropTargetItem(), row);
  EXPECT_EQ(RowState(slv_, row, LVIS_DROPHILITED), LVIS_DROPHILITED);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(MK_LBUTTON, POINTL{p.x, p.y}, &effect), S_OK);
  EXPECT_NE(effect, static_cast<DWORD>(DROPEFFECT_NONE));

  // Moving to empty space: the folder shown takes over, A is unmarked.
  const POINT empty = ui_test::ScreenPointOf(inner_, inner_->ClientWidth() - 4,
                                             inner_->ClientHeight() - 4);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(MK_LBUTTON, POINTL{empty.x, empty.y}, &effect),
            S_OK);
  EXPECT_NE(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(inner_->DropTargetItem(), -1);
  EXPECT_EQ(RowState(slv_, row, LVIS_DROPHILITED), 0);

  // The drop goes to the shell's target and ends the drag for the list.
  effect = DROPEFFECT_COPY;
  target->Drop(data.get(), 0, POINTL{empty.x, empty.y}, &effect);
  EXPECT_EQ(inner_->DropTargetItem(), -1);
  EXPECT_TRUE(shell_test::Exists(tree_.Path("outside.txt")));

  // Leaving forgets the target and its mark.
  effect = DROPEFFECT_COPY;
  target->DragEnter(data.get(), MK_LBUTTON, POINTL{p.x, p.y}, &effect);
  EXPECT_EQ(inner_->DropTargetItem(), row);
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_EQ(inner_->DropTargetItem(), -1);
  EXPECT_EQ(RowState(slv_, row, LVIS_DROPHILITED), 0);
}

TEST(ShellListViewLifeTest, DestroyedWhileTheThreadWorks) {
  TTempFolderTree tree;
  for (int i = 0; i < 40; ++i) tree.AddFile("f" + std::to_string(i) + ".txt");
  for (int round = 0; round < 3; ++round) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* slv = new TcxShellListView(form.get());
    slv->SetParent(form.get());
    slv->Root()->SetBrowseFolder(bfCustomPath);
    slv->Root()->SetCustomPath(AnsiToWide(tree.Root()));
    slv->InnerListView()->HandleNeeded();
    EXPECT_EQ(slv->FolderCount(), 40);
    EXPECT_TRUE(slv->InnerShellListView()->ItemsInfoGatherer()->HasThread());
    form.reset();
    ui_test::PumpUntilIdle();
  }
}
