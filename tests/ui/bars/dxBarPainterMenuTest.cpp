// The painters' menu operations: drawing constants, frames, separators and
// the expand band's chevrons.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dxBar.h"
#include "dxBarTestSurface.h"

namespace {

using bar_test::Sys;

TEST(BarPainterMenuTest, MarkSizeIsEvenedThroughItsArrowSize) {
  TdxBarPainter base;
  TdxBarFlatPainter flat;
  // By the height of "0": the mark is that + 1; an odd arrow size b makes
  // it 2b + 4. Base b = (mark - 6) div 2. The flat arrow size, (n - 4) div 2
  // with an odd value above 4 reduced, is asked of the mark and then of the
  // mark less 2.
  const std::map<int, Integer> baseMarks = {
      {12, 10}, {13, 14}, {14, 15}, {16, 14}, {17, 18}};
  const std::map<int, Integer> flatMarks = {
      {10, 10}, {12, 10}, {13, 14}, {14, 15}, {16, 17}, {17, 18}, {18, 19}};
  int checked = 0;
  for (int height = 8; height <= 24; ++height) {
    TObjectPtr<TBitmap> bitmap(new TBitmap);
    bitmap->SetWidth(10);
    bitmap->SetHeight(10);
    TcxCanvas canvas(bitmap->Canvas());
    TFontHandle font(::CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    HDC dc = canvas.Handle();
    HGDIOBJ old = ::SelectObject(dc, font.get());
    SIZE digit{};
    ::GetTextExtentPoint32A(dc, "0", 1, &digit);
    for (auto [painter, marks] :
         {std::pair{static_cast<TdxBarPainter*>(&base), &baseMarks},
          std::pair{static_cast<TdxBarPainter*>(&flat), &flatMarks}}) {
      auto it = marks->find(digit.cy);
      if (it == marks->end()) continue;
      Integer mark = 0, arrow = 0;
      painter->SubMenuControlCalcDrawingConsts(&canvas, 13, mark, arrow);
      EXPECT_EQ(mark, it->second) << "digit height " << digit.cy;
      EXPECT_EQ(arrow, 10);
      ++checked;
    }
    ::SelectObject(dc, old);
  }
  EXPECT_GE(checked, 6) << "too few font heights to check";
}

TEST(BarPainterMenuTest, ItemRectsAndOffsetsPerPainter) {
  TdxBarPainter base;
  TdxBarStandardPainter standard;
  TdxBarFlatPainter flat;
  TdxBarSubMenuPaintInfo menu;
  menu.IconAreaSize = 24;
  const TRect item{0, 40, 120, 62};
  EXPECT_EQ(base.SubMenuControlGetItemIconRect(item, 24),
            (TRect{0, 40, 24, 62}));
  EXPECT_EQ(flat.SubMenuControlGetItemIconRect(item, 24),
            (TRect{1, 41, 23, 61}));
  EXPECT_EQ(base.SubMenuControlGetItemTextRect(menu, item),
            (TRect{27, 40, 120, 62}));
  EXPECT_EQ(flat.SubMenuControlGetItemTextRect(menu, item),
            (TRect{33, 41, 119, 61}));
  EXPECT_EQ(base.SubMenuControlContentRectOffset(menu), (TRect{1, 1, 1, 1}));
  EXPECT_EQ(standard.SubMenuControlContentRectOffset(menu),
            (TRect{2, 2, 2, 2}));
  menu.Detachable = true;
  EXPECT_EQ(standard.SubMenuControlContentRectOffset(menu),
            (TRect{2, 0, 2, 2}));
  menu.DetachCaptionHeight = 5;
  EXPECT_EQ(base.SubMenuControlDetachCaptionAreaSize(menu), 8);
  EXPECT_EQ(flat.SubMenuControlDetachCaptionAreaSize(menu), 6);
}

TEST(BarPainterMenuTest, FramesOfAPlainMenu) {
  TdxBarPainter base;
  TdxBarFlatPainter flat;
  TdxBarSubMenuPaintInfo menu;
  Surface classic(40, 30), plain(40, 30);
  base.SubMenuControlDrawBorder(menu, classic.DC(), {0, 0, 40, 30});
  // A face-coloured ring at the top and left, the dark raised outer line
  // at the right and bottom; nothing inside.
  EXPECT_EQ(classic.At(0, 10), Sys(COLOR_BTNFACE));
  EXPECT_EQ(classic.At(10, 0), Sys(COLOR_BTNFACE));
  EXPECT_EQ(classic.At(39, 10), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(classic.At(10, 29), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(classic.At(1, 1), kWhite);
  flat.SubMenuControlDrawBorder(menu, plain.DC(), {0, 0, 40, 30});
  LOGBRUSH border{};
  ::GetObjectA(dxBarFlatBrushes().Border, sizeof border, &border);
  for (POINT p : {POINT{0, 10}, POINT{10, 0}, POINT{39, 10}, POINT{10, 29}})
    EXPECT_EQ(plain.At(p.x, p.y), border.lbColor) << p.x << "," << p.y;
  EXPECT_EQ(plain.At(1, 1), kWhite);
}

TEST(BarPainterMenuTest, DetachableMenuDrawsItsCaption) {
  TdxBarPainter base;
  TdxBarFlatPainter flat;
  TdxBarSubMenuPaintInfo menu;
  menu.Detachable = true;
  menu.DetachCaptionHeight = 5;
  menu.DetachCaptionAreaSize = 8;
  menu.DetachCaptionRect = {3, 3, 77, 8};
  Surface inactive(80, 40), hot(80, 40), flatHot(80, 40);
  base.SubMenuControlDrawBorder(menu, inactive.DC(), {0, 0, 80, 40});
  EXPECT_EQ(inactive.At(40, 5), Sys(COLOR_INACTIVECAPTION));
  menu.DetachCaptionSelected = true;
  base.SubMenuControlDrawBorder(menu, hot.DC(), {0, 0, 80, 40});
  EXPECT_EQ(hot.At(40, 5), Sys(COLOR_ACTIVECAPTION));
  // Flat: a grip 33 wide, centred, on every other row, in the text colour
  // when hot.
  flat.SubMenuControlDrawBorder(menu, flatHot.DC(), {0, 0, 80, 40});
  const int inset = (74 - 33) / 2;
  EXPECT_EQ(flatHot.At(3 + inset, 4), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(flatHot.At(3 + inset + 32, 4), Sys(COLOR_BTNTEXT));
  EXPECT_NE(flatHot.At(3 + inset - 1, 4), Sys(COLOR_BTNTEXT));
  EXPECT_NE(flatHot.At(3 + inset, 5), Sys(COLOR_BTNTEXT));
  EXPECT_EQ(flatHot.At(3 + inset, 6), Sys(COLOR_BTNTEXT));
}

TEST(BarPainterMenuTest, SeparatorsEtchedOrFlat) {
  TdxBarPainter base;
  TdxBarFlatPainter flat;
  Surface etched(30, 10), line(30, 10);
  base.SubMenuControlDrawSeparator(etched.DC(), {2, 4, 28, 6});
  EXPECT_EQ(etched.At(10, 4), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(etched.At(10, 5), Sys(COLOR_BTNHIGHLIGHT));
  flat.SubMenuControlDrawSeparator(line.DC(), {2, 4, 28, 6});
  EXPECT_EQ(line.At(10, 4), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(line.At(10, 5), kWhite);
  EXPECT_EQ(line.At(1, 4), kWhite);
  EXPECT_EQ(line.At(28, 4), kWhite);
}

TEST(BarPainterMenuTest, ExpandBandShowsTwoChevrons) {
  TdxBarPainter base;
  TdxBarSubMenuPaintInfo menu;
  menu.MarkSize = 14;
  menu.MarkArrowSize = 4;
  Surface s(30, 14);
  base.SubMenuControlDrawMarkContent(menu, s.DC(), {0, 0, 30, 14}, false);
  // x0 = (30 - 4 - 1) div 2 = 12, y0 = (14 - 8) div 2 = 3; rows 3, 4 and,
  // after a gap of 2, 7, 8: each row runs down to (14, y + 2) and up to
  // (17, y - 1).
  for (int y : {3, 4, 7, 8}) {
    EXPECT_EQ(s.At(12, y), Sys(COLOR_BTNTEXT)) << y;
    EXPECT_EQ(s.At(14, y + 2), Sys(COLOR_BTNTEXT)) << y;
  }
  EXPECT_EQ(s.At(12, 5), kWhite);
  EXPECT_EQ(s.At(12, 6), kWhite);
}

}  // namespace
