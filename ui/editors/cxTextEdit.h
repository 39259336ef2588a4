// The single-line text editor and the base of every typed editor: its
// properties (character case, password echo, maximum length, formats,
// lookup items), the Windows edit it hosts for typing, the lookup data that
// completes and steps through item texts, the view data and view info that
// measure and paint the text when the Windows edit does not show it, and
// the editor control that keeps text and edit value in step. Windows only.
#pragma once

#include <bitset>
#include <vector>

#include "StdCtrls.h"
#include "cxDrawTextUtils.h"
#include "cxEdit.h"
#include "cxEditViewData.h"
#include "cxEditViewInfo.h"
#include "cxFormats.h"

// ---------------------------------------------------------------------------
// Vocabulary
// ---------------------------------------------------------------------------

enum TcxEditEchoMode : Byte { eemNormal, eemPassword };
enum TcxTextEditViewStyle : Byte {
  vsNormal,
  vsHideCursor,
  vsButtonsOnly,
  vsButtonsAutoWidth
};
enum TcxEditValueBound : Byte { evbMin, evbMax };
enum TcxEditScrollCause : Byte { escKeyboard, escMouseWheel };
enum TcxEditLookupDataGoDirection : Byte {
  egdBegin,
  egdEnd,
  egdNext,
  egdPrev,
  egdPageUp,
  egdPageDown
};

using TcxNewLookupDisplayTextEvent =
    TClosure<void(TObject* Sender, const String& AText)>;

// Characters a typed key may be even when the editor's own rule refuses it.
using TcxCharSet = std::bitset<256>;

class TcxCustomTextEdit;
class TcxCustomTextEditLookupData;

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  VARNEL_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
 public:
  explicit TcxTextEditPropertiesValues(TPersistent* AOwner = nullptr)
      : TcxCustomEditPropertiesValues(AOwner) {}
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(bool Value) { SetFlag(displayFormat_, Value); }
  bool EditFormat() const { return editFormat_; }
  void SetEditFormat(bool Value) { SetFlag(editFormat_, Value); }
  bool MaxLength() const { return maxLength_; }
  void SetMaxLength(bool Value);
  // Stored only when an explicitly assigned format is empty, so that the
  // empty format survives streaming.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;

 private:
  bool displayFormat_ = false;
  bool editFormat_ = false;
  bool maxLength_ = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties,
                                    public IcxFormatControllerListener {
  VARNEL_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomTextEditProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomTextEditProperties() override;
  void Assign(TPersistent* Source) override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // properties
  TcxTextEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(
        TcxCustomEditProperties::AssignedValues());
  }
  TEditCharCase CharCase() const { return charCase_; }
  String DisplayFormat() { return GetDisplayFormat(); }
  void SetDisplayFormat(const String& Value);
  TcxEditEchoMode EchoMode() const { return echoMode_; }
  void SetEchoMode(TcxEditEchoMode Value);
  String EditFormat() { return GetEditFormat(); }
  void SetEditFormat(const String& Value);
  bool FixedListSelection() const { return fixedListSelection_; }
  void SetFixedListSelection(bool Value);
  bool HideCursor() const { return hideCursor_; }
  void SetHideCursor(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode Value);
  const String& ImeName() const { return imeName_; }
  void SetImeName(const String& Value);
  bool ImmediateUpdateText() const { return immediateUpdateText_; }
  void SetImmediateUpdateText(bool Value) { immediateUpdateText_ = Value; }
  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool Value);
  TStringList* LookupItems() const { return lookupItems_.get(); }
  TStrings* GetLookupItems() const { return lookupItems_.get(); }
  void SetLookupItems(TStrings* Value) { lookupItems_->Assign(Value); }
  bool LookupItemsSorted() const { return lookupItems_->Sorted(); }
  void SetLookupItemsSorted(bool Value) { lookupItems_->SetSorted(Value); }
  Integer MaxLength() { return GetMaxLength(); }
  void SetMaxLength(Integer Value);
  bool MRUMode() const { return mruMode_; }
  void SetMRUMode(bool Value) { mruMode_ = Value; }
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool Value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char Value);
  bool UseDisplayFormatWhenEditing() const {
    return useDisplayFormatWhenEditing_;
  }
  void SetUseDisplayFormatWhenEditing(bool Value);
  TcxTextEditViewStyle ViewStyle() { return GetViewStyle(); }
  void SetViewStyle(TcxTextEditViewStyle Value);
  TcxCharSet& ExtraAcceptedChars() { return extraAcceptedChars_; }
  bool IsFormatChanging() const { return formatChanging_; }
  void DefineProperties(TFiler* Filer) override;

  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

  // methods
  String GetDisplayFormat();
  String GetEditFormat();
  Integer GetMaxLength();
  Integer GetInnerEditMaxLength() { return GetMaxLength(); }
  TcxTextEditViewStyle GetViewStyle();
  bool CanIncrementalSearch();
  void SetMinMaxValues(double AMin, double AMax) {
    FillMinMaxValues(AMax, AMin);
  }
  bool IsDisplayFormatStored() { return AssignedValues()->DisplayFormat(); }
  bool IsEditFormatStored() { return AssignedValues()->EditFormat(); }
  bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }
  // The hidden streamed flag of an assigned display format.
  void ReadIsDisplayFormatAssigned(bool Value) {
    AssignedValues()->SetDisplayFormat(Value);
  }
  // The text of AEditValue when it is not given in the edit format.
  void GetDefaultDisplayValue(const Variant& AEditValue, bool AEditFocused,
                              String& AText);

  // overridables introduced here
  void FormatChanged() override;
  virtual void CheckEditorValueBounds(Variant& ADisplayValue,
                                      String& AErrorText, bool& AError,
                                      TcxCustomTextEdit* AEdit);
  virtual void DefaultFocusedDisplayValue(Variant& AValue) {
    AValue = Variant(String());
  }
  virtual bool FindLookupText(const String& AText);
  virtual String GetDefaultDisplayFormat() { return String(); }
  virtual Integer GetDefaultMaxLength();
  virtual Integer GetDropDownPageRowCount() { return 8; }
  virtual TcxEditEditingStyle GetEditingStyle();
  // The lookup data of an editor; null for none.
  virtual TObjectPtr<TcxCustomTextEditLookupData> CreateLookupData(
      TcxCustomTextEdit* AEdit);
  virtual bool HasDigitGrouping(bool AIsDisplayValueSynchronizing) {
    return (void)AIsDisplayValueSynchronizing, false;
  }
  virtual void InternalGetEditFormat(bool& AIsCurrency,
                                     bool& AIsOnGetTextAssigned,
                                     String& AEditFormat,
                                     TcxCustomEdit* AEdit = nullptr);
  virtual bool IsEditValueNumeric() { return false; }
  virtual bool IsLookupDataVisual() { return false; }
  virtual bool IsMultiLine() { return false; }
  virtual bool IsPopupKey(Word Key, TShiftState Shift) {
    return (void)Key, (void)Shift, false;
  }
  virtual bool IsValueBoundDefined(TcxEditValueBound ABound);
  bool IsValueBoundsDefined() {
    return IsValueBoundDefined(evbMin) || IsValueBoundDefined(evbMax);
  }
  virtual void LookupDataChanged(TObject*) { Changed(); }
  virtual void MaxLengthChanged() { Changed(); }
  virtual void SetCharCase(TEditCharCase Value);
  virtual bool UseLookupData() { return true; }
  virtual void DisplayValueToDisplayText(String& AText);
  virtual bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused);

  // overrides of the edit properties
  void AlignmentChangedHandler(TObject* Sender) override;
  void BaseSetAlignment(TcxEditAlignment* Value) override;
  bool CanValidate() override { return true; }
  static TClass GetAssignedValuesClass() {
    return TcxTextEditPropertiesValues::StaticClass();
  }
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() override {
    return {dfoSupports};
  }
  String GetValidateErrorText(Integer AErrorKind) override;
  bool HasDisplayValue() override { return true; }
  bool CanCompareEditValue() override { return true; }
  TcxCustomEditClass GetContainerClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  TObjectPtr<TcxCustomEditViewData> CreateViewData(
      TcxCustomEditStyle* AStyle, bool AIsInplace,
      bool APreviewMode = false) override;
  bool CompareDisplayValues(const Variant& AEditValue1,
                            const Variant& AEditValue2) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false,
                            bool AIsInplace = true) override;
  TcxEditSupportedOperations GetSupportedOperations() override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  bool IsResetEditClass() override { return GetEditingStyle() != esNoEdit; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText,
                            bool& AError, TObject* AEdit) override;
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsText; }

 private:
  void LookupItemsChanged(TObject*) { LookupDataChanged(this); }
  template <class T>
  void SetPlain(T& AField, T Value);

  TEditCharCase charCase_ = ecNormal;
  String displayFormat_;
  TcxEditEchoMode echoMode_ = eemNormal;
  String editFormat_;
  bool fixedListSelection_ = true;
  bool formatChanging_ = false;
  bool hideCursor_ = false;
  bool hideSelection_ = true;
  TImeMode imeMode_ = imDontCare;
  String imeName_;
  bool immediateUpdateText_ = false;
  bool incrementalSearch_ = true;
  TObjectPtr<TStringList> lookupItems_;
  Integer maxLength_ = 0;
  bool mruMode_ = false;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  bool useDisplayFormatWhenEditing_ = false;
  TcxCharSet extraAcceptedChars_;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  VARNEL_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};

// ---------------------------------------------------------------------------
// Inner text edit
// ---------------------------------------------------------------------------

// The editor's drive of its Windows edit (beyond the common inner-edit
// operations).
class IcxInnerTextEdit : public IcxCustomInnerEdit {
 public:
  static constexpr TGUID IID{0x263EED40,
                             0x3F94,
                             0x4E4F,
                             {0x8B, 0x59, 0x5C, 0x4A, 0x0E, 0x61, 0x7B, 0x11}};
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment GetAlignment() = 0;
  virtual bool GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TcxEditEchoMode GetEchoMode() = 0;
  virtual bool GetHideSelection() = 0;
  virtual char GetImeLastChar() = 0;
  virtual TImeMode GetImeMode() = 0;
  virtual String GetImeName() = 0;
  virtual bool GetInternalUpdating() = 0;
  virtual Integer GetMaxLength() = 0;
  virtual bool GetMultiLine() = 0;
  virtual bool GetOEMConvert() = 0;
  virtual TNotifyEvent GetOnSelChange() = 0;
  virtual char GetPasswordChar() = 0;
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual String GetSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void SetAlignment(TAlignment Value) = 0;
  virtual void SetAutoSelect(bool Value) = 0;
  virtual void SetCharCase(TEditCharCase Value) = 0;
  virtual void SetEchoMode(TcxEditEchoMode Value) = 0;
  virtual void SetHideSelection(bool Value) = 0;
  virtual void SetInternalUpdating(bool Value) = 0;
  virtual void SetImeMode(TImeMode Value) = 0;
  virtual void SetImeName(const String& Value) = 0;
  virtual void SetMaxLength(Integer Value) = 0;
  virtual void SetOEMConvert(bool Value) = 0;
  virtual void SetOnSelChange(TNotifyEvent Value) = 0;
  virtual void SetPasswordChar(char Value) = 0;
  virtual void SetSelLength(Integer Value) = 0;
  virtual void SetSelStart(Integer Value) = 0;
  virtual void SetSelText(const String& Value) = 0;

 protected:
  ~IcxInnerTextEdit() = default;
};

class TcxCustomInnerTextEdit;

// Answers the editor's interfaces for the edit, so that the edit's own
// class-library operations keep their names.
class TcxCustomInnerTextEditHelper : public TcxInterfacedPersistent,
                                     public IcxInnerTextEdit {
  VARNEL_CLASS(TcxCustomInnerTextEditHelper, TcxInterfacedPersistent)
 public:
  explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* AEdit);
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  TcxCustomInnerTextEdit* Edit() const { return edit_; }

  // IcxContainerInnerControl
  TWinControl* GetControl() override;
  TcxContainer* GetControlContainer() override;
  // IcxCustomInnerEdit
  LRESULT CallDefWndProc(UINT AMsg, WPARAM WParam, LPARAM LParam) override;
  Variant GetEditValue() override;
  TNotifyEvent GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool ALock) override;
  void SafelySetFocus() override;
  void SetEditValue(const Variant& Value) override;
  void SetParent(TWinControl* Value) override;
  void SetOnChange(TNotifyEvent Value) override;
  void SetReadOnly(bool Value) override;
  // IcxInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment GetAlignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TcxEditEchoMode GetEchoMode() override;
  bool GetHideSelection() override;
  char GetImeLastChar() override;
  TImeMode GetImeMode() override;
  String GetImeName() override;
  bool GetInternalUpdating() override;
  Integer GetMaxLength() override;
  bool GetMultiLine() override { return false; }
  bool GetOEMConvert() override;
  TNotifyEvent GetOnSelChange() override;
  char GetPasswordChar() override;
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  String GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TcxEditEchoMode Value) override;
  void SetHideSelection(bool Value) override;
  void SetInternalUpdating(bool Value) override;
  void SetImeMode(TImeMode Value) override;
  void SetImeName(const String& Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetOnSelChange(TNotifyEvent Value) override;
  void SetPasswordChar(char Value) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const String& Value) override;

 private:
  friend class TcxCustomInnerTextEdit;
  TcxCustomInnerTextEdit* edit_;
  Integer savedSelStart_ = 0;
  Integer savedSelLength_ = 0;
};

// The borderless Windows edit a text editor types in; it hands keys, mouse,
// focus and clipboard messages to its editor.
class TcxCustomInnerTextEdit : public TCustomEdit,
                               public IcxInnerEditHelper,
                               public IcxContainerInnerControl {
  VARNEL_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
 public:
  explicit TcxCustomInnerTextEdit(TComponent* AOwner);
  ~TcxCustomInnerTextEdit() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  // IcxInnerEditHelper
  IcxCustomInnerEdit* GetHelper() override { return helper_.get(); }
  // IcxContainerInnerControl
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return GetContainer(); }

  TcxCustomEdit* GetContainer() const { return container_; }
  // The editor forgets its edit before freeing it.
  void DetachContainer() { container_ = nullptr; }
  TcxCustomInnerTextEditHelper* Helper() const { return helper_.get(); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TcxEditEchoMode EchoMode() const { return echoMode_; }
  char InnerPasswordChar() const { return passwordChar_; }
  bool InternalUpdating() const { return internalUpdating_; }
  void SetInternalUpdating(bool Value) { internalUpdating_ = Value; }
  Integer ImeCharCount() const { return imeCharCount_; }
  // The caret's character index.
  Integer GetCursorPos();
  void UpdateEchoMode();

  TNotifyEvent OnSelChange;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth,
                 Integer AHeight) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  bool CanFocus() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  // Dragging over the edit is dragging over its editor.
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateHandle() override;
  void CreateWnd() override;
  virtual void AdjustMargins();
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState, Integer, TPoint) override { return false; }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X,
               Integer Y) override;

 private:
  friend class TcxCustomInnerTextEditHelper;
  void WMKeyDown(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMImeChar(TMessage& Message);
  void WMClipboard(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMFocus(TMessage& Message);
  TcxCustomTextEdit* TextContainer() const;

  TcxCustomEdit* container_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  TcxEditEchoMode echoMode_ = eemNormal;
  TObjectPtr<TcxCustomInnerTextEditHelper> helper_;
  Integer imeCharCount_ = 0;
  char imeLastChar_ = 0;
  bool internalUpdating_ = false;
  bool isCreating_ = false;
  Integer lockBoundsCount_ = 0;
  char passwordChar_ = 0;
};

struct TcxCustomInnerTextEditPrevState {
  bool IsTextSaved = false;
  Integer SelLength = 0;
  Integer SelStart = 0;
  String Text;
};

// Sets the editor's user-action flag for the scope and restores it after.
[[nodiscard]] inline auto UserActionScope(TcxCustomEdit* AEdit,
                                          bool AValue = true) {
  const bool saved = AEdit->IsUserAction();
  AEdit->SetUserAction(AValue);
  return TScopeGuard([AEdit, saved] { AEdit->SetUserAction(saved); });
}

void SaveTextEditState(IcxInnerTextEdit* AEdit, bool ASaveText,
                       TcxCustomInnerTextEditPrevState& APrevState);
// True when the text or the selection changed since the state was saved.
bool CheckTextEditState(IcxInnerTextEdit* AEdit,
                        const TcxCustomInnerTextEditPrevState& APrevState);

// ---------------------------------------------------------------------------
// Lookup data and the edit list box
// ---------------------------------------------------------------------------

class TcxCustomEditListBox;

class IcxTextEditLookupData : public IInterface {
 public:
  static constexpr TGUID IID{0xF49C5F08,
                             0x7758,
                             0x4362,
                             {0xA3, 0x61, 0x1E, 0x9A, 0x6C, 0x47, 0x1E, 0x2E}};
  virtual bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight,
                                   Integer AMaxWidth) = 0;
  virtual void CloseUp() = 0;
  virtual void Deinitialize() = 0;
  virtual void DropDown() = 0;
  virtual void DroppedDown(const String& AFindStr) = 0;
  virtual bool Find(const String& AText) = 0;
  virtual TWinControl* GetActiveControl() = 0;
  virtual Variant GetCurrentKey() = 0;
  virtual String GetDisplayText(const Variant& AKey) = 0;
  virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual TSize GetVisualAreaPreferredSize(Integer AMaxHeight,
                                           Integer AWidth) = 0;
  virtual void Go(TcxEditLookupDataGoDirection ADirection, bool ACircular) = 0;
  virtual void Initialize(TWinControl* AVisualControlsParent) = 0;
  virtual bool IsEmpty() = 0;
  virtual bool IsMouseOverList(const TPoint& P) = 0;
  virtual bool Locate(String& AText, String& ATail, bool ANext) = 0;
  virtual void PositionVisualArea(const TRect& AClientRect) = 0;
  virtual void PropertiesChanged() = 0;
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(TNotifyEvent Value) = 0;
  virtual void SetOnSelectItem(TNotifyEvent Value) = 0;
  virtual void TextChanged() = 0;

 protected:
  ~IcxTextEditLookupData() = default;
};

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent,
                                    public IcxTextEditLookupData {
  VARNEL_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)
 public:
  explicit TcxCustomTextEditLookupData(TPersistent* AOwner);
  ~TcxCustomTextEditLookupData() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }

  TcxCustomTextEdit* GetEdit() const { return edit_; }
  TcxCustomEditListBox* List() const { return list_; }
  Integer ItemIndex() const { return itemIndex_; }
  void SetItemIndex(Integer Value);
  Integer CurrentKeyIndex() const { return currentKey_; }
  TStrings* Items();
  void SetItems(TStrings* Value);
  // The first item equal to AText (without case), -1 for none.
  Integer IndexOf(const String& AText);

  TNotifyEvent OnCurrentKeyChanged;
  TNotifyEvent OnSelectItem;

  // overridables introduced here
  virtual String GetItem(Integer AIndex);
  virtual Integer GetItemCount();
  // The list box shown in a drop-down; none for a plain text editor.
  virtual TObjectPtr<TcxCustomEditListBox> CreateListBox(TComponent* AOwner) {
    return (void)AOwner, nullptr;
  }
  virtual void HandleSelectItem(TObject* Sender);
  virtual bool InternalLocate(String& AText, String& ATail, bool ANext,
                              bool AExactOrReset);
  virtual void ListChanged();

  // IcxTextEditLookupData
  bool CanResizeVisualArea(TSize&, Integer, Integer) override { return true; }
  void CloseUp() override;
  void Deinitialize() override {}
  void DropDown() override {}
  void DroppedDown(const String&) override {}
  bool Find(const String& AText) override { return IndexOf(AText) != -1; }
  TWinControl* GetActiveControl() override;
  Variant GetCurrentKey() override { return Variant(currentKey_); }
  String GetDisplayText(const Variant& AKey) override;
  TNotifyEvent GetOnCurrentKeyChanged() override { return OnCurrentKeyChanged; }
  TNotifyEvent GetOnSelectItem() override { return OnSelectItem; }
  TSize GetVisualAreaPreferredSize(Integer, Integer) override {
    return TSize{0, 0};
  }
  void Go(TcxEditLookupDataGoDirection ADirection, bool ACircular) override;
  void Initialize(TWinControl* AVisualControlsParent) override;
  bool IsEmpty() override { return GetItemCount() == 0; }
  bool IsMouseOverList(const TPoint& P) override;
  bool Locate(String& AText, String& ATail, bool ANext) override {
    return InternalLocate(AText, ATail, ANext, false);
  }
  void PositionVisualArea(const TRect& AClientRect) override;
  void PropertiesChanged() override { ListChanged(); }
  void SelectItem() override;
  void SetCurrentKey(const Variant& AKey) override;
  void SetOnCurrentKeyChanged(TNotifyEvent Value) override {
    OnCurrentKeyChanged = Value;
  }
  void SetOnSelectItem(TNotifyEvent Value) override { OnSelectItem = Value; }
  void TextChanged() override;

 protected:
  TcxCustomTextEditProperties* ActiveProperties();
  void InternalSetCurrentKey(Integer AIndex);
  void InternalSetItemIndex(Integer AIndex);
  void DoSelectItem() {
    if (OnSelectItem) OnSelectItem(this);
  }

 private:
  Integer currentKey_ = -1;
  Integer itemIndex_ = -1;
  TcxCustomEditListBox* list_ = nullptr;  // owned by its visual parent
  TcxCustomTextEdit* edit_;
};

// The list a drop-down shows lookup items in.
class TcxCustomEditListBox : public TcxCustomInnerListBox {
  VARNEL_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
 public:
  explicit TcxCustomEditListBox(TComponent* AOwner);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value) { hotTrack_ = Value; }
  bool IsVisible();
  // Fills the list with ACount placeholders; the texts come from GetItem.
  void SetItemCount(Integer ACount);
  void SetItemIndex(Integer Value);
  Integer GetDefaultItemHeight();
  void InternalRecreateWindow() { RecreateWnd(); }
  TcxCustomEdit* GetEdit() const { return edit_; }
  void SetEdit(TcxCustomEdit* Value) { edit_ = Value; }

  TNotifyEvent OnSelectItem;

  virtual bool DoDrawItem(Integer AIndex, const TRect& ARect,
                          TOwnerDrawState AState) {
    return (void)AIndex, (void)ARect, (void)AState, false;
  }
  virtual String GetItem(Integer AIndex);
  virtual void RecreateWindow() {}
  virtual Integer GetHeight(Integer ARowCount) {
    return ARowCount * GetItemHeight(-1);
  }
  virtual Integer GetItemHeight(Integer AIndex) {
    return (void)AIndex, GetDefaultItemHeight();
  }
  virtual Integer GetItemWidth(Integer AIndex);

  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(Integer Index, Integer& Height) override;
  bool NeedDrawFocusRect() override;

 protected:
  void Click() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void DoSelectItem();

 private:
  bool hotTrack_ = true;
  TcxCustomEdit* edit_ = nullptr;
};

// ---------------------------------------------------------------------------
// View data and view info
// ---------------------------------------------------------------------------

// Text flags of the editors' text layout.
inline constexpr Cardinal cxTextEditFlagsAlways =
    cxtoKeepLeftInside | cxtoKeepTopInside;

class TcxCustomTextEditViewInfo;

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  VARNEL_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
 public:
  TcxCustomTextEditViewData(TcxCustomEditProperties* AProperties,
                            TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

  // Set by the owner: hides the value (a grid's empty row).
  bool IsValueHidden = false;

  TcxCustomTextEditProperties* GetProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }
  void PrepareSelection(TcxCustomTextEditViewInfo* AViewInfo);
  static TColor InvertColor(TColor AColor);
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                 TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;

  // overridables introduced here
  virtual bool GetIsEditClass();
  virtual Integer GetMaxLineCount() { return MaxLineCount; }
  virtual bool IsComboBoxStyle() { return false; }
  virtual void PrepareDrawTextFlags(TcxCanvas* ACanvas,
                                    TcxCustomTextEditViewInfo* AViewInfo);
  virtual void DisplayValueToDrawValue(const Variant& AValue,
                                       TcxCustomTextEditViewInfo* AViewInfo);
  virtual Cardinal GetDrawTextFlags();
  virtual TRect GetDrawTextOffset();
  virtual void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                                    TcxCustomTextEditViewInfo* AViewInfo);
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                            TcxCustomEditViewInfo* AViewInfo) override;

  // overrides
  void InitCacheData() override;
  String InternalEditValueToDisplayText(const Variant& AValue) override;
  TSize InternalGetEditContentSize(
      TcxCanvas* ACanvas, const Variant& AEditValue,
      const TcxEditSizeProperties& AEditSizeProperties) override;

 private:
  bool isValueEditorWithValueFormatting_ = false;
};

using TcxTextEditOwnerDrawEvent =
    TClosure<void(TcxCanvas* ACanvas, const TRect& R)>;

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  VARNEL_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomTextEditViewInfo() = default;
  void Assign(TObject* Source) override;

  bool ComboBoxStyle = false;
  TcxTextEditOwnerDrawEvent OnOwnerDraw;
  bool DrawSelectionBar = false;
  Cardinal DrawTextFlags = 0;
  TcxEditEditingStyle EditingStyle = esEdit;
  bool HasPopupWindow = false;
  bool IsEditClass = false;
  bool IsOwnerDrawing = false;
  Integer MaxLineCount = 0;
  Integer SelStart = 0;
  Integer SelLength = 0;
  TColor SelTextColor = clDefault;
  TColor SelBackgroundColor = clDefault;
  String Text;
  TRect TextRect;
  // The layout of the text, made once per calculation.
  struct TTextOutData {
    bool Initialized = false;
    bool ForceEndEllipsis = false;
    TRect TextRect;
    TcxTextParams TextParams;
    TcxTextRows TextRows;
    Integer RowCount = 0;
    Integer SelStart = 0;
    Integer SelLength = 0;
    TColor SelBackgroundColor = clDefault;
    TColor SelTextColor = clDefault;
  } TextOutData;

  virtual void DrawText(TcxCanvas* ACanvas);
  virtual Integer GetTextBaseLine();
  void InternalPaint(TcxCanvas* ACanvas) override;
  void Offset(Integer DX, Integer DY) override;
  bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                    bool& AIsMultiLine, TRect& ATextRect) override;
};

void DrawTextEdit(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);
void DrawEditText(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);
void InternalTextOut(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo,
                     const String& AText, TRect& R, Cardinal AFlags,
                     Integer ASelStart, Integer ASelLength,
                     TColor ASelBackgroundColor, TColor ASelTextColor,
                     Integer AMaxLineCount);
TSize GetTextEditContentSize(TcxCanvas* ACanvas,
                             TcxCustomTextEditViewData* AViewData,
                             const String& AText, Cardinal AFlags,
                             const TcxEditSizeProperties& ASizeProperties,
                             Integer ALineCount = 0,
                             bool AAddWidthCorrection = true);
TRect GetTextEditDrawTextOffset(TcxCustomTextEditViewData* AViewData);
TRect GetTextEditDrawTextOffset(TAlignment AAlignment, bool AIsInplace);

// ---------------------------------------------------------------------------
// The text editor control
// ---------------------------------------------------------------------------

class TcxCustomTextEdit : public TcxCustomEdit,
                          public IcxFormatControllerListener {
  VARNEL_CLASS(TcxCustomTextEdit, TcxCustomEdit)
 public:
  explicit TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomTextEdit() override;
  void BeforeDestruction() override;
  Integer QueryInterface(const TGUID& iid, void** obj) override;
  Integer _AddRef() override { return -1; }
  Integer _Release() override { return -1; }
  void Loaded() override;

  // properties
  TcxCustomTextEditProperties* ActiveProperties() {
    return static_cast<TcxCustomTextEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomTextEditProperties* Properties() const {
    return static_cast<TcxCustomTextEditProperties*>(
        TcxCustomEdit::Properties());
  }
  TcxCustomTextEditViewInfo* ViewInfo() const {
    return static_cast<TcxCustomTextEditViewInfo*>(TcxContainer::ViewInfo());
  }
  bool BeepOnEnter() const { return beepOnEnter_; }
  void SetBeepOnEnter(bool Value) { beepOnEnter_ = Value; }
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  String SelText();
  void SetSelection(Integer AStart, Integer ALength) {
    SetSelStart(AStart);
    SetSelLength(ALength);
  }
  Integer CursorPos();
  String EditingText() { return InternalGetText(); }
  void SetEditingTextValue(const String& Value) { SetEditingText(Value); }
  Integer ItemIndex() { return GetItemIndex(); }
  TObject* ItemObject() { return GetItemObject(); }
  IcxInnerTextEdit* InnerTextEdit() const { return innerTextEdit_; }
  TcxCustomInnerTextEdit* InnerEditControl() const { return innerEdit_; }
  IcxTextEditLookupData* ILookupData() const { return lookupData_.get(); }
  TcxCustomTextEditLookupData* LookupData() const { return lookupData_.get(); }
  bool FindSelection() const { return findSelection_; }
  void SetFindSelection(bool Value);
  void SetFindSelectionFreeze(bool Value) { findSelectionFreeze_ = Value; }
  void SetHideInnerEdit(bool Value);
  void SetShowInnerEdit(bool Value);
  bool Testing() const { return testing_; }
  void SetTesting(bool Value);
  bool IsLookupNavigation() const { return lookupNavigation_; }
  bool IsPendingEsc() const { return pendingEsc_; }
  void SetPendingEsc(bool Value) { pendingEsc_ = Value; }
  bool IsLookupDataTextChangedLocked() const { return lookupTextLocked_; }
  void LockLookupDataTextChanged() { lookupTextLocked_ = true; }
  void UnlockLookupDataTextChanged() { lookupTextLocked_ = false; }
  bool IsSynchronizingDisplay() const { return synchronizingDisplay_; }

  // overridables introduced here
  void FormatChanged() override;
  virtual void AdjustInnerEdit();
  virtual bool CanChangeSelText(const String& AValue, String& ANewText,
                                Integer& ANewSelStart);
  virtual void CheckEditValue();
  virtual void CheckEditorValueBounds() {}
  virtual void DoOnNewLookupDisplayText(const String& AText);
  virtual Integer GetInnerEditHeight();
  virtual Integer GetItemIndex();
  virtual TObject* GetItemObject();
  virtual bool GetScrollLookupDataList(TcxEditScrollCause ACause) {
    return (void)ACause, false;
  }
  virtual void HandleSelectItem(TObject* Sender);
  virtual String InternalGetText() { return GetDisplayValue(); }
  virtual bool InternalSetText(const String& AText) {
    return SetDisplayText(AText);
  }
  virtual Variant ItemIndexToLookupKey(Integer AItemIndex) {
    return Variant(AItemIndex);
  }
  virtual void LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue);
  virtual Integer LookupKeyToItemIndex(const Variant& AKey);
  virtual bool NeedResetInvalidTextWhenPropertiesChanged();
  virtual void ResetOnNewDisplayValue();
  virtual void SelChange(TObject*) {}
  virtual void SetEditingText(const String& AText);
  virtual void SetItemIndex(Integer Value);
  virtual void SetItemObject(TObject* Value);
  virtual void SetSelText(const String& AValue);
  virtual void UpdateDisplayValue();
  virtual void ClearSelection();
  virtual void Undo() { Reset(); }
  virtual bool SetDisplayText(const String& AText);
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  virtual void AdjustInnerEditPosition();
  void FillSizeProperties(TcxEditSizeProperties& AProperties) override;
  virtual Integer GetTextBaseLine();
  virtual bool HasTextBaseLine() { return true; }

  // overrides of the editor
  TClass GetPropertiesClass() override {
    return TcxCustomTextEditProperties::StaticClass();
  }
  String GetDisplayValue() override;
  bool IsEditClass() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue,
                        bool) override {
    AEditValue = ADisplayValue;
  }
  void PropertiesChanged(TObject* Sender) override;
  void SelectAll() override;
  void SetInternalDisplayValue(const Variant& Value) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void UpdateDrawValue() override;
  void ChangeHandler(TObject* Sender) override;
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button,
                        TShiftState Shift, bool AIsMouseEvent) override;
  void SetSize() override;
  void AdjustInnerControl() override {}
  TcxContainerInnerControlBounds GetInnerControlBounds(
      const TRect& AInnerControlsRegion, TControl* AInnerControl) override;
  void SafeSelectionFocusInnerControl() override;
  bool TabsNeeded() override;
  String GetText() override;
  Integer GetTextLen() override;
  // The Windows edit is part of the editor, never a stored child.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  // The part of the container that the inner edit reads.
  bool InnerEditKeyPressConsumesEnterEsc(char Key);
  void InnerEditFocusChanged() { FocusChanged(); }
  void LockInnerEditRepainting() override;
  void UnlockInnerEditRepainting() override;

 protected:
  void CreateTextEditParts();
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  bool CanKeyPressModifyEdit(char Key) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoExit() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                    TPoint MousePos) override;
  void KeyPress(char& Key) override;
  bool InternalDoEditing() override {
    return ActiveProperties()->GetEditingStyle() != esNoEdit;
  }
  void InternalGetEditingValue(Variant& Value) override {
    Value = Variant(InternalGetText());
  }
  void InternalSetDisplayValue(const Variant& Value) override;
  void InternalValidateDisplayValue(const Variant& ADisplayValue) override;
  bool IsValidChar(char C) override;
  bool WantNavigationKeys() override { return true; }
  void Dispatch(TMessage& Message) override;
  void SetTextBuf(const String& Value) override;
  // The class of the Windows edit; descendants type in their own.
  virtual TClass GetInnerEditClass() {
    return TcxCustomInnerTextEdit::StaticClass();
  }
  void DoClick() {
    if (!IsClickLocked()) Click();
  }
  // The view info from the editor's view data, with the text to draw.
  void CalculateTextViewInfo(const TPoint& P, TcxMouseButton Button,
                             TShiftState Shift, bool AIsMouseEvent);
  // The lookup navigation of the keys and the wheel.
  void LookupGo(TcxEditLookupDataGoDirection ADirection,
                bool ACircular = false);
  // One incremental search step of the typed text X.
  void IncrementalSearch(String X);
  virtual void LockedInnerEditWindowProc(TMessage& Message);

 private:
  void WMGetText(TMessage& Message);
  void WMSetText(TMessage& Message);
  void SeparateDigitGroups();
  TcxEditEditingStyle EditingStyle() {
    return ActiveProperties()->GetEditingStyle();
  }
  void PrepareFindSelectionColors();
  // No selection shows: the text cannot be edited, or a fixed list has no
  // find selection.
  bool IsSelectionHidden();

  bool beepOnEnter_ = true;
  bool findSelectionFreeze_ = false;
  bool findSelection_ = false;
  bool hideInnerEdit_ = false;
  bool inSetText_ = false;
  bool synchronizingDisplay_ = false;
  bool lookupNavigation_ = false;
  bool showInnerEdit_ = false;
  bool testing_ = false;
  String keptText_;
  bool adjusting_ = false;
  bool pendingEsc_ = false;
  TObjectPtr<TcxCustomTextEditLookupData> lookupData_;
  bool lookupTextLocked_ = false;
  bool listening_ = false;
  TcxCustomInnerTextEdit* innerEdit_ = nullptr;  // owned as a child
  IcxInnerTextEdit* innerTextEdit_ = nullptr;
  WNDPROC savedInnerWndProc_ = nullptr;
  TWndMethod savedInnerWindowProc_;
  bool innerRepaintLocked_ = false;
  TRect contentOffset_;
};

class TcxTextEdit : public TcxCustomTextEdit {
  VARNEL_CLASS(TcxTextEdit, TcxCustomTextEdit)
 public:
  explicit TcxTextEdit(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxTextEditProperties::StaticClass();
  }
  TcxTextEditProperties* Properties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxTextEditProperties* Value) {
    TcxCustomEdit::SetProperties(Value);
  }
  TcxTextEditProperties* ActiveProperties() {
    return static_cast<TcxTextEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
};

// ---------------------------------------------------------------------------
// Unit routines
// ---------------------------------------------------------------------------

void CheckCharsRegister(String& AText, TEditCharCase ACharCase);
void RemoveThousandSeparator(String& AText);
void RemoveExponentialPart(String& AText, String& AExponentialPart);
void InsertThousandSeparator(String& AText);
