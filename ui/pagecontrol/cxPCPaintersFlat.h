// The tab styles that lay flat tab cells on a coloured band, one band per
// row, with delimiters between tabs and rows and a page frame open towards
// the tabs: "ExtraFlat", "UltraFlat" (darker frames, the ultra-flat look's
// painter) and "Office11" (the Office 2003 colours and gradients).
#pragma once

#include "cxPCPainters.h"

class TcxPCExtraFlatPainter : public TcxPCStandardPainter {
  VARNEL_CLASS(TcxPCExtraFlatPainter, TcxPCStandardPainter)
  VARNEL_PC_PAINTER(TcxPCExtraFlatPainter)
 public:
  explicit TcxPCExtraFlatPainter(TcxCustomTabControl* ATabControl);

  // -- class operations --
  TcxPCStyleID GetStyleID() const override { return 5; }
  String GetStyleName() const override { return "ExtraFlat"; }

  // -- answers --
  void CalculateTabNormalWidth(TcxTab* ATab) override;
  Integer CalculateTabNormalHeight() override;
  Integer GetFrameWidth() override;
  TColor GetClientColor() override;
  TRect GetClientRectOffset() override;
  TRect GetDisplayRectOffset() override;
  Integer GetMinTabNormalWidth(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  TRect GetDrawImageOffset(Integer TabVisibleIndex) override;
  TRect GetDrawTextHOffset(Integer TabVisibleIndex) override;
  void CorrectTabRect(Integer TabVisibleIndex,
                      TcxPCRectCorrection& ACorrection) override;
  TColor GetTabBodyColor(Integer TabVisibleIndex) override;
  TcxPCDistance GetTabsNormalDistance() override;
  void GetTabsPosition(TcxPCNavigatorButtons ANavigatorButtons,
                       TcxPCTabsPosition& ATabsPosition) override;
  Integer GetButtonsDistance(TcxPCNavigatorButton AButton1,
                             TcxPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  void RepaintTab(Integer TabVisibleIndex,
                  TcxPCTabPropertyChanged ATabPropertyChanged) override;

  void InternalPaint() override;
  void PaintClientArea() override;
  void PaintFrame() override;
  void PaintTabsRegion() override;
  void PaintTabShape(Integer TabVisibleIndex) override;
  Integer GetDefaultTabNormalHeight() override;
  Integer GetDefaultTabNormalHTextOffset() override;
  Integer GetTabNormalWidth(Integer TabVisibleIndex) override;
  Integer GetTabBorderWidth(Integer TabVisibleIndex) override;
  Integer InternalCalculateTabNormalHeight() override;
  TColor GetFreeSpaceColor() override;
  Integer GetButtonHeight() override;
  Integer GetButtonWidth(TcxPCNavigatorButton AButton) override;
  TColor GetButtonColor(TcxPCNavigatorButtonState AState) override;
  TColor GetButtonContentColor(TcxPCNavigatorButtonState AState) override;
  TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                  TcxPCNavigatorButtonState AState) override;
  void CalculateButtonContentParameters(
      TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
      TcxPCNavigatorButtonContentParameters& AParameters) override;
  void PaintButtonFrame(TRect& ARect,
                        TcxPCNavigatorButtonState AState) override;

  // -- new operations --
  virtual Integer GetTabsRowsDelimiterWidth();
  virtual TRect GetFocusRect();
  virtual TcxPCDistance GetTabsDelimiterOffsets();
  virtual void DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                              Integer TabVisibleIndex);
  virtual void ExcludeUnderLine(TRect& AOffset);
  virtual TColor GetMainTabRowUnderlineColor();
  virtual TRect GetMainTabRowUnderlineRect();
  virtual TRect GetTabBackgroundRect(Integer TabVisibleIndex, bool AForRow);
  virtual Integer GetTabsDelimiterWidth();
  virtual TColor GetTabsRowColor();
  virtual bool NeedShowTabsRegionFrame();
  virtual void PaintMainTabFrame(TRect& R);
  virtual void PaintTabsDelimiter(const TRect& R);
  virtual void PaintTabsRowsDelimiter(const TRect& R, Integer ARow);

  TRect GetTabsRowRect(Integer ARow);
  void InternalPaintFrame(TColor ALight, TColor ADark);
  void InternalPaintMainTabFrame(TRect& R, TColor ALight, TColor ADark);
  void InternalPaintTabsRowsDelimiter(const TRect& R,
                                      const std::vector<TColor>& AColors);
  bool IsMainTabRow(Integer ARow);
  void PaintMainTabRowUnderline();
  bool AreTabsShown();
};

class TcxPCUltraFlatPainter : public TcxPCExtraFlatPainter {
  VARNEL_CLASS(TcxPCUltraFlatPainter, TcxPCExtraFlatPainter)
  VARNEL_PC_PAINTER(TcxPCUltraFlatPainter)
 public:
  explicit TcxPCUltraFlatPainter(TcxCustomTabControl* ATabControl);

  TcxPCStyleID GetStyleID() const override { return 6; }
  String GetStyleName() const override { return "UltraFlat"; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override;

  Integer GetButtonsDistance(TcxPCNavigatorButton AButton1,
                             TcxPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionHOffset() override;

  void PaintFrame() override;
  Integer GetButtonHeight() override;
  Integer GetButtonWidth(TcxPCNavigatorButton AButton) override;
  TColor GetButtonColor(TcxPCNavigatorButtonState AState) override;
  TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                  TcxPCNavigatorButtonState AState) override;
  void CalculateButtonContentParameters(
      TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState,
      TcxPCNavigatorButtonContentParameters& AParameters) override;
  void PaintButtonFrame(TRect& ARect,
                        TcxPCNavigatorButtonState AState) override;
  TRect GetFocusRect() override;
  void PaintMainTabFrame(TRect& R) override;
  void PaintTabsRowsDelimiter(const TRect& R, Integer ARow) override;
};

class TcxPCOffice11Painter : public TcxPCUltraFlatPainter {
  VARNEL_CLASS(TcxPCOffice11Painter, TcxPCUltraFlatPainter)
  VARNEL_PC_PAINTER(TcxPCOffice11Painter)
 public:
  explicit TcxPCOffice11Painter(TcxCustomTabControl* ATabControl);
  ~TcxPCOffice11Painter() override;

  TcxPCStyleID GetStyleID() const override { return 8; }
  String GetStyleName() const override { return "Office11"; }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override;
  virtual TColor GetFrameColor() const;

  TColor GetTabBodyColor(Integer TabVisibleIndex) override;
  bool IsTabTransparent(Integer TabVisibleIndex) override;
  bool NeedRedrawOnResize() override;
  TRect GetClientRectOffset() override;
  void FillDisplayRect() override;
  void PrepareDrawTabContentBitmapBackground(TBitmap* ABitmap,
                                             const TPoint& AOrigin,
                                             Integer TabVisibleIndex) override;

  TColor GetFreeSpaceColor() override;
  TColor GetButtonContentColor(TcxPCNavigatorButtonState AState) override;
  void PaintButtonBackground(TRect& ARect,
                             TcxPCNavigatorButtonState AState) override;
  void PaintButtonFrame(TRect& ARect,
                        TcxPCNavigatorButtonState AState) override;
  void PaintClientArea() override;
  void PaintFrame() override;
  bool NeedShowTabsRegionFrame() override;
  Integer GetTabsDelimiterWidth() override;
  TcxPCDistance GetTabsDelimiterOffsets() override;
  Integer GetTabsRowsDelimiterWidth() override;
  void PaintTabsDelimiter(const TRect& R) override;
  void PaintTabsRowsDelimiter(const TRect& R, Integer ARow) override;
  void PaintMainTabFrame(TRect& R) override;
  void ExcludeUnderLine(TRect& AOffset) override;
  void DrawBackground(TcxCanvas* ACanvas, const TRect& R,
                      Integer TabVisibleIndex) override;
  TColor GetMainTabRowUnderlineColor() override;
  TRect GetMainTabRowUnderlineRect() override;

  void DrawGradientBackground(TcxCanvas* ACanvas, const TRect& R,
                              Integer TabVisibleIndex, bool ASwap,
                              bool AVertical);
  TColor GetSelectedColor1();
  TColor GetSelectedColor2();
  bool IsGradientClienArea();
  bool NeedShowMainTabOppositeRowLine();
  void PaintMainTabOppositeRowLine();
};
