// The push button: glyph and caption layout, glyph strips, colours per
// state, and the split button's two parts under real clicks.
#include <gtest/gtest.h>

#include "Forms.h"
#include "UiDriverControlsWin.h"
#include "cxButtons.h"

using namespace ui_test;

namespace {

TEST(cxCalcButtonLayout, MarginsSpacingAndSides) {
  const TSize client{75, 25};
  const TSize glyph{16, 16};
  const TSize text{30, 13};
  struct Case {
    TButtonLayout layout;
    Integer margin, spacing;
    TPoint glyphAt;
    TPoint textAt;
  };
  const Case cases[] = {
      // (75 - 46) div 3 = 9 on both sides of the glyph.
      {blGlyphLeft, -1, -1, {9, 4}, {34, 5}},
      {blGlyphLeft, -1, 4, {12, 4}, {32, 5}},
      {blGlyphLeft, 2, -1, {2, 4}, {31, 5}},
      {blGlyphRight, -1, -1, {50, 4}, {11, 5}},
      {blGlyphRight, 3, 4, {56, 4}, {22, 5}},
      // (25 - 29) div 3 = -1 along the height.
      {blGlyphTop, -1, -1, {29, -1}, {22, 14}},
      {blGlyphBottom, 0, 0, {29, 9}, {22, -4}},
  };
  for (const Case& c : cases) {
    const TcxButtonLayoutResult r =
        cxCalcButtonLayout(client, glyph, text, c.layout, c.margin, c.spacing);
    EXPECT_EQ(r.GlyphPos, c.glyphAt) << int(c.layout) << " " << c.margin;
    EXPECT_EQ(r.TextBounds.TopLeft(), c.textAt)
        << int(c.layout) << " " << c.margin;
    EXPECT_EQ(r.TextBounds.Width(), 30);
  }
  // Without an image there is no spacing.
  const TcxButtonLayoutResult plain =
      cxCalcButtonLayout(client, TSize{0, 0}, text, blGlyphLeft, -1, 4);
  EXPECT_EQ(plain.TextBounds.Left, (75 - 30) / 2);
}

TEST(cxButtonNumGlyphsOf, WholeStripsBelowFive) {
  EXPECT_EQ(cxButtonNumGlyphsOf(64, 16), 4);
  EXPECT_EQ(cxButtonNumGlyphsOf(48, 16), 3);
  EXPECT_EQ(cxButtonNumGlyphsOf(50, 16), 1);
  EXPECT_EQ(cxButtonNumGlyphsOf(80, 16), 1);
  EXPECT_EQ(cxButtonNumGlyphsOf(16, 0), 1);
}

TEST(TcxButtonColors, UnassignedStatesFallBack) {
  TcxButtonColors colors;
  colors.SetColor(cxbsNormal, clRed);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsHot), clRed);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsDefault), clRed);
  EXPECT_EQ(colors.GetBackgroundColor(cxbsNormal), clRed);

  TcxButtonColors onlyDefault;
  onlyDefault.SetColor(cxbsDefault, clBlue);
  EXPECT_EQ(onlyDefault.GetBackgroundColor(cxbsNormal), clBlue);
  EXPECT_EQ(onlyDefault.GetBackgroundColor(cxbsHot), clDefault);
  onlyDefault.SetColor(cxbsDefault, clNone);
  EXPECT_FALSE(onlyDefault.IsAssigned(cxbsDefault));
  EXPECT_EQ(onlyDefault.Color(cxbsDefault), clDefault);
}

TEST(TcxButton, GlyphSetsTheNumberOfGlyphs) {
  TcxButton button(nullptr);
  TObjectPtr<TBitmap> strip(new TBitmap);
  strip->SetSize(48, 16);
  button.SetGlyph(strip.get());
  EXPECT_EQ(button.NumGlyphs(), 3);
  button.SetNumGlyphs(7);
  EXPECT_EQ(button.NumGlyphs(), 4);
  button.SetNumGlyphs(0);
  EXPECT_EQ(button.NumGlyphs(), 1);
}

class ButtonWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(60, 60, 300, 160);
    button_ = new TcxButton(form_.get());
    button_->SetParent(form_.get());
    button_->SetBounds(20, 20, 75, 25);
    button_->SetCaption("OK");
    button_->OnClick =
        TNotifyEvent::FromFunction([this](TObject*) { ++clicks_; });
    button_->OnDropDownMenuPopup =
        TcxButtonDropDownMenuPopupEvent::FromFunction(
            [this](TObject*, TPopupMenu*&, bool& handled) {
              ++dropDowns_;
              // No modal menu in the test: the request counts as handled.
              handled = true;
            });
    form_->Show();
    PumpUntilIdle();
  }
  TCursorPosGuard pointer_;
  TObjectPtr<TForm> form_;
  THeldButtonsGuard buttons_;
  TcxButton* button_ = nullptr;
  Integer clicks_ = 0;
  Integer dropDowns_ = 0;
};

TEST_F(ButtonWindowTest, ASplitButtonOpensItsMenuOnlyFromTheArrowPart) {
  button_->SetKind(cxbkDropDownButton);
  EXPECT_TRUE(button_->IsArrowPart(60));
  EXPECT_FALSE(button_->IsArrowPart(59));
  Click(button_, 59, 12);
  PumpUntilIdle();
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(dropDowns_, 0);
  Click(button_, 61, 12);
  PumpUntilIdle();
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(dropDowns_, 1);
  // The main part ends 13 pixels before the edge, the content inside it.
  EXPECT_LE(button_->GetContentRect().Right, 62);
}

TEST_F(ButtonWindowTest, KindsAndClicks) {
  Click(button_);
  PumpUntilIdle();
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(dropDowns_, 0);
  button_->SetKind(cxbkDropDown);
  Click(button_);
  PumpUntilIdle();
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(dropDowns_, 1);
}

TEST_F(ButtonWindowTest, PaintsTheStateColour) {
  button_->Colors()->SetColor(cxbsDefault, clBlue);
  button_->LookAndFeel()->SetKind(lfUltraFlat);
  TObjectPtr<TBitmap> b(new TBitmap);
  b->SetSize(75, 25);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hDC = b->Canvas()->Handle();
  button_->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(button_->State(), cxbsNormal);
  EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(5, 12)), ColorToRGB(clBlue));
  // Disabled: the caption in the highlight colour, shifted, then the text.
  button_->SetEnabled(false);
  TObjectPtr<TBitmap> d(new TBitmap);
  d->SetSize(75, 25);
  item.hDC = d->Canvas()->Handle();
  button_->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  Integer highlight = 0;
  for (Integer y = 0; y < 25; ++y) {
    for (Integer x = 20; x < 55; ++x) {
      highlight +=
          ColorToRGB(d->Canvas()->Pixels(x, y)) == ColorToRGB(clBtnHighlight)
              ? 1
              : 0;
    }
  }
  EXPECT_GT(highlight, 3);
}

}  // namespace
