// Edit and combo items edited in place on a real toolbar and in a menu:
// typed text committed whole by Enter, Tab or (with AlwaysSaveText) a
// click elsewhere, never by Escape; the list combo stepping through its
// strings; Alt typed in an edit reaching the main menu; and the field
// drawn through the painter while no window shows it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ScopeGuard.h"
#include "UiDriverControlsWin.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxBarItemKinds.h"
#include "dxBarMenuTestSupport.h"
#include "dxBarNavigation.h"
#include "dxBarSubMenu.h"
#include "dxBarTestSurface.h"
#include "dxBarWinControls.h"

namespace {

using namespace ui_test;

class BarWinControlsTest : public bar_test::TBarFormTest {
 protected:
  TdxBarEdit* AddEdit(const String& ACaption) {
    auto* edit =
        static_cast<TdxBarEdit*>(manager_->AddItem(TdxBarEdit::StaticClass()));
    edit->SetCaption(ACaption);
    edit->SetShowCaption(true);
    edit->SetWidth(120);
    edit->OnChange =
        TNotifyEvent::FromFunction([this](TObject*) { ++changes_; });
    return edit;
  }
  static TdxBarEditControl* ControlOf(TdxBarItem* AItem) {
    return AItem->GetLinkCount()
               ? dynamic_cast<TdxBarEditControl*>(AItem->GetLinks(0)->Control())
               : nullptr;
  }
  // A click in the middle of the edit field starts editing there.
  static void ClickField(TdxBarEditControl* AControl) {
    const TRect r = AControl->GetEditRect();
    Click(ScreenPointOf(AControl->Parent()->Handle(), (r.Left + r.Right) / 2,
                        (r.Top + r.Bottom) / 2));
    PumpUntilIdle();
  }
  // Puts the item on a toolbar, shows the form and clicks into the field.
  TdxBarEditControl* EditOnToolbar(TdxBarItem* AItem) {
    Toolbar({AItem});
    ShowForm();
    TdxBarEditControl* control = ControlOf(AItem);
    if (control) ClickField(control);
    return control;
  }
  // A click on the form away from the bars.
  void ClickElsewhere() {
    Click(ScreenPointOf(form_->Handle(), 250, 200));
    PumpUntilIdle();
  }

  TCursorPosGuard cursor_;
  THeldButtonsGuard held_;
  int changes_ = 0;
};

TEST_F(BarWinControlsTest, AClickEditsInAWindowOverTheFieldAndEnterCommits) {
  TdxBarEdit* edit = AddEdit("Find");
  edit->SetText("old");
  Toolbar({edit});
  ShowForm();
  changes_ = 0;
  TdxBarEditControl* control = ControlOf(edit);
  ASSERT_TRUE(control);
  ASSERT_TRUE(control->GetHandle());
  EXPECT_FALSE(::IsWindowVisible(control->GetHandle()))
      << "hidden until editing starts";

  ClickField(control);
  ASSERT_TRUE(control->Focused());
  HWND wnd = control->GetHandle();
  EXPECT_TRUE(::IsWindowVisible(wnd));
  EXPECT_EQ(wnd, ::GetFocus());
  EXPECT_EQ("old", control->GetText()) << "the window starts with the text";
  // The window lies over the field, right of the caption.
  RECT shown{};
  ::GetWindowRect(wnd, &shown);
  ::MapWindowPoints(nullptr, control->Parent()->Handle(),
                    reinterpret_cast<POINT*>(&shown), 2);
  const TRect field = control->GetEditRect();
  EXPECT_GE(shown.left, field.Left);
  EXPECT_LE(shown.right, field.Right);
  EXPECT_GT(field.Left, control->GetItemBounds().Left) << "caption first";

  TypeText("new");  // the click selected everything: typing replaces it
  EXPECT_EQ("old", edit->Text()) << "nothing committed while typing";
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  EXPECT_EQ("new", edit->Text());
  EXPECT_EQ(1, changes_);
  EXPECT_FALSE(control->Focused());
  EXPECT_FALSE(::IsWindowVisible(wnd));
  EXPECT_EQ(nullptr, ActiveBarControl);
  EXPECT_NE(wnd, ::GetFocus()) << "the focus went back";
}

TEST_F(BarWinControlsTest, ALongTextIsCommittedWhole) {
  TdxBarEdit* edit = AddEdit("Path");
  TdxBarEditControl* control = EditOnToolbar(edit);
  ASSERT_TRUE(control && control->Focused());
  // A long text pasted into the field, then typed on at its end.
  std::string text;
  for (int i = 0; text.size() < 1000; ++i) text += char('a' + i % 26);
  ::SetWindowTextA(control->GetHandle(), text.c_str());
  ::SendMessageA(control->GetHandle(), EM_SETSEL, 1000, 1000);
  TypeText("xyz");
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  ASSERT_EQ(1003u, edit->Text().size());
  EXPECT_EQ(text + "xyz", edit->Text());
}

TEST_F(BarWinControlsTest, WhatEndsEditingDecidesWhetherTheTextIsCommitted) {
  enum class TEnd { Enter, Tab, Escape, ClickElsewhere };
  struct Case {
    TEnd End;
    bool AlwaysSaveText;
    bool Committed;
  };
  ShowForm();
  for (const Case& c : {
           Case{TEnd::Enter, false, true},
           Case{TEnd::Tab, false, true},
           Case{TEnd::Escape, false, false},
           Case{TEnd::Escape, true, false},
           Case{TEnd::ClickElsewhere, false, false},
           Case{TEnd::ClickElsewhere, true, true},
       }) {
    const int which = static_cast<int>(c.End);
    manager_->AlwaysSaveText = c.AlwaysSaveText;
    TdxBarEdit* edit = AddEdit("Name");
    edit->SetText("kept");
    TdxBar* bar = Toolbar({edit, AddEdit("Next")});
    PumpUntilIdle();
    changes_ = 0;
    TdxBarEditControl* control = ControlOf(edit);
    ASSERT_TRUE(control) << which;
    ClickField(control);
    ASSERT_TRUE(control->Focused()) << which;
    TypeText("typed");
    switch (c.End) {
      case TEnd::Enter:
        PressKeys({VK_RETURN});
        break;
      case TEnd::Tab:
        PressKeys({VK_TAB});
        break;
      case TEnd::Escape:
        PressKeys({VK_ESCAPE});
        break;
      case TEnd::ClickElsewhere:
        ClickElsewhere();
        break;
    }
    PumpUntilIdle();
    EXPECT_FALSE(control->Focused()) << which;
    EXPECT_EQ(c.Committed ? "typed" : "kept", edit->Text())
        << which << " " << c.AlwaysSaveText;
    EXPECT_EQ(c.Committed ? 1 : 0, changes_)
        << which << " " << c.AlwaysSaveText;
    if (ActiveBarControl) ActiveBarControl->HideAll();
    PumpUntilIdle();
    Free(bar);
  }
}

TEST_F(BarWinControlsTest, CurChangeFollowsTypingButNotTheControlsOwnText) {
  TdxBarEdit* edit = AddEdit("Find");
  edit->SetText("abc");
  int curChanges = 0;
  edit->OnCurChange =
      TNotifyEvent::FromFunction([&](TObject*) { ++curChanges; });
  TdxBarEditControl* control = EditOnToolbar(edit);
  ASSERT_TRUE(control && control->Focused());
  EXPECT_EQ(0, curChanges) << "loading the text into the window";
  TypeText("xy");
  EXPECT_EQ(2, curChanges);
  EXPECT_EQ("xy", edit->GetCurText());
  EXPECT_EQ("abc", edit->Text());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
}

TEST_F(BarWinControlsTest, EnterInAnEditInAMenuCommitsAndClosesTheMenus) {
  TdxBarEdit* edit = AddEdit("Find");
  TdxBarPopupMenu* menu = Menu({Button("Before"), edit});
  ShowForm();
  menu->PopupEx(200, 200, 0, 0, false, nullptr, false, nullptr);
  PumpUntilIdle();
  TdxBarSubMenuControl* open = menu->SubMenuControl();
  ASSERT_TRUE(open);
  TdxBarEditControl* control = ControlOf(edit);
  ASSERT_TRUE(control);
  ClickField(control);
  ASSERT_TRUE(control->Focused());
  EXPECT_TRUE(menu->SubMenuControl()) << "editing keeps the menu open";
  TypeText("menu");
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  EXPECT_EQ("menu", edit->Text());
  EXPECT_EQ(nullptr, menu->SubMenuControl());
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(BarWinControlsTest, UpAndDownStepThroughAListComboAndEnterCommits) {
  auto* combo =
      static_cast<TdxBarCombo*>(manager_->AddItem(TdxBarCombo::StaticClass()));
  combo->SetWidth(120);
  for (const char* s : {"red", "green", "blue"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  combo->OnChange =
      TNotifyEvent::FromFunction([this](TObject*) { ++changes_; });
  Toolbar({combo});
  ShowForm();
  changes_ = 0;
  auto* control = dynamic_cast<TdxBarComboControl*>(ControlOf(combo));
  ASSERT_TRUE(control);
  ClickField(control);
  ASSERT_TRUE(control->Focused());
  EXPECT_EQ(0, control->LocalItemIndex());
  // The ends hold; nothing is committed while stepping.
  PressKeys({VK_UP});
  EXPECT_EQ(0, control->LocalItemIndex());
  PressKeys({VK_DOWN});
  PressKeys({VK_DOWN});
  PressKeys({VK_DOWN});
  EXPECT_EQ(2, control->LocalItemIndex());
  EXPECT_EQ("blue", control->GetText());
  EXPECT_EQ(0, combo->ItemIndex());
  EXPECT_EQ(0, changes_);
  PressKeys({VK_RETURN});
  PumpUntilIdle();
  EXPECT_EQ(2, combo->ItemIndex());
  EXPECT_EQ("blue", combo->Text());
  EXPECT_EQ(1, changes_);
}

TEST_F(BarWinControlsTest, TheFieldTakesWhatTheItemAllows) {
  struct Case {
    Integer MaxLength;
    bool ReadOnly;
    const char* Typed;
    const char* Committed;
  };
  ShowForm();
  for (const Case& c : {
           Case{0, false, "abcdefg", "abcdefg"},
           Case{4, false, "abcdefg", "abcd"},
           Case{0, true, "zz", "fixed"},
       }) {
    TdxBarEdit* edit = AddEdit("Code");
    edit->SetText("fixed");
    edit->SetMaxLength(c.MaxLength);
    edit->SetReadOnly(c.ReadOnly);
    TdxBar* bar = Toolbar({edit});
    PumpUntilIdle();
    TdxBarEditControl* control = ControlOf(edit);
    ASSERT_TRUE(control) << c.Typed;
    ClickField(control);
    TypeText(c.Typed);
    PressKeys({VK_RETURN});
    PumpUntilIdle();
    EXPECT_EQ(c.Committed, edit->Text()) << c.MaxLength << " " << c.ReadOnly;
    Free(bar);
  }
}

TEST_F(BarWinControlsTest, AltTypedInAnEditEndsEditingAndEntersTheMainMenu) {
  TdxBarEdit* edit = AddEdit("Find");
  TdxBarSubItem* file = SubItem("&File", {Button("Open")});
  TdxBar* mainMenu = manager_->Bars()->Add();
  mainMenu->SetCaption("Main Menu");
  mainMenu->ItemLinks()->Add(file);
  mainMenu->SetDockingStyle(dsTop);
  mainMenu->SetIsMainMenu(true);
  mainMenu->SetVisible(true);
  TdxBarEditControl* control = EditOnToolbar(edit);
  ASSERT_TRUE(control && control->Focused());
  PressKeys({VK_MENU});
  PumpUntilIdle();
  EXPECT_FALSE(control->Focused());
  EXPECT_EQ(manager_->MainMenuControl(), ActiveBarControl);
  EXPECT_TRUE(BarNavigationController()->NavigationMode());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
}

TEST_F(BarWinControlsTest, TheFieldDrawsTheCommittedTextThroughThePainter) {
  TdxBarEdit* edit = AddEdit("Find");
  edit->SetText("WWWW");
  manager_->SetStyle(bmsFlat);
  Toolbar({edit});
  ShowForm();
  TdxBarEditControl* control = ControlOf(edit);
  ASSERT_TRUE(control);
  const TRect bounds = control->GetItemBounds();
  Surface surface(bounds.Right + 4, bounds.Bottom + 4);
  TCanvas canvas;
  canvas.SetHandle(surface.DC());
  TcxCanvas cx(&canvas);
  control->Paint(&cx, bounds, ptHorz);
  canvas.SetHandle(nullptr);
  ASSERT_GE(control->Parts().size(), 3u);
  const TRect field = control->Parts()[0];
  // The field is filled in the window colour and shows dark text.
  const COLORREF window = bar_test::Sys(COLOR_WINDOW);
  int background = 0, ink = 0;
  for (int y = field.Top; y < field.Bottom; ++y)
    for (int x = field.Left; x < field.Right; ++x) {
      const COLORREF c = surface.At(x, y);
      background += c == window;
      ink += c == bar_test::Sys(COLOR_WINDOWTEXT);
    }
  EXPECT_GT(background, field.Width() * field.Height() / 2);
  EXPECT_GT(ink, 10) << "the committed text";
  // While the window edits, the painter leaves the field to it.
  ClickField(control);
  ASSERT_TRUE(control->Focused());
  EXPECT_FALSE(control->CanDrawEditor());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
  EXPECT_TRUE(control->CanDrawEditor());
}

TEST_F(BarWinControlsTest, F4DropsTheCombosWindowWhichTakesTheArrows) {
  auto* combo = static_cast<TCustomdxBarCombo*>(
      manager_->AddItem(TCustomdxBarCombo::StaticClass()));
  combo->SetWidth(120);
  // The application's own drop-down window: a list.
  HWND list = ::CreateWindowExA(
      WS_EX_TOOLWINDOW, "LISTBOX", "", WS_POPUP | WS_BORDER | LBS_NOTIFY, 0, 0,
      120, 80, form_->Handle(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(list);
  TScopeGuard destroy([&] { ::DestroyWindow(list); });
  for (const char* s : {"one", "two", "three"})
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  combo->OnGetDropDownWindow = TdxBarGetDropDownWindowEvent::FromFunction(
      [&](TCustomdxBarCombo*, HWND& AWindow) { AWindow = list; });
  int closeUps = 0;
  combo->OnCloseUp = TNotifyEvent::FromFunction([&](TObject*) { ++closeUps; });
  Toolbar({combo});
  ShowForm();
  auto* control = dynamic_cast<TCustomdxBarComboControl*>(ControlOf(combo));
  ASSERT_TRUE(control);
  ClickField(control);
  ASSERT_TRUE(control->Focused());

  PressKeys({VK_F4});
  ASSERT_TRUE(control->DroppedDown());
  EXPECT_TRUE(::IsWindowVisible(list));
  // Below the field, where the edit begins.
  RECT shown{};
  ::GetWindowRect(list, &shown);
  const TRect item = control->Parent()->GetItemScreenRect(control);
  EXPECT_EQ(item.Bottom, shown.top);
  EXPECT_EQ(item.Left + control->GetEditOffset(), shown.left);
  // The arrows go to the list while it is open, not to the edit.
  PressKeys({VK_DOWN});
  PressKeys({VK_DOWN});
  EXPECT_EQ(1, ::SendMessageA(list, LB_GETCURSEL, 0, 0));
  PressKeys({VK_F4});
  EXPECT_FALSE(control->DroppedDown());
  EXPECT_FALSE(::IsWindowVisible(list));
  EXPECT_EQ(1, closeUps);
  // Ending the edit closes an open list too.
  PressKeys({VK_F4});
  ASSERT_TRUE(control->DroppedDown());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
  EXPECT_FALSE(control->DroppedDown());
  EXPECT_FALSE(::IsWindowVisible(list));
  EXPECT_EQ(2, closeUps);
  // The arrow opens the list on its press and closes it on the release of
  // a second click.
  ASSERT_GE(control->Parts().size(), 4u);
  const TRect arrow = control->Parts()[3];
  const POINT onArrow =
      ScreenPointOf(control->Parent()->Handle(), (arrow.Left + arrow.Right) / 2,
                    (arrow.Top + arrow.Bottom) / 2);
  Click(onArrow);
  PumpUntilIdle();
  EXPECT_TRUE(control->DroppedDown());
  Click(onArrow);
  PumpUntilIdle();
  EXPECT_FALSE(control->DroppedDown());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
  // A read-only combo never drops down.
  combo->SetReadOnly(true);
  ClickField(control);
  PressKeys({VK_F4});
  EXPECT_FALSE(control->DroppedDown());
  PressKeys({VK_ESCAPE});
  PumpUntilIdle();
}

TEST_F(BarWinControlsTest, CustomizingSizesAnEditNoNarrowerThanItsCaption) {
  TdxBarEdit* edit = AddEdit("Find");
  Toolbar({edit});
  ShowForm();
  TdxBarEditControl* control = ControlOf(edit);
  ASSERT_TRUE(control);
  const TRect bounds = control->GetItemBounds();
  const TPoint right{bounds.Right - 2, (bounds.Top + bounds.Bottom) / 2};
  const TPoint left{bounds.Left + 2, right.Y};
  EXPECT_FALSE(control->CanResize(right)) << "only while customizing";
  manager_->Customizing(true);
  TScopeGuard done([&] { manager_->Customizing(false); });
  ASSERT_TRUE(control->CanResize(right));
  ASSERT_TRUE(control->CanResize(left));
  EXPECT_FALSE(control->CanResize({(bounds.Left + bounds.Right) / 2, right.Y}));
  const Integer offset = control->GetEditOffset();
  ASSERT_GT(offset, 0) << "the caption comes first";
  struct Case {
    bool FromRight;
    Integer Move;  // along x, from the strip pressed
    bool Accept;
    Integer UserWidth;
  };
  // Pressed 2 pixels inside the edge: 30 pixels out make the item 28
  // wider.
  const Integer width = bounds.Width() - offset;
  for (const Case& c : {
           Case{true, 30, true, width + 28},
           Case{false, -30, true, width + 28},
           Case{true, 30, false, 0},
           // Far past the caption: the field keeps its 20 pixels.
           Case{true, -1000, true, 20},
           Case{false, 1000, true, 20},
       }) {
    TdxBarItemLink* link = edit->GetLinks(0);
    link->SetUserWidth(0);
    PumpUntilIdle();
    auto* sized = ControlOf(edit);
    ASSERT_TRUE(sized);
    const TRect b = sized->GetItemBounds();
    const TPoint at{c.FromRight ? b.Right - 2 : b.Left + 2, right.Y};
    sized->BeginResize(at);
    sized->Resizing({at.X + c.Move, at.Y});
    sized->EndResize(c.Accept);
    EXPECT_EQ(c.UserWidth, link->UserWidth())
        << c.FromRight << " " << c.Move << " " << c.Accept;
  }
}

TEST_F(BarWinControlsTest, AnEditGoingWhileItEditsLeavesNothingBehind) {
  // The item freed by its own key handler, the bar hidden, the item freed
  // from outside: editing ends quietly and the focus is back on the form.
  enum class TGo { FreedByKeyHandler, BarHidden, ItemFreed };
  for (TGo go : {TGo::FreedByKeyHandler, TGo::BarHidden, TGo::ItemFreed}) {
    const int which = static_cast<int>(go);
    TdxBarEdit* edit = AddEdit("Gone");
    if (go == TGo::FreedByKeyHandler)
      edit->OnKeyDown =
          TKeyEvent::FromFunction([&](TObject*, Word& AKey, TShiftState) {
            if (AKey == VK_F2) Free(edit);
          });
    TdxBar* bar = Toolbar({edit});
    ShowForm();
    TdxBarEditControl* control = ControlOf(edit);
    ASSERT_TRUE(control) << which;
    ClickField(control);
    ASSERT_TRUE(control->Focused()) << which;
    HWND wnd = control->GetHandle();
    switch (go) {
      case TGo::FreedByKeyHandler:
        PressKeys({VK_F2});
        break;
      case TGo::BarHidden:
        bar->SetVisible(false);
        break;
      case TGo::ItemFreed:
        Free(edit);
        break;
    }
    PumpUntilIdle();
    EXPECT_TRUE(!::IsWindow(wnd) || !::IsWindowVisible(wnd)) << which;
    EXPECT_NE(wnd, ::GetFocus()) << which;
    EXPECT_EQ(nullptr, ActiveBarControl) << which;
    Free(bar);
    PumpUntilIdle();
  }
}

}  // namespace
