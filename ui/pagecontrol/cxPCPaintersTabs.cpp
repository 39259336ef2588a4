#include "cxPCPaintersTabs.h"

#include "cxGeometry.h"
#include "cxLookAndFeels.h"
#include "cxPCPaintersSides.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// Theme parts and states of the tab and spin classes.
constexpr int TABP_TABITEM = 1;
constexpr int TABP_TABITEMLEFTEDGE = 2;
constexpr int TABP_TABITEMRIGHTEDGE = 3;
constexpr int TABP_TOPTABITEM = 5;
constexpr int TABP_TOPTABITEMLEFTEDGE = 6;
constexpr int TABP_TOPTABITEMRIGHTEDGE = 7;
constexpr int TABP_PANE = 9;
constexpr int SPNP_DOWN = 2;
constexpr int WP_SMALLCLOSEBUTTON = 19;

// Draws a theme part over R; a failed call draws nothing.
void DrawThemePart(HTHEME ATheme, HDC DC, int APart, int AState,
                   const TRect& R) {
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawThemeBackground(ATheme, DC, APart, AState, &r, nullptr);
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxPCTabsPainter
// ---------------------------------------------------------------------------

bool TcxPCTabsPainter::HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  const TcxLookAndFeelStyle kind = cxPCLookAndFeelPainterKind(ALookAndFeel);
  return kind == lfsStandard || kind == lfsNative;
}

bool TcxPCTabsPainter::IsDefault(TcxLookAndFeel* ALookAndFeel) const {
  return ALookAndFeel->NativeStyle();
}

bool TcxPCTabsPainter::IsNativePainting() {
  TcxCustomTabControl* control = ParentControl();
  return !control->ComponentState().Contains(csDestroying) &&
         control->LookAndFeel()->NativeStyle() && AreVisualStylesAvailable() &&
         OpenTheme(totTab) != nullptr;
}

bool TcxPCTabsPainter::IsOverTab(Integer, Integer, Integer) { return true; }

bool TcxPCTabsPainter::NeedShowFrame() { return true; }

Integer TcxPCTabsPainter::GetButtonHeight() {
  return IsNativePainting() ? 17 : 20;
}

Integer TcxPCTabsPainter::GetButtonWidth(TcxPCNavigatorButton AButton) {
  if (!IsNativePainting()) return inherited::GetButtonWidth(AButton);
  if (AButton == nbGoDialog) {
    SIZE size{};
    if (SUCCEEDED(GetThemePartSize(OpenTheme(totSpin), nullptr, SPNP_DOWN, 1,
                                   nullptr, dxTS_TRUE, &size)) &&
        size.cx > 0)
      return size.cx;
  }
  return 17;
}

TPoint TcxPCTabsPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  return Get3DButtonContentPosition(AButton, AState);
}

Integer TcxPCTabsPainter::GetButtonsRegionHOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

Integer TcxPCTabsPainter::GetButtonsRegionWOffset() {
  return ParentInfo()->IsTabsContainer() ? 2 : 0;
}

TRect TcxPCTabsPainter::GetTabsContainerOffsets() { return {2, 2, 2, 0}; }

Integer TcxPCTabsPainter::GetMinFrameRectSize() {
  if (ParentInfo()->IsTabsContainer()) return GetFrameWidth() + 3;
  return inherited::GetMinFrameRectSize();
}

Integer TcxPCTabsPainter::GetImageTextDistance(Integer) { return 6; }

TColor TcxPCTabsPainter::GetTabBodyColor(Integer TabVisibleIndex) {
  if (ParentInfo()->VisibleTab(TabVisibleIndex)->Highlighted())
    return GetHighlightedTabBodyColor();
  const TColor color = GetTabColor(TabVisibleIndex);
  return color == clDefault ? clBtnFace : color;
}

TcxRegionOperation TcxPCTabsPainter::GetTabClipRgnOperation(
    Integer TabVisibleIndex) {
  return ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab() ? roSet
                                                                : roIntersect;
}

TcxRegion* TcxPCTabsPainter::GetTabClipRgn(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  TRect r = tab->VisibleRect();
  // The main tab covers the page frame's line under it.
  if (tab->IsMainTab())
    cxPCExtendSide(r, cxPCPageSide(tab->PaintingPosition()), 1);
  return new TcxRegion(r);
}

Integer TcxPCTabsPainter::InternalCalculateTabNormalHeight() {
  Integer h = inherited::InternalCalculateTabNormalHeight() - 2;
  if (!ParentInfo()->Rotate()) --h;
  return h;
}

TcxPCWOffset TcxPCTabsPainter::GetTabContentWOffset(Integer TabVisibleIndex) {
  TcxPCWOffset offset{3, 3};
  if (IsTabBorderThick(TabVisibleIndex))
    offset = ParentInfo()->Rotate() ? TcxPCWOffset{4, 5} : TcxPCWOffset{5, 5};
  if (cxPCIsPaintingPositionIndexIn(
          ParentInfo()->VisibleTab(TabVisibleIndex)->PaintingPositionIndex(),
          {3, 6, 11}))
    std::swap(offset.Left, offset.Right);
  return offset;
}

TcxPCWOffset TcxPCTabsPainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return GetTabContentWOffset(TabVisibleIndex);
}

TcxPCWOffset TcxPCTabsPainter::GetDrawImageWithoutTextWOffset(
    Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (tab->IsMainTab() && ParentInfo()->Rotate()) {
    if (cxPCIsPaintingPositionIndexIn(tab->PaintingPositionIndex(), {3, 6, 11}))
      return {2, 1};
    return {1, 2};
  }
  return inherited::GetDrawImageWithoutTextWOffset(TabVisibleIndex);
}

TRect TcxPCTabsPainter::GetDrawImageOffset(Integer TabVisibleIndex) {
  TRect r = inherited::GetDrawImageOffset(TabVisibleIndex);
  if (cxPCIsPaintingPositionIndexIn(
          ParentInfo()->VisibleTab(TabVisibleIndex)->PaintingPositionIndex(),
          {5, 7, 10}))
    ++r.Bottom;
  return r;
}

TRect TcxPCTabsPainter::GetDrawTextHOffset(Integer TabVisibleIndex) {
  TRect r = inherited::GetDrawTextHOffset(TabVisibleIndex);
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (cxPCIsPaintingPositionIndexIn(tab->PaintingPositionIndex(), {5, 7, 10}))
    ++r.Bottom;
  if (tab->IsMainTab() && GetTabRotatedImageSize().cx == 0) r.Left += 2;
  return r;
}

TRect TcxPCTabsPainter::GetDisplayRectOffset() {
  TRect r = inherited::GetDisplayRectOffset();
  // The page frame's top line is the tabs' bottom line.
  if (!ParentInfo()->HideTabs() && ParentInfo()->RowCount() > 0) --r.Top;
  return r;
}

TRect TcxPCTabsPainter::GetClientRectOffset() {
  TRect r = inherited::GetClientRectOffset();
  if (IsNativePainting()) {
    TRect content{};
    GetNativeContentOffset(content);
    content = RotateRect(content, ParentInfo()->TabPosition());
    r = {r.Left - 2 + content.Left, r.Top - 2 + content.Top,
         r.Right - 2 + content.Right, r.Bottom - 2 + content.Bottom};
  } else if (ParentInfo()->IsTabsContainer()) {
    r.Top += 3 - GetFrameWidth();
  }
  return r;
}

void TcxPCTabsPainter::CorrectTabRect(Integer TabVisibleIndex,
                                      TcxPCRectCorrection& ACorrection) {
  inherited::CorrectTabRect(TabVisibleIndex, ACorrection);
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (!tab->IsMainTab()) return;
  // The selected tab stands out of its row and over the page frame.
  switch (tab->PaintingPosition()) {
    case tpTop:
      ACorrection = {-2, -2, 2, 1};
      break;
    case tpBottom:
      ACorrection = {-2, -1, 2, 2};
      break;
    case tpLeft:
      ACorrection = {-2, -2, 1, 2};
      break;
    case tpRight:
      ACorrection = {-1, -2, 2, 2};
      break;
  }
}

void TcxPCTabsPainter::GetTabNativePartAndState(Integer TabVisibleIndex,
                                                Integer& APartId,
                                                Integer& AStateId) {
  enum { LeftEdge, Middle, RightEdge } edge = Middle;
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  const bool firstOfRow =
      TabVisibleIndex == 0 ||
      info->VisibleTab(TabVisibleIndex - 1)->VisibleRow != tab->VisibleRow;
  const bool lastOfRow =
      TabVisibleIndex == ParentControl()->VisibleTabList()->Count() - 1 ||
      info->VisibleTab(TabVisibleIndex + 1)->VisibleRow != tab->VisibleRow;
  if (!info->IsTabsContainer()) {
    if (!info->MultiLine() || info->RaggedRight()) {
      if (firstOfRow)
        edge = LeftEdge;
      else if (TabVisibleIndex ==
               ParentControl()->VisibleTabList()->Count() - 1)
        edge = RightEdge;
      if (edge == RightEdge && tab->IsMainTab()) edge = Middle;
    } else if (lastOfRow) {
      edge = RightEdge;
    } else if (firstOfRow) {
      edge = LeftEdge;
    }
  }
  static constexpr int kParts[2][3] = {
      {TABP_TABITEMLEFTEDGE, TABP_TABITEM, TABP_TABITEMRIGHTEDGE},
      {TABP_TOPTABITEMLEFTEDGE, TABP_TOPTABITEM, TABP_TOPTABITEMRIGHTEDGE}};
  APartId = kParts[tab->IsMainTab() ? 1 : 0][edge];
  AStateId = GetTabNativeState(TabVisibleIndex);
}

void TcxPCTabsPainter::GetTabsPosition(TcxPCNavigatorButtons ANavigatorButtons,
                                       TcxPCTabsPosition& ATabsPosition) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const TcxTabPosition position = info->TabPosition();
  const TRect bounds{0, 0, info->Width(), info->Height()};
  const Integer w = CalculateButtonsRegionWidth(ANavigatorButtons);
  const TRect c = info->IsTabsContainer() ? GetTabsContainerOffsets() : TRect{};
  TRect extended = bounds;
  TRect normal = bounds;
  cxPCExtendSide(extended, cxPCOuterSide(position), -c.Top);
  cxPCExtendSide(normal, cxPCOuterSide(position), -(c.Top + 2));

  const TcxBorder start = cxPCRowStartSide(position);
  const TcxBorder end = cxPCRowEndSide(position);
  if (info->MultiLine() || ANavigatorButtons.Empty()) {
    cxPCExtendSide(extended, start, -c.Left);
    cxPCExtendSide(extended, end, -c.Left);
  } else {
    const TcxPCNavigatorPosition np = info->NavigatorPosition();
    const bool navigatorAtEnd =
        cxPCIsHorizontalPosition(position)
            ? (np == npRightTop || np == npRightBottom)
            : (np == npLeftBottom || np == npRightBottom);
    cxPCExtendSide(extended, navigatorAtEnd ? end : start, -w);
    cxPCExtendSide(extended, navigatorAtEnd ? start : end, -c.Left);
  }
  if (cxPCIsHorizontalPosition(position)) {
    normal.Left = extended.Left + 2;
    normal.Right = extended.Right - 2;
    ATabsPosition.RowLength = normal.Right - normal.Left;
  } else {
    normal.Top = extended.Top + 2;
    normal.Bottom = extended.Bottom - 2;
    ATabsPosition.RowLength = normal.Bottom - normal.Top;
  }
  ATabsPosition.ExtendedTabsRect = extended;
  ATabsPosition.NormalTabsRect = normal;
  const bool topOrLeft = position == tpTop || position == tpLeft;
  ATabsPosition.TopOrLeftPartExtension = topOrLeft ? 1 : 0;
  ATabsPosition.BottomOrRightPartExtension = topOrLeft ? 0 : -1;
  ATabsPosition.PartsDistance = 0;
  CalculateButtonsRegion(ANavigatorButtons);
}

void TcxPCTabsPainter::InternalPrepareOutTabImageAndTextData(
    Integer TabVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) {
  TRect imageRect = AImageRect;
  TRect textRect = ATextRect;
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (IsNativePainting() && tab->IsMainTab() &&
      cxPCIsPaintingPositionIndexIn(tab->PaintingPositionIndex(), {5, 7, 10})) {
    OffsetRect(imageRect, 0, 1);
    OffsetRect(textRect, 0, 1);
  }
  inherited::InternalPrepareOutTabImageAndTextData(TabVisibleIndex, imageRect,
                                                   textRect);
}

void TcxPCTabsPainter::InvalidateTabRect(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  TRect r = tab->VisibleRect();
  cxPCExtendSide(r, cxPCPageSide(tab->PaintingPosition()), 1);
  InternalInvalidateRect(r);
}

void TcxPCTabsPainter::RepaintTab(Integer TabVisibleIndex,
                                  TcxPCTabPropertyChanged ATabPropertyChanged) {
  if (ATabPropertyChanged == tpcIsMainTab &&
      !ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()) {
    // The tab that lost the selection shrinks back into its row, and its
    // neighbours show again where it covered them.
    InvalidateTabExtendedTabsRect(TabVisibleIndex);
    return;
  }
  inherited::RepaintTab(TabVisibleIndex, ATabPropertyChanged);
}

void TcxPCTabsPainter::DrawNativeTabBackground(HDC DC, TWinControl* ATabSheet) {
  TWinControl* sheet = ATabSheet;
  TRect r = GetDisplayRect();
  InflateRect(r, 2, 2);
  OffsetRect(r, -sheet->Left(), -sheet->Top());
  DrawThemePart(OpenTheme(totTab), DC, TABP_PANE, 0, r);
}

// -- painting ---------------------------------------------------------------

void TcxPCTabsPainter::PaintTabsRegion() {
  TcxPCPainterParentInfo* info = ParentInfo();
  const Integer main = info->MainTabVisibleIndex();
  const bool mainShown = main >= 0 && info->VisibleTab(main)->RealVisible();
  if (mainShown) PaintTab(main);
  for (Integer i = ParentControl()->FirstVisibleTab;
       i <= ParentControl()->LastVisibleTab && i >= 0; ++i)
    if (i != main || !mainShown) PaintTab(i);
}

void TcxPCTabsPainter::PrepareTabBackground(Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  TRect r = tab->FullRect();
  if (tab->IsMainTab())
    cxPCExtendSide(r, cxPCPageSide(tab->PaintingPosition()), 1);
  Integer w = r.Width(), h = r.Height();
  if (!cxPCIsHorizontalPosition(tab->PaintingPosition())) std::swap(w, h);
  tab->InitializePaintBitmap();
  TBitmap* bitmap = tab->PaintBitmap();
  bitmap->SetSize(w, h);
  TcxCanvas canvas(bitmap->Canvas());
  const TRect bitmapRect{0, 0, w, h};
  TWinControl* control = ParentControl();
  if (control->ParentBackground() && control->Parent() != nullptr) {
    cxDrawThemeParentBackground(control, &canvas, bitmapRect);
  } else {
    canvas.FillRect(bitmapRect, control->Parent() != nullptr
                                    ? control->Parent()->Color()
                                    : info->Color());
  }
  PaintNativeTabBackground(TabVisibleIndex, &canvas, bitmapRect);
  switch (tab->PaintingPositionIndex()) {
    case 2:
    case 9:
      canvas.RotateBitmap(bitmap, raMinus90);
      break;
    case 3:
      canvas.RotateBitmap(bitmap, raPlus90);
      break;
    case 4:
      canvas.RotateBitmap(bitmap, ra180, true);
      break;
    case 5:
    case 10:
      canvas.RotateBitmap(bitmap, ra0, true);
      break;
    case 6:
    case 11:
      canvas.RotateBitmap(bitmap, raPlus90, true);
      break;
    case 7:
      canvas.RotateBitmap(bitmap, ra180);
      break;
    case 12:
      canvas.RotateBitmap(bitmap, raMinus90, true);
      break;
    default:
      break;
  }
}

void TcxPCTabsPainter::PaintNativeTabBackground(Integer TabVisibleIndex,
                                                TcxCanvas* ACanvas,
                                                const TRect& R) {
  Integer part = 0, state = 0;
  GetTabNativePartAndState(TabVisibleIndex, part, state);
  DrawThemePart(OpenTheme(totTab), ACanvas->Handle(), part, state, R);
}

void TcxPCTabsPainter::PaintTabShape(Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCanvas* canvas = info->Canvas();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  const TcxTabPosition side = tab->PaintingPosition();
  if (IsNativePainting()) {
    TRect target = tab->FullRect();
    if (tab->IsMainTab()) cxPCExtendSide(target, cxPCPageSide(side), 1);
    TBitmap* bitmap = tab->PaintBitmap();
    if (bitmap != nullptr) {
      TcxCanvas bitmapCanvas(bitmap->Canvas());
      const Integer index = tab->PaintingPositionIndex();
      if (cxPCIsPaintingPositionIndexIn(index, {2, 4, 7, 11}))
        bitmapCanvas.RotateBitmap(bitmap, raPlus90);
      else if (cxPCIsPaintingPositionIndexIn(index, {3, 5, 8, 12}))
        bitmapCanvas.RotateBitmap(bitmap, raMinus90);
      canvas->Draw(target.Left, target.Top, bitmap);
    }
    // The caption was laid out in the tab's own orientation (only vertical
    // captions sit on turned bitmaps) but relative to the tab; whoever reads
    // the stored rectangle after painting wants it on the control.
    TRect& text = OutTabImageAndTextData.TabTextRect;
    if (!cxRectIsEmpty(text)) {
      const TRect tabRect = tab->FullRect();
      OffsetRect(text, tabRect.Left, tabRect.Top);
    }
    TRect focus = target;
    InflateRect(focus, -2, -2);
    InternalDrawFocusRect(TabVisibleIndex, focus);
    tab->ResetPaintBitmap();
    return;
  }

  TRect r = tab->FullRect();
  InflateRect(r, -2, -2);
  cxPCExtendSide(r, cxPCPageSide(side), 2);
  canvas->FillRect(r, GetTabBodyColor(TabVisibleIndex));
  if (tab->IsMainTab()) {
    TRect focus = r;
    cxPCExtendSide(focus, cxPCPageSide(side), -1);
    InternalDrawFocusRect(TabVisibleIndex, focus);
  } else {
    canvas->FillRect(cxPCSideStrip(r, cxPCPageSide(side), 2, true),
                     info->Color());
  }
  PaintTabFrame(TabVisibleIndex);
}

bool TcxPCTabsPainter::IsLightEdge(Integer TabVisibleIndex, TFigureEdge AEdge) {
  // Where the figure's start, end and outer edge land on each side.
  switch (ParentInfo()->VisibleTab(TabVisibleIndex)->PaintingPosition()) {
    case tpTop:
      return AEdge != TFigureEdge::End;  // left, top | right
    case tpBottom:
      return AEdge == TFigureEdge::Start;  // left | bottom, right
    case tpLeft:
      return AEdge != TFigureEdge::Start;  // outer left, top | bottom
    case tpRight:
      return AEdge == TFigureEdge::End;  // top | outer right, bottom
  }
  return true;
}

void TcxPCTabsPainter::DrawFigureLines(Integer TabVisibleIndex,
                                       const std::vector<TFigureLine>& ALines,
                                       TColor ALightOuter, TColor ALightInner,
                                       TColor ADarkOuter, TColor ADarkInner) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const TRect r = tab->FullRect();
  const TcxTabPosition side = tab->PaintingPosition();
  for (const TFigureLine& line : ALines) {
    const bool light = IsLightEdge(TabVisibleIndex, line.Edge);
    const TColor color = light ? (line.Inner ? ALightInner : ALightOuter)
                               : (line.Inner ? ADarkInner : ADarkOuter);
    TPoint points[] = {line.From, line.To};
    RotatePolyline(r, points, 1, side);
    InternalPolyLine(points, 1, nullptr, color);
  }
}

void TcxPCTabsPainter::PaintTabFrame(Integer TabVisibleIndex) {
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const Integer L = f.Left, T = f.Top, R = f.Right, B = f.Bottom;
  using E = TFigureEdge;
  std::vector<TFigureLine> lines = {
      {{L, B - 1}, {L, T + 2}, E::Start, false},
      {{L, T + 2}, {L + 2, T}, E::Start, false},
      {{L + 2, T}, {R - 3, T}, E::Along, false},
      {{L + 1, B - 1}, {L + 1, T + 2}, E::Start, true},
      {{L + 1, T + 2}, {L + 2, T + 1}, E::Start, true},
      {{L + 2, T + 1}, {R - 3, T + 1}, E::Along, true},
      {{R - 1, B - 1}, {R - 1, T + 2}, E::End, false},
      {{R - 1, T + 2}, {R - 2, T + 1}, E::End, false},
      {{R - 2, B - 1}, {R - 2, T + 2}, E::End, true},
  };
  DrawFigureLines(TabVisibleIndex, lines, clBtnHighlight, cl3DLight,
                  cl3DDkShadow, clBtnShadow);

  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  if (tab->IsMainTab()) {
    // The main tab opens into the page: its base line takes the body colour
    // and, at the control's edges, continues the page frame.
    const TcxTabPosition side = tab->PaintingPosition();
    const TRect full = tab->FullRect();
    const bool horizontal = cxPCIsHorizontalPosition(side);
    const bool atEnd = horizontal ? full.Right == info->Width() : full.Top == 0;
    // Its left end continues the frame's two light lines (at the control's
    // edge they are the frame's own).
    const std::vector<TFigureLine> base = {
        {{L, B}, {L, B}, E::Start, false},
        {{L + 1, B}, {L + 1, B}, E::Start, true}};
    DrawFigureLines(TabVisibleIndex, base, clBtnHighlight, cl3DLight,
                    cl3DDkShadow, clBtnShadow);
    const Integer bodyEnd = atEnd ? R - 3 : R - 1;
    TPoint body[] = {{L + 2, B}, {bodyEnd, B}};
    RotatePolyline(full, body, 1, side);
    InternalPolyLine(body, 1, nullptr, GetTabBodyColor(TabVisibleIndex));
    if (atEnd) {
      DrawFigureLines(TabVisibleIndex,
                      {{{R - 2, B}, {R - 2, B}, E::End, true},
                       {{R - 1, B}, {R - 1, B}, E::End, false}},
                      clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow);
    }
  }
  PaintTabCorners(TabVisibleIndex);
}

bool TcxPCTabsPainter::IsPageSideRow(Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const Integer row = info->VisibleTab(TabVisibleIndex)->VisibleRow;
  const Integer topOrLeft = info->TopOrLeftPartRowCount();
  const bool outermostTop = row == 0 && topOrLeft > 0;
  const bool outermostBottom = row == info->RowCount() - 1 && row >= topOrLeft;
  return !(outermostTop || outermostBottom);
}

void TcxPCTabsPainter::GetTabCornersColor(Integer TabVisibleIndex,
                                          TColor& AFirst, TColor& ASecond) {
  TcxPCPainterParentInfo* info = ParentInfo();
  if (!IsPageSideRow(TabVisibleIndex)) {
    AFirst = ASecond = info->Color();
    return;
  }
  AFirst = ASecond = clBtnFace;
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  if (tab->IsMainTab() && !info->Rotate()) {
    const Integer row = tab->VisibleRow;
    if (TabVisibleIndex == 0 ||
        info->VisibleTab(TabVisibleIndex - 1)->VisibleRow != row)
      AFirst = info->Color();
    if (TabVisibleIndex == ParentControl()->VisibleTabList()->Count() - 1 ||
        info->VisibleTab(TabVisibleIndex + 1)->VisibleRow != row)
      ASecond = info->Color();
  }
}

void TcxPCTabsPainter::PaintTabCorners(Integer TabVisibleIndex) {
  TColor first = clNone, second = clNone;
  GetTabCornersColor(TabVisibleIndex, first, second);
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const TcxTabPosition side = tab->PaintingPosition();
  if (!cxPCIsHorizontalPosition(side) &&
      !ParentInfo()->Options().Contains(pcoTopToBottomText))
    std::swap(first, second);
  // The cut corners leave three pixels each outside the outline; nothing
  // else paints them, as the tab's rectangle is out of the clip afterwards.
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const Integer L = f.Left, T = f.Top, R = f.Right;
  TPoint notches[] = {{L, T},     {L + 1, T}, {L, T + 1},
                      {R - 1, T}, {R - 2, T}, {R - 1, T + 1}};
  RotatePolyline(tab->FullRect(), notches, 5, side);
  TcxCanvas* canvas = Canvas();
  for (Integer i = 0; i < 6; ++i)
    canvas->SetPixel(notches[i].X, notches[i].Y, i < 3 ? first : second);
}

void TcxPCTabsPainter::PaintButton(TcxPCNavigatorButton AButton,
                                   const TRect& ARect) {
  if (!IsNativePainting()) {
    inherited::PaintButton(AButton, ARect);
    return;
  }
  HTHEME theme = nullptr;
  int part = 0;
  if (AButton == nbClose) {
    theme = OpenTheme(totWindow);
    part = WP_SMALLCLOSEBUTTON;
  } else {
    theme = OpenTheme(totSpin);
    static constexpr int kSpinParts[] = {1, 2, 4,
                                         3};  // top, bottom, left, right
    part = kSpinParts[GetButtonArrow(AButton)];
  }
  static constexpr int kStates[] = {1, 3, 2,
                                    4};  // normal, pressed, hot, disabled
  const int state = kStates[ParentInfo()->NavigatorButtonState(AButton)];
  TcxCanvas* canvas = ParentInfo()->Canvas();
  TWinControl* control = ParentControl();
  if (control->ParentBackground() &&
      IsThemeBackgroundPartiallyTransparent(theme, part, state))
    cxDrawThemeParentBackground(control, canvas, ARect);
  else
    canvas->FillRect(ARect, ParentInfo()->Color());
  DrawThemePart(theme, canvas->Handle(), part, state, ARect);
}

void TcxPCTabsPainter::PaintClientArea() {
  if (!IsNativePainting()) {
    inherited::PaintClientArea();
    return;
  }
  InternalPaintFrame(ParentInfo()->Canvas());
}

void TcxPCTabsPainter::InternalPaintFrame(TcxCanvas* ACanvas) {
  TRect r = GetDisplayRect();
  if (IsRectEmpty(r)) return;
  TRect content{};
  GetNativeContentOffset(content);
  if (r.Width() < content.Left + content.Right)
    r.Right = r.Left + content.Left + content.Right;
  if (r.Height() < content.Top + content.Bottom)
    r.Bottom = r.Top + content.Top + content.Bottom;
  HTHEME theme = OpenTheme(totTab);
  const bool ownCanvas = ACanvas == ParentInfo()->Canvas();
  TWinControl* control = ParentControl();
  if (ownCanvas && control->ParentBackground() &&
      IsThemeBackgroundPartiallyTransparent(theme, TABP_PANE, 0))
    cxDrawThemeParentBackground(control, ACanvas, r);
  else
    ACanvas->FillRect(r, ParentInfo()->Color());
  DrawThemePart(theme, ACanvas->Handle(), TABP_PANE, 0, r);
  if (ownCanvas) ACanvas->ExcludeClipRect(r);
}

void TcxPCTabsPainter::PaintFrame() {
  inherited::PaintFrame();
  if (ParentInfo()->IsTabsContainer()) {
    TRect r = GetFrameRect();
    InflateRect(r, -GetFrameWidth(), -GetFrameWidth());
    ParentInfo()->Canvas()->FillRect(r, clBtnFace);
  }
}

// ---------------------------------------------------------------------------
// TcxPCFlatPainter
// ---------------------------------------------------------------------------

bool TcxPCFlatPainter::HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  return cxPCLookAndFeelPainterKind(ALookAndFeel) == lfsFlat;
}

bool TcxPCFlatPainter::IsNativePainting() { return false; }

bool TcxPCFlatPainter::NeedShowFrame() { return true; }

Integer TcxPCFlatPainter::GetFrameWidth() { return 1; }

Integer TcxPCFlatPainter::GetButtonHeight() {
  return TcxPCStandardPainter::GetButtonHeight() - 2;
}

Integer TcxPCFlatPainter::GetButtonWidth(TcxPCNavigatorButton AButton) {
  return TcxPCStandardPainter::GetButtonWidth(AButton) - 2;
}

TPoint TcxPCFlatPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  TPoint p = inherited::GetButtonContentPosition(AButton, AState);
  return {p.X - 1, p.Y - 1};
}

TcxRegion* TcxPCFlatPainter::GetTabClipRgn(Integer TabVisibleIndex) {
  return new TcxRegion(
      ParentInfo()->VisibleTab(TabVisibleIndex)->VisibleRect());
}

TcxRegionOperation TcxPCFlatPainter::GetTabClipRgnOperation(Integer) {
  return roIntersect;
}

void TcxPCFlatPainter::PaintButtonFrame(TRect& ARect,
                                        TcxPCNavigatorButtonState AState) {
  const bool pressed = AState == nbsPressed;
  ParentInfo()->Canvas()->DrawComplexFrame(
      ARect, pressed ? clBtnShadow : clBtnHighlight,
      pressed ? clBtnHighlight : clBtnShadow);
  InflateRect(ARect, -1, -1);
}

void TcxPCFlatPainter::PaintFrameBorder(const TRect& ARect) {
  ParentInfo()->Canvas()->DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
}

void TcxPCFlatPainter::PaintTabFrame(Integer TabVisibleIndex) {
  const TRect f =
      cxPCTabTopFrameRect(ParentInfo()->VisibleTab(TabVisibleIndex));
  const Integer L = f.Left, T = f.Top, R = f.Right, B = f.Bottom;
  const TColor light = BrightenColor(GetTabBodyColor(TabVisibleIndex), 85);
  const TcxTabPosition side =
      ParentInfo()->VisibleTab(TabVisibleIndex)->PaintingPosition();
  using E = TFigureEdge;
  // The outer line: highlight on the light edges, shadow on the dark ones.
  const std::vector<TFigureLine> outer = {
      {{L, B - 1}, {L, T + 2}, E::Start, false},
      {{L, T + 2}, {L + 2, T}, E::Start, false},
      {{L + 2, T}, {R - 3, T}, E::Along, false},
      {{R - 3, T}, {R - 2, T + 1}, E::Along, false},
      {{R - 1, T + 2}, {R - 1, B - 1}, E::End, false},
  };
  DrawFigureLines(TabVisibleIndex, outer, clBtnHighlight, clBtnHighlight,
                  clBtnShadow, clBtnShadow);
  // The inner line takes the light colour beside the highlight and, on
  // bottom and right tabs, the face colour beside the shadow.
  const TColor innerDark = side == tpTop || side == tpLeft ? light : clBtnFace;
  const std::vector<TFigureLine> inner = {
      {{L + 1, B - 1}, {L + 1, T + 2}, E::Start, true},
      {{L + 1, T + 2}, {L + 2, T + 1}, E::Start, true},
      {{L + 2, T + 1}, {R - 3, T + 1}, E::Along, true},
      {{R - 3, T + 1}, {R - 2, T + 2}, E::End, true},
      {{R - 2, T + 2}, {R - 2, B - 1}, E::End, true},
  };
  DrawFigureLines(TabVisibleIndex, inner, light, light, innerDark, innerDark);
  PaintTabCorners(TabVisibleIndex);
}
