// The bar unit's drawing helpers, window placement and menu sounds, shared
// by the painters and the menus.
#include <mmsystem.h>
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"

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

void DrawVerticalGradient(TcxCanvas* ACanvas, const TRect& R, Byte R1, Byte R2,
                          Byte G1, Byte G2, Byte B1, Byte B2) {
  if (!ACanvas) return;
  FillGradientRect(ACanvas->Handle(), R, static_cast<TColor>(RGB(R1, G1, B1)),
                   static_cast<TColor>(RGB(R2, G2, B2)), false);
}

void dxBarDrawDisablingHatch(HDC DC, const TRect& R) {
  cxDrawHatch(DC, R, clBlack, clBtnFace, 2, 170, 20);
}

void FillBackgroundArea(HDC DC, const TRect& R, const TRect& AOriginRect,
                        HBRUSH ABrush, TColor AColor, TBitmap* ABitmap) {
  if (ABitmap && !ABitmap->Empty()) {
    FillRectByBitmap(DC, R, AOriginRect, ABitmap);
    return;
  }
  RECT r = dxRECT(R);
  if (ABrush) {
    ::FillRect(DC, &r, ABrush);
    return;
  }
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(AColor)));
  ::FillRect(DC, &r, brush.get());
}

void BeforeDrawBackground(TControl* AControl, TControl* AParent, HDC DC,
                          TRect& R, TPoint& APrevOrigin) {
  POINT prev{};
  ::GetWindowOrgEx(DC, &prev);
  APrevOrigin = {prev.x, prev.y};
  if (!AControl || !AParent || AControl == AParent) return;
  const TPoint origin =
      AParent->ScreenToClient(AControl->ClientToScreen(TPoint{0, 0}));
  ::SetWindowOrgEx(DC, prev.x + origin.X, prev.y + origin.Y, nullptr);
  R = Rect(R.Left + origin.X, R.Top + origin.Y, R.Right + origin.X,
           R.Bottom + origin.Y);
}

void AfterDrawBackground(HDC DC, const TPoint& APrevOrigin) {
  ::SetWindowOrgEx(DC, APrevOrigin.X, APrevOrigin.Y, nullptr);
}

namespace {

// A memory DC over a screen-compatible bitmap of the given size.
class TMemoryCanvas {
 public:
  TMemoryCanvas(HDC ACompatible, Integer AWidth, Integer AHeight)
      : dc_(::CreateCompatibleDC(ACompatible)),
        bitmap_(::CreateCompatibleBitmap(ScreenDC(), std::max(AWidth, 1),
                                         std::max(AHeight, 1))),
        select_(dc_.get(), bitmap_.get()) {}
  HDC DC() const { return dc_.get(); }

 private:
  static HDC ScreenDC() {
    static const TWindowDC screen(nullptr);
    return screen.get();
  }
  TOwnedDC dc_;
  TBitmapHandle bitmap_;
  TSelectObject select_;
};

// Copies the pixels of ASource (at 0, 0) that are not button face onto DC
// at R's top-left, mirrored as asked; button-face pixels leave DC's own.
void CopyOverFace(HDC DC, const TRect& R, HDC ASource, bool AMirrorX,
                  bool AMirrorY) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const Integer w = R.Width();
  const Integer h = R.Height();
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const COLORREF c = ::GetPixel(ASource, x, y);
      if (c == face || c == CLR_INVALID) continue;
      ::SetPixel(DC, R.Left + (AMirrorX ? w - 1 - x : x),
                 R.Top + (AMirrorY ? h - 1 - y : y), c);
    }
}

// The system size grip drawn into a bitmap of R's size and laid over DC,
// its lines pointing to the bottom-right or, mirrored, to another corner.
void LaySizeGrip(HDC DC, const TRect& R, bool AMirrorX, bool AMirrorY) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TMemoryCanvas grip(DC, R.Width(), R.Height());
  RECT r{0, 0, R.Width(), R.Height()};
  ::FillRect(grip.DC(), &r, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawFrameControl(grip.DC(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  CopyOverFace(DC, R, grip.DC(), AMirrorX, AMirrorY);
}

bool IsRightCorner(TdxCorner ACorner) {
  return ACorner == coTopRight || ACorner == coBottomRight;
}
bool IsBottomCorner(TdxCorner ACorner) {
  return ACorner == coBottomLeft || ACorner == coBottomRight;
}

}  // namespace

void BarDrawSizeGrip(HDC DC, const TRect& R) {
  LaySizeGrip(DC, R, false, false);
}

TcxImageDrawMode dxBarImageDrawMode(const TdxBarImageDrawState& AState,
                                    Integer AScreenColorDepth) {
  if (!AState.Enabled) return AState.Faded ? idmFaded : idmDisabled;
  if (AState.GrayScale) return idmGrayScale;
  if (!AState.Flat) return idmNormal;
  if (!AState.Selected && !AState.Down && dxBarMakeInactiveImagesDingy &&
      AScreenColorDepth > 8)
    return idmDingy;
  if (AState.Shadow && AState.Selected && !AState.Down) return idmShadowed;
  return idmNormal;
}

void TransparentDraw(HDC DC, HBRUSH ABrush, const TRect& ABackgroundRect,
                     const TRect& AGlyphRect, TBitmap* AGlyph,
                     TCustomImageList* AImages, Integer AImageIndex,
                     TColor AImageListBkColor,
                     const TdxBarImageDrawState& AState) {
  const bool glyph = AGlyph && !AGlyph->Empty();
  cxDrawImage(DC, AGlyphRect, ABackgroundRect, glyph ? AGlyph : nullptr,
              glyph ? nullptr : AImages, AImageIndex,
              dxBarImageDrawMode(AState, dxBarScreenColorDepth()),
              AState.Smooth, ABrush, glyph ? clNone : AImageListBkColor,
              AState.LeftBottomPixelTransparent);
}

void TransparentDraw(HDC DC, const TRect& R, TBitmap* ABitmap, bool AEnabled) {
  if (!ABitmap || ABitmap->Empty()) return;
  cxDrawImage(DC, R, R, ABitmap, nullptr, -1,
              AEnabled ? idmNormal : idmDisabled);
}

namespace {

constexpr int kThemeFillColor = 3802;
constexpr int kThemeTextColor = 3803;
constexpr int kEditPartText = 1;
constexpr int kWindowPartSmallClose = 19;
constexpr int kScrollPartSizeBox = 10;

bool ThemeColor(HTHEME ATheme, int APart, int AState, int AProp,
                TColor& AColor) {
  COLORREF c = 0;
  if (!ATheme || FAILED(GetThemeColor(ATheme, APart, AState, AProp, &c)))
    return false;
  AColor = static_cast<TColor>(c);
  return true;
}

}  // namespace

TColor ThemedEditBkColor(HTHEME ATheme, Integer AState) {
  TColor color = static_cast<TColor>(::GetSysColor(COLOR_WINDOW));
  if (AState == dxBarThemedEditDisabled)
    ThemeColor(ATheme, kEditPartText, AState, kThemeFillColor, color);
  return color;
}

TColor ThemedEditTextColor(HTHEME ATheme, Integer AState) {
  TColor color = clNone;
  if (ThemeColor(ATheme, kEditPartText, AState, kThemeTextColor, color))
    return color;
  return static_cast<TColor>(::GetSysColor(
      AState == dxBarThemedEditDisabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
}

TColor ThemedToolbarColor(HTHEME ATheme) {
  TColor color = clNone;
  if (ThemeColor(ATheme, 0, 0, kThemeFillColor, color)) return color;
  return static_cast<TColor>(::GetSysColor(COLOR_BTNFACE));
}

HFONT CloneFont(HFONT AFont) {
  LOGFONTA data{};
  if (!AFont || ::GetObjectA(AFont, sizeof data, &data) == 0) return nullptr;
  return ::CreateFontIndirectA(&data);
}

Integer dxBarMessageBox(const String& AText, UINT AFlags) {
  return Application->MessageBox(AText, Application->Title(), AFlags);
}

Integer dxDropDownNCHeight() {
  const Integer h = ::GetSystemMetrics(SM_CYHSCROLL);
  const Integer size = ::GetSystemMetrics(SM_CYSIZE);
  return h + 2 < size ? size + 1 : h + 3;
}

TdxCorner GetCornerForRects(const TRect& R1, const TRect& R2) {
  const bool right = R1.Left < R2.Right;
  const bool bottom = R1.Bottom < R2.Bottom;
  if (bottom) return right ? coBottomRight : coBottomLeft;
  return right ? coTopRight : coTopLeft;
}

Integer GetHitTestByCorner(TdxCorner ACorner) {
  static constexpr Integer codes[] = {HTTOPLEFT, HTTOPRIGHT, HTBOTTOMLEFT,
                                      HTBOTTOMRIGHT};
  return codes[ACorner];
}

void DrawCloseButton(HDC DC, TRect& R, bool AHot, TdxCorner ACorner,
                     bool APressed, bool AFlat) {
  const Integer size = ::GetSystemMetrics(SM_CXSIZE);
  const Integer left = IsRightCorner(ACorner) ? R.Left : R.Right - size;
  Integer top = (R.Top + R.Bottom - size - 1) / 2;
  if (IsBottomCorner(ACorner)) ++top;
  R = Rect(left + 1, top + 2, left + size - 1, top + size + 1 - 2);
  RECT face = dxRECT(R);
  if (AHot && !AFlat) {
    ::DrawEdge(DC, &face, APressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT);
  } else {
    ::FrameRect(DC, &face, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  RECT inner{face.left + 1, face.top + 1, face.right - 1, face.bottom - 1};
  ::FrameRect(DC, &inner, ::GetSysColorBrush(COLOR_BTNFACE));
  RECT glyph{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
  TClipRegionSaver clip(DC);
  ::IntersectClipRect(DC, glyph.left, glyph.top, glyph.right, glyph.bottom);
  if (size != 22) ::OffsetRect(&glyph, 0, 1);
  ::DrawFrameControl(
      DC, &glyph, DFC_CAPTION,
      DFCS_CAPTIONCLOSE | DFCS_FLAT | (APressed ? DFCS_PUSHED : 0u));
}

namespace {

// The cell of ASize in R's corner.
TRect CornerCell(const TRect& R, TdxCorner ACorner, const TSize& ASize) {
  const Integer left = IsRightCorner(ACorner) ? R.Right - ASize.cx : R.Left;
  const Integer top = IsBottomCorner(ACorner) ? R.Bottom - ASize.cy : R.Top;
  return Bounds(left, top, ASize.cx, ASize.cy);
}

}  // namespace

void DrawSizeGrip(HDC DC, TRect& R, TdxCorner ACorner) {
  R = CornerCell(
      R, ACorner,
      {::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)});
  const bool right = IsRightCorner(ACorner);
  const bool bottom = IsBottomCorner(ACorner);
  // The strips along the cell's two outer edges.
  const TRect vertical = right ? Rect(R.Right - 2, R.Top, R.Right, R.Bottom)
                               : Rect(R.Left, R.Top, R.Left + 2, R.Bottom);
  const TRect horizontal = bottom
                               ? Rect(R.Left, R.Bottom - 2, R.Right, R.Bottom)
                               : Rect(R.Left, R.Top, R.Right, R.Top + 2);
  for (const TRect& strip : {vertical, horizontal}) {
    RECT r = dxRECT(strip);
    ::FillRect(DC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  const TRect rest =
      Rect(R.Left + (right ? 0 : 2), R.Top + (bottom ? 0 : 2),
           R.Right - (right ? 2 : 0), R.Bottom - (bottom ? 2 : 0));
  RECT face = dxRECT(rest);
  ::FillRect(DC, &face, ::GetSysColorBrush(COLOR_BTNFACE));
  LaySizeGrip(DC, rest, !right, !bottom);
}

void ThemedCloseButtonSize(TSize& ASize) {
  SIZE size{};
  HTHEME theme = OpenTheme(totWindow);
  if (!theme || FAILED(GetThemePartSize(theme, nullptr, kWindowPartSmallClose,
                                        1, dxTS_TRUE, &size)))
    size = {::GetSystemMetrics(SM_CXSMSIZE), ::GetSystemMetrics(SM_CYSMSIZE)};
  ASize = {size.cx, size.cy};
}

void ThemedSizeGripSize(TSize& ASize) {
  SIZE size{};
  HTHEME theme = OpenTheme(totScrollBar);
  if (!theme || FAILED(GetThemePartSize(theme, nullptr, kScrollPartSizeBox, 1,
                                        dxTS_TRUE, &size)))
    size = {::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL)};
  ASize = {size.cx + 2, size.cy + 2};
}

void DrawThemedCloseButton(HDC DC, TRect& R, bool AHot, TdxCorner ACorner,
                           bool APressed) {
  TSize size;
  ThemedCloseButtonSize(size);
  const Integer offset = std::max<Integer>((R.Height() - size.cy) / 2, 0);
  const Integer left =
      IsRightCorner(ACorner) ? R.Left + offset : R.Right - offset - size.cx;
  R = Bounds(left, R.Top + offset, size.cx, size.cy);
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  const int state = APressed ? 3 : AHot ? 2 : 1;
  DrawThemeBackground(OpenTheme(totWindow), DC, kWindowPartSmallClose, state, r,
                      nullptr);
}

void DrawThemedSizeGrip(HDC DC, TRect& R, TdxCorner ACorner) {
  TSize size;
  ThemedSizeGripSize(size);
  R = CornerCell(R, ACorner, {size.cx + 1, size.cy + 1});
  RECT r = dxRECT(R);
  ::FillRect(DC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  // The theme draws the box for the bottom-right corner: drawn 2 pixels
  // shorter on the corner's side and mirrored onto the cell.
  const bool right = IsRightCorner(ACorner);
  const bool bottom = IsBottomCorner(ACorner);
  const Integer w = R.Width() - 2;
  const Integer h = R.Height() - 2;
  TMemoryCanvas box(DC, w, h);
  RECT boxRect{0, 0, w, h};
  ::FillRect(box.DC(), &boxRect, ::GetSysColorBrush(COLOR_BTNFACE));
  DrawThemeBackground(OpenTheme(totScrollBar), box.DC(), kScrollPartSizeBox, 1,
                      boxRect, nullptr);
  const Integer x = right ? R.Left : R.Left + 2;
  const Integer y = bottom ? R.Top : R.Top + 2;
  ::StretchBlt(DC, right ? x : x + w - 1, bottom ? y : y + h - 1,
               right ? w : -w, bottom ? h : -h, box.DC(), 0, 0, w, h, SRCCOPY);
}

void dxBarPopupNCCalcSize(HWND AWnd, TRect& ARect, TdxCorner& ACorner,
                          const TRect& AOwnerRect, bool ASizable) {
  ARect =
      Rect(ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1);
  if (!ASizable || IsRectEmpty(AOwnerRect)) return;
  RECT window{};
  ::GetWindowRect(AWnd, &window);
  ACorner = GetCornerForRects(
      AOwnerRect, Rect(window.left, window.top, window.right, window.bottom));
  if (IsBottomCorner(ACorner))
    ARect.Bottom -= dxDropDownNCHeight();
  else
    ARect.Top += dxDropDownNCHeight();
}

void dxBarPopupNCPaint(HWND AWnd, bool ASizable, bool AFlat, bool ACloseHot,
                       bool AClosePressed, TRect& AGripRect, TRect& ACloseRect,
                       TdxCorner ACorner) {
  TWindowDC windowDC(AWnd, ::GetWindowDC(AWnd));
  if (!windowDC) return;
  HDC dc = windowDC.get();
  RECT window{};
  ::GetWindowRect(AWnd, &window);
  const TRect outer =
      Rect(0, 0, window.right - window.left, window.bottom - window.top);
  HBRUSH frame =
      ::GetSysColorBrush(AFlat ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME);
  RECT r = dxRECT(outer);
  ::FrameRect(dc, &r, frame);
  AGripRect = {};
  ACloseRect = {};
  if (!ASizable) return;
  const TRect inner =
      Rect(outer.Left + 1, outer.Top + 1, outer.Right - 1, outer.Bottom - 1);
  const Integer h = dxDropDownNCHeight();
  const bool bottom = IsBottomCorner(ACorner);
  TRect band =
      bottom ? Rect(inner.Left, inner.Bottom - h, inner.Right, inner.Bottom)
             : Rect(inner.Left, inner.Top, inner.Right, inner.Top + h);
  // The band's edge towards the client area.
  RECT line = dxRECT(
      bottom ? Rect(band.Left, band.Top, band.Right, band.Top + 1)
             : Rect(band.Left, band.Bottom - 1, band.Right, band.Bottom));
  ::FillRect(dc, &line, frame);
  if (bottom)
    ++band.Top;
  else
    --band.Bottom;
  TClipRegionSaver clip(dc);
  auto toScreen = [&](const TRect& ARect) {
    return Rect(ARect.Left + window.left, ARect.Top + window.top,
                ARect.Right + window.left, ARect.Bottom + window.top);
  };
  TRect grip = band;
  DrawSizeGrip(dc, grip, ACorner);
  ::ExcludeClipRect(dc, grip.Left, grip.Top, grip.Right, grip.Bottom);
  AGripRect =
      toScreen(Rect(grip.Left - 2, std::max(grip.Top - 2, band.Top),
                    grip.Right + 2, std::min(grip.Bottom + 2, band.Bottom)));
  TRect close = band;
  DrawCloseButton(dc, close, ACloseHot || AClosePressed, ACorner,
                  ACloseHot && AClosePressed, AFlat);
  ::ExcludeClipRect(dc, close.Left, close.Top, close.Right, close.Bottom);
  ACloseRect = toScreen(close);
  RECT rest = dxRECT(band);
  ::FillRect(dc, &rest, ::GetSysColorBrush(COLOR_BTNFACE));
  const LONG style = ::GetWindowLongA(AWnd, GWL_STYLE);
  if (bottom && (style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    const Integer w = ::GetSystemMetrics(SM_CXVSCROLL);
    const Integer sh = ::GetSystemMetrics(SM_CYHSCROLL);
    RECT corner{inner.Right - w, band.Top - 1 - sh, inner.Right, band.Top - 1};
    ::FillRect(dc, &corner, ::GetSysColorBrush(COLOR_BTNFACE));
  }
}
