// The 32-bit bitmap and its effects, the image-drawing pipeline, the image
// list and the brush cache.
#include <gtest/gtest.h>

#include "Handles.h"
#include "cxGraphics.h"
#include "cxGraphicsTestSupport.h"

namespace {

using namespace cxgraphics_test;

TEST(cxBitmapTest, IsAlways32BitBlackAndTransparent) {
  TcxBitmap bitmap(3, 2, pf24bit);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  Pixels pixels(&bitmap);
  EXPECT_EQ(pixels.At(2, 1), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.Alpha(2, 1), 0);
  EXPECT_FALSE(bitmap.IsAlphaUsed());
}

TEST(cxBitmapTest, OpaqueTransparentColourFillsOnClearAndResize) {
  TcxBitmap bitmap(2, 2, Quad(10, 20, 30, 255));
  EXPECT_EQ(Pixels(&bitmap).At(1, 1), Rgb(10, 20, 30));
  EXPECT_EQ(Pixels(&bitmap).Alpha(1, 1), 255);
  bitmap.SetSize(4, 3);
  Pixels pixels(&bitmap);
  EXPECT_EQ(pixels.At(3, 2), Rgb(10, 20, 30));
  EXPECT_EQ(pixels.Alpha(0, 0), 255);
}

TEST(cxBitmapTest, ChangesInsideAnUpdateNotifyOnce) {
  TcxBitmap bitmap(2, 2);
  int changes = 0;
  bitmap.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  bitmap.BeginUpdate();
  bitmap.TransformBitmap(btmSetOpaque);
  bitmap.TransformBitmap(btmGrayScale);
  EXPECT_EQ(changes, 0);
  bitmap.EndUpdate(false);
  EXPECT_EQ(changes, 1);
  bitmap.TransformBitmap(btmSetOpaque);
  EXPECT_EQ(changes, 2);
}

struct EffectCase {
  TcxBitmapTransformationMode mode;
  Pixel expected;
  int alpha;
};

class EffectTest : public ::testing::TestWithParam<EffectCase> {};

// One opaque pixel (200, 100, 50) and one transparent (black, alpha 0).
TEST_P(EffectTest, ChangesOpaquePixelsAndLeavesTransparentOnes) {
  const EffectCase& c = GetParam();
  TcxBitmap bitmap(2, 1);
  SetPixels(&bitmap, {Quad(200, 100, 50, 255), Quad(0, 0, 0, 0)});
  bitmap.TransformBitmap(c.mode);
  Pixels pixels(&bitmap);
  EXPECT_EQ(pixels.At(0, 0), c.expected);
  EXPECT_EQ(pixels.Alpha(0, 0), c.alpha);
  if (c.mode != btmSetOpaque && c.mode != btmMakeMask) {
    EXPECT_EQ(pixels.At(1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(pixels.Alpha(1, 0), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, EffectTest,
                         ::testing::Values(
                             // (200 + 100 + 50) div 3
                             EffectCase{btmGrayScale, Rgb(116, 116, 116), 255},
                             // c + MulDiv(255 - c, 3, 10)
                             EffectCase{btmDingy, Rgb(217, 147, 112), 255},
                             // 200 * .299 + 100 * .587 + 50 * .114 = 124.2
                             EffectCase{btmFade, Rgb(124, 124, 124), 255},
                             // 200 * .0729 + 100 * .7146 + 50 * .2125 = 96.665
                             EffectCase{btmDisable, Rgb(97, 97, 97), 255},
                             EffectCase{btmMakeMask, Rgb(0, 0, 0), 0},
                             EffectCase{btmSetOpaque, Rgb(200, 100, 50), 255}));

TEST(cxBitmapTest, MaskMakesTransparentPixelsWhite) {
  TcxBitmap bitmap(3, 1);
  bitmap.TransparentPixels()->Add(clLime);
  SetPixels(&bitmap,
            {Quad(0, 0, 0, 0), Quad(0, 255, 0, 255), Quad(1, 2, 3, 255)});
  bitmap.TransformBitmap(btmMakeMask);
  Pixels pixels(&bitmap);
  EXPECT_EQ(pixels.At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.Alpha(0, 0), 255);
  EXPECT_EQ(pixels.At(1, 0), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.At(2, 0), Rgb(0, 0, 0));
}

TEST(cxBitmapTest, HatchOfStepTwoMakesTwoByTwoCells) {
  TcxBitmap bitmap(4, 4);
  bitmap.DrawHatch(clRed, clBlue, 2);
  Pixels pixels(&bitmap);
  for (Integer y = 0; y < 4; ++y) {
    for (Integer x = 0; x < 4; ++x) {
      // Rows count from the bottom: the bottom-left cell has colour 1.
      const bool second = ((x / 2) + ((3 - y) / 2)) % 2 != 0;
      EXPECT_EQ(pixels.At(x, y), second ? Rgb(0, 0, 255) : Rgb(255, 0, 0))
          << x << "," << y;
    }
  }
}

TEST(cxBitmapTest, HatchBlendsWithItsAlphas) {
  TObjectPtr<TBitmap> target = MakeBitmap(2, 1, clWhite);
  cxDrawHatch(target->Canvas()->Handle(), Rect(0, 0, 2, 1), clBlack, clBlack, 1,
              128, 0);
  Pixels pixels(target.get());
  // Colour 1 at half strength, colour 2 not at all.
  EXPECT_NEAR(pixels.At(0, 0).R, 127, 1);
  EXPECT_EQ(pixels.At(1, 0), Rgb(255, 255, 255));
}

TEST(cxBitmapTest, RecoverAlphaChannelFromTheTransparentColour) {
  TcxBitmap bitmap(2, 1);
  SetPixels(&bitmap, {Quad(255, 0, 255, 0), Quad(10, 10, 10, 0)});
  bitmap.RecoverAlphaChannel(clFuchsia);
  Pixels pixels(&bitmap);
  EXPECT_EQ(pixels.Alpha(0, 0), 0);
  EXPECT_EQ(pixels.Alpha(1, 0), 255);
}

TEST(cxBitmapTest, RotateTurnsTheBitmap) {
  TcxBitmap bitmap(3, 2);
  SetPixels(&bitmap,
            {Quad(1, 0, 0, 255), Quad(2, 0, 0, 255), Quad(3, 0, 0, 255),
             Quad(4, 0, 0, 255), Quad(5, 0, 0, 255), Quad(6, 0, 0, 255)});
  bitmap.Rotate(raPlus90);
  ASSERT_EQ(bitmap.Width(), 2);
  ASSERT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(Pixels(&bitmap).At(0, 0).R, 3);  // the former top-right
  EXPECT_EQ(Pixels(&bitmap).Alpha(0, 0), 255);
}

TEST(MakeTrueColorBitmapTest, TransparentColourBecomesFullyTransparent) {
  TObjectPtr<TBitmap> source = MakeBitmap(2, 1, clFuchsia);
  source->Canvas()->SetPixels(1, 0, clRed);
  source->SetTransparentColor(clFuchsia);
  source->SetTransparentMode(tmFixed);
  TObjectPtr<TBitmap> result(new TBitmap);
  cxMakeTrueColorBitmap(source.get(), result.get());
  ASSERT_EQ(result->Width(), 2);
  Pixels pixels(result.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(pixels.Alpha(0, 0), 0);
  EXPECT_EQ(pixels.At(1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(pixels.Alpha(1, 0), 255);
}

TEST(MakeMaskBitmapTest, TransparentWhiteOthersBlack) {
  TObjectPtr<TBitmap> source = MakeBitmap(2, 1, clFuchsia);
  source->Canvas()->SetPixels(1, 0, clRed);
  source->SetTransparentColor(clFuchsia);
  source->SetTransparentMode(tmFixed);
  TObjectPtr<TBitmap> mask = MakeBitmap(2, 1, clGray);
  cxMakeMaskBitmap(source.get(), mask.get());
  Pixels pixels(mask.get());
  EXPECT_EQ(pixels.At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(pixels.At(1, 0), Rgb(0, 0, 0));
}

// ---------------------------------------------------------------------------
// cxDrawImage
// ---------------------------------------------------------------------------

class DrawImageTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!GetParam()) cxSetMsimg32Binding(TcxMsimg32Binding{});
    target_ = MakeBitmap(10, 10, clWhite);
  }
  void TearDown() override {
    CustomDrawImageProc = nullptr;
    cxRestoreMsimg32Binding();
  }
  HDC DC() { return target_->Canvas()->Handle(); }
  Pixel At(Integer x, Integer y) { return Pixels(target_.get()).At(x, y); }

  // A 4 x 4 24-bit glyph: fuchsia (its transparent colour) with a red 2 x 2
  // block at (1, 1).
  static TObjectPtr<TBitmap> Glyph() {
    TObjectPtr<TBitmap> glyph = MakeBitmap(4, 4, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(1, 1, 3, 3));
    return glyph;
  }

  TObjectPtr<TBitmap> target_;
};

TEST_P(DrawImageTest, GlyphTransparentColourKeepsTheBackground) {
  TObjectPtr<TBitmap> glyph = Glyph();
  cxDrawImage(DC(), Rect(2, 2, 6, 6), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmNormal);
  EXPECT_EQ(At(2, 2), Rgb(255, 255, 255));
  EXPECT_EQ(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(4, 4), Rgb(255, 0, 0));
  EXPECT_EQ(At(5, 5), Rgb(255, 255, 255));
  // Without the glyph's own colour and without a transparent colour the
  // whole glyph is drawn.
  cxDrawImage(DC(), Rect(2, 2, 6, 6), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmNormal, false, nullptr, clNone, false);
  EXPECT_EQ(At(2, 2), Rgb(255, 0, 255));
}

TEST_P(DrawImageTest, ShadowedDrawsTheImageUpLeftAndTheShadowDownRight) {
  TObjectPtr<TBitmap> glyph = Glyph();
  cxDrawImage(DC(), Rect(2, 2, 6, 6), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmShadowed);
  // The red block (1,1)-(3,3) of the glyph lands at (2,2)-(4,4).
  EXPECT_EQ(At(2, 2), Rgb(255, 0, 0));
  EXPECT_EQ(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(1, 1), Rgb(255, 255, 255));
  // Its shadow is 2 pixels further down and right, where the image is not.
  EXPECT_EQ(At(5, 5), FromColor(clBtnShadow));
  EXPECT_EQ(At(4, 5), FromColor(clBtnShadow));
  EXPECT_EQ(At(6, 6), Rgb(255, 255, 255));
}

TEST_P(DrawImageTest, AlphaGlyphBlendsPerPixel) {
  TObjectPtr<TBitmap> glyph = MakeBitmap(2, 1, clBlack, pf32bit);
  // Premultiplied: opaque blue and half-transparent black.
  SetPixels(glyph.get(), {Quad(0, 0, 255, 255), Quad(0, 0, 0, 128)});
  cxDrawImage(DC(), Rect(0, 0, 2, 1), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmNormal);
  EXPECT_EQ(At(0, 0), Rgb(0, 0, 255));
  EXPECT_NEAR(At(1, 0).R, 127, 1);
  EXPECT_EQ(At(2, 0), Rgb(255, 255, 255));
}

TEST_P(DrawImageTest, GrayScaleAndFadedModesGreyTheImage) {
  TObjectPtr<TBitmap> glyph = Glyph();
  cxDrawImage(DC(), Rect(0, 0, 4, 4), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmGrayScale);
  EXPECT_EQ(At(1, 1), Rgb(85, 85, 85));
  EXPECT_EQ(At(0, 0), Rgb(255, 255, 255));
  cxDrawImage(DC(), Rect(5, 5, 9, 9), Rect(0, 0, 10, 10), glyph.get(), nullptr,
              -1, idmFaded);
  // grey 76 (255 * .299) at alpha 64 over white
  const Pixel faded = At(6, 6);
  EXPECT_EQ(faded.R, faded.G);
  EXPECT_NEAR(faded.R, 210, 2);
}

TEST_P(DrawImageTest, BrushFillsTheBackground) {
  TObjectPtr<TBitmap> glyph = Glyph();
  const TBrushHandle brush(CreateSolidBrush(RGB(0, 255, 0)));
  cxDrawImage(DC(), Rect(2, 2, 6, 6), Rect(1, 1, 8, 8), glyph.get(), nullptr,
              -1, idmNormal, false, brush.get());
  EXPECT_EQ(At(1, 1), Rgb(0, 255, 0));
  EXPECT_EQ(At(3, 3), Rgb(255, 0, 0));
  EXPECT_EQ(At(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(At(8, 8), Rgb(255, 255, 255));
}

TEST_P(DrawImageTest, CustomProcCanTakeOver) {
  TObjectPtr<TBitmap> glyph = Glyph();
  TRect seen;
  CustomDrawImageProc = [&](TcxCanvas* canvas, TCustomImageList*, Integer,
                            TcxImageDrawMode, const TRect& glyphRect,
                            TBitmap*) {
    seen = glyphRect;
    canvas->FillRect(glyphRect, clBlue);
    return true;
  };
  cxDrawImage(DC(), Rect(3, 3, 7, 7), Rect(1, 1, 9, 9), glyph.get(), nullptr,
              -1, idmNormal);
  EXPECT_EQ(seen, Rect(2, 2, 6, 6));  // relative to the background
  EXPECT_EQ(At(3, 3), Rgb(0, 0, 255));
  EXPECT_EQ(At(4, 4), Rgb(0, 0, 255));
}

TEST_P(DrawImageTest, NothingWithoutGlyphOrImage) {
  TObjectPtr<TBitmap> empty(new TBitmap);
  cxDrawImage(DC(), Rect(0, 0, 4, 4), Rect(0, 0, 10, 10), empty.get(), nullptr,
              0, idmNormal, false, GetSysColorBrush(COLOR_HIGHLIGHT));
  EXPECT_EQ(At(1, 1), Rgb(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMsimg32, DrawImageTest,
                         ::testing::Values(true, false), [](const auto& info) {
                           return info.param ? "Msimg32" : "OwnCode";
                         });

// ---------------------------------------------------------------------------
// TcxImageList
// ---------------------------------------------------------------------------

class ImageListTest : public ::testing::Test {
 protected:
  ImageListTest() : images_(new TcxImageList(nullptr)) {
    images_->SetSize(4, 4);
  }
  static TObjectPtr<TBitmap> Solid(TColor color) {
    return MakeBitmap(4, 4, color, pf32bit);
  }
  // The red channel of image Index.
  Pixel ColorOf(Integer index) {
    TObjectPtr<TcxBitmap> image(new TcxBitmap(4, 4));
    images_->GetImage(index, image.get());
    return Pixels(image.get()).At(1, 1);
  }
  void AddColors(std::initializer_list<TColor> colors) {
    for (TColor c : colors) {
      TObjectPtr<TBitmap> b = Solid(c);
      images_->Add(b.get(), nullptr);
    }
  }

  TObjectPtr<TcxImageList> images_;
};

TEST_F(ImageListTest, MoveShiftsTheImagesBetween) {
  AddColors({TColor(0x10), TColor(0x20), TColor(0x30), TColor(0x40)});
  images_->Move(0, 3);
  EXPECT_EQ(ColorOf(0).R, 0x20);
  EXPECT_EQ(ColorOf(1).R, 0x30);
  EXPECT_EQ(ColorOf(2).R, 0x40);
  EXPECT_EQ(ColorOf(3).R, 0x10);
  images_->Move(3, 1);
  EXPECT_EQ(ColorOf(0).R, 0x20);
  EXPECT_EQ(ColorOf(1).R, 0x10);
  EXPECT_EQ(ColorOf(2).R, 0x30);
}

TEST_F(ImageListTest, InsertAtCountAppendsAndPastItDoesNothing) {
  AddColors({TColor(0x10), TColor(0x20)});
  TObjectPtr<TBitmap> b = Solid(TColor(0x30));
  images_->Insert(2, b.get(), nullptr);
  ASSERT_EQ(images_->Count(), 3);
  EXPECT_EQ(ColorOf(2).R, 0x30);
  images_->Insert(4, b.get(), nullptr);
  images_->Insert(-1, b.get(), nullptr);
  EXPECT_EQ(images_->Count(), 3);
  TObjectPtr<TBitmap> c = Solid(TColor(0x40));
  images_->Insert(0, c.get(), nullptr);
  EXPECT_EQ(ColorOf(0).R, 0x40);
  EXPECT_EQ(ColorOf(1).R, 0x10);
}

TEST_F(ImageListTest, ChangesInsideAnUpdateNotifyOnceAtTheEnd) {
  int changes = 0;
  images_->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
  images_->BeginUpdate();
  AddColors({TColor(0x10), TColor(0x20)});
  TObjectPtr<TBitmap> b = Solid(TColor(0x30));
  images_->Insert(0, b.get(), nullptr);
  EXPECT_EQ(changes, 0);
  images_->EndUpdate();
  EXPECT_EQ(changes, 1);
  AddColors({TColor(0x40)});
  EXPECT_EQ(changes, 2);
}

TEST_F(ImageListTest, KeepsAlphaAndDrawsThroughTheBlendingPipeline) {
  ASSERT_TRUE(images_->AlphaBlending());
  TObjectPtr<TBitmap> b = MakeBitmap(4, 4, clBlack, pf32bit);
  std::vector<RGBQUAD> pixels(16, Quad(0, 0, 0, 0));
  pixels[5] = Quad(0, 0, 255, 255);  // (1, 1) opaque blue, the rest clear
  SetPixels(b.get(), pixels);
  images_->Add(b.get(), nullptr);
  EXPECT_EQ(TcxImageList::GetPixelFormat(images_->Handle()), 32);
  TObjectPtr<TBitmap> target = MakeBitmap(8, 8, clWhite);
  images_->Draw(target->Canvas(), 2, 2, 0);
  Pixels drawn(target.get());
  EXPECT_EQ(drawn.At(3, 3), Rgb(0, 0, 255));
  EXPECT_EQ(drawn.At(2, 2), Rgb(255, 255, 255));
  EXPECT_EQ(drawn.At(4, 4), Rgb(255, 255, 255));
}

TEST_F(ImageListTest, DisabledAlphaImagesAreGreyedAndFaint) {
  TObjectPtr<TBitmap> b = MakeBitmap(4, 4, clBlack, pf32bit);
  SetPixels(b.get(), std::vector<RGBQUAD>(16, Quad(0, 0, 255, 255)));
  images_->Add(b.get(), nullptr);
  TObjectPtr<TBitmap> target = MakeBitmap(4, 4, clWhite);
  images_->Draw(target->Canvas(), Rect(0, 0, 4, 4), 0, false, false, false);
  // Blue greyed by the disable map (255 * .2125 = 54) at alpha 151 over
  // white: 54 * 151/255 + 255 * 104/255 = 136.
  const Pixel p = Pixels(target.get()).At(1, 1);
  EXPECT_EQ(p.R, p.B);
  EXPECT_NEAR(p.R, 136, 2);
}

TEST_F(ImageListTest, MaskedImagesDrawTransparent) {
  TObjectPtr<TBitmap> b = Solid(clFuchsia);
  b->Canvas()->SetPixels(1, 1, clRed);
  images_->AddMasked(b.get(), clFuchsia);
  TObjectPtr<TBitmap> target = MakeBitmap(4, 4, clWhite);
  images_->Draw(target->Canvas(), Rect(0, 0, 4, 4), 0, false);
  Pixels drawn(target.get());
  EXPECT_EQ(drawn.At(1, 1), Rgb(255, 0, 0));
  EXPECT_EQ(drawn.At(2, 2), Rgb(255, 255, 255));
}

TEST_F(ImageListTest, CopyImagesTakesARange) {
  AddColors({TColor(0x10), TColor(0x20), TColor(0x30)});
  TObjectPtr<TcxImageList> other(new TcxImageList(nullptr));
  other->SetSize(4, 4);
  other->CopyImages(images_.get(), 1, -1);
  ASSERT_EQ(other->Count(), 2);
  TObjectPtr<TcxBitmap> image(new TcxBitmap(4, 4));
  other->GetImage(0, image.get());
  EXPECT_EQ(Pixels(image.get()).At(0, 0).R, 0x20);
  other->CopyImages(images_.get(), -5, 0);
  EXPECT_EQ(other->Count(), 3);
  other->Assign(images_.get());
  EXPECT_EQ(other->Count(), 3);
}

TEST(ImageListInfoTest, UnreadableListsCopyNothing) {
  TObjectPtr<TBitmap> image = MakeBitmap(2, 2, clRed);
  TcxImageList::GetImageInfo(nullptr, 0, image.get(), nullptr);
  EXPECT_EQ(image->Width(), 2);
  EXPECT_EQ(TcxImageList::GetPixelFormat(nullptr), 0);
}

// ---------------------------------------------------------------------------
// TcxBrushCache
// ---------------------------------------------------------------------------

TEST(BrushCacheTest, CountsReferencesAndFreesAtZero) {
  TcxBrushCache cache;
  TBrush* a = cache.Add(clRed);
  TBrush* b = cache.Add(clRed);
  EXPECT_EQ(a, b);
  EXPECT_EQ(cache.RefCountOf(clRed), 2);
  EXPECT_EQ(a->Color(), clRed);
  cache.ReleaseBrush(a);
  EXPECT_EQ(cache.RefCountOf(clRed), 1);
  cache.ReleaseBrush(b);
  EXPECT_EQ(cache.RefCountOf(clRed), -1);
  EXPECT_EQ(cache.Count(), 0);
  // Later releases find no entry and do nothing.
  TBrush stray;
  stray.SetColor(clRed);
  TBrush* strayPtr = &stray;
  EXPECT_NO_THROW(cache.ReleaseBrush(strayPtr));
}

TEST(BrushCacheTest, KeepsEntriesSortedByColour) {
  TcxBrushCache cache;
  for (TColor c : {TColor(0x30), TColor(0x10), TColor(0x20)}) cache.Add(c);
  Integer index;
  ASSERT_TRUE(cache.IndexOf(TColor(0x10), index));
  EXPECT_EQ(index, 0);
  ASSERT_TRUE(cache.IndexOf(TColor(0x30), index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(cache.IndexOf(TColor(0x15), index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(cache.IndexOf(TColor(0x40), index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(cache.IndexOf(clBtnFace, index));
  EXPECT_EQ(index, -1);
}

TEST(BrushCacheTest, GrowsByEightThenByAQuarter) {
  TcxBrushCache cache;
  cache.Add(TColor(1));
  EXPECT_EQ(cache.Capacity(), 8);
  for (Integer i = 2; i <= 33; ++i) cache.Add(TColor(i));
  EXPECT_EQ(cache.Capacity(), 40);  // 8, 16, 24, 32, then 32 + 8
  for (Integer i = 34; i <= 41; ++i) cache.Add(TColor(i));
  EXPECT_EQ(cache.Capacity(), 50);
}

TEST(BrushCacheTest, SystemColoursUseTheSharedBrushes) {
  TcxBrushCache cache;
  TBrush* brush = cache.Add(clBtnFace);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(brush, cxSystemBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_TRUE(cache.IsSystemBrush(brush));
  EXPECT_TRUE(cache.IsSystemBrush(nullptr));
  EXPECT_NO_THROW(cache.ReleaseBrush(brush));
}

TEST(BrushCacheTest, ReleasesWhileLockedAreDeferredAndOverReleaseRaises) {
  TcxBrushCache cache;
  TBrush* a = cache.Add(clRed);
  cache.Add(clRed);
  cache.BeginUpdate();
  cache.ReleaseBrush(a);
  cache.ReleaseBrush(a);
  EXPECT_EQ(cache.RefCountOf(clRed), 0);
  EXPECT_EQ(cache.Count(), 1);
  try {
    cache.ReleaseBrush(a);
    ADD_FAILURE() << "no error";
  } catch (const EBrushCache& e) {
    EXPECT_EQ(e.Message(), "Release unused brush");
  }
  cache.EndUpdate();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(BrushCacheTest, ReAddingBeforeTheEndKeepsTheBrushAlive) {
  TcxBrushCache cache;
  TBrush* red = cache.Add(clRed);
  TBrush* blue = cache.Add(clBlue);
  cache.BeginUpdate();
  cache.ReleaseBrush(red);
  cache.ReleaseBrush(blue);
  EXPECT_EQ(cache.Count(), 2);
  TBrush* again = cache.Add(clRed);
  EXPECT_EQ(again, red);
  cache.EndUpdate();
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.RefCountOf(clRed), 1);
  EXPECT_EQ(cache.RefCountOf(clBlue), -1);
}

TEST(BrushCacheTest, SetBrushColorMovesTheReference) {
  TcxBrushCache cache;
  TBrush* brush = cache.Add(clRed);
  cache.SetBrushColor(brush, clBlue);
  EXPECT_EQ(brush->Color(), clBlue);
  EXPECT_EQ(cache.RefCountOf(clRed), -1);
  EXPECT_EQ(cache.RefCountOf(clBlue), 1);
}

}  // namespace
