// The accessibility helpers of the bar objects a user reaches from the
// keyboard: dock areas, toolbar and menu windows, and the item controls on
// them. Each describes its object as a node of the tree that keyboard
// navigation walks and does its part of navigation and key tips. The bar
// objects get their helper on demand here; it learns when its object goes.
//
// Sources: dxBarAccessibility.cpp.
#pragma once

#include "dxBar.h"
#include "dxBarAccess.h"

// The helper of a bar window, dock control or item control (made on first
// use; null for anything else).
TdxBarAccessibilityHelper* dxBarGetAccessibilityHelper(TObject* AOwner);
// The top bar (toolbar or main menu) a chain of popup menus hangs from.
TCustomdxBarControl* GetParentBarForBar(TCustomdxBarControl* ABarControl);

class TdxDockControlAccessibilityHelper : public TdxBarAccessibilityHelper {
  VARNEL_CLASS(TdxDockControlAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  using TdxBarAccessibilityHelper::TdxBarAccessibilityHelper;
  TcxAccessibilityHelper* GetChild(Integer AIndex) override;
  Integer GetChildCount() override;
  Integer GetChildIndex(TcxAccessibilityHelper* AChild) override;
  HWND GetOwnerObjectWindow() override;
  TRect GetScreenBounds(Integer AElement) override;
  Integer GetState(Integer AElement) override;
  TdxBarManager* GetBarManager() override;

 private:
  TdxDockControl* Dock() const;
};

class TCustomdxBarControlAccessibilityHelper
    : public TdxBarAccessibilityHelper {
  VARNEL_CLASS(TCustomdxBarControlAccessibilityHelper,
               TdxBarAccessibilityHelper)
 public:
  using TdxBarAccessibilityHelper::TdxBarAccessibilityHelper;
  TcxAccessibilityHelper* GetChild(Integer AIndex) override;
  Integer GetChildCount() override;
  Integer GetChildIndex(TcxAccessibilityHelper* AChild) override;
  HWND GetOwnerObjectWindow() override;
  TRect GetScreenBounds(Integer AElement) override;
  Integer GetState(Integer AElement) override;
  bool CanNavigateToChildren(Word AKey) override;

  virtual TCustomdxBarControl* GetBarControlInstance() const;
  virtual void GetItemControlKeyTipPosition(TdxBarItemControl* AControl,
                                            TPoint& AAnchor,
                                            TAlignment& AHorizontal,
                                            TcxAlignmentVert& AVertical);
  using TdxBarAccessibilityHelper::GetNextAccessibleObject;
  // The object next to an item of this window in the direction.
  virtual TdxBarAccessibilityHelper* GetNextAccessibleObject(
      TdxBarItemControl* AControl,
      TcxAccessibilityNavigationDirection ADirection);
  virtual bool IsCollapsed() { return false; }
  virtual void UnselectSelectedItemControl();

 protected:
  // The selected item control takes the key when it wants it.
  bool SelectedItemWantsKey(Word AKey);
};

class TdxBarControlAccessibilityHelper
    : public TCustomdxBarControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarControlAccessibilityHelper,
               TCustomdxBarControlAccessibilityHelper)
 public:
  using TCustomdxBarControlAccessibilityHelper::
      TCustomdxBarControlAccessibilityHelper;
  TdxBarManager* GetBarManager() override;
  TdxBarAccessibilityHelper* GetDefaultAccessibleObject() override {
    return this;
  }
  TcxAccessibilityHelper* GetParent() override;
  bool HandleNavigationKey(Word& AKey) override;
  void Select(bool AByTab = false) override;
  void Unselect(TdxBarAccessibilityHelper* ANext = nullptr) override;
  using TCustomdxBarControlAccessibilityHelper::GetNextAccessibleObject;
  TdxBarAccessibilityHelper* GetNextAccessibleObject(
      TdxBarItemControl* AControl,
      TcxAccessibilityNavigationDirection ADirection) override;

 private:
  TdxBarControl* Toolbar() const;
};

class TdxBarSubMenuControlAccessibilityHelper
    : public TCustomdxBarControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarSubMenuControlAccessibilityHelper,
               TCustomdxBarControlAccessibilityHelper)
 public:
  using TCustomdxBarControlAccessibilityHelper::
      TCustomdxBarControlAccessibilityHelper;
  TdxBarManager* GetBarManager() override;
  void GetItemControlKeyTipPosition(TdxBarItemControl* AControl,
                                    TPoint& AAnchor, TAlignment& AHorizontal,
                                    TcxAlignmentVert& AVertical) override;
  TdxBarAccessibilityHelper* GetParentForKeyTip() override;
  bool IsKeyTipContainer() override { return true; }
  void KeyTipsEscapeHandler() override;
  void UnselectSelectedItemControl() override;
  bool HandleNavigationKey(Word& AKey) override;

 private:
  TdxBarItemLink* GetNextItemLink(TdxBarItemLink* ALink, bool AForward);
  void HandleHorzNavigationKey(bool ALeft);
  void HandleVertNavigationKey(bool AUp, bool AByTab);
};

class TdxBarItemControlAccessibilityHelper : public TdxBarAccessibilityHelper {
  VARNEL_CLASS(TdxBarItemControlAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  using TdxBarAccessibilityHelper::TdxBarAccessibilityHelper;
  TdxBarManager* GetBarManager() override;
  TcxAccessibilityHelper* GetParent() override;
  HWND GetOwnerObjectWindow() override;
  TRect GetScreenBounds(Integer AElement) override;
  bool GetSelectable() override;
  Integer GetState(Integer AElement) override;
  using TdxBarAccessibilityHelper::GetNextAccessibleObject;
  TdxBarAccessibilityHelper* GetNextAccessibleObject(
      TcxAccessibilityNavigationDirection ADirection) override;
  bool HandleNavigationKey(Word& AKey) override;
  void Select(bool AByTab = false) override;
  void Unselect(TdxBarAccessibilityHelper* ANext = nullptr) override;
  String GetAssignedKeyTip() override;
  String GetDefaultKeyTip() override;
  void GetKeyTipInfo(TdxBarKeyTipInfo& AInfo) override;
  virtual bool NeedsVisibilityForKeyTipHandling() { return false; }

 protected:
  TdxBarItemControl* Control() const;
  TCustomdxBarControlAccessibilityHelper* ParentHelper();
};

class TdxBarButtonLikeControlAccessibilityHelper
    : public TdxBarItemControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarButtonLikeControlAccessibilityHelper,
               TdxBarItemControlAccessibilityHelper)
 public:
  using TdxBarItemControlAccessibilityHelper::
      TdxBarItemControlAccessibilityHelper;
  bool NeedsVisibilityForKeyTipHandling() override {
    return IsDropDownControl();
  }
  void KeyTipHandler(TObject* ASender) override;
  virtual bool IsDropDownControl() { return false; }
  // Opens the control's menu; true when it is open.
  virtual bool ShowDropDownWindow() { return false; }

 protected:
  void DoClick();
  void DoDropDown();
};

class TdxBarButtonControlAccessibilityHelper
    : public TdxBarButtonLikeControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarButtonControlAccessibilityHelper,
               TdxBarButtonLikeControlAccessibilityHelper)
 public:
  using TdxBarButtonLikeControlAccessibilityHelper::
      TdxBarButtonLikeControlAccessibilityHelper;
  bool IsDropDownControl() override;
  bool ShowDropDownWindow() override;
};

class TdxBarSubItemControlAccessibilityHelper
    : public TdxBarButtonLikeControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarSubItemControlAccessibilityHelper,
               TdxBarButtonLikeControlAccessibilityHelper)
 public:
  using TdxBarButtonLikeControlAccessibilityHelper::
      TdxBarButtonLikeControlAccessibilityHelper;
  bool IsDropDownControl() override { return true; }
  bool ShowDropDownWindow() override;
};

// The toolbar's mark button (the buttons that do not fit); its owner is
// the toolbar window, whose own helper stands for the whole bar.
class TdxBarControlMarkAccessibilityHelper : public TdxBarAccessibilityHelper {
  VARNEL_CLASS(TdxBarControlMarkAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  using TdxBarAccessibilityHelper::TdxBarAccessibilityHelper;
  TdxBarManager* GetBarManager() override;
  TcxAccessibilityHelper* GetParent() override;
  HWND GetOwnerObjectWindow() override;
  TRect GetScreenBounds(Integer AElement) override;
  bool GetSelectable() override { return GetVisible(); }
  Integer GetState(Integer AElement) override;
  bool IsNavigationKey(Word AKey) override;
  bool HandleNavigationKey(Word& AKey) override;
  void Select(bool AByTab = false) override;
  void Unselect(TdxBarAccessibilityHelper* ANext = nullptr) override;
  // Opens what the mark offers.
  void DropDown();
  // The mark's popup closed; by the keyboard in navigation, the mark is
  // selected again.
  void CloseUpHandler(bool AClosedByKeyboard);
  // The mark's look follows the mouse again.
  void UpdateMarkState();

 private:
  TdxBarControl* Toolbar() const;
};

// An edit-like item: a key tip puts it into editing.
class TdxBarWinControlAccessibilityHelper
    : public TdxBarItemControlAccessibilityHelper {
  VARNEL_CLASS(TdxBarWinControlAccessibilityHelper,
               TdxBarItemControlAccessibilityHelper)
 public:
  using TdxBarItemControlAccessibilityHelper::
      TdxBarItemControlAccessibilityHelper;
  bool NeedsVisibilityForKeyTipHandling() override { return true; }
  void KeyTipHandler(TObject* ASender) override;
};

// The mark helper of a toolbar window (one per window).
TdxBarControlMarkAccessibilityHelper* dxBarGetMarkAccessibilityHelper(
    TdxBarControl* AToolbar);
