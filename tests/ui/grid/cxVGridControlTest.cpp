// The vertical grid control: its options and their limits, the layout
// styles that decide band sizing, and the defaults that depend on the paint
// style.
#include <gtest/gtest.h>

#include "VGridTestSupport.h"

using namespace vgrid_test;

namespace {

using GridOptionsTest = TVGridModelTest<>;

TEST_F(GridOptionsTest, WidthsAndIntervalsAreKeptInRange) {
  TcxvgOptionsView* view = grid_->OptionsView();
  struct TCase {
    const char* What;
    std::function<void(Integer)> Set;
    std::function<Integer()> Get;
    Integer Value, Stored;
  };
  const TCase cases[] = {
      {"ValueMinWidth", [&](Integer v) { view->SetValueMinWidth(v); },
       [&] { return view->ValueMinWidth(); }, 5, 20},
      {"ValueMinWidth", [&](Integer v) { view->SetValueMinWidth(v); },
       [&] { return view->ValueMinWidth(); }, 60, 60},
      {"RowHeight", [&](Integer v) { view->SetRowHeight(v); },
       [&] { return view->RowHeight(); }, -7, -1},
      {"BandsInterval", [&](Integer v) { view->SetBandsInterval(v); },
       [&] { return view->BandsInterval(); }, -3, 0},
      {"RowHeaderMinWidth", [&](Integer v) { view->SetRowHeaderMinWidth(v); },
       [&] { return view->RowHeaderMinWidth(); }, -1, 0},
  };
  for (const TCase& c : cases) {
    c.Set(c.Value);
    EXPECT_EQ(c.Get(), c.Stored) << c.What << " := " << c.Value;
  }
  // A larger minimum pulls the value width up with it.
  view->SetValueMinWidth(150);
  EXPECT_EQ(view->ValueWidth(), 150);
  view->SetValueWidth(10);
  EXPECT_EQ(view->ValueWidth(), 150);
}

TEST_F(GridOptionsTest, PaintStyleDecidesDefaultsUntilAssigned) {
  TcxvgOptionsView* view = grid_->OptionsView();
  auto* behavior = grid_->OptionsBehavior();
  EXPECT_FALSE(behavior->GetAlwaysShowEditor());
  EXPECT_EQ(view->GridLineColor(), clBtnFace);
  view->SetPaintStyle(psStyle3D);
  EXPECT_TRUE(behavior->GetAlwaysShowEditor());
  EXPECT_EQ(view->GridLineColor(), clBtnShadow);
  EXPECT_TRUE(grid_->Painter()->Is<TcxStyle3DPainter>());
  behavior->SetAlwaysShowEditorValue(false);
  view->SetGridLineColor(clRed);
  view->SetPaintStyle(psdotNet);
  EXPECT_FALSE(behavior->GetAlwaysShowEditor());
  EXPECT_EQ(view->GridLineColor(), clRed);
  behavior->RestoreDefaults();
  view->RestoreDefaults();
  EXPECT_EQ(view->GridLineColor(), clBtnFace);
}

TEST_F(GridOptionsTest, BandSizingDependsOnTheLayoutStyle) {
  grid_->OptionsBehavior()->SetBandSizing(true);
  grid_->OptionsView()->SetAutoScaleBands(false);
  EXPECT_FALSE(grid_->CanBandSizing());  // single record view by default
  grid_->SetLayoutStyle(ulsBandsView);
  EXPECT_TRUE(grid_->CanBandSizing());
  EXPECT_TRUE(grid_->ViewInfo()->Is<TcxBandsViewInfo>());
  grid_->OptionsView()->SetAutoScaleBands(true);
  EXPECT_FALSE(grid_->CanBandSizing());
}

using VirtualGridOptionsTest = TVGridModelTest<TcxVirtualVerticalGrid>;

TEST_F(VirtualGridOptionsTest, LayoutStylePicksViewInfoAndScrollStrategy) {
  struct TCase {
    TcxvgLayoutStyle Style;
    TClass ViewInfo;
    TClass Strategy;
    bool BandSizing;
  };
  const TCase cases[] = {
      {lsMultiRecordView, TcxMultiRecordViewInfo::StaticClass(),
       TcxvgMultiRecordsScrollStrategy::StaticClass(), true},
      {lsBandsView, TcxBandsViewInfo::StaticClass(),
       TcxvgBandsScrollStrategy::StaticClass(), false},
      {lsSingleRecordView, TcxInspectorViewInfo::StaticClass(),
       TcxvgSingleRecordScrollStrategy::StaticClass(), false},
  };
  for (const TCase& c : cases) {
    grid_->SetLayoutStyle(c.Style);
    EXPECT_EQ(grid_->ViewInfo()->ClassType(), c.ViewInfo) << c.Style;
    EXPECT_EQ(grid_->Scroller()->ScrollStrategy()->ClassType(), c.Strategy)
        << c.Style;
    EXPECT_EQ(grid_->CanBandSizing(), c.BandSizing) << c.Style;
  }
}

TEST_F(VirtualGridOptionsTest, MultiRecordViewHasNoCellAutoHeight) {
  grid_->OptionsView()->SetCellAutoHeight(true);
  EXPECT_TRUE(grid_->GetCellAutoHeight());
  grid_->SetLayoutStyle(lsMultiRecordView);
  EXPECT_FALSE(grid_->GetCellAutoHeight());
}

TEST_F(VirtualGridOptionsTest,
       NavigatorPagesByVisibleRecordsInMultiRecordView) {
  grid_->SetBounds(0, 0, 400, 100);
  grid_->DataController()->SetRecordCount(20);
  grid_->DataController()->ChangeFocusedRowIndex(0);
  grid_->NavigatorDoAction(4);
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 1);
  grid_->SetLayoutStyle(lsMultiRecordView);
  grid_->ViewInfo()->Calculate();
  const Integer page = grid_->VGViewInfo()->GetVisibleValueCount();
  ASSERT_GT(page, 1);
  grid_->NavigatorDoAction(4);
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 1 + page);
  grid_->NavigatorDoAction(5);
  EXPECT_EQ(grid_->DataController()->GetFocusedRowIndex(), 19);
}

}  // namespace
