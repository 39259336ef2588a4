// The themed painter on a recording stand-in of the visual-styles library:
// its measured metrics, the theme parts and states it draws, and the
// manager's choice of it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "../foundation/dxUxThemeStandIn.h"
#include "Forms.h"
#include "UiDriverWin.h"
#include "dxBar.h"
#include "dxBarTestSurface.h"
#include "dxBarThemeRecorder.h"

namespace {

using namespace bar_test;

class BarThemedPainterTest : public ::testing::Test {
 protected:
  void SetUp() override { RecordTheme(); }
  TUxThemeStandIn standIn_;
};

TEST_F(BarThemedPainterTest, MetricsAreMeasuredFromTheTheme) {
  TdxBarXPPainter painter;
  EXPECT_EQ(painter.BarBeginGroupSize(), 6);
  EXPECT_EQ(painter.BarBeginGroupSideSize(), 2);
  EXPECT_EQ(painter.BarCloseButtonSize(), (TSize{13, 11}));
  // The split button's top and bottom content margins.
  EXPECT_EQ(painter.GetButtonBorderHeight(), 3 + 5);
  EXPECT_EQ(painter.GetButtonBorderWidth(), 3 + 5);
  EXPECT_EQ(painter.GripperSize(), 5);
  EXPECT_EQ(painter.FingersSize(nullptr), 5 + 0 + 2);
  // The chunk's height and the bar's left and right margins.
  EXPECT_EQ(painter.ProgressControlBarHeight(), 9 + 2 + 4);
  EXPECT_EQ(painter.SubMenuControlBeginGroupSize(), 7);
  EXPECT_EQ(painter.SubMenuGetSeparatorSize(), 7);
  EXPECT_EQ(painter.StatusBarGripSize(nullptr), (TSize{12, 9}));
  EXPECT_EQ(dxBarXPPainterMetrics().EditControlBorderOffsets,
            (TRect{2, 3, 4, 5}));
  Integer height = 20;
  painter.CorrectButtonControlDefaultHeight(height);
  EXPECT_EQ(height, 21);
  EXPECT_EQ(painter.ComboBoxArrowWidth(5), 5);
  // Without a theme colour the edit text keeps the system colours.
  EXPECT_EQ(ColorToRGB(painter.EditGetDisabledTextColor()),
            ::GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(ColorToRGB(painter.EditGetEnabledBkColor()),
            ::GetSysColor(COLOR_WINDOW));
}

TEST_F(BarThemedPainterTest, GlyphFramesTakeTheToolbarButtonStates) {
  TdxBarXPPainter painter;
  struct Case {
    TdxBarGlyphFlags flags;
    std::pair<int, int> drawn;
  };
  TdxBarGlyphFlags hot;
  hot.Selected = true;
  TdxBarGlyphFlags down;
  down.Down = true;
  TdxBarGlyphFlags pressed = hot;
  pressed.Pressed = true;
  TdxBarGlyphFlags open;
  open.DroppedDown = true;
  TdxBarGlyphFlags splitOpen = open;
  splitOpen.SplitPart = true;
  const Case cases[] = {
      {{}, {1, 1}},      {hot, {1, 2}},  {down, {1, 5}},
      {pressed, {1, 3}}, {open, {1, 5}}, {splitOpen, {3, 1}},
  };
  Surface s(30, 30);
  for (const Case& c : cases) {
    Parts().drawn.clear();
    painter.DrawGlyphBorder(nullptr, s.DC(), ::GetSysColorBrush(COLOR_BTNFACE),
                            true, {0, 0, 24, 22}, ptHorz, c.flags);
    ASSERT_EQ(Parts().drawn.size(), 1u) << &c - cases;
    EXPECT_EQ(Parts().drawn[0], c.drawn) << &c - cases;
  }
  // A hot menu item without an icon gets its brush, no theme part.
  Parts().drawn.clear();
  TdxBarGlyphFlags menuHot = hot;
  menuHot.NoIcon = true;
  painter.DrawGlyphBorder(nullptr, s.DC(), ::GetSysColorBrush(COLOR_HIGHLIGHT),
                          true, {0, 0, 24, 22}, ptMenu, menuHot);
  EXPECT_TRUE(Parts().drawn.empty());
  EXPECT_EQ(s.At(5, 5), ::GetSysColor(COLOR_HIGHLIGHT));
  // Separators: across a horizontal toolbar part 5, in a vertical one 6.
  Parts().drawn.clear();
  painter.BarDrawBeginGroup(nullptr, s.DC(), {0, 0, 6, 22},
                            ::GetSysColorBrush(COLOR_BTNFACE), false);
  painter.BarDrawBeginGroup(nullptr, s.DC(), {0, 0, 22, 6},
                            ::GetSysColorBrush(COLOR_BTNFACE), true);
  EXPECT_EQ(Parts().drawn, (std::vector<std::pair<int, int>>{{5, 1}, {6, 1}}));
  // A menu separator is the vertical separator part; a menu frame is a
  // shadow line.
  Parts().drawn.clear();
  painter.SubMenuControlDrawSeparator(s.DC(), {0, 0, 22, 6});
  EXPECT_EQ(Parts().drawn, (std::vector<std::pair<int, int>>{{6, 1}}));
  // Docks show the rebar background.
  Parts().drawn.clear();
  painter.DockControlFillBackground(nullptr, s.DC(), {0, 0, 10, 10},
                                    {0, 0, 10, 10}, {0, 0, 30, 30}, nullptr,
                                    clRed);
  EXPECT_EQ(Parts().drawn, (std::vector<std::pair<int, int>>{{0, 1}}));
  Surface menu(20, 20);
  painter.SubMenuControlDrawBorder(TdxBarSubMenuPaintInfo{}, menu.DC(),
                                   {0, 0, 20, 20});
  EXPECT_EQ(menu.At(0, 10), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(menu.At(19, 19), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(menu.At(1, 1), kWhite);
}

TEST_F(BarThemedPainterTest, ManagerTakesTheThemedPainterWithEveryClass) {
  TObjectPtr<TForm> form(new TForm(nullptr));
  auto* manager = new TdxBarManager(form.get());
  manager->SetStyle(bmsXP);
  ASSERT_TRUE(manager->VisualStylesAvailable());
  EXPECT_TRUE(dynamic_cast<TdxBarXPPainter*>(manager->Painter()));
  // A theme without one of the nine classes: the enhanced painter, picked
  // up on the theme change itself.
  const WideString spin = dxThemedObjectDefaultClassName(totSpin);
  UxThemeRecord().MissingClasses = {std::wstring(spin.begin(), spin.end())};
  SendThemeChanged();
  EXPECT_FALSE(manager->VisualStylesAvailable());
  EXPECT_EQ(manager->Painter()->ClassType(),
            TdxBarEnhancedPainter::StaticClass());
  UxThemeRecord().MissingClasses.clear();
  SendThemeChanged();
  EXPECT_TRUE(dynamic_cast<TdxBarXPPainter*>(manager->Painter()));
  // Visual styles turned off.
  standIn_.SetActive(false);
  EXPECT_EQ(manager->Painter()->ClassType(),
            TdxBarEnhancedPainter::StaticClass());
  standIn_.SetActive(true);
  EXPECT_TRUE(dynamic_cast<TdxBarXPPainter*>(manager->Painter()));
}

// A shown form whose manager has one toolbar docked at the top.
struct TToolbarForm {
  explicit TToolbarForm(TdxBarManagerStyle AStyle) {
    form.reset(new TForm(nullptr));
    form->SetBounds(100, 100, 400, 300);
    manager = new TdxBarManager(form.get());
    manager->SetStyle(AStyle);
    bar = manager->Bars()->Add();
    bar->SetCaption("Tools");
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    form->Show();
    ui_test::PumpUntilIdle();
  }
  TdxBarControl* Control() const {
    return dynamic_cast<TdxBarControl*>(bar->Control());
  }
  // Where the toolbar's items begin: after its border and grip, which each
  // painter sizes its own way.
  int ContentLeft() const {
    ui_test::PumpUntilIdle();
    RECT window{};
    ::GetWindowRect(Control()->Handle(), &window);
    POINT origin{0, 0};
    ::ClientToScreen(Control()->Handle(), &origin);
    return origin.x - window.left;
  }
  TObjectPtr<TForm> form;
  TdxBarManager* manager = nullptr;
  TdxBar* bar = nullptr;
};

TEST_F(BarThemedPainterTest, ADockedToolbarFollowsTheThemeOnAndOff) {
  TToolbarForm shown(bmsXP);
  TdxBarManager* manager = shown.manager;
  ASSERT_TRUE(shown.Control());
  auto repaint = [&] {
    Parts().drawn.clear();
    Parts().drawnThemes.clear();
    ::RedrawWindow(shown.form->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW |
                       RDW_ALLCHILDREN);
    ui_test::PumpUntilIdle();
  };
  repaint();
  // The rebar's gripper on the toolbar and its background behind it.
  EXPECT_GE(DrawnCount(totRebar, 1, 1), 1);
  EXPECT_GE(DrawnCount(totRebar, 0, 1), 1);
  // The theme goes: the enhanced painter draws without it, and its grip
  // takes the toolbar's content offset.
  standIn_.SetActive(false);
  repaint();
  EXPECT_TRUE(Parts().drawn.empty());
  EXPECT_EQ(manager->Painter()->ClassType(),
            TdxBarEnhancedPainter::StaticClass());
  EXPECT_EQ(shown.ContentLeft(), 2 + 6);
  // And comes back.
  standIn_.SetActive(true);
  repaint();
  EXPECT_GE(DrawnCount(totRebar, 1, 1), 1);
  EXPECT_EQ(shown.ContentLeft(), 2 + 5 + 2);
}

TEST_F(BarThemedPainterTest, ThePainterFollowsStyleAndLookAndFeelAtRunTime) {
  TToolbarForm shown(bmsEnhanced);
  TdxBarManager* manager = shown.manager;
  auto contentLeft = [&] { return shown.ContentLeft(); };
  struct Step {
    const char* What;
    std::function<void()> Do;
    TClass Painter;
    int Left;  // -1: not checked
  };
  TcxLookAndFeel* lf = manager->LookAndFeel();
  const Step steps[] = {
      {"standard", [&] { manager->SetStyle(bmsStandard); },
       TdxBarStandardPainter::StaticClass(), 2 + 9},
      {"enhanced", [&] { manager->SetStyle(bmsEnhanced); },
       TdxBarEnhancedPainter::StaticClass(), 2 + 6},
      {"flat", [&] { manager->SetStyle(bmsFlat); },
       TdxBarFlatPainter::StaticClass(), -1},
      {"look-and-feel standard",
       [&] {
         lf->SetNativeStyle(false);
         lf->SetKind(lfStandard);
         manager->SetStyle(bmsUseLookAndFeel);
       },
       TdxBarStandardPainter::StaticClass(), 2 + 9},
      {"look-and-feel ultra flat", [&] { lf->SetKind(lfUltraFlat); },
       TdxBarFlatPainter::StaticClass(), -1},
      {"look-and-feel flat", [&] { lf->SetKind(lfFlat); },
       TdxBarEnhancedPainter::StaticClass(), 2 + 6},
      {"native with a theme", [&] { lf->SetNativeStyle(true); },
       TdxBarXPPainter::StaticClass(), 2 + 5 + 2},
      {"a theme without spin buttons",
       [&] {
         const WideString spin = dxThemedObjectDefaultClassName(totSpin);
         UxThemeRecord().MissingClasses = {
             std::wstring(spin.begin(), spin.end())};
         SendThemeChanged();
       },
       TdxBarEnhancedPainter::StaticClass(), 2 + 6},
      {"the whole theme again",
       [&] {
         UxThemeRecord().MissingClasses.clear();
         SendThemeChanged();
       },
       TdxBarXPPainter::StaticClass(), 2 + 5 + 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    step.Do();
    EXPECT_EQ(step.Painter, manager->Painter()->ClassType());
    if (step.Left >= 0) {
      EXPECT_EQ(step.Left, contentLeft());
    }
  }
}

}  // namespace
