#include "cxPCPaintersFlat.h"

#include "cxGeometry.h"
#include "cxLookAndFeels.h"
#include "cxPCPaintersSides.h"
#include "dxOffice11.h"

namespace {}  // namespace

// ---------------------------------------------------------------------------
// TcxPCExtraFlatPainter
// ---------------------------------------------------------------------------

TcxPCExtraFlatPainter::TcxPCExtraFlatPainter(TcxCustomTabControl* ATabControl)
    : TcxPCStandardPainter(ATabControl) {}

bool TcxPCExtraFlatPainter::AreTabsShown() {
  return !ParentInfo()->HideTabs() && ParentInfo()->RowCount() > 0;
}

Integer TcxPCExtraFlatPainter::GetFrameWidth() { return 1; }

TColor TcxPCExtraFlatPainter::GetFreeSpaceColor() { return clBtnFace; }

TColor TcxPCExtraFlatPainter::GetClientColor() {
  const Integer main = ParentInfo()->MainTabVisibleIndex();
  return main < 0 ? clBtnFace : ParentInfo()->PageColor(main);
}

Integer TcxPCExtraFlatPainter::GetDefaultTabNormalHeight() { return 17; }

Integer TcxPCExtraFlatPainter::GetDefaultTabNormalHTextOffset() { return 2; }

Integer TcxPCExtraFlatPainter::InternalCalculateTabNormalHeight() {
  return inherited::InternalCalculateTabNormalHeight() - 3;
}

Integer TcxPCExtraFlatPainter::GetTabNormalWidth(Integer TabVisibleIndex) {
  // No room for an image where the standard painter reserves none.
  if (inherited::GetTabNormalWidth(TabVisibleIndex) == 12) return 0;
  return GetTabBaseImageSize().cx + 2 * ParentInfo()->ImageBorder() + 4;
}

Integer TcxPCExtraFlatPainter::GetMinTabNormalWidth(Integer TabVisibleIndex) {
  return GetTabNormalWidth(TabVisibleIndex);
}

Integer TcxPCExtraFlatPainter::GetTabBorderWidth(Integer TabVisibleIndex) {
  return TabVisibleIndex >= 0 &&
                 ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()
             ? 1
             : 0;
}

void TcxPCExtraFlatPainter::CalculateTabNormalWidth(TcxTab* ATab) {
  const Integer index = ATab->VisibleIndex();
  if (ParentInfo()->TabWidth() >= 1) {
    ATab->NormalWidth = ParentInfo()->TabWidth();
    return;
  }
  Integer width = GetTabNormalWidth(index);
  if (ATab->Caption().empty())
    width += 12;
  else
    width += ParentControl()->TextSize(ATab, ATab->Caption()).cx + 9;
  ATab->NormalWidth = std::max(width, GetMinTabNormalWidth(index));
}

Integer TcxPCExtraFlatPainter::CalculateTabNormalHeight() {
  Integer h = std::max(InternalCalculateTabNormalHeight(), 17);
  h = CorrectTabHeightForImage(h);
  const Integer tabHeight = ParentInfo()->TabHeight();
  if (tabHeight - 4 >= 17) h = std::max(h, tabHeight - 4);
  return h;
}

TcxPCWOffset TcxPCExtraFlatPainter::GetTabContentWOffset(
    Integer TabVisibleIndex) {
  return ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()
             ? TcxPCWOffset{3, 3}
             : TcxPCWOffset{2, 2};
}

TcxPCWOffset TcxPCExtraFlatPainter::GetTooNarrowTabContentWOffset(
    Integer TabVisibleIndex) {
  return GetTabContentWOffset(TabVisibleIndex);
}

TRect TcxPCExtraFlatPainter::GetDrawImageOffset(Integer TabVisibleIndex) {
  return ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()
             ? TRect{3, 0, 0, 0}
             : TRect{2, 0, 0, 0};
}

TRect TcxPCExtraFlatPainter::GetDrawTextHOffset(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const bool main = tab->IsMainTab();
  TRect r = main ? TRect{6, 2, 3, 0} : TRect{5, 2, 3, 0};
  if (cxPCIsPaintingPositionIndexIn(tab->PaintingPositionIndex(), {5, 7, 10}))
    r.Top = r.Bottom = 0;
  if (GetTabRotatedImageSize().cx > 0) r.Left += main ? 1 : 2;
  return r;
}

void TcxPCExtraFlatPainter::CorrectTabRect(Integer TabVisibleIndex,
                                           TcxPCRectCorrection& ACorrection) {
  inherited::CorrectTabRect(TabVisibleIndex, ACorrection);
  if (ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab())
    ACorrection = {-1, -1, 1, 1};
}

TColor TcxPCExtraFlatPainter::GetTabBodyColor(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (tab->Highlighted()) return GetHighlightedTabBodyColor();
  TColor color = GetTabColor(TabVisibleIndex);
  if (color != clDefault) return color;
  if (tab->IsMainTab()) return clBtnFace;
  return ParentInfo()->IsTabsContainer() ? ParentInfo()->Color()
                                         : cxPCLightBrushColor();
}

TColor TcxPCExtraFlatPainter::GetTabsRowColor() {
  return ParentInfo()->IsTabsContainer() ? ParentInfo()->Color()
                                         : cxPCLightBrushColor();
}

Integer TcxPCExtraFlatPainter::GetTabsDelimiterWidth() { return 1; }

TcxPCDistance TcxPCExtraFlatPainter::GetTabsDelimiterOffsets() {
  return {2, 2};
}

Integer TcxPCExtraFlatPainter::GetTabsRowsDelimiterWidth() { return 3; }

TcxPCDistance TcxPCExtraFlatPainter::GetTabsNormalDistance() {
  TcxPCDistance d{GetTabsDelimiterWidth(), GetTabsRowsDelimiterWidth() + 3};
  if (ParentInfo()->Rotate()) d = RotateTabsDistance(d);
  return d;
}

bool TcxPCExtraFlatPainter::NeedShowTabsRegionFrame() { return false; }

Integer TcxPCExtraFlatPainter::GetButtonHeight() { return 13; }

Integer TcxPCExtraFlatPainter::GetButtonWidth(TcxPCNavigatorButton) {
  return 13;
}

Integer TcxPCExtraFlatPainter::GetButtonsDistance(
    TcxPCNavigatorButton AButton1, TcxPCNavigatorButton AButton2) {
  // The go-dialog button sits against its arrow; the close button keeps
  // its distance.
  const bool goDialog = AButton1 == nbGoDialog || AButton2 == nbGoDialog;
  const bool close = AButton1 == nbClose || AButton2 == nbClose;
  return goDialog && !close ? 0 : 3;
}

Integer TcxPCExtraFlatPainter::GetButtonsRegionHOffset() { return 6; }

Integer TcxPCExtraFlatPainter::GetButtonsRegionWOffset() {
  return NeedShowTabsRegionFrame() ? GetFrameWidth() + 1 : 1;
}

TColor TcxPCExtraFlatPainter::GetButtonColor(TcxPCNavigatorButtonState AState) {
  return AState == nbsPressed || AState == nbsHotTrack ? clBtnFace
                                                       : GetTabsRowColor();
}

TColor TcxPCExtraFlatPainter::GetButtonContentColor(
    TcxPCNavigatorButtonState AState) {
  if (ParentControl()->Enabled() && AState != nbsDisabled)
    return AState == nbsPressed ? clBtnHighlight : clBtnText;
  return clBtnShadow;
}

TPoint TcxPCExtraFlatPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  switch (AButton) {
    case nbGoDialog:
      return {3, AState == nbsPressed ? 5 : 4};
    case nbClose:
      return cxPCIsHorizontalPosition(ParentInfo()->TabPosition())
                 ? TPoint{2, 3}
                 : TPoint{3, 2};
    default:
      break;
  }
  switch (GetButtonArrow(AButton)) {
    case aTop:
      return {2, 5};
    case aBottom:
      return {2, 3};
    case aLeft:
      return {5, 2};
    default:
      return {3, 2};
  }
}

void TcxPCExtraFlatPainter::CalculateButtonContentParameters(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
    TcxPCNavigatorButtonContentParameters& AParameters) {
  inherited::CalculateButtonContentParameters(AButton, AState, AParameters);
  // The glyph shows its state by its colours, never through the disabled
  // double drawing; a disabled arrow is drawn hollow.
  AParameters.Enabled = true;
  AParameters.IsThinGlyph = AButton == nbClose || !ParentControl()->Enabled() ||
                            AState == nbsDisabled;
  if (AParameters.IsThinGlyph) AParameters.BrushColor = cxPCLightBrushColor();
}

void TcxPCExtraFlatPainter::PaintButtonFrame(TRect& ARect,
                                             TcxPCNavigatorButtonState AState) {
  if (AState != nbsPressed && AState != nbsHotTrack) return;
  InternalDrawEdge(ARect, AState == nbsPressed, true);
  InflateRect(ARect, -1, -1);
}

TRect TcxPCExtraFlatPainter::GetFocusRect() {
  TcxTab* tab = ParentInfo()->VisibleTab(ParentInfo()->MainTabVisibleIndex());
  TRect r = tab->FullRect();
  switch (tab->PaintingPosition()) {
    case tpTop:
      return {r.Left, r.Top, r.Right - 1, r.Bottom + 1};
    case tpBottom:
      return {r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
    case tpLeft:
      return {r.Left, r.Top, r.Right + 1, r.Bottom - 1};
    case tpRight:
      return {r.Left - 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  return r;
}

void TcxPCExtraFlatPainter::GetTabsPosition(
    TcxPCNavigatorButtons ANavigatorButtons, TcxPCTabsPosition& ATabsPosition) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const TcxTabPosition position = info->TabPosition();
  const Integer w = CalculateButtonsRegionWidth(ANavigatorButtons);
  TRect margins{6, 3, 6, 0};
  if (NeedShowTabsRegionFrame()) {
    margins.Top += GetFrameWidth();
    margins.Bottom += GetFrameWidth();
  }
  TRect normal = cxRectContent(TRect{0, 0, info->Width(), info->Height()},
                               RotateRect(margins, position));
  const bool horizontal = cxPCIsHorizontalPosition(position);
  ATabsPosition.RowLength =
      (horizontal ? info->Width() : info->Height()) - w - 12;
  const TcxPCNavigatorPosition np = info->NavigatorPosition();
  const bool navigatorAtStart = horizontal
                                    ? (np == npLeftTop || np == npLeftBottom)
                                    : (np == npLeftTop || np == npRightTop);
  cxPCExtendSide(
      normal,
      navigatorAtStart ? cxPCRowStartSide(position) : cxPCRowEndSide(position),
      -w);
  TRect extended = normal;
  cxPCExtendSide(extended, cxPCRowStartSide(position), 1);
  cxPCExtendSide(extended, cxPCRowEndSide(position), 1);
  cxPCExtendSide(extended, cxPCOuterSide(position), 1);
  ATabsPosition.NormalTabsRect = normal;
  ATabsPosition.ExtendedTabsRect = extended;
  const bool topOrLeft = position == tpTop || position == tpLeft;
  ATabsPosition.TopOrLeftPartExtension = topOrLeft ? 1 : 0;
  ATabsPosition.BottomOrRightPartExtension = topOrLeft ? 0 : -1;
  ATabsPosition.PartsDistance = GetTabsNormalDistance().dh - 1;
  CalculateButtonsRegion(ANavigatorButtons);
}

TRect TcxPCExtraFlatPainter::GetClientRectOffset() {
  TRect r = inherited::GetClientRectOffset();
  if (AreTabsShown()) r.Top += 2;
  ExcludeUnderLine(r);
  return r;
}

void TcxPCExtraFlatPainter::ExcludeUnderLine(TRect& AOffset) {
  // With a frame, the frame's open side and the underline share a line.
  if (NeedShowFrame() && AreTabsShown()) --AOffset.Top;
}

TRect TcxPCExtraFlatPainter::GetDisplayRectOffset() {
  TRect r = inherited::GetDisplayRectOffset();
  if (!ParentInfo()->HideTabs() && ParentInfo()->TabsOnBothSides())
    r.Bottom += 3;
  return r;
}

// -- painting ---------------------------------------------------------------

void TcxPCExtraFlatPainter::InternalPaint() {
  PaintClientArea();
  if (!ParentInfo()->HideTabs()) {
    PaintButtonsRegion();
    PaintTabsRegion();
  }
}

void TcxPCExtraFlatPainter::PaintClientArea() {
  PaintMainTabRowUnderline();
  inherited::PaintClientArea();
}

TRect TcxPCExtraFlatPainter::GetMainTabRowUnderlineRect() {
  return cxPCSideStrip(GetClientRect(),
                       cxPCOuterSide(ParentInfo()->TabPosition()), 2, true);
}

TColor TcxPCExtraFlatPainter::GetMainTabRowUnderlineColor() {
  const Integer main = ParentInfo()->MainTabVisibleIndex();
  if (main < 0) return clBtnFace;
  const TColor color = GetTabColor(main);
  return color == clDefault ? clBtnFace : color;
}

void TcxPCExtraFlatPainter::PaintMainTabRowUnderline() {
  if (!AreTabsShown()) return;
  ParentInfo()->Canvas()->FillRect(GetMainTabRowUnderlineRect(),
                                   GetMainTabRowUnderlineColor());
}

void TcxPCExtraFlatPainter::PaintFrame() {
  InternalPaintFrame(clBtnHighlight, clBtnShadow);
}

void TcxPCExtraFlatPainter::InternalPaintFrame(TColor ALight, TColor ADark) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  TRect r = GetDisplayRect();
  if (!AreTabsShown()) {
    canvas->DrawComplexFrame(r, ALight, ADark);
    return;
  }
  // The side towards the tabs stays open.
  switch (ParentInfo()->TabPosition()) {
    case tpTop:
      cxPCDrawBorders(canvas, r, {bRight, bBottom, bLeft},
                      {ADark, ADark, ALight}, false);
      break;
    case tpBottom:
      cxPCDrawBorders(canvas, r, {bRight, bTop, bLeft}, {ADark, ALight, ALight},
                      false);
      break;
    case tpLeft:
      cxPCDrawBorders(canvas, r, {bBottom, bRight, bTop},
                      {ADark, ADark, ALight}, false);
      break;
    case tpRight:
      cxPCDrawBorders(canvas, r, {bBottom, bLeft, bTop},
                      {ADark, ALight, ALight}, false);
      break;
  }
}

void TcxPCExtraFlatPainter::PaintMainTabFrame(TRect& R) {
  InternalPaintMainTabFrame(R, TColor(0xFFFFFF), TColor(0));
}

void TcxPCExtraFlatPainter::InternalPaintMainTabFrame(TRect& R, TColor ALight,
                                                      TColor ADark) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  const Integer main = ParentInfo()->MainTabVisibleIndex();
  switch (ParentInfo()->VisibleTab(main)->PaintingPosition()) {
    case tpTop:
      cxPCDrawBorders(canvas, R, {bLeft, bTop, bRight}, {ALight, ALight, ADark},
                      false);
      break;
    case tpBottom:
      cxPCDrawBorders(canvas, R, {bLeft, bBottom, bRight},
                      {ALight, ADark, ADark}, false);
      canvas->SetPixel(R.Left - 1, R.Top, ADark);
      break;
    case tpLeft:
      cxPCDrawBorders(canvas, R, {bTop, bLeft, bBottom},
                      {ALight, ALight, ADark}, false);
      break;
    case tpRight:
      cxPCDrawBorders(canvas, R, {bTop, bRight, bBottom},
                      {ALight, ADark, ADark}, false);
      canvas->SetPixel(R.Left, R.Top - 1, ADark);
      break;
  }
}

void TcxPCExtraFlatPainter::PaintTabsRowsDelimiter(const TRect& R, Integer) {
  const TcxTabPosition position = ParentInfo()->TabPosition();
  const TColor edge =
      position == tpTop || position == tpLeft ? TColor(0xFFFFFF) : TColor(0);
  InternalPaintTabsRowsDelimiter(R, {clBtnFace, clBtnFace, edge});
}

void TcxPCExtraFlatPainter::InternalPaintTabsRowsDelimiter(
    const TRect& R, const std::vector<TColor>& AColors) {
  TRect r = R;
  const TcxBorder side = cxPCPageSide(ParentInfo()->TabPosition());
  const Integer count = std::min<Integer>(GetTabsRowsDelimiterWidth(),
                                          static_cast<Integer>(AColors.size()));
  for (Integer i = 0; i < count; ++i)
    DrawBorder(Canvas(), r, &side, &AColors[i], 1, false);
}

void TcxPCExtraFlatPainter::PaintTabsDelimiter(const TRect& R) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  canvas->FillRect(R, clBtnShadow);
  canvas->ExcludeClipRect(R);
}

bool TcxPCExtraFlatPainter::IsMainTabRow(Integer ARow) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const Integer main = info->MainTabVisibleIndex();
  if (main >= 0) return info->VisibleTab(main)->VisibleRow == ARow;
  const TcxTabPosition position = info->TabPosition();
  return position == tpBottom || position == tpRight
             ? ARow == 0
             : ARow == info->RowCount() - 1;
}

TRect TcxPCExtraFlatPainter::GetTabBackgroundRect(Integer TabVisibleIndex,
                                                  bool AForRow) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  const TcxTabPosition side = tab->PaintingPosition();
  if (AForRow || !tab->IsMainTab()) {
    TRect r = tab->NormalRect();
    cxPCExtendSide(r, cxPCOuterSide(side), 3);
    cxPCExtendSide(r, cxPCPageSide(side), GetTabsRowsDelimiterWidth());
    return r;
  }
  TRect r = tab->FullRect();
  cxPCExtendSide(r, cxPCRowStartSide(side), -1);
  cxPCExtendSide(r, cxPCRowEndSide(side), -1);
  cxPCExtendSide(r, cxPCOuterSide(side), -1);
  return r;
}

TRect TcxPCExtraFlatPainter::GetTabsRowRect(Integer ARow) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const TcxPCLineIndexBoundsArray lines =
      ParentControl()->InitializeLineBoundsArray();
  if (ARow < 0 || ARow >= static_cast<Integer>(lines.size()) ||
      lines[ARow].Left < 0)
    return TRect{};
  const TcxPCIndexInterval bounds = lines[ARow];
  TRect r = GetTabBackgroundRect(bounds.Left, true);
  if (cxPCIsHorizontalPosition(info->TabPosition())) {
    r.Left = 0;
    r.Right = info->Width();
  } else {
    r.Top = 0;
    r.Bottom = info->Height();
  }
  if (NeedShowTabsRegionFrame()) {
    cxPCExtendSide(r, cxPCRowStartSide(info->TabPosition()), -1);
    cxPCExtendSide(r, cxPCRowEndSide(info->TabPosition()), -1);
  }
  return r;
}

void TcxPCExtraFlatPainter::PaintTabsRegion() {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCanvas* canvas = info->Canvas();
  const TcxTabPosition position = info->TabPosition();
  const bool horizontal = cxPCIsHorizontalPosition(position);
  const Integer main = info->MainTabVisibleIndex();
  const TcxPCDistance offsets = GetTabsDelimiterOffsets();
  const Integer delimiterWidth = GetTabsDelimiterWidth();
  const TcxPCLineIndexBoundsArray lines =
      ParentControl()->InitializeLineBoundsArray();
  for (Integer row = 0; row < static_cast<Integer>(lines.size()); ++row) {
    const TcxPCIndexInterval bounds = lines[row];
    if (bounds.Left < 0) continue;
    SaveClipRgn();
    std::vector<std::pair<Integer, TcxPCOutTabImageAndTextData>> transparent;
    for (Integer i = bounds.Left; i <= bounds.Right; ++i) {
      PaintTab(i);
      if (IsTabTransparent(i))
        transparent.emplace_back(i, OutTabImageAndTextData);
      if (i == bounds.Right || i == main || i + 1 == main) continue;
      const TRect t = info->VisibleTab(i)->NormalRect();
      TRect d;
      if (horizontal) {
        d = {t.Right, t.Top + offsets.dw, t.Right + delimiterWidth,
             t.Bottom - offsets.dh};
        if (ParentControl()->IsRightToLeftAlignment()) {
          d.Right = t.Left;
          d.Left = t.Left - delimiterWidth;
        }
      } else {
        d = {t.Left + offsets.dw, t.Bottom, t.Right - offsets.dh,
             t.Bottom + delimiterWidth};
        if (ParentControl()->IsBottomToTopAlignment()) {
          d.Bottom = t.Top;
          d.Top = t.Top - delimiterWidth;
        }
      }
      PaintTabsDelimiter(d);
    }
    const TRect rowRect = GetTabsRowRect(row);
    PaintTabsRowsDelimiter(rowRect, row);
    DrawBackground(canvas, rowRect, -1);
    RestoreClipRgn();
    // Transparent tabs were painted under the band; their owners draw on
    // top of it now.
    for (auto& [index, data] : transparent) {
      OutTabImageAndTextData = data;
      AfterPaintTab(index);
    }
    canvas->ExcludeClipRect(rowRect);
  }
}

void TcxPCExtraFlatPainter::PaintTabShape(Integer TabVisibleIndex) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  TRect r = tab->FullRect();
  if (tab->IsMainTab()) PaintMainTabFrame(r);
  if (!IsTabTransparent(TabVisibleIndex))
    DrawBackground(ParentInfo()->Canvas(), r, TabVisibleIndex);
  if (tab->IsMainTab()) InternalDrawFocusRect(TabVisibleIndex, GetFocusRect());
}

void TcxPCExtraFlatPainter::DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                                           Integer TabVisibleIndex) {
  TRect r = R;
  if (TabVisibleIndex == -1) {
    ACanvas->FillRect(r, GetTabsRowColor());
    return;
  }
  if (!ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab()) {
    ACanvas->FrameRect(r, GetTabsRowColor());
    InflateRect(r, -1, -1);
  }
  ACanvas->FillRect(r, GetTabBodyColor(TabVisibleIndex));
}

void TcxPCExtraFlatPainter::RepaintTab(
    Integer TabVisibleIndex, TcxPCTabPropertyChanged ATabPropertyChanged) {
  TcxTab* tab = ParentInfo()->VisibleTab(TabVisibleIndex);
  if (ParentControl()->InternalIsVerticalText()) tab->ResetVerticalTextBitmap();
  if (ATabPropertyChanged == tpcIsMainTab && !tab->IsMainTab())
    InvalidateTabExtendedTabsRect(TabVisibleIndex);
  else
    InvalidateTabRect(TabVisibleIndex);
  if (tab->IsMainTab()) InternalInvalidateRect(GetMainTabRowUnderlineRect());
}

// ---------------------------------------------------------------------------
// TcxPCUltraFlatPainter
// ---------------------------------------------------------------------------

TcxPCUltraFlatPainter::TcxPCUltraFlatPainter(TcxCustomTabControl* ATabControl)
    : TcxPCExtraFlatPainter(ATabControl) {}

bool TcxPCUltraFlatPainter::HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  return cxPCLookAndFeelPainterKind(ALookAndFeel) == lfsUltraFlat;
}

Integer TcxPCUltraFlatPainter::GetButtonHeight() { return 15; }

Integer TcxPCUltraFlatPainter::GetButtonWidth(TcxPCNavigatorButton AButton) {
  switch (AButton) {
    case nbGoDialog:
      return 11;
    case nbClose:
      return 14;
    default:
      return 15;
  }
}

Integer TcxPCUltraFlatPainter::GetButtonsDistance(
    TcxPCNavigatorButton AButton1, TcxPCNavigatorButton AButton2) {
  return cxPCCloseSpacedButtonsDistance(AButton1, AButton2);
}

Integer TcxPCUltraFlatPainter::GetButtonsRegionHOffset() { return 3; }

TColor TcxPCUltraFlatPainter::GetButtonColor(TcxPCNavigatorButtonState AState) {
  switch (AState) {
    case nbsHotTrack:
      return clBtnFace;
    case nbsPressed:
      return clBtnShadow;
    default:
      return cxPCLightBrushColor();
  }
}

TPoint TcxPCUltraFlatPainter::GetButtonContentPosition(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  return GetButtonCenteredContentPosition(AButton, AState);
}

void TcxPCUltraFlatPainter::CalculateButtonContentParameters(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
    TcxPCNavigatorButtonContentParameters& AParameters) {
  inherited::CalculateButtonContentParameters(AButton, AState, AParameters);
  AParameters.Enabled = ParentControl()->Enabled();
  AParameters.IsThinGlyph = AButton == nbClose;
  AParameters.BrushColor = AParameters.PenColor;
}

void TcxPCUltraFlatPainter::PaintButtonFrame(TRect& ARect,
                                             TcxPCNavigatorButtonState AState) {
  cxPCFrameNavigatorButton(Canvas(), ARect, AState);
}

TRect TcxPCUltraFlatPainter::GetFocusRect() {
  TcxTab* tab = ParentInfo()->VisibleTab(ParentInfo()->MainTabVisibleIndex());
  return cxRectContent(tab->FullRect(),
                       RotateRect(TRect{1, 1, 1, 0}, tab->PaintingPosition()));
}

void TcxPCUltraFlatPainter::PaintFrame() {
  InternalPaintFrame(clBtnShadow, clBtnShadow);
}

void TcxPCUltraFlatPainter::PaintMainTabFrame(TRect& R) {
  InternalPaintMainTabFrame(R, TColor(0), TColor(0));
}

void TcxPCUltraFlatPainter::PaintTabsRowsDelimiter(const TRect& R,
                                                   Integer ARow) {
  // The main tab's row closes towards the page with a dark line; the other
  // rows show it one line further out.
  if (IsMainTabRow(ARow))
    InternalPaintTabsRowsDelimiter(R, {clBtnFace, clBtnFace, TColor(0)});
  else
    InternalPaintTabsRowsDelimiter(R, {clBtnFace, TColor(0), clBtnFace});
}

// ---------------------------------------------------------------------------
// TcxPCOffice11Painter
// ---------------------------------------------------------------------------

TcxPCOffice11Painter::TcxPCOffice11Painter(TcxCustomTabControl* ATabControl)
    : TcxPCUltraFlatPainter(ATabControl) {
  // The class's prototype lives until the process ends, after the colour
  // set's unit; only painters of controls hold the set.
  if (ATabControl != nullptr) CreateOffice11Colors();
}

TcxPCOffice11Painter::~TcxPCOffice11Painter() {
  if (ParentControl() != nullptr) ReleaseOffice11Colors();
}

bool TcxPCOffice11Painter::HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  return ALookAndFeel->SkinPainter() == nullptr &&
         cxPCLookAndFeelPainterKind(ALookAndFeel) == lfsOffice11;
}

TColor TcxPCOffice11Painter::GetFrameColor() const {
  return dxOffice11SelectedBorderColor;
}

TColor TcxPCOffice11Painter::GetSelectedColor1() {
  return dxOffice11SelectedColor1;
}

TColor TcxPCOffice11Painter::GetSelectedColor2() {
  return dxOffice11SelectedColor2;
}

TColor TcxPCOffice11Painter::GetFreeSpaceColor() { return GetFrameColor(); }

TColor TcxPCOffice11Painter::GetTabBodyColor(Integer TabVisibleIndex) {
  if (ParentInfo()->VisibleTab(TabVisibleIndex)->Highlighted())
    return GetHighlightedTabBodyColor();
  return GetTabColor(TabVisibleIndex);
}

bool TcxPCOffice11Painter::IsTabTransparent(Integer TabVisibleIndex) {
  return !ParentInfo()->VisibleTab(TabVisibleIndex)->IsMainTab() &&
         GetTabBodyColor(TabVisibleIndex) == clDefault;
}

bool TcxPCOffice11Painter::IsGradientClienArea() {
  const TcxPCOptions options = ParentInfo()->Options();
  return options.Contains(pcoGradient) &&
         options.Contains(pcoGradientClientArea);
}

bool TcxPCOffice11Painter::NeedRedrawOnResize() {
  return IsGradientClienArea();
}

bool TcxPCOffice11Painter::NeedShowTabsRegionFrame() { return NeedShowFrame(); }

Integer TcxPCOffice11Painter::GetTabsDelimiterWidth() { return 2; }

TcxPCDistance TcxPCOffice11Painter::GetTabsDelimiterOffsets() {
  const TcxTabPosition position = ParentInfo()->TabPosition();
  return position == tpBottom || position == tpRight ? TcxPCDistance{3, -1}
                                                     : TcxPCDistance{0, 2};
}

Integer TcxPCOffice11Painter::GetTabsRowsDelimiterWidth() { return 1; }

void TcxPCOffice11Painter::PaintTabsDelimiter(const TRect& R) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  TRect dark{R.Left, R.Top, R.Right - 1, R.Bottom - 1};
  canvas->FillRect(dark, dxOffice11BarSeparatorColor1);
  canvas->ExcludeClipRect(dark);
  OffsetRect(dark, 1, 1);
  canvas->FillRect(dark, dxOffice11BarSeparatorColor2);
  canvas->ExcludeClipRect(dark);
}

void TcxPCOffice11Painter::PaintTabsRowsDelimiter(const TRect& R, Integer) {
  InternalPaintTabsRowsDelimiter(R, {GetFrameColor()});
}

TColor TcxPCOffice11Painter::GetButtonContentColor(
    TcxPCNavigatorButtonState AState) {
  return AState == nbsDisabled ? dxOffice11TextDisabledColor
                               : dxOffice11TextEnabledColor;
}

void TcxPCOffice11Painter::PaintButtonFrame(TRect& ARect,
                                            TcxPCNavigatorButtonState AState) {
  const TColor color = !ParentControl()->Enabled() || AState == nbsDisabled
                           ? dxOffice11TextDisabledColor
                           : GetFrameColor();
  ParentInfo()->Canvas()->FrameRect(ARect, color);
  InflateRect(ARect, -1, -1);
}

void TcxPCOffice11Painter::PaintButtonBackground(
    TRect& ARect, TcxPCNavigatorButtonState AState) {
  TcxCanvas* canvas = ParentInfo()->Canvas();
  const bool vertical = !cxPCIsHorizontalPosition(ParentInfo()->TabPosition());
  const TRect rowRect = GetTabsRowRect(0);
  canvas->SaveClipRegion();
  canvas->IntersectClipRect(ARect);
  const bool gradient = ParentInfo()->Options().Contains(pcoGradient);
  auto fill = [&](TColor AColor1, TColor AColor2) {
    if (!gradient) AColor1 = AColor2 = GetMiddleRGB(AColor1, AColor2, 50);
    FillGradientRect(canvas->Handle(), rowRect, AColor1, AColor2, vertical);
  };
  if (AState == nbsPressed)
    fill(dxOffice11SelectedDownColor1, dxOffice11SelectedDownColor2);
  else if (AState == nbsHotTrack)
    fill(GetSelectedColor1(), GetSelectedColor2());
  else
    DrawBackground(canvas, rowRect, -1);
  canvas->RestoreClipRegion();
}

void TcxPCOffice11Painter::PaintFrame() {
  TRect r = GetClientRect();
  InflateRect(r, 1, 1);
  ParentInfo()->Canvas()->FrameRect(r, GetFrameColor());
}

void TcxPCOffice11Painter::PaintMainTabFrame(TRect& R) {
  InternalPaintMainTabFrame(R, GetFrameColor(), GetFrameColor());
}

void TcxPCOffice11Painter::ExcludeUnderLine(TRect&) {}

TRect TcxPCOffice11Painter::GetClientRectOffset() {
  TRect r = inherited::GetClientRectOffset();
  if (NeedShowMainTabOppositeRowLine()) ++r.Bottom;
  return r;
}

bool TcxPCOffice11Painter::NeedShowMainTabOppositeRowLine() {
  return !NeedShowFrame() && !ParentInfo()->HideTabs() &&
         ParentInfo()->TabsOnBothSides();
}

void TcxPCOffice11Painter::PaintMainTabOppositeRowLine() {
  if (!NeedShowMainTabOppositeRowLine()) return;
  const TRect client = GetClientRect();
  const TcxBorder farSide = cxPCPageSide(ParentInfo()->TabPosition());
  ParentInfo()->Canvas()->FillRect(cxPCSideStrip(client, farSide, 1, true),
                                   GetFrameColor());
}

void TcxPCOffice11Painter::PaintClientArea() {
  PaintMainTabOppositeRowLine();
  inherited::PaintClientArea();
}

TRect TcxPCOffice11Painter::GetMainTabRowUnderlineRect() {
  return cxPCSideStrip(GetDisplayRect(),
                       cxPCOuterSide(ParentInfo()->TabPosition()), 2, false);
}

TColor TcxPCOffice11Painter::GetMainTabRowUnderlineColor() {
  const Integer main = ParentInfo()->MainTabVisibleIndex();
  if (main >= 0 && GetTabColor(main) != clDefault) return GetTabColor(main);
  if (!ParentInfo()->Options().Contains(pcoGradient))
    return GetMiddleRGB(GetSelectedColor1(), GetSelectedColor2(), 50);
  const TcxTabPosition position = ParentInfo()->TabPosition();
  return position == tpBottom || position == tpRight ? GetSelectedColor1()
                                                     : GetSelectedColor2();
}

void TcxPCOffice11Painter::DrawGradientBackground(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  Integer TabVisibleIndex,
                                                  bool ASwap, bool AVertical) {
  TcxPCPainterParentInfo* info = ParentInfo();
  const bool main =
      TabVisibleIndex >= 0 && info->VisibleTab(TabVisibleIndex)->IsMainTab();
  TColor color1 = main ? GetSelectedColor1() : dxOffice11ToolbarsColor1;
  TColor color2 = main ? GetSelectedColor2() : dxOffice11ToolbarsColor2;
  if (info->Options().Contains(pcoGradient)) {
    if (ASwap) std::swap(color1, color2);
  } else {
    color1 = color2 = GetMiddleRGB(color1, color2, 50);
  }
  if (TabVisibleIndex == -1 || GetTabBodyColor(TabVisibleIndex) == clDefault) {
    FillGradientRect(ACanvas->Handle(), R, color1, color2, AVertical);
    return;
  }
  TRect r = R;
  if (!main) {
    // A coloured tab keeps the band's line along its page side.
    const TcxTabPosition side =
        info->VisibleTab(TabVisibleIndex)->PaintingPosition();
    const TcxBorder page = cxPCPageSide(side);
    const TColor line = side == tpTop || side == tpLeft ? color2 : color1;
    ACanvas->FillRect(cxPCSideStrip(r, page, 1, false), line);
    cxPCExtendSide(r, page, -1);
  }
  ACanvas->FillRect(r, GetTabBodyColor(TabVisibleIndex));
}

void TcxPCOffice11Painter::DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                                          Integer TabVisibleIndex) {
  DrawGradientBackground(
      ACanvas, R, TabVisibleIndex, false,
      !cxPCIsHorizontalPosition(ParentInfo()->TabPosition()));
}

void TcxPCOffice11Painter::FillDisplayRect() {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxCanvas* canvas = info->Canvas();
  const TRect r = GetClientRect();
  TControl* page = info->ActivePage();
  if (page == nullptr || page->ParentColor()) {
    if (IsGradientClienArea())
      FillGradientRect(canvas->Handle(), r, dxOffice11ToolbarsColor1,
                       dxOffice11ToolbarsColor2, false);
    else
      canvas->FillRect(r, GetMiddleRGB(dxOffice11ToolbarsColor1,
                                       dxOffice11ToolbarsColor2, 50));
  } else {
    canvas->FillRect(r, page->Color());
  }
}

void TcxPCOffice11Painter::PrepareDrawTabContentBitmapBackground(
    TBitmap* ABitmap, const TPoint& AOrigin, Integer TabVisibleIndex) {
  TcxPCPainterParentInfo* info = ParentInfo();
  TcxTab* tab = info->VisibleTab(TabVisibleIndex);
  const TcxTabPosition side = tab->PaintingPosition();
  TRect r = GetTabBackgroundRect(TabVisibleIndex, false);
  cxPCExtendSide(r, cxPCPageSide(side), GetTabsRowsDelimiterWidth());
  if (ParentControl()->InternalIsVerticalText())
    r = {r.Top, r.Left, r.Bottom, r.Right};
  OffsetRect(r, -AOrigin.X, -AOrigin.Y);
  const bool swap = (side == tpBottom && !info->Rotate()) ||
                    (side == tpLeft && info->Rotate());
  TcxCanvas canvas(ABitmap->Canvas());
  DrawGradientBackground(&canvas, r, TabVisibleIndex, swap,
                         !cxPCIsHorizontalPosition(side));
}
