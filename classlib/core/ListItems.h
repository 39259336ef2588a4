// The items of a list view as plain data: a caption, a data pointer, a check
// mark and a selection per item. The list view control derives its item
// collection from TListItems and keeps its window in step through Notify, so
// code that fills the items works the same with or without a window.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Types.h"

class TListItems;

// What changed about an item, as Notify reports it.
enum TListItemChange : Byte {
  licAdded,     // the item was appended
  licDeleting,  // the item is about to be removed and freed
  licCaption,
  licData,
  licChecked,
  licSelected,
  licSubItems,
  licImageIndex,
};

// Which part of an item DisplayRect measures.
enum TDisplayCode : Byte { drBounds, drIcon, drLabel, drSelectBounds };

class TListItem : public TPersistent {
  VARNEL_CLASS(TListItem, TPersistent)
 public:
  explicit TListItem(TListItems* Owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  // Position in the owner; -1 without one. An item a list view with owner
  // data lends to its OnData handler reports the row it stands for.
  Integer Index() const;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  void* Data() const { return data_; }
  void SetData(void* Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  // The texts of the columns after the first; owned by the item.
  TStrings* SubItems() const { return subItems_.get(); }
  void SetSubItems(TStrings* Value);

  // Starts editing the caption in place; false when the list cannot (no
  // window, label editing off, or the item is not shown).
  bool EditCaption();
  void CancelEdit();
  // Where the item shows in its list view's client area; empty without one.
  TRect DisplayRect(TDisplayCode Code) const;

  TPersistent* GetOwner() override;

 private:
  friend class TListItems;
  void Changed(TListItemChange Change);
  void SubItemsChanged(TObject* Sender);

  TListItems* owner_;
  String caption_;
  void* data_ = nullptr;
  std::unique_ptr<TStringList> subItems_;
  Integer imageIndex_ = -1;
  Integer virtualIndex_ = -1;
  bool checked_ = false;
  bool selected_ = false;
};

// Owns its items and frees them when they are deleted or cleared.
class TListItems : public TPersistent {
  VARNEL_CLASS(TListItems, TPersistent)
 public:
  // Owner is the list view (none for a bare list).
  explicit TListItems(TPersistent* Owner = nullptr) : owner_(Owner) {}
  ~TListItems() override;

  // Appends an empty item and returns it.
  TListItem* Add();
  // Raises EListError for an index out of range.
  void Delete(Integer Index);
  void Clear();

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Raises EListError for an index out of range.
  TListItem* Item(Integer Index) const;
  TListItem* operator[](Integer Index) const { return Item(Index); }
  // -1 when the item is not in this list.
  Integer IndexOf(const TListItem* Item) const;

  TPersistent* GetOwner() override { return owner_; }

  // Makes Item (not one of the list) stand for row Index: lists whose rows
  // live elsewhere lend such items to the code that fills them.
  static void SetVirtualIndex(TListItem* Item, Integer Index) {
    Item->virtualIndex_ = Index;
  }

 protected:
  // Called after an item was added or changed and before one is deleted.
  // Nothing here.
  virtual void Notify(TListItem* Item, TListItemChange Change);
  // What EditCaption, CancelEdit and DisplayRect do for an item of this
  // list: nothing without a window.
  virtual bool EditItemCaption(TListItem* Item);
  virtual void CancelItemEdit(TListItem* Item);
  virtual TRect ItemDisplayRect(const TListItem* Item, TDisplayCode Code) const;

 private:
  friend class TListItem;
  void CheckIndex(Integer Index) const;

  TPersistent* owner_;
  std::vector<TObjectPtr<TListItem>> items_;
};
