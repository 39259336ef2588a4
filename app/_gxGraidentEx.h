// A colour gradient painted into a bitmap in one of eight styles: stripes
// across or down, shrinking ellipses or rectangles, rows or columns from
// the edges to the middle, and one or two conic sweeps. The about box
// paints its background with the defaults.
#pragma once

#include <memory>

#include "Graphics.h"
#include "System.h"

class TgxGraidentEx : public TObject {
  VARNEL_CLASS(TgxGraidentEx, TObject)
 public:
  // --- Construction ---
  TgxGraidentEx();
  ~TgxGraidentEx() override;

  // --- Properties ---
  // 0 to 7; any other style leaves the bitmap sized but unpainted.
  Integer Style() const { return style_; }
  void SetStyle(Integer Value);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor Value);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor Value);
  // The colour steps of the stripe and rectangle styles; never below 1.
  Integer ColorCount() const { return colorCount_; }
  void SetColorCount(Integer Value);
  // Degrees clockwise from straight up where the conic styles start.
  Integer Angle() const { return angle_; }
  void SetAngle(Integer Value);
  Integer Width() const { return width_; }
  void SetWidth(Integer Value);
  Integer Height() const { return height_; }
  void SetHeight(Integer Value);
  bool Dirty() const { return dirty_; }
  // Paint at once on every change instead of at the next GetBitmap.
  bool AutoUpdate() const { return autoUpdate_; }
  void SetAutoUpdate(bool Value) { autoUpdate_ = Value; }
  // Called after every painting, with the generator as sender.
  TNotifyEvent OnChange;

  // --- Methods ---
  // The bitmap, painted first when a change left it dirty.
  TBitmap* GetBitmap();
  void Regenerate();
  // The colour of step AStep of ACount between the start and end colours.
  TColor StepColor(Integer AStep, Integer ACount) const;

 private:
  void Changed();
  void FillHorizontal();
  void FillVertical();
  void FillElliptic();
  void FillRectangular();
  void FillRowsFromEdges();
  void FillColumnsFromEdges();
  void FillConic();
  void FillConicDouble();
  void Wedge(Integer AAngle, Integer AStep, Integer ACount);
  void SetBrush(Integer AStep, Integer ACount);

  Integer style_ = 1;
  TColor startColor_ = static_cast<TColor>(0xFFFFFF);
  TColor endColor_ = static_cast<TColor>(0xF0F0F0);
  Integer colorCount_ = 255;
  Integer angle_ = 0;
  Integer width_ = 75;
  Integer height_ = 75;
  bool dirty_ = true;
  bool autoUpdate_ = false;
  Integer r0_ = 0, g0_ = 0, b0_ = 0;
  Integer dR_ = 0, dG_ = 0, dB_ = 0;
  std::unique_ptr<TBitmap> bitmap_;
};
