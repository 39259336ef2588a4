// The standard painter (raised and sunken edges in system colours, a double
// grip, embossed marks) and the enhanced painter over it (a single grip bar,
// a framed mark with the customize triangle, plain chevrons).
#include <windows.h>

#include "Handles.h"
#include "dxBar.h"
#include "dxOffice11.h"

namespace {

void Edge(HDC DC, const TRect& R, UINT AEdge) {
  RECT r = dxRECT(R);
  ::DrawEdge(DC, &r, AEdge, BF_RECT);
}

TRect Deflated(const TRect& R, Integer D) {
  return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D);
}

void Polyline(HDC DC, COLORREF AColor, std::initializer_list<POINT> APoints) {
  TPenHandle pen(::CreatePen(PS_SOLID, 1, AColor));
  TSelectObject select(DC, pen.get());
  ::Polyline(DC, APoints.begin(), static_cast<int>(APoints.size()));
}

bool ItemEnabled(TdxBarItemControl* AControl) {
  return !AControl || AControl->GetEnabled();
}

TCustomdxBarControl* BarOf(TdxBarItemControl* AControl) {
  return AControl ? AControl->Parent() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Standard painter
// ---------------------------------------------------------------------------

void TdxBarStandardPainter::DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC,
                                            HBRUSH ABrush, bool AFits,
                                            const TRect& R,
                                            TdxBarPaintType APaintType,
                                            const TdxBarGlyphFlags& AFlags) {
  const bool menuWithoutIcon = APaintType == ptMenu && AFlags.NoIcon;
  if (AFlags.Down || (AFlags.Selected && !menuWithoutIcon)) {
    const bool sunken = AFlags.Down || AFlags.Pressed ||
                        (AFlags.DroppedDown && !AFlags.SplitPart);
    Edge(DC, R, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
  } else if (AFits) {
    DrawBackgroundFrameRect(AControl, DC, R, ABrush,
                            AFlags.Selected || AFlags.Down || AFlags.Pressed);
  }
}

void TdxBarStandardPainter::DrawGlyphCheckMark(TdxBarItemControl* AControl,
                                               HDC DC, Integer ALeft,
                                               Integer ATop, Integer AScale) {
  const Integer s = AScale;
  Integer k = 0;
  auto row = [&](COLORREF AColor) {
    Polyline(DC, AColor,
             {{ALeft + s, ATop + k + 2 * s},
              {ALeft + 3 * s, ATop + k + 4 * s},
              {ALeft + 8 * s, ATop + k - s}});
    ++k;
  };
  if (ItemEnabled(AControl)) {
    COLORREF dark = RGB(0, 0, 0);
    COLORREF light = RGB(255, 255, 255);
    if (::GetSysColor(COLOR_BTNFACE) == RGB(0, 0, 0)) std::swap(dark, light);
    for (Integer i = 0; i < s; ++i) row(RGB(192, 192, 192));
    for (Integer i = 0; i < 2 * s; ++i) row(dark);
    for (Integer i = 0; i < s; ++i) row(light);
    Polyline(
        DC, light,
        {{ALeft + s - 1, ATop + 2 * s + 1}, {ALeft + s - 1, ATop + 6 * s - 1}});
    Polyline(DC, light,
             {{ALeft + 8 * s, ATop - s + 2}, {ALeft + 8 * s, ATop + 3 * s}});
    return;
  }
  k = 1;
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  for (Integer i = 0; i < 2 * s; ++i) row(shadow);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  for (Integer i = 0; i < s; ++i) {
    Polyline(DC, highlight,
             {{ALeft + 3 * s + 1, ATop + 7 * s - 1 - i},
              {ALeft + 9 * s, ATop + s - i}});
    Polyline(
        DC, highlight,
        {{ALeft + 4 * s, ATop + 7 * s - i}, {ALeft + 9 * s, ATop + 2 * s - i}});
  }
}

void TdxBarStandardPainter::BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC,
                                             const TRect&, Integer AOffset) {
  const Integer p = AOffset;
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (!ABarControl || ABarControl->GetHorizontal()) {
    Polyline(DC, highlight, {{p - 1, 1}, {p + 2, 4}});
    Polyline(DC, highlight, {{p + 3, 4}, {p - 1, 8}});
    Polyline(DC, shadow, {{p, 1}, {p + 2, 3}, {p + 2, 4}, {p - 1, 7}});
  } else {
    const Integer s = ABarControl->ClientWidth() - 8;
    Polyline(DC, shadow, {{s, p}, {s + 4, p + 4}});
    Polyline(DC, shadow, {{s + 4, p + 1}, {s + 6, p - 1}});
    Polyline(DC, highlight,
             {{s + 1, p}, {s + 3, p + 2}, {s + 4, p + 2}, {s + 7, p - 1}});
  }
}

void TdxBarStandardPainter::BarDrawMarkBackground(TdxBarControl* ABarControl,
                                                  HDC DC, const TRect& R,
                                                  HBRUSH ABrush) {
  dxBarFillControlBackground(ABarControl, DC, R, ABrush);
}

void TdxBarStandardPainter::DrawDisabledShadowRect(TdxBarItemControl* AControl,
                                                   HDC DC, const TRect& R) {
  RECT moved = dxRECT(Rect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1));
  ::FillRect(DC, &moved, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  TdxBarPainter::DrawDisabledShadowRect(AControl, DC, R);
}

void TdxBarStandardPainter::FrameAndFillRect(TdxBarItemControl* AControl,
                                             HDC DC, TRect& R, bool,
                                             bool ASelected, bool APressed) {
  HBRUSH brush = dxBarItemBkBrush(AControl);
  if (ASelected) {
    Edge(DC, R, APressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
  } else {
    RECT r = dxRECT(R);
    ::FrameRect(DC, &r, brush);
  }
  R = Deflated(R, 1);
  RECT inner = dxRECT(R);
  ::FillRect(DC, &inner, brush);
}

HBRUSH TdxBarStandardPainter::GlyphBkgndBrush(TdxBarItemControl* AControl,
                                              TdxBarPaintType APaintType,
                                              const TdxBarGlyphFlags& AFlags) {
  TCustomdxBarControl* bar = BarOf(AControl);
  if (AFlags.Down && ItemEnabled(AControl))
    return AFlags.Selected ? BarToolbarDownedSelBrush(bar)
                           : BarToolbarDownedBrush(bar);
  if (AFlags.Selected && APaintType == ptMenu && AFlags.NoIcon)
    return BarToolbarSelBrush(bar);
  return dxBarItemBkBrush(AControl);
}

void TdxBarStandardPainter::BarDrawCloseButton(TdxBarControl* ABarControl,
                                               HDC DC, const TRect& R) {
  FrameRectByColor(DC, R, BarCaptionBkColor(true));
  RECT inner = dxRECT(Deflated(R, 1));
  const bool pressed =
      ABarControl && ABarControl->CloseButtonState() == msPressed;
  ::DrawFrameControl(DC, &inner, DFC_CAPTION,
                     DFCS_CAPTIONCLOSE | (pressed ? DFCS_PUSHED : 0u));
}

void TdxBarStandardPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl,
                                                   HDC DC, TRect R, HBRUSH) {
  Edge(DC, R, BDR_RAISEDINNER);
  R = Deflated(R, 2);
  if (!ABarControl || !ABarControl->CanMoving()) return;
  const Integer g = GripperSize();
  const Integer b = BeforeFingersSize();
  const bool horizontal = ABarControl->GetHorizontal();
  TRect finger = horizontal ? Rect(R.Left + b, R.Top, R.Left + b + g, R.Bottom)
                            : Rect(R.Left, R.Top + b, R.Right, R.Top + b + g);
  for (int i = 0; i < 2; ++i) {
    Edge(DC, finger, BDR_RAISEDINNER);
    if (horizontal)
      ::SetPixel(DC, finger.Left, finger.Bottom - 1,
                 ::GetSysColor(COLOR_BTNHIGHLIGHT));
    else
      ::SetPixel(DC, finger.Right - 1, finger.Top,
                 ::GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT inside = dxRECT(Deflated(finger, 1));
    ::FillRect(DC, &inside, ::GetSysColorBrush(COLOR_BTNFACE));
    ::ExcludeClipRect(DC, finger.Left, finger.Top, finger.Right, finger.Bottom);
    finger = horizontal ? Rect(finger.Left + g, finger.Top, finger.Right + g,
                               finger.Bottom)
                        : Rect(finger.Left, finger.Top + g, finger.Right,
                               finger.Bottom + g);
  }
}

void TdxBarStandardPainter::BarDrawFloatingBarBorder(TdxBarControl*, HDC DC,
                                                     TRect R, const TRect&,
                                                     HBRUSH) {
  Edge(DC, R, EDGE_RAISED);
  for (Integer d : {2, 1}) {
    R = Deflated(R, d);
    RECT r = dxRECT(R);
    ::FrameRect(DC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TdxBarStandardPainter::BarDrawMDIButton(TdxBarControl* ABarControl,
                                             TdxBarMDIButton AButton,
                                             Integer AState, HDC DC,
                                             const TRect& R) {
  TdxBarManager* manager = ABarControl ? ABarControl->BarManager() : nullptr;
  const bool flat =
      AButton == mdibClose && manager && manager->FlatCloseButton &&
      ABarControl->MDIButtonsOnBar() && !ABarControl->RealMDIButtonsOnBar();
  static constexpr UINT kinds[] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE,
                                   DFCS_CAPTIONCLOSE};
  UINT flags = kinds[AButton];
  if (AState == 1) flags |= DFCS_INACTIVE;
  if (AState == 4) flags |= DFCS_PUSHED;
  RECT r = dxRECT(R);
  if (!flat) {
    ::DrawFrameControl(DC, &r, DFC_CAPTION, flags);
    return;
  }
  {
    TClipRegionSaver clip(DC);
    ::IntersectClipRect(DC, R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    ::DrawFrameControl(DC, &r, DFC_CAPTION, flags | DFCS_FLAT);
  }
  Edge(DC, R, AState == 4 ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
}

TRect TdxBarStandardPainter::BarMarkItemRect(TdxBarControl* ABarControl) {
  if (!ABarControl || ABarControl->DockingStyle() != dsNone)
    return TdxBarPainter::BarMarkItemRect(ABarControl);
  const TRect caption = GetToolbarCaptionRect(
      Rect(0, 0, ABarControl->Width(), ABarControl->Height()));
  return Rect(caption.Left, caption.Top, caption.Left + 13, caption.Bottom);
}

void TdxBarStandardPainter::DrawButtonControlArrowBackground(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect& R, HBRUSH ABrush) {
  TdxBarPainter::DrawButtonControlArrowBackground(AParams, R, ABrush);
  if (!AParams.Canvas) return;
  HDC dc = AParams.Canvas->Handle();
  if (AParams.DrawSelected) {
    Edge(dc, R, AParams.DroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
  } else if (AParams.PaintType == ptMenu) {
    RECT line{R.Left - 1, R.Top, R.Left + 1, R.Bottom};
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT | BF_RIGHT);
  }
}

void TdxBarStandardPainter::DropDownListBoxDrawBorder(HDC DC, TColor,
                                                      const TRect& R) {
  Edge(DC, R, EDGE_RAISED);
}

// ---------------------------------------------------------------------------
// Enhanced painter
// ---------------------------------------------------------------------------

void TdxBarEnhancedPainter::BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC,
                                             const TRect& R, Integer AOffset) {
  TdxBarPainter::BarDrawMarkAtPos(ABarControl, DC, R, AOffset);
}

void TdxBarEnhancedPainter::BarDrawMarkBackground(TdxBarControl* ABarControl,
                                                  HDC DC, const TRect& R,
                                                  HBRUSH ABrush) {
  const TdxBarMarkState state = ABarControl ? ABarControl->MarkState() : msNone;
  if (state == msSelected) {
    Edge(DC, R, BDR_RAISEDINNER);
  } else if (state == msPressed) {
    Edge(DC, R, BDR_SUNKENOUTER);
  } else {
    RECT r = dxRECT(R);
    ::FrameRect(DC, &r, ABrush);
  }
  TdxBarStandardPainter::BarDrawMarkBackground(ABarControl, DC, Deflated(R, 1),
                                               ABrush);
}

void TdxBarEnhancedPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl,
                                                   HDC DC, TRect R, HBRUSH) {
  Edge(DC, R, BDR_RAISEDINNER);
  R = Deflated(R, 2);
  if (!ABarControl || !ABarControl->CanMoving()) return;
  const Integer b = BeforeFingersSize();
  const Integer g = GripperSize();
  const TRect grip =
      ABarControl->GetHorizontal()
          ? Rect(R.Left + b, R.Top + 1, R.Left + b + g, R.Bottom - 1)
          : Rect(R.Left + 1, R.Top + b, R.Right - 1, R.Top + b + g);
  Edge(DC, grip, BDR_RAISEDINNER);
  RECT inside = dxRECT(Deflated(grip, 1));
  ::FillRect(DC, &inside, ::GetSysColorBrush(COLOR_BTNFACE));
  ::ExcludeClipRect(DC, grip.Left, grip.Top, grip.Right, grip.Bottom);
}
