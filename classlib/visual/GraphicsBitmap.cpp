// TGraphic and TBitmap: bitmaps on DIB sections, the BMP file format and
// the bitmap's canvas.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

#include "FormStreams.h"
#include "Graphics.h"
#include "Resources.h"

// ---------------------------------------------------------------------------
// TGraphic
// ---------------------------------------------------------------------------

void TGraphic::SetSize(Integer AWidth, Integer AHeight) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TGraphic::SetModified(bool Value) {
  if (Value) {
    Changed(this);
  } else {
    modified_ = false;
  }
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  Changed(this);
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream mine;
  TMemoryStream theirs;
  SaveToStream(&mine);
  Graphic->SaveToStream(&theirs);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(),
                     static_cast<std::size_t>(mine.Size())) == 0;
}

void TGraphic::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty("Data", TStreamProc(this, &TGraphic::ReadData),
                              TStreamProc(this, &TGraphic::WriteData),
                              !Empty());
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }
void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

// ---------------------------------------------------------------------------
// TBitmapCanvas: a memory device context with the bitmap selected
// ---------------------------------------------------------------------------

class TBitmapCanvas : public TCanvas {
  VARNEL_CLASS(TBitmapCanvas, TCanvas)
 public:
  explicit TBitmapCanvas(TBitmap* ABitmap = nullptr) : bitmap_(ABitmap) {}
  ~TBitmapCanvas() override { FreeContext(true); }

  // Releases the device context. Unless Wait, gives up when another thread
  // draws right now.
  void FreeContext(bool Wait = false) {
    if (!HandleAllocated()) return;
    if (Wait) {
      CanvasLock().lock();
    } else if (!CanvasLock().try_lock()) {
      return;
    }
    std::unique_lock<std::recursive_mutex> lock(CanvasLock(), std::adopt_lock);
    const TOwnedDC dc(Handle());
    SetHandle(nullptr);
    selected_.reset();
  }

 protected:
  void CreateHandle() override {
    TOwnedDC dc(CreateCompatibleDC(nullptr));
    if (!dc) throw EOutOfMemory("Out of system resources");
    if (bitmap_ && bitmap_->handle_) {
      selected_.emplace(dc.get(), bitmap_->handle_.get());
    }
    SetHandle(dc.release());
  }

 private:
  TBitmap* bitmap_;
  std::optional<TSelectObject> selected_;
};

// ---------------------------------------------------------------------------
// DIB helpers
// ---------------------------------------------------------------------------

namespace graphics_detail {
// Everything that describes a DIB apart from its size and pixels.
struct TDIBFormat {
  Integer Bpp = 32;
  DWORD Compression = BI_RGB;
  DWORD Masks[3] = {0, 0, 0};
  std::vector<RGBQUAD> Colors;
};
}  // namespace graphics_detail

using graphics_detail::TDIBFormat;

namespace {

constexpr std::size_t kMaxImageBytes = std::size_t{1} << 28;

Integer BitsOf(TPixelFormat f) {
  switch (f) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

std::size_t StrideOf(Integer width, Integer bpp) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bpp) +
           31) /
          32) *
         4;
}

RGBQUAD Quad(Byte r, Byte g, Byte b) {
  RGBQUAD q{};
  q.rgbRed = r;
  q.rgbGreen = g;
  q.rgbBlue = b;
  return q;
}

// The colour table a new bitmap of a palette format starts with.
std::vector<RGBQUAD> DefaultColors(Integer bpp) {
  static const Byte vga[16][3] = {
      {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
      {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
      {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
      {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<RGBQUAD> colors;
  if (bpp == 1) {
    colors = {Quad(0, 0, 0), Quad(255, 255, 255)};
  } else if (bpp == 4 || bpp == 8) {
    for (const auto& c : vga) colors.push_back(Quad(c[0], c[1], c[2]));
    if (bpp == 8) {
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            colors.push_back(Quad(static_cast<Byte>(r * 51),
                                  static_cast<Byte>(g * 51),
                                  static_cast<Byte>(b * 51)));
      for (int i = 0; colors.size() < 256; ++i) {
        const Byte v = static_cast<Byte>(8 + i * 10);
        colors.push_back(Quad(v, v, v));
      }
    }
  }
  return colors;
}

TDIBFormat FormatFor(TPixelFormat f) {
  TDIBFormat d;
  d.Bpp = BitsOf(f);
  d.Colors = DefaultColors(d.Bpp);
  if (f == pf16bit) {
    d.Compression = BI_BITFIELDS;
    d.Masks[0] = 0xF800;
    d.Masks[1] = 0x07E0;
    d.Masks[2] = 0x001F;
  }
  return d;
}

TPixelFormat PixelFormatOf(const TDIBFormat& d) {
  switch (d.Bpp) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      if (d.Compression == BI_RGB ||
          (d.Masks[0] == 0x7C00 && d.Masks[1] == 0x03E0 &&
           d.Masks[2] == 0x001F)) {
        return pf15bit;
      }
      if (d.Masks[0] == 0xF800 && d.Masks[1] == 0x07E0 &&
          d.Masks[2] == 0x001F) {
        return pf16bit;
      }
      return pfCustom;
    case 24:
      return pf24bit;
    default:
      if (d.Compression == BI_RGB ||
          (d.Masks[0] == 0xFF0000 && d.Masks[1] == 0xFF00 &&
           d.Masks[2] == 0xFF)) {
        return pf32bit;
      }
      return pfCustom;
  }
}

// A BITMAPINFO with room for masks or a full colour table.
struct TBitmapInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Extra[256];
};

void FillInfo(TBitmapInfo& info, Integer width, Integer height,
              const TDIBFormat& d) {
  std::memset(&info, 0, sizeof info);
  info.Header.biSize = sizeof(BITMAPINFOHEADER);
  info.Header.biWidth = width;
  info.Header.biHeight = height;
  info.Header.biPlanes = 1;
  info.Header.biBitCount = static_cast<WORD>(d.Bpp);
  info.Header.biCompression = d.Compression;
  if (d.Compression == BI_BITFIELDS) {
    std::memcpy(info.Extra, d.Masks, sizeof d.Masks);
  } else if (!d.Colors.empty()) {
    info.Header.biClrUsed = static_cast<DWORD>(d.Colors.size());
    std::copy(d.Colors.begin(), d.Colors.end(), info.Extra);
  }
}

template <class T>
T ReadAt(const Byte* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

[[noreturn]] void Corrupt(const char* what) {
  throw EInvalidGraphic(String("Bitmap image is not valid: ") + what);
}

}  // namespace

namespace {

// The pixel format of a DIB that matches the screen.
TPixelFormat ScreenPixelFormat() {
  TWindowDC dc(nullptr);
  const int bpp = dc ? GetDeviceCaps(dc.get(), BITSPIXEL) : 32;
  switch (bpp) {
    case 8:
      return pf8bit;
    case 15:
      return pf15bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

void CheckImageSize(Integer width, Integer height, Integer bpp) {
  if (StrideOf(width, bpp) * static_cast<UInt64>(height) > kMaxImageBytes) {
    throw EInvalidGraphicOperation("Bitmap too large (%d x %d)",
                                   {width, height});
  }
}

// A bottom-up DIB section of the format.
HBITMAP CreateDIB(Integer width, Integer height, const TDIBFormat& format,
                  void** bits) {
  CheckImageSize(width, height, format.Bpp);
  TBitmapInfo info;
  FillInfo(info, width, height, format);
  HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                               DIB_RGB_COLORS, bits, nullptr, 0);
  if (!h) throw EOutOfMemory("Out of system resources");
  return h;
}

}  // namespace

TBitmap::TBitmap() : format_(new TDIBFormat(FormatFor(pfDevice))) {}

TBitmap::~TBitmap() {
  // The canvas's context lets go of the bitmap before it is deleted.
  canvas_.reset();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    canvas_.reset(new TBitmapCanvas(this));
    canvas_->OnChange = TNotifyEvent(this, &TBitmap::Changed);
  }
  return canvas_.get();
}

void TBitmap::FreeContext() {
  if (canvas_) canvas_->FreeContext();
}

bool TBitmap::Empty() { return !handle_; }

void TBitmap::Changed(TObject* Sender) {
  mask_.reset();
  TGraphic::Changed(Sender);
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  return handle_.get();
}

void TBitmap::ReplaceHandle(HBITMAP Value) {
  // The old bitmap must leave the canvas's context before it is deleted.
  if (canvas_) canvas_->FreeContext(true);
  mask_.reset();
  handle_.reset(Value);
  bits_ = nullptr;
}

void TBitmap::ReadFromHandle() {
  width_ = height_ = 0;
  bits_ = nullptr;
  topDown_ = false;
  if (!handle_) return;
  DIBSECTION ds{};
  const int got = GetObjectA(handle_.get(), sizeof ds, &ds);
  if (got == static_cast<int>(sizeof(DIBSECTION)) && ds.dsBm.bmBits) {
    handleType_ = bmDIB;
    width_ = ds.dsBmih.biWidth;
    height_ = std::abs(ds.dsBmih.biHeight);
    topDown_ = ds.dsBmih.biHeight < 0;
    bits_ = ds.dsBm.bmBits;
    TDIBFormat f;
    f.Bpp = ds.dsBmih.biBitCount;
    f.Compression = ds.dsBmih.biCompression;
    if (f.Compression == BI_BITFIELDS) {
      std::memcpy(f.Masks, ds.dsBitfields, sizeof f.Masks);
    }
    if (f.Bpp <= 8) {
      RGBQUAD colors[256];
      TOwnedDC dc(CreateCompatibleDC(nullptr));
      TSelectObject select(dc.get(), handle_.get());
      const UINT n = GetDIBColorTable(dc.get(), 0, 256, colors);
      f.Colors.assign(colors, colors + n);
    }
    *format_ = f;
    pixelFormat_ = PixelFormatOf(f);
  } else if (got >= static_cast<int>(sizeof(BITMAP))) {
    handleType_ = bmDDB;
    width_ = ds.dsBm.bmWidth;
    height_ = ds.dsBm.bmHeight;
    pixelFormat_ = ds.dsBm.bmBitsPixel == 1 ? pf1bit : pfDevice;
  } else {
    // Not a bitmap: nothing of ours to delete.
    (void)handle_.release();
    throw EInvalidGraphic("Invalid bitmap handle");
  }
}

void TBitmap::NewImage(Integer AWidth, Integer AHeight, TPixelFormat Format,
                       TBitmapHandleType Type) {
  if (AWidth <= 0 || AHeight <= 0) {
    ReplaceHandle(nullptr);
    width_ = std::max(AWidth, 0);
    height_ = std::max(AHeight, 0);
    pixelFormat_ = Format;
    handleType_ = Type;
    if (Format != pixelFormat_ || Type == bmDDB) *format_ = FormatFor(Format);
    return;
  }
  TBitmapHandle image;
  if (Type == bmDDB) {
    CheckImageSize(AWidth, AHeight, 32);
    if (Format == pf1bit) {
      image.reset(CreateBitmap(AWidth, AHeight, 1, 1, nullptr));
    } else {
      TWindowDC screen(nullptr);
      image.reset(CreateCompatibleBitmap(screen.get(), AWidth, AHeight));
    }
    if (!image) throw EOutOfMemory("Out of system resources");
  } else {
    if (Format == pfDevice) Format = ScreenPixelFormat();
    // The same format keeps its colour table and masks.
    const TDIBFormat format =
        handle_ && handleType_ == bmDIB && Format == pixelFormat_
            ? *format_
            : FormatFor(Format);
    void* bits = nullptr;
    image.reset(CreateDIB(AWidth, AHeight, format, &bits));
  }
  {
    // New area white, the old image copied over it.
    TOwnedDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.get(), image.get());
    PatBlt(dc.get(), 0, 0, AWidth, AHeight, WHITENESS);
    if (handle_) {
      HDC src = Canvas()->Handle();
      BitBlt(dc.get(), 0, 0, std::min(AWidth, width_),
             std::min(AHeight, height_), src, 0, 0, SRCCOPY);
    }
  }
  ReplaceHandle(image.release());
  ReadFromHandle();
}

void TBitmap::SetWidth(Integer Value) { SetSize(Value, height_); }
void TBitmap::SetHeight(Integer Value) { SetSize(width_, Value); }

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == width_ && AHeight == height_) return;
  NewImage(AWidth, AHeight, pixelFormat_, handleType_);
  Changed(this);
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == handle_.get()) return;
  ReplaceHandle(Value);
  ReadFromHandle();
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  if (canvas_) canvas_->FreeContext(true);
  HBITMAP h = handle_.release();
  ReplaceHandle(nullptr);
  width_ = height_ = 0;
  Changed(this);
  return h;
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == handleType_) return;
  const TPixelFormat format = Value == bmDDB             ? pfDevice
                              : pixelFormat_ == pfDevice ? ScreenPixelFormat()
                                                         : pixelFormat_;
  NewImage(width_, height_, format, Value);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pixelFormat_) return;
  if (Value > pf32bit) throw EInvalidGraphic("Invalid pixel format");
  NewImage(width_, height_, Value, Value == pfDevice ? bmDDB : bmDIB);
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value) {
    SetPixelFormat(pf1bit);
  } else if (pixelFormat_ == pf1bit) {
    SetPixelFormat(pfDevice);
  }
}

void* TBitmap::ScanLine(Integer Row) {
  if (Row < 0 || Row >= height_ || !handle_) {
    throw EInvalidGraphicOperation("Scan line index out of range");
  }
  if (handleType_ == bmDDB) SetHandleType(bmDIB);
  GdiFlush();
  const std::size_t stride = StrideOf(width_, format_->Bpp);
  const Integer line = topDown_ ? Row : height_ - 1 - Row;
  return static_cast<Byte*>(bits_) + stride * static_cast<std::size_t>(line);
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) {
    return transparentColor_;
  }
  if (Empty()) return clDefault;
  return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == transparentColor_ &&
      transparentMode_ == (Value == clDefault ? tmAuto : tmFixed)) {
    return;
  }
  transparentColor_ = Value;
  transparentMode_ = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == transparentMode_) return;
  if (Value == tmAuto) {
    SetTransparentColor(clDefault);
  } else {
    SetTransparentColor(TransparentColor());
  }
}

HBITMAP TBitmap::MaskHandle() {
  if (mask_ || !handle_) return mask_.get();
  TBitmapHandle mask(CreateBitmap(width_, height_, 1, 1, nullptr));
  if (!mask) throw EOutOfMemory("Out of system resources");
  const COLORREF key = static_cast<COLORREF>(ColorToRGB(TransparentColor()));
  HDC src = Canvas()->Handle();
  {
    TOwnedDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.get(), mask.get());
    const COLORREF oldBk = SetBkColor(src, key);
    BitBlt(dc.get(), 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
  }
  mask_ = std::move(mask);
  return mask_.get();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!handle_) return;
  HDC dst = ACanvas->Handle();
  HDC src = Canvas()->Handle();
  if (Transparent()) {
    TransparentBlt(
        dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0,
        width_, height_,
        static_cast<UINT>(ColorToRGB(TransparentColor())) & 0xFFFFFF);
    return;
  }
  const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
  StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0,
             width_, height_, static_cast<DWORD>(ACanvas->CopyMode()));
  SetStretchBltMode(dst, oldMode);
}

void TBitmap::Assign(TPersistent* Source) {
  auto* b = dynamic_cast<TBitmap*>(Source);
  if (!Source || b) {
    if (b == this) return;
    if (!b || b->Empty()) {
      ReplaceHandle(nullptr);
      width_ = b ? b->width_ : 0;
      height_ = b ? b->height_ : 0;
      pixelFormat_ = b ? b->pixelFormat_ : pfDevice;
      handleType_ = b ? b->handleType_ : bmDDB;
      *format_ = b ? *b->format_ : FormatFor(pfDevice);
    } else {
      TBitmapHandle image;
      if (b->handleType_ == bmDIB) {
        void* bits = nullptr;
        image.reset(CreateDIB(b->width_, b->height_, *b->format_, &bits));
        GdiFlush();
        const std::size_t stride = StrideOf(b->width_, b->format_->Bpp);
        for (Integer y = 0; y < b->height_; ++y) {
          const Integer from = b->topDown_ ? b->height_ - 1 - y : y;
          std::memcpy(static_cast<Byte*>(bits) + stride * y,
                      static_cast<const Byte*>(b->bits_) + stride * from,
                      stride);
        }
      } else {
        TWindowDC screen(nullptr);
        image.reset(
            b->pixelFormat_ == pf1bit
                ? CreateBitmap(b->width_, b->height_, 1, 1, nullptr)
                : CreateCompatibleBitmap(screen.get(), b->width_, b->height_));
        if (!image) throw EOutOfMemory("Out of system resources");
        TOwnedDC dc(CreateCompatibleDC(nullptr));
        TSelectObject select(dc.get(), image.get());
        BitBlt(dc.get(), 0, 0, b->width_, b->height_, b->Canvas()->Handle(), 0,
               0, SRCCOPY);
      }
      ReplaceHandle(image.release());
      ReadFromHandle();
    }
    if (b) {
      transparentColor_ = b->transparentColor_;
      transparentMode_ = b->transparentMode_;
      TGraphic::SetTransparent(b->Transparent());
    }
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

// ---------------------------------------------------------------------------
// The BMP format
// ---------------------------------------------------------------------------

void TBitmap::LoadPackedDIB(const Byte* Data, std::size_t Size) {
  if (Size < 12) Corrupt("header too short");
  const DWORD headerSize = ReadAt<DWORD>(Data);
  UInt64 width = 0;
  Int64 height = 0;
  Integer bpp = 0;
  TDIBFormat format;
  UInt64 colorCount = 0;
  UInt64 entrySize = 4;
  UInt64 tableStart = headerSize;
  if (headerSize == 12) {
    width = ReadAt<WORD>(Data + 4);
    height = ReadAt<WORD>(Data + 6);
    bpp = ReadAt<WORD>(Data + 10);
    entrySize = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 ||
             headerSize == 108 || headerSize == 124) {
    if (Size < headerSize) Corrupt("header too short");
    const Int64 w = ReadAt<LONG>(Data + 4);
    if (w <= 0) Corrupt("width");
    width = static_cast<UInt64>(w);
    height = ReadAt<LONG>(Data + 8);
    bpp = ReadAt<WORD>(Data + 14);
    format.Compression = ReadAt<DWORD>(Data + 16);
    colorCount = ReadAt<DWORD>(Data + 32);
    if (format.Compression == BI_BITFIELDS) {
      if (headerSize == 40) {
        if (Size < 52) Corrupt("colour masks missing");
        tableStart += 12;
      }
      std::memcpy(format.Masks, Data + 40, sizeof format.Masks);
    }
  } else {
    Corrupt("unknown header");
  }
  format.Bpp = bpp;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    Corrupt("bits per pixel");
  }
  if (format.Compression != BI_RGB &&
      !(format.Compression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) {
    Corrupt("unsupported compression");
  }
  if (format.Compression == BI_BITFIELDS &&
      (!format.Masks[0] || !format.Masks[1] || !format.Masks[2])) {
    Corrupt("colour masks");
  }
  const UInt64 rows =
      height < 0 ? static_cast<UInt64>(-height) : static_cast<UInt64>(height);
  if (width == 0 || rows == 0 || width > 0x7FFF'FFFF || rows > 0x7FFF'FFFF) {
    Corrupt("size");
  }
  if (bpp <= 8) {
    if (colorCount == 0) colorCount = UInt64{1} << bpp;
    if (colorCount > 256) Corrupt("colour table");
  }
  const UInt64 bitsStart = tableStart + colorCount * entrySize;
  const UInt64 stride = StrideOf(static_cast<Integer>(width), bpp);
  if (stride * rows > kMaxImageBytes) Corrupt("image too large");
  if (bitsStart > Size || stride * rows > Size - bitsStart) {
    Corrupt("pixel data truncated");
  }
  if (bpp <= 8) {
    const UInt64 used = std::min<UInt64>(colorCount, UInt64{1} << bpp);
    for (UInt64 i = 0; i < used; ++i) {
      const Byte* e = Data + tableStart + i * entrySize;
      format.Colors.push_back(Quad(e[2], e[1], e[0]));
    }
  }
  void* bits = nullptr;
  HBITMAP image = CreateDIB(static_cast<Integer>(width),
                            static_cast<Integer>(rows), format, &bits);
  for (UInt64 y = 0; y < rows; ++y) {
    const UInt64 from = height < 0 ? rows - 1 - y : y;
    std::memcpy(static_cast<Byte*>(bits) + stride * y,
                Data + bitsStart + stride * from, stride);
  }
  ReplaceHandle(image);
  ReadFromHandle();
  Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) {
  // Reads just the bitmap: whatever follows it in the stream stays unread.
  auto readExactly = [Stream](void* buffer, UInt64 count) {
    if (count > kMaxImageBytes + 4096 ||
        Stream->Read(buffer, static_cast<Integer>(count)) !=
            static_cast<Integer>(count)) {
      Corrupt("stream too short");
    }
  };
  Byte fileHeader[14];
  readExactly(fileHeader, sizeof fileHeader);
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') Corrupt("not a bitmap");
  const DWORD offBits = ReadAt<DWORD>(fileHeader + 10);
  std::vector<Byte> dib(4);
  readExactly(dib.data(), 4);
  const DWORD headerSize = ReadAt<DWORD>(dib.data());
  if (headerSize < 12 || headerSize > 124) Corrupt("unknown header");
  dib.resize(headerSize);
  readExactly(dib.data() + 4, headerSize - 4);
  // How much colour table and pixel data the header announces; the packed
  // reader checks it all again.
  UInt64 table = 0;
  UInt64 image = 0;
  if (headerSize == 12) {
    const Integer bpp = ReadAt<WORD>(dib.data() + 10);
    table = bpp <= 8 ? (UInt64{1} << bpp) * 3 : 0;
    image = StrideOf(ReadAt<WORD>(dib.data() + 4), bpp) *
            UInt64{ReadAt<WORD>(dib.data() + 6)};
  } else if (headerSize >= 40) {
    const Int64 w = ReadAt<LONG>(dib.data() + 4);
    const Int64 h = ReadAt<LONG>(dib.data() + 8);
    const Integer bpp = ReadAt<WORD>(dib.data() + 14);
    const DWORD compression = ReadAt<DWORD>(dib.data() + 16);
    UInt64 colors = ReadAt<DWORD>(dib.data() + 32);
    if (bpp <= 8 && colors == 0) colors = UInt64{1} << bpp;
    if (colors > 256 && bpp <= 8) Corrupt("colour table");
    if (colors > 0x10000) Corrupt("colour table");
    table = colors * 4;
    if (compression == BI_BITFIELDS && headerSize == 40) table += 12;
    if (w <= 0 || h == 0 || bpp > 32 || bpp == 0) Corrupt("size");
    const UInt64 rows =
        h < 0 ? static_cast<UInt64>(-h) : static_cast<UInt64>(h);
    if (w > 0x7FFFFFFF || rows > 0x7FFFFFFF) Corrupt("size");
    image = StrideOf(static_cast<Integer>(w), bpp) * rows;
  } else {
    Corrupt("unknown header");
  }
  if (image > kMaxImageBytes) Corrupt("image too large");
  const UInt64 before = headerSize + table;
  dib.resize(static_cast<std::size_t>(before));
  readExactly(dib.data() + headerSize, table);
  // Pixels start at offBits (0 from some writers means "right after").
  if (offBits != 0) {
    if (offBits < 14 + before) Corrupt("pixel offset");
    UInt64 gap = offBits - 14 - before;
    if (gap > 0x10000) Corrupt("pixel offset");
    std::vector<Byte> skip(static_cast<std::size_t>(gap));
    readExactly(skip.data(), gap);
  }
  dib.resize(static_cast<std::size_t>(before + image));
  readExactly(dib.data() + before, image);
  LoadPackedDIB(dib.data(), dib.size());
}

std::vector<Byte> TBitmap::SavePackedDIB(std::size_t& BitsOffset) {
  TDIBFormat format = *format_;
  if (handleType_ == bmDDB) {
    format = FormatFor(pixelFormat_ == pf1bit ? pf1bit : pf24bit);
  }
  TBitmapInfo info;
  FillInfo(info, width_, height_, format);
  const std::size_t table =
      format.Compression == BI_BITFIELDS ? 12 : format.Colors.size() * 4;
  const std::size_t stride = StrideOf(width_, format.Bpp);
  const std::size_t image = stride * static_cast<std::size_t>(height_);
  info.Header.biSizeImage = static_cast<DWORD>(image);
  std::vector<Byte> out(sizeof(BITMAPINFOHEADER) + table + image);
  BitsOffset = sizeof(BITMAPINFOHEADER) + table;
  Byte* pixels = out.data() + BitsOffset;
  if (handleType_ == bmDDB) {
    HBITMAP h = Handle();
    TWindowDC screen(nullptr);
    GetDIBits(screen.get(), h, 0, static_cast<UINT>(height_), pixels,
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    // GetDIBits fills in the table it used.
    format.Colors.assign(info.Extra, info.Extra + format.Colors.size());
  } else {
    GdiFlush();
    for (Integer y = 0; y < height_; ++y) {
      const Integer from = topDown_ ? height_ - 1 - y : y;
      std::memcpy(pixels + stride * y,
                  static_cast<const Byte*>(bits_) + stride * from, stride);
    }
  }
  info.Header.biClrUsed = static_cast<DWORD>(format.Colors.size());
  std::memcpy(out.data(), &info.Header, sizeof info.Header);
  std::memcpy(out.data() + sizeof info.Header, info.Extra, table);
  return out;
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  std::size_t bitsOffset = 0;
  const std::vector<Byte> dib = SavePackedDIB(bitsOffset);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;  // "BM"
  fh.bfSize = static_cast<DWORD>(sizeof fh + dib.size());
  fh.bfOffBits = static_cast<DWORD>(sizeof fh + bitsOffset);
  Stream->WriteBuffer(&fh, sizeof fh);
  Stream->WriteBuffer(dib.data(), static_cast<Integer>(dib.size()));
}

void TBitmap::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof size);
  if (size <= 0) {
    Assign(nullptr);
    return;
  }
  const Int64 start = Stream->Position();
  LoadFromStream(Stream);
  // Skip whatever the stored block holds beyond the bitmap.
  Stream->SetPosition(start + size);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream data;
  SaveToStream(&data);
  const Integer size = static_cast<Integer>(data.Size());
  Stream->WriteBuffer(&size, sizeof size);
  if (size > 0) Stream->WriteBuffer(data.Memory(), size);
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
  TResourceStream stream(Instance, ResName, MAKEINTRESOURCEA(2));
  LoadPackedDIB(static_cast<const Byte*>(stream.Memory()),
                static_cast<std::size_t>(stream.Size()));
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  TResourceStream stream(Instance, ResID, MAKEINTRESOURCEA(2));
  LoadPackedDIB(static_cast<const Byte*>(stream.Memory()),
                static_cast<std::size_t>(stream.Size()));
}

void TBitmap::Dormant() { FreeContext(); }
void TBitmap::FreeImage() { FreeContext(); }
