// The Office 2003 painter: scheme colours, the gradient header background,
// the hot underline and the expand button's blended corners, read back from
// pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "cxPaintersTestCanvas.h"
#include "dxOffice11.h"
#include "dxUxThemeStandIn.h"

using namespace painters_test;

namespace {

// The blue standard scheme's table colours, which the painter's colours and
// pixels are checked against.
constexpr TColor kToolbars1 = TColor(0xFEECDD);
constexpr TColor kToolbars2 = TColor(0xE2A981);
constexpr TColor kSeparator1 = TColor(0xCB8C6A);
constexpr TColor kSeparator2 = TColor(0xFFF9F1);
constexpr TColor kDock1 = TColor(0xF5BE9E);
constexpr TColor kSelected1 = TColor(0xCCF4FF);
constexpr TColor kSelected2 = TColor(0x91D0FF);
constexpr TColor kSelectedDown1 = TColor(0x8ED3FF);
constexpr TColor kSelectedBorder = TColor(0x800000);
constexpr TColor kTextEnabled = TColor(0x000000);
constexpr TColor kTextDisabled = TColor(0x8D8D8D);
// Half way between the two toolbar colours, per channel rounded.
constexpr TColor kHeaderTop = TColor(0xF0CBB0);
// The sub-item colour: half way between the first bar mark colour 913500
// and the second bar border colour E0A47B.
constexpr TColor kInPlaceSubItem = TColor(0xB96D3E);

// Whether each channel of p lies between those of a and b.
bool Between(const Pixel& p, const Pixel& a, const Pixel& b) {
  auto in = [](int v, int x, int y) {
    return v >= std::min(x, y) && v <= std::max(x, y);
  };
  return in(p.R, a.R, b.R) && in(p.G, a.G, b.G) && in(p.B, a.B, b.B);
}

// Puts another picture in one of the shared bitmap variables while it lives.
class TBitmapSwap {
 public:
  TBitmapSwap(TBitmap*& variable, TBitmap* picture)
      : variable_(variable), saved_(variable) {
    variable_ = picture;
  }
  ~TBitmapSwap() { variable_ = saved_; }
  TBitmapSwap(const TBitmapSwap&) = delete;
  TBitmapSwap& operator=(const TBitmapSwap&) = delete;

 private:
  TBitmap*& variable_;
  TBitmap* saved_;
};

class Office11PainterTest : public ::testing::Test {
 protected:
  // The painter draws with the blue standard scheme; the system's own
  // colours come back when the test ends.
  Office11PainterTest() : standIn_(std::make_unique<TUxThemeStandIn>()) {
    CreateOffice11Colors();
    RefreshOffice11Colors();
  }
  ~Office11PainterTest() override {
    standIn_.reset();
    RefreshOffice11Colors();
    ReleaseOffice11Colors();
  }

  static const TcxOffice11LookAndFeelPainter* O11() {
    return static_cast<const TcxOffice11LookAndFeelPainter*>(
        P<TcxOffice11LookAndFeelPainter>());
  }

  // Draws content into a 30 x 20 canvas at (5, 5, 25, 15).
  void DrawContent(TTestCanvas& t, TcxButtonState state, bool footer,
                   TcxDrawBackgroundEvent event = nullptr) {
    O11()->DrawContent(t.Canvas(), kBounds, kBounds, Integer(state),
                       taLeftJustify, vaCenter, false, false, "", nullptr,
                       clBtnText, clRed, event, footer);
  }

  static constexpr TRect kBounds{5, 5, 25, 15};

 private:
  std::unique_ptr<TUxThemeStandIn> standIn_;
};

TEST_F(Office11PainterTest, HeaderColoursComeFromTheScheme) {
  ASSERT_EQ(GetOffice11Scheme(), schNormalColor);
  EXPECT_EQ(O11()->HeaderTopColor(), kHeaderTop);
  EXPECT_EQ(O11()->HeaderBottomColor(), kToolbars2);
  EXPECT_EQ(O11()->DefaultHeaderColor(), kHeaderTop);
  EXPECT_EQ(O11()->DefaultHeaderBackgroundColor(), kInPlaceSubItem);
  EXPECT_EQ(O11()->FooterSeparatorColor(), kSeparator1);
  EXPECT_EQ(O11()->LookAndFeelStyle(), lfsOffice11);
  EXPECT_EQ(O11()->ExpandButtonSize(), 11);
  EXPECT_EQ(O11()->SmallExpandButtonSize(), 11);
  EXPECT_EQ(O11()->HeaderBorders(TcxNeighbors{nLeft, nTop}), cxBordersAll);
}

TEST_F(Office11PainterTest, ButtonAndCheckColoursFollowTheState) {
  struct Case {
    TcxButtonState State;
    TColor Button;
    TColor Check;
  };
  for (const Case& c :
       {Case{cxbsDefault, kDock1, clWindow}, Case{cxbsNormal, kDock1, clWindow},
        Case{cxbsHot, kSelected1, kSelected1},
        Case{cxbsPressed, kSelectedDown1, kSelectedDown1},
        Case{cxbsDisabled, clBtnFace, clBtnFace}}) {
    EXPECT_EQ(O11()->ButtonColor(c.State), c.Button) << int(c.State);
    EXPECT_EQ(O11()->CheckButtonColor(c.State), c.Check) << int(c.State);
  }
  EXPECT_EQ(O11()->ButtonSymbolColor(cxbsDisabled, clRed), kTextDisabled);
  // With a standard scheme a pressed symbol keeps the enabled text colour.
  EXPECT_EQ(O11()->ButtonSymbolColor(cxbsPressed), kTextEnabled);
}

TEST_F(Office11PainterTest, NormalHeaderEndsInAGradientBand) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsNormal, false);
  const Pixel top = FromColor(kHeaderTop);
  const Pixel bottom = FromColor(kToolbars2);
  EXPECT_EQ(t.At(10, 5), top);
  EXPECT_EQ(t.At(10, 11), top);  // bottom - 4: the band starts with c1
  // Down the band the colour goes from the top colour towards the bottom.
  for (Integer y = 12; y < 15; ++y) {
    EXPECT_TRUE(Between(t.At(10, y), t.At(10, y - 1), bottom))
        << y << " " << t.At(10, y);
  }
  EXPECT_NE(t.At(10, 14), top);
  EXPECT_EQ(t.At(4, 10), FromColor(kPaper));
  EXPECT_EQ(t.At(10, 15), FromColor(kPaper));
}

TEST_F(Office11PainterTest, FooterCellIsFilledFlatWithTheTopColour) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsNormal, true);
  const Pixel top = FromColor(kHeaderTop);
  EXPECT_EQ(t.At(10, 5), top);
  EXPECT_EQ(t.At(10, 14), top);
}

TEST_F(Office11PainterTest, HotHeaderIsFlatAndUnderlinedOnePixelWider) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsHot, false);
  EXPECT_EQ(t.At(10, 6), FromColor(kToolbars1));
  EXPECT_EQ(t.At(10, 12), FromColor(kToolbars1));
  // The selection gradient: rows bottom - 2 .. bottom, from x = left - 1,
  // from the first selected colour towards the second.
  const Pixel from = FromColor(kSelected1);
  const Pixel to = FromColor(kSelected2);
  EXPECT_EQ(t.At(10, 13), from);
  for (Integer y = 14; y < 16; ++y) {
    EXPECT_TRUE(Between(t.At(10, y), t.At(10, y - 1), to))
        << y << " " << t.At(10, y);
  }
  EXPECT_NE(t.At(10, 15), from);
  EXPECT_EQ(t.At(4, 14), t.At(10, 14));
  EXPECT_EQ(t.At(3, 14), FromColor(kPaper));
  EXPECT_EQ(t.At(25, 14), FromColor(kPaper));
}

TEST_F(Office11PainterTest, HeaderIgnoresABackgroundEventThatPaints) {
  TTestCanvas t(30, 20);
  int calls = 0;
  auto event =
      TcxDrawBackgroundEvent::FromFunction([&calls](TcxCanvas*, const TRect&) {
        ++calls;
        return true;
      });
  O11()->DrawHeader(t.Canvas(), kBounds, kBounds, TcxNeighbors{}, TcxBorders{},
                    cxbsNormal, taLeftJustify, vaCenter, false, false, "",
                    nullptr, clBtnText, clRed, event, false, false);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(t.At(10, 8), FromColor(kHeaderTop));

  // Content drawn directly does honour it.
  TTestCanvas direct(30, 20);
  DrawContent(direct, cxbsNormal, false, event);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(direct.At(10, 8), FromColor(kPaper));
}

TEST_F(Office11PainterTest, HeaderBorderEdgesAndCorners) {
  TTestCanvas t(12, 10);
  O11()->DrawHeaderBorder(t.Canvas(), t.Bounds(), TcxNeighbors{}, cxBordersAll);
  EXPECT_EQ(t.At(5, 0), FromColor(kHeaderTop));
  EXPECT_EQ(t.At(5, 9), FromColor(kSeparator1));
  EXPECT_EQ(t.At(0, 4), FromColor(kSeparator2));
  EXPECT_EQ(t.At(0, 8), FromColor(kToolbars2));
  EXPECT_EQ(t.At(11, 4), FromColor(kSeparator1));
  // The right corners: half way between the edge and the colour beside it.
  EXPECT_EQ(t.At(11, 0), FromColor(TColor(0xDEAC8D)));
  EXPECT_EQ(t.At(11, 8), FromColor(TColor(0xD79B76)));
}

TEST_F(Office11PainterTest, ExpandButtonCornersBlendWithTheBackground) {
  // A plain glyph in place of the scheme's picture, so the test does not
  // depend on what the resources hold.
  TObjectPtr<TBitmap> glyph(cxgraphics_test::MakeBitmap(11, 11, clGreen));
  TBitmapSwap swap(dxOffice11ExpandButtonBitmap1, glyph.get());
  TTestCanvas white(11, 11, clWhite);
  O11()->DrawExpandButton(white.Canvas(), white.Bounds(), true);
  TTestCanvas black(11, 11, clBlack);
  O11()->DrawExpandButton(black.Canvas(), black.Bounds(), true);

  EXPECT_EQ(white.At(5, 5), FromColor(clGreen));
  // A quarter of the corner colours BFAE9E and 5F462E, the rest what is
  // behind.
  EXPECT_EQ(white.At(0, 0), FromColor(TColor(0xEFEBE7)));
  EXPECT_EQ(black.At(0, 0), FromColor(TColor(0x302C28)));
  for (auto [x, y] : {std::pair{10, 10}, std::pair{0, 10}, std::pair{10, 0}}) {
    EXPECT_EQ(white.At(x, y), FromColor(TColor(0xD7D1CB)));
    EXPECT_NE(white.At(x, y), black.At(x, y));
  }
}

TEST_F(Office11PainterTest, ExpandButtonWithoutAPictureDrawsNothing) {
  TObjectPtr<TBitmap> empty(new TBitmap);
  TBitmapSwap swap(dxOffice11ExpandButtonBitmap2, empty.get());
  TTestCanvas t(11, 11);
  O11()->DrawExpandButton(t.Canvas(), t.Bounds(), false);
  EXPECT_EQ(t.At(0, 0), FromColor(kPaper));
  EXPECT_EQ(t.At(5, 5), FromColor(kPaper));
}

TEST_F(Office11PainterTest, ButtonBorderColoursByState) {
  struct Case {
    TcxButtonState State;
    TColor Outer;
    TColor Inner;
  };
  for (const Case& c : {Case{cxbsDefault, clWindowFrame, clWindowFrame},
                        Case{cxbsNormal, clBtnText, kPaper},
                        Case{cxbsDisabled, kTextDisabled, kPaper},
                        Case{cxbsHot, kSelectedBorder, kPaper},
                        Case{cxbsPressed, kSelectedBorder, kPaper}}) {
    TTestCanvas t(10, 10);
    O11()->DrawButtonBorder(t.Canvas(), t.Bounds(), c.State);
    EXPECT_EQ(t.At(0, 0), FromColor(c.Outer)) << int(c.State);
    EXPECT_EQ(t.At(1, 1), FromColor(c.Inner)) << int(c.State);
  }
}

}  // namespace
