#include "Registry.h"

#include <cstring>
#include <utility>
#include <vector>

#include "Classes.h"
#include "Handles.h"
#include "ScopeGuard.h"
#include "SysConst.h"
#include "SysUtils.h"

namespace {

TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

[[noreturn]] void ReadError(const String& name) {
  throw ERegistryException(SInvalidRegType, {name});
}

[[noreturn]] void GetDataError(const String& name) {
  throw ERegistryException(SRegGetDataFailed, {name});
}

// Names of the subkeys (or of the values) of key, in the order the registry
// enumerates them.
std::vector<String> EnumNames(HKEY key, bool values) {
  std::vector<String> names;
  DWORD maxKeyLen = 0, maxValueLen = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxKeyLen,
                       nullptr, nullptr, &maxValueLen, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return names;
  // The reported lengths count characters, which an ANSI name in a
  // multi-byte code page may exceed: the buffer grows when told to.
  std::vector<char> buffer((values ? maxValueLen : maxKeyLen) + 2);
  DWORD index = 0;
  while (true) {
    DWORD len = static_cast<DWORD>(buffer.size());
    LONG r = values ? RegEnumValueA(key, index, buffer.data(), &len, nullptr,
                                    nullptr, nullptr, nullptr)
                    : RegEnumKeyExA(key, index, buffer.data(), &len, nullptr,
                                    nullptr, nullptr, nullptr);
    if (r == ERROR_MORE_DATA && buffer.size() < 0x20000) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (r != ERROR_SUCCESS) break;
    names.emplace_back(buffer.data(), len);
    ++index;
  }
  return names;
}

// Reads a value whole, whatever its type; false when it cannot be read.
bool ReadRaw(HKEY key, const String& name, DWORD& type,
             std::vector<Byte>& data) {
  DWORD size = 0;
  if (!key || RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr,
                               &size) != ERROR_SUCCESS)
    return false;
  // The value may grow between the two calls; a few rounds settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    data.resize(size + 1);
    DWORD len = size + 1;
    LONG r =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &len);
    if (r == ERROR_SUCCESS) {
      data.resize(len);
      return true;
    }
    if (r != ERROR_MORE_DATA) return false;
    size = len;
  }
  return false;
}

// Deletes sub under base with everything below it.
LONG DeleteTree(HKEY base, const String& sub) {
  {
    TKeyHandle key;
    if (RegOpenKeyExA(base, sub.c_str(), 0,
                      KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE,
                      key.out()) == ERROR_SUCCESS) {
      for (const String& child : EnumNames(key.get(), false))
        DeleteTree(key.get(), child);
    }
  }
  return RegDeleteKeyA(base, sub.c_str());
}

// Copies the values and subkeys of from into to.
void CopyTree(HKEY from, HKEY to, const String& path) {
  for (const String& name : EnumNames(from, true)) {
    DWORD type = 0;
    std::vector<Byte> data;
    if (!ReadRaw(from, name, type, data)) GetDataError(name);
    if (RegSetValueExA(to, name.c_str(), 0, type, data.data(),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
      throw ERegistryException(SRegSetDataFailed, {name});
  }
  for (const String& name : EnumNames(from, false)) {
    String childPath = path + "\\" + name;
    TKeyHandle src, dst;
    if (RegOpenKeyExA(from, name.c_str(), 0, KEY_READ, src.out()) !=
        ERROR_SUCCESS)
      throw ERegistryException("Failed to open key %s", {childPath});
    if (RegCreateKeyExA(to, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, dst.out(),
                        nullptr) != ERROR_SUCCESS)
      throw ERegistryException(SRegCreateFailed, {childPath});
    CopyTree(src.get(), dst.get(), childPath);
  }
}

String StripTrailingBackslashes(String s) {
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// TRegistry
// ---------------------------------------------------------------------------

// Where a key name leads: the handle it is taken from, the name below that
// handle, and the path from the root.
struct TRegistry::TTarget {
  HKEY Base;
  String SubKey;
  String Path;
};

TRegistry::TRegistry() = default;

TRegistry::TRegistry(LongWord access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  if (value == rootKey_) return;
  CloseKey();
  rootKey_ = value;
}

TRegistry::TTarget TRegistry::Resolve(const String& key) const {
  bool relative = key.empty() || key[0] != '\\';
  // "A\B\" names A\B itself.
  String sub = StripTrailingBackslashes(relative ? key : key.substr(1));
  TTarget target{rootKey_, sub, sub};
  if (relative && currentKey_) {
    target.Base = currentKey_.get();
    if (sub.empty()) {
      target.Path = currentPath_;
    } else if (!currentPath_.empty()) {
      target.Path = currentPath_ + "\\" + sub;
    }
  }
  return target;
}

void TRegistry::ChangeKey(TKeyHandle key, const String& path) {
  CloseKey();
  currentKey_ = std::move(key);
  currentPath_ = path;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  TTarget target = Resolve(key);
  TKeyHandle opened;
  LONG r;
  if (canCreate) {
    r = RegCreateKeyExA(target.Base, target.SubKey.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, access_, nullptr, opened.out(),
                        nullptr);
  } else {
    r = RegOpenKeyExA(target.Base, target.SubKey.c_str(), 0, access_,
                      opened.out());
  }
  if (r != ERROR_SUCCESS) return false;
  ChangeKey(std::move(opened), target.Path);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& key) {
  // Some keys grant less than full read rights; the narrower masks still
  // allow reading values.
  const LongWord masks[] = {
      KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
      KEY_QUERY_VALUE};
  LongWord saved = access_;
  for (LongWord mask : masks) {
    access_ = mask;
    if (OpenKey(key, false)) return true;
  }
  access_ = saved;
  return false;
}

void TRegistry::CloseKey() {
  if (!currentKey_) return;
  if (!lazyWrite_) RegFlushKey(currentKey_.get());
  currentKey_.reset();
  currentPath_.clear();
}

bool TRegistry::CreateKey(const String& key) {
  TTarget target = Resolve(key);
  TKeyHandle created;
  if (target.SubKey.empty() ||
      RegCreateKeyExA(target.Base, target.SubKey.c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, access_, nullptr, created.out(),
                      nullptr) != ERROR_SUCCESS)
    throw ERegistryException(SRegCreateFailed, {key});
  return true;
}

bool TRegistry::DeleteKey(const String& key) {
  TTarget target = Resolve(key);
  // An empty name would name the open key or the whole root.
  if (target.SubKey.empty()) return false;
  return DeleteTree(target.Base, target.SubKey) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const String& key) {
  TTarget target = Resolve(key);
  TKeyHandle opened;
  LONG r = RegOpenKeyExA(
      target.Base, target.SubKey.c_str(), 0,
      STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
      opened.out());
  // A key that refuses to be read is there all the same.
  return r == ERROR_SUCCESS || r == ERROR_ACCESS_DENIED;
}

void TRegistry::MoveKey(const String& oldName, const String& newName,
                        bool deleteOld) {
  if (!KeyExists(oldName) || KeyExists(newName)) return;
  TTarget src = Resolve(oldName);
  TTarget dst = Resolve(newName);
  // Copying a key into its own subtree would never end.
  String srcPath = AnsiUpperCase(src.Path);
  String dstPath = AnsiUpperCase(dst.Path);
  if (src.SubKey.empty() || srcPath.empty() ||
      dstPath.compare(0, srcPath.size() + 1, srcPath + "\\") == 0)
    throw ERegistryException("Cannot move key %s into %s", {oldName, newName});

  TKeyHandle from;
  if (RegOpenKeyExA(src.Base, src.SubKey.c_str(), 0, KEY_READ, from.out()) !=
      ERROR_SUCCESS)
    throw ERegistryException("Failed to open key %s", {oldName});
  {
    TKeyHandle to;
    if (RegCreateKeyExA(dst.Base, dst.SubKey.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                        to.out(), nullptr) != ERROR_SUCCESS)
      throw ERegistryException(SRegCreateFailed, {newName});
    // The new key did not exist before: a failed copy takes the half-made
    // copy away.
    TScopeGuard rollback([&] {
      to.reset();
      DeleteTree(dst.Base, dst.SubKey);
    });
    CopyTree(from.get(), to.get(), newName);
    rollback.Dismiss();
  }
  if (deleteOld) {
    from.reset();
    DeleteTree(src.Base, src.SubKey);
  }
}

bool TRegistry::DeleteValue(const String& name) {
  return currentKey_ &&
         RegDeleteValueA(currentKey_.get(), name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

void TRegistry::RenameValue(const String& oldName, const String& newName) {
  if (!ValueExists(oldName) || ValueExists(newName)) return;
  DWORD type = 0;
  std::vector<Byte> data;
  if (!ReadRaw(currentKey_.get(), oldName, type, data)) GetDataError(oldName);
  PutData(newName, data.data(), static_cast<DWORD>(data.size()), type);
  DeleteValue(oldName);
}

bool TRegistry::GetDataInfo(const String& name, TRegDataInfo& info) {
  info = TRegDataInfo();
  DWORD type = 0, size = 0;
  if (!currentKey_ || RegQueryValueExA(currentKey_.get(), name.c_str(), nullptr,
                                       &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  info.RegData = DataTypeOf(type);
  info.DataSize = static_cast<Integer>(size);
  return true;
}

Integer TRegistry::GetDataSize(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.RegData : rdUnknown;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& info) {
  info = TRegKeyInfo();
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0,
        maxDataLen = 0;
  if (!currentKey_ ||
      RegQueryInfoKeyA(currentKey_.get(), nullptr, nullptr, nullptr, &subKeys,
                       &maxSubKeyLen, nullptr, &values, &maxValueLen,
                       &maxDataLen, nullptr, &info.FileTime) != ERROR_SUCCESS)
    return false;
  info.NumSubKeys = static_cast<Integer>(subKeys);
  info.MaxSubKeyLen = static_cast<Integer>(maxSubKeyLen);
  info.NumValues = static_cast<Integer>(values);
  info.MaxValueLen = static_cast<Integer>(maxValueLen);
  info.MaxDataLen = static_cast<Integer>(maxDataLen);
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

namespace {

void FillStrings(TStrings* strings, const std::vector<String>& names) {
  auto update =
      MakeBracket(strings, &TStrings::BeginUpdate, &TStrings::EndUpdate);
  strings->Clear();
  for (const String& name : names) strings->Add(name);
}

}  // namespace

void TRegistry::GetKeyNames(TStrings* strings) {
  FillStrings(strings, currentKey_ ? EnumNames(currentKey_.get(), false)
                                   : std::vector<String>());
}

void TRegistry::GetValueNames(TStrings* strings) {
  FillStrings(strings, currentKey_ ? EnumNames(currentKey_.get(), true)
                                   : std::vector<String>());
}

String TRegistry::ReadString(const String& name) {
  DWORD type = 0;
  std::vector<Byte> data;
  DWORD size = 0;
  if (!currentKey_ || RegQueryValueExA(currentKey_.get(), name.c_str(), nullptr,
                                       &type, nullptr, &size) != ERROR_SUCCESS)
    return String();
  if (type != REG_SZ && type != REG_EXPAND_SZ) ReadError(name);
  if (!ReadRaw(currentKey_.get(), name, type, data)) GetDataError(name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) ReadError(name);
  // Stored text need not end in a zero; it ends at the first one or at the
  // end of the data.
  std::size_t len = 0;
  while (len < data.size() && data[len] != 0) ++len;
  return String(reinterpret_cast<const char*>(data.data()), len);
}

void TRegistry::ReadExact(const String& name, void* buffer, DWORD size,
                          TRegDataType expected) {
  DWORD type = 0;
  std::vector<Byte> data;
  if (!ReadRaw(currentKey_.get(), name, type, data)) GetDataError(name);
  if (DataTypeOf(type) != expected || data.size() != size) ReadError(name);
  std::memcpy(buffer, data.data(), size);
}

Integer TRegistry::ReadInteger(const String& name) {
  Integer value = 0;
  ReadExact(name, &value, sizeof value, rdInteger);
  return value;
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }

double TRegistry::ReadFloat(const String& name) {
  double value = 0;
  ReadExact(name, &value, sizeof value, rdBinary);
  return value;
}

Currency TRegistry::ReadCurrency(const String& name) {
  Int64 scaled = 0;
  ReadExact(name, &scaled, sizeof scaled, rdBinary);
  return Currency::FromScaled(scaled);
}

TDateTime TRegistry::ReadDateTime(const String& name) {
  return ReadFloat(name);
}

TDateTime TRegistry::ReadDate(const String& name) { return ReadFloat(name); }

TDateTime TRegistry::ReadTime(const String& name) { return ReadFloat(name); }

Integer TRegistry::ReadBinaryData(const String& name, void* buffer,
                                  Integer bufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info)) return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) ||
      info.DataSize > bufSize)
    ReadError(name);
  if (info.DataSize == 0) return 0;
  DWORD type = 0;
  DWORD len = static_cast<DWORD>(bufSize);
  LONG r = RegQueryValueExA(currentKey_.get(), name.c_str(), nullptr, &type,
                            static_cast<BYTE*>(buffer), &len);
  if (r == ERROR_MORE_DATA) ReadError(name);  // grew since it was measured
  if (r != ERROR_SUCCESS) GetDataError(name);
  return static_cast<Integer>(len);
}

void TRegistry::PutData(const String& name, const void* data, DWORD size,
                        DWORD type) {
  if (!currentKey_ ||
      RegSetValueExA(currentKey_.get(), name.c_str(), 0, type,
                     static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    throw ERegistryException(SRegSetDataFailed, {name});
}

void TRegistry::WriteString(const String& name, const String& value) {
  PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const String& name, const String& value) {
  PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1),
          REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const String& name, Integer value) {
  PutData(name, &value, sizeof value, REG_DWORD);
}

void TRegistry::WriteBool(const String& name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteFloat(const String& name, double value) {
  PutData(name, &value, sizeof value, REG_BINARY);
}

void TRegistry::WriteCurrency(const String& name, Currency value) {
  PutData(name, &value.Value, sizeof value.Value, REG_BINARY);
}

void TRegistry::WriteDateTime(const String& name, TDateTime value) {
  WriteFloat(name, value);
}

void TRegistry::WriteDate(const String& name, TDateTime value) {
  WriteFloat(name, value);
}

void TRegistry::WriteTime(const String& name, TDateTime value) {
  WriteFloat(name, value);
}

void TRegistry::WriteBinaryData(const String& name, const void* buffer,
                                Integer bufSize) {
  PutData(name, buffer, static_cast<DWORD>(bufSize < 0 ? 0 : bufSize),
          REG_BINARY);
}

// ---------------------------------------------------------------------------
// TRegistryIniFile
// ---------------------------------------------------------------------------

TRegistryIniFile::TRegistryIniFile(const String& fileName, LongWord access)
    : TCustomIniFile(fileName), registry_(new TRegistry(access)) {
  registry_->OpenKey(fileName, true);
}

TRegistryIniFile::~TRegistryIniFile() = default;

TObjectPtr<TRegistry> TRegistryIniFile::OpenSection(const String& section,
                                                    bool canCreate) {
  bool absolute = !section.empty() && section[0] == '\\';
  // Without its own key a relative section would land at the root.
  if (!absolute && !registry_->CurrentKey()) return nullptr;
  String path = section;
  if (!absolute) {
    path = "\\" + registry_->CurrentPath();
    if (!section.empty()) path += "\\" + section;
  }
  TObjectPtr<TRegistry> reg(new TRegistry(registry_->Access()));
  reg->SetRootKey(registry_->RootKey());
  if (!reg->OpenKey(path, canCreate)) return nullptr;
  return reg;
}

String TRegistryIniFile::ReadString(const String& section, const String& ident,
                                    const String& def) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  if (!reg) return def;
  try {
    switch (reg->GetDataType(ident)) {
      case rdString:
      case rdExpandString:
        return reg->ReadString(ident);
      case rdInteger:
        return IntToStr(reg->ReadInteger(ident));
      default:
        return def;
    }
  } catch (const ERegistryException&) {
    return def;
  }
}

void TRegistryIniFile::WriteString(const String& section, const String& ident,
                                   const String& value) {
  TObjectPtr<TRegistry> reg = OpenSection(section, true);
  if (!reg) throw ERegistryException(SRegCreateFailed, {section});
  reg->WriteString(ident, value);
}

Integer TRegistryIniFile::ReadInteger(const String& section,
                                      const String& ident, Integer def) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  if (!reg) return def;
  try {
    switch (reg->GetDataType(ident)) {
      case rdInteger:
        return reg->ReadInteger(ident);
      case rdString:
      case rdExpandString:
        return StrToIntDef(reg->ReadString(ident), def);
      default:
        return def;
    }
  } catch (const ERegistryException&) {
    return def;
  }
}

void TRegistryIniFile::WriteInteger(const String& section, const String& ident,
                                    Integer value) {
  TObjectPtr<TRegistry> reg = OpenSection(section, true);
  if (!reg) throw ERegistryException(SRegCreateFailed, {section});
  // An entry someone stored as text stays text.
  if (reg->GetDataType(ident) == rdString) {
    reg->WriteString(ident, IntToStr(value));
  } else {
    reg->WriteInteger(ident, value);
  }
}

Integer TRegistryIniFile::ReadBinaryStream(const String& section,
                                           const String& name, TStream* value) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  if (!reg || !value) return 0;
  TRegDataInfo info;
  if (!reg->GetDataInfo(name, info) ||
      (info.RegData != rdBinary && info.RegData != rdUnknown) ||
      info.DataSize <= 0)
    return 0;
  std::vector<Byte> data(static_cast<std::size_t>(info.DataSize));
  Integer n;
  try {
    n = reg->ReadBinaryData(name, data.data(), info.DataSize);
  } catch (const ERegistryException&) {
    return 0;
  }
  Int64 start = value->Position();
  value->WriteBuffer(data.data(), n);
  value->SetPosition(start);
  return n;
}

void TRegistryIniFile::WriteBinaryStream(const String& section,
                                         const String& name, TStream* value) {
  std::vector<Byte> data;
  if (value) {
    Int64 rest = value->Size() - value->Position();
    if (rest > 0) {
      data.resize(static_cast<std::size_t>(rest));
      value->ReadBuffer(data.data(), static_cast<Integer>(rest));
    }
  }
  TObjectPtr<TRegistry> reg = OpenSection(section, true);
  if (!reg) throw ERegistryException(SRegCreateFailed, {section});
  reg->WriteBinaryData(name, data.data(), static_cast<Integer>(data.size()));
}

bool TRegistryIniFile::SectionExists(const String& section) {
  return OpenSection(section, false) != nullptr;
}

bool TRegistryIniFile::ValueExists(const String& section, const String& ident) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  return reg && reg->ValueExists(ident);
}

void TRegistryIniFile::ReadSection(const String& section, TStrings* strings) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  if (reg) {
    reg->GetValueNames(strings);
  } else {
    strings->Clear();
  }
}

void TRegistryIniFile::ReadSections(TStrings* strings) {
  registry_->GetKeyNames(strings);
}

void TRegistryIniFile::ReadSectionValues(const String& section,
                                         TStrings* strings) {
  TObjectPtr<TStringList> names(new TStringList);
  ReadSection(section, names.get());
  std::vector<String> lines;
  for (Integer i = 0; i < names->Count(); ++i) {
    String name = names->Strings(i);
    lines.push_back(name + "=" + ReadString(section, name, String()));
  }
  FillStrings(strings, lines);
}

void TRegistryIniFile::EraseSection(const String& section) {
  bool absolute = !section.empty() && section[0] == '\\';
  if (!absolute && !registry_->CurrentKey()) return;
  registry_->DeleteKey(section);
}

void TRegistryIniFile::DeleteKey(const String& section, const String& ident) {
  TObjectPtr<TRegistry> reg = OpenSection(section, false);
  if (reg) reg->DeleteValue(ident);
}

void TRegistryIniFile::UpdateFile() {
  // Registry writes take effect at once; flushing makes them durable.
  if (registry_->CurrentKey()) RegFlushKey(registry_->CurrentKey());
}
