// The Tabs and Flat styles: their metrics, the selected tab they paint,
// and the themed path through the visual-styles stand-in.
#include <gtest/gtest.h>

#include <vector>

#include "../foundation/dxUxThemeStandIn.h"
#include "cxPCPaintersTabs.h"
#include "cxPCPaintersTestSupport.h"

namespace {

using namespace pcpainters_test;

TEST(PCTabsPainterTest, ClassicMetrics) {
  TStyledTabControl c(1);
  auto* p = c.Painter<TcxPCTabsPainter>();
  ASSERT_FALSE(p->IsNativePainting());
  EXPECT_TRUE(p->NeedShowFrame());
  EXPECT_EQ(p->GetFrameWidth(), 2);
  EXPECT_EQ(p->GetButtonHeight(), 20);
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 12);
  EXPECT_EQ(p->GetTabsContainerOffsets(), TRect(2, 2, 2, 0));
  // The selected tab is thick; its neighbours thin.
  EXPECT_EQ(p->GetTabContentWOffset(1), (TcxPCWOffset{5, 5}));
  EXPECT_EQ(p->GetTabContentWOffset(0), (TcxPCWOffset{3, 3}));
  EXPECT_EQ(p->GetTabClipRgnOperation(1), roSet);
  EXPECT_EQ(p->GetTabClipRgnOperation(0), roIntersect);
  // A main tab without image gains 2 pixels of left text offset.
  EXPECT_EQ(p->GetDrawTextHOffset(1).Left, 7);
  EXPECT_EQ(p->GetDrawTextHOffset(0).Left, 5);
  TcxPCRectCorrection correction;
  p->CorrectTabRect(1, correction);
  EXPECT_EQ(correction, (TcxPCRectCorrection{-2, -2, 2, 1}));
  p->CorrectTabRect(0, correction);
  EXPECT_EQ(correction, cxPCEmptyRectCorrection);
  // 18 less 3, but never under the default height of 18.
  EXPECT_EQ(c.Control()->Tabs()->TabNormalHeight, 18);
}

TEST(PCTabsPainterTest, SelectedTabGrowsOnEachSide) {
  const struct {
    TcxTabPosition Position;
    TcxPCRectCorrection Correction;
  } cases[] = {{tpTop, {-2, -2, 2, 1}},
               {tpBottom, {-2, -1, 2, 2}},
               {tpLeft, {-2, -2, 1, 2}},
               {tpRight, {-1, -2, 2, 2}}};
  for (const auto& c : cases) {
    TStyledTabControl control(1);
    control.Control()->SetTabPosition(c.Position);
    control.Control()->RequestLayout();
    TcxPCRectCorrection correction;
    control.Control()->Painter()->CorrectTabRect(1, correction);
    EXPECT_EQ(correction, c.Correction)
        << "position " << static_cast<int>(c.Position);
  }
}

TEST(PCTabsPainterTest, ClassicSelectedTabPixels) {
  TStyledTabControl c(1);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer y = f.Top + 4;
  EXPECT_EQ(c.At(f.Left, y), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(f.Left + 1, y), FromColor(cl3DLight));
  EXPECT_EQ(c.At(f.Left + 2, y), FromColor(clBtnFace));
  EXPECT_EQ(c.At(f.Right - 2, y), FromColor(clBtnShadow));
  EXPECT_EQ(c.At(f.Right - 1, y), FromColor(cl3DDkShadow));
  // The top edge runs between the cut corners.
  EXPECT_EQ(c.At(f.Left + 4, f.Top), FromColor(clBtnHighlight));
  // The corners outside the cut show the control's colour, not what lay
  // there before.
  EXPECT_EQ(c.At(f.Left + 1, f.Top), FromColor(c.Control()->Color()));
  EXPECT_EQ(c.At(f.Right - 2, f.Top), FromColor(c.Control()->Color()));
}

TEST(PCFlatPainterTest, MetricsAndFrame) {
  TStyledTabControl c(7);
  auto* p = c.Painter<TcxPCFlatPainter>();
  EXPECT_FALSE(p->IsNativePainting());
  EXPECT_EQ(p->GetFrameWidth(), 1);
  EXPECT_EQ(p->GetButtonHeight(), 18);
  EXPECT_EQ(p->GetButtonWidth(nbTopLeft), 18);
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 10);
  EXPECT_EQ(p->GetTabClipRgnOperation(1), roIntersect);
  c.Control()->SetTabPosition(tpLeft);
  c.Control()->RequestLayout();
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 11);
}

TEST(PCFlatPainterTest, SelectedTabPixels) {
  TStyledTabControl c(7);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer y = f.Top + 4;
  EXPECT_EQ(c.At(f.Left, y), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(f.Left + 1, y), FromColor(BrightenColor(clBtnFace, 85)));
  EXPECT_EQ(c.At(f.Right - 1, y), FromColor(clBtnShadow));
  EXPECT_EQ(c.At(f.Left + 3, y), FromColor(clBtnFace));
}

// The stand-in theme with a recorder of the parts drawn.
class PCTabsNativeTest : public ::testing::Test {
 protected:
  PCTabsNativeTest() {
    TdxUxThemeEntries entries = dxUxThemeEntries();
    entries.DrawThemeBackground = &DrawPart;
    dxSetUxThemeEntries(entries, true);
    Parts().clear();
  }

  static std::vector<int>& Parts() {
    static std::vector<int> parts;
    return parts;
  }
  static HRESULT WINAPI DrawPart(HTHEME, HDC, int APart, int, const RECT*,
                                 const RECT*) {
    Parts().push_back(APart);
    return S_OK;
  }

  TUxThemeStandIn theme_;
};

TEST_F(PCTabsNativeTest, NativeWithThemeElseClassic) {
  TStyledTabControl c(1);
  c.Control()->LookAndFeel()->SetNativeStyle(true);
  auto* p = c.Painter<TcxPCTabsPainter>();
  EXPECT_TRUE(p->IsNativePainting());
  EXPECT_EQ(p->GetButtonHeight(), 17);
  EXPECT_EQ(p->GetButtonWidth(nbTopLeft), 17);
  theme_.SetActive(false);
  EXPECT_FALSE(p->IsNativePainting());
  EXPECT_EQ(p->GetButtonHeight(), 20);
  // The flat style never paints natively.
  theme_.SetActive(true);
  TStyledTabControl flat(7);
  flat.Control()->LookAndFeel()->SetNativeStyle(true);
  EXPECT_FALSE(flat.Control()->Painter()->IsNativePainting());
}

TEST_F(PCTabsNativeTest, ThemeParts) {
  TStyledTabControl c(1);
  c.Control()->LookAndFeel()->SetNativeStyle(true);
  Integer part = 0, state = 0;
  auto* p = c.Painter<TcxPCTabsPainter>();
  p->GetTabNativePartAndState(0, part, state);
  EXPECT_EQ(part, 2);  // left edge
  EXPECT_EQ(state, 1);
  p->GetTabNativePartAndState(1, part, state);
  EXPECT_EQ(part, 5);  // the selected tab
  EXPECT_EQ(state, 3);
  p->GetTabNativePartAndState(2, part, state);
  EXPECT_EQ(part, 3);  // right edge
  // The selected last tab of one row takes the middle part.
  c.Control()->SetTabIndex(2);
  p->GetTabNativePartAndState(2, part, state);
  EXPECT_EQ(part, 5);
  c.Paint();
  EXPECT_NE(std::find(Parts().begin(), Parts().end(), 9), Parts().end())
      << "the pane";
  EXPECT_NE(std::find(Parts().begin(), Parts().end(), 5), Parts().end())
      << "the selected tab";
}

}  // namespace

namespace {

TEST(PCTabsPainterTest, TabsPositionBySide) {
  TStyledTabControl c(1);
  auto* p = c.Painter<TcxPCTabsPainter>();
  TcxPCTabsPosition pos;
  p->GetTabsPosition({}, pos);
  EXPECT_EQ(pos.ExtendedTabsRect, TRect(0, 0, 240, 100));
  EXPECT_EQ(pos.NormalTabsRect, TRect(2, 2, 238, 100));
  EXPECT_EQ(pos.RowLength, 236);
  EXPECT_EQ(pos.TopOrLeftPartExtension, 1);
  EXPECT_EQ(pos.BottomOrRightPartExtension, 0);
  // Buttons on the right take their width off the row's right end.
  p->GetTabsPosition({nbTopLeft, nbBottomRight}, pos);
  EXPECT_EQ(pos.ExtendedTabsRect, TRect(0, 0, 200, 100));
  EXPECT_EQ(pos.RowLength, 196);
  c.Control()->SetTabPosition(tpBottom);
  p->GetTabsPosition({}, pos);
  EXPECT_EQ(pos.NormalTabsRect, TRect(2, 0, 238, 98));
  EXPECT_EQ(pos.TopOrLeftPartExtension, 0);
  EXPECT_EQ(pos.BottomOrRightPartExtension, -1);
}

TEST(PCTabsPainterTest, SelectedTabOpensIntoThePage) {
  TStyledTabControl c(1);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  // Under the selected tab the page frame gives way to the tab's body.
  EXPECT_EQ(c.At(f.Left + 6, f.Bottom), FromColor(clBtnFace));
  EXPECT_EQ(c.At(f.Left + 1, f.Bottom), FromColor(cl3DLight));
  // Beside it the frame's top line runs on.
  EXPECT_EQ(c.At(f.Right + 6, f.Bottom - 1), FromColor(clBtnHighlight));
}

// The caption rectangle a native tab leaves behind is where the caption
// landed on the control: inside the tab, and upright on the sides.
TEST_F(PCTabsNativeTest, StoredCaptionRectLiesOnTheTab) {
  for (TcxTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    SCOPED_TRACE(static_cast<int>(side));
    TStyledTabControl c(1, 240, 240);
    c.Control()->LookAndFeel()->SetNativeStyle(true);
    c.Control()->SetTabPosition(side);
    ASSERT_TRUE(c.Control()->Painter()->IsNativePainting());
    c.Paint();
    const TcxPCOutTabImageAndTextData& d =
        c.Control()->Painter()->OutTabImageAndTextData;
    ASSERT_NE(d.TabVisibleIndex, -1);
    const TRect tab = c.Tab(d.TabVisibleIndex)->FullRect();
    const TRect text = d.TabTextRect;
    ASSERT_FALSE(cxRectIsEmpty(text));
    EXPECT_TRUE(text.Left >= tab.Left && text.Right <= tab.Right &&
                text.Top >= tab.Top && text.Bottom <= tab.Bottom)
        << "text (" << text.Left << "," << text.Top << "," << text.Right << ","
        << text.Bottom << ") tab (" << tab.Left << "," << tab.Top << ","
        << tab.Right << "," << tab.Bottom << ")";
    const bool upright = side == tpLeft || side == tpRight;
    EXPECT_EQ(text.Height() > text.Width(), upright);
  }
}

}  // namespace

namespace {

using namespace pcpainters_test;

// A native control that outlives the theme stand-in paints and goes on the
// real library's answers: it keeps no theme handle of its own.
TEST(PCTabsNativeLifetimeTest, ControlOutlivesTheThemeStandIn) {
  TStyledTabControl c(1);
  c.Control()->LookAndFeel()->SetNativeStyle(true);
  {
    TUxThemeStandIn theme;
    ASSERT_TRUE(c.Painter<TcxPCTabsPainter>()->IsNativePainting());
    c.Paint();
    EXPECT_FALSE(UxThemeRecord().Opened.empty());
  }
  TUxThemeStandIn::ClearCalls();
  c.Paint();
  EXPECT_TRUE(UxThemeRecord().Opened.empty());
}

}  // namespace
