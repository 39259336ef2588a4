#include "PellorMapFile.h"

#include <algorithm>
#include <mutex>

#include "SysUtils.h"

namespace {

using Addr = std::uintptr_t;

Addr A(const void* p) { return reinterpret_cast<Addr>(p); }
const void* P(Addr a) { return reinterpret_cast<const void*>(a); }

TMapFile::TUnmangler gUnmangler = nullptr;

TMapModuleSeam CurrentSeam();

// Code before data, then by start, equal starts the longer first.
bool SegmentBefore(const TMfSegment& a, const TMfSegment& b) {
  if (a.isCode != b.isCode) return a.isCode;
  if (a.start != b.start) return A(a.start) < A(b.start);
  return a.size > b.size;
}

Addr SegmentEnd(const TMfSegment& s) { return A(s.start) + s.size; }

// ".pas" or ".dpr" at the end, in any case.
void StripSourceExtension(String& unit) {
  if (unit.size() < 4 || unit[unit.size() - 4] != '.') return;
  const String ext = LowerStr(unit.substr(unit.size() - 3));
  if (ext == "pas" || ext == "dpr") unit.resize(unit.size() - 4);
}

}  // namespace

TMapFile::TMapFile(bool load, bool codeOnly, const void* instance,
                   const String& moduleFileName)
    : codeOnly_(codeOnly),
      instance_(A(instance)),
      moduleFileName_(moduleFileName),
      mapFileName_(moduleFileName) {
  if (!load) return;
  const TMapModuleSeam seam = CurrentSeam();
  if (!seam.load) return;
  try {
    seam.load(*this);
    SortLines();
  } catch (...) {
    ClearLists();
    valid_ = false;
  }
}

void TMapFile::SetUnmangler(TUnmangler unmangler) { gUnmangler = unmangler; }

void TMapFile::SetLayout(Addr instance, Addr codeStart, Addr codeEnd,
                         Addr dataStart, Addr dataEnd,
                         Cardinal secondCodeOffset) {
  instance_ = instance;
  codeStart_ = codeStart;
  codeEnd_ = codeEnd;
  dataStart_ = dataStart;
  dataEnd_ = dataEnd;
  secondCodeOffset_ = secondCodeOffset;
}

void TMapFile::ClearLists() {
  lastCode_ = lastData_ = -1;
  segmentsSorted_ = true;
  segments_.clear();
  publics_.clear();
  lines_.clear();
  entryPoint_ = 0;
}

void TMapFile::AddSegment(bool isCode, Addr start, Cardinal size, String unit,
                          unsigned options, bool linesOmitted) {
  if (codeOnly_ && !isCode) return;
  StripSourceExtension(unit);
  if (options & kRelative) start += isCode ? codeStart_ : dataStart_;
  if (options & kMerge) {
    // The kind's last added segment is the last of that kind in insertion
    // order; with sorted insertion that is not necessarily the list's end.
    const std::ptrdiff_t last = isCode ? lastCode_ : lastData_;
    if (last >= 0) {
      TMfSegment& s = segments_[last];
      if (s.unitName == unit && start >= A(s.start) &&
          start <= SegmentEnd(s) + 2) {
        const Addr end = std::max<Addr>(SegmentEnd(s), start + size);
        s.size = static_cast<Cardinal>(end - A(s.start));
        s.linesOmitted = s.linesOmitted || linesOmitted;
        return;
      }
    }
  }
  TMfSegment seg;
  seg.valid = true;
  seg.isCode = isCode;
  seg.start = P(start);
  seg.size = size;
  seg.unitName = std::move(unit);
  seg.linesOmitted = linesOmitted;
  std::ptrdiff_t at = static_cast<std::ptrdiff_t>(segments_.size());
  if (options & kSorted)
    while (at > 0 && SegmentBefore(seg, segments_[at - 1])) --at;
  else if (at > 0 && SegmentBefore(seg, segments_[at - 1]))
    segmentsSorted_ = false;
  segments_.insert(segments_.begin() + at, std::move(seg));
  if (lastCode_ >= at) ++lastCode_;
  if (lastData_ >= at) ++lastData_;
  (isCode ? lastCode_ : lastData_) = at;
}

void TMapFile::AddPublic(bool isCode, Addr address, String name,
                         unsigned options) {
  if (codeOnly_ && !isCode) return;
  if (name.empty()) return;
  // Compiler-generated helper symbols.
  if (name.size() >= 6 &&
      (name[0] == '@' || name[0] == '$' || name[0] == 'x') && name[4] == '$')
    return;
  String className;
  if (gUnmangler) gUnmangler(name, className);
  if (name.empty()) return;
  if (options & kRelative) address += isCode ? codeStart_ : dataStart_;
  if (options & kTd32) {
    // The kind's last segment is stretched to reach the public, never past
    // the next segment.
    const std::ptrdiff_t last = isCode ? lastCode_ : lastData_;
    if (last >= 0) {
      TMfSegment& s = segments_[last];
      if (address >= A(s.start) && address >= SegmentEnd(s)) {
        Addr end = address + 1;
        for (const TMfSegment& other : segments_)
          if (other.isCode == isCode && A(other.start) > A(s.start) &&
              A(other.start) < end)
            end = A(other.start);
        if (end > SegmentEnd(s))
          s.size = static_cast<Cardinal>(end - A(s.start));
      }
    }
  }
  const std::ptrdiff_t seg = FindSegment(isCode, address);
  if (seg >= 0) {
    const String& unit = segments_[seg].unitName;
    if (name == unit)
      name = "initialization";
    else if (!className.empty() && !SameTextFolded(className, unit))
      name = className + "." + name;
  } else if (options & kTd32) {
    AddSegment(isCode, address, 1, className, kMerge | kSorted);
  }
  TMfPublic pub;
  pub.valid = true;
  pub.isCode = isCode;
  pub.name = std::move(name);
  pub.address = P(address);
  publics_.push_back(std::move(pub));
}

void TMapFile::AddLine(Integer line, Addr address) {
  lines_.push_back(TMfLine{line, P(address)});
}

void TMapFile::SortSegments() {
  std::stable_sort(segments_.begin(), segments_.end(), SegmentBefore);
  lastCode_ = lastData_ = -1;
  segmentsSorted_ = true;
}

void TMapFile::SortPublics() {
  std::stable_sort(publics_.begin(), publics_.end(),
                   [](const TMfPublic& a, const TMfPublic& b) {
                     return A(a.address) < A(b.address);
                   });
}

void TMapFile::SortLines() {
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const TMfLine& a, const TMfLine& b) {
                     return A(a.address) < A(b.address);
                   });
}

// Walks neighbours of the sorted list: an empty entry, or one that starts
// where the next does, gives way to the next; otherwise an entry reaches to
// the next one's start of the same kind (in the strict form only when it
// already reaches or overlaps it), and neighbours of one unit become one.
void TMapFile::CompactSegments(bool strict) {
  std::vector<TMfSegment> out;
  out.reserve(segments_.size());
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    TMfSegment cur = segments_[i];
    if (cur.size == 0) continue;
    if (i + 1 < segments_.size()) {
      const TMfSegment& next = segments_[i + 1];
      if (next.isCode == cur.isCode) {
        if (A(cur.start) == A(next.start) && next.size != 0) continue;
        if (!strict || SegmentEnd(cur) >= A(next.start))
          cur.size = static_cast<Cardinal>(A(next.start) - A(cur.start));
      }
    }
    if (!out.empty() && out.back().isCode == cur.isCode &&
        SameTextFolded(out.back().unitName, cur.unitName)) {
      TMfSegment& prev = out.back();
      const Addr end = std::max(SegmentEnd(prev), SegmentEnd(cur));
      prev.size = static_cast<Cardinal>(end - A(prev.start));
      prev.linesOmitted = prev.linesOmitted || cur.linesOmitted;
      continue;
    }
    out.push_back(std::move(cur));
  }
  segments_ = std::move(out);
  lastCode_ = lastData_ = -1;
  segmentsSorted_ = true;
}

void TMapFile::StretchLastCodeSegment(Addr end) {
  for (std::size_t i = segments_.size(); i-- > 0;)
    if (segments_[i].isCode) {
      if (end > A(segments_[i].start))
        segments_[i].size = static_cast<Cardinal>(end - A(segments_[i].start));
      return;
    }
}

std::ptrdiff_t TMapFile::FindSegment(bool isCode, Addr address) const {
  if (segmentsSorted_) {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), address,
                               [isCode](Addr a, const TMfSegment& s) {
                                 if (isCode != s.isCode) return isCode;
                                 return a < A(s.start);
                               });
    // Compacted lists do not overlap, so the nearest start decides; a few
    // more steps cover the overlaps of a list still being built.
    for (int steps = 0; steps < 16 && it != segments_.begin(); ++steps) {
      --it;
      if (it->isCode != isCode) break;
      if (address >= A(it->start) && address < SegmentEnd(*it))
        return it - segments_.begin();
    }
    return -1;
  }
  std::ptrdiff_t found = -1;
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const TMfSegment& s = segments_[i];
    if (s.isCode == isCode && address >= A(s.start) && address < SegmentEnd(s))
      found = static_cast<std::ptrdiff_t>(i);
  }
  return found;
}

std::ptrdiff_t TMapFile::FindPublic(Addr address) const {
  auto it = std::upper_bound(
      publics_.begin(), publics_.end(), address,
      [](Addr a, const TMfPublic& p) { return a < A(p.address); });
  if (it == publics_.begin()) return -1;
  return (it - publics_.begin()) - 1;
}

TMfPublic TMapFile::PublicOfAddress(const void* address) const {
  const std::ptrdiff_t i = FindPublic(A(address));
  if (i < 0) return TMfPublic();
  if (static_cast<std::size_t>(i) + 1 == publics_.size() && codeEnd_ != 0 &&
      A(address) >= codeEnd_ && A(publics_[i].address) < codeEnd_)
    return TMfPublic();
  return publics_[i];
}

TMfSegment TMapFile::SegmentOfAddress(bool isCode, const void* address) const {
  const std::ptrdiff_t i = FindSegment(isCode, A(address));
  return i < 0 ? TMfSegment() : segments_[i];
}

const void* TMapFile::AddressOfPublic(bool isCode, const String& unit,
                                      bool caseSensitive,
                                      const String& name) const {
  auto search = [&](const String& u) -> const void* {
    for (const TMfSegment& s : segments_) {
      if (s.isCode != isCode || !SameTextFolded(s.unitName, u)) continue;
      auto it = std::lower_bound(
          publics_.begin(), publics_.end(), A(s.start),
          [](const TMfPublic& p, Addr a) { return A(p.address) < a; });
      for (; it != publics_.end() && A(it->address) < SegmentEnd(s); ++it) {
        if (it->isCode != isCode) continue;
        if (caseSensitive ? it->name == name : SameTextFolded(it->name, name))
          return it->address;
      }
    }
    return nullptr;
  };
  if (const void* found = search(unit)) return found;
  if (unit.find('.') == String::npos)
    for (const char* ext : {".cpp", ".h", ".c"})
      if (const void* found = search(unit + ext)) return found;
  return nullptr;
}

Integer TMapFile::LineNumberOf(const void* address, const void*& next) const {
  const Addr addr = A(address);
  next = P(addr + 1);
  // The code segment holding the address, its end inclusive.
  const TMfSegment* seg = nullptr;
  const std::ptrdiff_t si = FindSegment(true, addr);
  if (si >= 0) {
    seg = &segments_[si];
  } else {
    const std::ptrdiff_t before = FindSegment(true, addr - 1);
    if (before >= 0 && SegmentEnd(segments_[before]) == addr)
      seg = &segments_[before];
  }
  if (!seg) return 0;
  if (seg->linesOmitted) return -1;
  auto it = std::upper_bound(
      lines_.begin(), lines_.end(), addr,
      [](Addr a, const TMfLine& l) { return a < A(l.address); });
  if (it == lines_.begin()) return 0;
  const TMfLine& line = *(it - 1);
  if (A(line.address) < A(seg->start) || A(line.address) > SegmentEnd(*seg))
    return 0;
  if (it != lines_.end()) next = it->address;
  return line.line;
}

// ---------------------------------------------------------------------------
// The cache and the lookups by address
// ---------------------------------------------------------------------------

namespace {

struct TCachedMap {
  Cardinal fileDate;
  std::shared_ptr<TMapFile> map;
};

std::mutex gCacheLock;
std::vector<TCachedMap> gCache;
TMapModuleSeam gSeam;

// An address inside this library, for "nil means our own module".
void OwnCodeMarker() {}

TMapModuleSeam CurrentSeam() {
  std::lock_guard<std::mutex> lock(gCacheLock);
  return gSeam;
}

}  // namespace

TMapModuleSeam SetMapModuleSeam(const TMapModuleSeam& seam) {
  std::lock_guard<std::mutex> lock(gCacheLock);
  TMapModuleSeam previous = gSeam;
  gSeam = seam;
  gCache.clear();
  return previous;
}

void ClearMapFileCache() {
  std::lock_guard<std::mutex> lock(gCacheLock);
  gCache.clear();
}

TMapFilePtr MapFileOfAddress(const void* address) {
  try {
    if (!address) address = reinterpret_cast<const void*>(&OwnCodeMarker);
    const TMapModuleSeam seam = CurrentSeam();
    const void* instance = nullptr;
    String fileName;
    Cardinal fileDate = 0;
    if (!seam.moduleOfAddress ||
        !seam.moduleOfAddress(address, instance, fileName, fileDate) ||
        fileName.empty())
      return std::make_shared<TMapFile>(false, true, nullptr, String());
    {
      std::lock_guard<std::mutex> lock(gCacheLock);
      for (auto it = gCache.begin(); it != gCache.end(); ++it) {
        if (!SameTextFolded(it->map->ModuleFileName(), fileName)) continue;
        if (it->fileDate == fileDate) return it->map;
        gCache.erase(it);  // the file was rewritten
        break;
      }
    }
    auto map = std::make_shared<TMapFile>(true, true, instance, fileName);
    if (map->Valid()) {
      std::lock_guard<std::mutex> lock(gCacheLock);
      gCache.push_back({fileDate, map});
    }
    return map;
  } catch (...) {
    return std::make_shared<TMapFile>(false, true, nullptr, String());
  }
}

namespace {

bool LookupAt(const void* address, TMapInfo& info) {
  try {
    TMapFilePtr map = MapFileOfAddress(address);
    if (!map->Valid()) return false;
    info.moduleFileName = map->ModuleFileName();
    info.unitName = map->SegmentOfAddress(true, address).unitName;
    const void* next = nullptr;
    info.line = std::max<Integer>(0, map->LineNumberOf(address, next));
    const TMfPublic pub = map->PublicOfAddress(address);
    info.publicAddress = pub.valid ? pub.address : nullptr;
    info.publicName = pub.valid ? pub.name : String();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool LookupMapInfo(const void* address, TMapInfo& info) {
  if (!address) address = P(A(__builtin_return_address(0)) - 1);
  return LookupAt(address, info);
}

String ProcNameOfAddress(const void* address) {
  try {
    TMapFilePtr map = MapFileOfAddress(address);
    if (!map->Valid()) return String();
    const TMfPublic pub = map->PublicOfAddress(address);
    if (!pub.valid || pub.address != address) return String();
    const String unit = map->SegmentOfAddress(true, address).unitName;
    String text = unit.empty() ? pub.name : unit + "." + pub.name;
    if (text.find('%') != String::npos)
      text += " (" + ExtractFileName(map->ModuleFileName()) + ")";
    return text;
  } catch (...) {
    return String();
  }
}

void LineOfAddress(const void* address, Integer& line, const void*& from,
                   const void*& to) {
  if (!address) return;
  if (line != 0 && A(from) <= A(address) && A(address) < A(to)) return;
  try {
    TMapFilePtr map = MapFileOfAddress(address);
    const void* next = P(A(address) + 1);
    line = map->Valid() ? std::max<Integer>(0, map->LineNumberOf(address, next))
                        : 0;
    from = address;
    to = next;
  } catch (...) {
    line = 0;
    from = address;
    to = P(A(address) + 1);
  }
}

static void MapFileShutdown() { ClearMapFileCache(); }

VARNEL_UNIT(PellorMapFile, ({}), nullptr, &MapFileShutdown);
