// PNG encoding rate of a 1920x1080 screenshot-like picture (window faces,
// text, title-bar gradients, icons and a photo) in every reduction mode,
// with the file sizes. The goal is 15 megapixels per second or more.
// Figures mean something only in an optimised build without sanitizers
// (-DCMAKE_BUILD_TYPE=Release).
//
//   png_encode [rounds]
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "PellorPng.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TCanvas {
  int Width, Height;
  std::vector<Byte> Bits;
  TCanvas(int w, int h) : Width(w), Height(h), Bits(std::size_t(w) * h * 4) {}
  void Set(int x, int y, int r, int g, int b) {
    Byte* p = &Bits[(std::size_t(Height - 1 - y) * Width + x) * 4];
    p[0] = Byte(b);
    p[1] = Byte(g);
    p[2] = Byte(r);
    p[3] = 0;
  }
  void Fill(int x0, int y0, int x1, int y1, int r, int g, int b) {
    for (int y = std::max(y0, 0); y < std::min(y1, Height); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, Width); ++x)
        Set(x, y, r, g, b);
  }
};

// Glyph-like strokes: a line of text made of 6x11 cells with 1-pixel stems
// and an anti-aliased grey edge, as ClearType-free text looks.
void Text(TCanvas& c, int x, int y, int length, std::mt19937& random) {
  for (int i = 0; i < length; ++i) {
    const unsigned shape = random();
    if (shape % 9 == 0) continue;  // a space
    const int gx = x + i * 7;
    for (int row = 0; row < 11; ++row)
      for (int col = 0; col < 6; ++col) {
        const bool stem =
            (col == 0 && (shape & 1)) || (col == 4 && (shape & 2)) ||
            (row == 0 && (shape & 4)) || (row == 5 && (shape & 8)) ||
            (row == 10 && (shape & 16));
        const bool edge = col == 5 && (shape & 1);
        if (stem)
          c.Set(gx + col, y + row, 0, 0, 0);
        else if (edge)
          c.Set(gx + col, y + row, 128, 128, 128);
      }
  }
}

TCanvas Screenshot() {
  TCanvas c(1920, 1080);
  std::mt19937 random(1);
  c.Fill(0, 0, 1920, 1080, 58, 110, 165);  // desktop
  struct Window {
    int X, Y, W, H;
  } windows[] = {
      {40, 30, 1100, 760}, {700, 200, 1150, 820}, {200, 500, 640, 420}};
  for (const Window& w : windows) {
    c.Fill(w.X, w.Y, w.X + w.W, w.Y + w.H, 236, 233, 216);  // face
    for (int y = 0; y < 28; ++y)                            // title gradient
      for (int x = 0; x < w.W; ++x)
        c.Set(w.X + x, w.Y + y, 10 + 156 * x / w.W, 36 + 166 * x / w.W,
              106 + 134 * x / w.W);
    Text(c, w.X + 8, w.Y + 8, 30, random);
    c.Fill(w.X + 10, w.Y + 60, w.X + w.W - 10, w.Y + w.H - 30, 255, 255, 255);
    for (int line = 0; line * 16 + 70 < w.H - 40; ++line)
      Text(c, w.X + 16, w.Y + 70 + line * 16, (w.W - 40) / 7, random);
    for (int i = 0; i < 12; ++i)  // toolbar icons
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          c.Set(w.X + 10 + i * 24 + x, w.Y + 36 + y, (i * 40 + x * 9) % 256,
                (i * 70 + y * 11) % 256, (x * y * 3) % 256);
  }
  // A photo in the third window: smooth shading with sensor noise.
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const int n = int(random() % 13) - 6;
      c.Set(300 + x, 580 + y, std::clamp(80 + x / 3 + n, 0, 255),
            std::clamp(120 + y / 4 + n, 0, 255),
            std::clamp(60 + (x + y) / 6 + n, 0, 255));
    }
  return c;
}

// The file size had the same rows been deflated at zlib's best level: the
// floor of what an unfiltered palette PNG of this picture can reach, and
// where the sizes of careful general-purpose encoders lie.
std::size_t SizeAtBestLevel(const String& png) {
  String idat;
  std::size_t at = 8, other = 8;
  while (at + 12 <= png.size()) {
    const std::size_t n = std::size_t(Byte(png[at])) << 24 |
                          std::size_t(Byte(png[at + 1])) << 16 |
                          std::size_t(Byte(png[at + 2])) << 8 |
                          std::size_t(Byte(png[at + 3]));
    if (png.compare(at + 4, 4, "IDAT") == 0) {
      idat.append(png, at + 8, n);
    } else {
      other += 12 + n;
    }
    at += 12 + n;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return 0;
  String rows;
  char buffer[1 << 16];
  z.next_in = reinterpret_cast<Bytef*>(idat.data());
  z.avail_in = uInt(idat.size());
  int status;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    rows.append(buffer, sizeof buffer - z.avail_out);
  } while (status == Z_OK);
  inflateEnd(&z);
  if (status != Z_STREAM_END) return 0;
  uLongf packed = compressBound(uLong(rows.size()));
  std::vector<Bytef> out(packed);
  if (compress2(out.data(), &packed,
                reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()),
                9) != Z_OK) {
    return 0;
  }
  return other + 12 + packed;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  if (rounds < 1) {
    std::fprintf(stderr, "usage: png_encode [rounds]\n");
    return 2;
  }
  const TCanvas shot = Screenshot();
  const double megapixels = shot.Width * double(shot.Height) / 1e6;
  std::printf("input: %dx%d screenshot-like picture, best of %d rounds\n",
              shot.Width, shot.Height, rounds);
  const char* names[] = {"0 palette",    "1 grey",       "2 limit 50K",
                         "3 limit 100K", "4 limit 200K", "5 limit 300K"};
  bool ok = true;
  for (int mode = 0; mode <= 5; ++mode) {
    double best = 1e9;
    std::size_t size = 0;
    String png;
    for (int r = 0; r < rounds; ++r) {
      const auto t0 = Clock::now();
      png = PixelsAsPng(shot.Bits.data(), shot.Width, shot.Height, mode);
      const double s = std::chrono::duration<double>(Clock::now() - t0).count();
      best = std::min(best, s);
      size = png.size();
    }
    const double rate = megapixels / best;
    ok = ok && size > 0 && rate >= 15.0;
    std::printf("mode %-13s %7.1f MP/s  %8zu bytes  (%zu at zlib level 9)%s\n",
                names[mode], rate, size, SizeAtBestLevel(png),
                rate >= 15.0 ? "" : "  (below 15 MP/s)");
  }
  std::printf("goal: 15 MP/s or more in every mode: %s\n",
              ok ? "met" : "MISSED");
  return 0;
}
