// Variant helpers of the component library: the rules by which editors,
// the data controller and the filter compare and classify values, the small
// variant arrays of filter conditions, and a compact byte format for
// variants and plain typed values on a stream. Platform independent; the
// unit keeps no state.
//
// Two kinds that the data layer registers at run time take part here: the
// SQL time stamp (the custom variant kind named "SQLTimeStamp") counts as a
// date, and the decimal (the kind named "FMTBcd") as a number and as
// currency. They are recognised by the Name() of their TCustomVariantType.
#pragma once

#include <vector>

#include "Classes.h"
#include "Variants.h"

// What an edit value means: the value itself, its display text, or a
// lookup key. Editors and the data controller both pass it, so it is
// defined once, here, below both.
enum TcxDataEditValueSource : Byte { evsValue, evsText, evsKey };

// ---------------------------------------------------------------------------
// Comparison and classification
// ---------------------------------------------------------------------------

// Negative, 0 or positive:
// - an array sorts after a non-array; two arrays of different high bounds
//   (first dimension) give the difference of their high bounds, not only its
//   sign; otherwise their elements compare pairwise by position (from each
//   array's low bound) and the first non-zero result decides, else 0. Arrays
//   of more than one dimension raise EVariantBadIndexError.
// - Empty equals Empty and sorts before everything else; values equal by
//   the variant == give 0 (two Nulls included); Null sorts before every
//   other value; then -1 when a < b and 1 otherwise.
// - Values that cannot be compared (a variant error, such as a number
//   against a text that is no number) give -1 whichever comes first.
//
// NOT a strict weak order: VarCompare("abc", 5) and VarCompare(5, "abc") are
// both -1, and texts compare as text among themselves but as numbers against
// numbers, so the relation is neither antisymmetric nor transitive over mixed
// kinds. Callers rely on these results (filters, changed-value tests); never
// pass it to std::sort, std::stable_sort, std::set or anything else that
// needs a strict weak order.
Integer VarCompare(const Variant& A, const Variant& B);
// VarCompare gives 0.
bool VarEquals(const Variant& A, const Variant& B);
// Equality that never lets a Boolean equal a number: when neither value is
// a Boolean, or either is Null, VarEquals; otherwise both are converted to
// text and the texts compared (False when a conversion fails). So True
// equals "True" but neither -1 nor 1.
bool VarEqualsExact(const Variant& A, const Variant& B);
// VarEquals, or both are soft null.
bool VarEqualsSoft(const Variant& A, const Variant& B);
// Null, or a string (8-bit or wide) equal to "".
bool VarIsSoftNull(const Variant& V);
// The index of the first element that VarEquals V; -1 when none.
Integer VarIndex(const std::vector<Variant>& AArray, const Variant& V);
// A date or an SQL time stamp.
bool VarIsDate(const Variant& V);
// Ordinal or floating (VarIsNumeric), or a decimal.
bool VarIsNumericEx(const Variant& V);
// varCurrency or the decimal's type code.
bool VarTypeIsCurrency(TVarType AVarType);
// VarToStr: Null gives "".
String VarToStrEx(const Variant& V);

// ---------------------------------------------------------------------------
// Arrays for filter conditions: one dimension, elements of type varVariant
// ---------------------------------------------------------------------------

// Bounds 0..1 holding A and B.
Variant VarBetweenArrayCreate(const Variant& A, const Variant& B);
// Bounds 0..0 holding A.
Variant VarListArrayCreate(const Variant& A);
// Replaces AArray by an array with bounds 0..n that holds the old n elements
// in their order followed by V. EVariantNotAnArrayError for a non-array.
void VarListArrayAddValue(Variant& AArray, const Variant& V);

// ---------------------------------------------------------------------------
// Plain values on a stream
// ---------------------------------------------------------------------------
//
// Little-endian, exactly these bytes: Boolean, Char, Byte, ShortInt 1;
// SmallInt, Word 2; Integer, Cardinal, Single 4; LargeInt, Currency (the
// scaled integer), DateTime (a double) 8; Float 10 (x87 extended); String a
// 4-byte byte count then the bytes; WideString a 4-byte count of UTF-16 code
// units then the units. A short read raises the stream's EReadError "Stream
// read error" (so does a negative string length); a failed write its
// EWriteError "Stream write error". Reading a long string never allocates
// ahead of the bytes that actually arrive.

bool ReadBooleanFunc(TStream* AStream);
char ReadCharFunc(TStream* AStream);
Extended ReadFloatFunc(TStream* AStream);
float ReadSingleFunc(TStream* AStream);
Currency ReadCurrencyFunc(TStream* AStream);
TDateTime ReadDateTimeFunc(TStream* AStream);
Integer ReadIntegerFunc(TStream* AStream);
Int64 ReadLargeIntFunc(TStream* AStream);
Byte ReadByteFunc(TStream* AStream);
Smallint ReadSmallIntFunc(TStream* AStream);
Cardinal ReadCardinalFunc(TStream* AStream);
Shortint ReadShortIntFunc(TStream* AStream);
Word ReadWordFunc(TStream* AStream);
String ReadStringFunc(TStream* AStream);
WideString ReadWideStringFunc(TStream* AStream);

void ReadBooleanProc(TStream* AStream, bool& AValue);
void ReadCharProc(TStream* AStream, char& AValue);
void ReadFloatProc(TStream* AStream, Extended& AValue);
void ReadSingleProc(TStream* AStream, float& AValue);
void ReadCurrencyProc(TStream* AStream, Currency& AValue);
void ReadDateTimeProc(TStream* AStream, TDateTime& AValue);
void ReadIntegerProc(TStream* AStream, Integer& AValue);
void ReadLargeIntProc(TStream* AStream, Int64& AValue);
void ReadByteProc(TStream* AStream, Byte& AValue);
void ReadSmallIntProc(TStream* AStream, Smallint& AValue);
void ReadCardinalProc(TStream* AStream, Cardinal& AValue);
void ReadShortIntProc(TStream* AStream, Shortint& AValue);
void ReadWordProc(TStream* AStream, Word& AValue);
void ReadStringProc(TStream* AStream, String& AValue);
void ReadWideStringProc(TStream* AStream, WideString& AValue);

void WriteBooleanProc(TStream* AStream, bool AValue);
void WriteCharProc(TStream* AStream, char AValue);
void WriteFloatProc(TStream* AStream, Extended AValue);
void WriteSingleProc(TStream* AStream, float AValue);
void WriteCurrencyProc(TStream* AStream, Currency AValue);
void WriteDateTimeProc(TStream* AStream, TDateTime AValue);
void WriteIntegerProc(TStream* AStream, Integer AValue);
void WriteLargeIntProc(TStream* AStream, Int64 AValue);
void WriteByteProc(TStream* AStream, Byte AValue);
void WriteSmallIntProc(TStream* AStream, Smallint AValue);
void WriteCardinalProc(TStream* AStream, Cardinal AValue);
void WriteShortIntProc(TStream* AStream, Shortint AValue);
void WriteWordProc(TStream* AStream, Word AValue);
void WriteStringProc(TStream* AStream, const String& AValue);
void WriteWideStringProc(TStream* AStream, const WideString& AValue);

// ---------------------------------------------------------------------------
// Variants on a stream
// ---------------------------------------------------------------------------
//
// A stored format: one type byte, then its payload.
//   0 Null; 13 Empty; 8 False; 9 True (no payload)
//   2 / 3 / 4 / 19  an integer kind in 1 / 2 / 4 / 8 signed bytes, the
//                   smallest that holds the value; read back as ShortInt,
//                   Smallint, Integer, Int64
//   5  Double as a 10-byte extended; 15 Single; 16 Currency; 17 Date (and
//      the SQL time stamp, written as its date)
//   6  8-bit string of up to 255 bytes, 1-byte length; 12 longer, 4-byte
//      length; 18 wide string, 4-byte count of code units
//   1  one-dimensional array: its element count as an integer (type byte 2,
//      3, 4 or 19 and its bytes; any other byte there takes 8 bytes), then
//      every element as a variant; read back with bounds 0..count-1.
// Other kinds are written as their text (type 6 or 12).
//
// Writing an array of more than one dimension, a value whose text
// conversion fails, or arrays nested more than MaxVariantStreamDepth deep
// raises EWriteError "Stream write error". Reading an invalid type byte, a
// negative length or count, or arrays nested too deep raises EReadError
// "Stream read error"; so does running out of bytes. A failed read leaves
// the target variant as it was.

constexpr Integer MaxVariantStreamDepth = 64;

Variant ReadVariantFunc(TStream* AStream);
void ReadVariantProc(TStream* AStream, Variant& AValue);
void WriteVariantProc(TStream* AStream, const Variant& AValue);

// ---------------------------------------------------------------------------
// Filer objects over a stream they do not own
// ---------------------------------------------------------------------------

class TcxFiler : public TObject {
  VARNEL_CLASS(TcxFiler, TObject)
 public:
  explicit TcxFiler(TStream* AStream) : stream_(AStream) {}
  TStream* Stream() const { return stream_; }

 private:
  TStream* stream_;
};

class TcxReader : public TcxFiler {
  VARNEL_CLASS(TcxReader, TcxFiler)
 public:
  explicit TcxReader(TStream* AStream) : TcxFiler(AStream) {}
  bool ReadBoolean() { return ReadBooleanFunc(Stream()); }
  Byte ReadByte() { return ReadByteFunc(Stream()); }
  Cardinal ReadCardinal() { return ReadCardinalFunc(Stream()); }
  char ReadChar() { return ReadCharFunc(Stream()); }
  Currency ReadCurrency() { return ReadCurrencyFunc(Stream()); }
  TDateTime ReadDateTime() { return ReadDateTimeFunc(Stream()); }
  Extended ReadFloat() { return ReadFloatFunc(Stream()); }
  Integer ReadInteger() { return ReadIntegerFunc(Stream()); }
  Int64 ReadLargeInt() { return ReadLargeIntFunc(Stream()); }
  Shortint ReadShortInt() { return ReadShortIntFunc(Stream()); }
  float ReadSingle() { return ReadSingleFunc(Stream()); }
  Smallint ReadSmallInt() { return ReadSmallIntFunc(Stream()); }
  String ReadString() { return ReadStringFunc(Stream()); }
  Variant ReadVariant() { return ReadVariantFunc(Stream()); }
  WideString ReadWideString() { return ReadWideStringFunc(Stream()); }
  Word ReadWord() { return ReadWordFunc(Stream()); }
};

class TcxWriter : public TcxFiler {
  VARNEL_CLASS(TcxWriter, TcxFiler)
 public:
  explicit TcxWriter(TStream* AStream) : TcxFiler(AStream) {}
  void WriteBoolean(bool AValue) { WriteBooleanProc(Stream(), AValue); }
  void WriteByte(Byte AValue) { WriteByteProc(Stream(), AValue); }
  void WriteCardinal(Cardinal AValue) { WriteCardinalProc(Stream(), AValue); }
  void WriteChar(char AValue) { WriteCharProc(Stream(), AValue); }
  void WriteCurrency(Currency AValue) { WriteCurrencyProc(Stream(), AValue); }
  void WriteDateTime(TDateTime AValue) { WriteDateTimeProc(Stream(), AValue); }
  void WriteFloat(Extended AValue) { WriteFloatProc(Stream(), AValue); }
  void WriteInteger(Integer AValue) { WriteIntegerProc(Stream(), AValue); }
  void WriteLargeInt(Int64 AValue) { WriteLargeIntProc(Stream(), AValue); }
  void WriteShortInt(Shortint AValue) { WriteShortIntProc(Stream(), AValue); }
  void WriteSingle(float AValue) { WriteSingleProc(Stream(), AValue); }
  void WriteSmallInt(Smallint AValue) { WriteSmallIntProc(Stream(), AValue); }
  void WriteString(const String& AValue) { WriteStringProc(Stream(), AValue); }
  void WriteVariant(const Variant& AValue) {
    WriteVariantProc(Stream(), AValue);
  }
  void WriteWideString(const WideString& AValue) {
    WriteWideStringProc(Stream(), AValue);
  }
  void WriteWord(Word AValue) { WriteWordProc(Stream(), AValue); }
};
