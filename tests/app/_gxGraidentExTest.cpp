// The gradient generator: the pixels each style paints, when it paints,
// and that no setting makes it divide by zero.
#include <gtest/gtest.h>

#include <vector>

#include "WinApi.h"
#include "_gxGraidentEx.h"

namespace {

struct Pixel {
  Integer X, Y;
  uint32_t Color;
};

struct StyleCase {
  const char* Name;
  Integer Style, Width, Height, ColorCount;
  uint32_t Start, End;
  std::vector<Pixel> Pixels;
};

uint32_t PixelAt(TgxGraidentEx& AGen, Integer X, Integer Y) {
  return static_cast<uint32_t>(AGen.GetBitmap()->Canvas()->Pixels(X, Y));
}

TEST(GradientTest, EachStylePaintsItsSteps) {
  const StyleCase cases[] = {
      // Five stripes two pixels wide, red rising left to right.
      {"stripes across",
       0,
       10,
       4,
       4,
       0x000000,
       0x0000FF,
       {{0, 0, 0x000000},
        {1, 3, 0x000000},
        {3, 1, 0x000040},
        {5, 2, 0x000080},
        {7, 0, 0x0000BF},
        {9, 3, 0x0000FF}}},
      {"stripes down",
       1,
       4,
       10,
       4,
       0x000000,
       0x00FF00,
       {{0, 0, 0x000000},
        {2, 3, 0x004000},
        {1, 5, 0x008000},
        {3, 7, 0x00BF00},
        {0, 9, 0x00FF00}}},
      // Rows meet in the middle with the end colour.
      {"rows from the edges",
       4,
       3,
       7,
       255,
       0x000000,
       0xFF0000,
       {{0, 0, 0x000000},
        {2, 6, 0x000000},
        {1, 1, 0x550000},
        {1, 5, 0x550000},
        {0, 2, 0xAA0000},
        {0, 4, 0xAA0000},
        {2, 3, 0xFF0000}}},
      {"columns from the edges",
       5,
       7,
       3,
       255,
       0x000000,
       0xFF0000,
       {{0, 0, 0x000000},
        {6, 2, 0x000000},
        {1, 1, 0x550000},
        {5, 1, 0x550000},
        {3, 0, 0xFF0000}}},
      // Rectangles two pixels in per step.
      {"rectangles",
       3,
       21,
       21,
       4,
       0x000000,
       0x0000FF,
       {{2, 2, 0x000000},
        {20, 20, 0x000000},
        {4, 4, 0x000040},
        {18, 18, 0x000040},
        {6, 10, 0x000080},
        {8, 8, 0x0000BF},
        {13, 13, 0x0000BF},
        {11, 11, 0x0000FF},
        {12, 12, 0x0000FF}}},
      // Smaller than twice the count: every rectangle is the whole bitmap
      // and the last, in the end colour, covers the rest.
      {"rectangles of a small bitmap",
       3,
       10,
       10,
       255,
       0xFFFFFF,
       0x123456,
       {{0, 0, 0x123456}, {9, 9, 0x123456}, {5, 5, 0x123456}}},
      // The defaults at the about box's size: 256 stripes from white down
      // to 0xF0F0F0.
      {"about box",
       1,
       378,
       334,
       255,
       0xFFFFFF,
       0xF0F0F0,
       {{0, 0, 0xFFFFFF},
        {377, 2, 0xFFFFFF},
        {10, 100, 0xFAFAFA},
        {10, 166, 0xF8F8F8},
        {10, 167, 0xF7F7F7},
        {10, 200, 0xF6F6F6},
        {0, 332, 0xF0F0F0},
        {377, 333, 0xF0F0F0}}},
  };
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TgxGraidentEx gen;
    gen.SetStyle(c.Style);
    gen.SetWidth(c.Width);
    gen.SetHeight(c.Height);
    gen.SetColorCount(c.ColorCount);
    gen.SetStartColor(static_cast<TColor>(c.Start));
    gen.SetEndColor(static_cast<TColor>(c.End));
    EXPECT_EQ(gen.GetBitmap()->Width(), c.Width);
    EXPECT_EQ(gen.GetBitmap()->Height(), c.Height);
    for (const Pixel& p : c.Pixels)
      EXPECT_EQ(PixelAt(gen, p.X, p.Y), p.Color) << "at " << p.X << "," << p.Y;
  }
}

TEST(GradientTest, DefaultsAreTheAboutBoxGradient) {
  TgxGraidentEx gen;
  EXPECT_EQ(gen.Style(), 1);
  EXPECT_EQ(static_cast<uint32_t>(gen.StartColor()), 0xFFFFFFu);
  EXPECT_EQ(static_cast<uint32_t>(gen.EndColor()), 0xF0F0F0u);
  EXPECT_EQ(gen.ColorCount(), 255);
  EXPECT_EQ(gen.Width(), 75);
  EXPECT_EQ(gen.Height(), 75);
  EXPECT_TRUE(gen.Dirty());
  EXPECT_FALSE(gen.AutoUpdate());
}

TEST(GradientTest, EllipsesPutTheEndColourInTheMiddle) {
  TgxGraidentEx gen;
  gen.SetStyle(2);
  gen.SetWidth(400);
  gen.SetHeight(400);
  gen.SetStartColor(static_cast<TColor>(0x000000));
  gen.SetEndColor(static_cast<TColor>(0x0000FF));
  EXPECT_EQ(PixelAt(gen, 200, 200), 0x0000FFu);
  // The corner lies under the first, large ellipses: a colour near the
  // start.
  const uint32_t corner = PixelAt(gen, 0, 0);
  EXPECT_EQ(corner & 0xFFFF00u, 0u);
  EXPECT_LT(corner, 0x40u);
}

// Red by angle: the conic styles rise from the start colour over half a
// turn (style 6) or a quarter turn (style 7) and fall back.
TEST(GradientTest, ConicSweepsFollowTheAngle) {
  struct Case {
    Integer Style, Angle;
    Integer X, Y;
    Integer Low, High;  // red range
  };
  // A 100x100 bitmap; the points lie 40 pixels from the centre.
  const Case cases[] = {
      {6, 0, 52, 10, 0, 20},     // just after straight up
      {6, 0, 90, 50, 110, 145},  // right: a quarter turn
      {6, 0, 49, 90, 235, 255},  // down: half a turn
      {6, 0, 10, 50, 110, 145},  // left: three quarters
      {6, 90, 90, 52, 0, 20},    // turned: starts at the right
      {7, 0, 52, 10, 0, 30},    {7, 0, 90, 50, 225, 255},
      {7, 0, 50, 90, 0, 30},    {7, 0, 10, 50, 225, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.Style << " angle "
                                    << c.Angle << " at " << c.X << "," << c.Y);
    TgxGraidentEx gen;
    gen.SetStyle(c.Style);
    gen.SetAngle(c.Angle);
    gen.SetWidth(100);
    gen.SetHeight(100);
    gen.SetStartColor(static_cast<TColor>(0x000000));
    gen.SetEndColor(static_cast<TColor>(0x0000FF));
    const uint32_t color = PixelAt(gen, c.X, c.Y);
    EXPECT_EQ(color & 0xFFFF00u, 0u);
    EXPECT_GE(static_cast<Integer>(color & 0xFF), c.Low);
    EXPECT_LE(static_cast<Integer>(color & 0xFF), c.High);
  }
}

TEST(GradientTest, PaintsOncePerChangeAndAtOnceOnlyWithAutoUpdate) {
  TgxGraidentEx gen;
  int paints = 0;
  gen.OnChange = TNotifyEvent::FromFunction([&](TObject* Sender) {
    EXPECT_EQ(Sender, &gen);
    ++paints;
  });
  gen.GetBitmap();
  gen.GetBitmap();
  EXPECT_EQ(paints, 1);
  EXPECT_FALSE(gen.Dirty());
  gen.SetWidth(75);  // unchanged
  EXPECT_FALSE(gen.Dirty());
  gen.SetWidth(120);
  EXPECT_TRUE(gen.Dirty());
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(gen.GetBitmap()->Width(), 120);
  EXPECT_EQ(paints, 2);
  gen.SetAutoUpdate(true);
  gen.SetHeight(40);
  EXPECT_EQ(paints, 3);
  EXPECT_FALSE(gen.Dirty());
  EXPECT_EQ(gen.GetBitmap()->Height(), 40);
  EXPECT_EQ(paints, 3);
}

TEST(GradientTest, AnUnknownStyleSizesTheBitmapWithoutPainting) {
  TgxGraidentEx gen;
  gen.SetStyle(8);
  gen.SetWidth(30);
  gen.SetHeight(20);
  TBitmap* bitmap = gen.GetBitmap();
  EXPECT_EQ(bitmap->Width(), 30);
  EXPECT_EQ(bitmap->Height(), 20);
  EXPECT_FALSE(gen.Dirty());
}

TEST(GradientTest, ColourCountStaysAtOneOrMore) {
  for (Integer count : {0, -5}) {
    SCOPED_TRACE(count);
    TgxGraidentEx gen;
    gen.SetColorCount(count);
    EXPECT_EQ(gen.ColorCount(), 1);
    // Every style divides by the count or by half the size: none fails,
    // also on a bitmap one pixel across.
    for (Integer style = 0; style <= 7; ++style) {
      gen.SetStyle(style);
      gen.SetWidth(1);
      gen.SetHeight(1);
      gen.GetBitmap();
      EXPECT_FALSE(gen.Dirty()) << style;
    }
    // One step: start colour, then end colour.
    gen.SetStyle(1);
    gen.SetWidth(4);
    gen.SetHeight(4);
    gen.SetStartColor(static_cast<TColor>(0x000000));
    gen.SetEndColor(static_cast<TColor>(0x0000FF));
    EXPECT_EQ(PixelAt(gen, 0, 0), 0x000000u);
    EXPECT_EQ(PixelAt(gen, 0, 3), 0x0000FFu);
  }
}

}  // namespace
