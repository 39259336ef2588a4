// Actions and action lists: updating (and a list handler that takes it
// over), executing, the links that make controls and menu items follow an
// action, and shortcuts.
#include <gtest/gtest.h>
#include <windows.h>

#include "ActnList.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

// Lets the application go idle once: a timer message ends the wait.
void RunIdleOnce() {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
  Pump();
  Application->HandleMessage();
  ::KillTimer(nullptr, timer);
  Pump();
}

class ActnListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.reset(new TComponent(nullptr));
    list = new TActionList(owner.get());
  }
  void TearDown() override {
    owner.reset();
    Pump();
  }
  TAction* NewAction(const String& caption) {
    auto* a = new TAction(owner.get());
    a->SetCaption(caption);
    a->SetActionList(list);
    return a;
  }
  TObjectPtr<TComponent> owner;
  TActionList* list = nullptr;
};

TEST_F(ActnListTest, HandledUpdateLeavesEveryActionAsTheCodeSetIt) {
  // Without a handler of their own, actions with no OnExecute would be
  // disabled and OnUpdate handlers would run.
  TAction* noHandler = NewAction("No handler");
  TAction* hidden = NewAction("Hidden");
  hidden->OnExecute = TNotifyEvent::FromFunction([](TObject*) {});
  hidden->SetVisible(false);
  hidden->SetChecked(true);
  TAction* withUpdate = NewAction("With update");
  int ownUpdates = 0;
  withUpdate->OnUpdate = TNotifyEvent::FromFunction([&](TObject*) {
    ++ownUpdates;
    withUpdate->SetEnabled(false);
  });
  withUpdate->OnExecute = TNotifyEvent::FromFunction([](TObject*) {});

  std::vector<TBasicAction*> seen;
  list->OnUpdate = TActionEvent::FromFunction([&](TBasicAction* a, bool& h) {
    seen.push_back(a);
    h = true;
  });
  list->UpdateActions();
  // The idle loop and a menu showing the actions update them too.
  TObjectPtr<TPopupMenu> menu(new TPopupMenu(nullptr));
  for (TAction* a : {noHandler, hidden, withUpdate}) {
    auto* item = new TMenuItem(owner.get());
    item->SetAction(a);
    menu->Items()->Add(item);
  }
  menu->Items()->InitiateActions();
  ASSERT_EQ(seen.size(), 6u);
  RunIdleOnce();
  EXPECT_EQ(seen.size(), 9u);

  EXPECT_EQ(seen[0], noHandler);
  EXPECT_TRUE(noHandler->Enabled());
  EXPECT_FALSE(hidden->Visible());
  EXPECT_TRUE(hidden->Checked());
  EXPECT_TRUE(withUpdate->Enabled());
  EXPECT_EQ(ownUpdates, 0);
  EXPECT_TRUE(menu->Items()->Items(0)->Enabled());
  EXPECT_FALSE(menu->Items()->Items(1)->Visible());

  // Not handled: the library's own update applies.
  list->OnUpdate = TActionEvent::FromFunction([](TBasicAction*, bool&) {});
  list->UpdateActions();
  EXPECT_FALSE(noHandler->Enabled());
  EXPECT_FALSE(menu->Items()->Items(0)->Enabled());
  EXPECT_FALSE(withUpdate->Enabled());
  EXPECT_EQ(ownUpdates, 1);
  EXPECT_FALSE(hidden->Visible());
}

TEST_F(ActnListTest, ExecuteGoesThroughTheListAndOnlyWhileEnabled) {
  TAction* a = NewAction("A");
  int runs = 0;
  a->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  bool take = true;
  int listRuns = 0;
  list->OnExecute = TActionEvent::FromFunction([&](TBasicAction* x, bool& h) {
    EXPECT_EQ(x, a);
    ++listRuns;
    h = take;
  });
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(listRuns, 1);
  EXPECT_EQ(runs, 0);
  take = false;
  EXPECT_TRUE(a->Execute());
  EXPECT_EQ(runs, 1);

  a->OnUpdate =
      TNotifyEvent::FromFunction([&](TObject*) { a->SetEnabled(false); });
  EXPECT_FALSE(a->Execute());  // updated first: now disabled
  EXPECT_EQ(runs, 1);

  TAction* free = new TAction(owner.get());  // in no list, no handler
  EXPECT_FALSE(free->Execute());
}

TEST_F(ActnListTest, ControlFollowsItsActionAndClickRunsIt) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  TAction* a = NewAction("Install");
  a->SetHint("Installs");
  int runs = 0;
  TComponent* by = nullptr;
  a->OnExecute = TNotifyEvent::FromFunction([&](TObject*) {
    ++runs;
    by = a->ActionComponent();
  });
  button->SetAction(a);
  EXPECT_EQ(button->Action(), a);
  EXPECT_EQ(button->Caption(), "Install");
  EXPECT_EQ(button->Hint(), "Installs");

  a->SetCaption("Remove");
  a->SetEnabled(false);
  a->SetVisible(false);
  EXPECT_EQ(button->Caption(), "Remove");
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(button->Visible());

  a->SetEnabled(true);
  button->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(by, button);
  // The control's own handler wins over the action.
  int own = 0;
  button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++own; });
  button->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(runs, 1);

  EXPECT_EQ(a->ClientCount(), 1);
  Free(button);
  EXPECT_EQ(a->ClientCount(), 0);
}

TEST_F(ActnListTest, FreedActionLeavesItsClientsUnbound) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* panel = new TPanel(form.get());
  TObjectPtr<TMenuItem> item(new TMenuItem(nullptr));
  TAction* a = NewAction("Gone");
  panel->SetAction(a);
  item->SetAction(a);
  Free(a);
  EXPECT_EQ(panel->Action(), nullptr);
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0);
  EXPECT_EQ(item->Caption(), "Gone");
  item->Click();  // no action, no handler: nothing happens
}

TEST_F(ActnListTest, MenuItemTakesEveryPropertyOfItsAction) {
  TAction* a = NewAction("Restore");
  a->SetHint("Shows the window");
  a->SetImageIndex(3);
  a->SetChecked(true);
  a->SetShortCut(ShortCut('R', TShiftState{ssCtrl}));
  TObjectPtr<TMenuItem> item(new TMenuItem(nullptr));
  item->SetAction(a);
  EXPECT_EQ(item->Caption(), "Restore");
  EXPECT_EQ(item->Hint(), "Shows the window");
  EXPECT_EQ(item->ImageIndex(), 3);
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(item->ShortCut(), a->ShortCut());
  a->SetCaption("Minimize");
  a->SetVisible(false);
  a->SetEnabled(false);
  a->SetChecked(false);
  EXPECT_EQ(item->Caption(), "Minimize");
  EXPECT_FALSE(item->Visible());
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(item->Checked());
}

TEST_F(ActnListTest, ListOwnsOrderAndFreesItsActions) {
  TAction* a = NewAction("a");
  TAction* b = NewAction("b");
  TAction* c = NewAction("c");
  EXPECT_EQ(b->Index(), 1);
  c->SetIndex(0);
  EXPECT_EQ(list->Actions(0), c);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(b->GetParentComponent(), list);

  std::vector<TComponent*> children;
  list->GetChildren([&](TComponent* x) { children.push_back(x); }, owner.get());
  EXPECT_EQ(children, (std::vector<TComponent*>{c, a, b}));

  Free(a);
  EXPECT_EQ(list->ActionCount(), 2);
  const Integer before = owner->ComponentCount();
  Free(list);
  list = nullptr;
  EXPECT_EQ(owner->ComponentCount(), before - 3);
}

TEST_F(ActnListTest, ShortcutRunsTheMatchingEnabledAction) {
  TAction* save = NewAction("Save");
  save->SetShortCut(ShortCut(VK_F2, {}));
  int runs = 0;
  save->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  TMessage f2{WM_KEYDOWN, VK_F2, 0, 0};
  TMessage f3{WM_KEYDOWN, VK_F3, 0, 0};
  EXPECT_TRUE(list->IsShortCut(f2));
  EXPECT_FALSE(list->IsShortCut(f3));
  EXPECT_EQ(runs, 1);
  save->SetDisableIfNoHandler(false);
  save->OnUpdate =
      TNotifyEvent::FromFunction([&](TObject*) { save->SetEnabled(false); });
  EXPECT_FALSE(list->IsShortCut(f2));
  EXPECT_EQ(runs, 1);

  // Keys on a control of a form reach the form's action lists.
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* formList = new TActionList(form.get());
  auto* act = new TAction(form.get());
  act->SetActionList(formList);
  act->SetShortCut(ShortCut(VK_F11, {}));
  act->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  EXPECT_NE(panel->Perform(CN_KEYDOWN, VK_F11, 0), 0);
  EXPECT_EQ(runs, 2);
}

}  // namespace
