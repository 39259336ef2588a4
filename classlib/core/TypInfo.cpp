#include "TypInfo.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "SysUtils.h"

namespace {

struct TClassData {
  // unique_ptr keeps every PPropInfo stable while classes register.
  std::vector<std::unique_ptr<TPropInfo>> props;
  std::vector<std::unique_ptr<TMethodInfo>> methods;
  // The property added or replaced last: what Default and Stored qualify.
  TPropInfo* last = nullptr;
};

std::map<TClass, TClassData>& Published() {
  static std::map<TClass, TClassData> table;
  return table;
}

// What units published and no lookup has needed yet, per class, in order.
std::map<TClass, std::vector<typinfo_detail::TPublishStep>>& Pending() {
  static std::map<TClass, std::vector<typinfo_detail::TPublishStep>> table;
  return table;
}

// Lookups run on the user-interface thread, as start-up does.
const TClassData* DataOf(TClass cls) {
  typinfo_detail::PublishPending(cls);
  auto& table = Published();
  auto it = table.find(cls);
  return it == table.end() ? nullptr : &it->second;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The class chain from the root down to cls.
std::vector<TClass> Chain(TClass cls) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->Parent) chain.push_back(c);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

TClass ClassOf(const TObject* instance) {
  if (!instance) throw EPropertyError("Property access on a nil object");
  return instance->ClassType();
}

[[noreturn]] void InvalidType(PPropInfo prop) {
  throw EPropertyError("Invalid property type: %s",
                       {prop->PropType ? prop->PropType->Name : String("?")});
}

[[noreturn]] void ReadOnly(PPropInfo prop) {
  throw EPropertyError("Property %s is read-only", {prop->Name});
}

PPropInfo Need(PPropInfo prop) {
  if (!prop) throw EPropertyError("Property access through a nil property");
  return prop;
}

PTypeInfo EnumTypeOf(PTypeInfo typeInfo) {
  if (typeInfo && typeInfo->Kind == tkSet) return typeInfo->CompType;
  return typeInfo;
}

String TrimBlanks(const String& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

bool TPropInfo::Writable() const {
  switch (Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      return static_cast<bool>(SetOrd);
    case tkInt64:
      return static_cast<bool>(SetInt64);
    case tkFloat:
      return static_cast<bool>(SetFloat);
    case tkLString:
    case tkString:
      return static_cast<bool>(SetStr);
    case tkWString:
      return static_cast<bool>(SetWStr);
    case tkClass:
      return static_cast<bool>(SetObject);
    case tkMethod:
      return static_cast<bool>(SetMethod);
    case tkVariant:
      return static_cast<bool>(SetVariant);
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Registration

namespace typinfo_detail {

void InitOrdinal(TTypeInfo& info, TTypeKind kind, const char* name,
                 TOrdType ordType, Int64 minValue, Int64 maxValue) {
  info.Kind = kind;
  info.Name = name;
  info.OrdType = ordType;
  info.MinValue = minValue;
  info.MaxValue = maxValue;
}

TPropInfo& AddProperty(TClass cls, TPropInfo info) {
  auto& data = Published()[cls];
  for (auto& p : data.props) {
    // Publishing the same name again (a unit started twice) replaces it.
    if (SameText(p->Name, info.Name)) {
      info.NameIndex = p->NameIndex;
      *p = std::move(info);
      data.last = p.get();
      return *p;
    }
  }
  info.NameIndex = static_cast<Integer>(data.props.size());
  data.props.push_back(std::make_unique<TPropInfo>(std::move(info)));
  data.last = data.props.back().get();
  return *data.last;
}

void AddMethod(TClass cls, TMethodInfo info) {
  auto& data = Published()[cls];
  for (auto& m : data.methods) {
    if (SameText(m->Name, info.Name)) {
      *m = std::move(info);
      return;
    }
  }
  data.methods.push_back(std::make_unique<TMethodInfo>(std::move(info)));
}

TPropInfo* LastProperty(TClass cls) {
  auto table = Published().find(cls);
  return table == Published().end() ? nullptr : table->second.last;
}

void AddPropertyStep(TClass cls, TBindAccessors bind, const String& name,
                     Integer index, const void* getter, std::size_t getterSize,
                     const void* setter, std::size_t setterSize) {
  TPublishStep step;
  step.Bind = bind;
  step.Name = name;
  step.Index = index;
  std::memcpy(step.Accessors.Getter, getter, getterSize);
  std::memcpy(step.Accessors.Setter, setter, setterSize);
  Pending()[cls].push_back(std::move(step));
}

void AddMethodStep(TClass cls, TPublishStep::TApply apply, const String& name,
                   const void* method, std::size_t methodSize) {
  TPublishStep step;
  step.Apply = apply;
  step.Name = name;
  std::memcpy(step.Accessors.Getter, method, methodSize);
  Pending()[cls].push_back(std::move(step));
}

void AddQualifierStep(TClass cls, TPublishStep::TApply apply, Integer value,
                      const void* member, std::size_t memberSize) {
  TPublishStep step;
  step.Apply = apply;
  step.Value = value;
  if (memberSize) std::memcpy(step.Accessors.Getter, member, memberSize);
  Pending()[cls].push_back(std::move(step));
}

TPropInfo& PropertyToQualify(TClass cls) {
  TPropInfo* p = LastProperty(cls);
  if (!p) throw EPropertyError("No property to qualify");
  return *p;
}

void NeedPropertyToQualify(TClass cls) {
  auto pending = Pending().find(cls);
  if (pending != Pending().end()) {
    for (const TPublishStep& step : pending->second) {
      if (step.Bind) return;
    }
  }
  if (LastProperty(cls)) return;
  throw EPropertyError("No property to qualify");
}

void PublishPending(TClass cls) {
  auto& pending = Pending();
  auto it = pending.find(cls);
  if (it == pending.end()) return;
  // Taken out first: a step may look the class up again.
  std::vector<TPublishStep> steps = std::move(it->second);
  pending.erase(it);
  for (const TPublishStep& step : steps) {
    if (!step.Bind) {
      step.Apply(cls, step);
      continue;
    }
    // Published again (a unit started twice): whoever holds the property
    // from an earlier lookup finds it bound.
    bool handedOut = false;
    if (auto data = Published().find(cls); data != Published().end()) {
      for (const auto& p : data->second.props) {
        if (SameText(p->Name, step.Name)) {
          handedOut = !p->PendingBind;
          break;
        }
      }
    }
    TPropInfo info;
    info.Name = step.Name;
    info.Index = step.Index;
    info.OwnerClass = cls;
    info.PendingBind = step.Bind;
    info.PendingAccessors = step.Accessors;
    TPropInfo& p = AddProperty(cls, std::move(info));
    if (handedOut) Bound(&p);
  }
}

PPropInfo Bound(const TPropInfo* prop) {
  if (prop && prop->PendingBind) {
    // Owned by the table as modifiable; handed out as const.
    auto& p = const_cast<TPropInfo&>(*prop);
    const TBindAccessors bind = p.PendingBind;
    p.PendingBind = nullptr;
    bind(p, p.PendingAccessors);
  }
  return prop;
}

void ApplyDefault(TClass cls, const TPublishStep& step) {
  PropertyToQualify(cls).Default = step.Value;
}

void ApplyStored(TClass cls, const TPublishStep& step) {
  const bool stored = step.Value != 0;
  PropertyToQualify(cls).IsStored = [stored](TObject*) { return stored; };
}

}  // namespace typinfo_detail

void UnpublishClass(TClass cls) {
  Pending().erase(cls);
  Published().erase(cls);
}

// ---------------------------------------------------------------------------
// Lookups

PPropInfo GetPropInfo(TClass cls, const String& propName) {
  for (TClass c = cls; c; c = c->Parent) {
    if (const TClassData* data = DataOf(c)) {
      for (const auto& p : data->props) {
        if (SameText(p->Name, propName)) return typinfo_detail::Bound(p.get());
      }
    }
  }
  return nullptr;
}

PPropInfo GetPropInfo(const TObject* instance, const String& propName) {
  return GetPropInfo(ClassOf(instance), propName);
}

PPropInfo FindPropInfo(const TObject* instance, const String& propName) {
  PPropInfo p = GetPropInfo(instance, propName);
  if (!p) throw EPropertyError("Unknown property: '%s'", {propName});
  return p;
}

TPropList GetPropInfos(TClass cls) {
  TPropList list;
  for (TClass c : Chain(cls)) {
    const TClassData* data = DataOf(c);
    if (!data) continue;
    for (const auto& p : data->props) {
      auto same = std::find_if(list.begin(), list.end(), [&](PPropInfo q) {
        return SameText(q->Name, p->Name);
      });
      // A descendant publishing an inherited name again keeps its place.
      if (same != list.end()) {
        *same = p.get();
      } else {
        list.push_back(p.get());
      }
    }
  }
  for (PPropInfo p : list) typinfo_detail::Bound(p);
  return list;
}

TPropList GetPropList(TClass cls, TTypeKinds kinds, bool sortByName) {
  TPropList list;
  for (PPropInfo p : GetPropInfos(cls)) {
    if (kinds.Contains(p->Kind())) list.push_back(p);
  }
  if (sortByName) {
    std::stable_sort(list.begin(), list.end(), [](PPropInfo a, PPropInfo b) {
      const String& x = a->Name;
      const String& y = b->Name;
      return std::lexicographical_compare(
          x.begin(), x.end(), y.begin(), y.end(),
          [](char l, char r) { return Upper(l) < Upper(r); });
    });
  }
  return list;
}

TPropList GetPropList(const TObject* instance, TTypeKinds kinds,
                      bool sortByName) {
  return GetPropList(ClassOf(instance), kinds, sortByName);
}

bool IsPublishedProp(const TObject* instance, const String& propName) {
  return GetPropInfo(instance, propName) != nullptr;
}

bool PropIsType(const TObject* instance, const String& propName,
                TTypeKind kind) {
  return PropType(instance, propName) == kind;
}

TTypeKind PropType(const TObject* instance, const String& propName) {
  return FindPropInfo(instance, propName)->Kind();
}

bool IsStoredProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  return prop->IsStored ? prop->IsStored(instance) : true;
}

bool IsStoredProp(TObject* instance, const String& propName) {
  return IsStoredProp(instance, FindPropInfo(instance, propName));
}

// ---------------------------------------------------------------------------
// Ordinal, enumeration and set properties

Int64 GetOrdProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (prop->Kind() == tkInt64 && prop->GetInt64) {
    return prop->GetInt64(instance);
  }
  if (!prop->GetOrd) InvalidType(prop);
  return prop->GetOrd(instance);
}

Int64 GetOrdProp(TObject* instance, const String& propName) {
  return GetOrdProp(instance, FindPropInfo(instance, propName));
}

void SetOrdProp(TObject* instance, PPropInfo prop, Int64 value) {
  Need(prop);
  if (prop->Kind() == tkInt64) {
    SetInt64Prop(instance, prop, value);
    return;
  }
  if (!prop->GetOrd) InvalidType(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  prop->SetOrd(instance, value);
}

void SetOrdProp(TObject* instance, const String& propName, Int64 value) {
  SetOrdProp(instance, FindPropInfo(instance, propName), value);
}

String GetEnumProp(TObject* instance, PPropInfo prop) {
  return GetEnumName(Need(prop)->PropType,
                     static_cast<Integer>(GetOrdProp(instance, prop)));
}

String GetEnumProp(TObject* instance, const String& propName) {
  return GetEnumProp(instance, FindPropInfo(instance, propName));
}

void SetEnumProp(TObject* instance, PPropInfo prop, const String& value) {
  Need(prop);
  if (prop->Kind() != tkEnumeration) InvalidType(prop);
  Integer v = GetEnumValue(prop->PropType, value);
  if (v < 0) {
    throw EPropertyConvertError("Invalid property element: %s", {value});
  }
  SetOrdProp(instance, prop, v);
}

void SetEnumProp(TObject* instance, const String& propName,
                 const String& value) {
  SetEnumProp(instance, FindPropInfo(instance, propName), value);
}

String GetSetProp(TObject* instance, PPropInfo prop, bool brackets) {
  Need(prop);
  if (prop->Kind() != tkSet) InvalidType(prop);
  return SetToString(prop->PropType, GetOrdProp(instance, prop), brackets);
}

String GetSetProp(TObject* instance, const String& propName, bool brackets) {
  return GetSetProp(instance, FindPropInfo(instance, propName), brackets);
}

void SetSetProp(TObject* instance, PPropInfo prop, const String& value) {
  Need(prop);
  if (prop->Kind() != tkSet) InvalidType(prop);
  SetOrdProp(instance, prop, StringToSet(prop->PropType, value));
}

void SetSetProp(TObject* instance, const String& propName,
                const String& value) {
  SetSetProp(instance, FindPropInfo(instance, propName), value);
}

// ---------------------------------------------------------------------------
// Other kinds

String GetStrProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (!prop->GetStr) InvalidType(prop);
  return prop->GetStr(instance);
}

String GetStrProp(TObject* instance, const String& propName) {
  return GetStrProp(instance, FindPropInfo(instance, propName));
}

void SetStrProp(TObject* instance, PPropInfo prop, const String& value) {
  Need(prop);
  if (!prop->GetStr) InvalidType(prop);
  if (!prop->SetStr) ReadOnly(prop);
  prop->SetStr(instance, value);
}

void SetStrProp(TObject* instance, const String& propName,
                const String& value) {
  SetStrProp(instance, FindPropInfo(instance, propName), value);
}

WideString GetWideStrProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (!prop->GetWStr) InvalidType(prop);
  return prop->GetWStr(instance);
}

void SetWideStrProp(TObject* instance, PPropInfo prop,
                    const WideString& value) {
  Need(prop);
  if (!prop->GetWStr) InvalidType(prop);
  if (!prop->SetWStr) ReadOnly(prop);
  prop->SetWStr(instance, value);
}

Extended GetFloatProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (!prop->GetFloat) InvalidType(prop);
  return prop->GetFloat(instance);
}

Extended GetFloatProp(TObject* instance, const String& propName) {
  return GetFloatProp(instance, FindPropInfo(instance, propName));
}

void SetFloatProp(TObject* instance, PPropInfo prop, Extended value) {
  Need(prop);
  if (!prop->GetFloat) InvalidType(prop);
  if (!prop->SetFloat) ReadOnly(prop);
  prop->SetFloat(instance, value);
}

void SetFloatProp(TObject* instance, const String& propName, Extended value) {
  SetFloatProp(instance, FindPropInfo(instance, propName), value);
}

Int64 GetInt64Prop(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (prop->GetInt64) return prop->GetInt64(instance);
  if (prop->Kind() == tkInteger && prop->GetOrd) return prop->GetOrd(instance);
  InvalidType(prop);
}

Int64 GetInt64Prop(TObject* instance, const String& propName) {
  return GetInt64Prop(instance, FindPropInfo(instance, propName));
}

void SetInt64Prop(TObject* instance, PPropInfo prop, Int64 value) {
  Need(prop);
  if (prop->GetInt64) {
    if (!prop->SetInt64) ReadOnly(prop);
    prop->SetInt64(instance, value);
    return;
  }
  if (prop->Kind() == tkInteger && prop->GetOrd) {
    if (!prop->SetOrd) ReadOnly(prop);
    prop->SetOrd(instance, value);
    return;
  }
  InvalidType(prop);
}

void SetInt64Prop(TObject* instance, const String& propName, Int64 value) {
  SetInt64Prop(instance, FindPropInfo(instance, propName), value);
}

TObject* GetObjectProp(TObject* instance, PPropInfo prop, TClass minClass) {
  Need(prop);
  if (!prop->GetObject) InvalidType(prop);
  TObject* obj = prop->GetObject(instance);
  if (obj && minClass && !obj->InheritsFrom(minClass)) return nullptr;
  return obj;
}

TObject* GetObjectProp(TObject* instance, const String& propName,
                       TClass minClass) {
  return GetObjectProp(instance, FindPropInfo(instance, propName), minClass);
}

void SetObjectProp(TObject* instance, PPropInfo prop, TObject* value) {
  Need(prop);
  if (!prop->GetObject) InvalidType(prop);
  if (!prop->SetObject) ReadOnly(prop);
  prop->SetObject(instance, value);
}

void SetObjectProp(TObject* instance, const String& propName, TObject* value) {
  SetObjectProp(instance, FindPropInfo(instance, propName), value);
}

TClass GetObjectPropClass(PPropInfo prop) {
  Need(prop);
  if (prop->Kind() != tkClass) InvalidType(prop);
  return prop->PropType->ClassType;
}

TMethod GetMethodProp(TObject* instance, PPropInfo prop) {
  Need(prop);
  if (!prop->GetMethod) InvalidType(prop);
  return prop->GetMethod(instance);
}

TMethod GetMethodProp(TObject* instance, const String& propName) {
  return GetMethodProp(instance, FindPropInfo(instance, propName));
}

void SetMethodProp(TObject* instance, PPropInfo prop, const TMethod& value) {
  Need(prop);
  if (!prop->GetMethod) InvalidType(prop);
  if (!prop->SetMethod) ReadOnly(prop);
  prop->SetMethod(instance, value);
}

void SetMethodProp(TObject* instance, const String& propName,
                   const TMethod& value) {
  SetMethodProp(instance, FindPropInfo(instance, propName), value);
}

void GetVariantProp(TObject* instance, PPropInfo prop, Variant& out) {
  Need(prop);
  if (!prop->GetVariant) InvalidType(prop);
  prop->GetVariant(instance, &out);
}

void SetVariantProp(TObject* instance, PPropInfo prop, const Variant& value) {
  Need(prop);
  if (!prop->GetVariant) InvalidType(prop);
  if (!prop->SetVariant) ReadOnly(prop);
  prop->SetVariant(instance, &value);
}

// ---------------------------------------------------------------------------
// Published methods

TMethod MethodAddress(TObject* instance, const String& methodName) {
  for (TClass c = ClassOf(instance); c; c = c->Parent) {
    if (const TClassData* data = DataOf(c)) {
      for (const auto& m : data->methods) {
        if (SameText(m->Name, methodName)) return m->Bind(instance);
      }
    }
  }
  return TMethod();
}

String MethodName(TObject* instance, const TMethod& method) {
  if (!method.Assigned() || !instance) return String();
  for (TClass c = instance->ClassType(); c; c = c->Parent) {
    if (const TClassData* data = DataOf(c)) {
      for (const auto& m : data->methods) {
        if (*m->Signature != *method.Signature()) continue;
        if (m->Bind(instance) == method) return m->Name;
      }
    }
  }
  return String();
}

std::vector<const TMethodInfo*> GetMethodInfos(TClass cls) {
  std::vector<const TMethodInfo*> list;
  for (TClass c : Chain(cls)) {
    if (const TClassData* data = DataOf(c)) {
      for (const auto& m : data->methods) list.push_back(m.get());
    }
  }
  return list;
}

// ---------------------------------------------------------------------------
// Enumeration and set names

String GetEnumName(PTypeInfo typeInfo, Integer value) {
  if (!typeInfo) return String();
  if (typeInfo->Kind == tkEnumeration) {
    if (value < 0 ||
        static_cast<std::size_t>(value) >= typeInfo->EnumNames.size()) {
      return String();
    }
    return typeInfo->EnumNames[static_cast<std::size_t>(value)];
  }
  return std::to_string(value);
}

Integer GetEnumValue(PTypeInfo typeInfo, const String& name) {
  if (!typeInfo || typeInfo->Kind != tkEnumeration) return -1;
  for (std::size_t i = 0; i < typeInfo->EnumNames.size(); ++i) {
    if (SameText(typeInfo->EnumNames[i], name)) return static_cast<Integer>(i);
  }
  return -1;
}

String SetToString(PTypeInfo typeInfo, Int64 value, bool brackets) {
  PTypeInfo elem = EnumTypeOf(typeInfo);
  String result;
  const std::size_t count = elem ? elem->EnumNames.size() : 0;
  // Bits beyond the enumeration's names have no text and are left out.
  for (std::size_t bit = 0; bit < count && bit < 64; ++bit) {
    if ((static_cast<UInt64>(value) >> bit) & 1u) {
      if (!result.empty()) result += ',';
      result += elem->EnumNames[bit];
    }
  }
  return brackets ? "[" + result + "]" : result;
}

String SetToString(PPropInfo prop, Int64 value, bool brackets) {
  return SetToString(Need(prop)->PropType, value, brackets);
}

Int64 StringToSet(PTypeInfo typeInfo, const String& value) {
  PTypeInfo elem = EnumTypeOf(typeInfo);
  String text = TrimBlanks(value);
  if (!text.empty() && text.front() == '[') text.erase(0, 1);
  if (!text.empty() && text.back() == ']') text.pop_back();
  UInt64 mask = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == String::npos) comma = text.size();
    String name = TrimBlanks(text.substr(start, comma - start));
    if (!name.empty()) {
      Integer v = GetEnumValue(elem, name);
      if (v < 0 || v >= 64) {
        throw EPropertyConvertError("Invalid property element: %s", {name});
      }
      mask |= UInt64{1} << v;
    }
    start = comma + 1;
  }
  return static_cast<Int64>(mask);
}

Int64 StringToSet(PPropInfo prop, const String& value) {
  return StringToSet(Need(prop)->PropType, value);
}
