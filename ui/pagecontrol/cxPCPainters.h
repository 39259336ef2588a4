// The tab painters: the contract between a tab control and the painter of
// its style, the registry of painter classes, and the standard painter that
// every concrete style builds on.
//
// A painter class is a value (TcxPCPainterClass): the painter's prototype,
// made without a control. The prototype answers the class operations (those
// marked "class"), which read no control, and makes the painters of
// controls through the virtual constructor NewPainter. A concrete painter
// puts VARNEL_PC_PAINTER(Self) into its class body.
#pragma once

#include <memory>
#include <vector>

#include "cxPC.h"
//
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

class TcxPCCustomPainter;

#define VARNEL_PC_PAINTER(Self)                                                \
 public:                                                                       \
  static TcxPCPainterClass PainterClass() {                                    \
    static const Self prototype(nullptr);                                      \
    return &prototype;                                                         \
  }                                                                            \
  TObjectPtr<TcxPCCustomPainter> NewPainter(TcxCustomTabControl* ATabControl)  \
      const override {                                                         \
    return TObjectPtr<TcxPCCustomPainter>(new Self(ATabControl));              \
  }                                                                            \
  TcxPCPainterClass PainterClassOf() const override { return PainterClass(); } \
                                                                               \
 private:

// The read-only view of the control that a painter reads.
class TcxPCPainterParentInfo : public TObject {
  VARNEL_CLASS(TcxPCPainterParentInfo, TObject)
 public:
  explicit TcxPCPainterParentInfo(TcxCustomTabControl* AControl)
      : control_(AControl) {}
  TcxCustomTabControl* Control() const { return control_; }

  TWinControl* ActivePage() const;
  TcxCanvas* Canvas() const;
  TColor Color() const;
  TFont* Font() const;
  Integer Height() const;
  Integer Width() const;
  bool HideTabs() const;
  Integer ImageBorder() const;
  bool IsTabsContainer() const;
  Integer MainTabVisibleIndex() const;
  bool MultiLine() const;
  TcxPCNavigatorButtons NavigatorButtons() const;
  TcxPCNavigatorButtonState NavigatorButtonState(
      TcxPCNavigatorButton AButton) const;
  TcxPCNavigatorPosition GetNavigatorPositione() const;
  TcxPCNavigatorPosition NavigatorPosition() const {
    return GetNavigatorPositione();
  }
  TcxPCOptions Options() const;
  bool RaggedRight() const;
  bool Rotate() const;
  Integer RowCount() const;
  bool ScrollOpposite() const;
  bool ShowFrame() const;
  Integer TabHeight() const;
  TcxTabPosition TabPosition() const;
  TcxTabSlants* TabSlants() const;
  Integer TabWidth() const;
  Integer TopOrLeftPartRowCount() const;
  TRect ExtendedTopOrLeftTabsRect() const;
  TRect ExtendedBottomOrRightTabsRect() const;
  TcxTab* VisibleTab(Integer TabVisibleIndex) const;
  TWinControl* Page(Integer TabVisibleIndex) const;
  TColor PageColor(Integer TabVisibleIndex) const;
  TColor TabColor(Integer TabVisibleIndex) const;
  bool TabsOnBothSides() const;

 private:
  TcxCustomTabControl* control_;
};

class TcxPCCustomPainter : public TObject {
  VARNEL_CLASS(TcxPCCustomPainter, TObject)
 public:
  // ATabControl is null for a painter class's prototype.
  explicit TcxPCCustomPainter(TcxCustomTabControl* ATabControl);
  ~TcxPCCustomPainter() override;

  // The virtual constructor: a painter of this class for the control.
  virtual TObjectPtr<TcxPCCustomPainter> NewPainter(
      TcxCustomTabControl* ATabControl) const = 0;
  // The painter class this painter was made from.
  virtual TcxPCPainterClass PainterClassOf() const = 0;

  TcxCustomTabControl* ParentControl() const { return parentControl_; }
  TcxPCPainterParentInfo* ParentInfo() const { return parentInfo_.get(); }
  TcxPCOutTabImageAndTextData OutTabImageAndTextData;

  // --- Virtual operations ---
  virtual bool AllowRotate() const { return true; }  // class
  virtual void CalculateTabNormalWidth(TcxTab* ATab) = 0;
  virtual void CorrectTabRect(Integer TabVisibleIndex,
                              TcxPCRectCorrection& ACorrection);
  virtual void DrawNativeTabBackground(HDC, TWinControl*) {}
  virtual void DrawTabImageAndText(Integer TabVisibleIndex);
  virtual void FillDisplayRect();
  virtual void FillTabPaneContent() { FillDisplayRect(); }
  virtual Integer GetButtonsDistance(TcxPCNavigatorButton,
                                     TcxPCNavigatorButton) {
    return 0;
  }
  virtual Integer GetButtonsRegionFromTabsOffset() { return 0; }
  virtual Integer GetButtonsRegionHOffset() { return 0; }
  virtual Integer GetButtonsRegionWOffset() { return 0; }
  virtual TColor GetClientColor();
  virtual TRect GetClientRectOffset();
  virtual TRect GetDisplayRectOffset();
  virtual TRect GetDrawImageOffset(Integer TabVisibleIndex) = 0;
  virtual TcxPCWOffset GetDrawImageWithoutTextWOffset(
      Integer TabVisibleIndex) = 0;
  virtual TRect GetDrawTextHOffset(Integer TabVisibleIndex) = 0;
  virtual Integer GetFrameWidth() { return 0; }
  virtual void AfterPaintTab(Integer TabVisibleIndex);
  virtual bool AlwaysColoredTabs() { return false; }
  virtual TPoint GetGoDialogPosition(const TSize& AGoDialogSize) = 0;
  virtual Integer GetImageTextDistance(Integer TabVisibleIndex) = 0;
  virtual Integer GetMinTabNormalWidth(Integer TabVisibleIndex) = 0;
  virtual TcxPCDistance GetMinTabSelectionDistance() = 0;
  virtual void GetNativeContentOffset(TRect& R);
  virtual TColor GetTabBodyColor(Integer TabVisibleIndex) = 0;
  virtual TColor GetTabColor(Integer TabVisibleIndex);
  // A new region; the caller frees it.
  virtual TcxRegion* GetTabClipRgn(Integer TabVisibleIndex);
  virtual TcxRegionOperation GetTabClipRgnOperation(Integer) {
    return roIntersect;
  }
  virtual TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) = 0;
  virtual void GetTabNativePartAndState(Integer, Integer& APart,
                                        Integer& AState) {
    APart = 0;
    AState = 0;
  }
  virtual TRect GetTabsContainerOffsets() { return TRect(); }
  virtual TcxPCDistance GetTabsNormalDistance() { return TcxPCDistance{}; }
  virtual void GetTabsPosition(TcxPCNavigatorButtons ANavigatorButtons,
                               TcxPCTabsPosition& ATabsPosition) = 0;
  virtual TColor GetTextColor(Integer TabVisibleIndex);
  virtual TcxPCWOffset GetTooNarrowTabContentWOffset(
      Integer TabVisibleIndex) = 0;
  virtual void Init() {}
  virtual void InternalDrawText(TcxCanvas* ACanvas, const String& ACaption,
                                TRect ATextRect, Integer TabVisibleIndex);
  virtual void InternalPaint();
  virtual void InternalPrepareOutTabImageAndTextData(
      Integer TabVisibleIndex, const TRect& AImageRect,
      const TRect& ATextRect) = 0;
  virtual void InvalidateTabRect(Integer TabVisibleIndex);
  virtual bool IsEnableHotTrack() { return IsNativePainting(); }
  virtual bool IsNativePainting() { return false; }
  virtual bool IsOverButton(Integer X, Integer Y,
                            TcxPCNavigatorButton& AButton) = 0;
  virtual bool IsOverTab(Integer, Integer, Integer) { return true; }
  virtual bool IsTabBorderThick(Integer TabVisibleIndex) = 0;
  virtual bool IsTabTransparent(Integer) { return false; }
  virtual bool NeedDisabledTextShadow() { return true; }
  virtual bool NeedRedrawOnResize() { return IsNativePainting(); }
  virtual bool NeedShowFrame();
  virtual void Paint() { InternalPaint(); }
  virtual void PaintButtonsRegion() = 0;
  virtual void PaintClientArea();
  virtual void PaintFrame() = 0;
  virtual void PaintTabsRegion() = 0;
  virtual void PrepareDrawTabContentBitmapBackground(TBitmap*, const TPoint&,
                                                     Integer) {}
  virtual void RepaintButton(TcxPCNavigatorButton, TcxPCNavigatorButtonState) {}
  virtual void RepaintButtonsRegion() {}
  virtual void RepaintTab(Integer, TcxPCTabPropertyChanged) {}
  virtual Integer CalculateTabNormalHeight() = 0;
  virtual TRect GetGoDialogButtonBounds() = 0;
  virtual TcxPCStandardStyle GetStandardStyle() const {
    return tsTabs;
  }                                                                     // class
  virtual TcxPCStyleID GetStyleID() const { return -1; }                // class
  virtual String GetStyleName() const { return String(); }              // class
  virtual bool HasLookAndFeel(TcxLookAndFeel*) const { return false; }  // class
  virtual bool IsDefault(TcxLookAndFeel*) const { return false; }       // class
  virtual bool IsMainTabBoundWithClient() const { return true; }        // class
  virtual bool IsMultiSelectionAccepted() const { return false; }       // class
  virtual bool IsStandardStyle() const { return false; }                // class
  virtual bool IsTabPressable() const { return false; }                 // class

  // --- Services for the concrete painters ---
  bool IsCustomDraw();
  bool DoCustomDraw(Integer TabVisibleIndex);
  bool IsAssignedImages();
  bool IsTabHasImage(Integer TabVisibleIndex);
  TSize GetTabBaseImageSize();
  TSize GetTabRotatedImageSize();
  Integer GetMaxTabCaptionHeight();
  Integer GetTabNativeState(Integer TabVisibleIndex);
  TColor GetHighlightedTextColor(Integer TabVisibleIndex, TColor ADefault);
  TColor GetHotTrackColor();
  TColor GetDisabledTextFaceColor() { return clBtnHighlight; }
  TColor GetDisabledTextShadowColor() { return clBtnShadow; }
  TColor GetHighlightedTabBodyColor() { return clHighlight; }
  TRect GetClientRect();
  TRect GetDisplayRect();
  // Margins given for tabs on top turned to the tab position and taken
  // off the control rectangle.
  TRect GetExtendedRect(const TRect& R, const TRect& AOffset);
  void ExcludeTabContentClipRegion(Integer TabVisibleIndex);
  bool InternalSetClipRect(const TRect& R, bool AIntersect = true);
  void InternalResetClipRegion() { RestoreClipRgn(); }
  void SaveClipRgn();
  void RestoreClipRgn();
  void DestroySavedClipRgns();
  void InternalInvalidateRect(const TRect& R);
  void InvalidateTabExtendedTabsRect(Integer TabVisibleIndex);
  void InternalPolyLine(const TPoint* APoints, Integer ALastIndex,
                        TcxCanvas* ACanvas, TColor AColor);
  void DirectionalPolyline(const TRect& R, const TPoint* APoints,
                           Integer ALastIndex, TcxTabPosition APosition,
                           TColor AColor, TcxCanvas* ACanvas = nullptr);
  static TPoint RotatePoint(const TRect& R, const TPoint& P,
                            TcxTabPosition APosition);
  static void RotatePolyline(const TRect& R, TPoint* APoints,
                             Integer ALastIndex, TcxTabPosition APosition);
  TBitmap* GetTabVerticalTextBitmap(Integer TabVisibleIndex);
  TBitmap* CreateNewTabVerticalTextBitmap(Integer TabVisibleIndex);
  void PrepareTabCanvasFont(TcxTab* ATab, TcxCanvas* ACanvas);
  void PrepareTabControlImagesBitmapBackground(TBitmap* ABitmap);
  void StandardPainterPrepareOutTabImageAndTextData(Integer TabVisibleIndex);

 protected:
  TcxCanvas* Canvas() const;
  TcxTab* VisibleTab(Integer TabVisibleIndex) const;

 private:
  void DrawTextInBitmap(TBitmap* ABitmap, const String& ACaption,
                        const TRect& ATextRect, Integer TabVisibleIndex,
                        bool AEnabled);

  TcxCustomTabControl* parentControl_;
  std::unique_ptr<TcxPCPainterParentInfo> parentInfo_;
  // Saved clip regions, the last on top; null stands for no clip region.
  std::vector<TObjectPtr<TcxRegion>> savedClipRgns_;
};

// --- The registry of painter classes ---
void RegisterPCPainterClass(TcxPCPainterClass AClass);
void UnregisterPCPainterClass(TcxPCPainterClass AClass);

// The process-wide registry; exists from the first registration to the
// last unregistration.
class TcxPCPaintersFactory : public TObject {
  VARNEL_CLASS(TcxPCPaintersFactory, TObject)
 public:
  TcxPCPainterClass GetPainterClass(TcxPCStyleID AStyleID) const;
  TcxPCPainterClass GetPainterClass(const String& AStyleName) const;
  TcxPCPainterClass GetPainterClass(TcxPCStandardStyle AStandardStyle) const;
  TcxPCStyleID GetStyleID(TcxLookAndFeel* ALookAndFeel) const;
  TcxPCStyleID GetDefaultStyleID(TcxLookAndFeel* ALookAndFeel) const;
  TObjectPtr<TcxPCCustomPainter> GetPainterInstance(
      TcxPCPainterClass AClass, TcxCustomTabControl* ATabControl) const;
  void FreePainterInstance(TObjectPtr<TcxPCCustomPainter>& APainter) const;
  Integer GetPainterClassCount() const {
    return static_cast<Integer>(classes_.size());
  }
  TcxPCPainterClass PainterClasses(Integer Index) const {
    return classes_.at(Index);
  }

 private:
  friend void RegisterPCPainterClass(TcxPCPainterClass);
  friend void UnregisterPCPainterClass(TcxPCPainterClass);
  [[noreturn]] void OutError(const String& AMethod, const String& AText) const;
  std::vector<TcxPCPainterClass> classes_;
};
// Null while no class is registered.
TcxPCPaintersFactory* PaintersFactory();

// ---------------------------------------------------------------------------
// The standard painter
// ---------------------------------------------------------------------------

struct TcxPCNavigatorButtonPosition {
  TcxPCNavigatorButton Button = nbTopLeft;
  TRect Rect;
};
using TcxPCNavigatorButtonPositions = std::vector<TcxPCNavigatorButtonPosition>;

struct TcxPCNavigatorButtonContentParameters {
  TColor BrushColor = clNone;
  TColor PenColor = clNone;
  bool Enabled = true;
  bool IsThinGlyph = false;
};

enum TcxPCArrow : Byte { aTop, aBottom, aLeft, aRight };

class TcxPCStandardPainter : public TcxPCCustomPainter {
  VARNEL_CLASS(TcxPCStandardPainter, TcxPCCustomPainter)
 public:
  explicit TcxPCStandardPainter(TcxCustomTabControl* ATabControl)
      : TcxPCCustomPainter(ATabControl) {}

  // --- Overrides of the contract ---
  void CalculateTabNormalWidth(TcxTab* ATab) override;
  TRect GetDrawImageOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetDrawImageWithoutTextWOffset(Integer) override {
    return cxPCEmptyWOffset;
  }
  TRect GetDrawTextHOffset(Integer TabVisibleIndex) override;
  Integer GetFrameWidth() override { return 2; }
  TPoint GetGoDialogPosition(const TSize& AGoDialogSize) override;
  Integer GetImageTextDistance(Integer) override { return 6; }
  Integer GetMinTabNormalWidth(Integer TabVisibleIndex) override;
  TcxPCDistance GetMinTabSelectionDistance() override { return {4, 4}; }
  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCDistance GetTabsNormalDistance() override;
  void GetTabsPosition(TcxPCNavigatorButtons ANavigatorButtons,
                       TcxPCTabsPosition& ATabsPosition) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  void InternalPrepareOutTabImageAndTextData(Integer TabVisibleIndex,
                                             const TRect& AImageRect,
                                             const TRect& ATextRect) override;
  bool IsOverButton(Integer X, Integer Y,
                    TcxPCNavigatorButton& AButton) override;
  bool IsTabBorderThick(Integer TabVisibleIndex) override;
  void Paint() override;
  void PaintButtonsRegion() override;
  void PaintFrame() override;
  void PaintTabsRegion() override;
  void RepaintButton(TcxPCNavigatorButton AButton,
                     TcxPCNavigatorButtonState AOldState) override;
  void RepaintButtonsRegion() override;
  void RepaintTab(Integer TabVisibleIndex,
                  TcxPCTabPropertyChanged AType) override;
  Integer CalculateTabNormalHeight() override;
  TRect GetGoDialogButtonBounds() override;
  bool IsMainTabBoundWithClient() const override;
  bool IsMultiSelectionAccepted() const override;
  bool IsStandardStyle() const override { return true; }
  bool IsTabPressable() const override;

  // --- Operations the standard painter adds ---
  virtual void PaintTab(Integer TabVisibleIndex);
  virtual void CalculateButtonContentParameters(
      TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
      TcxPCNavigatorButtonContentParameters& AParameters);
  virtual TRect CalculateButtonsRect(TcxPCNavigatorButtons AButtons);
  virtual void CalculateButtonsRegion(TcxPCNavigatorButtons AButtons);
  virtual Integer CalculateButtonsRegionWidth(TcxPCNavigatorButtons AButtons);
  virtual TColor GetButtonColor(TcxPCNavigatorButtonState) { return clBtnFace; }
  virtual TColor GetButtonContentColor(TcxPCNavigatorButtonState AState);
  virtual TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                          TcxPCNavigatorButtonState AState);
  virtual Integer GetButtonHeight() { return 20; }
  virtual Integer GetButtonWidth(TcxPCNavigatorButton AButton);
  virtual Integer GetDefaultTabNormalHeight();
  virtual Integer GetDefaultTabNormalHTextOffset();
  virtual Integer GetDefaultTabNormalWidth() { return 42; }
  virtual TColor GetFreeSpaceColor();
  virtual Integer GetMinFrameRectSize() { return 2 * GetFrameWidth(); }
  virtual Integer GetTabBorderWidth(Integer) { return 2; }
  virtual Integer GetTabNormalWidth(Integer TabVisibleIndex);
  virtual TRect GetTabsRectOffset() { return TRect(); }
  virtual Integer InternalCalculateTabNormalHeight();
  virtual void InternalDrawFocusRect(Integer TabVisibleIndex, const TRect& R);
  virtual void PaintButton(TcxPCNavigatorButton AButton, const TRect& ARect);
  virtual void PaintButtonBackground(TRect& ARect,
                                     TcxPCNavigatorButtonState AState);
  virtual void PaintButtonFrame(TRect& ARect, TcxPCNavigatorButtonState AState);
  virtual void PaintFrameBorder(const TRect& R);
  virtual void PaintTabShape(Integer TabVisibleIndex) = 0;
  virtual void PrepareTabBackground(Integer) {}
  virtual void GetButtonsOrder(TcxPCNavigatorButtons AButtons,
                               std::vector<TcxPCNavigatorButton>& AOrder);

  Integer CorrectTabHeightForImage(Integer AHeight);
  TRect GetFrameRect();
  void InternalDrawEdge(const TRect& ARect, bool APressed, bool AFlat);
  void DrawButtonContent(TcxPCNavigatorButton AButton,
                         const TcxPCNavigatorButtonContentParameters& AParams,
                         const TPoint& P);
  TPoint Get3DButtonContentPosition(TcxPCNavigatorButton AButton,
                                    TcxPCNavigatorButtonState AState);
  TcxPCArrow GetButtonArrow(TcxPCNavigatorButton AButton);
  TPoint GetButtonCenteredContentPosition(TcxPCNavigatorButton AButton,
                                          TcxPCNavigatorButtonState AState);
  Integer GetButtonsWidth(TcxPCNavigatorButtons AButtons);
  const TcxPCNavigatorButtonPositions& NavigatorButtonPositions() const {
    return navigatorButtons_;
  }
  const TRect& ButtonsRegion() const { return buttonsRegion_; }

 protected:
  bool IsHorizontalTabPosition() const;

 private:
  TcxPCNavigatorButtonPositions navigatorButtons_;
  TRect buttonsRegion_;
};

// --- Routines shared by the concrete painters ---
// The kind of the look-and-feel painter the look-and-feel offers for tabs:
// lfsNative with native style and visual styles for tabs, else the skin's
// or the kind's.
TcxLookAndFeelStyle cxPCLookAndFeelPainterKind(TcxLookAndFeel* ALookAndFeel);
// Draws the listed sides of R, one pixel each, moving each side inwards;
// with AExclude the ring drawn is taken out of the canvas clip.
void DrawBorder(TcxCanvas* ACanvas, TRect& R, const TcxBorder* ABorders,
                const TColor* AColors, Integer ACount, bool AExclude);
void GetRectSize(const TRect& R, bool AHorizontal, Integer& ALength,
                 Integer& AThickness);
void ExchangeValues(Integer& A, Integer& B);
TcxPCDistance RotateTabsDistance(const TcxPCDistance& ADistance);
TColor BrightenColor(TColor AColor, Integer APercent);
// clBtnFace with every channel raised by 20.
TColor cxPCLightBrushColor();
