#include "dxBarNavigation.h"

#include <windows.h>

#include "SysUtils.h"
#include "dxBar.h"
#include "dxBarAccessibility.h"

namespace {

TdxBarNavigationController* gController = nullptr;

// The design controller's "Add or Remove Buttons" bar, while it shows; the
// quick-customization popup is not built, so it never does.
TCustomdxBarControl* dxBarQuickCustomizationBar() { return nullptr; }

bool StartsWith(const String& S, const String& APrefix) {
  return S.compare(0, APrefix.size(), APrefix) == 0;
}

// The key as text: the one character it types with the current keyboard
// state, empty when it types none or several.
String KeyText(Word AKey) {
  BYTE state[256] = {};
  ::GetKeyboardState(state);
  WORD chars[2] = {};
  const int count =
      ::ToAscii(AKey, ::MapVirtualKeyA(AKey, MAPVK_VK_TO_VSC), state, chars, 0);
  if (count != 1) return String();
  return String(1, static_cast<char>(chars[0] & 0xFF));
}

}  // namespace

TdxBarNavigationController* BarNavigationController() { return gController; }

TdxBarNavigationController::~TdxBarNavigationController() {
  shownKeyTips_.clear();
  EndKeyTipsWaiting(false);
}

// ---------------------------------------------------------------------------
// Key tips
// ---------------------------------------------------------------------------

void TdxBarNavigationController::BeginKeyTipsWaiting(
    TdxBarAccessibilityHelper* ARoot) {
  if (!ARoot || (waitingRoot_ && waitingRoot_ != ARoot))
    throw Exception(String());
  if (GetKeyTipsHandlingMode() || waitingRoot_) return;
  waitingRoot_ = ARoot;
  waitingTimer_.reset(new TcxTimer(nullptr));
  waitingTimer_->SetInterval(500);
  waitingTimer_->SetOnTimer(TNotifyEvent(
      this, &TdxBarNavigationController::KeyTipsWaitingTimerHandler));
}

void TdxBarNavigationController::EndKeyTipsWaiting(bool AShow) {
  AltKeyPending = false;
  if (!waitingRoot_) return;
  waitingTimer_.reset();
  TdxBarAccessibilityHelper* root = waitingRoot_;
  waitingRoot_ = nullptr;
  if (AShow) SetKeyTipsShowingState(root, String());
}

void TdxBarNavigationController::KeyTipsWaitingTimerHandler(TObject*) {
  if (AltKeyPending) {
    EndKeyTipsWaiting(true);
    return;
  }
  // Alt went up without a word: the wait lasts until the next key.
  waitingTimer_.reset();
}

void TdxBarNavigationController::HideShownKeyTips() {
  IdxBarKeyTipWindowsManager* windows = nullptr;
  if (keyTipsOwner_) keyTipsOwner_->AreKeyTipsSupported(windows);
  for (auto& data : shownKeyTips_) data->HideKeyTipWindow(windows);
  shownKeyTips_.clear();
}

void TdxBarNavigationController::SetKeyTipsShowingState(
    TdxBarAccessibilityHelper* AOwner, const String& AText) {
  if (AOwner != keyTipsOwner_) {
    HideShownKeyTips();
    keyTipsOwner_ = AOwner;
    typedText_.clear();
    if (!AOwner) return;
    typedText_ = UpperCase(AText);
    AOwner->GetKeyTipsData(shownKeyTips_);
  } else {
    if (SameText(AText, typedText_)) return;
    typedText_ = UpperCase(AText);
  }
  RefreshKeyTipWindows();
}

void TdxBarNavigationController::RefreshKeyTipWindows() {
  IdxBarKeyTipWindowsManager* windows = nullptr;
  if (!keyTipsOwner_ || !keyTipsOwner_->AreKeyTipsSupported(windows) ||
      !windows)
    return;
  for (auto& data : shownKeyTips_) {
    if (!data->Info.IsVisible) continue;
    if (!typedText_.empty() &&
        !StartsWith(data->GetNormalizedKeyTip(), typedText_))
      data->HideKeyTipWindow(windows);
    else
      data->ShowKeyTipWindow(windows);
  }
  windows->ShowWindows();
}

void TdxBarNavigationController::StopKeyTipsHandlingMode() {
  EndKeyTipsWaiting(false);
  SetKeyTipsShowingState(nullptr, String());
}

bool TdxBarNavigationController::KeyTipsKeyTest(Word AKey, bool& APrefixFound,
                                                TdxBarKeyTipData*& AExact) {
  if (GetKeyTipsHandlingMode() && AKey == VK_ESCAPE) return true;
  const UINT mapped = ::MapVirtualKeyA(AKey, MAPVK_VK_TO_CHAR);
  const char c = static_cast<char>(mapped & 0xFF);
  if ((mapped & 0xFFFF0000) != 0 || mapped == 0 || c == ' ' || !IsTextChar(c))
    return false;
  APrefixFound = false;
  AExact = nullptr;
  TdxBarKeyTipDataList waiting;
  const TdxBarKeyTipDataList* list = &shownKeyTips_;
  String text = typedText_;
  if (!GetKeyTipsHandlingMode()) {
    if (waitingRoot_) waitingRoot_->GetKeyTipsData(waiting);
    list = &waiting;
    text.clear();
  }
  text += UpperCase(KeyText(AKey));
  for (auto& data : *list) {
    const String tip = data->GetNormalizedKeyTip();
    if (!StartsWith(tip, text)) continue;
    APrefixFound = true;
    // The waiting list is gone after the test: only the owner's list
    // yields an entry to act on.
    if (tip == text && list == &shownKeyTips_) AExact = data.get();
    break;
  }
  return true;
}

bool TdxBarNavigationController::IsKeyTipsKey(Word AKey) {
  bool prefix = false;
  TdxBarKeyTipData* exact = nullptr;
  return KeyTipsKeyTest(AKey, prefix, exact);
}

void TdxBarNavigationController::HandleKeyTipKey(Word AKey) {
  bool prefix = false;
  TdxBarKeyTipData* exact = nullptr;
  KeyTipsKeyTest(AKey, prefix, exact);
  if (exact) {
    waitingRoot_ = nullptr;
    if (exact->Info.IsEnabled && exact->Info.Handler)
      exact->Info.Handler(nullptr);
    return;
  }
  TdxBarAccessibilityHelper* owner = keyTipsOwner_;
  if (!owner) {
    owner = waitingRoot_;
    waitingRoot_ = nullptr;
    waitingTimer_.reset();
  }
  SetKeyTipsShowingState(owner,
                         typedText_ + String(1, static_cast<char>(AKey)));
}

void TdxBarNavigationController::KeyTipsEscapeHandler() {
  if (keyTipsOwner_) keyTipsOwner_->KeyTipsEscapeHandler();
}

// ---------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------

void TdxBarNavigationController::StopKeyboardHandling() {
  AltKeyPending = false;
  UnselectAssignedSelectedObject();
  if (TdxBarAccessibilityHelper* selected = GetSelectedObject())
    selected->Unselect(nullptr);
  StopKeyTipsHandlingMode();
}

void TdxBarNavigationController::SelectDefaultObject(
    TdxBarAccessibilityHelper* ARoot) {
  TdxBarAccessibilityHelper* object =
      ARoot ? ARoot->GetDefaultAccessibleObject() : nullptr;
  if (!object) return;
  navigationMode_ = true;
  object->Select(false);
}

bool TdxBarNavigationController::IsNavigationBarControl(
    TCustomdxBarControl* ABarControl) {
  return navigationMode_ && ABarControl && ABarControl == GetActiveBarControl();
}

TCustomdxBarControl* TdxBarNavigationController::GetActiveBarControl() {
  if (!ActiveBarControl) return dxBarQuickCustomizationBar();
  if (!TCustomdxBarControl::IsLive(ActiveBarControl)) return nullptr;
  TdxBarManager* manager = ActiveBarControl->BarManager();
  if (manager && manager->IsCustomizing()) return nullptr;
  return ActiveBarControl;
}

TdxBarAccessibilityHelper* TdxBarNavigationController::GetSelectedObject() {
  if (TCustomdxBarControl* bar = GetActiveBarControl())
    if (TdxBarItemControl* selected = bar->SelectedControl())
      return dxBarGetAccessibilityHelper(selected);
  return dxBarSelectedAccessibleObject();
}

TdxBarAccessibilityHelper*
TdxBarNavigationController::GetSelectedObjectParent() {
  if (TCustomdxBarControl* bar = GetActiveBarControl())
    return dxBarGetAccessibilityHelper(bar);
  return dxBarSelectedAccessibleParent();
}

void TdxBarNavigationController::UnselectAssignedSelectedObject() {
  if (TdxBarAccessibilityHelper* assigned = dxBarSelectedAccessibleObject())
    assigned->Unselect(nullptr);
}

void TdxBarNavigationController::UnassignObject(
    TdxBarAccessibilityHelper* AHelper) {
  // The assigned object and its parent are forgotten by the helper itself
  // (dxBarAccess.cpp); key tips shown for it go here.
  if (keyTipsOwner_ == AHelper) {
    shownKeyTips_.clear();
    keyTipsOwner_ = nullptr;
    typedText_.clear();
  }
  if (waitingRoot_ == AHelper) {
    waitingRoot_ = nullptr;
    waitingTimer_.reset();
  }
}

void TdxBarNavigationController::ChangeSelectedObject(
    bool AByTab, TdxBarAccessibilityHelper* ANew,
    TdxBarAccessibilityHelper* AOld) {
  if (!ANew) return;
  if (!AOld) AOld = GetSelectedObject();
  if (ANew == AOld) return;
  if (AOld) AOld->Unselect(ANew);
  ANew->Select(AByTab);
}

bool TdxBarNavigationController::IsNavigationKey(Word AKey) {
  return (AKey >= VK_LEFT && AKey <= VK_DOWN) ||
         (AKey == VK_TAB && ::GetAsyncKeyState(VK_CONTROL) >= 0);
}

bool TdxBarNavigationController::IsNavigationControllerKey(Word AKey) {
  bool result = IsNavigationKey(AKey);
  if (!result) {
    if (ActiveBarControl || dxBarQuickCustomizationBar()) {
      result = false;
    } else if (AKey == VK_MENU) {
      result = true;
    } else if (AKey == VK_F10) {
      TdxBarAccessibilityHelper* parent = GetSelectedObjectParent();
      TdxBarManager* manager = nullptr;
      if (parent) {
        try {
          manager = parent->GetBarManager();
        } catch (const Exception&) {
          manager = nullptr;
        }
      }
      result = manager && manager->UseF10ForMenu;
    }
  }
  if (!result) {
    TdxBarAccessibilityHelper* object = GetSelectedObject();
    if (!object) object = GetSelectedObjectParent();
    if (object) result = object->IsNavigationKey(AKey);
  }
  return result;
}

bool TdxBarNavigationController::NeedsKey(Word AKey) {
  if (IsNavigationControllerKey(AKey)) {
    TdxBarAccessibilityHelper* parent = GetSelectedObjectParent();
    if (parent && parent->CanNavigateToChildren(AKey)) return true;
  }
  if (IsKeyTipsWaiting() || GetKeyTipsHandlingMode()) return IsKeyTipsKey(AKey);
  return false;
}

void TdxBarNavigationController::HandleKey(
    Word AKey, TdxBarAccessibilityHelper* AParent,
    TdxBarAccessibilityHelper* ASelected) {
  bool prefix = false;
  TdxBarKeyTipData* exact = nullptr;
  if (IsKeyTipsWaiting()) {
    AltKeyPending = false;
    if (KeyTipsKeyTest(AKey, prefix, exact)) {
      if (prefix) {
        HandleKeyTipKey(AKey);
        EndKeyTipsWaiting(false);
      }
      return;
    }
  } else if (GetKeyTipsHandlingMode() && AKey != VK_ESCAPE) {
    if (KeyTipsKeyTest(AKey, prefix, exact)) {
      if (prefix) HandleKeyTipKey(AKey);
      return;
    }
    StopKeyTipsHandlingMode();
  }
  TdxBarAccessibilityHelper* parent =
      AParent ? AParent : GetSelectedObjectParent();
  TdxBarAccessibilityHelper* selected =
      ASelected ? ASelected : GetSelectedObject();
  TdxBarAccessibilityHelper* object = selected ? selected : parent;
  if (AKey == VK_ESCAPE && GetKeyTipsHandlingMode()) {
    KeyTipsEscapeHandler();
    return;
  }
  if (!object) return;
  if (AKey == VK_MENU || AKey == VK_ESCAPE || AKey == VK_F10) {
    Word key = AKey;
    if (AKey == VK_ESCAPE && object->HandleNavigationKey(key)) return;
    object->Unselect(nullptr);
    return;
  }
  Word key = AKey;
  if (object->HandleNavigationKey(key)) return;
  TdxBarAccessibilityHelper* target = nullptr;
  if (!selected) {
    target = parent ? parent->GetFirstSelectableObject() : nullptr;
  } else if (AKey == VK_TAB) {
    target = selected->LogicalNavigationGetNextAccessibleObject(
        ::GetAsyncKeyState(VK_SHIFT) >= 0);
  } else {
    TcxAccessibilityNavigationDirection direction = andLeft;
    if (AKey == VK_UP) direction = andUp;
    if (AKey == VK_RIGHT) direction = andRight;
    if (AKey == VK_DOWN) direction = andDown;
    target = selected->GetNextAccessibleObject(direction);
  }
  ChangeSelectedObject(AKey == VK_TAB, target, selected);
}

// ---------------------------------------------------------------------------
// The keyboard hook's seams
// ---------------------------------------------------------------------------

namespace {

bool NavigationNeedsKey(Word AKey) {
  return gController && gController->NeedsKey(AKey);
}

void NavigationHandleKey(Word AKey) {
  if (gController) gController->HandleKey(AKey);
}

TdxBarAccessibilityHelper* RootOf(TdxBarManager* AManager) {
  return AManager ? dxBarGetAccessibilityHelper(AManager->MainMenuControl())
                  : nullptr;
}

bool KeyTipsSupported(TdxBarAccessibilityHelper* ARoot) {
  IdxBarKeyTipWindowsManager* windows = nullptr;
  return ARoot && ARoot->AreKeyTipsSupported(windows);
}

void NavigationKeyDown(TdxBarManager* AManager, Word, bool AAltAlone) {
  if (!gController) return;
  if (!AAltAlone) {
    gController->EndKeyTipsWaiting(false);
    return;
  }
  gController->AltKeyPending = true;
  TdxBarAccessibilityHelper* root = RootOf(AManager);
  if (KeyTipsSupported(root) && !gController->IsKeyTipsWaiting())
    gController->BeginKeyTipsWaiting(root);
}

void SelectMainMenu(TdxBarManager* AManager) {
  if (!gController) return;
  gController->AltKeyPending = false;
  TdxBarAccessibilityHelper* root = RootOf(AManager);
  if (!root) return;
  gController->SelectDefaultObject(root);
  if (KeyTipsSupported(root)) gController->EndKeyTipsWaiting(true);
}

void NavigationStartup() {
  gController = new TdxBarNavigationController;
  TdxBarManagerSeams& seams = dxBarManagerSeams();
  seams.NavigationNeedsKey = &NavigationNeedsKey;
  seams.NavigationHandleKey = &NavigationHandleKey;
  seams.NavigationKeyDown = &NavigationKeyDown;
  seams.SelectMainMenu = &SelectMainMenu;
}

void NavigationShutdown() {
  TdxBarManagerSeams& seams = dxBarManagerSeams();
  seams.NavigationNeedsKey = nullptr;
  seams.NavigationHandleKey = nullptr;
  seams.NavigationKeyDown = nullptr;
  seams.SelectMainMenu = nullptr;
  TObjectPtr<TdxBarNavigationController> controller(gController);
  gController = nullptr;
}

}  // namespace

VARNEL_UNIT(dxBarNavigation, ({"dxBar", "dxBarControls", "dxBarAccessibility"}),
            &NavigationStartup, &NavigationShutdown);

bool dxBarKeyboardHandlingActive() {
  TdxBarNavigationController* controller = BarNavigationController();
  return controller &&
         (controller->NavigationMode() ||
          controller->GetKeyTipsHandlingMode() ||
          controller->IsKeyTipsWaiting() || controller->AltKeyPending ||
          dxBarSelectedAccessibleObject() != nullptr);
}

void dxBarStopKeyboardHandling() {
  if (!dxBarKeyboardHandlingActive()) return;
  TdxBarNavigationController* controller = BarNavigationController();
  // The bar the keyboard put into menu mode leaves it as well.
  TCustomdxBarControl* walked =
      ActiveBarControl && controller->IsNavigationBarControl(ActiveBarControl)
          ? ActiveBarControl
          : nullptr;
  controller->StopKeyboardHandling();
  controller->ResetNavigationMode();
  if (walked && TCustomdxBarControl::IsLive(walked)) walked->HideAll();
}
