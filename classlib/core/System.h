// The root of the class-library layer: basic types, the root class with
// class references, exceptions, closures, reference-counted interfaces and
// the unit start-up/shut-down chain. Platform independent: never includes
// <windows.h>.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------

// Text inside the program: 8-bit strings in the system's ANSI code page.
using String = std::string;
// UTF-16 text, for the few places that need wide strings. char16_t keeps the
// element size equal to the Windows WCHAR on every platform.
using WideString = std::u16string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using LongWord = std::uint32_t;
using Cardinal = std::uint32_t;
using Integer = std::int32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using Smallint = std::int16_t;
using Shortint = std::int8_t;
using Extended = long double;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Fixed-point money value: the integer holds the amount times 10000.
struct Currency {
  Int64 Value = 0;  // scaled by 10000
  static Currency FromScaled(Int64 v) {
    Currency c;
    c.Value = v;
    return c;
  }
  friend bool operator==(Currency a, Currency b) { return a.Value == b.Value; }
  friend bool operator!=(Currency a, Currency b) { return a.Value != b.Value; }
  friend bool operator<(Currency a, Currency b) { return a.Value < b.Value; }
};

struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {};
  friend bool operator==(const TGUID& a, const TGUID& b) {
    return std::memcmp(&a, &b, sizeof(TGUID)) == 0;
  }
};

class TObject;
class TComponent;
class TCollection;
class Variant;
struct TClassInfo;
struct TPropInfo;
struct TMethodInfo;

// A class as a value.
using TClass = const TClassInfo*;

// ---------------------------------------------------------------------------
// Class references
// ---------------------------------------------------------------------------

struct TObjectDeleter;

// Describes one class: its name, its parent and its virtual constructor.
// Published properties and methods are attached by the type-information
// layer (TypInfo.h) when the class's unit starts.
struct TClassInfo {
  const char* Name;
  TClass Parent;
  // Virtual constructor. The argument is the owner for components, the
  // collection for collection items, and ignored otherwise. Null for
  // abstract classes.
  TObject* (*Factory)(TObject* arg);

  bool InheritsFrom(TClass other) const;
  // A new object of the class for the caller (an owner or collection given
  // as arg frees it too, and the object leaves it when freed first).
  std::unique_ptr<TObject, TObjectDeleter> NewInstance(
      TObject* arg = nullptr) const;
};

namespace classlib_detail {
TComponent* AsComponentArg(TObject* arg);
TCollection* AsCollectionArg(TObject* arg);

template <class T>
TObject* DefaultFactory(TObject* arg) {
  if constexpr (std::is_abstract_v<T>) {
    (void)arg;
    return nullptr;
  } else if constexpr (std::is_constructible_v<T, TComponent*>) {
    return new T(AsComponentArg(arg));
  } else if constexpr (std::is_constructible_v<T, TCollection*>) {
    return new T(AsCollectionArg(arg));
  } else if constexpr (std::is_default_constructible_v<T>) {
    (void)arg;
    return new T();
  } else {
    (void)arg;
    return nullptr;
  }
}
}  // namespace classlib_detail

// Put at the top of every class body of the TObject tree.
#define VARNEL_CLASS(Self, Parent)                                          \
 public:                                                                    \
  using inherited = Parent;                                                 \
  static TClass StaticClass() {                                             \
    static const TClassInfo info{#Self, Parent::StaticClass(),              \
                                 &::classlib_detail::DefaultFactory<Self>}; \
    return &info;                                                           \
  }                                                                         \
  TClass ClassType() const override { return StaticClass(); }               \
                                                                            \
 private:

// The root class.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }

  String ClassName() const;
  TClass ClassParent() const;
  bool InheritsFrom(TClass cls) const;

  template <class T>
  bool Is() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }

  // Runs while the object is still whole, just before it is deleted through
  // the ownership mechanism (Free, TObjectPtr, owners freeing what they own),
  // so that others can be told about the destruction while virtual calls
  // still reach the real class. Must not throw.
  virtual void BeforeDestruction() {}
};

// The ownership mechanism: runs BeforeDestruction, then deletes.
struct TObjectDeleter {
  void operator()(TObject* obj) const noexcept {
    if (!obj) return;
    obj->BeforeDestruction();
    delete obj;
  }
};

// An owning pointer to an object of the TObject tree.
template <class T>
using TObjectPtr = std::unique_ptr<T, TObjectDeleter>;

// Hands an owned object on as a T; one that is no T is freed and null is
// returned.
template <class T, class U>
TObjectPtr<T> OwnedCast(TObjectPtr<U> obj) noexcept {
  T* cast = dynamic_cast<T*>(obj.get());
  if (cast) (void)obj.release();
  return TObjectPtr<T>(cast);
}

// The list of the objects an object owns (an owner's components, a
// collection's items, a menu item's children). Those objects take
// themselves out of their owner's list when they are freed, so the list
// holds plain pointers and leaving it is an ordinary removal; iterating and
// indexing lend the objects. Owners free their objects in their own order
// before they go; whatever is still listed then is freed, the last first.
template <class T>
class TOwningList {
 public:
  using const_iterator = typename std::vector<T*>::const_iterator;

  TOwningList() = default;
  ~TOwningList() {
    while (!items_.empty()) {
      T* last = items_.back();
      items_.pop_back();
      TObjectDeleter()(last);
    }
  }
  TOwningList(const TOwningList&) = delete;
  TOwningList& operator=(const TOwningList&) = delete;

  std::size_t size() const noexcept { return items_.size(); }
  bool empty() const noexcept { return items_.empty(); }
  T* operator[](std::size_t Index) const { return items_[Index]; }
  T* back() const { return items_.back(); }
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator end() const noexcept { return items_.end(); }
  // A borrowed copy to walk while handlers change the list.
  std::vector<T*> Snapshot() const { return items_; }

  // Object is owned by the list from now on.
  void Adopt(T* Object) { items_.push_back(Object); }
  void AdoptAt(std::size_t Index, T* Object) {
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(Index), Object);
  }
  // Takes the last entry of Object out without freeing it: it is leaving
  // (being freed, or handed to another owner). False when it is not listed.
  bool Extract(const T* Object) {
    for (auto it = items_.end(); it != items_.begin();) {
      if (*--it == Object) {
        items_.erase(it);
        return true;
      }
    }
    return false;
  }
  // Takes the last object out for the owner to free.
  T* ExtractLast() {
    T* last = items_.back();
    items_.pop_back();
    return last;
  }
  void Move(std::size_t From, std::size_t To) {
    T* moved = items_[From];
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(From));
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(To), moved);
  }

 private:
  std::vector<T*> items_;
};

// Frees an object (nothing for null).
inline void Free(TObject* obj) noexcept { TObjectDeleter()(obj); }

template <class T>
void FreeAndNil(T*& obj) noexcept {
  T* p = obj;
  obj = nullptr;
  Free(p);
}

// The registry of classes by name, used by form streams and every
// name-keyed class registry.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
TClass GetClass(const String& name);   // null when not registered
TClass FindClass(const String& name);  // raises EClassNotFound

// ---------------------------------------------------------------------------
// Open argument lists ("array of const") for Format and exceptions
// ---------------------------------------------------------------------------

enum TVarRecType : Byte {
  vtInteger,
  vtBoolean,
  vtChar,
  vtExtended,
  vtString,
  vtPointer,
  vtPChar,
  vtObject,
  vtClass,
  vtWideChar,
  vtPWideChar,
  vtAnsiString,
  vtCurrency,
  vtVariant,
  vtInterface,
  vtWideString,
  vtInt64,
};

// One argument of an open list. Holds pointers to the caller's values, which
// live until the end of the full expression that builds the list.
struct TVarRec {
  TVarRecType VType;
  union {
    Integer VInteger;
    bool VBoolean;
    char VChar;
    Extended VExtended;
    const void* VPointer;
    const char* VPChar;
    TObject* VObject;
    TClass VClass;
    char16_t VWideChar;
    const char16_t* VPWideChar;
    const String* VAnsiString;
    Currency VCurrency;
    const Variant* VVariant;
    const WideString* VWideString;
    Int64 VInt64;
  };

  TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
  // long is 32 bits on Windows and 64 bits (and Int64) on 64-bit Linux: it
  // maps to the argument type of its own width on both.
  TVarRec(long v) : VType(vtInteger), VInteger(0) {
    if constexpr (sizeof(long) == sizeof(Integer)) {
      VInteger = static_cast<Integer>(v);
    } else {
      VType = vtInt64;
      VInt64 = v;
    }
  }
  TVarRec(unsigned long v) : VType(vtInt64), VInt64(static_cast<Int64>(v)) {}
  TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
  TVarRec(unsigned long long v)
      : VType(vtInt64), VInt64(static_cast<Int64>(v)) {}
  TVarRec(short v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned short v) : VType(vtInteger), VInteger(v) {}
  TVarRec(signed char v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned char v) : VType(vtInteger), VInteger(v) {}
  TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  TVarRec(char v) : VType(vtChar), VChar(v) {}
  TVarRec(char16_t v) : VType(vtWideChar), VWideChar(v) {}
  TVarRec(float v) : VType(vtExtended), VExtended(v) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(const char* v) : VType(vtPChar), VPChar(v) {}
  TVarRec(const char16_t* v) : VType(vtPWideChar), VPWideChar(v) {}
  TVarRec(const String& v) : VType(vtAnsiString), VAnsiString(&v) {}
  TVarRec(const WideString& v) : VType(vtWideString), VWideString(&v) {}
  TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
  TVarRec(const Variant& v) : VType(vtVariant), VVariant(&v) {}
  TVarRec(TObject* v) : VType(vtObject), VObject(v) {}
  TVarRec(TClass v) : VType(vtClass), VClass(v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

using TVarRecs = std::initializer_list<TVarRec>;

// The class library's Format (implemented in SysUtils.cpp).
String Format(const String& fmt, TVarRecs args);
String Format(const String& fmt, const TVarRec* args, std::size_t count);

// ---------------------------------------------------------------------------
// Exceptions
// ---------------------------------------------------------------------------

class Exception : public TObject, public std::exception {
  VARNEL_CLASS(Exception, TObject)
 public:
  Exception() = default;
  explicit Exception(const String& msg) : message_(msg) {}
  // Formatted constructor: Exception(fmt, {arg1, arg2}).
  Exception(const String& fmt, TVarRecs args) : message_(Format(fmt, args)) {}

  const String& Message() const { return message_; }
  void SetMessage(const String& msg) { message_ = msg; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int ctx) { helpContext_ = ctx; }

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  String message_;
  int helpContext_ = 0;
};

#define VARNEL_EXCEPTION(Name, Parent) \
  class Name : public Parent {         \
    VARNEL_CLASS(Name, Parent)         \
   public:                             \
    using Parent::Parent;              \
    Name() = default;                  \
  };

// The silent exception: ends an operation without a message.
VARNEL_EXCEPTION(EAbort, Exception)
VARNEL_EXCEPTION(EConvertError, Exception)
VARNEL_EXCEPTION(EInvalidOperation, Exception)
VARNEL_EXCEPTION(EInvalidCast, Exception)
VARNEL_EXCEPTION(EInvalidPointer, Exception)
VARNEL_EXCEPTION(EListError, Exception)
VARNEL_EXCEPTION(EStringListError, Exception)
VARNEL_EXCEPTION(EComponentError, Exception)
VARNEL_EXCEPTION(EOutOfMemory, Exception)
VARNEL_EXCEPTION(EInOutError, Exception)
VARNEL_EXCEPTION(EAssertionFailed, Exception)
VARNEL_EXCEPTION(EPropertyError, Exception)
VARNEL_EXCEPTION(EPropertyConvertError, Exception)
VARNEL_EXCEPTION(EStreamError, Exception)
VARNEL_EXCEPTION(EFCreateError, EStreamError)
VARNEL_EXCEPTION(EFOpenError, EStreamError)
VARNEL_EXCEPTION(EFilerError, EStreamError)
VARNEL_EXCEPTION(EReadError, EFilerError)
VARNEL_EXCEPTION(EWriteError, EFilerError)
VARNEL_EXCEPTION(EClassNotFound, EFilerError)
VARNEL_EXCEPTION(EResNotFound, Exception)
VARNEL_EXCEPTION(EIntError, Exception)
VARNEL_EXCEPTION(EDivByZero, EIntError)
VARNEL_EXCEPTION(ERangeError, EIntError)
VARNEL_EXCEPTION(EIntOverflow, EIntError)
VARNEL_EXCEPTION(EMathError, Exception)
VARNEL_EXCEPTION(EInvalidOp, EMathError)
VARNEL_EXCEPTION(EZeroDivide, EMathError)
VARNEL_EXCEPTION(EOverflow, EMathError)
VARNEL_EXCEPTION(EUnderflow, EMathError)
VARNEL_EXCEPTION(EExternal, Exception)
VARNEL_EXCEPTION(EAccessViolation, EExternal)
VARNEL_EXCEPTION(EVariantError, Exception)

// An operating-system call failed; carries the system's error code.
class EOSError : public Exception {
  VARNEL_CLASS(EOSError, Exception)
 public:
  using Exception::Exception;
  EOSError() = default;
  Cardinal ErrorCode = 0;
};

// Raises EAbort.
[[noreturn]] void Abort();

// ---------------------------------------------------------------------------
// Closures: an object plus one of its methods
// ---------------------------------------------------------------------------

namespace classlib_detail {
// Storage for any pointer to member function (two words in the Itanium and
// MinGW ABIs).
struct MethodCode {
  alignas(void*) unsigned char bytes[2 * sizeof(void*)] = {};
  friend bool operator==(const MethodCode& a, const MethodCode& b) {
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
  }
};
}  // namespace classlib_detail

template <class Sig>
class TClosure;

// An event: an object and one of its methods. Two closures are equal when
// they hold the same object and the same method. A closure made from a plain
// function object (FromFunction) equals only its own copies.
template <class R, class... A>
class TClosure<R(A...)> {
 public:
  TClosure() = default;
  TClosure(std::nullptr_t) {}

  template <class C, class M>
  TClosure(C* obj, R (M::*method)(A...)) {
    static_assert(std::is_base_of_v<M, C>, "method must belong to the object");
    using Ptr = R (M::*)(A...);
    static_assert(sizeof(Ptr) <= sizeof(classlib_detail::MethodCode::bytes));
    if (!obj || !method) return;
    data_ = static_cast<M*>(obj);
    std::memcpy(code_.bytes, &method, sizeof(Ptr));
    invoke_ = [](void* data, const classlib_detail::MethodCode& code,
                 A... args) -> R {
      Ptr m;
      std::memcpy(&m, code.bytes, sizeof(Ptr));
      return (static_cast<M*>(data)->*m)(std::forward<A>(args)...);
    };
  }

  // For glue code and tests: wraps a function object. Comparison is by
  // identity of the wrapped function.
  static TClosure FromFunction(std::function<R(A...)> fn) {
    TClosure c;
    if (!fn) return c;
    c.fn_ = std::make_shared<std::function<R(A...)>>(std::move(fn));
    c.data_ = c.fn_.get();
    c.invoke_ = [](void* data, const classlib_detail::MethodCode&,
                   A... args) -> R {
      return (*static_cast<std::function<R(A...)>*>(data))(
          std::forward<A>(args)...);
    };
    return c;
  }

  bool Assigned() const { return invoke_ != nullptr; }
  explicit operator bool() const { return Assigned(); }

  // Calling an unassigned closure does nothing and returns a default value.
  R operator()(A... args) const {
    if (!invoke_) {
      if constexpr (std::is_void_v<R>) {
        return;
      } else {
        return R{};
      }
    }
    return invoke_(data_, code_, std::forward<A>(args)...);
  }

  // The object the closure calls (the "Data" half of a method pointer).
  void* Data() const { return data_; }

  friend bool operator==(const TClosure& a, const TClosure& b) {
    return a.data_ == b.data_ && a.invoke_ == b.invoke_ && a.code_ == b.code_;
  }
  friend bool operator!=(const TClosure& a, const TClosure& b) {
    return !(a == b);
  }
  friend bool operator==(const TClosure& a, std::nullptr_t) {
    return !a.Assigned();
  }

 private:
  void* data_ = nullptr;
  classlib_detail::MethodCode code_;
  R (*invoke_)(void*, const classlib_detail::MethodCode&, A...) = nullptr;
  std::shared_ptr<std::function<R(A...)>> fn_;
};

using TNotifyEvent = TClosure<void(TObject* Sender)>;

// ---------------------------------------------------------------------------
// Interfaces
// ---------------------------------------------------------------------------

constexpr Integer S_OK_ = 0;
constexpr Integer E_NOINTERFACE_ = static_cast<Integer>(0x80004002u);

// Interfaces carry a GUID through a static member IID.
class IInterface {
 public:
  static constexpr TGUID IID{
      0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  virtual Integer QueryInterface(const TGUID& iid, void** obj) = 0;
  virtual Integer _AddRef() = 0;
  virtual Integer _Release() = 0;

 protected:
  ~IInterface() = default;
};

// A counted reference to an interface.
template <class I>
class TIntfPtr {
 public:
  TIntfPtr() = default;
  TIntfPtr(std::nullptr_t) {}
  TIntfPtr(I* p) : p_(p) {
    if (p_) p_->_AddRef();
  }
  TIntfPtr(const TIntfPtr& o) : p_(o.p_) {
    if (p_) p_->_AddRef();
  }
  TIntfPtr(TIntfPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  template <class J, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
  TIntfPtr(const TIntfPtr<J>& o) : TIntfPtr(static_cast<I*>(o.get())) {}
  ~TIntfPtr() { reset(); }
  TIntfPtr& operator=(TIntfPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  void reset() {
    if (p_) {
      I* p = p_;
      p_ = nullptr;
      p->_Release();
    }
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  I& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const TIntfPtr& a, const TIntfPtr& b) {
    return a.p_ == b.p_;
  }
  friend bool operator!=(const TIntfPtr& a, const TIntfPtr& b) {
    return a.p_ != b.p_;
  }

  // Queries obj for interface I; null when it has none.
  template <class J>
  static TIntfPtr Query(J* obj) {
    TIntfPtr r;
    void* out = nullptr;
    if (obj && obj->QueryInterface(I::IID, &out) == S_OK_ && out) {
      r.p_ = static_cast<I*>(out);  // QueryInterface added the reference
    }
    return r;
  }

 private:
  I* p_ = nullptr;
};

// A reference-counted object: freed when its last interface reference goes.
class TInterfacedObject : public TObject, public IInterface {
  VARNEL_CLASS(TInterfacedObject, TObject)
 public:
  TInterfacedObject() = default;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override;
  Integer _Release() override;
  Integer RefCount() const { return refCount_.load(); }

 protected:
  // Descendants answer for the interfaces they implement and call this for
  // the rest.
  virtual void* GetInterfaceFor(const TGUID& iid);

 private:
  std::atomic<Integer> refCount_{0};
};

// ---------------------------------------------------------------------------
// Unit start-up and shut-down
// ---------------------------------------------------------------------------

// Each unit registers one start-up and one shut-down step and the names of
// the units it uses. InitializeUnits runs every start-up in dependency order
// (ties by name, so the order never depends on link order); FinalizeUnits runs
// the shut-downs of the started units in reverse.
struct TUnitRegistration {
  TUnitRegistration(const char* name, std::initializer_list<const char*> uses,
                    void (*startup)(), void (*shutdown)());
};

// Raises EInvalidOperation on a dependency cycle or an unknown unit name.
void InitializeUnits();
void FinalizeUnits();
// Names of the units in the order they were started (for diagnostics/tests).
std::vector<String> InitializedUnitOrder();

// Registers a unit from file scope. Static libraries must be linked whole so
// that the registration object is not dropped.
#define VARNEL_UNIT(Name, Uses, Startup, Shutdown)                  \
  static const ::TUnitRegistration varnel_unit_registration_##Name( \
      #Name, std::initializer_list<const char*> Uses, Startup, Shutdown)

// Pure helper for tests: orders units by dependency.
struct TUnitInfo {
  String Name;
  std::vector<String> Uses;
};
std::vector<String> OrderUnits(const std::vector<TUnitInfo>& units);
