// The label editor: text that is shown and never edited, aligned or turned
// by an angle, raised, lowered or outlined, and extruded towards one of
// eight directions. Windows only.
#pragma once

#include <climits>
#include <vector>

#include "cxEdit.h"
#include "cxEditStyle.h"
#include "cxExtEditUtils.h"
#include "cxGraphics.h"
#include "cxTextEdit.h"

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

class TcxCustomLabelProperties;

// A label draws no border unless one is asked for, and does not follow the
// mouse.
class TcxLabelEditStyle : public TcxEditStyle {
  VARNEL_CLASS(TcxLabelEditStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  TcxContainerBorderStyle DefaultBorderStyle() override;
  bool DefaultHotTrack() override { return false; }
};

// The label as drawn, in a window or a grid cell: the label rectangle, the
// settings of its look and the bitmap it is put together in.
class TcxCustomLabelViewInfo : public TcxCustomTextEditViewInfo {
  VARNEL_CLASS(TcxCustomLabelViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomLabelViewInfo();
  ~TcxCustomLabelViewInfo() override;
  void Assign(TObject* Source) override;

  TAlignment Alignment = taLeftJustify;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  Integer Angle = 0;
  Integer Depth = 0;
  TPoint DepthDelta{0, 0};
  TBitmap* Glyph = nullptr;  // the properties', not owned
  TcxLabelEffect LabelEffect = cxleNormal;
  TcxLabelStyle LabelStyle = cxlsNormal;
  TRect LabelRect;
  TcxLabelOrientation Orientation = cxoRightBottom;
  Integer PenWidth = 1;
  TColor ShadowedColor = clGrayText;
  bool WordWrap = false;
  bool ShowEndEllipsis = false;
  TRect InplaceTextMargins;
  TRect FocusRect;
  bool ShowAccelChar = true;
  // Set when the cache must be drawn again before it is shown.
  bool CacheStale = true;

  void SetBackgroundColor(TColor Value) override;
  void Offset(Integer DX, Integer DY) override;
  void InternalPaint(TcxCanvas* ACanvas) override;

  // overridables
  virtual void DrawLabel(TcxCanvas* ACanvas);

 private:
  // Draws the label with its top-left corner at AOrigin.
  void DrawLabelOn(TcxCanvas* ACanvas, const TPoint& AOrigin);
  void DrawTextAt(TcxCanvas* ACanvas, const TRect& ARect, const TPoint& APoint,
                  Integer AAngle, const TcxLabelTextCopy& ACopy);

  TObjectPtr<TcxBitmap> cache_;
  TPoint lastPosition_{INT_MAX, INT_MAX};
};

class TcxCustomLabelViewData : public TcxCustomEditViewData {
  VARNEL_CLASS(TcxCustomLabelViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  TcxCustomLabelProperties* GetProperties() const;
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
  String InternalEditValueToDisplayText(const Variant& AValue) override;
  TSize GetEditContentSize(
      TcxCanvas* ACanvas, const Variant& AEditValue,
      const TcxEditSizeProperties& AEditSizeProperties) override;

  // overridables
  // DrawText flags of unrotated text.
  virtual Integer GetDrawTextFlags();
};

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
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  // The glyph that fills the letters, none when not made.
  TBitmap* GlyphOrNull() { return glyph_.Assigned() ? glyph_.Get() : nullptr; }

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

  TcxCustomLabelViewInfo* LabelViewInfo() const {
    return static_cast<TcxCustomLabelViewInfo*>(ViewInfo());
  }
  bool CanAutoWidth() override { return !ActiveLabelProperties()->WordWrap(); }

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

 protected:
  void Dispatch(TMessage& Message) override;
  void InternalSetEditValue(const Variant& Value,
                            bool AValidateEditValue) override;
  void Paint() override;
  void PropertiesChanged(TObject* Sender) override;

 private:
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
