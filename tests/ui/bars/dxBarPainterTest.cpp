// The bar painters' metrics, colours and drawing, painter by painter.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dxBar.h"
#include "dxBarTestSurface.h"

namespace {

using bar_test::Sys;

TdxBarStandardPainter gStandard;
TdxBarEnhancedPainter gEnhanced;
TdxBarFlatPainter gFlat;
TdxBarPainter gBase;

struct Named {
  const char* name;
  TdxBarPainter* painter;
};
const Named kPainters[] = {{"base", &gBase},
                           {"standard", &gStandard},
                           {"enhanced", &gEnhanced},
                           {"flat", &gFlat}};

TEST(BarPainterMetricsTest, SimpleValuesPerPainter) {
  struct Row {
    const char* what;
    Integer (*get)(TdxBarPainter&);
    Integer base, standard, enhanced, flat;
  };
  const Row rows[] = {
      {"GetBorderSize", [](TdxBarPainter& p) { return p.GetBorderSize(); }, 0,
       2, 2, 1},
      {"BeforeFingersSize",
       [](TdxBarPainter& p) { return p.BeforeFingersSize(); }, 0, 2, 1, 1},
      {"FingersSize", [](TdxBarPainter& p) { return p.FingersSize(nullptr); },
       0, 9, 6, 6},
      {"GripperSize", [](TdxBarPainter& p) { return p.GripperSize(); }, 3, 3, 3,
       3},
      {"SubMenuBeginGroupIndent",
       [](TdxBarPainter& p) { return p.SubMenuBeginGroupIndent(); }, 0, 2, 12,
       8},
      {"GlyphDownShift",
       [](TdxBarPainter& p) { return p.GlyphDownShift(nullptr); }, 0, 1, 1, 0},
      {"LoweredBorderSize",
       [](TdxBarPainter& p) { return p.LoweredBorderSize(); }, 0, 1, 1, 1},
      {"BarHorSize", [](TdxBarPainter& p) { return p.BarHorSize(); }, 0, 4, 4,
       0},
      {"BarTopSize", [](TdxBarPainter& p) { return p.BarTopSize(); }, 0, 2, 2,
       0},
      {"BarBottomSize", [](TdxBarPainter& p) { return p.BarBottomSize(); }, 0,
       1, 1, 0},
      {"SubMenuControlBorderSize",
       [](TdxBarPainter& p) { return p.SubMenuControlBorderSize(); }, 2, 3, 3,
       2},
      {"BarBeginGroupSize",
       [](TdxBarPainter& p) { return p.BarBeginGroupSize(); }, 6, 6, 6, 5},
      {"BarBeginGroupSideSize",
       [](TdxBarPainter& p) { return p.BarBeginGroupSideSize(); }, 2, 2, 2, 2},
      {"SubMenuControlNormalItemHeight",
       [](TdxBarPainter& p) { return p.SubMenuControlNormalItemHeight(); }, 19,
       19, 19, 20},
      {"SubMenuControlBeginGroupSize",
       [](TdxBarPainter& p) { return p.SubMenuControlBeginGroupSize(); }, 10,
       10, 10, 5},
      {"SubMenuControlMarkArrowSize(13)",
       [](TdxBarPainter& p) { return p.SubMenuControlMarkArrowSize(13); }, 3, 3,
       3, 4},
      {"SubMenuControlMarkArrowSize(16)",
       [](TdxBarPainter& p) { return p.SubMenuControlMarkArrowSize(16); }, 5, 5,
       5, 6},
      {"SubMenuControlMarkArrowSize(18)",
       [](TdxBarPainter& p) { return p.SubMenuControlMarkArrowSize(18); }, 6, 6,
       6, 6},
      {"SubMenuControlArrowWidth(13)",
       [](TdxBarPainter& p) { return p.SubMenuControlArrowWidth(13); }, 10, 10,
       10, 10},
      {"SubMenuControlGetScrollArrowSize(13)",
       [](TdxBarPainter& p) { return p.SubMenuControlGetScrollArrowSize(13); },
       3, 3, 3, 3},
      {"ComboBoxArrowWidth(5)",
       [](TdxBarPainter& p) { return p.ComboBoxArrowWidth(5); }, 9, 9, 9, 9},
      {"MarkSizeX", [](TdxBarPainter& p) { return p.MarkSizeX(nullptr); }, 11,
       11, 11, 11},
      {"ProgressControlBarHeight",
       [](TdxBarPainter& p) { return p.ProgressControlBarHeight(); }, 12, 12,
       12, 12},
      {"ScreenTipGetFooterLineSize",
       [](TdxBarPainter& p) { return p.ScreenTipGetFooterLineSize(); }, 3, 3, 3,
       3},
      {"ContainerControlSubMenuOffset",
       [](TdxBarPainter& p) { return p.ContainerControlSubMenuOffset(); }, 0, 0,
       0, 9},
      {"EditControlCaptionRightIndent",
       [](TdxBarPainter& p) { return p.EditControlCaptionRightIndent(); }, 4, 4,
       4, 5},
      {"EditControlBorderOffsets",
       [](TdxBarPainter& p) { return p.EditControlBorderOffsets(ptHorz).Left; },
       2, 2, 2, 1},
      {"EditTextSize(13)", [](TdxBarPainter& p) { return p.EditTextSize(13); },
       22, 20, 20, 20},
      {"ButtonHeight(16)",
       [](TdxBarPainter& p) { return p.GetButtonSize(16).cy; }, 22, 22, 22, 22},
      {"ButtonWidth(16)",
       [](TdxBarPainter& p) { return p.GetButtonSize(16).cx; }, 23, 23, 23, 23},
      {"CorrectedHeight(20)",
       [](TdxBarPainter& p) {
         Integer v = 20;
         p.CorrectButtonControlDefaultHeight(v);
         return v;
       },
       20, 20, 20, 22},
      {"CorrectedWidth(20)",
       [](TdxBarPainter& p) {
         Integer v = 20;
         p.CorrectButtonControlDefaultWidth(v);
         return v;
       },
       20, 20, 20, 29},
  };
  for (const Row& row : rows) {
    const Integer expected[] = {row.base, row.standard, row.enhanced, row.flat};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(row.get(*kPainters[i].painter), expected[i])
          << row.what << " of the " << kPainters[i].name << " painter";
  }
}

TEST(BarPainterMetricsTest, PredicatesPerPainter) {
  struct Row {
    const char* what;
    bool (*get)(TdxBarPainter&);
    bool base, standard, enhanced, flat;
  };
  const Row rows[] = {
      {"BarAllowHotTrack",
       [](TdxBarPainter& p) { return p.BarAllowHotTrack(); }, true, false,
       false, true},
      {"BarAllowQuickCustomizing",
       [](TdxBarPainter& p) { return p.BarAllowQuickCustomizing(); }, true,
       false, true, true},
      {"BarUseSystemClose",
       [](TdxBarPainter& p) { return p.BarUseSystemClose(); }, false, true,
       true, false},
      {"IsFlatItemText", [](TdxBarPainter& p) { return p.IsFlatItemText(); },
       false, false, false, true},
      {"IsButtonControlArrowFlat",
       [](TdxBarPainter& p) { return p.IsButtonControlArrowFlat(); }, false,
       false, false, true},
      {"BarIsBarSmall(16 high)",
       [](TdxBarPainter& p) {
         return p.BarIsBarSmall({0, 0, 11, 16});
       },
       true, false, false, true},
      {"BarIsBarSmall(17 high)",
       [](TdxBarPainter& p) {
         return p.BarIsBarSmall({0, 0, 11, 17});
       },
       false, false, false, false},
      {"SubMenuControlIsOffsetRecentGroupNeeded",
       [](TdxBarPainter& p) {
         return p.SubMenuControlIsOffsetRecentGroupNeeded();
       },
       false, true, true, false},
      {"BarChildrenHaveShadows",
       [](TdxBarPainter& p) { return p.BarChildrenHaveShadows(); }, false,
       false, false, true},
  };
  for (const Row& row : rows) {
    const bool expected[] = {row.base, row.standard, row.enhanced, row.flat};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(row.get(*kPainters[i].painter), expected[i])
          << row.what << " of the " << kPainters[i].name << " painter";
  }
}

TEST(BarPainterMetricsTest, HintGoesTwentyPixelsBelowTheCursor) {
  for (const Named& p : kPainters) {
    EXPECT_EQ(p.painter->GetBarItemContolHintPosition(nullptr, {0, 0, 5, 5},
                                                      {100, 300}, 32),
              (TPoint{100, 320}))
        << p.name;
  }
}

TEST(BarPainterMetricsTest, FloatingMarginsWithAndWithoutCaption) {
  const Integer x = ::GetSystemMetrics(SM_CXFRAME);
  const Integer y = ::GetSystemMetrics(SM_CYFRAME);
  // Without a bar there is no control to say it has no caption: the
  // caption area counts.
  const TRect standard =
      gStandard.GetToolbarContentOffsets(nullptr, dsNone, false);
  EXPECT_EQ(standard, (TRect{x + 4, y + gStandard.BarCaptionAreaSize() + 2,
                             x + 4, y + 1}));
  const TRect flat = gFlat.GetToolbarContentOffsets(nullptr, dsNone, false);
  EXPECT_EQ(flat, (TRect{x, y + gFlat.BarCaptionAreaSize(), x, y}));
  EXPECT_EQ(gFlat.BarCaptionAreaSize(), gFlat.BarCaptionSize() + 1);
  // A borderless docked bar has a margin only for its size grip.
  EXPECT_EQ(gFlat.GetToolbarContentOffsets(nullptr, dsBottom, false), TRect{});
  EXPECT_EQ(gFlat.GetToolbarContentOffsets(nullptr, dsBottom, true),
            (TRect{0, 0, ::GetSystemMetrics(SM_CXHSCROLL), 0}));
}

TEST(BarPainterMetricsTest, CaptionRectIsTheStripUnderTheFrame) {
  const TRect r = gBase.GetToolbarCaptionRect({10, 20, 210, 120});
  const Integer x = ::GetSystemMetrics(SM_CXFRAME);
  const Integer y = ::GetSystemMetrics(SM_CYFRAME);
  EXPECT_EQ(r,
            (TRect{10 + x, 20 + y, 210 - x, 20 + y + gBase.BarCaptionSize()}));
}

TEST(BarPainterTextTest, TextColoursByStateAndPainter) {
  struct Case {
    bool enabled, selected, flat;
    COLORREF first, second;
  };
  const Case cases[] = {
      {true, false, false, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNTEXT)},
      {true, true, false, Sys(COLOR_HIGHLIGHTTEXT), Sys(COLOR_HIGHLIGHTTEXT)},
      {true, true, true, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNTEXT)},
      // Disabled captions are embossed unless selected or flat.
      {false, false, false, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)},
      {false, true, false, Sys(COLOR_GRAYTEXT), Sys(COLOR_GRAYTEXT)},
      {false, false, true, Sys(COLOR_GRAYTEXT), Sys(COLOR_GRAYTEXT)},
  };
  for (const Case& c : cases) {
    const TdxBarTextColors colors =
        gStandard.GetTextColors(nullptr, c.enabled, c.selected, c.flat);
    EXPECT_EQ(ColorToRGB(colors.First), c.first)
        << c.enabled << c.selected << c.flat;
    EXPECT_EQ(ColorToRGB(colors.Second), c.second)
        << c.enabled << c.selected << c.flat;
  }
}

TEST(BarPainterGlyphTest, SmallGlyphIsCentredAndShiftedWhenDown) {
  const TSize size{16, 16};
  // One pixel larger both ways: integer halving keeps the top-left.
  EXPECT_EQ(
      gBase.GetSmallImageBounds(size, {0, 0, 17, 17}, false, false, false),
      (TRect{0, 0, 16, 16}));
  EXPECT_EQ(gBase.GetSmallImageBounds(size, {0, 0, 24, 22}, false, true, true),
            (TRect{4, 3, 20, 19}));
  // The standard painter moves a checked glyph by 1 and a pressed one by 1
  // more.
  EXPECT_EQ(
      gStandard.GetSmallImageBounds(size, {0, 0, 24, 22}, false, true, false),
      (TRect{5, 4, 21, 20}));
  EXPECT_EQ(
      gStandard.GetSmallImageBounds(size, {0, 0, 24, 22}, false, true, true),
      (TRect{6, 5, 22, 21}));
  // No icon and not down: the image's own size at the origin.
  EXPECT_EQ(
      gStandard.GetSmallImageBounds(size, {5, 5, 24, 22}, true, false, false),
      (TRect{0, 0, 16, 16}));
}

TEST(BarPainterGlyphTest, LargeGlyphFollowsTheLayout) {
  const TSize size{32, 32};
  const TRect r{0, 0, 100, 60};
  const TdxBarItemControlViewStructure both{cpIcon, cpText};
  struct Case {
    TdxBarPaintType type;
    TdxBarGlyphLayout layout;
    TRect expected;
  };
  const Case cases[] = {
      {ptHorz, glLeft, {4, 14, 36, 46}},  {ptHorz, glRight, {64, 14, 96, 46}},
      {ptHorz, glTop, {34, 2, 66, 34}},   {ptHorz, glBottom, {34, 26, 66, 58}},
      {ptVert, glLeft, {34, 4, 66, 36}},  {ptVert, glRight, {34, 24, 66, 56}},
      {ptVert, glTop, {66, 14, 98, 46}},  {ptVert, glBottom, {2, 14, 34, 46}},
      {ptMenu, glLeft, {34, 14, 66, 46}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(gBase.GetLargeImageBounds(size, r, c.type, both, c.layout),
              c.expected)
        << int(c.type) << "/" << int(c.layout);
  // Without a caption the glyph stays centred.
  EXPECT_EQ(gBase.GetLargeImageBounds(size, r, ptHorz, {cpIcon}, glLeft),
            (TRect{34, 14, 66, 46}));
}

TEST(BarPainterButtonTest, CaptionMovesWithDownAndPressed) {
  struct Case {
    TdxBarPainter* painter;
    bool down, pressed;
    Integer shift;
  };
  const Case cases[] = {
      {&gBase, false, false, 0}, {&gBase, true, false, 1},
      {&gBase, false, true, 1},  {&gBase, true, true, 2},
      {&gFlat, true, true, 0},   {&gStandard, true, true, 2},
  };
  for (const Case& c : cases) {
    TRect r{10, 10, 50, 30};
    c.painter->OffsetCaptionBounds(c.down, c.pressed, r);
    EXPECT_EQ(r,
              (TRect{10 + c.shift, 10 + c.shift, 50 + c.shift, 30 + c.shift}))
        << c.down << c.pressed;
  }
}

TEST(BarPainterButtonTest, ArrowPartIsCutFromTheFace) {
  TdxBarButtonLikeControlDrawParams params;
  params.ArrowSize = {11, 3};
  TRect parts[2] = {{0, 0, 40, 22}, {0, 0, 40, 22}};
  gBase.CalculateButtonParts(params, parts, 2, {0, 0, 40, 22});
  EXPECT_EQ(parts[0], (TRect{0, 0, 40, 22})) << "no drop-down: unchanged";
  params.IsDropDown = true;
  gBase.CalculateButtonParts(params, parts, 2, {0, 0, 40, 22});
  EXPECT_EQ(parts[0], (TRect{0, 0, 29, 22}));
  EXPECT_EQ(parts[1], (TRect{29, 0, 40, 22}));
  // A split button outside menus grows by the text indent's right (0) and
  // the arrow; a menu item does not grow.
  Integer width = 30;
  params.IsSplit = true;
  gBase.InflateSizeForArrow(params, width);
  EXPECT_EQ(width, 41);
  params.IsSplit = false;
  params.IsMenuItem = true;
  width = 30;
  gBase.InflateSizeForArrow(params, width);
  EXPECT_EQ(width, 30);
}

TEST(BarPainterButtonTest, SmallCaptionStartsAfterTheGlyphArea) {
  TdxBarButtonLikeControlDrawParams params;
  params.ViewSize = cvsSmall;
  params.ViewStructure = {cpIcon, cpText};
  params.GlyphAreaSize = 23;
  TRect caption{0, 0, 80, 22};
  TAlignment alignment = taCenter;
  gBase.CorrectCaptionParams(params, caption, {4, 3, 20, 19}, alignment);
  EXPECT_EQ(alignment, taLeftJustify);
  EXPECT_EQ(caption, (TRect{23, 0, 80, 22}));
  params.PaintType = ptVert;
  caption = {0, 0, 22, 80};
  gBase.CorrectCaptionParams(params, caption, {4, 3, 20, 19}, alignment);
  EXPECT_EQ(caption, (TRect{0, 23, 22, 80}));
  // Large: beside or across the glyph.
  params.PaintType = ptHorz;
  params.ViewSize = cvsLarge;
  params.GlyphLayout = glTop;
  caption = {0, 0, 60, 60};
  gBase.CorrectCaptionParams(params, caption, {14, 2, 46, 34}, alignment);
  EXPECT_EQ(alignment, taCenter);
  EXPECT_EQ(caption, (TRect{0, 34, 60, 60}));
  params.GlyphLayout = glLeft;
  caption = {0, 0, 100, 40};
  gBase.CorrectCaptionParams(params, caption, {4, 4, 36, 36}, alignment);
  EXPECT_EQ(alignment, taLeftJustify);
  EXPECT_EQ(caption, (TRect{39, 0, 100, 40}));
}

TEST(BarPainterProgressTest, BarBlocksAndEmptyRange) {
  struct Case {
    TdxBarProgressDrawParams params;
    TRect r;
    std::vector<int> columns;  // the x of each filled column's left edge
    int filled;                // pixels filled along the middle row
  };
  TdxBarProgressDrawParams half;
  half.Position = 50;
  TdxBarProgressDrawParams equal;
  equal.Min = equal.Max = equal.Position = 5;
  TdxBarProgressDrawParams atMin;
  TdxBarProgressDrawParams full;
  full.Position = 100;
  TdxBarProgressDrawParams smooth = half;
  smooth.Smooth = true;
  // A position past the maximum fills the bar and no more.
  TdxBarProgressDrawParams beyond;
  beyond.Position = 250;
  beyond.Smooth = true;
  const Case cases[] = {
      // 12 high: blocks of 8 with gaps of 2, the last one cut at 40.
      {half, {0, 0, 80, 12}, {0, 10, 20, 30}, 32},
      {equal, {0, 0, 80, 12}, {}, 0},
      {atMin, {0, 0, 80, 12}, {}, 0},
      {full, {0, 0, 20, 12}, {0, 10}, 16},
      {smooth, {0, 0, 80, 12}, {0}, 40},
      {beyond, {0, 0, 20, 12}, {0}, 20},
  };
  for (const Case& c : cases) {
    Surface s(90, 14);
    gBase.ProgressControlDrawBar(c.params, s.DC(), c.r, clBlack);
    std::vector<int> starts;
    int filled = 0;
    for (int x = 0; x < 90; ++x) {
      const bool on = s.At(x, 6) == RGB(0, 0, 0);
      if (on) ++filled;
      if (on && (x == 0 || s.At(x - 1, 6) != RGB(0, 0, 0))) starts.push_back(x);
    }
    EXPECT_EQ(starts, c.columns) << &c - cases;
    EXPECT_EQ(filled, c.filled) << &c - cases;
  }
}

// The pixels of a check mark drawn at (2, 6) in a 20 x 20 surface.
std::vector<std::string> CheckMark(TdxBarPainter& painter, int scale = 1) {
  Surface s(20 * scale, 20 * scale);
  painter.DrawGlyphCheckMark(nullptr, s.DC(), 2, 6, scale);
  return s.Marked();
}

TEST(BarPainterGlyphTest, CheckMarksOfTheStandardAndFlatPainters) {
  EXPECT_TRUE(CheckMark(gBase).empty()) << "the base painter draws none";
  // The flat mark: two passes of the polyline (3, 8)-(5, 10)-(10, 5).
  const std::vector<std::string> flat = CheckMark(gFlat);
  EXPECT_EQ(flat.size(), 14u);
  Surface s(20, 20);
  gFlat.DrawGlyphCheckMark(nullptr, s.DC(), 2, 6, 1);
  EXPECT_EQ(s.At(3, 8), RGB(0, 0, 0));
  EXPECT_EQ(s.At(3, 9), RGB(0, 0, 0));
  EXPECT_EQ(s.At(5, 10), RGB(0, 0, 0));
  EXPECT_EQ(s.At(5, 11), RGB(0, 0, 0));
  EXPECT_EQ(s.At(9, 6), RGB(0, 0, 0));
  // The standard mark: a grey row, two black rows and a white row, with
  // its white ends.
  Surface st(20, 20);
  gStandard.DrawGlyphCheckMark(nullptr, st.DC(), 2, 6, 1);
  EXPECT_EQ(st.At(3, 8), RGB(192, 192, 192));
  EXPECT_EQ(st.At(3, 9), RGB(0, 0, 0));
  EXPECT_EQ(st.At(3, 10), RGB(0, 0, 0));
  EXPECT_EQ(st.At(5, 12), RGB(0, 0, 0));
  // Doubled for big fonts: the flat mark draws four passes.
  EXPECT_EQ(CheckMark(gFlat, 2).size(), 4 * 14u);
}

TEST(BarPainterToolbarTest, MarkElementsOfTheQuickCustomizingPainters) {
  // The customize triangle: enhanced and flat draw it, standard does not.
  const TRect mark{0, 0, 11, 22};
  for (TdxBarPainter* p : {static_cast<TdxBarPainter*>(&gStandard),
                           static_cast<TdxBarPainter*>(&gEnhanced)}) {
    Surface s(11, 22);
    p->BarDrawMarkElements(nullptr, s.DC(), mark);
    if (p == &gStandard) {
      EXPECT_TRUE(s.Marked().empty());
      continue;
    }
    // (3, 15), (7, 15), (5, 17) filled in the button-text colour.
    EXPECT_EQ(s.At(3, 15), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(s.At(7, 15), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(s.At(5, 17), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(s.At(5, 18), kWhite);
    EXPECT_EQ(s.Marked().size(), 9u);
  }
  // A 16-pixel mark is small: the triangle sits one pixel lower, except in
  // the standard painters, where no mark is small.
  Surface small(11, 16), enhanced(11, 16);
  gBase.BarDrawMarkElements(nullptr, small.DC(), {0, 0, 11, 16});
  EXPECT_EQ(small.At(3, 9), kWhite);
  EXPECT_EQ(small.At(3, 10), Sys(COLOR_BTNTEXT));
  gEnhanced.BarDrawMarkElements(nullptr, enhanced.DC(), {0, 0, 11, 16});
  EXPECT_EQ(enhanced.At(3, 9), Sys(COLOR_BTNTEXT));
}

TEST(BarPainterToolbarTest, ChevronsPlainAndEmbossed) {
  Surface plain(16, 16), embossed(16, 16);
  gEnhanced.BarDrawMarkAtPos(nullptr, plain.DC(), {0, 0, 11, 22}, 4);
  gStandard.BarDrawMarkAtPos(nullptr, embossed.DC(), {0, 0, 11, 22}, 4);
  // Plain: two lines in the text colour, tip at (6, 6) and (7, 6).
  EXPECT_EQ(plain.At(4, 4), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(plain.At(6, 6), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(plain.At(7, 6), Sys(COLOR_BTNTEXT));
  // Embossed: shadow over highlight.
  EXPECT_EQ(embossed.At(4, 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(embossed.At(3, 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(embossed.At(7, 4), Sys(COLOR_BTNHIGHLIGHT));
}

TEST(BarPainterToolbarTest, GroupSeparatorOfEachPainter) {
  TBrushHandle white(::CreateSolidBrush(RGB(255, 255, 255)));
  Surface etched(10, 20), flat(10, 20);
  etched.Fill({0, 0, 10, 20}, RGB(1, 2, 3));
  flat.Fill({0, 0, 10, 20}, RGB(1, 2, 3));
  gStandard.BarDrawBeginGroup(nullptr, etched.DC(), {0, 0, 6, 20}, white.get(),
                              false);
  gFlat.BarDrawBeginGroup(nullptr, flat.DC(), {0, 0, 5, 20}, white.get(),
                          false);
  // Standard: side strips of 2 filled, an etched edge at x 2 and 3.
  EXPECT_EQ(etched.At(0, 10), kWhite);
  EXPECT_EQ(etched.At(2, 10), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(etched.At(3, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(etched.At(5, 10), kWhite);
  // Flat: side strips of 2 and one shadow line at x 2.
  EXPECT_EQ(flat.At(1, 10), kWhite);
  EXPECT_EQ(flat.At(2, 10), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(flat.At(3, 10), kWhite);
  EXPECT_EQ(flat.At(4, 10), kWhite);
  EXPECT_EQ(flat.At(5, 10), RGB(1, 2, 3));
}

TEST(BarPainterBrushTest, FlatBrushesComeFromTheSystemColours) {
  const COLORREF shadow = Sys(COLOR_BTNSHADOW);
  EXPECT_EQ(ColorToRGB(dxBarFlatToolbarsBorderColor()),
            RGB(::MulDiv(GetRValue(shadow), 8, 10),
                ::MulDiv(GetGValue(shadow), 8, 10),
                ::MulDiv(GetBValue(shadow), 8, 10)));
  const COLORREF face = Sys(COLOR_BTNFACE);
  const COLORREF raised = ColorToRGB(dxBarFlatToolbarsColor());
  EXPECT_EQ(GetRValue(raised),
            GetRValue(face) + ::MulDiv(255 - GetRValue(face), 16, 100));
  const TdxBarFlatBrushes& b = dxBarFlatBrushes();
  EXPECT_EQ(gFlat.BarToolbarBrush(nullptr), b.Toolbar);
  EXPECT_EQ(gFlat.BarToolbarSelBrush(nullptr), b.Selected);
  EXPECT_EQ(gFlat.BarToolbarDownedBrush(nullptr), b.Downed);
  EXPECT_EQ(gFlat.BarToolbarDownedSelBrush(nullptr), b.DownedSel);
  // The classic painters use the system brushes and the half-tone brush.
  EXPECT_EQ(gStandard.BarToolbarBrush(nullptr),
            ::GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(gStandard.BarToolbarSelBrush(nullptr),
            ::GetSysColorBrush(COLOR_HIGHLIGHT));
  EXPECT_EQ(gStandard.BarToolbarDownedBrush(nullptr), dxBarPatternBrush());
  EXPECT_EQ(dxBarFlatPainter(), dxBarFlatPainter());
  ASSERT_NE(dxBarFlatPainter(), nullptr);
}

TEST(BarPainterStaticTest, BordersByStyle) {
  struct Case {
    TdxBarStaticBorderStyle style;
    Integer width;
    COLORREF outerTopLeft, innerTopLeft;
  };
  const Case cases[] = {
      {sbsNone, 0, kWhite, kWhite},
      {sbsLowered, 1, Sys(COLOR_BTNSHADOW), kWhite},
      {sbsRaised, 1, Sys(COLOR_BTNHIGHLIGHT), kWhite},
      {sbsEtched, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
      {sbsBump, 2, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)},
  };
  for (const Case& c : cases) {
    const TRect offsets = gBase.StaticControlGetBorderOffsets(c.style);
    EXPECT_EQ(offsets, (TRect{c.width, c.width, c.width, c.width}))
        << int(c.style);
    Surface s(20, 20);
    TRect r{0, 0, 20, 20};
    gBase.DrawStaticBorder(s.DC(), c.style, offsets, r);
    EXPECT_EQ(r, (TRect{c.width, c.width, 20 - c.width, 20 - c.width}))
        << int(c.style);
    EXPECT_EQ(s.At(0, 10), c.outerTopLeft) << int(c.style);
    EXPECT_EQ(s.At(1, 10), c.innerTopLeft) << int(c.style);
    EXPECT_EQ(s.At(10, 10), kWhite) << int(c.style);
  }
  EXPECT_EQ(gBase.SeparatorControlGetIndents(), (TRect{6, 0, 0, 0}));
}

TEST(BarPainterEditTest, ButtonAndArrowSizesOfEditLikeControls) {
  // A combo button's arrow: a quarter of its width, made odd.
  for (auto [width, size] : {std::pair{8, 3}, {12, 3}, {16, 5}, {20, 5}})
    EXPECT_EQ(size, gBase.ComboControlArrowSize({0, 0, width, 20})) << width;
  // A spin arrow from the field's height h: a = (h div 2 - 2) div 2, 2a - 1
  // wide and a high.
  for (auto [height, w, h] :
       {std::tuple{20, 7, 4}, {16, 5, 3}, {12, 3, 2}, {24, 9, 5}}) {
    const TSize arrow = TdxBarPainter::GetSpinEditArrowSize(height);
    EXPECT_EQ(w, arrow.cx) << height;
    EXPECT_EQ(h, arrow.cy) << height;
  }
  // The custom-colour button: whole 7-pixel steps of the height less 4.
  EXPECT_EQ(16, gBase.GetCustomColorButtonWidth(ptHorz, {0, 0, 100, 20}));
}

TEST(BarPainterEditTest, ButtonsThatWouldTakeHalfTheFieldAreNotShown) {
  TdxBarEditLikeControlDrawParams params;
  params.ShowCustomColorButton = true;
  const TRect field{0, 0, 100, 20};
  params.TextField = field;
  // Wide field: the colour button (16 + 2 indents) sits at the right end
  // inside its indents; the spin buttons split their column in two.
  EXPECT_EQ((TRect{83, 2, 99, 18}),
            gBase.GetCustomColorButtonBounds(params, field));
  const TRect up = gBase.GetSpinEditButtonBounds(params, field, sbUp);
  const TRect down = gBase.GetSpinEditButtonBounds(params, field, sbDown);
  EXPECT_EQ(up.Bottom, down.Top);
  EXPECT_EQ(up.Right, 99);
  EXPECT_GT(up.Width(), 0);
  // A narrow field keeps all of itself.
  params.TextField = {0, 0, 30, 20};
  EXPECT_EQ(0,
            gBase.GetCustomColorButtonBounds(params, {0, 0, 30, 20}).Width());
  EXPECT_EQ(
      0, gBase.GetSpinEditButtonBounds(params, {0, 0, 30, 20}, sbUp).Width());
  // Without the offer there is no colour button at all.
  params.TextField = field;
  params.ShowCustomColorButton = false;
  EXPECT_EQ(0, gBase.GetCustomColorButtonBounds(params, field).Width());
}

// A canvas over a white bitmap, for the operations that draw on one.
struct TBitmapCanvas {
  TBitmapCanvas(int AWidth, int AHeight) : bitmap(new TBitmap) {
    bitmap->SetWidth(AWidth);
    bitmap->SetHeight(AHeight);
    canvas = std::make_unique<TcxCanvas>(bitmap->Canvas());
    RECT r{0, 0, AWidth, AHeight};
    ::FillRect(canvas->Handle(), &r,
               static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  COLORREF At(int X, int Y) const { return ::GetPixel(canvas->Handle(), X, Y); }
  TObjectPtr<TBitmap> bitmap;
  std::unique_ptr<TcxCanvas> canvas;
};

TEST(BarPainterEditTest, SpinArrowsPlainOrEngraved) {
  Surface enabled(20, 20);
  TdxBarPainter::SpinEditControlDrawArrowByPoints(enabled.DC(), {5, 10}, 7,
                                                  true, COLOR_BTNTEXT);
  // The up arrow: its base row from x to x + w - 1, its point w div 2 up.
  EXPECT_EQ(Sys(COLOR_BTNTEXT), enabled.At(5, 10));
  EXPECT_EQ(Sys(COLOR_BTNTEXT), enabled.At(11, 10));
  EXPECT_EQ(Sys(COLOR_BTNTEXT), enabled.At(8, 7));
  EXPECT_EQ(kWhite, enabled.At(8, 6));
  EXPECT_EQ(kWhite, enabled.At(5, 11));
  // A disabled arrow through the painter: the highlight copy one pixel
  // down and right shows under the shadow one.
  TBitmapCanvas disabled(20, 20);
  TdxBarEditLikeControlDrawParams params;
  params.Canvas = disabled.canvas.get();
  params.Enabled = false;
  params.TextField = {0, 0, 60, 20};
  gBase.DrawSpinEditArrow(params, {5, 5}, 4);
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), disabled.At(5, 5));
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), disabled.At(12, 6));
}

TEST(BarPainterEditTest, DateNavigatorButtonsRaisedOrFlat) {
  Surface raised(30, 20), flat(30, 20);
  gBase.DateNavigatorDrawButton(raised.DC(), {0, 0, 30, 20}, String(), false);
  EXPECT_EQ(Sys(COLOR_BTNTEXT), raised.At(29, 10));
  EXPECT_EQ(Sys(COLOR_BTNTEXT), raised.At(10, 19));
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), raised.At(28, 10));
  EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), raised.At(1, 10));
  gFlat.DateNavigatorDrawButton(flat.DC(), {0, 0, 30, 20}, String(), false);
  EXPECT_EQ(Sys(COLOR_BTNSHADOW), flat.At(0, 10));
  EXPECT_EQ(Sys(COLOR_BTNFACE), flat.At(1, 10));
  EXPECT_TRUE(gFlat.IsDateNavigatorFlat());
  EXPECT_FALSE(gBase.IsDateNavigatorFlat());
}

TEST(BarPainterMenuBrushTest, MenusTakeTheirItemsBrushWhenTheyTrackTheMouse) {
  HBRUSH given = ::GetSysColorBrush(COLOR_INFOBK);
  // The standard painters do not track the mouse: the brush stays.
  EXPECT_EQ(given, gStandard.SubMenuControlPrepareBkBrush(given));
  EXPECT_EQ(given, gEnhanced.SubMenuControlPrepareBkBrush(given));
  EXPECT_EQ(gBase.SubMenuControlToolbarItemsBrush(),
            gBase.SubMenuControlPrepareBkBrush(given));
  EXPECT_EQ(::GetSysColorBrush(COLOR_WINDOW),
            gFlat.SubMenuControlPrepareBkBrush(given));
}

TEST(BarPainterStaticTest, TitledSeparatorsAndIndentStrips) {
  // A titled separator in a menu: a line above its caption unless it is
  // the menu's first row, and one below it.
  TdxBarSeparatorControlDrawParams params;
  params.PaintType = ptMenu;
  params.ViewStructure = {cpText};
  for (bool top : {false, true}) {
    TBitmapCanvas separator(60, 24);
    params.Canvas = separator.canvas.get();
    params.IsTop = top;
    gBase.DrawSeparatorControl(params, {0, 0, 60, 24});
    auto at = [&](int x, int y) { return separator.At(x, y); };
    EXPECT_EQ(top ? Sys(COLOR_BTNFACE) : Sys(COLOR_BTNSHADOW), at(30, 0))
        << top;
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), at(30, 22)) << top;
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), at(30, 23)) << top;
  }
  // The indents of a static: strips of the bar's background cut off R.
  TdxBarStaticLikeControlDrawParams statics;
  TBitmapCanvas area(60, 20);
  statics.Canvas = area.canvas.get();
  statics.BorderStyle = sbsLowered;
  statics.BorderOffsets = {1, 1, 1, 1};
  TRect r{0, 0, 60, 20};
  gBase.DrawStaticLikeControl(statics, r, 5, 7);
  EXPECT_EQ((TRect{6, 1, 52, 19}), r);
  statics.PaintType = ptVert;
  r = {0, 0, 20, 60};
  gBase.DrawStaticLikeControl(statics, r, 5, 7);
  EXPECT_EQ((TRect{1, 6, 19, 52}), r);
}

}  // namespace
