#include "PellorPng.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "PellorZip.h"

const Byte kPngGreyLevel[kPngGreyLevels] = {
    0, 28, 52, 73, 92, 109, 125, 140, 155, 170, 185, 199, 213, 227, 241, 255};

namespace {

// zlib's default level rather than the attachments' fast one: palette rows
// of a screenshot shrink by about a third for a few milliseconds, which
// matters more for a picture mailed with every report than for text.
constexpr int kPngDeflateLevel = 6;

// ---------------------------------------------------------------------------
// Colour quantizer: a 32x32x32 histogram (plus a zero plane per axis so that
// box sums need no bounds checks) turned into cumulative moments; boxes are
// cut where the two halves' summed squared means gain most, always the box
// of greatest variance next.
// ---------------------------------------------------------------------------

constexpr int kSide = 33;
constexpr int kCells = kSide * kSide * kSide;

constexpr int Cell(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

// 64-bit sums: a virtual screen over several large monitors holds more than
// 2^32 / 255 pixels, where 32-bit channel sums would wrap.
struct TMoments {
  std::vector<Int64> Count, Red, Green, Blue;
  std::vector<double> Squares;
  TMoments()
      : Count(kCells),
        Red(kCells),
        Green(kCells),
        Blue(kCells),
        Squares(kCells) {}
};

// Exclusive lower, inclusive upper corner per axis (0 red, 1 green, 2 blue).
struct TBox {
  int Lower[3];
  int Upper[3];
  int Cells() const {
    return (Upper[0] - Lower[0]) * (Upper[1] - Lower[1]) *
           (Upper[2] - Lower[2]);
  }
};

template <typename T>
T BoxSum(const TBox& box, const std::vector<T>& m) {
  const int r0 = box.Lower[0], g0 = box.Lower[1], b0 = box.Lower[2];
  const int r1 = box.Upper[0], g1 = box.Upper[1], b1 = box.Upper[2];
  return m[Cell(r1, g1, b1)] - m[Cell(r1, g1, b0)] - m[Cell(r1, g0, b1)] +
         m[Cell(r1, g0, b0)] - m[Cell(r0, g1, b1)] + m[Cell(r0, g1, b0)] +
         m[Cell(r0, g0, b1)] - m[Cell(r0, g0, b0)];
}

struct TSums {
  Int64 Count, Red, Green, Blue;
  double SquaredLength() const {
    const double r = double(Red), g = double(Green), b = double(Blue);
    return r * r + g * g + b * b;
  }
};

TSums SumsOf(const TBox& box, const TMoments& m) {
  return {BoxSum(box, m.Count), BoxSum(box, m.Red), BoxSum(box, m.Green),
          BoxSum(box, m.Blue)};
}

double VarianceOf(const TBox& box, const TMoments& m) {
  const TSums s = SumsOf(box, m);
  if (s.Count == 0) return 0;
  return BoxSum(box, m.Squares) - s.SquaredLength() / double(s.Count);
}

// The best cut of box along axis: its position, or 0 when no position
// leaves pixels on both sides; score gets the gain of the best position.
int BestCut(const TBox& box, int axis, const TMoments& m, const TSums& whole,
            double& score) {
  score = 0;
  int best = 0;
  for (int at = box.Lower[axis] + 1; at < box.Upper[axis]; ++at) {
    TBox half = box;
    half.Upper[axis] = at;
    const TSums first = SumsOf(half, m);
    const TSums second{whole.Count - first.Count, whole.Red - first.Red,
                       whole.Green - first.Green, whole.Blue - first.Blue};
    if (first.Count == 0 || second.Count == 0) continue;
    const double gain = first.SquaredLength() / double(first.Count) +
                        second.SquaredLength() / double(second.Count);
    if (gain > score) {
      score = gain;
      best = at;
    }
  }
  return best;
}

// Cuts box into itself and part; false when it cannot be cut.
bool CutBox(TBox& box, TBox& part, const TMoments& m) {
  const TSums whole = SumsOf(box, m);
  double score[3];
  int at[3];
  for (int axis = 0; axis < 3; ++axis) {
    at[axis] = BestCut(box, axis, m, whole, score[axis]);
  }
  int axis;
  if (score[0] >= score[1] && score[0] >= score[2]) {
    axis = 0;
    if (at[0] == 0) return false;
  } else if (score[1] >= score[0] && score[1] >= score[2]) {
    axis = 1;
  } else {
    axis = 2;
  }
  part = box;
  box.Upper[axis] = at[axis];
  part.Lower[axis] = at[axis];
  return true;
}

// Turns the per-cell moments into cumulative sums over the colour cube, so
// the moment of any box is eight lookups.
template <typename T>
void Accumulate(std::vector<T>& t) {
  for (int r = 0; r < kSide; ++r)
    for (int g = 0; g < kSide; ++g)
      for (int b = 1; b < kSide; ++b) t[Cell(r, g, b)] += t[Cell(r, g, b - 1)];
  for (int r = 0; r < kSide; ++r)
    for (int g = 1; g < kSide; ++g)
      for (int b = 0; b < kSide; ++b) t[Cell(r, g, b)] += t[Cell(r, g - 1, b)];
  for (int r = 1; r < kSide; ++r)
    for (int i = 0; i < kSide * kSide; ++i)
      t[r * kSide * kSide + i] += t[(r - 1) * kSide * kSide + i];
}

// ---------------------------------------------------------------------------
// PNG layout.
// ---------------------------------------------------------------------------

void PutBigEndian(String& out, Cardinal value) {
  out.push_back(char(value >> 24));
  out.push_back(char(value >> 16));
  out.push_back(char(value >> 8));
  out.push_back(char(value));
}

void PutChunk(String& out, const char* type, const char* data,
              std::size_t length) {
  PutBigEndian(out, Cardinal(length));
  const std::size_t start = out.size();
  out.append(type, 4);
  out.append(data, length);
  const Cardinal crc =
      AccumulateCrc32(0xFFFFFFFF, out.data() + start, 4 + length);
  PutBigEndian(out, ~crc);
}

// The filtered row bytes of a picture: bounded so that they, and the
// deflate buffer of 11/10 of them, fit zlib's 32-bit lengths and memory.
bool RowBytesFit(int width, int height, std::uint64_t bytesPerRow) {
  if (width <= 0 || height <= 0) return false;
  const std::uint64_t total = bytesPerRow * std::uint64_t(height);
  return total <= std::uint64_t(std::numeric_limits<Integer>::max()) / 11 &&
         total <= std::numeric_limits<std::size_t>::max() / 11;
}

String ColourPng(const Byte* pixels, int width, int height) {
  const std::size_t w = std::size_t(width), h = std::size_t(height);
  Byte palette[kPngPaletteSize * 3];
  QuantizePalette(pixels, w * h, palette);
  std::vector<std::int16_t> cache(kPngColourCacheSize, -1);
  String rows((w + 1) * h, '\0');
  Byte* out = reinterpret_cast<Byte*>(rows.data());
  for (std::size_t r = 0; r < h; ++r) {
    const Byte* p = pixels + (h - 1 - r) * w * 4;
    *out++ = 0;
    for (std::size_t x = 0; x < w; ++x, p += 4) {
      const int key = (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
      const std::int16_t known = cache[key];
      *out++ = Byte(known >= 0 ? known
                               : NearestPaletteIndex(cache.data(), palette,
                                                     p[2], p[1], p[0]));
    }
  }
  return BuildPng(
      width, height,
      String(reinterpret_cast<const char*>(palette), sizeof palette), rows);
}

// Greys each pixel as it is read: the caller's picture stays in colour.
String GreyPng(const Byte* pixels, int width, int height) {
  const std::size_t w = std::size_t(width), h = std::size_t(height);
  Byte palette[kPngGreyLevels * 3];
  for (int i = 0; i < kPngGreyLevels; ++i) {
    std::memset(palette + i * 3, kPngGreyLevel[i], 3);
  }
  std::int16_t cache[kPngGreyCacheSize];
  std::fill(std::begin(cache), std::end(cache), std::int16_t(-1));
  const std::size_t rowBytes = 1 + (w + 1) / 2;
  String rows(rowBytes * h, '\0');
  Byte* out = reinterpret_cast<Byte*>(rows.data());
  auto index = [&](const Byte* p) {
    const int grey = (77 * p[2] + 151 * p[1] + 28 * p[0]) >> 8;
    return cache[grey] >= 0 ? cache[grey]
                            : NearestGreyIndex(cache, palette, grey);
  };
  for (std::size_t r = 0; r < h; ++r) {
    const Byte* p = pixels + (h - 1 - r) * w * 4;
    Byte* row = out + r * rowBytes;
    row[0] = 0;
    for (std::size_t x = 0; x + 1 < w; x += 2, p += 8) {
      row[1 + x / 2] = Byte(index(p) << 4 | index(p + 4));
    }
    if (w % 2) row[rowBytes - 1] = Byte(index(p) << 4);
  }
  return BuildPng(
      width, height,
      String(reinterpret_cast<const char*>(palette), sizeof palette), rows);
}

}  // namespace

void QuantizePalette(const Byte* pixels, std::size_t count, Byte* palette,
                     int colourCount) {
  colourCount = std::clamp(colourCount, 1, kPngPaletteSize);
  std::memset(palette, 0, std::size_t(colourCount) * 3);
  auto moments = std::make_unique<TMoments>();
  TMoments& m = *moments;
  for (std::size_t i = 0; i < count; ++i, pixels += 4) {
    const int b = pixels[0], g = pixels[1], r = pixels[2];
    const int cell = Cell((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
    ++m.Count[cell];
    m.Red[cell] += r;
    m.Green[cell] += g;
    m.Blue[cell] += b;
    m.Squares[cell] += double(r * r + g * g + b * b);
  }
  Accumulate(m.Count);
  Accumulate(m.Red);
  Accumulate(m.Green);
  Accumulate(m.Blue);
  Accumulate(m.Squares);

  std::vector<TBox> boxes(static_cast<std::size_t>(colourCount));
  std::vector<double> variance(static_cast<std::size_t>(colourCount), 0.0);
  boxes[0] = {{0, 0, 0}, {kSide - 1, kSide - 1, kSide - 1}};
  int used = colourCount;
  int next = 0;
  for (int i = 1; i < colourCount; ++i) {
    if (CutBox(boxes[next], boxes[i], m)) {
      variance[next] =
          boxes[next].Cells() > 1 ? VarianceOf(boxes[next], m) : 0.0;
      variance[i] = boxes[i].Cells() > 1 ? VarianceOf(boxes[i], m) : 0.0;
    } else {
      variance[next] = 0.0;
      --i;
    }
    next = 0;
    double greatest = variance[0];
    for (int k = 1; k <= i; ++k) {
      if (variance[k] > greatest) {
        greatest = variance[k];
        next = k;
      }
    }
    if (greatest <= 0.0) {
      used = i + 1;
      break;
    }
  }

  bool filled[kPngPaletteSize] = {};
  for (int k = 0; k < used; ++k) {
    const TSums s = SumsOf(boxes[std::size_t(k)], m);
    if (s.Count == 0) continue;
    palette[k * 3] = Byte(s.Red / s.Count);
    palette[k * 3 + 1] = Byte(s.Green / s.Count);
    palette[k * 3 + 2] = Byte(s.Blue / s.Count);
    filled[k] = true;
  }
  for (int k = 1; k < colourCount; ++k) {
    if (!filled[k]) std::memcpy(palette + k * 3, palette, 3);
  }
}

int NearestPaletteIndex(std::int16_t* cache, const Byte* palette, int red,
                        int green, int blue) {
  const int key = (blue >> 3) << 10 | (green >> 3) << 5 | (red >> 3);
  if (cache[key] < 0) {
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < kPngPaletteSize; ++i, palette += 3) {
      const int distance = std::abs(red - palette[0]) +
                           std::abs(green - palette[1]) +
                           std::abs(blue - palette[2]);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    cache[key] = std::int16_t(best);
  }
  return cache[key];
}

int NearestGreyIndex(std::int16_t* cache, const Byte* greyPalette, int grey) {
  grey = std::clamp(grey, 0, int(kPngGreyCacheSize) - 1);
  if (cache[grey] < 0) {
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < kPngGreyLevels; ++i) {
      const int distance = std::abs(grey - greyPalette[i * 3]);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    cache[grey] = std::int16_t(best);
  }
  return cache[grey];
}

Cardinal PngAdler32(const void* data, std::size_t length) {
  // 3854 bytes is the longest run after which the second sum still fits a
  // signed 32-bit integer, so the sums are reduced once per run.
  constexpr Cardinal kBase = 65521;
  constexpr std::size_t kRun = 3854;
  const Byte* p = static_cast<const Byte*>(data);
  Cardinal a = 1, b = 0;
  while (length > 0) {
    const std::size_t run = std::min(length, kRun);
    for (std::size_t i = 0; i < run; ++i) {
      a += p[i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
    p += run;
    length -= run;
  }
  return b << 16 | a;
}

String BuildPng(int width, int height, const String& palette,
                const String& rows) {
  if (width <= 0 || height <= 0 ||
      rows.size() > std::size_t(std::numeric_limits<Integer>::max()) / 11) {
    return String();
  }
  std::vector<char> deflated(rows.size() * 11 / 10 + 12);
  const std::size_t packed =
      CompressBuffer(rows.data(), deflated.data(), rows.size(), deflated.size(),
                     kPngDeflateLevel);
  if (packed == 0) return String();

  String png("\x89PNG\r\n\x1a\n", 8);
  String header;
  PutBigEndian(header, Cardinal(width));
  PutBigEndian(header, Cardinal(height));
  header.push_back(palette.size() == kPngPaletteSize * 3 ? 8 : 4);
  header.push_back(3);     // palette colour
  header.append(3, '\0');  // deflate, adaptive filters, no interlace
  PutChunk(png, "IHDR", header.data(), header.size());
  if (!palette.empty()) PutChunk(png, "PLTE", palette.data(), palette.size());

  String idat;
  idat.reserve(packed + 6);
  idat.push_back('\x78');
  idat.push_back('\x01');
  idat.append(deflated.data(), packed);
  PutBigEndian(idat, PngAdler32(rows.data(), rows.size()));
  PutChunk(png, "IDAT", idat.data(), idat.size());
  PutChunk(png, "IEND", "", 0);
  return png;
}

String PixelsAsPng(const Byte* pixels, int width, int height, int mode) {
  if (!pixels) return String();
  // Grey rows are shorter, so colour rows bound both.
  if (!RowBytesFit(width, height, std::uint64_t(width) + 1)) return String();
  if (mode < kPngPalette || mode > kPngLimit300K) mode = kPngPalette;
  String result;
  if (mode != kPngGrey) result = ColourPng(pixels, width, height);
  static const std::size_t kLimit[] = {0, 0, 51200, 102400, 204800, 307200};
  if (mode == kPngGrey || result.empty() ||
      (mode >= kPngLimit50K && result.size() > kLimit[mode])) {
    String grey = GreyPng(pixels, width, height);
    if (result.empty() || (!grey.empty() && grey.size() < result.size())) {
      result = std::move(grey);
    }
  }
  return result;
}
