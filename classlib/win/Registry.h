// The registry wrapper: one open key at a time under a root key, typed
// values, and an ini-file view of a key.
#pragma once

#include <windows.h>

#include "Handles.h"
#include "IniFiles.h"
#include "System.h"

class TStrings;
class TStream;

VARNEL_EXCEPTION(ERegistryException, Exception)

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  Integer DataSize = 0;
};

struct TRegKeyInfo {
  Integer NumSubKeys = 0;
  Integer MaxSubKeyLen = 0;
  Integer NumValues = 0;
  Integer MaxValueLen = 0;
  Integer MaxDataLen = 0;
  FILETIME FileTime = {};
};

// Key names follow one rule everywhere: a name that starts with a backslash
// is taken from the root key; any other name is relative to the open key
// (or to the root key while none is open).
class TRegistry : public TObject {
  VARNEL_CLASS(TRegistry, TObject)
 public:
  TRegistry();
  explicit TRegistry(LongWord access);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Changing the root closes the open key.
  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY value);
  // The rights asked for when keys are opened or created.
  LongWord Access() const { return access_; }
  void SetAccess(LongWord value) { access_ = value; }
  // Off: every close flushes the key to disk at once.
  bool LazyWrite() const { return lazyWrite_; }
  void SetLazyWrite(bool value) { lazyWrite_ = value; }
  // The open key (null when none) and its path from the root, without a
  // leading backslash.
  HKEY CurrentKey() const { return currentKey_.get(); }
  const String& CurrentPath() const { return currentPath_; }

  // Opens key (creating it with canCreate) and makes it the open key; false
  // when it cannot be opened. The previous key stays open on failure.
  bool OpenKey(const String& key, bool canCreate);
  // Opens with read rights only (and keeps those rights as Access).
  bool OpenKeyReadOnly(const String& key);
  void CloseKey();
  // Creates key without opening it; raises ERegistryException on failure.
  bool CreateKey(const String& key);
  // Deletes key with all its subkeys and values.
  bool DeleteKey(const String& key);
  bool KeyExists(const String& key);
  // Copies oldName with its values and subkeys to newName, then deletes
  // oldName when asked. Nothing happens when oldName is missing or newName
  // exists. Raises ERegistryException when the copy fails; the source is
  // then left as it was.
  void MoveKey(const String& oldName, const String& newName, bool deleteOld);

  // Values of the open key.
  bool DeleteValue(const String& name);
  bool ValueExists(const String& name);
  void RenameValue(const String& oldName, const String& newName);
  bool GetDataInfo(const String& name, TRegDataInfo& info);
  Integer GetDataSize(const String& name);  // -1 when the value is missing
  TRegDataType GetDataType(const String& name);
  bool GetKeyInfo(TRegKeyInfo& info);
  bool HasSubKeys();
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);

  // Reads raise ERegistryException when the value is missing (strings and
  // byte blocks excepted), has another type, or has a size that does not
  // fit the type. Writes raise it when the value cannot be set.
  String ReadString(const String& name);  // "" when missing; also expand
  Integer ReadInteger(const String& name);
  bool ReadBool(const String& name);
  double ReadFloat(const String& name);
  Currency ReadCurrency(const String& name);
  TDateTime ReadDateTime(const String& name);
  TDateTime ReadDate(const String& name);
  TDateTime ReadTime(const String& name);
  // Copies the value into buffer and returns its size; 0 when missing.
  Integer ReadBinaryData(const String& name, void* buffer, Integer bufSize);

  void WriteString(const String& name, const String& value);
  void WriteExpandString(const String& name, const String& value);
  void WriteInteger(const String& name, Integer value);
  void WriteBool(const String& name, bool value);
  void WriteFloat(const String& name, double value);
  void WriteCurrency(const String& name, Currency value);
  void WriteDateTime(const String& name, TDateTime value);
  void WriteDate(const String& name, TDateTime value);
  void WriteTime(const String& name, TDateTime value);
  void WriteBinaryData(const String& name, const void* buffer, Integer bufSize);

 private:
  struct TTarget;
  TTarget Resolve(const String& key) const;
  void ChangeKey(TKeyHandle key, const String& path);
  void PutData(const String& name, const void* data, DWORD size, DWORD type);
  void ReadExact(const String& name, void* buffer, DWORD size,
                 TRegDataType expected);

  HKEY rootKey_ = HKEY_CURRENT_USER;
  TKeyHandle currentKey_;
  String currentPath_;
  LongWord access_ = KEY_ALL_ACCESS;
  bool lazyWrite_ = true;
};

// An ini-file view of a registry key: sections are its subkeys, entries
// their values. Section names follow TRegistry's rule, so one starting with
// a backslash is taken from the root key.
class TRegistryIniFile : public TCustomIniFile {
  VARNEL_CLASS(TRegistryIniFile, TCustomIniFile)
 public:
  explicit TRegistryIniFile(const String& fileName,
                            LongWord access = KEY_ALL_ACCESS);
  ~TRegistryIniFile() override;

  TRegistry& RegIniFile() { return *registry_; }

  String ReadString(const String& section, const String& ident,
                    const String& def) override;
  void WriteString(const String& section, const String& ident,
                   const String& value) override;
  Integer ReadInteger(const String& section, const String& ident,
                      Integer def) override;
  void WriteInteger(const String& section, const String& ident,
                    Integer value) override;
  Integer ReadBinaryStream(const String& section, const String& name,
                           TStream* value) override;
  void WriteBinaryStream(const String& section, const String& name,
                         TStream* value) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override;

 private:
  // A registry object opened on section (created when asked); null when the
  // section cannot be opened.
  TObjectPtr<TRegistry> OpenSection(const String& section, bool canCreate);

  TObjectPtr<TRegistry> registry_;
};
