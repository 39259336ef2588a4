// The geometry of the bar windows, apart from the windows themselves: the
// row layout and row breaking of a toolbar, the places of its group
// separators, the docking zones of a dock control and the placing of the
// toolbars along one dock row. The bar windows (dxBarControls.h) measure
// their item controls and toolbars, hand the figures to these routines and
// apply the answers, so the rules can be checked with tables of numbers.
//
// Lengths run along a row (width on a horizontal bar or dock, height on a
// vertical one), thicknesses across it.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "Types.h"

enum TdxBarItemSeparatorKind { skHorizontal, skVertical };

// How an item control sits in the rest of its row.
enum class TdxBarRowItemAlign { Left, Center, Right, Client };

// One visible item control of a toolbar, as the row layout sees it.
struct TdxBarRowItem {
  // In: the control's real size in screen orientation, its minimum width,
  // its alignment and whether its link begins a group.
  TSize Size;
  Integer MinWidth = 1;
  TdxBarRowItemAlign Align = TdxBarRowItemAlign::Left;
  bool BeginGroup = false;
  // Set by the multi-line sizing on each item that opens a row, read by the
  // multi-line row layout.
  bool BeginsNewRow = false;
  // Out: the item rectangle in client coordinates (empty: no place), the
  // thickness of its row and whether it ends its row.
  TRect Bounds;
  Integer RowHeight = 0;
  bool LastInRow = false;
};

struct TdxBarRowLayoutParams {
  TSize ClientSize;
  bool Vertical = false;
  bool MultiLine = false;
  // The room of the mark along the row: the mark size of a docked bar, 0
  // when floating or without a mark.
  Integer MarkSize = 0;
  Integer BeginGroupSize = 0;
  // The room the MDI buttons take along the row; 0 without them.
  Integer MDILength = 0;
  bool CanHideAllItemsInSingleLine = false;
};

// Places the items in one row or (multi-line) in the rows the multi-line
// sizing chose. Answers True when an aligned item left following items
// without room (the toolbar's items-cut flag).
bool dxBarCalcRowItemRects(const TdxBarRowLayoutParams& Params,
                           std::vector<TdxBarRowItem>& Items);

struct TdxBarMultiLineParams {
  bool Vertical = false;
  Integer MarkSize = 0;  // as in TdxBarRowLayoutParams
  Integer BeginGroupSize = 0;
  // The MDI buttons' size in screen orientation; empty without them.
  TSize MDISize;
};

// Chooses where a multi-line toolbar breaks its rows for the available
// length (stored in each item's BeginsNewRow) and answers the client size
// that needs, at least MinSize.
TSize dxBarGetMultiLineBarSize(const TdxBarMultiLineParams& Params,
                               Integer AvailableLength, TSize MinSize,
                               std::vector<TdxBarRowItem>& Items);

struct TdxBarSeparatorParams {
  bool Vertical = false;
  TSize ClientSize;
  Integer Size = 0;  // the begin-group size
  Integer Mark = 0;  // the mark size of a docked bar, else 0
};

struct TdxBarSeparatorGeometry {
  TRect Bounds;
  TdxBarItemSeparatorKind Kind = skVertical;
};

// The separator of an item that begins a group, from its item rectangle
// and the thickness of its row.
TdxBarSeparatorGeometry dxBarCalcSeparator(const TdxBarSeparatorParams& Params,
                                           const TRect& ItemBounds,
                                           Integer RowHeight);

// --- Dock rows ---------------------------------------------------------------

// The docking zone size of the bars: how far beyond a dock a dragged bar
// starts to dock there, and the height of the zones between rows.
constexpr Integer dxBarDockingZoneSize = 23;
// The band between two rows (or before the first) that asks for a new row.
constexpr Integer dxBarNewRowBandSize = 5;

// Where a row lies across the rows (top to bottom on a horizontal dock,
// left to right on a vertical one).
struct TdxDockSpan {
  Integer Start = 0;
  Integer End = 0;
};

// The rows of one dock, across the rows, in client coordinates.
struct TdxDockRowsGeometry {
  bool TopLeft = true;       // a top or left dock
  Integer ClientExtent = 0;  // the client height (width) across the rows
  Integer ClientSize = 0;    // the sum of the row sizes
  std::vector<TdxDockSpan> Rows;
  Integer ZoneSize = dxBarDockingZoneSize;
};

// The span across the rows of Row (-1: before the first; Rows.size():
// after the last) and of its zone 0 (join), 1 (new row) or 2 (next row).
void dxDockGetZoneMargins(const TdxDockRowsGeometry& Geometry, Integer Row,
                          Integer Zone, Integer& Start, Integer& End);
// The row a bar dropped at Across (client coordinate across the rows) goes
// to, and whether a new row is made at that index.
Integer dxDockGetRowAtPos(const TdxDockRowsGeometry& Geometry, Integer Across,
                          bool& NewRow);

// One toolbar of a dock row, as the row layout sees it.
struct TdxDockColLayout {
  // In: lengths including the non-client size along the row.
  Integer MinLength = 0;
  Integer MaxLength = 0;
  Integer WantedPos = 0;  // updated by the layout when it pulls it back
  // The thickness of a single-line bar at full length, non-client included.
  Integer MaxThickness = 0;
  bool WholeRow = false;
  bool MultiLine = false;
  bool UseRestSpace = false;
  bool Moving = false;  // the bar being dragged
  // Out.
  Integer Pos = 0;
  Integer Length = 0;
  Integer Thickness = 0;
  bool ItemsCut = false;
};

// The thickness (non-client included) of column Index's bar for a length.
using TdxDockThicknessFunc = std::function<Integer(std::size_t, Integer)>;

// Places the bars of one row along LineLength; answers the row thickness.
// Every column's thickness is the row thickness afterwards.
Integer dxDockCalcRowPositions(std::vector<TdxDockColLayout>& Cols,
                               Integer LineLength, bool AutoAlignBars,
                               const TdxDockThicknessFunc& ThicknessFor);
