// The layout of an editor's buttons and borders, calculated without a
// window as for a grid cell.
#include <gtest/gtest.h>

#include "WinApi.h"
#include "cxEditTestCanvas.h"
#include "cxEditUtils.h"
#include "cxEditViewData.h"

using edit_test::TTestCanvas;

namespace {

class ViewData : public ::testing::Test {
 protected:
  ViewData() : styles_(nullptr, &cxNewContainerStyle<TcxEditStyle>) {}
  TcxCustomEditStyle* Style() {
    return static_cast<TcxCustomEditStyle*>(styles_.GetStyleNormal());
  }
  TcxEditButton* AddButton(Integer width, bool left = false) {
    TcxEditButton* b = props_.Buttons()->Add();
    b->SetWidth(width);
    b->SetLeftAlignment(left);
    return b;
  }
  // Calculates over the bounds with the mouse at P.
  void Calculate(TcxCustomEditViewData& data, const TRect& bounds,
                 TPoint p = TPoint{-1, -1}, TShiftState shift = {}) {
    data.Calculate(canvas_.Canvas(), bounds, p, cxmbNone, shift, &info_,
                   !shift.Empty());
  }
  TcxEditButtonViewInfo* Button(Integer i) {
    return info_.ButtonsInfo[static_cast<std::size_t>(i)].get();
  }

  TcxCustomEditProperties props_;
  TcxContainerStyles styles_;
  TcxCustomEditViewInfo info_;
  TTestCanvas canvas_{4, 4};
};

TEST_F(ViewData, HideInactiveShowsNoButtonsUntilFocused) {
  AddButton(15);
  Style()->SetButtonTransparency(ebtHideInactive);
  TcxCustomEditViewData data(&props_, Style(), false);
  Calculate(data, TRect{0, 0, 100, 20});
  EXPECT_TRUE(info_.ButtonsInfo.empty());
  data.Focused = true;
  Calculate(data, TRect{0, 0, 100, 20});
  EXPECT_EQ(info_.ButtonsInfo.size(), 1u);
}

TEST_F(ViewData, HideUnselectedShowsButtonsWhileHot) {
  AddButton(15);
  Style()->SetButtonTransparency(ebtHideUnselected);
  TcxCustomEditViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 100, 20});
  EXPECT_TRUE(info_.ButtonsInfo.empty());
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{5, 5});
  EXPECT_EQ(info_.ButtonsInfo.size(), 1u);
}

TEST_F(ViewData, RightAlignedButtonsTakeWhatIsLeft) {
  AddButton(30);
  AddButton(30);
  TcxCustomEditViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 40, 20});
  ASSERT_EQ(info_.ButtonsInfo.size(), 2u);
  // The last button is the rightmost.
  EXPECT_EQ(Button(1)->VisibleBounds, (TRect{10, 0, 40, 20}));
  EXPECT_EQ(Button(0)->VisibleBounds, (TRect{0, 0, 10, 20}));
  EXPECT_EQ(Button(0)->Bounds, (TRect{-20, 0, 10, 20}));
  EXPECT_TRUE(Button(1)->Data.RightEdge);
  EXPECT_TRUE(Button(0)->Data.LeftEdge);
}

TEST_F(ViewData, ZeroWidthRectangleGivesEmptyBounds) {
  AddButton(30);
  TcxCustomEditViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 0, 20});
  ASSERT_EQ(info_.ButtonsInfo.size(), 1u);
  EXPECT_TRUE(cxRectIsEmpty(Button(0)->Bounds));
}

TEST_F(ViewData, ButtonsOnlyShareTheFreeWidthByTheirWidths) {
  AddButton(10);
  AddButton(20);
  AddButton(30);
  props_.SetButtonsViewStyle(bvsButtonsOnly);
  TcxCustomEditViewData data(&props_, Style(), false);
  Style()->SetTransparentBorder(true);
  Style()->SetEditBorderStyle(ebsNone);
  Calculate(data, TRect{0, 0, 180, 20});
  ASSERT_EQ(info_.ButtonsInfo.size(), 3u);
  EXPECT_EQ(Button(0)->Bounds.Width(), 30);
  EXPECT_EQ(Button(1)->Bounds.Width(), 60);
  EXPECT_EQ(Button(2)->Bounds.Width(), 90);
  EXPECT_EQ(Button(2)->Bounds.Right, 180);
  EXPECT_EQ(Button(0)->Bounds.Left, 0);
  EXPECT_EQ(Button(1)->Bounds.Right, Button(2)->Bounds.Left);
}

TEST_F(ViewData, UltraFlatBordersAreReportedAsSingle) {
  TcxCustomEditViewData data(&props_, Style(), false);
  Style()->SetEditBorderStyle(ebsUltraFlat);
  EXPECT_EQ(data.GetBorderStyle(), ebsSingle);
  EXPECT_EQ(data.GetBorderColor(), clBtnShadow);
  Style()->SetEditBorderStyle(ebsOffice11);
  EXPECT_EQ(data.GetBorderStyle(), ebsSingle);
  data.Focused = true;
  data.ContainerState = {csActive};
  EXPECT_EQ(data.GetBorderColor(), GetEditBorderHighlightColor(true));
  TcxCustomEditViewData cell(&props_, Style(), true);
  EXPECT_EQ(cell.GetBorderStyle(), ebsNone);
}

class TRefusingViewData : public TcxCustomEditViewData {
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  bool CanPressButton(TcxCustomEditViewInfo*, Integer) override {
    return false;
  }
};

TEST_F(ViewData, ButtonStatesFollowTheMouse) {
  AddButton(20);
  TcxCustomEditViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{90, 5});
  EXPECT_EQ(Button(0)->Data.State, ebsSelected);
  EXPECT_EQ(info_.SelectedButton, 0);
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{90, 5}, TShiftState{ssLeft});
  EXPECT_EQ(Button(0)->Data.State, ebsPressed);
  EXPECT_EQ(info_.PressedButton, 0);
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{10, 5});
  EXPECT_EQ(Button(0)->Data.State, ebsNormal);
  props_.Buttons()->Items(0)->SetEnabled(false);
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{90, 5});
  EXPECT_EQ(Button(0)->Data.State, ebsDisabled);
}

TEST_F(ViewData, APressRefusedByCanPressButtonLeavesTheButtonNormal) {
  AddButton(20);
  TRefusingViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 100, 20}, TPoint{90, 5}, TShiftState{ssLeft});
  EXPECT_EQ(Button(0)->Data.State, ebsNormal);
  EXPECT_TRUE(info_.IsButtonReallyPressed);
}

TEST_F(ViewData, DefaultButtonStyleByBorderAndByLook) {
  AddButton(20);
  TcxCustomEditViewData cell(&props_, Style(), true);
  Style()->LookAndFeel()->SetKind(lfUltraFlat);
  Calculate(cell, TRect{0, 0, 100, 20});
  EXPECT_EQ(Button(0)->Data.Style, btsUltraFlat);
  TcxCustomEditViewData standalone(&props_, Style(), false);
  Style()->SetEditBorderStyle(ebsFlat);
  Calculate(standalone, TRect{0, 0, 100, 20});
  EXPECT_EQ(Button(0)->Data.Style, btsFlat);
  Style()->SetButtonStyle(btsOffice11);
  Calculate(standalone, TRect{0, 0, 100, 20});
  EXPECT_EQ(Button(0)->Data.Style, btsOffice11);
}

TEST_F(ViewData, TextButtonIsNeverNarrowerThanAScrollBar) {
  TcxEditButton* b = AddButton(0);
  b->SetKind(bkText);
  b->SetCaption("x");
  TcxCustomEditViewData data(&props_, Style(), true);
  Calculate(data, TRect{0, 0, 200, 20});
  EXPECT_GE(Button(0)->Bounds.Width(), GetSystemMetrics(SM_CYHSCROLL));
  b->SetCaption("A much longer caption than a scroll bar");
  Calculate(data, TRect{0, 0, 400, 20});
  EXPECT_GT(Button(0)->Bounds.Width(), GetSystemMetrics(SM_CYHSCROLL));
}

TEST_F(ViewData, ClientRectLeavesTheBordersAndButtons) {
  AddButton(20);
  Style()->SetEditBorderStyle(ebsSingle);
  Style()->SetTransparentBorder(false);
  TcxCustomEditViewData data(&props_, Style(), false);
  Calculate(data, TRect{0, 0, 100, 22});
  EXPECT_EQ(info_.BorderRect, (TRect{1, 1, 99, 21}));
  EXPECT_EQ(Button(0)->Bounds, (TRect{79, 1, 99, 21}));
  EXPECT_EQ(info_.ClientRect, (TRect{1, 1, 79, 21}));
}

TEST_F(ViewData, PropertiesMakeTheEditorKindsPieces) {
  TObjectPtr<TcxContainerStyle> style =
      props_.GetStyleClass()(nullptr, false, nullptr, csNormal);
  EXPECT_NE(dynamic_cast<TcxEditStyle*>(style.get()), nullptr);
  TObjectPtr<TcxContainerViewInfo> info = props_.GetViewInfoClass()();
  EXPECT_NE(dynamic_cast<TcxCustomEditViewInfo*>(info.get()), nullptr);
  TObjectPtr<TcxCustomEditViewData> data =
      props_.CreateViewData(Style(), true, true);
  EXPECT_TRUE(data->IsInplace);
  EXPECT_TRUE(data->PreviewMode);
  EXPECT_EQ(data->Properties, &props_);
}

TEST_F(ViewData, EditSizeOfAStandaloneEditor) {
  AddButton(20);
  Style()->SetEditBorderStyle(ebsSingle);
  Style()->SetTransparentBorder(false);
  Style()->SetButtonStyle(bts3D);
  const TSize size =
      props_.GetEditSize(canvas_.Canvas(), Style(), false, Variant());
  // Borders 1 + 1 and the 20-pixel button wide; a 3D button wants 4
  // pixels of height, of which the borders give 2, with no content.
  EXPECT_EQ(size.cx, 22);
  EXPECT_EQ(size.cy, 4);
}

}  // namespace
