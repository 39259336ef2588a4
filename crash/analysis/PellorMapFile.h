// Debug information of loaded modules: which unit, symbol and source line
// an address belongs to. A TMapFile gathers a module's segments (address
// ranges per unit), publics (symbols) and line numbers from the first
// source that works: the packed map data linked into the module, TD32
// data, the linker's text map, a packed map file, a JEDI debug-data file.
//
// This unit is portable: it holds the data model, the lookups and the
// cache; PellorMapSources reads the formats from memory. Finding a module, its
// resources and the files beside it is the Windows-only PellorMapModule,
// which plugs itself in at start-up; without it (off Windows) every module
// lookup answers "no information". Nothing here raises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "PellorStrings.h"

// One address range of one unit.
struct TMfSegment {
  bool valid = false;
  bool isCode = false;
  const void* start = nullptr;  // absolute address in the process
  Cardinal size = 0;
  String unitName;  // a trailing ".pas" or ".dpr" removed
  // Minimal debug information only: lines existed but were left out.
  bool linesOmitted = false;
};

// One symbol.
struct TMfPublic {
  bool valid = false;
  bool isCode = false;
  String name;
  const void* address = nullptr;
};

struct TMfLine {
  Integer line = 0;
  const void* address = nullptr;
};

class TMapFile;
using TMapFilePtr = std::shared_ptr<const TMapFile>;

class TMapFile : public TObject {
  VARNEL_CLASS(TMapFile, TObject)
 public:
  // With load false the object stays empty and invalid. With load true the
  // module's sources are read (only where the module reader is plugged in).
  TMapFile(bool load, bool codeOnly, const void* instance,
           const String& moduleFileName);

  // The public whose range holds the address: a public ends where the next
  // one begins, the last at the end of code when that is known.
  TMfPublic PublicOfAddress(const void* address) const;
  // The address of a named public of a unit; nil when none. A unit without
  // "." is retried with ".cpp", ".h" and ".c".
  const void* AddressOfPublic(bool isCode, const String& unit,
                              bool caseSensitive, const String& name) const;
  // The segment of that kind holding the address.
  TMfSegment SegmentOfAddress(bool isCode, const void* address) const;
  // The line number: 0 when unknown, -1 when the segment says that lines
  // existed but were left out. next is where the next line begins (address
  // + 1 when unknown).
  Integer LineNumberOf(const void* address, const void*& next) const;

  bool Valid() const { return valid_; }
  bool CodeOnly() const { return codeOnly_; }
  const void* Instance() const {
    return reinterpret_cast<const void*>(instance_);
  }
  const String& ModuleFileName() const { return moduleFileName_; }
  const String& MapFileName() const { return mapFileName_; }
  const void* CodeStart() const {
    return reinterpret_cast<const void*>(codeStart_);
  }
  const void* CodeEnd() const {
    return reinterpret_cast<const void*>(codeEnd_);
  }
  const void* EntryPoint() const {
    return reinterpret_cast<const void*>(entryPoint_);
  }
  const String& IdentityText() const { return identity_; }

  const std::vector<TMfSegment>& Segments() const { return segments_; }
  const std::vector<TMfPublic>& Publics() const { return publics_; }
  const std::vector<TMfLine>& Lines() const { return lines_; }

  // --- building (the readers and the module reader) -----------------------

  // Where code and data lie. secondCodeOffset is the offset of a second
  // code section from the first (0 when there is only one).
  void SetLayout(std::uintptr_t instance, std::uintptr_t codeStart,
                 std::uintptr_t codeEnd, std::uintptr_t dataStart,
                 std::uintptr_t dataEnd, Cardinal secondCodeOffset);
  std::uintptr_t CodeStartAddr() const { return codeStart_; }
  std::uintptr_t CodeEndAddr() const { return codeEnd_; }
  std::uintptr_t DataStartAddr() const { return dataStart_; }
  // 2, or 3 when the module has two code sections.
  Integer DataSegmentNumber() const { return secondCodeOffset_ ? 3 : 2; }
  Cardinal SecondCodeOffset() const { return secondCodeOffset_; }

  // Segment and public options of the readers.
  enum : unsigned { kMerge = 1, kSorted = 2, kRelative = 4, kTd32 = 8 };
  // Adds a segment; with kRelative, start is relative to the start of code
  // or data.
  void AddSegment(bool isCode, std::uintptr_t start, Cardinal size, String unit,
                  unsigned options, bool linesOmitted = false);
  // Adds a public after dropping compiler-generated names and unmangling.
  void AddPublic(bool isCode, std::uintptr_t address, String name,
                 unsigned options);
  void AddLine(Integer line, std::uintptr_t address);
  void SortSegments();
  void SortPublics();
  void SortLines();
  // Merges neighbours of the sorted segment list (see the source).
  void CompactSegments(bool strict);
  void StretchLastCodeSegment(std::uintptr_t end);
  // Drops everything read so far.
  void ClearLists();

  void SetEntryPoint(std::uintptr_t entry) { entryPoint_ = entry; }
  void SetIdentityText(const String& text) { identity_ = text; }
  void SetValid(bool valid) { valid_ = valid; }
  void SetMapFileName(const String& name) { mapFileName_ = name; }

  // The name rewriter for publics (the compiler's demangler on Windows);
  // none leaves names as they are.
  using TUnmangler = bool (*)(String& name, String& className);
  static void SetUnmangler(TUnmangler unmangler);

 private:
  std::ptrdiff_t FindSegment(bool isCode, std::uintptr_t address) const;
  std::ptrdiff_t FindPublic(std::uintptr_t address) const;

  bool codeOnly_ = false;
  std::vector<TMfSegment> segments_;
  // The kind's last added segment, for merging; -1 when none.
  std::ptrdiff_t lastCode_ = -1, lastData_ = -1;
  bool segmentsSorted_ = true;
  std::vector<TMfPublic> publics_;
  std::vector<TMfLine> lines_;
  std::uintptr_t entryPoint_ = 0;
  std::uintptr_t dataStart_ = 0, dataEnd_ = 0;
  std::uintptr_t instance_ = 0;
  bool valid_ = false;
  std::uintptr_t codeStart_ = 0, codeEnd_ = 0;
  Cardinal secondCodeOffset_ = 0;
  String moduleFileName_;
  String mapFileName_;
  String identity_;
};

// ---------------------------------------------------------------------------
// Lookups by address
// ---------------------------------------------------------------------------

// The map of the module holding the address (nil: this library's own).
// Valid maps are cached per module file and rebuilt when the file's
// date-time changes; an invalid map is the caller's alone. Never null.
TMapFilePtr MapFileOfAddress(const void* address);

struct TMapInfo {
  String moduleFileName;
  String unitName;
  Integer line = 0;
  const void* publicAddress = nullptr;
  String publicName;
};
// Module, unit, line and public of an address (nil: the caller's own
// return address minus 1). False when no valid information exists.
bool LookupMapInfo(const void* address, TMapInfo& info);
// "Unit.Public" when the address is exactly a public's start; empty
// otherwise. A name holding "%" gets " (module.exe)" appended.
String ProcNameOfAddress(const void* address);
// Keeps line, from and to when address is nil or line is not 0 and
// from <= address < to; otherwise looks the line up (negative becomes 0)
// and sets from to address and to to the next line's address.
void LineOfAddress(const void* address, Integer& line, const void*& from,
                   const void*& to);

// ---------------------------------------------------------------------------
// The module seam (installed by the Windows module reader, or by tests)
// ---------------------------------------------------------------------------

struct TMapModuleSeam {
  // The module holding the address: its instance, file name and the DOS
  // date-time of the file's last write. False when there is none.
  bool (*moduleOfAddress)(const void* address, const void*& instance,
                          String& fileName, Cardinal& fileDate) = nullptr;
  // Fills a map (its layout and lists) from the module's sources.
  void (*load)(TMapFile& map) = nullptr;
};
// Installs the seam and empties the cache; returns the previous seam.
TMapModuleSeam SetMapModuleSeam(const TMapModuleSeam& seam);
// Frees every cached map.
void ClearMapFileCache();
