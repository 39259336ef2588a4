#include "System.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

// ---------------------------------------------------------------------------
// Class references

bool TClassInfo::InheritsFrom(TClass other) const {
  for (TClass c = this; c; c = c->Parent) {
    if (c == other) return true;
  }
  return false;
}

TObjectPtr<TObject> TClassInfo::NewInstance(TObject* arg) const {
  if (!Factory) {
    throw EInvalidOperation(
        String("Cannot create an instance of abstract class ") + Name);
  }
  TObjectPtr<TObject> obj(Factory(arg));
  if (!obj) {
    throw EInvalidOperation(String("Cannot create an instance of class ") +
                            Name);
  }
  return obj;
}

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr,
                               &classlib_detail::DefaultFactory<TObject>};
  return &info;
}

String TObject::ClassName() const { return ClassType()->Name; }

TClass TObject::ClassParent() const { return ClassType()->Parent; }

bool TObject::InheritsFrom(TClass cls) const {
  return ClassType()->InheritsFrom(cls);
}

namespace {

struct ClassRegistry {
  std::mutex lock;
  // Class names compare without regard to case, as the streaming format does.
  std::map<String, TClass> byName;
};

ClassRegistry& Classes() {
  static ClassRegistry registry;
  return registry;
}

String FoldName(const String& s) {
  String r = s;
  for (char& c : r) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return r;
}

}  // namespace

void RegisterClass(TClass cls) {
  if (!cls) return;
  auto& reg = Classes();
  std::lock_guard<std::mutex> guard(reg.lock);
  reg.byName.emplace(FoldName(cls->Name), cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
  if (!cls) return;
  auto& reg = Classes();
  std::lock_guard<std::mutex> guard(reg.lock);
  auto it = reg.byName.find(FoldName(cls->Name));
  if (it != reg.byName.end() && it->second == cls) reg.byName.erase(it);
}

TClass GetClass(const String& name) {
  auto& reg = Classes();
  std::lock_guard<std::mutex> guard(reg.lock);
  auto it = reg.byName.find(FoldName(name));
  return it == reg.byName.end() ? nullptr : it->second;
}

TClass FindClass(const String& name) {
  TClass cls = GetClass(name);
  if (!cls) throw EClassNotFound("Class %s not found", {name});
  return cls;
}

// ---------------------------------------------------------------------------
// Exceptions

void Abort() { throw EAbort("Operation aborted"); }

// ---------------------------------------------------------------------------
// Interfaces

Integer TInterfacedObject::QueryInterface(const TGUID& iid, void** obj) {
  if (!obj) return E_NOINTERFACE_;
  void* p = GetInterfaceFor(iid);
  if (!p) {
    *obj = nullptr;
    return E_NOINTERFACE_;
  }
  _AddRef();
  *obj = p;
  return S_OK_;
}

void* TInterfacedObject::GetInterfaceFor(const TGUID& iid) {
  if (iid == IInterface::IID) return static_cast<IInterface*>(this);
  return nullptr;
}

Integer TInterfacedObject::_AddRef() { return ++refCount_; }

Integer TInterfacedObject::_Release() {
  Integer r = --refCount_;
  if (r == 0) {
    // The last reference owns the object.
    std::unique_ptr<TInterfacedObject> owner(this);
  }
  return r;
}

// ---------------------------------------------------------------------------
// Units

namespace {

struct UnitEntry {
  String name;
  std::vector<String> uses;
  void (*startup)();
  void (*shutdown)();
};

struct UnitTable {
  std::vector<UnitEntry> units;
  std::vector<const UnitEntry*> started;
  bool initialized = false;
};

UnitTable& Units() {
  static UnitTable table;
  return table;
}

}  // namespace

TUnitRegistration::TUnitRegistration(const char* name,
                                     std::initializer_list<const char*> uses,
                                     void (*startup)(), void (*shutdown)()) {
  UnitEntry e{name, {}, startup, shutdown};
  for (const char* u : uses) e.uses.emplace_back(u);
  Units().units.push_back(std::move(e));
}

std::vector<String> OrderUnits(const std::vector<TUnitInfo>& units) {
  std::map<String, const TUnitInfo*> byName;
  for (const auto& u : units) {
    if (!byName.emplace(u.Name, &u).second) {
      throw EInvalidOperation("Unit %s is registered twice", {u.Name});
    }
  }
  for (const auto& u : units) {
    for (const auto& dep : u.Uses) {
      if (!byName.count(dep)) {
        throw EInvalidOperation("Unit %s uses unknown unit %s", {u.Name, dep});
      }
    }
  }
  // Kahn's algorithm, always taking the smallest ready name so the order is
  // the same whatever order the linker put the registrations in.
  std::map<String, int> pending;
  std::map<String, std::vector<String>> users;
  for (const auto& u : units) {
    std::set<String> distinct(u.Uses.begin(), u.Uses.end());
    distinct.erase(u.Name);
    pending[u.Name] = static_cast<int>(distinct.size());
    for (const auto& dep : distinct) users[dep].push_back(u.Name);
  }
  std::set<String> ready;
  for (const auto& [name, count] : pending) {
    if (count == 0) ready.insert(name);
  }
  std::vector<String> order;
  while (!ready.empty()) {
    String next = *ready.begin();
    ready.erase(ready.begin());
    order.push_back(next);
    for (const auto& user : users[next]) {
      if (--pending[user] == 0) ready.insert(user);
    }
  }
  if (order.size() != units.size()) {
    String cycle;
    for (const auto& [name, count] : pending) {
      if (count > 0) cycle += (cycle.empty() ? "" : ", ") + name;
    }
    throw EInvalidOperation("Units use each other in a cycle: %s", {cycle});
  }
  return order;
}

void InitializeUnits() {
  auto& t = Units();
  if (t.initialized) return;
  std::vector<TUnitInfo> infos;
  for (const auto& u : t.units) infos.push_back({u.name, u.uses});
  std::vector<String> order = OrderUnits(infos);
  t.initialized = true;
  for (const auto& name : order) {
    auto it = std::find_if(t.units.begin(), t.units.end(),
                           [&](const UnitEntry& e) { return e.name == name; });
    // A unit whose start-up fails is not shut down; those started before it
    // are, by FinalizeUnits.
    if (it->startup) it->startup();
    t.started.push_back(&*it);
  }
}

void FinalizeUnits() {
  auto& t = Units();
  while (!t.started.empty()) {
    const UnitEntry* u = t.started.back();
    t.started.pop_back();
    if (u->shutdown) u->shutdown();
  }
  t.initialized = false;
}

std::vector<String> InitializedUnitOrder() {
  std::vector<String> r;
  for (const auto* u : Units().started) r.push_back(u->name);
  return r;
}
