// Small shared pieces of the data layer: the base of an editor's data
// binding, a collection whose Assign keeps its items, the text comparison of
// incremental search and filtering, week routines with a configurable first
// day, and the default display format of currency values. Platform
// independent: the regional settings come from the editors' locale source
// (cxDateLocale), so tests can pin them.
#pragma once

#include "Classes.h"
#include "Variants.h"
#include "cxVariants.h"  // TcxDataEditValueSource

using TcxDataBindingNotifyEvent = TClosure<void()>;

// The link between an editor and where its value comes from. The owning
// editor sets the three hooks.
class TcxCustomDataBinding : public TPersistent {
  VARNEL_CLASS(TcxCustomDataBinding, TPersistent)
 public:
  TcxCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent);

  // Call the matching hook when one is set.
  virtual void DataChange();
  virtual void DataSetChange();
  virtual void UpdateData();

  virtual bool GetModified();  // false
  virtual bool GetReadOnly();
  // On a change, stores the flag and calls DataSetChange.
  virtual void SetReadOnly(bool AValue);
  virtual void VisualControlChanged() {}

  virtual bool CanModify();                           // not read-only
  virtual bool ExecuteAction(TBasicAction* AAction);  // false
  virtual bool UpdateAction(TBasicAction* AAction);   // false
  virtual Variant GetStoredValue(TcxDataEditValueSource AValueSource,
                                 bool AFocused);  // Null
  virtual bool IsControlReadOnly();               // GetReadOnly
  virtual bool IsDataSourceLive();                // true
  virtual bool IsDataStorage();                   // false
  virtual void Reset() {}
  virtual bool SetEditMode();  // CanModify
  virtual void SetStoredValue(TcxDataEditValueSource AValueSource,
                              const Variant& AValue);
  virtual void UpdateDataSource() {}

  TPersistent* GetOwner() override;
  TComponent* Owner() const { return owner_; }
  TComponent* DataComponent() const { return dataComponent_; }
  bool ReadOnly() { return GetReadOnly(); }
  TComponent* VisualControl() const { return visualControl_; }
  // On a change, stores it and calls VisualControlChanged.
  void SetVisualControl(TComponent* AValue);

  TcxDataBindingNotifyEvent OnDataChange;
  TcxDataBindingNotifyEvent OnDataSetChange;
  TcxDataBindingNotifyEvent OnUpdateData;

 private:
  TComponent* dataComponent_;
  TComponent* owner_;
  bool readOnly_ = false;
  TComponent* visualControl_ = nullptr;
};

// Upper-cases both texts in the system code page. An empty AText2 matches
// only an empty AText1; otherwise equal texts match, or, with
// APartialCompare, an AText1 that begins with AText2.
bool DataCompareText(const String& AText1, const String& AText2,
                     bool APartialCompare);

// A float format for currency values from the regional settings at the
// moment of the call: the grouped number with the currency decimals and the
// currency string (its ',' and '.' quoted) placed by the currency format.
String DefaultCurrencyDisplayFormat();

// The routines below share their names with other units' routines of
// different meaning; call them qualified: cxDataUtils::GetStartOfWeek().
namespace cxDataUtils {

// A collection whose Assign reuses the items it has: items keep their
// identity and only those beyond the source's count are destroyed.
class TcxCollection : public TCollection {
  VARNEL_CLASS(TcxCollection, TCollection)
 public:
  using TCollection::TCollection;
  void Assign(TPersistent* ASource) override;
};

// The date part (truncated toward zero) and the time part.
TDateTime DateOf(TDateTime ADateTime);
TDateTime TimeOf(TDateTime ADateTime);

// The first day of the week, 0 = Sunday .. 6 = Saturday. Setting 10 follows
// the locale (initially); other values outside 0..6 are ignored.
inline constexpr Integer StartOfWeekFromLocale = 10;
void SetStartOfWeek(Integer AValue);
// The set day, or the locale's first day (Monday when it cannot be read).
Integer GetStartOfWeek();
// The latest date on or before DateOf(ADate) that is the first day of the
// week.
TDateTime GetStartDateOfWeek(TDateTime ADate);

}  // namespace cxDataUtils
