// The drawing and metrics a bar window falls back on while it has no
// painter.
#include <algorithm>

#include "dxBar.h"

namespace dxBarStandardPaint {

Integer FloatingCaptionHeight() { return ::GetSystemMetrics(SM_CYSMCAPTION); }

TRect ToolbarContentOffsets(TdxBarDockingStyle AStyle, bool AHasBorder) {
  if (AStyle == dsNone) {
    return {FloatingBorder, FloatingBorder + FloatingCaptionHeight(),
            FloatingBorder, FloatingBorder};
  }
  if (!AHasBorder) return {};
  const bool vertical = AStyle == dsLeft || AStyle == dsRight;
  return {BorderSize + (vertical ? 0 : GripSize),
          BorderSize + (vertical ? GripSize : 0), BorderSize, BorderSize};
}

TSize ButtonSize(Integer AGlyphSize, Integer ATextSize,
                 const TdxBarPainter* APainter) {
  if (APainter) {
    const TSize size = APainter->GetButtonSize(AGlyphSize);
    return {size.cx, std::max(size.cy, ATextSize)};
  }
  return {AGlyphSize + 7, std::max(AGlyphSize + 6, ATextSize)};
}

TColor ToolbarColor() { return clBtnFace; }

void FillBackground(HDC DC, const TRect& R, TColor AColor) {
  if (IsRectEmpty(R)) return;
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(AColor)));
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, brush.get());
}

void DrawDockedFrame(HDC DC, const TRect& AWindowRect,
                     const TRect& AClientBounds, bool AVertical) {
  FillBackground(DC, AWindowRect, ToolbarColor());
  RECT outer = dxRECT(AWindowRect);
  ::DrawEdge(DC, &outer, BDR_RAISEDINNER, BF_RECT);
  // The grip: two raised lines across the bar before the client area.
  RECT grip{};
  if (AVertical) {
    grip = {AWindowRect.Left + BorderSize + 1, AClientBounds.Top - GripSize + 1,
            AWindowRect.Right - BorderSize - 1,
            AClientBounds.Top - GripSize + 4};
  } else {
    grip = {AClientBounds.Left - GripSize + 1, AWindowRect.Top + BorderSize + 1,
            AClientBounds.Left - GripSize + 4,
            AWindowRect.Bottom - BorderSize - 1};
  }
  ::DrawEdge(DC, &grip, BDR_RAISEDINNER, BF_RECT);
}

void DrawFloatingFrame(HDC DC, const TRect& AWindowRect,
                       const TRect& AClientBounds, const String& ACaption) {
  FillBackground(DC, AWindowRect, ToolbarColor());
  RECT outer = dxRECT(AWindowRect);
  ::DrawEdge(DC, &outer, EDGE_RAISED, BF_RECT);
  const TRect caption =
      Rect(AClientBounds.Left, AWindowRect.Top + FloatingBorder,
           AClientBounds.Right, AClientBounds.Top);
  FillBackground(DC, caption, clActiveCaption);
  RECT text = dxRECT(caption);
  text.left += 2;
  ::SetBkMode(DC, TRANSPARENT);
  ::SetTextColor(DC, ColorToRGB(clCaptionText));
  ::DrawTextA(DC, ACaption.c_str(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void DrawSeparator(HDC DC, const TRect& R, bool AHorizontal) {
  RECT line = dxRECT(R);
  if (AHorizontal) {
    line.top = R.Top + R.Height() / 2 - 1;
    line.bottom = line.top + 2;
    ::DrawEdge(DC, &line, EDGE_ETCHED, BF_TOP);
  } else {
    line.left = R.Left + R.Width() / 2 - 1;
    line.right = line.left + 2;
    ::DrawEdge(DC, &line, EDGE_ETCHED, BF_LEFT);
  }
}

void DrawMark(HDC DC, const TRect& R, bool AVertical, TdxBarMarkState AState) {
  FillBackground(DC, R, ToolbarColor());
  if (AState != msNone) {
    RECT r = dxRECT(R);
    ::DrawEdge(DC, &r, AState == msPressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT);
  }
  // A small arrow pointing along the bar's end.
  const Integer cx = R.Left + R.Width() / 2;
  const Integer cy = R.Top + R.Height() / 2;
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(clBtnText)));
  for (Integer i = 0; i < 3; ++i) {
    RECT dot = AVertical ? RECT{cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i}
                         : RECT{cx - 1 + i, cy - 2 + i, cx + i, cy + 3 - i};
    ::FillRect(DC, &dot, brush.get());
  }
}

}  // namespace dxBarStandardPaint
