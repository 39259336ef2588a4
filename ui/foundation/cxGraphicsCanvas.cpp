// TcxRegion, TcxCanvas and the shared screen canvas.
#include <cmath>
#include <numbers>

#include "cxGraphics.h"

namespace {

// The class library keeps RequiredState for its descendants; the canvas
// needs it to make the font current before drawing on the DC directly.
struct TCanvasAccess : TCanvas {
  static void Require(TCanvas* ACanvas, TCanvasStates AStates) {
    (ACanvas->*(&TCanvasAccess::RequiredState))(AStates);
  }
};

void RequireText(TCanvas* ACanvas) {
  TCanvasAccess::Require(ACanvas, {csHandleValid, csFontValid, csBrushValid});
}

const RECT* AsRECT(const TRect& R) { return reinterpret_cast<const RECT*>(&R); }
RECT* AsRECT(TRect& R) { return reinterpret_cast<RECT*>(&R); }

// Division rounded toward minus infinity, so that a tile grid anchored at
// the origin also covers negative coordinates.
Integer FloorDiv(Integer A, Integer B) {
  Integer q = A / B;
  if ((A % B != 0) && ((A < 0) != (B < 0))) --q;
  return q;
}

int RegionMode(TcxRegionOperation AOperation) {
  switch (AOperation) {
    case roSet:
      return RGN_COPY;
    case roAdd:
      return RGN_OR;
    case roSubtract:
      return RGN_DIFF;
    case roIntersect:
      return RGN_AND;
  }
  return RGN_COPY;
}

// A class-library canvas on the screen DC.
class TScreenCanvas : public TCanvas {
  VARNEL_CLASS(TScreenCanvas, TCanvas)
 public:
  TScreenCanvas() = default;
  ~TScreenCanvas() override {
    // The canvas lets go of the DC before it goes back to the system.
    if (dc_) SetHandle(nullptr);
  }

 protected:
  void CreateHandle() override {
    if (!dc_) dc_ = TWindowDC(nullptr);
    SetHandle(dc_.get());
  }

 private:
  TWindowDC dc_;
};

TObjectPtr<TcxScreenCanvas>& ScreenCanvasInstance() {
  static TObjectPtr<TcxScreenCanvas> instance;
  return instance;
}

}  // namespace

UINT cxFlagsToDTFlags(Integer Flags) {
  UINT result = DT_NOPREFIX;
  if (Flags & cxtfAlignRight) result |= DT_RIGHT;
  if (Flags & cxtfAlignHCenter) result |= DT_CENTER;
  if (Flags & cxtfAlignBottom) result |= DT_BOTTOM;
  if (Flags & cxtfAlignVCenter) result |= DT_VCENTER;
  if (Flags & cxtfSingleLine) result |= DT_SINGLELINE;
  if (Flags & cxtfDontClip) result |= DT_NOCLIP;
  if (Flags & cxtfExpandTabs) result |= DT_EXPANDTABS;
  if (Flags & cxtfShowPrefix) result &= ~static_cast<UINT>(DT_NOPREFIX);
  if (Flags & cxtfWordBreak) {
    result |= DT_WORDBREAK;
    if (!(Flags & cxtfDontBreakChars)) result |= DT_EDITCONTROL;
  }
  if (Flags & cxtfEndEllipsis) result |= DT_END_ELLIPSIS;
  if (Flags & cxtfCalcRect) result |= DT_CALCRECT;
  if (Flags & cxtfPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

// ---------------------------------------------------------------------------
// TcxRegion
// ---------------------------------------------------------------------------

TcxRegion::TcxRegion() : handle_(CreateRectRgn(0, 0, 0, 0)) {}
TcxRegion::TcxRegion(HRGN AHandle) : handle_(AHandle) {}
TcxRegion::TcxRegion(const TRect& ABounds)
    : handle_(CreateRectRgnIndirect(AsRECT(ABounds))) {}
TcxRegion::TcxRegion(Integer ALeft, Integer ATop, Integer ARight,
                     Integer ABottom)
    : handle_(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TcxRegion::~TcxRegion() { DestroyHandle(); }

void TcxRegion::DestroyHandle() { handle_.reset(); }

bool TcxRegion::IsEmpty() const {
  RECT r;
  return GetRgnBox(handle_.get(), &r) == NULLREGION;
}

void TcxRegion::Combine(TcxRegion* ARegion, TcxRegionOperation AOperation,
                        bool ADestroyRegion) {
  if (!ARegion) return;
  if (AOperation == roSet) {
    CombineRgn(handle_.get(), ARegion->Handle(), nullptr, RGN_COPY);
  } else {
    CombineRgn(handle_.get(), handle_.get(), ARegion->Handle(),
               RegionMode(AOperation));
  }
  if (ADestroyRegion) Free(ARegion);
}

bool TcxRegion::IsEqual(TcxRegion* ARegion) const {
  if (!ARegion) return false;
  return (IsEmpty() && ARegion->IsEmpty()) || IsEqual(ARegion->Handle());
}

bool TcxRegion::IsEqual(HRGN ARegion) const {
  return EqualRgn(handle_.get(), ARegion) != 0;
}

void TcxRegion::Offset(Integer DX, Integer DY) {
  OffsetRgn(handle_.get(), DX, DY);
}

bool TcxRegion::PtInRegion(const TPoint& Pt) const {
  return PtInRegion(Pt.X, Pt.Y);
}
bool TcxRegion::PtInRegion(Integer X, Integer Y) const {
  return ::PtInRegion(handle_.get(), X, Y) != 0;
}
bool TcxRegion::RectInRegion(const TRect& R) const {
  return ::RectInRegion(handle_.get(), AsRECT(R)) != 0;
}
bool TcxRegion::RectInRegion(Integer ALeft, Integer ATop, Integer ARight,
                             Integer ABottom) const {
  return RectInRegion(Rect(ALeft, ATop, ARight, ABottom));
}

// ---------------------------------------------------------------------------
// TcxCanvas
// ---------------------------------------------------------------------------

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : canvas_(ACanvas) {}

// Regions left on the saved-region stack are owned and freed here.
TcxCanvas::~TcxCanvas() = default;

TPoint TcxCanvas::WindowOrg() const {
  POINT p{};
  GetWindowOrgEx(Handle(), &p);
  return {p.x, p.y};
}
void TcxCanvas::SetWindowOrg(const TPoint& P) {
  SetWindowOrgEx(Handle(), P.X, P.Y, nullptr);
}
TPoint TcxCanvas::ViewportOrg() const {
  POINT p{};
  GetViewportOrgEx(Handle(), &p);
  return {p.x, p.y};
}
void TcxCanvas::SetViewportOrg(const TPoint& P) {
  SetViewportOrgEx(Handle(), P.X, P.Y, nullptr);
}
TPoint TcxCanvas::DCOrigin() const {
  const TPoint window = WindowOrg();
  const TPoint viewport = ViewportOrg();
  return {viewport.X - window.X, viewport.Y - window.Y};
}

void TcxCanvas::BeginPath() { ::BeginPath(Handle()); }
void TcxCanvas::EndPath() { ::EndPath(Handle()); }
void TcxCanvas::WidenPath() { ::WidenPath(Handle()); }
TObjectPtr<TcxRegion> TcxCanvas::PathToRegion() {
  return TObjectPtr<TcxRegion>(new TcxRegion(::PathToRegion(Handle())));
}
void TcxCanvas::ExcludeClipRect(const TRect& R) {
  ::ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}
void TcxCanvas::IntersectClipRect(const TRect& R) {
  ::IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}
bool TcxCanvas::RectVisible(const TRect& R) const {
  return ::RectVisible(Handle(), AsRECT(R)) != 0;
}

void TcxCanvas::SetBrushColor(TColor Value) {
  if (Brush()->Color() != Value) Brush()->SetColor(Value);
}

void TcxCanvas::GetParams(TcxViewParams& AParams) const {
  AParams.Color = Brush()->Color();
  AParams.Font = Font();
  AParams.TextColor = Font()->Color();
}

void TcxCanvas::SetParams(const TcxViewParams& AParams) {
  SetBrushColor(AParams.Color);
  if (AParams.Font) Font()->Assign(AParams.Font);
  Font()->SetColor(AParams.TextColor);
}

void cxApplyViewParams(TcxCanvas* ACanvas, const TcxViewParams& AParams) {
  if (AParams.Font) ACanvas->Font()->Assign(AParams.Font);
  ACanvas->Font()->SetColor(AParams.TextColor);
  ACanvas->Brush()->SetColor(AParams.Color);
}

void TcxCanvas::FillRect(const TRect& R, TColor AColor) {
  if (AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  canvas_->FillRect(R);
}

void TcxCanvas::FillRect(const TRect& R, TBitmap* ABitmap, bool AExcludeRect) {
  if (IsRectEmpty(R)) return;
  if (IsGlyphAssigned(ABitmap)) {
    const Integer w = ABitmap->Width();
    const Integer h = ABitmap->Height();
    const Integer firstCol = FloorDiv(R.Left, w);
    const Integer lastCol = FloorDiv(R.Right - 1, w);
    const Integer firstRow = FloorDiv(R.Top, h);
    const Integer lastRow = FloorDiv(R.Bottom - 1, h);
    for (Integer col = firstCol; col <= lastCol; ++col) {
      for (Integer row = firstRow; row <= lastRow; ++row) {
        TRect tile;
        if (!IntersectRect(tile, Bounds(col * w, row * h, w, h), R)) continue;
        TRect source = tile;
        OffsetRect(source, -col * w, -row * h);
        canvas_->CopyRect(tile, ABitmap->Canvas(), source);
      }
    }
  } else {
    canvas_->FillRect(R);
  }
  if (AExcludeRect)
    SetClipRegion(TObjectPtr<TcxRegion>(new TcxRegion(R)), roSubtract, true);
}

void TcxCanvas::FillRect(const TRect& R, const TcxViewParams& AParams,
                         TcxBorders ABorders, TColor ABorderColor,
                         Integer ALineWidth, bool AExcludeRect) {
  FrameRect(R, ABorderColor, ALineWidth, ABorders, AExcludeRect);
  TRect inner = R;
  if (ABorders.Contains(bLeft)) inner.Left += ALineWidth;
  if (ABorders.Contains(bTop)) inner.Top += ALineWidth;
  if (ABorders.Contains(bRight)) inner.Right -= ALineWidth;
  if (ABorders.Contains(bBottom)) inner.Bottom -= ALineWidth;
  Brush()->SetColor(AParams.Color);
  FillRect(inner, AParams.Bitmap, AExcludeRect);
}

void TcxCanvas::FrameRect(const TRect& R, TColor AColor, Integer ALineWidth,
                          TcxBorders ABorders, bool AExcludeFrame) {
  if (IsRectEmpty(R)) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  const Integer w = ALineWidth;
  if (ABorders.Contains(bLeft)) {
    FillRect(Rect(R.Left, R.Top, std::min(R.Left + w, R.Right), R.Bottom),
             nullptr, AExcludeFrame);
  }
  if (ABorders.Contains(bRight)) {
    FillRect(Rect(std::max(R.Left, R.Right - w), R.Top, R.Right, R.Bottom),
             nullptr, AExcludeFrame);
  }
  if (ABorders.Contains(bTop)) {
    FillRect(Rect(R.Left, R.Top, R.Right, std::min(R.Top + w, R.Bottom)),
             nullptr, AExcludeFrame);
  }
  if (ABorders.Contains(bBottom)) {
    FillRect(Rect(R.Left, std::max(R.Top, R.Bottom - w), R.Right, R.Bottom),
             nullptr, AExcludeFrame);
  }
}

void TcxCanvas::DrawComplexFrame(const TRect& R, TColor ALeftTopColor,
                                 TColor ARightBottomColor, TcxBorders ABorders,
                                 Integer ABorderWidth) {
  for (TcxBorder border : {bLeft, bTop, bRight, bBottom}) {
    if (!ABorders.Contains(border)) continue;
    TRect band = R;
    switch (border) {
      case bLeft:
        band.Right = band.Left + ABorderWidth;
        break;
      case bTop:
        band.Bottom = band.Top + ABorderWidth;
        break;
      case bRight:
        band.Left = band.Right - ABorderWidth;
        break;
      case bBottom:
        band.Top = band.Bottom - ABorderWidth;
        break;
    }
    SetBrushColor(border == bLeft || border == bTop ? ALeftTopColor
                                                    : ARightBottomColor);
    FillRect(band, nullptr, false);
  }
}

void TcxCanvas::DrawEdge(const TRect& R, bool ASunken, bool AOuter,
                         TcxBorders ABorders) {
  TColor leftTop;
  TColor rightBottom;
  if (ASunken) {
    leftTop = AOuter ? clBtnShadow : cl3DDkShadow;
    rightBottom = AOuter ? clBtnHighlight : cl3DLight;
  } else {
    leftTop = AOuter ? cl3DLight : clBtnHighlight;
    rightBottom = AOuter ? cl3DDkShadow : clBtnShadow;
  }
  DrawComplexFrame(R, leftTop, rightBottom, ABorders, 1);
}

void TcxCanvas::InvertRect(const TRect& R) {
  canvas_->SetCopyMode(cmDstInvert);
  canvas_->CopyRect(R, canvas_, R);
  canvas_->SetCopyMode(cmSrcCopy);
}

void TcxCanvas::InvertFrame(const TRect& R, Integer ABorderSize) {
  const Integer s = ABorderSize;
  InvertRect(Rect(R.Left, R.Top, R.Left + s, R.Bottom));
  InvertRect(Rect(R.Right - s, R.Top, R.Right, R.Bottom));
  InvertRect(Rect(R.Left + s, R.Top, R.Right - s, R.Top + s));
  InvertRect(Rect(R.Left + s, R.Bottom - s, R.Right - s, R.Bottom));
}

void TcxCanvas::DrawFocusRect(const TRect& R) {
  SetBrushColor(clWhite);
  Font()->SetColor(clBlack);
  RequireText(canvas_);
  canvas_->DrawFocusRect(R);
}

void TcxCanvas::DrawDesignSelection(TRect R, Integer AWidth) {
  for (Integer i = 0; i < AWidth; ++i) {
    DrawFocusRect(R);
    InflateRect(R, -1, -1);
  }
}

void TcxCanvas::FillRegion(TcxRegion* ARegion, TColor AColor) {
  if (ARegion) FillRegion(ARegion->Handle(), AColor);
}
void TcxCanvas::FillRegion(HRGN ARegion, TColor AColor) {
  if (AColor != clDefault) SetBrushColor(AColor);
  FillRgn(Handle(), ARegion, Brush()->Handle());
}
void TcxCanvas::FrameRegion(TcxRegion* ARegion, TColor AColor,
                            Integer ABorderWidth, Integer ABorderHeight) {
  if (ARegion)
    FrameRegion(ARegion->Handle(), AColor, ABorderWidth, ABorderHeight);
}
void TcxCanvas::FrameRegion(HRGN ARegion, TColor AColor, Integer ABorderWidth,
                            Integer ABorderHeight) {
  if (AColor != clDefault) SetBrushColor(AColor);
  FrameRgn(Handle(), ARegion, Brush()->Handle(), ABorderWidth, ABorderHeight);
}
void TcxCanvas::DrawRegion(TcxRegion* ARegion, TColor AContentColor,
                           TColor ABorderColor, Integer ABorderWidth,
                           Integer ABorderHeight) {
  if (ARegion)
    DrawRegion(ARegion->Handle(), AContentColor, ABorderColor, ABorderWidth,
               ABorderHeight);
}
void TcxCanvas::DrawRegion(HRGN ARegion, TColor AContentColor,
                           TColor ABorderColor, Integer ABorderWidth,
                           Integer ABorderHeight) {
  FillRegion(ARegion, AContentColor);
  FrameRegion(ARegion, ABorderColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::Pie(const TRect& R, const TPoint& ARadial1,
                    const TPoint& ARadial2) {
  canvas_->Pie(R.Left, R.Top, R.Right, R.Bottom, ARadial1.X, ARadial1.Y,
               ARadial2.X, ARadial2.Y);
}

void TcxCanvas::Pie(const TRect& R, Integer AStartAngle, Integer ASweepAngle) {
  if (IsRectEmpty(R) || ASweepAngle == 0) return;
  const TPoint center{R.Left + (R.Right - R.Left) / 2,
                      R.Top + (R.Bottom - R.Top) / 2};
  const double a = (R.Right - R.Left) / 2;
  const double b = (R.Bottom - R.Top) / 2;
  auto pointAt = [&](double ADegrees) {
    const double phi = ADegrees * std::numbers::pi / 180.0;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    double rho = 0;
    if (a != 0 && b != 0)
      rho = a * b / std::sqrt(a * a * s * s + b * b * c * c);
    return TPoint{center.X + static_cast<Integer>(std::nearbyint(c * rho)),
                  center.Y - static_cast<Integer>(std::nearbyint(s * rho))};
  };
  const TPoint p1 = pointAt(AStartAngle);
  const TPoint p2 =
      ASweepAngle == 360 ? p1 : pointAt(AStartAngle + ASweepAngle);
  if (p1 == p2 && ASweepAngle <= 180) return;
  Pie(R, p1, p2);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

TSize TcxCanvas::TextExtent(const String& Text) {
  RequireText(canvas_);
  SIZE size{};
  GetTextExtentPoint32A(Handle(), Text.data(), static_cast<int>(Text.size()),
                        &size);
  return {size.cx, size.cy};
}

void TcxCanvas::TextExtent(const String& Text, TRect& R, Integer Flags) {
  const Integer width = R.Width();
  const Integer height = R.Height();
  const UINT dtFlags = cxFlagsToDTFlags(Flags);
  if (width <= 0 && !Text.empty()) R.Right = R.Left + 1;
  RequireText(canvas_);
  if (DrawTextA(Handle(), Text.data(), static_cast<int>(Text.size()), AsRECT(R),
                (dtFlags & ~static_cast<UINT>(DT_VCENTER)) | DT_CALCRECT) ==
      0) {
    R = Rect(R.Left, R.Top, R.Left, R.Top);
  }
  if (dtFlags & DT_CENTER) {
    OffsetRect(R, (width - R.Width()) / 2, 0);
  } else if (dtFlags & DT_RIGHT) {
    OffsetRect(R, width - R.Width(), 0);
  }
  if (dtFlags & DT_VCENTER) {
    OffsetRect(R, 0, (height - R.Height()) / 2);
  } else if (dtFlags & DT_BOTTOM) {
    OffsetRect(R, 0, height - R.Height());
  }
}

Integer TcxCanvas::TextWidth(const String& Text) { return TextExtent(Text).cx; }
Integer TcxCanvas::TextHeight(const String& Text) {
  return TextExtent(Text).cy;
}
Integer TcxCanvas::FontHeight(TFont* AFont) {
  Font()->Assign(AFont);
  return TextHeight("Qq");
}

void TcxCanvas::AlignMultiLineTextRectVertically(
    TRect& R, const String& Text, TcxAlignmentVert AAlignmentVert,
    bool AWordBreak, bool AShowPrefix, bool AEnabled, bool ADontBreakChars) {
  if (AAlignmentVert == vaTop) return;
  const Integer d = AEnabled ? 0 : 1;
  Integer flags = cxtfAlignTop | cxtfAlignLeft;
  if (AWordBreak) flags |= cxtfWordBreak;
  if (AShowPrefix) flags |= cxtfShowPrefix;
  if (ADontBreakChars) flags |= cxtfDontBreakChars;
  TRect textRect = Rect(0, 0, R.Right - R.Left - d, 0);
  TextExtent(Text, textRect, flags);
  const Integer textHeight = textRect.Height();
  if (AAlignmentVert == vaBottom) {
    R.Top = R.Bottom - textHeight - d;
  } else {
    R.Top = (R.Top + R.Bottom - textHeight) / 2;
  }
}

void TcxCanvas::DrawTexT(const String& Text, TRect R, Integer Flags,
                         bool Enabled) {
  if (Text.empty()) return;
  const bool useDrawText =
      !(Flags & cxtfSingleLine) ||
      (Flags & (cxtfShowPrefix | cxtfEndEllipsis | cxtfPathEllipsis)) != 0;
  const TSize extent = TextExtent(Text);
  if (extent.cx <= R.Width() && extent.cy <= R.Height()) Flags |= cxtfDontClip;
  const Integer d = Enabled ? 0 : 1;
  if (useDrawText) {
    if (!(Flags & cxtfSingleLine) &&
        (Flags & (cxtfAlignBottom | cxtfAlignVCenter))) {
      AlignMultiLineTextRectVertically(
          R, Text, (Flags & cxtfAlignBottom) ? vaBottom : vaCenter,
          (Flags & cxtfWordBreak) != 0, (Flags & cxtfShowPrefix) != 0, Enabled,
          (Flags & cxtfDontBreakChars) != 0);
    }
  } else {
    if (extent.cx < R.Width()) {
      if (Flags & cxtfAlignRight) {
        R.Left = R.Right - extent.cx - d;
      } else if (Flags & cxtfAlignHCenter) {
        R.Left = (R.Left + R.Right - extent.cx) / 2;
      }
    }
    if (extent.cy < R.Height()) {
      if (Flags & cxtfAlignBottom) {
        R.Top = R.Bottom - extent.cy - d;
      } else if (Flags & cxtfAlignVCenter) {
        R.Top = (R.Top + R.Bottom - extent.cy) / 2;
      }
    }
  }
  const UINT dtFlags = cxFlagsToDTFlags(Flags);
  auto output = [&](TRect ARect) {
    RequireText(canvas_);
    if (useDrawText) {
      DrawTextA(Handle(), Text.data(), static_cast<int>(Text.size()),
                AsRECT(ARect), dtFlags);
    } else {
      const UINT options = (Flags & cxtfDontClip) ? 0 : ETO_CLIPPED;
      ExtTextOutA(Handle(), ARect.Left, ARect.Top, options, AsRECT(ARect),
                  Text.data(), static_cast<UINT>(Text.size()), nullptr);
    }
  };
  if (Enabled) {
    output(R);
    return;
  }
  const TBrushStyle brushStyle = Brush()->Style();
  const TColor fontColor = Font()->Color();
  TScopeGuard restore([&] {
    if (Brush()->Style() != brushStyle) Brush()->SetStyle(brushStyle);
    Font()->SetColor(fontColor);
  });
  Brush()->SetStyle(bsClear);
  Font()->SetColor(clBtnHighlight);
  output(Rect(R.Left + 1, R.Top + 1, R.Right, R.Bottom));
  Font()->SetColor(clBtnShadow);
  output(Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1));
}

namespace {

// Drops the hotkey marks: "&x" becomes "x" and "&&" one "&".
String StripHotkeyMarks(const String& Text) {
  String result;
  result.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (++i == Text.size()) break;
    }
    result += Text[i];
  }
  return result;
}

}  // namespace

void TcxCanvas::GetTextStringsBounds(String Text, TRect R, Integer Flags,
                                     bool Enabled, TRectArray& ABounds) {
  ABounds.clear();
  if (Text.empty()) return;
  if (Flags & cxtfShowPrefix) {
    Text = StripHotkeyMarks(Text);
    Flags &= ~cxtfShowPrefix;
  }
  if (!Enabled) {
    --R.Right;
    --R.Bottom;
  }
  TRect block = R;
  TextExtent(Text, block, Flags);
  if (Flags & cxtfAlignBottom) {
    OffsetRect(block, 0, R.Bottom - block.Bottom);
  } else if (Flags & cxtfAlignVCenter) {
    OffsetRect(block, 0, R.Top + (R.Height() - block.Height()) / 2 - block.Top);
  }
  RequireText(canvas_);
  const HDC dc = Handle();
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const bool leftAligned = !(Flags & (cxtfAlignRight | cxtfAlignHCenter));
  Integer top = block.Top;
  while (!Text.empty()) {
    const Integer length = static_cast<Integer>(Text.size());
    int fit = 0;
    SIZE unused{};
    GetTextExtentExPointA(dc, Text.data(), length, std::max(R.Width(), 0), &fit,
                          nullptr, &unused);
    // Not even one character fits: one character per line keeps the loop
    // moving.
    fit = std::clamp(fit, 1, length);
    String line;
    std::size_t consumed = 0;
    const std::size_t breakPos = Text.find_first_of("\r\n");
    if (breakPos != String::npos && breakPos < static_cast<std::size_t>(fit)) {
      line = Text.substr(0, breakPos);
      consumed = breakPos + 1;
      if (consumed < Text.size() &&
          (Text[consumed] == '\r' || Text[consumed] == '\n') &&
          Text[consumed] != Text[breakPos]) {
        ++consumed;
      }
    } else if (fit < length) {
      const std::size_t space = Text.rfind(' ', static_cast<std::size_t>(fit));
      if (space == String::npos || space == static_cast<std::size_t>(fit) ||
          space + 1 == static_cast<std::size_t>(fit)) {
        line = Text.substr(0, fit);
        consumed = fit;
      } else {
        line = Text.substr(0, leftAligned ? space + 1 : space);
        consumed = space + 1;
      }
    } else {
      line = Text;
      consumed = Text.size();
    }
    SIZE size{0, 0};
    if (!line.empty()) {
      GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()),
                            &size);
    } else {
      size.cy = metrics.tmHeight;
    }
    Integer left = block.Left;
    if (Flags & cxtfAlignRight) {
      left = block.Right - size.cx;
    } else if (Flags & cxtfAlignHCenter) {
      left = block.Left + (block.Width() - size.cx) / 2;
    }
    ABounds.push_back(Bounds(left, top, size.cx, size.cy));
    top += size.cy;
    Text.erase(0, consumed);
  }
}

// ---------------------------------------------------------------------------
// Images and bitmaps
// ---------------------------------------------------------------------------

void TcxCanvas::DrawImage(TCustomImageList* Images, Integer X, Integer Y,
                          Integer Index, bool Enabled) {
  if (!IsImageAssigned(Images, Index)) return;
  auto saved = SavedDCScope();
  Images->Draw(canvas_, X, Y, Index, Enabled);
}

void TcxCanvas::DrawGlyph(Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled,
                          TColor ABackgroundColor) {
  if (!IsGlyphAssigned(AGlyph)) return;
  const Integer w = AGlyph->Width();
  const Integer h = AGlyph->Height();
  if (AEnabled) {
    const TBrushStyle style = Brush()->Style();
    if (ABackgroundColor == clNone) {
      Brush()->SetStyle(bsClear);
    } else {
      Brush()->SetColor(ABackgroundColor);
    }
    canvas_->BrushCopy(Bounds(X, Y, w, h), AGlyph, Rect(0, 0, w, h),
                       AGlyph->TransparentColor());
    Brush()->SetStyle(style);
    return;
  }
  TObjectPtr<TImageList> images(new TImageList(nullptr));
  images->SetSize(w, h);
  images->AddMasked(AGlyph, AGlyph->TransparentMode() == tmFixed
                                ? AGlyph->TransparentColor()
                                : clDefault);
  if (ABackgroundColor != clNone) {
    TObjectPtr<TBitmap> bitmap(cxCreateBitmap(w, h, pf24bit));
    bitmap->Canvas()->Brush()->SetColor(ABackgroundColor);
    bitmap->Canvas()->FillRect(Rect(0, 0, w, h));
    images->Draw(bitmap->Canvas(), 0, 0, 0, false);
    canvas_->Draw(X, Y, bitmap.get());
  } else {
    images->Draw(canvas_, X, Y, 0, false);
  }
}

void TcxCanvas::TransparentDraw(Integer X, Integer Y, TBitmap* ABitmap,
                                Byte AAlpha, TBitmap* ABackground) {
  if (!IsGlyphAssigned(ABitmap)) return;
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  TObjectPtr<TBitmap> work(cxCreateBitmap(w, h, pf32bit));
  if (ABackground) {
    work->Canvas()->Draw(0, 0, ABackground);
  } else {
    work->Canvas()->CopyRect(Rect(0, 0, w, h), canvas_, Bounds(X, Y, w, h));
  }
  const auto alphaBlend = cxMsimg32().AlphaBlend;
  if (alphaBlend) {
    alphaBlend(work->Canvas()->Handle(), 0, 0, w, h,
               ABitmap->Canvas()->Handle(), 0, 0, w, h,
               BLENDFUNCTION{AC_SRC_OVER, 0, AAlpha, 0});
  } else {
    TRGBColors dest = GetBitmapBits(work.get(), false);
    const TRGBColors source = GetBitmapBits(ABitmap, false);
    for (std::size_t i = 0; i < dest.size(); ++i) {
      auto mix = [&](BYTE d, BYTE s) {
        return static_cast<BYTE>(MulDiv(d, 255 - AAlpha, 255) +
                                 MulDiv(s, AAlpha, 255));
      };
      dest[i].rgbBlue = mix(dest[i].rgbBlue, source[i].rgbBlue);
      dest[i].rgbGreen = mix(dest[i].rgbGreen, source[i].rgbGreen);
      dest[i].rgbRed = mix(dest[i].rgbRed, source[i].rgbRed);
    }
    SetBitmapBits(work.get(), dest, false);
  }
  canvas_->Draw(X, Y, work.get());
}

void TcxCanvas::RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle,
                             bool AFlipVertically) {
  if (!ABitmap || (ARotationAngle == ra0 && !AFlipVertically)) return;
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  if (w == 0 || h == 0) return;
  const TRGBColors source = GetBitmapBits(ABitmap, true);
  TRGBColors dest(source.size());
  const bool quarter =
      ARotationAngle == raPlus90 || ARotationAngle == raMinus90;
  const Integer newWidth = quarter ? h : w;
  for (Integer y = 0; y < h; ++y) {
    for (Integer x = 0; x < w; ++x) {
      Integer nx = x;
      Integer ny = y;
      switch (ARotationAngle) {
        case ra0:
          ny = h - 1 - y;
          break;
        case raPlus90:
          nx = y;
          ny = AFlipVertically ? x : w - 1 - x;
          break;
        case raMinus90:
          nx = h - 1 - y;
          ny = AFlipVertically ? w - 1 - x : x;
          break;
        case ra180:
          nx = w - 1 - x;
          ny = AFlipVertically ? y : h - 1 - y;
          break;
      }
      dest[ny * newWidth + nx] = source[y * w + x];
    }
  }
  if (quarter) {
    ABitmap->SetHeight(0);
    ABitmap->SetWidth(h);
    ABitmap->SetHeight(w);
  }
  SetBitmapBits(ABitmap, dest, true);
}

void TcxCanvas::FlipHorizontally(TBitmap* ABitmap) {
  if (!IsGlyphAssigned(ABitmap)) return;
  const Integer w = ABitmap->Width();
  TRGBColors colors = GetBitmapBits(ABitmap, true);
  for (std::size_t row = 0; row < colors.size(); row += w) {
    std::reverse(colors.begin() + row, colors.begin() + row + w);
  }
  SetBitmapBits(ABitmap, colors, true);
}

void TcxCanvas::SetFontAngle(Integer Value) {
  LOGFONTA logFont{};
  if (!cxGetFontData(Font()->Handle(), logFont)) return;
  logFont.lfEscapement = Value * 10;
  if (Value != 0) logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  Font()->SetHandle(CreateFontIndirectA(&logFont));
}

void TcxCanvas::SynchronizeObjects(HDC ADC) {
  LOGFONTA logFont{};
  if (cxGetFontData(static_cast<HFONT>(GetCurrentObject(ADC, OBJ_FONT)),
                    logFont)) {
    const COLORREF textColor = GetTextColor(ADC);
    Font()->SetHandle(CreateFontIndirectA(&logFont));
    Font()->SetColor(static_cast<TColor>(textColor));
  }
  LOGBRUSH logBrush{};
  if (cxGetBrushData(static_cast<HBRUSH>(GetCurrentObject(ADC, OBJ_BRUSH)),
                     logBrush)) {
    Brush()->SetHandle(CreateBrushIndirect(&logBrush));
    Brush()->SetColor(static_cast<TColor>(logBrush.lbColor));
    TBrushStyle style = bsSolid;
    if (logBrush.lbStyle == BS_NULL) {
      style = bsClear;
    } else if (logBrush.lbStyle == BS_HATCHED && logBrush.lbHatch <= 5) {
      static const TBrushStyle hatches[] = {bsHorizontal, bsVertical,
                                            bsFDiagonal,  bsBDiagonal,
                                            bsCross,      bsDiagCross};
      style = hatches[logBrush.lbHatch];
    }
    Brush()->SetStyle(style);
  }
  LOGPEN logPen{};
  if (cxGetPenData(static_cast<HPEN>(GetCurrentObject(ADC, OBJ_PEN)), logPen)) {
    const int rop = GetROP2(ADC);
    Pen()->SetHandle(CreatePenIndirect(&logPen));
    Pen()->SetColor(static_cast<TColor>(logPen.lopnColor));
    if (logPen.lopnStyle <= PS_INSIDEFRAME) {
      Pen()->SetStyle(static_cast<TPenStyle>(logPen.lopnStyle));
    }
    Pen()->SetWidth(logPen.lopnWidth.x);
    static const int modes[] = {
        R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
        R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
        R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
        R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    TPenMode mode = pmCopy;
    for (Integer i = 0; i < 16; ++i) {
      if (modes[i] == rop) mode = static_cast<TPenMode>(i);
    }
    Pen()->SetMode(mode);
  }
}

// ---------------------------------------------------------------------------
// Saved states
// ---------------------------------------------------------------------------

void TcxCanvas::SaveDC() { dcs_.push_back(::SaveDC(Handle())); }

void TcxCanvas::RestoreDC() {
  if (dcs_.empty()) return;
  const int id = dcs_.back();
  dcs_.pop_back();
  ::RestoreDC(Handle(), id);
  // The restored DC holds the objects of the save, which the canvas may have
  // replaced since: make it select its own again on next use.
  canvas_->Refresh();
}

void TcxCanvas::SaveClipRegion() {
  clipRegions_.emplace_back(GetClipRegion(true));
}

void TcxCanvas::RestoreClipRegion() {
  if (clipRegions_.empty()) return;
  TObjectPtr<TcxRegion> region = std::move(clipRegions_.back());
  clipRegions_.pop_back();
  SetClipRegion(std::move(region), roSet, true);
}

void TcxCanvas::SaveState() {
  SaveDC();
  TcxCanvasState state;
  state.Font.reset(new TFont);
  state.Font->Assign(Font());
  state.Brush.reset(new TBrush);
  state.Brush->Assign(Brush());
  state.Pen.reset(new TPen);
  state.Pen->Assign(Pen());
  states_.push_back(std::move(state));
}

void TcxCanvas::RestoreState() {
  if (states_.empty()) return;
  TcxCanvasState state = std::move(states_.back());
  states_.pop_back();
  Font()->Assign(state.Font.get());
  Brush()->Assign(state.Brush.get());
  Pen()->Assign(state.Pen.get());
  RestoreDC();
}

TObjectPtr<TcxRegion> TcxCanvas::GetClipRegion(bool AConsiderOrigin) {
  TObjectPtr<TcxRegion> region(new TcxRegion);
  if (GetClipRgn(Handle(), region->Handle()) != 1) {
    SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  }
  if (AConsiderOrigin) {
    const TPoint origin = DCOrigin();
    region->Offset(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::SetClipRegion(TObjectPtr<TcxRegion> ARegion,
                              TcxRegionOperation AOperation,
                              bool AConsiderOrigin) {
  SetClipRegion(ARegion.get(), AOperation, false, AConsiderOrigin);
}

void TcxCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation,
                              bool ADestroyRegion, bool AConsiderOrigin) {
  if (!ARegion) return;
  if (ADestroyRegion) {
    SetClipRegion(TObjectPtr<TcxRegion>(ARegion), AOperation, AConsiderOrigin);
    return;
  }
  if (AOperation != roSet) {
    TObjectPtr<TcxRegion> clip = GetClipRegion(AConsiderOrigin);
    clip->Combine(ARegion, AOperation, false);
    SetClipRegion(std::move(clip), roSet, AConsiderOrigin);
    return;
  }
  TPoint origin{};
  if (AConsiderOrigin) {
    origin = DCOrigin();
    ARegion->Offset(origin.X, origin.Y);
  }
  SelectClipRgn(Handle(), ARegion->Handle());
  if (ADestroyRegion) {
    Free(ARegion);
  } else if (AConsiderOrigin) {
    ARegion->Offset(-origin.X, -origin.Y);
  }
}

bool TcxCanvas::RectFullyVisible(const TRect& R) {
  TObjectPtr<TcxRegion> clip(GetClipRegion(true));
  TcxRegion rect(R);
  clip->Combine(&rect, roIntersect, false);
  return clip->IsEqual(&rect);
}

// ---------------------------------------------------------------------------
// Screen canvas
// ---------------------------------------------------------------------------

TcxScreenCanvas::TcxScreenCanvas()
    : TcxCanvas(nullptr), screenCanvas_(new TScreenCanvas) {
  SetCanvas(screenCanvas_.get());
}

TcxScreenCanvas::~TcxScreenCanvas() = default;

TcxCanvas* cxScreenCanvas() {
  auto& instance = ScreenCanvasInstance();
  if (!instance) instance.reset(new TcxScreenCanvas);
  return instance.get();
}

namespace cxgraphics_detail {
void FreeScreenCanvas() { ScreenCanvasInstance().reset(); }
}  // namespace cxgraphics_detail
