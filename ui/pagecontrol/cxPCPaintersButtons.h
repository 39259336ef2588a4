// The two tab styles that draw every tab as a push button: "Buttons" with
// raised and sunken three-dimensional buttons, and "FlatButtons" with flat
// buttons that rise under the mouse and etched separators between them.
// Neither is chosen from a look-and-feel; a control has to name them.
#pragma once

#include "cxPCPainters.h"

// What both button styles share: the pressable tab, the highlighted main
// tab and the content offsets.
class TcxPCButtonedPainter : public TcxPCStandardPainter {
  VARNEL_CLASS(TcxPCButtonedPainter, TcxPCStandardPainter)
 public:
  explicit TcxPCButtonedPainter(TcxCustomTabControl* ATabControl)
      : TcxPCStandardPainter(ATabControl) {}

  TPoint GetButtonContentPosition(TcxPCNavigatorButton AButton,
                                  TcxPCNavigatorButtonState AState) override;
  Integer GetButtonsRegionHOffset() override;
  Integer GetButtonsRegionWOffset() override;
  TRect GetTabsContainerOffsets() override { return {2, 2, 2, 0}; }
  TRect GetDisplayRectOffset() override;
  TColor GetTabBodyColor(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTabContentWOffset(Integer TabVisibleIndex) override;
  TcxPCWOffset GetTooNarrowTabContentWOffset(Integer TabVisibleIndex) override;
  bool IsTabBorderThick(Integer TabVisibleIndex) override;
};

class TcxPCButtonsPainter : public TcxPCButtonedPainter {
  VARNEL_CLASS(TcxPCButtonsPainter, TcxPCButtonedPainter)
  VARNEL_PC_PAINTER(TcxPCButtonsPainter)
 public:
  explicit TcxPCButtonsPainter(TcxCustomTabControl* ATabControl)
      : TcxPCButtonedPainter(ATabControl) {}

  TcxPCStandardStyle GetStandardStyle() const override { return tsButtons; }
  TcxPCStyleID GetStyleID() const override { return 2; }
  String GetStyleName() const override { return "Buttons"; }

  bool IsTabBorderThick(Integer TabVisibleIndex) override;
  void PaintTabShape(Integer TabVisibleIndex) override;
};

class TcxPCFlatButtonsPainter : public TcxPCButtonedPainter {
  VARNEL_CLASS(TcxPCFlatButtonsPainter, TcxPCButtonedPainter)
  VARNEL_PC_PAINTER(TcxPCFlatButtonsPainter)
 public:
  explicit TcxPCFlatButtonsPainter(TcxCustomTabControl* ATabControl)
      : TcxPCButtonedPainter(ATabControl) {}

  TcxPCStandardStyle GetStandardStyle() const override { return tsFlatButtons; }
  TcxPCStyleID GetStyleID() const override { return 3; }
  String GetStyleName() const override { return "FlatButtons"; }

  void PaintTab(Integer TabVisibleIndex) override;
  void PaintTabShape(Integer TabVisibleIndex) override;

 private:
  bool HasFollowingNeighbour(Integer TabVisibleIndex);
  void PaintSeparator(Integer TabVisibleIndex);
};
