// The two small lists that carry most of a bug report's data: an ordered
// list of named texts (report header items, sections, the settings'
// additional fields, the assistants' form cache) and the list of files sent
// with a report. Either list may report every change to an owner: a
// settings object writes the list back into one of its settings, an
// exception object counts the change and tells its listeners once per
// access bracket.
#pragma once

#include <mutex>
#include <vector>

#include "System.h"

// What a field list tells an exception object. The owner is not counted:
// it detaches the list before it goes, since the list may outlive it.
class TPEChangeOwner {
 public:
  virtual void HoldChanges() = 0;
  virtual void ReleaseChanges() = 0;
  virtual void MarkModified() = 0;

 protected:
  ~TPEChangeOwner() = default;
};

// What a list tells a settings object: the list's whole text, to be stored
// in the named text setting.
class TPESettingsOwner {
 public:
  virtual bool WriteStrSetting(const String& name, const String& value) = 0;

 protected:
  ~TPESettingsOwner() = default;
};

class IPEFields : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E41,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x01}};
  // The same thread may nest brackets.
  virtual void BeginAccess() = 0;
  virtual void EndAccess() = 0;
  virtual Integer FieldCount() = 0;
  // Empty for an index out of range.
  virtual String NameAt(Integer index) = 0;
  virtual void RenameAt(Integer index, const String& name) = 0;
  // Names compare ignoring letter case; -1 when absent.
  virtual Integer IndexOfName(const String& name) = 0;
  virtual String ContentOf(const String& name) = 0;
  // Content that is blank once trimmed removes the name.
  virtual void PutContent(const String& name, const String& content) = 0;
  virtual void AppendField(const String& name, const String& content) = 0;
  virtual void InsertField(Integer index, const String& name,
                           const String& content) = 0;
  virtual void RemoveAt(Integer index) = 0;
  virtual void RemoveName(const String& name) = 0;
  // A new list with the same entries and no owners.
  virtual TIntfPtr<IPEFields> CopyFields() = 0;

 protected:
  ~IPEFields() = default;
};
using PPEFields = TIntfPtr<IPEFields>;

// The library's own handle on a field list.
class IPEFieldsEx : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E42,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x02}};
  virtual void DetachExceptionOwner() = 0;
  virtual void DetachSettingsOwner() = 0;
  virtual void SetInsertPosition(Integer index) = 0;
  virtual void AllowContent() = 0;

 protected:
  ~IPEFieldsEx() = default;
};

class IPEAttachments : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E43,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x03}};
  virtual void BeginAccess() = 0;
  virtual void EndAccess() = 0;
  virtual Integer AttachmentCount() = 0;
  // False (and the out texts untouched) for an index out of range.
  virtual bool AttachmentAt(Integer index, String& sourceFile, String& sendAs,
                            String& zipName, String& fieldName) = 0;
  // An empty send-as name becomes the source's file name, an empty field
  // name the send-as name without its extension.
  virtual void AddAttachment(const String& sourceFile, const String& sendAs,
                             const String& zipName,
                             const String& fieldName) = 0;
  virtual bool RemoveAttachment(const String& sourceFile) = 0;
  virtual void ClearAttachments() = 0;
  // A new list with the same entries, without zip names and owner.
  virtual TIntfPtr<IPEAttachments> CopyAttachments() = 0;

 protected:
  ~IPEAttachments() = default;
};
using PPEAttachments = TIntfPtr<IPEAttachments>;

class IAttachmentsLink : public IInterface {
 public:
  static constexpr TGUID IID{0x6B0C1E44,
                             0x2F7A,
                             0x4C1B,
                             {0x9A, 0x51, 0x30, 0x8E, 0x4D, 0x12, 0x7C, 0x04}};
  virtual void DetachSettingsOwner() = 0;

 protected:
  ~IAttachmentsLink() = default;
};

struct FieldEntry {
  String name;
  String content;
};

class TIPEFields : public TInterfacedObject,
                   public IPEFields,
                   public IPEFieldsEx {
  VARNEL_CLASS(TIPEFields, TInterfacedObject)
 public:
  TIPEFields() = default;
  // Ties the list to its owners; each owner detaches itself before it goes.
  void SetExceptionOwner(TPEChangeOwner* owner);
  void SetSettingsOwner(TPESettingsOwner* owner);

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }

  void BeginAccess() override;
  void EndAccess() override;
  Integer FieldCount() override;
  String NameAt(Integer index) override;
  void RenameAt(Integer index, const String& name) override;
  Integer IndexOfName(const String& name) override;
  String ContentOf(const String& name) override;
  void PutContent(const String& name, const String& content) override;
  void AppendField(const String& name, const String& content) override;
  void InsertField(Integer index, const String& name,
                   const String& content) override;
  void RemoveAt(Integer index) override;
  void RemoveName(const String& name) override;
  PPEFields CopyFields() override;

  void DetachExceptionOwner() override;
  void DetachSettingsOwner() override;
  void SetInsertPosition(Integer index) override;
  void AllowContent() override;

  // The write-back text: name=content entries joined by "|".
  String JoinedText();

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

 private:
  void Changed();
  Integer IndexOfNameLocked(const String& name) const;

  TPEChangeOwner* exceptionOwner_ = nullptr;
  TPESettingsOwner* settingsOwner_ = nullptr;
  std::vector<FieldEntry> entries_;
  Integer insertPosition_ = 0;
  bool contentAllowed_ = false;
  std::recursive_mutex lock_;
};

struct AttachmentEntry {
  String sourceFile;
  String sendAs;
  String zipName;
  String fieldName;
};

class TIPEAttachments : public TInterfacedObject,
                        public IAttachmentsLink,
                        public IPEAttachments {
  VARNEL_CLASS(TIPEAttachments, TInterfacedObject)
 public:
  TIPEAttachments() = default;
  void SetSettingsOwner(TPESettingsOwner* owner);

  Integer QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  Integer _AddRef() override { return TInterfacedObject::_AddRef(); }
  Integer _Release() override { return TInterfacedObject::_Release(); }

  void BeginAccess() override;
  void EndAccess() override;
  Integer AttachmentCount() override;
  bool AttachmentAt(Integer index, String& sourceFile, String& sendAs,
                    String& zipName, String& fieldName) override;
  void AddAttachment(const String& sourceFile, const String& sendAs,
                     const String& zipName, const String& fieldName) override;
  bool RemoveAttachment(const String& sourceFile) override;
  void ClearAttachments() override;
  PPEAttachments CopyAttachments() override;

  void DetachSettingsOwner() override;

  // The write-back text: source>send-as>zip>field entries joined by "|".
  String JoinedText();

 protected:
  void* GetInterfaceFor(const TGUID& iid) override;

 private:
  void Changed();

  TPESettingsOwner* settingsOwner_ = nullptr;
  std::vector<AttachmentEntry> entries_;
  std::recursive_mutex lock_;
};

// A new empty field list; content is refused until AllowContent.
TIntfPtr<TIPEFields> NewFieldList();
PPEAttachments NewAttachmentList();
