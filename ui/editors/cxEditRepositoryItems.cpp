#include "cxEditRepositoryItems.h"

#include <algorithm>

#include "WinApi.h"

namespace {

TObjectPtr<TcxEditRepository> gDefaultEditRepository;

}  // namespace

// ---------------------------------------------------------------------------
// TcxEditRepositoryItem
// ---------------------------------------------------------------------------

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner)
    : TComponent(AOwner) {
  CreateProperties();
}

void TcxEditRepositoryItem::CreateProperties() {
  properties_ = OwnedCast<TcxCustomEditProperties>(
      GetEditPropertiesClass()->NewInstance(this));
  properties_->OnPropertiesChanged =
      TNotifyEvent(this, &TcxEditRepositoryItem::PropertiesChanged);
}

void TcxEditRepositoryItem::BeforeDestruction() {
  // Listeners forget the item; one may leave the list while told.
  for (std::size_t i = listeners_.size(); i-- > 0;) {
    if (i >= listeners_.size()) continue;
    listeners_[i]->ItemRemoved(this);
  }
  listeners_.clear();
  SetRepository(nullptr);
  TComponent::BeforeDestruction();
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  if (repository_) SetRepository(nullptr);
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* Value) {
  if (repository_ == Value) return;
  if (repository_) std::erase(repository_->items_, this);
  repository_ = Value;
  if (repository_) repository_->items_.push_back(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() { return repository_; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  SetRepository(dynamic_cast<TcxEditRepository*>(Value));
}

String TcxEditRepositoryItem::GetBaseName() {
  static const String kPrefix = "TcxEditRepository";
  const String className = ClassName();
  const std::size_t at = className.find(kPrefix);
  const String tail =
      at == String::npos ? String() : className.substr(at + kPrefix.size());
  return (repository_ ? repository_->Name() : String()) + tail;
}

void TcxEditRepositoryItem::PropertiesChanged(TObject*) {
  for (std::size_t i = listeners_.size(); i-- > 0;) {
    if (i >= listeners_.size()) continue;
    listeners_[i]->PropertiesChanged(this);
  }
}

void TcxEditRepositoryItem::AddListener(
    IcxEditRepositoryItemListener* AListener) {
  if (std::find(listeners_.begin(), listeners_.end(), AListener) ==
      listeners_.end())
    listeners_.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(
    IcxEditRepositoryItemListener* AListener) {
  std::erase(listeners_, AListener);
}

// ---------------------------------------------------------------------------
// TcxEditRepository
// ---------------------------------------------------------------------------

TcxEditRepository::~TcxEditRepository() { Clear(); }

TcxEditRepositoryItem* TcxEditRepository::Items(Integer Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return items_[static_cast<std::size_t>(Index)];
}

TcxEditRepositoryItem* TcxEditRepository::ItemByName(
    const String& AName) const {
  for (TcxEditRepositoryItem* item : items_) {
    const String& name = item->Name();
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(),
                       static_cast<int>(name.size()), AName.c_str(),
                       static_cast<int>(AName.size())) == CSTR_EQUAL)
      return item;
  }
  return nullptr;
}

void TcxEditRepository::Clear() {
  while (!items_.empty()) {
    TcxEditRepositoryItem* item = items_.back();
    item->SetRepository(nullptr);
    // An item without an owner belongs to the repository alone.
    if (!item->Owner() || item->Owner() == this) Free(item);
  }
}

void TcxEditRepository::GetChildren(const TGetChildProc& Proc,
                                    TComponent* Root) {
  for (TcxEditRepositoryItem* item : items_)
    if (item->Owner() == Root) Proc(item);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TClass AItemClass) {
  return CreateItemEx(AItemClass, this);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass AItemClass,
                                                       TComponent* AOwner) {
  auto item = OwnedCast<TcxEditRepositoryItem>(AItemClass->NewInstance(AOwner));
  item->SetRepository(this);
  // The owner frees it; without an owner the repository does.
  return item.release();
}

TcxEditRepository* GetDefaultEditRepository() {
  if (!gDefaultEditRepository)
    gDefaultEditRepository.reset(new TcxEditRepository(nullptr));
  return gDefaultEditRepository.get();
}

namespace {

void EditRepositoryShutdown() { gDefaultEditRepository.reset(); }

}  // namespace

VARNEL_UNIT(cxEditRepositoryItems, ({"cxEdit"}), nullptr,
            &EditRepositoryShutdown);
