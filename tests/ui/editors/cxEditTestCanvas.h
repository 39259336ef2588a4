// A bitmap with a TcxCanvas over it, for the editor painting tests that
// read back what was drawn.
#pragma once

#include <gtest/gtest.h>

#include "Graphics.h"
#include "WinApi.h"
#include "cxGraphics.h"

namespace edit_test {

// No routine under test draws this colour.
constexpr TColor kPaper = TColor(0x00123456);

class TTestCanvas {
 public:
  TTestCanvas(Integer w, Integer h, TColor fill = kPaper)
      : bitmap_(cxCreateBitmap(w, h, pf24bit)) {
    bitmap_->Canvas()->Brush()->SetColor(fill);
    bitmap_->Canvas()->FillRect(TRect{0, 0, w, h});
    canvas_.reset(new TcxCanvas(bitmap_->Canvas()));
  }

  TcxCanvas* Canvas() const { return canvas_.get(); }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  Integer Width() const { return bitmap_->Width(); }
  Integer Height() const { return bitmap_->Height(); }
  // The RGB value at a point.
  Integer At(Integer x, Integer y) const {
    return ColorToRGB(bitmap_->Canvas()->Pixels(x, y));
  }
  bool Is(Integer x, Integer y, TColor c) const {
    return At(x, y) == ColorToRGB(c);
  }
  // The run of pixels of colour c in a row: first column and count (-1, 0
  // when none); fails the test when the run has a gap.
  std::pair<Integer, Integer> Run(Integer y, TColor c) const {
    Integer first = -1;
    Integer count = 0;
    for (Integer x = 0; x < Width(); ++x) {
      if (!Is(x, y, c)) continue;
      if (first < 0) first = x;
      EXPECT_EQ(x, first + count) << "gap in row " << y;
      ++count;
    }
    return {first, count};
  }
  // The rows as text: '#' for colour c, '.' for anything else.
  std::string Picture(TColor c) const {
    std::string s;
    for (Integer y = 0; y < Height(); ++y) {
      for (Integer x = 0; x < Width(); ++x) s += Is(x, y, c) ? '#' : '.';
      s += '\n';
    }
    return s;
  }

 private:
  TObjectPtr<TBitmap> bitmap_;
  TObjectPtr<TcxCanvas> canvas_;
};

}  // namespace edit_test
