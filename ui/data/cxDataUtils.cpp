#include "cxDataUtils.h"

#include <cmath>

#include "ScopeGuard.h"
#include "SysUtils.h"
#include "cxDateUtils.h"
#include "cxFormats.h"

namespace {

Integer startOfWeek = cxDataUtils::StartOfWeekFromLocale;

// A regional setting from the locale source, else from the class library's
// format settings.
String LocaleInfo(Cardinal AItem, const String& AFallback) {
  String value;
  return cxDateLocale().GetInfo(AItem, value) ? value : AFallback;
}

Integer LocaleNumber(Cardinal AItem, Integer AFallback) {
  String text;
  Integer value;
  if (cxDateLocale().GetInfo(AItem, text) && TryStrToInt(Trim(text), value)) {
    return value;
  }
  return AFallback;
}

}  // namespace

VARNEL_UNIT(cxDataUtils, ({"Classes"}), nullptr, nullptr);

// ---------------------------------------------------------------------------
// TcxCustomDataBinding
// ---------------------------------------------------------------------------

TcxCustomDataBinding::TcxCustomDataBinding(TComponent* AOwner,
                                           TComponent* ADataComponent)
    : dataComponent_(ADataComponent), owner_(AOwner) {}

void TcxCustomDataBinding::DataChange() { OnDataChange(); }
void TcxCustomDataBinding::DataSetChange() { OnDataSetChange(); }
void TcxCustomDataBinding::UpdateData() { OnUpdateData(); }

bool TcxCustomDataBinding::GetModified() { return false; }
bool TcxCustomDataBinding::GetReadOnly() { return readOnly_; }

void TcxCustomDataBinding::SetReadOnly(bool AValue) {
  if (readOnly_ == AValue) return;
  readOnly_ = AValue;
  DataSetChange();
}

bool TcxCustomDataBinding::CanModify() { return !GetReadOnly(); }
bool TcxCustomDataBinding::ExecuteAction(TBasicAction*) { return false; }
bool TcxCustomDataBinding::UpdateAction(TBasicAction*) { return false; }

Variant TcxCustomDataBinding::GetStoredValue(TcxDataEditValueSource, bool) {
  return Null();
}

bool TcxCustomDataBinding::IsControlReadOnly() { return GetReadOnly(); }
bool TcxCustomDataBinding::IsDataSourceLive() { return true; }
bool TcxCustomDataBinding::IsDataStorage() { return false; }
bool TcxCustomDataBinding::SetEditMode() { return CanModify(); }
void TcxCustomDataBinding::SetStoredValue(TcxDataEditValueSource,
                                          const Variant&) {}

TPersistent* TcxCustomDataBinding::GetOwner() { return owner_; }

void TcxCustomDataBinding::SetVisualControl(TComponent* AValue) {
  if (visualControl_ == AValue) return;
  visualControl_ = AValue;
  VisualControlChanged();
}

// ---------------------------------------------------------------------------
// Text and currency
// ---------------------------------------------------------------------------

bool DataCompareText(const String& AText1, const String& AText2,
                     bool APartialCompare) {
  if (AText2.empty()) return AText1.empty();
  String text1 = AnsiUpperCase(AText1);
  String text2 = AnsiUpperCase(AText2);
  if (!APartialCompare) return text1 == text2;
  return text1.size() >= text2.size() &&
         text1.compare(0, text2.size(), text2) == 0;
}

String DefaultCurrencyDisplayFormat() {
  Integer decimals =
      LocaleNumber(Platform::liICurrDigits, FormatSettings.CurrencyDecimals);
  Integer placement =
      LocaleNumber(Platform::liICurrency, FormatSettings.CurrencyFormat);
  String currency = LocaleInfo(Platform::liSCurrency, CurrencyString);
  String number = ",0." + String(std::max(decimals, 0), '0');
  const String symbol = cxQuotedCurrencySymbol(currency);
  if (symbol.empty()) return number;
  switch (placement) {
    case 0:
      return symbol + number;
    case 1:
      return number + symbol;
    case 2:
      return symbol + " " + number;
    case 3:
      return number + " " + symbol;
    default:
      return number;
  }
}

// ---------------------------------------------------------------------------
// cxDataUtils
// ---------------------------------------------------------------------------

namespace cxDataUtils {

void TcxCollection::Assign(TPersistent* ASource) {
  auto source = dynamic_cast<TCollection*>(ASource);
  if (!source) {
    TCollection::Assign(ASource);
    return;
  }
  if (source == this || (source->Count() == 0 && Count() == 0)) return;
  auto update =
      MakeBracket(this, &TcxCollection::BeginUpdate, &TcxCollection::EndUpdate);
  for (Integer i = 0; i < source->Count(); ++i) {
    TCollectionItem* item = i < Count() ? Items(i) : Add();
    item->Assign(source->Items(i));
  }
  for (Integer i = Count() - 1; i >= source->Count(); --i) Delete(i);
}

TDateTime DateOf(TDateTime ADateTime) { return std::trunc(ADateTime); }

TDateTime TimeOf(TDateTime ADateTime) {
  return ADateTime - std::trunc(ADateTime);
}

void SetStartOfWeek(Integer AValue) {
  if ((AValue >= 0 && AValue <= 6) || AValue == StartOfWeekFromLocale) {
    startOfWeek = AValue;
  }
}

Integer GetStartOfWeek() {
  if (startOfWeek != StartOfWeekFromLocale) return startOfWeek;
  // The locale counts from Monday (0) to Sunday (6).
  Integer day = LocaleNumber(cxLocaleIFirstDayOfWeek, -1);
  if (day < 0 || day > 6) return 1;
  return (day + 1) % 7;
}

TDateTime GetStartDateOfWeek(TDateTime ADate) {
  TDateTime date = DateOf(ADate);
  // DayOfWeek counts 1 = Sunday; the week's first day counts 0 = Sunday.
  Integer back = (DayOfWeek(date) - 1 - GetStartOfWeek() + 7) % 7;
  return date - back;
}

}  // namespace cxDataUtils
