// The check box editor and the check-mark painting that the check box, the
// check group and the check combo box share: one check square in every look
// (themed, painter, custom glyph strip, classic frame control, flat drawing
// with the check-mark mask). Windows only.
#pragma once

#include "Graphics.h"
#include "cxCheckStates.h"
#include "cxContainer.h"
#include "cxEdit.h"
#include "cxEditButtons.h"
#include "cxExtEditUtils.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxTextEdit.h"

// ---------------------------------------------------------------------------
// Check painting
// ---------------------------------------------------------------------------

void DrawEditCheck(
    TcxCanvas* ACanvas, const TRect& ACheckRect, TcxCheckBoxState AState,
    TcxEditCheckState ACheckState, TBitmap* AGlyph, Integer AGlyphCount,
    TcxEditBorderStyle AEditBorderStyle, bool ANativeStyle, TColor ABorderColor,
    TColor ABrushColor, bool ADrawBackground, bool AIsDesigning, bool AFocused,
    bool AIsThreeGlyphSets, TcxLookAndFeelPainterClass APainter,
    TcxCheckBoxNullValueShowingStyle ANullValueShowingStyle = nssGrayedChecked);
TSize GetEditCheckSize(TcxCanvas* ACanvas, bool ANativeStyle, TBitmap* AGlyph,
                       Integer AGlyphCount,
                       TcxLookAndFeelPainterClass APainter);
// 0 when native, with a glyph or a painter; otherwise 2 less the container
// border width of the style or kind.
Integer GetEditCheckBorderOffset(TcxContainerBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
Integer GetEditCheckBorderOffset(TcxEditBorderStyle ABorderStyle,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
Integer GetEditCheckBorderOffset(TcxLookAndFeelKind ALookAndFeelKind,
                                 bool ANativeStyle, bool AHasGlyph,
                                 TcxLookAndFeelPainterClass APainter);
// Draws the text with a clear brush (disabled look when not enabled) and
// leaves a solid brush.
void DrawCheckBoxText(TcxCanvas* ACanvas, const String& AText, TFont* AFont,
                      TColor ATextColor, const TRect& ARect, Integer AFlags,
                      bool AEnabled);
// The check mark as a mask (black is the mark) of the standard check size,
// made from the system's check-box images.
TBitmap* cxCheckMarkMask();
// The frame-control state flags of the classic check in that state.
UINT GetClassicCheckFrameState(TcxCheckBoxState AState,
                               TcxEditCheckState ACheckState,
                               TcxEditBorderStyle AEditBorderStyle,
                               TcxCheckBoxNullValueShowingStyle ANullStyle);

// ---------------------------------------------------------------------------
// The check box editor
// ---------------------------------------------------------------------------

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
 public:
  // construction
  explicit TcxCustomCheckBoxProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomCheckBoxProperties() override;
  void Assign(TPersistent* Source) override;

  // properties
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value);
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool IsCaptionAssigned() const { return captionAssigned_; }
  void ClearCaptionAssigned() { captionAssigned_ = false; }
  const String& DisplayChecked() const { return displayChecked_; }
  void SetDisplayChecked(const String& Value);
  const String& DisplayGrayed() const { return displayGrayed_; }
  void SetDisplayGrayed(const String& Value);
  const String& DisplayUnchecked() const { return displayUnchecked_; }
  void SetDisplayUnchecked(const String& Value);
  bool FullFocusRect() const { return fullFocusRect_; }
  void SetFullFocusRect(bool Value);
  // Made on first use.
  TBitmap* Glyph() { return glyph_.Get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Set(Value); }
  bool HasGlyph() const { return glyph_.Assigned(); }
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  TcxCheckBoxNullValueShowingStyle NullStyle() const { return nullStyle_; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle Value);
  bool UseAlignmentWhenInplace() const { return useAlignmentWhenInplace_; }
  void SetUseAlignmentWhenInplace(bool Value);
  const Variant& ValueChecked() const { return valueChecked_; }
  void SetValueChecked(const Variant& Value);
  const Variant& ValueGrayed() const { return valueGrayed_; }
  void SetValueGrayed(const Variant& Value);
  const Variant& ValueUnchecked() const { return valueUnchecked_; }
  void SetValueUnchecked(const Variant& Value);

  // methods
  // Applied only when the three differ and neither checked nor unchecked
  // is Null.
  void SetStateValues(const Variant& AChecked, const Variant& AGrayed,
                      const Variant& AUnchecked);
  TcxCheckBoxState GetState(const Variant& AEditValue);
  Variant StateToEditValue(TcxCheckBoxState AState);

  // overrides
  bool CanCompareEditValue() override { return true; }
  bool HasDisplayValue() override { return true; }
  bool IsResetEditClass() override { return true; }
  bool IsActivationKey(char AKey) override { return AKey == ' '; }
  TAlignment GetDefaultHorzAlignment() override { return taLeftJustify; }
  TcxEditSupportedOperations GetSupportedOperations() override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  bool CompareDisplayValues(const Variant& AEditValue1,
                            const Variant& AEditValue2) override;
  TcxCustomEditClass GetContainerClass() override;
  TcxEditSpecialFeatures GetSpecialFeatures() override {
    return {esfNoContentPart};
  }
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;

  // overridables
  virtual bool IsEmbeddedEdit() { return false; }
  // The glyph strip when one is set, else none.
  virtual TBitmap* InternalGetGlyph() {
    return glyph_.Assigned() ? glyph_.Get() : nullptr;
  }

 private:
  bool IsOwnerLoading();
  bool DiffersFromAll(const Variant& Value) const;
  template <class T>
  void Store(T& AField, const T& Value) {
    if (AField == Value) return;
    AField = Value;
    Changed();
  }

  bool allowGrayed_ = false;
  String caption_;
  bool captionAssigned_ = false;
  String displayChecked_;
  String displayGrayed_;
  String displayUnchecked_;
  bool fullFocusRect_ = false;
  TcxLazyBitmap glyph_{[this] { Changed(); }};
  Integer glyphCount_ = 6;
  bool multiLine_ = false;
  TcxCheckBoxNullValueShowingStyle nullStyle_ = nssGrayedChecked;
  bool useAlignmentWhenInplace_ = false;
  Variant valueChecked_ = Variant(true);
  Variant valueGrayed_ = Null();
  Variant valueUnchecked_ = Variant(false);
};

// The check box draws no container border of its own.
class TcxCheckBoxStyle : public TcxEditStyle {
  VARNEL_CLASS(TcxCheckBoxStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  bool HasBorder() override { return false; }
};

// What one check box shows: the mark, its caption and focus rectangle, in a
// cell or a window.
class TcxCustomCheckBoxViewInfo : public TcxCustomTextEditViewInfo {
  VARNEL_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomCheckBoxViewInfo() = default;
  void Assign(TObject* Source) override;

  TRect CheckRect;
  TRect FocusRect;
  TAlignment Alignment = taLeftJustify;
  TcxEditBorderStyle CheckBorderStyle = ebsNone;
  Integer BorderOffset = 0;
  TBitmap* Glyph = nullptr;  // the properties', not owned
  Integer GlyphCount = 0;
  bool HasGlyph = false;
  TcxCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
  bool IsTextColorAssigned = false;
  TcxEditCheckState CheckState = ecsNormal;
  TcxCheckBoxState State = cbsUnchecked;

  void InternalPaint(TcxCanvas* ACanvas) override;
  void Offset(Integer DX, Integer DY) override;
  bool IsHotTrack() override { return true; }
  bool IsHotTrack(const TPoint& P) override { return (void)P, true; }
  bool NeedShowHint(TcxCanvas*, const TPoint&, String&, bool&,
                    TRect&) override {
    return false;
  }
  bool Repaint(TWinControl* AControl, const TRect& AInnerEditRect,
               TcxCustomEditViewInfo* AOldViewInfo = nullptr) override;
  using TcxCustomTextEditViewInfo::Repaint;
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
  VARNEL_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // A window keeps the mark's mouse and key state itself; a cell takes it
  // from the mouse position of the calculation.
  bool HasControlCheckState = false;
  TcxEditCheckState ControlCheckState = ecsNormal;

  TcxCustomCheckBoxProperties* GetProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(Properties);
  }
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
  TcxEditBorderStyle GetBorderStyle() override { return ebsNone; }
  TSize InternalGetEditConstantPartSize(
      TcxCanvas* ACanvas, bool AIsInplace,
      const TcxEditSizeProperties& AEditSizeProperties, TSize& AMinContentSize,
      TcxCustomEditViewInfo* AViewInfo) override;

  // overridables
  virtual Integer GetDrawTextFlags();

 private:
  TcxEditCheckState CalculateCheckState(TcxCustomCheckBoxViewInfo* AViewInfo,
                                        const TPoint& P, TcxMouseButton AButton,
                                        TShiftState AShift);
  void CalculateFocusRect(TcxCanvas* ACanvas,
                          TcxCustomCheckBoxViewInfo* AViewInfo);
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
  VARNEL_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
 public:
  using TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties;
};

class TcxCustomCheckBox : public TcxCustomEdit {
  VARNEL_CLASS(TcxCustomCheckBox, TcxCustomEdit)
 public:
  // construction
  explicit TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace = false);

  // properties
  TcxCustomCheckBoxProperties* ActiveCheckProperties() {
    return static_cast<TcxCustomCheckBoxProperties*>(ActiveProperties());
  }
  TcxCustomCheckBoxProperties* CheckProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(Properties());
  }
  bool Checked() { return State() == cbsChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
  TcxCheckBoxState State();
  void SetState(TcxCheckBoxState Value);
  TcxEditCheckState CheckState() const { return checkState_; }
  // Where the mark was last painted.
  const TRect& CheckRect() const { return checkRect_; }
  TcxCustomCheckBoxViewInfo* CheckViewInfo() const {
    return static_cast<TcxCustomCheckBoxViewInfo*>(ViewInfo());
  }

  // methods
  void Clear() { SetState(cbsUnchecked); }
  void Loaded() override;
  TClass GetPropertiesClass() override {
    return TcxCheckBoxProperties::StaticClass();
  }
  void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue,
                        bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;
  bool DefaultParentColor() override { return true; }

  // overridables
  virtual void Toggle();

 protected:
  void InternalSetEditValue(const Variant& Value,
                            bool AValidateEditValue) override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave(TControl* AControl) override;
  void DoExit() override;
  void Dispatch(TMessage& Message) override;
  void InitializeViewData(TcxCustomEditViewData* AViewData) override;
  void FillSizeProperties(TcxEditSizeProperties& AProps) override;
  void SetCheckState(TcxEditCheckState Value);

 private:
  TcxEditCheckState checkState_ = ecsNormal;
  TRect checkRect_;
  bool checkPressed_ = false;
  bool mousePressed_ = false;
  bool stateRequested_ = false;
  TcxCheckBoxState requestedState_ = cbsUnchecked;
};

class TcxCheckBox : public TcxCustomCheckBox {
  VARNEL_CLASS(TcxCheckBox, TcxCustomCheckBox)
 public:
  using TcxCustomCheckBox::TcxCustomCheckBox;
  TcxCheckBoxProperties* Properties() const {
    return static_cast<TcxCheckBoxProperties*>(TcxCustomCheckBox::Properties());
  }
};
