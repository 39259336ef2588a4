#include "Clipbrd.h"

#include <cstring>
#include <vector>

#include "Forms.h"

namespace {

// Reads a clipboard memory block, never past its size.
std::vector<Byte> ReadGlobal(HGLOBAL Handle) {
  std::vector<Byte> out;
  if (!Handle) return out;
  const SIZE_T size = ::GlobalSize(Handle);
  TGlobalLock lock(Handle);
  if (!lock) return out;
  const auto* p = static_cast<const Byte*>(lock.get());
  out.assign(p, p + size);
  return out;
}

TObjectPtr<TClipboard> theClipboard;

}  // namespace

TClipboard::TClipboard() = default;

TClipboard::~TClipboard() {
  open_.reset();
  if (window_) DeallocateHWnd(window_);
}

void TClipboard::WindowProc(TMessage& Message) {
  Message.Result =
      ::DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
}

void TClipboard::Open() {
  if (openRefCount_ == 0) {
    // Emptying needs an owner window, or what is put after it is refused.
    if (!window_)
      window_ = AllocateHWnd(TWndMethod(this, &TClipboard::WindowProc));
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (open_.emplace(window_)) break;
      open_.reset();
      ::Sleep(10);
    }
    if (!open_) throw EClipboardException("Cannot open clipboard");
    emptied_ = false;
  }
  ++openRefCount_;
}

void TClipboard::Close() {
  if (openRefCount_ == 0) return;
  if (--openRefCount_ == 0) open_.reset();
}

void TClipboard::Clear() {
  auto open = OpenScope();
  ::EmptyClipboard();
  emptied_ = true;
}

bool TClipboard::HasFormat(UINT Format) const {
  return ::IsClipboardFormatAvailable(Format) != FALSE;
}

Integer TClipboard::FormatCount() const { return ::CountClipboardFormats(); }

UINT TClipboard::Formats(Integer Index) const {
  // The list can only be walked with the clipboard open.
  auto open = const_cast<TClipboard*>(this)->OpenScope();
  UINT format = 0;
  for (Integer i = 0; i <= Index; ++i) {
    format = ::EnumClipboardFormats(format);
    if (format == 0) break;
  }
  return format;
}

void TClipboard::SetBuffer(UINT Format, const void* Data, std::size_t Size) {
  TGlobalHandle block(::GlobalAlloc(GMEM_MOVEABLE, Size == 0 ? 1 : Size));
  if (!block) throw EOutOfMemory("Out of memory");
  {
    TGlobalLock lock(block.get());
    if (!lock) throw EOutOfMemory("Out of memory");
    if (Size) std::memcpy(lock.get(), Data, Size);
  }
  if (!emptied_) {
    ::EmptyClipboard();
    emptied_ = true;
  }
  if (!::SetClipboardData(Format, block.get()))
    throw EClipboardException("Cannot put data on the clipboard");
  // The clipboard owns the block now.
  (void)block.release();
}

String TClipboard::AsText() {
  auto open = OpenScope();
  const std::vector<Byte> data = ReadGlobal(::GetClipboardData(CF_TEXT));
  // Up to the terminator, or the block's end when there is none.
  std::size_t n = 0;
  while (n < data.size() && data[n] != 0) ++n;
  return String(reinterpret_cast<const char*>(data.data()), n);
}

void TClipboard::SetAsText(const String& Value) {
  auto open = OpenScope();
  SetBuffer(CF_TEXT, Value.c_str(), Value.size() + 1);
}

void TClipboard::AssignGraphic(TGraphic* Graphic) {
  if (auto* bmp = dynamic_cast<TBitmap*>(Graphic)) {
    // The bitmap's file form without its file header is a packed DIB.
    TMemoryStream stream;
    bmp->SaveToStream(&stream);
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    const auto size = static_cast<std::size_t>(stream.Size());
    if (size <= kFileHeader) return;
    SetBuffer(CF_DIB, static_cast<const Byte*>(stream.Memory()) + kFileHeader,
              size - kFileHeader);
    return;
  }
  if (auto* meta = dynamic_cast<TMetafile*>(Graphic)) {
    if (!meta->Handle()) return;
    TEnhMetaFileHandle copy(::CopyEnhMetaFileA(meta->Handle(), nullptr));
    if (!copy) RaiseLastWin32Error();
    if (!emptied_) {
      ::EmptyClipboard();
      emptied_ = true;
    }
    if (!::SetClipboardData(CF_ENHMETAFILE, copy.get()))
      throw EClipboardException("Cannot put data on the clipboard");
    // The clipboard owns the copy now.
    (void)copy.release();
    return;
  }
  AssignError(Graphic);
}

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* graphic = nullptr;
  if (auto* pic = dynamic_cast<TPicture*>(Source)) {
    graphic = pic->Graphic();
  } else {
    graphic = dynamic_cast<TGraphic*>(Source);
  }
  if (!graphic) {
    inherited::Assign(Source);
    return;
  }
  auto open = OpenScope();
  AssignGraphic(graphic);
}

void TClipboard::AssignToBitmap(TBitmap* Dest) {
  const std::vector<Byte> dib = ReadGlobal(::GetClipboardData(CF_DIB));
  if (dib.size() < sizeof(BITMAPINFOHEADER))
    throw EInvalidGraphic("Clipboard does not support the format");
  BITMAPINFOHEADER bih;
  std::memcpy(&bih, dib.data(), sizeof bih);
  if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biSize > dib.size())
    throw EInvalidGraphic("Bitmap image is not valid");
  // Where the pixels start: after the header, the masks of a 16/32-bit
  // bitfield image with the short header, and the colour table.
  std::size_t offset = bih.biSize;
  if (bih.biCompression == BI_BITFIELDS && bih.biSize == sizeof bih)
    offset += 3 * sizeof(DWORD);
  std::size_t colours = bih.biClrUsed;
  if (colours == 0 && bih.biBitCount <= 8) colours = 1u << bih.biBitCount;
  offset += colours * sizeof(RGBQUAD);
  if (offset > dib.size()) throw EInvalidGraphic("Bitmap image is not valid");
  BITMAPFILEHEADER bfh{};
  bfh.bfType = 0x4D42;
  bfh.bfSize = static_cast<DWORD>(sizeof bfh + dib.size());
  bfh.bfOffBits = static_cast<DWORD>(sizeof bfh + offset);
  TMemoryStream stream;
  stream.WriteBuffer(&bfh, sizeof bfh);
  stream.WriteBuffer(dib.data(), static_cast<Integer>(dib.size()));
  stream.SetPosition(0);
  Dest->LoadFromStream(&stream);
}

void TClipboard::AssignToMetafile(TMetafile* Dest) {
  auto h = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
  if (!h) throw EInvalidGraphic("Clipboard does not support the format");
  TEnhMetaFileHandle copy(::CopyEnhMetaFileA(h, nullptr));
  if (!copy) RaiseLastWin32Error();
  Dest->SetHandle(copy.release());
}

void TClipboard::AssignTo(TPersistent* Dest) {
  auto* pic = dynamic_cast<TPicture*>(Dest);
  auto* bmp = dynamic_cast<TBitmap*>(Dest);
  auto* meta = dynamic_cast<TMetafile*>(Dest);
  if (!pic && !bmp && !meta) {
    inherited::AssignTo(Dest);
    return;
  }
  auto open = OpenScope();
  if (pic) {
    if (HasFormat(CF_DIB) || HasFormat(CF_BITMAP)) {
      AssignToBitmap(pic->Bitmap());
    } else if (HasFormat(CF_ENHMETAFILE)) {
      AssignToMetafile(pic->Metafile());
    } else {
      throw EInvalidGraphic("Clipboard does not support the format");
    }
  } else if (bmp) {
    AssignToBitmap(bmp);
  } else {
    AssignToMetafile(meta);
  }
}

TClipboard* Clipboard() {
  if (!theClipboard) theClipboard.reset(new TClipboard);
  return theClipboard.get();
}

namespace {
void ClipbrdShutdown() { theClipboard.reset(); }
}  // namespace

VARNEL_UNIT(Clipbrd, ({"Forms"}), nullptr, &ClipbrdShutdown);
