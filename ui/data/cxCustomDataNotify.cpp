// How the controller tells others about itself and hears about others:
// listener links that outlive it, the notifier for freed components, the
// data-changed listeners with their lock and the change held while the owner
// loads; and the operations on items (order, names, IDs, sorting index).
#include <algorithm>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxCustomData.h"

// ---------------------------------------------------------------------------
// Listener links
// ---------------------------------------------------------------------------

TcxDataListenerLink::~TcxDataListenerLink() {
  if (!Ref) return;
  std::vector<TcxDataListenerLink*>& links = Ref->listenerLinks_;
  links.erase(std::remove(links.begin(), links.end(), this), links.end());
}

TObjectPtr<TcxDataListenerLink> TcxCustomDataController::AddListenerLink(
    TcxCustomDataController* AController) {
  TObjectPtr<TcxDataListenerLink> link(new TcxDataListenerLink());
  if (AController) AController->listenerLinks_.push_back(link.get());
  link->Ref = AController;
  return link;
}

void TcxCustomDataController::RemoveListenerLink(
    TObjectPtr<TcxDataListenerLink> ALink) {
  // The link unregisters itself (when its controller still exists) as it
  // goes here.
  ALink.reset();
}

void TcxCustomDataController::ClearListenerLinks() {
  std::vector<TcxDataListenerLink*> links;
  links.swap(listenerLinks_);
  for (TcxDataListenerLink* link : links) link->Ref = nullptr;
}

TcxDataListenerLinkScope::TcxDataListenerLinkScope(
    TcxCustomDataController* AController)
    : link_(TcxCustomDataController::AddListenerLink(AController)) {}

TcxDataListenerLinkScope::~TcxDataListenerLinkScope() {
  TcxCustomDataController::RemoveListenerLink(std::move(link_));
}

// ---------------------------------------------------------------------------
// Notifier
// ---------------------------------------------------------------------------

void TcxDataControllerNotifier::Notification(TComponent* AComponent,
                                             TOperation AOperation) {
  TComponent::Notification(AComponent, AOperation);
  if (AOperation != opRemove || AComponent == this || !dataController_ ||
      ComponentState().Contains(csDestroying))
    return;
  dataController_->RemoveNotification(AComponent);
}

void TcxCustomDataFieldList::RemoveNotification(TComponent* AComponent) {
  // A field may leave the list in the middle.
  std::vector<TcxCustomDataField*> fields;
  for (const TObjectPtr<TcxCustomDataField>& f : items_)
    fields.push_back(f.get());
  for (TcxCustomDataField* f : fields) f->RemoveNotification(AComponent);
}

void TcxCustomDataController::RemoveNotification(TComponent* AComponent) {
  if (fields_) fields_->RemoveNotification(AComponent);
}

// ---------------------------------------------------------------------------
// Data-changed listeners and loading
// ---------------------------------------------------------------------------

void TcxCustomDataController::UnlockDataChangedNotify() {
  if (dataChangedNotifyLock_ > 0) --dataChangedNotifyLock_;
}

void TcxCustomDataController::DoDataChanged(TcxDataChange AKind,
                                            Integer AItemIndex,
                                            Integer ARecordIndex) {
  if (destroying_ ||
      (owner_ && owner_->ComponentState().Contains(csDestroying)))
    return;
  if (!OnDataChanged && !OnRecordChanged && listeners_.empty()) return;
  if (IsLoading()) {
    dataChangedPending_ = true;
    return;
  }
  NotifyDataChangedListeners(AKind, AItemIndex, ARecordIndex);
}

void TcxCustomDataController::NotifyDataChangedListeners(TcxDataChange AKind,
                                                         Integer AItemIndex,
                                                         Integer ARecordIndex) {
  if (OnRecordChanged && (AKind == dcField || AKind == dcRecord) &&
      ARecordIndex != -1)
    OnRecordChanged(this, ARecordIndex, AItemIndex);
  if (OnDataChanged) OnDataChanged(this);
  if (IsGridMode() && provider_->LocateCount() != 0) return;
  // A listener may remove itself (or another) while being told.
  std::vector<TListener> listeners = listeners_;
  for (TListener& l : listeners)
    if (l.Event) l.Event(this);
}

void TcxCustomDataController::Loaded() {
  if (dataChangedPending_) {
    dataChangedPending_ = false;
    // Changes met while loading merge into one of the whole data.
    NotifyDataChangedListeners(dcTotal, -1, -1);
  }
  if (afterSummaryPending_) {
    afterSummaryPending_ = false;
    DoAfterSummary();
  }
}

// ---------------------------------------------------------------------------
// Item operations
// ---------------------------------------------------------------------------

void TcxCustomDataController::UpdateItemIndexes() {
  Integer count = std::min(GetItemCount(), fields_->GetItemCount());
  for (Integer i = 0; i < count; ++i) {
    TObject* item = GetItem(i);
    // Items without an object cannot be told apart; they keep their place.
    TcxCustomDataField* field = item ? fields_->FieldByItem(item) : nullptr;
    if (field && !field->IsInternal()) fields_->Move(field, i);
  }
  Change({dccLayout});
}

bool TcxCustomDataController::ItemPropertiesChanged(Integer AItemIndex) {
  if (AItemIndex != -1 && GetItemSortOrder(AItemIndex) == soNone) return false;
  Refresh();
  return true;
}

String TcxCustomDataController::GetItemName(TObject* AItem) const {
  auto* component = dynamic_cast<TComponent*>(AItem);
  return component ? component->Name() : String();
}

Integer TcxCustomDataController::GetItemID(TObject* AItem) const {
  if (!AItem) return -1;
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItem(i) == AItem) return i;
  return -1;
}

TObject* TcxCustomDataController::FindItemByName(const String& AName) const {
  // Unnamed items answer an empty name: an empty name identifies none.
  if (AName.empty()) return nullptr;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TObject* item = GetItem(i);
    if (SameText(GetItemName(item), AName)) return item;
  }
  return nullptr;
}

TObject* TcxCustomDataController::FindItemByInternalID(Integer AID) const {
  // -1 is what an item without an ID answers: it identifies none.
  if (AID == -1) return nullptr;
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TObject* item = GetItem(i);
    if (GetItemID(item) == AID) return item;
  }
  return nullptr;
}

TObject* TcxCustomDataController::FindProperItemLink(TObject* AItem) const {
  return FindItemByInternalID(GetItemID(AItem));
}

Integer TcxCustomDataController::GetItemSortingIndex(Integer AItemIndex) const {
  return info_->SortingFieldList().Find(GetItemField(AItemIndex));
}

void TcxCustomDataController::ChangeItemSortingIndex(Integer AItemIndex,
                                                     Integer AIndex) {
  TcxCustomDataField* field = GetItemField(AItemIndex);
  auto update = UpdateScope();
  bool grouped = info_->GroupingFieldList().Find(field) >= 0;
  if (AIndex == -1 && grouped && GetItemSortOrder(AItemIndex) == soAscending) {
    ChangeSorting(AItemIndex, soNone);
  } else {
    if (GetItemSortingIndex(AItemIndex) < 0) {
      TcxDataSortOrder order = GetItemSortOrder(AItemIndex);
      if (order != soNone) {
        BeforeSorting();
        sortingChanged_ = true;
        info_->ChangeSorting(field, order);
      }
    }
    info_->ChangeSortIndex(field, AIndex);
  }
}
