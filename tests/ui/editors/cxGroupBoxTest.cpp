// The group box: caption rectangles for the thirteen positions, the
// vertical caption font, the client area left to children and the frame
// and caption read back from a painted window.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "cxEditTestCanvas.h"
#include "cxExtEditUtils.h"
#include "cxGroupBox.h"

namespace {

TEST(cxGroupBoxCaptionRect, EveryAlignment) {
  // Caption 40 wide, 13 high, in a 185 by 105 control.
  const TSize text{40, 13};
  const TSize control{185, 105};
  struct Case {
    TcxCaptionAlignment alignment;
    bool shadow;
    TRect expected;
  };
  const Case cases[] = {
      {alTopLeft, false, {8, 0, 48, 13}},
      {alTopCenter, false, {72, 0, 112, 13}},
      {alTopCenter, true, {71, 0, 111, 13}},
      {alTopRight, false, {137, 0, 177, 13}},
      {alTopRight, true, {134, 0, 174, 13}},
      {alBottomLeft, false, {8, 90, 48, 103}},
      {alBottomCenter, false, {72, 90, 112, 103}},
      {alBottomRight, false, {137, 90, 177, 103}},
      {alLeftTop, false, {-1, 8, 12, 48}},
      {alLeftCenter, false, {-1, 33, 12, 73}},
      {alLeftCenter, true, {-1, 31, 12, 71}},
      {alLeftBottom, false, {-1, 57, 12, 97}},
      {alRightTop, false, {173, 8, 186, 48}},
      {alRightCenter, false, {173, 32, 186, 72}},
      {alRightBottom, false, {173, 57, 186, 97}},
      {alCenterCenter, false, {72, 46, 112, 59}},
      {alCenterCenter, true, {71, 44, 111, 57}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxGroupBoxCaptionRect(c.alignment, text, control, c.shadow),
              c.expected)
        << int(c.alignment) << " shadow " << c.shadow;
  }
}

TEST(cxGroupBoxCaptionPosition, SidesAndVerticalText) {
  const std::pair<TcxCaptionAlignment, TcxGroupBoxCaptionPosition> cases[] = {
      {alTopLeft, cxgpTop},        {alTopRight, cxgpTop},
      {alBottomLeft, cxgpBottom},  {alBottomRight, cxgpBottom},
      {alLeftTop, cxgpLeft},       {alLeftBottom, cxgpLeft},
      {alRightTop, cxgpRight},     {alRightBottom, cxgpRight},
      {alCenterCenter, cxgpCenter}};
  for (const auto& [alignment, position] : cases) {
    EXPECT_EQ(cxGroupBoxCaptionPosition(alignment), position) << int(alignment);
    EXPECT_EQ(cxIsVerticalCaption(alignment),
              position == cxgpLeft || position == cxgpRight)
        << int(alignment);
  }
}

class GroupBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(0, 0, 300, 200);
    box_ = new TcxGroupBox(form_.get());
    box_->SetParent(form_.get());
    box_->SetBounds(10, 10, 185, 105);
  }
  TObjectPtr<TForm> form_;
  TcxGroupBox* box_ = nullptr;
};

TEST_F(GroupBoxTest, AnEmptyCaptionHasNoRectangle) {
  box_->SetCaption("");
  EXPECT_EQ(box_->GetCaptionRect(), cxEmptyRect);
  box_->SetCaption("Options");
  const TRect r = box_->GetCaptionRect();
  EXPECT_EQ(r.Left, 8);
  EXPECT_EQ(r.Top, 0);
  EXPECT_GT(r.Width(), 20);
  EXPECT_GT(r.Height(), 5);
}

TEST_F(GroupBoxTest, VerticalCaptionsTurnTheFontAndDropAccelerators) {
  box_->SetCaption("&Options");
  EXPECT_EQ(box_->VisibleCaption(), "&Options");
  box_->SetAlignment(alLeftCenter);
  EXPECT_EQ(box_->VisibleCaption(), "Options");
  EXPECT_EQ(box_->CaptionFont()->Orientation(), 900);
  box_->SetAlignment(alRightTop);
  EXPECT_EQ(box_->CaptionFont()->Orientation(), 2700);
  const TRect r = box_->GetCaptionRect();
  // Vertical: the caption's length runs down the side.
  EXPECT_GT(r.Height(), r.Width());
  box_->SetAlignment(alTopLeft);
  EXPECT_EQ(box_->CaptionFont()->Orientation(), 0);
}

TEST_F(GroupBoxTest, AFontThatCannotTurnBecomesArial) {
  // Bitmap fonts cannot be turned; find one the system has.
  TObjectPtr<TFont> probe(new TFont);
  String bitmapFont;
  for (const char* name : {"System", "Fixedsys", "Terminal", "Small Fonts",
                           "MS Sans Serif", "Courier"}) {
    probe->SetName(name);
    if (!cxIsTrueTypeFont(probe.get())) {
      bitmapFont = name;
      break;
    }
  }
  if (bitmapFont.empty()) GTEST_SKIP() << "every font here is TrueType";
  box_->Style()->Font()->SetName(bitmapFont);
  box_->SetAlignment(alLeftTop);
  EXPECT_EQ(box_->CaptionFont()->Name(), "Arial");
  box_->SetAlignment(alTopLeft);
  EXPECT_EQ(box_->CaptionFont()->Name(), bitmapFont);
}

TEST_F(GroupBoxTest, ChildrenLiveInsideTheCaptionSide) {
  TPanel* child = new TPanel(form_.get());
  child->SetParent(box_);
  child->SetAlign(alClient);
  form_->HandleNeeded();
  box_->Realign();
  const TRect top = child->BoundsRect();
  EXPECT_GT(top.Top, 5);
  EXPECT_LT(top.Left, 5);
  box_->SetAlignment(alLeftTop);
  const TRect left = child->BoundsRect();
  EXPECT_GT(left.Left, 5);
  EXPECT_LT(left.Top, 5);
  box_->SetAlignment(alCenterCenter);
  EXPECT_LT(child->BoundsRect().Top, 5);
}

TEST_F(GroupBoxTest, PaintsTheFrameAroundTheCaption) {
  box_->SetCaption("Caption");
  box_->Style()->SetColor(clWhite);
  box_->Style()->SetTextColor(clBlue);
  form_->HandleNeeded();
  TObjectPtr<TBitmap> bitmap(cxCreateBitmap(185, 105, pf24bit));
  box_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Canvas()->Handle()),
                0);
  auto at = [&](Integer x, Integer y) {
    return ColorToRGB(bitmap->Canvas()->Pixels(x, y));
  };
  const TRect caption = box_->GetCaptionRect();
  // Inside: the style colour; some caption pixels in the text colour.
  EXPECT_EQ(at(90, 60), ColorToRGB(clWhite));
  Integer blue = 0;
  for (Integer y = caption.Top; y < caption.Bottom; ++y) {
    for (Integer x = caption.Left; x < caption.Right; ++x) {
      blue += at(x, y) == ColorToRGB(clBlue) ? 1 : 0;
    }
  }
  EXPECT_GT(blue, 10);
  // The frame passes left of the caption but not through it.
  bool frameLeft = false;
  for (Integer y = 0; y < caption.Bottom; ++y) {
    frameLeft |= at(3, y) != ColorToRGB(clWhite);
  }
  EXPECT_TRUE(frameLeft);
}

}  // namespace
