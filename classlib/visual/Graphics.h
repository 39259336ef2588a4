// Colours, fonts, pens and brushes, the drawing canvas and the graphic
// classes (bitmaps on DIB sections, icons, enhanced metafiles) with the
// picture container and its file-format registry.
//
// Fonts, pens and brushes with equal attributes share one GDI object: a
// per-kind cache hands out reference-counted handles, and the last user
// frees the object.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <mutex>
#include <vector>

#include "Classes.h"
#include "Handles.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "Types.h"

class TCanvas;
class TBitmap;
class TGraphic;
class TFiler;

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

// A colour: 0x00BBGGRR for an RGB value, 0xFF000000 + COLOR_* index for a
// system colour, or one of the special values clNone and clDefault. A type
// of its own so that colour properties stream as colour names ("clRed").
enum TColor : Integer {};

namespace typinfo_detail {
template <>
inline void Fill<TColor>(TTypeInfo& info) {
  InitOrdinal(info, tkInteger, "TColor", otSLong, INT32_MIN, INT32_MAX);
}
}  // namespace typinfo_detail

namespace graphics_detail {
constexpr TColor SysColor(Integer index) {
  return static_cast<TColor>(static_cast<Integer>(0xFF000000u) | index);
}
}  // namespace graphics_detail

constexpr TColor clBlack = TColor(0x000000);
constexpr TColor clMaroon = TColor(0x000080);
constexpr TColor clGreen = TColor(0x008000);
constexpr TColor clOlive = TColor(0x008080);
constexpr TColor clNavy = TColor(0x800000);
constexpr TColor clPurple = TColor(0x800080);
constexpr TColor clTeal = TColor(0x808000);
constexpr TColor clGray = TColor(0x808080);
constexpr TColor clSilver = TColor(0xC0C0C0);
constexpr TColor clRed = TColor(0x0000FF);
constexpr TColor clLime = TColor(0x00FF00);
constexpr TColor clYellow = TColor(0x00FFFF);
constexpr TColor clBlue = TColor(0xFF0000);
constexpr TColor clFuchsia = TColor(0xFF00FF);
constexpr TColor clAqua = TColor(0xFFFF00);
constexpr TColor clLtGray = TColor(0xC0C0C0);
constexpr TColor clDkGray = TColor(0x808080);
constexpr TColor clWhite = TColor(0xFFFFFF);
constexpr TColor clMoneyGreen = TColor(0xC0DCC0);
constexpr TColor clSkyBlue = TColor(0xF0CAA6);
constexpr TColor clCream = TColor(0xF0FBFF);
constexpr TColor clMedGray = TColor(0xA4A0A0);

constexpr TColor clScrollBar = graphics_detail::SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = graphics_detail::SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption =
    graphics_detail::SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption =
    graphics_detail::SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = graphics_detail::SysColor(COLOR_MENU);
constexpr TColor clWindow = graphics_detail::SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = graphics_detail::SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = graphics_detail::SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = graphics_detail::SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = graphics_detail::SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = graphics_detail::SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder =
    graphics_detail::SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = graphics_detail::SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = graphics_detail::SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText =
    graphics_detail::SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = graphics_detail::SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = graphics_detail::SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = graphics_detail::SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = graphics_detail::SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText =
    graphics_detail::SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = graphics_detail::SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = graphics_detail::SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = graphics_detail::SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = graphics_detail::SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = graphics_detail::SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = graphics_detail::SysColor(26);
constexpr TColor clGradientActiveCaption = graphics_detail::SysColor(27);
constexpr TColor clGradientInactiveCaption = graphics_detail::SysColor(28);
constexpr TColor clMenuHighlight = graphics_detail::SysColor(29);
constexpr TColor clMenuBar = graphics_detail::SysColor(30);

constexpr TColor clNone = TColor(0x1FFFFFFF);
constexpr TColor clDefault = TColor(0x20000000);

// The RGB value of a colour: system colours are looked up; clNone and
// clDefault keep their own value, as every other value does.
Integer ColorToRGB(TColor Color);
// "clRed", or "$00123456" for a colour without a name.
String ColorToString(TColor Color);
// Accepts a colour name (any case) or a number ("$FF", "255"); raises
// EConvertError for anything else.
TColor StringToColor(const String& S);
bool ColorToIdent(Integer Color, String& Ident);
bool IdentToColor(const String& Ident, Integer& Color);
// Calls Proc with the name of every named colour.
void GetColorValues(const std::function<void(const String&)>& Proc);

// ---------------------------------------------------------------------------
// Exceptions
// ---------------------------------------------------------------------------

VARNEL_EXCEPTION(EInvalidGraphic, Exception)
VARNEL_EXCEPTION(EInvalidGraphicOperation, Exception)

// ---------------------------------------------------------------------------
// Fonts, pens, brushes
// ---------------------------------------------------------------------------

enum TFontStyle : Byte { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch : Byte { fpDefault, fpVariable, fpFixed };
enum TFontQuality : Byte {
  fqDefault,
  fqDraft,
  fqProof,
  fqNonAntialiased,
  fqAntialiased,
  fqClearType,
  fqClearTypeNatural
};
// A character set (ANSI_CHARSET, DEFAULT_CHARSET, ...): a type of its own so
// that it streams as the charset's name.
enum TFontCharset : Byte {};

namespace typinfo_detail {
template <>
inline void Fill<TFontCharset>(TTypeInfo& info) {
  InitOrdinal(info, tkInteger, "TFontCharset", otUByte, 0, 255);
}
}  // namespace typinfo_detail
using TFontName = String;

enum TPenStyle : Byte {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame
};
enum TPenMode : Byte {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
enum TBrushStyle : Byte {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

namespace graphics_detail {
struct TResource;
struct TDIBFormat;
// The number of distinct fonts, pens and brushes in the shared cache.
std::size_t CachedResourceCount();
// Registers the built-in graphic classes with TPicture.
void RegisterStandardFormats();
}  // namespace graphics_detail

// The common part of fonts, pens and brushes: change notification and the
// shared GDI object.
class TGraphicsObject : public TPersistent {
  VARNEL_CLASS(TGraphicsObject, TPersistent)
 public:
  TGraphicsObject() = default;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // A canvas that owns this object shares its lock: changes from another
  // thread wait while the canvas is locked.
  std::recursive_mutex* OwnerCriticalSection() const { return ownerLock_; }
  void SetOwnerCriticalSection(std::recursive_mutex* Lock) {
    ownerLock_ = Lock;
  }
  // True when the GDI object of this object exists already.
  virtual bool HandleAllocated() const = 0;

 protected:
  virtual void Changed();
  virtual void Changing();
  void Lock();
  void Unlock();
  // Holds Lock() for a scope, so that a throwing change handler never
  // leaves the owner's lock taken.
  using TLockScope = TBracketScope<TGraphicsObject, &TGraphicsObject::Lock,
                                   &TGraphicsObject::Unlock>;

 private:
  std::recursive_mutex* ownerLock_ = nullptr;
};

// A font. Size and Height are two views of one value: PixelsPerInch converts
// between them.
class TFont : public TGraphicsObject {
  VARNEL_CLASS(TFont, TGraphicsObject)
 public:
  TFont();
  ~TFont() override;

  void Assign(TPersistent* Source) override;

  // The shared HFONT (created on first use; owned by the cache).
  HFONT Handle();
  // Takes ownership of Value: the font's attributes are read from it.
  void SetHandle(HFONT Value);
  bool HandleAllocated() const override;

  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TFontCharset Charset() const;
  void SetCharset(TFontCharset Value);
  void SetCharset(Integer Value) {
    SetCharset(static_cast<TFontCharset>(Value));
  }
  // Character height in pixels (negative) or cell height (positive).
  Integer Height() const;
  void SetHeight(Integer Value);
  TFontName Name() const;
  void SetName(const TFontName& Value);
  TFontPitch Pitch() const;
  void SetPitch(TFontPitch Value);
  // Points: -Height * 72 / PixelsPerInch, rounded.
  Integer Size() const;
  void SetSize(Integer Value);
  TFontStyles Style() const;
  void SetStyle(TFontStyles Value);
  Integer Orientation() const;
  void SetOrientation(Integer Value);
  TFontQuality Quality() const;
  void SetQuality(TFontQuality Value);
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(Integer Value) { pixelsPerInch_ = Value; }

 private:
  void Change(const std::function<void(graphics_detail::TResource&)>& edit);
  graphics_detail::TResource* resource_ = nullptr;
  TColor color_ = clWindowText;
  Integer pixelsPerInch_;
};

class TPen : public TGraphicsObject {
  VARNEL_CLASS(TPen, TGraphicsObject)
 public:
  TPen();
  ~TPen() override;

  void Assign(TPersistent* Source) override;

  HPEN Handle();
  void SetHandle(HPEN Value);
  bool HandleAllocated() const override;

  TColor Color() const;
  void SetColor(TColor Value);
  Integer Width() const;
  void SetWidth(Integer Value);
  TPenStyle Style() const;
  void SetStyle(TPenStyle Value);
  // The raster operation the canvas applies when drawing with this pen; not
  // part of the GDI pen.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode Value);

 private:
  void Change(const std::function<void(graphics_detail::TResource&)>& edit);
  graphics_detail::TResource* resource_ = nullptr;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  VARNEL_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush();
  ~TBrush() override;

  void Assign(TPersistent* Source) override;

  HBRUSH Handle();
  void SetHandle(HBRUSH Value);
  bool HandleAllocated() const override;

  TColor Color() const;
  // Setting a colour while the style is bsClear makes the brush solid.
  void SetColor(TColor Value);
  TBrushStyle Style() const;
  void SetStyle(TBrushStyle Value);
  // A pattern brush from the bitmap (not owned: keep it alive while the
  // brush uses it); null returns to Color and Style.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* Value);

 private:
  void Change(const std::function<void(graphics_detail::TResource&)>& edit);
  graphics_detail::TResource* resource_ = nullptr;
  TBitmap* bitmap_ = nullptr;
};

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

enum TCanvasState : Byte {
  csHandleValid,
  csFontValid,
  csPenValid,
  csBrushValid
};
using TCanvasStates = TSet<TCanvasState>;
enum TFillStyle : Byte { fsSurface, fsBorder };

using TCopyMode = Integer;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Draws on a device context with its own font, pen and brush, selected into
// the context when a drawing member needs them.
//
// The device context comes from SetHandle, or, for canvases that make their
// own (a window's, a bitmap's), from the virtual CreateHandle, which is
// called the first time a drawing member needs the context and must call
// SetHandle. Descendants that release their context call SetHandle(nullptr)
// first, which deselects the canvas's objects.
class TCanvas : public TPersistent {
  VARNEL_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // The device context; raises EInvalidOperation "Canvas does not allow
  // drawing" when there is none and CreateHandle makes none.
  HDC Handle();
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return handle_ != nullptr; }

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode Value) { copyMode_ = Value; }
  TPoint PenPos();
  void SetPenPos(const TPoint& Value) { MoveTo(Value.X, Value.Y); }
  // Flags for ExtTextOut (ETO_CLIPPED, ETO_OPAQUE, ...).
  Integer TextFlags() const { return textFlags_; }
  void SetTextFlags(Integer Value) { textFlags_ = Value; }
  TRect ClipRect();
  TColor Pixels(Integer X, Integer Y);
  void SetPixels(Integer X, Integer Y, TColor Value);

  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
           Integer Y3, Integer X4, Integer Y4);
  void Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
             Integer Y3, Integer X4, Integer Y4);
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
           Integer Y3, Integer X4, Integer Y4);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& Rect);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& Rect);
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
                 Integer Y3);
  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);
  // Count points from Points.
  void Polygon(const TPoint* Points, Integer Count);
  void Polygon(const std::vector<TPoint>& Points);
  void Polygon(std::initializer_list<TPoint> Points);
  void Polyline(const TPoint* Points, Integer Count);
  void Polyline(const std::vector<TPoint>& Points);
  void Polyline(std::initializer_list<TPoint> Points);
  void PolyBezier(const std::vector<TPoint>& Points);

  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);
  void FloodFill(Integer X, Integer Y, TColor Color, TFillStyle FillStyle);

  // Copies Source's rectangle of Canvas with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies the bitmap's rectangle, painting pixels of Color in the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source,
                 TColor Color);
  // Draws the graphic at its own size (nothing for null or empty).
  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);

  void TextOut(Integer X, Integer Y, const String& Text);
  // Text clipped to Rect, the rectangle filled with the brush unless the
  // brush is bsClear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text);
  Integer TextHeight(const String& Text);

  // Serialises drawing from several threads.
  void Lock();
  bool TryLock();
  void Unlock();
  Integer LockCount() const { return lockCount_; }

  // Deselects the canvas's objects so they are selected again on next use.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  // Makes the device context (calls SetHandle); the base makes none.
  virtual void CreateHandle() {}
  // Ensures the given parts are valid (a context, objects selected).
  void RequiredState(TCanvasStates ReqState);
  TCanvasStates State() const { return state_; }
  std::recursive_mutex& CanvasLock() { return lock_; }

 private:
  // Polygon and Polyline: the same guards around another GDI call.
  void DrawPoints(const TPoint* Points, Integer Count,
                  BOOL(WINAPI* ADraw)(HDC, const POINT*, int));
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void DeselectHandles();
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);

  HDC handle_ = nullptr;
  TCanvasStates state_;
  TObjectPtr<TFont> font_;
  TObjectPtr<TPen> pen_;
  TObjectPtr<TBrush> brush_;
  TPoint penPos_;
  TCopyMode copyMode_ = cmSrcCopy;
  Integer textFlags_ = 0;
  std::recursive_mutex lock_;
  Integer lockCount_ = 0;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

// Holds a canvas's lock for a scope.
using TCanvasLock = TBracketScope<TCanvas, &TCanvas::Lock, &TCanvas::Unlock>;

// Lends a canvas a device context it does not own (the DC of a WM_PAINT, of
// a printer) for a scope: the canvas is locked and draws on DC; at scope
// exit, also by an exception, it lets go of DC without freeing it and is
// unlocked.
class TCanvasDCScope {
 public:
  TCanvasDCScope(TCanvas* Canvas, HDC DC)
      : lock_(Canvas), handle_((Canvas->SetHandle(DC), TLetGo{Canvas})) {}

 private:
  struct TLetGo {
    TCanvas* Canvas;
    void operator()() const { Canvas->SetHandle(nullptr); }
  };
  TCanvasLock lock_;
  TScopeGuard<TLetGo> handle_;
};

// ---------------------------------------------------------------------------
// Graphics
// ---------------------------------------------------------------------------

// An image that can be drawn on a canvas and stored in a stream or file.
class TGraphic : public TInterfacedPersistent {
  VARNEL_CLASS(TGraphic, TInterfacedPersistent)
 public:
  TGraphic() = default;

  virtual bool Empty() = 0;
  virtual Integer Width() = 0;
  virtual Integer Height() = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual void SetSize(Integer AWidth, Integer AHeight);
  bool Modified() const { return modified_; }
  void SetModified(bool Value);
  virtual bool Transparent() { return transparent_; }
  virtual void SetTransparent(bool Value);
  virtual HPALETTE Palette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}

  // Corrupt data raises EInvalidGraphic.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  virtual void LoadFromFile(const String& FileName);
  virtual void SaveToFile(const String& FileName);
  // Same class and the same saved data.
  virtual bool Equals(TGraphic* Graphic);

  TNotifyEvent OnChange;

  // Form streams store a graphic's data as a "Data" binary property.
  void DefineProperties(TFiler* Filer) override;

 protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Changed(TObject* Sender);
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

 private:
  bool modified_ = false;
  bool transparent_ = false;
};

using TGraphicClass = TClass;

enum TPixelFormat : Byte {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};
enum TBitmapHandleType : Byte { bmDIB, bmDDB };
enum TTransparentMode : Byte { tmAuto, tmFixed };

class TBitmapCanvas;

// A bitmap: a DIB section of the chosen pixel format (or, for pfDevice, a
// bitmap compatible with the screen) with a canvas to draw on.
class TBitmap : public TGraphic {
  VARNEL_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;

  bool Empty() override;
  Integer Width() override { return width_; }
  Integer Height() override { return height_; }
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  void SetSize(Integer AWidth, Integer AHeight) override;

  // The bitmap handle, still owned by the bitmap. It is not selected into
  // any device context when returned.
  HBITMAP Handle();
  // Takes ownership of Value (a DIB section or a device bitmap).
  void SetHandle(HBITMAP Value);
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  // Gives up ownership of the bitmap handle and empties the bitmap.
  HBITMAP ReleaseHandle();
  // A monochrome mask: 1 where the transparent colour is, 0 elsewhere.
  HBITMAP MaskHandle();
  TBitmapHandleType HandleType() const { return handleType_; }
  void SetHandleType(TBitmapHandleType Value);
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  void SetMonochrome(bool Value);
  // The canvas drawing into the bitmap (created on first use).
  TCanvas* Canvas();
  // The first byte of a row (0 = top) of the DIB's pixels; makes the bitmap
  // a DIB. Raises EInvalidGraphicOperation "Scan line index out of range".
  void* ScanLine(Integer Row);

  // tmAuto takes the colour of the bottom-left pixel.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode Value);

  // BMP file format (BITMAPFILEHEADER first).
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // An RT_BITMAP resource; raises EResNotFound when the module has none.
  void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResID);

  // Frees the image and the canvas's device context, keeping the pixels in
  // memory only; here the same as doing nothing visible.
  void Dormant();
  void FreeImage();

 protected:
  friend class TBitmapCanvas;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void Changed(TObject* Sender) override;
  // Form streams: the size of the BMP data, then the data.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  void NewImage(Integer AWidth, Integer AHeight, TPixelFormat Format,
                TBitmapHandleType Type);
  void ReplaceHandle(HBITMAP Value);
  // A DIB as resources hold it: header, colour table or masks, pixels.
  void LoadPackedDIB(const Byte* Data, std::size_t Size);
  std::vector<Byte> SavePackedDIB(std::size_t& BitsOffset);
  void FreeContext();
  void ReadFromHandle();

  TBitmapHandle handle_;
  TBitmapHandle mask_;
  void* bits_ = nullptr;
  bool topDown_ = false;
  std::unique_ptr<graphics_detail::TDIBFormat> format_;
  Integer width_ = 0;
  Integer height_ = 0;
  TPixelFormat pixelFormat_ = pfDevice;
  TBitmapHandleType handleType_ = bmDDB;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  TObjectPtr<TBitmapCanvas> canvas_;
};

// An icon (or cursor image): an HICON, loaded from and saved to the ICO
// file format.
class TIcon : public TGraphic {
  VARNEL_CLASS(TIcon, TGraphic)
 public:
  TIcon();
  ~TIcon() override;

  void Assign(TPersistent* Source) override;

  bool Empty() override { return !handle_ && data_.empty(); }
  Integer Width() override;
  Integer Height() override;
  // Icons are sized by their image: these raise EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  bool Transparent() override { return true; }

  HICON Handle();
  // Takes ownership of Value.
  void SetHandle(HICON Value);
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  HICON ReleaseHandle();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void NewImage(HICON Handle, std::vector<Byte> Data);
  TIconHandle handle_;
  std::vector<Byte> data_;  // the ICO file it was loaded from
  Integer width_ = 0;
  Integer height_ = 0;
};

// An enhanced metafile: a recorded drawing, replayed scaled to the target.
class TMetafile : public TGraphic {
  VARNEL_CLASS(TMetafile, TGraphic)
 public:
  TMetafile();
  ~TMetafile() override;

  void Assign(TPersistent* Source) override;

  bool Empty() override { return !handle_; }
  // Pixels at the screen's resolution, from the recorded frame unless set.
  Integer Width() override;
  Integer Height() override;
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;

  HENHMETAFILE Handle() const { return handle_.get(); }
  // Takes ownership of Value.
  void SetHandle(HENHMETAFILE Value);
  HENHMETAFILE ReleaseHandle();
  bool Enhanced() const { return true; }

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void Clear();

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  TEnhMetaFileHandle handle_;
  Integer width_ = 0;
  Integer height_ = 0;
};

// Records drawing into a metafile; the recording is handed to the metafile
// when the canvas is freed.
class TMetafileCanvas : public TCanvas {
  VARNEL_CLASS(TMetafileCanvas, TCanvas)
 public:
  // ReferenceDevice null means the screen.
  TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice);
  ~TMetafileCanvas() override;

 private:
  TMetafile* metafile_;
};

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

// Holds one graphic of any registered class; loads and saves files by their
// extension.
class TPicture : public TInterfacedPersistent {
  VARNEL_CLASS(TPicture, TInterfacedPersistent)
 public:
  TPicture();
  ~TPicture() override;

  void Assign(TPersistent* Source) override;

  // The graphic held (null when none); owned by the picture.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of Value (null empties the picture).
  void SetGraphic(TGraphic* Value);
  // These replace the graphic by an empty one of their class unless it is
  // one already.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  TMetafile* Metafile();
  void SetMetafile(TMetafile* Value) { SetGraphic(Value); }
  Integer Width() const;
  Integer Height() const;

  // Picks the graphic class by the file's extension; raises EInvalidGraphic
  // "Unknown picture file extension (.%s)".
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

  TNotifyEvent OnChange;

  static void RegisterFileFormat(const String& AExtension,
                                 const String& ADescription,
                                 TGraphicClass AGraphicClass);
  static void UnregisterGraphicClass(TGraphicClass AClass);
  // The registered class for an extension (without the dot, any case);
  // null when none.
  static TGraphicClass FindGraphicClass(const String& AExtension);

  // Form streams store the graphic as "Data": its class name, then its data.
  void DefineProperties(TFiler* Filer) override;

 protected:
  virtual void Changed(TObject* Sender);

 private:
  void ForceType(TClass cls);
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  TObjectPtr<TGraphic> graphic_;
};

// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|..." for the
// registered formats of GraphicClass or its descendants.
String GraphicFilter(TGraphicClass GraphicClass);
// The first registered extension of GraphicClass without the dot ("bmp").
String GraphicExtension(TGraphicClass GraphicClass);
// "*.bmp;*.dib" for GraphicClass and its descendants.
String GraphicFileMask(TGraphicClass GraphicClass);

// The screen's logical pixels per inch (vertical).
Integer ScreenLogPixels();
