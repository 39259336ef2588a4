#include "uPlacesEx.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>

#include "Dialogs.h"
#include "Registry.h"
#include "SysConst.h"
#include "SysUtils.h"
#include "Ucommon.h"

namespace {

// Reading the group set and the places asks for read rights only; every
// other operation opens its keys for reading and writing.
constexpr LongWord kReadOnly = KEY_READ;
constexpr LongWord kReadWrite = KEY_READ | KEY_WRITE;

constexpr const char kInvalidGroupName[] = "Invalid group name \"%s\"";

// A path that names no key of its own: empty, or only backslashes, which
// the registry wrapper reads as the root of the hive.
bool NamesNoKey(const String& key) {
  return key.find_first_not_of('\\') == String::npos;
}

// Runs one step of a load; a registry error in it clears ok and lets the
// next step run.
void LoadStep(bool& ok, const std::function<void()>& step) {
  try {
    step();
  } catch (const Exception&) {
    ok = false;
  }
}

String PlaceKeyName(Integer k) { return Format("Place%d", {k}); }

// The number of a place key's name ("Place12" gives "12"; the comparison
// ignores case, as the registry does); false for any other name.
bool PlaceNumber(const String& name, String& digits) {
  constexpr std::size_t prefix = 5;  // "Place"
  if (name.size() <= prefix || !SameText(name.substr(0, prefix), "Place"))
    return false;
  String rest = name.substr(prefix);
  if (rest.find_first_not_of("0123456789") != String::npos) return false;
  std::size_t first = rest.find_first_not_of('0');
  digits = first == String::npos ? "0" : rest.substr(first);
  return true;
}

// The subkey names of a group in the order of their place numbers, so that
// "Place10" follows "Place9"; other names follow in the order given.
std::vector<String> InPlaceOrder(const TStringList& names) {
  struct TEntry {
    String Name;
    bool IsPlace;
    String Digits;
  };
  std::vector<TEntry> entries;
  for (Integer i = 0; i < names.Count(); ++i) {
    TEntry e{names[i], false, String()};
    e.IsPlace = PlaceNumber(e.Name, e.Digits);
    entries.push_back(e);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TEntry& a, const TEntry& b) {
                     if (a.IsPlace != b.IsPlace) return a.IsPlace;
                     if (!a.IsPlace) return false;
                     if (a.Digits.size() != b.Digits.size())
                       return a.Digits.size() < b.Digits.size();
                     return a.Digits < b.Digits;
                   });
  std::vector<String> ordered;
  for (const TEntry& e : entries) ordered.push_back(e.Name);
  return ordered;
}

}  // namespace

bool IsValidGroupName(const String& Name) {
  return !Name.empty() && Name.find('\\') == String::npos;
}

// ---------------------------------------------------------------------------
// TPlaceItem
// ---------------------------------------------------------------------------

bool TPlaceItem::IsValidPlace() const {
  return IsSpecialFolder() || DirectoryExists(path_);
}

bool TPlaceItem::IsOfficePlace() const {
  auto* places = dynamic_cast<TPlaceItems*>(Collection());
  return places && places->PlacesOwner() && places->PlacesOwner()->IsOffice();
}

String TPlaceItem::DisplayText() const {
  if (!description_.empty()) return description_;
  if (!DirectoryExists(path_)) return String();
  if (folderId_ == kMyComputerFolderId) return GetSpecialFolderName(folderId_);
  return path_;
}

String TPlaceItem::GetViewName() const {
  static const char* const names[] = {"List", "Details", "Summary", "Preview"};
  if (view_ < 1 || view_ > 4) return String();
  return names[view_ - 1];
}

bool TPlaceItem::LoadPlace(TRegistry& Reg) {
  bool ok = true;
  LoadStep(ok, [&] {
    if (!Reg.ValueExists("Path")) return;
    switch (Reg.GetDataType("Path")) {
      case rdString:
        path_ = Reg.ReadString("Path");
        folderId_ = -1;
        break;
      case rdInteger:
        folderId_ = Reg.ReadInteger("Path");
        path_ = GetSpecialFolderPath(folderId_);
        name_ = GetSpecialFolderName(folderId_);
        break;
      default:
        // Another type names no place: the place stays blank.
        break;
    }
  });
  LoadStep(ok, [&] {
    if (!Reg.ValueExists("Description")) return;
    String text = Reg.ReadString("Description");
    if (!text.empty()) description_ = text;
  });
  if (IsOfficePlace()) {
    LoadStep(ok, [&] {
      if (Reg.ValueExists("View")) view_ = Reg.ReadInteger("View");
    });
    LoadStep(ok, [&] {
      if (!Reg.ValueExists("Name")) return;
      String text = Reg.ReadString("Name");
      if (!text.empty()) name_ = text;
    });
  }
  return ok;
}

void TPlaceItem::SavePlace(TRegistry& Reg) {
  std::set<String> written;
  auto mark = [&written](const char* name) { written.insert(UpperCase(name)); };
  if (IsSpecialFolder()) {
    Reg.WriteInteger("Path", folderId_);
  } else {
    Reg.WriteString("Path", path_);
  }
  mark("Path");
  if (!description_.empty()) {
    Reg.WriteString("Description", description_);
    mark("Description");
  }
  if (IsOfficePlace()) {
    Reg.WriteInteger("View", view_);
    Reg.WriteString("Name", name_);
    mark("View");
    mark("Name");
  }
  // The key held an older place: what this place does not have goes, once
  // the new values are in.
  TStringList names;
  Reg.GetValueNames(&names);
  for (Integer i = 0; i < names.Count(); ++i)
    if (!written.count(UpperCase(names[i]))) Reg.DeleteValue(names[i]);
  Reg.GetKeyNames(&names);
  for (Integer i = 0; i < names.Count(); ++i) Reg.DeleteKey(names[i]);
}

// ---------------------------------------------------------------------------
// TPlaceItems
// ---------------------------------------------------------------------------

TPlaceItems::TPlaceItems(TCustomPlaces* Owner)
    : TCollection(TPlaceItem::StaticClass()), owner_(Owner) {}

TPlaceItem* TPlaceItems::Add() {
  return static_cast<TPlaceItem*>(TCollection::Add());
}

TPlaceItem* TPlaceItems::ItemAt(Integer Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return Item<TPlaceItem>(Index);
}

void TPlaceItems::MovePlace(Integer FromIndex, Integer ToIndex) {
  if (ToIndex < 0) ToIndex = 0;
  if (ToIndex > Count() - 1) ToIndex = Count() - 1;
  TPlaceItem* place = ItemAt(FromIndex);
  if (place && FromIndex != ToIndex) place->SetIndex(ToIndex);
}

void TPlaceItems::EnsureTrailingBlank() {
  if (Count() != 0 && ItemAt(Count() - 1)->IsValidPlace()) Add();
}

void TPlaceItems::LoadPlaces() {
  String groupKey = owner_ ? owner_->GetGroupKey() : String();
  if (groupKey.empty()) return;
  bool cleared = false;
  try {
    TRegistry reg(kReadOnly);
    if (!reg.OpenKey(groupKey, false)) return;
    TStringList names;
    reg.GetKeyNames(&names);
    reg.CloseKey();
    std::vector<String> ordered = InPlaceOrder(names);
    Clear();
    cleared = true;
    for (const String& name : ordered) {
      if (!reg.OpenKey(groupKey + "\\" + name, false)) continue;
      Add()->LoadPlace(reg);
      reg.CloseKey();
    }
  } catch (const Exception&) {
    // Keep what was loaded.
  }
  if (cleared) Add();
}

void TPlaceItems::SavePlaces() {
  TGroupItem* group = owner_ ? owner_->GetCurrentGroup() : nullptr;
  if (!group) return;
  try {
    String groupKey = owner_->GetGroupKey();
    if (groupKey.empty()) {
      if (NamesNoKey(owner_->Key())) return;
      throw EInvalidOperation(kInvalidGroupName, {group->Name()});
    }
    std::vector<TPlaceItem*> valid;
    for (Integer i = 0; i < Count(); ++i)
      if (ItemAt(i)->IsValidPlace()) valid.push_back(ItemAt(i));
    // Every key is made before any stored place is replaced, and the
    // surplus keys go last: an error part-way leaves the places that were
    // not yet replaced as they were.
    TRegistry reg(kReadWrite);
    std::vector<String> made;
    try {
      for (std::size_t k = 0; k < valid.size(); ++k) {
        String key = groupKey + "\\" + PlaceKeyName(static_cast<Integer>(k));
        if (reg.KeyExists(key)) continue;
        if (!reg.OpenKey(key, true))
          throw ERegistryException(SRegCreateFailed, {key});
        reg.CloseKey();
        made.push_back(key);
      }
    } catch (const Exception&) {
      // Empty keys would load as blank places.
      for (const String& key : made) reg.DeleteKey(key);
      throw;
    }
    std::set<String> kept;
    for (std::size_t k = 0; k < valid.size(); ++k) {
      String name = PlaceKeyName(static_cast<Integer>(k));
      String key = groupKey + "\\" + name;
      if (!reg.OpenKey(key, true))
        throw ERegistryException(SRegCreateFailed, {key});
      valid[k]->SavePlace(reg);
      reg.CloseKey();
      kept.insert(UpperCase(name));
    }
    if (reg.OpenKey(groupKey, false)) {
      TStringList names;
      reg.GetKeyNames(&names);
      for (Integer i = 0; i < names.Count(); ++i)
        if (!kept.count(UpperCase(names[i]))) reg.DeleteKey(names[i]);
      reg.CloseKey();
    }
  } catch (const Exception& e) {
    ShowMessage(e.Message());
  }
}

void TPlaceItems::ClearPlaceKeys() {
  String groupKey = owner_ ? owner_->GetGroupKey() : String();
  if (groupKey.empty()) return;
  try {
    TRegistry reg(kReadWrite);
    TStringList names;
    if (reg.OpenKey(groupKey, false)) {
      reg.GetKeyNames(&names);
      reg.CloseKey();
    }
    for (Integer i = 0; i < names.Count(); ++i) {
      if (!DeleteAllValues(groupKey + "\\" + names[i])) continue;
      if (reg.OpenKey(groupKey, false)) {
        reg.DeleteKey(names[i]);
        reg.CloseKey();
      }
    }
  } catch (const Exception&) {
  }
}

// ---------------------------------------------------------------------------
// TGroupItem
// ---------------------------------------------------------------------------

void TGroupItem::SetChecked(bool Value) {
  flags_ = Value ? (flags_ | gfChecked) : (flags_ & ~gfChecked);
}

bool TGroupItem::IsOfficeGroup() const {
  auto* groups = dynamic_cast<TPlaceGroups*>(Collection());
  return groups && groups->PlacesOwner() && groups->PlacesOwner()->IsOffice();
}

Byte TGroupItem::EffectiveOfficeVersion() const {
  if (!IsOfficeGroup()) return 0;
  return officeVersion_ != 0 ? officeVersion_ : TCustomPlaces::OfficeDefault();
}

void TGroupItem::AssignToListItem(TListItem* Item) {
  if (!Item) return;
  Item->SetCaption(name_);
  Item->SetData(this);
  Item->SetChecked(GetChecked());
  Item->SetSelected(GetSelected());
}

String TGroupItem::GroupKey() const {
  auto* groups = dynamic_cast<TPlaceGroups*>(Collection());
  TCustomPlaces* owner = groups ? groups->PlacesOwner() : nullptr;
  if (!owner || NamesNoKey(owner->Key()) || !IsValidGroupName(name_))
    return String();
  return owner->Key() + "\\" + name_;
}

bool TGroupItem::LoadGroup() {
  String key = GroupKey();
  if (key.empty()) return false;
  try {
    TRegistry reg(kReadWrite);
    if (!reg.OpenKey(key, false)) return false;
    bool ok = true;
    auto readInteger = [&](const char* name, Integer& field) {
      LoadStep(ok, [&] {
        if (reg.ValueExists(name)) field = reg.ReadInteger(name);
      });
    };
    LoadStep(ok, [&] {
      if (reg.ValueExists("Description"))
        description_ = reg.ReadString("Description");
    });
    readInteger("Flags", flags_);
    readInteger("FlagsEx", flagsEx_);
    if (IsOfficeGroup()) {
      readInteger("OfficeFlags", officeFlags_);
      LoadStep(ok, [&] {
        if (reg.ValueExists("OfficeVersion"))
          officeVersion_ = static_cast<Byte>(reg.ReadInteger("OfficeVersion"));
      });
    }
    reg.CloseKey();
    return ok;
  } catch (const Exception&) {
    return false;
  }
}

void TGroupItem::SaveGroup() {
  try {
    String key = GroupKey();
    if (key.empty()) {
      auto* groups = dynamic_cast<TPlaceGroups*>(Collection());
      TCustomPlaces* owner = groups ? groups->PlacesOwner() : nullptr;
      if (!owner || NamesNoKey(owner->Key())) return;
      throw EInvalidOperation(kInvalidGroupName, {name_});
    }
    TRegistry reg(kReadWrite);
    if (!reg.OpenKey(key, true))
      throw ERegistryException(SRegCreateFailed, {key});
    // Written when set, removed when cleared, so that the key holds exactly
    // the group's values.
    auto putInteger = [&reg](const char* name, Integer value) {
      if (value != 0) {
        reg.WriteInteger(name, value);
      } else if (reg.ValueExists(name)) {
        reg.DeleteValue(name);
      }
    };
    reg.WriteInteger("Flags", flags_);
    if (!description_.empty()) {
      reg.WriteString("Description", description_);
    } else if (reg.ValueExists("Description")) {
      reg.DeleteValue("Description");
    }
    putInteger("FlagsEx", flagsEx_);
    if (IsOfficeGroup()) {
      putInteger("OfficeFlags", officeFlags_);
      putInteger("OfficeVersion", officeVersion_);
    }
    reg.CloseKey();
  } catch (const Exception& e) {
    ShowMessage(e.Message());
  }
}

// ---------------------------------------------------------------------------
// TPlaceGroups
// ---------------------------------------------------------------------------

TPlaceGroups::TPlaceGroups(TCustomPlaces* Owner)
    : TCollection(TGroupItem::StaticClass()), owner_(Owner) {}

TGroupItem* TPlaceGroups::GetItem(Integer Index) const {
  return Item<TGroupItem>(Index);
}

void TPlaceGroups::SetCurrent(TGroupItem* Group) {
  if (Group == current_) return;
  current_ = Group;
  if (OnCurrentChanged) OnCurrentChanged(Group);
}

void TPlaceGroups::SetListItemsProvider(const TListItemsProvider& Provider) {
  if (Provider == provider_) return;
  provider_ = Provider;
  if (provider_) RefreshListView();
}

void TPlaceGroups::RefreshListView() {
  if (!provider_) return;
  if (TListItems* items = provider_()) FillListItems(items);
}

void TPlaceGroups::FillListItems(TListItems* Items) {
  Items->Clear();
  for (Integer i = 0; i < Count(); ++i)
    GetItem(i)->AssignToListItem(Items->Add());
}

TGroupItem* TPlaceGroups::AddGroup() {
  String name = NewGroupName();
  auto* group = static_cast<TGroupItem*>(Add());
  group->SetName(name);
  group->SetFlags(0);
  group->SetFlagsEx(0);
  group->SetDescription(String());
  RefreshListView();
  return group;
}

bool TPlaceGroups::DeleteGroup(Integer Index) {
  TGroupItem* group = GetItem(Index);
  // A name that names no key of its own would reach the whole group set.
  String key = group->GroupKey();
  if (key.empty()) return false;
  if (group == current_) SetCurrent(nullptr);
  if (!DeleteKeyTree(key)) return false;
  Integer at = group->Index();
  if (at >= 0) Delete(at);
  RefreshListView();
  return true;
}

bool TPlaceGroups::RenameGroup(Integer Index, const String& NewName) {
  TGroupItem* group = GetItem(Index);
  if (!IsValidGroupName(NewName)) return false;
  try {
    String oldKey = group->GroupKey();
    if (!oldKey.empty()) {
      String newKey = owner_->Key() + "\\" + NewName;
      TRegistry reg(kReadWrite);
      // The registry's names ignore case: a key of that name may be the
      // group's own or another group's, and moving onto it moves nothing.
      if (reg.KeyExists(newKey)) return false;
      if (reg.KeyExists(oldKey)) {
        reg.MoveKey(oldKey, newKey, true);
        if (!reg.KeyExists(newKey)) return false;
      }
    }
    group->SetName(NewName);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

Integer TPlaceGroups::IndexOfName(const String& Name) const {
  for (Integer i = 0; i < Count(); ++i)
    if (AnsiCompareText(GetItem(i)->Name(), Name) == 0) return i;
  return -1;
}

String TPlaceGroups::NewGroupName() const {
  for (Integer n = 1;; ++n) {
    String name = Format("New Group %d", {n});
    if (IndexOfName(name) < 0) return name;
  }
}

Integer TPlaceGroups::CheckedCount() const {
  Integer count = 0;
  for (Integer i = 0; i < Count(); ++i)
    if (GetItem(i)->GetChecked()) ++count;
  return count;
}

void TPlaceGroups::MarkInstalled(TGroupItem* Group) {
  for (Integer i = 0; i < Count(); ++i) {
    TGroupItem* group = GetItem(i);
    Integer flags = group->Flags() & ~gfInstalled;
    if (group == Group) flags |= gfInstalled;
    group->SetFlags(flags);
  }
}

bool TPlaceGroups::LoadGroups() {
  current_ = nullptr;
  Clear();
  bool ok = true;
  try {
    TStringList names;
    if (owner_ && !NamesNoKey(owner_->Key())) {
      TRegistry reg(kReadOnly);
      if (reg.OpenKey(owner_->Key(), false)) {
        reg.GetKeyNames(&names);
        reg.CloseKey();
      }
    }
    // Each group comes in as a new group would, list refill included; the
    // refill below shows them under their stored names.
    for (Integer i = 0; i < names.Count(); ++i) {
      TGroupItem* group = AddGroup();
      group->SetName(names[i]);
      group->LoadGroup();
    }
  } catch (const Exception&) {
    ok = false;
  }
  // The list must never keep items of the groups just freed.
  RefreshListView();
  return ok;
}

void TPlaceGroups::ReloadGroups() {
  try {
    String name = current_ ? current_->Name() : String();
    LoadGroups();
    if (name.empty()) return;
    Integer at = IndexOfName(name);
    if (at >= 0) SetCurrent(GetItem(at));
  } catch (const Exception&) {
  }
}

void TPlaceGroups::SaveAllGroups() {
  try {
    for (Integer i = 0; i < Count(); ++i) GetItem(i)->SaveGroup();
  } catch (const Exception& e) {
    ShowMessage(e.Message());
  }
}

void TPlaceGroups::Notify(TCollectionItem* Item,
                          TCollectionNotification Action) {
  // A group that leaves the collection is no longer current.
  if (Action != cnAdded && Item == current_) current_ = nullptr;
  TCollection::Notify(Item, Action);
}

// ---------------------------------------------------------------------------
// TCustomPlaces
// ---------------------------------------------------------------------------

TCustomPlaces::TCustomPlaces(const String& Key)
    : key_(Key), isOffice_(Key == kOfficeGroupsKey) {
  groups_.reset(new TPlaceGroups(this));
  groups_->OnCurrentChanged =
      TCurrentGroupChangedEvent(this, &TCustomPlaces::GroupChanged);
  places_.reset(new TPlaceItems(this));
  groups_->LoadGroups();
}

TCustomPlaces::~TCustomPlaces() {
  places_.reset();
  groups_.reset();
}

Byte& TCustomPlaces::OfficeDefault() {
  static Byte version = 0;
  return version;
}

String TCustomPlaces::GetGroupKey() const {
  TGroupItem* group = GetCurrentGroup();
  return group ? group->GroupKey() : String();
}

void TCustomPlaces::GroupChanged(TGroupItem* Group) {
  if (!Group) return;
  try {
    places_->LoadPlaces();
  } catch (const Exception&) {
  }
}

bool TCustomPlaces::WritePlacesBar() { return false; }

void TCustomPlaces::InstallCurrentGroup() {
  try {
    TGroupItem* group = GetCurrentGroup();
    if (!group) return;
    if (!WritePlacesBar()) return;
    groups_->MarkInstalled(group);
    groups_->SaveAllGroups();
  } catch (const Exception&) {
  }
}

void TCustomPlaces::SaveChanges(bool Groups) {
  if (Groups) {
    groups_->SaveAllGroups();
  } else {
    places_->SavePlaces();
  }
}

void TCustomPlaces::RestoreDefault(Integer) {}
