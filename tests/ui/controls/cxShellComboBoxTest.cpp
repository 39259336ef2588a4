// The shell combo box over a folder tree made under the temporary folder:
// its drop-down tree driven with real keys, the value it stores for the
// folder chosen (relative, absolute or typed), and the linked shell tree
// and list views that follow it and that it follows.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include "FormStreams.h"
#include "Forms.h"
#include "ShellTestSupport.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxShellComboBox.h"

using shell_test::PidlOf;
using shell_test::SamePath;
using shell_test::TTempFolderTree;
using ui_test::WaitUntil;

namespace {

TEST(ShellComboBoxPropertiesTest, DefaultsAndAssign) {
  TcxShellComboBoxProperties props;
  EXPECT_FALSE(props.ImmediateDropDown());
  EXPECT_FALSE(props.PopupAutoSize());
  EXPECT_TRUE(props.ValidateOnEnter());
  EXPECT_TRUE(props.DropDownSizeable());
  EXPECT_TRUE(props.StoreRelativePath());
  EXPECT_FALSE(props.FastSearch());
  EXPECT_EQ(props.ShowFullPath(), sfpNever);
  EXPECT_EQ(props.TreeViewOptions(),
            (TcxPopupShellTreeViewOptions{tvoContextMenus, tvoHotTrack,
                                          tvoShowButtons, tvoShowLines,
                                          tvoShowRoot, tvoShowToolTip}));
  EXPECT_EQ(props.GetShellViewOptions(), TcxShellViewOptions{svoShowFolders});

  TcxShellComboBoxProperties source;
  source.SetFastSearch(true);
  source.SetStoreRelativePath(false);
  source.SetShowFullPath(sfpNotFocused);
  source.SetViewOptions({scvoShowFiles, scvoShowHidden});
  source.Root()->SetBrowseFolder(bfDrives);
  props.Assign(&source);
  EXPECT_TRUE(props.FastSearch());
  EXPECT_FALSE(props.StoreRelativePath());
  EXPECT_EQ(props.ShowFullPath(), sfpNotFocused);
  EXPECT_EQ(props.Root()->BrowseFolder(), bfDrives);
  EXPECT_EQ(props.GetShellViewOptions(),
            (TcxShellViewOptions{svoShowFolders, svoShowFiles, svoShowHidden}));
}

TEST(ShellComboBoxPropertiesTest, RegisteredForRepositoriesAndFilters) {
  TcxRegisteredClasses* registry = GetRegisteredEditProperties();
  const Integer index =
      registry->GetIndexByClass(TcxShellComboBoxProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->Texts(index),
            "ShellComboBox|Represents a combo box with a dropdown shell tree "
            "view");
  EXPECT_EQ(FilterEditsController()->FindHelper(
                TcxShellComboBoxProperties::StaticClass()),
            TcxFilterShellComboBoxHelper::Instance());
}

TEST(ShellComboBoxStreamTest, PublishedSettingsAreReadFromAForm) {
  const String text =
      "object cb: TcxShellComboBox\n"
      "  Properties.FastSearch = True\n"
      "  Properties.ShowFullPath = sfpNotFocused\n"
      "  Properties.StoreRelativePath = False\n"
      "  Properties.TreeViewOptions = [tvoShowButtons, tvoRightClickSelect]\n"
      "  Properties.ViewOptions = [scvoShowHidden]\n"
      "end\n";
  TStringStream source(text);
  TMemoryStream binary;
  ObjectTextToBinary(source, binary);
  binary.SetPosition(0);
  TcxShellComboBox combo(nullptr);
  ReadComponentFromStream(binary, &combo);
  TcxShellComboBoxProperties* props = combo.Properties();
  EXPECT_TRUE(props->FastSearch());
  EXPECT_EQ(props->ShowFullPath(), sfpNotFocused);
  EXPECT_FALSE(props->StoreRelativePath());
  EXPECT_EQ(
      props->TreeViewOptions(),
      (TcxPopupShellTreeViewOptions{tvoShowButtons, tvoRightClickSelect}));
  EXPECT_EQ(props->ViewOptions(), TcxShellComboBoxViewOptions{scvoShowHidden});
  // The drop-down tree takes them.
  TcxPopupShellTreeView* tree = combo.PopupShellTreeView();
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(tree->RightClickSelect);
  EXPECT_TRUE(tree->Options()->ShowHidden());
  EXPECT_FALSE(tree->ShowLines());
  EXPECT_TRUE(tree->ShowButtons());
}

class ShellComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddFolder("Root\\A\\A1");
    tree_.AddFolder("Root\\A\\A2");
    tree_.AddFolder("Root\\B");
    tree_.AddFolder("Root\\C\\C1");
    tree_.AddFolder("Root2\\X");
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 640, 420);
    combo_ = new TcxShellComboBox(form_.get());
    combo_->SetParent(form_.get());
    combo_->SetBounds(8, 8, 300, 24);
    // The tests drive the open drop-down from outside its own loop.
    combo_->PopupWindow()->SetModalMode(false);
    stv_ = new TcxShellTreeView(form_.get());
    stv_->SetParent(form_.get());
    stv_->SetBounds(8, 40, 240, 340);
    slv_ = new TcxShellListView(form_.get());
    slv_->SetParent(form_.get());
    slv_->SetBounds(256, 40, 360, 340);
    SetRoot(tree_.Path("Root"));
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    stv_->SetShellListView(slv_);
    combo_->SetShellTreeView(stv_);
    combo_->SetShellListView(slv_);
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
    ui_test::PumpUntilIdle();
  }
  void SetRoot(const std::string& APath) {
    for (TcxCustomShellRoot* root :
         {static_cast<TcxCustomShellRoot*>(combo_->Properties()->Root()),
          static_cast<TcxCustomShellRoot*>(stv_->Root()),
          static_cast<TcxCustomShellRoot*>(slv_->Root())}) {
      root->SetBrowseFolder(bfCustomPath);
      root->SetCustomPath(AnsiToWide(APath));
    }
  }
  void FocusCombo() {
    combo_->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return combo_->InnerEditControl()->Focused(); },
                          "focused"));
  }
  void OpenDropDown() {
    ui_test::PressKeys({VK_MENU, VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] { return combo_->DroppedDown(); }, "dropped"));
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void CloseWith(WORD AKey) {
    ui_test::PressKeys({AKey});
    ASSERT_TRUE(WaitUntil([&] { return !combo_->DroppedDown(); }, "closed"));
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  TTreeNode* PopupSelected() {
    return combo_->PopupShellTreeView()->InnerTreeView()->Selected();
  }
  String ComboValue() { return VarToStr(combo_->EditValue()); }

  TTempFolderTree tree_;
  TObjectPtr<TForm> form_;
  TcxShellComboBox* combo_ = nullptr;
  TcxShellTreeView* stv_ = nullptr;
  TcxShellListView* slv_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
};

}  // namespace

TEST_F(ShellComboBoxTest,
       KeysInTheDropDownChooseAFolderAndTheLinkedViewsFollow) {
  const String treeBefore = stv_->Path();
  FocusCombo();
  OpenDropDown();
  // The drop-down opens on the folder shown: the root, with its first level.
  ASSERT_NE(PopupSelected(), nullptr);
  EXPECT_EQ(PopupSelected()->Text(), "Root");
  EXPECT_TRUE(PopupSelected()->Expanded());

  ui_test::PressKeys({VK_DOWN});  // to A
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(combo_->EditingText(), "A");
  // Moving in the drop-down shows the folder but stores nothing yet.
  EXPECT_EQ(ComboValue(), "");
  EXPECT_EQ(stv_->Path(), treeBefore);

  CloseWith(VK_RETURN);
  EXPECT_EQ(ComboValue(), "A");
  EXPECT_EQ(combo_->EditingText(), "A");
  EXPECT_TRUE(SamePath(combo_->Path(), tree_.Path("Root\\A")));
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\A")));
  EXPECT_TRUE(SamePath(slv_->Path(), tree_.Path("Root\\A")));
  Integer icon = -1;
  Integer overlay = -1;
  combo_->GetShellIcon(icon, overlay);
  EXPECT_GE(icon, 0);

  // Two levels below the root: the folder names joined by a backslash.
  OpenDropDown();
  EXPECT_EQ(PopupSelected()->Text(), "A");
  ui_test::PressKeys({VK_RIGHT});  // opens A
  ui_test::PressKeys({VK_DOWN});   // to A1
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  CloseWith(VK_RETURN);
  EXPECT_EQ(ComboValue(), "A\\A1");
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\A\\A1")));
  EXPECT_TRUE(SamePath(slv_->Path(), tree_.Path("Root\\A\\A1")));

  // Back to the root: an empty value.
  OpenDropDown();
  ui_test::PressKeys({VK_HOME});
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  CloseWith(VK_RETURN);
  EXPECT_EQ(ComboValue(), "");
  EXPECT_EQ(combo_->EditingText(), "Root");
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root")));
}

TEST_F(ShellComboBoxTest, EscapeAndAltUpCloseWithoutStoring) {
  combo_->SetPath("B");
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_EQ(ComboValue(), "B");
  FocusCombo();
  for (const std::vector<WORD>& close :
       {std::vector<WORD>{VK_ESCAPE}, std::vector<WORD>{VK_MENU, VK_UP}}) {
    OpenDropDown();
    ASSERT_EQ(PopupSelected()->Text(), "B");
    ui_test::PressKeys({VK_UP});  // to A
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    ui_test::PressKeys(close);
    ASSERT_TRUE(WaitUntil([&] { return !combo_->DroppedDown(); }, "closed"));
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    EXPECT_EQ(ComboValue(), "B");
    EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\B")));
    EXPECT_TRUE(SamePath(slv_->Path(), tree_.Path("Root\\B")));
  }
}

TEST_F(ShellComboBoxTest, TheLinkedTreeAndListUpdateTheCombo) {
  // The tree, driven by keys.
  const TRect r =
      stv_->InnerTreeView()->Items()->GetFirstNode()->DisplayRect(true);
  ui_test::Click(ui_test::ScreenPointOf(
      stv_->InnerTreeView(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  ui_test::PressKeys({VK_RIGHT});  // opens the root
  ui_test::PressKeys({VK_DOWN});   // to A
  ui_test::PressKeys({VK_DOWN});   // to B
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\B")));
  EXPECT_EQ(ComboValue(), "B");
  EXPECT_EQ(combo_->EditingText(), "B");

  // The list, opening a folder.
  TcxPidlPtr c1 = PidlOf(tree_.Path("Root\\C\\C1"));
  slv_->InnerShellListView()->Navigate(c1.get());
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(ComboValue(), "C\\C1");
  EXPECT_EQ(combo_->EditingText(), "C1");
  Integer icon = -1;
  Integer overlay = -1;
  combo_->GetShellIcon(icon, overlay);
  EXPECT_GE(icon, 0);
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\C\\C1")));
}

TEST_F(ShellComboBoxTest, TypedTextIsResolvedWhenEnterValidatesIt) {
  struct {
    std::string typed;
    String value;       // stored
    std::string shown;  // the linked tree's folder ("" = unchanged)
  } const cases[] = {
      {"c\\c1", "C\\C1", "Root\\C\\C1"},
      {"A", "A", "Root\\A"},
      // Absolute paths below the root are stored relative to it.
      {tree_.Path("Root\\B"), "B", "Root\\B"},
      // Outside the root or unknown: the text itself, no folder.
      {tree_.Path("Root2\\X"), tree_.Path("Root2\\X"), ""},
      {"Nowhere", "Nowhere", ""},
  };
  FocusCombo();
  for (const auto& c : cases) {
    combo_->SetPath("");
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    const String before = stv_->Path();
    ui_test::PressKeys({VK_HOME});
    ui_test::PressKeys({VK_SHIFT, VK_END});
    ui_test::TypeText(c.typed);
    ui_test::PressKeys({VK_RETURN});
    ASSERT_TRUE(ui_test::PumpUntilIdle());
    EXPECT_EQ(ComboValue(), c.value) << c.typed;
    if (c.shown.empty()) {
      EXPECT_EQ(stv_->Path(), before) << c.typed;
      Integer icon = 0;
      Integer overlay = 0;
      combo_->GetShellIcon(icon, overlay);
      EXPECT_EQ(icon, -1) << c.typed;
    } else {
      EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path(c.shown))) << c.typed;
    }
  }
}

TEST_F(ShellComboBoxTest, SettersRefuseFoldersOutsideTheRootOrMissing) {
  combo_->SetPath("A");
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  TcxPidlPtr outside = PidlOf(tree_.Path("Root2\\X"));
  combo_->SetAbsolutePIDL(outside.get());
  EXPECT_EQ(ComboValue(), "A");
  TcxPidlPtr b = PidlOf(tree_.Path("Root\\B"));
  combo_->SetAbsolutePIDL(b.get());
  EXPECT_EQ(ComboValue(), "B");
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\B")));

  // Relative PIDLs: the ids below the root.
  TcxPidlPtr root = PidlOf(tree_.Path("Root"));
  TcxPidlPtr a1 = PidlOf(tree_.Path("Root\\A\\A1"));
  PItemIDList below = a1.get();
  for (Integer i = GetPidlItemsCount(root.get()); i > 0; --i) {
    below = GetNextItemID(below);
  }
  combo_->SetRelativePIDL(below);
  EXPECT_EQ(ComboValue(), "A\\A1");
  combo_->SetRelativePIDL(nullptr);
  EXPECT_EQ(ComboValue(), "");
  TcxPidlPtr c = PidlOf(tree_.Path("Root\\C\\C1"));
  TcxPidlPtr cBelow(GetPidlCopy(GetLastPidlItem(c.get())));
  shell_test::RemoveTree(tree_.Path("Root\\C"));
  combo_->SetRelativePIDL(cBelow.get());
  EXPECT_EQ(ComboValue(), "");

  // Without relative storing, the whole path.
  combo_->Properties()->SetStoreRelativePath(false);
  combo_->SetAbsolutePIDL(b.get());
  EXPECT_TRUE(SamePath(ComboValue(), tree_.Path("Root\\B")));
  combo_->SetRelativePIDL(nullptr);
  EXPECT_TRUE(SamePath(ComboValue(), tree_.Path("Root")));
}

TEST_F(ShellComboBoxTest, FastSearchShowsTheLastNameWithoutTheShell) {
  TcxShellComboBoxProperties* props = combo_->Properties();
  props->SetFastSearch(true);
  struct {
    const char* value;
    const char* text;
  } const cases[] = {
      {"", "Root"},
      {"X\\Y\\Z", "Z"},
      {"Z", "Z"},
      {"C:\\nowhere\\at all", "at all"},
  };
  for (const auto& c : cases) {
    const TcxShellDisplayValue shown =
        props->GetShellDisplayValue(Variant(String(c.value)), false);
    EXPECT_EQ(shown.Text, c.text) << c.value;
    EXPECT_EQ(shown.IconIndex, -1) << c.value;
  }
  EXPECT_EQ(props->GetShellDisplayValue(Variant(), false).Text, "");
}

TEST_F(ShellComboBoxTest, FreedLinkedControlsAreForgottenOnBothSides) {
  TcxCustomInnerShellListView* list = slv_->InnerShellListView();
  TcxInnerShellTreeView* tree = stv_->InnerTreeView();
  EXPECT_EQ(list->ComboBox(), combo_);
  EXPECT_EQ(tree->ComboBox(), combo_);
  { TObjectPtr<TcxShellListView> doomed(slv_); }
  slv_ = nullptr;
  EXPECT_EQ(combo_->ShellListView(), nullptr);
  { TObjectPtr<TcxShellComboBox> doomed(combo_); }
  combo_ = nullptr;
  EXPECT_EQ(tree->ComboBox(), nullptr);
  // The tree goes on working alone.
  stv_->SetPath(tree_.Path("Root\\B"));
  EXPECT_TRUE(SamePath(stv_->Path(), tree_.Path("Root\\B")));
}

TEST_F(ShellComboBoxTest, AClickOnAFolderInTheDropDownChoosesIt) {
  FocusCombo();
  OpenDropDown();
  TcxInnerShellTreeView* popupTree =
      combo_->PopupShellTreeView()->InnerTreeView();
  TTreeNode* b = nullptr;
  TTreeNode* root = popupTree->Items()->GetFirstNode();
  for (Integer i = 0; root && i < root->Count(); ++i) {
    if (root->Item(i)->Text() == "B") b = root->Item(i);
  }
  ASSERT_NE(b, nullptr);
  const TRect r = b->DisplayRect(true);
  ui_test::Click(ui_test::ScreenPointOf(popupTree, (r.Left + r.Right) / 2,
                                        (r.Top + r.Bottom) / 2));
  ASSERT_TRUE(WaitUntil([&] { return !combo_->DroppedDown(); }, "closed"));
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(ComboValue(), "B");
  EXPECT_TRUE(SamePath(slv_->Path(), tree_.Path("Root\\B")));
}

TEST_F(ShellComboBoxTest, IncrementalSearchOffersTheNodesTheDropDownShows) {
  TcxCustomTextEditLookupData* lookup = combo_->LookupData();
  ASSERT_NE(lookup, nullptr);
  FocusCombo();
  OpenDropDown();
  EXPECT_EQ(lookup->GetItemCount(), 0);  // off by default
  combo_->Properties()->SetIncrementalSearch(true);
  ASSERT_EQ(lookup->GetItemCount(), 4);
  EXPECT_EQ(lookup->GetItem(0), "Root");
  EXPECT_EQ(lookup->GetItem(3), "C");
  ui_test::PressKeys({VK_END});    // to C
  ui_test::PressKeys({VK_RIGHT});  // opens C: its child is visible now
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_EQ(lookup->GetItemCount(), 5);
  EXPECT_EQ(lookup->GetItem(4), "C1");
  EXPECT_EQ(lookup->CurrentKeyIndex(), 3);
  CloseWith(VK_ESCAPE);
}

TEST_F(ShellComboBoxTest, TheFoldersIconIsPaintedLeftOfTheText) {
  combo_->SetPath("A");
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  auto* info = dynamic_cast<TcxShellComboBoxViewInfo*>(combo_->ViewInfo());
  ASSERT_NE(info, nullptr);
  EXPECT_GE(info->IconIndex, 0);
  const TRect icon = info->IconRect();
  ASSERT_GT(icon.Width(), 0);
  EXPECT_LE(icon.Right, combo_->InnerEditControl()->Left());
  EXPECT_GE(icon.Left, 0);
  // Something other than the background was drawn there.
  combo_->Repaint();
  HDC dc = ::GetDC(combo_->Handle());
  const COLORREF background = ::GetPixel(dc, icon.Left, icon.Top);
  bool drawn = false;
  for (Integer y = icon.Top; y < icon.Bottom && !drawn; ++y) {
    for (Integer x = icon.Left; x < icon.Right && !drawn; ++x) {
      drawn = ::GetPixel(dc, x, y) != background;
    }
  }
  ::ReleaseDC(combo_->Handle(), dc);
  EXPECT_TRUE(drawn);
  // A value that names no folder shows no icon.
  combo_->SetPath("Nowhere");
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(info->IconIndex, -1);
}

TEST_F(ShellComboBoxTest, ARootSetOnOneLinkedControlReachesTheOthers) {
  const WideString a = AnsiToWide(tree_.Path("Root\\A"));
  combo_->Properties()->Root()->SetCustomPath(a);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(stv_->Root()->CustomPath(), a);
  EXPECT_EQ(slv_->Root()->CustomPath(), a);
  EXPECT_EQ(combo_->EditingText(), "A");

  const WideString c = AnsiToWide(tree_.Path("Root\\C"));
  stv_->Root()->SetCustomPath(c);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(combo_->Properties()->Root()->CustomPath(), c);
  EXPECT_EQ(slv_->Root()->CustomPath(), c);
  // The value is relative to the new root.
  FocusCombo();
  OpenDropDown();
  EXPECT_EQ(PopupSelected()->Text(), "C");
  ui_test::PressKeys({VK_DOWN});  // to C1
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  CloseWith(VK_RETURN);
  EXPECT_EQ(ComboValue(), "C1");
}
