// Form streams: the binary "TPF0" object format that forms, settings
// resources and component streaming share, its readable text form, and the
// reader and writer that move published properties of registered classes in
// and out of it.
//
// Every malformed binary stream ends in EReadError: lengths are checked
// against what is left of the stream before anything is allocated, and
// nesting is limited so that a hostile stream cannot exhaust the stack.
#pragma once

#include <memory>
#include <vector>

#include "System.h"
#include "TypInfo.h"

class TStream;
class TPersistent;
class TComponent;
class TCollection;
class TReader;
class TWriter;

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

enum TValueType : Byte {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

// Object header flags (the prefix byte is 0xF0 | flags).
enum TFilerFlag : Byte { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
using TFilerFlags = Byte;

// The 10-byte x87 extended format, converted bit by bit so that the host's
// long double layout never matters.
void DoubleToExtended80(double value, Byte out[10]);
double Extended80ToDouble(const Byte in[10]);

// ---------------------------------------------------------------------------
// Errors of the text form
// ---------------------------------------------------------------------------

// A syntax error in a text form; the message ends in "on line N".
class EParserError : public Exception {
  VARNEL_CLASS(EParserError, Exception)
 public:
  using Exception::Exception;
  EParserError() = default;
  Integer Line = 0;
};

// ---------------------------------------------------------------------------
// Byte sources and sinks (the reader and writer work on streams through
// these; the converters and tests also use memory directly)
// ---------------------------------------------------------------------------

namespace formstreams_detail {

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Reads up to count bytes; returns how many were read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Bytes left before the end.
  virtual Int64 Remaining() = 0;
  // Skips count bytes (count <= Remaining()).
  virtual void Skip(Int64 count) = 0;
  // The next byte without consuming it; false at the end.
  virtual bool Peek(Byte& value) = 0;
};

class TByteSink {
 public:
  virtual ~TByteSink() = default;
  virtual void Write(const void* buffer, std::size_t count) = 0;
};

// Over a block of memory that outlives the source.
class TMemorySource : public TByteSource {
 public:
  TMemorySource(const void* data, std::size_t size)
      : data_(static_cast<const Byte*>(data)), size_(size) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  Int64 Remaining() override { return static_cast<Int64>(size_ - pos_); }
  void Skip(Int64 count) override;
  bool Peek(Byte& value) override;
  std::size_t Position() const { return pos_; }

 private:
  const Byte* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class TStringSink : public TByteSink {
 public:
  void Write(const void* buffer, std::size_t count) override {
    data.append(static_cast<const char*>(buffer), count);
  }
  std::string data;
};

std::unique_ptr<TByteSource> MakeStreamSource(TStream& stream);
std::unique_ptr<TByteSink> MakeStreamSink(TStream& stream);

// The converters on memory: text form to binary and back. The stream
// versions below read their whole input and call these.
std::string TextToBinary(const std::string& text);
std::string BinaryToText(TByteSource& source);

// How deep objects, lists and collections may nest.
constexpr int kMaxNesting = 200;

// ANSI (system code page) and UTF-16 conversions used for string values.
WideString AnsiToWide(const String& s);
String WideToAnsi(const WideString& s);
WideString Utf8ToWide(const std::string& s);
std::string WideToUtf8(const WideString& s);

}  // namespace formstreams_detail

// ---------------------------------------------------------------------------
// Filers
// ---------------------------------------------------------------------------

using TReaderProc = TClosure<void(TReader* reader)>;
using TWriterProc = TClosure<void(TWriter* writer)>;
using TStreamProc = TClosure<void(TStream* stream)>;

// What the reader and writer share: the component tree being filed and the
// hooks through which objects file data of their own (DefineProperties).
class TFiler : public TObject {
  VARNEL_CLASS(TFiler, TObject)
 public:
  TComponent* Root() const { return root_; }
  virtual void SetRoot(TComponent* value) { root_ = value; }
  TComponent* LookupRoot() const { return lookupRoot_; }
  // The object that the one being written descends from; null when there is
  // none. DefineProperties compares against it to decide what to store.
  TPersistent* Ancestor() const { return ancestor_; }
  void SetAncestor(TPersistent* value) { ancestor_ = value; }
  bool IgnoreChildren = false;

  // Called from TPersistent::DefineProperties. The reader calls readData
  // when the property being read has that name; the writer calls writeData
  // when hasData is true.
  virtual void DefineProperty(const String& name, TReaderProc readData,
                              TWriterProc writeData, bool hasData) = 0;
  // Same for a block of bytes, passed as a stream.
  virtual void DefineBinaryProperty(const String& name, TStreamProc readData,
                                    TStreamProc writeData, bool hasData) = 0;

 protected:
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
  TPersistent* ancestor_ = nullptr;
};

// Lets a handler skip a property that cannot be read: set handled to true
// and reading goes on with the next property.
using TReaderError =
    TClosure<void(TReader* reader, const String& message, bool& handled)>;

class TReader : public TFiler {
  VARNEL_CLASS(TReader, TFiler)
 public:
  // Reads from the stream at its position and leaves it right after what
  // was read (bufSize is ignored: there is no read-ahead to give back).
  explicit TReader(TStream& stream, Integer bufSize = 4096);
  explicit TReader(std::unique_ptr<formstreams_detail::TByteSource> source);
  ~TReader() override;

  // Components created while reading get this owner and parent.
  TComponent* Owner() const { return owner_; }
  void SetOwner(TComponent* value) { owner_ = value; }
  TComponent* Parent() const { return parent_; }
  void SetParent(TComponent* value) { parent_ = value; }
  TReaderError OnError;

  void DefineProperty(const String& name, TReaderProc readData,
                      TWriterProc writeData, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc readData,
                            TStreamProc writeData, bool hasData) override;

  // Values.
  void Read(void* buffer, Integer count);
  TValueType ReadValue();
  TValueType NextValue();
  void CheckValue(TValueType value);
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  void ReadSignature();
  void ReadPrefix(TFilerFlags& flags, Integer& childPos);
  Integer ReadInteger();
  Int64 ReadInt64();
  // Accepts every numeric value type.
  double ReadFloat();
  float ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  String ReadString();
  WideString ReadWideString();
  String ReadIdent();
  bool ReadBoolean();
  char ReadChar();
  String ReadStr();  // a short string without value type
  Variant ReadVariant();
  void SkipValue();

  // Objects.
  TComponent* ReadRootComponent(TComponent* root);
  // Reads one component. With null, creates it from its class name (owned
  // by Owner, child of Parent); otherwise reads into the given one.
  TComponent* ReadComponent(TComponent* component);
  // The properties and children of instance (TComponent::ReadState).
  void ReadData(TComponent* instance);
  void ReadProperty(TPersistent* instance);
  void ReadCollection(TCollection* collection);
  // The name of the property being read (for DefineProperties).
  const String& PropName() const { return propName_; }

 private:
  struct TObjectHeader {
    TFilerFlags Flags = 0;
    Integer ChildPos = 0;
    String ClassName;
    String Name;
  };
  TObjectHeader ReadObjectHeader();
  TObjectPtr<TComponent> NewComponent(const String& className,
                                      TComponent* owner);
  // A component reference, resolved by name once the root is read.
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    String Name;
    // The collection items being read when the reference was met; when one
    // of them is freed (its collection read again) the fixup goes too.
    std::vector<TPersistent*> Anchors;
  };
  [[noreturn]] void ReadError(const String& message);
  [[noreturn]] void PropValueError();
  [[noreturn]] void StreamReadError();
  void SkipBytes(Int64 count);
  Integer ReadLength();
  void SkipSetBody();
  void SkipProperty();
  void ReadPropValue(TPersistent* instance, const TPropInfo* prop);
  Int64 ReadSet(const TPropInfo* prop);
  void ResolveFixups();
  bool HandleError(const String& message);
  void Enter();
  void Leave() { --depth_; }
  void DropFixupsOf(TCollection* collection);
  TComponent* FindReference(const String& name) const;
  friend struct TReaderDepth;

  std::unique_ptr<formstreams_detail::TByteSource> source_;
  int depth_ = 0;
  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  String propName_;
  bool canHandleErrors_ = false;
  bool broken_ = false;  // a structural error: nothing after it is trusted
  std::vector<TFixup> fixups_;
  std::vector<TComponent*> loaded_;
  std::vector<TPersistent*> itemStack_;
};

class TWriter : public TFiler {
  VARNEL_CLASS(TWriter, TFiler)
 public:
  explicit TWriter(TStream& stream, Integer bufSize = 4096);
  explicit TWriter(std::unique_ptr<formstreams_detail::TByteSink> sink);
  ~TWriter() override;

  void DefineProperty(const String& name, TReaderProc readData,
                      TWriterProc writeData, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc readData,
                            TStreamProc writeData, bool hasData) override;

  // Values.
  void Write(const void* buffer, Integer count);
  void WriteValue(TValueType value);
  void WriteListBegin();
  void WriteListEnd();
  void WriteSignature();
  void WritePrefix(TFilerFlags flags, Integer childPos);
  // The smallest of vaInt8/16/32, or vaInt64 beyond 32 bits.
  void WriteInteger(Int64 value);
  void WriteFloat(double value);
  void WriteSingle(float value);
  void WriteCurrency(Currency value);
  void WriteDate(TDateTime value);
  // vaString up to 255 bytes, vaLString beyond.
  void WriteString(const String& value);
  void WriteWideString(const WideString& value);
  void WriteUTF8String(const std::string& value);
  // True, False, nil and Null become their own value types.
  void WriteIdent(const String& ident);
  void WriteBoolean(bool value);
  void WriteChar(char value);
  void WriteStr(const String& value);  // a short string without value type
  void WriteBinary(const void* data, Integer count);
  void WriteVariant(const Variant& value);

  // Objects.
  void WriteRootComponent(TComponent* root);
  // With an ancestor, only what differs from it is written.
  void WriteDescendent(TComponent* root, TComponent* ancestor);
  void WriteComponent(TComponent* component);
  // The header, properties and children of instance
  // (TComponent::WriteState).
  void WriteData(TComponent* instance);
  void WriteProperties(TPersistent* instance);
  void WriteCollection(TCollection* collection);

 private:
  void WriteProperty(TPersistent* instance, const TPropInfo* prop);
  void WritePropName(const String& name);
  String ComponentReference(TComponent* component) const;
  bool CollectionsEqual(TCollection* a, TCollection* b);

  std::unique_ptr<formstreams_detail::TByteSink> sink_;
  TComponent* rootAncestor_ = nullptr;
  String propPath_;
  int depth_ = 0;
};

// ---------------------------------------------------------------------------
// Integer properties written as identifiers (colours, cursors)
// ---------------------------------------------------------------------------

using TIdentToInt = bool (*)(const String& ident, Int64& value);
using TIntToIdent = bool (*)(Int64 value, String& ident);
// Lets integer properties of the given type be read from and written as
// identifiers ("clRed"). The type must have type information of its own.
void RegisterIntegerConsts(PTypeInfo intType, TIdentToInt identToInt,
                           TIntToIdent intToIdent);

// ---------------------------------------------------------------------------
// Stream helpers
// ---------------------------------------------------------------------------

// Reads a "TPF0" stream at the stream's position into instance (or, with
// null, into a new component of the stream's root class).
TComponent* ReadComponentFromStream(TStream& stream, TComponent* instance);
// Writes instance as a "TPF0" stream; with an ancestor, only the differences.
void WriteComponentToStream(TStream& stream, TComponent* instance,
                            TComponent* ancestor = nullptr);

// The text form and the binary form of an object, converted from the input
// stream's position to the output stream's position. Text errors raise
// EParserError, binary errors EReadError.
void ObjectTextToBinary(TStream& input, TStream& output);
void ObjectBinaryToText(TStream& input, TStream& output);
