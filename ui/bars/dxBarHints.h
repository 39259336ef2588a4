// The bar hints: one shared popup window that shows the hint of the bar
// item under the mouse, and the process-wide timing of showing, hiding and
// quickly re-showing it.
//
// Sources: dxBarHints.cpp.
#pragma once

#include "dxBar.h"

// A plain text hint: the hint text followed by the shortcut text.
class TdxBarHintViewInfo : public TObject {
  VARNEL_CLASS(TdxBarHintViewInfo, TObject)
 public:
  TdxBarHintViewInfo(TdxBarManager* ABarManager, const String& AHint,
                     const String& AShortCut, TPoint ACursorPos);
  const String& Text() const { return text_; }
  TRect Bounds() const { return bounds_; }
  // Measures the text broken into lines no wider than the work area.
  void Calculate(TcxCanvas* ACanvas);
  void Paint(TcxCanvas* ACanvas);
  TRect GetTextRect() const;
  TdxBarManager* BarManager() const { return barManager_; }

 private:
  TdxBarManager* barManager_;
  String text_;
  TPoint cursorPos_;
  TRect bounds_;
};

// Keeps a hint of ASize at P inside AWorkArea: pushed left to fit, moved
// above the cursor (20 pixels more) when it would pass the bottom.
TPoint dxBarCorrectHintPos(TPoint P, TSize ASize, const TRect& AWorkArea);

class TdxBarHintWindow : public TCustomControl {
  VARNEL_CLASS(TdxBarHintWindow, TCustomControl)
 public:
  explicit TdxBarHintWindow(TComponent* AOwner);
  ~TdxBarHintWindow() override;
  UINT GetShowHintTime() const { return 1000; }
  UINT GetHideHintTime() const { return 10000; }
  // Shows the hint below the cursor; false (nothing shown) for an empty
  // hint text.
  bool ActivateHint(TdxBarManager* AManager, const String& AHint,
                    const String& AShortCut);
  void HideHint();
  bool IsShowing() const;
  TdxBarHintViewInfo* ViewInfo() const { return viewInfo_.get(); }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  TObjectPtr<TdxBarHintViewInfo> viewInfo_;
};

// The hint requests of bar controls and item controls: show (or cancel)
// the hint of the object, after the show delay unless a hint was just
// shown.
void dxBarActivateHint(TdxBarManager* AManager, bool AShow, const String& AText,
                       TdxBarItemControl* AObject);
// The single hint window (null before the first request).
TdxBarHintWindow* dxBarHintWindow();
// What the process-wide hint state holds, and its timers fired by hand
// (the test; the timer callbacks run the same routines).
bool dxBarHintActive();
bool dxBarHintTimerRunning();
bool dxBarQuickReshow();
void dxBarFireHintTimer();
void dxBarFireReshowTimer();
