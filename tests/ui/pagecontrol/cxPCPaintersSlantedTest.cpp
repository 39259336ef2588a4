// The Slanted and OneNote styles and the outlines they clip tabs to.
#include <gtest/gtest.h>

#include "cxPCPaintersSlanted.h"
#include "cxPCPaintersTestSupport.h"

namespace {

using namespace pcpainters_test;

TEST(PCSlantedOutlineTest, SidesByKindAndSlant) {
  const TRect r{10, 0, 40, 18};  // 30 long, 18 thick
  struct {
    TcxTabSlantKind Kind;
    bool Left, Right, Cut;
    TPoints Points;
    TLinePositions Positions;
  } cases[] = {
      // Rounded 2-pixel corners when nothing is slanted.
      {skCutCorner,
       false,
       false,
       false,
       {{10, 17}, {10, 2}, {12, 0}, {37, 0}, {39, 2}, {39, 17}},
       {lpL, lpLT, lpT, lpRT, lpR}},
      // A slant over the whole height on the left.
      {skSlant,
       true,
       false,
       false,
       {{10, 17}, {27, 0}, {37, 0}, {39, 2}, {39, 17}},
       {lpLT, lpT, lpRT, lpR}},
      // Cut corners: 6-pixel cuts where chosen, square elsewhere.
      {skCutCorner,
       false,
       true,
       true,
       {{10, 17}, {10, 0}, {33, 0}, {39, 6}, {39, 17}},
       {lpL, lpT, lpRT, lpR}},
  };
  for (const auto& c : cases) {
    const TcxPCTabOutline o =
        cxPCSlantedTabOutline(r, c.Kind, c.Left, c.Right, c.Cut);
    EXPECT_EQ(o.Points, c.Points);
    EXPECT_EQ(o.Positions, c.Positions);
    EXPECT_EQ(o.Points.size(), o.Positions.size() + 1);
  }
}

TEST(PCSlantedOutlineTest, RegionCoversTheOutlineOnEverySide) {
  const TRect top{0, 0, 30, 18};
  for (TcxTabPosition position : {tpTop, tpBottom}) {
    const TcxPCTabOutline o =
        cxPCSlantedTabOutline(top, skCutCorner, false, false, false);
    const TPoints polygon = cxPCOutlineRegionPolygon(top, o, position, false);
    std::vector<POINT> points;
    for (const TPoint& p : polygon) points.push_back({p.X, p.Y});
    HRGN rgn = CreatePolygonRgn(points.data(), static_cast<int>(points.size()),
                                WINDING);
    // The outline's far side and a point well inside are covered; the cut
    // corner at the free end is not.
    const Integer freeY = position == tpTop ? 0 : 17;
    EXPECT_TRUE(PtInRegion(rgn, 29, 9)) << position;
    EXPECT_TRUE(PtInRegion(rgn, 15, 9)) << position;
    EXPECT_TRUE(PtInRegion(rgn, 15, freeY)) << position;
    EXPECT_FALSE(PtInRegion(rgn, 0, freeY)) << position;
    DeleteObject(rgn);
  }
}

TEST(PCSlantedPainterTest, Metrics) {
  TStyledTabControl c(9);
  auto* p = c.Painter<TcxPCSlantedPainter>();
  const Integer h = c.Control()->Tabs()->TabNormalHeight;
  // The default slants: skSlant on the left, over the tab's height.
  EXPECT_EQ(p->GetCutValue(), h - 1);
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{-((h - 1) / 2), -3}));
  EXPECT_EQ(p->GetButtonHeight(), 17);
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 13);
  EXPECT_EQ(p->GetButtonWidth(nbClose), 16);
  EXPECT_EQ(p->GetButtonsDistance(nbTopLeft, nbBottomRight), 1);
  EXPECT_EQ(p->GetButtonsDistance(nbBottomRight, nbClose), 3);
  EXPECT_EQ(p->GetImageTextDistance(0), 3);
  EXPECT_TRUE(p->AlwaysColoredTabs());
  // Cut corners without positions: rounded corners, minimum width 8.
  c.Control()->TabSlants()->SetKind(skCutCorner);
  c.Control()->TabSlants()->SetPositions({});
  c.Control()->RequestLayout();
  EXPECT_EQ(p->GetCutValue(), 6);
  EXPECT_EQ(p->GetGeometricalMinTabWidth(), 8);
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{1, -3}));
  // A rotated control has no slanted sides.
  c.Control()->TabSlants()->SetKind(skSlant);
  c.Control()->TabSlants()->SetPositions({spLeft, spRight});
  c.Control()->SetRotate(true);
  EXPECT_TRUE(p->GetSlantedSides().Empty());
}

TEST(PCSlantedPainterTest, OverlapBelongsToTheSelectedTab) {
  TStyledTabControl c(9);
  auto* p = c.Painter<TcxPCSlantedPainter>();
  // Tab 0 ends where tab 1's slant begins; the selected tab 1 wins there.
  const TRect t0 = c.Tab(0)->VisibleRect();
  const TRect t1 = c.Tab(1)->VisibleRect();
  ASSERT_LT(t1.Left, t0.Right) << "the tabs overlap";
  const Integer x = t0.Right - 2;
  const Integer y = t1.Bottom - 2;
  EXPECT_TRUE(p->IsOverTab(1, x, y));
  EXPECT_FALSE(p->IsOverTab(0, x, y));
  EXPECT_TRUE(p->IsOverTab(0, t0.Left + 2, y));
}

TEST(PCSlantedPainterTest, SelectedTabPixels) {
  TStyledTabControl c(9);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer midX = f.Right - 6;
  EXPECT_EQ(c.At(midX, f.Top), FromColor(clBtnShadow));
  // The state mark, 4 pixels along the outer edge, then the body.
  EXPECT_EQ(c.At(midX, f.Top + 1), FromColor(clHighlight));
  EXPECT_EQ(c.At(midX, f.Top + 3), FromColor(clHighlight));
  EXPECT_EQ(c.At(midX, f.Top + 6), FromColor(c.Control()->Color()));
  EXPECT_EQ(c.At(f.Right - 1, f.Top + 8), FromColor(clBtnShadow));
}

TEST(PCOneNotePainterTest, MetricsAndSelectedTab) {
  TStyledTabControl c(10);
  auto* p = c.Painter<TcxPCOneNotePainter>();
  const Integer h = c.Control()->Tabs()->TabNormalHeight;
  EXPECT_EQ(p->GetCutValue(), h + 2);
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{5 - (h + 2), -3}));
  EXPECT_EQ(p->GetGeometricalMinTabWidth(), h + 6);
  EXPECT_EQ(p->GetSlantedSides(), TcxTabSlantPositions{spLeft});
  EXPECT_EQ(p->GetFrameColor(), cxPCOneNoteColors().Frame);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  EXPECT_EQ(c.At(f.Right - 6, f.Top), FromColor(cxPCOneNoteColors().Frame));
  EXPECT_EQ(c.At(f.Right - 6, f.Top + 6), FromColor(c.Control()->Color()));
}

TEST(PCOneNotePainterTest, ColoursFollowTheScheme) {
  cxPCLoadOneNoteColors();
  // Wine has no Office 2003 scheme: the system colours stand in.
  EXPECT_EQ(cxPCOneNoteColors().Frame, clBtnShadow);
  EXPECT_EQ(cxPCOneNoteColors().TabTint, clBtnFace);
}

}  // namespace
