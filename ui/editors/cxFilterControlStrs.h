// The filter builder's texts: its dialogs, its actions, its condition tree
// and its value check. Platform independent.
#pragma once

#include "cxClasses.h"

inline constexpr TcxResourceString cxSFilterControlDialogActionApplyCaption{
    65008, "&Apply"};
inline constexpr TcxResourceString cxSFilterControlDialogActionOkCaption{65009,
                                                                         "OK"};
inline constexpr TcxResourceString cxSFilterControlDialogActionCancelCaption{
    65010, "Cancel"};
inline constexpr TcxResourceString cxSFilterControlDialogFileExt{65011, "flt"};
inline constexpr TcxResourceString cxSFilterControlDialogFileFilter{
    65012, "Filters (*.flt)|*.flt"};
inline constexpr TcxResourceString cxSFilterControlNullString{65024, "<empty>"};
inline constexpr TcxResourceString cxSFilterErrorBuilding{
    65025, "Can't build filter from source"};
inline constexpr TcxResourceString cxSFilterDialogCaption{65026,
                                                          "Custom Filter"};
inline constexpr TcxResourceString cxSFilterDialogInvalidValue{65027,
                                                               "Invalid value"};
inline constexpr TcxResourceString cxSFilterDialogUse{65028, "Use"};
inline constexpr TcxResourceString cxSFilterDialogSingleCharacter{
    65029, "to represent any single character"};
inline constexpr TcxResourceString cxSFilterDialogCharactersSeries{
    65030, "to represent any series of characters"};
inline constexpr TcxResourceString cxSFilterDialogOperationAnd{65031, "AND"};
inline constexpr TcxResourceString cxSFilterDialogOperationOr{65032, "OR"};
inline constexpr TcxResourceString cxSFilterDialogRows{65033,
                                                       "Show rows where:"};
inline constexpr TcxResourceString cxSFilterControlDialogCaption{
    65034, "Filter builder"};
inline constexpr TcxResourceString cxSFilterControlDialogNewFile{
    65035, "untitled.flt"};
inline constexpr TcxResourceString cxSFilterControlDialogOpenDialogCaption{
    65036, "Open an existing filter"};
inline constexpr TcxResourceString cxSFilterControlDialogSaveDialogCaption{
    65037, "Save the active filter to file"};
inline constexpr TcxResourceString cxSFilterControlDialogActionSaveCaption{
    65038, "&Save As..."};
inline constexpr TcxResourceString cxSFilterControlDialogActionOpenCaption{
    65039, "&Open..."};
inline constexpr TcxResourceString cxSFilterBoolOperatorAnd{65044, "AND"};
inline constexpr TcxResourceString cxSFilterBoolOperatorOr{65045, "OR"};
inline constexpr TcxResourceString cxSFilterBoolOperatorNotAnd{65046,
                                                               "NOT AND"};
inline constexpr TcxResourceString cxSFilterBoolOperatorNotOr{65047, "NOT OR"};
inline constexpr TcxResourceString cxSFilterRootButtonCaption{65048, "Filter"};
inline constexpr TcxResourceString cxSFilterAddCondition{65049,
                                                         "Add &Condition"};
inline constexpr TcxResourceString cxSFilterAddGroup{65050, "Add &Group"};
inline constexpr TcxResourceString cxSFilterRemoveRow{65051, "&Remove Row"};
inline constexpr TcxResourceString cxSFilterClearAll{65052, "Clear &All"};
inline constexpr TcxResourceString cxSFilterFooterAddCondition{
    65053, "press the button to add a new condition"};
inline constexpr TcxResourceString cxSFilterGroupCaption{
    65054, "applies to the following conditions"};
inline constexpr TcxResourceString cxSFilterRootGroupCaption{65055, "<root>"};
