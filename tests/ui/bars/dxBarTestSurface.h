// A white 32-bit memory canvas for the pixel tests of the bar drawing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Handles.h"

namespace bar_test {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A white memory canvas of the given size.
class Surface {
 public:
  Surface(int width, int height)
      : dc_(::CreateCompatibleDC(nullptr)), width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits,
                                     nullptr, 0));
    select_ = std::make_unique<TSelectObject>(dc_.get(), bitmap_.get());
    RECT r{0, 0, width, height};
    ::FillRect(dc_.get(), &r,
               static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  HDC DC() const { return dc_.get(); }
  void Fill(const RECT& r, COLORREF color) {
    TBrushHandle brush(::CreateSolidBrush(color));
    ::FillRect(dc_.get(), &r, brush.get());
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }
  // The pixels that are not white, as "x,y" marks, row by row.
  std::vector<std::string> Marked() const {
    std::vector<std::string> result;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != kWhite)
          result.push_back(std::to_string(x) + "," + std::to_string(y));
    return result;
  }

 private:
  TOwnedDC dc_;
  TBitmapHandle bitmap_;
  std::unique_ptr<TSelectObject> select_;
  int width_;
  int height_;
};

inline COLORREF Sys(int index) { return ::GetSysColor(index); }

}  // namespace bar_test

using bar_test::kWhite;
using bar_test::Surface;
