// Colours, the shared GDI object cache, fonts, pens, brushes and the canvas.
// The graphic classes live in GraphicsBitmap.cpp and GraphicsPicture.cpp.
#include "Graphics.h"

#include <cstring>
#include <list>

#include "FormStreams.h"

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

namespace {

struct TColorName {
  TColor Value;
  const char* Name;
};

const TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

struct TCharsetName {
  Integer Value;
  const char* Name;
};

const TCharsetName kCharsetNames[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

bool ColorIdentToInt(const String& ident, Int64& value) {
  Integer v = 0;
  if (!IdentToColor(ident, v)) return false;
  value = v;
  return true;
}

bool ColorIntToIdent(Int64 value, String& ident) {
  return ColorToIdent(static_cast<Integer>(value), ident);
}

bool CharsetIdentToInt(const String& ident, Int64& value) {
  for (const auto& c : kCharsetNames) {
    if (SameText(ident, c.Name)) {
      value = c.Value;
      return true;
    }
  }
  return false;
}

bool CharsetIntToIdent(Int64 value, String& ident) {
  for (const auto& c : kCharsetNames) {
    if (c.Value == value) {
      ident = c.Name;
      return true;
    }
  }
  return false;
}

}  // namespace

Integer ColorToRGB(TColor Color) {
  if (Color < 0) return static_cast<Integer>(GetSysColor(Color & 0xFF));
  return Color;
}

bool ColorToIdent(Integer Color, String& Ident) {
  for (const auto& c : kColorNames) {
    if (c.Value == Color) {
      Ident = c.Name;
      return true;
    }
  }
  return false;
}

bool IdentToColor(const String& Ident, Integer& Color) {
  for (const auto& c : kColorNames) {
    if (SameText(Ident, c.Name)) {
      Color = c.Value;
      return true;
    }
  }
  return false;
}

String ColorToString(TColor Color) {
  String ident;
  if (ColorToIdent(Color, ident)) return ident;
  return "$" + IntToHex(static_cast<Integer>(Color), 8);
}

TColor StringToColor(const String& S) {
  Integer value = 0;
  if (IdentToColor(S, value)) return static_cast<TColor>(value);
  return static_cast<TColor>(StrToInt(S));
}

void GetColorValues(const std::function<void(const String&)>& Proc) {
  for (const auto& c : kColorNames) Proc(c.Name);
}

Integer ScreenLogPixels() {
  static const Integer ppi = [] {
    TWindowDC dc(nullptr);
    Integer result = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
    return result > 0 ? result : 96;
  }();
  return ppi;
}

// ---------------------------------------------------------------------------
// The shared GDI object cache
// ---------------------------------------------------------------------------

namespace graphics_detail {

enum class TResKind : Byte { Font, Pen, Brush };

// The attributes that make one GDI object; equal attributes share it.
struct TResource {
  TResKind Kind = TResKind::Font;
  // Font.
  Integer Height = 0;
  Integer Orientation = 0;
  TFontStyles Style;
  TFontCharset Charset = TFontCharset(DEFAULT_CHARSET);
  TFontPitch Pitch = fpDefault;
  TFontQuality Quality = fqDefault;
  String Name;
  // Pen and brush.
  TColor Color = clBlack;
  Integer Width = 1;
  TPenStyle PenStyle = psSolid;
  TBrushStyle BrushStyle = bsSolid;
  HBITMAP Pattern = nullptr;
  // A handle given from outside gets an entry of its own: nobody else's
  // attributes produce it.
  bool Adopted = false;

  HGDIOBJ Handle = nullptr;
  Integer RefCount = 0;

  bool SameData(const TResource& o) const {
    if (Kind != o.Kind || Adopted || o.Adopted) return false;
    switch (Kind) {
      case TResKind::Font:
        return Height == o.Height && Orientation == o.Orientation &&
               Style == o.Style && Charset == o.Charset && Pitch == o.Pitch &&
               Quality == o.Quality && Name == o.Name;
      case TResKind::Pen:
        return Color == o.Color && Width == o.Width && PenStyle == o.PenStyle;
      case TResKind::Brush:
        return Color == o.Color && BrushStyle == o.BrushStyle &&
               Pattern == o.Pattern;
    }
    return false;
  }
};

namespace {

// One list for all kinds: a few dozen entries at most, so a linear search.
class TResourceManager {
 public:
  TResource* Allocate(const TResource& data) {
    std::lock_guard<std::mutex> guard(lock_);
    for (TResource& r : items_) {
      if (r.SameData(data)) {
        ++r.RefCount;
        return &r;
      }
    }
    items_.push_back(data);
    TResource& r = items_.back();
    r.RefCount = 1;
    return &r;
  }

  void Release(TResource* res) {
    if (!res) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (--res->RefCount > 0) return;
    if (res->Handle) DeleteObject(res->Handle);
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if (&*it == res) {
        items_.erase(it);
        break;
      }
    }
  }

  // Another user of res; an equal entry for plain attributes.
  TResource* Share(TResource* res) {
    std::lock_guard<std::mutex> guard(lock_);
    ++res->RefCount;
    return res;
  }

  HGDIOBJ Handle(TResource* res) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!res->Handle) res->Handle = Create(*res);
    return res->Handle;
  }

  std::size_t Count() {
    std::lock_guard<std::mutex> guard(lock_);
    return items_.size();
  }

 private:
  static HGDIOBJ Create(const TResource& r) {
    switch (r.Kind) {
      case TResKind::Font: {
        LOGFONTA lf{};
        lf.lfHeight = r.Height;
        lf.lfEscapement = r.Orientation;
        lf.lfOrientation = r.Orientation;
        lf.lfWeight = r.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = r.Style.Contains(fsItalic);
        lf.lfUnderline = r.Style.Contains(fsUnderline);
        lf.lfStrikeOut = r.Style.Contains(fsStrikeOut);
        lf.lfCharSet = r.Charset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        static const BYTE qualities[] = {DEFAULT_QUALITY,
                                         DRAFT_QUALITY,
                                         PROOF_QUALITY,
                                         NONANTIALIASED_QUALITY,
                                         ANTIALIASED_QUALITY,
                                         5 /*ClearType*/,
                                         6 /*ClearType natural*/};
        lf.lfQuality = qualities[r.Quality];
        lf.lfPitchAndFamily = r.Pitch == fpVariable ? VARIABLE_PITCH
                              : r.Pitch == fpFixed  ? FIXED_PITCH
                                                    : DEFAULT_PITCH;
        std::strncpy(lf.lfFaceName, r.Name.c_str(), LF_FACESIZE - 1);
        return CreateFontIndirectA(&lf);
      }
      case TResKind::Pen: {
        static const UINT styles[] = {PS_SOLID,      PS_DASH,       PS_DOT,
                                      PS_DASHDOT,    PS_DASHDOTDOT, PS_NULL,
                                      PS_INSIDEFRAME};
        return CreatePen(styles[r.PenStyle], r.Width,
                         static_cast<COLORREF>(ColorToRGB(r.Color)));
      }
      case TResKind::Brush: {
        LOGBRUSH lb{};
        lb.lbColor = static_cast<COLORREF>(ColorToRGB(r.Color));
        if (r.Pattern) {
          lb.lbStyle = BS_PATTERN;
          lb.lbHatch = reinterpret_cast<ULONG_PTR>(r.Pattern);
        } else if (r.BrushStyle == bsSolid) {
          lb.lbStyle = BS_SOLID;
        } else if (r.BrushStyle == bsClear) {
          lb.lbStyle = BS_HOLLOW;
        } else {
          static const int hatches[] = {HS_HORIZONTAL, HS_VERTICAL,
                                        HS_FDIAGONAL,  HS_BDIAGONAL,
                                        HS_CROSS,      HS_DIAGCROSS};
          lb.lbStyle = BS_HATCHED;
          lb.lbHatch = hatches[r.BrushStyle - bsHorizontal];
        }
        return CreateBrushIndirect(&lb);
      }
    }
    return nullptr;
  }

  std::mutex lock_;
  std::list<TResource> items_;
};

TResourceManager& Manager() {
  static TResourceManager* manager = new TResourceManager;  // lives on
  return *manager;
}

// The font every new TFont starts as: the system's GUI font.
const TResource& DefaultFontData() {
  static const TResource data = [] {
    TResource r;
    r.Kind = TResKind::Font;
    LOGFONTA lf{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf) &&
        lf.lfFaceName[0]) {
      r.Height = lf.lfHeight ? lf.lfHeight : -11;
      r.Name = lf.lfFaceName;
    } else {
      r.Height = -11;
      r.Name = "Tahoma";
    }
    r.Charset = TFontCharset(DEFAULT_CHARSET);
    return r;
  }();
  return data;
}

// Changes a graphics object's resource: the new one is in place and the
// owner told before the old one is released, so that a canvas deselects
// the old GDI object before the cache deletes it.
template <class Before, class After>
void SwapResource(TResource*& current,
                  const std::function<void(TResource&)>& edit, Before before,
                  After after) {
  TResource data = *current;
  data.Handle = nullptr;
  data.RefCount = 0;
  data.Adopted = false;
  edit(data);
  if (data.SameData(*current)) return;
  before();
  TResource* old = current;
  current = Manager().Allocate(data);
  after();
  Manager().Release(old);
}

}  // namespace

std::size_t CachedResourceCount() { return Manager().Count(); }

}  // namespace graphics_detail

using graphics_detail::Manager;
using graphics_detail::TResKind;
using graphics_detail::TResource;

// ---------------------------------------------------------------------------
// TGraphicsObject
// ---------------------------------------------------------------------------

void TGraphicsObject::Changed() { OnChange(this); }
void TGraphicsObject::Changing() { OnChanging(this); }

void TGraphicsObject::Lock() {
  if (ownerLock_) ownerLock_->lock();
}

void TGraphicsObject::Unlock() {
  if (ownerLock_) ownerLock_->unlock();
}

namespace {
TResource DefaultPenData() {
  TResource r;
  r.Kind = TResKind::Pen;
  r.Color = clBlack;
  r.Width = 1;
  r.PenStyle = psSolid;
  return r;
}

TResource DefaultBrushData() {
  TResource r;
  r.Kind = TResKind::Brush;
  r.Color = clWhite;
  r.BrushStyle = bsSolid;
  return r;
}

// Makes target share source's GDI object (adopted handles included).
template <class Before, class After>
bool ShareResource(TResource*& target, TResource* source, Before before,
                   After after) {
  if (target == source) return false;
  before();
  TResource* old = target;
  target = Manager().Share(source);
  after();
  Manager().Release(old);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// TFont
// ---------------------------------------------------------------------------

TFont::TFont() : pixelsPerInch_(ScreenLogPixels()) {
  resource_ = Manager().Allocate(graphics_detail::DefaultFontData());
}

TFont::~TFont() { Manager().Release(resource_); }

void TFont::Change(const std::function<void(TResource&)>& edit) {
  TLockScope lock(this);
  graphics_detail::SwapResource(
      resource_, edit, [this] { Changing(); }, [this] { Changed(); });
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    TLockScope lock(this);
    const bool colorChanged = color_ != f->color_;
    const bool shared = ShareResource(
        resource_, f->resource_, [this] { Changing(); },
        [this, f] {
          color_ = f->color_;
          pixelsPerInch_ = f->pixelsPerInch_;
          Changed();
        });
    if (!shared && colorChanged) {
      Changing();
      color_ = f->color_;
      Changed();
    }
    pixelsPerInch_ = f->pixelsPerInch_;
    return;
  }
  TPersistent::Assign(Source);
}

HFONT TFont::Handle() {
  return static_cast<HFONT>(Manager().Handle(resource_));
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA lf{};
  if (!Value || !GetObjectA(Value, sizeof lf, &lf)) {
    throw EInvalidGraphicOperation("Invalid font handle");
  }
  TResource data;
  data.Kind = TResKind::Font;
  data.Height = lf.lfHeight;
  data.Orientation = lf.lfOrientation;
  if (lf.lfWeight >= FW_BOLD) data.Style.Include(fsBold);
  if (lf.lfItalic) data.Style.Include(fsItalic);
  if (lf.lfUnderline) data.Style.Include(fsUnderline);
  if (lf.lfStrikeOut) data.Style.Include(fsStrikeOut);
  data.Charset = static_cast<TFontCharset>(lf.lfCharSet);
  const BYTE pitch = lf.lfPitchAndFamily & 3;
  data.Pitch = pitch == VARIABLE_PITCH ? fpVariable
               : pitch == FIXED_PITCH  ? fpFixed
                                       : fpDefault;
  data.Name = lf.lfFaceName;
  data.Adopted = true;
  data.Handle = Value;
  TLockScope lock(this);
  Changing();
  TResource* old = resource_;
  resource_ = Manager().Allocate(data);
  Changed();
  Manager().Release(old);
}

bool TFont::HandleAllocated() const { return resource_->Handle != nullptr; }

void TFont::SetColor(TColor Value) {
  if (color_ == Value) return;
  TLockScope lock(this);
  Changing();
  color_ = Value;
  Changed();
}

TFontCharset TFont::Charset() const { return resource_->Charset; }
void TFont::SetCharset(TFontCharset Value) {
  Change([Value](TResource& r) { r.Charset = Value; });
}
Integer TFont::Height() const { return resource_->Height; }
void TFont::SetHeight(Integer Value) {
  Change([Value](TResource& r) { r.Height = Value; });
}
TFontName TFont::Name() const { return resource_->Name; }
void TFont::SetName(const TFontName& Value) {
  if (Value.empty()) return;
  Change([&Value](TResource& r) { r.Name = Value.substr(0, LF_FACESIZE - 1); });
}
TFontPitch TFont::Pitch() const { return resource_->Pitch; }
void TFont::SetPitch(TFontPitch Value) {
  Change([Value](TResource& r) { r.Pitch = Value; });
}
Integer TFont::Size() const {
  return -MulDiv(resource_->Height, 72, pixelsPerInch_);
}
void TFont::SetSize(Integer Value) {
  SetHeight(-MulDiv(Value, pixelsPerInch_, 72));
}
TFontStyles TFont::Style() const { return resource_->Style; }
void TFont::SetStyle(TFontStyles Value) {
  Change([Value](TResource& r) { r.Style = Value; });
}
Integer TFont::Orientation() const { return resource_->Orientation; }
void TFont::SetOrientation(Integer Value) {
  Change([Value](TResource& r) { r.Orientation = Value; });
}
TFontQuality TFont::Quality() const { return resource_->Quality; }
void TFont::SetQuality(TFontQuality Value) {
  if (Value > fqClearTypeNatural) return;
  Change([Value](TResource& r) { r.Quality = Value; });
}

// ---------------------------------------------------------------------------
// TPen
// ---------------------------------------------------------------------------

TPen::TPen() { resource_ = Manager().Allocate(DefaultPenData()); }
TPen::~TPen() { Manager().Release(resource_); }

void TPen::Change(const std::function<void(TResource&)>& edit) {
  TLockScope lock(this);
  graphics_detail::SwapResource(
      resource_, edit, [this] { Changing(); }, [this] { Changed(); });
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    TLockScope lock(this);
    const bool shared = ShareResource(
        resource_, p->resource_, [this] { Changing(); },
        [this, p] {
          mode_ = p->mode_;
          Changed();
        });
    if (!shared && mode_ != p->mode_) {
      Changing();
      mode_ = p->mode_;
      Changed();
    }
    return;
  }
  TPersistent::Assign(Source);
}

HPEN TPen::Handle() { return static_cast<HPEN>(Manager().Handle(resource_)); }

void TPen::SetHandle(HPEN Value) {
  LOGPEN lp{};
  if (!Value || !GetObjectA(Value, sizeof lp, &lp)) {
    throw EInvalidGraphicOperation("Invalid pen handle");
  }
  TResource data = DefaultPenData();
  data.Color = static_cast<TColor>(lp.lopnColor);
  data.Width = lp.lopnWidth.x;
  const UINT style = lp.lopnStyle & PS_STYLE_MASK;
  data.PenStyle =
      style <= PS_INSIDEFRAME ? static_cast<TPenStyle>(style) : psSolid;
  data.Adopted = true;
  data.Handle = Value;
  TLockScope lock(this);
  Changing();
  TResource* old = resource_;
  resource_ = Manager().Allocate(data);
  Changed();
  Manager().Release(old);
}

bool TPen::HandleAllocated() const { return resource_->Handle != nullptr; }

TColor TPen::Color() const { return resource_->Color; }
void TPen::SetColor(TColor Value) {
  Change([Value](TResource& r) { r.Color = Value; });
}
Integer TPen::Width() const { return resource_->Width; }
void TPen::SetWidth(Integer Value) {
  if (Value < 0) return;
  Change([Value](TResource& r) { r.Width = Value; });
}
TPenStyle TPen::Style() const { return resource_->PenStyle; }
void TPen::SetStyle(TPenStyle Value) {
  if (Value > psInsideFrame) return;
  Change([Value](TResource& r) { r.PenStyle = Value; });
}
void TPen::SetMode(TPenMode Value) {
  if (mode_ == Value || Value > pmNotXor) return;
  TLockScope lock(this);
  Changing();
  mode_ = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// TBrush
// ---------------------------------------------------------------------------

TBrush::TBrush() { resource_ = Manager().Allocate(DefaultBrushData()); }
TBrush::~TBrush() { Manager().Release(resource_); }

void TBrush::Change(const std::function<void(TResource&)>& edit) {
  TLockScope lock(this);
  graphics_detail::SwapResource(
      resource_, edit, [this] { Changing(); }, [this] { Changed(); });
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    TLockScope lock(this);
    ShareResource(
        resource_, b->resource_, [this] { Changing(); },
        [this, b] {
          bitmap_ = b->bitmap_;
          Changed();
        });
    return;
  }
  TPersistent::Assign(Source);
}

HBRUSH TBrush::Handle() {
  return static_cast<HBRUSH>(Manager().Handle(resource_));
}

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH lb{};
  if (!Value || !GetObjectA(Value, sizeof lb, &lb)) {
    throw EInvalidGraphicOperation("Invalid brush handle");
  }
  TResource data = DefaultBrushData();
  data.Color = static_cast<TColor>(lb.lbColor);
  switch (lb.lbStyle) {
    case BS_HOLLOW:
      data.BrushStyle = bsClear;
      break;
    case BS_HATCHED:
      data.BrushStyle =
          lb.lbHatch <= HS_DIAGCROSS
              ? static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch)
              : bsSolid;
      break;
    default:
      data.BrushStyle = bsSolid;
  }
  data.Adopted = true;
  data.Handle = Value;
  TLockScope lock(this);
  bitmap_ = nullptr;
  Changing();
  TResource* old = resource_;
  resource_ = Manager().Allocate(data);
  Changed();
  Manager().Release(old);
}

bool TBrush::HandleAllocated() const { return resource_->Handle != nullptr; }

TColor TBrush::Color() const { return resource_->Color; }
void TBrush::SetColor(TColor Value) {
  Change([Value](TResource& r) {
    r.Color = Value;
    if (r.BrushStyle == bsClear) r.BrushStyle = bsSolid;
  });
}
void TBrush::SetBitmap(TBitmap* Value) {
  HBITMAP pattern = Value ? Value->Handle() : nullptr;
  bitmap_ = Value;
  Change([pattern](TResource& r) { r.Pattern = pattern; });
}

TBrushStyle TBrush::Style() const { return resource_->BrushStyle; }
void TBrush::SetStyle(TBrushStyle Value) {
  if (Value > bsDiagCross) return;
  Change([Value](TResource& r) { r.BrushStyle = Value; });
}

// ---------------------------------------------------------------------------
// TCanvas
// ---------------------------------------------------------------------------

TCanvas::TCanvas() : font_(new TFont), pen_(new TPen), brush_(new TBrush) {
  font_->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
  font_->SetOwnerCriticalSection(&lock_);
  pen_->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
  pen_->SetOwnerCriticalSection(&lock_);
  brush_->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
  brush_->SetOwnerCriticalSection(&lock_);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  RequiredState({csHandleValid});
  return handle_;
}

void TCanvas::SetHandle(HDC Value) {
  if (handle_ == Value) return;
  if (handle_) DeselectHandles();
  handle_ = Value;
  if (Value) {
    state_.Include(csHandleValid);
  } else {
    state_ = TCanvasStates{};
  }
}

void TCanvas::RequiredState(TCanvasStates ReqState) {
  const TCanvasStates needed = ReqState - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!handle_) {
      throw EInvalidOperation("Canvas does not allow drawing");
    }
    state_.Include(csHandleValid);
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  state_ += needed;
}

void TCanvas::CreateFont() {
  SelectObject(handle_, font_->Handle());
  SetTextColor(handle_, static_cast<COLORREF>(ColorToRGB(font_->Color())));
}

void TCanvas::CreatePen() {
  static const int modes[] = {
      R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
      R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
      R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
      R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  SelectObject(handle_, pen_->Handle());
  SetROP2(handle_, modes[pen_->Mode()]);
}

void TCanvas::CreateBrush() {
  UnrealizeObject(brush_->Handle());
  SelectObject(handle_, brush_->Handle());
  const COLORREF color = static_cast<COLORREF>(ColorToRGB(brush_->Color()));
  if (brush_->Style() == bsSolid) {
    SetBkColor(handle_, color);
    SetBkMode(handle_, OPAQUE);
  } else {
    SetBkColor(handle_, ~color & 0xFFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  if (handle_ && (state_.Contains(csFontValid) || state_.Contains(csPenValid) ||
                  state_.Contains(csBrushValid))) {
    SelectObject(handle_, GetStockObject(BLACK_PEN));
    SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
    SelectObject(handle_, GetStockObject(SYSTEM_FONT));
  }
  state_ -= TCanvasStates{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::FontChanged(TObject*) {
  if (state_.Contains(csFontValid)) {
    state_.Exclude(csFontValid);
    SelectObject(handle_, GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (state_.Contains(csPenValid)) {
    state_.Exclude(csPenValid);
    SelectObject(handle_, GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (state_.Contains(csBrushValid)) {
    state_.Exclude(csBrushValid);
    SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changed() { OnChange(this); }
void TCanvas::Changing() { OnChanging(this); }

TPoint TCanvas::PenPos() {
  if (handle_) {
    POINT p{};
    if (GetCurrentPositionEx(handle_, &p)) return {p.x, p.y};
  }
  return penPos_;
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{};
  GetClipBox(handle_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

TColor TCanvas::Pixels(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(GetPixel(handle_, X, Y));
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(handle_, X, Y, static_cast<COLORREF>(ColorToRGB(Value)));
  Changed();
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
                  Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
                    Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Chord(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
                  Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(handle_, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Ellipse(const TRect& Rect) {
  Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(handle_, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Rectangle(const TRect& Rect) {
  Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2,
                        Integer X3, Integer Y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(handle_, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  MoveToEx(handle_, X, Y, nullptr);
  penPos_ = {X, Y};
}

void TCanvas::LineTo(Integer X, Integer Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(handle_, X, Y);
  penPos_ = {X, Y};
  Changed();
}

void TCanvas::DrawPoints(const TPoint* Points, Integer Count,
                         BOOL(WINAPI* ADraw)(HDC, const POINT*, int)) {
  if (!Points || Count <= 0) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ADraw(handle_, reinterpret_cast<const POINT*>(Points), Count);
  Changed();
}

void TCanvas::Polygon(const TPoint* Points, Integer Count) {
  DrawPoints(Points, Count, &::Polygon);
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Polygon(Points.data(), static_cast<Integer>(Points.size()));
}

void TCanvas::Polygon(std::initializer_list<TPoint> Points) {
  Polygon(Points.begin(), static_cast<Integer>(Points.size()));
}

void TCanvas::Polyline(const TPoint* Points, Integer Count) {
  DrawPoints(Points, Count, &::Polyline);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Polyline(Points.data(), static_cast<Integer>(Points.size()));
}

void TCanvas::Polyline(std::initializer_list<TPoint> Points) {
  Polyline(Points.begin(), static_cast<Integer>(Points.size()));
}

void TCanvas::PolyBezier(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::PolyBezier(handle_, reinterpret_cast<const POINT*>(Points.data()),
               static_cast<DWORD>(Points.size()));
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(handle_, reinterpret_cast<const RECT*>(&Rect), brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(handle_, reinterpret_cast<const RECT*>(&Rect), brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(handle_, reinterpret_cast<const RECT*>(&Rect));
  Changed();
}

void TCanvas::FloodFill(Integer X, Integer Y, TColor Color,
                        TFillStyle FillStyle) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ExtFloodFill(handle_, X, Y, static_cast<COLORREF>(ColorToRGB(Color)),
               FillStyle == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas,
                       const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(handle_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(),
             Canvas->handle_, Source.Left, Source.Top, Source.Width(),
             Source.Height(), static_cast<DWORD>(copyMode_));
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source,
                        TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  // The brush under everything, then the bitmap without the pixels of
  // Color: those show the brush.
  ::FillRect(handle_, reinterpret_cast<const RECT*>(&Dest), brush_->Handle());
  TCanvas* src = Bitmap->Canvas();
  HDC srcDC = src->Handle();
  TransparentBlt(handle_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(),
                 srcDC, Source.Left, Source.Top, Source.Width(),
                 Source.Height(), static_cast<UINT>(ColorToRGB(Color)));
  Changed();
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(handle_, X, Y, static_cast<UINT>(textFlags_), nullptr,
              Text.data(), static_cast<UINT>(Text.size()), nullptr);
  SIZE size{};
  GetTextExtentPoint32A(handle_, Text.data(), static_cast<int>(Text.size()),
                        &size);
  MoveTo(X + size.cx, Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y,
                       const String& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(handle_, X, Y, options, reinterpret_cast<const RECT*>(&Rect),
              Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32A(handle_, Text.data(), static_cast<int>(Text.size()),
                        &size);
  return {size.cx, size.cy};
}

Integer TCanvas::TextWidth(const String& Text) { return TextExtent(Text).cx; }
Integer TCanvas::TextHeight(const String& Text) { return TextExtent(Text).cy; }

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

// ---------------------------------------------------------------------------
// Unit start-up: published properties and streamed identifiers
// ---------------------------------------------------------------------------

namespace {

void GraphicsStartup() {
  RegisterEnum<TFontStyle>(
      "TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
  RegisterTypeName<TFontStyles>("TFontStyles");
  RegisterEnum<TFontPitch>("TFontPitch",
                           {"fpDefault", "fpVariable", "fpFixed"});
  RegisterEnum<TFontQuality>(
      "TFontQuality", {"fqDefault", "fqDraft", "fqProof", "fqNonAntialiased",
                       "fqAntialiased", "fqClearType", "fqClearTypeNatural"});
  RegisterEnum<TPenStyle>(
      "TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                    "psClear", "psInsideFrame"});
  RegisterEnum<TPenMode>(
      "TPenMode",
      {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
       "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen",
       "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"});
  RegisterEnum<TBrushStyle>(
      "TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                      "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"});
  RegisterEnum<TPixelFormat>(
      "TPixelFormat", {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit",
                       "pf16bit", "pf24bit", "pf32bit", "pfCustom"});
  RegisterEnum<TTransparentMode>("TTransparentMode", {"tmAuto", "tmFixed"});
  RegisterIntegerConsts(TypeInfo<TColor>(), &ColorIdentToInt, &ColorIntToIdent);
  RegisterIntegerConsts(TypeInfo<TFontCharset>(), &CharsetIdentToInt,
                        &CharsetIntToIdent);

  TPublished<TFont>()
      .Property("Charset", &TFont::Charset,
                static_cast<void (TFont::*)(TFontCharset)>(&TFont::SetCharset))
      .Property("Color", &TFont::Color, &TFont::SetColor)
      .Property("Height", &TFont::Height, &TFont::SetHeight)
      .Property("Name", &TFont::Name, &TFont::SetName)
      .Property("Orientation", &TFont::Orientation, &TFont::SetOrientation, 0)
      .Property("Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault)
      .Property("Size", &TFont::Size, &TFont::SetSize)
      .Stored(false)
      .Property("Style", &TFont::Style, &TFont::SetStyle);
  TPublished<TPen>()
      .Property("Color", &TPen::Color, &TPen::SetColor, clBlack)
      .Property("Mode", &TPen::Mode, &TPen::SetMode, pmCopy)
      .Property("Style", &TPen::Style, &TPen::SetStyle, psSolid)
      .Property("Width", &TPen::Width, &TPen::SetWidth, 1);
  TPublished<TBrush>()
      .Property("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
      .Property("Style", &TBrush::Style, &TBrush::SetStyle, bsSolid);
  RegisterClasses({TFont::StaticClass(), TPen::StaticClass(),
                   TBrush::StaticClass(), TBitmap::StaticClass(),
                   TIcon::StaticClass(), TMetafile::StaticClass(),
                   TPicture::StaticClass()});
  graphics_detail::RegisterStandardFormats();
}

}  // namespace

VARNEL_UNIT(Graphics, ({"SysUtils", "Classes"}), &GraphicsStartup, nullptr);
