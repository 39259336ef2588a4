// The classic painters: two-pixel 3-D edges, one-pixel edges, and
// single-colour frames with selection-coloured hot tracking.
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"

namespace {

TRect Shrunk(const TRect& R, Integer D = 1) {
  return TRect{R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

bool IsEmptyRect(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

void RaisedInner(TcxCanvas* C, const TRect& R, TcxBorders B = cxBordersAll) {
  C->DrawEdge(R, false, false, B);
}
void RaisedOuter(TcxCanvas* C, const TRect& R, TcxBorders B = cxBordersAll) {
  C->DrawEdge(R, false, true, B);
}
void SunkenOuter(TcxCanvas* C, const TRect& R, TcxBorders B = cxBordersAll) {
  C->DrawEdge(R, true, true, B);
}
void SunkenInner(TcxCanvas* C, const TRect& R, TcxBorders B = cxBordersAll) {
  C->DrawEdge(R, true, false, B);
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared by the standard and flat painters
// ---------------------------------------------------------------------------

namespace {

// The band of one tab border, as the classic painters draw it.
void DrawClassicTabBorder(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                          TcxBorders ABorders, bool AVertical) {
  TColor color = clBtnHighlight;
  if (AVertical) {
    if (ABorder == bLeft) {
      R.Top += ABorders.Contains(bTop) ? 2 : 1;
      R.Bottom -= ABorders.Contains(bBottom) ? 2 : 1;
      ACanvas->SetPixel(R.Left + 1, R.Top - 1, clBtnHighlight);
      ACanvas->SetPixel(R.Left + 1, R.Bottom, clBtnHighlight);
    } else if (ABorders.Contains(bLeft)) {
      R.Left += 1;
    }
    if (ABorder == bBottom) color = clBtnShadow;
  } else {
    if (ABorder == bLeft || ABorder == bRight) {
      if (ABorders.Contains(bTop)) R.Top += 2;
      if (ABorders.Contains(bBottom)) R.Bottom -= 1;
    } else if (ABorder == bTop) {
      R.Left += 1;
      R.Right -= 1;
      ACanvas->SetPixel(R.Left - 1, R.Top + 1, clBtnHighlight);
      ACanvas->SetPixel(R.Right, R.Top + 1, clBtnHighlight);
    }
    if (ABorder == bRight) color = clBtnShadow;
  }
  ACanvas->FillRect(R, color);
}

// Page parts of a scroll bar: the checkerboard track, darker when pressed.
void DrawScrollBarTrack(TcxCanvas* ACanvas, const TRect& R,
                        TcxButtonState AState) {
  ACanvas->Brush()->SetBitmap(
      cxScrollBarTrackPattern(AState == cxbsPressed ? 1 : 0));
  ACanvas->FillRect(R);
  ACanvas->Brush()->SetBitmap(nullptr);
  ACanvas->Brush()->SetStyle(bsSolid);
}

void DrawScrollButtonBorder(TcxCanvas* ACanvas, const TRect& R, bool APressed) {
  if (APressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow);
    ACanvas->DrawComplexFrame(Shrunk(R), clBtnFace, clBtnFace);
  } else {
    ACanvas->DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
    ACanvas->DrawComplexFrame(Shrunk(R), clBtnHighlight, clBtnShadow);
  }
}

// A filter drop-down button on a one-pixel 3-D edge, sunken when pressed.
void DrawEdgedFilterButton(const TcxCustomLookAndFeelPainter& APainter,
                           TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                           bool AIsFilterActive) {
  if (AState == cxbsPressed) {
    SunkenOuter(ACanvas, R);
  } else {
    RaisedInner(ACanvas, R);
  }
  R = Shrunk(R);
  ACanvas->FillRect(R, clBtnFace);
  APainter.DrawButtonArrow(ACanvas, R,
                           AIsFilterActive ? TColor(0xFF0000) : clBtnText);
}

bool IsPagePart(TcxScrollBarPart APart) {
  return APart == sbpPageUp || APart == sbpPageDown;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxClassicLookAndFeelPainter
// ---------------------------------------------------------------------------

Integer TcxClassicLookAndFeelPainter::ButtonTextOffset() const { return 1; }

Integer TcxClassicLookAndFeelPainter::ButtonTextShift() const { return 1; }

bool TcxClassicLookAndFeelPainter::IsButtonHotTrack() const { return false; }

Integer TcxClassicLookAndFeelPainter::HeaderBorderSize() const { return 1; }

void TcxClassicLookAndFeelPainter::DrawSortingMark(
    TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnHighlight, AAscendingSorting);
}

TPoint TcxClassicLookAndFeelPainter::SortingMarkSize() const {
  return TPoint{8, 7};
}

Integer TcxClassicLookAndFeelPainter::FooterBorderSize() const { return 1; }

Integer TcxClassicLookAndFeelPainter::FooterCellBorderSize() const { return 1; }

Integer TcxClassicLookAndFeelPainter::FooterCellOffset() const { return 1; }

void TcxClassicLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas,
                                                    const TRect& R) const {
  RaisedInner(ACanvas, R);
}

void TcxClassicLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* ACanvas,
                                                        const TRect& R) const {
  SunkenOuter(ACanvas, R);
}

void TcxClassicLookAndFeelPainter::DrawFilterDropDownButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
    bool AIsFilterActive) const {
  DrawEdgedFilterButton(*this, ACanvas, R, AState, AIsFilterActive);
}

void TcxClassicLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas,
                                                const TRect& R,
                                                TcxBorders ABorders,
                                                bool /*AVertical*/) const {
  RaisedInner(ACanvas, R, ABorders);
}

void TcxClassicLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, TRect R,
                                                 TcxBorder ABorder,
                                                 TcxBorders ABorders,
                                                 bool AVertical) const {
  DrawClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

Integer TcxClassicLookAndFeelPainter::TabBorderSize(bool /*AVertical*/) const {
  return 1;
}

// ---------------------------------------------------------------------------
// TcxStandardLookAndFeelPainter
// ---------------------------------------------------------------------------

TcxLookAndFeelStyle TcxStandardLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsStandard;
}

TColor TcxStandardLookAndFeelPainter::DefaultSchedulerViewContentColor() const {
  return clWindow;
}

Integer TcxStandardLookAndFeelPainter::BorderSize() const { return 2; }

void TcxStandardLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas,
                                               TRect R) const {
  ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  ACanvas->DrawComplexFrame(Shrunk(R), cl3DDkShadow, cl3DLight);
}

Integer TcxStandardLookAndFeelPainter::ButtonBorderSize(
    TcxButtonState AState) const {
  return AState == cxbsDefault ? 3 : 2;
}

void TcxStandardLookAndFeelPainter::DrawButtonBorder(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    ACanvas->FrameRect(R, clBlack);
    ACanvas->DrawComplexFrame(Shrunk(R), clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(R, clBlack);
    R = Shrunk(R);
  }
  ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
  ACanvas->DrawComplexFrame(Shrunk(R), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawGroupExpandButton(
    TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
    TcxButtonState AState) const {
  // The chevrons sit on the flat painter's button, never on the thick one.
  cxPainterInstance<TcxFlatLookAndFeelPainter>()
      ->TcxCustomLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R,
                                                           AExpanded, AState);
}

Integer TcxStandardLookAndFeelPainter::ExpandButtonSize() const { return 12; }

void TcxStandardLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas,
                                                     const TRect& R,
                                                     bool AExpanded,
                                                     TColor AColor) const {
  TRect r = R;
  RaisedInner(ACanvas, r, TcxBorders{bLeft, bTop});
  RaisedOuter(ACanvas, r, TcxBorders{bRight, bBottom});
  r = Shrunk(r);
  RaisedInner(ACanvas, r, TcxBorders{bRight, bBottom});
  r.Right -= 1;
  r.Bottom -= 1;
  ACanvas->FillRect(r, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandButtonCross(ACanvas, r, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

void TcxStandardLookAndFeelPainter::DrawCheckBorder(
    TcxCanvas* ACanvas, TRect R, TcxButtonState /*AState*/) const {
  SunkenInner(ACanvas, R);
  SunkenOuter(ACanvas, Shrunk(R));
}

void TcxStandardLookAndFeelPainter::DrawHeaderBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
    TcxBorders /*ABorders*/) const {
  RaisedInner(ACanvas, R);
  if (ANeighbors.Contains(nLeft)) {
    ACanvas->SetPixel(R.Left, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
  }
  if (ANeighbors.Contains(nRight)) {
    ACanvas->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
    ACanvas->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void TcxStandardLookAndFeelPainter::DrawHeaderControlSectionBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
    TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow, ABorders);
    return;
  }
  ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow, ABorders);
  ACanvas->DrawComplexFrame(Shrunk(R), cl3DLight, clBtnShadow, ABorders);
}

Integer TcxStandardLookAndFeelPainter::HeaderControlSectionBorderSize(
    TcxButtonState AState) const {
  return AState == cxbsPressed ? 1 : 2;
}

void TcxStandardLookAndFeelPainter::DrawScrollBarPart(
    TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
    TcxButtonState AState) const {
  if (IsEmptyRect(R) || APart == sbpNone) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  if (APart == sbpThumbnail && AState == cxbsDisabled) return;
  if (IsPagePart(APart)) {
    DrawScrollBarTrack(ACanvas, R, AState);
    return;
  }
  // A thumb is never drawn sunk in, even while it is dragged.
  const bool pressedArrow = APart != sbpThumbnail && AState == cxbsPressed;
  if (APart == sbpThumbnail) {
    DrawScrollButtonBorder(ACanvas, R, false);
    ACanvas->FillRect(Shrunk(R, ButtonBorderSize(cxbsNormal)), clBtnFace);
    return;
  }
  UINT kind;
  if (AHorizontal) {
    kind = APart == sbpLineUp ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
  } else {
    kind = APart == sbpLineUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
  }
  if (AState == cxbsDisabled) kind |= DFCS_INACTIVE;
  if (pressedArrow) kind |= DFCS_FLAT;
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  if (pressedArrow) OffsetRect(&r, 1, 1);
  DrawFrameControl(ACanvas->Handle(), &r, DFC_SCROLL, kind);
  DrawScrollButtonBorder(ACanvas, R, pressedArrow);
}

void TcxStandardLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
    TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
    TcxHeaderArrows AArrows, Integer ASideWidth,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  TcxBorders sides = cxBordersAll;
  if (ANeighbors.Contains(nRight)) sides.Exclude(bRight);
  if (ANeighbors.Contains(nLeft)) sides.Exclude(bLeft);
  ACanvas->FrameRect(ABounds, clBlack, 1, sides);
  const Integer size = HeaderBorderSize();
  TRect r = ABounds;
  if (sides.Contains(bLeft)) r.Left += size;
  if (sides.Contains(bTop)) r.Top += size;
  if (sides.Contains(bRight)) r.Right -= size;
  if (sides.Contains(bBottom)) r.Bottom -= size;
  DrawHeader(ACanvas, r, r, ANeighbors, cxBordersAll, cxbsNormal, taCenter,
             vaCenter, false, false, AText, AViewParams.Font,
             AViewParams.TextColor, AViewParams.Color, AOnDrawBackground, false,
             false);
  DrawMonthHeaderArrows(ACanvas, ABounds, AArrows, ASideWidth, clWindowText);
}

void TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(
    TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
    bool AIsHorizontal) const {
  DrawSchedulerSplitterRings(
      ACanvas, R, AViewParams, AIsHorizontal,
      {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}});
}

// ---------------------------------------------------------------------------
// TcxFlatLookAndFeelPainter
// ---------------------------------------------------------------------------

TcxLookAndFeelStyle TcxFlatLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsFlat;
}

Integer TcxFlatLookAndFeelPainter::BorderSize() const { return 1; }

void TcxFlatLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, TRect R) const {
  SunkenOuter(ACanvas, R);
}

Integer TcxFlatLookAndFeelPainter::ButtonBorderSize(
    TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}

void TcxFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                                                 TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    return;
  }
  if (AState == cxbsDefault) {
    ACanvas->FrameRect(R, clBlack);
    R = Shrunk(R);
  }
  ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas,
                                                 const TRect& R, bool AExpanded,
                                                 TColor AColor) const {
  DrawButton(ACanvas, R, "", cxbsNormal, true, AColor, clDefault);
  DrawExpandButtonCross(ACanvas, Shrunk(R), AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

Integer TcxFlatLookAndFeelPainter::ExpandButtonSize() const { return 11; }

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                                                TcxButtonState AState) const {
  SunkenOuter(ACanvas, R);
  ACanvas->FrameRect(Shrunk(R), CheckButtonColor(AState));
}

void TcxFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* ACanvas,
                                                 const TRect& R,
                                                 TcxNeighbors ANeighbors,
                                                 TcxBorders ABorders) const {
  cxPainterInstance<TcxStandardLookAndFeelPainter>()->DrawHeaderBorder(
      ACanvas, R, ANeighbors, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
    TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
  } else {
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
  }
}

void TcxFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas,
                                                  bool AHorizontal, TRect R,
                                                  TcxScrollBarPart APart,
                                                  TcxButtonState AState) const {
  if (IsEmptyRect(R) || APart == sbpNone) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  if (APart == sbpThumbnail && AState == cxbsDisabled) return;
  if (IsPagePart(APart)) {
    DrawScrollBarTrack(ACanvas, R, AState);
    return;
  }
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
  R = Shrunk(R, ButtonBorderSize(cxbsNormal));
  if (APart != sbpThumbnail) {
    DrawScrollBarArrow(ACanvas, R, AState,
                       GetArrowDirection(AHorizontal, APart));
  }
}

void TcxFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(
    TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
    bool AIsHorizontal) const {
  DrawSchedulerSplitterRings(ACanvas, R, AViewParams, AIsHorizontal,
                             {{clBtnHighlight, clBtnShadow}});
}

// ---------------------------------------------------------------------------
// TcxUltraFlatLookAndFeelPainter
// ---------------------------------------------------------------------------

TcxLookAndFeelStyle TcxUltraFlatLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsUltraFlat;
}

TColor TcxUltraFlatLookAndFeelPainter::DefaultSchedulerBorderColor() const {
  return clBtnShadow;
}

TColor TcxUltraFlatLookAndFeelPainter::BorderHighlightColor() const {
  return clHighlight;
}

Integer TcxUltraFlatLookAndFeelPainter::BorderSize() const { return 1; }

void TcxUltraFlatLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas,
                                                TRect R) const {
  ACanvas->FrameRect(R, clBtnShadow);
}

Integer TcxUltraFlatLookAndFeelPainter::ButtonBorderSize(
    TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonColor(
    TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot:
      return GetLightSelColor();
    case cxbsPressed:
      return GetLightDownedSelColor();
    default:
      return clBtnFace;
  }
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusRect(TcxCanvas* /*ACanvas*/,
                                                      const TRect& R) const {
  const TRect r = Shrunk(R, 3);
  return IsEmptyRect(r) ? R : r;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonGroupBorderSizes(
    Integer AButtonCount, Integer AButtonIndex) const {
  TRect result{1, 2, 1, 2};
  if (AButtonIndex == 0) {
    result.Left = 2;
  } else if (AButtonIndex == AButtonCount - 1) {
    result.Right = 2;
  }
  return result;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(
    TcxButtonState AState, TColor ADefaultColor) const {
  if (AState == cxbsPressed) return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

TcxButtonState TcxUltraFlatLookAndFeelPainter::ButtonSymbolState(
    TcxButtonState /*AState*/) const {
  return cxbsNormal;
}

Integer TcxUltraFlatLookAndFeelPainter::ButtonTextOffset() const { return 2; }

Integer TcxUltraFlatLookAndFeelPainter::ButtonTextShift() const { return 0; }

void TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault:
      ACanvas->FrameRect(R, clWindowFrame);
      ACanvas->FrameRect(Shrunk(R), clWindowFrame);
      break;
    case cxbsNormal:
      ACanvas->FrameRect(R, clBtnText);
      break;
    case cxbsDisabled:
      ACanvas->FrameRect(R, clBtnShadow);
      break;
    default:
      ACanvas->FrameRect(R, clHighlight);
      break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonInGroup(
    TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
    Integer AButtonCount, Integer AButtonIndex, TColor ABackgroundColor) const {
  TRect R = ARect;
  const bool first = AButtonIndex == 0;
  const bool last = AButtonIndex == AButtonCount - 1;
  R.Top += 1;
  R.Bottom -= 1;
  if (first) R.Left += 1;
  if (last) R.Right -= 1;
  if (AState == cxbsNormal || AState == cxbsDisabled) {
    ACanvas->FrameRect(R, ABackgroundColor);
    R = Shrunk(R);
  } else {
    if (!first) {
      ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom},
                        BorderHighlightColor());
      R.Left += 1;
    }
    if (!last) {
      ACanvas->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom},
                        BorderHighlightColor());
      R.Right -= 1;
    }
  }
  ACanvas->FillRect(R, ButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonGroupBorder(
    TcxCanvas* ACanvas, TRect R, bool AInplace, bool ASelected) const {
  TColor color = clBtnShadow;
  if (ASelected) {
    color = clBtnText;
  } else if (AInplace) {
    color = BorderHighlightColor();
  }
  ACanvas->FrameRect(R, color);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas,
                                                      const TRect& R,
                                                      bool AExpanded,
                                                      TColor AColor) const {
  ACanvas->FrameRect(R, clBtnShadow);
  const TRect inner = Shrunk(R);
  ACanvas->FillRect(inner, AColor == clDefault ? clBtnFace : AColor);
  DrawExpandButtonCross(ACanvas, inner, AExpanded, clBtnText);
  ACanvas->ExcludeClipRect(R);
}

Integer TcxUltraFlatLookAndFeelPainter::ExpandButtonSize() const { return 11; }

bool TcxUltraFlatLookAndFeelPainter::IsButtonHotTrack() const { return true; }

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  ACanvas->FrameRect(R, clBtnText);
  ACanvas->FrameRect(Shrunk(R), CheckButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxNeighbors /*ANeighbors*/,
    TcxBorders ABorders) const {
  // The right column and bottom row always show: they separate this cell
  // from the next one, which draws no left or top line of its own.
  TcxBorders sides{bRight, bBottom};
  if (ABorders.Contains(bLeft)) sides.Include(bLeft);
  if (ABorders.Contains(bTop)) sides.Include(bTop);
  ACanvas->FrameRect(R, clBtnText, 1, sides);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderEx(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor, TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawContent(ACanvas, ABounds, Shrunk(ATextAreaBounds), Integer(AState),
              AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
              AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false);
  DrawHeaderBorder(ACanvas, Shrunk(ABounds), ANeighbors, ABorders);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderBorders(
    TcxNeighbors ANeighbors) const {
  TcxBorders result = cxBordersAll;
  if (ANeighbors.Contains(nLeft)) result.Exclude(bLeft);
  if (ANeighbors.Contains(nTop)) result.Exclude(bTop);
  return result;
}

Integer TcxUltraFlatLookAndFeelPainter::HeaderBorderSize() const { return 1; }

TPoint TcxUltraFlatLookAndFeelPainter::SortingMarkSize() const {
  return TPoint{7, 8};
}

void TcxUltraFlatLookAndFeelPainter::DrawSortingMark(
    TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
    TcxButtonState AState) const {
  const TColor color = AState == cxbsDisabled ? clBtnShadow : clBlack;
  ACanvas->DrawComplexFrame(R, color, color, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxButtonState AState, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
    const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  const TColor fill = AState == cxbsHot || AState == cxbsPressed
                          ? ButtonColor(AState)
                          : ABkColor;
  ACanvas->FillRect(ABounds, fill);
  if (AFont != nullptr) AFont->SetColor(ATextColor);
  DrawHeaderControlSectionText(ACanvas, ATextAreaBounds, AState, AAlignmentHorz,
                               AAlignmentVert, AMultiLine, AShowEndEllipsis,
                               AText, AFont, ATextColor);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::FooterBorders() const {
  return TcxBorders{bRight, bBottom};
}

Integer TcxUltraFlatLookAndFeelPainter::FooterBorderSize() const { return 1; }
Integer TcxUltraFlatLookAndFeelPainter::FooterCellBorderSize() const {
  return 1;
}
Integer TcxUltraFlatLookAndFeelPainter::FooterCellOffset() const { return 2; }

void TcxUltraFlatLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas,
                                                      const TRect& R) const {
  ACanvas->FrameRect(R, FooterSeparatorColor(), 1, TcxBorders{bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterCellBorder(
    TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, FooterSeparatorColor());
}

TColor TcxUltraFlatLookAndFeelPainter::FilterDropDownButtonBorderColor(
    TcxButtonState AState) const {
  return AState == cxbsNormal ? clBtnShadow : clHighlight;
}

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
    bool AIsFilterActive) const {
  ACanvas->FrameRect(R, FilterDropDownButtonBorderColor(AState));
  R = Shrunk(R);
  ACanvas->FillRect(R, ButtonColor(AState));
  DrawButtonArrow(ACanvas, R,
                  AIsFilterActive ? TColor(0xFF0000)
                                  : ButtonSymbolColor(AState, clDefault));
}

TPoint TcxUltraFlatLookAndFeelPainter::FilterCloseButtonSize() const {
  TPoint size = TcxCustomLookAndFeelPainter::FilterCloseButtonSize();
  size.Y += 1;
  return size;
}

TColor TcxUltraFlatLookAndFeelPainter::TabBorderHighlightColor(
    bool /*AVertical*/) const {
  return clBtnShadow;
}

TColor TcxUltraFlatLookAndFeelPainter::TabBorderDarkColor(
    bool /*AVertical*/) const {
  return clBtnText;
}

void TcxUltraFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, TRect R,
                                                   TcxBorder ABorder,
                                                   TcxBorders /*ABorders*/,
                                                   bool AVertical) const {
  TColor color = TabBorderHighlightColor(AVertical);
  if (AVertical && ABorder == bBottom) {
    color = TabBorderDarkColor(AVertical);
  } else if (!AVertical && ABorder == bRight) {
    color = TabBorderDarkColor(AVertical);
    R.Bottom -= TabBorderSize(AVertical);
  }
  ACanvas->FillRect(R, color);
}

void TcxUltraFlatLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  TcxBorders ABorders,
                                                  bool AVertical) const {
  ACanvas->DrawComplexFrame(R, TabBorderHighlightColor(AVertical),
                            TabBorderHighlightColor(AVertical), ABorders,
                            TabBorderSize(AVertical));
}

Integer TcxUltraFlatLookAndFeelPainter::TabBorderSize(
    bool /*AVertical*/) const {
  return 1;
}

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(
    TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
    TcxButtonState AState) const {
  if (IsEmptyRect(R) || APart == sbpNone) return;
  if (APart == sbpThumbnail && AState == cxbsDisabled) return;
  if (IsPagePart(APart)) {
    DrawScrollBarTrack(ACanvas, R, AState);
    return;
  }
  DrawButton(ACanvas, R, "", AState, true, clDefault, clDefault);
  if (APart != sbpThumbnail) {
    DrawScrollBarArrow(ACanvas, R, AState,
                       GetArrowDirection(AHorizontal, APart));
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerNavigatorButton(
    TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  DrawButton(ACanvas, R, "", AState, AState == cxbsHot || AState == cxbsPressed,
             clDefault, clDefault);
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(
    TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
    bool AIsHorizontal) const {
  const TColor color = DefaultSchedulerBorderColor();
  DrawSchedulerSplitterRings(ACanvas, R, AViewParams, AIsHorizontal,
                             {{color, color}});
}
