// The text editor's properties and the unit's text routines for numbers
// and character case.
#include "WinApi.h"
//
#include "FormStreams.h"
#include "ScopeGuard.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "cxEditConsts.h"
#include "cxFilterControlUtils.h"
#include "cxTextEdit.h"
#include "cxVariants.h"

// ---------------------------------------------------------------------------
// Unit routines
// ---------------------------------------------------------------------------

void CheckCharsRegister(String& AText, TEditCharCase ACharCase) {
  switch (ACharCase) {
    case ecUpperCase:
      AText = AnsiUpperCase(AText);
      break;
    case ecLowerCase:
      AText = AnsiLowerCase(AText);
      break;
    case ecNormal:
      break;
  }
}

void RemoveThousandSeparator(String& AText) {
  std::erase(AText, ThousandSeparator);
}

void RemoveExponentialPart(String& AText, String& AExponentialPart) {
  const std::size_t at = AnsiUpperCase(AText).find('E');
  if (at == String::npos) {
    AExponentialPart.clear();
    return;
  }
  AExponentialPart = AText.substr(at);
  AText.erase(at);
}

void InsertThousandSeparator(String& AText) {
  const std::size_t first = AText.find_first_not_of(' ');
  if (first == String::npos) return;
  const std::size_t last = AText.find_last_not_of(' ');
  const String leading = AText.substr(0, first);
  const String trailing = AText.substr(last + 1);
  String number = AText.substr(first, last - first + 1);
  String exponent;
  RemoveExponentialPart(number, exponent);
  RemoveThousandSeparator(number);
  const std::size_t decimal = number.find(DecimalSeparator);
  std::size_t end = decimal == String::npos ? number.size() : decimal;
  // Groups of three digits from the integer part's end; a sign or any other
  // character ends the walk.
  std::size_t start = end;
  while (start > 0 && number[start - 1] >= '0' && number[start - 1] <= '9')
    --start;
  for (std::size_t pos = end; pos >= start + 4; pos -= 3)
    number.insert(pos - 3, 1, ThousandSeparator);
  AText = leading + number + exponent + trailing;
}

// ---------------------------------------------------------------------------
// TcxTextEditPropertiesValues
// ---------------------------------------------------------------------------

void TcxTextEditPropertiesValues::SetMaxLength(bool Value) {
  if (maxLength_ == Value) return;
  maxLength_ = Value;
  if (auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties()))
    p->MaxLengthChanged();
}

void TcxTextEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxTextEditPropertiesValues*>(Source);
  if (!source) {
    TcxCustomEditPropertiesValues::Assign(Source);
    return;
  }
  auto update = MakeBracket(this, &TcxTextEditPropertiesValues::BeginUpdate,
                            &TcxTextEditPropertiesValues::EndUpdate);
  TcxCustomEditPropertiesValues::Assign(Source);
  SetDisplayFormat(source->displayFormat_);
  SetEditFormat(source->editFormat_);
  SetMaxLength(source->maxLength_);
}

void TcxTextEditPropertiesValues::RestoreDefaults() {
  auto update = MakeBracket(this, &TcxTextEditPropertiesValues::BeginUpdate,
                            &TcxTextEditPropertiesValues::EndUpdate);
  TcxCustomEditPropertiesValues::RestoreDefaults();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
}

bool TcxTextEditPropertiesValues::IsDisplayFormatStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return displayFormat_ && p && p->DisplayFormat().empty() &&
         IsPublishedProp(p, "DisplayFormat");
}

bool TcxTextEditPropertiesValues::IsEditFormatStored() const {
  auto* p = dynamic_cast<TcxCustomTextEditProperties*>(Properties());
  return editFormat_ && p && p->EditFormat().empty() &&
         IsPublishedProp(p, "EditFormat");
}

// ---------------------------------------------------------------------------
// TcxCustomTextEditProperties
// ---------------------------------------------------------------------------

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner), lookupItems_(new TStringList()) {
  ReplaceAssignedValues(TObjectPtr<TcxCustomEditPropertiesValues>(
      new TcxTextEditPropertiesValues(this)));
  lookupItems_->SetDuplicates(dupAccept);
  lookupItems_->OnChange =
      TNotifyEvent(this, &TcxCustomTextEditProperties::LookupItemsChanged);
  cxFormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  cxFormatController()->RemoveListener(this);
  lookupItems_->OnChange = nullptr;
  lookupItems_.reset();
}

Integer TcxCustomTextEditProperties::QueryInterface(const TGUID& iid,
                                                    void** obj) {
  if (obj && iid == IcxFormatControllerListener::IID) {
    *obj = static_cast<IcxFormatControllerListener*>(this);
    return S_OK_;
  }
  return TcxCustomEditProperties::QueryInterface(iid, obj);
}

template <class T>
void TcxCustomTextEditProperties::SetPlain(T& AField, T Value) {
  if (AField == Value) return;
  AField = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase Value) {
  SetPlain(charCase_, Value);
}
void TcxCustomTextEditProperties::SetEchoMode(TcxEditEchoMode Value) {
  SetPlain(echoMode_, Value);
}
void TcxCustomTextEditProperties::SetHideCursor(bool Value) {
  SetPlain(hideCursor_, Value);
}
void TcxCustomTextEditProperties::SetHideSelection(bool Value) {
  SetPlain(hideSelection_, Value);
}
void TcxCustomTextEditProperties::SetImeMode(TImeMode Value) {
  SetPlain(imeMode_, Value);
}
void TcxCustomTextEditProperties::SetImeName(const String& Value) {
  SetPlain(imeName_, Value);
}
void TcxCustomTextEditProperties::SetIncrementalSearch(bool Value) {
  SetPlain(incrementalSearch_, Value);
}
void TcxCustomTextEditProperties::SetOEMConvert(bool Value) {
  SetPlain(oemConvert_, Value);
}
void TcxCustomTextEditProperties::SetPasswordChar(char Value) {
  SetPlain(passwordChar_, Value);
}
void TcxCustomTextEditProperties::SetUseDisplayFormatWhenEditing(bool Value) {
  SetPlain(useDisplayFormatWhenEditing_, Value);
}

void TcxCustomTextEditProperties::SetFixedListSelection(bool Value) {
  if (fixedListSelection_ == Value) return;
  fixedListSelection_ = Value;
  if (GetEditingStyle() == esFixedList) Changed();
}

void TcxCustomTextEditProperties::SetMaxLength(Integer Value) {
  if (Value < 0) Value = 0;
  if (AssignedValues()->MaxLength() && maxLength_ == Value) return;
  maxLength_ = Value;
  // Setting the flag tells the owner once; a flag already set does not.
  if (!AssignedValues()->MaxLength())
    AssignedValues()->SetMaxLength(true);
  else
    MaxLengthChanged();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const String& Value) {
  if (AssignedValues()->DisplayFormat() && displayFormat_ == Value) return;
  displayFormat_ = Value;
  auto update = UpdateScope();
  AssignedValues()->SetDisplayFormat(true);
  Changed();
}

void TcxCustomTextEditProperties::SetEditFormat(const String& Value) {
  if (AssignedValues()->EditFormat() && editFormat_ == Value) return;
  editFormat_ = Value;
  auto update = UpdateScope();
  AssignedValues()->SetEditFormat(true);
  Changed();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::GetViewStyle() {
  switch (ButtonsViewStyle()) {
    case bvsButtonsOnly:
      return vsButtonsOnly;
    case bvsButtonsAutoWidth:
      return vsButtonsAutoWidth;
    case bvsNormal:
      break;
  }
  return hideCursor_ ? vsHideCursor : vsNormal;
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle Value) {
  if (GetViewStyle() == Value) return;
  static constexpr TcxEditButtonsViewStyle kButtons[] = {
      bvsNormal, bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth};
  auto update = UpdateScope();
  SetButtonsViewStyle(kButtons[Value]);
  SetHideCursor(Value != vsNormal);
}

void TcxCustomTextEditProperties::FormatChanged() {
  TRestoreOnExit changing(formatChanging_, true);
  Changed();
}

bool TcxCustomTextEditProperties::FindLookupText(const String& AText) {
  for (Integer i = 0; i < lookupItems_->Count(); ++i)
    if (InternalCompareString(lookupItems_->Strings(i), AText, false))
      return true;
  return false;
}

Integer TcxCustomTextEditProperties::GetDefaultMaxLength() {
  auto* provider = IDefaultValuesProvider();
  return provider ? provider->DefaultMaxLength() : 0;
}

TcxEditEditingStyle TcxCustomTextEditProperties::GetEditingStyle() {
  return hideCursor_ ? esNoEdit : esEdit;
}

Integer TcxCustomTextEditProperties::GetMaxLength() {
  return AssignedValues()->MaxLength() ? maxLength_ : GetDefaultMaxLength();
}

String TcxCustomTextEditProperties::GetDisplayFormat() {
  if (AssignedValues()->DisplayFormat()) return displayFormat_;
  auto* provider = IDefaultValuesProvider();
  if (provider) {
    String format = provider->DefaultDisplayFormat();
    if (!format.empty()) return format;
  }
  return GetDefaultDisplayFormat();
}

String TcxCustomTextEditProperties::GetEditFormat() {
  bool isCurrency = false;
  bool isOnGetTextAssigned = false;
  String format;
  InternalGetEditFormat(isCurrency, isOnGetTextAssigned, format);
  return format;
}

void TcxCustomTextEditProperties::InternalGetEditFormat(
    bool& AIsCurrency, bool& AIsOnGetTextAssigned, String& AEditFormat,
    TcxCustomEdit* AEdit) {
  AIsCurrency = false;
  AIsOnGetTextAssigned = false;
  AEditFormat.clear();
  if (AssignedValues()->EditFormat()) {
    AEditFormat = editFormat_;
    return;
  }
  auto* provider = IDefaultValuesProvider();
  if ((!AEdit || !AEdit->IsInplace()) && provider &&
      provider->IsOnGetTextAssigned()) {
    AIsOnGetTextAssigned = true;
    return;
  }
  if (provider && !provider->DefaultEditFormat().empty()) {
    AEditFormat = provider->DefaultEditFormat();
    return;
  }
  if (AssignedValues()->DisplayFormat())
    AEditFormat = displayFormat_;
  else if (provider && !provider->DefaultDisplayFormat().empty())
    AEditFormat = provider->DefaultDisplayFormat();
  else
    AEditFormat = GetDefaultDisplayFormat();
  if (AEditFormat.empty() && provider)
    AIsCurrency = !GetDisplayFormatOptions().Contains(dfoNoCurrencyValue) &&
                  provider->IsCurrency();
  if (!useDisplayFormatWhenEditing_) AEditFormat.clear();
}

bool TcxCustomTextEditProperties::CanIncrementalSearch() {
  switch (GetEditingStyle()) {
    case esEdit:
      return incrementalSearch_;
    case esEditList:
    case esFixedList:
      return true;
    case esNoEdit:
      break;
  }
  return false;
}

bool TcxCustomTextEditProperties::IsValueBoundDefined(
    TcxEditValueBound ABound) {
  const bool minAssigned =
      TcxCustomEditProperties::AssignedValues()->MinValue();
  const bool maxAssigned =
      TcxCustomEditProperties::AssignedValues()->MaxValue();
  if (minAssigned != maxAssigned)
    return ABound == evbMin ? minAssigned : maxAssigned;
  return GetMaxValue() > GetMinValue();
}

void TcxCustomTextEditProperties::DisplayValueToDisplayText(String& AText) {
  if (echoMode_ == eemPassword) {
    AText.assign(AText.size(), passwordChar_ ? passwordChar_ : '*');
    return;
  }
  CheckCharsRegister(AText, charCase_);
}

bool TcxCustomTextEditProperties::IsDisplayValueValid(Variant& ADisplayValue,
                                                      bool) {
  String text = VarToStr(ADisplayValue);
  if (text.empty()) return true;
  const TcxEditEditingStyle style = GetEditingStyle();
  if ((style == esEditList || style == esFixedList) && UseLookupData() &&
      !FindLookupText(text))
    return false;
  CheckCharsRegister(text, charCase_);
  ADisplayValue = Variant(text);
  return true;
}

bool TcxCustomTextEditProperties::IsEditValueValid(Variant& AEditValue,
                                                   bool AEditFocused) {
  if (VarIsNull(AEditValue) || !VarIsStr(AEditValue)) return true;
  return IsDisplayValueValid(AEditValue, AEditFocused);
}

void TcxCustomTextEditProperties::GetDefaultDisplayValue(
    const Variant& AEditValue, bool AEditFocused, String& AText) {
  Variant value = AEditValue;
  if (IsEditValueValid(value, AEditFocused)) {
    Variant display;
    PrepareDisplayValue(value, display, AEditFocused);
    AText = VarToStr(display);
  } else if (VarIsDate(AEditValue)) {
    AText = DateTimeToStr(AEditValue.AsDouble());
  } else {
    AText = VarToStr(AEditValue);
  }
}

WideString TcxCustomTextEditProperties::GetDisplayText(
    const Variant& AEditValue, bool, bool AIsInplace) {
  String text;
  if (IsValueEditorWithValueFormatting())
    text = VarToStr(AEditValue);
  else
    GetDefaultDisplayValue(
        AEditValue, !AIsInplace && !IsEditValueConversionDependOnFocused(),
        text);
  DisplayValueToDisplayText(text);
  return VarToWideStr(Variant(text));
}

bool TcxCustomTextEditProperties::CompareDisplayValues(
    const Variant& AEditValue1, const Variant& AEditValue2) {
  const String t1 = VarToStr(Variant(GetDisplayText(AEditValue1, true, true)));
  const String t2 = VarToStr(Variant(GetDisplayText(AEditValue2, true, true)));
  return InternalCompareString(t1, t2, true);
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue,
                                                      Variant& ADisplayValue,
                                                      bool AEditFocused) {
  if (!IsEditValueNumeric()) {
    ADisplayValue =
        Variant(VarIsArray(AEditValue) ? String() : VarToStr(AEditValue));
    return;
  }
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) {
    ADisplayValue = Variant(String());
    return;
  }
  if (!VarIsNumeric(AEditValue) && !VarIsStr(AEditValue))
    throw EConvertError(cxGetResourceString(cxSEditNumericValueConvertError));
  const String text = VarToStr(AEditValue);
  if (!AEditFocused) {
    const String format = GetDisplayFormat();
    ADisplayValue = Variant(
        format.empty() ? text : FormatFloat(format, AEditValue.AsDouble()));
    return;
  }
  bool isCurrency = false;
  bool isOnGetTextAssigned = false;
  String format;
  InternalGetEditFormat(isCurrency, isOnGetTextAssigned, format);
  auto* provider = IDefaultValuesProvider();
  const Integer precision = provider ? provider->DefaultPrecision() : 15;
  Extended number = 0;
  String result = text;
  if (isCurrency) {
    if (TryStrToFloat(text, number))
      result = FloatToStrF(number, ffFixed, precision, CurrencyDecimals);
  } else if (!format.empty()) {
    result = FormatFloat(format, AEditValue.AsDouble());
  } else {
    if (TryStrToFloat(text, number))
      result = FloatToStrF(number, ffGeneral, precision, 0);
    if (HasDigitGrouping(false)) InsertThousandSeparator(result);
  }
  ADisplayValue = Variant(result);
}

void TcxCustomTextEditProperties::CheckEditorValueBounds(
    Variant& ADisplayValue, String& AErrorText, bool& AError,
    TcxCustomTextEdit* AEdit) {
  Variant value;
  AEdit->PrepareEditValue(ADisplayValue, value, AEdit->Focused());
  if (!VarIsNumeric(value) && !VarIsDate(value)) return;
  bool out = false;
  if (IsValueBoundDefined(evbMin) &&
      VarCompare(value, Variant(GetMinValue())) < 0)
    out = true;
  else if (IsValueBoundDefined(evbMax) &&
           VarCompare(value, Variant(GetMaxValue())) > 0)
    out = true;
  if (!out) return;
  AError = true;
  AErrorText = GetValidateErrorText(1);
}

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& ADisplayValue,
                                                       String& AErrorText,
                                                       bool& AError,
                                                       TObject* AEdit) {
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(AEdit);
  if (edit && IsEditValueNumeric() && IsValueBoundsDefined())
    CheckEditorValueBounds(ADisplayValue, AErrorText, AError, edit);
  TcxCustomEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText,
                                                AError, AEdit);
}

String TcxCustomTextEditProperties::GetValidateErrorText(Integer AErrorKind) {
  if (AErrorKind == 1) return cxGetResourceString(cxSEditValueOutOfBounds);
  return TcxCustomEditProperties::GetValidateErrorText(AErrorKind);
}

TcxEditSupportedOperations
TcxCustomTextEditProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result =
      TcxCustomEditProperties::GetSupportedOperations();
  for (auto op : {esoAutoHeight, esoEditing, esoFiltering, esoHorzAlignment,
                  esoIncSearch, esoSorting})
    result.Include(op);
  return result;
}

void TcxCustomTextEditProperties::AlignmentChangedHandler(TObject* Sender) {
  auto update = UpdateScope();
  TcxCustomEditProperties::AlignmentChangedHandler(Sender);
}

void TcxCustomTextEditProperties::BaseSetAlignment(TcxEditAlignment* Value) {
  auto update = UpdateScope();
  TcxCustomEditProperties::BaseSetAlignment(Value);
}

TObjectPtr<TcxCustomTextEditLookupData>
TcxCustomTextEditProperties::CreateLookupData(TcxCustomTextEdit* AEdit) {
  return TObjectPtr<TcxCustomTextEditLookupData>(
      new TcxCustomTextEditLookupData(AEdit));
}

TcxCustomEditClass TcxCustomTextEditProperties::GetContainerClass() {
  return cxEditClass<TcxTextEdit>();
}

TcxContainerViewInfoClass TcxCustomTextEditProperties::GetViewInfoClass() {
  return &cxNewContainerViewInfo<TcxCustomTextEditViewInfo>;
}

TObjectPtr<TcxCustomEditViewData> TcxCustomTextEditProperties::CreateViewData(
    TcxCustomEditStyle* AStyle, bool AIsInplace, bool APreviewMode) {
  TObjectPtr<TcxCustomEditViewData> result(
      new TcxCustomTextEditViewData(this, AStyle, AIsInplace));
  result->PreviewMode = APreviewMode;
  return result;
}

void TcxCustomTextEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomTextEditProperties*>(Source);
  if (!source) {
    TcxCustomEditProperties::Assign(Source);
    return;
  }
  auto update = UpdateScope();
  TcxCustomEditProperties::Assign(Source);
  SetCharCase(source->charCase_);
  SetEchoMode(source->echoMode_);
  SetFixedListSelection(source->fixedListSelection_);
  SetHideCursor(source->hideCursor_);
  SetHideSelection(source->hideSelection_);
  immediateUpdateText_ = source->immediateUpdateText_;
  SetIncrementalSearch(source->incrementalSearch_);
  mruMode_ = source->mruMode_;
  extraAcceptedChars_ = source->extraAcceptedChars_;
  SetLookupItemsSorted(false);
  lookupItems_->Assign(source->lookupItems_.get());
  SetLookupItemsSorted(source->LookupItemsSorted());
  auto* values = AssignedValues();
  auto* sourceValues = source->AssignedValues();
  values->SetDisplayFormat(false);
  if (sourceValues->DisplayFormat()) SetDisplayFormat(source->displayFormat_);
  values->SetEditFormat(false);
  if (sourceValues->EditFormat()) SetEditFormat(source->editFormat_);
  values->SetMaxLength(false);
  if (sourceValues->MaxLength()) SetMaxLength(source->maxLength_);
  SetOEMConvert(source->oemConvert_);
  SetImeMode(source->imeMode_);
  SetImeName(source->imeName_);
  SetPasswordChar(source->passwordChar_);
  SetUseDisplayFormatWhenEditing(source->useDisplayFormatWhenEditing_);
  OnNewLookupDisplayText = source->OnNewLookupDisplayText;
}

void TcxCustomTextEditProperties::DefineProperties(TFiler* Filer) {
  TcxCustomEditProperties::DefineProperties(Filer);
  Filer->DefineProperty("IsDisplayFormatAssigned",
                        TReaderProc::FromFunction([this](TReader* R) {
                          ReadIsDisplayFormatAssigned(R->ReadBoolean());
                        }),
                        nullptr, false);
}

namespace {

void PublishTextEdit() {
  RegisterEnum<TcxEditEchoMode>("TcxEditEchoMode",
                                {"eemNormal", "eemPassword"});
  RegisterEnum<TcxTextEditViewStyle>(
      "TcxTextEditViewStyle",
      {"vsNormal", "vsHideCursor", "vsButtonsOnly", "vsButtonsAutoWidth"});
  using V = TcxTextEditPropertiesValues;
  TPublished<V>()
      .Property("DisplayFormat", &V::DisplayFormat, &V::SetDisplayFormat)
      .Stored(&V::IsDisplayFormatStored)
      .Property("EditFormat", &V::EditFormat, &V::SetEditFormat)
      .Stored(&V::IsEditFormatStored)
      .Property("MaxLength", &V::MaxLength, &V::SetMaxLength, false);
  using P = TcxTextEditProperties;
  TPublished<P>()
      .Property("CharCase", &P::CharCase, &P::SetCharCase, ecNormal)
      .Property("EchoMode", &P::EchoMode, &P::SetEchoMode, eemNormal)
      .Property("HideSelection", &P::HideSelection, &P::SetHideSelection, true)
      .Property("IncrementalSearch", &P::IncrementalSearch,
                &P::SetIncrementalSearch, true)
      .Property("LookupItems", &P::GetLookupItems, &P::SetLookupItems)
      .Property("LookupItemsSorted", &P::LookupItemsSorted,
                &P::SetLookupItemsSorted, false)
      .Property("MaxLength", &P::MaxLength, &P::SetMaxLength)
      .Stored(&P::IsMaxLengthStored)
      .Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert, false)
      .Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar, '\0');
  using E = TcxTextEdit;
  TPublished<E>()
      .Property("Properties", &E::Properties, &E::SetProperties)
      .Property("BeepOnEnter", &E::BeepOnEnter, &E::SetBeepOnEnter, true)
      .Property("Text", &TControl::Text, &TControl::SetText);
  RegisterClasses({TcxTextEdit::StaticClass()});
}

void TextEditStartup() {
  PublishTextEdit();
  GetRegisteredEditProperties()->Register(TcxTextEditProperties::StaticClass(),
                                          scxSEditRepositoryTextItem.Text);
  FilterEditsController()->Register(TcxTextEditProperties::StaticClass(),
                                    TcxFilterTextEditHelper::Instance());
}

void TextEditShutdown() {
  FilterEditsController()->Unregister(TcxTextEditProperties::StaticClass(),
                                      TcxFilterTextEditHelper::Instance());
  GetRegisteredEditProperties()->Unregister(
      TcxTextEditProperties::StaticClass());
}

}  // namespace

VARNEL_UNIT(cxTextEdit, ({"cxEdit", "cxFormats"}), &TextEditStartup,
            &TextEditShutdown);
