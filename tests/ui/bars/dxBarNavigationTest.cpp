// Keyboard navigation of the bars: key tips shown, narrowed and executed by
// the navigation controller over a helper tree with windows of its own,
// and, on a real form, Alt and F10 putting the keyboard into the main
// menu and the arrows walking it and its menus.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarAccessibility.h"
#include "dxBarHelperTree.h"
#include "dxBarItemKinds.h"
#include "dxBarKindControls.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarNavigation.h"
#include "dxBarSubMenu.h"
#include "dxBarWinControls.h"

namespace {

using namespace ui_test;

// Key-tip windows as texts: which ones are on the screen.
class TTipWindows : public IdxBarKeyTipWindowsManager {
 public:
  struct TWindow : TObject {
    String Text;
  };
  TObject* AddWindow(const String& AText, const TPoint&, bool, TcxAlignmentVert,
                     TAlignment) override {
    windows_.emplace_back(new TWindow);
    windows_.back()->Text = AText;
    Shown.insert(AText);
    ++Added;
    return windows_.back().get();
  }
  void RemoveWindow(TObject* AWindow) override {
    Shown.erase(static_cast<TWindow*>(AWindow)->Text);
  }
  void ShowWindows() override {}
  std::set<String> Shown;
  int Added = 0;

 private:
  std::vector<std::unique_ptr<TWindow>> windows_;
};

using bar_test::TTestHelper;

class BarKeyTipsControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controller_ = BarNavigationController();
    ASSERT_TRUE(controller_);
    root_ = Make(false, "");
    root_->Windows = &windows_;
    b1_ = root_->Add(Make(true, "B"));
    b2_ = root_->Add(Make(true, "B"));
    c_ = root_->Add(Make(true, "C"));
    hidden_ = root_->Add(Make(true, "D"));
    hidden_->Visible = false;
  }
  void TearDown() override {
    if (controller_) controller_->StopKeyTipsHandlingMode();
  }
  TTestHelper* Make(bool ASelectable, const String& ATip) {
    return tree_.Make(ASelectable, ATip);
  }
  // A key as the hook hands it on: only when the controller wants it.
  bool Key(Word AKey) {
    if (!controller_->NeedsKey(AKey)) return false;
    controller_->HandleKey(AKey);
    return true;
  }

  TdxBarNavigationController* controller_ = nullptr;
  TTipWindows windows_;
  bar_test::TTree tree_;
  TTestHelper* root_ = nullptr;
  TTestHelper *b1_ = nullptr, *b2_ = nullptr, *c_ = nullptr, *hidden_ = nullptr;
};

TEST_F(BarKeyTipsControllerTest, TypedLettersNarrowTheTipsAndRunTheOneTyped) {
  controller_->SetKeyTipsShowingState(root_, String());
  ASSERT_TRUE(controller_->GetKeyTipsHandlingMode());
  // Equal tips were made unique; the hidden object's tip gets no window.
  EXPECT_EQ((std::set<String>{"B1", "B2", "C"}), windows_.Shown);

  EXPECT_TRUE(Key('B'));
  EXPECT_TRUE(controller_->GetKeyTipsHandlingMode());
  EXPECT_EQ("B", controller_->TypedText());
  EXPECT_EQ((std::set<String>{"B1", "B2"}), windows_.Shown);
  const int added = windows_.Added;

  EXPECT_TRUE(Key('2'));
  EXPECT_EQ(0, b1_->Executed);
  EXPECT_EQ(1, b2_->Executed);
  EXPECT_EQ(added, windows_.Added) << "shown windows are left as they are";
  EXPECT_EQ(0, hidden_->Executed);
}

TEST_F(BarKeyTipsControllerTest, AKeyThatTypesNothingLeavesKeyTipMode) {
  controller_->SetKeyTipsShowingState(root_, String());
  ASSERT_FALSE(windows_.Shown.empty());
  // An arrow types no character: the tips go, and no tip ran.
  controller_->HandleKey(VK_LEFT);
  EXPECT_FALSE(controller_->GetKeyTipsHandlingMode());
  EXPECT_TRUE(windows_.Shown.empty());
  EXPECT_EQ(0, b1_->Executed + b2_->Executed + c_->Executed);
}

TEST_F(BarKeyTipsControllerTest, EscapeAtTheTopContainerEndsKeyTips) {
  controller_->SetKeyTipsShowingState(root_, String());
  EXPECT_TRUE(Key(VK_ESCAPE));
  EXPECT_FALSE(controller_->GetKeyTipsHandlingMode());
  EXPECT_TRUE(windows_.Shown.empty());
}

TEST_F(BarKeyTipsControllerTest, ATipOfNoObjectKeepsTheModeAndShowsNothing) {
  controller_->SetKeyTipsShowingState(root_, String());
  EXPECT_TRUE(Key('Q'));
  EXPECT_TRUE(controller_->GetKeyTipsHandlingMode());
  EXPECT_EQ(String(), controller_->TypedText()) << "no tip begins with Q";
  EXPECT_EQ((std::set<String>{"B1", "B2", "C"}), windows_.Shown);
}

TEST_F(BarKeyTipsControllerTest, WaitingNeedsOneRootAndEndsWithoutShowing) {
  EXPECT_THROW(controller_->BeginKeyTipsWaiting(nullptr), Exception);
  controller_->BeginKeyTipsWaiting(root_);
  EXPECT_TRUE(controller_->IsKeyTipsWaiting());
  controller_->BeginKeyTipsWaiting(root_);  // the same root: nothing new
  EXPECT_THROW(controller_->BeginKeyTipsWaiting(c_), Exception);
  // A key that is no key tip ends the wait; nothing showed.
  controller_->EndKeyTipsWaiting(false);
  EXPECT_FALSE(controller_->IsKeyTipsWaiting());
  EXPECT_FALSE(controller_->GetKeyTipsHandlingMode());
  EXPECT_TRUE(windows_.Shown.empty());
  // Waiting ended with showing enters key-tip mode.
  controller_->BeginKeyTipsWaiting(root_);
  controller_->EndKeyTipsWaiting(true);
  EXPECT_EQ(root_, controller_->KeyTipsOwner());
  EXPECT_EQ((std::set<String>{"B1", "B2", "C"}), windows_.Shown);
}

TEST_F(BarKeyTipsControllerTest, ALetterTypedWhileWaitingShowsItsTips) {
  controller_->BeginKeyTipsWaiting(root_);
  EXPECT_TRUE(Key('C'));
  EXPECT_FALSE(controller_->IsKeyTipsWaiting());
  EXPECT_EQ(root_, controller_->KeyTipsOwner());
  EXPECT_EQ("C", controller_->TypedText());
  EXPECT_EQ((std::set<String>{"C"}), windows_.Shown);
  EXPECT_EQ(0, c_->Executed) << "the tips show before one runs";
}

// ---------------------------------------------------------------------------
// The main menu from the keyboard
// ---------------------------------------------------------------------------

class BarMainMenuKeysTest : public bar_test::TBarFormTest {
 protected:
  void SetUp() override {
    TBarFormTest::SetUp();
    open_ = Button("Open", &opened_);
    file_ = SubItem("&File", {open_, Button("Close")});
    edit_ = SubItem("&Edit", {Button("Copy")});
    TdxBar* bar = manager_->Bars()->Add();
    bar->SetCaption("Main Menu");
    bar->ItemLinks()->Add(file_);
    bar->ItemLinks()->Add(edit_);
    bar->SetDockingStyle(dsTop);
    bar->SetIsMainMenu(true);
    bar->SetVisible(true);
    ShowForm();
    menuBar_ = manager_->MainMenuControl();
  }
  TdxBarItemControl* ControlOf(TdxBarItem* AItem) {
    return AItem->GetLinkCount() ? AItem->GetLinks(0)->Control() : nullptr;
  }
  TdxBarSubMenuControl* MenuOf(TdxBarSubItem* AItem) {
    auto* control = dynamic_cast<TdxBarSubItemControl*>(ControlOf(AItem));
    return control ? control->GetSubMenuControl() : nullptr;
  }

  TCursorPosGuard cursor_;
  int opened_ = 0;
  TdxBarButton* open_ = nullptr;
  TdxBarSubItem* file_ = nullptr;
  TdxBarSubItem* edit_ = nullptr;
  TCustomdxBarControl* menuBar_ = nullptr;
};

TEST_F(BarMainMenuKeysTest, AltPutsTheKeyboardIntoTheMenuBarAndArrowsWalkIt) {
  ASSERT_TRUE(menuBar_);
  PressKeys({VK_MENU});
  ASSERT_EQ(menuBar_, ActiveBarControl);
  EXPECT_TRUE(BarNavigationController()->NavigationMode());
  // The first arrow picks the first title; Right and Left walk along.
  PressKeys({VK_RIGHT});
  EXPECT_EQ(ControlOf(file_), menuBar_->SelectedControl());
  PressKeys({VK_RIGHT});
  EXPECT_EQ(ControlOf(edit_), menuBar_->SelectedControl());
  PressKeys({VK_RIGHT});
  EXPECT_EQ(ControlOf(file_), menuBar_->SelectedControl()) << "wraps round";
  // Down opens the title's menu at its first entry; Down walks on in it,
  // and Right goes on to the next title.
  PressKeys({VK_DOWN});
  TdxBarSubMenuControl* fileMenu = MenuOf(file_);
  ASSERT_TRUE(fileMenu);
  EXPECT_EQ(fileMenu, ActiveBarControl);
  EXPECT_EQ(ControlOf(open_), fileMenu->SelectedControl());
  PressKeys({VK_DOWN});
  EXPECT_NE(ControlOf(open_), fileMenu->SelectedControl());
  PressKeys({VK_RIGHT});
  EXPECT_EQ(nullptr, MenuOf(file_));
  EXPECT_EQ(ControlOf(edit_), menuBar_->SelectedControl());
  // Escape leaves the menu bar.
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
  EXPECT_EQ(nullptr, ActiveBarControl);
  EXPECT_EQ(0, opened_);
}

TEST_F(BarMainMenuKeysTest, F10EntersTheMenuBarAndEnterRunsAnEntry) {
  ASSERT_TRUE(menuBar_);
  PressKeys({VK_F10});
  ASSERT_EQ(menuBar_, ActiveBarControl);
  // Down on the chosen title and Enter on the entry run its command.
  PressKeys({VK_RIGHT});
  PressKeys({VK_DOWN});
  ASSERT_TRUE(MenuOf(file_));
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  EXPECT_EQ(1, opened_);
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(BarMainMenuKeysTest, ItemsGetTheirDefaultKeyTips) {
  auto tipOf = [&](TdxBarItem* AItem) {
    return dxBarGetAccessibilityHelper(ControlOf(AItem))->GetKeyTip();
  };
  // The accelerator; without one "Y"; a Ctrl+letter shortcut first.
  EXPECT_EQ("F", tipOf(file_));
  EXPECT_EQ("E", tipOf(edit_));
  edit_->SetCaption("Edit");
  EXPECT_EQ("Y", tipOf(edit_));
  file_->SetShortCut(TShortCut(scCtrl + 'S'));
  EXPECT_EQ("S", tipOf(file_));
  file_->SetKeyTip("FILE");
  EXPECT_EQ("FIL", tipOf(file_)) << "an assigned tip, cut to three";
  // The menu bar's helper lists its items; the bar window is the default
  // object of its root.
  TdxBarAccessibilityHelper* bar = dxBarGetAccessibilityHelper(menuBar_);
  EXPECT_EQ(2, bar->GetChildCount());
  EXPECT_EQ(bar, bar->GetDefaultAccessibleObject());
  IdxBarKeyTipWindowsManager* windows = nullptr;
  EXPECT_FALSE(bar->AreKeyTipsSupported(windows))
      << "no container here shows key tips";
}

TEST_F(BarMainMenuKeysTest, AClickAwayFromTheMenuBarEndsKeyboardNavigation) {
  ASSERT_TRUE(menuBar_);
  PressKeys({VK_MENU});
  ASSERT_EQ(menuBar_, ActiveBarControl);
  ASSERT_TRUE(BarNavigationController()->NavigationMode());
  Click(ScreenPointOf(form_->Handle(), 250, 200));
  PumpUntilIdle();
  EXPECT_EQ(nullptr, ActiveBarControl);
  EXPECT_FALSE(BarNavigationController()->NavigationMode());
  EXPECT_EQ(nullptr, dxBarSelectedAccessibleObject());
}

TEST_F(BarMainMenuKeysTest, AClickInsideAnOpenMenuIsTheMenus) {
  // A sub-menu inside the File menu: clicked while the keyboard walks the
  // menus, it opens and everything above it stays open.
  TdxBarSubItem* more = SubItem("More", {Button("Deep")});
  file_->ItemLinks()->Add(more);
  ASSERT_TRUE(menuBar_);
  PressKeys({VK_MENU});
  PressKeys({VK_RIGHT});
  PressKeys({VK_DOWN});
  TdxBarSubMenuControl* fileMenu = MenuOf(file_);
  ASSERT_TRUE(fileMenu);
  TdxBarItemControl* entry = ControlOf(more);
  ASSERT_TRUE(entry);
  const TRect r = entry->GetItemBounds();
  Click(ScreenPointOf(fileMenu->Handle(), (r.Left + r.Right) / 2,
                      (r.Top + r.Bottom) / 2));
  PumpUntilIdle();
  EXPECT_EQ(fileMenu, MenuOf(file_)) << "the menu clicked into stays";
  TdxBarSubMenuControl* moreMenu = MenuOf(more);
  ASSERT_TRUE(moreMenu);
  EXPECT_TRUE(::IsWindowVisible(moreMenu->Handle()));
  EXPECT_EQ(0, opened_);
  PressKeys({VK_ESCAPE});
  PressKeys({VK_ESCAPE});
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
}

TEST_F(BarMainMenuKeysTest, ABarShownOrHiddenEndsKeyboardNavigation) {
  TdxBar* tools = manager_->Bars()->Add();
  tools->SetCaption("Tools");
  tools->ItemLinks()->Add(Button("Cut"));
  tools->SetDockingStyle(dsTop);
  for (bool show : {true, false}) {
    PressKeys({VK_MENU});
    ASSERT_EQ(menuBar_, ActiveBarControl) << show;
    tools->SetVisible(show);
    PumpUntilIdle();
    EXPECT_EQ(nullptr, ActiveBarControl) << show;
    EXPECT_FALSE(BarNavigationController()->NavigationMode()) << show;
  }
}

TEST_F(BarMainMenuKeysTest, AnEditItemsKeyTipStartsEditingIt) {
  auto* find =
      static_cast<TdxBarEdit*>(manager_->AddItem(TdxBarEdit::StaticClass()));
  find->SetCaption("&Find");
  Toolbar({find});
  PumpUntilIdle();
  auto* control = dynamic_cast<TdxBarWinControl*>(ControlOf(find));
  ASSERT_TRUE(control);
  TdxBarAccessibilityHelper* helper = dxBarGetAccessibilityHelper(control);
  ASSERT_TRUE(dynamic_cast<TdxBarWinControlAccessibilityHelper*>(helper));
  EXPECT_EQ("F", helper->GetKeyTip());
  helper->KeyTipHandler(nullptr);
  PumpUntilIdle();
  EXPECT_TRUE(control->Focused());
  EXPECT_EQ(control->GetHandle(), ::GetFocus());
  // While it edits, arrows and Tab belong to the edit, not to navigation.
  EXPECT_FALSE(BarNavigationController()->NeedsKey(VK_LEFT));
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
}

TEST_F(BarMainMenuKeysTest, TheMarkHelperStandsForTheToolbarsMarkButton) {
  // Enough wide buttons on a narrow form to cut the toolbar.
  TdxBar* tools = Toolbar({});
  for (int i = 0; i < 12; ++i)
    tools->ItemLinks()->Add(Button("Button number " + IntToStr(i)));
  PumpUntilIdle();
  auto* toolbar = dynamic_cast<TdxBarControl*>(tools->Control());
  ASSERT_TRUE(toolbar);
  TdxBarControlMarkAccessibilityHelper* mark =
      dxBarGetMarkAccessibilityHelper(toolbar);
  ASSERT_TRUE(mark);
  EXPECT_EQ(dxBarGetAccessibilityHelper(toolbar), mark->GetParent());
  EXPECT_EQ(mark, dxBarGetMarkAccessibilityHelper(toolbar)) << "one each";
  ASSERT_TRUE(toolbar->MarkExists()) << "the buttons did not fit";
  EXPECT_TRUE(mark->GetVisible());
  const TRect bounds = mark->GetScreenBounds(0);
  const TRect markRect = toolbar->MarkRect();
  EXPECT_EQ(markRect.Width(), bounds.Width());
  EXPECT_EQ(toolbar->ClientToScreen({markRect.Left, markRect.Top}).X,
            bounds.Left);
  for (Word key : {Word(VK_RETURN), Word(VK_SPACE), Word(VK_ESCAPE)})
    EXPECT_TRUE(mark->IsNavigationKey(key)) << key;
  Word enter = VK_RETURN;
  EXPECT_TRUE(mark->HandleNavigationKey(enter));
  EXPECT_EQ(msPressed, toolbar->MarkState());
  toolbar->SetMarkState(msNone);
  // A toolbar whose buttons fit has no mark: its helper is not shown.
  TdxBar* small = manager_->Bars()->Add();
  small->SetCaption("Small");
  small->ItemLinks()->Add(Button("One"));
  small->SetDockingStyle(dsBottom);
  small->SetVisible(true);
  PumpUntilIdle();
  auto* fits = dynamic_cast<TdxBarControl*>(small->Control());
  ASSERT_TRUE(fits);
  ASSERT_FALSE(fits->MarkExists());
  TdxBarControlMarkAccessibilityHelper* none =
      dxBarGetMarkAccessibilityHelper(fits);
  EXPECT_NE(mark, none);
  EXPECT_FALSE(none->GetVisible());
  EXPECT_TRUE(IsRectEmpty(none->GetScreenBounds(0)));
}

}  // namespace
