// What the editors give the data layer's filter builder: its operator
// vocabulary with display texts and filter-engine kinds, the check of a
// typed value, the helpers that make and fill a value editor of a column's
// kind, and the registry that finds the helper of a properties class.
// Windows only.
//
// The filter engine's operator kinds and the value types belong to the data
// layer, which stands above this one: they are declared here without their
// definitions, and the data layer binds the two value-type questions the
// helpers ask (cxSetFilterValueTypeServices) at its start-up.
#pragma once

#include <map>

#include "Controls.h"
#include "Variants.h"
#include "cxClasses.h"
#include "cxEdit.h"

// ---------------------------------------------------------------------------
// Of the data layer
// ---------------------------------------------------------------------------

// The filter engine's 34 operator kinds, foEqual (0) to foInFuture (33).
enum TcxFilterOperatorKind : Byte;
class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

struct TcxFilterValueTypeServices {
  // True for the string and wide-string value types.
  bool (*IsString)(TcxValueTypeClass AValueTypeClass) = nullptr;
  // Null is valid; otherwise AValue is converted in place to the type's
  // variant type and the answer says whether that worked.
  bool (*IsValueValid)(TcxValueTypeClass AValueTypeClass,
                       Variant& AValue) = nullptr;
};
void cxSetFilterValueTypeServices(const TcxFilterValueTypeServices& AServices);
const TcxFilterValueTypeServices& cxFilterValueTypeServices();
// False without a value type class or without the data layer.
bool cxFilterValueTypeIsString(TcxValueTypeClass AValueTypeClass);
// Without a value type class (or the data layer) a value is taken as text:
// valid and unchanged.
bool cxFilterValueTypeIsValueValid(TcxValueTypeClass AValueTypeClass,
                                   Variant& AValue);

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

enum TcxFilterControlOperator : Byte {
  fcoNone,
  fcoEqual,
  fcoNotEqual,
  fcoLess,
  fcoLessEqual,
  fcoGreater,
  fcoGreaterEqual,
  fcoLike,
  fcoNotLike,
  fcoBlanks,
  fcoNonBlanks,
  fcoBetween,
  fcoNotBetween,
  fcoInList,
  fcoNotInList,
  fcoYesterday,
  fcoToday,
  fcoTomorrow,
  fcoLast7Days,
  fcoLastWeek,
  fcoLast14Days,
  fcoLastTwoWeeks,
  fcoLast30Days,
  fcoLastMonth,
  fcoLastYear,
  fcoInPast,
  fcoThisWeek,
  fcoThisMonth,
  fcoThisYear,
  fcoNext7Days,
  fcoNextWeek,
  fcoNext14Days,
  fcoNextTwoWeeks,
  fcoNext30Days,
  fcoNextMonth,
  fcoNextYear,
  fcoInFuture
};
using TcxFilterControlOperators = TSet<TcxFilterControlOperator>;

TcxFilterOperatorKind GetFilterOperatorKind(TcxFilterControlOperator AOperator);
// The operator named as the kind; a Null value makes equality a blank test.
TcxFilterControlOperator GetFilterControlOperator(TcxFilterOperatorKind AKind,
                                                  bool AValueIsNull);
String GetFilterControlOperatorText(TcxFilterControlOperator AOperator);

// The filter builder's error; it carries only its message.
class EcxFilterControlError : public Exception {
  VARNEL_CLASS(EcxFilterControlError, Exception)
 public:
  using Exception::Exception;
};

[[noreturn]] void FilterControlError(const String& AMessage);

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

// A helper is used as a class: one shared instance per helper class
// (Instance()) stands for it, and it keeps no state.
class TcxCustomFilterEditHelper : public TObject {
  VARNEL_CLASS(TcxCustomFilterEditHelper, TObject)
 public:
  static const TcxCustomFilterEditHelper* Instance();

  virtual void ClearPropertiesEvents(
      TcxCustomEditProperties* AProperties) const;
  virtual void InitializeEdit(TcxCustomEdit* AEdit,
                              TcxCustomEditProperties* AEditProperties) const;
  virtual bool IsIDefaultValuesProviderNeeded(
      TcxCustomEditProperties* AEditProperties) const;
  virtual bool EditPropertiesHasButtons() const;
  // None in the base: a helper without an editor class makes no editor.
  virtual TcxCustomEditClass GetFilterEditClass() const;
  virtual void GetFilterValue(TcxCustomEdit* AEdit,
                              TcxCustomEditProperties* AEditProperties,
                              Variant& AValue, String& ADisplayText) const;
  virtual TcxFilterControlOperators GetSupportedFilterOperators(
      TcxCustomEditProperties* AProperties, TcxValueTypeClass AValueTypeClass,
      bool AExtendedSet = false) const;
  virtual void InitializeProperties(TcxCustomEditProperties* AProperties,
                                    TcxCustomEditProperties* AEditProperties,
                                    bool AHasButtons) const;
  virtual bool IsValueValid(TcxValueTypeClass AValueTypeClass,
                            Variant& AValue) const;
  virtual void SetFilterValue(TcxCustomEdit* AEdit,
                              TcxCustomEditProperties* AEditProperties,
                              const Variant& AValue) const;
  virtual bool UseDisplayValue() const;

  // A value editor set up from the column's properties: the in-place
  // list's editor of the class when a list is given, else a new one for
  // the caller. None when the helper names no editor class.
  TcxCustomEdit* GetFilterEdit(
      TcxCustomEditProperties* AEditProperties,
      TcxInplaceEditList* AInplaceEditList = nullptr,
      TObjectPtr<TcxCustomEdit>* AOwned = nullptr) const;

 protected:
  TcxCustomFilterEditHelper() = default;
};
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

// A text editor for the value; the column's lookup items stay.
class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
  VARNEL_CLASS(TcxFilterTextEditHelper, TcxCustomFilterEditHelper)
 public:
  static const TcxFilterTextEditHelper* Instance();
  TcxCustomEditClass GetFilterEditClass() const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties,
                            TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
  void SetFilterValue(TcxCustomEdit* AEdit,
                      TcxCustomEditProperties* AEditProperties,
                      const Variant& AValue) const override;

 protected:
  TcxFilterTextEditHelper() = default;
};

// A mask editor with the column's mask: a masked value is no pattern, so
// it offers no "like".
class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
  VARNEL_CLASS(TcxFilterMaskEditHelper, TcxFilterTextEditHelper)
 public:
  static const TcxFilterMaskEditHelper* Instance();
  TcxCustomEditClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(
      TcxCustomEditProperties* AProperties, TcxValueTypeClass AValueTypeClass,
      bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties,
                            TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;

 protected:
  TcxFilterMaskEditHelper() = default;
};

// The drop-down editors keep their buttons.
class TcxFilterDropDownEditHelper : public TcxFilterMaskEditHelper {
  VARNEL_CLASS(TcxFilterDropDownEditHelper, TcxFilterMaskEditHelper)
 public:
  static const TcxFilterDropDownEditHelper* Instance();
  bool EditPropertiesHasButtons() const override { return true; }

 protected:
  TcxFilterDropDownEditHelper() = default;
};

// A combo box with the column's items, but with free text: a filter value
// need not be one of them.
class TcxFilterComboBoxHelper : public TcxFilterDropDownEditHelper {
  VARNEL_CLASS(TcxFilterComboBoxHelper, TcxFilterDropDownEditHelper)
 public:
  static const TcxFilterComboBoxHelper* Instance();
  TcxCustomEditClass GetFilterEditClass() const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties,
                            TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;

 protected:
  TcxFilterComboBoxHelper() = default;
};

// Checks, and may convert, a value typed for a condition; raises
// EcxFilterControlError "Invalid value" (with the editor marked modified
// and focused) when the value type cannot take it.
void FilterControlValidateValue(TcxCustomEdit* AEdit, Variant& AValue,
                                TcxFilterControlOperator AOperator,
                                TcxValueTypeClass AValueTypeClass,
                                TcxCustomFilterEditHelperClass AHelper);

// ---------------------------------------------------------------------------
// Registry
// ---------------------------------------------------------------------------

// Maps a properties class (by its parent class) to a helper.
class TcxFilterEditsController : public TcxRegisteredClassList {
  VARNEL_CLASS(TcxFilterEditsController, TcxRegisteredClassList)
 public:
  void Register(TClass APropertiesClass,
                TcxCustomFilterEditHelperClass AHelper);
  void Unregister(TClass APropertiesClass,
                  TcxCustomFilterEditHelperClass AHelper);
  // The helper of the nearest registered ancestor, or none.
  TcxCustomFilterEditHelperClass FindHelper(TClass APropertiesClass);

 private:
  using TcxRegisteredClassList::Register;
  using TcxRegisteredClassList::Unregister;
  std::map<TClass, TcxCustomFilterEditHelperClass> helpers_;
};

// The one registry, made on first use and freed when its last registration
// goes.
TcxFilterEditsController* FilterEditsController();
// Whether the registry exists now (for tests and diagnostics).
bool FilterEditsControllerExists();

// A dialog's window goes on the active form unless another form stays on
// top.
void CorrectDlgParams(TCreateParams& Params);
