#include "Contnrs.h"

// ---------------------------------------------------------------------------
// TObjectList

TObjectList::~TObjectList() {
  // Cleared here, not in ~TList, so that Notify still frees the objects.
  Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (ownsObjects_ && Action == lnDeleted) Free(static_cast<TObject*>(Ptr));
  TList::Notify(Ptr, Action);
}

Integer TObjectList::FindInstanceOf(TClass AClass, bool AExact,
                                    Integer AStartAt) const {
  for (Integer i = AStartAt < 0 ? 0 : AStartAt; i < Count(); ++i) {
    auto* obj = static_cast<TObject*>(Get(i));
    if (!obj) continue;
    if (AExact ? obj->ClassType() == AClass : obj->InheritsFrom(AClass)) {
      return i;
    }
  }
  return -1;
}

// ---------------------------------------------------------------------------
// TComponentList

// Receives the free notifications of the listed components.
class TComponentList::TNexus : public TComponent {
  VARNEL_CLASS(TNexus, TComponent)
 public:
  explicit TNexus(TComponentList* list) : TComponent(nullptr), list_(list) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (Operation == opRemove && list_) list_->HandleFreed(AComponent);
    TComponent::Notification(AComponent, Operation);
  }

 private:
  TComponentList* list_;
};

TComponentList::TComponentList() : nexus_(new TNexus(this)) {}

TComponentList::TComponentList(bool AOwnsObjects)
    : TObjectList(AOwnsObjects), nexus_(new TNexus(this)) {}

TComponentList::~TComponentList() {
  Clear();
  // Null before the nexus goes, so that its last notifications are ignored.
  nexus_.reset();
}

void TComponentList::HandleFreed(TComponent* AComponent) {
  // The component is going away on its own: take every entry of it out
  // without freeing it again.
  while (TList::Extract(static_cast<TObject*>(AComponent))) {
  }
}

void TComponentList::Notify(void* Ptr, TListNotification Action) {
  auto* component = static_cast<TComponent*>(static_cast<TObject*>(Ptr));
  if (nexus_) {
    if (Action == lnAdded) {
      nexus_->FreeNotification(component);
    } else if (TList::IndexOf(Ptr) < 0) {
      // Last entry gone: stop listening before an owning list frees it.
      nexus_->RemoveFreeNotification(component);
    }
  }
  TObjectList::Notify(Ptr, Action);
}
