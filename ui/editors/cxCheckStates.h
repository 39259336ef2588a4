// Check states shared by the check box, the check group and the check combo
// box, and the four formats that turn a list of per-item states into one
// edit value and back. Applications store these values (the program keeps
// its options in the integer format), so the formats are fixed. Portable.
#pragma once

#include <vector>

#include "System.h"
#include "Variants.h"

enum TcxCheckBoxState : Byte { cbsUnchecked, cbsChecked, cbsGrayed };
using TcxCheckStates = std::vector<TcxCheckBoxState>;

enum TcxCheckStatesValueFormat : Byte {
  cvfCaptions,
  cvfIndices,
  cvfInteger,
  cvfStatesString
};

// The mouse state of one check mark.
enum TcxEditCheckState : Byte { ecsNormal, ecsHot, ecsPressed, ecsDisabled };

// How a grayed (or null) state looks.
enum TcxCheckBoxNullValueShowingStyle : Byte {
  nssUnchecked,
  nssInactive,
  nssGrayedChecked
};

// The items an edit value refers to.
class IcxCheckItems {
 public:
  virtual String GetCaption(Integer Index) = 0;
  virtual Integer GetCount() = 0;

 protected:
  ~IcxCheckItems() = default;
};

// The edit value of a state list (Null for an unknown format).
Variant CalculateCheckStatesValue(const TcxCheckStates& AStates,
                                  IcxCheckItems* AItems,
                                  TcxCheckStatesValueFormat AFormat);
// The state list of an edit value, one entry per item; false, with every
// state unchecked, when the value is not valid in that format.
bool CalculateCheckStates(const Variant& AValue, IcxCheckItems* AItems,
                          TcxCheckStatesValueFormat AFormat,
                          TcxCheckStates& ACheckStates);
// The cell of a glyph strip that shows the state: 2 or 3 cells per set,
// the pressed set after the normal one.
Integer GetEditCheckGlyphIndex(TcxCheckBoxState AState,
                               TcxEditCheckState ACheckState,
                               bool AIsThreeGlyphSets, Integer AGlyphCount);
