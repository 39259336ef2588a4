#include "cxStorage.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "FormStreams.h"
#include "IniFiles.h"
#include "SysUtils.h"

namespace {

// Deeper trees than this are refused: an object whose published object
// properties lead back to itself would otherwise recurse until the stack
// runs out, and a hostile stream could do the same to the reader.
constexpr int kMaxStorageDepth = 200;

// The object's own IInterface. A class that adds interfaces to a component
// holds more than one IInterface base, so a plain cross-cast would be
// ambiguous: the known roots are asked first.
IInterface* StoredObjectUnknown(TObject* AObject) {
  if (auto* component = dynamic_cast<TComponent*>(AObject)) return component;
  if (auto* persistent = dynamic_cast<TInterfacedPersistent*>(AObject))
    return persistent;
  if (auto* counted = dynamic_cast<TInterfacedObject*>(AObject)) return counted;
  return dynamic_cast<IInterface*>(AObject);
}

template <class I>
TIntfPtr<I> QueryStoredIntf(TObject* AObject) {
  if (TIntfPtr<I> intf = TIntfPtr<I>::Query(StoredObjectUnknown(AObject)))
    return intf;
  return TIntfPtr<I>(dynamic_cast<I*>(AObject));
}

bool IsQuotedText(const String& S) {
  return S.size() >= 2 && S.front() == '"' && S.back() == '"';
}

String Unquote(const String& S) { return S.substr(1, S.size() - 2); }

// Integer kinds are stored in 32 bits: wider values keep their low bits.
Integer AsStoredInteger(const Variant& AValue) {
  return static_cast<Integer>(static_cast<UInt64>(AValue.AsInt64()));
}

std::vector<String> SplitPath(const String& AFullName) {
  std::vector<String> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = AFullName.find('/', start);
    parts.push_back(AFullName.substr(start, slash - start));
    if (slash == String::npos) break;
    start = slash + 1;
  }
  return parts;
}

}  // namespace

// ---------------------------------------------------------------------------
// Reader and writer protocol
// ---------------------------------------------------------------------------

TcxCustomReader::TcxCustomReader(const String& AStorageName)
    : storageName_(AStorageName) {}

void TcxCustomReader::ReadProperties(const String&, const String&,
                                     TStrings* AProperties) {
  AProperties->Clear();
}

void TcxCustomReader::ReadProperty(const String&, const String&,
                                   Variant& AValue, const String&) {
  AValue = Null();
}

void TcxCustomReader::ReadChildren(const String&, const String&,
                                   TStrings* AChildrenClassNames,
                                   TStrings* AChildrenNames) {
  AChildrenClassNames->Clear();
  AChildrenNames->Clear();
}

TcxCustomWriter::TcxCustomWriter(const String& AStorageName, bool AReCreate)
    : storageName_(AStorageName), reCreate_(AReCreate) {}

void TcxCustomWriter::BeginWriteObject(const String&, const String&) {}
void TcxCustomWriter::EndWriteObject(const String&, const String&) {}
void TcxCustomWriter::WriteProperty(const String&, const String&, const String&,
                                    const Variant&) {}

// ---------------------------------------------------------------------------
// INI files
// ---------------------------------------------------------------------------

namespace {
String IniSectionName(const String& AObjectName, const String& AClassName) {
  return AObjectName + ": " + AClassName;
}
}  // namespace

TcxIniFileReader::TcxIniFileReader(const String& AStorageName)
    : TcxCustomReader(AStorageName), iniFile_(new TMemIniFile(AStorageName)) {}

TcxIniFileReader::~TcxIniFileReader() = default;

TObjectPtr<TcxCustomReader> TcxIniFileReader::Create(
    const String& AStorageName) {
  return TObjectPtr<TcxCustomReader>(new TcxIniFileReader(AStorageName));
}

void TcxIniFileReader::ReadProperties(const String& AObjectName,
                                      const String& AClassName,
                                      TStrings* AProperties) {
  iniFile_->ReadSection(IniSectionName(AObjectName, AClassName), AProperties);
}

void TcxIniFileReader::ReadProperty(const String& AObjectName,
                                    const String& AClassName, Variant& AValue,
                                    const String& AName) {
  const String section = IniSectionName(AObjectName, AClassName);
  if (!iniFile_->ValueExists(section, AName)) {
    AValue = Null();
    return;
  }
  const String text = iniFile_->ReadString(section, AName, String());
  Integer i;
  double d;
  TDateTime dt;
  if (IsQuotedText(text))
    AValue = Unquote(text);
  else if (TryStrToInt(text, i))
    AValue = i;
  else if (TryStrToFloat(text, d))
    AValue = d;
  else if (TryStrToDateTime(text, dt))
    AValue = Variant::FromDateTime(dt);
  else
    AValue = text;
}

void TcxIniFileReader::ScanSections() {
  scanned_ = true;
  TObjectPtr<TStringList> names(new TStringList);
  iniFile_->ReadSections(names.get());
  for (Integer i = 0; i < names->Count(); ++i) {
    const String section = names->Strings(i);
    const std::size_t colon = section.find(':');
    if (colon == String::npos) continue;
    const std::size_t slash = section.rfind('/', colon);
    TSectionName entry;
    const std::size_t nameStart = slash == String::npos ? 0 : slash + 1;
    entry.ParentPath = section.substr(0, nameStart);
    entry.Name = section.substr(nameStart, colon - nameStart);
    entry.ClassName = Trim(section.substr(colon + 1));
    sections_.push_back(entry);
  }
}

void TcxIniFileReader::ReadChildren(const String& AObjectName, const String&,
                                    TStrings* AChildrenClassNames,
                                    TStrings* AChildrenNames) {
  AChildrenClassNames->Clear();
  AChildrenNames->Clear();
  if (!scanned_) ScanSections();
  const String parentPath = AObjectName.empty() ? String() : AObjectName + "/";
  for (const TSectionName& section : sections_) {
    if (!AnsiSameText(section.ParentPath, parentPath)) continue;
    AChildrenClassNames->Add(section.ClassName);
    AChildrenNames->Add(section.Name);
  }
}

TcxIniFileWriter::TcxIniFileWriter(const String& AStorageName, bool AReCreate)
    : TcxCustomWriter(AStorageName, AReCreate),
      iniFile_(new TMemIniFile(AStorageName)) {
  if (AReCreate) iniFile_->Clear();
}

TcxIniFileWriter::~TcxIniFileWriter() {
  if (written_) return;
  try {
    iniFile_->UpdateFile();
  } catch (...) {
    // A destructor cannot report it; TcxStorage calls UpdateFile itself.
  }
}

TObjectPtr<TcxCustomWriter> TcxIniFileWriter::Create(const String& AStorageName,
                                                     bool AReCreate) {
  return TObjectPtr<TcxCustomWriter>(
      new TcxIniFileWriter(AStorageName, AReCreate));
}

void TcxIniFileWriter::UpdateFile() {
  iniFile_->UpdateFile();
  written_ = true;
}

void TcxIniFileWriter::BeginWriteObject(const String& AObjectName,
                                        const String& AClassName) {
  // The empty entry marks the section even when no property follows.
  iniFile_->WriteString(IniSectionName(AObjectName, AClassName), String(),
                        String());
  written_ = false;
}

void TcxIniFileWriter::WriteProperty(const String& AObjectName,
                                     const String& AClassName,
                                     const String& AName,
                                     const Variant& AValue) {
  const String section = IniSectionName(AObjectName, AClassName);
  const TVarType type = VarType(AValue) & varTypeMask;
  if (VarTypeIsInteger(type)) {
    iniFile_->WriteInteger(section, AName, AsStoredInteger(AValue));
  } else if (type == varSingle || type == varDouble || type == varCurrency) {
    iniFile_->WriteFloat(section, AName, AValue.AsDouble());
  } else if (type == varDate) {
    iniFile_->WriteDateTime(section, AName, AValue.AsDateTime());
  } else if (type == varString || type == varOleStr) {
    iniFile_->WriteString(section, AName, "\"" + AValue.AsString() + "\"");
  } else {
    return;
  }
  written_ = false;
}

// ---------------------------------------------------------------------------
// Streams
// ---------------------------------------------------------------------------

namespace {

enum TcxStreamValueTag : Integer {
  svtBoolean = 1,
  svtByte = 2,
  svtCurrency = 3,
  svtDate = 4,
  svtDouble = 5,
  svtInteger = 6,
  svtSingle = 7,
  svtString = 8,
  svtWideString = 9,
};

bool IsAsciiText(const std::string& S) {
  for (char c : S)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void WriteStorageString(TWriter& AWriter, const String& AText) {
  if (IsAsciiText(AText))
    AWriter.WriteString(AText);
  else
    AWriter.WriteUTF8String(
        formstreams_detail::WideToUtf8(formstreams_detail::AnsiToWide(AText)));
}

void WriteStorageWideString(TWriter& AWriter, const WideString& AText) {
  const std::string utf8 = formstreams_detail::WideToUtf8(AText);
  if (utf8.size() >= 2 * AText.size()) {
    AWriter.WriteWideString(AText);
  } else if (IsAsciiText(utf8)) {
    AWriter.WriteString(utf8);
  } else {
    AWriter.WriteUTF8String(utf8);
  }
}

// The tag a value is stored with; 0 for a kind the format lacks.
Integer StreamTagOf(const Variant& AValue) {
  switch (VarType(AValue) & varTypeMask) {
    case varBoolean:
      return svtBoolean;
    case varByte:
      return svtByte;
    case varCurrency:
      return svtCurrency;
    case varDate:
      return svtDate;
    case varDouble:
      return svtDouble;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64:
      return svtInteger;
    case varSingle:
      return svtSingle;
    case varString:
      return svtString;
    case varOleStr:
      return svtWideString;
    default:
      return 0;
  }
}

void WriteStreamValue(TWriter& AWriter, Integer ATag, const Variant& AValue) {
  switch (ATag) {
    case svtBoolean:
      AWriter.WriteBoolean(AValue.AsBoolean());
      break;
    case svtByte:
      AWriter.WriteChar(static_cast<char>(AValue.AsByte()));
      break;
    case svtCurrency:
      AWriter.WriteCurrency(AValue.AsCurrency());
      break;
    case svtDate:
      // As read: a date beyond the calendar's range is still written back
      // rather than refused half-way through the tree.
      AWriter.WriteDate(AValue.AsDouble());
      break;
    case svtDouble:
      AWriter.WriteFloat(AValue.AsDouble());
      break;
    case svtInteger:
      AWriter.WriteInteger(AsStoredInteger(AValue));
      break;
    case svtSingle:
      AWriter.WriteSingle(AValue.AsSingle());
      break;
    case svtString:
      WriteStorageString(AWriter, AValue.AsString());
      break;
    case svtWideString:
      WriteStorageWideString(AWriter, AValue.AsWideString());
      break;
    default:
      break;
  }
}

Variant ReadStreamValue(TReader& AReader, Integer ATag) {
  switch (ATag) {
    case svtBoolean:
      return AReader.ReadBoolean();
    case svtByte:
      return static_cast<Byte>(AReader.ReadChar());
    case svtCurrency:
      return AReader.ReadCurrency();
    case svtDate:
      return Variant::FromDateTime(AReader.ReadDate());
    case svtDouble:
      return AReader.ReadFloat();
    case svtInteger:
      return AReader.ReadInteger();
    case svtSingle:
      return static_cast<double>(AReader.ReadSingle());
    case svtString:
      return AReader.ReadString();
    case svtWideString:
      return AReader.ReadWideString();
    default:
      return Null();
  }
}

void WriteObjectData(TWriter& AWriter, const TcxStreamObjectData& AData,
                     int ADepth) {
  if (ADepth > kMaxStorageDepth) throw EWriteError("Stored tree too deep");
  WriteStorageString(AWriter, AData.Name);
  WriteStorageString(AWriter, AData.ClassName);
  std::vector<std::pair<const TcxStreamPropertyData*, Integer>> stored;
  for (const auto& prop : AData.Properties) {
    const Integer tag = StreamTagOf(prop->Value);
    if (tag != 0) stored.emplace_back(prop.get(), tag);
  }
  AWriter.WriteInteger(static_cast<Integer>(stored.size()));
  for (const auto& [prop, tag] : stored) {
    WriteStorageString(AWriter, prop->Name);
    AWriter.WriteInteger(tag);
    WriteStreamValue(AWriter, tag, prop->Value);
  }
  AWriter.WriteInteger(static_cast<Integer>(AData.Children.size()));
  for (const auto& child : AData.Children)
    WriteObjectData(AWriter, *child, ADepth + 1);
}

// A count read from the stream: every entry takes at least one byte, so a
// count beyond what is left is corrupt (and must not size a list).
Integer ReadStreamCount(TReader& AReader, TStream& AStream) {
  const Integer count = AReader.ReadInteger();
  if (count < 0 || count > AStream.Size() - AStream.Position())
    throw EReadError("Invalid stream format");
  return count;
}

void ReadObjectData(TReader& AReader, TStream& AStream,
                    TcxStreamObjectData& AData, int ADepth) {
  if (ADepth > kMaxStorageDepth) throw EReadError("Invalid stream format");
  AData.Name = AReader.ReadString();
  AData.ClassName = AReader.ReadString();
  const Integer propCount = ReadStreamCount(AReader, AStream);
  for (Integer i = 0; i < propCount; ++i) {
    const String name = AReader.ReadString();
    const Integer tag = AReader.ReadInteger();
    AData.AddProperty(name, ReadStreamValue(AReader, tag));
  }
  const Integer childCount = ReadStreamCount(AReader, AStream);
  for (Integer i = 0; i < childCount; ++i) {
    AData.Children.emplace_back(new TcxStreamObjectData);
    ReadObjectData(AReader, AStream, *AData.Children.back(), ADepth + 1);
  }
}

}  // namespace

TcxStreamObjectData* TcxStreamObjectData::AddChild(const String& AName,
                                                   const String& AClassName) {
  Children.emplace_back(new TcxStreamObjectData(AName, AClassName));
  return Children.back().get();
}

TcxStreamObjectData* TcxStreamObjectData::FindChild(const String& AName) const {
  for (const auto& child : Children)
    if (child->Name == AName) return child.get();
  return nullptr;
}

void TcxStreamObjectData::AddProperty(const String& AName,
                                      const Variant& AValue) {
  Properties.emplace_back(new TcxStreamPropertyData);
  Properties.back()->Name = AName;
  Properties.back()->Value = AValue;
}

const TcxStreamPropertyData* TcxStreamObjectData::FindProperty(
    const String& AName) const {
  for (const auto& prop : Properties)
    if (prop->Name == AName) return prop.get();
  return nullptr;
}

void TcxStreamObjectData::SaveToStream(TStream* AStream) const {
  TWriter writer(*AStream);
  WriteObjectData(writer, *this, 0);
}

void TcxStreamObjectData::LoadFromStream(TStream* AStream) {
  Name.clear();
  ClassName.clear();
  Properties.clear();
  Children.clear();
  TReader reader(*AStream);
  ReadObjectData(reader, *AStream, *this, 0);
}

TcxStreamReader::TcxStreamReader(const String& AStorageName)
    : TcxCustomReader(AStorageName) {}

TObjectPtr<TcxCustomReader> TcxStreamReader::Create(
    const String& AStorageName) {
  return TObjectPtr<TcxCustomReader>(new TcxStreamReader(AStorageName));
}

void TcxStreamReader::Read() {
  root_.reset();
  lastName_.clear();
  lastObject_ = nullptr;
  if (!stream_) return;
  TObjectPtr<TcxStreamObjectData> root(new TcxStreamObjectData);
  root->LoadFromStream(stream_);
  root_ = std::move(root);
}

TcxStreamObjectData* TcxStreamReader::FindObject(const String& AObjectName) {
  if (lastObject_ && lastName_ == AObjectName) return lastObject_;
  TcxStreamObjectData* object = root_.get();
  const std::vector<String> parts = SplitPath(AObjectName);
  for (std::size_t i = 1; object && i < parts.size(); ++i)
    object = object->FindChild(parts[i]);
  if (object && object->Name != parts.back()) object = nullptr;
  lastName_ = AObjectName;
  lastObject_ = object;
  return object;
}

void TcxStreamReader::ReadProperties(const String& AObjectName, const String&,
                                     TStrings* AProperties) {
  AProperties->Clear();
  if (TcxStreamObjectData* object = FindObject(AObjectName))
    for (const auto& prop : object->Properties) AProperties->Add(prop->Name);
}

void TcxStreamReader::ReadProperty(const String& AObjectName, const String&,
                                   Variant& AValue, const String& AName) {
  AValue = Null();
  if (TcxStreamObjectData* object = FindObject(AObjectName))
    if (const TcxStreamPropertyData* prop = object->FindProperty(AName))
      AValue = prop->Value;
}

void TcxStreamReader::ReadChildren(const String& AObjectName, const String&,
                                   TStrings* AChildrenClassNames,
                                   TStrings* AChildrenNames) {
  AChildrenClassNames->Clear();
  AChildrenNames->Clear();
  if (TcxStreamObjectData* object = FindObject(AObjectName)) {
    for (const auto& child : object->Children) {
      AChildrenClassNames->Add(child->ClassName);
      AChildrenNames->Add(child->Name);
    }
  }
}

TcxStreamWriter::TcxStreamWriter(const String& AStorageName, bool AReCreate)
    : TcxCustomWriter(AStorageName, AReCreate) {}

TObjectPtr<TcxCustomWriter> TcxStreamWriter::Create(const String& AStorageName,
                                                    bool AReCreate) {
  return TObjectPtr<TcxCustomWriter>(
      new TcxStreamWriter(AStorageName, AReCreate));
}

void TcxStreamWriter::BeginWriteObject(const String& AObjectName,
                                       const String& AClassName) {
  const std::vector<String> parts = SplitPath(AObjectName);
  current_ = nullptr;
  if (parts.size() == 1) {
    if (!root_) {
      root_.reset(new TcxStreamObjectData(parts[0], AClassName));
      current_ = root_.get();
    }
    return;
  }
  TcxStreamObjectData* parent = root_.get();
  for (std::size_t i = 1; parent && i + 1 < parts.size(); ++i)
    parent = parent->FindChild(parts[i]);
  if (parent) current_ = parent->AddChild(parts.back(), AClassName);
}

void TcxStreamWriter::WriteProperty(const String&, const String&,
                                    const String& AName,
                                    const Variant& AValue) {
  if (current_) current_->AddProperty(AName, AValue);
}

void TcxStreamWriter::Write() {
  if (stream_ && root_) root_->SaveToStream(stream_);
  root_.reset();
  current_ = nullptr;
}

// ---------------------------------------------------------------------------
// TcxStorage
// ---------------------------------------------------------------------------

TcxStorage::TcxStorage(const String& ALocation) : location_(ALocation) {}

TcxStorage::TcxStorage(TStream* AStream) : dataStream_(AStream) {}

TcxStorage::~TcxStorage() = default;

void TcxStorage::StoreToIni(TObject* AObject) {
  StoreTo(AObject, &TcxIniFileWriter::Create);
}

void TcxStorage::StoreToStream(TObject* AObject) {
  if (!dataStream_) return;
  SetStoredObject(AObject);
  TcxStreamWriter writer(location_, true);
  writer.SetStream(dataStream_);
  InternalStoreTo(&writer, String());
  writer.Write();
}

void TcxStorage::RestoreFromIni(TObject* AObject) {
  if (FileExists(location_)) RestoreFrom(AObject, &TcxIniFileReader::Create);
}

void TcxStorage::RestoreFromStream(TObject* AObject) {
  if (!dataStream_ || dataStream_->Size() == 0) return;
  SetStoredObject(AObject);
  TcxStreamReader reader(location_);
  reader.SetStream(dataStream_);
  reader.Read();
  InternalRestoreFrom(&reader, String());
}

void TcxStorage::RestoreFrom(TObject* AObject,
                             TcxCustomReaderClass AReaderClass) {
  SetStoredObject(AObject);
  TObjectPtr<TcxCustomReader> reader = AReaderClass(location_);
  InternalRestoreFrom(reader.get(), String());
}

void TcxStorage::RestoreWithExistingReader(TObject* AObject,
                                           TcxCustomReader* AReader) {
  if (!AReader) return;
  SetStoredObject(AObject);
  if (auto* streamReader = dynamic_cast<TcxStreamReader*>(AReader))
    streamReader->Read();
  InternalRestoreFrom(AReader, String());
}

void TcxStorage::StoreTo(TObject* AObject, TcxCustomWriterClass AWriterClass) {
  SetStoredObject(AObject);
  TObjectPtr<TcxCustomWriter> writer = AWriterClass(location_, clearFirst_);
  InternalStoreTo(writer.get(), String());
  // A file that cannot be written must fail the store, not vanish in the
  // writer's destructor.
  if (auto* iniWriter = dynamic_cast<TcxIniFileWriter*>(writer.get()))
    iniWriter->UpdateFile();
}

void TcxStorage::StoreWithExistingWriter(TObject* AObject,
                                         TcxCustomWriter* AWriter) {
  if (!AWriter) return;
  SetStoredObject(AObject);
  InternalStoreTo(AWriter, String());
  if (auto* streamWriter = dynamic_cast<TcxStreamWriter*>(AWriter))
    streamWriter->Write();
}

void TcxStorage::SetStoredObject(TObject* AObject) {
  storedObject_ = AObject;
  storedIntf_ = QueryStoredIntf<IcxStoredObject>(AObject);
  parentIntf_ = QueryStoredIntf<IcxStoredParent>(AObject);
}

String TcxStorage::FullName(const String& AObjectName) {
  String name = AObjectName;
  if (!nameQualifier_.empty()) name = nameQualifier_ + "." + name;
  return pathPrefix_ + name;
}

TObjectPtr<TcxStorage> TcxStorage::MakeChildStorage(const String& AFullName,
                                                    TObject* AChild) {
  if (depth_ >= kMaxStorageDepth)
    throw EcxStorage("The stored tree is nested too deep at %s", {AFullName});
  TObjectPtr<TcxStorage> child(new TcxStorage(String()));
  child->depth_ = depth_ + 1;
  child->pathPrefix_ = AFullName + "/";
  child->ClassPropertyFilter = ClassPropertyFilter;
  child->ComponentLookup = ComponentLookup;
  child->modesValue_ = modesValue_;
  child->componentRefsByName_ = componentRefsByName_;
  child->SetStoredObject(AChild);
  return child;
}

void TcxStorage::InternalStoreTo(TcxCustomWriter* AWriter,
                                 const String& AObjectName) {
  if (!storedObject_) return;
  const String fullName =
      FullName(AObjectName.empty() ? GetObjectName() : AObjectName);
  const String className = storedObject_->ClassName();
  AWriter->BeginWriteObject(fullName, className);

  TObjectPtr<TStringList> properties(new TStringList);
  GetProperties(properties.get());
  for (Integer i = 0; i < properties->Count(); ++i) {
    Variant value;
    GetPropertyValue(properties->Strings(i), value);
    if (!value.IsEmpty() && !value.IsNull())
      AWriter->WriteProperty(fullName, className, properties->Strings(i),
                             value);
  }

  TObjectPtr<TStringList> children(new TStringList);
  GetChildren(children.get());
  for (Integer i = 0; i < children->Count(); ++i) {
    TObjectPtr<TcxStorage> child =
        MakeChildStorage(fullName, children->Objects(i));
    child->InternalStoreTo(AWriter, children->Strings(i));
  }
  AWriter->EndWriteObject(fullName, className);
}

void TcxStorage::InternalRestoreFrom(TcxCustomReader* AReader,
                                     const String& AObjectName) {
  if (!storedObject_) return;
  const String fullName =
      FullName(AObjectName.empty() ? GetObjectName() : AObjectName);
  const String className = storedObject_->ClassName();

  TObjectPtr<TStringList> properties(new TStringList);
  AReader->ReadProperties(fullName, className, properties.get());
  for (Integer i = 0; i < properties->Count(); ++i) {
    const String name = properties->Strings(i);
    if (name.empty()) continue;
    Variant value;
    AReader->ReadProperty(fullName, className, value, name);
    if (!value.IsNull()) SetPropertyValue(name, value);
  }

  TObjectPtr<TStringList> storedClassNames(new TStringList);
  TObjectPtr<TStringList> storedNames(new TStringList);
  AReader->ReadChildren(fullName, className, storedClassNames.get(),
                        storedNames.get());
  TObjectPtr<TStringList> existing(new TStringList);
  GetChildren(existing.get());
  CreateChildrenNames(existing.get());

  const TcxStorageModes modes = GetStorageModes();
  for (Integer i = 0; i < storedNames->Count(); ++i) {
    const String storedName = storedNames->Strings(i);
    TObject* child = nullptr;
    const Integer index = existing->IndexOf(storedName);
    if (index >= 0) {
      child = existing->Objects(index);
      existing->Delete(index);
    } else if (modes.Contains(smChildrenCreating)) {
      const String storedClass = i < storedClassNames->Count()
                                     ? storedClassNames->Strings(i)
                                     : String();
      child = CreateChild(storedName, storedClass);
    }
    if (!child) continue;
    // Read under the stored name: a child matched in another letter case
    // would otherwise be looked up in a case-sensitive back end (the stream)
    // under a name that is not there, and nothing would be restored.
    MakeChildStorage(fullName, child)->InternalRestoreFrom(AReader, storedName);
  }

  if (modes.Contains(smChildrenDeleting))
    for (Integer i = 0; i < existing->Count(); ++i)
      DeleteChild(existing->Strings(i), existing->Objects(i));
}

String TcxStorage::GetObjectName(TObject* AObject) {
  TObject* object = AObject ? AObject : storedObject_;
  TIntfPtr<IcxStoredObject> intf =
      object == storedObject_ ? storedIntf_
                              : QueryStoredIntf<IcxStoredObject>(object);
  if (intf) return intf->GetObjectName();
  if (auto* component = dynamic_cast<TComponent*>(object))
    return component->Name();
  return "Object";
}

void TcxStorage::GetProperties(TStrings* AProperties) {
  if (!storedIntf_ || !storedIntf_->GetProperties(AProperties))
    GetAllPublishedProperties(AProperties);
}

void TcxStorage::GetAllPublishedProperties(TStrings* AProperties) {
  if (!storedObject_) return;
  for (PPropInfo prop : GetPropList(storedObject_, tkProperties))
    AProperties->Add(prop->Name);
}

void TcxStorage::GetAllPublishedClassProperties(TStrings* AProperties) {
  if (!storedObject_) return;
  for (PPropInfo prop : GetPropList(storedObject_, TTypeKinds{tkClass}))
    AProperties->Add(prop->Name);
}

TObject* TcxStorage::GetClassProperty(const String& AName) {
  PPropInfo prop = storedObject_ ? GetPropInfo(storedObject_, AName) : nullptr;
  if (!prop || prop->Kind() != tkClass) return nullptr;
  return GetObjectProp(storedObject_, prop);
}

void TcxStorage::GetPropertyValue(const String& AName, Variant& AValue) {
  AValue = Null();
  bool askInterface = true;
  if (!GetUseInterfaceOnly() && storedObject_) {
    if (PPropInfo prop = GetPropInfo(storedObject_, AName)) {
      askInterface = false;
      switch (prop->Kind()) {
        case tkInteger:
        case tkChar:
        case tkWChar:
          AValue = static_cast<Integer>(GetOrdProp(storedObject_, prop));
          break;
        case tkEnumeration:
          AValue = GetEnumProp(storedObject_, prop);
          break;
        case tkFloat:
          AValue = static_cast<double>(GetFloatProp(storedObject_, prop));
          break;
        case tkString:
        case tkLString:
          AValue = GetStrProp(storedObject_, prop);
          break;
        case tkSet:
          AValue = GetSetProp(storedObject_, prop, true);
          break;
        case tkClass:
          if (componentRefsByName_) {
            if (auto* component = dynamic_cast<TComponent*>(
                    GetObjectProp(storedObject_, prop)))
              AValue = component->Name();
          } else {
            askInterface = true;
          }
          break;
        case tkWString:
          AValue = GetWideStrProp(storedObject_, prop);
          break;
        case tkVariant:
          GetVariantProp(storedObject_, prop, AValue);
          break;
        case tkInt64:
          AValue = GetInt64Prop(storedObject_, prop);
          break;
        default:
          askInterface = true;
          break;
      }
    }
  }
  if (askInterface && storedIntf_) storedIntf_->GetPropertyValue(AName, AValue);
  if ((VarType(AValue) & varTypeMask) == varBoolean)
    AValue = String(AValue.AsBoolean() ? "True" : "False");
}

void TcxStorage::SetPropertyValue(const String& AName, const Variant& AValue) {
  if (AValue.IsNull()) return;
  bool askInterface = true;
  if (!GetUseInterfaceOnly() && storedObject_) {
    if (PPropInfo prop = GetPropInfo(storedObject_, AName)) {
      askInterface = false;
      // A read-only property has nothing to restore: storing it is not a
      // reason to fail every later restore.
      const bool writable = prop->Writable();
      switch (prop->Kind()) {
        case tkInteger:
        case tkChar:
        case tkWChar:
          if (writable) SetOrdProp(storedObject_, prop, AValue.AsInteger());
          break;
        case tkEnumeration:
          if (writable) SetEnumProp(storedObject_, prop, VarToStr(AValue));
          break;
        case tkFloat:
          if (writable) SetFloatProp(storedObject_, prop, AValue.AsDouble());
          break;
        case tkString:
        case tkLString:
          if (writable) SetStrProp(storedObject_, prop, VarToStr(AValue));
          break;
        case tkSet:
          if (writable) SetSetProp(storedObject_, prop, VarToStr(AValue));
          break;
        case tkClass: {
          const TClass propClass = GetObjectPropClass(prop);
          if (componentRefsByName_ &&
              (VarType(AValue) & varTypeMask) == varString && propClass &&
              propClass->InheritsFrom(TComponent::StaticClass())) {
            TComponent* component = GetComponentByName(AValue.AsString());
            if (component && writable)
              SetObjectProp(storedObject_, prop, component);
          } else {
            askInterface = true;
          }
          break;
        }
        case tkWString:
          if (writable)
            SetWideStrProp(storedObject_, prop, VarToWideStr(AValue));
          break;
        case tkVariant:
          if (writable) SetVariantProp(storedObject_, prop, AValue);
          break;
        case tkInt64:
          if (writable) SetInt64Prop(storedObject_, prop, AValue.AsInt64());
          break;
        default:
          askInterface = true;
          break;
      }
    }
  }
  if (askInterface && storedIntf_) storedIntf_->SetPropertyValue(AName, AValue);
}

void TcxStorage::GetChildren(TStringList* AChildren) {
  if (parentIntf_) parentIntf_->GetChildren(AChildren);
  if (!GetStorageModes().Contains(smSavePublishedClassProperties) ||
      !storedObject_)
    return;
  if (auto* collection = dynamic_cast<TCollection*>(storedObject_)) {
    if (!parentIntf_)
      for (Integer i = 0; i < collection->Count(); ++i)
        AChildren->AddObject(IntToStr(i), collection->Items(i));
  }
  TObjectPtr<TStringList> names(new TStringList);
  GetAllPublishedClassProperties(names.get());
  for (Integer i = 0; i < names->Count(); ++i) {
    TObject* object = GetClassProperty(names->Strings(i));
    if (object && TestClassProperty(names->Strings(i), object))
      AChildren->AddObject(names->Strings(i), object);
  }
}

TObject* TcxStorage::CreateChild(const String& AObjectName,
                                 const String& AClassName) {
  TObject* child = nullptr;
  if (parentIntf_) child = parentIntf_->CreateChild(AObjectName, AClassName);
  if (!child)
    if (auto* collection = dynamic_cast<TCollection*>(storedObject_))
      child = collection->Add();
  return child;
}

void TcxStorage::DeleteChild(const String& AObjectName, TObject* AObject) {
  if (parentIntf_) {
    parentIntf_->DeleteChild(AObjectName, AObject);
  } else if (dynamic_cast<TCollection*>(storedObject_)) {
    TObjectDeleter()(AObject);
  }
}

void TcxStorage::CreateChildrenNames(TStringList* AChildren) {
  for (Integer i = 0; i < AChildren->Count(); ++i)
    if (AChildren->Strings(i).empty())
      AChildren->SetStrings(i, GetObjectName(AChildren->Objects(i)));
}

TComponent* TcxStorage::GetComponentByName(const String& AName) {
  return ComponentLookup.Assigned() ? ComponentLookup(AName) : nullptr;
}

TcxStorageModes TcxStorage::GetStorageModes() {
  return ModesQuery.Assigned() ? ModesQuery() : modesValue_;
}

bool TcxStorage::GetUseInterfaceOnly() {
  return InterfaceOnlyQuery.Assigned() ? InterfaceOnlyQuery()
                                       : interfaceOnlyValue_;
}

bool TcxStorage::TestClassProperty(const String& AName, TObject* AObject) {
  return ClassPropertyFilter.Assigned() ? ClassPropertyFilter(AName, AObject)
                                        : true;
}

// ---------------------------------------------------------------------------
// Conversion routines
// ---------------------------------------------------------------------------

namespace {
int HexDigitValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}
}  // namespace

String StringToHexString(const String& AText) {
  static const char kDigits[] = "0123456789ABCDEF";
  String result;
  result.reserve(AText.size() * 2);
  for (char c : AText) {
    const auto b = static_cast<unsigned char>(c);
    result += kDigits[b >> 4];
    result += kDigits[b & 15];
  }
  return result;
}

String HexStringToString(const String& AText) {
  for (char c : AText)
    if (HexDigitValue(c) < 0)
      throw EcxHexStringConvertError("Invalid hex character: %s",
                                     {String(1, c)});
  String result;
  result.reserve(AText.size() / 2);
  for (std::size_t i = 0; i + 1 < AText.size(); i += 2)
    result += static_cast<char>(HexDigitValue(AText[i]) * 16 +
                                HexDigitValue(AText[i + 1]));
  return result;
}

String StreamToString(TStream* AStream) {
  if (!AStream || AStream->Size() == 0) return String();
  String bytes(static_cast<std::size_t>(AStream->Size()), '\0');
  AStream->SetPosition(0);
  AStream->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return "Hex:" + StringToHexString(bytes);
}

void StringToStream(const String& AText, TStream* AStream) {
  if (!AStream || AText.size() < 6) return;
  const String bytes = HexStringToString(AText.substr(4));
  AStream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

bool StringToBoolean(const String& AText) {
  if (SameText(AText, "TRUE")) return true;
  if (SameText(AText, "FALSE")) return false;
  throw EPropertyConvertError("Invalid property value");
}

String EnumerationToString(Integer AIndex, const std::vector<String>& ANames) {
  if (AIndex < 0 || static_cast<std::size_t>(AIndex) >= ANames.size())
    throw EPropertyConvertError("Invalid property value");
  return ANames[static_cast<std::size_t>(AIndex)];
}

Integer StringToEnumeration(const String& AText,
                            const std::vector<String>& ANames) {
  for (std::size_t i = 0; i < ANames.size(); ++i)
    if (AnsiSameText(ANames[i], AText)) return static_cast<Integer>(i);
  throw EPropertyConvertError("Invalid property element: %s", {AText});
}

String SetToString(const void* ASet, Integer ASize,
                   const std::vector<String>& ANames) {
  const auto* bytes = static_cast<const Byte*>(ASet);
  String result;
  for (Integer bit = 0; bit < ASize * 8; ++bit) {
    if (!(bytes[bit / 8] & (1u << (bit % 8)))) continue;
    if (static_cast<std::size_t>(bit) >= ANames.size())
      throw EPropertyConvertError("Invalid property value");
    if (!result.empty()) result += ",";
    result += ANames[static_cast<std::size_t>(bit)];
  }
  return "[" + result + "]";
}

void StringToSet(const String& AText, void* ASet, Integer ASize,
                 const std::vector<String>& ANames) {
  if (AText.size() < 2 || AText.front() != '[' || AText.back() != ']')
    throw EPropertyConvertError("Invalid property value");
  std::vector<Byte> bits(static_cast<std::size_t>(std::max(ASize, 0)), 0);
  const String inside = AText.substr(1, AText.size() - 2);
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = inside.find(',', start);
    const String part = inside.substr(start, comma - start);
    for (std::size_t n = 0; n < ANames.size(); ++n) {
      if (n >= bits.size() * 8 || !AnsiSameText(ANames[n], part)) continue;
      bits[n / 8] |= static_cast<Byte>(1u << (n % 8));
      break;
    }
    if (comma == String::npos) break;
    start = comma + 1;
  }
  if (!bits.empty()) std::memcpy(ASet, bits.data(), bits.size());
}
