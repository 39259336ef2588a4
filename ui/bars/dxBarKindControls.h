// The item controls of the kinds that have no window of their own: static
// text, separators, and the button-like family (buttons with a drop-down
// part, sub-menu items) with the hover timers that open and close their
// menus.
//
// Sources: dxBarKindControls.cpp.
#pragma once

#include "dxBar.h"

class TdxBarSubMenuControl;

// ---------------------------------------------------------------------------
// Static text and separators
// ---------------------------------------------------------------------------

class TdxBarCustomStaticControl : public TdxBarItemControl {
  VARNEL_CLASS(TdxBarCustomStaticControl, TdxBarItemControl)
 public:
  TdxBarCustomStaticControl() = default;
  bool CanClicked() const override { return false; }
  // Only while customizing.
  bool CanSelect() const override;

 protected:
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override;
  void DoPaint(const TRect& ARect, TdxBarPaintType APaintType) override;
};

class TdxBarSeparatorControl : public TdxBarCustomStaticControl {
  VARNEL_CLASS(TdxBarSeparatorControl, TdxBarCustomStaticControl)
 public:
  TdxBarSeparatorControl() = default;
  // The first visible entry of its links.
  bool IsTop() const;
  Integer GetMinWidth() const override;

 protected:
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override;
  Integer GetGlyphAreaWidth() override { return 0; }
  Integer GetDefaultHeight() override;
  Integer GetDefaultWidth() override;
  void DoPaint(const TRect& ARect, TdxBarPaintType APaintType) override;

 private:
  bool InMenuWithCaption() const;
};

// ---------------------------------------------------------------------------
// Button-like controls
// ---------------------------------------------------------------------------

class TdxBarButtonLikeControl : public TdxBarItemControl {
  VARNEL_CLASS(TdxBarButtonLikeControl, TdxBarItemControl)
 public:
  TdxBarButtonLikeControl() = default;
  ~TdxBarButtonLikeControl() override;
  // Set when the mouse selects or presses the control; handed on as the
  // show-animation flag of the menu it opens.
  bool MouseOpen = false;

  bool CanBePartOfButtonGroup() const override { return true; }
  virtual bool CanActivate() const;
  Integer ArrowWidth() const;
  bool WantsKey(Word AKey) const override;
  void KeyDown(Word& AKey, TShiftState AShift) override;
  // Marks the bar downed (menu mode); the kinds then open.
  virtual void DropDown(bool AByMouse);
  virtual TdxBarSubMenuControl* GetSubMenuControl() const { return nullptr; }
  void ControlActivate(bool AImmediately) override;
  void ControlInactivate(bool AImmediately) override;
  virtual void DoDropDown(bool AByMouse) = 0;
  virtual void DoCloseUp(bool AHide);
  // Delays an open or a close by dxBarWaitForSubMenuTime.
  void StartSubMenuTracking(bool AOpen);
  void FinishSubMenuTracking();

 protected:
  void DoPaint(const TRect& ARect, TdxBarPaintType APaintType) override;
  bool IsOnToolbar() const;
  bool InMenu() const;
};

// The hover timers shared by every button-like control: at most one open
// and one close wait at a time. The test and the timer callbacks fire them
// through the same routine.
TdxBarButtonLikeControl* dxBarPendingSubMenuOpen();
TdxBarButtonLikeControl* dxBarPendingSubMenuClose();
void dxBarFireSubMenuTimer(bool AOpen);

class TdxBarButtonControl : public TdxBarButtonLikeControl {
  VARNEL_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl)
 public:
  TdxBarButtonControl() = default;
  // Null for a windowed kind shown as a button.
  TdxBarButton* GetButtonItem() const;
  bool GetDown() const;
  TdxBarButtonStates GetInternalStates() const;
  TdxBarPaintStyle GetPaintStyle() const;
  bool IsDropDown() const override;
  bool IsSplitDropDown() const override { return IsDropDown(); }
  bool IsDroppedDown() const override;
  bool IsDestroyOnClick() const override;
  bool DrawSelected() const override;
  bool IsPressed() const;
  bool MouseOverArrow() const;
  bool ArrowPressed() const;
  TdxBarSubMenuControl* GetSubMenuControl() const override;
  void ControlClick(bool AByMouse, char AKey) override;
  void ControlUnclick(bool AByMouse) override;
  void ControlGetFocus(bool AByMouse) override;
  void DropDown(bool AByMouse) override;
  void DoDropDown(bool AByMouse) override;
  void DoCloseUp(bool AHide) override;
  void CalcDrawParams(bool AAll = true) override;

 protected:
  Integer GetPartCount() const override { return IsDropDown() ? 2 : 1; }
  void CalcParts() override;
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override;
  TdxBarItemControlViewStructure GetViewStructure() const override;
  Integer GetDefaultWidth() override;

 private:
  bool droppedDown_ = false;
};

class TdxBarSubItemControl : public TdxBarButtonLikeControl {
  VARNEL_CLASS(TdxBarSubItemControl, TdxBarButtonLikeControl)
 public:
  TdxBarSubItemControl() = default;
  bool CanClicked() const override { return false; }
  bool IsDropDown() const override { return true; }
  bool IsExpandable() const override { return true; }
  bool IsDestroyOnClick() const override { return false; }
  bool IsDroppedDown() const override;
  bool WantsKey(Word AKey) const override;
  TdxBarSubMenuControl* GetSubMenuControl() const override;
  void ControlClick(bool AByMouse, char AKey) override;
  void DropDown(bool AByMouse) override;
  void DoDropDown(bool AByMouse) override;
  void DoCloseUp(bool AHide) override;
  void CalcDrawParams(bool AAll = true) override;

 protected:
  TdxBarItemViewLevels GetPossibleViewLevels() const override;
  TdxBarItemControlViewStructure GetDefaultViewStructure() const override;
  Integer GetCaptionAreaWidth() override;
  void DoPaint(const TRect& ARect, TdxBarPaintType APaintType) override;
  // The screen point and the owner's extent the menu opens from.
  void GetSubMenuControlPositionParams(TPoint& APoint, Integer& AOwnerWidth,
                                       Integer& AOwnerHeight);
};

// A container item's control: on a toolbar it opens a menu of its listed
// links and takes them out again when the menu closes; in a menu (seen only
// while customizing) its caption is in parentheses.
class TdxBarContainerItemControl : public TdxBarSubItemControl {
  VARNEL_CLASS(TdxBarContainerItemControl, TdxBarSubItemControl)
 public:
  TdxBarContainerItemControl() = default;
  String GetCaption() const override;
  void DoDropDown(bool AByMouse) override;
  void DoCloseUp(bool AHide) override;

 private:
  bool listed_ = false;
};
