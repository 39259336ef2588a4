#include "cxVariants.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <limits>

#include "SysConst.h"
#include "SysUtils.h"

VARNEL_UNIT(cxVariants, ({"Variants", "Classes"}), nullptr, nullptr);

namespace {

// The names under which the data layer registers its two custom kinds.
constexpr const char* kSQLTimeStampKind = "SQLTimeStamp";
constexpr const char* kFMTBcdKind = "FMTBcd";

bool IsCustomKind(TVarType AVarType, const char* AName) {
  const TCustomVariantType* kind = FindCustomVariantType(AVarType);
  return kind && kind->Name() == AName;
}

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

Integer CompareValues(const Variant& A, const Variant& B) {
  if (A.IsEmpty()) return B.IsEmpty() ? 0 : -1;
  if (B.IsEmpty()) return 1;
  try {
    if (A == B) return 0;
    if (A.IsNull()) return -1;
    if (B.IsNull()) return 1;
    return A < B ? -1 : 1;
  } catch (const EVariantError&) {
    // Values that cannot be compared.
    return -1;
  }
}

Integer CompareArrays(const Variant& A, const Variant& B) {
  const Int64 highA = VarArrayHighBound(A, 1);
  const Int64 highB = VarArrayHighBound(B, 1);
  if (highA != highB) {
    // Saturated: bounds far apart must not wrap around to the wrong sign.
    return static_cast<Integer>(
        std::clamp<Int64>(highA - highB, std::numeric_limits<Integer>::min(),
                          std::numeric_limits<Integer>::max()));
  }
  // Element by element from each array's own low bound, so that arrays that
  // do not start at 0 compare by position instead of failing on index 0.
  const Int64 lowA = VarArrayLowBound(A, 1);
  const Int64 lowB = VarArrayLowBound(B, 1);
  for (Int64 k = 0; lowA + k <= highA && lowB + k <= highB; ++k) {
    const Integer r =
        VarCompare(VarArrayGet(A, {static_cast<Integer>(lowA + k)}),
                   VarArrayGet(B, {static_cast<Integer>(lowB + k)}));
    if (r != 0) return r;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Raw little-endian transfer
// ---------------------------------------------------------------------------

void ReadRaw(TStream* AStream, void* ABuffer, Int64 ACount) {
  auto* p = static_cast<char*>(ABuffer);
  constexpr Int64 kBlock = 1 << 30;
  while (ACount > 0) {
    const Int64 n = std::min(ACount, kBlock);
    AStream->ReadBuffer(p, static_cast<Integer>(n));
    p += n;
    ACount -= n;
  }
}

void WriteRaw(TStream* AStream, const void* ABuffer, Int64 ACount) {
  const auto* p = static_cast<const char*>(ABuffer);
  constexpr Int64 kBlock = 1 << 30;
  while (ACount > 0) {
    const Int64 n = std::min(ACount, kBlock);
    AStream->WriteBuffer(p, static_cast<Integer>(n));
    p += n;
    ACount -= n;
  }
}

UInt64 ReadUnsigned(TStream* AStream, int ASize) {
  Byte b[8];
  AStream->ReadBuffer(b, ASize);
  UInt64 v = 0;
  for (int i = ASize - 1; i >= 0; --i) v = (v << 8) | b[i];
  return v;
}

// Sign-extends the low ASize bytes.
Int64 ReadSigned(TStream* AStream, int ASize) {
  const UInt64 v = ReadUnsigned(AStream, ASize);
  if (ASize == 8) return static_cast<Int64>(v);
  const UInt64 sign = UInt64{1} << (ASize * 8 - 1);
  return static_cast<Int64>((v ^ sign) - sign);
}

void WriteUnsigned(TStream* AStream, UInt64 AValue, int ASize) {
  Byte b[8];
  for (int i = 0; i < ASize; ++i) b[i] = static_cast<Byte>(AValue >> (8 * i));
  AStream->WriteBuffer(b, ASize);
}

// Bytes left before the end; a length beyond them can only be a truncated
// or corrupt stream, so it fails before anything is allocated for it.
void CheckAvailable(TStream* AStream, Int64 ANeeded) {
  if (ANeeded < 0 || ANeeded > AStream->Size() - AStream->Position()) {
    throw EReadError(SReadError);
  }
}

String ReadBytes(TStream* AStream, Int64 ALength) {
  CheckAvailable(AStream, ALength);
  String s(static_cast<std::size_t>(ALength), '\0');
  ReadRaw(AStream, s.data(), ALength);
  return s;
}

// ---------------------------------------------------------------------------
// x87 extended (10 bytes: 64-bit significand with explicit integer bit,
// 15-bit exponent biased by 16383, sign)
// ---------------------------------------------------------------------------

constexpr int kExtBias = 16383;
constexpr int kDblBias = 1023;

int LeadingZeros(UInt64 v) {
  int n = 0;
  while (!(v & (UInt64{1} << 63))) {
    v <<= 1;
    ++n;
  }
  return n;
}

void PutExtended(Byte* AOut, bool ANegative, unsigned AExponent,
                 UInt64 ASignificand) {
  for (int i = 0; i < 8; ++i)
    AOut[i] = static_cast<Byte>(ASignificand >> (8 * i));
  const unsigned top = (ANegative ? 0x8000u : 0u) | (AExponent & 0x7FFFu);
  AOut[8] = static_cast<Byte>(top);
  AOut[9] = static_cast<Byte>(top >> 8);
}

// Exact: every double is an extended.
void DoubleToExtended(double AValue, Byte* AOut) {
  UInt64 bits;
  std::memcpy(&bits, &AValue, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const unsigned exponent = static_cast<unsigned>((bits >> 52) & 0x7FF);
  const UInt64 fraction = bits & ((UInt64{1} << 52) - 1);
  constexpr UInt64 kIntegerBit = UInt64{1} << 63;
  if (exponent == 0x7FF) {
    // Infinity, or a NaN keeping its payload and quiet bit.
    PutExtended(AOut, negative, 0x7FFF, kIntegerBit | (fraction << 11));
  } else if (exponent == 0) {
    if (fraction == 0) {
      PutExtended(AOut, negative, 0, 0);
    } else {
      // A denormal double is a normal extended.
      const int shift = LeadingZeros(fraction);
      const int top = 63 - shift;  // bit index of the leading one
      PutExtended(AOut, negative, static_cast<unsigned>(top - 1074 + kExtBias),
                  fraction << shift);
    }
  } else {
    PutExtended(
        AOut, negative,
        static_cast<unsigned>(static_cast<int>(exponent) - kDblBias + kExtBias),
        kIntegerBit | (fraction << 11));
  }
}

// Rounded to nearest, ties to even, like the FPU's default store.
double ExtendedToDouble(const Byte* AIn) {
  UInt64 significand = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | AIn[i];
  const unsigned top = AIn[8] | (static_cast<unsigned>(AIn[9]) << 8);
  const bool negative = (top & 0x8000u) != 0;
  const int exponent = static_cast<int>(top & 0x7FFFu);
  const UInt64 sign = negative ? UInt64{1} << 63 : 0;
  auto fromBits = [](UInt64 bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  };
  constexpr UInt64 kIntegerBit = UInt64{1} << 63;
  if (exponent == 0x7FFF) {
    if (significand == kIntegerBit)
      return fromBits(sign | (UInt64{0x7FF} << 52));
    // A NaN (or an invalid encoding, which the FPU also treats as one).
    UInt64 payload = (significand >> 11) & ((UInt64{1} << 52) - 1);
    payload |= UInt64{1} << 51;
    return fromBits(sign | (UInt64{0x7FF} << 52) | payload);
  }
  if (significand == 0) return fromBits(sign);
  // value = significand * 2^(e - 63); normalise to a leading one at bit 63.
  int e = (exponent == 0 ? 1 : exponent) - kExtBias;
  const int lz = LeadingZeros(significand);
  significand <<= lz;
  e -= lz;
  // e is now the binary exponent of the leading one.
  int shift = 11;  // 64 - 53 significant bits
  if (e < -1022) shift += -1022 - e;
  if (shift > 64) return fromBits(sign);  // below half the smallest denormal
  UInt64 q, rem, half;
  if (shift == 64) {
    q = 0;
    rem = significand;
    half = UInt64{1} << 63;
  } else {
    q = significand >> shift;
    rem = significand & ((UInt64{1} << shift) - 1);
    half = UInt64{1} << (shift - 1);
  }
  if (rem > half || (rem == half && (q & 1))) ++q;
  if (e < -1022) {
    // Denormal; rounding up into 2^52 yields the smallest normal, whose
    // bits are exactly q.
    return fromBits(sign | q);
  }
  if (q == (UInt64{1} << 53)) {
    q >>= 1;
    ++e;
  }
  if (e > 1023) return fromBits(sign | (UInt64{0x7FF} << 52));
  return fromBits(sign | (static_cast<UInt64>(e + kDblBias) << 52) |
                  (q & ((UInt64{1} << 52) - 1)));
}

#if LDBL_MANT_DIG == 64 && (defined(__i386__) || defined(__x86_64__))
// Extended is the FPU's own format: its first ten bytes are the value.
constexpr bool kNativeExtended = true;
#else
constexpr bool kNativeExtended = false;
#endif

void ExtendedToBytes(Extended AValue, Byte* AOut) {
  if constexpr (kNativeExtended) {
    std::memcpy(AOut, &AValue, 10);
  } else {
    DoubleToExtended(static_cast<double>(AValue), AOut);
  }
}

Extended BytesToExtended(const Byte* AIn) {
  if constexpr (kNativeExtended) {
    Extended v = 0;
    std::memcpy(&v, AIn, 10);
    return v;
  } else {
    return ExtendedToDouble(AIn);
  }
}

// ---------------------------------------------------------------------------
// Variant stream
// ---------------------------------------------------------------------------

enum : Byte {
  vsNull = 0,
  vsArray = 1,
  vsShortInt = 2,
  vsSmallInt = 3,
  vsInteger = 4,
  vsDouble = 5,
  vsShortString = 6,
  vsFalse = 8,
  vsTrue = 9,
  vsLongString = 12,
  vsEmpty = 13,
  vsSingle = 15,
  vsCurrency = 16,
  vsDate = 17,
  vsWideString = 18,
  vsInt64 = 19,
};

void WriteType(TStream* AStream, Byte AType) {
  AStream->WriteBuffer(&AType, 1);
}

// An integer in the smallest of the four forms.
void WriteIntegerForm(TStream* AStream, Int64 AValue) {
  if (AValue >= -128 && AValue <= 127) {
    WriteType(AStream, vsShortInt);
    WriteUnsigned(AStream, static_cast<UInt64>(AValue), 1);
  } else if (AValue >= -32768 && AValue <= 32767) {
    WriteType(AStream, vsSmallInt);
    WriteUnsigned(AStream, static_cast<UInt64>(AValue), 2);
  } else if (AValue < std::numeric_limits<Integer>::min() ||
             AValue > std::numeric_limits<Integer>::max()) {
    WriteType(AStream, vsInt64);
    WriteUnsigned(AStream, static_cast<UInt64>(AValue), 8);
  } else {
    WriteType(AStream, vsInteger);
    WriteUnsigned(AStream, static_cast<UInt64>(AValue), 4);
  }
}

Int64 ReadIntegerForm(TStream* AStream) {
  switch (ReadByteFunc(AStream)) {
    case vsShortInt:
      return ReadSigned(AStream, 1);
    case vsSmallInt:
      return ReadSigned(AStream, 2);
    case vsInteger:
      return ReadSigned(AStream, 4);
    default:
      return ReadSigned(AStream, 8);
  }
}

void WriteStringVariant(TStream* AStream, const String& AValue) {
  if (AValue.size() <= 255) {
    WriteType(AStream, vsShortString);
    WriteByteProc(AStream, static_cast<Byte>(AValue.size()));
    WriteRaw(AStream, AValue.data(), static_cast<Int64>(AValue.size()));
  } else {
    WriteType(AStream, vsLongString);
    WriteStringProc(AStream, AValue);
  }
}

void WriteVariantAt(TStream* AStream, const Variant& AValue, Integer ADepth) {
  if (AValue.IsArray()) {
    if (ADepth >= MaxVariantStreamDepth || VarArrayDimCount(AValue) != 1) {
      throw EWriteError(SWriteError);
    }
    const Integer low = VarArrayLowBound(AValue, 1);
    const Integer high = VarArrayHighBound(AValue, 1);
    WriteType(AStream, vsArray);
    WriteIntegerForm(AStream, static_cast<Int64>(high) - low + 1);
    for (Int64 i = low; i <= high; ++i) {
      WriteVariantAt(AStream, VarArrayGet(AValue, {static_cast<Integer>(i)}),
                     ADepth + 1);
    }
    return;
  }
  const TVarType type = AValue.VarType() & varTypeMask;
  if (VarTypeIsInteger(type)) {
    WriteIntegerForm(AStream, AValue.AsInt64());
    return;
  }
  switch (type) {
    case varEmpty:
      WriteType(AStream, vsEmpty);
      return;
    case varNull:
      WriteType(AStream, vsNull);
      return;
    case varSingle:
      WriteType(AStream, vsSingle);
      WriteSingleProc(AStream, AValue.AsSingle());
      return;
    case varDouble: {
      WriteType(AStream, vsDouble);
      Byte ext[10];
      DoubleToExtended(AValue.AsDouble(), ext);
      AStream->WriteBuffer(ext, 10);
      return;
    }
    case varCurrency:
      WriteType(AStream, vsCurrency);
      WriteCurrencyProc(AStream, AValue.AsCurrency());
      return;
    case varDate:
      // The stored day number as it is: a date out of the range that
      // conversions accept is still written, not refused.
      WriteType(AStream, vsDate);
      WriteDateTimeProc(AStream, AValue.AsDouble());
      return;
    case varOleStr:
      WriteType(AStream, vsWideString);
      WriteWideStringProc(AStream, AValue.AsWideString());
      return;
    case varBoolean:
      WriteType(AStream, AValue.AsBoolean() ? vsTrue : vsFalse);
      return;
    case varString:
      WriteStringVariant(AStream, AValue.AsString());
      return;
    default:
      break;
  }
  // Other kinds go as a date (the time stamp) or as text.
  if (IsCustomKind(type, kSQLTimeStampKind)) {
    TDateTime date;
    try {
      date = VarAsType(AValue, varDate).AsDateTime();
    } catch (const EVariantError&) {
      throw EWriteError(SWriteError);
    }
    WriteType(AStream, vsDate);
    WriteDateTimeProc(AStream, date);
    return;
  }
  String text;
  try {
    text = AValue.AsString();
  } catch (const EVariantError&) {
    throw EWriteError(SWriteError);
  }
  WriteStringVariant(AStream, text);
}

Variant ReadVariantAt(TStream* AStream, Integer ADepth) {
  const Byte type = ReadByteFunc(AStream);
  switch (type) {
    case vsNull:
      return Null();
    case vsArray: {
      if (ADepth >= MaxVariantStreamDepth) throw EReadError(SReadError);
      const Int64 count = ReadIntegerForm(AStream);
      // Every element takes at least its type byte.
      if (count > std::numeric_limits<Integer>::max()) {
        throw EReadError(SReadError);
      }
      CheckAvailable(AStream, count);
      std::vector<Variant> items;
      items.reserve(static_cast<std::size_t>(count));
      for (Int64 i = 0; i < count; ++i) {
        items.push_back(ReadVariantAt(AStream, ADepth + 1));
      }
      return VarArrayOf(items);
    }
    case vsShortInt:
      return Variant(static_cast<signed char>(ReadSigned(AStream, 1)));
    case vsSmallInt:
      return Variant(static_cast<short>(ReadSigned(AStream, 2)));
    case vsInteger:
      return Variant(static_cast<int>(ReadSigned(AStream, 4)));
    case vsInt64:
      return Variant(static_cast<long long>(ReadSigned(AStream, 8)));
    case vsDouble: {
      Byte ext[10];
      AStream->ReadBuffer(ext, 10);
      return Variant(ExtendedToDouble(ext));
    }
    case vsShortString:
      return Variant(ReadBytes(AStream, ReadByteFunc(AStream)));
    case vsLongString:
      return Variant(ReadStringFunc(AStream));
    case vsFalse:
      return Variant(false);
    case vsTrue:
      return Variant(true);
    case vsEmpty:
      return Variant();
    case vsSingle:
      return Variant(ReadSingleFunc(AStream));
    case vsCurrency:
      return Variant(ReadCurrencyFunc(AStream));
    case vsDate:
      return Variant::FromDateTime(ReadDateTimeFunc(AStream));
    case vsWideString:
      return Variant(ReadWideStringFunc(AStream));
    default:
      throw EReadError(SReadError);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Comparison and classification
// ---------------------------------------------------------------------------

Integer VarCompare(const Variant& A, const Variant& B) {
  const bool arrayA = A.IsArray(), arrayB = B.IsArray();
  if (arrayA && arrayB) return CompareArrays(A, B);
  if (arrayA) return 1;
  if (arrayB) return -1;
  return CompareValues(A, B);
}

bool VarEquals(const Variant& A, const Variant& B) {
  return VarCompare(A, B) == 0;
}

bool VarEqualsExact(const Variant& A, const Variant& B) {
  if (A.IsNull() || B.IsNull() ||
      (A.VarType() != varBoolean && B.VarType() != varBoolean)) {
    return VarEquals(A, B);
  }
  try {
    return A.AsString() == B.AsString();
  } catch (const EVariantError&) {
    return false;
  }
}

bool VarEqualsSoft(const Variant& A, const Variant& B) {
  return VarEquals(A, B) || (VarIsSoftNull(A) && VarIsSoftNull(B));
}

bool VarIsSoftNull(const Variant& V) {
  switch (V.VarType()) {
    case varNull:
      return true;
    case varString:
      return V.AsString().empty();
    case varOleStr:
      return V.AsWideString().empty();
    default:
      return false;
  }
}

Integer VarIndex(const std::vector<Variant>& AArray, const Variant& V) {
  for (std::size_t i = 0; i < AArray.size(); ++i) {
    if (VarEquals(AArray[i], V)) return static_cast<Integer>(i);
  }
  return -1;
}

bool VarIsDate(const Variant& V) {
  return V.VarType() == varDate || IsCustomKind(V.VarType(), kSQLTimeStampKind);
}

bool VarIsNumericEx(const Variant& V) {
  return VarIsNumeric(V) || IsCustomKind(V.VarType(), kFMTBcdKind);
}

bool VarTypeIsCurrency(TVarType AVarType) {
  return AVarType == varCurrency || IsCustomKind(AVarType, kFMTBcdKind);
}

String VarToStrEx(const Variant& V) { return VarToStr(V); }

// ---------------------------------------------------------------------------
// Arrays for filter conditions
// ---------------------------------------------------------------------------

Variant VarBetweenArrayCreate(const Variant& A, const Variant& B) {
  return VarArrayOf({A, B});
}

Variant VarListArrayCreate(const Variant& A) { return VarArrayOf({A}); }

void VarListArrayAddValue(Variant& AArray, const Variant& V) {
  const Integer low = VarArrayLowBound(AArray, 1);
  const Integer high = VarArrayHighBound(AArray, 1);
  // Element low + k goes to index k: an array that does not start at 0 keeps
  // its elements instead of failing on indexes the new array lacks.
  std::vector<Variant> items;
  items.reserve(static_cast<std::size_t>(static_cast<Int64>(high) - low + 2));
  for (Int64 i = low; i <= high; ++i) {
    items.push_back(VarArrayGet(AArray, {static_cast<Integer>(i)}));
  }
  items.push_back(V);
  AArray = VarArrayOf(items);
}

// ---------------------------------------------------------------------------
// Plain values on a stream
// ---------------------------------------------------------------------------

bool ReadBooleanFunc(TStream* AStream) { return ReadUnsigned(AStream, 1) != 0; }
char ReadCharFunc(TStream* AStream) {
  return static_cast<char>(ReadUnsigned(AStream, 1));
}
Extended ReadFloatFunc(TStream* AStream) {
  Byte ext[10];
  AStream->ReadBuffer(ext, 10);
  return BytesToExtended(ext);
}
float ReadSingleFunc(TStream* AStream) {
  const auto bits = static_cast<std::uint32_t>(ReadUnsigned(AStream, 4));
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
Currency ReadCurrencyFunc(TStream* AStream) {
  return Currency::FromScaled(ReadSigned(AStream, 8));
}
TDateTime ReadDateTimeFunc(TStream* AStream) {
  const UInt64 bits = ReadUnsigned(AStream, 8);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
Integer ReadIntegerFunc(TStream* AStream) {
  return static_cast<Integer>(ReadSigned(AStream, 4));
}
Int64 ReadLargeIntFunc(TStream* AStream) { return ReadSigned(AStream, 8); }
Byte ReadByteFunc(TStream* AStream) {
  return static_cast<Byte>(ReadUnsigned(AStream, 1));
}
Smallint ReadSmallIntFunc(TStream* AStream) {
  return static_cast<Smallint>(ReadSigned(AStream, 2));
}
Cardinal ReadCardinalFunc(TStream* AStream) {
  return static_cast<Cardinal>(ReadIntegerFunc(AStream));
}
Shortint ReadShortIntFunc(TStream* AStream) {
  return static_cast<Shortint>(ReadByteFunc(AStream));
}
Word ReadWordFunc(TStream* AStream) {
  return static_cast<Word>(ReadSmallIntFunc(AStream));
}
String ReadStringFunc(TStream* AStream) {
  return ReadBytes(AStream, ReadIntegerFunc(AStream));
}
WideString ReadWideStringFunc(TStream* AStream) {
  const Int64 count = ReadIntegerFunc(AStream);
  if (count < 0) throw EReadError(SReadError);
  const String bytes = ReadBytes(AStream, count * 2);
  WideString s(static_cast<std::size_t>(count), u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<char16_t>(static_cast<Byte>(bytes[2 * i]) |
                                 static_cast<Byte>(bytes[2 * i + 1]) << 8);
  }
  return s;
}

void ReadBooleanProc(TStream* AStream, bool& AValue) {
  AValue = ReadBooleanFunc(AStream);
}
void ReadCharProc(TStream* AStream, char& AValue) {
  AValue = ReadCharFunc(AStream);
}
void ReadFloatProc(TStream* AStream, Extended& AValue) {
  AValue = ReadFloatFunc(AStream);
}
void ReadSingleProc(TStream* AStream, float& AValue) {
  AValue = ReadSingleFunc(AStream);
}
void ReadCurrencyProc(TStream* AStream, Currency& AValue) {
  AValue = ReadCurrencyFunc(AStream);
}
void ReadDateTimeProc(TStream* AStream, TDateTime& AValue) {
  AValue = ReadDateTimeFunc(AStream);
}
void ReadIntegerProc(TStream* AStream, Integer& AValue) {
  AValue = ReadIntegerFunc(AStream);
}
void ReadLargeIntProc(TStream* AStream, Int64& AValue) {
  AValue = ReadLargeIntFunc(AStream);
}
void ReadByteProc(TStream* AStream, Byte& AValue) {
  AValue = ReadByteFunc(AStream);
}
void ReadSmallIntProc(TStream* AStream, Smallint& AValue) {
  AValue = ReadSmallIntFunc(AStream);
}
void ReadCardinalProc(TStream* AStream, Cardinal& AValue) {
  AValue = ReadCardinalFunc(AStream);
}
void ReadShortIntProc(TStream* AStream, Shortint& AValue) {
  AValue = ReadShortIntFunc(AStream);
}
void ReadWordProc(TStream* AStream, Word& AValue) {
  AValue = ReadWordFunc(AStream);
}
void ReadStringProc(TStream* AStream, String& AValue) {
  AValue = ReadStringFunc(AStream);
}
void ReadWideStringProc(TStream* AStream, WideString& AValue) {
  AValue = ReadWideStringFunc(AStream);
}

void WriteBooleanProc(TStream* AStream, bool AValue) {
  WriteUnsigned(AStream, AValue ? 1 : 0, 1);
}
void WriteCharProc(TStream* AStream, char AValue) {
  WriteUnsigned(AStream, static_cast<Byte>(AValue), 1);
}
void WriteFloatProc(TStream* AStream, Extended AValue) {
  Byte ext[10];
  ExtendedToBytes(AValue, ext);
  AStream->WriteBuffer(ext, 10);
}
void WriteSingleProc(TStream* AStream, float AValue) {
  std::uint32_t bits;
  std::memcpy(&bits, &AValue, sizeof bits);
  WriteUnsigned(AStream, bits, 4);
}
void WriteCurrencyProc(TStream* AStream, Currency AValue) {
  WriteUnsigned(AStream, static_cast<UInt64>(AValue.Value), 8);
}
void WriteDateTimeProc(TStream* AStream, TDateTime AValue) {
  UInt64 bits;
  std::memcpy(&bits, &AValue, sizeof bits);
  WriteUnsigned(AStream, bits, 8);
}
void WriteIntegerProc(TStream* AStream, Integer AValue) {
  WriteUnsigned(AStream, static_cast<UInt64>(static_cast<Int64>(AValue)), 4);
}
void WriteLargeIntProc(TStream* AStream, Int64 AValue) {
  WriteUnsigned(AStream, static_cast<UInt64>(AValue), 8);
}
void WriteByteProc(TStream* AStream, Byte AValue) {
  WriteUnsigned(AStream, AValue, 1);
}
void WriteSmallIntProc(TStream* AStream, Smallint AValue) {
  WriteUnsigned(AStream, static_cast<UInt64>(static_cast<Int64>(AValue)), 2);
}
void WriteCardinalProc(TStream* AStream, Cardinal AValue) {
  WriteIntegerProc(AStream, static_cast<Integer>(AValue));
}
void WriteShortIntProc(TStream* AStream, Shortint AValue) {
  WriteByteProc(AStream, static_cast<Byte>(AValue));
}
void WriteWordProc(TStream* AStream, Word AValue) {
  WriteSmallIntProc(AStream, static_cast<Smallint>(AValue));
}
void WriteStringProc(TStream* AStream, const String& AValue) {
  if (AValue.size() >
      static_cast<std::size_t>(std::numeric_limits<Integer>::max())) {
    throw EWriteError(SWriteError);
  }
  WriteIntegerProc(AStream, static_cast<Integer>(AValue.size()));
  WriteRaw(AStream, AValue.data(), static_cast<Int64>(AValue.size()));
}
void WriteWideStringProc(TStream* AStream, const WideString& AValue) {
  if (AValue.size() >
      static_cast<std::size_t>(std::numeric_limits<Integer>::max())) {
    throw EWriteError(SWriteError);
  }
  WriteIntegerProc(AStream, static_cast<Integer>(AValue.size()));
  std::vector<Byte> bytes(AValue.size() * 2);
  for (std::size_t i = 0; i < AValue.size(); ++i) {
    bytes[2 * i] = static_cast<Byte>(AValue[i]);
    bytes[2 * i + 1] = static_cast<Byte>(AValue[i] >> 8);
  }
  WriteRaw(AStream, bytes.data(), static_cast<Int64>(bytes.size()));
}

// ---------------------------------------------------------------------------
// Variants on a stream
// ---------------------------------------------------------------------------

Variant ReadVariantFunc(TStream* AStream) { return ReadVariantAt(AStream, 0); }

void ReadVariantProc(TStream* AStream, Variant& AValue) {
  AValue = ReadVariantAt(AStream, 0);
}

void WriteVariantProc(TStream* AStream, const Variant& AValue) {
  WriteVariantAt(AStream, AValue, 0);
}
