// The colour and bitmap routines of the graphics layer, the msimg32 binding
// and the unit's start-up and shut-down.
#include "cxGraphics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cxControls.h"

namespace {

// ---------------------------------------------------------------------------
// msimg32
// ---------------------------------------------------------------------------

TModuleHandle msimg32Module;
TcxMsimg32Binding loadedBinding;
TcxMsimg32Binding currentBinding;

void LoadMsimg32() {
  msimg32Module.reset(LoadLibraryA("msimg32.dll"));
  if (msimg32Module) {
    loadedBinding.AlphaBlend = reinterpret_cast<TcxMsimg32Binding::TAlphaBlend>(
        reinterpret_cast<void*>(
            GetProcAddress(msimg32Module.get(), "AlphaBlend")));
    loadedBinding.GradientFill =
        reinterpret_cast<TcxMsimg32Binding::TGradientFill>(
            reinterpret_cast<void*>(
                GetProcAddress(msimg32Module.get(), "GradientFill")));
  }
  currentBinding = loadedBinding;
}

void FreeMsimg32() {
  currentBinding = loadedBinding = TcxMsimg32Binding{};
  msimg32Module.reset();
}

// ---------------------------------------------------------------------------
// Shared brushes
// ---------------------------------------------------------------------------

constexpr Integer kSystemBrushCount = 31;

TObjectPtr<TBrush> halfToneBrush;
std::vector<TObjectPtr<TBrush>> systemBrushes;

void CreateBrushes() {
  // An 8 x 8 one-pixel checkerboard; monochrome rows are word aligned.
  const WORD pattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  TBitmapHandle bitmap(CreateBitmap(8, 8, 1, 1, pattern));
  halfToneBrush.reset(new TBrush);
  halfToneBrush->SetHandle(CreatePatternBrush(bitmap.get()));
  systemBrushes.clear();
  for (Integer i = 0; i < kSystemBrushCount; ++i) {
    systemBrushes.emplace_back(new TBrush);
    systemBrushes.back()->SetColor(graphics_detail::SysColor(i));
  }
}

void FreeBrushes() {
  systemBrushes.clear();
  halfToneBrush.reset();
}

// ---------------------------------------------------------------------------
// Pixel access
// ---------------------------------------------------------------------------

BITMAPINFO Make32BitInfo(Integer AWidth, Integer AHeight, bool ATopDown) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = AWidth;
  info.bmiHeader.biHeight = ATopDown ? -AHeight : AHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

BYTE RoundByte(float AValue) {
  const float rounded = std::nearbyint(AValue);
  if (rounded >= 255.0f) return 255;
  if (rounded <= 0.0f) return 0;
  return static_cast<BYTE>(rounded);
}

// ---------------------------------------------------------------------------
// Lanczos3
// ---------------------------------------------------------------------------

struct TContributor {
  Integer Pixel;
  Integer Weight;
};
using TContributors = std::vector<std::vector<TContributor>>;

float Sinc(float X) {
  if (X == 0.0f) return 1.0f;
  const float pix = std::numbers::pi_v<float> * X;
  return std::sin(pix) / pix;
}

float Lanczos3(float X) {
  if (std::fabs(X) >= 3.0f) return 0.0f;
  return Sinc(X) * Sinc(X / 3.0f);
}

TContributors BuildFilter(Integer ASource, Integer ADest) {
  float scale;
  if (ASource == 1) {
    scale = static_cast<float>(ADest) / static_cast<float>(ASource);
  } else if (ADest == 1) {
    scale = 1.0f / static_cast<float>(ASource);
  } else {
    scale = static_cast<float>(ADest - 1) / static_cast<float>(ASource - 1);
  }
  const float radius = scale >= 1.0f ? 3.0f : 3.0f / scale;
  const float filterScale = scale >= 1.0f ? 1.0f : 1.0f / scale;
  TContributors result(ADest);
  for (Integer i = 0; i < ADest; ++i) {
    const float center = static_cast<float>(i) / scale;
    auto& list = result[i];
    list.reserve(static_cast<std::size_t>(2 * radius + 1));
    const Integer first = static_cast<Integer>(std::floor(center - radius));
    const Integer last = static_cast<Integer>(std::ceil(center + radius));
    for (Integer j = first; j <= last; ++j) {
      const float weight =
          Lanczos3((center - static_cast<float>(j)) / filterScale) /
          filterScale * 256.0f;
      const Integer w = static_cast<Integer>(std::nearbyint(weight));
      if (w == 0) continue;
      Integer pixel = j;
      if (pixel < 0) pixel = -pixel;
      if (pixel >= ASource) pixel = 2 * ASource - 1 - pixel;
      // A support wider than the source mirrors past the other edge too.
      pixel = std::clamp(pixel, 0, ASource - 1);
      list.push_back({pixel, w});
    }
  }
  return result;
}

BYTE FilterSum(Integer ASum) {
  if (ASum < 0) return 0;
  if (ASum < 65536) return static_cast<BYTE>(ASum / 256);
  return 255;
}

RGBQUAD ApplyContributors(const std::vector<TContributor>& AList,
                          const RGBQUAD* ALine, Integer AStride) {
  Integer b = 0, g = 0, r = 0, a = 0;
  for (const TContributor& c : AList) {
    const RGBQUAD& p = ALine[c.Pixel * AStride];
    b += p.rgbBlue * c.Weight;
    g += p.rgbGreen * c.Weight;
    r += p.rgbRed * c.Weight;
    a += p.rgbReserved * c.Weight;
  }
  return RGBQUAD{FilterSum(b), FilterSum(g), FilterSum(r), FilterSum(a)};
}

void Lanczos3Resize(TBitmap* ASource, TBitmap* ADestination) {
  const Integer sw = ASource->Width();
  const Integer sh = ASource->Height();
  const Integer dw = ADestination->Width();
  const Integer dh = ADestination->Height();
  const TRGBColors source = GetBitmapBits(ASource, false);
  const TContributors horz = BuildFilter(sw, dw);
  TRGBColors middle(static_cast<std::size_t>(dw) * sh);
  for (Integer y = 0; y < sh; ++y) {
    for (Integer x = 0; x < dw; ++x) {
      middle[y * dw + x] = ApplyContributors(horz[x], &source[y * sw], 1);
    }
  }
  const TContributors vert = BuildFilter(sh, dh);
  TRGBColors result(static_cast<std::size_t>(dw) * dh);
  for (Integer y = 0; y < dh; ++y) {
    for (Integer x = 0; x < dw; ++x) {
      result[y * dw + x] = ApplyContributors(vert[y], &middle[x], dw);
    }
  }
  SetBitmapBits(ADestination, result, false);
}

TObjectPtr<TBitmap> NewTrueColorBitmap(Integer AWidth, Integer AHeight) {
  return cxCreateBitmap(AWidth, AHeight, pf32bit);
}

// ---------------------------------------------------------------------------
// Named colours
// ---------------------------------------------------------------------------

const std::vector<TcxColorInfo>& ColorTable() {
  static const std::vector<TcxColorInfo> table = {
      {"aliceblue", TColor(0x00FFF8F0)},
      {"antiquewhite", TColor(0x00D7EBFA)},
      {"aqua", TColor(0x00FFFF00)},
      {"aquamarine", TColor(0x00D4FF7F)},
      {"azure", TColor(0x00FFFFF0)},
      {"beige", TColor(0x00DCF5F5)},
      {"bisque", TColor(0x00C4E4FF)},
      {"black", TColor(0x00000000)},
      {"blanchedalmond", TColor(0x00CDEBFF)},
      {"blue", TColor(0x00FF0000)},
      {"blueviolet", TColor(0x00E22B8A)},
      {"brown", TColor(0x002A2AA5)},
      {"burlywood", TColor(0x0087B8DE)},
      {"cadetblue", TColor(0x00A09E5F)},
      {"chartreuse", TColor(0x0000FF7F)},
      {"chocolate", TColor(0x001E69D2)},
      {"coral", TColor(0x00507FFF)},
      {"cornflowerblue", TColor(0x00ED9564)},
      {"cornsilk", TColor(0x00DCF8FF)},
      {"crimson", TColor(0x003C14DC)},
      {"cyan", TColor(0x00FFFF00)},
      {"darkblue", TColor(0x008B0000)},
      {"darkcyan", TColor(0x008B8B00)},
      {"darkgoldenrod", TColor(0x000B86B8)},
      {"darkgray", TColor(0x00A9A9A9)},
      {"darkgreen", TColor(0x00006400)},
      {"darkkhaki", TColor(0x006BB7BD)},
      {"darkmagenta", TColor(0x008B008B)},
      {"darkolivegreen", TColor(0x002F6B55)},
      {"darkorange", TColor(0x00008CFF)},
      {"darkorchid", TColor(0x00CC3299)},
      {"darkred", TColor(0x0000008B)},
      {"darksalmon", TColor(0x007A96E9)},
      {"darkseagreen", TColor(0x008FBC8F)},
      {"darkslateblue", TColor(0x008B3D48)},
      {"darkslategray", TColor(0x004F4F2F)},
      {"darkturquoise", TColor(0x00D1CE00)},
      {"darkviolet", TColor(0x00D30094)},
      {"deeppink", TColor(0x009314FF)},
      {"deepskyblue", TColor(0x00FFBF00)},
      {"dimgray", TColor(0x00696969)},
      {"dodgerblue", TColor(0x00FF901E)},
      {"firebrick", TColor(0x002222B2)},
      {"floralwhite", TColor(0x00F0FAFF)},
      {"forestgreen", TColor(0x00228B22)},
      {"fuchsia", TColor(0x00FF00FF)},
      {"gainsboro", TColor(0x00DCDCDC)},
      {"ghostwhite", TColor(0x00FFF8F8)},
      {"gold", TColor(0x0000D7FF)},
      {"goldenrod", TColor(0x0020A5DA)},
      {"gray", TColor(0x00808080)},
      {"green", TColor(0x00008000)},
      {"greenyellow", TColor(0x002FFFAD)},
      {"honeydew", TColor(0x00F0FFF0)},
      {"hotpink", TColor(0x00B469FF)},
      {"indianred", TColor(0x005C5CCD)},
      {"indigo", TColor(0x0082004B)},
      {"ivory", TColor(0x00F0FFFF)},
      {"khaki", TColor(0x008CE6F0)},
      {"lavender", TColor(0x00FAE6E6)},
      {"lavenderblush", TColor(0x00F5F0FF)},
      {"lawngreen", TColor(0x0000FC7C)},
      {"lemonchiffon", TColor(0x00CDFAFF)},
      {"lightblue", TColor(0x00E6D8AD)},
      {"lightcoral", TColor(0x008080F0)},
      {"lightcyan", TColor(0x00FFFFE0)},
      {"lightgoldenrodyellow", TColor(0x00D2FAFA)},
      {"lightgreen", TColor(0x0090EE90)},
      {"lightgrey", TColor(0x00D3D3D3)},
      {"lightpink", TColor(0x00C1B6FF)},
      {"lightsalmon", TColor(0x007AA0FF)},
      {"lightseagreen", TColor(0x00AAB220)},
      {"lightskyblue", TColor(0x00FACE87)},
      {"lightslategray", TColor(0x00998877)},
      {"lightsteelblue", TColor(0x00DEC4B0)},
      {"lightyellow", TColor(0x00E0FFFF)},
      {"lime", TColor(0x0000FF00)},
      {"limegreen", TColor(0x0032CD32)},
      {"linen", TColor(0x00E6F0FA)},
      {"magenta", TColor(0x00FF00FF)},
      {"maroon", TColor(0x00000080)},
      {"mediumaquamarine", TColor(0x00AACD66)},
      {"mediumblue", TColor(0x00CD0000)},
      {"mediumorchid", TColor(0x00D355BA)},
      {"mediumpurple", TColor(0x00DB7093)},
      {"mediumseagreen", TColor(0x0071B33C)},
      {"mediumslateblue", TColor(0x00EE687B)},
      {"mediumspringgreen", TColor(0x009AFA00)},
      {"mediumturquoise", TColor(0x00CCD148)},
      {"mediumvioletred", TColor(0x008515C7)},
      {"midnightblue", TColor(0x00701919)},
      {"mintcream", TColor(0x00FAFFF5)},
      {"mistyrose", TColor(0x00E1E4FF)},
      {"moccasin", TColor(0x00B5E4FF)},
      {"navajowhite", TColor(0x00ADDEFF)},
      {"navy", TColor(0x00800000)},
      {"oldlace", TColor(0x00E6F5FD)},
      {"olive", TColor(0x00008080)},
      {"olivedrab", TColor(0x00238E6B)},
      {"orange", TColor(0x0000A5FF)},
      {"orangered", TColor(0x000045FF)},
      {"orchid", TColor(0x00D670DA)},
      {"palegoldenrod", TColor(0x00AAE8EE)},
      {"palegreen", TColor(0x0098FB98)},
      {"paleturquoise", TColor(0x00EEEEAF)},
      {"palevioletred", TColor(0x009370DB)},
      {"papayawhip", TColor(0x00D5EFFF)},
      {"peachpuff", TColor(0x00B9DAFF)},
      {"peru", TColor(0x003F85CD)},
      {"pink", TColor(0x00CBC0FF)},
      {"plum", TColor(0x00DDA0DD)},
      {"powderblue", TColor(0x00E6E0B0)},
      {"purple", TColor(0x00800080)},
      {"red", TColor(0x000000FF)},
      {"rosybrown", TColor(0x008F8FBC)},
      {"royalblue", TColor(0x00E16941)},
      {"saddlebrown", TColor(0x0013458B)},
      {"salmon", TColor(0x007280FA)},
      {"sandybrown", TColor(0x0060A4F4)},
      {"seagreen", TColor(0x00578B2E)},
      {"seashell", TColor(0x00EEF5FF)},
      {"sienna", TColor(0x002D52A0)},
      {"silver", TColor(0x00C0C0C0)},
      {"skyblue", TColor(0x00EBCE87)},
      {"slateblue", TColor(0x00CD5A6A)},
      {"slategray", TColor(0x00908070)},
      {"snow", TColor(0x00FAFAFF)},
      {"springgreen", TColor(0x007FFF00)},
      {"steelblue", TColor(0x00B48246)},
      {"tan", TColor(0x008CB4D2)},
      {"teal", TColor(0x00808000)},
      {"thistle", TColor(0x00D8BFD8)},
      {"tomato", TColor(0x004763FF)},
      {"turquoise", TColor(0x00D0E040)},
      {"violet", TColor(0x00EE82EE)},
      {"wheat", TColor(0x00B3DEF5)},
      {"white", TColor(0x00FFFFFF)},
      {"whitesmoke", TColor(0x00F5F5F5)},
      {"yellow", TColor(0x0000FFFF)},
      {"yellowgreen", TColor(0x0032CD9A)},
      {"activeborder", graphics_detail::SysColor(10)},
      {"activecaption", graphics_detail::SysColor(2)},
      {"appworkspace", graphics_detail::SysColor(12)},
      {"background", graphics_detail::SysColor(1)},
      {"buttonface", graphics_detail::SysColor(15)},
      {"buttonhighlight", graphics_detail::SysColor(20)},
      {"buttonshadow", graphics_detail::SysColor(16)},
      {"buttontext", graphics_detail::SysColor(18)},
      {"captiontext", graphics_detail::SysColor(9)},
      {"windowtext", graphics_detail::SysColor(8)},
      {"highlight", graphics_detail::SysColor(13)},
      {"highlighttext", graphics_detail::SysColor(14)},
      {"inactiveborder", graphics_detail::SysColor(11)},
      {"inactivecaption", graphics_detail::SysColor(3)},
      {"inactivecaptiontext", graphics_detail::SysColor(19)},
      {"infobackground", graphics_detail::SysColor(24)},
      {"infotext", graphics_detail::SysColor(23)},
      {"menu", graphics_detail::SysColor(4)},
      {"graytext", graphics_detail::SysColor(17)},
      {"menutext", graphics_detail::SysColor(7)},
      {"scrollbar", graphics_detail::SysColor(0)},
      {"threeddarkshadow", graphics_detail::SysColor(21)},
      {"threedface", graphics_detail::SysColor(15)},
      {"threedhighlight", graphics_detail::SysColor(20)},
      {"threedlightshadow", graphics_detail::SysColor(22)},
      {"threedshadow", graphics_detail::SysColor(16)},
      {"window", graphics_detail::SysColor(5)},
      {"windowframe", graphics_detail::SysColor(6)},
  };
  return table;
}

void GraphicsStartup() {
  LoadMsimg32();
  CreateBrushes();
}

void GraphicsShutdown() {
  cxgraphics_detail::FreeDrawImageBitmaps();
  cxgraphics_detail::FreeScreenCanvas();
  FreeBrushes();
  FreeMsimg32();
}

}  // namespace

// ---------------------------------------------------------------------------
// Binding
// ---------------------------------------------------------------------------

const TcxMsimg32Binding& cxMsimg32() { return currentBinding; }
void cxSetMsimg32Binding(const TcxMsimg32Binding& ABinding) {
  currentBinding = ABinding;
}
void cxRestoreMsimg32Binding() { currentBinding = loadedBinding; }
bool cxIsAlphaBlendAvailable() { return currentBinding.AlphaBlend != nullptr; }

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

const std::vector<TcxColorInfo>& cxColorsByName() { return ColorTable(); }

bool cxColorByName(const String& AName, TColor& AColor) {
  for (const TcxColorInfo& info : ColorTable()) {
    if (SameText(AName, info.Name)) {
      AColor = info.Color;
      return true;
    }
  }
  return false;
}

bool cxNameByColor(TColor AColor, String& AName) {
  for (const TcxColorInfo& info : ColorTable()) {
    if (info.Color == AColor) {
      AName = info.Name;
      return true;
    }
  }
  return false;
}

TColor GetLightColor(Integer ABtnFaceColorPart, Integer AHighlightColorPart,
                     Integer AWindowColorPart) {
  const Integer face = ColorToRGB(clBtnFace);
  const Integer highlight = ColorToRGB(clHighlight);
  const Integer window = ColorToRGB(clWindow);
  if (face == 0 || face == 0xFFFFFF) return static_cast<TColor>(highlight);
  Integer result = 0;
  for (Integer shift = 0; shift <= 16; shift += 8) {
    const Integer part =
        MulDiv((face >> shift) & 0xFF, ABtnFaceColorPart, 100) +
        MulDiv((highlight >> shift) & 0xFF, AHighlightColorPart, 100) +
        MulDiv((window >> shift) & 0xFF, AWindowColorPart, 100);
    result |= std::clamp(part, 0, 255) << shift;
  }
  return static_cast<TColor>(result);
}

TColor GetLightBtnFaceColor() {
  const Integer face = ColorToRGB(clBtnFace);
  Integer result = 0;
  for (Integer shift = 0; shift <= 16; shift += 8) {
    const Integer c = (face >> shift) & 0xFF;
    result |= (c + MulDiv(255 - c, 16, 100)) << shift;
  }
  return GetRealColor(static_cast<TColor>(result));
}

TColor GetLightSelColor() { return GetRealColor(GetLightColor(-2, 30, 72)); }
TColor GetLightDownedColor() { return GetRealColor(GetLightColor(11, 9, 73)); }
TColor GetLightDownedSelColor() {
  return GetRealColor(GetLightColor(14, 44, 40));
}

TColor GetRealColor(TColor AColor) {
  TWindowDC screen(nullptr);
  const COLORREF result =
      GetNearestColor(screen.get(), static_cast<COLORREF>(ColorToRGB(AColor)));
  return static_cast<TColor>(result);
}

RGBQUAD cxColorToRGBQuad(TColor AColor, Byte AReserved) {
  const Integer rgb = ColorToRGB(AColor);
  return RGBQUAD{static_cast<BYTE>((rgb >> 16) & 0xFF),
                 static_cast<BYTE>((rgb >> 8) & 0xFF),
                 static_cast<BYTE>(rgb & 0xFF), AReserved};
}

// ---------------------------------------------------------------------------
// Pixels and bitmaps
// ---------------------------------------------------------------------------

TRGBColors GetBitmapBits(TBitmap* ABitmap, bool ATopDownDIB) {
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  TRGBColors result(static_cast<std::size_t>(w) * h);
  if (result.empty()) return result;
  BITMAPINFO info = Make32BitInfo(w, h, ATopDownDIB);
  GetDIBits(cxScreenCanvas()->Handle(), ABitmap->Handle(), 0, h, result.data(),
            &info, DIB_RGB_COLORS);
  return result;
}

void SetBitmapBits(TBitmap* ABitmap, TRGBColors& AColors, bool ATopDownDIB) {
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  if (w > 0 && h > 0 && AColors.size() >= static_cast<std::size_t>(w) * h) {
    BITMAPINFO info = Make32BitInfo(w, h, ATopDownDIB);
    SetDIBits(cxScreenCanvas()->Handle(), ABitmap->Handle(), 0, h,
              AColors.data(), &info, DIB_RGB_COLORS);
  }
  AColors.clear();
}

TObjectPtr<TBitmap> cxCreateBitmap(Integer AWidth, Integer AHeight,
                                   TPixelFormat AFormat) {
  TObjectPtr<TBitmap> result(new TBitmap);
  result->SetPixelFormat(AFormat);
  result->SetSize(AWidth, AHeight);
  return result;
}
TObjectPtr<TBitmap> cxCreateBitmap(const TSize& ASize, TPixelFormat AFormat) {
  return cxCreateBitmap(ASize.cx, ASize.cy, AFormat);
}
TObjectPtr<TBitmap> cxCreateBitmap(const TRect& ARect, TPixelFormat AFormat) {
  return cxCreateBitmap(ARect.Width(), ARect.Height(), AFormat);
}
TObjectPtr<TBitmap> cxCreateTrueColorBitmap(Integer AWidth, Integer AHeight) {
  TObjectPtr<TBitmap> result(new TBitmap);
  result->SetHandle(cxCreateTrueColorBitmapHandle(AWidth, AHeight, 32));
  return result;
}
TObjectPtr<TBitmap> cxCreateTrueColorBitmap(const TSize& ASize) {
  return cxCreateTrueColorBitmap(ASize.cx, ASize.cy);
}
HBITMAP cxCreateTrueColorBitmapHandle(Integer AWidth, Integer AHeight,
                                      Integer ABPP) {
  return CreateBitmap(AWidth, AHeight, 1, ABPP, nullptr);
}

bool IsGlyphAssigned(TBitmap* AGlyph) { return AGlyph && !AGlyph->Empty(); }

bool IsImageAssigned(TCustomImageList* AImageList, Integer AImageIndex) {
  return AImageList && AImageIndex >= 0 && AImageIndex < AImageList->Count();
}

void cxCopyImage(TBitmap* ASource, TBitmap* ADestination, const TPoint& A,
                 const TPoint& B, const TRect& R) {
  TRect dest = R;
  OffsetRect(dest, A.X, A.Y);
  cxBitBlt(ADestination->Canvas()->Handle(), ASource->Canvas()->Handle(), dest,
           {R.Left + B.X, R.Top + B.Y}, SRCCOPY);
}

void cxCopyImage(TCanvas* ASource, TCanvas* ADestination, const TPoint& A,
                 const TPoint& B, const TRect& R) {
  TRect dest = R;
  OffsetRect(dest, B.X, B.Y);
  cxBitBlt(ADestination->Handle(), ASource->Handle(), dest,
           {R.Left + A.X, R.Top + A.Y}, SRCCOPY);
}

void cxBitBlt(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
              const TPoint& ASrcTopLeft, DWORD ROP) {
  BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(),
         ADestRect.Height(), ASrcDC, ASrcTopLeft.X, ASrcTopLeft.Y, ROP);
}

void cxDrawImageList(HIMAGELIST AHandle, Integer AIndex, HDC ADC,
                     const TPoint& APoint, TDrawingStyle ADrawingStyle,
                     TImageType AImageType) {
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL,
                                ILD_TRANSPARENT};
  const UINT flags =
      styles[ADrawingStyle] | (AImageType == itImage ? ILD_NORMAL : ILD_MASK);
  ImageList_Draw(AHandle, AIndex, ADC, APoint.X, APoint.Y, flags);
}

// ---------------------------------------------------------------------------
// Blending
// ---------------------------------------------------------------------------

void cxBlendFunction(const RGBQUAD& ASource, RGBQUAD& ADestination,
                     Byte ASourceConstantAlpha) {
  const float c = ASourceConstantAlpha / 255.0f;
  const float s = c * ASource.rgbReserved;
  const float keep = 1.0f - s / 255.0f;
  ADestination.rgbBlue =
      RoundByte(c * ASource.rgbBlue + ADestination.rgbBlue * keep);
  ADestination.rgbGreen =
      RoundByte(c * ASource.rgbGreen + ADestination.rgbGreen * keep);
  ADestination.rgbRed =
      RoundByte(c * ASource.rgbRed + ADestination.rgbRed * keep);
  ADestination.rgbReserved = RoundByte(s + ADestination.rgbReserved * keep);
}

bool SystemAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
                      Byte ASourceConstantAlpha, const TRect& ASrcRect) {
  const auto alphaBlend = cxMsimg32().AlphaBlend;
  if (!alphaBlend) return false;
  return alphaBlend(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(),
                    ADestRect.Height(), ASrcDC, ASrcRect.Left, ASrcRect.Top,
                    ASrcRect.Width(), ASrcRect.Height(),
                    BLENDFUNCTION{AC_SRC_OVER, 0, ASourceConstantAlpha,
                                  AC_SRC_ALPHA}) != 0;
}

void cxAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect,
                  const TRect& ASrcRect, bool ASmoothImage,
                  Byte AConstantAlpha) {
  const bool smooth = ASmoothImage && (ADestRect.Width() != ASrcRect.Width() ||
                                       ADestRect.Height() != ASrcRect.Height());
  if (!IsWin95X && cxIsAlphaBlendAvailable() && !smooth) {
    SystemAlphaBlend(ADestDC, ASrcDC, ADestRect, AConstantAlpha, ASrcRect);
    return;
  }
  const Integer dw = ADestRect.Width();
  const Integer dh = ADestRect.Height();
  const Integer sw = ASrcRect.Width();
  const Integer sh = ASrcRect.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  TObjectPtr<TBitmap> dest = NewTrueColorBitmap(dw, dh);
  cxBitBlt(dest->Canvas()->Handle(), ADestDC, Rect(0, 0, dw, dh),
           ADestRect.TopLeft(), SRCCOPY);
  TObjectPtr<TBitmap> source = NewTrueColorBitmap(sw, sh);
  cxBitBlt(source->Canvas()->Handle(), ASrcDC, Rect(0, 0, sw, sh),
           ASrcRect.TopLeft(), SRCCOPY);
  TObjectPtr<TBitmap> scaled = NewTrueColorBitmap(dw, dh);
  if (ASmoothImage) {
    cxSmoothResizeBitmap(source.get(), scaled.get(), true);
  } else {
    StretchBlt(scaled->Canvas()->Handle(), 0, 0, dw, dh,
               source->Canvas()->Handle(), 0, 0, sw, sh, SRCCOPY);
  }
  const TRect whole = Rect(0, 0, dw, dh);
  if (!SystemAlphaBlend(dest->Canvas()->Handle(), scaled->Canvas()->Handle(),
                        whole, AConstantAlpha, whole)) {
    TRGBColors destColors = GetBitmapBits(dest.get(), false);
    const TRGBColors sourceColors = GetBitmapBits(scaled.get(), false);
    for (std::size_t i = 0; i < destColors.size(); ++i) {
      cxBlendFunction(sourceColors[i], destColors[i], AConstantAlpha);
    }
    SetBitmapBits(dest.get(), destColors, false);
  }
  cxBitBlt(ADestDC, dest->Canvas()->Handle(), ADestRect, {0, 0}, SRCCOPY);
}

void cxAlphaBlend(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect,
                  const TRect& ASrcRect, bool ASmoothImage,
                  Byte AConstantAlpha) {
  cxAlphaBlend(ADestDC, ASource->Canvas()->Handle(), ADestRect, ASrcRect,
               ASmoothImage, AConstantAlpha);
}

void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ASrcBitmap,
                  const TRect& ADestRect, const TRect& ASrcRect,
                  bool ASmoothImage, Byte AConstantAlpha) {
  cxAlphaBlend(ADestBitmap->Canvas()->Handle(), ASrcBitmap->Canvas()->Handle(),
               ADestRect, ASrcRect, ASmoothImage, AConstantAlpha);
}

void cxAlphaBlend(TBitmap* ADest, TBitmap* ABkSource, TBitmap* ASource,
                  Byte ASourceConstantAlpha) {
  ADest->Canvas()->Draw(0, 0, ABkSource);
  const auto alphaBlend = cxMsimg32().AlphaBlend;
  if (alphaBlend) {
    alphaBlend(ADest->Canvas()->Handle(), 0, 0, ADest->Width(), ADest->Height(),
               ASource->Canvas()->Handle(), 0, 0, ASource->Width(),
               ASource->Height(),
               BLENDFUNCTION{AC_SRC_OVER, 0, ASourceConstantAlpha, 0});
    return;
  }
  const Integer bpp = GetDeviceCaps(cxScreenCanvas()->Handle(), BITSPIXEL);
  if (bpp != 16 && bpp != 24 && bpp != 32) {
    ADest->Canvas()->Draw(0, 0, ASource);
    return;
  }
  if (ADest->Width() != ASource->Width() ||
      ADest->Height() != ASource->Height()) {
    ADest->Canvas()->Draw(0, 0, ASource);
    return;
  }
  const float a = ASourceConstantAlpha / 255.0f;
  TRGBColors dest = GetBitmapBits(ADest, false);
  const TRGBColors source = GetBitmapBits(ASource, false);
  auto mix = [a](BYTE s, BYTE d) {
    return static_cast<BYTE>(std::nearbyint(a * s) +
                             std::nearbyint((1 - a) * d));
  };
  for (std::size_t i = 0; i < dest.size(); ++i) {
    dest[i].rgbBlue = mix(source[i].rgbBlue, dest[i].rgbBlue);
    dest[i].rgbGreen = mix(source[i].rgbGreen, dest[i].rgbGreen);
    dest[i].rgbRed = mix(source[i].rgbRed, dest[i].rgbRed);
  }
  SetBitmapBits(ADest, dest, false);
}

void cxAlphaBlend(TBitmap* ABitmap, const TRect& ARect, TColor AColor,
                  Byte AAlpha) {
  if (!IsGlyphAssigned(ABitmap) || ABitmap->PixelFormat() != pf32bit) return;
  TRect r = ARect;
  POINT org{};
  GetWindowOrgEx(ABitmap->Canvas()->Handle(), &org);
  OffsetRect(r, -org.x, -org.y);
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  const float a = AAlpha / 255.0f;
  const Integer rgb = ColorToRGB(AColor);
  const float channel[4] = {a * ((rgb >> 16) & 0xFF), a * ((rgb >> 8) & 0xFF),
                            a * (rgb & 0xFF), 0.0f};
  const Integer firstByte = std::max(0, 4 * r.Left);
  const Integer lastByte = std::min(4 * r.Right, 4 * w - 1);
  GdiFlush();
  for (Integer row = std::max(r.Top, 0); row < std::min(r.Bottom, h); ++row) {
    BYTE* line = static_cast<BYTE*>(ABitmap->ScanLine(row));
    for (Integer i = firstByte; i < lastByte; ++i) {
      line[i] = static_cast<BYTE>(std::nearbyint(line[i] * (1.0f - a)) +
                                  std::nearbyint(channel[i % 4]));
    }
  }
}

// ---------------------------------------------------------------------------
// Resampling
// ---------------------------------------------------------------------------

void cxSmoothResizeBitmap(TBitmap* ASource, TBitmap* ADestination,
                          bool AForceUseLanczos3Filter) {
  if (!ASource || !ADestination || ASource->Width() == 0 ||
      ASource->Height() == 0 || ADestination->Width() == 0 ||
      ADestination->Height() == 0) {
    return;
  }
  TCanvas* sourceCanvas = ASource->Canvas();
  TCanvas* destCanvas = ADestination->Canvas();
  TCanvasLock sourceLock(sourceCanvas);
  TCanvasLock destLock(destCanvas);
  if (IsWinNT && !AForceUseLanczos3Filter) {
    HDC dc = destCanvas->Handle();
    const int mode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, ADestination->Width(), ADestination->Height(),
               sourceCanvas->Handle(), 0, 0, ASource->Width(),
               ASource->Height(), SRCCOPY);
    SetStretchBltMode(dc, mode);
  } else {
    Lanczos3Resize(ASource, ADestination);
  }
}

// ---------------------------------------------------------------------------
// Fills, marks and small wrappers
// ---------------------------------------------------------------------------

TBrush* cxHalfToneBrush() { return halfToneBrush.get(); }

TBrush* cxSystemBrush(Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(systemBrushes.size())) {
    return nullptr;
  }
  return systemBrushes[AIndex].get();
}

void cxFillHalfToneRect(TCanvas* Canvas, const TRect& ARect, TColor ABkColor,
                        TColor AColor) {
  HDC dc = Canvas->Handle();
  const COLORREF oldBk =
      SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(ABkColor)));
  const COLORREF oldText =
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(AColor)));
  ::FillRect(dc, reinterpret_cast<const RECT*>(&ARect),
             cxHalfToneBrush()->Handle());
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

void cxDrawArrows(TCanvas* ACanvas, const TRect& ARect, TcxBorder ASide,
                  TColor AColor, TColor APenColor) {
  static const TPoint down[7] = {{0, -1}, {-5, -6}, {-2, -6}, {-2, -9},
                                 {2, -9}, {2, -6},  {5, -6}};
  static const TPoint up[7] = {{0, 0},  {5, 5},  {2, 5}, {2, 8},
                               {-2, 8}, {-2, 5}, {-5, 5}};
  static const TPoint right[7] = {{-1, 0}, {-6, -5}, {-6, -2}, {-9, -2},
                                  {-9, 2}, {-6, 2},  {-6, 5}};
  static const TPoint left[7] = {{0, 0},  {5, 5},  {5, 2}, {8, 2},
                                 {8, -2}, {5, -2}, {5, -5}};
  TPoint first;
  TPoint second;
  switch (ASide) {
    case bLeft:
      first = {ARect.Left, ARect.Top};
      second = {ARect.Left, ARect.Bottom};
      break;
    case bRight:
      first = {ARect.Right, ARect.Top};
      second = {ARect.Right, ARect.Bottom};
      break;
    case bTop:
      first = {ARect.Left, ARect.Top};
      second = {ARect.Right, ARect.Top};
      break;
    case bBottom:
      first = {ARect.Left, ARect.Bottom};
      second = {ARect.Right, ARect.Bottom};
      break;
  }
  const bool vertical = ASide == bLeft || ASide == bRight;
  ACanvas->Brush()->SetColor(AColor);
  ACanvas->Pen()->SetColor(
      APenColor == clDefault
          ? static_cast<TColor>(ColorToRGB(AColor) ^ 0xFFFFFF)
          : APenColor);
  auto arrow = [&](const TPoint& AAnchor, const TPoint(&AOffsets)[7]) {
    std::vector<TPoint> points;
    for (const TPoint& p : AOffsets) {
      points.push_back({AAnchor.X + p.X, AAnchor.Y + p.Y});
    }
    ACanvas->Polygon(points);
  };
  arrow(first, vertical ? down : right);
  arrow(second, vertical ? up : left);
}

void cxSetCanvasOrg(TCanvas* ACanvas, TRect& AOrg) {
  POINT previous{};
  SetWindowOrgEx(ACanvas->Handle(), AOrg.Left, AOrg.Top, &previous);
  AOrg.Left = previous.x;
  AOrg.Top = previous.y;
}

void cxInvalidateRect(HWND AHandle, const TRect& ARect, bool AEraseBackground) {
  InvalidateRect(AHandle, reinterpret_cast<const RECT*>(&ARect),
                 AEraseBackground);
}

void cxInvalidateRect(HWND AHandle, bool AEraseBackground) {
  InvalidateRect(AHandle, nullptr, AEraseBackground);
}

bool cxGetBitmapData(HBITMAP ABitmapHandle, BITMAP& ABitmapData) {
  return GetObjectA(ABitmapHandle, sizeof(BITMAP), &ABitmapData) != 0;
}
bool cxGetBrushData(HBRUSH ABrushHandle, LOGBRUSH& ALogBrush) {
  return GetObjectA(ABrushHandle, sizeof(LOGBRUSH), &ALogBrush) != 0;
}
LOGBRUSH cxGetBrushData(HBRUSH ABrushHandle) {
  LOGBRUSH result{};
  cxGetBrushData(ABrushHandle, result);
  return result;
}
bool cxGetFontData(HFONT AFontHandle, LOGFONTA& ALogFont) {
  return GetObjectA(AFontHandle, sizeof(LOGFONTA), &ALogFont) != 0;
}
bool cxGetPenData(HPEN APenHandle, LOGPEN& ALogPen) {
  return GetObjectA(APenHandle, sizeof(LOGPEN), &ALogPen) != 0;
}

Integer cxGetScreenPixelsPerInch(bool AHorizontal) {
  return GetDeviceCaps(cxScreenCanvas()->Handle(),
                       AHorizontal ? LOGPIXELSX : LOGPIXELSY);
}

namespace {

// The index, counted from the top, of the lowest row of a bottom-up
// monochrome image part whose bytes are not all ASkip; -1 when every byte
// is ASkip.
Integer LowestUsedRow(const BYTE* ABytes, Integer ASize, Integer AStride,
                      BYTE ASkip) {
  Integer i = 0;
  while (i < ASize && ABytes[i] == ASkip) ++i;
  if (i == ASize) return -1;
  return (ASize - i - 1) / AStride;
}

}  // namespace

TSize cxGetCursorSize() {
  TSize result{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
  ICONINFO info{};
  if (!GetIconInfo(GetCursor(), &info)) return result;
  // The two bitmaps of the cursor are copies made for us.
  const TBitmapHandle maskBitmap(info.hbmMask);
  const TBitmapHandle colorBitmap(info.hbmColor);
  BITMAP mask{};
  if (info.hbmMask && cxGetBitmapData(info.hbmMask, mask) &&
      mask.bmBitsPixel == 1 && mask.bmWidth > 0 && mask.bmHeight > 0) {
    const Integer w = mask.bmWidth;
    const Integer stride = ((w + 31) / 32) * 4;
    std::vector<BYTE> bits(static_cast<std::size_t>(stride) * mask.bmHeight);
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[2];
    } dib{};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    dib.header.biWidth = w;
    dib.header.biHeight = mask.bmHeight;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 1;
    dib.header.biCompression = BI_RGB;
    const int rows = GetDIBits(
        TWindowDC(nullptr).get(), info.hbmMask, 0, mask.bmHeight, bits.data(),
        reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS);
    const Integer partSize = w * stride;
    if (rows > 0 && static_cast<Integer>(bits.size()) >= partSize) {
      result.cx = w;
      const BYTE* andMask = bits.data() + bits.size() - partSize;
      Integer row = LowestUsedRow(andMask, partSize, stride, 0xFF);
      if (row < 0 && mask.bmHeight >= 2 * w) {
        row = LowestUsedRow(andMask - partSize, partSize, stride, 0x00);
      }
      if (row >= 0) result.cy = row - static_cast<Integer>(info.yHotspot);
    }
  }
  return result;
}

void ExtendRect(TRect& ARect, const TRect& AExtension) {
  ARect.Left += AExtension.Left;
  ARect.Top += AExtension.Top;
  ARect.Right -= AExtension.Right;
  ARect.Bottom -= AExtension.Bottom;
}

void cxSetImageList(TCustomImageList* AValue, TCustomImageList*& AFieldValue,
                    TChangeLink* AChangeLink, TComponent* ANotifyComponent) {
  if (AValue == AFieldValue) return;
  if (AFieldValue) {
    if (ANotifyComponent) AFieldValue->RemoveFreeNotification(ANotifyComponent);
    if (AChangeLink) AFieldValue->UnRegisterChanges(AChangeLink);
  }
  AFieldValue = AValue;
  if (AValue) {
    if (AChangeLink) AValue->RegisterChanges(AChangeLink);
    if (ANotifyComponent) AValue->FreeNotification(ANotifyComponent);
  }
  // The class-library link stays silent without a list, but the component
  // must repaint when its list is taken away too.
  if (AChangeLink) {
    if (AChangeLink->Sender()) {
      AChangeLink->Change();
    } else {
      AChangeLink->OnChange(nullptr);
    }
  }
}

VARNEL_UNIT(cxGraphics, ({"Graphics", "ImgList", "cxControls"}),
            &GraphicsStartup, &GraphicsShutdown);
