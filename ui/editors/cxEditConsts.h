// The user-visible texts of the editors and of the units that share the
// editor layer's string table, with their fixed identifiers. Platform
// independent.
#pragma once

#include "cxClasses.h"

// Editor messages.
inline constexpr TcxResourceString cxSEditButtonCancel{65165, "Cancel"};
inline constexpr TcxResourceString cxSEditButtonOK{65166, "OK"};
inline constexpr TcxResourceString cxSEditDateConvertError{
    65167, "Could not convert to date"};
inline constexpr TcxResourceString cxSEditInvalidRepositoryItem{
    65136, "The repository item is not acceptable"};
inline constexpr TcxResourceString cxSEditNumericValueConvertError{
    65137, "Could not convert to numeric value"};
inline constexpr TcxResourceString cxSEditPopupCircularReferencingError{
    65138, "Circular referencing is not allowed"};
inline constexpr TcxResourceString cxSEditPostError{
    65139, "An error occured during posting edit value"};
inline constexpr TcxResourceString cxSEditTimeConvertError{
    65140, "Could not convert to time"};
inline constexpr TcxResourceString cxSEditValidateErrorText{
    65141, "Invalid input value. Use escape key to abandon changes"};
inline constexpr TcxResourceString cxSEditValueOutOfBounds{
    65142, "Value out of bounds"};

// Check box, radio group and Boolean texts.
inline constexpr TcxResourceString cxSEditCheckBoxChecked{65143, "True"};
inline constexpr TcxResourceString cxSEditCheckBoxGrayed{65144, ""};
inline constexpr TcxResourceString cxSEditCheckBoxUnchecked{65145, "False"};
inline constexpr TcxResourceString cxSRadioGroupDefaultCaption{65146, ""};
inline constexpr TcxResourceString cxSTextTrue{65147, "True"};
inline constexpr TcxResourceString cxSTextFalse{65148, "False"};

// Blob editor.
inline constexpr TcxResourceString cxSBlobButtonOK{65149, "&OK"};
inline constexpr TcxResourceString cxSBlobButtonCancel{65150, "&Cancel"};
inline constexpr TcxResourceString cxSBlobButtonClose{65151, "&Close"};
inline constexpr TcxResourceString cxSBlobMemo{65120, "(MEMO)"};
inline constexpr TcxResourceString cxSBlobMemoEmpty{65121, "(memo)"};
inline constexpr TcxResourceString cxSBlobPicture{65122, "(PICTURE)"};
inline constexpr TcxResourceString cxSBlobPictureEmpty{65123, "(picture)"};

// Editor context-menu captions.
inline constexpr TcxResourceString cxSMenuItemCaptionCut{65124, "Cu&t"};
inline constexpr TcxResourceString cxSMenuItemCaptionCopy{65125, "&Copy"};
inline constexpr TcxResourceString cxSMenuItemCaptionPaste{65126, "&Paste"};
inline constexpr TcxResourceString cxSMenuItemCaptionDelete{65127, "&Delete"};
inline constexpr TcxResourceString cxSMenuItemCaptionLoad{65128, "&Load..."};
inline constexpr TcxResourceString cxSMenuItemCaptionSave{65129, "Save &As..."};

// Date, calculator and hyperlink editors.
inline constexpr TcxResourceString cxSDatePopupClear{65130, "Clear"};
inline constexpr TcxResourceString cxSDatePopupNow{65131, "Now"};
inline constexpr TcxResourceString cxSDatePopupOK{65132, "OK"};
inline constexpr TcxResourceString cxSDatePopupToday{65133, "Today"};
inline constexpr TcxResourceString cxSDateError{65134, "Invalid Date"};
inline constexpr TcxResourceString scxSCalcError{65135, "Error"};
inline constexpr TcxResourceString scxSHyperLinkPrefix{65104, "http://"};
inline constexpr TcxResourceString scxSHyperLinkDoubleSlash{65105, "//"};

// Navigator.
inline constexpr TcxResourceString cxNavigatorHint_First{65106, "First record"};
inline constexpr TcxResourceString cxNavigatorHint_Prior{65107, "Prior record"};
inline constexpr TcxResourceString cxNavigatorHint_PriorPage{65108,
                                                             "Prior page"};
inline constexpr TcxResourceString cxNavigatorHint_Next{65109, "Next record"};
inline constexpr TcxResourceString cxNavigatorHint_NextPage{65110, "Next page"};
inline constexpr TcxResourceString cxNavigatorHint_Last{65111, "Last record"};
inline constexpr TcxResourceString cxNavigatorHint_Insert{65112,
                                                          "Insert record"};
inline constexpr TcxResourceString cxNavigatorHint_Append{65113,
                                                          "Append record"};
inline constexpr TcxResourceString cxNavigatorHint_Delete{65114,
                                                          "Delete record"};
inline constexpr TcxResourceString cxNavigatorHint_Edit{65115, "Edit record"};
inline constexpr TcxResourceString cxNavigatorHint_Post{65116, "Post edit"};
inline constexpr TcxResourceString cxNavigatorHint_Cancel{65117, "Cancel edit"};
inline constexpr TcxResourceString cxNavigatorHint_Refresh{65118,
                                                           "Refresh data"};
inline constexpr TcxResourceString cxNavigatorHint_SaveBookmark{
    65119, "Save Bookmark"};
inline constexpr TcxResourceString cxNavigatorHint_GotoBookmark{
    65088, "Goto Bookmark"};
inline constexpr TcxResourceString cxNavigatorHint_Filter{65089, "Filter data"};
inline constexpr TcxResourceString cxNavigator_DeleteRecordQuestion{
    65090, "Delete record?"};

// Mask and spin editors.
inline constexpr TcxResourceString scxMaskEditRegExprError{
    65069, "Regular expression errors:"};
inline constexpr TcxResourceString scxMaskEditInvalidEditValue{
    65070, "The edit value is invalid"};
inline constexpr TcxResourceString scxMaskEditNoMask{65071, "None"};
inline constexpr TcxResourceString scxMaskEditIllegalFileFormat{
    65040, "Illegal file format"};
inline constexpr TcxResourceString scxMaskEditEmptyMaskCollectionFile{
    65041, "The mask collection file is empty"};
inline constexpr TcxResourceString scxMaskEditMaskCollectionFiles{
    65042, "Mask collection files"};
inline constexpr TcxResourceString cxSSpinEditInvalidNumericValue{
    65043, "Invalid numeric value"};

// The editor kinds, "short name|hint".
inline constexpr TcxResourceString scxSEditRepositoryBlobItem{
    65091, "BlobEdit|Represents the BLOB editor"};
inline constexpr TcxResourceString scxSEditRepositoryButtonItem{
    65092, "ButtonEdit|Represents an edit control with embedded buttons"};
inline constexpr TcxResourceString scxSEditRepositoryCalcItem{
    65093,
    "CalcEdit|Represents an edit control with a dropdown calculator window"};
inline constexpr TcxResourceString scxSEditRepositoryCheckBoxItem{
    65094,
    "CheckBox|Represents a check box control that allows selecting an option"};
inline constexpr TcxResourceString scxSEditRepositoryComboBoxItem{
    65095, "ComboBox|Represents the combo box editor"};
inline constexpr TcxResourceString scxSEditRepositoryCurrencyItem{
    65096, "CurrencyEdit|Represents an editor enabling editing currency data"};
inline constexpr TcxResourceString scxSEditRepositoryDateItem{
    65097, "DateEdit|Represents an edit control with a dropdown calendar"};
inline constexpr TcxResourceString scxSEditRepositoryHyperLinkItem{
    65098, "HyperLink|Represents a text editor with hyperlink functionality"};
inline constexpr TcxResourceString scxSEditRepositoryImageComboBoxItem{
    65099,
    "ImageComboBox|Represents an editor displaying the list of images and text "
    "strings within the dropdown window"};
inline constexpr TcxResourceString scxSEditRepositoryImageItem{
    65100, "Image|Represents an image editor"};
inline constexpr TcxResourceString scxSEditRepositoryLookupComboBoxItem{
    65101, "LookupComboBox|Represents a lookup combo box control"};
inline constexpr TcxResourceString scxSEditRepositoryMaskItem{
    65102, "MaskEdit|Represents a generic masked edit control."};
inline constexpr TcxResourceString scxSEditRepositoryMemoItem{
    65103, "Memo|Represents an edit control that allows editing memo data"};
inline constexpr TcxResourceString scxSEditRepositoryMRUItem{
    65072,
    "MRUEdit|Represents a text editor displaying the list of most recently "
    "used items (MRU) within a dropdown window"};
inline constexpr TcxResourceString scxSEditRepositoryPopupItem{
    65073, "PopupEdit|Represents an edit control with a dropdown list"};
inline constexpr TcxResourceString scxSEditRepositorySpinItem{
    65074, "SpinEdit|Represents a spin editor"};
inline constexpr TcxResourceString scxSEditRepositoryRadioGroupItem{
    65075, "RadioGroup|Represents a group of radio buttons"};
inline constexpr TcxResourceString scxSEditRepositoryTextItem{
    65076, "TextEdit|Represents a single line text editor"};
inline constexpr TcxResourceString scxSEditRepositoryTimeItem{
    65077, "TimeEdit|Represents an editor displaying time values"};
