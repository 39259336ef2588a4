// The status bar on a form: panel layout, width rules, clicks, the size
// grip and its sizing corner, panel styles by class name, keyboard lock
// states, and the pixels of each painter.
#include "WinApi.h"
//
#include <gtest/gtest.h>

#include <vector>

#include "../foundation/dxUxThemeStandIn.h"
#include "Forms.h"
#include "ReferenceTool.h"
#include "ScopeGuard.h"
#include "UiDriverControlsWin.h"
#include "UiDriverWin.h"
//
#include "dxOffice11.h"
#include "dxStatusBar.h"

namespace {

constexpr TColor kBarColor = static_cast<TColor>(0x1EC80A);  // RGB(10,200,30)

class StatusBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetLeft(40);
    form_->SetTop(40);
    form_->SetClientWidth(725);
    form_->SetClientHeight(120);
    bar_ = new TdxStatusBar(form_.get());
    bar_->SetParent(form_.get());
    bar_->SetColor(kBarColor);
    form_->Show();
    ASSERT_TRUE(ui_test::PumpUntilIdle());
  }
  void TearDown() override {
    ui_test::ReleaseHeldButtons();
    form_.reset();
  }
  TdxStatusBarPanel* AddPanel(Integer AWidth = -1) {
    TdxStatusBarPanel* p = bar_->Panels()->Add();
    if (AWidth >= 0) p->SetWidth(AWidth);
    return p;
  }
  TColor PixelAt(Integer X, Integer Y) {
    bar_->Repaint();
    HDC dc = ::GetDC(bar_->Handle());
    const COLORREF c = ::GetPixel(dc, X, Y);
    ::ReleaseDC(bar_->Handle(), dc);
    return static_cast<TColor>(c);
  }
  // Left edge of visible panel I in the bar's client coordinates.
  Integer PanelLeft(Integer I) {
    Integer left = bar_->GetPanelsBounds().Left;
    for (Integer k = 0; k < 2 * I; ++k) left += bar_->ViewInfo()->Widths()[k];
    return left;
  }

  ui_test::TCursorPosGuard cursor_;
  TObjectPtr<TForm> form_;
  TdxStatusBar* bar_ = nullptr;
};

TEST_F(StatusBarTest, MainWindowLayout) {
  EXPECT_EQ(bar_->Align(), alBottom);
  EXPECT_EQ(bar_->Height(), 20);
  AddPanel(200);
  TdxStatusBarPanel* second = AddPanel();
  EXPECT_EQ(second->PanelStyleClassName(), "TdxStatusBarTextPanelStyle");
  EXPECT_EQ(bar_->Width(), 725);
  EXPECT_EQ(bar_->ViewInfo()->Widths(), (std::vector<Integer>{202, 2, 521}));
}

TEST_F(StatusBarTest, WidthRulesTable) {
  struct Case {
    std::vector<Integer> Widths;
    std::vector<bool> Fixed;
    std::vector<Integer> Expected;
  };
  const Case cases[] = {
      // All fixed: the last one stretches.
      {{100, 100}, {true, true}, {102, 2, 621}},
      // One not fixed: that one stretches, the last keeps its width.
      {{100, 100, 100}, {true, false, true}, {102, 2, 501, 2, 102 + 16}},
      // Two not fixed share the rest (619) in proportion to their paint
      // widths, 102 and 318 (the last carries the grip).
      {{100, 100, 300}, {false, true, false}, {150, 2, 102, 2, 469}},
      // A share (603 * 22 / 1024 = 12) at or under the minimum (22) gives
      // the minimum; the other takes the rest.
      {{1000, 20, 100}, {false, false, true}, {581, 2, 22, 2, 118}},
  };
  for (const Case& c : cases) {
    bar_->Panels()->Clear();
    for (std::size_t i = 0; i < c.Widths.size(); ++i)
      AddPanel(c.Widths[i])->SetFixed(c.Fixed[i]);
    EXPECT_EQ(bar_->ViewInfo()->Widths(), c.Expected);
  }
}

TEST_F(StatusBarTest, MinWidthAndWidthRaiseEachOther) {
  TdxStatusBarPanel* p = AddPanel(50);
  p->SetMinWidth(80);
  EXPECT_EQ(p->Width(), 80);
  p->SetWidth(10);
  EXPECT_EQ(p->Width(), 80);
  p->SetMinWidth(-5);
  EXPECT_EQ(p->MinWidth(), 0);
}

TEST_F(StatusBarTest, ClicksReachThePanelUnderTheMouseButNotSeparators) {
  TdxStatusBarPanel* first = AddPanel(200);
  TdxStatusBarPanel* second = AddPanel();
  std::vector<TObject*> clicked;
  for (TdxStatusBarPanel* p : {first, second})
    p->OnClick = TNotifyEvent::FromFunction(
        [&](TObject* Sender) { clicked.push_back(Sender); });
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ui_test::Click(bar_, PanelLeft(0) + 50, 10);
  ui_test::Click(bar_, PanelLeft(0) + 202, 10);  // the separator
  ui_test::Click(bar_, PanelLeft(1) + 50, 10);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_EQ(clicked, (std::vector<TObject*>{first, second}));
}

TEST_F(StatusBarTest, SizeGripOnlyOnASizableNormalForm) {
  AddPanel(200);
  EXPECT_TRUE(bar_->SizeGripAllocated());
  const POINT corner = ui_test::ScreenPointOf(bar_, 723, 18);
  const LPARAM at = MAKELPARAM(corner.x, corner.y);
  EXPECT_EQ(::SendMessageA(bar_->Handle(), WM_NCHITTEST, 0, at), HTBOTTOMRIGHT);
  form_->SetWindowState(wsMaximized);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_FALSE(bar_->SizeGripAllocated());
  form_->SetWindowState(wsNormal);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_TRUE(bar_->SizeGripAllocated());
  form_->SetBorderStyle(bsSingle);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  EXPECT_FALSE(bar_->SizeGripAllocated());
  const POINT moved = ui_test::ScreenPointOf(bar_, bar_->Width() - 2, 18);
  EXPECT_NE(::SendMessageA(bar_->Handle(), WM_NCHITTEST, 0,
                           MAKELPARAM(moved.x, moved.y)),
            HTBOTTOMRIGHT);
  form_->SetBorderStyle(bsSizeable);
  bar_->SetSizeGrip(false);
  EXPECT_FALSE(bar_->SizeGripAllocated());
}

TEST_F(StatusBarTest, GripWidthGoesToTheLastVisiblePanel) {
  TdxStatusBarPanel* a = AddPanel(100);
  TdxStatusBarPanel* b = AddPanel(100);
  a->SetFixed(false);
  ASSERT_TRUE(bar_->SizeGripAllocated());
  EXPECT_EQ(b->PaintWidth(), 102 + 16);
  EXPECT_EQ(a->PaintWidth(), 102);
  b->SetVisible(false);
  EXPECT_EQ(a->PaintWidth(), 102 + 16);
  EXPECT_EQ(b->PaintWidth(), 102);
}

TEST_F(StatusBarTest, PanelStyleByClassName) {
  TdxStatusBarPanel* p = AddPanel(100);
  struct Case {
    const char* Name;
    const char* Result;
  };
  for (const Case& c :
       {Case{"TdxStatusBarKeyboardStatePanelStyle",
             "TdxStatusBarKeyboardStatePanelStyle"},
        Case{"TdxStatusBarStateIndicatorPanelStyle",
             "TdxStatusBarStateIndicatorPanelStyle"},
        Case{"TdxStatusBarTextPanelStyle", "TdxStatusBarTextPanelStyle"},
        Case{"TdxStatusBarNoSuchStyle", ""}}) {
    SCOPED_TRACE(c.Name);
    p->SetPanelStyleClassName(c.Name);
    EXPECT_EQ(p->PanelStyleClassName(), c.Result);
  }
  // Without a style the panel paints its background in the bar's colour.
  p->SetText("never drawn");
  EXPECT_EQ(PixelAt(PanelLeft(0) + 30, 10), ColorToRGB(kBarColor));
  EXPECT_EQ(GetRegisteredStatusBarPanelStyles()->GetDescriptionByClass(
                TdxStatusBarKeyboardStatePanelStyle::StaticClass()),
            "Keyboard State Panel");
}

TEST_F(StatusBarTest, StyleMinimumWidths) {
  TdxStatusBarPanel* keys = AddPanel();
  keys->SetPanelStyleClass(TdxStatusBarKeyboardStatePanelStyle::StaticClass());
  auto* keyStyle =
      static_cast<TdxStatusBarKeyboardStatePanelStyle*>(keys->PanelStyle());
  keyStyle->SetKeyboardStates({});
  EXPECT_EQ(keys->Width(), 50);
  EXPECT_TRUE(keys->Fixed());

  TdxStatusBarPanel* lamps = AddPanel();
  lamps->SetPanelStyleClass(
      TdxStatusBarStateIndicatorPanelStyle::StaticClass());
  auto* lampStyle =
      static_cast<TdxStatusBarStateIndicatorPanelStyle*>(lamps->PanelStyle());
  EXPECT_EQ(lamps->Width(), 20);
  lampStyle->Indicators()->Add()->SetIndicatorType(sitGreen);
  TdxStatusBarStateIndicatorItem* hidden = lampStyle->Indicators()->Add();
  const Integer bitmapWidth =
      lampStyle->Indicators()->Items(0)->Bitmap()->Width();
  ASSERT_GT(bitmapWidth, 0);
  EXPECT_EQ(lamps->Width(), 4 + 2 * (bitmapWidth + 4));
  hidden->SetVisible(false);
  EXPECT_EQ(lamps->Width(), 4 + bitmapWidth + 4);
}

TEST_F(StatusBarTest, AutoHintBelongsToOneTextPanel) {
  TdxStatusBarPanel* a = AddPanel();
  TdxStatusBarPanel* b = AddPanel();
  auto* sa = static_cast<TdxStatusBarTextPanelStyle*>(a->PanelStyle());
  auto* sb = static_cast<TdxStatusBarTextPanelStyle*>(b->PanelStyle());
  sa->SetAutoHint(true);
  sb->SetAutoHint(true);
  EXPECT_FALSE(sa->AutoHint());
  EXPECT_TRUE(sb->AutoHint());
  EXPECT_TRUE(bar_->ShowApplicationHint("Saves the group"));
  EXPECT_EQ(b->Text(), "Saves the group");
  int hints = 0;
  bar_->OnHint = TNotifyEvent::FromFunction([&](TObject*) { ++hints; });
  EXPECT_FALSE(bar_->ShowApplicationHint("Other"));
  EXPECT_EQ(hints, 1);
  EXPECT_EQ(b->Text(), "Saves the group");
}

// Sets the thread's state of one key for the length of a test.
class KeyStateScope {
 public:
  KeyStateScope(BYTE AKey, BYTE AState) : key_(AKey) {
    ::GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(saved_, saved_ + 256, state);
    state[AKey] = AState;
    ::SetKeyboardState(state);
  }
  ~KeyStateScope() { ::SetKeyboardState(saved_); }

 private:
  BYTE key_;
  BYTE saved_[256];
};

TEST(KeyboardStateTest, OnlyTheToggleBitCounts) {
  struct Case {
    BYTE State;
    bool Toggled;
  };
  for (const Case& c : {Case{0x00, false}, Case{0x01, true}, Case{0x80, false},
                        Case{0x81, true}}) {
    SCOPED_TRACE(static_cast<int>(c.State));
    KeyStateScope scope(VK_CAPITAL, c.State);
    EXPECT_EQ(dxIsKeyToggled(VK_CAPITAL), c.Toggled);
  }
}

TEST_F(StatusBarTest, KeyboardPanelFollowsTheLockKeys) {
  TdxStatusBarPanel* p = AddPanel();
  p->SetPanelStyleClass(TdxStatusBarKeyboardStatePanelStyle::StaticClass());
  auto* style =
      static_cast<TdxStatusBarKeyboardStatePanelStyle*>(p->PanelStyle());
  style->SetKeyboardStates({dxksCapsLock});
  style->Font()->SetColor(clRed);
  style->Appearance(dxksCapsLock)->SetActiveFontColor(clRed);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // Is any pixel of the caption in the colour?
  auto captionIn = [&](TColor AColor) {
    bar_->Repaint();
    HDC dc = ::GetDC(bar_->Handle());
    bool found = false;
    for (Integer x = PanelLeft(0); x < PanelLeft(0) + 60 && !found; ++x)
      for (Integer y = 4; y < 18 && !found; ++y)
        found = static_cast<TColor>(::GetPixel(dc, x, y)) == ColorToRGB(AColor);
    ::ReleaseDC(bar_->Handle(), dc);
    return found;
  };
  {
    KeyStateScope on(VK_CAPITAL, 0x81);  // held down and toggled on
    style->Notifier()->Execute();
    EXPECT_TRUE(captionIn(clRed));
  }
  {
    KeyStateScope off(VK_CAPITAL, 0x80);
    style->Notifier()->Execute();
    EXPECT_FALSE(captionIn(clRed));
    EXPECT_TRUE(captionIn(clBtnShadow));
  }
}

// --- Painters ---

TEST_F(StatusBarTest, PainterChoiceTable) {
  struct Case {
    TdxStatusBarPaintStyle Style;
    TcxLookAndFeelKind Kind;
    TdxStatusBarPainterClass Expected;
  };
  const bool themed = AreVisualStylesAvailable(totStatus);
  const Case cases[] = {
      {stpsStandard, lfFlat, TdxStatusBarStandardPainter::Instance()},
      {stpsFlat, lfFlat, TdxStatusBarFlatPainter::Instance()},
      {stpsOffice11, lfFlat, TdxStatusBarOffice11Painter::Instance()},
      {stpsXP, lfFlat,
       themed ? TdxStatusBarXPPainter::Instance()
              : TdxStatusBarStandardPainter::Instance()},
      {stpsUseLookAndFeel, lfUltraFlat, TdxStatusBarFlatPainter::Instance()},
      {stpsUseLookAndFeel, lfStandard, TdxStatusBarStandardPainter::Instance()},
      {stpsUseLookAndFeel, lfFlat, TdxStatusBarStandardPainter::Instance()},
      {stpsUseLookAndFeel, lfOffice11, TdxStatusBarOffice11Painter::Instance()},
  };
  for (const Case& c : cases) {
    bar_->LookAndFeel()->SetNativeStyle(false);
    bar_->LookAndFeel()->SetKind(c.Kind);
    bar_->SetPaintStyle(c.Style);
    EXPECT_EQ(bar_->Painter(), c.Expected)
        << static_cast<int>(c.Style) << "/" << static_cast<int>(c.Kind);
  }
}

TEST_F(StatusBarTest, StandardPainterPixels) {
  AddPanel(200);
  AddPanel();
  const Integer top = 2;  // below the top strip
  const Integer left = PanelLeft(0);
  // The 2-pixel top strip in the bar's colour.
  EXPECT_EQ(PixelAt(left + 10, 0), ColorToRGB(kBarColor));
  // A sunken outer edge: shadow left and top, highlight right and bottom.
  EXPECT_EQ(PixelAt(left, top + 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(left + 10, top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(left + 201, top + 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(left + 10, 19), ColorToRGB(clBtnHighlight));
  // Content and separator in the bar's colour.
  EXPECT_EQ(PixelAt(left + 150, 10), ColorToRGB(kBarColor));
  EXPECT_EQ(PixelAt(left + 202, 10), ColorToRGB(kBarColor));
  // A bevel-less panel keeps its whole rectangle for its content.
  bar_->Panels()->Items(0)->SetBevel(dxpbNone);
  EXPECT_EQ(PixelAt(left, top + 5), ColorToRGB(kBarColor));
}

TEST_F(StatusBarTest, BorderWidthBandUnderTheStandardPainter) {
  AddPanel(200);
  bar_->SetHeight(30);
  bar_->SetBorderWidth(3);
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // Inside the band (top strip 2, band 3): the panel's edge starts at 5.
  EXPECT_EQ(PixelAt(1, 10), ColorToRGB(kBarColor));
  EXPECT_EQ(PixelAt(50, 4), ColorToRGB(kBarColor));
  EXPECT_EQ(PixelAt(3, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(50, 5), ColorToRGB(clBtnShadow));
}

TEST_F(StatusBarTest, FlatPainterFramesWithShadow) {
  AddPanel(200);
  AddPanel();
  bar_->SetPaintStyle(stpsUseLookAndFeel);
  bar_->LookAndFeel()->SetNativeStyle(false);
  bar_->LookAndFeel()->SetKind(lfUltraFlat);
  const Integer left = PanelLeft(0);
  for (const TPoint& p : {TPoint(left, 8), TPoint(left + 10, 2),
                          TPoint(left + 201, 8), TPoint(left + 10, 19)})
    EXPECT_EQ(PixelAt(p.X, p.Y), ColorToRGB(clBtnShadow)) << p.X << "," << p.Y;
  EXPECT_EQ(PixelAt(left + 202, 10), ColorToRGB(kBarColor));  // separator
}

TEST_F(StatusBarTest, Office11PainterShowsTheGradientBetweenPanels) {
  AddPanel(200);
  AddPanel();
  bar_->SetPaintStyle(stpsOffice11);
  const Integer left = PanelLeft(0);
  const TColor frame = TdxStatusBarOffice11Painter::PanelFrameColor();
  EXPECT_EQ(PixelAt(left, 8), ColorToRGB(frame));
  EXPECT_EQ(PixelAt(left + 201, 8), ColorToRGB(frame));
  // No separator is painted: the border gradient shows through.
  const TColor sep = PixelAt(left + 202, 10);
  EXPECT_NE(sep, ColorToRGB(kBarColor));
  EXPECT_NE(sep, ColorToRGB(frame));
  // Panels without a colour of their own show the gradient too.
  EXPECT_NE(PixelAt(left + 100, 10), ColorToRGB(kBarColor));
}

TEST_F(StatusBarTest, XPPainterWithoutThemesPaintsLikeStandard) {
  TUxThemeStandIn themes;
  themes.SetActive(false);
  ASSERT_FALSE(AreVisualStylesAvailable(totStatus));
  AddPanel(200);
  AddPanel();
  std::vector<TColor> standard, xp;
  for (auto* out : {&standard, &xp}) {
    bar_->SetPaintStyle(out == &xp ? stpsXP : stpsStandard);
    for (Integer x = 0; x < 725; x += 7)
      for (Integer y = 0; y < 20; y += 3) out->push_back(PixelAt(x, y));
  }
  EXPECT_EQ(standard, xp);
}

TEST_F(StatusBarTest, XPPainterDrawsTheThemeAndIgnoresBorderWidth) {
  // Wine's prefix has visual styles; a machine without them cannot check.
  if (!AreVisualStylesAvailable(totStatus))
    SKIP_UNLESS_CI("no visual styles here");
  AddPanel(200);
  AddPanel();
  bar_->SetPaintStyle(stpsXP);
  ASSERT_EQ(bar_->Painter(), TdxStatusBarXPPainter::Instance());
  bar_->SetBorderWidth(3);
  EXPECT_EQ(bar_->GetPanelsBounds().Left, 0);
  EXPECT_EQ(bar_->GetPanelsBounds().Top, 2);
  EXPECT_GT(bar_->Painter()->GripAreaSize().cx, 0);
  // The theme's background, not the bar's colour, lies under the panels.
  EXPECT_NE(PixelAt(100, 1), ColorToRGB(kBarColor));
  EXPECT_NE(PixelAt(100, 10), ColorToRGB(kBarColor));
}

TEST_F(StatusBarTest, NoVisiblePanelsPaintOneLoweredPanel) {
  AddPanel(100)->SetVisible(false);
  EXPECT_EQ(bar_->ViewInfo()->PanelCount(), 0);
  EXPECT_EQ(PixelAt(0, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(300, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(300, 10), ColorToRGB(kBarColor));
}

}  // namespace

namespace {

TEST_F(StatusBarTest, ContainerPanelHostsControls) {
  TdxStatusBarPanel* text = AddPanel(200);
  TdxStatusBarPanel* host = AddPanel(150);
  host->SetFixed(true);
  host->SetPanelStyleClass(TdxStatusBarContainerPanelStyle::StaticClass());
  auto* style =
      static_cast<TdxStatusBarContainerPanelStyle*>(host->PanelStyle());
  TdxStatusBarContainerControl* container = style->Container();
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(container->Parent(), bar_);
  EXPECT_EQ(container->PanelStyle(), style);
  auto* child = new TPanel(form_.get());
  child->SetParent(container);
  bar_->Repaint();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  // Inside the panel's edge; the child fills the container.
  EXPECT_EQ(container->Left(), PanelLeft(1) + 1);
  EXPECT_EQ(child->Width(), container->Width());
  EXPECT_EQ(child->Height(), container->Height());
  // The panel hides, so does the container.
  host->SetVisible(false);
  EXPECT_FALSE(container->Visible());
  host->SetVisible(true);
  // Freeing the container takes the panel's style away.
  { TObjectPtr<TdxStatusBarContainerControl> freed(container); }
  EXPECT_EQ(host->PanelStyle(), nullptr);
  EXPECT_EQ(text->PanelStyleClassName(), "TdxStatusBarTextPanelStyle");
  // A new container style, then the form goes with everything on it.
  host->SetPanelStyleClass(TdxStatusBarContainerPanelStyle::StaticClass());
  ASSERT_NE(static_cast<TdxStatusBarContainerPanelStyle*>(host->PanelStyle())
                ->Container(),
            nullptr);
  form_.reset();
}

TEST_F(StatusBarTest, TextPanelDrawsTextAndImageOnlyInRange) {
  TdxStatusBarPanel* p = AddPanel(200);
  p->SetText("Ready");
  auto* style = static_cast<TdxStatusBarTextPanelStyle*>(p->PanelStyle());
  style->Font()->SetColor(clBlue);
  std::vector<String> asked;
  style->OnGetText = TdxStatusBarTextEvent::FromFunction(
      [&](TObject*, const TRect&, String& AText) {
        asked.push_back(AText);
        AText = "Busy";
      });
  style->SetImageIndex(3);  // no image list: no image, the text keeps room
  bar_->Repaint();
  ASSERT_TRUE(ui_test::PumpUntilIdle());
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back(), "Ready");
  HDC dc = ::GetDC(bar_->Handle());
  Integer firstBlue = -1;
  for (Integer x = 0; x < 100 && firstBlue < 0; ++x)
    for (Integer y = 3; y < 18; ++y)
      if (static_cast<TColor>(::GetPixel(dc, x, y)) == ColorToRGB(clBlue)) {
        firstBlue = x;
        break;
      }
  ::ReleaseDC(bar_->Handle(), dc);
  // Edge 1, then 2 pixels of margin: the text starts within a few pixels.
  EXPECT_GE(firstBlue, 3);
  EXPECT_LE(firstBlue, 6);
}

}  // namespace
