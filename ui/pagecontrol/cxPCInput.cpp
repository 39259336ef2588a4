// The input side of the tab control: navigator buttons and their states,
// arrow auto-repeat, hot tracking, mouse, keyboard, accelerators, wheel and
// the go dialog's trigger.
#include "WinApi.h"
//
#include <algorithm>

#include "Forms.h"
#include "Messages.h"
#include "ScopeGuard.h"
//
#include "cxGeometry.h"
#include "cxPC.h"
#include "cxPCPainters.h"

// --- Navigator buttons ---

TcxPCNavigatorButtons TcxCustomTabControl::GetNavigatorButtons(
    bool AllTabsFit) const {
  TcxPCNavigatorButtons result;
  if (options_.Contains(pcoCloseButton)) result.Include(nbClose);
  if (!AllTabsFit && !options_.Contains(pcoNoArrows)) {
    result.Include(nbTopLeft);
    result.Include(nbBottomRight);
  }
  if (options_.Contains(pcoGoDialog) &&
      (!AllTabsFit || options_.Contains(pcoAlwaysShowGoDialogButton)))
    result.Include(nbGoDialog);
  return result;
}

TcxPCNavigatorButton TcxCustomTabControl::ForwardArrow() const {
  bool reversed = IsRightToLeftAlignment() || IsBottomToTopAlignment();
  return reversed ? nbTopLeft : nbBottomRight;
}

bool TcxCustomTabControl::CanPressButton(TcxPCNavigatorButton AButton) const {
  TcxPCNavigatorButton forward = ForwardArrow();
  switch (AButton) {
    case nbGoDialog:
      return true;
    case nbClose:
      return MainTabVisibleIndex >= 0;
    default:
      if (AButton == forward)
        return !(LastVisibleTab >= visibleTabList_->Count() - 1 &&
                 (IsLastTabFullyVisible || LastVisibleTab == FirstVisibleTab));
      return FirstVisibleTab > 0;
  }
}

void TcxCustomTabControl::SetNavigatorButtonState(
    TcxPCNavigatorButton AButton, TcxPCNavigatorButtonState AState) {
  TcxPCNavigatorButtonState old = NavigatorButtonStates[AButton];
  if (old == AState) return;
  NavigatorButtonStates[AButton] = AState;
  if (painter_) painter_->RepaintButton(AButton, old);
}

void TcxCustomTabControl::UpdateButtonsState() {
  if (!painter_) return;
  bool changed = false;
  for (TcxPCNavigatorButton button : {nbTopLeft, nbBottomRight, nbClose}) {
    if (!NavigatorButtons.Contains(button)) continue;
    TcxPCNavigatorButtonState old = NavigatorButtonStates[button];
    TcxPCNavigatorButtonState state = old;
    if (!CanPressButton(button))
      state = nbsDisabled;
    else if (old == nbsDisabled)
      state = nbsNormal;
    if (state == old) continue;
    if (state == nbsDisabled) {
      HotTrackNavigatorButtons = {};
      PressedNavigatorButtons = {};
    }
    NavigatorButtonStates[button] = state;
    painter_->RepaintButton(button, old);
    changed = true;
  }
  if (changed) SynchronizeHotTrackStates(KeyboardStateToShiftState());
}

void TcxCustomTabControl::SynchronizeNavigatorButtons() {
  if (!HotTrackNavigatorButtons.Empty()) {
    TcxPCNavigatorButton b = GetNavigatorButton(HotTrackNavigatorButtons);
    if (!NavigatorButtons.Contains(b)) {
      NavigatorButtonStates[b] = nbsNormal;
      HotTrackNavigatorButtons = {};
    }
  }
  if (!PressedNavigatorButtons.Empty()) {
    TcxPCNavigatorButton b = GetNavigatorButton(PressedNavigatorButtons);
    if (!NavigatorButtons.Contains(b)) {
      NavigatorButtonStates[b] = nbsNormal;
      PressedNavigatorButtons = {};
    }
  }
}

void TcxCustomTabControl::ArrowButtonClick(TcxPCNavigatorButton AButton) {
  if (NavigatorButtonStates[AButton] == nbsDisabled) return;
  TcxPCNavigatorButton forward = ForwardArrow();
  FirstVisibleTab += AButton == forward ? 1 : -1;
  if (FirstVisibleTab < 0) FirstVisibleTab = 0;
  RequestLayout();
}

void TcxCustomTabControl::ScrollTabs(Integer Delta) {
  if (multiLine_) return;
  TcxPCNavigatorButton button = Delta >= 0 ? nbBottomRight : nbTopLeft;
  for (Integer i = 0; i < std::abs(Delta); ++i) ArrowButtonClick(button);
}

void TcxCustomTabControl::CloseButtonClick() {
  if (DoCanClose()) DoClose();
}

void TcxCustomTabControl::CreateTimer() {
  if (!timer_) {
    timer_ = new TcxTimer(this);
    timer_->SetEnabled(false);
    timer_->SetOnTimer(
        TNotifyEvent(this, &TcxCustomTabControl::TimerEventHandler));
  }
  timer_->SetInterval(static_cast<Cardinal>(TabScrollingStartDelay));
  timer_->SetEnabled(true);
}

void TcxCustomTabControl::TimerEventHandler(TObject*) {
  timer_->SetInterval(static_cast<Cardinal>(TabScrollingDelay));
  if (!PressedNavigatorButtons.Empty()) {
    ArrowButtonClick(GetNavigatorButton(PressedNavigatorButtons));
    if (PressedNavigatorButtons.Empty()) timer_->SetEnabled(false);
  } else {
    timer_->SetEnabled(false);
  }
}

// --- Go dialog ---

void TcxCustomTabControl::ShowGoDialog() {
  goDialogShowing_ = true;
  DoShowGoDialog();
}

void TcxCustomTabControl::HideGoDialog(Integer ATabIndex) {
  goDialogShowing_ = false;
  NavigatorButtonStates[nbGoDialog] = nbsNormal;
  PressedNavigatorButtons = {};
  if (painter_) painter_->RepaintButton(nbGoDialog, nbsPressed);
  if (ATabIndex != -1) SetTabIndex(ATabIndex);
  SynchronizeHotTrackStates(KeyboardStateToShiftState());
}

// --- Hot tracking ---

void TcxCustomTabControl::SynchronizeHotTrackStates(TShiftState Shift) {
  if (IsLoading() || GetIsDesigning() || IsDestroying() || !HandleAllocated() ||
      goDialogShowing_ || !painter_)
    return;
  TPoint p;
  ::GetCursorPos(reinterpret_cast<POINT*>(&p));
  p = ScreenToClient(p);
  bool active = (hotTrack_ || painter_->IsEnableHotTrack()) && Enabled();
  TcxPCNavigatorButtons hotButtons;
  Integer hotTab = -1;
  if (active) {
    TcxPCNavigatorButton button;
    if (!Shift.Contains(ssLeft) && !NavigatorButtons.Empty() &&
        painter_->IsOverButton(p.X, p.Y, button) &&
        NavigatorButtonStates[button] != nbsPressed &&
        NavigatorButtonStates[button] != nbsDisabled) {
      hotButtons.Include(button);
    } else if (!hideTabs_) {
      hotTab = IndexOfTabAt(p.X, p.Y);
      if (Shift.Contains(ssLeft) && painter_->IsTabPressable()) hotTab = -1;
      if (hotTab != -1 && !tabs_->GetVisibleTab(hotTab)->Enabled()) hotTab = -1;
    }
  }
  if (hotButtons != HotTrackNavigatorButtons) {
    TcxPCNavigatorButtons old = HotTrackNavigatorButtons;
    HotTrackNavigatorButtons = hotButtons;
    if (!old.Empty()) {
      TcxPCNavigatorButton b = GetNavigatorButton(old);
      if (NavigatorButtonStates[b] == nbsHotTrack) {
        NavigatorButtonStates[b] = nbsNormal;
        painter_->RepaintButton(b, nbsHotTrack);
      }
    }
    if (!hotButtons.Empty()) {
      TcxPCNavigatorButton b = GetNavigatorButton(hotButtons);
      NavigatorButtonStates[b] = nbsHotTrack;
      painter_->RepaintButton(b, nbsNormal);
    }
  }
  tabs_->SetHotTrack(hotTab);
}

Integer TcxCustomTabControl::IndexOfTabAt(Integer X, Integer Y) {
  if (!painter_ || RowCount == 0) return -1;
  Integer first, last;
  InitializeVisibleTabRange(first, last);
  for (Integer i = first; i <= last; ++i) {
    if (PtInRect(tabs_->GetVisibleTab(i)->VisibleRect(), TPoint(X, Y)) &&
        painter_->IsOverTab(i, X, Y))
      return i;
  }
  return -1;
}

// --- Mouse ---

void TcxCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift,
                                    Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  bool designing = GetIsDesigning();
  if (!designing && (hideTabs_ || Button != mbLeft)) return;
  if (!painter_) return;
  SynchronizeHotTrackStates(Shift);
  TcxPCNavigatorButton button;
  if (!NavigatorButtons.Empty() && painter_->IsOverButton(X, Y, button)) {
    TcxPCNavigatorButtonState state = NavigatorButtonStates[button];
    if (state == nbsPressed || state == nbsDisabled) return;
    NavigatorButtonStates[button] = nbsPressed;
    PressedNavigatorButtons = {button};
    HotTrackNavigatorButtons = {};
    painter_->RepaintButton(button, state);
    if (button == nbTopLeft || button == nbBottomRight) {
      ArrowButtonClick(button);
      if (PressedNavigatorButtons.Contains(button)) CreateTimer();
    }
    return;
  }
  Integer tab = IndexOfTabAt(X, Y);
  if (tab == -1) return;
  if (!designing && !tabs_->GetVisibleTab(tab)->RealEnabled()) return;
  if (painter_->IsTabPressable() && !designing) {
    Integer old = PressedTabVisibleIndex;
    PressedTabVisibleIndex = tab;
    if (old != -1 && old != tab) tabs_->Changed(old, tpcPressed);
    tabs_->Changed(tab, tpcPressed);
  } else {
    SelectTab(tab, Shift.Contains(ssCtrl));
  }
}

void TcxCustomTabControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (hideTabs_ || goDialogShowing_ || !painter_) return;
  if (!PressedNavigatorButtons.Empty()) {
    TcxPCNavigatorButton pressed = GetNavigatorButton(PressedNavigatorButtons);
    TcxPCNavigatorButton over;
    if (!painter_->IsOverButton(X, Y, over) || over != pressed) {
      if (timer_) timer_->SetEnabled(false);
      TcxPCNavigatorButtonState old = NavigatorButtonStates[pressed];
      NavigatorButtonStates[pressed] = nbsNormal;
      PressedNavigatorButtons = {};
      painter_->RepaintButton(pressed, old);
    }
  }
  if (PressedTabVisibleIndex != -1) {
    Integer tab = IndexOfTabAt(X, Y);
    if (tab != PressedTabVisibleIndex) {
      Integer old = PressedTabVisibleIndex;
      PressedTabVisibleIndex = -1;
      tabs_->Changed(old, tpcPressed);
    }
  }
  SynchronizeHotTrackStates(Shift);
}

void TcxCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (hideTabs_ || Button != mbLeft || goDialogShowing_ || !painter_) return;
  bool designing = GetIsDesigning();
  TcxPCNavigatorButton button;
  if (!NavigatorButtons.Empty() && painter_->IsOverButton(X, Y, button)) {
    if (timer_) timer_->SetEnabled(false);
    TcxPCNavigatorButtonState old = NavigatorButtonStates[button];
    if (old == nbsDisabled) return;
    bool wasPressed = PressedNavigatorButtons.Contains(button);
    if (!designing && button == nbGoDialog && wasPressed) {
      ShowGoDialog();
      return;
    }
    if (old == nbsPressed) PressedNavigatorButtons = {};
    NavigatorButtonStates[button] = nbsNormal;
    painter_->RepaintButton(button, old);
    SynchronizeHotTrackStates(Shift);
    if (!designing && button == nbClose && wasPressed) CloseButtonClick();
    return;
  }
  // The press ended somewhere else: the repeat stops.
  if (timer_) timer_->SetEnabled(false);
  Integer tab = IndexOfTabAt(X, Y);
  if (tab == -1) return;
  if (!designing && !tabs_->GetVisibleTab(tab)->RealEnabled()) return;
  if (painter_->IsTabPressable() && !designing &&
      tab == PressedTabVisibleIndex) {
    PressedTabVisibleIndex = -1;
    tabs_->Changed(tab, tpcPressed);
    SelectTab(tab, Shift.Contains(ssCtrl));
  }
  SynchronizeHotTrackStates(Shift);
}

void TcxCustomTabControl::MouseLeave(TControl* AControl) {
  TcxControl::MouseLeave(AControl);
  if (!goDialogShowing_) SynchronizeHotTrackStates(TShiftState());
}

// --- Keyboard ---

bool TcxCustomTabControl::InternalKeyDown(Word& Key, TShiftState Shift) {
  Integer count = visibleTabList_->Count();
  if (hideTabs_ || count == 0 || !painter_) return false;
  TShiftState alt{ssAlt};
  TShiftState altShift{ssAlt, ssShift};
  if (Shift == alt || Shift == altShift) return false;
  bool ctrl = Shift.Contains(ssCtrl);
  bool shift = Shift.Contains(ssShift);
  bool reversed = IsRightToLeftAlignment() || IsBottomToTopAlignment();
  Integer step = 0;
  bool wrap = false;
  bool toEnd = false, toStart = false;
  switch (Key) {
    case VK_TAB:
      if (!ctrl) return false;
      step = shift ? -1 : 1;
      wrap = true;
      break;
    case VK_LEFT:
    case VK_UP:
      step = -1;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      step = 1;
      break;
    case VK_HOME:
      toStart = true;
      break;
    case VK_END:
      toEnd = true;
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (TrackingTabVisibleIndex != -1) {
        SetTabIndex(tabs_->GetVisibleTab(TrackingTabVisibleIndex)->Index());
        return true;
      }
      return false;
    default:
      return false;
  }
  if (reversed) {
    step = -step;
    std::swap(toStart, toEnd);
  }
  Integer start;
  if (toStart) {
    start = 0;
    step = 1;
  } else if (toEnd) {
    start = count - 1;
    step = -1;
  } else {
    Integer from = TrackingTabVisibleIndex != -1 ? TrackingTabVisibleIndex
                                                 : MainTabVisibleIndex;
    if (from == -1)
      start = step > 0 ? 0 : count - 1;
    else
      start = from + step;
    if (start < 0 || start >= count) {
      if (!wrap) return true;
      start = start < 0 ? count - 1 : 0;
    }
  }
  Integer found = -1;
  Integer i = start;
  do {
    if (tabs_->GetVisibleTab(i)->RealEnabled()) {
      found = i;
      break;
    }
    i += step;
    if (i < 0 || i >= count) {
      if (!wrap) break;
      i = i < 0 ? count - 1 : 0;
    }
  } while (i != start);
  if (found == -1) return true;
  if (painter_->IsTabPressable() && Key != VK_TAB)
    tabs_->SetTracking(found);
  else if (found != MainTabVisibleIndex)
    SetTabIndex(tabs_->GetVisibleTab(found)->Index());
  return true;
}

void TcxCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  InternalKeyDown(Key, Shift);
}

void TcxCustomTabControl::CMDialogKey(TMessage& Message) {
  bool focusInside = false;
  if (HandleAllocated()) {
    HWND focus = ::GetFocus();
    focusInside = focus == Handle() || ::IsChild(Handle(), focus);
  }
  if (focusInside) {
    Word key = static_cast<Word>(Message.WParam);
    bool handled = InternalKeyDown(key, KeyboardStateToShiftState());
    Message.WParam = key;
    if (handled) {
      Message.Result = 1;
      return;
    }
  }
  TcxControl::Dispatch(Message);
}

void TcxCustomTabControl::CMDialogChar(TMessage& Message) {
  if (HandleDialogChar(static_cast<Integer>(Message.WParam))) {
    Message.Result = 1;
    return;
  }
  TcxControl::Dispatch(Message);
}

// --- Wheel ---

bool TcxCustomTabControl::CanMouseWheel(const TPoint& AMousePos) {
  if (multiLine_ || FirstVisibleTab < 0 ||
      FirstVisibleTab >= visibleTabList_->Count())
    return false;
  TPoint p = ScreenToClient(AMousePos);
  TRect r = tabs_->GetVisibleTab(FirstVisibleTab)->FullRect();
  if (tabPosition_ == tpTop || tabPosition_ == tpBottom)
    return p.Y >= r.Top && p.Y < r.Bottom;
  return p.X >= r.Left && p.X < r.Right;
}

bool TcxCustomTabControl::DoMouseWheelDown(TShiftState, TPoint MousePos) {
  if (!CanMouseWheel(MousePos)) return false;
  ScrollTabs(1);
  return true;
}

bool TcxCustomTabControl::DoMouseWheelUp(TShiftState, TPoint MousePos) {
  if (!CanMouseWheel(MousePos)) return false;
  ScrollTabs(-1);
  return true;
}

bool TcxCustomTabControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                                       TPoint MousePos) {
  bool handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos)
                                : DoMouseWheelUp(Shift, MousePos);
  return handled || TcxControl::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// --- Design time ---

bool TcxCustomTabControl::PassDesignMouseEvent(Integer X, Integer Y) {
  if (!painter_) return false;
  TcxPCNavigatorButton button;
  if (!NavigatorButtons.Empty() && painter_->IsOverButton(X, Y, button))
    return button == nbTopLeft || button == nbBottomRight;
  Integer tab = IndexOfTabAt(X, Y);
  return tab != -1 && tab != MainTabVisibleIndex;
}

// --- Messages ---

void TcxCustomTabControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      return;
    case WM_GETDLGCODE:
      TcxControl::Dispatch(Message);
      Message.Result |= DLGC_WANTARROWS;
      return;
    case WM_PRINTCLIENT:
      // Our window class has no painting of its own to print: paint into
      // the DC given, as a paint message with a DC does.
      if ((Message.LParam & PRF_CHECKVISIBLE) == 0 || Visible()) {
        TMessage paint = Message;
        paint.Msg = WM_PAINT;
        TcxControl::Dispatch(paint);
        Message.Result = 0;
      } else {
        TcxControl::Dispatch(Message);
      }
      return;
    case CM_DESIGNHITTEST:
      Message.Result =
          PassDesignMouseEvent(static_cast<short>(LOWORD(Message.LParam)),
                               static_cast<short>(HIWORD(Message.LParam)));
      return;
    case CM_ENABLEDCHANGED:
    case CM_PARENTCOLORCHANGED:
      TcxControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_MOUSELEAVE:
      TcxControl::Dispatch(Message);
      SynchronizeHotTrackStates(KeyboardStateToShiftState());
      return;
    default:
      TcxControl::Dispatch(Message);
      return;
  }
}
