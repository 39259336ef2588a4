// Container items: sub-items whose entries are made when a menu is built.
// A list item turns strings into generated buttons, a container item copies
// the links of its own collection, an extra-pane list item adds a label.
// A menu lists them in place of the container (dxBarSubMenu.cpp); on a
// toolbar the container opens them as its own menu.
//
// Sources: dxBarContainerItems.cpp.
#pragma once

#include "dxBar.h"

class TCustomdxBarContainerItem : public TCustomdxBarSubItem {
  VARNEL_CLASS(TCustomdxBarContainerItem, TCustomdxBarSubItem)
 public:
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
  ~TCustomdxBarContainerItem() override;
  // Inserts the entries standing for the container into ALinks at AIndex;
  // ALink is the container's own link (every entry's real link).
  virtual void AddListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex,
                                  bool AFirstTime, TdxBarItemLink* ALink);
  virtual void DeleteListedItemLinks(TdxBarItemLinks*, Integer) {}
  virtual void ClearItemList() { needClear_ = false; }
  void NeedClearItemList() { needClear_ = true; }
  bool NeedsClear() const { return needClear_; }
  // The container's own link leaves the menu while its entries show.
  virtual bool HideWhenRun() const { return true; }
  bool InternalActuallyVisible() const override { return OnGetData.Assigned(); }
  virtual void ItemsChanged(TObject* Sender);
  bool InGetData() const { return inGetData_; }
  TNotifyEvent OnGetData;

 private:
  bool inGetData_ = false;
  bool needClear_ = false;
};

class TdxBarListItem : public TCustomdxBarContainerItem {
  VARNEL_CLASS(TdxBarListItem, TCustomdxBarContainerItem)
 public:
  explicit TdxBarListItem(TComponent* AOwner);
  ~TdxBarListItem() override;
  TStringList* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  Integer ItemIndex() const { return itemIndex_; }
  void SetItemIndex(Integer Value) { itemIndex_ = Value; }
  // The position of the item index among the entries (strings but "-").
  Integer GetDataIndex() const;
  void SetDataIndex(Integer Value);
  bool ShowCheck() const { return showCheck_; }
  void SetShowCheck(bool Value) { showCheck_ = Value; }
  bool ShowNumbers() const { return showNumbers_; }
  void SetShowNumbers(bool Value) { showNumbers_ = Value; }
  virtual String GetDisplayText(const String& AText) const { return AText; }
  virtual String GetDisplayHint(const String&) const { return String(); }
  bool InternalActuallyVisible() const override;
  void AddListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex,
                          bool AFirstTime, TdxBarItemLink* ALink) override;
  void DeleteListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex) override;
  void ClearItemList() override;
  void DirectClick() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The generated buttons, in the order of the entries.
  Integer GeneratedCount() const {
    return static_cast<Integer>(generated_.size());
  }
  TdxBarButton* Generated(Integer AIndex) const {
    return generated_.at(AIndex);
  }

 protected:
  std::vector<TdxBarButton*> generated_;

 private:
  void ClickItem(TObject* Sender);
  void FreeGenerated();
  TObjectPtr<TStringList> items_;
  Integer itemIndex_ = -1;
  bool showCheck_ = false;
  bool showNumbers_ = true;
};

class TdxBarContainerItem : public TCustomdxBarContainerItem {
  VARNEL_CLASS(TdxBarContainerItem, TCustomdxBarContainerItem)
 public:
  explicit TdxBarContainerItem(TComponent* AOwner);
  void AddListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex,
                          bool AFirstTime, TdxBarItemLink* ALink) override;
  void DeleteListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex) override;
  // At least one own link shows an item that is actually visible.
  bool IsItemsExist() const;
  bool InternalActuallyVisible() const override;
  bool InternalCanMergeWith(TdxBarItem* AItem) const override;
};

class TdxBarExtraPaneListItem : public TdxBarListItem {
  VARNEL_CLASS(TdxBarExtraPaneListItem, TdxBarListItem)
 public:
  using TdxBarListItem::TdxBarListItem;
  ~TdxBarExtraPaneListItem() override;
  // The file name without folder and extension; the hint is the full path.
  String GetDisplayText(const String& AText) const override;
  String GetDisplayHint(const String& AText) const override { return AText; }
  bool InternalActuallyVisible() const override;
  void AddListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex,
                          bool AFirstTime, TdxBarItemLink* ALink) override;
  void DeleteListedItemLinks(TdxBarItemLinks* ALinks, Integer AIndex) override;
  void ClearItemList() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TdxBarLabel* label_ = nullptr;
};

// A menu's links with every container item expanded in place into its
// listed links; Collapse takes them out again (in reverse) and marks the
// containers' lists stale. Customizing menus leave their containers alone.
class TdxBarContainerExpansion {
 public:
  void Expand(TdxBarItemLinks* ALinks);
  void Collapse();
  bool Empty() const { return expanded_.empty(); }

 private:
  struct TExpanded {
    TCustomdxBarContainerItem* Item;
    TdxBarItemLink* Link;
    bool WasVisible;
  };
  TdxBarItemLinks* links_ = nullptr;
  std::vector<TExpanded> expanded_;
};
