// Object storage: saves the state of an object tree (an object, its
// published properties and, recursively, its children) and restores it
// later. TcxStorage walks the tree; a reader or writer puts the data into a
// registry key, an INI file or a stream.
//
// Objects take part through their published properties or by implementing
// IcxStoredObject and IcxStoredParent. Interfaces are looked up without
// keeping a counted reference past the storage's own life, so the stored
// objects should be components or other persistents that are not freed by
// reference counting.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "TypInfo.h"
#include "Variants.h"

class TMemIniFile;
class TRegistry;

// ---------------------------------------------------------------------------
// Interfaces of stored objects
// ---------------------------------------------------------------------------

class IcxStoredObject : public IInterface {
 public:
  static constexpr TGUID IID{0x79A05009,
                             0xCAC3,
                             0x47E8,
                             {0xB4, 0x54, 0xF6, 0xF3, 0xD9, 0x1F, 0x49, 0x5D}};
  virtual String GetObjectName() = 0;
  // Fills AProperties with the stored property names; false asks the storage
  // to add the published properties as well.
  virtual bool GetProperties(TStrings* AProperties) = 0;
  virtual void GetPropertyValue(const String& AName, Variant& AValue) = 0;
  virtual void SetPropertyValue(const String& AName, const Variant& AValue) = 0;

 protected:
  ~IcxStoredObject() = default;
};

class IcxStoredParent : public IInterface {
 public:
  static constexpr TGUID IID{0x6AF48CD0,
                             0x3A0B,
                             0x4BEC,
                             {0xAC, 0x88, 0x5D, 0x32, 0x34, 0x32, 0xA6, 0x86}};
  // The new child, or null when none can be made.
  virtual TObject* CreateChild(const String& AObjectName,
                               const String& AClassName) = 0;
  virtual void DeleteChild(const String& AObjectName, TObject* AObject) = 0;
  // Fills AChildren with names, each with its child object; an empty name
  // lets the storage name the child.
  virtual void GetChildren(TStringList* AChildren) = 0;

 protected:
  ~IcxStoredParent() = default;
};

// ---------------------------------------------------------------------------
// Exceptions and modes
// ---------------------------------------------------------------------------

VARNEL_EXCEPTION(EcxStorage, Exception)
VARNEL_EXCEPTION(EcxHexStringConvertError, Exception)

enum TcxStorageMode : Byte {
  // Restoring creates the stored children that the tree lacks.
  smChildrenCreating,
  // Restoring deletes the children that the stored data lacks.
  smChildrenDeleting,
  // Published object-typed properties and collection items are children.
  smSavePublishedClassProperties,
};
using TcxStorageModes = TSet<TcxStorageMode>;

using TcxGetStorageModesEvent = TClosure<TcxStorageModes()>;
using TcxGetUseInterfaceOnlyEvent = TClosure<bool()>;
using TcxTestClassPropertyEvent =
    TClosure<bool(const String& AName, TObject* AObject)>;
using TcxGetComponentByNameEvent = TClosure<TComponent*(const String& AName)>;

// ---------------------------------------------------------------------------
// Readers and writers
// ---------------------------------------------------------------------------

// Object names handed to readers and writers are full names: the "/"-joined
// path from the root object ("Grid/Row1").
class TcxCustomReader : public TObject {
  VARNEL_CLASS(TcxCustomReader, TObject)
 public:
  explicit TcxCustomReader(const String& AStorageName);
  const String& StorageName() const { return storageName_; }

  virtual void ReadProperties(const String& AObjectName,
                              const String& AClassName, TStrings* AProperties);
  // Null when the property is not stored.
  virtual void ReadProperty(const String& AObjectName, const String& AClassName,
                            Variant& AValue, const String& AName);
  // Two lists in matching order.
  virtual void ReadChildren(const String& AObjectName, const String& AClassName,
                            TStrings* AChildrenClassNames,
                            TStrings* AChildrenNames);

 private:
  String storageName_;
};

class TcxCustomWriter : public TObject {
  VARNEL_CLASS(TcxCustomWriter, TObject)
 public:
  TcxCustomWriter(const String& AStorageName, bool AReCreate);
  const String& StorageName() const { return storageName_; }
  bool ReCreate() const { return reCreate_; }

  virtual void BeginWriteObject(const String& AObjectName,
                                const String& AClassName);
  virtual void EndWriteObject(const String& AObjectName,
                              const String& AClassName);
  virtual void WriteProperty(const String& AObjectName,
                             const String& AClassName, const String& AName,
                             const Variant& AValue);

 private:
  String storageName_;
  bool reCreate_;
};

// Class references: make a reader or writer on a location.
using TcxCustomReaderClass =
    TObjectPtr<TcxCustomReader> (*)(const String& AStorageName);
using TcxCustomWriterClass =
    TObjectPtr<TcxCustomWriter> (*)(const String& AStorageName, bool AReCreate);

// The registry: one key per object (Root\Child\Grandchild) under a key of
// HKEY_CURRENT_USER, its class name in a "[ClassName]" subkey.
class TcxRegistryReader : public TcxCustomReader {
  VARNEL_CLASS(TcxRegistryReader, TcxCustomReader)
 public:
  explicit TcxRegistryReader(const String& AStorageName);
  ~TcxRegistryReader() override;
  static TObjectPtr<TcxCustomReader> Create(const String& AStorageName);

  void ReadProperties(const String& AObjectName, const String& AClassName,
                      TStrings* AProperties) override;
  void ReadProperty(const String& AObjectName, const String& AClassName,
                    Variant& AValue, const String& AName) override;
  void ReadChildren(const String& AObjectName, const String& AClassName,
                    TStrings* AChildrenClassNames,
                    TStrings* AChildrenNames) override;

 private:
  TObjectPtr<TRegistry> registry_;
  String location_;
  bool opened_ = false;
};

class TcxRegistryWriter : public TcxCustomWriter {
  VARNEL_CLASS(TcxRegistryWriter, TcxCustomWriter)
 public:
  TcxRegistryWriter(const String& AStorageName, bool AReCreate);
  ~TcxRegistryWriter() override;
  static TObjectPtr<TcxCustomWriter> Create(const String& AStorageName,
                                            bool AReCreate);

  void BeginWriteObject(const String& AObjectName,
                        const String& AClassName) override;
  void EndWriteObject(const String& AObjectName,
                      const String& AClassName) override;
  void WriteProperty(const String& AObjectName, const String& AClassName,
                     const String& AName, const Variant& AValue) override;

 private:
  void OpenLocation();

  TObjectPtr<TRegistry> registry_;
  String location_;
  bool keyExists_ = false;
  bool locationOpened_ = false;
};

// INI files: one section per object, "Root/Child: TClassName".
class TcxIniFileReader : public TcxCustomReader {
  VARNEL_CLASS(TcxIniFileReader, TcxCustomReader)
 public:
  explicit TcxIniFileReader(const String& AStorageName);
  ~TcxIniFileReader() override;
  static TObjectPtr<TcxCustomReader> Create(const String& AStorageName);

  void ReadProperties(const String& AObjectName, const String& AClassName,
                      TStrings* AProperties) override;
  void ReadProperty(const String& AObjectName, const String& AClassName,
                    Variant& AValue, const String& AName) override;
  void ReadChildren(const String& AObjectName, const String& AClassName,
                    TStrings* AChildrenClassNames,
                    TStrings* AChildrenNames) override;

 private:
  struct TSectionName {
    String ParentPath;  // up to and including the last "/", or ""
    String Name;
    String ClassName;
  };
  void ScanSections();

  TObjectPtr<TMemIniFile> iniFile_;
  std::vector<TSectionName> sections_;
  bool scanned_ = false;
};

class TcxIniFileWriter : public TcxCustomWriter {
  VARNEL_CLASS(TcxIniFileWriter, TcxCustomWriter)
 public:
  TcxIniFileWriter(const String& AStorageName, bool AReCreate);
  // Writes the file back.
  ~TcxIniFileWriter() override;
  static TObjectPtr<TcxCustomWriter> Create(const String& AStorageName,
                                            bool AReCreate);

  void BeginWriteObject(const String& AObjectName,
                        const String& AClassName) override;
  void WriteProperty(const String& AObjectName, const String& AClassName,
                     const String& AName, const Variant& AValue) override;
  // Writes the file now; the destructor does it too but cannot report a
  // failure.
  void UpdateFile();

 private:
  TObjectPtr<TMemIniFile> iniFile_;
  bool written_ = false;
};

// Streams: the whole tree is collected in memory and written at the end;
// read back whole before it is answered from.
class TcxStreamPropertyData : public TObject {
  VARNEL_CLASS(TcxStreamPropertyData, TObject)
 public:
  String Name;
  Variant Value;
};

class TcxStreamObjectData : public TObject {
  VARNEL_CLASS(TcxStreamObjectData, TObject)
 public:
  TcxStreamObjectData() = default;
  TcxStreamObjectData(const String& AName, const String& AClassName)
      : Name(AName), ClassName(AClassName) {}

  TcxStreamObjectData* AddChild(const String& AName, const String& AClassName);
  // The child of that exact name; null when none.
  TcxStreamObjectData* FindChild(const String& AName) const;
  void AddProperty(const String& AName, const Variant& AValue);
  const TcxStreamPropertyData* FindProperty(const String& AName) const;

  void SaveToStream(TStream* AStream) const;
  // Raises EReadError for data that does not follow the format.
  void LoadFromStream(TStream* AStream);

  String Name;
  String ClassName;
  std::vector<TObjectPtr<TcxStreamPropertyData>> Properties;
  std::vector<TObjectPtr<TcxStreamObjectData>> Children;
};

class TcxStreamReader : public TcxCustomReader {
  VARNEL_CLASS(TcxStreamReader, TcxCustomReader)
 public:
  explicit TcxStreamReader(const String& AStorageName);
  static TObjectPtr<TcxCustomReader> Create(const String& AStorageName);

  void SetStream(TStream* AStream) { stream_ = AStream; }
  // Reads the whole tree from the stream's position.
  void Read();

  void ReadProperties(const String& AObjectName, const String& AClassName,
                      TStrings* AProperties) override;
  void ReadProperty(const String& AObjectName, const String& AClassName,
                    Variant& AValue, const String& AName) override;
  void ReadChildren(const String& AObjectName, const String& AClassName,
                    TStrings* AChildrenClassNames,
                    TStrings* AChildrenNames) override;

 private:
  TcxStreamObjectData* FindObject(const String& AObjectName);

  TStream* stream_ = nullptr;
  TObjectPtr<TcxStreamObjectData> root_;
  String lastName_;
  TcxStreamObjectData* lastObject_ = nullptr;
};

class TcxStreamWriter : public TcxCustomWriter {
  VARNEL_CLASS(TcxStreamWriter, TcxCustomWriter)
 public:
  TcxStreamWriter(const String& AStorageName, bool AReCreate);
  static TObjectPtr<TcxCustomWriter> Create(const String& AStorageName,
                                            bool AReCreate);

  void SetStream(TStream* AStream) { stream_ = AStream; }
  // Puts the collected tree on the stream at its position and empties the
  // writer.
  void Write();

  void BeginWriteObject(const String& AObjectName,
                        const String& AClassName) override;
  void WriteProperty(const String& AObjectName, const String& AClassName,
                     const String& AName, const Variant& AValue) override;

 private:
  TStream* stream_ = nullptr;
  TObjectPtr<TcxStreamObjectData> root_;
  TcxStreamObjectData* current_ = nullptr;
};

// ---------------------------------------------------------------------------
// The storage
// ---------------------------------------------------------------------------

class TcxStorage : public TObject {
  VARNEL_CLASS(TcxStorage, TObject)
 public:
  // ALocation: a registry key path under HKEY_CURRENT_USER, or an INI file.
  explicit TcxStorage(const String& ALocation = String());
  explicit TcxStorage(TStream* AStream);
  ~TcxStorage() override;

  // --- Properties ---
  const String& Location() const { return location_; }
  void SetLocation(const String& AValue) { location_ = AValue; }
  TStream* DataStream() const { return dataStream_; }
  void SetDataStream(TStream* AValue) { dataStream_ = AValue; }
  // Writers empty their destination first (true at construction).
  bool ClearFirst() const { return clearFirst_; }
  void SetClearFirst(bool AValue) { clearFirst_ = AValue; }
  // The modes used while ModesQuery is unassigned.
  TcxStorageModes ModesValue() const { return modesValue_; }
  void SetModesValue(TcxStorageModes AValue) { modesValue_ = AValue; }
  // Property values only through IcxStoredObject (while InterfaceOnlyQuery
  // is unassigned).
  bool InterfaceOnlyValue() const { return interfaceOnlyValue_; }
  void SetInterfaceOnlyValue(bool AValue) { interfaceOnlyValue_ = AValue; }
  // Component-valued properties are stored as the component's name.
  bool ComponentRefsByName() const { return componentRefsByName_; }
  void SetComponentRefsByName(bool AValue) { componentRefsByName_ = AValue; }
  // Put in front of the object's name with ".".
  const String& NameQualifier() const { return nameQualifier_; }
  void SetNameQualifier(const String& AValue) { nameQualifier_ = AValue; }
  // Put in front of the qualified name to form the full name.
  const String& PathPrefix() const { return pathPrefix_; }
  void SetPathPrefix(const String& AValue) { pathPrefix_ = AValue; }

  TcxGetStorageModesEvent ModesQuery;
  TcxGetUseInterfaceOnlyEvent InterfaceOnlyQuery;
  // Decides which object-typed published properties become children.
  TcxTestClassPropertyEvent ClassPropertyFilter;
  // Finds a component by name when a by-name reference is restored.
  TcxGetComponentByNameEvent ComponentLookup;

  // --- Storing and restoring ---
  void StoreToIni(TObject* AObject);
  void StoreToRegistry(TObject* AObject);
  // Nothing without a stream.
  void StoreToStream(TObject* AObject);
  // Nothing when the file does not exist.
  void RestoreFromIni(TObject* AObject);
  void RestoreFromRegistry(TObject* AObject);
  // Nothing without a stream or with an empty one.
  void RestoreFromStream(TObject* AObject);

  virtual void RestoreFrom(TObject* AObject, TcxCustomReaderClass AReaderClass);
  virtual void RestoreWithExistingReader(TObject* AObject,
                                         TcxCustomReader* AReader);
  virtual void StoreTo(TObject* AObject, TcxCustomWriterClass AWriterClass);
  virtual void StoreWithExistingWriter(TObject* AObject,
                                       TcxCustomWriter* AWriter);

  // --- The stored object ---
  // The name of AObject, or of the stored object for null.
  String GetObjectName(TObject* AObject = nullptr);
  void GetProperties(TStrings* AProperties);
  void GetPropertyValue(const String& AName, Variant& AValue);
  void SetPropertyValue(const String& AName, const Variant& AValue);
  void GetChildren(TStringList* AChildren);
  TObject* CreateChild(const String& AObjectName, const String& AClassName);
  void DeleteChild(const String& AObjectName, TObject* AObject);
  void CreateChildrenNames(TStringList* AChildren);
  void GetAllPublishedProperties(TStrings* AProperties);
  void GetAllPublishedClassProperties(TStrings* AProperties);
  TObject* GetClassProperty(const String& AName);
  TComponent* GetComponentByName(const String& AName);
  TcxStorageModes GetStorageModes();
  bool GetUseInterfaceOnly();
  bool TestClassProperty(const String& AName, TObject* AObject);
  void SetStoredObject(TObject* AObject);
  TObject* StoredObject() const { return storedObject_; }

 protected:
  virtual void InternalRestoreFrom(TcxCustomReader* AReader,
                                   const String& AObjectName);
  virtual void InternalStoreTo(TcxCustomWriter* AWriter,
                               const String& AObjectName);

 private:
  String FullName(const String& AObjectName);
  // A storage for a child, configured as children are.
  TObjectPtr<TcxStorage> MakeChildStorage(const String& AFullName,
                                          TObject* AChild);
  IcxStoredObject* StoredObjectIntf() const { return storedIntf_.get(); }
  IcxStoredParent* StoredParentIntf() const { return parentIntf_.get(); }

  String location_;
  TStream* dataStream_ = nullptr;
  bool clearFirst_ = true;
  TcxStorageModes modesValue_;
  bool interfaceOnlyValue_ = false;
  bool componentRefsByName_ = false;
  String nameQualifier_;
  String pathPrefix_;
  TObject* storedObject_ = nullptr;
  TIntfPtr<IcxStoredObject> storedIntf_;
  TIntfPtr<IcxStoredParent> parentIntf_;
  // How deep this storage sits below the one the caller made: a tree that
  // refers back to itself must not recurse without end.
  int depth_ = 0;
};

// ---------------------------------------------------------------------------
// Conversion routines
// ---------------------------------------------------------------------------

// The content of AStream from position 0 as "Hex:" and two hex digits a
// byte; "" for no stream or an empty one.
String StreamToString(TStream* AStream);
// The bytes of a StreamToString text, written at AStream's position; nothing
// for no stream or a text under 6 characters.
void StringToStream(const String& AText, TStream* AStream);
String StringToHexString(const String& AText);
// Raises EcxHexStringConvertError for a character that is no hex digit; an
// odd last digit is ignored.
String HexStringToString(const String& AText);
// "True" or "False" in any case; EPropertyConvertError otherwise.
bool StringToBoolean(const String& AText);
String EnumerationToString(Integer AIndex, const std::vector<String>& ANames);
Integer StringToEnumeration(const String& AText,
                            const std::vector<String>& ANames);
// ASet points at ASize bytes of a set; bit n is the name at n.
String SetToString(const void* ASet, Integer ASize,
                   const std::vector<String>& ANames);
void StringToSet(const String& AText, void* ASet, Integer ASize,
                 const std::vector<String>& ANames);
