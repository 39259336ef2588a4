// The bar painters: every pixel and every metric of the toolbars, docks and
// item controls of a bar manager goes through one painter object, created
// from the class the manager's real paint style selects. A painter keeps no
// state; its operations read the controls they are handed.
//
// Sources: dxBarPainter.cpp (the base painter), dxBarStandardPainter.cpp
// (the standard and enhanced painters), dxBarFlatPainter.cpp,
// dxBarThemedPainter.cpp, dxBarPainterMenus.cpp (menu operations),
// dxBarPainterEdits.cpp (edit-like controls).
#pragma once

#include "dxBar.h"

class TdxBarHintViewInfo;
class TdxBarWinControl;
class TdxBarCustomEditControl;

enum TdxBarMDIButton : Byte { mdibMinimize, mdibRestore, mdibClose };
enum TdxBarStaticBorderStyle : Byte {
  sbsNone,
  sbsLowered,
  sbsRaised,
  sbsEtched,
  sbsBump
};

// The two colours of a caption: the first drawn one pixel down and right,
// the second on top.
struct TdxBarTextColors {
  TColor First = clNone;
  TColor Second = clNone;
};

// The glyph state flags the glyph operations pass.
struct TdxBarGlyphFlags {
  bool NoIcon = false;
  bool Selected = false;
  bool Down = false;
  bool Pressed = false;
  bool DroppedDown = false;
  bool WholeArea = false;
  bool Static = false;
  bool GrayScale = false;
  bool SplitPart = false;
};

// The draw parameters of a button-like control, beyond the common ones.
class TdxBarButtonLikeControlDrawParams : public TdxBarItemControlDrawParams {
  VARNEL_CLASS(TdxBarButtonLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  bool Down = false;
  bool DroppedDownFlat = false;
  bool IsSplit = false;
  bool IsDropDownEnabled = true;
  bool IsTextSelected = false;
  bool IsFlatText = false;
  bool IsLowered = false;
  bool IsMenuItem = false;
  bool GrayScale = false;
  TSize ArrowSize;
  // The glyph area's size along the bar, for small view sizes.
  Integer GlyphAreaSize = 0;
  TdxBarGlyphLayout GlyphLayout = glLeft;
  TdxBarButtonGroupRealPosition PositionInButtonGroup = bgrpNone;
};

enum TdxBarSpinEditButton : Byte { sbNone, sbUp, sbDown };

// The draw parameters of an edit-like control: what the control measured
// of itself (its glyph and caption areas and its text field) and its state.
// Parts: 0 the text field, 1 the glyph area, 2 the caption area, 3 the
// drop-down or up button, 4 the custom-colour or down button.
class TdxBarEditLikeControlDrawParams : public TdxBarItemControlDrawParams {
  VARNEL_CLASS(TdxBarEditLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  Integer GlyphAreaWidth = 0;
  Integer CaptionAreaWidth = 0;
  TRect TextField;
  bool Transparent = false;
  bool Focused = false;
  // Colour combos: the combo offers a custom-colour button.
  bool ShowCustomColorButton = false;
  // Spin edits: the part of the button held down (3 up, 4 down; 0 none).
  Integer ActiveButton = 0;
};

// The draw parameters of a static-like control: its text alignment, its
// border and the glyph area it keeps before its caption.
class TdxBarStaticLikeControlDrawParams : public TdxBarItemControlDrawParams {
  VARNEL_CLASS(TdxBarStaticLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  TAlignment Alignment = taLeftJustify;
  bool AllowCenter = false;
  TRect BorderOffsets;
  TdxBarStaticBorderStyle BorderStyle = sbsNone;
  Integer GlyphAreaSize = 0;
};

// A separator is a static; a titled one in a menu knows whether it is the
// menu's first row (no line above it then).
class TdxBarSeparatorControlDrawParams
    : public TdxBarStaticLikeControlDrawParams {
  VARNEL_CLASS(TdxBarSeparatorControlDrawParams,
               TdxBarStaticLikeControlDrawParams)
 public:
  using TdxBarStaticLikeControlDrawParams::TdxBarStaticLikeControlDrawParams;
  bool IsTop = false;
};

// The draw parameters of a progress item.
struct TdxBarProgressDrawParams {
  TdxBarPaintType PaintType = ptHorz;
  bool Smooth = false;
  Integer Position = 0;
  Integer Min = 0;
  Integer Max = 100;
};

// What the painters read of a menu (a sub-menu control fills it before it
// asks them to draw).
struct TdxBarSubMenuPaintInfo {
  bool Detachable = false;
  // The detach caption's area below the frame, the caption's own height,
  // its rectangle and whether the mouse is on it.
  Integer DetachCaptionAreaSize = 0;
  Integer DetachCaptionHeight = 0;
  TRect DetachCaptionRect;
  bool DetachCaptionSelected = false;
  // The width of the owner's side bar; 0 without one.
  Integer BarSize = 0;
  // The width of the glyph column.
  Integer IconAreaSize = 0;
  Integer TextSize = 0;
  // The expand band's height and its chevrons' size.
  Integer MarkSize = 0;
  Integer MarkArrowSize = 0;
  // The menu window (null when the info stands alone), its items area and
  // the brush its background takes.
  TCustomdxBarControl* Control = nullptr;
  TRect ItemsRect;
  HBRUSH BackgroundBrush = nullptr;
  // The items next to the top and the bottom scroll band.
  TdxBarItemControl* TopItem = nullptr;
  TdxBarItemControl* BottomItem = nullptr;
};
// What a menu window tells the painters; an empty info for any other bar.
TdxBarSubMenuPaintInfo dxBarGetSubMenuPaintInfo(TCustomdxBarControl* AMenu);

class TdxBarPainter : public TObject {
  VARNEL_CLASS(TdxBarPainter, TObject)
 public:
  TdxBarPainter() = default;
  // The look-and-feel's skin painter handed over at creation (may be null).
  TcxLookAndFeelPainterClass SkinPainter = nullptr;

  // --- Toolbar compound painting and caption ---
  virtual void DrawToolbarContentPart(TdxBarControl* ABarControl,
                                      TcxCanvas* ACanvas);
  virtual void DrawToolbarNonContentPart(TdxBarControl*, HDC) {}
  virtual TRect GetToolbarCaptionRect(const TRect& AWindowRect);
  virtual bool IsCompoundPainting() const { return false; }
  virtual void CorrectCaptionParams(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect& ACaptionRect,
      const TRect& AGlyphRect, TAlignment& AAlignment);

  // --- Glyph frames, arrows and text colours ---
  virtual void DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC,
                               HBRUSH ABrush, bool AFits, const TRect& R,
                               TdxBarPaintType APaintType,
                               const TdxBarGlyphFlags& AFlags);
  virtual void DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC,
                                  Integer ALeft, Integer ATop, Integer AScale);
  virtual void DrawGlyphEmptyImage(TdxBarItemControl* AControl, HDC DC,
                                   const TRect& R, TdxBarPaintType APaintType,
                                   bool ADown);
  virtual void DrawItemArrow(HDC DC, const TRect& R,
                             TcxArrowDirection ADirection, bool AEnabled,
                             bool ASelected, bool AFlat, TColor AColor);
  virtual void DrawLargeItemArrow(HDC DC, const TRect& R,
                                  TcxArrowDirection ADirection, Integer ASize,
                                  bool ASelected, bool AEnabled, bool AFlat,
                                  TColor AColor);
  virtual void FrameFlatSelRect(HDC, const TRect&) {}
  virtual TColor GetDefaultEnabledTextColor(TdxBarItemControl* AControl,
                                            bool ASelected, bool AFlat);
  virtual TdxBarTextColors GetDisabledTextColors(TdxBarItemControl* AControl,
                                                 bool ASelected, bool AFlat);
  virtual TColor GetEnabledTextColor(TdxBarItemControl* AControl,
                                     bool ASelected, bool AFlat);
  virtual TdxBarTextColors GetTextColors(TdxBarItemControl* AControl,
                                         bool AEnabled, bool ASelected,
                                         bool AFlat);
  virtual TColor GetItemArrowColor(
      const TdxBarButtonLikeControlDrawParams& AParams);
  virtual bool GetFaded(TdxBarManager* AManager);
  virtual bool IgnoreGlyphOpaque() const { return false; }
  virtual bool IgnoreNonRecentColor() const { return false; }
  virtual bool IsMenuItem(TdxBarItemControl* AControl);
  virtual bool UseTextColorForItemArrow() const { return false; }

  // --- Hints ---
  virtual TPoint GetBarItemContolHintPosition(TCustomdxBarControl* ABarControl,
                                              const TRect& AItemBounds,
                                              const TPoint& ACursorPos,
                                              Integer ACursorHeight);
  // The hint to show at the mouse cursor: a plain one, whether or not the
  // item has a screen tip (screen tips are not drawn by these painters).
  virtual TObjectPtr<TdxBarHintViewInfo> CreateHintViewInfo(
      TdxBarManager* AManager, const String& AHint, const String& AShortCut,
      TObject* AScreenTip);

  // --- Toolbar caption and mark ---
  virtual bool BarIsBarSmall(const TRect& R) const { return R.Height() < 17; }
  virtual TColor BarCaptionBkColor(bool AActive);
  virtual TColor BarCaptionColor(TdxBarControl* ABarControl);
  virtual TColor BarMarkArrowColor(TdxBarControl* ABarControl,
                                   TdxBarMarkState AState);
  virtual void BarDrawGrip(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                           HBRUSH ABrush);
  virtual void BarDrawMarkArrow(TdxBarControl* ABarControl, HDC DC,
                                const TRect& R);
  virtual void BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC,
                                const TRect& R, Integer AOffset);
  virtual void BarDrawMarkBackground(TdxBarControl*, HDC, const TRect&,
                                     HBRUSH) {}
  virtual void BarDrawMarkElements(TdxBarControl* ABarControl, HDC DC,
                                   const TRect& R);
  virtual Integer GetDrawMarkElementColor(TdxBarControl* ABarControl);

  // --- Button captions ---
  virtual void ButtonLikeControlDoDrawCaption(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R,
      TAlignment AAlignment);
  virtual TRect GetControlTextIndents() const { return {4, 0, 0, 0}; }
  virtual void InflateSizeForArrow(
      const TdxBarButtonLikeControlDrawParams& AParams, Integer& AWidth);
  virtual Integer GetDotSpaceAfter(Integer ADotSize) const { return ADotSize; }

  // --- Menu scrolling ---
  virtual void SubMenuControlFillScrollArrow(TcxCanvas* ACanvas, const TRect& R,
                                             TColor AColor);
  virtual void SubMenuControlDrawScrollArrow(
      const TdxBarSubMenuPaintInfo& AMenu, TcxCanvas* ACanvas, const TRect& R,
      TColor AColor, TcxArrowDirection ADirection);
  virtual void SubMenuControlDrawScrollBand(const TdxBarSubMenuPaintInfo& AMenu,
                                            TcxCanvas* ACanvas,
                                            TcxArrowDirection ADirection);
  virtual void SubMenuControlDrawScrollBandBackground(
      const TdxBarSubMenuPaintInfo& AMenu, TcxCanvas* ACanvas,
      TcxArrowDirection ADirection);
  // Personalised menus have no recency runs yet: nothing to separate.
  virtual void SubMenuControlDrawNonRecentGroupSeparator(
      const TdxBarSubMenuPaintInfo&, TcxCanvas*, TcxArrowDirection) {}
  virtual TRect SubMenuControlGetScrollBandBounds(
      const TdxBarSubMenuPaintInfo& AMenu, TcxArrowDirection ADirection);
  virtual Integer SubMenuControlGetScrollBandSize(
      const TdxBarSubMenuPaintInfo& AMenu) const {
    return AMenu.TextSize;
  }
  virtual Integer SubMenuControlGetScrollArrowSize(Integer ASize) const {
    return ASize / 3 - 1;
  }
  virtual void SubMenuControlDrawScrollButton(const TdxBarSubMenuPaintInfo&,
                                              TcxCanvas*, TcxArrowDirection) {}
  virtual bool SubMenuControlUseScrollButtons() const { return false; }

  // --- Part layout ---
  virtual void CalculateButtonParts(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect* AParts,
      Integer APartCount, const TRect& ABounds);

  // --- General metrics ---
  virtual TRect GetToolbarContentOffsets(TdxBar* ABar,
                                         TdxBarDockingStyle AStyle,
                                         bool AHasSizeGrip);
  virtual Integer GetToolbarsOffsetForAutoAlign() const { return 0; }
  virtual Integer GetBorderSize() const { return 0; }
  virtual Integer GetControlCaptionOffset(TCustomdxBarControl* ABarControl);
  virtual Integer GetDefaultTextSize(TcxCanvas* ACanvas);
  virtual Integer GetPopupWindowBorderWidth() const { return 2; }
  virtual TRect GetLargeImageBounds(const TSize& AImageSize, const TRect& R,
                                    TdxBarPaintType APaintType,
                                    TdxBarItemControlViewStructure AStructure,
                                    TdxBarGlyphLayout ALayout);

  // --- Item background, glyph and text ---
  virtual void DrawBackground(TdxBarItemControl* AControl, HDC DC,
                              const TRect& R, HBRUSH ABrush, bool AOpaque);
  virtual void DrawBackgroundFrameRect(TdxBarItemControl* AControl, HDC DC,
                                       const TRect& R, HBRUSH ABrush,
                                       bool AOpaque);
  virtual void DrawDisabledShadowRect(TdxBarItemControl* AControl, HDC DC,
                                      const TRect& R);
  virtual void DrawItemText(TdxBarItemControl* AControl, HDC DC,
                            const String& AText, const TRect& R,
                            TAlignment AAlignment, bool AEnabled,
                            bool ASelected, bool AVertical, bool AClip,
                            bool AAllowFlat, UINT AFlags = DT_SINGLELINE);
  virtual void DrawLowered(HDC DC, TRect& R);
  virtual void FrameAndFillRect(TdxBarItemControl*, HDC, TRect&, bool, bool,
                                bool) {}
  virtual TRect GetCaptionOffsets() const { return {2, 2, 2, 3}; }
  virtual HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl,
                                 TdxBarPaintType APaintType,
                                 const TdxBarGlyphFlags& AFlags);
  virtual Integer GlyphDownShift(TdxBarItemControl*) const { return 0; }
  virtual Integer GlyphDrawDownedShift(TdxBarItemControl*, bool) const {
    return 0;
  }
  virtual bool IsFlatGlyphImage() const { return false; }
  virtual bool IsFlatItemText() const { return false; }
  bool IsFlatItemTextForMenu() const;
  virtual bool IsCustomSelectedTextColorExists() const { return false; }
  virtual bool IsGlyphImageHasShadow() const { return false; }
  virtual bool IsItemTextSelectedInverted() const { return true; }
  virtual Integer LoweredBorderSize() const { return 0; }
  virtual Integer TextAreaOffset(TdxBarItemControl* AControl);
  // Places the control's glyph in R (over ABackground, or R when that is
  // empty), draws it with its background and frame and answers its place.
  TRect DrawGlyph(const TdxBarButtonLikeControlDrawParams& AParams,
                  const TRect& R, const TRect& ABackground,
                  TdxBarGlyphFlags AFlags);
  virtual void DrawGlyphAndBkgnd(TdxBarItemControl* AControl, HDC DC,
                                 const TRect& ABackground,
                                 const TRect& AGlyphRect,
                                 TdxBarPaintType APaintType, TBitmap* AGlyph,
                                 TCustomImageList* AImages, Integer AImageIndex,
                                 const TdxBarGlyphFlags& AFlags);
  virtual bool IsGlyphImageTransparent(TdxBarItemControl*) const {
    return IsNativeBackground();
  }
  virtual bool IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl,
                                            bool ADown, bool ANoIcon,
                                            bool ASelected, bool APressed);
  // The glyph's place in a small view size's area.
  TRect GetSmallImageBounds(const TSize& AImageSize, const TRect& AArea,
                            bool ANoIcon, bool ADown, bool APressed,
                            TdxBarItemControl* AControl = nullptr);

  // --- Toolbar grip and frame metrics ---
  virtual Integer BeforeFingersSize() const { return 0; }
  virtual Integer BorderSizeX() const;
  virtual Integer BorderSizeY() const;
  virtual Integer EmptyFingersSize() const { return 0; }
  virtual Integer FingersSize(TdxBarControl*) const { return 0; }
  virtual Integer GripperSize() const { return 3; }
  virtual Integer RealButtonArrowWidth(TdxBarManager* AManager);
  virtual Integer RealLargeButtonArrowWidth(TdxBarManager* AManager);
  virtual Integer SubMenuBeginGroupIndent() const { return 0; }
  Integer BarFingersSize(TdxBar* ABar);

  // --- Dock and bar backgrounds and brushes ---
  virtual void DockControlFillBackground(TdxDockControl* ADockControl, HDC DC,
                                         const TRect& ADestRect,
                                         const TRect& ASourceRect,
                                         const TRect& AWholeRect, HBRUSH ABrush,
                                         TColor AColor);
  virtual bool IsNativeBackground() const { return false; }
  virtual bool BarChildrenHaveShadows() const { return false; }
  virtual Integer BarDockedGetRowIndent() const { return 0; }
  virtual void BarDrawDockedBackground(TdxBarControl* ABarControl, HDC DC,
                                       const TRect& ADestRect,
                                       const TRect& ASourceRect, HBRUSH ABrush,
                                       TColor AColor);
  virtual void BarDrawFloatingBackground(TdxBarControl* ABarControl, HDC DC,
                                         const TRect& ADestRect,
                                         const TRect& ASourceRect,
                                         HBRUSH ABrush, TColor AColor);
  virtual HBRUSH BarToolbarBrush(TCustomdxBarControl* ABarControl);
  virtual HBRUSH BarToolbarBrushEx(TCustomdxBarControl* ABarControl);
  virtual HBRUSH BarToolbarDownedBrush(TCustomdxBarControl* ABarControl);
  virtual HBRUSH BarToolbarDownedSelBrush(TCustomdxBarControl* ABarControl);
  virtual HBRUSH BarToolbarSelBrush(TCustomdxBarControl* ABarControl);
  virtual Integer ComboBoxArrowWidth(Integer AArrowSignWidth) const {
    return 2 * AArrowSignWidth - 1;
  }

  // --- Toolbars ---
  virtual bool BarAllowHotTrack() const { return true; }
  virtual bool BarAllowQuickCustomizing() const { return true; }
  virtual Integer BarBeginGroupSideSize() const {
    return (BarBeginGroupSize() - 2) / 2;
  }
  virtual Integer BarBeginGroupSize() const { return 6; }
  virtual TRect BarBorderPaintSizes(TdxBarControl* ABarControl);
  virtual Integer BarBorderSize() const { return 1; }
  virtual TRect BarBorderSizes(TdxBar* ABar, TdxBarDockingStyle AStyle);
  virtual Integer BarCaptionAreaSize() const { return BarCaptionSize() + 1; }
  virtual Integer BarCaptionSize() const;
  virtual bool BarCaptionTransparent() const { return false; }
  virtual TSize BarCloseButtonSize() const;
  virtual void BarDrawBackground(TdxBarControl* ABarControl, HDC DC,
                                 const TRect& ADestRect,
                                 const TRect& ASourceRect, HBRUSH ABrush,
                                 TColor AColor);
  virtual void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC,
                                 const TRect& R, HBRUSH ABrush,
                                 bool AHorizontal);
  virtual void BarDrawCaptionElement(TdxBarControl* ABarControl, HDC DC,
                                     const TRect& R, TdxBarMarkState AState);
  virtual void BarDrawCloseButton(TdxBarControl*, HDC, const TRect&) {}
  virtual void BarDrawDockedBarBorder(TdxBarControl*, HDC, TRect, HBRUSH) {}
  virtual void BarDrawFloatingBarBorder(TdxBarControl*, HDC, TRect,
                                        const TRect&, HBRUSH) {}
  virtual void BarDrawFloatingBarCaption(TdxBarControl* ABarControl, HDC DC,
                                         TRect ACaptionRect,
                                         const TRect& AWindowRect,
                                         HBRUSH ABrush);
  virtual void BarDrawMark(TdxBarControl* ABarControl, HDC DC, const TRect& R);
  virtual void BarDrawMarks(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                            HBRUSH ABrush);
  virtual void BarDrawMDIButton(TdxBarControl*, TdxBarMDIButton, Integer, HDC,
                                const TRect&) {}
  virtual Integer BarHorSize() const { return 0; }
  virtual TRect BarMarkItemRect(TdxBarControl* ABarControl);
  virtual Integer BarTopSize() const { return 0; }
  virtual Integer BarBottomSize() const { return 0; }
  virtual bool BarUseSystemClose() const { return false; }
  virtual bool BarUseSystemNCBorder() const { return false; }
  virtual Integer MarkSizeX(TdxBarControl*) const { return 11; }

  // --- Status bar ---
  virtual TRect StatusBarBorderOffsets() const { return {}; }
  virtual Integer StatusBarTopBorderSize() const { return 2; }
  virtual TSize StatusBarGripSize(TdxBarManager* AManager) const;

  // --- Quick customization and item indents ---
  virtual bool IsQuickControlPopupOnRight() const { return false; }
  virtual TRect ItemControlGetIndents() const { return {3, 0, 3, 0}; }

  // --- Buttons ---
  virtual HBRUSH ButtonControlArrowBrush(
      const TdxBarButtonLikeControlDrawParams& AParams);
  virtual bool IsButtonControlArrowBackgroundOpaque(
      const TdxBarButtonLikeControlDrawParams& AParams);
  virtual bool IsButtonControlArrowDrawSelected(
      const TdxBarButtonLikeControlDrawParams& AParams);
  virtual bool IsButtonControlArrowFlat() const { return IsFlatItemText(); }
  virtual bool IsDropDownRepaintNeeded() const { return IsFlatItemText(); }
  virtual Integer GetButtonBorderHeight() const { return 6; }
  virtual Integer GetButtonBorderWidth() const { return 7; }
  Integer GetButtonHeight(Integer AGlyphSize) const {
    return AGlyphSize + GetButtonBorderHeight();
  }
  Integer GetButtonWidth(Integer AGlyphSize) const {
    return AGlyphSize + GetButtonBorderWidth();
  }
  TSize GetButtonSize(Integer AGlyphSize) const {
    return {GetButtonWidth(AGlyphSize), GetButtonHeight(AGlyphSize)};
  }
  virtual TSize GetDefaultArrowSignSize() const { return {5, 3}; }
  virtual void CorrectButtonControlDefaultHeight(Integer&) const {}
  virtual void CorrectButtonControlDefaultWidth(Integer&) const {}
  virtual void OffsetCaptionBounds(bool ADown, bool APressed, TRect& R);
  virtual void OffsetEllipsisBounds(bool ADown, TRect& R);
  virtual void DrawButtonLikeControl(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R);
  // The split or associated drop-down arrow of a control that has one.
  void DrawButtonLikeControlArrow(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R);
  virtual void DrawButtonControlArrow(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect R);
  virtual void DrawButtonControlArrowBackground(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect& R,
      HBRUSH ABrush);
  virtual void DrawSplitControlArrow(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R);
  virtual void DrawAssociateControlArrow(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R);

  // --- Combos ---
  virtual TColor ComboControlArrowColor() const { return clBtnText; }
  virtual Integer ComboControlArrowOffset() const { return 1; }
  virtual Integer DropDownListBoxBorderSize() const { return 2; }
  virtual void DropDownListBoxDrawBorder(HDC, TColor, const TRect&) {}

  // --- Menus ---
  virtual bool SubMenuControlIsOffsetRecentGroupNeeded() const { return false; }
  virtual Integer SubMenuControlArrowsOffset() const { return 2; }
  virtual Integer SubMenuControlArrowWidth(Integer ASize) const {
    return ASize / 4 * 3 + 1;
  }
  virtual Integer SubMenuControlBeginGroupSize() const { return 10; }
  Integer SubMenuControlBorderSize() const {
    return SubMenuControlNCBorderSize() + SubMenuControlClientBorderSize();
  }
  virtual Integer SubMenuControlNCBorderSize() const { return 1; }
  virtual Integer SubMenuControlClientBorderSize() const { return 1; }
  virtual Integer SubMenuControlInternalBorderSize() const { return 0; }
  virtual Integer SubMenuControlInternalBorderOffset() const { return 0; }
  virtual Integer SubMenuControlMarkArrowSize(Integer ASize) const {
    return (ASize - 6) / 2;
  }
  virtual Integer SubMenuControlNormalItemHeight() const { return 19; }
  virtual Integer SubMenuControlTextSize(TcxCanvas* ACanvas) {
    return GetDefaultTextSize(ACanvas);
  }
  virtual TRect SubMenuControlOffsetDetachCaptionRect(const TRect& R) const {
    return Rect(R.Left + 3, R.Top + 3, R.Right - 3, R.Bottom - 3);
  }
  virtual HBRUSH SubMenuControlToolbarItemsBrush() const;
  virtual Integer SubMenuGetSeparatorSize() const { return 2; }
  virtual void SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas,
                                               Integer ATextSize,
                                               Integer& AMarkSize,
                                               Integer& AArrowWidth);
  virtual TRect SubMenuControlContentRectOffset(
      const TdxBarSubMenuPaintInfo& AMenu);
  virtual Integer SubMenuControlGetBandSize(
      const TdxBarSubMenuPaintInfo& AMenu) const {
    return AMenu.IconAreaSize;
  }
  virtual Integer SubMenuControlGetItemTextIndent(
      const TdxBarSubMenuPaintInfo& AMenu) const;
  virtual TRect SubMenuControlGetItemIconRect(const TRect& R, Integer AWidth);
  virtual TRect SubMenuControlGetItemTextRect(
      const TdxBarSubMenuPaintInfo& AMenu, const TRect& R);
  virtual Integer SubMenuControlDetachCaptionAreaSize(
      const TdxBarSubMenuPaintInfo& AMenu) const {
    return AMenu.DetachCaptionHeight + 3;
  }
  virtual void SubMenuControlDrawBorder(const TdxBarSubMenuPaintInfo& AMenu,
                                        HDC DC, TRect R);
  virtual void SubMenuControlDrawClientBorder(
      const TdxBarSubMenuPaintInfo& AMenu, HDC DC, TRect R, HBRUSH ABrush);
  virtual void SubMenuControlDrawDetachCaption(
      const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R);
  virtual void SubMenuControlDrawSeparator(HDC DC, const TRect& R);
  // The expand button at the bottom of a personalised menu.
  virtual void SubMenuControlDrawMarkBand(const TdxBarSubMenuPaintInfo& AMenu,
                                          HDC DC, const TRect& R,
                                          bool ASelected);
  virtual void SubMenuControlDrawMarkSelection(
      const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R);
  virtual void SubMenuControlDrawMarkContent(
      const TdxBarSubMenuPaintInfo& AMenu, HDC DC, const TRect& R,
      bool ASelected);
  virtual void SubMenuControlDrawBackground(const TdxBarSubMenuPaintInfo& AMenu,
                                            HDC DC, const TRect& R,
                                            HBRUSH ABrush, TColor AColor);
  // The brush a menu fills its background with, from the one it is given.
  virtual HBRUSH SubMenuControlPrepareBkBrush(HBRUSH ABrush) const {
    return BarAllowHotTrack() ? SubMenuControlToolbarItemsBrush() : ABrush;
  }
  // The strip of a group separator directly above an item.
  virtual TRect SubMenuControlBeginGroupRect(
      const TdxBarSubMenuPaintInfo& AMenu, TdxBarItemControl* AControl,
      const TRect& AItemRect);
  virtual void SubMenuControlDrawBeginGroup(const TdxBarSubMenuPaintInfo& AMenu,
                                            TdxBarItemControl* AControl,
                                            TcxCanvas* ACanvas, const TRect& R);
  virtual void SubMenuControlDrawItemFrame(const TdxBarSubMenuPaintInfo&,
                                           TdxBarItemControl*, HDC,
                                           const TRect&, Integer) {}

  // --- Menu items ---
  virtual void DrawItemBackgroundInSubMenu(
      const TdxBarButtonLikeControlDrawParams&, const TRect&) {}
  // The glyph in the menu's icon column, then the caption and shortcut.
  void DrawGlyphAndTextInSubMenu(
      const TdxBarButtonLikeControlDrawParams& AParams, const TRect& R);
  void DrawItemTextInSubMenu(const TdxBarButtonLikeControlDrawParams& AParams,
                             const TRect& R);

  // --- Edits (dxBarPainterEdits.cpp) ---
  virtual TColor EditGetEnabledBkColor() const;
  virtual TColor EditGetEnabledTextColor() const;
  virtual TColor EditGetDisabledTextColor() const;
  virtual TRect EditControlBorderOffsets(TdxBarPaintType) const {
    return {2, 2, 2, 2};
  }
  TRect EditControlGetContentRect(TdxBarPaintType APaintType,
                                  const TRect& R) const;
  virtual void CalculateEditParts(
      const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
      Integer APartCount, const TRect& ABounds);
  virtual void CalculateComboParts(
      const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
      Integer APartCount, const TRect& ABounds);
  virtual void CalculateColorComboParts(
      const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
      Integer APartCount, const TRect& ABounds);
  virtual void CalculateSpinEditParts(
      const TdxBarEditLikeControlDrawParams& AParams, TRect* AParts,
      Integer APartCount, const TRect& ABounds);
  virtual Integer EditTextSize(Integer AFontHeight) const;
  // The caption and glyph of an edit-like control around its field; the
  // field's frame and text are the control's (DrawFrame, DrawTextField).
  virtual void DrawEditLikeControl(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R);
  virtual void EditControlDrawBackground(
      const TdxBarEditLikeControlDrawParams& AParams);
  virtual void EditControlDrawSelectionFrame(
      const TdxBarEditLikeControlDrawParams&, const TRect&) {}
  virtual void EditControlDrawGlyph(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R);
  virtual void EditControlDrawCaption(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R);
  // The committed text in the field, in the edit window's colours.
  virtual void EditControlDrawTextField(TdxBarCustomEditControl* AControl,
                                        TcxCanvas* ACanvas, const TRect& R);
  virtual TRect EditControlIndents(
      const TdxBarEditLikeControlDrawParams& AParams,
      TdxBarItemControlPart APart) const;
  virtual bool EditControlShowIconDefault(
      const TdxBarEditLikeControlDrawParams&) const {
    return false;
  }
  virtual bool EditControlCaptionBackgroundIsOpaque(
      const TdxBarEditLikeControlDrawParams& AParams) const;
  virtual bool EditControlCaptionRightIndentIsOpaque(
      const TdxBarEditLikeControlDrawParams& AParams) const;
  virtual TRect EditControlSubMenuGlyphIndents() const { return {4, 0, 0, 0}; }
  // The text rectangle inside a field, as the edit window shows it too.
  TRect EditOffsetInteriorRect(const TRect& R) const;
  // The edit window's formatting rectangle follows the field.
  void EditControlPrepareEditWnd(TdxBarWinControl* AControl, HWND AEdit) const;
  static void EditControlUpdateWndText(HWND AEdit, bool ANotify);
  // The frame of the text field; R shrinks to what is inside it.
  virtual void EditControlDrawBorder(
      const TdxBarEditLikeControlDrawParams& AParams, TRect& R);
  // The edit window's colours: a disabled edit shows grey text on the
  // bar's background.
  virtual void EditGetColors(const TdxBarEditLikeControlDrawParams& AParams,
                             TColor& ATextColor, TColor& ABkColor);
  // Combos.
  virtual Integer ComboControlArrowSize(const TRect& AButton) const;
  virtual void ComboControlDrawArrowButton(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R,
      bool APressed);
  virtual TRect ComboControlButtonOffsets(TdxBarPaintType APaintType) const {
    return EditControlBorderOffsets(APaintType);
  }
  // The list's text for an index (-1: the combo's own text) at the left.
  static void CustomComboDrawItem(TcxCanvas* ACanvas, const String& AText,
                                  const TRect& R);
  // Colour combos.
  virtual TRect GetCustomColorButtonIndents(TdxBarPaintType) const {
    return {1, 2, 1, 2};
  }
  virtual Integer GetCustomColorButtonWidth(TdxBarPaintType APaintType,
                                            const TRect& R) const;
  TRect GetCustomColorButtonBounds(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R) const;
  virtual bool ColorComboHasCompleteFrame() const { return false; }
  virtual void DrawDots(const TdxBarEditLikeControlDrawParams& AParams,
                        const TRect& R, bool APressed);
  virtual void DrawDot(const TdxBarEditLikeControlDrawParams& AParams,
                       const TRect& R);
  // Spin edits.
  static TSize GetSpinEditArrowSize(Integer AHeight);
  virtual TRect GetSpinEditButtonIndents() const { return {1, 0, 1, 0}; }
  Integer GetSpinEditButtonWidth(const TRect& R) const;
  TRect GetSpinEditButtonBounds(const TdxBarEditLikeControlDrawParams& AParams,
                                const TRect& R,
                                TdxBarSpinEditButton AButton) const;
  // 1 normal, 2 hot, 3 pressed, 4 disabled.
  static Integer GetSpinEditButtonState(
      const TdxBarEditLikeControlDrawParams& AParams, Integer APart);
  TPoint GetSpinEditArrowPos(const TdxBarEditLikeControlDrawParams& AParams,
                             const TRect& R, Integer APart) const;
  virtual void SpinEditControlDrawButton(
      const TdxBarEditLikeControlDrawParams& AParams, const TRect& R,
      Integer APart);
  virtual void DrawSpinEditArrow(const TdxBarEditLikeControlDrawParams& AParams,
                                 const TPoint& P, Integer APart);
  // The triangle of a spin arrow of the width, its base at P.
  static void SpinEditControlDrawArrowByPoints(HDC DC, const TPoint& P,
                                               Integer AWidth, bool AUp,
                                               int ASysColor);
  // Date navigator.
  virtual bool IsDateNavigatorFlat() const { return false; }
  virtual void DateNavigatorDrawButton(HDC DC, TRect R, const String& ACaption,
                                       bool APressed);
  static void DateNavigatorDrawButtonCaption(HDC DC, const TRect& R,
                                             Integer AOffset,
                                             const String& ACaption,
                                             bool AOpaque);
  virtual Integer EditControlES_Style() const {
    return ES_MULTILINE | ES_AUTOHSCROLL;
  }
  virtual Integer EditControlCaptionRightIndent() const { return 4; }
  virtual Integer EditControlCaptionRelativeLeftIndent() const { return 2; }
  virtual Integer EditControlCaptionAbsoluteLeftIndent() const { return 2; }
  virtual TRect GetEditTextVerticalOffsets() const { return {0, 2, 0, 2}; }

  // --- Progress bar ---
  virtual TColor ProgressControlBarBrushColor() const;
  virtual Integer ProgressControlBarHeight() const { return 12; }
  virtual Integer ProgressControlIndent() const { return 0; }
  virtual void ProgressControlDrawBar(const TdxBarProgressDrawParams& AParams,
                                      HDC DC, const TRect& R, TColor AColor);
  virtual void ProgressControlFillContent(HDC DC, const TRect& R,
                                          HBRUSH ABrush);
  virtual void ProgressControlFillDiscreteContent(HDC DC, const TRect& R,
                                                  HBRUSH ABrush) {
    ProgressControlFillContent(DC, R, ABrush);
  }

  // --- Static texts and separators ---
  // The border widths of a static's style, the same on every side.
  virtual TRect StaticControlGetBorderOffsets(
      TdxBarStaticBorderStyle AStyle) const;
  // Draws the style's border around R and leaves in R what is inside it
  // (AOffsets: the border widths the static carries).
  virtual void DrawStaticBorder(HDC DC, TdxBarStaticBorderStyle AStyle,
                                const TRect& AOffsets, TRect& R);
  virtual TRect SeparatorControlGetIndents() const { return {6, 0, 0, 0}; }
  // The whole static: the indent strips along the bar cut off R, then the
  // border; R keeps what is inside for the interior.
  virtual void DrawStaticLikeControl(
      const TdxBarStaticLikeControlDrawParams& AParams, TRect& R,
      Integer ALeadingIndent, Integer ATrailingIndent);
  virtual void DrawStaticBackground(
      const TdxBarStaticLikeControlDrawParams& AParams, const TRect& R);
  virtual void DrawStaticGlyphAndCaption(
      const TdxBarStaticLikeControlDrawParams& AParams, const TRect& R);
  virtual bool StaticBackgroundIsOpaque(TdxBarItemControl* AControl) const;
  virtual void DrawSeparatorControl(
      const TdxBarSeparatorControlDrawParams& AParams, const TRect& R);
  virtual void DrawSeparatorGlyphAndCaption(
      const TdxBarSeparatorControlDrawParams& AParams, const TRect& R) {
    DrawStaticGlyphAndCaption(AParams, R);
  }

  // --- Container and in-place sub-item ---
  virtual Integer ContainerControlSubMenuOffset() const { return 0; }
  virtual Integer InPlaceSubItemGetTextIndent() const { return 5; }
  virtual HBRUSH InPlaceSubItemControlBrush() const {
    return ::GetSysColorBrush(COLOR_BTNSHADOW);
  }

  // --- Screen tips ---
  virtual TColor ScreenTipGetDescriptionTextColor() const { return clDefault; }
  virtual TColor ScreenTipGetTitleTextColor() const { return clDefault; }
  virtual Integer ScreenTipGetFooterLineSize() const { return 3; }
  virtual void ScreenTipDrawBackground(TcxCanvas*, const TRect&) {}
  virtual void ScreenTipDrawFooterLine(TcxCanvas*, const TRect&) {}

 protected:
  // Fills the separator's two side strips of BarBeginGroupSideSize with the
  // bar's background and answers the rectangle between them.
  TRect FillBeginGroupSides(TCustomdxBarControl* ABarControl, HDC DC,
                            const TRect& R, HBRUSH ABrush, bool AHorizontal);
  // The bands of a menu item around its icon column and beside it: the
  // selection brush when drawn selected, else ANormal.
  void DrawSubMenuItemBands(const TdxBarButtonLikeControlDrawParams& AParams,
                            const TRect& R, HBRUSH ANormal);
  // The docked background: the dock control's own, continued under the
  // toolbar.
  void BarFillParentBackground(TdxBarControl* ABarControl, HDC DC,
                               const TRect& ADestRect, const TRect& ASourceRect,
                               HBRUSH ABrush, TColor AColor);
};

class TdxBarStandardPainter : public TdxBarPainter {
  VARNEL_CLASS(TdxBarStandardPainter, TdxBarPainter)
 public:
  void DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush,
                       bool AFits, const TRect& R, TdxBarPaintType APaintType,
                       const TdxBarGlyphFlags& AFlags) override;
  void DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC, Integer ALeft,
                          Integer ATop, Integer AScale) override;
  bool IgnoreGlyphOpaque() const override { return true; }
  bool BarIsBarSmall(const TRect&) const override { return false; }
  void BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                        Integer AOffset) override;
  void BarDrawMarkBackground(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                             HBRUSH ABrush) override;
  Integer GetBorderSize() const override { return 2; }
  void DrawDisabledShadowRect(TdxBarItemControl* AControl, HDC DC,
                              const TRect& R) override;
  void FrameAndFillRect(TdxBarItemControl* AControl, HDC DC, TRect& R,
                        bool AEnabled, bool ASelected, bool APressed) override;
  TRect GetCaptionOffsets() const override { return {2, 1, 2, 1}; }
  HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl,
                         TdxBarPaintType APaintType,
                         const TdxBarGlyphFlags& AFlags) override;
  Integer GlyphDownShift(TdxBarItemControl*) const override { return 1; }
  Integer GlyphDrawDownedShift(TdxBarItemControl*, bool) const override {
    return 1;
  }
  Integer LoweredBorderSize() const override { return 1; }
  Integer BeforeFingersSize() const override { return 2; }
  Integer FingersSize(TdxBarControl*) const override {
    return 2 * GripperSize() + BeforeFingersSize() + 1;
  }
  Integer SubMenuBeginGroupIndent() const override { return 2; }
  TRect GetEditTextVerticalOffsets() const override { return {0, 0, 0, 2}; }
  bool BarAllowHotTrack() const override { return false; }
  bool BarAllowQuickCustomizing() const override { return false; }
  void BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC,
                          const TRect& R) override;
  void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                              HBRUSH ABrush) override;
  void BarDrawFloatingBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                                const TRect& AClientRect,
                                HBRUSH ABrush) override;
  void BarDrawMDIButton(TdxBarControl* ABarControl, TdxBarMDIButton AButton,
                        Integer AState, HDC DC, const TRect& R) override;
  Integer BarHorSize() const override { return 4; }
  TRect BarMarkItemRect(TdxBarControl* ABarControl) override;
  Integer BarTopSize() const override { return 2; }
  Integer BarBottomSize() const override { return 1; }
  bool BarUseSystemClose() const override { return true; }
  bool BarUseSystemNCBorder() const override { return true; }
  void DrawButtonControlArrowBackground(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect& R,
      HBRUSH ABrush) override;
  void DropDownListBoxDrawBorder(HDC DC, TColor AColor,
                                 const TRect& R) override;
  bool SubMenuControlIsOffsetRecentGroupNeeded() const override { return true; }
  Integer SubMenuControlClientBorderSize() const override { return 2; }
  void DrawItemBackgroundInSubMenu(
      const TdxBarButtonLikeControlDrawParams& AParams,
      const TRect& R) override;
  TRect SubMenuControlContentRectOffset(
      const TdxBarSubMenuPaintInfo& AMenu) override;
};

class TdxBarEnhancedPainter : public TdxBarStandardPainter {
  VARNEL_CLASS(TdxBarEnhancedPainter, TdxBarStandardPainter)
 public:
  void BarDrawMarkAtPos(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                        Integer AOffset) override;
  void BarDrawMarkBackground(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                             HBRUSH ABrush) override;
  Integer BeforeFingersSize() const override { return 1; }
  Integer FingersSize(TdxBarControl*) const override {
    return GripperSize() + BeforeFingersSize() + 2;
  }
  Integer SubMenuBeginGroupIndent() const override { return 12; }
  bool BarAllowQuickCustomizing() const override { return true; }
  void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                              HBRUSH ABrush) override;
};

// The flat painter's five brushes, from the system colours; rebuilt when
// those change.
struct TdxBarFlatBrushes {
  HBRUSH Border = nullptr;
  HBRUSH Toolbar = nullptr;
  HBRUSH Downed = nullptr;
  HBRUSH DownedSel = nullptr;
  HBRUSH Selected = nullptr;
};
const TdxBarFlatBrushes& dxBarFlatBrushes();
void dxBarRebuildFlatBrushes();
// The unit's exit: the shared flat painter and the painters' brushes go.
void dxBarFreeFlatPainter();
void dxBarFreeThemeToolbarBrush();
TColor dxBarFlatToolbarsBorderColor();
TColor dxBarFlatToolbarsColor();

class TdxBarFlatPainter : public TdxBarPainter {
  VARNEL_CLASS(TdxBarFlatPainter, TdxBarPainter)
 public:
  // --- Added operations ---
  virtual void DrawFrameRect(TdxBarItemControl* AControl, HDC DC,
                             const TRect& R, HBRUSH ABrush,
                             TdxBarPaintType APaintType, bool ASelected,
                             bool ADowned);
  virtual HBRUSH GetToolbarBrush(TdxBarItemControl* AControl);
  virtual HBRUSH StaticBorderBrush(TdxBarItemControl* AControl,
                                   TdxBarStaticBorderStyle AStyle);
  virtual TColor SubMenuControlGetSeparatorColor() const;

  // --- Overrides ---
  void DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush,
                       bool AFits, const TRect& R, TdxBarPaintType APaintType,
                       const TdxBarGlyphFlags& AFlags) override;
  void DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC, Integer ALeft,
                          Integer ATop, Integer AScale) override;
  void FrameFlatSelRect(HDC DC, const TRect& R) override;
  TColor BarCaptionBkColor(bool AActive) override;
  TColor BarMarkArrowColor(TdxBarControl* ABarControl,
                           TdxBarMarkState AState) override;
  Integer GetDrawMarkElementColor(TdxBarControl* ABarControl) override;
  void BarDrawMarkBackground(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                             HBRUSH ABrush) override;
  Integer GetBorderSize() const override { return 1; }
  Integer GetControlCaptionOffset(TCustomdxBarControl* ABarControl) override;
  void DrawLowered(HDC DC, TRect& R) override;
  void FrameAndFillRect(TdxBarItemControl* AControl, HDC DC, TRect& R,
                        bool AEnabled, bool ASelected, bool APressed) override;
  HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl,
                         TdxBarPaintType APaintType,
                         const TdxBarGlyphFlags& AFlags) override;
  bool IsFlatGlyphImage() const override { return true; }
  bool IsFlatItemText() const override { return true; }
  bool IsGlyphImageBackgroundOpaque(TdxBarItemControl* AControl, bool ADown,
                                    bool ANoIcon, bool ASelected,
                                    bool APressed) override;
  bool IsGlyphImageHasShadow() const override { return true; }
  Integer LoweredBorderSize() const override { return 1; }
  Integer TextAreaOffset(TdxBarItemControl* AControl) override;
  Integer BeforeFingersSize() const override { return 1; }
  Integer FingersSize(TdxBarControl*) const override {
    return GripperSize() + BeforeFingersSize() + 2;
  }
  Integer RealButtonArrowWidth(TdxBarManager* AManager) override;
  Integer RealLargeButtonArrowWidth(TdxBarManager* AManager) override;
  Integer SubMenuBeginGroupIndent() const override { return 8; }
  bool BarChildrenHaveShadows() const override { return true; }
  HBRUSH BarToolbarBrush(TCustomdxBarControl* ABarControl) override;
  HBRUSH BarToolbarBrushEx(TCustomdxBarControl* ABarControl) override;
  HBRUSH BarToolbarDownedBrush(TCustomdxBarControl* ABarControl) override;
  HBRUSH BarToolbarDownedSelBrush(TCustomdxBarControl* ABarControl) override;
  HBRUSH BarToolbarSelBrush(TCustomdxBarControl* ABarControl) override;
  Integer BarBeginGroupSideSize() const override {
    return (BarBeginGroupSize() - 1) / 2;
  }
  Integer BarBeginGroupSize() const override { return 5; }
  void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC,
                         const TRect& R, HBRUSH ABrush,
                         bool AHorizontal) override;
  void BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC,
                          const TRect& R) override;
  void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                              HBRUSH ABrush) override;
  void BarDrawFloatingBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                                const TRect& AClientRect,
                                HBRUSH ABrush) override;
  bool IsQuickControlPopupOnRight() const override { return true; }
  void DrawButtonControlArrowBackground(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect& R,
      HBRUSH ABrush) override;
  HBRUSH ButtonControlArrowBrush(
      const TdxBarButtonLikeControlDrawParams& AParams) override;
  void CorrectButtonControlDefaultHeight(Integer& AValue) const override {
    AValue += 2;
  }
  void CorrectButtonControlDefaultWidth(Integer& AValue) const override {
    AValue += 9;
  }
  Integer SubMenuControlArrowsOffset() const override { return 1; }
  Integer SubMenuControlBeginGroupSize() const override { return 5; }
  Integer SubMenuControlMarkArrowSize(Integer ASize) const override;
  Integer SubMenuControlNormalItemHeight() const override { return 20; }
  Integer SubMenuControlTextSize(TcxCanvas* ACanvas) override {
    return TdxBarPainter::SubMenuControlTextSize(ACanvas) + 1;
  }
  TRect SubMenuControlOffsetDetachCaptionRect(const TRect& R) const override {
    return Rect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
  }
  HBRUSH SubMenuControlToolbarItemsBrush() const override;
  void SubMenuControlCalcDrawingConsts(TcxCanvas* ACanvas, Integer ATextSize,
                                       Integer& AMarkSize,
                                       Integer& AArrowWidth) override;
  TRect SubMenuControlGetItemIconRect(const TRect& R, Integer AWidth) override;
  TRect SubMenuControlGetItemTextRect(const TdxBarSubMenuPaintInfo& AMenu,
                                      const TRect& R) override;
  Integer SubMenuControlGetItemTextIndent(
      const TdxBarSubMenuPaintInfo& AMenu) const override;
  Integer SubMenuControlDetachCaptionAreaSize(
      const TdxBarSubMenuPaintInfo& AMenu) const override {
    return AMenu.DetachCaptionHeight + 1;
  }
  void SubMenuControlDrawBorder(const TdxBarSubMenuPaintInfo& AMenu, HDC DC,
                                TRect R) override;
  void SubMenuControlDrawClientBorder(const TdxBarSubMenuPaintInfo& AMenu,
                                      HDC DC, TRect R, HBRUSH ABrush) override;
  void SubMenuControlDrawDetachCaption(const TdxBarSubMenuPaintInfo& AMenu,
                                       HDC DC, const TRect& R) override;
  void SubMenuControlDrawSeparator(HDC DC, const TRect& R) override;
  void SubMenuControlDrawBeginGroup(const TdxBarSubMenuPaintInfo& AMenu,
                                    TdxBarItemControl* AControl,
                                    TcxCanvas* ACanvas,
                                    const TRect& R) override;
  void DrawItemBackgroundInSubMenu(
      const TdxBarButtonLikeControlDrawParams& AParams,
      const TRect& R) override;
  Integer ContainerControlSubMenuOffset() const override { return 9; }
  TRect EditControlBorderOffsets(TdxBarPaintType) const override {
    return {1, 1, 1, 1};
  }
  bool IsDateNavigatorFlat() const override { return true; }
  void DateNavigatorDrawButton(HDC DC, TRect R, const String& ACaption,
                               bool APressed) override;
  Integer EditControlCaptionAbsoluteLeftIndent() const override { return 6; }
  Integer EditControlCaptionRightIndent() const override { return 5; }
};

// The theme metrics the themed painter measures when it is made; shared by
// every themed painter of the program.
struct TdxBarXPPainterMetrics {
  Integer BarBeginGroupSize = 0;
  TSize BarCloseButtonSize;
  Integer ButtonBorderHeight = 0;
  Integer ComboBoxArrowWidth = 0;
  TRect EditControlBorderOffsets;
  Integer GripperSize = 0;
  Integer ProgressControlBarHeight = 0;
  Integer SubMenuControlBeginGroupSize = 0;
  TSize StatusBarGripSize;
};
const TdxBarXPPainterMetrics& dxBarXPPainterMetrics();
// A solid brush of the theme's toolbar colour (the button face without a
// theme), remade with every themed painter.
HBRUSH dxBarThemeToolbarBrush();

class TdxBarXPPainter : public TdxBarPainter {
  VARNEL_CLASS(TdxBarXPPainter, TdxBarPainter)
 public:
  TdxBarXPPainter();
  // Measures the theme metrics, in a fixed order, without a device context.
  static void InitParams();

  HBRUSH BarToolbarBrush(TCustomdxBarControl* ABarControl) override;
  HBRUSH SubMenuControlToolbarItemsBrush() const override;
  HBRUSH GlyphBkgndBrush(TdxBarItemControl* AControl,
                         TdxBarPaintType APaintType,
                         const TdxBarGlyphFlags& AFlags) override;
  TColor EditGetEnabledBkColor() const override;
  TColor EditGetEnabledTextColor() const override;
  TColor EditGetDisabledTextColor() const override;
  TColor ProgressControlBarBrushColor() const override;
  void DrawGlyphBorder(TdxBarItemControl* AControl, HDC DC, HBRUSH ABrush,
                       bool AFits, const TRect& R, TdxBarPaintType APaintType,
                       const TdxBarGlyphFlags& AFlags) override;
  void DrawGlyphCheckMark(TdxBarItemControl* AControl, HDC DC, Integer ALeft,
                          Integer ATop, Integer AScale) override;
  void DrawButtonControlArrow(const TdxBarButtonLikeControlDrawParams& AParams,
                              TRect R) override;
  void DrawButtonControlArrowBackground(
      const TdxBarButtonLikeControlDrawParams& AParams, TRect& R,
      HBRUSH ABrush) override;
  void DockControlFillBackground(TdxDockControl* ADockControl, HDC DC,
                                 const TRect& ADestRect,
                                 const TRect& ASourceRect,
                                 const TRect& AWholeRect, HBRUSH ABrush,
                                 TColor AColor) override;
  void BarDrawBeginGroup(TCustomdxBarControl* ABarControl, HDC DC,
                         const TRect& R, HBRUSH ABrush,
                         bool AHorizontal) override;
  void BarDrawCloseButton(TdxBarControl* ABarControl, HDC DC,
                          const TRect& R) override;
  void BarDrawDockedBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                              HBRUSH ABrush) override;
  void BarDrawFloatingBarBorder(TdxBarControl* ABarControl, HDC DC, TRect R,
                                const TRect& AClientRect,
                                HBRUSH ABrush) override;
  void BarDrawMarkBackground(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                             HBRUSH ABrush) override;
  void BarDrawGrip(TdxBarControl* ABarControl, HDC DC, const TRect& R,
                   HBRUSH ABrush) override;
  TSize StatusBarGripSize(TdxBarManager* AManager) const override;
  void ProgressControlDrawBar(const TdxBarProgressDrawParams& AParams, HDC DC,
                              const TRect& R, TColor AColor) override;
  void SubMenuControlDrawBorder(const TdxBarSubMenuPaintInfo& AMenu, HDC DC,
                                TRect R) override;
  void SubMenuControlDrawClientBorder(const TdxBarSubMenuPaintInfo& AMenu,
                                      HDC DC, TRect R, HBRUSH ABrush) override;
  void SubMenuControlDrawSeparator(HDC DC, const TRect& R) override;
  Integer SubMenuControlDetachCaptionAreaSize(
      const TdxBarSubMenuPaintInfo& AMenu) const override {
    return AMenu.DetachCaptionHeight + 1;
  }
  void SubMenuControlDrawBeginGroup(const TdxBarSubMenuPaintInfo& AMenu,
                                    TdxBarItemControl* AControl,
                                    TcxCanvas* ACanvas,
                                    const TRect& R) override;
  void DrawItemBackgroundInSubMenu(
      const TdxBarButtonLikeControlDrawParams& AParams,
      const TRect& R) override;

  // --- Simple values ---
  Integer GlyphDownShift(TdxBarItemControl*) const override { return 1; }
  Integer GlyphDrawDownedShift(TdxBarItemControl*, bool AFlag) const override {
    return AFlag ? 0 : 1;
  }
  bool IsFlatGlyphImage() const override { return true; }
  bool IsNativeBackground() const override { return true; }
  bool BarCaptionTransparent() const override { return true; }
  bool IsQuickControlPopupOnRight() const override { return true; }
  bool IsButtonControlArrowFlat() const override { return true; }
  bool GetFaded(TdxBarManager*) override { return true; }
  Integer BeforeFingersSize() const override { return 0; }
  Integer BarBorderSize() const override { return 0; }
  Integer FingersSize(TdxBarControl*) const override {
    return GripperSize() + BeforeFingersSize() + 2;
  }
  Integer RealButtonArrowWidth(TdxBarManager* AManager) override {
    return TdxBarPainter::RealButtonArrowWidth(AManager) + 3;
  }
  Integer RealLargeButtonArrowWidth(TdxBarManager* AManager) override {
    return TdxBarPainter::RealLargeButtonArrowWidth(AManager) + 3;
  }
  Integer BarBeginGroupSideSize() const override {
    return (BarBeginGroupSize() - 1) / 2;
  }
  Integer SubMenuControlArrowsOffset() const override { return 1; }
  TRect SubMenuControlOffsetDetachCaptionRect(const TRect& R) const override {
    return Rect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
  }
  Integer GetDotSpaceAfter(Integer ADotSize) const override {
    return 2 * ADotSize;
  }
  Integer ComboControlArrowOffset() const override { return 0; }
  TRect EditControlBorderOffsets(TdxBarPaintType) const override {
    return dxBarXPPainterMetrics().EditControlBorderOffsets;
  }
  Integer EditControlCaptionAbsoluteLeftIndent() const override { return 6; }
  Integer EditControlCaptionRightIndent() const override { return 5; }
  void CorrectButtonControlDefaultHeight(Integer& AValue) const override {
    AValue += 1;
  }
  Integer GetButtonBorderWidth() const override {
    return GetButtonBorderHeight();
  }

  // --- Measured ---
  Integer BarBeginGroupSize() const override;
  TSize BarCloseButtonSize() const override;
  Integer GetButtonBorderHeight() const override;
  Integer ComboBoxArrowWidth(Integer AArrowSignWidth) const override;
  Integer GripperSize() const override;
  Integer ProgressControlBarHeight() const override;
  Integer SubMenuControlBeginGroupSize() const override;
  Integer SubMenuGetSeparatorSize() const override;

 private:
  static Integer GlyphButtonState(TdxBarItemControl* AControl,
                                  const TdxBarGlyphFlags& AFlags);
};

// The background of a bar control's client area behind R; without a
// control, R filled with ABrush.
void dxBarFillControlBackground(TCustomdxBarControl* AControl, HDC DC,
                                const TRect& R, HBRUSH ABrush = nullptr);
// The background brush of an item control: its bar's toolbar brush.
HBRUSH dxBarItemBkBrush(TdxBarItemControl* AControl);
// The caption font of floating toolbars: the system's small-caption font,
// or, when the system font is not wanted, AFont's face at least 11 pixels
// high. The caller deletes it.
HFONT CreateCaptionFontHandle(TFont* AFont, bool AUseSystemFont);

// The shared flat painter, created on first use; null once the unit's exit
// has begun.
TdxBarFlatPainter* dxBarFlatPainter();
