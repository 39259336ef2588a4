#include "dxOffice11.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cxControls.h"
#include "cxGraphics.h"
#include "dxThemeManager.h"

TColor dxOffice11ToolbarsColor1 = clNone;
TColor dxOffice11ToolbarsColor2 = clNone;
TColor dxOffice11DockColor1 = clNone;
TColor dxOffice11DockColor2 = clNone;
TColor dxOffice11BarFingerColor1 = clNone;
TColor dxOffice11BarFingerColor2 = clNone;
TColor dxOffice11BarSeparatorColor1 = clNone;
TColor dxOffice11BarSeparatorColor2 = clNone;
TColor dxOffice11BarMarkArrowColor1 = clNone;
TColor dxOffice11BarMarkArrowColor2 = clNone;
TColor dxOffice11BarFloatingBorderColor1 = clNone;
TColor dxOffice11BarFloatingBorderColor2 = clNone;
TColor dxOffice11BarFloatingBorderColor3 = clNone;
TColor dxOffice11BarFloatingCaptionColor = clNone;
TColor dxOffice11BarFloatingCaptionTextColor1 = clNone;
TColor dxOffice11BarFloatingCaptionTextColor2 = clNone;
TColor dxOffice11BarFloatingCaptionTextColor3 = clNone;
TColor dxOffice11DropDownBorderColor1 = clNone;
TColor dxOffice11DropDownBorderColor2 = clNone;
TColor dxOffice11MenuColor = clNone;
TColor dxOffice11MenuDownedColor1 = clNone;
TColor dxOffice11MenuDownedColor2 = clNone;
TColor dxOffice11MenuIndentColor1 = clNone;
TColor dxOffice11MenuIndentColor2 = clNone;
TColor dxOffice11MenuNonRecentIndentColor1 = clNone;
TColor dxOffice11MenuNonRecentIndentColor2 = clNone;
TColor dxOffice11ToolbarSelectedColor = clNone;
TColor dxOffice11SelectedBorderColor = clNone;
TColor dxOffice11SelectedColor1 = clNone;
TColor dxOffice11SelectedColor2 = clNone;
TColor dxOffice11SelectedDownColor1 = clNone;
TColor dxOffice11SelectedDownColor2 = clNone;
TColor dxOffice11OwnerControlDownedColor = clNone;
TColor dxOffice11DownedColor = clNone;
TColor dxOffice11DownedSelectedColor = clNone;
TColor dxOffice11DetachableColor = clNone;
TColor dxOffice11DetachableSelectedColor = clNone;
TColor dxOffice11TextEnabledColor = clNone;
TColor dxOffice11TextDisabledColor = clNone;
TColor dxOffice11StaticBorderColor = clNone;
TColor dxOffice11ControlBorderColor = clNone;
TColor dxOffice11GroupColor = clNone;
TColor dxOffice11GroupIndentColor = clNone;
TColor dxOffice11GroupRowTextColor = clNone;
TColor dxOffice11GroupRowSeparatorColor = clNone;
TColor dxOffice11DayNavigatorSelectedColor = clNone;
TColor dxOffice11DateHeaderColor = clNone;
TColor dxOffice11OutlookControlColor = clNone;
TColor dxOffice11OutlookBorderColor = clNone;
TColor dxOffice11InPlaceSubItemColor = clNone;
TColor dxOffice11InPlaceSubItemTextColor = clNone;
TColor dxOffice11NavPaneBorder = clNone;
TColor dxOffice11NavPaneGroupCaptionColor1 = clNone;
TColor dxOffice11NavPaneGroupCaptionColor2 = clNone;
TColor dxOffice11NavPaneGroupCaptionHotColor1 = clNone;
TColor dxOffice11NavPaneGroupCaptionHotColor2 = clNone;
TColor dxOffice11NavPaneGroupCaptionPressedColor1 = clNone;
TColor dxOffice11NavPaneGroupCaptionPressedColor2 = clNone;
TColor dxOffice11NavPaneGroupCaptionPressedHotColor1 = clNone;
TColor dxOffice11NavPaneGroupCaptionPressedHotColor2 = clNone;
TColor dxOffice11NavPaneHeaderColor1 = clNone;
TColor dxOffice11NavPaneHeaderColor2 = clNone;
TColor dxOffice11NavPaneHeaderFontColor = clNone;
TColor dxOffice11NavPaneSplitterColor1 = clNone;
TColor dxOffice11NavPaneSplitterColor2 = clNone;
TColor dxOffice11ExpandButtonColor1 = clNone;
TColor dxOffice11ExpandButtonColor2 = clNone;
TColor dxOffice11BarMarkColors1[3] = {clNone, clNone, clNone};
TColor dxOffice11BarMarkColors2[3] = {clNone, clNone, clNone};
TColor dxOffice11BarBorderColors[2] = {clNone, clNone};
TColor dxOffice11BarBorderMarkColors[6] = {clNone, clNone, clNone,
                                           clNone, clNone, clNone};

HBRUSH dxOffice11BarFingerBrush1 = nullptr;
HBRUSH dxOffice11BarFingerBrush2 = nullptr;
HBRUSH dxOffice11BarSeparatorBrush1 = nullptr;
HBRUSH dxOffice11BarSeparatorBrush2 = nullptr;
HBRUSH dxOffice11MenuBrush = nullptr;
HBRUSH dxOffice11SelectedBorderBrush = nullptr;
HBRUSH dxOffice11ToolbarSelectedBrush = nullptr;
HBRUSH dxOffice11OwnerControlDownedBrush = nullptr;
HBRUSH dxOffice11DownedBrush = nullptr;
HBRUSH dxOffice11DownedSelectedBrush = nullptr;
HBRUSH dxOffice11DropDownBorderBrush1 = nullptr;
HBRUSH dxOffice11DropDownBorderBrush2 = nullptr;
HBRUSH dxOffice11DetachableBrush = nullptr;
HBRUSH dxOffice11DetachableSelectedBrush = nullptr;
HBRUSH dxOffice11StaticBorderBrush = nullptr;
HBRUSH dxOffice11InPlaceSubItemBrush = nullptr;
TBitmap* dxOffice11SubMenuExpandBitmap = nullptr;
TBitmap* dxOffice11ExpandButtonBitmap1 = nullptr;
TBitmap* dxOffice11ExpandButtonBitmap2 = nullptr;

namespace {

TOffice11Scheme Scheme = schUnknown;
bool StandardScheme = false;
Integer TubePercent = 75;
Integer RefCount = 0;

// The colours of the three standard schemes, in the order normal colour
// (blue), homestead (olive), metallic (silver).
struct TSchemeColor {
  TColor* Variable;
  unsigned Values[3];
};

const TSchemeColor SchemeColors[] = {
    {&dxOffice11ToolbarsColor1, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {&dxOffice11ToolbarsColor2, {0xE2A981, 0x91C6B7, 0xB59799}},
    {&dxOffice11DockColor1, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {&dxOffice11DockColor2, {0xF9DAC3, 0xE4F0F2, 0xF7F3F3}},
    {&dxOffice11BarMarkColors2[0], {0x913500, 0x6B7760, 0x927476}},
    {&dxOffice11BarMarkColors1[0], {0xF1A675, 0x8CC2B0, 0xC8B2B3}},
    {&dxOffice11BarMarkColors2[1], {0x76C1FF, 0x76C1FF, 0x76C1FF}},
    {&dxOffice11BarMarkColors1[1], {0xD3F8FF, 0xD3F8FF, 0xD3F8FF}},
    {&dxOffice11BarMarkColors2[2], {0x98DDFF, 0x98DDFF, 0x98DDFF}},
    {&dxOffice11BarMarkColors1[2], {0x5295FE, 0x5295FE, 0x5295FE}},
    {&dxOffice11BarBorderColors[0], {0x9C613B, 0x588060, 0x947C7C}},
    {&dxOffice11BarBorderColors[1], {0xE0A47B, 0x8FC4B5, 0xB09193}},
    {&dxOffice11BarFingerColor1, {0x764127, 0x335E51, 0x755454}},
    {&dxOffice11BarFingerColor2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {&dxOffice11BarSeparatorColor1, {0xCB8C6A, 0x588060, 0x8F6D6E}},
    {&dxOffice11BarSeparatorColor2, {0xFFF9F1, 0xDEF7F4, 0xFFFFFF}},
    {&dxOffice11BarFloatingBorderColor1, {0xC9662A, 0x5E8674, 0x99797A}},
    {&dxOffice11BarFloatingBorderColor2, {0xF9DBC4, 0xADDEE1, 0xE4DADB}},
    {&dxOffice11DropDownBorderColor1, {0x962D00, 0x5E8D75, 0x947C7C}},
    {&dxOffice11MenuColor, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
    {&dxOffice11ToolbarSelectedColor, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
    {&dxOffice11SelectedBorderColor, {0x800000, 0x385D3F, 0x6F4B4B}},
    {&dxOffice11SelectedColor1, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF}},
    {&dxOffice11SelectedColor2, {0x91D0FF, 0x91D0FF, 0x91D0FF}},
    {&dxOffice11SelectedDownColor1, {0x8ED3FF, 0x8ED3FF, 0x8ED3FF}},
    {&dxOffice11SelectedDownColor2, {0x4E91FE, 0x4E91FE, 0x4E91FE}},
    {&dxOffice11OwnerControlDownedColor, {0xFCE1CB, 0xB6E3D8, 0xE7D3D6}},
    {&dxOffice11DownedColor, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}},
    {&dxOffice11DownedSelectedColor, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
    {&dxOffice11DetachableColor, {0xF0C7A9, 0x9FD4C5, 0xD3C0C0}},
    {&dxOffice11TextEnabledColor, {0x000000, 0x000000, 0x000000}},
    {&dxOffice11TextDisabledColor, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
    {&dxOffice11GroupColor, {0xFBDABE, 0x91BAAF, 0xEBE5E5}},
    {&dxOffice11DayNavigatorSelectedColor, {0x94E6FB, 0x94E6FB, 0x94E6FB}},
    {&dxOffice11OutlookControlColor, {0xFADAC4, 0xE4F1F2, 0xF7F3F3}},
    {&dxOffice11OutlookBorderColor, {0x962D00, 0x588060, 0x947C7C}},
    {&dxOffice11GroupRowTextColor, {0xB96837, 0x548973, 0x916F70}},
    {&dxOffice11NavPaneBorder, {0x962D00, 0x5E8D75, 0x947C7C}},
    {&dxOffice11NavPaneGroupCaptionColor1, {0xFBE5D3, 0xDBF5F2, 0xF8F1F0}},
    {&dxOffice11NavPaneGroupCaptionColor2, {0xE4AE88, 0x97C9BC, 0xBA9EA0}},
    {&dxOffice11NavPaneGroupCaptionHotColor1, {0xDCFFFF, 0xDCFFFF, 0xDCFFFF}},
    {&dxOffice11NavPaneGroupCaptionHotColor2, {0x5BC0F7, 0x5BC0F7, 0x5BC0F7}},
    {&dxOffice11NavPaneGroupCaptionPressedColor1,
     {0x94E6FB, 0x94E6FB, 0x94E6FB}},
    {&dxOffice11NavPaneGroupCaptionPressedColor2,
     {0x1595EE, 0x1595EE, 0x1595EE}},
    {&dxOffice11NavPaneGroupCaptionPressedHotColor1,
     {0x087FE8, 0x087FE8, 0x087FE8}},
    {&dxOffice11NavPaneGroupCaptionPressedHotColor2,
     {0x7CDAF7, 0x7CDAF7, 0x7CDAF7}},
    {&dxOffice11NavPaneHeaderColor1, {0xD68759, 0x82C0AF, 0xBFA7A8}},
    {&dxOffice11NavPaneHeaderColor2, {0x933803, 0x447A63, 0x916F70}},
    {&dxOffice11NavPaneHeaderFontColor, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
};

Integer RValue(Integer c) { return c & 0xFF; }
Integer GValue(Integer c) { return (c >> 8) & 0xFF; }
Integer BValue(Integer c) { return (c >> 16) & 0xFF; }
TColor MakeRGB(Integer r, Integer g, Integer b) {
  return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
Integer Clamp255(Integer v) { return std::clamp(v, 0, 255); }

Integer SysRGB(int index) { return static_cast<Integer>(::GetSysColor(index)); }

// Applies f to each channel of the colour and passes the result through
// GetRealColor.
template <typename F>
TColor MapChannels(Integer c, F f) {
  return GetRealColor(MakeRGB(f(RValue(c)), f(GValue(c)), f(BValue(c))));
}

TOffice11Scheme DetectScheme() {
  if (!AreVisualStylesAvailable()) return schUnknown;
  std::vector<wchar_t> file(1024, L'\0'), color(1024, L'\0'), size(1024, L'\0');
  if (FAILED(GetCurrentThemeName(file.data(), 1024, color.data(), 1024,
                                 size.data(), 1024)))
    return schUnknown;
  file.back() = color.back() = L'\0';
  if (dxUpperFileName(file.data()) != L"LUNA.MSSTYLES" &&
      Win32MajorVersion <= 5)
    return schUnknown;
  std::wstring name(color.data());
  if (!name.empty())
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  if (name == L"NORMALCOLOR") return schNormalColor;
  if (name == L"HOMESTEAD") return schHomestead;
  if (name == L"METALLIC") return schMetallic;
  return schUnknown;
}

void TakeStandardColors(TOffice11Scheme scheme) {
  const int column = scheme - schNormalColor;
  for (const TSchemeColor& c : SchemeColors)
    *c.Variable = TColor(static_cast<Integer>(c.Values[column]));
  for (int i = 0; i < 3; ++i) {
    dxOffice11BarBorderMarkColors[i] =
        GetMiddleRGB(dxOffice11BarMarkColors1[i], dxOffice11ToolbarsColor1, 90);
    dxOffice11BarBorderMarkColors[3 + i] = GetMiddleRGB(
        dxOffice11BarMarkColors2[i], dxOffice11BarBorderColors[1], 50);
  }
  dxOffice11BarMarkArrowColor1 = clBlack;
  dxOffice11BarMarkArrowColor2 = clWhite;
  dxOffice11BarFloatingCaptionTextColor1 = clWhite;
  dxOffice11BarFloatingCaptionTextColor2 = clBlack;
  dxOffice11BarFloatingCaptionTextColor3 = clBlack;
  dxOffice11GroupIndentColor = TColor(0xC9EEFD);
  dxOffice11GroupRowSeparatorColor = dxOffice11BarBorderColors[1];
  dxOffice11NavPaneSplitterColor1 = dxOffice11NavPaneHeaderColor1;
  dxOffice11NavPaneSplitterColor2 = dxOffice11NavPaneHeaderColor2;
  static const Integer percents[3] = {41, 125, 40};
  TubePercent = percents[column];
}

TColor LightOf(Integer face, Integer highlight, Integer window) {
  return GetRealColor(GetLightColor(face, highlight, window));
}

void DeriveClassicColors() {
  const TColor face = TColor(SysRGB(COLOR_BTNFACE));
  const TColor window = TColor(SysRGB(COLOR_WINDOW));
  const TColor shadow = TColor(SysRGB(COLOR_BTNSHADOW));
  const TColor highlight = TColor(SysRGB(COLOR_HIGHLIGHT));
  const TColor btnText = TColor(SysRGB(COLOR_BTNTEXT));
  const TColor grayText = TColor(SysRGB(COLOR_GRAYTEXT));
  const TColor highlightText = TColor(SysRGB(COLOR_HIGHLIGHTTEXT));
  const TColor btnHighlight = TColor(SysRGB(COLOR_BTNHIGHLIGHT));

  dxOffice11DockColor1 = face;
  dxOffice11DockColor2 = GetMiddleRGB(face, window, 20);
  dxOffice11ToolbarsColor1 = GetMiddleRGB(face, window, 22);
  dxOffice11ToolbarsColor2 = GetMiddleRGB(face, window, 96);
  dxOffice11BarMarkColors2[0] = shadow;
  dxOffice11BarMarkColors1[0] = GetMiddleRGB(shadow, window, 74);
  dxOffice11BarMarkColors1[1] = dxOffice11BarMarkColors2[1] =
      LightOf(-15, 29, 86);
  dxOffice11BarMarkColors1[2] = dxOffice11BarMarkColors2[2] =
      LightOf(42, 11, 47);
  dxOffice11BarBorderColors[0] = GetMiddleRGB(face, window, 85);
  dxOffice11BarBorderColors[1] = face;
  for (int i = 0; i < 3; ++i) {
    dxOffice11BarBorderMarkColors[i] =
        GetMiddleRGB(dxOffice11BarMarkColors2[i], window, 50);
    dxOffice11BarBorderMarkColors[3 + i] = GetMiddleRGB(
        dxOffice11BarMarkColors2[i], dxOffice11BarBorderColors[1], 50);
  }
  dxOffice11BarFingerColor1 = GetMiddleRGB(shadow, window, 76);
  dxOffice11BarFingerColor2 = window;
  dxOffice11BarSeparatorColor1 = GetMiddleRGB(shadow, window, 70);
  dxOffice11BarSeparatorColor2 = clWhite;
  dxOffice11BarMarkArrowColor1 = btnText;
  dxOffice11BarMarkArrowColor2 = window;
  dxOffice11BarFloatingBorderColor1 = shadow;
  dxOffice11BarFloatingBorderColor2 = dxOffice11ToolbarsColor2;
  dxOffice11BarFloatingCaptionTextColor1 = btnHighlight;
  dxOffice11BarFloatingCaptionTextColor2 = btnText;
  dxOffice11BarFloatingCaptionTextColor3 = btnText;
  dxOffice11DropDownBorderColor1 = shadow;
  dxOffice11MenuColor = window;
  dxOffice11ToolbarSelectedColor = LightOf(-2, 30, 72);
  dxOffice11SelectedBorderColor = highlight;
  dxOffice11SelectedColor1 = dxOffice11ToolbarSelectedColor;
  dxOffice11SelectedColor2 = dxOffice11ToolbarSelectedColor;
  dxOffice11OwnerControlDownedColor = dxOffice11ToolbarsColor2;
  dxOffice11DownedColor = GetLightColor(41, 11, 48);
  dxOffice11DownedSelectedColor = LightOf(14, 44, 40);
  dxOffice11SelectedDownColor1 = dxOffice11DownedSelectedColor;
  dxOffice11SelectedDownColor2 = dxOffice11DownedSelectedColor;
  dxOffice11DetachableColor = dxOffice11OwnerControlDownedColor;
  dxOffice11TextEnabledColor = btnText;
  dxOffice11TextDisabledColor = grayText;
  dxOffice11GroupColor = face;
  dxOffice11DayNavigatorSelectedColor = dxOffice11DownedColor;
  dxOffice11OutlookControlColor = dxOffice11DockColor1;
  dxOffice11OutlookBorderColor = dxOffice11DropDownBorderColor1;
  dxOffice11GroupIndentColor = face;
  dxOffice11GroupRowTextColor = shadow;
  dxOffice11GroupRowSeparatorColor = shadow;
  dxOffice11NavPaneBorder = GetRealColor(shadow);
  dxOffice11NavPaneGroupCaptionColor1 =
      MapChannels(face, [](Integer c) { return c * 127 / 255 + 128; });
  dxOffice11NavPaneGroupCaptionColor2 =
      MapChannels(face, [](Integer c) { return c - c * 4 / 255 + 4; });
  dxOffice11NavPaneGroupCaptionHotColor1 = dxOffice11SelectedColor1;
  dxOffice11NavPaneGroupCaptionHotColor2 = dxOffice11SelectedColor2;
  dxOffice11NavPaneGroupCaptionPressedColor1 = dxOffice11DownedColor;
  dxOffice11NavPaneGroupCaptionPressedColor2 = dxOffice11DownedColor;
  dxOffice11NavPaneGroupCaptionPressedHotColor1 = dxOffice11DownedSelectedColor;
  dxOffice11NavPaneGroupCaptionPressedHotColor2 = dxOffice11DownedSelectedColor;
  dxOffice11NavPaneHeaderColor1 = dxOffice11NavPaneBorder;
  dxOffice11NavPaneHeaderColor2 = dxOffice11NavPaneBorder;
  dxOffice11NavPaneHeaderFontColor = highlightText;
  dxOffice11NavPaneSplitterColor1 = GetRealColor(face);
  dxOffice11NavPaneSplitterColor2 = dxOffice11NavPaneBorder;
  TubePercent = 75;
}

void ComputeColors() {
  Scheme = DetectScheme();
  StandardScheme = AreVisualStylesAvailable() && Scheme != schUnknown;
  if (Scheme != schUnknown)
    TakeStandardColors(Scheme);
  else
    DeriveClassicColors();
  dxOffice11BarFloatingBorderColor3 = dxOffice11ToolbarsColor1;
  dxOffice11BarFloatingCaptionColor = dxOffice11BarFloatingBorderColor1;
  dxOffice11DropDownBorderColor2 = dxOffice11MenuColor;
  dxOffice11MenuDownedColor1 = dxOffice11ToolbarsColor1;
  dxOffice11MenuIndentColor1 = dxOffice11ToolbarsColor1;
  dxOffice11MenuDownedColor2 = dxOffice11ToolbarsColor2;
  dxOffice11MenuIndentColor2 = dxOffice11ToolbarsColor2;
  dxOffice11MenuNonRecentIndentColor1 =
      GetMiddleRGB(dxOffice11MenuIndentColor1, clBlack, 92);
  dxOffice11MenuNonRecentIndentColor2 =
      GetMiddleRGB(dxOffice11MenuIndentColor2, clBlack, 92);
  dxOffice11DetachableSelectedColor = dxOffice11ToolbarSelectedColor;
  dxOffice11StaticBorderColor = dxOffice11DropDownBorderColor1;
  dxOffice11ControlBorderColor = dxOffice11DropDownBorderColor1;
  dxOffice11DateHeaderColor = dxOffice11DockColor1;
  dxOffice11InPlaceSubItemColor = dxOffice11BarBorderMarkColors[3];
  dxOffice11InPlaceSubItemTextColor = dxOffice11BarFloatingCaptionTextColor1;
  dxOffice11ExpandButtonColor1 = TColor(0xBFAE9E);
  dxOffice11ExpandButtonColor2 = TColor(0x5F462E);
}

HBRUSH SolidBrush(TColor color) { return CreateSolidBrush(ColorToRGB(color)); }

// The shared brushes below are lent out by handle; these own them.
std::vector<TBrushHandle> sharedBrushes;

HBRUSH SharedBrush(TColor color) {
  return sharedBrushes.emplace_back(SolidBrush(color)).get();
}

// Loads a bitmap of the program's module; a missing resource leaves the
// bitmap empty.
void LoadBitmap(TBitmap* bitmap, const char* name) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (FindResourceA(instance, name, MAKEINTRESOURCEA(2)) == nullptr) return;
  try {
    bitmap->LoadFromResourceName(instance, name);
  } catch (const Exception&) {
    // A damaged resource: the bitmap stays as it was (empty).
  }
}

// Shades the arrow of the sub-menu bitmap between the two toolbar colours
// after the red channel of its pixels.
void RecolorSubMenuExpandBitmap(TBitmap* bitmap) {
  if (bitmap->Empty()) return;
  TCanvas* canvas = bitmap->Canvas();
  const Integer w = bitmap->Width();
  const Integer h = bitmap->Height();
  const TColor background = canvas->Pixels(0, 0);
  auto isShade = [&](TColor c) {
    return c != background && ColorToRGB(c) != 0;
  };
  Integer lowest = 255;
  Integer highest = 1;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      TColor c = canvas->Pixels(x, y);
      if (!isShade(c)) continue;
      lowest = std::min(lowest, RValue(c));
      highest = std::max(highest, RValue(c));
    }
  TColor color1 = dxOffice11ToolbarsColor1;
  TColor color2 = dxOffice11ToolbarsColor2;
  if (ColorToRGB(color1) == ColorToRGB(color2))
    color2 = ColorToRGB(color1) == 0 ? clWhite : clBlack;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      TColor c = canvas->Pixels(x, y);
      if (!isShade(c)) continue;
      // A bitmap of a single shade has no range to spread over.
      Integer percent = highest > lowest
                            ? MulDiv(RValue(c) - lowest, 100, highest - lowest)
                            : 100;
      canvas->SetPixels(x, y, GetMiddleRGB(color1, color2, percent));
    }
}

void CreateObjects() {
  dxOffice11BarFingerBrush1 = SharedBrush(dxOffice11BarFingerColor1);
  dxOffice11BarFingerBrush2 = SharedBrush(dxOffice11BarFingerColor2);
  dxOffice11BarSeparatorBrush1 = SharedBrush(dxOffice11BarSeparatorColor1);
  dxOffice11BarSeparatorBrush2 = SharedBrush(dxOffice11BarSeparatorColor2);
  dxOffice11DropDownBorderBrush1 = SharedBrush(dxOffice11DropDownBorderColor1);
  dxOffice11StaticBorderBrush = dxOffice11DropDownBorderBrush1;
  dxOffice11MenuBrush = SharedBrush(dxOffice11MenuColor);
  dxOffice11DropDownBorderBrush2 = dxOffice11MenuBrush;
  dxOffice11SelectedBorderBrush = SharedBrush(dxOffice11SelectedBorderColor);
  dxOffice11OwnerControlDownedBrush =
      SharedBrush(dxOffice11OwnerControlDownedColor);
  dxOffice11DownedBrush = SharedBrush(dxOffice11DownedColor);
  dxOffice11DownedSelectedBrush = SharedBrush(dxOffice11DownedSelectedColor);
  dxOffice11DetachableBrush = SharedBrush(dxOffice11DetachableColor);
  dxOffice11ToolbarSelectedBrush = SharedBrush(dxOffice11ToolbarSelectedColor);
  dxOffice11DetachableSelectedBrush = dxOffice11ToolbarSelectedBrush;
  dxOffice11InPlaceSubItemBrush = SharedBrush(dxOffice11InPlaceSubItemColor);

  dxOffice11SubMenuExpandBitmap = new TBitmap;
  LoadBitmap(dxOffice11SubMenuExpandBitmap, "DXSUBMENUEXPAND");
  RecolorSubMenuExpandBitmap(dxOffice11SubMenuExpandBitmap);
  dxOffice11ExpandButtonBitmap1 = new TBitmap;
  LoadBitmap(dxOffice11ExpandButtonBitmap1, "DXEXPANDBUTTON_MINUS");
  dxOffice11ExpandButtonBitmap2 = new TBitmap;
  LoadBitmap(dxOffice11ExpandButtonBitmap2, "DXEXPANDBUTTON_PLUS");
}

void DestroyObjects() {
  // Aliases and owners alike let go of the names; the brushes themselves
  // go once, with their owners.
  dxOffice11StaticBorderBrush = nullptr;
  dxOffice11DropDownBorderBrush2 = nullptr;
  dxOffice11DetachableSelectedBrush = nullptr;
  dxOffice11BarFingerBrush1 = nullptr;
  dxOffice11BarFingerBrush2 = nullptr;
  dxOffice11BarSeparatorBrush1 = nullptr;
  dxOffice11BarSeparatorBrush2 = nullptr;
  dxOffice11DropDownBorderBrush1 = nullptr;
  dxOffice11MenuBrush = nullptr;
  dxOffice11SelectedBorderBrush = nullptr;
  dxOffice11OwnerControlDownedBrush = nullptr;
  dxOffice11DownedBrush = nullptr;
  dxOffice11DownedSelectedBrush = nullptr;
  dxOffice11DetachableBrush = nullptr;
  dxOffice11ToolbarSelectedBrush = nullptr;
  dxOffice11InPlaceSubItemBrush = nullptr;
  sharedBrushes.clear();
  FreeAndNil(dxOffice11SubMenuExpandBitmap);
  FreeAndNil(dxOffice11ExpandButtonBitmap1);
  FreeAndNil(dxOffice11ExpandButtonBitmap2);
}

void dxOffice11Shutdown() {
  if (RefCount > 0) DestroyObjects();
  RefCount = 0;
}

// The vertices of GradientFill carry 16 bits per channel.
TRIVERTEX Vertex(Integer x, Integer y, Integer rgb) {
  TRIVERTEX v{};
  v.x = x;
  v.y = y;
  v.Red = static_cast<COLOR16>(RValue(rgb) << 8);
  v.Green = static_cast<COLOR16>(GValue(rgb) << 8);
  v.Blue = static_cast<COLOR16>(BValue(rgb) << 8);
  return v;
}

// c1 + step parts of the way to c2 out of (count - 1), per channel.
Integer StepColor(Integer c1, Integer c2, Integer step, Integer count) {
  if (count <= 1) return c1;  // a single band has colour 1
  return MakeRGB(RValue(c1) + MulDiv(step, RValue(c2) - RValue(c1), count - 1),
                 GValue(c1) + MulDiv(step, GValue(c2) - GValue(c1), count - 1),
                 BValue(c1) + MulDiv(step, BValue(c2) - BValue(c1), count - 1));
}

void FillBand(HDC dc, const TRect& r, Integer from, Integer to, bool horizontal,
              Integer rgb) {
  TRect band = r;
  if (horizontal) {
    band.Left = from;
    band.Right = to;
  } else {
    band.Top = from;
    band.Bottom = to;
  }
  FillRectByColor(dc, band, TColor(rgb));
}

}  // namespace

// ---------------------------------------------------------------------------
// Life of the set
// ---------------------------------------------------------------------------

void CreateOffice11Colors() {
  if (RefCount == 0) {
    ComputeColors();
    CreateObjects();
  }
  ++RefCount;
}

void ReleaseOffice11Colors() {
  if (RefCount <= 0) return;  // nothing held: nothing to give back
  if (--RefCount == 0) DestroyObjects();
}

void RefreshOffice11Colors() {
  ComputeColors();
  if (RefCount > 0) {
    DestroyObjects();
    CreateObjects();
  }
}

Integer dxOffice11ColorsRefCount() { return RefCount; }
TOffice11Scheme GetOffice11Scheme() { return Scheme; }
bool IsXPStandardScheme() { return StandardScheme; }
Integer dxOffice11TubeGradientPercent() { return TubePercent; }

// ---------------------------------------------------------------------------
// Colour routines
// ---------------------------------------------------------------------------

TColor GetMiddleRGB(TColor AColor1, TColor AColor2, Integer APercent) {
  const Integer c1 = ColorToRGB(AColor1);
  const Integer c2 = ColorToRGB(AColor2);
  auto mix = [APercent](Integer a, Integer b) {
    return std::min(255,
                    MulDiv(a, APercent, 100) + MulDiv(b, 100 - APercent, 100));
  };
  return GetRealColor(MakeRGB(mix(RValue(c1), RValue(c2)),
                              mix(GValue(c1), GValue(c2)),
                              mix(BValue(c1), BValue(c2))));
}

TColor Dark(TColor AColor, Integer APercent) {
  const Integer c = ColorToRGB(AColor);
  auto scale = [APercent](Integer v) {
    return Clamp255(static_cast<Integer>(std::nearbyint(APercent * v / 100.0)));
  };
  return MakeRGB(scale(RValue(c)), scale(GValue(c)), scale(BValue(c)));
}

TColor Light(TColor AColor, Integer APercent) {
  const Integer c = ColorToRGB(AColor);
  const Integer lift =
      static_cast<Integer>(std::nearbyint(255 - APercent / 100.0 * 255));
  auto scale = [APercent, lift](Integer v) {
    return Clamp255(static_cast<Integer>(std::nearbyint(APercent * v / 100.0)) +
                    lift);
  };
  return MakeRGB(scale(RValue(c)), scale(GValue(c)), scale(BValue(c)));
}

bool IsHighContrastBlack() { return SysRGB(COLOR_BTNFACE) == 0; }

bool IsHighContrastWhite() { return SysRGB(COLOR_BTNFACE) == 0xFFFFFF; }

bool IsHighContrast2() {
  return SysRGB(COLOR_BTNFACE) == 0 && SysRGB(COLOR_BTNTEXT) != 0xFFFFFF;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void FillRectByColor(HDC DC, const TRect& R, TColor AColor) {
  const TBrushHandle brush(SolidBrush(AColor));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::FillRect(DC, &r, brush.get());
}

void FrameRectByColor(HDC DC, const TRect& R, TColor AColor) {
  const TBrushHandle brush(SolidBrush(AColor));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::FrameRect(DC, &r, brush.get());
}

void FillGradientRect(HDC DC, const TRect& ARect, TColor AColor1,
                      TColor AColor2, bool AHorizontal) {
  const Integer c1 = ColorToRGB(AColor1);
  const Integer c2 = ColorToRGB(AColor2);
  if (auto gradientFill = cxMsimg32().GradientFill) {
    TRIVERTEX v[2] = {Vertex(ARect.Left, ARect.Top, c1),
                      Vertex(ARect.Right, ARect.Bottom, c2)};
    GRADIENT_RECT gr{0, 1};
    gradientFill(DC, v, 2, &gr, 1,
                 AHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
    return;
  }
  if (c1 == c2) {
    FillRectByColor(DC, ARect, TColor(c1));
    return;
  }
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer extent = AHorizontal ? ARect.Width() : ARect.Height();
  if (extent <= 0) return;
  const Integer count = std::min(extent, 256);
  Integer from = start;
  for (Integer i = 0; i < count; ++i) {
    const Integer to = start + MulDiv(i + 1, extent, count);
    if (to > from) {
      FillBand(DC, ARect, from, to, AHorizontal, StepColor(c1, c2, i, count));
    }
    from = to;
    if (from >= start + extent) break;
  }
}

TColor GetGradientColorRect(const TRect& ARect, Integer APosition,
                            TColor AColor1, TColor AColor2, bool AHorizontal) {
  const Integer c1 = ColorToRGB(AColor1);
  const Integer c2 = ColorToRGB(AColor2);
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer extent = AHorizontal ? ARect.Width() : ARect.Height();
  if (extent <= 0) return TColor(c1);
  const Integer count = std::min(extent, 256);
  const Integer step =
      std::max(0, MulDiv(APosition - start + 1, count, extent) - 1);
  return TColor(StepColor(c1, c2, step, count));
}

void FillTubeGradientRect(HDC DC, const TRect& ARect, TColor AColor1,
                          TColor AColor2, bool AHorizontal) {
  const Integer c1 = ColorToRGB(AColor1);
  const Integer c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillRectByColor(DC, ARect, TColor(c1));
    return;
  }
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer n = AHorizontal ? ARect.Width() : ARect.Height();
  if (n <= 0) return;
  const Integer h = n / 2;
  const Integer p = TubePercent;
  // Per channel: the middle colour M, the first segment's virtual end S and
  // the second segment's virtual start.
  Integer from1[3], to1[3], middle[3], from2[3], to2[3];
  const Integer a[3] = {RValue(c1), GValue(c1), BValue(c1)};
  const Integer b[3] = {RValue(c2), GValue(c2), BValue(c2)};
  for (int k = 0; k < 3; ++k) {
    middle[k] = a[k] - MulDiv(a[k] - b[k], p, 200);
    from1[k] = a[k];
    to1[k] = h > 0 ? a[k] - MulDiv(a[k] - middle[k], n, h) : middle[k];
    from2[k] = h > 0 ? b[k] + MulDiv(middle[k] - b[k], n, h) : middle[k];
    to2[k] = b[k];
  }
  auto along = [n](Integer from, Integer to, Integer i) {
    return n > 1 ? from + MulDiv(i, to - from, n - 1) : from;
  };
  for (Integer i = 0; i < n; ++i) {
    Integer ch[3];
    for (int k = 0; k < 3; ++k) {
      if (i < h)
        ch[k] = along(from1[k], to1[k], i);
      else if (i == h)
        ch[k] = middle[k];
      else
        ch[k] = along(from2[k], to2[k], i);
    }
    FillBand(DC, ARect, start + i, start + i + 1, AHorizontal,
             MakeRGB(ch[0], ch[1], ch[2]));
  }
}

void Office11FrameSelectedRect(HDC DC, const TRect& R) {
  if (IsHighContrastBlack() || IsHighContrast2()) {
    FrameRectByColor(DC, R, clHighlightText);
    return;
  }
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  if (dxOffice11SelectedBorderBrush != nullptr)
    ::FrameRect(DC, &r, dxOffice11SelectedBorderBrush);
}

void Office11DrawFingerElements(HDC ADC, const TRect& ARect, bool AColumn,
                                HBRUSH ADarkBrush, HBRUSH ALightBrush) {
  if (ADarkBrush == nullptr) ADarkBrush = dxOffice11BarFingerBrush1;
  if (ALightBrush == nullptr) ALightBrush = dxOffice11BarFingerBrush2;
  const Integer extent = AColumn ? ARect.Height() : ARect.Width();
  Integer shift = extent % 4;
  if (shift >= 2) shift /= 2;
  Integer x = ARect.Left + (AColumn ? 0 : shift);
  Integer y = ARect.Top + (AColumn ? shift : 0);
  for (;;) {
    RECT light{x + 1, y + 1, x + 3, y + 3};
    ::FillRect(ADC, &light, ALightBrush);
    RECT dark{x, y, x + 2, y + 2};
    ::FillRect(ADC, &dark, ADarkBrush);
    if (AColumn) {
      y += 4;
      if (y + 4 > ARect.Bottom) break;
    } else {
      x += 4;
      if (x + 4 > ARect.Right) break;
    }
  }
}

void Office11DrawSizeGrip(HDC DC, const TRect& ARect, TColor AColor1,
                          TColor AColor2) {
  const TBrushHandle dark(AColor1 == clDefault ? nullptr : SolidBrush(AColor1));
  const TBrushHandle light(AColor2 == clDefault ? nullptr
                                                : SolidBrush(AColor2));
  TRect row{ARect.Right - 12, ARect.Bottom - 3, ARect.Right, ARect.Bottom};
  for (int i = 0; i < 3; ++i) {
    Office11DrawFingerElements(DC, row, false, dark.get(), light.get());
    row.Left += 4;
    row.Top -= 4;
    row.Bottom -= 4;
  }
}

void Office11DrawItemArrow(HDC DC, const TRect& R, bool ADown, bool ASelected,
                           bool AEnabled, bool AUnused) {
  const Integer e = ADown ? R.Width() - 8 : R.Height() - 6;
  // Integer division truncates towards zero, as the size rule expects.
  const Integer size = std::max(3, (e - 1) / 2 + (e % 2 != 0 ? 1 : 0));
  Office11DrawLargeItemArrow(DC, R, ADown, size, AEnabled, ASelected, AUnused);
}

void Office11DrawLargeItemArrow(HDC DC, const TRect& R, bool ADown,
                                Integer ASize, bool AEnabled, bool ASelected,
                                bool /*AUnused*/) {
  TColor color;
  if (!AEnabled)
    color = dxOffice11TextDisabledColor;
  else if (ASelected && IsHighContrastWhite())
    color = clWhite;
  else
    color = dxOffice11TextEnabledColor;
  const Integer s = ASize;
  POINT p[3];
  if (ADown) {
    const Integer x0 = (R.Left + R.Right - (2 * s - 1)) / 2;
    const Integer y0 = (R.Top + R.Bottom - s) / 2;
    p[0] = {x0, y0};
    p[1] = {x0 + 2 * s - 2, y0};
    p[2] = {x0 + s - 1, y0 + s - 1};
  } else {
    const Integer x0 = (R.Left + R.Right - s) / 2;
    const Integer y0 = (R.Top + R.Bottom - (2 * s - 1)) / 2;
    p[0] = {x0, y0};
    p[1] = {x0, y0 + 2 * s - 2};
    p[2] = {x0 + s - 1, y0 + s - 1};
  }
  const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color));
  const TPenHandle pen(CreatePen(PS_SOLID, 1, rgb));
  const TBrushHandle brush(CreateSolidBrush(rgb));
  TSelectObject selectPen(DC, pen.get());
  TSelectObject selectBrush(DC, brush.get());
  Polygon(DC, p, 3);
}

VARNEL_UNIT(dxOffice11, ({"dxThemeManager", "cxGraphics", "Graphics"}), nullptr,
            &dxOffice11Shutdown);
