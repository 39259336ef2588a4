// Menus on the screen: a popup menu with its own message loop chosen from
// by the keyboard, commands posted while it is open, sub-menus opened and
// closed by hovering (the hover timers fired by the test), keyboard walking
// into and out of sub-menus, scrolling in a menu taller than the screen,
// and the placement and scrolling rules as numbers.
#include <gtest/gtest.h>

#include <functional>

#include "ActnList.h"
#include "Forms.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"
#include "dxBarKindControls.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarPopupMenu.h"
#include "dxBarSubMenu.h"

namespace {

using namespace ui_test;

// Runs a step from inside a message loop that the test does not own (the
// popup menu's), once; and, at the deadline, closes whatever menu is still
// open so that the test fails instead of waiting for a person.
class TInLoop {
 public:
  TInLoop(std::function<void()> AStep, std::function<void()> AOnTimeout)
      : step_(std::move(AStep)), onTimeout_(std::move(AOnTimeout)) {
    Current() = this;
    stepTimer_ = ::SetTimer(nullptr, 0, 1, &StepProc);
    deadline_ = ::SetTimer(nullptr, 0, kDefaultTimeoutMs, &DeadlineProc);
  }
  ~TInLoop() {
    Stop();
    ::KillTimer(nullptr, deadline_);
    Current() = nullptr;
  }
  bool Ran() const { return ran_; }
  bool TimedOut() const { return timedOut_; }

 private:
  static TInLoop*& Current() {
    static TInLoop* current = nullptr;
    return current;
  }
  void Stop() {
    if (stepTimer_) ::KillTimer(nullptr, stepTimer_);
    stepTimer_ = 0;
  }
  static void CALLBACK StepProc(HWND, UINT, UINT_PTR, DWORD) {
    TInLoop* self = Current();
    if (!self || self->ran_) return;
    self->Stop();
    self->ran_ = true;
    self->step_();
  }
  static void CALLBACK DeadlineProc(HWND, UINT, UINT_PTR, DWORD) {
    TInLoop* self = Current();
    if (!self || self->timedOut_) return;
    self->timedOut_ = true;
    self->onTimeout_();
  }
  std::function<void()> step_;
  std::function<void()> onTimeout_;
  UINT_PTR stepTimer_ = 0;
  UINT_PTR deadline_ = 0;
  bool ran_ = false;
  bool timedOut_ = false;
};

// A window that counts the commands it receives and runs a step when it
// gets WM_APP.
struct TCommandSink {
  TCommandSink() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "VarnelBarMenusTestSink";
    ::RegisterClassA(&wc);
    Wnd = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                          nullptr, wc.hInstance, nullptr);
    Current() = this;
  }
  ~TCommandSink() {
    ::DestroyWindow(Wnd);
    Current() = nullptr;
  }
  static TCommandSink*& Current() {
    static TCommandSink* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    TCommandSink* self = Current();
    if (self && M == WM_COMMAND) {
      ++self->Commands;
      self->LastCommand = WP;
      return 0;
    }
    if (self && M == WM_APP && self->OnApp) {
      self->OnApp();
      return 0;
    }
    return ::DefWindowProcA(W, M, WP, LP);
  }
  HWND Wnd = nullptr;
  int Commands = 0;
  WPARAM LastCommand = 0;
  std::function<void()> OnApp;
};

class BarMenusTest : public bar_test::TBarFormTest {
 protected:
  void SetUp() override {
    TBarFormTest::SetUp();
    ShowForm();
  }
  // Opens the menu without its own loop: the test goes on while it shows.
  static TdxBarSubMenuControl* Open(TdxBarPopupMenu* AMenu, TPoint AAt) {
    AMenu->PopupEx(AAt.X, AAt.Y, 0, 0, false, nullptr, false, nullptr);
    PumpUntilIdle();
    return AMenu->SubMenuControl();
  }
  static POINT Centre(TdxBarItemControl* AControl) {
    const TRect r = AControl->GetItemBounds();
    return ScreenPointOf(AControl->Parent()->Handle(), (r.Left + r.Right) / 2,
                         (r.Top + r.Bottom) / 2);
  }
  static TdxBarItemControl* ControlOf(TdxBarItem* AItem) {
    return AItem->GetLinkCount() ? AItem->GetLinks(0)->Control() : nullptr;
  }

  TCursorPosGuard cursor_;
};

TEST_F(BarMenusTest, APopupMenuAtAPointIsChosenFromByArrowsAndEnter) {
  int a = 0, c = 0, runs = 0;
  TObjectPtr<TActionList> list(new TActionList(form_.get()));
  auto* action = new TAction(form_.get());
  action->SetActionList(list.get());
  action->SetCaption("Second");
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  TdxBarButton* second = Button("");
  second->SetAction(action);
  TdxBarPopupMenu* menu =
      Menu({Button("First", &a), second, Button("Third", &c)});
  int popups = 0, closeUps = 0;
  menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
  menu->OnCloseUp = TNotifyEvent::FromFunction([&](TObject*) { ++closeUps; });

  TRect shownAt;
  bool openDuringStep = false;
  TInLoop step(
      [&] {
        TdxBarSubMenuControl* open = menu->SubMenuControl();
        openDuringStep = open && ::IsWindowVisible(open->Handle());
        if (open) shownAt = open->BoundsRect();
        PressKeys({VK_DOWN});
        PressKeys({VK_DOWN});
        PressKeys({VK_RETURN});
      },
      [&] {
        if (TdxBarSubMenuControl* open = menu->SubMenuControl())
          open->HideAll();
      });
  menu->Popup(200, 180);
  // Popup returns once the menu has closed; the command has run by then.
  EXPECT_TRUE(step.Ran());
  EXPECT_FALSE(step.TimedOut());
  EXPECT_TRUE(openDuringStep);
  EXPECT_EQ(200, shownAt.Left);
  EXPECT_EQ(180, shownAt.Top);
  EXPECT_EQ(1, runs);
  EXPECT_EQ(0, a + c);
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  EXPECT_FALSE(menu->PopupMenuVisible());
  EXPECT_EQ(1, popups);
  EXPECT_EQ(1, closeUps);
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(BarMenusTest, ACommandPostedWhileAMenuIsOpenArrivesAfterItCloses) {
  TdxBarPopupMenu* menu = Menu({Button("Only")});
  TCommandSink sink;
  int commandsWhileOpen = -1;
  bool openAtApp = false;
  sink.OnApp = [&] {
    commandsWhileOpen = sink.Commands;
    openAtApp = menu->SubMenuControl() != nullptr;
    PressKeys({VK_ESCAPE});
  };
  TInLoop step(
      [&] {
        ::PostMessageA(sink.Wnd, WM_COMMAND, 7, 0);
        ::PostMessageA(sink.Wnd, WM_APP, 0, 0);
      },
      [&] {
        if (TdxBarSubMenuControl* open = menu->SubMenuControl())
          open->HideAll();
      });
  menu->Popup(150, 150);
  EXPECT_FALSE(step.TimedOut());
  EXPECT_TRUE(openAtApp);
  EXPECT_EQ(0, commandsWhileOpen) << "the menu's loop ran the command";
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  PumpUntilIdle();
  EXPECT_EQ(1, sink.Commands);
  EXPECT_EQ(7u, sink.LastCommand);
}

TEST_F(BarMenusTest, PopupOnAnOpenMenuDoesNothing) {
  TdxBarPopupMenu* menu = Menu({Button("One")});
  TdxBarSubMenuControl* first = Open(menu, {100, 100});
  ASSERT_TRUE(first);
  menu->Popup(300, 300);  // returns at once, without a loop
  EXPECT_EQ(first, menu->SubMenuControl());
  EXPECT_EQ(100, first->BoundsRect().Left);
  first->HideAll();
  EXPECT_EQ(nullptr, menu->SubMenuControl());
}

TEST_F(BarMenusTest, ASubMenuOpensAfterTheHoverWaitAndClosesWhenLeft) {
  int popups = 0, subClicks = 0;
  TdxBarButton* inner = Button("Inner");
  TdxBarSubItem* more = SubItem("More", {inner, Button("Other")});
  more->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
  more->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++subClicks; });
  TdxBarButton* plain = Button("Plain");
  TdxBarPopupMenu* menu = Menu({plain, more});
  TdxBarSubMenuControl* open = Open(menu, {150, 150});
  ASSERT_TRUE(open);
  auto* moreControl = dynamic_cast<TdxBarSubItemControl*>(ControlOf(more));
  ASSERT_TRUE(moreControl);

  // Resting too short: moving on cancels the wait.
  MoveMouseTo(Centre(moreControl));
  PumpUntilIdle();
  EXPECT_EQ(moreControl, dxBarPendingSubMenuOpen());
  EXPECT_EQ(nullptr, moreControl->GetSubMenuControl());
  MoveMouseTo(Centre(ControlOf(plain)));
  PumpUntilIdle();
  EXPECT_EQ(nullptr, dxBarPendingSubMenuOpen());

  // Resting long enough: the wait's end opens the sub-menu beside the item.
  MoveMouseTo(Centre(moreControl));
  PumpUntilIdle();
  ASSERT_EQ(moreControl, dxBarPendingSubMenuOpen());
  dxBarFireSubMenuTimer(true);
  PumpUntilIdle();
  TdxBarSubMenuControl* sub = moreControl->GetSubMenuControl();
  ASSERT_TRUE(sub && sub->HandleAllocated());
  EXPECT_TRUE(::IsWindowVisible(sub->Handle()));
  EXPECT_TRUE(moreControl->IsDroppedDown());
  EXPECT_EQ(open, sub->ParentBar());
  EXPECT_EQ(sub, ActiveBarControl);
  EXPECT_GE(sub->BoundsRect().Left,
            open->GetItemScreenRect(moreControl).Right - 1);
  EXPECT_EQ(1, popups);
  EXPECT_EQ(1, subClicks);

  // Leaving the sub-item starts the close wait; its end closes the menu.
  MoveMouseTo(Centre(ControlOf(plain)));
  PumpUntilIdle();
  EXPECT_EQ(moreControl, dxBarPendingSubMenuClose());
  EXPECT_TRUE(moreControl->GetSubMenuControl());
  dxBarFireSubMenuTimer(false);
  PumpUntilIdle();
  EXPECT_EQ(nullptr, moreControl->GetSubMenuControl());
  EXPECT_EQ(open, menu->SubMenuControl()) << "the first menu stays";
  EXPECT_EQ(open, ActiveBarControl);

  // Opening again fires the sub-item's events again.
  MoveMouseTo(Centre(moreControl));
  PumpUntilIdle();
  dxBarFireSubMenuTimer(true);
  PumpUntilIdle();
  EXPECT_EQ(2, popups);
  open->HideAll();
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  EXPECT_EQ(nullptr, dxBarPendingSubMenuClose());
}

TEST_F(BarMenusTest, KeysWalkIntoAndOutOfSubMenus) {
  int clicks = 0;
  TdxBarButton* deep = Button("Deep", &clicks);
  TdxBarSubItem* more = SubItem("More", {deep, Button("Deeper")});
  TdxBarPopupMenu* menu = Menu({Button("Top"), more});
  TdxBarSubMenuControl* open = Open(menu, {160, 160});
  ASSERT_TRUE(open);
  PressKeys({VK_DOWN});
  EXPECT_EQ(ControlOf(menu->ItemLinks()->Items(0)->Item()),
            open->SelectedControl());
  PressKeys({VK_DOWN});
  EXPECT_EQ(ControlOf(more), open->SelectedControl());
  // Right opens the sub-menu with its first entry selected.
  PressKeys({VK_RIGHT});
  TdxBarSubMenuControl* sub =
      static_cast<TdxBarSubItemControl*>(ControlOf(more))->GetSubMenuControl();
  ASSERT_TRUE(sub);
  EXPECT_EQ(ControlOf(deep), sub->SelectedControl());
  EXPECT_EQ(sub, ActiveBarControl);
  // Left goes back to the first menu, which keeps its selection.
  PressKeys({VK_LEFT});
  EXPECT_EQ(
      nullptr,
      static_cast<TdxBarSubItemControl*>(ControlOf(more))->GetSubMenuControl());
  EXPECT_EQ(open, ActiveBarControl);
  EXPECT_EQ(ControlOf(more), open->SelectedControl());
  // Enter on a sub-item opens it too; Enter on the entry clicks it and
  // closes every menu.
  PressKeys({VK_RETURN});
  ASSERT_EQ(
      ActiveBarControl,
      static_cast<TdxBarSubItemControl*>(ControlOf(more))->GetSubMenuControl());
  PressKeys({VK_RETURN});
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(BarMenusTest, EscapeClosesOnlyTheInnermostMenu) {
  TdxBarSubItem* more = SubItem("More", {Button("Deep")});
  TdxBarPopupMenu* menu = Menu({more});
  TdxBarSubMenuControl* open = Open(menu, {160, 160});
  ASSERT_TRUE(open);
  PressKeys({VK_DOWN});
  PressKeys({VK_RIGHT});
  ASSERT_NE(open, ActiveBarControl);
  PressKeys({VK_ESCAPE});
  EXPECT_EQ(open, ActiveBarControl);
  EXPECT_EQ(open, menu->SubMenuControl());
  PressKeys({VK_ESCAPE});
  EXPECT_EQ(nullptr, menu->SubMenuControl());
}

TEST_F(BarMenusTest, AMenuTallerThanTheScreenScrollsTheSelectionIntoView) {
  std::vector<TdxBarItem*> items;
  int lastClicks = 0;
  for (int i = 0; i < 120; ++i)
    items.push_back(
        Button("Entry " + IntToStr(i), i == 119 ? &lastClicks : nullptr));
  auto* menu = new TdxBarPopupMenu(form_.get());
  for (TdxBarItem* item : items) menu->ItemLinks()->Add(item);
  TdxBarSubMenuControl* open = Open(menu, {100, 10});
  ASSERT_TRUE(open);
  const TRect screen = open->BoundsRect();
  EXPECT_LE(screen.Height(), ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(open->DownArrowExists());
  EXPECT_FALSE(open->UpArrowExists());

  PressKeys({VK_END});
  TdxBarItemControl* last = ControlOf(items.back());
  ASSERT_EQ(last, open->SelectedControl());
  EXPECT_GT(open->TopIndex(), 0);
  EXPECT_TRUE(open->UpArrowExists());
  const TRect area = open->VisibleItemsRect();
  const TRect r = last->GetItemBounds();
  EXPECT_FALSE(IsRectEmpty(r));
  EXPECT_GE(r.Top, area.Top);
  EXPECT_LE(r.Bottom, area.Bottom);
  // Back to the top: the first entry shows again.
  PressKeys({VK_HOME});
  EXPECT_EQ(0, open->TopIndex());
  EXPECT_FALSE(IsRectEmpty(ControlOf(items.front())->GetItemBounds()));
  PressKeys({VK_UP});  // wraps round to the last entry
  EXPECT_EQ(last, open->SelectedControl());
  PressKeys({VK_RETURN});
  EXPECT_EQ(1, lastClicks);
}

TEST(BarMenuGeometryTest, ScrollingIntoViewAlwaysEnds) {
  struct Case {
    std::vector<Integer> Heights;
    Integer Top, Index, Area, Expected;
  };
  for (const Case& c : {
           Case{{10, 10, 10, 10, 10}, 0, 4, 30, 2},  // down to show it
           Case{{10, 10, 10, 10, 10}, 3, 1, 30, 1},  // up to it
           Case{{10, 10, 10, 10, 10}, 1, 2, 30, 1},  // shown already
           Case{{10, 10, 50, 10}, 0, 2, 30, 2},      // taller than the area
           Case{{10, 10, 10}, 0, 2, 0, 2},           // an area of no height
           Case{{10, 10, 10}, 0, 2, -5, 2},          // a negative area
           Case{{}, 0, 0, 30, 0},                    // nothing to show
           Case{{10, 10}, 0, 5, 30, 0},              // no such item
       })
    EXPECT_EQ(c.Expected,
              dxBarScrollIntoView(c.Heights, c.Top, c.Index, c.Area))
        << c.Index << " in " << c.Area;
}

TEST(BarMenuGeometryTest, MenusFlipAtTheWorkAreaEdges) {
  const TRect area{0, 0, 800, 600};
  struct Case {
    TPoint At;
    TSize Size;
    Integer OwnerWidth, OwnerHeight;
    TRect Bounds;
    bool Left, Up;
  };
  for (const Case& c : {
           // Fits: where asked.
           Case{{100, 100},
                {200, 150},
                0,
                0,
                {100, 100, 300, 250},
                false,
                false},
           // At a point near the right bottom corner: opens left and up.
           Case{{700, 550}, {200, 150}, 0, 0, {500, 400, 700, 550}, true, true},
           // A sub-menu beside an item 150 wide with more room on the left.
           Case{{700, 100},
                {200, 150},
                150,
                0,
                {350, 100, 550, 250},
                true,
                false},
           // A drop-down below a button near the bottom, more room above.
           Case{{100, 560},
                {200, 150},
                0,
                20,
                {100, 390, 300, 540},
                false,
                true},
           // ...and with less room above: cut to the room below.
           Case{{100, 100},
                {200, 700},
                0,
                20,
                {100, 100, 300, 600},
                false,
                false},
       }) {
    const TdxBarMenuPlacement p =
        dxBarPlaceMenu(c.At, c.Size, c.OwnerWidth, c.OwnerHeight, area);
    EXPECT_EQ(c.Bounds, p.Bounds) << c.At.X << "," << c.At.Y;
    EXPECT_EQ(c.Left, p.FlippedLeft) << c.At.X << "," << c.At.Y;
    EXPECT_EQ(c.Up, p.FlippedUp) << c.At.X << "," << c.At.Y;
  }
}

TEST_F(BarMenusTest, SetFocusFocusesAWindowedItemInAMenu) {
  auto* edit =
      static_cast<TdxBarEdit*>(manager_->AddItem(TdxBarEdit::StaticClass()));
  edit->SetCaption("Find");
  TdxBarPopupMenu* menu = Menu({Button("Before"), edit});
  TdxBarSubMenuControl* open = Open(menu, {150, 150});
  ASSERT_TRUE(open);
  auto* control = dynamic_cast<TdxBarEditControl*>(ControlOf(edit));
  ASSERT_TRUE(control);

  edit->SetFocus(true);
  EXPECT_EQ(control, open->SelectedControl());
  EXPECT_TRUE(control->Focused());
  // The edit window shows over the item, inside the menu, and types.
  ASSERT_TRUE(control->GetHandle());
  EXPECT_TRUE(::IsWindowVisible(control->GetHandle()));
  EXPECT_EQ(open->Handle(), ::GetParent(control->GetHandle()));
  EXPECT_EQ(control->GetHandle(), ::GetFocus());
  EXPECT_EQ(open, ActiveBarControl);
  EXPECT_EQ(edit->GetLinks(0), edit->GetFocusedItemLink());
  open->HideAll();
}

}  // namespace
