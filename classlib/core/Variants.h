// Variant: the tagged value that carries editor, grid and record values.
// Platform independent.
//
// Value semantics throughout: copying a variant copies its value, variant
// arrays included (a copy of an array is a new array).
//
// Rules of conversion (Variant::As*, VarAsType):
// - Empty converts to 0, 0.0, False, "" and the date 0.
// - Null converts to nothing but Empty/Null: EVariantTypeCastError
//   "Could not convert variant of type (Null) into type (Integer)".
//   VarToStr is the lenient exception and gives "" for Null.
// - Strings go through the SysUtils conversions with the global format
//   settings (StrToInt64, StrToFloat, StrToCurr, StrToDateTime, StrToBool);
//   numbers, dates and Booleans become text through IntToStr, FloatToStr
//   (Singles with their 7 significant digits), CurrToStr, DateTimeToStr and
//   "True"/"False".
// - Booleans are -1/0 as signed numbers and all bits set/0 as unsigned ones;
//   any non-zero number is True.
// - Floats and currencies become integers rounded half to even.
// - Wide and ANSI text convert into each other as code page 1252 (characters
//   it lacks become '?').
// - A value outside the target's range raises EVariantOverflowError
//   "Overflow while converting variant of type (%s) into type (%s)"; a date
//   must lie less than 2958466 days (the end of 9999) from 1899-12-30.
//
// Rules of the operators:
// - Null in any arithmetic or logical operation gives Null; Empty acts as 0
//   (as "" next to a string in + and in comparisons).
// - + of two strings concatenates; otherwise a string operand is converted
//   to a Double (a text that is no number raises EVariantTypeCastError).
// - Integer kinds compute exactly: a result outside the 32-bit range becomes
//   an Int64, a result outside the 64-bit range raises EVariantOverflowError.
//   Currency with integers or currency stays currency, exact. Any Single or
//   Double operand gives a Double. A date plus or minus a number stays a
//   date; the difference of two dates is a Double.
// - / always gives a Double; div (VarIntDiv) and mod (%) work on integers.
//   Division by zero raises EZeroDivide (/) or EDivByZero (div, mod).
// - & | ^ ~ are and/or/xor/not: logical on Booleans, bitwise otherwise.
// - Comparisons: two strings compare as text (AnsiCompareStr, case
//   sensitive); a string against a number is converted to a number, against
//   a date to a date, against a Boolean to a Boolean. A Boolean against a
//   number compares the number's truth (so True == 1 and True == -1), with
//   False < True.
// - Null is equal only to Null and is not ordered against anything else:
//   Null == x is false, Null != x is true, and <, <=, >, >= with one Null
//   operand are false. This is the relation VarCompareValue reports as
//   vrNotEqual. Code that sorts Null first tests for it before comparing.
// - Arrays take part in no operator: EVariantInvalidOpError.
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "System.h"

using TVarType = Word;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varByRef = 0x4000;
// Custom kinds receive codes from here up, in registration order.
constexpr TVarType varFirstCustom = 0x010F;
constexpr TVarType varLastCustom = 0x0FFF;

VARNEL_EXCEPTION(EVariantInvalidOpError, EVariantError)
VARNEL_EXCEPTION(EVariantTypeCastError, EVariantError)
VARNEL_EXCEPTION(EVariantOverflowError, EVariantError)
VARNEL_EXCEPTION(EVariantInvalidArgError, EVariantError)
VARNEL_EXCEPTION(EVariantBadVarTypeError, EVariantError)
VARNEL_EXCEPTION(EVariantBadIndexError, EVariantError)
VARNEL_EXCEPTION(EVariantArrayCreateError, EVariantError)
VARNEL_EXCEPTION(EVariantNotAnArrayError, EVariantError)

class TCustomVariantData;
class TCustomVariantType;
struct TVarArrayData;

class Variant {
 public:
  Variant() noexcept;  // Empty
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(bool v);
  Variant(char v);  // a one-character string
  Variant(signed char v);
  Variant(unsigned char v);
  Variant(short v);
  Variant(unsigned short v);
  Variant(int v);
  Variant(unsigned int v);
  Variant(long v);                // Integer or Int64, by its width
  Variant(unsigned long v);       // LongWord or Int64, by its width
  Variant(long long v);           // Int64
  Variant(unsigned long long v);  // Int64; EVariantOverflowError above it
  Variant(float v);
  Variant(double v);
  Variant(long double v);  // Double
  Variant(Currency v);
  Variant(const char* v);
  Variant(const String& v);
  Variant(String&& v);
  Variant(const char16_t* v);
  Variant(const WideString& v);

  static Variant FromDateTime(TDateTime v);
  static Variant MakeNull();
  // A value of a registered custom kind; the data is shared between copies
  // and must not change once made.
  static Variant FromCustom(TVarType type,
                            std::shared_ptr<const TCustomVariantData> data);

  TVarType VarType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsArray() const { return (type_ & varArray) != 0; }

  // Conversions by the rules at the top of this file.
  bool AsBoolean() const;
  Shortint AsShortInt() const;
  Byte AsByte() const;
  Smallint AsSmallint() const;
  Word AsWord() const;
  Integer AsInteger() const;
  LongWord AsLongWord() const;
  Int64 AsInt64() const;
  float AsSingle() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  String AsString() const;
  WideString AsWideString() const;

  // The data of a custom kind; null for every other variant.
  const TCustomVariantData* CustomData() const { return custom_.get(); }

 private:
  friend struct VariantAccess;
  void Reset() noexcept;

  TVarType type_ = varEmpty;
  union {
    Int64 int_ = 0;  // integer kinds, Boolean (0/1), Currency (scaled)
    double dbl_;     // Single, Double, Date
  };
  String str_;
  WideString wstr_;
  std::unique_ptr<TVarArrayData> array_;
  std::shared_ptr<const TCustomVariantData> custom_;
};

inline Variant Null() { return Variant::MakeNull(); }
inline Variant Unassigned() { return Variant(); }

// ---------------------------------------------------------------------------
// Queries and conversions
// ---------------------------------------------------------------------------

TVarType VarType(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsNull(const Variant& v);
// Empty, or a custom value that reports itself clear.
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
// Integer kinds and Boolean.
bool VarIsOrdinal(const Variant& v);
// Single, Double and Currency.
bool VarIsFloat(const Variant& v);
bool VarIsNumeric(const Variant& v);  // ordinal or float
bool VarIsStr(const Variant& v);      // String or WideString
// The integer kinds, Boolean not among them.
bool VarTypeIsInteger(TVarType type);
bool VarTypeIsOrdinal(TVarType type);
bool VarTypeIsFloat(TVarType type);
bool VarTypeIsNumeric(TVarType type);
bool VarTypeIsStr(TVarType type);

String VarToStr(const Variant& v);                        // Null gives ""
String VarToStrDef(const Variant& v, const String& def);  // Null gives def
WideString VarToWideStr(const Variant& v);                // Null gives ""
TDateTime VarToDateTime(const Variant& v);
Variant VarFromDateTime(TDateTime v);
// Converts to a simple or custom type code (not an array type):
// EVariantBadVarTypeError for a code that names no such type.
Variant VarAsType(const Variant& v, TVarType type);
// "Integer", "String", "Array Variant", a custom kind's name, ...
String VarTypeAsText(TVarType type);

void VarClear(Variant& v);
void VarCopy(Variant& dest, const Variant& source);

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator%(const Variant& a, const Variant& b);  // mod
Variant VarIntDiv(const Variant& a, const Variant& b);  // div
Variant operator&(const Variant& a, const Variant& b);  // and
Variant operator|(const Variant& a, const Variant& b);  // or
Variant operator^(const Variant& a, const Variant& b);  // xor
Variant operator~(const Variant& a);                    // not
Variant operator-(const Variant& a);

bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };
// Two Empty or two Null values are equal; Null against anything else is
// vrNotEqual; otherwise the operators' comparison.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// True for two Empty, two Null, or two other values equal by ==.
bool VarSameValue(const Variant& a, const Variant& b);

// ---------------------------------------------------------------------------
// Variant arrays
// ---------------------------------------------------------------------------

// bounds: low and high of each dimension in turn ({0, 9} or {1, 3, 0, 4}).
// EVariantArrayCreateError for an odd or empty bound list, a high bound below
// low - 1, an element type an array cannot hold, or an array too large.
Variant VarArrayCreate(std::initializer_list<Integer> bounds,
                       TVarType elementType);
Variant VarArrayCreate(const std::vector<Integer>& bounds,
                       TVarType elementType);
// A one-dimensional array of variants with bounds 0..count-1.
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
Integer VarArrayDimCount(const Variant& a);  // 0 for a non-array
// dim counts from 1. EVariantNotAnArrayError for a non-array (here and in
// every routine below), EVariantBadIndexError for a dimension it lacks.
Integer VarArrayLowBound(const Variant& a, Integer dim);
Integer VarArrayHighBound(const Variant& a, Integer dim);
// One index per dimension; EVariantBadIndexError when one is out of range
// or their number is wrong. Put converts the value to the element type.
Variant VarArrayGet(const Variant& a, std::initializer_list<Integer> indices);
Variant VarArrayGet(const Variant& a, const std::vector<Integer>& indices);
void VarArrayPut(Variant& a, const Variant& value,
                 std::initializer_list<Integer> indices);
void VarArrayPut(Variant& a, const Variant& value,
                 const std::vector<Integer>& indices);
// Changes the high bound of the last dimension, keeping the elements that
// remain; new elements are zero, "" or Empty. EVariantInvalidArgError for a
// high bound below the low bound - 1.
void VarArrayRedim(Variant& a, Integer highBound);

// ---------------------------------------------------------------------------
// Custom kinds
// ---------------------------------------------------------------------------

// The value of a custom variant. Held through a shared pointer and never
// changed after it is made.
class TCustomVariantData {
 public:
  virtual ~TCustomVariantData() = default;
};

enum TVarOp {
  opAdd,
  opSubtract,
  opMultiply,
  opDivide,
  opIntDivide,
  opModulus,
  opAnd,
  opOr,
  opXor
};

// A kind of variant defined by another unit (a decimal, a time stamp).
// Constructing one registers it under the next free type code; destroying
// it unregisters the code. Variants of a kind must not outlive it.
class TCustomVariantType : public TObject {
  VARNEL_CLASS(TCustomVariantType, TObject)
 public:
  TCustomVariantType();
  ~TCustomVariantType() override;
  TCustomVariantType(const TCustomVariantType&) = delete;
  TCustomVariantType& operator=(const TCustomVariantType&) = delete;

  TVarType VarType() const { return varType_; }
  // The name VarTypeAsText and the conversion errors show.
  virtual String Name() const { return ClassName(); }
  // The simple type its values stand for in operators and comparisons with
  // other kinds (varDouble for a decimal, varDate for a time stamp).
  virtual TVarType CommonType() const = 0;
  // Converts a value of this kind to a simple type code.
  virtual Variant CastTo(const Variant& source, TVarType target) const = 0;
  // Converts a simple value into this kind.
  virtual Variant CastFrom(const Variant& source) const = 0;
  virtual bool IsClear(const Variant&) const { return false; }
  // a or b is of this kind, neither is Null. The defaults convert both
  // through CommonType and apply the simple rules (the result of BinaryOp
  // stays of the common type).
  virtual Variant BinaryOp(const Variant& a, const Variant& b, TVarOp op) const;
  virtual TVariantRelationship Compare(const Variant& a,
                                       const Variant& b) const;

 private:
  TVarType varType_ = 0;
};

// The registered kind of a code; null for simple or unknown codes.
const TCustomVariantType* FindCustomVariantType(TVarType type);
