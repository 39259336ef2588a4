#include "PellorStackTrace.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "PellorDisAsmProcess.h"
#include "PellorMapFile.h"
#include "PellorZip.h"

namespace {

const void* Ptr(Cardinal address) {
  return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address));
}

String Hex8(Cardinal v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(v));
  return buffer;
}

String HexOf(Cardinal v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(v));
  return buffer;
}

// Whether every byte of [start, start + length) is readable: the snapshot's
// own test looks at the first byte only.
bool RangeReadable(const TDATryRead& snapshot, Cardinal start,
                   Cardinal length) {
  if (length == 0) return false;
  const UInt64 end = UInt64(start) + length;
  UInt64 at = start;
  while (at < end) {
    if (!SafeReadAllowed(snapshot, Ptr(static_cast<Cardinal>(at)), 1))
      return false;
    auto it = std::upper_bound(snapshot.begin(), snapshot.end(),
                               Ptr(static_cast<Cardinal>(at)),
                               [](const void* a, const TDATryRegion& r) {
                                 return std::less<const void*>()(a, r.start);
                               });
    --it;  // exists: the address was allowed
    const UInt64 regionEnd = reinterpret_cast<std::uintptr_t>(it->end);
    if (regionEnd <= at) return false;
    at = regionEnd;
  }
  return true;
}

Cardinal Addr(const void* p) {
  return static_cast<Cardinal>(reinterpret_cast<std::uintptr_t>(p));
}

Cardinal ProgramBase() { return Addr(GetModuleHandleA(nullptr)); }

String FileNameOnly(const String& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == String::npos ? path : path.substr(slash + 1);
}

// ---------------------------------------------------------------------------
// Caches (they live until the program ends; one walk at a time)
// ---------------------------------------------------------------------------

struct TModuleEntry {
  Cardinal base = 0;
  String name;
  Cardinal codeStart = 0, codeEnd = 0, dataStart = 0, dataEnd = 0;
  TMapFilePtr map;  // null without valid debug information
};

struct TFunctionEntry {
  Integer module = -1;
  String name;
  TFunctionInfo info;
  bool pseudo = false;  // analysis failed: a function of length 0
  bool approved = false;
  bool rejected = false;
};

std::vector<TModuleEntry>& Modules() {
  static std::vector<TModuleEntry> modules;
  return modules;
}
std::vector<TFunctionEntry>& Functions() {
  static std::vector<TFunctionEntry> functions;
  return functions;
}
std::map<Cardinal, Integer>& FunctionIndex() {
  static std::map<Cardinal, Integer> index;
  return index;
}

// The module entry of the image at base; -1 when base is no PE image.
Integer ModuleIndexOf(Cardinal base) {
  auto& modules = Modules();
  for (std::size_t i = 0; i < modules.size(); ++i)
    if (modules[i].base == base) return static_cast<Integer>(i);
  PIMAGE_NT_HEADERS nt = ImageNtHeaders(Ptr(base));
  if (!nt || nt->OptionalHeader.Magic == 0x20B) return -1;
  TModuleEntry entry;
  entry.base = base;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(
      reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(base)), path,
      MAX_PATH);
  entry.name = FileNameOnly(path);
  const IMAGE_OPTIONAL_HEADER32& opt = nt->OptionalHeader;
  const auto* section = IMAGE_FIRST_SECTION(nt);
  const Cardinal sections = nt->FileHeader.NumberOfSections;
  auto isCode = [](const IMAGE_SECTION_HEADER& s) {
    return (s.Characteristics & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE)) !=
           0;
  };
  if (sections > 0 && isCode(section[0])) {
    entry.codeStart = base + section[0].VirtualAddress;
    entry.codeEnd = entry.codeStart + section[0].Misc.VirtualSize;
    if (sections > 1 && isCode(section[1]))
      entry.codeEnd =
          base + section[1].VirtualAddress + section[1].Misc.VirtualSize;
  } else {
    entry.codeStart = base + opt.BaseOfCode;
    entry.codeEnd = entry.codeStart + opt.SizeOfCode;
  }
  entry.dataStart = base + opt.BaseOfData;
  entry.dataEnd =
      entry.dataStart + opt.SizeOfInitializedData + opt.SizeOfUninitializedData;
  TMapFilePtr map = MapFileOfAddress(Ptr(entry.codeStart));
  if (map && map->Valid() &&
      reinterpret_cast<std::uintptr_t>(map->Instance()) == base)
    entry.map = map;
  modules.push_back(std::move(entry));
  return static_cast<Integer>(modules.size() - 1);
}

// Analyses (once) the function at entry.
Integer AnalyzeWalkFunction(const TDAEnvironment& env,
                            const TDARuntimeHelpers& helpers, Cardinal entry,
                            Integer module, const String& name, bool approve) {
  auto& functions = Functions();
  auto& index = FunctionIndex();
  auto found = index.find(entry);
  Integer at;
  if (found != index.end()) {
    at = found->second;
  } else {
    TFunctionEntry f;
    f.module = module;
    f.name = name;
    if (!AnalyzeFunctionEx(env, entry, f.info, helpers)) {
      f.pseudo = true;
      f.info = TFunctionInfo();
      f.info.entry = entry;
      f.info.lowestAddress = entry;
    }
    if (f.name.empty()) {
      TMapFilePtr map = MapFileOfAddress(Ptr(entry));
      TMfPublic pub;
      if (map && map->Valid()) pub = map->PublicOfAddress(Ptr(entry));
      f.name = pub.valid ? pub.name : env.SymbolName(entry);
    }
    TOS os;
    QueryOsVersion(os);
    if (os.is9x) {
      // The dispatch may reach the program's code through its import stub.
      static const Cardinal dispatch = Addr(reinterpret_cast<const void*>(
          GetProcAddress(GetModuleHandleA("user32.dll"), "DispatchMessageA")));
      std::vector<Cardinal> targets{dispatch};
      for (const TDAExternalCall& call : f.info.externalCalls) {
        TDAInstruction stub;
        if (call.isCall && call.target && call.target != dispatch &&
            DecodeInstruction(env, call.target, stub) && stub.valid &&
            stub.isJump && stub.target == dispatch)
          targets.push_back(call.target);
      }
      pellor_detail::AddDispatchBranches(f.info, true, targets);
    }
    functions.push_back(std::move(f));
    at = static_cast<Integer>(functions.size() - 1);
    index[entry] = at;
  }
  if (approve && !functions[at].approved) {
    functions[at].approved = true;
    // Tail jumps continue the function elsewhere: those parts are as
    // trustworthy as the function itself.
    std::vector<Cardinal> jumps;
    for (const TDAExternalCall& call : functions[at].info.externalCalls)
      if (!call.isCall && call.target) jumps.push_back(call.target);
    for (Cardinal target : jumps)
      AnalyzeWalkFunction(env, helpers, target, -1, String(), true);
  }
  return at;
}

bool FunctionContains(const TFunctionEntry& f, Cardinal address) {
  if (f.pseudo) return address == f.info.entry;
  // Every area lies within the span: most functions are ruled out at once.
  if (f.info.valid && (address < f.info.lowestAddress ||
                       address - f.info.lowestAddress >= f.info.spanLength))
    return false;
  for (const TDACodeArea& area : f.info.areas)
    if (area.begin <= address && address <= area.end) return true;
  return false;
}

struct TCallSite {
  Cardinal codeAddress = 0;
  bool hasTarget = false;
  Cardinal target = 0;
};

// Finds the call in f that returns to r.
bool FindCallSite(const TFunctionEntry& f, Cardinal r, TCallSite& site) {
  if (f.rejected || f.pseudo) return false;
  for (const TDABranch& branch : f.info.unresolvedBranches)
    if (branch.isCall && branch.next == r) {
      site = {branch.address, false, 0};
      return true;
    }
  for (const TDAExternalCall& call : f.info.externalCalls)
    if (call.isCall && call.next == r) {
      site = {call.address, call.target != 0, call.target};
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------
// Candidates
// ---------------------------------------------------------------------------

struct TLink {
  Integer other = -1;
  Cardinal codeAddress = 0;
  bool hasTarget = false;
  Cardinal target = 0;
  Integer function = -1;
};

struct TCandidate {
  Cardinal returnAddress = 0;
  bool kept = false;
  bool isTop = false;
  bool creator = false;
  Integer module = -1;
  std::vector<TLink> callees;  // newer candidates this one's call reached
  std::vector<TLink> callers;  // older candidates (or none) calling into it
  bool invalid = false;
  Cardinal codeAddress = 0;
  Integer function = -1;  // the function holding the call site
  bool followedUntargeted = false;
};

class TWalker {
 public:
  TWalker(const TTraceStackRequest& request, Cardinal top, Cardinal bottom,
          Cardinal current)
      : rq_(request),
        top_(top),
        bottom_(bottom),
        current_(current),
        snapshot_(SafeReadSnapshot()),
        env_(&snapshot_),
        helpers_(OwnRuntimeHelpers(env_)) {}

  bool StackReadable() const {
    return top_ > bottom_ && RangeReadable(snapshot_, bottom_, top_ - bottom_);
  }

  void Collect();
  void FoldRecursion();
  void DeepChecks();
  void Chains();
  void Compose(TTraceStackResult& result, TStackTrace* items);

 private:
  void Progress(Integer perMille) {
    if (rq_.progress) rq_.progress->SetProgress(perMille);
  }
  bool Aborted() const { return rq_.abortFlag && *rq_.abortFlag; }
  bool ReadDword(Cardinal address, Cardinal& value) const {
    return SafeRead(Ptr(address), &value, 4, &snapshot_);
  }
  std::vector<Cardinal> Anchors() const;
  bool AddCandidate(Cardinal value, bool forcedTop, bool anchor, bool preKept);
  void Follow(Integer i, Cardinal target, bool hasTarget, bool approve);
  Integer ApprovedCallerLink(const TCandidate& cand) const;
  Integer FindInPieces(Integer function, const TMfPublic& pub, Integer module,
                       Cardinal value, TCallSite& site);
  void Reject(Integer function);
  Integer Valid(Integer from, Integer step) const;
  using TChainTable = std::vector<std::vector<pellor_detail::TChainLink>>;
  void ResolveRange(Integer lo, Integer hi, const TChainTable& up,
                    const TChainTable& down);
  unsigned LineBonus(const TCandidate& from, const TCandidate& to) const;
  TChainTable ChainLinks(bool upward) const;

  const TTraceStackRequest& rq_;
  Cardinal top_, bottom_, current_;
  TDATryRead snapshot_;
  TDAProcessEnvironment env_;
  TDARuntimeHelpers helpers_;
  std::vector<TCandidate> c_;  // oldest first
  bool topFound_ = false;
};

std::vector<Cardinal> TWalker::Anchors() const {
  std::vector<Cardinal> anchors;
  Cardinal fp = rq_.framePointer;
  while (fp >= bottom_ && fp + 8 <= top_ && fp % 4 == 0) {
    anchors.push_back(fp + 4);
    Cardinal next = 0;
    if (!ReadDword(fp, next) || next <= fp) break;
    fp = next;
  }
  return anchors;
}

bool TWalker::AddCandidate(Cardinal value, bool forcedTop, bool anchor,
                           bool preKept) {
  const bool first = c_.empty();
  const bool creatorSlot = first && rq_.creatorAddress != 0;
  const bool top =
      forcedTop || (rq_.isException && value == current_ && current_ != 0);
  if (value <= 7) return false;
  MEMORY_BASIC_INFORMATION mbi = {};
  const bool mapped = VirtualQuery(Ptr(value - 1), &mbi, sizeof mbi) &&
                      mbi.State == MEM_COMMIT && mbi.AllocationBase;
  // A jump to a bad address is itself the fault: its top item stays.
  if (!mapped && !top) return false;
  if (!top && !creatorSlot && !CouldFollowCall(value, &snapshot_)) return false;

  TCandidate cand;
  cand.returnAddress = value;
  Cardinal search = value - 1;
  if (top) {
    TDAInstruction instr;
    if (DecodeInstruction(env_, value, instr) && instr.valid)
      cand.returnAddress = instr.next;
    search = value;
  }
  const auto base = static_cast<Cardinal>(
      reinterpret_cast<std::uintptr_t>(mbi.AllocationBase));
  cand.module = mapped && mbi.Type == MEM_IMAGE ? ModuleIndexOf(base) : -1;
  bool found = false;
  if (cand.module >= 0) {
    const TModuleEntry& m = Modules()[cand.module];
    const bool inCode = m.codeStart <= search && search < m.codeEnd;
    const bool inData = m.dataStart <= search && search < m.dataEnd;
    if (!inCode && !inData && !top && !creatorSlot) return false;
    Integer fi = -1;
    TMfPublic pub;
    if (inCode && m.map) {
      pub = m.map->PublicOfAddress(Ptr(search));
      if (pub.valid && pub.isCode)
        fi = AnalyzeWalkFunction(env_, helpers_, Addr(pub.address), cand.module,
                                 pub.name, true);
    } else if (inCode && m.base != ProgramBase()) {
      // No debug information: the nearest export below, or the entry
      // point, is the best guess at the function around the value.
      Cardinal entry = Addr(ImageNearestExport(Ptr(m.base), Ptr(search)));
      PIMAGE_NT_HEADERS nt = ImageNtHeaders(Ptr(m.base));
      const Cardinal start =
          nt ? m.base + nt->OptionalHeader.AddressOfEntryPoint : 0;
      if (start > m.base && start <= search && start > entry) entry = start;
      if (entry) {
        fi = AnalyzeWalkFunction(
            env_, helpers_, entry, cand.module,
            ImageExportNameOf(Ptr(m.base), Ptr(entry), true), false);
        if (!FunctionContains(Functions()[fi], search)) fi = -1;
      }
    }
    TCallSite site;
    if (fi >= 0 && top) {
      found =
          FunctionContains(Functions()[fi], value) || Functions()[fi].pseudo;
      site.codeAddress = value;
    } else if (fi >= 0) {
      found = FindCallSite(Functions()[fi], value, site);
      if (!found && pub.valid) {
        const Integer piece = FindInPieces(fi, pub, cand.module, value, site);
        found = piece >= 0;
        if (found) fi = piece;
      }
    }
    if (found) {
      cand.function = fi;
      cand.codeAddress = site.codeAddress;
      cand.callers.push_back(
          {-1, site.codeAddress, site.hasTarget, site.target, fi});
    }
  }
  if (!found && top) cand.codeAddress = value;
  if (!found && rq_.externalException && top) {
    Byte probe;
    if (!SafeRead(Ptr(value), &probe, 1, &snapshot_)) found = true;
  }
  if (!(top || creatorSlot || found || anchor || preKept)) return false;
  if (!cand.codeAddress) cand.codeAddress = value;
  cand.kept = top || anchor || preKept || creatorSlot;
  cand.isTop = top && !creatorSlot;
  cand.creator = creatorSlot;
  if (cand.isTop) topFound_ = true;
  c_.push_back(std::move(cand));
  return true;
}

// Code of a public that its analysis reached only by jumping out of it is
// analysed as a piece of its own, named after the public and the piece's
// offset; the function holding the call, or -1.
Integer TWalker::FindInPieces(Integer function, const TMfPublic& pub,
                              Integer module, Cardinal value, TCallSite& site) {
  const Cardinal entry = Addr(pub.address);
  std::vector<Cardinal> jumps;
  for (const TDAExternalCall& call : Functions()[function].info.externalCalls)
    if (!call.isCall && call.target > entry) jumps.push_back(call.target);
  for (Cardinal target : jumps) {
    TMfPublic owner = Modules()[module].map->PublicOfAddress(Ptr(target));
    if (!owner.valid || Addr(owner.address) != entry) continue;
    const Integer piece =
        AnalyzeWalkFunction(env_, helpers_, target, module,
                            pub.name + ".@" + HexOf(target - entry), true);
    if (FindCallSite(Functions()[piece], value, site)) return piece;
  }
  return -1;
}

void TWalker::Collect() {
  std::vector<Cardinal> anchors = Anchors();
  std::sort(anchors.begin(), anchors.end());
  auto isAnchor = [&](Cardinal slot) {
    return std::binary_search(anchors.begin(), anchors.end(), slot);
  };
  if (rq_.creatorAddress) AddCandidate(rq_.creatorAddress, false, false, true);
  if (rq_.preCollected) {
    const auto& pre = *rq_.preCollected;
    for (std::size_t i = 0; i < pre.size() && !Aborted(); ++i) {
      Progress(static_cast<Integer>(i * 25 / pre.size()));
      AddCandidate(pre[i].address, false, false, pre[i].kept != 0);
      if (topFound_) break;
    }
  } else {
    const Cardinal span = top_ - bottom_;
    for (Cardinal slot = top_ - 4; slot >= bottom_ && !Aborted(); slot -= 4) {
      Progress(static_cast<Integer>(UInt64(top_ - slot) * 25 / span));
      Cardinal value = 0;
      if (ReadDword(slot, value)) {
        const bool anchor = isAnchor(slot);
        const bool added = AddCandidate(value, false, anchor, false);
        if (topFound_) break;
        if (added && c_.back().kept) slot -= 4;  // the saved frame pointer
      }
      if (slot < bottom_ + 4) break;
    }
  }
  if (!rq_.omitTopItem && !topFound_ && current_)
    AddCandidate(current_, true, false, false);
}

Integer TWalker::Valid(Integer from, Integer step) const {
  for (Integer i = from; i >= 0 && i < static_cast<Integer>(c_.size());
       i += step)
    if (!c_[i].invalid) return i;
  return -1;
}

void TWalker::FoldRecursion() {
  bool changed = true;
  while (changed) {
    changed = false;
    for (Integer n = Valid(static_cast<Integer>(c_.size()) - 1, -1); n >= 0;
         n = Valid(n - 1, -1)) {
      Integer o = Valid(n - 1, -1);
      std::vector<Integer> between;
      while (o >= 0 && c_[o].returnAddress != c_[n].returnAddress) {
        between.push_back(o);
        o = Valid(o - 1, -1);
      }
      if (o < 0) continue;
      // The j valid candidates newer than each occurrence.
      const std::size_t j = between.size();
      std::vector<Integer> afterOlder, afterNewer;
      for (Integer k = Valid(o + 1, 1); k >= 0 && afterOlder.size() < j;
           k = Valid(k + 1, 1))
        afterOlder.push_back(k);
      for (Integer k = Valid(n + 1, 1); k >= 0 && afterNewer.size() < j;
           k = Valid(k + 1, 1))
        afterNewer.push_back(k);
      if (afterNewer.size() < j) continue;
      bool same = true;
      for (std::size_t k = 0; k < j && same; ++k)
        same =
            c_[afterOlder[k]].returnAddress == c_[afterNewer[k]].returnAddress;
      if (!same) continue;
      afterNewer.push_back(n);
      for (Integer k : afterNewer) {
        c_[k].kept = false;
        c_[k].invalid = true;
        c_[k].callees.clear();
      }
      changed = true;
      break;
    }
  }
  // Links into folded candidates went with them.
  for (TCandidate& cand : c_)
    std::erase_if(cand.callees, [&](const TLink& l) {
      return l.other >= 0 && c_[l.other].invalid;
    });
}

void TWalker::Follow(Integer i, Cardinal target, bool hasTarget, bool approve) {
  Integer fi = -1;
  if (hasTarget) {
    fi = AnalyzeWalkFunction(env_, helpers_, target, -1, String(), approve);
    // A stub that only jumps on: the function it leads to is the callee.
    const TFunctionInfo& info = Functions()[fi].info;
    if (info.externalCalls.size() == 1 && !info.externalCalls[0].isCall &&
        info.externalCalls[0].target)
      fi = AnalyzeWalkFunction(env_, helpers_, info.externalCalls[0].target, -1,
                               String(), approve);
    if (Functions()[fi].rejected) return;
  } else {
    // Any newer candidate fits a call without target: once is enough.
    if (c_[i].followedUntargeted) return;
    c_[i].followedUntargeted = true;
  }
  for (Integer k = i + 1; k < static_cast<Integer>(c_.size()); ++k) {
    TCandidate& newer = c_[k];
    if (newer.invalid) continue;
    TCallSite site{newer.codeAddress, false, 0};
    bool fits = fi < 0;
    if (!fits) {
      const TFunctionEntry& f = Functions()[fi];
      fits = newer.isTop ? FunctionContains(f, newer.codeAddress)
                         : FindCallSite(f, newer.returnAddress, site);
    }
    if (fits && !approve && ApprovedCallerLink(newer) >= 0 &&
        newer.callers[ApprovedCallerLink(newer)].codeAddress !=
            site.codeAddress)
      fits = false;
    if (fits) {
      // The caller link tells where newer's own call is and what it calls;
      // the callee link where i's call is.
      newer.callers.push_back(
          {i, site.codeAddress, site.hasTarget, site.target, fi});
      c_[i].callees.push_back({k, c_[i].codeAddress, hasTarget, target, fi});
    }
    if (newer.kept) break;
  }
}

Integer TWalker::ApprovedCallerLink(const TCandidate& cand) const {
  for (std::size_t l = 0; l < cand.callers.size(); ++l) {
    const Integer f = cand.callers[l].function;
    if (f >= 0 && Functions()[f].approved && !Functions()[f].rejected)
      return static_cast<Integer>(l);
  }
  return -1;
}

// A function that claims a call where a trusted one has another is wrong
// about its code: nothing it says is used any more.
void TWalker::Reject(Integer function) {
  Functions()[function].rejected = true;
  for (TCandidate& cand : c_) {
    auto byIt = [&](const TLink& l) { return l.function == function; };
    std::erase_if(cand.callers, byIt);
    std::erase_if(cand.callees, byIt);
    if (cand.function == function) cand.function = -1;
  }
}

void TWalker::DeepChecks() {
  const Integer first = rq_.creatorAddress ? 1 : 0;
  const auto count = static_cast<Integer>(c_.size());
  for (Integer i = first; i < count && !Aborted(); ++i) {
    Progress(25 + i * 625 / std::max<Integer>(count, 1));
    TCandidate& cand = c_[i];
    if (cand.invalid || cand.isTop) continue;
    Integer at = ApprovedCallerLink(cand);
    if (at < 0) {
      // A trusted function around the return address must hold the call.
      const auto& functions = Functions();
      for (std::size_t f = 0; f < functions.size(); ++f) {
        if (!functions[f].approved || functions[f].rejected ||
            !FunctionContains(functions[f], cand.returnAddress))
          continue;
        TCallSite site;
        if (!FindCallSite(functions[f], cand.returnAddress, site)) {
          // An anchor stays whatever the code around it says.
          if (cand.kept) continue;
          cand.invalid = true;
          break;
        }
        cand.callers.push_back({-1, site.codeAddress, site.hasTarget,
                                site.target, static_cast<Integer>(f)});
        at = static_cast<Integer>(cand.callers.size() - 1);
        break;
      }
      if (cand.invalid) continue;
    }
    if (at >= 0) {
      const TLink link = cand.callers[at];
      std::vector<Integer> conflicting;
      for (const TLink& l : cand.callers)
        if (l.function >= 0 && l.function != link.function &&
            l.codeAddress != link.codeAddress)
          conflicting.push_back(l.function);
      for (Integer f : conflicting) Reject(f);
      cand.function = link.function;
      cand.codeAddress = link.codeAddress;
      Follow(i, link.target, link.hasTarget, true);
      continue;
    }
    // No function known: any call instruction that ends at the return
    // address may have been the one.
    MEMORY_BASIC_INFORMATION mbi;
    Cardinal low = cand.returnAddress - 7;
    if (VirtualQuery(Ptr(cand.returnAddress - 1), &mbi, sizeof mbi)) {
      const auto alloc = static_cast<Cardinal>(
          reinterpret_cast<std::uintptr_t>(mbi.AllocationBase));
      low = std::max(low, alloc);
    }
    bool firstCall = true;
    for (Cardinal pos = low; pos < cand.returnAddress; ++pos) {
      TDAInstruction instr;
      if (DecodeInstruction(env_, pos, instr) && instr.valid && instr.isCall &&
          instr.next == cand.returnAddress) {
        if (firstCall) cand.codeAddress = pos;
        firstCall = false;
        Follow(i, instr.target, instr.target != 0, false);
      }
    }
  }
}

// What the debug information adds to a link's weight: 3 when the owner's
// module has a map, 3 more for a line at the owner's call, 3 more for a
// line at the other candidate's call.
unsigned TWalker::LineBonus(const TCandidate& from,
                            const TCandidate& to) const {
  if (from.module < 0 || to.module < 0 || !Modules()[from.module].map) return 0;
  const void* next;
  unsigned bonus = 3;
  if (Modules()[from.module].map->LineNumberOf(Ptr(from.returnAddress - 1),
                                               next) > 0)
    bonus += 3;
  if (Modules()[to.module].map && Modules()[to.module].map->LineNumberOf(
                                      Ptr(to.returnAddress - 1), next) > 0)
    bonus += 3;
  return bonus;
}

TWalker::TChainTable TWalker::ChainLinks(bool upward) const {
  TChainTable links(c_.size());
  for (std::size_t i = 0; i < c_.size(); ++i)
    for (const TLink& l : upward ? c_[i].callees : c_[i].callers) {
      if (l.other < 0) continue;
      pellor_detail::TChainLink link;
      link.other = l.other;
      link.hasFunction = l.function >= 0;
      link.approved = l.function >= 0 && Functions()[l.function].approved;
      link.lineBonus = LineBonus(c_[i], c_[l.other]);
      links[i].push_back(link);
    }
  return links;
}

// Keeps between the anchors lo (older) and hi (newer) only the candidates
// of the best-scored chain of links; lo < 0 stands for everything older
// than hi, where the chain runs down as far as its links reach.
void TWalker::ResolveRange(Integer lo, Integer hi, const TChainTable& up,
                           const TChainTable& down) {
  for (Integer k = std::max<Integer>(lo + 1, 0); k < hi; ++k)
    if (!c_[k].creator) c_[k].invalid = true;
  pellor_detail::TChainChoice best;
  if (lo >= 0) {
    best = pellor_detail::ChooseLinkChain(up, lo, hi);
    if (best.reachesGoal) {
      for (Integer k : best.path) c_[k].invalid = false;
      return;
    }
  }
  pellor_detail::TChainChoice downward =
      pellor_detail::ChooseLinkChain(down, hi, lo);
  if (lo < 0 || downward.score > best.score) best = std::move(downward);
  for (Integer k : best.path) c_[k].invalid = false;
}

void TWalker::Chains() {
  Progress(650);
  std::vector<Integer> anchors;
  for (Integer i = static_cast<Integer>(c_.size()) - 1; i >= 0; --i)
    if (c_[i].kept && !c_[i].invalid) anchors.push_back(i);
  const auto count = static_cast<Integer>(anchors.size());
  if (count == 0) return;
  const TChainTable up = ChainLinks(true);
  const TChainTable down = ChainLinks(false);
  for (Integer k = 0; k + 1 < count && !Aborted(); ++k) {
    ResolveRange(anchors[k + 1], anchors[k], up, down);
    Progress(650 + (k + 1) * 350 / count);
  }
  if (!Aborted()) ResolveRange(-1, anchors.back(), up, down);
}

// ---------------------------------------------------------------------------
// Final items and text
// ---------------------------------------------------------------------------

struct TFinal {
  Cardinal code = 0, entry = 0;
  String module, unit, function;
  Integer line = 0;     // the source line (0 unknown)
  Integer absLine = 0;  // with relative lines: the line when relative
  Integer relLine = 0;
  bool relative = false;
  bool top = false, creator = false;
  bool hidden = false;
};

bool HasLine(const TFinal& f) { return f.line > 0 || f.relative; }

}  // namespace

void TWalker::Compose(TTraceStackResult& result, TStackTrace* items) {
  std::vector<TFinal> finals;
  for (Integer i = static_cast<Integer>(c_.size()) - 1; i >= 0; --i) {
    const TCandidate& cand = c_[i];
    if (cand.invalid) continue;
    TFinal f;
    f.top = cand.isTop;
    f.creator = cand.creator;
    f.code = cand.codeAddress;
    Integer function = cand.function;
    if (ApprovedCallerLink(cand) < 0) {
      // Without a trusted function, the first caller that placed the call.
      for (const TLink& l : cand.callers)
        if (l.codeAddress) {
          f.code = l.codeAddress;
          if (l.function >= 0) function = l.function;
          break;
        }
    }
    if (function >= 0) {
      const TFunctionEntry& fn = Functions()[function];
      f.function = fn.name;
      f.entry = fn.info.entry;
    }
    f.module = cand.module >= 0 ? Modules()[cand.module].name : "???";
    if (cand.module >= 0 && Modules()[cand.module].map) {
      const TMapFile& map = *Modules()[cand.module].map;
      TMfPublic pub = map.PublicOfAddress(Ptr(f.code));
      if (pub.valid && f.function.empty()) {
        f.function = pub.name;
        f.entry = static_cast<Cardinal>(
            reinterpret_cast<std::uintptr_t>(pub.address));
      }
      f.unit = map.SegmentOfAddress(true, Ptr(f.code)).unitName;
      const void* next;
      f.line = std::max<Integer>(map.LineNumberOf(Ptr(f.code), next), 0);
      if (rq_.showRelativeLines && f.entry && f.line > 0) {
        const Integer entryLine = map.LineNumberOf(Ptr(f.entry), next);
        if (entryLine > 0) {
          f.relative = true;
          f.absLine = f.line;
          f.relLine = f.line - entryLine;
        }
      }
      if (rq_.minDebugIdentities && !map.IdentityText().empty()) {
        const String id = f.module + "|" + map.IdentityText();
        auto& list = *rq_.minDebugIdentities;
        if (std::none_of(list.begin(), list.end(), [&](const String& s) {
              return SameTextFolded(s, id);
            }))
          list.push_back(id);
      }
    }
    finals.push_back(std::move(f));
  }
  if (!finals.empty()) result.exceptionCodeAddress = finals.front().code;

  // Frames of the runtime's own exception machinery say nothing about the
  // fault: hide them.
  if (rq_.abnormalTermination) {
    for (std::size_t i = 0; i < finals.size(); ++i)
      if (finals[i].function == "_ThrowExceptionLDTC" ||
          finals[i].function == "_ReThrowException") {
        for (std::size_t k = 0; k <= i; ++k) finals[k].hidden = true;
        break;
      }
  }
  if (rq_.preCollected && topFound_) {
    for (std::size_t i = 0; i < finals.size(); ++i)
      if (finals[i].function == "__ExceptionHandler") {
        for (std::size_t k = 1; k <= i; ++k) finals[k].hidden = true;
        for (std::size_t k = i + 1; k < finals.size(); ++k)
          if (finals[k].function == "KiUserExceptionDispatcher") {
            finals[k].hidden = true;
            break;
          } else if (!finals[k].function.empty()) {
            break;
          }
        break;
      }
  }

  std::vector<const TFinal*> printed;
  for (const TFinal& f : finals) {
    if (f.hidden) continue;
    const bool show =
        f.top || f.creator ||
        (!f.function.empty() && (HasLine(f) || !rq_.hideItemsWithoutLines));
    if (!show) continue;
    if (!printed.empty() && printed.back()->code == f.code) continue;
    printed.push_back(&f);
  }

  // Columns.
  struct TRow {
    String rel, module, unit, abs, line;
  };
  std::vector<TRow> rows;
  std::size_t wRel = 0, wModule = 0, wUnit = 0, wAbs = 0, wLine = 0;
  for (const TFinal* f : printed) {
    TRow row;
    if (rq_.showRelativeAddresses)
      row.rel = f->entry && f->entry < f->code ? HexOf(f->code - f->entry)
                                               : String("0");
    row.module = f->module;
    row.unit = f->unit;
    if (rq_.showRelativeLines && f->relative) {
      row.abs = IntToDec(f->absLine);
      row.line = "+" + IntToDec(f->relLine);
    } else if (f->line > 0) {
      row.line = IntToDec(f->line);
    }
    wRel = std::max(wRel, row.rel.size());
    wModule = std::max(wModule, row.module.size());
    wUnit = std::max(wUnit, row.unit.size());
    wAbs = std::max(wAbs, row.abs.size());
    wLine = std::max(wLine, row.line.size());
    rows.push_back(std::move(row));
  }
  String text;
  for (std::size_t i = 0; i < printed.size(); ++i) {
    const TRow& row = rows[i];
    String line = Hex8(printed[i]->code) + " ";
    if (rq_.showRelativeAddresses)
      line += "+" + String(wRel - row.rel.size(), '0') + row.rel + " ";
    line += row.module + String(wModule - row.module.size() + 1, ' ');
    line += row.unit + String(wUnit - row.unit.size() + 1, ' ');
    if (rq_.showRelativeLines)
      line += String(wAbs - row.abs.size(), ' ') + row.abs + " ";
    line += String(wLine - row.line.size(), ' ') + row.line + " ";
    line += printed[i]->function;
    if (i) text += "\r\n";
    text += line;
  }
  result.text = text;

  const TFinal* exc = nullptr;
  for (const TFinal* f : printed)
    if (f->entry && f->line > 0) {
      exc = f;
      break;
    }
  if (!exc)
    for (const TFinal* f : printed)
      if (f->entry) {
        exc = f;
        break;
      }
  if (exc) {
    result.exceptionFunctionEntry = exc->entry;
    result.exceptionLineAddress = exc->code;
  }

  std::vector<TCallstackCrcLine> crcLines;
  for (const TFinal* f : printed) {
    crcLines.push_back({f->code, f->entry, f->module, f->unit, f->function});
    if (HasLine(*f)) result.hasLineNumbers = true;
  }
  CallstackCrcs(crcLines, result.crc1, result.crc2);

  if (items) {
    items->clear();
    for (const TFinal* f : printed) {
      TStackItem item;
      item.address = f->code;
      item.relativeAddress =
          f->entry && f->entry < f->code ? f->code - f->entry : 0;
      item.moduleName = f->module;
      item.unitName = f->unit;
      if (f->relative) {
        item.line = f->absLine;
        item.relativeLine = f->relLine;
      } else {
        item.relativeLine = f->line;
      }
      item.functionName = f->function;
      items->push_back(std::move(item));
    }
  }
}

bool CouldFollowCall(Cardinal value, const TDATryRead* snapshot) {
  if (value <= 7) return false;
  Byte b[8];
  if (!SafeRead(Ptr(value - 8), b, 8, snapshot)) return false;
  // b[8 - k] is the byte k before value.
  if (b[3] == 0xE8) return true;
  for (int k : {2, 3, 4, 6, 7})
    if (b[8 - k] == 0xFF && (b[8 - k + 1] & 0x30) == 0x10) return true;
  return b[1] == 0x9A;
}

void CallstackCrcs(const std::vector<TCallstackCrcLine>& lines, Cardinal& crc1,
                   Cardinal& crc2) {
  crc1 = crc2 = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TCallstackCrcLine& l = lines[i];
    Cardinal value = l.codeAddress;
    const bool known = l.entry && !l.moduleName.empty() &&
                       l.moduleName != "???" && !l.functionName.empty();
    if (known) {
      value = l.codeAddress - l.entry;
      const String module = LowerStr(l.moduleName);
      value = AccumulateCrc32(value, module.data(), module.size());
      if (!l.unitName.empty()) {
        const String unit = LowerStr(l.unitName);
        value = AccumulateCrc32(value, unit.data(), unit.size());
      }
      const String function = LowerStr(l.functionName);
      value = AccumulateCrc32(value, function.data(), function.size());
    }
    if (i == 0)
      crc1 = crc2 = value;
    else
      crc2 = AccumulateCrc32(crc2, &value, 4);
  }
}

namespace pellor_detail {

void AddDispatchBranches(TFunctionInfo& info, bool is9x,
                         const std::vector<Cardinal>& dispatchTargets) {
  if (!is9x) return;
  for (const TDAExternalCall& call : info.externalCalls) {
    if (!call.isCall || !call.target ||
        std::find(dispatchTargets.begin(), dispatchTargets.end(),
                  call.target) == dispatchTargets.end())
      continue;
    const bool known = std::any_of(
        info.unresolvedBranches.begin(), info.unresolvedBranches.end(),
        [&](const TDABranch& b) { return b.address == call.address; });
    if (!known)
      info.unresolvedBranches.push_back({true, call.address, call.next});
  }
}

TChainChoice ChooseLinkChain(const std::vector<std::vector<TChainLink>>& links,
                             Integer from, Integer goal) {
  constexpr UInt64 kNone = UInt64(1) << 60;
  constexpr UInt64 kDirect = UInt64(1) << 61;
  constexpr UInt64 kGoal = UInt64(1) << 62;
  TChainChoice choice;
  const auto n = static_cast<Integer>(links.size());
  if (from < 0 || from >= n || goal >= n) return choice;
  const Integer step = goal > from ? 1 : -1;
  // Candidates strictly beyond from towards the goal (or index 0).
  const Integer limit = goal >= 0 ? goal : -1;
  auto towards = [&](Integer i, Integer other) {
    return step > 0 ? other > i && other <= limit
                    : other < i && other >= std::max<Integer>(limit, 0);
  };
  std::vector<UInt64> score(n, kNone);
  // Whether every link of the node's best chain has a function; a chain
  // that ends without links has no link against it.
  std::vector<char> direct(n, 1);
  std::vector<Integer> next(n, -1);
  auto scoreNode = [&](Integer i) {
    bool any = false;
    for (const TChainLink& l : links[i]) {
      if (!towards(i, l.other)) continue;
      UInt64 s;
      bool otherDirect;
      if (l.other == goal) {
        s = l.hasFunction ? 0x7000000000000000ull : 0x5000000000000000ull;
        otherDirect = true;
      } else {
        s = score[l.other];
        otherDirect = direct[l.other] != 0;
      }
      unsigned c = 0;
      if (!l.hasFunction) {
        s &= ~kDirect;
      } else {
        c = 14;
        if (otherDirect || (s & kDirect)) c += 14;
        if (l.approved) c += 14;
      }
      c += l.lineBonus;
      s += UInt64(1) << c;
      if (!any || s > score[i]) {
        score[i] = s;
        next[i] = l.other;
        direct[i] = l.hasFunction && otherDirect;
        any = true;
      }
    }
  };
  if (step > 0) {
    for (Integer i = limit - 1; i >= from; --i) scoreNode(i);
  } else {
    for (Integer i = std::max<Integer>(limit + 1, 0); i <= from; ++i)
      scoreNode(i);
  }
  choice.score = score[from];
  choice.reachesGoal = goal >= 0 && (choice.score & kGoal) != 0;
  for (Integer i = from; i >= 0 && i != goal; i = next[i])
    choice.path.push_back(i);
  if (choice.reachesGoal) choice.path.push_back(goal);
  return choice;
}

}  // namespace pellor_detail

namespace {

Cardinal CurrentStackBase() {
  return static_cast<Cardinal>(reinterpret_cast<std::uintptr_t>(
      reinterpret_cast<NT_TIB*>(NtCurrentTeb())->StackBase));
}

String InternalErrorText(const char* phase, const TTraceStackRequest& rq) {
  String text = FormatInternalError(phase, rq.showRelativeAddresses,
                                    rq.showRelativeLines);
  if (rq.isException)
    text += "\r\n>> original exception location: \r\n" +
            FormatStackAddress(rq.currentAddress, rq.showRelativeAddresses,
                               rq.showRelativeLines);
  return text;
}

}  // namespace

__attribute__((noinline)) void TraceStack(const TTraceStackRequest& request,
                                          TTraceStackResult& result,
                                          TStackTrace* items) {
  result = TTraceStackResult();
  if (items) items->clear();
  TTraceStackRequest rq = request;
  auto* frame = static_cast<Cardinal*>(__builtin_frame_address(0));
  if (!rq.stackTop) rq.stackTop = CurrentStackBase();
  if (!rq.stackBottom)
    rq.stackBottom =
        static_cast<Cardinal>(reinterpret_cast<std::uintptr_t>(frame)) + 8;
  if (!rq.framePointer) rq.framePointer = frame[0];
  if (!rq.isException && !rq.currentAddress)
    rq.currentAddress = static_cast<Cardinal>(
        reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
  const char* phase = "CollectStackCandidates";
  try {
    TWalker walker(rq, rq.stackTop, rq.stackBottom, rq.currentAddress);
    if (!walker.StackReadable()) return;
    walker.Collect();
    phase = "RemoveRecursiveStackAreas";
    walker.FoldRecursion();
    phase = "InDeepChecks";
    walker.DeepChecks();
    if (!rq.skipChainOptimisation) {
      phase = "RealizeOptimalLinkChains";
      walker.Chains();
    }
    if (rq.progress) rq.progress->SetProgress(1000);
    phase = "RemoveRecursiveAreas";
    walker.FoldRecursion();
    phase = "FillFinalOutput";
    walker.Compose(result, items);
  } catch (...) {
    result = TTraceStackResult();
    result.text = InternalErrorText(phase, rq);
    if (items) items->clear();
  }
}

__attribute__((noinline)) Integer CaptureRawStack(
    Cardinal framePointer, Cardinal stackTop, Cardinal stackBottom,
    TDAPreStackItem& out, bool isException, Cardinal currentAddress) {
  out.clear();
  try {
    auto* frame = static_cast<Cardinal*>(__builtin_frame_address(0));
    if (!stackTop) stackTop = CurrentStackBase();
    if (!stackBottom)
      stackBottom =
          static_cast<Cardinal>(reinterpret_cast<std::uintptr_t>(frame)) + 8;
    if (!framePointer) framePointer = frame[0];
    TDATryRead snapshot = SafeReadSnapshot();
    if (stackTop <= stackBottom ||
        !RangeReadable(snapshot, stackBottom, stackTop - stackBottom))
      return 0;
    std::vector<Cardinal> anchors;
    for (Cardinal fp = framePointer;
         fp >= stackBottom && fp + 8 <= stackTop && fp % 4 == 0;) {
      anchors.push_back(fp + 4);
      Cardinal next = 0;
      if (!SafeRead(Ptr(fp), &next, 4, &snapshot) || next <= fp) break;
      fp = next;
    }
    std::sort(anchors.begin(), anchors.end());
    out.reserve(64);
    for (Cardinal slot = stackTop - 4; slot >= stackBottom; slot -= 4) {
      Cardinal value = 0;
      if (SafeRead(Ptr(slot), &value, 4, &snapshot)) {
        if (isException && value == currentAddress) break;
        if (CouldFollowCall(value, &snapshot)) {
          const bool kept =
              std::binary_search(anchors.begin(), anchors.end(), slot);
          out.push_back({Byte(kept ? 1 : 0), value});
          if (kept) slot -= 4;
        }
      }
      if (slot < stackBottom + 4) break;
    }
  } catch (...) {
    out.clear();
  }
  return static_cast<Integer>(out.size());
}

String FormatStackAddress(Cardinal address, bool showRelativeAddress,
                          bool showRelativeLine) {
  String text = Hex8(address);
  TMapInfo info;
  if (!LookupMapInfo(Ptr(address), info)) {
    if (showRelativeAddress) text += " +0";
    return text + " ???";
  }
  const auto entry = static_cast<Cardinal>(
      reinterpret_cast<std::uintptr_t>(info.publicAddress));
  if (showRelativeAddress)
    text += " +" + HexOf(entry <= address ? address - entry : 0);
  text += " " + FileNameOnly(info.moduleFileName) + " " + info.unitName + " ";
  if (info.line > 0) text += IntToDec(info.line) + " ";
  if (showRelativeLine && info.line > 0) {
    TMapInfo start;
    if (LookupMapInfo(info.publicAddress, start) && start.line > 0)
      text += "+" + IntToDec(info.line - start.line) + " ";
  }
  return text + info.publicName;
}

String FormatInternalError(const String& phase, bool showRelativeAddress,
                           bool showRelativeLine, Cardinal exceptionAddress) {
  String text = ">> internal error in " + phase;
  if (exceptionAddress)
    text += ":\r\n" + FormatStackAddress(exceptionAddress, showRelativeAddress,
                                         showRelativeLine);
  return text;
}

void ClearStackTraceCaches() {
  Modules().clear();
  Functions().clear();
  FunctionIndex().clear();
}
