// Screenshots for bug reports: the whole desktop or only the program's own
// windows, with the mouse cursor drawn in, and the way back from a bitmap
// file the user edited. Every result is a new 32-bit bitmap or none; nothing
// here raises.
#pragma once

#include <windows.h>

#include "PellorNVBitmap.h"
#include "System.h"

// The whole virtual screen (all monitors); with ownWindowsOnly only what
// shows of the program's visible top-level windows, cut to their bounding
// box, with white everywhere else.
PNVBitmap CaptureScreen(bool ownWindowsOnly);

// Copies the rectangle (x, y, width, height) of source into a new bitmap.
// With ownWindowsOnly the rectangle shrinks to the bounding box of the
// program's visible windows within it and everything those windows do not
// show is white; none when no such window is visible there.
PNVBitmap CaptureDcToBitmap(HDC source, Integer x, Integer y, Integer width,
                            Integer height, bool drawCursor,
                            bool ownWindowsOnly);

// A bitmap file of any depth as a 32-bit bitmap; none for a missing,
// unreadable, truncated or implausibly large file.
PNVBitmap LoadBitmapFile(const String& fileName);

namespace pellor_detail {
// Draws the current mouse cursor into dc, the screen point originX, originY
// landing at 0, 0. Without useCursorInfo the cursor is found the way systems
// without GetCursorInfo need. True when a cursor was drawn.
bool DrawCursor(HDC dc, Integer originX, Integer originY, bool useCursorInfo);
}  // namespace pellor_detail
