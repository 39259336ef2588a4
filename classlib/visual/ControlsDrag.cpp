// The drag machinery of the control unit.
#include "Controls.h"
#include "ControlsPrivate.h"
#include "Forms.h"

using namespace controls_detail;

// ---------------------------------------------------------------------------
// Drag objects and the drag machinery
// ---------------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) {
  return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted && control_) return control_->DragCursor();
  return inherited::GetDragCursor(Accepted, X, Y);
}

void TDragControlObject::Finished(TObject* Target, Integer X, Integer Y,
                                  bool Accepted) {
  if (!control_) return;
  if (!Accepted) {
    control_->DragCanceled();
    Target = nullptr;
  }
  control_->DoEndDrag(Target, X, Y);
}

TDragObject* DragObject() { return drag.object; }
TControl* DragControl() { return drag.control; }

namespace controls_detail {

TDragProgress drag;

// What a target sees as the source: the control for a control drag.
TObject* DragSourceFor(TDragObject* obj) {
  if (auto* c = dynamic_cast<TBaseDragControlObject*>(obj)) {
    return c->Control();
  }
  return obj;
}

bool SendDragMessage(TControl* target, TDragMessage msg, const TPoint& pos) {
  if (!target) return false;
  TDragRec rec;
  rec.Pos = pos;
  rec.Source = drag.object;
  rec.Target = target;
  return target->Perform(CM_DRAG, msg, reinterpret_cast<LPARAM>(&rec)) != 0;
}

void DragWndProc(TMessage& m);

HWND DragWindow() {
  if (!drag.window) {
    drag.window = AllocateHWnd(TWndMethod::FromFunction(&DragWndProc));
  }
  return drag.window;
}

void ResetDrag() {
  TDragObject* obj = drag.object;
  HWND window = drag.window;
  drag = TDragProgress{};
  drag.window = window;
  if (obj && obj->AutoFree) Free(obj);
  if (::GetCapture() == window) ::ReleaseCapture();
}

void StartDrag() {
  TControl* source = drag.control;
  TDragObject* obj = nullptr;
  source->DoStartDrag(obj);
  if (!drag.control) return;  // cancelled from OnStartDrag
  if (!obj) {
    obj = new TDragControlObject(source);
    obj->AutoFree = true;
  }
  drag.object = obj;
  drag.started = true;
}

void UpdateDragCursor(const TPoint& pos) {
  if (!drag.object || !Screen) return;
  TPoint local = drag.target ? drag.target->ScreenToClient(pos) : pos;
  ::SetCursor(Screen->Cursors(
      drag.object->GetDragCursor(drag.accepted, local.X, local.Y)));
}

void DragWndProc(TMessage& m) {
  try {
    switch (m.Msg) {
      case WM_MOUSEMOVE: {
        if (!drag.control) break;
        POINT p{static_cast<Smallint>(LOWORD(m.LParam)),
                static_cast<Smallint>(HIWORD(m.LParam))};
        ::ClientToScreen(drag.window, &p);
        const TPoint pos{p.x, p.y};
        if (!drag.started) {
          if (std::abs(pos.X - drag.startPos.X) <= drag.threshold &&
              std::abs(pos.Y - drag.startPos.Y) <= drag.threshold) {
            break;
          }
          StartDrag();
          if (!drag.started) break;
        }
        DragTo(pos);
        break;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (drag.started) {
          DragDone(true);
        } else {
          ResetDrag();
        }
        break;
      case WM_KEYDOWN:
        if (m.WParam == VK_ESCAPE) DragDone(false);
        break;
      case WM_CAPTURECHANGED:
        if (drag.control && reinterpret_cast<HWND>(m.LParam) != drag.window) {
          if (drag.started) {
            DragDone(false);
          } else {
            ResetDrag();
          }
        }
        break;
      default:
        m.Result = ::DefWindowProcA(drag.window, m.Msg, m.WParam, m.LParam);
    }
  } catch (...) {
    ResetDrag();
    if (Application) Application->HandleException(nullptr);
  }
}

}  // namespace controls_detail

void DragTo(const TPoint& Pos) {
  if (!drag.started) return;
  TControl* target = FindDragTarget(Pos, false);
  if (target != drag.target) {
    if (drag.target) SendDragMessage(drag.target, dmDragLeave, Pos);
    drag.target = target;
    drag.accepted = SendDragMessage(target, dmDragEnter, Pos);
  } else {
    drag.accepted = SendDragMessage(target, dmDragMove, Pos);
  }
  drag.targetPos = Pos;
  if (drag.object) {
    drag.object->DragPos = Pos;
    drag.object->DragTarget = drag.target;
    drag.object->DragTargetPos =
        drag.target ? drag.target->ScreenToClient(Pos) : Pos;
  }
  UpdateDragCursor(Pos);
}

void DragDone(bool Drop) {
  if (!drag.control) return;
  if (!drag.started) {
    ResetDrag();
    return;
  }
  TControl* target = drag.target;
  TDragObject* obj = drag.object;
  const TPoint pos = drag.targetPos;
  const bool accepted = Drop && target && drag.accepted;
  // Nothing may re-enter the drag from the handlers below.
  drag.control = nullptr;
  if (::GetCapture() == drag.window) ::ReleaseCapture();
  if (obj) {
    obj->Dropped = accepted;
    obj->Cancelling = !Drop;
  }
  TPoint local = target ? target->ScreenToClient(pos) : pos;
  if (target) {
    SendDragMessage(target, accepted ? dmDragDrop : dmDragLeave, pos);
  }
  if (obj)
    obj->Finished(accepted ? target : nullptr, local.X, local.Y, accepted);
  ResetDrag();
}

void CancelDrag() {
  if (drag.control) DragDone(false);
}
