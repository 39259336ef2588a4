// The bar control base: item controls of the window, selection, the active
// chain, the mouse protocol, keys and painting; and its view info.
#include <algorithm>

#include "ScopeGuard.h"
#include "dxBar.h"
#include "dxBarHints.h"
#include "dxBarWinControls.h"

namespace {

// The signed client coordinates a mouse message carries.
Integer dxBarXOf(LPARAM L) { return static_cast<short>(LOWORD(L)); }
Integer dxBarYOf(LPARAM L) { return static_cast<short>(HIWORD(L)); }

}  // namespace

// ---------------------------------------------------------------------------
// TCustomdxBarControlViewInfo
// ---------------------------------------------------------------------------

void TCustomdxBarControlViewInfo::Clear() {
  viewInfos_.clear();
  separators_.clear();
}

void TCustomdxBarControlViewInfo::AddItemControlViewInfo(
    TdxBarItemControlViewInfo* AViewInfo) {
  viewInfos_.push_back(AViewInfo);
}

void TCustomdxBarControlViewInfo::RemoveItemControlViewInfo(
    TdxBarItemControlViewInfo* AViewInfo) {
  std::erase(viewInfos_, AViewInfo);
  for (auto& s : separators_) {
    if (AViewInfo && s.Control == AViewInfo->Control()) s.Control = nullptr;
  }
}

Integer TCustomdxBarControlViewInfo::GetItemControlIndex(
    const TdxBarItemControl* AControl) const {
  for (std::size_t i = 0; i < viewInfos_.size(); ++i) {
    if (AControl && viewInfos_[i]->Control() == AControl) {
      return static_cast<Integer>(i);
    }
  }
  return -1;
}

void TCustomdxBarControlViewInfo::AddSeparatorInfo(
    const TRect& ABounds, TdxBarItemSeparatorKind AKind,
    TdxBarItemControl* AControl) {
  separators_.push_back({AControl, {ABounds, AKind}});
}

bool TCustomdxBarControlViewInfo::IsAssociatedWithSeparator(
    const TdxBarItemControl* AControl, Integer& AIndex) const {
  for (std::size_t i = 0; i < separators_.size(); ++i) {
    if (AControl && separators_[i].Control == AControl) {
      AIndex = static_cast<Integer>(i);
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// TCustomdxBarControl: life
// ---------------------------------------------------------------------------

TCustomdxBarControl::TCustomdxBarControl(TComponent* AOwner)
    : TCustomControl(AOwner) {
  dxBarControlList()->Add(this);
  SetControlStyle(ControlStyle() - TControlStyle{csCaptureMouse});
}

void TCustomdxBarControl::BeforeDestruction() {
  if (childBar_ && !childBar_->ComponentState().Contains(csDestroying)) {
    childBar_->SetParentBar(nullptr);
  }
  SetParentBar(nullptr);
  TCustomControl::BeforeDestruction();
}

TCustomdxBarControl::~TCustomdxBarControl() {
  if (auto gone = dxBarManagerSeams().AccessibilityOwnerGone) gone(this);
  if (ActiveBarControl == this) ActiveBarControl = prevActiveBarControl_;
  for (Integer i = 0; i < dxBarControlList()->Count(); ++i) {
    auto* other =
        static_cast<TCustomdxBarControl*>(dxBarControlList()->Items(i));
    if (other && other->prevActiveBarControl_ == this) {
      other->prevActiveBarControl_ = prevActiveBarControl_;
    }
  }
  if (ActiveBarControl && !IsLive(ActiveBarControl)) ActiveBarControl = nullptr;
  DestroyControls();
  dxBarControlList()->Remove(this);
  cxClearObjectLinks(this);
}

bool TCustomdxBarControl::IsLive(const TCustomdxBarControl* AControl) {
  return AControl && dxBarControlList()->IndexOf(
                         const_cast<TCustomdxBarControl*>(AControl)) >= 0;
}

TdxBarManager* TCustomdxBarControl::BarManager() const {
  return dynamic_cast<TdxBarManager*>(Owner());
}

TdxBarPainter* TCustomdxBarControl::GetPainter() const {
  TdxBarManager* manager = BarManager();
  return manager ? manager->Painter() : nullptr;
}

void TCustomdxBarControl::SetDockControl(TdxDockControl* Value) {
  dockControl_ = Value;
}

void TCustomdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
  dockingStyle_ = Value;
}

void TCustomdxBarControl::SetParentBar(TCustomdxBarControl* Value) {
  if (parentBar_ == Value) return;
  TCustomdxBarControl* old = parentBar_;
  parentBar_ = Value;
  if (old && old->childBar_ == this) old->childBar_ = nullptr;
  if (Value) Value->childBar_ = this;
}

void TCustomdxBarControl::SetChildBar(TCustomdxBarControl* Value) {
  if (childBar_ == Value) return;
  if (childBar_) childBar_->parentBar_ = nullptr;
  childBar_ = Value;
  if (Value) Value->SetParentBar(this);
}

TcxCanvas* TCustomdxBarControl::ActiveCanvas() {
  if (HandleAllocated()) {
    screenCanvas_.reset();
    if (!canvas_) canvas_.reset(new TcxCanvas(Canvas()));
    canvas_->Font()->Assign(Font());
    return canvas_.get();
  }
  if (!screenCanvas_) screenCanvas_.reset(new TcxScreenCanvas());
  screenCanvas_->Font()->Assign(Font());
  return screenCanvas_.get();
}

// ---------------------------------------------------------------------------
// Window and item controls
// ---------------------------------------------------------------------------

void TCustomdxBarControl::CreateWindowHandle(const TCreateParams& Params) {
  if (!viewInfo_) {
    viewInfo_ = OwnedCast<TCustomdxBarControlViewInfo>(
        GetViewInfoClass()->NewInstance());
    viewInfo_->barControl_ = this;
  }
  TCustomControl::CreateWindowHandle(Params);
  CreateControls();
}

void TCustomdxBarControl::CreateWnd() {
  TCustomControl::CreateWnd();
  SetFont();
  CalcDrawingConsts();
}

void TCustomdxBarControl::DestroyWindowHandle() {
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    MouseLeaveBar();
  }
  DestroyControls();
  TCustomControl::DestroyWindowHandle();
}

void TCustomdxBarControl::CreateControls() {
  if (state_.Contains(bsCreatingControls) ||
      state_.Contains(bsDestroyingControls) || !itemLinks_) {
    return;
  }
  state_.Include(bsCreatingControls);
  TScopeGuard done([&] { state_.Exclude(bsCreatingControls); });
  for (Integer i = 0; i < itemLinks_->CanVisibleItemCount(); ++i) {
    itemLinks_->CanVisibleItems(i)->CreateControl();
  }
}

void TCustomdxBarControl::DestroyControls() {
  if (state_.Contains(bsCreatingControls) ||
      state_.Contains(bsDestroyingControls) || !itemLinks_) {
    return;
  }
  state_.Include(bsDestroyingControls);
  TScopeGuard done([&] { state_.Exclude(bsDestroyingControls); });
  for (Integer i = 0; i < itemLinks_->Count(); ++i) {
    itemLinks_->Items(i)->DestroyControl();
  }
  selectedLink_ = nullptr;
  trackedLink_ = nullptr;
  clickedControl_ = nullptr;
}

void TCustomdxBarControl::RecreateControls() {
  DestroyControls();
  CreateControls();
}

bool TCustomdxBarControl::IsControlExists(TdxBarItemControl* AControl) const {
  if (!AControl || !itemLinks_) return false;
  for (Integer i = 0; i < itemLinks_->Count(); ++i) {
    if (itemLinks_->Items(i)->Control() == AControl) return true;
  }
  return false;
}

bool TCustomdxBarControl::CheckLockUpdate() const {
  return BarManager() && BarManager()->IsUpdateLocked();
}

// ---------------------------------------------------------------------------
// Geometry and layout
// ---------------------------------------------------------------------------

TdxBarItemControl* TCustomdxBarControl::ItemAtPos(const TPoint& P) const {
  if (!viewInfo_) return nullptr;
  for (Integer i = 0; i < viewInfo_->GetItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* vi = viewInfo_->GetItemControlViewInfo(i);
    if (PtInRect(vi->GetBounds(), P)) return vi->Control();
  }
  return nullptr;
}

TdxBarItemControl* TCustomdxBarControl::ItemAtMousePos() const {
  if (!HandleAllocated()) return nullptr;
  POINT p{};
  ::GetCursorPos(&p);
  ::ScreenToClient(const_cast<TCustomdxBarControl*>(this)->Handle(), &p);
  return ItemAtPos({p.x, p.y});
}

TRect TCustomdxBarControl::GetItemRect(
    const TdxBarItemControl* AControl) const {
  return AControl ? AControl->GetItemBounds() : TRect{};
}

TRect TCustomdxBarControl::GetItemScreenRect(
    const TdxBarItemControl* AControl) {
  TRect r = GetItemRect(AControl);
  if (IsRectEmpty(r) || !HandleAllocated()) return r;
  const TPoint origin = ClientToScreen({0, 0});
  return Bounds(r.Left + origin.X, r.Top + origin.Y, r.Width(), r.Height());
}

Integer TCustomdxBarControl::GetItemControlOffset(TdxBarItemLink* ALink) const {
  return ALink->BeginGroup() && itemLinks_->First() != ALink
             ? GetBeginGroupSize()
             : 0;
}

void TCustomdxBarControl::CalcLayout() {
  if (viewInfo_) viewInfo_->Calculate();
}

void TCustomdxBarControl::CalcItemsRect() { itemsRect_ = ClientRect(); }

void TCustomdxBarControl::CalcItemRects(TdxBarPaintType APaintType,
                                        Integer AFirstIndex) {
  currentItemRect_ = itemsRect_;
  for (Integer i = 0; i < itemLinks_->Count(); ++i) {
    itemLinks_->Items(i)->ItemRect = TRect{};
  }
  if (APaintType == ptMenu) {
    CalcColumnItemRects(AFirstIndex);
  } else {
    CalcRowItemRects();
  }
}

Integer TCustomdxBarControl::CalcColumnItemRects(Integer AFirstIndex) {
  Integer bottom = currentItemRect_.Top;
  for (Integer i = AFirstIndex; i < itemLinks_->VisibleItemCount(); ++i) {
    TdxBarItemLink* link = itemLinks_->VisibleItems(i);
    TdxBarItemControl* control = link->Control();
    if (!control) continue;
    const Integer top = bottom + GetItemControlOffset(link);
    const TRect r = Rect(currentItemRect_.Left, top, currentItemRect_.Right,
                         top + control->GetRealHeight());
    if (r.Bottom > currentItemRect_.Bottom) {
      if (CanDrawClippedItem(r)) {
        link->ItemRect = r;
        return currentItemRect_.Bottom;
      }
      return i == AFirstIndex ? top : bottom;
    }
    link->ItemRect = r;
    control->DoCalculateParts();
    bottom = r.Bottom;
  }
  return bottom;
}

Integer TCustomdxBarControl::GetTextSize() {
  return ActiveCanvas()->TextHeight("Qq") + 6;
}

void TCustomdxBarControl::CalcDrawingConsts() { textSize_ = GetTextSize(); }

Integer TCustomdxBarControl::GetDefaultItemHeight(
    TdxBarItemControl* AControl) const {
  const Integer size = AControl ? AControl->GetTextSize() : 0;
  return size ? size : textSize_;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomdxBarControl::Paint() {
  if (ComponentState().Contains(csDestroying)) return;
  DoPaint();
}

void TCustomdxBarControl::DoPaint() {
  TcxCanvas* canvas = ActiveCanvas();
  TSavedDC saved(canvas->Handle());
  DrawItems(canvas);
  FillBackground(canvas->Handle(), ClientRect());
}

bool TCustomdxBarControl::CanControlPaint(TdxBarItemControl* AControl) const {
  return AControl && !ComponentState().Contains(csDestroying) &&
         AControl->ItemLink() && AControl->ItemLink()->Control() == AControl &&
         !state_.Contains(bsPaintItem) && !CheckLockUpdate() && viewInfo_ &&
         viewInfo_->IsItemControlVisible(AControl);
}

void TCustomdxBarControl::DrawItems(TcxCanvas* ACanvas) {
  if (!viewInfo_) return;
  for (Integer i = 0; i < viewInfo_->GetItemControlCount(); ++i) {
    TdxBarItemControlViewInfo* vi = viewInfo_->GetItemControlViewInfo(i);
    if (CanControlPaint(vi->Control())) PaintItem(ACanvas, vi->Control());
    // The background painted afterwards leaves the items alone.
    ACanvas->ExcludeClipRect(vi->GetBounds());
  }
}

void TCustomdxBarControl::PaintItem(TcxCanvas* ACanvas,
                                    TdxBarItemControl* AControl) {
  state_.Include(bsPaintItem);
  TScopeGuard done([&] { state_.Exclude(bsPaintItem); });
  const TRect bounds = AControl->ViewInfo()->GetBounds();
  TSavedDC saved(ACanvas->Handle());
  ACanvas->IntersectClipRect(bounds);
  AControl->Paint(ACanvas, bounds, GetPaintType());
}

HBRUSH TCustomdxBarControl::ItemsBackgroundBrush() {
  TdxBarPainter* painter = GetPainter();
  return painter ? painter->BarToolbarBrush(this)
                 : ::GetSysColorBrush(COLOR_BTNFACE);
}

void TCustomdxBarControl::FillBackground(HDC DC, const TRect& R) {
  if (TdxBarPainter* painter = GetPainter()) {
    FillBackgroundArea(DC, R, R, painter->BarToolbarBrush(this), clNone,
                       nullptr);
    return;
  }
  dxBarStandardPaint::FillBackground(DC, R, dxBarStandardPaint::ToolbarColor());
}

void TCustomdxBarControl::UpdateItem(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || !AControl) return;
  const TRect r = GetItemRect(AControl);
  if (IsRectEmpty(r)) return;
  RECT rc = dxRECT(r);
  ::InvalidateRect(Handle(), &rc, FALSE);
}

void TCustomdxBarControl::RepaintBarEx(bool ARecreate) {
  if (ComponentState().Contains(csDestroying) || !HandleAllocated() ||
      state_.Contains(bsCreatingControls) ||
      state_.Contains(bsDestroyingControls) || state_.Contains(bsRepaintBar) ||
      CheckLockUpdate()) {
    return;
  }
  state_.Include(bsRepaintBar);
  TScopeGuard done([&] { state_.Exclude(bsRepaintBar); });
  DoRepaintBar(ARecreate);
}

void TCustomdxBarControl::DoRepaintBar(bool ARecreate) {
  if (ARecreate) RecreateControls();
}

// ---------------------------------------------------------------------------
// Selection and the active chain
// ---------------------------------------------------------------------------

TdxBarItemControl* TCustomdxBarControl::SelectedControl() const {
  return selectedLink_ ? selectedLink_->Control() : nullptr;
}

void TCustomdxBarControl::SetSelectedControl(TdxBarItemControl* AControl) {
  TdxBarItemControl* previous = SelectedControl();
  if (previous == AControl) return;
  selectedLink_ = AControl ? AControl->ItemLink() : nullptr;
  if (GetBehaviorOptions().Contains(bboMouseCantUnselectNavigationItem)) {
    isDowned_ = false;
  }
  if (previous) UpdateItem(previous);
  if (AControl) UpdateItem(AControl);
  String hint;
  if (AControl && AControl->GetEnabled()) {
    const String full = AControl->GetHint();
    const auto bar = full.find('|');
    if (bar != String::npos) hint = full.substr(bar + 1);
  }
  SetHint(hint);
}

void TCustomdxBarControl::SetKeySelectedItem(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying) ||
      SelectedControl() == AControl) {
    return;
  }
  if (TdxBarItemControl* selected = SelectedControl()) {
    if (selected->Activated()) {
      selected->ControlInactivate(true);
      if (!IsLive(this)) return;
    }
  }
  if (AControl) AControl->SetMouseSelected(false);
  SetSelectedControl(AControl);
}

void TCustomdxBarControl::SetMouseSelectedItem(TdxBarItemControl* AControl) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying) ||
      SelectedControl() == AControl) {
    return;
  }
  if (TdxBarItemControl* selected = SelectedControl()) {
    if (selected->Activated()) selected->ControlInactivate(false);
  }
  if (AControl) AControl->SetMouseSelected(true);
  SetSelectedControl(AControl);
  // The hint follows the mouse from item to item of a bar out of menu mode.
  if (CanShowHint())
    dxBarActivateHint(BarManager(), true, String(),
                      AControl && AControl->HasHint() ? AControl : nullptr);
  if (AControl) AControl->ControlActivate(false);
}

void TCustomdxBarControl::SelectItemByKey(TdxBarItemLink* ALink) {
  if (ALink && ALink->Control()) BarGetFocus(ALink->Control());
}

void TCustomdxBarControl::BarGetFocus(TdxBarItemControl* AControl) {
  DoBarGetFocus(AControl);
}

void TCustomdxBarControl::BarLostFocus() { DoBarLostFocus(); }

void TCustomdxBarControl::DoBarGetFocus(TdxBarItemControl* AControl) {
  SetKeySelectedItem(AControl);
  SetIsActive(true);
}

void TCustomdxBarControl::DoBarLostFocus() {
  SetKeySelectedItem(nullptr);
  SetIsActive(false);
}

bool TCustomdxBarControl::CanActiveChange() const {
  if (BarManager() && BarManager()->IsCustomizing()) return true;
  return HandleAllocated() &&
         ::IsWindowEnabled(const_cast<TCustomdxBarControl*>(this)->Handle());
}

void TCustomdxBarControl::SetIsActive(bool Value) {
  if (Value == isActive_) return;
  if (!CanActiveChange() &&
      !(!Value && BarManager() && BarManager()->IsCustomizing())) {
    return;
  }
  DoSetIsActive(Value);
}

void TCustomdxBarControl::DoSetIsActive(bool Value) {
  isActive_ = Value;
  if (Value) {
    if (!ActiveBarControl)
      dxBarExpandedMenus = BarManager() && BarManager()->IsCustomizing();
    prevActiveBarControl_ = ActiveBarControl;
    ActiveBarControl = this;
    if (itemLinks_ && !(BarManager() && BarManager()->IsCustomizing())) {
      itemLinks_->InitiateActions();
    }
    return;
  }
  SetKeySelectedItem(nullptr);
  isDowned_ = false;
  if (ActiveBarControl == this) ActiveBarControl = prevActiveBarControl_;
  prevActiveBarControl_ = nullptr;
  if (ActiveBarControl &&
      (!IsLive(ActiveBarControl) || !ActiveBarControl->IsActive())) {
    ActiveBarControl = nullptr;
  }
}

void TCustomdxBarControl::HideAll() {
  if (state_.Contains(bsHideAll)) return;
  state_.Include(bsHideAll);
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard done([&] {
    if (self->Target) state_.Exclude(bsHideAll);
    cxRemoveObjectLink(self);
  });
  DoHideAll();
}

void TCustomdxBarControl::HideAllByEscape() {
  closedByEscape_ = true;
  HideAll();
}

void TCustomdxBarControl::AfterControlEscape(TdxBarItemControl* AControl) {
  if (GetBehaviorOptions().Contains(bboAllowSelectWindowItemsWithoutFocusing))
    SetKeySelectedItem(AControl);
  else
    HideAllByEscape();
}

void TCustomdxBarControl::DoHideAll() {
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  SetIsActive(false);
  if (self->Target && parentBar_ && !closedByEscape_) parentBar_->HideAll();
}

TdxBarBehaviorOptions TCustomdxBarControl::GetBehaviorOptions() const {
  if (parentBar_) return parentBar_->GetBehaviorOptions();
  return {bboAllowDetach, bboAllowSelectWindowItemsWithoutFocusing,
          bboExtendItemWhenAlignedToClient};
}

// ---------------------------------------------------------------------------
// Mouse protocol
// ---------------------------------------------------------------------------

bool TCustomdxBarControl::NotHandleMouseMove(bool ACheckLastPosition) const {
  if (BarManager() && BarManager()->IsCustomizing()) return true;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  if (ACheckLastPosition && lastMousePos_ == TPoint{cursor.x, cursor.y}) {
    return true;
  }
  RECT r{};
  ::GetWindowRect(const_cast<TCustomdxBarControl*>(this)->Handle(), &r);
  return !::PtInRect(&r, cursor);
}

void TCustomdxBarControl::DoBarMouseEnter(TShiftState AShift, const TPoint& P,
                                          TdxBarItemControl* AItem) {
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
  tracking_ = ::TrackMouseEvent(&tme) != FALSE;
  MouseNotifyControls(AItem ? AItem->ItemLink() : nullptr, P, AShift);
  viewState_ = bvsHot;
}

void TCustomdxBarControl::MouseNotifyControls(TdxBarItemLink* ALink,
                                              const TPoint& P,
                                              TShiftState AShift) {
  if (ALink != trackedLink_) {
    if (trackedLink_ && trackedLink_->Control()) {
      trackedLink_->Control()->MouseLeave();
    }
    if (ALink && ALink->Control()) {
      ALink->Control()->MouseEnter(AShift, P.X, P.Y);
    }
    trackedLink_ = ALink;
  }
  if (ALink && ALink->Control()) ALink->Control()->MouseMove(AShift, P.X, P.Y);
}

void TCustomdxBarControl::MouseDown(TMouseButton Button, TShiftState Shift,
                                    Integer X, Integer Y) {
  const TPoint p{X, Y};
  TdxBarItemControl* item = ItemAtPos(p);
  if (lastMousePos_ == TPoint{-1, -1} &&
      !(BarManager() && BarManager()->IsCustomizing())) {
    DoBarMouseEnter(Shift, p, item);
  }
  if (Shift.Contains(ssDouble) && item && item == SelectedControl() &&
      item->WantsDblClick()) {
    item->DblClick();
    return;
  }
  const TRect client = ClientRect();
  DoBarMouseDown(Button, Shift, PtInRect(client, p), item, p);
}

void TCustomdxBarControl::DoBarMouseDown(TMouseButton AButton,
                                         TShiftState AShift, bool,
                                         TdxBarItemControl* AItem,
                                         const TPoint& P) {
  if (AItem && !NotHandleMouseMove(false)) {
    AItem->MouseDown(AButton, AShift, P.X, P.Y);
  }
  if (AButton == mbRight) {
    if (AItem != SelectedControl()) BarLostFocus();
    return;
  }
  if (AButton == mbLeft && AItem) FocusItemControl(AItem);
}

void TCustomdxBarControl::FocusItemControl(TdxBarItemControl* AControl) {
  dxBarActivateHint(BarManager(), false, String(), nullptr);
  if (!AControl->GetEnabled() || !AControl->HotPartWantMouse()) {
    SetIsActive(false);
    return;
  }
  if (!isActive_) {
    BarGetFocus(AControl);
  } else {
    AControl->ControlGetFocus(true);
  }
  if (!IsLive(this) || !IsControlExists(AControl)) return;
  clickedControl_ = AControl;
  SetMouseCapture(true);
  AControl->SetPressed(true);
  AControl->Repaint();
  AControl->ControlClick(true, 0);
}

void TCustomdxBarControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  const TPoint p{X, Y};
  TdxBarItemControl* item = ItemAtPos(p);
  if (lastMousePos_ == TPoint{-1, -1} && !NotHandleMouseMove(true)) {
    DoBarMouseEnter(Shift, p, item);
  }
  DoBarMouseMove(Shift, p, item);
}

void TCustomdxBarControl::DoBarMouseMove(TShiftState AShift, const TPoint& P,
                                         TdxBarItemControl* AItem) {
  if (NotHandleMouseMove(true)) return;
  MouseNotifyControls(AItem ? AItem->ItemLink() : nullptr, P, AShift);
  if (AItem && !AItem->CanMouseSelect()) AItem = nullptr;
  const bool toolbar = Kind() != bkSubMenu;
  if ((!toolbar || !isActive_ || AItem) && !clickedControl_ &&
      (AItem || !childBar_)) {
    SetMouseSelectedItem(AItem);
  }
  if (clickedControl_) {
    // The pressed look follows the cursor while the button is held.
    clickedControl_->SetPressed(AItem == clickedControl_);
    clickedControl_->Repaint();
  }
}

void TCustomdxBarControl::MouseUp(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  const TPoint p{X, Y};
  DoBarMouseUp(Button, Shift, PtInRect(ClientRect(), p), ItemAtPos(p), p);
}

void TCustomdxBarControl::DoBarMouseUp(TMouseButton AButton, TShiftState AShift,
                                       bool, TdxBarItemControl* AItem,
                                       const TPoint& P) {
  if (AItem && !NotHandleMouseMove(false)) {
    AItem->MouseUp(AButton, AShift, P.X, P.Y);
  }
}

void TCustomdxBarControl::WMLButtonUp(TMessage& M) {
  if (ignoreMouseClick_) {
    ignoreMouseClick_ = false;
    return;
  }
  const TPoint p{dxBarXOf(M.LParam), dxBarYOf(M.LParam)};
  TdxBarItemControl* item = ItemAtPos(p);
  TdxBarItemControl* clicked = clickedControl_;
  if (clicked) {
    clicked->SetPressed(false);
    SetMouseCapture(false);
  }
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  const bool customizing = BarManager() && BarManager()->IsCustomizing();
  if (PtInRect(ClientRect(), p) && isActive_ && !customizing && item &&
      item->HotPartWantMouse() && (!clicked || clicked == item)) {
    if (item->GetEnabled() && item == SelectedControl()) {
      item->ControlUnclick(true);
    } else if (!item->GetEnabled() && item != SelectedControl()) {
      HideAll();
    }
  }
  if (!self->Target) return;
  // A press that opened a menu leaves it open on release, and so does a
  // command that keeps its menu open.
  if (clicked && !(IsControlExists(clicked) &&
                   (clicked->IsDroppedDown() || !clicked->IsDestroyOnClick())))
    HideAll();
  if (!self->Target) return;
  MouseUp(mbLeft, MouseKeysToShiftState(M.WParam), p.X, p.Y);
}

void TCustomdxBarControl::MouseLeaveBar() {
  lastMousePos_ = {-1, -1};
  if (!tracking_) return;
  tracking_ = false;
  DoBarMouseLeave();
}

void TCustomdxBarControl::DoBarMouseLeave() {
  viewState_ = bvsNormal;
  dxBarActivateHint(BarManager(), true, String(), nullptr);
  MouseNotifyControls(nullptr, {-1, -1}, {});
  if (markState_ == msSelected) SetMarkState(msNone);
  TdxBarItemControl* selected = SelectedControl();
  const bool customizing = BarManager() && BarManager()->IsCustomizing();
  if (!clickedControl_ && !(selected && selected->IsDroppedDown()) &&
      !customizing && !isActive_) {
    SetMouseSelectedItem(nullptr);
  }
}

void TCustomdxBarControl::WMCaptureChanged(TMessage&) {
  if (clickedControl_) {
    clickedControl_->SetPressed(false);
    clickedControl_ = nullptr;
  }
}

// ---------------------------------------------------------------------------
// Keys (delivered by the manager's keyboard hook while the bar is active)
// ---------------------------------------------------------------------------

void TCustomdxBarControl::WMKeyDown(TMessage& M) {
  if (!ActiveBarControl || !itemLinks_) return;
  Word key = static_cast<Word>(M.WParam);
  // The keyboard hook hands keys over before the thread's key state has
  // seen them: the modifiers come from the keyboard itself.
  if (key == VK_TAB && ::GetAsyncKeyState(VK_CONTROL) < 0) {
    FocusNextBarControl(::GetAsyncKeyState(VK_SHIFT) >= 0);
    return;
  }
  if (IsRealVertical()) {
    switch (key) {
      case VK_LEFT:
        key = VK_UP;
        break;
      case VK_UP:
        key = VK_LEFT;
        break;
      case VK_RIGHT:
        key = VK_DOWN;
        break;
      case VK_DOWN:
        key = VK_RIGHT;
        break;
      default:
        break;
    }
  }
  TdxBarItemLink* selected = selectedLink_;
  TdxBarItemLink* target = nullptr;
  switch (key) {
    case VK_HOME:
      target = itemLinks_->First();
      break;
    case VK_END:
      target = itemLinks_->Last();
      break;
    case VK_LEFT:
      target = selected ? itemLinks_->Prev(selected) : itemLinks_->First();
      break;
    case VK_RIGHT:
    case VK_TAB:
      target = selected ? itemLinks_->Next(selected) : itemLinks_->First();
      break;
    case VK_RETURN:
      if (TdxBarItemControl* control = SelectedControl()) {
        control->Click(false);
      }
      return;
    case VK_ESCAPE:
      HideAllByEscape();
      return;
    default: {
      // An accelerator letter: one enabled item with it is clicked; when
      // several share it, the next one after the selection is selected.
      const TShiftState shift = KeyDataToShiftState(M.LParam);
      TdxBarItemLink* found =
          itemLinks_->FindItemWithAccel(key, shift, selected);
      if (!found || !found->Control()) return;
      TdxBarItemLink* again = itemLinks_->FindItemWithAccel(key, shift, found);
      const bool ambiguous = again && again != found;
      SetKeySelectedItem(found->Control());
      if (!ambiguous && IsLive(this) && SelectedControl() == found->Control()) {
        found->Control()->Click(false);
      }
      return;
    }
  }
  if (target && target->Control()) SetKeySelectedItem(target->Control());
}

// Keyboard mode goes on with the next toolbar that has something to select:
// past the manager's last bar, with the first bar of the next active
// manager; backwards the same way round.
bool TCustomdxBarControl::FocusNextBarControl(bool AForward) {
  TCustomdxBarControl* root = this;
  while (root->parentBar_) root = root->parentBar_;
  auto* start = dynamic_cast<TdxBarControl*>(root);
  TdxBar* startBar = start ? start->Bar() : nullptr;
  TdxBarManager* manager = startBar ? startBar->BarManager() : nullptr;
  if (!manager) return false;
  TdxBarManagerList* list = dxBarManagerList();
  // Every bar of every manager once, and a step into each manager, ends
  // the search even when the cycle of managers never comes back.
  Integer limit = 2;
  for (Integer i = 0; list && i < list->Count(); ++i)
    limit += list->GetBarManager(i)->Bars()->Count() + 1;
  Integer index = manager->Bars()->IndexOf(startBar);
  while (limit-- > 0) {
    index += AForward ? 1 : -1;
    if (index < 0 || index >= manager->Bars()->Count()) {
      if (list) manager = list->NextActive(manager, AForward);
      index = AForward ? 0 : manager->Bars()->Count() - 1;
    }
    TdxBar* bar = manager->Bars()->Items(index);
    if (bar == startBar) return false;
    auto* control =
        bar ? dynamic_cast<TdxBarControl*>(bar->Control()) : nullptr;
    TdxBarItemLink* first = control && control->ItemLinks()
                                ? control->ItemLinks()->First()
                                : nullptr;
    if (!first) continue;
    start->BarLostFocus();
    control->BarGetFocus(first->Control());
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Window procedure
// ---------------------------------------------------------------------------

void TCustomdxBarControl::WndProc(TMessage& Message) {
  const bool mouse =
      (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) ||
      (Message.Msg >= WM_NCMOUSEMOVE && Message.Msg <= WM_NCMBUTTONDBLCLK);
  if (mouse && ActiveBarControl && ActiveBarControl != this) {
    // While a chain is active only its members hear the mouse.
    bool member = false;
    for (TCustomdxBarControl* c = ActiveBarControl; c; c = c->parentBar_) {
      if (c == this) member = true;
    }
    if (!member) {
      Message.Result = 0;
      return;
    }
  }
  if (dxBarReflectEditMessage(this, Message)) return;
  switch (Message.Msg) {
    case WM_SETFOCUS:
      // Bar windows never keep the focus.
      if (Parent() && Parent()->HandleAllocated()) {
        ::SetFocus(reinterpret_cast<HWND>(Message.WParam));
      }
      return;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
      if (ignoreMouseClick_ && Message.Msg != WM_RBUTTONDOWN) return;
      TShiftState shift = MouseKeysToShiftState(Message.WParam);
      if (Message.Msg == WM_LBUTTONDBLCLK) shift.Include(ssDouble);
      MouseDown(Message.Msg == WM_RBUTTONDOWN ? mbRight : mbLeft, shift,
                dxBarXOf(Message.LParam), dxBarYOf(Message.LParam));
      return;
    }
    case WM_MOUSEMOVE: {
      TcxObjectLink* self = cxAddObjectLink(this);
      TScopeGuard release([&] { cxRemoveObjectLink(self); });
      MouseMove(MouseKeysToShiftState(Message.WParam), dxBarXOf(Message.LParam),
                dxBarYOf(Message.LParam));
      if (!self->Target) return;
      if (NotHandleMouseMove(true) && NotHandleMouseMove(false)) {
        MouseLeaveBar();
      } else {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        lastMousePos_ = {cursor.x, cursor.y};
      }
      return;
    }
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      return;
    case WM_RBUTTONUP:
      MouseUp(mbRight, MouseKeysToShiftState(Message.WParam),
              dxBarXOf(Message.LParam), dxBarYOf(Message.LParam));
      return;
    case WM_MOUSELEAVE:
      tracking_ = tracking_ || lastMousePos_ != TPoint{-1, -1};
      MouseLeaveBar();
      return;
    case WM_CAPTURECHANGED:
      WMCaptureChanged(Message);
      break;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      return;
    case WM_USER + 1:
      RepaintBar();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Unit
// ---------------------------------------------------------------------------

namespace {

// The model creates its dock controls and toolbar windows through these
// classes once this side of the unit has started.
void ControlsStartup() {
  dxBarDockControlClass = TdxDockControl::StaticClass();
  dxBarToolbarControlClass = TdxBarControl::StaticClass();
  RegisterClasses({TdxBarDockControl::StaticClass()});
}

void ControlsShutdown() {
  UnRegisterClass(TdxBarDockControl::StaticClass());
  dxBarDockControlClass = nullptr;
  dxBarToolbarControlClass = nullptr;
}

}  // namespace

VARNEL_UNIT(dxBarControls, ({"dxBar"}), &ControlsStartup, &ControlsShutdown);
