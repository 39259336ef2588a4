#include "PellorFields.h"

#include "PellorStrings.h"
#include "PellorTexts.h"

namespace {

// Room for the first entries, then half as much again whenever full.
template <class T>
void GrowFor(std::vector<T>& v) {
  if (v.size() < v.capacity()) return;
  v.reserve(v.empty() ? 16 : v.size() * 3 / 2);
}

}  // namespace

// A bracket of one list's access, taken by every operation below.
template <class L>
class TAccess {
 public:
  explicit TAccess(L& list) : list_(list) { list_.BeginAccess(); }
  ~TAccess() { list_.EndAccess(); }
  TAccess(const TAccess&) = delete;
  TAccess& operator=(const TAccess&) = delete;

 private:
  L& list_;
};

// ---------------------------------------------------------------------------
// Field lists
// ---------------------------------------------------------------------------

void TIPEFields::SetExceptionOwner(TPEChangeOwner* owner) {
  // The section alone: a bracket would release notices it never held.
  std::lock_guard<std::recursive_mutex> guard(lock_);
  exceptionOwner_ = owner;
}

void TIPEFields::SetSettingsOwner(TPESettingsOwner* owner) {
  TAccess<TIPEFields> access(*this);
  settingsOwner_ = owner;
}

void* TIPEFields::GetInterfaceFor(const TGUID& iid) {
  if (iid == IPEFields::IID) return static_cast<IPEFields*>(this);
  if (iid == IPEFieldsEx::IID) return static_cast<IPEFieldsEx*>(this);
  if (iid == IInterface::IID)
    return static_cast<IInterface*>(static_cast<IPEFields*>(this));
  return TInterfacedObject::GetInterfaceFor(iid);
}

void TIPEFields::BeginAccess() {
  // The owner's notices are held before the section is entered, so that
  // its listeners are told after the section has been left.
  if (TPEChangeOwner* owner = exceptionOwner_) owner->HoldChanges();
  lock_.lock();
}

void TIPEFields::EndAccess() {
  TPEChangeOwner* owner = exceptionOwner_;
  lock_.unlock();
  if (owner) owner->ReleaseChanges();
}

Integer TIPEFields::FieldCount() {
  TAccess<TIPEFields> access(*this);
  return static_cast<Integer>(entries_.size());
}

String TIPEFields::NameAt(Integer index) {
  TAccess<TIPEFields> access(*this);
  if (index < 0 || index >= static_cast<Integer>(entries_.size())) return {};
  return entries_[static_cast<std::size_t>(index)].name;
}

void TIPEFields::RenameAt(Integer index, const String& name) {
  TAccess<TIPEFields> access(*this);
  if (index < 0 || index >= static_cast<Integer>(entries_.size())) return;
  FieldEntry& e = entries_[static_cast<std::size_t>(index)];
  if (e.name == name) return;
  e.name = name;
  Changed();
}

Integer TIPEFields::IndexOfNameLocked(const String& name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (SameTextFolded(entries_[i].name, name)) return static_cast<Integer>(i);
  return -1;
}

Integer TIPEFields::IndexOfName(const String& name) {
  TAccess<TIPEFields> access(*this);
  return IndexOfNameLocked(name);
}

String TIPEFields::ContentOf(const String& name) {
  TAccess<TIPEFields> access(*this);
  const Integer i = IndexOfNameLocked(name);
  return i < 0 ? String() : entries_[static_cast<std::size_t>(i)].content;
}

void TIPEFields::PutContent(const String& name, const String& content) {
  TAccess<TIPEFields> access(*this);
  if (!contentAllowed_) return;
  const String trimmed = TrimmedStr(content);
  if (trimmed.empty()) {
    RemoveName(name);
    return;
  }
  const Integer i = IndexOfNameLocked(name);
  if (i < 0) {
    InsertField(insertPosition_ > 0 ? insertPosition_
                                    : static_cast<Integer>(entries_.size()),
                name, trimmed);
    return;
  }
  FieldEntry& e = entries_[static_cast<std::size_t>(i)];
  if (e.name == name && e.content == trimmed) return;
  e.name = name;
  e.content = trimmed;
  Changed();
}

void TIPEFields::AppendField(const String& name, const String& content) {
  PutContent(name, content);
}

void TIPEFields::InsertField(Integer index, const String& name,
                             const String& content) {
  TAccess<TIPEFields> access(*this);
  const String trimmed = TrimmedStr(content);
  if (trimmed.empty() || !contentAllowed_) return;
  const auto count = static_cast<Integer>(entries_.size());
  index = index < 0 ? 0 : (index > count ? count : index);
  const Integer existing = IndexOfNameLocked(name);
  if (existing >= 0) {
    if (existing == index &&
        entries_[static_cast<std::size_t>(existing)].content == trimmed)
      return;
    entries_.erase(entries_.begin() + existing);
    if (insertPosition_ > 0 && existing < insertPosition_) --insertPosition_;
    if (existing < index) --index;
  }
  GrowFor(entries_);
  entries_.insert(entries_.begin() + index, FieldEntry{name, trimmed});
  if (insertPosition_ > 0 && insertPosition_ >= index) ++insertPosition_;
  Changed();
}

void TIPEFields::RemoveAt(Integer index) {
  TAccess<TIPEFields> access(*this);
  if (index < 0 || index >= static_cast<Integer>(entries_.size())) return;
  entries_.erase(entries_.begin() + index);
  if (insertPosition_ > 0 && index < insertPosition_) --insertPosition_;
  Changed();
}

void TIPEFields::RemoveName(const String& name) {
  TAccess<TIPEFields> access(*this);
  RemoveAt(IndexOfNameLocked(name));
}

PPEFields TIPEFields::CopyFields() {
  TAccess<TIPEFields> access(*this);
  TIntfPtr<TIPEFields> copy = NewFieldList();
  copy->AllowContent();
  for (const FieldEntry& e : entries_) copy->AppendField(e.name, e.content);
  return PPEFields(static_cast<IPEFields*>(copy.get()));
}

void TIPEFields::DetachExceptionOwner() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  exceptionOwner_ = nullptr;
}

void TIPEFields::DetachSettingsOwner() {
  TAccess<TIPEFields> access(*this);
  settingsOwner_ = nullptr;
}

void TIPEFields::SetInsertPosition(Integer index) {
  TAccess<TIPEFields> access(*this);
  insertPosition_ = index;
}

void TIPEFields::AllowContent() {
  TAccess<TIPEFields> access(*this);
  contentAllowed_ = true;
}

String TIPEFields::JoinedText() {
  TAccess<TIPEFields> access(*this);
  String text;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i) text += '|';
    text += entries_[i].name + "=" + entries_[i].content;
  }
  return text;
}

void TIPEFields::Changed() {
  if (settingsOwner_)
    settingsOwner_->WriteStrSetting("AddFields", JoinedText());
  if (exceptionOwner_) exceptionOwner_->MarkModified();
}

TIntfPtr<TIPEFields> NewFieldList() {
  return TIntfPtr<TIPEFields>(new TIPEFields);
}

// ---------------------------------------------------------------------------
// Attachment lists
// ---------------------------------------------------------------------------

void TIPEAttachments::SetSettingsOwner(TPESettingsOwner* owner) {
  TAccess<TIPEAttachments> access(*this);
  settingsOwner_ = owner;
}

void* TIPEAttachments::GetInterfaceFor(const TGUID& iid) {
  if (iid == IPEAttachments::IID) return static_cast<IPEAttachments*>(this);
  if (iid == IAttachmentsLink::IID) return static_cast<IAttachmentsLink*>(this);
  if (iid == IInterface::IID)
    return static_cast<IInterface*>(static_cast<IPEAttachments*>(this));
  return TInterfacedObject::GetInterfaceFor(iid);
}

void TIPEAttachments::BeginAccess() { lock_.lock(); }

void TIPEAttachments::EndAccess() { lock_.unlock(); }

Integer TIPEAttachments::AttachmentCount() {
  TAccess<TIPEAttachments> access(*this);
  return static_cast<Integer>(entries_.size());
}

bool TIPEAttachments::AttachmentAt(Integer index, String& sourceFile,
                                   String& sendAs, String& zipName,
                                   String& fieldName) {
  TAccess<TIPEAttachments> access(*this);
  if (index < 0 || index >= static_cast<Integer>(entries_.size())) return false;
  const AttachmentEntry& e = entries_[static_cast<std::size_t>(index)];
  sourceFile = e.sourceFile;
  sendAs = e.sendAs;
  zipName = e.zipName;
  fieldName = e.fieldName;
  return true;
}

void TIPEAttachments::AddAttachment(const String& sourceFile,
                                    const String& sendAs, const String& zipName,
                                    const String& fieldName) {
  if (sourceFile.empty()) return;
  AttachmentEntry e{sourceFile, sendAs, zipName, fieldName};
  if (e.sendAs.empty()) e.sendAs = FileNamePart(sourceFile);
  if (e.fieldName.empty()) e.fieldName = StripExtension(e.sendAs);
  TAccess<TIPEAttachments> access(*this);
  GrowFor(entries_);
  entries_.push_back(std::move(e));
  Changed();
}

bool TIPEAttachments::RemoveAttachment(const String& sourceFile) {
  TAccess<TIPEAttachments> access(*this);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (SameTextFolded(it->sourceFile, sourceFile)) {
      entries_.erase(it);
      Changed();
      return true;
    }
  }
  return false;
}

void TIPEAttachments::ClearAttachments() {
  TAccess<TIPEAttachments> access(*this);
  if (entries_.empty()) return;
  entries_.clear();
  Changed();
}

PPEAttachments TIPEAttachments::CopyAttachments() {
  TAccess<TIPEAttachments> access(*this);
  PPEAttachments copy = NewAttachmentList();
  for (const AttachmentEntry& e : entries_)
    copy->AddAttachment(e.sourceFile, e.sendAs, String(), e.fieldName);
  return copy;
}

void TIPEAttachments::DetachSettingsOwner() {
  TAccess<TIPEAttachments> access(*this);
  settingsOwner_ = nullptr;
}

String TIPEAttachments::JoinedText() {
  TAccess<TIPEAttachments> access(*this);
  String text;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const AttachmentEntry& e = entries_[i];
    if (i) text += '|';
    text += e.sourceFile + ">" + e.sendAs + ">" + e.zipName + ">" + e.fieldName;
  }
  return text;
}

void TIPEAttachments::Changed() {
  if (settingsOwner_)
    settingsOwner_->WriteStrSetting("AddAttachs", JoinedText());
}

PPEAttachments NewAttachmentList() {
  return PPEAttachments(static_cast<IPEAttachments*>(new TIPEAttachments));
}
