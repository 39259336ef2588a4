// The gradient generator's painting styles.
#include "_gxGraidentEx.h"

#include <algorithm>
#include <cmath>

#include "SysUtils.h"

namespace {

// A channel of a colour (0 red, 1 green, 2 blue).
Integer Channel(TColor AColor, int AIndex) {
  return (static_cast<uint32_t>(AColor) >> (8 * AIndex)) & 0xFF;
}

}  // namespace

TgxGraidentEx::TgxGraidentEx() : bitmap_(std::make_unique<TBitmap>()) {
  // Ellipses and pies are drawn without an outline.
  TPen* pen = bitmap_->Canvas()->Pen();
  pen->SetStyle(psClear);
  pen->SetMode(pmCopy);
}

TgxGraidentEx::~TgxGraidentEx() = default;

void TgxGraidentEx::Changed() {
  dirty_ = true;
  if (autoUpdate_) Regenerate();
}

void TgxGraidentEx::SetStyle(Integer Value) {
  if (style_ == Value) return;
  style_ = Value;
  Changed();
}

void TgxGraidentEx::SetStartColor(TColor Value) {
  if (startColor_ == Value) return;
  startColor_ = Value;
  Changed();
}

void TgxGraidentEx::SetEndColor(TColor Value) {
  if (endColor_ == Value) return;
  endColor_ = Value;
  Changed();
}

void TgxGraidentEx::SetColorCount(Integer Value) {
  // The stripe and rectangle styles divide by the count.
  Value = std::max<Integer>(Value, 1);
  if (colorCount_ == Value) return;
  colorCount_ = Value;
  Changed();
}

void TgxGraidentEx::SetAngle(Integer Value) {
  if (angle_ == Value) return;
  angle_ = Value;
  Changed();
}

void TgxGraidentEx::SetWidth(Integer Value) {
  if (width_ == Value) return;
  width_ = Value;
  Changed();
}

void TgxGraidentEx::SetHeight(Integer Value) {
  if (height_ == Value) return;
  height_ = Value;
  Changed();
}

TBitmap* TgxGraidentEx::GetBitmap() {
  if (dirty_) Regenerate();
  return bitmap_.get();
}

TColor TgxGraidentEx::StepColor(Integer AStep, Integer ACount) const {
  // A count of 0 (a bitmap one pixel across) has only its first step.
  auto channel = [&](Integer AStart, Integer ADelta) {
    const Integer offset = ACount == 0 ? 0 : ::MulDiv(AStep, ADelta, ACount);
    return static_cast<uint32_t>(AStart + offset) & 0xFF;
  };
  return static_cast<TColor>(channel(r0_, dR_) | channel(g0_, dG_) << 8 |
                             channel(b0_, dB_) << 16);
}

void TgxGraidentEx::SetBrush(Integer AStep, Integer ACount) {
  bitmap_->Canvas()->Brush()->SetColor(StepColor(AStep, ACount));
}

void TgxGraidentEx::Regenerate() {
  try {
    bitmap_->SetHeight(height_);
    bitmap_->SetWidth(width_);
    r0_ = Channel(startColor_, 0);
    g0_ = Channel(startColor_, 1);
    b0_ = Channel(startColor_, 2);
    dR_ = Channel(endColor_, 0) - r0_;
    dG_ = Channel(endColor_, 1) - g0_;
    dB_ = Channel(endColor_, 2) - b0_;
    switch (style_) {
      case 0:
        FillHorizontal();
        break;
      case 1:
        FillVertical();
        break;
      case 2:
        FillElliptic();
        break;
      case 3:
        FillRectangular();
        break;
      case 4:
        FillRowsFromEdges();
        break;
      case 5:
        FillColumnsFromEdges();
        break;
      case 6:
        FillConic();
        break;
      case 7:
        FillConicDouble();
        break;
      default:
        break;
    }
    dirty_ = false;
    const TNotifyEvent handler = OnChange;
    if (handler) handler(this);
  } catch (const Exception&) {
    // The bitmap stays as far as it got and is painted again next time.
  }
}

void TgxGraidentEx::FillHorizontal() {
  TCanvas* canvas = bitmap_->Canvas();
  const Integer n = colorCount_;
  for (Integer k = 0; k <= n; ++k) {
    SetBrush(k, n);
    canvas->FillRect(TRect{::MulDiv(k, width_, n + 1), 0,
                           ::MulDiv(k + 1, width_, n + 1), height_});
  }
}

void TgxGraidentEx::FillVertical() {
  TCanvas* canvas = bitmap_->Canvas();
  const Integer n = colorCount_;
  for (Integer k = 0; k <= n; ++k) {
    SetBrush(k, n);
    canvas->FillRect(TRect{0, ::MulDiv(k, height_, n + 1), width_,
                           ::MulDiv(k + 1, height_, n + 1)});
  }
}

void TgxGraidentEx::FillElliptic() {
  TCanvas* canvas = bitmap_->Canvas();
  Integer x1 = -(width_ / 4);
  Integer y1 = -(height_ / 4);
  Integer x2 = width_ + width_ / 4 + 4;
  Integer y2 = height_ + height_ / 4 + 4;
  const Integer dx = (width_ / 4 + width_ / 2) / 155;
  const Integer dy = (height_ / 4 + height_ / 2) / 155;
  for (Integer k = 0; k <= 155; ++k) {
    x1 += dx;
    y1 += dy;
    x2 -= dx;
    y2 -= dy;
    SetBrush(k, 155);
    canvas->Ellipse(x1, y1, x2, y2);
  }
}

void TgxGraidentEx::FillRectangular() {
  TCanvas* canvas = bitmap_->Canvas();
  const Integer n = colorCount_;
  Integer x1 = 0, y1 = 0, x2 = width_ + 2, y2 = height_ + 2;
  const Integer dx = (width_ / 2) / n;
  const Integer dy = (height_ / 2) / n;
  for (Integer k = 0; k <= n; ++k) {
    x1 += dx;
    y1 += dy;
    x2 -= dx;
    y2 -= dy;
    SetBrush(k, n);
    canvas->FillRect(TRect{x1, y1, x2, y2});
  }
}

void TgxGraidentEx::FillRowsFromEdges() {
  TCanvas* canvas = bitmap_->Canvas();
  const Integer m = height_ / 2;
  for (Integer k = 0; k <= m; ++k) {
    SetBrush(k, m);
    canvas->FillRect(TRect{0, k, width_, k + 1});
    canvas->FillRect(TRect{0, height_ - 1 - k, width_, height_ - k});
  }
}

void TgxGraidentEx::FillColumnsFromEdges() {
  TCanvas* canvas = bitmap_->Canvas();
  const Integer m = width_ / 2;
  for (Integer k = 0; k <= m; ++k) {
    SetBrush(k, m);
    canvas->FillRect(TRect{k, 0, k + 1, height_});
    canvas->FillRect(TRect{width_ - 1 - k, 0, width_ - k, height_});
  }
}

void TgxGraidentEx::Wedge(Integer AAngle, Integer AStep, Integer ACount) {
  const Integer r = std::max(width_, height_) / 2;
  const Integer cx = width_ / 2;
  const Integer cy = height_ / 2;
  // 0 degrees points up; angles grow clockwise on the screen.
  auto radial = [&](Integer ADegrees) {
    const double t = ADegrees * (std::acos(-1.0) / 180.0);
    return TPoint{cx + static_cast<Integer>(std::ceil(r * std::sin(t))),
                  cy - static_cast<Integer>(std::ceil(r * std::cos(t)))};
  };
  const TPoint from = radial(AAngle + 2);
  const TPoint to = radial(AAngle);
  SetBrush(AStep, ACount);
  // Pies run counter-clockwise: from the later radial back to the earlier.
  bitmap_->Canvas()->Pie(-(width_ / 4), -(height_ / 4), width_ + width_ / 4,
                         height_ + height_ / 4, from.X, from.Y, to.X, to.Y);
}

void TgxGraidentEx::FillConic() {
  for (Integer a = angle_; a <= angle_ + 179; ++a) Wedge(a, a - angle_, 180);
  for (Integer a = angle_ + 180; a <= angle_ + 359; ++a)
    Wedge(a, angle_ + 359 - a, 180);
}

void TgxGraidentEx::FillConicDouble() {
  for (Integer a = angle_; a <= angle_ + 89; ++a) Wedge(a, a - angle_, 90);
  for (Integer a = angle_ + 90; a <= angle_ + 179; ++a)
    Wedge(a, angle_ + 179 - a, 90);
  for (Integer a = angle_ + 180; a <= angle_ + 269; ++a)
    Wedge(a, a - angle_ - 180, 90);
  for (Integer a = angle_ + 270; a <= angle_ + 359; ++a)
    Wedge(a, angle_ + 359 - a, 90);
}
