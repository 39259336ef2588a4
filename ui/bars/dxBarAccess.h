// The keyboard access of the bar objects: the base of their accessibility
// helpers, which walk the helper tree geometrically (arrow keys) and in Tab
// order, and make the key tips of the reachable objects unique. The helpers
// of the concrete bar windows and item controls build on this base.
//
// Sources: dxBarAccess.cpp.
#pragma once

#include <memory>
#include <vector>

#include "cxAccessibility.h"
#include "cxGraphics.h"
#include "dxBar.h"

class TdxBarAccessibilityHelper;

// One key tip as its object describes it: the text (at most three
// characters), where it is anchored on the screen and how it lies there,
// whether it shows and acts, and what acting does.
struct TdxBarKeyTipInfo {
  String Text;
  TPoint AnchorPoint;
  TAlignment HorizontalAlignment = taLeftJustify;
  TcxAlignmentVert VerticalAlignment = vaTop;
  bool IsVisible = false;
  bool IsEnabled = false;
  TNotifyEvent Handler;
};

// The windows that show key tips, supplied by a container that offers key
// tips. A window it adds stays its own; the data only remembers it.
class IdxBarKeyTipWindowsManager {
 public:
  virtual ~IdxBarKeyTipWindowsManager() = default;
  virtual TObject* AddWindow(const String& AText, const TPoint& AAnchor,
                             bool AEnabled, TcxAlignmentVert AVertical,
                             TAlignment AHorizontal) = 0;
  virtual void RemoveWindow(TObject* AWindow) = 0;
  virtual void ShowWindows() = 0;
};

class TdxBarKeyTipData : public TObject {
  VARNEL_CLASS(TdxBarKeyTipData, TObject)
 public:
  explicit TdxBarKeyTipData(const TdxBarKeyTipInfo& AInfo) : Info(AInfo) {}
  String GetNormalizedKeyTip() const;
  void ShowKeyTipWindow(IdxBarKeyTipWindowsManager* AManager);
  void HideKeyTipWindow(IdxBarKeyTipWindowsManager* AManager);
  bool WindowShown() const { return window_ != nullptr; }
  TdxBarKeyTipInfo Info;

 private:
  TObject* window_ = nullptr;
};
using TdxBarKeyTipDataList = std::vector<std::unique_ptr<TdxBarKeyTipData>>;

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

  virtual bool CanNavigateToChildren(Word) { return true; }
  // The manager the object belongs to and the object a default selection
  // picks; objects that are never roots do not answer (an exception).
  virtual TdxBarManager* GetBarManager();
  virtual TdxBarAccessibilityHelper* GetDefaultAccessibleObject();
  virtual TdxBarAccessibilityHelper* GetNextAccessibleObject(
      TcxAccessibilityNavigationDirection ADirection);
  virtual bool HandleNavigationKey(Word&) { return false; }
  virtual bool IsNavigationKey(Word) { return false; }
  virtual TdxBarAccessibilityHelper* LogicalNavigationGetNextAccessibleObject(
      bool AForward);
  TdxBarAccessibilityHelper* LogicalNavigationGetNextChild(Integer AIndex,
                                                           bool AForward);
  // The object becomes (stops being) the selected object of keyboard
  // navigation; ANext is the one that takes over, if any.
  virtual void Select(bool AByTab = false);
  virtual void Unselect(TdxBarAccessibilityHelper* ANext = nullptr);
  bool IsSelected() const;

  // Key tips: the one set on the object, else the derived one, at most
  // three characters.
  virtual String GetAssignedKeyTip() { return String(); }
  virtual String GetDefaultKeyTip() { return String(); }
  String GetKeyTip();
  // This helper's and its descendants' key tips, made unique.
  void GetKeyTips(std::vector<TdxBarAccessibilityHelper*>& AHelpers,
                  std::vector<String>& AKeyTips);
  virtual void KeyTipHandler(TObject*) {}
  // Key tips are offered only below a container that has a window manager
  // for them; the base asks its key-tip parent and answers false at the
  // top.
  virtual bool AreKeyTipsSupported(IdxBarKeyTipWindowsManager*& AManager);
  virtual TdxBarAccessibilityHelper* GetParentForKeyTip() {
    return InternalGetParent();
  }
  virtual bool IsKeyTipContainer() { return GetSelectable(); }
  virtual void GetKeyTipInfo(TdxBarKeyTipInfo& AInfo);
  // The key tips of every selectable object below, made unique.
  void GetKeyTipsData(TdxBarKeyTipDataList& AList);
  // Escape in key-tip mode: back to the container above, or out.
  virtual void KeyTipsEscapeHandler();
  // The nearest key-tip container above, none when the chain ends.
  TdxBarAccessibilityHelper* GetKeyTipContainerParent();

 protected:
  void DoGetKeyTips(std::vector<TdxBarAccessibilityHelper*>& AHelpers);
};

// The selected object of keyboard navigation (null when none) and its
// parent; a helper that goes is forgotten.
TdxBarAccessibilityHelper* dxBarSelectedAccessibleObject();
TdxBarAccessibilityHelper* dxBarSelectedAccessibleParent();
