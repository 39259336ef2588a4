// Value level of form streams: the extended-float conversion, byte sources,
// string conversions, and the reader's and writer's value operations.
#include "FormStreams.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "Platform.h"
#include "SysUtils.h"
#include "Variants.h"

using namespace formstreams_detail;

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};

// Messages of the class library's filer.
const char kSReadError[] = "Stream read error";
const char kSInvalidImage[] = "Invalid stream format";
const char kSInvalidPropertyValue[] = "Invalid property value";
const char kSTooDeep[] = "Form stream nested too deeply";

void PutLE(Byte* out, UInt64 v, int n) {
  for (int i = 0; i < n; ++i) out[i] = static_cast<Byte>(v >> (8 * i));
}

UInt64 GetLE(const Byte* in, int n) {
  UInt64 v = 0;
  for (int i = 0; i < n; ++i) v |= static_cast<UInt64>(in[i]) << (8 * i);
  return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// Extended floats
// ---------------------------------------------------------------------------

void DoubleToExtended80(double value, Byte out[10]) {
  UInt64 bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int exp = static_cast<int>((bits >> 52) & 0x7FF);
  UInt64 frac = bits & ((UInt64{1} << 52) - 1);
  UInt64 mantissa = 0;
  int e = 0;
  if (exp == 0x7FF) {
    e = 0x7FFF;
    mantissa = (UInt64{1} << 63) | (frac << 11);
    if (frac != 0) mantissa |= UInt64{1} << 62;  // keep NaNs quiet
  } else if (exp == 0) {
    if (frac != 0) {
      // A subnormal double is a normal extended: shift the leading 1 up to
      // the explicit integer bit.
      int shift = 0;
      while ((frac & (UInt64{1} << 52)) == 0) {
        frac <<= 1;
        ++shift;
      }
      e = 1 - 1023 - shift + 16383;
      mantissa = frac << 11;
    }
  } else {
    e = exp - 1023 + 16383;
    mantissa = (UInt64{1} << 63) | (frac << 11);
  }
  PutLE(out, mantissa, 8);
  PutLE(out + 8, static_cast<UInt64>(e | (negative ? 0x8000 : 0)), 2);
}

double Extended80ToDouble(const Byte in[10]) {
  const UInt64 mantissa = GetLE(in, 8);
  const unsigned se = static_cast<unsigned>(GetLE(in + 8, 2));
  const bool negative = (se & 0x8000) != 0;
  const int e = static_cast<int>(se & 0x7FFF);
  double r;
  if (e == 0x7FFF) {
    r = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::quiet_NaN();
  } else if (mantissa == 0) {
    r = 0.0;
  } else {
    // value = mantissa * 2^(e - 16383 - 63); exponent 0 is denormal and
    // scales like exponent 1.
    r = std::ldexp(static_cast<double>(mantissa),
                   (e == 0 ? 1 : e) - 16383 - 63);
  }
  return negative ? -r : r;
}

// ---------------------------------------------------------------------------
// Sources, sinks and string conversions
// ---------------------------------------------------------------------------

namespace formstreams_detail {

std::size_t TMemorySource::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, size_ - pos_);
  if (n) std::memcpy(buffer, data_ + pos_, n);
  pos_ += n;
  return n;
}

void TMemorySource::Skip(Int64 count) {
  pos_ += static_cast<std::size_t>(
      std::min<Int64>(count, static_cast<Int64>(size_ - pos_)));
}

bool TMemorySource::Peek(Byte& value) {
  if (pos_ >= size_) return false;
  value = data_[pos_];
  return true;
}

WideString AnsiToWide(const String& s) { return Platform::AnsiToWide(s); }

String WideToAnsi(const WideString& s) { return Platform::WideToAnsi(s); }

WideString Utf8ToWide(const std::string& s) {
  WideString w;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned cp;
    int extra;
    if (c < 0x80) {
      cp = c;
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      w += u'\xFFFD';
      ++i;
      continue;
    }
    bool ok = extra == 0 || i + static_cast<std::size_t>(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (d & 0x3F);
      }
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      w += u'\xFFFD';
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      w += static_cast<char16_t>(0xD800 + (cp >> 10));
      w += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      w += static_cast<char16_t>(cp);
    }
  }
  return w;
}

std::string WideToUtf8(const WideString& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() &&
        s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace formstreams_detail

// ---------------------------------------------------------------------------
// TReader: values
// ---------------------------------------------------------------------------

TReader::TReader(std::unique_ptr<TByteSource> source)
    : source_(std::move(source)) {}

void TReader::ReadError(const String& message) { throw EReadError(message); }

void TReader::StreamReadError() {
  broken_ = true;
  throw EReadError(kSReadError);
}

void TReader::PropValueError() { throw EReadError(kSInvalidPropertyValue); }

void TReader::Enter() {
  if (++depth_ > kMaxNesting) {
    --depth_;
    broken_ = true;
    throw EReadError(kSTooDeep);
  }
}

void TReader::Read(void* buffer, Integer count) {
  if (count <= 0) return;
  const std::size_t n = static_cast<std::size_t>(count);
  const std::size_t got = source_->Read(buffer, n);
  if (got != n) StreamReadError();
}

void TReader::SkipBytes(Int64 count) {
  if (count < 0 || count > source_->Remaining()) StreamReadError();
  source_->Skip(count);
}

// A 32-bit length that must fit in what is left of the stream.
Integer TReader::ReadLength() {
  Byte b[4];
  Read(b, 4);
  const Integer n = static_cast<Integer>(GetLE(b, 4));
  if (n < 0) {
    broken_ = true;
    throw EReadError(kSInvalidImage);
  }
  if (n > source_->Remaining()) StreamReadError();
  return n;
}

TValueType TReader::ReadValue() {
  Byte b;
  Read(&b, 1);
  if (b > vaUTF8String) {
    broken_ = true;
    PropValueError();
  }
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  Byte b;
  if (!source_->Peek(b)) StreamReadError();
  if (b > vaUTF8String && (b & 0xF0) != 0xF0) {
    broken_ = true;
    PropValueError();
  }
  return static_cast<TValueType>(b);
}

void TReader::CheckValue(TValueType value) {
  if (ReadValue() != value) PropValueError();
}

// Before a property the byte is the length of its name, which may be any
// value: only the end marker is looked for here.
bool TReader::EndOfList() {
  Byte b;
  if (!source_->Peek(b)) StreamReadError();
  return b == vaNull;
}

void TReader::ReadListBegin() { CheckValue(vaList); }

void TReader::ReadListEnd() { CheckValue(vaNull); }

void TReader::ReadSignature() {
  char sig[4];
  Read(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) {
    broken_ = true;
    ReadError(kSInvalidImage);
  }
}

void TReader::ReadPrefix(TFilerFlags& flags, Integer& childPos) {
  flags = 0;
  childPos = 0;
  Byte b;
  if (!source_->Peek(b)) StreamReadError();
  if ((b & 0xF0) == 0xF0) {
    Read(&b, 1);
    flags = b & 0x07;
    if (flags & ffChildPos) childPos = ReadInteger();
  }
}

Integer TReader::ReadInteger() {
  Byte b[4];
  switch (ReadValue()) {
    case vaInt8:
      Read(b, 1);
      return static_cast<Shortint>(b[0]);
    case vaInt16:
      Read(b, 2);
      return static_cast<Smallint>(GetLE(b, 2));
    case vaInt32:
      Read(b, 4);
      return static_cast<Integer>(GetLE(b, 4));
    default:
      PropValueError();
  }
}

Int64 TReader::ReadInt64() {
  if (NextValue() == vaInt64) {
    ReadValue();
    Byte b[8];
    Read(b, 8);
    return static_cast<Int64>(GetLE(b, 8));
  }
  return ReadInteger();
}

double TReader::ReadFloat() {
  Byte b[10];
  switch (NextValue()) {
    case vaExtended:
      ReadValue();
      Read(b, 10);
      return Extended80ToDouble(b);
    case vaSingle:
      return ReadSingle();
    case vaDate:
      return ReadDate();
    case vaCurrency:
      return static_cast<double>(ReadCurrency().Value) / 10000.0;
    default:
      return static_cast<double>(ReadInt64());
  }
}

float TReader::ReadSingle() {
  if (NextValue() == vaSingle) {
    ReadValue();
    Byte b[4];
    Read(b, 4);
    const std::uint32_t bits = static_cast<std::uint32_t>(GetLE(b, 4));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  return static_cast<float>(ReadInt64());
}

Currency TReader::ReadCurrency() {
  if (NextValue() == vaCurrency) {
    ReadValue();
    Byte b[8];
    Read(b, 8);
    return Currency::FromScaled(static_cast<Int64>(GetLE(b, 8)));
  }
  const Int64 v = ReadInt64();
  if (v > std::numeric_limits<Int64>::max() / 10000 ||
      v < std::numeric_limits<Int64>::min() / 10000) {
    PropValueError();
  }
  return Currency::FromScaled(v * 10000);
}

TDateTime TReader::ReadDate() {
  if (NextValue() == vaDate) {
    ReadValue();
    Byte b[8];
    Read(b, 8);
    const UInt64 bits = GetLE(b, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  return static_cast<TDateTime>(ReadInt64());
}

String TReader::ReadStr() {
  Byte len;
  Read(&len, 1);
  String s(len, '\0');
  Read(s.data(), len);
  return s;
}

String TReader::ReadString() {
  switch (NextValue()) {
    case vaWString:
    case vaUTF8String:
      return WideToAnsi(ReadWideString());
    case vaString:
      ReadValue();
      return ReadStr();
    case vaLString: {
      ReadValue();
      const Integer n = ReadLength();
      String s(static_cast<std::size_t>(n), '\0');
      Read(s.data(), n);
      return s;
    }
    default:
      ReadValue();
      PropValueError();
  }
}

WideString TReader::ReadWideString() {
  switch (NextValue()) {
    case vaWString: {
      ReadValue();
      const Integer n = ReadLength();
      if (n > source_->Remaining() / 2) StreamReadError();
      std::string raw(static_cast<std::size_t>(n) * 2, '\0');
      Read(raw.data(), n * 2);
      WideString w(static_cast<std::size_t>(n), u'\0');
      for (Integer i = 0; i < n; ++i) {
        w[static_cast<std::size_t>(i)] = static_cast<char16_t>(
            GetLE(reinterpret_cast<const Byte*>(raw.data()) + 2 * i, 2));
      }
      return w;
    }
    case vaUTF8String: {
      ReadValue();
      const Integer n = ReadLength();
      std::string s(static_cast<std::size_t>(n), '\0');
      Read(s.data(), n);
      return Utf8ToWide(s);
    }
    default:
      return AnsiToWide(ReadString());
  }
}

String TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      PropValueError();
  }
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaTrue:
      return true;
    case vaFalse:
      return false;
    default:
      PropValueError();
  }
}

char TReader::ReadChar() {
  CheckValue(vaString);
  Byte len;
  Read(&len, 1);
  if (len != 1) PropValueError();
  char c;
  Read(&c, 1);
  return c;
}

Variant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      return Variant();
    case vaNull:
      ReadValue();
      return Null();
    case vaFalse:
    case vaTrue:
      return Variant(ReadBoolean());
    case vaInt8:
      return Variant(static_cast<Shortint>(ReadInteger()));
    case vaInt16:
      return Variant(static_cast<Smallint>(ReadInteger()));
    case vaInt32:
      return Variant(ReadInteger());
    case vaInt64:
      return Variant(static_cast<long long>(ReadInt64()));
    case vaExtended:
      return Variant(ReadFloat());
    case vaSingle:
      return Variant(ReadSingle());
    case vaCurrency:
      return Variant(ReadCurrency());
    case vaDate:
      return Variant::FromDateTime(ReadDate());
    case vaString:
    case vaLString:
      return Variant(ReadString());
    case vaWString:
    case vaUTF8String:
      return Variant(ReadWideString());
    default:
      // Lists (variant arrays) do not occur in the program's streams.
      broken_ = true;
      ReadError(kSReadError);
  }
}

void TReader::SkipSetBody() {
  while (!ReadStr().empty()) {
  }
}

void TReader::SkipProperty() {
  ReadStr();
  SkipValue();
}

void TReader::SkipValue() {
  Enter();
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    case vaInt8:
      SkipBytes(1);
      break;
    case vaInt16:
      SkipBytes(2);
      break;
    case vaInt32:
    case vaSingle:
      SkipBytes(4);
      break;
    case vaExtended:
      SkipBytes(10);
      break;
    case vaString:
    case vaIdent: {
      Byte len;
      Read(&len, 1);
      SkipBytes(len);
      break;
    }
    case vaBinary:
    case vaLString:
    case vaUTF8String:
      SkipBytes(ReadLength());
      break;
    case vaWString:
      SkipBytes(Int64{ReadLength()} * 2);
      break;
    case vaSet:
      SkipSetBody();
      break;
    case vaCollection:
      while (!EndOfList()) {
        const TValueType t = NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32) SkipValue();
        ReadListBegin();
        while (!EndOfList()) SkipProperty();
        ReadListEnd();
      }
      ReadListEnd();
      break;
    case vaCurrency:
    case vaDate:
    case vaInt64:
      SkipBytes(8);
      break;
  }
  Leave();
}

// ---------------------------------------------------------------------------
// TWriter: values
// ---------------------------------------------------------------------------

TWriter::TWriter(std::unique_ptr<TByteSink> sink) : sink_(std::move(sink)) {}

void TWriter::Write(const void* buffer, Integer count) {
  if (count > 0) sink_->Write(buffer, static_cast<std::size_t>(count));
}

void TWriter::WriteValue(TValueType value) {
  const Byte b = value;
  Write(&b, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }

void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteSignature() { Write(kSignature, 4); }

void TWriter::WritePrefix(TFilerFlags flags, Integer childPos) {
  if (flags == 0) return;
  const Byte b = 0xF0 | (flags & 0x0F);
  Write(&b, 1);
  if (flags & ffChildPos) WriteInteger(childPos);
}

void TWriter::WriteInteger(Int64 value) {
  Byte b[8];
  if (value >= -128 && value <= 127) {
    WriteValue(vaInt8);
    PutLE(b, static_cast<UInt64>(value), 1);
    Write(b, 1);
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(vaInt16);
    PutLE(b, static_cast<UInt64>(value), 2);
    Write(b, 2);
  } else if (value >= std::numeric_limits<Integer>::min() &&
             value <= std::numeric_limits<Integer>::max()) {
    WriteValue(vaInt32);
    PutLE(b, static_cast<UInt64>(value), 4);
    Write(b, 4);
  } else {
    WriteValue(vaInt64);
    PutLE(b, static_cast<UInt64>(value), 8);
    Write(b, 8);
  }
}

void TWriter::WriteFloat(double value) {
  Byte b[10];
  DoubleToExtended80(value, b);
  WriteValue(vaExtended);
  Write(b, 10);
}

void TWriter::WriteSingle(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  Byte b[4];
  PutLE(b, bits, 4);
  WriteValue(vaSingle);
  Write(b, 4);
}

void TWriter::WriteCurrency(Currency value) {
  Byte b[8];
  PutLE(b, static_cast<UInt64>(value.Value), 8);
  WriteValue(vaCurrency);
  Write(b, 8);
}

void TWriter::WriteDate(TDateTime value) {
  UInt64 bits;
  std::memcpy(&bits, &value, 8);
  Byte b[8];
  PutLE(b, bits, 8);
  WriteValue(vaDate);
  Write(b, 8);
}

void TWriter::WriteStr(const String& value) {
  // A short string cannot hold more; cutting it would corrupt the name.
  if (value.size() > 255) {
    throw EWriteError("Name too long for a form stream: %s",
                      {value.substr(0, 64) + "..."});
  }
  const Byte len = static_cast<Byte>(value.size());
  Write(&len, 1);
  Write(value.data(), len);
}

void TWriter::WriteString(const String& value) {
  if (value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(value);
    return;
  }
  if (value.size() >
      static_cast<std::size_t>(std::numeric_limits<Integer>::max())) {
    throw EWriteError("String too long for a form stream");
  }
  WriteValue(vaLString);
  Byte b[4];
  PutLE(b, value.size(), 4);
  Write(b, 4);
  Write(value.data(), static_cast<Integer>(value.size()));
}

void TWriter::WriteWideString(const WideString& value) {
  WriteValue(vaWString);
  Byte b[4];
  PutLE(b, value.size(), 4);
  Write(b, 4);
  std::string raw(value.size() * 2, '\0');
  for (std::size_t i = 0; i < value.size(); ++i) {
    PutLE(reinterpret_cast<Byte*>(raw.data()) + 2 * i, value[i], 2);
  }
  Write(raw.data(), static_cast<Integer>(raw.size()));
}

void TWriter::WriteUTF8String(const std::string& value) {
  WriteValue(vaUTF8String);
  Byte b[4];
  PutLE(b, value.size(), 4);
  Write(b, 4);
  Write(value.data(), static_cast<Integer>(value.size()));
}

void TWriter::WriteIdent(const String& ident) {
  if (SameText(ident, "False")) {
    WriteValue(vaFalse);
  } else if (SameText(ident, "True")) {
    WriteValue(vaTrue);
  } else if (SameText(ident, "Null")) {
    WriteValue(vaNull);
  } else if (SameText(ident, "nil")) {
    WriteValue(vaNil);
  } else {
    WriteValue(vaIdent);
    WriteStr(ident);
  }
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char value) { WriteString(String(1, value)); }

void TWriter::WriteBinary(const void* data, Integer count) {
  WriteValue(vaBinary);
  Byte b[4];
  PutLE(b, static_cast<UInt64>(count), 4);
  Write(b, 4);
  Write(data, count);
}

void TWriter::WriteVariant(const Variant& value) {
  switch (VarType(value) & varTypeMask) {
    case varEmpty:
      WriteValue(vaNil);
      break;
    case varNull:
      WriteValue(vaNull);
      break;
    case varOleStr:
      WriteWideString(value.AsWideString());
      break;
    case varString:
      WriteString(value.AsString());
      break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
      WriteInteger(value.AsInt64());
      break;
    case varSingle:
      WriteSingle(value.AsSingle());
      break;
    case varDouble:
      WriteFloat(value.AsDouble());
      break;
    case varCurrency:
      WriteCurrency(value.AsCurrency());
      break;
    case varDate:
      WriteDate(value.AsDateTime());
      break;
    case varBoolean:
      WriteBoolean(value.AsBoolean());
      break;
    default:
      throw EWriteError("Unsupported variant type in a form stream");
  }
}

TReader::~TReader() = default;
TWriter::~TWriter() = default;
