// Lookups of the components that a form stream made, for the program's
// forms: a form binds its fields once its stream has been read.
#pragma once

#include "Classes.h"
#include "System.h"

// The component of Root named Name, as T. Raises Exception when the form
// stream made none of that name and class, so that a form resource that
// lost a component fails where it is read instead of at its first use.
template <class T>
T* FindChild(TComponent* Root, const char* Name) {
  T* found = dynamic_cast<T*>(Root->FindComponent(Name));
  if (!found) {
    throw Exception(String(Root->ClassName()) + " has no component " + Name);
  }
  return found;
}
