// The calculation that turns an editor's properties and style into a view
// info: borders, content offsets, embedded buttons (bounds, states, widths,
// native parts), colours, and the sizes an editor asks for. A grid cell is
// calculated by the same code as a standalone editor, without a window.
// Windows only.
#pragma once

#include "cxEditStyle.h"
#include "cxEditViewInfo.h"

using TcxEditGetDefaultButtonWidthEvent =
    TClosure<void(TObject* Sender, Integer AIndex, Integer& ADefaultWidth)>;
using TcxEditViewDataGetDisplayTextEvent =
    TClosure<void(TObject* Sender, String& AText)>;

class TcxCustomEditViewData : public TPersistent {
  VARNEL_CLASS(TcxCustomEditViewData, TPersistent)
 public:
  // construction
  TcxCustomEditViewData(TcxCustomEditProperties* AProperties,
                        TcxCustomEditStyle* AStyle, bool AIsInplace);

  // properties
  TcxContainer* Edit = nullptr;  // null for cells and measurements
  TcxCustomEditProperties* Properties = nullptr;
  TcxCustomEditStyle* Style = nullptr;
  bool IsInplace = false;
  bool Enabled = true;
  bool Focused = false;
  bool IsDesigning = false;
  bool IsSelected = false;
  bool PreviewMode = false;
  TWinControl* InnerEdit = nullptr;
  bool HScrollBarVisible = false;
  bool VScrollBarVisible = false;
  TRect ContentOffset;
  TcxEditContentParams EditContentParams;
  TAlignment HorzAlignment = taLeftJustify;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  Integer VisibleButtonCount = 0;
  bool ButtonsOnlyStyle = false;
  bool NativeStyle = false;
  TcxContainerState ContainerState{csNormal};
  bool Hot = false;
  Integer LeftSideLeftmostButtonIndex = -1;
  Integer LeftSideRightmostButtonIndex = -1;
  Integer RightSideLeftmostButtonIndex = -1;
  Integer RightSideRightmostButtonIndex = -1;
  TColor TextColor = clDefault;
  TColor BackgroundColor = clDefault;
  TcxEditPaintOptions PaintOptions;
  Integer MaxLineCount = 0;
  bool IsValueSource = true;
  Integer SelStart = 0;
  Integer SelLength = 0;
  TColor SelTextColor = clDefault;
  TColor SelBackgroundColor = clDefault;
  // The editor's captured button (a button pressed and held), -1 for none.
  Integer CaptureButtonVisibleIndex = -1;
  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TcxEditViewDataGetDisplayTextEvent OnGetDisplayText;

  // methods
  virtual void Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                         const TPoint& P, TcxMouseButton AButton,
                         TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                         bool AIsMouseEvent);
  // Calculates at the origin and keeps the corner in the view info.
  void CalculateEx(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                   TcxMouseButton AButton, TShiftState AShift,
                   TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  String EditValueToDisplayText(const Variant& AValue);
  TcxEditPaintOptions GetPaintOptions() const;
  Integer DoGetDefaultButtonWidth(Integer AIndex);
  void CheckSizeConstraints(TSize& ASize);
  TSize GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                    const TcxEditSizeProperties& AEditSizeProperties,
                    TcxCustomEditViewInfo* AViewInfo = nullptr);

  // overridables
  virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* AButton);
  virtual bool CanPressButton(TcxCustomEditViewInfo* AViewInfo,
                              Integer AButtonVisibleIndex) {
    return (void)AViewInfo, (void)AButtonVisibleIndex, true;
  }
  virtual TcxContainerState GetContainerState(const TRect& ABounds,
                                              const TPoint& P,
                                              TcxMouseButton AButton,
                                              TShiftState AShift,
                                              bool AIsMouseEvent);
  virtual TRect GetEditContentDefaultOffsets();
  virtual Integer GetEditNativeState(TcxCustomEditViewInfo* AViewInfo);
  virtual void InitCacheData();
  virtual void InitEditContentParams(TcxEditContentParams& AParams);
  virtual void Initialize();
  virtual String InternalEditValueToDisplayText(const Variant& AValue) {
    return (void)AValue, String();
  }
  virtual TSize InternalGetEditConstantPartSize(
      TcxCanvas* ACanvas, bool AIsInplace,
      const TcxEditSizeProperties& AEditSizeProperties, TSize& AMinContentSize,
      TcxCustomEditViewInfo* AViewInfo);
  virtual TSize InternalGetEditContentSize(
      TcxCanvas* ACanvas, const Variant& AEditValue,
      const TcxEditSizeProperties& AEditSizeProperties) {
    return (void)ACanvas, (void)AEditValue, (void)AEditSizeProperties,
           TSize{0, 0};
  }
  // Puts what the value shows into the view info; a grid cell calls it
  // after Calculate.
  virtual void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                                    TcxCustomEditViewInfo* AViewInfo) {
    (void)ACanvas, (void)AValue, (void)AViewInfo;
  }
  virtual bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo,
                               Integer AButtonVisibleIndex) {
    return (void)AViewInfo, (void)AButtonVisibleIndex, false;
  }
  virtual void CalculateButtonBounds(TcxCanvas* ACanvas,
                                     TcxCustomEditViewInfo* AViewInfo,
                                     Integer AButtonVisibleIndex,
                                     TRect& AButtonsRect);
  virtual void CalculateButtonsViewInfo(TcxCanvas* ACanvas,
                                        const TRect& ABounds, const TPoint& P,
                                        TcxMouseButton AButton,
                                        TShiftState AShift,
                                        TcxCustomEditViewInfo* AViewInfo,
                                        bool AIsMouseEvent);
  virtual void CalculateButtonViewInfo(TcxCanvas* ACanvas,
                                       TcxCustomEditViewInfo* AViewInfo,
                                       TRect& ARect,
                                       Integer AButtonVisibleIndex);
  virtual void CalculateViewInfo(TcxCustomEditViewInfo* AViewInfo);
  virtual TColor GetBorderColor();
  virtual TRect GetBorderExtent();
  virtual TcxEditBorderStyle GetBorderStyle();
  virtual TRect GetButtonsExtent(TcxCanvas* ACanvas);
  virtual TRect GetClientExtent(TcxCanvas* ACanvas,
                                TcxCustomEditViewInfo* AViewInfo);
  virtual TSize GetEditConstantPartSize(
      TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
      TSize& AMinContentSize, TcxCustomEditViewInfo* AViewInfo = nullptr);
  virtual TSize GetEditContentSize(
      TcxCanvas* ACanvas, const Variant& AEditValue,
      const TcxEditSizeProperties& AEditSizeProperties);
  virtual TSize GetEditContentSizeCorrection();
  virtual bool HasShadow();
  static bool IsNativeStyle(TcxLookAndFeel* ALookAndFeel);

 protected:
  TcxEditButtonStyle GetButtonsStyle();
  TcxLookAndFeelPainterClass SkinPainter() const;

 private:
  TcxEditButton* ButtonOf(TcxEditButtonViewInfo* AButton) const;
  void StretchButtons(TcxCustomEditViewInfo* AViewInfo, Integer AFreeWidth);
};

using TcxCustomEditViewDataClass = TClass;

// A view data of an editor kind, for the properties' CreateViewData.
template <class T>
TObjectPtr<TcxCustomEditViewData> cxNewEditViewData(
    TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
    bool AIsInplace, bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new T(AProperties, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

// The shadow rule of the editor utilities.
bool IsShadowDrawingNeeded(TcxCustomEditViewData* AViewData);
// The default width of a button (editor utilities).
Integer CalculateEditDefaultButtonWidth(TcxCanvas* ACanvas,
                                        TcxEditButtonViewInfo* AViewInfo);
