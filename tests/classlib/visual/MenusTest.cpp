// Menus: the item tree and its ownership, popup menus shown by the system
// and driven by scripted keys, shortcuts, owner drawing and the menu bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ActnList.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.reset(new TComponent(nullptr));
    menu = new TPopupMenu(owner.get());
  }
  void TearDown() override {
    owner.reset();
    Pump();
  }
  TMenuItem* NewItem(const String& caption, TMenuItem* parent = nullptr) {
    auto* item = new TMenuItem(owner.get());
    item->SetCaption(caption);
    (parent ? parent : menu->Items())->Add(item);
    return item;
  }
  // Shows the menu at a point while the script drives it.
  void PopupScripted(TMenuScript& script) {
    menu->Popup(100, 100);
    ASSERT_TRUE(script.SawMenu()) << "the menu was never shown";
    ASSERT_FALSE(script.TimedOut()) << "the menu did not close";
  }

  TObjectPtr<TComponent> owner;
  TPopupMenu* menu = nullptr;
};

TEST_F(MenusTest, ScriptedChoiceRunsTheItemsActionAfterOnPopup) {
  std::vector<String> log;
  auto* action = new TAction(owner.get());
  action->SetCaption("Run");
  TComponent* runFor = nullptr;
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject* s) {
    log.push_back("execute");
    runFor = static_cast<TBasicAction*>(s)->ActionComponent();
  });
  TMenuItem* first = NewItem("First");
  first->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { log.push_back("first"); });
  NewItem("-");
  TMenuItem* bound = NewItem("");
  bound->SetAction(action);
  menu->OnPopup =
      TNotifyEvent::FromFunction([&](TObject*) { log.push_back("popup"); });

  // The separator is skipped by the keyboard: the second selectable item.
  TMenuScript script(TMenuScript::Choose(1));
  PopupScripted(script);

  EXPECT_EQ(log, (std::vector<String>{"popup", "execute"}));
  EXPECT_EQ(runFor, bound);
  EXPECT_EQ(action->ActionComponent(), nullptr);
  EXPECT_EQ(menu->PopupPoint(), TPoint(100, 100));
  ASSERT_EQ(script.Items().size(), 3u);
  EXPECT_EQ(script.Items()[2].Text, "&Run");
  EXPECT_TRUE(script.Items()[1].Type & MFT_SEPARATOR);
}

TEST_F(MenusTest, CancelledMenuRunsNothing) {
  int clicks = 0;
  NewItem("One")->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  TMenuScript script({VK_ESCAPE});
  PopupScripted(script);
  EXPECT_EQ(clicks, 0);
}

TEST_F(MenusTest, ShownMenuCarriesStateShortcutAndHidesInvisibleItems) {
  menu->SetAutoHotkeys(maManual);
  NewItem("Plain");
  NewItem("Hidden")->SetVisible(false);
  TMenuItem* checked = NewItem("Checked");
  checked->SetChecked(true);
  NewItem("Off")->SetEnabled(false);
  TMenuItem* def = NewItem("Default");
  def->SetDefault(true);
  NewItem("Save")->SetShortCut(ShortCut(VK_F2, TShiftState{ssAlt}));
  TMenuItem* sub = NewItem("Sub");
  NewItem("Inner", sub);

  TMenuScript script({VK_ESCAPE});
  PopupScripted(script);

  const auto& shown = script.Items();
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].Text, "Plain");
  EXPECT_EQ(shown[1].Text, "Checked");
  EXPECT_TRUE(shown[1].State & MFS_CHECKED);
  EXPECT_TRUE(shown[2].State & MFS_GRAYED);
  EXPECT_FALSE(shown[0].State & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT));
  EXPECT_TRUE(shown[3].State & MFS_DEFAULT);
  EXPECT_EQ(shown[4].Text,
            "Save\t" + ShortCutToText(ShortCut(VK_F2, TShiftState{ssAlt})));
  EXPECT_TRUE(shown[5].HasSubMenu);
}

TEST_F(MenusTest, AutomaticHotkeysMarkOnlyTheShownTextAndAvoidTakenLetters) {
  TMenuItem* open = NewItem("Open");
  TMenuItem* marked = NewItem("&Options");
  TMenuItem* other = NewItem("Other");
  EXPECT_EQ(menu->MenuItemText(open), "O&pen");
  EXPECT_EQ(menu->MenuItemText(marked), "&Options");
  EXPECT_EQ(menu->MenuItemText(other), "O&ther");
  EXPECT_EQ(open->Caption(), "Open");

  menu->SetAutoHotkeys(maManual);
  EXPECT_EQ(menu->MenuItemText(open), "Open");
  // An item can ask for them against its menu.
  open->SetAutoHotkeys(maAutomatic);
  EXPECT_EQ(menu->MenuItemText(open), "O&pen");
}

TEST_F(MenusTest, InsertKeepsOrderAndRefusesBadParents) {
  TMenuItem* a = NewItem("A");
  TMenuItem* c = NewItem("C");
  auto* b = new TMenuItem(owner.get());
  b->SetCaption("B");
  menu->Items()->Insert(1, b);
  ASSERT_EQ(menu->Items()->Count(), 3);
  EXPECT_EQ(menu->Items()->Items(1), b);
  EXPECT_EQ(b->MenuIndex(), 1);
  EXPECT_EQ(b->GetParentMenu(), menu);

  EXPECT_THROW(menu->Items()->Add(a), EMenuError);  // already in the menu
  TMenuItem* child = NewItem("child", c);
  c->Remove(child);
  EXPECT_THROW(child->Add(child), EMenuError);
  child->Add(new TMenuItem(owner.get()));
  EXPECT_THROW(child->Items(0)->Add(child), EMenuError);  // a cycle
  EXPECT_THROW(menu->Items()->Insert(9, child), EMenuError);
  EXPECT_THROW(menu->Items()->Items(3), EMenuError);
  EXPECT_EQ(menu->Items()->Find("b"), b);
  EXPECT_EQ(menu->Items()->Find("&C"), c);
}

TEST_F(MenusTest, FreeingItemsLeavesParentAndOwnerConsistent) {
  TMenuItem* sub = NewItem("Sub");
  TMenuItem* inner = NewItem("Inner", sub);
  TMenuItem* kept = NewItem("Kept");
  const Integer owned = owner->ComponentCount();

  Free(inner);  // an item freed by its maker leaves its parent
  EXPECT_EQ(sub->Count(), 0);
  EXPECT_EQ(owner->ComponentCount(), owned - 1);

  NewItem("Inner2", sub);
  NewItem("Inner3", sub);
  Free(sub);  // frees its sub-items too, each leaving the owner
  EXPECT_EQ(menu->Items()->Count(), 1);
  EXPECT_EQ(menu->Items()->Items(0), kept);
  EXPECT_EQ(owner->ComponentCount(), owned - 2);

  NewItem("x", kept);
  menu->Items()->Clear();
  EXPECT_EQ(menu->Items()->Count(), 0);
  EXPECT_EQ(owner->ComponentCount(), 1);  // the menu itself
}

TEST_F(MenusTest, ItemsOwnedByTheFormSurviveTheMenuGoingFirst) {
  // The owner frees the menu (which frees its items) and then the rest.
  NewItem("A");
  NewItem("B", NewItem("Sub"));
  Free(menu);
  menu = nullptr;
  EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST_F(MenusTest, ClickHandlerMayRebuildTheMenuThatHoldsIt) {
  // The handler frees the very item that was chosen.
  int rebuilt = 0;
  TNotifyEvent rebuild;
  rebuild = TNotifyEvent::FromFunction([&](TObject*) {
    ++rebuilt;
    menu->Items()->Clear();
    NewItem("New")->OnClick = rebuild;
  });
  NewItem("Old")->OnClick = rebuild;
  TMenuScript script(TMenuScript::Choose(0));
  PopupScripted(script);
  EXPECT_EQ(rebuilt, 1);
  ASSERT_EQ(menu->Items()->Count(), 1);
  EXPECT_EQ(menu->Items()->Items(0)->Caption(), "New");
  EXPECT_TRUE(menu->DispatchCommand(menu->Items()->Items(0)->Command()));
  EXPECT_EQ(rebuilt, 2);
  EXPECT_FALSE(menu->DispatchCommand(0));
}

TEST_F(MenusTest, IsShortCutRunsOnlyReachableItems) {
  int runs = 0;
  auto count = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  NewItem("F5")->SetShortCut(ShortCut(VK_F5, {}));
  menu->Items()->Items(0)->OnClick = count;
  TMenuItem* disabled = NewItem("F6");
  disabled->SetShortCut(ShortCut(VK_F6, {}));
  disabled->SetEnabled(false);
  disabled->OnClick = count;
  TMenuItem* hiddenParent = NewItem("Sub");
  hiddenParent->SetVisible(false);
  TMenuItem* inner = NewItem("F7", hiddenParent);
  inner->SetShortCut(ShortCut(VK_F7, {}));
  inner->OnClick = count;
  TMenuItem* alt = NewItem("AltX");
  alt->SetShortCut(ShortCut('X', TShiftState{ssAlt}));
  alt->OnClick = count;

  struct Case {
    WPARAM key;
    LPARAM data;
    bool ran;
  };
  const Case cases[] = {
      {VK_F5, 0, true},        {VK_F6, 0, false}, {VK_F7, 0, false},
      {'X', 0x20000000, true}, {'X', 0, false},   {VK_F8, 0, false},
  };
  for (const Case& c : cases) {
    runs = 0;
    TMessage m{WM_KEYDOWN, c.key, c.data, 0};
    EXPECT_EQ(menu->IsShortCut(m), c.ran) << c.key;
    EXPECT_EQ(runs, c.ran ? 1 : 0) << c.key;
  }
}

TEST_F(MenusTest, ShortcutOfADisabledActionDoesNotRun) {
  auto* action = new TAction(owner.get());
  int runs = 0;
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  action->SetShortCut(ShortCut(VK_F9, {}));
  TMenuItem* item = NewItem("");
  item->SetAction(action);
  EXPECT_EQ(item->ShortCut(), action->ShortCut());
  TMessage m{WM_KEYDOWN, VK_F9, 0, 0};
  EXPECT_TRUE(menu->IsShortCut(m));
  EXPECT_EQ(runs, 1);
  // The action's update turns it off before the key is taken.
  action->OnUpdate =
      TNotifyEvent::FromFunction([&](TObject*) { action->SetEnabled(false); });
  EXPECT_FALSE(menu->IsShortCut(m));
  EXPECT_EQ(runs, 1);
}

class MenusControlTest : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    form.reset(new TForm(nullptr));
    form->SetBounds(40, 40, 300, 200);
    panel = new TPanel(form.get());
    panel->SetBounds(10, 10, 200, 100);
    panel->SetParent(form.get());
    panel->SetPopupMenu(menu);
    menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
    form->Show();
    PumpUntilIdle();
  }
  void TearDown() override {
    form.reset();
    MenusTest::TearDown();
  }
  TCursorPosGuard pointer;
  TObjectPtr<TForm> form;
  TPanel* panel = nullptr;
  int popups = 0;
};

TEST_F(MenusControlTest, RightClickAndChoiceRunTheChosenItem) {
  std::vector<String> runs;
  for (const char* caption : {"&One", "&Two"}) {
    NewItem(caption)->OnClick = TNotifyEvent::FromFunction(
        [&runs, caption](TObject*) { runs.push_back(caption); });
  }
  ChooseMenuItem([&] { RightClick(panel, 5, 5); }, "Two");
  EXPECT_EQ(runs, (std::vector<String>{"&Two"}));
  EXPECT_EQ(popups, 1);
}

TEST_F(MenusControlTest, ContextMenuMessageOpensTheControlsPopupMenu) {
  NewItem("Item");
  {
    TMenuScript script({VK_ESCAPE});
    RightClick(panel, 5, 5);
    EXPECT_TRUE(script.SawMenu());
    EXPECT_FALSE(script.TimedOut());
  }
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupComponent(), panel);
  const POINT at = ScreenPointOf(panel, 5, 5);
  EXPECT_EQ(menu->PopupPoint(), TPoint(at.x, at.y));

  // Without AutoPopup the control leaves the message to the system (which
  // may show a menu of its own: the script closes whatever opens).
  menu->SetAutoPopup(false);
  {
    TMenuScript script({VK_ESCAPE});
    RightClick(panel, 5, 5);
    EXPECT_FALSE(script.TimedOut());
  }
  EXPECT_EQ(popups, 1);

  // Freeing the menu clears the control's reference.
  Free(menu);
  menu = nullptr;
  EXPECT_EQ(panel->PopupMenu(), nullptr);
}

TEST_F(MenusControlTest, KeyOnAControlReachesItsPopupMenuShortcut) {
  int runs = 0;
  TMenuItem* item = NewItem("Go");
  item->SetShortCut(ShortCut(VK_F4, {}));
  item->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  auto* edit = new TPanel(form.get());
  edit->SetParent(panel);  // a child: the key goes up to the parent's menu
  EXPECT_NE(edit->Perform(CN_KEYDOWN, VK_F4, 0), 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(edit->Perform(CN_KEYDOWN, VK_F3, 0), 0);
  EXPECT_EQ(runs, 1);
}

TEST_F(MenusTest, OwnerDrawAsksItemsForSizeAndPaint) {
  menu->SetOwnerDraw(true);
  std::vector<String> measured, drawn;
  for (const char* caption : {"One", "-", "Two"}) {
    TMenuItem* item = NewItem(caption);
    item->OnMeasureItem = TMenuMeasureItemEvent::FromFunction(
        [&, item](TObject*, TCanvas* c, Integer& w, Integer& h) {
          EXPECT_NE(c, nullptr);
          EXPECT_GT(h, 0);
          measured.push_back(item->Caption());
          w = 120;
        });
    item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::FromFunction(
        [&, item](TObject*, TCanvas* c, TRect r, TOwnerDrawState) {
          EXPECT_NE(c->Handle(), nullptr);
          EXPECT_GT(r.Width(), 0);
          drawn.push_back(item->Caption());
        });
  }
  TMenuScript script({VK_ESCAPE});
  PopupScripted(script);
  EXPECT_EQ(measured, (std::vector<String>{"One", "-", "Two"}));
  EXPECT_EQ(drawn.size() >= 3u, true) << drawn.size();
  for (const auto& shown : script.Items()) {
    EXPECT_TRUE(shown.Type & MFT_OWNERDRAW);
  }
}

TEST_F(MenusTest, ItemsWithImagesAskTheMenuToDrawThem) {
  TObjectPtr<TImageList> images(new TImageList(nullptr));
  TObjectPtr<TBitmap> bmp(new TBitmap);
  bmp->SetSize(16, 16);
  images->Add(bmp.get(), nullptr);
  menu->SetImages(images.get());
  NewItem("Image")->SetImageIndex(0);
  NewItem("Out of range")->SetImageIndex(5);
  NewItem("Bitmap")->Bitmap()->Assign(bmp.get());
  NewItem("None");
  TMenuScript script({VK_ESCAPE});
  PopupScripted(script);
  ASSERT_EQ(script.Items().size(), 4u);
  EXPECT_EQ(script.Items()[0].Bitmap, HBMMENU_CALLBACK);
  EXPECT_EQ(script.Items()[1].Bitmap, nullptr);
  EXPECT_EQ(script.Items()[2].Bitmap, HBMMENU_CALLBACK);
  EXPECT_EQ(script.Items()[3].Bitmap, nullptr);

  images.reset();  // the menu forgets a freed image list
  EXPECT_EQ(menu->Images(), nullptr);
}

TEST_F(MenusTest, MainMenuSitsOnAWindowAndFollowsChanges) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* bar = new TMainMenu(form.get());
  bar->SetAutoHotkeys(maManual);
  auto* file = new TMenuItem(form.get());
  file->SetCaption("File");
  bar->Items()->Add(file);
  auto* exit = new TMenuItem(form.get());
  exit->SetCaption("Exit");
  int exits = 0;
  exit->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++exits; });
  file->Add(exit);

  bar->SetWindowHandle(form->Handle());
  HMENU shown = ::GetMenu(form->Handle());
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(::GetMenuItemCount(shown), 1);
  auto* help = new TMenuItem(form.get());
  help->SetCaption("Help");
  bar->Items()->Add(help);
  shown = ::GetMenu(form->Handle());
  ASSERT_EQ(::GetMenuItemCount(shown), 2);
  char text[32] = {};
  ::GetMenuStringA(shown, 1, text, sizeof(text), MF_BYPOSITION);
  EXPECT_STREQ(text, "Help");
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(shown, 0), 0), exit->Command());
  EXPECT_TRUE(bar->DispatchCommand(exit->Command()));
  EXPECT_EQ(exits, 1);
}

}  // namespace
