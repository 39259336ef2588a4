// One check square in every look, read back from bitmaps: the painters'
// own check buttons, the flat mark drawn through the mask, the classic
// frame-control states and the custom glyph strip.
#include <gtest/gtest.h>

#include "cxCheckBox.h"
#include "cxEditTestCanvas.h"
#include "cxEditUtils.h"

namespace {

using edit_test::kPaper;
using edit_test::TTestCanvas;

constexpr Integer kSize = 13;
const TRect kCheck{2, 2, 2 + kSize, 2 + kSize};

std::string Pixels(const TTestCanvas& c) {
  std::string s;
  for (Integer y = 0; y < c.Height(); ++y) {
    for (Integer x = 0; x < c.Width(); ++x)
      s += std::to_string(c.At(x, y)) + ",";
  }
  return s;
}

TcxLookAndFeelPainterClass PainterOf(Integer i) {
  switch (i) {
    case 0:
      return cxPainterInstance<TcxStandardLookAndFeelPainter>();
    case 1:
      return cxPainterInstance<TcxFlatLookAndFeelPainter>();
    case 2:
      return cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
    default:
      return cxPainterInstance<TcxOffice11LookAndFeelPainter>();
  }
}

TEST(DrawEditCheck, APainterDrawsItsOwnCheckButtonInTheMouseState) {
  const std::pair<TcxEditCheckState, TcxButtonState> states[] = {
      {ecsNormal, cxbsNormal},
      {ecsHot, cxbsHot},
      {ecsPressed, cxbsPressed},
      {ecsDisabled, cxbsDisabled}};
  for (Integer p = 0; p < 4; ++p) {
    const TcxLookAndFeelPainterClass painter = PainterOf(p);
    for (const auto& [checkState, buttonState] : states) {
      for (TcxCheckBoxState state : {cbsUnchecked, cbsChecked, cbsGrayed}) {
        TTestCanvas ours(17, 17);
        DrawEditCheck(ours.Canvas(), kCheck, state, checkState, nullptr, 0,
                      ebsSingle, false, clBlack, clWindow, true, false, false,
                      true, painter);
        TTestCanvas theirs(17, 17);
        theirs.Canvas()->FillRect(kCheck, clWindow);
        painter->DrawCheckButton(theirs.Canvas(), kCheck, buttonState,
                                 state == cbsChecked, state == cbsGrayed);
        EXPECT_EQ(Pixels(ours), Pixels(theirs))
            << "painter " << p << " check state " << int(checkState)
            << " state " << int(state);
      }
    }
    // Checked and unchecked really differ, so the comparison can fail.
    TTestCanvas on(17, 17), off(17, 17);
    DrawEditCheck(on.Canvas(), kCheck, cbsChecked, ecsNormal, nullptr, 0,
                  ebsSingle, false, clBlack, clWindow, true, false, false, true,
                  painter);
    DrawEditCheck(off.Canvas(), kCheck, cbsUnchecked, ecsNormal, nullptr, 0,
                  ebsSingle, false, clBlack, clWindow, true, false, false, true,
                  painter);
    EXPECT_NE(Pixels(on), Pixels(off)) << "painter " << p;
  }
}

TEST(DrawEditCheck, UltraFlatDrawsTheMaskedMarkInsideAOnePixelFrame) {
  TTestCanvas checked(17, 17);
  DrawEditCheck(checked.Canvas(), kCheck, cbsChecked, ecsNormal, nullptr, 0,
                ebsUltraFlat, false, clBlack, kPaper, false, false, false, true,
                nullptr);
  // The frame in the button shadow colour, the content in the window colour
  // with the mark in the button text colour.
  EXPECT_TRUE(checked.Is(kCheck.Left + 1, kCheck.Top + 1, clBtnShadow));
  EXPECT_TRUE(checked.Is(kCheck.Right - 2, kCheck.Bottom - 2, clBtnShadow));
  Integer mark = 0, window = 0;
  for (Integer y = kCheck.Top + 2; y < kCheck.Bottom - 2; ++y) {
    for (Integer x = kCheck.Left + 2; x < kCheck.Right - 2; ++x) {
      if (checked.Is(x, y, clBtnText)) ++mark;
      if (checked.Is(x, y, clWindow)) ++window;
    }
  }
  EXPECT_GT(mark, 5);
  EXPECT_EQ(mark + window, (kSize - 4) * (kSize - 4));
  // Without the background the outer pixel is left alone.
  EXPECT_TRUE(checked.Is(kCheck.Left, kCheck.Top, kPaper));

  TTestCanvas unchecked(17, 17);
  DrawEditCheck(unchecked.Canvas(), kCheck, cbsUnchecked, ecsNormal, nullptr, 0,
                ebsUltraFlat, false, clBlack, clRed, true, false, false, true,
                nullptr);
  for (Integer x = kCheck.Left + 2; x < kCheck.Right - 2; ++x) {
    EXPECT_TRUE(unchecked.Is(x, kCheck.Top + 6, clWindow)) << x;
  }
  EXPECT_TRUE(unchecked.Is(kCheck.Left, kCheck.Top, clRed));

  // A grayed value with the inactive style: button face, no mark.
  TTestCanvas inactive(17, 17);
  DrawEditCheck(inactive.Canvas(), kCheck, cbsGrayed, ecsNormal, nullptr, 0,
                ebsUltraFlat, false, clBlack, clWindow, true, false, false,
                true, nullptr, nssInactive);
  EXPECT_TRUE(inactive.Is(kCheck.Left + 5, kCheck.Top + 5, clBtnFace));
}

TEST(DrawEditCheck, UltraFlatBorderFollowsTheMouseAndFocus) {
  struct Case {
    TcxEditCheckState check;
    bool designing, focused, office11;
    TColor frame;
  };
  const Case cases[] = {
      {ecsNormal, false, false, false, clBtnShadow},
      {ecsHot, false, false, false, GetEditBorderHighlightColor(false)},
      {ecsPressed, false, false, true, GetEditBorderHighlightColor(true)},
      {ecsNormal, false, true, false, GetEditBorderHighlightColor(false)},
      {ecsNormal, true, false, false, GetEditBorderHighlightColor(false)},
      {ecsDisabled, true, false, false, clBtnShadow},
      {ecsNormal, false, false, true, clBtnText},
  };
  for (const Case& c : cases) {
    TTestCanvas t(17, 17);
    DrawEditCheck(t.Canvas(), kCheck, cbsUnchecked, c.check, nullptr, 0,
                  c.office11 ? ebsOffice11 : ebsUltraFlat, false, clBlack,
                  clWindow, true, c.designing, c.focused, true, nullptr);
    EXPECT_TRUE(t.Is(kCheck.Left + 1, kCheck.Top + 6, c.frame))
        << int(c.check) << c.designing << c.focused << c.office11;
  }
}

TEST(DrawEditCheck, SingleBorderIsFramedInTheBorderColour) {
  TTestCanvas t(17, 17);
  DrawEditCheck(t.Canvas(), kCheck, cbsChecked, ecsNormal, nullptr, 0,
                ebsSingle, false, clLime, clWindow, true, false, false, true,
                nullptr);
  // Offset 2 - 1: the outer pixel is the background, the next the frame.
  EXPECT_TRUE(t.Is(kCheck.Left, kCheck.Top + 6, clWindow));
  EXPECT_TRUE(t.Is(kCheck.Left + 1, kCheck.Top + 6, clLime));
  EXPECT_TRUE(t.Is(kCheck.Right - 2, kCheck.Top + 6, clLime));
}

TEST(DrawEditCheck, ClassicFrameControlStates) {
  struct Case {
    TcxCheckBoxState state;
    TcxEditCheckState check;
    TcxEditBorderStyle border;
    TcxCheckBoxNullValueShowingStyle null;
    UINT expected;
  };
  const Case cases[] = {
      {cbsUnchecked, ecsNormal, ebs3D, nssGrayedChecked, 0},
      {cbsChecked, ecsNormal, ebs3D, nssGrayedChecked, 1024},
      {cbsChecked, ecsNormal, ebsSingle, nssGrayedChecked, 16384 | 1024},
      {cbsGrayed, ecsNormal, ebs3D, nssGrayedChecked, 8 | 1024},
      {cbsGrayed, ecsNormal, ebs3D, nssInactive, 8 | 256},
      {cbsGrayed, ecsNormal, ebs3D, nssUnchecked, 8},
      {cbsUnchecked, ecsPressed, ebs3D, nssGrayedChecked, 512},
      {cbsChecked, ecsDisabled, ebs3D, nssGrayedChecked, 1544},
      {cbsGrayed, ecsDisabled, ebs3D, nssGrayedChecked, 1544},
      {cbsGrayed, ecsDisabled, ebs3D, nssInactive, 776},
      {cbsUnchecked, ecsDisabled, ebsFlat, nssGrayedChecked, 16384 | 776},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetClassicCheckFrameState(c.state, c.check, c.border, c.null),
              DFCS_BUTTONCHECK | c.expected)
        << int(c.state) << " " << int(c.check) << " " << int(c.null);
  }
}

TEST(DrawEditCheck, AGrayedValueWithTheUncheckedStyleLooksUnchecked) {
  TTestCanvas grayed(17, 17), unchecked(17, 17), checked(17, 17);
  auto draw = [](TTestCanvas& t, TcxCheckBoxState s) {
    DrawEditCheck(t.Canvas(), kCheck, s, ecsNormal, nullptr, 0, ebs3D, false,
                  clBlack, clWindow, true, false, false, true, nullptr,
                  nssUnchecked);
  };
  draw(grayed, cbsGrayed);
  draw(unchecked, cbsUnchecked);
  draw(checked, cbsChecked);
  EXPECT_EQ(Pixels(grayed), Pixels(unchecked));
  EXPECT_NE(Pixels(checked), Pixels(unchecked));
}

TEST(DrawEditCheck, AGlyphStripShowsTheCellOfTheState) {
  // Six 10-pixel cells, each its own colour: normal states, then pressed.
  const TColor cells[] = {TColor(0x000010), TColor(0x000020), TColor(0x000030),
                          TColor(0x000040), TColor(0x000050), TColor(0x000060)};
  TObjectPtr<TBitmap> glyph(cxCreateBitmap(60, 10, pf24bit));
  for (Integer i = 0; i < 6; ++i) {
    glyph->Canvas()->Brush()->SetColor(cells[i]);
    glyph->Canvas()->FillRect(TRect{i * 10, 0, i * 10 + 10, 10});
  }
  // The bottom-left pixel, cell 0's colour, is the transparent colour.
  struct Case {
    TcxCheckBoxState state;
    TcxEditCheckState check;
    Integer cell;
  };
  const Case cases[] = {{cbsUnchecked, ecsNormal, 0},
                        {cbsChecked, ecsHot, 1},
                        {cbsGrayed, ecsNormal, 2},
                        {cbsChecked, ecsPressed, 4},
                        {cbsGrayed, ecsPressed, 5}};
  EXPECT_EQ(GetEditCheckSize(nullptr, false, glyph.get(), 6, nullptr),
            (TSize{10, 10}));
  for (const Case& c : cases) {
    TTestCanvas t(14, 14);
    DrawEditCheck(t.Canvas(), TRect{2, 2, 12, 12}, c.state, c.check,
                  glyph.get(), 6, ebs3D, false, clBlack, clWindow, true, false,
                  false, true, nullptr);
    if (c.cell == 0) {
      // Cell 0 is the transparent colour: the brush shows through.
      EXPECT_TRUE(t.Is(6, 6, clWindow));
    } else {
      EXPECT_TRUE(t.Is(6, 6, cells[c.cell])) << int(c.state);
    }
    EXPECT_TRUE(t.Is(1, 1, kPaper));
  }
}

TEST(GetEditCheckBorderOffset, NativeGlyphOrPainterNeedNone) {
  const auto painter = cxPainterInstance<TcxStandardLookAndFeelPainter>();
  EXPECT_EQ(GetEditCheckBorderOffset(ebsSingle, true, false, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(ebsSingle, false, true, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(ebsSingle, false, false, painter), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(ebsSingle, false, false, nullptr), 1);
  EXPECT_EQ(GetEditCheckBorderOffset(ebsNone, false, false, nullptr), 2);
  EXPECT_EQ(GetEditCheckBorderOffset(ebs3D, false, false, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(cbsThick, false, false, nullptr), 0);
  EXPECT_EQ(GetEditCheckBorderOffset(lfUltraFlat, false, false, nullptr), 1);
}

TEST(GetEditCheckSize, PainterOrStandardSize) {
  const auto flat = cxPainterInstance<TcxFlatLookAndFeelPainter>();
  EXPECT_EQ(GetEditCheckSize(nullptr, false, nullptr, 0, flat),
            flat->CheckButtonSize());
  EXPECT_EQ(
      GetEditCheckSize(nullptr, false, nullptr, 0, nullptr),
      cxPainterInstance<TcxStandardLookAndFeelPainter>()->CheckButtonSize());
}

TEST(cxCheckMarkMask, HoldsAMarkOnWhite) {
  TBitmap* mask = cxCheckMarkMask();
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(
      (TSize{mask->Width(), mask->Height()}),
      cxPainterInstance<TcxStandardLookAndFeelPainter>()->CheckButtonSize());
  Integer black = 0, white = 0;
  for (Integer y = 0; y < mask->Height(); ++y) {
    for (Integer x = 0; x < mask->Width(); ++x) {
      const Integer c = ColorToRGB(mask->Canvas()->Pixels(x, y));
      if (c == 0) ++black;
      if (c == 0xFFFFFF) ++white;
    }
  }
  EXPECT_GT(black, 5);
  EXPECT_GT(white, black);
  EXPECT_EQ(black + white, mask->Width() * mask->Height());
}

TEST(DrawCheckBoxText, ClearBrushThenSolid) {
  TTestCanvas t(60, 20);
  TObjectPtr<TFont> font(new TFont);
  DrawCheckBoxText(t.Canvas(), "Wg", font.get(), clRed, TRect{0, 0, 60, 20},
                   cxtfAlignLeft | cxtfAlignTop | cxtfSingleLine, true);
  EXPECT_EQ(t.Canvas()->Brush()->Style(), bsSolid);
  Integer red = 0;
  for (Integer y = 0; y < 20; ++y) {
    for (Integer x = 0; x < 60; ++x) red += t.Is(x, y, clRed) ? 1 : 0;
  }
  EXPECT_GT(red, 10);
  // Clear brush: around the letters the paper stays.
  EXPECT_TRUE(t.Is(55, 2, kPaper));
}

}  // namespace
