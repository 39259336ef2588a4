// TList, TThreadList and TInterfaceList.
#include <algorithm>

#include "Classes.h"

namespace {

// The largest count a list accepts, as the 32-bit class library allows.
constexpr Integer MaxListSize = 0x7FFFFFFF / 16;

}  // namespace

// ---------------------------------------------------------------------------
// TList

TList::~TList() { Clear(); }

void TList::Error(const char* Msg, Integer Data) {
  throw EListError(Msg, {Data});
}

void TList::Grow() {
  Integer delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
  SetCapacity(capacity_ + delta);
}

Integer TList::Add(void* Item) {
  Integer index = Count();
  if (index >= capacity_) Grow();
  items_.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return index;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > Count())
    Error("List index out of bounds (%d)", Index);
  if (Count() >= capacity_) Grow();
  items_.insert(items_.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  if (Index < 0 || Index >= Count())
    Error("List index out of bounds (%d)", Index);
  void* item = items_[static_cast<std::size_t>(Index)];
  items_.erase(items_.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  Integer index = IndexOf(Item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  Notify(Item, lnExtracted);
  return Item;
}

Integer TList::IndexOf(void* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= Count()) {
    Error("List index out of bounds (%d)", NewIndex);
  }
  void* item = Get(CurIndex);
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, item);
}

void TList::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= Count())
    Error("List index out of bounds (%d)", Index1);
  if (Index2 < 0 || Index2 >= Count())
    Error("List index out of bounds (%d)", Index2);
  std::swap(items_[static_cast<std::size_t>(Index1)],
            items_[static_cast<std::size_t>(Index2)]);
}

void TList::Sort(const TListSortCompare& Compare) {
  if (Count() < 2 || !Compare) return;
  std::vector<Integer> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<Integer>(i);
  }
  const std::vector<void*> items = items_;
  classlib_detail::StableSort(order, [&](Integer a, Integer b) {
    return Compare(items[static_cast<std::size_t>(a)],
                   items[static_cast<std::size_t>(b)]) < 0;
  });
  for (std::size_t i = 0; i < order.size(); ++i) {
    items_[i] = items[static_cast<std::size_t>(order[i])];
  }
}

void TList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr),
               items_.end());
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

TList* TList::Expand() {
  if (Count() >= capacity_) Grow();
  return this;
}

void TList::Assign(TList* Source) {
  if (!Source || Source == this) return;
  Clear();
  SetCapacity(Source->Capacity());
  for (void* item : Source->items_) Add(item);
}

void* TList::First() const { return Get(0); }

void* TList::Last() const { return Get(Count() - 1); }

void* TList::Get(Integer Index) const {
  if (Index < 0 || Index >= Count())
    Error("List index out of bounds (%d)", Index);
  return items_[static_cast<std::size_t>(Index)];
}

void TList::Put(Integer Index, void* Item) {
  if (Index < 0 || Index >= Count())
    Error("List index out of bounds (%d)", Index);
  void* old = items_[static_cast<std::size_t>(Index)];
  if (old == Item) return;
  items_[static_cast<std::size_t>(Index)] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) {
    Error("List count out of bounds (%d)", NewCount);
  }
  if (NewCount > capacity_) SetCapacity(NewCount);
  if (NewCount > Count()) {
    items_.resize(static_cast<std::size_t>(NewCount), nullptr);
  } else {
    for (Integer i = Count() - 1; i >= NewCount; --i) Delete(i);
  }
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > MaxListSize) {
    Error("List capacity out of bounds (%d)", NewCapacity);
  }
  if (NewCapacity == capacity_) return;
  if (NewCapacity < capacity_) {
    items_.shrink_to_fit();
  } else {
    items_.reserve(static_cast<std::size_t>(NewCapacity));
  }
  capacity_ = NewCapacity;
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------------------
// TThreadList

void TThreadList::Add(void* Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (duplicates_ == dupAccept || list_.IndexOf(Item) < 0) {
    list_.Add(Item);
  } else if (duplicates_ == dupError) {
    throw EListError("List does not allow duplicates");
  }
}

void TThreadList::Clear() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  list_.Clear();
}

void TThreadList::Remove(void* Item) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  list_.Remove(Item);
}

TList* TThreadList::LockList() {
  lock_.lock();
  return &list_;
}

void TThreadList::UnlockList() { lock_.unlock(); }

// ---------------------------------------------------------------------------
// TInterfaceList

namespace {
[[noreturn]] void InterfaceIndexError(Integer index) {
  throw EListError("List index out of bounds (%d)", {index});
}
}  // namespace

Integer TInterfaceList::Add(const Item& AItem) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  items_.push_back(AItem);
  return static_cast<Integer>(items_.size()) - 1;
}

void TInterfaceList::Insert(Integer Index, const Item& AItem) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || Index > static_cast<Integer>(items_.size())) {
    InterfaceIndexError(Index);
  }
  items_.insert(items_.begin() + Index, AItem);
}

void TInterfaceList::Delete(Integer Index) {
  Item released;  // dropped after the lock is released
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || Index >= static_cast<Integer>(items_.size())) {
    InterfaceIndexError(Index);
  }
  released = items_[static_cast<std::size_t>(Index)];
  items_.erase(items_.begin() + Index);
}

Integer TInterfaceList::Remove(const Item& AItem) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Integer index = IndexOf(AItem);
  if (index >= 0) Delete(index);
  return index;
}

Integer TInterfaceList::IndexOf(const Item& AItem) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  auto it = std::find(items_.begin(), items_.end(), AItem);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

void TInterfaceList::Exchange(Integer Index1, Integer Index2) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  Integer n = static_cast<Integer>(items_.size());
  if (Index1 < 0 || Index1 >= n) InterfaceIndexError(Index1);
  if (Index2 < 0 || Index2 >= n) InterfaceIndexError(Index2);
  std::swap(items_[static_cast<std::size_t>(Index1)],
            items_[static_cast<std::size_t>(Index2)]);
}

void TInterfaceList::Clear() {
  std::vector<Item> released;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    released.swap(items_);
  }
}

TInterfaceList::Item TInterfaceList::First() { return Get(0); }

TInterfaceList::Item TInterfaceList::Last() { return Get(Count() - 1); }

TInterfaceList::Item TInterfaceList::Get(Integer Index) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || Index >= static_cast<Integer>(items_.size())) {
    InterfaceIndexError(Index);
  }
  return items_[static_cast<std::size_t>(Index)];
}

void TInterfaceList::Put(Integer Index, const Item& AItem) {
  Item released;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || Index >= static_cast<Integer>(items_.size())) {
    InterfaceIndexError(Index);
  }
  released = items_[static_cast<std::size_t>(Index)];
  items_[static_cast<std::size_t>(Index)] = AItem;
}

Integer TInterfaceList::Count() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return static_cast<Integer>(items_.size());
}
