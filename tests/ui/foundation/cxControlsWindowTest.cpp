// The control unit's windowed parts driven through their window procedures:
// timers, popup placement, drag-and-drop arrows, the painted scroll bar,
// the control base's mouse, keyboard and drag-and-drop states, and its
// scrolling. Input goes through the UI driver, as a person's would; every
// wait has a deadline that fails.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Forms.h"
#include "SysConst.h"
#include "UiDriverControlsWin.h"
#include "cxControls.h"
#include "cxScrollBar.h"

using namespace ui_test;

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(50, 50, 400, 300);
    form_->Show();
    PumpUntilIdle();
    ASSERT_TRUE(form_->Showing());
  }
  // The real pointer and buttons are shared by every test: put back when
  // the test ends, the buttons before its form goes.
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
};

// --- Timer ---------------------------------------------------------------

TEST(TimerTest, RunsOnlyWithAHandlerAndStopsWithoutOne) {
  TcxTimer timer(nullptr);
  const Integer before = cxRunningTimerCount();
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.TimerOn());
  int fired = 0;
  timer.SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) { ++fired; }));
  EXPECT_TRUE(timer.TimerOn());
  EXPECT_EQ(cxRunningTimerCount(), before + 1);
  timer.SetOnTimer(nullptr);
  EXPECT_FALSE(timer.TimerOn());
  EXPECT_EQ(cxRunningTimerCount(), before);
}

TEST(TimerTest, IntervalZeroIsRefused) {
  TcxTimer timer(nullptr);
  timer.SetInterval(250);
  timer.SetInterval(0);
  EXPECT_EQ(timer.Interval(), 250u);
}

TEST(TimerTest, FiresThroughTheSharedWindowAndStopsWhenDisabled) {
  TcxTimer timer(nullptr);
  timer.SetInterval(10);
  int fired = 0;
  timer.SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) {
    if (++fired == 2) timer.SetEnabled(false);
  }));
  ASSERT_TRUE(WaitUntil([&] { return fired >= 2; }, "two ticks"));
  EXPECT_FALSE(timer.TimerOn());
  EXPECT_EQ(fired, 2);
}

TEST(TimerTest, ALateMessageOfAFreedTimerIsDropped) {
  int fired = 0;
  auto timer = std::make_unique<TcxTimer>(nullptr);
  timer->SetInterval(10);
  timer->SetOnTimer(TNotifyEvent::FromFunction([&](TObject*) { ++fired; }));
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(timer.get());
  timer.reset();
  // A WM_TIMER with the freed timer's identifier reaches every window of
  // the thread; none may call into the freed object. Sent directly: only
  // the system makes timer messages, and a late one cannot be had on demand.
  ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
  ::SendMessageA(cxMessageWindow()->Handle(), WM_TIMER, id, 0);
  EXPECT_EQ(fired, 0);
}

// --- Popup placement
// -----------------------------------------------------------

struct PopupCase {
  const char* Name;
  TRect Owner;
  TSize Size;
  TcxPopupDirection Direction;
  TcxPopupAlignHorz Horz;
  TcxPopupAlignVert Vert;
  TPoint Expected;
};

class PopupPositionTest : public testing::TestWithParam<PopupCase> {};

TEST_P(PopupPositionTest, FlipsAlongAndClampsAcross) {
  const PopupCase& c = GetParam();
  const TRect area = Rect(0, 0, 800, 600);
  const TPoint p = cxCalculatePopupPosition(c.Owner, c.Size, c.Direction,
                                            c.Horz, c.Vert, area);
  EXPECT_EQ(p.X, c.Expected.X);
  EXPECT_EQ(p.Y, c.Expected.Y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PopupPositionTest,
    testing::Values(
        PopupCase{"Below", Rect(100, 100, 200, 120), TSize{150, 200},
                  pdVertical, pahLeft, pavBottom, TPoint{100, 120}},
        // Near the bottom with more room above: opens above the owner.
        PopupCase{"AboveWhenMoreRoom", Rect(100, 500, 200, 520),
                  TSize{150, 200}, pdVertical, pahLeft, pavBottom,
                  TPoint{100, 300}},
        // Near the bottom with less room above: stays below, unclamped.
        PopupCase{"StaysBelowWhenLessRoom", Rect(100, 250, 200, 270),
                  TSize{150, 400}, pdVertical, pahLeft, pavBottom,
                  TPoint{100, 270}},
        PopupCase{"ClampedAcross", Rect(700, 100, 790, 120), TSize{150, 50},
                  pdVertical, pahLeft, pavBottom, TPoint{650, 120}},
        PopupCase{"CentredWiderThanArea", Rect(300, 100, 400, 120),
                  TSize{1000, 50}, pdVertical, pahCenter, pavBottom,
                  TPoint{0, 120}},
        PopupCase{"RightFlipsLeft", Rect(700, 100, 750, 120), TSize{200, 50},
                  pdHorizontal, pahRight, pavTop, TPoint{500, 100}}),
    [](const testing::TestParamInfo<PopupCase>& info) {
      return String(info.param.Name);
    });

TEST_F(WindowTest, PopupWindowFitsItsChildrenInsideItsBorders) {
  TcxPopupWindow popup;
  popup.SetBorderStyle(pbs3D);
  popup.SetBorderSpace(3);
  auto* child = new TCustomControl(&popup);
  child->SetBounds(0, 0, 80, 40);
  child->SetParent(&popup);
  popup.SetOwnerParent(form_.get());
  popup.SetOwnerBounds(Rect(10, 10, 60, 30));
  popup.Popup();
  EXPECT_EQ(child->Left(), 5);
  EXPECT_EQ(child->Top(), 5);
  EXPECT_EQ(popup.Width(), 90);
  EXPECT_EQ(popup.Height(), 50);
  const TPoint owner = form_->ClientToScreen(TPoint{10, 30});
  EXPECT_EQ(popup.Left(), owner.X);
  EXPECT_EQ(popup.Top(), owner.Y);
  popup.CloseUp();
  EXPECT_FALSE(popup.Visible());
}

TEST_F(WindowTest, DragImageLetsTheMouseThrough) {
  TcxDragImage image;
  image.Init(Rect(0, 0, 20, 10), TPoint{5, 5});
  image.MoveTo(TPoint{200, 200});
  EXPECT_EQ(image.Left(), 195);
  EXPECT_EQ(image.Top(), 195);
  EXPECT_EQ(image.Image()->Width(), 20);
  // Only the system asks the hit test, and its answer is what lets the
  // mouse through. A real click through the shown image was tried here: under
  // Wine it reaches the form or not depending on the X stacking that earlier
  // processes of the session leave, so it cannot fail for the right reason.
  image.Show();
  PumpUntilIdle();
  ASSERT_TRUE(image.Visible());
  EXPECT_EQ(
      ::SendMessageA(image.Handle(), WM_NCHITTEST, 0, MAKELPARAM(200, 200)),
      HTTRANSPARENT);
}

struct ArrowCase {
  TcxArrowPlace Place;
  TRect Expected;
};

TEST(DragAndDropArrowTest, BoundsStandBesideTheArea) {
  const TRect area = Rect(10, 20, 50, 60);
  for (const ArrowCase& c : {ArrowCase{apLeft, Rect(1, 15, 10, 26)},
                             ArrowCase{apRight, Rect(50, 15, 59, 26)},
                             ArrowCase{apTop, Rect(5, 11, 16, 20)},
                             ArrowCase{apBottom, Rect(5, 60, 16, 69)}})
    EXPECT_EQ(GetDragAndDropArrowBounds(area, TRect{}, c.Place), c.Expected)
        << int(c.Place);
  // Clamped into the client rectangle first.
  EXPECT_EQ(GetDragAndDropArrowBounds(area, Rect(0, 0, 30, 30), apRight),
            Rect(29, 15, 38, 26));
}

TEST(DragAndDropArrowTest, RegionPolygonIsOnePixelLarger) {
  std::vector<TPoint> draw, region;
  GetDragAndDropArrowPoints(Rect(0, 0, 9, 11), apLeft, draw, false);
  GetDragAndDropArrowPoints(Rect(0, 0, 9, 11), apLeft, region, true);
  ASSERT_EQ(draw.size(), 7u);
  EXPECT_EQ(draw[6], (TPoint{8, 5}));
  EXPECT_EQ(region[6], (TPoint{9, 5}));
  EXPECT_EQ(region[0], (TPoint{3, -1}));
}

// --- Scroll bar ----------------------------------------------------------

class ScrollBarTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    bar_ = new TcxScrollBar(form_.get());
    bar_->SetBounds(10, 100, 300, 17);
    bar_->SetParent(form_.get());
    bar_->HandleNeeded();
    PumpUntilIdle();
  }
  TPoint ThumbCentre() const {
    return cxRectCenter(bar_->ViewInfo()->ThumbnailRect);
  }
  TcxScrollBar* bar_ = nullptr;
};

TEST_F(ScrollBarTest, MaxBelowMinIsOutOfRange) {
  try {
    bar_->SetMax(-1);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Scrollbar property out of range");
  }
  EXPECT_EQ(bar_->Max(), 100);
}

TEST_F(ScrollBarTest, ThumbDraggedToTheEndOfAPagedRangeGives91) {
  bar_->SetScrollParams(0, 100, 0, 10);
  std::vector<TScrollCode> codes;
  bar_->OnScroll = TScrollEvent::FromFunction(
      [&](TObject*, TScrollCode code, Integer&) { codes.push_back(code); });
  const TPoint t = ThumbCentre();
  MouseDown(bar_, t.X, t.Y);
  EXPECT_EQ(bar_->PressedPart(), sbpThumbnail);
  // Past the end, but inside the tracking area along the bar.
  MoveMouseTo(bar_, bar_->Width() + 20, t.Y);
  EXPECT_EQ(bar_->Position(), 91);
  MouseUp(bar_, bar_->Width() + 20, t.Y);
  EXPECT_EQ(bar_->Position(), 91);
  EXPECT_EQ(bar_->PressedPart(), sbpNone);
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes[codes.size() - 2], scPosition);
  EXPECT_EQ(codes.back(), scEndScroll);
}

TEST_F(ScrollBarTest, DragFarAcrossTheBarSnapsBackUnlessUnlimited) {
  for (bool unlimited : {false, true}) {
    bar_->SetScrollParams(0, 100, 0, 10);
    bar_->SetUnlimitedTracking(unlimited);
    const TPoint t = ThumbCentre();
    MouseDown(bar_, t.X, t.Y);
    MoveMouseTo(bar_, t.X + 100, t.Y);
    const Integer dragged = bar_->Position();
    EXPECT_GT(dragged, 0);
    MoveMouseTo(bar_, t.X + 100, bar_->Height() + 140);
    EXPECT_EQ(bar_->Position(), unlimited ? dragged : 0) << unlimited;
    MoveMouseTo(bar_, t.X + 100, bar_->Height() + 130);
    EXPECT_EQ(bar_->Position(), dragged) << unlimited;
    MouseUp(bar_, t.X + 100, bar_->Height() + 130);
  }
}

TEST_F(ScrollBarTest, PageAreaRepeatsAfterTheFirstDelay) {
  bar_->SetScrollParams(0, 100, 0, 10);
  bar_->SetLargeChange(10);
  const TRect page = bar_->ViewInfo()->PageDownRect;
  const TPoint p = cxRectCenter(page);
  MouseDown(bar_, p.X, p.Y);
  EXPECT_EQ(bar_->Position(), 10);
  EXPECT_TRUE(bar_->Timer()->Enabled());
  EXPECT_EQ(bar_->Timer()->Interval(), 400u);
  // The button stays down on the pressed part while the test fires the
  // tick itself.
  bar_->Timer()->TimeOut();
  EXPECT_EQ(bar_->Position(), 20);
  EXPECT_EQ(bar_->Timer()->Interval(), 60u);
  MouseUp(bar_, p.X, p.Y);
  EXPECT_FALSE(bar_->Timer()->Enabled());
}

TEST_F(ScrollBarTest, ChangedPositionEnablesADisabledBar) {
  bar_->SetEnabled(false);
  bar_->SetPosition(30);
  EXPECT_TRUE(bar_->Enabled());
}

TEST_F(ScrollBarTest, KindChangeSwapsTheSize) {
  bar_->SetKind(sbVertical);
  EXPECT_EQ(bar_->Width(), 17);
  EXPECT_EQ(bar_->Height(), 300);
}

TEST_F(ScrollBarTest, NoThumbWhenTheTrackIsTooShort) {
  bar_->SetBounds(10, 100, 2 * ::GetSystemMetrics(SM_CYHSCROLL) + 3, 17);
  bar_->SetScrollParams(0, 100, 0, 10);
  EXPECT_FALSE(bar_->ViewInfo()->HasThumb());
  EXPECT_EQ(
      bar_->GetScrollBarPart(TPoint{::GetSystemMetrics(SM_CYHSCROLL) + 1, 5}),
      sbpNone);
}

// --- Services --------------------------------------------------------------

TEST(ControlServicesTest, RemoveAccelChars) {
  const std::pair<const char*, const char*> cases[] = {
      {"&File", "File"}, {"a&&b", "a&b"},          {"end&", "end_"},
      {"", ""},          {"no marks", "no marks"}, {"&&&x", "&x"}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(RemoveAccelChars(in), out) << in;
}

TEST(ControlServicesTest, IsNumericChar) {
  const char sep = DecimalSeparator;
  struct Case {
    char C;
    bool Int, Float, Exp;
  };
  for (const Case& c :
       {Case{'5', true, true, true}, Case{'-', true, true, true},
        Case{'+', true, true, true}, Case{sep, false, true, true},
        Case{'e', false, false, true}, Case{'E', false, false, true},
        Case{'x', false, false, false}}) {
    EXPECT_EQ(IsNumericChar(c.C, ntInteger), c.Int) << c.C;
    EXPECT_EQ(IsNumericChar(c.C, ntFloat), c.Float) << c.C;
    EXPECT_EQ(IsNumericChar(c.C, ntExponent), c.Exp) << c.C;
  }
}

TEST(ControlServicesTest, PointPosition) {
  const TRect r = Rect(0, 0, 100, 100);
  EXPECT_EQ(GetPointPosition(r, TPoint{50, 90}, true, true), posBottom);
  EXPECT_EQ(GetPointPosition(r, TPoint{50, 10}, true, true), posTop);
  EXPECT_EQ(GetPointPosition(r, TPoint{10, 50}, true, true), posLeft);
  EXPECT_EQ(GetPointPosition(r, TPoint{90, 50}, true, true), posRight);
  EXPECT_EQ(GetPointPosition(r, TPoint{10, 90}, true, false), posLeft);
  EXPECT_EQ(GetPointPosition(r, TPoint{10, 90}, false, true), posBottom);
  EXPECT_EQ(GetPointPosition(r, TPoint{10, 90}, false, false), posNone);
}

class TestTrackingCaller : public TInterfacedObject,
                           public IcxMouseTrackingCaller {
 public:
  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }
  void MouseLeave() override { ++Leaves; }
  int Leaves = 0;

 protected:
  void* GetInterfaceFor(const TGUID& iid) override {
    if (iid == IcxMouseTrackingCaller::IID)
      return static_cast<IcxMouseTrackingCaller*>(this);
    return TInterfacedObject::GetInterfaceFor(iid);
  }
};

TEST(ControlServicesTest, TrackingACallerTwiceKeepsOneTracker) {
  TIntfPtr<TestTrackingCaller> caller(new TestTrackingCaller);
  const Integer before = MouseTrackingCount();
  EndMouseTracking(caller.get());  // untracked: nothing
  BeginMouseTracking(nullptr, Rect(0, 0, 1, 1), caller.get());
  BeginMouseTracking(nullptr, Rect(0, 0, 1, 1), caller.get());
  EXPECT_EQ(MouseTrackingCount(), before + 1);
  EXPECT_TRUE(IsMouseTracking(caller.get()));
  EndMouseTracking(caller.get());
  EXPECT_FALSE(IsMouseTracking(caller.get()));
  EXPECT_EQ(MouseTrackingCount(), before);
}

TEST(ControlServicesTest, TrackerReportsLeaveWhenTheCursorIsOutside) {
  TCursorPosGuard pointer;
  TIntfPtr<TestTrackingCaller> caller(new TestTrackingCaller);
  MoveMouseTo(POINT{300, 300});
  BeginMouseTracking(nullptr, Rect(0, 0, 2, 2), caller.get());
  ASSERT_TRUE(
      WaitUntil([&] { return caller->Leaves > 0; }, "the tracker's leave"));
  EXPECT_FALSE(IsMouseTracking(caller.get()));
}

// A control that ends its tracking when it hears of the leave, as the
// containers do: the tracker that sent the message is freed under it.
class TLeaveEndsTracking : public TWinControl {
 public:
  using TWinControl::TWinControl;
  IcxMouseTrackingCaller* Caller = nullptr;
  int LeaveMessages = 0;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_MOUSELEAVE) {
      ++LeaveMessages;
      EndMouseTracking(Caller);
    }
    TWinControl::WndProc(Message);
  }
};

TEST(ControlServicesTest, ATrackerFreedByTheLeaveMessageEndsQuietly) {
  TCursorPosGuard pointer;
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(40, 40, 200, 150);
  auto* control = new TLeaveEndsTracking(form.get());
  control->SetParent(form.get());
  control->SetBounds(10, 10, 50, 30);
  form->Show();
  TIntfPtr<TestTrackingCaller> caller(new TestTrackingCaller);
  control->Caller = caller.get();
  MoveMouseTo(POINT{600, 500});
  BeginMouseTracking(control, Rect(0, 0, 50, 30), caller.get());
  ASSERT_TRUE(WaitUntil([&] { return !IsMouseTracking(caller.get()); },
                        "the tracking ended by the leave message"));
  EXPECT_EQ(control->LeaveMessages, 1);
  // The control had its leave; the caller is not told a second time.
  EXPECT_EQ(caller->Leaves, 0);
}

TEST(ControlServicesTest, LeftoverTrackersAreReportedNotThrown) {
  TCursorPosGuard pointer;
  TIntfPtr<TestTrackingCaller> caller(new TestTrackingCaller);
  // Far away bounds around a cursor placed inside keep the tracker alive.
  MoveMouseTo(POINT{300, 300});
  BeginMouseTracking(nullptr, Rect(0, 0, 2000, 2000), caller.get());
  bool clean = true;
  EXPECT_NO_THROW(clean = FreeMouseTrackingList());
  EXPECT_FALSE(clean);
  EXPECT_EQ(MouseTrackingCount(), 0);
  EXPECT_TRUE(FreeMouseTrackingList());
}

TEST(ControlServicesTest, HourglassWithoutShowChangesNothing) {
  Screen->SetCursor(crDefault);
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crDefault);
  ShowHourglassCursor();
  ShowHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  HideHourglassCursor();
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(ControlServicesTest, LibraryCursorsAreLoaded) {
  EXPECT_NE(Screen->Cursors(crDragCopy), Screen->Cursors(crDefault));
  EXPECT_NE(Screen->Cursors(crUpScroll), Screen->Cursors(crDefault));
  EXPECT_NE(dxWMGetSkinnedMessage, 0u);
}

// --- Control base --------------------------------------------------------

class TestControl : public TcxControl {
 public:
  explicit TestControl(TComponent* AOwner) : TcxControl(AOwner) {}
  bool AllowDragAndDrop = false;
  bool StealFocus = false;
  HWND FocusThief = nullptr;
  int Begins = 0;
  std::vector<bool> Ends;
  int UpdatePasses = 0;
  std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
  Integer ContentHeight = 0;

  bool StartDragAndDrop(const TPoint&) override { return AllowDragAndDrop; }
  void BeginDragAndDrop() override {
    ++Begins;
    TcxControl::BeginDragAndDrop();
  }
  void EndDragAndDrop(bool Accepted) override {
    Ends.push_back(Accepted);
    TcxControl::EndDragAndDrop(Accepted);
  }
  void InitScrollBarsParameters() override {
    ++UpdatePasses;
    SetScrollBarInfo(sbVertical, 0, ContentHeight - 1, 1,
                     GetClientBounds().Height(), 0, true, true);
  }
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer&) override {
    Scrolls.emplace_back(AKind, ACode);
  }
  void Dispatch(TMessage& Message) override {
    TcxControl::Dispatch(Message);
    if (Message.Msg == WM_SETFOCUS && StealFocus) ::SetFocus(FocusThief);
  }
};

class ControlTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    control_ = new TestControl(form_.get());
    control_->SetBounds(10, 10, 200, 150);
    control_->SetParent(form_.get());
    control_->HandleNeeded();
    PumpUntilIdle();
    control_->OnMouseDown =
        TMouseEvent::FromFunction([this](TObject*, TMouseButton, TShiftState,
                                         Integer, Integer) { ++mouseDowns_; });
  }
  TestControl* control_ = nullptr;
  int mouseDowns_ = 0;
};

TEST_F(ControlTest, PressAndReleaseWithoutMovingLeavesNoDragAndDrop) {
  control_->AllowDragAndDrop = true;
  MouseDown(control_, 50, 50);
  EXPECT_EQ(control_->DragAndDropState(), ddsStarting);
  MoveMouseTo(control_, 51, 51);
  EXPECT_EQ(control_->DragAndDropState(), ddsStarting);
  MouseUp(control_, 51, 51);
  EXPECT_EQ(control_->DragAndDropState(), ddsNone);
  EXPECT_EQ(control_->Begins, 0);
  EXPECT_EQ(mouseDowns_, 1);
}

TEST_F(ControlTest, EscDuringADragCancelsIt) {
  control_->AllowDragAndDrop = true;
  int escapes = 0;
  control_->OnKeyDown =
      TKeyEvent::FromFunction([&](TObject*, Word& key, TShiftState) {
        if (key == VK_ESCAPE) ++escapes;
      });
  MouseDown(control_, 50, 50);
  MoveMouseTo(control_, 90, 90);
  EXPECT_EQ(control_->DragAndDropState(), ddsInProcess);
  EXPECT_EQ(control_->Begins, 1);
  // While a drag runs, the control takes the key from the message loop and
  // hands it on to its window as Esc, once: the loop does not deliver it
  // a second time.
  PressKeys({VK_ESCAPE});
  EXPECT_EQ(escapes, 1);
  EXPECT_EQ(control_->DragAndDropState(), ddsNone);
  ASSERT_EQ(control_->Ends.size(), 1u);
  EXPECT_FALSE(control_->Ends[0]);
  MouseUp(control_, 90, 90);
  EXPECT_EQ(control_->Ends.size(), 1u);
}

TEST_F(ControlTest, ReleasingTheButtonAcceptsTheDrag) {
  control_->AllowDragAndDrop = true;
  MouseDown(control_, 50, 50);
  MoveMouseTo(control_, 90, 90);
  MouseUp(control_, 90, 90);
  ASSERT_EQ(control_->Ends.size(), 1u);
  EXPECT_TRUE(control_->Ends[0]);
  EXPECT_EQ(control_->DragAndDropState(), ddsNone);
}

TEST_F(ControlTest, ClickThatCannotFocusFiresNoMouseDown) {
  auto* other = new TCustomControl(form_.get());
  other->SetBounds(250, 10, 50, 50);
  other->SetParent(form_.get());
  other->SetTabStop(true);
  control_->StealFocus = true;
  control_->FocusThief = other->Handle();
  control_->AllowDragAndDrop = true;
  MouseDown(control_, 50, 50);
  EXPECT_EQ(mouseDowns_, 0);
  EXPECT_EQ(control_->DragAndDropState(), ddsNone);
  EXPECT_FALSE(control_->MouseCapture());
  MouseUp(control_, 50, 50);
  // A control that takes the focus gets the press.
  control_->StealFocus = false;
  MouseDown(control_, 50, 50);
  MouseUp(control_, 50, 50);
  EXPECT_EQ(mouseDowns_, 1);
}

// Asked directly: only the system sends WM_GETDLGCODE (dialog navigation
// asks the focused window), and the answer is what is checked.
TEST_F(ControlTest, KeysAnswerTheDialogCode) {
  EXPECT_EQ(::SendMessageA(control_->Handle(), WM_GETDLGCODE, 0, 0), 0);
  control_->SetKeys({kArrows, kChars, kTab});
  EXPECT_EQ(::SendMessageA(control_->Handle(), WM_GETDLGCODE, 0, 0),
            DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
  control_->SetKeys({kAll});
  EXPECT_EQ(::SendMessageA(control_->Handle(), WM_GETDLGCODE, 0, 0),
            DLGC_WANTALLKEYS);
}

TEST_F(ControlTest, PopupMenuTakesOnlyMenus) {
  auto* menu = new TPopupMenu(form_.get());
  control_->SetPopupMenu(menu);
  EXPECT_EQ(control_->PopupMenu(), menu);
  auto* notMenu = new TcxTimer(form_.get());
  control_->SetPopupMenu(notMenu);
  EXPECT_EQ(control_->PopupMenu(), nullptr);
  control_->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(control_->PopupMenu(), nullptr);
}

TEST_F(ControlTest, BorderShrinksTheClientBounds) {
  const TRect plain = control_->GetClientBounds();
  control_->SetBorderStyle(cxcbsDefault);
  const Integer border = control_->GetBorderSize();
  EXPECT_GT(border, 0);
  const TRect framed = control_->GetClientBounds();
  EXPECT_EQ(framed.Left, plain.Left + border);
  EXPECT_EQ(framed.Top, plain.Top + border);
}

// --- Scrolling ---------------------------------------------------------------

TEST_F(ControlTest, LockedControlUpdatesItsScrollBarsOnceAtTheLastUnlock) {
  control_->ContentHeight = 1000;
  control_->LockScrollBars();
  control_->LockScrollBars();
  control_->UpdatePasses = 0;
  for (int i = 0; i < 5; ++i) control_->UpdateScrollBars();
  control_->UnlockScrollBars();
  EXPECT_EQ(control_->UpdatePasses, 0);
  control_->UnlockScrollBars();
  EXPECT_GT(control_->UpdatePasses, 0);
  EXPECT_TRUE(control_->VScrollBarVisible());
  EXPECT_EQ(control_->VScrollBar()->Max(), 999);
  // Unlocking without a pending update runs none.
  control_->UpdatePasses = 0;
  control_->LockScrollBars();
  control_->UnlockScrollBars();
  EXPECT_EQ(control_->UpdatePasses, 0);
}

TEST_F(ControlTest, ContentThatFitsHidesTheBar) {
  control_->ContentHeight = 1000;
  control_->UpdateScrollBars();
  EXPECT_TRUE(control_->VScrollBarVisible());
  control_->ContentHeight = 10;
  control_->UpdateScrollBars();
  EXPECT_FALSE(control_->VScrollBarVisible());
}

TEST_F(ControlTest, ScrollStyleWithoutVerticalHidesIt) {
  control_->ContentHeight = 1000;
  control_->SetScrollBars(ssHorizontal);
  control_->UpdateScrollBars();
  EXPECT_FALSE(control_->VScrollBarVisible());
}

TEST_F(ControlTest, NegativeWheelDeltaScrollsDownByTheWheelLines) {
  control_->ContentHeight = 1000;
  control_->UpdateScrollBars();
  ASSERT_TRUE(control_->VScrollBarVisible());
  control_->Scrolls.clear();
  control_->SetFocus();
  PumpUntilIdle();
  int formWheels = 0;
  form_->OnMouseWheel = TMouseWheelEvent::FromFunction(
      [&](TObject*, TShiftState, Integer, TPoint, bool&) { ++formWheels; });
  Wheel(control_, 50, 50, -WHEEL_DELTA);
  // The control handles the wheel: its parents do not see it.
  EXPECT_EQ(formWheels, 0);
  ASSERT_EQ(static_cast<Integer>(control_->Scrolls.size()),
            Mouse->WheelScrollLines());
  for (auto [kind, code] : control_->Scrolls) {
    EXPECT_EQ(kind, sbVertical);
    EXPECT_EQ(code, scLineDown);
  }
}

TEST(AutoScrollTest, SpeedGrowsWithDistanceAndIsCapped) {
  TcxDirection dir = dirNone;
  Integer speed = 1;
  bool left = false;
  cxCalculateAutoScroll(TPoint{100, 100}, TPoint{105, 105}, 26, true, true, dir,
                        speed, left);
  EXPECT_EQ(dir, dirNone);
  EXPECT_EQ(speed, 0);
  EXPECT_FALSE(left);
  cxCalculateAutoScroll(TPoint{100, 100}, TPoint{100, 130}, 26, true, true, dir,
                        speed, left);
  EXPECT_EQ(dir, dirDown);
  EXPECT_EQ(speed, (30 - 13) / 5 + 1);
  EXPECT_TRUE(left);
  cxCalculateAutoScroll(TPoint{100, 100}, TPoint{-900, 110}, 26, true, true,
                        dir, speed, left);
  EXPECT_EQ(dir, dirLeft);
  EXPECT_EQ(speed, 12);
  // Without a horizontal bar only vertical movement counts.
  cxCalculateAutoScroll(TPoint{100, 100}, TPoint{400, 90}, 26, false, true, dir,
                        speed, left);
  EXPECT_EQ(dir, dirNone);
}

}  // namespace
