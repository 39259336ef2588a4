// The themed painter: toolbars, docks and item controls drawn with the
// system's visual styles; floating frames and check marks through the
// shared flat painter; theme metrics measured when a painter is made.
#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "cxGraphics.h"
#include "dxBar.h"
#include "dxThemeManager.h"

namespace {

// Parts and states of the visual-styles classes in use.
constexpr int TP_BUTTON = 1;
constexpr int TP_SPLITBUTTON = 3;
constexpr int TP_SPLITBUTTONDROPDOWN = 4;
constexpr int TP_SEPARATOR = 5;
constexpr int TP_SEPARATORVERT = 6;
constexpr int RP_GRIPPER = 1;
constexpr int RP_GRIPPERVERT = 2;
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int EP_EDITTEXT = 1;
constexpr int PP_BAR = 1;
constexpr int PP_CHUNK = 3;
constexpr int SP_GRIPPER = 3;
constexpr int TMT_FILLCOLOR = 3802;

// The measured metrics, shared by every themed painter of the program.
TdxBarXPPainterMetrics gMetrics;
HBRUSH gThemeToolbarBrush = nullptr;

SIZE PartSize(TdxThemedObjectType AType, int APart, int AState,
              TdxThemeSize AKind) {
  SIZE size{};
  HTHEME theme = OpenTheme(AType);
  if (!theme ||
      FAILED(GetThemePartSize(theme, nullptr, APart, AState, AKind, &size)))
    return {};
  return size;
}

// The content margins of a part for the box (0, 0, 100, 100).
TRect ContentMargins(TdxThemedObjectType AType, int APart, int AState) {
  const RECT box{0, 0, 100, 100};
  RECT content = box;
  HTHEME theme = OpenTheme(AType);
  if (!theme || FAILED(GetThemeBackgroundContentRect(theme, nullptr, APart,
                                                     AState, &box, &content)))
    return {};
  return {content.left, content.top, 100 - content.right, 100 - content.bottom};
}

void DrawPart(TdxThemedObjectType AType, HDC DC, int APart, int AState,
              const TRect& R) {
  HTHEME theme = OpenTheme(AType);
  if (!theme) return;
  const RECT r = dxRECT(R);
  DrawThemeBackground(theme, DC, APart, AState, r, nullptr);
}

TRect Deflated(const TRect& R, Integer D) {
  return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D);
}

}  // namespace

const TdxBarXPPainterMetrics& dxBarXPPainterMetrics() { return gMetrics; }

HBRUSH dxBarThemeToolbarBrush() {
  if (!gThemeToolbarBrush && !dxBarIsFinalizing())
    gThemeToolbarBrush = ::CreateSolidBrush(
        ColorToRGB(ThemedToolbarColor(OpenTheme(totToolBar))));
  return gThemeToolbarBrush ? gThemeToolbarBrush
                            : ::GetSysColorBrush(COLOR_BTNFACE);
}

void dxBarFreeThemeToolbarBrush() {
  if (gThemeToolbarBrush) ::DeleteObject(gThemeToolbarBrush);
  gThemeToolbarBrush = nullptr;
}

TdxBarXPPainter::TdxBarXPPainter() {
  InitParams();
  // The toolbar colour follows the theme in force, as the metrics do.
  dxBarFreeThemeToolbarBrush();
}

void TdxBarXPPainter::InitParams() {
  gMetrics.BarBeginGroupSize =
      PartSize(totToolBar, TP_SEPARATOR, 1, dxTS_MIN).cx;
  const SIZE close = PartSize(totWindow, WP_SMALLCLOSEBUTTON, 1, dxTS_TRUE);
  gMetrics.BarCloseButtonSize = {close.cx, close.cy};
  const TRect split = ContentMargins(totToolBar, TP_SPLITBUTTON, 1);
  gMetrics.ButtonBorderHeight = split.Top + split.Bottom;
  gMetrics.ComboBoxArrowWidth =
      PartSize(totComboBox, CP_DROPDOWNBUTTON, 1, dxTS_TRUE).cx;
  gMetrics.EditControlBorderOffsets = ContentMargins(totEdit, EP_EDITTEXT, 1);
  gMetrics.GripperSize = PartSize(totRebar, RP_GRIPPER, 1, dxTS_TRUE).cx;
  const TRect bar = ContentMargins(totProgress, PP_BAR, 0);
  gMetrics.ProgressControlBarHeight =
      PartSize(totProgress, PP_CHUNK, 0, dxTS_TRUE).cy + bar.Left + bar.Right;
  gMetrics.SubMenuControlBeginGroupSize =
      PartSize(totToolBar, TP_SEPARATORVERT, 1, dxTS_TRUE).cy;
  const SIZE grip = PartSize(totStatus, SP_GRIPPER, 0, dxTS_TRUE);
  gMetrics.StatusBarGripSize = {grip.cx, grip.cy};
}

// ---------------------------------------------------------------------------
// Colours and brushes
// ---------------------------------------------------------------------------

HBRUSH TdxBarXPPainter::BarToolbarBrush(TCustomdxBarControl*) {
  return dxBarThemeToolbarBrush();
}

HBRUSH TdxBarXPPainter::SubMenuControlToolbarItemsBrush() const {
  return ::GetSysColorBrush(COLOR_MENU);
}

HBRUSH TdxBarXPPainter::GlyphBkgndBrush(TdxBarItemControl* AControl,
                                        TdxBarPaintType APaintType,
                                        const TdxBarGlyphFlags& AFlags) {
  if (APaintType == ptMenu && AFlags.NoIcon && AFlags.Selected && !AFlags.Down)
    return BarToolbarSelBrush(AControl ? AControl->Parent() : nullptr);
  return dxBarItemBkBrush(AControl);
}

TColor TdxBarXPPainter::EditGetEnabledBkColor() const {
  return ThemedEditBkColor(OpenTheme(totEdit), dxBarThemedEditNormal);
}

TColor TdxBarXPPainter::EditGetEnabledTextColor() const {
  return ThemedEditTextColor(OpenTheme(totEdit), dxBarThemedEditNormal);
}

TColor TdxBarXPPainter::EditGetDisabledTextColor() const {
  return ThemedEditTextColor(OpenTheme(totEdit), dxBarThemedEditDisabled);
}

TColor TdxBarXPPainter::ProgressControlBarBrushColor() const {
  COLORREF color = 0;
  HTHEME theme = OpenTheme(totProgress);
  if (theme &&
      SUCCEEDED(GetThemeColor(theme, PP_CHUNK, 0, TMT_FILLCOLOR, &color)))
    return static_cast<TColor>(color);
  return TdxBarPainter::ProgressControlBarBrushColor();
}

// ---------------------------------------------------------------------------
// Glyphs and buttons
// ---------------------------------------------------------------------------

Integer TdxBarXPPainter::GlyphButtonState(TdxBarItemControl* AControl,
                                          const TdxBarGlyphFlags& AFlags) {
  if (AControl && !AControl->GetEnabled()) return 4;
  if (AFlags.Pressed) return 3;
  if (AFlags.Down || (AFlags.DroppedDown && !AFlags.SplitPart)) return 5;
  if (AFlags.Selected) return 2;
  return 1;
}

void TdxBarXPPainter::DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC,
                                      HBRUSH ABrush, bool, const TRect& R,
                                      TdxBarPaintType APaintType,
                                      const TdxBarGlyphFlags& AFlags) {
  if (APaintType == ptMenu && AFlags.NoIcon && AFlags.Selected &&
      !AFlags.Down) {
    RECT r = dxRECT(R);
    ::FillRect(DC, &r, ABrush);
    return;
  }
  DrawBackground(AControl, DC, R, ABrush, false);
  if (IsMenuItem(AControl) && APaintType != ptMenu &&
      (AFlags.Selected || AFlags.Down || AFlags.Pressed ||
       AFlags.DroppedDown)) {
    RECT r = dxRECT(R);
    ::FillRect(DC, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    return;
  }
  DrawPart(totToolBar, DC, AFlags.SplitPart ? TP_SPLITBUTTON : TP_BUTTON,
           GlyphButtonState(AControl, AFlags), R);
}

void TdxBarXPPainter::DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC,
                                         Integer ALeft, Integer ATop,
                                         Integer AScale) {
  if (TdxBarFlatPainter* flat = dxBarFlatPainter())
    flat->DrawGlyphCheckMark(AControl, DC, ALeft, ATop, AScale);
}

void TdxBarXPPainter::DrawButtonControlArrow(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect R) {
  // On toolbars the theme's drop-down part carries the arrow.
  if (AParams.PaintType == ptMenu)
    TdxBarPainter::DrawButtonControlArrow(AParams, R);
}

void TdxBarXPPainter::DrawButtonControlArrowBackground(
    const TdxBarButtonLikeControlDrawParams& AParams, TRect& R, HBRUSH ABrush) {
  TdxBarPainter::DrawButtonControlArrowBackground(AParams, R, ABrush);
  if (!AParams.Canvas) return;
  const bool menu = AParams.PaintType == ptMenu;
  Integer state = 1;
  if (!AParams.Enabled || !AParams.IsDropDownEnabled)
    state = 4;
  else if (AParams.DroppedDown || (AParams.IsPressed && !menu))
    state = 3;
  else if (AParams.Down && !menu)
    state = 5;
  else if (AParams.DrawSelected)
    state = 2;
  DrawPart(totToolBar, AParams.Canvas->Handle(),
           menu ? TP_BUTTON : TP_SPLITBUTTONDROPDOWN, state, R);
}

// ---------------------------------------------------------------------------
// Toolbars and docks
// ---------------------------------------------------------------------------

void TdxBarXPPainter::DockControlFillBackground(TdxDockControl*, HDC DC,
                                                const TRect& ADestRect,
                                                const TRect&,
                                                const TRect& AWholeRect, HBRUSH,
                                                TColor) {
  TClipRegionSaver clip(DC);
  ::IntersectClipRect(DC, ADestRect.Left, ADestRect.Top, ADestRect.Right,
                      ADestRect.Bottom);
  DrawPart(totRebar, DC, 0, 1, AWholeRect);
}

void TdxBarXPPainter::BarDrawBeginGroup(TCustomdxBarControl* ABarControl,
                                        HDC DC, const TRect& R, HBRUSH ABrush,
                                        bool AHorizontal) {
  dxBarFillControlBackground(ABarControl, DC, R, ABrush);
  DrawPart(totToolBar, DC, AHorizontal ? TP_SEPARATORVERT : TP_SEPARATOR, 1, R);
}

void TdxBarXPPainter::BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC,
                                         const TRect& R) {
  const TdxBarMarkState state =
      ABarControl ? ABarControl->CloseButtonState() : msNone;
  DrawPart(totWindow, DC, WP_SMALLCLOSEBUTTON, state + 1, R);
}

void TdxBarXPPainter::BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC,
                                             TRect R, HBRUSH) {
  R = Deflated(R, 2);
  if (!ABarControl || !ABarControl->CanMoving()) return;
  const Integer b = BeforeFingersSize();
  const Integer g = GripperSize();
  const bool horizontal = ABarControl->GetHorizontal();
  const TRect grip = horizontal
                         ? Rect(R.Left + b, R.Top, R.Left + b + g, R.Bottom)
                         : Rect(R.Left, R.Top + b, R.Right, R.Top + b + g);
  DrawPart(totRebar, DC, horizontal ? RP_GRIPPER : RP_GRIPPERVERT, 1, grip);
}

void TdxBarXPPainter::BarDrawFloatingBarBorder(TdxBarControl* ABarControl,
                                               HDC DC, TRect R,
                                               const TRect& AClientRect,
                                               HBRUSH ABrush) {
  if (TdxBarFlatPainter* flat = dxBarFlatPainter())
    flat->BarDrawFloatingBarBorder(ABarControl, DC, R, AClientRect, ABrush);
}

void TdxBarXPPainter::BarDrawMarkBackground(TdxBarControl* ABarControl, HDC DC,
                                            const TRect& R, HBRUSH ABrush) {
  TRect r = R;
  dxBarFillControlBackground(ABarControl, DC, R, ABrush);
  TdxBar* bar = ABarControl ? ABarControl->Bar() : nullptr;
  if (bar && bar->BorderStyle == bbsNone) {
    if (ABarControl->GetHorizontal())
      r = Rect(r.Left, r.Top + 2, r.Right, r.Bottom - 2);
    else
      r = Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom);
  }
  const TdxBarMarkState state = ABarControl ? ABarControl->MarkState() : msNone;
  DrawPart(totToolBar, DC, TP_BUTTON, state + 1, r);
}

void TdxBarXPPainter::BarDrawGrip(TdxBarControl*, HDC DC, const TRect& R,
                                  HBRUSH) {
  DrawPart(totStatus, DC, SP_GRIPPER, 0, R);
}

TSize TdxBarXPPainter::StatusBarGripSize(TdxBarManager*) const {
  return gMetrics.StatusBarGripSize;
}

// ---------------------------------------------------------------------------
// Progress bar
// ---------------------------------------------------------------------------

void TdxBarXPPainter::ProgressControlDrawBar(
    const TdxBarProgressDrawParams& AParams, HDC DC, const TRect& R, TColor) {
  const bool vertical = AParams.PaintType == ptVert;
  const int barPart = vertical ? 2 : PP_BAR;
  const int chunkPart = vertical ? 4 : PP_CHUNK;
  HTHEME theme = OpenTheme(totProgress);
  if (!theme) return;
  const RECT r = dxRECT(R);
  RECT content = r;
  GetThemeBackgroundContentRect(theme, DC, barPart, 0, &r, &content);
  DrawThemeBackground(theme, DC, barPart, 0, r, nullptr);
  const Integer done = ::MulDiv(
      vertical ? content.bottom - content.top : content.right - content.left,
      AParams.Position - AParams.Min, AParams.Max - AParams.Min);
  if (done <= 0) return;
  if (vertical)
    content.bottom = content.top + done;
  else
    content.right = content.left + done;
  DrawThemeBackground(theme, DC, chunkPart, 0, content, nullptr);
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

void TdxBarXPPainter::SubMenuControlDrawBorder(
    const TdxBarSubMenuPaintInfo& AMenu, HDC DC, TRect R) {
  RECT frame = dxRECT(R);
  ::FrameRect(DC, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
  if (!AMenu.Detachable) return;
  R = Deflated(R, 1);
  R.Bottom = R.Top + AMenu.DetachCaptionAreaSize + 1;
  RECT caption = dxRECT(R);
  ::FrameRect(DC, &caption, SubMenuControlToolbarItemsBrush());
  SubMenuControlDrawDetachCaption(AMenu, DC, AMenu.DetachCaptionRect);
}

void TdxBarXPPainter::SubMenuControlDrawClientBorder(
    const TdxBarSubMenuPaintInfo&, HDC DC, TRect R, HBRUSH) {
  RECT frame = dxRECT(R);
  ::FrameRect(DC, &frame, SubMenuControlToolbarItemsBrush());
}

void TdxBarXPPainter::SubMenuControlDrawSeparator(HDC DC, const TRect& R) {
  DrawPart(totToolBar, DC, TP_SEPARATORVERT, 1, R);
}

// ---------------------------------------------------------------------------
// Measured metrics
// ---------------------------------------------------------------------------

Integer TdxBarXPPainter::BarBeginGroupSize() const {
  return gMetrics.BarBeginGroupSize;
}
TSize TdxBarXPPainter::BarCloseButtonSize() const {
  return gMetrics.BarCloseButtonSize;
}
Integer TdxBarXPPainter::GetButtonBorderHeight() const {
  return gMetrics.ButtonBorderHeight;
}
Integer TdxBarXPPainter::ComboBoxArrowWidth(Integer) const {
  return gMetrics.ComboBoxArrowWidth;
}
Integer TdxBarXPPainter::GripperSize() const { return gMetrics.GripperSize; }
Integer TdxBarXPPainter::ProgressControlBarHeight() const {
  return gMetrics.ProgressControlBarHeight;
}
Integer TdxBarXPPainter::SubMenuControlBeginGroupSize() const {
  return gMetrics.SubMenuControlBeginGroupSize;
}
Integer TdxBarXPPainter::SubMenuGetSeparatorSize() const {
  return gMetrics.SubMenuControlBeginGroupSize;
}
