#include "PellorSettings.h"

#include <mutex>

#include "Dialogs.h"
#include "PellorCipher.h"
#include "PellorHelpers.h"
#include "PellorStrings.h"
#include "PellorTools.h"

namespace {

const char kResourceName[] = "TPELLOREXCEPT";

// This library copy's view of the shared buffer and how many of this
// copy's acquisitions it serves.
SharedSettingsBuffer* view = nullptr;
Integer viewUsers = 0;
TPasswordDecipher passwordDecipher = nullptr;

String ProcessSuffix() {
  return CardinalToHexPadded(GetCurrentProcessId(), 1, '0');
}

// The named mutex that serialises creation and removal of the buffer
// across the library copies of the process.
class TSettingsMutex {
 public:
  TSettingsMutex() {
    SECURITY_ATTRIBUTES sa;
    SECURITY_DESCRIPTOR sd;
    InitOpenSecurity(sa, sd);
    handle_ = CreateMutexA(&sa, FALSE, SettingsMutexName().c_str());
    if (handle_) WaitForSingleObject(handle_, INFINITE);
  }
  ~TSettingsMutex() {
    if (!handle_) return;
    ReleaseMutex(handle_);
    CloseHandle(handle_);
  }
  TSettingsMutex(const TSettingsMutex&) = delete;
  TSettingsMutex& operator=(const TSettingsMutex&) = delete;

 private:
  HANDLE handle_ = nullptr;
};

// The buffer's critical section, shared by every library copy.
class TListLock {
 public:
  explicit TListLock(SharedSettingsBuffer* buffer) : buffer_(buffer) {
    EnterCriticalSection(&buffer_->lock);
  }
  ~TListLock() { LeaveCriticalSection(&buffer_->lock); }
  TListLock(const TListLock&) = delete;
  TListLock& operator=(const TListLock&) = delete;

 private:
  SharedSettingsBuffer* buffer_;
};

void DecipherPasswords(TSettingTable& table) {
  static const char* const kinds[][3] = {
      {"SmtpPassword", "SmtpAccount", "SmtpServer"},
      {"HttpPassword", "HttpAccount", "HttpServer"}};
  if (!passwordDecipher) return;
  for (const auto& k : kinds) {
    SettingRecord* password = FindSettingRecord(table, k[0]);
    if (!password || !password->textValue) continue;
    const SettingRecord* account = FindSettingRecord(table, k[1]);
    const SettingRecord* server = FindSettingRecord(table, k[2]);
    StoreSettingText(
        *password, passwordDecipher(Base64ToStr(SettingText(*password)),
                                    account ? SettingText(*account) : String(),
                                    server ? SettingText(*server) : String()));
  }
}

void LoadModuleSettings(ModuleSettings& record) {
  ReadSettingsResource(record.module, record.table);
  DecipherPasswords(record.table);
}

}  // namespace

String SettingsBufferName() {
  return "PellorExceptSettingsBuf" + ProcessSuffix();
}

String SettingsMutexName() {
  return "PellorExceptSettingsMtx" + ProcessSuffix();
}

void SetPasswordDecipher(TPasswordDecipher decipher) {
  passwordDecipher = decipher;
}

// ---------------------------------------------------------------------------
// The shared buffer
// ---------------------------------------------------------------------------

SharedSettingsBuffer* SharedSettings() { return view; }

bool AcquireSharedSettings() {
  TSettingsMutex mutex;
  if (!view) {
    SECURITY_ATTRIBUTES sa;
    SECURITY_DESCRIPTOR sd;
    InitOpenSecurity(sa, sd);
    const String name = SettingsBufferName();
    SetLastError(0);
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0,
                           sizeof(SharedSettingsBuffer), name.c_str());
    if (!mapping)
      mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mapping) {
      MessageBoxSeam("internal error (opening settings buffer)", "PellorExcept",
                     mbOK | mbIconError);
      return false;
    }
    auto* mapped = static_cast<SharedSettingsBuffer*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!mapped) {
      CloseHandle(mapping);
      MessageBoxSeam("internal error (opening settings buffer)", "PellorExcept",
                     mbOK | mbIconError);
      return false;
    }
    if (error == 0) {
      mapped->refCount = 0;
      mapped->mapping = mapping;
      InitializeCriticalSection(&mapped->lock);
      mapped->head = nullptr;
      mapped->reserved = 0;
    } else {
      // The copy that created the mapping keeps it open.
      CloseHandle(mapping);
    }
    view = mapped;
  }
  ++viewUsers;
  InterlockedIncrement(reinterpret_cast<volatile LONG*>(&view->refCount));
  return true;
}

void ReleaseSharedSettings() {
  TSettingsMutex mutex;
  if (!view) return;
  if (InterlockedDecrement(reinterpret_cast<volatile LONG*>(&view->refCount)) ==
      0) {
    // The last user in the process: the section and the mapping go.
    DeleteCriticalSection(&view->lock);
    CloseHandle(view->mapping);
    view->mapping = nullptr;
  }
  // Every copy unmaps only its own view, and only when it is done with it:
  // another copy may still use the buffer through its view.
  if (--viewUsers == 0) {
    UnmapViewOfFile(view);
    view = nullptr;
  }
}

// ---------------------------------------------------------------------------
// Module records
// ---------------------------------------------------------------------------

bool HasSettingsResource(HMODULE module) {
  return module &&
         FindResourceA(module, kResourceName, MAKEINTRESOURCEA(10)) != nullptr;
}

void ReadSettingsResource(HMODULE module, TSettingTable& table) {
  if (!module) return;
  HRSRC found = FindResourceA(module, kResourceName, MAKEINTRESOURCEA(10));
  if (!found) return;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return;
  ReadSettingsStream(data, SizeofResource(module, found), table);
}

ModuleSettings* AcquireModuleSettings(HMODULE module) {
  if (!HasSettingsResource(module) || !AcquireSharedSettings()) return nullptr;
  SharedSettingsBuffer* buffer = view;
  TListLock lock(buffer);
  ModuleSettings** link = &buffer->head;
  ModuleSettings* record = buffer->head;
  while (record && record->module != module) {
    link = &record->next;
    record = record->next;
  }
  if (!record) {
    record = static_cast<ModuleSettings*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ModuleSettings)));
    if (!record) {
      ReleaseSharedSettings();
      return nullptr;
    }
    *link = record;
    record->module = module;
    LoadModuleSettings(*record);
  }
  ++record->refCount;
  return record;
}

namespace {
// Under the list lock.
void Unlink(SharedSettingsBuffer* buffer, ModuleSettings* record) {
  for (ModuleSettings** link = &buffer->head; *link; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      record->next = nullptr;
      return;
    }
  }
}
}  // namespace

void ReleaseModuleSettings(ModuleSettings* record) {
  if (!record || !view) return;
  {
    TListLock lock(view);
    if (record->refCount <= 1) {
      Unlink(view, record);
      FreeSettingTable(record->table);
      HeapFree(GetProcessHeap(), 0, record);
    } else {
      --record->refCount;
    }
  }
  ReleaseSharedSettings();
}

void UnlinkModuleSettings(HMODULE module) {
  if (!view) return;
  TListLock lock(view);
  for (ModuleSettings* r = view->head; r; r = r->next) {
    if (r->module == module) {
      Unlink(view, r);
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Settings objects
// ---------------------------------------------------------------------------

namespace {
std::mutex librarySettingsLock;
PPESettings& LibrarySettingsRef() {
  static PPESettings settings;
  return settings;
}
}  // namespace

void SetLibrarySettings(const PPESettings& settings) {
  std::lock_guard<std::mutex> guard(librarySettingsLock);
  LibrarySettingsRef() = settings;
}

PPESettings LibrarySettings() {
  std::lock_guard<std::mutex> guard(librarySettingsLock);
  return LibrarySettingsRef();
}

TIPESettings::TIPESettings(HMODULE module, bool withSettings) {
  if (!withSettings) return;
  record_ = AcquireModuleSettings(module);
  valid_ = record_ != nullptr;
  if (!valid_) return;
  module_ = module;
  // VersionVar: where, from the module's base, a pointer to the version
  // text lies.
  if (const Cardinal offset = ReadDwordSetting("VersionVar")) {
    const char* text = nullptr;
    const auto* at = reinterpret_cast<const Byte*>(module) + offset;
    if (SafeRead(at, &text, sizeof text) && text) {
      char c = 0;
      for (int i = 0; i < 4096 && SafeRead(text + i, &c, 1) && c; ++i)
        versionText_ += c;
    }
  }
}

TIPESettings::~TIPESettings() {
  if (addAttachs_) addAttachs_->DetachSettingsOwner();
  if (addFields_) addFields_->DetachSettingsOwner();
  ReleaseModuleSettings(record_);
}

void* TIPESettings::GetInterfaceFor(const TGUID& iid) {
  if (iid == IPEModuleSettings::IID)
    return static_cast<IPEModuleSettings*>(this);
  if (iid == IPESettings::IID)
    return static_cast<IPESettings*>(static_cast<IPEModuleSettings*>(this));
  if (iid == ISettingValues::IID) return static_cast<ISettingValues*>(this);
  if (iid == IInterface::IID)
    return static_cast<IInterface*>(static_cast<ISettingValues*>(this));
  return TInterfacedObject::GetInterfaceFor(iid);
}

SettingRecord* TIPESettings::LocateSetting(const String& name, bool useDefaults,
                                           TSettingKind newKind, bool add) {
  if (record_) {
    if (SettingRecord* r = FindSettingRecord(record_->table, name.c_str()))
      return r;
    if (add && view) {
      // Adding may move the table: no other copy may walk it meanwhile.
      TListLock lock(view);
      if (SettingRecord* r = FindSettingRecord(record_->table, name.c_str()))
        return r;
      if (SettingRecord* r = AddSettingRecord(record_->table, name, newKind,
                                              false, 0, String()))
        return r;
    }
  }
  // Nothing writes through a built-in record: writes never ask for them.
  return useDefaults
             ? const_cast<SettingRecord*>(FindBuiltInSetting(name.c_str()))
             : nullptr;
}

// The record for a read; null with other set when another object (the
// library's own settings) must answer.
const SettingRecord* TIPESettings::Lookup(const String& name,
                                          TIntfPtr<ISettingValues>& other) {
  PPESettings library = LibrarySettings();
  const bool own = !library || library->Module() == module_;
  if (const SettingRecord* r = LocateSetting(name, own, skText, false))
    return r;
  if (!own) other = TIntfPtr<ISettingValues>::Query(library.get());
  return nullptr;
}

bool TIPESettings::ReadBoolSetting(const String& name) {
  TIntfPtr<ISettingValues> other;
  if (const SettingRecord* r = Lookup(name, other)) return r->boolValue != 0;
  return other && other.get() != static_cast<ISettingValues*>(this) &&
         other->ReadBoolSetting(name);
}

Integer TIPESettings::ReadIntSetting(const String& name) {
  TIntfPtr<ISettingValues> other;
  if (const SettingRecord* r = Lookup(name, other)) return r->intValue;
  return other && other.get() != static_cast<ISettingValues*>(this)
             ? other->ReadIntSetting(name)
             : 0;
}

Cardinal TIPESettings::ReadDwordSetting(const String& name) {
  return static_cast<Cardinal>(ReadIntSetting(name));
}

String TIPESettings::ReadStrSetting(const String& name) {
  TIntfPtr<ISettingValues> other;
  String text;
  if (const SettingRecord* r = Lookup(name, other))
    text = SettingText(*r);
  else if (other && other.get() != static_cast<ISettingValues*>(this))
    text = other->ReadStrSetting(name);
  // The message and the report stay for whoever shows or sends the text.
  ExpandPlaceholders(module_, text, "%exceptMsg%", "%bugReport%");
  return text;
}

bool TIPESettings::WriteBoolSetting(const String& name, bool value) {
  if (!valid_) return false;
  SettingRecord* r = LocateSetting(name, false, skBoolean, true);
  if (!r || r->kind != skBoolean) return false;
  r->boolValue = value ? 1 : 0;
  return true;
}

bool TIPESettings::WriteIntSetting(const String& name, Integer value) {
  if (!valid_) return false;
  SettingRecord* r = LocateSetting(name, false, skInteger, true);
  if (!r || r->kind != skInteger) return false;
  r->intValue = value;
  return true;
}

bool TIPESettings::WriteDwordSetting(const String& name, Cardinal value) {
  return WriteIntSetting(name, static_cast<Integer>(value));
}

bool TIPESettings::WriteStrSetting(const String& name, const String& value) {
  if (!valid_) return false;
  SettingRecord* r = LocateSetting(name, false, skText, true);
  if (!r || r->kind != skText) return false;
  return StoreSettingText(*r, value);
}

PPEFields TIPESettings::AddFields() {
  if (!addFields_) {
    TIntfPtr<TIPEFields> list = NewFieldList();
    list->AllowContent();
    const String text = ReadStrSetting("AddFields");
    for (Integer i = 1, n = ItemCount(text, '|'); i <= n; ++i) {
      const String item = ItemAt(text, i, '|');
      list->AppendField(ItemAt(item, 1, '='), ItemAt(item, 2, '='));
    }
    list->SetSettingsOwner(this);
    addFields_ = list;
  }
  return PPEFields(static_cast<IPEFields*>(addFields_.get()));
}

PPEAttachments TIPESettings::AddAttachs() {
  if (!addAttachs_) {
    TIntfPtr<TIPEAttachments> list(new TIPEAttachments);
    const String text = ReadStrSetting("AddAttachs");
    for (Integer i = 1, n = ItemCount(text, '|'); i <= n; ++i) {
      const String item = ItemAt(text, i, '|');
      list->AddAttachment(ItemAt(item, 1, '>'), ItemAt(item, 2, '>'),
                          ItemAt(item, 3, '>'), ItemAt(item, 4, '>'));
    }
    list->SetSettingsOwner(this);
    addAttachs_ = list;
  }
  return PPEAttachments(static_cast<IPEAttachments*>(addAttachs_.get()));
}

bool TIPESettings::PluginEnabled(const String& name) {
  return HasItemText(ReadStrSetting("Plugins"), name, '|');
}

void TIPESettings::SetPluginEnabled(const String& name, bool on) {
  if (PluginEnabled(name) == on) return;
  String plugins = ReadStrSetting("Plugins");
  if (on) {
    plugins = plugins.empty() ? name : plugins + "|" + name;
  } else {
    plugins = "|" + plugins + "|";
    ReplaceAllText(plugins, "|" + name + "|", "|", true);
    plugins =
        plugins.size() >= 2 ? plugins.substr(1, plugins.size() - 2) : String();
  }
  WriteStrSetting("Plugins", plugins);
}

void TIPESettings::RereadSettings() {
  if (!record_ || !view) return;
  TListLock lock(view);
  FreeSettingTable(record_->table);
  LoadModuleSettings(*record_);
}

bool TIPESettings::TakesScreenshot() {
  return ReadIntSetting("ScrShotDepth") != 0;
}

bool TIPESettings::FindAssistantText(const String& name, String& title,
                                     std::vector<String>& forms) {
  for (Integer n = 1;; ++n) {
    String text = ReadStrSetting("Assistant" + IntToDec(n));
    if (text.empty()) return false;
    if (!SameTextFolded(ItemAt(text, 1, '|'), name)) continue;
    if (!TakesScreenshot() && HasItemText(text, "ScrShotForm", '|')) {
      text = "|" + text + "|";
      ReplaceAllText(text, "|ScrShotForm|", "|", true);
      TidyItemList(text, '|');
    }
    title = ItemAt(text, 2, '|');
    forms.clear();
    for (Integer i = 3, count = ItemCount(text, '|'); i <= count; ++i)
      forms.push_back(ItemAt(text, i, '|'));
    return true;
  }
}

// ---------------------------------------------------------------------------
// Finding settings
// ---------------------------------------------------------------------------

namespace {

TIntfPtr<TIPESettings> NewSettings(HMODULE module) {
  return TIntfPtr<TIPESettings>(new TIPESettings(module, true));
}

PPEModuleSettings AsModuleSettings(const TIntfPtr<TIPESettings>& s) {
  return PPEModuleSettings(static_cast<IPEModuleSettings*>(s.get()));
}

PPESettings AsSettings(const PPEModuleSettings& s) {
  return PPESettings(static_cast<IPESettings*>(s.get()));
}

// The module whose image starts the allocation that holds address.
HMODULE ImageModuleAt(const void* address) {
  MEMORY_BASIC_INFORMATION mbi{};
  if (!VirtualQuery(address, &mbi, sizeof mbi) || mbi.State != MEM_COMMIT ||
      !mbi.AllocationBase || !ImageNtHeaders(mbi.AllocationBase))
    return nullptr;
  return static_cast<HMODULE>(mbi.AllocationBase);
}

}  // namespace

PPESettings SettingsOfModule(HMODULE module) {
  PPEModuleSettings settings = AsModuleSettings(NewSettings(module));
  if (settings->SettingsValid() && settings->NoSettings()) {
    PPEModuleSettings other = FindAnySettings();
    if (other && other->SettingsValid() && !other->NoSettings())
      settings = other;
  }
  return AsSettings(settings);
}

PPEModuleSettings FindAnySettings() {
  PPEModuleSettings found;
  const HMODULE own = OwnModule();
  if (HasSettingsResource(own)) found = AsModuleSettings(NewSettings(own));
  if (!found || found->NoSettings()) {
    HMODULE ide = GetModuleHandleA("PellorExceptIde_.bpl");
    if (ide && HasSettingsResource(ide))
      found = AsModuleSettings(NewSettings(ide));
  }
  UINT_PTR at = 0;
  const void* previousBase = nullptr;
  MEMORY_BASIC_INFORMATION mbi;
  while ((!found || found->NoSettings()) &&
         VirtualQuery(reinterpret_cast<const void*>(at), &mbi, sizeof mbi)) {
    if (mbi.State == MEM_COMMIT && mbi.AllocationBase == mbi.BaseAddress &&
        mbi.AllocationBase != previousBase) {
      const auto module = static_cast<HMODULE>(mbi.AllocationBase);
      if (ImageNtHeaders(module) && HasSettingsResource(module)) {
        PPEModuleSettings candidate = AsModuleSettings(NewSettings(module));
        if (!found || !candidate->NoSettings()) found = candidate;
      }
    }
    previousBase = mbi.AllocationBase;
    const UINT_PTR next =
        reinterpret_cast<UINT_PTR>(mbi.BaseAddress) + mbi.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return found;
}

PPESettings SettingsOfAddress(const void* address) {
  PPEModuleSettings settings;
  const HMODULE module = ImageModuleAt(address);
  if (module && module != OwnModule() && HasSettingsResource(module))
    settings = AsModuleSettings(NewSettings(module));
  if (!settings || (settings->SettingsValid() && settings->NoSettings())) {
    PPEModuleSettings any = FindAnySettings();
    if (!settings)
      settings = any;
    else if (any && any->SettingsValid() && !any->NoSettings())
      settings = any;
  }
  if (!settings) return SettingsOfModule(OwnModule());
  return AsSettings(settings);
}

__attribute__((noinline)) PPESettings SettingsOfCaller() {
  return SettingsOfAddress(__builtin_return_address(0));
}

__attribute__((noinline)) PPESettings SettingsOfCallerLevel(Integer level) {
  // Up the chain of saved frame pointers: [frame] is the caller's frame,
  // [frame + 4] the return address into it.
  const void* const* frame =
      static_cast<const void* const*>(__builtin_frame_address(0));
  const void* returnAddress = nullptr;
  for (Integer i = 0; i <= level; ++i) {
    const void* const* up = nullptr;
    if (!SafeRead(frame + 1, &returnAddress, sizeof returnAddress) ||
        !SafeRead(frame, &up, sizeof up) || !up)
      break;
    frame = up;
  }
  return SettingsOfAddress(returnAddress);
}

String SettingsVersionText(HMODULE module) {
  if (!HasSettingsResource(module)) return {};
  TIPESettings settings(module, true);
  return settings.VersionText();
}
