// Menus: a tree of menu items (TMenuItem) under a menu component — the
// menu bar of a form (TMainMenu) or a menu that pops up at a point
// (TPopupMenu). The system menu is built from the tree each time it is
// needed, so items can change freely; a chosen item's command comes back
// to the item, which runs OnClick or its action.
#pragma once

// Controls.h first: see the note on the order of includes there.
#include "Controls.h"
//
#include <windows.h>

#include <memory>
#include <vector>

#include "ActnList.h"
#include "Graphics.h"
#include "ImgList.h"

class TMenu;
class TMenuItem;

enum TMenuAutoFlag : Byte { maAutomatic, maManual, maParent };
using TMenuItemAutoFlag = TMenuAutoFlag;
enum TPopupAlignment : Byte { paLeft, paRight, paCenter };
enum TFindItemKind : Byte { fkCommand, fkHandle, fkShortCut };

using TMenuMeasureItemEvent = TClosure<void(TObject* Sender, TCanvas* ACanvas,
                                            Integer& Width, Integer& Height)>;
using TMenuDrawItemEvent = TClosure<void(TObject* Sender, TCanvas* ACanvas,
                                         TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = TClosure<void(
    TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;

// Binds a menu item's caption, check mark, state, hint, image and shortcut
// to an action; choosing the item runs it.
class TMenuActionLink : public TActionLink {
  VARNEL_CLASS(TMenuActionLink, TActionLink)
 public:
  explicit TMenuActionLink(TMenuItem* AClient);
  void SetCaption(const String& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetImageIndex(Integer Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;

 private:
  TMenuItem* item_;
};

// ---------------------------------------------------------------------------
// TMenuItem
// ---------------------------------------------------------------------------

// An item holds its sub-items and frees them; an item freed by its owner
// first leaves its parent.
class TMenuItem : public TComponent {
  VARNEL_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // --- Sub-items ---
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TMenuItem* Items(Integer Index) const;
  TMenuItem* Parent() const { return parent_; }
  // The menu the item sits in (null when in none).
  TMenu* GetParentMenu() const;
  Integer IndexOf(const TMenuItem* Item) const;
  // Raises EMenuError for an item that already has a parent, for this item
  // or one of its parents, and for an index out of range.
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* Item);
  void Delete(Integer Index);
  // Frees every sub-item.
  void Clear();
  // The sub-item with this caption (accelerator marks ignored, any case).
  TMenuItem* Find(const String& ACaption) const;
  Integer MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  void SetMenuIndex(Integer Value);

  // --- Properties ---
  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  // A separator is an item captioned "-".
  bool IsLine() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool Value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& Value) { hint_ = Value; }
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  // The picture shown when the menu has no image list or ImageIndex is -1.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  TMenuItemAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuItemAutoFlag Value) { autoHotkeys_ = Value; }
  // The images of the menu the item sits in.
  TCustomImageList* GetImageList() const;
  // The command id the item's system menu entry carries.
  Word Command() const { return command_; }

  // --- Action ---
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return actionLink_.get(); }
  // Lets the actions of the sub-items update them.
  void InitiateActions();
  void InitiateAction();

  // Runs OnClick, or the action when the item has no OnClick.
  virtual void Click();

  // --- Owner draw ---
  virtual void MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect,
                                TOwnerDrawState State);

  // --- Streaming ---
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  bool HasParent() override { return true; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

 private:
  friend class TMenu;
  void Changed();
  String caption_;
  String hint_;
  TOwningList<TMenuItem> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item only
  std::unique_ptr<TMenuActionLink> actionLink_;
  std::unique_ptr<TBitmap> bitmap_;
  Integer imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  Word command_ = 0;
  TMenuItemAutoFlag autoHotkeys_ = maParent;
  bool checked_ = false;
  bool default_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool radioItem_ = false;
};

VARNEL_EXCEPTION(EMenuError, Exception)

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

class TMenu : public TComponent {
  VARNEL_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item: its sub-items are the menu's items.
  TMenuItem* Items() const { return items_.get(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  // Automatic: items without an accelerator get one in the system menu
  // (their Caption stays as set). Manual: captions are shown as they are.
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag Value);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);

  // The item for a command id, handle or shortcut (null when none).
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
  // Runs the item with this command id; false when there is none.
  bool DispatchCommand(Word ACommand);
  // Runs the enabled item whose shortcut the key message (WM_KEYDOWN /
  // CN_KEYDOWN) is; true when one ran.
  bool IsShortCut(const TMessage& Message);

  // Builds a system menu of the visible items (popup or bar) for the
  // caller.
  TMenuHandle CreateMenuHandle(bool Bar) const;
  // The text the system menu shows for an item (accelerator added when the
  // menu chooses them, shortcut after a tab).
  String MenuItemText(const TMenuItem* Item) const;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Items changed: menus shown as a bar rebuild their system menu.
  virtual void MenuChanged() {}

 protected:
  void BuildItems(HMENU Menu, const TMenuItem* Parent) const;

 private:
  TObjectPtr<TMenuItem> items_;
  TCustomImageList* images_ = nullptr;
  TMenuAutoFlag autoHotkeys_ = maAutomatic;
  bool ownerDraw_ = false;
};

// A form's menu bar. WindowHandle is the window it sits on; the window
// passes its menu commands to DispatchCommand.
class TMainMenu : public TMenu {
  VARNEL_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  ~TMainMenu() override;
  HMENU Handle();
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND Value);
  void MenuChanged() override;

 private:
  void DestroyMenuHandle();
  TMenuHandle handle_;
  HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
  VARNEL_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at a screen point and runs the chosen item; returns
  // when the menu closes.
  virtual void Popup(Integer X, Integer Y);
  TPoint PopupPoint() const { return popupPoint_; }
  // The control (or other component) the menu was opened for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* Value);
  // Opened by a right click on a control that names it (default true).
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool Value) { autoPopup_ = Value; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment Value) { alignment_ = Value; }
  // The window that owns the menu while it is shown (it receives the
  // owner-draw and selection messages).
  HWND WindowHandle() const;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnPopup;
  TNotifyEvent OnClose;

 protected:
  virtual void DoPopup(TObject* Sender) { OnPopup(Sender); }

 private:
  TPoint popupPoint_;
  TComponent* popupComponent_ = nullptr;
  TPopupAlignment alignment_ = paLeft;
  bool autoPopup_ = true;
};

// Strips "&" accelerator marks ("&&" stays as one "&").
String StripHotkey(const String& Text);
