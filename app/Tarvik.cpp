#include "Tarvik.h"

#include <windows.h>

#include "Classes.h"
#include "Dialogs.h"
#include "Registry.h"
#include "SysUtils.h"
#include "Ucommon.h"

namespace {

constexpr LongWord kReadWrite = KEY_READ | KEY_WRITE;

// Standard places in the order that show, hide and clear visit them.
constexpr const char* kStandardPlaces[] = {"Desktop", "Favorites", "Recent",
                                           "Publishing", "MyDocuments"};

String PlaceValueName(Integer k) { return Format("Place%d", {k}); }

}  // namespace

// ---------------------------------------------------------------------------
// TCommonDialogPlaces
// ---------------------------------------------------------------------------

bool TCommonDialogPlaces::WritePlacesBar() {
  try {
    DeleteAllValues(kPlacesBarKey);
    TRegistry reg(kReadWrite);
    // Nothing written is no install.
    if (!reg.OpenKey(kPlacesBarKey, true)) return false;
    Integer k = 0;
    for (Integer i = 0; i < Places()->Count(); ++i) {
      TPlaceItem* place = Places()->ItemAt(i);
      if (!place->IsValidPlace()) continue;
      String name = PlaceValueName(k++);
      if (place->IsSpecialFolder()) {
        reg.WriteInteger(name, place->FolderId());
      } else {
        reg.WriteString(name, place->Path());
      }
    }
    reg.CloseKey();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TCommonDialogPlaces::RestoreDefault(Integer) {
  try {
    TRegistry reg(kReadWrite);
    if (reg.OpenKey(kPlacesBarKey, false)) {
      for (Integer i = 0; i <= 9; ++i) {
        String name = PlaceValueName(i);
        if (reg.ValueExists(name)) reg.DeleteValue(name);
      }
      reg.CloseKey();
    }
    if (reg.OpenKey(kComDlg32PolicyKey, false)) {
      if (reg.KeyExists("PlacesBar")) reg.DeleteKey("PlacesBar");
      reg.CloseKey();
    }
    Groups()->MarkInstalled(nullptr);
    Groups()->SaveAllGroups();
  } catch (const Exception&) {
  }
}

// ---------------------------------------------------------------------------
// TOfficeDialogPlaces
// ---------------------------------------------------------------------------

Integer TOfficeDialogPlaces::ResolveVersion(Integer Version) const {
  if (Version == 0) {
    TGroupItem* group = GetCurrentGroup();
    Version = group ? group->EffectiveOfficeVersion() : 0;
  }
  return Version >= 1 && Version <= 4 ? Version : 0;
}

String TOfficeDialogPlaces::GetOfficePlacesKey(Integer Version) const {
  static const char* const versions[] = {"9.0", "10.0", "11.0", "12.0"};
  Integer v = ResolveVersion(Version);
  if (v == 0) return String();
  return String("Software\\Microsoft\\Office\\") + versions[v - 1] +
         "\\Common\\Open Find\\Places";
}

String TOfficeDialogPlaces::GetStandardPlacesKey(Integer Version) const {
  String key = GetOfficePlacesKey(Version);
  return key.empty() ? key : key + "\\StandardPlaces";
}

String TOfficeDialogPlaces::GetUserDefinedPlacesKey(Integer Version) const {
  String key = GetOfficePlacesKey(Version);
  return key.empty() ? key : key + "\\UserDefinedPlaces";
}

String TOfficeDialogPlaces::GetStandardPlaceName(Integer FolderId) {
  switch (FolderId) {
    case 0:
      return "Desktop";
    case 5:
      return "MyDocuments";
    case 6:
      return "Favorites";
    case 8:
      return "Recent";
    case 18:
      return "Publishing";
    default:
      return String();
  }
}

void TOfficeDialogPlaces::ShowStandardPlaces(bool Show, Integer Version) {
  String standard = GetStandardPlacesKey(Version);
  if (standard.empty()) return;
  try {
    TRegistry reg(kReadWrite);
    for (const char* name : kStandardPlaces) {
      if (!reg.OpenKey(standard + "\\" + name, false)) continue;
      reg.WriteInteger("Show", Show ? 1 : 0);
      reg.CloseKey();
    }
  } catch (const Exception&) {
  }
}

void TOfficeDialogPlaces::ClearStandardPlaceValues(Integer Version) {
  String standard = GetStandardPlacesKey(Version);
  if (standard.empty()) return;
  for (const char* name : kStandardPlaces)
    DeleteAllValues(standard + "\\" + name);
}

void TOfficeDialogPlaces::ClearUserDefinedPlaces(Integer Version) {
  String userDefined = GetUserDefinedPlacesKey(Version);
  if (userDefined.empty()) return;
  try {
    TRegistry reg(kReadWrite);
    if (!reg.OpenKey(userDefined, false)) return;
    TStringList names;
    reg.GetKeyNames(&names);
    for (Integer i = 0; i < names.Count(); ++i) {
      DeleteAllValues(userDefined + "\\" + names[i]);
      reg.DeleteKey(names[i]);
    }
    reg.CloseKey();
  } catch (const Exception&) {
  }
}

void TOfficeDialogPlaces::SetItemSize(Integer OfficeFlags, Integer Version) {
  String places = GetOfficePlacesKey(Version);
  if (places.empty()) return;
  try {
    TRegistry reg(kReadWrite);
    // An Office version without its key gets none.
    if (!reg.OpenKey(places, false)) return;
    reg.WriteInteger("ItemSize", (OfficeFlags & ofSmallIcons) ? 0 : 1);
    reg.CloseKey();
  } catch (const Exception&) {
  }
}

bool TOfficeDialogPlaces::WritePlacesBar() {
  TGroupItem* group = GetCurrentGroup();
  if (!group) return false;
  Integer version = ResolveVersion(group->EffectiveOfficeVersion());
  if (version == 0) {
    ShowMessage(" Invalid Office Version! ");
    return false;
  }
  try {
    Integer officeFlags = group->OfficeFlags();
    String standard = GetStandardPlacesKey(version);
    String userDefined = GetUserDefinedPlacesKey(version);
    TPlaceItems* places = Places();
    ShowStandardPlaces(false, version);
    TRegistry reg(kReadWrite);
    for (Integer i = 0; i < places->Count(); ++i) {
      TPlaceItem* place = places->ItemAt(i);
      if (!place->IsSpecialFolder()) continue;
      // A special folder that Office has no standard place for would land
      // on the standard places key itself.
      String name = GetStandardPlaceName(place->FolderId());
      if (name.empty()) continue;
      // A place that cannot be written is no install.
      if (!reg.OpenKey(standard + "\\" + name, true)) return false;
      reg.WriteInteger("Show", 1);
      reg.WriteInteger("Index", i);
      reg.WriteInteger("View", place->View());
      reg.CloseKey();
    }
    ClearUserDefinedPlaces(version);
    Integer k = 0;
    for (Integer i = 0; i < places->Count(); ++i) {
      TPlaceItem* place = places->ItemAt(i);
      if (place->IsSpecialFolder() || !DirectoryExists(place->Path())) continue;
      String key = userDefined + "\\" + PlaceValueName(k++);
      if (!reg.OpenKey(key, true)) return false;
      reg.WriteInteger("Show", 1);
      reg.WriteInteger("Index", i);
      reg.WriteInteger("View", place->View());
      reg.WriteString("Path", place->Path());
      reg.WriteString("Name", place->Name().empty()
                                  ? ExtractFileName(place->Path())
                                  : place->Name());
      reg.CloseKey();
    }
    SetItemSize(officeFlags, version);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TOfficeDialogPlaces::RestoreDefault(Integer Version) {
  try {
    Integer version = Version != 0 ? Version : DefaultOfficeVersion();
    ClearStandardPlaceValues(version);
    ShowStandardPlaces(true, version);
    SetItemSize(0, version);
    ClearUserDefinedPlaces(version);
    Groups()->MarkInstalled(nullptr);
    Groups()->SaveAllGroups();
  } catch (const Exception&) {
  }
}
