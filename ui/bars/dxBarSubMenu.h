// The popup window of a menu: one column of item controls from a top
// index, scroll bands when the items do not fit, placement on the screen
// with flipping at the work-area edges, and the menu keys. Popup menus
// (dxBarPopupMenu.h) and sub-menu items open it.
//
// Sources: dxBarSubMenu.cpp.
#pragma once

#include "dxBar.h"
#include "dxBarAnimation.h"
#include "dxBarContainerItems.h"

class TdxBarSubMenuControl;

// The layout of a menu: the item controls shown from the top index, each
// cut at the bottom of the items area, and a separator above every group.
class TdxBarSubMenuControlViewInfo : public TCustomdxBarControlViewInfo {
  VARNEL_CLASS(TdxBarSubMenuControlViewInfo, TCustomdxBarControlViewInfo)
 public:
  using TCustomdxBarControlViewInfo::TCustomdxBarControlViewInfo;
  void Calculate() override;
};

// The geometry of a menu apart from its window, so that the placement
// rules can be checked with numbers.
struct TdxBarMenuPlacement {
  TRect Bounds;
  bool FlippedLeft = false;
  bool FlippedUp = false;
};
// Places a menu of ASize asked for at ALeftTop, opened from an owner of
// the given extent (0 = at a point), inside AWorkArea.
TdxBarMenuPlacement dxBarPlaceMenu(TPoint ALeftTop, TSize ASize,
                                   Integer AOwnerWidth, Integer AOwnerHeight,
                                   const TRect& AWorkArea);
// The top index that shows the item at AIndex in an area of AAreaHeight,
// from the heights of all items, starting at ATopIndex and moving one step
// at a time. It always ends: an item that cannot be shown whole stops the
// walk at its own index.
Integer dxBarScrollIntoView(const std::vector<Integer>& AHeights,
                            Integer ATopIndex, Integer AIndex,
                            Integer AAreaHeight);

class TdxBarSubMenuControl : public TCustomdxBarControl {
  VARNEL_CLASS(TdxBarSubMenuControl, TCustomdxBarControl)
 public:
  explicit TdxBarSubMenuControl(TComponent* AOwner);
  ~TdxBarSubMenuControl() override;

  TdxBarKind Kind() const override { return bkSubMenu; }
  bool IsPopup() const override { return true; }
  TdxBarBehaviorOptions GetBehaviorOptions() const override;
  bool CanShowHint() const override { return false; }

  // --- What the opener sets ---
  Integer OwnerWidth = 0;
  Integer OwnerHeight = 0;
  TRect OwnerBounds;
  // A press in this window does not close the menus.
  TWinControl* OwnerControl = nullptr;
  HWND ParentWindow = nullptr;
  bool ShowAnimation = false;
  TNotifyEvent OnPopup;
  TNotifyEvent OnCloseUp;
  // The item control that opened the menu (sub-menu item or drop-down
  // button), null for a popup menu opened at a point.
  TdxBarItemControl* ParentItemControl() const { return parentItemControl_; }
  void SetParentItemControl(TdxBarItemControl* Value) {
    parentItemControl_ = Value;
  }
  // The asked-for place of the left-top corner (screen).
  void SetPosition(Integer ALeft, Integer ATop);
  TPoint OnShowPosition() const { return onShowPos_; }
  bool FlippedLeft() const { return flippedLeft_; }
  bool FlippedUp() const { return flippedUp_; }

  // --- Life ---
  // Creates the window, joins the active chain and shows it.
  void Show();
  // Destroys the window and frees the menu.
  void Hide();
  void HideByEscape();
  bool GetIsContextMenu() const;
  Integer GetBorderSize() const;
  Integer GetBeginGroupSize() const override;
  // The brush of the menu's background, as its painter prepares it.
  HBRUSH BackgroundBrush() const;

  // --- Scrolling ---
  Integer TopIndex() const { return topIndex_; }
  void SetTopIndex(Integer Value);
  bool UpArrowExists() const { return topIndex_ > 0; }
  bool DownArrowExists() const { return downArrow_; }
  TRect UpArrowRect() const;
  TRect DownArrowRect() const;
  // Scrolls until the control is shown; always ends.
  void SetControlVisible(TdxBarItemControl* AControl);
  void SetKeySelectedItem(TdxBarItemControl* AControl) override;
  TRect VisibleItemsRect() const;
  Integer ScrollBandSize() const;

  void CalcControlsPositions() override;
  void CalcItemsRect() override;
  bool CanDrawClippedItem(const TRect& R) const override;
  TSize CalcSize();

  // --- Personalised view ---
  // The expand button: the menu hides rarely used items.
  bool MarkExists() const override;
  TRect MarkRect() override;
  void SetMarkState(TdxBarMarkState Value) override;
  // Shows every item: the window is made again at its first place, and
  // every menu opened until the chain closes shows all its items too.
  void ExpandMenu();
  bool ExtendedView() const;
  // In the expanded view, an item the personalised view would hide.
  bool IsNonRecent(const TdxBarItemLink* ALink) const;
  // Kind 0 highlights the expand button when it fires (timer 2), kind 1
  // expands the menu (timer 3).
  void SetExpandMenuTimer(UINT AInterval, Integer AKind);
  void KillExpandMenuTimer();
  // The waiting expansion timer (2 or 3; 0 when none) and its interval.
  UINT_PTR ExpandMenuTimerId() const { return expandTimer_; }
  UINT ExpandMenuTimerInterval() const { return expandInterval_; }
  // What the waiting timer does when it fires.
  void ExpandMenuTimer();
  void SetSelectedControl(TdxBarItemControl* AControl) override;
  // The keys of the personalised view, before the menu's navigation: any
  // key stops the animation; Ctrl+Down expands (true: handled); Down or Tab
  // on the last shown item expands and leaves the key to go on into the
  // items now shown.
  bool HandleExpandKey(Word AKey);

  // --- Detaching ---
  // Opened from a sub-menu item that may be detached: the menu has a
  // caption strip at its top that drags the item's bar out as a floating
  // toolbar.
  bool Detachable() const;
  // Detachable, and the item's detaching bar is not the bar this chain
  // started from.
  bool CanDetach() const;
  TdxBar* DetachingBar() const;
  Integer GetDetachCaptionSize() const;
  Integer DetachCaptionAreaSize() const;
  TRect DetachCaptionRect() const;
  bool DetachCaptionSelected() const { return detachCaptionSelected_; }
  void SetNonRecentPainting(bool Value) override { nonRecentPainting_ = Value; }
  HBRUSH ItemsBackgroundBrush() override { return BackgroundBrush(); }
  // The face of rarely used items and of the expand button: lighter than
  // the menu.
  HBRUSH LightBrush() const;
  void SetDetachCaptionSelected(bool Value);

  // --- Opening animation ---
  // The unfolding or sliding thread moves the window (its final placement
  // has not run yet).
  bool AnimationRunning() const { return animating_; }
  // Stops the thread at once; the window takes its final place unless it
  // is closing.
  void TerminateAnimation();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void FillBackground(HDC DC, const TRect& R) override;
  void DoNCPaint(HDC DC);
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  TClass GetViewInfoClass() const override;
  void SetFont() override;
  void DoPaint() override;
  void DoHideAll() override;
  void DoBarMouseMove(TShiftState AShift, const TPoint& P,
                      TdxBarItemControl* AItem) override;
  void DoRepaintBar(bool ARecreate) override;
  void DoSetIsActive(bool Value) override;
  // Nothing while the animation draws the window from its image.
  void Paint() override;
  void DoBarMouseLeave() override;

 private:
  TCustomdxBarSubItem* OpenerSubItem() const;
  // A press on the detach caption: the item hears of it, and a menu that
  // can detach is dragged out.
  void DetachCaptionPress();
  void StartAnimation(TdxBarMenuAnimations AKind);
  void FinishAnimation();
  // Creates, places and shows the window (the popup notice is Show's).
  void ShowWindow();
  void SetRecentItemCount();
  bool MouseOnMark() const;
  bool DelayedExpansion() const;
  // A click on the expand button: a highlighted or pressed one expands.
  void MarkClick();
  // The hidden item an accelerator would reach: the menu shows every item
  // first when the key only selects it or the item keeps the menu open.
  void ExpandForAccel(Word AKey, TShiftState AShift);
  // The margins between the client area and the items.
  TRect ContentOffsets() const;
  void SetSizeAndCheckBounds();
  void LayoutItems();
  void MenuKeyDown(TMessage& M);
  void ScrollTimer();
  void StopScrollTimer();
  std::vector<Integer> VisibleItemHeights() const;
  Integer VisibleIndexOf(const TdxBarItemControl* AControl) const;

  TdxBarItemControl* parentItemControl_ = nullptr;
  TPoint onShowPos_;
  Integer topIndex_ = 0;
  bool downArrow_ = false;
  bool flippedLeft_ = false;
  bool flippedUp_ = false;
  bool hiding_ = false;
  UINT_PTR scrollTimer_ = 0;
  UINT_PTR expandTimer_ = 0;
  UINT expandInterval_ = 0;
  bool expanding_ = false;
  bool detachCaptionSelected_ = false;
  bool nonRecentPainting_ = false;
  mutable TGdiObject<HBRUSH> lightBrush_;
  mutable COLORREF lightColor_ = CLR_INVALID;
  TObjectPtr<TdxBarAnimationThread> animation_;
  bool animating_ = false;
  TdxBarAnimationInfo animationInfo_;
  bool paintingImage_ = false;
  TdxBarContainerExpansion expansion_;
};

// The work area of the monitor at (or nearest to) the screen point.
TRect dxBarGetWorkArea(TPoint P);

// The bar window a sub-menu item's links open.
TCustomdxBarControl* dxBarCreateSubMenuControl(TdxBarManager* AManager);
