// Object, component and class lists.
#pragma once

#include "Classes.h"

// A list of objects that, with OwnsObjects (the default), frees an object
// when it is deleted, removed, replaced or cleared from the list. Extract
// takes an object out without freeing it.
class TObjectList : public TList {
  VARNEL_CLASS(TObjectList, TList)
 public:
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : ownsObjects_(AOwnsObjects) {}

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) {
    TList::Insert(Index, AObject);
  }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) {
    return static_cast<TObject*>(TList::Extract(Item));
  }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  // From AStartAt on: the first object of class AClass (or, unless
  // AExact, a descendant); -1 for none.
  Integer FindInstanceOf(TClass AClass, bool AExact = true,
                         Integer AStartAt = 0) const;
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* Items(Integer Index) const {
    return static_cast<TObject*>(Get(Index));
  }
  TObject* operator[](Integer Index) const { return Items(Index); }
  void SetItems(Integer Index, TObject* AObject) { Put(Index, AObject); }

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool Value) { ownsObjects_ = Value; }

  ~TObjectList() override;

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool ownsObjects_ = true;
};

// A list of components that drops a component when it is freed elsewhere
// (through free notification). Owning (the default) frees the components
// when they leave the list, as TObjectList does.
class TComponentList : public TObjectList {
  VARNEL_CLASS(TComponentList, TObjectList)
 public:
  TComponentList();
  explicit TComponentList(bool AOwnsObjects);
  ~TComponentList() override;

  Integer Add(TComponent* AComponent) { return TObjectList::Add(AComponent); }
  void Insert(Integer Index, TComponent* AComponent) {
    TObjectList::Insert(Index, AComponent);
  }
  Integer Remove(TComponent* AComponent) {
    return TObjectList::Remove(AComponent);
  }
  TComponent* Extract(TComponent* Item) {
    return static_cast<TComponent*>(TObjectList::Extract(Item));
  }
  Integer IndexOf(TComponent* AComponent) const {
    return TObjectList::IndexOf(AComponent);
  }
  TComponent* First() const {
    return static_cast<TComponent*>(TObjectList::First());
  }
  TComponent* Last() const {
    return static_cast<TComponent*>(TObjectList::Last());
  }
  TComponent* Items(Integer Index) const {
    return static_cast<TComponent*>(TObjectList::Items(Index));
  }
  TComponent* operator[](Integer Index) const { return Items(Index); }
  void SetItems(Integer Index, TComponent* AComponent) {
    Put(Index, AComponent);
  }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  class TNexus;
  void HandleFreed(TComponent* AComponent);
  TObjectPtr<TNexus> nexus_;
};

// A list of class references.
class TClassList : public TList {
  VARNEL_CLASS(TClassList, TList)
 public:
  Integer Add(TClass AClass) { return TList::Add(ToPtr(AClass)); }
  void Insert(Integer Index, TClass AClass) {
    TList::Insert(Index, ToPtr(AClass));
  }
  Integer Remove(TClass AClass) { return TList::Remove(ToPtr(AClass)); }
  TClass Extract(TClass Item) {
    return static_cast<TClass>(TList::Extract(ToPtr(Item)));
  }
  Integer IndexOf(TClass AClass) const { return TList::IndexOf(ToPtr(AClass)); }
  TClass First() const { return static_cast<TClass>(TList::First()); }
  TClass Last() const { return static_cast<TClass>(TList::Last()); }
  TClass Items(Integer Index) const { return static_cast<TClass>(Get(Index)); }
  TClass operator[](Integer Index) const { return Items(Index); }
  void SetItems(Integer Index, TClass AClass) { Put(Index, ToPtr(AClass)); }

 private:
  static void* ToPtr(TClass c) {
    return const_cast<void*>(static_cast<const void*>(c));
  }
};
