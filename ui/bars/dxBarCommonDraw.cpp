// The bar unit's drawing helpers, window placement and menu sounds, shared
// by the painters and the menus.
#include <mmsystem.h>
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "dxBar.h"

TdxBarPlaySoundProc dxBarPlaySoundProc = ::PlaySoundA;

void dxSetZOrder(HWND AWnd, HWND AInsertAfter, bool AActivate, UINT AFlags) {
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | AFlags;
  if (!AActivate) flags |= SWP_NOACTIVATE;
  ::SetWindowPos(AWnd, AInsertAfter, 0, 0, 0, 0, flags);
}

void dxBarPlayMenuSound(TdxBarMenuSound AKind) {
  if (!dxBarPlaySound || !dxBarPlaySoundProc) return;
  const char* alias = nullptr;  // stops whatever plays
  if (AKind == msMenuPopup) alias = "MenuPopup";
  if (AKind == msMenuCommand) alias = "MenuCommand";
  dxBarPlaySoundProc(alias, nullptr,
                     SND_ALIAS | SND_NOWAIT | SND_NODEFAULT | SND_ASYNC);
}

void dxBarDeleteObject(HGDIOBJ& AObject) {
  if (AObject) ::DeleteObject(AObject);
  AObject = nullptr;
}

void dxBarPolygon(HDC DC, const POINT* APoints, Integer ALastIndex,
                  TColor AFillColor, TColor APenColor) {
  TPenHandle pen(::CreatePen(PS_SOLID, 1, ColorToRGB(APenColor)));
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(AFillColor)));
  TSelectObject selectPen(DC, pen.get());
  TSelectObject selectBrush(DC, brush.get());
  ::Polygon(DC, APoints, ALastIndex + 1);
}

void SaveClipRgn(HDC DC, HRGN& ARegion, bool& AHadRegion) {
  ARegion = ::CreateRectRgn(0, 0, 0, 0);
  AHadRegion = ::GetClipRgn(DC, ARegion) == 1;
}

void RestoreClipRgn(HDC DC, HRGN& ARegion, bool AHadRegion) {
  ::SelectClipRgn(DC, AHadRegion ? ARegion : nullptr);
  if (ARegion) ::DeleteObject(ARegion);
  ARegion = nullptr;
}

void dxBarFrameRect(HDC DC, const TRect& R, Integer AColorIndex) {
  HBRUSH brush = ::GetSysColorBrush(AColorIndex);
  RECT outer{R.Left, R.Top, R.Right, R.Bottom};
  ::FrameRect(DC, &outer, brush);
  RECT inner{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  ::FrameRect(DC, &inner, brush);
}

void dxBarFocusRect(HDC DC, const TRect& R) {
  const COLORREF color = ::GetSysColor(COLOR_BTNTEXT);
  auto inRings = [&](Integer x, Integer y) {
    return x < R.Left + 2 || x >= R.Right - 2 || y < R.Top + 2 ||
           y >= R.Bottom - 2;
  };
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if ((x + y) % 2 == 0 && inRings(x, y)) ::SetPixel(DC, x, y, color);
}

void FrameFlatSelRect(HDC DC, const TRect& R) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::FrameRect(DC, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
}

namespace {

// The first tile edge at or before APos of a grid anchored at AOrigin.
Integer TileStart(Integer APos, Integer AOrigin, Integer ASize) {
  Integer offset = (APos - AOrigin) % ASize;
  if (offset < 0) offset += ASize;
  return APos - offset;
}

bool IsWhiteHighContrast() {
  HIGHCONTRASTA info{};
  info.cbSize = sizeof info;
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof info, &info, 0) &&
         (info.dwFlags & HCF_HIGHCONTRASTON) != 0 &&
         ::GetSysColor(COLOR_WINDOW) == RGB(255, 255, 255);
}

}  // namespace

void FillRectByBitmap(HDC DC, const TRect& R, const TRect& AOriginRect,
                      TBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty() || AOriginRect.Width() <= 0 ||
      AOriginRect.Height() <= 0 || R.Width() <= 0 || R.Height() <= 0)
    return;
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  TClipRegionSaver clip(DC);
  ::IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  HDC source = ABitmap->Canvas()->Handle();
  for (Integer y = TileStart(R.Top, AOriginRect.Top, h); y < R.Bottom; y += h)
    for (Integer x = TileStart(R.Left, AOriginRect.Left, w); x < R.Right;
         x += w)
      ::BitBlt(DC, x, y, w, h, source, 0, 0, SRCCOPY);
}

void DrawLargeItemArrow(HDC DC, const TRect& R, bool ADown, TColor AColor,
                        bool AFlat, bool AEnabled, bool ASelected,
                        Integer ASize) {
  if (AColor == clDefault) {
    if (!AEnabled)
      AColor = clBtnShadow;
    else if (!ASelected)
      AColor = clBtnText;
    else
      AColor = IsWhiteHighContrast() ? clBtnFace : clHighlightText;
  }
  const Integer base = 2 * ASize - 1;
  POINT p[3];
  if (ADown) {
    const Integer x = (R.Left + R.Right - base) / 2;
    const Integer y = (R.Top + R.Bottom - ASize) / 2;
    p[0] = {x, y};
    p[1] = {x + base - 1, y};
    p[2] = {x + ASize - 1, y + ASize - 1};
  } else {
    const Integer x = (R.Left + R.Right - ASize) / 2;
    const Integer y = (R.Top + R.Bottom - base) / 2;
    p[0] = {x, y};
    p[1] = {x, y + base - 1};
    p[2] = {x + ASize - 1, y + ASize - 1};
  }
  if (!AEnabled && !AFlat) {
    // The emboss: the arrow's lower-right edges again, one pixel further
    // out, under the arrow itself.
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    TPenHandle pen(::CreatePen(PS_SOLID, 1, highlight));
    TSelectObject selectPen(DC, pen.get());
    const POINT& corner = p[1];
    const POINT& apex = p[2];
    const Integer dx = ADown ? 1 : 0;
    const Integer dy = ADown ? 0 : 1;
    // LineTo stops short of its end point: aim one step past the apex.
    const Integer sx = ADown ? -1 : 1;
    const Integer sy = -sx;
    ::MoveToEx(DC, corner.x + 1, corner.y + 1, nullptr);
    ::LineTo(DC, apex.x + 1 + sx, apex.y + 1 + sy);
    ::MoveToEx(DC, corner.x + dx, corner.y + dy, nullptr);
    ::LineTo(DC, apex.x + dx + sx, apex.y + dy + sy);
  }
  dxBarPolygon(DC, p, 2, AColor, AColor);
}

void DrawItemArrow(HDC DC, const TRect& R, TcxArrowDirection ADirection,
                   bool AEnabled, bool ASelected, bool AFlat, TColor AColor) {
  const bool down = ADirection == adDown;
  const Integer length = down ? R.Width() - 8 : R.Height() - 6;
  Integer size = (length - 1) / 2;
  if (length % 2 != 0) ++size;
  size = std::max<Integer>(size, 3);
  DrawLargeItemArrow(DC, R, down, AColor, AFlat, AEnabled, ASelected, size);
}

void SetLayeredWndAttributes(HWND AWnd, Integer AAlpha) {
  if (!SetLayeredWindowAttributesProc) return;
  const LONG style = ::GetWindowLongA(AWnd, GWL_EXSTYLE);
  if (AAlpha < 255) {
    if ((style & WS_EX_LAYERED) == 0)
      ::SetWindowLongA(AWnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributesProc(AWnd, 0, static_cast<BYTE>(AAlpha),
                                   LWA_ALPHA);
  } else if ((style & WS_EX_LAYERED) != 0) {
    ::SetWindowLongA(AWnd, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    ::RedrawWindow(AWnd, nullptr, nullptr,
                   RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}
