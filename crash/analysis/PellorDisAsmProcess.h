// The decoder's view of this process's own memory: reads that never fault,
// module images for the plausible code range, export names for symbols and
// comments, and hooks for the names and lines of the debug information.
#pragma once

#include <functional>

#include "PellorDisAsm.h"
#include "PellorTools.h"

class TDAProcessEnvironment : public TDAEnvironment {
 public:
  // snapshot (may be null) limits the reads to what it calls readable.
  explicit TDAProcessEnvironment(const TDATryRead* snapshot = nullptr)
      : snapshot_(snapshot) {}

  // Names and source lines from the debug information; without them only
  // export names are known.
  std::function<String(Cardinal address)> symbolLookup;
  std::function<Cardinal(Cardinal address, bool& startsLine)> lineLookup;

  Cardinal Read(Cardinal address, void* buffer, Cardinal count) const override;
  bool CodeRange(Cardinal entry, Cardinal& begin, Cardinal& end) const override;
  String SymbolName(Cardinal address) const override;
  bool IsNamedExport(Cardinal address) const override;
  String ForeignModuleName(Cardinal address) const override;
  Cardinal ImageEnd(Cardinal address) const override;
  Cardinal SourceLine(Cardinal address, bool& startsLine) const override;

 private:
  const TDATryRead* snapshot_;
};
