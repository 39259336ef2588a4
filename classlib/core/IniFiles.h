// Ini files: the common interface (sections of named text entries, with
// typed reads and writes on top) and the in-memory ini file.
#pragma once

#include <vector>

#include "System.h"

class TStrings;
class TStream;

VARNEL_EXCEPTION(EIniFileException, Exception)

// Typed entries are stored as text: integers in decimal (reads also take
// hexadecimal with "$" or "0x"), Booleans as "1" and "0", numbers, dates and
// times in the user's locale (numbers with as many digits as it takes to
// read back the same value), byte blocks as two hexadecimal digits a byte.
// A typed read of a missing or unreadable entry gives the default.
// Writing an entry whose "name=value" line would read back as something
// else (a section header, a comment, another name, more than one line)
// raises EIniFileException and changes nothing.
class TCustomIniFile : public TObject {
  VARNEL_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const String& fileName) : fileName_(fileName) {}

  const String& FileName() const { return fileName_; }

  virtual String ReadString(const String& section, const String& ident,
                            const String& def) = 0;
  virtual void WriteString(const String& section, const String& ident,
                           const String& value) = 0;
  virtual Integer ReadInteger(const String& section, const String& ident,
                              Integer def);
  virtual void WriteInteger(const String& section, const String& ident,
                            Integer value);
  virtual bool ReadBool(const String& section, const String& ident, bool def);
  virtual void WriteBool(const String& section, const String& ident,
                         bool value);
  virtual double ReadFloat(const String& section, const String& ident,
                           double def);
  virtual void WriteFloat(const String& section, const String& ident,
                          double value);
  virtual TDateTime ReadDate(const String& section, const String& ident,
                             TDateTime def);
  virtual void WriteDate(const String& section, const String& ident,
                         TDateTime value);
  virtual TDateTime ReadDateTime(const String& section, const String& ident,
                                 TDateTime def);
  virtual void WriteDateTime(const String& section, const String& ident,
                             TDateTime value);
  virtual TDateTime ReadTime(const String& section, const String& ident,
                             TDateTime def);
  virtual void WriteTime(const String& section, const String& ident,
                         TDateTime value);
  // Puts the bytes at the stream's position, leaves the position there and
  // returns their count; 0 (and the stream untouched) when the entry is
  // missing or is not a well-formed byte block.
  virtual Integer ReadBinaryStream(const String& section, const String& name,
                                   TStream* value);
  // Stores the bytes from the stream's position to its end.
  virtual void WriteBinaryStream(const String& section, const String& name,
                                 TStream* value);

  virtual bool SectionExists(const String& section);
  virtual bool ValueExists(const String& section, const String& ident);
  // The entry names of a section.
  virtual void ReadSection(const String& section, TStrings* strings) = 0;
  virtual void ReadSections(TStrings* strings) = 0;
  // The entries of a section as "name=value" lines.
  virtual void ReadSectionValues(const String& section, TStrings* strings) = 0;
  virtual void EraseSection(const String& section) = 0;
  virtual void DeleteKey(const String& section, const String& ident) = 0;
  // Writes pending changes to the medium.
  virtual void UpdateFile() = 0;

 protected:
  void SetFileName(const String& fileName) { fileName_ = fileName; }

 private:
  String fileName_;
};

// An ini file held in memory. Section and entry names compare without regard
// to case. The lines of the file are kept as read: comments (";"), blank
// lines and untouched entries come back unchanged when it is written.
// Nothing reaches the file before UpdateFile; without a file name
// UpdateFile does nothing.
class TMemIniFile : public TCustomIniFile {
  VARNEL_CLASS(TMemIniFile, TCustomIniFile)
 public:
  // Loads the file when it exists.
  explicit TMemIniFile(const String& fileName = String());

  void Clear();
  // The content as lines of text, and the content replaced by lines.
  void GetStrings(TStrings* list);
  void SetStrings(TStrings* list);
  // Points at another file; with reload its content replaces the memory.
  void Rename(const String& fileName, bool reload);

  String ReadString(const String& section, const String& ident,
                    const String& def) override;
  void WriteString(const String& section, const String& ident,
                   const String& value) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  void ReadSection(const String& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const String& section, TStrings* strings) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  void UpdateFile() override;

  // The content as lines (what UpdateFile writes), and replaced by lines.
  std::vector<String> Lines() const;
  void SetLines(const std::vector<String>& lines);

 private:
  struct TLine {
    String Text;  // as read, or as last written
    String Name;  // entry name; only when IsEntry
    String Value;
    bool IsEntry = false;
  };
  struct TSection {
    String Name;
    String Header;  // the "[name]" line as read
    std::vector<TLine> Lines;
  };

  TSection* FindSection(const String& name);
  TLine* FindEntry(TSection* section, const String& name);
  void LoadValues();

  std::vector<String> preamble_;  // lines before the first section
  std::vector<TSection> sections_;
};

namespace classlib_detail {
// Replaces the content of strings with lines in one update.
void FillStrings(TStrings* strings, const std::vector<String>& lines);
// Raises EIniFileException when the entry, written as a line of an ini
// file, would not read back as that entry.
void CheckIniEntry(const String& fileName, const String& section,
                   const String& ident, const String& value);
}  // namespace classlib_detail
