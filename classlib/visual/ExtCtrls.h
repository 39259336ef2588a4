// Extra controls: panels, bevels, images and timers.
#pragma once

#include <memory>

#include "Controls.h"

enum TBevelCut : Byte { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
using TBevelWidth = Integer;
using TBorderWidth = Integer;
enum TBevelShape : Byte {
  bsBox,
  bsFrame,
  bsTopLine,
  bsBottomLine,
  bsLeftLine,
  bsRightLine,
  bsSpacer
};
enum TBevelStyle : Byte { bsLowered, bsRaised };

// Draws a 3-D frame: top-left in TopColor, bottom-right in BottomColor,
// Width pixels thick; Rect shrinks to what is inside.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor,
             Integer Width);

class TCustomPanel : public TCustomControl {
  VARNEL_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* AOwner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel Value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth Value);
  TBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool Value) { fullRepaint_ = Value; }
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TAlignment alignment_ = taCenter;
  TPanelBevel bevelInner_ = bvNone;
  TPanelBevel bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  TBorderWidth borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  VARNEL_CLASS(TPanel, TCustomPanel)
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

class TBevel : public TGraphicControl {
  VARNEL_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle Value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TImage : public TGraphicControl {
  VARNEL_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  // A bitmap canvas to draw the picture on (the picture becomes a bitmap
  // of the control's size when it is empty).
  TCanvas* Canvas();
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool Value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  // Where the picture is drawn in the client area.
  TRect DestRect();
  TNotifyEvent OnProgress;

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject* Sender);
  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled.
class TTimer : public TComponent {
  VARNEL_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return interval_; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);
  HWND window_ = nullptr;
  bool enabled_ = true;
  Cardinal interval_ = 1000;
};
