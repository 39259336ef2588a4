// The Office 2003 painter: scheme colours, the gradient header background,
// the hot underline and the expand button's blended corners, read back from
// pixels.
#include <gtest/gtest.h>

#include "cxPaintersTestCanvas.h"
#include "dxOffice11.h"

using namespace painters_test;

namespace {

class Office11PainterTest : public ::testing::Test {
 protected:
  Office11PainterTest() { CreateOffice11Colors(); }
  ~Office11PainterTest() override { ReleaseOffice11Colors(); }

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
};

TEST_F(Office11PainterTest, HeaderColoursComeFromTheScheme) {
  EXPECT_EQ(
      O11()->HeaderTopColor(),
      GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50));
  EXPECT_EQ(O11()->HeaderBottomColor(), dxOffice11ToolbarsColor2);
  EXPECT_EQ(O11()->DefaultHeaderColor(), O11()->HeaderTopColor());
  EXPECT_EQ(O11()->DefaultHeaderBackgroundColor(),
            dxOffice11InPlaceSubItemColor);
  EXPECT_EQ(O11()->FooterSeparatorColor(), dxOffice11BarSeparatorColor1);
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
       {Case{cxbsDefault, dxOffice11DockColor1, clWindow},
        Case{cxbsNormal, dxOffice11DockColor1, clWindow},
        Case{cxbsHot, dxOffice11SelectedColor1, dxOffice11SelectedColor1},
        Case{cxbsPressed, dxOffice11SelectedDownColor1,
             dxOffice11SelectedDownColor1},
        Case{cxbsDisabled, clBtnFace, clBtnFace}}) {
    EXPECT_EQ(O11()->ButtonColor(c.State), c.Button) << int(c.State);
    EXPECT_EQ(O11()->CheckButtonColor(c.State), c.Check) << int(c.State);
  }
  EXPECT_EQ(O11()->ButtonSymbolColor(cxbsDisabled, clRed),
            dxOffice11TextDisabledColor);
  EXPECT_EQ(
      O11()->ButtonSymbolColor(cxbsPressed),
      IsXPStandardScheme() ? dxOffice11TextEnabledColor : clHighlightText);
}

TEST_F(Office11PainterTest, NormalHeaderEndsInAGradientBand) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsNormal, false);
  const Pixel top = FromColor(O11()->HeaderTopColor());
  EXPECT_EQ(t.At(10, 5), top);
  EXPECT_EQ(t.At(10, 11), top);  // bottom - 4: the band starts with c1
  TTestCanvas reference(30, 20);
  FillGradientRect(reference.Canvas()->Handle(), TRect{5, 11, 25, 15},
                   O11()->HeaderTopColor(), O11()->HeaderBottomColor(), false);
  for (Integer y = 12; y < 15; ++y) {
    EXPECT_EQ(t.At(10, y), reference.At(10, y)) << y;
  }
  EXPECT_EQ(t.At(4, 10), FromColor(kPaper));
  EXPECT_EQ(t.At(10, 15), FromColor(kPaper));
}

TEST_F(Office11PainterTest, FooterCellIsFilledFlatWithTheTopColour) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsNormal, true);
  const Pixel top = FromColor(O11()->HeaderTopColor());
  EXPECT_EQ(t.At(10, 5), top);
  EXPECT_EQ(t.At(10, 14), top);
}

TEST_F(Office11PainterTest, HotHeaderIsFlatAndUnderlinedOnePixelWider) {
  TTestCanvas t(30, 20);
  DrawContent(t, cxbsHot, false);
  EXPECT_EQ(t.At(10, 6), FromColor(dxOffice11ToolbarsColor1));
  EXPECT_EQ(t.At(10, 12), FromColor(dxOffice11ToolbarsColor1));
  // The selection gradient: rows bottom - 2 .. bottom, from x = left - 1.
  TTestCanvas reference(30, 20);
  FillGradientRect(reference.Canvas()->Handle(), TRect{4, 13, 25, 16},
                   dxOffice11SelectedColor1, dxOffice11SelectedColor2, false);
  for (Integer y = 13; y < 16; ++y) {
    EXPECT_EQ(t.At(10, y), reference.At(10, y)) << y;
  }
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
  EXPECT_EQ(t.At(10, 8), FromColor(O11()->HeaderTopColor()));

  // Content drawn directly does honour it.
  TTestCanvas direct(30, 20);
  DrawContent(direct, cxbsNormal, false, event);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(direct.At(10, 8), FromColor(kPaper));
}

TEST_F(Office11PainterTest, HeaderBorderEdgesAndCorners) {
  TTestCanvas t(12, 10);
  O11()->DrawHeaderBorder(t.Canvas(), t.Bounds(), TcxNeighbors{}, cxBordersAll);
  const TColor top = O11()->HeaderTopColor();
  const TColor dark = O11()->HeaderDarkEdgeColor();
  EXPECT_EQ(t.At(5, 0), FromColor(top));
  EXPECT_EQ(t.At(5, 9), FromColor(dark));
  EXPECT_EQ(t.At(0, 4), FromColor(O11()->HeaderHighlightEdgeColor()));
  EXPECT_EQ(t.At(0, 8), FromColor(O11()->HeaderBottomColor()));
  EXPECT_EQ(t.At(11, 4), FromColor(dark));
  EXPECT_EQ(t.At(11, 0), FromColor(GetMiddleRGB(top, dark, 50)));
  EXPECT_EQ(t.At(11, 8),
            FromColor(GetMiddleRGB(O11()->HeaderBottomColor(), dark, 50)));
}

TEST_F(Office11PainterTest, ExpandButtonCornersBlendWithTheBackground) {
  // A plain glyph in place of the scheme's picture, so the test does not
  // depend on what the resources hold.
  TObjectPtr<TBitmap> glyph(cxgraphics_test::MakeBitmap(11, 11, clGreen));
  TBitmap* saved = dxOffice11ExpandButtonBitmap1;
  dxOffice11ExpandButtonBitmap1 = glyph.get();
  TTestCanvas white(11, 11, clWhite);
  O11()->DrawExpandButton(white.Canvas(), white.Bounds(), true);
  TTestCanvas black(11, 11, clBlack);
  O11()->DrawExpandButton(black.Canvas(), black.Bounds(), true);
  dxOffice11ExpandButtonBitmap1 = saved;

  EXPECT_EQ(white.At(5, 5), FromColor(clGreen));
  EXPECT_EQ(white.At(0, 0),
            FromColor(GetMiddleRGB(dxOffice11ExpandButtonColor1, clWhite, 25)));
  EXPECT_EQ(black.At(0, 0),
            FromColor(GetMiddleRGB(dxOffice11ExpandButtonColor1, clBlack, 25)));
  for (auto [x, y] : {std::pair{10, 10}, std::pair{0, 10}, std::pair{10, 0}}) {
    EXPECT_EQ(white.At(x, y), FromColor(GetMiddleRGB(
                                  dxOffice11ExpandButtonColor2, clWhite, 25)));
    EXPECT_NE(white.At(x, y), black.At(x, y));
  }
}

TEST_F(Office11PainterTest, ExpandButtonWithoutAPictureDrawsNothing) {
  TObjectPtr<TBitmap> empty(new TBitmap);
  TBitmap* saved = dxOffice11ExpandButtonBitmap2;
  dxOffice11ExpandButtonBitmap2 = empty.get();
  TTestCanvas t(11, 11);
  O11()->DrawExpandButton(t.Canvas(), t.Bounds(), false);
  dxOffice11ExpandButtonBitmap2 = saved;
  EXPECT_EQ(t.At(0, 0), FromColor(kPaper));
  EXPECT_EQ(t.At(5, 5), FromColor(kPaper));
}

TEST_F(Office11PainterTest, ButtonBorderColoursByState) {
  struct Case {
    TcxButtonState State;
    TColor Outer;
    TColor Inner;
  };
  for (const Case& c :
       {Case{cxbsDefault, clWindowFrame, clWindowFrame},
        Case{cxbsNormal, clBtnText, kPaper},
        Case{cxbsDisabled, dxOffice11TextDisabledColor, kPaper},
        Case{cxbsHot, dxOffice11SelectedBorderColor, kPaper},
        Case{cxbsPressed, dxOffice11SelectedBorderColor, kPaper}}) {
    TTestCanvas t(10, 10);
    O11()->DrawButtonBorder(t.Canvas(), t.Bounds(), c.State);
    EXPECT_EQ(t.At(0, 0), FromColor(c.Outer)) << int(c.State);
    EXPECT_EQ(t.At(1, 1), FromColor(c.Inner)) << int(c.State);
  }
}

}  // namespace
