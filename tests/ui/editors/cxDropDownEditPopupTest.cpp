// The drop-down editors' popup window: border and system-panel geometry,
// sizing places, size and position against the editor, the window region
// of a popup above its editor, and the grip and close button driven by the
// real mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Handles.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
#include "WinApi.h"
#include "cxControls.h"
#include "cxDropDownEdit.h"
#include "cxGeometry.h"

namespace {

using ui_test::WaitUntil;

Integer ButtonSize() {
  return std::max(::GetSystemMetrics(SM_CYHSCROLL),
                  ::GetSystemMetrics(SM_CYSIZE));
}

// --- View info
// -----------------------------------------------------------------

struct ExtentCase {
  TcxEditPopupBorderStyle Style;
  bool Native, ClientEdge, Shadow, SysPanel;
  TcxEditCorner Corner;
  // Expected extent; Panel adds the system panel height S (at the top or
  // bottom as the corner says) plus PanelExtra.
  TRect Extent;
  Integer PanelExtra;
};

TEST(EditPopupViewInfoTest, BorderExtentByStyleEdgeShadowAndSystemPanel) {
  const ExtentCase cases[] = {
      {epbsDefault,
       false,
       false,
       false,
       false,
       ecoBottomRight,
       {0, 0, 0, 0},
       0},
      {epbsDefault, false, true, false, false, ecoBottomRight, {0, 0, 0, 0}, 0},
      {epbsSingle, false, false, false, false, ecoBottomRight, {1, 1, 1, 1}, 0},
      {epbsSingle, false, true, false, false, ecoBottomRight, {3, 3, 3, 3}, 0},
      {epbsFrame3D,
       false,
       false,
       false,
       false,
       ecoBottomRight,
       {4, 4, 4, 4},
       0},
      {epbsFrame3D, false, true, true, false, ecoBottomRight, {6, 6, 9, 9}, 0},
      {epbsFlat, false, true, false, false, ecoBottomRight, {3, 3, 3, 3}, 0},
      {epbsFlat, false, false, false, false, ecoBottomRight, {2, 2, 2, 2}, 0},
      // Native style: 1-pixel border, 2-pixel client edge, whatever style.
      {epbsFrame3D, true, true, false, false, ecoBottomRight, {3, 3, 3, 3}, 0},
      {epbsDefault, true, false, false, false, ecoBottomRight, {1, 1, 1, 1}, 0},
      // The panel goes along the edge of the sizing corner; a single
      // border and the native style add a separator line.
      {epbsSingle, false, false, false, true, ecoBottomRight, {1, 1, 1, 1}, 1},
      {epbsSingle, false, false, false, true, ecoTopLeft, {1, 1, 1, 1}, 1},
      {epbsFrame3D, false, false, false, true, ecoTopRight, {4, 4, 4, 4}, 0},
      {epbsFlat, false, false, true, true, ecoBottomLeft, {2, 2, 5, 5}, 0},
  };
  const Integer s = ButtonSize();
  for (const ExtentCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "style " << int(c.Style) << " native " << c.Native
                 << " edge " << c.ClientEdge << " shadow " << c.Shadow
                 << " panel " << c.SysPanel << " corner " << int(c.Corner));
    TcxCustomEditPopupWindowViewInfo vi;
    vi.PopupBorderStyle = c.Style;
    vi.NativeStyle = c.Native;
    vi.ClientEdge = c.ClientEdge;
    vi.Shadow = c.Shadow;
    vi.SysPanelStyle = c.SysPanel;
    vi.SizingCorner = c.Corner;
    TRect expected = c.Extent;
    if (c.SysPanel) {
      (IsTopCorner(c.Corner) ? expected.Top : expected.Bottom) +=
          s + c.PanelExtra;
    }
    EXPECT_EQ(vi.GetBorderExtent(), expected);
    EXPECT_EQ(vi.SysPanelHeight, c.SysPanel ? s : 0);
  }
}

TEST(EditPopupViewInfoTest, MinimalSystemPanelHeightOnlyRaisesThePanel) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.SysPanelStyle = true;
  const Integer s = ButtonSize();
  vi.MinSysPanelHeight = s + 7;
  EXPECT_EQ(vi.GetSysPanelHeight(), s + 7);
  vi.MinSysPanelHeight = 3;
  EXPECT_EQ(vi.GetSysPanelHeight(), s);
}

// Native style: a 1-pixel border, a separator line, and a panel at least
// as high as the system's buttons (themed buttons may be larger).
TEST(EditPopupViewInfoTest, NativePanelAddsItsSeparatorLine) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.NativeStyle = true;
  vi.SysPanelStyle = true;
  vi.Shadow = true;
  vi.SizingCorner = ecoBottomLeft;
  const TRect extent = vi.GetBorderExtent();
  EXPECT_GE(vi.SysPanelHeight, ButtonSize());
  EXPECT_EQ(extent, (TRect{1, 1, 4, 4 + vi.SysPanelHeight + 1}));
}

TEST(EditPopupViewInfoTest, CustomBorderHandlerGivesTheBorderWidth) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.PopupBorderStyle = epbsFrame3D;
  vi.OnCustomDrawBorder = TcxCustomDrawBorderEvent::FromFunction(
      [](TcxCustomEditPopupWindowViewInfo*, TcxCanvas*, Integer& AWidth,
         bool& AHandled, const TRect&) {
        AWidth = 7;
        AHandled = true;
      });
  EXPECT_EQ(vi.GetBorderExtent(), (TRect{7, 7, 7, 7}));
}

// The grip sits in the sizing corner of the inner rectangle and the close
// button at the other end of the panel.
TEST(EditPopupViewInfoTest, GripAndCloseButtonFollowTheSizingCorner) {
  const Integer s = ButtonSize();
  const Integer g = s - 2;   // grip
  const Integer cb = s - 4;  // close button
  struct Case {
    TcxEditCorner Corner;
    TRect GripSizing, Grip, Close;
  };
  // A 200x150 popup with a single border: inner rectangle (1,1)-(199,149).
  const Case cases[] = {
      {ecoBottomRight,
       {199 - g, 149 - g, 199, 149},
       {199 - g + 2, 149 - g + 2, 199, 149},
       {4, 147 - cb, 4 + cb, 147}},
      {ecoTopLeft,
       {1, 1, 1 + g, 1 + g},
       {1, 1, 1 + g - 2, 1 + g - 2},
       {196 - cb, 3, 196, 3 + cb}},
      {ecoTopRight,
       {199 - g, 1, 199, 1 + g},
       {199 - g + 2, 1, 199, 1 + g - 2},
       {4, 3, 4 + cb, 3 + cb}},
      {ecoBottomLeft,
       {1, 149 - g, 1 + g, 149},
       {1, 149 - g + 2, 1 + g - 2, 149},
       {196 - cb, 147 - cb, 196, 147}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Corner));
    TcxCustomEditPopupWindowViewInfo vi;
    vi.PopupBorderStyle = epbsSingle;
    vi.SysPanelStyle = true;
    vi.Sizeable = true;
    vi.CloseButton = true;
    vi.SizingCorner = c.Corner;
    vi.Bounds = TRect{0, 0, 200, 150};
    vi.Calculate();
    EXPECT_EQ(vi.InnerRect, (TRect{1, 1, 199, 149}));
    EXPECT_EQ(vi.SizeGripSizingRect, c.GripSizing);
    EXPECT_EQ(vi.SizeGripRect, c.Grip);
    EXPECT_EQ(vi.CloseButtonRect, c.Close);
    // The client area leaves the panel (and its separator) out.
    if (IsTopCorner(c.Corner))
      EXPECT_EQ(vi.ClientRect, (TRect{1, 1 + s + 1, 199, 149}));
    else
      EXPECT_EQ(vi.ClientRect, (TRect{1, 1, 199, 149 - s - 1}));
  }
}

TEST(EditPopupViewInfoTest, WithoutCloseButtonOrSizingThereIsNothingToHit) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.PopupBorderStyle = epbsSingle;
  vi.SysPanelStyle = true;
  vi.Bounds = TRect{0, 0, 200, 150};
  vi.Calculate();
  EXPECT_TRUE(cxRectIsEmpty(vi.CloseButtonRect));
  EXPECT_TRUE(cxRectIsEmpty(vi.SizeGripSizingRect));
  EXPECT_FALSE(vi.IsSizingPlace(199, 149));
}

TEST(EditPopupViewInfoTest, OnlyTheTwoEdgesAtTheSizingCornerSize) {
  struct Case {
    TcxEditCorner Corner;
    Integer X, Y;
    bool Sizing;
    Integer DX, DY;
  };
  const Integer s = ButtonSize();
  // A 200x150 popup with a single border and a sizeable system panel.
  const Case cases[] = {
      {ecoBottomRight, 197, 147, true, 1, 1},  // on the grip
      {ecoBottomRight, 199, 60, true, 1, 0},   // right edge
      {ecoBottomRight, 100, 149, true, 0, 1},  // bottom edge
      {ecoBottomRight, 0, 60, false, 0, 0},    // left edge: not this corner
      {ecoBottomRight, 100, 0, false, 0, 0},   // top edge
      {ecoBottomRight, 100, 60, false, 0, 0},  // inside
      {ecoBottomRight, 199, 149, true, 1, 1},  // the corner pixel
      {ecoBottomRight, 250, 60, false, 0, 0},  // outside the window
      {ecoTopLeft, 2, 2, true, -1, -1},        // on the grip
      {ecoTopLeft, 0, 60, true, -1, 0},        // left edge
      {ecoTopLeft, 100, 0, true, 0, -1},       // top edge
      {ecoTopLeft, 199, 60, false, 0, 0},      // right edge
      {ecoTopRight, 199, s + 20, true, 1, 0},  // right edge
      {ecoTopRight, 100, 0, true, 0, -1},      // top edge
      {ecoTopRight, 197, 2, true, 1, -1},      // on the grip
      {ecoBottomLeft, 2, 147, true, -1, 1},    // on the grip
      {ecoBottomLeft, 0, 20, true, -1, 0},     // left edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "corner " << int(c.Corner) << " at " << c.X << "," << c.Y);
    TcxCustomEditPopupWindowViewInfo vi;
    vi.PopupBorderStyle = epbsSingle;
    vi.SysPanelStyle = true;
    vi.Sizeable = true;
    vi.SizingCorner = c.Corner;
    vi.Bounds = TRect{0, 0, 200, 150};
    vi.Calculate();
    EXPECT_EQ(vi.IsSizingPlace(c.X, c.Y), c.Sizing);
    EXPECT_EQ(vi.SizingDirectionX(), c.DX);
    EXPECT_EQ(vi.SizingDirectionY(), c.DY);
  }
  // Not sizeable: no edge sizes.
  TcxCustomEditPopupWindowViewInfo vi;
  vi.PopupBorderStyle = epbsSingle;
  vi.Bounds = TRect{0, 0, 200, 150};
  vi.Calculate();
  EXPECT_FALSE(vi.IsSizingPlace(199, 60));
}

TEST(EditPopupViewInfoTest, SizingCursorsAndCloseButtonThemeStates) {
  EXPECT_EQ(cxEditPopupSizingCursor(1, 1), crSizeNWSE);
  EXPECT_EQ(cxEditPopupSizingCursor(-1, -1), crSizeNWSE);
  EXPECT_EQ(cxEditPopupSizingCursor(1, -1), crSizeNESW);
  EXPECT_EQ(cxEditPopupSizingCursor(-1, 1), crSizeNESW);
  EXPECT_EQ(cxEditPopupSizingCursor(-1, 0), crSizeWE);
  EXPECT_EQ(cxEditPopupSizingCursor(0, 1), crSizeNS);
  EXPECT_EQ(cxEditPopupSizingCursor(0, 0), crDefault);
  EXPECT_EQ(cxEditPopupCloseButtonThemeState(cxbsNormal), 1);
  EXPECT_EQ(cxEditPopupCloseButtonThemeState(cxbsHot), 2);
  EXPECT_EQ(cxEditPopupCloseButtonThemeState(cxbsPressed), 3);
  EXPECT_EQ(cxEditPopupCloseButtonThemeState(cxbsDisabled), 4);
}

// The view info painted on a bitmap of its size.
class PaintedPopup {
 public:
  explicit PaintedPopup(TcxCustomEditPopupWindowViewInfo& AViewInfo) {
    bitmap_.SetWidth(AViewInfo.Bounds.Width());
    bitmap_.SetHeight(AViewInfo.Bounds.Height());
    TcxCanvas canvas(bitmap_.Canvas());
    canvas.FillRect(AViewInfo.Bounds, clFuchsia);
    AViewInfo.Calculate();
    AViewInfo.Paint(&canvas);
  }
  COLORREF At(Integer X, Integer Y) {
    return ::GetPixel(bitmap_.Canvas()->Handle(), X, Y);
  }

 private:
  TBitmap bitmap_;
};

COLORREF Rgb(TColor AColor) {
  return static_cast<COLORREF>(ColorToRGB(AColor));
}

TEST(EditPopupViewInfoTest, PaintsBorderSeparatorPanelAndShadow) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.PopupBorderStyle = epbsSingle;
  vi.SysPanelStyle = true;
  vi.Sizeable = true;
  vi.CloseButton = true;
  vi.Shadow = true;
  vi.Bounds = TRect{0, 0, 200, 150};
  PaintedPopup painted(vi);
  const Integer s = ButtonSize();
  // The frame of the visible popup (the shadow takes 3 pixels).
  EXPECT_EQ(painted.At(0, 0), Rgb(clBtnText));
  EXPECT_EQ(painted.At(196, 60), Rgb(clBtnText));
  EXPECT_EQ(painted.At(100, 146), Rgb(clBtnText));
  // The shadow: right and bottom, but not at the top-right corner.
  EXPECT_EQ(painted.At(198, 60), Rgb(clBtnShadow));
  EXPECT_EQ(painted.At(100, 148), Rgb(clBtnShadow));
  EXPECT_EQ(painted.At(198, 1), Rgb(clFuchsia));
  // The separator line above the panel at the bottom, the panel and the
  // client area filled.
  EXPECT_EQ(painted.At(100, vi.ClientRect.Bottom), Rgb(clBtnText));
  EXPECT_EQ(painted.At(100, vi.ClientRect.Bottom + s / 2), Rgb(clBtnFace));
  EXPECT_EQ(painted.At(100, 40), Rgb(clBtnFace));
  // Something other than the panel colour shows on the close button.
  bool drawn = false;
  for (Integer x = vi.CloseButtonRect.Left; x < vi.CloseButtonRect.Right; ++x)
    for (Integer y = vi.CloseButtonRect.Top; y < vi.CloseButtonRect.Bottom; ++y)
      drawn = drawn || painted.At(x, y) != Rgb(clBtnFace);
  EXPECT_TRUE(drawn);
}

TEST(EditPopupViewInfoTest, ClientEdgeIsASunkenEdgeInsideTheBorder) {
  for (TcxEditPopupBorderStyle style : {epbsSingle, epbsFrame3D}) {
    SCOPED_TRACE(int(style));
    TcxCustomEditPopupWindowViewInfo vi;
    vi.PopupBorderStyle = style;
    vi.ClientEdge = true;
    vi.Bounds = TRect{0, 0, 120, 80};
    PaintedPopup painted(vi);
    const Integer b = vi.GetFrameWidth(false);
    // A sunken outer edge: shadow at the top-left, highlight at the
    // bottom-right.
    EXPECT_EQ(painted.At(b, 40), Rgb(clBtnShadow));
    EXPECT_EQ(painted.At(119 - b, 40), Rgb(clBtnHighlight));
    EXPECT_EQ(painted.At(60, 40), Rgb(clBtnFace));
  }
}

// --- A stand-in editor
// -----------------------------------------------------------

class TTestPopupEdit : public TPanel, public IcxEditPopupWindowOwner {
  VARNEL_CLASS(TTestPopupEdit, TPanel)
 public:
  explicit TTestPopupEdit(TComponent* AOwner) : TPanel(AOwner) {}

  TcxCustomEditPopupWindow* Popup = nullptr;
  std::vector<TcxEditCloseUpReason> CloseUps;
  Integer Finalizations = 0;
  Integer SizeChanges = 0;
  TSize Preferred{150, 90};
  bool AcceptsAnySize = true;

  void CloseUp(TcxEditCloseUpReason AReason) override {
    CloseUps.push_back(AReason);
    if (Popup) Popup->CloseUp();
  }
  void DoFinalizePopup() override { ++Finalizations; }
  TRect GetPopupWindowOwnerControlBounds() override { return BoundsRect(); }
  TSize GetPopupWindowClientPreferredSize() override { return Preferred; }
  void PositionPopupWindowChilds(const TRect&) override {}
  bool PopupWindowAcceptsAnySize() override { return AcceptsAnySize; }
  TcxLookAndFeel* PopupControlsLookAndFeel() override { return nullptr; }
  bool IsLookupDataVisual() override { return false; }
  bool CanResizeVisualArea(TSize&, Integer, Integer) override { return true; }
  void PopupWindowSizeChanged() override { ++SizeChanges; }
};

TEST(EditPopupWindowTest, SizeFromTheSettings) {
  struct Case {
    bool AutoSize, Sizeable;
    Integer PopupWidth, PopupHeight, MinWidth, MinHeight;
    Integer Width, Height;  // expected; -1 width: the editor's width
  };
  // A single border and no panel: the client extent is 1 on every side.
  const Case cases[] = {
      {false, false, 0, 80, 0, 0, -1, 80},  // width 0: the editor's
      {false, false, 300, 80, 0, 0, 300, 80},
      {false, true, 300, 80, 400, 0, 400, 80},   // sizeable: the minimum
      {false, false, 300, 80, 400, 0, 300, 80},  // not sizeable: no minimum
      {false, false, 300, 0, 0, 50, 300, 50},    // height 0: the minimal
      {false, false, 300, -4, 0, 0, 300, 2},     // at least the extent
      {false, true, 300, 60, 0, 120, 300, 120},
      {true, false, 999, 999, 0, 0, 152, 92},  // the preferred client size
  };
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* edit = new TTestPopupEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 120, 24);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "auto " << c.AutoSize << " sizeable " << c.Sizeable
                 << " width " << c.PopupWidth << " height " << c.PopupHeight);
    TObjectPtr<TcxCustomEditPopupWindow> owned(
        new TcxCustomEditPopupWindow(edit));
    TcxCustomEditPopupWindow& popup = *owned;
    popup.SetBorderStyle(epbsSingle);
    popup.SetPopupAutoSize(c.AutoSize);
    popup.SetSizeable(c.Sizeable);
    popup.PopupWidth = c.PopupWidth;
    popup.PopupHeight = c.PopupHeight;
    popup.MinWidth = c.MinWidth;
    popup.MinHeight = c.MinHeight;
    popup.CalculateSize();
    EXPECT_EQ(popup.Width(), c.Width < 0 ? 120 : c.Width);
    EXPECT_EQ(popup.Height(), c.Height);
    EXPECT_EQ(popup.SizingCorner(), ecoBottomRight);
  }
}

TEST(EditPopupWindowTest, ModalResultGivesTheCloseUpReason) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* edit = new TTestPopupEdit(form.get());
  TObjectPtr<TcxCustomEditPopupWindow> owned(
      new TcxCustomEditPopupWindow(edit));
  TcxCustomEditPopupWindow& popup = *owned;
  for (TModalResult result : {mrOk, mrCancel, mrAbort, mrNone}) {
    popup.SetModalResult(result);
    popup.ModalCloseUp();
  }
  EXPECT_EQ(edit->CloseUps, (std::vector<TcxEditCloseUpReason>{
                                crEnter, crCancel, crUnknown, crUnknown}));
}

TEST(EditPopupWindowTest, ResizeLimitsKeepTheMinimalSizeOnlyWhenSizeable) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* edit = new TTestPopupEdit(form.get());
  TObjectPtr<TcxCustomEditPopupWindow> owned(
      new TcxCustomEditPopupWindow(edit));
  TcxCustomEditPopupWindow& popup = *owned;
  popup.SetBorderStyle(epbsSingle);
  popup.SetSysPanelStyle(true);
  popup.SetCloseButton(true);
  popup.SetBounds(0, 0, 200, 150);
  popup.SetSizeable(true);
  const TSize m = popup.GetMinSize();
  popup.SetSizeable(false);
  // Extent, close button, grip and 10 pixels of room.
  const Integer s = ButtonSize();
  EXPECT_EQ(m.cx, 2 + (s - 4) + (s - 2) + 10);
  EXPECT_EQ(m.cy, 2 + s + 1);
  popup.MinWidth = 180;
  Integer w = 10, h = 10;
  popup.CanResize(w, h);
  EXPECT_EQ(w, 10);  // not sizeable: no limits
  popup.SetSizeable(true);
  popup.CanResize(w, h);
  EXPECT_EQ(w, 180);
  EXPECT_EQ(h, m.cy);
  // While the editor sets the popup up, nothing is checked.
  w = 10;
  popup.SettingUp = true;
  popup.CanResize(w, h);
  EXPECT_EQ(w, 10);
}

// --- Windowed
// ----------------------------------------------------------------------

class EditPopupWindowedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetCaption("EditPopupWindowedTest");
    const TRect area = GetDesktopWorkArea(TPoint{0, 0});
    form_->SetBounds(area.Left + 40, area.Top + 40, 400, 300);
    edit_ = new TTestPopupEdit(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(20, 20, 160, 24);
    form_->Show();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form_->Handle()); },
                          "form shown"));
    ui_test::PumpUntilIdle();
  }
  void TearDown() override {
    while (cxOpenPopupWindowCount() > 0) cxOpenPopupWindow(0)->CloseUp();
    form_.reset();
  }
  TcxCustomEditPopupWindow* NewPopup() {
    auto* popup = new TcxCustomEditPopupWindow(edit_);
    edit_->Popup = popup;
    popup->SetModalMode(false);
    popup->SetCaptureFocus(false);
    popup->SetOwnerParent(form_.get());
    popup->SetBorderStyle(epbsSingle);
    popup->SetSysPanelStyle(true);
    popup->SetSizeable(true);
    popup->SetCloseButton(true);
    popup->PopupWidth = 220;
    popup->PopupHeight = 140;
    return popup;
  }
  void Open(TcxCustomEditPopupWindow* APopup) {
    APopup->Popup(nullptr);
    ASSERT_TRUE(APopup->IsVisible());
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(APopup->Handle()); },
                          "popup shown"));
    ui_test::PumpUntilIdle();
  }
  // A point of the popup's view-info rectangle, in screen coordinates.
  static POINT ScreenCentre(TcxCustomEditPopupWindow* APopup, const TRect& R) {
    return POINT{APopup->Left() + (R.Left + R.Right) / 2,
                 APopup->Top() + (R.Top + R.Bottom) / 2};
  }

  TObjectPtr<TForm> form_;
  TTestPopupEdit* edit_ = nullptr;
  ui_test::TCursorPosGuard cursor_;
  ui_test::THeldButtonsGuard buttons_;
};

TEST_F(EditPopupWindowedTest, BelowTheEditorTheGripIsInTheBottomRightCorner) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  Open(popup);
  const TRect owner = popup->GetOwnerScreenBounds();
  EXPECT_EQ(popup->Left(), owner.Left);
  EXPECT_EQ(popup->Top(), owner.Bottom);
  EXPECT_EQ(popup->SizingCorner(), ecoBottomRight);
  EXPECT_EQ(popup->Width(), 220);
  EXPECT_EQ(popup->Height(), 140);
}

TEST_F(EditPopupWindowedTest, AboveTheEditorTheShadowDoesNotCoverIt) {
  // The editor at the bottom of the work area: no room below it.
  const TRect area = GetDesktopWorkArea(TPoint{0, 0});
  form_->SetBounds(area.Left + 40, area.Bottom - 120, 400, 100);
  edit_->SetBounds(20, 30, 160, 24);
  ui_test::PumpUntilIdle();
  TcxCustomEditPopupWindow* popup = NewPopup();
  popup->SetShadow(true);
  Open(popup);
  const TRect owner = popup->GetOwnerScreenBounds();
  EXPECT_EQ(popup->SizingCorner(), ecoTopRight);
  // The visible popup (without its shadow) touches the editor.
  EXPECT_EQ(popup->Top() + popup->Height() - cxContainerShadowWidth, owner.Top);
  // The panel runs along the top; the grip is at the top right.
  EXPECT_LT(popup->ViewInfo()->SizeGripRect.Top, popup->Height() / 2);
  EXPECT_GT(popup->ViewInfo()->SizeGripRect.Left, popup->Width() / 2);
  // The bottom shadow strip over the editor is cut out of the window.
  TRegionHandle region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(popup->Handle(), region.get()), ERROR);
  const Integer y = popup->Height() - 1;
  EXPECT_FALSE(::PtInRegion(region.get(), owner.Left - popup->Left() + 10, y));
  EXPECT_TRUE(::PtInRegion(region.get(), 10, 10));
  // The right shadow strip stays.
  EXPECT_TRUE(
      ::PtInRegion(region.get(), popup->Width() - 1, popup->Height() / 2));
}

TEST_F(EditPopupWindowedTest, DraggingTheGripResizesAndTellsTheEditor) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  Open(popup);
  const POINT grip = ScreenCentre(popup, popup->ViewInfo()->SizeGripRect);
  ui_test::Drag(grip, POINT{grip.x + 40, grip.y + 30});
  ASSERT_TRUE(WaitUntil([&] { return !popup->IsSizing(); }, "sizing ended"));
  ui_test::PumpUntilIdle();
  EXPECT_EQ(popup->Width(), 260);
  EXPECT_EQ(popup->Height(), 170);
  EXPECT_GT(edit_->SizeChanges, 0);
  EXPECT_TRUE(popup->IsVisible());
  // The grip followed the new corner.
  EXPECT_EQ(popup->ViewInfo()->SizeGripSizingRect.Right,
            popup->ViewInfo()->InnerRect.Right);
  EXPECT_EQ(popup->ViewInfo()->InnerRect.Right, 259);

  // Shrinking far stops at the minimal size.
  const POINT grip2 = ScreenCentre(popup, popup->ViewInfo()->SizeGripRect);
  ui_test::Drag(grip2, POINT{popup->Left() + 2, popup->Top() + 2});
  ASSERT_TRUE(WaitUntil([&] { return !popup->IsSizing(); }, "sizing ended"));
  ui_test::PumpUntilIdle();
  const TSize m = popup->GetMinSize();
  EXPECT_EQ(popup->Width(), m.cx);
  EXPECT_EQ(popup->Height(), m.cy);
}

TEST_F(EditPopupWindowedTest,
       DraggingTheLeftEdgeOfABottomRightPopupDoesNothing) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  Open(popup);
  const POINT left{popup->Left(), popup->Top() + 40};
  ui_test::Drag(left, POINT{left.x - 30, left.y});
  ui_test::PumpUntilIdle();
  EXPECT_EQ(popup->Width(), 220);
  EXPECT_EQ(edit_->SizeChanges, 0);
}

TEST_F(EditPopupWindowedTest, ClickOnTheCloseButtonClosesThroughTheEditor) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  Open(popup);
  ui_test::Click(ScreenCentre(popup, popup->ViewInfo()->CloseButtonRect));
  ASSERT_TRUE(WaitUntil([&] { return !popup->IsVisible(); }, "popup closed"));
  EXPECT_EQ(edit_->CloseUps, std::vector<TcxEditCloseUpReason>{crUnknown});
}

TEST_F(EditPopupWindowedTest, PressingTheCloseButtonAndLeavingItDoesNotClose) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  Open(popup);
  const POINT close = ScreenCentre(popup, popup->ViewInfo()->CloseButtonRect);
  ui_test::MouseDown(close);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(popup->ViewInfo()->CloseButtonState, cxbsPressed);
  ui_test::MoveMouseTo(POINT{popup->Left() + popup->Width() / 2,
                             popup->Top() + popup->Height() / 2});
  ui_test::PumpUntilIdle();
  EXPECT_EQ(popup->ViewInfo()->CloseButtonState, cxbsNormal);
  ui_test::MouseUp(POINT{popup->Left() + popup->Width() / 2,
                         popup->Top() + popup->Height() / 2});
  ui_test::PumpUntilIdle();
  EXPECT_TRUE(popup->IsVisible());
  EXPECT_TRUE(edit_->CloseUps.empty());
}

TEST_F(EditPopupWindowedTest, PopupOfAHiddenEditorFinalizesAndStaysClosed) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  edit_->Hide();
  ui_test::PumpUntilIdle();
  popup->Popup(nullptr);
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(edit_->Finalizations, 1);
}

TEST_F(EditPopupWindowedTest, ATypedCharacterReachesThePopupsFocusedControl) {
  TcxCustomEditPopupWindow* popup = NewPopup();
  popup->SetCaptureFocus(true);
  auto* inner = new TEdit(popup);
  inner->SetParent(popup);
  inner->SetBounds(4, 4, 100, 22);
  popup->SetFocusedControlValue(inner);
  popup->Popup(inner);
  ASSERT_TRUE(WaitUntil([&] { return inner->Focused(); }, "inner focused"));
  ::PostMessageA(popup->Handle(), CM_POPUPCONTROLKEY, 'q', 0);
  ASSERT_TRUE(WaitUntil([&] { return inner->Text() == "q"; }, "key passed"));
  popup->CloseUp();
  // A closed popup passes nothing on.
  ::SendMessageA(popup->Handle(), CM_POPUPCONTROLKEY, 'z', 0);
  EXPECT_EQ(inner->Text(), "q");
}

}  // namespace
