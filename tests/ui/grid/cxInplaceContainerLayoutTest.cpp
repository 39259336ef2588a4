// The editing control's layout arithmetic: cell clipping and the editor's
// rectangle, sizing steps, the place arrows' outline and the directions of
// an edge auto-scroll.
#include <gtest/gtest.h>

#include "cxInplaceContainerLayout.h"

namespace {

struct TCellCase {
  const char* Name;
  TRect Display;
  TRect Available;
  TcxCellBorderSides Sides;
  bool HasBorders;
  bool Visible;
  TRect Clip;
  TRect EditBounds;
  TRect VisibleEdit;
};

TEST(CellRectsTest, BordersAndClippingPlaceTheEditor) {
  const TcxCellBorderSides all{true, true, true, true};
  const TcxCellBorderSides bottom{false, false, false, true};
  const TRect client{0, 0, 200, 100};
  const TCellCase cases[] = {
      {"four borders",
       {0, 0, 20, 10},
       client,
       all,
       true,
       true,
       {0, 0, 20, 10},
       {1, 1, 19, 9},
       {2, 2, 18, 8}},
      {"no borders",
       {0, 0, 20, 10},
       client,
       {},
       false,
       true,
       {0, 0, 20, 10},
       {0, 0, 20, 10},
       {1, 1, 19, 9}},
      {"bottom line",
       {0, 0, 20, 10},
       client,
       bottom,
       true,
       true,
       {0, 0, 20, 10},
       {0, 0, 20, 9},
       {1, 1, 19, 8}},
      {"cut by the client edge",
       {190, 50, 230, 70},
       client,
       {},
       false,
       true,
       {190, 50, 200, 70},
       {190, 50, 230, 70},
       {191, 51, 199, 69}},
      {"outside the client area",
       {0, 1000, 20, 1010},
       client,
       all,
       true,
       false,
       {0, 0, 0, 0},
       {1, 1001, 19, 1009},
       {0, 0, 0, 0}},
      {"only a border line shows",
       {0, 99, 20, 110},
       client,
       all,
       true,
       true,
       {0, 99, 20, 100},
       {1, 100, 19, 109},
       {0, 0, 0, 0}},
  };
  const TRect offset{1, 1, 1, 1};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TcxCellRects r = cxCalculateCellRects(c.Display, c.Available, c.Sides,
                                                c.HasBorders, offset);
    EXPECT_EQ(r.Visible, c.Visible);
    EXPECT_EQ(r.ClipRect, c.Clip);
    EXPECT_EQ(r.EditBounds, c.EditBounds);
    EXPECT_EQ(r.VisibleEditRect, c.VisibleEdit);
  }
}

struct TStepsCase {
  Integer Move;
  bool Truncate;
  Integer Steps;
};

TEST(SizingStepsTest, MarkRoundsAndLiveSizingTruncates) {
  const TStepsCase cases[] = {
      {14, false, 1},  {15, false, 2}, {25, false, 2},  // half to even
      {15, true, 1},   {19, true, 1},  {-15, false, -2},
      {-15, true, -1}, {4, false, 0},  {0, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Move);
    EXPECT_EQ(cxSizingSteps(50, 50 + c.Move, 10, c.Truncate), c.Steps);
  }
  // A missing increment counts pixels.
  EXPECT_EQ(cxSizingSteps(0, 7, 0, false), 7);
}

TEST(PlaceArrowsTest, PolygonsAnchorAtTheEndsOfTheSide) {
  TPoint first[7], second[7];
  const TRect r{10, 20, 110, 40};
  cxGetPlaceArrowsPolygons(r, pasTop, first, second);
  EXPECT_EQ(first[0], (TPoint{10, 20}));
  EXPECT_EQ(first[3], (TPoint{1, 18}));
  EXPECT_EQ(second[0], (TPoint{110, 20}));
  EXPECT_EQ(second[3], (TPoint{119, 23}));
  cxGetPlaceArrowsPolygons(r, pasBottom, first, second);
  EXPECT_EQ(first[0], (TPoint{10, 40}));
  EXPECT_EQ(second[0], (TPoint{110, 40}));
  cxGetPlaceArrowsPolygons(r, pasRight, first, second);
  EXPECT_EQ(first[0], (TPoint{110, 20}));
  EXPECT_EQ(first[4], (TPoint{113, 11}));
  EXPECT_EQ(second[0], (TPoint{110, 39}));
  EXPECT_EQ(second[3], (TPoint{113, 49}));
  cxGetPlaceArrowsPolygons(r, pasLeft, first, second);
  EXPECT_EQ(first[1], (TPoint{5, 14}));
  EXPECT_EQ(second[6], (TPoint{4, 46}));
}

struct TScrollCase {
  TPoint P;
  bool Horz;
  bool Vert;
  Byte Directions;
};

TEST(AutoScrollDirectionsTest, SidesThePointLiesBeyond) {
  const TRect area{10, 10, 90, 90};
  const TScrollCase cases[] = {
      {{50, 50}, true, true, 0},
      {{5, 95}, true, true, cxasdLeft | cxasdBottom},
      {{95, 50}, true, true, cxasdRight},
      {{50, 10}, true, true, 0},  // the top edge is inside
      {{50, 9}, true, true, cxasdTop},
      {{5, 95}, false, true, cxasdBottom},
      {{5, 95}, true, false, cxasdLeft},
      {{5, 95}, false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.P.X << "," << c.P.Y);
    EXPECT_EQ(cxAutoScrollDirections(area, c.P, c.Horz, c.Vert), c.Directions);
  }
}

TEST(RangeTest, ClampsAndReports) {
  Integer v = 5;
  EXPECT_TRUE(cxRange(v, 0, 10));
  EXPECT_EQ(v, 5);
  v = -3;
  EXPECT_FALSE(cxRange(v, 0, 10));
  EXPECT_EQ(v, 0);
  v = 12;
  EXPECT_FALSE(cxRange(v, 0, 10));
  EXPECT_EQ(v, 10);
}

}  // namespace
