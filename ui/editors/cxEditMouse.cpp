// The editor control's mouse and embedded buttons, the calculation and
// repainting of its view info, and its automatic size.
#include <windows.h>

#include <cctype>

#include "Forms.h"
#include "ScopeGuard.h"
#include "cxEdit.h"
#include "cxEditViewData.h"
#include "cxEditViewInfo.h"

namespace {

TcxCustomEditViewInfo* EditViewInfo(TcxContainer* AEdit) {
  return static_cast<TcxCustomEditViewInfo*>(AEdit->ViewInfo());
}

// Whether ACaption marks AKey as its accelerator ("&&" is a plain ampersand).
bool IsAccelerator(char AKey, const String& ACaption) {
  for (std::size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != '&') continue;
    if (ACaption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(ACaption[i + 1])) ==
           std::toupper(static_cast<unsigned char>(AKey));
  }
  return false;
}

TPoint CursorPosIn(TWinControl* AControl) {
  POINT p{};
  ::GetCursorPos(&p);
  if (AControl->HandleAllocated()) ::ScreenToClient(AControl->Handle(), &p);
  return TPoint{p.x, p.y};
}

}  // namespace

// ---------------------------------------------------------------------------
// Mouse and buttons
// ---------------------------------------------------------------------------

Integer TcxCustomEdit::ButtonVisibleIndexAt(const TPoint& P) {
  auto& buttons = EditViewInfo(this)->ButtonsInfo;
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (PtInRect(buttons[i]->Bounds, P)) return static_cast<Integer>(i);
  return -1;
}

bool TcxCustomEdit::CheckButtonShortCuts(char AKey) {
  if (!Enabled()) return false;
  auto* buttons = ActiveProperties()->Buttons();
  for (Integer i = 0, visible = -1; i < buttons->Count(); ++i) {
    auto* button = buttons->Items(i);
    if (!button->Visible()) continue;
    ++visible;
    if (button->Enabled() && IsAccelerator(AKey, button->Caption())) {
      DoButtonClick(visible);
      return true;
    }
  }
  return false;
}

void TcxCustomEdit::Click() {
  if (IsDestroying() || IsClickLocked()) return;
  if (ComponentState().Contains(csLoading) && !IsClickEnabledDuringLoading())
    return;
  TcxContainer::Click();
}

void TcxCustomEdit::DoClick() {
  SetModifiedAfterEnter(true);
  if (!IsClickLocked()) Click();
}

void TcxCustomEdit::DblClick() {
  const TPoint p = CursorPosIn(this);
  if (ButtonVisibleIndexAt(p) == -1) {
    TcxContainer::DblClick();
    return;
  }
  // The second click of a double click presses the button again.
  TShiftState shift = InternalGetShiftState();
  shift.Include(ssLeft);
  MouseDown(mbLeft, shift, p.X, p.Y);
  Click();
}

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                              Integer Y) {
  if (Button == mbLeft && dblClickDeadline_ != 0) {
    const bool pending =
        static_cast<LONG>(::GetTickCount() - dblClickDeadline_) < 0;
    dblClickDeadline_ = 0;
    if (pending && ButtonVisibleIndexAt(TPoint{X, Y}) == -1) DblClick();
  }
  TcxContainer::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !MouseCapture()) return;
  const Integer index = ButtonVisibleIndexAt(TPoint{X, Y});
  if (index != -1 && EditViewInfo(this)
                             ->ButtonsInfo[static_cast<std::size_t>(index)]
                             ->Data.State == ebsPressed)
    captureButton_ = index;
}

bool TcxCustomEdit::HandleMouseWheel(TShiftState Shift) {
  return !isInplace_ || ActiveProperties()->UseMouseWheel() ||
         Shift.Contains(ssCtrl);
}

void TcxCustomEdit::StartDblClickTimer() {
  // Zero means none pending.
  dblClickDeadline_ = (::GetTickCount() + ::GetDoubleClickTime()) | 1;
}

// ---------------------------------------------------------------------------
// View info
// ---------------------------------------------------------------------------

TObjectPtr<TcxCustomEditViewData> TcxCustomEdit::CreateViewData() {
  auto data = ActiveProperties()->CreateViewData(
      static_cast<TcxCustomEditStyle*>(ActiveStyle()), isInplace_);
  if (isInplace_ && contentParamsInitialized_)
    data->EditContentParams = contentParams_;
  if (!IsDestroying()) data->Edit = this;
  InitializeViewData(data.get());
  return data;
}

void TcxCustomEdit::InitContentParams() {
  auto data = ActiveProperties()->CreateViewData(
      static_cast<TcxCustomEditStyle*>(ActiveStyle()), isInplace_);
  data->InitEditContentParams(contentParams_);
  contentParamsInitialized_ = true;
}

void TcxCustomEdit::InitializeViewData(TcxCustomEditViewData* AViewData) {
  AViewData->Enabled = Enabled();
  AViewData->Focused = focused_;
  AViewData->InnerEdit = InnerControl();
  AViewData->IsDesigning = ComponentState().Contains(csDesigning);
  AViewData->CaptureButtonVisibleIndex = captureButton_;
}

void TcxCustomEdit::CalculateViewInfo(const TPoint& P, bool) {
  CalculateViewInfo(P, cxmbNone, InternalGetShiftState(), false);
}

void TcxCustomEdit::CalculateViewInfo(const TPoint& P, TcxMouseButton AButton,
                                      TShiftState AShift, bool AIsMouseEvent) {
  auto data = CreateViewData();
  data->Calculate(Canvas(), TRect{0, 0, Width(), Height()}, P, AButton, AShift,
                  EditViewInfo(this), AIsMouseEvent);
}

bool TcxCustomEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button,
                                     TShiftState Shift, bool AIsMouseEvent) {
  if (!HandleAllocated() || IsCreating() || IsRefreshLocked() || IsDestroying())
    return false;
  SetViewInfoCalculated();
  if (captureButton_ != -1 && !MouseCapture()) captureButton_ = -1;
  auto* viewInfo = EditViewInfo(this);
  TObjectPtr<TcxContainerViewInfo> prev;
  if (AIsMouseEvent) {
    prev = ActiveProperties()->GetViewInfoClass()();
    prev->Assign(viewInfo);
  }
  CalculateViewInfo(P, Button, Shift, AIsMouseEvent);
  const TRect inner = InnerControl() ? InnerControl()->BoundsRect() : TRect{};
  const bool changed = viewInfo->Repaint(
      this, inner, static_cast<TcxCustomEditViewInfo*>(prev.get()));
  if (AIsMouseEvent && !changed) return true;
  SetSize();
  AdjustInnerControl();
  SetShadowRegion();
  if (AIsMouseEvent) ProcessViewInfoChanges(prev.get(), true);
  if (viewInfo->ContainerState.Contains(csHotTrack))
    BeginMouseTracking(this, GetVisibleBounds(), this);
  return true;
}

void TcxCustomEdit::ProcessViewInfoChanges(TcxContainerViewInfo* APrevViewInfo,
                                           bool) {
  auto* prev = static_cast<TcxCustomEditViewInfo*>(APrevViewInfo);
  auto* now = EditViewInfo(this);
  if (prev->PressedButton == now->PressedButton &&
      prev->SelectedButton == now->SelectedButton)
    return;
  if (prev->PressedButton != -1) {
    DoButtonUp(prev->PressedButton);
    // Released over the button it pressed: a click.
    if (now->SelectedButton == prev->PressedButton)
      DoButtonClick(prev->PressedButton);
  } else if (now->PressedButton != -1) {
    DoButtonDown(now->PressedButton);
  }
}

// ---------------------------------------------------------------------------
// Size
// ---------------------------------------------------------------------------

bool TcxCustomEdit::IsHeightStored() const {
  return !const_cast<TcxCustomEdit*>(this)->CanAutoSize();
}

bool TcxCustomEdit::IsWidthStored() const {
  auto* self = const_cast<TcxCustomEdit*>(this);
  return !(self->CanAutoSize() && self->CanAutoWidth());
}

void TcxCustomEdit::RequestAlign() {
  TcxContainer::RequestAlign();
  ShortRefreshContainer(false);
}

bool TcxCustomEdit::CanAutoWidth() {
  return ActiveProperties()->ButtonsViewStyle() == bvsButtonsAutoWidth;
}

void TcxCustomEdit::SetEditAutoSize(bool Value) {
  if (isInplace_ || autoSize_ == Value) return;
  autoSize_ = Value;
  if (!Value) return;
  HandleNeeded();
  SetSize();
  ShortRefreshContainer(false);
}

void TcxCustomEdit::FillSizeProperties(TcxEditSizeProperties& AProps) {
  AProps.Height = -1;
  AProps.MaxLineCount = 1;
  AProps.Width = Width();
}

void TcxCustomEdit::InternalCanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!CanAutoSize()) return;
  TcxEditSizeProperties props;
  FillSizeProperties(props);
  const TSize size =
      CreateViewData()->GetEditSize(ScreenCanvas(), EditValue(), props);
  const TAlign align = Align();
  if (CanAutoWidth() && align != alTop && align != alBottom &&
      align != alClient && align != alCustom)
    NewWidth = size.cx;
  if (align != alLeft && align != alRight && align != alClient &&
      align != alCustom)
    NewHeight = size.cy;
}

bool TcxCustomEdit::CanResize(Integer& NewWidth, Integer& NewHeight) {
  const bool result = TcxContainer::CanResize(NewWidth, NewHeight);
  if (result && !ComponentState().Contains(csLoading))
    InternalCanResize(NewWidth, NewHeight);
  return result;
}

void TcxCustomEdit::SetSize() {
  if (HandleAllocated() && !IsDestroying()) {
    Integer width = Width(), height = Height();
    InternalCanResize(width, height);
    if (width != Width() || height != Height())
      SetBounds(Left(), Top(), width, height);
  }
  TcxContainer::SetSize();
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

bool TcxCustomEdit::IsActiveControl() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TWinControl* active = form->ActiveControl();
  return active && (active == this || active == InnerControl());
}
