#include "cxLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "Forms.h"
#include "cxGeometry.h"
#include "dxOffice11.h"

namespace {

TRect Shrunk(const TRect& R, Integer D) {
  return TRect{R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

bool IsEmptyRect(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

// Halves n with the rounding of the system's MulDiv (halves away from 0).
Integer HalfRounded(Integer n) { return ::MulDiv(n, 1, 2); }

Integer FloorHalf(Integer n) { return n >= 0 ? n / 2 : -((-n + 1) / 2); }

void SetPenAndBrush(TcxCanvas* ACanvas, TColor AColor) {
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->Brush()->SetColor(AColor);
  ACanvas->Brush()->SetStyle(bsSolid);
}

Integer ContentTextFlags(TAlignment AAlignmentHorz,
                         TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                         bool AShowEndEllipsis) {
  Integer flags = cxAlignmentsHorz[AAlignmentHorz] |
                  cxAlignmentsVert[AAlignmentVert] |
                  (AMultiLine ? cxtfWordBreak : cxtfSingleLine);
  if (AShowEndEllipsis) flags |= cxtfEndEllipsis;
  return flags;
}

void FillWithViewParams(TcxCanvas* ACanvas, const TRect& R,
                        const TcxViewParams& AParams) {
  if (IsEmptyRect(R)) return;
  ACanvas->FillRect(R, AParams, TcxBorders{}, clNone);
}

}  // namespace

// ---------------------------------------------------------------------------
// The shared painter objects
// ---------------------------------------------------------------------------

TcxLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxCustomLookAndFeelPainter>();
}
TcxLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxStandardLookAndFeelPainter>();
}
TcxLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxFlatLookAndFeelPainter>();
}
TcxLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxUltraFlatLookAndFeelPainter>();
}
TcxLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxOffice11LookAndFeelPainter>();
}
TcxLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Instance() {
  return cxPainterInstance<TcxWinXPLookAndFeelPainter>();
}

// ---------------------------------------------------------------------------
// General
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawBackground(
    TcxCanvas* ACanvas, const TRect& R, bool ATransparent,
    TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const {
  if (!ATransparent) {
    ACanvas->FillRect(R, ABackgroundColor);
  } else if (ABackgroundBitmap != nullptr && !ABackgroundBitmap->Empty()) {
    ACanvas->FillRect(R, ABackgroundBitmap);
  }
}

void TcxCustomLookAndFeelPainter::DrawContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    Integer, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
    TColor ATextColor, TColor ABkColor,
    TcxDrawBackgroundEvent AOnDrawBackground, bool) const {
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, ABounds)))
    ACanvas->FillRect(ABounds, ABkColor);
  if (AText.empty()) return;
  ACanvas->Brush()->SetStyle(bsClear);
  if (AFont != nullptr) ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  ACanvas->DrawTexT(AText, ATextAreaBounds,
                    ContentTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine,
                                     AShowEndEllipsis),
                    true);
  ACanvas->Brush()->SetStyle(bsSolid);
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(
    const TRect& R) const {
  return Shrunk(R, FooterCellBorderSize());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(
    const TRect& R) const {
  return Shrunk(FooterCellContentBounds(R), 2);
}

TcxLookAndFeelStyle TcxCustomLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsStandard;
}

// ---------------------------------------------------------------------------
// Default colours
// ---------------------------------------------------------------------------

#define VARNEL_PAINTER_COLOR(Name, Value) \
  TColor TcxCustomLookAndFeelPainter::Name() const { return Value; }

VARNEL_PAINTER_COLOR(DefaultContentColor, clWindow)
VARNEL_PAINTER_COLOR(DefaultContentEvenColor, DefaultContentColor())
VARNEL_PAINTER_COLOR(DefaultContentOddColor, DefaultContentColor())
VARNEL_PAINTER_COLOR(DefaultContentTextColor, clWindowText)
VARNEL_PAINTER_COLOR(DefaultFilterBoxColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultFilterBoxTextColor, clBtnHighlight)
VARNEL_PAINTER_COLOR(DefaultFixedSeparatorColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultFooterColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultFooterTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultGridLineColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultGroupByBoxColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultGroupByBoxTextColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultGroupColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultGroupTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultHeaderBackgroundColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultHeaderBackgroundTextColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultHeaderColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultHeaderTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultHyperlinkTextColor, TColor(0xFF0000))
VARNEL_PAINTER_COLOR(DefaultInactiveColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultInactiveTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultPreviewTextColor, TColor(0xFF0000))
VARNEL_PAINTER_COLOR(DefaultRecordSeparatorColor, DefaultGridLineColor())
VARNEL_PAINTER_COLOR(DefaultSizeGripAreaColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultVGridCategoryColor, DefaultHeaderColor())
VARNEL_PAINTER_COLOR(DefaultVGridCategoryTextColor, clDefault)
VARNEL_PAINTER_COLOR(DefaultVGridLineColor, TColor(0))
VARNEL_PAINTER_COLOR(DefaultVGridBandLineColor, DefaultVGridLineColor())
VARNEL_PAINTER_COLOR(DefaultDateNavigatorHeaderColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultDateNavigatorSelectionColor, clHighlight)
VARNEL_PAINTER_COLOR(DefaultDateNavigatorSelectionTextColor, clHighlightText)
VARNEL_PAINTER_COLOR(DefaultSchedulerBackgroundColor, clWindow)
VARNEL_PAINTER_COLOR(DefaultSchedulerTextColor, clWindowText)
VARNEL_PAINTER_COLOR(DefaultSchedulerBorderColor, TColor(0x0000FF))
VARNEL_PAINTER_COLOR(DefaultSchedulerControlColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultSchedulerNavigatorColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultSchedulerViewContentColor, TColor(0xD5FFFF))
VARNEL_PAINTER_COLOR(DefaultSchedulerViewTextColor, clWindowText)
VARNEL_PAINTER_COLOR(DefaultSelectionColor, clHighlight)
VARNEL_PAINTER_COLOR(DefaultSelectionTextColor, clHighlightText)
VARNEL_PAINTER_COLOR(DefaultSeparatorColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultTabColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultTabTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultTabsBackgroundColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultTimeGridMajorScaleColor, TColor(0xFFFFFF))
VARNEL_PAINTER_COLOR(DefaultTimeGridMajorScaleTextColor, TColor(0))
VARNEL_PAINTER_COLOR(DefaultTimeGridMinorScaleColor, clBtnFace)
VARNEL_PAINTER_COLOR(DefaultTimeGridMinorScaleTextColor, clBtnText)
VARNEL_PAINTER_COLOR(DefaultTimeGridSelectionBarColor, TColor(0xFFFFFF))
VARNEL_PAINTER_COLOR(DefaultChartDiagramValueBorderColor, TColor(0))
VARNEL_PAINTER_COLOR(DefaultChartDiagramValueCaptionTextColor, TColor(0))
VARNEL_PAINTER_COLOR(DefaultChartHistogramAxisColor, TColor(0))
VARNEL_PAINTER_COLOR(DefaultChartHistogramGridLineColor, TColor(0xCFCFCF))
VARNEL_PAINTER_COLOR(DefaultChartHistogramPlotColor, TColor(0xFFFFFF))
VARNEL_PAINTER_COLOR(DefaultChartPieDiagramSeriesSiteBorderColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultChartPieDiagramSeriesSiteCaptionColor,
                     TColor(0xF0CAA6))
VARNEL_PAINTER_COLOR(DefaultChartPieDiagramSeriesSiteCaptionTextColor,
                     TColor(0x800000))
VARNEL_PAINTER_COLOR(DefaultChartToolBoxDataLevelInfoBorderColor, clBtnShadow)
VARNEL_PAINTER_COLOR(DefaultChartToolBoxItemSeparatorColor, clBtnShadow)
VARNEL_PAINTER_COLOR(FooterSeparatorColor, clBtnShadow)
VARNEL_PAINTER_COLOR(EditButtonTextColor, clDefault)
VARNEL_PAINTER_COLOR(ProgressBarTextColor, clDefault)
VARNEL_PAINTER_COLOR(GroupBoxTextColor, clDefault)

#undef VARNEL_PAINTER_COLOR

TColor TcxCustomLookAndFeelPainter::GetContainerBorderColor(bool) const {
  return clDefault;
}

TColor TcxCustomLookAndFeelPainter::TrackBarTicksColor(bool) const {
  return clDefault;
}

// ---------------------------------------------------------------------------
// Borders, buttons and simple metrics
// ---------------------------------------------------------------------------

Integer TcxCustomLookAndFeelPainter::BorderSize() const { return 0; }
void TcxCustomLookAndFeelPainter::DrawBorder(TcxCanvas*, TRect) const {}

TRect TcxCustomLookAndFeelPainter::AdjustGroupButtonDisplayRect(const TRect& R,
                                                                Integer,
                                                                Integer) const {
  return R;
}

Integer TcxCustomLookAndFeelPainter::ButtonBorderSize(TcxButtonState) const {
  return 0;
}

TColor TcxCustomLookAndFeelPainter::ButtonColor(TcxButtonState) const {
  return clBtnFace;
}

TRect TcxCustomLookAndFeelPainter::ButtonFocusRect(TcxCanvas*,
                                                   const TRect& R) const {
  TRect result = Shrunk(R, 4);
  return IsEmptyRect(result) ? R : result;
}

TRect TcxCustomLookAndFeelPainter::ButtonGroupBorderSizes(Integer,
                                                          Integer) const {
  const Integer size = ButtonBorderSize(cxbsNormal);
  return TRect{size, size, size, size};
}

Integer TcxCustomLookAndFeelPainter::ButtonTextOffset() const { return 0; }
Integer TcxCustomLookAndFeelPainter::ButtonTextShift() const { return 0; }

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(
    TcxButtonState AState, TColor ADefaultColor) const {
  if (AState == cxbsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

TcxButtonState TcxCustomLookAndFeelPainter::ButtonSymbolState(
    TcxButtonState AState) const {
  return AState;
}

void TcxCustomLookAndFeelPainter::DrawButtonInGroup(TcxCanvas* ACanvas,
                                                    const TRect& R,
                                                    TcxButtonState AState,
                                                    Integer, Integer,
                                                    TColor) const {
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

void TcxCustomLookAndFeelPainter::DrawButtonBorder(TcxCanvas*, TRect,
                                                   TcxButtonState) const {}
void TcxCustomLookAndFeelPainter::DrawButtonGroupBorder(TcxCanvas*, TRect, bool,
                                                        bool) const {}
void TcxCustomLookAndFeelPainter::DrawExpandButton(TcxCanvas*, const TRect&,
                                                   bool, TColor) const {}
bool TcxCustomLookAndFeelPainter::DrawExpandButtonFirst() const { return true; }

void TcxCustomLookAndFeelPainter::DrawGroupExpandButton(
    TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
    TcxButtonState AState) const {
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
  DrawGroupExpandButtonMark(ACanvas, R, AExpanded, AState);
}

Integer TcxCustomLookAndFeelPainter::ExpandButtonSize() const { return 0; }
Integer TcxCustomLookAndFeelPainter::GroupExpandButtonSize() const {
  return 15;
}
bool TcxCustomLookAndFeelPainter::IsButtonHotTrack() const { return false; }

bool TcxCustomLookAndFeelPainter::IsPointOverGroupExpandButton(
    const TRect& R, const TPoint& P) const {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

Integer TcxCustomLookAndFeelPainter::SmallExpandButtonSize() const { return 9; }

// Check boxes and radio buttons

Integer TcxCustomLookAndFeelPainter::CheckBorderSize() const { return 2; }

TColor TcxCustomLookAndFeelPainter::CheckButtonColor(
    TcxButtonState AState) const {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

TSize TcxCustomLookAndFeelPainter::CheckButtonSize() const {
  return cxCheckBoxSize();
}

void TcxCustomLookAndFeelPainter::DrawCheckBorder(TcxCanvas*, TRect,
                                                  TcxButtonState) const {}

TSize TcxCustomLookAndFeelPainter::RadioButtonSize() const {
  return PrepareRadioButtonImageList()->GlyphSize();
}

// Headers

void TcxCustomLookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor, TcxDrawBackgroundEvent AOnDrawBackground, bool,
    bool) const {
  DrawHeaderBorder(ACanvas, ABounds, ANeighbors, ABorders);
  const TRect content = HeaderContentBounds(ABounds, ABorders);
  DrawContent(ACanvas, content, ATextAreaBounds, AState, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont,
              ATextColor, ABkColor, AOnDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderEx(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor, TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
             AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
             AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false,
             false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderBorder(TcxCanvas*, const TRect&,
                                                   TcxNeighbors,
                                                   TcxBorders) const {}

void TcxCustomLookAndFeelPainter::DrawHeaderPressed(
    TcxCanvas* ACanvas, const TRect& ABounds) const {
  ACanvas->InvertRect(ABounds);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  DrawHeaderControlSectionBorder(ACanvas, ABounds, ABorders, AState);
  const TRect content = HeaderControlSectionContentBounds(ABounds, AState);
  DrawHeaderControlSectionContent(
      ACanvas, content,
      HeaderControlSectionTextAreaBounds(ATextAreaBounds, AState), AState,
      AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText,
      AFont, ATextColor, ABkColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionBorder(
    TcxCanvas*, const TRect&, TcxBorders, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxButtonState AState, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
    const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  ACanvas->FillRect(ABounds, ABkColor);
  DrawHeaderControlSectionText(ACanvas, ATextAreaBounds, AState, AAlignmentHorz,
                               AAlignmentVert, AMultiLine, AShowEndEllipsis,
                               AText, AFont, ATextColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionText(
    TcxCanvas* ACanvas, const TRect& ATextAreaBounds, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont,
    TColor ATextColor) const {
  if (AText.empty()) return;
  const Integer flags = ContentTextFlags(AAlignmentHorz, AAlignmentVert,
                                         AMultiLine, AShowEndEllipsis);
  ACanvas->Brush()->SetStyle(bsClear);
  if (AFont != nullptr) ACanvas->SetFont(AFont);
  if (AState == cxbsDisabled) {
    ACanvas->Font()->SetColor(clBtnHighlight);
    ACanvas->DrawTexT(AText, cxRectOffset(ATextAreaBounds, 1, 1), flags, true);
    ACanvas->Font()->SetColor(clBtnShadow);
  } else {
    ACanvas->Font()->SetColor(ATextColor);
  }
  ACanvas->DrawTexT(AText, ATextAreaBounds, flags, true);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSeparator(
    TcxCanvas* ACanvas, const TRect& ABounds, Integer AIndentSize,
    TColor AColor, const TcxViewParams& AViewParams) const {
  TRect left = ABounds;
  left.Right = std::min(ABounds.Right, ABounds.Left + AIndentSize);
  TRect right = ABounds;
  right.Left = std::max(ABounds.Left, ABounds.Right - AIndentSize);
  TRect middle{ABounds.Left + AIndentSize, ABounds.Top,
               ABounds.Right - AIndentSize, ABounds.Bottom};
  FillWithViewParams(ACanvas, left, AViewParams);
  if (!IsEmptyRect(middle)) ACanvas->FillRect(middle, AColor);
  FillWithViewParams(ACanvas, right, AViewParams);
}

void TcxCustomLookAndFeelPainter::DrawSortingMark(TcxCanvas*, const TRect&,
                                                  bool) const {}

TcxBorders TcxCustomLookAndFeelPainter::HeaderBorders(TcxNeighbors) const {
  return cxBordersAll;
}

Integer TcxCustomLookAndFeelPainter::HeaderBorderSize() const { return 0; }

TRect TcxCustomLookAndFeelPainter::HeaderBounds(const TRect& ABounds,
                                                TcxNeighbors ANeighbors,
                                                TcxBorders ABorders) const {
  TRect result = ABounds;
  const TcxBorders own = HeaderBorders(ANeighbors);
  const Integer size = HeaderBorderSize();
  if (ABorders.Contains(bLeft) && !own.Contains(bLeft)) result.Left -= size;
  if (ABorders.Contains(bTop) && !own.Contains(bTop)) result.Top -= size;
  if (ABorders.Contains(bRight) && !own.Contains(bRight)) result.Right += size;
  if (ABorders.Contains(bBottom) && !own.Contains(bBottom))
    result.Bottom += size;
  return result;
}

TRect TcxCustomLookAndFeelPainter::HeaderContentBounds(
    const TRect& ABounds, TcxBorders ABorders) const {
  TRect result = ABounds;
  const Integer size = HeaderBorderSize();
  if (ABorders.Contains(bLeft)) result.Left += size;
  if (ABorders.Contains(bTop)) result.Top += size;
  if (ABorders.Contains(bRight)) result.Right -= size;
  if (ABorders.Contains(bBottom)) result.Bottom -= size;
  return result;
}

bool TcxCustomLookAndFeelPainter::HeaderDrawCellsFirst() const { return true; }

Integer TcxCustomLookAndFeelPainter::HeaderHeight(Integer AFontHeight) const {
  return AFontHeight + 2 * (HeaderBorderSize() + 2);
}

Integer TcxCustomLookAndFeelPainter::HeaderControlSectionBorderSize(
    TcxButtonState) const {
  return 1;
}

TRect TcxCustomLookAndFeelPainter::HeaderControlSectionTextAreaBounds(
    const TRect& ABounds, TcxButtonState AState) const {
  return AState == cxbsPressed ? cxRectOffset(ABounds, 1, 1) : ABounds;
}

TRect TcxCustomLookAndFeelPainter::HeaderControlSectionContentBounds(
    const TRect& ABounds, TcxButtonState AState) const {
  return Shrunk(ABounds, HeaderControlSectionBorderSize(AState));
}

Integer TcxCustomLookAndFeelPainter::HeaderWidth(TcxCanvas* ACanvas,
                                                 TcxBorders ABorders,
                                                 const String& AText,
                                                 TFont* AFont) const {
  if (AFont != nullptr) ACanvas->SetFont(AFont);
  Integer result = ACanvas->TextWidth(AText) + 4;
  // The right border is subtracted, not added: with both borders the two
  // adjustments cancel, which callers rely on.
  if (ABorders.Contains(bLeft)) result += HeaderBorderSize();
  if (ABorders.Contains(bRight)) result -= HeaderBorderSize();
  return result;
}

bool TcxCustomLookAndFeelPainter::IsHeaderHotTrack() const { return false; }

TPoint TcxCustomLookAndFeelPainter::SortingMarkAreaSize() const {
  return TPoint{16, SortingMarkSize().Y};
}

TPoint TcxCustomLookAndFeelPainter::SortingMarkSize() const {
  return TPoint{0, 0};
}

// Group-by box and footers

void TcxCustomLookAndFeelPainter::DrawGroupByBox(
    TcxCanvas* ACanvas, const TRect& R, bool ATransparent,
    TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const {
  DrawBackground(ACanvas, R, ATransparent, ABackgroundColor, ABackgroundBitmap);
}

TcxBorders TcxCustomLookAndFeelPainter::FooterBorders() const {
  return cxBordersAll;
}
Integer TcxCustomLookAndFeelPainter::FooterBorderSize() const { return 0; }
Integer TcxCustomLookAndFeelPainter::FooterCellBorderSize() const { return 0; }
Integer TcxCustomLookAndFeelPainter::FooterCellOffset() const { return 0; }
bool TcxCustomLookAndFeelPainter::FooterDrawCellsFirst() const { return true; }
Integer TcxCustomLookAndFeelPainter::FooterSeparatorSize() const { return 1; }

void TcxCustomLookAndFeelPainter::DrawFooterCell(
    TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText,
    TFont* AFont, TColor ATextColor, TColor ABkColor,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawFooterCellBorder(ACanvas, ABounds);
  DrawContent(ACanvas, FooterCellContentBounds(ABounds),
              FooterCellTextAreaBounds(ABounds), 0, AAlignmentHorz,
              AAlignmentVert, AMultiLine, false, AText, AFont, ATextColor,
              ABkColor, AOnDrawBackground, true);
}

void TcxCustomLookAndFeelPainter::DrawFooterBorder(TcxCanvas*,
                                                   const TRect&) const {}
void TcxCustomLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas*,
                                                       const TRect&) const {}

void TcxCustomLookAndFeelPainter::DrawFooterContent(
    TcxCanvas* ACanvas, const TRect& ARect,
    const TcxViewParams& AViewParams) const {
  FillWithViewParams(ACanvas, ARect, AViewParams);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas* ACanvas,
                                                      const TRect& R) const {
  ACanvas->FillRect(R, FooterSeparatorColor());
}

// Filter buttons, window, popup border and tabs

void TcxCustomLookAndFeelPainter::DrawFilterActivateButton(
    TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
    bool AChecked) const {
  DrawCheckButton(ACanvas, R, AState, AChecked, false);
}

void TcxCustomLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas*, TRect,
                                                           TcxButtonState,
                                                           bool) const {}

void TcxCustomLookAndFeelPainter::DrawFilterPanel(
    TcxCanvas* ACanvas, const TRect& R, bool ATransparent,
    TColor ABackgroundColor, TBitmap* ABackgroundBitmap) const {
  DrawBackground(ACanvas, R, ATransparent, ABackgroundColor, ABackgroundBitmap);
}

TPoint TcxCustomLookAndFeelPainter::FilterActivateButtonSize() const {
  return TPoint{13, 13};
}
TPoint TcxCustomLookAndFeelPainter::FilterCloseButtonSize() const {
  return TPoint{16, 14};
}
TPoint TcxCustomLookAndFeelPainter::FilterDropDownButtonSize() const {
  return TPoint{15, 0};
}

void TcxCustomLookAndFeelPainter::DrawWindowContent(TcxCanvas* ACanvas,
                                                    const TRect& R) const {
  ACanvas->FillRect(R, clBtnFace);
}

TcxPopupBorderStyle TcxCustomLookAndFeelPainter::PopupBorderStyle() const {
  return pbsUltraFlat;
}

void TcxCustomLookAndFeelPainter::DrawTab(TcxCanvas*, TRect, TcxBorders,
                                          const String&, TcxButtonState, bool,
                                          TFont*, TColor, TColor, bool) const {}
void TcxCustomLookAndFeelPainter::DrawTabBorder(TcxCanvas*, TRect, TcxBorder,
                                                TcxBorders, bool) const {}
void TcxCustomLookAndFeelPainter::DrawTabsRoot(TcxCanvas*, const TRect&,
                                               TcxBorders, bool) const {}
bool TcxCustomLookAndFeelPainter::IsDrawTabImplemented(bool) const {
  return false;
}
bool TcxCustomLookAndFeelPainter::IsTabHotTrack(bool) const { return false; }
Integer TcxCustomLookAndFeelPainter::TabBorderSize(bool) const { return 0; }

// Indicator, scroll bar and size grip

bool TcxCustomLookAndFeelPainter::IndicatorDrawItemsFirst() const {
  return true;
}
Integer TcxCustomLookAndFeelPainter::ScrollBarMinimalThumbSize(bool) const {
  return 8;
}
void TcxCustomLookAndFeelPainter::DrawScrollBarPart(TcxCanvas*, bool, TRect,
                                                    TcxScrollBarPart,
                                                    TcxButtonState) const {}

TSize TcxCustomLookAndFeelPainter::SizeGripSize() const {
  return TSize{::GetSystemMetrics(SM_CXVSCROLL),
               ::GetSystemMetrics(SM_CYHSCROLL)};
}

// Month header, scheduler, chart, editor and navigator buttons

void TcxCustomLookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* ACanvas,
                                                      const TRect& R) const {
  DrawBorder(ACanvas, R);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigatorButton(
    TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerSplitterBorder(
    TcxCanvas*, TRect, const TcxViewParams&, bool) const {}

void TcxCustomLookAndFeelPainter::DrawSchedulerSplitterRings(
    TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
    bool AIsHorizontal, std::initializer_list<TcxSplitterRing> ARings) const {
  for (const TcxSplitterRing& ring : ARings) {
    if (AIsHorizontal) {
      ACanvas->FillRect(TRect{R.Left, R.Top, R.Right, R.Top + 1}, ring.First);
      ACanvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom},
                        ring.Second);
      R = TRect{R.Left - 1, R.Top + 1, R.Right + 1, R.Bottom - 1};
    } else {
      ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, ring.First);
      ACanvas->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom},
                        ring.Second);
      R = TRect{R.Left + 1, R.Top - 1, R.Right - 1, R.Bottom + 1};
    }
  }
  ACanvas->FillRect(R, AViewParams, TcxBorders{}, clNone);
}

Integer TcxCustomLookAndFeelPainter::ChartToolBoxDataLevelInfoBorderSize()
    const {
  return 1;
}

void TcxCustomLookAndFeelPainter::DrawEditorButton(TcxCanvas*, const TRect&,
                                                   TcxEditBtnKind,
                                                   TcxButtonState) const {}
Integer TcxCustomLookAndFeelPainter::EditButtonTextOffset() const { return 0; }
TSize TcxCustomLookAndFeelPainter::EditButtonSize() const { return TSize{}; }

void TcxCustomLookAndFeelPainter::DrawNavigatorGlyph(
    TcxCanvas* ACanvas, TCustomImageList* AImageList, Integer AImageIndex,
    Integer, const TRect& AGlyphRect, bool AEnabled, bool) const {
  if (AImageList == nullptr) return;
  if (AImageIndex < 0 || AImageIndex >= AImageList->Count()) return;
  AImageList->Draw(ACanvas->Canvas(), AGlyphRect.Left, AGlyphRect.Top,
                   AImageIndex, AEnabled);
}

TSize TcxCustomLookAndFeelPainter::NavigatorGlyphSize() const {
  return TSize{};
}

// Progress bar, group box, track bar and splitter

void TcxCustomLookAndFeelPainter::DrawProgressBarBorder(TcxCanvas*, TRect,
                                                        bool) const {}
void TcxCustomLookAndFeelPainter::DrawProgressBarChunk(TcxCanvas*, TRect,
                                                       bool) const {}
TRect TcxCustomLookAndFeelPainter::ProgressBarBorderSize(bool) const {
  return TRect{};
}
void TcxCustomLookAndFeelPainter::DrawGroupBoxBackground(TcxCanvas*,
                                                         const TRect&,
                                                         const TRect&) const {}
void TcxCustomLookAndFeelPainter::DrawGroupBoxCaption(
    TcxCanvas*, const TRect&, TcxGroupBoxCaptionPosition) const {}
void TcxCustomLookAndFeelPainter::DrawGroupBoxContent(
    TcxCanvas*, const TRect&, TcxGroupBoxCaptionPosition) const {}
TRect TcxCustomLookAndFeelPainter::GroupBoxBorderSize(
    bool, TcxGroupBoxCaptionPosition) const {
  return TRect{};
}
void TcxCustomLookAndFeelPainter::DrawTrackBar(TcxCanvas*, const TRect&,
                                               const TRect&, bool, bool,
                                               bool) const {}
void TcxCustomLookAndFeelPainter::DrawTrackBarThumb(
    TcxCanvas*, const TRect&, TcxButtonState, bool,
    TcxTrackBarTicksAlign) const {}
TSize TcxCustomLookAndFeelPainter::TrackBarThumbSize(bool) const {
  return TSize{};
}
Integer TcxCustomLookAndFeelPainter::TrackBarTrackSize() const { return 0; }
void TcxCustomLookAndFeelPainter::DrawSplitter(TcxCanvas*, const TRect&, bool,
                                               bool, bool) const {}
TSize TcxCustomLookAndFeelPainter::GetSplitterSize(bool) const {
  return TSize{};
}

TcxArrowDirection TcxCustomLookAndFeelPainter::GetArrowDirection(
    bool AHorizontal, TcxScrollBarPart APart) const {
  const bool first = APart == sbpLineUp;
  if (AHorizontal) return first ? adLeft : adRight;
  return first ? adUp : adDown;
}

// ---------------------------------------------------------------------------
// Composite drawing: buttons and crosses
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawButton(TcxCanvas* ACanvas, TRect R,
                                             const String& ACaption,
                                             TcxButtonState AState,
                                             bool ADrawBorder, TColor AColor,
                                             TColor ATextColor) const {
  if (ADrawBorder) {
    DrawButtonBorder(ACanvas, R, AState);
    R = Shrunk(R, ButtonBorderSize(AState));
  }
  if (AColor == clDefault) AColor = ButtonColor(AState);
  ACanvas->FillRect(R, AColor);
  if (ATextColor == clDefault) ATextColor = ButtonSymbolColor(AState);
  ACanvas->Brush()->SetStyle(bsClear);
  // Captions of odd and low buttons sit one row higher than plain centring
  // would put them.
  if (R.Height() % 2 != 0) --R.Bottom;
  if (R.Height() < 18) --R.Top;
  if (AState == cxbsPressed)
    R = cxRectOffset(R, ButtonTextShift(), ButtonTextShift());
  if (!ACaption.empty()) {
    ACanvas->Font()->SetColor(ATextColor);
    ACanvas->DrawTexT(
        ACaption, R,
        cxtfAlignHCenter | cxtfAlignVCenter | cxtfSingleLine | cxtfShowPrefix,
        AState != cxbsDisabled);
  }
  ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawButtonCross(TcxCanvas* ACanvas,
                                                  const TRect& R, TColor AColor,
                                                  TcxButtonState AState) const {
  Integer side = FilterCloseButtonSize().X / 2;
  if (side % 2 == 0) --side;
  Integer x = (R.Left + R.Right - side) / 2;
  Integer y = (R.Top + R.Bottom - side) / 2;
  if (AState == cxbsPressed) {
    ++x;
    ++y;
  }
  ACanvas->Pen()->SetColor(AColor);
  for (Integer dx = 0; dx < 2; ++dx) {
    ACanvas->MoveTo(x + dx, y);
    ACanvas->LineTo(x + dx + side, y + side);
    ACanvas->MoveTo(x + dx, y + side - 1);
    ACanvas->LineTo(x + dx + side, y - 1);
  }
}

void TcxCustomLookAndFeelPainter::DrawFilterCloseButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  DrawButtonBorder(ACanvas, R, AState);
  R = Shrunk(R, ButtonBorderSize(cxbsNormal));
  ACanvas->FillRect(R, ButtonColor(AState));
  DrawButtonCross(ACanvas, R, ButtonSymbolColor(AState),
                  ButtonSymbolState(AState));
}

// ---------------------------------------------------------------------------
// Expand marks
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawExpandButtonCross(TcxCanvas* ACanvas,
                                                        const TRect& R,
                                                        bool AExpanded,
                                                        TColor AColor) const {
  const Integer cx = FloorHalf(R.Left + R.Right);
  const Integer cy = FloorHalf(R.Top + R.Bottom);
  const Integer half = (R.Width() - 4) / 2;
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(TRect{cx - half, cy, cx + half + 1, cy + 1}, AColor);
  if (!AExpanded)
    ACanvas->FillRect(TRect{cx, cy - half, cx + 1, cy + half + 1}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* ACanvas,
                                                        const TRect& R,
                                                        bool AExpanded,
                                                        TColor ABorderColor,
                                                        TColor AColor) const {
  ACanvas->FrameRect(R, ABorderColor);
  if (AColor != clDefault) ACanvas->FillRect(Shrunk(R, 1), AColor);
  DrawExpandButtonCross(ACanvas, R, AExpanded, clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandButtonMark(
    TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
    TcxButtonState AState) const {
  const Integer x0 = (R.Left + R.Right - 7) / 2;
  const Integer y0 = (R.Top + R.Bottom - 8) / 2;
  const Integer s = AExpanded ? 1 : -1;
  ACanvas->Pen()->SetColor(ButtonSymbolColor(AState));
  for (Integer k = 0; k < 4; ++k) {
    const Integer r = y0 + k + (k >= 2 ? 2 : 0);
    const Integer b = AExpanded ? k % 2 : 1 - k % 2;
    const Integer y = AExpanded ? r + 3 : r;
    ACanvas->MoveTo(x0 + b, y - s * b);
    ACanvas->LineTo(x0 + 3, y - 3 * s);
    ACanvas->LineTo(x0 + 7 - b, y + (1 - b) * s);
  }
}

// ---------------------------------------------------------------------------
// Arrows
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::CalculateArrowPoints(
    TRect R, TPoint& P0, TPoint& P1, TPoint& P2,
    TcxArrowDirection AArrowDirection, bool AProportional,
    Integer AArrowSize) const {
  if (AProportional) {
    const Integer d = R.Width() - R.Height();
    if (d > 0) {
      R.Left += d / 2;
      R.Right -= d / 2;
    } else {
      R.Top += (-d) / 2;
      R.Bottom -= (-d) / 2;
    }
  }
  const bool vertical = AArrowDirection == adUp || AArrowDirection == adDown;
  Integer depth = AArrowSize;
  if (depth == 0) depth = (vertical ? R.Width() - 1 : R.Height() - 1) / 4 + 1;
  const Integer base = 2 * depth - 1;
  switch (AArrowDirection) {
    case adUp:
      P1 = TPoint{(R.Left + R.Right - 1) / 2,
                  HalfRounded(R.Top + R.Bottom - depth)};
      P0 = TPoint{(R.Left + R.Right - base) / 2, P1.Y + depth - 1};
      P2 = TPoint{P0.X + base - 1, P0.Y};
      break;
    case adDown:
      P2 = TPoint{(R.Left + R.Right - base) / 2,
                  HalfRounded(R.Top + R.Bottom - depth)};
      P0 = TPoint{P2.X + base - 1, P2.Y};
      P1 = TPoint{(R.Left + R.Right - 1) / 2, P2.Y + depth - 1};
      break;
    case adLeft:
      P1 = TPoint{(R.Left + R.Right - depth) / 2, (R.Top + R.Bottom) / 2};
      P2 = TPoint{P1.X + depth - 1, HalfRounded(R.Top + R.Bottom - base)};
      P0 = TPoint{P2.X, P2.Y + base - 1};
      break;
    case adRight:
      P0 = TPoint{(R.Left + R.Right - depth) / 2,
                  HalfRounded(R.Top + R.Bottom - base)};
      P1 = TPoint{P0.X + depth - 1, (R.Top + R.Bottom) / 2};
      P2 = TPoint{P0.X, P0.Y + base - 1};
      break;
  }
}

namespace {

void FillTriangle(TcxCanvas* ACanvas, const TPoint& P0, const TPoint& P1,
                  const TPoint& P2, TColor AColor) {
  SetPenAndBrush(ACanvas, AColor);
  ACanvas->Polygon({P0, P1, P2});
}

TPoint Moved(const TPoint& P, Integer D) { return TPoint{P.X + D, P.Y + D}; }

}  // namespace

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                            TcxArrowDirection ADirection,
                                            TColor AColor) const {
  TPoint p0, p1, p2;
  CalculateArrowPoints(R, p0, p1, p2, ADirection, true);
  FillTriangle(ACanvas, p0, p1, p2, AColor);
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState,
                                            TcxArrowDirection ADirection,
                                            bool ADrawBorder) const {
  TPoint p0, p1, p2;
  CalculateArrowPoints(R, p0, p1, p2, ADirection, false);
  if (ADrawBorder)
    DrawArrowBorder(ACanvas, R, AState);
  else
    ACanvas->FillRect(R, ButtonColor(AState));
  FillTriangle(ACanvas, p0, p1, p2, ButtonSymbolColor(AState));
}

void TcxCustomLookAndFeelPainter::DrawArrowBorder(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  TcxButtonState AState) const {
  ACanvas->FillRect(R, ButtonColor(AState));
  DrawButtonBorder(ACanvas, R, AState);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarArrow(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
    TcxArrowDirection ADirection) const {
  if (AState == cxbsPressed)
    R = cxRectOffset(R, ButtonTextShift(), ButtonTextShift());
  TPoint p0, p1, p2;
  CalculateArrowPoints(R, p0, p1, p2, ADirection, true);
  if (AState == cxbsDisabled) {
    FillTriangle(ACanvas, Moved(p0, 1), Moved(p1, 1), Moved(p2, 1),
                 clBtnHighlight);
    FillTriangle(ACanvas, p0, p1, p2, clBtnShadow);
  } else {
    FillTriangle(ACanvas, p0, p1, p2, ButtonSymbolColor(AState));
  }
}

void TcxCustomLookAndFeelPainter::DrawButtonArrow(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  TColor AColor) const {
  Integer w = R.Width() / 2;
  if (w % 2 == 0) ++w;
  const Integer h = w / 2 + 1;
  const Integer x0 = (R.Left + R.Right - w) / 2;
  const Integer y0 = HalfRounded(R.Top + R.Bottom - h);
  FillTriangle(ACanvas, TPoint{x0, y0}, TPoint{x0 + w - 1, y0},
               TPoint{x0 + w / 2, y0 + h - 1}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSortingArrow(
    TcxCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2,
    bool AAscendingSorting) const {
  const TPoint size = SortingMarkSize();
  const Integer w = size.X;
  const Integer h = size.Y;
  const Integer d = AAscendingSorting ? 1 : -1;
  Integer cx = (R.Left + R.Right) / 2;
  if (w % 2 == 0) --cx;
  const Integer y0 = AAscendingSorting ? (R.Top + R.Bottom - h) / 2
                                       : (R.Top + R.Bottom + h) / 2 - 1;
  const Integer half = w / 2;
  const Integer halfL = w % 2 == 0 ? half - 1 : half;
  // AColor1 is the dark colour, AColor2 the light one.
  ACanvas->Pen()->SetColor(AColor2);
  ACanvas->MoveTo(cx + half, y0 + (h - 2) * d);
  ACanvas->LineTo(cx + half - halfL, y0);
  ACanvas->LineTo(cx + half, y0 + (h - 1) * d);
  if (!AAscendingSorting) ACanvas->Pen()->SetColor(AColor1);
  ACanvas->LineTo(cx - halfL, y0 + (h - 1) * d);
  if (AAscendingSorting) ACanvas->Pen()->SetColor(AColor1);
  ACanvas->LineTo(cx, y0);
  ACanvas->LineTo(cx - halfL, y0 + (h - (w & 1)) * d);
}

// ---------------------------------------------------------------------------
// Check boxes
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas* ACanvas, TRect R,
                                                  TcxButtonState AState,
                                                  bool AChecked, bool) const {
  DrawCheckBorder(ACanvas, R, AState);
  R = Shrunk(R, CheckBorderSize());
  DrawCheck(ACanvas, R, AState, AChecked,
            AState == cxbsDisabled ? clGrayText : clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawCheck(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState,
                                            bool AChecked,
                                            TColor AColor) const {
  if (ACanvas->Brush()->Style() == bsSolid)
    ACanvas->FillRect(R, CheckButtonColor(AState));
  if (!AChecked) return;
  const Integer w = R.Width() - 2;
  const Integer h = R.Height() - 4;
  const Integer cx = (R.Left + R.Right) / 2 - 1;
  ACanvas->Pen()->SetColor(AColor);
  for (Integer d = 0; d < 3; ++d) {
    const Integer y = (R.Top + R.Bottom + h) / 2 - 2 + d;
    ACanvas->Polyline({TPoint{cx - (w / 2 - 1), y - h / 2}, TPoint{cx, y},
                       TPoint{cx + w / 2 + 2, y - h}});
  }
}

// ---------------------------------------------------------------------------
// Indicator items
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawIndicatorItem(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawHeader(ACanvas, R, R, TcxNeighbors{}, HeaderBorders({nTop, nBottom}),
             cxbsNormal, taLeftJustify, vaTop, false, false, "", nullptr,
             clNone, AColor, AOnDrawBackground, false, false);
  DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItemEx(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawHeaderEx(ACanvas, R, R, TcxNeighbors{}, cxBordersAll, cxbsNormal,
               taLeftJustify, vaTop, false, false, "", nullptr, clNone, AColor,
               AOnDrawBackground);
  DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind) const {
  TcxImageList* images = cxIndicatorImages();
  if (AKind == ikNone || images == nullptr) return;
  const Integer index = static_cast<Integer>(AKind) - 1;
  if (index >= images->Count()) return;
  images->Draw(ACanvas->Canvas(), (R.Left + R.Right - images->Width()) / 2,
               (R.Top + R.Bottom - images->Height()) / 2, index);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorCustomizationMark(
    TcxCanvas* ACanvas, const TRect& R, TColor AColor) const {
  ACanvas->Pen()->SetColor(AColor);
  const Integer top = (R.Top + R.Bottom - 9) / 2;
  for (Integer i = 0; i < 5; ++i) {
    const Integer y = top + 2 * i;
    ACanvas->MoveTo(R.Left + 5, y);
    ACanvas->LineTo(R.Right - 3, y);
    if (i % 2 == 0) ACanvas->SetPixel(R.Left + 3, y, AColor);
  }
}

// ---------------------------------------------------------------------------
// Size grip, month header and clock
// ---------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas,
                                               const TRect& ARect,
                                               TColor ABackgroundColor) const {
  ACanvas->FillRect(ARect, ABackgroundColor);
  RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  ::DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TcxCustomLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
    TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
    TcxHeaderArrows AArrows, Integer ASideWidth,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, HeaderBorders(ANeighbors),
             cxbsNormal, taCenter, vaCenter, false, false, AText,
             AViewParams.Font, AViewParams.TextColor, AViewParams.Color,
             AOnDrawBackground, false, false);
  DrawMonthHeaderArrows(ACanvas, ABounds, AArrows, ASideWidth, clWindowText);
}

void TcxCustomLookAndFeelPainter::DrawMonthHeaderArrows(TcxCanvas* ACanvas,
                                                        const TRect& ABounds,
                                                        TcxHeaderArrows AArrows,
                                                        Integer ASideWidth,
                                                        TColor AColor) const {
  if (AArrows == haNone) return;
  TRect r = ABounds;
  r.Top += BorderSize() + 1;
  r.Bottom -= 1;
  Integer d = r.Height() / 2;
  if (d % 2 == 0) ++d;
  const Integer top = r.Top + (r.Height() - (d + 1)) / 2;
  const Integer tip = d / 2 + 1;
  if (AArrows == haLeft || AArrows == haBoth) {
    const Integer x = r.Left + ASideWidth - 1;
    FillTriangle(ACanvas, TPoint{x, top}, TPoint{x - tip, top + d / 2},
                 TPoint{x, top + d}, AColor);
  }
  if (AArrows == haRight || AArrows == haBoth) {
    const Integer x = r.Right - ASideWidth + 1;
    FillTriangle(ACanvas, TPoint{x, top}, TPoint{x + tip, top + d / 2},
                 TPoint{x, top + d}, AColor);
  }
}

namespace {

// Nearest integer, halves to the even neighbour.
Integer RoundEven(double V) { return static_cast<Integer>(std::nearbyint(V)); }

void DrawClockHand(TcxCanvas* ACanvas, double cx, double cy, double rx,
                   double ry, double AAngle, double ATip, double ATail,
                   double AHalfWidth) {
  const double dx = std::cos(AAngle), dy = std::sin(AAngle);
  const TPoint tip{RoundEven(cx + rx * ATip * dx),
                   RoundEven(cy + ry * ATip * dy)};
  const TPoint tail{RoundEven(cx - rx * ATail * dx),
                    RoundEven(cy - ry * ATail * dy)};
  const TPoint side1{RoundEven(cx - AHalfWidth * dy),
                     RoundEven(cy + AHalfWidth * dx)};
  const TPoint side2{RoundEven(cx + AHalfWidth * dy),
                     RoundEven(cy - AHalfWidth * dx)};
  // A filled outline in the pen and brush colour covers the same pixels as
  // a filled path and keeps the canvas's drawing objects in step.
  ACanvas->Polygon({tail, side1, tip, side2});
}

}  // namespace

void TcxCustomLookAndFeelPainter::DrawClock(TcxCanvas* ACanvas,
                                            const TRect& ARect,
                                            TDateTime ADateTime,
                                            TColor ABackgroundColor) const {
  constexpr double kPi = 3.14159265358979323846;
  const Integer cx = (ARect.Left + ARect.Right) / 2;
  const Integer cy = (ARect.Top + ARect.Bottom) / 2;
  const double rx = ARect.Width() / 2.0 - 2;
  const double ry = ARect.Height() / 2.0 - 2;
  ACanvas->SaveClipRegion();
  for (Integer i = 0; i < 60; i += 5) {
    const Integer x = RoundEven(cx + rx * std::cos(i * 2 * kPi / 60));
    const Integer y = RoundEven(cy + ry * std::sin(i * 2 * kPi / 60));
    ACanvas->SetPixel(x, y, TColor(0x808000));
    ACanvas->Pen()->SetColor(TColor(0xFFFF00));
    ACanvas->Polyline(
        {TPoint{x - 1, y + 1}, TPoint{x - 1, y - 1}, TPoint{x, y - 1}});
    ACanvas->Pen()->SetColor(clBtnText);
    ACanvas->Polyline(
        {TPoint{x, y + 1}, TPoint{x + 1, y + 1}, TPoint{x + 1, y - 1}});
    ACanvas->ExcludeClipRect(TRect{x - 1, y - 1, x + 2, y + 2});
  }
  ACanvas->FillRect(ARect, ABackgroundColor);
  ACanvas->RestoreClipRegion();

  // The time of day from the fractional part.
  double frac = ADateTime - std::floor(ADateTime);
  Integer seconds = static_cast<Integer>(std::lround(frac * 86400.0)) % 86400;
  const Integer hour = seconds / 3600;
  const Integer minute = seconds / 60 % 60;
  const Integer second = seconds % 60;
  SetPenAndBrush(ACanvas, TColor(0x808000));
  DrawClockHand(
      ACanvas, cx, cy, rx, ry,
      (hour % 12 * 3600 + minute * 60 + second - 10800) * 2 * kPi / 43200, 0.75,
      0.15, 4.5);
  DrawClockHand(ACanvas, cx, cy, rx, ry,
                (minute * 60 + second - 900) * 2 * kPi / 3600, 0.85, 0.2, 3.5);
  const double a = (second - 15) * 2 * kPi / 60;
  ACanvas->Pen()->SetColor(TColor(0x0000FF));
  ACanvas->MoveTo(cx, cy);
  ACanvas->LineTo(RoundEven(cx + rx * 0.9 * std::cos(a)),
                  RoundEven(cy + ry * 0.9 * std::sin(a)));
}

// ---------------------------------------------------------------------------
// Shared painter resources
// ---------------------------------------------------------------------------

namespace {

TObjectPtr<TcxImageList> gIndicatorImages;
TObjectPtr<TBitmap> gTrackPatterns[2];
TSize gCheckBoxSize{13, 13};

const char* const kIndicatorResources[] = {
    "CX_ARROWBITMAP",    "CX_EDITBITMAP",       "CX_INSERTBITMAP",
    "CX_MULTIDOTBITMAP", "CX_MULTIARROWBITMAP", "CX_FILTERBITMAP"};

void CreateIndicatorImages() {
  gIndicatorImages.reset(new TcxImageList(nullptr));
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  bool sized = false;
  for (const char* name : kIndicatorResources) {
    TObjectPtr<TBitmap> bitmap(new TBitmap());
    try {
      bitmap->LoadFromResourceName(instance, name);
    } catch (const Exception&) {
      // A missing glyph leaves a blank image so that the others keep their
      // indices.
      bitmap->SetSize(8, 9);
      bitmap->Canvas()->Brush()->SetColor(clWhite);
      bitmap->Canvas()->FillRect(TRect{0, 0, 8, 9});
    }
    if (!sized) {
      gIndicatorImages->SetSize(bitmap->Width(), bitmap->Height());
      sized = true;
    }
    gIndicatorImages->AddMasked(bitmap.get(), clWhite);
  }
}

// The system check box is one cell of a 4 x 3 grid of glyphs.
constexpr Integer kObmCheckBoxes = 32759;

void MeasureCheckBox() {
  const TBitmapHandle bitmap(
      ::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmCheckBoxes)));
  if (!bitmap) return;
  BITMAP info{};
  if (::GetObjectA(bitmap.get(), sizeof(info), &info) == sizeof(info) &&
      info.bmWidth >= 4 && info.bmHeight >= 3)
    gCheckBoxSize = TSize{info.bmWidth / 4, info.bmHeight / 3};
}

}  // namespace

TcxImageList* cxIndicatorImages() { return gIndicatorImages.get(); }

TBitmap* cxScrollBarTrackPattern(Integer AIndex) {
  if (AIndex < 0 || AIndex > 1) return nullptr;
  return gTrackPatterns[AIndex].get();
}

void UpdateScrollBarBitmaps() {
  const TColor colors[2][2] = {{clBtnFace, clBtnHighlight},
                               {clBlack, cl3DDkShadow}};
  for (Integer i = 0; i < 2; ++i) {
    if (!gTrackPatterns[i]) {
      gTrackPatterns[i].reset(new TBitmap());
      gTrackPatterns[i]->SetSize(8, 8);
    }
    TCanvas* canvas = gTrackPatterns[i]->Canvas();
    for (Integer y = 0; y < 8; ++y)
      for (Integer x = 0; x < 8; ++x)
        canvas->SetPixels(x, y, colors[i][(x + y) % 2]);
  }
}

TSize cxCheckBoxSize() { return gCheckBoxSize; }

// ---------------------------------------------------------------------------
// System palette notifier
// ---------------------------------------------------------------------------

namespace {

class TcxSystemPaletteChangedListener {
 public:
  TcxSystemPaletteChangedListener() {
    CreateOffice11Colors();
    window_ = AllocateHWnd(
        TWndMethod(this, &TcxSystemPaletteChangedListener::WndProc));
  }
  ~TcxSystemPaletteChangedListener() {
    DeallocateHWnd(window_);
    ReleaseOffice11Colors();
  }
  TcxSystemPaletteChangedListener(const TcxSystemPaletteChangedListener&) =
      delete;
  TcxSystemPaletteChangedListener& operator=(
      const TcxSystemPaletteChangedListener&) = delete;

  HWND Window() const { return window_; }
  bool Empty() const { return primary_.empty() && ordinary_.empty(); }

  void Add(TcxSystemPaletteChangedNotifier* ANotifier) {
    List(ANotifier).push_back(ANotifier);
  }
  void Remove(TcxSystemPaletteChangedNotifier* ANotifier) {
    auto& list = List(ANotifier);
    list.erase(std::remove(list.begin(), list.end(), ANotifier), list.end());
  }

 private:
  std::vector<TcxSystemPaletteChangedNotifier*>& List(
      TcxSystemPaletteChangedNotifier* ANotifier) {
    return ANotifier->IsPrimary() ? primary_ : ordinary_;
  }

  // A notifier may free others, itself or even the last notifier (and with
  // it this listener) while it is told, so each one is looked up again
  // before it is called.
  static void Notify(bool APrimary);

  void WndProc(TMessage& Message) {
    const HWND window = window_;
    try {
      if (Message.Msg == WM_SYSCOLORCHANGE) {
        RefreshOffice11Colors();
        Notify(true);
        Notify(false);
      }
    } catch (...) {
      // Exceptions cannot cross the window procedure; the message still
      // gets its default handling.
    }
    Message.Result =
        ::DefWindowProcA(window, Message.Msg, Message.WParam, Message.LParam);
  }

  HWND window_ = nullptr;
  std::vector<TcxSystemPaletteChangedNotifier*> primary_;
  std::vector<TcxSystemPaletteChangedNotifier*> ordinary_;
};

std::unique_ptr<TcxSystemPaletteChangedListener> gPaletteListener;

void TcxSystemPaletteChangedListener::Notify(bool APrimary) {
  if (!gPaletteListener) return;
  const auto snapshot =
      APrimary ? gPaletteListener->primary_ : gPaletteListener->ordinary_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (!gPaletteListener) return;
    const auto& live =
        APrimary ? gPaletteListener->primary_ : gPaletteListener->ordinary_;
    if (std::find(live.begin(), live.end(), *it) == live.end()) continue;
    (*it)->DoChanged();
  }
}

}  // namespace

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(
    bool AIsPrimary)
    : isPrimary_(AIsPrimary) {
  if (!gPaletteListener)
    gPaletteListener = std::make_unique<TcxSystemPaletteChangedListener>();
  gPaletteListener->Add(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (!gPaletteListener) return;
  gPaletteListener->Remove(this);
  // The last notifier takes the listener and its window with it.
  if (gPaletteListener->Empty()) gPaletteListener.reset();
}

void TcxSystemPaletteChangedNotifier::DoChanged() {
  if (onChanged_) onChanged_();
}

HWND cxSystemPaletteListenerWindow() {
  return gPaletteListener ? gPaletteListener->Window() : nullptr;
}

// ---------------------------------------------------------------------------
// Radio-button images
// ---------------------------------------------------------------------------

namespace {

// Pixel codes of the radio glyph pattern.
enum : Byte {
  kOutside,
  kOutlineLight,
  kOutlineDark,
  kRingLight,
  kRingDark,
  kBody,
  kDot
};

struct TcxRadioGlyphGeometry {
  Integer W = 12, H = 12;  // glyph size
  Integer X0 = 0, Y0 = 0;  // glyph position in the system cell
  TRect Dot;               // in glyph coordinates
  std::vector<Byte> Pattern;
  Byte Code(Integer X, Integer Y) const { return Pattern[Y * W + X]; }
};

TcxRadioGlyphGeometry gRadioGeometry;
bool gRadioGeometryMade = false;
std::vector<Integer> gRadioIndexMap;
TObjectPtr<TcxRadioButtonImageList> gRadioImages;

// A 24-bit bitmap of the given size filled with AColor.
TObjectPtr<TBitmap> FilledBitmap(Integer W, Integer H, TColor AColor) {
  TObjectPtr<TBitmap> bitmap(new TBitmap());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(W, H);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(TRect{0, 0, W, H});
  return bitmap;
}

void DrawSystemRadio(TBitmap* ABitmap, UINT AState) {
  RECT r{0, 0, ABitmap->Width(), ABitmap->Height()};
  ::DrawFrameControl(ABitmap->Canvas()->Handle(), &r, DFC_BUTTON, AState);
}

// Size and position of the system's radio glyph, and its check dot.
void MeasureRadioGlyph(TcxRadioGlyphGeometry& G) {
  const TSize cell = cxCheckBoxSize();
  TObjectPtr<TBitmap> bitmap = FilledBitmap(cell.cx, cell.cy, clBlack);
  DrawSystemRadio(bitmap.get(), DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  TCanvas* canvas = bitmap->Canvas();
  Integer left = cell.cx, top = cell.cy, right = -1, bottom = -1;
  for (Integer y = 0; y < cell.cy; ++y)
    for (Integer x = 0; x < cell.cx; ++x)
      if (ColorToRGB(canvas->Pixels(x, y)) == 0) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  const bool whole =
      left == 0 && top == 0 && right == cell.cx - 1 && bottom == cell.cy - 1;
  if (right < 0 || whole) {
    // The system drew no usable mask: a glyph one pixel smaller than the
    // cell, as the classic look has it.
    left = top = 0;
    right = std::max<Integer>(cell.cx - 2, 3);
    bottom = std::max<Integer>(cell.cy - 2, 3);
  }
  G.X0 = left;
  G.Y0 = top;
  G.W = right - left + 1;
  G.H = bottom - top + 1;

  bitmap = FilledBitmap(cell.cx, cell.cy, clWindow);
  DrawSystemRadio(bitmap.get(), DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_FLAT);
  canvas = bitmap->Canvas();
  const Integer dotColor = ColorToRGB(clWindowText);
  auto isDot = [&](Integer x, Integer y) {
    return x >= 0 && y >= 0 && x < cell.cx && y < cell.cy &&
           ColorToRGB(canvas->Pixels(x, y)) == dotColor;
  };
  const Integer cx = G.X0 + (G.W - 1) / 2, cy = G.Y0 + (G.H - 1) / 2;
  if (isDot(cx, cy)) {
    Integer l = cx, r = cx, t = cy, b = cy;
    while (isDot(l - 1, cy)) --l;
    while (isDot(r + 1, cy)) ++r;
    while (isDot(cx, t - 1)) --t;
    while (isDot(cx, b + 1)) ++b;
    G.Dot = TRect{l - G.X0, t - G.Y0, r + 1 - G.X0, b + 1 - G.Y0};
  } else {
    const Integer s = std::max<Integer>(2, std::min(G.W, G.H) / 3);
    G.Dot = TRect{(G.W - s) / 2, (G.H - s) / 2, (G.W - s) / 2 + s,
                  (G.H - s) / 2 + s};
  }
}

// Pixels on or above the anti-diagonal take the light colours.
bool AboveAntiDiagonal(const TcxRadioGlyphGeometry& G, Integer X, Integer Y) {
  return (G.H - 1) * (G.W - X - 1) >= Y * (G.W - 1);
}

void BuildRadioPattern(TcxRadioGlyphGeometry& G) {
  const Integer W = G.W, H = G.H;
  G.Pattern.assign(W * H, kOutside);
  TObjectPtr<TBitmap> outline = FilledBitmap(W, H, clWhite);
  TCanvas* canvas = outline->Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  canvas->RoundRect(0, 0, W, H, W - 1, H - 1);
  auto isOutline = [&](Integer x, Integer y) {
    return ColorToRGB(canvas->Pixels(x, y)) == 0;
  };
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      if (isOutline(x, y))
        G.Pattern[y * W + x] =
            AboveAntiDiagonal(G, x, y) ? kOutlineLight : kOutlineDark;
  // The inside, row by row from the centre column outwards.
  const Integer mid = (W - 1) / 2;
  for (Integer y = 0; y < H; ++y) {
    if (G.Pattern[y * W + mid] != kOutside) continue;
    bool closedLeft = false, closedRight = false;
    for (Integer x = mid; x >= 0; --x)
      if (G.Pattern[y * W + x] != kOutside) {
        closedLeft = true;
        break;
      }
    for (Integer x = mid; x < W; ++x)
      if (G.Pattern[y * W + x] != kOutside) {
        closedRight = true;
        break;
      }
    if (!closedLeft || !closedRight) continue;  // outside the ellipse
    for (Integer x = mid; x >= 0 && G.Pattern[y * W + x] == kOutside; --x)
      G.Pattern[y * W + x] = kBody;
    for (Integer x = mid + 1; x < W && G.Pattern[y * W + x] == kOutside; ++x)
      G.Pattern[y * W + x] = kBody;
  }
  // The first ring inside the outline.
  Integer firstRow = H, lastRow = -1, firstCol = W, lastCol = -1;
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      if (G.Code(x, y) == kBody) {
        firstRow = std::min(firstRow, y);
        lastRow = std::max(lastRow, y);
        firstCol = std::min(firstCol, x);
        lastCol = std::max(lastCol, x);
      }
  std::vector<Byte> ring(W * H, 0);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      if (G.Code(x, y) != kBody) continue;
      bool edge =
          y == firstRow || y == lastRow || x == firstCol || x == lastCol;
      for (Integer dy = -1; dy <= 1 && !edge; ++dy)
        for (Integer dx = -1; dx <= 1 && !edge; ++dx) {
          const Integer nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
          const Byte c = G.Code(nx, ny);
          edge = c == kOutlineLight || c == kOutlineDark;
        }
      ring[y * W + x] = edge;
    }
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      if (!ring[y * W + x]) continue;
      const bool onDiagonal = (H - 1) * (W - x - 1) == y * (W - 1);
      const bool light = onDiagonal ? x <= mid : AboveAntiDiagonal(G, x, y);
      G.Pattern[y * W + x] = light ? kRingLight : kRingDark;
    }
  // The check dot.
  TObjectPtr<TBitmap> dot = FilledBitmap(W, H, clWhite);
  dot->Canvas()->Pen()->SetColor(clBlack);
  dot->Canvas()->Brush()->SetColor(clBlack);
  dot->Canvas()->Ellipse(G.Dot);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      if (ColorToRGB(dot->Canvas()->Pixels(x, y)) == 0 &&
          G.Code(x, y) != kOutside)
        G.Pattern[y * W + x] = kDot;
}

const TcxRadioGlyphGeometry& RadioGeometry() {
  if (!gRadioGeometryMade) {
    MeasureRadioGlyph(gRadioGeometry);
    BuildRadioPattern(gRadioGeometry);
    gRadioGeometryMade = true;
  }
  return gRadioGeometry;
}

Integer RadioIndexKey(TcxButtonState AState, bool AChecked,
                      TcxLookAndFeelKind AKind, bool AIsDesigning,
                      bool AFocused) {
  // The default state has no images of its own: it is the normal state.
  if (AState == cxbsDefault) AState = cxbsNormal;
  return (AState - 1) + 4 * AChecked + 8 * AKind + 32 * AIsDesigning +
         64 * AFocused;
}

TColor RadioBodyColor(TcxLookAndFeelKind AKind, TcxButtonState AState) {
  if (AKind == lfOffice11)
    return AState == cxbsNormal
               ? clWindow
               : TcxOffice11LookAndFeelPainter::Instance()->ButtonColor(AState);
  if (AState == cxbsDisabled) return clBtnFace;
  if (AKind == lfUltraFlat) {
    if (AState == cxbsHot) return GetLightSelColor();
    if (AState == cxbsPressed) return GetLightDownedSelColor();
    return clWindow;
  }
  return AState == cxbsPressed ? clBtnFace : clWindow;
}

void RadioColorMap(TColor AMap[7], TcxLookAndFeelKind AKind,
                   TcxButtonState AState, bool AChecked, bool AFocused,
                   bool AIsDesigning) {
  const TColor body = RadioBodyColor(AKind, AState);
  AMap[kOutside] = clBlack;
  AMap[kBody] = body;
  if (!AChecked)
    AMap[kDot] = body;
  else if (AState == cxbsDisabled)
    AMap[kDot] =
        AKind == lfOffice11 ? dxOffice11TextDisabledColor : clBtnShadow;
  else
    AMap[kDot] = clWindowText;
  switch (AKind) {
    case lfFlat:
      AMap[kOutlineLight] = clBtnShadow;
      AMap[kOutlineDark] = clBtnHighlight;
      AMap[kRingLight] = AMap[kRingDark] = cl3DLight;
      break;
    case lfStandard:
      AMap[kOutlineLight] = clBtnShadow;
      AMap[kOutlineDark] = clBtnHighlight;
      AMap[kRingLight] = cl3DDkShadow;
      AMap[kRingDark] = cl3DLight;
      break;
    case lfUltraFlat: {
      const bool highlighted = AFocused || AState == cxbsHot ||
                               AState == cxbsPressed ||
                               (AIsDesigning && AState != cxbsDisabled);
      AMap[kOutlineLight] = AMap[kOutlineDark] =
          highlighted ? clHighlight : clBtnShadow;
      AMap[kRingLight] = AMap[kRingDark] = body;
      break;
    }
    case lfOffice11: {
      TColor outline = clBtnText;
      if (AState == cxbsDisabled)
        outline = dxOffice11TextDisabledColor;
      else if (AIsDesigning || AState == cxbsHot || AState == cxbsPressed ||
               AFocused)
        outline = dxOffice11SelectedBorderColor;
      AMap[kOutlineLight] = AMap[kOutlineDark] = outline;
      AMap[kRingLight] = AMap[kRingDark] = body;
      break;
    }
  }
}

}  // namespace

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  const TcxRadioGlyphGeometry& g = RadioGeometry();
  images_.reset(new TImageList(nullptr));
  images_->SetSize(g.W, g.H);
  mask_.reset(new TBitmap());
  mask_->SetMonochrome(true);
  mask_->SetSize(g.W, g.H);
  TCanvas* canvas = mask_->Canvas();
  for (Integer y = 0; y < g.H; ++y)
    for (Integer x = 0; x < g.W; ++x)
      canvas->SetPixels(x, y, g.Code(x, y) == kOutside ? clWhite : clBlack);
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() = default;

TSize TcxRadioButtonImageList::GlyphSize() const {
  return TSize{images_->Width(), images_->Height()};
}

Integer TcxRadioButtonImageList::ImageCount() const { return images_->Count(); }

void TcxRadioButtonImageList::BuildGlyphs() {
  const TcxRadioGlyphGeometry& g = RadioGeometry();
  gRadioIndexMap.assign(128, 0);
  TObjectPtr<TBitmap> image(new TBitmap());
  image->SetPixelFormat(pf32bit);
  image->SetSize(g.W, g.H);
  for (Integer focused = 0; focused < 2; ++focused)
    for (Integer designing = 0; designing < 2; ++designing)
      for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
        for (Integer checked = 0; checked < 2; ++checked)
          for (Integer state = cxbsNormal; state <= cxbsDisabled; ++state) {
            TColor map[7];
            RadioColorMap(map, static_cast<TcxLookAndFeelKind>(kind),
                          static_cast<TcxButtonState>(state), checked, focused,
                          designing);
            for (Integer y = 0; y < g.H; ++y) {
              auto* row = static_cast<Byte*>(image->ScanLine(y));
              for (Integer x = 0; x < g.W; ++x) {
                const Byte code = g.Code(x, y);
                const Integer rgb = ColorToRGB(map[code]);
                row[4 * x + 0] = static_cast<Byte>(rgb >> 16);
                row[4 * x + 1] = static_cast<Byte>(rgb >> 8);
                row[4 * x + 2] = static_cast<Byte>(rgb);
                row[4 * x + 3] = code == kOutside ? 0 : 0xFF;
              }
            }
            const Integer index = images_->Add(image.get(), mask_.get());
            gRadioIndexMap[RadioIndexKey(
                static_cast<TcxButtonState>(state), checked,
                static_cast<TcxLookAndFeelKind>(kind), designing, focused)] =
                index;
          }
}

void TcxRadioButtonImageList::RebuildGlyphs() {
  images_->Clear();
  BuildGlyphs();
}

void TcxRadioButtonImageList::PaintGlyph(TcxCanvas* ACanvas, Integer X,
                                         Integer Y, TcxButtonState AState,
                                         bool AChecked, bool AFocused,
                                         TColor ABrushColor,
                                         TcxLookAndFeelKind ALookAndFeelKind,
                                         bool AIsDesigning) {
  const Integer key =
      RadioIndexKey(AState, AChecked, ALookAndFeelKind, AIsDesigning, AFocused);
  if (key < 0 || key >= static_cast<Integer>(gRadioIndexMap.size())) return;
  const Integer index = gRadioIndexMap[key];
  if (ABrushColor == clDefault) {
    images_->Draw(ACanvas->Canvas(), X, Y, index);
    return;
  }
  const TSize size = GlyphSize();
  TObjectPtr<TBitmap> bitmap = FilledBitmap(size.cx, size.cy, ABrushColor);
  images_->Draw(bitmap->Canvas(), 0, 0, index);
  ACanvas->Draw(X, Y, bitmap.get());
}

TcxRadioButtonImageList* PrepareRadioButtonImageList() {
  if (!gRadioImages) {
    gRadioImages.reset(new TcxRadioButtonImageList());
    gRadioImages->BuildGlyphs();
  }
  return gRadioImages.get();
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(
    TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AState,
    bool AChecked, bool AFocused, TColor ABrushColor, bool AIsDesigning) const {
  TcxLookAndFeelKind kind = lfStandard;
  switch (LookAndFeelStyle()) {
    case lfsFlat:
      kind = lfFlat;
      break;
    case lfsUltraFlat:
      kind = lfUltraFlat;
      break;
    case lfsOffice11:
      kind = lfOffice11;
      break;
    default:
      break;
  }
  PrepareRadioButtonImageList()->PaintGlyph(ACanvas, X, Y, AState, AChecked,
                                            AFocused, ABrushColor, kind,
                                            AIsDesigning);
}

// ---------------------------------------------------------------------------
// Skin painters registered by name
// ---------------------------------------------------------------------------

TcxExtendedStylePainterInfo::TcxExtendedStylePainterInfo(
    TObject* AData, const String& AName, TcxLookAndFeelPainterClass APainter)
    : data_(AData), name_(AName), painter_(APainter) {}

TcxExtendedStylePainterInfo::~TcxExtendedStylePainterInfo() {
  TObjectPtr<TObject> data(data_);
}

TcxExtendedStylePainters::~TcxExtendedStylePainters() = default;

Integer TcxExtendedStylePainters::FindInfoByName(
    const String& AName, TcxExtendedStylePainterInfo*& AInfo) const {
  AInfo = nullptr;
  for (Integer i = 0; i < Count(); ++i)
    if (SameText(GetItem(i)->Name(), AName)) {
      AInfo = GetItem(i);
      return i;
    }
  return -1;
}

bool TcxExtendedStylePainters::Register(const String& AName,
                                        TcxLookAndFeelPainterClass APainter,
                                        TObject* AData) {
  TcxExtendedStylePainterInfo* info;
  if (FindInfoByName(AName, info) >= 0) return false;
  Add(new TcxExtendedStylePainterInfo(AData, AName, APainter));
  Changed(APainter);
  return true;
}

bool TcxExtendedStylePainters::Unregister(const String& AName) {
  TcxExtendedStylePainterInfo* info;
  const Integer index = FindInfoByName(AName, info);
  if (index < 0) return false;
  TObjectPtr<TObject> entry(static_cast<TObject*>(Extract(info)));
  Changed(info->Painter());
  return true;
}

bool TcxExtendedStylePainters::GetPainterByName(
    const String& AName, TcxLookAndFeelPainterClass& APainter) const {
  TcxExtendedStylePainterInfo* info;
  const bool found = FindInfoByName(AName, info) >= 0;
  if (found) APainter = info->Painter();
  return found;
}

bool TcxExtendedStylePainters::GetNameByPainter(
    TcxLookAndFeelPainterClass APainter, String& AName) const {
  AName.clear();
  for (Integer i = 0; i < Count(); ++i)
    if (GetItem(i)->Painter() == APainter) {
      AName = GetItem(i)->Name();
      return true;
    }
  return false;
}

bool TcxExtendedStylePainters::GetPainterData(
    TcxLookAndFeelPainterClass APainter, TObject*& AData) const {
  AData = nullptr;
  for (Integer i = 0; i < Count(); ++i)
    if (GetItem(i)->Painter() == APainter) {
      AData = GetItem(i)->Data();
      return true;
    }
  return false;
}

void TcxExtendedStylePainters::AddListener(
    IcxLookAndFeelPainterListener* AListener) {
  if (AListener == nullptr) return;
  for (const auto& listener : listeners_)
    if (listener.get() == AListener) return;
  listeners_.emplace_back(AListener);
}

void TcxExtendedStylePainters::RemoveListener(
    IcxLookAndFeelPainterListener* AListener) {
  for (auto it = listeners_.begin(); it != listeners_.end(); ++it)
    if (it->get() == AListener) {
      listeners_.erase(it);
      return;
    }
}

void TcxExtendedStylePainters::Changed(TcxLookAndFeelPainterClass APainter) {
  const auto snapshot = listeners_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    (*it)->PainterChanged(APainter);
}

namespace {
TObjectPtr<TcxExtendedStylePainters> gExtendedStylePainters;
}

TcxExtendedStylePainters* GetExtendedStylePainters() {
  return gExtendedStylePainters.get();
}

TcxLookAndFeelPainterClass GetCurrentPainterClass() {
  return TcxUltraFlatLookAndFeelPainter::Instance();
}

TRect cxTextRect(const TRect& R) { return Shrunk(R, 2); }

// ---------------------------------------------------------------------------
// Unit start-up and shut-down
// ---------------------------------------------------------------------------

namespace {

// The painters' primary notifier: cached radio images follow the system
// colours before any control repaints.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
  VARNEL_CLASS(TSystemPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)
 public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void DoChanged() override {
    if (gRadioImages) gRadioImages->RebuildGlyphs();
    TcxSystemPaletteChangedNotifier::DoChanged();
  }
};

TObjectPtr<TSystemPaletteChangedNotifier> gPrimaryNotifier;

void PaintersStartup() {
  gExtendedStylePainters.reset(new TcxExtendedStylePainters());
  CreateIndicatorImages();
  UpdateScrollBarBitmaps();
  gPrimaryNotifier.reset(new TSystemPaletteChangedNotifier());
  MeasureCheckBox();
}

void PaintersShutdown() {
  gPrimaryNotifier.reset();
  gTrackPatterns[0].reset();
  gTrackPatterns[1].reset();
  gIndicatorImages.reset();
  gRadioImages.reset();
  gExtendedStylePainters.reset();
  gRadioIndexMap.clear();
  gRadioGeometry = TcxRadioGlyphGeometry{};
  gRadioGeometryMade = false;
}

}  // namespace

VARNEL_UNIT(cxLookAndFeelPainters,
            ({"cxGraphics", "dxOffice11", "dxThemeManager", "Forms"}),
            &PaintersStartup, &PaintersShutdown);
