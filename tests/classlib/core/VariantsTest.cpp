#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "SysUtils.h"
#include "Variants.h"

namespace {

// Every text conversion below assumes these settings.
class VariantTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = DefaultFormatSettings();
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.DateSeparator = '/';
    FormatSettings.TimeSeparator = ':';
    FormatSettings.ShortDateFormat = "m/d/yyyy";
    FormatSettings.LongTimeFormat = "hh:nn:ss";
    FormatSettings.CurrencyString = "$";
    FormatSettings.CurrencyDecimals = 2;
    FormatSettings.TwoDigitYearCenturyWindow = 50;
  }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

Variant Cur(Int64 scaled) { return Variant(Currency::FromScaled(scaled)); }
Variant Date(double d) { return VarFromDateTime(d); }
Variant I64(Int64 v) { return Variant(static_cast<long long>(v)); }

// What an operation should give: a value of a type (shown as text), or an
// exception of a class with a message.
struct Outcome {
  TVarType type = varEmpty;
  String text;
  TClass error = nullptr;
};

Outcome Val(TVarType type, const String& text) { return {type, text, nullptr}; }
Outcome Err(TClass cls, const String& message) {
  return {varEmpty, message, cls};
}

Outcome CastErr(const char* from, const char* to) {
  return Err(EVariantTypeCastError::StaticClass(),
             String("Could not convert variant of type (") + from +
                 ") into type (" + to + ")");
}
Outcome OverErr(const char* from, const char* to) {
  return Err(EVariantOverflowError::StaticClass(),
             String("Overflow while converting variant of type (") + from +
                 ") into type (" + to + ")");
}

// Runs op and checks its result against the outcome.
void ExpectOutcome(const std::function<Variant()>& op, const Outcome& want,
                   const String& what) {
  SCOPED_TRACE(what);
  try {
    Variant got = op();
    ASSERT_EQ(want.error, nullptr)
        << "expected " << want.error->Name << ", got " << VarToStr(got);
    EXPECT_EQ(VarTypeAsText(got.VarType()), VarTypeAsText(want.type));
    if (!got.IsNull()) {
      EXPECT_EQ(VarToStr(got), want.text);
    }
  } catch (const Exception& e) {
    ASSERT_NE(want.error, nullptr)
        << "unexpected " << e.ClassName() << ": " << e.Message();
    EXPECT_EQ(e.ClassType(), want.error) << e.ClassName();
    EXPECT_EQ(e.Message(), want.text);
  }
}

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

struct CastCase {
  const char* name;
  Variant source;
  TVarType target;
  Outcome want;
};

TEST_F(VariantTest, ConversionMatrix) {
  const CastCase cases[] = {
      // Empty converts to zero values, Null to nothing.
      {"empty>int", Variant(), varInteger, Val(varInteger, "0")},
      {"empty>str", Variant(), varString, Val(varString, "")},
      {"empty>bool", Variant(), varBoolean, Val(varBoolean, "False")},
      {"empty>date", Variant(), varDate, Val(varDate, "12/30/1899")},
      {"null>int", Null(), varInteger, CastErr("Null", "Integer")},
      {"null>str", Null(), varString, CastErr("Null", "String")},
      {"null>double", Null(), varDouble, CastErr("Null", "Double")},
      {"null>null", Null(), varNull, Val(varNull, "")},
      {"null>empty", Null(), varEmpty, Val(varEmpty, "")},
      // Integer kinds keep to their ranges.
      {"int>smallint", Variant(70000), varSmallint,
       OverErr("Integer", "Smallint")},
      {"int>word", Variant(70000), varWord, OverErr("Integer", "Word")},
      {"int>longword", Variant(70000), varLongWord, Val(varLongWord, "70000")},
      {"int>double", Variant(70000), varDouble, Val(varDouble, "70000")},
      {"int>currency", Variant(70000), varCurrency, Val(varCurrency, "70000")},
      {"int>date", Variant(2), varDate, Val(varDate, "1/1/1900")},
      {"int>bool", Variant(70000), varBoolean, Val(varBoolean, "True")},
      {"int0>bool", Variant(0), varBoolean, Val(varBoolean, "False")},
      {"smallint>byte", Variant(Smallint(-5)), varByte,
       OverErr("Smallint", "Byte")},
      {"smallint>longword", Variant(Smallint(-5)), varLongWord,
       OverErr("Smallint", "LongWord")},
      {"shortint>int64", Variant(Shortint(-100)), varInt64,
       Val(varInt64, "-100")},
      {"byte>shortint", Variant(Byte(200)), varShortInt,
       OverErr("Byte", "ShortInt")},
      {"int64>int", I64(5000000000LL), varInteger, OverErr("Int64", "Integer")},
      {"int64>str", I64(5000000000LL), varString, Val(varString, "5000000000")},
      {"int64max>currency", I64(INT64_MAX), varCurrency,
       OverErr("Int64", "Currency")},
      {"longword>int", Variant(4000000000u), varInteger,
       OverErr("LongWord", "Integer")},
      {"longword>int64", Variant(4000000000u), varInt64,
       Val(varInt64, "4000000000")},
      // Floats round half to even.
      {"2.5>int", Variant(2.5), varInteger, Val(varInteger, "2")},
      {"3.5>int", Variant(3.5), varInteger, Val(varInteger, "4")},
      {"-2.5>int", Variant(-2.5), varInteger, Val(varInteger, "-2")},
      {"1e10>int", Variant(1e10), varInteger, OverErr("Double", "Integer")},
      {"1e10>int64", Variant(1e10), varInt64, Val(varInt64, "10000000000")},
      {"nan>int", Variant(std::nan("")), varInteger,
       OverErr("Double", "Integer")},
      {"1e300>single", Variant(1e300), varSingle, OverErr("Double", "Single")},
      {"1e300>currency", Variant(1e300), varCurrency,
       OverErr("Double", "Currency")},
      {"1e7>date", Variant(1e7), varDate, OverErr("Double", "Date")},
      {"2.5>str", Variant(2.5), varString, Val(varString, "2.5")},
      {"single>str", Variant(0.1f), varString, Val(varString, "0.1")},
      {"single>double", Variant(1.5f), varDouble, Val(varDouble, "1.5")},
      // Currency keeps its four decimals.
      {"cur>str", Cur(123456), varString, Val(varString, "12.3456")},
      {"cur>double", Cur(123456), varDouble, Val(varDouble, "12.3456")},
      {"cur2.5>int", Cur(25000), varInteger, Val(varInteger, "2")},
      {"cur3.5>int", Cur(35000), varInteger, Val(varInteger, "4")},
      {"cur-0.5>int", Cur(-5000), varInteger, Val(varInteger, "0")},
      // Dates.
      {"date>str", Date(45351.5), varString,
       Val(varString, "2/29/2024 12:00:00")},
      {"date>double", Date(45351.5), varDouble, Val(varDouble, "45351.5")},
      {"date>int", Date(45351.5), varInteger, Val(varInteger, "45352")},
      // Booleans: all bits set.
      {"true>int", Variant(true), varInteger, Val(varInteger, "-1")},
      {"true>byte", Variant(true), varByte, Val(varByte, "255")},
      {"true>longword", Variant(true), varLongWord,
       Val(varLongWord, "4294967295")},
      {"true>double", Variant(true), varDouble, Val(varDouble, "-1")},
      {"true>currency", Variant(true), varCurrency, Val(varCurrency, "-1")},
      {"true>str", Variant(true), varString, Val(varString, "True")},
      {"false>str", Variant(false), varString, Val(varString, "False")},
      // Strings through the SysUtils conversions.
      {"'42'>int", Variant("42"), varInteger, Val(varInteger, "42")},
      {"'42'>byte", Variant("42"), varByte, Val(varByte, "42")},
      {"'300'>byte", Variant("300"), varByte, OverErr("String", "Byte")},
      {"'1.5'>int", Variant("1.5"), varInteger, Val(varInteger, "2")},
      {"'abc'>int", Variant("abc"), varInteger, CastErr("String", "Integer")},
      {"'abc'>double", Variant("abc"), varDouble, CastErr("String", "Double")},
      {"'abc'>currency", Variant("abc"), varCurrency,
       CastErr("String", "Currency")},
      {"'abc'>date", Variant("abc"), varDate, CastErr("String", "Date")},
      {"'abc'>bool", Variant("abc"), varBoolean, CastErr("String", "Boolean")},
      {"'True'>bool", Variant("True"), varBoolean, Val(varBoolean, "True")},
      {"'12.5'>currency", Variant("12.5"), varCurrency,
       Val(varCurrency, "12.5")},
      {"'2/29/2024'>date", Variant("2/29/2024"), varDate,
       Val(varDate, "2/29/2024")},
      {"'' >int", Variant(""), varInteger, CastErr("String", "Integer")},
      {"olestr>int", Variant(u"7"), varInteger, Val(varInteger, "7")},
      {"str>olestr", Variant("x"), varOleStr, Val(varOleStr, "x")},
      // Arrays and codes that name no convertible type.
      {"array>str", VarArrayOf({1}), varString,
       CastErr("Array Variant", "String")},
      {"int>dispatch", Variant(1), varDispatch, CastErr("Integer", "Dispatch")},
      {"int>0x0E", Variant(1), 0x000E,
       Err(EVariantBadVarTypeError::StaticClass(), "Invalid variant type")},
  };
  for (const CastCase& c : cases) {
    ExpectOutcome([&] { return VarAsType(c.source, c.target); }, c.want,
                  c.name);
  }
}

TEST_F(VariantTest, TypedAccessorsFollowTheSameRules) {
  EXPECT_EQ(Variant("  12").AsInteger(), 12);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(2.5).AsInt64(), 2);
  EXPECT_EQ(Variant(Word(65535)).AsWord(), 65535);
  EXPECT_EQ(Variant(1.25).AsCurrency(), Currency::FromScaled(12500));
  EXPECT_DOUBLE_EQ(Variant("0.5").AsDouble(), 0.5);
  EXPECT_FLOAT_EQ(Variant(0.25).AsSingle(), 0.25f);
  EXPECT_TRUE(Variant(-1).AsBoolean());
  EXPECT_EQ(Variant(u"\u20AC").AsString(), "\x80");  // the euro sign
  EXPECT_EQ(Variant("\x80").AsWideString(), u"\u20AC");
  // The editors' null date is a date too.
  EXPECT_EQ(VarAsType(Variant(-700000.0), varDate).AsDouble(), -700000.0);
  EXPECT_THROW(Variant(-3e6).AsDateTime(), EVariantOverflowError);
  EXPECT_THROW(Null().AsBoolean(), EVariantTypeCastError);
  EXPECT_THROW(Variant(300).AsByte(), EVariantOverflowError);
}

TEST_F(VariantTest, NullConvertsToTextOnlyLeniently) {
  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_EQ(VarToStrDef(Null(), "n/a"), "n/a");
  EXPECT_EQ(VarToStrDef(Variant(), "n/a"), "");
  EXPECT_EQ(VarToStrDef(Variant(3), "n/a"), "3");
  EXPECT_EQ(VarToWideStr(Null()), u"");
  EXPECT_EQ(VarToWideStr(Variant(12)), u"12");
  EXPECT_THROW(VarToDateTime(Null()), EVariantTypeCastError);
  EXPECT_EQ(VarToDateTime(Variant("1/1/1900")), 2.0);
}

TEST_F(VariantTest, TextConversionsFollowTheFormatSettings) {
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(VarToStr(Variant(1.5)), "1,5");
  EXPECT_DOUBLE_EQ(Variant("2,25").AsDouble(), 2.25);
  EXPECT_THROW(Variant("2.25").AsDouble(), EVariantTypeCastError);
  FormatSettings.ShortDateFormat = "dd.mm.yyyy";
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(VarToStr(Date(2.0)), "01.01.1900");
  EXPECT_EQ(VarToDateTime(Variant("02.01.1900")), 3.0);
}

TEST_F(VariantTest, ConstructorsPickTheTypeOfTheCppValue) {
  struct {
    Variant v;
    TVarType type;
  } const cases[] = {
      {Variant(), varEmpty},
      {Null(), varNull},
      {Variant(true), varBoolean},
      {Variant(Shortint(1)), varShortInt},
      {Variant(Byte(1)), varByte},
      {Variant(Smallint(1)), varSmallint},
      {Variant(Word(1)), varWord},
      {Variant(1), varInteger},
      {Variant(1u), varLongWord},
      {Variant(Int64(1)), varInt64},
      {Variant(1.0f), varSingle},
      {Variant(1.0), varDouble},
      {Variant(Currency()), varCurrency},
      {VarFromDateTime(1.0), varDate},
      {Variant("a"), varString},
      {Variant('a'), varString},
      {Variant(String("a")), varString},
      {Variant(u"a"), varOleStr},
      {VarArrayOf({}), varArray | varVariant},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarType(c.v), c.type) << VarTypeAsText(c.type);
  }
  EXPECT_THROW(Variant(std::numeric_limits<unsigned long long>::max()),
               EVariantOverflowError);
}

TEST_F(VariantTest, Classification) {
  struct {
    Variant v;
    bool ordinal, floating, numeric, str;
  } const cases[] = {
      {Variant(), false, false, false, false},
      {Null(), false, false, false, false},
      {Variant(1), true, false, true, false},
      {Variant(true), true, false, true, false},
      {Variant(1.0), false, true, true, false},
      {Cur(1), false, true, true, false},
      {Date(1), false, false, false, false},
      {Variant("1"), false, false, false, true},
      {Variant(u"1"), false, false, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VarTypeAsText(c.v.VarType()));
    EXPECT_EQ(VarIsOrdinal(c.v), c.ordinal);
    EXPECT_EQ(VarIsFloat(c.v), c.floating);
    EXPECT_EQ(VarIsNumeric(c.v), c.numeric);
    EXPECT_EQ(VarIsStr(c.v), c.str);
  }
  for (TVarType t : {varSmallint, varInteger, varShortInt, varByte, varWord,
                     varLongWord, varInt64}) {
    EXPECT_TRUE(VarTypeIsInteger(t)) << VarTypeAsText(t);
  }
  for (TVarType t : {varEmpty, varNull, varBoolean, varSingle, varDouble,
                     varCurrency, varDate, varString, varOleStr, varVariant,
                     TVarType(varArray | varInteger)}) {
    EXPECT_FALSE(VarTypeIsInteger(t)) << VarTypeAsText(t);
  }
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsClear(Unassigned()));
  EXPECT_FALSE(VarIsClear(Null()));
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_TRUE(VarIsArray(VarArrayOf({1})));
  EXPECT_EQ(VarTypeAsText(varArray | varInteger), "Array Integer");
  EXPECT_EQ(VarTypeAsText(0x0123), "$0123");
}

TEST_F(VariantTest, ClearAndCopy) {
  Variant v = "text";
  Variant copy;
  VarCopy(copy, v);
  VarClear(v);
  EXPECT_TRUE(VarIsEmpty(v));
  EXPECT_EQ(VarToStr(copy), "text");
  Variant moved = std::move(copy);
  EXPECT_EQ(VarToStr(moved), "text");
  EXPECT_TRUE(VarIsEmpty(copy));  // NOLINT(bugprone-use-after-move)
}

// ---------------------------------------------------------------------------
// Operators
// ---------------------------------------------------------------------------

using BinaryFn = Variant (*)(const Variant&, const Variant&);
Variant Add(const Variant& a, const Variant& b) { return a + b; }
Variant Sub(const Variant& a, const Variant& b) { return a - b; }
Variant Mul(const Variant& a, const Variant& b) { return a * b; }
Variant Div(const Variant& a, const Variant& b) { return a / b; }
Variant Mod(const Variant& a, const Variant& b) { return a % b; }
Variant And(const Variant& a, const Variant& b) { return a & b; }
Variant Or(const Variant& a, const Variant& b) { return a | b; }
Variant Xor(const Variant& a, const Variant& b) { return a ^ b; }

struct OpCase {
  const char* name;
  BinaryFn op;
  Variant a, b;
  Outcome want;
};

const Outcome kOverflow =
    Err(EVariantOverflowError::StaticClass(), "Variant overflow");
const Outcome kInvalidOp =
    Err(EVariantInvalidOpError::StaticClass(), "Invalid variant operation");

TEST_F(VariantTest, BinaryOperators) {
  const OpCase cases[] = {
      {"1+2", Add, 1, 2, Val(varInteger, "3")},
      {"intmax+1", Add, INT32_MAX, 1, Val(varInt64, "2147483648")},
      {"intmin-1", Sub, INT32_MIN, 1, Val(varInt64, "-2147483649")},
      {"int64max+1", Add, I64(INT64_MAX), 1, kOverflow},
      {"byte+byte", Add, Byte(200), Byte(100), Val(varInteger, "300")},
      {"longword+int", Add, 4000000000u, 1, Val(varInt64, "4000000001")},
      {"int64+int", Add, I64(1), 1, Val(varInt64, "2")},
      {"65536*65536", Mul, 65536, 65536, Val(varInt64, "4294967296")},
      {"'a'+'b'", Add, "a", "b", Val(varString, "ab")},
      {"olestr+olestr", Add, u"a", u"b", Val(varOleStr, "ab")},
      {"str+olestr", Add, "a", u"b", Val(varString, "ab")},
      {"empty+'a'", Add, Variant(), "a", Val(varString, "a")},
      {"'1'+2", Add, "1", 2, Val(varDouble, "3")},
      {"'x'+2", Add, "x", 2, CastErr("String", "Double")},
      {"'2'*'3'", Mul, "2", "3", Val(varDouble, "6")},
      {"null+1", Add, Null(), 1, Val(varNull, "")},
      {"1+null", Add, 1, Null(), Val(varNull, "")},
      {"'a'+null", Add, "a", Null(), Val(varNull, "")},
      {"empty+1", Add, Variant(), 1, Val(varInteger, "1")},
      {"true+1", Add, true, 1, Val(varInteger, "0")},
      {"1.5+1", Add, 1.5, 1, Val(varDouble, "2.5")},
      {"single+int", Add, 1.5f, 1, Val(varDouble, "2.5")},
      {"cur+cur", Add, Cur(1000), Cur(2000), Val(varCurrency, "0.3")},
      {"cur+int", Add, Cur(10000), 2, Val(varCurrency, "3")},
      {"cur+double", Add, Cur(10000), 0.5, Val(varDouble, "1.5")},
      {"cur*cur", Mul, Cur(15000), Cur(15000), Val(varCurrency, "2.25")},
      {"cur*cur half even down", Mul, Cur(1), Cur(5000), Val(varCurrency, "0")},
      {"cur*cur half even up", Mul, Cur(3), Cur(5000),
       Val(varCurrency, "0.0002")},
      {"cur*cur exact", Mul, Cur(9000000000000000LL), Cur(10000),
       Val(varCurrency, "900000000000")},
      {"cur*cur overflow", Mul, Cur(INT64_MAX), Cur(20000), kOverflow},
      {"cur*int", Mul, Cur(12345), 3, Val(varCurrency, "3.7035")},
      {"cur+int overflow", Add, Cur(INT64_MAX), 1, kOverflow},
      {"date+1", Add, Date(2), 1, Val(varDate, "1/2/1900")},
      {"date-1", Sub, Date(2), 1, Val(varDate, "12/31/1899")},
      {"date-date", Sub, Date(5.5), Date(2), Val(varDouble, "3.5")},
      {"7/2", Div, 7, 2, Val(varDouble, "3.5")},
      {"6/3", Div, 6, 3, Val(varDouble, "2")},
      {"cur/int", Div, Cur(10000), 4, Val(varDouble, "0.25")},
      {"1/0", Div, 1, 0,
       Err(EZeroDivide::StaticClass(), "Floating point division by zero")},
      {"0/0", Div, 0, 0,
       Err(EInvalidOp::StaticClass(), "Invalid floating point operation")},
      {"null/0", Div, Null(), 0, Val(varNull, "")},
      {"7 div 2", VarIntDiv, 7, 2, Val(varInteger, "3")},
      {"-7 div 2", VarIntDiv, -7, 2, Val(varInteger, "-3")},
      {"7.5 div 2", VarIntDiv, 7.5, 2, Val(varInteger, "4")},
      {"int64 div", VarIntDiv, I64(10), 3, Val(varInt64, "3")},
      {"'9' div 2", VarIntDiv, "9", 2, Val(varInteger, "4")},
      {"7 div 0", VarIntDiv, 7, 0,
       Err(EDivByZero::StaticClass(), "Division by zero")},
      {"int64min div -1", VarIntDiv, I64(INT64_MIN), -1, kOverflow},
      {"7 mod 3", Mod, 7, 3, Val(varInteger, "1")},
      {"-7 mod 3", Mod, -7, 3, Val(varInteger, "-1")},
      {"7 mod 0", Mod, 7, 0,
       Err(EDivByZero::StaticClass(), "Division by zero")},
      {"true and false", And, true, false, Val(varBoolean, "False")},
      {"true or false", Or, true, false, Val(varBoolean, "True")},
      {"true xor true", Xor, true, true, Val(varBoolean, "False")},
      {"'True' and true", And, "True", true, Val(varBoolean, "True")},
      {"12 and 10", And, 12, 10, Val(varInteger, "8")},
      {"12 or 3", Or, 12, 3, Val(varInteger, "15")},
      {"12 xor 10", Xor, 12, 10, Val(varInteger, "6")},
      {"true and 5", And, true, 5, Val(varInteger, "5")},
      {"null and true", And, Null(), true, Val(varNull, "")},
      {"array+1", Add, VarArrayOf({1}), 1, kInvalidOp},
      {"1<array", Mul, 1, VarArrayOf({1}), kInvalidOp},
  };
  for (const OpCase& c : cases) {
    ExpectOutcome([&] { return c.op(c.a, c.b); }, c.want, c.name);
  }
}

TEST_F(VariantTest, UnaryOperators) {
  struct {
    const char* name;
    Variant (*op)(const Variant&);
    Variant a;
    Outcome want;
  } const cases[] = {
      {"not true", [](const Variant& v) { return ~v; }, true,
       Val(varBoolean, "False")},
      {"not 0", [](const Variant& v) { return ~v; }, 0, Val(varInteger, "-1")},
      {"not byte 0", [](const Variant& v) { return ~v; }, Byte(0),
       Val(varByte, "255")},
      {"not null", [](const Variant& v) { return ~v; }, Null(),
       Val(varNull, "")},
      {"-intmin", [](const Variant& v) { return -v; }, INT32_MIN,
       Val(varInt64, "2147483648")},
      {"-int64min", [](const Variant& v) { return -v; }, I64(INT64_MIN),
       kOverflow},
      {"-'1.5'", [](const Variant& v) { return -v; }, "1.5",
       Val(varDouble, "-1.5")},
      {"-cur", [](const Variant& v) { return -v; }, Cur(15000),
       Val(varCurrency, "-1.5")},
      {"-single", [](const Variant& v) { return -v; }, 1.5f,
       Val(varSingle, "-1.5")},
      {"-null", [](const Variant& v) { return -v; }, Null(), Val(varNull, "")},
      {"-array", [](const Variant& v) { return -v; }, VarArrayOf({1}),
       kInvalidOp},
  };
  for (const auto& c : cases) {
    ExpectOutcome([&] { return c.op(c.a); }, c.want, c.name);
  }
}

// ---------------------------------------------------------------------------
// Comparisons
// ---------------------------------------------------------------------------

TEST_F(VariantTest, ComparisonsAgreeWithTheRelationship) {
  struct {
    const char* name;
    Variant a, b;
    TVariantRelationship want;
  } const cases[] = {
      {"3 vs 3.0", 3, 3.0, vrEqual},
      {"2 vs 3", 2, 3, vrLessThan},
      {"cur vs double", Cur(15000), 1.5, vrEqual},
      {"cur vs int", Cur(10000), 1, vrEqual},
      {"cur vs cur", Cur(1), Cur(2), vrLessThan},
      {"int64 exact", I64(INT64_MAX), I64(INT64_MAX - 1), vrGreaterThan},
      {"int64 vs double beyond 2^53", I64((1LL << 53) + 1), 9007199254740992.0,
       vrGreaterThan},
      {"'abc' vs 'abd'", "abc", "abd", vrLessThan},
      {"'10' vs '9' as text", "10", "9", vrLessThan},
      {"'10' vs 9 as number", "10", 9, vrGreaterThan},
      {"9 vs '10' as number", 9, "10", vrLessThan},
      {"big text vs int64", "12345678901234567", I64(12345678901234568LL),
       vrLessThan},
      {"'1.5' vs cur", "1.5", Cur(15000), vrEqual},
      {"olestr vs str", u"abc", "abc", vrEqual},
      {"null vs null", Null(), Null(), vrEqual},
      {"null vs 1", Null(), 1, vrNotEqual},
      {"1 vs null", 1, Null(), vrNotEqual},
      {"null vs empty", Null(), Variant(), vrNotEqual},
      {"empty vs empty", Variant(), Variant(), vrEqual},
      {"empty vs 0", Variant(), 0, vrEqual},
      {"empty vs ''", Variant(), "", vrEqual},
      {"empty vs 'a'", Variant(), "a", vrLessThan},
      {"true vs -1", true, -1, vrEqual},
      {"true vs 1", true, 1, vrEqual},
      {"false vs 0", false, 0, vrEqual},
      {"false vs true", false, true, vrLessThan},
      {"true vs 'True'", true, "True", vrEqual},
      {"date vs 2", Date(2), 2, vrEqual},
      {"date vs text", Date(2), "1/1/1900", vrEqual},
      {"date vs later text", Date(2), "1/2/1900", vrLessThan},
      {"nan vs nan", std::nan(""), std::nan(""), vrNotEqual},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TVariantRelationship r = VarCompareValue(c.a, c.b);
    EXPECT_EQ(r, c.want);
    EXPECT_EQ(c.a == c.b, r == vrEqual);
    EXPECT_EQ(c.a != c.b, r != vrEqual);
    EXPECT_EQ(c.a < c.b, r == vrLessThan);
    EXPECT_EQ(c.a > c.b, r == vrGreaterThan);
    EXPECT_EQ(c.a <= c.b, r == vrLessThan || r == vrEqual);
    EXPECT_EQ(c.a >= c.b, r == vrGreaterThan || r == vrEqual);
  }
}

TEST_F(VariantTest, IncomparableValuesRaise) {
  try {
    (void)(Variant("abc") == Variant(5));
    FAIL() << "no exception";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(),
              "Could not convert variant of type (String) into type (Double)");
  }
  EXPECT_THROW((void)(Variant(5) < Variant("abc")), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant(true) == Variant("maybe")),
               EVariantTypeCastError);
  EXPECT_THROW((void)(VarArrayOf({1}) == VarArrayOf({1})),
               EVariantInvalidOpError);
}

TEST_F(VariantTest, SameValueSeparatesEmptyAndNull) {
  EXPECT_TRUE(VarSameValue(Variant(), Variant()));
  EXPECT_FALSE(VarSameValue(Variant(), 0));
  EXPECT_FALSE(VarSameValue(0, Variant()));
  EXPECT_TRUE(VarSameValue(Null(), Null()));
  EXPECT_FALSE(VarSameValue(Null(), Variant()));
  EXPECT_TRUE(VarSameValue(1, 1.0));
  EXPECT_FALSE(VarSameValue("a", "b"));
}

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

void ExpectBadIndex(const std::function<void()>& fn) {
  try {
    fn();
    ADD_FAILURE() << "no exception";
  } catch (const EVariantBadIndexError& e) {
    EXPECT_EQ(e.Message(), "Variant or safe array index out of bounds");
  }
}

TEST_F(VariantTest, MultiDimensionalArrayHoldsTypedElements) {
  Variant a = VarArrayCreate({1, 3, 0, 1}, varInteger);
  EXPECT_EQ(VarType(a), varArray | varInteger);
  EXPECT_EQ(VarArrayDimCount(a), 2);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(VarArrayLowBound(a, 2), 0);
  EXPECT_EQ(VarArrayHighBound(a, 2), 1);
  EXPECT_EQ(VarType(VarArrayGet(a, {2, 1})), varInteger);
  EXPECT_EQ(VarArrayGet(a, {2, 1}).AsInteger(), 0);
  for (int i = 1; i <= 3; ++i) {
    for (int j = 0; j <= 1; ++j) VarArrayPut(a, i * 10 + j, {i, j});
  }
  for (int i = 1; i <= 3; ++i) {
    for (int j = 0; j <= 1; ++j) {
      EXPECT_EQ(VarArrayGet(a, {i, j}).AsInteger(), i * 10 + j);
    }
  }
  // Elements take the array's type.
  VarArrayPut(a, "7", {1, 0});
  EXPECT_EQ(VarType(VarArrayGet(a, {1, 0})), varInteger);
  EXPECT_EQ(VarArrayGet(a, {1, 0}).AsInteger(), 7);
  EXPECT_THROW(VarArrayPut(a, "x", {1, 0}), EVariantTypeCastError);
  EXPECT_THROW(VarArrayPut(a, Null(), {1, 0}), EVariantTypeCastError);
  EXPECT_EQ(VarArrayGet(a, {1, 0}).AsInteger(), 7);
}

TEST_F(VariantTest, ArrayIndexErrors) {
  Variant a = VarArrayCreate({1, 3, 0, 1}, varInteger);
  ExpectBadIndex([&] { VarArrayGet(a, {0, 0}); });
  ExpectBadIndex([&] { VarArrayGet(a, {4, 0}); });
  ExpectBadIndex([&] { VarArrayGet(a, {1, 2}); });
  ExpectBadIndex([&] { VarArrayGet(a, {1}); });
  ExpectBadIndex([&] { VarArrayGet(a, {1, 0, 0}); });
  ExpectBadIndex([&] { VarArrayPut(a, 1, {1, -1}); });
  ExpectBadIndex([&] { VarArrayLowBound(a, 3); });
  ExpectBadIndex([&] { VarArrayHighBound(a, 0); });
  ExpectBadIndex([&] {
    VarArrayGet(VarArrayCreate({0, -1}, varVariant), {0});
  });
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantNotAnArrayError);
  EXPECT_THROW(VarArrayGet(Variant(1), {0}), EVariantNotAnArrayError);
  Variant notArray = 1;
  EXPECT_THROW(VarArrayRedim(notArray, 3), EVariantNotAnArrayError);
}

TEST_F(VariantTest, ArrayCreateErrors) {
  struct {
    const char* name;
    std::vector<Integer> bounds;
    TVarType type;
  } const cases[] = {
      {"no bounds", {}, varInteger},
      {"odd bounds", {0}, varInteger},
      {"high below low-1", {5, 3}, varInteger},
      {"null elements", {0, 1}, varNull},
      {"empty elements", {0, 1}, varEmpty},
      {"dispatch elements", {0, 1}, varDispatch},
      {"array elements", {0, 1}, varArray | varInteger},
      {"too large", {0, INT32_MAX}, varByte},
      {"too large in total", {0, 65535, 0, 65535}, varByte},
      {"widest bounds", {INT32_MIN, INT32_MAX}, varByte},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      VarArrayCreate(c.bounds, c.type);
      ADD_FAILURE() << "no exception";
    } catch (const EVariantArrayCreateError& e) {
      EXPECT_EQ(e.Message(), "Error creating variant or safe array");
    }
  }
  Variant empty = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  // No elements at all, however wide the other dimension.
  Variant flat = VarArrayCreate({0, INT32_MAX - 1, 0, -1}, varByte);
  EXPECT_EQ(VarArrayHighBound(flat, 1), INT32_MAX - 1);
  EXPECT_THROW(VarArrayRedim(flat, 0), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayRedim(empty, INT32_MAX), EVariantArrayCreateError);
  Variant wide = VarArrayCreate({INT32_MIN, INT32_MIN}, varByte);
  EXPECT_THROW(VarArrayRedim(wide, INT32_MAX), EVariantArrayCreateError);
  EXPECT_EQ(VarArrayHighBound(wide, 1), INT32_MIN);
}

TEST_F(VariantTest, ArrayOfVariantsKeepsEachElementsType) {
  Variant a = VarArrayOf({1, "a", Null(), VarArrayOf({2, 3})});
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(VarType(VarArrayGet(a, {0})), varInteger);
  EXPECT_EQ(VarType(VarArrayGet(a, {1})), varString);
  EXPECT_TRUE(VarIsNull(VarArrayGet(a, {2})));
  Variant inner = VarArrayGet(a, {3});
  EXPECT_EQ(VarArrayGet(inner, {1}).AsInteger(), 3);
  // Putting an array into itself stores a copy of what it was.
  VarArrayPut(a, a, {0});
  Variant nested = VarArrayGet(a, {0});
  EXPECT_EQ(VarArrayHighBound(nested, 1), 3);
  EXPECT_EQ(VarArrayGet(nested, {0}).AsInteger(), 1);
}

TEST_F(VariantTest, CopyingAnArrayCopiesItsElements) {
  Variant a = VarArrayOf({1, 2});
  Variant b = a;
  VarArrayPut(b, 9, {0});
  EXPECT_EQ(VarArrayGet(a, {0}).AsInteger(), 1);
  EXPECT_EQ(VarArrayGet(b, {0}).AsInteger(), 9);
}

TEST_F(VariantTest, RedimChangesTheLastDimensionAndKeepsElements) {
  Variant a = VarArrayCreate({0, 1, 1, 2}, varString);
  for (int i = 0; i <= 1; ++i) {
    for (int j = 1; j <= 2; ++j) VarArrayPut(a, IntToStr(i * 10 + j), {i, j});
  }
  VarArrayRedim(a, 4);
  EXPECT_EQ(VarArrayHighBound(a, 2), 4);
  EXPECT_EQ(VarArrayHighBound(a, 1), 1);
  for (int i = 0; i <= 1; ++i) {
    for (int j = 1; j <= 2; ++j) {
      EXPECT_EQ(VarToStr(VarArrayGet(a, {i, j})), IntToStr(i * 10 + j));
    }
    EXPECT_EQ(VarType(VarArrayGet(a, {i, 4})), varString);
    EXPECT_EQ(VarToStr(VarArrayGet(a, {i, 4})), "");
  }
  VarArrayRedim(a, 1);
  EXPECT_EQ(VarToStr(VarArrayGet(a, {1, 1})), "11");
  ExpectBadIndex([&] { VarArrayGet(a, {0, 2}); });
  VarArrayRedim(a, 0);  // empty last dimension
  VarArrayRedim(a, 1);
  EXPECT_EQ(VarToStr(VarArrayGet(a, {1, 1})), "");
  EXPECT_THROW(VarArrayRedim(a, -1), EVariantInvalidArgError);
}

// ---------------------------------------------------------------------------
// Custom kinds
// ---------------------------------------------------------------------------

// A decimal with two places, enough to show the hook.
struct TCents : TCustomVariantData {
  explicit TCents(Int64 c) : cents(c) {}
  Int64 cents;
};

class TCentsType : public TCustomVariantType {
 public:
  String Name() const override { return "Cents"; }
  TVarType CommonType() const override { return varCurrency; }
  Variant Make(Int64 cents) const {
    return Variant::FromCustom(VarType(), std::make_shared<TCents>(cents));
  }
  Variant CastTo(const Variant& v, TVarType target) const override {
    auto* data = static_cast<const TCents*>(v.CustomData());
    return VarAsType(Variant(Currency::FromScaled(data->cents * 100)), target);
  }
  Variant CastFrom(const Variant& v) const override {
    return Make(v.AsCurrency().Value / 100);
  }
};

TEST_F(VariantTest, CustomKindsConvertCompareAndCompute) {
  TVarType code;
  {
    TCentsType kind;
    code = kind.VarType();
    EXPECT_GE(code, varFirstCustom);
    EXPECT_EQ(FindCustomVariantType(code), &kind);
    EXPECT_EQ(VarTypeAsText(code), "Cents");

    Variant v = kind.Make(125);
    EXPECT_EQ(VarType(v), code);
    EXPECT_EQ(VarToStr(v), "1.25");
    EXPECT_EQ(v.AsInteger(), 1);
    Variant back = VarAsType(Variant(2.5), code);
    EXPECT_EQ(VarType(back), code);
    EXPECT_EQ(static_cast<const TCents*>(back.CustomData())->cents, 250);
    EXPECT_TRUE(v == Variant(1.25));
    EXPECT_TRUE(v < back);
    EXPECT_EQ(VarToStr(v + 1), "2.25");
    EXPECT_TRUE(VarIsNull(v + Null()));
    ExpectOutcome([&] { return VarAsType(Null(), code); },
                  CastErr("Null", "Cents"), "null>custom");
  }
  EXPECT_EQ(FindCustomVariantType(code), nullptr);
  EXPECT_THROW(Variant::FromCustom(code, nullptr), EVariantBadVarTypeError);
}

TEST_F(VariantTest, FormatTakesVariantArguments) {
  Variant s = "x", n = 7;
  EXPECT_EQ(Format("%s|%d|%s", {s, n, Null()}), "x|7|");
}

}  // namespace
