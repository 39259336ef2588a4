// The vertical grid's layout pass in its three styles: band widths, value
// columns of the multi-record view, how many rows and records fit, rows
// taller than the client, header widths and the empty grid.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"

using namespace vgrid_test;

namespace {

class InspectorLayoutTest : public TVGridFormTest<> {
 protected:
  TcxEditorRow* AddRow(TcxCustomRow* AParent = nullptr, Integer AHeight = -1) {
    auto* row = grid_->AddChild<TcxEditorRow>(AParent);
    row->SetHeight(AHeight);
    return row;
  }
};

TEST_F(InspectorLayoutTest, EmptyGridHasOneFlatBandAndADivider) {
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  ASSERT_EQ(info->ViewRects().BandRects.Count(), 1);
  const TRect band = info->ViewRects().BandRects.GetRect(0);
  EXPECT_EQ(band.Height(), 0);
  ASSERT_EQ(info->ViewRects().EmptyRects.Count(), 1);
  EXPECT_EQ(info->ViewRects().EmptyRects.GetRect(0), info->Bounds());
  EXPECT_EQ(info->LinesInfo().Count(), 1);
  grid_->OptionsView()->SetShowHeaders(false);
  info->Calculate();
  EXPECT_EQ(info->LinesInfo().Count(), 0);
}

TEST_F(InspectorLayoutTest, HeaderAndValueColumnsShareTheRow) {
  grid_->OptionsView()->SetRowHeaderWidth(90);
  TcxEditorRow* row = AddRow();
  TcxCustomRowViewInfo* info = LaidOut(row);
  ASSERT_NE(info, nullptr);
  TcxvgCustomViewInfo* view = grid_->VGViewInfo();
  EXPECT_EQ(info->HeaderInfo()->HeaderRect.Width(), 90);
  EXPECT_EQ(info->ValuesRect.Left,
            info->RowRect.Left + 90 + view->DividerWidth);
  EXPECT_EQ(info->ValuesRect.Right, info->RowRect.Right);
  ASSERT_NE(info->GetRowValueInfo(0, 0), nullptr);
  EXPECT_EQ(info->GetRowValueInfo(0, 0)->DisplayRect().Left,
            info->ValuesRect.Left);
  grid_->OptionsView()->SetShowHeaders(false);
  info = LaidOut(row);
  EXPECT_EQ(info->ValuesRect, info->RowRect);
  EXPECT_EQ(info->HeaderInfo()->HeaderRect.Width(), 0);
}

TEST_F(InspectorLayoutTest, MinimumHeaderWidthGrowsWithTheDeepestLevel) {
  TcxCustomRow* parent = nullptr;
  for (Integer level = 0; level < 4; ++level) {
    auto* row = grid_->AddChild<TcxCategoryRow>(parent);
    parent = row;
  }
  grid_->OptionsView()->SetRowHeaderWidth(10);
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  const Integer expected = (info->RowIndentWidth + 1) * 4 + 1;
  EXPECT_EQ(info->RowIndentWidth,
            grid_->GetLookAndFeelPainter()->ExpandButtonSize() + 4);
  EXPECT_EQ(info->GetViewMinHeaderWidth(), expected);
  EXPECT_EQ(info->ViewHeaderWidth, expected);
}

TEST_F(InspectorLayoutTest, DividerKeepsTheMinimumValueWidth) {
  AddRow();
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  const Integer band = info->ViewBandWidth;
  info->SetDividerPos(band - 10);
  EXPECT_EQ(grid_->OptionsView()->RowHeaderWidth(),
            band - grid_->OptionsView()->ValueMinWidth());
  info->SetDividerPos(70);
  EXPECT_EQ(grid_->OptionsView()->RowHeaderWidth(), 70);
}

TEST_F(InspectorLayoutTest, RowMinimumHeightFollowsFontAndRowHeight) {
  TcxEditorRow* row = AddRow();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  info->Calculate();
  const Integer font = ScreenCanvas()->FontHeight(grid_->Font());
  EXPECT_EQ(info->RowMinHeight, font + 2);
  grid_->OptionsView()->SetRowHeight(40);
  info->Calculate();
  EXPECT_EQ(info->RowMinHeight, 40);
  EXPECT_EQ(LaidOut(row)->RowHeight, 40);
}

TEST_F(InspectorLayoutTest, PartlyVisibleLastRowIsLaidOut) {
  std::vector<TcxEditorRow*> rows;
  for (int i = 0; i < 30; ++i) rows.push_back(AddRow(nullptr, 25));
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  ASSERT_GT(info->RowsViewInfoCount(), 0);
  TcxCustomRowViewInfo* last =
      info->RowsViewInfo(info->RowsViewInfoCount() - 1);
  EXPECT_GT(last->RowRect.Bottom, info->Bounds().Bottom);
  EXPECT_LT(last->RowRect.Top, info->Bounds().Bottom);
  // Only whole rows count as visible.
  const Integer fit = grid_->Scroller()->GetVisibleRowCount();
  EXPECT_EQ(fit, info->RowsViewInfoCount() - 1);
}

TEST_F(InspectorLayoutTest, RowTallerThanTheClientCountsAsOneRow) {
  AddRow(nullptr, 1000);
  AddRow();
  grid_->VGViewInfo()->Calculate();
  EXPECT_EQ(grid_->Scroller()->GetVisibleRowCount(), 1);
  EXPECT_EQ(grid_->Scroller()->GetVisibleCountFromBottom(0), 1);
}

class BandsLayoutTest : public TVGridFormTest<> {
 protected:
  void BeforeGridShow() override {
    grid_->SetLayoutStyle(ulsBandsView);
    grid_->OptionsView()->SetAutoScaleBands(false);
    grid_->OptionsView()->SetRowHeaderWidth(80);
    grid_->OptionsView()->SetValueWidth(100);
  }
};

TEST_F(BandsLayoutTest, FixedBandsAreHeaderDividerValueAndBorders) {
  for (int i = 0; i < 30; ++i) grid_->Add<TcxEditorRow>()->SetHeight(20);
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  ASSERT_EQ(info->DividerWidth, 1);
  TcxRectList& bands = info->ViewRects().BandRects;
  ASSERT_GE(bands.Count(), 2);
  EXPECT_EQ(bands.GetRect(0).Width(), 80 + 1 + 100 + 2);
  EXPECT_EQ(bands.GetRect(1).Left, bands.GetRect(0).Right + 2);
  EXPECT_EQ(bands.GetRect(1).Width(), 183);
  // Rows flow into the second band.
  TcxCustomRowViewInfo* last =
      info->RowsViewInfo(info->RowsViewInfoCount() - 1);
  EXPECT_EQ(last->BandIndex, 1);
}

TEST_F(BandsLayoutTest, RowTallerThanTheClientFormsItsOwnBand) {
  grid_->Add<TcxEditorRow>();
  grid_->Add<TcxEditorRow>()->SetHeight(1000);
  grid_->Add<TcxEditorRow>();
  grid_->VGViewInfo()->Calculate();
  TBandInfoList& bands = grid_->Scroller()->GetBandsInfo();
  ASSERT_EQ(bands.Count(), 3);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(bands.GetItem(i).RowsCount, 1) << i;
}

TEST_F(BandsLayoutTest, AutoScaledBandsFillTheControl) {
  for (int i = 0; i < 30; ++i) grid_->Add<TcxEditorRow>()->SetHeight(20);
  grid_->OptionsView()->SetAutoScaleBands(true);
  grid_->OptionsView()->SetBandsInterval(3);
  grid_->VGViewInfo()->LockDividerPos = false;
  grid_->VGViewInfo()->Calculate();
  TcxvgCustomViewInfo* info = grid_->VGViewInfo();
  TcxRectList& bands = info->ViewRects().BandRects;
  const Integer c = grid_->Scroller()->GetBandsInfo().Count();
  ASSERT_GE(c, 2);
  const Integer width = info->Bounds().Width();
  EXPECT_EQ(info->ViewBandWidth,
            std::max((width - (c - 1) * 3) / c, info->BandMinWidth));
  EXPECT_EQ(bands.GetRect(bands.Count() - 1).Right, info->Bounds().Right);
}

class MultiRecordLayoutTest : public TVGridFormTest<TcxVirtualVerticalGrid> {
 protected:
  void BeforeGridShow() override {
    grid_->SetLayoutStyle(lsMultiRecordView);
    grid_->OptionsView()->SetRowHeaderWidth(80);
    grid_->OptionsView()->SetValueWidth(100);
    grid_->SetBounds(10, 10, 400, 200);
    grid_->DataController()->SetRecordCount(5);
    grid_->DataController()->ChangeFocusedRowIndex(0);
  }
};

TEST_F(MultiRecordLayoutTest, ValueColumnsStepByValueWidthAndLine) {
  TcxEditorRow* row = grid_->Add<TcxEditorRow>();
  TcxCustomRowViewInfo* info = LaidOut(row);
  ASSERT_NE(info, nullptr);
  TcxvgCustomViewInfo* view = grid_->VGViewInfo();
  const Integer count = view->GetVisibleValueCount();
  ASSERT_GE(count, 2);
  for (Integer i = 0; i < count; ++i) {
    TcxRowValueInfo* cell = info->GetRowValueInfo(i, 0);
    ASSERT_NE(cell, nullptr) << i;
    EXPECT_EQ(cell->DisplayRect().Left, info->RowRect.Left + 81 + i * 101) << i;
    EXPECT_EQ(cell->DisplayRect().Width(), 100) << i;
  }
}

TEST_F(MultiRecordLayoutTest, VisibleRecordsFollowTheClientWidth) {
  grid_->Add<TcxEditorRow>();
  const struct {
    Integer Records;
    Integer ControlWidth;
  } cases[] = {{5, 400}, {5, 700}, {2, 700}, {5, 60}};
  for (const auto& c : cases) {
    grid_->DataController()->SetRecordCount(c.Records);
    grid_->SetBounds(10, 10, c.ControlWidth, 200);
    grid_->VGViewInfo()->Calculate();
    TcxvgCustomViewInfo* view = grid_->VGViewInfo();
    const Integer width = view->Bounds().Width();
    const Integer expected =
        std::min(std::max<Integer>(1, (1 + width - 81 - 2) / 101), c.Records);
    EXPECT_EQ(grid_->Scroller()->GetVisibleValueCount(), expected)
        << c.Records << " records, " << width;
  }
}

TEST_F(MultiRecordLayoutTest, RowTallerThanTheClientCountsAsOneRow) {
  grid_->Add<TcxEditorRow>()->SetHeight(1000);
  grid_->Add<TcxEditorRow>();
  grid_->VGViewInfo()->Calculate();
  EXPECT_EQ(grid_->Scroller()->GetVisibleRowCount(), 1);
}

TEST_F(MultiRecordLayoutTest, ScrollingRecordsMovesTheFirstColumn) {
  TcxEditorRow* row = grid_->Add<TcxEditorRow>();
  grid_->DataController()->SetRecordCount(50);
  grid_->VGViewInfo()->Calculate();
  grid_->SetLeftVisibleRecord(10);
  TcxCustomRowViewInfo* info = LaidOut(row);
  EXPECT_EQ(grid_->GetLeftVisibleRecord(), 10);
  ASSERT_NE(info->GetRowValueInfo(10, 0), nullptr);
  EXPECT_EQ(info->GetRowValueInfo(10, 0)->DisplayRect().Left,
            info->RowRect.Left + 81);
  EXPECT_EQ(info->GetRowValueInfo(0, 0), nullptr);
  // The last records cannot leave a gap on the right.
  grid_->SetLeftVisibleRecord(49);
  EXPECT_EQ(grid_->GetLeftVisibleRecord(),
            50 - grid_->Scroller()->GetVisibleValueCount());
}

}  // namespace
