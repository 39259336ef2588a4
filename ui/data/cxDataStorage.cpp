#include "cxDataStorage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ScopeGuard.h"
#include "SysConst.h"
#include "SysUtils.h"
#include "cxVariants.h"

namespace {

// ---------------------------------------------------------------------------
// Unaligned slot access: values sit at odd offsets inside record buffers.
// ---------------------------------------------------------------------------

template <class T>
T Load(const void* ASlot) {
  T value;
  std::memcpy(&value, ASlot, sizeof(T));
  return value;
}

template <class T>
void Store(void* ASlot, const T& AValue) {
  std::memcpy(ASlot, &AValue, sizeof(T));
}

// Cells: a slot holds a pointer to a heap value that the slot owns.
template <class T>
T* CellOf(const void* ASlot) {
  return Load<T*>(ASlot);
}

// The slot's cell, made on first use.
template <class T>
T& EnsureCell(void* ASlot) {
  T* cell = CellOf<T>(ASlot);
  if (!cell) {
    auto made = std::make_unique<T>();
    cell = made.get();
    Store<T*>(ASlot, made.release());
  }
  return *cell;
}

template <class T>
void FreeCell(void* ASlot) {
  std::unique_ptr<T> cell(CellOf<T>(ASlot));
  Store<T*>(ASlot, nullptr);
}

template <class T>
Integer Sign(T A, T B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

[[noreturn]] void ListIndexError(Integer AIndex) {
  throw EListError(SListIndexError, {AIndex});
}

[[noreturn]] void CastError(TVarType AFrom, TVarType ATo) {
  throw EVariantTypeCastError(SVarTypeCouldNotConvert,
                              {VarTypeAsText(AFrom), VarTypeAsText(ATo)});
}

[[noreturn]] void OverflowError(TVarType AFrom, TVarType ATo) {
  throw EVariantOverflowError(SVarTypeConvertOverflow,
                              {VarTypeAsText(AFrom), VarTypeAsText(ATo)});
}

// ---------------------------------------------------------------------------
// Decimals
// ---------------------------------------------------------------------------

// A decimal as text parts: no leading zeros in IntPart, no trailing zeros in
// FracPart; zero is two empty parts and never negative.
struct TDecimal {
  bool Negative = false;
  String IntPart;
  String FracPart;
};

void Normalize(TDecimal& D) {
  std::size_t first = D.IntPart.find_first_not_of('0');
  D.IntPart = first == String::npos ? String() : D.IntPart.substr(first);
  std::size_t last = D.FracPart.find_last_not_of('0');
  D.FracPart = last == String::npos ? String() : D.FracPart.substr(0, last + 1);
  if (D.IntPart.empty() && D.FracPart.empty()) D.Negative = false;
}

TDecimal DecimalOf(const TBcd& ABcd) {
  TDecimal d;
  Integer precision = std::min<Integer>(ABcd.Precision, MaxFMTBcdDigits);
  Integer places = std::min<Integer>(ABcd.SignSpecialPlaces & 0x3F, precision);
  String digits;
  for (Integer i = 0; i < precision; ++i) {
    Byte b = ABcd.Fraction[i / 2];
    Integer nibble = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
    // A nibble above 9 cannot come from this unit; read it as 9 rather than
    // let it into the text.
    digits += static_cast<char>('0' + std::min(nibble, 9));
  }
  d.IntPart = digits.substr(0, precision - places);
  d.FracPart = digits.substr(precision - places);
  d.Negative = (ABcd.SignSpecialPlaces & 0x80) != 0;
  Normalize(d);
  return d;
}

bool BcdOf(const TDecimal& ADecimal, TBcd& ABcd) {
  TDecimal d = ADecimal;
  Normalize(d);
  String digits = d.IntPart + d.FracPart;
  if (digits.empty()) digits = "0";
  if (static_cast<Integer>(digits.size()) > MaxFMTBcdDigits ||
      d.FracPart.size() > 63) {
    return false;
  }
  TBcd bcd;
  bcd.Precision = static_cast<Byte>(digits.size());
  bcd.SignSpecialPlaces =
      static_cast<Byte>(d.FracPart.size() | (d.Negative ? 0x80 : 0));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    Byte nibble = static_cast<Byte>(digits[i] - '0');
    bcd.Fraction[i / 2] |=
        (i % 2 == 0) ? static_cast<Byte>(nibble << 4) : nibble;
  }
  ABcd = bcd;
  return true;
}

// Plain decimal text, optionally with an exponent ("1.5E-3").
bool ParseDecimal(const String& AText, TDecimal& ADecimal, bool AExponent) {
  TDecimal d;
  std::size_t i = 0;
  const std::size_t n = AText.size();
  if (i < n && (AText[i] == '-' || AText[i] == '+')) {
    d.Negative = AText[i] == '-';
    ++i;
  }
  bool any = false;
  while (i < n && AText[i] >= '0' && AText[i] <= '9') {
    d.IntPart += AText[i++];
    any = true;
  }
  if (i < n && AText[i] == '.') {
    ++i;
    while (i < n && AText[i] >= '0' && AText[i] <= '9') {
      d.FracPart += AText[i++];
      any = true;
    }
  }
  if (!any) return false;
  if (AExponent && i < n && (AText[i] == 'E' || AText[i] == 'e')) {
    ++i;
    bool negExp = false;
    if (i < n && (AText[i] == '-' || AText[i] == '+')) {
      negExp = AText[i] == '-';
      ++i;
    }
    Integer exponent = 0;
    bool anyExp = false;
    while (i < n && AText[i] >= '0' && AText[i] <= '9') {
      if (exponent > 1000) return false;
      exponent = exponent * 10 + (AText[i++] - '0');
      anyExp = true;
    }
    if (!anyExp) return false;
    Normalize(d);
    if (negExp) {
      // Move the point left.
      String intPart = d.IntPart;
      if (static_cast<Integer>(intPart.size()) < exponent) {
        intPart.insert(0, exponent - intPart.size(), '0');
      }
      d.FracPart = intPart.substr(intPart.size() - exponent) + d.FracPart;
      d.IntPart = intPart.substr(0, intPart.size() - exponent);
    } else {
      String frac = d.FracPart;
      if (static_cast<Integer>(frac.size()) < exponent) {
        frac.append(exponent - frac.size(), '0');
      }
      d.IntPart += frac.substr(0, exponent);
      d.FracPart = frac.substr(exponent);
    }
  }
  if (i != n) return false;
  Normalize(d);
  ADecimal = d;
  return true;
}

String DecimalText(const TDecimal& D, char ASeparator) {
  String s = D.Negative ? "-" : "";
  s += D.IntPart.empty() ? "0" : D.IntPart;
  if (!D.FracPart.empty()) {
    s += ASeparator;
    s += D.FracPart;
  }
  return s;
}

Integer CompareMagnitude(const TDecimal& A, const TDecimal& B) {
  if (A.IntPart.size() != B.IntPart.size()) {
    return A.IntPart.size() < B.IntPart.size() ? -1 : 1;
  }
  Integer c = A.IntPart.compare(B.IntPart);
  if (c != 0) return c < 0 ? -1 : 1;
  c = A.FracPart.compare(B.FracPart);  // no trailing zeros: prefix is less
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Integer CompareDecimals(const TDecimal& A, const TDecimal& B) {
  if (A.Negative != B.Negative) return A.Negative ? -1 : 1;
  Integer c = CompareMagnitude(A, B);
  return A.Negative ? -c : c;
}

// ---------------------------------------------------------------------------
// The two custom variant kinds
// ---------------------------------------------------------------------------

struct TBcdData : TCustomVariantData {
  explicit TBcdData(const TBcd& ABcd) : Bcd(ABcd) {}
  TBcd Bcd;
};

struct TSQLTimeStampData : TCustomVariantData {
  explicit TSQLTimeStampData(const TSQLTimeStamp& AValue) : Value(AValue) {}
  TSQLTimeStamp Value;
};

class TFMTBcdVariantType : public TCustomVariantType {
  VARNEL_CLASS(TFMTBcdVariantType, TCustomVariantType)
 public:
  String Name() const override { return "FMTBcd"; }
  TVarType CommonType() const override { return varDouble; }

  static const TBcd& BcdOf(const Variant& V) {
    return static_cast<const TBcdData*>(V.CustomData())->Bcd;
  }

  Variant CastTo(const Variant& ASource, TVarType ATarget) const override {
    const TBcd& bcd = BcdOf(ASource);
    TDecimal d = DecimalOf(bcd);
    switch (ATarget) {
      case varString:
        return Variant(DecimalText(d, DecimalSeparator));
      case varOleStr:
        return Variant(
            VarAsType(Variant(DecimalText(d, DecimalSeparator)), varOleStr));
      case varCurrency: {
        Currency c;
        if (!TryStrToCurr(DecimalText(d, '.'), c, DefaultFormatSettings())) {
          OverflowError(VarType(), varCurrency);
        }
        return Variant(c);
      }
      case varInt64:
        if (d.FracPart.empty()) {
          Int64 v;
          if (!TryStrToInt64(DecimalText(d, '.'), v)) {
            OverflowError(VarType(), varInt64);
          }
          return Variant(static_cast<long long>(v));
        }
        break;
      default:
        break;
    }
    return VarAsType(Variant(BcdToDouble(bcd)), ATarget);
  }

  Variant CastFrom(const Variant& ASource) const override {
    TVarType from = ASource.VarType();
    TBcd bcd;
    switch (from) {
      case varString:
      case varOleStr: {
        String text = Trim(ASource.AsString());
        if (DecimalSeparator != '.') {
          std::replace(text.begin(), text.end(), DecimalSeparator, '.');
        }
        TDecimal d;
        if (ParseDecimal(text, d, false) && ::BcdOf(d, bcd)) break;
        Extended e;
        if (!TryStrToFloat(ASource.AsString(), e)) CastError(from, VarType());
        bcd = DoubleToBcd(static_cast<double>(e));
        break;
      }
      case varCurrency:
        bcd = CurrToBcd(ASource.AsCurrency());
        break;
      case varShortInt:
      case varSmallint:
      case varInteger:
      case varByte:
      case varWord:
      case varLongWord:
      case varInt64:
      case varBoolean:
        if (!TryStrToBcd(IntToStr(ASource.AsInt64()), bcd)) {
          OverflowError(from, VarType());
        }
        break;
      default:
        bcd = DoubleToBcd(ASource.AsDouble());
        break;
    }
    return VarFMTBcdCreate(bcd);
  }

  TVariantRelationship Compare(const Variant& A,
                               const Variant& B) const override {
    auto asBcd = [this](const Variant& V) -> TBcd {
      if (V.VarType() == VarType()) return BcdOf(V);
      return BcdOf(VarAsType(V, VarType()));
    };
    Integer c = BcdCompare(asBcd(A), asBcd(B));
    return c < 0 ? vrLessThan : (c > 0 ? vrGreaterThan : vrEqual);
  }
};

class TSQLTimeStampVariantType : public TCustomVariantType {
  VARNEL_CLASS(TSQLTimeStampVariantType, TCustomVariantType)
 public:
  String Name() const override { return "SQLTimeStamp"; }
  TVarType CommonType() const override { return varDate; }

  Variant CastTo(const Variant& ASource, TVarType ATarget) const override {
    const TSQLTimeStamp& ts =
        static_cast<const TSQLTimeStampData*>(ASource.CustomData())->Value;
    return VarAsType(Variant::FromDateTime(SQLTimeStampToDateTime(ts)),
                     ATarget);
  }

  Variant CastFrom(const Variant& ASource) const override {
    return VarSQLTimeStampCreate(
        DateTimeToSQLTimeStamp(VarAsType(ASource, varDate).AsDateTime()));
  }
};

struct TKinds {
  TObjectPtr<TFMTBcdVariantType> Bcd;
  TObjectPtr<TSQLTimeStampVariantType> TimeStamp;
};

TKinds& KindsHeld() {
  // The kinds unregister themselves when they go: the registry of custom
  // kinds must be made first so that it outlives them at process exit.
  FindCustomVariantType(varFirstCustom);
  static TKinds kinds;
  return kinds;
}

// Registered at unit start; made on demand for callers that run earlier.
TKinds& Kinds() {
  TKinds& kinds = KindsHeld();
  if (!kinds.Bcd) kinds.Bcd.reset(new TFMTBcdVariantType());
  if (!kinds.TimeStamp) kinds.TimeStamp.reset(new TSQLTimeStampVariantType());
  return kinds;
}

// ---------------------------------------------------------------------------
// Value type list and unit start
// ---------------------------------------------------------------------------

TObjectPtr<TcxValueTypeClassList>& ValueTypeList() {
  static TObjectPtr<TcxValueTypeClassList> list;
  return list;
}

const TcxValueTypeClass* RegisteredTypes(std::size_t& ACount) {
  static const TcxValueTypeClass types[] = {
      TcxStringValueType::Class(),   TcxWideStringValueType::Class(),
      TcxSmallintValueType::Class(), TcxIntegerValueType::Class(),
      TcxWordValueType::Class(),     TcxBooleanValueType::Class(),
      TcxFloatValueType::Class(),    TcxCurrencyValueType::Class(),
      TcxDateTimeValueType::Class(), TcxLargeIntValueType::Class(),
      TcxFMTBcdValueType::Class(),   TcxSQLTimeStampValueType::Class(),
      TcxVariantValueType::Class(),  TcxObjectValueType::Class()};
  ACount = sizeof(types) / sizeof(types[0]);
  return types;
}

void DataStorageStartup() {
  Kinds();
  std::size_t count;
  const TcxValueTypeClass* types = RegisteredTypes(count);
  for (std::size_t i = 0; i < count; ++i) {
    cxValueTypeClassList()->RegisterItem(types[i]);
  }
}

void DataStorageShutdown() {
  if (TcxValueTypeClassList* list = ValueTypeList().get()) {
    std::size_t count;
    const TcxValueTypeClass* types = RegisteredTypes(count);
    for (std::size_t i = count; i-- > 0;) list->UnregisterItem(types[i]);
  }
  ValueTypeList().reset();
  KindsHeld().TimeStamp.reset();
  KindsHeld().Bcd.reset();
}

}  // namespace

VARNEL_UNIT(cxDataStorage, ({"Variants", "SysUtils", "cxVariants"}),
            &DataStorageStartup, &DataStorageShutdown);

// ---------------------------------------------------------------------------
// Decimal and time-stamp values
// ---------------------------------------------------------------------------

bool TryStrToBcd(const String& AText, TBcd& ABcd) {
  TDecimal d;
  return ParseDecimal(AText, d, false) && BcdOf(d, ABcd);
}

String BcdToStr(const TBcd& ABcd) { return DecimalText(DecimalOf(ABcd), '.'); }

Integer BcdCompare(const TBcd& A, const TBcd& B) {
  return CompareDecimals(DecimalOf(A), DecimalOf(B));
}

TBcd DoubleToBcd(double AValue) {
  if (!std::isfinite(AValue)) OverflowError(varDouble, VarFMTBcd());
  TDecimal d;
  String text = FloatToStr(AValue, DefaultFormatSettings());
  if (!ParseDecimal(text, d, true)) CastError(varDouble, VarFMTBcd());
  // Tiny values keep the places a decimal can hold.
  if (d.FracPart.size() > 63) {
    d.FracPart.resize(63);
    Normalize(d);
  }
  TBcd bcd;
  if (!BcdOf(d, bcd)) OverflowError(varDouble, VarFMTBcd());
  return bcd;
}

double BcdToDouble(const TBcd& ABcd) {
  double value = 0;
  TryStrToFloat(BcdToStr(ABcd), value, DefaultFormatSettings());
  return value;
}

TBcd CurrToBcd(Currency AValue) {
  Int64 scaled = AValue.Value;
  // The magnitude as unsigned, so that the smallest Int64 has one too.
  UInt64 magnitude = scaled < 0 ? 0 - static_cast<UInt64>(scaled)
                                : static_cast<UInt64>(scaled);
  String digits = std::to_string(magnitude);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
  TDecimal d;
  d.Negative = scaled < 0;
  d.IntPart = digits.substr(0, digits.size() - 4);
  d.FracPart = digits.substr(digits.size() - 4);
  TBcd bcd;
  BcdOf(d, bcd);
  return bcd;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& AValue) {
  if (AValue.Year == 0 && AValue.Month == 0 && AValue.Day == 0 &&
      AValue.Hour == 0 && AValue.Minute == 0 && AValue.Second == 0 &&
      AValue.Fractions == 0) {
    return 0;
  }
  TDateTime date, time;
  if (AValue.Year < 1 || AValue.Fractions > 999 ||
      !TryEncodeDate(static_cast<Word>(AValue.Year), AValue.Month, AValue.Day,
                     date) ||
      !TryEncodeTime(AValue.Hour, AValue.Minute, AValue.Second,
                     static_cast<Word>(AValue.Fractions), time)) {
    OverflowError(VarSQLTimeStamp(), varDate);
  }
  // Before 1899-12-30 the time of day counts away from zero.
  return date < 0 ? date - time : date + time;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime AValue) {
  Word year, month, day, hour, minute, second, msec;
  try {
    DecodeDateTime(AValue, year, month, day, hour, minute, second, msec);
  } catch (const EConvertError&) {
    OverflowError(varDate, VarSQLTimeStamp());
  }
  TSQLTimeStamp ts;
  ts.Year = static_cast<Smallint>(year);
  ts.Month = month;
  ts.Day = day;
  ts.Hour = hour;
  ts.Minute = minute;
  ts.Second = second;
  ts.Fractions = msec;
  return ts;
}

TVarType VarFMTBcd() { return Kinds().Bcd->VarType(); }
TVarType VarSQLTimeStamp() { return Kinds().TimeStamp->VarType(); }

Variant VarFMTBcdCreate(const TBcd& ABcd) {
  return Variant::FromCustom(VarFMTBcd(), std::make_shared<TBcdData>(ABcd));
}

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& AValue) {
  return Variant::FromCustom(VarSQLTimeStamp(),
                             std::make_shared<TSQLTimeStampData>(AValue));
}

TBcd VarToBcd(const Variant& V) {
  Variant v = V.VarType() == VarFMTBcd() ? V : VarAsType(V, VarFMTBcd());
  return TFMTBcdVariantType::BcdOf(v);
}

TSQLTimeStamp VarToSQLTimeStamp(const Variant& V) {
  Variant v =
      V.VarType() == VarSQLTimeStamp() ? V : VarAsType(V, VarSQLTimeStamp());
  return static_cast<const TSQLTimeStampData*>(v.CustomData())->Value;
}

// ---------------------------------------------------------------------------
// TcxValueType
// ---------------------------------------------------------------------------

TcxValueTypeClass TcxValueType::Class() {
  static const TcxValueType instance{};
  return &instance;
}

Integer TcxValueType::Compare(const void* ASlot1, const void* ASlot2) const {
  return CompareValues(ASlot1, ASlot2);
}

void TcxValueType::FreeBuffer(void*) const {}

void TcxValueType::FreeTextBuffer(void* ATextSlot) const {
  FreeCell<String>(ATextSlot);
}

Integer TcxValueType::GetDataSize() const { return 0; }

void TcxValueType::GetDataValue(const void*, Variant& V) const { V = Null(); }

void TcxValueType::GetDefaultDisplayText(const void* ASlot, String& S) const {
  try {
    Variant v;
    GetDataValue(ASlot, v);
    S = v.AsString();
  } catch (const EVariantError&) {
    S.clear();
  } catch (const EConvertError&) {
    // A stored date outside the calendar has no text.
    S.clear();
  }
}

void TcxValueType::GetDisplayText(const void* ATextSlot, String& S) const {
  const String* cell = CellOf<String>(ATextSlot);
  S = cell ? *cell : String();
}

void TcxValueType::ReadDataValue(void* ASlot, TStream* AStream) const {
  SetDataValue(ASlot, ReadVariantFunc(AStream));
}

void TcxValueType::ReadDisplayText(void* ATextSlot, TStream* AStream) const {
  SetDisplayText(ATextSlot, ReadStringFunc(AStream));
}

void TcxValueType::SetDataValue(void*, const Variant&) const {}

void TcxValueType::SetDisplayText(void* ATextSlot, const String& S) const {
  EnsureCell<String>(ATextSlot) = S;
}

void TcxValueType::WriteDataValue(const void* ASlot, TStream* AStream) const {
  Variant v;
  GetDataValue(ASlot, v);
  WriteVariantProc(AStream, v);
}

void TcxValueType::WriteDisplayText(const void* ATextSlot,
                                    TStream* AStream) const {
  String s;
  GetDisplayText(ATextSlot, s);
  WriteStringProc(AStream, s);
}

String TcxValueType::Caption() const {
  String name = ClassName();
  if (name.compare(0, 3, "Tcx") == 0) name.erase(0, 3);
  std::size_t at = name.find("ValueType");
  if (at != String::npos) name.erase(at, 9);
  return name;
}

Integer TcxValueType::CompareValues(const void*, const void*) const {
  return 0;
}

void TcxValueType::GetValue(const void* AValue, Variant& V) const {
  GetDataValue(AValue, V);
}

TVarType TcxValueType::GetVarType() const { return varVariant; }

bool TcxValueType::IsValueValid(Variant& V) const {
  if (V.IsNull() || GetVarType() == varVariant) return true;
  try {
    V = VarAsType(V, GetVarType());
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

bool TcxValueType::IsString() const { return false; }

void TcxValueType::PrepareValueBuffer(const void*&) const {}

// ---------------------------------------------------------------------------
// String and WideString
// ---------------------------------------------------------------------------

Integer TcxStringValueType::Compare(const void* ASlot1,
                                    const void* ASlot2) const {
  return CompareValues(CellOf<String>(ASlot1), CellOf<String>(ASlot2));
}

Integer TcxStringValueType::CompareValues(const void* AValue1,
                                          const void* AValue2) const {
  auto a = static_cast<const String*>(AValue1);
  auto b = static_cast<const String*>(AValue2);
  if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
  Integer c = a->compare(*b);  // char_traits<char> compares as unsigned
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TcxStringValueType::FreeBuffer(void* ASlot) const {
  FreeCell<String>(ASlot);
}

Integer TcxStringValueType::GetDataSize() const { return sizeof(void*); }

void TcxStringValueType::GetDataValue(const void* ASlot, Variant& V) const {
  const String* cell = CellOf<String>(ASlot);
  V = cell ? Variant(*cell) : Null();
}

void TcxStringValueType::GetValue(const void* AValue, Variant& V) const {
  GetDataValue(&AValue, V);
}

TVarType TcxStringValueType::GetVarType() const { return varString; }

bool TcxStringValueType::IsString() const { return true; }

void TcxStringValueType::PrepareValueBuffer(const void*& P) const {
  P = CellOf<String>(P);
}

void TcxStringValueType::ReadDataValue(void* ASlot, TStream* AStream) const {
  String s = ReadStringFunc(AStream);
  EnsureCell<String>(ASlot) = std::move(s);
}

void TcxStringValueType::SetDataValue(void* ASlot, const Variant& V) const {
  SetDisplayText(ASlot, V.AsString());
}

void TcxStringValueType::WriteDataValue(const void* ASlot,
                                        TStream* AStream) const {
  const String* cell = CellOf<String>(ASlot);
  WriteStringProc(AStream, cell ? *cell : String());
}

Integer TcxWideStringValueType::CompareValues(const void* AValue1,
                                              const void* AValue2) const {
  auto a = static_cast<const WideString*>(AValue1);
  auto b = static_cast<const WideString*>(AValue2);
  if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
  Integer c = a->compare(*b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TcxWideStringValueType::FreeBuffer(void* ASlot) const {
  FreeCell<WideString>(ASlot);
}

void TcxWideStringValueType::GetDataValue(const void* ASlot, Variant& V) const {
  const WideString* cell = CellOf<WideString>(ASlot);
  V = cell ? Variant(*cell) : Null();
}

TVarType TcxWideStringValueType::GetVarType() const { return varOleStr; }

void TcxWideStringValueType::ReadDataValue(void* ASlot,
                                           TStream* AStream) const {
  WideString s = ReadWideStringFunc(AStream);
  EnsureCell<WideString>(ASlot) = std::move(s);
}

void TcxWideStringValueType::SetDataValue(void* ASlot, const Variant& V) const {
  WideString s = V.AsWideString();
  EnsureCell<WideString>(ASlot) = std::move(s);
}

void TcxWideStringValueType::WriteDataValue(const void* ASlot,
                                            TStream* AStream) const {
  const WideString* cell = CellOf<WideString>(ASlot);
  WriteWideStringProc(AStream, cell ? *cell : WideString());
}

// ---------------------------------------------------------------------------
// Scalars: the traits of each type and the template that serves them all
// ---------------------------------------------------------------------------

struct TcxSmallintSlot {
  using TSlot = Smallint;
  static TVarType VarType() { return varSmallint; }
  static Variant Get(Smallint A) { return Variant(A); }
  static Smallint Set(const Variant& V) {
    return static_cast<Smallint>(V.AsInteger());
  }
  static Integer Compare(Smallint A, Smallint B) { return Integer{A} - B; }
  static Smallint Read(TStream* S) { return ReadSmallIntFunc(S); }
  static void Write(TStream* S, Smallint A) { WriteSmallIntProc(S, A); }
};

struct TcxIntegerSlot {
  using TSlot = Integer;
  static TVarType VarType() { return varInteger; }
  static Variant Get(Integer A) { return Variant(A); }
  static Integer Set(const Variant& V) { return V.AsInteger(); }
  static Integer Compare(Integer A, Integer B) { return Sign(A, B); }
  static Integer Read(TStream* S) { return ReadIntegerFunc(S); }
  static void Write(TStream* S, Integer A) { WriteIntegerProc(S, A); }
};

struct TcxWordSlot {
  using TSlot = Word;
  static TVarType VarType() { return varWord; }
  static Variant Get(Word A) { return Variant(A); }
  static Word Set(const Variant& V) { return static_cast<Word>(V.AsInteger()); }
  static Integer Compare(Word A, Word B) { return Integer{A} - B; }
  static Word Read(TStream* S) { return ReadWordFunc(S); }
  static void Write(TStream* S, Word A) { WriteWordProc(S, A); }
};

// One byte, 0 or 1 as written; any byte but 0 reads as true.
struct TcxBooleanSlot {
  using TSlot = Byte;
  static TVarType VarType() { return varBoolean; }
  static Variant Get(Byte A) { return Variant(A != 0); }
  static Byte Set(const Variant& V) { return V.AsBoolean() ? 1 : 0; }
  static Integer Compare(Byte A, Byte B) {
    return Integer{A != 0} - Integer{B != 0};
  }
  static Byte Read(TStream* S) { return ReadBooleanFunc(S) ? 1 : 0; }
  static void Write(TStream* S, Byte A) { WriteBooleanProc(S, A != 0); }
};

struct TcxFloatSlot {
  using TSlot = double;
  static TVarType VarType() { return varDouble; }
  static Variant Get(double A) { return Variant(A); }
  static double Set(const Variant& V) { return V.AsDouble(); }
  static Integer Compare(double A, double B) { return Sign(A, B); }
  static double Read(TStream* S) {
    return static_cast<double>(ReadFloatFunc(S));
  }
  static void Write(TStream* S, double A) { WriteFloatProc(S, A); }
};

// The scaled integer of the currency.
struct TcxCurrencySlot {
  using TSlot = Int64;
  static TVarType VarType() { return varCurrency; }
  static Variant Get(Int64 A) { return Variant(Currency::FromScaled(A)); }
  static Int64 Set(const Variant& V) { return V.AsCurrency().Value; }
  static Integer Compare(Int64 A, Int64 B) { return Sign(A, B); }
  static Int64 Read(TStream* S) { return ReadCurrencyFunc(S).Value; }
  static void Write(TStream* S, Int64 A) {
    WriteCurrencyProc(S, Currency::FromScaled(A));
  }
};

struct TcxDateTimeSlot {
  using TSlot = double;
  static TVarType VarType() { return varDate; }
  static Variant Get(double A) { return Variant::FromDateTime(A); }
  static double Set(const Variant& V) { return V.AsDateTime(); }
  static Integer Compare(double A, double B) { return Sign(A, B); }
  static double Read(TStream* S) { return ReadDateTimeFunc(S); }
  static void Write(TStream* S, double A) { WriteDateTimeProc(S, A); }
};

struct TcxLargeIntSlot {
  using TSlot = Int64;
  static TVarType VarType() { return varInt64; }
  static Variant Get(Int64 A) { return Variant(static_cast<long long>(A)); }
  static Int64 Set(const Variant& V) { return V.AsInt64(); }
  static Integer Compare(Int64 A, Int64 B) { return Sign(A, B); }
  static Int64 Read(TStream* S) { return ReadLargeIntFunc(S); }
  static void Write(TStream* S, Int64 A) { WriteLargeIntProc(S, A); }
};

struct TcxFMTBcdSlot {
  using TSlot = TBcd;
  static TVarType VarType() { return VarFMTBcd(); }
  static Variant Get(const TBcd& A) { return VarFMTBcdCreate(A); }
  static TBcd Set(const Variant& V) { return VarToBcd(V); }
  static Integer Compare(const TBcd& A, const TBcd& B) {
    return BcdCompare(A, B);
  }
};

struct TcxSQLTimeStampSlot {
  using TSlot = TSQLTimeStamp;
  static TVarType VarType() { return VarSQLTimeStamp(); }
  static Variant Get(const TSQLTimeStamp& A) {
    return Variant::FromDateTime(SQLTimeStampToDateTime(A));
  }
  static TSQLTimeStamp Set(const Variant& V) { return VarToSQLTimeStamp(V); }
  static Integer Compare(const TSQLTimeStamp& A, const TSQLTimeStamp& B) {
    if (A.Year != B.Year) return Integer{A.Year} - B.Year;
    if (A.Month != B.Month) return Integer{A.Month} - B.Month;
    if (A.Day != B.Day) return Integer{A.Day} - B.Day;
    if (A.Hour != B.Hour) return Integer{A.Hour} - B.Hour;
    if (A.Minute != B.Minute) return Integer{A.Minute} - B.Minute;
    if (A.Second != B.Second) return Integer{A.Second} - B.Second;
    // Fractions are 32 bits: their difference may not fit an Integer.
    return Sign(A.Fractions, B.Fractions);
  }
};

template <class TTraits>
Integer TcxScalarValueType<TTraits>::CompareValues(const void* AValue1,
                                                   const void* AValue2) const {
  using TSlot = typename TTraits::TSlot;
  return TTraits::Compare(Load<TSlot>(AValue1), Load<TSlot>(AValue2));
}

template <class TTraits>
Integer TcxScalarValueType<TTraits>::GetDataSize() const {
  return sizeof(typename TTraits::TSlot);
}

template <class TTraits>
void TcxScalarValueType<TTraits>::GetDataValue(const void* ASlot,
                                               Variant& V) const {
  V = TTraits::Get(Load<typename TTraits::TSlot>(ASlot));
}

template <class TTraits>
TVarType TcxScalarValueType<TTraits>::GetVarType() const {
  return TTraits::VarType();
}

template <class TTraits>
void TcxScalarValueType<TTraits>::ReadDataValue(void* ASlot,
                                                TStream* AStream) const {
  if constexpr (requires { TTraits::Read(AStream); }) {
    Store<typename TTraits::TSlot>(ASlot, TTraits::Read(AStream));
  } else {
    TcxValueType::ReadDataValue(ASlot, AStream);
  }
}

template <class TTraits>
void TcxScalarValueType<TTraits>::SetDataValue(void* ASlot,
                                               const Variant& V) const {
  Store<typename TTraits::TSlot>(ASlot, TTraits::Set(V));
}

template <class TTraits>
void TcxScalarValueType<TTraits>::WriteDataValue(const void* ASlot,
                                                 TStream* AStream) const {
  if constexpr (requires { TTraits::Read(AStream); }) {
    TTraits::Write(AStream, Load<typename TTraits::TSlot>(ASlot));
  } else {
    TcxValueType::WriteDataValue(ASlot, AStream);
  }
}

template class TcxScalarValueType<TcxSmallintSlot>;
template class TcxScalarValueType<TcxIntegerSlot>;
template class TcxScalarValueType<TcxWordSlot>;
template class TcxScalarValueType<TcxBooleanSlot>;
template class TcxScalarValueType<TcxFloatSlot>;
template class TcxScalarValueType<TcxCurrencySlot>;
template class TcxScalarValueType<TcxDateTimeSlot>;
template class TcxScalarValueType<TcxLargeIntSlot>;
template class TcxScalarValueType<TcxFMTBcdSlot>;
template class TcxScalarValueType<TcxSQLTimeStampSlot>;

void TcxBooleanValueType::GetDefaultDisplayText(const void* ASlot,
                                                String& S) const {
  S = BoolToStr(Load<Byte>(ASlot) != 0, true);
}

void TcxDateTimeValueType::GetDefaultDisplayText(const void* ASlot,
                                                 String& S) const {
  TDateTime value = Load<double>(ASlot);
  try {
    S = Variant::FromDateTime(value).AsString();
  } catch (const Exception& e) {
    if (!e.Is<EVariantError>() && !e.Is<EConvertError>()) throw;
    // A date the variant conversions refuse may still format; one that
    // cannot (NaN, far outside the calendar) shows as nothing.
    try {
      S = FormatDateTime("", value);
    } catch (const Exception&) {
      S.clear();
    }
  }
}

void TcxFMTBcdValueType::GetDefaultDisplayText(const void* ASlot,
                                               String& S) const {
  TDecimal d = DecimalOf(Load<TBcd>(ASlot));
  S = DecimalText(d, DecimalSeparator);
}

// ---------------------------------------------------------------------------
// Variant and Object
// ---------------------------------------------------------------------------

Integer TcxVariantValueType::Compare(const void* ASlot1,
                                     const void* ASlot2) const {
  return CompareValues(CellOf<Variant>(ASlot1), CellOf<Variant>(ASlot2));
}

Integer TcxVariantValueType::CompareValues(const void* AValue1,
                                           const void* AValue2) const {
  auto a = static_cast<const Variant*>(AValue1);
  auto b = static_cast<const Variant*>(AValue2);
  if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
  return VarCompare(*a, *b);
}

void TcxVariantValueType::FreeBuffer(void* ASlot) const {
  FreeCell<Variant>(ASlot);
}

Integer TcxVariantValueType::GetDataSize() const { return sizeof(void*); }

void TcxVariantValueType::GetDataValue(const void* ASlot, Variant& V) const {
  const Variant* cell = CellOf<Variant>(ASlot);
  V = cell ? *cell : Null();
}

void TcxVariantValueType::GetValue(const void* AValue, Variant& V) const {
  GetDataValue(&AValue, V);
}

void TcxVariantValueType::PrepareValueBuffer(const void*& P) const {
  P = CellOf<Variant>(P);
}

void TcxVariantValueType::SetDataValue(void* ASlot, const Variant& V) const {
  Variant copy(V);
  EnsureCell<Variant>(ASlot) = std::move(copy);
}

Variant cxObjectToVariant(TObject* AObject) {
  auto bits = reinterpret_cast<std::intptr_t>(AObject);
  if constexpr (sizeof(std::intptr_t) <= sizeof(Integer)) {
    return Variant(static_cast<Integer>(bits));
  } else {
    return Variant(static_cast<long long>(bits));
  }
}

TObject* cxVariantToObject(const Variant& V) {
  if constexpr (sizeof(std::intptr_t) <= sizeof(Integer)) {
    return reinterpret_cast<TObject*>(
        static_cast<std::intptr_t>(V.AsInteger()));
  } else {
    return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(V.AsInt64()));
  }
}

Integer TcxObjectValueType::CompareValues(const void* AValue1,
                                          const void* AValue2) const {
  return Sign(reinterpret_cast<std::intptr_t>(Load<TObject*>(AValue1)),
              reinterpret_cast<std::intptr_t>(Load<TObject*>(AValue2)));
}

void TcxObjectValueType::FreeBuffer(void* ASlot) const {
  TObject* object = Load<TObject*>(ASlot);
  Store<TObject*>(ASlot, nullptr);
  Free(object);
}

Integer TcxObjectValueType::GetDataSize() const { return sizeof(TObject*); }

void TcxObjectValueType::GetDataValue(const void* ASlot, Variant& V) const {
  V = cxObjectToVariant(Load<TObject*>(ASlot));
}

void TcxObjectValueType::ReadDataValue(void*, TStream*) const {}

void TcxObjectValueType::SetDataValue(void* ASlot, const Variant& V) const {
  TObject* object = cxVariantToObject(V);
  TObject* old = Load<TObject*>(ASlot);
  if (object == old) return;
  // The slot owns its object: the one replaced goes.
  Store<TObject*>(ASlot, object);
  Free(old);
}

void TcxObjectValueType::WriteDataValue(const void*, TStream*) const {}

bool IsDateTimeValueTypeClass(TcxValueTypeClass AClass) {
  return AClass == TcxDateTimeValueType::Class() ||
         AClass == TcxSQLTimeStampValueType::Class();
}

bool cxValueTypeInheritsFrom(TcxValueTypeClass AClass,
                             TcxValueTypeClass AParent) {
  return AClass && AParent &&
         AClass->ClassType()->InheritsFrom(AParent->ClassType());
}

// ---------------------------------------------------------------------------
// TcxValueTypeClassList
// ---------------------------------------------------------------------------

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass AValueTypeClass) {
  if (!AValueTypeClass) return;
  if (std::find(items_.begin(), items_.end(), AValueTypeClass) ==
      items_.end()) {
    items_.push_back(AValueTypeClass);
  }
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass AValueTypeClass) {
  auto it = std::find(items_.begin(), items_.end(), AValueTypeClass);
  if (it != items_.end()) items_.erase(it);
}

TcxValueTypeClass TcxValueTypeClassList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
  return items_[AIndex];
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(
    const String& ACaption) const {
  for (TcxValueTypeClass item : items_) {
    if (item->Caption() == ACaption) return item;
  }
  return nullptr;
}

TcxValueTypeClassList* cxValueTypeClassList() {
  TObjectPtr<TcxValueTypeClassList>& list = ValueTypeList();
  if (!list) list.reset(new TcxValueTypeClassList());
  return list.get();
}

// ---------------------------------------------------------------------------
// TcxLookupList
// ---------------------------------------------------------------------------

bool TcxLookupList::Find(const Variant& AValue, Integer& AIndex) const {
  Integer low = 0;
  Integer high = Count() - 1;
  while (low <= high) {
    Integer mid = low + (high - low) / 2;
    Integer c = VarCompare(items_[mid].Value, AValue);
    if (c == 0) {
      AIndex = mid;
      return true;
    }
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  AIndex = low;
  return false;
}

void TcxLookupList::Insert(Integer AIndex, const Variant& AValue,
                           const String& ADisplayText) {
  if (AIndex < 0 || AIndex > Count()) ListIndexError(AIndex);
  items_.insert(items_.begin() + AIndex,
                TcxLookupListItem{AValue, ADisplayText});
}

const TcxLookupListItem& TcxLookupList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
  return items_[AIndex];
}

// ---------------------------------------------------------------------------
// TcxValueDef
// ---------------------------------------------------------------------------

TcxValueDef::TcxValueDef(TcxValueDefs* AValueDefs,
                         TcxValueTypeClass AValueTypeClass)
    : valueDefs_(AValueDefs), valueTypeClass_(AValueTypeClass) {
  if (!valueTypeClass_) valueTypeClass_ = TcxValueType::Class();
  dataSize_ = valueTypeClass_->GetDataSize();
}

TcxValueDef::~TcxValueDef() {
  if (valueDefs_) valueDefs_->Detach(this);
}

void TcxValueDef::BeforeDestruction() {
  if (valueDefs_) valueDefs_->Detach(this);
}

bool TcxValueDef::GetStored() const {
  return stored_ || !valueDefs_ || !valueDefs_->DataStorage() ||
         !valueDefs_->DataStorage()->StoredValuesOnly();
}

void TcxValueDef::Assign(TcxValueDef* ASource) {
  if (!ASource) return;
  SetStored(ASource->GetStored());
  SetTextStored(ASource->GetTextStored());
}

bool TcxValueDef::IsNeedConversion() const {
  return valueTypeClass_->IsString();
}

void TcxValueDef::ChangeLayout(const std::function<void()>& AChange) {
  TcxDataStorage* storage = valueDefs_ ? valueDefs_->DataStorage() : nullptr;
  if (!storage) {
    AChange();
    return;
  }
  Integer at = offset_;
  Integer oldSize = valueDefs_->RecordSize();
  Integer oldPart = bufferSize_;
  storage->CutPart(valueDefs_, this);
  AChange();
  Integer offset = at;
  Init(offset);
  storage->InsertPart(storage->BuffersOf(valueDefs_), at, oldSize - oldPart,
                      bufferSize_);
  storage->InitStructure(valueDefs_);
}

void TcxValueDef::SetStored(bool AValue) {
  if (stored_ == AValue) return;
  ChangeLayout([&] { stored_ = AValue; });
  Changed(false);
}

void TcxValueDef::SetTextStored(bool AValue) {
  if (textStored_ == AValue) return;
  ChangeLayout([&] { textStored_ = AValue; });
  if (TcxDataStorage* storage =
          valueDefs_ ? valueDefs_->DataStorage() : nullptr) {
    if (valueDefs_ == storage->ValueDefs()) {
      if (TcxValueDef* internal =
              storage->InternalValueDefs()->FindByLinkObject(this)) {
        internal->SetTextStored(AValue);
      }
    }
  }
  Changed(true);
}

void TcxValueDef::SetValueTypeClass(TcxValueTypeClass AValue) {
  if (!AValue || valueTypeClass_ == AValue) return;
  ChangeLayout([&] { valueTypeClass_ = AValue; });
  if (TcxDataStorage* storage =
          valueDefs_ ? valueDefs_->DataStorage() : nullptr) {
    if (valueDefs_ == storage->ValueDefs()) {
      if (TcxValueDef* internal =
              storage->InternalValueDefs()->FindByLinkObject(this)) {
        internal->SetValueTypeClass(AValue);
      }
    }
  }
  Changed(true);
}

void TcxValueDef::Changed(bool AResyncNeeded) {
  if (valueDefs_) valueDefs_->Changed(this, AResyncNeeded);
}

void TcxValueDef::Init(Integer& AOffset) {
  dataSize_ = valueTypeClass_->GetDataSize();
  offset_ = AOffset;
  if (GetStored()) {
    bufferSize_ =
        1 + dataSize_ + (GetTextStored() ? Integer{sizeof(void*)} : 0);
    AOffset += bufferSize_;
  } else {
    bufferSize_ = 0;
  }
}

void TcxValueDef::SetNull(Byte* AFlagSlot, bool AIsNull) {
  if (AIsNull) {
    if (*AFlagSlot != 0) {
      valueTypeClass_->FreeBuffer(AFlagSlot + 1);
      std::memset(AFlagSlot + 1, 0, dataSize_);
    }
    *AFlagSlot = 0;
  } else {
    *AFlagSlot = 1;
  }
}

void TcxValueDef::GetDataValue(const Byte* ABuffer, Variant& V) const {
  if (IsNullValueEx(ABuffer, offset_)) {
    V = Null();
  } else {
    valueTypeClass_->GetDataValue(DataSlot(ABuffer), V);
  }
}

void TcxValueDef::SetDataValue(Byte* ABuffer, const Variant& V) {
  if (V.IsNull()) {
    SetNull(ABuffer + offset_, true);
    return;
  }
  // The flag follows a successful store, so a refused value leaves the
  // field as it was.
  valueTypeClass_->SetDataValue(DataSlot(ABuffer), V);
  ABuffer[offset_] = 1;
}

void TcxValueDef::GetDisplayText(const Byte* ABuffer, String& S) const {
  if (GetTextStored()) {
    if (ABuffer) {
      valueTypeClass_->GetDisplayText(TextSlot(ABuffer), S);
    } else {
      S.clear();
    }
  } else if (IsNullValueEx(ABuffer, offset_)) {
    S.clear();
  } else {
    valueTypeClass_->GetDefaultDisplayText(DataSlot(ABuffer), S);
  }
}

void TcxValueDef::SetDisplayText(Byte* ABuffer, const String& S) {
  if (GetTextStored()) valueTypeClass_->SetDisplayText(TextSlot(ABuffer), S);
}

Integer TcxValueDef::Compare(const Byte* ABuffer1, const Byte* ABuffer2) const {
  bool null1 = IsNullValueEx(ABuffer1, offset_);
  bool null2 = IsNullValueEx(ABuffer2, offset_);
  if (null1 || null2) return Integer{null2} - Integer{null1};
  return valueTypeClass_->Compare(DataSlot(ABuffer1), DataSlot(ABuffer2));
}

Integer TcxValueDef::CompareValues(bool AIsNull1, bool AIsNull2,
                                   const void* AValue1,
                                   const void* AValue2) const {
  if (AIsNull1 || AIsNull2) return Integer{AIsNull2} - Integer{AIsNull1};
  return valueTypeClass_->CompareValues(AValue1, AValue2);
}

void TcxValueDef::FreeBuffer(Byte* ABuffer) {
  if (!ABuffer || bufferSize_ == 0) return;
  // A Null value's bytes are zero, so freeing them is harmless.
  valueTypeClass_->FreeBuffer(DataSlot(ABuffer));
  if (bufferSize_ > 1 + dataSize_) {
    valueTypeClass_->FreeTextBuffer(TextSlot(ABuffer));
  }
}

void TcxValueDef::ReadDataValue(Byte* ABuffer, TStream* AStream) {
  bool isNull = ReadBooleanFunc(AStream);
  if (isNull) {
    SetNull(ABuffer + offset_, true);
  } else {
    valueTypeClass_->ReadDataValue(DataSlot(ABuffer), AStream);
    ABuffer[offset_] = 1;
  }
}

void TcxValueDef::WriteDataValue(const Byte* ABuffer, TStream* AStream) const {
  bool isNull = IsNullValueEx(ABuffer, offset_);
  WriteBooleanProc(AStream, isNull);
  if (!isNull) valueTypeClass_->WriteDataValue(DataSlot(ABuffer), AStream);
}

void TcxValueDef::ReadDisplayText(Byte* ABuffer, TStream* AStream) {
  if (GetTextStored()) {
    valueTypeClass_->ReadDisplayText(TextSlot(ABuffer), AStream);
  }
}

void TcxValueDef::WriteDisplayText(const Byte* ABuffer,
                                   TStream* AStream) const {
  if (GetTextStored()) {
    valueTypeClass_->WriteDisplayText(TextSlot(ABuffer), AStream);
  }
}

TObject* TcxInternalValueDef::GetLinkObject() const {
  TcxValueDef* main = GetValueDef();
  return main ? main->GetLinkObject() : nullptr;
}

TcxValueDef* TcxInternalValueDef::GetValueDef() const {
  return static_cast<TcxValueDef*>(TcxValueDef::GetLinkObject());
}

// ---------------------------------------------------------------------------
// TcxValueDefs
// ---------------------------------------------------------------------------

TcxValueDefs::TcxValueDefs(TcxDataStorage* ADataStorage)
    : dataStorage_(ADataStorage) {
  if (dataStorage_) dataStorage_->InitStructure(this);
}

TcxValueDefs::~TcxValueDefs() { Clear(); }

TObjectPtr<TcxValueDef> TcxValueDefs::CreateValueDef(
    TcxValueTypeClass AValueTypeClass) {
  return TObjectPtr<TcxValueDef>(new TcxValueDef(this, AValueTypeClass));
}

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass AValueTypeClass, bool AStored,
                               bool ATextStored, TObject* ALinkObject) {
  TObjectPtr<TcxValueDef> def = CreateValueDef(AValueTypeClass);
  def->SetLinkObject(ALinkObject);
  def->stored_ = AStored;
  def->textStored_ = ATextStored;
  Integer offset = 0;
  def->Init(offset);
  if (dataStorage_) dataStorage_->InsertValueDef(Count(), def.get());
  items_.Adopt(def.get());
  TcxValueDef* result = def.release();
  if (dataStorage_) {
    dataStorage_->InitStructure(this);
  } else {
    Prepare(recordOffset_);
  }
  return result;
}

void TcxValueDefs::Detach(TcxValueDef* AValueDef) {
  auto it = std::find(items_.begin(), items_.end(), AValueDef);
  if (it == items_.end()) return;
  if (dataStorage_) dataStorage_->RemoveValueDef(AValueDef);
  // The storage may have changed the list while freeing a linked definition.
  items_.Extract(AValueDef);
  AValueDef->valueDefs_ = nullptr;
  if (dataStorage_) {
    auto& streaming = dataStorage_->streamingList_;
    streaming.erase(std::remove(streaming.begin(), streaming.end(), AValueDef),
                    streaming.end());
    dataStorage_->InitStructure(this);
  } else {
    Prepare(recordOffset_);
  }
}

void TcxValueDefs::Remove(TcxValueDef* AValueDef) {
  if (std::find(items_.begin(), items_.end(), AValueDef) == items_.end()) {
    return;
  }
  Detach(AValueDef);
  Free(AValueDef);
}

void TcxValueDefs::Clear() {
  while (!items_.empty()) Remove(items_.back());
}

TcxValueDef* TcxValueDefs::Items(Integer AIndex) const {
  if (dataStorage_ && dataStorage_->streaming_ &&
      this == dataStorage_->ValueDefs()) {
    const auto& list = dataStorage_->streamingList_;
    if (AIndex < 0 || AIndex >= static_cast<Integer>(list.size())) {
      ListIndexError(AIndex);
    }
    return list[AIndex];
  }
  if (AIndex < 0 || AIndex >= Count()) ListIndexError(AIndex);
  return items_[AIndex];
}

Integer TcxValueDefs::IndexOf(const TcxValueDef* AValueDef) const {
  auto it = std::find(items_.begin(), items_.end(), AValueDef);
  return it == items_.end() ? -1 : static_cast<Integer>(it - items_.begin());
}

Integer TcxValueDefs::StoredCount() const {
  return static_cast<Integer>(
      std::count_if(items_.begin(), items_.end(),
                    [](const TcxValueDef* def) { return def->GetStored(); }));
}

void TcxValueDefs::Changed(TcxValueDef* AValueDef, bool AResyncNeeded) {
  if (dataStorage_) dataStorage_->ValueDefsChanged(AValueDef, AResyncNeeded);
}

void TcxValueDefs::Prepare(Integer ARecordOffset) {
  recordOffset_ = ARecordOffset;
  Integer offset = ARecordOffset;
  for (TcxValueDef* def : items_) def->Init(offset);
  recordSize_ = offset;
}

TcxInternalValueDef* TcxInternalValueDefs::FindByLinkObject(
    const TObject* AObject) const {
  for (Integer i = Count() - 1; i >= 0; --i) {
    auto def = static_cast<TcxInternalValueDef*>(Items(i));
    if (def->TcxValueDef::GetLinkObject() == AObject) return def;
  }
  return nullptr;
}

void TcxInternalValueDefs::RemoveByLinkObject(const TObject* AObject) {
  if (TcxInternalValueDef* def = FindByLinkObject(AObject)) Remove(def);
}

TObjectPtr<TcxValueDef> TcxInternalValueDefs::CreateValueDef(
    TcxValueTypeClass AValueTypeClass) {
  return TObjectPtr<TcxInternalValueDef>(
      new TcxInternalValueDef(this, AValueTypeClass));
}

String TcxValueDefReader::GetDisplayText(TcxValueDef*) { return String(); }
Variant TcxValueDefReader::GetValue(TcxValueDef*) { return Null(); }
bool TcxValueDefReader::IsInternal(TcxValueDef*) { return false; }

// ---------------------------------------------------------------------------
// TcxDataStorage
// ---------------------------------------------------------------------------

TcxDataStorage::TcxDataStorage() {
  internalValueDefs_.reset(new TcxInternalValueDefs(this));
  valueDefs_.reset(new TcxValueDefs(this));
}

TcxDataStorage::~TcxDataStorage() {
  destroying_ = true;
  Clear(false);
  // The main definitions first: each takes its internal one along.
  valueDefs_.reset();
  internalValueDefs_.reset();
}

void TcxDataStorage::BeforeDestruction() { destroying_ = true; }

std::vector<TcxDataStorage::TBuffer>& TcxDataStorage::BuffersOf(
    TcxValueDefs* AValueDefs) {
  return AValueDefs == internalValueDefs_.get() ? internalRecords_ : records_;
}

TcxDataStorage::TBuffer TcxDataStorage::NewBuffer(
    TcxValueDefs* AValueDefs) const {
  Integer size = std::max<Integer>(AValueDefs->RecordSize(), RecordOffset());
  return TBuffer(new Byte[size]());
}

void TcxDataStorage::FreeRecordBuffer(TcxValueDefs* AValueDefs,
                                      TBuffer& ABuffer) {
  if (!ABuffer) return;
  for (TcxValueDef* def : AValueDefs->items_) def->FreeBuffer(ABuffer.get());
  ABuffer.reset();
}

void TcxDataStorage::InsertPart(std::vector<TBuffer>& ABuffers, Integer AAt,
                                Integer AOldSize, Integer AAdded) {
  if (AAdded == 0) return;
  for (TBuffer& buffer : ABuffers) {
    if (!buffer) continue;
    TBuffer grown(new Byte[AOldSize + AAdded]());
    std::memcpy(grown.get(), buffer.get(), AAt);
    std::memcpy(grown.get() + AAt + AAdded, buffer.get() + AAt, AOldSize - AAt);
    buffer = std::move(grown);
  }
}

void TcxDataStorage::CutPart(TcxValueDefs* AValueDefs, TcxValueDef* AValueDef) {
  Integer removed = AValueDef->BufferSize();
  if (removed == 0) return;
  Integer oldSize = AValueDefs->RecordSize();
  Integer at = AValueDef->Offset();
  bool lastStored = AValueDefs->StoredCount() == 1;
  bool internal = AValueDefs == internalValueDefs_.get();
  for (TBuffer& buffer : BuffersOf(AValueDefs)) {
    if (!buffer) continue;
    AValueDef->FreeBuffer(buffer.get());
    // Without values a buffer goes whole, unless it still carries a record
    // ID or marks an internal record in use.
    bool keep = internal ? (buffer[0] & 1) != 0 : useRecordID_;
    if (lastStored && !keep) {
      buffer.reset();
      continue;
    }
    TBuffer shrunk(new Byte[oldSize - removed]());
    std::memcpy(shrunk.get(), buffer.get(), at);
    std::memcpy(shrunk.get() + at, buffer.get() + at + removed,
                oldSize - at - removed);
    buffer = std::move(shrunk);
  }
}

void TcxDataStorage::InsertValueDef(Integer AIndex, TcxValueDef* AValueDef) {
  TcxValueDefs* defs = AValueDef->ValueDefs();
  if (defs == valueDefs_.get()) {
    internalValueDefs_->Add(AValueDef->ValueTypeClass(), true,
                            AValueDef->textStored_, AValueDef);
  }
  Integer at = AIndex < defs->Count() ? defs->items_[AIndex]->Offset()
                                      : defs->RecordSize();
  InsertPart(BuffersOf(defs), at, defs->RecordSize(), AValueDef->BufferSize());
}

void TcxDataStorage::RemoveValueDef(TcxValueDef* AValueDef) {
  TcxValueDefs* defs = AValueDef->ValueDefs();
  if (defs == valueDefs_.get()) {
    internalValueDefs_->RemoveByLinkObject(AValueDef);
  }
  CutPart(defs, AValueDef);
}

TcxDataStorage::TBuffer& TcxDataStorage::Slot(Integer ARecordIndex) {
  if (ARecordIndex >= 0) {
    if (ARecordIndex >= RecordCount()) ListIndexError(ARecordIndex);
    return records_[ARecordIndex];
  }
  Integer entry = ~ARecordIndex;
  if (entry >= InternalRecordCount()) ListIndexError(ARecordIndex);
  return internalRecords_[entry];
}

Byte* TcxDataStorage::Buffer(Integer ARecordIndex) {
  return Slot(ARecordIndex).get();
}

Byte* TcxDataStorage::CheckBuffer(Integer ARecordIndex) {
  TBuffer& slot = Slot(ARecordIndex);
  if (!slot) slot = NewBuffer(ValueDefsByRecordIndex(ARecordIndex));
  return slot.get();
}

bool TcxDataStorage::HasRecordBuffer(Integer ARecordIndex) const {
  return const_cast<TcxDataStorage*>(this)->Slot(ARecordIndex) != nullptr;
}

TcxValueDef* TcxDataStorage::CheckValueDef(Integer ARecordIndex,
                                           TcxValueDef* AValueDef) {
  if (!AValueDef) return nullptr;
  TcxValueDefs* defs = AValueDef->ValueDefs();
  TcxValueDef* def = nullptr;
  if (defs == valueDefs_.get()) {
    def = ARecordIndex < 0 ? internalValueDefs_->FindByLinkObject(AValueDef)
                           : AValueDef;
  } else if (defs == internalValueDefs_.get()) {
    def = ARecordIndex < 0
              ? AValueDef
              : static_cast<TcxInternalValueDef*>(AValueDef)->GetValueDef();
  }
  // A definition without bytes in the buffer has nothing to read or write.
  return def && def->BufferSize() > 0 ? def : nullptr;
}

void TcxDataStorage::AssignRecordID(Integer ARecordIndex) {
  if (!useRecordID_) return;
  Byte* buffer = CheckBuffer(ARecordIndex);
  if (Load<Integer>(buffer + 1) != 0) return;
  Store<Integer>(buffer + 1, recordIDCounter_);
  // At the top of the range the counter stays rather than wrap.
  if (recordIDCounter_ < INT32_MAX) ++recordIDCounter_;
}

void TcxDataStorage::CheckRecordIDCounter() {
  if (records_.empty()) recordIDCounter_ = 1;
}

void TcxDataStorage::SetRecordCount(Integer ACount) {
  ACount = std::max(ACount, 0);
  if (ACount > RecordCount()) records_.reserve(ACount);
  while (RecordCount() < ACount) AppendRecord();
  while (RecordCount() > ACount) DeleteRecord(RecordCount() - 1);
}

Integer TcxDataStorage::AppendRecord() {
  records_.emplace_back();
  Integer index = RecordCount() - 1;
  AssignRecordID(index);
  return index;
}

void TcxDataStorage::InsertRecord(Integer AIndex) {
  if (AIndex < 0 || AIndex > RecordCount()) ListIndexError(AIndex);
  records_.emplace(records_.begin() + AIndex);
  AssignRecordID(AIndex);
}

void TcxDataStorage::DeleteRecord(Integer AIndex) {
  if (AIndex < 0) {
    DeleteInternalRecord(AIndex);
    return;
  }
  FreeRecordBuffer(valueDefs_.get(), Slot(AIndex));
  records_.erase(records_.begin() + AIndex);
  CheckRecordIDCounter();
}

Integer TcxDataStorage::AddInternalRecord() {
  Integer entry = 0;
  while (entry < InternalRecordCount() && internalRecords_[entry] &&
         (internalRecords_[entry][0] & 1) != 0) {
    ++entry;
  }
  if (entry == InternalRecordCount()) internalRecords_.emplace_back();
  TBuffer& slot = internalRecords_[entry];
  // An entry not in use may still hold values set since; start afresh.
  FreeRecordBuffer(internalValueDefs_.get(), slot);
  slot = NewBuffer(internalValueDefs_.get());
  slot[0] |= 1;
  return ~entry;
}

void TcxDataStorage::DeleteInternalRecord(Integer AIndex) {
  if (AIndex >= 0) ListIndexError(AIndex);
  FreeRecordBuffer(internalValueDefs_.get(), Slot(AIndex));
}

void TcxDataStorage::Clear(bool AKeepInternalRecords) {
  if (!AKeepInternalRecords) ClearInternalRecords();
  ClearRecords(true);
}

void TcxDataStorage::ClearInternalRecords() {
  for (TBuffer& buffer : internalRecords_) {
    FreeRecordBuffer(internalValueDefs_.get(), buffer);
  }
  internalRecords_.clear();
  if (!destroying_) OnClearInternalRecords(this);
}

void TcxDataStorage::FreeAllRecordBuffers() {
  for (TBuffer& buffer : records_) FreeRecordBuffer(valueDefs_.get(), buffer);
}

void TcxDataStorage::AssignRecordIDs() {
  CheckRecordIDCounter();
  for (Integer i = 0; i < RecordCount(); ++i) AssignRecordID(i);
}

void TcxDataStorage::ClearRecords(bool ADeleteRecords) {
  FreeAllRecordBuffers();
  if (ADeleteRecords) records_.clear();
  AssignRecordIDs();
}

Variant TcxDataStorage::GetValue(Integer ARecordIndex, TcxValueDef* AValueDef) {
  Variant v = Null();
  Byte* buffer = Buffer(ARecordIndex);
  TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  if (buffer && def) def->GetDataValue(buffer, v);
  return v;
}

void TcxDataStorage::SetValue(Integer ARecordIndex, TcxValueDef* AValueDef,
                              const Variant& AValue) {
  Byte* buffer = CheckBuffer(ARecordIndex);
  if (TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef)) {
    def->SetDataValue(buffer, AValue);
  }
}

String TcxDataStorage::GetDisplayText(Integer ARecordIndex,
                                      TcxValueDef* AValueDef) {
  String s;
  Byte* buffer = Buffer(ARecordIndex);
  TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  if (buffer && def) def->GetDisplayText(buffer, s);
  return s;
}

void TcxDataStorage::SetDisplayText(Integer ARecordIndex,
                                    TcxValueDef* AValueDef,
                                    const String& AText) {
  Byte* buffer = CheckBuffer(ARecordIndex);
  if (TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef)) {
    def->SetDisplayText(buffer, AText);
  }
}

Integer TcxDataStorage::CompareRecords(Integer ARecordIndex1,
                                       Integer ARecordIndex2,
                                       TcxValueDef* AValueDef) {
  // Through the value pointers, so that a main and an internal record (laid
  // out by different definitions) compare too.
  const void* p1 = nullptr;
  const void* p2 = nullptr;
  bool null1 = GetCompareInfo(ARecordIndex1, AValueDef, p1);
  bool null2 = GetCompareInfo(ARecordIndex2, AValueDef, p2);
  if (null1 || null2) return Integer{null2} - Integer{null1};
  return AValueDef->ValueTypeClass()->CompareValues(p1, p2);
}

bool TcxDataStorage::GetCompareInfo(Integer ARecordIndex,
                                    TcxValueDef* AValueDef,
                                    const void*& AValue) {
  Byte* buffer = Buffer(ARecordIndex);
  TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  if (!def || def->IsNullValueEx(buffer, def->Offset())) return true;
  const void* p = def->DataSlot(buffer);
  def->ValueTypeClass()->PrepareValueBuffer(p);
  AValue = p;
  return false;
}

Integer TcxDataStorage::GetRecordID(Integer ARecordIndex) {
  Byte* buffer = CheckBuffer(ARecordIndex);
  return useRecordID_ ? Load<Integer>(buffer + 1) : 0;
}

void TcxDataStorage::SetRecordID(Integer ARecordIndex, Integer AID) {
  Byte* buffer = CheckBuffer(ARecordIndex);
  if (useRecordID_) Store<Integer>(buffer + 1, AID);
}

void TcxDataStorage::ReadRecord(Integer ARecordIndex,
                                TcxValueDefReader* AReader) {
  Byte* buffer = CheckBuffer(ARecordIndex);
  TcxValueDefs* defs = ValueDefsByRecordIndex(ARecordIndex);
  for (TcxValueDef* def : defs->items_.Snapshot()) {
    if (AReader->IsInternal(def) || def->BufferSize() == 0) continue;
    def->SetDataValue(buffer, AReader->GetValue(def));
    if (def->GetTextStored()) {
      def->SetDisplayText(buffer, AReader->GetDisplayText(def));
    }
  }
}

void TcxDataStorage::ReadRecordFrom(Integer AFromRecordIndex,
                                    Integer AToRecordIndex,
                                    TcxValueDefReader* AReader,
                                    const TcxValueDefSetProc& ASetProc) {
  TcxValueDefs* defs = ValueDefsByRecordIndex(AFromRecordIndex);
  for (TcxValueDef* def : defs->items_.Snapshot()) {
    ASetProc(def, AFromRecordIndex, AToRecordIndex, AReader);
  }
}

std::vector<TcxValueDef*> TcxDataStorage::StreamedValueDefs() const {
  std::vector<TcxValueDef*> result;
  for (TcxValueDef* def :
       streaming_ ? streamingList_ : valueDefs_->items_.Snapshot()) {
    // A definition without bytes in the buffer has nothing to stream.
    if (def->StreamStored() && def->BufferSize() > 0) result.push_back(def);
  }
  return result;
}

void TcxDataStorage::WriteData(Integer ARecordIndex, TStream* AStream) {
  if (ARecordIndex < 0) ListIndexError(ARecordIndex);
  const Byte* buffer = Buffer(ARecordIndex);
  WriteBooleanProc(AStream, buffer == nullptr);
  if (!buffer) return;
  if (useRecordID_) WriteIntegerProc(AStream, Load<Integer>(buffer + 1));
  for (TcxValueDef* def : StreamedValueDefs()) {
    def->WriteDataValue(buffer, AStream);
    def->WriteDisplayText(buffer, AStream);
  }
}

void TcxDataStorage::ReadData(Integer ARecordIndex, TStream* AStream) {
  if (ARecordIndex < 0) ListIndexError(ARecordIndex);
  TBuffer& slot = Slot(ARecordIndex);
  if (ReadBooleanFunc(AStream)) {
    FreeRecordBuffer(valueDefs_.get(), slot);
    return;
  }
  // The record is read whole into a buffer of its own first: a stream that
  // ends early or holds a value the field cannot take changes nothing.
  TcxValueDefs* defs = valueDefs_.get();
  std::vector<TcxValueDef*> streamed = StreamedValueDefs();
  TBuffer incoming = NewBuffer(defs);
  TBuffer fresh = slot ? TBuffer() : NewBuffer(defs);
  Integer id = 0;
  {
    TScopeGuard dropIncoming([&] { FreeRecordBuffer(defs, incoming); });
    try {
      if (useRecordID_) id = ReadIntegerFunc(AStream);
      for (TcxValueDef* def : streamed) {
        def->ReadDataValue(incoming.get(), AStream);
        def->ReadDisplayText(incoming.get(), AStream);
      }
    } catch (const EReadError&) {
      throw;
    } catch (const Exception&) {
      // A value the field cannot take is a broken stream to the caller.
      throw EReadError(SReadError);
    }
    dropIncoming.Dismiss();
  }
  if (fresh) slot = std::move(fresh);
  Byte* target = slot.get();
  for (TcxValueDef* def : streamed) {
    Byte* from = incoming.get() + def->Offset();
    Byte* to = target + def->Offset();
    TcxValueTypeClass type = def->ValueTypeClass();
    if (cxValueTypeInheritsFrom(type, TcxObjectValueType::Class())) {
      // Only the null flag travels: a present object stays where it is.
      def->SetNull(to, from[0] == 0);
      if (def->GetTextStored()) {
        type->FreeTextBuffer(def->TextSlot(target));
        std::memcpy(def->TextSlot(target), def->TextSlot(incoming.get()),
                    sizeof(void*));
        std::memset(def->TextSlot(incoming.get()), 0, sizeof(void*));
      }
      continue;
    }
    def->FreeBuffer(target);
    std::memcpy(to, from, def->BufferSize());
    std::memset(from, 0, def->BufferSize());
  }
  if (useRecordID_) {
    Store<Integer>(target + 1, id);
    if (id >= recordIDCounter_) {
      recordIDCounter_ = id < INT32_MAX ? id + 1 : INT32_MAX;
    }
  }
}

void TcxDataStorage::BeginStreaming(
    const TcxValueDefCompareFunc& ACompareFunc) {
  const auto& items = valueDefs_->items_;
  std::vector<Integer> order(items.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<Integer>(i);
  }
  if (ACompareFunc) {
    classlib_detail::StableSort(order, [&](Integer a, Integer b) {
      return ACompareFunc(items[a], items[b]) < 0;
    });
  }
  streamingList_.clear();
  for (Integer i : order) streamingList_.push_back(items[i]);
  streaming_ = true;
}

void TcxDataStorage::EndStreaming() {
  streamingList_.clear();
  streaming_ = false;
}

void TcxDataStorage::BeginLoad() { CheckStructure(); }
void TcxDataStorage::EndLoad() {}
void TcxDataStorage::CheckStructure() {}

void TcxDataStorage::SetStoredValuesOnly(bool AValue) {
  if (storedValuesOnly_ == AValue) return;
  // The buffers go before the layout changes and IDs come back after, so
  // that no buffer is ever read with a layout it was not made for.
  FreeAllRecordBuffers();
  storedValuesOnly_ = AValue;
  InitStructure(valueDefs_.get());
  AssignRecordIDs();
}

void TcxDataStorage::SetUseRecordID(bool AValue) {
  if (useRecordID_ == AValue) return;
  FreeAllRecordBuffers();
  // The internal records keep their values: only the ID bytes come or go.
  Integer internalSize = internalValueDefs_->RecordSize();
  if (AValue) {
    InsertPart(internalRecords_, 1, internalSize, 4);
  } else {
    for (TBuffer& buffer : internalRecords_) {
      if (!buffer) continue;
      TBuffer shrunk(new Byte[internalSize - 4]());
      shrunk[0] = buffer[0];
      std::memcpy(shrunk.get() + 1, buffer.get() + 5, internalSize - 5);
      buffer = std::move(shrunk);
    }
  }
  useRecordID_ = AValue;
  InitStructure(internalValueDefs_.get());
  InitStructure(valueDefs_.get());
  AssignRecordIDs();
}

TcxValueDefs* TcxDataStorage::ValueDefsByRecordIndex(Integer ARecordIndex) {
  return ARecordIndex < 0 ? static_cast<TcxValueDefs*>(internalValueDefs_.get())
                          : valueDefs_.get();
}

void TcxDataStorage::InitStructure(TcxValueDefs* AValueDefs) {
  AValueDefs->Prepare(RecordOffset());
}

void TcxDataStorage::ValueDefsChanged(TcxValueDef*, bool) {}
