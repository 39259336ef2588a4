// Published-property metadata: what a class exposes to form streams, object
// storage and settings resources. Each class registers its published
// properties, events and methods in its unit's start-up step:
//
//   RegisterEnum<TAlign>("TAlign", {"alNone", "alTop", ...});
//   TPublished<TMyComp>()
//       .Property("Caption", &TMyComp::GetCaption, &TMyComp::SetCaption)
//       .Property("Align", &TMyComp::GetAlign, &TMyComp::SetAlign, alNone)
//       .Property("Font", &TMyComp::GetFont, &TMyComp::SetFont)
//       .Stored(&TMyComp::IsFontStored)
//       .Event("OnClick", &TMyComp::FOnClick)
//       .Method("btnOkClick", &TMyForm::btnOkClick);
//
// Getters may be const member functions or data members; setters may be
// member functions taking the value (by value or const reference), data
// members, or nullptr for read-only properties. The property's type is
// deduced from the getter.
#pragma once

#include <any>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <typeinfo>
#include <vector>

#include "System.h"

// ---------------------------------------------------------------------------
// Sets over an enumeration
// ---------------------------------------------------------------------------

// A set of up to 64 values of an enumeration whose values start at 0. The
// integer mask (bit n = value n) is what streams and the property layer use.
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet needs an enumeration");

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) mask_ |= Bit(v);
  }
  static constexpr TSet FromInt(UInt64 mask) {
    TSet s;
    s.mask_ = mask;
    return s;
  }
  constexpr UInt64 ToInt() const { return mask_; }

  constexpr bool Contains(E v) const { return (mask_ & Bit(v)) != 0; }
  constexpr TSet& Include(E v) {
    mask_ |= Bit(v);
    return *this;
  }
  constexpr TSet& Exclude(E v) {
    mask_ &= ~Bit(v);
    return *this;
  }
  constexpr bool Empty() const { return mask_ == 0; }

  friend constexpr TSet operator+(TSet a, TSet b) {
    return FromInt(a.mask_ | b.mask_);
  }
  friend constexpr TSet operator-(TSet a, TSet b) {
    return FromInt(a.mask_ & ~b.mask_);
  }
  friend constexpr TSet operator*(TSet a, TSet b) {
    return FromInt(a.mask_ & b.mask_);
  }
  TSet& operator+=(TSet o) { return *this = *this + o; }
  TSet& operator-=(TSet o) { return *this = *this - o; }
  TSet& operator*=(TSet o) { return *this = *this * o; }
  friend constexpr bool operator==(TSet a, TSet b) {
    return a.mask_ == b.mask_;
  }
  friend constexpr bool operator!=(TSet a, TSet b) {
    return a.mask_ != b.mask_;
  }
  // Subset test (a <= b: every element of a is in b).
  friend constexpr bool operator<=(TSet a, TSet b) {
    return (a.mask_ & ~b.mask_) == 0;
  }

 private:
  static constexpr UInt64 Bit(E v) {
    return UInt64{1} << static_cast<unsigned>(v);
  }
  UInt64 mask_ = 0;
};

// ---------------------------------------------------------------------------
// Type information
// ---------------------------------------------------------------------------

enum TTypeKind : Byte {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
};
using TTypeKinds = TSet<TTypeKind>;

inline const TTypeKinds tkAny{
    tkUnknown, tkInteger, tkChar,   tkEnumeration, tkFloat,   tkString,
    tkSet,     tkClass,   tkMethod, tkWChar,       tkLString, tkWString,
    tkVariant, tkArray,   tkRecord, tkInterface,   tkInt64,   tkDynArray};
inline const TTypeKinds tkMethods{tkMethod};
inline const TTypeKinds tkProperties =
    tkAny - tkMethods - TTypeKinds{tkUnknown};

enum TOrdType : Byte { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType : Byte { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TTypeInfo;
using PTypeInfo = const TTypeInfo*;

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  // Ordinal kinds (integer, char, enumeration, int64).
  TOrdType OrdType = otSLong;
  Int64 MinValue = 0;
  Int64 MaxValue = 0;
  // tkEnumeration: the value names, index = ordinal value.
  std::vector<String> EnumNames;
  // tkSet: the element type (an enumeration).
  PTypeInfo CompType = nullptr;
  // tkFloat.
  TFloatType FloatType = ftDouble;
  // tkClass: the declared class of the property.
  TClass ClassType = nullptr;
  // tkMethod: identity of the closure's signature (typeid of R(A...)).
  const std::type_info* MethodSignature = nullptr;
};

// A closure with its type erased, as the property layer moves events around.
// Holds a TClosure<Sig>; Signature identifies Sig.
class TMethod {
 public:
  TMethod() = default;
  template <class Sig>
  TMethod(const TClosure<Sig>& closure)  // NOLINT: implicit by design
      : signature_(&typeid(Sig)), data_(closure.Data()) {
    if (closure.Assigned()) {
      closure_ = closure;
      equals_ = [](const std::any& a, const std::any& b) {
        return std::any_cast<const TClosure<Sig>&>(a) ==
               std::any_cast<const TClosure<Sig>&>(b);
      };
    }
  }

  bool Assigned() const { return closure_.has_value(); }
  // The object the method is called on.
  void* Data() const { return data_; }
  // typeid of the closure's signature; null for a default-constructed value.
  const std::type_info* Signature() const { return signature_; }

  // The closure back; raises EInvalidCast when the signature differs.
  // An unassigned method gives an unassigned closure.
  template <class Sig>
  TClosure<Sig> As() const {
    if (!Assigned()) return TClosure<Sig>();
    if (!signature_ || *signature_ != typeid(Sig)) {
      throw EInvalidCast("Invalid method type cast");
    }
    return std::any_cast<const TClosure<Sig>&>(closure_);
  }

  // Same object and same method (two unassigned methods are equal).
  friend bool operator==(const TMethod& a, const TMethod& b) {
    if (!a.Assigned() || !b.Assigned()) return a.Assigned() == b.Assigned();
    if (*a.signature_ != *b.signature_) return false;
    return a.equals_(a.closure_, b.closure_);
  }
  friend bool operator!=(const TMethod& a, const TMethod& b) {
    return !(a == b);
  }

 private:
  std::any closure_;
  const std::type_info* signature_ = nullptr;
  void* data_ = nullptr;
  bool (*equals_)(const std::any&, const std::any&) = nullptr;
};

// "No default" for ordinal properties: they are always stored.
constexpr Integer NoDefault = static_cast<Integer>(0x80000000u);
// Index of a property that is not indexed.
constexpr Integer NoIndex = static_cast<Integer>(0x80000000u);

struct TPropInfo;

namespace typinfo_detail {

// The member pointers of a property's accessors, as their bytes.
struct TAccessorBytes {
  alignas(8) unsigned char Getter[16] = {};
  alignas(8) unsigned char Setter[16] = {};
};
using TBindAccessors = void (*)(TPropInfo& prop,
                                const TAccessorBytes& accessors);

// One step of a class's publication (a property, a default, a stored rule,
// a method), kept until the class is first looked up. Binding a property's
// accessors runs code made for that class and accessor type; a program
// publishes a thousand or more properties at start-up and reads a few
// dozen of them before its window shows. So a lookup of the class enters
// its properties by name, and each property's accessors are bound when a
// lookup first hands that property out.
struct TPublishStep {
  using TApply = void (*)(TClass cls, const TPublishStep& step);
  TApply Apply = nullptr;         // qualifiers and methods
  TBindAccessors Bind = nullptr;  // properties
  String Name;
  Integer Index = NoIndex;
  Integer Value = 0;
  TAccessorBytes Accessors;
};

}  // namespace typinfo_detail

// One published property. The accessors are type-erased per carrier type;
// only those of the property's kind are set.
struct TPropInfo {
  String Name;
  PTypeInfo PropType = nullptr;
  TClass OwnerClass = nullptr;  // the class that published it
  Integer Index = NoIndex;
  Integer Default = NoDefault;  // ordinal kinds only
  Integer NameIndex = 0;        // position among the properties of the class

  // tkInteger, tkChar, tkWChar, tkEnumeration, tkSet (the set's mask).
  std::function<Int64(TObject*)> GetOrd;
  std::function<void(TObject*, Int64)> SetOrd;
  // tkInt64.
  std::function<Int64(TObject*)> GetInt64;
  std::function<void(TObject*, Int64)> SetInt64;
  // tkFloat.
  std::function<Extended(TObject*)> GetFloat;
  std::function<void(TObject*, Extended)> SetFloat;
  // tkLString / tkString.
  std::function<String(TObject*)> GetStr;
  std::function<void(TObject*, const String&)> SetStr;
  // tkWString.
  std::function<WideString(TObject*)> GetWStr;
  std::function<void(TObject*, const WideString&)> SetWStr;
  // tkClass.
  std::function<TObject*(TObject*)> GetObject;
  std::function<void(TObject*, TObject*)> SetObject;
  // tkMethod.
  std::function<TMethod(TObject*)> GetMethod;
  std::function<void(TObject*, const TMethod&)> SetMethod;
  // tkVariant: the Variant is passed by pointer so this header does not need
  // its definition.
  std::function<void(TObject*, Variant*)> GetVariant;
  std::function<void(TObject*, const Variant*)> SetVariant;
  // Whether the value is written to a form stream; unset means always.
  std::function<bool(TObject*)> IsStored;

  TTypeKind Kind() const { return PropType ? PropType->Kind : tkUnknown; }
  bool Writable() const;

  // Until a lookup first hands the property out: how its accessors and type
  // are bound (then cleared).
  typinfo_detail::TBindAccessors PendingBind = nullptr;
  typinfo_detail::TAccessorBytes PendingAccessors;
};
using PPropInfo = const TPropInfo*;
using TPropList = std::vector<PPropInfo>;

// One published method, bindable to an instance of its class by name.
struct TMethodInfo {
  String Name;
  TClass OwnerClass = nullptr;
  const std::type_info* Signature = nullptr;
  std::function<TMethod(TObject*)> Bind;
};

// ---------------------------------------------------------------------------
// Deducing type information from C++ types
// ---------------------------------------------------------------------------

namespace typinfo_detail {

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {
  using Element = E;
};

template <class T>
struct IsClosure : std::false_type {};
template <class Sig>
struct IsClosure<TClosure<Sig>> : std::true_type {
  using Signature = Sig;
};

template <class T>
struct IsObjectPointer : std::false_type {};
template <class U>
struct IsObjectPointer<U*> : std::is_base_of<TObject, U> {
  using Class = U;
};

// One slot per C++ type, so registration order does not matter: a property
// can be published before its enumeration's names are registered.
template <class T>
TTypeInfo& Slot() {
  static TTypeInfo info;
  return info;
}

void InitOrdinal(TTypeInfo& info, TTypeKind kind, const char* name,
                 TOrdType ordType, Int64 minValue, Int64 maxValue);

template <class T>
void Fill(TTypeInfo& info) {
  if constexpr (std::is_same_v<T, bool>) {
    info.Kind = tkEnumeration;
    info.Name = "Boolean";
    info.OrdType = otUByte;
    info.MinValue = 0;
    info.MaxValue = 1;
    info.EnumNames = {"False", "True"};
  } else if constexpr (std::is_same_v<T, char>) {
    InitOrdinal(info, tkChar, "Char", otUByte, 0, 255);
  } else if constexpr (std::is_same_v<T, char16_t>) {
    InitOrdinal(info, tkWChar, "WideChar", otUWord, 0, 65535);
  } else if constexpr (std::is_same_v<T, Int64> || std::is_same_v<T, UInt64> ||
                       (std::is_integral_v<T> && sizeof(T) > 4)) {
    info.Kind = tkInt64;
    info.Name = "Int64";
    info.MinValue = INT64_MIN;
    info.MaxValue = INT64_MAX;
  } else if constexpr (std::is_integral_v<T>) {
    constexpr bool s = std::is_signed_v<T>;
    constexpr TOrdType ot = sizeof(T) == 1   ? (s ? otSByte : otUByte)
                            : sizeof(T) == 2 ? (s ? otSWord : otUWord)
                                             : (s ? otSLong : otULong);
    const char* name = sizeof(T) == 1   ? (s ? "Shortint" : "Byte")
                       : sizeof(T) == 2 ? (s ? "Smallint" : "Word")
                                        : (s ? "Integer" : "Cardinal");
    InitOrdinal(info, tkInteger, name, ot,
                static_cast<Int64>(std::numeric_limits<T>::min()),
                static_cast<Int64>(std::numeric_limits<T>::max()));
  } else if constexpr (std::is_same_v<T, float>) {
    info.Kind = tkFloat;
    info.Name = "Single";
    info.FloatType = ftSingle;
  } else if constexpr (std::is_same_v<T, double>) {
    info.Kind = tkFloat;
    info.Name = "Double";
    info.FloatType = ftDouble;
  } else if constexpr (std::is_same_v<T, long double>) {
    info.Kind = tkFloat;
    info.Name = "Extended";
    info.FloatType = ftExtended;
  } else if constexpr (std::is_same_v<T, Currency>) {
    info.Kind = tkFloat;
    info.Name = "Currency";
    info.FloatType = ftCurr;
  } else if constexpr (std::is_same_v<T, String>) {
    info.Kind = tkLString;
    info.Name = "AnsiString";
  } else if constexpr (std::is_same_v<T, WideString>) {
    info.Kind = tkWString;
    info.Name = "WideString";
  } else if constexpr (std::is_same_v<T, Variant>) {
    info.Kind = tkVariant;
    info.Name = "Variant";
  } else if constexpr (std::is_enum_v<T>) {
    // Names come from RegisterEnum.
    info.Kind = tkEnumeration;
    info.OrdType = otUByte;
  } else if constexpr (IsSet<T>::value) {
    info.Kind = tkSet;
  } else if constexpr (IsObjectPointer<T>::value) {
    info.Kind = tkClass;
    info.ClassType = IsObjectPointer<T>::Class::StaticClass();
    info.Name = info.ClassType->Name;
  } else if constexpr (IsClosure<T>::value) {
    info.Kind = tkMethod;
    info.MethodSignature = &typeid(typename IsClosure<T>::Signature);
  } else {
    static_assert(sizeof(T) == 0, "type cannot be published");
  }
}

}  // namespace typinfo_detail

// The type information of a C++ type (stable pointer, filled on first use).
template <class T>
PTypeInfo TypeInfo() {
  using U = std::remove_cv_t<std::remove_reference_t<T>>;
  TTypeInfo& info = typinfo_detail::Slot<U>();
  if (info.Kind == tkUnknown) typinfo_detail::Fill<U>(info);
  if constexpr (typinfo_detail::IsSet<U>::value) {
    if (!info.CompType) {
      info.CompType = TypeInfo<typename typinfo_detail::IsSet<U>::Element>();
    }
  }
  return &info;
}

// Declares the value names of an enumeration (ordinal 0 first).
template <class E>
PTypeInfo RegisterEnum(const String& typeName,
                       std::initializer_list<const char*> names) {
  static_assert(std::is_enum_v<E>);
  TTypeInfo& info = const_cast<TTypeInfo&>(*TypeInfo<E>());
  info.Name = typeName;
  info.EnumNames.assign(names.begin(), names.end());
  info.MinValue = 0;
  info.MaxValue = static_cast<Int64>(info.EnumNames.size()) - 1;
  info.OrdType = info.EnumNames.size() <= 256     ? otUByte
                 : info.EnumNames.size() <= 65536 ? otUWord
                                                  : otULong;
  return &info;
}

// Names a type whose name cannot be deduced (sets, events, ...).
template <class T>
PTypeInfo RegisterTypeName(const String& typeName) {
  TTypeInfo& info = const_cast<TTypeInfo&>(*TypeInfo<T>());
  info.Name = typeName;
  return &info;
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

namespace typinfo_detail {

// Adds a property to its class; replaces an inherited one of the same name
// (a descendant re-publishing it) at the inherited position.
TPropInfo& AddProperty(TClass cls, TPropInfo info);
void AddMethod(TClass cls, TMethodInfo info);
TPropInfo* LastProperty(TClass cls);

template <class T>
T& Instance(TObject* obj, const char* name) {
  T* t = dynamic_cast<T*>(obj);
  if (!t) throw EInvalidCast("Invalid class for property %s", {name});
  return *t;
}

template <class G, class T>
using GetterResult =
    std::remove_cv_t<std::remove_reference_t<std::invoke_result_t<G, T&>>>;

template <class V>
Int64 ToOrd(const V& v) {
  if constexpr (IsSet<V>::value) {
    return static_cast<Int64>(v.ToInt());
  } else {
    return static_cast<Int64>(v);
  }
}

template <class V>
V FromOrd(Int64 v) {
  if constexpr (IsSet<V>::value) {
    return V::FromInt(static_cast<UInt64>(v));
  } else if constexpr (std::is_same_v<V, bool>) {
    return v != 0;
  } else {
    return static_cast<V>(v);
  }
}

// Binds getter and setter; `index` is passed to indexed accessors.
template <class T, class V, class G, class S>
void Bind(TPropInfo& p, G getter, S setter) {
  const String pname = p.Name;
  const Integer index = p.Index;
  auto get = [getter, pname, index](TObject* o) -> V {
    T& t = Instance<T>(o, pname.c_str());
    if constexpr (std::is_invocable_v<G, T&, Integer> &&
                  !std::is_invocable_v<G, T&>) {
      return std::invoke(getter, t, index);
    } else {
      (void)index;
      return std::invoke(getter, t);
    }
  };
  std::function<void(TObject*, const V&)> set;
  if constexpr (!std::is_same_v<S, std::nullptr_t>) {
    set = [setter, pname, index](TObject* o, const V& v) {
      T& t = Instance<T>(o, pname.c_str());
      if constexpr (std::is_member_object_pointer_v<S>) {
        (void)index;
        std::invoke(setter, t) = v;
      } else if constexpr (std::is_invocable_v<S, T&, Integer, const V&>) {
        std::invoke(setter, t, index, v);
      } else {
        (void)index;
        std::invoke(setter, t, v);
      }
    };
  }
  PTypeInfo ti = p.PropType;
  switch (ti->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      if constexpr (std::is_integral_v<V> || std::is_enum_v<V> ||
                    IsSet<V>::value) {
        p.GetOrd = [get](TObject* o) { return ToOrd(get(o)); };
        if (set) {
          p.SetOrd = [set](TObject* o, Int64 v) { set(o, FromOrd<V>(v)); };
        }
      }
      break;
    case tkInt64:
      if constexpr (std::is_integral_v<V>) {
        p.GetInt64 = [get](TObject* o) { return static_cast<Int64>(get(o)); };
        if (set) {
          p.SetInt64 = [set](TObject* o, Int64 v) {
            set(o, static_cast<V>(v));
          };
        }
      }
      break;
    case tkFloat:
      if constexpr (std::is_same_v<V, Currency>) {
        p.GetFloat = [get](TObject* o) {
          return static_cast<Extended>(get(o).Value) / 10000;
        };
        if (set) {
          p.SetFloat = [set](TObject* o, Extended v) {
            Extended scaled = v * 10000;
            set(o, Currency::FromScaled(static_cast<Int64>(
                       scaled < 0 ? scaled - 0.5L : scaled + 0.5L)));
          };
        }
      } else if constexpr (std::is_floating_point_v<V>) {
        p.GetFloat = [get](TObject* o) {
          return static_cast<Extended>(get(o));
        };
        if (set) {
          p.SetFloat = [set](TObject* o, Extended v) {
            set(o, static_cast<V>(v));
          };
        }
      }
      break;
    case tkLString:
    case tkString:
      if constexpr (std::is_same_v<V, String>) {
        p.GetStr = get;
        if (set) p.SetStr = set;
      }
      break;
    case tkWString:
      if constexpr (std::is_same_v<V, WideString>) {
        p.GetWStr = get;
        if (set) p.SetWStr = set;
      }
      break;
    case tkClass:
      if constexpr (IsObjectPointer<V>::value) {
        using C = typename IsObjectPointer<V>::Class;
        p.GetObject = [get](TObject* o) -> TObject* { return get(o); };
        if (set) {
          p.SetObject = [set, pname](TObject* o, TObject* v) {
            C* c = dynamic_cast<C*>(v);
            if (v && !c) {
              throw EPropertyError("Invalid property value for %s: %s",
                                   {pname, v->ClassName()});
            }
            set(o, c);
          };
        }
      }
      break;
    case tkMethod:
      if constexpr (IsClosure<V>::value) {
        using Sig = typename IsClosure<V>::Signature;
        p.GetMethod = [get](TObject* o) { return TMethod(get(o)); };
        if (set) {
          p.SetMethod = [set, pname](TObject* o, const TMethod& m) {
            if (m.Assigned() && *m.Signature() != typeid(Sig)) {
              throw EPropertyError("Method does not match the type of event %s",
                                   {pname});
            }
            set(o, m.template As<Sig>());
          };
        }
      }
      break;
    case tkVariant:
      if constexpr (std::is_same_v<V, Variant>) {
        p.GetVariant = [get](TObject* o, Variant* out) { *out = get(o); };
        if (set) {
          p.SetVariant = [set](TObject* o, const Variant* v) { set(o, *v); };
        }
      }
      break;
    default:
      break;
  }
}

// Not templates, so that what a unit's start-up runs per property is one
// call with its arguments.
void AddPropertyStep(TClass cls, TBindAccessors bind, const String& name,
                     Integer index, const void* getter, std::size_t getterSize,
                     const void* setter, std::size_t setterSize);
void AddMethodStep(TClass cls, TPublishStep::TApply apply, const String& name,
                   const void* method, std::size_t methodSize);
void AddQualifierStep(TClass cls, TPublishStep::TApply apply, Integer value,
                      const void* member = nullptr, std::size_t memberSize = 0);
// Raises EPropertyError "No property to qualify" when the class has no
// property, published or waiting, for Default or Stored to qualify.
void NeedPropertyToQualify(TClass cls);
// The property Default and Stored qualify (the one published last); raises
// the same error when there is none.
TPropInfo& PropertyToQualify(TClass cls);
// Carries out the steps waiting for the class (lookups do this themselves).
void PublishPending(TClass cls);
// Binds the property's accessors when they are still waiting; every lookup
// passes what it hands out through this.
PPropInfo Bound(const TPropInfo* prop);
void ApplyDefault(TClass cls, const TPublishStep& step);
void ApplyStored(TClass cls, const TPublishStep& step);

template <class M>
inline constexpr bool IsStorableMember = std::is_trivially_copyable_v<M> &&
                                         sizeof(M) <= 16;

template <class M>
M LoadMember(const unsigned char (&bytes)[16]) {
  M member{};
  std::memcpy(static_cast<void*>(&member), bytes, sizeof(M));
  return member;
}

}  // namespace typinfo_detail

// Publishes properties, events and methods of class T. Each call appends in
// declaration order; Stored/Default apply to the property added last. What
// is published takes effect when the class is first looked up.
template <class T>
class TPublished {
  using TStep = typinfo_detail::TPublishStep;

 public:
  TPublished() : cls_(T::StaticClass()) {}

  template <class G, class S = std::nullptr_t>
  TPublished& Property(const String& name, G getter, S setter = nullptr) {
    return Record<G, S>(name, getter, setter, NoIndex);
  }
  // With a default value (ordinal kinds: integers, enumerations, bool, sets).
  template <class G, class S, class D>
  TPublished& Property(const String& name, G getter, S setter, D defaultValue) {
    Record<G, S>(name, getter, setter, NoIndex);
    return Default(static_cast<Integer>(typinfo_detail::ToOrd(defaultValue)));
  }
  // An indexed property: the getter takes (Integer index), the setter
  // (Integer index, value).
  template <class G, class S = std::nullptr_t>
  TPublished& IndexedProperty(const String& name, Integer index, G getter,
                              S setter = nullptr) {
    return Record<G, S>(name, getter, setter, index);
  }
  // Events are properties of closure type.
  template <class G, class S = std::nullptr_t>
  TPublished& Event(const String& name, G getter, S setter = nullptr) {
    return Property(name, getter, setter);
  }
  // A data member both reads and writes the property.
  template <class V, class C>
  TPublished& Field(const String& name, V C::*field) {
    static_assert(std::is_base_of_v<C, T>);
    return Property(name, field, field);
  }
  template <class V, class C, class D>
  TPublished& Field(const String& name, V C::*field, D defaultValue) {
    static_assert(std::is_base_of_v<C, T>);
    return Property(name, field, field, defaultValue);
  }

  TPublished& Default(Integer value) {
    typinfo_detail::NeedPropertyToQualify(cls_);
    typinfo_detail::AddQualifierStep(cls_, &typinfo_detail::ApplyDefault,
                                     value);
    return *this;
  }
  TPublished& NoDefaultValue() { return Default(NoDefault); }
  TPublished& Stored(bool stored) {
    typinfo_detail::NeedPropertyToQualify(cls_);
    typinfo_detail::AddQualifierStep(cls_, &typinfo_detail::ApplyStored,
                                     stored ? 1 : 0);
    return *this;
  }
  template <class C>
  TPublished& Stored(bool (C::*pred)() const) {
    static_assert(typinfo_detail::IsStorableMember<decltype(pred)>);
    typinfo_detail::NeedPropertyToQualify(cls_);
    typinfo_detail::AddQualifierStep(cls_, &ApplyStoredBy<C>, 0, &pred,
                                     sizeof pred);
    return *this;
  }

  // A published method, found by name when form streams bind events.
  template <class M, class R, class... A>
  TPublished& Method(const String& name, R (M::*method)(A...)) {
    static_assert(std::is_base_of_v<M, T>);
    static_assert(typinfo_detail::IsStorableMember<decltype(method)>);
    typinfo_detail::AddMethodStep(cls_, &ApplyMethod<M, R, A...>, name, &method,
                                  sizeof method);
    return *this;
  }

 private:
  template <class G, class S>
  TPublished& Record(const String& name, const G& getter, const S& setter,
                     Integer index) {
    static_assert(typinfo_detail::IsStorableMember<G> &&
                      typinfo_detail::IsStorableMember<S>,
                  "accessors must be member pointers or nullptr");
    typinfo_detail::AddPropertyStep(cls_, &BindProperty<G, S>, name, index,
                                    &getter, sizeof(G), &setter, sizeof(S));
    return *this;
  }

  template <class C>
  static void ApplyStoredBy(TClass cls, const TStep& step) {
    using TPred = bool (C::*)() const;
    const TPred pred = typinfo_detail::LoadMember<TPred>(step.Accessors.Getter);
    TPropInfo& p = typinfo_detail::PropertyToQualify(cls);
    const String pname = p.Name;
    p.IsStored = [pred, pname](TObject* o) {
      return (typinfo_detail::Instance<T>(o, pname.c_str()).*pred)();
    };
  }

  template <class M, class R, class... A>
  static void ApplyMethod(TClass cls, const TStep& step) {
    using TMember = R (M::*)(A...);
    const TMember method =
        typinfo_detail::LoadMember<TMember>(step.Accessors.Getter);
    TMethodInfo m;
    m.Name = step.Name;
    m.OwnerClass = cls;
    m.Signature = &typeid(R(A...));
    m.Bind = [method, name = step.Name](TObject* o) {
      T& t = typinfo_detail::Instance<T>(o, name.c_str());
      return TMethod(TClosure<R(A...)>(&t, method));
    };
    typinfo_detail::AddMethod(cls, std::move(m));
  }

  template <class G, class S>
  static void BindProperty(TPropInfo& p,
                           const typinfo_detail::TAccessorBytes& accessors) {
    const G getter = typinfo_detail::LoadMember<G>(accessors.Getter);
    const S setter = typinfo_detail::LoadMember<S>(accessors.Setter);
    if constexpr (std::is_invocable_v<G, T&, Integer> &&
                  !std::is_invocable_v<G, T&>) {
      using R = std::remove_cv_t<
          std::remove_reference_t<std::invoke_result_t<G, T&, Integer>>>;
      p.PropType = TypeInfo<R>();
      typinfo_detail::Bind<T, R>(p, getter, setter);
    } else {
      using R = typinfo_detail::GetterResult<G, T>;
      p.PropType = TypeInfo<R>();
      typinfo_detail::Bind<T, R>(p, getter, setter);
    }
  }

  TClass cls_;
};

// Removes everything published for a class (unit shut-down, tests).
void UnpublishClass(TClass cls);

// ---------------------------------------------------------------------------
// Lookups (names compare without regard to case)
// ---------------------------------------------------------------------------

// Null when there is no such property.
PPropInfo GetPropInfo(TClass cls, const String& propName);
PPropInfo GetPropInfo(const TObject* instance, const String& propName);
// Like GetPropInfo, but raises EPropertyError "Unknown property: '%s'".
PPropInfo FindPropInfo(const TObject* instance, const String& propName);

// Declaration order, the parent class's properties first.
TPropList GetPropInfos(TClass cls);
TPropList GetPropList(TClass cls, TTypeKinds kinds = tkAny,
                      bool sortByName = false);
TPropList GetPropList(const TObject* instance, TTypeKinds kinds = tkAny,
                      bool sortByName = false);
bool IsPublishedProp(const TObject* instance, const String& propName);
bool PropIsType(const TObject* instance, const String& propName,
                TTypeKind kind);
TTypeKind PropType(const TObject* instance, const String& propName);
bool IsStoredProp(TObject* instance, PPropInfo prop);
bool IsStoredProp(TObject* instance, const String& propName);

// Ordinal properties (integer, char, enumeration, set as a bit mask).
Int64 GetOrdProp(TObject* instance, PPropInfo prop);
Int64 GetOrdProp(TObject* instance, const String& propName);
void SetOrdProp(TObject* instance, PPropInfo prop, Int64 value);
void SetOrdProp(TObject* instance, const String& propName, Int64 value);

String GetEnumProp(TObject* instance, PPropInfo prop);
String GetEnumProp(TObject* instance, const String& propName);
// Raises EPropertyConvertError for a name the enumeration lacks.
void SetEnumProp(TObject* instance, PPropInfo prop, const String& value);
void SetEnumProp(TObject* instance, const String& propName,
                 const String& value);

// Set text: "a,b" or, with brackets, "[a,b]".
String GetSetProp(TObject* instance, PPropInfo prop, bool brackets = false);
String GetSetProp(TObject* instance, const String& propName,
                  bool brackets = false);
void SetSetProp(TObject* instance, PPropInfo prop, const String& value);
void SetSetProp(TObject* instance, const String& propName, const String& value);

// Strings (tkLString) and wide strings (tkWString).
String GetStrProp(TObject* instance, PPropInfo prop);
String GetStrProp(TObject* instance, const String& propName);
void SetStrProp(TObject* instance, PPropInfo prop, const String& value);
void SetStrProp(TObject* instance, const String& propName, const String& value);
WideString GetWideStrProp(TObject* instance, PPropInfo prop);
void SetWideStrProp(TObject* instance, PPropInfo prop, const WideString& value);

Extended GetFloatProp(TObject* instance, PPropInfo prop);
Extended GetFloatProp(TObject* instance, const String& propName);
void SetFloatProp(TObject* instance, PPropInfo prop, Extended value);
void SetFloatProp(TObject* instance, const String& propName, Extended value);

Int64 GetInt64Prop(TObject* instance, PPropInfo prop);
Int64 GetInt64Prop(TObject* instance, const String& propName);
void SetInt64Prop(TObject* instance, PPropInfo prop, Int64 value);
void SetInt64Prop(TObject* instance, const String& propName, Int64 value);

TObject* GetObjectProp(TObject* instance, PPropInfo prop,
                       TClass minClass = nullptr);
TObject* GetObjectProp(TObject* instance, const String& propName,
                       TClass minClass = nullptr);
// Raises EPropertyError when value is not of the property's class.
void SetObjectProp(TObject* instance, PPropInfo prop, TObject* value);
void SetObjectProp(TObject* instance, const String& propName, TObject* value);
// The declared class of a class-typed property.
TClass GetObjectPropClass(PPropInfo prop);

TMethod GetMethodProp(TObject* instance, PPropInfo prop);
TMethod GetMethodProp(TObject* instance, const String& propName);
// Raises EPropertyError when the method's signature is not the event's.
void SetMethodProp(TObject* instance, PPropInfo prop, const TMethod& value);
void SetMethodProp(TObject* instance, const String& propName,
                   const TMethod& value);

// Variant properties (need Variants.h for the Variant itself).
void GetVariantProp(TObject* instance, PPropInfo prop, Variant& out);
void SetVariantProp(TObject* instance, PPropInfo prop, const Variant& value);

// ---------------------------------------------------------------------------
// Published methods
// ---------------------------------------------------------------------------

// The published method of that name bound to instance; unassigned when the
// class (or an ancestor) publishes none of that name.
TMethod MethodAddress(TObject* instance, const String& methodName);
// The name under which instance's class publishes the method; "" when the
// method is not a published method of instance.
String MethodName(TObject* instance, const TMethod& method);
// The published methods of a class, ancestors first.
std::vector<const TMethodInfo*> GetMethodInfos(TClass cls);

// ---------------------------------------------------------------------------
// Enumeration and set names
// ---------------------------------------------------------------------------

// The name of an enumeration value ("" when out of range); for an integer
// type the value as decimal text.
String GetEnumName(PTypeInfo typeInfo, Integer value);
// The value of a name (any case); -1 when the enumeration has none.
Integer GetEnumValue(PTypeInfo typeInfo, const String& name);
// typeInfo is the set type (or its element enumeration).
String SetToString(PTypeInfo typeInfo, Int64 value, bool brackets = false);
String SetToString(PPropInfo prop, Int64 value, bool brackets = false);
// Accepts "a,b", "[a, b]", "[]"; raises EPropertyConvertError "Invalid
// property element: %s" for an unknown name.
Int64 StringToSet(PTypeInfo typeInfo, const String& value);
Int64 StringToSet(PPropInfo prop, const String& value);

template <class E>
String GetEnumName(E value) {
  return GetEnumName(TypeInfo<E>(), static_cast<Integer>(value));
}
template <class E>
String SetToString(TSet<E> value, bool brackets = false) {
  return SetToString(TypeInfo<TSet<E>>(), static_cast<Int64>(value.ToInt()),
                     brackets);
}
