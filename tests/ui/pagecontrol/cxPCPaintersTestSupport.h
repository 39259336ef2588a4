// A tab control of a given style painted into a bitmap, for the painter
// tests that read back what a style drew.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "../foundation/cxGraphicsTestSupport.h"
#include "Forms.h"
#include "cxPC.h"
#include "cxPCPainters.h"

namespace pcpainters_test {

using cxgraphics_test::FromColor;
using cxgraphics_test::Pixel;

// The colour the bitmap starts with; no style draws it.
constexpr TColor kPaper = TColor(0x00123456);

class TPaintableTabControl : public TcxTabControl {
  VARNEL_CLASS(TPaintableTabControl, TcxTabControl)
 public:
  using TcxTabControl::PaintWindow;
  using TcxTabControl::TcxTabControl;
};

// Three tabs "One", "Two", "Three" on a 240 x 100 control on a hidden form;
// the second is selected.
class TStyledTabControl {
 public:
  explicit TStyledTabControl(TcxPCStyleID AStyle, Integer AWidth = 240,
                             Integer AHeight = 100)
      : form_(new TForm(nullptr)),
        control_(std::make_unique<TPaintableTabControl>(nullptr)) {
    control_->SetParent(form_.get());
    control_->SetBounds(0, 0, AWidth, AHeight);
    control_->SetStyle(AStyle);
    for (const char* caption : {"One", "Two", "Three"})
      control_->Tabs()->Add(caption);
    control_->SetTabIndex(1);
    control_->RequestLayout();
  }

  TPaintableTabControl* Control() const { return control_.get(); }
  template <class T>
  T* Painter() const {
    auto* painter = dynamic_cast<T*>(control_->Painter());
    EXPECT_NE(painter, nullptr) << "the control has another painter";
    return painter;
  }
  TcxTab* Tab(Integer AIndex) const { return control_->Tabs()->GetTab(AIndex); }

  // Paints the control into a fresh bitmap and keeps its pixels.
  void Paint() {
    bitmap_ = cxgraphics_test::MakeBitmap(control_->Width(), control_->Height(),
                                          kPaper);
    control_->PaintWindow(bitmap_->Canvas()->Handle());
  }
  Pixel At(Integer X, Integer Y) const {
    return FromColor(bitmap_->Canvas()->Pixels(X, Y));
  }
  Pixel At(const TPoint& P) const { return At(P.X, P.Y); }

 private:
  TObjectPtr<TForm> form_;
  std::unique_ptr<TPaintableTabControl> control_;
  TObjectPtr<TBitmap> bitmap_;
};

}  // namespace pcpainters_test
