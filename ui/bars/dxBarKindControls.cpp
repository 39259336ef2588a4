#include "dxBarKindControls.h"

#include <algorithm>

#include "Menus.h"
#include "ScopeGuard.h"
#include "WinApi.h"
#include "dxBarItemKinds.h"
#include "dxBarSubMenu.h"

// ---------------------------------------------------------------------------
// Shared helpers
// ---------------------------------------------------------------------------

namespace {

bool IsCustomizing(const TdxBarItemControl* AControl) {
  const TdxBarManager* manager = AControl->GetBarManager();
  return manager && manager->IsCustomizing();
}

TdxBarPainter* PainterOf(const TdxBarItemControl* AControl) {
  return AControl->Parent() ? AControl->Parent()->GetPainter() : nullptr;
}

// The static draw parameters from the common ones the control filled.
template <class TParams>
void FillStaticParams(TdxBarItemControl* AControl, TParams& AParams) {
  const TdxBarItemControlDrawParams& p = *AControl->DrawParams();
  AParams.Canvas = p.Canvas;
  AParams.Caption = p.Caption;
  AParams.PaintType = p.PaintType;
  AParams.ViewSize = p.ViewSize;
  AParams.ViewStructure = p.ViewStructure;
  AParams.Enabled = p.Enabled;
  AParams.DrawSelected = p.DrawSelected;
  AParams.GlyphAreaSize =
      p.PaintType == ptVert ? p.ButtonSize.cy : p.ButtonSize.cx;
}

}  // namespace

// ---------------------------------------------------------------------------
// Static text and separators
// ---------------------------------------------------------------------------

bool TdxBarCustomStaticControl::CanSelect() const {
  return IsCustomizing(this) && TdxBarItemControl::CanSelect();
}

TdxBarItemControlViewStructure
TdxBarCustomStaticControl::GetDefaultViewStructure() const {
  TdxBarItemControlViewStructure s;
  if (Item() && Item()->ShowCaption()) s.Include(cpText);
  if (IconAssigned(GetViewSize())) s.Include(cpIcon);
  return s;
}

void TdxBarCustomStaticControl::DoPaint(const TRect& ARect,
                                        TdxBarPaintType APaintType) {
  TdxBarPainter* painter = PainterOf(this);
  if (!painter) {
    if (APaintType != ptMenu) PaintStandardButton(ARect);
    return;
  }
  TdxBarStaticLikeControlDrawParams params(this);
  FillStaticParams(this, params);
  TRect r = ARect;
  painter->DrawStaticLikeControl(params, r, 0, 0);
  painter->DrawStaticGlyphAndCaption(params, r);
}

bool TdxBarSeparatorControl::IsTop() const {
  return ItemLink() && ItemLink()->VisibleIndex() == 0;
}

bool TdxBarSeparatorControl::InMenuWithCaption() const {
  return GetPaintType() == ptMenu && Item() && Item()->ShowCaption() &&
         !GetCaption().empty();
}

TdxBarItemControlViewStructure TdxBarSeparatorControl::GetDefaultViewStructure()
    const {
  if (InMenuWithCaption()) return {cpText};
  return {};
}

Integer TdxBarSeparatorControl::GetMinWidth() const {
  return Parent() ? Parent()->TextSize() : 1;
}

Integer TdxBarSeparatorControl::GetDefaultHeight() {
  if (GetPaintType() != ptMenu) return GetTextSize();
  if (!InMenuWithCaption()) return Parent() ? Parent()->GetBeginGroupSize() : 0;
  // A captioned separator: a line above its caption (none on the first
  // row) and one below it.
  TdxBarPainter* painter = PainterOf(this);
  const Integer line = painter ? painter->SubMenuGetSeparatorSize() : 2;
  return line * (IsTop() ? 1 : 2) + GetDefaultHeightInSubMenu();
}

Integer TdxBarSeparatorControl::GetDefaultWidth() {
  if (GetPaintType() != ptMenu)
    return Parent() ? Parent()->GetBeginGroupSize() : 0;
  return GetDefaultWidthInSubMenu();
}

void TdxBarSeparatorControl::DoPaint(const TRect& ARect, TdxBarPaintType) {
  TdxBarPainter* painter = PainterOf(this);
  if (!painter) return;
  TdxBarSeparatorControlDrawParams params(this);
  FillStaticParams(this, params);
  params.IsTop = IsTop();
  painter->DrawSeparatorControl(params, ARect);
}

// ---------------------------------------------------------------------------
// Hover timers
// ---------------------------------------------------------------------------

namespace {

struct TPendingSubMenu {
  TdxBarButtonLikeControl* Control = nullptr;
  UINT_PTR Timer = 0;
};
TPendingSubMenu gPendingOpen;
TPendingSubMenu gPendingClose;

void Cancel(TPendingSubMenu& APending) {
  if (APending.Timer) dxKillTimer(nullptr, APending.Timer);
  APending.Timer = 0;
  APending.Control = nullptr;
}

void CALLBACK OpenTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  dxBarFireSubMenuTimer(true);
}

void CALLBACK CloseTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  dxBarFireSubMenuTimer(false);
}

void Start(TPendingSubMenu& APending, TdxBarButtonLikeControl* AControl,
           TIMERPROC AProc) {
  Cancel(APending);
  APending.Control = AControl;
  APending.Timer = ::SetTimer(
      nullptr, 0,
      static_cast<UINT>(std::max<Integer>(dxBarWaitForSubMenuTime, 1)), AProc);
}

}  // namespace

TdxBarButtonLikeControl* dxBarPendingSubMenuOpen() {
  return gPendingOpen.Control;
}

TdxBarButtonLikeControl* dxBarPendingSubMenuClose() {
  return gPendingClose.Control;
}

void dxBarFireSubMenuTimer(bool AOpen) {
  TPendingSubMenu& pending = AOpen ? gPendingOpen : gPendingClose;
  TdxBarButtonLikeControl* control = pending.Control;
  // The wait is over before the control acts: acting may start a new one.
  Cancel(pending);
  if (!control) return;
  if (AOpen) {
    control->ControlActivate(true);
  } else {
    control->ControlInactivate(true);
  }
}

// ---------------------------------------------------------------------------
// Button-like controls
// ---------------------------------------------------------------------------

TdxBarButtonLikeControl::~TdxBarButtonLikeControl() {
  FinishSubMenuTracking();
  if (TdxBarSubMenuControl* menu = GetSubMenuControl()) {
    if (menu->ParentItemControl() == this) {
      menu->SetParentItemControl(nullptr);
      if (menu->HandleAllocated()) menu->Hide();
    }
  }
}

bool TdxBarButtonLikeControl::IsOnToolbar() const {
  return dynamic_cast<TdxBarControl*>(Parent()) != nullptr;
}

bool TdxBarButtonLikeControl::InMenu() const {
  return Parent() && Parent()->Kind() == bkSubMenu;
}

bool TdxBarButtonLikeControl::CanActivate() const {
  return GetEnabled() || (GetBarManager() && GetBarManager()->IsDesigning());
}

Integer TdxBarButtonLikeControl::ArrowWidth() const {
  // In a menu the arrow column is as wide as an item is high.
  if (InMenu()) return Parent()->TextSize();
  TdxBarManager* manager = GetBarManager();
  if (TdxBarPainter* painter = PainterOf(this))
    return painter->RealButtonArrowWidth(manager);
  Integer w = manager ? manager->ButtonArrowWidth() : 11;
  if (manager && manager->LargeIcons()) w *= 2;
  return w | 1;
}

bool TdxBarButtonLikeControl::WantsKey(Word AKey) const {
  if (!IsDropDown()) return false;
  if (InMenu()) return AKey == VK_RIGHT;
  return AKey == VK_UP || AKey == VK_DOWN;
}

void TdxBarButtonLikeControl::KeyDown(Word& AKey, TShiftState) {
  if (WantsKey(AKey)) DropDown(false);
}

void TdxBarButtonLikeControl::DropDown(bool) {
  if (Parent()) Parent()->SetIsDowned(true);
}

void TdxBarButtonLikeControl::ControlActivate(bool AImmediately) {
  if (IsDroppedDown()) {
    FinishSubMenuTracking();
    return;
  }
  TdxBarItemControl::ControlActivate(AImmediately);
  if (!IsDropDown() || !CanActivate()) return;
  const bool customizing = IsCustomizing(this);
  bool now = AImmediately || customizing;
  if (IsOnToolbar()) {
    // A toolbar opens its menus only in menu mode, and then at once.
    if (!customizing && !Parent()->IsDowned()) return;
    now = true;
  }
  if (!now) return StartSubMenuTracking(true);
  if (TdxBarButtonLikeControl* closing = gPendingClose.Control) {
    Cancel(gPendingClose);
    closing->ControlInactivate(true);
  }
  DoDropDown(true);
}

void TdxBarButtonLikeControl::ControlInactivate(bool AImmediately) {
  TCustomdxBarControl* bar = Parent();
  const bool now = IsOnToolbar() || AImmediately || !bar ||
                   bar->ComponentState().Contains(csDestroying) ||
                   IsCustomizing(this);
  if (!now) return StartSubMenuTracking(false);
  TdxBarItemControl::ControlInactivate(AImmediately);
  DoCloseUp(GetSubMenuControl() != nullptr);
}

void TdxBarButtonLikeControl::StartSubMenuTracking(bool AOpen) {
  if (AOpen) {
    if (gPendingClose.Control == this) Cancel(gPendingClose);
    Start(gPendingOpen, this, OpenTimerProc);
    return;
  }
  if (gPendingOpen.Control == this) Cancel(gPendingOpen);
  if (IsDroppedDown()) Start(gPendingClose, this, CloseTimerProc);
}

void TdxBarButtonLikeControl::FinishSubMenuTracking() {
  if (gPendingOpen.Control == this) Cancel(gPendingOpen);
  if (gPendingClose.Control == this) Cancel(gPendingClose);
}

void TdxBarButtonLikeControl::DoCloseUp(bool AHide) {
  FinishSubMenuTracking();
  if (AHide)
    if (TdxBarSubMenuControl* menu = GetSubMenuControl()) menu->Hide();
  Repaint();
}

void TdxBarButtonLikeControl::DoPaint(const TRect& ARect, TdxBarPaintType) {
  PaintStandardButton(ARect);
}

// ---------------------------------------------------------------------------
// Button control
// ---------------------------------------------------------------------------

TdxBarButton* TdxBarButtonControl::GetButtonItem() const {
  return dynamic_cast<TdxBarButton*>(Item());
}

bool TdxBarButtonControl::GetDown() const {
  return GetButtonItem() && GetButtonItem()->Down();
}

TdxBarButtonStates TdxBarButtonControl::GetInternalStates() const {
  return GetButtonItem() ? GetButtonItem()->InternalStates()
                         : TdxBarButtonStates{};
}

TdxBarPaintStyle TdxBarButtonControl::GetPaintStyle() const {
  if (!ItemLink()) return psStandard;
  if (IsOnToolbar()) return dxBarButtonPaintStyleOnBar(ItemLink());
  return ItemLink()->PaintStyle();
}

bool TdxBarButtonControl::IsDropDown() const {
  return GetInternalStates().Contains(bstDropDown);
}

TdxBarSubMenuControl* TdxBarButtonControl::GetSubMenuControl() const {
  TdxBarButton* button = GetButtonItem();
  TdxBarItemLinks* links = button ? button->GetItemLinks() : nullptr;
  return links ? dynamic_cast<TdxBarSubMenuControl*>(links->BarControl())
               : nullptr;
}

bool TdxBarButtonControl::IsDroppedDown() const {
  return droppedDown_ && GetSubMenuControl();
}

bool TdxBarButtonControl::IsDestroyOnClick() const {
  if (!InMenu()) return true;
  TdxBarButton* button = GetButtonItem();
  return !button || button->CloseSubMenuOnClick();
}

bool TdxBarButtonControl::DrawSelected() const {
  return (!IsCustomizing(this) && TdxBarButtonLikeControl::DrawSelected()) ||
         Pressed();
}

bool TdxBarButtonControl::IsPressed() const {
  if (DrawSelected() && Parent() && Parent()->IsActive() && MousePressed() &&
      HotPart() == 0)
    return true;
  return Pressed() && !GetInternalStates().Contains(bstChecked);
}

bool TdxBarButtonControl::MouseOverArrow() const {
  return IsDropDown() && HotPart() == 1;
}

bool TdxBarButtonControl::ArrowPressed() const {
  return MousePressed() && MouseOverArrow();
}

void TdxBarButtonControl::CalcParts() {
  const TRect bounds = GetItemBounds();
  if (!IsDropDown()) {
    SetParts({bounds});
    return;
  }
  const Integer arrow = std::min(ArrowWidth(), bounds.Width());
  SetParts(
      {Rect(bounds.Left, bounds.Top, bounds.Right - arrow, bounds.Bottom),
       Rect(bounds.Right - arrow, bounds.Top, bounds.Right, bounds.Bottom)});
}

TdxBarItemControlViewStructure TdxBarButtonControl::GetDefaultViewStructure()
    const {
  const bool menu = InMenu();
  switch (GetPaintStyle()) {
    case psCaption:
      return {cpText};
    case psCaptionInMenu:
      return menu ? TdxBarItemControlViewStructure{cpText}
                  : TdxBarItemControlViewStructure{cpIcon};
    case psCaptionGlyph:
      return {cpIcon, cpText};
    case psStandard:
    default:
      if (menu) return {cpIcon, cpText};
      return IconAssigned(GetViewSize())
                 ? TdxBarItemControlViewStructure{cpIcon}
                 : TdxBarItemControlViewStructure{cpText};
  }
}

TdxBarItemControlViewStructure TdxBarButtonControl::GetViewStructure() const {
  if (ViewInfo() && ViewInfo()->GetViewLevel() == ivlSmallIcon) return {cpIcon};
  return TdxBarButtonLikeControl::GetViewStructure();
}

Integer TdxBarButtonControl::GetDefaultWidth() {
  Integer w = TdxBarButtonLikeControl::GetDefaultWidth();
  if (IsDropDown() && !InMenu()) w += ArrowWidth();
  return w;
}

void TdxBarButtonControl::CalcDrawParams(bool AAll) {
  TdxBarButtonLikeControl::CalcDrawParams(AAll);
  if (!AAll) return;
  TdxBarItemControlDrawParams& p = *DrawParams();
  const TShortCut shortCut = GetShortCut();
  p.ShortCutText = shortCut ? ShortCutToText(shortCut) : String();
  p.IsPressed = IsPressed();
  p.DroppedDown = IsDroppedDown();
}

void TdxBarButtonControl::ControlClick(bool AByMouse, char) {
  TCustomdxBarControl* bar = Parent();
  if (!bar) return;
  if (AByMouse && IsDropDown() && ArrowPressed()) {
    DropDown(true);
    return;
  }
  if (IsOnToolbar() && !bar->IsDowned()) return;
  if (IsOnToolbar() || IsDropDown()) Repaint();
}

void TdxBarButtonControl::ControlUnclick(bool AByMouse) {
  // A release on the arrow (or beside the parts) is no click.
  if (AByMouse && IsDropDown() && HotPart() != 0) return;
  if (TdxBarButton* button = GetButtonItem())
    if (button->InternalStates().Contains(bstChecked))
      button->SetDown(!button->Down());
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  ControlInactivate(true);
  if (!self->Target) return;
  TdxBarButtonLikeControl::ControlUnclick(AByMouse);
}

void TdxBarButtonControl::ControlGetFocus(bool AByMouse) {
  TCustomdxBarControl* bar = Parent();
  if (AByMouse && bar && IsDroppedDown() && bar->IsDowned()) {
    if (HotPart() == 0) {
      if (bar->GetBehaviorOptions().Contains(bboSubMenuCaptureMouse))
        bar->BarLostFocus();
      bar->BarGetFocus(this);
    } else {
      bar->BarLostFocus();
    }
    return;
  }
  TdxBarButtonLikeControl::ControlGetFocus(AByMouse);
}

void TdxBarButtonControl::DropDown(bool AByMouse) {
  TdxBarButtonLikeControl::DropDown(AByMouse);
  DoDropDown(AByMouse);
}

void TdxBarButtonControl::DoDropDown(bool AByMouse) {
  TdxBarButton* button = GetButtonItem();
  if (droppedDown_ || !GetEnabled() || !button || !button->DropDownEnabled() ||
      !button->DropDownMenu())
    return;
  TCustomdxBarControl* bar = Parent();
  if (!bar) return;
  droppedDown_ = true;
  Repaint();
  const TRect r = bar->GetItemScreenRect(this);
  TPoint p{r.Left, r.Bottom};
  if (InMenu() || bar->IsRealVertical()) {
    p = {r.Right, r.Top};
    if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(bar))
      p.Y -= menu->GetBorderSize();
  }
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  button->DoDropDown(this, p.X, p.Y, AByMouse);
  if (!self->Target) return;
  if (!GetSubMenuControl()) droppedDown_ = false;
  Repaint();
}

void TdxBarButtonControl::DoCloseUp(bool AHide) {
  if (AHide)
    if (TdxBarSubMenuControl* menu = GetSubMenuControl())
      if (menu->ParentItemControl() == this)
        menu->SetParentItemControl(nullptr);
  droppedDown_ = false;
  TdxBarButtonLikeControl::DoCloseUp(AHide);
}

// ---------------------------------------------------------------------------
// Sub-item control
// ---------------------------------------------------------------------------

TdxBarSubMenuControl* TdxBarSubItemControl::GetSubMenuControl() const {
  TdxBarItemLinks* links = Item() ? Item()->GetItemLinks() : nullptr;
  return links ? dynamic_cast<TdxBarSubMenuControl*>(links->BarControl())
               : nullptr;
}

bool TdxBarSubItemControl::IsDroppedDown() const {
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  return menu && Activated() && menu->ParentItemControl() == this;
}

bool TdxBarSubItemControl::WantsKey(Word AKey) const {
  return TdxBarButtonLikeControl::WantsKey(AKey) || AKey == VK_RETURN;
}

TdxBarItemViewLevels TdxBarSubItemControl::GetPossibleViewLevels() const {
  TdxBarItemViewLevels levels =
      TdxBarButtonLikeControl::GetPossibleViewLevels();
  levels.Include(ivlLargeIconWithText);
  return levels;
}

TdxBarItemControlViewStructure TdxBarSubItemControl::GetDefaultViewStructure()
    const {
  TdxBarItemControlViewStructure s;
  const bool text =
      (Item() && Item()->ShowCaption()) || GetPaintType() == ptMenu;
  if (text) s.Include(cpText);
  if (!text || IconAssigned(GetViewSize())) s.Include(cpIcon);
  return s;
}

Integer TdxBarSubItemControl::GetCaptionAreaWidth() {
  Integer w = TdxBarButtonLikeControl::GetCaptionAreaWidth();
  if (!InMenu()) w += ArrowWidth() / 2;
  return w;
}

void TdxBarSubItemControl::CalcDrawParams(bool AAll) {
  TdxBarButtonLikeControl::CalcDrawParams(AAll);
  if (!AAll) return;
  TdxBarItemControlDrawParams& p = *DrawParams();
  const bool dropped = IsDroppedDown();
  p.DroppedDown = dropped;
  p.IsPressed = dropped && HotPart() != dxBarNoHotPart && MousePressed();
  // An open sub-item stays drawn selected while its menu is open.
  p.DrawSelected = p.DrawSelected || dropped;
}

void TdxBarSubItemControl::DoPaint(const TRect& ARect,
                                   TdxBarPaintType APaintType) {
  TdxBarButtonLikeControl::DoPaint(ARect, APaintType);
}

void TdxBarSubItemControl::ControlClick(bool AByMouse, char) {
  if (IsDroppedDown()) {
    const TdxBarManager* manager = GetBarManager();
    if (!IsCustomizing(this) && manager && manager->Style() != bmsStandard)
      return;
    ControlInactivate(true);
    return;
  }
  // A press on a toolbar's sub-item enters menu mode.
  if (IsOnToolbar() && Parent()) Parent()->SetIsDowned(true);
  MouseOpen = AByMouse;
  ControlActivate(true);
  if (AByMouse) return;
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  TdxBarItemLinks* links = menu ? menu->ItemLinks() : nullptr;
  TdxBarItemLink* first = links ? links->First() : nullptr;
  if (first && first->Control()) menu->SetKeySelectedItem(first->Control());
}

void TdxBarSubItemControl::DropDown(bool AByMouse) {
  TdxBarButtonLikeControl::DropDown(AByMouse);
  Click(AByMouse);
}

void TdxBarSubItemControl::GetSubMenuControlPositionParams(
    TPoint& APoint, Integer& AOwnerWidth, Integer& AOwnerHeight) {
  AOwnerWidth = 0;
  AOwnerHeight = 0;
  TCustomdxBarControl* bar = Parent();
  const TRect r = bar->GetItemScreenRect(this);
  if (InMenu()) {
    auto* menu = static_cast<TdxBarSubMenuControl*>(bar);
    APoint = {r.Right, r.Top - menu->GetBorderSize()};
    AOwnerWidth = r.Width();
  } else if (bar->IsRealVertical()) {
    APoint = {r.Right, r.Top};
    AOwnerWidth = r.Width();
  } else {
    APoint = {r.Left, r.Bottom};
    AOwnerHeight = r.Height();
  }
}

void TdxBarSubItemControl::DoDropDown(bool) {
  auto* item = dynamic_cast<TCustomdxBarSubItem*>(Item());
  TCustomdxBarControl* bar = Parent();
  if (!item || !bar) return;
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  item->DoPopup();
  if (!self->Target) return;
  item->DirectClick();
  if (!self->Target) return;
  item->ItemLinks()->CreateBarControl();
  TdxBarSubMenuControl* menu = GetSubMenuControl();
  if (!menu) return;
  menu->SetParentItemControl(this);
  TPoint p;
  GetSubMenuControlPositionParams(p, menu->OwnerWidth, menu->OwnerHeight);
  menu->SetPosition(p.X, p.Y);
  bar->SetChildBar(menu);
  menu->ShowAnimation = MouseOpen;
  MouseOpen = false;
  if (!InMenu()) Repaint();
  menu->Show();
}

void TdxBarSubItemControl::DoCloseUp(bool AHide) {
  TdxBarSubMenuControl* menu = AHide ? GetSubMenuControl() : nullptr;
  if (menu && menu->ParentItemControl() == this)
    menu->SetParentItemControl(nullptr);
  TcxObjectLink* self = cxAddObjectLink(this);
  TScopeGuard release([&] { cxRemoveObjectLink(self); });
  TdxBarButtonLikeControl::DoCloseUp(AHide);
  if (!self->Target || !AHide) return;
  if (auto* item = dynamic_cast<TCustomdxBarSubItem*>(Item()))
    item->DoCloseUp();
}
