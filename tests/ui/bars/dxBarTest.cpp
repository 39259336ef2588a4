// The bar manager's model without windows: owners, option values, the paint
// style table, toolbars, groups, lists, link visibility and recent items,
// shortcuts, the registry, the update lock and items bound to actions.
#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <stdexcept>

#include "ActnList.h"
#include "Forms.h"
#include "SysUtils.h"
#include "dxBar.h"

namespace {

class BarModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    manager_ = new TdxBarManager(form_.get());
  }
  void TearDown() override {
    Application->OnException = nullptr;
    form_.reset();
  }

  TdxBarButton* Button(const String& caption, Integer category = 0) {
    auto* b = static_cast<TdxBarButton*>(manager_->AddButton());
    b->SetCaption(caption);
    b->SetCategory(category);
    return b;
  }
  TdxBarSeparator* Separator() {
    return static_cast<TdxBarSeparator*>(
        manager_->AddItem(TdxBarSeparator::StaticClass()));
  }
  static std::vector<String> Visible(TdxBarItemLinks* links) {
    std::vector<String> result;
    for (Integer i = 0; i < links->VisibleItemCount(); ++i)
      result.push_back(links->VisibleItems(i)->Item()->Name());
    return result;
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
};

String ExceptionText(const std::function<void()>& f) {
  try {
    f();
  } catch (Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

TEST_F(BarModelTest, OwnerMustBeAWindowControlWithoutAnotherManager) {
  const Integer managers = dxBarManagerList()->Count();
  TObjectPtr<TComponent> plain(new TComponent(nullptr));
  EXPECT_EQ(ExceptionText([&] { new TdxBarManager(plain.get()); }),
            "TdxBarManager should have TWinControl as its Owner");
  EXPECT_EQ(ExceptionText([&] { new TdxBarManager(form_.get()); }),
            "A control should contain only a single TdxBarManager");
  // Neither failed manager stays listed or owned.
  EXPECT_EQ(dxBarManagerList()->Count(), managers);
  EXPECT_EQ(plain->ComponentCount(), 0);
  EXPECT_EQ(GetBarManagerByComponent(form_.get()), manager_);
}

TEST_F(BarModelTest, MostRecentItemsPercentsGivesTheUseCount) {
  const struct {
    Integer set;
    Byte stored;
    Integer useCount;
  } cases[] = {
      {95, 95, 20}, {100, 100, 0}, {0, 0, 1}, {250, 100, 0}, {50, 50, 2}};
  for (const auto& c : cases) {
    manager_->SetMostRecentItemsPercents(c.set);
    EXPECT_EQ(manager_->MostRecentItemsPercents(), c.stored) << c.set;
    EXPECT_EQ(manager_->MostRecentlyUsedUseCount(), c.useCount) << c.set;
  }
}

TEST_F(BarModelTest, RegistryPathGetsBothBackslashes) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"Software\\X", "\\Software\\X\\"},
               {"\\Software\\X", "\\Software\\X\\"},
               {"Software\\X\\", "\\Software\\X\\"},
               {"", ""}};
  for (const auto& c : cases) {
    manager_->SetRegistryPath(c.in);
    EXPECT_EQ(manager_->RegistryPath(), c.out) << c.in;
  }
}

TEST_F(BarModelTest, ArrowWidthsAndDockingDelayIgnoreBadValues) {
  manager_->SetButtonArrowWidth(1);
  manager_->SetLargeButtonArrowWidth(0);
  manager_->SetWaitForDockingTime(-5);
  EXPECT_EQ(manager_->ButtonArrowWidth(), 11);
  EXPECT_EQ(manager_->LargeButtonArrowWidth(), 13);
  EXPECT_EQ(manager_->WaitForDockingTime(), 21);
  manager_->SetButtonArrowWidth(2);
  EXPECT_EQ(manager_->ButtonArrowWidth(), 2);
}

TEST_F(BarModelTest, PaintStyleChoiceTable) {
  const bool themes = manager_->VisualStylesAvailable();
  const TClass Standard = TdxBarStandardPainter::StaticClass();
  const TClass Enhanced = TdxBarEnhancedPainter::StaticClass();
  const TClass Flat = TdxBarFlatPainter::StaticClass();
  const TClass XP = TdxBarXPPainter::StaticClass();
  const struct {
    TdxBarManagerStyle style;
    TcxLookAndFeelKind kind;
    TdxBarRealPaintStyle real;
    bool recent;
    TClass painter;
  } cases[] = {
      {bmsStandard, lfFlat, rpsStandard, false, Standard},
      {bmsEnhanced, lfFlat, rpsEnhanced, true, Enhanced},
      {bmsFlat, lfFlat, rpsFlat, true, Flat},
      {bmsXP, lfFlat, themes ? rpsXP : rpsEnhanced, true,
       themes ? XP : Enhanced},
      {bmsOffice11, lfFlat, rpsOffice11, true, Standard},
      {bmsUseLookAndFeel, lfFlat, rpsEnhanced, true, Enhanced},
      {bmsUseLookAndFeel, lfStandard, rpsStandard, false, Standard},
      {bmsUseLookAndFeel, lfUltraFlat, rpsFlat, true, Flat},
      {bmsUseLookAndFeel, lfOffice11, rpsOffice11, true, Standard},
  };
  manager_->LookAndFeel()->SetNativeStyle(false);
  for (const auto& c : cases) {
    manager_->LookAndFeel()->SetKind(c.kind);
    manager_->SetStyle(c.style);
    EXPECT_EQ(manager_->GetRealPaintStyle(), c.real)
        << int(c.style) << "/" << int(c.kind);
    EXPECT_EQ(manager_->CanShowRecentItems(), c.recent)
        << int(c.style) << "/" << int(c.kind);
    // The Office 2003 style paints with the standard painter until its own
    // exists.
    EXPECT_EQ(manager_->GetPainterClass(), c.painter)
        << int(c.style) << "/" << int(c.kind);
    ASSERT_TRUE(manager_->Painter());
    EXPECT_EQ(manager_->Painter()->ClassType(), c.painter);
  }
}

TEST_F(BarModelTest, NativeLookAndFeelPaintsThemedOnlyWithVisualStyles) {
  manager_->SetStyle(bmsUseLookAndFeel);
  manager_->LookAndFeel()->SetKind(lfStandard);
  manager_->LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(manager_->GetRealPaintStyle(),
            manager_->VisualStylesAvailable() ? rpsXP : rpsStandard);
}

// A painter unit puts its class into its style's entry; the manager picks
// it up when it builds its painter.
class TTestEnhancedPainter : public TdxBarPainter {
  VARNEL_CLASS(TTestEnhancedPainter, TdxBarPainter)
};

TEST_F(BarModelTest, PainterComesFromTheStylesEntry) {
  TdxBarPainterClass& entry = dxBarPainterClassOf(rpsEnhanced);
  const TdxBarPainterClass saved = entry;
  entry = TTestEnhancedPainter::StaticClass();
  manager_->SetStyle(bmsStandard);
  manager_->SetStyle(bmsEnhanced);
  EXPECT_TRUE(dynamic_cast<TTestEnhancedPainter*>(manager_->Painter()));
  entry = saved;
}

TEST_F(BarModelTest, AddToolBarMakesUniqueCustomCaptions) {
  TdxBar* first = manager_->AddToolBar();
  TdxBar* second = manager_->AddToolBar();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Caption(), "Custom 1");
  EXPECT_EQ(second->Caption(), "Custom 2");
  EXPECT_EQ(first->DockingStyle(), dsTop);
  EXPECT_TRUE(first->Visible());
  EXPECT_FALSE(first->OneOnRow());
  EXPECT_EQ(manager_->Bars()->Count(), 2);
  EXPECT_EQ(manager_->BarByCaption("Custom 2"), second);
  // A caption another bar has is refused.
  second->SetCaption("Custom 1");
  EXPECT_EQ(second->Caption(), "Custom 2");
  TdxBar* menu = manager_->AddToolBar(true);
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_EQ(manager_->MainMenuBar(), menu);
  EXPECT_TRUE(menu->MultiLine());
  EXPECT_TRUE(menu->WholeRow());
  menu->SetMultiLine(false);
  EXPECT_TRUE(menu->MultiLine());
}

TEST_F(BarModelTest, OnlyOneBarIsTheMainMenu) {
  TdxBar* a = manager_->AddToolBar(true);
  TdxBar* b = manager_->AddToolBar();
  b->SetIsMainMenu(true);
  EXPECT_FALSE(a->IsMainMenu());
  EXPECT_FALSE(a->WholeRow());
  EXPECT_EQ(manager_->MainMenuBar(), b);
  Free(b);
  EXPECT_EQ(manager_->MainMenuBar(), nullptr);
  EXPECT_EQ(manager_->Bars()->Count(), 1);
}

TEST_F(BarModelTest, MergingCopiesLinksAndHidesTheMergedBar) {
  TdxBar* a = manager_->AddToolBar();
  TdxBar* b = manager_->AddToolBar();
  TdxBar* c = manager_->AddToolBar();
  a->ItemLinks()->Add(Button("X"));
  b->ItemLinks()->Add(Button("Y"));
  EXPECT_EQ(ExceptionText([&] { a->Merge(nullptr); }),
            "You cannot merge with the specified toolbar");
  a->Merge(b);
  EXPECT_EQ(b->MergedTo(), a);
  EXPECT_FALSE(b->Visible());
  ASSERT_EQ(a->ItemLinks()->Count(), 2);
  EXPECT_EQ(a->ItemLinks()->Items(1)->Item(), b->ItemLinks()->Items(0)->Item());
  EXPECT_EQ(a->ItemLinks()->Items(1)->MergedBar(), b);
  EXPECT_EQ(ExceptionText([&] { a->Merge(b); }),
            "The 'Custom 2' toolbar is already merged with the 'Custom 1' "
            "toolbar");
  EXPECT_EQ(ExceptionText([&] { b->Merge(c); }),
            "You cannot merge a toolbar with a toolbar that is already "
            "merged");
  EXPECT_EQ(ExceptionText([&] { c->Merge(a); }),
            "The 'Custom 1' toolbar has merged toolbars");
  EXPECT_EQ(ExceptionText([&] { a->Unmerge(a); }),
            "You cannot unmerge the specified toolbar");
  EXPECT_EQ(ExceptionText([&] { c->Unmerge(b); }),
            "The 'Custom 2' toolbar is not merged with the 'Custom 3' toolbar");
  a->Unmerge(b);
  EXPECT_EQ(a->ItemLinks()->Count(), 1);
  EXPECT_EQ(b->MergedTo(), nullptr);
  EXPECT_TRUE(b->Visible());
}

TEST_F(BarModelTest, RecursiveGroupsAreRefused) {
  TdxBarGroup* a = manager_->CreateGroup();
  TdxBarGroup* b = manager_->CreateGroup();
  TdxBarGroup* c = manager_->CreateGroup();
  TdxBarButton* button = Button("Go");
  a->Add(b);
  b->Add(c);
  a->Add(button);
  a->Add(button);
  EXPECT_EQ(a->Count(), 2);
  EXPECT_EQ(ExceptionText([&] { c->Add(a); }),
            "You cannot create recursive groups");
  EXPECT_EQ(ExceptionText([&] { a->Add(a); }),
            "You cannot create recursive groups");
  EXPECT_EQ(c->Count(), 0);
  // A group's state reaches its members, also through inner groups.
  b->Add(button);
  a->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  // A freed member leaves the groups.
  Free(button);
  EXPECT_EQ(a->Count(), 1);
  EXPECT_EQ(b->Count(), 1);
  EXPECT_EQ(manager_->GroupCount(), 3);
}

TEST(BarListTest, XorListKeepsWhatIsInExactlyOne) {
  TObject a, b, c;
  TdxObjectList l1, l2, result;
  l1.Add(&a);
  l1.Add(&b);
  l1.Add(&b);
  l1.Add(nullptr);
  EXPECT_EQ(l1.Count(), 2);
  l2.Add(&b);
  l2.Add(&c);
  result.Add(&b);
  result.XorList(&l1, &l2);
  ASSERT_EQ(result.Count(), 2);
  EXPECT_EQ(result.GetItem(0), &a);
  EXPECT_EQ(result.GetItem(1), &c);
  EXPECT_EQ(result.GetItem(2), nullptr);
}

TEST(BarUnitTest, ViewLevelsOfSets) {
  EXPECT_EQ(GetMaxViewLevel({}), ivlDefault);
  EXPECT_EQ(GetMinViewLevel({}), ivlDefault);
  EXPECT_EQ(GetMaxViewLevel({ivlSmallIcon, ivlSmallIconWithText}),
            ivlSmallIconWithText);
  EXPECT_EQ(GetMinViewLevel({ivlSmallIcon, ivlSmallIconWithText}),
            ivlSmallIcon);
  EXPECT_EQ(GetNextViewLevel({ivlLargeIconWithText, ivlControlOnly},
                             ivlLargeIconWithText),
            ivlControlOnly);
  EXPECT_EQ(GetNextViewLevel({ivlLargeIconWithText}, ivlLargeIconWithText),
            ivlDefault);
}

TEST(BarUnitTest, AcceleratorMarks) {
  String s = "Open &File";
  EXPECT_EQ(GetAccelPos(s, false), 7);
  EXPECT_EQ(GetAccelPos(s, true), 6);
  EXPECT_EQ(s, "Open File");
  String doubled = "A&&B";
  EXPECT_EQ(GetAccelPos(doubled, true), 0);
  EXPECT_EQ(doubled, "A&B");
  EXPECT_EQ(GetTextOf("&Open"), "Open");
  EXPECT_EQ(GetTextOf("Save && Exit"), "Save & Exit");
}

TEST(BarUnitTest, RegistryOffersTheVisibleKinds) {
  TdxBarItemList* list = RegdxItemList();
  ASSERT_TRUE(list);
  const Integer visible = list->GetVisibleItemCount();
  ASSERT_GE(visible, 3);
  EXPECT_EQ(list->GetVisibleItemClass(0), TdxBarButton::StaticClass());
  EXPECT_EQ(list->GetVisibleItemClass(visible), nullptr);
  EXPECT_EQ(GetClass("TdxBarButton"), TdxBarButton::StaticClass());
}

class TTestKind : public TdxBarItem {
  VARNEL_CLASS(TTestKind, TdxBarItem)
 public:
  using TdxBarItem::TdxBarItem;
};
class TTestKindControlA : public TdxBarItemControl {
  VARNEL_CLASS(TTestKindControlA, TdxBarItemControl)
 public:
  void Changed(TdxBarItemControlChange) override {}
  void Click(bool) override {}
  bool CanSelect() const override { return true; }
};
class TTestKindControlB : public TTestKindControlA {
  VARNEL_CLASS(TTestKindControlB, TTestKindControlA)
};

TEST(BarUnitTest, UnregisteringATwiceRegisteredKindRemovesTheFirstOnly) {
  TdxBarItemList* list = RegdxItemList();
  const Integer count = list->Count();
  dxBarRegisterItem(TTestKind::StaticClass(), TTestKindControlA::StaticClass(),
                    false);
  dxBarRegisterItem(TTestKind::StaticClass(), TTestKindControlB::StaticClass(),
                    false);
  EXPECT_EQ(list->GetItemControlClass(TTestKind::StaticClass()),
            TTestKindControlA::StaticClass());
  dxBarUnregisterItem(TTestKind::StaticClass());
  EXPECT_EQ(list->Count(), count + 1);
  EXPECT_EQ(list->GetItemControlClass(TTestKind::StaticClass()),
            TTestKindControlB::StaticClass());
  // The class is still known to streams while a record names it.
  EXPECT_EQ(GetClass("TTestKind"), TTestKind::StaticClass());
  dxBarUnregisterItem(TTestKind::StaticClass());
  EXPECT_EQ(list->Count(), count);
  EXPECT_EQ(GetClass("TTestKind"), nullptr);
  dxBarUnregisterItem(TTestKind::StaticClass());
  EXPECT_EQ(list->Count(), count);
}

TEST_F(BarModelTest, HooksLiveWhileSomeManagerExists) {
  EXPECT_TRUE(dxBarHooksInstalled());
  form_.reset();
  if (dxBarManagerList()->Count() == 0) {
    EXPECT_FALSE(dxBarHooksInstalled());
  }
  form_.reset(new TForm(nullptr));
  manager_ = new TdxBarManager(form_.get());
  EXPECT_TRUE(dxBarHooksInstalled());
}

TEST_F(BarModelTest, SurplusSeparatorsAreNotShown) {
  // Separators only go into menus.
  auto* menu = static_cast<TdxBarSubItem*>(manager_->AddSubItem());
  TdxBarItemLinks* links = menu->ItemLinks();
  TdxBarButton* a = Button("A");
  TdxBarButton* b = Button("B");
  TdxBarButton* c = Button("C");
  TdxBarSeparator* s1 = Separator();
  TdxBarSeparator* s2 = Separator();
  TdxBarSeparator* s3 = Separator();
  TdxBarSeparator* s4 = Separator();
  for (TdxBarItem* item :
       std::initializer_list<TdxBarItem*>{s1, a, s2, b, s3, c, s4, s1})
    links->Add(item);
  EXPECT_EQ(Visible(links),
            (std::vector<String>{s1->Name(), a->Name(), s2->Name(), b->Name(),
                                 s3->Name(), c->Name()}));
  // Hiding the only link between two separators leaves the second.
  links->Items(3)->SetVisible(false);
  EXPECT_EQ(Visible(links), (std::vector<String>{s1->Name(), a->Name(),
                                                 s3->Name(), c->Name()}));
  // While customizing every separator shows.
  manager_->Customizing(true);
  EXPECT_EQ(links->VisibleItemCount(), 7);
  manager_->Customizing(false);
  EXPECT_EQ(Visible(links), (std::vector<String>{s1->Name(), a->Name(),
                                                 s3->Name(), c->Name()}));
}

TEST_F(BarModelTest, BeginGroupOfAHiddenLinkPassesToTheNextVisible) {
  TdxBar* bar = manager_->AddToolBar();
  TdxBarItemLinks* links = bar->ItemLinks();
  links->Add(Button("A"));
  links->Add(Button("B"))->SetBeginGroup(true);
  TdxBarItemLink* c = links->Add(Button("C"));
  EXPECT_FALSE(c->BeginGroup());
  links->Items(1)->SetVisible(false);
  EXPECT_TRUE(c->BeginGroup());
  // The first visible link never begins a group.
  links->Items(0)->SetBeginGroup(true);
  EXPECT_FALSE(links->Items(0)->BeginGroup());
}

TEST_F(BarModelTest, MenusShowTheMostRecentlyUsedLinks) {
  auto* menu = static_cast<TdxBarSubItem*>(manager_->AddSubItem());
  TdxBarItemLinks* links = menu->ItemLinks();
  std::vector<TdxBarButton*> buttons;
  for (const char* caption : {"A", "B", "C", "D", "E"}) {
    buttons.push_back(Button(caption));
    links->Add(buttons.back());
  }
  // All used alike: nothing to hide.
  EXPECT_EQ(links->GetMostRecentItemCount(), -1);
  // B and D used (20 each, most recent first); A, C, E never.
  for (Integer i : {0, 2, 4}) links->Items(i)->SetMostRecentlyUsed(false);
  EXPECT_EQ(links->Items(1)->UseCount(), 20);
  EXPECT_EQ(links->Items(0)->UseCount(), 0);
  const Integer count = links->GetMostRecentItemCount();
  EXPECT_EQ(count, 2);
  links->SetRecentItemCount(count);
  EXPECT_EQ(Visible(links),
            (std::vector<String>{buttons[1]->Name(), buttons[3]->Name()}));
  // Using C brings it in: the visible list keeps collection order.
  links->SetRecentItemCount(-1);
  links->Items(2)->BringToTopInRecentList(true);
  EXPECT_EQ(links->Items(2)->UseCount(), 1);
  links->SetRecentItemCount(3);
  EXPECT_EQ(Visible(links),
            (std::vector<String>{buttons[1]->Name(), buttons[2]->Name(),
                                 buttons[3]->Name()}));
  // The standard style shows no personalised menus.
  manager_->SetStyle(bmsStandard);
  links->SetRecentItemCount(2);
  EXPECT_EQ(links->RecentItemCount(), -1);
  EXPECT_EQ(links->GetMostRecentItemCount(), -1);
  EXPECT_EQ(links->VisibleItemCount(), 5);
}

TEST_F(BarModelTest, ShortCutsRunTheFirstEnabledItem) {
  TdxBar* bar = manager_->AddToolBar();
  TdxBarButton* disabled = Button("Disabled");
  TdxBarButton* enabled = Button("Enabled");
  int disabledClicks = 0, enabledClicks = 0;
  disabled->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { ++disabledClicks; });
  enabled->OnClick =
      TNotifyEvent::FromFunction([&](TObject*) { ++enabledClicks; });
  const TShortCut ctrlK = ShortCut('K', TShiftState{ssCtrl});
  disabled->SetShortCut(ctrlK);
  enabled->SetShortCut(ctrlK);
  disabled->SetEnabled(false);
  bar->ItemLinks()->Add(disabled);
  bar->ItemLinks()->Add(enabled);
  EXPECT_FALSE(bar->IsShortCut(0));
  EXPECT_FALSE(manager_->HandleShortCut(0));
  EXPECT_FALSE(bar->IsShortCut(ShortCut('J', TShiftState{ssCtrl})));
  EXPECT_TRUE(manager_->HandleShortCut(ctrlK));
  EXPECT_EQ(disabledClicks, 0);
  EXPECT_EQ(enabledClicks, 1);
  // A shortcut in a sub-menu is found through its item.
  auto* menu = static_cast<TdxBarSubItem*>(manager_->AddSubItem());
  TdxBarButton* inner = Button("Inner");
  int innerClicks = 0;
  inner->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++innerClicks; });
  inner->SetShortCut(VK_F5);
  menu->ItemLinks()->Add(inner);
  bar->ItemLinks()->Add(menu);
  EXPECT_TRUE(bar->IsShortCut(VK_F5));
  EXPECT_EQ(innerClicks, 1);
  // A hidden bar is not asked.
  bar->SetVisible(false);
  EXPECT_FALSE(manager_->HandleShortCut(ctrlK));
}

TEST_F(BarModelTest, UpdateLockNestsAndClearsChangeMarksAtTheEnd) {
  TdxBar* bar = manager_->AddToolBar();
  manager_->BeginUpdate();
  manager_->BeginUpdate();
  bar->SetDockingStyle(dsBottom);
  EXPECT_TRUE(bar->ChangedMark);
  manager_->EndUpdate();
  EXPECT_TRUE(manager_->IsUpdateLocked());
  EXPECT_TRUE(bar->ChangedMark);
  manager_->EndUpdate();
  EXPECT_FALSE(manager_->IsUpdateLocked());
  EXPECT_FALSE(bar->ChangedMark);
  manager_->EndUpdate();
  EXPECT_FALSE(manager_->IsUpdateLocked());
  // The LockUpdate property counts once however often it is set.
  manager_->SetLockUpdate(true);
  manager_->SetLockUpdate(true);
  EXPECT_TRUE(manager_->IsUpdateLocked());
  manager_->SetLockUpdate(false);
  EXPECT_FALSE(manager_->IsUpdateLocked());
}

TEST_F(BarModelTest, CaptionsCarryTheHintAlong) {
  TdxBarButton* b = Button("&Open...");
  EXPECT_EQ(b->Hint(), "Open");
  b->SetHint("Open|Opens a file");
  b->SetCaption("&Load...");
  EXPECT_EQ(b->Hint(), "Load|Opens a file");
  b->SetHint("Typed by hand");
  b->SetCaption("Read");
  EXPECT_EQ(b->Hint(), "Typed by hand");
  b->SetMergeOrder(-5);
  EXPECT_EQ(b->MergeOrder(), 0);
}

TEST_F(BarModelTest, ActionsFillTheItemAndRunOnce) {
  TObjectPtr<TActionList> list(new TActionList(form_.get()));
  auto* action = new TAction(form_.get());
  action->SetActionList(list.get());
  action->SetCaption("&Save");
  action->SetHint("Save|Saves the file");
  action->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  int runs = 0;
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  TdxBarButton* b = Button("Old");
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "&Save");
  EXPECT_EQ(b->Hint(), "Save|Saves the file");
  EXPECT_EQ(b->ShortCut(), action->ShortCut());
  EXPECT_FALSE(b->IsCaptionStored());
  EXPECT_FALSE(b->IsOnClickStored());
  b->Click();
  EXPECT_EQ(runs, 1);
  // The action's changes follow into the item.
  action->SetEnabled(false);
  EXPECT_FALSE(b->Enabled());
  action->SetCaption("Save &As");
  EXPECT_EQ(b->Caption(), "Save &As");
  // A freed action leaves the item with its values.
  Free(action);
  EXPECT_EQ(b->Action(), nullptr);
  EXPECT_EQ(b->Caption(), "Save &As");
}

TEST_F(BarModelTest, ClickExceptionsGoToTheApplication) {
  TdxBarButton* b = Button("Fails");
  int handled = 0;
  String text;
  Application->OnException =
      TExceptionEvent::FromFunction([&](TObject*, Exception* e) {
        ++handled;
        text = e->Message();
      });
  b->OnClick = TNotifyEvent::FromFunction(
      [](TObject*) { throw Exception("click failed"); });
  int managerClicks = 0;
  manager_->OnClickItem = TdxBarClickItemEvent::FromFunction(
      [&](TdxBarManager*, TdxBarItem*) { ++managerClicks; });
  EXPECT_NO_THROW(b->Click());
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(text, "click failed");
  EXPECT_EQ(managerClicks, 1);
  // A disabled item does not click.
  b->SetEnabled(false);
  b->Click();
  EXPECT_EQ(managerClicks, 1);
}

TEST_F(BarModelTest, EmptiedBarsHideAndComeBackWithTheirCategory) {
  manager_->Categories()->Add("Tools");
  TdxBar* tools = manager_->AddToolBar();
  TdxBar* mixed = manager_->AddToolBar();
  TdxBarButton* hammer = Button("Hammer", 1);
  TdxBarButton* saw = Button("Saw", 1);
  tools->ItemLinks()->Add(hammer);
  tools->ItemLinks()->Add(saw);
  mixed->ItemLinks()->Add(saw);
  mixed->ItemLinks()->Add(Button("Open", 0));
  manager_->SetAutoHideEmptyBars(true);
  manager_->SetCategoryItemsVisible(1, ivNever);
  EXPECT_FALSE(tools->Visible());
  EXPECT_TRUE(tools->HiddenBecauseEmpty);
  EXPECT_TRUE(mixed->Visible());
  manager_->SetCategoryItemsVisible(1, ivAlways);
  EXPECT_TRUE(tools->Visible());
  EXPECT_FALSE(tools->HiddenBecauseEmpty);
  EXPECT_EQ(hammer->Visible(), ivAlways);
}

TEST_F(BarModelTest, GroupsOutliveTheirManager) {
  TdxBarGroup* group = manager_->CreateGroup();
  TObjectPtr<TdxBarGroup> kept(group);
  form_->RemoveComponent(group);
  form_.reset();
  EXPECT_EQ(kept->BarManager(), nullptr);
}

TEST_F(BarModelTest, ChangeDockingStyleTakesAWindowsNewPlace) {
  TdxBar* bar = manager_->AddToolBar();
  TdxDockControl* left = manager_->GetInternalDockControl(dsLeft);
  ASSERT_TRUE(left);
  // The form's own dock controls count as the style alone.
  bar->ChangeDockingStyle(dsLeft, left);
  EXPECT_EQ(bar->DockingStyle(), dsLeft);
  EXPECT_EQ(bar->DockControl(), nullptr);
  EXPECT_EQ(bar->DockedDockingStyle(), dsLeft);
  bar->ChangeDockingStyle(dsNone, nullptr);
  EXPECT_EQ(bar->DockingStyle(), dsNone);
  EXPECT_EQ(bar->DockedDockingStyle(), dsLeft);
  bar->ChangeDockingStyle(dsBottom, nullptr);
  EXPECT_EQ(bar->DockingStyle(), dsBottom);
}

TEST_F(BarModelTest, GroupsForgetMembersFreedWithTheForm) {
  TdxBarGroup* group = manager_->CreateGroup();
  TObjectPtr<TdxBarGroup> kept(group);
  form_->RemoveComponent(group);
  kept->Add(Button("Cut"));
  kept->Add(manager_->CreateGroup());
  ASSERT_EQ(kept->Count(), 2);
  form_.reset();
  EXPECT_EQ(kept->Count(), 0);
  // Nothing freed is reached through the group afterwards.
  kept->SetEnabled(false);
  kept->SetVisible(ivNever);
  EXPECT_EQ(kept->IndexOf(nullptr), -1);
}

TEST_F(BarModelTest, GroupsForgetMembersFreedOnTheirOwn) {
  TdxBarGroup* group = manager_->CreateGroup();
  TdxBarGroup* inner = manager_->CreateGroup();
  TdxBarButton* cut = Button("Cut");
  TdxBarButton* copy = Button("Copy");
  group->Add(cut);
  group->Add(inner);
  group->Add(copy);
  inner->Add(copy);
  Free(cut);
  ASSERT_EQ(group->Count(), 2);
  EXPECT_EQ(group->Items(0), inner);
  Free(inner);
  ASSERT_EQ(group->Count(), 1);
  EXPECT_EQ(group->Items(0), copy);
  EXPECT_EQ(manager_->GroupCount(), 1);
  group->SetEnabled(false);
  EXPECT_FALSE(copy->Enabled());
}

TEST(BarListTest, AFreedListIsNoLongerToldOfItsMembersChanges) {
  TForm form(nullptr);
  auto* manager = new TdxBarManager(&form);
  TdxBarItem* button = manager->AddButton();
  // A new list at the freed list's address hears whatever a member still
  // sends to the old one.
  alignas(TdxBarComponentList) unsigned char place[sizeof(TdxBarComponentList)];
  auto* old = new (place) TdxBarComponentList;
  old->Add(button);
  old->~TdxBarComponentList();
  auto* fresh = new (place) TdxBarComponentList;
  Integer heard = 0;
  fresh->OnComponentListChanged =
      TcxComponentCollectionChangeEvent::FromFunction(
          [&](TObject*, TComponent*, TcxComponentCollectionNotification) {
            ++heard;
          });
  button->Changed();
  EXPECT_EQ(heard, 0);
  fresh->~TdxBarComponentList();
  // The same through a group freed before its member.
  TdxBarGroup* group = manager->CreateGroup();
  group->Add(button);
  Free(group);
  button->Changed(true);
  button->SetCaption("Again");
  EXPECT_EQ(button->Caption(), "Again");
}

TEST_F(BarModelTest, CategoriesKeepTheirItems) {
  TdxBarManagerCategories* categories = manager_->Categories();
  ASSERT_EQ(categories->Count(), 1);
  EXPECT_EQ(categories->Strings(0), "Default");
  categories->Add("Edit");
  categories->Add("View");
  TdxBarButton* d = Button("D", 0);
  TdxBarButton* e = Button("E", 1);
  TdxBarButton* v = Button("V", 2);
  categories->Move(0, 2);
  EXPECT_EQ(e->Category(), 0);
  EXPECT_EQ(v->Category(), 1);
  EXPECT_EQ(d->Category(), 2);
  EXPECT_EQ(categories->Strings(2), "Default");
  // Items of one category stay together in the manager's list.
  TList items;
  EXPECT_EQ(manager_->GetAllItemsByCategory(2, &items), 1);
  // Hiding a category's items hides them.
  manager_->SetCategoryItemsVisible(1, ivNever);
  EXPECT_EQ(v->Visible(), ivNever);
  EXPECT_EQ(manager_->CategoryItemsVisible(7), ivNever);
  EXPECT_FALSE(manager_->CategoryVisible(-1));
  // Deleting the only category frees its items and leaves "Default".
  categories->Delete(0);
  categories->Delete(0);
  const Integer before = manager_->ItemCount();
  categories->Delete(0);
  EXPECT_EQ(manager_->ItemCount(), before - 1);
  ASSERT_EQ(categories->Count(), 1);
  EXPECT_EQ(categories->Strings(0), "Default");
}

}  // namespace
