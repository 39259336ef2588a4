// The two kinds of places objects: the Windows common file dialogs and the
// Office file dialogs. Each installs the current group into the keys that
// its dialogs read and restores the dialogs' defaults.
#pragma once

#include "System.h"
#include "uPlacesEx.h"

// The common dialogs' places bar and its parent policy key, relative to
// HKEY_CURRENT_USER.
inline constexpr const char kComDlg32PolicyKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32";
inline constexpr const char kPlacesBarKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\"
    "PlacesBar";

class TCommonDialogPlaces : public TPlaces {
  VARNEL_CLASS(TCommonDialogPlaces, TPlaces)
 public:
  explicit TCommonDialogPlaces(const String& Key) : TPlaces(Key) {}

  // Replaces the places bar's values with the current group's valid places.
  // False when the key cannot be opened or a value cannot be written.
  bool WritePlacesBar() override;
  // Removes the places bar (the version is not used) and every installed
  // mark.
  void RestoreDefault(Integer Version) override;
};

// Office versions are 1 to 4 for Office 9.0, 10.0, 11.0 and 12.0. Where an
// operation takes a version, 0 stands for the current group's version; a
// version that still comes out as 0, or lies outside 1 to 4, touches no key.
class TOfficeDialogPlaces : public TPlaces {
  VARNEL_CLASS(TOfficeDialogPlaces, TPlaces)
 public:
  explicit TOfficeDialogPlaces(const String& Key) : TPlaces(Key) {}

  // The version of every Office group whose own version is 0, for the whole
  // program; held in memory only, 0 at start.
  static Byte DefaultOfficeVersion() { return OfficeDefault(); }
  static void SetDefaultOfficeVersion(Byte Value) { OfficeDefault() = Value; }

  // Shows the current group's special folders as standard places and its
  // folders as user-defined places of its Office version, hides the other
  // standard places and sets the icon size. Without a version it shows
  // " Invalid Office Version! " and returns false.
  bool WritePlacesBar() override;
  // Shows every standard place again, removes the user-defined places, sets
  // large icons (Version 0: the program-wide default) and clears every
  // installed mark.
  void RestoreDefault(Integer Version) override;

  // The version's "Open Find\Places" key and its two subkeys; "" for no
  // version.
  String GetOfficePlacesKey(Integer Version) const;
  String GetStandardPlacesKey(Integer Version) const;
  String GetUserDefinedPlacesKey(Integer Version) const;
  // The standard place that shows a special folder; "" for none.
  static String GetStandardPlaceName(Integer FolderId);

  // Sets "Show" of every existing standard place.
  void ShowStandardPlaces(bool Show, Integer Version);
  // Deletes every value of the standard places.
  void ClearStandardPlaceValues(Integer Version);
  // Deletes every user-defined place.
  void ClearUserDefinedPlaces(Integer Version);
  // Sets "ItemSize" of an existing places key: small icons (0) when
  // OfficeFlags holds ofSmallIcons, else large (1).
  void SetItemSize(Integer OfficeFlags, Integer Version);

 private:
  // The version an operation works on: 1 to 4, or 0 for none.
  Integer ResolveVersion(Integer Version) const;
};
