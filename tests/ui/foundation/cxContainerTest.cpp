// The container unit: style resolution and controllers, the drawing and
// window routines, the container's frame, shadow and state colours, the
// popup window with the thread hooks that close it (driven through real
// input), and the inner list box's type-ahead.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "cxContainer.h"
#include "cxContainerPrivate.h"

namespace {

using ui_test::WaitUntil;

// --- Styles --------------------------------------------------------------

class StyleOwner : public TPersistent {};

TEST(ContainerStyleTest, OwnValueWinsOverTheControllerChainOverTheDefault) {
  TcxStyleController outer(nullptr);
  TcxStyleController inner(nullptr);
  inner.GetStyle()->SetStyleController(&outer);
  TcxContainerStyles styles(nullptr, &cxNewContainerStyle<TcxContainerStyle>);
  TcxContainerStyle* normal = styles.GetStyleNormal();
  normal->SetStyleController(&inner);

  // Nothing assigned anywhere: the default.
  EXPECT_EQ(normal->BorderColor(), clWindowFrame);
  EXPECT_FALSE(normal->IsValueAssigned(csvBorderColor));
  // Assigned two controllers up the chain.
  outer.GetStyle()->SetBorderColor(clRed);
  EXPECT_EQ(normal->BorderColor(), clRed);
  EXPECT_TRUE(normal->IsValueAssigned(csvBorderColor));
  EXPECT_FALSE(normal->AssignedValues().Contains(csvBorderColor));
  // The nearer controller wins over the farther one.
  inner.GetStyle()->SetBorderColor(clLime);
  EXPECT_EQ(normal->BorderColor(), clLime);
  // The style's own value wins over both.
  normal->SetBorderColor(clBlue);
  EXPECT_EQ(normal->BorderColor(), clBlue);
  // A state style resolves through the controller's style of its state.
  outer.GetInternalStyle(csDisabled)->SetColor(clYellow);
  EXPECT_EQ(styles.GetStyleDisabled()->GetColor(), clYellow);
}

TEST(ContainerStyleTest, SharedValuesSetOnAStateStyleLandOnTheNormalStyle) {
  TcxContainerStyles styles(nullptr, &cxNewContainerStyle<TcxContainerStyle>);
  styles.GetStyleHot()->SetEdges({bLeft, bRight});
  EXPECT_TRUE(styles.GetStyleNormal()->AssignedValues().Contains(csvEdges));
  EXPECT_FALSE(styles.GetStyleHot()->AssignedValues().Contains(csvEdges));
  for (TcxContainerStateItem state :
       {csNormal, csActive, csDisabled, csHotTrack})
    EXPECT_EQ(styles.GetStyle(state)->Edges(), (TcxBorders{bLeft, bRight}))
        << state;
  styles.GetStyleFocused()->SetShadow(true);
  EXPECT_TRUE(styles.GetStyleNormal()->Shadow());
}

TEST(ContainerStyleTest, StateBorderStylesFollowTheNormalStyle) {
  struct Case {
    TcxContainerBorderStyle Normal;
    bool HotTrack;
    TcxContainerBorderStyle Hot;
    TcxContainerBorderStyle Disabled;
  };
  const Case cases[] = {
      {cbsSingle, true, cbsThick, cbsSingle},
      {cbsNone, true, cbsFlat, cbsNone},
      {cbsFlat, true, cbs3D, cbsFlat},
      {cbsUltraFlat, true, cbsUltraFlat, cbsUltraFlat},
      {cbsSingle, false, cbsSingle, cbsSingle},
      {cbsNone, false, cbsNone, cbsNone},
  };
  for (const Case& c : cases) {
    TcxContainerStyles styles(nullptr, &cxNewContainerStyle<TcxContainerStyle>);
    styles.GetStyleNormal()->SetBorderStyle(c.Normal);
    styles.GetStyleNormal()->SetHotTrack(c.HotTrack);
    EXPECT_EQ(styles.GetStyleHot()->BorderStyle(), c.Hot) << c.Normal;
    EXPECT_EQ(styles.GetStyleFocused()->BorderStyle(), c.Hot) << c.Normal;
    EXPECT_EQ(styles.GetStyleDisabled()->BorderStyle(), c.Disabled);
  }
}

TEST(ContainerStyleTest, DefaultBorderStyleFollowsTheLookAndFeelKind) {
  const std::pair<TcxLookAndFeelKind, TcxContainerBorderStyle> cases[] = {
      {lfFlat, cbsFlat},
      {lfStandard, cbs3D},
      {lfUltraFlat, cbsUltraFlat},
      {lfOffice11, cbsOffice11}};
  for (auto [kind, expected] : cases) {
    TcxContainerStyle style(nullptr, false);
    style.GetLookAndFeel()->SetKind(kind);
    EXPECT_EQ(style.BorderStyle(), expected) << kind;
  }
}

TEST(ContainerStyleTest, ValueNamesAreFoundWhateverTheCase) {
  TcxContainerStyle style(nullptr, false);
  TcxContainerStyleValue value = csvFont;
  EXPECT_TRUE(style.GetStyleValue("bordercolor", value));
  EXPECT_EQ(value, csvBorderColor);
  EXPECT_TRUE(style.GetStyleValue("TRANSPARENTBORDER", value));
  EXPECT_EQ(value, csvTransparentBorder);
  EXPECT_FALSE(style.GetStyleValue("LookAndFeel", value));
  String name = "x";
  EXPECT_FALSE(
      style.GetStyleValueName(static_cast<TcxContainerStyleValue>(10), name));
  EXPECT_TRUE(name.empty());
}

TEST(ContainerStyleTest, ChangesAreReportedOnceAfterTheOutermostEndUpdate) {
  TcxContainerStyle style(nullptr, false);
  int changes = 0;
  style.OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  style.EndUpdate();  // unmatched: nothing
  EXPECT_EQ(changes, 0);
  style.BeginUpdate();
  style.BeginUpdate();
  style.SetColor(clRed);
  style.SetBorderStyle(cbsThick);
  style.EndUpdate();
  EXPECT_EQ(changes, 0);
  style.EndUpdate();
  EXPECT_EQ(changes, 1);
  style.SetColor(clRed);  // unchanged: no report
  EXPECT_EQ(changes, 1);
}

TEST(StyleControllerTest, DestroyedControllerRebindsItsListenersToTheDefault) {
  TcxStyleController defaultController(nullptr);
  TRestoreOnExit useDefault(cxContainerDefaultStyleController,
                            &defaultController);
  TcxContainerStyle style(nullptr, false);
  EXPECT_EQ(style.GetActiveStyleController(), &defaultController);
  EXPECT_EQ(style.StyleController(), nullptr);  // the default reads as none
  {
    TObjectPtr<TcxStyleController> controller(new TcxStyleController(nullptr));
    style.SetStyleController(controller.get());
    EXPECT_EQ(style.StyleController(), controller.get());
    EXPECT_EQ(controller->ListenerCount(), 1);
    EXPECT_FALSE(defaultController.HasListener(&style));
  }
  EXPECT_EQ(style.GetActiveStyleController(), &defaultController);
  EXPECT_TRUE(defaultController.HasListener(&style));
}

TEST(StyleControllerTest, WithoutADefaultControllerListenersEndUnbound) {
  ASSERT_EQ(cxContainerDefaultStyleController, nullptr);
  TcxContainerStyle style(nullptr, false);
  {
    TcxStyleController controller(nullptr);
    style.SetStyleController(&controller);
    controller.GetStyle()->SetColor(clAqua);
    EXPECT_EQ(style.GetColor(), clAqua);
  }
  EXPECT_EQ(style.GetActiveStyleController(), nullptr);
  EXPECT_NE(style.GetColor(), clAqua);
}

TEST(StyleControllerTest, ACycleOfControllersIsRefused) {
  TcxStyleController a(nullptr);
  TcxStyleController b(nullptr);
  a.GetStyle()->SetStyleController(&b);
  // b -> a -> b would resolve its values through itself.
  b.GetStyle()->SetStyleController(&a);
  EXPECT_EQ(b.GetStyle()->StyleController(), nullptr);
  // A controller bound to its own style is refused too.
  a.GetStyle()->SetStyleController(&a);
  EXPECT_EQ(a.GetStyle()->StyleController(), &b);
  b.GetStyle()->SetBorderColor(clRed);
  EXPECT_EQ(a.GetStyle()->BorderColor(), clRed);
}

TEST(StyleControllerTest, ChangesReachEveryListener) {
  TcxStyleController controller(nullptr);
  TcxContainerStyle first(nullptr, false);
  TcxContainerStyle second(nullptr, false);
  first.SetStyleController(&controller);
  second.SetStyleController(&controller);
  int changes = 0;
  auto count = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  first.OnChanged = count;
  second.OnChanged = count;
  controller.GetStyle()->SetTextColor(clMaroon);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(first.TextColor(), clMaroon);
}

// --- Routines ------------------------------------------------------------

TEST(ContainerRoutinesTest, BorderWidthsAndBorderArithmetic) {
  const Integer widths[] = {0, 1, 2, 2, 2, 1, 1};
  for (Integer i = cbsNone; i <= cbsOffice11; ++i)
    EXPECT_EQ(GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(i)),
              widths[i]);
  EXPECT_EQ(GetContainerBorderWidth(lfFlat), 2);
  EXPECT_EQ(GetContainerBorderWidth(lfUltraFlat), 1);
  TRect r{10, 10, 50, 50};
  InflateRectByBorders(r, 3, cxBordersAll);
  EXPECT_EQ(r, (TRect{10, 10, 50, 50}));
  ExtendRectByBorders(r, 3, {});
  EXPECT_EQ(r, (TRect{10, 10, 50, 50}));
  InflateRectByBorders(r, 3, {bLeft, bTop});
  EXPECT_EQ(r, (TRect{10, 10, 47, 47}));
  ExtendRectByBorders(r, 2, {bLeft, bBottom});
  EXPECT_EQ(r, (TRect{8, 10, 47, 49}));
}

TEST(ContainerRoutinesTest, AppWindowsComeBackOnlyWhenTheOutermostLockEnds) {
  TObjectPtr<TForm> open(new TForm(nullptr));
  TObjectPtr<TForm> disabled(new TForm(nullptr));
  open->HandleNeeded();
  disabled->HandleNeeded();
  ::EnableWindow(disabled->Handle(), FALSE);

  DisableAppWindows(false);
  EXPECT_TRUE(::IsWindowEnabled(open->Handle()));
  EnableAppWindows();
  EXPECT_FALSE(IsInternalWindowsDisabled());

  DisableAppWindows();
  DisableAppWindows();
  EXPECT_FALSE(::IsWindowEnabled(open->Handle()));
  EnableAppWindows();
  EXPECT_FALSE(::IsWindowEnabled(open->Handle()));
  EnableAppWindows();
  EXPECT_TRUE(::IsWindowEnabled(open->Handle()));
  EXPECT_FALSE(::IsWindowEnabled(disabled->Handle()));
  EnableAppWindows();  // unmatched: harmless
  EXPECT_FALSE(IsInternalWindowsDisabled());
}

TEST(ContainerRoutinesTest, KillMessagesLeavesAQuitRequestQueued) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->HandleNeeded();
  ::PostMessageA(form->Handle(), WM_USER + 1, 0, 0);
  ::PostMessageA(form->Handle(), WM_USER + 2, 0, 0);
  EXPECT_TRUE(KillMessages(form->Handle(), WM_USER, WM_USER + 2, false));
  MSG msg;
  // Without AKillAllMessages only the first one went.
  ASSERT_TRUE(
      ::PeekMessageA(&msg, form->Handle(), WM_USER, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2u);
  EXPECT_FALSE(KillMessages(form->Handle(), WM_USER, WM_USER + 2));
  // A quit request met on the way is put back and ends the removal.
  ::PostQuitMessage(7);
  KillMessages(nullptr, 0, 0);
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(ContainerRoutinesTest, ShadowRegionIsSetOnlyWhenItChanges) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 100, 80);
  form->HandleNeeded();
  HWND wnd = form->Handle();
  SetWindowShadowRegion(wnd, TRect{0, 0, 50, 40}, false, true);
  HRGN first = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(wnd, first), ERROR);
  EXPECT_TRUE(::PtInRegion(first, 52, 42));  // the shadow copy
  EXPECT_FALSE(::PtInRegion(first, 51, 1));  // beside the frame
  // The same region again: the window keeps the one it has.
  SetWindowShadowRegion(wnd, TRect{0, 0, 50, 40}, false, true);
  HRGN second = ::CreateRectRgn(0, 0, 0, 0);
  ::GetWindowRgn(wnd, second);
  EXPECT_TRUE(::EqualRgn(first, second));
  SetWindowShadowRegion(wnd, TRect(), true, false);
  EXPECT_EQ(::GetWindowRgn(wnd, second), ERROR);
  ::DeleteObject(first);
  ::DeleteObject(second);
}

// --- Container -------------------------------------------------------------

class TTestContainer : public TcxContainer {
 public:
  explicit TTestContainer(TComponent* AOwner) : TcxContainer(AOwner) {}
  // Records system keys and keeps them from the default handling (Alt+F4
  // would close the form).
  std::vector<WPARAM> SysKeys;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SYSKEYDOWN) {
      SysKeys.push_back(Message.WParam);
      Message.Result = 0;
      return;
    }
    TcxContainer::WndProc(Message);
  }
};

// A container whose view info class differs from the base one.
class TTestContainerViewInfo : public TcxContainerViewInfo {};

class TTestOwnPartsContainer : public TcxContainer {
 public:
  explicit TTestOwnPartsContainer(TComponent* AOwner) : TcxContainer(AOwner) {
    CreateContainerParts();
  }
  TcxContainerViewInfoClass GetViewInfoClass() override {
    return &cxNewContainerViewInfo<TTestContainerViewInfo>;
  }
};

TEST(ContainerTest, ADescendantGetsTheViewInfoOfItsOwnClassGetter) {
  TObjectPtr<TTestOwnPartsContainer> container(
      new TTestOwnPartsContainer(nullptr));
  EXPECT_NE(dynamic_cast<TTestContainerViewInfo*>(container->ViewInfo()),
            nullptr);
  // The container's look and feel follows the remade style.
  EXPECT_EQ(container->GetStyle()->GetLookAndFeel(),
            container->LookAndFeel()->MasterLookAndFeel());
}

class ContainerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The container's hot state follows the real pointer: wherever an
    // earlier test left it, it must not rest on the container.
    ui_test::MoveMouseTo(POINT{700, 600});
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 420, 320);
    form_->SetCaption("ContainerWindowTest");
    container_ = new TTestContainer(form_.get());
    container_->SetParent(form_.get());
    container_->SetBounds(20, 20, 120, 60);
    // Something else holds the focus: the container starts idle.
    other_ = new TEdit(form_.get());
    other_->SetParent(form_.get());
    other_->SetBounds(20, 250, 100, 24);
    form_->SetActiveControl(other_);
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override { form_.reset(); }

  ui_test::TCursorPosGuard cursorGuard_;
  // The view info painted on a bitmap of the container's size.
  TColor PixelAt(Integer X, Integer Y) {
    TBitmap bitmap;
    bitmap.SetWidth(container_->Width());
    bitmap.SetHeight(container_->Height());
    TcxCanvas canvas(bitmap.Canvas());
    canvas.FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()}, clFuchsia);
    container_->ViewInfo()->Paint(&canvas);
    return static_cast<TColor>(::GetPixel(bitmap.Canvas()->Handle(), X, Y));
  }
  static TColor Rgb(TColor AColor) {
    return static_cast<TColor>(ColorToRGB(AColor));
  }

  TObjectPtr<TForm> form_;
  TTestContainer* container_ = nullptr;
  TEdit* other_ = nullptr;
};

TEST_F(ContainerWindowTest, TopAndBottomEdgesDrawOnlyTheirLines) {
  TcxContainerStyle* style = container_->GetStyle();
  style->SetTransparentBorder(false);
  style->SetBorderStyle(cbsSingle);
  style->SetBorderColor(clRed);
  style->SetColor(clWhite);
  style->SetHotTrack(false);
  style->SetEdges({bTop, bBottom});
  container_->ShortRefreshContainer(false);
  const Integer w = container_->Width();
  const Integer h = container_->Height();
  EXPECT_EQ(container_->ViewInfo()->ClientRect, (TRect{0, 1, w, h - 1}));
  EXPECT_EQ(PixelAt(w / 2, 0), Rgb(clRed));
  EXPECT_EQ(PixelAt(w / 2, h - 1), Rgb(clRed));
  EXPECT_EQ(PixelAt(0, h / 2), Rgb(clWhite));
  EXPECT_EQ(PixelAt(w - 1, h / 2), Rgb(clWhite));
  // All four edges for comparison: the sides carry the frame.
  style->SetEdges(cxBordersAll);
  container_->ShortRefreshContainer(false);
  EXPECT_EQ(PixelAt(0, h / 2), Rgb(clRed));
}

TEST_F(ContainerWindowTest, ShadowTakesThreePixelsAtTheRightAndBottom) {
  TcxContainerStyle* style = container_->GetStyle();
  style->SetTransparentBorder(false);
  style->SetBorderStyle(cbsSingle);
  style->SetShadow(true);
  container_->ShortRefreshContainer(false);
  ASSERT_FALSE(container_->ViewInfo()->NativeStyle);
  const Integer w = container_->Width();
  const Integer h = container_->Height();
  EXPECT_EQ(container_->GetVisibleBounds(), (TRect{0, 0, w - 3, h - 3}));
  EXPECT_EQ(container_->GetShadowBounds(), (TRect{0, 0, w - 3, h - 3}));
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(container_->Handle(), region), ERROR);
  EXPECT_TRUE(::PtInRegion(region, 1, 1));
  EXPECT_TRUE(::PtInRegion(region, w - 2, h - 2));  // the copy at (3, 3)
  EXPECT_FALSE(::PtInRegion(region, w - 2, 1));
  EXPECT_FALSE(::PtInRegion(region, 1, h - 2));
  ::DeleteObject(region);
  EXPECT_EQ(PixelAt(w - 2, h - 2), Rgb(cxContainerShadowColor));
}

TEST_F(ContainerWindowTest, UltraFlatFrameLightsUpWhenFocusedOrHot) {
  TcxContainerStyle* style = container_->GetStyle();
  style->SetTransparentBorder(false);
  style->SetBorderStyle(cbsUltraFlat);
  container_->ShortRefreshContainer(false);
  TcxContainerViewInfo* vi = container_->ViewInfo();
  EXPECT_EQ(vi->BorderColor, clBtnShadow);
  EXPECT_EQ(vi->BorderWidth, 1);
  EXPECT_EQ(PixelAt(0, 10), Rgb(clBtnShadow));
  // Hot (hot tracking is on by default).
  container_->RefreshContainer(TPoint{10, 10}, cxmbNone, {}, true);
  EXPECT_TRUE(vi->ContainerState.Contains(csHotTrack));
  EXPECT_EQ(vi->BorderColor, clHighlight);
  // A held button keeps the state free of hot tracking.
  container_->RefreshContainer(TPoint{10, 10}, cxmbNone, {ssLeft}, true);
  EXPECT_FALSE(vi->ContainerState.Contains(csHotTrack));
  EXPECT_EQ(vi->BorderColor, clBtnShadow);
  // Focused.
  container_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return container_->Focused(); }, "focus"));
  container_->RefreshContainer(TPoint{-1, -1}, cxmbNone, {}, false);
  EXPECT_TRUE(vi->ContainerState.Contains(csActive));
  EXPECT_EQ(vi->BorderColor, clHighlight);
  EXPECT_EQ(PixelAt(0, 10), Rgb(clHighlight));
}

TEST_F(ContainerWindowTest, StylesFollowTheContainerState) {
  container_->GetStyle()->SetColor(clWhite);
  container_->GetStyleDisabled()->SetColor(clSilver);
  container_->ShortRefreshContainer(false);
  EXPECT_EQ(container_->ActiveStyle(), container_->GetStyle());
  EXPECT_EQ(container_->Color(), clWhite);
  container_->SetEnabled(false);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(container_->ViewInfo()->ContainerState.ToInt(),
            TcxContainerState{csDisabled}.ToInt());
  EXPECT_EQ(container_->ActiveStyle(), container_->GetStyleDisabled());
  EXPECT_EQ(container_->ViewInfo()->BackgroundColor, clSilver);
}

TEST_F(ContainerWindowTest, ParentColorShowsInColorButNotInTheStyleColor) {
  form_->SetColor(clTeal);
  container_->SetParentColor(true);
  TcxContainerStyle* style = container_->GetStyle();
  // Inside an update the container has not taken the colour over yet.
  style->BeginUpdate();
  style->SetColor(clYellow);
  EXPECT_EQ(style->GetColor(), clTeal);
  EXPECT_EQ(style->GetStyleColor(), clYellow);
  style->EndUpdate();
  // Once it has, the assigned colour is the container's own.
  EXPECT_EQ(container_->Color(), clYellow);
  EXPECT_FALSE(container_->ParentColor());
}

// --- Popup window ------------------------------------------------------------

class PopupWindowTest : public ContainerWindowTest {
 protected:
  TcxCustomPopupWindow* NewPopup(TWinControl* AOwner, bool ACaptureFocus,
                                 const TRect& ABounds) {
    auto* popup = new TcxCustomPopupWindow(AOwner);
    popup->SetModalMode(false);
    popup->SetAdjustable(false);  // keeps the size the test gives
    popup->SetCaptureFocus(ACaptureFocus);
    popup->SetBounds(0, 0, ABounds.Width(), ABounds.Height());
    popup->SetOwnerBounds(AOwner->BoundsRect());
    popup->SetOwnerParent(AOwner->Parent());
    popup->OnShowing =
        TNotifyEvent::FromFunction([this](TObject*) { ++showings_; });
    popup->OnClosing =
        TNotifyEvent::FromFunction([this](TObject*) { ++closings_; });
    return popup;
  }
  void Open(TcxCustomPopupWindow* APopup, TWinControl* AFocused = nullptr) {
    APopup->Popup(AFocused);
    ASSERT_TRUE(APopup->IsVisible());
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(APopup->Handle()); },
                          "popup shown"));
    ui_test::PumpUntilIdle();
  }
  // A popup whose close handler frees its owner, which owns the popup:
  // the close frees both.
  TcxCustomPopupWindow* NewPopupFreedWithItsOwner(
      TObjectPtr<TTestContainer>& AOwner) {
    AOwner.reset(new TTestContainer(nullptr));
    AOwner->SetParent(form_.get());
    AOwner->SetBounds(200, 20, 100, 40);
    ui_test::PumpUntilIdle();
    TcxCustomPopupWindow* popup =
        NewPopup(AOwner.get(), false, TRect{0, 0, 80, 60});
    popup->OnClosed =
        TNotifyEvent::FromFunction([&AOwner](TObject*) { AOwner.reset(); });
    return popup;
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    ContainerWindowTest::TearDown();
  }

  int showings_ = 0;
  int closings_ = 0;
  ui_test::TCursorPosGuard cursor_;
};

TEST(PopupHooksTest, AreInstalledWhileTheUnitRunsAndRemovedAtItsEnd) {
  EXPECT_TRUE(cxPopupHooksInstalled());
  // What the unit's shut-down and start-up run.
  cxcontainer_detail::RemovePopupHooks();
  EXPECT_FALSE(cxPopupHooksInstalled());
  cxcontainer_detail::InstallPopupHooks();
  EXPECT_TRUE(cxPopupHooksInstalled());
}

TEST(PopupHooksTest, TheWindowHookIsInPlaceOnlyWhileActivationIsLocked) {
  ASSERT_EQ(cxOpenPopupWindowCount(), 0);
  EXPECT_FALSE(cxPopupWindowHookInstalled());
  LockCMActivateMessages(true);
  LockCMActivateMessages(true);
  EXPECT_TRUE(cxPopupWindowHookInstalled());
  LockCMActivateMessages(false);
  EXPECT_TRUE(cxPopupWindowHookInstalled());
  LockCMActivateMessages(false);
  EXPECT_FALSE(cxPopupWindowHookInstalled());
}

TEST_F(PopupWindowTest, ClickOnTheOwnerFormClosesThePopupAndReachesTheForm) {
  for (bool captureFocus : {false, true}) {
    SCOPED_TRACE(captureFocus ? "focused popup" : "focus-free popup");
    TcxCustomPopupWindow* popup =
        NewPopup(container_, captureFocus, TRect{0, 0, 120, 80});
    int presses = 0;
    form_->OnMouseDown =
        TMouseEvent::FromFunction([&](TObject*, TMouseButton, TShiftState,
                                      Integer, Integer) { ++presses; });
    // A focused popup takes the focus itself.
    Open(popup, captureFocus ? nullptr : container_);
    ui_test::Click(form_.get(), 350, 250);
    EXPECT_TRUE(WaitUntil([&] { return !popup->IsVisible(); }, "popup closed"));
    EXPECT_EQ(presses, 1);
  }
}

TEST_F(PopupWindowTest, ClickInsideANestedPopupClosesNeither) {
  TcxCustomPopupWindow* outer =
      NewPopup(container_, false, TRect{0, 0, 200, 150});
  auto* innerOwner = new TTestContainer(outer);
  innerOwner->SetParent(outer);
  innerOwner->SetBounds(10, 10, 100, 30);
  Open(outer, container_);
  TcxCustomPopupWindow* inner =
      NewPopup(innerOwner, false, TRect{0, 0, 100, 60});
  Open(inner, innerOwner);
  ui_test::Click(inner, 50, 30);
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(inner->IsVisible());
  EXPECT_TRUE(outer->IsVisible());
  // A click on the outer popup itself closes only the inner one.
  ui_test::Click(outer, 150, 130);
  EXPECT_TRUE(WaitUntil([&] { return !inner->IsVisible(); }, "inner closed"));
  EXPECT_TRUE(outer->IsVisible());
}

TEST_F(PopupWindowTest, HidingTheOwnerClosesItsPopupAndTheLaterOnes) {
  auto* second = new TTestContainer(form_.get());
  second->SetParent(form_.get());
  second->SetBounds(200, 20, 100, 40);
  ui_test::PumpUntilIdle();
  TcxCustomPopupWindow* first =
      NewPopup(container_, false, TRect{0, 0, 80, 60});
  TcxCustomPopupWindow* later = NewPopup(second, false, TRect{0, 0, 80, 60});
  TcxCustomPopupWindow* other = NewPopup(second, false, TRect{0, 0, 80, 60});
  Open(other, second);
  Open(first, container_);
  Open(later, second);
  EXPECT_TRUE(cxPopupWindowHookInstalled());
  std::vector<TcxCustomPopupWindow*> order;
  for (TcxCustomPopupWindow* p : {first, later})
    p->OnClosed = TNotifyEvent::FromFunction([&order](TObject* Sender) {
      order.push_back(static_cast<TcxCustomPopupWindow*>(Sender));
    });
  ::ShowWindow(container_->Handle(), SW_HIDE);
  EXPECT_FALSE(first->IsVisible());
  EXPECT_FALSE(later->IsVisible());
  EXPECT_TRUE(other->IsVisible());  // opened before: untouched
  EXPECT_EQ(order, (std::vector<TcxCustomPopupWindow*>{later, first}));
  // Hiding the control the library's way closes its popup too.
  second->SetVisible(false);
  ui_test::PumpUntilIdle();
  EXPECT_FALSE(other->IsVisible());
  // The last popup closed from inside the window hook: the hook went after.
  EXPECT_FALSE(cxPopupWindowHookInstalled());
}

TEST_F(PopupWindowTest,
       AltLetterIsVoidedWithAFocusFreePopupWhileAltDownAndAltF4Pass) {
  container_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return container_->Focused(); }, "focus"));
  TcxCustomPopupWindow* popup =
      NewPopup(container_, false, TRect{0, 0, 80, 60});
  Open(popup, container_);
  ASSERT_TRUE(container_->Focused());
  ui_test::PressKeys({VK_MENU, 'K'});
  ui_test::PressKeys({VK_MENU, VK_DOWN});
  ui_test::PressKeys({VK_MENU, VK_F4});
  ui_test::PumpUntilIdle();
  const std::vector<WPARAM> expected{VK_DOWN, VK_F4};
  EXPECT_EQ(container_->SysKeys, expected);
  popup->CloseUp();
  // With no popup open, Alt+letter arrives again.
  container_->SysKeys.clear();
  ui_test::PressKeys({VK_MENU, 'K'});
  ui_test::PumpUntilIdle();
  EXPECT_NE(std::find(container_->SysKeys.begin(), container_->SysKeys.end(),
                      WPARAM{'K'}),
            container_->SysKeys.end());
}

TEST_F(PopupWindowTest, PopupOnAnOpenPopupAndCloseUpOnAClosedOneDoNothing) {
  TcxCustomPopupWindow* popup =
      NewPopup(container_, false, TRect{0, 0, 80, 60});
  popup->CloseUp();
  EXPECT_EQ(closings_, 0);
  Open(popup, container_);
  EXPECT_EQ(showings_, 1);
  popup->Popup(container_);
  EXPECT_EQ(showings_, 1);
  EXPECT_EQ(cxOpenPopupWindowCount(), 1);
  popup->CloseUp();
  popup->CloseUp();
  EXPECT_EQ(closings_, 1);
  EXPECT_EQ(cxOpenPopupWindowCount(), 0);
}

TEST_F(PopupWindowTest, WindowsInsideAPopupBelongToItsOwner) {
  TcxCustomPopupWindow* popup =
      NewPopup(container_, false, TRect{0, 0, 120, 80});
  auto* child = new TTestContainer(popup);
  child->SetParent(popup);
  child->SetBounds(5, 5, 50, 20);
  Open(popup, container_);
  EXPECT_EQ(GetPopupOwnerControl(child->Handle()), container_->Handle());
  EXPECT_EQ(GetPopupOwnerControl(other_->Handle()), other_->Handle());
  EXPECT_EQ(cxGetParentWndForDocking, &GetPopupOwnerControl);
  // The popup's children include those of the popups opened from it.
  EXPECT_TRUE(IsChildWindow(container_, popup->Handle()));
  EXPECT_FALSE(IsChildWindow(other_, popup->Handle()));
}

TEST_F(PopupWindowTest, PopupOfAHiddenOwnerStaysClosed) {
  TcxCustomPopupWindow* popup =
      NewPopup(container_, false, TRect{0, 0, 80, 60});
  container_->SetVisible(false);
  popup->Popup(container_);
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(showings_, 0);
}

TEST_F(PopupWindowTest, ClickOnAnOwnerThatTheCloseFreesIsDiscardedSafely) {
  TObjectPtr<TTestContainer> owner;
  TcxCustomPopupWindow* popup = NewPopupFreedWithItsOwner(owner);
  int presses = 0;
  form_->OnMouseDown =
      TMouseEvent::FromFunction([&](TObject*, TMouseButton, TShiftState,
                                    Integer, Integer) { ++presses; });
  Open(popup, owner.get());
  const POINT onOwner = ui_test::CentreOf(owner.get());
  ui_test::Click(onOwner);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(owner.get(), nullptr);
  EXPECT_EQ(cxOpenPopupWindowCount(), 0);
  EXPECT_EQ(presses, 0);  // the press had no target left
}

TEST_F(PopupWindowTest, DeactivatingTheAppWithAnOwnerFreedByTheCloseIsSafe) {
  TObjectPtr<TTestContainer> owner;
  TcxCustomPopupWindow* popup = NewPopupFreedWithItsOwner(owner);
  TcxCustomPopupWindow* survivorPopup =
      NewPopup(container_, false, TRect{0, 0, 80, 60});
  int focusChanges = 0;
  container_->OnFocusChanged =
      TNotifyEvent::FromFunction([&](TObject*) { ++focusChanges; });
  Open(popup, owner.get());
  Open(survivorPopup, container_);
  ::SendMessageA(form_->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(owner.get(), nullptr);
  EXPECT_EQ(cxOpenPopupWindowCount(), 0);
  EXPECT_GE(focusChanges, 1);  // the surviving owner heard of it
}

TEST_F(PopupWindowTest, ModalPopupRunsItsLoopUntilClosed) {
  TcxCustomPopupWindow* popup = NewPopup(container_, true, TRect{0, 0, 80, 60});
  popup->SetModalMode(true);
  bool sawLoop = false;
  popup->OnShowed = TNotifyEvent::FromFunction([&](TObject*) {
    // Ends the loop from inside it, once it runs.
    ::PostMessageA(popup->Handle(), CM_CLOSEPOPUPWINDOW, 0, 0);
  });
  popup->OnClosing =
      TNotifyEvent::FromFunction([&](TObject*) { sawLoop = true; });
  ui_test::TModalWatchdog watchdog(popup);
  popup->Popup(container_);
  EXPECT_FALSE(ui_test::TModalWatchdog::Fired());
  EXPECT_TRUE(sawLoop);
  EXPECT_FALSE(popup->IsVisible());
}

// --- Inner list box
// ------------------------------------------------------------

class InnerListBoxTest : public ContainerWindowTest {
 protected:
  void SetUp() override {
    ContainerWindowTest::SetUp();
    list_ = new TcxCustomInnerListBox(form_.get());
    list_->SetParent(form_.get());
    list_->SetBounds(160, 20, 150, 120);
    for (const char* item : {"Alpha", "Beta", "Bravo", "Brown", "Romeo"})
      list_->Items()->Add(item);
    list_->SetAutoCompleteDelay(60000);
    ui_test::PumpUntilIdle();
    list_->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return list_->Focused(); }, "list focused"));
  }
  TcxCustomInnerListBox* list_ = nullptr;
};

TEST_F(InnerListBoxTest, TwoLettersSelectTheFirstItemStartingWithBoth) {
  ui_test::TypeText("br");
  ui_test::PumpUntilIdle();
  EXPECT_EQ(list_->ItemIndex(), 2);  // "Bravo", not "Beta"
  ui_test::TypeText("o");
  ui_test::PumpUntilIdle();
  EXPECT_EQ(list_->ItemIndex(), 3);  // "Brown"
}

TEST_F(InnerListBoxTest, BackspaceToAnEmptyFilterSelectsTheFirstItem) {
  ui_test::TypeText("bro");
  ui_test::PumpUntilIdle();
  ASSERT_EQ(list_->ItemIndex(), 3);
  ui_test::PressKeys({VK_BACK});
  ui_test::PumpUntilIdle();
  EXPECT_EQ(list_->AutoCompleteFilter(), "br");
  EXPECT_EQ(list_->ItemIndex(), 2);
  ui_test::PressKeys({VK_BACK});
  ui_test::PressKeys({VK_BACK});
  ui_test::PumpUntilIdle();
  EXPECT_EQ(list_->AutoCompleteFilter(), "");
  EXPECT_EQ(list_->ItemIndex(), 0);
}

TEST_F(InnerListBoxTest, AfterThePauseTheSearchStartsAfresh) {
  list_->SetAutoCompleteDelay(0);
  ui_test::TypeText("br");
  ui_test::PumpUntilIdle();
  EXPECT_EQ(list_->ItemIndex(), 4);  // "r" alone: "Romeo"
}

TEST_F(InnerListBoxTest, BackspaceEnterAndEscAreNotConsumed) {
  list_->Items()->Add("\rReturn");
  list_->Items()->Add(
      "\x1b"
      "Escape");
  list_->SetAutoCompleteDelay(0);  // each key searches on its own
  for (char key : {'\r', '\x1b'}) {
    char k = key;
    list_->DoAutoComplete(k);
    EXPECT_EQ(k, key);
    EXPECT_EQ(list_->ItemText(list_->ItemIndex())[0], key);
  }
  char letter = 'b';
  list_->DoAutoComplete(letter);
  EXPECT_EQ(letter, 0);  // a found letter is consumed
  list_->SetAutoCompleteDelay(60000);
  char back = '\b';
  list_->DoAutoComplete(back);
  EXPECT_EQ(back, '\b');
  EXPECT_EQ(list_->ItemIndex(), 0);
}

TEST_F(InnerListBoxTest, LibraryScrollBarsStandInForTheSystemOnes) {
  TcxScrollBar* bar = list_->VScrollBar();
  ASSERT_NE(bar, nullptr);
  // Five items fit: the system shows no vertical bar, nor does the library.
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(bar->BoundsRect(), TRect());
  for (int i = 0; i < 40; ++i) list_->Items()->Add("Item " + IntToStr(i));
  ui_test::PumpUntilIdle();
  ASSERT_TRUE(UsecxScrollBars());
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Parent(), list_->Parent());
  EXPECT_GT(bar->Height(), 0);
  EXPECT_LE(bar->Height(), list_->Height());
  EXPECT_EQ(bar->Max(), list_->Count() - 1);
  // Scrolling the list moves the library bar with it.
  list_->SetTopIndex(10);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(bar->Position(), 10);
}

TEST_F(InnerListBoxTest, TheContainerPlacesFocusesAndFeedsItsInnerControl) {
  list_->SetParent(container_);
  list_->SetContainer(container_);
  container_->SetInnerControl(list_);
  container_->GetStyle()->SetColor(clYellow);
  container_->ShortRefreshContainer(false);
  EXPECT_EQ(list_->BoundsRect(), container_->ViewInfo()->ClientRect);
  EXPECT_EQ(list_->Color(), clYellow);
  other_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return other_->Focused(); }, "edit focused"));
  container_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return list_->Focused(); }, "list focused"));
  EXPECT_TRUE(container_->Focused());
  EXPECT_TRUE(container_->ViewInfo()->ContainerState.Contains(csActive));
  // Keys sent to the container go on to the inner control.
  list_->SetItemIndex(1);
  ::SendMessageA(container_->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(list_->ItemIndex(), 2);
}

TEST_F(InnerListBoxTest, TabInTheContainerMovesOnButCtrlTabDoesNot) {
  list_->SetParent(container_);
  list_->SetContainer(container_);
  container_->SetInnerControl(list_);
  // The container is the tab stop, as editors keep their inner controls.
  list_->SetTabStop(false);
  container_->SetFocus();
  ASSERT_TRUE(WaitUntil([&] { return list_->Focused(); }, "list focused"));
  ui_test::PressKeys({VK_CONTROL, VK_TAB});
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(list_->Focused());
  ui_test::PressKeys({VK_TAB});
  EXPECT_TRUE(WaitUntil([&] { return other_->Focused(); }, "next control"));
}

TEST_F(InnerListBoxTest, InsideAContainerItReportsItsContainer) {
  list_->SetContainer(container_);
  EXPECT_EQ(GetcxContainer(list_), container_);
  IcxContainerInnerControl* inner = nullptr;
  EXPECT_EQ(list_->QueryInterface(IcxContainerInnerControl::IID,
                                  reinterpret_cast<void**>(&inner)),
            S_OK_);
  EXPECT_EQ(inner->GetControl(), list_);
  EXPECT_EQ(inner->GetControlContainer(), container_);
}

}  // namespace
