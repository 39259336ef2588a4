// What lies under the mouse: the hit-test controller with its hit codes,
// and the hot-track controller that tells cells about the mouse and shows
// the hint of a cell whose text does not fit.
#include "Forms.h"
#include "cxInplaceContainer.h"

// ---------------------------------------------------------------------------
// TcxCustomHitTestController
// ---------------------------------------------------------------------------

TcxCustomHitTestController::TcxCustomHitTestController(
    TcxCustomControlController* AOwner)
    : controller_(AOwner) {}

TcxEditingControl* TcxCustomHitTestController::EditingControl() const {
  return controller_->EditingControl();
}

void TcxCustomHitTestController::SetHitTestItem(TObject* AItem) {
  TObject* prev = hitTestItem_;
  hitTestItem_ = AItem;
  if (HasCode(echc_IsMouseEvent)) {
    TcxHotTrackController* hotTrack = controller_->HotTrackController();
    hotTrack->SetShowHint(
        EditingControl()->GetOptions()->GetOptionsBehavior()->CellHints());
    hotTrack->SetHotElement(AItem, hitPoint_);
  }
  if (AItem != prev) HitTestItemChanged(prev);
}

void TcxCustomHitTestController::SetHasCode(TcxHitCode ACode, bool Value) {
  if (HasCode(ACode) == Value) return;
  const TcxHitCode prev = hitState_;
  if (Value)
    hitState_ |= ACode;
  else
    hitState_ &= ~ACode;
  HitCodeChanged(static_cast<Integer>(prev & 0xFFFFFFFF));
}

void TcxCustomHitTestController::SetCoordinate(Integer AIndex, Integer Value) {
  TPoint p = hitPoint_;
  if (AIndex == 0)
    p.X = Value;
  else
    p.Y = Value;
  ReCalculate(p);
}

TcxEditCellViewInfo* TcxCustomHitTestController::EditCellViewInfo() const {
  return dynamic_cast<TcxEditCellViewInfo*>(hitTestItem_);
}

void TcxCustomHitTestController::ReCalculate() { ReCalculate(hitPoint_); }

void TcxCustomHitTestController::ReCalculate(const TPoint& APoint) {
  ClearState();
  TcxEditingControl* control = EditingControl();
  if (control->IsLocked()) return;
  hitPoint_ = APoint;
  if (control->ViewInfo()->IsDirty()) control->ViewInfo()->Calculate();
  DoCalculate();
}

void TcxCustomHitTestController::RecalculateOnMouseEvent(Integer X, Integer Y,
                                                         TShiftState AShift) {
  shift_ = AShift;
  hitState_ |= echc_IsMouseEvent;
  TScopeGuard clear([this] { hitState_ &= ~echc_IsMouseEvent; });
  ReCalculate(TPoint{X, Y});
}

void TcxCustomHitTestController::DestroyingItem(TcxCustomViewInfoItem* AItem) {
  if (AItem != hitTestItem_) return;
  hitTestItem_ = nullptr;
  ClearState();
  controller_->HotTrackController()->CheckDestroyingElement(AItem);
}

bool TcxCustomHitTestController::AllowDesignMouseEvents(Integer X, Integer Y,
                                                        TShiftState AShift) {
  RecalculateOnMouseEvent(X, Y, AShift);
  return false;
}

void TcxCustomHitTestController::DoCalculate() {
  TcxCustomControlViewInfo* viewInfo = EditingControl()->ViewInfo();
  TObject* hit = nullptr;
  for (Integer i = 0; i < viewInfo->CellCount() && !hit; ++i) {
    TcxCustomViewInfoItem* cell = viewInfo->Cells(i);
    if (cxPtInViewInfoItem(cell, hitPoint_)) hit = cell;
  }
  SetHitTestItem(hit);
}

// ---------------------------------------------------------------------------
// TcxHotTrackController
// ---------------------------------------------------------------------------

namespace {

IcxHotTrackElement* AsHotTrackElement(TObject* AObject) {
  auto* element = dynamic_cast<IcxHotTrackElement*>(AObject);
  return element;
}

void UpdateHotState(TObject* AElement, const TPoint& P) {
  if (IcxHotTrackElement* element = AsHotTrackElement(AElement))
    element->UpdateHotTrackState(P);
}

// How far the current cursor reaches below its hot spot, so that a hint
// placed under the mouse does not hide under the cursor.
Integer CursorHeightBelowHotSpot() {
  const Integer fallback = ::GetSystemMetrics(SM_CYCURSOR);
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetCursorInfo(&info) || !info.hCursor) return fallback;
  ICONINFO icon{};
  if (!::GetIconInfo(info.hCursor, &icon)) return fallback;
  Integer result = fallback;
  BITMAP mask{};
  if (icon.hbmMask && ::GetObjectA(icon.hbmMask, sizeof(mask), &mask)) {
    const Integer height = icon.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    const Integer width = mask.bmWidth;
    const Integer stride = ((width + 15) / 16) * 2;
    std::vector<Byte> bits(static_cast<size_t>(stride) * mask.bmHeight);
    if (::GetBitmapBits(icon.hbmMask, static_cast<LONG>(bits.size()),
                        bits.data())) {
      Integer lowest = -1;
      for (Integer row = height - 1; row >= 0 && lowest < 0; --row)
        for (Integer b = 0; b < stride; ++b)
          if (bits[static_cast<size_t>(row * stride + b)] != 0xFF) {
            lowest = row;
            break;
          }
      if (lowest >= 0)
        result = lowest - static_cast<Integer>(icon.yHotspot) + 1;
    }
  }
  if (icon.hbmMask) ::DeleteObject(icon.hbmMask);
  if (icon.hbmColor) ::DeleteObject(icon.hbmColor);
  return result;
}

}  // namespace

TcxHotTrackController::TcxHotTrackController(TcxEditingControl* AControl)
    : control_(AControl),
      hintTimer_(std::make_unique<TcxTimer>(nullptr)),
      hintWindow_(std::make_unique<THintWindow>(nullptr)) {
  hintWindow_->SetColor(Application->HintColor());
  ResetTimer();
}

TcxHotTrackController::~TcxHotTrackController() {
  hintWindow_.reset();
  hintTimer_.reset();
}

void TcxHotTrackController::Clear() {
  prevHitPoint_ = TPoint{-1, -1};
  prevElement_ = nullptr;
}

void TcxHotTrackController::CheckDestroyingElement(TObject* AElement) {
  if (AElement != prevElement_ && AElement != hintElement_) return;
  prevElement_ = nullptr;
  if (AElement == hintElement_) {
    CancelHint();
    hintElement_ = nullptr;
  }
  SetHotElement(nullptr, TPoint{-1, -1});
}

void TcxHotTrackController::SetHotElement(TObject* AElement, const TPoint& P) {
  if (control_->IsLocked()) {
    Clear();
    return;
  }
  if (AElement != prevElement_) {
    hintElement_ = prevElement_;
    UpdateHotState(prevElement_, TPoint{-1, -1});
    UpdateHotState(AElement, P);
  } else if (AElement && (P.X != prevHitPoint_.X || P.Y != prevHitPoint_.Y)) {
    UpdateHotState(AElement, P);
  }
  prevHitPoint_ = P;
  prevElement_ = AElement;
  if (AElement != hintElement_) CancelHint();
  if (HintNeeded()) InternalShowHint();
}

void TcxHotTrackController::ResetTimer() {
  InitTimer(Application->HintPause(), false,
            TNotifyEvent(this, &TcxHotTrackController::InternalShowHint));
}

void TcxHotTrackController::InitTimer(Integer AInterval, bool AEnabled,
                                      const TNotifyEvent& AHandler) {
  hintTimer_->SetEnabled(false);
  if (AInterval > 0) hintTimer_->SetInterval(static_cast<Cardinal>(AInterval));
  hintTimer_->SetOnTimer(AHandler);
  hintTimer_->SetEnabled(AEnabled);
}

bool TcxHotTrackController::CanShowHint() {
  if (!showHint_) return false;
  auto* controller = control_->Controller();
  if (controller->MousePressed()) return false;
  TCustomForm* form = GetParentForm(control_);
  if (form && !form->Active() &&
      !(form->FormStyle() == fsMDIForm && Application->Active()))
    return false;
  if (control_->IsDesigning()) return false;
  if (control_->Dragging() || control_->DragAndDropState() != ddsNone)
    return false;
  TcxEditingController* editing = controller->EditingController();
  if (editing->IsEditing() && editing->Edit() &&
      prevElement_ ==
          controller->GetFocusedCellViewInfo(editing->EditingItem()))
    return false;
  return true;
}

bool TcxHotTrackController::HintNeeded() {
  IcxHotTrackElement* element = AsHotTrackElement(prevElement_);
  if (!element || !CanShowHint()) return false;
  hintText_.clear();
  bool needOffset = false;
  TRect textRect;
  if (!element->IsNeedHint(cxScreenCanvas(), prevHitPoint_, hintText_,
                           hintIsMultiLine_, textRect, needOffset))
    return false;
  TPoint origin = control_->ClientToScreen(element->GetOrigin());
  if (needOffset) origin.Y += CursorHeightBelowHotSpot();
  hintWindow_->Canvas()->Font()->Assign(cxScreenCanvas()->Font());
  if (dynamic_cast<TcxEditCellViewInfo*>(prevElement_)) {
    --origin.X;
    --origin.Y;
  }
  hintRect_ = hintWindow_->CalcHintRect(Screen->Width(), hintText_);
  OffsetRect(hintRect_, origin.X, origin.Y);
  return true;
}

void TcxHotTrackController::InternalShowHint(TObject*) {
  if (hintVisible_ || hintElement_ == prevElement_) return;
  DoShowHint();
  hintElement_ = prevElement_;
  hintVisible_ = true;
  hintWindow_->ActivateHint(hintRect_, hintText_);
  const Integer hidePause = Application->HintHidePause();
  InitTimer(hidePause, hidePause > 0,
            TNotifyEvent(this, &TcxHotTrackController::InternalHideHint));
}

void TcxHotTrackController::InternalHideHint(TObject*) {
  if (!hintVisible_) return;
  TScopeGuard reset([this] {
    hintVisible_ = false;
    if (hintWindow_->HandleAllocated())
      ::ShowWindow(hintWindow_->Handle(), SW_HIDE);
    ResetTimer();
  });
  DoHideHint();
}
