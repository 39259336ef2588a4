#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

#include "SysUtils.h"
#include "cxVariants.h"

namespace {

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

String Hex(const String& bytes) {
  String out;
  char buf[4];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", b);
    out += buf;
  }
  return out;
}

String FromHex(const String& hex) {
  String out;
  unsigned value = 0;
  int digits = 0;
  for (char c : hex) {
    if (c == ' ') continue;
    value = value * 16 +
            static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    if (++digits == 2) {
      out += static_cast<char>(value);
      value = 0;
      digits = 0;
    }
  }
  return out;
}

String WriteBytes(const Variant& v) {
  TStringStream stream;
  WriteVariantProc(&stream, v);
  return stream.DataString();
}

Variant ReadBytesAsVariant(const String& bytes) {
  TStringStream stream(bytes);
  return ReadVariantFunc(&stream);
}

Variant I64(Int64 v) { return Variant(static_cast<long long>(v)); }
Variant Cur(Int64 scaled) { return Variant(Currency::FromScaled(scaled)); }
Variant Arr(std::initializer_list<Variant> items) { return VarArrayOf(items); }

// An array of integers with the given low bound.
Variant IntArrayFrom(Integer low, std::initializer_list<int> items) {
  Variant a = VarArrayCreate(
      {low, low + static_cast<Integer>(items.size()) - 1}, varInteger);
  Integer i = low;
  for (int item : items) VarArrayPut(a, Variant(item), {i++});
  return a;
}

// Every text conversion below assumes these settings.
class cxVariantsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = DefaultFormatSettings();
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.DateSeparator = '/';
    FormatSettings.ShortDateFormat = "m/d/yyyy";
  }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

// A registered custom kind whose values hold a double; a "broken" value
// refuses every conversion.
struct TTestKindData : TCustomVariantData {
  double Value = 0;
  bool Broken = false;
};

class TTestKind : public TCustomVariantType {
  VARNEL_CLASS(TTestKind, TCustomVariantType)
 public:
  TTestKind(String name, TVarType common)
      : name_(std::move(name)), common_(common) {}
  String Name() const override { return name_; }
  TVarType CommonType() const override { return common_; }
  Variant CastTo(const Variant& source, TVarType target) const override {
    auto* data = static_cast<const TTestKindData*>(source.CustomData());
    if (data->Broken) throw EVariantTypeCastError("no conversion");
    Variant simple = common_ == varDate ? Variant::FromDateTime(data->Value)
                                        : Variant(data->Value);
    return VarAsType(simple, target);
  }
  Variant CastFrom(const Variant& source) const override {
    return Make(source.AsDouble());
  }
  Variant Make(double value, bool broken = false) const {
    auto data = std::make_shared<TTestKindData>();
    data->Value = value;
    data->Broken = broken;
    return Variant::FromCustom(VarType(), data);
  }

 private:
  String name_;
  TVarType common_;
};

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

struct CompareCase {
  const char* what;
  Variant a;
  Variant b;
  Integer expected;
};

TEST_F(cxVariantsTest, VarCompareOrdersEmptyNullValuesAndArrays) {
  const CompareCase cases[] = {
      {"empty, empty", Variant(), Variant(), 0},
      {"empty, null", Variant(), Null(), -1},
      {"null, empty", Null(), Variant(), 1},
      {"empty, 0", Variant(), Variant(0), -1},
      {"0, empty", Variant(0), Variant(), 1},
      {"empty, \"\"", Variant(), Variant(""), -1},
      {"null, null", Null(), Null(), 0},
      {"null, 5", Null(), Variant(5), -1},
      {"5, null", Variant(5), Null(), 1},
      {"null, \"\"", Null(), Variant(""), -1},
      {"3, 3.0", Variant(3), Variant(3.0), 0},
      {"2, 3", Variant(2), Variant(3), -1},
      {"3, 2", Variant(3), Variant(2), 1},
      {"\"a\", \"b\"", Variant("a"), Variant("b"), -1},
      {"\"10\", 9", Variant("10"), Variant(9), 1},
      {"true, -1", Variant(true), Variant(-1), 0},
      // Incomparable values are "less" in both orders.
      {"\"abc\", 5", Variant("abc"), Variant(5), -1},
      {"5, \"abc\"", Variant(5), Variant("abc"), -1},
      {"array, 5", Arr({1}), Variant(5), 1},
      {"5, array", Variant(5), Arr({1}), -1},
      {"array, null", Arr({}), Null(), 1},
      {"[1,2,3], [1,2]", Arr({1, 2, 3}), Arr({1, 2}), 1},
      {"[1,2], [1,2,3]", Arr({1, 2}), Arr({1, 2, 3}), -1},
      // The difference of the high bounds, not only its sign.
      {"[1..5], [1]", Arr({1, 2, 3, 4, 5}), Arr({9}), 4},
      {"[1,5], [1,2]", Arr({1, 5}), Arr({1, 2}), 1},
      {"[1,2], [1,5]", Arr({1, 2}), Arr({1, 5}), -1},
      {"[1,2], [1,2.0]", Arr({1, 2}), Arr({1, 2.0}), 0},
      {"[], []", Arr({}), Arr({}), 0},
      {"[null], [empty]", Arr({Null()}), Arr({Variant()}), 1},
      {"nested", Arr({Arr({1, 2})}), Arr({Arr({1, 3})}), -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarCompare(c.a, c.b), c.expected) << c.what;
    EXPECT_EQ(VarEquals(c.a, c.b), c.expected == 0) << c.what;
  }
}

TEST_F(cxVariantsTest, VarCompareArraysByPositionWhateverTheLowBound) {
  // Arrays that do not start at 0 compare element by element instead of
  // failing on index 0.
  EXPECT_EQ(VarCompare(IntArrayFrom(5, {1, 2, 3}), IntArrayFrom(5, {1, 2, 3})),
            0);
  EXPECT_EQ(VarCompare(IntArrayFrom(5, {1, 2, 3}), IntArrayFrom(5, {1, 2, 4})),
            -1);
  // Equal high bounds, different low bounds: the common positions decide.
  EXPECT_EQ(VarCompare(IntArrayFrom(1, {7, 8}), IntArrayFrom(0, {7, 9, 8})),
            -1);
}

TEST_F(cxVariantsTest, VarCompareRaisesOnMultiDimensionalArrays) {
  Variant grid = VarArrayCreate({0, 1, 0, 1}, varVariant);
  EXPECT_THROW(VarCompare(grid, grid), EVariantBadIndexError);
}

struct EqualsExactCase {
  const char* what;
  Variant a;
  Variant b;
  bool expected;
};

TEST_F(cxVariantsTest, VarEqualsExactKeepsBooleansApartFromNumbers) {
  const EqualsExactCase cases[] = {
      {"true, -1", Variant(true), Variant(-1), false},
      {"-1, true", Variant(-1), Variant(true), false},
      {"true, 1", Variant(true), Variant(1), false},
      {"false, 0", Variant(false), Variant(0), false},
      {"true, true", Variant(true), Variant(true), true},
      {"true, false", Variant(true), Variant(false), false},
      {"true, \"True\"", Variant(true), Variant("True"), true},
      {"true, \"true\"", Variant(true), Variant("true"), false},
      {"true, null", Variant(true), Null(), false},
      {"null, null", Null(), Null(), true},
      {"3, 3.0", Variant(3), Variant(3.0), true},
      {"1, \"1\"", Variant(1), Variant("1"), true},
      // The array has no text: a failed conversion is inequality.
      {"true, array", Variant(true), Arr({1}), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarEqualsExact(c.a, c.b), c.expected) << c.what;
  }
}

TEST_F(cxVariantsTest, SoftNullIsNullOrEmptyText) {
  const struct {
    const char* what;
    Variant v;
    bool softNull;
  } cases[] = {
      {"null", Null(), true},        {"\"\"", Variant(""), true},
      {"u\"\"", Variant(u""), true}, {"\" \"", Variant(" "), false},
      {"empty", Variant(), false},   {"0", Variant(0), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarIsSoftNull(c.v), c.softNull) << c.what;
  }
  EXPECT_TRUE(VarEqualsSoft(Null(), Variant("")));
  EXPECT_TRUE(VarEqualsSoft(Variant(u""), Variant("")));
  EXPECT_TRUE(VarEqualsSoft(Variant(2), Variant(2.0)));
  EXPECT_FALSE(VarEqualsSoft(Variant(" "), Null()));
  EXPECT_FALSE(VarEqualsSoft(Variant(), Null()));
}

TEST_F(cxVariantsTest, VarIndexFindsTheFirstEqualElement) {
  const std::vector<Variant> items{Variant(1), Variant("abc"), Variant(3.0),
                                   Variant(3)};
  EXPECT_EQ(VarIndex(items, Variant(3)), 2);
  EXPECT_EQ(VarIndex(items, Variant(1.0)), 0);
  EXPECT_EQ(VarIndex(items, Variant("abc")), 1);
  EXPECT_EQ(VarIndex(items, Variant("x")), -1);
  EXPECT_EQ(VarIndex({}, Variant(1)), -1);
}

TEST_F(cxVariantsTest, ClassifiesDatesNumbersAndCurrencyWithTheCustomKinds) {
  TTestKind timeStamp("SQLTimeStamp", varDate);
  TTestKind bcd("FMTBcd", varDouble);
  TTestKind other("Other", varDate);
  const Variant stamp = timeStamp.Make(2.5);
  const Variant decimal = bcd.Make(1.25);
  const Variant unrelated = other.Make(2.5);

  EXPECT_TRUE(VarIsDate(Variant::FromDateTime(1.0)));
  EXPECT_TRUE(VarIsDate(stamp));
  EXPECT_FALSE(VarIsDate(Variant(1.0)));
  EXPECT_FALSE(VarIsDate(unrelated));

  EXPECT_TRUE(VarIsNumericEx(Variant(1)));
  EXPECT_TRUE(VarIsNumericEx(Variant(1.5)));
  EXPECT_TRUE(VarIsNumericEx(Cur(1)));
  EXPECT_TRUE(VarIsNumericEx(decimal));
  EXPECT_FALSE(VarIsNumericEx(Variant("1")));
  EXPECT_FALSE(VarIsNumericEx(stamp));

  EXPECT_TRUE(VarTypeIsCurrency(varCurrency));
  EXPECT_TRUE(VarTypeIsCurrency(bcd.VarType()));
  EXPECT_FALSE(VarTypeIsCurrency(varDouble));
  EXPECT_FALSE(VarTypeIsCurrency(timeStamp.VarType()));
}

TEST_F(cxVariantsTest, VarToStrExGivesEmptyTextForNull) {
  EXPECT_EQ(VarToStrEx(Null()), "");
  EXPECT_EQ(VarToStrEx(Variant(12)), "12");
  EXPECT_EQ(VarToStrEx(Variant(true)), "True");
}

// ---------------------------------------------------------------------------
// Filter arrays
// ---------------------------------------------------------------------------

void ExpectArray(const Variant& a, const std::vector<Variant>& items) {
  ASSERT_TRUE(VarIsArray(a));
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  ASSERT_EQ(VarArrayHighBound(a, 1), static_cast<Integer>(items.size()) - 1);
  for (std::size_t i = 0; i < items.size(); ++i) {
    Variant item = VarArrayGet(a, {static_cast<Integer>(i)});
    EXPECT_EQ(VarType(item), VarType(items[i])) << i;
    EXPECT_TRUE(VarEquals(item, items[i])) << i;
  }
}

TEST_F(cxVariantsTest, FilterArraysHoldTheirValuesFromIndexZero) {
  ExpectArray(VarBetweenArrayCreate(Variant(1), Variant("z")),
              {Variant(1), Variant("z")});
  Variant list = VarListArrayCreate(Null());
  ExpectArray(list, {Null()});
  VarListArrayAddValue(list, Variant(2.5));
  VarListArrayAddValue(list, Variant("x"));
  ExpectArray(list, {Null(), Variant(2.5), Variant("x")});
}

TEST_F(cxVariantsTest, AddValueKeepsTheElementsOfAnArrayNotStartingAtZero) {
  Variant list = IntArrayFrom(5, {10, 20, 30});
  VarListArrayAddValue(list, Variant(40));
  ExpectArray(list, {Variant(10), Variant(20), Variant(30), Variant(40)});
}

TEST_F(cxVariantsTest, AddValueRefusesANonArray) {
  Variant notArray(5);
  EXPECT_THROW(VarListArrayAddValue(notArray, Variant(1)),
               EVariantNotAnArrayError);
  EXPECT_EQ(VarType(notArray), varInteger);
}

// ---------------------------------------------------------------------------
// Variant stream: bytes
// ---------------------------------------------------------------------------

struct StreamCase {
  const char* what;
  Variant value;
  const char* bytes;
  TVarType readType;
};

String Repeat(char c, std::size_t n) { return String(n, c); }

TEST_F(cxVariantsTest, VariantStreamBytesOfEveryType) {
  const StreamCase cases[] = {
      {"null", Null(), "00", varNull},
      {"empty", Variant(), "0D", varEmpty},
      {"false", Variant(false), "08", varBoolean},
      {"true", Variant(true), "09", varBoolean},
      {"100", Variant(100), "02 64", varShortInt},
      {"-128", Variant(-128), "02 80", varShortInt},
      {"127", Variant(127), "02 7F", varShortInt},
      {"128", Variant(128), "03 80 00", varSmallint},
      {"200", Variant(200), "03 C8 00", varSmallint},
      {"-129", Variant(-129), "03 7F FF", varSmallint},
      {"32767", Variant(32767), "03 FF 7F", varSmallint},
      {"-32768", Variant(-32768), "03 00 80", varSmallint},
      {"32768", Variant(32768), "04 00 80 00 00", varInteger},
      {"-32769", Variant(-32769), "04 FF 7F FF FF", varInteger},
      {"2147483647", Variant(2147483647), "04 FF FF FF 7F", varInteger},
      {"2147483648", I64(2147483648LL), "13 00 00 00 80 00 00 00 00", varInt64},
      {"-2147483649", I64(-2147483649LL), "13 FF FF FF 7F FF FF FF FF",
       varInt64},
      {"small Int64", I64(7), "02 07", varShortInt},
      {"byte 5", Variant(static_cast<unsigned char>(5)), "02 05", varShortInt},
      {"shortint -5", Variant(static_cast<signed char>(-5)), "02 FB",
       varShortInt},
      {"smallint 300", Variant(static_cast<short>(300)), "03 2C 01",
       varSmallint},
      {"word 65535", Variant(static_cast<unsigned short>(65535)),
       "04 FF FF 00 00", varInteger},
      {"longword 4000000000", Variant(4000000000u),
       "13 00 28 6B EE 00 00 00 00", varInt64},
      {"double 1.5", Variant(1.5), "05 00 00 00 00 00 00 00 C0 FF 3F",
       varDouble},
      {"double -2", Variant(-2.0), "05 00 00 00 00 00 00 00 80 00 C0",
       varDouble},
      {"single 1.5", Variant(1.5f), "0F 00 00 C0 3F", varSingle},
      {"currency 1.5", Cur(15000), "10 98 3A 00 00 00 00 00 00", varCurrency},
      {"currency -0.0001", Cur(-1), "10 FF FF FF FF FF FF FF FF", varCurrency},
      {"date 2.5", Variant::FromDateTime(2.5), "11 00 00 00 00 00 00 04 40",
       varDate},
      {"date beyond 9999", Variant::FromDateTime(1e7),
       "11 00 00 00 00 D0 12 63 41", varDate},
      {"wide", Variant(u"A\u00e9"), "12 02 00 00 00 41 00 E9 00", varOleStr},
      {"empty wide", Variant(u""), "12 00 00 00 00", varOleStr},
      {"string", Variant("abc"), "06 03 61 62 63", varString},
      {"empty string", Variant(""), "06 00", varString},
      {"array", Arr({1, "a"}), "01 02 02 02 01 06 01 61",
       varArray | varVariant},
      {"empty array", Arr({}), "01 02 00", varArray | varVariant},
      {"nested array", Arr({Arr({Null()})}), "01 02 01 01 02 01 00",
       varArray | varVariant},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const String bytes = WriteBytes(c.value);
    EXPECT_EQ(Hex(bytes), c.bytes);
    TStringStream in(bytes);
    Variant back = ReadVariantFunc(&in);
    EXPECT_EQ(in.Position(), static_cast<Int64>(bytes.size()));
    EXPECT_EQ(VarTypeAsText(VarType(back)), VarTypeAsText(c.readType));
    EXPECT_EQ(VarCompare(back, c.value), 0);
  }
}

TEST_F(cxVariantsTest, VariantStreamStringLengthForms) {
  const String s255 = Repeat('x', 255);
  const String s256 = Repeat('y', 256);
  String bytes = WriteBytes(Variant(s255));
  EXPECT_EQ(Hex(bytes.substr(0, 2)), "06 FF");
  EXPECT_EQ(bytes.size(), 2u + 255u);
  EXPECT_EQ(ReadBytesAsVariant(bytes).AsString(), s255);

  bytes = WriteBytes(Variant(s256));
  EXPECT_EQ(Hex(bytes.substr(0, 5)), "0C 00 01 00 00");
  EXPECT_EQ(bytes.size(), 5u + 256u);
  Variant back = ReadBytesAsVariant(bytes);
  EXPECT_EQ(VarType(back), varString);
  EXPECT_EQ(back.AsString(), s256);
}

TEST_F(cxVariantsTest, VariantStreamArrayReadsBackFromZero) {
  const String bytes = WriteBytes(IntArrayFrom(5, {1, 2, 300}));
  EXPECT_EQ(Hex(bytes), "01 02 03 02 01 02 02 03 2C 01");
  ExpectArray(ReadBytesAsVariant(bytes), {Variant(static_cast<signed char>(1)),
                                          Variant(static_cast<signed char>(2)),
                                          Variant(static_cast<short>(300))});
}

TEST_F(cxVariantsTest, VariantStreamReadsAnyCountForm) {
  // The writer always takes the smallest form; a reader accepts the others.
  ExpectArray(ReadBytesAsVariant(FromHex("01 04 02 00 00 00 09 08")),
              {Variant(true), Variant(false)});
  ExpectArray(ReadBytesAsVariant(FromHex("01 13 01 00 00 00 00 00 00 00 00")),
              {Null()});
}

TEST_F(cxVariantsTest, VariantStreamCustomKinds) {
  TTestKind timeStamp("SQLTimeStamp", varDate);
  TTestKind bcd("FMTBcd", varDouble);
  // The time stamp goes as its date.
  EXPECT_EQ(Hex(WriteBytes(timeStamp.Make(2.5))), "11 00 00 00 00 00 00 04 40");
  // Other kinds as their text.
  EXPECT_EQ(Hex(WriteBytes(bcd.Make(1.25))), "06 04 31 2E 32 35");
  // Without a text, nothing is written but an error.
  TStringStream out;
  try {
    WriteVariantProc(&out, bcd.Make(1, true));
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_EQ(out.DataString(), "");
  EXPECT_THROW(WriteBytes(timeStamp.Make(1, true)), EWriteError);
}

// Extended values in and out of the double type 5 carries.
struct ExtendedCase {
  const char* what;
  const char* ext;  // the 10 bytes, little-endian
  double value;
};

TEST_F(cxVariantsTest, VariantStreamDoublesAsExtended) {
  const double denormMin = std::numeric_limits<double>::denorm_min();
  const double inf = std::numeric_limits<double>::infinity();
  // Exact both ways.
  const ExtendedCase exact[] = {
      {"0", "00 00 00 00 00 00 00 00 00 00", 0.0},
      {"1", "00 00 00 00 00 00 00 80 FF 3F", 1.0},
      {"0.1", "00 D0 CC CC CC CC CC CC FB 3F", 0.1},
      {"max", "00 F8 FF FF FF FF FF FF FE 43", DBL_MAX},
      {"min normal", "00 00 00 00 00 00 00 80 01 3C", DBL_MIN},
      {"denormal min", "00 00 00 00 00 00 00 80 CD 3B", denormMin},
      {"denormal", "00 00 00 00 00 00 00 C0 CE 3B", 3 * denormMin},
      {"-inf", "00 00 00 00 00 00 00 80 FF FF", -inf},
  };
  for (const auto& c : exact) {
    SCOPED_TRACE(c.what);
    const String bytes = WriteBytes(Variant(c.value));
    EXPECT_EQ(Hex(bytes.substr(1)), c.ext);
    EXPECT_EQ(ReadBytesAsVariant(bytes).AsDouble(), c.value);
  }
  // Extended values a double cannot hold exactly: rounded to nearest, ties
  // to even, like the FPU.
  const ExtendedCase rounded[] = {
      {"1 + 2^-53 (tie, down to even)", "00 04 00 00 00 00 00 80 FF 3F", 1.0},
      {"1 + 2^-53 + 2^-63", "01 04 00 00 00 00 00 80 FF 3F",
       1.0 + std::ldexp(1.0, -52)},
      {"1 + 3*2^-53 (tie, up to even)", "00 0C 00 00 00 00 00 80 FF 3F",
       1.0 + std::ldexp(1.0, -51)},
      {"rounds up to 2", "00 FC FF FF FF FF FF FF FF 3F", 2.0},
      {"too large", "FF FF FF FF FF FF FF FF FE 7F", inf},
      {"rounds past max", "00 FC FF FF FF FF FF FF FE 43", inf},
      {"too small", "00 00 00 00 00 00 00 80 01 00", 0.0},
      {"2^-1075 (tie, down to 0)", "00 00 00 00 00 00 00 80 CC 3B", 0.0},
      {"1.5 * 2^-1075", "00 00 00 00 00 00 00 C0 CC 3B", denormMin},
      {"denormal extended", "00 00 00 00 00 00 00 40 00 00", 0.0},
  };
  for (const auto& c : rounded) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadBytesAsVariant("\x05" + FromHex(c.ext)).AsDouble(), c.value);
  }
  // -0 keeps its sign; a NaN stays a NaN.
  const String negZero = WriteBytes(Variant(-0.0));
  EXPECT_EQ(Hex(negZero), "05 00 00 00 00 00 00 00 00 00 80");
  EXPECT_TRUE(std::signbit(ReadBytesAsVariant(negZero).AsDouble()));
  const String nan =
      WriteBytes(Variant(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(Hex(nan.substr(9)), "FF 7F");
  EXPECT_TRUE(std::isnan(ReadBytesAsVariant(nan).AsDouble()));
  EXPECT_TRUE(
      std::isnan(ReadBytesAsVariant(FromHex("05 00 00 00 00 00 00 00 C0 FF 7F"))
                     .AsDouble()));
}

// ---------------------------------------------------------------------------
// Variant stream: errors
// ---------------------------------------------------------------------------

TEST_F(cxVariantsTest, VariantStreamRefusesBadOrTruncatedInput) {
  const struct {
    const char* what;
    const char* bytes;
  } cases[] = {
      {"type 7", "07"},
      {"type 10", "0A"},
      {"type 11", "0B"},
      {"type 14", "0E"},
      {"type 20", "14"},
      {"type 255", "FF"},
      {"nothing", ""},
      {"short small integer", "03 C8"},
      {"short Int64", "13 00 00 00 00"},
      {"short double", "05 00 00 00"},
      {"short single", "0F 00"},
      {"short currency", "10 00 00 00 00 00 00 00"},
      {"short date", "11 00"},
      {"short string", "06 05 61 62"},
      {"missing length", "06"},
      {"short long string", "0C 10 00 00 00 61"},
      {"negative string length", "0C FF FF FF FF"},
      {"huge string length", "0C FF FF FF 7F 61"},
      {"short wide string", "12 02 00 00 00 41 00 42"},
      {"negative wide length", "12 00 00 00 80"},
      {"huge wide length", "12 FF FF FF 3F 41 00"},
      {"array without count", "01"},
      {"array with missing elements", "01 02 03 02 01"},
      {"negative count", "01 02 FF"},
      {"huge count", "01 13 FF FF FF FF FF FF FF 7F 00"},
      {"count above 32 bits", "01 13 00 00 00 00 01 00 00 00 00"},
      {"bad element", "01 02 02 00 07"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const String bytes = FromHex(c.bytes);
    TStringStream in(bytes);
    Variant target("kept");
    try {
      ReadVariantProc(&in, target);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_LE(in.Position(), static_cast<Int64>(bytes.size()));
    // A failed read leaves the target as it was.
    EXPECT_EQ(VarType(target), varString);
    EXPECT_EQ(target.AsString(), "kept");
  }
}

TEST_F(cxVariantsTest, VariantStreamRefusesWhatItCannotStore) {
  TStringStream out;
  try {
    WriteVariantProc(&out, VarArrayCreate({0, 1, 0, 1}, varVariant));
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_EQ(out.DataString(), "");
}

Variant Nested(Integer depth) {
  Variant v(1);
  for (Integer i = 0; i < depth; ++i) v = Arr({v});
  return v;
}

TEST_F(cxVariantsTest, VariantStreamNestingIsBounded) {
  // As deep as may be stored round-trips; one level more is refused both
  // ways, so a stored stream can always be read back.
  const String deepest = WriteBytes(Nested(MaxVariantStreamDepth));
  EXPECT_EQ(WriteBytes(ReadBytesAsVariant(deepest)), deepest);
  EXPECT_THROW(WriteBytes(Nested(MaxVariantStreamDepth + 1)), EWriteError);

  String tooDeep;
  for (Integer i = 0; i < MaxVariantStreamDepth + 1; ++i)
    tooDeep += "\x01\x02\x01";
  tooDeep += '\0';
  EXPECT_THROW(ReadBytesAsVariant(tooDeep), EReadError);
  // Far deeper input ends in the same error, not in a stack overflow.
  String hostile;
  for (int i = 0; i < 200000; ++i) hostile += "\x01\x02\x01";
  EXPECT_THROW(ReadBytesAsVariant(hostile), EReadError);
}

// ---------------------------------------------------------------------------
// Plain values, filer objects
// ---------------------------------------------------------------------------

TEST_F(cxVariantsTest, PlainValuesThroughWriterAndReader) {
  TStringStream stream;
  TcxWriter writer(&stream);
  EXPECT_EQ(writer.Stream(), &stream);
  writer.WriteBoolean(true);
  writer.WriteBoolean(false);
  writer.WriteChar('A');
  writer.WriteByte(200);
  writer.WriteShortInt(-2);
  writer.WriteSmallInt(-300);
  writer.WriteWord(65000);
  writer.WriteInteger(-70000);
  writer.WriteCardinal(4000000000u);
  writer.WriteLargeInt(-5000000000LL);
  writer.WriteSingle(-0.5f);
  writer.WriteCurrency(Currency::FromScaled(12345));
  writer.WriteDateTime(1.5);
  writer.WriteFloat(1.5L);
  writer.WriteString("hi");
  writer.WriteString("");
  writer.WriteWideString(u"\u20acx");
  writer.WriteVariant(Variant(200));
  EXPECT_EQ(Hex(stream.DataString()),
            "01 00 41 C8 FE D4 FE E8 FD 90 EE FE FF 00 28 6B EE "
            "00 0E FA D5 FE FF FF FF 00 00 00 BF 39 30 00 00 00 00 00 00 "
            "00 00 00 00 00 00 F8 3F 00 00 00 00 00 00 00 C0 FF 3F "
            "02 00 00 00 68 69 00 00 00 00 02 00 00 00 AC 20 78 00 "
            "03 C8 00");

  stream.SetPosition(0);
  TcxReader reader(&stream);
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_FALSE(reader.ReadBoolean());
  EXPECT_EQ(reader.ReadChar(), 'A');
  EXPECT_EQ(reader.ReadByte(), 200);
  EXPECT_EQ(reader.ReadShortInt(), -2);
  EXPECT_EQ(reader.ReadSmallInt(), -300);
  EXPECT_EQ(reader.ReadWord(), 65000);
  EXPECT_EQ(reader.ReadInteger(), -70000);
  EXPECT_EQ(reader.ReadCardinal(), 4000000000u);
  EXPECT_EQ(reader.ReadLargeInt(), -5000000000LL);
  EXPECT_EQ(reader.ReadSingle(), -0.5f);
  EXPECT_EQ(reader.ReadCurrency().Value, 12345);
  EXPECT_EQ(reader.ReadDateTime(), 1.5);
  EXPECT_EQ(reader.ReadFloat(), 1.5L);
  EXPECT_EQ(reader.ReadString(), "hi");
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_EQ(reader.ReadWideString(), u"\u20acx");
  Variant v = reader.ReadVariant();
  EXPECT_EQ(VarType(v), varSmallint);
  EXPECT_EQ(v.AsInteger(), 200);
  EXPECT_EQ(stream.Position(), stream.Size());
  // Nothing left: the stream's own error.
  EXPECT_THROW(reader.ReadInteger(), EReadError);
}

TEST_F(cxVariantsTest, PlainValueProceduresAndAnyNonZeroBoolean) {
  TStringStream stream(FromHex("02 FF 34 12"));
  bool b = false;
  ReadBooleanProc(&stream, b);
  EXPECT_TRUE(b);
  Shortint s = 0;
  ReadShortIntProc(&stream, s);
  EXPECT_EQ(s, -1);
  Word w = 0;
  ReadWordProc(&stream, w);
  EXPECT_EQ(w, 0x1234);
  Integer untouched = 7;
  EXPECT_THROW(ReadIntegerProc(&stream, untouched), EReadError);
  EXPECT_EQ(untouched, 7);
}

#if LDBL_MANT_DIG == 64
TEST_F(cxVariantsTest, FloatKeepsTheFullExtendedPrecision) {
  const Extended value = 1.0L + std::ldexp(1.0L, -60);
  TStringStream stream;
  WriteFloatProc(&stream, value);
  EXPECT_EQ(Hex(stream.DataString()), "08 00 00 00 00 00 00 80 FF 3F");
  stream.SetPosition(0);
  Extended back = 0;
  ReadFloatProc(&stream, back);
  EXPECT_EQ(back, value);
}
#endif

}  // namespace
