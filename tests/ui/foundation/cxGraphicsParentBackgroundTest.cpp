// Painting a control's parent (and the siblings before it) behind the
// control, read back from a bitmap. The windows are never shown.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "cxGraphics.h"
#include "cxGraphicsTestSupport.h"

namespace {

using namespace cxgraphics_test;

class ParentBackgroundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.reset(new TForm(nullptr));
    form_->SetBounds(0, 0, 200, 150);
    form_->SetColor(clRed);
    // A sibling that comes before the served control and overlaps it.
    sibling_ = new TPanel(form_.get());
    sibling_->SetBevelOuter(bvNone);
    sibling_->SetColor(clBlue);
    sibling_->SetBounds(0, 0, 40, 40);
    sibling_->SetParent(form_.get());
    served_ = new TPanel(form_.get());
    served_->SetBounds(20, 20, 50, 30);
    served_->SetParent(form_.get());
    form_->HandleNeeded();
  }

  TObjectPtr<TForm> form_;
  TPanel* sibling_ = nullptr;
  TPanel* served_ = nullptr;
};

TEST_F(ParentBackgroundTest, ParentPixelsLandUnderTheControlsCoordinates) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(50, 30, clWhite);
  cxDrawTransparentControlBackground(served_, bitmap->Canvas(),
                                     Rect(0, 0, 50, 30), false);
  Pixels pixels(bitmap.get());
  EXPECT_EQ(pixels.At(1, 1), Rgb(255, 0, 0));
  EXPECT_EQ(pixels.At(45, 25), Rgb(255, 0, 0));
}

TEST_F(ParentBackgroundTest, SiblingsBeforeTheControlArePaintedToo) {
  TObjectPtr<TBitmap> bitmap = MakeBitmap(50, 30, clWhite);
  TcxCanvas canvas(bitmap->Canvas());
  cxDrawTransparentControlBackground(served_, &canvas, Rect(0, 0, 50, 30),
                                     true);
  EXPECT_EQ(canvas.SavedDCCount(), 0);
  Pixels pixels(bitmap.get());
  // Control (1, 1) is form (21, 21): inside the blue sibling.
  EXPECT_EQ(pixels.At(1, 1), Rgb(0, 0, 255));
  // Control (30, 5) is form (50, 25): the form itself.
  EXPECT_EQ(pixels.At(30, 5), Rgb(255, 0, 0));
  EXPECT_FALSE(served_->ControlState().Contains(csPaintCopy));
  EXPECT_FALSE(form_->ControlState().Contains(csPaintCopy));
}

TEST_F(ParentBackgroundTest, NothingForAControlWithoutParent) {
  TObjectPtr<TPanel> orphan(new TPanel(nullptr));
  TObjectPtr<TBitmap> bitmap = MakeBitmap(4, 4, clWhite);
  cxDrawTransparentControlBackground(orphan.get(), bitmap->Canvas(),
                                     Rect(0, 0, 4, 4));
  EXPECT_EQ(Pixels(bitmap.get()).At(1, 1), Rgb(255, 255, 255));
}

}  // namespace
