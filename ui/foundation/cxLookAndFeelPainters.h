// Painters: stateless objects that draw the parts of controls (borders,
// buttons, arrows, check boxes, headers, footers, tabs, scroll bars ...) and
// report their colours and metrics in one visual kind. There is exactly one
// shared painter object per painter class; callers hold a
// TcxLookAndFeelPainterClass (a pointer to that object) and compare painters
// by it. An operation that calls another operation calls it on the same
// object, so the most derived painter's version runs. Also here: the shared
// painter resources (indicator images, scroll-bar track patterns, check-box
// size), the radio-button image list, the system palette notifier and the
// registry of skin painters. Windows only.
#pragma once

#include <initializer_list>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "SysUtils.h"
#include "Types.h"
#include "cxClasses.h"
#include "cxGraphics.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

// ---------------------------------------------------------------------------
// Vocabulary
// ---------------------------------------------------------------------------

enum TcxButtonState : Byte {
  cxbsDefault,
  cxbsNormal,
  cxbsHot,
  cxbsPressed,
  cxbsDisabled
};
enum TcxArrowDirection : Byte { adUp, adDown, adLeft, adRight };
enum TcxScrollBarPart : Byte {
  sbpNone,
  sbpLineUp,
  sbpLineDown,
  sbpThumbnail,
  sbpPageUp,
  sbpPageDown
};
enum TcxNeighbor : Byte { nLeft, nTop, nRight, nBottom };
using TcxNeighbors = TSet<TcxNeighbor>;
enum TcxIndicatorKind : Byte {
  ikNone,
  ikArrow,
  ikEdit,
  ikInsert,
  ikMultiDot,
  ikMultiArrow,
  ikFilter
};
enum TcxHeaderArrows : Byte { haNone, haLeft, haRight, haBoth };
enum TcxPopupBorderStyle : Byte { pbsNone, pbsUltraFlat, pbsFlat, pbs3D };
enum TcxEditBtnKind : Byte {
  cxbkCloseBtn,
  cxbkComboBtn,
  cxbkEditorBtn,
  cxbkEllipsisBtn,
  cxbkSpinUpBtn,
  cxbkSpinDownBtn,
  cxbkSpinLeftBtn,
  cxbkSpinRightBtn
};
enum TcxGroupBoxCaptionPosition : Byte {
  cxgpTop,
  cxgpBottom,
  cxgpLeft,
  cxgpRight,
  cxgpCenter
};
enum TcxTrackBarTicksAlign : Byte { tbtaUp, tbtaDown, tbtaBoth };

// The visual kinds a look-and-feel can be set to, and the style a painter
// reports.
enum TcxLookAndFeelKind : Byte { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TcxLookAndFeelStyle : Byte {
  lfsFlat,
  lfsStandard,
  lfsUltraFlat,
  lfsNative,
  lfsOffice11
};

// True when the handler painted the background itself.
using TcxDrawBackgroundEvent =
    TClosure<bool(TcxCanvas* ACanvas, const TRect& ABounds)>;

class TcxCustomLookAndFeelPainter;
// A painter "class": the one shared painter object of that class.
using TcxLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;
using TcxCustomLookAndFeelPainterClass = TcxLookAndFeelPainterClass;

// Told when a skin painter is registered or unregistered.
class IcxLookAndFeelPainterListener : public IInterface {
 public:
  static constexpr TGUID IID{0x7665B7CA,
                             0x2C4B,
                             0x48B9,
                             {0xAB, 0xA2, 0xFA, 0x53, 0x0E, 0x7E, 0xA4, 0x68}};
  virtual void PainterChanged(TcxLookAndFeelPainterClass APainter) = 0;

 protected:
  ~IcxLookAndFeelPainterListener() = default;
};

// ---------------------------------------------------------------------------
// The painter interface and its base behaviour
// ---------------------------------------------------------------------------

class TcxCustomLookAndFeelPainter : public TObject {
  VARNEL_CLASS(TcxCustomLookAndFeelPainter, TObject)
 public:
  // The shared painter of this class.
  static TcxLookAndFeelPainterClass Instance();

  // General
  virtual void DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                              bool ATransparent, TColor ABackgroundColor,
                              TBitmap* ABackgroundBitmap) const;
  virtual void DrawButtonArrow(TcxCanvas* ACanvas, const TRect& R,
                               TColor AColor) const;
  virtual void DrawContent(TcxCanvas* ACanvas, const TRect& ABounds,
                           const TRect& ATextAreaBounds, Integer AState,
                           TAlignment AAlignmentHorz,
                           TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis, const String& AText,
                           TFont* AFont, TColor ATextColor, TColor ABkColor,
                           TcxDrawBackgroundEvent AOnDrawBackground = nullptr,
                           bool AIsFooter = false) const;
  virtual TRect FooterCellContentBounds(const TRect& R) const;
  virtual TRect FooterCellTextAreaBounds(const TRect& R) const;
  virtual TcxLookAndFeelStyle LookAndFeelStyle() const;

  // Default colours
  virtual TColor DefaultContentColor() const;
  virtual TColor DefaultContentEvenColor() const;
  virtual TColor DefaultContentOddColor() const;
  virtual TColor DefaultContentTextColor() const;
  virtual TColor DefaultFilterBoxColor() const;
  virtual TColor DefaultFilterBoxTextColor() const;
  virtual TColor DefaultFixedSeparatorColor() const;
  virtual TColor DefaultFooterColor() const;
  virtual TColor DefaultFooterTextColor() const;
  virtual TColor DefaultGridLineColor() const;
  virtual TColor DefaultGroupByBoxColor() const;
  virtual TColor DefaultGroupByBoxTextColor() const;
  virtual TColor DefaultGroupColor() const;
  virtual TColor DefaultGroupTextColor() const;
  virtual TColor DefaultHeaderBackgroundColor() const;
  virtual TColor DefaultHeaderBackgroundTextColor() const;
  virtual TColor DefaultHeaderColor() const;
  virtual TColor DefaultHeaderTextColor() const;
  virtual TColor DefaultHyperlinkTextColor() const;
  virtual TColor DefaultInactiveColor() const;
  virtual TColor DefaultInactiveTextColor() const;
  virtual TColor DefaultPreviewTextColor() const;
  virtual TColor DefaultRecordSeparatorColor() const;
  virtual TColor DefaultSizeGripAreaColor() const;
  virtual TColor DefaultVGridCategoryColor() const;
  virtual TColor DefaultVGridCategoryTextColor() const;
  virtual TColor DefaultVGridLineColor() const;
  virtual TColor DefaultVGridBandLineColor() const;
  virtual TColor DefaultDateNavigatorHeaderColor() const;
  virtual TColor DefaultDateNavigatorSelectionColor() const;
  virtual TColor DefaultDateNavigatorSelectionTextColor() const;
  virtual TColor DefaultSchedulerBackgroundColor() const;
  virtual TColor DefaultSchedulerTextColor() const;
  virtual TColor DefaultSchedulerBorderColor() const;
  virtual TColor DefaultSchedulerControlColor() const;
  virtual TColor DefaultSchedulerNavigatorColor() const;
  virtual TColor DefaultSchedulerViewContentColor() const;
  virtual TColor DefaultSchedulerViewTextColor() const;
  virtual TColor DefaultSelectionColor() const;
  virtual TColor DefaultSelectionTextColor() const;
  virtual TColor DefaultSeparatorColor() const;
  virtual TColor DefaultTabColor() const;
  virtual TColor DefaultTabTextColor() const;
  virtual TColor DefaultTabsBackgroundColor() const;
  virtual TColor DefaultTimeGridMajorScaleColor() const;
  virtual TColor DefaultTimeGridMajorScaleTextColor() const;
  virtual TColor DefaultTimeGridMinorScaleColor() const;
  virtual TColor DefaultTimeGridMinorScaleTextColor() const;
  virtual TColor DefaultTimeGridSelectionBarColor() const;
  virtual TColor DefaultChartDiagramValueBorderColor() const;
  virtual TColor DefaultChartDiagramValueCaptionTextColor() const;
  virtual TColor DefaultChartHistogramAxisColor() const;
  virtual TColor DefaultChartHistogramGridLineColor() const;
  virtual TColor DefaultChartHistogramPlotColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteBorderColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionColor() const;
  virtual TColor DefaultChartPieDiagramSeriesSiteCaptionTextColor() const;
  virtual TColor DefaultChartToolBoxDataLevelInfoBorderColor() const;
  virtual TColor DefaultChartToolBoxItemSeparatorColor() const;

  // Arrows
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                         TcxArrowDirection ADirection, TColor AColor) const;
  virtual void DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                         TcxButtonState AState, TcxArrowDirection ADirection,
                         bool ADrawBorder = true) const;
  virtual void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R,
                               TcxButtonState AState) const;
  virtual void DrawScrollBarArrow(TcxCanvas* ACanvas, TRect R,
                                  TcxButtonState AState,
                                  TcxArrowDirection ADirection) const;

  // Borders and buttons
  virtual Integer BorderSize() const;
  virtual void DrawBorder(TcxCanvas* ACanvas, TRect R) const;
  virtual TRect AdjustGroupButtonDisplayRect(const TRect& R,
                                             Integer AButtonCount,
                                             Integer AButtonIndex) const;
  virtual Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const;
  virtual TColor ButtonColor(TcxButtonState AState) const;
  virtual TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const;
  virtual TRect ButtonGroupBorderSizes(Integer AButtonCount,
                                       Integer AButtonIndex) const;
  virtual Integer ButtonTextOffset() const;
  virtual Integer ButtonTextShift() const;
  virtual TColor ButtonSymbolColor(TcxButtonState AState,
                                   TColor ADefaultColor = clDefault) const;
  virtual TcxButtonState ButtonSymbolState(TcxButtonState AState) const;
  virtual void DrawButton(TcxCanvas* ACanvas, TRect R, const String& ACaption,
                          TcxButtonState AState, bool ADrawBorder = true,
                          TColor AColor = clDefault,
                          TColor ATextColor = clDefault) const;
  virtual void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R,
                                 TcxButtonState AState, Integer AButtonCount,
                                 Integer AButtonIndex,
                                 TColor ABackgroundColor) const;
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                                TcxButtonState AState) const;
  virtual void DrawButtonGroupBorder(TcxCanvas* ACanvas, TRect R, bool AInplace,
                                     bool ASelected) const;
  virtual void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                bool AExpanded,
                                TColor AColor = clDefault) const;
  virtual bool DrawExpandButtonFirst() const;
  virtual void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                     bool AExpanded,
                                     TcxButtonState AState) const;
  virtual void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R,
                                     bool AExpanded, TColor ABorderColor,
                                     TColor AColor = clDefault) const;
  virtual Integer ExpandButtonSize() const;
  virtual Integer GroupExpandButtonSize() const;
  virtual bool IsButtonHotTrack() const;
  virtual bool IsPointOverGroupExpandButton(const TRect& R,
                                            const TPoint& P) const;
  virtual Integer SmallExpandButtonSize() const;

  // Check boxes and radio buttons
  virtual Integer CheckBorderSize() const;
  virtual TColor CheckButtonColor(TcxButtonState AState) const;
  virtual TSize CheckButtonSize() const;
  virtual void DrawCheck(TcxCanvas* ACanvas, const TRect& R,
                         TcxButtonState AState, bool AChecked,
                         TColor AColor) const;
  virtual void DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                               TcxButtonState AState) const;
  virtual void DrawCheckButton(TcxCanvas* ACanvas, TRect R,
                               TcxButtonState AState, bool AChecked,
                               bool AUnused = false) const;
  virtual void DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y,
                               TcxButtonState AState, bool AChecked,
                               bool AFocused, TColor ABrushColor,
                               bool AIsDesigning = false) const;
  virtual TSize RadioButtonSize() const;

  // Headers
  virtual void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds,
                          const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                          TcxBorders ABorders, TcxButtonState AState,
                          TAlignment AAlignmentHorz,
                          TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                          bool AShowEndEllipsis, const String& AText,
                          TFont* AFont, TColor ATextColor, TColor ABkColor,
                          TcxDrawBackgroundEvent AOnDrawBackground = nullptr,
                          bool AIsLast = false, bool AIsGroup = false) const;
  virtual void DrawHeaderEx(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor, TColor ABkColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const;
  virtual void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                                TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const;
  virtual void DrawHeaderPressed(TcxCanvas* ACanvas,
                                 const TRect& ABounds) const;
  virtual void DrawHeaderControlSection(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor, TColor ABkColor) const;
  virtual void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas,
                                              const TRect& R,
                                              TcxBorders ABorders,
                                              TcxButtonState AState) const;
  virtual void DrawHeaderControlSectionContent(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxButtonState AState, TAlignment AAlignmentHorz,
      TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
      const String& AText, TFont* AFont, TColor ATextColor,
      TColor ABkColor) const;
  virtual void DrawHeaderControlSectionText(
      TcxCanvas* ACanvas, const TRect& ATextAreaBounds, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor) const;
  virtual void DrawHeaderSeparator(TcxCanvas* ACanvas, const TRect& ABounds,
                                   Integer AIndentSize, TColor AColor,
                                   const TcxViewParams& AViewParams) const;
  virtual void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                               bool AAscendingSorting) const;
  virtual TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const;
  virtual Integer HeaderBorderSize() const;
  virtual TRect HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors,
                             TcxBorders ABorders = cxBordersAll) const;
  virtual TRect HeaderContentBounds(const TRect& ABounds,
                                    TcxBorders ABorders) const;
  virtual bool HeaderDrawCellsFirst() const;
  virtual Integer HeaderHeight(Integer AFontHeight) const;
  virtual Integer HeaderControlSectionBorderSize(
      TcxButtonState AState = cxbsNormal) const;
  virtual TRect HeaderControlSectionTextAreaBounds(const TRect& ABounds,
                                                   TcxButtonState AState) const;
  virtual TRect HeaderControlSectionContentBounds(const TRect& ABounds,
                                                  TcxButtonState AState) const;
  virtual Integer HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders,
                              const String& AText, TFont* AFont) const;
  virtual bool IsHeaderHotTrack() const;
  virtual TPoint SortingMarkAreaSize() const;
  virtual TPoint SortingMarkSize() const;

  // Group-by box and footers
  virtual void DrawGroupByBox(TcxCanvas* ACanvas, const TRect& R,
                              bool ATransparent, TColor ABackgroundColor,
                              TBitmap* ABackgroundBitmap) const;
  virtual TcxBorders FooterBorders() const;
  virtual Integer FooterBorderSize() const;
  virtual Integer FooterCellBorderSize() const;
  virtual Integer FooterCellOffset() const;
  virtual bool FooterDrawCellsFirst() const;
  virtual TColor FooterSeparatorColor() const;
  virtual Integer FooterSeparatorSize() const;
  virtual void DrawFooterCell(
      TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
      TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText,
      TFont* AFont, TColor ATextColor, TColor ABkColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const;
  virtual void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterContent(TcxCanvas* ACanvas, const TRect& ARect,
                                 const TcxViewParams& AViewParams) const;
  virtual void DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const;

  // Filter buttons, window, popup border and tabs
  virtual void DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R,
                                        TcxButtonState AState,
                                        bool AChecked) const;
  virtual void DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R,
                                     TcxButtonState AState) const;
  virtual void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R,
                                        TcxButtonState AState,
                                        bool AIsFilterActive) const;
  virtual void DrawFilterPanel(TcxCanvas* ACanvas, const TRect& R,
                               bool ATransparent, TColor ABackgroundColor,
                               TBitmap* ABackgroundBitmap) const;
  virtual TPoint FilterActivateButtonSize() const;
  virtual TPoint FilterCloseButtonSize() const;
  virtual TPoint FilterDropDownButtonSize() const;
  virtual void DrawWindowContent(TcxCanvas* ACanvas, const TRect& R) const;
  virtual TcxPopupBorderStyle PopupBorderStyle() const;
  virtual void DrawTab(TcxCanvas* ACanvas, TRect R, TcxBorders ABorders,
                       const String& AText, TcxButtonState AState,
                       bool AVertical, TFont* AFont, TColor ATextColor,
                       TColor ABkColor, bool AShowPrefix = false) const;
  virtual void DrawTabBorder(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                             TcxBorders ABorders, bool AVertical) const;
  virtual void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R,
                            TcxBorders ABorders, bool AVertical) const;
  virtual bool IsDrawTabImplemented(bool AVertical) const;
  virtual bool IsTabHotTrack(bool AVertical) const;
  virtual Integer TabBorderSize(bool AVertical) const;

  // Indicator, scroll bar and size grip
  virtual void DrawIndicatorCustomizationMark(TcxCanvas* ACanvas,
                                              const TRect& R,
                                              TColor AColor) const;
  virtual void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R,
                                  TcxIndicatorKind AKind) const;
  virtual void DrawIndicatorItem(
      TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const;
  virtual void DrawIndicatorItemEx(
      TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const;
  virtual bool IndicatorDrawItemsFirst() const;
  virtual Integer ScrollBarMinimalThumbSize(bool AVertical) const;
  virtual void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                 TcxScrollBarPart APart,
                                 TcxButtonState AState) const;
  virtual TSize SizeGripSize() const;
  virtual void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                            TColor ABackgroundColor) const;

  // Month header, scheduler, chart, clock, editor and navigator buttons
  virtual void DrawMonthHeader(
      TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
      TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
      TcxHeaderArrows AArrows, Integer ASideWidth,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const;
  virtual void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const;
  virtual void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                            TcxButtonState AState) const;
  virtual void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, TRect R,
                                           const TcxViewParams& AViewParams,
                                           bool AIsHorizontal) const;
  virtual Integer ChartToolBoxDataLevelInfoBorderSize() const;
  virtual void DrawClock(TcxCanvas* ACanvas, const TRect& ARect,
                         TDateTime ADateTime, TColor ABackgroundColor) const;
  virtual void DrawEditorButton(TcxCanvas* ACanvas, const TRect& ARect,
                                TcxEditBtnKind AButtonKind,
                                TcxButtonState AState) const;
  virtual Integer EditButtonTextOffset() const;
  virtual TSize EditButtonSize() const;
  virtual TColor EditButtonTextColor() const;
  virtual TColor GetContainerBorderColor(bool AIsHighlightBorder) const;
  virtual void DrawNavigatorGlyph(TcxCanvas* ACanvas,
                                  TCustomImageList* AImageList,
                                  Integer AImageIndex, Integer AButtonIndex,
                                  const TRect& AGlyphRect, bool AEnabled,
                                  bool AUserGlyphs) const;
  virtual TSize NavigatorGlyphSize() const;

  // Progress bar, group box, track bar and splitter
  virtual void DrawProgressBarBorder(TcxCanvas* ACanvas, TRect ARect,
                                     bool AVertical) const;
  virtual void DrawProgressBarChunk(TcxCanvas* ACanvas, TRect ARect,
                                    bool AVertical) const;
  virtual TRect ProgressBarBorderSize(bool AVertical) const;
  virtual TColor ProgressBarTextColor() const;
  virtual void DrawGroupBoxBackground(TcxCanvas* ACanvas, const TRect& ARect,
                                      const TRect& ACaptionRect) const;
  virtual void DrawGroupBoxCaption(
      TcxCanvas* ACanvas, const TRect& ACaptionRect,
      TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual void DrawGroupBoxContent(
      TcxCanvas* ACanvas, const TRect& ABorderRect,
      TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual TRect GroupBoxBorderSize(
      bool ACaption, TcxGroupBoxCaptionPosition ACaptionPosition) const;
  virtual TColor GroupBoxTextColor() const;
  virtual void DrawTrackBar(TcxCanvas* ACanvas, const TRect& ARect,
                            const TRect& ASelection, bool AShowSelection,
                            bool AEnabled, bool AHorizontal) const;
  virtual void DrawTrackBarThumb(TcxCanvas* ACanvas, const TRect& ARect,
                                 TcxButtonState AState, bool AHorizontal,
                                 TcxTrackBarTicksAlign ATicks) const;
  virtual TSize TrackBarThumbSize(bool AHorizontal) const;
  virtual TColor TrackBarTicksColor(bool AText) const;
  virtual Integer TrackBarTrackSize() const;
  virtual void DrawSplitter(TcxCanvas* ACanvas, const TRect& ARect,
                            bool AHighlighted, bool AClicked,
                            bool AHorizontal) const;
  virtual TSize GetSplitterSize(bool AHorizontal) const;

  // Non-virtual helpers; they draw through this painter's virtual
  // operations.
  void CalculateArrowPoints(TRect R, TPoint& P0, TPoint& P1, TPoint& P2,
                            TcxArrowDirection AArrowDirection,
                            bool AProportional, Integer AArrowSize = 0) const;
  void DrawButtonCross(TcxCanvas* ACanvas, const TRect& R, TColor AColor,
                       TcxButtonState AState) const;
  void DrawExpandButtonCross(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor AColor) const;
  void DrawGroupExpandButtonMark(TcxCanvas* ACanvas, const TRect& R,
                                 bool AExpanded, TcxButtonState AState) const;
  void DrawMonthHeaderArrows(TcxCanvas* ACanvas, const TRect& ABounds,
                             TcxHeaderArrows AArrows, Integer ASideWidth,
                             TColor AColor) const;
  void DrawSortingArrow(TcxCanvas* ACanvas, const TRect& R, TColor AColor1,
                        TColor AColor2, bool AAscendingSorting) const;
  // A scheduler splitter framed on its long sides by rings of one-pixel
  // lines, outermost first: each ring's First colour on the top (or left)
  // side, its Second on the bottom (or right); the rest is filled with the
  // view's colours.
  struct TcxSplitterRing {
    TColor First;
    TColor Second;
  };
  void DrawSchedulerSplitterRings(
      TcxCanvas* ACanvas, TRect R, const TcxViewParams& AViewParams,
      bool AIsHorizontal, std::initializer_list<TcxSplitterRing> ARings) const;
  TcxArrowDirection GetArrowDirection(bool AHorizontal,
                                      TcxScrollBarPart APart) const;

 protected:
  TcxCustomLookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

// The one shared object of painter class T. The Instance() of every painter
// class is defined next to the base painter's, in cxLookAndFeelPainters.cpp.
template <class T>
TcxLookAndFeelPainterClass cxPainterInstance() {
  static const T painter{};
  return &painter;
}

// ---------------------------------------------------------------------------
// Standard, flat and ultra-flat painters
// ---------------------------------------------------------------------------

// What the standard and the flat painters draw alike: one-pixel raised and
// sunken edges around footers and tabs, the edged filter button and the
// shadowed sorting arrow. It is no look of its own and has no class entry:
// both painters keep the custom painter as their class parent.
class TcxClassicLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  bool IsButtonHotTrack() const override;
  Integer HeaderBorderSize() const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                       bool AAscendingSorting) const override;
  TPoint SortingMarkSize() const override;
  Integer FooterBorderSize() const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R,
                                TcxButtonState AState,
                                bool AIsFilterActive) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  void DrawTabBorder(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                     TcxBorders ABorders, bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;

 protected:
  TcxClassicLookAndFeelPainter() = default;
};

class TcxStandardLookAndFeelPainter : public TcxClassicLookAndFeelPainter {
  VARNEL_CLASS(TcxStandardLookAndFeelPainter, TcxClassicLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, TRect R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                        TcxButtonState AState) const override;
  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
  Integer ExpandButtonSize() const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                       TcxButtonState AState) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                        TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R,
                                      TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  Integer HeaderControlSectionBorderSize(
      TcxButtonState AState = cxbsNormal) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                         TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawMonthHeader(
      TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
      TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
      TcxHeaderArrows AArrows, Integer ASideWidth,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  TColor DefaultSchedulerViewContentColor() const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, TRect R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

 protected:
  TcxStandardLookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

class TcxFlatLookAndFeelPainter : public TcxClassicLookAndFeelPainter {
  VARNEL_CLASS(TcxFlatLookAndFeelPainter, TcxClassicLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, TRect R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                        TcxButtonState AState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                       TcxButtonState AState) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                        TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R,
                                      TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                         TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, TRect R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

 protected:
  TcxFlatLookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
  VARNEL_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerBorderColor() const override;
  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, TRect R) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(Integer AButtonCount,
                               Integer AButtonIndex) const override;
  TColor ButtonSymbolColor(TcxButtonState AState,
                           TColor ADefaultColor = clDefault) const override;
  TcxButtonState ButtonSymbolState(TcxButtonState AState) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                        TcxButtonState AState) const override;
  void DrawButtonInGroup(TcxCanvas* ACanvas, const TRect& R,
                         TcxButtonState AState, Integer AButtonCount,
                         Integer AButtonIndex,
                         TColor ABackgroundColor) const override;
  void DrawButtonGroupBorder(TcxCanvas* ACanvas, TRect R, bool AInplace,
                             bool ASelected) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                       TcxButtonState AState) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                        TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawHeaderEx(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor, TColor ABkColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  Integer HeaderBorderSize() const override;
  TPoint SortingMarkSize() const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                       bool AAscendingSorting) const override;
  void DrawHeaderControlSectionBorder(TcxCanvas* ACanvas, const TRect& R,
                                      TcxBorders ABorders,
                                      TcxButtonState AState) const override;
  void DrawHeaderControlSectionContent(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxButtonState AState, TAlignment AAlignmentHorz,
      TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
      const String& AText, TFont* AFont, TColor ATextColor,
      TColor ABkColor) const override;
  TcxBorders FooterBorders() const override;
  Integer FooterBorderSize() const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R,
                                TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TPoint FilterCloseButtonSize() const override;
  void DrawTabBorder(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                     TcxBorders ABorders, bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                         TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, TRect R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;

  // Added by this painter.
  virtual TColor FilterDropDownButtonBorderColor(TcxButtonState AState) const;
  virtual TColor TabBorderHighlightColor(bool AVertical) const;
  virtual TColor TabBorderDarkColor(bool AVertical) const;
  virtual TColor BorderHighlightColor() const;

 protected:
  TcxUltraFlatLookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

// ---------------------------------------------------------------------------
// Office 2003 painter
// ---------------------------------------------------------------------------

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
  VARNEL_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance();

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultHeaderColor() const override;
  TColor DefaultHeaderBackgroundColor() const override;
  TColor DefaultDateNavigatorHeaderColor() const override;
  TColor DefaultFooterColor() const override;
  TColor DefaultTimeGridMinorScaleColor() const override;
  TColor DefaultDateNavigatorSelectionColor() const override;
  TColor DefaultDateNavigatorSelectionTextColor() const override;
  TColor DefaultFilterBoxColor() const override;
  TColor DefaultFilterBoxTextColor() const override;
  TColor DefaultFooterTextColor() const override;
  TColor DefaultGroupColor() const override;
  TColor DefaultGroupByBoxColor() const override;
  TColor DefaultGroupByBoxTextColor() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerControlColor() const override;
  TColor DefaultTabColor() const override;
  TColor DefaultTabsBackgroundColor() const override;
  TColor DefaultTimeGridSelectionBarColor() const override;
  TColor BorderHighlightColor() const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TColor ButtonSymbolColor(TcxButtonState AState,
                           TColor ADefaultColor = clDefault) const override;
  TColor CheckButtonColor(TcxButtonState AState) const override;
  TColor FooterSeparatorColor() const override;
  TColor TabBorderHighlightColor(bool AVertical) const override;
  TColor TabBorderDarkColor(bool AVertical) const override;
  TColor FilterDropDownButtonBorderColor(TcxButtonState AState) const override;
  Integer ExpandButtonSize() const override;
  Integer SmallExpandButtonSize() const override;
  bool DrawExpandButtonFirst() const override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) const override;
  Integer HeaderBorderSize() const override;
  bool IsHeaderHotTrack() const override;

  void DrawBorder(TcxCanvas* ACanvas, TRect R) const override;
  void DrawButtonBorder(TcxCanvas* ACanvas, TRect R,
                        TcxButtonState AState) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor ABorderColor,
                             TColor AColor = clDefault) const override;
  void DrawContent(TcxCanvas* ACanvas, const TRect& ABounds,
                   const TRect& ATextAreaBounds, Integer AState,
                   TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                   bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                   TFont* AFont, TColor ATextColor, TColor ABkColor,
                   TcxDrawBackgroundEvent AOnDrawBackground = nullptr,
                   bool AIsFooter = false) const override;
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds,
                  const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState,
                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                  bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                  TcxDrawBackgroundEvent AOnDrawBackground = nullptr,
                  bool AIsLast = false, bool AIsGroup = false) const override;
  void DrawHeaderControlSection(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor, TColor ABkColor) const override;
  void DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& R,
                        TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                       bool AAscendingSorting) const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R,
                                TcxButtonState AState,
                                bool AIsFilterActive) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                         TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                    TColor ABackgroundColor) const override;
  void DrawMonthHeader(
      TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
      TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
      TcxHeaderArrows AArrows, Integer ASideWidth,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
  void DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const override;

  // Added by this painter.
  virtual TColor HeaderBottomColor() const;
  virtual TColor HeaderDarkEdgeColor() const;
  virtual TColor HeaderHighlightEdgeColor() const;
  virtual TColor HeaderTopColor() const;

 protected:
  TcxOffice11LookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

// ---------------------------------------------------------------------------
// Visual-styles painter
// ---------------------------------------------------------------------------

// Push-button theme state of a button state.
Integer BtnStateToXPBtnState(TcxButtonState AState);

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
  VARNEL_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
 public:
  static TcxLookAndFeelPainterClass Instance();

  using TcxCustomLookAndFeelPainter::DrawContent;

  TcxLookAndFeelStyle LookAndFeelStyle() const override;
  TColor DefaultSchedulerBorderColor() const override;
  TColor DefaultSchedulerViewContentColor() const override;
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R,
                 TcxArrowDirection ADirection, TColor AColor) const override;
  void DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                 TcxArrowDirection ADirection,
                 bool ADrawBorder = true) const override;
  void DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R,
                       TcxButtonState AState) const override;
  Integer BorderSize() const override;
  void DrawBorder(TcxCanvas* ACanvas, TRect R) const override;
  TRect AdjustGroupButtonDisplayRect(const TRect& R, Integer AButtonCount,
                                     Integer AButtonIndex) const override;
  Integer ButtonBorderSize(TcxButtonState AState = cxbsNormal) const override;
  TColor ButtonColor(TcxButtonState AState) const override;
  TRect ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderSizes(Integer AButtonCount,
                               Integer AButtonIndex) const override;
  TColor ButtonSymbolColor(TcxButtonState AState,
                           TColor ADefaultColor = clDefault) const override;
  Integer ButtonTextOffset() const override;
  Integer ButtonTextShift() const override;
  void DrawButton(TcxCanvas* ACanvas, TRect R, const String& ACaption,
                  TcxButtonState AState, bool ADrawBorder = true,
                  TColor AColor = clDefault,
                  TColor ATextColor = clDefault) const override;
  void DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                        TColor AColor = clDefault) const override;
  bool DrawExpandButtonFirst() const override;
  void DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TcxButtonState AState) const override;
  void DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TColor ABorderColor,
                             TColor AColor = clDefault) const override;
  Integer ExpandButtonSize() const override;
  Integer GroupExpandButtonSize() const override;
  Integer SmallExpandButtonSize() const override;
  bool IsButtonHotTrack() const override;
  bool IsPointOverGroupExpandButton(const TRect& R,
                                    const TPoint& P) const override;
  Integer CheckBorderSize() const override;
  void DrawCheckBorder(TcxCanvas* ACanvas, TRect R,
                       TcxButtonState AState) const override;
  TSize CheckButtonSize() const override;
  void DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                 bool AChecked, TColor AColor) const override;
  void DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y,
                       TcxButtonState AState, bool AChecked, bool AFocused,
                       TColor ABrushColor,
                       bool AIsDesigning = false) const override;
  TSize RadioButtonSize() const override;
  void DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds,
                  const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState,
                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                  bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                  TcxDrawBackgroundEvent AOnDrawBackground = nullptr,
                  bool AIsLast = false, bool AIsGroup = false) const override;
  void DrawHeaderPressed(TcxCanvas* ACanvas,
                         const TRect& ABounds) const override;
  void DrawHeaderControlSection(
      TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
      TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
      bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
      TColor ATextColor, TColor ABkColor) const override;
  void DrawSortingMark(TcxCanvas* ACanvas, const TRect& R,
                       bool AAscendingSorting) const override;
  TPoint SortingMarkSize() const override;
  Integer HeaderBorderSize() const override;
  Integer HeaderControlSectionBorderSize(
      TcxButtonState AState = cxbsNormal) const override;
  TRect HeaderControlSectionContentBounds(const TRect& ABounds,
                                          TcxButtonState AState) const override;
  bool IsHeaderHotTrack() const override;
  void DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const override;
  Integer FooterBorderSize() const override;
  void DrawFooterCell(
      TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
      TcxAlignmentVert AAlignmentVert, bool AMultiLine, const String& AText,
      TFont* AFont, TColor ATextColor, TColor ABkColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  Integer FooterCellBorderSize() const override;
  Integer FooterCellOffset() const override;
  bool FooterDrawCellsFirst() const override;
  void DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R,
                             TcxButtonState AState) const override;
  TPoint FilterCloseButtonSize() const override;
  void DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R,
                                TcxButtonState AState,
                                bool AIsFilterActive) const override;
  TPoint FilterActivateButtonSize() const override;
  void DrawTab(TcxCanvas* ACanvas, TRect R, TcxBorders ABorders,
               const String& AText, TcxButtonState AState, bool AVertical,
               TFont* AFont, TColor ATextColor, TColor ABkColor,
               bool AShowPrefix = false) const override;
  void DrawTabBorder(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                     TcxBorders ABorders, bool AVertical) const override;
  void DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                    bool AVertical) const override;
  bool IsDrawTabImplemented(bool AVertical) const override;
  bool IsTabHotTrack(bool AVertical) const override;
  Integer TabBorderSize(bool AVertical) const override;
  void DrawIndicatorItem(
      TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  Integer ScrollBarMinimalThumbSize(bool AVertical) const override;
  void DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                         TcxScrollBarPart APart,
                         TcxButtonState AState) const override;
  void DrawMonthHeader(
      TcxCanvas* ACanvas, const TRect& ABounds, const String& AText,
      TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
      TcxHeaderArrows AArrows, Integer ASideWidth,
      TcxDrawBackgroundEvent AOnDrawBackground = nullptr) const override;
  void DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R,
                                    TcxButtonState AState) const override;
  void DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, TRect R,
                                   const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) const override;
  void DrawSizeGrip(TcxCanvas* ACanvas, const TRect& ARect,
                    TColor ABackgroundColor) const override;

  // Added by this painter: text drawn with the theme's text routine.
  virtual void DrawContent(TcxCanvas* ACanvas, HTHEME ATheme, Integer APartId,
                           Integer AStateId, const TRect& ABounds,
                           const TRect& ATextAreaBounds,
                           TAlignment AAlignmentHorz,
                           TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis, bool AShowPrefix,
                           const String& AText, TFont* AFont, TColor ATextColor,
                           TColor ABkColor) const;

 protected:
  TcxWinXPLookAndFeelPainter() = default;
  template <class T>
  friend TcxLookAndFeelPainterClass cxPainterInstance();
};

// ---------------------------------------------------------------------------
// Skin painters registered by name
// ---------------------------------------------------------------------------

// The registry lives with the unit's start-up, in cxLookAndFeelPainters.cpp.
class TcxExtendedStylePainterInfo : public TObject {
  VARNEL_CLASS(TcxExtendedStylePainterInfo, TObject)
 public:
  TcxExtendedStylePainterInfo(TObject* AData, const String& AName,
                              TcxLookAndFeelPainterClass APainter);
  ~TcxExtendedStylePainterInfo() override;
  TObject* Data() const { return data_; }
  const String& Name() const { return name_; }
  TcxLookAndFeelPainterClass Painter() const { return painter_; }

 private:
  TObject* data_;  // owned
  String name_;
  TcxLookAndFeelPainterClass painter_;
};

class TcxExtendedStylePainters : public TcxObjectList {
  VARNEL_CLASS(TcxExtendedStylePainters, TcxObjectList)
 public:
  TcxExtendedStylePainters() = default;
  ~TcxExtendedStylePainters() override;

  // On success the registry owns AData; on failure it stays the caller's.
  bool Register(const String& AName, TcxLookAndFeelPainterClass APainter,
                TObject* AData);
  bool Unregister(const String& AName);
  bool GetPainterByName(const String& AName,
                        TcxLookAndFeelPainterClass& APainter) const;
  bool GetNameByPainter(TcxLookAndFeelPainterClass APainter,
                        String& AName) const;
  bool GetPainterData(TcxLookAndFeelPainterClass APainter,
                      TObject*& AData) const;
  void AddListener(IcxLookAndFeelPainterListener* AListener);
  void RemoveListener(IcxLookAndFeelPainterListener* AListener);
  void Changed(TcxLookAndFeelPainterClass APainter);
  Integer FindInfoByName(const String& AName,
                         TcxExtendedStylePainterInfo*& AInfo) const;

  TcxExtendedStylePainterInfo* GetItem(Integer Index) const {
    return static_cast<TcxExtendedStylePainterInfo*>(Objects(Index));
  }
  String GetName(Integer Index) const { return GetItem(Index)->Name(); }
  TcxLookAndFeelPainterClass GetPainter(Integer Index) const {
    return GetItem(Index)->Painter();
  }
  TObject* GetData(Integer Index) const { return GetItem(Index)->Data(); }

 private:
  std::vector<TIntfPtr<IcxLookAndFeelPainterListener>> listeners_;
};

// The registry; null outside the unit's lifetime.
TcxExtendedStylePainters* GetExtendedStylePainters();
TcxLookAndFeelPainterClass GetCurrentPainterClass();
// The rectangle shrunk by 2 on every side.
TRect cxTextRect(const TRect& R);

// ---------------------------------------------------------------------------
// Shared painter resources
// ---------------------------------------------------------------------------

// Six 8 x 9 glyphs; image i is the glyph of indicator kind i + 1. Null
// outside the unit's lifetime.
TcxImageList* cxIndicatorImages();
// The two 8 x 8 scroll-bar track patterns (0: face and highlight, 1: black
// and dark shadow); null outside the unit's lifetime.
TBitmap* cxScrollBarTrackPattern(Integer AIndex);
// Repaints the track patterns with the current system colours.
void UpdateScrollBarBitmaps();
// The system check-box glyph size, measured at start-up.
TSize cxCheckBoxSize();

// ---------------------------------------------------------------------------
// System palette notifier
// ---------------------------------------------------------------------------

using TcxSystemPaletteChangedEvent = TClosure<void()>;

// Hears system colour changes through one hidden window per process. On
// every change the Office 2003 colours are refreshed first, then the primary
// notifiers (cached images) are told, then the ordinary ones (the
// look-and-feels), each group from the last made to the first.
class TcxSystemPaletteChangedNotifier : public TObject {
  VARNEL_CLASS(TcxSystemPaletteChangedNotifier, TObject)
 public:
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  TcxSystemPaletteChangedNotifier(const TcxSystemPaletteChangedNotifier&) =
      delete;
  TcxSystemPaletteChangedNotifier& operator=(
      const TcxSystemPaletteChangedNotifier&) = delete;

  virtual void DoChanged();
  bool IsPrimary() const { return isPrimary_; }
  TcxSystemPaletteChangedEvent OnSystemPaletteChanged() const {
    return onChanged_;
  }
  void SetOnSystemPaletteChanged(TcxSystemPaletteChangedEvent Value) {
    onChanged_ = Value;
  }

 private:
  bool isPrimary_;
  TcxSystemPaletteChangedEvent onChanged_;
};

// The palette listener's window while any notifier exists, else null.
HWND cxSystemPaletteListenerWindow();

// ---------------------------------------------------------------------------
// Radio-button images
// ---------------------------------------------------------------------------

// Pre-rendered radio-button glyphs for every kind, state, check state, focus
// and design-time flag, coloured from the current system colours.
class TcxRadioButtonImageList : public TObject {
  VARNEL_CLASS(TcxRadioButtonImageList, TObject)
 public:
  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;

  void PaintGlyph(TcxCanvas* ACanvas, Integer X, Integer Y,
                  TcxButtonState AState, bool AChecked, bool AFocused,
                  TColor ABrushColor, TcxLookAndFeelKind ALookAndFeelKind,
                  bool AIsDesigning = false);
  TSize GlyphSize() const;
  void RebuildGlyphs();
  void BuildGlyphs();
  Integer ImageCount() const;

 private:
  TObjectPtr<TImageList> images_;
  TObjectPtr<TBitmap> mask_;
};

// The shared radio-button image list, made and filled on first call.
TcxRadioButtonImageList* PrepareRadioButtonImageList();
