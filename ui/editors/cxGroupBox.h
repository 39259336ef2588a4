// The group box: an editor-framework control that frames its children
// with a caption on one of thirteen positions. The button groups (radio
// group, check group) derive from it. Windows only.
#pragma once

#include "cxEdit.h"
#include "cxEditStyle.h"
#include "cxLookAndFeelPainters.h"
#include "cxTextEdit.h"

enum TcxCaptionAlignment : Byte {
  alTopLeft,
  alTopCenter,
  alTopRight,
  alBottomLeft,
  alBottomCenter,
  alBottomRight,
  alLeftTop,
  alLeftCenter,
  alLeftBottom,
  alRightTop,
  alRightCenter,
  alRightBottom,
  alCenterCenter
};

// The caption side a painter draws for the alignment.
TcxGroupBoxCaptionPosition cxGroupBoxCaptionPosition(
    TcxCaptionAlignment AAlignment);
// Left and right alignments write the caption vertically.
bool cxIsVerticalCaption(TcxCaptionAlignment AAlignment);
// The caption rectangle of a caption ATextSize large (width along the
// text) in a control AControlSize large; AShadow leaves room for the
// container shadow at the right and bottom.
TRect cxGroupBoxCaptionRect(TcxCaptionAlignment AAlignment,
                            const TSize& ATextSize, const TSize& AControlSize,
                            bool AShadow);

// In a grid cell a group box shows only its background; a window paints
// its frame and caption itself.
class TcxGroupBoxViewInfo : public TcxCustomTextEditViewInfo {
  VARNEL_CLASS(TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxGroupBoxViewInfo() = default;
  void InternalPaint(TcxCanvas* ACanvas) override;
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
  VARNEL_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  // A window's extent holds its caption; a cell has only its offsets.
  TRect GetClientExtent(TcxCanvas* ACanvas,
                        TcxCustomEditViewInfo* AViewInfo) override;
};

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  TcxCustomEditClass GetContainerClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
};

class TcxCustomGroupBox : public TcxCustomEdit {
  VARNEL_CLASS(TcxCustomGroupBox, TcxCustomEdit)
 public:
  // construction
  explicit TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomGroupBox() override;

  // properties
  TcxCaptionAlignment Alignment() const { return alignment_; }
  void SetAlignment(TcxCaptionAlignment Value);
  // Stored with the form; the group box's painting does not read it.
  TColor CaptionBkColor() const { return captionBkColor_; }
  void SetCaptionBkColor(TColor Value) { captionBkColor_ = Value; }
  TFont* CaptionFont() const { return captionFont_.get(); }
  // The caption as drawn: without accelerator marks when vertical.
  const String& VisibleCaption() const { return visibleCaption_; }
  TcxCustomEditStyle* Style() const {
    return static_cast<TcxCustomEditStyle*>(GetStyle());
  }

  // methods
  // The area the caption covers; empty without a caption.
  TRect GetCaptionRect();
  void CalculateCaptionFont();
  bool IsAccelHandling() const { return accelHandling_; }

  // class-library overrides
  void AdjustClientRect(TRect& Rect) override;
  bool CanFocusOnClick() override { return false; }
  // A group box keeps the size it is given.
  bool CanAutoSize() override { return false; }
  bool IsContainerClass() override { return true; }
  bool DefaultParentColor() override { return true; }
  void Dispatch(TMessage& Message) override;
  TClass GetPropertiesClass() override {
    return TcxCustomGroupBoxProperties::StaticClass();
  }

  // overridables
  // The border of each side, the caption side widened to hold the
  // caption.
  virtual TRect GetClientExtent();
  virtual TRect GetBorderExtentEx();
  virtual TColor GetBorderColor();

 protected:
  TcxContainerStyle* InternalGetActiveStyle() override;
  void Paint() override;
  void ContainerStyleChanged(TObject* Sender) override;
  // The first child gets the focus for the caption's accelerator.
  virtual bool HandleDialogChar(TMessage& Message);
  void SetAccelHandling(bool Value) { accelHandling_ = Value; }
  Integer CaptionLineHeight();
  void DrawFrame(TcxCanvas* ACanvas, const TRect& ACaptionRect);
  void DrawCaption(TcxCanvas* ACanvas, const TRect& ACaptionRect);
  void UpdateVisibleCaption();

 private:
  TcxCaptionAlignment alignment_ = alTopLeft;
  TColor captionBkColor_ = clBtnFace;
  TObjectPtr<TFont> captionFont_;
  bool accelHandling_ = false;
  String visibleCaption_;
};

class TcxGroupBox : public TcxCustomGroupBox {
  VARNEL_CLASS(TcxGroupBox, TcxCustomGroupBox)
 public:
  using TcxCustomGroupBox::TcxCustomGroupBox;
};
