// The tab styles whose outline is no rectangle: "Slanted", with cut corners
// or slanted sides chosen by the control's tab slants, and "OneNote", with a
// long slant on every tab's left, rounded top corners, overlapping tabs and
// colours that follow the Office 2003 colour scheme. Both clip each tab to
// its real outline and fill tabs with gradients.
#pragma once

#include <vector>

#include "cxPCPainters.h"

using TPoints = std::vector<TPoint>;

// Which side or corner of a tab a segment of its outline forms.
enum TLinePosition : Byte { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TLinePositions = std::vector<TLinePosition>;

// The outline of a tab on top with its page side open at the bottom:
// segment i runs from point i to point i + 1 and forms side APositions[i].
struct TcxPCTabOutline {
  TPoints Points;
  TLinePositions Positions;
};

// The outline of a tab in the rectangle R (laid out as if on top), with the
// left and right sides slanted or not. ACutCorners is the skCutCorner kind
// with some slant position set.
TcxPCTabOutline cxPCSlantedTabOutline(const TRect& R, TcxTabSlantKind AKind,
                                      bool ALeftSlanted, bool ARightSlanted,
                                      bool ACutCorners);

// The polygon of the region an outline encloses once turned to the tab
// position: AInner gives what lies inside the outline, else the whole tab
// including the outline's pixels. R is the tab's real rectangle.
TPoints cxPCOutlineRegionPolygon(const TRect& R, TcxPCTabOutline AOutline,
                                 TcxTabPosition APosition, bool AInner);

// The OneNote colours of the current Office 2003 colour scheme.
struct TcxPCOneNoteColors {
  TColor Frame;       // the main tab's outline
  TColor TabOutline;  // an ordinary tab's outline
  TColor HotTab;      // a hot-tracked tab's outline
  TColor TabTint;     // the tint of an ordinary tab's inner lines
};
const TcxPCOneNoteColors& cxPCOneNoteColors();
// Reads the colours of the scheme anew (start-up, system colour changes).
void cxPCLoadOneNoteColors();

class TcxPCSlantedPainter : public TcxPCStandardPainter {
  VARNEL_CLASS(TcxPCSlantedPainter, TcxPCStandardPainter)
  VARNEL_PC_PAINTER(TcxPCSlantedPainter)
 public:
  explicit TcxPCSlantedPainter(TcxCustomTabControl* ATabControl);

  // -- class operations --
  TcxPCStyleID GetStyleID() const override { return 9; }
  String GetStyleName() const override { return "Slanted"; }

  // -- answers --
  void Init() override;
  bool AlwaysColoredTabs() override;
  void CalculateTabNormalWidth(TcxTab* ATab) override;
  TColor GetClientColor() override;
  TRect GetClientRectOffset() override;
  TRect GetDrawImageOffset(Integer TabVisibleIndex) override;
  TRect GetDrawTextHOffset(Integer TabVisibleIndex) override;
  Integer GetImageTextDistance(Integer TabVisibleIndex) override;
  Integer GetMinTabNormalWidth(Integer TabVisibleIndex) override;
  TColor GetTabBodyColor(Integer TabVisibleIndex) override;
  TcxRegion* GetTabClipRgn(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  TRect GetTabsContainerOffsets() override;
  TcxPCDistance GetTabsNormalDistance() override;
  Integer GetButtonsDistance(TcxPCNavigatorButton AButton1,
                             TcxPCNavigatorButton AButton2) override;
  Integer GetButtonsRegionFromTabsOffset() override;
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  bool IsOverTab(Integer TabVisibleIndex, Integer X, Integer Y) override;
  bool IsTabBorderThick(Integer TabVisibleIndex) override;
  void FillDisplayRect() override;
  void PrepareDrawTabContentBitmapBackground(TBitmap* ABitmap,
                                             const TPoint& AOrigin,
                                             Integer TabVisibleIndex) override;

  Integer GetCutValue() const { return cutValue_; }

  Integer GetDefaultTabNormalHeight() override;
  Integer GetTabNormalWidth(Integer TabVisibleIndex) override;
  TRect GetTabsRectOffset() override;
  Integer InternalCalculateTabNormalHeight() override;
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
  void PaintFrame() override;
  void PaintTabsRegion() override;
  void PaintTabShape(Integer TabVisibleIndex) override;

  // -- new operations --
  virtual bool CanLightMainTab();
  virtual void DrawBackground(TcxCanvas* ACanvas, const TRect& R, bool ASwap,
                              bool AVertical, Integer TabVisibleIndex);
  virtual void DrawTabUnderline(Integer TabVisibleIndex);
  virtual void GetBackgroundGradientColors(Integer TabVisibleIndex,
                                           TColor& AColor1, TColor& AColor2);
  virtual Integer GetGeometricalMinTabWidth();
  virtual TColor GetFrameColor();
  virtual TcxTabSlantPositions GetSlantedSides();
  virtual TSize GetTabImageSize();
  virtual Integer GetVerticalTextIndent();
  virtual Integer InternalGetCutValue();
  virtual TcxRegion* InternalGetTabClipRegion(Integer TabVisibleIndex,
                                              bool AInner);
  virtual void PaintTabFrame(Integer TabVisibleIndex, const TRect& R);
  virtual void PaintTabStateMark(Integer TabVisibleIndex);

  TcxPCTabOutline GetTabFramePolyline(Integer TabVisibleIndex);
  TRect GetTabsLineRect(Integer ARow, bool ALast);
  TRect GetTabUnderlineRect(Integer TabVisibleIndex);
  // Turns figure points given in the top frame to the tab's side.
  TPoints TurnFigure(Integer TabVisibleIndex, TPoints APoints);

 private:
  Integer cutValue_ = 0;
};

class TcxPCOneNotePainter : public TcxPCSlantedPainter {
  VARNEL_CLASS(TcxPCOneNotePainter, TcxPCSlantedPainter)
  VARNEL_PC_PAINTER(TcxPCOneNotePainter)
 public:
  explicit TcxPCOneNotePainter(TcxCustomTabControl* ATabControl);

  TcxPCStyleID GetStyleID() const override { return 10; }
  String GetStyleName() const override { return "OneNote"; }
  bool AllowRotate() const override { return false; }

  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCDistance GetTabsNormalDistance() override;
  TRect GetTabsContainerOffsets() override;
  TRect GetDrawImageOffset(Integer TabVisibleIndex) override;
  TRect GetDrawTextHOffset(Integer TabVisibleIndex) override;
  Integer GetButtonsRegionHOffset() override;

  TRect GetTabsRectOffset() override;
  bool CanLightMainTab() override;
  void DrawTabUnderline(Integer TabVisibleIndex) override;
  Integer GetGeometricalMinTabWidth() override;
  TColor GetFrameColor() override;
  TcxTabSlantPositions GetSlantedSides() override;
  Integer InternalGetCutValue() override;
  TcxRegion* InternalGetTabClipRegion(Integer TabVisibleIndex,
                                      bool AInner) override;
  void PaintTabFrame(Integer TabVisibleIndex, const TRect& R) override;
  void PaintTabStateMark(Integer TabVisibleIndex) override;

 private:
  TColor ColorBelow(Integer X, Integer Y);
};
