// Colour and bitmap routines: named and light colours, pixel access,
// blending with and without msimg32, Lanczos resampling, arrows and the
// image-list reference routine.
#include <gtest/gtest.h>

#include "cxGraphics.h"
#include "cxGraphicsTestSupport.h"

namespace {

using namespace cxgraphics_test;

TEST(NamedColorsTest, TableHoldsTheKeywordsThenTheSystemColours) {
  const auto& table = cxColorsByName();
  ASSERT_EQ(table.size(), 168u);
  EXPECT_STREQ(table.front().Name, "aliceblue");
  EXPECT_STREQ(table[139].Name, "yellowgreen");
  EXPECT_EQ(table[139].Color, TColor(0x32CD9A));
}

TEST(NamedColorsTest, LookUpByNameInAnyCase) {
  struct {
    const char* name;
    TColor color;
  } cases[] = {{"AliceBlue", TColor(0xFFF8F0)},
               {"aliceblue", TColor(0xFFF8F0)},
               {"LIGHTGREY", TColor(0xD3D3D3)},
               {"rebeccapurple", TColor(0x7B)},  // not in the table
               {"lightgray", TColor(0x7B)},      // only "lightgrey" is
               {"crimson", TColor(0x3C14DC)},
               {"ButtonFace", clBtnFace},
               {"threedshadow", clBtnShadow},
               {"infobackground", clInfoBk}};
  for (const auto& c : cases) {
    TColor color = TColor(0x7B);
    cxColorByName(c.name, color);
    EXPECT_EQ(color, c.color) << c.name;
  }
  TColor unchanged = clRed;
  EXPECT_FALSE(cxColorByName("no such colour", unchanged));
  EXPECT_EQ(unchanged, clRed);
}

TEST(NamedColorsTest, ReverseLookUpAnswersTheFirstName) {
  struct {
    TColor color;
    const char* name;
  } cases[] = {
      {TColor(0xFFFF00), "aqua"},    {TColor(0xFF00FF), "fuchsia"},
      {clBtnFace, "buttonface"},     {clBtnHighlight, "buttonhighlight"},
      {clBtnShadow, "buttonshadow"}, {clWindowText, "windowtext"}};
  for (const auto& c : cases) {
    String name;
    EXPECT_TRUE(cxNameByColor(c.color, name));
    EXPECT_EQ(name, c.name);
  }
  String name = "kept";
  EXPECT_FALSE(cxNameByColor(TColor(0x123456), name));
  EXPECT_EQ(name, "kept");
}

// Sets the button-face, highlight and window colours for one test.
class SystemColors {
 public:
  SystemColors(COLORREF face, COLORREF highlight, COLORREF window) {
    for (int i = 0; i < 3; ++i) saved_[i] = GetSysColor(kIndexes[i]);
    const COLORREF values[3] = {face, highlight, window};
    SetSysColors(3, kIndexes, values);
  }
  ~SystemColors() { SetSysColors(3, kIndexes, saved_); }

 private:
  static constexpr INT kIndexes[3] = {COLOR_BTNFACE, COLOR_HIGHLIGHT,
                                      COLOR_WINDOW};
  COLORREF saved_[3];
};

TEST(LightColorsTest, MixTheSystemColoursByPercentages) {
  SystemColors colors(RGB(100, 150, 200), RGB(10, 20, 30), RGB(255, 255, 255));
  // red: MulDiv(100,-2,100) + MulDiv(10,30,100) + MulDiv(255,72,100)
  //      = -2 + 3 + 184; green -3 + 6 + 184; blue -4 + 9 + 184
  EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(185, 187, 189)))
      << std::hex << GetSysColor(COLOR_BTNFACE) << " "
      << GetSysColor(COLOR_HIGHLIGHT) << " " << GetSysColor(COLOR_WINDOW);
  // Clamped to 0..255.
  EXPECT_EQ(GetLightColor(200, 0, 0), static_cast<TColor>(RGB(200, 255, 255)));
  EXPECT_EQ(GetLightColor(-200, 0, 0), static_cast<TColor>(RGB(0, 0, 0)));
}

TEST(LightColorsTest, BlackOrWhiteFaceGivesTheHighlight) {
  for (COLORREF face : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    SystemColors colors(face, RGB(10, 20, 30), RGB(255, 255, 255));
    EXPECT_EQ(GetLightColor(-2, 30, 72), static_cast<TColor>(RGB(10, 20, 30)));
  }
}

TEST(LightColorsTest, LightButtonFace) {
  SystemColors colors(RGB(100, 150, 200), RGB(10, 20, 30), RGB(255, 255, 255));
  // c + MulDiv(255 - c, 16, 100): 100 + 25 (24.8), 150 + 17 (16.8),
  // 200 + 9 (8.8)
  EXPECT_EQ(GetLightBtnFaceColor(), static_cast<TColor>(RGB(125, 167, 209)));
}

TEST(ColorToRGBQuadTest, SwapsRedAndBlueAndSetsTheReservedByte) {
  const RGBQUAD q = cxColorToRGBQuad(TColor(0x112233), 0x44);
  EXPECT_EQ(q.rgbRed, 0x33);
  EXPECT_EQ(q.rgbGreen, 0x22);
  EXPECT_EQ(q.rgbBlue, 0x11);
  EXPECT_EQ(q.rgbReserved, 0x44);
}

TEST(BitmapBitsTest, ReadTopDownOrBottomUp) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(2, 2, clWhite, pf32bit);
  bitmap->Canvas()->SetPixels(0, 0, clRed);
  const TRGBColors topDown = GetBitmapBits(bitmap.get(), true);
  const TRGBColors bottomUp = GetBitmapBits(bitmap.get(), false);
  ASSERT_EQ(topDown.size(), 4u);
  EXPECT_EQ(topDown[0].rgbRed, 255);
  EXPECT_EQ(topDown[0].rgbGreen, 0);
  EXPECT_EQ(bottomUp[2].rgbGreen, 0);
  EXPECT_EQ(bottomUp[0].rgbGreen, 255);
  TRGBColors colors = {Quad(1, 2, 3, 4), Quad(5, 6, 7, 8), Quad(9, 10, 11, 12),
                       Quad(13, 14, 15, 16)};
  SetBitmapBits(bitmap.get(), colors, false);
  EXPECT_TRUE(colors.empty());
  Pixels pixels(bitmap.get());
  EXPECT_EQ(pixels.At(0, 1), Rgb(1, 2, 3));  // bottom row first
  EXPECT_EQ(pixels.At(1, 0), Rgb(13, 14, 15));
  EXPECT_EQ(pixels.Alpha(1, 0), 16);
}

TEST(BlendFunctionTest, PremultipliedSourceOverWithConstantAlpha) {
  RGBQUAD dest = Quad(0, 0, 0, 0);
  cxBlendFunction(Quad(200, 100, 50, 255), dest, 128);
  // c = 128/255: 200c = 100.39, 100c = 50.2, 50c = 25.1, alpha 128
  EXPECT_EQ(dest.rgbRed, 100);
  EXPECT_EQ(dest.rgbGreen, 50);
  EXPECT_EQ(dest.rgbBlue, 25);
  EXPECT_EQ(dest.rgbReserved, 128);

  RGBQUAD onWhite = Quad(255, 255, 255, 255);
  cxBlendFunction(Quad(100, 0, 0, 100), onWhite, 255);
  // s = 100: red 100 + 255 * 155/255 = 255; green 155
  EXPECT_EQ(onWhite.rgbRed, 255);
  EXPECT_EQ(onWhite.rgbGreen, 155);
  EXPECT_EQ(onWhite.rgbReserved, 255);
}

// Blending runs through msimg32 when it is bound and through own code when
// it is not; both must give the same picture.
class BlendPathTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!GetParam()) cxSetMsimg32Binding(TcxMsimg32Binding{});
  }
  void TearDown() override { cxRestoreMsimg32Binding(); }
};

TEST_P(BlendPathTest, ConstantAlphaOverAnOpaqueBackground) {
  EXPECT_EQ(cxIsAlphaBlendAvailable(), GetParam());
  TObjectPtr<TBitmap> dest = MakeBitmap(6, 6, clWhite, pf32bit);
  TObjectPtr<TBitmap> source = MakeBitmap(4, 4, clBlack, pf32bit);
  // Opaque red, premultiplied.
  SetPixels(source.get(), std::vector<RGBQUAD>(16, Quad(255, 0, 0, 255)));
  cxAlphaBlend(dest.get(), source.get(), Rect(1, 1, 5, 5), Rect(0, 0, 4, 4),
               false, 128);
  Pixels pixels(dest.get());
  const Pixel blended = pixels.At(2, 2);
  EXPECT_EQ(blended.R, 255);
  EXPECT_NEAR(blended.G, 127, 1);
  EXPECT_NEAR(blended.B, 127, 1);
  EXPECT_EQ(pixels.At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.At(5, 5), Rgb(255, 255, 255));
}

TEST_P(BlendPathTest, PerPixelAlphaKeepsTransparentPixels) {
  TObjectPtr<TBitmap> dest = MakeBitmap(2, 1, clBlue, pf32bit);
  TObjectPtr<TBitmap> source = MakeBitmap(2, 1, clBlack, pf32bit);
  SetPixels(source.get(), {Quad(0, 0, 0, 0), Quad(0, 255, 0, 255)});
  cxAlphaBlend(dest.get(), source.get(), Rect(0, 0, 2, 1), Rect(0, 0, 2, 1));
  Pixels pixels(dest.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(0, 0, 255));
  EXPECT_EQ(pixels.At(1, 0), Rgb(0, 255, 0));
}

TEST_P(BlendPathTest, BackgroundThenSourceWithConstantAlpha) {
  TObjectPtr<TBitmap> dest = MakeBitmap(3, 3, clBlack, pf24bit);
  TObjectPtr<TBitmap> background = MakeBitmap(3, 3, clWhite, pf24bit);
  TObjectPtr<TBitmap> source = MakeBitmap(3, 3, clBlack, pf24bit);
  cxAlphaBlend(dest.get(), background.get(), source.get(), 64);
  // 64 * 0 + (1 - 64/255) * 255 = 191
  EXPECT_NEAR(Pixels(dest.get()).At(1, 1).R, 191, 1);
}

TEST_P(BlendPathTest, TransparentDrawMixesWithTheCanvas) {
  TObjectPtr<TBitmap> target = MakeBitmap(4, 4, clWhite, pf24bit);
  TObjectPtr<TBitmap> glyph = MakeBitmap(2, 2, clBlack, pf24bit);
  TcxCanvas canvas(target->Canvas());
  canvas.TransparentDraw(1, 1, glyph.get(), 128);
  Pixels pixels(target.get());
  EXPECT_NEAR(pixels.At(1, 1).R, 127, 1);
  EXPECT_EQ(pixels.At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.At(3, 3), Rgb(255, 255, 255));
}

TEST_P(BlendPathTest, TintsAnAreaOfATrueColourBitmap) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(4, 2, clBlack, pf32bit);
  cxAlphaBlend(bitmap.get(), Rect(1, 0, 3, 1), clRed, 255);
  Pixels pixels(bitmap.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.At(1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(pixels.At(2, 0), Rgb(255, 0, 0));
  EXPECT_EQ(pixels.At(3, 0), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.At(1, 1), Rgb(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMsimg32, BlendPathTest,
                         ::testing::Values(true, false), [](const auto& info) {
                           return info.param ? "Msimg32" : "OwnCode";
                         });

TEST(SmoothResizeTest, Lanczos3OfAKnownPattern) {
  TObjectPtr<TBitmap> source = MakeBitmap(2, 1, clBlack, pf32bit);
  SetPixels(source.get(), {Quad(0, 0, 0, 0), Quad(255, 255, 255, 0)});
  TObjectPtr<TBitmap> dest = MakeBitmap(3, 1, clBlue, pf32bit);
  cxSmoothResizeBitmap(source.get(), dest.get(), true);
  // Middle: taps 156 at both neighbours, -35 twice and +6 mirrored onto the
  // white pixel: 255 * 92 div 256 = 91.
  Pixels pixels(dest.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.At(1, 0), Rgb(91, 91, 91));
  EXPECT_EQ(pixels.At(2, 0), Rgb(255, 255, 255));
}

TEST(SmoothResizeTest, Lanczos3ToTheSameSizeCopies) {
  TObjectPtr<TBitmap> source = MakeBitmap(5, 4, clBlack, pf32bit);
  std::vector<RGBQUAD> pattern;
  for (int i = 0; i < 20; ++i) {
    pattern.push_back(Quad(i * 13 % 256, i * 71 % 256, i * 29 % 256, 255));
  }
  SetPixels(source.get(), pattern);
  TObjectPtr<TBitmap> dest = MakeBitmap(5, 4, clBlack, pf32bit);
  cxSmoothResizeBitmap(source.get(), dest.get(), true);
  Pixels expected(source.get());
  Pixels actual(dest.get());
  for (Integer y = 0; y < 4; ++y) {
    for (Integer x = 0; x < 5; ++x) {
      EXPECT_EQ(actual.At(x, y), expected.At(x, y)) << x << "," << y;
      EXPECT_EQ(actual.Alpha(x, y), 255);
    }
  }
}

TEST(SmoothResizeTest, OnePixelHighDestinationCentresOnTheBottomRow) {
  // With the scale 1 / height the single row is filtered around the bottom
  // source row.
  auto resize = [](bool whiteAtBottom) {
    TObjectPtr<TBitmap> source = MakeBitmap(1, 4, clBlack, pf32bit);
    std::vector<RGBQUAD> column(4, Quad(0, 0, 0, 0));
    column[whiteAtBottom ? 3 : 0] = Quad(255, 255, 255, 0);
    SetPixels(source.get(), column);
    TObjectPtr<TBitmap> dest = MakeBitmap(1, 1, clBlue, pf32bit);
    cxSmoothResizeBitmap(source.get(), dest.get(), true);
    return Pixels(dest.get()).At(0, 0).R;
  };
  const int bottom = resize(true);
  const int top = resize(false);
  EXPECT_GT(bottom, top);
  EXPECT_GT(bottom, 0);
}

TEST(SmoothResizeTest, EmptyBitmapsAreLeftAlone) {
  TObjectPtr<TBitmap> source = MakeBitmap(0, 0, clBlack, pf32bit);
  TObjectPtr<TBitmap> dest = MakeBitmap(2, 2, clRed, pf32bit);
  cxSmoothResizeBitmap(source.get(), dest.get(), true);
  EXPECT_EQ(Pixels(dest.get()).At(1, 1), Rgb(255, 0, 0));
}

TEST(SmoothResizeTest, SmoothBlendOfDifferentSizesResamples) {
  WithoutMsimg32 ownCode;
  TObjectPtr<TBitmap> dest = MakeBitmap(4, 4, clBlack, pf32bit);
  TObjectPtr<TBitmap> source = MakeBitmap(2, 2, clBlack, pf32bit);
  SetPixels(source.get(), std::vector<RGBQUAD>(4, Quad(0, 200, 0, 255)));
  cxAlphaBlend(dest.get(), source.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2),
               true, 255);
  Pixels pixels(dest.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(0, 200, 0));
  EXPECT_EQ(pixels.At(3, 3), Rgb(0, 200, 0));
}

TEST(ArrowsTest, DefaultPenColourIsTheInvertedBrushColour) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(40, 40, clRed);
  cxDrawArrows(bitmap->Canvas(), Rect(20, 15, 30, 30), bLeft, clWhite,
               clDefault);
  Pixels pixels(bitmap.get());
  // The first arrow points down at (20, 14); its inside is the brush.
  EXPECT_EQ(pixels.At(20, 14), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.At(20, 11), Rgb(255, 255, 255));
  // The second points up at (20, 30).
  EXPECT_EQ(pixels.At(20, 30), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.At(20, 33), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.At(5, 5), Rgb(255, 0, 0));
}

TEST(HalfToneTest, FillsACheckerboardOfTheTwoColours) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(8, 8, clWhite);
  cxFillHalfToneRect(bitmap->Canvas(), Rect(0, 0, 8, 8), clRed, clBlue);
  Pixels pixels(bitmap.get());
  const Pixel a = pixels.At(0, 0);
  const Pixel b = pixels.At(1, 0);
  EXPECT_NE(a, b);
  EXPECT_TRUE((a == Rgb(255, 0, 0) && b == Rgb(0, 0, 255)) ||
              (a == Rgb(0, 0, 255) && b == Rgb(255, 0, 0)));
  EXPECT_EQ(pixels.At(1, 1), a);
  EXPECT_EQ(pixels.At(0, 1), b);
}

TEST(CanvasOrgTest, SetsTheOriginAndReturnsThePreviousOne) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(4, 4, clWhite);
  TRect r = Rect(3, 4, 10, 10);
  cxSetCanvasOrg(bitmap->Canvas(), r);
  EXPECT_EQ(r.TopLeft(), (TPoint{0, 0}));
  POINT org;
  GetWindowOrgEx(bitmap->Canvas()->Handle(), &org);
  EXPECT_EQ(org.x, 3);
  EXPECT_EQ(org.y, 4);
}

TEST(ExtendRectTest, MovesEachSideInward) {
  TRect r = Rect(10, 10, 50, 50);
  ExtendRect(r, Rect(1, 2, 3, 4));
  EXPECT_EQ(r, Rect(11, 12, 47, 46));
}

TEST(SetImageListTest, MovesTheLinkAndSignalsOnlyOnAChange) {
  TObjectPtr<TImageList> first(new TImageList(nullptr));
  TObjectPtr<TImageList> second(new TImageList(nullptr));
  TObjectPtr<TComponent> owner(new TComponent(nullptr));
  TChangeLink link;
  int changes = 0;
  link.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  TCustomImageList* field = nullptr;
  cxSetImageList(first.get(), field, &link, owner.get());
  EXPECT_EQ(field, first.get());
  EXPECT_EQ(changes, 1);
  cxSetImageList(first.get(), field, &link, owner.get());
  EXPECT_EQ(changes, 1);
  cxSetImageList(second.get(), field, &link, owner.get());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(link.Sender(), second.get());
  // The old list no longer reaches the link.
  first->SetBkColor(clRed);
  EXPECT_EQ(changes, 2);
  second->SetBkColor(clRed);
  EXPECT_EQ(changes, 3);
  cxSetImageList(nullptr, field, &link, owner.get());
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(changes, 4);
}

TEST(ImageAssignedTest, ChecksTheIndexRange) {
  TObjectPtr<TImageList> images(new TImageList(nullptr));
  TObjectPtr<TBitmap> glyph = MakeBitmap(16, 16, clRed);
  images->Add(glyph.get(), nullptr);
  EXPECT_TRUE(IsImageAssigned(images.get(), 0));
  EXPECT_FALSE(IsImageAssigned(images.get(), 1));
  EXPECT_FALSE(IsImageAssigned(images.get(), -1));
  EXPECT_FALSE(IsImageAssigned(nullptr, 0));
  EXPECT_TRUE(IsGlyphAssigned(glyph.get()));
  TObjectPtr<TBitmap> empty(new TBitmap);
  EXPECT_FALSE(IsGlyphAssigned(empty.get()));
}

TEST(CursorSizeTest, IsPositive) {
  const TSize size = cxGetCursorSize();
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
}

}  // namespace
