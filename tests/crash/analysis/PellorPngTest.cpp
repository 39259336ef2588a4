#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "PellorPng.h"
#include "ReferenceTool.h"

namespace {

// ---------------------------------------------------------------------------
// Pictures: 32-bpp bottom-up buffers, drawn top-down through Set so that the
// tests speak of what is seen.
// ---------------------------------------------------------------------------

struct TRgb {
  int R, G, B;
  bool operator==(const TRgb&) const = default;
};

struct TPicture {
  int Width, Height;
  std::vector<Byte> Bits;
  TPicture(int width, int height)
      : Width(width), Height(height), Bits(std::size_t(width) * height * 4) {}
  Byte* At(int x, int y) {  // y counted from the top
    return &Bits[(std::size_t(Height - 1 - y) * Width + x) * 4];
  }
  void Set(int x, int y, TRgb c) {
    Byte* p = At(x, y);
    p[0] = Byte(c.B);
    p[1] = Byte(c.G);
    p[2] = Byte(c.R);
    p[3] = 0xA5;  // the unused byte must not matter
  }
  TRgb Get(int x, int y) {
    Byte* p = At(x, y);
    return {p[2], p[1], p[0]};
  }
  String Png(int mode) { return PixelsAsPng(Bits.data(), Width, Height, mode); }
};

// Text on a window face, a title-bar gradient, flat panels and a photo-like
// noisy corner: the kinds of areas of a screenshot.
TPicture Screenshot(int width, int height) {
  TPicture pic(width, height);
  std::mt19937 random(7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      TRgb c{236, 233, 216};
      if (y < height / 10) {
        c = {10 + 200 * x / width, 36 + 150 * x / width,
             106 + 140 * y / height};
      } else if (x < width / 5) {
        c = {255, 255, 255};
        if ((x / 3 + y / 5) % 7 == 0 && (y % 12) < 9) c = {0, 0, 0};
      } else if (x > width * 3 / 4 && y > height / 2) {
        c = {int(random() % 256), int(80 + random() % 64),
             int(x * 255 / width)};
      } else if ((x * 7 + y * 3) % 41 < 2 && (y % 16) < 11) {
        c = {0, 0, 128};
      }
      pic.Set(x, y, c);
    }
  }
  return pic;
}

// ---------------------------------------------------------------------------
// An independent reader of palette PNG files: zlib's own CRC-32, inflate
// and Adler-32 check, and the layout read byte by byte.
// ---------------------------------------------------------------------------

Cardinal BigEndian(const String& s, std::size_t at) {
  return Cardinal(Byte(s[at])) << 24 | Cardinal(Byte(s[at + 1])) << 16 |
         Cardinal(Byte(s[at + 2])) << 8 | Cardinal(Byte(s[at + 3]));
}

struct TDecoded {
  int Width = 0, Height = 0, Depth = 0;
  String Palette, Idat;
  std::vector<String> Chunks;  // types in order
  std::vector<String> Rows;    // filtered rows, filter byte included
  std::vector<int> Index;      // top-down palette indices
  TRgb Colour(int x, int y) const {
    const int i = Index[std::size_t(y) * Width + x];
    return {Byte(Palette[i * 3]), Byte(Palette[i * 3 + 1]),
            Byte(Palette[i * 3 + 2])};
  }
};

::testing::AssertionResult Decode(const String& png, TDecoded& out) {
  if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
    return ::testing::AssertionFailure() << "no signature";
  std::size_t at = 8;
  while (at < png.size()) {
    if (at + 12 > png.size()) return ::testing::AssertionFailure() << "short";
    const Cardinal length = BigEndian(png, at);
    if (at + 12 + length > png.size())
      return ::testing::AssertionFailure() << "chunk overruns";
    const String type = png.substr(at + 4, 4);
    const String data = png.substr(at + 8, length);
    const uLong crc = crc32(
        0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
    if (crc != BigEndian(png, at + 8 + length))
      return ::testing::AssertionFailure() << "bad CRC of " << type;
    out.Chunks.push_back(type);
    if (type == "IHDR") {
      out.Width = int(BigEndian(data, 0));
      out.Height = int(BigEndian(data, 4));
      out.Depth = Byte(data[8]);
      if (data.substr(9) != String("\x03\0\0\0", 4))
        return ::testing::AssertionFailure() << "not a plain palette PNG";
    } else if (type == "PLTE") {
      out.Palette = data;
    } else if (type == "IDAT") {
      out.Idat += data;
    }
    at += 12 + length;
  }
  const std::size_t rowBytes = 1 + (std::size_t(out.Width) * out.Depth + 7) / 8;
  String raw(rowBytes * out.Height, '\0');
  uLongf rawLength = raw.size();
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawLength,
                 reinterpret_cast<const Bytef*>(out.Idat.data()),
                 out.Idat.size()) != Z_OK ||
      rawLength != raw.size())
    return ::testing::AssertionFailure() << "IDAT does not inflate";
  for (int y = 0; y < out.Height; ++y) {
    out.Rows.push_back(raw.substr(y * rowBytes, rowBytes));
    const String& row = out.Rows.back();
    if (row[0] != 0) return ::testing::AssertionFailure() << "filter";
    for (int x = 0; x < out.Width; ++x) {
      const Byte b = Byte(row[1 + x * out.Depth / 8]);
      const int i = out.Depth == 8 ? b : (x % 2 ? b & 15 : b >> 4);
      if (i * 3 + 2 >= int(out.Palette.size()))
        return ::testing::AssertionFailure() << "index beyond the palette";
      out.Index.push_back(i);
    }
  }
  return ::testing::AssertionSuccess();
}

int Distance(TRgb a, TRgb b) {
  return std::abs(a.R - b.R) + std::abs(a.G - b.G) + std::abs(a.B - b.B);
}

int Grey(TRgb c) { return (77 * c.R + 151 * c.G + 28 * c.B) >> 8; }

// ---------------------------------------------------------------------------
// Byte layout.
// ---------------------------------------------------------------------------

TEST(PellorPng, ChunksHeaderAndZlibWrapperFollowTheLayout) {
  TPicture pic = Screenshot(64, 48);
  for (int mode : {kPngPalette, kPngGrey}) {
    SCOPED_TRACE(mode);
    const String png = pic.Png(mode);
    TDecoded d;
    ASSERT_TRUE(Decode(png, d));
    EXPECT_EQ(d.Chunks, (std::vector<String>{"IHDR", "PLTE", "IDAT", "IEND"}));
    EXPECT_EQ(d.Width, 64);
    EXPECT_EQ(d.Height, 48);
    EXPECT_EQ(d.Depth, mode == kPngGrey ? 4 : 8);
    EXPECT_EQ(d.Palette.size(), mode == kPngGrey ? 48u : 768u);
    ASSERT_GE(d.Idat.size(), 6u);
    EXPECT_EQ(d.Idat.substr(0, 2), "\x78\x01");
    String rows;
    for (const String& r : d.Rows) rows += r;
    const uLong adler =
        adler32(adler32(0, nullptr, 0),
                reinterpret_cast<const Bytef*>(rows.data()), uInt(rows.size()));
    EXPECT_EQ(BigEndian(d.Idat, d.Idat.size() - 4), adler);
    // The IEND chunk is the fixed 12 bytes every reader knows.
    EXPECT_EQ(png.substr(png.size() - 12),
              String("\0\0\0\0IEND\xae\x42\x60\x82", 12));
  }
}

TEST(PellorPng, Adler32MatchesZlibAcrossItsReductionRuns) {
  std::mt19937 random(3);
  for (std::size_t length : {0u, 1u, 3853u, 3854u, 3855u, 7708u, 100000u}) {
    for (bool allOnes : {false, true}) {
      String data(length, '\xff');
      if (!allOnes)
        for (char& c : data) c = char(random());
      const uLong expected =
          adler32(adler32(0, nullptr, 0),
                  reinterpret_cast<const Bytef*>(data.data()), uInt(length));
      EXPECT_EQ(PngAdler32(data.data(), length), expected)
          << length << (allOnes ? " of 0xFF" : " random");
    }
  }
}

TEST(PellorPng, GreyRowsPackTwoPixelsPerByteHighNibbleFirst) {
  // Width 5: a row is the filter byte and 3 bytes, the fifth pixel in the
  // high half of the last one.
  TPicture pic(5, 2);
  const Byte levels[2][5] = {{0, 28, 52, 73, 255}, {241, 227, 213, 199, 185}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      pic.Set(x, y, {levels[y][x], levels[y][x], levels[y][x]});
  TDecoded d;
  ASSERT_TRUE(Decode(pic.Png(kPngGrey), d));
  ASSERT_EQ(d.Rows.size(), 2u);
  EXPECT_EQ(d.Rows[0], String("\x00\x01\x23\xF0", 4));
  EXPECT_EQ(d.Rows[1], String("\x00\xED\xCB\xA0", 4));
}

TEST(PellorPng, GreyLevelsAndNearestGreyTieGoesToTheDarker) {
  Byte palette[48];
  for (int i = 0; i < 16; ++i)
    palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = kPngGreyLevel[i];
  EXPECT_EQ(kPngGreyLevel[0], 0);
  EXPECT_EQ(kPngGreyLevel[15], 255);
  struct {
    int Grey, Index;
  } cases[] = {{0, 0},  {14, 0},   {15, 1},   {40, 1},
               {41, 2}, {248, 14}, {249, 15}, {255, 15}};
  for (auto c : cases) {
    std::int16_t cache[kPngGreyCacheSize];
    std::fill(std::begin(cache), std::end(cache), std::int16_t(-1));
    EXPECT_EQ(NearestGreyIndex(cache, palette, c.Grey), c.Index) << c.Grey;
    EXPECT_EQ(cache[c.Grey], c.Index);
  }
}

// ---------------------------------------------------------------------------
// Pixels: lossless cases exactly, reduced ones within the palette's error.
// ---------------------------------------------------------------------------

TEST(PellorPng, GreyModeIsExactForLevelPicturesAndNearestOtherwise) {
  TPicture pic = Screenshot(97, 61);  // odd width
  TPicture levels(33, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 33; ++x) {
      const Byte v = kPngGreyLevel[(x + y) % 16];
      levels.Set(x, y, {v, v, v});
    }
  for (TPicture* p : {&levels, &pic}) {
    const std::vector<Byte> before = p->Bits;
    TDecoded d;
    ASSERT_TRUE(Decode(p->Png(kPngGrey), d));
    EXPECT_EQ(p->Bits, before) << "the picture itself must stay in colour";
    for (int y = 0; y < p->Height; ++y)
      for (int x = 0; x < p->Width; ++x) {
        const int g = Grey(p->Get(x, y));
        const TRgb out = d.Colour(x, y);
        ASSERT_TRUE(out.R == out.G && out.G == out.B);
        int best = 255;
        for (Byte level : kPngGreyLevel)
          best = std::min(best, std::abs(g - level));
        ASSERT_EQ(std::abs(g - out.R), best) << x << "," << y;
      }
  }
}

TEST(PellorPng, FewColoursComeBackExactly) {
  // Colours in distinct 8-level cells: every one gets its own box.
  std::vector<TRgb> colours;
  for (int i = 0; i < 40; ++i)
    colours.push_back(
        {(i * 37) % 256, (i * 91 + 8) % 256, (i * 53 + 200) % 256});
  TPicture pic(50, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) pic.Set(x, y, colours[(x / 3 + y * 7) % 40]);
  TDecoded d;
  ASSERT_TRUE(Decode(pic.Png(kPngPalette), d));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x)
      ASSERT_EQ(d.Colour(x, y), pic.Get(x, y)) << x << "," << y;
}

TEST(PellorPng, ReducedColoursStayWithinThePalettesError) {
  TPicture pic = Screenshot(320, 200);
  TDecoded d;
  ASSERT_TRUE(Decode(pic.Png(kPngPalette), d));
  double total = 0;
  for (int y = 0; y < pic.Height; ++y)
    for (int x = 0; x < pic.Width; ++x) {
      const TRgb in = pic.Get(x, y), out = d.Colour(x, y);
      int nearest = 1 << 30;
      for (int i = 0; i < 256; ++i)
        nearest = std::min(nearest, Distance(in, {Byte(d.Palette[i * 3]),
                                                  Byte(d.Palette[i * 3 + 1]),
                                                  Byte(d.Palette[i * 3 + 2])}));
      // The answer is shared by a 8x8x8 cell: another colour of the cell
      // (at most 7 + 7 + 7 away) may have chosen it.
      ASSERT_LE(Distance(in, out), nearest + 42) << x << "," << y;
      total += Distance(in, out);
    }
  // The flat areas and text must come out nearly exact on average.
  EXPECT_LT(total / (pic.Width * pic.Height), 6.0);
}

TEST(PellorPng, OneColourFillsOnePaletteEntry) {
  TPicture pic(20, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) pic.Set(x, y, {12, 200, 99});
  Byte palette[768];
  QuantizePalette(pic.Bits.data(), 200, palette);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(palette[i * 3], 12) << i;
    ASSERT_EQ(palette[i * 3 + 1], 200) << i;
    ASSERT_EQ(palette[i * 3 + 2], 99) << i;
  }
  TDecoded d;
  ASSERT_TRUE(Decode(pic.Png(kPngPalette), d));
  for (int i : d.Index) ASSERT_EQ(i, 0);
}

TEST(PellorPng, NearestPaletteIndexIsCachedPerFifteenBitKey) {
  Byte palette[768] = {};
  for (int i = 0; i < 256; ++i) palette[i * 3] = Byte(i);  // reds only
  palette[3 * 3] = 100;  // entry 3 duplicates entry 100: the first wins
  std::vector<std::int16_t> cache(kPngColourCacheSize, -1);
  EXPECT_EQ(NearestPaletteIndex(cache.data(), palette, 100, 0, 0), 3);
  EXPECT_EQ(cache[100 >> 3], 3);
  // Red 103 shares the key of red 100 and gets its answer.
  EXPECT_EQ(NearestPaletteIndex(cache.data(), palette, 103, 0, 0), 3);
  // Blue and green go in the upper bits of the key.
  EXPECT_EQ(NearestPaletteIndex(cache.data(), palette, 50, 9, 17), 50);
  EXPECT_EQ(cache[(17 >> 3) << 10 | (9 >> 3) << 5 | (50 >> 3)], 50);
}

// ---------------------------------------------------------------------------
// Modes.
// ---------------------------------------------------------------------------

TEST(PellorPng, LimitModesKeepTheSmallerFileOnlyBeyondTheirLimit) {
  std::mt19937 random(11);
  TPicture noisy(400, 300), flat = Screenshot(400, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      noisy.Set(
          x, y,
          {int(random() % 256), int(random() % 256), int(random() % 256)});
  for (TPicture* pic : {&noisy, &flat}) {
    const std::vector<Byte> before = pic->Bits;
    const String colour = pic->Png(kPngPalette), grey = pic->Png(kPngGrey);
    ASSERT_FALSE(colour.empty());
    ASSERT_FALSE(grey.empty());
    const std::size_t limits[] = {51200, 102400, 204800, 307200};
    for (int mode = kPngLimit50K; mode <= kPngLimit300K; ++mode) {
      const bool greyWins = colour.size() > limits[mode - kPngLimit50K] &&
                            grey.size() < colour.size();
      EXPECT_EQ(pic->Png(mode), greyWins ? grey : colour)
          << "mode " << mode << ", colour " << colour.size() << ", grey "
          << grey.size();
    }
    EXPECT_EQ(pic->Bits, before);
  }
  // The noise must have exercised both outcomes.
  EXPECT_EQ(noisy.Png(kPngLimit50K), noisy.Png(kPngGrey));
  EXPECT_EQ(flat.Png(kPngLimit50K), flat.Png(kPngPalette));
}

TEST(PellorPng, UnknownModesActLikeThePaletteMode) {
  TPicture pic = Screenshot(40, 30);
  const String colour = pic.Png(kPngPalette);
  for (int mode : {-1, 6, 99}) EXPECT_EQ(pic.Png(mode), colour) << mode;
}

TEST(PellorPng, ImpossiblePicturesGiveNoFile) {
  Byte pixel[4] = {};
  EXPECT_TRUE(PixelsAsPng(nullptr, 1, 1, kPngPalette).empty());
  struct {
    int Width, Height;
  } sizes[] = {{0, 1},         {1, 0}, {-1, 5}, {5, -1}, {1 << 30, 1 << 30},
               {0x7fffffff, 2}};
  for (auto s : sizes)
    for (int mode : {kPngPalette, kPngGrey, kPngLimit50K})
      EXPECT_TRUE(PixelsAsPng(pixel, s.Width, s.Height, mode).empty())
          << s.Width << "x" << s.Height << " mode " << mode;
  // The smallest picture works in both modes.
  for (int mode : {kPngPalette, kPngGrey}) {
    TDecoded d;
    ASSERT_TRUE(Decode(PixelsAsPng(pixel, 1, 1, mode), d));
    EXPECT_EQ(d.Index.size(), 1u);
  }
}

// ---------------------------------------------------------------------------
// Readers of the host (natively): Python's zlib and struct, ImageMagick.
// ---------------------------------------------------------------------------

#ifndef _WIN32
String RunHost(const String& command) {
  String out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
      out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Decodes a palette PNG into raw top-down RGB triplets on stdout.
const char* kPythonReader = R"(import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
at, idat, plte = 8, b'', b''
while at < len(data):
    n, kind = struct.unpack('>I4s', data[at:at + 8])
    body = data[at + 8:at + 8 + n]
    assert struct.unpack('>I', data[at + 8 + n:at + 12 + n])[0] == \
        zlib.crc32(kind + body)
    if kind == b'IHDR':
        w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
    elif kind == b'PLTE':
        plte = body
    elif kind == b'IDAT':
        idat += body
    at += 12 + n
raw = zlib.decompress(idat)
stride = 1 + (w * depth + 7) // 8
out = bytearray()
for y in range(h):
    row = raw[y * stride:(y + 1) * stride]
    assert row[0] == 0
    for x in range(w):
        if depth == 8:
            i = row[1 + x]
        else:
            b = row[1 + x // 2]
            i = b & 15 if x % 2 else b >> 4
        out += plte[3 * i:3 * i + 3]
sys.stdout.buffer.write(out)
)";

TEST(PellorPng, HostReadersSeeTheSamePixels) {
  const bool python = HostHas("python3"), magick = HostHas("convert");
  if (!python && !magick) {
    SKIP_UNLESS_CI("no python3 or convert on this host");
  }
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("pellorpng-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const String script = (dir / "read.py").string();
  std::ofstream(script) << kPythonReader;
  TPicture pic = Screenshot(123, 77);
  for (int mode : {kPngPalette, kPngGrey}) {
    SCOPED_TRACE(mode);
    const String png = pic.Png(mode);
    const String file = (dir / "shot.png").string();
    std::ofstream(file, std::ios::binary).write(png.data(), png.size());
    TDecoded d;
    ASSERT_TRUE(Decode(png, d));
    String expected;
    for (int y = 0; y < pic.Height; ++y)
      for (int x = 0; x < pic.Width; ++x) {
        const TRgb c = d.Colour(x, y);
        expected += {char(c.R), char(c.G), char(c.B)};
        // What was drawn, within the reduction's error.
        const TRgb in = pic.Get(x, y);
        if (mode == kPngGrey)
          ASSERT_LE(std::abs(Grey(in) - c.R), 14);
        else
          ASSERT_LE(Distance(in, c), 3 * 64);
      }
    if (python) {
      EXPECT_EQ(RunHost("python3 '" + script + "' '" + file + "'"), expected)
          << "python";
    }
    if (magick) {
      EXPECT_EQ(RunHost("convert '" + file + "' -depth 8 rgb:- 2>/dev/null"),
                expected)
          << "ImageMagick";
    }
  }
  fs::remove_all(dir);
}
#endif

}  // namespace
