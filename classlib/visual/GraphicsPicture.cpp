// TIcon, TMetafile and TPicture with its registry of file formats.
#include <algorithm>
#include <cstring>

#include "FormStreams.h"
#include "Graphics.h"

namespace {

template <class T>
T ReadAt(const Byte* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Reads exactly count bytes or raises EInvalidGraphic with the message.
void ReadOrFail(TStream* stream, void* buffer, UInt64 count,
                const char* message) {
  if (count > 0x7FFFFFFF || stream->Read(buffer, static_cast<Integer>(count)) !=
                                static_cast<Integer>(count)) {
    throw EInvalidGraphic(message);
  }
}

constexpr UInt64 kMaxIconBytes = UInt64{1} << 24;
constexpr UInt64 kMaxMetafileBytes = UInt64{1} << 28;

}  // namespace

// ---------------------------------------------------------------------------
// TIcon
// ---------------------------------------------------------------------------

namespace {

const char kBadIcon[] = "Icon image is not valid";

// Checks that one image of an ICO file holds what its header announces:
// a PNG, or a DIB whose colour and mask bits fit the size given.
bool ValidIconImage(const Byte* p, UInt64 size) {
  static const Byte png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= 8 && std::memcmp(p, png, 8) == 0) return true;
  if (size < 40 || ReadAt<DWORD>(p) != 40) return false;
  const Int64 w = ReadAt<LONG>(p + 4);
  const Int64 h2 = ReadAt<LONG>(p + 8);  // colour and mask: twice the height
  const Integer bpp = ReadAt<WORD>(p + 14);
  const DWORD compression = ReadAt<DWORD>(p + 16);
  UInt64 colors = ReadAt<DWORD>(p + 32);
  if (w <= 0 || w > 1024 || h2 <= 0 || h2 > 2048) return false;
  if (compression != BI_RGB) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return false;
  if (bpp <= 8 && colors == 0) colors = UInt64{1} << bpp;
  if (colors > 256) return false;
  const UInt64 h = static_cast<UInt64>(h2) / 2;
  const UInt64 colorStride = ((static_cast<UInt64>(w) * bpp + 31) / 32) * 4;
  const UInt64 maskStride = ((static_cast<UInt64>(w) + 31) / 32) * 4;
  const UInt64 need = 40 + colors * 4 + colorStride * h + maskStride * h;
  return need <= size;
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

void TIcon::NewImage(HICON Handle, std::vector<Byte> Data) {
  handle_.reset(Handle);
  data_ = std::move(Data);
  width_ = height_ = 0;
  if (handle_) {
    ICONINFO ii{};
    if (GetIconInfo(handle_.get(), &ii)) {
      const TBitmapHandle color(ii.hbmColor), mask(ii.hbmMask);
      BITMAP bm{};
      if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight;
      } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight / 2;
      }
    }
  }
}

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    NewImage(nullptr, {});
    Changed(this);
    return;
  }
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    NewImage(i->handle_ ? CopyIcon(i->handle_.get()) : nullptr, i->data_);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

Integer TIcon::Width() { return width_; }
Integer TIcon::Height() { return height_; }

void TIcon::SetWidth(Integer) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetHeight(Integer) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

HICON TIcon::Handle() { return handle_.get(); }

void TIcon::SetHandle(HICON Value) {
  if (Value == handle_.get()) return;
  NewImage(Value, {});
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HICON h = handle_.release();
  NewImage(nullptr, {});
  return h;
}

void TIcon::LoadFromStream(TStream* Stream) {
  Byte header[6];
  ReadOrFail(Stream, header, sizeof header, kBadIcon);
  const Word reserved = ReadAt<WORD>(header);
  const Word type = ReadAt<WORD>(header + 2);
  const Word count = ReadAt<WORD>(header + 4);
  if (reserved != 0 || type != 1 || count == 0) throw EInvalidGraphic(kBadIcon);
  std::vector<Byte> data(header, header + sizeof header);
  data.resize(6 + count * 16u);
  ReadOrFail(Stream, data.data() + 6, count * 16u, kBadIcon);
  // The file ends where the last image ends.
  UInt64 end = data.size();
  for (Word i = 0; i < count; ++i) {
    const Byte* e = data.data() + 6 + i * 16u;
    const UInt64 size = ReadAt<DWORD>(e + 8);
    const UInt64 offset = ReadAt<DWORD>(e + 12);
    if (size == 0 || size > kMaxIconBytes || offset < 6 + count * 16u ||
        offset > kMaxIconBytes) {
      throw EInvalidGraphic(kBadIcon);
    }
    end = std::max(end, offset + size);
  }
  const std::size_t have = data.size();
  data.resize(static_cast<std::size_t>(end));
  ReadOrFail(Stream, data.data() + have, end - have, kBadIcon);

  // The image nearest the system's icon size, the one with the most colours
  // among equals.
  const int want = GetSystemMetrics(SM_CXICON);
  int best = -1;
  int bestScore = 0;
  for (Word i = 0; i < count; ++i) {
    const Byte* e = data.data() + 6 + i * 16u;
    const UInt64 size = ReadAt<DWORD>(e + 8);
    const UInt64 offset = ReadAt<DWORD>(e + 12);
    if (!ValidIconImage(data.data() + offset, size)) {
      throw EInvalidGraphic(kBadIcon);
    }
    const int w = e[0] ? e[0] : 256;
    const int bits = ReadAt<WORD>(e + 6);
    const int score = -std::abs(w - want) * 1000 + bits;
    if (best < 0 || score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  const Byte* e = data.data() + 6 + best * 16u;
  const int w = e[0] ? e[0] : 256;
  const int h = e[1] ? e[1] : 256;
  HICON icon = CreateIconFromResourceEx(data.data() + ReadAt<DWORD>(e + 12),
                                        ReadAt<DWORD>(e + 8), TRUE, 0x00030000,
                                        w, h, LR_DEFAULTCOLOR);
  if (!icon) throw EInvalidGraphic(kBadIcon);
  NewImage(icon, std::move(data));
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!data_.empty()) {
    Stream->WriteBuffer(data_.data(), static_cast<Integer>(data_.size()));
    return;
  }
  if (!handle_) return;
  // Made from a handle: write one 32-bit image with its mask.
  ICONINFO ii{};
  if (!GetIconInfo(handle_.get(), &ii)) {
    throw EInvalidGraphicOperation("Invalid icon handle");
  }
  const TBitmapHandle colorBitmap(ii.hbmColor), maskBitmap(ii.hbmMask);
  const Integer w = width_;
  const Integer h = height_;
  const std::size_t colorBytes = static_cast<std::size_t>(w) * h * 4;
  const std::size_t maskStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
  const std::size_t maskBytes = maskStride * h;
  std::vector<Byte> color(colorBytes);
  std::vector<Byte> mask(maskBytes);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[2];
  } bi{};
  TWindowDC screen(nullptr);
  bi.h.biSize = sizeof(BITMAPINFOHEADER);
  bi.h.biWidth = w;
  bi.h.biHeight = h;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 32;
  if (ii.hbmColor) {
    GetDIBits(screen.get(), ii.hbmColor, 0, h, color.data(),
              reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  }
  bi.h.biBitCount = 1;
  bi.h.biClrUsed = 0;
  // A mask-only (monochrome) icon holds the mask in the top half.
  GetDIBits(screen.get(), ii.hbmMask, ii.hbmColor ? 0 : h, h, mask.data(),
            reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);

  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h * 2;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  const DWORD imageSize =
      static_cast<DWORD>(sizeof ih + colorBytes + maskBytes);
  Byte dir[6 + 16] = {};
  dir[2] = 1;  // icon
  dir[4] = 1;  // one image
  dir[6] = static_cast<Byte>(w >= 256 ? 0 : w);
  dir[7] = static_cast<Byte>(h >= 256 ? 0 : h);
  dir[10] = 1;   // planes
  dir[12] = 32;  // bits
  std::memcpy(dir + 14, &imageSize, 4);
  const DWORD offset = sizeof dir;
  std::memcpy(dir + 18, &offset, 4);
  Stream->WriteBuffer(dir, sizeof dir);
  Stream->WriteBuffer(&ih, sizeof ih);
  Stream->WriteBuffer(color.data(), static_cast<Integer>(colorBytes));
  Stream->WriteBuffer(mask.data(), static_cast<Integer>(maskBytes));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!handle_) return;
  DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, handle_.get(),
             Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------
// TMetafile
// ---------------------------------------------------------------------------

namespace {
const char kBadMetafile[] = "Metafile is not valid";
}  // namespace

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() { Clear(); }

void TMetafile::Clear() {
  handle_.reset();
  width_ = height_ = 0;
}

void TMetafile::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    Changed(this);
    return;
  }
  if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    if (m == this) return;
    TEnhMetaFileHandle copy(m->handle_.get()
                                ? CopyEnhMetaFileA(m->handle_.get(), nullptr)
                                : nullptr);
    Clear();
    handle_ = std::move(copy);
    width_ = m->width_;
    height_ = m->height_;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

Integer TMetafile::Width() {
  if (width_ || !handle_) return width_;
  ENHMETAHEADER h{};
  if (!GetEnhMetaFileHeader(handle_.get(), sizeof h, &h)) return 0;
  return MulDiv(h.rclFrame.right - h.rclFrame.left, ScreenLogPixels(), 2540);
}

Integer TMetafile::Height() {
  if (height_ || !handle_) return height_;
  ENHMETAHEADER h{};
  if (!GetEnhMetaFileHeader(handle_.get(), sizeof h, &h)) return 0;
  return MulDiv(h.rclFrame.bottom - h.rclFrame.top, ScreenLogPixels(), 2540);
}

void TMetafile::SetWidth(Integer Value) {
  if (Value == width_) return;
  width_ = Value;
  Changed(this);
}

void TMetafile::SetHeight(Integer Value) {
  if (Value == height_) return;
  height_ = Value;
  Changed(this);
}

void TMetafile::SetHandle(HENHMETAFILE Value) {
  if (Value == handle_.get()) return;
  handle_.reset(Value);
  Changed(this);
}

HENHMETAFILE TMetafile::ReleaseHandle() {
  HENHMETAFILE h = handle_.release();
  width_ = height_ = 0;
  return h;
}

void TMetafile::LoadFromStream(TStream* Stream) {
  // The header record first: type 1, its size, the " EMF" signature and the
  // size of the whole file.
  Byte head[8];
  ReadOrFail(Stream, head, sizeof head, kBadMetafile);
  const DWORD type = ReadAt<DWORD>(head);
  const DWORD headerSize = ReadAt<DWORD>(head + 4);
  if (type != EMR_HEADER || headerSize < 88 || headerSize > 4096 ||
      headerSize % 4) {
    throw EInvalidGraphic(kBadMetafile);
  }
  std::vector<Byte> data(head, head + sizeof head);
  data.resize(headerSize);
  ReadOrFail(Stream, data.data() + 8, headerSize - 8, kBadMetafile);
  const DWORD signature = ReadAt<DWORD>(data.data() + 40);
  const UInt64 total = ReadAt<DWORD>(data.data() + 48);
  if (signature != ENHMETA_SIGNATURE || total < headerSize ||
      total > kMaxMetafileBytes || total % 4) {
    throw EInvalidGraphic(kBadMetafile);
  }
  data.resize(static_cast<std::size_t>(total));
  ReadOrFail(Stream, data.data() + headerSize, total - headerSize,
             kBadMetafile);
  // Every record must lie inside the data, and the last must end it.
  UInt64 pos = 0;
  DWORD lastType = 0;
  while (pos < total) {
    if (total - pos < 8) throw EInvalidGraphic(kBadMetafile);
    const UInt64 size = ReadAt<DWORD>(data.data() + pos + 4);
    if (size < 8 || size % 4 || size > total - pos) {
      throw EInvalidGraphic(kBadMetafile);
    }
    lastType = ReadAt<DWORD>(data.data() + pos);
    pos += size;
  }
  if (lastType != EMR_EOF) throw EInvalidGraphic(kBadMetafile);
  TEnhMetaFileHandle h(
      SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data()));
  if (!h) throw EInvalidGraphic(kBadMetafile);
  Clear();
  handle_ = std::move(h);
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) {
  if (!handle_) return;
  const UINT size = GetEnhMetaFileBits(handle_.get(), 0, nullptr);
  std::vector<Byte> data(size);
  GetEnhMetaFileBits(handle_.get(), size, data.data());
  Stream->WriteBuffer(data.data(), static_cast<Integer>(data.size()));
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!handle_) return;
  PlayEnhMetaFile(ACanvas->Handle(), handle_.get(),
                  reinterpret_cast<const RECT*>(&Rect));
}

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice)
    : metafile_(AMetafile) {
  RECT frame{};
  const RECT* framePtr = nullptr;
  const Integer w = AMetafile ? AMetafile->Width() : 0;
  const Integer h = AMetafile ? AMetafile->Height() : 0;
  if (w > 0 && h > 0) {
    // The frame is in 0.01 mm.
    frame.right = MulDiv(w, 2540, ScreenLogPixels());
    frame.bottom = MulDiv(h, 2540, ScreenLogPixels());
    framePtr = &frame;
  }
  HDC dc = CreateEnhMetaFileA(ReferenceDevice, nullptr, framePtr, nullptr);
  if (!dc) throw EOutOfMemory("Out of system resources");
  SetHandle(dc);
}

TMetafileCanvas::~TMetafileCanvas() {
  HDC dc = HandleAllocated() ? Handle() : nullptr;
  SetHandle(nullptr);
  if (!dc) return;
  TEnhMetaFileHandle h(CloseEnhMetaFile(dc));
  if (metafile_ && h) metafile_->SetHandle(h.release());
}

// ---------------------------------------------------------------------------
// TPicture and the file formats
// ---------------------------------------------------------------------------

namespace {

struct TFileFormat {
  String Extension;  // lower case, no dot
  String Description;
  TGraphicClass GraphicClass;
};

std::mutex& FormatsLock() {
  static std::mutex lock;
  return lock;
}

std::vector<TFileFormat>& Formats() {
  static std::vector<TFileFormat> formats;
  return formats;
}

std::vector<TFileFormat> FormatsCopy() {
  std::lock_guard<std::mutex> guard(FormatsLock());
  return Formats();
}

String StripDot(const String& ext) {
  return LowerCase(!ext.empty() && ext[0] == '.' ? ext.substr(1) : ext);
}

}  // namespace

namespace graphics_detail {
void RegisterStandardFormats() {
  TPicture::RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("ico", "Icons", TIcon::StaticClass());
  TPicture::RegisterFileFormat("emf", "Enhanced Metafiles",
                               TMetafile::StaticClass());
}
}  // namespace graphics_detail

void TPicture::RegisterFileFormat(const String& AExtension,
                                  const String& ADescription,
                                  TGraphicClass AGraphicClass) {
  if (!AGraphicClass || !AGraphicClass->InheritsFrom(TGraphic::StaticClass())) {
    throw EInvalidGraphic("Not a graphic class");
  }
  std::lock_guard<std::mutex> guard(FormatsLock());
  const String ext = StripDot(AExtension);
  auto& formats = Formats();
  // Registering an extension again replaces its class.
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&ext](const TFileFormat& f) {
                                 return f.Extension == ext;
                               }),
                formats.end());
  formats.push_back({ext, ADescription, AGraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
  std::lock_guard<std::mutex> guard(FormatsLock());
  auto& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [AClass](const TFileFormat& f) {
                                 return f.GraphicClass->InheritsFrom(AClass);
                               }),
                formats.end());
}

TGraphicClass TPicture::FindGraphicClass(const String& AExtension) {
  const String ext = StripDot(AExtension);
  for (const TFileFormat& f : FormatsCopy()) {
    if (f.Extension == ext) return f.GraphicClass;
  }
  return nullptr;
}

String GraphicFileMask(TGraphicClass GraphicClass) {
  String result;
  for (const TFileFormat& f : FormatsCopy()) {
    if (!GraphicClass || f.GraphicClass->InheritsFrom(GraphicClass)) {
      if (!result.empty()) result += ';';
      result += "*." + f.Extension;
    }
  }
  return result;
}

String GraphicFilter(TGraphicClass GraphicClass) {
  String all;
  String each;
  Integer count = 0;
  for (const TFileFormat& f : FormatsCopy()) {
    if (GraphicClass && !f.GraphicClass->InheritsFrom(GraphicClass)) continue;
    const String mask = "*." + f.Extension;
    if (!all.empty()) all += ';';
    all += mask;
    each += "|" + f.Description + " (" + mask + ")|" + mask;
    ++count;
  }
  if (count == 0) return String();
  if (count == 1) return each.substr(1);
  return "All (" + all + ")|" + all + each;
}

String GraphicExtension(TGraphicClass GraphicClass) {
  for (const TFileFormat& f : FormatsCopy()) {
    if (f.GraphicClass == GraphicClass) return f.Extension;
  }
  return String();
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) { OnChange(this); }

void TPicture::SetGraphic(TGraphic* Value) {
  TObjectPtr<TGraphic> copy;
  if (Value) {
    copy = OwnedCast<TGraphic>(Value->ClassType()->NewInstance());
    if (!copy) throw EInvalidGraphic("Cannot create %s", {Value->ClassName()});
    copy->Assign(Value);
    copy->OnChange = TNotifyEvent(this, &TPicture::Changed);
  }
  graphic_ = std::move(copy);
  Changed(this);
}

void TPicture::ForceType(TClass cls) {
  if (graphic_ && graphic_->InheritsFrom(cls)) return;
  TObjectPtr<TGraphic> g = OwnedCast<TGraphic>(cls->NewInstance());
  g->OnChange = TNotifyEvent(this, &TPicture::Changed);
  graphic_ = std::move(g);
  Changed(this);
}

TBitmap* TPicture::Bitmap() {
  ForceType(TBitmap::StaticClass());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  ForceType(TIcon::StaticClass());
  return static_cast<TIcon*>(graphic_.get());
}

TMetafile* TPicture::Metafile() {
  ForceType(TMetafile::StaticClass());
  return static_cast<TMetafile*>(graphic_.get());
}

Integer TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
Integer TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TInterfacedPersistent::Assign(Source);
  }
}

void TPicture::LoadFromFile(const String& FileName) {
  const String ext = StripDot(ExtractFileExt(FileName));
  TGraphicClass cls = FindGraphicClass(ext);
  if (!cls) {
    throw EInvalidGraphic("Unknown picture file extension (.%s)", {ext});
  }
  TObjectPtr<TGraphic> g = OwnedCast<TGraphic>(cls->NewInstance());
  if (!g) throw EInvalidGraphic("Cannot create %s", {String(cls->Name)});
  g->LoadFromFile(FileName);
  g->OnChange = TNotifyEvent(this, &TPicture::Changed);
  graphic_ = std::move(g);
  Changed(this);
}

void TPicture::SaveToFile(const String& FileName) {
  if (graphic_) graphic_->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty("Data", TStreamProc(this, &TPicture::ReadData),
                              TStreamProc(this, &TPicture::WriteData),
                              graphic_ != nullptr && !graphic_->Empty());
}

void TPicture::ReadData(TStream* Stream) {
  Byte length = 0;
  Stream->ReadBuffer(&length, 1);
  String name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  TGraphicClass cls = nullptr;
  for (const TFileFormat& f : FormatsCopy()) {
    if (SameText(f.GraphicClass->Name, name)) cls = f.GraphicClass;
  }
  if (!cls) cls = GetClass(name);
  if (!cls || !cls->InheritsFrom(TGraphic::StaticClass())) {
    throw EInvalidGraphic("Unknown picture format %s", {name});
  }
  TObjectPtr<TGraphic> g = OwnedCast<TGraphic>(cls->NewInstance());
  if (!g) throw EInvalidGraphic("Unknown picture format %s", {name});
  g->ReadData(Stream);
  g->OnChange = TNotifyEvent(this, &TPicture::Changed);
  graphic_ = std::move(g);
  Changed(this);
}

void TPicture::WriteData(TStream* Stream) {
  if (!graphic_) return;
  const String name = graphic_->ClassName();
  const Byte length =
      static_cast<Byte>(std::min<std::size_t>(name.size(), 255));
  Stream->WriteBuffer(&length, 1);
  Stream->WriteBuffer(name.data(), length);
  graphic_->WriteData(Stream);
}
