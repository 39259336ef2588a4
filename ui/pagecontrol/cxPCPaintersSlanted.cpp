#include "cxPCPaintersSlanted.h"

#include <algorithm>

#include "cxGeometry.h"
#include "cxLookAndFeelPainters.h"
#include "cxPCPaintersSides.h"
#include "dxOffice11.h"

// ---------------------------------------------------------------------------
// Outlines
// ---------------------------------------------------------------------------

TcxPCTabOutline cxPCSlantedTabOutline(const TRect& R, TcxTabSlantKind AKind,
                                      bool ALeftSlanted, bool ARightSlanted,
                                      bool ACutCorners) {
  const Integer L = R.Left, B = R.Bottom;
  const Integer w = R.Width(), h = R.Height();
  TcxPCTabOutline o;
  auto add = [&o](TPoint p) { o.Points.push_back(p); };
  // Up the left side.
  if (!ALeftSlanted && ACutCorners) {
    add({L, B - 1});
    add({L, B - h});
    o.Positions = {lpL};
  } else if (!ALeftSlanted) {
    add({L, B - 1});
    add({L, B + 2 - h});
    add({L + 2, B - h});
    o.Positions = {lpL, lpLT};
  } else if (AKind == skSlant) {
    add({L, B - 1});
    add({L + h - 1, B - h});
    o.Positions = {lpLT};
  } else {
    add({L, B - 1});
    add({L, B + 6 - h});
    add({L + 6, B - h});
    o.Positions = {lpL, lpLT};
  }
  // Along the top (the segment into the first point) and down the right.
  if (!ARightSlanted && ACutCorners) {
    add({L + w - 1, B - h});
    add({L + w - 1, B - 1});
    o.Positions.insert(o.Positions.end(), {lpT, lpR});
  } else if (!ARightSlanted) {
    add({L + w - 3, B - h});
    add({L + w - 1, B + 2 - h});
    add({L + w - 1, B - 1});
    o.Positions.insert(o.Positions.end(), {lpT, lpRT, lpR});
  } else if (AKind == skSlant) {
    add({L + w - h, B - h});
    add({L + w - 1, B - 1});
    o.Positions.insert(o.Positions.end(), {lpT, lpRT});
  } else {
    add({L + w - 7, B - h});
    add({L + w - 1, B + 6 - h});
    add({L + w - 1, B - 1});
    o.Positions.insert(o.Positions.end(), {lpT, lpRT, lpR});
  }
  return o;
}

namespace {

TLinePosition TurnLinePosition(TLinePosition APosition,
                               TcxTabPosition ATabPosition) {
  switch (ATabPosition) {
    case tpBottom:
      switch (APosition) {
        case lpLT:
          return lpLB;
        case lpT:
          return lpB;
        case lpRT:
          return lpRB;
        default:
          return APosition;
      }
    case tpLeft:
      switch (APosition) {
        case lpL:
          return lpB;
        case lpLT:
          return lpLB;
        case lpT:
          return lpL;
        case lpRT:
          return lpLT;
        case lpR:
          return lpT;
        default:
          return APosition;
      }
    case tpRight:
      switch (APosition) {
        case lpL:
          return lpB;
        case lpLT:
          return lpRB;
        case lpT:
          return lpR;
        case lpR:
          return lpT;
        default:
          return APosition;
      }
    default:
      return APosition;
  }
}

// The unit step in the direction a segment of the given side runs.
TPoint SegmentDirection(TLinePosition APosition) {
  switch (APosition) {
    case lpL:
      return {0, -1};
    case lpLT:
      return {1, -1};
    case lpT:
      return {1, 0};
    case lpRT:
      return {1, 1};
    case lpR:
      return {0, 1};
    case lpRB:
      return {-1, 1};
    case lpB:
      return {-1, 0};
    case lpLB:
      return {-1, -1};
  }
  return {};
}

void Move(TPoint& P, Integer DX, Integer DY) {
  P.X += DX;
  P.Y += DY;
}

}  // namespace

TPoints cxPCOutlineRegionPolygon(const TRect& R, TcxPCTabOutline AOutline,
                                 TcxTabPosition APosition, bool AInner) {
  TPoints& points = AOutline.Points;
  TLinePositions& positions = AOutline.Positions;
  if (points.size() < 2) return {};
  TcxPCCustomPainter::RotatePolyline(
      R, points.data(), static_cast<Integer>(points.size()) - 1, APosition);
  if (APosition == tpBottom || APosition == tpRight) {
    std::reverse(points.begin(), points.end());
    std::reverse(positions.begin(), positions.end());
  }
  for (TLinePosition& p : positions) p = TurnLinePosition(p, APosition);

  const TPoint step = SegmentDirection(positions.back());
  Move(points.back(), step.X, step.Y);
  if (APosition == tpLeft && positions.front() == lpLB)
    Move(points.front(), 1, 1);

  auto has = [&positions](TLinePosition p) {
    return std::find(positions.begin(), positions.end(), p) != positions.end();
  };
  TPoints polygon;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    TPoint a = points[i];
    TPoint b = points[i + 1];
    const TLinePosition p = positions[i];
    const bool leftTop = p == lpL || p == lpLT || p == lpT || p == lpLB;
    if (leftTop == AInner) {
      switch (p) {
        case lpL:
          Move(a, 1, has(lpLB) ? 1 : 0);
          Move(b, 1, has(lpLT) ? -1 : 0);
          break;
        case lpT:
          Move(a, has(lpLT) ? -1 : 0, 1);
          Move(b, has(lpRT) ? 1 : 0, 1);
          break;
        case lpLT:
          if (has(lpL))
            Move(a, 0, 1);
          else
            Move(a, 1, 0);
          if (has(lpT))
            Move(b, 1, 0);
          else
            Move(b, 0, 1);
          break;
        case lpLB:
          if (has(lpB))
            Move(a, 1, 0);
          else
            Move(a, 0, -1);
          if (has(lpL))
            Move(b, 0, -1);
          else
            Move(b, 1, 0);
          break;
        case lpR:
          Move(a, 1, has(lpRT) ? 1 : 0);
          Move(b, 1, has(lpRB) ? -1 : 0);
          break;
        case lpB:
          Move(a, has(lpRB) ? -1 : 0, 1);
          Move(b, has(lpLB) ? 1 : 0, 1);
          break;
        case lpRT:
          if (has(lpT))
            Move(a, 1, 0);
          else
            Move(a, 0, -1);
          if (has(lpR))
            Move(b, 0, -1);
          else
            Move(b, 1, 0);
          break;
        case lpRB:
          if (has(lpR))
            Move(a, 0, 1);
          else
            Move(a, 1, 0);
          if (has(lpB))
            Move(b, 1, 0);
          else
            Move(b, 0, 1);
          break;
      }
    }
    polygon.push_back(a);
    polygon.push_back(b);
  }
  return polygon;
}

namespace {

TcxRegion* PolygonRegion(const TPoints& APoints) {
  if (APoints.size() < 3) return new TcxRegion();
  std::vector<POINT> points;
  points.reserve(APoints.size());
  for (const TPoint& p : APoints) points.push_back({p.X, p.Y});
  return new TcxRegion(CreatePolygonRgn(
      points.data(), static_cast<int>(points.size()), WINDING));
}

}  // namespace

// ---------------------------------------------------------------------------
// OneNote colours
// ---------------------------------------------------------------------------

namespace {

// Per Office 2003 colour scheme, in the order of TOffice11Scheme.
constexpr TcxPCOneNoteColors kOneNoteSchemeColors[] = {
    {clBtnShadow, clBtnShadow, TColor(0x6A240A), clBtnFace},
    {TColor(0x9C613B), TColor(0x9A3500), TColor(0x800000), TColor(0xF1A675)},
    {TColor(0x588060), TColor(0x6B7760), TColor(0x385D3F), TColor(0x8CC2B0)},
    {TColor(0x947C7C), TColor(0x927476), TColor(0x6F4B4B), TColor(0xCEB9BA)},
};

TcxPCOneNoteColors oneNoteColors = kOneNoteSchemeColors[schUnknown];

}  // namespace

const TcxPCOneNoteColors& cxPCOneNoteColors() { return oneNoteColors; }

void cxPCLoadOneNoteColors() {
  const Integer scheme = GetOffice11Scheme();
  oneNoteColors = scheme >= 0 && scheme <= schMetallic
                      ? kOneNoteSchemeColors[scheme]
                      : kOneNoteSchemeColors[schUnknown];
}

// ---------------------------------------------------------------------------
// TcxPCSlantedPainter
// ---------------------------------------------------------------------------

namespace {
constexpr Integer fw = 1;  // the frame width of both styles
}

TcxPCSlantedPainter::TcxPCSlantedPainter(TcxCustomTabControl* ATabControl)
    : TcxPCStandardPainter(ATabControl) {}

void TcxPCSlantedPainter::Init() {
  inherited::Init();
  cutValue_ = InternalGetCutValue();
}

bool TcxPCSlantedPainter::AlwaysColoredTabs() { return true; }

bool TcxPCSlantedPainter::CanLightMainTab() { return false; }

Integer TcxPCSlantedPainter::InternalGetCutValue() {
  return ParentInfo()->TabSlants()->Kind() == skSlant
             ? CalculateTabNormalHeight() - 1
             : 6;
}

TcxTabSlantPositions TcxPCSlantedPainter::GetSlantedSides() {
  TcxTabSlants* slants = ParentInfo()->TabSlants();
  if (slants->Kind() == skSlant && !ParentInfo()->Rotate())
    return slants->Positions();
  return {};
}

TColor TcxPCSlantedPainter::GetFrameColor() { return clBtnShadow; }

Integer TcxPCSlantedPainter::GetImageTextDistance(Integer) { return 3; }

Integer TcxPCSlantedPainter::GetDefaultTabNormalHeight() { return 0; }

Integer TcxPCSlantedPainter::GetVerticalTextIndent() { return 0; }

bool TcxPCSlantedPainter::IsTabBorderThick(Integer) { return false; }

Integer TcxPCSlantedPainter::GetMinTabNormalWidth(Integer TabVisibleIndex) {
  return GetTabNormalWidth(TabVisibleIndex);
}

TSize TcxPCSlantedPainter::GetTabImageSize() {
  TSize size = GetTabBaseImageSize();
  const Integer border = 2 * ParentInfo()->ImageBorder();
  if (size.cx > 0) size.cx += border;
  if (size.cy > 0) size.cy += border;
  return size;
}

TRect TcxPCSlantedPainter::GetDrawImageOffset(Integer) {
  if (!ParentInfo()->Rotate()) return {0, fw + 3, 0, 1};
  TcxTabSlants* slants = ParentInfo()->TabSlants();
  const Integer v =
      slants->Kind() == skCutCorner && !slants->Positions().Empty() ? fw + 2
                                                                    : fw + 1;
  return {0, v, 0, v};
}

TRect TcxPCSlantedPainter::GetDrawTextHOffset(Integer) {
  return ParentInfo()->Rotate() ? TRect{0, fw + 3, 0, fw + 1}
                                : TRect{0, fw + 4, 0, 1};
}

TcxPCWOffset TcxPCSlantedPainter::GetTabContentWOffset(
    Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTabSlants* slants = info->TabSlants();
  const TcxRotationAngle angle = ParentControl()->GetTextRotationAngle();
  TcxPCWOffset offset;
  if (!info->Rotate()) {
    const Integer slanted = slants->Kind() == skSlant ? GetCutValue() : 6;
    offset.Left = slants->Positions().Contains(spLeft) ? slanted : fw + 2;
    offset.Right = slants->Positions().Contains(spRight) ? slanted : fw + 2;
    if (angle == raMinus90) std::swap(offset.Left, offset.Right);
    return offset;
  }
  offset = {2, fw + 5};
  if (slants->Kind() == skCutCorner && !slants->Positions().Empty())
    ++offset.Right;
  const TcxTabPosition side =
      TabVisibleIndex >= 0
          ? info->VisibleTab(TabVisibleIndex)->PaintingPosition()
          : info->TabPosition();
  if ((side == tpTop && angle == raMinus90) ||
      (side == tpBottom && angle == raPlus90) || side == tpLeft)
    std::swap(offset.Left, offset.Right);
  return offset;
}

TcxPCWOffset TcxPCSlantedPainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return GetTabContentWOffset(TabVisibleIndex);
}

TColor TcxPCSlantedPainter::GetTabBodyColor(Integer TabVisibleIndex) {
  if (ParentInfo()->VisibleTab(TabVisibleIndex)->Highlighted())
    return GetHighlightedTabBodyColor();
  const TColor color = GetTabColor(TabVisibleIndex);
  if (color != clDefault) return color;
  return ParentInfo()->IsTabsContainer() ? clBtnFace : ParentInfo()->Color();
}

TColor TcxPCSlantedPainter::GetClientColor() {
  const Integer main = ParentInfo()->MainTabVisibleIndex();
  if (!ParentInfo()->IsTabsContainer() || main < 0)
    return inherited::GetClientColor();
  const TColor color = GetTabColor(main);
  return color == clDefault ? clBtnFace : color;
}

TcxPCDistance TcxPCSlantedPainter::GetTabsNormalDistance() {
  const TcxTabSlantPositions sides = GetSlantedSides();
  const Integer n =
      (sides.Contains(spLeft) ? 1 : 0) + (sides.Contains(spRight) ? 1 : 0);
  // Slanted tabs overlap by half a slant on each slanted side.
  TcxPCDistance d{n > 0 ? -(GetCutValue() / 2) * n : 1, -3};
  if (ParentInfo()->Rotate()) d = RotateTabsDistance(d);
  return d;
}

TRect TcxPCSlantedPainter::GetTabsRectOffset() {
  const TcxTabSlantPositions sides = GetSlantedSides();
  TRect r{};
  if (cxPCIsHorizontalPosition(ParentInfo()->TabPosition())) {
    if (sides.Contains(spLeft)) r.Left = 1;
    if (sides.Contains(spRight)) r.Right = 1;
  } else {
    if (sides.Contains(spLeft)) r.Bottom = 1;
    if (sides.Contains(spRight)) r.Top = 1;
  }
  return r;
}

TRect TcxPCSlantedPainter::GetTabsContainerOffsets() {
  if (!ParentInfo()->IsTabsContainer()) return {};
  const TcxTabSlantPositions sides = GetSlantedSides();
  const TcxTabPosition position = ParentInfo()->TabPosition();
  const bool farSide = position == tpBottom || position == tpRight;
  const bool leftSlanted = sides.Contains(farSide ? spRight : spLeft);
  const bool rightSlanted = sides.Contains(farSide ? spLeft : spRight);
  return {leftSlanted ? 1 : 2, 2, rightSlanted ? 1 : 2, 0};
}

Integer TcxPCSlantedPainter::GetButtonHeight() { return 17; }

Integer TcxPCSlantedPainter::GetButtonWidth(TcxPCNavigatorButton AButton) {
  switch (AButton) {
    case nbGoDialog:
      return 13;
    case nbClose:
      return 16;
    default:
      return 17;
  }
}

Integer TcxPCSlantedPainter::GetButtonsDistance(TcxPCNavigatorButton AButton1,
                                                TcxPCNavigatorButton AButton2) {
  return cxPCCloseSpacedButtonsDistance(AButton1, AButton2);
}

Integer TcxPCSlantedPainter::GetButtonsRegionFromTabsOffset() { return 1; }

Integer TcxPCSlantedPainter::GetButtonsRegionHOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 1;
}

Integer TcxPCSlantedPainter::GetButtonsRegionWOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

TColor TcxPCSlantedPainter::GetButtonColor(TcxPCNavigatorButtonState AState) {
  switch (AState) {
    case nbsHotTrack:
      return GetMiddleRGB(clBtnFace, TColor(0xFFFFFF), 35);
    case nbsPressed:
      return GetMiddleRGB(clBtnFace, TColor(0), 90);
    default:
      return clBtnFace;
  }
}

TColor TcxPCSlantedPainter::GetButtonContentColor(
    TcxPCNavigatorButtonState AState) {
  if (AState == nbsDisabled || !ParentControl()->Enabled()) return clBtnShadow;
  if (AState == nbsPressed)
    return GetMiddleRGB(ParentInfo()->Color(), TColor(0xFFFFFF), 10);
  return clBtnText;
}

TPoint TcxPCSlantedPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  return GetButtonCenteredContentPosition(AButton, AState);
}

void TcxPCSlantedPainter::CalculateButtonContentParameters(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
    TcxPCNavigatorButtonContentParameters& AParameters) {
  inherited::CalculateButtonContentParameters(AButton, AState, AParameters);
  AParameters.Enabled = true;
  AParameters.IsThinGlyph = AButton == nbClose;
}

void TcxPCSlantedPainter::PaintButtonFrame(TRect& ARect,
                                           TcxPCNavigatorButtonState AState) {
  cxPCFrameNavigatorButton(Canvas(), ARect, AState);
}

Integer TcxPCSlantedPainter::GetGeometricalMinTabWidth() {
  if (ParentInfo()->Rotate()) return 0;
  TcxTabSlants* slants = ParentInfo()->TabSlants();
  const TcxTabSlantPositions positions = slants->Positions();
  const Integer n = (positions.Contains(spLeft) ? 1 : 0) +
                    (positions.Contains(spRight) ? 1 : 0);
  if (n == 0) return 8;
  const Integer c = GetCutValue();
  return slants->Kind() == skSlant ? c * n - 2 * n + 8
                                   : c * n + fw * (2 - n) + 4;
}

Integer TcxPCSlantedPainter::GetTabNormalWidth(Integer TabVisibleIndex) {
  const TcxPCWOffset offset = GetTabContentWOffset(TabVisibleIndex);
  Integer width = offset.Left + offset.Right;
  if (IsAssignedImages() &&
      (TabVisibleIndex == -1 || IsTabHasImage(TabVisibleIndex) ||
       ParentInfo()->Rotate()))
    width += GetTabImageSize().cx;
  return std::max(width, GetGeometricalMinTabWidth());
}

void TcxPCSlantedPainter::CalculateTabNormalWidth(TcxTab* ATab) {
  if (!ATab->Visible()) {
    ATab->NormalWidth = 0;
    return;
  }
  if (ParentInfo()->TabWidth() >= 1) {
    ATab->NormalWidth = ParentInfo()->TabWidth();
    return;
  }
  const Integer index = ATab->VisibleIndex();
  Integer width = GetTabNormalWidth(index);
  if (!ATab->Caption().empty()) {
    width += ParentControl()->TextSize(ATab, ATab->Caption()).cx;
    if (IsTabHasImage(index) || (IsAssignedImages() && ParentInfo()->Rotate()))
      width += GetImageTextDistance(index);
  }
  ATab->NormalWidth = std::max(width, GetMinTabNormalWidth(index));
}

Integer TcxPCSlantedPainter::InternalCalculateTabNormalHeight() {
  const TRect text = GetDrawTextHOffset(-1);
  const TRect image = GetDrawImageOffset(-1);
  return std::max(GetMaxTabCaptionHeight() + text.Top + text.Bottom,
                  GetTabImageSize().cy + image.Top + image.Bottom);
}

TPoints TcxPCSlantedPainter::TurnFigure(Integer TabVisibleIndex,
                                        TPoints APoints) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (!APoints.empty())
    RotatePolyline(tab->FullRect(), APoints.data(),
                   static_cast<Integer>(APoints.size()) - 1,
                   tab->PaintingPosition());
  return APoints;
}

TcxPCTabOutline TcxPCSlantedPainter::GetTabFramePolyline(
    Integer TabVisibleIndex) {
  TcxTabSlants* slants = ParentInfo()->TabSlants();
  const TcxTabSlantKind kind = slants->Kind();
  // Cut corners are cut on the chosen sides even when rotated; slants are
  // not.
  const TcxTabSlantPositions sides =
      kind == skSlant ? GetSlantedSides() : slants->Positions();
  return cxPCSlantedTabOutline(
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex)), kind,
      sides.Contains(spLeft), sides.Contains(spRight),
      kind == skCutCorner && !slants->Positions().Empty());
}

TcxRegion* TcxPCSlantedPainter::InternalGetTabClipRegion(
    Integer TabVisibleIndex, bool AInner) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  return PolygonRegion(cxPCOutlineRegionPolygon(
      tab->FullRect(), GetTabFramePolyline(TabVisibleIndex),
      tab->PaintingPosition(), AInner));
}

TRect TcxPCSlantedPainter::GetTabUnderlineRect(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  return cxPCSideStrip(tab->VisibleRect(),
                       cxPCPageSide(tab->PaintingPosition()), 1, true);
}

TcxRegion* TcxPCSlantedPainter::GetTabClipRgn(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  TcxRegion* region = InternalGetTabClipRegion(TabVisibleIndex, false);
  region->Combine(new TcxRegion(tab->VisibleRect()), roIntersect);
  if (tab->IsMainTab())
    region->Combine(new TcxRegion(GetTabUnderlineRect(TabVisibleIndex)), roAdd);
  return region;
}

bool TcxPCSlantedPainter::IsOverTab(Integer TabVisibleIndex, Integer X,
                                    Integer Y) {
  TObjectPtr<TcxRegion> region(GetTabClipRgn(TabVisibleIndex));
  if (!region->PtInRegion(X, Y)) return false;
  // Where a tab and the main tab after it overlap, the main tab lies on top.
  const Integer next = TabVisibleIndex + 1;
  if (next < ParentControl()->VisibleTabList()->Count() &&
      ParentInfo()->VisibleTab(next)->IsMainTab()) {
    TObjectPtr<TcxRegion> mainRegion(GetTabClipRgn(next));
    if (mainRegion->PtInRegion(X, Y)) return false;
  }
  return true;
}

void TcxPCSlantedPainter::PaintTabFrame(Integer TabVisibleIndex, const TRect&) {
  const TcxPCTabOutline outline = GetTabFramePolyline(TabVisibleIndex);
  TPoints points = TurnFigure(TabVisibleIndex, outline.Points);
  InternalPolyLine(points.data(), static_cast<Integer>(points.size()) - 1,
                   nullptr, GetFrameColor());
}

void TcxPCSlantedPainter::PaintTabStateMark(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (!tab->HotTrack() && !tab->IsMainTab()) return;
  const TRect band = cxPCSideStrip(
      tab->FullRect(), cxPCOuterSide(tab->PaintingPosition()), fw + 3, false);
  TcxCanvas* canvas = ParentInfo()->Canvas();
  canvas->FillRect(band, clHighlight);
  canvas->ExcludeClipRect(band);
}

void TcxPCSlantedPainter::GetBackgroundGradientColors(Integer TabVisibleIndex,
                                                      TColor& AColor1,
                                                      TColor& AColor2) {
  const TColor body = GetTabBodyColor(TabVisibleIndex);
  if (ParentInfo()->VisibleTab(TabVisibleIndex)->HotTrack()) {
    AColor1 = BrightenColor(body, 20);
    AColor2 = body;
  } else {
    AColor1 = BrightenColor(body, 13);
    AColor2 = Dark(body, 90);
  }
}

void TcxPCSlantedPainter::DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                                         bool ASwap, bool AVertical,
                                         Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const bool lit = tab->IsMainTab() && CanLightMainTab() && tab->HotTrack();
  if (tab->IsMainTab() && !lit) {
    ACanvas->FillRect(R, GetTabBodyColor(TabVisibleIndex));
    return;
  }
  TColor color1 = GetTabBodyColor(TabVisibleIndex);
  TColor color2 = color1;
  if (ParentInfo()->Options().Contains(pcoGradient))
    GetBackgroundGradientColors(TabVisibleIndex, color1, color2);
  const TcxTabPosition side = tab->PaintingPosition();
  if (lit && (side == tpBottom || side == tpRight)) std::swap(color1, color2);
  if (ASwap) std::swap(color1, color2);
  FillGradientRect(ACanvas->Handle(), R, color1, color2, AVertical);
}

void TcxPCSlantedPainter::DrawTabUnderline(Integer TabVisibleIndex) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  canvas->FillRect(GetTabUnderlineRect(TabVisibleIndex),
                   GetTabBodyColor(TabVisibleIndex));
  if (!ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()) return;
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const TcxTabSlantPositions sides = GetSlantedSides();
  TPoints corners = TurnFigure(TabVisibleIndex,
                               {{f.Left, f.Bottom}, {f.Right - 1, f.Bottom}});
  if (!sides.Contains(spLeft))
    canvas->SetPixel(corners[0].X, corners[0].Y, GetFrameColor());
  if (!sides.Contains(spRight))
    canvas->SetPixel(corners[1].X, corners[1].Y, GetFrameColor());
}

void TcxPCSlantedPainter::PaintTabShape(Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCanvas* canvas = info->Canvas();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  const TRect full = tab->FullRect();
  // What the clip region holds outside the outline shows the control.
  canvas->FillRect(full, info->Color());
  SaveClipRgn();
  PaintTabFrame(TabVisibleIndex, full);
  canvas->SetClipRegion(InternalGetTabClipRegion(TabVisibleIndex, true),
                        roIntersect);
  PaintTabStateMark(TabVisibleIndex);
  DrawBackground(canvas, full, false,
                 !cxPCIsHorizontalPosition(tab->PaintingPosition()),
                 TabVisibleIndex);
  RestoreClipRgn();
  if (tab->IsMainTab()) DrawTabUnderline(TabVisibleIndex);
  TRect text = OutTabImageAndTextData.TabTextRect;
  if (!IsRectEmpty(text)) {
    if (ParentControl()->InternalIsVerticalText())
      InflateRect(text, 2, 3);
    else
      InflateRect(text, 3, 2);
    InternalDrawFocusRect(TabVisibleIndex, text);
  }
}

TRect TcxPCSlantedPainter::GetTabsLineRect(Integer ARow, bool ALast) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const TcxPCLineIndexBoundsArray lines =
      ParentControl()->InitializeLineBoundsArray();
  if (ARow < 0 || ARow >= static_cast<Integer>(lines.size()) ||
      lines[ARow].Left < 0)
    return TRect{};
  const TcxPCIndexInterval bounds = lines[ARow];
  TRect r = info->VisibleTab(bounds.Left)->NormalRect();
  for (Integer i = bounds.Left + 1; i <= bounds.Right; ++i) {
    const TRect t = info->VisibleTab(i)->NormalRect();
    r.Left = std::min(r.Left, t.Left);
    r.Top = std::min(r.Top, t.Top);
    r.Right = std::max(r.Right, t.Right);
    r.Bottom = std::max(r.Bottom, t.Bottom);
  }
  const TcxTabSlantPositions sides = GetSlantedSides();
  const bool horizontal = cxPCIsHorizontalPosition(info->TabPosition());
  // The left side of a tab lies at the bottom of a vertical row.
  if (ALast || sides.Contains(spLeft)) {
    if (horizontal)
      r.Left = 0;
    else
      r.Bottom = info->Height();
  }
  if (ALast || sides.Contains(spRight)) {
    if (horizontal)
      r.Right = info->Width();
    else
      r.Top = 0;
  }
  return r;
}

void TcxPCSlantedPainter::PaintTabsRegion() {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCustomTabControl* control = ParentControl();
  const Integer main = info->MainTabVisibleIndex();
  if (main >= 0 && main >= control->FirstVisibleTab &&
      main <= control->LastVisibleTab)
    PaintTab(main);
  const Integer rowCount = info->RowCount();
  const Integer topOrLeft = info->TopOrLeftPartRowCount();
  std::vector<Integer> rows;
  for (Integer row = topOrLeft - 1; row >= 0; --row) rows.push_back(row);
  for (Integer row = topOrLeft; row < rowCount; ++row) rows.push_back(row);
  const TcxTabPosition position = info->TabPosition();
  const TcxTabSlantPositions sides = GetSlantedSides();
  const bool horizontal = cxPCIsHorizontalPosition(position);
  const TcxPCLineIndexBoundsArray lines = control->InitializeLineBoundsArray();
  for (Integer row : rows) {
    if (row >= static_cast<Integer>(lines.size()) || lines[row].Left < 0)
      continue;
    const TcxPCIndexInterval bounds = lines[row];
    for (Integer i = bounds.Left; i <= bounds.Right; ++i)
      if (i != main && info->VisibleTab(i)->RealVisible()) PaintTab(i);
    const bool nearest = row == topOrLeft - 1 || row == topOrLeft;
    const bool outermost = row == 0 || row == rowCount - 1;
    TRect r = GetTabsLineRect(row, nearest);
    cxPCExtendSide(r, cxPCOuterSide(position), -3);
    cxPCExtendSide(r, cxPCPageSide(position), 1);
    std::vector<TcxBorder> borders{cxPCPageSide(position)};
    if (!outermost) {
      if (sides.Contains(spLeft))
        borders.push_back(horizontal ? bLeft : bBottom);
      if (sides.Contains(spRight))
        borders.push_back(horizontal ? bRight : bTop);
    }
    const std::vector<TColor> colors(borders.size(), GetFrameColor());
    DrawBorder(Canvas(), r, borders.data(), colors.data(),
               static_cast<Integer>(borders.size()), false);
  }
}

void TcxPCSlantedPainter::PrepareDrawTabContentBitmapBackground(
    TBitmap* ABitmap, const TPoint& AOrigin, Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  TRect r = tab->FullRect();
  const bool vertical = ParentControl()->InternalIsVerticalText();
  if (vertical) r = {r.Top, r.Left, r.Bottom, r.Right};
  OffsetRect(r, -AOrigin.X, -AOrigin.Y);
  const TcxRotationAngle angle = ParentControl()->GetTextRotationAngle();
  const bool swap = (!info->Rotate() && angle == raMinus90) ||
                    (info->Rotate() && angle == raPlus90);
  TcxCanvas canvas(ABitmap->Canvas());
  DrawBackground(&canvas, r, swap,
                 !cxPCIsHorizontalPosition(tab->PaintingPosition()),
                 TabVisibleIndex);
}

void TcxPCSlantedPainter::FillDisplayRect() {
  TRect r = GetClientRect();
  if (ParentInfo()->IsTabsContainer())
    cxPCExtendSide(r, cxPCOuterSide(ParentInfo()->TabPosition()), 2);
  ParentInfo()->Canvas()->FillRect(r, GetClientColor());
}

void TcxPCSlantedPainter::PaintFrame() {
  TRect r = GetClientRect();
  InflateRect(r, 1, 1);
  if (ParentInfo()->IsTabsContainer())
    cxPCExtendSide(r, cxPCOuterSide(ParentInfo()->TabPosition()), 2);
  ParentInfo()->Canvas()->FrameRect(r, GetFrameColor());
}

TRect TcxPCSlantedPainter::GetClientRectOffset() {
  TRect r = inherited::GetClientRectOffset();
  TcxPCPainterParentInfo* info = ParentInfo();
  const bool tabsShown = !info->HideTabs() && info->RowCount() > 0;
  if (tabsShown && info->IsTabsContainer()) r.Top += 2;
  if (!NeedShowFrame() && tabsShown) {
    ++r.Top;
    if (info->TabsOnBothSides()) ++r.Bottom;
  }
  return r;
}

// ---------------------------------------------------------------------------
// TcxPCOneNotePainter
// ---------------------------------------------------------------------------

TcxPCOneNotePainter::TcxPCOneNotePainter(TcxCustomTabControl* ATabControl)
    : TcxPCSlantedPainter(ATabControl) {}

bool TcxPCOneNotePainter::CanLightMainTab() { return true; }

Integer TcxPCOneNotePainter::InternalGetCutValue() {
  return CalculateTabNormalHeight() + 2;
}

TcxTabSlantPositions TcxPCOneNotePainter::GetSlantedSides() { return {spLeft}; }

Integer TcxPCOneNotePainter::GetGeometricalMinTabWidth() {
  return GetCutValue() + 4;
}

TColor TcxPCOneNotePainter::GetFrameColor() {
  return cxPCOneNoteColors().Frame;
}

TcxPCWOffset TcxPCOneNotePainter::GetTabContentWOffset(Integer) {
  TcxPCWOffset offset{GetCutValue(), 4};
  if (ParentControl()->GetTextRotationAngle() == raMinus90)
    std::swap(offset.Left, offset.Right);
  return offset;
}

TcxPCWOffset TcxPCOneNotePainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return GetTabContentWOffset(TabVisibleIndex);
}

TcxPCDistance TcxPCOneNotePainter::GetTabsNormalDistance() {
  return {5 - GetCutValue(), -3};
}

TRect TcxPCOneNotePainter::GetTabsRectOffset() {
  return RotateRect(TRect{4, 0, 4, 0}, ParentInfo()->TabPosition());
}

TRect TcxPCOneNotePainter::GetTabsContainerOffsets() {
  return ParentInfo()->IsTabsContainer() ? TRect{0, 2, 0, 0} : TRect{};
}

TRect TcxPCOneNotePainter::GetDrawImageOffset(Integer) { return {0, 3, 0, 1}; }

TRect TcxPCOneNotePainter::GetDrawTextHOffset(Integer) { return {0, 4, 0, 1}; }

Integer TcxPCOneNotePainter::GetButtonsRegionHOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

void TcxPCOneNotePainter::PaintTabStateMark(Integer) {}

TColor TcxPCOneNotePainter::ColorBelow(Integer X, Integer Y) {
  TcxPCPainterParentInfo* info = ParentInfo();
  for (Integer i = 0; i < ParentControl()->VisibleTabList()->Count(); ++i)
    if (PtInRect(info->VisibleTab(i)->VisibleRect(), TPoint{X, Y}))
      return GetTabBodyColor(i);
  return info->Color();
}

void TcxPCOneNotePainter::PaintTabFrame(Integer TabVisibleIndex, const TRect&) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const TcxPCOneNoteColors& colors = cxPCOneNoteColors();
  const TColor body = GetTabBodyColor(TabVisibleIndex);
  TColor outer, inner1, inner2;
  if (tab->HotTrack()) {
    outer = inner1 = inner2 = colors.HotTab;
  } else if (tab->IsMainTab()) {
    outer = colors.Frame;
    inner1 = GetMiddleRGB(TColor(0xFFFFFF), body, 60);
    inner2 = GetMiddleRGB(inner1, body, 70);
  } else {
    outer = colors.TabOutline;
    inner1 = GetMiddleRGB(GetMiddleRGB(TColor(0xFFFFFF), colors.TabTint, 50),
                          body, 50);
    inner2 = GetMiddleRGB(colors.TabTint, body, 50);
  }
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const Integer L = f.Left, B = f.Bottom, w = f.Width(), h = f.Height();
  TcxCanvas* canvas = ParentInfo()->Canvas();
  auto blendPixel = [&](TPoint AAt, TPoint ABelow, Integer APercent) {
    const TPoints p = TurnFigure(TabVisibleIndex, {AAt, ABelow});
    canvas->SetPixel(p[0].X, p[0].Y,
                     GetMiddleRGB(outer, ColorBelow(p[1].X, p[1].Y), APercent));
  };
  auto line = [&](TPoints APoints, TColor AColor) {
    APoints = TurnFigure(TabVisibleIndex, APoints);
    InternalPolyLine(APoints.data(), static_cast<Integer>(APoints.size()) - 1,
                     nullptr, AColor);
  };
  blendPixel({L, B - 1}, {L - 1, B - 1}, 25);
  line({{L + 1, B - 1},
        {L + h - 3, B - h + 3},
        {L + h + 2, B - h},
        {L + w - 3, B - h},
        {L + w - 1, B - h + 2},
        {L + w - 1, B - 1}},
       outer);
  blendPixel({L + h + 2, B - h}, {L + h + 1, B - h}, 60);
  line({{L + 2, B - 1},
        {L + h - 3, B - h + 4},
        {L + h + 2, B - h + 1},
        {L + w - 4, B - h + 1}},
       inner1);
  line({{L + w - 3, B - h + 1}, {L + w - 2, B - h + 2}, {L + w - 2, B - 1}},
       inner2);
}

TcxRegion* TcxPCOneNotePainter::InternalGetTabClipRegion(
    Integer TabVisibleIndex, bool AInner) {
  TRect r = cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  if (AInner) {
    OffsetRect(r, 0, 1);
  } else {
    InflateRect(r, 1, 1);
  }
  const Integer L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const Integer h = B - T;
  return PolygonRegion(TurnFigure(TabVisibleIndex, {{L + 2, B - 1},
                                                    {L + h - 2, T + 3},
                                                    {L + h + 2, T + 1},
                                                    {R - 2, T + 1},
                                                    {R - 2, B - 1}}));
}

void TcxPCOneNotePainter::DrawTabUnderline(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const TColor k =
      tab->IsMainTab() ? GetTabBodyColor(TabVisibleIndex) : GetFrameColor();
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const TPoints p =
      TurnFigure(TabVisibleIndex, {{f.Left, f.Bottom},
                                   {f.Left + 1, f.Bottom},
                                   {f.Left + f.Width() - 1, f.Bottom}});
  TcxCanvas* canvas = ParentInfo()->Canvas();
  canvas->SetPixel(p[0].X, p[0].Y, GetMiddleRGB(GetFrameColor(), k, 50));
  const TPoint line[] = {p[1], p[2]};
  InternalPolyLine(line, 1, nullptr, k);
}
