// The crash-report library's one picture type: a 32-bit bottom-up DIB
// section that stays selected into its own memory device context, so it can
// be blitted to the screen at any time and its pixels read and written in
// memory. Screenshots, the edited copy and the zoomed preview all live in it.
// Nothing here raises: failures give false, an empty string or no bitmap.
#pragma once

#include <windows.h>

#include <utility>

#include "Handles.h"
#include "System.h"

// Width, height, drawing, BMP and PNG file images, file output and a
// resampled copy. Callers hold only this interface.
class INVBitmap : public IInterface {
 public:
  static constexpr TGUID IID{0x5B0E7C21,
                             0x3A94,
                             0x4F6D,
                             {0x9C, 0x1E, 0x27, 0x80, 0x4B, 0xD3, 0x61, 0xA5}};
  virtual Integer Width() = 0;
  virtual Integer Height() = 0;
  // Copies the whole bitmap to dc with its top-left corner at x, y.
  virtual bool DrawAt(HDC dc, Integer x, Integer y) = 0;
  // The BMP file image: file header, the info header, the pixels bottom-up.
  virtual String AsBmp() = 0;
  // The PNG file image in reduction mode 0..5 (PellorPng.h); empty on
  // failure. The bitmap's own pixels are never changed.
  virtual String AsPng(Byte mode) = 0;
  virtual bool WriteBmpFile(const String& fileName) = 0;
  virtual bool WritePngFile(const String& fileName, Byte mode) = 0;
  // A new bitmap resampled (Mitchell filter) to the largest size of the same
  // aspect ratio that fits width x height; none for a box below 1 x 1, a
  // result too large to allocate or a failed canvas.
  virtual TIntfPtr<INVBitmap> ZoomTo(Integer width, Integer height) = 0;

 protected:
  ~INVBitmap() = default;
};

using PNVBitmap = TIntfPtr<INVBitmap>;

// The GDI objects behind one bitmap. The pixels are height rows of width
// pixels, bottom row first, each 4 bytes: blue, green, red, 0.
// The canvas owns them: on release the previous bitmap is selected back,
// the DC deleted and then the DIB section. Moving hands them on.
struct TDibCanvas {
  TDibCanvas() = default;
  TDibCanvas(TDibCanvas&& other) noexcept { *this = std::move(other); }
  TDibCanvas& operator=(TDibCanvas&& other) noexcept {
    if (this != &other) {
      SelectPreviousBack();
      dc.reset();
      dib = std::move(other.dib);
      dc = std::move(other.dc);
      header = other.header;
      pixels = std::exchange(other.pixels, nullptr);
      previous = std::exchange(other.previous, nullptr);
    }
    return *this;
  }
  ~TDibCanvas() { SelectPreviousBack(); }

  BITMAPINFOHEADER header{};
  Byte* pixels = nullptr;
  // Declared before the DC, so that it goes after the DC.
  TBitmapHandle dib;
  TOwnedDC dc;
  HGDIOBJ previous = nullptr;

 private:
  void SelectPreviousBack() noexcept {
    if (dc && previous)
      SelectObject(dc.get(), std::exchange(previous, nullptr));
  }
};

// Makes a width x height canvas selected into a memory DC compatible with
// the screen. False (and nothing left allocated) for sizes below 1, images
// whose byte size overflows 32 bits, or when GDI cannot make it.
bool CreateDibCanvas(Integer width, Integer height, TDibCanvas& canvas);
// Selects the previous bitmap back, deletes the DC and then the DIB section,
// and clears canvas. Safe on an empty or partly made canvas.
void ReleaseDibCanvas(TDibCanvas& canvas);

// The reference-counted bitmap over a canvas, which it owns from
// construction on.
class TINVBitmap : public TInterfacedObject, public INVBitmap {
  VARNEL_CLASS(TINVBitmap, TInterfacedObject)
 public:
  explicit TINVBitmap(TDibCanvas&& canvas);
  ~TINVBitmap() override;
  TINVBitmap(const TINVBitmap&) = delete;
  TINVBitmap& operator=(const TINVBitmap&) = delete;

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }

  Integer Width() override;
  Integer Height() override;
  bool DrawAt(HDC dc, Integer x, Integer y) override;
  String AsBmp() override;
  String AsPng(Byte mode) override;
  bool WriteBmpFile(const String& fileName) override;
  bool WritePngFile(const String& fileName, Byte mode) override;
  PNVBitmap ZoomTo(Integer width, Integer height) override;

  // Direct access for the capture, the encoder and tests.
  Byte* Pixels() const { return canvas_.pixels; }
  HDC Dc() const { return canvas_.dc.get(); }

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

 private:
  TDibCanvas canvas_;
};

// A new zero-filled width x height bitmap; none when the canvas cannot be
// made.
PNVBitmap NewNVBitmap(Integer width, Integer height);
// A new bitmap that takes over canvas, which is left empty; the canvas is
// released when even that fails.
PNVBitmap AdoptDibCanvas(TDibCanvas& canvas);

// Separable Mitchell-Netravali resampling (B = C = 1/3) in 16.16 fixed
// point of a source bitmap into a target bitmap, both in the layout above.
// Only the three colour bytes of the target are written. Sizes below 1 do
// nothing.
void ResampleMitchell(Integer sourceWidth, Integer sourceHeight,
                      Integer targetWidth, Integer targetHeight,
                      const Byte* source, Byte* target);
