// The splitter: a thin bar beside one sibling control that resizes it by
// dragging and collapses or reopens it by a click on its hot zone, whose
// look comes from a hot-zone style registered by class name.
#pragma once

#include "Classes.h"
//
#include <windows.h>

#include <memory>

#include "Controls.h"
#include "Graphics.h"
//
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"

class TcxCustomSplitter;

enum TcxSplitterAlign : Byte { salBottom, salLeft, salRight, salTop };
enum TcxSplitterState : Byte { ssOpened, ssClosed };
enum TcxSplitterDragState : Byte { sstNormal, sstResizing, sstHotZoneClick };
enum TcxSplitterMouseState : Byte { smsClicked, smsInHotZone };
using TcxSplitterMouseStates = TSet<TcxSplitterMouseState>;
enum TcxSplitterDirection : Byte {
  cxsdLeftToRight,
  cxsdRightToLeft,
  cxsdTopToBottom,
  cxsdBottomToTop
};

using TcxCanResizeEvent =
    TClosure<void(TObject* Sender, Integer& NewSize, bool& Accept)>;
using TBeforeOpenHotZoneEvent =
    TClosure<void(TObject* Sender, Integer& NewSize, bool& AllowOpen)>;
using TBeforeCloseHotZoneEvent =
    TClosure<void(TObject* Sender, bool& AllowClose)>;

// ---------------------------------------------------------------------------
// Hot-zone styles
// ---------------------------------------------------------------------------

// The clickable grip in the middle of a splitter: a band 7 pixels thick
// and SizePercent per cent of the splitter's length.
class TcxHotZoneStyle : public TPersistent {
  VARNEL_CLASS(TcxHotZoneStyle, TPersistent)
 public:
  explicit TcxHotZoneStyle(TcxCustomSplitter* AOwner);
  ~TcxHotZoneStyle() override;

  void Assign(TPersistent* Source) override;
  TcxCustomSplitter* Owner() const { return owner_; }
  Integer SizePercent() const { return sizePercent_; }
  void SetSizePercent(Integer Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  const TRect& HotZoneRect() const { return hotZoneRect_; }

  virtual void Changed();
  virtual TcxSplitterDirection SplitterDirection();
  virtual TRect CalculateHotZoneRect(const TRect& ABounds);
  virtual Integer GetMinSize() { return 8; }
  virtual Integer GetMaxSize() { return 8; }
  // Returns the hot-zone rectangle; hot while the mouse is over it,
  // pressed while the left button pressed on the splitter is over it.
  virtual TRect DrawHotZone(TcxCanvas* ACanvas, const TRect& ARect, bool AHot,
                            bool APressed);
  virtual void DrawBackground(TcxCanvas*, const TRect&, bool, bool) {}

 protected:
  bool IsHorizontal() {
    const TcxSplitterDirection d = SplitterDirection();
    return d == cxsdTopToBottom || d == cxsdBottomToTop;
  }
  // Sets a colour property and reports a change when it differs.
  void SetColor(TColor& AField, TColor AValue);
  virtual void DrawMarks(TcxCanvas*, bool, bool) {}
  // The two-square dots of the taskbar and media player 8 styles.
  void DrawDotRow(TcxCanvas* ACanvas, const TRect& R, bool AForward,
                  Integer AGap, Integer AOffset, TColor A, TColor B,
                  bool AReversed);
  // The chevron pointing in the splitter's direction.
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor);

  TRect hotZoneRect_;

 private:
  TcxCustomSplitter* owner_;
  Integer sizePercent_ = 30;
  bool visible_ = true;
};

class TcxXPTaskBarStyle : public TcxHotZoneStyle {
  VARNEL_CLASS(TcxXPTaskBarStyle, TcxHotZoneStyle)
 public:
  explicit TcxXPTaskBarStyle(TcxCustomSplitter* AOwner)
      : TcxHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColor(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColor(shadowColor_, Value); }

  TRect CalculateHotZoneRect(const TRect& ABounds) override;
  void DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool AHot,
                      bool APressed) override;

 protected:
  void DrawMarks(TcxCanvas* ACanvas, bool AHot, bool APressed) override;

 private:
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TRect rows_[2];
};

class TcxSimpleStyle : public TcxHotZoneStyle {
  VARNEL_CLASS(TcxSimpleStyle, TcxHotZoneStyle)
 public:
  explicit TcxSimpleStyle(TcxCustomSplitter* AOwner)
      : TcxHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;
  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColor(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) {
    SetColor(arrowHighlightColor_, Value);
  }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColor(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColor(shadowColor_, Value); }
  TColor DotsColor() const { return dotsColor_; }
  void SetDotsColor(TColor Value) { SetColor(dotsColor_, Value); }
  TColor DotsShadowColor() const { return dotsShadowColor_; }
  void SetDotsShadowColor(TColor Value) { SetColor(dotsShadowColor_, Value); }

  TRect CalculateHotZoneRect(const TRect& ABounds) override;
  void DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool AHot,
                      bool APressed) override;
  // How many dots the band's dotted line has (none under 30 pixels).
  static Integer DotCount(Integer ALength) {
    return ALength < 30 ? 0 : (ALength - 32) / 3 + 1;
  }

 protected:
  void DrawMarks(TcxCanvas* ACanvas, bool AHot, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = clWindow;
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TColor dotsColor_ = clHighlight;
  TColor dotsShadowColor_ = clWindow;
  TRect arrows_[2];
};

class TcxMediaPlayer9Style : public TcxHotZoneStyle {
  VARNEL_CLASS(TcxMediaPlayer9Style, TcxHotZoneStyle)
 public:
  explicit TcxMediaPlayer9Style(TcxCustomSplitter* AOwner)
      : TcxHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;
  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColor(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) {
    SetColor(arrowHighlightColor_, Value);
  }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColor(lightColor_, Value); }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor Value) { SetColor(borderColor_, Value); }
  TColor ShadowStartColor() const { return shadowStartColor_; }
  void SetShadowStartColor(TColor Value) { SetColor(shadowStartColor_, Value); }
  TColor ShadowHighlightStartColor() const {
    return shadowHighlightStartColor_;
  }
  void SetShadowHighlightStartColor(TColor Value) {
    SetColor(shadowHighlightStartColor_, Value);
  }

  TRect CalculateHotZoneRect(const TRect& ABounds) override;
  void DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool AHot,
                      bool APressed) override;

 protected:
  void DrawMarks(TcxCanvas* ACanvas, bool AHot, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = static_cast<TColor>(0xFF0000);
  TColor lightColor_ = clWindow;
  TColor borderColor_ = clBtnShadow;
  TColor shadowStartColor_ = static_cast<TColor>(0xF5E6CD);
  TColor shadowHighlightStartColor_ = static_cast<TColor>(0xAFF5C3);
  TRect arrow_;
};

class TcxMediaPlayer8Style : public TcxHotZoneStyle {
  VARNEL_CLASS(TcxMediaPlayer8Style, TcxHotZoneStyle)
 public:
  explicit TcxMediaPlayer8Style(TcxCustomSplitter* AOwner)
      : TcxHotZoneStyle(AOwner) {}
  void Assign(TPersistent* Source) override;
  TColor ArrowColor() const { return arrowColor_; }
  void SetArrowColor(TColor Value) { SetColor(arrowColor_, Value); }
  TColor ArrowHighlightColor() const { return arrowHighlightColor_; }
  void SetArrowHighlightColor(TColor Value) {
    SetColor(arrowHighlightColor_, Value);
  }
  TColor LightColor() const { return lightColor_; }
  void SetLightColor(TColor Value) { SetColor(lightColor_, Value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value) { SetColor(shadowColor_, Value); }

  TRect CalculateHotZoneRect(const TRect& ABounds) override;
  void DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool AHot,
                      bool APressed) override;

 protected:
  void DrawMarks(TcxCanvas* ACanvas, bool AHot, bool APressed) override;

 private:
  TColor arrowColor_ = clWindowText;
  TColor arrowHighlightColor_ = clWindow;
  TColor lightColor_ = clWindow;
  TColor shadowColor_ = clBtnShadow;
  TRect grips_[2];
  TRect button_;
};

// The registry of hot-zone style classes, made on first use.
TcxRegisteredClasses* GetRegisteredHotZoneStyles();

// ---------------------------------------------------------------------------
// The splitter
// ---------------------------------------------------------------------------

class TcxCustomSplitter : public TcxControl {
  VARNEL_CLASS(TcxCustomSplitter, TcxControl)
 public:
  explicit TcxCustomSplitter(TComponent* AOwner);
  ~TcxCustomSplitter() override;

  // --- Properties ---
  TcxSplitterAlign AlignSplitter() const { return alignSplitter_; }
  void SetAlignSplitter(TcxSplitterAlign Value);
  bool AllowHotZoneDrag() const { return allowHotZoneDrag_; }
  void SetAllowHotZoneDrag(bool Value);
  bool AutoPosition() const { return autoPosition_; }
  void SetAutoPosition(bool Value) { autoPosition_ = Value; }
  bool AutoSnap() const { return autoSnap_; }
  void SetAutoSnap(bool Value) { autoSnap_ = Value; }
  Integer DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(Integer Value) { dragThreshold_ = std::max(Value, 1); }
  bool InvertDirection() const { return invertDirection_; }
  void SetInvertDirection(bool Value);
  Integer MinSize() const { return minSize_; }
  void SetMinSize(Integer Value) { minSize_ = std::max(Value, 1); }
  bool NativeBackground() const { return nativeBackground_; }
  void SetNativeBackground(bool Value);
  Integer PositionAfterOpen() const { return positionAfterOpen_; }
  void SetPositionAfterOpen(Integer Value) { positionAfterOpen_ = Value; }
  bool ResizeUpdate() const { return resizeUpdate_; }
  void SetResizeUpdate(bool Value) { resizeUpdate_ = Value; }
  bool ResizeIgnoreSnap() const { return false; }
  void SetResizeIgnoreSnap(bool) {}
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value);
  String HotZoneClassName() const;
  void SetHotZoneClassName(const String& Value);
  TcxHotZoneStyle* HotZone() const { return hotZone_.get(); }
  // Takes the given style over (the old one is freed).
  void SetHotZone(TcxHotZoneStyle* Value);
  void SetHotZoneStyleClass(TClass Value);
  TcxSplitterState State() const { return state_; }
  void SetSplitterState(TcxSplitterState Value);
  TcxSplitterDragState DragState() const { return dragState_; }
  TcxSplitterMouseStates MouseStates() const { return mouseStates_; }
  Integer LastOpenSize() const { return lastOpenSize_; }
  Integer DragMaximum() const { return dragMax_; }

  TcxCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;
  TBeforeOpenHotZoneEvent OnBeforeOpen;
  TNotifyEvent OnAfterOpen;
  TBeforeCloseHotZoneEvent OnBeforeClose;
  TNotifyEvent OnAfterClose;

  // --- Methods ---
  void OpenSplitter();
  void CloseSplitter();
  bool IsPointInHotZone(Integer X, Integer Y);
  bool IsPointInSplitter(Integer X, Integer Y);
  TControl* FindControl();

  // --- Overridables ---
  virtual bool CanResize(Integer& NewSize);
  virtual bool DoCanResize(Integer& NewSize);
  virtual void HotZoneStyleChanged() { Invalidate(); }
  virtual void StopSizing();
  virtual Integer GetSplitterMinSize();
  virtual Integer GetSplitterMaxSize();
  virtual TcxSplitterDirection CalculateSplitterDirection();
  virtual void UpdateMouseStates(Integer X, Integer Y);

  // --- Overrides ---
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CanFocusOnClick() override { return false; }
  bool NeedsScrollBars() override { return false; }
  void LookAndFeelChanged(TcxLookAndFeel* Sender,
                          TcxLookAndFeelValues AChangedValues) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Paint() override;
  virtual void DrawSplitLine(bool AFull, Integer ADelta, bool AForward);
  virtual void InternalMouseUp(TMouseButton Button, TShiftState Shift,
                               Integer X, Integer Y);
  void DoEventMoved() {
    if (OnMoved) OnMoved(this);
  }

 private:
  Integer InternalGetMinSize();
  void NormalizeSplitterSize();
  void InitResize(Integer X, Integer Y);
  void CalcSplitSize(Integer X, Integer Y, bool AClamp, Integer& AOffset,
                     Integer& ASize);
  void UpdateSize(Integer X, Integer Y);
  void UpdateControlSize();
  void FocusKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // Ends a drag where it stands, with no size change (Escape).
  void CancelDrag();
  TRect SplitLineRect(Integer AOffset);
  void ReleaseHook();

  TcxSplitterAlign alignSplitter_ = salLeft;
  bool allowHotZoneDrag_ = true;
  bool autoPosition_ = true;
  bool autoSnap_ = false;
  Integer dragThreshold_ = 3;
  bool invertDirection_ = false;
  Integer minSize_ = 30;
  bool nativeBackground_ = true;
  Integer positionAfterOpen_ = 30;
  bool resizeUpdate_ = false;
  TControl* control_ = nullptr;
  TObjectPtr<TcxHotZoneStyle> hotZone_;
  TcxSplitterState state_ = ssOpened;
  TcxSplitterDragState dragState_ = sstNormal;
  TcxSplitterMouseStates mouseStates_;
  Integer newSize_ = 30;
  Integer appliedSize_ = -1;
  Integer lastOpenSize_ = 30;
  TPoint pressPoint_{-1, -1};
  TPoint dragOrigin_{-1, -1};
  Integer splitOffset_ = 0;
  Integer dragMax_ = 0;
  bool splitLineShown_ = false;
  HDC screenDC_ = nullptr;
  bool savedShowHint_ = false;
  bool savedParentShowHint_ = true;
  TWinControl* hookedControl_ = nullptr;
  TKeyEvent savedKeyDown_;
  TObjectPtr<TBitmap> buffer_;
  std::unique_ptr<TcxCanvas> bufferCanvas_;
};

class TcxSplitter : public TcxCustomSplitter {
  VARNEL_CLASS(TcxSplitter, TcxCustomSplitter)
 public:
  explicit TcxSplitter(TComponent* AOwner) : TcxCustomSplitter(AOwner) {}
};
