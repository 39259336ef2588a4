// The text form of form streams: a tokenizer with the class library's error
// messages, text to binary, and binary to text laid out the way the class
// library lays it out (so that text -> binary -> text is stable).
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "FormStreams.h"
#include "SysUtils.h"

using namespace formstreams_detail;

namespace {

// ---------------------------------------------------------------------------
// Tokenizer
// ---------------------------------------------------------------------------

enum : int {
  toEOF = 0,
  toSymbol = 1,
  toString = 2,
  toInteger = 3,
  toFloat = 4,
  toWString = 5,
};

bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

class TParser {
 public:
  explicit TParser(const std::string& text) : src_(text) { NextToken(); }

  int Token() const { return token_; }
  bool IsWide() const { return token_ == toWString; }
  const String& TokenText() const { return text_; }
  const String& TokenAnsi() const { return ansi_; }
  const WideString& TokenWide() const { return wide_; }
  char FloatType() const { return floatType_; }

  [[noreturn]] void Error(const String& message) const {
    EParserError e(Format("%s on line %d", {message, tokenLine_}));
    e.Line = tokenLine_;
    throw e;
  }

  void CheckToken(int t) const {
    if (token_ == t) return;
    switch (t) {
      case toSymbol:
        Error("Identifier expected");
      case toString:
      case toWString:
        Error("String expected");
      case toInteger:
      case toFloat:
        Error("Number expected");
      default:
        Error(Format("'%s' expected", {String(1, static_cast<char>(t))}));
    }
  }

  bool TokenSymbolIs(const char* s) const {
    return token_ == toSymbol && SameText(text_, s);
  }

  void CheckTokenSymbol(const char* s) const {
    if (!TokenSymbolIs(s)) Error(Format("%s expected", {s}));
  }

  Int64 TokenInt() const {
    const char* b = text_.data();
    const char* e = b + text_.size();
    if (!text_.empty() && text_[0] == '$') {
      UInt64 v = 0;
      auto r = std::from_chars(b + 1, e, v, 16);
      if (text_.size() < 2 || r.ec != std::errc() || r.ptr != e) {
        InvalidInteger();
      }
      return static_cast<Int64>(v);
    }
    Int64 v = 0;
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e) InvalidInteger();
    return v;
  }

  double TokenFloat() const {
    double v = 0;
    const char* b = text_.data();
    const char* e = b + text_.size();
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) {
      Error(Format("'%s' is not a valid floating point value", {text_}));
    }
    return v;
  }

  // A symbol with dotted parts (a reference such as "Form1.Button1").
  String TokenComponentIdent() {
    CheckToken(toSymbol);
    while (pos_ < src_.size() && src_[pos_] == '.') {
      ++pos_;
      if (pos_ >= src_.size() || !IsIdentStart(src_[pos_])) {
        Error("Identifier expected");
      }
      const std::size_t start = pos_;
      while (pos_ < src_.size() && IsIdentChar(src_[pos_])) ++pos_;
      text_ += '.';
      text_.append(src_, start, pos_ - start);
    }
    return text_;
  }

  // Hex pairs up to the closing brace; the brace becomes the current token.
  std::string HexToBinary() {
    std::string out;
    SkipBlanks();
    while (pos_ < src_.size() && src_[pos_] != '}') {
      const int hi = HexValue(src_[pos_]);
      const int lo = pos_ + 1 < src_.size() ? HexValue(src_[pos_ + 1]) : -1;
      if (hi < 0 || lo < 0) {
        tokenLine_ = line_;
        Error("Invalid binary value");
      }
      out += static_cast<char>(hi * 16 + lo);
      pos_ += 2;
      SkipBlanks();
    }
    if (pos_ >= src_.size()) {
      tokenLine_ = line_;
      Error("Invalid binary value");
    }
    NextToken();
    return out;
  }

  int NextToken() {
    SkipBlanks();
    tokenLine_ = line_;
    text_.clear();
    floatType_ = 0;
    if (pos_ >= src_.size()) return token_ = toEOF;
    const char c = src_[pos_];
    if (IsIdentStart(c)) {
      const std::size_t start = pos_;
      while (pos_ < src_.size() && IsIdentChar(src_[pos_])) ++pos_;
      text_.assign(src_, start, pos_ - start);
      return token_ = toSymbol;
    }
    if (c == '#' || c == '\'') return token_ = ScanString();
    if (c == '$') {
      const std::size_t start = pos_++;
      while (pos_ < src_.size() && HexValue(src_[pos_]) >= 0) ++pos_;
      text_.assign(src_, start, pos_ - start);
      return token_ = toInteger;
    }
    if (c == '-' || IsDigit(c)) {
      const std::size_t start = pos_++;
      while (pos_ < src_.size() && IsDigit(src_[pos_])) ++pos_;
      int t = toInteger;
      while (pos_ < src_.size() &&
             (IsDigit(src_[pos_]) || src_[pos_] == '.' || src_[pos_] == 'e' ||
              src_[pos_] == 'E' || src_[pos_] == '+' || src_[pos_] == '-')) {
        ++pos_;
        t = toFloat;
      }
      text_.assign(src_, start, pos_ - start);
      if (pos_ < src_.size() && std::strchr("cCdDsS", src_[pos_]) != nullptr) {
        floatType_ = static_cast<char>(src_[pos_] | 0x20);
        ++pos_;
        t = toFloat;
      }
      return token_ = t;
    }
    ++pos_;
    text_.assign(1, c);
    return token_ = static_cast<unsigned char>(c);
  }

 private:
  void SkipBlanks() {
    while (pos_ < src_.size() &&
           static_cast<unsigned char>(src_[pos_]) <= ' ') {
      if (src_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }

  [[noreturn]] void InvalidInteger() const {
    Error(Format("'%s' is not a valid integer value", {text_}));
  }

  // Quoted runs and #nn codes, joined without spaces: 'a'#13#10'b'.
  int ScanString() {
    ansi_.clear();
    wide_.clear();
    bool wide = false;
    for (;;) {
      if (pos_ >= src_.size()) break;
      const char c = src_[pos_];
      if (c == '#') {
        ++pos_;
        unsigned long code = 0;
        std::size_t digits = 0;
        if (pos_ < src_.size() && src_[pos_] == '$') {
          ++pos_;
          while (pos_ < src_.size() && HexValue(src_[pos_]) >= 0) {
            code = code * 16 + static_cast<unsigned>(HexValue(src_[pos_]));
            if (code > 0xFFFF) Error("Invalid string constant");
            ++pos_;
            ++digits;
          }
        } else {
          while (pos_ < src_.size() && IsDigit(src_[pos_])) {
            code = code * 10 + static_cast<unsigned>(src_[pos_] - '0');
            if (code > 0xFFFF) Error("Invalid string constant");
            ++pos_;
            ++digits;
          }
        }
        if (digits == 0) Error("Invalid string constant");
        if (code > 255) {
          wide = true;
          ansi_ += '?';
        } else {
          ansi_ += static_cast<char>(code);
        }
        wide_ += static_cast<char16_t>(code);
      } else if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= src_.size() || src_[pos_] == '\n' || src_[pos_] == '\r') {
            Error("Invalid string constant");
          }
          if (src_[pos_] == '\'') {
            ++pos_;
            if (pos_ >= src_.size() || src_[pos_] != '\'') break;
          }
          ansi_ += src_[pos_];
          wide_ += AnsiToWide(String(1, src_[pos_]));
          ++pos_;
        }
      } else {
        break;
      }
    }
    return wide ? toWString : toString;
  }

  const std::string& src_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int tokenLine_ = 1;
  int token_ = toEOF;
  String text_;
  String ansi_;
  WideString wide_;
  char floatType_ = 0;
};

// ---------------------------------------------------------------------------
// Text to binary
// ---------------------------------------------------------------------------

class TTextConverter {
 public:
  TTextConverter(const std::string& text, TWriter& writer)
      : parser_(text), writer_(writer) {}

  void Run() {
    writer_.WriteSignature();
    ConvertObject();
  }

 private:
  struct TDepth {
    explicit TDepth(TTextConverter& c) : c_(c) {
      if (++c_.depth_ > kMaxNesting) c_.parser_.Error("Nesting too deep");
    }
    ~TDepth() { --c_.depth_; }
    TTextConverter& c_;
  };

  void WriteName(const String& name) {
    if (name.size() > 255) parser_.Error("Identifier too long");
    writer_.WriteStr(name);
  }

  void ConvertHeader(bool isInherited, bool isInline) {
    parser_.CheckToken(toSymbol);
    String className = parser_.TokenText();
    String objectName;
    if (parser_.NextToken() == ':') {
      parser_.NextToken();
      parser_.CheckToken(toSymbol);
      objectName = className;
      className = parser_.TokenText();
      parser_.NextToken();
    }
    TFilerFlags flags = 0;
    Integer position = 0;
    if (isInherited) flags |= ffInherited;
    if (isInline) flags |= ffInline;
    if (parser_.Token() == '[') {
      parser_.NextToken();
      parser_.CheckToken(toInteger);
      position = ToInteger(parser_.TokenInt());
      parser_.NextToken();
      parser_.CheckToken(']');
      parser_.NextToken();
      flags |= ffChildPos;
    }
    writer_.WritePrefix(flags, position);
    WriteName(className);
    WriteName(objectName);
  }

  Integer ToInteger(Int64 v) {
    if (v < std::numeric_limits<Integer>::min() ||
        v > std::numeric_limits<Integer>::max()) {
      parser_.Error("Number expected");
    }
    return static_cast<Integer>(v);
  }

  bool AtObjectStart() const {
    return parser_.TokenSymbolIs("OBJECT") ||
           parser_.TokenSymbolIs("INHERITED") ||
           parser_.TokenSymbolIs("INLINE");
  }

  void ConvertObject() {
    TDepth depth(*this);
    bool isInherited = false;
    bool isInline = false;
    if (parser_.TokenSymbolIs("INHERITED")) {
      isInherited = true;
    } else if (parser_.TokenSymbolIs("INLINE")) {
      isInline = true;
    } else {
      parser_.CheckTokenSymbol("OBJECT");
    }
    parser_.NextToken();
    ConvertHeader(isInherited, isInline);
    while (!parser_.TokenSymbolIs("END") && !AtObjectStart()) {
      ConvertProperty();
    }
    writer_.WriteListEnd();
    while (!parser_.TokenSymbolIs("END")) ConvertObject();
    writer_.WriteListEnd();
    parser_.NextToken();
  }

  void ConvertProperty() {
    parser_.CheckToken(toSymbol);
    String name = parser_.TokenText();
    parser_.NextToken();
    while (parser_.Token() == '.') {
      parser_.NextToken();
      parser_.CheckToken(toSymbol);
      name += '.';
      name += parser_.TokenText();
      parser_.NextToken();
    }
    WriteName(name);
    parser_.CheckToken('=');
    parser_.NextToken();
    ConvertValue();
  }

  void ConvertString() {
    String ansi = parser_.TokenAnsi();
    WideString wide = parser_.TokenWide();
    bool isWide = parser_.IsWide();
    while (parser_.NextToken() == '+') {
      parser_.NextToken();
      if (parser_.Token() != toString && parser_.Token() != toWString) {
        parser_.CheckToken(toString);
      }
      ansi += parser_.TokenAnsi();
      wide += parser_.TokenWide();
      isWide = isWide || parser_.IsWide();
    }
    if (isWide) {
      writer_.WriteWideString(wide);
    } else {
      writer_.WriteString(ansi);
    }
  }

  void ConvertFloat() {
    switch (parser_.FloatType()) {
      case 's':
        writer_.WriteSingle(static_cast<float>(parser_.TokenFloat()));
        break;
      case 'c': {
        // The text holds the amount times 10000; integral text is taken
        // exactly so that the whole Currency range survives.
        const String& t = parser_.TokenText();
        if (t.find_first_of(".eE") == String::npos) {
          writer_.WriteCurrency(Currency::FromScaled(parser_.TokenInt()));
        } else {
          const double v = std::nearbyint(parser_.TokenFloat());
          if (!(v >= -9.2233720368547758e18 && v < 9.2233720368547758e18)) {
            parser_.Error(
                Format("'%s' is not a valid floating point value", {t}));
          }
          writer_.WriteCurrency(Currency::FromScaled(static_cast<Int64>(v)));
        }
        break;
      }
      case 'd':
        writer_.WriteDate(parser_.TokenFloat());
        break;
      default:
        writer_.WriteFloat(parser_.TokenFloat());
        break;
    }
  }

  void ConvertValue() {
    TDepth depth(*this);
    switch (parser_.Token()) {
      case toSymbol: {
        const String ident = parser_.TokenComponentIdent();
        if (ident.size() > 255) parser_.Error("Identifier too long");
        writer_.WriteIdent(ident);
        break;
      }
      case toString:
      case toWString:
        ConvertString();
        return;  // ConvertString has read past the value
      case toInteger:
        writer_.WriteInteger(parser_.TokenInt());
        break;
      case toFloat:
        ConvertFloat();
        break;
      case '[':
        parser_.NextToken();
        writer_.WriteValue(vaSet);
        if (parser_.Token() != ']') {
          for (;;) {
            parser_.CheckToken(toSymbol);
            WriteName(parser_.TokenText());
            if (parser_.NextToken() == ']') break;
            parser_.CheckToken(',');
            parser_.NextToken();
          }
        }
        writer_.WriteStr("");
        break;
      case '(':
        parser_.NextToken();
        writer_.WriteListBegin();
        while (parser_.Token() != ')') {
          if (parser_.Token() == toEOF) parser_.CheckToken(')');
          ConvertValue();
        }
        writer_.WriteListEnd();
        break;
      case '{': {
        const std::string data = parser_.HexToBinary();
        writer_.WriteBinary(data.data(), static_cast<Integer>(data.size()));
        break;
      }
      case '<':
        parser_.NextToken();
        writer_.WriteValue(vaCollection);
        while (parser_.Token() != '>') {
          parser_.CheckTokenSymbol("item");
          parser_.NextToken();
          if (parser_.Token() == '[') {
            parser_.NextToken();
            parser_.CheckToken(toInteger);
            writer_.WriteInteger(ToInteger(parser_.TokenInt()));
            parser_.NextToken();
            parser_.CheckToken(']');
            parser_.NextToken();
          }
          writer_.WriteListBegin();
          while (!parser_.TokenSymbolIs("end")) ConvertProperty();
          writer_.WriteListEnd();
          parser_.NextToken();
        }
        writer_.WriteListEnd();
        break;
      default:
        parser_.Error("Invalid property value");
    }
    parser_.NextToken();
  }

  TParser parser_;
  TWriter& writer_;
  int depth_ = 0;
};

// ---------------------------------------------------------------------------
// Number text (always with '.', whatever the locale says)
// ---------------------------------------------------------------------------

struct TDecimal {
  bool negative = false;
  std::string digits;  // no trailing zeros; empty for zero
  int exponent = 0;    // value = 0.digits * 10^exponent
};

TDecimal ToDecimal(double v, int precision) {
  TDecimal d;
  d.negative = std::signbit(v);
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v),
                         std::chars_format::scientific, precision - 1);
  const std::string s(buf, r.ptr);
  const std::size_t e = s.find('e');
  for (std::size_t i = 0; i < e; ++i) {
    if (s[i] != '.') d.digits += s[i];
  }
  d.exponent = std::atoi(s.c_str() + e + 1) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.negative = false;
  return d;
}

String NonFinite(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

String Scientific(const TDecimal& d) {
  String s = d.negative ? "-" : "";
  s += d.digits[0];
  if (d.digits.size() > 1) {
    s += '.';
    s += d.digits.substr(1);
  }
  s += 'E';
  s += std::to_string(d.exponent - 1);
  return s;
}

// The general format with 15 significant digits.
String FloatText(double v, int precision = 15) {
  if (!std::isfinite(v)) return NonFinite(v);
  const TDecimal d = ToDecimal(v, precision);
  if (d.digits.empty()) return "0";
  if (d.exponent > precision || d.exponent < -3) return Scientific(d);
  String s = d.negative ? "-" : "";
  if (d.exponent <= 0) {
    s += "0.";
    s.append(static_cast<std::size_t>(-d.exponent), '0');
    s += d.digits;
    return s;
  }
  const std::size_t ip = static_cast<std::size_t>(d.exponent);
  if (d.digits.size() <= ip) {
    s += d.digits;
    s.append(ip - d.digits.size(), '0');
  } else {
    s += d.digits.substr(0, ip);
    s += '.';
    s += d.digits.substr(ip);
  }
  return s;
}

// Extended values: 16 significant digits laid out with 18 decimals. Values
// too small for that layout to show them take the general format instead of
// coming out as zero.
String ExtendedText(double v) {
  if (!std::isfinite(v)) return NonFinite(v);
  const TDecimal d = ToDecimal(v, 16);
  if (!d.digits.empty() && (d.exponent > 16 || d.exponent < -3)) {
    return Scientific(d);
  }
  String s = d.negative ? "-" : "";
  if (d.exponent <= 0 || d.digits.empty()) {
    s += '0';
  } else {
    for (int i = 0; i < d.exponent; ++i) {
      s += i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
    }
  }
  s += '.';
  for (int i = 0; i < 18; ++i) {
    const int idx = d.exponent + i;
    s += (!d.digits.empty() && idx >= 0 &&
          idx < static_cast<int>(d.digits.size()))
             ? d.digits[static_cast<std::size_t>(idx)]
             : '0';
  }
  return s;
}

// ---------------------------------------------------------------------------
// Binary to text
// ---------------------------------------------------------------------------

const char kEol[] = "\r\n";
constexpr std::size_t kLineLength = 64;
constexpr std::size_t kBytesPerLine = 32;

class TBinaryConverter {
 public:
  explicit TBinaryConverter(TReader& reader) : reader_(reader) {}

  std::string Run() {
    reader_.ReadSignature();
    ConvertObject();
    return std::move(out_);
  }

 private:
  struct TDepth {
    explicit TDepth(TBinaryConverter& c) : c_(c) {
      if (++c_.depth_ > kMaxNesting) {
        throw EReadError("Form stream nested too deeply");
      }
    }
    ~TDepth() { --c_.depth_; }
    TBinaryConverter& c_;
  };

  void WriteIndent() {
    out_.append(static_cast<std::size_t>(nesting_) * 2, ' ');
  }
  void NewLine() {
    out_ += kEol;
    WriteIndent();
  }

  void ConvertHeader() {
    TFilerFlags flags;
    Integer position;
    reader_.ReadPrefix(flags, position);
    WriteIndent();
    if (flags & ffInherited) {
      out_ += "inherited ";
    } else if (flags & ffInline) {
      out_ += "inline ";
    } else {
      out_ += "object ";
    }
    const String className = reader_.ReadStr();
    const String objectName = reader_.ReadStr();
    if (!objectName.empty()) {
      out_ += objectName;
      out_ += ": ";
    }
    out_ += className;
    if (flags & ffChildPos) {
      out_ += " [";
      out_ += std::to_string(position);
      out_ += ']';
    }
    out_ += kEol;
  }

  void ConvertObject() {
    TDepth depth(*this);
    ConvertHeader();
    ++nesting_;
    while (!reader_.EndOfList()) ConvertProperty();
    reader_.ReadListEnd();
    while (!reader_.EndOfList()) ConvertObject();
    reader_.ReadListEnd();
    --nesting_;
    WriteIndent();
    out_ += "end";
    out_ += kEol;
  }

  void ConvertProperty() {
    WriteIndent();
    out_ += reader_.ReadStr();
    out_ += " = ";
    ConvertValue();
    out_ += kEol;
  }

  // Printable runs in quotes, everything else as #nn, broken into lines of
  // 64 characters joined by '+'. Characters above printable ASCII are
  // quoted in ANSI strings and coded in wide strings.
  template <class S>
  void ConvertString(const S& s, bool wide) {
    const std::size_t n = s.size();
    if (n == 0) {
      out_ += "''";
      return;
    }
    auto literal = [wide](unsigned c) {
      return c >= ' ' && c != '\'' && (!wide || c <= 127);
    };
    ++nesting_;
    if (n > kLineLength) NewLine();
    std::size_t i = 0;
    std::size_t lineStart = 0;
    while (i < n) {
      bool lineBreak = false;
      const unsigned c =
          static_cast<std::make_unsigned_t<typename S::value_type>>(s[i]);
      if (literal(c)) {
        const std::size_t j = i;
        do {
          ++i;
        } while (
            i < n &&
            literal(static_cast<std::make_unsigned_t<typename S::value_type>>(
                s[i])) &&
            i - lineStart < kLineLength);
        if (i - lineStart >= kLineLength) lineBreak = true;
        out_ += '\'';
        for (std::size_t k = j; k < i; ++k) out_ += static_cast<char>(s[k]);
        out_ += '\'';
      } else {
        out_ += '#';
        out_ += std::to_string(c);
        ++i;
        if (i - lineStart >= kLineLength) lineBreak = true;
      }
      if (lineBreak && i < n) {
        out_ += " +";
        NewLine();
        lineStart = i;
      }
    }
    --nesting_;
  }

  void ConvertBinary() {
    reader_.ReadValue();
    Byte b[4];
    reader_.Read(b, 4);
    const Integer count = static_cast<Integer>(
        b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<UInt64>(b[3]) << 24));
    // Read in lines so that a lying length fails before much is written.
    ++nesting_;
    out_ += '{';
    static const char kHex[] = "0123456789ABCDEF";
    Integer left = count;
    if (left < 0) throw EReadError("Invalid stream format");
    Byte line[kBytesPerLine];
    while (left > 0) {
      NewLine();
      const Integer k = std::min<Integer>(left, kBytesPerLine);
      reader_.Read(line, k);
      for (Integer i = 0; i < k; ++i) {
        out_ += kHex[line[i] >> 4];
        out_ += kHex[line[i] & 15];
      }
      left -= k;
    }
    --nesting_;
    out_ += '}';
  }

  void ConvertValue() {
    TDepth depth(*this);
    switch (reader_.NextValue()) {
      case vaList:
        reader_.ReadValue();
        out_ += '(';
        ++nesting_;
        while (!reader_.EndOfList()) {
          NewLine();
          ConvertValue();
        }
        reader_.ReadListEnd();
        --nesting_;
        out_ += ')';
        break;
      case vaInt8:
      case vaInt16:
      case vaInt32:
        out_ += std::to_string(reader_.ReadInteger());
        break;
      case vaInt64:
        out_ += std::to_string(reader_.ReadInt64());
        break;
      case vaExtended:
        out_ += ExtendedText(reader_.ReadFloat());
        break;
      case vaSingle:
        out_ += FloatText(reader_.ReadSingle()) + "s";
        break;
      case vaCurrency:
        out_ += std::to_string(reader_.ReadCurrency().Value) + "c";
        break;
      case vaDate:
        out_ += FloatText(reader_.ReadDate()) + "d";
        break;
      case vaWString:
      case vaUTF8String:
        ConvertString(reader_.ReadWideString(), true);
        break;
      case vaString:
      case vaLString:
        ConvertString(reader_.ReadString(), false);
        break;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull:
        out_ += reader_.ReadIdent();
        break;
      case vaBinary:
        ConvertBinary();
        break;
      case vaSet: {
        reader_.ReadValue();
        out_ += '[';
        for (int i = 0;; ++i) {
          const String s = reader_.ReadStr();
          if (s.empty()) break;
          if (i > 0) out_ += ", ";
          out_ += s;
        }
        out_ += ']';
        break;
      }
      case vaCollection:
        reader_.ReadValue();
        out_ += '<';
        ++nesting_;
        while (!reader_.EndOfList()) {
          NewLine();
          out_ += "item";
          const TValueType t = reader_.NextValue();
          if (t == vaInt8 || t == vaInt16 || t == vaInt32) {
            out_ += " [";
            out_ += std::to_string(reader_.ReadInteger());
            out_ += ']';
          }
          out_ += kEol;
          reader_.CheckValue(vaList);
          ++nesting_;
          while (!reader_.EndOfList()) ConvertProperty();
          reader_.ReadListEnd();
          --nesting_;
          WriteIndent();
          out_ += "end";
        }
        reader_.ReadListEnd();
        --nesting_;
        out_ += '>';
        break;
      default:
        reader_.ReadValue();  // raises for anything unknown
        throw EReadError("Invalid property value");
    }
  }

  TReader& reader_;
  std::string out_;
  int nesting_ = 0;
  int depth_ = 0;
};

}  // namespace

namespace formstreams_detail {

std::string TextToBinary(const std::string& text) {
  auto sink = std::make_unique<TStringSink>();
  TStringSink* out = sink.get();
  TWriter w(std::move(sink));
  TTextConverter(text, w).Run();
  return std::move(out->data);
}

std::string BinaryToText(TByteSource& source) {
  // The reader owns its source; lend this one through a forwarding source.
  class TLent : public TByteSource {
   public:
    explicit TLent(TByteSource& s) : s_(s) {}
    std::size_t Read(void* b, std::size_t n) override { return s_.Read(b, n); }
    Int64 Remaining() override { return s_.Remaining(); }
    void Skip(Int64 n) override { s_.Skip(n); }
    bool Peek(Byte& v) override { return s_.Peek(v); }

   private:
    TByteSource& s_;
  };
  TReader reader(std::make_unique<TLent>(source));
  return TBinaryConverter(reader).Run();
}

}  // namespace formstreams_detail
