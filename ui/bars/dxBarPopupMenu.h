// A bar-style menu shown at a screen point on request: a context menu or
// the drop-down menu of a button. By default Popup returns only after the
// menu has closed, running a message loop of its own meanwhile.
//
// Sources: dxBarPopupMenu.cpp.
#pragma once

#include "dxBar.h"

class TdxBarSubMenuControl;

inline constexpr TcxResourceString dxSBAR_NOBARMANAGERS{
    64019, "There are no TdxBarManagers available"};

class TdxBarPopupMenu : public TdxBarCustomPopupMenu, public IdxBarLinksOwner {
  VARNEL_CLASS(TdxBarPopupMenu, TdxBarCustomPopupMenu)
 public:
  // Raises "There are no TdxBarManagers available" without any manager.
  explicit TdxBarPopupMenu(TComponent* AOwner);
  ~TdxBarPopupMenu() override;

  bool GetEnabled() const override { return true; }
  void SetEnabled(bool) override {}
  void SetVisible(TdxBarItemVisible) override {}
  void SetBarManager(TdxBarManager* Value);
  TdxBarItemLinks* ItemLinks() const { return itemLinks_; }
  TdxBarItemLinks* GetItemLinks() override { return itemLinks_; }
  Integer BarSize() const { return barSize_; }
  void SetBarSize(Integer Value) { barSize_ = Value < 0 ? 0 : Value; }
  bool UseRecentItems() const { return itemLinks_->UseRecentItems(); }
  void SetUseRecentItems(bool Value) { itemLinks_->SetUseRecentItems(Value); }
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnPopup;

  bool IsShortCut(TShortCut AShortCut) override;
  // The shortcut a key message stands for; 0 is never one.
  static TShortCut ShortCutOfKeyMessage(const TMessage& AMessage);
  bool IsShortCutKey(const TMessage& AMessage);
  void Popup(Integer X, Integer Y) override;
  void PopupFromCursorPos() override;
  // Popup with the extent of what the menu opens from (0 = a point), the
  // owner's screen rectangle, whether to wait for the menu to close and the
  // window whose presses do not close it.
  void PopupEx(Integer X, Integer Y, Integer AOwnerWidth, Integer AOwnerHeight,
               bool AShowAnimation, const TRect* AOwnerBounds,
               bool AUseOwnMessageLoop, TWinControl* AOwnerControl);
  TdxBarSubMenuControl* SubMenuControl() const;
  bool PopupMenuVisible() const { return popupVisible_; }
  // The item control that opens the menu (a drop-down button), for the
  // length of its popup call.
  TdxBarItemControl* OwnerItemControl = nullptr;

  // IdxBarLinksOwner
  bool CanContainItem(TdxBarItem* AItem, String& AErrorText) override;
  TCustomdxBarControl* CreateBarControl() override;
  TComponent* GetOwnerComponent() override { return this; }

  void Loaded() override;

 private:
  void SubMenuPopup(TObject*);
  void SubMenuCloseUp(TObject*);
  void RunMessageLoop();

  TdxBarItemLinks* itemLinks_ = nullptr;
  Integer barSize_ = 0;
  bool popupVisible_ = false;
  // The parameters of the current PopupEx call.
  Integer ownerWidth_ = 0;
  Integer ownerHeight_ = 0;
  TRect ownerBounds_;
  TWinControl* ownerControl_ = nullptr;
  bool showAnimation_ = true;
  bool useOwnLoop_ = true;
};
