// Painting a control's parent behind it, for controls that look
// transparent.
#include "Controls.h"
#include "cxGraphics.h"
#include "dxUxTheme.h"

namespace {

void MoveWindowOrg(HDC ADC, Integer DX, Integer DY) {
  POINT p{};
  GetWindowOrgEx(ADC, &p);
  SetWindowOrgEx(ADC, p.x - DX, p.y - DY, nullptr);
}

bool ClipIsEmpty(HDC ADC) {
  RECT r;
  return GetClipBox(ADC, &r) == NULLREGION;
}

// Paints AControl (and, when asked, its windowed children that come before
// AServed) into the DC, whose origin and clip are already set up.
void PaintInto(TcxCanvas* ACanvas, TWinControl* AControl, TWinControl* AServed,
               bool APaintChildren) {
  HDC dc = ACanvas->Handle();
  AControl->SetControlState(AControl->ControlState() +
                            TControlState{csPaintCopy});
  TScopeGuard paintCopyEnds([AControl] {
    AControl->SetControlState(AControl->ControlState() -
                              TControlState{csPaintCopy});
  });
  if (AControl != AServed->Parent() && AControl->HandleAllocated()) {
    const LONG exStyle = GetWindowLongA(AControl->Handle(), GWL_EXSTYLE);
    const LONG style = GetWindowLongA(AControl->Handle(), GWL_STYLE);
    RECT r{0, 0, AControl->Width(), AControl->Height()};
    bool framed = false;
    if (exStyle & WS_EX_CLIENTEDGE) {
      DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      framed = true;
    } else if (style & WS_BORDER) {
      DrawEdge(dc, &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER,
               BF_RECT | BF_ADJUST | BF_MONO);
      framed = true;
    }
    if (framed) {
      IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
      MoveWindowOrg(dc, -r.left, -r.top);
    }
  }
  {
    TCanvasLock lock(ACanvas->Canvas());
    AControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    AControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (APaintChildren) {
    for (Integer i = 0; i < AControl->ControlCount(); ++i) {
      auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
      if (child == AServed) break;
      if (!child || !child->Visible()) continue;
      auto saved = ACanvas->SavedDCScope();
      MoveWindowOrg(dc, -child->Left(), -child->Top());
      IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
      if (!ClipIsEmpty(dc)) {
        PaintInto(ACanvas, child, AServed, APaintChildren);
      }
    }
  }
}

}  // namespace

void cxDrawTransparentControlBackground(TWinControl* AControl,
                                        TcxCanvas* ACanvas, const TRect& ARect,
                                        bool APaintChildren) {
  if (!AControl || !ACanvas || !AControl->Parent()) return;
  TRect r = ARect;
  OffsetRect(r, AControl->Left(), AControl->Top());
  auto saved = ACanvas->SavedDCScope();
  HDC dc = ACanvas->Handle();
  MoveWindowOrg(dc, -r.Left, -r.Top);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (!ClipIsEmpty(dc)) {
    PaintInto(ACanvas, AControl->Parent(), AControl, APaintChildren);
  }
}

void cxDrawTransparentControlBackground(TWinControl* AControl, TCanvas* ACanvas,
                                        const TRect& ARect,
                                        bool APaintChildren) {
  TcxCanvas canvas(ACanvas);
  cxDrawTransparentControlBackground(AControl, &canvas, ARect, APaintChildren);
}

void cxDrawThemeParentBackground(TWinControl* AControl, TcxCanvas* ACanvas,
                                 const TRect& ARect) {
  if (!AControl || !ACanvas) return;
  if ((AControl->Parent() && AControl->Parent()->DoubleBuffered()) ||
      !IsThemeLibraryLoaded()) {
    cxDrawTransparentControlBackground(AControl, ACanvas, ARect, false);
  } else {
    DrawThemeParentBackground(AControl->Handle(), ACanvas->Handle(),
                              reinterpret_cast<const RECT*>(&ARect));
  }
}

void cxDrawThemeParentBackground(TWinControl* AControl, TCanvas* ACanvas,
                                 const TRect& ARect) {
  TcxCanvas canvas(ACanvas);
  cxDrawThemeParentBackground(AControl, &canvas, ARect);
}
