// The notebook tab styles: "Tabs", drawn with the visual-styles theme when
// the look-and-feel asks for native style and the theme offers tabs, else
// with three-dimensional lines in the system colours; and "Flat", the same
// outline with one-pixel flat edges, the painter of the flat look.
#pragma once

#include "cxPCPainters.h"

class TcxPCTabsPainter : public TcxPCStandardPainter {
  VARNEL_CLASS(TcxPCTabsPainter, TcxPCStandardPainter)
  VARNEL_PC_PAINTER(TcxPCTabsPainter)
 public:
  explicit TcxPCTabsPainter(TcxCustomTabControl* ATabControl)
      : TcxPCStandardPainter(ATabControl) {}

  // -- class operations --
  TcxPCStyleID GetStyleID() const override { return 1; }
  String GetStyleName() const override { return "Tabs"; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override;
  bool IsDefault(TcxLookAndFeel* ALookAndFeel) const override;

  // -- answers --
  bool IsNativePainting() override;
  bool IsOverTab(Integer TabVisibleIndex, Integer X, Integer Y) override;
  bool NeedShowFrame() override;
  TRect GetTabsContainerOffsets() override;
  TColor GetTabBodyColor(Integer TabVisibleIndex) override;
  TcxRegionOperation GetTabClipRgnOperation(Integer TabVisibleIndex) override;
  TcxRegion* GetTabClipRgn(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetDrawImageWithoutTextWOffset(Integer TabVisibleIndex) override;
  TRect GetDrawImageOffset(Integer TabVisibleIndex) override;
  TRect GetDrawTextHOffset(Integer TabVisibleIndex) override;
  Integer GetImageTextDistance(Integer TabVisibleIndex) override;
  TRect GetDisplayRectOffset() override;
  TRect GetClientRectOffset() override;
  void CorrectTabRect(Integer TabVisibleIndex,
                      TcxPCRectCorrection& ACorrection) override;
  void GetTabNativePartAndState(Integer TabVisibleIndex, Integer& APartId,
                                Integer& AStateId) override;
  void GetTabsPosition(TcxPCNavigatorButtons ANavigatorButtons,
                       TcxPCTabsPosition& ATabsPosition) override;
  void InvalidateTabRect(Integer TabVisibleIndex) override;
  void RepaintTab(Integer TabVisibleIndex,
                  TcxPCTabPropertyChanged ATabPropertyChanged) override;
  void DrawNativeTabBackground(HDC DC, TWinControl* ATabSheet) override;

  Integer GetButtonHeight() override;
  Integer GetButtonWidth(TcxPCNavigatorButton AButton) override;
  TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                  TcxPCNavigatorButtonState AState) override;
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  Integer GetMinFrameRectSize() override;
  Integer InternalCalculateTabNormalHeight() override;
  void InternalPrepareOutTabImageAndTextData(Integer TabVisibleIndex,
                                             const TRect& AImageRect,
                                             const TRect& ATextRect) override;
  void PaintButton(TcxPCNavigatorButton AButton, const TRect& ARect) override;
  void PaintClientArea() override;
  void PaintFrame() override;
  void PaintTabsRegion() override;
  void PaintTabShape(Integer TabVisibleIndex) override;
  void PrepareTabBackground(Integer TabVisibleIndex) override;

  // -- new operations --
  virtual void PaintNativeTabBackground(Integer TabVisibleIndex,
                                        TcxCanvas* ACanvas, const TRect& R);
  virtual void GetTabCornersColor(Integer TabVisibleIndex, TColor& AFirst,
                                  TColor& ASecond);
  virtual void PaintTabCorners(Integer TabVisibleIndex);
  virtual void PaintTabFrame(Integer TabVisibleIndex);
  virtual void InternalPaintFrame(TcxCanvas* ACanvas);

  // The classic outline, given for a tab on top and turned to the tab's
  // side: lines on the tab's left and top edges take the light colours,
  // those on its right and bottom edges the dark ones.
  enum class TFigureEdge { Start, Along, End };
  struct TFigureLine {
    TPoint From;
    TPoint To;
    TFigureEdge Edge;
    bool Inner;
  };
  void DrawFigureLines(Integer TabVisibleIndex,
                       const std::vector<TFigureLine>& ALines,
                       TColor ALightOuter, TColor ALightInner,
                       TColor ADarkOuter, TColor ADarkInner);
  bool IsLightEdge(Integer TabVisibleIndex, TFigureEdge AEdge);

 private:
  bool IsPageSideRow(Integer TabVisibleIndex);
};

class TcxPCFlatPainter : public TcxPCTabsPainter {
  VARNEL_CLASS(TcxPCFlatPainter, TcxPCTabsPainter)
  VARNEL_PC_PAINTER(TcxPCFlatPainter)
 public:
  explicit TcxPCFlatPainter(TcxCustomTabControl* ATabControl)
      : TcxPCTabsPainter(ATabControl) {}

  TcxPCStyleID GetStyleID() const override { return 7; }
  String GetStyleName() const override { return "Flat"; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override;

  bool IsNativePainting() override;
  bool NeedShowFrame() override;
  Integer GetFrameWidth() override;
  TcxRegion* GetTabClipRgn(Integer TabVisibleIndex) override;
  TcxRegionOperation GetTabClipRgnOperation(Integer TabVisibleIndex) override;

  Integer GetButtonHeight() override;
  Integer GetButtonWidth(TcxPCNavigatorButton AButton) override;
  TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                  TcxPCNavigatorButtonState AState) override;
  void PaintButtonFrame(TRect& ARect,
                        TcxPCNavigatorButtonState AState) override;
  void PaintFrameBorder(const TRect& ARect) override;
  void PaintTabFrame(Integer TabVisibleIndex) override;
};
