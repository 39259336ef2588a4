// The Office 2003 colour set: scheme detection and colours, the shared
// brushes' reference count, gradients and grips read back from pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <utility>

#include "Handles.h"
#include "cxGraphics.h"
#include "dxOffice11.h"
#include "dxUxThemeStandIn.h"

namespace {

// A 32-bit top-down DIB section in a memory DC, filled with one colour.
class TPixels {
 public:
  TPixels(int width, int height, COLORREF fill = RGB(1, 2, 3))
      : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    select_.emplace(dc_.get(), bitmap_.get());
    const TBrushHandle brush(CreateSolidBrush(fill));
    RECT r{0, 0, width, height};
    FillRect(dc_.get(), &r, brush.get());
  }
  TPixels(const TPixels&) = delete;
  TPixels& operator=(const TPixels&) = delete;

  HDC DC() const { return dc_.get(); }
  // The pixel as a TColor value (0x00BBGGRR).
  Integer At(int x, int y) const {
    GdiFlush();
    DWORD v = static_cast<const DWORD*>(bits_)[y * width_ + x];
    return static_cast<Integer>(((v & 0xFF) << 16) | (v & 0xFF00) |
                                ((v >> 16) & 0xFF));
  }
  std::set<std::pair<int, int>> PixelsOf(Integer color) const {
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) == color) found.insert({x, y});
    return found;
  }

 private:
  int width_, height_;
  // Declared in the order of making: they go in reverse.
  TOwnedDC dc_;
  TBitmapHandle bitmap_;
  std::optional<TSelectObject> select_;
  void* bits_ = nullptr;
};

Integer Red(Integer c) { return c & 0xFF; }

// Runs the own-code paths: msimg32 switched off for the object's life.
class TWithoutMsimg32 {
 public:
  TWithoutMsimg32() { cxSetMsimg32Binding(TcxMsimg32Binding{}); }
  ~TWithoutMsimg32() { cxRestoreMsimg32Binding(); }
};

// The classic colours: Wine runs without a theme, but make sure of it.
class TClassicColors {
 public:
  TClassicColors() { standIn_.SetActive(false), RefreshOffice11Colors(); }
  ~TClassicColors() { RefreshOffice11Colors(); }

 private:
  TUxThemeStandIn standIn_;
};

// Known system colours for one test; the session's come back afterwards.
class TKnownSystemColors {
 public:
  TKnownSystemColors() {
    for (int i = 0; i < kCount; ++i) saved_[i] = GetSysColor(kIndexes[i]);
    const COLORREF values[kCount] = {RGB(200, 100, 50), RGB(255, 255, 255),
                                     RGB(10, 36, 106), RGB(128, 128, 128),
                                     RGB(64, 80, 96)};
    SetSysColors(kCount, kIndexes, values);
  }
  ~TKnownSystemColors() { SetSysColors(kCount, kIndexes, saved_); }
  TKnownSystemColors(const TKnownSystemColors&) = delete;
  TKnownSystemColors& operator=(const TKnownSystemColors&) = delete;

 private:
  static constexpr int kCount = 5;
  static constexpr INT kIndexes[kCount] = {COLOR_BTNFACE, COLOR_WINDOW,
                                           COLOR_HIGHLIGHT, COLOR_GRAYTEXT,
                                           COLOR_BTNSHADOW};
  COLORREF saved_[kCount];
};

// ---------------------------------------------------------------------------
// Colour routines
// ---------------------------------------------------------------------------

TEST(Office11ColorTest, MiddleRGBMixesPerChannel) {
  struct Case {
    Integer C1, C2, Percent, Expected;
  };
  for (const Case& c : {Case{0xFFFFFF, 0x000000, 100, 0xFFFFFF},
                        Case{0xFFFFFF, 0x000000, 0, 0x000000},
                        Case{0x0000FF, 0xFF0000, 50, 0x800080},
                        // Rounding up on both sides stays within a byte.
                        Case{0xFFFFFF, 0xFFFFFF, 50, 0xFFFFFF},
                        Case{0x203040, 0x000000, 25, 0x080C10}}) {
    EXPECT_EQ(GetMiddleRGB(TColor(c.C1), TColor(c.C2), c.Percent), c.Expected)
        << std::hex << c.C1 << " " << c.C2 << " " << std::dec << c.Percent;
  }
  // System colours are resolved first.
  EXPECT_EQ(GetMiddleRGB(clBtnFace, clBtnFace, 100),
            static_cast<Integer>(GetSysColor(COLOR_BTNFACE)));
}

TEST(Office11ColorTest, DarkAndLightScaleEachChannel) {
  EXPECT_EQ(Dark(TColor(0xC86432), 50), 0x643219);
  EXPECT_EQ(Dark(clWhite, 100), 0xFFFFFF);
  EXPECT_EQ(Dark(clWhite, 0), 0);
  EXPECT_EQ(Light(clBlack, 40), 0x999999);  // 0 + 153
  EXPECT_EQ(Light(clWhite, 40), 0xFFFFFF);  // 102 + 153
  EXPECT_EQ(Light(TColor(0x0A0A0A), 100), 0x0A0A0A);
}

// ---------------------------------------------------------------------------
// Schemes and colours
// ---------------------------------------------------------------------------

TEST(Office11SchemeTest, ClassicColorsComeFromTheSystemColors) {
  // Made in this order, the colours are refreshed once the system's are
  // back.
  TClassicColors classic;
  TKnownSystemColors system;
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  EXPECT_FALSE(IsXPStandardScheme());
  EXPECT_EQ(dxOffice11TubeGradientPercent(), 75);
  EXPECT_EQ(dxOffice11DockColor1, 0x3264C8);           // face
  EXPECT_EQ(dxOffice11MenuColor, 0xFFFFFF);            // window
  EXPECT_EQ(dxOffice11SelectedBorderColor, 0x6A240A);  // highlight
  EXPECT_EQ(dxOffice11TextDisabledColor, 0x808080);    // grey text
  EXPECT_EQ(dxOffice11BarSeparatorColor2, 0xFFFFFF);
  // A fifth of the face, four fifths of the window, per channel.
  EXPECT_EQ(dxOffice11DockColor2, 0xD6E0F4);
  // The common tail links colours to each other.
  EXPECT_EQ(dxOffice11DropDownBorderColor2, 0xFFFFFF);
  EXPECT_EQ(dxOffice11ControlBorderColor, 0x605040);  // shadow
  EXPECT_EQ(dxOffice11InPlaceSubItemColor, dxOffice11BarBorderMarkColors[3]);
  EXPECT_EQ(dxOffice11ExpandButtonColor1, 0xBFAE9E);
  EXPECT_EQ(dxOffice11ExpandButtonColor2, 0x5F462E);
}

struct SchemeCase {
  const char* Name;
  const wchar_t* File;
  const wchar_t* Color;
  Integer Major, Minor;
  TOffice11Scheme Scheme;
  Integer DockColor1, SelectedBorderColor, TubePercent;
};

class Office11SchemeTableTest : public testing::TestWithParam<SchemeCase> {};

TEST_P(Office11SchemeTableTest, PicksTheSchemeAndItsColors) {
  const SchemeCase& c = GetParam();
  TUxThemeStandIn standIn;
  UxThemeRecord().ThemeFile = c.File;
  UxThemeRecord().ColorScheme = c.Color;
  {
    struct TVersionGuard {
      const Integer major = Win32MajorVersion, minor = Win32MinorVersion;
      ~TVersionGuard() {
        Win32MajorVersion = major;
        Win32MinorVersion = minor;
      }
    } version;
    Win32MajorVersion = c.Major;
    Win32MinorVersion = c.Minor;
    RefreshOffice11Colors();
  }

  EXPECT_EQ(GetOffice11Scheme(), c.Scheme);
  EXPECT_EQ(IsXPStandardScheme(), c.Scheme != schUnknown);
  EXPECT_EQ(dxOffice11TubeGradientPercent(), c.TubePercent);
  if (c.Scheme != schUnknown) {
    EXPECT_EQ(dxOffice11DockColor1, c.DockColor1);
    EXPECT_EQ(dxOffice11SelectedBorderColor, c.SelectedBorderColor);
    EXPECT_EQ(dxOffice11GroupIndentColor, 0xC9EEFD);
    EXPECT_EQ(dxOffice11BarFloatingBorderColor3, dxOffice11ToolbarsColor1);
  } else {
    EXPECT_EQ(dxOffice11DockColor1,
              static_cast<Integer>(GetSysColor(COLOR_BTNFACE)));
  }
  RefreshOffice11Colors();  // the stand-in goes: back to Wine's colours
}

constexpr const wchar_t* kLuna =
    L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
constexpr const wchar_t* kRoyale =
    L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles";
constexpr const wchar_t* kAero =
    L"C:\\Windows\\Resources\\Themes\\Aero.msstyles";

INSTANTIATE_TEST_SUITE_P(
    Schemes, Office11SchemeTableTest,
    testing::Values(SchemeCase{"LunaBlue", kLuna, L"NormalColor", 5, 1,
                               schNormalColor, 0xF5BE9E, 0x800000, 41},
                    SchemeCase{"LunaOlive", kLuna, L"HomeStead", 5, 1,
                               schHomestead, 0xA7D9D9, 0x385D3F, 125},
                    SchemeCase{"LunaSilver", kLuna, L"metallic", 5, 1,
                               schMetallic, 0xE5D7D7, 0x6F4B4B, 40},
                    SchemeCase{"LunaOtherColors", kLuna, L"Blue", 5, 1,
                               schUnknown, 0, 0, 75},
                    SchemeCase{"RoyaleOnXP", kRoyale, L"NormalColor", 5, 1,
                               schUnknown, 0, 0, 75},
                    // From version 6 on the colour-scheme name alone decides.
                    SchemeCase{"AeroOnWin10", kAero, L"NormalColor", 10, 0,
                               schNormalColor, 0xF5BE9E, 0x800000, 41}),
    [](const testing::TestParamInfo<SchemeCase>& info) {
      return String(info.param.Name);
    });

TEST(Office11SchemeTest, FailingThemeNameGivesTheClassicColors) {
  TUxThemeStandIn standIn;
  UxThemeRecord().NameResult = E_FAIL;
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  EXPECT_EQ(dxOffice11TubeGradientPercent(), 75);
  UxThemeRecord().NameResult = S_OK;
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schNormalColor);
  // Border marks of the blue scheme: 90 % of the mark colour and 10 % of
  // the toolbar colour, channel by channel.
  EXPECT_EQ(dxOffice11BarBorderMarkColors[0], 0xF2AD7F);
}

// ---------------------------------------------------------------------------
// The shared brushes and bitmaps
// ---------------------------------------------------------------------------

// Gives back the references that started units hold (the palette listener
// keeps one) for the length of a test, and takes them again afterwards.
class WithoutOtherOffice11Users {
 public:
  WithoutOtherOffice11Users() : held_(dxOffice11ColorsRefCount()) {
    for (Integer i = 0; i < held_; ++i) ReleaseOffice11Colors();
  }
  ~WithoutOtherOffice11Users() {
    for (Integer i = 0; i < held_; ++i) CreateOffice11Colors();
  }

 private:
  Integer held_;
};

TEST(Office11ColorSetTest, LastReleaseDestroysTheBrushes) {
  WithoutOtherOffice11Users alone;
  ASSERT_EQ(dxOffice11ColorsRefCount(), 0);
  CreateOffice11Colors();
  HBRUSH finger = dxOffice11BarFingerBrush1;
  HBRUSH menu = dxOffice11MenuBrush;
  ASSERT_EQ(GetObjectType(finger), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(dxOffice11DropDownBorderBrush2, menu);
  EXPECT_EQ(dxOffice11StaticBorderBrush, dxOffice11DropDownBorderBrush1);
  EXPECT_EQ(dxOffice11DetachableSelectedBrush, dxOffice11ToolbarSelectedBrush);
  ASSERT_NE(dxOffice11ExpandButtonBitmap1, nullptr);

  CreateOffice11Colors();
  EXPECT_EQ(dxOffice11BarFingerBrush1, finger);  // made once
  ReleaseOffice11Colors();
  EXPECT_EQ(dxOffice11BarFingerBrush1, finger);
  EXPECT_EQ(GetObjectType(finger), static_cast<DWORD>(OBJ_BRUSH));

  ReleaseOffice11Colors();
  EXPECT_EQ(dxOffice11BarFingerBrush1, nullptr);
  EXPECT_EQ(dxOffice11MenuBrush, nullptr);
  EXPECT_EQ(dxOffice11DropDownBorderBrush2, nullptr);
  EXPECT_EQ(dxOffice11ExpandButtonBitmap1, nullptr);
  EXPECT_EQ(GetObjectType(finger), 0u);
  EXPECT_EQ(GetObjectType(menu), 0u);
  // The colours stay readable.
  EXPECT_NE(dxOffice11DockColor1, clNone);

  ReleaseOffice11Colors();  // one too many: nothing happens
  EXPECT_EQ(dxOffice11ColorsRefCount(), 0);
}

TEST(Office11ColorSetTest, RefreshRemakesTheBrushesInTheNewColors) {
  TUxThemeStandIn standIn;
  standIn.SetActive(false);
  RefreshOffice11Colors();
  CreateOffice11Colors();
  UxThemeRecord().ColorScheme = L"NormalColor";
  standIn.SetActive(true);
  RefreshOffice11Colors();
  LOGBRUSH lb{};
  ASSERT_NE(dxOffice11SelectedBorderBrush, nullptr);
  GetObjectA(dxOffice11SelectedBorderBrush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, 0x800000u);
  ReleaseOffice11Colors();
  standIn.SetActive(false);
  RefreshOffice11Colors();
}

TEST(Office11ColorSetTest, TheExpandBitmapsShowWhatTheyAreFor) {
  CreateOffice11Colors();
  const TColor black = clBlack;
  // Expanded: a boxed minus; collapsed: a boxed plus.
  for (TBitmap* b :
       {dxOffice11ExpandButtonBitmap1, dxOffice11ExpandButtonBitmap2}) {
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Width(), 11);
    ASSERT_EQ(b->Height(), 11);
    TCanvas* c = b->Canvas();
    EXPECT_EQ(c->Pixels(5, 5), black);  // the bar
    EXPECT_EQ(c->Pixels(3, 5), black);
    EXPECT_EQ(c->Pixels(7, 5), black);
    EXPECT_NE(c->Pixels(2, 5), black);  // room beside it
    EXPECT_NE(c->Pixels(2, 2), black);
    for (auto [x, y] : {std::pair{0, 5}, {10, 5}, {5, 0}, {5, 10}})
      EXPECT_NE(c->Pixels(x, y), c->Pixels(2, 2)) << x << "," << y;  // box
  }
  EXPECT_NE(dxOffice11ExpandButtonBitmap1->Canvas()->Pixels(5, 3), black);
  EXPECT_NE(dxOffice11ExpandButtonBitmap1->Canvas()->Pixels(5, 7), black);
  EXPECT_EQ(dxOffice11ExpandButtonBitmap2->Canvas()->Pixels(5, 3), black);
  EXPECT_EQ(dxOffice11ExpandButtonBitmap2->Canvas()->Pixels(5, 7), black);

  // Two chevrons pointing down, one above the other, on the background.
  TBitmap* sub = dxOffice11SubMenuExpandBitmap;
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(sub->Width(), 9);
  ASSERT_EQ(sub->Height(), 9);
  TCanvas* c = sub->Canvas();
  const TColor background = c->Pixels(0, 0);
  EXPECT_NE(background, black);
  for (Integer top : {1, 5}) {
    EXPECT_EQ(c->Pixels(2, top), black) << top;
    EXPECT_EQ(c->Pixels(6, top), black) << top;
    EXPECT_EQ(c->Pixels(4, top), background) << top;  // the notch
    EXPECT_EQ(c->Pixels(4, top + 2), black) << top;   // the point
    EXPECT_EQ(c->Pixels(2, top + 2), background) << top;
  }
  EXPECT_EQ(c->Pixels(4, 4), background);  // apart
  ReleaseOffice11Colors();
}

// ---------------------------------------------------------------------------
// Gradients
// ---------------------------------------------------------------------------

TEST(Office11GradientTest, TubeGradientWhiteToBlackOverAHundredPixels) {
  TClassicColors classic;
  ASSERT_EQ(dxOffice11TubeGradientPercent(), 75);
  for (bool horizontal : {false, true}) {
    TPixels px(horizontal ? 100 : 3, horizontal ? 3 : 100);
    TRect r{0, 0, horizontal ? 100 : 3, horizontal ? 3 : 100};
    FillTubeGradientRect(px.DC(), r, clWhite, clBlack, horizontal);
    auto at = [&](int i) { return horizontal ? px.At(i, 1) : px.At(1, i); };
    EXPECT_EQ(at(0), 0xFFFFFF) << horizontal;
    EXPECT_EQ(at(25), 0xCFCFCF) << horizontal;  // 207
    EXPECT_EQ(at(50), 0x9F9F9F) << horizontal;  // 159, the middle colour
    EXPECT_EQ(at(99), 0x000000) << horizontal;
    // Both segments fall steadily.
    for (int i = 1; i < 100; ++i) EXPECT_LE(Red(at(i)), Red(at(i - 1))) << i;
  }
}

TEST(Office11GradientTest, TubeGradientOfEqualColorsIsSolid) {
  TPixels px(10, 10);
  FillTubeGradientRect(px.DC(), TRect{2, 2, 8, 8}, TColor(0x336699),
                       TColor(0x336699), false);
  EXPECT_EQ(px.PixelsOf(0x336699).size(), 36u);
}

TEST(Office11GradientTest, OwnGradientIsBandedBetweenTheColors) {
  TWithoutMsimg32 own;
  struct Case {
    int Width;
    bool Horizontal;
  };
  for (const Case& c : {Case{1, true}, Case{7, true}, Case{256, true},
                        Case{300, true}, Case{600, false}}) {
    const int w = c.Horizontal ? c.Width : 2;
    const int h = c.Horizontal ? 2 : c.Width;
    TPixels px(w, h);
    TRect r{0, 0, w, h};
    FillGradientRect(px.DC(), r, TColor(0x0000FF), TColor(0xFF0000),
                     c.Horizontal);
    // Every pixel has the colour GetGradientColorRect promises for it; past
    // 256 pixels the two round band edges apart by up to one step.
    const int slack = c.Width > 256 ? 1 : 0;
    for (int i = 0; i < c.Width; ++i) {
      Integer drawn = c.Horizontal ? px.At(i, 1) : px.At(1, i);
      Integer expected = GetGradientColorRect(r, i, TColor(0x0000FF),
                                              TColor(0xFF0000), c.Horizontal);
      ASSERT_LE(std::abs(Red(drawn) - Red(expected)), slack)
          << c.Width << " at " << i;
      ASSERT_EQ(Red(drawn) + (drawn >> 16), 255) << c.Width << " at " << i;
    }
    Integer last = c.Horizontal ? px.At(w - 1, 0) : px.At(0, h - 1);
    EXPECT_EQ(px.At(0, 0), 0x0000FF) << c.Width;
    if (c.Width > 1) {
      EXPECT_EQ(last, 0xFF0000) << c.Width;
    }
  }
}

TEST(Office11GradientTest, OwnGradientOfOnePixelPerBandStepsByOne) {
  TWithoutMsimg32 own;
  TPixels px(256, 1);
  FillGradientRect(px.DC(), TRect{0, 0, 256, 1}, clBlack, clWhite, true);
  for (int x : {0, 1, 100, 254, 255}) EXPECT_EQ(Red(px.At(x, 0)), x);
}

TEST(Office11GradientTest, GradientColorAtTheEnds) {
  const TRect wide{10, 0, 310, 5};
  EXPECT_EQ(GetGradientColorRect(wide, 10, clBlack, clWhite, true), 0);
  EXPECT_EQ(GetGradientColorRect(wide, 309, clBlack, clWhite, true), 0xFFFFFF);
  EXPECT_EQ(
      GetGradientColorRect(TRect{0, 0, 4, 101}, 100, clWhite, clBlack, false),
      0);
}

TEST(Office11GradientTest, SystemGradientRunsBetweenTheColors) {
  if (cxMsimg32().GradientFill == nullptr) GTEST_SKIP() << "no msimg32";
  TPixels px(100, 2);
  FillGradientRect(px.DC(), TRect{0, 0, 100, 2}, clBlack, clWhite, true);
  EXPECT_LE(Red(px.At(0, 0)), 3);
  EXPECT_GE(Red(px.At(99, 0)), 252);
  EXPECT_LT(Red(px.At(30, 0)), Red(px.At(70, 0)));
}

// ---------------------------------------------------------------------------
// Grips, arrows and frames
// ---------------------------------------------------------------------------

constexpr Integer kDark = 0x000080;
constexpr Integer kLight = 0x00C000;

std::set<std::pair<int, int>> Squares(
    std::initializer_list<std::pair<int, int>> corners) {
  std::set<std::pair<int, int>> s;
  for (auto [x, y] : corners)
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) s.insert({x + dx, y + dy});
  return s;
}

TEST(Office11GripTest, SizeGripPaintsSixDotsInATriangle) {
  TPixels px(16, 16);
  Office11DrawSizeGrip(px.DC(), TRect{2, 2, 14, 14}, TColor(kDark),
                       TColor(kLight));
  EXPECT_EQ(px.PixelsOf(kDark),
            Squares({{2, 11}, {6, 11}, {10, 11}, {6, 7}, {10, 7}, {10, 3}}));
  // Each light square shows three pixels beside and below its dark one.
  EXPECT_EQ(px.PixelsOf(kLight).size(), 18u);
  EXPECT_EQ(px.At(4, 13), kLight);
  EXPECT_EQ(px.At(1, 13), 0x030201);  // nothing left of the grip
}

TEST(Office11GripTest, FingerElementsAreCentredAndStayInside) {
  struct Case {
    TRect R;
    bool Column;
    std::set<std::pair<int, int>> Dark;
  };
  const TBrushHandle dark(CreateSolidBrush(static_cast<COLORREF>(kDark)));
  const TBrushHandle light(CreateSolidBrush(static_cast<COLORREF>(kLight)));
  for (const Case& c :
       {Case{TRect{0, 0, 3, 10}, true, Squares({{0, 1}, {0, 5}})},
        // A last cell that ends on the edge is still painted.
        Case{TRect{0, 0, 3, 13}, true, Squares({{0, 1}, {0, 5}, {0, 9}})},
        Case{TRect{0, 0, 12, 3}, false, Squares({{0, 0}, {4, 0}, {8, 0}})},
        Case{TRect{0, 0, 15, 3}, false, Squares({{1, 0}, {5, 0}, {9, 0}})},
        // Too small for one cell: the first is painted anyway.
        Case{TRect{0, 0, 2, 2}, true, Squares({{0, 1}})}}) {
    TPixels px(20, 20);
    Office11DrawFingerElements(px.DC(), c.R, c.Column, dark.get(), light.get());
    EXPECT_EQ(px.PixelsOf(kDark), c.Dark)
        << c.R.Right << "x" << c.R.Bottom << (c.Column ? " column" : " row");
  }
}

TEST(Office11GripTest, FingerElementsDefaultToTheSetsBrushes) {
  CreateOffice11Colors();
  TPixels px(8, 8, RGB(1, 2, 3));
  Office11DrawFingerElements(px.DC(), TRect{0, 0, 4, 4}, true);
  EXPECT_EQ(px.At(0, 0), ColorToRGB(dxOffice11BarFingerColor1));
  EXPECT_EQ(px.At(2, 2), ColorToRGB(dxOffice11BarFingerColor2));
  ReleaseOffice11Colors();
}

// The painted span of each row from the top.
std::vector<std::pair<int, int>> RowSpans(const TPixels& px, Integer color,
                                          int width, int height) {
  std::vector<std::pair<int, int>> spans;
  for (int y = 0; y < height; ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < width; ++x)
      if (px.At(x, y) == color) {
        if (first < 0) first = x;
        last = x;
      }
    if (first >= 0) spans.push_back({first, last});
  }
  return spans;
}

TEST(Office11ArrowTest, DownArrowIsATriangleCentredInTheRectangle) {
  TClassicColors classic;
  TPixels px(11, 11, RGB(255, 255, 255));
  Office11DrawLargeItemArrow(px.DC(), TRect{0, 0, 11, 11}, true, 3, true, false,
                             false);
  const Integer text = ColorToRGB(dxOffice11TextEnabledColor);
  ASSERT_NE(text, 0xFFFFFF);
  using Spans = std::vector<std::pair<int, int>>;
  EXPECT_EQ(RowSpans(px, text, 11, 11), (Spans{{3, 7}, {4, 6}, {5, 5}}));
  EXPECT_EQ(px.At(5, 4), text);  // the top row starts at y0 = 4
}

TEST(Office11ArrowTest, ItemArrowSizeFollowsTheRectangle) {
  TClassicColors classic;
  const Integer disabled = ColorToRGB(dxOffice11TextDisabledColor);
  struct Case {
    int Width;
    int Span;  // 2 * size - 1
  };
  // e = width - 8; size = max(3, (e - 1) div 2 + (1 when e is odd)).
  for (const Case& c :
       {Case{10, 5}, Case{16, 5}, Case{17, 9}, Case{20, 9}, Case{21, 13}}) {
    TPixels px(c.Width, 20, RGB(255, 255, 255));
    Office11DrawItemArrow(px.DC(), TRect{0, 0, c.Width, 20}, true, false, false,
                          false);
    auto spans = RowSpans(px, disabled, c.Width, 20);
    ASSERT_FALSE(spans.empty()) << c.Width;
    EXPECT_EQ(spans[0].second - spans[0].first + 1, c.Span) << c.Width;
    EXPECT_EQ(static_cast<int>(spans.size()), (c.Span + 1) / 2) << c.Width;
  }
}

TEST(Office11ArrowTest, RightArrowPointsRight) {
  TClassicColors classic;
  TPixels px(11, 11, RGB(255, 255, 255));
  Office11DrawLargeItemArrow(px.DC(), TRect{0, 0, 11, 11}, false, 3, true,
                             false, false);
  const Integer text = ColorToRGB(dxOffice11TextEnabledColor);
  // x0 = (11 - 3) div 2 = 4, y0 = (11 - 5) div 2 = 3; tip at (6, 5).
  EXPECT_EQ(px.At(4, 3), text);
  EXPECT_EQ(px.At(4, 7), text);
  EXPECT_EQ(px.At(6, 5), text);
  EXPECT_NE(px.At(7, 5), text);
  EXPECT_NE(px.At(6, 3), text);
}

TEST(Office11FrameTest, SelectedFrameUsesTheSelectedBorderBrush) {
  if (IsHighContrastBlack() || IsHighContrast2()) GTEST_SKIP();
  TClassicColors classic;
  CreateOffice11Colors();
  TPixels px(10, 10);
  Office11FrameSelectedRect(px.DC(), TRect{1, 1, 9, 9});
  const Integer border = ColorToRGB(dxOffice11SelectedBorderColor);
  EXPECT_EQ(px.At(1, 1), border);
  EXPECT_EQ(px.At(8, 8), border);
  EXPECT_EQ(px.At(4, 4), 0x030201);
  ReleaseOffice11Colors();
}

}  // namespace
