// JPEG images: saved and reloaded through TPicture, the quality setting,
// conversion to and from bitmaps, and corrupt data.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "Graphics.h"
#include "GraphicsTestHelpers.h"
#include "Jpeg.h"

namespace {

using visual_test::LoadBytes;
using visual_test::Saved;

// Left half red, right half blue.
TObjectPtr<TBitmap> TwoColours(Integer w, Integer h) {
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(Rect(0, 0, w / 2, h));
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(Rect(w / 2, 0, w, h));
  return b;
}

// JPEG is lossy: colours match within a tolerance.
bool Near(TColor actual, TColor expected, int tolerance = 40) {
  const int a = ColorToRGB(actual);
  const int e = ColorToRGB(expected);
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(((a >> shift) & 0xFF) - ((e >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

String TempName(const char* ext) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return String(dir) + "varnel_jpeg_" +
         IntToStr(static_cast<Integer>(GetCurrentProcessId())) + ext;
}

TEST(Jpeg, SavedAndReloadedThroughAPicture) {
  const String name = TempName(".jpg");
  {
    TJPEGImage jpeg;
    jpeg.Assign(TwoColours(32, 16).get());
    TPicture picture;
    picture.SetGraphic(&jpeg);
    picture.SaveToFile(name);
  }
  TPicture picture;
  picture.LoadFromFile(name);
  DeleteFileA(name.c_str());
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(picture.Width(), 32);
  EXPECT_EQ(picture.Height(), 16);

  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(32, 16);
  target.Canvas()->Draw(0, 0, picture.Graphic());
  EXPECT_TRUE(Near(target.Canvas()->Pixels(4, 8), clRed));
  EXPECT_TRUE(Near(target.Canvas()->Pixels(28, 8), clBlue));
}

TEST(Jpeg, RegisteredForBothExtensions) {
  EXPECT_EQ(TPicture::FindGraphicClass("jpg"), TJPEGImage::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("JPEG"), TJPEGImage::StaticClass());
  EXPECT_EQ(GraphicExtension(TJPEGImage::StaticClass()), "jpg");
}

TEST(Jpeg, AssignsToABitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(TwoColours(16, 8).get());
  LoadBytes(&jpeg, Saved(&jpeg));  // decoded from the compressed data
  TBitmap b;
  b.Assign(&jpeg);
  EXPECT_EQ(b.Width(), 16);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_TRUE(Near(b.Canvas()->Pixels(2, 2), clRed));
  EXPECT_TRUE(Near(b.Canvas()->Pixels(13, 2), clBlue));
}

TEST(Jpeg, QualityDecidesTheSizeAndIsClamped) {
  // Noise compresses badly, so quality shows in the size.
  auto noisy = TwoColours(64, 64);
  unsigned seed = 1;
  for (Integer y = 0; y < 64; ++y) {
    auto* row = static_cast<Byte*>(noisy->ScanLine(y));
    for (Integer x = 0; x < 64 * 3; ++x) {
      seed = seed * 1103515245u + 12345u;
      row[x] = static_cast<Byte>(seed >> 16);
    }
  }
  TJPEGImage jpeg;
  jpeg.Assign(noisy.get());
  jpeg.SetCompressionQuality(95);
  const std::size_t best = Saved(&jpeg).size();
  jpeg.SetCompressionQuality(10);
  const std::size_t small = Saved(&jpeg).size();
  EXPECT_LT(small * 2, best);

  jpeg.SetCompressionQuality(0);
  EXPECT_EQ(jpeg.CompressionQuality(), 1);
  jpeg.SetCompressionQuality(500);
  EXPECT_EQ(jpeg.CompressionQuality(), 100);
}

TEST(Jpeg, CorruptDataRaisesAndKeepsTheImage) {
  TJPEGImage source;
  source.Assign(TwoColours(32, 32).get());
  const std::vector<Byte> good = Saved(&source);
  ASSERT_GT(good.size(), 100u);
  struct Case {
    const char* what;
    std::vector<Byte> bytes;
  };
  std::vector<Byte> noMarker = good;
  noMarker[0] = 0x00;
  std::vector<Byte> badTables = good;
  for (std::size_t i = 20; i < 60 && i < badTables.size(); ++i) {
    badTables[i] = 0xFF;
  }
  // The frame header gives the size: claim 60000 x 60000 pixels.
  std::vector<Byte> huge = good;
  for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 7] = 0xEA;
      huge[i + 6] = huge[i + 8] = 0x60;
      break;
    }
  }
  ASSERT_NE(huge, good);
  const Case cases[] = {
      {"empty", {}},
      {"huge dimensions", huge},
      {"not a JPEG", std::vector<Byte>(200, 0x42)},
      {"no start marker", noMarker},
      {"header only", std::vector<Byte>(good.begin(), good.begin() + 20)},
      {"cut in half",
       std::vector<Byte>(good.begin(), good.begin() + good.size() / 2)},
      // Headers whole, the end of the image data missing: libjpeg only warns.
      {"cut short", std::vector<Byte>(good.begin(), good.end() - 40)},
      {"damaged tables", badTables},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TJPEGImage jpeg;
    jpeg.Assign(TwoColours(4, 4).get());
    EXPECT_THROW(LoadBytes(&jpeg, c.bytes), EInvalidGraphic);
    EXPECT_EQ(jpeg.Width(), 4);  // still the old image
  }
}

TEST(Jpeg, SizeComesFromTheImage) {
  TJPEGImage jpeg;
  EXPECT_TRUE(jpeg.Empty());
  EXPECT_THROW(jpeg.SetWidth(5), EInvalidGraphicOperation);
}

}  // namespace
