// The shell tree view in a window over a folder tree made under the
// temporary folder: lazy expansion through real keys, navigation by path,
// the change notification followed live, rebuilds that keep the expanded
// nodes and the selection, renaming, and notices of the fetch thread that
// arrive after their nodes are gone.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "ShellTestSupport.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxShellTreeView.h"

using shell_test::PidlOf;
using shell_test::TTempFolderTree;

namespace {

std::vector<String> ChildTexts(TTreeNode* ANode) {
  std::vector<String> texts;
  for (Integer i = 0; ANode && i < ANode->Count(); ++i) {
    texts.push_back(ANode->Item(i)->Text());
  }
  return texts;
}

TTreeNode* ChildNamed(TTreeNode* ANode, const String& AText) {
  for (Integer i = 0; ANode && i < ANode->Count(); ++i) {
    if (ANode->Item(i)->Text() == AText) return ANode->Item(i);
  }
  return nullptr;
}

class ShellTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFolder("Root\\A\\A1");
    tree_.AddFolder("Root\\A\\A2");
    tree_.AddFolder("Root\\B");
    tree_.AddFolder("Root\\C\\C1\\C11");
    tree_.AddFolder("Root2\\A");
    form_.reset(new TForm(nullptr));
    form_->SetBounds(80, 80, 360, 420);
    stv_ = new TcxShellTreeView(form_.get());
    stv_->SetParent(form_.get());
    stv_->SetBounds(8, 8, 320, 360);
    stv_->Root()->SetBrowseFolder(bfCustomPath);
    stv_->Root()->SetCustomPath(AnsiToWide(tree_.Path("Root")));
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    inner_ = stv_->InnerTreeView();
  }
  void TearDown() override {
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  TTreeNode* RootNode() { return inner_->Items()->GetFirstNode(); }
  // Edits the node's label through real keys.
  void RenameNode(TTreeNode* ANode, const std::string& AText) {
    ASSERT_TRUE(ANode->EditText());
    ui_test::PressKeys({VK_CONTROL, 'A'});
    ui_test::TypeText(AText);
    ui_test::PressKeys({VK_RETURN});
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void ClickNode(TTreeNode* ANode) {
    const TRect r = ANode->DisplayRect(true);
    ui_test::Click(ui_test::ScreenPointOf(inner_, (r.Left + r.Right) / 2,
                                          (r.Top + r.Bottom) / 2));
  }

  TTempFolderTree tree_;
  TObjectPtr<TForm> form_;
  TcxShellTreeView* stv_ = nullptr;
  TcxInnerShellTreeView* inner_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
};

}  // namespace

TEST_F(ShellTreeViewTest, ExpandsLazilyThroughKeysAndShowsFolders) {
  TTreeNode* root = RootNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Text(), "Root");
  EXPECT_EQ(ChildTexts(root), (std::vector<String>{"A", "B", "C"}));
  TTreeNode* a = ChildNamed(root, "A");
  // Below the first level nothing is enumerated before it is opened.
  EXPECT_EQ(a->Count(), 0);
  EXPECT_TRUE(a->HasChildren());

  ClickNode(root);
  ui_test::PressKeys({VK_RIGHT});  // opens the root
  ui_test::PressKeys({VK_DOWN});   // to A
  ui_test::PressKeys({VK_RIGHT});  // opens A
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(inner_->Selected(), a);
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(ChildTexts(a), (std::vector<String>{"A1", "A2"}));
  EXPECT_TRUE(shell_test::SamePath(stv_->Path(), tree_.Path("Root\\A")));

  // B turns out empty when opened: its expand button goes.
  TTreeNode* b = ChildNamed(root, "B");
  b->Expand(false);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(b->Count(), 0);
  EXPECT_FALSE(b->HasChildren());
}

TEST_F(ShellTreeViewTest, PathSelectsTheFolderLoadingNodesOnTheWay) {
  stv_->SetPath(tree_.Path("Root\\C\\C1\\C11"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_NE(inner_->Selected(), nullptr);
  EXPECT_EQ(inner_->Selected()->Text(), "C11");
  EXPECT_TRUE(
      shell_test::SamePath(stv_->Path(), tree_.Path("Root\\C\\C1\\C11")));
  EXPECT_EQ(inner_->Selected()->Level(), 3);

  // Outside the root: nothing changes, also for a sibling whose name begins
  // with the root's.
  stv_->SetPath(tree_.Path("Root2\\A"));
  TcxPidlPtr outside = PidlOf(tree_.Path("Root2\\A"));
  stv_->SetAbsolutePIDL(outside.get());
  // A PIDL as long as one below the root, but elsewhere.
  TcxPidlPtr sameLength = PidlOf(tree_.Path("Root2\\A"));
  inner_->Perform(DSM_DONAVIGATE, reinterpret_cast<WPARAM>(sameLength.get()),
                  0);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(
      shell_test::SamePath(stv_->Path(), tree_.Path("Root\\C\\C1\\C11")));

  TcxPidlPtr a = PidlOf(tree_.Path("Root\\A"));
  stv_->SetAbsolutePIDL(a.get());
  EXPECT_EQ(inner_->Selected()->Text(), "A");
  // The same folder, compared by its path: the bytes of an id made when the
  // tree was read and of one made now carry the folder's times, which
  // differ when the folder changed in between.
  TcxPidlPtr selected(stv_->AbsolutePIDL());
  char selectedPath[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetPathFromIDListA(selected.get(), selectedPath));
  EXPECT_TRUE(shell_test::SamePath(selectedPath, tree_.Path("Root\\A")));
}

TEST_F(ShellTreeViewTest, AFolderMadeInTheSelectedFolderAppearsLive) {
  stv_->SetPath(tree_.Path("Root\\A"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  TTreeNode* a = inner_->Selected();
  ASSERT_NE(a, nullptr);
  a->Expand(false);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_EQ(ChildTexts(a), (std::vector<String>{"A1", "A2"}));
  TcxPidlPtr aPidl = PidlOf(tree_.Path("Root\\A"));
  // Watched: the selected folder (ids from enumeration and from parsing may
  // differ in bytes, so the path is compared).
  EXPECT_TRUE(shell_test::SamePath(GetPidlName(inner_->Notifier().Pidl.get()),
                                   tree_.Path("Root\\A")));
  EXPECT_NE(inner_->Notifier().Handle, 0u);

  Integer changes = 0;
  struct Counter {
    Integer* count;
    void Changed(TObject*, Integer, PItemIDList, PItemIDList) { ++*count; }
  } counter{&changes};
  stv_->OnShellChange = TcxShellChangeEvent(&counter, &Counter::Changed);

  const std::string made = tree_.Path("Root\\A\\A0 new");
  ASSERT_TRUE(::CreateDirectoryA(made.c_str(), nullptr));
  ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, made.c_str(), nullptr);
  auto newChildShown = [&] {
    TTreeNode* node = inner_->GetNodeByPIDL(aPidl.get());
    return node && ChildNamed(node, "A0 new") != nullptr;
  };
  ASSERT_TRUE(ui_test::WaitUntil(newChildShown, "the new folder in the tree"));
  EXPECT_GE(changes, 1);
  // The rebuild kept A open and, once its posted re-selection ran, selected.
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return inner_->Selected() && inner_->Selected()->Text() == "A"; },
      "A selected again"));
  TTreeNode* again = inner_->Selected();
  EXPECT_TRUE(again->Expanded());
  EXPECT_EQ(ChildTexts(again), (std::vector<String>{"A0 new", "A1", "A2"}));
}

TEST_F(ShellTreeViewTest, F5RebuildsKeepingExpandedNodesAndSelection) {
  stv_->SetPath(tree_.Path("Root\\C\\C1"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  inner_->Selected()->Expand(false);
  ChildNamed(RootNode(), "A")->Expand(false);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  tree_.AddFolder("Root\\D");
  inner_->SetFocus();
  ui_test::PressKeys({VK_F5});
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return inner_->Selected() && inner_->Selected()->Text() == "C1"; },
      "C1 selected again"));
  EXPECT_EQ(ChildTexts(RootNode()), (std::vector<String>{"A", "B", "C", "D"}));
  EXPECT_TRUE(ChildNamed(RootNode(), "A")->Expanded());
  EXPECT_TRUE(inner_->Selected()->Expanded());
  EXPECT_EQ(ChildTexts(inner_->Selected()), (std::vector<String>{"C11"}));
}

TEST_F(ShellTreeViewTest, RenameTakesTheNewIdAndARefusalShowsTheOldName) {
  stv_->SetPath(tree_.Path("Root\\B"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  TTreeNode* b = inner_->Selected();
  ASSERT_NE(b, nullptr);
  RenameNode(b, "B2");
  EXPECT_EQ(b->Text(), "B2");
  EXPECT_NE(::GetFileAttributesA(tree_.Path("Root\\B2").c_str()),
            INVALID_FILE_ATTRIBUTES);
  TcxPidlPtr renamed(inner_->GetNodeAbsolutePIDL(b));
  EXPECT_TRUE(
      shell_test::SamePath(GetPidlName(renamed.get()), tree_.Path("Root\\B2")));
  EXPECT_TRUE(shell_test::SamePath(
      WideToAnsi(inner_->GetFolder(b->AbsoluteIndex())->GetPathName()),
      tree_.Path("Root\\B2")));

  // "A" exists: the shell refuses, and the node shows its name again.
  RenameNode(b, "A");
  EXPECT_EQ(b->Text(), "B2");
}

TEST_F(ShellTreeViewTest, NoticesForNodesThatAreGoneAreIgnored) {
  TTreeNode* root = RootNode();
  auto* producer = TcxCustomInnerShellTreeView::ProducerOf(root);
  ASSERT_NE(producer, nullptr);
  // Requests for every child: the thread answers with posted notices.
  for (Integer i = 0; i < producer->ItemCount(); ++i) {
    producer->FetchRequest(i, true);
  }
  // The rebuild frees the nodes those notices name.
  inner_->UpdateContent();
  ASSERT_TRUE(ui_test::WaitUntil(
      [&] { return inner_->ItemsInfoGatherer()->GetIsFetchQueueEmpty(); },
      "the queue served"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(ChildTexts(RootNode()), (std::vector<String>{"A", "B", "C"}));
  // Every live node has exactly one producer.
  EXPECT_EQ(inner_->ProducerCount(), inner_->Items()->Count());
}

TEST(ShellTreeViewLifeTest, DestroyedWhileTheThreadWorks) {
  TTempFolderTree tree;
  for (int i = 0; i < 30; ++i) tree.AddFolder("d" + std::to_string(i) + "\\x");
  for (int round = 0; round < 3; ++round) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* stv = new TcxShellTreeView(form.get());
    stv->SetParent(form.get());
    stv->Root()->SetBrowseFolder(bfCustomPath);
    stv->Root()->SetCustomPath(AnsiToWide(tree.Root()));
    stv->InnerTreeView()->HandleNeeded();
    auto* producer = TcxCustomInnerShellTreeView::ProducerOf(
        stv->InnerTreeView()->Items()->GetFirstNode());
    ASSERT_NE(producer, nullptr);
    ASSERT_EQ(producer->ItemCount(), 30);
    for (Integer i = 0; i < producer->ItemCount(); ++i) {
      producer->FetchRequest(i, false);
    }
    TcxShellItemsInfoGatherer* gatherer =
        stv->InnerTreeView()->ItemsInfoGatherer();
    EXPECT_TRUE(gatherer->HasThread());
    form.reset();  // frees the tree, its producers and its fetch thread
    ui_test::PumpUntilIdle();
  }
}

TEST_F(ShellTreeViewTest, DropsGoToTheFolderOfTheNodeUnderTheCursor) {
  tree_.AddFile("outside.txt", "dropped");
  TcxComPtr<IDataObject> data =
      shell_test::ShellDataObjectOf(tree_.Path("outside.txt"));
  ASSERT_TRUE(data);
  IDropTarget* target = inner_->OleDropTarget();
  ASSERT_NE(target, nullptr);
  inner_->DragDropSettings()->DefaultDropEffect = deCopy;
  RootNode()->Expand(false);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  TTreeNode* b = ChildNamed(RootNode(), "B");
  ASSERT_NE(b, nullptr);
  const TRect r = b->DisplayRect(true);
  const POINT p = ui_test::ScreenPointOf(inner_, (r.Left + r.Right) / 2,
                                         (r.Top + r.Bottom) / 2);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(
      target->DragEnter(data.get(), MK_LBUTTON, POINTL{p.x, p.y}, &effect),
      S_OK);
  EXPECT_NE(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_NE(inner_->DropTargetNode(), nullptr);
  EXPECT_EQ(inner_->DropTargetNode()->Text(), "B");
  effect = DROPEFFECT_COPY;
  target->Drop(data.get(), 0, POINTL{p.x, p.y}, &effect);
  EXPECT_EQ(inner_->DropTargetNode(), nullptr);
  // The folder that took the drop catches up: B, never opened, offers to
  // open.
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  b = ChildNamed(RootNode(), "B");
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->HasChildren());
  EXPECT_EQ(ChildTexts(RootNode()), (std::vector<String>{"A", "B", "C"}));

  // Below the last node there is nothing to drop on.
  const POINT below =
      ui_test::ScreenPointOf(inner_, 4, inner_->ClientHeight() - 2);
  effect = DROPEFFECT_COPY;
  target->DragEnter(data.get(), MK_LBUTTON, POINTL{below.x, below.y}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(inner_->DropTargetNode(), nullptr);
  target->DragLeave();
}
