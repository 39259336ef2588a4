// The mask editor: the text editor plus an input mask, either fixed
// positions or a regular expression. Every key, mouse action, paste and
// text assignment goes through the edit mode of the mask's kind
// (cxMaskEditModes); an editor whose mask is empty or blank is a plain text
// editor. Windows only.
#pragma once

#include "TypInfo.h"
#include "cxMaskEditModes.h"
#include "cxTextEdit.h"

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties,
                                    public IcxMaskEditModeProperties {
  VARNEL_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
 public:
  // construction
  explicit TcxCustomMaskEditProperties(TPersistent* AOwner = nullptr);
  ~TcxCustomMaskEditProperties() override;
  void Assign(TPersistent* Source) override;

  // properties
  bool AlwaysShowBlanksAndLiterals() const {
    return alwaysShowBlanksAndLiterals_;
  }
  void SetAlwaysShowBlanksAndLiterals(bool Value);
  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool Value);
  String EditMask() { return GetEditMask(); }
  // Compiles Value first: a regular expression that does not compile
  // raises EcxMaskEditError and the old mask stays.
  void SetEditMask(const String& Value);
  bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
  void SetIgnoreMaskBlank(bool Value) { ignoreMaskBlank_ = Value; }
  TcxEditMaskKind MaskKind() const { return maskKind_; }
  void SetMaskKind(TcxEditMaskKind Value);
  // The mask as stored, without the data source's default.
  const String& StoredEditMask() const { return editMask_; }

  // methods
  // The stored mask, or for an empty standard mask the data source's.
  String GetEditMask();
  bool GetIsMasked() { return !EmptyMask(GetEditMask()); }
  static bool EmptyMask(const String& AMask) {
    return cxMaskEditEmptyMask(AMask);
  }
  static bool SpaceToken(char AChar) { return cxMaskEditSpaceToken(AChar); }
  // The mode's empty text, cached by the editor after each compilation.
  const String& GetEmptyString() const { return emptyString_; }
  void SetEmptyString(const String& Value) { emptyString_ = Value; }
  // A mode of the current kind without editor, compiled with the mask
  // (CreateMode; null for an empty mask) or not (CreateMode1).
  TObjectPtr<TcxMaskEditCustomMode> CreateMode();
  TObjectPtr<TcxMaskEditCustomMode> CreateMode1();
  // Whether the cached mode is of the current kind / from the current mask.
  bool TestTempMaskKind();
  bool TestTempEditMask();
  // The editor clears the stored mask when the kind changes between the
  // standard and the regular-expression masks.
  void ClearStoredEditMask() { editMask_.clear(); }
  void RestoreStoredEditMask(const String& AValue) { editMask_ = AValue; }

  // overridables introduced here
  virtual TcxMaskEditModeClass GetModeClass(TcxEditMaskKind AMaskKind);

  // overrides
  void Changed() override;
  void SetCharCase(TEditCharCase Value) override;
  TcxCustomEditClass GetContainerClass() override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() override;
  bool UseLookupData() override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void MaxLengthChanged() override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue,
                           bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText,
                            bool& AError, TObject* AEdit) override;
  TcxMaskEditModeSettings GetModeSettings() override;

 private:
  bool alwaysShowBlanksAndLiterals_ = false;
  bool caseInsensitive_ = true;
  String editMask_;
  String emptyString_;
  bool ignoreMaskBlank_ = false;
  TcxEditMaskKind maskKind_ = emkStandard;
  bool maxLengthSetting_ = false;
  TObjectPtr<TcxMaskEditCustomMode> tempMode_;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  VARNEL_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
 public:
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

// ---------------------------------------------------------------------------
// The mask editor control
// ---------------------------------------------------------------------------

class TcxCustomMaskEdit : public TcxCustomTextEdit, public IcxMaskEditModeEdit {
  VARNEL_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)
 public:
  // construction
  explicit TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomMaskEdit() override;
  void Loaded() override;

  // properties
  TcxCustomMaskEditProperties* ActiveProperties() {
    return static_cast<TcxCustomMaskEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  TcxCustomMaskEditProperties* Properties() const {
    return static_cast<TcxCustomMaskEditProperties*>(
        TcxCustomEdit::Properties());
  }
  void SetProperties(TcxCustomMaskEditProperties* Value) {
    Properties()->Assign(Value);
  }
  TcxMaskEditCustomMode* Mode() const { return mode_.get(); }
  bool IsMasked() { return ActiveProperties()->GetIsMasked(); }

  // methods
  void DirectSetSelStart(Integer AValue) override;
  void DirectSetSelLength(Integer AValue) override;
  void SendMyKeyDown(Word AKey, TShiftState AShift) override;
  void SendMyKeyPress(char AKey) override;
  // The inner control's text.
  String GetEditText();
  void SetEditText(const String& AText);
  bool IsCursorBegin() { return mode_->IsCursorBegin(); }
  bool IsCursorEnd() { return mode_->IsCursorEnd(); }

  // overridables introduced here
  virtual bool CanSynchronizeModeText() { return true; }
  // APosition is 1-based; the date and time editors refuse by position.
  bool IsCharValidForPos(char& AChar, Integer APosition) override;
  virtual void UpdateTextFormatting();

  // overrides
  TClass GetPropertiesClass() override {
    return TcxCustomMaskEditProperties::StaticClass();
  }
  void PropertiesChanged(TObject* Sender) override;
  void ChangeHandler(TObject* Sender) override;
  String InternalGetText() override;
  bool InternalSetText(const String& AText) override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue,
                        bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void SelChange(TObject* Sender) override;
  void SetSelText(const String& AValue) override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;

 protected:
  // Descendants whose properties class differs call this from their own
  // constructor: the properties, the text editor's parts for them and a
  // mode of their mask kind.
  void CreateMaskEditParts();
  void InternalSetDisplayValue(const Variant& Value) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X,
                 Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void DoEnter() override;
  void DoFocusChanged() override;
  void DblClick() override;
  // The current text as the properties lay it out for this editor.
  String InternalGetEmptyString();
  void InternalSetValue(const String& AText);

 private:
  // IcxMaskEditModeEdit
  IcxMaskEditModeProperties* GetModeProperties() override {
    return ActiveProperties();
  }
  bool IsModePropertiesLocked() override;
  bool ModeHandleAllocated() override { return HandleAllocated(); }
  bool ModeIsMasked() override { return IsMasked(); }
  String GetModeText() override { return GetEditText(); }
  Integer GetModeSelStart() override { return SelStart(); }
  Integer GetModeSelLength() override { return SelLength(); }
  Integer GetModeCaretPos() override { return CursorPos(); }
  bool GetModeShiftFlag() override { return shiftFlag_; }
  void SetModeShiftFlag(bool AValue) override { shiftFlag_ = AValue; }
  void ModeBeep() override;
  void SetInternalDisplayText(const String& AText) override {
    SetInternalDisplayValue(Variant(AText));
  }
  void SetInternalEditText(const String& AText) override {
    SetInternalEditValue(Variant(AText));
  }
  String GetBindingDisplayText() override {
    return VarToStr(DataBinding()->GetDisplayValue());
  }
  void SetBindingDisplayText(const String& AText) override;
  void UpdateNotConnectedDisplayValue() override {
    DataBinding()->UpdateNotConnectedDBEditDisplayValue();
  }
  bool ModeModifiedAfterEnter() override { return ModifiedAfterEnter(); }
  String GetModeDisplayText() override { return GetDisplayValue(); }
  String PrepareModeDisplayText() override;

  void CreateMode();
  void ReplaceSelection(const String& AValue);
  // The text in the form the inner edit shows it: laid out with blanks and
  // literals while focused, for other modes or when always shown.
  String DisplayTextOf(const String& AText);

  TObjectPtr<TcxMaskEditCustomMode> mode_;
  bool directSelection_ = false;
  bool inPropertiesChanged_ = false;
  bool ownKey_ = false;
  bool shiftFlag_ = false;
  String maskedText_;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  VARNEL_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
 public:
  explicit TcxMaskEdit(TComponent* AOwner, bool AIsInplace = false);
  TClass GetPropertiesClass() override {
    return TcxMaskEditProperties::StaticClass();
  }
  TcxMaskEditProperties* Properties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomEdit::Properties());
  }
  TcxMaskEditProperties* ActiveProperties() {
    return static_cast<TcxMaskEditProperties*>(
        TcxCustomEdit::ActiveProperties());
  }
  void SetProperties(TcxMaskEditProperties* Value) {
    Properties()->Assign(Value);
  }
};

// ---------------------------------------------------------------------------
// Streaming
// ---------------------------------------------------------------------------

// The published settings of a mask editor's properties class P: the text
// editor's and the mask's, the kind before the mask that is compiled for it.
template <class P>
void cxPublishMaskEditProperties() {
  TPublished<P>()
      .Property("AlwaysShowBlanksAndLiterals", &P::AlwaysShowBlanksAndLiterals,
                &P::SetAlwaysShowBlanksAndLiterals, false)
      .Property("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive,
                true)
      .Property("CharCase", &P::CharCase, &P::SetCharCase, ecNormal)
      .Property("EchoMode", &P::EchoMode, &P::SetEchoMode, eemNormal)
      .Property("HideSelection", &P::HideSelection, &P::SetHideSelection, true)
      .Property("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank,
                false)
      .Property("IncrementalSearch", &P::IncrementalSearch,
                &P::SetIncrementalSearch, true)
      .Property("LookupItems", &P::GetLookupItems, &P::SetLookupItems)
      .Property("LookupItemsSorted", &P::LookupItemsSorted,
                &P::SetLookupItemsSorted, false)
      .Property("MaskKind", &P::MaskKind, &P::SetMaskKind, emkStandard)
      .Property("EditMask", &P::StoredEditMask, &P::SetEditMask)
      .Property("MaxLength", &P::MaxLength, &P::SetMaxLength)
      .Stored(&P::IsMaxLengthStored)
      .Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert, false)
      .Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar, '\0');
}

// The published face of a mask editor class E.
template <class E>
void cxPublishMaskEdit() {
  TPublished<E>()
      .Property("Properties", &E::Properties, &E::SetProperties)
      .Property("BeepOnEnter", &E::BeepOnEnter, &E::SetBeepOnEnter, true)
      .Property("Text", &TControl::Text, &TControl::SetText);
  RegisterClass(E::StaticClass());
}
