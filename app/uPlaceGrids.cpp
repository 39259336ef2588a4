#include "uPlaceGrids.h"

#include "SysUtils.h"

namespace {

// The place behind row I of the current group, or none.
TPlaceItem* PlaceAt(TCustomPlaces* Places, Integer I) {
  if (!Places || !Places->GetCurrentGroup()) return nullptr;
  return Places->Places()->ItemAt(I);
}

Integer PlaceCount(TCustomPlaces* Places) {
  if (!Places || !Places->GetCurrentGroup()) return 0;
  return std::min<Integer>(Places->Places()->Count(), kPlaceRowCount);
}

}  // namespace

String MinimizePath(const String& Path, Integer MaxWidth,
                    const TTextWidthFunc& TextWidth) {
  if (TextWidth(Path) <= MaxWidth) return Path;
  // The drive ("C:") or the server ("\\server") stays in front.
  size_t split;
  if (Path.rfind("\\\\", 0) == 0) {
    split = Path.find('\\', 2);
  } else {
    const size_t colon = Path.find(':');
    split = Path.find('\\', colon == String::npos ? 0 : colon);
  }
  if (split == String::npos) return Path;
  const String head = Path.substr(0, split);
  String rest = Path.substr(split);
  // Leading folders give way one at a time.
  for (size_t next; (next = rest.find('\\', 1)) != String::npos;) {
    rest = rest.substr(next);
    const String candidate = head + "\\..." + rest;
    if (TextWidth(candidate) <= MaxWidth) return candidate;
  }
  // Only the last name is left.
  return "..." + rest;
}

TCommonRows CommonGridRows(TCustomPlaces* Places, Integer PathWidth,
                           const TTextWidthFunc& TextWidth) {
  TCommonRows rows;
  const Integer count = PlaceCount(Places);
  for (Integer i = 0; i < count; ++i) {
    TPlaceItem* place = PlaceAt(Places, i);
    TCommonRowView& row = rows[i];
    row.Focusing = true;
    if (!place->IsValidPlace()) continue;
    if (place->IsSpecialFolder()) {
      row.Value = place->Name();
    } else {
      row.Value =
          MinimizePath(place->Path(), PathWidth - kPathButtonRoom, TextWidth);
    }
    row.Hint = place->DisplayText();
  }
  return rows;
}

TOfficeRows OfficeGridRows(TCustomPlaces* Places, Integer PathWidth,
                           const TTextWidthFunc& TextWidth) {
  TOfficeRows rows;
  const Integer count = PlaceCount(Places);
  for (Integer i = 0; i < count; ++i) {
    TPlaceItem* place = PlaceAt(Places, i);
    TOfficeRowView& row = rows[i];
    row.Focusing = true;
    row.Name = place->Name();
    row.NameReadOnly = place->IsSpecialFolder();
    row.Path =
        MinimizePath(place->Path(), PathWidth - kPathButtonRoom, TextWidth);
    row.PathHint = place->Path();
    row.View = place->GetViewName();
  }
  return rows;
}

Integer OfficeViewOfText(const String& Text) {
  static const char* const kViews[] = {"List", "Details", "Summary", "Preview"};
  for (Integer i = 0; i < 4; ++i) {
    if (Text == kViews[i]) return i + 1;
  }
  return 2;
}

String OfficePlaceName(const String& Path) {
  const size_t sep = Path.find_last_of("\\:");
  return sep == String::npos ? Path : Path.substr(sep + 1);
}

bool CanDragPlaceRow(TCustomPlaces* Places, Integer Index) {
  TPlaceItem* place = PlaceAt(Places, Index);
  return place && place->IsValidPlace();
}

bool CanDropPlaceRow(TCustomPlaces* Places, Integer FromIndex,
                     Integer ToIndex) {
  return FromIndex != ToIndex && CanDragPlaceRow(Places, FromIndex) &&
         CanDragPlaceRow(Places, ToIndex);
}
