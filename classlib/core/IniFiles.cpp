#include "IniFiles.h"

#include <cmath>
#include <iterator>

#include "Classes.h"
#include "SysConst.h"
#include "SysUtils.h"

// ---------------------------------------------------------------------------
// TCustomIniFile
// ---------------------------------------------------------------------------

namespace {

// Byte blocks as text: two upper-case hexadecimal digits a byte.
String BytesToHex(const std::vector<Byte>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  String text;
  text.reserve(bytes.size() * 2);
  for (Byte b : bytes) {
    text += digits[b >> 4];
    text += digits[b & 0x0F];
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

String TrimBlanks(const String& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// A trimmed line that reads as a section header.
bool IsHeaderLine(const String& trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

bool HasLineBreak(const String& s) {
  return s.find_first_of("\r\n") != String::npos;
}

// The shortest text of the value that reads back as the same value: a
// number written with fewer digits would come back rounded, and the largest
// numbers, rounded up, not at all.
String FloatText(double value) {
  if (!std::isfinite(value)) return FloatToStr(value);
  String text;
  for (Integer precision = 15; precision <= 18; ++precision) {
    text = FloatToStrF(value, ffGeneral, precision, 0);
    double back;
    if (TryStrToFloat(text, back) && back == value) break;
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// False for anything but pairs of hexadecimal digits.
bool HexToBytes(const String& text, std::vector<Byte>& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigit(text[i]);
    int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<Byte>(hi * 16 + lo));
  }
  return true;
}

}  // namespace

void classlib_detail::CheckIniEntry(const String& fileName,
                                    const String& section, const String& ident,
                                    const String& value) {
  const String line = TrimBlanks(ident + "=" + value);
  const bool readsBack =
      !HasLineBreak(section) && !HasLineBreak(ident) && !HasLineBreak(value) &&
      !IsHeaderLine(line) && line[0] != ';' &&
      TrimBlanks(line.substr(0, line.find('='))) == TrimBlanks(ident);
  if (!readsBack)
    throw EIniFileException(SIniFileEntryError, {ident, section, fileName});
}

void classlib_detail::FillStrings(TStrings* strings,
                                  const std::vector<String>& lines) {
  strings->BeginUpdate();
  try {
    strings->Clear();
    for (const String& line : lines) strings->Add(line);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

Integer TCustomIniFile::ReadInteger(const String& section, const String& ident,
                                    Integer def) {
  String text = ReadString(section, ident, String());
  // Hand-edited files use the C prefix as often as the Pascal one.
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.replace(0, 2, "$");
  return StrToIntDef(text, def);
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident,
                                  Integer value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident,
                              bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident,
                               bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident,
                                 double def) {
  double value;
  String text = ReadString(section, ident, String());
  if (!text.empty() && TryStrToFloat(text, value)) return value;
  // What WriteFloat writes for the values that have no digits.
  for (double special : {HUGE_VAL, -HUGE_VAL, std::nan("")})
    if (SameText(text, FloatText(special))) return special;
  return def;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident,
                                double value) {
  WriteString(section, ident, FloatText(value));
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident,
                                   TDateTime def) {
  TDateTime value;
  String text = ReadString(section, ident, String());
  return !text.empty() && TryStrToDate(text, value) ? value : def;
}

void TCustomIniFile::WriteDate(const String& section, const String& ident,
                               TDateTime value) {
  WriteString(section, ident, DateToStr(value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& section,
                                       const String& ident, TDateTime def) {
  TDateTime value;
  String text = ReadString(section, ident, String());
  return !text.empty() && TryStrToDateTime(text, value) ? value : def;
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident,
                                   TDateTime value) {
  WriteString(section, ident, DateTimeToStr(value));
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident,
                                   TDateTime def) {
  TDateTime value;
  String text = ReadString(section, ident, String());
  return !text.empty() && TryStrToTime(text, value) ? value : def;
}

void TCustomIniFile::WriteTime(const String& section, const String& ident,
                               TDateTime value) {
  WriteString(section, ident, TimeToStr(value));
}

Integer TCustomIniFile::ReadBinaryStream(const String& section,
                                         const String& name, TStream* value) {
  std::vector<Byte> bytes;
  if (!value || !HexToBytes(ReadString(section, name, String()), bytes) ||
      bytes.empty())
    return 0;
  Int64 start = value->Position();
  value->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  value->SetPosition(start);
  return static_cast<Integer>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const String& section,
                                       const String& name, TStream* value) {
  std::vector<Byte> bytes;
  if (value) {
    Int64 rest = value->Size() - value->Position();
    if (rest > 0) {
      bytes.resize(static_cast<std::size_t>(rest));
      value->ReadBuffer(bytes.data(), static_cast<Integer>(rest));
    }
  }
  WriteString(section, name, BytesToHex(bytes));
}

bool TCustomIniFile::SectionExists(const String& section) {
  TObjectPtr<TStringList> names(new TStringList);
  ReadSection(section, names.get());
  return names->Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& section, const String& ident) {
  TObjectPtr<TStringList> names(new TStringList);
  ReadSection(section, names.get());
  return names->IndexOf(ident) >= 0;
}

// ---------------------------------------------------------------------------
// TMemIniFile
// ---------------------------------------------------------------------------

namespace {

bool SameName(const String& a, const String& b) { return AnsiSameText(a, b); }

// Splits text into lines at CR LF, LF or CR; a final line break ends the
// last line rather than starting an empty one.
std::vector<String> SplitLines(const String& text) {
  std::vector<String> lines;
  String line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

TMemIniFile::TMemIniFile(const String& fileName) : TCustomIniFile(fileName) {
  LoadValues();
}

void TMemIniFile::Clear() {
  preamble_.clear();
  sections_.clear();
}

void TMemIniFile::LoadValues() {
  Clear();
  if (FileName().empty() || !FileExists(FileName())) return;
  // A file that is there but cannot be read raises: taking it for empty
  // would let the next UpdateFile overwrite what it holds.
  TObjectPtr<TFileStream> in(
      new TFileStream(FileName(), fmOpenRead | fmShareDenyWrite));
  String text(static_cast<std::size_t>(in->Size()), '\0');
  in->ReadBuffer(text.data(), static_cast<Integer>(text.size()));
  SetLines(SplitLines(text));
}

void TMemIniFile::SetLines(const std::vector<String>& lines) {
  Clear();
  TSection* current = nullptr;
  for (const String& raw : lines) {
    String s = TrimBlanks(raw);
    if (IsHeaderLine(s)) {
      sections_.push_back({TrimBlanks(s.substr(1, s.size() - 2)), raw, {}});
      current = &sections_.back();
      continue;
    }
    if (!current) {
      preamble_.push_back(raw);
      continue;
    }
    TLine line;
    line.Text = raw;
    std::size_t eq = s.find('=');
    if (!s.empty() && s[0] != ';' && eq != String::npos) {
      line.IsEntry = true;
      line.Name = TrimBlanks(s.substr(0, eq));
      line.Value = TrimBlanks(s.substr(eq + 1));
    }
    current->Lines.push_back(std::move(line));
  }
}

std::vector<String> TMemIniFile::Lines() const {
  std::vector<String> lines = preamble_;
  for (const TSection& section : sections_) {
    lines.push_back(section.Header);
    for (const TLine& line : section.Lines) lines.push_back(line.Text);
  }
  return lines;
}

void TMemIniFile::GetStrings(TStrings* list) {
  classlib_detail::FillStrings(list, Lines());
}

void TMemIniFile::SetStrings(TStrings* list) {
  std::vector<String> lines;
  for (Integer i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
  SetLines(lines);
}

void TMemIniFile::Rename(const String& fileName, bool reload) {
  SetFileName(fileName);
  if (reload) LoadValues();
}

TMemIniFile::TSection* TMemIniFile::FindSection(const String& name) {
  for (TSection& section : sections_)
    if (SameName(section.Name, name)) return &section;
  return nullptr;
}

TMemIniFile::TLine* TMemIniFile::FindEntry(TSection* section,
                                           const String& name) {
  if (!section) return nullptr;
  for (TLine& line : section->Lines)
    if (line.IsEntry && SameName(line.Name, name)) return &line;
  return nullptr;
}

String TMemIniFile::ReadString(const String& section, const String& ident,
                               const String& def) {
  TLine* entry = FindEntry(FindSection(section), ident);
  return entry ? entry->Value : def;
}

void TMemIniFile::WriteString(const String& section, const String& ident,
                              const String& value) {
  classlib_detail::CheckIniEntry(FileName(), section, ident, value);
  TSection* s = FindSection(section);
  if (!s) {
    sections_.push_back({section, "[" + section + "]", {}});
    s = &sections_.back();
  }
  TLine* entry = FindEntry(s, ident);
  if (!entry) {
    // New entries go after the last entry, so that comments and blank lines
    // that end the section stay in front of the next one.
    auto pos = s->Lines.end();
    while (pos != s->Lines.begin() && !std::prev(pos)->IsEntry) --pos;
    if (pos == s->Lines.begin()) pos = s->Lines.end();
    entry = &*s->Lines.insert(pos, TLine{});
    entry->IsEntry = true;
    entry->Name = ident;
  }
  entry->Value = value;
  entry->Text = entry->Name + "=" + value;
}

bool TMemIniFile::SectionExists(const String& section) {
  return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const String& section, const String& ident) {
  return FindEntry(FindSection(section), ident) != nullptr;
}

void TMemIniFile::ReadSection(const String& section, TStrings* strings) {
  std::vector<String> names;
  if (TSection* s = FindSection(section))
    for (const TLine& line : s->Lines)
      if (line.IsEntry) names.push_back(line.Name);
  classlib_detail::FillStrings(strings, names);
}

void TMemIniFile::ReadSections(TStrings* strings) {
  // A section that appears twice is listed once, where it first appears.
  std::vector<String> names;
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (FindSection(sections_[i].Name) == &sections_[i])
      names.push_back(sections_[i].Name);
  classlib_detail::FillStrings(strings, names);
}

void TMemIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  std::vector<String> lines;
  if (TSection* s = FindSection(section))
    for (const TLine& line : s->Lines)
      if (line.IsEntry) lines.push_back(line.Name + "=" + line.Value);
  classlib_detail::FillStrings(strings, lines);
}

void TMemIniFile::EraseSection(const String& section) {
  for (std::size_t i = sections_.size(); i-- > 0;)
    if (SameName(sections_[i].Name, section))
      sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
  TSection* s = FindSection(section);
  if (!s) return;
  for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it) {
    if (it->IsEntry && SameName(it->Name, ident)) {
      s->Lines.erase(it);
      return;
    }
  }
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  String text;
  for (const String& line : Lines()) text += line + "\r\n";
  TObjectPtr<TFileStream> out(new TFileStream(FileName(), fmCreate));
  try {
    out->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
  } catch (const EStreamError&) {
    throw EIniFileException(SIniFileWriteError, {FileName()});
  }
}
