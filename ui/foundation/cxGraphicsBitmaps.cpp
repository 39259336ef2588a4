// The bitmap classes, the image-drawing pipeline, the image list and the
// brush cache of the graphics layer.
#include <algorithm>
#include <cmath>

#include "Handles.h"
#include "ScopeGuard.h"
#include "cxControls.h"
#include "cxGraphics.h"

const TcxColorTransitionMap DisableMap{0.0729f, 0.7146f, 0.2125f, 105, 151};
const TcxColorTransitionMap FadeMap{0.299f, 0.587f, 0.114f, 192, 64};
const TcxColorTransitionMap GrayMap{0.299f, 0.587f, 0.114f, 255, 255};

TcxDrawImageProc CustomDrawImageProc;

namespace {

bool SameQuad(const RGBQUAD& A, const RGBQUAD& B) {
  return A.rgbBlue == B.rgbBlue && A.rgbGreen == B.rgbGreen &&
         A.rgbRed == B.rgbRed && A.rgbReserved == B.rgbReserved;
}

DWORD RGBOf(const RGBQUAD& AColor) {
  return static_cast<DWORD>(AColor.rgbBlue) |
         (static_cast<DWORD>(AColor.rgbGreen) << 8) |
         (static_cast<DWORD>(AColor.rgbRed) << 16);
}

void GrayByMap(RGBQUAD& AColor, const TcxColorTransitionMap& AMap) {
  const float value = AColor.rgbRed * AMap.RedScale +
                      AColor.rgbGreen * AMap.GreenScale +
                      AColor.rgbBlue * AMap.BlueScale;
  const float rounded = std::min(std::nearbyint(value), 255.0f);
  const BYTE grey = static_cast<BYTE>(std::max(rounded, 0.0f));
  AColor.rgbRed = AColor.rgbGreen = AColor.rgbBlue = grey;
}

// Blits ASource onto ADest's DC with a raster operation that uses a solid
// pattern of AColor.
void BlitWithPattern(HDC ADest, const TRect& ADestRect, HDC ASource,
                     const TPoint& ASourceTopLeft, TColor AColor, DWORD ARop) {
  TBrushHandle brush(
      CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(AColor))));
  TSelectObject select(ADest, brush.get());
  cxBitBlt(ADest, ASource, ADestRect, ASourceTopLeft, ARop);
}

// BeginUpdate for a scope. The end forces an update (when AForce) only if
// the scope finished its work; one left by an exception reports only what
// had already changed.
template <class T>
[[nodiscard]] auto UpdateBracket(T* AObject, bool AForce = true) {
  AObject->BeginUpdate();
  return TScopeGuard([AObject, AForce, uncaught = std::uncaught_exceptions()] {
    AObject->EndUpdate(AForce && std::uncaught_exceptions() == uncaught);
  });
}

// The three shared work bitmaps of cxDrawImage.
TObjectPtr<TcxBitmap> drawBitmap;
TObjectPtr<TcxBitmap> imageBitmap;
TObjectPtr<TcxBitmap> maskBitmap;

TcxBitmap* SharedBitmap(TObjectPtr<TcxBitmap>& ABitmap, Integer AWidth,
                        Integer AHeight) {
  if (!ABitmap) {
    ABitmap.reset(new TcxBitmap(AWidth, AHeight));
  } else {
    ABitmap->TransparentPixels()->Clear();
    ABitmap->SetTransparentBkColor(RGBQUAD{});
    ABitmap->SetSize(AWidth, AHeight);
  }
  return ABitmap.get();
}

bool ScreenIsTrueColor() {
  return GetDeviceCaps(cxScreenCanvas()->Handle(), BITSPIXEL) >= 32;
}

}  // namespace

namespace cxgraphics_detail {
void FreeDrawImageBitmaps() {
  drawBitmap.reset();
  imageBitmap.reset();
  maskBitmap.reset();
}
}  // namespace cxgraphics_detail

// ---------------------------------------------------------------------------
// TcxCustomBitmap
// ---------------------------------------------------------------------------

TcxCustomBitmap::TcxCustomBitmap() : TcxCustomBitmap(0, 0, pf24bit) {}

TcxCustomBitmap::TcxCustomBitmap(Integer AWidth, Integer AHeight,
                                 TPixelFormat APixelFormat) {
  Initialize(AWidth, AHeight, APixelFormat);
}

TcxCustomBitmap::TcxCustomBitmap(const TRect& ARect, TPixelFormat APixelFormat)
    : TcxCustomBitmap(ARect.Width(), ARect.Height(), APixelFormat) {}

TcxCustomBitmap::~TcxCustomBitmap() = default;

void TcxCustomBitmap::Initialize(Integer AWidth, Integer AHeight,
                                 TPixelFormat APixelFormat) {
  cxCanvas_.reset(new TcxCanvas(Canvas()));
  auto update = UpdateBracket(this);
  SetPixelFormat(APixelFormat);
  SetSize(AWidth, AHeight);
}

void TcxCustomBitmap::BeginUpdate() { ++lockCount_; }

void TcxCustomBitmap::EndUpdate(bool AForceUpdate) {
  if (lockCount_ <= 0) return;
  --lockCount_;
  if (AForceUpdate || changed_) Changed(this);
}

void TcxCustomBitmap::Changed(TObject* Sender) {
  if (Locked()) {
    changed_ = true;
    return;
  }
  TBitmap::Changed(Sender);
  Update();
  changed_ = false;
}

void TcxCustomBitmap::SetSize(Integer AWidth, Integer AHeight) {
  auto update = UpdateBracket(this, false);
  TBitmap::SetSize(AWidth, AHeight);
}

void TcxCustomBitmap::Rotate(TcxRotationAngle ARotationAngle,
                             bool AFlipVertically) {
  cxCanvas_->RotateBitmap(this, ARotationAngle, AFlipVertically);
}

// ---------------------------------------------------------------------------
// TcxColorList
// ---------------------------------------------------------------------------

Integer TcxColorList::Add(TColor AColor) {
  const RGBQUAD quad = cxColorToRGBQuad(AColor, 0);
  return TList::Add(
      reinterpret_cast<void*>(static_cast<uintptr_t>(RGBOf(quad))));
}

bool TcxColorList::ContainsRGB(const RGBQUAD& AColor) const {
  const uintptr_t value = RGBOf(AColor);
  for (Integer i = 0; i < Count(); ++i) {
    if (reinterpret_cast<uintptr_t>(Get(i)) == value) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// TcxBitmap
// ---------------------------------------------------------------------------

TcxBitmap::TcxBitmap() : TcxBitmap(0, 0) {}

TcxBitmap::TcxBitmap(Integer AWidth, Integer AHeight, TPixelFormat)
    : TcxCustomBitmap(TDeferInit{}) {
  InitializeBitmap(AWidth, AHeight);
}

TcxBitmap::TcxBitmap(const TRect& ARect, TPixelFormat)
    : TcxBitmap(ARect.Width(), ARect.Height()) {}

TcxBitmap::TcxBitmap(Integer AWidth, Integer AHeight,
                     const RGBQUAD& ATransparentColor)
    : TcxCustomBitmap(TDeferInit{}), transparentBkColor_(ATransparentColor) {
  InitializeBitmap(AWidth, AHeight);
}

TcxBitmap::~TcxBitmap() = default;

void TcxBitmap::InitializeBitmap(Integer AWidth, Integer AHeight) {
  BITMAPINFOHEADER& header = bitmapInfo_.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = AWidth;
  header.biHeight = AHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  dc_.reset(CreateCompatibleDC(nullptr));
  transparentPixels_.reset(new TcxColorList);
  Initialize(AWidth, AHeight, pf32bit);
  Clear();
}

void TcxBitmap::Update() {
  bitmapInfo_.bmiHeader.biWidth = Width();
  bitmapInfo_.bmiHeader.biHeight = Height();
}

void TcxBitmap::SetSize(Integer AWidth, Integer AHeight) {
  TcxCustomBitmap::SetSize(AWidth, AHeight);
  Clear();
}

void TcxBitmap::Clear() {
  if (Width() == 0 || Height() == 0) return;
  if (transparentBkColor_.rgbReserved != 0) {
    TransformBitmap(btmClear);
  } else {
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(ClientRect());
  }
}

void TcxBitmap::GetBitmapColors(TRGBColors& AColors) {
  const Integer w = Width();
  const Integer h = Height();
  AColors.assign(static_cast<std::size_t>(w) * h, RGBQUAD{});
  if (AColors.empty()) return;
  BITMAPINFO info = bitmapInfo_;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  GetDIBits(dc_.get(), Handle(), 0, h, AColors.data(), &info, DIB_RGB_COLORS);
}

void TcxBitmap::SetBitmapColors(const TRGBColors& AColors) {
  const Integer w = Width();
  const Integer h = Height();
  if (AColors.size() < static_cast<std::size_t>(w) * h || AColors.empty()) {
    return;
  }
  BITMAPINFO info = bitmapInfo_;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  SetDIBits(dc_.get(), Handle(), 0, h, AColors.data(), &info, DIB_RGB_COLORS);
}

void TcxBitmap::CopyBitmap(TBitmap* ABitmap, DWORD ACopyMode) {
  if (!ABitmap) return;
  cxBitBlt(Canvas()->Handle(), ABitmap->Canvas()->Handle(), ClientRect(),
           {0, 0}, ACopyMode);
}

void TcxBitmap::CopyBitmap(TBitmap* ABitmap, const TRect& ADestRect,
                           const TPoint& ASrcTopLeft, DWORD ACopyMode) {
  if (!ABitmap) return;
  cxBitBlt(Canvas()->Handle(), ABitmap->Canvas()->Handle(), ADestRect,
           ASrcTopLeft, ACopyMode);
}

void TcxBitmap::Filter(TcxBitmap* AMaskBitmap) {
  CopyBitmap(AMaskBitmap, 0x00220326);
}

void TcxBitmap::Invert() { CopyBitmap(this, NOTSRCCOPY); }

void TcxBitmap::AlphaBlend(TcxBitmap* ADestBitmap, const TRect& ARect,
                           bool ASmoothImage, Byte AConstantAlpha) {
  cxAlphaBlend(ADestBitmap, this, ARect, ClientRect(), ASmoothImage,
               AConstantAlpha);
}

void TcxBitmap::DrawHatch(const TcxHatchData& AHatchData) {
  hatchData_ = AHatchData;
  TransformBitmap(btmHatch);
}

void TcxBitmap::DrawHatch(TColor AColor1, TColor AColor2, Byte AStep,
                          Byte AAlpha1, Byte AAlpha2) {
  TcxHatchData data{};
  data.Color1 = cxColorToRGBQuad(AColor1, 255);
  data.Alpha1 = AAlpha1;
  data.Color2 = cxColorToRGBQuad(AColor2, 255);
  data.Alpha2 = AAlpha2;
  data.Step = AStep;
  DrawHatch(data);
}

void TcxBitmap::DrawShadow(TcxBitmap* AMaskBitmap, Integer AShadowSize,
                           TColor AShadowColor, bool AInflateSize) {
  if (!AMaskBitmap) return;
  const Integer w = Width();
  const Integer h = Height();
  const Integer s = AShadowSize;
  TObjectPtr<TcxBitmap> work(
      new TcxBitmap(w + 2 * s, h + 2 * s, RGBQUAD{255, 255, 255, 255}));
  work->CopyBitmap(AMaskBitmap,
                   Bounds(s, s, AMaskBitmap->Width(), AMaskBitmap->Height()),
                   {0, 0});
  HDC workDC = work->Canvas()->Handle();
  BlitWithPattern(workDC, Bounds(s, s, work->Width(), work->Height()), workDC,
                  {0, 0}, AShadowColor, 0x00200F09);
  work->SetTransparentBkColor(RGBQUAD{});
  work->TransformBitmap(btmCorrectBlend);
  TObjectPtr<TcxBitmap> combined(new TcxBitmap(w + s, h + s));
  combined->CopyBitmap(this, Rect(0, 0, w, h), {0, 0});
  combined->CopyBitmap(work.get(), combined->ClientRect(), {s, s}, SRCPAINT);
  if (AInflateSize) SetSize(w + s, h + s);
  CopyBitmap(combined.get());
}

void TcxBitmap::Shade(TcxBitmap* AMaskBitmap) {
  if (!AMaskBitmap) return;
  HDC maskDC = AMaskBitmap->Canvas()->Handle();
  const TRect maskRect = AMaskBitmap->ClientRect();
  BlitWithPattern(maskDC, maskRect, maskDC, {0, 0},
                  AMaskBitmap->Canvas()->Brush()->Color(), PATINVERT);
  CopyBitmap(AMaskBitmap, Bounds(1, 1, maskRect.Right, maskRect.Bottom),
             {0, 0});
  BlitWithPattern(Canvas()->Handle(), maskRect, maskDC, {0, 0}, clBtnShadow,
                  0x00E20746);
  TransformBitmap(btmCorrectBlend);
}

void TcxBitmap::MakeOpaque() {
  TRGBColors colors;
  GetBitmapColors(colors);
  for (RGBQUAD& c : colors) c.rgbReserved = 255;
  SetBitmapColors(colors);
}

void TcxBitmap::RecoverAlphaChannel(TColor ATransparentColor) {
  transparentPixels_->Clear();
  transparentPixels_->Add(ATransparentColor);
  transparentBkColor_ = cxColorToRGBQuad(ATransparentColor, 0);
  TransformBitmap(btmCorrectBlend);
}

bool TcxBitmap::IsColorTransparent(const RGBQUAD& AColor) const {
  return SameQuad(AColor, transparentBkColor_) ||
         transparentPixels_->ContainsRGB(AColor);
}

bool TcxBitmap::IsAlphaUsed() {
  TRGBColors colors;
  GetBitmapColors(colors);
  return std::any_of(colors.begin(), colors.end(),
                     [](const RGBQUAD& c) { return c.rgbReserved != 0; });
}

void TcxBitmap::TransformBitmap(TcxBitmapTransformationMode AMode) {
  TRGBColors colors;
  GetBitmapColors(colors);
  const Integer w = Width();
  const Integer h = Height();
  for (Integer x = 0; x < w; ++x) {
    for (Integer y = 0; y < h; ++y) {
      currentX_ = x;
      currentY_ = y;
      TransformPixel(AMode, colors[static_cast<std::size_t>(y) * w + x]);
    }
  }
  SetBitmapColors(colors);
  Changed(this);
}

void TcxBitmap::TransformPixel(TcxBitmapTransformationMode AMode,
                               RGBQUAD& AColor) {
  switch (AMode) {
    case btmDingy:
      if (!IsColorTransparent(AColor)) {
        for (BYTE* c : {&AColor.rgbBlue, &AColor.rgbGreen, &AColor.rgbRed,
                        &AColor.rgbReserved}) {
          *c = static_cast<BYTE>(*c + MulDiv(255 - *c, 3, 10));
        }
      }
      break;
    case btmDirty:
      if (!IsColorTransparent(AColor)) {
        GrayByMap(AColor, GrayMap);
        cxBlendFunction(cxColorToRGBQuad(clBtnShadow, 192), AColor, 238);
      }
      break;
    case btmGrayScale:
      if (!IsColorTransparent(AColor)) {
        const BYTE grey = static_cast<BYTE>(
            (AColor.rgbRed + AColor.rgbGreen + AColor.rgbBlue) / 3);
        AColor.rgbRed = AColor.rgbGreen = AColor.rgbBlue = grey;
      }
      break;
    case btmSetOpaque:
      AColor.rgbReserved = 255;
      break;
    case btmMakeMask:
      AColor = IsColorTransparent(AColor) ? RGBQUAD{255, 255, 255, 255}
                                          : RGBQUAD{0, 0, 0, 0};
      break;
    case btmFade:
      if (!IsColorTransparent(AColor)) GrayByMap(AColor, FadeMap);
      break;
    case btmDisable:
      if (!IsColorTransparent(AColor)) GrayByMap(AColor, DisableMap);
      break;
    case btmCorrectBlend:
      if (!IsColorTransparent(AColor) && AColor.rgbReserved == 0) {
        AColor.rgbReserved = 255;
      }
      break;
    case btmHatch: {
      const Integer step = std::max<Integer>(hatchData_.Step, 1);
      if ((currentX_ / step + currentY_ / step) % 2 != 0) {
        cxBlendFunction(hatchData_.Color2, AColor, hatchData_.Alpha2);
      } else {
        cxBlendFunction(hatchData_.Color1, AColor, hatchData_.Alpha1);
      }
      break;
    }
    case btmClear:
      AColor = transparentBkColor_;
      break;
  }
}

// ---------------------------------------------------------------------------
// Image drawing
// ---------------------------------------------------------------------------

void cxDrawImage(HDC ADC, TRect AGlyphRect, const TRect& ABackgroundRect,
                 TBitmap* AGlyph, TCustomImageList* AImages,
                 Integer AImageIndex, TcxImageDrawMode ADrawMode,
                 bool ASmoothImage, HBRUSH ABrush, TColor ATransparentColor,
                 bool AUseLeftBottomPixelAsTransparent) {
  const bool glyphAssigned = IsGlyphAssigned(AGlyph);
  if (!glyphAssigned && !IsImageAssigned(AImages, AImageIndex)) return;
  const Integer bgWidth = ABackgroundRect.Width();
  const Integer bgHeight = ABackgroundRect.Height();
  if (bgWidth <= 0 || bgHeight <= 0) return;
  TcxBitmap* draw = SharedBitmap(drawBitmap, bgWidth, bgHeight);
  HDC drawDC = draw->Canvas()->Handle();
  if (ABrush) {
    const RECT r{0, 0, bgWidth, bgHeight};
    FillRect(drawDC, &r, ABrush);
  } else {
    cxBitBlt(drawDC, ADC, draw->ClientRect(), ABackgroundRect.TopLeft(),
             SRCCOPY);
  }
  OffsetRect(AGlyphRect, -ABackgroundRect.Left, -ABackgroundRect.Top);
  const bool custom =
      CustomDrawImageProc &&
      CustomDrawImageProc(draw->cxCanvas(), AImages, AImageIndex, ADrawMode,
                          AGlyphRect, AGlyph);
  if (!custom) {
    const Integer w = glyphAssigned ? AGlyph->Width() : AImages->Width();
    const Integer h = glyphAssigned ? AGlyph->Height() : AImages->Height();
    TcxBitmap* image = SharedBitmap(imageBitmap, w, h);
    bool hasAlpha;
    if (glyphAssigned) {
      image->CopyBitmap(AGlyph);
      hasAlpha = (AGlyph->PixelFormat() == pf32bit ||
                  (AGlyph->PixelFormat() == pfDevice && ScreenIsTrueColor())) &&
                 image->IsAlphaUsed();
    } else {
      TcxImageList::GetImageInfo(AImages->Handle(), AImageIndex, image,
                                 nullptr);
      hasAlpha = TcxImageList::GetPixelFormat(AImages->Handle()) >= 32 &&
                 image->IsAlphaUsed();
    }
    if (!hasAlpha) image->TransformBitmap(btmSetOpaque);

    TcxBitmap* mask = SharedBitmap(maskBitmap, w, h);
    mask->CopyBitmap(image);
    if (!hasAlpha) {
      if (!glyphAssigned) {
        TObjectPtr<TcxBitmap> listMask(new TcxBitmap(w, h));
        TcxImageList::GetImageInfo(AImages->Handle(), AImageIndex, nullptr,
                                   listMask.get());
        listMask->TransformBitmap(btmCorrectBlend);
        mask->Filter(listMask.get());
      }
      if (ATransparentColor != clNone) {
        mask->TransparentPixels()->Add(ATransparentColor);
      }
      if (AUseLeftBottomPixelAsTransparent && glyphAssigned) {
        mask->TransparentPixels()->Add(AGlyph->TransparentColor());
      }
    }
    mask->TransformBitmap(btmMakeMask);
    image->Filter(mask);

    Byte alpha = 255;
    switch (ADrawMode) {
      case idmNormal:
        break;
      case idmDisabled:
        if (hasAlpha) {
          image->TransformBitmap(btmDisable);
          alpha = DisableMap.Alpha;
        } else {
          image->TransformBitmap(btmDirty);
          image->DrawShadow(mask, 1, clBtnHighlight, false);
        }
        break;
      case idmFaded:
        image->TransformBitmap(btmFade);
        alpha = FadeMap.Alpha;
        break;
      case idmGrayScale:
        image->TransformBitmap(btmGrayScale);
        break;
      case idmDingy:
        image->TransformBitmap(btmDingy);
        break;
      case idmShadowed:
        image->DrawShadow(mask, 2, clBtnShadow, true);
        AGlyphRect.Right += 2;
        AGlyphRect.Bottom += 2;
        OffsetRect(AGlyphRect, -1, -1);
        break;
    }
    image->AlphaBlend(draw, AGlyphRect, ASmoothImage, alpha);
  }
  cxBitBlt(ADC, draw->Canvas()->Handle(), ABackgroundRect, {0, 0}, SRCCOPY);
}

void cxMakeTrueColorBitmap(TBitmap* ASourceBitmap, TBitmap* ATrueColorBitmap) {
  if (!ASourceBitmap || !ATrueColorBitmap) return;
  const Integer w = ASourceBitmap->Width();
  const Integer h = ASourceBitmap->Height();
  TObjectPtr<TcxBitmap> image(new TcxBitmap(w, h));
  image->CopyBitmap(ASourceBitmap);
  image->TransformBitmap(btmSetOpaque);
  TObjectPtr<TcxBitmap> mask(new TcxBitmap(w, h));
  mask->CopyBitmap(ASourceBitmap);
  mask->SetTransparentBkColor(
      cxColorToRGBQuad(ASourceBitmap->TransparentColor(), 0));
  mask->TransformBitmap(btmMakeMask);
  image->Filter(mask.get());
  ATrueColorBitmap->Assign(image.get());
}

void cxMakeMaskBitmap(TBitmap* ASourceBitmap, TBitmap* AMaskBitmap) {
  if (!ASourceBitmap || !AMaskBitmap) return;
  TObjectPtr<TcxBitmap> copy(
      new TcxBitmap(ASourceBitmap->Width(), ASourceBitmap->Height()));
  copy->CopyBitmap(ASourceBitmap);
  if (!copy->IsAlphaUsed()) {
    copy->RecoverAlphaChannel(ASourceBitmap->TransparentColor());
  }
  copy->TransformBitmap(btmMakeMask);
  cxBitBlt(AMaskBitmap->Canvas()->Handle(), copy->Canvas()->Handle(),
           copy->ClientRect(), {0, 0}, SRCCOPY);
}

void cxDrawHatch(HDC ADC, const TRect& ARect, TColor AColor1, TColor AColor2,
                 Byte AStep, Byte AAlpha1, Byte AAlpha2) {
  if (IsRectEmpty(ARect)) return;
  TObjectPtr<TcxBitmap> bitmap(new TcxBitmap(ARect.Width(), ARect.Height()));
  cxBitBlt(bitmap->Canvas()->Handle(), ADC, bitmap->ClientRect(),
           ARect.TopLeft(), SRCCOPY);
  bitmap->DrawHatch(AColor1, AColor2, AStep, AAlpha1, AAlpha2);
  cxBitBlt(ADC, bitmap->Canvas()->Handle(), ARect, {0, 0}, SRCCOPY);
}

// ---------------------------------------------------------------------------
// TcxImageList
// ---------------------------------------------------------------------------

TcxImageList::TcxImageList(TComponent* AOwner) : TDragImageList(AOwner) {
  alphaBlending_ = true;
}

void TcxImageList::Initialize() {
  TDragImageList::Initialize();
  alphaBlending_ = true;
}

HBITMAP TcxImageList::GetImageHandle(TBitmap* AImage) {
  return AImage ? AImage->Handle() : nullptr;
}

Integer TcxImageList::Add(TBitmap* AImage, TBitmap* AMask) {
  Integer result;
  if (AMask) {
    result = ImageList_Add(Handle(), GetImageHandle(AImage), AMask->Handle());
  } else {
    const Integer stride = ((Width() + 15) / 16) * 2;
    std::vector<BYTE> zeros(static_cast<std::size_t>(stride) * Height());
    TBitmapHandle mono(CreateBitmap(Width(), Height(), 1, 1, zeros.data()));
    result = ImageList_Add(Handle(), GetImageHandle(AImage), mono.get());
  }
  Change();
  return result;
}

Integer TcxImageList::AddMasked(TBitmap* AImage, TColor AMaskColor) {
  Integer result;
  auto update = UpdateBracket(this);
  if (AMaskColor == clNone) {
    result = Add(AImage, nullptr);
  } else {
    result = ImageList_AddMasked(Handle(), GetImageHandle(AImage),
                                 static_cast<COLORREF>(ColorToRGB(AMaskColor)));
  }
  return result;
}

void TcxImageList::AddImages(TCustomImageList* AImages) {
  if (!AImages) return;
  auto update = UpdateBracket(this);
  CopyImages(AImages);
}

void TcxImageList::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCustomImageList*>(Source);
  if (!source) {
    TDragImageList::Assign(Source);
    return;
  }
  auto update = UpdateBracket(this);
  TDragImageList::Assign(source);
  Clear();
  CopyImages(source);
}

void TcxImageList::CopyImages(TCustomImageList* AImages, Integer AStartIndex,
                              Integer AStopIndex) {
  if (!AImages) return;
  auto update = UpdateBracket(this);
  TObjectPtr<TcxBitmap> image(new TcxBitmap(Width(), Height()));
  TObjectPtr<TBitmap> mask(cxCreateBitmap(Width(), Height(), pf1bit));
  const Integer first = std::max(AStartIndex, 0);
  Integer last = AImages->Count() - 1;
  if (AStopIndex >= 0) last = std::min(AStopIndex, last);
  for (Integer i = first; i <= last; ++i) {
    GetImageInfo(AImages->Handle(), i, image.get(), mask.get());
    Add(image.get(), mask.get());
  }
}

void TcxImageList::Insert(Integer AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex > Count()) return;
  auto update = UpdateBracket(this);
  Add(AImage, AMask);
  Move(Count() - 1, AIndex);
}

void TcxImageList::InsertMasked(Integer AIndex, TBitmap* AImage,
                                TColor AMaskColor) {
  if (AIndex < 0 || AIndex > Count()) return;
  auto update = UpdateBracket(this);
  AddMasked(AImage, AMaskColor);
  Move(Count() - 1, AIndex);
}

// Moves the image by rewriting the slots between the two indexes: the
// system's swap of two images (ImageList_Copy with ILCF_SWAP) loses their
// pixels on some systems.
void TcxImageList::Move(Integer ACurIndex, Integer ANewIndex) {
  const Integer count = Count();
  if (ACurIndex == ANewIndex || ACurIndex < 0 || ANewIndex < 0 ||
      ACurIndex >= count || ANewIndex >= count) {
    return;
  }
  auto update = UpdateBracket(this);
  const Integer first = std::min(ACurIndex, ANewIndex);
  const Integer last = std::max(ACurIndex, ANewIndex);
  std::vector<TObjectPtr<TcxBitmap>> images;
  std::vector<TObjectPtr<TBitmap>> masks;
  for (Integer i = first; i <= last; ++i) {
    images.emplace_back(new TcxBitmap(Width(), Height()));
    masks.emplace_back(cxCreateBitmap(Width(), Height(), pf1bit));
    GetImageInfo(Handle(), i, images.back().get(), masks.back().get());
  }
  // The slot order after the move, as offsets into the saved images.
  std::vector<Integer> order(images.size());
  for (Integer i = 0; i < static_cast<Integer>(order.size()); ++i) order[i] = i;
  if (ACurIndex < ANewIndex) {
    std::rotate(order.begin(), order.begin() + 1, order.end());
  } else {
    std::rotate(order.rbegin(), order.rbegin() + 1, order.rend());
  }
  for (Integer i = 0; i < static_cast<Integer>(order.size()); ++i) {
    ImageList_Replace(Handle(), first + i, images[order[i]]->Handle(),
                      masks[order[i]]->Handle());
  }
  Change();
}

void TcxImageList::Replace(Integer AIndex, TBitmap* AImage, TBitmap* AMask) {
  ImageList_Replace(Handle(), AIndex, GetImageHandle(AImage),
                    GetImageHandle(AMask));
  Change();
}

void TcxImageList::ReplaceMasked(Integer AIndex, TBitmap* AImage,
                                 TColor AMaskColor) {
  auto update = UpdateBracket(this);
  Delete(AIndex);
  InsertMasked(AIndex, AImage, AMaskColor);
}

void TcxImageList::BeginUpdate() { ++lockCount_; }

void TcxImageList::EndUpdate(bool AForceUpdate) {
  if (lockCount_ <= 0) return;
  --lockCount_;
  if (AForceUpdate || changed_) Change();
}

void TcxImageList::Change() {
  if (lockCount_ > 0) {
    changed_ = true;
    return;
  }
  changed_ = false;
  TDragImageList::Change();
}

void TcxImageList::GetImageInfo(Integer AIndex, TBitmap* AImage,
                                TBitmap* AMask) {
  GetImageInfo(Handle(), AIndex, AImage, AMask);
}
void TcxImageList::GetImage(Integer AIndex, TBitmap* AImage) {
  GetImageInfo(AIndex, AImage, nullptr);
}
void TcxImageList::GetMask(Integer AIndex, TBitmap* AMask) {
  GetImageInfo(AIndex, nullptr, AMask);
}

namespace {

// A copy of a bitmap of the image list as a DIB section (the list's own
// bitmap stays the list's).
HBITMAP CopyListBitmap(HBITMAP ABitmap) {
  if (!ABitmap) return nullptr;
  return static_cast<HBITMAP>(
      CopyImage(ABitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void CopyListPart(HBITMAP AListBitmap, const RECT& APart, bool AWhole,
                  TBitmap* ATarget) {
  TBitmapHandle copy(CopyListBitmap(AListBitmap));
  if (!copy) return;
  if (AWhole) {
    ATarget->SetHandle(copy.release());
    return;
  }
  const Integer w = APart.right - APart.left;
  const Integer h = APart.bottom - APart.top;
  ATarget->SetSize(w, h);
  TOwnedDC source(CreateCompatibleDC(nullptr));
  TSelectObject select(source.get(), copy.get());
  HDC target = ATarget->Canvas()->Handle();
  // A monochrome mask lands as black (opaque) and white (transparent).
  const COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
  BitBlt(target, 0, 0, w, h, source.get(), APart.left, APart.top, SRCCOPY);
  SetTextColor(target, oldText);
  SetBkColor(target, oldBk);
}

}  // namespace

void TcxImageList::GetImageInfo(HIMAGELIST AHandle, Integer AIndex,
                                TBitmap* AImage, TBitmap* AMask) {
  IMAGEINFO info{};
  if (!AHandle ||
      !ImageList_GetImageInfo(AHandle, AIndex == -1 ? 0 : AIndex, &info)) {
    return;
  }
  const bool whole = AIndex == -1;
  if (AImage) CopyListPart(info.hbmImage, info.rcImage, whole, AImage);
  if (AMask) CopyListPart(info.hbmMask, info.rcImage, whole, AMask);
}

Integer TcxImageList::GetPixelFormat(HIMAGELIST AHandle) {
  IMAGEINFO info{};
  if (!AHandle || !ImageList_GetImageInfo(AHandle, 0, &info)) return 0;
  BITMAP data{};
  if (!cxGetBitmapData(info.hbmImage, data)) return 0;
  return data.bmBitsPixel;
}

void TcxImageList::Draw(TCanvas* ACanvas, const TRect& ARect, Integer AIndex,
                        bool AStretch, bool ASmoothResize, bool AEnabled) {
  DoDrawEx(AIndex, ACanvas, ARect, ILD_NORMAL, AStretch, ASmoothResize,
           AEnabled);
}

void TcxImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y,
                          UINT Style, bool Enabled) {
  DoDrawEx(Index, Canvas, Bounds(X, Y, Width(), Height()), Style, false, false,
           Enabled);
}

void TcxImageList::DoDrawEx(Integer AIndex, TCanvas* ACanvas,
                            const TRect& ARect, UINT AStyle, bool AStretch,
                            bool ASmoothResize, bool AEnabled) {
  TRect target = ARect;
  if (!AStretch) {
    target =
        Bounds(ARect.Left + (ARect.Width() - Width()) / 2,
               ARect.Top + (ARect.Height() - Height()) / 2, Width(), Height());
  }
  if (alphaBlending_) {
    cxDrawImage(ACanvas->Handle(), target, ARect, nullptr, this, AIndex,
                AEnabled ? idmNormal : idmDisabled, ASmoothResize, nullptr,
                clNone, true);
  } else if (AStretch) {
    TObjectPtr<TBitmap> bitmap(cxCreateBitmap(Width(), Height(), pf32bit));
    TDragImageList::DoDraw(AIndex, bitmap->Canvas(), 0, 0, AStyle, AEnabled);
    cxDrawImage(ACanvas->Handle(), ARect, ARect, bitmap.get(), nullptr, -1,
                idmNormal, ASmoothResize, nullptr, clNone, true);
  } else {
    TDragImageList::DoDraw(AIndex, ACanvas, target.Left, target.Top, AStyle,
                           AEnabled);
  }
}

// ---------------------------------------------------------------------------
// TcxBrushCache
// ---------------------------------------------------------------------------

namespace {
bool IsSystemColor(TColor AColor) {
  return (static_cast<Cardinal>(AColor) & 0xFF000000u) == 0xFF000000u;
}
}  // namespace

void TcxBrushCache::BeginUpdate() { ++lockCount_; }

void TcxBrushCache::EndUpdate() {
  if (lockCount_ > 0) --lockCount_;
  if (lockCount_ == 0 && deletedCount_ > 0) Pack();
}

TBrush* TcxBrushCache::Add(TColor AColor) {
  if (IsSystemColor(AColor)) {
    TBrush* brush = cxSystemBrush(static_cast<Cardinal>(AColor) & 0xFF);
    if (brush) brush->SetColor(AColor);
    return brush;
  }
  Integer index;
  if (!IndexOf(AColor, index)) {
    if (count_ == capacity_) capacity_ += capacity_ > 31 ? capacity_ / 4 : 8;
    TcxBrushData entry;
    entry.Brush.reset(new TBrush);
    entry.Color = AColor;
    data_.insert(data_.begin() + index, std::move(entry));
    ++count_;
  } else if (data_[index].RefCount == 0 && deletedCount_ > 0) {
    --deletedCount_;
  }
  TcxBrushData& entry = data_[index];
  ++entry.RefCount;
  entry.Brush->SetColor(AColor);
  return entry.Brush.get();
}

void TcxBrushCache::ReleaseBrush(TBrush*& ABrush) {
  if (IsSystemBrush(ABrush)) return;
  Integer index;
  if (IndexOf(ABrush->Color(), index)) Release(index);
}

void TcxBrushCache::SetBrushColor(TBrush*& ABrush, TColor AColor) {
  ReleaseBrush(ABrush);
  ABrush = Add(AColor);
}

void TcxBrushCache::Release(Integer AIndex) {
  TcxBrushData& entry = data_[AIndex];
  --entry.RefCount;
  if (entry.RefCount < 0) throw EBrushCache("Release unused brush");
  if (entry.RefCount == 0) Delete(AIndex);
}

void TcxBrushCache::Delete(Integer AIndex) {
  if (lockCount_ > 0) {
    ++deletedCount_;
    return;
  }
  data_.erase(data_.begin() + AIndex);
  --count_;
}

void TcxBrushCache::Pack() {
  Integer remaining = deletedCount_;
  deletedCount_ = 0;
  for (Integer i = count_ - 1; i >= 0 && remaining > 0; --i) {
    if (data_[i].RefCount <= 0) {
      data_.erase(data_.begin() + i);
      --count_;
      --remaining;
    }
  }
}

void TcxBrushCache::Recreate() {
  for (TcxBrushData& entry : data_) {
    entry.Brush->SetColor(entry.Color);
  }
}

bool TcxBrushCache::IsSystemBrush(TBrush* ABrush) const {
  return !ABrush || IsSystemColor(ABrush->Color());
}

bool TcxBrushCache::IndexOf(TColor AColor, Integer& AIndex) const {
  if (IsSystemColor(AColor)) {
    AIndex = -1;
    return false;
  }
  const auto it =
      std::lower_bound(data_.begin(), data_.end(), AColor,
                       [](const TcxBrushData& AEntry, TColor AValue) {
                         return static_cast<Integer>(AEntry.Color) <
                                static_cast<Integer>(AValue);
                       });
  AIndex = static_cast<Integer>(it - data_.begin());
  return it != data_.end() && it->Color == AColor;
}

Integer TcxBrushCache::RefCountOf(TColor AColor) const {
  Integer index;
  return IndexOf(AColor, index) ? data_[index].RefCount : -1;
}
