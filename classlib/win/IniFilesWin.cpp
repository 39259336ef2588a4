#include "IniFilesWin.h"

#include <windows.h>

#include <vector>

#include "Classes.h"
#include "SysConst.h"

namespace {

// Calls the profile function with a growing buffer until the text fits. The
// functions report a full buffer by returning its size less one (less two
// for lists of names), so a result that leaves room proves nothing was cut.
String ProfileText(const char* section, const char* key, const char* def,
                   const String& file, DWORD slack) {
  std::vector<char> buffer(2048);
  while (true) {
    DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(),
                                       static_cast<DWORD>(buffer.size()),
                                       file.c_str());
    if (n + slack < buffer.size() || buffer.size() >= (1u << 24))
      return String(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

// A list of zero-terminated names, as the profile functions return them.
std::vector<String> SplitNames(const String& text) {
  std::vector<String> names;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\0', start);
    if (end == String::npos) end = text.size();
    if (end > start) names.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

TIniFile::~TIniFile() { UpdateFile(); }

String TIniFile::ReadString(const String& section, const String& ident,
                            const String& def) {
  return ProfileText(section.c_str(), ident.c_str(), def.c_str(), FileName(),
                     1);
}

void TIniFile::WriteString(const String& section, const String& ident,
                           const String& value) {
  classlib_detail::CheckIniEntry(FileName(), section, ident, value);
  if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), value.c_str(),
                                  FileName().c_str()))
    throw EIniFileException(SIniFileWriteError, {FileName()});
}

void TIniFile::ReadSection(const String& section, TStrings* strings) {
  classlib_detail::FillStrings(
      strings,
      SplitNames(ProfileText(section.c_str(), nullptr, "", FileName(), 2)));
}

void TIniFile::ReadSections(TStrings* strings) {
  classlib_detail::FillStrings(
      strings, SplitNames(ProfileText(nullptr, nullptr, "", FileName(), 2)));
}

void TIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  std::vector<String> lines;
  for (const String& key :
       SplitNames(ProfileText(section.c_str(), nullptr, "", FileName(), 2)))
    lines.push_back(key + "=" + ReadString(section, key, String()));
  classlib_detail::FillStrings(strings, lines);
}

void TIniFile::EraseSection(const String& section) {
  if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr,
                                  FileName().c_str()))
    throw EIniFileException(SIniFileWriteError, {FileName()});
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
  WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr,
                             FileName().c_str());
}

void TIniFile::UpdateFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str());
}
