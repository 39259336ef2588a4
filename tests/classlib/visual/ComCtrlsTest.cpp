// The list view over its system window, fed through the item model.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetBounds(40, 40, 420, 320);
    view = new TListView(form.get());
    view->SetBounds(10, 10, 380, 260);
    view->SetViewStyle(vsReport);
    view->SetParent(form.get());
  }
  void TearDown() override {
    form.reset();
    Pump();
  }
  HWND H() { return view->Handle(); }
  String WindowText(Integer row, Integer sub = 0) {
    char buf[256] = {};
    LVITEMA it{};
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    ::SendMessageA(H(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  UINT WindowState(Integer row) {
    return static_cast<UINT>(
        ::SendMessageA(H(), LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                       LVIS_SELECTED | LVIS_STATEIMAGEMASK));
  }
  bool WindowChecked(Integer row) {
    return (WindowState(row) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  }
  bool WindowSelected(Integer row) {
    return (WindowState(row) & LVIS_SELECTED) != 0;
  }
  Integer WindowCount() {
    return static_cast<Integer>(::SendMessageA(H(), LVM_GETITEMCOUNT, 0, 0));
  }
  // A click at a client point.
  void Click(TPoint p) { ui_test::Click(view, p.X, p.Y); }
  TCursorPosGuard pointer;
  TObjectPtr<TForm> form;
  TListView* view = nullptr;
};

// The caller fills the items the way the program's models do: through a
// plain TListItems pointer.
void Fill(TListItems* items, const std::vector<const char*>& names) {
  for (const char* n : names) items->Add()->SetCaption(n);
}

TEST_F(ListViewTest, ChecksAndSelectionRoundTripThroughTheItems) {
  view->SetCheckboxes(true);
  view->SetHideSelection(false);
  view->Columns()->Add()->SetCaption("Groups");
  view->Column(0)->SetWidth(174);
  TListItems* items = view->Items();
  Fill(items, {"alpha", "beta", "gamma"});
  // Set before the window exists: the window starts with them.
  items->Item(1)->SetChecked(true);
  items->Item(2)->SetSelected(true);
  std::vector<std::pair<TListItem*, bool>> selects;
  view->OnSelectItem = TLVSelectItemEvent::FromFunction(
      [&](TObject*, TListItem* item, bool sel) {
        selects.emplace_back(item, sel);
      });
  form->Show();
  ASSERT_EQ(WindowCount(), 3);
  EXPECT_EQ(WindowText(0), "alpha");
  EXPECT_FALSE(WindowChecked(0));
  EXPECT_TRUE(WindowChecked(1));
  EXPECT_TRUE(WindowSelected(2));
  EXPECT_EQ(view->Column(0)->Width(), 174);

  // Model to window.
  items->Item(0)->SetChecked(true);
  items->Item(1)->SetChecked(false);
  EXPECT_TRUE(WindowChecked(0));
  EXPECT_FALSE(WindowChecked(1));
  selects.clear();
  items->Item(0)->SetSelected(true);
  // Single selection: the window drops the old one and says so; the model
  // follows.
  EXPECT_TRUE(WindowSelected(0));
  EXPECT_FALSE(WindowSelected(2));
  EXPECT_FALSE(items->Item(2)->Selected());
  EXPECT_EQ(view->Selected(), items->Item(0));
  EXPECT_EQ(view->SelCount(), 1);
  EXPECT_NE(std::find(selects.begin(), selects.end(),
                      std::make_pair(items->Item(0), true)),
            selects.end());

  // Window to model: a click on a row's check box and on another row.
  const TRect bounds = items->Item(2)->DisplayRect(drBounds);
  ASSERT_GT(bounds.Height(), 0);
  const Integer y = (bounds.Top + bounds.Bottom) / 2;
  Integer boxX = -1;
  for (Integer x = bounds.Left; x < bounds.Left + 40 && boxX < 0; ++x)
    if (view->GetHitTestInfoAt(x, y).Contains(htOnStateIcon)) boxX = x;
  ASSERT_GE(boxX, 0) << "no check box found on the row";
  Click({boxX + 2, y});
  EXPECT_TRUE(WindowChecked(2));
  EXPECT_TRUE(items->Item(2)->Checked());

  const TRect label = items->Item(1)->DisplayRect(drLabel);
  Click({label.Left + 4, (label.Top + label.Bottom) / 2});
  EXPECT_TRUE(items->Item(1)->Selected());
  EXPECT_FALSE(items->Item(0)->Selected());
  EXPECT_EQ(view->Selected(), items->Item(1));
  // Checks are untouched by the selection.
  EXPECT_TRUE(items->Item(0)->Checked());
  EXPECT_FALSE(items->Item(1)->Checked());
}

TEST_F(ListViewTest, ItemsSurviveTheWindowBeingMadeAgain) {
  view->SetCheckboxes(true);
  view->Columns()->Add()->SetCaption("Name");
  view->Columns()->Add()->SetCaption("Path");
  TListItems* items = view->Items();
  Fill(items, {"one", "two"});
  items->Item(0)->SubItems()->Add("c:\\one");
  form->Show();
  items->Item(1)->SetChecked(true);
  items->Item(1)->SetSelected(true);
  ::SendMessageA(H(), LVM_SETCOLUMNWIDTH, 1, 123);
  const HWND before = H();

  view->SetMultiSelect(true);  // needs a new window
  ASSERT_NE(H(), before);
  ASSERT_EQ(WindowCount(), 2);
  EXPECT_EQ(WindowText(0, 1), "c:\\one");
  EXPECT_TRUE(WindowChecked(1));
  EXPECT_TRUE(WindowSelected(1));
  EXPECT_FALSE(WindowChecked(0));
  EXPECT_EQ(view->Column(1)->Width(), 123);
}

TEST_F(ListViewTest, EditsOfTheModelReachTheWindow) {
  view->Columns()->Add()->SetCaption("Name");
  TListItems* items = view->Items();
  form->Show();
  std::vector<String> deleted;
  view->OnDeletion = TLVNotifyEvent::FromFunction(
      [&](TObject*, TListItem* item) { deleted.push_back(item->Caption()); });
  Fill(items, {"a", "b", "c"});
  items->Item(2)->SubItems()->Add("sub of c");
  // A column added after the items shows their sub-items.
  view->Columns()->Add()->SetCaption("More");
  EXPECT_EQ(WindowText(2, 1), "sub of c");
  items->Item(1)->SetCaption("B");
  EXPECT_EQ(WindowText(1), "B");
  items->Item(2)->SubItems()->SetStrings(0, "changed");
  EXPECT_EQ(WindowText(2, 1), "changed");

  items->Delete(0);
  EXPECT_EQ(deleted, std::vector<String>{"a"});
  ASSERT_EQ(WindowCount(), 2);
  EXPECT_EQ(WindowText(0), "B");
  // The row found at a point is the model's item.
  const TRect r = items->Item(1)->DisplayRect(drLabel);
  EXPECT_EQ(view->GetItemAt(r.Left + 2, (r.Top + r.Bottom) / 2),
            items->Item(1));
  EXPECT_EQ(view->GetItemAt(r.Left + 2, view->ClientHeight() - 2), nullptr);

  items->Clear();
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_EQ(deleted.size(), 3u);
}

TEST_F(ListViewTest, LabelEditingEndsAsTheCodeSays) {
  struct Case {
    const char* name;
    bool allowEdit;
    bool cancel;
    const char* expected;
  };
  const Case cases[] = {
      {"committed and adjusted by OnEdited", true, false, "typed!"},
      {"cancelled", true, true, "old"},
      {"refused by OnEditing", false, false, "old"},
  };
  view->Columns()->Add()->SetCaption("Name");
  view->Column(0)->SetWidth(200);
  form->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view->Items()->Clear();
    TListItem* item = view->Items()->Add();
    item->SetCaption("old");
    view->OnEditing = TLVEditingEvent::FromFunction(
        [&](TObject*, TListItem*, bool& allow) { allow = c.allowEdit; });
    view->OnEdited = TLVEditedEvent::FromFunction(
        [&](TObject*, TListItem*, String& s) { s += "!"; });
    const bool started = item->EditCaption();
    EXPECT_EQ(started, c.allowEdit);
    EXPECT_EQ(view->IsEditing(), c.allowEdit);
    if (started) {
      HWND edit =
          reinterpret_cast<HWND>(::SendMessageA(H(), LVM_GETEDITCONTROL, 0, 0));
      ASSERT_NE(edit, nullptr);
      ::SetWindowTextA(edit, "typed");
      if (c.cancel) {
        item->CancelEdit();
      } else {
        ASSERT_EQ(::GetFocus(), edit);
        PressKeys({VK_RETURN});
      }
      PumpUntilIdle();
    }
    EXPECT_FALSE(view->IsEditing());
    EXPECT_EQ(item->Caption(), c.expected);
    EXPECT_EQ(WindowText(0), c.expected);
  }
}

TEST_F(ListViewTest, OwnerDataRowsComeFromOnData) {
  view->Columns()->Add()->SetCaption("Row");
  view->Columns()->Add()->SetCaption("Twice");
  view->SetOwnerData(true);
  view->OnData = TLVOwnerDataEvent::FromFunction([](TObject*, TListItem* it) {
    it->SetCaption(Format("Row %d", {it->Index()}));
    it->SubItems()->Add(IntToStr(it->Index() * 2));
  });
  form->Show();
  view->SetItemCount(1000);
  EXPECT_EQ(WindowCount(), 1000);
  EXPECT_EQ(view->Items()->Count(), 0);
  EXPECT_EQ(WindowText(500), "Row 500");
  EXPECT_EQ(WindowText(999, 1), "1998");
  TListItem* top = view->TopItem();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Index(), 0);
  EXPECT_EQ(top->Caption(), "Row 0");
}

TEST_F(ListViewTest, CustomDrawSeesEachRowWithItsState) {
  view->Columns()->Add()->SetCaption("Name");
  Fill(view->Items(), {"x", "y", "z"});
  view->Items()->Item(1)->SetSelected(true);
  view->SetHideSelection(false);
  std::vector<std::pair<String, bool>> drawn;
  view->OnCustomDrawItem = TLVCustomDrawItemEvent::FromFunction(
      [&](TCustomListView* sender, TListItem* item, TCustomDrawState state,
          bool& defaultDraw) {
        drawn.emplace_back(item->Caption(), state.Contains(cdsSelected));
        sender->Canvas()->Font()->SetStyle(TFontStyles{fsBold});
        defaultDraw = true;
      });
  form->Show();
  drawn.clear();
  ::InvalidateRect(H(), nullptr, TRUE);
  ::UpdateWindow(H());
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0], std::make_pair(String("x"), false));
  EXPECT_EQ(drawn[1], std::make_pair(String("y"), true));
  EXPECT_EQ(drawn[2], std::make_pair(String("z"), false));
}

TEST_F(ListViewTest, InfoTipTextComesFromTheHandler) {
  view->Columns()->Add()->SetCaption("Name");
  Fill(view->Items(), {"tip me"});
  view->OnInfoTip =
      TLVInfoTipEvent::FromFunction([](TObject*, TListItem* item, String& tip) {
        tip = "About " + item->Caption();
      });
  form->Show();
  char buf[64] = "";
  NMLVGETINFOTIPA tip{};
  tip.hdr.hwndFrom = H();
  tip.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(H()));
  tip.hdr.code = LVN_GETINFOTIPA;
  tip.pszText = buf;
  tip.cchTextMax = 8;  // the text is cut to the window's buffer
  tip.iItem = 0;
  ::SendMessageA(form->Handle(), WM_NOTIFY, tip.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&tip));
  EXPECT_STREQ(buf, "About t");
}

TEST(ListViewNoWindowTest, ItemsWorkAsPlainDataUntilThereIsAWindow) {
  TListView view(nullptr);
  TListItems* items = view.Items();
  Fill(items, {"a", "b"});
  items->Item(1)->SetSelected(true);
  EXPECT_EQ(view.Selected(), items->Item(1));
  EXPECT_EQ(view.SelCount(), 1);
  EXPECT_FALSE(items->Item(0)->EditCaption());
  EXPECT_EQ(items->Item(0)->DisplayRect(drBounds).Width(), 0);
  EXPECT_FALSE(view.HandleAllocated());
}

}  // namespace

namespace {

class PageControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetBounds(40, 40, 420, 320);
    pages = new TPageControl(form.get());
    pages->SetBounds(10, 10, 380, 260);
    pages->SetParent(form.get());
    for (const char* caption : {"Common Dialogs", "Office", "Extra"}) {
      auto* sheet = new TTabSheet(form.get());
      sheet->SetCaption(caption);
      sheet->SetPageControl(pages);
    }
  }
  void TearDown() override {
    form.reset();
    Pump();
  }
  Integer TabCount() {
    return static_cast<Integer>(
        ::SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0));
  }
  String TabText(Integer i) {
    char buf[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(pages->Handle(), TCM_GETITEMA, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&item));
    return buf;
  }
  // A click on a tab, as the user makes it.
  void ClickTab(Integer i) {
    RECT r{};
    ::SendMessageA(pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&r));
    Click(pages, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  TCursorPosGuard pointer;
  TObjectPtr<TForm> form;
  TPageControl* pages = nullptr;
};

TEST_F(PageControlTest, TabsFollowThePagesAndShowTheActiveOne) {
  form->Show();
  ASSERT_EQ(pages->PageCount(), 3);
  ASSERT_EQ(TabCount(), 3);
  EXPECT_EQ(TabText(0), "Common Dialogs");
  EXPECT_EQ(pages->ActivePage(), pages->Pages(0));
  TTabSheet* first = pages->Pages(0);
  EXPECT_TRUE(::IsWindowVisible(first->Handle()));
  // The page fills the area inside the tabs, below them.
  EXPECT_GT(first->Top(), 0);
  EXPECT_LT(first->Height(), pages->ClientHeight());

  pages->SetActivePageIndex(2);
  EXPECT_EQ(::SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_FALSE(first->Visible());
  EXPECT_TRUE(pages->Pages(2)->Visible());

  // A hidden tab drops out of the tab row, and the tab indexes move up.
  pages->Pages(1)->SetTabVisible(false);
  ASSERT_EQ(TabCount(), 2);
  EXPECT_EQ(TabText(1), "Extra");
  EXPECT_EQ(pages->Pages(2)->TabIndex(), 1);
  EXPECT_EQ(pages->Pages(1)->TabIndex(), -1);
  pages->Pages(2)->SetCaption("Renamed");
  EXPECT_EQ(TabText(1), "Renamed");
}

TEST_F(PageControlTest, ClickedTabChangesThePageUnlessRefused) {
  form->Show();
  bool allow = true;
  int changes = 0;
  pages->OnChanging = TTabChangingEvent::FromFunction(
      [&](TObject*, bool& allowChange) { allowChange = allow; });
  pages->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });

  ClickTab(1);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_EQ(changes, 1);

  allow = false;
  ClickTab(2);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_EQ(::SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(changes, 1);
}

TEST_F(PageControlTest, FreeingTheActivePageShowsAnother) {
  form->Show();
  TTabSheet* first = pages->Pages(0);
  TObjectPtr<TTabSheet> owned(first);
  form->RemoveComponent(first);
  owned.reset();
  ASSERT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(TabCount(), 2);
  ASSERT_NE(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->ActivePage()->Caption(), "Office");
}

}  // namespace

namespace {

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetBounds(40, 40, 420, 320);
    tree = new TTreeView(form.get());
    tree->SetBounds(10, 10, 380, 260);
    tree->SetParent(form.get());
    // root
    //   a
    //     a1
    //   b
    // other
    TTreeNodes* n = tree->Items();
    root = n->Add(nullptr, "root");
    a = n->AddChild(root, "a");
    a1 = n->AddChild(a, "a1");
    b = n->AddChild(root, "b");
    other = n->Add(root, "other");
  }
  void TearDown() override {
    form.reset();
    Pump();
  }
  HWND H() { return tree->Handle(); }
  Integer WindowCount() {
    return static_cast<Integer>(::SendMessageA(H(), TVM_GETCOUNT, 0, 0));
  }
  String WindowText(TTreeNode* node) {
    char buf[64] = "";
    TVITEMA it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = node->ItemId();
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    ::SendMessageA(H(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  bool WindowExpanded(TTreeNode* node) {
    return (::SendMessageA(H(), TVM_GETITEMSTATE,
                           reinterpret_cast<WPARAM>(node->ItemId()),
                           TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  }
  TObjectPtr<TForm> form;
  TTreeView* tree = nullptr;
  TTreeNode *root, *a, *a1, *b, *other;
};

TEST_F(TreeViewTest, NodesKeepTheirOrderAndPlaces) {
  const TTreeNode* expected[] = {root, a, a1, b, other};
  ASSERT_EQ(tree->Items()->Count(), 5);
  for (Integer i = 0; i < 5; ++i) {
    EXPECT_EQ(tree->Items()->Item(i), expected[i]);
    EXPECT_EQ(expected[i]->AbsoluteIndex(), i);
  }
  EXPECT_EQ(a1->Level(), 2);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(a->GetNextSibling(), b);
  EXPECT_EQ(other->Parent(), nullptr);
  EXPECT_THROW(tree->Items()->Item(5), EListError);
  TTreeNode* first = tree->Items()->AddChildFirst(root, "first");
  TTreeNode* before = tree->Items()->Insert(b, "before b");
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(before->GetNextSibling(), b);
}

TEST_F(TreeViewTest, WindowMirrorsNodesAndReportsChoices) {
  a->SetExpanded(true);  // before the window: kept for it
  form->Show();
  ASSERT_EQ(WindowCount(), 5);
  EXPECT_EQ(WindowText(a1), "a1");
  EXPECT_TRUE(WindowExpanded(a));

  std::vector<TTreeNode*> changes;
  tree->OnChange = TTVChangedEvent::FromFunction(
      [&](TObject*, TTreeNode* node) { changes.push_back(node); });
  root->Expand(false);
  EXPECT_TRUE(root->Expanded());
  b->SetSelected(true);
  EXPECT_EQ(tree->Selected(), b);
  EXPECT_EQ(changes, std::vector<TTreeNode*>{b});

  // A click on a row selects its node, as the user does it.
  const TRect r = a1->DisplayRect(true);
  ASSERT_GT(r.Height(), 0);
  EXPECT_EQ(tree->GetNodeAt(r.Left + 2, (r.Top + r.Bottom) / 2), a1);
  const TCursorPosGuard pointer;
  Click(tree, r.Left + 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(tree->Selected(), a1);
  EXPECT_EQ(changes.back(), a1);

  b->SetText("bee");
  EXPECT_EQ(WindowText(b), "bee");
}

TEST_F(TreeViewTest, ExpansionAsksTheHandlersAndCanFillLazily) {
  other->SetHasChildren(true);
  form->Show();
  bool allow = false;
  int expanded = 0;
  tree->OnExpanding = TTVExpandingEvent::FromFunction(
      [&](TObject*, TTreeNode* node, bool& allowExpansion) {
        allowExpansion = allow;
        if (allow && node == other && node->Count() == 0)
          tree->Items()->AddChild(node, "loaded");
      });
  tree->OnExpanded =
      TTVExpandedEvent::FromFunction([&](TObject*, TTreeNode*) { ++expanded; });
  other->Expand(false);
  EXPECT_FALSE(other->Expanded());
  EXPECT_FALSE(WindowExpanded(other));
  EXPECT_EQ(expanded, 0);

  allow = true;
  other->Expand(false);
  EXPECT_TRUE(other->Expanded());
  EXPECT_TRUE(WindowExpanded(other));
  EXPECT_EQ(expanded, 1);
  ASSERT_EQ(other->Count(), 1);
  EXPECT_EQ(WindowText(other->Item(0)), "loaded");
}

TEST_F(TreeViewTest, DeletingANodeTakesItsChildren) {
  form->Show();
  std::vector<String> deleted;
  tree->OnDeletion = TTVExpandedEvent::FromFunction(
      [&](TObject*, TTreeNode* node) { deleted.push_back(node->Text()); });
  a->Delete();
  EXPECT_EQ(deleted, (std::vector<String>{"a1", "a"}));
  EXPECT_EQ(WindowCount(), 3);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(root->GetFirstChild(), b);
  tree->Items()->Clear();
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_EQ(tree->Items()->Count(), 0);
}

TEST_F(TreeViewTest, NewWindowGetsTheNodesBackAsTheyWere) {
  form->Show();
  root->Expand(false);
  a->Expand(false);
  a1->SetSelected(true);
  const HWND before = H();
  tree->SetShowLines(false);
  ASSERT_NE(H(), before);
  EXPECT_EQ(WindowCount(), 5);
  EXPECT_TRUE(WindowExpanded(root));
  EXPECT_TRUE(WindowExpanded(a));
  EXPECT_EQ(tree->Selected(), a1);
  EXPECT_EQ(WindowText(a1), "a1");
}

TEST_F(TreeViewTest, LabelEditingEndsAsTheCodeSays) {
  struct Case {
    const char* name;
    bool cancel;
    const char* expected;
  };
  const Case cases[] = {{"committed", false, "typed!"},
                        {"cancelled", true, "b"}};
  form->Show();
  root->Expand(false);
  tree->OnEdited = TTVEditedEvent::FromFunction(
      [](TObject*, TTreeNode*, String& s) { s += "!"; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    b->SetText("b");
    ASSERT_TRUE(b->EditText());
    HWND edit =
        reinterpret_cast<HWND>(::SendMessageA(H(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextA(edit, "typed");
    b->EndEdit(c.cancel);
    Pump();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(b->Text(), c.expected);
    EXPECT_EQ(WindowText(b), c.expected);
  }
}

}  // namespace
