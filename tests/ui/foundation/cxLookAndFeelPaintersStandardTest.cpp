// The classic painters (standard, flat, ultra-flat): their metrics and the
// pixels of their borders, buttons, headers and scroll-bar parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cxPaintersTestCanvas.h"

using namespace painters_test;

namespace {

TcxLookAndFeelPainterClass Standard() {
  return P<TcxStandardLookAndFeelPainter>();
}
TcxLookAndFeelPainterClass Flat() { return P<TcxFlatLookAndFeelPainter>(); }
TcxLookAndFeelPainterClass UltraFlat() {
  return P<TcxUltraFlatLookAndFeelPainter>();
}

struct MetricsCase {
  const char* Name;
  TcxLookAndFeelPainterClass (*Painter)();
  TcxLookAndFeelStyle Style;
  Integer BorderSize;
  Integer DefaultButtonBorder;
  Integer NormalButtonBorder;
  Integer TextOffset;
  Integer TextShift;
  Integer ExpandButtonSize;
  bool HotTrack;
  TPoint SortingMarkSize;
  Integer FooterCellOffset;
};

class ClassicPainterMetricsTest : public ::testing::TestWithParam<MetricsCase> {
};

TEST_P(ClassicPainterMetricsTest, ReportsTheKindsNumbers) {
  const MetricsCase& c = GetParam();
  TcxLookAndFeelPainterClass p = c.Painter();
  EXPECT_EQ(p->LookAndFeelStyle(), c.Style);
  EXPECT_EQ(p->BorderSize(), c.BorderSize);
  EXPECT_EQ(p->ButtonBorderSize(cxbsDefault), c.DefaultButtonBorder);
  EXPECT_EQ(p->ButtonBorderSize(cxbsNormal), c.NormalButtonBorder);
  EXPECT_EQ(p->ButtonBorderSize(cxbsPressed), c.NormalButtonBorder);
  EXPECT_EQ(p->ButtonTextOffset(), c.TextOffset);
  EXPECT_EQ(p->ButtonTextShift(), c.TextShift);
  EXPECT_EQ(p->ExpandButtonSize(), c.ExpandButtonSize);
  EXPECT_EQ(p->IsButtonHotTrack(), c.HotTrack);
  EXPECT_EQ(p->HeaderBorderSize(), 1);
  EXPECT_EQ(p->SortingMarkSize().X, c.SortingMarkSize.X);
  EXPECT_EQ(p->SortingMarkSize().Y, c.SortingMarkSize.Y);
  EXPECT_EQ(p->FooterCellOffset(), c.FooterCellOffset);
  EXPECT_EQ(p->TabBorderSize(false), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ClassicPainterMetricsTest,
    ::testing::Values(MetricsCase{"Standard", Standard, lfsStandard, 2, 3, 2, 1,
                                  1, 12, false, TPoint{8, 7}, 1},
                      MetricsCase{"Flat", Flat, lfsFlat, 1, 2, 1, 1, 1, 11,
                                  false, TPoint{8, 7}, 1},
                      MetricsCase{"UltraFlat", UltraFlat, lfsUltraFlat, 1, 2, 1,
                                  2, 0, 11, true, TPoint{7, 8}, 2}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ClassicPainterMetricsTest, HeaderControlSectionBorderIsThinnerPressed) {
  EXPECT_EQ(Standard()->HeaderControlSectionBorderSize(cxbsPressed), 1);
  EXPECT_EQ(Standard()->HeaderControlSectionBorderSize(cxbsNormal), 2);
}

// ---------------------------------------------------------------------------
// Button borders: the colour of the outer ring, the next ring and the
// pixel inside, top-left and bottom-right.
// ---------------------------------------------------------------------------

struct BorderCase {
  const char* Name;
  TcxLookAndFeelPainterClass (*Painter)();
  TcxButtonState State;
  TColor OuterTopLeft, OuterBottomRight;
  TColor InnerTopLeft, InnerBottomRight;  // kPaper when not drawn
  TColor Inside;                          // at (2, 2)
};

class ButtonBorderTest : public ::testing::TestWithParam<BorderCase> {};

TEST_P(ButtonBorderTest, DrawsTheRingsOfTheState) {
  const BorderCase& c = GetParam();
  TTestCanvas t(12, 10);
  c.Painter()->DrawButtonBorder(t.Canvas(), t.Bounds(), c.State);
  EXPECT_EQ(t.At(0, 0), FromColor(c.OuterTopLeft));
  EXPECT_EQ(t.At(11, 9), FromColor(c.OuterBottomRight));
  EXPECT_EQ(t.At(1, 1), FromColor(c.InnerTopLeft));
  EXPECT_EQ(t.At(10, 8), FromColor(c.InnerBottomRight));
  EXPECT_EQ(t.At(2, 2), FromColor(c.Inside));
}

INSTANTIATE_TEST_SUITE_P(
    States, ButtonBorderTest,
    ::testing::Values(
        BorderCase{"StandardNormal", Standard, cxbsNormal, clBtnHighlight,
                   cl3DDkShadow, cl3DLight, clBtnShadow, kPaper},
        BorderCase{"StandardHot", Standard, cxbsHot, clBtnHighlight,
                   cl3DDkShadow, cl3DLight, clBtnShadow, kPaper},
        BorderCase{"StandardPressed", Standard, cxbsPressed, clBlack, clBlack,
                   clBtnShadow, clBtnShadow, kPaper},
        BorderCase{"StandardDefault", Standard, cxbsDefault, clBlack, clBlack,
                   clBtnHighlight, cl3DDkShadow, cl3DLight},
        BorderCase{"FlatNormal", Flat, cxbsNormal, clBtnHighlight, clBtnShadow,
                   kPaper, kPaper, kPaper},
        BorderCase{"FlatPressed", Flat, cxbsPressed, clBtnShadow,
                   clBtnHighlight, kPaper, kPaper, kPaper},
        // A black frame and a one-pixel raised frame: two pixels in all,
        // as ButtonBorderSize (cxbsDefault) says.
        BorderCase{"FlatDefault", Flat, cxbsDefault, clBlack, clBlack,
                   clBtnHighlight, clBtnShadow, kPaper},
        BorderCase{"UltraFlatDefault", UltraFlat, cxbsDefault, clWindowFrame,
                   clWindowFrame, clWindowFrame, clWindowFrame, kPaper},
        BorderCase{"UltraFlatNormal", UltraFlat, cxbsNormal, clBtnText,
                   clBtnText, kPaper, kPaper, kPaper},
        BorderCase{"UltraFlatDisabled", UltraFlat, cxbsDisabled, clBtnShadow,
                   clBtnShadow, kPaper, kPaper, kPaper},
        BorderCase{"UltraFlatHot", UltraFlat, cxbsHot, clHighlight, clHighlight,
                   kPaper, kPaper, kPaper},
        BorderCase{"UltraFlatPressed", UltraFlat, cxbsPressed, clHighlight,
                   clHighlight, kPaper, kPaper, kPaper}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ClassicBorderTest, ControlBordersMatchTheirSize) {
  {
    TTestCanvas t(10, 10);
    Standard()->DrawBorder(t.Canvas(), t.Bounds());
    EXPECT_EQ(t.At(0, 0), FromColor(clBtnShadow));
    EXPECT_EQ(t.At(9, 9), FromColor(clBtnHighlight));
    EXPECT_EQ(t.At(1, 1), FromColor(cl3DDkShadow));
    EXPECT_EQ(t.At(8, 8), FromColor(cl3DLight));
    EXPECT_EQ(t.At(2, 2), FromColor(kPaper));
  }
  {
    TTestCanvas t(10, 10);
    Flat()->DrawBorder(t.Canvas(), t.Bounds());
    EXPECT_EQ(t.At(0, 0), FromColor(clBtnShadow));
    EXPECT_EQ(t.At(9, 9), FromColor(clBtnHighlight));
    EXPECT_EQ(t.At(1, 1), FromColor(kPaper));
  }
  {
    TTestCanvas t(10, 10);
    UltraFlat()->DrawBorder(t.Canvas(), t.Bounds());
    EXPECT_EQ(t.At(0, 0), FromColor(clBtnShadow));
    EXPECT_EQ(t.At(9, 9), FromColor(clBtnShadow));
    EXPECT_EQ(t.At(1, 1), FromColor(kPaper));
  }
}

TEST(ClassicCheckBorderTest, FlatAndUltraFlatFillTheInnerRingWithTheState) {
  TTestCanvas flat(10, 10);
  Flat()->DrawCheckBorder(flat.Canvas(), flat.Bounds(), cxbsDisabled);
  EXPECT_EQ(flat.At(0, 0), FromColor(clBtnShadow));
  EXPECT_EQ(flat.At(1, 1), FromColor(clBtnFace));  // CheckButtonColor
  TTestCanvas ultra(10, 10);
  UltraFlat()->DrawCheckBorder(ultra.Canvas(), ultra.Bounds(), cxbsNormal);
  EXPECT_EQ(ultra.At(0, 0), FromColor(clBtnText));
  EXPECT_EQ(ultra.At(1, 1), FromColor(clWindow));
  EXPECT_EQ(ultra.At(2, 2), FromColor(kPaper));
}

// ---------------------------------------------------------------------------
// Ultra-flat specifics
// ---------------------------------------------------------------------------

TEST(UltraFlatPainterTest, GroupBorderSizesWidenTheOuterEnds) {
  struct Case {
    Integer Count, Index;
    TRect Expected;
  };
  for (const Case& c : std::vector<Case>{{1, 0, TRect{2, 2, 1, 2}},
                                         {3, 0, TRect{2, 2, 1, 2}},
                                         {3, 1, TRect{1, 2, 1, 2}},
                                         {3, 2, TRect{1, 2, 2, 2}}}) {
    const TRect r = UltraFlat()->ButtonGroupBorderSizes(c.Count, c.Index);
    EXPECT_EQ(r, c.Expected) << c.Count << " buttons, index " << c.Index;
  }
}

TEST(UltraFlatPainterTest, HeaderBorderAlwaysHasItsRightAndBottomLines) {
  TTestCanvas t(10, 8);
  UltraFlat()->DrawHeaderBorder(t.Canvas(), t.Bounds(), TcxNeighbors{},
                                TcxBorders{bRight, bBottom});
  EXPECT_EQ(t.At(9, 3), FromColor(clBtnText));
  EXPECT_EQ(t.At(4, 7), FromColor(clBtnText));
  EXPECT_EQ(t.At(0, 3), FromColor(kPaper));
  EXPECT_EQ(t.At(4, 0), FromColor(kPaper));

  TTestCanvas none(10, 8);
  UltraFlat()->DrawHeaderBorder(none.Canvas(), none.Bounds(), TcxNeighbors{},
                                TcxBorders{});
  EXPECT_EQ(none.At(9, 3), FromColor(clBtnText));
  EXPECT_EQ(none.At(4, 7), FromColor(clBtnText));
  EXPECT_EQ(none.At(0, 3), FromColor(kPaper));
}

TEST(UltraFlatPainterTest, HeaderBordersDropTheSidesTouchingNeighbours) {
  EXPECT_EQ(UltraFlat()->HeaderBorders(TcxNeighbors{nLeft, nTop, nRight}),
            (TcxBorders{bRight, bBottom}));
  EXPECT_EQ(UltraFlat()->HeaderBorders(TcxNeighbors{}), cxBordersAll);
}

TEST(ClassicPainterTest, SchedulerSplitterIsFramedOnItsLongSides) {
  struct Ring {
    TColor First, Second;
  };
  struct Case {
    const char* Name;
    TcxLookAndFeelPainterClass (*Painter)();
    std::vector<Ring> Rings;  // outermost first
  };
  const Case cases[] = {
      {"standard",
       Standard,
       {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}}},
      {"flat", Flat, {{clBtnHighlight, clBtnShadow}}},
      {"ultra-flat", UltraFlat, {{clBtnShadow, clBtnShadow}}}};
  const Pixel red = cxgraphics_test::Rgb(255, 0, 0);
  TcxViewParams params;
  params.Color = clRed;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    const Integer rings = static_cast<Integer>(k.Rings.size());
    for (bool horizontal : {true, false}) {
      SCOPED_TRACE(horizontal ? "horizontal" : "vertical");
      // Across the splitter: 0..7; along it: 0..9.
      TTestCanvas c(horizontal ? 10 : 8, horizontal ? 8 : 10);
      k.Painter()->DrawSchedulerSplitterBorder(c.Canvas(), c.Bounds(), params,
                                               horizontal);
      auto at = [&](Integer across, Integer along) {
        return horizontal ? c.At(along, across) : c.At(across, along);
      };
      for (Integer along : {0, 5, 9}) {
        for (Integer i = 0; i < rings; ++i) {
          EXPECT_EQ(at(i, along), FromColor(k.Rings[i].First)) << along;
          EXPECT_EQ(at(7 - i, along), FromColor(k.Rings[i].Second)) << along;
        }
        for (Integer across = rings; across < 8 - rings; ++across) {
          EXPECT_EQ(at(across, along), red) << across << "," << along;
        }
      }
    }
  }
}

TEST(UltraFlatPainterTest, ColoursFollowTheState) {
  EXPECT_EQ(UltraFlat()->ButtonColor(cxbsHot), GetLightSelColor());
  EXPECT_EQ(UltraFlat()->ButtonColor(cxbsPressed), GetLightDownedSelColor());
  EXPECT_EQ(UltraFlat()->ButtonColor(cxbsNormal), clBtnFace);
  EXPECT_EQ(UltraFlat()->ButtonSymbolColor(cxbsPressed, clRed),
            clHighlightText);
  EXPECT_EQ(UltraFlat()->ButtonSymbolColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(UltraFlat()->ButtonSymbolState(cxbsDisabled), cxbsNormal);
  EXPECT_EQ(UltraFlat()->FilterCloseButtonSize().Y, 15);
}

TEST(UltraFlatPainterTest, FocusRectFallsBackToTheWholeRectWhenTooSmall) {
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, TRect{0, 0, 20, 10}),
            (TRect{3, 3, 17, 7}));
  EXPECT_EQ(UltraFlat()->ButtonFocusRect(nullptr, TRect{0, 0, 6, 10}),
            (TRect{0, 0, 6, 10}));
}

TEST(UltraFlatPainterTest, HotGroupButtonGetsHighlightColumnsBetweenButtons) {
  TTestCanvas t(12, 10);
  UltraFlat()->DrawButtonInGroup(t.Canvas(), t.Bounds(), cxbsHot, 3, 1, clRed);
  EXPECT_EQ(t.At(5, 0), FromColor(kPaper));  // top row left free
  EXPECT_EQ(t.At(0, 5), FromColor(clHighlight));
  EXPECT_EQ(t.At(11, 5), FromColor(clHighlight));
  EXPECT_EQ(t.At(5, 5), FromColor(GetLightSelColor()));
}

// ---------------------------------------------------------------------------
// Standard header border and scroll bars
// ---------------------------------------------------------------------------

TEST(StandardPainterTest, HeaderBorderSoftensCornersBesideNeighbours) {
  TTestCanvas t(10, 10);
  Standard()->DrawHeaderBorder(t.Canvas(), t.Bounds(),
                               TcxNeighbors{nLeft, nRight}, cxBordersAll);
  EXPECT_EQ(t.At(0, 1), FromColor(clBtnFace));
  EXPECT_EQ(t.At(0, 8), FromColor(clBtnFace));
  EXPECT_EQ(t.At(0, 4), FromColor(clBtnHighlight));
  EXPECT_EQ(t.At(9, 0), FromColor(clBtnHighlight));
  EXPECT_EQ(t.At(9, 1), FromColor(clBtnFace));
  EXPECT_EQ(t.At(9, 4), FromColor(clBtnShadow));
}

TEST(ClassicScrollBarTest, ADisabledThumbLeavesTheTrackAsItWas) {
  for (auto painter : {Standard, Flat, UltraFlat}) {
    TTestCanvas t(16, 30);
    painter()->DrawScrollBarPart(t.Canvas(), false, t.Bounds(), sbpThumbnail,
                                 cxbsDisabled);
    EXPECT_EQ(t.At(0, 0), FromColor(kPaper));
    EXPECT_EQ(t.At(8, 15), FromColor(kPaper));
  }
}

TEST(ClassicScrollBarTest, NothingIsDrawnForNoPartOrAnEmptyRect) {
  for (auto painter : {Standard, Flat, UltraFlat}) {
    TTestCanvas t(16, 16);
    painter()->DrawScrollBarPart(t.Canvas(), false, t.Bounds(), sbpNone,
                                 cxbsNormal);
    painter()->DrawScrollBarPart(t.Canvas(), false, TRect{4, 4, 4, 12},
                                 sbpLineUp, cxbsNormal);
    EXPECT_EQ(t.At(0, 0), FromColor(kPaper));
    EXPECT_EQ(t.At(4, 6), FromColor(kPaper));
  }
}

TEST(ClassicScrollBarTest, StandardPressedThumbKeepsTheRaisedBorder) {
  TTestCanvas t(16, 30);
  Standard()->DrawScrollBarPart(t.Canvas(), false, t.Bounds(), sbpThumbnail,
                                cxbsPressed);
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnFace));
  EXPECT_EQ(t.At(15, 29), FromColor(cl3DDkShadow));
  EXPECT_EQ(t.At(1, 1), FromColor(clBtnHighlight));
  EXPECT_EQ(t.At(14, 28), FromColor(clBtnShadow));
  EXPECT_EQ(t.At(8, 15), FromColor(clBtnFace));
}

TEST(ClassicScrollBarTest, StandardPressedArrowSinksIn) {
  TTestCanvas t(16, 16);
  Standard()->DrawScrollBarPart(t.Canvas(), false, t.Bounds(), sbpLineUp,
                                cxbsPressed);
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnShadow));
  EXPECT_EQ(t.At(15, 15), FromColor(clBtnShadow));
  EXPECT_EQ(t.At(1, 1), FromColor(clBtnFace));
}

TEST(ClassicScrollBarTest, PageTrackIsCheckeredDarkerWhenPressed) {
  TTestCanvas normal(16, 16);
  Flat()->DrawScrollBarPart(normal.Canvas(), true, normal.Bounds(), sbpPageUp,
                            cxbsNormal);
  TTestCanvas pressed(16, 16);
  Flat()->DrawScrollBarPart(pressed.Canvas(), true, pressed.Bounds(), sbpPageUp,
                            cxbsPressed);
  const std::vector<Pixel> light{FromColor(clBtnFace),
                                 FromColor(clBtnHighlight)};
  const std::vector<Pixel> dark{FromColor(clBlack), FromColor(cl3DDkShadow)};
  for (Integer x = 0; x < 2; ++x) {
    EXPECT_NE(std::find(light.begin(), light.end(), normal.At(x, 0)),
              light.end());
    EXPECT_NE(std::find(dark.begin(), dark.end(), pressed.At(x, 0)),
              dark.end());
  }
  // A checkerboard: neighbours differ.
  EXPECT_NE(normal.At(0, 0), normal.At(1, 0));
  // The brush is solid again afterwards.
  EXPECT_EQ(normal.Canvas()->Brush()->Bitmap(), nullptr);
}

TEST(ClassicTabTest, UltraFlatRightBorderOfAHorizontalTabIsDarkAndShorter) {
  TTestCanvas t(4, 10);
  UltraFlat()->DrawTabBorder(t.Canvas(), TRect{0, 0, 1, 10}, bRight,
                             cxBordersAll, false);
  EXPECT_EQ(t.At(0, 0), FromColor(clBtnText));
  EXPECT_EQ(t.At(0, 8), FromColor(clBtnText));
  EXPECT_EQ(t.At(0, 9), FromColor(kPaper));
}

}  // namespace
