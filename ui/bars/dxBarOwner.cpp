#include "dxBarOwner.h"

#include <map>

#include "ScopeGuard.h"
#include "WinApi.h"
#include "dxBarNavigation.h"
#include "dxBarSubMenu.h"

namespace {

struct TOwnerState {
  bool FloatingShown = true;
  bool ShowingToolbars = false;
  bool HiddenByAppDeactivation = false;
  bool ModalActivation = false;
};
std::map<const TdxBarManager*, TOwnerState> gStates;
TdxBarManagerProc gPreviousUnregister = nullptr;

TOwnerState& StateOf(const TdxBarManager* AManager) {
  return gStates[AManager];
}

void ManagerGone(TdxBarManager* AManager) {
  gStates.erase(AManager);
  if (gPreviousUnregister) gPreviousUnregister(AManager);
}

// The floating toolbars of the manager that have a window.
template <class F>
void ForFloatingBars(TdxBarManager* AManager, F&& AFunc) {
  TdxBars* bars = AManager->Bars();
  for (Integer i = 0; bars && i < bars->Count(); ++i) {
    TdxBar* bar = bars->Items(i);
    if (bar->DockingStyle() == dsNone) AFunc(bar);
  }
}

HWND OwnerHandle(TdxBarManager* AManager) {
  TWinControl* owner = AManager->ParentedOwner();
  return owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
}

bool IsOwnerVisible(TdxBarManager* AManager) {
  HWND w = OwnerHandle(AManager);
  if (!w || !::IsWindowVisible(w)) return false;
  for (; w; w = ::GetParent(w))
    if (::IsIconic(w)) return false;
  return true;
}

void ShowToolbars(TdxBarManager* AManager, bool AShow, bool AForce) {
  TOwnerState& state = StateOf(AManager);
  if (state.ShowingToolbars) return;
  TRestoreOnExit<bool> guard(state.ShowingToolbars, true);
  dxBarStopKeyboardHandling();
  if (!AShow) {
    if (ActiveBarControl && ActiveBarControl->BarManager() == AManager)
      ActiveBarControl->HideAll();
    if (!AManager->HideFloatingBarsWhenInactive && !AForce) return;
    ForFloatingBars(AManager, [](TdxBar* ABar) {
      TCustomdxBarControl* control = ABar->Control();
      if (control && control->HandleAllocated())
        ::ShowWindow(control->Handle(), SW_HIDE);
    });
    return;
  }
  if (!IsOwnerVisible(AManager)) return;
  ForFloatingBars(AManager, [](TdxBar* ABar) {
    TCustomdxBarControl* control = ABar->Control();
    if (ABar->Visible() && control && control->HandleAllocated())
      ::ShowWindow(control->Handle(), SW_SHOWNOACTIVATE);
  });
}

// The window being activated or deactivated belongs to the manager's own
// toolbars or menus.
bool IsOwnBarWindow(TdxBarManager* AManager, HWND AWnd) {
  for (Integer i = 0; AWnd && i < dxBarControlList()->Count(); ++i) {
    auto* control =
        static_cast<TCustomdxBarControl*>(dxBarControlList()->Items(i));
    if (control->BarManager() == AManager && control->HandleAllocated() &&
        control->Handle() == AWnd)
      return true;
  }
  return false;
}

void DoActivate(TdxBarManager* AManager, bool AActive, HWND AOther) {
  // A floating toolbar taking the activation keeps its siblings shown.
  if (!AActive && IsOwnBarWindow(AManager, AOther)) return;
  HWND owner = OwnerHandle(AManager);
  const bool show = AActive || (AOther && AOther == owner);
  dxBarActivateFloatToolbars(AManager, show, false);
}

void DoActivateApp(TdxBarManager* AManager, bool AActive) {
  TOwnerState& state = StateOf(AManager);
  if (state.ModalActivation) return;
  if (!AActive) {
    if (state.FloatingShown) state.HiddenByAppDeactivation = true;
    dxBarActivateFloatToolbars(AManager, false, false);
    return;
  }
  if (!state.HiddenByAppDeactivation) return;
  state.HiddenByAppDeactivation = false;
  dxBarActivateFloatToolbars(AManager, true, false);
}

void DoModalActivate(TdxBarManager* AManager) {
  TOwnerState& state = StateOf(AManager);
  TRestoreOnExit<bool> guard(state.ModalActivation, true);
  if (ActiveBarControl && ActiveBarControl->BarManager() == AManager)
    ActiveBarControl->HideAll();
}

void SysCommand(TdxBarManager* AManager, WPARAM ACommand) {
  const WPARAM command = ACommand & 0xFFF0;
  if (command != SC_MINIMIZE && command != SC_MAXIMIZE &&
      command != SC_RESTORE && command != SC_CLOSE)
    return;
  const bool hide = command == SC_MINIMIZE || command == SC_CLOSE;
  ForFloatingBars(AManager, [hide](TdxBar* ABar) {
    TCustomdxBarControl* control = ABar->Control();
    if (!ABar->Visible() || !control || !control->HandleAllocated()) return;
    ::ShowWindow(control->Handle(), hide ? SW_HIDE : SW_SHOWNOACTIVATE);
    if (!hide) ::UpdateWindow(control->Handle());
  });
}

}  // namespace

TRect dxBarKeepOnWorkArea(TRect ABar, const TRect& AWorkArea) {
  auto shift = [&ABar](Integer DX, Integer DY) {
    ABar = {ABar.Left + DX, ABar.Top + DY, ABar.Right + DX, ABar.Bottom + DY};
  };
  if (ABar.Bottom > AWorkArea.Bottom) shift(0, AWorkArea.Bottom - ABar.Bottom);
  if (ABar.Top < AWorkArea.Top) shift(0, AWorkArea.Top - ABar.Top);
  if (ABar.Right > AWorkArea.Right) shift(AWorkArea.Right - ABar.Right, 0);
  if (ABar.Left < AWorkArea.Left) shift(AWorkArea.Left - ABar.Left, 0);
  return ABar;
}

void dxBarActivateFloatToolbars(TdxBarManager* AManager, bool AShow,
                                bool AForce) {
  TOwnerState& state = StateOf(AManager);
  if (AShow == state.FloatingShown) return;
  state.FloatingShown = AShow;
  ShowToolbars(AManager, AShow, AForce);
}

void dxBarCheckToolbarsVisibility(TdxBarManager* AManager) {
  TWinControl* owner = AManager->ParentedOwner();
  if (!owner) return;
  const TRect bounds = owner->BoundsRect();
  const TRect area = dxBarGetWorkArea(
      {bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2});
  ForFloatingBars(AManager, [&](TdxBar* ABar) {
    TCustomdxBarControl* control = ABar->Control();
    if (control && control->HandleAllocated()) {
      const TRect r = dxBarKeepOnWorkArea(control->BoundsRect(), area);
      if (r == control->BoundsRect()) return;
      control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
      return;
    }
    const TRect r = dxBarKeepOnWorkArea(
        Bounds(ABar->FloatLeft(), ABar->FloatTop(), ABar->FloatClientWidth(),
               ABar->FloatClientHeight()),
        area);
    ABar->SetFloatLeft(r.Left);
    ABar->SetFloatTop(r.Top);
  });
}

// The messages the switch of dxBarOwnerWndProc handles.
bool dxBarOwnerWantsMessage(UINT AMsg) {
  switch (AMsg) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_CHILDACTIVATE:
    case WM_SYSCOMMAND:
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_CANCELMODE:
      return true;
    default:
      return false;
  }
}

void dxBarOwnerWndProc(TdxBarManager* AManager, TMessage& AMessage) {
  if (!AManager || AManager->ComponentState().Contains(csDestroying) ||
      AManager->IsDesigning() || !AManager->Bars())
    return;
  switch (AMessage.Msg) {
    case WM_ACTIVATE:
      DoActivate(AManager, LOWORD(AMessage.WParam) != WA_INACTIVE,
                 reinterpret_cast<HWND>(AMessage.LParam));
      break;
    case WM_ACTIVATEAPP:
      DoActivateApp(AManager, AMessage.WParam != 0);
      break;
    case WM_WINDOWPOSCHANGING: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(AMessage.LParam);
      // Hiding the owner hides its toolbars, whatever the option says.
      if (pos && (pos->flags & SWP_HIDEWINDOW))
        dxBarActivateFloatToolbars(AManager, false, true);
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(AMessage.LParam);
      if (pos && (pos->flags & SWP_SHOWWINDOW))
        dxBarActivateFloatToolbars(AManager, true, false);
      break;
    }
    case WM_CHILDACTIVATE:
      dxBarActivateFloatToolbars(AManager, true, false);
      break;
    case WM_SYSCOMMAND:
      SysCommand(AManager, AMessage.WParam);
      break;
    case WM_SETTINGCHANGE:
      if (AMessage.WParam == SPI_SETWORKAREA)
        dxBarCheckToolbarsVisibility(AManager);
      break;
    case WM_DISPLAYCHANGE:
      dxBarCheckToolbarsVisibility(AManager);
      break;
    case WM_CANCELMODE:
      DoModalActivate(AManager);
      break;
    default:
      break;
  }
}

namespace {

void OwnerStartup() {
  dxBarManagerSeams().OwnerWndProc = &dxBarOwnerWndProc;
  dxBarManagerSeams().OwnerWantsMessage = &dxBarOwnerWantsMessage;
  gPreviousUnregister = FOnUnregisterBarManager;
  FOnUnregisterBarManager = &ManagerGone;
}

void OwnerShutdown() {
  if (dxBarManagerSeams().OwnerWndProc == &dxBarOwnerWndProc) {
    dxBarManagerSeams().OwnerWndProc = nullptr;
    dxBarManagerSeams().OwnerWantsMessage = nullptr;
  }
  FOnUnregisterBarManager = gPreviousUnregister;
  gStates.clear();
}

}  // namespace

VARNEL_UNIT(dxBarOwner, ({"dxBar", "dxBarControls", "dxBarHints"}),
            &OwnerStartup, &OwnerShutdown);
