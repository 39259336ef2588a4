// The registration of the tab styles in the painter registry, in the order
// that decides which style a look-and-feel gets when several claim it. The
// unit's start-up registers them and loads the OneNote colours; its exit
// unregisters them.
#pragma once

// Registers the nine tab painters in their order; a painter already
// registered keeps its place.
void cxPCRegisterTabPainters();
// Unregisters them in the same order.
void cxPCUnregisterTabPainters();
