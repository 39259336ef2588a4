// Small helpers of the graphics tests: bitmaps to draw on and pixels read
// back from them.
#pragma once

#include <gtest/gtest.h>

#include "cxGraphics.h"

namespace cxgraphics_test {

// An RGB triple as read from a bitmap, printable in failures.
struct Pixel {
  int R = 0;
  int G = 0;
  int B = 0;
  int A = 0;
  friend bool operator==(const Pixel& a, const Pixel& b) {
    return a.R == b.R && a.G == b.G && a.B == b.B;
  }
  friend std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "rgb(" << p.R << "," << p.G << "," << p.B << " a" << p.A
              << ")";
  }
};

inline Pixel Rgb(int r, int g, int b) { return {r, g, b, 0}; }
inline Pixel FromColor(TColor c) {
  const Integer v = ColorToRGB(c);
  return {v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, 0};
}

// A bitmap filled with one colour.
inline TObjectPtr<TBitmap> MakeBitmap(Integer w, Integer h, TColor fill,
                                      TPixelFormat format = pf24bit) {
  TObjectPtr<TBitmap> result(cxCreateBitmap(w, h, format));
  result->Canvas()->Brush()->SetColor(fill);
  result->Canvas()->FillRect(Rect(0, 0, w, h));
  return result;
}

// The pixels of a bitmap, top row first.
class Pixels {
 public:
  explicit Pixels(TBitmap* bitmap)
      : width_(bitmap->Width()), colors_(GetBitmapBits(bitmap, true)) {}
  Pixel At(Integer x, Integer y) const {
    const RGBQUAD& q = colors_[static_cast<std::size_t>(y) * width_ + x];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue, q.rgbReserved};
  }
  int Alpha(Integer x, Integer y) const { return At(x, y).A; }

 private:
  Integer width_;
  TRGBColors colors_;
};

// Writes 32-bit pixels (top row first) into a bitmap.
inline void SetPixels(TBitmap* bitmap, const std::vector<RGBQUAD>& pixels) {
  TRGBColors colors = pixels;
  SetBitmapBits(bitmap, colors, true);
}

inline RGBQUAD Quad(int r, int g, int b, int a) {
  return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g),
                 static_cast<BYTE>(r), static_cast<BYTE>(a)};
}

// Runs a test with the msimg32 binding emptied, restoring it afterwards.
class WithoutMsimg32 {
 public:
  WithoutMsimg32() { cxSetMsimg32Binding(TcxMsimg32Binding{}); }
  ~WithoutMsimg32() { cxRestoreMsimg32Binding(); }
};

}  // namespace cxgraphics_test
