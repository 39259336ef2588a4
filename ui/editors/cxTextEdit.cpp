// The text editor control: its Windows edit, text and edit value in step,
// selection, clipboard with the maximum length, keys, lookup completion and
// the text messages.
#include "WinApi.h"
//
#include <algorithm>

#include "Clipbrd.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxContainer.h"
#include "cxEditStyle.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

namespace {

// Characters (a double-byte character counts once) of AText.
Integer CharCount(const String& AText) {
  Integer count = 0;
  for (std::size_t i = 0; i < AText.size(); ++i, ++count)
    if (::IsDBCSLeadByte(static_cast<BYTE>(AText[i])) && i + 1 < AText.size())
      ++i;
  return count;
}

// The byte index where the ACount-th character of AText begins.
Integer ByteIndexOfChar(const String& AText, Integer ACount) {
  std::size_t i = 0;
  for (Integer n = 0; n < ACount && i < AText.size(); ++n, ++i)
    if (::IsDBCSLeadByte(static_cast<BYTE>(AText[i])) && i + 1 < AText.size())
      ++i;
  return static_cast<Integer>(i);
}

// AText without its last character.
String WithoutLastChar(const String& AText) {
  const Integer count = CharCount(AText);
  return count == 0 ? String()
                    : AText.substr(0, ByteIndexOfChar(AText, count - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
}

TcxTextEdit::TcxTextEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace) {
  CreateProperties();
  CreateTextEditParts();
}

void TcxCustomTextEdit::CreateTextEditParts() {
  if (!innerEdit_) {
    auto edit = OwnedCast<TcxCustomInnerTextEdit>(
        GetInnerEditClass()->NewInstance(this));
    // The editor owns it as a component from here on.
    innerEdit_ = edit.release();
    innerTextEdit_ = innerEdit_->Helper();
    innerTextEdit_->SetParent(this);
    innerEdit_->SetColor(clWindow);
    SetInnerControl(innerEdit_);
    innerTextEdit_->SetOnSelChange(
        TNotifyEvent(this, &TcxCustomTextEdit::SelChange));
    if (IsInplace()) {
      // The Windows edit asks for Tab itself when the grid needs it.
      TcxKeys keys = Keys();
      keys.Exclude(kTab);
      SetKeys(keys);
    }
    SetBounds(Left(), Top(), 121, 21);
  }
  if (ActiveProperties()->HasDisplayValue())
    innerTextEdit_->SetOnChange(
        TNotifyEvent(this, &TcxCustomTextEdit::ChangeHandler));
  lookupData_ = ActiveProperties()->CreateLookupData(this);
  if (lookupData_)
    lookupData_->OnSelectItem =
        TNotifyEvent(this, &TcxCustomTextEdit::HandleSelectItem);
  if (!listening_) {
    cxFormatController()->AddListener(this);
    listening_ = true;
  }
  PropertiesChanged(ActiveProperties());
}

void TcxCustomTextEdit::BeforeDestruction() {
  keptText_ = InternalGetText();
  TcxCustomEdit::BeforeDestruction();
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  if (listening_) cxFormatController()->RemoveListener(this);
  if (innerEdit_) {
    // The edit's last messages must not reach an editor half gone.
    innerEdit_->DetachContainer();
    innerEdit_->OnChange = nullptr;
    innerEdit_->OnSelChange = nullptr;
    SetInnerControl(nullptr);
    TcxCustomInnerTextEdit* edit = innerEdit_;
    innerEdit_ = nullptr;
    innerTextEdit_ = nullptr;
    Free(edit);
  }
  lookupData_.reset();
}

void TcxCustomTextEdit::GetChildren(const TGetChildProc& Proc,
                                    TComponent* Root) {
  TcxCustomEdit::GetChildren(
      [this, &Proc](TComponent* AChild) {
        if (AChild != innerEdit_) Proc(AChild);
      },
      Root);
}

Integer TcxCustomTextEdit::QueryInterface(const TGUID& iid, void** obj) {
  if (obj && iid == IcxFormatControllerListener::IID) {
    *obj = static_cast<IcxFormatControllerListener*>(this);
    return S_OK_;
  }
  return TcxCustomEdit::QueryInterface(iid, obj);
}

void TcxCustomTextEdit::Loaded() {
  TcxCustomEdit::Loaded();
  ShortRefreshContainer(false);
}

void TcxCustomTextEdit::FormatChanged() {
  ActiveProperties()->Changed();
  SynchronizeDisplayValue();
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TcxCustomTextEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomTextEditProperties* props = ActiveProperties();
  if (!innerEdit_ || IsDestroying()) {
    TcxCustomEdit::PropertiesChanged(Sender);
    return;
  }
  innerTextEdit_->SetAlignment(props->Alignment()->Horz());
  if (props->UseLookupData() && lookupData_) {
    lookupData_->PropertiesChanged();
    if (!lookupTextLocked_) lookupData_->TextChanged();
  }
  SetImeMode(props->ImeMode());
  SetImeName(props->ImeName());
  innerTextEdit_->SetAutoSelect(props->AutoSelect() && !IsInplace());
  innerTextEdit_->SetCharCase(props->CharCase());
  innerTextEdit_->SetEchoMode(props->EchoMode());
  innerTextEdit_->SetHideSelection(props->HideSelection());
  innerTextEdit_->SetImeMode(props->ImeMode());
  innerTextEdit_->SetImeName(props->ImeName());
  innerTextEdit_->SetMaxLength(props->GetInnerEditMaxLength());
  innerTextEdit_->SetOEMConvert(props->OEMConvert());
  innerTextEdit_->SetPasswordChar(props->PasswordChar());
  innerTextEdit_->SetReadOnly(RealReadOnly());
  CheckEditValue();
  if (!IsPosting()) UpdateDisplayValue();
  UpdateDrawValue();
  TcxCustomEdit::PropertiesChanged(Sender);
  innerEdit_->Invalidate();
}

bool TcxCustomTextEdit::IsEditClass() {
  if (hideInnerEdit_) return false;
  if (showInnerEdit_) return true;
  const TcxEditEditingStyle style = EditingStyle();
  if (style != esEdit && style != esEditList) return false;
  if (!innerEdit_ || IsDestroying() || ComponentState().Contains(csDesigning))
    return false;
  const bool active = IsFocusedEdit() || (innerEdit_->HandleAllocated() &&
                                          ::GetFocus() == innerEdit_->Handle());
  return active || ActiveProperties()->Alignment()->Horz() == taLeftJustify;
}

void TcxCustomTextEdit::SetHideInnerEdit(bool Value) {
  if (hideInnerEdit_ == Value) return;
  hideInnerEdit_ = Value;
  PropertiesChanged(ActiveProperties());
}

void TcxCustomTextEdit::SetShowInnerEdit(bool Value) {
  if (showInnerEdit_ == Value) return;
  showInnerEdit_ = Value;
  PropertiesChanged(ActiveProperties());
}

void TcxCustomTextEdit::SetTesting(bool Value) {
  if (testing_ == Value) return;
  testing_ = Value;
  ShortRefreshContainer(false);
}

bool TcxCustomTextEdit::TabsNeeded() {
  return TcxCustomEdit::TabsNeeded() ||
         ActiveProperties()->InnerEditNeedsTabs();
}

// ---------------------------------------------------------------------------
// Layout and drawing
// ---------------------------------------------------------------------------

void TcxCustomTextEdit::CalculateTextViewInfo(const TPoint& P,
                                              TcxMouseButton Button,
                                              TShiftState Shift,
                                              bool AIsMouseEvent) {
  auto* style = dynamic_cast<TcxCustomEditStyle*>(ActiveStyle());
  auto* viewInfo = ViewInfo();
  if (!style || !viewInfo) return;
  TObjectPtr<TcxCustomEditViewData> data =
      ActiveProperties()->CreateViewData(style, IsInplace());
  auto* textData = dynamic_cast<TcxCustomTextEditViewData*>(data.get());
  data->Edit = this;
  data->Enabled = Enabled();
  data->Focused = IsFocusedEdit();
  data->InnerEdit = innerEdit_;
  data->IsDesigning = ComponentState().Contains(csDesigning);
  data->Calculate(ScreenCanvas(), TRect{0, 0, Width(), Height()}, P, Button,
                  Shift, viewInfo, AIsMouseEvent);
  contentOffset_ = data->ContentOffset;
  if (textData)
    textData->DisplayValueToDrawValue(Variant(InternalGetText()), viewInfo);
  PrepareFindSelectionColors();
}

bool TcxCustomTextEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button,
                                         TShiftState Shift,
                                         bool AIsMouseEvent) {
  if (!HandleAllocated() || IsDestroying()) return false;
  // The container's own step marks the view info calculated; the text
  // editor's view data then fills it.
  TcxCustomEdit::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  CalculateTextViewInfo(P, Button, Shift, AIsMouseEvent);
  SetSize();
  const bool editClass = IsEditClass();
  SetDoubleBuffered(!editClass);
  if (!editClass) ::InvalidateRect(Handle(), nullptr, FALSE);
  return true;
}

void TcxCustomTextEdit::SetSize() {
  TcxCustomEdit::SetSize();
  if (innerEdit_ && !IsDestroying()) AdjustInnerEditPosition();
}

TcxContainerInnerControlBounds TcxCustomTextEdit::GetInnerControlBounds(
    const TRect& AInnerControlsRegion, TControl* AInnerControl) {
  if (IsEditClass())
    return TcxCustomEdit::GetInnerControlBounds(AInnerControlsRegion,
                                                AInnerControl);
  // The painted text shows instead of the Windows edit.
  TcxContainerInnerControlBounds result;
  result.IsEmpty = false;
  result.Rect = TRect{};
  return result;
}

Integer TcxCustomTextEdit::GetInnerEditHeight() {
  if (!innerEdit_) return 0;
  return cxTextHeight(innerEdit_->Font(), "Wg");
}

void TcxCustomTextEdit::AdjustInnerEditPosition() {
  if (!innerEdit_ || adjusting_ || !ViewInfo()) return;
  TRestoreOnExit adjusting(adjusting_, true);
  const Integer h = GetInnerEditHeight();
  TRect c = ViewInfo()->ClientRect;
  const TRect& o = contentOffset_;
  Integer top = c.Top + o.Top;
  switch (ActiveProperties()->Alignment()->Vert()) {
    case taBottomJustify:
      top = c.Bottom - h - o.Bottom;
      break;
    case taVCenter:
      top = c.Top + o.Top + (c.Bottom - c.Top - h - o.Top - o.Bottom) / 2;
      break;
    case taTopJustify:
      break;
  }
  top = std::max(top, c.Top + o.Top);
  const TRect bounds{c.Left + o.Left, top, c.Right - o.Right + 1, top + h};
  if (innerEdit_->BoundsRect() != bounds) innerEdit_->SetBoundsRect(bounds);
  if (IsInplace()) {
    c.Top += 1;
    c.Bottom -= 1;
  }
  AlignControls(innerEdit_, c);
}

void TcxCustomTextEdit::AdjustInnerEdit() {
  if (!innerEdit_ || IsCreating() || !ViewInfo()) return;
  innerTextEdit_->LockBounds(true);
  auto unlock = TScopeGuard([this] { innerTextEdit_->LockBounds(false); });
  innerEdit_->SetColor(ViewInfo()->BackgroundColor);
  TFont font;
  font.Assign(ActiveStyle()->GetVisibleFont());
  font.SetColor(ViewInfo()->TextColor);
  innerEdit_->SetFont(&font);
}

void TcxCustomTextEdit::FillSizeProperties(TcxEditSizeProperties& AProperties) {
  AProperties = DefaultcxEditSizeProperties;
  AProperties.MaxLineCount = 1;
}

Integer TcxCustomTextEdit::GetTextBaseLine() {
  return ViewInfo() ? ViewInfo()->GetTextBaseLine() : 0;
}

void TcxCustomTextEdit::UpdateDrawValue() {
  if (!HandleAllocated() || IsDestroying()) return;
  CalculateTextViewInfo(TPoint{-1, -1}, cxmbNone, {}, false);
  Invalidate();
}

void TcxCustomTextEdit::PrepareFindSelectionColors() {
  auto* vi = ViewInfo();
  if (!vi) return;
  const TcxEditEditingStyle style = EditingStyle();
  if (style != esFixedList && style != esNoEdit) return;
  if (style == esNoEdit || !findSelection_ ||
      !ActiveProperties()->FixedListSelection()) {
    vi->SelLength = 0;
    return;
  }
  const Integer selLength = innerTextEdit_ ? innerTextEdit_->GetSelLength() : 0;
  if (vi->DrawSelectionBar) {
    vi->SelStart = 0;
    vi->SelLength = static_cast<Integer>(vi->Text.size()) - selLength;
    vi->SelTextColor = clHighlight;
    vi->SelBackgroundColor = clHighlightText;
  } else {
    vi->SelStart = innerTextEdit_ ? innerTextEdit_->GetSelStart() : 0;
    vi->SelLength = selLength;
    vi->SelTextColor = clHighlightText;
    vi->SelBackgroundColor = clHighlight;
  }
}

void TcxCustomTextEdit::SafeSelectionFocusInnerControl() {
  if (innerTextEdit_) innerTextEdit_->SafelySetFocus();
}

void TcxCustomTextEdit::LockInnerEditRepainting() {
  if (!innerEdit_ || innerRepaintLocked_) return;
  innerRepaintLocked_ = true;
  savedInnerWindowProc_ = innerEdit_->WindowProc;
  innerEdit_->WindowProc =
      TWndMethod(this, &TcxCustomTextEdit::LockedInnerEditWindowProc);
}

void TcxCustomTextEdit::UnlockInnerEditRepainting() {
  if (!innerEdit_ || !innerRepaintLocked_) return;
  innerEdit_->WindowProc = savedInnerWindowProc_;
  innerRepaintLocked_ = false;
  if (!innerEdit_->HandleAllocated()) return;
  const bool autoSelect = innerEdit_->AutoSelect();
  innerEdit_->SetAutoSelect(false);
  auto restore = TScopeGuard([&] { innerEdit_->SetAutoSelect(autoSelect); });
  ::SendMessageA(innerEdit_->Handle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomTextEdit::LockedInnerEditWindowProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS && innerEdit_->AutoSelect()) {
    savedInnerWindowProc_(Message);
    innerEdit_->SelectAll();
    return;
  }
  savedInnerWindowProc_(Message);
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

bool TcxCustomTextEdit::IsSelectionHidden() {
  const TcxEditEditingStyle style = EditingStyle();
  return !innerTextEdit_ || style == esNoEdit ||
         (style == esFixedList && !findSelection_);
}

Integer TcxCustomTextEdit::SelStart() {
  if (IsSelectionHidden()) return 0;
  return innerTextEdit_->GetSelStart();
}

Integer TcxCustomTextEdit::SelLength() {
  if (IsSelectionHidden()) return 0;
  return innerTextEdit_->GetSelLength();
}

String TcxCustomTextEdit::SelText() {
  if (IsSelectionHidden()) return String();
  return innerTextEdit_->GetSelText();
}

void TcxCustomTextEdit::SetSelStart(Integer Value) {
  if (innerTextEdit_ && EditingStyle() != esNoEdit)
    innerTextEdit_->SetSelStart(Value);
}

void TcxCustomTextEdit::SetSelLength(Integer Value) {
  if (innerTextEdit_ && EditingStyle() != esNoEdit)
    innerTextEdit_->SetSelLength(Value);
}

void TcxCustomTextEdit::SelectAll() {
  if (innerTextEdit_) innerTextEdit_->SelectAll();
}

Integer TcxCustomTextEdit::CursorPos() {
  return innerEdit_ ? innerEdit_->GetCursorPos() : 0;
}

void TcxCustomTextEdit::SetFindSelection(bool Value) {
  if (findSelection_ == Value || !HandleAllocated() || findSelectionFreeze_)
    return;
  findSelection_ = Value;
  UpdateDrawValue();
}

bool TcxCustomTextEdit::CanChangeSelText(const String& AValue, String& ANewText,
                                         Integer& ANewSelStart) {
  ANewText.clear();
  ANewSelStart = 0;
  const TcxEditEditingStyle style = EditingStyle();
  if (IsUserAction() && style == esNoEdit) return false;
  if (style == esFixedList || style == esNoEdit) SelectAll();
  const String text = InternalGetText();
  const auto size = static_cast<Integer>(text.size());
  const Integer selStart = std::clamp(
      innerTextEdit_ ? innerTextEdit_->GetSelStart() : size, 0, size);
  const Integer selLength = std::clamp(
      innerTextEdit_ ? innerTextEdit_->GetSelLength() : 0, 0, size - selStart);
  const String before = text.substr(0, selStart);
  const String after = text.substr(selStart + selLength);
  const Integer maxLength = ActiveProperties()->GetMaxLength();
  if (IsUserAction() && (style == esEdit || style == esNoEdit) &&
      maxLength > 0) {
    const String head = before + AValue;
    const Integer caret =
        ByteIndexOfChar(head, std::min(CharCount(head), maxLength));
    if (caret < selStart) return false;
    ANewSelStart = caret;
    ANewText = head + after;
    if (CharCount(ANewText) > maxLength)
      ANewText.resize(ByteIndexOfChar(ANewText, maxLength));
  } else {
    ANewText = style == esFixedList ? AValue : before + AValue + after;
    ANewSelStart = selStart + static_cast<Integer>(AValue.size());
  }
  Variant value(ANewText);
  bool result = ActiveProperties()->IsDisplayValueValid(value, IsFocusedEdit());
  if (result && IsUserAction()) result = DoEditing();
  if (result) ANewText = VarToStr(value);
  return result;
}

void TcxCustomTextEdit::SetSelText(const String& AValue) {
  auto userAction = UserActionScope(this, IsFocusedEdit());
  String newText;
  Integer newSelStart = 0;
  if (!CanChangeSelText(AValue, newText, newSelStart)) return;
  InternalSetDisplayValue(Variant(newText));
  SetSelStart(newSelStart);
}

void TcxCustomTextEdit::ClearSelection() {
  if (SelLength() == 0) return;
  auto userAction = UserActionScope(this, IsFocusedEdit());
  String text = InternalGetText();
  const Integer start = SelStart();
  text.erase(static_cast<std::size_t>(start),
             static_cast<std::size_t>(SelLength()));
  if (SetDisplayText(text)) SetSelStart(start);
}

// ---------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------

void TcxCustomTextEdit::CopyToClipboard() {
  if (!innerTextEdit_) return;
  const TcxEditEditingStyle style = EditingStyle();
  if (style == esFixedList || style == esNoEdit) SelectAll();
  if (innerTextEdit_->GetSelLength() > 0) innerTextEdit_->CopyToClipboard();
}

void TcxCustomTextEdit::CutToClipboard() {
  if (!innerTextEdit_ || SelLength() == 0) return;
  if (!IsFocusedEdit()) {
    innerTextEdit_->CopyToClipboard();
    SetSelText(String());
    return;
  }
  auto userAction = UserActionScope(this);
  String newText;
  Integer newSelStart = 0;
  if (CanChangeSelText(String(), newText, newSelStart))
    innerTextEdit_->CallDefWndProc(WM_CUT, 0, 0);
}

void TcxCustomTextEdit::PasteFromClipboard() {
  if (!innerTextEdit_ || !Clipboard()->HasFormat(CF_TEXT)) return;
  const String pasted = Clipboard()->AsText();
  if (!IsFocusedEdit()) {
    SetSelText(pasted);
    return;
  }
  auto userAction = UserActionScope(this);
  String newText;
  Integer newSelStart = 0;
  if (!CanChangeSelText(pasted, newText, newSelStart)) return;
  innerTextEdit_->CallDefWndProc(WM_PASTE, 0, 0);
  // The Windows edit cuts at its own limit; what it made of the paste must
  // be what the editor allowed.
  if (InternalGetText() != newText) {
    innerTextEdit_->SetEditValue(Variant(newText));
    innerTextEdit_->SetSelStart(newSelStart);
  }
}

// ---------------------------------------------------------------------------
// Text and value
// ---------------------------------------------------------------------------

String TcxCustomTextEdit::GetDisplayValue() {
  return innerEdit_ ? innerEdit_->Text() : String();
}

String TcxCustomTextEdit::GetText() {
  return innerEdit_ ? InternalGetText() : keptText_;
}

Integer TcxCustomTextEdit::GetTextLen() {
  return static_cast<Integer>(GetText().size());
}

void TcxCustomTextEdit::SetTextBuf(const String& Value) {
  if (inSetText_) return;
  TRestoreOnExit inSetText(inSetText_, true);
  InternalSetText(Value);
}

bool TcxCustomTextEdit::SetDisplayText(const String& AText) {
  Variant value(AText);
  bool result = ActiveProperties()->IsDisplayValueValid(value, IsFocusedEdit());
  if (result && IsUserAction()) result = DoEditing();
  if (result) InternalSetDisplayValue(value);
  return result;
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& Value) {
  DataBinding()->SetDisplayValue(Value);
  if (IsUserAction()) return;
  ResetOnNewDisplayValue();
  SynchronizeEditValue();
  SetModified(false);
}

void TcxCustomTextEdit::SetInternalDisplayValue(const Variant& Value) {
  if (innerTextEdit_) innerTextEdit_->SetEditValue(Value);
}

void TcxCustomTextEdit::ResetOnNewDisplayValue() {
  if (ActiveProperties()->UseLookupData()) SetFindSelection(false);
}

void TcxCustomTextEdit::SynchronizeEditValue() {
  TcxCustomTextEditProperties* props = ActiveProperties();
  const bool compare = props->CanCompareEditValue();
  const Variant old = compare ? EditValue() : Variant();
  Variant value;
  PrepareEditValue(Variant(InternalGetText()), value, IsFocusedEdit());
  StoreEditValue(value);
  if (IsUserAction())
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (compare && !InternalVarEqualsExact(old, value)) {
    DoEditValueChanged();
    if (!props->HasDisplayValue()) DoChange();
  }
}

void TcxCustomTextEdit::SynchronizeDisplayValue() {
  TcxCustomTextEditProperties* props = ActiveProperties();
  const bool focused = IsFocusedEdit();
  Variant value = EditValue();
  Variant display;
  if (props->CanValidate()) {
    if (props->IsEditValueValid(value, focused)) {
      PrepareDisplayValue(value, display, focused);
    } else if (focused) {
      props->DefaultFocusedDisplayValue(display);
    } else {
      try {
        display = Variant(VarIsDate(value) ? DateTimeToStr(value.AsDouble())
                                           : VarToStr(value));
      } catch (const EVariantError&) {
        display = Variant(String());
      }
    }
  } else {
    PrepareDisplayValue(value, display, focused);
  }
  SaveModified();
  {
    auto restore = TScopeGuard([this] { RestoreModified(); });
    TRestoreOnExit synchronizing(synchronizingDisplay_, true);
    DataBinding()->SetDisplayValue(display);
  }
  ResetOnNewDisplayValue();
  UpdateDrawValue();
}

void TcxCustomTextEdit::UpdateDisplayValue() {
  if (!innerEdit_ || IsDestroying()) return;
  const TcxEditEditingStyle style = EditingStyle();
  if (style == esEdit || style == esNoEdit) {
    if (!ModifiedAfterEnter()) DataBinding()->UpdateDisplayValue();
    return;
  }
  if ((ModifiedAfterEnter() && !Validated()) ||
      NeedResetInvalidTextWhenPropertiesChanged()) {
    Variant text(InternalGetText());
    if (!ActiveProperties()->IsDisplayValueValid(text, IsFocusedEdit())) {
      Variant display;
      ActiveProperties()->DefaultFocusedDisplayValue(display);
      SaveModified();
      {
        auto restore = TScopeGuard([this] { RestoreModified(); });
        DataBinding()->SetDisplayValue(display);
      }
      if (!ModifiedAfterEnter()) SynchronizeEditValue();
      return;
    }
  }
  SynchronizeDisplayValue();
}

bool TcxCustomTextEdit::NeedResetInvalidTextWhenPropertiesChanged() {
  return !IsInplace() && !DataBinding()->IsDBEdit();
}

void TcxCustomTextEdit::CheckEditValue() {
  TcxCustomTextEditProperties* props = ActiveProperties();
  if (DataBinding()->CanCheckEditorValue() && props->IsEditValueNumeric() &&
      props->IsValueBoundsDefined())
    CheckEditorValueBounds();
}

void TcxCustomTextEdit::InternalValidateDisplayValue(
    const Variant& ADisplayValue) {
  if (EditingStyle() == esEdit && ActiveProperties()->UseLookupData() &&
      lookupData_ && !lookupData_->Find(VarToStr(ADisplayValue)))
    DoOnNewLookupDisplayText(VarToStr(ADisplayValue));
  TcxCustomEdit::InternalValidateDisplayValue(ADisplayValue);
}

void TcxCustomTextEdit::DoOnNewLookupDisplayText(const String& AText) {
  if (Properties()->OnNewLookupDisplayText)
    Properties()->OnNewLookupDisplayText(this, AText);
  if (RepositoryItem() && ActiveProperties()->OnNewLookupDisplayText)
    ActiveProperties()->OnNewLookupDisplayText(this, AText);
}

void TcxCustomTextEdit::SetEditingText(const String& AText) {
  if (!DoEditing()) return;
  InternalSetText(AText);
  SetModifiedAfterEnter(true);
}

void TcxCustomTextEdit::ChangeHandler(TObject* Sender) {
  LockChangeEvents(true);
  {
    auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
    TcxCustomEdit::ChangeHandler(Sender);
    if (!IsEditClass()) UpdateDrawValue();
  }
  TcxCustomTextEditProperties* props = ActiveProperties();
  if (IsFocusedEdit() && props->IsEditValueNumeric() &&
      props->HasDigitGrouping(synchronizingDisplay_))
    SeparateDigitGroups();
}

void TcxCustomTextEdit::SeparateDigitGroups() {
  String text = InternalGetText();
  String plain = text;
  RemoveThousandSeparator(plain);
  Extended number = 0;
  if (plain.empty() || !TryStrToFloat(plain, number)) return;
  String grouped = text;
  InsertThousandSeparator(grouped);
  if (grouped == text) return;
  const Integer caret = innerTextEdit_->GetSelStart();
  Integer n = 0;
  for (Integer i = 0; i < caret && i < static_cast<Integer>(text.size()); ++i)
    if (text[i] != ThousandSeparator) ++n;
  SetInternalDisplayValue(Variant(grouped));
  Integer pos = 0;
  for (Integer seen = 0; pos < static_cast<Integer>(grouped.size()) && seen < n;
       ++pos)
    if (grouped[pos] != ThousandSeparator) ++seen;
  innerTextEdit_->SetSelStart(pos);
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

bool TcxCustomTextEdit::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  if (TcxCustomEdit::CanKeyDownModifyEdit(Key, Shift) || Key == VK_DELETE)
    return true;
  TcxCustomTextEditProperties* props = ActiveProperties();
  if (!props->UseLookupData() || !lookupData_ || lookupData_->IsEmpty() ||
      !GetScrollLookupDataList(escKeyboard))
    return false;
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
      return !HasPopupWindow();
    case VK_UP:
    case VK_DOWN:
      return !Shift.Contains(ssAlt) && !HasPopupWindow();
    default:
      return false;
  }
}

bool TcxCustomTextEdit::CanKeyPressModifyEdit(char Key) {
  return Key == '\b' || Key == 22 || Key == 24 ||
         static_cast<unsigned char>(Key) >= 32;
}

bool TcxCustomTextEdit::IsValidChar(char C) {
  return TcxCustomEdit::IsValidChar(C) ||
         ActiveProperties()->ExtraAcceptedChars().test(
             static_cast<unsigned char>(C));
}

bool TcxCustomTextEdit::InnerEditKeyPressConsumesEnterEsc(char Key) {
  if (Key != '\r' && Key != 27) return false;
  if (!IsInplace() && !pendingEsc_ && (beepOnEnter_ || Key != '\r'))
    return false;
  pendingEsc_ = false;
  return true;
}

void TcxCustomTextEdit::KeyPress(char& Key) {
  if (Key == 27 && Activated() && pendingEsc_ && !HasPopupWindow())
    pendingEsc_ = false;
  TcxCustomEdit::KeyPress(Key);
}

void TcxCustomTextEdit::LookupGo(TcxEditLookupDataGoDirection ADirection,
                                 bool ACircular) {
  const Integer before = lookupData_->CurrentKeyIndex();
  {
    LockChangeEvents(true);
    auto unlock = TScopeGuard([this] { LockChangeEvents(false); });
    TRestoreOnExit navigating(lookupNavigation_, true);
    LockClick(true);
    auto unlockClick = TScopeGuard([this] { LockClick(false); });
    lookupData_->Go(ADirection, ACircular);
  }
  if (lookupData_->CurrentKeyIndex() == before) return;
  DoClick();
  if (CanPostEditValue() && ActiveProperties()->ImmediatePost() &&
      ValidateEdit(true))
    InternalPostEditValue(false);
}

void TcxCustomTextEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const TcxEditEditingStyle style = EditingStyle();
  if (style == esFixedList && !IsSpecialKey(Key, Shift) &&
      (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
    SetFindSelection(false);
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (innerTextEdit_) innerTextEdit_->SetInternalUpdating(true);
  auto survived = TScopeGuard([this, &Key] {
    if (Key != 0 && innerTextEdit_) innerTextEdit_->SetInternalUpdating(false);
  });
  const bool wasFindSelection = findSelection_;
  TcxCustomEdit::DoEditKeyDown(Key, Shift);
  if (Key == VK_RETURN && wasFindSelection) SelectAll();
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      if (!Shift.Contains(ssShift) && innerTextEdit_ &&
          innerTextEdit_->GetSelLength() > 0) {
        const Integer start = innerTextEdit_->GetSelStart();
        innerTextEdit_->SetSelStart(
            Key == VK_RIGHT ? start + innerTextEdit_->GetSelLength() : start);
        Key = 0;
      }
      SetFindSelection(false);
      break;
    case VK_DELETE:
      if (style == esEditList) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
      } else {
        SetFindSelection(false);
      }
      break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: {
      TcxCustomTextEditProperties* props = ActiveProperties();
      const bool homeEnd = Key == VK_HOME || Key == VK_END;
      if (props->UseLookupData() && lookupData_ && !lookupData_->IsEmpty() &&
          GetScrollLookupDataList(escKeyboard) &&
          (!homeEnd || style == esFixedList)) {
        const bool ctrl = Shift.Contains(ssCtrl);
        TcxEditLookupDataGoDirection direction = egdNext;
        switch (Key) {
          case VK_PRIOR:
            direction = ctrl ? egdBegin : egdPageUp;
            break;
          case VK_NEXT:
            direction = ctrl ? egdEnd : egdPageDown;
            break;
          case VK_HOME:
            direction = egdBegin;
            break;
          case VK_END:
            direction = egdEnd;
            break;
          case VK_UP:
            direction = egdPrev;
            break;
          default:
            direction = egdNext;
        }
        LookupGo(direction);
        Key = 0;
        break;
      }
      if (Key == VK_END && style != esFixedList && innerTextEdit_ &&
          innerTextEdit_->GetSelLength() == 0)
        SetFindSelection(false);
      // A single-line edit has no use for these; a grid moves between rows.
      if (!homeEnd) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
      }
      break;
    }
    default:
      break;
  }
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta,
                                     TPoint MousePos) {
  if (TcxCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!GetScrollLookupDataList(escMouseWheel) || HasPopupWindow() ||
      !ActiveProperties()->UseLookupData() || !lookupData_ ||
      lookupData_->IsEmpty() || !DoEditing())
    return false;
  LookupGo(WheelDelta > 0 ? egdPrev : egdNext);
  return true;
}

void TcxCustomTextEdit::DoExit() {
  TcxCustomEdit::DoExit();
  SetFindSelection(false);
}

void TcxCustomTextEdit::DoEditKeyPress(char& Key) {
  TcxCustomEdit::DoEditKeyPress(Key);
  if (Key == 0) return;
  UnlockLookupDataTextChanged();
  auto userAction = UserActionScope(this);
  TcxCustomTextEditProperties* props = ActiveProperties();
  const TcxEditEditingStyle style = EditingStyle();
  if (style == esFixedList && Key == '\b' && !props->FixedListSelection()) {
    Key = 0;
    SetFindSelection(false);
    return;
  }
  if (!lookupData_ || !props->UseLookupData()) return;
  const Integer keyBefore = lookupData_->CurrentKeyIndex();
  LockClick(true);
  bool found = false;
  {
    auto unlockClick = TScopeGuard([this] { LockClick(false); });
    const String text = InternalGetText();
    const Integer selStart = innerTextEdit_->GetSelStart();
    const Integer selLength = innerTextEdit_->GetSelLength();
    if (Key == '\b') {
      if (props->CanIncrementalSearch()) {
        if (style == esEditList && !text.empty() && !findSelection_) {
          innerTextEdit_->SetSelLength(static_cast<Integer>(text.size()) -
                                       selStart);
          SetFindSelection(true);
        }
        if (findSelection_) {
          const String typed = text.substr(0, innerTextEdit_->GetSelStart());
          LockLookupDataTextChanged();
          IncrementalSearch(WithoutLastChar(typed));
          found = findSelection_;
        }
        if (style == esFixedList) Key = 0;
      }
    } else if (static_cast<unsigned char>(Key) >= 32 &&
               props->CanIncrementalSearch()) {
      const bool caretAtEnd =
          selStart == static_cast<Integer>(text.size()) && selLength == 0;
      const bool wasFindSelection = findSelection_;
      if (style == esEditList || style == esFixedList || caretAtEnd ||
          findSelection_ || selLength > 0) {
        LockLookupDataTextChanged();
        const String typed(1, Key);
        if (selLength > 0) {
          IncrementalSearch(text.substr(0, selStart) + typed);
        } else if (style == esFixedList) {
          if (findSelection_) IncrementalSearch(text + typed);
          if (!findSelection_) IncrementalSearch(typed);
        } else {
          String x = text;
          x.insert(static_cast<std::size_t>(selStart), typed);
          IncrementalSearch(x);
        }
        found = findSelection_;
        if (!found && style == esFixedList && !props->FixedListSelection()) {
          IncrementalSearch(typed);
          found = findSelection_;
        }
        if (!found && (style == esEditList || style == esFixedList)) {
          Key = 0;
          if (style == esEditList && !InternalGetText().empty())
            SetFindSelection(true);
          if (style == esFixedList && props->FixedListSelection() &&
              wasFindSelection)
            SetFindSelection(true);
        }
      }
    }
  }
  if (lookupData_->CurrentKeyIndex() != keyBefore) DoClick();
  if (found) Key = 0;
}

void TcxCustomTextEdit::IncrementalSearch(String X) {
  const char pending = innerTextEdit_ ? innerTextEdit_->GetImeLastChar() : 0;
  if (pending) X += pending;
  if (X.empty()) {
    if (EditingStyle() != esFixedList)
      DataBinding()->SetDisplayValue(Variant(String()));
    SetFindSelection(false);
    UpdateDrawValue();
    return;
  }
  String tail;
  if (lookupData_->Locate(X, tail, false)) {
    if (pending) {
      X.pop_back();
      tail.insert(tail.begin(), pending);
    }
    DataBinding()->SetDisplayValue(Variant(X + tail));
    innerTextEdit_->SetSelStart(static_cast<Integer>(X.size()));
    innerTextEdit_->SetSelLength(static_cast<Integer>(tail.size()));
    SetFindSelection(true);
  } else {
    SetFindSelection(false);
  }
  UpdateDrawValue();
}

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

Integer TcxCustomTextEdit::LookupKeyToItemIndex(const Variant& AKey) {
  return VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger();
}

void TcxCustomTextEdit::LookupKeyToEditValue(const Variant& AKey,
                                             Variant& AEditValue) {
  PrepareEditValue(
      Variant(lookupData_ ? lookupData_->GetDisplayText(AKey) : String()),
      AEditValue, IsFocusedEdit());
}

Integer TcxCustomTextEdit::GetItemIndex() {
  return lookupData_ ? LookupKeyToItemIndex(lookupData_->GetCurrentKey()) : -1;
}

void TcxCustomTextEdit::SetItemIndex(Integer Value) {
  if (!lookupData_) return;
  const Integer before = GetItemIndex();
  {
    LockClick(true);
    auto unlock = TScopeGuard([this] { LockClick(false); });
    lookupData_->SetCurrentKey(ItemIndexToLookupKey(Value));
    Variant value;
    LookupKeyToEditValue(lookupData_->GetCurrentKey(), value);
    if (!InternalVarEqualsExact(value, EditValue())) SetEditValue(value);
  }
  if (GetItemIndex() != before) {
    SetModified(false);
    DoClick();
  }
}

TObject* TcxCustomTextEdit::GetItemObject() {
  const Integer index = GetItemIndex();
  TStringList* items = ActiveProperties()->LookupItems();
  return index < 0 || index >= items->Count() ? nullptr : items->Objects(index);
}

void TcxCustomTextEdit::SetItemObject(TObject* Value) {
  SetItemIndex(ActiveProperties()->LookupItems()->IndexOfObject(Value));
}

void TcxCustomTextEdit::HandleSelectItem(TObject*) {
  Variant value;
  LookupKeyToEditValue(lookupData_->GetCurrentKey(), value);
  const bool differs = !InternalVarEqualsExact(value, EditValue());
  if (differs && !DoEditing()) return;
  SaveModified();
  {
    auto restore = TScopeGuard([this] { RestoreModified(); });
    SetInternalEditValue(value);
  }
  if (differs) SetModifiedAfterEnter(true);
  SelectAll();
  ShortRefreshContainer(false);
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TcxCustomTextEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT:
      WMGetText(Message);
      return;
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(GetText().size());
      return;
    case WM_SETTEXT:
      WMSetText(Message);
      return;
    case WM_CLEAR:
      if (!ActiveProperties()->GetReadOnly() &&
          DataBinding()->IsDataAvailable()) {
        auto userAction = UserActionScope(this);
        ClearSelection();
      }
      return;
    default:
      TcxCustomEdit::Dispatch(Message);
  }
}

void TcxCustomTextEdit::WMGetText(TMessage& Message) {
  const auto size = static_cast<Integer>(Message.WParam);
  Message.Result = 0;
  auto* buffer = reinterpret_cast<char*>(Message.LParam);
  if (size < 1 || !buffer) return;
  String text = GetText();
  if (static_cast<Integer>(text.size()) > size - 1)
    text.resize(static_cast<std::size_t>(size - 1));
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = '\0';
  Message.Result = static_cast<LRESULT>(text.size());
}

void TcxCustomTextEdit::WMSetText(TMessage& Message) {
  if (inSetText_) {
    DefaultHandler(Message);
    return;
  }
  Message.Result = 0;
  TRestoreOnExit inSetText(inSetText_, true);
  const char* text = reinterpret_cast<const char*>(Message.LParam);
  if (InternalSetText(text ? String(text) : String())) Message.Result = 1;
}
