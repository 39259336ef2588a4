// The registry back end of the object storage.
#include "Registry.h"
#include "SysUtils.h"
#include "cxClasses.h"
#include "cxStorage.h"

namespace {

const char kClassNameKey[] = "[ClassName]";
const char kClassNameValue[] = "ClassName";

// The location as a path from the hive's root, without a trailing
// backslash ("\" alone for the root itself).
String RootedLocation(const String& AStorageName) {
  String path = AStorageName;
  while (!path.empty() && path.front() == '\\') path.erase(0, 1);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return "\\" + path;
}

String JoinKey(const String& AParent, const String& AChild) {
  return AParent == "\\" ? AParent + AChild : AParent + "\\" + AChild;
}

// Root\Child\Grandchild for "Root/Child/Grandchild" under ALocation.
String ObjectKey(const String& ALocation, const String& AObjectName) {
  String key = ALocation;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = AObjectName.find('/', start);
    key = JoinKey(key, AObjectName.substr(start, slash - start));
    if (slash == String::npos) return key;
    start = slash + 1;
  }
}

String ParentKey(const String& ALocation, const String& AObjectName) {
  const std::size_t slash = AObjectName.rfind('/');
  return slash == String::npos
             ? ALocation
             : ObjectKey(ALocation, AObjectName.substr(0, slash));
}

[[noreturn]] void RaiseRegistryError(const TcxResourceString& AMessage,
                                     const String& AArgument) {
  throw ERegistryException(cxGetResourceString(AMessage), {AArgument});
}

}  // namespace

// ---------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------

TcxRegistryWriter::TcxRegistryWriter(const String& AStorageName, bool AReCreate)
    : TcxCustomWriter(AStorageName, AReCreate),
      registry_(new TRegistry(KEY_ALL_ACCESS)),
      location_(RootedLocation(AStorageName)) {
  if (AReCreate && !AStorageName.empty()) registry_->DeleteKey(location_);
  keyExists_ = registry_->KeyExists(location_);
}

TcxRegistryWriter::~TcxRegistryWriter() = default;

TObjectPtr<TcxCustomWriter> TcxRegistryWriter::Create(
    const String& AStorageName, bool AReCreate) {
  return TObjectPtr<TcxCustomWriter>(
      new TcxRegistryWriter(AStorageName, AReCreate));
}

void TcxRegistryWriter::OpenLocation() {
  // The messages name the path from the hive's root, after their own "\".
  const String shown = location_.substr(1);
  if (!keyExists_) {
    bool created = false;
    try {
      created = registry_->CreateKey(location_);
    } catch (const ERegistryException&) {
    }
    if (!created) RaiseRegistryError(scxCantCreateRegistryKey, shown);
    keyExists_ = true;
  }
  if (!registry_->OpenKey(location_, false))
    RaiseRegistryError(scxCantOpenRegistryKey, shown);
  locationOpened_ = true;
}

void TcxRegistryWriter::BeginWriteObject(const String& AObjectName,
                                         const String& AClassName) {
  if (!locationOpened_) OpenLocation();
  const String key = ObjectKey(location_, AObjectName);
  bool stored = false;
  try {
    stored = registry_->OpenKey(key, true) &&
             registry_->OpenKey(JoinKey(key, kClassNameKey), true);
    if (stored) {
      registry_->WriteString(kClassNameValue, AClassName);
      registry_->CloseKey();
      stored = registry_->OpenKey(key, false);
    }
  } catch (const ERegistryException&) {
    stored = false;
  }
  if (!stored) RaiseRegistryError(scxErrorStoreObject, AObjectName);
}

void TcxRegistryWriter::EndWriteObject(const String& AObjectName,
                                       const String&) {
  registry_->CloseKey();
  registry_->OpenKey(ParentKey(location_, AObjectName), false);
}

void TcxRegistryWriter::WriteProperty(const String& AObjectName, const String&,
                                      const String& AName,
                                      const Variant& AValue) {
  const String key = ObjectKey(location_, AObjectName);
  if (!SameText("\\" + registry_->CurrentPath(), key) &&
      !registry_->OpenKey(key, true))
    RaiseRegistryError(scxErrorStoreObject, AObjectName);
  const TVarType type = VarType(AValue) & varTypeMask;
  if (VarTypeIsInteger(type)) {
    registry_->WriteInteger(
        AName, static_cast<Integer>(static_cast<UInt64>(AValue.AsInt64())));
  } else if (type == varSingle || type == varDouble || type == varDate ||
             type == varCurrency) {
    // The reader takes every 8-byte block for a double: a currency written
    // as its scaled integer would come back as a meaningless tiny number.
    registry_->WriteFloat(AName, AValue.AsDouble());
  } else if (type == varString || type == varOleStr) {
    registry_->WriteString(AName, "\"" + AValue.AsString() + "\"");
  }
}

// ---------------------------------------------------------------------------
// Reader
// ---------------------------------------------------------------------------

TcxRegistryReader::TcxRegistryReader(const String& AStorageName)
    : TcxCustomReader(AStorageName),
      registry_(new TRegistry(KEY_READ)),
      location_(RootedLocation(AStorageName)) {
  opened_ = registry_->OpenKeyReadOnly(location_);
}

TcxRegistryReader::~TcxRegistryReader() = default;

TObjectPtr<TcxCustomReader> TcxRegistryReader::Create(
    const String& AStorageName) {
  return TObjectPtr<TcxCustomReader>(new TcxRegistryReader(AStorageName));
}

void TcxRegistryReader::ReadProperties(const String& AObjectName, const String&,
                                       TStrings* AProperties) {
  AProperties->Clear();
  if (opened_ && registry_->OpenKeyReadOnly(ObjectKey(location_, AObjectName)))
    registry_->GetValueNames(AProperties);
}

void TcxRegistryReader::ReadProperty(const String& AObjectName, const String&,
                                     Variant& AValue, const String& AName) {
  AValue = Null();
  if (!opened_) return;
  const String key = ObjectKey(location_, AObjectName);
  if (!SameText("\\" + registry_->CurrentPath(), key) &&
      !registry_->OpenKeyReadOnly(key))
    return;
  if (!registry_->ValueExists(AName)) return;
  switch (registry_->GetDataType(AName)) {
    case rdString:
    case rdExpandString: {
      const String text = registry_->ReadString(AName);
      double number;
      TDateTime dateTime;
      if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        AValue = text.substr(1, text.size() - 2);
      else if (TryStrToFloat(text, number))
        AValue = number;
      else if (TryStrToDateTime(text, dateTime))
        AValue = Variant::FromDateTime(dateTime);
      else
        AValue = text;
      break;
    }
    case rdInteger:
      AValue = registry_->ReadInteger(AName);
      break;
    case rdBinary:
      AValue = registry_->ReadFloat(AName);
      break;
    default:
      break;
  }
}

void TcxRegistryReader::ReadChildren(const String& AObjectName, const String&,
                                     TStrings* AChildrenClassNames,
                                     TStrings* AChildrenNames) {
  AChildrenClassNames->Clear();
  AChildrenNames->Clear();
  if (!opened_) return;
  const String key = ObjectKey(location_, AObjectName);
  if (!registry_->OpenKeyReadOnly(key)) return;
  TObjectPtr<TStringList> names(new TStringList);
  registry_->GetKeyNames(names.get());
  bool classKeySkipped = false;
  for (Integer i = 0; i < names->Count(); ++i) {
    const String name = names->Strings(i);
    if (!classKeySkipped && SameText(name, kClassNameKey)) {
      classKeySkipped = true;
      continue;
    }
    String className;
    if (registry_->OpenKeyReadOnly(
            JoinKey(JoinKey(key, name), kClassNameKey)) &&
        registry_->ValueExists(kClassNameValue) &&
        registry_->GetDataType(kClassNameValue) == rdString)
      className = registry_->ReadString(kClassNameValue);
    registry_->OpenKeyReadOnly(key);
    AChildrenClassNames->Add(className);
    AChildrenNames->Add(name);
  }
}

// ---------------------------------------------------------------------------
// TcxStorage's registry entry points
// ---------------------------------------------------------------------------

void TcxStorage::StoreToRegistry(TObject* AObject) {
  StoreTo(AObject, &TcxRegistryWriter::Create);
}

void TcxStorage::RestoreFromRegistry(TObject* AObject) {
  RestoreFrom(AObject, &TcxRegistryReader::Create);
}
