// The canvas and region: frames, fills, clip stacks, pies, rotation and
// text, checked by reading back pixels of bitmaps drawn on.
#include <gtest/gtest.h>

#include <map>

#include "Handles.h"
#include "cxGraphics.h"
#include "cxGraphicsTestSupport.h"

namespace {

using namespace cxgraphics_test;

// A white 12 x 12 bitmap with a TcxCanvas on it.
class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest()
      : bitmap_(MakeBitmap(12, 12, clWhite)),
        canvas_(new TcxCanvas(bitmap_->Canvas())) {}

  Pixel At(Integer x, Integer y) { return Pixels(bitmap_.get()).At(x, y); }
  // The pixels of the bitmap that are not white, as a picture ("#" / ".").
  std::string Picture(TColor ink) {
    Pixels pixels(bitmap_.get());
    std::string result;
    for (Integer y = 0; y < bitmap_->Height(); ++y) {
      for (Integer x = 0; x < bitmap_->Width(); ++x) {
        result += pixels.At(x, y) == FromColor(ink) ? '#' : '.';
      }
      result += '\n';
    }
    return result;
  }

  TObjectPtr<TBitmap> bitmap_;
  TObjectPtr<TcxCanvas> canvas_;
};

struct FrameCase {
  const char* name;
  TcxBorders borders;
};

class FrameRectTest : public CanvasTest,
                      public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameRectTest, InksOnlyTheBandOfEachNamedSide) {
  const FrameCase& c = GetParam();
  canvas_->FrameRect(Rect(2, 2, 10, 10), clRed, 2, c.borders);
  for (Integer y = 0; y < 12; ++y) {
    for (Integer x = 0; x < 12; ++x) {
      bool inked = false;
      const TPoint p{x, y};
      if (PtInRect(Rect(2, 2, 10, 10), p)) {
        inked = (c.borders.Contains(bLeft) && x < 4) ||
                (c.borders.Contains(bRight) && x >= 8) ||
                (c.borders.Contains(bTop) && y < 4) ||
                (c.borders.Contains(bBottom) && y >= 8);
      }
      EXPECT_EQ(At(x, y), inked ? Rgb(255, 0, 0) : Rgb(255, 255, 255))
          << c.name << " at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sides, FrameRectTest,
    ::testing::Values(FrameCase{"left", {bLeft}}, FrameCase{"top", {bTop}},
                      FrameCase{"right", {bRight}},
                      FrameCase{"bottom", {bBottom}},
                      FrameCase{"left+bottom", {bLeft, bBottom}},
                      FrameCase{"all", cxBordersAll}));

TEST_F(CanvasTest, FrameRectClampsWideBandsButComplexFrameDoesNot) {
  canvas_->FrameRect(Rect(4, 4, 7, 7), clRed, 5, {bRight});
  EXPECT_EQ(Picture(clRed),
            "............\n"
            "............\n"
            "............\n"
            "............\n"
            "....###.....\n"
            "....###.....\n"
            "....###.....\n"
            "............\n"
            "............\n"
            "............\n"
            "............\n"
            "............\n");
  canvas_->FillRect(Rect(0, 0, 12, 12), clWhite);
  canvas_->DrawComplexFrame(Rect(4, 4, 7, 7), clBlue, clRed, {bRight}, 5);
  // The right band runs from Right - 5, left of the rectangle.
  EXPECT_EQ(At(2, 5), Rgb(255, 0, 0));
  EXPECT_EQ(At(1, 5), Rgb(255, 255, 255));
}

TEST_F(CanvasTest, FillRectWithNoneDrawsNothingAndDefaultUsesTheBrush) {
  canvas_->Brush()->SetColor(clLime);
  canvas_->FillRect(Rect(0, 0, 6, 6), clNone);
  EXPECT_EQ(At(2, 2), Rgb(255, 255, 255));
  canvas_->FillRect(Rect(0, 0, 6, 6), clDefault);
  EXPECT_EQ(At(2, 2), Rgb(0, 255, 0));
  canvas_->FillRect(Rect(0, 0, 6, 6), clBlue);
  EXPECT_EQ(At(5, 5), Rgb(0, 0, 255));
  EXPECT_EQ(canvas_->Brush()->Color(), clBlue);
}

TEST_F(CanvasTest, ExcludedFrameStaysUnpaintedUntilTheClipIsRestored) {
  canvas_->SaveClipRegion();
  canvas_->FrameRect(Rect(2, 2, 10, 10), clRed, 1, cxBordersAll, true);
  canvas_->FillRect(Rect(0, 0, 12, 12), clBlue);
  EXPECT_EQ(At(2, 5), Rgb(255, 0, 0));
  EXPECT_EQ(At(9, 9), Rgb(255, 0, 0));
  EXPECT_EQ(At(5, 5), Rgb(0, 0, 255));
  EXPECT_EQ(At(0, 0), Rgb(0, 0, 255));
  canvas_->RestoreClipRegion();
  EXPECT_EQ(canvas_->SavedClipRegionCount(), 0);
  canvas_->FillRect(Rect(0, 0, 12, 12), clLime);
  EXPECT_EQ(At(2, 5), Rgb(0, 255, 0));
}

TEST_F(CanvasTest, NestedClipRegionsRestoreInReverseOrder) {
  canvas_->SaveClipRegion();
  canvas_->IntersectClipRect(Rect(0, 0, 6, 12));
  canvas_->SaveClipRegion();
  canvas_->ExcludeClipRect(Rect(0, 0, 3, 12));
  canvas_->FillRect(Rect(0, 0, 12, 12), clRed);
  canvas_->RestoreClipRegion();
  canvas_->FillRect(Rect(0, 0, 12, 1), clBlue);
  canvas_->RestoreClipRegion();
  canvas_->FillRect(Rect(0, 11, 12, 12), clLime);
  EXPECT_EQ(At(1, 5), Rgb(255, 255, 255));
  EXPECT_EQ(At(4, 5), Rgb(255, 0, 0));
  EXPECT_EQ(At(8, 5), Rgb(255, 255, 255));
  EXPECT_EQ(At(1, 0), Rgb(0, 0, 255));
  EXPECT_EQ(At(8, 0), Rgb(255, 255, 255));
  EXPECT_EQ(At(10, 11), Rgb(0, 255, 0));
}

TEST_F(CanvasTest, ClipRegionOfAFreshDCIsTheLargeRectangleInLogicalUnits) {
  canvas_->SetWindowOrg({5, 7});
  EXPECT_EQ(canvas_->DCOrigin(), (TPoint{-5, -7}));
  TObjectPtr<TcxRegion> region(canvas_->GetClipRegion(true));
  RECT box;
  GetRgnBox(region->Handle(), &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 7);
  EXPECT_EQ(box.right, 30005);
  EXPECT_EQ(box.bottom, 30007);
  TObjectPtr<TcxRegion> device(canvas_->GetClipRegion(false));
  GetRgnBox(device->Handle(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 30000);
}

TEST_F(CanvasTest, ClipRegionsAreKeptInLogicalCoordinates) {
  canvas_->SetWindowOrg({-2, -2});
  canvas_->SetClipRegion(new TcxRegion(Rect(0, 0, 3, 3)), roSet);
  // Before the pixels are read: reading takes the bitmap out of its DC.
  EXPECT_TRUE(canvas_->RectFullyVisible(Rect(0, 0, 3, 3)));
  EXPECT_FALSE(canvas_->RectFullyVisible(Rect(0, 0, 4, 3)));
  canvas_->FillRect(Rect(-2, -2, 10, 10), clRed);
  // Logical (0, 0) is pixel (2, 2).
  EXPECT_EQ(At(2, 2), Rgb(255, 0, 0));
  EXPECT_EQ(At(4, 4), Rgb(255, 0, 0));
  EXPECT_EQ(At(1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(At(5, 5), Rgb(255, 255, 255));
}

TEST_F(CanvasTest, CombiningWithoutTheFreeFlagLeavesTheCallersRegion) {
  TcxRegion region(Rect(1, 1, 4, 4));
  canvas_->SetClipRegion(&region, roIntersect, false);
  RECT box;
  ASSERT_EQ(GetRgnBox(region.Handle(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.right, 4);
  canvas_->FillRect(Rect(0, 0, 12, 12), clRed);
  EXPECT_EQ(At(2, 2), Rgb(255, 0, 0));
  EXPECT_EQ(At(5, 5), Rgb(255, 255, 255));
}

TEST_F(CanvasTest, RestoringEmptyStacksDoesNothing) {
  canvas_->Brush()->SetColor(clRed);
  canvas_->RestoreDC();
  canvas_->RestoreClipRegion();
  canvas_->RestoreState();
  EXPECT_EQ(canvas_->Brush()->Color(), clRed);
  canvas_->FillRect(Rect(0, 0, 12, 12));
  EXPECT_EQ(At(11, 11), Rgb(255, 0, 0));
}

TEST_F(CanvasTest, RestoreStateBringsBackFontBrushPenAndClip) {
  canvas_->Font()->SetColor(clRed);
  canvas_->Brush()->SetColor(clLime);
  canvas_->Pen()->SetWidth(3);
  canvas_->SaveState();
  canvas_->Font()->SetColor(clBlue);
  canvas_->Brush()->SetColor(clBlue);
  canvas_->Pen()->SetWidth(1);
  canvas_->IntersectClipRect(Rect(0, 0, 2, 2));
  canvas_->RestoreState();
  EXPECT_EQ(canvas_->Font()->Color(), clRed);
  EXPECT_EQ(canvas_->Brush()->Color(), clLime);
  EXPECT_EQ(canvas_->Pen()->Width(), 3);
  EXPECT_EQ(canvas_->SavedStateCount(), 0);
  EXPECT_EQ(canvas_->SavedDCCount(), 0);
  canvas_->FillRect(Rect(0, 0, 12, 12), clDefault);
  EXPECT_EQ(At(10, 10), Rgb(0, 255, 0));
}

TEST_F(CanvasTest, TiledFillIsAnchoredAtTheLogicalOriginAlsoBelowZero) {
  TObjectPtr<TBitmap> tile = MakeBitmap(2, 2, clWhite);
  tile->Canvas()->SetPixels(0, 0, clRed);
  tile->Canvas()->SetPixels(1, 1, clBlue);
  canvas_->SetWindowOrg({-5, -5});  // logical (-5,-5) is pixel (0,0)
  canvas_->FillRect(Rect(-5, -5, 6, 6), tile.get());
  for (Integer y = 0; y < 11; ++y) {
    for (Integer x = 0; x < 11; ++x) {
      const Integer lx = ((x - 5) % 2 + 2) % 2;
      const Integer ly = ((y - 5) % 2 + 2) % 2;
      const Pixel expected = lx == 0 && ly == 0   ? Rgb(255, 0, 0)
                             : lx == 1 && ly == 1 ? Rgb(0, 0, 255)
                                                  : Rgb(255, 255, 255);
      ASSERT_EQ(At(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(CanvasTest, TiledFillWithExclusionCutsTheRectangleFromTheClip) {
  canvas_->FillRect(Rect(2, 2, 5, 5), static_cast<TBitmap*>(nullptr), true);
  canvas_->FillRect(Rect(0, 0, 12, 12), clRed);
  EXPECT_EQ(At(3, 3), Rgb(255, 255, 255));
  EXPECT_EQ(At(6, 6), Rgb(255, 0, 0));
  // An empty rectangle leaves the clip alone.
  canvas_->FillRect(Rect(8, 8, 8, 10), static_cast<TBitmap*>(nullptr), true);
  canvas_->FillRect(Rect(0, 0, 12, 12), clBlue);
  EXPECT_EQ(At(8, 9), Rgb(0, 0, 255));
}

TEST_F(CanvasTest, EdgesUseTheSystemColoursPerSide) {
  struct {
    bool sunken, outer;
    TColor leftTop, rightBottom;
  } cases[] = {{true, true, clBtnShadow, clBtnHighlight},
               {true, false, cl3DDkShadow, cl3DLight},
               {false, true, cl3DLight, cl3DDkShadow},
               {false, false, clBtnHighlight, clBtnShadow}};
  for (const auto& c : cases) {
    canvas_->FillRect(Rect(0, 0, 12, 12), clFuchsia);
    canvas_->DrawEdge(Rect(1, 1, 11, 11), c.sunken, c.outer);
    EXPECT_EQ(At(1, 5), FromColor(c.leftTop));
    EXPECT_EQ(At(5, 1), FromColor(c.leftTop));
    EXPECT_EQ(At(10, 5), FromColor(c.rightBottom));
    EXPECT_EQ(At(5, 10), FromColor(c.rightBottom));
    EXPECT_EQ(At(5, 5), Rgb(255, 0, 255));
  }
}

TEST_F(CanvasTest, InvertFrameInvertsOnlyTheBorder) {
  canvas_->InvertFrame(Rect(2, 2, 10, 10), 2);
  EXPECT_EQ(At(2, 2), Rgb(0, 0, 0));
  EXPECT_EQ(At(9, 5), Rgb(0, 0, 0));
  EXPECT_EQ(At(5, 3), Rgb(0, 0, 0));
  EXPECT_EQ(At(5, 5), Rgb(255, 255, 255));
  EXPECT_EQ(At(1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(canvas_->CopyMode(), cmSrcCopy);
}

TEST_F(CanvasTest, RegionsFillAndFrame) {
  TcxRegion region(Rect(2, 2, 8, 8));
  EXPECT_FALSE(region.IsEmpty());
  EXPECT_TRUE(TcxRegion().IsEmpty());
  canvas_->DrawRegion(&region, clLime, clRed);
  EXPECT_EQ(At(2, 4), Rgb(255, 0, 0));
  EXPECT_EQ(At(4, 4), Rgb(0, 255, 0));
  EXPECT_TRUE(region.PtInRegion(2, 2));
  EXPECT_FALSE(region.PtInRegion(8, 8));
  TcxRegion other(Rect(6, 6, 10, 10));
  region.Combine(&other, roSubtract, false);
  EXPECT_FALSE(region.PtInRegion(7, 7));
  EXPECT_TRUE(region.PtInRegion(5, 5));
  EXPECT_FALSE(region.IsEqual(static_cast<TcxRegion*>(nullptr)));
  TcxRegion a(Rect(1, 1, 1, 1));
  TcxRegion b(Rect(5, 5, 5, 9));
  EXPECT_TRUE(a.IsEqual(&b));  // both empty
}

TEST_F(CanvasTest, PieByAngles) {
  canvas_->Brush()->SetColor(clRed);
  canvas_->Pen()->SetColor(clRed);
  canvas_->Pie(Rect(0, 0, 12, 12), 0, 0);
  EXPECT_EQ(Picture(clRed).find('#'), std::string::npos);

  canvas_->Pie(Rect(0, 0, 12, 12), 0, 360);
  // The full ellipse: every quadrant is filled.
  EXPECT_EQ(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(8, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(3, 8), Rgb(255, 0, 0));
  EXPECT_EQ(At(8, 8), Rgb(255, 0, 0));

  canvas_->FillRect(Rect(0, 0, 12, 12), clWhite);
  canvas_->Brush()->SetColor(clRed);
  canvas_->Pie(Rect(0, 0, 12, 12), 0, 90);
  // Counter-clockwise from the x axis: the upper right quadrant only.
  EXPECT_EQ(At(8, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(3, 8), Rgb(255, 255, 255));
  EXPECT_EQ(At(3, 3), Rgb(255, 255, 255));

  canvas_->FillRect(Rect(0, 0, 12, 12), clWhite);
  // A sweep so small that both ends round to one pixel draws nothing.
  canvas_->Pie(Rect(0, 0, 12, 12), 0, 1);
  EXPECT_EQ(Picture(clRed).find('#'), std::string::npos);
}

struct RotationCase {
  TcxRotationAngle angle;
  bool flip;
  std::vector<std::string> rows;  // letters of the 3 x 2 source below
};

class RotateBitmapTest : public ::testing::TestWithParam<RotationCase> {};

// Source, 3 x 2:  A B C
//                 D E F
TEST_P(RotateBitmapTest, MovesEveryPixel) {
  const RotationCase& c = GetParam();
  static const std::map<char, RGBQUAD> colors = {
      {'A', Quad(10, 0, 0, 0)}, {'B', Quad(20, 0, 0, 0)},
      {'C', Quad(30, 0, 0, 0)}, {'D', Quad(40, 0, 0, 0)},
      {'E', Quad(50, 0, 0, 0)}, {'F', Quad(60, 0, 0, 0)}};
  TObjectPtr<TBitmap> bitmap = MakeBitmap(3, 2, clBlack, pf32bit);
  SetPixels(bitmap.get(), {colors.at('A'), colors.at('B'), colors.at('C'),
                           colors.at('D'), colors.at('E'), colors.at('F')});
  TcxCanvas canvas(bitmap->Canvas());
  canvas.RotateBitmap(bitmap.get(), c.angle, c.flip);
  ASSERT_EQ(bitmap->Height(), static_cast<Integer>(c.rows.size()));
  ASSERT_EQ(bitmap->Width(), static_cast<Integer>(c.rows[0].size()));
  Pixels pixels(bitmap.get());
  for (Integer y = 0; y < bitmap->Height(); ++y) {
    for (Integer x = 0; x < bitmap->Width(); ++x) {
      EXPECT_EQ(pixels.At(x, y).R, colors.at(c.rows[y][x]).rgbRed)
          << "at " << x << "," << y << " expected " << c.rows[y][x];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Angles, RotateBitmapTest,
    ::testing::Values(RotationCase{raPlus90, false, {"CF", "BE", "AD"}},
                      RotationCase{raMinus90, false, {"DA", "EB", "FC"}},
                      RotationCase{ra180, false, {"FED", "CBA"}},
                      RotationCase{ra0, true, {"DEF", "ABC"}},
                      RotationCase{raPlus90, true, {"AD", "BE", "CF"}},
                      RotationCase{ra180, true, {"CBA", "FED"}}));

TEST_F(CanvasTest, FlipHorizontallyReversesRows) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(3, 1, clBlack, pf32bit);
  SetPixels(bitmap.get(),
            {Quad(1, 0, 0, 0), Quad(2, 0, 0, 0), Quad(3, 0, 0, 0)});
  canvas_->FlipHorizontally(bitmap.get());
  Pixels pixels(bitmap.get());
  EXPECT_EQ(pixels.At(0, 0).R, 3);
  EXPECT_EQ(pixels.At(2, 0).R, 1);
}

TEST_F(CanvasTest, DisabledTextIsEmbossedAndRestoresFontAndBrush) {
  TObjectPtr<TBitmap> big = MakeBitmap(60, 20, clWhite);
  TcxCanvas canvas(big->Canvas());
  canvas.Font()->SetHeight(-14);
  canvas.Font()->SetColor(clRed);
  canvas.Brush()->SetColor(clWhite);
  canvas.DrawTexT("WWW", Rect(0, 0, 60, 20), cxtfSingleLine | cxtfAlignLeft,
                  false);
  EXPECT_EQ(canvas.Font()->Color(), clRed);
  EXPECT_EQ(canvas.Brush()->Style(), bsSolid);
  Pixels pixels(big.get());
  bool shadow = false;
  bool red = false;
  for (Integer y = 0; y < 20; ++y) {
    for (Integer x = 0; x < 60; ++x) {
      shadow |= pixels.At(x, y) == FromColor(clBtnShadow);
      red |= pixels.At(x, y) == Rgb(255, 0, 0);
    }
  }
  EXPECT_TRUE(shadow);
  EXPECT_FALSE(red);
}

TEST_F(CanvasTest, TextExtentOfZeroWidthBreaksWordsDownwards) {
  const Integer lineHeight = canvas_->TextHeight("Qq");
  TRect r = Rect(0, 0, 0, 0);
  canvas_->TextExtent("alpha beta gamma", r, cxtfWordBreak);
  EXPECT_GE(r.Height(), 3 * lineHeight);
  TRect single = Rect(0, 0, 500, 0);
  canvas_->TextExtent("alpha beta gamma", single, cxtfSingleLine);
  EXPECT_EQ(single.Height(), lineHeight);
  EXPECT_EQ(single.Width(), canvas_->TextWidth("alpha beta gamma"));
}

TEST_F(CanvasTest, TextExtentMovesTheResultInsideTheBox) {
  const TSize size = canvas_->TextExtent("abc");
  TRect r = Rect(10, 20, 110, 60);
  canvas_->TextExtent("abc", r, cxtfSingleLine | cxtfAlignRight);
  EXPECT_EQ(r, Rect(110 - size.cx, 20, 110, 20 + size.cy));
  r = Rect(10, 20, 110, 60);
  canvas_->TextExtent("abc", r,
                      cxtfSingleLine | cxtfAlignHCenter | cxtfAlignVCenter);
  EXPECT_EQ(r.Left, 10 + (100 - size.cx) / 2);
  EXPECT_EQ(r.Top, 20 + (40 - size.cy) / 2);
}

TEST_F(CanvasTest, TextStringsBoundsBreakAtLineBreaksAndSpaces) {
  TRectArray bounds;
  const Integer h = canvas_->TextHeight("Qq");
  canvas_->GetTextStringsBounds("ab\r\ncd\nef", Rect(0, 0, 200, 100), 0, true,
                                bounds);
  ASSERT_EQ(bounds.size(), 3u);
  EXPECT_EQ(bounds[1].Top, h);
  EXPECT_EQ(bounds[1].Width(), canvas_->TextWidth("cd"));

  const Integer width = canvas_->TextWidth("aaa bb");
  canvas_->GetTextStringsBounds("aaa bbb", Rect(0, 0, width, 100),
                                cxtfAlignRight, true, bounds);
  ASSERT_EQ(bounds.size(), 2u);
  // Not left aligned: the line ends before the space.
  EXPECT_EQ(bounds[0].Width(), canvas_->TextWidth("aaa"));
  EXPECT_EQ(bounds[0].Right, width);
  EXPECT_EQ(bounds[1].Width(), canvas_->TextWidth("bbb"));
}

TEST_F(CanvasTest, TextStringsBoundsEndWhenNothingFits) {
  TRectArray bounds;
  canvas_->GetTextStringsBounds("WWW", Rect(0, 0, 1, 100), 0, true, bounds);
  EXPECT_EQ(bounds.size(), 3u);
  canvas_->GetTextStringsBounds(" W", Rect(0, 0, 0, 100), 0, true, bounds);
  EXPECT_EQ(bounds.size(), 2u);
}

TEST_F(CanvasTest, FontAngleSetsTheEscapement) {
  canvas_->Font()->SetName("Arial");
  canvas_->SetFontAngle(90);
  LOGFONTA font{};
  ASSERT_TRUE(cxGetFontData(canvas_->Font()->Handle(), font));
  EXPECT_EQ(font.lfEscapement, 900);
  EXPECT_EQ(font.lfOutPrecision, OUT_TT_ONLY_PRECIS);
}

TEST_F(CanvasTest, SynchronizeObjectsTakesOverTheDCsObjects) {
  {
    const TOwnedDC dc(CreateCompatibleDC(nullptr));
    const TBrushHandle brush(CreateHatchBrush(HS_CROSS, RGB(1, 2, 3)));
    const TPenHandle pen(CreatePen(PS_DOT, 1, RGB(4, 5, 6)));
    TSelectObject selectBrush(dc.get(), brush.get());
    TSelectObject selectPen(dc.get(), pen.get());
    SetTextColor(dc.get(), RGB(7, 8, 9));
    SetROP2(dc.get(), R2_XORPEN);
    canvas_->SynchronizeObjects(dc.get());
  }
  EXPECT_EQ(canvas_->Brush()->Style(), bsCross);
  EXPECT_EQ(canvas_->Brush()->Color(), static_cast<TColor>(RGB(1, 2, 3)));
  EXPECT_EQ(canvas_->Pen()->Style(), psDot);
  EXPECT_EQ(canvas_->Pen()->Mode(), pmXor);
  EXPECT_EQ(canvas_->Font()->Color(), static_cast<TColor>(RGB(7, 8, 9)));
}

TEST_F(CanvasTest, MultiLineTextIsAlignedVertically) {
  const Integer h = canvas_->TextHeight("Qq");
  struct {
    TcxAlignmentVert alignment;
    bool enabled;
    Integer top;
  } cases[] = {{vaTop, true, 10},
               {vaBottom, true, 110 - h},
               {vaBottom, false, 110 - h - 1},
               {vaCenter, true, (10 + 110 - h) / 2}};
  for (const auto& c : cases) {
    TRect r = Rect(0, 10, 200, 110);
    canvas_->AlignMultiLineTextRectVertically(r, "Qq", c.alignment, true, false,
                                              c.enabled);
    EXPECT_EQ(r.Top, c.top) << int(c.alignment) << " " << c.enabled;
    EXPECT_EQ(r.Bottom, 110);
  }
}

TEST_F(CanvasTest, GlyphsAreDrawnWithoutTheirTransparentColour) {
  TObjectPtr<TBitmap> glyph = MakeBitmap(4, 4, clFuchsia);
  glyph->Canvas()->SetPixels(1, 1, clRed);
  canvas_->DrawGlyph(2, 2, glyph.get(), true, clNone);
  EXPECT_EQ(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(2, 2), Rgb(255, 255, 255));
  canvas_->DrawGlyph(6, 6, glyph.get(), true, clLime);
  EXPECT_EQ(At(7, 7), Rgb(255, 0, 0));
  EXPECT_EQ(At(6, 6), Rgb(0, 255, 0));
  EXPECT_EQ(canvas_->Brush()->Style(), bsSolid);
  canvas_->FillRect(Rect(0, 0, 12, 12), clWhite);
  canvas_->DrawGlyph(2, 2, glyph.get(), false, clNone);
  EXPECT_NE(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(0, 0), Rgb(255, 255, 255));
}

TEST(CopyImageTest, TheTwoOverloadsApplyTheOffsetsTheOtherWayRound) {
  TObjectPtr<TBitmap> source = MakeBitmap(4, 4, clWhite);
  source->Canvas()->SetPixels(3, 3, clRed);
  TObjectPtr<TBitmap> dest = MakeBitmap(4, 4, clBlack);
  cxCopyImage(source.get(), dest.get(), {0, 0}, {2, 2}, Rect(1, 1, 2, 2));
  EXPECT_EQ(Pixels(dest.get()).At(1, 1), Rgb(255, 0, 0));
  TObjectPtr<TBitmap> other = MakeBitmap(4, 4, clBlack);
  cxCopyImage(source->Canvas(), other->Canvas(), {2, 2}, {0, 0},
              Rect(1, 1, 2, 2));
  EXPECT_EQ(Pixels(other.get()).At(1, 1), Rgb(255, 0, 0));
  EXPECT_EQ(Pixels(other.get()).At(3, 3), Rgb(0, 0, 0));
}

TEST(ScreenCanvasTest, MeasuresTextWithoutADCOfItsOwn) {
  TcxCanvas* screen = cxScreenCanvas();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen, cxScreenCanvas());
  EXPECT_GT(screen->TextWidth("Hello"), screen->TextWidth("H"));
}

TEST(TextFlagsTest, ConvertToDrawTextFlags) {
  EXPECT_EQ(cxFlagsToDTFlags(0), static_cast<UINT>(DT_NOPREFIX));
  EXPECT_EQ(cxFlagsToDTFlags(cxtfShowPrefix), 0u);
  EXPECT_EQ(cxFlagsToDTFlags(cxtfWordBreak),
            static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL));
  EXPECT_EQ(cxFlagsToDTFlags(cxtfWordBreak | cxtfDontBreakChars),
            static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK));
  EXPECT_EQ(cxFlagsToDTFlags(cxtfAlignRight | cxtfAlignBottom | cxtfSingleLine |
                             cxtfEndEllipsis),
            static_cast<UINT>(DT_NOPREFIX | DT_RIGHT | DT_BOTTOM |
                              DT_SINGLELINE | DT_END_ELLIPSIS));
  EXPECT_EQ(
      cxFlagsToDTFlags(cxtfAlignHCenter | cxtfAlignVCenter | cxtfDontClip |
                       cxtfExpandTabs | cxtfCalcRect | cxtfPathEllipsis),
      static_cast<UINT>(DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_NOCLIP |
                        DT_EXPANDTABS | DT_CALCRECT | DT_PATH_ELLIPSIS));
}

}  // namespace
