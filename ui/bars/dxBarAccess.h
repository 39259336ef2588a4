// The keyboard access of the bar objects: the base of their accessibility
// helpers, which walk the helper tree geometrically (arrow keys) and in Tab
// order, and make the key tips of the reachable objects unique. The helpers
// of the concrete bar windows and item controls build on this base.
//
// Sources: dxBarAccess.cpp.
#pragma once

#include <vector>

#include "cxAccessibility.h"
#include "dxBar.h"

class TdxBarAccessibilityHelper;

// Makes every key tip unique, pass after pass until nothing changes: equal
// ones get their position among them as a suffix, zero-padded to the width
// of their count ("F" three times: "F1", "F2", "F3"); a unique one that
// begins another gets "1".
void dxBarGenerateUniqueKeyTips(std::vector<String>& AKeyTips);

// The direction test of a candidate's bounds against the reference.
bool dxBarIsInDirection(const TRect& ACandidate, const TRect& AReference,
                        TcxAccessibilityNavigationDirection ADirection);
// The index of the candidate nearest to the reference in the direction
// (edge distance, then the smaller angle between the direction and the
// line joining the centres); left and right wrap round the row. -1: none.
Integer dxBarChooseNextObject(const TRect& AReference,
                              const std::vector<TRect>& ACandidates,
                              TcxAccessibilityNavigationDirection ADirection);

class TdxBarAccessibilityHelper : public TcxAccessibilityHelper {
  VARNEL_CLASS(TdxBarAccessibilityHelper, TcxAccessibilityHelper)
 public:
  using TcxAccessibilityHelper::TcxAccessibilityHelper;
  void OwnerObjectDestroyed() override;

  // The helper's parent and children as bar helpers (null for others).
  TdxBarAccessibilityHelper* InternalGetChild(Integer AIndex);
  TdxBarAccessibilityHelper* InternalGetParent();
  TdxBarAccessibilityHelper* GetRootAccessibleObject();
  TdxBarAccessibilityHelper* GetFirstSelectableObject(bool AForward = true);
  void GetChilds(std::vector<TdxBarAccessibilityHelper*>& AList,
                 bool AVisibleOnly);
  void GetChildrenForNavigation(TdxBarAccessibilityHelper* ASource,
                                TdxBarAccessibilityHelper* AStart,
                                std::vector<TdxBarAccessibilityHelper*>& AList,
                                bool ARestrict,
                                TcxAccessibilityNavigationDirection ADirection,
                                const TRect& ABounds);

  virtual bool CanNavigateToChildren() { return true; }
  virtual TdxBarAccessibilityHelper* GetNextAccessibleObject(
      TcxAccessibilityNavigationDirection ADirection);
  virtual bool HandleNavigationKey(Word&) { return false; }
  virtual bool IsNavigationKey(Word) { return false; }
  virtual TdxBarAccessibilityHelper* LogicalNavigationGetNextAccessibleObject(
      bool AForward);
  TdxBarAccessibilityHelper* LogicalNavigationGetNextChild(Integer AIndex,
                                                           bool AForward);
  virtual void Select();
  virtual void Unselect();
  bool IsSelected() const;

  // Key tips: the one set on the object, else the derived one, at most
  // three characters.
  virtual String GetAssignedKeyTip() { return String(); }
  virtual String GetDefaultKeyTip() { return String(); }
  String GetKeyTip();
  // This helper's and its descendants' key tips, made unique.
  void GetKeyTips(std::vector<TdxBarAccessibilityHelper*>& AHelpers,
                  std::vector<String>& AKeyTips);
  virtual void KeyTipHandler() {}

 protected:
  void DoGetKeyTips(std::vector<TdxBarAccessibilityHelper*>& AHelpers);
};

// The selected object of keyboard navigation (null when none) and its
// parent; a helper that goes is forgotten.
TdxBarAccessibilityHelper* dxBarSelectedAccessibleObject();
TdxBarAccessibilityHelper* dxBarSelectedAccessibleParent();
