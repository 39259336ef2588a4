// What the list, header, splitter and status-bar units share: their string
// table, the makers of style classes that are registered by class name
// (hot-zone and panel styles are made for an owner, which a plain class
// reference cannot pass), and inserting into a collection at a clamped
// place.
#pragma once

#include <algorithm>
#include <map>

#include "Classes.h"
#include "ScopeGuard.h"
//
#include "cxClasses.h"

// A text of this layer's string table, read straight from it.
String cxControlsLoadString(Integer AId);

// The maker of each registered style class of one family: TBase styles made
// for a TOwner.
template <class TBase, class TOwner>
class TcxStyleFactories {
 public:
  using TMaker = TBase* (*)(TOwner*);

  template <class T>
  static TBase* Make(TOwner* AOwner) {
    return new T(AOwner);
  }
  // Registers the class's maker and enters it in ARegistry with the
  // description from the string table.
  void Register(TcxRegisteredClasses* ARegistry, TClass AClass, TMaker AMaker,
                Integer ADescriptionId) {
    makers_[AClass] = AMaker;
    ARegistry->Register(AClass, cxControlsLoadString(ADescriptionId));
  }
  bool Contains(TClass AClass) const { return makers_.count(AClass) > 0; }
  // Null for no class or one that was never registered.
  TBase* Create(TClass AClass, TOwner* AOwner) const {
    auto maker = makers_.find(AClass);
    return maker == makers_.end() ? nullptr : maker->second(AOwner);
  }

 private:
  std::map<TClass, TMaker> makers_;
};

// Adds an item inside one update and moves it to AIndex, kept within the
// collection.
template <class T>
T* cxInsertCollectionItem(TCollection* ACollection, Integer AIndex) {
  ACollection->BeginUpdate();
  auto end = TScopeGuard([ACollection] { ACollection->EndUpdate(); });
  auto* item = static_cast<T*>(ACollection->Add());
  item->SetIndex(std::min(std::max(AIndex, 0), ACollection->Count() - 1));
  return item;
}
