#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "SysUtils.h"
#include "VariantAssert.h"
#include "cxDataStorage.h"
#include "cxVariants.h"

namespace {

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

// Counts its destructions, so that ownership mistakes show as a wrong count
// (and a leak or a double free as an ASan report).
class TTracked : public TObject {
  VARNEL_CLASS(TTracked, TObject)
 public:
  explicit TTracked(int& ADestroyed) : destroyed_(&ADestroyed) {}
  ~TTracked() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

String StreamBytes(TcxDataStorage& AStorage, Integer ARecordIndex) {
  TStringStream stream;
  AStorage.WriteData(ARecordIndex, &stream);
  return stream.DataString();
}

void ReadBytes(TcxDataStorage& AStorage, Integer ARecordIndex,
               const String& ABytes) {
  TStringStream stream(ABytes);
  AStorage.ReadData(ARecordIndex, &stream);
}

TBcd Bcd(const char* AText) {
  TBcd bcd;
  EXPECT_TRUE(TryStrToBcd(AText, bcd)) << AText;
  return bcd;
}

TSQLTimeStamp TimeStamp(Smallint AYear, Word AMonth, Word ADay, Word AHour,
                        Word AMinute, Word ASecond, LongWord AFractions) {
  TSQLTimeStamp ts;
  ts.Year = AYear;
  ts.Month = AMonth;
  ts.Day = ADay;
  ts.Hour = AHour;
  ts.Minute = AMinute;
  ts.Second = ASecond;
  ts.Fractions = AFractions;
  return ts;
}

// Texts of numbers and dates in the US form for the life of the object.
class TUsFormats {
 public:
  TUsFormats() : saved_(FormatSettings) {
    FormatSettings = DefaultFormatSettings();
  }
  ~TUsFormats() { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};

// ---------------------------------------------------------------------------
// Value types
// ---------------------------------------------------------------------------

TEST(cxValueTypeTest, TheFourteenTypesAreRegisteredInOrderWithTheirCaptions) {
  struct Case {
    TcxValueTypeClass type;
    const char* caption;
    TVarType varType;
  };
  const Case cases[] = {
      {TcxStringValueType::Class(), "String", varString},
      {TcxWideStringValueType::Class(), "WideString", varOleStr},
      {TcxSmallintValueType::Class(), "Smallint", varSmallint},
      {TcxIntegerValueType::Class(), "Integer", varInteger},
      {TcxWordValueType::Class(), "Word", varWord},
      {TcxBooleanValueType::Class(), "Boolean", varBoolean},
      {TcxFloatValueType::Class(), "Float", varDouble},
      {TcxCurrencyValueType::Class(), "Currency", varCurrency},
      {TcxDateTimeValueType::Class(), "DateTime", varDate},
      {TcxLargeIntValueType::Class(), "LargeInt", varInt64},
      {TcxFMTBcdValueType::Class(), "FMTBcd", VarFMTBcd()},
      {TcxSQLTimeStampValueType::Class(), "SQLTimeStamp", VarSQLTimeStamp()},
      {TcxVariantValueType::Class(), "Variant", varVariant},
      {TcxObjectValueType::Class(), "Object", varInteger},
  };
  TcxValueTypeClassList* list = cxValueTypeClassList();
  ASSERT_EQ(list->Count(), 14);
  for (Integer i = 0; i < 14; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(list->Items(i), c.type);
    EXPECT_EQ(c.type->Caption(), c.caption);
    EXPECT_EQ(c.type->GetVarType(), c.varType);
    EXPECT_EQ(list->ItemByCaption(c.caption), c.type);
  }
  EXPECT_EQ(list->ItemByCaption("string"), nullptr);
  EXPECT_EQ(list->ItemByCaption(""), nullptr);
  EXPECT_THROW(list->Items(14), EListError);
}

TEST(cxValueTypeTest, FixedDataSizesAndStringKinds) {
  EXPECT_EQ(TcxSmallintValueType::Class()->GetDataSize(), 2);
  EXPECT_EQ(TcxIntegerValueType::Class()->GetDataSize(), 4);
  EXPECT_EQ(TcxWordValueType::Class()->GetDataSize(), 2);
  EXPECT_EQ(TcxBooleanValueType::Class()->GetDataSize(), 1);
  EXPECT_EQ(TcxFloatValueType::Class()->GetDataSize(), 8);
  EXPECT_EQ(TcxCurrencyValueType::Class()->GetDataSize(), 8);
  EXPECT_EQ(TcxDateTimeValueType::Class()->GetDataSize(), 8);
  EXPECT_EQ(TcxLargeIntValueType::Class()->GetDataSize(), 8);
  EXPECT_EQ(TcxFMTBcdValueType::Class()->GetDataSize(), 34);
  EXPECT_EQ(TcxSQLTimeStampValueType::Class()->GetDataSize(), 16);
  EXPECT_TRUE(TcxStringValueType::Class()->IsString());
  EXPECT_TRUE(TcxWideStringValueType::Class()->IsString());
  EXPECT_FALSE(TcxVariantValueType::Class()->IsString());
  EXPECT_TRUE(IsDateTimeValueTypeClass(TcxDateTimeValueType::Class()));
  EXPECT_TRUE(IsDateTimeValueTypeClass(TcxSQLTimeStampValueType::Class()));
  EXPECT_FALSE(IsDateTimeValueTypeClass(TcxFloatValueType::Class()));
  EXPECT_TRUE(cxValueTypeInheritsFrom(TcxObjectValueType::Class(),
                                      TcxIntegerValueType::Class()));
  EXPECT_FALSE(cxValueTypeInheritsFrom(TcxIntegerValueType::Class(),
                                       TcxObjectValueType::Class()));
}

TEST(cxValueTypeTest, IsValueValidConvertsInPlaceOrRefuses) {
  struct Case {
    TcxValueTypeClass type;
    Variant value;
    bool valid;
    Variant converted;
  };
  const Case cases[] = {
      {TcxIntegerValueType::Class(), Variant("12"), true, Variant(12)},
      {TcxIntegerValueType::Class(), Variant("abc"), false, Variant("abc")},
      {TcxIntegerValueType::Class(), Null(), true, Null()},
      {TcxFloatValueType::Class(), Variant("1.5"), true, Variant(1.5)},
      {TcxBooleanValueType::Class(), Variant(1), true, Variant(true)},
      {TcxStringValueType::Class(), Variant(7), true, Variant("7")},
      {TcxVariantValueType::Class(), Variant("x"), true, Variant("x")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type->Caption() + " " + VarToStr(c.value));
    Variant v = c.value;
    EXPECT_EQ(c.type->IsValueValid(v), c.valid);
    EXPECT_TRUE(SameVariant(v, c.converted));
  }
}

// ---------------------------------------------------------------------------
// One storage with one field per value type
// ---------------------------------------------------------------------------

struct TypedValue {
  TcxValueTypeClass type;
  Variant in;   // what is set
  Variant out;  // what is read back
};

std::vector<TypedValue> SampleValues() {
  TDateTime when = EncodeDateTime(2021, 3, 4, 5, 6, 7, 0);
  return {
      {TcxStringValueType::Class(), Variant("h\xE9llo"), Variant("h\xE9llo")},
      {TcxWideStringValueType::Class(), Variant(u"\u0416\u4E2D\U0001F600"),
       Variant(u"\u0416\u4E2D\U0001F600")},
      {TcxSmallintValueType::Class(), Variant(-1234), Variant(Smallint(-1234))},
      {TcxIntegerValueType::Class(), Variant(INT32_MIN), Variant(INT32_MIN)},
      {TcxWordValueType::Class(), Variant(65535), Variant(Word(65535))},
      {TcxBooleanValueType::Class(), Variant(true), Variant(true)},
      {TcxFloatValueType::Class(), Variant(-2.5e-300), Variant(-2.5e-300)},
      {TcxCurrencyValueType::Class(),
       Variant(Currency::FromScaled(-922337203685477LL)),
       Variant(Currency::FromScaled(-922337203685477LL))},
      {TcxDateTimeValueType::Class(), Variant::FromDateTime(when),
       Variant::FromDateTime(when)},
      {TcxLargeIntValueType::Class(), Variant(INT64_MIN), Variant(INT64_MIN)},
      {TcxFMTBcdValueType::Class(), Variant("-12345678901234567890.125"),
       VarFMTBcdCreate(Bcd("-12345678901234567890.125"))},
      {TcxSQLTimeStampValueType::Class(), Variant::FromDateTime(when),
       Variant::FromDateTime(when)},
      {TcxVariantValueType::Class(), VarArrayOf({Variant(1), Variant("two")}),
       VarArrayOf({Variant(1), Variant("two")})},
  };
}

class cxDataStorageTest : public ::testing::Test {
 protected:
  TcxValueDef* Add(TcxValueTypeClass AType, bool ATextStored = false) {
    return storage.ValueDefs()->Add(AType, true, ATextStored, nullptr);
  }
  TUsFormats formats;
  TcxDataStorage storage;
};

TEST_F(cxDataStorageTest, EveryTypeKeepsItsValueAndAFreshRecordReadsNull) {
  std::vector<TypedValue> values = SampleValues();
  std::vector<TcxValueDef*> defs;
  for (const TypedValue& v : values) defs.push_back(Add(v.type));
  storage.SetRecordCount(2);
  for (std::size_t i = 0; i < values.size(); ++i) {
    storage.SetValue(0, defs[i], values[i].in);
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(values[i].type->Caption());
    EXPECT_TRUE(SameVariant(storage.GetValue(0, defs[i]), values[i].out));
    EXPECT_TRUE(storage.GetValue(1, defs[i]).IsNull());
    EXPECT_EQ(storage.GetDisplayText(1, defs[i]), "");
  }
  EXPECT_FALSE(storage.HasRecordBuffer(1));
}

TEST_F(cxDataStorageTest, EveryTypeSurvivesAStreamRoundTripWithNulls) {
  std::vector<TypedValue> values = SampleValues();
  TcxDataStorage target;
  std::vector<TcxValueDef*> defs, targetDefs;
  for (const TypedValue& v : values) {
    defs.push_back(Add(v.type, true));
    targetDefs.push_back(target.ValueDefs()->Add(v.type, true, true, nullptr));
  }
  storage.SetUseRecordID(true);
  target.SetUseRecordID(true);
  storage.SetRecordCount(2);
  target.SetRecordCount(2);
  for (std::size_t i = 0; i < values.size(); ++i) {
    storage.SetValue(0, defs[i], values[i].in);
    storage.SetDisplayText(0, defs[i], "text " + IntToStr(Integer(i)));
    // Record 1: every value Null, but with a display text.
    storage.SetDisplayText(1, defs[i], "null " + IntToStr(Integer(i)));
  }
  storage.SetRecordID(0, 41);
  ReadBytes(target, 1, StreamBytes(storage, 0));
  ReadBytes(target, 0, StreamBytes(storage, 1));
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(values[i].type->Caption());
    EXPECT_TRUE(SameVariant(target.GetValue(1, targetDefs[i]), values[i].out));
    EXPECT_EQ(target.GetDisplayText(1, targetDefs[i]),
              "text " + IntToStr(Integer(i)));
    EXPECT_TRUE(target.GetValue(0, targetDefs[i]).IsNull());
    EXPECT_EQ(target.GetDisplayText(0, targetDefs[i]),
              "null " + IntToStr(Integer(i)));
  }
  EXPECT_EQ(target.GetRecordID(1), 41);
  // The stored ID moves the counter past it.
  EXPECT_EQ(target.GetRecordID(target.AppendRecord()), 42);
}

TEST_F(cxDataStorageTest, StreamFormsOfTheFixedWidthTypes) {
  struct Case {
    TcxValueTypeClass type;
    Variant value;
    String bytes;  // after the is-empty byte and the is-Null byte
  };
  const Case cases[] = {
      {TcxStringValueType::Class(), Variant("ab"), String("\2\0\0\0ab", 6)},
      {TcxWideStringValueType::Class(), Variant(u"\u0416"),
       String("\1\0\0\0\x16\x04", 6)},
      {TcxSmallintValueType::Class(), Variant(-2), String("\xFE\xFF", 2)},
      {TcxIntegerValueType::Class(), Variant(258), String("\2\1\0\0", 4)},
      {TcxWordValueType::Class(), Variant(513), String("\1\2", 2)},
      {TcxBooleanValueType::Class(), Variant(true), String("\1", 1)},
      {TcxFloatValueType::Class(), Variant(1.0),
       String("\0\0\0\0\0\0\0\x80\xFF\x3F", 10)},
      {TcxCurrencyValueType::Class(), Variant(Currency::FromScaled(10000)),
       String("\x10\x27\0\0\0\0\0\0", 8)},
      {TcxLargeIntValueType::Class(), Variant(-1LL), String(8, '\xFF')},
      {TcxObjectValueType::Class(), cxObjectToVariant(nullptr), String()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type->Caption());
    TcxDataStorage s;
    TcxValueDef* def = s.ValueDefs()->Add(c.type, true, false, nullptr);
    s.SetRecordCount(1);
    s.SetValue(0, def, c.value);
    EXPECT_EQ(StreamBytes(s, 0), String("\0\0", 2) + c.bytes);
  }
  TcxDataStorage s;
  s.ValueDefs()->Add(TcxIntegerValueType::Class(), true, false, nullptr);
  s.SetRecordCount(1);
  EXPECT_EQ(StreamBytes(s, 0), String("\1", 1)) << "no buffer: one byte";
}

TEST_F(cxDataStorageTest, TypesCompareByTheirOwnOrderAndNullComesFirst) {
  struct Case {
    TcxValueTypeClass type;
    Variant low, high;
  };
  TDateTime day = EncodeDate(2020, 1, 1);
  const Case cases[] = {
      {TcxStringValueType::Class(), Variant("B"), Variant("a")},
      {TcxStringValueType::Class(), Variant("a"), Variant("\xE9")},
      {TcxWideStringValueType::Class(), Variant(u"Z"), Variant(u"\u00E9")},
      {TcxSmallintValueType::Class(), Variant(-32768), Variant(32767)},
      {TcxIntegerValueType::Class(), Variant(INT32_MIN), Variant(INT32_MAX)},
      {TcxWordValueType::Class(), Variant(0), Variant(65535)},
      {TcxBooleanValueType::Class(), Variant(false), Variant(true)},
      {TcxFloatValueType::Class(), Variant(-1e300), Variant(1e300)},
      {TcxCurrencyValueType::Class(), Variant(Currency::FromScaled(-1)),
       Variant(Currency::FromScaled(1))},
      {TcxDateTimeValueType::Class(), Variant::FromDateTime(day),
       Variant::FromDateTime(day + 0.5)},
      {TcxLargeIntValueType::Class(), Variant(INT64_MIN), Variant(INT64_MAX)},
      {TcxFMTBcdValueType::Class(), Variant("-0.5"), Variant("0.25")},
      {TcxFMTBcdValueType::Class(), Variant("9.99"), Variant("10")},
      {TcxSQLTimeStampValueType::Class(),
       Variant::FromDateTime(EncodeDateTime(2020, 12, 31, 23, 0, 0, 0)),
       Variant::FromDateTime(EncodeDateTime(2021, 1, 1, 0, 0, 0, 0))},
      {TcxVariantValueType::Class(), Variant(2), Variant(10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type->Caption() + " " + VarToStr(c.low));
    TcxDataStorage s;
    TcxValueDef* def = s.ValueDefs()->Add(c.type, true, false, nullptr);
    s.SetRecordCount(4);
    s.SetValue(0, def, c.low);
    s.SetValue(1, def, c.high);
    s.SetValue(2, def, c.low);
    // Record 3 stays Null.
    EXPECT_LT(s.CompareRecords(0, 1, def), 0);
    EXPECT_GT(s.CompareRecords(1, 0, def), 0);
    EXPECT_EQ(s.CompareRecords(0, 2, def), 0);
    EXPECT_LT(s.CompareRecords(3, 0, def), 0);
    EXPECT_GT(s.CompareRecords(0, 3, def), 0);
    EXPECT_EQ(s.CompareRecords(3, 3, def), 0);
    // The value pointers of GetCompareInfo compare the same way.
    const void* p0 = nullptr;
    const void* p1 = nullptr;
    ASSERT_FALSE(s.GetCompareInfo(0, def, p0));
    ASSERT_FALSE(s.GetCompareInfo(1, def, p1));
    EXPECT_LT(def->CompareValues(false, false, p0, p1), 0);
    EXPECT_TRUE(s.GetCompareInfo(3, def, p0));
  }
}

TEST_F(cxDataStorageTest, SqlTimeStampsCompareFieldByField) {
  TcxValueTypeClass type = TcxSQLTimeStampValueType::Class();
  TSQLTimeStamp a = TimeStamp(2020, 5, 1, 0, 0, 0, 0);
  TSQLTimeStamp b = TimeStamp(2020, 4, 30, 23, 59, 59, 999);
  EXPECT_GT(type->CompareValues(&a, &b), 0);
  EXPECT_LT(type->CompareValues(&b, &a), 0);
  b = a;
  b.Fractions = 4000000000u;  // beyond what an Integer difference holds
  EXPECT_LT(type->CompareValues(&a, &b), 0);
  EXPECT_GT(type->CompareValues(&b, &a), 0);
  EXPECT_EQ(type->CompareValues(&a, &a), 0);
}

TEST_F(cxDataStorageTest, DisplayTextsOfValues) {
  struct Case {
    TcxValueTypeClass type;
    Variant value;
    const char* text;
  };
  const Case cases[] = {
      {TcxBooleanValueType::Class(), Variant(true), "True"},
      {TcxBooleanValueType::Class(), Variant(false), "False"},
      {TcxIntegerValueType::Class(), Variant(-5), "-5"},
      {TcxStringValueType::Class(), Variant("abc"), "abc"},
      {TcxFMTBcdValueType::Class(), Variant("1.50"), "1.5"},
      {TcxDateTimeValueType::Class(),
       Variant::FromDateTime(EncodeDate(2021, 3, 4)), "3/4/2021"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TcxDataStorage s;
    TcxValueDef* def = s.ValueDefs()->Add(c.type, true, false, nullptr);
    s.SetRecordCount(1);
    s.SetValue(0, def, c.value);
    EXPECT_EQ(s.GetDisplayText(0, def), c.text);
  }
}

TEST_F(cxDataStorageTest, StoredDateOutsideTheCalendarShowsNoText) {
  TcxValueDef* date = Add(TcxDateTimeValueType::Class());
  TcxValueDef* any = Add(TcxVariantValueType::Class());
  storage.SetRecordCount(1);
  TStringStream bytes;
  WriteBooleanProc(&bytes, false);
  WriteBooleanProc(&bytes, false);
  WriteDateTimeProc(&bytes, 1e300);
  WriteBooleanProc(&bytes, false);
  WriteByteProc(&bytes, 17);  // a date variant
  WriteDateTimeProc(&bytes, -1e300);
  ReadBytes(storage, 0, bytes.DataString());
  EXPECT_EQ(storage.GetDisplayText(0, date), "");
  EXPECT_EQ(storage.GetDisplayText(0, any), "");
}

TEST_F(cxDataStorageTest, StringCellIsReusedAndFreedWithNull) {
  TcxValueDef* def = Add(TcxStringValueType::Class());
  storage.SetRecordCount(1);
  storage.SetValue(0, def, "one");
  const void* first = nullptr;
  ASSERT_FALSE(storage.GetCompareInfo(0, def, first));
  storage.SetValue(0, def, "two");
  const void* second = nullptr;
  ASSERT_FALSE(storage.GetCompareInfo(0, def, second));
  EXPECT_EQ(first, second);
  EXPECT_EQ(*static_cast<const String*>(second), "two");
  storage.SetValue(0, def, Null());
  EXPECT_TRUE(storage.GetCompareInfo(0, def, second));
  EXPECT_TRUE(storage.GetValue(0, def).IsNull());
  storage.SetValue(0, def, "three");
  EXPECT_EQ(VarToStr(storage.GetValue(0, def)), "three");
}

TEST_F(cxDataStorageTest, RefusedValueLeavesTheFieldAsItWas) {
  TcxValueDef* number = Add(TcxIntegerValueType::Class());
  TcxValueDef* decimal = Add(TcxFMTBcdValueType::Class());
  storage.SetRecordCount(1);
  EXPECT_THROW(storage.SetValue(0, number, "not a number"), EVariantError);
  EXPECT_TRUE(storage.GetValue(0, number).IsNull());
  storage.SetValue(0, number, 7);
  storage.SetValue(0, decimal, "2.5");
  EXPECT_THROW(storage.SetValue(0, number, "x"), EVariantError);
  EXPECT_THROW(storage.SetValue(0, decimal, "y"), EVariantError);
  EXPECT_TRUE(SameVariant(storage.GetValue(0, number), Variant(7)));
  EXPECT_EQ(BcdToStr(VarToBcd(storage.GetValue(0, decimal))), "2.5");
}

// ---------------------------------------------------------------------------
// Object ownership
// ---------------------------------------------------------------------------

TEST_F(cxDataStorageTest, ObjectValuesAreOwnedByTheStorage) {
  int destroyed = 0;
  TcxValueDef* def = Add(TcxObjectValueType::Class());
  storage.SetRecordCount(2);
  auto* first = new TTracked(destroyed);
  auto* second = new TTracked(destroyed);
  storage.SetValue(0, def, cxObjectToVariant(first));
  EXPECT_EQ(cxVariantToObject(storage.GetValue(0, def)), first);
  // The same object again is kept, not freed.
  storage.SetValue(0, def, cxObjectToVariant(first));
  EXPECT_EQ(destroyed, 0);
  // Another object replaces it: the first goes.
  storage.SetValue(0, def, cxObjectToVariant(second));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(cxVariantToObject(storage.GetValue(0, def)), second);
  storage.SetValue(0, def, Null());
  EXPECT_EQ(destroyed, 2);
  EXPECT_TRUE(storage.GetValue(0, def).IsNull());

  storage.SetValue(0, def, cxObjectToVariant(new TTracked(destroyed)));
  storage.SetValue(1, def, cxObjectToVariant(new TTracked(destroyed)));
  storage.DeleteRecord(0);
  EXPECT_EQ(destroyed, 3);
  storage.ClearRecords(false);
  EXPECT_EQ(destroyed, 4);

  Integer internal = storage.AddInternalRecord();
  storage.SetValue(internal, def, cxObjectToVariant(new TTracked(destroyed)));
  storage.DeleteInternalRecord(internal);
  EXPECT_EQ(destroyed, 5);
}

TEST_F(cxDataStorageTest, DestroyingTheStorageFreesItsObjects) {
  int destroyed = 0;
  {
    TcxDataStorage s;
    TcxValueDef* def =
        s.ValueDefs()->Add(TcxObjectValueType::Class(), true, false, nullptr);
    s.SetRecordCount(1);
    s.SetValue(0, def, cxObjectToVariant(new TTracked(destroyed)));
    s.SetValue(s.AddInternalRecord(), def,
               cxObjectToVariant(new TTracked(destroyed)));
  }
  EXPECT_EQ(destroyed, 2);
}

TEST_F(cxDataStorageTest, ReadingAnObjectFieldKeepsThePresentObject) {
  int destroyed = 0;
  TcxValueDef* def = Add(TcxObjectValueType::Class());
  storage.SetRecordCount(1);
  auto* object = new TTracked(destroyed);
  storage.SetValue(0, def, cxObjectToVariant(object));
  String bytes = StreamBytes(storage, 0);
  EXPECT_EQ(bytes, String("\0\0", 2));
  ReadBytes(storage, 0, bytes);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(cxVariantToObject(storage.GetValue(0, def)), object);
  // A Null read frees it.
  ReadBytes(storage, 0, String("\0\1", 2));
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(storage.GetValue(0, def).IsNull());
}

// ---------------------------------------------------------------------------
// Records, IDs and internal records
// ---------------------------------------------------------------------------

TEST_F(cxDataStorageTest, RecordIDsStayWithTheirRecords) {
  TcxValueDef* def = Add(TcxIntegerValueType::Class());
  storage.SetUseRecordID(true);
  storage.SetRecordCount(3);
  for (Integer i = 0; i < 3; ++i) storage.SetValue(i, def, i * 10);
  storage.DeleteRecord(1);
  ASSERT_EQ(storage.RecordCount(), 2);
  EXPECT_EQ(storage.GetRecordID(0), 1);
  EXPECT_EQ(storage.GetRecordID(1), 3);
  EXPECT_TRUE(SameVariant(storage.GetValue(1, def), Variant(20)));
  storage.InsertRecord(0);
  EXPECT_EQ(storage.GetRecordID(0), 4);
  EXPECT_EQ(storage.GetRecordID(1), 1);

  storage.SetRecordCount(0);
  EXPECT_EQ(storage.GetRecordID(storage.AppendRecord()), 1);

  // Records kept through a clear get fresh IDs.
  storage.SetRecordCount(2);
  storage.ClearRecords(false);
  EXPECT_EQ(storage.RecordCount(), 2);
  EXPECT_EQ(storage.GetRecordID(0), 3);
  EXPECT_EQ(storage.GetRecordID(1), 4);
}

TEST_F(cxDataStorageTest,
       SwitchingRecordIDsOrStoredValuesOnlyKeepsBuffersSound) {
  TcxValueDef* kept = Add(TcxStringValueType::Class(), true);
  TcxValueDef* optional = storage.ValueDefs()->Add(TcxStringValueType::Class(),
                                                   false, true, nullptr);
  storage.SetRecordCount(3);
  Integer internal = storage.AddInternalRecord();
  for (Integer i = 0; i < 3; ++i) {
    storage.SetValue(i, kept, "k" + IntToStr(i));
    storage.SetValue(i, optional, "o" + IntToStr(i));
  }
  storage.SetValue(internal, kept, "edited");
  storage.SetDisplayText(internal, kept, "edited text");

  storage.SetUseRecordID(true);
  EXPECT_EQ(storage.GetRecordID(0), 1);
  EXPECT_EQ(storage.GetRecordID(2), 3);
  EXPECT_TRUE(storage.GetValue(0, kept).IsNull());
  // The internal record keeps its values through the change of layout.
  EXPECT_EQ(VarToStr(storage.GetValue(internal, kept)), "edited");
  EXPECT_EQ(storage.GetDisplayText(internal, kept), "edited text");

  storage.SetStoredValuesOnly(true);
  EXPECT_FALSE(optional->Stored());
  EXPECT_EQ(optional->BufferSize(), 0);
  storage.SetValue(1, optional, "ignored");
  EXPECT_TRUE(storage.GetValue(1, optional).IsNull());
  storage.SetValue(1, kept, "k");
  EXPECT_EQ(VarToStr(storage.GetValue(1, kept)), "k");
  // Records kept through the change get fresh IDs.
  EXPECT_EQ(storage.GetRecordID(1), 5);

  storage.SetUseRecordID(false);
  storage.SetStoredValuesOnly(false);
  storage.SetValue(1, optional, "back");
  EXPECT_EQ(VarToStr(storage.GetValue(1, optional)), "back");
  EXPECT_EQ(VarToStr(storage.GetValue(internal, kept)), "edited");
}

TEST_F(cxDataStorageTest, InternalRecordsAreReusedAfterDelete) {
  TcxValueDef* def = Add(TcxStringValueType::Class());
  EXPECT_EQ(storage.AddInternalRecord(), -1);
  EXPECT_EQ(storage.AddInternalRecord(), -2);
  storage.SetValue(-1, def, "stale");
  storage.DeleteInternalRecord(-1);
  EXPECT_EQ(storage.AddInternalRecord(), -1);
  EXPECT_TRUE(storage.GetValue(-1, def).IsNull());
  EXPECT_EQ(storage.AddInternalRecord(), -3);
  storage.DeleteRecord(-2);
  EXPECT_EQ(storage.AddInternalRecord(), -2);

  // An internal and a main record compare through the same main definition.
  storage.SetRecordCount(1);
  storage.SetValue(0, def, "b");
  storage.SetValue(-3, def, "a");
  EXPECT_LT(storage.CompareRecords(-3, 0, def), 0);
  EXPECT_GT(storage.CompareRecords(0, -3, def), 0);

  int cleared = 0;
  storage.OnClearInternalRecords =
      TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, &storage);
        ++cleared;
      });
  storage.Clear(true);
  EXPECT_EQ(cleared, 0);
  EXPECT_EQ(storage.InternalRecordCount(), 3);
  storage.Clear(false);
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(storage.InternalRecordCount(), 0);
}

TEST_F(cxDataStorageTest, IndexesOutOfRangeRaiseTheListError) {
  TcxValueDef* def = Add(TcxIntegerValueType::Class());
  storage.SetRecordCount(2);
  struct Case {
    const char* name;
    std::function<void()> call;
    Integer index;
  };
  const Case cases[] = {
      {"GetValue", [&] { storage.GetValue(2, def); }, 2},
      {"SetValue", [&] { storage.SetValue(5, def, 1); }, 5},
      {"internal", [&] { storage.GetValue(-1, def); }, -1},
      {"DeleteRecord", [&] { storage.DeleteRecord(2); }, 2},
      {"InsertRecord", [&] { storage.InsertRecord(3); }, 3},
      {"WriteData",
       [&] {
         TStringStream s;
         storage.WriteData(-1, &s);
       },
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(),
                Format("List index out of bounds (%d)", {c.index}));
    }
  }
  EXPECT_EQ(storage.RecordCount(), 2);
}

// ---------------------------------------------------------------------------
// Definitions and buffer layout
// ---------------------------------------------------------------------------

TEST_F(cxDataStorageTest, BufferLayoutFollowsTheDefinitions) {
  TcxValueDef* a = Add(TcxIntegerValueType::Class());
  TcxValueDef* b = Add(TcxSmallintValueType::Class(), true);
  EXPECT_EQ(a->Offset(), 1);
  EXPECT_EQ(a->BufferSize(), 5);
  EXPECT_EQ(b->Offset(), 6);
  EXPECT_EQ(b->BufferSize(), 3 + Integer{sizeof(void*)});
  EXPECT_EQ(storage.ValueDefs()->RecordSize(), 9 + Integer{sizeof(void*)});
  storage.SetUseRecordID(true);
  EXPECT_EQ(a->Offset(), 5);
  EXPECT_EQ(storage.ValueDefs()->RecordOffset(), 5);
  // Each main definition has an internal twin.
  EXPECT_EQ(storage.InternalValueDefs()->Count(), 2);
  TcxInternalValueDef* twin = storage.InternalValueDefs()->FindByLinkObject(b);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(twin->GetValueDef(), b);
  EXPECT_TRUE(twin->TextStored());
}

TEST_F(cxDataStorageTest, AddingAndRemovingDefinitionsKeepsTheOtherValues) {
  TcxValueDef* a = Add(TcxStringValueType::Class(), true);
  TcxValueDef* b = Add(TcxIntegerValueType::Class());
  storage.SetRecordCount(3);
  Integer internal = storage.AddInternalRecord();
  for (Integer i = 0; i < 3; ++i) {
    storage.SetValue(i, a, "a" + IntToStr(i));
    storage.SetDisplayText(i, a, "text" + IntToStr(i));
    storage.SetValue(i, b, i);
  }
  storage.SetValue(internal, b, 99);
  TcxValueDef* c = Add(TcxFloatValueType::Class());
  storage.SetValue(1, c, 1.5);
  storage.ValueDefs()->Remove(a);
  EXPECT_EQ(storage.InternalValueDefs()->Count(), 2);
  for (Integer i = 0; i < 3; ++i) {
    EXPECT_TRUE(SameVariant(storage.GetValue(i, b), Variant(i)));
  }
  EXPECT_TRUE(SameVariant(storage.GetValue(1, c), Variant(1.5)));
  EXPECT_TRUE(storage.GetValue(0, c).IsNull());
  EXPECT_TRUE(SameVariant(storage.GetValue(internal, b), Variant(99)));

  // Freeing a definition from outside takes it out of its list as well.
  Free(c);
  EXPECT_EQ(storage.ValueDefs()->Count(), 1);
  EXPECT_TRUE(SameVariant(storage.GetValue(2, b), Variant(2)));
}

TEST_F(cxDataStorageTest, RemovingTheLastStoredDefinitionFreesTheBuffers) {
  TcxValueDef* a = Add(TcxStringValueType::Class());
  storage.SetRecordCount(2);
  storage.SetValue(0, a, "x");
  storage.SetValue(1, a, "y");
  storage.ValueDefs()->Remove(a);
  EXPECT_EQ(storage.RecordCount(), 2);
  EXPECT_FALSE(storage.HasRecordBuffer(0));
  EXPECT_FALSE(storage.HasRecordBuffer(1));
}

TEST_F(cxDataStorageTest, ChangingAFieldTypeOrTextFlagReLaysTheBuffers) {
  TcxValueDef* a = Add(TcxStringValueType::Class());
  TcxValueDef* b = Add(TcxLargeIntValueType::Class());
  storage.SetRecordCount(2);
  Integer internal = storage.AddInternalRecord();
  storage.SetValue(0, a, "first");
  storage.SetValue(0, b, 5);
  storage.SetValue(internal, b, 6);
  a->SetValueTypeClass(TcxFMTBcdValueType::Class());
  EXPECT_EQ(storage.InternalValueDefs()->FindByLinkObject(a)->ValueTypeClass(),
            TcxFMTBcdValueType::Class());
  EXPECT_TRUE(storage.GetValue(0, a).IsNull());
  EXPECT_TRUE(SameVariant(storage.GetValue(0, b), Variant(5LL)));
  EXPECT_TRUE(SameVariant(storage.GetValue(internal, b), Variant(6LL)));
  storage.SetValue(1, a, "123.25");
  a->SetTextStored(true);
  storage.SetDisplayText(1, a, "shown");
  EXPECT_EQ(storage.GetDisplayText(1, a), "shown");
  EXPECT_TRUE(SameVariant(storage.GetValue(0, b), Variant(5LL)));
  b->SetValueTypeClass(TcxStringValueType::Class());
  storage.SetValue(1, b, "now text");
  EXPECT_EQ(storage.GetDisplayText(1, a), "shown");
  EXPECT_EQ(VarToStr(storage.GetValue(1, b)), "now text");
}

TEST_F(cxDataStorageTest, ReadRecordTakesTheReadersValues) {
  class TReader : public TcxValueDefReader {
   public:
    TcxValueDef* skip = nullptr;
    Variant GetValue(TcxValueDef* AValueDef) override {
      return AValueDef == skip ? Variant(-1) : Variant(42);
    }
    String GetDisplayText(TcxValueDef*) override { return "read"; }
    bool IsInternal(TcxValueDef* AValueDef) override {
      return AValueDef == skip;
    }
  };
  TcxValueDef* a = Add(TcxIntegerValueType::Class(), true);
  TcxValueDef* b = Add(TcxIntegerValueType::Class());
  storage.SetRecordCount(1);
  TReader reader;
  reader.skip = b;
  storage.ReadRecord(0, &reader);
  EXPECT_TRUE(SameVariant(storage.GetValue(0, a), Variant(42)));
  EXPECT_EQ(storage.GetDisplayText(0, a), "read");
  EXPECT_TRUE(storage.GetValue(0, b).IsNull());

  std::vector<TcxValueDef*> seen;
  storage.ReadRecordFrom(0, 0, &reader,
                         [&](TcxValueDef* AValueDef, Integer, Integer,
                             TcxValueDefReader* AReader) {
                           EXPECT_EQ(AReader, &reader);
                           seen.push_back(AValueDef);
                         });
  EXPECT_EQ(seen, (std::vector<TcxValueDef*>{a, b}));
}

// ---------------------------------------------------------------------------
// Record streams
// ---------------------------------------------------------------------------

TEST_F(cxDataStorageTest, StreamingFollowsTheStreamingOrderAndFlags) {
  TcxValueDef* a = Add(TcxIntegerValueType::Class());
  TcxValueDef* b = Add(TcxIntegerValueType::Class());
  TcxValueDef* c = Add(TcxIntegerValueType::Class());
  c->SetStreamStored(false);
  storage.SetRecordCount(1);
  storage.SetValue(0, a, 1);
  storage.SetValue(0, b, 2);
  storage.SetValue(0, c, 3);
  // Reverse order: b before a; c not at all.
  storage.BeginStreaming([&](TcxValueDef* A, TcxValueDef* B) {
    return storage.ValueDefs()->IndexOf(B) - storage.ValueDefs()->IndexOf(A);
  });
  EXPECT_EQ(storage.ValueDefs()->Items(0), c);
  String bytes = StreamBytes(storage, 0);
  EXPECT_EQ(bytes, String("\0\0\2\0\0\0\0\1\0\0\0", 11));
  storage.SetValue(0, a, 10);
  storage.SetValue(0, b, 20);
  storage.SetValue(0, c, 30);
  ReadBytes(storage, 0, bytes);
  storage.EndStreaming();
  EXPECT_EQ(storage.ValueDefs()->Items(0), a);
  EXPECT_TRUE(SameVariant(storage.GetValue(0, a), Variant(1)));
  EXPECT_TRUE(SameVariant(storage.GetValue(0, b), Variant(2)));
  EXPECT_TRUE(SameVariant(storage.GetValue(0, c), Variant(30)));

  // An empty record in the stream empties the record.
  ReadBytes(storage, 0, String("\1", 1));
  EXPECT_FALSE(storage.HasRecordBuffer(0));
}

TEST_F(cxDataStorageTest, ShortOrCorruptStreamLeavesTheRecordAsItWas) {
  // One field of each kind of stream form, with texts, and record IDs.
  TcxValueDef* text = Add(TcxStringValueType::Class(), true);
  TcxValueDef* wide = Add(TcxWideStringValueType::Class());
  TcxValueDef* number = Add(TcxIntegerValueType::Class());
  TcxValueDef* decimal = Add(TcxFMTBcdValueType::Class());
  TcxValueDef* any = Add(TcxVariantValueType::Class());
  storage.SetUseRecordID(true);
  storage.SetRecordCount(2);
  storage.SetValue(0, text, "new text");
  storage.SetDisplayText(0, text, "new display");
  storage.SetValue(0, wide, u"new wide");
  storage.SetValue(0, number, 2);
  storage.SetValue(0, decimal, "2.5");
  storage.SetValue(0, any, "new any");
  storage.SetRecordID(0, 500);
  const String good = StreamBytes(storage, 0);

  auto setOld = [&] {
    storage.SetValue(1, text, "old text");
    storage.SetDisplayText(1, text, "old display");
    storage.SetValue(1, wide, u"old wide");
    storage.SetValue(1, number, 1);
    storage.SetValue(1, decimal, Null());
    storage.SetValue(1, any, 1.25);
  };
  auto expectOld = [&] {
    EXPECT_EQ(VarToStr(storage.GetValue(1, text)), "old text");
    EXPECT_EQ(storage.GetDisplayText(1, text), "old display");
    EXPECT_EQ(VarToStr(storage.GetValue(1, wide)), "old wide");
    EXPECT_TRUE(SameVariant(storage.GetValue(1, number), Variant(1)));
    EXPECT_TRUE(storage.GetValue(1, decimal).IsNull());
    EXPECT_TRUE(SameVariant(storage.GetValue(1, any), Variant(1.25)));
    EXPECT_EQ(storage.GetRecordID(1), 2);
  };
  setOld();
  for (std::size_t length = 1; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(ReadBytes(storage, 1, good.substr(0, length)), EReadError);
    expectOld();
  }
  // A decimal field whose stored value is no number.
  TStringStream bad;
  WriteBooleanProc(&bad, false);
  WriteIntegerProc(&bad, 7);
  WriteBooleanProc(&bad, true);  // text Null
  WriteStringProc(&bad, "t");
  WriteBooleanProc(&bad, true);  // wide Null
  WriteBooleanProc(&bad, true);  // number Null
  WriteBooleanProc(&bad, false);
  WriteVariantProc(&bad, Variant("not a decimal"));
  WriteBooleanProc(&bad, true);  // any Null
  try {
    ReadBytes(storage, 1, bad.DataString());
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  expectOld();
  // A new record counter is untouched by the failed reads.
  EXPECT_EQ(storage.GetRecordID(storage.AppendRecord()), 3);

  ReadBytes(storage, 1, good);
  EXPECT_EQ(VarToStr(storage.GetValue(1, text)), "new text");
  EXPECT_EQ(storage.GetDisplayText(1, text), "new display");
  EXPECT_EQ(storage.GetRecordID(1), 500);
  EXPECT_EQ(StreamBytes(storage, 1), good);
}

// ---------------------------------------------------------------------------
// Decimals, time stamps, lookup list
// ---------------------------------------------------------------------------

TEST(cxBcdTest, TextConversionsAndComparison) {
  TUsFormats formats;
  struct Case {
    const char* text;
    bool valid;
    const char* normal;
  };
  const Case cases[] = {
      {"123.450", true, "123.45"},
      {"-0.000", true, "0"},
      {"+7", true, "7"},
      {".5", true, "0.5"},
      {"-00012", true, "-12"},
      {"1234567890123456789012345678901234567890123456789012345678901234", true,
       "1234567890123456789012345678901234567890123456789012345678901234"},
      {"12345678901234567890123456789012345678901234567890123456789012345",
       false, ""},
      {"", false, ""},
      {"1.2.3", false, ""},
      {"1e5", false, ""},
      {"-", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TBcd bcd;
    ASSERT_EQ(TryStrToBcd(c.text, bcd), c.valid);
    if (c.valid) {
      EXPECT_EQ(BcdToStr(bcd), c.normal);
    }
  }
  EXPECT_LT(BcdCompare(Bcd("-1.5"), Bcd("1")), 0);
  EXPECT_LT(BcdCompare(Bcd("-2"), Bcd("-1.5")), 0);
  EXPECT_EQ(BcdCompare(Bcd("0"), Bcd("-0")), 0);
  EXPECT_EQ(BcdCompare(Bcd("1.10"), Bcd("1.1")), 0);
  EXPECT_GT(BcdCompare(Bcd("10"), Bcd("9.999")), 0);
  EXPECT_EQ(BcdToStr(DoubleToBcd(0.1)), "0.1");
  EXPECT_EQ(BcdToStr(DoubleToBcd(-1.5e20)), "-150000000000000000000");
  EXPECT_EQ(BcdToStr(DoubleToBcd(2.5e-7)), "0.00000025");
  EXPECT_EQ(BcdToStr(CurrToBcd(Currency::FromScaled(-12345))), "-1.2345");
  EXPECT_EQ(BcdToStr(CurrToBcd(Currency::FromScaled(INT64_MIN))),
            "-922337203685477.5808");
  EXPECT_DOUBLE_EQ(BcdToDouble(Bcd("-3.25")), -3.25);
  EXPECT_THROW(DoubleToBcd(INFINITY), EVariantError);
}

TEST(cxBcdTest, DecimalVariantsConvertAndCompareExactly) {
  TUsFormats formats;
  Variant big = VarAsType(Variant("123456789012345678.5"), VarFMTBcd());
  EXPECT_EQ(VarType(big), VarFMTBcd());
  EXPECT_TRUE(VarTypeIsCurrency(VarType(big)));
  EXPECT_EQ(VarToBcd(big).Precision, 19);
  Variant whole = VarAsType(Variant(INT64_MAX), VarFMTBcd());
  EXPECT_EQ(whole.AsInt64(), INT64_MAX);
  EXPECT_EQ(VarAsType(Variant("1.25"), VarFMTBcd()).AsCurrency().Value, 12500);
  // Exact where doubles are not: these differ only in the 19th digit.
  EXPECT_NE(VarCompare(VarAsType(Variant("1000000000000000001"), VarFMTBcd()),
                       VarAsType(Variant("1000000000000000000"), VarFMTBcd())),
            0);
  EXPECT_EQ(VarCompare(VarAsType(Variant(2), VarFMTBcd()), Variant(2)), 0);
  EXPECT_THROW(VarAsType(Variant("abc"), VarFMTBcd()), EVariantError);
}

TEST(cxSqlTimeStampTest, ConvertsToAndFromDates) {
  TDateTime when = EncodeDateTime(1999, 12, 31, 23, 59, 58, 250);
  TSQLTimeStamp ts = DateTimeToSQLTimeStamp(when);
  EXPECT_EQ(ts.Year, 1999);
  EXPECT_EQ(ts.Month, 12);
  EXPECT_EQ(ts.Fractions, 250u);
  EXPECT_DOUBLE_EQ(SQLTimeStampToDateTime(ts), when);
  EXPECT_DOUBLE_EQ(SQLTimeStampToDateTime(TSQLTimeStamp()), 0);
  EXPECT_THROW(SQLTimeStampToDateTime(TimeStamp(2020, 13, 1, 0, 0, 0, 0)),
               EVariantError);
  EXPECT_THROW(SQLTimeStampToDateTime(TimeStamp(2020, 1, 1, 24, 0, 0, 0)),
               EVariantError);
  Variant v = VarSQLTimeStampCreate(ts);
  EXPECT_TRUE(VarIsDate(v));
  EXPECT_DOUBLE_EQ(VarToDateTime(v), when);
  EXPECT_EQ(VarToSQLTimeStamp(Variant::FromDateTime(when)).Second, 58);
}

TEST(cxLookupListTest, KeepsValuesInOrderForTheBinarySearch) {
  TcxLookupList list;
  const Integer values[] = {5, 1, 9, 3, 7};
  for (Integer v : values) {
    Integer index;
    ASSERT_FALSE(list.Find(v, index));
    list.Insert(index, v, "#" + IntToStr(v));
  }
  ASSERT_EQ(list.Count(), 5);
  for (Integer i = 0; i < 5; ++i) {
    EXPECT_EQ(list.Items(i).Value.AsInteger(), 1 + 2 * i);
  }
  Integer index = -1;
  EXPECT_TRUE(list.Find(7, index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.Items(index).DisplayText, "#7");
  EXPECT_FALSE(list.Find(4, index));
  EXPECT_EQ(index, 2);
  EXPECT_THROW(list.Insert(7, 1, ""), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
