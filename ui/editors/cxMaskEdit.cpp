#include "WinApi.h"
//
#include <algorithm>

#include "Clipbrd.h"
#include "ScopeGuard.h"
#include "cxFilterControlUtils.h"
#include "cxMaskEdit.h"

// ---------------------------------------------------------------------------
// TcxCustomMaskEditProperties
// ---------------------------------------------------------------------------

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

void TcxCustomMaskEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMaskEditProperties*>(Source);
  if (!source) {
    TcxCustomTextEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomTextEditProperties::Assign(Source);
  SetMaskKind(source->MaskKind());
  SetEditMask(source->GetEditMask());
  SetCaseInsensitive(source->CaseInsensitive());
  SetIgnoreMaskBlank(source->IgnoreMaskBlank());
  SetAlwaysShowBlanksAndLiterals(source->AlwaysShowBlanksAndLiterals());
}

String TcxCustomMaskEditProperties::GetEditMask() {
  if (maskKind_ == emkStandard && editMask_.empty() && IDefaultValuesProvider())
    return IDefaultValuesProvider()->DefaultEditMask();
  return editMask_;
}

void TcxCustomMaskEditProperties::SetEditMask(const String& Value) {
  if (Value == GetEditMask()) {
    editMask_ = Value;
    return;
  }
  // A pattern that does not compile raises here, before anything changed.
  CreateMode1()->Compile(Value);
  editMask_ = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind Value) {
  if (maskKind_ == Value) return;
  maskKind_ = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value) {
  if (alwaysShowBlanksAndLiterals_ == Value) return;
  alwaysShowBlanksAndLiterals_ = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  caseInsensitive_ = CharCase() != ecNormal || Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase Value) {
  if (Value == ecUpperCase || Value == ecLowerCase) caseInsensitive_ = true;
  TcxCustomTextEditProperties::SetCharCase(Value);
}

TObjectPtr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode1() {
  return GetModeClass(maskKind_).Create(nullptr, this);
}

TObjectPtr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode() {
  if (!GetIsMasked()) return nullptr;
  auto mode = CreateMode1();
  mode->Compile(GetEditMask());
  return mode;
}

bool TcxCustomMaskEditProperties::TestTempMaskKind() {
  return tempMode_ && tempMode_->ClassType() == GetModeClass(maskKind_).Class;
}

bool TcxCustomMaskEditProperties::TestTempEditMask() {
  return tempMode_ && tempMode_->EditMask() == GetEditMask();
}

TcxMaskEditModeClass TcxCustomMaskEditProperties::GetModeClass(
    TcxEditMaskKind AMaskKind) {
  return cxMaskEditModeClassOf(AMaskKind);
}

void TcxCustomMaskEditProperties::Changed() {
  tempMode_.reset();
  TcxCustomTextEditProperties::Changed();
}

TcxCustomEditClass TcxCustomMaskEditProperties::GetContainerClass() {
  return cxEditClass<TcxMaskEdit>();
}

TcxEditDisplayFormatOptions
TcxCustomMaskEditProperties::GetDisplayFormatOptions() {
  if (GetIsMasked()) return {};
  return {dfoSupports};
}

bool TcxCustomMaskEditProperties::UseLookupData() {
  return !GetIsMasked() && TcxCustomTextEditProperties::UseLookupData();
}

bool TcxCustomMaskEditProperties::IsEditValueValid(Variant& AEditValue,
                                                   bool AEditFocused) {
  if (GetIsMasked()) return true;
  return TcxCustomTextEditProperties::IsEditValueValid(AEditValue,
                                                       AEditFocused);
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (!GetIsMasked()) {
    TcxCustomTextEditProperties::MaxLengthChanged();
    return;
  }
  if (maxLengthSetting_) return;
  TRestoreOnExit guard(maxLengthSetting_, true);
  auto update = UpdateScope();
  SetMaxLength(0);
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue,
                                                      Variant& ADisplayValue,
                                                      bool AEditFocused) {
  IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
  if (!GetIsMasked() ||
      (!AEditFocused && provider && provider->IsDisplayFormatDefined(true))) {
    TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, ADisplayValue,
                                                     AEditFocused);
    return;
  }
  if (!TestTempMaskKind() || !TestTempEditMask()) {
    // A mask kept from another kind need not compile for this one (an
    // editor clears it, properties alone do not): such a value shows as
    // plain text rather than failing the paint.
    try {
      tempMode_ = CreateMode();
    } catch (const EcxMaskEditError&) {
      TcxCustomTextEditProperties::PrepareDisplayValue(
          AEditValue, ADisplayValue, AEditFocused);
      return;
    }
  }
  String text = VarToStr(AEditValue);
  if (AEditFocused || maskKind_ != emkStandard ||
      alwaysShowBlanksAndLiterals_) {
    text = tempMode_->GetFormattedText(text, false);
  } else {
    text = tempMode_->GetUpdatedText(text, false);
  }
  ADisplayValue = Variant(text);
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(Variant& ADisplayValue,
                                                       String& AErrorText,
                                                       bool& AError,
                                                       TObject* AEdit) {
  auto* edit = dynamic_cast<TcxCustomMaskEdit*>(AEdit);
  if (!AError && edit && edit->IsMasked() &&
      !edit->Mode()->IsFullValidText(VarToStr(ADisplayValue))) {
    AError = true;
    AErrorText = cxGetResourceString(scxMaskEditInvalidEditValue);
  }
  TcxCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText,
                                                    AError, AEdit);
}

TcxMaskEditModeSettings TcxCustomMaskEditProperties::GetModeSettings() {
  TcxMaskEditModeSettings settings;
  settings.BeepOnError = BeepOnError();
  settings.CaseInsensitive = caseInsensitive_;
  settings.CharCase = static_cast<Byte>(CharCase());
  settings.EchoMode = static_cast<Byte>(EchoMode());
  settings.IgnoreMaskBlank = ignoreMaskBlank_;
  return settings;
}

// ---------------------------------------------------------------------------
// TcxCustomMaskEdit
// ---------------------------------------------------------------------------

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace) {
  CreateMaskEditParts();
}

void TcxCustomMaskEdit::CreateMaskEditParts() {
  mode_.reset();
  CreateProperties();
  CreateTextEditParts();
  CreateMode();
}

TcxCustomMaskEdit::~TcxCustomMaskEdit() = default;

TcxMaskEdit::TcxMaskEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomMaskEdit(AOwner, AIsInplace) {
  CreateMaskEditParts();
}

void TcxCustomMaskEdit::CreateMode() {
  TcxCustomMaskEditProperties* properties = ActiveProperties();
  mode_ =
      properties->GetModeClass(properties->MaskKind()).Create(this, properties);
  shiftFlag_ = false;
  properties->SetEmptyString(InternalGetEmptyString());
}

String TcxCustomMaskEdit::InternalGetEmptyString() {
  return IsMasked() ? mode_->GetEmptyString() : String();
}

void TcxCustomMaskEdit::Loaded() {
  TcxCustomTextEdit::Loaded();
  if (!IsMasked()) return;
  LockChangeEvents(true);
  auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
  UpdateTextFormatting();
}

bool TcxCustomMaskEdit::IsModePropertiesLocked() {
  // The editor's own lock around PropertiesChanged does not count: the
  // mode works on the editor there.
  return !inPropertiesChanged_ && ActiveProperties()->ChangedLocked();
}

void TcxCustomMaskEdit::PropertiesChanged(TObject* Sender) {
  if (!mode_) {
    TcxCustomTextEdit::PropertiesChanged(Sender);
    return;
  }
  TcxCustomMaskEditProperties* properties = ActiveProperties();
  properties->LockUpdate(true);
  TRestoreOnExit inside(inPropertiesChanged_, true);
  auto unlock = TScopeGuard([properties] { properties->LockUpdate(false); });

  const String mask = properties->GetEditMask();
  const bool maskChanged =
      mode_->EditMask() != mask || properties->IsFormatChanging();
  const bool kindChanged = mode_->GetMaskKind() != properties->MaskKind();
  const bool charCaseChanged =
      mode_->RecordedCharCase() != static_cast<Byte>(properties->CharCase());
  bool maskCleared = false;

  if (kindChanged) {
    TcxEditMaskKind oldKind = mode_->GetMaskKind();
    mode_ = properties->GetModeClass(properties->MaskKind())
                .Create(this, properties);
    if ((oldKind == emkStandard) != (properties->MaskKind() == emkStandard)) {
      properties->ClearStoredEditMask();
      maskCleared = true;
    }
    mode_->Compile(properties->GetEditMask());
    if (!cxMaskEditEmptyMask(properties->GetEditMask()))
      mode_->SynchronizeEditValue();
    properties->SetEmptyString(InternalGetEmptyString());
  }
  if (maskChanged) {
    // Clearing the mask leaves a maximum length the text editor had.
    if (!cxMaskEditEmptyMask(mask) && properties->MaxLength() != 0)
      properties->SetMaxLength(0);
    mode_->Compile(mask);
    // A kind and a mask assigned in one update both take effect.
    if (maskCleared) properties->RestoreStoredEditMask(mask);
    if (!cxMaskEditEmptyMask(mask)) {
      mode_->SynchronizeEditValue();
    } else if (mode_->GetMaskKind() == emkStandard && HandleAllocated() &&
               SelLength() == 1) {
      DirectSetSelLength(0);
    }
    properties->SetEmptyString(InternalGetEmptyString());
  }
  if (charCaseChanged) {
    if (properties->CharCase() == ecNormal) {
      if (InnerTextEdit()) InnerTextEdit()->SetCharCase(ecNormal);
      mode_->SynchronizeEditValue();
    }
    mode_->SetRecordedCharCase(static_cast<Byte>(properties->CharCase()));
  }
  const bool echoChanged =
      mode_->RecordedEchoMode() != static_cast<Byte>(properties->EchoMode()) &&
      HandleAllocated();
  Integer selStart = echoChanged ? SelStart() : 0;
  Integer selLength = echoChanged ? SelLength() : 0;
  mode_->SetRecordedEchoMode(static_cast<Byte>(properties->EchoMode()));

  if (IsMasked() && (AreChangeEventsLocked() || !VarIsNull(EditValue())))
    mode_->UpdateEditValue();
  unlock.Dismiss();
  properties->LockUpdate(false);
  if (auto* regExpr = dynamic_cast<TcxMaskEditRegExprMode*>(mode_.get()))
    regExpr->SetRegExprCaseInsensitive();
  TcxCustomTextEdit::PropertiesChanged(Sender);
  if (echoChanged) {
    DirectSetSelStart(selStart);
    DirectSetSelLength(selLength);
  }
  if (kindChanged || maskChanged || charCaseChanged)
    maskedText_ = mode_->GetUpdatedText(GetEditText(), true);
}

// ---------------------------------------------------------------------------
// Text flow
// ---------------------------------------------------------------------------

String TcxCustomMaskEdit::GetEditText() {
  return InnerTextEdit() ? VarToStr(InnerTextEdit()->GetEditValue()) : String();
}

String TcxCustomMaskEdit::DisplayTextOf(const String& AText) {
  if (IsFocusedEdit() || mode_->GetMaskKind() != emkStandard ||
      ActiveProperties()->AlwaysShowBlanksAndLiterals())
    return mode_->GetFormattedText(AText, true);
  return mode_->GetUpdatedText(AText, true);
}

void TcxCustomMaskEdit::SetEditText(const String& AText) {
  if (InnerTextEdit())
    InnerTextEdit()->SetEditValue(Variant(DisplayTextOf(AText)));
  InternalSetEditValue(Variant(maskedText_), false);
}

void TcxCustomMaskEdit::ChangeHandler(TObject* Sender) {
  if (mode_ && IsMasked())
    maskedText_ = mode_->GetUpdatedText(GetEditText(), true);
  TcxCustomTextEdit::ChangeHandler(Sender);
}

String TcxCustomMaskEdit::InternalGetText() {
  if (mode_ && IsMasked()) return maskedText_;
  return TcxCustomTextEdit::InternalGetText();
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& Value) {
  if (!mode_ || !IsMasked() || ComponentState().Contains(csLoading)) {
    TcxCustomTextEdit::InternalSetDisplayValue(Value);
    return;
  }
  TcxCustomTextEdit::InternalSetDisplayValue(
      Variant(DisplayTextOf(VarToStr(Value))));
  InternalSetValue(GetEditText());
}

void TcxCustomMaskEdit::InternalSetValue(const String& AText) {
  if (CanSynchronizeModeText()) mode_->SetText(AText);
}

bool TcxCustomMaskEdit::InternalSetText(const String& AText) {
  if (!mode_ || !IsMasked()) return TcxCustomTextEdit::InternalSetText(AText);
  SetInternalEditValue(Variant(AText));
  InternalSetEditValue(Variant(maskedText_), false);
  return true;
}

void TcxCustomMaskEdit::PrepareEditValue(const Variant& ADisplayValue,
                                         Variant& AEditValue,
                                         bool AEditFocused) {
  if (!mode_ || !IsMasked()) {
    TcxCustomTextEdit::PrepareEditValue(ADisplayValue, AEditValue,
                                        AEditFocused);
    return;
  }
  auto* standard = dynamic_cast<TcxMaskEditStandardMode*>(mode_.get());
  bool unsavedLiterals = standard &&
                         !standard->Mask().SaveLiteralCharacters() &&
                         ActiveProperties()->AlwaysShowBlanksAndLiterals();
  if (AEditFocused || !standard || unsavedLiterals) {
    AEditValue = Variant(mode_->GetUpdatedText(VarToStr(ADisplayValue), true));
  } else {
    TcxCustomTextEdit::PrepareEditValue(ADisplayValue, AEditValue,
                                        AEditFocused);
  }
}

void TcxCustomMaskEdit::SynchronizeDisplayValue() {
  TcxCustomTextEdit::SynchronizeDisplayValue();
  if (mode_ && IsMasked()) InternalSetValue(GetEditText());
}

void TcxCustomMaskEdit::UpdateTextFormatting() {
  String shown = DisplayTextOf(maskedText_);
  if (shown == GetEditText()) return;
  SetInternalDisplayValue(Variant(shown));
  InternalSetValue(GetEditText());
}

String TcxCustomMaskEdit::PrepareModeDisplayText() {
  Variant displayValue;
  ActiveProperties()->PrepareDisplayValue(EditValue(), displayValue, Focused());
  return VarToStr(displayValue);
}

void TcxCustomMaskEdit::SetBindingDisplayText(const String& AText) {
  SetInternalDisplayValue(Variant(AText));
}

void TcxCustomMaskEdit::ModeBeep() { MessageBeep(0); }

bool TcxCustomMaskEdit::IsCharValidForPos(char&, Integer) { return true; }

// ---------------------------------------------------------------------------
// Selection and synthesized keys
// ---------------------------------------------------------------------------

void TcxCustomMaskEdit::DirectSetSelStart(Integer AValue) {
  TRestoreOnExit direct(directSelection_, true);
  SetSelStart(AValue);
}

void TcxCustomMaskEdit::DirectSetSelLength(Integer AValue) {
  TRestoreOnExit direct(directSelection_, true);
  SetSelLength(AValue);
}

void TcxCustomMaskEdit::SelChange(TObject* Sender) {
  TcxCustomTextEdit::SelChange(Sender);
  if (!directSelection_ && mode_ && IsMasked()) mode_->LMouseDown();
}

// Sent to the inner edit, whose forwarding to the editor's key handlers
// finds the own-key flag, so that only the edit's default handling acts.
void TcxCustomMaskEdit::SendMyKeyDown(Word AKey, TShiftState AShift) {
  if (!InnerEditControl() || !InnerEditControl()->HandleAllocated()) return;
  TRestoreOnExit own(ownKey_, true);
  SendKeyDown(InnerEditControl(), AKey, AShift);
}

void TcxCustomMaskEdit::SendMyKeyPress(char AKey) {
  if (!InnerEditControl() || !InnerEditControl()->HandleAllocated()) return;
  TRestoreOnExit own(ownKey_, true);
  SendKeyPress(InnerEditControl(), AKey);
}

// ---------------------------------------------------------------------------
// Keyboard and mouse
// ---------------------------------------------------------------------------

void TcxCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!ownKey_) TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMaskEdit::KeyPress(char& Key) {
  if (!ownKey_) TcxCustomTextEdit::KeyPress(Key);
}

void TcxCustomMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (!ownKey_) TcxCustomTextEdit::KeyUp(Key, Shift);
}

void TcxCustomMaskEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (!mode_ || !IsMasked() || IsSpecialKey(Key, Shift)) {
    TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
    return;
  }
  if (!ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (Key == VK_TAB) {
    TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
    return;
  }
  TcxMaskEditKeyDownContext context;
  context.HasPopupWindow = HasPopupWindow();
  context.AfterKeyDown = TClosure<void(Word&, TShiftState)>::FromFunction(
      [this](Word& AKey, TShiftState AShift) { DoAfterKeyDown(AKey, AShift); });
  cxMaskEditModeKeyDown(mode_.get(), this, Key, Shift, context);
  if (Key != 0) TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char& Key) {
  if (!mode_ || !IsMasked()) {
    TcxCustomTextEdit::DoEditKeyPress(Key);
    return;
  }
  if (Key == '\t' || Key == '\x1B' || !ValidateKeyPress(Key)) {
    Key = 0;
    return;
  }
  if (Key == '\r') return;
  if (Key == '\x03' || Key == '\x16' || Key == '\x18') {
    TcxCustomTextEdit::DoEditKeyPress(Key);
    return;
  }
  cxMaskEditModeKeyPress(mode_.get(), Key);
}

void TcxCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift,
                                  Integer X, Integer Y) {
  TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && mode_ && IsMasked()) mode_->LMouseDown();
}

void TcxCustomMaskEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft) && mode_ && IsMasked()) {
    TRestoreOnExit selecting(shiftFlag_, true);
    mode_->LMouseDown();
  }
}

void TcxCustomMaskEdit::DoEnter() {
  TcxCustomTextEdit::DoEnter();
  if (mode_ && IsMasked() && ActiveProperties()->AutoSelect()) mode_->GotoEnd();
}

// The text editor lays the display out on entry, before the editor counts
// as focused: the blanks and literals that only a focused editor shows (and
// their removal on exit) follow here.
void TcxCustomMaskEdit::DoFocusChanged() {
  TcxCustomTextEdit::DoFocusChanged();
  if (mode_ && IsMasked() && HandleAllocated()) UpdateTextFormatting();
}

void TcxCustomMaskEdit::DblClick() {
  TcxCustomTextEdit::DblClick();
  if (mode_ && IsMasked()) mode_->GotoEnd();
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------

void TcxCustomMaskEdit::PasteFromClipboard() {
  if (!mode_ || !IsMasked()) {
    TcxCustomTextEdit::PasteFromClipboard();
    return;
  }
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  SetSelText(Clipboard()->AsText());
}

void TcxCustomMaskEdit::SetSelText(const String& AValue) {
  if (!mode_ || !IsMasked()) {
    TcxCustomTextEdit::SetSelText(AValue);
    return;
  }
  mode_->SetPastedLength(static_cast<Integer>(AValue.size()));
  mode_->PrePasteFromClipboard();
  ReplaceSelection(AValue);
  mode_->AfterPasteFromClipboard();
}

// The text editor replaces the selection in the text the editor reports,
// which without stored literals is shorter than the one shown: a masked
// editor replaces it in the shown text, and the mode lays the result out.
void TcxCustomMaskEdit::ReplaceSelection(const String& AValue) {
  auto userAction = UserActionScope(this, IsFocusedEdit());
  if (IsUserAction() && !DoEditing()) return;
  String text = GetEditText();
  std::size_t start =
      std::min(static_cast<std::size_t>(std::max(SelStart(), 0)), text.size());
  text.replace(start, static_cast<std::size_t>(std::max(SelLength(), 0)),
               AValue);
  InternalSetDisplayValue(Variant(text));
  DirectSetSelStart(static_cast<Integer>(start + AValue.size()));
}

void TcxCustomMaskEdit::CutToClipboard() {
  if (!mode_ || !IsMasked()) {
    TcxCustomTextEdit::CutToClipboard();
    return;
  }
  if (Focused() && !DoEditing()) return;
  CopyToClipboard();
  if (mode_->PressDelete()) SendMyKeyPress(cxMaskEditCharBackSpace);
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

namespace {

// The description is loaded directly: replacing resource strings at run
// time does not reach it.
void MaskEditStartup() {
  RegisterEnum<TcxEditMaskKind>("TcxEditMaskKind",
                                {"emkStandard", "emkRegExpr", "emkRegExprEx"});
  cxPublishMaskEditProperties<TcxMaskEditProperties>();
  cxPublishMaskEdit<TcxMaskEdit>();
  GetRegisteredEditProperties()->Register(TcxMaskEditProperties::StaticClass(),
                                          scxSEditRepositoryMaskItem.Text);
  FilterEditsController()->Register(TcxMaskEditProperties::StaticClass(),
                                    TcxFilterMaskEditHelper::Instance());
}

void MaskEditShutdown() {
  FilterEditsController()->Unregister(TcxMaskEditProperties::StaticClass(),
                                      TcxFilterMaskEditHelper::Instance());
}

}  // namespace

VARNEL_UNIT(cxMaskEdit, ({"cxTextEdit"}), &MaskEditStartup, &MaskEditShutdown);
