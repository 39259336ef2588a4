// The visual-styles painter. Every themed operation opens the theme class
// it needs and falls back to the classic drawing when that class is missing
// from the active theme, so a half-complete theme still paints everything.
#include <algorithm>

#include "Platform.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

namespace {

// Theme part numbers of the classes in use.
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_RADIOBUTTON = 2;
constexpr int BP_CHECKBOX = 3;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int EBP_NORMALGROUPEXPAND = 6;
constexpr int EBP_NORMALGROUPCOLLAPSE = 7;
constexpr int HP_HEADERITEM = 1;
constexpr int HP_HEADERITEMRIGHT = 3;
constexpr int LVP_LISTDETAIL = 5;
constexpr int SBP_ARROWBTN = 1;
constexpr int SBP_THUMBBTNHORZ = 2;
constexpr int SBP_THUMBBTNVERT = 3;
constexpr int SBP_LOWERTRACKHORZ = 4;
constexpr int SBP_UPPERTRACKHORZ = 5;
constexpr int SBP_LOWERTRACKVERT = 6;
constexpr int SBP_UPPERTRACKVERT = 7;
constexpr int SBP_GRIPPERHORZ = 8;
constexpr int SBP_GRIPPERVERT = 9;
constexpr int SBP_SIZEBOX = 10;
constexpr int TABP_TABITEM = 1;
constexpr int TABP_PANE = 9;
constexpr int TP_BUTTON = 1;
constexpr int TKP_TRACK = 1;
constexpr int TVP_GLYPH = 2;
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int TMT_BORDERCOLOR = 3801;
constexpr int TMT_TEXTCOLOR = 3803;
// The colour the push-button part gives as its fill.
constexpr int kButtonColorProperty = 204;

// Theme state by TcxButtonState.
constexpr int kCheckUnchecked[5] = {1, 1, 2, 3, 4};
constexpr int kCheckChecked[5] = {5, 5, 6, 7, 8};
constexpr int kHeaderStates[5] = {1, 1, 2, 3, 1};
constexpr int kPlainStates[5] = {1, 1, 2, 3, 4};
constexpr int kToolBarStates[5] = {2, 2, 5, 3, 4};

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }
TRect FromRECT(const RECT& R) {
  return TRect{R.left, R.top, R.right, R.bottom};
}

bool IsEmptyRect(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

HRESULT DrawPart(HTHEME ATheme, TcxCanvas* ACanvas, int APart, int AState,
                 const TRect& R) {
  const RECT r = ToRECT(R);
  return DrawThemeBackground(ATheme, ACanvas->Handle(), APart, AState, &r,
                             nullptr);
}

// The content rectangle of a part laid over R.
bool ContentRect(HTHEME ATheme, HDC DC, int APart, int AState, const TRect& R,
                 TRect& AContent) {
  const RECT r = ToRECT(R);
  RECT content{};
  if (FAILED(GetThemeBackgroundContentRect(ATheme, DC, APart, AState, &r,
                                           &content))) {
    return false;
  }
  AContent = FromRECT(content);
  return true;
}

// The content margins of a part measured in (0, 0, 100, 100).
TRect ContentMargins(HTHEME ATheme, int APart, int AState) {
  TRect content{0, 0, 100, 100};
  if (!ContentRect(ATheme, cxScreenCanvas()->Handle(), APart, AState,
                   TRect{0, 0, 100, 100}, content)) {
    return TRect{0, 0, 0, 0};
  }
  return TRect{content.Left, content.Top, 100 - content.Right,
               100 - content.Bottom};
}

bool PartSize(HTHEME ATheme, int APart, int AState, TdxThemeSize AKind,
              TSize& ASize) {
  SIZE size{};
  if (FAILED(GetThemePartSize(ATheme, cxScreenCanvas()->Handle(), APart, AState,
                              AKind, &size))) {
    return false;
  }
  ASize = TSize{size.cx, size.cy};
  return true;
}

TSize TruePartSize(HTHEME ATheme, int APart, int AState) {
  TSize size{0, 0};
  PartSize(ATheme, APart, AState, dxTS_TRUE, size);
  return size;
}

TRect ShrunkBy(const TRect& R, Integer D) {
  return TRect{R.Left + D, R.Top + D, R.Right - D, R.Bottom - D};
}

}  // namespace

Integer BtnStateToXPBtnState(TcxButtonState AState) {
  static constexpr Integer kStates[5] = {5, 1, 2, 3, 4};
  return kStates[AState];
}

// ---------------------------------------------------------------------------
// TcxWinXPLookAndFeelPainter
// ---------------------------------------------------------------------------

TcxLookAndFeelStyle TcxWinXPLookAndFeelPainter::LookAndFeelStyle() const {
  return lfsNative;
}

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerBorderColor() const {
  COLORREF color = 0;
  GetThemeColor(OpenTheme(totComboBox), 1, 1, TMT_BORDERCOLOR, &color);
  return TColor(color);
}

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerViewContentColor() const {
  return TColor(0xD5FFFF);
}

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                           TcxArrowDirection AArrowDirection,
                                           TColor AColor) const {
  TcxCustomLookAndFeelPainter::DrawArrow(ACanvas, R, AArrowDirection, AColor);
}

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                                           TcxButtonState AState,
                                           TcxArrowDirection AArrowDirection,
                                           bool ADrawBorder) const {
  const HTHEME theme = OpenTheme(totScrollBar);
  if (theme == nullptr) {
    TcxCustomLookAndFeelPainter::DrawArrow(ACanvas, R, AState, AArrowDirection,
                                           ADrawBorder);
    return;
  }
  static constexpr int kStateOffset[5] = {0, 0, 1, 2, 3};
  DrawPart(theme, ACanvas, SBP_ARROWBTN,
           1 + 4 * AArrowDirection + kStateOffset[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawArrowBorder(TcxCanvas* ACanvas,
                                                 const TRect& R,
                                                 TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    TcxCustomLookAndFeelPainter::DrawArrowBorder(ACanvas, R, AState);
    return;
  }
  DrawPart(theme, ACanvas, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), R);
}

Integer TcxWinXPLookAndFeelPainter::BorderSize() const {
  if (OpenTheme(totListView) == nullptr) {
    return TcxStandardLookAndFeelPainter::BorderSize();
  }
  return 1;
}

void TcxWinXPLookAndFeelPainter::DrawBorder(TcxCanvas* ACanvas, TRect R) const {
  const HTHEME theme = OpenTheme(totListView);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawBorder(ACanvas, R);
    return;
  }
  // Only the frame of the list part may show, not its fill.
  auto saved = ACanvas->SavedDCScope();
  ACanvas->ExcludeClipRect(ShrunkBy(R, 1));
  DrawPart(theme, ACanvas, LVP_LISTDETAIL, 0, R);
}

TRect TcxWinXPLookAndFeelPainter::AdjustGroupButtonDisplayRect(
    const TRect& R, Integer AButtonCount, Integer AButtonIndex) const {
  TRect result = TcxStandardLookAndFeelPainter::AdjustGroupButtonDisplayRect(
      R, AButtonCount, AButtonIndex);
  const HTHEME theme = OpenTheme(totButton);
  if (theme != nullptr &&
      IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) {
    result = ShrunkBy(result, -1);
  }
  return result;
}

Integer TcxWinXPLookAndFeelPainter::ButtonBorderSize(
    TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::ButtonBorderSize(cxbsNormal);
  }
  return ContentMargins(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState))
      .Left;
}

TColor TcxWinXPLookAndFeelPainter::ButtonColor(TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxCustomLookAndFeelPainter::ButtonColor(AState);
  }
  // A theme that defines no fill colour for the button leaves the system's
  // button face, never an undefined value.
  COLORREF color = 0;
  if (FAILED(GetThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState),
                           kButtonColorProperty, &color))) {
    return clBtnFace;
  }
  return TColor(color);
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusRect(TcxCanvas* ACanvas,
                                                  const TRect& R) const {
  const HTHEME theme = OpenTheme(totButton);
  TRect content;
  if (theme == nullptr ||
      !ContentRect(theme, ACanvas->Handle(), BP_PUSHBUTTON, 1, R, content)) {
    return TcxStandardLookAndFeelPainter::ButtonFocusRect(ACanvas, R);
  }
  return content;
}

TRect TcxWinXPLookAndFeelPainter::ButtonGroupBorderSizes(
    Integer AButtonCount, Integer AButtonIndex) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::ButtonGroupBorderSizes(AButtonCount,
                                                                 AButtonIndex);
  }
  TRect result = ContentMargins(theme, BP_PUSHBUTTON, 1);
  if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) {
    result = TRect{result.Left - 1, result.Top - 1, result.Right - 1,
                   result.Bottom - 1};
  }
  return result;
}

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(
    TcxButtonState AState, TColor ADefaultColor) const {
  const HTHEME theme = OpenTheme(totButton);
  COLORREF color = 0;
  if (theme == nullptr ||
      FAILED(GetThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState),
                           TMT_TEXTCOLOR, &color))) {
    return TcxStandardLookAndFeelPainter::ButtonSymbolColor(AState,
                                                            ADefaultColor);
  }
  return TColor(color);
}

Integer TcxWinXPLookAndFeelPainter::ButtonTextOffset() const { return 2; }

Integer TcxWinXPLookAndFeelPainter::ButtonTextShift() const { return 0; }

void TcxWinXPLookAndFeelPainter::DrawButton(TcxCanvas* ACanvas, TRect R,
                                            const String& ACaption,
                                            TcxButtonState AState,
                                            bool ADrawBorder, TColor AColor,
                                            TColor ATextColor) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawButton(ACanvas, R, ACaption, AState,
                                              ADrawBorder, AColor, ATextColor);
    return;
  }
  const int state = BtnStateToXPBtnState(AState);
  DrawPart(theme, ACanvas, BP_PUSHBUTTON, state, R);
  if (!ACaption.empty()) {
    const WideString text = Platform::AnsiToWide(ACaption);
    const RECT r = ToRECT(R);
    DrawThemeText(theme, ACanvas->Handle(), BP_PUSHBUTTON, state,
                  reinterpret_cast<LPCWSTR>(text.c_str()),
                  static_cast<int>(text.size()),
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r);
  }
}

void TcxWinXPLookAndFeelPainter::DrawExpandButton(TcxCanvas* ACanvas,
                                                  const TRect& R,
                                                  bool AExpanded,
                                                  TColor AColor) const {
  const HTHEME theme = OpenTheme(totTreeview);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawExpandButton(ACanvas, R, AExpanded,
                                                    AColor);
    return;
  }
  DrawPart(theme, ACanvas, TVP_GLYPH, AExpanded ? 2 : 1, R);
  ACanvas->ExcludeClipRect(R);
}

bool TcxWinXPLookAndFeelPainter::DrawExpandButtonFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::DrawGroupExpandButton(
    TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
    TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totExplorerBar);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R, AExpanded,
                                                         AState);
    return;
  }
  // The bar has no disabled look: such a button shows as a normal one.
  static constexpr int kStates[5] = {1, 1, 2, 3, 1};
  DrawPart(theme, ACanvas,
           AExpanded ? EBP_NORMALGROUPEXPAND : EBP_NORMALGROUPCOLLAPSE,
           kStates[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* ACanvas,
                                                       const TRect& R,
                                                       bool AExpanded,
                                                       TColor ABorderColor,
                                                       TColor AColor) const {
  if (OpenTheme(totTreeview) == nullptr) {
    TcxStandardLookAndFeelPainter::DrawSmallExpandButton(
        ACanvas, R, AExpanded, ABorderColor, clDefault);
    return;
  }
  DrawExpandButton(ACanvas, R, AExpanded, AColor);
}

Integer TcxWinXPLookAndFeelPainter::ExpandButtonSize() const {
  const HTHEME theme = OpenTheme(totTreeview);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::ExpandButtonSize();
  }
  return TruePartSize(theme, TVP_GLYPH, 2).cx;
}

Integer TcxWinXPLookAndFeelPainter::GroupExpandButtonSize() const {
  const HTHEME theme = OpenTheme(totExplorerBar);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::GroupExpandButtonSize();
  }
  return TruePartSize(theme, EBP_NORMALGROUPCOLLAPSE, 1).cx;
}

Integer TcxWinXPLookAndFeelPainter::SmallExpandButtonSize() const {
  if (OpenTheme(totTreeview) == nullptr) {
    return TcxStandardLookAndFeelPainter::SmallExpandButtonSize();
  }
  return ExpandButtonSize();
}

bool TcxWinXPLookAndFeelPainter::IsButtonHotTrack() const { return true; }

bool TcxWinXPLookAndFeelPainter::IsPointOverGroupExpandButton(
    const TRect& R, const TPoint& P) const {
  const HTHEME theme = OpenTheme(totExplorerBar);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::IsPointOverGroupExpandButton(R, P);
  }
  const RECT r = ToRECT(R);
  TRegionHandle region;
  if (FAILED(GetThemeBackgroundRegion(theme, cxScreenCanvas()->Handle(),
                                      EBP_NORMALGROUPCOLLAPSE, 1, &r,
                                      region.out())) ||
      !region) {
    return false;
  }
  return PtInRegion(region.get(), P.X, P.Y) != FALSE;
}

Integer TcxWinXPLookAndFeelPainter::CheckBorderSize() const {
  if (OpenTheme(totButton) == nullptr) {
    return TcxStandardLookAndFeelPainter::CheckBorderSize();
  }
  return 0;
}

void TcxWinXPLookAndFeelPainter::DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                                                 TcxButtonState AState) const {
  if (OpenTheme(totButton) == nullptr) {
    TcxStandardLookAndFeelPainter::DrawCheckBorder(ACanvas, R, AState);
  }
}

TSize TcxWinXPLookAndFeelPainter::CheckButtonSize() const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::CheckButtonSize();
  }
  return TruePartSize(theme, BP_CHECKBOX, 5);
}

void TcxWinXPLookAndFeelPainter::DrawCheck(TcxCanvas* ACanvas, const TRect& R,
                                           TcxButtonState AState, bool AChecked,
                                           TColor AColor) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawCheck(ACanvas, R, AState, AChecked,
                                             AColor);
    return;
  }
  DrawPart(theme, ACanvas, BP_CHECKBOX,
           AChecked ? kCheckChecked[AState] : kCheckUnchecked[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawRadioButton(
    TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AState,
    bool AChecked, bool AFocused, TColor ABrushColor, bool AIsDesigning) const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawRadioButton(
        ACanvas, X, Y, AState, AChecked, AFocused, ABrushColor, AIsDesigning);
    return;
  }
  const TSize size = RadioButtonSize();
  DrawPart(theme, ACanvas, BP_RADIOBUTTON,
           AChecked ? kCheckChecked[AState] : kCheckUnchecked[AState],
           TRect{X, Y, X + size.cx, Y + size.cy});
}

TSize TcxWinXPLookAndFeelPainter::RadioButtonSize() const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::RadioButtonSize();
  }
  return TruePartSize(theme, BP_RADIOBUTTON, 1);
}

void TcxWinXPLookAndFeelPainter::DrawHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor, TcxDrawBackgroundEvent AOnDrawBackground, bool AIsLast,
    bool AIsGroup) const {
  const HTHEME theme = OpenTheme(totHeader);
  if (theme == nullptr) {
    TcxCustomLookAndFeelPainter::DrawHeader(
        ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
        AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText,
        AFont, ATextColor, ABkColor, AOnDrawBackground, AIsLast, AIsGroup);
    return;
  }
  const int state = kHeaderStates[AState];
  int part = HP_HEADERITEM;
  if (AIsLast && state == 1) {
    const TOffice11Scheme scheme = GetOffice11Scheme();
    if (scheme == schNormalColor || scheme == schHomestead) {
      part = HP_HEADERITEMRIGHT;
    }
  }
  DrawPart(theme, ACanvas, part, state, ABounds);
  TRect text = ATextAreaBounds;
  if (AState == cxbsPressed) {
    text = TRect{text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1};
  }
  DrawContent(ACanvas, theme, part, state, ABounds, text, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, false, AText, AFont,
              ATextColor, ABkColor);
}

void TcxWinXPLookAndFeelPainter::DrawHeaderPressed(
    TcxCanvas* /*ACanvas*/, const TRect& /*ABounds*/) const {}

void TcxWinXPLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
    TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) const {
  ACanvas->FillRect(ABounds, clBtnFace);
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
             AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
             AText, AFont, ATextColor, ABkColor, nullptr, false, false);
}

void TcxWinXPLookAndFeelPainter::DrawSortingMark(TcxCanvas* ACanvas,
                                                 const TRect& R,
                                                 bool AAscendingSorting) const {
  cxPainterInstance<TcxUltraFlatLookAndFeelPainter>()->DrawSortingMark(
      ACanvas, R, AAscendingSorting);
}

TPoint TcxWinXPLookAndFeelPainter::SortingMarkSize() const {
  return cxPainterInstance<TcxUltraFlatLookAndFeelPainter>()->SortingMarkSize();
}

Integer TcxWinXPLookAndFeelPainter::HeaderBorderSize() const {
  const HTHEME theme = OpenTheme(totHeader);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::HeaderBorderSize();
  }
  const TRect margins = ContentMargins(theme, HP_HEADERITEM, 1);
  return (margins.Left + margins.Top) / 2;
}

Integer TcxWinXPLookAndFeelPainter::HeaderControlSectionBorderSize(
    TcxButtonState /*AState*/) const {
  return HeaderBorderSize();
}

TRect TcxWinXPLookAndFeelPainter::HeaderControlSectionContentBounds(
    const TRect& ABounds, TcxButtonState AState) const {
  if (OpenTheme(totHeader) == nullptr) {
    return TcxStandardLookAndFeelPainter::HeaderControlSectionContentBounds(
        ABounds, AState);
  }
  return ShrunkBy(ABounds, HeaderBorderSize());
}

bool TcxWinXPLookAndFeelPainter::IsHeaderHotTrack() const { return true; }

void TcxWinXPLookAndFeelPainter::DrawFooterBorder(TcxCanvas* ACanvas,
                                                  const TRect& R) const {
  const HTHEME theme = OpenTheme(totEdit);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawFooterBorder(ACanvas, R);
    return;
  }
  const RECT r = ToRECT(R);
  DrawThemeEdge(theme, ACanvas->Handle(), 0, 0, &r, BDR_RAISEDINNER, BF_RECT,
                nullptr);
}

Integer TcxWinXPLookAndFeelPainter::FooterBorderSize() const {
  if (OpenTheme(totEdit) == nullptr) {
    return TcxStandardLookAndFeelPainter::FooterBorderSize();
  }
  return 1;
}

void TcxWinXPLookAndFeelPainter::DrawFooterCell(
    TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
    TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText,
    TFont* AFont, TColor ATextColor, TColor ABkColor,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  const HTHEME theme = OpenTheme(totTrackBar);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawFooterCell(
        ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine, AText,
        AFont, ATextColor, ABkColor, AOnDrawBackground);
    return;
  }
  DrawPart(theme, ACanvas, TKP_TRACK, 1, ABounds);
  DrawContent(ACanvas, theme, TKP_TRACK, 1, ABounds,
              FooterCellTextAreaBounds(ABounds), AAlignmentHorz, AAlignmentVert,
              AMultiLine, false, false, AText, AFont, ATextColor, ABkColor);
}

Integer TcxWinXPLookAndFeelPainter::FooterCellBorderSize() const {
  const HTHEME theme = OpenTheme(totTrackBar);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::FooterCellBorderSize();
  }
  return ContentMargins(theme, TKP_TRACK, 1).Left;
}

Integer TcxWinXPLookAndFeelPainter::FooterCellOffset() const {
  if (OpenTheme(totTrackBar) == nullptr) {
    return TcxStandardLookAndFeelPainter::FooterCellOffset();
  }
  return 1;
}

bool TcxWinXPLookAndFeelPainter::FooterDrawCellsFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::DrawFilterCloseButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totWindow);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawFilterCloseButton(ACanvas, R, AState);
    return;
  }
  DrawPart(theme, ACanvas, WP_SMALLCLOSEBUTTON, kPlainStates[AState], R);
}

TPoint TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() const {
  const HTHEME theme = OpenTheme(totWindow);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::FilterCloseButtonSize();
  }
  const TSize size = TruePartSize(theme, WP_SMALLCLOSEBUTTON, 1);
  return TPoint{size.cx + 4, size.cy + 4};
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownButton(
    TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
    bool AIsFilterActive) const {
  const HTHEME theme = OpenTheme(totComboBox);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(ACanvas, R, AState,
                                                            AIsFilterActive);
    return;
  }
  DrawPart(theme, ACanvas, CP_DROPDOWNBUTTON, kPlainStates[AState], R);
}

TPoint TcxWinXPLookAndFeelPainter::FilterActivateButtonSize() const {
  const HTHEME theme = OpenTheme(totButton);
  if (theme == nullptr) {
    return TcxStandardLookAndFeelPainter::FilterActivateButtonSize();
  }
  const TSize size = TruePartSize(theme, BP_CHECKBOX, 5);
  return TPoint{size.cx, size.cy};
}

void TcxWinXPLookAndFeelPainter::DrawTab(
    TcxCanvas* ACanvas, TRect R, TcxBorders ABorders, const String& AText,
    TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor,
    TColor ABkColor, bool AShowPrefix) const {
  const HTHEME theme = OpenTheme(totTab);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawTab(ACanvas, R, ABorders, AText, AState,
                                           AVertical, AFont, ATextColor,
                                           ABkColor, AShowPrefix);
    return;
  }
  const int state = kPlainStates[AState];
  const bool pressed = AState == cxbsPressed;
  // Vertical tabs are drawn lying down and then turned on their side.
  TRect clip = R;
  if (AVertical) clip = TRect{0, 0, R.Bottom - R.Top, R.Right - R.Left};
  TRect item = clip;
  const TcxBorder nearSide = AVertical ? bTop : bLeft;
  const TcxBorder farSide = AVertical ? bBottom : bRight;
  if (!ABorders.Contains(nearSide)) item.Left -= 2;
  if (!ABorders.Contains(farSide)) item.Right += 2;
  if (pressed) {
    item.Bottom += 1;
  } else {
    clip.Bottom -= 1;
  }
  if (AVertical) {
    TObjectPtr<TBitmap> bitmap(new TBitmap);
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(clip.Right, clip.Bottom + (pressed ? 0 : 1));
    TcxCanvas canvas(bitmap->Canvas());
    canvas.FillRect(TRect{0, 0, bitmap->Width(), bitmap->Height()}, ABkColor);
    const RECT ri = ToRECT(item);
    const RECT rc = ToRECT(clip);
    DrawThemeBackground(theme, canvas.Handle(), TABP_TABITEM, state, &ri, &rc);
    // Turning by 90 degrees and flipping transposes the picture.
    canvas.RotateBitmap(bitmap.get(), raPlus90, true);
    ACanvas->Draw(R.Left, R.Top, bitmap.get());
    // Back to the canvas's coordinates.
    clip = TRect{R.Left + clip.Top, R.Top + clip.Left, R.Left + clip.Bottom,
                 R.Top + clip.Right};
    item = TRect{R.Left + item.Top, R.Top + item.Left, R.Left + item.Bottom,
                 R.Top + item.Right};
    if (pressed) item.Right -= 2;
  } else {
    const RECT ri = ToRECT(item);
    const RECT rc = ToRECT(clip);
    DrawThemeBackground(theme, ACanvas->Handle(), TABP_TABITEM, state, &ri,
                        &rc);
    if (pressed) item.Bottom -= 2;
  }
  DrawContent(ACanvas, theme, TABP_TABITEM, state, clip, item, taCenter,
              vaCenter, false, false, AShowPrefix, AText, AFont, ATextColor,
              ABkColor);
}

void TcxWinXPLookAndFeelPainter::DrawTabBorder(TcxCanvas* ACanvas, TRect R,
                                               TcxBorder ABorder,
                                               TcxBorders ABorders,
                                               bool AVertical) const {
  if (OpenTheme(totTab) == nullptr) {
    TcxStandardLookAndFeelPainter::DrawTabBorder(ACanvas, R, ABorder, ABorders,
                                                 AVertical);
  }
}

void TcxWinXPLookAndFeelPainter::DrawTabsRoot(TcxCanvas* ACanvas,
                                              const TRect& R,
                                              TcxBorders ABorders,
                                              bool AVertical) const {
  const HTHEME theme = OpenTheme(totTab);
  TRect content;
  if (theme == nullptr ||
      !ContentRect(theme, ACanvas->Handle(), TABP_PANE, 0, R, content)) {
    TcxStandardLookAndFeelPainter::DrawTabsRoot(ACanvas, R, ABorders,
                                                AVertical);
    return;
  }
  const Integer left = content.Left - R.Left;
  const Integer top = content.Top - R.Top;
  const Integer right = R.Right - content.Right;
  const Integer bottom = R.Bottom - content.Bottom;
  // Only the pane's near edge is to show: its far edges lie outside.
  TRect pane = R;
  if (AVertical) {
    pane.Right += 10;
    pane.Bottom += bottom - top;
  } else {
    pane.Bottom += 10;
    pane.Right += right - left;
  }
  const RECT rp = ToRECT(pane);
  const RECT rc = ToRECT(R);
  DrawThemeBackground(theme, ACanvas->Handle(), TABP_PANE, 0, &rp, &rc);
}

bool TcxWinXPLookAndFeelPainter::IsDrawTabImplemented(bool AVertical) const {
  if (OpenTheme(totTab) == nullptr) {
    return TcxStandardLookAndFeelPainter::IsDrawTabImplemented(AVertical);
  }
  return true;
}

bool TcxWinXPLookAndFeelPainter::IsTabHotTrack(bool AVertical) const {
  if (OpenTheme(totTab) == nullptr) {
    return TcxStandardLookAndFeelPainter::IsTabHotTrack(AVertical);
  }
  return true;
}

Integer TcxWinXPLookAndFeelPainter::TabBorderSize(bool AVertical) const {
  if (OpenTheme(totTab) == nullptr) {
    return TcxStandardLookAndFeelPainter::TabBorderSize(AVertical);
  }
  return 1;
}

void TcxWinXPLookAndFeelPainter::DrawIndicatorItem(
    TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  cxPainterInstance<TcxFlatLookAndFeelPainter>()
      ->TcxCustomLookAndFeelPainter::DrawIndicatorItem(
          ACanvas, R, AKind, AColor, AOnDrawBackground);
}

Integer TcxWinXPLookAndFeelPainter::ScrollBarMinimalThumbSize(
    bool AVertical) const {
  constexpr Integer kLeast = 8;
  const HTHEME theme = OpenTheme(totScrollBar);
  if (theme == nullptr) return kLeast;
  const int part = AVertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ;
  auto length = [AVertical](const TSize& S) { return AVertical ? S.cy : S.cx; };
  TSize minimum;
  TSize trueSize;
  if (!PartSize(theme, part, 1, dxTS_MIN, minimum)) return kLeast;
  Integer result = length(minimum);
  if (PartSize(theme, part, 1, dxTS_TRUE, trueSize)) {
    result = std::max(result, length(trueSize) + 4);
  }
  return std::max(result, kLeast);
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarPart(
    TcxCanvas* ACanvas, bool AHorizontal, TRect R, TcxScrollBarPart APart,
    TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totScrollBar);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawScrollBarPart(ACanvas, AHorizontal, R,
                                                     APart, AState);
    return;
  }
  if (IsEmptyRect(R) || APart == sbpNone) return;
  const int state = kPlainStates[AState];
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
      DrawArrow(ACanvas, R, AState, GetArrowDirection(AHorizontal, APart),
                true);
      break;
    case sbpThumbnail:
      DrawPart(theme, ACanvas,
               AHorizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, state, R);
      DrawPart(theme, ACanvas, AHorizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT,
               0, R);
      break;
    case sbpPageUp:
      DrawPart(theme, ACanvas,
               AHorizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, state, R);
      break;
    case sbpPageDown:
      DrawPart(theme, ACanvas,
               AHorizontal ? SBP_UPPERTRACKHORZ : SBP_UPPERTRACKVERT, state, R);
      break;
    default:
      break;
  }
}

void TcxWinXPLookAndFeelPainter::DrawMonthHeader(
    TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
    TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
    TcxHeaderArrows AArrows, Integer ASideWidth,
    TcxDrawBackgroundEvent AOnDrawBackground) const {
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, cxBordersAll, cxbsNormal,
             taCenter, vaCenter, false, false, AText, AViewParams.Font,
             AViewParams.TextColor, AViewParams.Color, AOnDrawBackground,
             !ANeighbors.Contains(nRight), false);
  DrawMonthHeaderArrows(ACanvas, ABounds, AArrows, ASideWidth, clWindowText);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerNavigatorButton(
    TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  const HTHEME theme = OpenTheme(totToolBar);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawSchedulerNavigatorButton(ACanvas, R,
                                                                AState);
    return;
  }
  DrawPart(theme, ACanvas, TP_BUTTON, kToolBarStates[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerSplitterBorder(
    TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
    bool AIsHorizontal) const {
  if (OpenTheme(totComboBox) == nullptr || OpenTheme(totListView) == nullptr) {
    TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(
        ACanvas, R, AViewParams, AIsHorizontal);
    return;
  }
  const TColor color = DefaultSchedulerBorderColor();
  DrawSchedulerSplitterRings(ACanvas, R, AViewParams, AIsHorizontal,
                             {{color, color}});
}

void TcxWinXPLookAndFeelPainter::DrawSizeGrip(TcxCanvas* ACanvas,
                                              const TRect& ARect,
                                              TColor ABackgroundColor) const {
  const HTHEME theme = OpenTheme(totScrollBar);
  if (theme == nullptr) {
    TcxStandardLookAndFeelPainter::DrawSizeGrip(ACanvas, ARect, clDefault);
    return;
  }
  ACanvas->FillRect(ARect, ABackgroundColor);
  DrawPart(theme, ACanvas, SBP_SIZEBOX, 1, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawContent(
    TcxCanvas* ACanvas, HTHEME ATheme, Integer APartId, Integer AStateId,
    const TRect& /*ABounds*/, const TRect& ATextAreaBounds,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, bool AShowPrefix, const String& AText, TFont* AFont,
    TColor ATextColor, TColor /*ABkColor*/) const {
  if (AText.empty()) return;
  if (AFont != nullptr) ACanvas->SetFont(AFont);
  ACanvas->Font()->SetColor(ATextColor);
  TRect r = ATextAreaBounds;
  if (AMultiLine) {
    ACanvas->AlignMultiLineTextRectVertically(r, AText, AAlignmentVert, true,
                                              AShowPrefix);
  }
  DWORD flags = SystemAlignmentsHorz[AAlignmentHorz] | DT_EDITCONTROL |
                SystemAlignmentsVert[AAlignmentVert];
  if (AShowEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!AShowPrefix) flags |= DT_NOPREFIX;
  flags |= AMultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  const WideString text = Platform::AnsiToWide(AText);
  const RECT rt = ToRECT(r);
  DrawThemeText(ATheme, ACanvas->Handle(), APartId, AStateId,
                reinterpret_cast<LPCWSTR>(text.c_str()),
                static_cast<int>(text.size()), flags, 0, &rt);
}
