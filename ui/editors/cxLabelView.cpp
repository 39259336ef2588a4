// The label's view data and view info: the settings copied for one paint,
// the size the label asks for, and the drawing of its text (rotated, raised,
// lowered, outlined, filled with a glyph, extruded) through a cached bitmap
// that a window and a grid cell share.
#include <algorithm>
#include <climits>
#include <cmath>

#include "Handles.h"
#include "ScopeGuard.h"
#include "WinApi.h"
#include "cxEditUtils.h"
#include "cxExtEditUtils.h"
#include "cxGeometry.h"
#include "cxLabel.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

Integer EffectiveAngle(Integer AAngle, bool ARotatable) {
  return ARotatable ? (AAngle % 360 + 360) % 360 : 0;
}

// Rounds the way the label's geometry does: half up, then towards zero.
Integer RoundHalfUp(double V) { return static_cast<Integer>(V + 0.5); }

}  // namespace

// ---------------------------------------------------------------------------
// TcxLabelEditStyle
// ---------------------------------------------------------------------------

TcxContainerBorderStyle TcxLabelEditStyle::DefaultBorderStyle() {
  return IsBaseStyle() ? cbsNone : TcxEditStyle::DefaultBorderStyle();
}

// ---------------------------------------------------------------------------
// TcxCustomLabelViewInfo
// ---------------------------------------------------------------------------

TcxCustomLabelViewInfo::TcxCustomLabelViewInfo() : cache_(new TcxBitmap()) {}

TcxCustomLabelViewInfo::~TcxCustomLabelViewInfo() = default;

void TcxCustomLabelViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomLabelViewInfo*>(Source);
  if (!source) return;
  Alignment = source->Alignment;
  VertAlignment = source->VertAlignment;
  Angle = source->Angle;
  Depth = source->Depth;
  DepthDelta = source->DepthDelta;
  Glyph = source->Glyph;
  LabelEffect = source->LabelEffect;
  LabelStyle = source->LabelStyle;
  LabelRect = source->LabelRect;
  Orientation = source->Orientation;
  PenWidth = source->PenWidth;
  ShadowedColor = source->ShadowedColor;
  WordWrap = source->WordWrap;
  ShowEndEllipsis = source->ShowEndEllipsis;
  InplaceTextMargins = source->InplaceTextMargins;
  FocusRect = source->FocusRect;
  ShowAccelChar = source->ShowAccelChar;
  CacheStale = true;
}

void TcxCustomLabelViewInfo::SetBackgroundColor(TColor Value) {
  TcxCustomTextEditViewInfo::SetBackgroundColor(Value);
  CacheStale = true;
}

void TcxCustomLabelViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  LabelRect = cxRectOffset(LabelRect, DX, DY);
  if (!cxRectIsEmpty(FocusRect)) FocusRect = cxRectOffset(FocusRect, DX, DY);
  // What shows through a transparent label moved with it.
  if (Transparent) CacheStale = true;
}

void TcxCustomLabelViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  DrawCustomEdit(ACanvas, this, false, bpsSolid);
  DrawLabel(ACanvas);
}

void TcxCustomLabelViewInfo::DrawLabel(TcxCanvas* ACanvas) {
  if (cxRectIsEmpty(LabelRect)) return;
  const TPoint position{LabelRect.Left + Left, LabelRect.Top + Top};
  if (position != lastPosition_ || CacheStale || Transparent) {
    cache_->SetSize(LabelRect.Width(), LabelRect.Height());
    TcxCanvas* canvas = cache_->cxCanvas();
    canvas->Font()->Assign(ACanvas->Font());
    // A see-through label takes what lies under it on the target first.
    if (Transparent) {
      if (!IsInplace && Edit)
        cxDrawTransparentControlBackground(Edit, ACanvas, LabelRect);
      ::BitBlt(canvas->Handle(), 0, 0, LabelRect.Width(), LabelRect.Height(),
               ACanvas->Handle(), LabelRect.Left, LabelRect.Top, SRCCOPY);
    }
    DrawLabelOn(canvas, TPoint{-LabelRect.Left, -LabelRect.Top});
    lastPosition_ = position;
    CacheStale = false;
  }
  ::BitBlt(ACanvas->Handle(), LabelRect.Left, LabelRect.Top, LabelRect.Width(),
           LabelRect.Height(), cache_->cxCanvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxCustomLabelViewInfo::DrawLabelOn(TcxCanvas* ACanvas,
                                         const TPoint& AOrigin) {
  auto saved = ACanvas->SavedDCScope();
  const TRect label = cxRectOffset(LabelRect, AOrigin);
  if (!Transparent) ACanvas->FillRect(label, BackgroundColor);
  TRect text = label;
  if (IsInplace) {
    text = TRect{text.Left + InplaceTextMargins.Left,
                 text.Top + InplaceTextMargins.Top,
                 text.Right - InplaceTextMargins.Right,
                 text.Bottom - InplaceTextMargins.Bottom};
  } else if (EditBorderStyle != ebsNone) {
    text = cxRectInflate(text, -1, 0);
  }
  const bool rotatable = AdjustCanvasFont(ACanvas->Canvas(), Font, Angle);
  const Integer angle = EffectiveAngle(Angle, rotatable);
  TcxLabelLook look;
  look.Effect = LabelEffect;
  look.Style = LabelStyle;
  look.Orientation = Orientation;
  look.Depth = Depth;
  look.FontSize = Font ? Font->Size() : 8;
  look.Rotatable = rotatable;
  look.TextColor = TextColor;
  look.ShadowedColor = ShadowedColor;
  look.BackgroundColor = BackgroundColor;
  const TRect area{text.Left, text.Top, text.Right - DepthDelta.X,
                   text.Bottom - DepthDelta.Y};
  TPoint start{0, 0};
  if (angle != 0) {
    const TSize extent = ACanvas->TextExtent(Text);
    const double a = angle * kPi / 180.0;
    const double cx = (area.Left + area.Right) / 2.0;
    const double cy = (area.Top + area.Bottom) / 2.0;
    start.X =
        static_cast<Integer>(std::floor(cx - extent.cx / 2.0 * std::cos(a) -
                                        extent.cy / 2.0 * std::sin(a) + 0.5));
    start.Y =
        static_cast<Integer>(std::floor(cy + extent.cx / 2.0 * std::sin(a) -
                                        extent.cy / 2.0 * std::cos(a) + 0.5));
  }
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Canvas()->Refresh();
  TSelectObject selected(ACanvas->Handle(), ACanvas->Font()->Handle());
  for (const TcxLabelTextCopy& copy : cxLabelTextCopies(look))
    DrawTextAt(ACanvas, area,
               TPoint{start.X + copy.Offset.X, start.Y + copy.Offset.Y}, angle,
               copy);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLabelViewInfo::DrawTextAt(TcxCanvas* ACanvas, const TRect& ARect,
                                        const TPoint& APoint, Integer AAngle,
                                        const TcxLabelTextCopy& ACopy) {
  const HDC dc = ACanvas->Handle();
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(ACopy.Color)));
  SetBkMode(dc, TRANSPARENT);
  const bool fill = ACopy.Face && VerifyBitmap(Glyph) && !ACopy.Outline &&
                    cxIsTrueTypeFont(ACanvas->Font());
  const bool path = ACopy.Outline || fill;
  if (path) BeginPath(dc);
  if (AAngle != 0) {
    const String text = ShowAccelChar ? RemoveAccelChars(Text) : Text;
    TextOutA(dc, APoint.X, APoint.Y, text.c_str(),
             static_cast<int>(text.size()));
  } else {
    TRect r = cxRectOffset(ARect, APoint);
    UINT flags = static_cast<UINT>(DrawTextFlags);
    if (!ShowAccelChar) flags |= DT_NOPREFIX;
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()),
              reinterpret_cast<RECT*>(&r), flags);
  }
  if (!path) return;
  EndPath(dc);
  if (ACopy.Outline) {
    TPenHandle pen(CreatePen(PS_SOLID, PenWidth,
                             static_cast<COLORREF>(ColorToRGB(ACopy.Color))));
    TSelectObject selected(dc, pen.get());
    StrokePath(dc);
    return;
  }
  auto saved = ACanvas->SavedDCScope();
  SelectClipPath(dc, RGN_AND);
  TBrushHandle brush(CreatePatternBrush(Glyph->Handle()));
  FillRect(dc, reinterpret_cast<const RECT*>(&ARect), brush.get());
}

// ---------------------------------------------------------------------------
// TcxCustomLabelViewData
// ---------------------------------------------------------------------------

TcxCustomLabelProperties* TcxCustomLabelViewData::GetProperties() const {
  return static_cast<TcxCustomLabelProperties*>(Properties);
}

Integer TcxCustomLabelViewData::GetDrawTextFlags() {
  TcxCustomLabelProperties* props = GetProperties();
  return PrepareTextFlag(
      0, props->Alignment()->Horz(),
      static_cast<TcxAlignmentVert>(props->Alignment()->Vert()),
      GetPaintOptions().Contains(epoShowEndEllipsis),
      props->WordWrap() && props->Angle() % 360 == 0, 0, true, true);
}

void TcxCustomLabelViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds,
                                       const TPoint& P, TcxMouseButton AButton,
                                       TShiftState AShift,
                                       TcxCustomEditViewInfo* AViewInfo,
                                       bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift,
                                   AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxCustomLabelViewInfo*>(AViewInfo);
  if (!vi) return;
  if (IsInplace && (ABounds.Right == INT_MAX || ABounds.Bottom == INT_MAX))
    return;
  TcxCustomLabelProperties* props = GetProperties();
  vi->DrawTextFlags = static_cast<Cardinal>(GetDrawTextFlags());
  if (NativeStyle && vi->EditBorderStyle == ebsNone) vi->NativeStyle = false;
  if (Edit && !IsInplace) {
    if (auto* edit = dynamic_cast<TcxCustomEdit*>(Edit))
      vi->Transparent = edit->Transparent();
  }
  vi->LabelEffect = props->LabelEffect();
  vi->LabelStyle = props->LabelStyle();
  vi->Orientation = props->Orientation();
  vi->Depth = props->Depth();
  vi->ShadowedColor = props->ShadowedColor();
  vi->ShowAccelChar = props->ShowAccelChar();
  vi->Angle = props->Angle();
  vi->PenWidth = props->PenWidth();
  vi->WordWrap = props->WordWrap();
  vi->ShowEndEllipsis = props->ShowEndEllipsis();
  vi->Alignment = props->Alignment()->Horz();
  vi->VertAlignment = props->Alignment()->Vert();
  vi->Glyph = props->GlyphOrNull();
  props->CalculateDepthDelta(vi->DepthDelta);
  vi->LabelRect = vi->ClientRect;
  vi->TextRect = vi->ClientRect;
  vi->FocusRect = !IsInplace && Focused && !vi->Text.empty()
                      ? cxRectInflate(vi->ClientRect, 1, 1)
                      : TRect{};
  vi->InplaceTextMargins = GetTextEditDrawTextOffset(vi->Alignment, true);
  vi->CacheStale = true;
}

void TcxCustomLabelViewData::EditValueToDrawValue(
    TcxCanvas*, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TcxCustomLabelViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->Text = EditValueToDisplayText(AValue);
  vi->CacheStale = true;
}

String TcxCustomLabelViewData::InternalEditValueToDisplayText(
    const Variant& AValue) {
  return VarToStr(AValue);
}

TSize TcxCustomLabelViewData::GetEditContentSize(
    TcxCanvas* ACanvas, const Variant& AEditValue,
    const TcxEditSizeProperties& AEditSizeProperties) {
  if (!ACanvas) return TSize{0, 0};
  TcxCustomLabelProperties* props = GetProperties();
  TFont* font = Style->GetVisibleFont();
  TObjectPtr<TFont> savedFont(new TFont);
  savedFont->Assign(ACanvas->Font());
  TScopeGuard restore([&] { ACanvas->Font()->Assign(savedFont.get()); });

  String text = EditValueToDisplayText(AEditValue);
  if (text.empty()) text = " ";
  const bool rotatable =
      AdjustCanvasFont(ACanvas->Canvas(), font, props->Angle());
  const Integer angle = EffectiveAngle(props->Angle(), rotatable);
  const Integer styleOffset =
      cxLabelStyleOffset(props->LabelStyle(), font->Size());
  TPoint delta;
  props->CalculateDepthDelta(delta);
  const bool bordered =
      !IsInplace && Style->HasBorder() && Style->EditBorderStyle() != ebsNone;
  const TRect margins = GetTextEditDrawTextOffset(taLeftJustify, true);

  Integer width = AEditSizeProperties.Width;
  if (width >= 0) {
    width -= styleOffset + delta.X;
    if (bordered) width -= 2;
    if (IsInplace) width -= margins.Left + margins.Right;
    width = std::max(width, 0);
  }
  const bool wrap = props->WordWrap() && angle == 0 &&
                    (!IsInplace || AEditSizeProperties.Width >= 0) &&
                    width >= 0;
  UINT flags = DT_CALCRECT;
  if (angle == 0 && !props->ShowAccelChar()) flags |= DT_NOPREFIX;
  if (angle != 0) flags |= DT_NOPREFIX;
  if (wrap) flags |= DT_WORDBREAK;
  if (angle != 0 && props->ShowAccelChar()) text = RemoveAccelChars(text);
  TRect r{0, 0, wrap ? std::max(width, 1) : 0, 0};
  {
    TSelectObject selected(ACanvas->Handle(), ACanvas->Font()->Handle());
    ::DrawTextA(ACanvas->Handle(), text.c_str(), static_cast<int>(text.size()),
                reinterpret_cast<RECT*>(&r), flags);
  }
  Integer w = r.Width();
  Integer h = r.Height();
  if (angle != 0) {
    const double a = angle * kPi / 180.0;
    const Integer rw =
        RoundHalfUp(std::fabs(std::sin(a)) * h + std::fabs(std::cos(a)) * w);
    const Integer rh =
        RoundHalfUp(std::fabs(std::cos(a)) * h + std::fabs(std::sin(a)) * w);
    w = rw;
    h = rh;
  }
  TSize result{w + delta.X + styleOffset, h + delta.Y + styleOffset};
  if (bordered) result.cx += 2;
  if (IsInplace) {
    result.cx += margins.Left + margins.Right;
    result.cy += margins.Top + margins.Bottom;
  }
  return result;
}

// ---------------------------------------------------------------------------
// The properties' factories
// ---------------------------------------------------------------------------

TcxContainerStyleClass TcxCustomLabelProperties::GetStyleClass() {
  return &cxNewContainerStyle<TcxLabelEditStyle>;
}

TcxContainerViewInfoClass TcxCustomLabelProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomLabelViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomLabelProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  return cxNewEditViewData<TcxCustomLabelViewData>(this, AStyle, AIsInplace,
                                                   APreviewMode);
}
