// The Office 2003 painter: scheme colours read afresh at every call, so a
// system colour change shows on the next paint.
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"

namespace {

TRect Shrunk(const TRect& R) {
  return TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
}

void FillColumn(TcxCanvas* ACanvas, Integer X, Integer ATop, Integer ABottom,
                TColor AColor) {
  if (ABottom > ATop) ACanvas->FillRect(TRect{X, ATop, X + 1, ABottom}, AColor);
}

}  // namespace

TcxLookAndFeelStyle TcxOffice11LookAndFeelPainter::LookAndFeelStyle() const {
  return lfsOffice11;
}

TColor TcxOffice11LookAndFeelPainter::HeaderTopColor() const {
  return GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50);
}

TColor TcxOffice11LookAndFeelPainter::HeaderBottomColor() const {
  return dxOffice11ToolbarsColor2;
}

TColor TcxOffice11LookAndFeelPainter::HeaderDarkEdgeColor() const {
  return dxOffice11BarSeparatorColor1;
}

TColor TcxOffice11LookAndFeelPainter::HeaderHighlightEdgeColor() const {
  return dxOffice11BarSeparatorColor2;
}

TColor TcxOffice11LookAndFeelPainter::DefaultHeaderColor() const {
  return HeaderTopColor();
}

TColor TcxOffice11LookAndFeelPainter::DefaultHeaderBackgroundColor() const {
  return DefaultGroupByBoxColor();
}

TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorHeaderColor() const {
  return dxOffice11DockColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultFooterColor() const {
  return dxOffice11DockColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultTimeGridMinorScaleColor() const {
  return dxOffice11DockColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorSelectionColor()
    const {
  return dxOffice11DayNavigatorSelectedColor;
}

TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorSelectionTextColor()
    const {
  return clWindowText;
}

TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxColor() const {
  return dxOffice11BarFloatingBorderColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxTextColor() const {
  return dxOffice11BarFloatingCaptionTextColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultFooterTextColor() const {
  return DefaultHeaderTextColor();
}

TColor TcxOffice11LookAndFeelPainter::DefaultGroupColor() const {
  return dxOffice11GroupColor;
}

TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxColor() const {
  return dxOffice11InPlaceSubItemColor;
}

TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxTextColor() const {
  return dxOffice11ToolbarsColor1;
}

TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerBorderColor() const {
  return dxOffice11OutlookBorderColor;
}

TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerControlColor() const {
  return dxOffice11OutlookControlColor;
}

TColor TcxOffice11LookAndFeelPainter::DefaultTabColor() const {
  return dxOffice11DockColor2;
}

TColor TcxOffice11LookAndFeelPainter::DefaultTabsBackgroundColor() const {
  return DefaultTabColor();
}

TColor TcxOffice11LookAndFeelPainter::DefaultTimeGridSelectionBarColor() const {
  return DefaultSchedulerControlColor();
}

TColor TcxOffice11LookAndFeelPainter::BorderHighlightColor() const {
  return dxOffice11SelectedBorderColor;
}

TColor TcxOffice11LookAndFeelPainter::ButtonColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot:
      return dxOffice11SelectedColor1;
    case cxbsPressed:
      return dxOffice11SelectedDownColor1;
    case cxbsDisabled:
      return clBtnFace;
    default:
      return dxOffice11DockColor1;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(
    TcxButtonState AState, TColor /*ADefaultColor*/) const {
  if (AState == cxbsPressed && !IsXPStandardScheme()) return clHighlightText;
  return AState == cxbsDisabled ? dxOffice11TextDisabledColor
                                : dxOffice11TextEnabledColor;
}

TColor TcxOffice11LookAndFeelPainter::CheckButtonColor(
    TcxButtonState AState) const {
  if (AState == cxbsDefault || AState == cxbsNormal) {
    return TcxCustomLookAndFeelPainter::CheckButtonColor(AState);
  }
  return ButtonColor(AState);
}

TColor TcxOffice11LookAndFeelPainter::FooterSeparatorColor() const {
  return HeaderDarkEdgeColor();
}

TColor TcxOffice11LookAndFeelPainter::TabBorderHighlightColor(
    bool /*AVertical*/) const {
  return HeaderDarkEdgeColor();
}

TColor TcxOffice11LookAndFeelPainter::FilterDropDownButtonBorderColor(
    TcxButtonState AState) const {
  return AState == cxbsNormal ? HeaderDarkEdgeColor()
                              : dxOffice11SelectedBorderColor;
}

Integer TcxOffice11LookAndFeelPainter::ExpandButtonSize() const { return 11; }

Integer TcxOffice11LookAndFeelPainter::SmallExpandButtonSize() const {
  return ExpandButtonSize();
}

bool TcxOffice11LookAndFeelPainter::DrawExpandButtonFirst() const {
  return false;
}

TcxBorders TcxOffice11LookAndFeelPainter::HeaderBorders(
    TcxNeighbors /*ANeighbors*/) const {
  return cxBordersAll;
}

Integer TcxOffice11LookAndFeelPainter::HeaderBorderSize() const { return 1; }

bool TcxOffice11LookAndFeelPainter::IsHeaderHotTrack() const { return true; }

void TcxOffice11LookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas,
                                               TRect R) const {
  ACanvas->FrameRect(R, dxOffice11ControlBorderColor);
}

void TcxOffice11LookAndFeelPainter::DrawButtonBorder(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault:
      TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(ACanvas, R, AState);
      break;
    case cxbsNormal:
      ACanvas->FrameRect(R, clBtnText);
      break;
    case cxbsDisabled:
      ACanvas->FrameRect(R, dxOffice11TextDisabledColor);
      break;
    default:
      ACanvas->FrameRect(R, dxOffice11SelectedBorderColor);
      break;
  }
}

void TcxOffice11LookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas,
                                                     const TRect& R,
                                                     bool AExpanded,
                                                     TColor /*AColor*/) const {
  TBitmap* bitmap =
      AExpanded ? dxOffice11ExpandButtonBitmap1 : dxOffice11ExpandButtonBitmap2;
  // Not held, or no picture was found in the resources.
  if (bitmap == nullptr || bitmap->Empty()) return;
  // The rounded corners take on the colour behind them.
  TCanvas* canvas = ACanvas->Canvas();
  const TColor topLeft = GetMiddleRGB(dxOffice11ExpandButtonColor1,
                                      canvas->Pixels(R.Left, R.Top), 25);
  const TColor bottomRight =
      GetMiddleRGB(dxOffice11ExpandButtonColor2,
                   canvas->Pixels(R.Right - 1, R.Bottom - 1), 25);
  TCanvas* glyph = bitmap->Canvas();
  glyph->SetPixels(0, 0, topLeft);
  glyph->SetPixels(10, 10, bottomRight);
  glyph->SetPixels(0, 10, bottomRight);
  glyph->SetPixels(10, 0, bottomRight);
  ACanvas->Draw(R.Left, R.Top, bitmap);
}

void TcxOffice11LookAndFeelPainter::DrawSmallExpandButton(
    TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor /*ABorderColor*/,
    TColor AColor) const {
  DrawExpandButton(ACanvas, R, AExpanded, AColor);
}

void TcxOffice11LookAndFeelPainter::DrawContent(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    Integer AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
    TColor ATextColor, TColor /*ABkColor*/,
    TcxDrawBackgroundEvent AOnDrawBackground, bool AIsFooter) const {
  const bool hot = AState == Integer(cxbsHot);
  const HDC dc = ACanvas->Handle();
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, ABounds))) {
    const TColor c1 = hot ? dxOffice11ToolbarsColor1 : HeaderTopColor();
    const TColor c2 = hot ? dxOffice11ToolbarsColor1 : HeaderBottomColor();
    if (AIsFooter) {
      FillRectByColor(dc, ABounds, c1);
    } else {
      TRect r = ABounds;
      r.Bottom -= 3;
      FillRectByColor(dc, r, c1);
      r = ABounds;
      r.Top = r.Bottom - 4;
      FillGradientRect(dc, r, c1, c2, false);
    }
  }
  if (!AText.empty()) {
    ACanvas->Brush()->SetStyle(bsClear);
    if (AFont != nullptr) ACanvas->SetFont(AFont);
    ACanvas->Font()->SetColor(ATextColor);
    Integer flags = cxAlignmentsHorz[AAlignmentHorz] |
                    cxAlignmentsVert[AAlignmentVert] |
                    (AMultiLine ? cxtfWordBreak : cxtfSingleLine);
    if (AShowEndEllipsis) flags |= cxtfEndEllipsis;
    ACanvas->DrawTexT(AText, ATextAreaBounds, flags);
    ACanvas->Brush()->SetStyle(bsSolid);
  }
  if (hot) {
    FillGradientRect(dc,
                     TRect{ABounds.Left - 1, ABounds.Bottom - 2, ABounds.Right,
                           ABounds.Bottom + 1},
                     dxOffice11SelectedColor1, dxOffice11SelectedColor2, false);
  }
}

void TcxOffice11LookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor, TcxDrawBackgroundEvent /*AOnDrawBackground*/, bool AIsLast,
    bool /*AIsGroup*/) const {
  TcxUltraFlatLookAndFeelPainter::DrawHeader(
      ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
      AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText,
      AFont, ATextColor, ABkColor, nullptr, AIsLast, false);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
             AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
             AText, AFont, ATextColor, ABkColor, nullptr, false, false);
  if (AState == cxbsPressed) DrawHeaderPressed(ACanvas, ABounds);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderBorder(
    TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
    TcxBorders ABorders) const {
  const TColor top = HeaderTopColor();
  const TColor bottom = HeaderBottomColor();
  const TColor dark = HeaderDarkEdgeColor();
  const TColor light = HeaderHighlightEdgeColor();
  if (ABorders.Contains(bTop)) {
    ACanvas->FillRect(TRect{R.Left, R.Top, R.Right, R.Top + 1}, top);
  }
  if (ABorders.Contains(bBottom)) {
    ACanvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, dark);
  }
  if (ABorders.Contains(bLeft)) {
    ACanvas->SetPixel(R.Left, R.Top + 1, top);
    if (ANeighbors.Contains(nLeft)) {
      ACanvas->SetPixel(R.Left, R.Top + 2, top);
      ACanvas->SetPixel(R.Left, R.Bottom - 3, GetMiddleRGB(top, bottom, 25));
      ACanvas->SetPixel(R.Left, R.Bottom - 2, bottom);
      FillColumn(ACanvas, R.Left, R.Top + 2, R.Bottom - 3, light);
    } else {
      ACanvas->SetPixel(R.Left, R.Bottom - 2, bottom);
      FillColumn(ACanvas, R.Left, R.Top + 1, R.Bottom - 2, light);
    }
  }
  if (ABorders.Contains(bRight)) {
    const Integer x = R.Right - 1;
    if (ANeighbors.Contains(nRight)) {
      ACanvas->SetPixel(x, R.Top + 1, top);
      ACanvas->SetPixel(x, R.Top + 2, top);
      ACanvas->SetPixel(x, R.Bottom - 3, GetMiddleRGB(top, bottom, 25));
      ACanvas->SetPixel(x, R.Bottom - 2, bottom);
      FillColumn(ACanvas, x, R.Top + 2, R.Bottom - 3, dark);
    } else {
      ACanvas->SetPixel(x, R.Top, GetMiddleRGB(top, dark, 50));
      ACanvas->SetPixel(x, R.Bottom - 2, GetMiddleRGB(bottom, dark, 50));
      FillColumn(ACanvas, x, R.Top + 1, R.Bottom - 2, dark);
    }
  }
}

void TcxOffice11LookAndFeelPainter::DrawSortingMark(
    TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, HeaderDarkEdgeColor(),
                   HeaderHighlightEdgeColor(), AAscendingSorting);
}

void TcxOffice11LookAndFeelPainter::DrawScrollBarPart(
    TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
    TcxButtonState AState) const {
  if (AreVisualStylesAvailable(totScrollBar)) {
    cxPainterInstance<TcxWinXPLookAndFeelPainter>()->DrawScrollBarPart(
        ACanvas, AHorizontal, R, APart, AState);
  } else {
    cxPainterInstance<TcxStandardLookAndFeelPainter>()->DrawScrollBarPart(
        ACanvas, AHorizontal, R, APart, AState);
  }
}

void TcxOffice11LookAndFeelPainter::DrawSizeGrip(
    TcxCanvas* ACanvas, const TRect& ARect, TColor ABackgroundColor) const {
  ACanvas->FillRect(ARect, ABackgroundColor);
  Office11DrawSizeGrip(ACanvas->Handle(), ARect, clDefault, clDefault);
}

void TcxOffice11LookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
    TcxNeighbors /*ANeighbors*/, const TcxViewParams& AViewParams,
    TcxHeaderArrows AArrows, Integer ASideWidth,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  const TRect inner = Shrunk(ABounds);
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, inner))) {
    ACanvas->FillRect(inner, AViewParams, TcxBorders{}, clNone);
  }
  if (!AText.empty()) {
    ACanvas->Brush()->SetStyle(bsClear);
    if (AViewParams.Font != nullptr) ACanvas->SetFont(AViewParams.Font);
    ACanvas->Font()->SetColor(AViewParams.TextColor);
    ACanvas->DrawTexT(AText, inner,
                      cxtfAlignHCenter | cxtfAlignVCenter | cxtfSingleLine);
    ACanvas->Brush()->SetStyle(bsSolid);
  }
  DrawMonthHeaderArrows(ACanvas, ABounds, AArrows, ASideWidth, clWindowText);
}

void TcxOffice11LookAndFeelPainter::DrawFilterDropDownButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
    bool AIsFilterActive) const {
  // The ultra-flat drawing; the colours come from this painter.
  TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(ACanvas, R, AState,
                                                           AIsFilterActive);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerNavigatorButton(
    TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  cxPainterInstance<TcxWinXPLookAndFeelPainter>()->DrawSchedulerNavigatorButton(
      ACanvas, R, AState);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* ACanvas,
                                                        const TRect& R) const {
  ACanvas->FrameRect(R, DefaultSchedulerBorderColor());
}

TColor TcxOffice11LookAndFeelPainter::TabBorderDarkColor(bool AVertical) const {
  return TcxUltraFlatLookAndFeelPainter::TabBorderDarkColor(AVertical);
}
