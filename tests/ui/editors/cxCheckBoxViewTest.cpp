// The check box in a grid cell, drawn through its view data and view info
// into bitmaps in every look, and the size it asks for in a cell and in a
// window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Forms.h"
#include "UiDriverWin.h"
#include "cxCheckBox.h"
#include "cxEditCellFixture.h"

namespace {

using edit_test::CountOf;
using edit_test::kAllKinds;
using edit_test::KindName;
using edit_test::kPaper;
using edit_test::PixelsOf;
using edit_test::TEditCell;
using edit_test::TTestCanvas;

constexpr TColor kCellColor = TColor(0x00D0E0F0);
const TRect kCell{4, 3, 64, 23};

TEST(CheckBoxCell, EveryLookPaintsTheMarkCentredOverTheCellColour) {
  for (TcxLookAndFeelKind kind : kAllKinds) {
    TcxCheckBoxProperties props;
    TEditCell cell(&props, kind);
    cell.Style()->SetColor(kCellColor);
    TTestCanvas unchecked(70, 30);
    cell.Draw(unchecked, kCell, Variant(false));
    const TRect check = cell.Info<TcxCustomCheckBoxViewInfo>()->CheckRect;
    const TRect mark = cxRectOffset(check, kCell.Left, kCell.Top);
    TTestCanvas checked(70, 30);
    cell.Draw(checked, kCell, Variant(true));

    // Centred in the cell, the width of a check square.
    EXPECT_LE(std::abs(check.Left - (kCell.Width() - check.Right)), 1)
        << KindName(kind);
    EXPECT_GE(check.Width(), 11) << KindName(kind);
    EXPECT_NE(PixelsOf(unchecked, mark), PixelsOf(checked, mark))
        << KindName(kind);
    // Outside the mark the cell is its colour, and nothing spills over.
    const Integer cellPixels = kCell.Width() * kCell.Height();
    const Integer markPixels = mark.Width() * mark.Height();
    EXPECT_EQ(CountOf(checked, kCell, kCellColor),
              cellPixels - markPixels + CountOf(checked, mark, kCellColor))
        << KindName(kind);
    EXPECT_EQ(CountOf(checked, TRect{0, 0, 70, 30}, kPaper),
              70 * 30 - cellPixels)
        << KindName(kind);
  }
}

TEST(CheckBoxCell, TheMarkGoesToItsSideOnlyWhenAskedForInPlace) {
  struct Case {
    bool useAlignment;
    TAlignment alignment;
    Integer left;  // of the mark in the 60-pixel cell; -1: centred
  } cases[] = {
      {false, taLeftJustify, -1},
      {false, taRightJustify, -1},
      {true, taLeftJustify, 2},
      {true, taCenter, -1},
  };
  for (const Case& c : cases) {
    TcxCheckBoxProperties props;
    props.SetUseAlignmentWhenInplace(c.useAlignment);
    props.Alignment()->SetHorz(c.alignment);
    TEditCell cell(&props);
    TTestCanvas canvas(70, 30);
    cell.Calculate(canvas.Canvas(), kCell, Variant(true));
    const TRect check = cell.Info<TcxCustomCheckBoxViewInfo>()->CheckRect;
    if (c.left < 0)
      EXPECT_LE(std::abs(check.Left - (kCell.Width() - check.Right)), 1)
          << c.alignment;
    else
      EXPECT_EQ(check.Left, c.left) << c.alignment;
  }
  // Right-justified, the mark keeps two pixels from the right edge.
  TcxCheckBoxProperties props;
  props.SetUseAlignmentWhenInplace(true);
  props.Alignment()->SetHorz(taRightJustify);
  TEditCell cell(&props);
  TTestCanvas canvas(70, 30);
  cell.Calculate(canvas.Canvas(), kCell, Variant(true));
  EXPECT_EQ(cell.Info<TcxCustomCheckBoxViewInfo>()->CheckRect.Right,
            kCell.Width() - 2);
}

TEST(CheckBoxCell, TheMouseGivesTheMarkItsState) {
  struct Case {
    TPoint mouse;  // in the canvas
    TShiftState shift;
    TcxMouseButton button;
    bool enabled;
    TcxEditCheckState expected;
  } cases[] = {
      {{-1, -1}, {}, cxmbNone, true, ecsNormal},
      {{30, 10}, {}, cxmbNone, true, ecsHot},
      {{30, 10}, {ssLeft}, cxmbLeft, true, ecsPressed},
      {{30, 10}, {ssRight}, cxmbRight, true, ecsNormal},
      {{30, 10}, {}, cxmbNone, false, ecsDisabled},
      {{66, 10}, {}, cxmbNone, true, ecsNormal},
  };
  for (const Case& c : cases) {
    TcxCheckBoxProperties props;
    TEditCell cell(&props);
    TTestCanvas canvas(70, 30);
    cell.Calculate(canvas.Canvas(), kCell, Variant(false), c.mouse, c.shift,
                   c.button, c.enabled);
    EXPECT_EQ(cell.Info<TcxCustomCheckBoxViewInfo>()->CheckState, c.expected)
        << c.mouse.X << " " << int(c.button) << " " << c.enabled;
  }
}

TEST(CheckBoxCell, AHeldButtonStaysPressedAcrossCalculations) {
  TcxCheckBoxProperties props;
  TEditCell cell(&props);
  TTestCanvas canvas(70, 30);
  cell.Calculate(canvas.Canvas(), kCell, Variant(false), TPoint{30, 10},
                 {ssLeft}, cxmbLeft);
  // A move with the button still down keeps the press.
  cell.Calculate(canvas.Canvas(), kCell, Variant(false), TPoint{31, 10},
                 {ssLeft}, cxmbNone);
  EXPECT_EQ(cell.Info<TcxCustomCheckBoxViewInfo>()->CheckState, ecsPressed);
}

TEST(CheckBoxCell, ValuesGiveTheStatesAndPreviewShowsChecked) {
  TcxCheckBoxProperties props;
  props.SetStateValues(Variant("Y"), Variant("?"), Variant("N"));
  TEditCell cell(&props);
  TTestCanvas canvas(70, 30);
  const std::pair<Variant, TcxCheckBoxState> cases[] = {
      {Variant("Y"), cbsChecked},
      {Variant("N"), cbsUnchecked},
      {Variant("?"), cbsGrayed},
      {Null(), cbsGrayed},
      {Variant(5), cbsGrayed}};
  for (const auto& [value, state] : cases) {
    cell.Calculate(canvas.Canvas(), kCell, value);
    EXPECT_EQ(cell.Info<TcxCustomCheckBoxViewInfo>()->State, state)
        << VarToStr(value);
  }
  cell.Calculate(canvas.Canvas(), kCell, Variant("N"), TPoint{-1, -1}, {},
                 cxmbNone, true, true);
  EXPECT_EQ(cell.Info<TcxCustomCheckBoxViewInfo>()->State, cbsChecked);
}

TEST(CheckBoxCell, GrayedShowsAsTheNullStyleSays) {
  TcxCheckBoxProperties props;
  props.SetNullStyle(nssUnchecked);
  TEditCell cell(&props, lfUltraFlat);
  TTestCanvas grayed(70, 30);
  cell.Draw(grayed, kCell, Null());
  TTestCanvas unchecked(70, 30);
  cell.Draw(unchecked, kCell, Variant(false));
  EXPECT_EQ(PixelsOf(grayed, kCell), PixelsOf(unchecked, kCell));
  props.SetNullStyle(nssGrayedChecked);
  TTestCanvas grayedChecked(70, 30);
  cell.Draw(grayedChecked, kCell, Null());
  EXPECT_NE(PixelsOf(grayedChecked, kCell), PixelsOf(unchecked, kCell));
}

TEST(CheckBoxCell, ACellAsksForTheMarkAndALineOfText) {
  // The room above and below the mark shrinks by its border offset.
  const std::pair<TcxLookAndFeelKind, Integer> cases[] = {{lfStandard, 2},
                                                          {lfUltraFlat, 0}};
  for (const auto& [kind, margins] : cases) {
    TcxCheckBoxProperties props;
    TEditCell cell(&props, kind);
    TTestCanvas canvas(70, 30);
    const TSize size =
        props.GetEditSize(canvas.Canvas(), cell.Style(), true, Variant(true));
    canvas.Canvas()->SetFont(cell.Style()->GetVisibleFont());
    const Integer line = canvas.Canvas()->TextHeight("Gg");
    const TSize check =
        GetEditCheckSize(canvas.Canvas(), false, nullptr, 0, nullptr);
    EXPECT_EQ(size.cx, check.cx + 4) << KindName(kind);
    EXPECT_EQ(size.cy, std::max(line, check.cy + margins)) << KindName(kind);
  }
}

// ---------------------------------------------------------------------------
// A window sizes itself
// ---------------------------------------------------------------------------

class CheckBoxAutoSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 320, 200);
    box_ = new TcxCheckBox(form_.get());
    box_->SetParent(form_.get());
    box_->SetCaption("Reset to Windows Default Places");
    box_->SetBounds(10, 10, 250, 60);
    form_->Show();
    ui_test::PumpUntilIdle();
  }
  Integer LineHeight() {
    TTestCanvas canvas(10, 10);
    canvas.Canvas()->SetFont(box_->GetStyle()->GetVisibleFont());
    return canvas.Canvas()->TextHeight("Wg");
  }
  TObjectPtr<TForm> form_;
  TcxCheckBox* box_ = nullptr;
};

TEST_F(CheckBoxAutoSizeTest, TakesTheHeightOfTheMarkOrItsCaption) {
  EXPECT_EQ(box_->Width(), 250);
  EXPECT_EQ(box_->Height(), std::max(13 + 4, LineHeight()));
}

TEST_F(CheckBoxAutoSizeTest, AWrappedCaptionMakesItTaller) {
  const Integer single = box_->Height();
  box_->Properties()->SetMultiLine(true);
  box_->SetWidth(90);
  ui_test::PumpUntilIdle();
  EXPECT_GE(box_->Height(), single + LineHeight());
}

TEST_F(CheckBoxAutoSizeTest, KeepsItsHeightWithAutoSizeOff) {
  box_->SetEditAutoSize(false);
  box_->SetHeight(40);
  ui_test::PumpUntilIdle();
  EXPECT_EQ(box_->Height(), 40);
}

}  // namespace
