// The filter builder's operators, value check, helpers and helper registry.
#include "cxFilterControlUtils.h"

#include <memory>

#include "Forms.h"
#include "Platform.h"
#include "cxControls.h"
#include "cxDropDownEdit.h"
#include "cxFilterControlStrs.h"
#include "cxMaskEdit.h"
#include "cxTextEdit.h"

namespace {

// Ordinals of the data layer's operator kinds that the table names.
enum : Byte {
  kEqual = 0,
  kNotEqual = 1,
  kLess = 2,
  kLessEqual = 3,
  kGreater = 4,
  kGreaterEqual = 5,
  kLike = 6,
  kNotLike = 7,
  kBetween = 8,
  kInFuture = 33
};

struct TOperatorInfo {
  Byte Kind;
  // The filter engine's own text of the operator (its texts are replaced by
  // text, so a replacement made there shows here too).
  const char* Text;
};

// Indexed by TcxFilterControlOperator. From fcoBetween on, the kinds
// follow the operators one for one.
constexpr TOperatorInfo kOperators[] = {
    {kEqual, ""},
    {kEqual, "equals"},
    {kNotEqual, "does not equal"},
    {kLess, "is less than"},
    {kLessEqual, "is less than or equal to"},
    {kGreater, "is greater than"},
    {kGreaterEqual, "is greater than or equal to"},
    {kLike, "like"},
    {kNotLike, "not like"},
    {kEqual, "is blank"},
    {kNotEqual, "is not blank"},
    {8, "between"},
    {9, "not between"},
    {10, "in"},
    {11, "not in"},
    {12, "is yesterday"},
    {13, "is today"},
    {14, "is tomorrow"},
    {15, "is last 7 days"},
    {16, "is last week"},
    {17, "is last 14 days"},
    {18, "is last two weeks"},
    {19, "is last 30 days"},
    {20, "is last month"},
    {21, "is last year"},
    {22, "is past"},
    {23, "is this week"},
    {24, "is this month"},
    {25, "is this year"},
    {26, "is next 7 days"},
    {27, "is next week"},
    {28, "is next 14 days"},
    {29, "is next two weeks"},
    {30, "is next 30 days"},
    {31, "is next month"},
    {32, "is next year"},
    {kInFuture, "is future"},
};
static_assert(std::size(kOperators) == fcoInFuture + 1);

TcxFilterValueTypeServices& Services() {
  static TcxFilterValueTypeServices services;
  return services;
}

std::unique_ptr<TcxFilterEditsController>& Controller() {
  static std::unique_ptr<TcxFilterEditsController> controller;
  return controller;
}

}  // namespace

// ---------------------------------------------------------------------------
// Value types
// ---------------------------------------------------------------------------

void cxSetFilterValueTypeServices(const TcxFilterValueTypeServices& AServices) {
  Services() = AServices;
}

const TcxFilterValueTypeServices& cxFilterValueTypeServices() {
  return Services();
}

bool cxFilterValueTypeIsString(TcxValueTypeClass AValueTypeClass) {
  return AValueTypeClass && Services().IsString &&
         Services().IsString(AValueTypeClass);
}

bool cxFilterValueTypeIsValueValid(TcxValueTypeClass AValueTypeClass,
                                   Variant& AValue) {
  if (!AValueTypeClass || !Services().IsValueValid) return true;
  return Services().IsValueValid(AValueTypeClass, AValue);
}

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

TcxFilterOperatorKind GetFilterOperatorKind(
    TcxFilterControlOperator AOperator) {
  const Byte kind =
      AOperator <= fcoInFuture ? kOperators[AOperator].Kind : Byte{kEqual};
  return static_cast<TcxFilterOperatorKind>(kind);
}

TcxFilterControlOperator GetFilterControlOperator(TcxFilterOperatorKind AKind,
                                                  bool AValueIsNull) {
  const Byte kind = static_cast<Byte>(AKind);
  if (AValueIsNull && kind == kEqual) return fcoBlanks;
  if (AValueIsNull && kind == kNotEqual) return fcoNonBlanks;
  if (kind <= kNotLike) return static_cast<TcxFilterControlOperator>(kind + 1);
  if (kind <= kInFuture)
    return static_cast<TcxFilterControlOperator>(kind - kBetween + fcoBetween);
  return fcoNone;
}

String GetFilterControlOperatorText(TcxFilterControlOperator AOperator) {
  if (AOperator == fcoNone || AOperator > fcoInFuture) return String();
  return cxGetResourceString(String(kOperators[AOperator].Text));
}

void FilterControlError(const String& AMessage) {
  throw EcxFilterControlError(AMessage);
}

void FilterControlValidateValue(TcxCustomEdit* AEdit, Variant& AValue,
                                TcxFilterControlOperator AOperator,
                                TcxValueTypeClass AValueTypeClass,
                                TcxCustomFilterEditHelperClass AHelper) {
  if (AValueTypeClass && VarIsStr(AValue) && VarToStr(AValue).empty() &&
      !cxFilterValueTypeIsString(AValueTypeClass))
    AValue = Null();
  if (VarIsNull(AValue)) return;
  if (AOperator == fcoLike || AOperator == fcoNotLike) return;
  bool valid = false;
  try {
    valid = AHelper ? AHelper->IsValueValid(AValueTypeClass, AValue)
                    : cxFilterValueTypeIsValueValid(AValueTypeClass, AValue);
  } catch (const Exception&) {
    valid = false;
  }
  if (valid) return;
  if (AEdit) {
    AEdit->SetModified(true);
    if (AEdit->CanFocusEx()) AEdit->SetFocus();
  }
  FilterControlError(cxGetResourceString(cxSFilterDialogInvalidValue));
}

// ---------------------------------------------------------------------------
// TcxCustomFilterEditHelper
// ---------------------------------------------------------------------------

const TcxCustomFilterEditHelper* TcxCustomFilterEditHelper::Instance() {
  static const TcxCustomFilterEditHelper instance;
  return &instance;
}

void TcxCustomFilterEditHelper::ClearPropertiesEvents(
    TcxCustomEditProperties* AProperties) const {
  if (!AProperties) return;
  AProperties->OnButtonClick = nullptr;
  AProperties->OnChange = nullptr;
  AProperties->OnEditValueChanged = nullptr;
  AProperties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::InitializeEdit(
    TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const {
  InitializeProperties(AEdit->ActiveProperties(), AEditProperties,
                       EditPropertiesHasButtons());
}

bool TcxCustomFilterEditHelper::IsIDefaultValuesProviderNeeded(
    TcxCustomEditProperties*) const {
  return true;
}

bool TcxCustomFilterEditHelper::EditPropertiesHasButtons() const {
  return false;
}

TcxCustomEditClass TcxCustomFilterEditHelper::GetFilterEditClass() const {
  return TcxCustomEditClass{};
}

void TcxCustomFilterEditHelper::GetFilterValue(
    TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
    Variant& AValue, String& ADisplayText) const {
  AValue = AEdit->EditValue();
  ADisplayText = Platform::WideToAnsi(
      AEditProperties->GetDisplayText(AValue, false, true));
}

TcxFilterControlOperators
TcxCustomFilterEditHelper::GetSupportedFilterOperators(
    TcxCustomEditProperties*, TcxValueTypeClass AValueTypeClass,
    bool AExtendedSet) const {
  TcxFilterControlOperators result;
  const TcxFilterControlOperator last =
      AExtendedSet ? fcoNotInList : fcoNonBlanks;
  for (Integer op = fcoEqual; op <= last; ++op)
    result.Include(static_cast<TcxFilterControlOperator>(op));
  if (!cxFilterValueTypeIsString(AValueTypeClass)) {
    result.Exclude(fcoLike);
    result.Exclude(fcoNotLike);
  }
  return result;
}

void TcxCustomFilterEditHelper::InitializeProperties(
    TcxCustomEditProperties* AProperties,
    TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  AProperties->Assign(AEditProperties);
  AProperties->Alignment()->SetHorz(taLeftJustify);
  AProperties->Alignment()->SetVert(taTopJustify);
  AProperties->SetBeepOnError(false);
  if (!AHasButtons) AProperties->Buttons()->Clear();
  AProperties->SetReadOnly(false);
  AProperties->SetValidateOnEnter(true);
  if (!IsIDefaultValuesProviderNeeded(AEditProperties))
    AProperties->SetIDefaultValuesProvider(nullptr);
  ClearPropertiesEvents(AProperties);
}

bool TcxCustomFilterEditHelper::IsValueValid(TcxValueTypeClass AValueTypeClass,
                                             Variant& AValue) const {
  return cxFilterValueTypeIsValueValid(AValueTypeClass, AValue);
}

void TcxCustomFilterEditHelper::SetFilterValue(TcxCustomEdit*,
                                               TcxCustomEditProperties*,
                                               const Variant&) const {}

bool TcxCustomFilterEditHelper::UseDisplayValue() const { return false; }

TcxCustomEdit* TcxCustomFilterEditHelper::GetFilterEdit(
    TcxCustomEditProperties* AEditProperties,
    TcxInplaceEditList* AInplaceEditList,
    TObjectPtr<TcxCustomEdit>* AOwned) const {
  const TcxCustomEditClass editClass = GetFilterEditClass();
  if (!editClass.Create) return nullptr;
  TObjectPtr<TcxCustomEdit> edit = editClass.Create(nullptr, false);
  TcxCustomEdit* result = edit.get();
  if (AInplaceEditList) {
    // The list keeps one editor per properties class: the new editor only
    // tells which class that is.
    result = AInplaceEditList->GetEdit(edit->GetPropertiesClass());
  } else if (AOwned) {
    *AOwned = std::move(edit);
  } else {
    result = edit.release();
  }
  InitializeEdit(result, AEditProperties);
  return result;
}

// ---------------------------------------------------------------------------
// The editors' helpers
// ---------------------------------------------------------------------------

const TcxFilterTextEditHelper* TcxFilterTextEditHelper::Instance() {
  static const TcxFilterTextEditHelper instance;
  return &instance;
}

TcxCustomEditClass TcxFilterTextEditHelper::GetFilterEditClass() const {
  return cxEditClass<TcxTextEdit>();
}

void TcxFilterTextEditHelper::InitializeProperties(
    TcxCustomEditProperties* AProperties,
    TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxCustomFilterEditHelper::InitializeProperties(AProperties, AEditProperties,
                                                  AHasButtons);
  AProperties->SetAutoSelect(true);
  if (auto* props = dynamic_cast<TcxCustomTextEditProperties*>(AProperties)) {
    props->SetHideSelection(true);
    props->SetViewStyle(vsNormal);
  }
}

void TcxFilterTextEditHelper::SetFilterValue(TcxCustomEdit* AEdit,
                                             TcxCustomEditProperties*,
                                             const Variant& AValue) const {
  if (AEdit) AEdit->SetEditValue(AValue);
}

const TcxFilterMaskEditHelper* TcxFilterMaskEditHelper::Instance() {
  static const TcxFilterMaskEditHelper instance;
  return &instance;
}

TcxCustomEditClass TcxFilterMaskEditHelper::GetFilterEditClass() const {
  return cxEditClass<TcxMaskEdit>();
}

namespace {

bool IsMaskedProperties(TcxCustomEditProperties* AProperties) {
  auto* props = dynamic_cast<TcxCustomMaskEditProperties*>(AProperties);
  return props && props->GetIsMasked();
}

}  // namespace

TcxFilterControlOperators TcxFilterMaskEditHelper::GetSupportedFilterOperators(
    TcxCustomEditProperties* AProperties, TcxValueTypeClass AValueTypeClass,
    bool AExtendedSet) const {
  TcxFilterControlOperators result{fcoEqual,     fcoNotEqual, fcoLess,
                                   fcoLessEqual, fcoGreater,  fcoGreaterEqual,
                                   fcoBlanks,    fcoNonBlanks};
  if (!IsMaskedProperties(AProperties) &&
      cxFilterValueTypeIsString(AValueTypeClass)) {
    result.Include(fcoLike);
    result.Include(fcoNotLike);
  }
  if (AExtendedSet)
    for (TcxFilterControlOperator op :
         {fcoBetween, fcoNotBetween, fcoInList, fcoNotInList})
      result.Include(op);
  return result;
}

void TcxFilterMaskEditHelper::InitializeProperties(
    TcxCustomEditProperties* AProperties,
    TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterTextEditHelper::InitializeProperties(AProperties, AEditProperties,
                                                AHasButtons);
  // A filter value is typed whole: the mask completes without prompting.
  if (auto* props = dynamic_cast<TcxCustomMaskEditProperties*>(AProperties))
    if (props->MaskKind() == emkRegExpr) props->SetMaskKind(emkRegExprEx);
  AProperties->SetAutoSelect(!IsMaskedProperties(AProperties));
}

const TcxFilterDropDownEditHelper* TcxFilterDropDownEditHelper::Instance() {
  static const TcxFilterDropDownEditHelper instance;
  return &instance;
}

const TcxFilterComboBoxHelper* TcxFilterComboBoxHelper::Instance() {
  static const TcxFilterComboBoxHelper instance;
  return &instance;
}

TcxCustomEditClass TcxFilterComboBoxHelper::GetFilterEditClass() const {
  return cxEditClass<TcxComboBox>();
}

void TcxFilterComboBoxHelper::InitializeProperties(
    TcxCustomEditProperties* AProperties,
    TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterDropDownEditHelper::InitializeProperties(
      AProperties, AEditProperties, AHasButtons);
  auto* props = dynamic_cast<TcxCustomComboBoxProperties*>(AProperties);
  if (!props) return;
  const Integer button = props->DropDownButtonVisibleIndex();
  if (button >= 0 && button < props->Buttons()->Count()) {
    TcxEditButton* item = props->Buttons()->Items(button);
    item->SetGlyph(nullptr);
    if (item->Kind() == bkGlyph) item->SetKind(bkDown);
  }
  props->SetDropDownRows(8);
  props->SetDropDownListStyle(lsEditList);
  props->SetImmediateDropDown(false);
  props->SetPopupAlignment(taLeftJustify);
  props->SetRevertable(false);
}

// ---------------------------------------------------------------------------
// Registry
// ---------------------------------------------------------------------------

void TcxFilterEditsController::Register(
    TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper) {
  if (!APropertiesClass || !AHelper) return;
  helpers_[AHelper->ClassType()] = AHelper;
  TcxRegisteredClassList::Register(APropertiesClass->Parent,
                                   AHelper->ClassType());
}

void TcxFilterEditsController::Unregister(
    TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelper) {
  if (!APropertiesClass || !AHelper) return;
  TcxRegisteredClassList::Unregister(APropertiesClass->Parent,
                                     AHelper->ClassType());
  // An emptied registry goes: the unit that made the last registration may
  // be the last to shut down. Nothing of this object is touched after.
  if (Count() == 0 && Controller().get() == this) Controller().reset();
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(
    TClass APropertiesClass) {
  if (!APropertiesClass || !APropertiesClass->Parent) return nullptr;
  const TClass helperClass = FindClass(APropertiesClass->Parent);
  if (!helperClass) return nullptr;
  auto it = helpers_.find(helperClass);
  return it == helpers_.end() ? nullptr : it->second;
}

TcxFilterEditsController* FilterEditsController() {
  auto& controller = Controller();
  if (!controller) controller = std::make_unique<TcxFilterEditsController>();
  return controller.get();
}

bool FilterEditsControllerExists() { return Controller() != nullptr; }

void CorrectDlgParams(TCreateParams& Params) {
  if (!Screen) return;
  TCustomForm* active = Screen->ActiveForm();
  if (!active || !active->HandleAllocated()) return;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form != active && form->FormStyle() == fsStayOnTop) return;
  }
  Params.WndParent = active->Handle();
}
