// Typed record memory of the data controller: the value types (stateless
// families that hold, convert, compare, display and stream one kind of
// value inside a record buffer), value definitions (one per data field, each
// placing its value in every record buffer), and the record storage that
// owns one buffer per record, numbers records and keeps record IDs on
// request. Values enter and leave as variants. Platform independent.
//
// The unit also registers the two custom variant kinds the data layer
// brings: the decimal "FMTBcd" and the SQL time stamp "SQLTimeStamp".
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Variants.h"

// ---------------------------------------------------------------------------
// Decimal and time-stamp values and their variant kinds
// ---------------------------------------------------------------------------

// A packed decimal: Precision digits in all, stored two per byte (high nibble
// first) in Fraction; bit 7 of SignSpecialPlaces is the sign, its low six
// bits the number of digits after the decimal point. 34 bytes.
struct TBcd {
  Byte Precision = 0;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[32] = {};
};
static_assert(sizeof(TBcd) == 34);

// The largest number of digits a TBcd holds.
inline constexpr Integer MaxFMTBcdDigits = 64;

// Exact decimal text ("-12.5"; '.' always) into a TBcd; false for anything
// else, or more digits than a TBcd holds.
bool TryStrToBcd(const String& AText, TBcd& ABcd);
// The decimal text with '.' and no superfluous zeros ("0" for zero).
String BcdToStr(const TBcd& ABcd);
// Negative, 0 or positive by numeric value (-0 equals 0).
Integer BcdCompare(const TBcd& A, const TBcd& B);
// 15 significant digits, as the float is printed by FloatToStr. Raises
// EVariantOverflowError for infinities and NaN.
TBcd DoubleToBcd(double AValue);
double BcdToDouble(const TBcd& ABcd);
TBcd CurrToBcd(Currency AValue);

struct TSQLTimeStamp {
  Smallint Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  LongWord Fractions = 0;  // milliseconds
};
static_assert(sizeof(TSQLTimeStamp) == 16);

// EVariantOverflowError when the time stamp names no valid moment (all
// zeros is the date 0).
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& AValue);
// EVariantOverflowError for a date outside the years 1 to 9999.
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime AValue);

// The type codes of the two kinds (registered at unit start).
TVarType VarFMTBcd();
TVarType VarSQLTimeStamp();
Variant VarFMTBcdCreate(const TBcd& ABcd);
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& AValue);
// Conversions of any variant (numbers, currency, text, the kind itself);
// variant errors as for VarAsType (Null raises EVariantTypeCastError).
TBcd VarToBcd(const Variant& V);
TSQLTimeStamp VarToSQLTimeStamp(const Variant& V);

// ---------------------------------------------------------------------------
// Value types
// ---------------------------------------------------------------------------
//
// A value type is a class whose one shared instance stands for the class
// itself (TcxValueTypeClass, from T::Class()); it keeps no state. Its slot
// operations work on the bytes of one value inside a record buffer (a
// "slot": GetDataSize() bytes) or on the value's display-text reference (a
// "text slot", a pointer-sized cell reference). String, WideString and
// Variant keep a reference to a heap cell in their slot (null = no cell);
// the rest keep the value itself.
//
// A value pointer (for CompareValues and GetValue) is made from a slot by
// PrepareValueBuffer: the cell reference for the three cell types, the slot
// itself for the others.

class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

class TcxValueType : public TObject {
  VARNEL_CLASS(TcxValueType, TObject)
 public:
  static TcxValueTypeClass Class();

  // Compares the values in two slots: negative, 0 or positive.
  virtual Integer Compare(const void* ASlot1, const void* ASlot2) const;
  // Releases what the slot owns (a cell, an object); leaves the bytes.
  virtual void FreeBuffer(void* ASlot) const;
  virtual void FreeTextBuffer(void* ATextSlot) const;
  virtual Integer GetDataSize() const;
  virtual void GetDataValue(const void* ASlot, Variant& V) const;
  // The slot's value as text; an empty text when a variant conversion fails.
  virtual void GetDefaultDisplayText(const void* ASlot, String& S) const;
  virtual void GetDisplayText(const void* ATextSlot, String& S) const;
  virtual void ReadDataValue(void* ASlot, TStream* AStream) const;
  virtual void ReadDisplayText(void* ATextSlot, TStream* AStream) const;
  // Variant conversion errors propagate; the slot is then unchanged.
  virtual void SetDataValue(void* ASlot, const Variant& V) const;
  virtual void SetDisplayText(void* ATextSlot, const String& S) const;
  virtual void WriteDataValue(const void* ASlot, TStream* AStream) const;
  virtual void WriteDisplayText(const void* ATextSlot, TStream* AStream) const;

  // The class name without a leading "Tcx" and without "ValueType":
  // "String", "FMTBcd", "Object".
  virtual String Caption() const;
  virtual Integer CompareValues(const void* AValue1, const void* AValue2) const;
  virtual void GetValue(const void* AValue, Variant& V) const;
  virtual TVarType GetVarType() const;
  // True for Null, or when the type takes any variant; otherwise converts V
  // in place to the type's variant type and answers whether that worked.
  virtual bool IsValueValid(Variant& V) const;
  virtual bool IsString() const;
  virtual void PrepareValueBuffer(const void*& P) const;

 protected:
  TcxValueType() = default;
};

#define VARNEL_VALUE_TYPE(Self, Parent) \
  VARNEL_CLASS(Self, Parent)            \
 public:                                \
  static TcxValueTypeClass Class() {    \
    static const Self instance{};       \
    return &instance;                   \
  }                                     \
                                        \
 protected:                             \
  Self() = default;                     \
                                        \
 public:

class TcxStringValueType : public TcxValueType {
  VARNEL_VALUE_TYPE(TcxStringValueType, TcxValueType)
  Integer CompareValues(const void* AValue1,
                        const void* AValue2) const override;
  void FreeBuffer(void* ASlot) const override;
  Integer GetDataSize() const override;
  void GetDataValue(const void* ASlot, Variant& V) const override;
  void GetValue(const void* AValue, Variant& V) const override;
  TVarType GetVarType() const override;
  bool IsString() const override;
  void PrepareValueBuffer(const void*& P) const override;
  void ReadDataValue(void* ASlot, TStream* AStream) const override;
  void SetDataValue(void* ASlot, const Variant& V) const override;
  void WriteDataValue(const void* ASlot, TStream* AStream) const override;
  Integer Compare(const void* ASlot1, const void* ASlot2) const override;
};

class TcxWideStringValueType : public TcxStringValueType {
  VARNEL_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  Integer CompareValues(const void* AValue1,
                        const void* AValue2) const override;
  void FreeBuffer(void* ASlot) const override;
  void GetDataValue(const void* ASlot, Variant& V) const override;
  TVarType GetVarType() const override;
  void ReadDataValue(void* ASlot, TStream* AStream) const override;
  void SetDataValue(void* ASlot, const Variant& V) const override;
  void WriteDataValue(const void* ASlot, TStream* AStream) const override;
};

// The scalar value types keep the value itself in the slot and differ only
// in the slot's C++ type, the variant type, the conversions, the order and
// the stream form. Those live in a traits class per type (cxDataStorage.cpp)
// and this one template does the rest; a type whose traits have no stream
// functions streams in the variant form. The classes callers name derive
// from it.
template <class TTraits>
class TcxScalarValueType : public TcxValueType {
 public:
  Integer CompareValues(const void* AValue1,
                        const void* AValue2) const override;
  Integer GetDataSize() const override;
  void GetDataValue(const void* ASlot, Variant& V) const override;
  TVarType GetVarType() const override;
  void ReadDataValue(void* ASlot, TStream* AStream) const override;
  void SetDataValue(void* ASlot, const Variant& V) const override;
  void WriteDataValue(const void* ASlot, TStream* AStream) const override;

 protected:
  TcxScalarValueType() = default;
};

struct TcxSmallintSlot;
struct TcxIntegerSlot;
struct TcxWordSlot;
struct TcxBooleanSlot;
struct TcxFloatSlot;
struct TcxCurrencySlot;
struct TcxDateTimeSlot;
struct TcxLargeIntSlot;
struct TcxFMTBcdSlot;
struct TcxSQLTimeStampSlot;

class TcxSmallintValueType : public TcxScalarValueType<TcxSmallintSlot> {
  VARNEL_VALUE_TYPE(TcxSmallintValueType, TcxScalarValueType<TcxSmallintSlot>)
};

class TcxIntegerValueType : public TcxScalarValueType<TcxIntegerSlot> {
  VARNEL_VALUE_TYPE(TcxIntegerValueType, TcxScalarValueType<TcxIntegerSlot>)
};

class TcxWordValueType : public TcxScalarValueType<TcxWordSlot> {
  VARNEL_VALUE_TYPE(TcxWordValueType, TcxScalarValueType<TcxWordSlot>)
};

class TcxBooleanValueType : public TcxScalarValueType<TcxBooleanSlot> {
  VARNEL_VALUE_TYPE(TcxBooleanValueType, TcxScalarValueType<TcxBooleanSlot>)
  // "True" or "False".
  void GetDefaultDisplayText(const void* ASlot, String& S) const override;
};

// Streamed as a 10-byte extended value.
class TcxFloatValueType : public TcxScalarValueType<TcxFloatSlot> {
  VARNEL_VALUE_TYPE(TcxFloatValueType, TcxScalarValueType<TcxFloatSlot>)
};

class TcxCurrencyValueType : public TcxScalarValueType<TcxCurrencySlot> {
  VARNEL_VALUE_TYPE(TcxCurrencyValueType, TcxScalarValueType<TcxCurrencySlot>)
};

class TcxDateTimeValueType : public TcxScalarValueType<TcxDateTimeSlot> {
  VARNEL_VALUE_TYPE(TcxDateTimeValueType, TcxScalarValueType<TcxDateTimeSlot>)
  void GetDefaultDisplayText(const void* ASlot, String& S) const override;
};

class TcxLargeIntValueType : public TcxScalarValueType<TcxLargeIntSlot> {
  VARNEL_VALUE_TYPE(TcxLargeIntValueType, TcxScalarValueType<TcxLargeIntSlot>)
};

// A TBcd in the slot; streamed in the variant form.
class TcxFMTBcdValueType : public TcxScalarValueType<TcxFMTBcdSlot> {
  VARNEL_VALUE_TYPE(TcxFMTBcdValueType, TcxScalarValueType<TcxFMTBcdSlot>)
  void GetDefaultDisplayText(const void* ASlot, String& S) const override;
};

// A TSQLTimeStamp in the slot; read out as a date; streamed as a date in
// the variant form.
class TcxSQLTimeStampValueType
    : public TcxScalarValueType<TcxSQLTimeStampSlot> {
  VARNEL_VALUE_TYPE(TcxSQLTimeStampValueType,
                    TcxScalarValueType<TcxSQLTimeStampSlot>)
};

// Any variant, in a heap cell; compared with VarCompare.
class TcxVariantValueType : public TcxValueType {
  VARNEL_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  Integer Compare(const void* ASlot1, const void* ASlot2) const override;
  Integer CompareValues(const void* AValue1,
                        const void* AValue2) const override;
  void FreeBuffer(void* ASlot) const override;
  Integer GetDataSize() const override;
  void GetDataValue(const void* ASlot, Variant& V) const override;
  void GetValue(const void* AValue, Variant& V) const override;
  void PrepareValueBuffer(const void*& P) const override;
  void SetDataValue(void* ASlot, const Variant& V) const override;
};

// An object reference that the storage owns: setting the value to Null, to
// another object, or freeing the record frees the object it held. The
// variant form is the reference as an integer (cxObjectToVariant). Nothing
// but the null flag is streamed.
class TcxObjectValueType : public TcxIntegerValueType {
  VARNEL_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  Integer CompareValues(const void* AValue1,
                        const void* AValue2) const override;
  void FreeBuffer(void* ASlot) const override;
  Integer GetDataSize() const override;
  void GetDataValue(const void* ASlot, Variant& V) const override;
  void ReadDataValue(void* ASlot, TStream* AStream) const override;
  void SetDataValue(void* ASlot, const Variant& V) const override;
  void WriteDataValue(const void* ASlot, TStream* AStream) const override;
};

#undef VARNEL_VALUE_TYPE

// An object reference as the Object value type takes it (an Integer on
// 32-bit targets) and back; null for 0.
Variant cxObjectToVariant(TObject* AObject);
TObject* cxVariantToObject(const Variant& V);

// AClass is exactly the DateTime or the SQLTimeStamp type.
bool IsDateTimeValueTypeClass(TcxValueTypeClass AClass);
// AClass is AParent or a descendant of it (a null AClass is neither).
bool cxValueTypeInheritsFrom(TcxValueTypeClass AClass,
                             TcxValueTypeClass AParent);

// The process's registered value types, in registration order (the
// fourteen above, registered at unit start).
class TcxValueTypeClassList : public TObject {
  VARNEL_CLASS(TcxValueTypeClassList, TObject)
 public:
  TcxValueTypeClassList() = default;
  // Adds a class not yet present.
  void RegisterItem(TcxValueTypeClass AValueTypeClass);
  void UnregisterItem(TcxValueTypeClass AValueTypeClass);
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // EListError for an index out of range.
  TcxValueTypeClass Items(Integer AIndex) const;
  // The first class whose Caption equals ACaption exactly (case matters),
  // or null.
  TcxValueTypeClass ItemByCaption(const String& ACaption) const;

 private:
  std::vector<TcxValueTypeClass> items_;
};

// The one list of the process, made on first call.
TcxValueTypeClassList* cxValueTypeClassList();

// ---------------------------------------------------------------------------
// Lookup list: values with display texts, ascending by VarCompare
// ---------------------------------------------------------------------------

struct TcxLookupListItem {
  Variant Value;
  String DisplayText;
};

class TcxLookupList : public TObject {
  VARNEL_CLASS(TcxLookupList, TObject)
 public:
  TcxLookupList() = default;
  // Binary search: true with the index of an equal item, or false with the
  // index where AValue belongs.
  bool Find(const Variant& AValue, Integer& AIndex) const;
  // EListError for an index outside 0..Count.
  void Insert(Integer AIndex, const Variant& AValue,
              const String& ADisplayText);
  void Clear() { items_.clear(); }
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // EListError for an index out of range.
  const TcxLookupListItem& Items(Integer AIndex) const;

 private:
  std::vector<TcxLookupListItem> items_;
};

// ---------------------------------------------------------------------------
// Value definitions
// ---------------------------------------------------------------------------
//
// A record buffer: one flag byte (bit 0 = internal record in use), a 4-byte
// record ID while record IDs are used, then for each stored definition in
// list order one assigned byte (0 = Null), the type's data bytes and, when
// the definition stores its display text, a text-cell reference. A record
// without a buffer reads as all Null.

class TcxDataStorage;
class TcxValueDefs;
class TcxInternalValueDefs;

class TcxValueDef : public TObject {
  VARNEL_CLASS(TcxValueDef, TObject)
 public:
  TcxValueDef(TcxValueDefs* AValueDefs, TcxValueTypeClass AValueTypeClass);
  // Takes the definition out of its list (and its values out of the
  // record buffers). Free a definition with TcxValueDefs::Remove or Free.
  ~TcxValueDef() override;
  void BeforeDestruction() override;

  virtual TObject* GetLinkObject() const { return linkObject_; }
  // The stored flag, or true whenever the storage keeps all values.
  virtual bool GetStored() const;
  virtual void SetLinkObject(TObject* AValue) { linkObject_ = AValue; }
  // Copies the stored and text-stored flags of ASource.
  virtual void Assign(TcxValueDef* ASource);

  Integer BufferSize() const { return bufferSize_; }
  Integer DataSize() const { return dataSize_; }
  Integer Offset() const { return offset_; }
  TcxValueDefs* ValueDefs() const { return valueDefs_; }
  TcxValueTypeClass ValueTypeClass() const { return valueTypeClass_; }
  bool Stored() const { return GetStored(); }
  bool TextStored() const { return GetTextStored(); }
  bool GetTextStored() const { return GetStored() && textStored_; }
  bool StreamStored() const { return streamStored_; }
  bool IsNeedConversion() const;

  // These re-lay the buffers of records that hold any: the definition's own
  // values become Null, the other values stay.
  void SetStored(bool AValue);
  void SetTextStored(bool AValue);
  void SetValueTypeClass(TcxValueTypeClass AValue);
  void SetStreamStored(bool AValue) { streamStored_ = AValue; }

  // Places the definition at AOffset and advances AOffset past it.
  void Init(Integer& AOffset);

  // ABuffer is a whole record buffer (null reads as Null).
  bool IsNullValue(const Byte* AFlagSlot) const { return *AFlagSlot == 0; }
  bool IsNullValueEx(const Byte* ABuffer, Integer AOffset) const {
    return !ABuffer || ABuffer[AOffset] == 0;
  }
  void SetNull(Byte* AFlagSlot, bool AIsNull);
  void GetDataValue(const Byte* ABuffer, Variant& V) const;
  void SetDataValue(Byte* ABuffer, const Variant& V);
  void GetDisplayText(const Byte* ABuffer, String& S) const;
  void SetDisplayText(Byte* ABuffer, const String& S);
  Integer Compare(const Byte* ABuffer1, const Byte* ABuffer2) const;
  Integer CompareValues(bool AIsNull1, bool AIsNull2, const void* AValue1,
                        const void* AValue2) const;
  void FreeBuffer(Byte* ABuffer);
  void ReadDataValue(Byte* ABuffer, TStream* AStream);
  void WriteDataValue(const Byte* ABuffer, TStream* AStream) const;
  void ReadDisplayText(Byte* ABuffer, TStream* AStream);
  void WriteDisplayText(const Byte* ABuffer, TStream* AStream) const;

 private:
  friend class TcxValueDefs;
  friend class TcxDataStorage;
  void Changed(bool AResyncNeeded);
  const void* DataSlot(const Byte* ABuffer) const {
    return ABuffer + offset_ + 1;
  }
  void* DataSlot(Byte* ABuffer) const { return ABuffer + offset_ + 1; }
  const void* TextSlot(const Byte* ABuffer) const {
    return ABuffer + offset_ + 1 + dataSize_;
  }
  void* TextSlot(Byte* ABuffer) const {
    return ABuffer + offset_ + 1 + dataSize_;
  }
  // Changes a layout flag or the type with the buffers re-laid.
  void ChangeLayout(const std::function<void()>& AChange);

  Integer bufferSize_ = 0;
  Integer dataSize_ = 0;
  TObject* linkObject_ = nullptr;
  Integer offset_ = 0;
  bool stored_ = true;
  bool streamStored_ = true;
  bool textStored_ = false;
  TcxValueDefs* valueDefs_;
  TcxValueTypeClass valueTypeClass_;
};

// Describes a main definition's field for the internal records: its link
// object is that main definition.
class TcxInternalValueDef : public TcxValueDef {
  VARNEL_CLASS(TcxInternalValueDef, TcxValueDef)
 public:
  using TcxValueDef::TcxValueDef;
  // The main definition's link object (null without a main definition).
  TObject* GetLinkObject() const override;
  bool GetStored() const override { return true; }
  TcxValueDef* GetValueDef() const;
};

// An owning list of definitions.
class TcxValueDefs : public TObject {
  VARNEL_CLASS(TcxValueDefs, TObject)
 public:
  explicit TcxValueDefs(TcxDataStorage* ADataStorage);
  ~TcxValueDefs() override;

  // Makes a definition at the end of the list and grows the record buffers.
  TcxValueDef* Add(TcxValueTypeClass AValueTypeClass, bool AStored,
                   bool ATextStored, TObject* ALinkObject);
  // Shrinks the record buffers and frees the definition.
  void Remove(TcxValueDef* AValueDef);
  // Frees the definitions, last first.
  void Clear();

  // While the storage streams, Items reads its streaming order.
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TcxValueDef* Items(Integer AIndex) const;
  Integer IndexOf(const TcxValueDef* AValueDef) const;
  Integer StoredCount() const;
  Integer RecordOffset() const { return recordOffset_; }
  Integer RecordSize() const { return recordSize_; }
  TcxDataStorage* DataStorage() const { return dataStorage_; }

  virtual void Changed(TcxValueDef* AValueDef, bool AResyncNeeded);
  // Lays the definitions out from ARecordOffset in list order.
  virtual void Prepare(Integer ARecordOffset);

 protected:
  virtual TObjectPtr<TcxValueDef> CreateValueDef(
      TcxValueTypeClass AValueTypeClass);

 private:
  friend class TcxValueDef;
  friend class TcxDataStorage;
  // Takes a definition out without freeing it.
  void Detach(TcxValueDef* AValueDef);

  TcxDataStorage* dataStorage_;
  // Definitions leave it themselves when they are freed.
  TOwningList<TcxValueDef> items_;
  Integer recordOffset_ = 0;
  Integer recordSize_ = 0;
};

class TcxInternalValueDefs : public TcxValueDefs {
  VARNEL_CLASS(TcxInternalValueDefs, TcxValueDefs)
 public:
  using TcxValueDefs::TcxValueDefs;
  // The last definition linked to AObject (a main definition), or null.
  TcxInternalValueDef* FindByLinkObject(const TObject* AObject) const;
  void RemoveByLinkObject(const TObject* AObject);

 protected:
  TObjectPtr<TcxValueDef> CreateValueDef(
      TcxValueTypeClass AValueTypeClass) override;
};

// Where ReadRecord takes a record's values from. The defaults give Null and
// an empty text and call nothing internal.
class TcxValueDefReader : public TObject {
  VARNEL_CLASS(TcxValueDefReader, TObject)
 public:
  TcxValueDefReader() = default;
  virtual String GetDisplayText(TcxValueDef* AValueDef);
  virtual Variant GetValue(TcxValueDef* AValueDef);
  virtual bool IsInternal(TcxValueDef* AValueDef);
};

// ---------------------------------------------------------------------------
// Record storage
// ---------------------------------------------------------------------------

using TcxValueDefSetProc =
    std::function<void(TcxValueDef* AValueDef, Integer AFromRecordIndex,
                       Integer AToRecordIndex, TcxValueDefReader* AReader)>;
// Negative when AValueDef1 streams before AValueDef2.
using TcxValueDefCompareFunc =
    std::function<Integer(TcxValueDef* AValueDef1, TcxValueDef* AValueDef2)>;

// Record indexes: 0 or more name a record of the record list; -1, -2, ...
// name the internal records (entry = bitwise complement of the index).
// Indexes out of range raise EListError "List index out of bounds (%d)".
class TcxDataStorage : public TObject {
  VARNEL_CLASS(TcxDataStorage, TObject)
 public:
  TcxDataStorage();
  ~TcxDataStorage() override;
  void BeforeDestruction() override;

  Integer RecordCount() const { return static_cast<Integer>(records_.size()); }
  // A negative count counts as 0; records are appended or the last ones
  // deleted.
  void SetRecordCount(Integer ACount);
  Integer AppendRecord();
  void InsertRecord(Integer AIndex);
  // A negative index deletes the internal record.
  void DeleteRecord(Integer AIndex);
  // The first internal record not in use (-1, -2, ...), with its buffer.
  Integer AddInternalRecord();
  // Frees the buffer and keeps the entry for reuse.
  void DeleteInternalRecord(Integer AIndex);
  Integer InternalRecordCount() const {
    return static_cast<Integer>(internalRecords_.size());
  }

  void Clear(bool AKeepInternalRecords);
  void ClearInternalRecords();
  // Frees every record buffer; empties the list only when ADeleteRecords.
  void ClearRecords(bool ADeleteRecords);

  // Whether the record has a buffer yet.
  bool HasRecordBuffer(Integer ARecordIndex) const;

  Variant GetValue(Integer ARecordIndex, TcxValueDef* AValueDef);
  // Variant conversion errors propagate; the value is then unchanged.
  void SetValue(Integer ARecordIndex, TcxValueDef* AValueDef,
                const Variant& AValue);
  String GetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef);
  // Only for definitions that store their text.
  void SetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef,
                      const String& AText);

  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2,
                         TcxValueDef* AValueDef);
  // True when the value is Null; otherwise false with AValue set to the
  // value pointer for the type's CompareValues.
  bool GetCompareInfo(Integer ARecordIndex, TcxValueDef* AValueDef,
                      const void*& AValue);

  Integer GetRecordID(Integer ARecordIndex);
  void SetRecordID(Integer ARecordIndex, Integer AID);

  // Sets each definition of the record's list that the reader does not
  // call internal from the reader.
  void ReadRecord(Integer ARecordIndex, TcxValueDefReader* AReader);
  void ReadRecordFrom(Integer AFromRecordIndex, Integer AToRecordIndex,
                      TcxValueDefReader* AReader,
                      const TcxValueDefSetProc& ASetProc);

  // One record (index 0 or more) on a stream: an is-empty byte; then the
  // record ID while IDs are used; then, for each main definition in
  // streaming order that is stream-stored, an is-Null byte, the value's
  // stream form when not Null, and the display text when stored. A short or
  // corrupt stream raises EReadError and leaves the record as it was.
  void ReadData(Integer ARecordIndex, TStream* AStream);
  void WriteData(Integer ARecordIndex, TStream* AStream);

  // Streams the main definitions in the order of ACompareFunc until
  // EndStreaming.
  void BeginStreaming(const TcxValueDefCompareFunc& ACompareFunc);
  void EndStreaming();
  bool Streaming() const { return streaming_; }

  virtual void BeginLoad();
  virtual void EndLoad();
  virtual void CheckStructure();

  bool StoredValuesOnly() const { return storedValuesOnly_; }
  void SetStoredValuesOnly(bool AValue);
  bool UseRecordID() const { return useRecordID_; }
  void SetUseRecordID(bool AValue);
  bool Destroying() const { return destroying_; }

  TcxValueDefs* ValueDefs() const { return valueDefs_.get(); }
  TcxInternalValueDefs* InternalValueDefs() const {
    return internalValueDefs_.get();
  }
  // The internal definitions for a negative index, else the main ones.
  virtual TcxValueDefs* ValueDefsByRecordIndex(Integer ARecordIndex);
  virtual void InitStructure(TcxValueDefs* AValueDefs);
  virtual void ValueDefsChanged(TcxValueDef* AValueDef, bool AResyncNeeded);

  // Fired after ClearInternalRecords.
  TNotifyEvent OnClearInternalRecords;

 private:
  friend class TcxValueDef;
  friend class TcxValueDefs;
  using TBuffer = std::unique_ptr<Byte[]>;

  void InsertValueDef(Integer AIndex, TcxValueDef* AValueDef);
  void RemoveValueDef(TcxValueDef* AValueDef);
  // The buffers of the records that AValueDefs lays out.
  std::vector<TBuffer>& BuffersOf(TcxValueDefs* AValueDefs);
  // Opens AAdded zero bytes at AAt in every buffer of AOldSize bytes.
  static void InsertPart(std::vector<TBuffer>& ABuffers, Integer AAt,
                         Integer AOldSize, Integer AAdded);
  // Frees the definition's values and cuts its part out of every buffer of
  // its list; a buffer left with nothing worth keeping goes whole.
  void CutPart(TcxValueDefs* AValueDefs, TcxValueDef* AValueDef);
  TBuffer NewBuffer(TcxValueDefs* AValueDefs) const;
  void FreeRecordBuffer(TcxValueDefs* AValueDefs, TBuffer& ABuffer);
  TBuffer& Slot(Integer ARecordIndex);
  Byte* Buffer(Integer ARecordIndex);
  Byte* CheckBuffer(Integer ARecordIndex);
  TcxValueDef* CheckValueDef(Integer ARecordIndex, TcxValueDef* AValueDef);
  void AssignRecordID(Integer ARecordIndex);
  void AssignRecordIDs();
  void CheckRecordIDCounter();
  void FreeAllRecordBuffers();
  // The main definitions that WriteData and ReadData stream, in order.
  std::vector<TcxValueDef*> StreamedValueDefs() const;
  Integer RecordOffset() const { return useRecordID_ ? 5 : 1; }

  bool destroying_ = false;
  std::vector<TBuffer> internalRecords_;
  TObjectPtr<TcxInternalValueDefs> internalValueDefs_;
  std::vector<TBuffer> records_;
  Integer recordIDCounter_ = 1;
  bool storedValuesOnly_ = false;
  bool useRecordID_ = false;
  TObjectPtr<TcxValueDefs> valueDefs_;
  std::vector<TcxValueDef*> streamingList_;
  bool streaming_ = false;
};
