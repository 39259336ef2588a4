#include "ListItems.h"

#include "SysConst.h"

// ---------------------------------------------------------------------------
// TListItem
// ---------------------------------------------------------------------------

TListItem::TListItem(TListItems* Owner)
    : owner_(Owner), subItems_(new TStringList) {
  subItems_->OnChange = TNotifyEvent(this, &TListItem::SubItemsChanged);
}

TListItem::~TListItem() { subItems_->OnChange = TNotifyEvent(); }

Integer TListItem::Index() const {
  const Integer at = owner_ ? owner_->IndexOf(this) : -1;
  return at >= 0 ? at : virtualIndex_;
}

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

void TListItem::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed(licImageIndex);
}

void TListItem::SetSubItems(TStrings* Value) { subItems_->Assign(Value); }

void TListItem::SubItemsChanged(TObject*) { Changed(licSubItems); }

bool TListItem::EditCaption() {
  return owner_ ? owner_->EditItemCaption(this) : false;
}

void TListItem::CancelEdit() {
  if (owner_) owner_->CancelItemEdit(this);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const {
  return owner_ ? owner_->ItemDisplayRect(this, Code) : TRect();
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

bool TListItems::EditItemCaption(TListItem*) { return false; }

void TListItems::CancelItemEdit(TListItem*) {}

TRect TListItems::ItemDisplayRect(const TListItem*, TDisplayCode) const {
  return TRect();
}

void TListItems::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
}
