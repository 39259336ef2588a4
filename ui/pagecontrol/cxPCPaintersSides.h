// The sides of a tab strip in control coordinates: the outer side of the
// strip (away from the page), the page side, and the two ends of a row, for
// each tab position. Tab geometry is thought out for tabs on top; these
// name where "top", "bottom", "start" and "end" really lie. Also the few
// drawing pieces that several tab styles share.
#pragma once

#include <initializer_list>

#include "cxGraphics.h"
#include "cxPC.h"

// The side away from the page: top for tabs on top, left for tabs on the left.
TcxBorder cxPCOuterSide(TcxTabPosition APosition);
// The side towards the page.
TcxBorder cxPCPageSide(TcxTabPosition APosition);
// The start and end of a row: left and right for horizontal positions, top
// and bottom for vertical ones.
TcxBorder cxPCRowStartSide(TcxTabPosition APosition);
TcxBorder cxPCRowEndSide(TcxTabPosition APosition);
bool cxPCIsHorizontalPosition(TcxTabPosition APosition);

// Moves one side of the rectangle outwards by ADelta (inwards when negative).
void cxPCExtendSide(TRect& R, TcxBorder ASide, Integer ADelta);
// The strip AThickness pixels thick just outside the given side, or just
// inside it.
TRect cxPCSideStrip(const TRect& R, TcxBorder ASide, Integer AThickness,
                    bool AOutside);

// DrawBorder of the painters for lists written in place: the sides in
// order, each a one-pixel line in its colour, moving that side inwards.
void cxPCDrawBorders(TcxCanvas* ACanvas, TRect& R,
                     std::initializer_list<TcxBorder> ABorders,
                     std::initializer_list<TColor> AColors,
                     bool AExclude = false);

// A tab's full rectangle laid out as if the tab were on top (length along
// the row, thickness across it), for figures turned later by RotatePolyline.
TRect cxPCTabTopFrameRect(TcxTab* ATab);
bool cxPCIsPaintingPositionIndexIn(Integer AIndex,
                                   std::initializer_list<Integer> AIndexes);
// A one-pixel navigator button frame, shadow when the button is at rest,
// black when hot or pressed; the rectangle shrinks by 1.
void cxPCFrameNavigatorButton(TcxCanvas* ACanvas, TRect& ARect,
                              TcxPCNavigatorButtonState AState);
// 3 between the close button and its neighbour, else 1.
Integer cxPCCloseSpacedButtonsDistance(TcxPCNavigatorButton AButton1,
                                       TcxPCNavigatorButton AButton2);
