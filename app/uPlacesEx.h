// The places model: places (shortcuts of a places bar), groups of places,
// their store under the program's registry key, and the places object that
// binds the groups of one dialog kind to their key. The concrete places
// objects that install into the dialogs' own keys live in Tarvik.h.
#pragma once

#include "Classes.h"
#include "ListItems.h"
#include "System.h"

class TRegistry;
class TCustomPlaces;
class TGroupItem;

// The program's key and the group sets of the two dialog kinds, relative to
// HKEY_CURRENT_USER.
inline constexpr const char kProgramKey[] =
    "Software\\Holvane Software\\Varnel";
inline constexpr const char kCommonDlgGroupsKey[] =
    "Software\\Holvane Software\\Varnel\\Groups\\CommonDlg";
inline constexpr const char kOfficeGroupsKey[] =
    "Software\\Holvane Software\\Varnel\\Groups\\Office";

// Group flag bits.
constexpr Integer gfChecked = 1;    // listed in the tray menu
constexpr Integer gfInstalled = 2;  // written into its dialog kind's keys
constexpr Integer gfSelected = 4;   // selected when the list is filled
// OfficeFlags bit: small icons in the Office places bar.
constexpr Integer ofSmallIcons = 16;

// The special folder that has no file-system path of its own.
constexpr Integer kMyComputerFolderId = 17;

// True when Name can name a group: a registry subkey of its own below the
// group set, so neither empty nor holding a backslash.
bool IsValidGroupName(const String& Name);

// ---------------------------------------------------------------------------
// Places
// ---------------------------------------------------------------------------

// One shortcut of a places bar: a special folder (FolderId is its CSIDL
// number) or a plain folder (FolderId -1). A place with every field at its
// default is a blank place.
class TPlaceItem : public TCollectionItem {
  VARNEL_CLASS(TPlaceItem, TCollectionItem)
 public:
  explicit TPlaceItem(TCollection* Collection) : TCollectionItem(Collection) {}

  const String& Path() const { return path_; }
  void SetPath(const String& Value) { path_ = Value; }
  const String& Name() const { return name_; }
  void SetName(const String& Value) { name_ = Value; }
  const String& Description() const { return description_; }
  void SetDescription(const String& Value) { description_ = Value; }
  Integer FolderId() const { return folderId_; }
  void SetFolderId(Integer Value) { folderId_ = Value; }
  // Office view: 1 List, 2 Details, 3 Summary, 4 Preview.
  Integer View() const { return view_; }
  void SetView(Integer Value) { view_ = Value; }

  bool IsSpecialFolder() const { return folderId_ != -1; }
  // A special folder, or a folder that exists. Only valid places are stored
  // and installed.
  bool IsValidPlace() const;
  bool IsOfficePlace() const;
  // The hint text: the description; else, for an existing folder, its path
  // ("My Computer" for that folder); else "".
  String DisplayText() const;
  // "List", "Details", "Summary" or "Preview"; "" for another view.
  String GetViewName() const;

  // Reads the place from Reg, opened on its key. Every value is read on its
  // own: a value that cannot be read keeps the field's default and makes
  // the result false.
  bool LoadPlace(TRegistry& Reg);
  // Writes the place into Reg, opened on its key, and removes the values
  // that it no longer has. Raises ERegistryException when a value cannot be
  // written.
  void SavePlace(TRegistry& Reg);

 private:
  String path_;
  String name_;
  String description_;
  Integer folderId_ = -1;
  Integer view_ = 2;
};

// The places of the current group; ends with one blank place after loading
// and after every edit.
class TPlaceItems : public TCollection {
  VARNEL_CLASS(TPlaceItems, TCollection)
 public:
  explicit TPlaceItems(TCustomPlaces* Owner);

  TCustomPlaces* PlacesOwner() const { return owner_; }

  // Appends a blank place.
  TPlaceItem* Add();
  // None for an index out of range.
  TPlaceItem* ItemAt(Integer Index) const;
  // Moves a place; the target is clamped into the list.
  void MovePlace(Integer FromIndex, Integer ToIndex);
  // Appends a blank place when the list is not empty and its last place is
  // valid.
  void EnsureTrailingBlank();

  // The store of the current group's places; nothing without a current
  // group. LoadPlaces replaces the list with the stored places in the order
  // of their numbers, then a blank place.
  void LoadPlaces();
  // Rewrites the stored places from the valid places of the list; shows
  // the error when one cannot be written and then keeps every place that
  // it has not yet replaced.
  void SavePlaces();
  // Deletes the values of every place key, and the keys left without values.
  void ClearPlaceKeys();

 private:
  TCustomPlaces* owner_;
};

// ---------------------------------------------------------------------------
// Groups
// ---------------------------------------------------------------------------

// A named set of places that can be installed into a dialog's places bar.
class TGroupItem : public TCollectionItem {
  VARNEL_CLASS(TGroupItem, TCollectionItem)
 public:
  explicit TGroupItem(TCollection* Collection) : TCollectionItem(Collection) {}

  // Also the name of the group's registry key below its group set.
  const String& Name() const { return name_; }
  void SetName(const String& Value) { name_ = Value; }
  const String& Description() const { return description_; }
  void SetDescription(const String& Value) { description_ = Value; }
  Integer Flags() const { return flags_; }
  void SetFlags(Integer Value) { flags_ = Value; }
  Integer FlagsEx() const { return flagsEx_; }
  void SetFlagsEx(Integer Value) { flagsEx_ = Value; }
  Integer OfficeFlags() const { return officeFlags_; }
  void SetOfficeFlags(Integer Value) { officeFlags_ = Value; }
  // 0 none (the program-wide default), 1 to 4 for Office 9.0 to 12.0.
  Byte OfficeVersion() const { return officeVersion_; }
  void SetOfficeVersion(Byte Value) { officeVersion_ = Value; }

  bool GetChecked() const { return (flags_ & gfChecked) != 0; }
  void SetChecked(bool Value);
  bool GetInstalled() const { return (flags_ & gfInstalled) != 0; }
  bool GetSelected() const { return (flags_ & gfSelected) != 0; }

  bool IsOfficeGroup() const;
  // 0 for a common-dialog group; for an Office group its own version, or
  // the program-wide default when that is 0.
  Byte EffectiveOfficeVersion() const;
  // Caption, data, check mark and selection of Item from this group.
  void AssignToListItem(TListItem* Item);

  // The group's key, or "" when it has no owner or an invalid name.
  String GroupKey() const;
  // Reads the group's values. Every value is read on its own: one that
  // cannot be read keeps the field's value and makes the result false.
  // False when the key does not open.
  bool LoadGroup();
  // Writes the group's values; errors are shown in the plain message box.
  void SaveGroup();

 protected:
  String GetDisplayName() override { return name_; }

 private:
  String name_;
  String description_;
  Integer flags_ = 0;
  Integer flagsEx_ = 0;
  Integer officeFlags_ = 0;
  Byte officeVersion_ = 0;
};

using TCurrentGroupChangedEvent = TClosure<void(TGroupItem* Group)>;
using TListItemsProvider = TClosure<TListItems*()>;

// The groups of one dialog kind, the current group among them, and a mirror
// of them in a list view's items.
class TPlaceGroups : public TCollection {
  VARNEL_CLASS(TPlaceGroups, TCollection)
 public:
  explicit TPlaceGroups(TCustomPlaces* Owner);

  TCustomPlaces* PlacesOwner() const { return owner_; }

  // Raises EListError for an index out of range.
  TGroupItem* GetItem(Integer Index) const;

  TGroupItem* GetCurrent() const { return current_; }
  // Tells OnCurrentChanged when the current group changes.
  void SetCurrent(TGroupItem* Group);
  TCurrentGroupChangedEvent OnCurrentChanged;

  const TListItemsProvider& ListItemsProvider() const { return provider_; }
  // Refills the mirror when a different provider is assigned.
  void SetListItemsProvider(const TListItemsProvider& Provider);
  void UpdateListView() { RefreshListView(); }
  void RefreshListView();
  void FillListItems(TListItems* Items);

  // Appends a group named by NewGroupName; writes nothing.
  TGroupItem* AddGroup();
  // Deletes the group's key tree and, when it is gone, the group. False
  // when the key stays or the group's name names no key of its own.
  bool DeleteGroup(Integer Index);
  // Moves the group's key to NewName and renames the group. False, with
  // nothing changed, for an invalid name, a name whose key exists, or a
  // registry error. A group that has no key yet is renamed in memory.
  bool RenameGroup(Integer Index, const String& NewName);

  // Case-insensitive, locale-aware; -1 for none.
  Integer IndexOfName(const String& Name) const;
  bool IsNameFree(const String& Name) const { return IndexOfName(Name) < 0; }
  // "New Group %d" with the lowest number that no group has.
  String NewGroupName() const;
  Integer CheckedCount() const;
  // Only Group (or none) keeps the installed bit.
  void MarkInstalled(TGroupItem* Group);

  // The store of the group set.
  bool LoadGroups();
  void ReloadGroups();
  void SaveAllGroups();

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TCustomPlaces* owner_;
  TGroupItem* current_ = nullptr;
  TListItemsProvider provider_;
};

// ---------------------------------------------------------------------------
// Places objects
// ---------------------------------------------------------------------------

// Binds the groups of one dialog kind to their registry key. Installing and
// restoring are the concrete kinds' (Tarvik.h); this class installs nothing.
class TCustomPlaces : public TObject {
  VARNEL_CLASS(TCustomPlaces, TObject)
 public:
  // Loads the groups stored under Key; no group is current.
  explicit TCustomPlaces(const String& Key);
  ~TCustomPlaces() override;
  TCustomPlaces(const TCustomPlaces&) = delete;
  TCustomPlaces& operator=(const TCustomPlaces&) = delete;

  const String& Key() const { return key_; }
  bool IsOffice() const { return isOffice_; }
  TPlaceGroups* Groups() const { return groups_.get(); }
  TPlaceItems* Places() const { return places_.get(); }

  TGroupItem* GetCurrentGroup() const { return groups_->GetCurrent(); }
  void SetCurrentGroup(TGroupItem* Group) { groups_->SetCurrent(Group); }
  // Key + "\" + the current group's name; "" without a current group or
  // when its name names no key of its own.
  String GetGroupKey() const;

  // Loads the places of a new current group.
  virtual void GroupChanged(TGroupItem* Group);
  // Writes the current group into the dialogs' keys; false here.
  virtual bool WritePlacesBar();
  // Writes the current group and makes it the only installed one.
  virtual void InstallCurrentGroup();
  // True saves every group's values, false the current group's places.
  virtual void SaveChanges(bool Groups);
  // Brings back the dialogs' defaults; nothing here.
  virtual void RestoreDefault(Integer Version);

 protected:
  // The program-wide Office version (0 to 4), held in memory only.
  static Byte& OfficeDefault();
  friend class TGroupItem;

 private:
  String key_;
  bool isOffice_;
  TObjectPtr<TPlaceGroups> groups_;
  TObjectPtr<TPlaceItems> places_;
};

// The type the application keeps its places objects as.
class TPlaces : public TCustomPlaces {
  VARNEL_CLASS(TPlaces, TCustomPlaces)
 public:
  explicit TPlaces(const String& Key) : TCustomPlaces(Key) {}
};
