// The vertical grid's painting and styles: the style events and row styles
// resolved into view parameters, custom drawing that replaces a header,
// and the colours of the two paint styles, read back from the screen.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"

using namespace vgrid_test;
using namespace ui_test;

namespace {

class TStyleProbe : public TObject {
 public:
  void HeaderStyle(TObject*, TcxCustomRow* ARow, TcxStyle*& AStyle) {
    if (ARow == Target) AStyle = Style;
  }
  void DrawHeader(TObject*, TcxCanvas* ACanvas, TcxvgPainter*,
                  TcxCustomRowHeaderInfo* AHeader, bool& ADone) {
    if (AHeader->Row() != Target) return;
    ACanvas->FillRect(AHeader->HeaderRect, clRed);
    ADone = true;
  }
  TcxCustomRow* Target = nullptr;
  TcxStyle* Style = nullptr;
};

class VGridPaintTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    a_ = grid_->Add<TcxEditorRow>();
    a_->GetProperties()->SetCaption("a");
    b_ = grid_->Add<TcxEditorRow>();
    b_->GetProperties()->SetCaption("b");
    style_ = new TcxStyle(form_.get());
  }
  TColor PixelAt(const TPoint& P) {
    grid_->Invalidate();
    grid_->Update();
    PumpUntilIdle();
    HDC dc = ::GetDC(grid_->Handle());
    const COLORREF c = ::GetPixel(dc, P.X, P.Y);
    ::ReleaseDC(grid_->Handle(), dc);
    return static_cast<TColor>(c);
  }
  // A point of the caption cell clear of its text.
  TPoint CaptionPoint(TcxCustomRow* ARow) {
    const TRect r = LaidOut(ARow)->HeaderInfo()->Captions(0)->CaptionRect;
    return TPoint{r.Right - 3, r.Bottom - 2};
  }
  TPoint ValuePoint(TcxCustomRow* ARow) {
    const TRect r = LaidOut(ARow)->GetRowValueInfo(0, 0)->DisplayRect();
    return TPoint{r.Right - 3, r.Bottom - 3};
  }
  TcxEditorRow *a_ = nullptr, *b_ = nullptr;
  TcxStyle* style_ = nullptr;
  TStyleProbe probe_;
};

TEST_F(VGridPaintTest, HeaderStyleEventColoursOnlyItsRow) {
  style_->SetColor(clLime);
  probe_.Target = b_;
  probe_.Style = style_;
  grid_->Styles()->OnGetHeaderStyle =
      TcxvgOnGetItemStyleEvent(&probe_, &TStyleProbe::HeaderStyle);
  grid_->LayoutChanged();
  EXPECT_EQ(ColorToRGB(PixelAt(CaptionPoint(b_))), ColorToRGB(clLime));
  EXPECT_NE(ColorToRGB(PixelAt(CaptionPoint(a_))), ColorToRGB(clLime));
}

TEST_F(VGridPaintTest, StyleEventKeepsTheRowStylesFont) {
  TcxStyle* rowStyle = new TcxStyle(form_.get());
  rowStyle->Font()->SetSize(17);
  rowStyle->SetAssignedValues({svFont});
  b_->GetStyles()->SetHeader(rowStyle);
  style_->SetColor(clYellow);
  probe_.Target = b_;
  probe_.Style = style_;
  grid_->Styles()->OnGetHeaderStyle =
      TcxvgOnGetItemStyleEvent(&probe_, &TStyleProbe::HeaderStyle);
  const TcxViewParams params = grid_->Styles()->GetHeaderParams(b_);
  EXPECT_EQ(params.Color, clYellow);
  ASSERT_NE(params.Font, nullptr);
  EXPECT_EQ(params.Font->Size(), 17);
  const TcxViewParams plain = grid_->Styles()->GetHeaderParams(a_);
  EXPECT_EQ(plain.Font, grid_->Font());
}

TEST_F(VGridPaintTest, CustomDrawnHeaderLeavesTheValueCellPainted) {
  probe_.Target = b_;
  grid_->OnDrawRowHeader =
      TcxVerticalGridDrawHeaderEvent(&probe_, &TStyleProbe::DrawHeader);
  grid_->LayoutChanged();
  EXPECT_EQ(ColorToRGB(PixelAt(CaptionPoint(b_))), ColorToRGB(clRed));
  EXPECT_NE(ColorToRGB(PixelAt(ValuePoint(b_))), ColorToRGB(clRed));
  EXPECT_NE(ColorToRGB(PixelAt(CaptionPoint(a_))), ColorToRGB(clRed));
}

TEST_F(VGridPaintTest, FocusedHeaderTakesTheSelectionColours) {
  grid_->SetFocus();
  grid_->SetFocusedRow(a_);
  PumpUntilIdle();
  TcxViewParams selection;
  grid_->Styles()->GetSelectionParams(selection);
  EXPECT_EQ(ColorToRGB(PixelAt(CaptionPoint(a_))), ColorToRGB(selection.Color));
  EXPECT_NE(ColorToRGB(PixelAt(CaptionPoint(b_))), ColorToRGB(selection.Color));
}

TEST_F(VGridPaintTest,
       Style3DColoursValuesLikeHeadersAndDrawsTwoPixelDividers) {
  grid_->OptionsView()->SetPaintStyle(psStyle3D);
  grid_->SetFocusedRow(a_);
  PumpUntilIdle();
  TcxVerticalGridStyles* styles = grid_->Styles();
  const TcxViewParams other =
      styles->GetContentParams(b_->GetProperties(), false, 0);
  const TcxViewParams focused =
      styles->GetContentParams(a_->GetProperties(), true, 0);
  TcxLookAndFeelPainterClass painter = grid_->GetLookAndFeelPainter();
  EXPECT_EQ(other.TextColor, clNavy);
  EXPECT_EQ(other.Color, painter->DefaultHeaderColor());
  EXPECT_EQ(focused.Color, painter->DefaultContentColor());
  EXPECT_EQ(grid_->VGViewInfo()->DividerWidth, 2);
  EXPECT_FALSE(grid_->CalcHelper()->IsDrawValueFocusRect());
  // The focused row is framed: the focus lines are its own.
  EXPECT_GT(grid_->VGViewInfo()->FocusLinesInfo().Count(), 0);
  grid_->OptionsView()->SetPaintStyle(psdotNet);
  PumpUntilIdle();
  EXPECT_EQ(grid_->VGViewInfo()->DividerWidth, 1);
  EXPECT_EQ(grid_->VGViewInfo()->FocusLinesInfo().Count(), 0);
}

TEST_F(VGridPaintTest, GridLinesOffLeaveNoLines) {
  grid_->OptionsView()->SetGridLines(vglNone);
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  EXPECT_EQ(info->HorzLineWidth, 0);
  EXPECT_EQ(info->VertLineWidth, 0);
  EXPECT_EQ(info->DividerWidth, 0);
  EXPECT_EQ(info->LinesInfo().Count(), 0);
}

}  // namespace
