// Persistent objects, components and collections. Lists, strings and
// streams are in ClassesLists.cpp, ClassesStrings.cpp and ClassesStreams.cpp.
#include "Classes.h"

#include <algorithm>

#include "ScopeGuard.h"

namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Component names are identifiers (ASCII), so ASCII folding is enough.
bool SameName(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

[[noreturn]] void IndexError(Integer index) {
  throw EListError("List index out of bounds (%d)", {index});
}

}  // namespace

namespace classlib_detail {

TComponent* AsComponentArg(TObject* arg) {
  return dynamic_cast<TComponent*>(arg);
}

TCollection* AsCollectionArg(TObject* arg) {
  return dynamic_cast<TCollection*>(arg);
}

}  // namespace classlib_detail

bool IsValidIdent(const String& Name) {
  if (Name.empty()) return false;
  auto alpha = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  if (!alpha(Name[0])) return false;
  for (char c : Name) {
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  String sourceName = Source ? Source->ClassName() : String("nil");
  throw EConvertError("Cannot assign a %s to a %s", {sourceName, ClassName()});
}

String TPersistent::GetNamePath() {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String path = owner->GetNamePath();
    if (!path.empty()) result = path + "." + result;
  }
  return result;
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() { return nullptr; }

Integer TInterfacedPersistent::QueryInterface(const TGUID& iid, void** obj) {
  if (!obj) return E_NOINTERFACE_;
  *obj = GetInterfaceFor(iid);
  return *obj ? S_OK_ : E_NOINTERFACE_;
}

void* TInterfacedPersistent::GetInterfaceFor(const TGUID& iid) {
  if (iid == IInterface::IID) return static_cast<IInterface*>(this);
  return nullptr;
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Normally BeforeDestruction did all of this while the object was whole;
  // after a plain delete it happens here.
  Destroying();
  LeaveOwnerAndPeers();
}

void TComponent::BeforeDestruction() {
  Destroying();
  // Peers and the owner learn about the destruction while virtual calls
  // still reach the real class; owned components go in the destructor,
  // after the descendant's own destructor code.
  NotifyPeers();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::NotifyPeers() {
  // Each link is dropped before the call, so a peer whose Notification does
  // not reach the base class cannot keep this loop going.
  while (!freeNotifies_.empty()) {
    TComponent* peer = freeNotifies_.back();
    freeNotifies_.pop_back();
    peer->RemoveNotification(this);
    peer->Notification(this, opRemove);
  }
}

void TComponent::LeaveOwnerAndPeers() {
  NotifyPeers();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

Integer TComponent::QueryInterface(const TGUID& iid, void** obj) {
  if (!obj) return E_NOINTERFACE_;
  if (iid == IInterface::IID) {
    *obj = static_cast<IInterface*>(this);
    return S_OK_;
  }
  *obj = nullptr;
  return E_NOINTERFACE_;
}

void TComponent::SetName(const String& NewName) {
  if (name_ == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) {
    throw EComponentError("'%s' is not a valid component name", {NewName});
  }
  if (owner_) {
    owner_->ValidateRename(this, name_, NewName);
  } else {
    ValidateRename(nullptr, name_, NewName);
  }
  ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName,
                                const String& NewName) {
  if (AComponent && !SameName(CurName, NewName) && AComponent->owner_ == this &&
      FindComponent(NewName)) {
    throw EComponentError("A component named %s already exists", {NewName});
  }
  if (state_.Contains(csDesigning) && owner_) {
    owner_->ValidateRename(AComponent, CurName, NewName);
  }
}

void TComponent::ValidateInsert(TComponent*) {}

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) IndexError(Index);
  return components_[static_cast<std::size_t>(Index)];
}

Integer TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer Value) {
  if (!owner_) return;
  Integer cur = ComponentIndex();
  if (cur < 0) return;
  auto& list = owner_->components_;
  Integer count = static_cast<Integer>(list.size());
  if (Value < 0) Value = 0;
  if (Value >= count) Value = count - 1;
  if (Value == cur) return;
  list.Move(static_cast<std::size_t>(cur), static_cast<std::size_t>(Value));
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameName(c->name_, AName)) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ == this) return;
  ValidateInsert(AComponent);
  ValidateRename(AComponent, String(), AComponent->name_);
  // One owner at a time: a component handed to a new owner leaves the old
  // one, which would otherwise free it a second time.
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  Insert(AComponent);
  if (state_.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  components_.Adopt(AComponent);
  AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent) {
  components_.Extract(AComponent);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    RemoveComponent(c);
    if (!components_.empty() && components_.back() == c) Remove(c);
    Free(c);
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Handlers may add or remove components; walk by index from the end.
  Integer i = ComponentCount() - 1;
  while (i >= 0) {
    components_[static_cast<std::size_t>(i)]->Notification(AComponent,
                                                           Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) ==
      freeNotifies_.end()) {
    freeNotifies_.push_back(AComponent);
  }
  auto& other = AComponent->freeNotifies_;
  if (std::find(other.begin(), other.end(), this) == other.end()) {
    other.push_back(this);
  }
  state_.Include(csFreeNotification);
  AComponent->state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent);
  if (it != freeNotifies_.end()) freeNotifies_.erase(it);
  if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

String TComponent::GetNamePath() { return name_; }

TPersistent* TComponent::GetOwner() { return owner_; }

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetChildOrder(TComponent*, Integer) {}

TComponent* TComponent::GetParentComponent() { return nullptr; }

void TComponent::SetParentComponent(TComponent*) {}

bool TComponent::HasParent() { return false; }

void TComponent::Updating() { state_.Include(csUpdating); }

void TComponent::Updated() { state_.Exclude(csUpdating); }

void TComponent::SetAncestor(bool Value) {
  if (Value) {
    state_.Include(csAncestor);
  } else {
    state_.Exclude(csAncestor);
  }
  for (TComponent* c : components_) c->SetAncestor(Value);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value) {
    state_.Include(csDesigning);
  } else {
    state_.Exclude(csDesigning);
  }
  if (SetChildren) {
    for (TComponent* c : components_) c->SetDesigning(Value, true);
  }
}

void TComponent::SetInline(bool Value) {
  if (Value) {
    state_.Include(csInline);
  } else {
    state_.Exclude(csInline);
  }
}

void TComponent::SetDesignInstance(bool Value) {
  if (Value) {
    state_.Include(csDesignInstance);
  } else {
    state_.Exclude(csDesignInstance);
  }
}

void TComponent::SetSubComponent(bool Value) {
  if (Value) {
    style_.Include(csSubComponent);
  } else {
    style_.Exclude(csSubComponent);
  }
}

bool TComponent::ExecuteAction(TBasicAction*) { return false; }

bool TComponent::UpdateAction(TBasicAction*) { return false; }

// ---------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::BeforeDestruction() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

Integer TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer cur = Index();
  if (cur >= 0 && cur != Value) {
    collection_->MoveItem(cur, Value);
    Changed(true);
  }
}

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetDisplayName() { return ClassName(); }

String TCollectionItem::GetNamePath() {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool AllItems) {
  if (collection_ && collection_->updateCount_ == 0) {
    collection_->Update(AllItems ? nullptr : this);
  }
}

// ---------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TClass ItemClass) : itemClass_(ItemClass) {}

TCollection::~TCollection() {
  // No change notices to a collection that is going away.
  updateCount_ = 1;
  while (!items_.empty()) Free(items_.back());
}

TCollectionItem* TCollection::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return items_[static_cast<std::size_t>(Index)];
}

void TCollection::SetItem(Integer Index, TCollectionItem* Value) {
  Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_ ||
      !itemClass_->InheritsFrom(TCollectionItem::StaticClass())) {
    throw EInvalidOperation("Invalid collection item class");
  }
  adding_ = true;
  deferred_ = nullptr;
  TObject* obj = nullptr;
  {
    TScopeGuard stopAdding([this] {
      adding_ = false;
      deferred_ = nullptr;
    });
    // The item joined the collection, which frees it from now on.
    obj = itemClass_->NewInstance(this).release();
    stopAdding.Dismiss();
  }
  adding_ = false;
  TCollectionItem* deferred = deferred_;
  deferred_ = nullptr;
  auto* item = dynamic_cast<TCollectionItem*>(obj);
  if (item && item->collection_ != this) {
    // A constructor that did not join the collection: join now.
    item->SetCollection(this);
  } else if (item && item == deferred) {
    Notify(item, cnAdded);
    Changed();
  }
  return item;
}

TCollectionItem* TCollection::Insert(Integer Index) {
  TCollectionItem* item = Add();
  // An item that cannot go where asked is not left at the end.
  TScopeGuard drop([item] { Free(item); });
  item->SetIndex(Index);
  drop.Dismiss();
  return item;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  Free(item);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  auto update =
      MakeBracket(this, &TCollection::BeginUpdate, &TCollection::EndUpdate);
  while (!items_.empty()) Free(items_.back());
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == ID) return item;
  }
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  auto update =
      MakeBracket(this, &TCollection::BeginUpdate, &TCollection::EndUpdate);
  Clear();
  for (TCollectionItem* item : source->items_) Add()->Assign(item);
}

String TCollection::GetNamePath() {
  String result = ClassName();
  TPersistent* owner = GetOwner();
  if (!owner) return result;
  String path = owner->GetNamePath();
  if (path.empty()) return result;
  String prop = GetPropName();
  if (prop.empty()) return result;
  return path + "." + prop;
}

String TCollection::GetPropName() {
  TPersistent* owner = GetOwner();
  if (!owner) return String();
  for (PPropInfo p : GetPropList(owner, TTypeKinds{tkClass})) {
    if (p->GetObject && p->GetObject(owner) == this) return p->Name;
  }
  return String();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  items_.Adopt(Item);
  Item->collection_ = this;
  Item->id_ = nextID_++;
  if (adding_ && !deferred_) {
    // The item is still being constructed: Add notifies once it is whole.
    deferred_ = Item;
    adding_ = false;
    return;
  }
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  items_.Extract(Item);
  Item->collection_ = nullptr;
  if (deferred_ == Item) deferred_ = nullptr;
  Changed();
}

void TCollection::MoveItem(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count()) IndexError(CurIndex);
  if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
  items_.Move(static_cast<std::size_t>(CurIndex),
              static_cast<std::size_t>(NewIndex));
}

// ---------------------------------------------------------------------------
// Sorting

namespace classlib_detail {

void StableSort(std::vector<Integer>& order,
                const std::function<bool(Integer, Integer)>& less) {
  const std::size_t n = order.size();
  std::vector<Integer> buffer(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      std::size_t mid = std::min(lo + width, n);
      std::size_t hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        // Take from the right only when strictly less: equal items keep
        // their order.
        if (less(order[j], order[i])) {
          buffer[k++] = order[j++];
        } else {
          buffer[k++] = order[i++];
        }
      }
      while (i < mid) buffer[k++] = order[i++];
      while (j < hi) buffer[k++] = order[j++];
    }
    order.swap(buffer);
  }
}

}  // namespace classlib_detail

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void ClassesStartup() {
  // Name is written in the component's header, never as a property.
  TPublished<TComponent>()
      .Property("Name", &TComponent::Name, &TComponent::SetName)
      .Stored(false)
      .Property("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
  RegisterTypeName<TNotifyEvent>("TNotifyEvent");
  RegisterTypeName<TComponentState>("TComponentState");
  RegisterEnum<TComponentStateFlag>(
      "TComponentStateFlag",
      {"csLoading", "csReading", "csWriting", "csDestroying", "csDesigning",
       "csAncestor", "csUpdating", "csFixups", "csFreeNotification", "csInline",
       "csDesignInstance"});
}

void ClassesShutdown() { UnpublishClass(TComponent::StaticClass()); }

}  // namespace

VARNEL_UNIT(Classes, ({"SysUtils"}), &ClassesStartup, &ClassesShutdown);
