// The list of live bar managers and the thread hooks through which keys and
// mouse input reach the bars: shortcuts, accelerators, Alt and F10, menus
// that close on a click elsewhere.
#include <windows.h>

#include <algorithm>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "dxBar.h"
#include "dxBarNavigation.h"
#include "dxBarWinControls.h"

namespace {

HHOOK gKeyboardHook = nullptr;
HHOOK gMouseHook = nullptr;
bool gHandledKeyPending = false;
Word gHandledKey = 0;
bool gAltPending = false;
bool gClosingMenus = false;
bool gLookupGuard = false;
bool gApplicationActive = true;
bool gDeactivatingToAnotherProcess = false;
// Set while an edit of a bar calls the keyboard handling for its own key.
bool gQueryMode = false;
bool gAltReleasedInEdit = false;

bool IsChildWindow(HWND AWnd) {
  return (::GetWindowLongA(AWnd, GWL_STYLE) & WS_CHILD) != 0;
}

bool BelongsToAnotherProcess(HWND AWnd) {
  if (!AWnd) return true;
  DWORD process = 0;
  ::GetWindowThreadProcessId(AWnd, &process);
  return process != ::GetCurrentProcessId();
}

// The first manager met climbing from the window through child windows.
TdxBarManager* ClimbForManager(HWND AWnd) {
  for (HWND w = AWnd; w; w = IsChildWindow(w) ? ::GetParent(w) : nullptr)
    if (TdxBarManager* manager = GetBarManagerByWindow(w)) return manager;
  return nullptr;
}

TShiftState AsyncShiftState() {
  TShiftState shift;
  if (::GetAsyncKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (::GetAsyncKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (::GetAsyncKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

// The managers of one cycle: M first, then those NextActive reaches.
std::vector<TdxBarManager*> Cycle(TdxBarManager* AManager) {
  std::vector<TdxBarManager*> result{AManager};
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return result;
  for (TdxBarManager* m = list->NextActive(AManager, true);
       m && m != AManager &&
       std::find(result.begin(), result.end(), m) == result.end();
       m = list->NextActive(m, true))
    result.push_back(m);
  return result;
}

// The managers from the owner window outwards, then the rest of the cycle.
std::vector<TdxBarManager*> ManagersToAsk(TdxBarManager* AManager) {
  std::vector<TdxBarManager*> result;
  TWinControl* owner = AManager->ParentedOwner();
  HWND start = owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
  for (HWND w = start; w; w = IsChildWindow(w) ? ::GetParent(w) : nullptr)
    if (TdxBarManager* m = GetBarManagerByWindow(w))
      if (std::find(result.begin(), result.end(), m) == result.end())
        result.push_back(m);
  if (result.empty()) result.push_back(AManager);
  for (TdxBarManager* m : Cycle(AManager))
    if (std::find(result.begin(), result.end(), m) == result.end())
      result.push_back(m);
  return result;
}

LRESULT CALLBACK KeyboardHookProc(int ACode, WPARAM AKey, LPARAM AKeyData) {
  if (ACode == HC_ACTION && AKey != VK_PROCESSKEY &&
      dxBarProcessKey(static_cast<Word>(AKey), AKeyData))
    return 1;
  return ::CallNextHookEx(gKeyboardHook, ACode, AKey, AKeyData);
}

// The window is one of the active bar windows or inside one.
bool InActiveChain(HWND AWnd) {
  if (!AWnd) return false;
  for (TCustomdxBarControl* c = ActiveBarControl; c; c = c->ParentBar()) {
    if (!TCustomdxBarControl::IsLive(c) || !c->HandleAllocated()) break;
    if (AWnd == c->Handle() || ::IsChild(c->Handle(), AWnd)) return true;
  }
  return false;
}

LRESULT CALLBACK MouseHookProc(int ACode, WPARAM AMessage, LPARAM AData) {
  const auto msg = static_cast<UINT>(AMessage);
  bool swallow = false;
  if (ACode >= 0) {
    if (msg == WM_MOUSEWHEEL && BarGetMouseWheelReceiver() == mwrNone)
      swallow = true;
    // A click away from the bars the keyboard walks ends the walk; a click
    // into one of them (an open menu or the bar it hangs from) is theirs.
    if (!gClosingMenus && IsMouseDownMessage(msg) &&
        dxBarKeyboardHandlingActive() &&
        !InActiveChain(reinterpret_cast<MOUSEHOOKSTRUCT*>(AData)->hwnd))
      dxBarStopKeyboardHandling();
    // A click outside the open menus closes them.
    if (!swallow && !gClosingMenus && ActiveBarControl &&
        IsMouseDownMessage(msg)) {
      gClosingMenus = true;
      const auto* data = reinterpret_cast<MOUSEHOOKSTRUCT*>(AData);
      TCustomdxBarControl* active = ActiveBarControl;
      const bool inside = active->HandleAllocated() &&
                          (data->hwnd == active->Handle() ||
                           ::IsChild(active->Handle(), data->hwnd));
      if (!inside) {
        active->HideAll();
        if (data->hwnd && !::IsWindowVisible(data->hwnd)) swallow = true;
      }
      gClosingMenus = false;
    }
  }
  const LRESULT next = ::CallNextHookEx(gMouseHook, ACode, AMessage, AData);
  return swallow ? 1 : next;
}

// The window whose manager hears a message of the thread's windows.
HWND OwnerMessageTarget(const CWPSTRUCT& AData) {
  if (AData.message == WM_ACTIVATE) {
    // Activation passing between a window and its own parent or child
    // changes nothing for the bars.
    const HWND other = reinterpret_cast<HWND>(AData.lParam);
    if (other && !BelongsToAnotherProcess(other) &&
        (::GetParent(AData.hwnd) == other || ::GetParent(other) == AData.hwnd))
      return nullptr;
  }
  if (AData.message == WM_HELP && ActiveBarControl) {
    // Help asked for while a bar is in keyboard mode belongs to that bar's
    // form unless the window asking lies inside it.
    TdxBarManager* manager = ActiveBarControl->BarManager();
    TWinControl* owner = manager ? manager->ParentedOwner() : nullptr;
    if (owner && owner->HandleAllocated() && AData.hwnd != owner->Handle() &&
        !::IsChild(owner->Handle(), AData.hwnd))
      return owner->Handle();
  }
  return AData.hwnd;
}

void RouteToOwner(const CWPSTRUCT& AData) {
  auto route = dxBarManagerSeams().OwnerWndProc;
  if (auto wants = dxBarManagerSeams().OwnerWantsMessage;
      route && wants && !wants(AData.message))
    return;
  const HWND target = route ? OwnerMessageTarget(AData) : nullptr;
  if (!target) return;
  TdxBarManager* manager = nullptr;
  {
    TRestoreOnExit<bool> guard(gLookupGuard, true);
    manager = GetBarManagerByWindow(target);
    const HWND parent = ::GetParent(target);
    if (!manager && AData.message == WM_ACTIVATE && parent &&
        ::IsWindowVisible(parent))
      manager = GetBarManagerByWindow(parent);
  }
  if (!manager) return;
  TMessage message{AData.message, AData.wParam, AData.lParam, 0};
  route(manager, message);
}

TCustomForm* MainFormOfProgram() {
  return Application ? Application->MainForm() : nullptr;
}

// The MDI frame's own activation shows and hides the floating toolbars of
// its MDI children's managers; a single-document main form has none.
void FrameActivation(const CWPSTRUCT& AData) {
  if (AData.message != WM_ACTIVATE && AData.message != WM_WINDOWPOSCHANGED)
    return;
  auto frame = dxBarManagerSeams().MDIFrameMessage;
  TCustomForm* main = MainFormOfProgram();
  if (!frame || !main || main->FormStyle() != fsMDIForm ||
      !main->HandleAllocated() || AData.hwnd != main->Handle())
    return;
  TMessage message{AData.message, AData.wParam, AData.lParam, 0};
  frame(message);
}

// A window of the MDI client area: the main form's manager follows its
// children's creation, activation and end.
bool IsMDIClientChild(HWND AWnd) {
  const HWND parent = ::GetParent(AWnd);
  char name[256] = {};
  return parent && ::GetClassNameA(parent, name, sizeof(name)) > 0 &&
         ::lstrcmpiA(name, "MDICLIENT") == 0;
}

void MDIClientChildMessage(const CWPSTRUCT& AData) {
  if (AData.message != WM_DESTROY && AData.message != WM_CHILDACTIVATE &&
      AData.message != WM_MDIACTIVATE)
    return;
  auto client = dxBarManagerSeams().MainFormClientWndProc;
  if (!client || !IsMDIClientChild(AData.hwnd)) return;
  TCustomForm* main = MainFormOfProgram();
  TdxBarManager* manager = main ? GetBarManagerByForm(main) : nullptr;
  if (!manager) return;
  TMessage message{AData.message, AData.wParam, AData.lParam, 0};
  client(manager, AData.hwnd, message);
}

// What the bars hear of the messages reaching the program's windows (every
// window a manager can belong to is one of them).
void WindowMessageObserver(HWND AWnd, const TMessage& AMessage) {
  CWPSTRUCT data{AMessage.LParam, AMessage.WParam, AMessage.Msg, AWnd};
  if (data.message == WM_ACTIVATE && LOWORD(data.wParam) == WA_INACTIVE &&
      BelongsToAnotherProcess(reinterpret_cast<HWND>(data.lParam)))
    gDeactivatingToAnotherProcess = true;
  if (data.message == WM_ACTIVATEAPP) {
    gDeactivatingToAnotherProcess = false;
    gApplicationActive = data.wParam != 0;
  }
  if (!gLookupGuard) {
    RouteToOwner(data);
    FrameActivation(data);
  }
  MDIClientChildMessage(data);
}

}  // namespace

// ---------------------------------------------------------------------------
// Manager list
// ---------------------------------------------------------------------------

namespace {
void RemoveHooks() {
  RemoveWindowMessageObserver(&WindowMessageObserver);
  for (HHOOK* hook : {&gMouseHook, &gKeyboardHook}) {
    if (*hook) ::UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
}
}  // namespace

TdxBarManagerList::~TdxBarManagerList() { RemoveHooks(); }

TdxBarManager* TdxBarManagerList::GetCustomizingBarManager() const {
  for (Integer i = 0; i < Count(); ++i)
    if (GetBarManager(i)->IsCustomizing() && !GetBarManager(i)->IsDesigning())
      return GetBarManager(i);
  return nullptr;
}

TdxBarManager* TdxBarManagerList::NextActive(TdxBarManager* AManager,
                                             bool AForward) const {
  const Integer start = IndexOf(AManager);
  if (start < 0 || Count() == 0) return AManager;
  TCustomForm* mainForm = AManager->MainForm();
  HWND mainWnd =
      mainForm && mainForm->HandleAllocated() ? mainForm->Handle() : nullptr;
  for (Integer step = 1; step < Count(); ++step) {
    const Integer i = (start + (AForward ? step : Count() - step)) % Count();
    TdxBarManager* m = GetBarManager(i);
    TWinControl* owner = m->ParentedOwner();
    HWND ownerWnd =
        owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
    if (ownerWnd && mainWnd &&
        (ownerWnd == mainWnd || ::IsChild(mainWnd, ownerWnd)))
      return m;
  }
  return AManager;
}

void dxBarRegisterManager(TdxBarManager* AManager) {
  TdxBarManagerList* list = dxBarManagerList();
  if (!list || list->IndexOf(AManager) >= 0) return;
  if (list->Count() == 0) {
    const DWORD thread = ::GetCurrentThreadId();
    gKeyboardHook =
        ::SetWindowsHookExA(WH_KEYBOARD, KeyboardHookProc, nullptr, thread);
    gMouseHook = ::SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, thread);
    AddWindowMessageObserver(&WindowMessageObserver);
  }
  list->Add(AManager);
  if (FOnRegisterBarManager) FOnRegisterBarManager(AManager);
}

void dxBarUnregisterManager(TdxBarManager* AManager) {
  TdxBarManagerList* list = dxBarManagerList();
  if (!list || list->Remove(AManager) < 0) return;
  if (list->Count() == 0) RemoveHooks();
  if (FOnUnregisterBarManager) FOnUnregisterBarManager(AManager);
}

bool dxBarHooksInstalled() {
  return gKeyboardHook && gMouseHook &&
         HasWindowMessageObserver(&WindowMessageObserver);
}

bool IsApplicationActive() {
  return gApplicationActive && !gDeactivatingToAnotherProcess &&
         ::GetActiveWindow() != nullptr;
}

TdxBarMouseWheelEventReceiver BarGetMouseWheelReceiver() {
  if (!ActiveBarControl) return mwrWindow;
  if (dxBarFocusedWinControl(ActiveBarControl)) return mwrFocusedItemControl;
  return mwrActiveBarControl;
}

bool dxBarCallKeyboardHookFromEdit(Word AKey, LPARAM AKeyData) {
  TRestoreOnExit<bool> query(gQueryMode, true);
  const bool handled = dxBarProcessKey(AKey, AKeyData);
  gAltReleasedInEdit = false;
  return handled;
}

void dxBarAltReleasedInEdit() { gAltReleasedInEdit = true; }

// ---------------------------------------------------------------------------
// Finding the manager of a key, shortcuts and accelerators
// ---------------------------------------------------------------------------

TdxBarManager* dxBarFindManagerForKey(bool AIsMenuKey) {
  TdxBarManager* manager = ClimbForManager(::GetFocus());
  HWND active = ::GetActiveWindow();
  if (!manager && active && ::IsWindowEnabled(active))
    manager = ClimbForManager(active);
  if (!manager && Application && Application->MainForm()) {
    TCustomForm* mainForm = Application->MainForm();
    if (mainForm->HandleAllocated() && ::IsWindowEnabled(mainForm->Handle()))
      if (TdxBarManager* m = ClimbForManager(mainForm->Handle()))
        if (m->AllowCallFromAnotherForm) manager = m;
  }
  if (!manager && !AIsMenuKey && active && ::IsWindowEnabled(active)) {
    TWinControl* control = FindControl(active);
    if (auto* form = dynamic_cast<TCustomForm*>(control))
      if (TdxBarManagerList* list = dxBarManagerList())
        for (Integer i = 0; i < list->Count() && !manager; ++i)
          if (list->GetBarManager(i)->MainForm() == form)
            manager = list->GetBarManager(i);
  }
  if (manager && manager->IsCustomizing() && !manager->IsDesigning())
    return nullptr;
  return manager;
}

bool TdxBarManager::HandleShortCut(TShortCut AShortCut) {
  if (AShortCut == 0) return false;
  if (TWinControl* focused = FindControl(::GetFocus()))
    if (TdxBarManager* m = GetBarManagerByComponent(
            GetParentForm(focused)
                ? static_cast<TComponent*>(GetParentForm(focused))
                : nullptr))
      if (m->PopupMenuLinks()->IsShortCut(focused, AShortCut)) return true;
  for (TdxBarManager* m : ManagersToAsk(this)) {
    if (TdxBar* mainMenu = m->MainMenuBar())
      if (mainMenu->IsShortCut(AShortCut)) return true;
    for (Integer i = 0; i < m->Bars()->Count(); ++i) {
      TdxBar* bar = m->Bars()->Items(i);
      if (bar != m->MainMenuBar() && bar->Visible() &&
          bar->IsShortCut(AShortCut))
        return true;
    }
  }
  return false;
}

TdxBarItemLink* TdxBarManager::GetItemLinkWithAccel(Word AKey,
                                                    TShiftState AShift) {
  for (TdxBarManager* m : ManagersToAsk(this)) {
    if (TCustomdxBarControl* menu = m->MainMenuControl())
      if (TdxBarItemLink* link =
              menu->ItemLinks()->FindItemWithAccel(AKey, AShift, nullptr))
        return link;
    for (Integer i = 0; i < m->Bars()->Count(); ++i) {
      TdxBar* bar = m->Bars()->Items(i);
      if (bar == m->MainMenuBar() || !bar->Visible()) continue;
      if (TdxBarItemLink* link =
              bar->ItemLinks()->FindItemWithAccel(AKey, AShift, nullptr))
        return link;
    }
  }
  return nullptr;
}

bool dxBarProcessKey(Word AKey, LPARAM AKeyData) {
  if (dxBarModalLoop) return false;
  const bool keyUp = (AKeyData & 0x80000000) != 0;
  // The key-up of a key handled here goes with it.
  if (gHandledKeyPending && keyUp && AKey == gHandledKey) {
    gHandledKeyPending = false;
    return true;
  }
  const TdxBarManagerSeams& seams = dxBarManagerSeams();
  if (seams.NavigationNeedsKey && seams.NavigationNeedsKey(AKey)) {
    if (!keyUp && seams.NavigationHandleKey) seams.NavigationHandleKey(AKey);
    return true;
  }
  if (ActiveBarControl && ActiveBarControl->HandleAllocated() &&
      ActiveBarControl->Enabled()) {
    // Keys typed into an edit of the active bar are the edit's.
    if (!gQueryMode && dxBarFocusedWinControl(ActiveBarControl)) return false;
    if (!keyUp) {
      gHandledKeyPending = true;
      gHandledKey = AKey;
    }
    ::SendMessageA(ActiveBarControl->Handle(), keyUp ? WM_KEYUP : WM_KEYDOWN,
                   AKey, AKeyData);
    if (!ActiveBarControl || keyUp) gHandledKeyPending = false;
    return true;
  }
  if (::GetCapture()) return false;
  const bool menuKey = AKey == VK_MENU || AKey == VK_F10;
  TdxBarManager* manager = dxBarFindManagerForKey(menuKey);
  if (!manager) return false;
  const TShiftState shift = AsyncShiftState();
  if (!keyUp) {
    // An auto-repeated Alt is not a new press.
    const bool altAlone = AKey == VK_MENU && !shift.Contains(ssCtrl) &&
                          (AKeyData & 0x40000000) == 0;
    if (seams.NavigationKeyDown)
      seams.NavigationKeyDown(manager, AKey, altAlone);
    if (AKey == VK_MENU && !shift.Contains(ssCtrl)) {
      gAltPending = true;
      return false;
    }
    gAltPending = false;
    if (manager->HandleShortCut(ShortCut(AKey, shift))) {
      gHandledKeyPending = true;
      gHandledKey = AKey;
      return true;
    }
    if (shift.Contains(ssAlt)) {
      TShiftState noAlt = shift;
      noAlt.Exclude(ssAlt);
      if (TdxBarItemLink* link = manager->GetItemLinkWithAccel(AKey, noAlt)) {
        if (link->Item() && link->Item()->GetEnabled()) {
          TdxBarItemLinks* links = link->Links();
          TdxBarItemLink* other = links->FindItemWithAccel(AKey, noAlt, link);
          TCustomdxBarControl* bar = links->BarControl();
          if (bar && other && other != link)
            bar->SelectItemByKey(link);
          else if (link->Control())
            link->Control()->Click(false);
          else
            link->Item()->Click();
        }
        gHandledKeyPending = true;
        gHandledKey = AKey;
        return true;
      }
    }
    return false;
  }
  const bool altUp = AKey == VK_MENU && (gAltPending || gAltReleasedInEdit);
  gAltReleasedInEdit = false;
  const bool f10Up = AKey == VK_F10 && !shift.Contains(ssShift) &&
                     !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) &&
                     manager->UseF10ForMenu;
  gAltPending = false;
  if (altUp || f10Up) {
    if (seams.SelectMainMenu) seams.SelectMainMenu(manager);
    return seams.SelectMainMenu != nullptr;
  }
  return false;
}
