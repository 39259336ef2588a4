// What a bar manager does about the window that owns it: floating toolbars
// follow the activation, hiding, minimizing and restoring of their form and
// stay on the work area; an open menu closes when a modal mode starts. The
// thread hook hands the owner's messages here (TdxBarManagerSeams).
//
// Sources: dxBarOwner.cpp.
#pragma once

#include "dxBar.h"

// Moves a floating bar's rectangle onto the work area: up when it passes
// the bottom, down when above the top, left when past the right edge,
// right when before the left one, in this order.
TRect dxBarKeepOnWorkArea(TRect ABar, const TRect& AWorkArea);

// Handles one message of the manager's owner window.
void dxBarOwnerWndProc(TdxBarManager* AManager, TMessage& AMessage);
// Whether dxBarOwnerWndProc acts on the message.
bool dxBarOwnerWantsMessage(UINT AMsg);
// Shows or hides the manager's floating toolbars when the state changes
// (AForce hides them even while HideFloatingBarsWhenInactive is off).
void dxBarActivateFloatToolbars(TdxBarManager* AManager, bool AShow,
                                bool AForce);
// Moves every floating toolbar of the manager back onto its work area.
void dxBarCheckToolbarsVisibility(TdxBarManager* AManager);
