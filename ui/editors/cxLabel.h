// The label editor: text that is shown and never edited, aligned or turned
// by an angle, raised, lowered or outlined, and extruded towards one of
// eight directions. Windows only.
#pragma once

#include <vector>

#include "cxEdit.h"
#include "cxEditStyle.h"
#include "cxExtEditUtils.h"
#include "cxGraphics.h"

enum TcxLabelEffect : Byte { cxleNormal, cxleFun, cxleExtrude, cxleCool };
enum TcxLabelStyle : Byte { cxlsNormal, cxlsRaised, cxlsLowered, cxlsOutLine };
enum TcxLabelOrientation : Byte {
  cxoLeft,
  cxoRight,
  cxoTop,
  cxoBottom,
  cxoLeftTop,
  cxoLeftBottom,
  cxoRightTop,
  cxoRightBottom
};

// The extrusion's extent for the effect, orientation and depth.
TPoint cxLabelDepthDelta(TcxLabelEffect AEffect,
                         TcxLabelOrientation AOrientation, Integer ADepth);
// 1 for raised and lowered text under 12 points, 2 from 12 points on.
Integer cxLabelStyleOffset(TcxLabelStyle AStyle, Integer AFontSize);

// One copy of the text the label draws: where (relative to the start
// point) and in which colour; the face is marked.
struct TcxLabelTextCopy {
  TPoint Offset;
  TColor Color;
  bool Face = false;
  bool Outline = false;
};
struct TcxLabelLook {
  TcxLabelEffect Effect = cxleNormal;
  TcxLabelStyle Style = cxlsNormal;
  TcxLabelOrientation Orientation = cxoRightBottom;
  Integer Depth = 0;
  Integer FontSize = 8;
  bool Rotatable = false;
  TColor TextColor = clWindowText;
  TColor ShadowedColor = clGrayText;
  TColor BackgroundColor = clWindow;
};
// The copies in drawing order: the extrusion, then the face's layers.
std::vector<TcxLabelTextCopy> cxLabelTextCopies(const TcxLabelLook& ALook);

class TcxCustomLabelProperties : public TcxCustomEditProperties {
  VARNEL_CLASS(TcxCustomLabelProperties, TcxCustomEditProperties)
 public:
  // construction
  explicit TcxCustomLabelProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomLabelProperties() override;
  void Assign(TPersistent* Source) override;

  // properties
  Integer Angle() const { return angle_; }
  void SetAngle(Integer Value);
  Word Depth() const { return depth_; }
  void SetDepth(Word Value);
  TBitmap* Glyph() { return glyph_.Get(); }
  void SetGlyph(TBitmap* Value) { glyph_.Set(Value); }
  bool HasGlyph() const { return glyph_.Assigned(); }
  TcxLabelEffect LabelEffect() const { return effect_; }
  void SetLabelEffect(TcxLabelEffect Value);
  TcxLabelStyle LabelStyle() const { return style_; }
  void SetLabelStyle(TcxLabelStyle Value);
  TcxLabelOrientation Orientation() const { return orientation_; }
  void SetOrientation(TcxLabelOrientation Value);
  Integer PenWidth() const { return penWidth_; }
  void SetPenWidth(Integer Value);
  TColor ShadowedColor() const { return shadowedColor_; }
  void SetShadowedColor(TColor Value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  bool ShowEndEllipsis() const { return showEndEllipsis_; }
  void SetShowEndEllipsis(bool Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  // overridables
  virtual void CalculateDepthDelta(TPoint& ADelta);

  // overrides
  bool CanCompareEditValue() override { return true; }
  bool HasDisplayValue() override { return true; }
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {}; }
  TcxEditSupportedOperations GetSupportedOperations() override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsText; }
  TcxCustomEditClass GetContainerClass() override;

 private:
  template <class T>
  void Store(T& AField, const T& Value) {
    if (AField == Value) return;
    AField = Value;
    Changed();
  }

  Integer angle_ = 0;
  Word depth_ = 0;
  TcxLazyBitmap glyph_{[this] { Changed(); }};
  TcxLabelEffect effect_ = cxleNormal;
  TcxLabelStyle style_ = cxlsNormal;
  TcxLabelOrientation orientation_ = cxoRightBottom;
  Integer penWidth_ = 1;
  TColor shadowedColor_ = clGrayText;
  bool showAccelChar_ = true;
  bool showEndEllipsis_ = false;
  bool wordWrap_ = false;
};

class TcxLabelProperties : public TcxCustomLabelProperties {
  VARNEL_CLASS(TcxLabelProperties, TcxCustomLabelProperties)
 public:
  using TcxCustomLabelProperties::TcxCustomLabelProperties;
};

class TcxCustomLabel : public TcxCustomEdit {
  VARNEL_CLASS(TcxCustomLabel, TcxCustomEdit)
 public:
  // construction
  explicit TcxCustomLabel(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomLabel() override;

  // properties
  TcxCustomLabelProperties* ActiveLabelProperties() {
    return static_cast<TcxCustomLabelProperties*>(ActiveProperties());
  }
  TcxCustomEditStyle* Style() const {
    return static_cast<TcxCustomEditStyle*>(GetStyle());
  }
  TWinControl* FocusControl() const { return focusControl_; }
  // A label cannot be its own focus control.
  void SetFocusControl(TWinControl* Value);

  // These editors do not measure their content yet: sizing them by the
  // core's measure would shrink them, so they keep the size they are given.
  bool CanAutoSize() override { return false; }

  // methods
  bool CanFocus() override { return IsInplace() && TcxCustomEdit::CanFocus(); }
  bool CanFocusOnClick() override {
    return IsInplace() && TcxCustomEdit::CanFocusOnClick();
  }
  bool DefaultParentColor() override { return true; }
  bool HasTextBaseLine() { return ActiveLabelProperties()->Angle() == 0; }
  TClass GetPropertiesClass() override {
    return TcxLabelProperties::StaticClass();
  }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Draws the label into ABounds of the canvas.
  void DrawLabel(TcxCanvas* ACanvas, const TRect& ABounds);

 protected:
  void Dispatch(TMessage& Message) override;
  void InternalSetEditValue(const Variant& Value,
                            bool AValidateEditValue) override;
  void Paint() override;

 private:
  void DrawTextAt(TcxCanvas* ACanvas, const String& AText, const TRect& ARect,
                  const TPoint& APoint, Integer AAngle,
                  const TcxLabelTextCopy& ACopy);

  TWinControl* focusControl_ = nullptr;
  bool settingCaption_ = false;
};

class TcxLabel : public TcxCustomLabel {
  VARNEL_CLASS(TcxLabel, TcxCustomLabel)
 public:
  using TcxCustomLabel::TcxCustomLabel;
  TcxLabelProperties* Properties() const {
    return static_cast<TcxLabelProperties*>(TcxCustomLabel::Properties());
  }
};
