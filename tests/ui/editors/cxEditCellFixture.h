// An editor drawn the way a grid draws its cells: through the properties'
// view data and view info into a bitmap, with no editor window.
#pragma once

#include <gtest/gtest.h>

#include "cxEditTestCanvas.h"
#include "cxEditViewData.h"

namespace edit_test {

class TEditCell {
 public:
  explicit TEditCell(TcxCustomEditProperties* AProperties,
                     TcxLookAndFeelKind AKind = lfStandard)
      : properties_(AProperties),
        styles_(nullptr, AProperties->GetStyleClass()),
        info_(OwnedCast<TcxCustomEditViewInfo>(
            AProperties->GetViewInfoClass()())) {
    Style()->LookAndFeel()->SetNativeStyle(false);
    Style()->LookAndFeel()->SetKind(AKind);
  }

  TcxCustomEditStyle* Style() const {
    return static_cast<TcxCustomEditStyle*>(styles_.GetStyleNormal());
  }
  template <class T = TcxCustomEditViewInfo>
  T* Info() const {
    return dynamic_cast<T*>(info_.get());
  }
  TcxCustomEditViewData* Data() const { return data_.get(); }

  // Calculates the cell at ABounds with the mouse at P and puts the value
  // in; a later Calculate keeps the view info, as a grid's does.
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                 const Variant& AValue, const TPoint& P = TPoint{-1, -1},
                 TShiftState AShift = {}, TcxMouseButton AButton = cxmbNone,
                 bool AEnabled = true, bool APreview = false) {
    data_ = properties_->CreateViewData(Style(), true, APreview);
    data_->Enabled = AEnabled;
    data_->CalculateEx(ACanvas, ABounds, P, AButton, AShift, info_.get(),
                       AButton != cxmbNone);
    data_->EditValueToDrawValue(ACanvas, AValue, info_.get());
  }
  void Paint(TcxCanvas* ACanvas) { info_->PaintEx(ACanvas); }
  // Calculates and paints in one go.
  void Draw(TTestCanvas& ACanvas, const TRect& ABounds, const Variant& AValue,
            const TPoint& P = TPoint{-1, -1}, TShiftState AShift = {},
            TcxMouseButton AButton = cxmbNone) {
    Calculate(ACanvas.Canvas(), ABounds, AValue, P, AShift, AButton);
    Paint(ACanvas.Canvas());
  }

 private:
  TcxCustomEditProperties* properties_;
  TcxContainerStyles styles_;
  TObjectPtr<TcxCustomEditViewInfo> info_;
  TObjectPtr<TcxCustomEditViewData> data_;
};

// The pixels of a rectangle of the canvas, as text, to compare two areas.
inline std::string PixelsOf(const TTestCanvas& ACanvas, const TRect& R) {
  std::string s;
  for (Integer y = R.Top; y < R.Bottom; ++y) {
    for (Integer x = R.Left; x < R.Right; ++x)
      s += std::to_string(ACanvas.At(x, y)) + ",";
    s += "\n";
  }
  return s;
}

// How many pixels of the rectangle have colour c.
inline Integer CountOf(const TTestCanvas& ACanvas, const TRect& R, TColor c) {
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) n += ACanvas.Is(x, y, c);
  return n;
}

inline const char* KindName(TcxLookAndFeelKind AKind) {
  static const char* const kNames[] = {"flat", "standard", "ultra-flat",
                                       "office11"};
  return kNames[AKind];
}

constexpr TcxLookAndFeelKind kAllKinds[] = {lfFlat, lfStandard, lfUltraFlat,
                                            lfOffice11};

}  // namespace edit_test
