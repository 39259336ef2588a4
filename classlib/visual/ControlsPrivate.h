// State shared by the sources of the control unit; not for other units.
#pragma once

#include <windows.h>

#include "Controls.h"

namespace controls_detail {

// The control of each window the program's controls made, from the window's
// first message to its last (user-interface thread only). Kept here rather
// than in a window property: every property read is a trip to the window
// system, and controls look each other up on most notifications.
void RegisterWindowControl(HWND Wnd, TWinControl* Control);
void UnregisterWindowControl(HWND Wnd, TWinControl* Control);
// Drops whatever still names the control (a control going away).
void ForgetWindowControl(TWinControl* Control);

extern TControl* captureControl;
extern std::vector<TWindowMessageObserver> windowMessageObservers;

struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
};

// The drag under way.
struct TDragProgress {
  TControl* control = nullptr;
  TDragObject* object = nullptr;
  TControl* target = nullptr;
  TPoint targetPos;
  TPoint startPos;
  Integer threshold = 0;
  bool started = false;
  bool accepted = false;
  HWND window = nullptr;
};
extern TDragProgress drag;

// What a target sees as the source: the control for a control drag.
TObject* DragSourceFor(TDragObject* obj);
HWND DragWindow();
void ResetDrag();
void StartDrag();

inline TPoint LParamToPoint(LPARAM lp) {
  return {static_cast<Smallint>(LOWORD(lp)), static_cast<Smallint>(HIWORD(lp))};
}

inline LPARAM PointToLParam(const TPoint& p) {
  return MAKELPARAM(static_cast<Word>(p.X), static_cast<Word>(p.Y));
}

inline bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
         msg != 0x020E /* WM_MOUSEHWHEEL */;
}

}  // namespace controls_detail
