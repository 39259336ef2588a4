#include "Variants.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>

#include "Platform.h"
#include "SysConst.h"
#include "SysUtils.h"

namespace {
// Not among the shared message texts yet.
constexpr const char* SVarOverflow = "Variant overflow";
constexpr const char* SVarTypeTooManyCustom =
    "Too many custom variant types have been registered";

// Dates converted from numbers keep within the last day of 9999 on either
// side of 1899-12-30: wide enough for the editors' null date (-700000),
// narrow enough that the date routines never see a runaway value.
constexpr double kMaxDateMagnitude = 2958466.0;

// Keeps one array allocation far below what a 32-bit process can give.
constexpr std::size_t kMaxArrayBytes = 256u * 1024u * 1024u;
}  // namespace

struct TVarArrayData {
  TVarType elementType = varVariant;
  struct Bound {
    Integer low;
    Integer count;
  };
  std::vector<Bound> bounds;
  std::vector<Variant> items;  // first dimension varies fastest
};

// Raw construction of values inside this unit.
struct VariantAccess {
  static Variant Int(TVarType t, Int64 v) {
    Variant r;
    r.type_ = t;
    r.int_ = v;
    return r;
  }
  static Variant Dbl(TVarType t, double v) {
    Variant r;
    r.type_ = t;
    r.dbl_ = v;
    return r;
  }
  static Variant Str(String s) {
    Variant r;
    r.type_ = varString;
    r.str_ = std::move(s);
    return r;
  }
  static Variant Wide(WideString s) {
    Variant r;
    r.type_ = varOleStr;
    r.wstr_ = std::move(s);
    return r;
  }
  static Variant Bool(bool b) { return Int(varBoolean, b ? 1 : 0); }
  static Variant Cur(Int64 scaled) { return Int(varCurrency, scaled); }
  static Int64 IntOf(const Variant& v) { return v.int_; }
  static double DblOf(const Variant& v) { return v.dbl_; }
  static const String& StrOf(const Variant& v) { return v.str_; }
  static const WideString& WideOf(const Variant& v) { return v.wstr_; }
  static TVarArrayData* ArrayOf(const Variant& v) { return v.array_.get(); }
  static Variant Array(std::unique_ptr<TVarArrayData> data) {
    Variant r;
    r.type_ = static_cast<TVarType>(varArray | data->elementType);
    r.array_ = std::move(data);
    return r;
  }
  static Variant Custom(TVarType t,
                        std::shared_ptr<const TCustomVariantData> data) {
    Variant r;
    r.type_ = t;
    r.custom_ = std::move(data);
    return r;
  }
};

namespace {

using VA = VariantAccess;

// ---------------------------------------------------------------------------
// Classification
// ---------------------------------------------------------------------------

enum class Kind {
  Empty,
  Null,
  Ord,
  Bool,
  Float,
  Cur,
  Date,
  Str,
  Custom,
  Array,
  Other
};

Kind KindOf(TVarType t) {
  if (t & varArray) return Kind::Array;
  if (VarTypeIsInteger(t)) return Kind::Ord;
  switch (t) {
    case varEmpty:
      return Kind::Empty;
    case varNull:
      return Kind::Null;
    case varBoolean:
      return Kind::Bool;
    case varSingle:
    case varDouble:
      return Kind::Float;
    case varCurrency:
      return Kind::Cur;
    case varDate:
      return Kind::Date;
    case varString:
    case varOleStr:
      return Kind::Str;
    default:
      break;
  }
  if (FindCustomVariantType(t)) return Kind::Custom;
  return Kind::Other;
}

struct IntRange {
  Int64 lo;
  Int64 hi;
};

IntRange RangeOf(TVarType t) {
  switch (t) {
    case varShortInt:
      return {-128, 127};
    case varByte:
      return {0, 255};
    case varSmallint:
      return {-32768, 32767};
    case varWord:
      return {0, 65535};
    case varInteger:
      return {INT32_MIN, INT32_MAX};
    case varLongWord:
      return {0, UINT32_MAX};
    default:
      return {INT64_MIN, INT64_MAX};
  }
}

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError(SVarTypeCouldNotConvert,
                              {VarTypeAsText(from), VarTypeAsText(to)});
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError(SVarTypeConvertOverflow,
                              {VarTypeAsText(from), VarTypeAsText(to)});
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError(SInvalidVarOp); }
[[noreturn]] void ArithOverflow() { throw EVariantOverflowError(SVarOverflow); }
[[noreturn]] void NotAnArray() { throw EVariantNotAnArrayError(SVarNotArray); }

// ---------------------------------------------------------------------------
// ANSI <-> wide text
// ---------------------------------------------------------------------------

// Text crosses between the two string kinds through the system code page.
WideString AnsiToWide(const String& s) { return Platform::AnsiToWide(s); }
String WideToAnsi(const WideString& w) { return Platform::WideToAnsi(w); }

// ---------------------------------------------------------------------------
// Conversions of simple values
// ---------------------------------------------------------------------------

const TCustomVariantType& CustomTypeOf(const Variant& v) {
  const TCustomVariantType* t = FindCustomVariantType(v.VarType());
  if (!t) throw EVariantBadVarTypeError(SVarBadType);
  return *t;
}

// A custom value as the simple type its kind stands for.
Variant CustomToCommon(const Variant& v) {
  const TCustomVariantType& t = CustomTypeOf(v);
  return t.CastTo(v, t.CommonType());
}

Variant CustomToSimple(const Variant& v, TVarType target) {
  Variant r = CustomTypeOf(v).CastTo(v, target);
  if (r.VarType() != target) CastError(v.VarType(), target);
  return r;
}

String StringOf(const Variant& v) {
  return v.VarType() == varOleStr ? WideToAnsi(VA::WideOf(v)) : VA::StrOf(v);
}

Int64 RoundChecked(long double d, TVarType from, TVarType target) {
  if (!std::isfinite(d)) OverflowError(from, target);
  long double r = std::nearbyint(d);  // the default mode rounds half to even
  IntRange range = RangeOf(target);
  if (r < static_cast<long double>(range.lo) ||
      r > static_cast<long double>(range.hi)) {
    OverflowError(from, target);
  }
  return static_cast<Int64>(r);
}

Int64 RoundCurrency(Int64 scaled) {
  Int64 q = scaled / 10000;
  Int64 rem = scaled % 10000;
  Int64 absRem = rem < 0 ? -rem : rem;
  if (absRem > 5000 || (absRem == 5000 && (q & 1) != 0)) {
    q += rem < 0 ? -1 : 1;
  }
  return q;
}

Int64 ToIntegerKind(const Variant& v, TVarType target) {
  const TVarType from = v.VarType();
  IntRange range = RangeOf(target);
  Int64 value = 0;
  switch (KindOf(from)) {
    case Kind::Empty:
      return 0;
    case Kind::Bool:
      // True is all bits set: -1 signed, the maximum unsigned.
      if (VA::IntOf(v) == 0) return 0;
      return range.lo == 0 ? range.hi : -1;
    case Kind::Ord:
      value = VA::IntOf(v);
      break;
    case Kind::Float:
    case Kind::Date:
      return RoundChecked(VA::DblOf(v), from, target);
    case Kind::Cur:
      value = RoundCurrency(VA::IntOf(v));
      break;
    case Kind::Str: {
      String s = StringOf(v);
      double d;
      if (TryStrToInt64(s, value)) break;
      if (TryStrToFloat(s, d)) return RoundChecked(d, from, target);
      CastError(from, target);
    }
    case Kind::Custom:
      return ToIntegerKind(CustomToSimple(v, varInt64), target);
    default:
      CastError(from, target);
  }
  if (value < range.lo || value > range.hi) OverflowError(from, target);
  return value;
}

double ToDouble(const Variant& v, TVarType target) {
  const TVarType from = v.VarType();
  switch (KindOf(from)) {
    case Kind::Empty:
      return 0.0;
    case Kind::Bool:
      return VA::IntOf(v) ? -1.0 : 0.0;
    case Kind::Ord:
      return static_cast<double>(VA::IntOf(v));
    case Kind::Float:
    case Kind::Date:
      return VA::DblOf(v);
    case Kind::Cur:
      return static_cast<double>(
          CurrToDouble(Currency::FromScaled(VA::IntOf(v))));
    case Kind::Str: {
      double d;
      if (!TryStrToFloat(StringOf(v), d)) CastError(from, target);
      return d;
    }
    case Kind::Custom:
      return ToDouble(CustomToSimple(v, varDouble), target);
    default:
      CastError(from, target);
  }
}

float ToSingle(const Variant& v) {
  double d = ToDouble(v, varSingle);
  if (std::isfinite(d) && std::fabs(d) > FLT_MAX) {
    OverflowError(v.VarType(), varSingle);
  }
  return static_cast<float>(d);
}

TDateTime ToDate(const Variant& v) {
  const TVarType from = v.VarType();
  double d;
  if (KindOf(from) == Kind::Str) {
    if (!TryStrToDateTime(StringOf(v), d)) CastError(from, varDate);
  } else if (KindOf(from) == Kind::Custom) {
    return ToDate(CustomToSimple(v, varDate));
  } else {
    d = ToDouble(v, varDate);
  }
  if (!(d > -kMaxDateMagnitude && d < kMaxDateMagnitude)) {
    OverflowError(from, varDate);
  }
  return d;
}

// Largest whole amount a currency holds.
constexpr Int64 kMaxCurrencyUnits = INT64_MAX / 10000;

Int64 ToCurrencyScaled(const Variant& v) {
  const TVarType from = v.VarType();
  switch (KindOf(from)) {
    case Kind::Empty:
      return 0;
    case Kind::Bool:
      return VA::IntOf(v) ? -10000 : 0;
    case Kind::Ord: {
      Int64 i = VA::IntOf(v);
      if (i > kMaxCurrencyUnits || i < -kMaxCurrencyUnits) {
        OverflowError(from, varCurrency);
      }
      return i * 10000;
    }
    case Kind::Cur:
      return VA::IntOf(v);
    case Kind::Float:
    case Kind::Date: {
      long double d = VA::DblOf(v);
      if (!std::isfinite(d) ||
          std::fabs(d * 10000.0L) >= 9223372036854775807.0L) {
        OverflowError(from, varCurrency);
      }
      return DoubleToCurr(d).Value;
    }
    case Kind::Str: {
      Currency c;
      if (!TryStrToCurr(StringOf(v), c)) CastError(from, varCurrency);
      return c.Value;
    }
    case Kind::Custom:
      return ToCurrencyScaled(CustomToSimple(v, varCurrency));
    default:
      CastError(from, varCurrency);
  }
}

bool ToBoolean(const Variant& v) {
  const TVarType from = v.VarType();
  switch (KindOf(from)) {
    case Kind::Empty:
      return false;
    case Kind::Bool:
    case Kind::Ord:
    case Kind::Cur:
      return VA::IntOf(v) != 0;
    case Kind::Float:
    case Kind::Date:
      return VA::DblOf(v) != 0.0;
    case Kind::Str: {
      bool b;
      if (!TryStrToBool(StringOf(v), b)) CastError(from, varBoolean);
      return b;
    }
    case Kind::Custom:
      return ToBoolean(CustomToSimple(v, varBoolean));
    default:
      CastError(from, varBoolean);
  }
}

String ToString(const Variant& v, TVarType target) {
  const TVarType from = v.VarType();
  switch (from) {
    case varEmpty:
      return String();
    case varBoolean:
      return VA::IntOf(v) ? SDefaultTrueBoolStr : SDefaultFalseBoolStr;
    case varSingle:
      // A Single holds about 7 digits; more would show its binary noise
      // ("0.100000001490116" for 0.1).
      return FloatToStrF(VA::DblOf(v), ffGeneral, 7, 0);
    case varDouble:
      return FloatToStr(VA::DblOf(v));
    case varCurrency:
      return CurrToStr(Currency::FromScaled(VA::IntOf(v)));
    case varDate:
      return DateTimeToStr(VA::DblOf(v));
    case varString:
      return VA::StrOf(v);
    case varOleStr:
      return WideToAnsi(VA::WideOf(v));
    default:
      break;
  }
  switch (KindOf(from)) {
    case Kind::Ord:
      return IntToStr(VA::IntOf(v));
    case Kind::Custom:
      return ToString(CustomToSimple(v, varString), target);
    default:
      CastError(from, target);
  }
}

// ---------------------------------------------------------------------------
// Exact currency multiplication
// ---------------------------------------------------------------------------

// a * b / 10000 rounded half to even; false when it does not fit.
bool MulCurrency(Int64 a, Int64 b, Int64& result) {
  bool negative = (a < 0) != (b < 0);
  UInt64 ua = a < 0 ? 0 - static_cast<UInt64>(a) : static_cast<UInt64>(a);
  UInt64 ub = b < 0 ? 0 - static_cast<UInt64>(b) : static_cast<UInt64>(b);
  // 64 x 64 -> 128 bits as four 32-bit limbs, most significant first.
  UInt64 a0 = ua & 0xFFFFFFFFu, a1 = ua >> 32;
  UInt64 b0 = ub & 0xFFFFFFFFu, b1 = ub >> 32;
  UInt64 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  UInt64 mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  UInt64 lo = (p00 & 0xFFFFFFFFu) | (mid << 32);
  UInt64 hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
  std::uint32_t limbs[4] = {
      static_cast<std::uint32_t>(hi >> 32), static_cast<std::uint32_t>(hi),
      static_cast<std::uint32_t>(lo >> 32), static_cast<std::uint32_t>(lo)};
  UInt64 rem = 0;
  for (auto& limb : limbs) {
    UInt64 cur = (rem << 32) | limb;
    limb = static_cast<std::uint32_t>(cur / 10000);
    rem = cur % 10000;
  }
  if (limbs[0] != 0 || limbs[1] != 0) return false;
  UInt64 q = (static_cast<UInt64>(limbs[2]) << 32) | limbs[3];
  if (rem > 5000 || (rem == 5000 && (q & 1) != 0)) ++q;
  if (q > static_cast<UInt64>(INT64_MAX)) return false;
  result = negative ? -static_cast<Int64>(q) : static_cast<Int64>(q);
  return true;
}

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

// Integer result: Integer when both operands were narrower than Int64 and it
// fits, Int64 otherwise.
Variant IntResult(Int64 v, bool wide) {
  if (!wide && v >= INT32_MIN && v <= INT32_MAX) return VA::Int(varInteger, v);
  return VA::Int(varInt64, v);
}

// An operand of an arithmetic operator, reduced to the kinds the operators
// know. Strings become Doubles, Booleans and Empty become Integers.
struct Operand {
  Kind kind;
  Int64 i = 0;  // Ord: the value; Cur: scaled
  double d = 0;
  bool wide = false;  // Int64 operand
};

Operand OperandOf(const Variant& v) {
  Operand o{KindOf(v.VarType())};
  switch (o.kind) {
    case Kind::Empty:
      o.kind = Kind::Ord;
      break;
    case Kind::Bool:
      o.kind = Kind::Ord;
      o.i = VA::IntOf(v) ? -1 : 0;
      break;
    case Kind::Ord:
      o.i = VA::IntOf(v);
      o.wide = v.VarType() == varInt64;
      break;
    case Kind::Cur:
      o.i = VA::IntOf(v);
      break;
    case Kind::Float:
    case Kind::Date:
      o.d = VA::DblOf(v);
      break;
    case Kind::Str:
      o.kind = Kind::Float;
      o.d = ToDouble(v, varDouble);
      break;
    default:
      InvalidOp();
  }
  return o;
}

long double AsLongDouble(const Operand& o) {
  switch (o.kind) {
    case Kind::Ord:
      return static_cast<long double>(o.i);
    case Kind::Cur:
      return static_cast<long double>(o.i) / 10000.0L;
    default:
      return o.d;
  }
}

Int64 CurScaled(const Operand& o) {
  if (o.kind == Kind::Cur) return o.i;
  Int64 r;
  if (__builtin_mul_overflow(o.i, static_cast<Int64>(10000), &r)) {
    ArithOverflow();
  }
  return r;
}

Variant Arithmetic(const Operand& a, const Operand& b, TVarOp op) {
  if (a.kind == Kind::Date || b.kind == Kind::Date) {
    double x = static_cast<double>(AsLongDouble(a));
    double y = static_cast<double>(AsLongDouble(b));
    if (op == opMultiply) return VA::Dbl(varDouble, x * y);
    if (op == opSubtract) {
      if (a.kind == Kind::Date && b.kind == Kind::Date) {
        return VA::Dbl(varDouble, x - y);
      }
      return VA::Dbl(varDate, x - y);
    }
    return VA::Dbl(varDate, x + y);
  }
  if (a.kind == Kind::Float || b.kind == Kind::Float) {
    double x = static_cast<double>(AsLongDouble(a));
    double y = static_cast<double>(AsLongDouble(b));
    double r = op == opAdd ? x + y : op == opSubtract ? x - y : x * y;
    return VA::Dbl(varDouble, r);
  }
  Int64 r;
  if (a.kind == Kind::Cur || b.kind == Kind::Cur) {
    if (op == opMultiply) {
      bool ok = a.kind == Kind::Cur && b.kind == Kind::Cur
                    ? MulCurrency(a.i, b.i, r)
                    : !__builtin_mul_overflow(a.i, b.i, &r);
      if (!ok) ArithOverflow();
      return VA::Cur(r);
    }
    Int64 x = CurScaled(a), y = CurScaled(b);
    bool overflow = op == opAdd ? __builtin_add_overflow(x, y, &r)
                                : __builtin_sub_overflow(x, y, &r);
    if (overflow) ArithOverflow();
    return VA::Cur(r);
  }
  bool overflow = op == opAdd        ? __builtin_add_overflow(a.i, b.i, &r)
                  : op == opSubtract ? __builtin_sub_overflow(a.i, b.i, &r)
                                     : __builtin_mul_overflow(a.i, b.i, &r);
  if (overflow) ArithOverflow();
  return IntResult(r, a.wide || b.wide);
}

Variant Divide(const Operand& a, const Operand& b) {
  double x = static_cast<double>(AsLongDouble(a));
  double y = static_cast<double>(AsLongDouble(b));
  if (y == 0.0) {
    if (x == 0.0 || std::isnan(x)) throw EInvalidOp(SInvalidOp);
    throw EZeroDivide(SZeroDivide);
  }
  return VA::Dbl(varDouble, x / y);
}

// Operand of div, mod and the bitwise operators.
Int64 IntegerOperand(const Variant& v, bool& wide) {
  if (v.VarType() == varInt64) wide = true;
  return ToIntegerKind(v, varInt64);
}

Variant IntegerDivision(const Variant& a, const Variant& b, TVarOp op) {
  bool wide = false;
  Int64 x = IntegerOperand(a, wide);
  Int64 y = IntegerOperand(b, wide);
  if (y == 0) throw EDivByZero(SDivByZero);
  if (x == INT64_MIN && y == -1) {
    if (op == opModulus) return IntResult(0, wide);
    ArithOverflow();
  }
  return IntResult(op == opIntDivide ? x / y : x % y, wide);
}

Variant Logical(const Variant& a, const Variant& b, TVarOp op) {
  Kind ka = KindOf(a.VarType()), kb = KindOf(b.VarType());
  bool logical = (ka == Kind::Bool || kb == Kind::Bool) &&
                 (ka == Kind::Bool || ka == Kind::Str || ka == Kind::Empty) &&
                 (kb == Kind::Bool || kb == Kind::Str || kb == Kind::Empty);
  if (logical) {
    bool x = ToBoolean(a), y = ToBoolean(b);
    bool r = op == opAnd ? (x && y) : op == opOr ? (x || y) : (x != y);
    return VA::Bool(r);
  }
  bool wide = false;
  Int64 x = IntegerOperand(a, wide);
  Int64 y = IntegerOperand(b, wide);
  Int64 r = op == opAnd ? (x & y) : op == opOr ? (x | y) : (x ^ y);
  return IntResult(r, wide);
}

Variant SimpleBinaryOp(const Variant& a, const Variant& b, TVarOp op) {
  Kind ka = KindOf(a.VarType()), kb = KindOf(b.VarType());
  if (ka == Kind::Array || kb == Kind::Array) InvalidOp();
  if (ka == Kind::Null || kb == Kind::Null) return Null();
  if (ka == Kind::Custom) return CustomTypeOf(a).BinaryOp(a, b, op);
  if (kb == Kind::Custom) return CustomTypeOf(b).BinaryOp(a, b, op);
  if (ka == Kind::Other || kb == Kind::Other) InvalidOp();
  switch (op) {
    case opAdd:
      if ((ka == Kind::Str || ka == Kind::Empty) &&
          (kb == Kind::Str || kb == Kind::Empty) &&
          (ka == Kind::Str || kb == Kind::Str)) {
        if (a.VarType() == varOleStr && b.VarType() == varOleStr) {
          return VA::Wide(VA::WideOf(a) + VA::WideOf(b));
        }
        return VA::Str(ToString(a, varString) + ToString(b, varString));
      }
      [[fallthrough]];
    case opSubtract:
    case opMultiply:
      return Arithmetic(OperandOf(a), OperandOf(b), op);
    case opDivide:
      return Divide(OperandOf(a), OperandOf(b));
    case opIntDivide:
    case opModulus:
      return IntegerDivision(a, b, op);
    case opAnd:
    case opOr:
    case opXor:
      return Logical(a, b, op);
  }
  InvalidOp();
}

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

template <class T>
TVariantRelationship Order(T x, T y) {
  if (x == y) return vrEqual;
  if (x < y) return vrLessThan;
  if (y < x) return vrGreaterThan;
  return vrNotEqual;  // NaN
}

TVariantRelationship FromSign(Integer c) {
  return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
}

// A string against a number of the other operand's kind.
TVariantRelationship CompareStrNumber(const Variant& s, const Variant& n,
                                      bool stringFirst) {
  TVariantRelationship r;
  Kind kn = KindOf(n.VarType());
  String text = StringOf(s);
  Int64 i;
  if (kn == Kind::Ord && TryStrToInt64(text, i)) {
    r = Order(i, VA::IntOf(n));
  } else if (kn == Kind::Cur) {
    Currency c;
    if (!TryStrToCurr(text, c)) CastError(s.VarType(), varCurrency);
    r = Order(c.Value, VA::IntOf(n));
  } else {
    long double x = ToDouble(s, varDouble);
    r = Order(x, AsLongDouble(OperandOf(n)));
  }
  if (!stringFirst) {
    if (r == vrLessThan) return vrGreaterThan;
    if (r == vrGreaterThan) return vrLessThan;
  }
  return r;
}

TVariantRelationship CompareSimple(const Variant& a, const Variant& b) {
  Kind ka = KindOf(a.VarType()), kb = KindOf(b.VarType());
  if (ka == Kind::Array || kb == Kind::Array) InvalidOp();
  if (ka == Kind::Null || kb == Kind::Null) {
    return ka == kb ? vrEqual : vrNotEqual;
  }
  if (ka == Kind::Custom) return CustomTypeOf(a).Compare(a, b);
  if (kb == Kind::Custom) return CustomTypeOf(b).Compare(a, b);
  if (ka == Kind::Other || kb == Kind::Other) InvalidOp();
  if (ka == Kind::Empty && kb == Kind::Empty) return vrEqual;
  // Strings against strings, or against Empty as "".
  if ((ka == Kind::Str || ka == Kind::Empty) &&
      (kb == Kind::Str || kb == Kind::Empty)) {
    return FromSign(
        AnsiCompareStr(ToString(a, varString), ToString(b, varString)));
  }
  if (ka == Kind::Bool || kb == Kind::Bool) {
    return Order(static_cast<int>(ToBoolean(a)),
                 static_cast<int>(ToBoolean(b)));
  }
  if (ka == Kind::Date || kb == Kind::Date) {
    double x = ka == Kind::Str ? ToDate(a) : ToDouble(a, varDate);
    double y = kb == Kind::Str ? ToDate(b) : ToDouble(b, varDate);
    return Order(x, y);
  }
  if (ka == Kind::Str) return CompareStrNumber(a, b, true);
  if (kb == Kind::Str) return CompareStrNumber(b, a, false);
  Operand x = OperandOf(a), y = OperandOf(b);
  if (x.kind == Kind::Ord && y.kind == Kind::Ord) return Order(x.i, y.i);
  if (x.kind == Kind::Cur && y.kind == Kind::Cur) return Order(x.i, y.i);
  return Order(AsLongDouble(x), AsLongDouble(y));
}

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

bool IsArrayElementType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varBoolean:
    case varVariant:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varString:
      return true;
    default:
      return false;
  }
}

Variant ZeroOf(TVarType elementType) {
  if (elementType == varVariant) return Variant();
  return VarAsType(Variant(), elementType);
}

UInt64 MaxElements() { return kMaxArrayBytes / sizeof(Variant); }

// a * b for element counts, held at MaxElements() + 1 once it passes the
// limit so that no product of dimensions can wrap around.
UInt64 ElementProduct(UInt64 a, UInt64 b) {
  if (a == 0 || b == 0) return 0;
  if (a > MaxElements() || b > MaxElements() / a) return MaxElements() + 1;
  return a * b;
}

TVarArrayData& ArrayData(const Variant& a) {
  TVarArrayData* data = VA::ArrayOf(a);
  if (!data) NotAnArray();
  return *data;
}

std::size_t FlatIndex(const TVarArrayData& data, const Integer* indices,
                      std::size_t count) {
  if (count != data.bounds.size()) {
    throw EVariantBadIndexError(SVarArrayBounds);
  }
  std::size_t flat = 0, stride = 1;
  for (std::size_t k = 0; k < count; ++k) {
    const TVarArrayData::Bound& b = data.bounds[k];
    Int64 offset = static_cast<Int64>(indices[k]) - b.low;
    if (offset < 0 || offset >= b.count) {
      throw EVariantBadIndexError(SVarArrayBounds);
    }
    flat += static_cast<std::size_t>(offset) * stride;
    stride *= static_cast<std::size_t>(b.count);
  }
  return flat;
}

Variant ArrayGet(const Variant& a, const Integer* indices, std::size_t count) {
  const TVarArrayData& data = ArrayData(a);
  return data.items[FlatIndex(data, indices, count)];
}

void ArrayPut(Variant& a, const Variant& value, const Integer* indices,
              std::size_t count) {
  TVarArrayData& data = ArrayData(a);
  Variant& item = data.items[FlatIndex(data, indices, count)];
  item = data.elementType == varVariant ? value
                                        : VarAsType(value, data.elementType);
}

Variant CreateArray(const Integer* bounds, std::size_t count,
                    TVarType elementType) {
  if (count == 0 || count % 2 != 0 || !IsArrayElementType(elementType)) {
    throw EVariantArrayCreateError(SVarArrayCreate);
  }
  auto data = std::make_unique<TVarArrayData>();
  data->elementType = elementType;
  UInt64 total = 1;
  for (std::size_t k = 0; k < count; k += 2) {
    Int64 n = static_cast<Int64>(bounds[k + 1]) - bounds[k] + 1;
    if (n < 0 || n > INT32_MAX) throw EVariantArrayCreateError(SVarArrayCreate);
    total = ElementProduct(total, static_cast<UInt64>(n));
    data->bounds.push_back({bounds[k], static_cast<Integer>(n)});
  }
  if (total > MaxElements()) throw EVariantArrayCreateError(SVarArrayCreate);
  try {
    data->items.assign(static_cast<std::size_t>(total), ZeroOf(elementType));
  } catch (const std::bad_alloc&) {
    throw EVariantArrayCreateError(SVarArrayCreate);
  }
  return VA::Array(std::move(data));
}

// ---------------------------------------------------------------------------
// Custom kinds
// ---------------------------------------------------------------------------

struct CustomRegistry {
  std::mutex lock;
  std::vector<const TCustomVariantType*> types;  // index = code - first
};

CustomRegistry& Customs() {
  static CustomRegistry registry;
  return registry;
}

// ---------------------------------------------------------------------------
// Unit start-up: Format's variant arguments
// ---------------------------------------------------------------------------

String FormatToStr(const Variant& v) { return VarToStr(v); }
Int64 FormatToInt64(const Variant& v) { return v.AsInt64(); }
Extended FormatToExtended(const Variant& v) { return v.AsDouble(); }

void StartVariants() {
  classlib_detail::VariantFormatHooks.ToStr = &FormatToStr;
  classlib_detail::VariantFormatHooks.ToInt64 = &FormatToInt64;
  classlib_detail::VariantFormatHooks.ToExtended = &FormatToExtended;
}

void StopVariants() {
  classlib_detail::VariantFormatHooks = classlib_detail::TVariantFormatHooks();
}

}  // namespace

VARNEL_UNIT(Variants, ({"SysUtils"}), &StartVariants, &StopVariants);

// ---------------------------------------------------------------------------
// Variant
// ---------------------------------------------------------------------------

Variant::Variant() noexcept {}

Variant::Variant(const Variant& other)
    : type_(other.type_),
      str_(other.str_),
      wstr_(other.wstr_),
      custom_(other.custom_) {
  int_ = other.int_;  // copies the double as well
  if (other.array_) array_ = std::make_unique<TVarArrayData>(*other.array_);
}

Variant::Variant(Variant&& other) noexcept
    : type_(other.type_),
      str_(std::move(other.str_)),
      wstr_(std::move(other.wstr_)),
      array_(std::move(other.array_)),
      custom_(std::move(other.custom_)) {
  int_ = other.int_;
  other.Reset();
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    type_ = other.type_;
    int_ = other.int_;
    str_ = std::move(other.str_);
    wstr_ = std::move(other.wstr_);
    array_ = std::move(other.array_);
    custom_ = std::move(other.custom_);
    other.Reset();
  }
  return *this;
}

Variant::~Variant() = default;

void Variant::Reset() noexcept {
  type_ = varEmpty;
  int_ = 0;
  str_.clear();
  wstr_.clear();
  array_.reset();
  custom_.reset();
}

Variant::Variant(bool v) : type_(varBoolean) { int_ = v ? 1 : 0; }
Variant::Variant(char v) : type_(varString), str_(1, v) {}
Variant::Variant(signed char v) : type_(varShortInt) { int_ = v; }
Variant::Variant(unsigned char v) : type_(varByte) { int_ = v; }
Variant::Variant(short v) : type_(varSmallint) { int_ = v; }
Variant::Variant(unsigned short v) : type_(varWord) { int_ = v; }
Variant::Variant(int v) : type_(varInteger) { int_ = v; }
Variant::Variant(unsigned int v) : type_(varLongWord) { int_ = v; }
Variant::Variant(long v)
    : type_(sizeof(long) == sizeof(Integer) ? varInteger : varInt64) {
  int_ = v;
}
Variant::Variant(unsigned long v)
    : type_(sizeof(unsigned long) == sizeof(LongWord) ? varLongWord
                                                      : varInt64) {
  if constexpr (sizeof(unsigned long) > sizeof(LongWord)) {
    if (v > static_cast<unsigned long>(INT64_MAX)) ArithOverflow();
  }
  int_ = static_cast<Int64>(v);
}
Variant::Variant(long long v) : type_(varInt64) { int_ = v; }
Variant::Variant(unsigned long long v) : type_(varInt64) {
  if (v > static_cast<unsigned long long>(INT64_MAX)) ArithOverflow();
  int_ = static_cast<Int64>(v);
}
Variant::Variant(float v) : type_(varSingle) { dbl_ = v; }
Variant::Variant(double v) : type_(varDouble) { dbl_ = v; }
Variant::Variant(long double v) : type_(varDouble) {
  dbl_ = static_cast<double>(v);
}
Variant::Variant(Currency v) : type_(varCurrency) { int_ = v.Value; }
Variant::Variant(const char* v) : type_(varString), str_(v ? v : "") {}
Variant::Variant(const String& v) : type_(varString), str_(v) {}
Variant::Variant(String&& v) : type_(varString), str_(std::move(v)) {}
Variant::Variant(const char16_t* v) : type_(varOleStr), wstr_(v ? v : u"") {}
Variant::Variant(const WideString& v) : type_(varOleStr), wstr_(v) {}

Variant Variant::FromDateTime(TDateTime v) { return VA::Dbl(varDate, v); }

Variant Variant::MakeNull() { return VA::Int(varNull, 0); }

Variant Variant::FromCustom(TVarType type,
                            std::shared_ptr<const TCustomVariantData> data) {
  if (!FindCustomVariantType(type)) throw EVariantBadVarTypeError(SVarBadType);
  return VA::Custom(type, std::move(data));
}

bool Variant::AsBoolean() const { return ToBoolean(*this); }
Shortint Variant::AsShortInt() const {
  return static_cast<Shortint>(ToIntegerKind(*this, varShortInt));
}
Byte Variant::AsByte() const {
  return static_cast<Byte>(ToIntegerKind(*this, varByte));
}
Smallint Variant::AsSmallint() const {
  return static_cast<Smallint>(ToIntegerKind(*this, varSmallint));
}
Word Variant::AsWord() const {
  return static_cast<Word>(ToIntegerKind(*this, varWord));
}
Integer Variant::AsInteger() const {
  return static_cast<Integer>(ToIntegerKind(*this, varInteger));
}
LongWord Variant::AsLongWord() const {
  return static_cast<LongWord>(ToIntegerKind(*this, varLongWord));
}
Int64 Variant::AsInt64() const { return ToIntegerKind(*this, varInt64); }
float Variant::AsSingle() const { return ToSingle(*this); }
double Variant::AsDouble() const { return ToDouble(*this, varDouble); }
Currency Variant::AsCurrency() const {
  return Currency::FromScaled(ToCurrencyScaled(*this));
}
TDateTime Variant::AsDateTime() const { return ToDate(*this); }
String Variant::AsString() const { return ToString(*this, varString); }
WideString Variant::AsWideString() const {
  if (type_ == varOleStr) return wstr_;
  return AnsiToWide(ToString(*this, varOleStr));
}

// ---------------------------------------------------------------------------
// Queries and conversions
// ---------------------------------------------------------------------------

TVarType VarType(const Variant& v) { return v.VarType(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsClear(const Variant& v) {
  if (v.IsEmpty()) return true;
  const TCustomVariantType* t = FindCustomVariantType(v.VarType());
  return t && t->IsClear(v);
}
bool VarIsArray(const Variant& v) { return v.IsArray(); }

bool VarTypeIsInteger(TVarType type) {
  switch (type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}
bool VarTypeIsOrdinal(TVarType type) {
  return VarTypeIsInteger(type) || type == varBoolean;
}
bool VarTypeIsFloat(TVarType type) {
  return type == varSingle || type == varDouble || type == varCurrency;
}
bool VarTypeIsNumeric(TVarType type) {
  return VarTypeIsOrdinal(type) || VarTypeIsFloat(type);
}
bool VarTypeIsStr(TVarType type) {
  return type == varString || type == varOleStr;
}
bool VarIsOrdinal(const Variant& v) { return VarTypeIsOrdinal(v.VarType()); }
bool VarIsFloat(const Variant& v) { return VarTypeIsFloat(v.VarType()); }
bool VarIsNumeric(const Variant& v) { return VarTypeIsNumeric(v.VarType()); }
bool VarIsStr(const Variant& v) { return VarTypeIsStr(v.VarType()); }

String VarToStr(const Variant& v) { return VarToStrDef(v, String()); }

String VarToStrDef(const Variant& v, const String& def) {
  if (v.IsNull()) return def;
  return v.AsString();
}

WideString VarToWideStr(const Variant& v) {
  if (v.IsNull()) return WideString();
  return v.AsWideString();
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

Variant VarFromDateTime(TDateTime v) { return Variant::FromDateTime(v); }

Variant VarAsType(const Variant& v, TVarType type) {
  const TVarType from = v.VarType();
  if (from == type) return v;
  if (type & ~varTypeMask) {
    if (type & varByRef) throw EVariantBadVarTypeError(SVarBadType);
    CastError(from, type);
  }
  if (type == varEmpty) return Variant();
  if (type == varNull) return Null();
  if (type == varVariant) return v;
  const TCustomVariantType* target = FindCustomVariantType(type);
  if (!target && type != varString &&
      (type > varInt64 || type == 0x000E || type == 0x000F)) {
    throw EVariantBadVarTypeError(SVarBadType);
  }
  if (v.IsNull() || v.IsArray()) CastError(from, type);
  if (target) {
    // Another custom kind first becomes the simple type it stands for.
    if (KindOf(from) == Kind::Custom)
      return target->CastFrom(CustomToCommon(v));
    return target->CastFrom(v);
  }
  if (VarTypeIsInteger(type)) return VA::Int(type, ToIntegerKind(v, type));
  switch (type) {
    case varSingle:
      return Variant(ToSingle(v));
    case varDouble:
      return VA::Dbl(varDouble, ToDouble(v, varDouble));
    case varCurrency:
      return VA::Cur(ToCurrencyScaled(v));
    case varDate:
      return VA::Dbl(varDate, ToDate(v));
    case varBoolean:
      return VA::Bool(ToBoolean(v));
    case varString:
      return VA::Str(ToString(v, varString));
    case varOleStr:
      return VA::Wide(v.AsWideString());
    default:
      CastError(from, type);  // Dispatch, Error, Unknown
  }
}

String VarTypeAsText(TVarType type) {
  static const char* const kNames[] = {
      "Empty",    "Null",     "Smallint", "Integer",  "Single",   "Double",
      "Currency", "Date",     "OleStr",   "Dispatch", "Error",    "Boolean",
      "Variant",  "Unknown",  "Decimal",  "$000F",    "ShortInt", "Byte",
      "Word",     "LongWord", "Int64"};
  String prefix;
  if (type & varByRef) prefix += "Ref to ";
  if (type & varArray) prefix += "Array ";
  TVarType base = type & varTypeMask;
  if (base < sizeof kNames / sizeof kNames[0]) return prefix + kNames[base];
  if (base == varString) return prefix + "String";
  if (const TCustomVariantType* t = FindCustomVariantType(base)) {
    return prefix + t->Name();
  }
  return prefix + "$" + IntToHex(static_cast<Integer>(base), 4);
}

void VarClear(Variant& v) { v = Variant(); }

void VarCopy(Variant& dest, const Variant& source) { dest = source; }

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

Variant operator+(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opAdd);
}
Variant operator-(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opSubtract);
}
Variant operator*(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opMultiply);
}
Variant operator/(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opDivide);
}
Variant operator%(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opModulus);
}
Variant VarIntDiv(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opIntDivide);
}
Variant operator&(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opAnd);
}
Variant operator|(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opOr);
}
Variant operator^(const Variant& a, const Variant& b) {
  return SimpleBinaryOp(a, b, opXor);
}

Variant operator~(const Variant& a) {
  const TVarType t = a.VarType();
  switch (KindOf(t)) {
    case Kind::Null:
      return Null();
    case Kind::Bool:
      return VA::Bool(VA::IntOf(a) == 0);
    case Kind::Empty:
      return VA::Int(varInteger, -1);
    case Kind::Ord: {
      // The result keeps the operand's width: not 0 as a Byte is 255.
      IntRange range = RangeOf(t);
      Int64 r = ~VA::IntOf(a);
      if (range.lo == 0) r &= range.hi;
      return VA::Int(t, r);
    }
    case Kind::Custom:
      return ~CustomToCommon(a);
    case Kind::Array:
    case Kind::Other:
      InvalidOp();
    default: {
      bool wide = false;
      return IntResult(~IntegerOperand(a, wide), wide);
    }
  }
}

Variant operator-(const Variant& a) {
  const TVarType t = a.VarType();
  switch (KindOf(t)) {
    case Kind::Null:
      return Null();
    case Kind::Empty:
      return VA::Int(varInteger, 0);
    case Kind::Float:
    case Kind::Date:
      return VA::Dbl(t, -VA::DblOf(a));
    case Kind::Cur:
      if (VA::IntOf(a) == INT64_MIN) ArithOverflow();
      return VA::Cur(-VA::IntOf(a));
    case Kind::Str:
      return VA::Dbl(varDouble, -ToDouble(a, varDouble));
    case Kind::Custom:
      return -CustomToCommon(a);
    case Kind::Array:
    case Kind::Other:
      InvalidOp();
    default: {
      Operand o = OperandOf(a);  // Ord and Bool
      if (o.i == INT64_MIN) ArithOverflow();
      return IntResult(-o.i, o.wide);
    }
  }
}

bool operator==(const Variant& a, const Variant& b) {
  return CompareSimple(a, b) == vrEqual;
}
bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
bool operator<(const Variant& a, const Variant& b) {
  return CompareSimple(a, b) == vrLessThan;
}
bool operator<=(const Variant& a, const Variant& b) {
  TVariantRelationship r = CompareSimple(a, b);
  return r == vrLessThan || r == vrEqual;
}
bool operator>(const Variant& a, const Variant& b) {
  return CompareSimple(a, b) == vrGreaterThan;
}
bool operator>=(const Variant& a, const Variant& b) {
  TVariantRelationship r = CompareSimple(a, b);
  return r == vrGreaterThan || r == vrEqual;
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  return CompareSimple(a, b);
}

bool VarSameValue(const Variant& a, const Variant& b) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() && b.IsEmpty();
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
  return a == b;
}

// ---------------------------------------------------------------------------
// Variant arrays
// ---------------------------------------------------------------------------

Variant VarArrayCreate(std::initializer_list<Integer> bounds,
                       TVarType elementType) {
  return CreateArray(bounds.begin(), bounds.size(), elementType);
}

Variant VarArrayCreate(const std::vector<Integer>& bounds,
                       TVarType elementType) {
  return CreateArray(bounds.data(), bounds.size(), elementType);
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  auto data = std::make_unique<TVarArrayData>();
  data->elementType = varVariant;
  data->bounds.push_back({0, static_cast<Integer>(values.size())});
  data->items = values;
  return VA::Array(std::move(data));
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values));
}

Integer VarArrayDimCount(const Variant& a) {
  TVarArrayData* data = VA::ArrayOf(a);
  return data ? static_cast<Integer>(data->bounds.size()) : 0;
}

namespace {
const TVarArrayData::Bound& BoundOf(const Variant& a, Integer dim) {
  const TVarArrayData& data = ArrayData(a);
  if (dim < 1 || static_cast<std::size_t>(dim) > data.bounds.size()) {
    throw EVariantBadIndexError(SVarArrayBounds);
  }
  return data.bounds[static_cast<std::size_t>(dim - 1)];
}
}  // namespace

Integer VarArrayLowBound(const Variant& a, Integer dim) {
  return BoundOf(a, dim).low;
}

Integer VarArrayHighBound(const Variant& a, Integer dim) {
  const TVarArrayData::Bound& b = BoundOf(a, dim);
  return static_cast<Integer>(static_cast<Int64>(b.low) + b.count - 1);
}

Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indices) {
  return ArrayGet(a, indices.begin(), indices.size());
}

Variant VarArrayGet(const Variant& a, const std::vector<Integer>& indices) {
  return ArrayGet(a, indices.data(), indices.size());
}

void VarArrayPut(Variant& a, const Variant& value,
                 std::initializer_list<Integer> indices) {
  ArrayPut(a, value, indices.begin(), indices.size());
}

void VarArrayPut(Variant& a, const Variant& value,
                 const std::vector<Integer>& indices) {
  ArrayPut(a, value, indices.data(), indices.size());
}

void VarArrayRedim(Variant& a, Integer highBound) {
  TVarArrayData& data = ArrayData(a);
  TVarArrayData::Bound& last = data.bounds.back();
  Int64 n = static_cast<Int64>(highBound) - last.low + 1;
  if (n < 0) throw EVariantInvalidArgError(SVarInvalid);
  if (n > INT32_MAX) throw EVariantArrayCreateError(SVarArrayCreate);
  UInt64 slice = 1;  // elements per step of the last dimension
  for (std::size_t k = 0; k + 1 < data.bounds.size(); ++k) {
    slice = ElementProduct(slice, static_cast<UInt64>(data.bounds[k].count));
  }
  UInt64 total = ElementProduct(slice, static_cast<UInt64>(n));
  if (total > MaxElements()) throw EVariantArrayCreateError(SVarArrayCreate);
  try {
    data.items.resize(static_cast<std::size_t>(total),
                      ZeroOf(data.elementType));
  } catch (const std::bad_alloc&) {
    throw EVariantArrayCreateError(SVarArrayCreate);
  }
  last.count = static_cast<Integer>(n);
}

// ---------------------------------------------------------------------------
// Custom kinds
// ---------------------------------------------------------------------------

TCustomVariantType::TCustomVariantType() {
  CustomRegistry& reg = Customs();
  std::lock_guard<std::mutex> guard(reg.lock);
  std::size_t slot = 0;
  while (slot < reg.types.size() && reg.types[slot]) ++slot;
  if (slot > static_cast<std::size_t>(varLastCustom - varFirstCustom)) {
    throw EVariantError(SVarTypeTooManyCustom);
  }
  if (slot == reg.types.size()) reg.types.push_back(nullptr);
  reg.types[slot] = this;
  varType_ = static_cast<TVarType>(varFirstCustom + slot);
}

TCustomVariantType::~TCustomVariantType() {
  CustomRegistry& reg = Customs();
  std::lock_guard<std::mutex> guard(reg.lock);
  std::size_t slot = varType_ - varFirstCustom;
  if (slot < reg.types.size() && reg.types[slot] == this) {
    reg.types[slot] = nullptr;
  }
}

Variant TCustomVariantType::BinaryOp(const Variant& a, const Variant& b,
                                     TVarOp op) const {
  auto simple = [](const Variant& v) {
    return KindOf(v.VarType()) == Kind::Custom ? CustomToCommon(v) : v;
  };
  return SimpleBinaryOp(simple(a), simple(b), op);
}

TVariantRelationship TCustomVariantType::Compare(const Variant& a,
                                                 const Variant& b) const {
  auto simple = [](const Variant& v) {
    return KindOf(v.VarType()) == Kind::Custom ? CustomToCommon(v) : v;
  };
  return CompareSimple(simple(a), simple(b));
}

const TCustomVariantType* FindCustomVariantType(TVarType type) {
  if (type < varFirstCustom || type > varLastCustom) return nullptr;
  CustomRegistry& reg = Customs();
  std::lock_guard<std::mutex> guard(reg.lock);
  std::size_t slot = type - varFirstCustom;
  return slot < reg.types.size() ? reg.types[slot] : nullptr;
}
