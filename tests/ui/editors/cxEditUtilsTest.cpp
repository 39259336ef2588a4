// The editors' drawing routines read back from bitmaps, and their measures.
#include <gtest/gtest.h>

#include "Handles.h"
#include "WinApi.h"
#include "cxEditTestCanvas.h"
#include "cxEditUtils.h"
#include "dxOffice11.h"

using edit_test::TTestCanvas;

namespace {

constexpr TColor kInk = TColor(0x000000C8);

struct TArrowSizeCase {
  TSize Area;
  TcxArrowDirection Direction;
  TSize Expected;
};

TEST(GetArrowSize, Table) {
  const TArrowSizeCase cases[] = {
      {{16, 20}, adDown, {7, 4}},  {{16, 20}, adUp, {7, 4}},
      {{16, 20}, adRight, {4, 7}}, {{16, 20}, adLeft, {4, 7}},
      {{18, 18}, adDown, {9, 5}},  {{20, 16}, adDown, {7, 4}},
      {{3, 3}, adDown, {1, 1}},
  };
  for (const auto& c : cases) {
    const TSize s = GetArrowSize(c.Area, c.Direction);
    EXPECT_EQ(s.cx, c.Expected.cx) << c.Area.cx << "x" << c.Area.cy;
    EXPECT_EQ(s.cy, c.Expected.cy) << c.Area.cx << "x" << c.Area.cy;
  }
}

TEST(DrawArrow, DownSingleIsRowsOfSevenFiveThreeOne) {
  TTestCanvas t(11, 10);
  DrawArrow(t.Canvas(), 4, TRect{0, 0, 11, 10}, adDown, false, false, kInk);
  // 7 wide, 4 high, centred: x from 2, y from 3.
  const std::string expected =
      "...........\n"
      "...........\n"
      "...........\n"
      "..#######..\n"
      "...#####...\n"
      "....###....\n"
      ".....#.....\n"
      "...........\n"
      "...........\n"
      "...........\n";
  EXPECT_EQ(t.Picture(kInk), expected);
}

TEST(DrawArrow, DoubleRepeatsTheArrowDirectlyBelow) {
  TTestCanvas t(7, 8);
  DrawArrow(t.Canvas(), 4, TRect{0, 0, 7, 8}, adDown, true, false, kInk);
  const Integer widths[] = {7, 5, 3, 1, 7, 5, 3, 1};
  for (Integer y = 0; y < 8; ++y)
    EXPECT_EQ(t.Run(y, kInk).second, widths[y]) << "row " << y;
}

TEST(DrawArrow, PressedMovesByOnePixel) {
  TTestCanvas t(9, 9);
  DrawArrow(t.Canvas(), 3, TRect{0, 0, 9, 9}, adUp, false, true, kInk);
  // 5 wide, 3 high: at (2, 3) unpressed, (3, 4) pressed; apex first.
  EXPECT_EQ(t.Run(4, kInk), std::make_pair(5, 1));
  EXPECT_EQ(t.Run(5, kInk), std::make_pair(4, 3));
  EXPECT_EQ(t.Run(6, kInk), std::make_pair(3, 5));
  EXPECT_EQ(t.Run(3, kInk).second, 0);
}

TEST(DrawArrow, RightAndLeftAreColumns) {
  TTestCanvas right(3, 5);
  DrawArrow(right.Canvas(), 3, TRect{0, 0, 3, 5}, adRight, false, false, kInk);
  EXPECT_EQ(right.Picture(kInk),
            "#..\n"
            "##.\n"
            "###\n"
            "##.\n"
            "#..\n");
  TTestCanvas left(3, 5);
  DrawArrow(left.Canvas(), 3, TRect{0, 0, 3, 5}, adLeft, false, false, kInk);
  EXPECT_EQ(left.Picture(kInk),
            "..#\n"
            ".##\n"
            "###\n"
            ".##\n"
            "..#\n");
}

TEST(DrawButtonBorder, DrawsTheAskedSidesAndShrinks) {
  TTestCanvas t(6, 5);
  TRect r{0, 0, 6, 5};
  DrawButtonBorder(t.Canvas(), r, TcxBorders{bLeft, bBottom}, kInk);
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Bottom, 4);
  EXPECT_EQ(r.Right, 6);
  EXPECT_EQ(r.Top, 0);
  EXPECT_EQ(t.Picture(kInk),
            "#.....\n"
            "#.....\n"
            "#.....\n"
            "#.....\n"
            "######\n");
}

TEST(InternalPolyLine, BrushAndPenDrawTheSamePixels) {
  const std::vector<TPoint> points = {{1, 1}, {5, 1}, {5, 4}, {2, 4}};
  TTestCanvas pen(7, 6);
  InternalPolyLine(pen.Canvas(), points, kInk, false);
  TTestCanvas brush(7, 6);
  InternalPolyLine(brush.Canvas(), points, kInk, true);
  const std::string expected =
      ".......\n"
      ".#####.\n"
      ".....#.\n"
      ".....#.\n"
      "..####.\n"
      ".......\n";
  EXPECT_EQ(pen.Picture(kInk), expected);
  EXPECT_EQ(brush.Picture(kInk), expected);
}

TEST(InternalFillRect, LeavesTheExcludedRectangle) {
  const TBrushHandle ink(CreateSolidBrush(0x000000C8));
  TTestCanvas t(6, 5);
  InternalFillRect(t.Canvas(), TRect{0, 0, 6, 5}, TRect{2, 1, 4, 3}, ink.get());
  EXPECT_EQ(t.Picture(kInk),
            "######\n"
            "##..##\n"
            "##..##\n"
            "######\n"
            "######\n");
  TTestCanvas same(4, 4);
  InternalFillRect(same.Canvas(), TRect{0, 0, 4, 4}, TRect{0, 0, 4, 4},
                   ink.get());
  EXPECT_EQ(same.Run(0, kInk).second, 0);
}

TEST(TextFlags, MappedBitsGoBothWays) {
  struct TCase {
    Cardinal TextOut;
    Integer Canvas;
  };
  const TCase cases[] = {
      {0x1, cxtfAlignHCenter},
      {0x2, cxtfAlignRight},
      {0x3, cxtfAlignHCenter | cxtfAlignRight},  // justify, bit by bit
      {0x4, 0},                                  // distribute
      {0x10, cxtfAlignVCenter},
      {0x20, cxtfAlignBottom},
      {0x30, cxtfAlignVCenter | cxtfAlignBottom},
      {cxtoSingleLine, cxtfSingleLine},
      {cxtoWordBreak, cxtfWordBreak},
      {cxtoEndEllipsis, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(c.TextOut), c.Canvas) << c.TextOut;
  EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(cxtfAlignLeft | cxtfAlignTop |
                                          cxtfSingleLine),
            cxtoSingleLine);
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(cxtoSingleLine), cxtfSingleLine);
  const Integer all = cxtfAlignHCenter | cxtfAlignRight | cxtfAlignVCenter |
                      cxtfAlignBottom | cxtfSingleLine | cxtfWordBreak;
  EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(DrawTextFlagsTocxTextOutFlags(all)),
            all);
}

TEST(HotTrackColor, EverySystemFromNt5OnHasIt) {
  struct TCase {
    Cardinal Platform, Major, Minor;
    bool Expected;
  };
  const TCase cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, false},  // 95
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, true},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, true},  // ME
      {VER_PLATFORM_WIN32_NT, 4, 0, false},
      {VER_PLATFORM_WIN32_NT, 5, 0, true},
      {VER_PLATFORM_WIN32_NT, 5, 1, true},
      {VER_PLATFORM_WIN32_NT, 6, 1, true},
      {VER_PLATFORM_WIN32_NT, 10, 0, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cxSystemHasHotTrackColor(c.Platform, c.Major, c.Minor),
              c.Expected)
        << c.Platform << " " << c.Major << "." << c.Minor;
}

TEST(HotTrackColor, IsTheSystemColourOnThisSystem) {
  // Wine reports an NT version above 5: the old test gave pure blue here.
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  ASSERT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
  ASSERT_GT(info.dwMajorVersion, 5u);
  EXPECT_EQ(ColorToRGB(GetHotTrackColor()),
            Integer(GetSysColor(COLOR_HOTLIGHT)));
}

TEST(HighlightColors, FollowTheStyle) {
  EXPECT_EQ(GetEditBorderHighlightColor(false), clHighlight);
  EXPECT_EQ(GetEditBorderHighlightColor(true), dxOffice11SelectedBorderColor);
  const auto ultraFlat = cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
  const auto office11 = cxPainterInstance<TcxOffice11LookAndFeelPainter>();
  EXPECT_EQ(GetEditButtonHighlightColor(true, false),
            ultraFlat->ButtonColor(cxbsPressed));
  EXPECT_EQ(GetEditButtonHighlightColor(false, false),
            ultraFlat->ButtonColor(cxbsHot));
  EXPECT_EQ(GetEditButtonHighlightColor(true, true),
            office11->ButtonColor(cxbsPressed));
  EXPECT_EQ(GetEditButtonHighlightColor(false, true),
            office11->ButtonColor(cxbsHot));
}

TEST(GetPainterClass, ByKindWithoutNativeStyle) {
  EXPECT_EQ(GetPainterClass(false, lfFlat),
            cxPainterInstance<TcxFlatLookAndFeelPainter>());
  EXPECT_EQ(GetPainterClass(false, lfStandard),
            cxPainterInstance<TcxStandardLookAndFeelPainter>());
  EXPECT_EQ(GetPainterClass(false, lfUltraFlat),
            cxPainterInstance<TcxUltraFlatLookAndFeelPainter>());
  EXPECT_EQ(GetPainterClass(false, lfOffice11),
            cxPainterInstance<TcxOffice11LookAndFeelPainter>());
}

TEST(GetEditButtonsContentVerticalOffset, ByStyleWithoutNativeStyle) {
  const Integer expected[] = {0, 4, 2, 2, 2, 2, 2};
  for (Integer s = btsDefault; s <= btsOffice11; ++s)
    EXPECT_EQ(GetEditButtonsContentVerticalOffset(nullptr,
                                                  TcxEditButtonStyle(s), false),
              expected[s])
        << s;
}

TEST(VerifyBitmap, NeedsAPicture) {
  EXPECT_FALSE(VerifyBitmap(nullptr));
  TBitmap empty;
  EXPECT_FALSE(VerifyBitmap(&empty));
  TObjectPtr<TBitmap> b(cxCreateBitmap(3, 2));
  EXPECT_TRUE(VerifyBitmap(b.get()));
}

TEST(DrawGlyph, TransparentColourShowsTheBackground) {
  TObjectPtr<TBitmap> glyph(cxCreateBitmap(4, 4));
  glyph->Canvas()->Brush()->SetColor(clFuchsia);
  glyph->Canvas()->FillRect(TRect{0, 0, 4, 4});
  glyph->Canvas()->Brush()->SetColor(kInk);
  glyph->Canvas()->FillRect(TRect{1, 1, 3, 3});
  glyph->SetTransparentColor(clFuchsia);
  TTestCanvas t(6, 6);
  DrawGlyph(t.Canvas(), 1, 1, glyph.get(), true, clWhite);
  EXPECT_TRUE(t.Is(2, 2, kInk));
  EXPECT_TRUE(t.Is(1, 1, clWhite));
  EXPECT_TRUE(t.Is(0, 0, edit_test::kPaper));
  TTestCanvas clear(6, 6);
  DrawGlyph(clear.Canvas(), 1, 1, glyph.get(), true, clNone);
  EXPECT_TRUE(clear.Is(2, 2, kInk));
  EXPECT_TRUE(clear.Is(1, 1, edit_test::kPaper));
}

}  // namespace
