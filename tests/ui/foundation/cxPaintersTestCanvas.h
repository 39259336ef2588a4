// A bitmap with a TcxCanvas over it, for painter tests that read back the
// pixels a painter drew.
#pragma once

#include <gtest/gtest.h>

#include "cxGraphics.h"
#include "cxGraphicsTestSupport.h"
#include "cxLookAndFeelPainters.h"

namespace painters_test {

using cxgraphics_test::FromColor;
using cxgraphics_test::Pixel;

// The colour every test canvas starts with; no painter draws it.
constexpr TColor kPaper = TColor(0x00123456);

class TTestCanvas {
 public:
  TTestCanvas(Integer w, Integer h, TColor fill = kPaper)
      : bitmap_(cxgraphics_test::MakeBitmap(w, h, fill)),
        canvas_(new TcxCanvas(bitmap_->Canvas())) {}

  TcxCanvas* Canvas() const { return canvas_.get(); }
  TRect Bounds() const {
    return TRect{0, 0, bitmap_->Width(), bitmap_->Height()};
  }
  Pixel At(Integer x, Integer y) const {
    return FromColor(bitmap_->Canvas()->Pixels(x, y));
  }
  TBitmap* Bitmap() const { return bitmap_.get(); }

 private:
  TObjectPtr<TBitmap> bitmap_;
  TObjectPtr<TcxCanvas> canvas_;
};

template <class T>
TcxLookAndFeelPainterClass P() {
  return cxPainterInstance<T>();
}

}  // namespace painters_test
