// An ini file read and written through the system's profile functions: every
// call goes to the file (through the system's cache).
#pragma once

#include "IniFiles.h"

class TIniFile : public TCustomIniFile {
  VARNEL_CLASS(TIniFile, TCustomIniFile)
 public:
  // A name without a folder means a file in the Windows folder, as the
  // profile functions take it.
  explicit TIniFile(const String& fileName) : TCustomIniFile(fileName) {}
  ~TIniFile() override;

  String ReadString(const String& section, const String& ident,
                    const String& def) override;
  // Raise EIniFileException "Unable to write to %s" on failure, and for an
  // entry that would not read back (see TCustomIniFile).
  void WriteString(const String& section, const String& ident,
                   const String& value) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  // Flushes the system's cache of the file.
  void UpdateFile() override;
};
