// The screenshot bitmap: its BMP image read back by the system's own bitmap
// loader, PNG output leaving the picture alone, and the resampled copies.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "Handles.h"
#include "PellorNVBitmap.h"

namespace {

struct Rgb {
  Byte r, g, b;
};

// Pixel (x, y) counted from the top, as the picture is seen.
Byte* PixelAt(TINVBitmap& bmp, int x, int y) {
  return bmp.Pixels() +
         (std::size_t(bmp.Height() - 1 - y) * bmp.Width() + x) * 4;
}

TIntfPtr<TINVBitmap> Painted(int w, int h,
                             const std::function<Rgb(int, int)>& colour) {
  PNVBitmap made = NewNVBitmap(w, h);
  if (!made) return nullptr;
  TIntfPtr<TINVBitmap> bmp(static_cast<TINVBitmap*>(made.get()));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgb c = colour(x, y);
      Byte* p = PixelAt(*bmp, x, y);
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  return bmp;
}

std::vector<Byte> PixelBytes(TINVBitmap& bmp) {
  GdiFlush();
  return std::vector<Byte>(
      bmp.Pixels(), bmp.Pixels() + std::size_t(bmp.Width()) * bmp.Height() * 4);
}

Cardinal Le32(const String& s, std::size_t at) {
  Cardinal v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | Byte(s[at + i]);
  return v;
}

class TempDir {
 public:
  TempDir() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    path_ = String(dir) + "nvbmp" + std::to_string(GetCurrentProcessId()) +
            "_" + std::to_string(GetTickCount());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempDir() {
    for (const String& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(path_.c_str());
  }
  String File(const String& name) {
    files_.push_back(path_ + "\\" + name);
    return files_.back();
  }

 private:
  String path_;
  std::vector<String> files_;
};

bool FileExists(const String& name) {
  return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file decoded by the system's bitmap loader, as top-down 32-bit
// pixels (blue, green, red, x).
std::vector<Byte> DecodeWithSystem(const String& file, int& w, int& h) {
  const TBitmapHandle loaded(static_cast<HBITMAP>(
      LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  if (!loaded) return {};
  BITMAP info{};
  GetObjectA(loaded.get(), sizeof info, &info);
  w = info.bmWidth;
  h = std::abs(info.bmHeight);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<Byte> out(std::size_t(w) * h * 4);
  const int lines = GetDIBits(TWindowDC(nullptr).get(), loaded.get(), 0, h,
                              out.data(), &bi, DIB_RGB_COLORS);
  if (lines != h) return {};
  return out;
}

TEST(PellorNVBitmap, BmpImageHasTheFileLayout) {
  auto bmp = Painted(3, 2, [](int x, int y) {
    return Rgb{Byte(10 * x + 1), Byte(20 * y + 2), Byte(x + y + 3)};
  });
  ASSERT_TRUE(bmp);
  const String s = bmp->AsBmp();
  ASSERT_EQ(s.size(), 78u);
  EXPECT_EQ(s.substr(0, 2), "BM");
  EXPECT_EQ(Le32(s, 2), 78u);
  EXPECT_EQ(Le32(s, 6), 0u);  // both reserved words
  EXPECT_EQ(Le32(s, 10), 54u);
  EXPECT_EQ(Le32(s, 14), 40u);
  EXPECT_EQ(Le32(s, 18), 3u);
  EXPECT_EQ(Le32(s, 22), 2u);  // positive: bottom-up
  EXPECT_EQ(Le32(s, 26), 1u | 32u << 16);
  EXPECT_EQ(Le32(s, 30), 0u);
  EXPECT_EQ(Le32(s, 34), 24u);
  // First stored pixel: bottom-left, blue first.
  EXPECT_EQ(Byte(s[54]), 3 + 1);
  EXPECT_EQ(Byte(s[55]), 22);
  EXPECT_EQ(Byte(s[56]), 1);
  EXPECT_EQ(Byte(s[57]), 0);
  const std::vector<Byte> pixels = PixelBytes(*bmp);
  EXPECT_EQ(0, std::memcmp(s.data() + 54, pixels.data(), 24));
}

TEST(PellorNVBitmap, WrittenBmpDecodesToTheDrawnPixels) {
  TempDir dir;
  const int w = 37, h = 23;  // odd sizes
  auto bmp = Painted(w, h, [](int x, int y) {
    return Rgb{Byte(x * 7), Byte(y * 11), Byte((x ^ y) * 3)};
  });
  ASSERT_TRUE(bmp);
  // Drawing through GDI must land in the file as well.
  RECT r{30, 2, 35, 6};
  const TBrushHandle brush(CreateSolidBrush(RGB(250, 5, 40)));
  FillRect(bmp->Dc(), &r, brush.get());
  const String file = dir.File("drawn.bmp");
  ASSERT_TRUE(bmp->WriteBmpFile(file));
  int dw = 0, dh = 0;
  const std::vector<Byte> decoded = DecodeWithSystem(file, dw, dh);
  ASSERT_EQ(dw, w);
  ASSERT_EQ(dh, h);
  ASSERT_FALSE(decoded.empty());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Rgb want{Byte(x * 7), Byte(y * 11), Byte((x ^ y) * 3)};
      if (x >= 30 && x < 35 && y >= 2 && y < 6) want = {250, 5, 40};
      const Byte* p = &decoded[(std::size_t(y) * w + x) * 4];
      ASSERT_EQ(p[2], want.r) << x << "," << y;
      ASSERT_EQ(p[1], want.g) << x << "," << y;
      ASSERT_EQ(p[0], want.b) << x << "," << y;
    }
}

TEST(PellorNVBitmap, FailedWritesReturnFalseAndLeaveNoFile) {
  TempDir dir;
  auto bmp = Painted(4, 4, [](int, int) { return Rgb{1, 2, 3}; });
  ASSERT_TRUE(bmp);
  const String missing = dir.File("no-such-folder") + "\\shot";
  EXPECT_FALSE(bmp->WriteBmpFile(missing + ".bmp"));
  EXPECT_FALSE(bmp->WritePngFile(missing + ".png", 0));
  EXPECT_FALSE(FileExists(missing + ".bmp"));
  // A file held open without sharing cannot be replaced.
  const String held = dir.File("held.bmp");
  const THandle h(CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h);
  EXPECT_FALSE(bmp->WriteBmpFile(held));
}

TEST(PellorNVBitmap, PngFileIsWrittenWhole) {
  TempDir dir;
  auto bmp = Painted(9, 5, [](int x, int) { return Rgb{Byte(x * 20), 0, 0}; });
  ASSERT_TRUE(bmp);
  const String file = dir.File("shot.png");
  ASSERT_TRUE(bmp->WritePngFile(file, 0));
  const String png = bmp->AsPng(0);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  String back(png.size() + 16, '\0');
  DWORD got = 0;
  {
    const THandle h(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h);
    ReadFile(h.get(), &back[0], DWORD(back.size()), &got, nullptr);
  }
  back.resize(got);
  EXPECT_EQ(back, png);
}

// The grey attempt of the size-limit modes once greyed the screenshot
// itself, so it stayed grey even when the colour file was kept.
TEST(PellorNVBitmap, PngOutputLeavesTheBitmapInColour) {
  std::mt19937 random(7);
  // Noise: the colour file passes the 51,200-byte limit, so the grey
  // attempt runs and wins.
  auto bmp = Painted(320, 240, [&](int, int) {
    return Rgb{Byte(random()), Byte(random()), Byte(random())};
  });
  ASSERT_TRUE(bmp);
  const std::vector<Byte> before = PixelBytes(*bmp);
  for (Byte mode : {Byte(1), Byte(2)}) {
    const String png = bmp->AsPng(mode);
    ASSERT_GT(png.size(), 25u) << int(mode);
    EXPECT_EQ(Byte(png[24]), 4) << "grey file expected, mode " << int(mode);
    EXPECT_EQ(PixelBytes(*bmp), before) << "mode " << int(mode);
  }
}

TEST(PellorNVBitmap, ZoomKeepsTheAspectRatioInsideTheBox) {
  struct Case {
    int w, h, boxW, boxH, wantW, wantH;
  } cases[] = {
      {400, 100, 200, 200, 200, 50},   // width decides
      {400, 100, 400, 100, 400, 100},  // same ratio: the box itself
      {400, 100, 1000, 50, 200, 50},   // height decides
      {400, 100, 800, 800, 800, 200},  // enlarges
      {100, 400, 200, 200, 50, 200},  {3, 3, 7, 5, 5, 5},
  };
  for (const Case& c : cases) {
    auto bmp = Painted(c.w, c.h, [](int, int) { return Rgb{9, 9, 9}; });
    ASSERT_TRUE(bmp);
    PNVBitmap z = bmp->ZoomTo(c.boxW, c.boxH);
    ASSERT_TRUE(z) << c.boxW << "x" << c.boxH;
    EXPECT_EQ(z->Width(), c.wantW) << c.boxW << "x" << c.boxH;
    EXPECT_EQ(z->Height(), c.wantH) << c.boxW << "x" << c.boxH;
  }
}

TEST(PellorNVBitmap, ZoomToUnusableBoxesGivesNone) {
  auto bmp = Painted(400, 100, [](int, int) { return Rgb{1, 1, 1}; });
  ASSERT_TRUE(bmp);
  const int boxes[][2] = {
      {0, 0},          {0, 50}, {50, 0}, {-5, -5}, {INT_MAX, INT_MAX},
      {1, 1},  // would be 1 x 0
      {200000, 200000}};
  for (const auto& b : boxes)
    EXPECT_FALSE(bmp->ZoomTo(b[0], b[1])) << b[0] << "x" << b[1];
}

TEST(PellorNVBitmap, UnusableSizesMakeNoBitmap) {
  const int sizes[][2] = {
      {0, 0}, {0, 5}, {-1, 4}, {INT_MAX, 2}, {50000, 50000}};
  for (const auto& s : sizes)
    EXPECT_FALSE(NewNVBitmap(s[0], s[1])) << s[0] << "x" << s[1];
}

// At the same size the filter still blurs: 8/9 of a pixel stays, 1/18
// goes to each neighbour, in each of the two passes.
TEST(PellorNVBitmap, ZoomFiltersEachChannelWithTheMitchellKernel) {
  auto bmp = Painted(5, 5, [](int x, int y) {
    return x == 2 && y == 2 ? Rgb{0, 0, 255} : Rgb{0, 0, 0};
  });
  ASSERT_TRUE(bmp);
  PNVBitmap z = bmp->ZoomTo(5, 5);
  ASSERT_TRUE(z);
  TIntfPtr<TINVBitmap> out(static_cast<TINVBitmap*>(z.get()));
  GdiFlush();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const int d = std::abs(x - 2) + std::abs(y - 2);
      const bool straight = x == 2 || y == 2;
      const Byte want = d == 0 ? 200 : (d == 1 && straight ? 12 : 0);
      const Byte* p = PixelAt(*out, x, y);
      EXPECT_EQ(p[0], want) << x << "," << y;
      EXPECT_EQ(p[1], 0) << x << "," << y;
      EXPECT_EQ(p[2], 0) << x << "," << y;
      EXPECT_EQ(p[3], 0) << x << "," << y;
    }
}

TEST(PellorNVBitmap, ZoomKeepsFlatAreasUpToTheEdges) {
  // Halves of one colour each; the edge pixels show whether samples past
  // the border are mirrored back in.
  auto bmp = Painted(40, 30, [](int x, int) {
    return x < 20 ? Rgb{200, 40, 0} : Rgb{0, 90, 250};
  });
  ASSERT_TRUE(bmp);
  for (const auto& box : {std::pair{16, 12}, std::pair{100, 75}}) {
    PNVBitmap z = bmp->ZoomTo(box.first, box.second);
    ASSERT_TRUE(z);
    TIntfPtr<TINVBitmap> out(static_cast<TINVBitmap*>(z.get()));
    GdiFlush();
    const int w = out->Width(), h = out->Height();
    ASSERT_EQ(w, box.first);
    for (int y = 0; y < h; ++y)
      for (int x : {0, 1, w / 2 - 6, w / 2 + 6, w - 2, w - 1}) {
        const Rgb want = x < w / 2 ? Rgb{200, 40, 0} : Rgb{0, 90, 250};
        const Byte* p = PixelAt(*out, x, y);
        EXPECT_NEAR(p[2], want.r, 2) << w << ": " << x << "," << y;
        EXPECT_NEAR(p[1], want.g, 2) << w << ": " << x << "," << y;
        EXPECT_NEAR(p[0], want.b, 2) << w << ": " << x << "," << y;
      }
  }
}

TEST(PellorNVBitmap, DrawAtCopiesTheWholePicture) {
  auto bmp = Painted(6, 4, [](int x, int y) {
    return Rgb{Byte(x * 40), Byte(y * 60), 7};
  });
  ASSERT_TRUE(bmp);
  PNVBitmap target = NewNVBitmap(10, 10);
  ASSERT_TRUE(target);
  TINVBitmap& t = *static_cast<TINVBitmap*>(target.get());
  ASSERT_TRUE(bmp->DrawAt(t.Dc(), 3, 2));
  GdiFlush();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const Byte* p = PixelAt(t, x + 3, y + 2);
      EXPECT_EQ(p[2], x * 40);
      EXPECT_EQ(p[1], y * 60);
      EXPECT_EQ(p[0], 7);
    }
  EXPECT_EQ(PixelAt(t, 2, 2)[0], 0);
}

}  // namespace
