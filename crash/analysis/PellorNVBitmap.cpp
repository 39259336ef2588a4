#include "PellorNVBitmap.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "PellorPng.h"

namespace {

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpHeadersSize = kBmpFileHeaderSize + 40;

void PutLe32(String& s, std::size_t at, Cardinal v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// Writes data to a new or truncated file opened without sharing; a failed
// write leaves no partial file behind.
bool WriteWholeFile(const String& fileName, const String& data) {
  if (data.size() > std::numeric_limits<DWORD>::max()) return false;
  THandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  bool ok = WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()),
                      &written, nullptr) &&
            written == data.size();
  file.reset();
  if (!ok) ::DeleteFileA(fileName.c_str());
  return ok;
}

// ---------------------------------------------------------------------------
// Mitchell-Netravali resampling

struct TContributor {
  Integer index;
  Integer weight;  // 16.16
};
using TContributors = std::vector<std::vector<TContributor>>;

double Mitchell(double x) {
  if (x < 1.0) return (7.0 / 6.0) * x * x * x - 2.0 * x * x + 8.0 / 9.0;
  if (x < 2.0)
    return -(7.0 / 18.0) * x * x * x + 2.0 * x * x - (10.0 / 3.0) * x +
           16.0 / 9.0;
  return 0.0;
}

Integer Mirror(std::int64_t j, Integer size) {
  if (j < 0) j = -j;
  if (j >= size) j = 2 * std::int64_t{size} - j - 1;
  // Only for sizes so small that the filter reaches past both edges.
  if (j < 0) j = 0;
  if (j >= size) j = size - 1;
  return static_cast<Integer>(j);
}

TContributors BuildContributors(Integer source, Integer target) {
  TContributors lists(target);
  const std::int64_t s = source, t = target;
  if (target < source) {
    const float f = static_cast<float>(target) / static_cast<float>(source);
    for (Integer i = 0; i < target; ++i) {
      const std::int64_t lo = (s * (i - 2) - t + 1) / t;
      const std::int64_t hi = (s * (i + 2) + t - 1) / t;
      for (std::int64_t j = lo; j <= hi; ++j) {
        const double x =
            std::fabs(static_cast<float>(i) - static_cast<float>(j) * f);
        if (x >= 2.0) continue;
        lists[i].push_back(
            {Mirror(j, source),
             static_cast<Integer>(std::lround(Mitchell(x) * f * 65536.0))});
      }
    }
  } else {
    const float f = static_cast<float>(source) / static_cast<float>(target);
    for (Integer i = 0; i < target; ++i) {
      const float c = static_cast<float>(i) * f;
      const std::int64_t lo = (s * i - 3 * t + 1) / t;
      const std::int64_t hi = (s * i + 3 * t - 1) / t;
      for (std::int64_t j = lo; j <= hi; ++j) {
        const double x = std::fabs(c - static_cast<float>(j));
        if (x >= 2.0) continue;
        lists[i].push_back({Mirror(j, source), static_cast<Integer>(std::lround(
                                                   Mitchell(x) * 65536.0))});
      }
    }
  }
  return lists;
}

Byte Clamp16(std::int64_t sum) {
  if (sum < 0) return 0;
  if (sum > 0xFF0000) return 255;
  return static_cast<Byte>(sum >> 16);
}

}  // namespace

// ---------------------------------------------------------------------------

bool CreateDibCanvas(Integer width, Integer height, TDibCanvas& canvas) {
  canvas = TDibCanvas{};
  if (width < 1 || height < 1) return false;
  const std::int64_t bytes = std::int64_t{width} * height * 4;
  if (bytes > std::numeric_limits<Integer>::max() - kBmpHeadersSize)
    return false;
  BITMAPINFOHEADER& h = canvas.header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(bytes);
  canvas.dc.reset(CreateCompatibleDC(nullptr));
  if (!canvas.dc) return false;
  void* bits = nullptr;
  BITMAPINFO info{};
  info.bmiHeader = h;
  canvas.dib.reset(CreateDIBSection(canvas.dc.get(), &info, DIB_RGB_COLORS,
                                    &bits, nullptr, 0));
  if (!canvas.dib || !bits) {
    ReleaseDibCanvas(canvas);
    return false;
  }
  canvas.pixels = static_cast<Byte*>(bits);
  canvas.previous = SelectObject(canvas.dc.get(), canvas.dib.get());
  return true;
}

void ReleaseDibCanvas(TDibCanvas& canvas) { canvas = TDibCanvas{}; }

TINVBitmap::TINVBitmap(TDibCanvas&& canvas) : canvas_(std::move(canvas)) {}

TINVBitmap::~TINVBitmap() = default;

void* TINVBitmap::GetInterfaceFor(const TGUID& iid) {
  if (iid == INVBitmap::IID) return static_cast<INVBitmap*>(this);
  if (iid == IInterface::IID)
    return static_cast<IInterface*>(static_cast<INVBitmap*>(this));
  return TInterfacedObject::GetInterfaceFor(iid);
}

Integer TINVBitmap::Width() { return canvas_.header.biWidth; }

Integer TINVBitmap::Height() { return canvas_.header.biHeight; }

bool TINVBitmap::DrawAt(HDC dc, Integer x, Integer y) {
  return BitBlt(dc, x, y, Width(), Height(), canvas_.dc.get(), 0, 0, SRCCOPY) !=
         0;
}

String TINVBitmap::AsBmp() {
  try {
    const std::size_t image = canvas_.header.biSizeImage;
    String bmp(kBmpHeadersSize + image, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLe32(bmp, 2, static_cast<Cardinal>(bmp.size()));
    PutLe32(bmp, 10, kBmpHeadersSize);
    std::memcpy(&bmp[kBmpFileHeaderSize], &canvas_.header,
                sizeof(BITMAPINFOHEADER));
    GdiFlush();  // pending drawing into the section must land first
    std::memcpy(&bmp[kBmpHeadersSize], canvas_.pixels, image);
    return bmp;
  } catch (...) {
    return String();
  }
}

String TINVBitmap::AsPng(Byte mode) {
  GdiFlush();  // pending drawing into the section must land first
  // The encoder only reads the pixels: a grey attempt that loses to the
  // colour file must not leave the screenshot grey.
  return PixelsAsPng(canvas_.pixels, Width(), Height(), mode);
}

bool TINVBitmap::WriteBmpFile(const String& fileName) {
  const String bmp = AsBmp();
  if (bmp.empty()) return false;
  return WriteWholeFile(fileName, bmp);
}

bool TINVBitmap::WritePngFile(const String& fileName, Byte mode) {
  const String png = AsPng(mode);
  if (png.empty()) return false;
  return WriteWholeFile(fileName, png);
}

PNVBitmap TINVBitmap::ZoomTo(Integer width, Integer height) {
  try {
    if (width < 1 || height < 1) return nullptr;
    const std::int64_t W = Width(), H = Height();
    std::int64_t w = width, h = height;
    const std::int64_t hFit = H * w / W;
    const std::int64_t wFit = W * h / H;
    if (h < hFit || w < wFit) {
      if ((W * 65536) / w > (H * 65536) / h)
        h = hFit;
      else
        w = wFit;
    }
    if (w < 1 || h < 1 || w > std::numeric_limits<Integer>::max() ||
        h > std::numeric_limits<Integer>::max())
      return nullptr;
    TDibCanvas target;
    if (!CreateDibCanvas(static_cast<Integer>(w), static_cast<Integer>(h),
                         target))
      return nullptr;
    GdiFlush();
    ResampleMitchell(Width(), Height(), static_cast<Integer>(w),
                     static_cast<Integer>(h), canvas_.pixels, target.pixels);
    return AdoptDibCanvas(target);
  } catch (...) {
    return nullptr;
  }
}

PNVBitmap NewNVBitmap(Integer width, Integer height) {
  TDibCanvas canvas;
  if (!CreateDibCanvas(width, height, canvas)) return nullptr;
  return AdoptDibCanvas(canvas);
}

PNVBitmap AdoptDibCanvas(TDibCanvas& canvas) {
  try {
    return PNVBitmap(new TINVBitmap(std::move(canvas)));
  } catch (...) {
    ReleaseDibCanvas(canvas);
    return nullptr;
  }
}

void ResampleMitchell(Integer sourceWidth, Integer sourceHeight,
                      Integer targetWidth, Integer targetHeight,
                      const Byte* source, Byte* target) {
  if (sourceWidth < 1 || sourceHeight < 1 || targetWidth < 1 ||
      targetHeight < 1)
    return;
  const TContributors columns = BuildContributors(sourceWidth, targetWidth);
  const TContributors rows = BuildContributors(sourceHeight, targetHeight);
  std::vector<Byte> column(std::size_t(sourceHeight) * 3);
  const std::size_t sourceStride = std::size_t(sourceWidth) * 4;
  const std::size_t targetStride = std::size_t(targetWidth) * 4;
  for (Integer i = 0; i < targetWidth; ++i) {
    for (Integer y = 0; y < sourceHeight; ++y) {
      const Byte* row = source + y * sourceStride;
      std::int64_t sum[3] = {0, 0, 0};
      for (const TContributor& c : columns[i]) {
        const Byte* p = row + std::size_t(c.index) * 4;
        for (int k = 0; k < 3; ++k) sum[k] += std::int64_t{c.weight} * p[k];
      }
      for (int k = 0; k < 3; ++k)
        column[std::size_t(y) * 3 + k] = Clamp16(sum[k]);
    }
    for (Integer j = 0; j < targetHeight; ++j) {
      std::int64_t sum[3] = {0, 0, 0};
      for (const TContributor& c : rows[j]) {
        const Byte* p = &column[std::size_t(c.index) * 3];
        for (int k = 0; k < 3; ++k) sum[k] += std::int64_t{c.weight} * p[k];
      }
      Byte* out = target + j * targetStride + std::size_t(i) * 4;
      for (int k = 0; k < 3; ++k) out[k] = Clamp16(sum[k]);
    }
  }
}
