#include "dxBarAccessibility.h"

#include <map>

#include "Menus.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxContainer.h"
#include "dxBarKindControls.h"
#include "dxBarNavigation.h"
#include "dxBarSubMenu.h"
#include "dxBarWinControls.h"

namespace {

// One helper per live bar object; the map's reference keeps it while the
// object lives, an accessibility client's keeps it longer.
std::map<TObject*, TdxBarAccessibilityHelper*>& Helpers() {
  static std::map<TObject*, TdxBarAccessibilityHelper*> helpers;
  return helpers;
}

TdxBarAccessibilityHelper* MakeHelper(TObject* AOwner) {
  if (dynamic_cast<TdxBarControl*>(AOwner))
    return new TdxBarControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarSubMenuControl*>(AOwner))
    return new TdxBarSubMenuControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxDockControl*>(AOwner))
    return new TdxDockControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarButtonControl*>(AOwner))
    return new TdxBarButtonControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarSubItemControl*>(AOwner))
    return new TdxBarSubItemControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarWinControl*>(AOwner))
    return new TdxBarWinControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarButtonLikeControl*>(AOwner))
    return new TdxBarButtonLikeControlAccessibilityHelper(AOwner);
  if (dynamic_cast<TdxBarItemControl*>(AOwner))
    return new TdxBarItemControlAccessibilityHelper(AOwner);
  return nullptr;
}

// The mark helpers, by their toolbar window.
std::map<TObject*, TdxBarAccessibilityHelper*>& MarkHelpers() {
  static std::map<TObject*, TdxBarAccessibilityHelper*> helpers;
  return helpers;
}

// The helper of a bar object that goes leaves its map and learns it.
void ReleaseHelper(std::map<TObject*, TdxBarAccessibilityHelper*>& AHelpers,
                   TObject* AOwner) {
  auto it = AHelpers.find(AOwner);
  if (it == AHelpers.end()) return;
  TdxBarAccessibilityHelper* helper = it->second;
  AHelpers.erase(it);
  helper->OwnerObjectDestroyed();
  helper->_Release();
}

void OwnerGone(TObject* AOwner) {
  ReleaseHelper(MarkHelpers(), AOwner);
  ReleaseHelper(Helpers(), AOwner);
}

TRect ScreenRectOf(HWND AWnd) {
  RECT r{};
  if (AWnd) ::GetWindowRect(AWnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

Integer WindowState(HWND AWnd) {
  return AWnd && ::IsWindowVisible(AWnd) ? 0 : STATE_SYSTEM_INVISIBLE;
}

TdxBarAccessibilityHelper* HelperOfLink(TdxBarItemLink* ALink) {
  return ALink && ALink->Control()
             ? dxBarGetAccessibilityHelper(ALink->Control())
             : nullptr;
}

}  // namespace

TdxBarAccessibilityHelper* dxBarGetAccessibilityHelper(TObject* AOwner) {
  if (!AOwner) return nullptr;
  auto it = Helpers().find(AOwner);
  if (it != Helpers().end()) return it->second;
  TdxBarAccessibilityHelper* helper = MakeHelper(AOwner);
  if (!helper) return nullptr;
  helper->_AddRef();
  Helpers()[AOwner] = helper;
  return helper;
}

TCustomdxBarControl* GetParentBarForBar(TCustomdxBarControl* ABarControl) {
  TCustomdxBarControl* bar = ABarControl;
  while (bar && bar->ParentBar()) bar = bar->ParentBar();
  return bar != ABarControl ? bar : nullptr;
}

// ---------------------------------------------------------------------------
// Dock control
// ---------------------------------------------------------------------------

TdxDockControl* TdxDockControlAccessibilityHelper::Dock() const {
  return static_cast<TdxDockControl*>(OwnerObject());
}

Integer TdxDockControlAccessibilityHelper::GetChildCount() {
  Integer count = 0;
  for (Integer r = 0; r < Dock()->RowCount(); ++r)
    count += Dock()->Rows(r)->ColCount();
  return count;
}

TcxAccessibilityHelper* TdxDockControlAccessibilityHelper::GetChild(
    Integer AIndex) {
  for (Integer r = 0; r < Dock()->RowCount(); ++r) {
    TdxDockRow* row = Dock()->Rows(r);
    if (AIndex < row->ColCount())
      return dxBarGetAccessibilityHelper(row->Cols(AIndex)->BarControl);
    AIndex -= row->ColCount();
  }
  return nullptr;
}

Integer TdxDockControlAccessibilityHelper::GetChildIndex(
    TcxAccessibilityHelper* AChild) {
  for (Integer i = 0; i < GetChildCount(); ++i)
    if (GetChild(i) == AChild) return i;
  return -1;
}

HWND TdxDockControlAccessibilityHelper::GetOwnerObjectWindow() {
  return Dock()->HandleAllocated() ? Dock()->Handle() : nullptr;
}

TRect TdxDockControlAccessibilityHelper::GetScreenBounds(Integer) {
  return GetVisible() ? ScreenRectOf(GetOwnerObjectWindow()) : TRect{};
}

Integer TdxDockControlAccessibilityHelper::GetState(Integer) {
  return WindowState(GetOwnerObjectWindow());
}

TdxBarManager* TdxDockControlAccessibilityHelper::GetBarManager() {
  return Dock()->BarManager();
}

// ---------------------------------------------------------------------------
// Bar windows
// ---------------------------------------------------------------------------

TCustomdxBarControl*
TCustomdxBarControlAccessibilityHelper::GetBarControlInstance() const {
  return static_cast<TCustomdxBarControl*>(OwnerObject());
}

Integer TCustomdxBarControlAccessibilityHelper::GetChildCount() {
  TCustomdxBarControlViewInfo* view = GetBarControlInstance()->ViewInfo();
  return view ? view->GetItemControlCount() : 0;
}

TcxAccessibilityHelper* TCustomdxBarControlAccessibilityHelper::GetChild(
    Integer AIndex) {
  TCustomdxBarControlViewInfo* view = GetBarControlInstance()->ViewInfo();
  if (!view || AIndex < 0 || AIndex >= view->GetItemControlCount())
    return nullptr;
  return dxBarGetAccessibilityHelper(
      view->GetItemControlViewInfo(AIndex)->Control());
}

Integer TCustomdxBarControlAccessibilityHelper::GetChildIndex(
    TcxAccessibilityHelper* AChild) {
  auto* item = dynamic_cast<TdxBarItemControlAccessibilityHelper*>(AChild);
  TCustomdxBarControlViewInfo* view = GetBarControlInstance()->ViewInfo();
  if (!item || !view) return -1;
  return view->GetItemControlIndex(
      static_cast<TdxBarItemControl*>(item->OwnerObject()));
}

HWND TCustomdxBarControlAccessibilityHelper::GetOwnerObjectWindow() {
  TCustomdxBarControl* bar = GetBarControlInstance();
  return bar && bar->HandleAllocated() ? bar->Handle() : nullptr;
}

TRect TCustomdxBarControlAccessibilityHelper::GetScreenBounds(Integer) {
  return GetVisible() ? ScreenRectOf(GetOwnerObjectWindow()) : TRect{};
}

Integer TCustomdxBarControlAccessibilityHelper::GetState(Integer) {
  return WindowState(GetOwnerObjectWindow());
}

bool TCustomdxBarControlAccessibilityHelper::CanNavigateToChildren(Word) {
  // A focused edit of the window keeps its arrows and Tab.
  return dxBarFocusedWinControl(GetBarControlInstance()) == nullptr;
}

void TCustomdxBarControlAccessibilityHelper::GetItemControlKeyTipPosition(
    TdxBarItemControl* AControl, TPoint& AAnchor, TAlignment& AHorizontal,
    TcxAlignmentVert& AVertical) {
  const TRect r = GetBarControlInstance()->GetItemScreenRect(AControl);
  AAnchor = {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  AHorizontal = taCenter;
  AVertical = vaCenter;
}

TdxBarAccessibilityHelper*
TCustomdxBarControlAccessibilityHelper::GetNextAccessibleObject(
    TdxBarItemControl* AControl,
    TcxAccessibilityNavigationDirection ADirection) {
  TdxBarAccessibilityHelper* source = dxBarGetAccessibilityHelper(AControl);
  if (!source) return nullptr;
  const TRect bounds = source->GetScreenBounds(0);
  std::vector<TdxBarAccessibilityHelper*> candidates;
  for (Integer i = 0; i < GetChildCount(); ++i)
    GetChildrenForNavigation(source, InternalGetChild(i), candidates, true,
                             ADirection, bounds);
  // Within one window the search does not wrap round: only what lies
  // beyond the item's facing edge counts.
  std::vector<TdxBarAccessibilityHelper*> ahead;
  std::vector<TRect> rects;
  for (TdxBarAccessibilityHelper* h : candidates) {
    const TRect r = h->GetScreenBounds(0);
    const bool beyond = ADirection == andLeft    ? r.Right <= bounds.Left
                        : ADirection == andRight ? r.Left >= bounds.Right
                        : ADirection == andUp    ? r.Bottom <= bounds.Top
                                                 : r.Top >= bounds.Bottom;
    if (!beyond) continue;
    ahead.push_back(h);
    rects.push_back(r);
  }
  const Integer best =
      rects.empty() ? -1 : dxBarChooseNextObject(bounds, rects, ADirection);
  return best >= 0 ? ahead[static_cast<std::size_t>(best)] : nullptr;
}

void TCustomdxBarControlAccessibilityHelper::UnselectSelectedItemControl() {
  TCustomdxBarControl* bar = GetBarControlInstance();
  if (bar == ActiveBarControl)
    bar->BarLostFocus();
  else
    bar->SetKeySelectedItem(nullptr);
}

bool TCustomdxBarControlAccessibilityHelper::SelectedItemWantsKey(Word AKey) {
  TdxBarItemControl* selected = GetBarControlInstance()->SelectedControl();
  if (!selected || !selected->WantsKey(AKey)) return false;
  Word key = AKey;
  selected->KeyDown(key, InternalGetShiftState());
  return true;
}

// ---------------------------------------------------------------------------
// Toolbar windows
// ---------------------------------------------------------------------------

namespace {

// A vertical toolbar takes the arrows a quarter turned.
Word Turned(Word AKey) {
  switch (AKey) {
    case VK_LEFT:
      return VK_UP;
    case VK_UP:
      return VK_LEFT;
    case VK_RIGHT:
      return VK_DOWN;
    case VK_DOWN:
      return VK_RIGHT;
    default:
      return AKey;
  }
}

}  // namespace

TdxBarControl* TdxBarControlAccessibilityHelper::Toolbar() const {
  return static_cast<TdxBarControl*>(GetBarControlInstance());
}

TdxBarManager* TdxBarControlAccessibilityHelper::GetBarManager() {
  return Toolbar()->BarManager();
}

TcxAccessibilityHelper* TdxBarControlAccessibilityHelper::GetParent() {
  if (Toolbar()->DockingStyle() != dsNone && Toolbar()->DockControl())
    return dxBarGetAccessibilityHelper(Toolbar()->DockControl());
  return TCustomdxBarControlAccessibilityHelper::GetParent();
}

bool TdxBarControlAccessibilityHelper::HandleNavigationKey(Word& AKey) {
  if (TCustomdxBarControlAccessibilityHelper::HandleNavigationKey(AKey))
    return true;
  return SelectedItemWantsKey(Toolbar()->IsRealVertical() ? Turned(AKey)
                                                          : AKey);
}

void TdxBarControlAccessibilityHelper::Select(bool) {
  // The window takes the bar focus; the first arrow picks an item.
  Toolbar()->BarGetFocus(nullptr);
}

void TdxBarControlAccessibilityHelper::Unselect(
    TdxBarAccessibilityHelper* ANext) {
  TCustomdxBarControlAccessibilityHelper::Unselect(ANext);
  Toolbar()->HideAll();
}

TdxBarAccessibilityHelper*
TdxBarControlAccessibilityHelper::GetNextAccessibleObject(
    TdxBarItemControl* AControl,
    TcxAccessibilityNavigationDirection ADirection) {
  TcxAccessibilityNavigationDirection direction = ADirection;
  if (Toolbar()->IsRealVertical()) {
    static constexpr TcxAccessibilityNavigationDirection turned[] = {
        andUp, andLeft, andDown, andRight, andPrev, andNext};
    direction = turned[ADirection];
  }
  TdxBarItemLinks* links = Toolbar()->ItemLinks();
  TdxBarItemLink* link = AControl ? AControl->ItemLink() : nullptr;
  if (links && link && (direction == andLeft || direction == andRight))
    return HelperOfLink(direction == andLeft ? links->Prev(link)
                                             : links->Next(link));
  return TCustomdxBarControlAccessibilityHelper::GetNextAccessibleObject(
      AControl, ADirection);
}

// ---------------------------------------------------------------------------
// Menu windows
// ---------------------------------------------------------------------------

TdxBarManager* TdxBarSubMenuControlAccessibilityHelper::GetBarManager() {
  return GetBarControlInstance()->BarManager();
}

void TdxBarSubMenuControlAccessibilityHelper::GetItemControlKeyTipPosition(
    TdxBarItemControl* AControl, TPoint& AAnchor, TAlignment& AHorizontal,
    TcxAlignmentVert& AVertical) {
  TCustomdxBarControl* menu = GetBarControlInstance();
  const TPoint origin = menu->ClientToScreen({0, 0});
  const TRect item = menu->GetItemScreenRect(AControl);
  const TdxBarSubMenuPaintInfo info = dxBarGetSubMenuPaintInfo(menu);
  TdxBarPainter* painter = menu->GetPainter();
  const Integer band =
      painter ? painter->SubMenuControlGetBandSize(info) : info.IconAreaSize;
  AAnchor = {origin.X + info.ItemsRect.Left + band / 2,
             (item.Top + item.Bottom) / 2};
  AHorizontal = taRightJustify;
  AVertical = vaBottom;
}

TdxBarAccessibilityHelper*
TdxBarSubMenuControlAccessibilityHelper::GetParentForKeyTip() {
  TCustomdxBarControl* parent = GetBarControlInstance()->ParentBar();
  return parent ? dxBarGetAccessibilityHelper(parent->SelectedControl())
                : nullptr;
}

void TdxBarSubMenuControlAccessibilityHelper::KeyTipsEscapeHandler() {
  TdxBarAccessibilityHelper* opener = GetParentForKeyTip();
  TdxBarAccessibilityHelper* owner =
      opener ? opener->GetKeyTipContainerParent() : nullptr;
  if (!owner) owner = opener;
  TCustomdxBarControl* menu = GetBarControlInstance();
  if (menu->HandleAllocated())
    ::SendMessageA(menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  if (TdxBarNavigationController* controller = BarNavigationController())
    controller->SetKeyTipsShowingState(owner, String());
}

void TdxBarSubMenuControlAccessibilityHelper::UnselectSelectedItemControl() {
  GetBarControlInstance()->SetKeySelectedItem(nullptr);
}

TdxBarItemLink* TdxBarSubMenuControlAccessibilityHelper::GetNextItemLink(
    TdxBarItemLink* ALink, bool AForward) {
  TdxBarItemLinks* links = GetBarControlInstance()->ItemLinks();
  if (!links) return nullptr;
  if (ALink) return AForward ? links->Next(ALink) : links->Prev(ALink);
  return links->VisibleItemCount() > 0 ? links->First() : nullptr;
}

bool TdxBarSubMenuControlAccessibilityHelper::HandleNavigationKey(Word& AKey) {
  // The menu stops its animation and may show its hidden items first.
  if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(GetBarControlInstance()))
    if (menu->HandleExpandKey(AKey)) return true;
  if (TCustomdxBarControlAccessibilityHelper::HandleNavigationKey(AKey))
    return true;
  bool byTab = false;
  if (AKey == VK_TAB) {
    const TShiftState shift = InternalGetShiftState();
    AKey = shift.Contains(ssShift) || shift.Contains(ssAlt) ||
                   shift.Contains(ssCtrl)
               ? VK_UP
               : VK_DOWN;
    byTab = true;
  }
  if (SelectedItemWantsKey(AKey)) return true;
  if (AKey == VK_LEFT || AKey == VK_RIGHT)
    HandleHorzNavigationKey(AKey == VK_LEFT);
  else if (AKey == VK_UP || AKey == VK_DOWN)
    HandleVertNavigationKey(AKey == VK_UP, byTab);
  return true;
}

void TdxBarSubMenuControlAccessibilityHelper::HandleVertNavigationKey(
    bool AUp, bool AByTab) {
  TCustomdxBarControl* menu = GetBarControlInstance();
  TdxBarItemLink* selected = menu->SelectedLink();
  TdxBarItemLink* next = GetNextItemLink(selected, !AUp);
  TdxBarAccessibilityHelper* target = HelperOfLink(next);
  if (!target) return;
  if (TdxBarAccessibilityHelper* current = HelperOfLink(selected))
    current->Unselect(target);
  target->Select(AByTab);
}

void TdxBarSubMenuControlAccessibilityHelper::HandleHorzNavigationKey(
    bool ALeft) {
  TCustomdxBarControl* menu = GetBarControlInstance();
  TdxBarNavigationController* controller = BarNavigationController();
  if (TdxBarAccessibilityHelper* selected =
          HelperOfLink(menu->SelectedLink())) {
    TdxBarAccessibilityHelper* next =
        selected->GetNextAccessibleObject(ALeft ? andLeft : andRight);
    if (next && next != selected) {
      selected->Unselect(next);
      next->Select(false);
      return;
    }
  }
  TCustomdxBarControl* top = GetParentBarForBar(menu);
  auto selectedOf = [](TCustomdxBarControl* ABar) {
    return dxBarGetAccessibilityHelper(ABar->SelectedControl());
  };
  if (!ALeft) {
    if (top && controller &&
        !top->GetBehaviorOptions().Contains(bboMouseCantUnselectNavigationItem))
      controller->HandleKey(VK_RIGHT, dxBarGetAccessibilityHelper(top),
                            selectedOf(top));
    return;
  }
  TCustomdxBarControl* parent = menu->ParentBar();
  if (!parent || !parent->SelectedControl()) return;
  if (parent->IsPopup()) {
    parent->SelectedControl()->ControlInactivate(true);
    return;
  }
  if (top && top->IsRealVertical()) {
    ::SendMessageA(menu->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    return;
  }
  if (top && controller &&
      !top->GetBehaviorOptions().Contains(bboMouseCantUnselectNavigationItem))
    controller->HandleKey(VK_LEFT, dxBarGetAccessibilityHelper(top),
                          selectedOf(top));
}

// ---------------------------------------------------------------------------
// Item controls
// ---------------------------------------------------------------------------

TdxBarItemControl* TdxBarItemControlAccessibilityHelper::Control() const {
  return static_cast<TdxBarItemControl*>(OwnerObject());
}

TCustomdxBarControlAccessibilityHelper*
TdxBarItemControlAccessibilityHelper::ParentHelper() {
  return dynamic_cast<TCustomdxBarControlAccessibilityHelper*>(GetParent());
}

TdxBarManager* TdxBarItemControlAccessibilityHelper::GetBarManager() {
  return Control()->GetBarManager();
}

TcxAccessibilityHelper* TdxBarItemControlAccessibilityHelper::GetParent() {
  return dxBarGetAccessibilityHelper(Control()->Parent());
}

HWND TdxBarItemControlAccessibilityHelper::GetOwnerObjectWindow() {
  TCustomdxBarControl* bar = Control()->Parent();
  return bar && bar->HandleAllocated() ? bar->Handle() : nullptr;
}

TRect TdxBarItemControlAccessibilityHelper::GetScreenBounds(Integer) {
  TCustomdxBarControl* bar = Control()->Parent();
  if (!GetVisible() || !bar) return {};
  return bar->GetItemScreenRect(Control());
}

bool TdxBarItemControlAccessibilityHelper::GetSelectable() {
  return GetVisible() && Control()->CanSelect();
}

Integer TdxBarItemControlAccessibilityHelper::GetState(Integer) {
  HWND wnd = GetOwnerObjectWindow();
  TCustomdxBarControlAccessibilityHelper* parent = ParentHelper();
  const bool shown =
      wnd && ::IsWindowVisible(wnd) && !(parent && parent->IsCollapsed()) &&
      Control()->Parent()->ViewInfo() &&
      Control()->Parent()->ViewInfo()->IsItemControlVisible(Control());
  return shown ? 0 : STATE_SYSTEM_INVISIBLE;
}

TdxBarAccessibilityHelper*
TdxBarItemControlAccessibilityHelper::GetNextAccessibleObject(
    TcxAccessibilityNavigationDirection ADirection) {
  TCustomdxBarControlAccessibilityHelper* parent = ParentHelper();
  return parent ? parent->GetNextAccessibleObject(Control(), ADirection)
                : nullptr;
}

bool TdxBarItemControlAccessibilityHelper::HandleNavigationKey(Word& AKey) {
  if (TdxBarAccessibilityHelper::HandleNavigationKey(AKey)) return true;
  TCustomdxBarControlAccessibilityHelper* parent = ParentHelper();
  return parent && parent->HandleNavigationKey(AKey);
}

void TdxBarItemControlAccessibilityHelper::Select(bool AByTab) {
  TCustomdxBarControl* bar = Control()->Parent();
  if (!bar) return;
  if (bar->IsActive())
    bar->SetKeySelectedItem(Control());
  else
    bar->BarGetFocus(Control());
  // An edit reached by Tab, or on a bar that does not select edits
  // without focusing them, starts editing at once.
  if (!Control()->HasWindow() || !TCustomdxBarControl::IsLive(bar)) return;
  if (!AByTab && bar->GetBehaviorOptions().Contains(
                     bboAllowSelectWindowItemsWithoutFocusing))
    return;
  if (bar->SelectedControl() == Control()) Control()->Click(false);
}

void TdxBarItemControlAccessibilityHelper::Unselect(
    TdxBarAccessibilityHelper* ANext) {
  TdxBarAccessibilityHelper::Unselect(ANext);
  auto* next = dynamic_cast<TdxBarItemControlAccessibilityHelper*>(ANext);
  if (next && next->GetParent() == GetParent()) return;
  if (TCustomdxBarControlAccessibilityHelper* parent = ParentHelper())
    parent->UnselectSelectedItemControl();
}

String TdxBarItemControlAccessibilityHelper::GetAssignedKeyTip() {
  TdxBarItem* item = Control()->Item();
  return item ? item->KeyTip() : String();
}

String TdxBarItemControlAccessibilityHelper::GetDefaultKeyTip() {
  const TShortCut shortCut = Control()->GetShortCut();
  // Ctrl and a letter: the letter.
  if (shortCut >= scCtrl + 'A' && shortCut <= scCtrl + 'Z') {
    const String text = ShortCutToText(shortCut);
    if (!text.empty()) return text.substr(text.size() - 1);
  }
  String caption = Control()->GetCaption();
  const Integer pos = GetAccelPos(caption, true);
  if (pos > 0 && pos <= static_cast<Integer>(caption.size()))
    return UpperCase(caption.substr(static_cast<std::size_t>(pos - 1), 1));
  return "Y";
}

void TdxBarItemControlAccessibilityHelper::GetKeyTipInfo(
    TdxBarKeyTipInfo& AInfo) {
  TdxBarAccessibilityHelper::GetKeyTipInfo(AInfo);
  if (AInfo.IsVisible) {
    if (TCustomdxBarControlAccessibilityHelper* parent = ParentHelper())
      parent->GetItemControlKeyTipPosition(Control(), AInfo.AnchorPoint,
                                           AInfo.HorizontalAlignment,
                                           AInfo.VerticalAlignment);
  }
  AInfo.IsEnabled = Control()->GetEnabled();
}

void TdxBarButtonLikeControlAccessibilityHelper::KeyTipHandler(TObject*) {
  if (IsDropDownControl())
    DoDropDown();
  else
    DoClick();
}

void TdxBarButtonLikeControlAccessibilityHelper::DoClick() {
  if (TdxBarNavigationController* controller = BarNavigationController())
    controller->StopKeyboardHandling();
  TdxBarItem* item = Control()->Item();
  // The click acts as a click, not a toggle that stays pressed.
  const bool unclick = item && item->UnclickAfterDoing();
  if (item) item->SetUnclickAfterDoing(false);
  TScopeGuard restore([&] {
    if (item) item->SetUnclickAfterDoing(unclick);
  });
  Control()->ControlUnclick(false);
}

void TdxBarButtonLikeControlAccessibilityHelper::DoDropDown() {
  TdxBarNavigationController* controller = BarNavigationController();
  if (!controller) return;
  controller->ChangeSelectedObject(true, this);
  if (!ShowDropDownWindow()) return;
  controller->StopKeyTipsHandlingMode();
  controller->SetKeyTipsShowingState(
      dxBarGetAccessibilityHelper(controller->GetActiveBarControl()), String());
}

bool TdxBarButtonControlAccessibilityHelper::IsDropDownControl() {
  auto* button = dynamic_cast<TdxBarButton*>(Control()->Item());
  return button && (button->ButtonStyle() == bsDropDown ||
                    button->ButtonStyle() == bsCheckedDropDown);
}

bool TdxBarButtonControlAccessibilityHelper::ShowDropDownWindow() {
  auto* control = static_cast<TdxBarButtonControl*>(Control());
  control->DoDropDown(false);
  return control->IsDroppedDown();
}

bool TdxBarSubItemControlAccessibilityHelper::ShowDropDownWindow() {
  auto* control = static_cast<TdxBarSubItemControl*>(Control());
  control->DropDown(true);
  return control->IsDroppedDown();
}

// ---------------------------------------------------------------------------
// Toolbar mark
// ---------------------------------------------------------------------------

TdxBarControlMarkAccessibilityHelper* dxBarGetMarkAccessibilityHelper(
    TdxBarControl* AToolbar) {
  if (!AToolbar) return nullptr;
  auto it = MarkHelpers().find(AToolbar);
  if (it != MarkHelpers().end())
    return static_cast<TdxBarControlMarkAccessibilityHelper*>(it->second);
  auto* helper = new TdxBarControlMarkAccessibilityHelper(AToolbar);
  helper->_AddRef();
  MarkHelpers()[AToolbar] = helper;
  return helper;
}

TdxBarControl* TdxBarControlMarkAccessibilityHelper::Toolbar() const {
  return static_cast<TdxBarControl*>(OwnerObject());
}

TdxBarManager* TdxBarControlMarkAccessibilityHelper::GetBarManager() {
  return Toolbar()->BarManager();
}

TcxAccessibilityHelper* TdxBarControlMarkAccessibilityHelper::GetParent() {
  return dxBarGetAccessibilityHelper(Toolbar());
}

HWND TdxBarControlMarkAccessibilityHelper::GetOwnerObjectWindow() {
  return Toolbar()->HandleAllocated() ? Toolbar()->Handle() : nullptr;
}

TRect TdxBarControlMarkAccessibilityHelper::GetScreenBounds(Integer) {
  if (!GetVisible()) return {};
  const TRect r = Toolbar()->MarkRect();
  const TPoint origin = Toolbar()->ClientToScreen({0, 0});
  return Bounds(r.Left + origin.X, r.Top + origin.Y, r.Width(), r.Height());
}

Integer TdxBarControlMarkAccessibilityHelper::GetState(Integer) {
  TcxAccessibilityHelper* parent = GetParent();
  Integer state = parent ? parent->GetState(0) : STATE_SYSTEM_INVISIBLE;
  if (!Toolbar()->MarkExists() || IsRectEmpty(Toolbar()->MarkRect()))
    state |= STATE_SYSTEM_INVISIBLE;
  return state;
}

bool TdxBarControlMarkAccessibilityHelper::IsNavigationKey(Word AKey) {
  return TdxBarAccessibilityHelper::IsNavigationKey(AKey) ||
         AKey == VK_RETURN || AKey == VK_ESCAPE || AKey == VK_SPACE;
}

bool TdxBarControlMarkAccessibilityHelper::HandleNavigationKey(Word& AKey) {
  if (TdxBarAccessibilityHelper::HandleNavigationKey(AKey)) return true;
  if (AKey != VK_RETURN && AKey != VK_SPACE) return false;
  DropDown();
  return true;
}

void TdxBarControlMarkAccessibilityHelper::Select(bool AByTab) {
  TdxBarAccessibilityHelper::Select(AByTab);
  Toolbar()->InvalidateMark();
}

void TdxBarControlMarkAccessibilityHelper::Unselect(
    TdxBarAccessibilityHelper* ANext) {
  TdxBarAccessibilityHelper::Unselect(ANext);
  Toolbar()->InvalidateMark();
}

void TdxBarControlMarkAccessibilityHelper::DropDown() {
  TcxObjectLinkScope self(this);
  Unselect(nullptr);
  Toolbar()->SetMarkState(msPressed);
}

void TdxBarControlMarkAccessibilityHelper::CloseUpHandler(
    bool AClosedByKeyboard) {
  TdxBarNavigationController* controller = BarNavigationController();
  if (AClosedByKeyboard && controller && controller->NavigationMode())
    Select(false);
}

void TdxBarControlMarkAccessibilityHelper::UpdateMarkState() {
  Toolbar()->CheckMarkState();
}

// ---------------------------------------------------------------------------
// Edit-like items
// ---------------------------------------------------------------------------

void TdxBarWinControlAccessibilityHelper::KeyTipHandler(TObject*) {
  TdxBarNavigationController* controller = BarNavigationController();
  if (!controller) return;
  controller->StopKeyboardHandling();
  controller->ChangeSelectedObject(true, this);
}

// ---------------------------------------------------------------------------
// Unit
// ---------------------------------------------------------------------------

namespace {

void AccessibilityStartup() {
  dxBarManagerSeams().AccessibilityOwnerGone = &OwnerGone;
}

void AccessibilityShutdown() {
  if (dxBarManagerSeams().AccessibilityOwnerGone == &OwnerGone)
    dxBarManagerSeams().AccessibilityOwnerGone = nullptr;
  while (!MarkHelpers().empty())
    ReleaseHelper(MarkHelpers(), MarkHelpers().begin()->first);
  while (!Helpers().empty()) OwnerGone(Helpers().begin()->first);
}

}  // namespace

VARNEL_UNIT(dxBarAccessibility, ({"dxBar", "dxBarControls"}),
            &AccessibilityStartup, &AccessibilityShutdown);
