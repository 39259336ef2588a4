// Keyboard navigation of the bars: the one controller that keeps the
// selection that arrows and Tab move between the objects of bars, menus
// and docks, the Alt/F10 entry into the main menu, and the key tips (short
// texts typed to reach an object). It knows no bar itself: it works
// through the objects' accessibility helpers (dxBarAccess.h).
//
// Sources: dxBarNavigation.cpp.
#pragma once

#include "cxControls.h"
#include "dxBarAccess.h"

class TdxBarNavigationController : public TObject {
  VARNEL_CLASS(TdxBarNavigationController, TObject)
 public:
  TdxBarNavigationController() = default;
  ~TdxBarNavigationController() override;

  // --- Key tips ---
  // Starts the 500 ms wait after which the root's key tips show; the root
  // must be given, and be the one already waited for.
  void BeginKeyTipsWaiting(TdxBarAccessibilityHelper* ARoot);
  void EndKeyTipsWaiting(bool AShow);
  // Shows the owner's key tips narrowed to those that begin with the text
  // (none: key-tip mode ends).
  void SetKeyTipsShowingState(TdxBarAccessibilityHelper* AOwner,
                              const String& AText);
  void StopKeyTipsHandlingMode();
  bool GetKeyTipsHandlingMode() const { return keyTipsOwner_ != nullptr; }
  bool IsKeyTipsWaiting() const { return waitingRoot_ != nullptr; }
  TdxBarAccessibilityHelper* KeyTipsOwner() const { return keyTipsOwner_; }
  const TdxBarKeyTipDataList& ShownKeyTips() const { return shownKeyTips_; }
  const String& TypedText() const { return typedText_; }
  // The key can be typed as part of a key tip (Escape in key-tip mode).
  bool IsKeyTipsKey(Word AKey);
  void HandleKeyTipKey(Word AKey);
  void KeyTipsEscapeHandler();

  // --- Navigation ---
  // Ends every keyboard state: the selection, waiting and key tips.
  void StopKeyboardHandling();
  void SelectDefaultObject(TdxBarAccessibilityHelper* ARoot);
  bool NavigationMode() const { return navigationMode_; }
  void ResetNavigationMode() { navigationMode_ = false; }
  bool IsNavigationBarControl(TCustomdxBarControl* ABarControl);
  TCustomdxBarControl* GetActiveBarControl();
  TdxBarAccessibilityHelper* GetSelectedObject();
  TdxBarAccessibilityHelper* GetSelectedObjectParent();
  void UnselectAssignedSelectedObject();
  // A helper whose object goes is forgotten.
  void UnassignObject(TdxBarAccessibilityHelper* AHelper);
  void ChangeSelectedObject(bool AByTab, TdxBarAccessibilityHelper* ANew,
                            TdxBarAccessibilityHelper* AOld = nullptr);
  static bool IsNavigationKey(Word AKey);
  bool IsNavigationControllerKey(Word AKey);
  // The keyboard hook hands the key here, and swallows it, when true.
  bool NeedsKey(Word AKey);
  void HandleKey(Word AKey, TdxBarAccessibilityHelper* AParent = nullptr,
                 TdxBarAccessibilityHelper* ASelected = nullptr);

  // Set while Alt is down alone.
  bool AltKeyPending = false;

 private:
  // The key test: the key as the next typed character of a key tip.
  bool KeyTipsKeyTest(Word AKey, bool& APrefixFound, TdxBarKeyTipData*& AExact);
  void RefreshKeyTipWindows();
  void HideShownKeyTips();
  void KeyTipsWaitingTimerHandler(TObject* ASender);

  TdxBarAccessibilityHelper* keyTipsOwner_ = nullptr;
  TdxBarKeyTipDataList shownKeyTips_;
  String typedText_;
  TdxBarAccessibilityHelper* waitingRoot_ = nullptr;
  TObjectPtr<TcxTimer> waitingTimer_;
  bool navigationMode_ = false;
};

// The process's controller: none before the unit's start-up and after its
// exit.
TdxBarNavigationController* BarNavigationController();

// Keyboard navigation or key tips are going on.
bool dxBarKeyboardHandlingActive();
// Ends them (a bar shown or hidden, a click away from the navigated bars).
void dxBarStopKeyboardHandling();
