// The ExtraFlat, UltraFlat and Office11 styles.
#include <gtest/gtest.h>

#include "cxPCPaintersFlat.h"
#include "cxPCPaintersTestSupport.h"
#include "dxOffice11.h"

namespace {

using namespace pcpainters_test;

TEST(PCExtraFlatPainterTest, Metrics) {
  TStyledTabControl c(5);
  auto* p = c.Painter<TcxPCExtraFlatPainter>();
  EXPECT_EQ(p->GetFrameWidth(), 1);
  EXPECT_EQ(p->GetButtonHeight(), 13);
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 13);
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{1, 6}));
  // The go-dialog button touches its arrow; the close button keeps 3.
  EXPECT_EQ(p->GetButtonsDistance(nbBottomRight, nbGoDialog), 0);
  EXPECT_EQ(p->GetButtonsDistance(nbGoDialog, nbClose), 3);
  EXPECT_EQ(p->GetButtonsDistance(nbTopLeft, nbBottomRight), 3);
  EXPECT_EQ(p->GetButtonsRegionHOffset(), 6);
  EXPECT_EQ(p->GetTabContentWOffset(1), (TcxPCWOffset{3, 3}));
  EXPECT_EQ(p->GetTabContentWOffset(0), (TcxPCWOffset{2, 2}));
  TcxPCRectCorrection correction;
  p->CorrectTabRect(1, correction);
  EXPECT_EQ(correction, (TcxPCRectCorrection{-1, -1, 1, 1}));
  // A caption-less tab without images is 12 wide here.
  c.Control()->Tabs()->Add("");
  c.Control()->RequestLayout();
  EXPECT_EQ(c.Tab(3)->NormalWidth, 12);
  c.Control()->SetRotate(true);
  EXPECT_EQ(p->GetTabsNormalDistance(), (TcxPCDistance{6, 1}));
}

TEST(PCExtraFlatPainterTest, FrameOpenTowardsTheTabsClosedWithout) {
  TStyledTabControl c(5);
  c.Control()->SetShowFrame(true);
  c.Control()->RequestLayout();
  c.Paint();
  auto* p = c.Painter<TcxPCExtraFlatPainter>();
  const TRect d = p->GetDisplayRect();
  const Integer midX = (d.Left + d.Right) / 2;
  EXPECT_EQ(c.At(d.Left, d.Top + 10), FromColor(clBtnHighlight));
  EXPECT_EQ(c.At(d.Right - 1, d.Top + 10), FromColor(clBtnShadow));
  EXPECT_EQ(c.At(midX, d.Bottom - 1), FromColor(clBtnShadow));
  EXPECT_NE(c.At(midX, d.Top), FromColor(clBtnHighlight));
  EXPECT_NE(c.At(midX, d.Top), FromColor(clBtnShadow));

  c.Control()->SetHideTabs(true);
  c.Control()->RequestLayout();
  c.Paint();
  const TRect closed = p->GetDisplayRect();
  EXPECT_EQ(c.At((closed.Left + closed.Right) / 2, closed.Top),
            FromColor(clBtnHighlight));
}

TEST(PCExtraFlatPainterTest, SelectedTabPixels) {
  TStyledTabControl c(5);
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  const Integer y = f.Top + 4;
  EXPECT_EQ(c.At(f.Left, y), FromColor(TColor(0xFFFFFF)));
  EXPECT_EQ(c.At(f.Left + 4, f.Top), FromColor(TColor(0xFFFFFF)));
  EXPECT_EQ(c.At(f.Right - 1, y), FromColor(TColor(0)));
  EXPECT_EQ(c.At(f.Left + 1, y), FromColor(clBtnFace));
  // An ordinary tab lies on the light band.
  const TRect n = c.Tab(0)->FullRect();
  EXPECT_EQ(c.At(n.Left + 3, y), FromColor(cxPCLightBrushColor()));
}

TEST(PCUltraFlatPainterTest, MetricsAndSelectedTab) {
  TStyledTabControl c(6);
  auto* p = c.Painter<TcxPCUltraFlatPainter>();
  EXPECT_EQ(p->GetButtonHeight(), 15);
  EXPECT_EQ(p->GetButtonWidth(nbTopLeft), 15);
  EXPECT_EQ(p->GetButtonWidth(nbBottomRight), 15);
  EXPECT_EQ(p->GetButtonWidth(nbGoDialog), 11);
  EXPECT_EQ(p->GetButtonWidth(nbClose), 14);
  EXPECT_EQ(p->GetButtonsDistance(nbTopLeft, nbBottomRight), 1);
  EXPECT_EQ(p->GetButtonsDistance(nbGoDialog, nbClose), 3);
  EXPECT_EQ(p->GetButtonsRegionHOffset(), 3);
  EXPECT_EQ(p->GetButtonColor(nbsPressed), clBtnShadow);
  EXPECT_EQ(p->GetButtonColor(nbsNormal), cxPCLightBrushColor());
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  EXPECT_EQ(c.At(f.Left, f.Top + 4), FromColor(TColor(0)));
  EXPECT_EQ(c.At(f.Left + 4, f.Top), FromColor(TColor(0)));
  EXPECT_EQ(c.At(f.Right - 1, f.Top + 4), FromColor(TColor(0)));
  EXPECT_EQ(c.At(f.Left + 1, f.Top + 4), FromColor(clBtnFace));
}

TEST(PCOffice11PainterTest, TransparencyAndDelimiters) {
  TStyledTabControl c(8);
  auto* p = c.Painter<TcxPCOffice11Painter>();
  EXPECT_TRUE(p->IsTabTransparent(0));
  EXPECT_FALSE(p->IsTabTransparent(1));
  c.Tab(0)->SetColor(clRed);
  EXPECT_FALSE(p->IsTabTransparent(0));
  EXPECT_EQ(p->GetTabsDelimiterWidth(), 2);
  EXPECT_EQ(p->GetTabsRowsDelimiterWidth(), 1);
  EXPECT_EQ(p->GetFrameColor(), dxOffice11SelectedBorderColor);
  // Resizing repaints only with both gradient options.
  c.Control()->SetOptions(TcxPCOptions{pcoGradient, pcoGradientClientArea});
  EXPECT_TRUE(p->NeedRedrawOnResize());
  c.Control()->SetOptions(TcxPCOptions{pcoGradientClientArea});
  EXPECT_FALSE(p->NeedRedrawOnResize());
}

TEST(PCOffice11PainterTest, SelectedTabPixels) {
  TStyledTabControl c(8);
  c.Control()->SetOptions(TcxPCOptions{});
  c.Paint();
  const TRect f = c.Tab(1)->FullRect();
  EXPECT_EQ(c.At(f.Left, f.Top + 4), FromColor(dxOffice11SelectedBorderColor));
  // Without the gradient option the selected tab is the middle colour.
  EXPECT_EQ(c.At(f.Left + 2, f.Top + 4),
            FromColor(GetMiddleRGB(dxOffice11SelectedColor1,
                                   dxOffice11SelectedColor2, 50)));
  // A tab with its own colour keeps it.
  c.Tab(0)->SetColor(clRed);
  c.Paint();
  const TRect n = c.Tab(0)->FullRect();
  EXPECT_EQ(c.At(n.Left + 3, n.Top + 4), FromColor(clRed));
}

}  // namespace

namespace {

TEST(PCExtraFlatPainterTest, TabsPositionLeavesRoomForTheBand) {
  TStyledTabControl c(5);
  auto* p = c.Painter<TcxPCExtraFlatPainter>();
  TcxPCTabsPosition pos;
  p->GetTabsPosition({}, pos);
  EXPECT_EQ(pos.NormalTabsRect, TRect(6, 3, 234, 100));
  EXPECT_EQ(pos.ExtendedTabsRect, TRect(5, 2, 235, 100));
  EXPECT_EQ(pos.RowLength, 228);
  EXPECT_EQ(pos.PartsDistance, 5);
  c.Control()->SetTabPosition(tpLeft);
  p->GetTabsPosition({}, pos);
  EXPECT_EQ(pos.NormalTabsRect, TRect(3, 6, 240, 94));
  EXPECT_EQ(pos.RowLength, 88);
}

}  // namespace

namespace {

TEST(PCOffice11PainterTest, HoldsTheColourSetWhileAControlUsesIt) {
  const Integer before = dxOffice11ColorsRefCount();
  {
    TStyledTabControl c(8);
    EXPECT_EQ(dxOffice11ColorsRefCount(), before + 1);
    c.Control()->SetStyle(6);
    EXPECT_EQ(dxOffice11ColorsRefCount(), before);
    c.Control()->SetStyle(8);
  }
  EXPECT_EQ(dxOffice11ColorsRefCount(), before);
}

}  // namespace
