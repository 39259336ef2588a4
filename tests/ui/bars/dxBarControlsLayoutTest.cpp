// Toolbar rows, row breaking, separators and dock rows as tables of numbers.
#include <gtest/gtest.h>

#include <vector>

#include "dxBarControlsLayout.h"

namespace {

using Align = TdxBarRowItemAlign;

TdxBarRowItem Item(Integer W, Integer H, bool BeginGroup = false,
                   Align A = Align::Left, Integer MinWidth = 1) {
  TdxBarRowItem item;
  item.Size = {W, H};
  item.BeginGroup = BeginGroup;
  item.Align = A;
  item.MinWidth = MinWidth;
  return item;
}

std::vector<TRect> BoundsOf(const std::vector<TdxBarRowItem>& Items) {
  std::vector<TRect> result;
  for (const auto& item : Items) result.push_back(item.Bounds);
  return result;
}

struct RowCase {
  const char* Name;
  TdxBarRowLayoutParams Params;
  std::vector<TdxBarRowItem> Items;
  std::vector<TRect> Expected;
  bool ItemsCut;
  std::vector<bool> LastInRow;
};

TEST(dxBarRowLayout, PlacesItemsOfSingleLineBars) {
  TdxBarRowLayoutParams horz;
  horz.ClientSize = {100, 22};
  horz.BeginGroupSize = 6;
  TdxBarRowLayoutParams vert = horz;
  vert.Vertical = true;
  vert.ClientSize = {24, 100};
  TdxBarRowLayoutParams marked = horz;
  marked.ClientSize = {111, 22};
  marked.MarkSize = 11;
  TdxBarRowLayoutParams wide = horz;
  wide.ClientSize = {200, 22};
  const std::vector<RowCase> cases = {
      {"items beyond the line get no place",
       horz,
       {Item(30, 22), Item(30, 22), Item(30, 22), Item(30, 22)},
       {Bounds(0, 0, 30, 22), Bounds(30, 0, 30, 22), Bounds(60, 0, 30, 22), {}},
       false,
       {false, false, true, false}},
      {"a group start leaves the separator's room",
       horz,
       // Without the gap the third item would still fit.
       {Item(30, 22), Item(30, 22, true), Item(40, 22)},
       {Bounds(0, 0, 30, 22), Bounds(36, 0, 30, 22), {}},
       false,
       {false, true, false}},
      {"lower items are centred across the row",
       horz,
       {Item(30, 16), Item(30, 22)},
       {Bounds(0, 3, 30, 16), Bounds(30, 0, 30, 22)},
       false,
       {false, true}},
      {"the mark's room is kept free",
       marked,
       {Item(50, 22), Item(50, 22), Item(10, 22)},
       {Bounds(0, 0, 50, 22), Bounds(50, 0, 50, 22), {}},
       false,
       {false, true, false}},
      {"a vertical bar stacks downwards, centred across",
       vert,
       {Item(20, 40), Item(24, 40), Item(20, 40)},
       {Bounds(2, 0, 20, 40), Bounds(0, 40, 24, 40), {}},
       false,
       {false, true, false}},
      {"a right-aligned item ends the line and cuts what follows",
       wide,
       {Item(30, 22), Item(40, 22, false, Align::Right), Item(30, 22)},
       {Bounds(0, 0, 30, 22), Bounds(160, 0, 40, 22), {}},
       true,
       {false, true, false}},
      {"a centred item sits in the middle of the rest",
       wide,
       {Item(30, 22), Item(40, 22, false, Align::Center)},
       {Bounds(0, 0, 30, 22), Bounds(95, 0, 40, 22)},
       false,
       {false, true}},
      {"a client-aligned item stretches to the end of the line",
       wide,
       {Item(30, 22), Item(1, 22, false, Align::Client, 1)},
       {Bounds(0, 0, 30, 22), Rect(30, 0, 200, 22)},
       false,
       {false, true}},
      {"a client-aligned item keeps its minimum width",
       horz,
       {Item(90, 22), Item(1, 22, false, Align::Client, 40)},
       {Bounds(0, 0, 90, 22), Rect(90, 0, 130, 22)},
       false,
       {false, true}},
  };
  for (const auto& c : cases) {
    auto items = c.Items;
    EXPECT_EQ(c.ItemsCut, dxBarCalcRowItemRects(c.Params, items)) << c.Name;
    EXPECT_EQ(c.Expected, BoundsOf(items)) << c.Name;
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(c.LastInRow[i], items[i].LastInRow) << c.Name << " #" << i;
    }
  }
}

TEST(dxBarRowLayout, AllItemsCanBeHiddenWhenTheBarAllowsIt) {
  TdxBarRowLayoutParams p;
  p.ClientSize = {20, 22};
  std::vector<TdxBarRowItem> items = {Item(30, 22)};
  dxBarCalcRowItemRects(p, items);
  EXPECT_EQ(Bounds(0, 0, 30, 22), items[0].Bounds);
  p.CanHideAllItemsInSingleLine = true;
  dxBarCalcRowItemRects(p, items);
  EXPECT_TRUE(IsRectEmpty(items[0].Bounds));
}

TEST(dxBarRowLayout, MdiButtonsShortenTheLineOfASingleLineBar) {
  TdxBarRowLayoutParams p;
  p.ClientSize = {100, 22};
  p.MDILength = 50;
  std::vector<TdxBarRowItem> items = {Item(30, 22), Item(30, 22)};
  dxBarCalcRowItemRects(p, items);
  EXPECT_FALSE(IsRectEmpty(items[0].Bounds));
  EXPECT_TRUE(IsRectEmpty(items[1].Bounds));
}

// Row breaking: the sizing picks the rows, the layout follows them.
struct MultiLineCase {
  const char* Name;
  bool Vertical;
  Integer Available;
  std::vector<TdxBarRowItem> Items;
  std::vector<bool> NewRows;
  TSize Size;
  std::vector<TRect> Expected;
};

TEST(dxBarMultiLine, BreaksRowsAndKeepsGroupsTogether) {
  const std::vector<MultiLineCase> cases = {
      {"five items in rows of two",
       false,
       100,
       {Item(40, 20), Item(40, 20), Item(40, 20), Item(40, 20), Item(40, 20)},
       {false, false, true, false, true},
       {80, 60},
       {Bounds(0, 0, 40, 20), Bounds(40, 0, 40, 20), Bounds(0, 20, 40, 20),
        Bounds(40, 20, 40, 20), Bounds(0, 40, 40, 20)}},
      {"a group that began inside the row moves whole, its gap between rows",
       false,
       100,
       {Item(40, 20), Item(30, 20, true), Item(30, 20)},
       {false, true, false},
       {60, 46},
       {Bounds(0, 0, 40, 20), Bounds(0, 26, 30, 20), Bounds(30, 26, 30, 20)}},
      {"a group split at the row start makes the next group open a row",
       false,
       100,
       {Item(60, 20), Item(60, 20), Item(20, 20, true)},
       {false, true, true},
       {60, 66},
       {Bounds(0, 0, 60, 20), Bounds(0, 20, 60, 20), Bounds(0, 46, 20, 20)}},
      {"rows of different thickness centre their items",
       false,
       100,
       {Item(60, 30), Item(30, 20), Item(60, 10)},
       {false, false, true},
       {90, 40},
       {Bounds(0, 0, 60, 30), Bounds(60, 5, 30, 20), Bounds(0, 30, 60, 10)}},
      {"a vertical bar stacks its columns from the right edge",
       true,
       100,
       {Item(20, 60), Item(30, 60)},
       {false, true},
       {50, 60},
       {Bounds(30, 0, 20, 60), Bounds(0, 0, 30, 60)}},
  };
  for (const auto& c : cases) {
    auto items = c.Items;
    TdxBarMultiLineParams sizing;
    sizing.Vertical = c.Vertical;
    sizing.BeginGroupSize = 6;
    const TSize size =
        dxBarGetMultiLineBarSize(sizing, c.Available, {1, 1}, items);
    EXPECT_EQ(c.Size, size) << c.Name;
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(c.NewRows[i], items[i].BeginsNewRow) << c.Name << " #" << i;
    }
    TdxBarRowLayoutParams layout;
    layout.ClientSize = size;
    layout.Vertical = c.Vertical;
    layout.MultiLine = true;
    layout.BeginGroupSize = 6;
    dxBarCalcRowItemRects(layout, items);
    EXPECT_EQ(c.Expected, BoundsOf(items)) << c.Name;
  }
}

TEST(dxBarMultiLine, MdiButtonsJoinTheLastRowOrAddOne) {
  TdxBarMultiLineParams p;
  p.MDISize = {50, 16};
  std::vector<TdxBarRowItem> items = {Item(40, 20)};
  EXPECT_EQ((TSize{90, 20}), dxBarGetMultiLineBarSize(p, 100, {1, 1}, items));
  EXPECT_EQ((TSize{40, 36}), dxBarGetMultiLineBarSize(p, 60, {1, 1}, items));
}

TEST(dxBarMultiLine, NoItemsGiveTheMinimumSize) {
  std::vector<TdxBarRowItem> items;
  EXPECT_EQ((TSize{23, 22}),
            dxBarGetMultiLineBarSize({}, 100, {23, 22}, items));
}

TEST(dxBarSeparators, LieBesideOrAboveTheirItems) {
  TdxBarSeparatorParams horz;
  horz.ClientSize = {111, 46};
  horz.Size = 6;
  horz.Mark = 11;
  TdxBarSeparatorParams vert = horz;
  vert.Vertical = true;
  vert.ClientSize = {46, 111};
  struct Case {
    TdxBarSeparatorParams Params;
    TRect Item;
    Integer RowHeight;
    TdxBarItemSeparatorKind Kind;
    TRect Expected;
  };
  const std::vector<Case> cases = {
      {horz, Bounds(46, 2, 30, 16), 20, skVertical, Rect(40, 0, 46, 20)},
      {horz, Bounds(0, 28, 30, 16), 20, skHorizontal, Rect(0, 20, 100, 26)},
      {vert, Bounds(2, 46, 16, 30), 20, skHorizontal, Rect(0, 40, 20, 46)},
      {vert, Bounds(24, 0, 16, 30), 20, skVertical, Rect(42, 0, 48, 100)},
  };
  for (const auto& c : cases) {
    const auto sep = dxBarCalcSeparator(c.Params, c.Item, c.RowHeight);
    EXPECT_EQ(c.Kind, sep.Kind);
    EXPECT_EQ(c.Expected, sep.Bounds);
  }
}

// --- Dock rows ---------------------------------------------------------------

TdxDockRowsGeometry TwoRows(bool TopLeft) {
  TdxDockRowsGeometry g;
  g.TopLeft = TopLeft;
  g.ClientExtent = 52;
  g.ClientSize = 52;
  g.Rows = {{0, 26}, {26, 52}};
  return g;
}

TEST(dxDockRows, TheZonesOfARowDecideJoiningOrANewRow) {
  struct Case {
    Integer Across;
    Integer Row;
    bool NewRow;
  };
  const std::vector<Case> top = {
      {-30, 0, true},  // beyond the zone above the dock
      {-20, 0, true},  // far part of the zone above: a new first row
      {-12, 0, true},  // the new-row band above the first row
      {-5, 0, false},  // the 9 pixels next to the dock join the first row
      {0, 0, false},  {8, 0, false},   // the first 9 pixels of a row join it
      {9, 1, true},   {13, 1, true},   // the next 5 pixels make a new row
      {14, 1, false}, {30, 1, false},  // further down: the next row
      {40, 2, true},  // below the last row's band: a new last row
      {55, 2, true},  {100, 2, true},
  };
  for (const auto& c : top) {
    bool newRow = false;
    EXPECT_EQ(c.Row, dxDockGetRowAtPos(TwoRows(true), c.Across, newRow))
        << c.Across;
    EXPECT_EQ(c.NewRow, newRow) << c.Across;
  }
  // A bottom dock's bands lie at the far side of each row.
  const std::vector<Case> bottom = {
      {5, 0, false},  {12, 1, true},  {16, 1, true},
      {17, 1, false}, {-12, 0, true},
  };
  for (const auto& c : bottom) {
    bool newRow = false;
    EXPECT_EQ(c.Row, dxDockGetRowAtPos(TwoRows(false), c.Across, newRow))
        << c.Across;
    EXPECT_EQ(c.NewRow, newRow) << c.Across;
  }
}

TEST(dxDockRows, AnEmptyDockAlwaysMakesRowZero) {
  TdxDockRowsGeometry g;
  bool newRow = false;
  EXPECT_EQ(0, dxDockGetRowAtPos(g, 500, newRow));
  EXPECT_TRUE(newRow);
}

TdxDockColLayout Col(Integer Min, Integer Max, Integer Wanted) {
  TdxDockColLayout c;
  c.MinLength = Min;
  c.MaxLength = Max;
  c.WantedPos = Wanted;
  c.MaxThickness = 26;
  return c;
}

Integer ThicknessOf(std::size_t, Integer) { return 26; }

TEST(dxDockRows, BarsThatFitKeepTheirPlacesBackedOffTheEnd) {
  std::vector<TdxDockColLayout> cols = {Col(40, 120, 0), Col(40, 120, 50),
                                        Col(40, 120, 300)};
  EXPECT_EQ(26, dxDockCalcRowPositions(cols, 400, false, &ThicknessOf));
  EXPECT_EQ(0, cols[0].Pos);
  EXPECT_EQ(120, cols[1].Pos);  // never over the bar before it
  EXPECT_EQ(280, cols[2].Pos);  // pulled back inside the row
  for (const auto& c : cols) {
    EXPECT_EQ(120, c.Length);
    EXPECT_FALSE(c.ItemsCut);
  }
}

TEST(dxDockRows, SqueezedBarsGiveWayFromTheFirst) {
  std::vector<TdxDockColLayout> cols = {Col(40, 120, 0), Col(40, 120, 50),
                                        Col(40, 120, 100)};
  dxDockCalcRowPositions(cols, 300, false, &ThicknessOf);
  EXPECT_EQ(60, cols[0].Length);
  EXPECT_TRUE(cols[0].ItemsCut);
  EXPECT_EQ(60, cols[1].Pos);
  EXPECT_EQ(120, cols[1].Length);
  EXPECT_EQ(180, cols[2].Pos);
  EXPECT_EQ(120, cols[2].Length);
  EXPECT_FALSE(cols[2].ItemsCut);
}

TEST(dxDockRows, NoSqueezedBarGetsLessThanItsMinimum) {
  std::vector<TdxDockColLayout> cols = {Col(80, 120, 0), Col(80, 120, 120),
                                        Col(80, 120, 240)};
  dxDockCalcRowPositions(cols, 200, false, &ThicknessOf);
  for (const auto& c : cols) EXPECT_GE(c.Length, 80);
}

TEST(dxDockRows, AWholeRowBarSpansTheLine) {
  std::vector<TdxDockColLayout> cols = {Col(40, 500, 30)};
  cols[0].WholeRow = true;
  dxDockCalcRowPositions(cols, 300, false, &ThicknessOf);
  EXPECT_EQ(0, cols[0].Pos);
  EXPECT_EQ(300, cols[0].Length);
  EXPECT_TRUE(cols[0].ItemsCut);
}

TEST(dxDockRows, RestSpaceAndAutoAlignCloseTheGaps) {
  std::vector<TdxDockColLayout> cols = {Col(40, 100, 10), Col(40, 100, 200)};
  cols[1].UseRestSpace = true;
  dxDockCalcRowPositions(cols, 400, false, &ThicknessOf);
  EXPECT_EQ(10, cols[0].Pos);
  EXPECT_EQ(110, cols[1].Pos);
  EXPECT_EQ(290, cols[1].Length);
  std::vector<TdxDockColLayout> aligned = {Col(40, 100, 10), Col(40, 100, 200)};
  dxDockCalcRowPositions(aligned, 400, true, &ThicknessOf);
  EXPECT_EQ(0, aligned[0].Pos);
  EXPECT_EQ(100, aligned[1].Pos);
}

TEST(dxDockRows, TheRowIsAsThickAsItsThickestBar) {
  std::vector<TdxDockColLayout> cols = {Col(40, 100, 0), Col(40, 100, 100)};
  cols[1].MultiLine = true;
  const auto thickness = [](std::size_t Index, Integer) {
    return Index == 1 ? 50 : 26;
  };
  EXPECT_EQ(50, dxDockCalcRowPositions(cols, 400, false, thickness));
  EXPECT_EQ(50, cols[0].Thickness);
}

}  // namespace
