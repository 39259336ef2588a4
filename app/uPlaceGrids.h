// What the two grids of places show and how their edits change the places
// model, kept apart from the grid control so that the rules can be tested
// (and used) without it.
#pragma once

#include <array>
#include <functional>

#include "System.h"
#include "uPlacesEx.h"

// Each grid has ten place rows; a group's places from the eleventh on are
// not shown.
constexpr Integer kPlaceRowCount = 10;
// Path cells leave this much room for their ellipsis button.
constexpr Integer kPathButtonRoom = 23;

using TTextWidthFunc = std::function<Integer(const String& Text)>;

// Path shortened to fit MaxWidth: leading folders give way to "..." one by
// one, keeping the drive and the last name as long as possible.
String MinimizePath(const String& Path, Integer MaxWidth,
                    const TTextWidthFunc& TextWidth);

// A place row of the common-dialog grid.
struct TCommonRowView {
  String Value;
  String Hint;
  bool Focusing = false;
};

// A place row of the Office grid: name, path and view cells.
struct TOfficeRowView {
  String Name;
  bool NameReadOnly = false;
  String Path;
  String PathHint;
  String View = "Details";
  bool Focusing = false;
};

using TCommonRows = std::array<TCommonRowView, kPlaceRowCount>;
using TOfficeRows = std::array<TOfficeRowView, kPlaceRowCount>;

// The rows for the current group of Places (all empty and unfocusable
// without one). PathWidth is the room of the value cell.
TCommonRows CommonGridRows(TCustomPlaces* Places, Integer PathWidth,
                           const TTextWidthFunc& TextWidth);
TOfficeRows OfficeGridRows(TCustomPlaces* Places, Integer PathWidth,
                           const TTextWidthFunc& TextWidth);

// The Office view number of a view cell's text: "List" 1 ... "Preview" 4;
// 2 (Details) for any other text.
Integer OfficeViewOfText(const String& Text);

// The name the Office grid gives a custom folder: the part after its last
// backslash or colon.
String OfficePlaceName(const String& Path);

// A row drag: whether the row at Index may be dragged (a valid place) and
// whether a row may be dropped from FromIndex onto ToIndex.
bool CanDragPlaceRow(TCustomPlaces* Places, Integer Index);
bool CanDropPlaceRow(TCustomPlaces* Places, Integer FromIndex, Integer ToIndex);
