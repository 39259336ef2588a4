// Record streams with arbitrary bytes. The first byte chooses the layout
// (bit 0: record IDs, bit 1: every field stores its display text); the rest
// is one record for a storage with one field of every value type, read over
// a record that already holds values. A read either succeeds or raises
// EReadError; a failed read must leave the record exactly as it was, and a
// record read must write back to bytes that read and write again to the
// same bytes. Crashes, sanitizer reports and leaks are faults too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Classes.h"
#include "SysUtils.h"
#include "cxDataStorage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InitializeUnits();
  return 0;
}

namespace {

// A value for a field of the type with this caption; Null for a type
// registered later that has no sample here.
Variant SampleValue(const String& ACaption) {
  static const struct {
    const char* Caption;
    Variant Value;
  } samples[] = {{"String", Variant("old")},
                 {"WideString", Variant(u"old")},
                 {"Smallint", Variant(-3)},
                 {"Integer", Variant(1000)},
                 {"Word", Variant(7)},
                 {"Boolean", Variant(true)},
                 {"Float", Variant(0.5)},
                 {"Currency", Variant(Currency::FromScaled(12345))},
                 {"DateTime", Variant::FromDateTime(45000.25)},
                 {"LargeInt", Variant(123456789012LL)},
                 {"FMTBcd", Variant("-1.5")},
                 {"SQLTimeStamp", Variant::FromDateTime(40000.5)},
                 {"Variant", VarArrayOf({Variant(1), Variant("x")})},
                 {"Object", cxObjectToVariant(nullptr)}};
  for (const auto& sample : samples) {
    if (ACaption == sample.Caption) return sample.Value;
  }
  return Null();
}

struct TFixture {
  TcxDataStorage storage;
  std::vector<TcxValueDef*> defs;

  explicit TFixture(Byte AFlags) {
    // One field of every type the library registers, in its order.
    TcxValueTypeClassList* types = cxValueTypeClassList();
    for (Integer i = 0; i < types->Count(); ++i) {
      defs.push_back(storage.ValueDefs()->Add(types->Items(i), true,
                                              (AFlags & 2) != 0, nullptr));
    }
    storage.SetUseRecordID((AFlags & 1) != 0);
    storage.SetRecordCount(2);
    // Record 0 holds a value in every field before the read.
    for (TcxValueDef* def : defs) {
      storage.SetValue(0, def, SampleValue(def->ValueTypeClass()->Caption()));
      storage.SetDisplayText(0, def, "shown");
    }
  }

  String Write(Integer ARecordIndex) {
    TStringStream out;
    storage.WriteData(ARecordIndex, &out);
    return out.DataString();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  TFixture fixture(data[0]);
  const String before = fixture.Write(0);
  TStringStream in(String(reinterpret_cast<const char*>(data + 1), size - 1));
  try {
    fixture.storage.ReadData(0, &in);
  } catch (const EReadError&) {
    if (fixture.Write(0) != before) std::abort();
    return 0;
  }
  // Every value read can be shown.
  for (TcxValueDef* def : fixture.defs) {
    fixture.storage.GetDisplayText(0, def);
    fixture.storage.GetValue(0, def);
  }
  const String once = fixture.Write(0);
  TStringStream again(once);
  fixture.storage.ReadData(1, &again);
  if (again.Position() != again.Size()) std::abort();
  if (fixture.Write(1) != once) std::abort();
  return 0;
}
