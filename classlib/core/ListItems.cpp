#include "ListItems.h"

#include "SysConst.h"

// ---------------------------------------------------------------------------
// TListItem
// ---------------------------------------------------------------------------

Integer TListItem::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

void TListItem::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  caption_ = Value;
  Changed(licCaption);
}

void TListItem::SetData(void* Value) {
  if (data_ == Value) return;
  data_ = Value;
  Changed(licData);
}

void TListItem::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  Changed(licChecked);
}

void TListItem::SetSelected(bool Value) {
  if (selected_ == Value) return;
  selected_ = Value;
  Changed(licSelected);
}

TPersistent* TListItem::GetOwner() { return owner_; }

void TListItem::Changed(TListItemChange Change) {
  if (owner_) owner_->Notify(this, Change);
}

// ---------------------------------------------------------------------------
// TListItems
// ---------------------------------------------------------------------------

TListItems::~TListItems() {
  // The items go without notices: whoever listens may already be gone.
  items_.clear();
}

TListItem* TListItems::Add() {
  items_.emplace_back(new TListItem(this));
  TListItem* item = items_.back().get();
  Notify(item, licAdded);
  return item;
}

void TListItems::Delete(Integer Index) {
  TListItem* item = Item(Index);
  Notify(item, licDeleting);
  // The notice may have changed the list: look the item up again.
  Integer at = IndexOf(item);
  if (at >= 0) items_.erase(items_.begin() + at);
}

void TListItems::Clear() {
  while (!items_.empty()) Delete(Count() - 1);
}

TListItem* TListItems::Item(Integer Index) const {
  CheckIndex(Index);
  return items_[Index].get();
}

Integer TListItems::IndexOf(const TListItem* Item) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == Item) return static_cast<Integer>(i);
  return -1;
}

void TListItems::Notify(TListItem*, TListItemChange) {}

void TListItems::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
}
