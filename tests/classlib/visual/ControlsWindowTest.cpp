// Controls on a shown form: mouse and keyboard messages reaching the right
// control, focus moving by Tab, drag and drop between controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "UiDriverControlsWin.h"

using namespace ui_test;

namespace {

struct MouseHit {
  TObject* sender = nullptr;
  TMouseButton button = mbLeft;
  Integer x = -1, y = -1;
};

class ControlsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetBounds(20, 20, 420, 320);
    form->SetCaption("Controls");
    panel = new TPanel(form.get());
    panel->SetBounds(10, 10, 200, 120);
    panel->SetParent(form.get());
    label = new TLabel(form.get());
    label->SetAutoSize(false);
    label->SetBounds(20, 30, 60, 20);
    label->SetCaption("Label");
    label->SetParent(panel);
    edit1 = NewEdit(10, 150);
    edit2 = NewEdit(10, 180);
    edit3 = NewEdit(10, 210);
  }
  void TearDown() override {
    form.reset();
    PumpUntilIdle();
  }
  TEdit* NewEdit(Integer x, Integer y) {
    auto* e = new TEdit(form.get());
    e->SetBounds(x, y, 120, 21);
    e->SetParent(form.get());
    return e;
  }
  void ShowForm() {
    form->Show();
    PumpUntilIdle();
    ASSERT_TRUE(form->Showing());
  }
  // Parks the pointer off the form, where no move of it reaches the tests.
  void PointerAway() {
    RECT bounds;
    ::GetWindowRect(form->Handle(), &bounds);
    MoveMouseTo(POINT{bounds.right + 20, bounds.bottom + 20});
  }

  TCursorPosGuard pointer;  // the real pointer is shared by every test
  TObjectPtr<TForm> form;
  TPanel* panel = nullptr;
  TLabel* label = nullptr;
  TEdit* edit1 = nullptr;
  TEdit* edit2 = nullptr;
  TEdit* edit3 = nullptr;
};

TEST_F(ControlsWindowTest, MouseMessagesReachGraphicChildOrWindow) {
  ShowForm();
  std::vector<MouseHit> downs;
  auto record = TMouseEvent::FromFunction(
      [&](TObject* s, TMouseButton b, TShiftState, Integer x, Integer y) {
        downs.push_back({s, b, x, y});
      });
  label->OnMouseDown = record;
  panel->OnMouseDown = record;
  int labelClicks = 0;
  label->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++labelClicks; });

  // Over the label: the label gets it, in its own coordinates.
  Click(panel, 23, 34);
  // Elsewhere on the panel: the panel.
  RightClick(panel, 150, 90);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].sender, label);
  EXPECT_EQ(downs[0].x, 3);
  EXPECT_EQ(downs[0].y, 4);
  EXPECT_EQ(downs[1].sender, panel);
  EXPECT_EQ(downs[1].button, mbRight);
  EXPECT_EQ(downs[1].x, 150);
  EXPECT_EQ(labelClicks, 1);
}

TEST_F(ControlsWindowTest, ReleaseOutsideDoesNotClick) {
  ShowForm();
  int clicks = 0;
  label->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
  MouseDown(panel, 23, 34);
  // The label holds the mouse: the release outside still goes to it.
  MouseUp(panel, 190, 110);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(label->MouseCapture());
}

TEST_F(ControlsWindowTest, WheelGoesToFocusedControlThenToItsParents) {
  ShowForm();
  edit2->SetFocus();
  PumpUntilIdle();
  std::vector<TObject*> who;
  Integer delta = 0;
  edit2->OnMouseWheel = TMouseWheelEvent::FromFunction(
      [&](TObject* s, TShiftState, Integer, TPoint, bool& handled) {
        who.push_back(s);
        handled = false;
      });
  form->OnMouseWheel = TMouseWheelEvent::FromFunction(
      [&](TObject* s, TShiftState, Integer d, TPoint, bool& handled) {
        who.push_back(s);
        delta = d;
        handled = true;
      });
  // Sent to the panel's window, the wheel still goes to the focused edit.
  const POINT at = ScreenPointOf(panel, 5, 5);
  ::SendMessageA(panel->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120),
                 MAKELPARAM(at.x, at.y));
  EXPECT_EQ(who, (std::vector<TObject*>{edit2, form.get()}));
  EXPECT_EQ(delta, -120);
}

TEST_F(ControlsWindowTest, KeysReachFocusedEditUnlessFormPreviewTakesThem) {
  ShowForm();
  edit2->SetFocus();
  PumpUntilIdle();
  ASSERT_TRUE(edit2->Focused());
  std::vector<Word> editKeys;
  std::vector<char> editChars;
  edit2->OnKeyDown = TKeyEvent::FromFunction(
      [&](TObject*, Word& key, TShiftState) { editKeys.push_back(key); });
  edit2->OnKeyPress = TKeyPressEvent::FromFunction(
      [&](TObject*, char& key) { editChars.push_back(key); });
  std::vector<Word> formKeys;
  form->SetKeyPreview(true);
  form->OnKeyDown =
      TKeyEvent::FromFunction([&](TObject*, Word& key, TShiftState) {
        formKeys.push_back(key);
        if (key == VK_F2) key = 0;  // taken by the form
      });

  PressKeys({VK_F5});
  TypeText("a");
  PressKeys({VK_F2});
  // The typed character's key goes down before its character arrives.
  EXPECT_EQ(formKeys, (std::vector<Word>{VK_F5, 'A', VK_F2}));
  EXPECT_EQ(editKeys, (std::vector<Word>{VK_F5, 'A'}));
  EXPECT_EQ(editChars, (std::vector<char>{'a'}));
  EXPECT_EQ(edit2->Text(), "a");
}

TEST_F(ControlsWindowTest, TabMovesFocusInTabOrderSkippingNonStops) {
  ShowForm();
  edit2->SetTabStop(false);
  std::vector<String> events;
  auto enter = [&](const char* name) {
    return TNotifyEvent::FromFunction([&events, name](TObject*) {
      events.push_back(String("enter ") + name);
    });
  };
  auto exit = [&](const char* name) {
    return TNotifyEvent::FromFunction([&events, name](TObject*) {
      events.push_back(String("exit ") + name);
    });
  };
  edit1->OnEnter = enter("1");
  edit1->OnExit = exit("1");
  edit3->OnEnter = enter("3");
  edit1->SetFocus();
  PumpUntilIdle();
  ASSERT_EQ(form->ActiveControl(), edit1);
  events.clear();

  PressKeys({VK_TAB});
  EXPECT_EQ(form->ActiveControl(), edit3);
  EXPECT_TRUE(edit3->Focused());
  EXPECT_EQ(events, (std::vector<String>{"exit 1", "enter 3"}));

  // Backwards from the first: around to the last tab stop.
  form->SelectNext(edit1, false, true);
  PumpUntilIdle();
  EXPECT_EQ(form->ActiveControl(), edit3);
}

TEST_F(ControlsWindowTest, AltAcceleratorOfLabelFocusesItsControl) {
  ShowForm();
  label->SetCaption("&Name");
  label->SetFocusControl(edit3);
  edit1->SetFocus();
  PumpUntilIdle();
  PressKeys({VK_MENU, 'N'});
  EXPECT_EQ(form->ActiveControl(), edit3);
  EXPECT_TRUE(edit3->Focused());
}

TEST_F(ControlsWindowTest, MouseEnterAndLeaveFollowThePointer) {
  ShowForm();
  PointerAway();
  std::vector<String> events;
  label->OnMouseEnter = TNotifyEvent::FromFunction(
      [&](TObject*) { events.push_back("enter label"); });
  label->OnMouseLeave = TNotifyEvent::FromFunction(
      [&](TObject*) { events.push_back("leave label"); });
  panel->OnMouseEnter = TNotifyEvent::FromFunction(
      [&](TObject*) { events.push_back("enter panel"); });
  // Onto the label first, from off the form.
  MoveMouseTo(panel, 25, 35);
  events.clear();
  MoveMouseTo(panel, 150, 100);
  MoveMouseTo(panel, 25, 35);
  MoveMouseTo(panel, 150, 100);
  EXPECT_EQ(events,
            (std::vector<String>{"leave label", "enter panel", "enter label",
                                 "leave label", "enter panel"}));
}

TEST_F(ControlsWindowTest, DragFromOneControlDropsOnAnother) {
  auto* target = new TPanel(form.get());
  target->SetBounds(230, 10, 150, 120);
  target->SetParent(form.get());
  // The drop point goes through TControl::ScreenToClient: on a form with a
  // caption and frame, so that it must count from the client area.
  ShowForm();

  std::vector<TDragState> overStates;
  TObject* overSource = nullptr;
  target->OnDragOver = TDragOverEvent::FromFunction(
      [&](TObject*, TObject* source, Integer, Integer, TDragState state,
          bool& accept) {
        overStates.push_back(state);
        overSource = source;
        accept = source == label;
      });
  TObject* dropSource = nullptr;
  TPoint dropAt{-1, -1};
  target->OnDragDrop = TDragDropEvent::FromFunction(
      [&](TObject*, TObject* source, Integer x, Integer y) {
        dropSource = source;
        dropAt = {x, y};
      });
  TObject* endTarget = reinterpret_cast<TObject*>(1);
  label->OnEndDrag = TEndDragEvent::FromFunction(
      [&](TObject*, TObject* t, Integer, Integer) { endTarget = t; });

  label->SetDragMode(dmAutomatic);
  MouseDown(label, 5, 5);
  ASSERT_TRUE(label->Dragging());
  MoveMouseTo(target, 40, 50);
  MoveMouseTo(target, 41, 52);
  MouseUp(target, 41, 52);

  EXPECT_FALSE(label->Dragging());
  ASSERT_GE(overStates.size(), 2u);
  EXPECT_EQ(overStates[0], dsDragEnter);
  EXPECT_EQ(overStates[1], dsDragMove);
  EXPECT_EQ(overSource, label);
  EXPECT_EQ(dropSource, label);
  EXPECT_EQ(dropAt.X, 41);
  EXPECT_EQ(dropAt.Y, 52);
  EXPECT_EQ(endTarget, target);
}

TEST_F(ControlsWindowTest, ScreenPointsCountFromTheClientAreas) {
  ShowForm();
  ASSERT_NE(form->BorderStyle(), bsNone);
  POINT formOrigin{0, 0};
  ::ClientToScreen(form->Handle(), &formOrigin);
  POINT panelOrigin{0, 0};
  ::ClientToScreen(panel->Handle(), &panelOrigin);
  const TPoint atPanel = panel->ClientToScreen({3, 4});
  EXPECT_EQ(atPanel.X, panelOrigin.x + 3);
  EXPECT_EQ(atPanel.Y, panelOrigin.y + 4);
  // A control without a window of its own counts from its parent's.
  POINT labelParent{0, 0};
  ::ClientToScreen(label->Parent()->Handle(), &labelParent);
  const TPoint atLabel = label->ClientToScreen({0, 0});
  EXPECT_EQ(atLabel.X, labelParent.x + label->Left());
  EXPECT_EQ(atLabel.Y, labelParent.y + label->Top());
  const TPoint back = label->ScreenToClient(atLabel);
  EXPECT_EQ(back.X, 0);
  EXPECT_EQ(back.Y, 0);
  EXPECT_NE(formOrigin.y, form->Top());  // the caption lies between
}

TEST_F(ControlsWindowTest, RefusedOrCancelledDragEndsWithoutTarget) {
  ShowForm();
  bool dropped = false;
  edit1->OnDragDrop = TDragDropEvent::FromFunction(
      [&](TObject*, TObject*, Integer, Integer) { dropped = true; });
  int ends = 0;
  TObject* endTarget = nullptr;
  panel->OnEndDrag =
      TEndDragEvent::FromFunction([&](TObject*, TObject* t, Integer, Integer) {
        ++ends;
        endTarget = t;
      });
  // edit1 has no OnDragOver: it refuses.
  panel->SetDragMode(dmAutomatic);
  Drag(panel, 150, 90, edit1, 5, 5);
  EXPECT_FALSE(dropped);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(endTarget, nullptr);

  // Escape cancels a drag under way.
  panel->BeginDrag(true);
  PressKeys({VK_ESCAPE});
  EXPECT_FALSE(panel->Dragging());
  EXPECT_EQ(ends, 2);
}

TEST_F(ControlsWindowTest, AutomaticDragStartsAfterThreshold) {
  ShowForm();
  label->SetDragMode(dmAutomatic);
  int starts = 0;
  label->OnStartDrag =
      TStartDragEvent::FromFunction([&](TObject*, TDragObject*&) { ++starts; });
  MouseDown(panel, 25, 35);
  ASSERT_TRUE(label->Dragging());
  // Within the threshold nothing starts; beyond it the drag does.
  MoveMouseTo(panel, 26, 35);
  EXPECT_EQ(starts, 0);
  MoveMouseTo(panel, 65, 35);
  EXPECT_EQ(starts, 1);
  CancelDrag();
  EXPECT_FALSE(label->Dragging());
  MouseUp(panel, 65, 35);
}

TEST_F(ControlsWindowTest, RecreatedWindowKeepsTextAndChildren) {
  ShowForm();
  edit1->SetText("kept");
  HWND before = panel->Handle();
  panel->SetBorderStyle(bsSingle);
  EXPECT_NE(panel->Handle(), before);
  EXPECT_TRUE(panel->Showing());
  edit1->SetBorderStyle(bsNone);
  EXPECT_EQ(edit1->Text(), "kept");
  EXPECT_TRUE(::IsWindowVisible(edit1->Handle()));
  EXPECT_EQ(FindControl(edit1->Handle()), edit1);
}

}  // namespace

namespace {

TEST_F(ControlsWindowTest, HintShowsShortPartAfterPauseAndCanBeRefused) {
  ShowForm();
  label->SetHint("Tip|The long hint");
  label->SetShowHint(true);
  struct THintPauseGuard {
    const Integer saved = Application->HintPause();
    ~THintPauseGuard() {
      Application->SetHintPause(saved);
      Application->CancelHint();
    }
  } hintPause;
  Application->SetHintPause(10);
  PointerAway();
  MoveMouseTo(panel, 150, 100);
  MoveMouseTo(panel, 25, 35);
  EXPECT_EQ(Application->Hint(), "The long hint");
  ASSERT_TRUE(WaitUntil(
      [] {
        return Application->HintWindow() &&
               Application->HintWindow()->IsHintShowing();
      },
      "the hint window"));
  EXPECT_EQ(Application->HintWindow()->Caption(), "Tip");
  Application->CancelHint();
  EXPECT_FALSE(Application->HintWindow()->IsHintShowing());

  // A control that answers CM_HINTSHOW with non-zero gets no hint.
  edit1->SetHint("never");
  edit1->SetShowHint(true);
  struct TWindowProcGuard {
    TControl* control;
    TWndMethod saved = control->WindowProc;
    ~TWindowProcGuard() { control->WindowProc = saved; }
  } windowProc{edit1};
  bool asked = false;
  edit1->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      asked = true;
      m.Result = 1;
      return;
    }
    windowProc.saved(m);
  });
  MoveMouseTo(edit1, 3, 3);
  EXPECT_TRUE(WaitUntil([&] { return asked; }, "the hint to be asked for"));
  PumpUntilIdle();
  EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
}

}  // namespace

namespace {

// Paints its client area in one colour.
class TSolidControl : public TCustomControl {
  VARNEL_CLASS(TSolidControl, TCustomControl)
 public:
  explicit TSolidControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  TColor Fill = clRed;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

class TSolidGraphic : public TGraphicControl {
  VARNEL_CLASS(TSolidGraphic, TGraphicControl)
 public:
  explicit TSolidGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(ClientRect());
  }
};

COLORREF PixelOf(TWinControl* c, int x, int y) {
  const TWindowDC dc(c->Handle());
  return ::GetPixel(dc.get(), x, y);
}

TEST(ControlsPaint, CustomAndGraphicControlsPaintTheirAreas) {
  for (bool buffered : {false, true}) {
    SCOPED_TRACE(buffered);
    TObjectPtr<TForm> form(new TForm(nullptr));
    form->SetBounds(50, 50, 300, 200);
    auto* solid = new TSolidControl(form.get());
    solid->SetBounds(10, 10, 120, 80);
    solid->SetDoubleBuffered(buffered);
    solid->SetParent(form.get());
    auto* graphic = new TSolidGraphic(form.get());
    graphic->SetBounds(20, 20, 30, 30);
    graphic->SetParent(solid);
    form->Show();
    solid->Repaint();
    ui_test::PumpUntilIdle();
    EXPECT_GT(solid->Paints, 0);
    EXPECT_EQ(PixelOf(solid, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(solid, 25, 25), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(solid, 60, 60), RGB(255, 0, 0));
  }
}

TEST(ControlsPaint, ApplicationMinimizeAndRestoreReachApplicationEvents) {
  TApplicationEvents events(nullptr);
  int minimized = 0, restored = 0;
  events.OnMinimize =
      TNotifyEvent::FromFunction([&](TObject*) { ++minimized; });
  events.OnRestore = TNotifyEvent::FromFunction([&](TObject*) { ++restored; });
  Application->Minimize();
  Application->Minimize();  // already minimized: nothing more
  Application->Restore();
  ui_test::PumpUntilIdle();
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(restored, 1);
}

}  // namespace

namespace {

TEST_F(ControlsWindowTest, CursorOfControlOrScreenIsSetOverTheWindow) {
  ShowForm();
  panel->SetCursor(crHandPoint);
  MoveMouseTo(panel, 150, 90);
  EXPECT_EQ(::GetCursor(), Screen->Cursors(crHandPoint));
  struct TScreenCursorGuard {
    ~TScreenCursorGuard() { Screen->SetCursor(crDefault); }
  } screenCursor;
  Screen->SetCursor(crHourGlass);
  MoveMouseTo(panel, 151, 90);
  EXPECT_EQ(::GetCursor(), Screen->Cursors(crHourGlass));
}

TEST_F(ControlsWindowTest, DisablingFocusedControlDisablesWindowAndDropsFocus) {
  ShowForm();
  edit2->SetFocus();
  PumpUntilIdle();
  ASSERT_EQ(form->ActiveControl(), edit2);
  edit2->SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(edit2->Handle()));
  EXPECT_NE(form->ActiveControl(), edit2);
  EXPECT_FALSE(edit2->CanFocus());
  edit2->SetEnabled(true);
  EXPECT_TRUE(::IsWindowEnabled(edit2->Handle()));
  // Hiding works the same way.
  edit2->SetFocus();
  PumpUntilIdle();
  edit2->SetVisible(false);
  EXPECT_FALSE(::IsWindowVisible(edit2->Handle()));
  EXPECT_NE(form->ActiveControl(), edit2);
}

TEST_F(ControlsWindowTest, PopupParentOwnsTheFormWindow) {
  ShowForm();
  TObjectPtr<TForm> popup(new TForm(nullptr));
  popup->SetPopupParent(form.get());
  popup->SetFormStyle(fsStayOnTop);
  popup->Show();
  EXPECT_EQ(::GetWindow(popup->Handle(), GW_OWNER), form->Handle());
  EXPECT_NE(::GetWindowLongA(popup->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // The popup parent going away leaves no dangling reference.
  form.reset();
  EXPECT_EQ(popup->PopupParent(), nullptr);
}

}  // namespace

namespace {

TEST_F(ControlsWindowTest, SystemSettingChangesReachNestedControls) {
  ShowForm();
  std::vector<UINT> seen;
  TWndMethod old = label->WindowProc;
  label->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE) seen.push_back(m.Msg);
    old(m);
  });
  ::SendMessageA(form->Handle(), WM_SETTINGCHANGE, 0, 0);
  ::SendMessageA(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  label->WindowProc = old;
  EXPECT_EQ(seen, (std::vector<UINT>{CM_WININICHANGE, CM_SYSCOLORCHANGE}));
}

}  // namespace

namespace {

// A strip that, like a dock measuring its rows, answers the size its window
// is given with the height its content wants, from inside WM_SIZE.
class TSelfSizingStrip : public TPanel {
 public:
  explicit TSelfSizingStrip(TComponent* AOwner) : TPanel(AOwner) {}
  Integer Wanted = 44;

 protected:
  void WndProc(TMessage& Message) override {
    TPanel::WndProc(Message);
    if (Message.Msg == WM_SIZE && Height() != Wanted) SetHeight(Wanted);
  }
};

TEST(ControlsBoundsTest, ABoundsChangeMadeWhileTheWindowMovesReachesTheWindow) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(40, 40, 400, 300);
  auto* strip = new TSelfSizingStrip(form.get());
  strip->SetParent(form.get());
  strip->SetBounds(0, 0, 300, 44);
  auto* below = new TPanel(form.get());
  below->SetParent(form.get());
  below->SetAlign(alClient);
  strip->SetAlign(alTop);
  form->Show();
  ASSERT_TRUE(PumpUntilIdle());
  // The window is asked for 98; the strip's own resize answers 44 while
  // the window is still moving.
  strip->SetBounds(0, 0, 300, 98);
  ASSERT_TRUE(PumpUntilIdle());
  RECT r;
  ::GetWindowRect(strip->Handle(), &r);
  EXPECT_EQ(strip->Height(), 44);
  EXPECT_EQ(r.bottom - r.top, 44);
  // What lies below starts where the strip's window ends.
  ::GetWindowRect(below->Handle(), &r);
  EXPECT_EQ(ScreenPointOf(form.get(), 0, 44).y, r.top);
}

}  // namespace
