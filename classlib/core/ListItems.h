// The items of a list view as plain data: a caption, a data pointer, a check
// mark and a selection per item. The list view control derives its item
// collection from TListItems and keeps its window in step through Notify, so
// code that fills the items works the same with or without a window.
#pragma once

#include <vector>

#include "Classes.h"

class TListItems;

// What changed about an item, as Notify reports it.
enum TListItemChange : Byte {
  licAdded,     // the item was appended
  licDeleting,  // the item is about to be removed and freed
  licCaption,
  licData,
  licChecked,
  licSelected,
};

class TListItem : public TPersistent {
  VARNEL_CLASS(TListItem, TPersistent)
 public:
  explicit TListItem(TListItems* Owner) : owner_(Owner) {}

  TListItems* Owner() const { return owner_; }
  // Position in the owner; -1 without one.
  Integer Index() const;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  void* Data() const { return data_; }
  void SetData(void* Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);

  TPersistent* GetOwner() override;

 private:
  friend class TListItems;
  void Changed(TListItemChange Change);

  TListItems* owner_;
  String caption_;
  void* data_ = nullptr;
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

 protected:
  // Called after an item was added or changed and before one is deleted.
  // Nothing here.
  virtual void Notify(TListItem* Item, TListItemChange Change);

 private:
  friend class TListItem;
  void CheckIndex(Integer Index) const;

  TPersistent* owner_;
  std::vector<TObjectPtr<TListItem>> items_;
};
