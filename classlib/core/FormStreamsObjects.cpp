// Object level of form streams: reading components, their published
// properties, collections and defined properties from a stream, and writing
// them back.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "Classes.h"
#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysConst.h"
#include "TypInfo.h"
#include "Variants.h"

using namespace formstreams_detail;

namespace {

// ---------------------------------------------------------------------------
// Stream adapters
// ---------------------------------------------------------------------------

class TStreamSource : public TByteSource {
 public:
  explicit TStreamSource(TStream& s) : s_(s) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    std::size_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
      const Integer chunk =
          static_cast<Integer>(std::min<std::size_t>(count - done, 1u << 30));
      const Integer got = s_.Read(p + done, chunk);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  }
  Int64 Remaining() override {
    const Int64 left = s_.Size() - s_.Position();
    return left < 0 ? 0 : left;
  }
  void Skip(Int64 count) override { s_.Seek(count, soCurrent); }
  bool Peek(Byte& value) override {
    if (s_.Read(&value, 1) != 1) return false;
    s_.Seek(Int64{-1}, soCurrent);
    return true;
  }

 private:
  TStream& s_;
};

class TStreamSink : public TByteSink {
 public:
  explicit TStreamSink(TStream& s) : s_(s) {}
  void Write(const void* buffer, std::size_t count) override {
    const auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
      const Integer chunk =
          static_cast<Integer>(std::min<std::size_t>(count, 1u << 30));
      s_.WriteBuffer(p, chunk);
      p += chunk;
      count -= static_cast<std::size_t>(chunk);
    }
  }

 private:
  TStream& s_;
};

bool SameName(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

struct TIntConsts {
  TIdentToInt ToInt;
  TIntToIdent ToIdent;
};

std::map<PTypeInfo, TIntConsts>& IntConsts() {
  static std::map<PTypeInfo, TIntConsts> map;
  return map;
}

const TIntConsts* FindIntConsts(PTypeInfo type) {
  auto& m = IntConsts();
  auto it = m.find(type);
  return it == m.end() ? nullptr : &it->second;
}

bool IsIntValue(TValueType t) {
  return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64;
}

bool IsStringValue(TValueType t) {
  return t == vaString || t == vaLString || t == vaWString || t == vaUTF8String;
}

bool IsNumberValue(TValueType t) {
  return IsIntValue(t) || t == vaExtended || t == vaSingle || t == vaCurrency ||
         t == vaDate;
}

// Whether a value of type t can be read into a property of this kind; the
// reader checks before it reads so that a refused value is skipped whole.
bool Accepts(const TPropInfo* prop, TValueType t) {
  switch (prop->Kind()) {
    case tkInteger:
      return IsIntValue(t) ||
             (t == vaIdent && FindIntConsts(prop->PropType) != nullptr);
    case tkChar:
      return t == vaString;
    case tkWChar:
      return IsStringValue(t);
    case tkEnumeration:
      return t == vaIdent || t == vaFalse || t == vaTrue;
    case tkFloat:
      return IsNumberValue(t);
    case tkString:
    case tkLString:
    case tkWString:
      return IsStringValue(t);
    case tkSet:
      return t == vaSet;
    case tkClass:
      return t == vaNil || t == vaCollection || t == vaIdent;
    case tkMethod:
      return t == vaNil || t == vaIdent;
    case tkVariant:
      return IsNumberValue(t) || IsStringValue(t) || t == vaNil ||
             t == vaNull || t == vaFalse || t == vaTrue;
    case tkInt64:
      return IsIntValue(t);
    default:
      return false;
  }
}

String InstanceName(TPersistent* instance) {
  if (auto* c = dynamic_cast<TComponent*>(instance)) {
    if (!c->Name().empty()) return c->Name();
  }
  return instance->ClassName();
}

}  // namespace

void RegisterIntegerConsts(PTypeInfo intType, TIdentToInt identToInt,
                           TIntToIdent intToIdent) {
  IntConsts()[intType] = TIntConsts{identToInt, intToIdent};
}

namespace formstreams_detail {

std::unique_ptr<TByteSource> MakeStreamSource(TStream& stream) {
  return std::make_unique<TStreamSource>(stream);
}

std::unique_ptr<TByteSink> MakeStreamSink(TStream& stream) {
  return std::make_unique<TStreamSink>(stream);
}

}  // namespace formstreams_detail

// ---------------------------------------------------------------------------
// TReader: objects
// ---------------------------------------------------------------------------

struct TReaderDepth {
  explicit TReaderDepth(TReader& r) : r_(r) { r_.Enter(); }
  ~TReaderDepth() { r_.Leave(); }
  TReader& r_;
};

TReader::TReader(TStream& stream, Integer /*bufSize*/)
    : source_(MakeStreamSource(stream)) {}

void TReader::DefineProperty(const String& name, TReaderProc readData,
                             TWriterProc /*writeData*/, bool /*hasData*/) {
  if (!propName_.empty() && SameName(name, propName_) && readData) {
    readData(this);
    propName_.clear();
  }
}

void TReader::DefineBinaryProperty(const String& name, TStreamProc readData,
                                   TStreamProc /*writeData*/,
                                   bool /*hasData*/) {
  if (propName_.empty() || !SameName(name, propName_) || !readData) return;
  if (NextValue() != vaBinary) {
    SkipValue();
    canHandleErrors_ = true;
    PropValueError();
  }
  ReadValue();
  const Integer n = ReadLength();
  TMemoryStream data;
  data.SetSize(n);
  Read(data.Memory(), n);
  data.SetPosition(0);
  canHandleErrors_ = true;
  readData(&data);
  propName_.clear();
}

bool TReader::HandleError(const String& message) {
  bool handled = false;
  if (OnError) OnError(this, message, handled);
  return handled;
}

TComponent* TReader::FindReference(const String& name) const {
  if (!root_ || name.empty()) return nullptr;
  std::size_t start = 0;
  TComponent* current = nullptr;
  for (;;) {
    const std::size_t dot = name.find('.', start);
    const String part =
        name.substr(start, dot == String::npos ? String::npos : dot - start);
    if (!current) {
      current = root_->FindComponent(part);
      if (!current && SameName(part, root_->Name())) current = root_;
    } else {
      current = current->FindComponent(part);
    }
    if (!current || dot == String::npos) return current;
    start = dot + 1;
  }
}

void TReader::ResolveFixups() {
  std::vector<TFixup> fixups;
  fixups.swap(fixups_);
  for (const TFixup& f : fixups) {
    TComponent* target = FindReference(f.Name);
    // A name that is not on this form stays unset, as nothing can supply
    // it later.
    if (!target) continue;
    try {
      SetObjectProp(f.Instance, f.Prop, target);
    } catch (const Exception& e) {
      throw EReadError(SPropertyException, {InstanceName(f.Instance), ".",
                                            f.Prop->Name, e.Message()});
    }
  }
}

void TReader::DropFixupsOf(TCollection* collection) {
  if (fixups_.empty() || collection->Count() == 0) return;
  std::vector<TPersistent*> items;
  for (Integer i = 0; i < collection->Count(); ++i) {
    items.push_back(collection->Items(i));
  }
  std::sort(items.begin(), items.end());
  auto freed = [&](const TFixup& f) {
    for (TPersistent* a : f.Anchors) {
      if (std::binary_search(items.begin(), items.end(), a)) return true;
    }
    return std::binary_search(items.begin(), items.end(), f.Instance);
  };
  fixups_.erase(std::remove_if(fixups_.begin(), fixups_.end(), freed),
                fixups_.end());
}

// A component of the class named in the stream, through the class's
// virtual constructor; a class that is no component is as good as unknown.
TObjectPtr<TComponent> TReader::NewComponent(const String& className,
                                             TComponent* owner) {
  TClass cls = FindClass(className);
  if (!cls->InheritsFrom(TComponent::StaticClass())) {
    ReadError(Format(SClassNotFound, {className}));
  }
  TObjectPtr<TComponent> component =
      OwnedCast<TComponent>(cls->NewInstance(owner));
  if (!component) ReadError(Format(SClassNotFound, {className}));
  return component;
}

// The start of an object: its filer flags, class name and name.
TReader::TObjectHeader TReader::ReadObjectHeader() {
  TObjectHeader header;
  ReadPrefix(header.Flags, header.ChildPos);
  header.ClassName = ReadStr();
  header.Name = ReadStr();
  return header;
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  ReadSignature();
  const TObjectHeader header = ReadObjectHeader();
  const String& className = header.ClassName;
  const String& name = header.Name;

  TObjectPtr<TComponent> created;
  TComponent* result = root;
  if (!result) {
    created = NewComponent(className, nullptr);
    result = created.get();
  }
  result->IncludeState(csLoading);
  result->IncludeState(csReading);
  {
    // A failed read leaves no fixups or half-loaded list behind, and a root
    // the caller passed in out of the loading state.
    TScopeGuard rollback([&] {
      fixups_.clear();
      loaded_.clear();
      if (!created) {
        result->ExcludeState(csReading);
        result->ExcludeState(csLoading);
      }
    });
    if (!(result->ComponentState().Contains(csDesigning))) {
      result->SetName(name);
    }
    root_ = result;
    lookupRoot_ = result;
    owner_ = result;
    loaded_.clear();
    loaded_.push_back(result);
    result->ReadState(this);
    result->ExcludeState(csReading);
    ResolveFixups();
    rollback.Dismiss();
  }
  std::vector<TComponent*> loaded;
  loaded.swap(loaded_);
  for (TComponent* c : loaded) c->Loaded();
  created.release();
  return result;
}

TComponent* TReader::ReadComponent(TComponent* component) {
  TReaderDepth depth(*this);
  const TObjectHeader header = ReadObjectHeader();
  const TFilerFlags flags = header.Flags;
  const String& className = header.ClassName;
  const String& name = header.Name;

  TObjectPtr<TComponent> created;
  TComponent* result = component;
  if (!result) {
    if (flags & ffInherited) {
      result = owner_ ? owner_->FindComponent(name) : nullptr;
      if (!result) ReadError(Format(SAncestorNotFound, {name}));
    } else {
      created = NewComponent(className, owner_);
      result = created.get();
    }
  }
  result->IncludeState(csLoading);
  result->IncludeState(csReading);
  if (!(flags & ffInherited)) result->SetName(name);
  if ((flags & ffChildPos) && parent_)
    parent_->SetChildOrder(result, header.ChildPos);
  result->ReadState(this);
  result->ExcludeState(csReading);
  if (std::find(loaded_.begin(), loaded_.end(), result) == loaded_.end()) {
    loaded_.push_back(result);
  }
  created.release();
  return result;
}

void TReader::ReadData(TComponent* instance) {
  TReaderDepth depth(*this);
  while (!EndOfList()) ReadProperty(instance);
  ReadListEnd();
  TRestoreOnExit<TComponent*> keepParent(parent_);
  TRestoreOnExit<TComponent*> keepOwner(owner_);
  parent_ = instance->GetChildParent();
  if (TComponent* childOwner = instance->GetChildOwner()) owner_ = childOwner;
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* instance) {
  String path;
  try {
    path = ReadStr();
    try {
      TPersistent* target = instance;
      canHandleErrors_ = true;
      std::size_t start = 0;
      for (;;) {
        const std::size_t dot = path.find('.', start);
        propName_ = path.substr(
            start, dot == String::npos ? String::npos : dot - start);
        if (dot == String::npos) break;
        const TPropInfo* prop = GetPropInfo(target, propName_);
        if (!prop) {
          SkipValue();
          throw EReadError("Property %s does not exist", {propName_});
        }
        TObject* sub =
            prop->Kind() == tkClass ? GetObjectProp(target, prop) : nullptr;
        auto* persistent = dynamic_cast<TPersistent*>(sub);
        if (!persistent) {
          SkipValue();
          throw EReadError(SInvalidPropertyPath);
        }
        target = persistent;
        start = dot + 1;
      }
      if (const TPropInfo* prop = GetPropInfo(target, propName_)) {
        ReadPropValue(target, prop);
      } else {
        // A defined property may leave the stream anywhere: its errors
        // cannot be skipped.
        canHandleErrors_ = false;
        target->DefineProperties(this);
        canHandleErrors_ = true;
        if (!propName_.empty()) {
          const String missing = propName_;
          SkipValue();
          throw EReadError("Property %s does not exist", {missing});
        }
      }
    } catch (const Exception& e) {
      throw EReadError(SPropertyException,
                       {InstanceName(instance), ".", path, e.Message()});
    }
  } catch (const Exception& e) {
    if (broken_ || !canHandleErrors_ || !HandleError(e.Message())) throw;
  }
  propName_.clear();
}

Int64 TReader::ReadSet(const TPropInfo* prop) {
  PTypeInfo enumType = prop->PropType->CompType;
  CheckValue(vaSet);
  Int64 mask = 0;
  bool bad = false;
  for (;;) {
    const String name = ReadStr();
    if (name.empty()) break;
    const Integer v = enumType ? GetEnumValue(enumType, name) : -1;
    if (v < 0 || v > 63) {
      bad = true;  // read on so that the stream stays in step
    } else {
      mask |= Int64{1} << v;
    }
  }
  if (bad) PropValueError();
  return mask;
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* prop) {
  const TValueType t = NextValue();
  if (!Accepts(prop, t)) {
    SkipValue();
    PropValueError();
  }
  const TTypeKind kind = prop->Kind();
  const bool readsIntoObject = kind == tkClass && t == vaCollection;
  if (!readsIntoObject && !prop->Writable()) {
    SkipValue();
    ReadError(SReadOnlyProperty);
  }
  switch (kind) {
    case tkInteger: {
      Int64 v;
      if (t == vaIdent) {
        const String ident = ReadIdent();
        if (!FindIntConsts(prop->PropType)->ToInt(ident, v)) PropValueError();
      } else {
        v = ReadInt64();
      }
      const PTypeInfo type = prop->PropType;
      if (type->MinValue < type->MaxValue &&
          (v < type->MinValue || v > type->MaxValue)) {
        PropValueError();
      }
      SetOrdProp(instance, prop, v);
      break;
    }
    case tkChar:
      SetOrdProp(instance, prop, static_cast<Byte>(ReadChar()));
      break;
    case tkWChar: {
      const WideString w = ReadWideString();
      if (w.size() != 1) PropValueError();
      SetOrdProp(instance, prop, w[0]);
      break;
    }
    case tkEnumeration: {
      const Integer v = GetEnumValue(prop->PropType, ReadIdent());
      if (v < 0) PropValueError();
      SetOrdProp(instance, prop, v);
      break;
    }
    case tkFloat:
      if (prop->PropType->FloatType == ftCurr) {
        SetFloatProp(instance, prop,
                     static_cast<Extended>(ReadCurrency().Value) / 10000);
      } else {
        SetFloatProp(instance, prop, ReadFloat());
      }
      break;
    case tkString:
    case tkLString:
      SetStrProp(instance, prop, ReadString());
      break;
    case tkWString:
      SetWideStrProp(instance, prop, ReadWideString());
      break;
    case tkSet:
      SetOrdProp(instance, prop, ReadSet(prop));
      break;
    case tkClass:
      if (t == vaNil) {
        ReadValue();
        SetObjectProp(instance, prop, nullptr);
      } else if (t == vaCollection) {
        ReadValue();
        auto* collection =
            dynamic_cast<TCollection*>(GetObjectProp(instance, prop));
        if (!collection) {
          // Keep the stream in step: the items are skipped whole.
          while (!EndOfList()) {
            if (IsIntValue(NextValue())) SkipValue();
            ReadListBegin();
            while (!EndOfList()) SkipProperty();
            ReadListEnd();
          }
          ReadListEnd();
          PropValueError();
        }
        ReadCollection(collection);
      } else {
        fixups_.push_back(TFixup{instance, prop, ReadIdent(), itemStack_});
      }
      break;
    case tkMethod:
      if (t == vaNil) {
        ReadValue();
        SetMethodProp(instance, prop, TMethod());
      } else {
        const String name = ReadIdent();
        const TMethod method = root_ ? MethodAddress(root_, name) : TMethod();
        if (!method.Assigned()) PropValueError();
        SetMethodProp(instance, prop, method);
      }
      break;
    case tkVariant: {
      const Variant v = ReadVariant();
      SetVariantProp(instance, prop, v);
      break;
    }
    case tkInt64:
      SetInt64Prop(instance, prop, ReadInt64());
      break;
    default:
      SkipValue();
      PropValueError();
  }
}

void TReader::ReadCollection(TCollection* collection) {
  TReaderDepth depth(*this);
  auto update = MakeBracket(collection, &TCollection::BeginUpdate,
                            &TCollection::EndUpdate);
  if (!EndOfList()) {
    DropFixupsOf(collection);
    collection->Clear();
  }
  while (!EndOfList()) {
    if (IsIntValue(NextValue())) ReadInteger();
    TCollectionItem* item = collection->Add();
    ReadListBegin();
    {
      itemStack_.push_back(item);
      TScopeGuard popItem([this] { itemStack_.pop_back(); });
      while (!EndOfList()) ReadProperty(item);
    }
    ReadListEnd();
  }
  ReadListEnd();
}

// ---------------------------------------------------------------------------
// TWriter: objects
// ---------------------------------------------------------------------------

TWriter::TWriter(TStream& stream, Integer /*bufSize*/)
    : sink_(MakeStreamSink(stream)) {}

void TWriter::DefineProperty(const String& name, TReaderProc /*readData*/,
                             TWriterProc writeData, bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  writeData(this);
}

void TWriter::DefineBinaryProperty(const String& name, TStreamProc /*readData*/,
                                   TStreamProc writeData, bool hasData) {
  if (!hasData || !writeData) return;
  TMemoryStream data;
  writeData(&data);
  if (data.Size() > std::numeric_limits<Integer>::max()) {
    throw EWriteError("Binary property %s too large", {name});
  }
  WritePropName(name);
  WriteBinary(data.Memory(), static_cast<Integer>(data.Size()));
}

void TWriter::WritePropName(const String& name) { WriteStr(propPath_ + name); }

void TWriter::WriteRootComponent(TComponent* root) {
  WriteDescendent(root, nullptr);
}

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
  root_ = root;
  lookupRoot_ = root;
  rootAncestor_ = ancestor;
  ancestor_ = ancestor;
  WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  TRestoreOnExit<TPersistent*> keepAncestor(ancestor_);
  if (component != root_) {
    ancestor_ = rootAncestor_ ? rootAncestor_->FindComponent(component->Name())
                              : nullptr;
  }
  const bool wasWriting = component->ComponentState().Contains(csWriting);
  component->IncludeState(csWriting);
  TScopeGuard stopWriting([&] {
    if (!wasWriting) component->ExcludeState(csWriting);
  });
  component->WriteState(this);
}

void TWriter::WriteData(TComponent* instance) {
  if (++depth_ > kMaxNesting) {
    --depth_;
    throw EWriteError("Component tree nested too deeply");
  }
  TFilerFlags flags = 0;
  if (ancestor_) flags |= ffInherited;
  if (instance->ComponentState().Contains(csInline)) flags |= ffInline;
  WritePrefix(flags, 0);
  WriteStr(instance->ClassName());
  WriteStr(instance->Name());
  {
    TRestoreOnExit<String> keepPath(propPath_);
    propPath_.clear();
    WriteProperties(instance);
  }
  WriteListEnd();
  if (!IgnoreChildren) {
    instance->GetChildren([this](TComponent* child) { WriteComponent(child); },
                          root_);
  }
  WriteListEnd();
  --depth_;
}

void TWriter::WriteProperties(TPersistent* instance) {
  if (++depth_ > kMaxNesting) {
    --depth_;
    throw EWriteError("Object nested too deeply");
  }
  for (const TPropInfo* prop : GetPropInfos(instance->ClassType())) {
    if (IsStoredProp(instance, prop)) WriteProperty(instance, prop);
  }
  instance->DefineProperties(this);
  --depth_;
}

String TWriter::ComponentReference(TComponent* component) const {
  if (component->Owner() == lookupRoot_ && lookupRoot_)
    return component->Name();
  if (component == lookupRoot_) return component->Name();
  if (component->Owner() && !component->Owner()->Name().empty() &&
      !component->Name().empty()) {
    return component->Owner()->Name() + "." + component->Name();
  }
  return component->Name();
}

bool TWriter::CollectionsEqual(TCollection* a, TCollection* b) {
  if (!a || !b) return a == b;
  auto write = [](TCollection* c) {
    auto sink = std::make_unique<TStringSink>();
    TStringSink* out = sink.get();
    TWriter w(std::move(sink));
    w.WriteCollection(c);
    return std::move(out->data);
  };
  return write(a) == write(b);
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* prop) {
  TPersistent* ancestor = ancestor_;
  // Only values the reader can put back are written: a read-only property
  // is skipped, except sub-objects and collections, which are read into.
  const TTypeKind kind = prop->Kind();
  if (kind != tkClass && !prop->Writable()) return;
  switch (kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
      const Int64 v = GetOrdProp(instance, prop);
      if (ancestor) {
        if (v == GetOrdProp(ancestor, prop)) return;
      } else if (prop->Default != NoDefault && v == prop->Default) {
        return;
      }
      WritePropName(prop->Name);
      if (kind == tkInteger) {
        String ident;
        const TIntConsts* consts = FindIntConsts(prop->PropType);
        if (consts && consts->ToIdent(v, ident)) {
          WriteIdent(ident);
        } else {
          WriteInteger(v);
        }
      } else if (kind == tkChar) {
        WriteChar(static_cast<char>(v));
      } else if (kind == tkWChar) {
        WriteWideString(WideString(1, static_cast<char16_t>(v)));
      } else if (kind == tkEnumeration) {
        WriteIdent(GetEnumName(prop->PropType, static_cast<Integer>(v)));
      } else {
        WriteValue(vaSet);
        PTypeInfo enumType = prop->PropType->CompType;
        for (int i = 0; i < 64; ++i) {
          if ((static_cast<UInt64>(v) >> i) & 1) {
            WriteStr(enumType ? GetEnumName(enumType, i) : std::to_string(i));
          }
        }
        WriteStr("");
      }
      break;
    }
    case tkFloat: {
      const Extended v = GetFloatProp(instance, prop);
      if (ancestor ? v == GetFloatProp(ancestor, prop) : v == 0) return;
      WritePropName(prop->Name);
      switch (prop->PropType->FloatType) {
        case ftSingle:
          WriteSingle(static_cast<float>(v));
          break;
        case ftCurr:
          WriteCurrency(Currency::FromScaled(std::llround(v * 10000)));
          break;
        default:
          WriteFloat(static_cast<double>(v));
          break;
      }
      break;
    }
    case tkInt64: {
      const Int64 v = GetInt64Prop(instance, prop);
      if (ancestor ? v == GetInt64Prop(ancestor, prop) : v == 0) return;
      WritePropName(prop->Name);
      WriteInteger(v);
      break;
    }
    case tkString:
    case tkLString: {
      const String v = GetStrProp(instance, prop);
      if (ancestor ? v == GetStrProp(ancestor, prop) : v.empty()) return;
      WritePropName(prop->Name);
      WriteString(v);
      break;
    }
    case tkWString: {
      const WideString v = GetWideStrProp(instance, prop);
      if (ancestor ? v == GetWideStrProp(ancestor, prop) : v.empty()) return;
      WritePropName(prop->Name);
      WriteWideString(v);
      break;
    }
    case tkMethod: {
      const TMethod m = GetMethodProp(instance, prop);
      const String name =
          m.Assigned() && lookupRoot_ ? MethodName(lookupRoot_, m) : String();
      if (ancestor) {
        const TMethod am = GetMethodProp(ancestor, prop);
        if (m == am) return;
        if (!m.Assigned()) {
          WritePropName(prop->Name);
          WriteValue(vaNil);
          return;
        }
      }
      // A handler that is no published method of the root cannot be named
      // in the stream.
      if (name.empty()) return;
      WritePropName(prop->Name);
      WriteIdent(name);
      break;
    }
    case tkVariant: {
      Variant v;
      GetVariantProp(instance, prop, v);
      if (ancestor) {
        Variant av;
        GetVariantProp(ancestor, prop, av);
        if (VarType(v) == VarType(av) && VarSameValue(v, av)) return;
      } else if (VarIsEmpty(v)) {
        return;
      }
      WritePropName(prop->Name);
      WriteVariant(v);
      break;
    }
    case tkClass: {
      TObject* value = GetObjectProp(instance, prop);
      TObject* ancestorValue =
          ancestor ? GetObjectProp(ancestor, prop) : nullptr;
      if (!value) {
        if (ancestorValue && prop->Writable()) {
          WritePropName(prop->Name);
          WriteValue(vaNil);
        }
        return;
      }
      auto* component = dynamic_cast<TComponent*>(value);
      if (component && !component->ComponentStyle().Contains(csSubComponent)) {
        if (!prop->Writable()) return;
        const String ref = ComponentReference(component);
        if (ancestorValue) {
          auto* ac = dynamic_cast<TComponent*>(ancestorValue);
          if (ac && SameName(ac->Name(), component->Name())) return;
        }
        if (ref.empty()) return;
        WritePropName(prop->Name);
        WriteIdent(ref);
        return;
      }
      auto* persistent = dynamic_cast<TPersistent*>(value);
      if (!persistent) return;
      {
        TRestoreOnExit<String> keepPath(propPath_);
        TRestoreOnExit<TPersistent*> keepAncestor(ancestor_);
        propPath_ += prop->Name + ".";
        ancestor_ = dynamic_cast<TPersistent*>(ancestorValue);
        WriteProperties(persistent);
      }
      if (auto* collection = dynamic_cast<TCollection*>(value)) {
        if (!ancestor ||
            !CollectionsEqual(collection,
                              dynamic_cast<TCollection*>(ancestorValue))) {
          WritePropName(prop->Name);
          WriteCollection(collection);
        }
      }
      break;
    }
    default:
      break;
  }
}

void TWriter::WriteCollection(TCollection* collection) {
  TRestoreOnExit<TPersistent*> keepAncestor(ancestor_);
  TRestoreOnExit<String> keepPath(propPath_);
  ancestor_ = nullptr;
  propPath_.clear();
  WriteValue(vaCollection);
  if (collection) {
    for (Integer i = 0; i < collection->Count(); ++i) {
      WriteListBegin();
      WriteProperties(collection->Items(i));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

// ---------------------------------------------------------------------------
// TComponent's streaming hooks
// ---------------------------------------------------------------------------

void TComponent::DefineProperties(TFiler* Filer) {
  // Design positions of non-visual components ("Left", "Top") matter only
  // to a form designer; they are accepted and dropped.
  auto skip = TReaderProc::FromFunction([](TReader* r) { r->ReadInteger(); });
  Filer->DefineProperty("Left", skip, nullptr, false);
  Filer->DefineProperty("Top", skip, nullptr, false);
}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

// ---------------------------------------------------------------------------
// Stream helpers
// ---------------------------------------------------------------------------

TComponent* ReadComponentFromStream(TStream& stream, TComponent* instance) {
  TReader reader(stream);
  return reader.ReadRootComponent(instance);
}

void WriteComponentToStream(TStream& stream, TComponent* instance,
                            TComponent* ancestor) {
  TWriter writer(stream);
  writer.WriteDescendent(instance, ancestor);
}

void ObjectTextToBinary(TStream& input, TStream& output) {
  const Int64 size = input.Size() - input.Position();
  std::string text(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
  if (!text.empty()) {
    input.ReadBuffer(text.data(), static_cast<Integer>(text.size()));
  }
  const std::string data = TextToBinary(text);
  TStreamSink(output).Write(data.data(), data.size());
}

void ObjectBinaryToText(TStream& input, TStream& output) {
  TStreamSource source(input);
  const std::string text = BinaryToText(source);
  TStreamSink(output).Write(text.data(), text.size());
}
