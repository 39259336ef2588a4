// The bar windows on a real form: item controls that size themselves and
// follow the mouse, toolbars in the rows of the dock controls, a toolbar
// dragged between docks and floated, and a button clicked by the mouse.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ActnList.h"
#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "dxBar.h"
#include "dxBarTestSurface.h"

// The form class of forms/TBarWindowsForm.txt: a main menu and a main
// toolbar docked on top, one button bound to an action.
class TBarWindowsForm : public TForm {
  VARNEL_CLASS(TBarWindowsForm, TForm)
 public:
  explicit TBarWindowsForm(TComponent* AOwner) : TForm(AOwner) {}
  int NewRuns = 0;
  void actNewExecute(TObject*) { ++NewRuns; }
  template <class T>
  T* Child(const char* AName) {
    return dynamic_cast<T*>(FindComponent(AName));
  }
};

namespace {

// A button as the standard drawing shows it: its caption, in a raised or
// sunken frame.
class TTestButtonControl : public TdxBarItemControl {
  VARNEL_CLASS(TTestButtonControl, TdxBarItemControl)
 public:
  TTestButtonControl() = default;

 protected:
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override {
    return {cpText};
  }
  void DoPaint(const TRect& ARect, TdxBarPaintType) override {
    PaintStandardButton(ARect);
  }
};

class dxBarControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool published = [] {
      TPublished<TBarWindowsForm>().Method("actNewExecute",
                                           &TBarWindowsForm::actNewExecute);
      return true;
    }();
    (void)published;
    saved_ = RegdxItemList()->GetItemControlClass(TdxBarButton::StaticClass());
    RegdxItemList()->SetItemControlClass(TdxBarButton::StaticClass(),
                                         TTestButtonControl::StaticClass());
    form_.reset(new TForm(nullptr));
    form_->SetBounds(100, 100, 500, 400);
    manager_ = new TdxBarManager(form_.get());
  }
  void TearDown() override {
    form_.reset();
    RegdxItemList()->SetItemControlClass(TdxBarButton::StaticClass(), saved_);
  }

  TdxBarButton* Button(const String& Caption) {
    auto* b = static_cast<TdxBarButton*>(manager_->AddButton());
    b->SetCaption(Caption);
    return b;
  }
  TdxBar* Toolbar(const String& Caption, Integer Row,
                  std::initializer_list<TdxBarItem*> Items) {
    TdxBar* bar = manager_->Bars()->Add();
    bar->SetCaption(Caption);
    for (TdxBarItem* item : Items) bar->ItemLinks()->Add(item);
    bar->SetDockingStyle(dsTop);
    bar->SetRow(Row);
    bar->SetVisible(true);
    return bar;
  }
  void ShowForm() {
    form_->Show();
    ui_test::PumpUntilIdle();
  }
  // The form's main menu and a two-button toolbar below it, shown.
  TdxBar* ShowMenuAndToolbar() {
    Toolbar("Main Menu", 0, {Button("File")})->SetIsMainMenu(true);
    TdxBar* tools = Toolbar("Main Toolbar", 1, {Button("New"), Button("Open")});
    ShowForm();
    return tools;
  }
  // The grip of a horizontal docked toolbar, left of its client area.
  static POINT GripOf(TdxBarControl* AControl) {
    return ui_test::ScreenPointOf(AControl->Handle(), -4,
                                  AControl->ClientHeight() / 2);
  }
  POINT FormMiddle() const {
    return ui_test::ScreenPointOf(form_->Handle(), form_->ClientWidth() / 2,
                                  form_->ClientHeight() / 2);
  }
  static TdxBarControl* ControlOf(TdxBar* ABar) {
    return dynamic_cast<TdxBarControl*>(ABar->Control());
  }
  static TdxBarItemControl* ItemControlOf(TdxBar* ABar, Integer AIndex) {
    return ABar->ItemLinks()->Items(AIndex)->Control();
  }
  // The centre of an item control on the screen.
  static POINT ScreenCentre(TdxBarItemControl* AControl) {
    const TRect r = AControl->GetItemBounds();
    return ui_test::ScreenPointOf(AControl->Parent()->Handle(),
                                  (r.Left + r.Right) / 2,
                                  (r.Top + r.Bottom) / 2);
  }

  // The window's pixels as it painted them, its frame included, after a
  // full repaint.
  static std::unique_ptr<Surface> Shot(TWinControl* AControl) {
    HWND wnd = AControl->Handle();
    ::RedrawWindow(wnd, nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW |
                       RDW_ALLCHILDREN);
    ui_test::PumpUntilIdle();
    RECT r{};
    ::GetWindowRect(wnd, &r);
    auto shot = std::make_unique<Surface>(r.right - r.left, r.bottom - r.top);
    HDC dc = ::GetWindowDC(wnd);
    ::BitBlt(shot->DC(), 0, 0, shot->Width(), shot->Height(), dc, 0, 0,
             SRCCOPY);
    ::ReleaseDC(wnd, dc);
    return shot;
  }

  TObjectPtr<TForm> form_;
  TdxBarManager* manager_ = nullptr;
  TClass saved_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
};

TEST_F(dxBarControlsTest, AFormResourceShowsItsDockedMenuAndToolbar) {
  TObjectPtr<TBarWindowsForm> form(NewForm<TBarWindowsForm>(nullptr));
  auto* manager = form->Child<TdxBarManager>("BarManager1");
  ASSERT_TRUE(manager);
  TdxBar* menu = manager->Bars()->Items(0);
  TdxBar* tools = manager->Bars()->Items(1);
  form->Show();
  ui_test::PumpUntilIdle();
  TdxBarControl* menuControl = ControlOf(menu);
  TdxBarControl* toolsControl = ControlOf(tools);
  ASSERT_TRUE(menuControl && toolsControl);
  TdxDockControl* top = manager->GetInternalDockControl(dsTop);
  EXPECT_EQ(top, menuControl->DockControl());
  EXPECT_EQ(top, toolsControl->DockControl());
  EXPECT_EQ(0, menuControl->GetRow());
  EXPECT_EQ(1, toolsControl->GetRow());
  EXPECT_EQ(top->ClientWidth(), menuControl->Width());
  EXPECT_EQ(menuControl->Top() + menuControl->Height(), toolsControl->Top());
  EXPECT_EQ(2, menuControl->ViewInfo()->GetItemControlCount());
  EXPECT_EQ(3, toolsControl->ViewInfo()->GetItemControlCount());
  EXPECT_EQ(1, toolsControl->ViewInfo()->GetSeparatorCount());
  // The button bound to the action shows its caption and runs it once.
  TdxBarItemControl* newButton = ItemControlOf(tools, 0);
  ASSERT_TRUE(newButton);
  EXPECT_EQ("&New", newButton->GetCaption());
  ui_test::Click(ScreenCentre(newButton));
  EXPECT_EQ(1, form->NewRuns);
}

TEST_F(dxBarControlsTest, ItemControlsSizeThemselvesFromTheirCaptions) {
  TdxBar* bar =
      Toolbar("Tools", 0, {Button("Go"), Button("Go further and further")});
  ShowForm();
  TdxBarItemControl* shortOne = ItemControlOf(bar, 0);
  TdxBarItemControl* longOne = ItemControlOf(bar, 1);
  ASSERT_TRUE(shortOne && longOne);
  TcxCanvas* canvas = ControlOf(bar)->ActiveCanvas();
  // Same frame around both captions: the widths differ by the text alone.
  EXPECT_EQ(
      longOne->GetRealWidth() - shortOne->GetRealWidth(),
      canvas->TextWidth("Go further and further") - canvas->TextWidth("Go"));
  EXPECT_EQ(shortOne->GetRealHeight(), longOne->GetRealHeight());
  EXPECT_GT(shortOne->GetRealWidth(), canvas->TextWidth("Go"));
  // Laid out side by side in the bar's client area.
  const TRect a = shortOne->GetItemBounds();
  const TRect b = longOne->GetItemBounds();
  EXPECT_EQ(a.Right, b.Left);
  EXPECT_EQ(a.Top, b.Top);
  EXPECT_EQ(2, ControlOf(bar)->ViewInfo()->GetItemControlCount());
}

TEST_F(dxBarControlsTest, GroupSeparatorsBelongToTheirItems) {
  TdxBarButton* c = Button("C");
  TdxBar* bar = Toolbar("Tools", 0, {Button("A"), Button("B"), c});
  bar->ItemLinks()->Items(2)->SetBeginGroup(true);
  ShowForm();
  TCustomdxBarControlViewInfo* vi = ControlOf(bar)->ViewInfo();
  ASSERT_EQ(1, vi->GetSeparatorCount());
  Integer index = -1;
  EXPECT_TRUE(vi->IsAssociatedWithSeparator(ItemControlOf(bar, 2), index));
  EXPECT_EQ(0, index);
  EXPECT_FALSE(vi->IsAssociatedWithSeparator(ItemControlOf(bar, 1), index));
  const TdxBarItemSeparatorInfo s = vi->GetSeparatorInfo(0);
  EXPECT_EQ(skVertical, s.Kind);
  EXPECT_EQ(s.Bounds.Right, ItemControlOf(bar, 2)->GetItemBounds().Left);
  EXPECT_EQ(ItemControlOf(bar, 1)->GetItemBounds().Right, s.Bounds.Left);
  // An index past the end is refused, not read out of bounds.
  EXPECT_THROW(vi->GetSeparatorInfo(1), std::out_of_range);
  EXPECT_THROW(vi->GetItemControlViewInfo(3), std::out_of_range);
  vi->Clear();
  EXPECT_EQ(0, vi->GetItemControlCount());
  EXPECT_EQ(0, vi->GetSeparatorCount());
  EXPECT_FALSE(vi->IsItemControlVisible(ItemControlOf(bar, 0)));
}

TEST_F(dxBarControlsTest, AFreedItemControlLeavesTheViewInfo) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("A"), Button("B"), Button("C")});
  ShowForm();
  TCustomdxBarControlViewInfo* vi = ControlOf(bar)->ViewInfo();
  TdxBarItemControl* last = ItemControlOf(bar, 2);
  ASSERT_EQ(2, vi->GetItemControlIndex(last));
  bar->ItemLinks()->Items(0)->DestroyControl();
  EXPECT_EQ(1, vi->GetItemControlIndex(last));
}

TEST_F(dxBarControlsTest, ViewLevelsOutsideTheAllowedOnesAreRefused) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("A")});
  ShowForm();
  TdxBarItemControlViewInfo* vi = ItemControlOf(bar, 0)->ViewInfo();
  // Without an icon only the small level with text is possible, whatever
  // the link allows.
  EXPECT_EQ(TdxBarItemViewLevels{ivlSmallIconWithText},
            vi->GetAllowedViewLevels());
  EXPECT_GT(vi->GetWidth(ivlSmallIconWithText), 1);
  EXPECT_THROW(vi->GetWidth(ivlSmallIcon), Exception);
}

TEST_F(dxBarControlsTest, HoverTracksTheHotPartOfEnabledItemsOnly) {
  TdxBarButton* off = Button("Off");
  TdxBar* bar = Toolbar("Tools", 0, {Button("On"), off});
  off->SetEnabled(false);
  ShowForm();
  TdxBarItemControl* on = ItemControlOf(bar, 0);
  TdxBarItemControl* disabled = ItemControlOf(bar, 1);
  EXPECT_EQ(dxBarNoHotPart, on->HotPart());
  ui_test::MoveMouseTo(ScreenCentre(on));
  EXPECT_EQ(0, on->HotPart());
  EXPECT_TRUE(on->GetIsSelected());
  ui_test::MoveMouseTo(ScreenCentre(disabled));
  EXPECT_EQ(dxBarNoHotPart, on->HotPart());
  EXPECT_EQ(dxBarNoHotPart, disabled->HotPart());
  // Selected by the mouse, a disabled item does not count as selected.
  EXPECT_FALSE(disabled->GetIsSelected());
  ui_test::MoveMouseTo(ui_test::ScreenPointOf(form_->Handle(), 250, 300));
  EXPECT_EQ(dxBarNoHotPart, on->HotPart());
}

TEST_F(dxBarControlsTest, AButtonClickedByTheMouseRunsItsActionOnce) {
  TdxBarButton* b = Button("Run");
  TdxBar* bar = Toolbar("Tools", 0, {b});
  auto* action = new TAction(form_.get());
  action->SetCaption("Run it");
  int runs = 0;
  action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++runs; });
  b->SetAction(action);
  ShowForm();
  TdxBarItemControl* control = ItemControlOf(bar, 0);
  ASSERT_TRUE(control);
  const POINT centre = ScreenCentre(control);
  ui_test::MouseDown(centre);
  EXPECT_TRUE(control->Pressed());
  EXPECT_EQ(0, runs);
  ui_test::MouseUp(centre);
  EXPECT_EQ(1, runs);
  EXPECT_FALSE(ItemControlOf(bar, 0)->Pressed());
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(dxBarControlsTest, AReleaseAwayFromThePressedButtonClicksNothing) {
  TdxBarButton* b = Button("Run");
  TdxBar* bar = Toolbar("Tools", 0, {b, Button("Other")});
  int clicks = 0;
  b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  ShowForm();
  ui_test::MouseDown(ScreenCentre(ItemControlOf(bar, 0)));
  ui_test::MouseUp(ScreenCentre(ItemControlOf(bar, 1)));
  EXPECT_EQ(0, clicks);
  EXPECT_FALSE(ItemControlOf(bar, 0)->Pressed());
}

// Keys reach an active bar window as the manager's keyboard hook hands
// them on: as key messages to the window.
TEST_F(dxBarControlsTest, KeysMoveTheSelectionAndClickInMenuMode) {
  TdxBarButton* open = Button("&Open");
  TdxBarButton* other = Button("O&ther");
  TdxBarButton* save = Button("&Save");
  TdxBar* bar = Toolbar("Tools", 0, {open, other, save});
  int saves = 0, opens = 0;
  save->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++saves; });
  open->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++opens; });
  ShowForm();
  TdxBarControl* control = ControlOf(bar);
  const auto key = [&](Word AKey) { control->Perform(WM_KEYDOWN, AKey, 0); };
  control->BarGetFocus(nullptr);
  ASSERT_TRUE(control->IsActive());
  EXPECT_EQ(control, ActiveBarControl);
  key(VK_RIGHT);  // nothing selected: the first
  EXPECT_EQ(ItemControlOf(bar, 0), control->SelectedControl());
  key(VK_RIGHT);
  EXPECT_EQ(ItemControlOf(bar, 1), control->SelectedControl());
  key(VK_END);
  EXPECT_EQ(ItemControlOf(bar, 2), control->SelectedControl());
  key(VK_HOME);
  EXPECT_EQ(ItemControlOf(bar, 0), control->SelectedControl());
  key(VK_RETURN);
  EXPECT_EQ(1, opens);
  EXPECT_FALSE(control->IsActive());  // the click closed menu mode

  control->BarGetFocus(nullptr);
  key('S');  // one item has it: selected and clicked
  EXPECT_EQ(1, saves);
  control->BarGetFocus(nullptr);
  key(VK_ESCAPE);
  EXPECT_FALSE(control->IsActive());
  EXPECT_EQ(nullptr, ActiveBarControl);
}

TEST_F(dxBarControlsTest, AClickWhoseHandlerFreesTheBarWindowEndsCleanly) {
  TdxBarButton* b = Button("Close");
  TdxBar* bar = Toolbar("Tools", 0, {b});
  int clicks = 0;
  b->OnClick = TNotifyEvent::FromFunction([&](TObject*) {
    ++clicks;
    bar->SetVisible(false);  // frees the window that is being clicked
  });
  ShowForm();
  ui_test::Click(ScreenCentre(ItemControlOf(bar, 0)));
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(nullptr, bar->Control());
  EXPECT_EQ(nullptr, ActiveBarControl);
  // The bar comes back with a fresh window that works.
  bar->SetVisible(true);
  ui_test::PumpUntilIdle();
  ui_test::Click(ScreenCentre(ItemControlOf(bar, 0)));
  EXPECT_EQ(2, clicks);
}

TEST_F(dxBarControlsTest, AClientAlignedItemTakesTheRestOfTheRow) {
  TdxBarButton* rest = Button("Rest");
  rest->SetAlign(iaClient);
  TdxBar* bar = Toolbar("Status", 0, {Button("A"), rest});
  bar->UseRestSpace = true;
  bar->SetIsMainMenu(true);  // a whole-row bar: as wide as the dock
  ShowForm();
  TdxBarControl* control = ControlOf(bar);
  TdxBarItemControl* stretched = ItemControlOf(bar, 1);
  ASSERT_TRUE(control && stretched);
  // It reports only its minimum width; the layout stretches it.
  EXPECT_EQ(1, stretched->GetRealWidth());
  EXPECT_EQ(control->ClientWidth(), stretched->GetItemBounds().Right);
  EXPECT_EQ(ItemControlOf(bar, 0)->GetItemBounds().Right,
            stretched->GetItemBounds().Left);
}

TEST_F(dxBarControlsTest, AMultiLineBarWrapsItsItemsOnANarrowForm) {
  TdxBar* menu = Toolbar("Main Menu", 0,
                         {Button("First entry"), Button("Second entry"),
                          Button("Third entry"), Button("Fourth entry")});
  menu->SetIsMainMenu(true);
  ShowForm();
  TdxBarControl* control = ControlOf(menu);
  const Integer oneRow = ItemControlOf(menu, 0)->GetRealHeight();
  EXPECT_EQ(oneRow, control->ClientHeight());
  form_->SetWidth(160);
  ui_test::PumpUntilIdle();
  control = ControlOf(menu);
  EXPECT_GE(control->ClientHeight(), 2 * oneRow);
  // Every item still has its place, inside the bar.
  for (Integer i = 0; i < 4; ++i) {
    const TRect r = ItemControlOf(menu, i)->GetItemBounds();
    EXPECT_FALSE(IsRectEmpty(r)) << i;
    EXPECT_LE(r.Right, control->ClientWidth()) << i;
    EXPECT_LE(r.Bottom, control->ClientHeight()) << i;
  }
}

TEST_F(dxBarControlsTest, SqueezedToolbarsCutTheirItemsAndShowTheMark) {
  TdxBar* first = Toolbar("First", 0,
                          {Button("One one"), Button("Two two"),
                           Button("Three three"), Button("Four four")});
  TdxBar* second = Toolbar("Second", 0,
                           {Button("Five five"), Button("Six six"),
                            Button("Seven seven"), Button("Eight eight")});
  second->SetDockedLeft(400);
  form_->SetWidth(300);
  ShowForm();
  TdxDockControl* dock = manager_->GetInternalDockControl(dsTop);
  ASSERT_EQ(1, dock->RowCount());
  TdxBarControl* a = ControlOf(first);
  TdxBarControl* b = ControlOf(second);
  EXPECT_LE(b->Left() + b->Width(), dock->ClientWidth());
  EXPECT_LE(a->Left() + a->Width(), b->Left());
  EXPECT_TRUE(a->ItemsCut() || b->ItemsCut());
  TdxBarControl* cut = a->ItemsCut() ? a : b;
  EXPECT_TRUE(cut->MarkExists());
  // The items that lost their place have no rectangle; the rest stay
  // clear of the mark.
  const TRect mark = cut->MarkRect();
  bool someHidden = false;
  for (Integer i = 0; i < 4; ++i) {
    const TRect r = cut->ItemLinks()->Items(i)->ItemRect;
    if (IsRectEmpty(r)) {
      someHidden = true;
    } else {
      EXPECT_LE(r.Right, mark.Left) << i;
    }
  }
  EXPECT_TRUE(someHidden);
}

TEST_F(dxBarControlsTest, DockedToolbarsLieInRowsOfTheTopDock) {
  TdxBar* menu = Toolbar("Main Menu", 0, {Button("File"), Button("Edit")});
  menu->SetIsMainMenu(true);
  TdxBar* tools = Toolbar("Main Toolbar", 1, {Button("New"), Button("Open")});
  ShowForm();
  TdxBarControl* menuControl = ControlOf(menu);
  TdxBarControl* toolsControl = ControlOf(tools);
  ASSERT_TRUE(menuControl && toolsControl);
  TdxDockControl* dock = manager_->GetInternalDockControl(dsTop);
  ASSERT_TRUE(dock);
  EXPECT_EQ(dock, menuControl->DockControl());
  EXPECT_EQ(2, dock->RowCount());
  EXPECT_EQ(0, menuControl->GetRow());
  EXPECT_EQ(1, toolsControl->GetRow());
  // The whole-row menu spans the dock; the toolbar sits in the row below.
  EXPECT_EQ(dock->ClientWidth(), menuControl->Width());
  EXPECT_EQ(menuControl->Top() + menuControl->Height(), toolsControl->Top());
  EXPECT_EQ(dock->Height(), menuControl->Height() + toolsControl->Height());
}

TEST_F(dxBarControlsTest, ASunkenBorderMakesADockTwoPixelsThicker) {
  manager_->SunkenBorder = true;
  TdxBar* bar = Toolbar("Tools", 0, {Button("A")});
  ShowForm();
  TdxDockControl* dock = manager_->GetInternalDockControl(dsTop);
  EXPECT_EQ(ControlOf(bar)->Height() + 2, dock->Height());
  EXPECT_EQ(ControlOf(bar)->Height(), dock->ClientHeight());
  // A dock without rows stays flat.
  EXPECT_EQ(0, manager_->GetInternalDockControl(dsLeft)->Width());
}

TEST_F(dxBarControlsTest, APlacedDockControlWithoutBarsIsFlat) {
  auto* dock = new TdxBarDockControl(form_.get());
  dock->SetParent(form_.get());
  dock->SetBarManager(manager_);
  dock->SetHeight(40);
  ShowForm();
  dock->UpdateDock();
  EXPECT_EQ(0, dock->Height());
}

TEST_F(dxBarControlsTest, TwoToolbarsShareARowSideBySide) {
  TdxBar* first = Toolbar("First", 0, {Button("A")});
  TdxBar* second = Toolbar("Second", 0, {Button("B")});
  second->SetDockedLeft(300);
  ShowForm();
  TdxDockControl* dock = manager_->GetInternalDockControl(dsTop);
  EXPECT_EQ(1, dock->RowCount());
  EXPECT_EQ(ControlOf(first)->Top(), ControlOf(second)->Top());
  EXPECT_LE(ControlOf(first)->Left() + ControlOf(first)->Width(),
            ControlOf(second)->Left());
}

TEST_F(dxBarControlsTest, AToolbarDraggedToTheLeftDockAndThenFloated) {
  TdxBar* tools = ShowMenuAndToolbar();
  TdxBarControl* control = ControlOf(tools);
  ASSERT_TRUE(control);
  TdxDockControl* left = manager_->GetInternalDockControl(dsLeft);
  ASSERT_TRUE(left);
  // Grab the grip (left of the client area) and drop inside the left
  // dock's zone, well below the top dock.
  const POINT grip = GripOf(control);
  const POINT leftZone =
      ui_test::ScreenPointOf(form_->Handle(), 4, form_->ClientHeight() / 2);
  // A mark that a rebuilt window (even at the same address) would not carry.
  control->SetTag(0x7EA);
  ASSERT_TRUE(ui_test::TModalDrag(grip)
                  .MoveTo(leftZone, 4)
                  .WaitFor([&] { return control->DockingStyle() == dsLeft; },
                           "the bar docked on the left")
                  .Release()
                  .Run());
  // The bar took the dragged window's new place without making another.
  ASSERT_EQ(control, ControlOf(tools));
  EXPECT_EQ(0x7EA, control->Tag());
  EXPECT_EQ(dsLeft, control->DockingStyle());
  EXPECT_EQ(left, control->DockControl());
  EXPECT_TRUE(control->IsRealVertical());
  EXPECT_GT(left->Width(), 0);
  EXPECT_GT(control->Height(), control->Width());
  // The bar itself now records the left dock.
  EXPECT_EQ(dsLeft, tools->DockingStyle());

  // From the left dock into the middle of the form: it floats there.
  const POINT grip2 =
      ui_test::ScreenPointOf(control->Handle(), control->ClientWidth() / 2, -4);
  const POINT middle = FormMiddle();
  ASSERT_TRUE(ui_test::TModalDrag(grip2).MoveTo(middle, 4).Release().Run());
  ASSERT_EQ(control, ControlOf(tools));
  EXPECT_EQ(0x7EA, control->Tag());
  EXPECT_EQ(dsNone, control->DockingStyle());
  EXPECT_EQ(nullptr, control->DockControl());
  EXPECT_EQ(0, left->Width());
  EXPECT_TRUE(::IsWindowVisible(control->Handle()));
  EXPECT_EQ(dsNone, tools->DockingStyle());
}

// A toolbar dragged off the top dock into the form floats in a window of
// its own, and dragged back it docks again; each move makes the window
// anew, so there is only ever one.
TEST_F(dxBarControlsTest, ADraggedToolbarFloatsAndDocksBackInOneWindow) {
  TdxBar* tools = ShowMenuAndToolbar();
  // Long enough to see the bar still floating over the dock.
  manager_->SetWaitForDockingTime(1000);
  TdxBarControl* control = ControlOf(tools);
  ASSERT_TRUE(control);
  TdxDockControl* top = manager_->GetInternalDockControl(dsTop);
  ASSERT_EQ(2, top->RowCount());
  const HWND docked = control->Handle();
  const POINT grip = GripOf(control);
  const POINT middle = FormMiddle();
  HWND floating = nullptr;
  ASSERT_TRUE(ui_test::TModalDrag(grip)
                  .MoveTo(middle, 3)
                  .WaitFor(
                      [&] {
                        // While the button is held the bar already floats.
                        floating = control->Handle();
                        return control->DockingStyle() == dsNone;
                      },
                      "the bar floating")
                  .Release()
                  .Run());
  EXPECT_EQ(control, ControlOf(tools));
  EXPECT_EQ(dsNone, tools->DockingStyle());
  EXPECT_EQ(1, top->RowCount());
  EXPECT_FALSE(::IsWindow(docked));
  ASSERT_TRUE(::IsWindow(floating));
  EXPECT_EQ(floating, control->Handle());
  EXPECT_FALSE(::GetWindowLongA(floating, GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(::IsWindowVisible(floating));

  // Back onto the top dock, grabbed by the caption's start (its end is the
  // close button): it floats until the mouse rests there.
  const POINT caption = ui_test::ScreenPointOf(control->Handle(), 1, -4);
  const POINT onDock = ui_test::ScreenPointOf(top->Handle(), 30, 4);
  bool floatedOverDock = false;
  ASSERT_TRUE(ui_test::TModalDrag(caption)
                  .MoveTo(onDock, 2)
                  .WaitFor(
                      [&] {
                        floatedOverDock = control->DockingStyle() == dsNone;
                        return true;
                      },
                      "a look at the bar over the dock")
                  .WaitFor([&] { return control->DockingStyle() == dsTop; },
                           "the bar docked on top")
                  .Release()
                  .Run());
  EXPECT_TRUE(floatedOverDock);
  EXPECT_EQ(dsTop, tools->DockingStyle());
  EXPECT_EQ(2, top->RowCount());
  EXPECT_FALSE(::IsWindow(floating));
  EXPECT_EQ(top->Handle(), ::GetParent(control->Handle()));
  EXPECT_FALSE(manager_->Bars()->IsMoving());
}

// Escape ends the drag: the bar keeps the place it had at that moment and
// later moves of the mouse leave it there.
TEST_F(dxBarControlsTest, EscapeEndsADragWhereTheBarIs) {
  TdxBar* tools = Toolbar("Main Toolbar", 0, {Button("New"), Button("Open")});
  ShowForm();
  TdxBarControl* control = ControlOf(tools);
  ASSERT_TRUE(control);
  const POINT grip = GripOf(control);
  const POINT middle = FormMiddle();
  const POINT further{middle.x + 60, middle.y + 40};
  TRect atEscape;
  ASSERT_TRUE(ui_test::TModalDrag(grip)
                  .MoveTo(middle, 2)
                  .WaitFor([&] { return control->DockingStyle() == dsNone; },
                           "the bar floating")
                  .Key(VK_ESCAPE)
                  .WaitFor(
                      [&] {
                        atEscape = control->BoundsRect();
                        return !manager_->Bars()->IsMoving();
                      },
                      "the end of the move")
                  .MoveTo(further, 2)
                  .Release()
                  .Run());
  EXPECT_EQ(dsNone, control->DockingStyle());
  EXPECT_EQ(atEscape, control->BoundsRect());
  EXPECT_EQ(atEscape.Left, tools->FloatLeft());
  EXPECT_EQ(atEscape.Top, tools->FloatTop());
  EXPECT_NE(::GetCapture(), manager_->Bars()->CaptureWindow());
}

// A floating bar placed beyond the screen comes back to the edge of the
// work area it went past.
TEST_F(dxBarControlsTest, AFloatingBarOffTheWorkAreaComesBackOntoIt) {
  ShowForm();
  POINT cursor{};
  ::GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetMonitorInfoA(
      ::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info));
  const RECT work = info.rcWork;
  struct TCase {
    const char* Where;
    int Left, Top;
  };
  const TCase cases[] = {
      {"left", static_cast<int>(work.left) - 5000, 100},
      {"above", 100, static_cast<int>(work.top) - 5000},
      {"right", static_cast<int>(work.right) + 50, 100},
      {"below", 100, static_cast<int>(work.bottom) + 50},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Where);
    TdxBar* bar = manager_->Bars()->Add();
    bar->ItemLinks()->Add(Button("A"));
    bar->SetDockingStyle(dsNone);
    bar->SetFloatLeft(c.Left);
    bar->SetFloatTop(c.Top);
    bar->SetVisible(true);
    ui_test::PumpUntilIdle();
    TdxBarControl* control = ControlOf(bar);
    ASSERT_TRUE(control);
    RECT r{};
    ::GetWindowRect(control->Handle(), &r);
    RECT common{};
    EXPECT_TRUE(::IntersectRect(&common, &r, &work))
        << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    if (c.Left < work.left) {
      EXPECT_EQ(work.left, r.left);
    }
    if (c.Top < work.top) {
      EXPECT_EQ(work.top, r.top);
    }
    if (c.Left >= work.right) {
      EXPECT_EQ(work.right, r.right);
    }
    if (c.Top >= work.bottom) {
      EXPECT_EQ(work.bottom, r.bottom);
    }
    // The window's place is what the bar remembers.
    EXPECT_EQ(r.left, control->Left());
    EXPECT_EQ(r.top, control->Top());
    bar->SetVisible(false);
  }
}

// The bar's opacity reaches its floating window only: docked, the window
// is a plain child.
TEST_F(dxBarControlsTest, AFloatingBarTakesTheBarsOpacity) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("A")});
  bar->SetAlphaBlendValue(200);
  ShowForm();
  const auto layered = [&] {
    return (::GetWindowLongA(ControlOf(bar)->Handle(), GWL_EXSTYLE) &
            WS_EX_LAYERED) != 0;
  };
  EXPECT_FALSE(layered());
  bar->SetDockingStyle(dsNone);
  ui_test::PumpUntilIdle();
  ASSERT_TRUE(layered());
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(ControlOf(bar)->Handle(), nullptr,
                                           &alpha, &flags));
  EXPECT_EQ(200, alpha);
  EXPECT_TRUE(flags & LWA_ALPHA);
  bar->SetAlphaBlendValue(255);
  EXPECT_FALSE(layered());
  bar->SetAlphaBlendValue(120);
  EXPECT_TRUE(layered());
  bar->SetDockingStyle(dsTop);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(layered());
}

// Ctrl+Tab in keyboard mode goes on with the next toolbar's first item,
// skipping bars without items and wrapping; Ctrl+Shift+Tab goes back.
TEST_F(dxBarControlsTest, CtrlTabMovesKeyboardModeToTheNextToolbar) {
  TdxBar* first = Toolbar("First", 0, {Button("&A"), Button("&B")});
  TdxBar* empty = Toolbar("Empty", 1, {});
  TdxBar* second = Toolbar("Second", 2, {Button("&C")});
  ShowForm();
  (void)empty;
  ControlOf(first)->BarGetFocus(nullptr);
  ASSERT_EQ(ControlOf(first), ActiveBarControl);
  ui_test::PressKeys({VK_CONTROL, VK_TAB});
  EXPECT_EQ(ControlOf(second), ActiveBarControl);
  EXPECT_FALSE(ControlOf(first)->IsActive());
  EXPECT_EQ(ItemControlOf(second, 0), ControlOf(second)->SelectedControl());
  ui_test::PressKeys({VK_CONTROL, VK_TAB});  // wraps to the first
  EXPECT_EQ(ControlOf(first), ActiveBarControl);
  EXPECT_EQ(ItemControlOf(first, 0), ControlOf(first)->SelectedControl());
  ui_test::PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(ControlOf(second), ActiveBarControl);
  ui_test::PressKeys({VK_ESCAPE});
  EXPECT_EQ(nullptr, ActiveBarControl);
}

// The close button of a floating bar hides the bar, which stays in the
// manager, and tells the manager; a press that leaves the button before
// its release closes nothing. A bar that may not close has no button.
TEST_F(dxBarControlsTest, TheCloseButtonHidesAFloatingBar) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("A"), Button("B")});
  int closes = 0;
  manager_->OnBarClose = TdxBarEvent::FromFunction(
      [&](TdxBarManager*, TdxBar* ABar) { closes += ABar == bar ? 1 : 100; });
  ShowForm();
  bar->SetDockingStyle(dsNone);
  ui_test::PumpUntilIdle();
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control);
  const TRect close = control->CloseButtonRectNC();
  ASSERT_FALSE(IsRectEmpty(close));
  RECT window{};
  ::GetWindowRect(control->Handle(), &window);
  const POINT onClose{window.left + (close.Left + close.Right) / 2,
                      window.top + (close.Top + close.Bottom) / 2};
  const POINT away{window.left + 10, window.bottom + 40};
  ASSERT_TRUE(
      ui_test::TModalDrag(onClose)
          .WaitFor([&] { return control->CloseButtonState() == msPressed; },
                   "the button pressed")
          .MoveTo(away)
          .WaitFor([&] { return control->CloseButtonState() == msSelected; },
                   "the button no longer pressed")
          .Release()
          .Run());
  EXPECT_EQ(0, closes);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(msNone, control->CloseButtonState());

  ui_test::Click(onClose);
  EXPECT_EQ(1, closes);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(nullptr, bar->Control());
  EXPECT_EQ(1, manager_->Bars()->Count());

  bar->AllowClose = false;
  bar->SetVisible(true);
  ui_test::PumpUntilIdle();
  ASSERT_TRUE(ControlOf(bar));
  EXPECT_TRUE(IsRectEmpty(ControlOf(bar)->CloseButtonRectNC()));
}

// Ctrl held keeps a dragged bar floating over a dock however long the
// mouse rests; letting Ctrl go decides again at once, and the bar docks
// after the usual wait.
TEST_F(dxBarControlsTest, CtrlKeepsADraggedBarFloatingOverADock) {
  TdxBar* tools = ShowMenuAndToolbar();
  TdxBarControl* control = ControlOf(tools);
  ASSERT_TRUE(control);
  TdxDockControl* top = manager_->GetInternalDockControl(dsTop);
  const POINT grip = GripOf(control);
  const POINT middle = FormMiddle();
  const POINT onDock = ui_test::ScreenPointOf(top->Handle(), 30, 4);
  // Many times the wait before docking (21 ms).
  DWORD restStart = 0;
  const auto rested = [&] {
    if (!restStart) restStart = ::GetTickCount();
    return ::GetTickCount() - restStart > 300;
  };
  bool floatedWithCtrl = false;
  ASSERT_TRUE(ui_test::TModalDrag(grip)
                  .MoveTo(middle, 2)
                  .WaitFor([&] { return control->DockingStyle() == dsNone; },
                           "the bar floating")
                  .KeyDown(VK_CONTROL)
                  .MoveTo(onDock, 2)
                  .WaitFor(rested, "a rest over the dock")
                  .WaitFor(
                      [&] {
                        floatedWithCtrl = control->DockingStyle() == dsNone;
                        return true;
                      },
                      "a look at the bar")
                  .KeyUp(VK_CONTROL)
                  .WaitFor([&] { return control->DockingStyle() == dsTop; },
                           "the bar docked on top")
                  .Release()
                  .Run());
  EXPECT_TRUE(floatedWithCtrl);
  EXPECT_EQ(dsTop, tools->DockingStyle());
}

}  // namespace

namespace {

COLORREF Sys(int AIndex) { return ::GetSysColor(AIndex); }

TEST_F(dxBarControlsTest, DockedToolbarFramesFollowTheManagersPainter) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("One"), Button("Two")});
  ShowForm();
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control);
  const COLORREF hl = Sys(COLOR_BTNHIGHLIGHT);
  const COLORREF sh = Sys(COLOR_BTNSHADOW);
  const COLORREF face = Sys(COLOR_BTNFACE);
  struct Case {
    TdxBarManagerStyle style;
    // Across the middle row from x = 3: the grip's columns.
    std::vector<COLORREF> grip;
    Integer clientLeft;
  };
  const Case cases[] = {
      // Two raised fingers of 3 after 2 pixels.
      {bmsStandard, {face, hl, face, sh, hl, face, sh, face}, 11},
      // One raised bar of 3 after 1 pixel.
      {bmsEnhanced, {hl, face, sh, face, face, face, face, face}, 8},
  };
  for (const Case& c : cases) {
    manager_->SetStyle(c.style);
    auto shot = Shot(control);
    const int y = shot->Height() / 2;
    std::vector<COLORREF> grip;
    for (int x = 3; x < 11; ++x) grip.push_back(shot->At(x, y));
    EXPECT_EQ(grip, c.grip) << int(c.style);
    // The raised border: highlight at the top-left, shadow at the
    // bottom-right.
    EXPECT_EQ(shot->At(20, 0), hl) << int(c.style);
    EXPECT_EQ(shot->At(20, shot->Height() - 1), sh) << int(c.style);
    POINT origin{0, 0};
    ::ClientToScreen(control->Handle(), &origin);
    RECT window{};
    ::GetWindowRect(control->Handle(), &window);
    EXPECT_EQ(origin.x - window.left, c.clientLeft) << int(c.style);
  }
  // Flat: a frame in the button face, then a grip of stripes, the first in
  // the shadow colour, 3 pixels in from the border across the bar.
  manager_->SetStyle(bmsFlat);
  auto shot = Shot(control);
  const int h = shot->Height();
  EXPECT_EQ(shot->At(20, 0), face);
  EXPECT_NE(shot->At(4, 4), sh) << "no stripe above the grip";
  EXPECT_EQ(shot->At(4, 5), sh);
  EXPECT_EQ(shot->At(4, 6), ColorToRGB(dxBarFlatToolbarsColor()));
  EXPECT_EQ(shot->At(4, 7), sh);
  EXPECT_EQ(shot->At(4, h - 6),
            (h - 6 - 5) % 2 == 0 ? sh : ColorToRGB(dxBarFlatToolbarsColor()));
  EXPECT_NE(shot->At(4, h - 5), sh);
}

TEST_F(dxBarControlsTest, AHotButtonIsRaisedOrFramedByThePainter) {
  TdxBar* bar = Toolbar("Tools", 0, {Button("One"), Button("Two")});
  ShowForm();
  TdxBarControl* control = ControlOf(bar);
  ASSERT_TRUE(control);
  for (TdxBarManagerStyle style : {bmsStandard, bmsFlat}) {
    manager_->SetStyle(style);
    // A style change makes the item controls anew.
    TdxBarItemControl* one = ItemControlOf(bar, 0);
    ASSERT_TRUE(one);
    ui_test::MoveMouseTo(ui_test::ScreenPointOf(form_->Handle(), 250, 300));
    ui_test::MoveMouseTo(ScreenCentre(one));
    ASSERT_TRUE(one->GetIsSelected()) << int(style);
    auto shot = Shot(control);
    POINT origin{0, 0};
    ::ClientToScreen(control->Handle(), &origin);
    RECT window{};
    ::GetWindowRect(control->Handle(), &window);
    const TRect r = one->GetItemBounds();
    const int left = r.Left + origin.x - window.left;
    const int top = r.Top + origin.y - window.top;
    const int right = r.Right + origin.x - window.left - 1;
    const int bottom = r.Bottom + origin.y - window.top - 1;
    if (style == bmsStandard) {
      EXPECT_EQ(shot->At(left, top + 3), Sys(COLOR_BTNHIGHLIGHT));
      EXPECT_EQ(shot->At(right, top + 3), Sys(COLOR_BTNSHADOW));
      EXPECT_EQ(shot->At(left + 2, top + 2), Sys(COLOR_BTNFACE));
    } else {
      EXPECT_EQ(shot->At(left, top + 3), Sys(COLOR_HIGHLIGHT));
      EXPECT_EQ(shot->At(right, bottom), Sys(COLOR_HIGHLIGHT));
      const TdxBarFlatBrushes& brushes = dxBarFlatBrushes();
      LOGBRUSH selected{};
      ::GetObjectA(brushes.Selected, sizeof selected, &selected);
      EXPECT_EQ(shot->At(left + 2, top + 2), selected.lbColor);
    }
  }
}

}  // namespace
