// Function analysis: the control flow of a whole function from its entry,
// and the disassembly listing of a function around an exception address.
#include <cxxabi.h>
#include <unwind.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "PellorDisAsmDetail.h"

using namespace disasm_detail;

// ---------------------------------------------------------------------------
// Function analysis
// ---------------------------------------------------------------------------

namespace {

bool IsHelper(const TDARuntimeHelpers& h, Cardinal target) {
  return target &&
         (target == h.handleAnyException || target == h.handleOnException ||
          target == h.handleAutoException || target == h.handleFinally ||
          target == h.halt0);
}

bool IsNoReturn(const TDARuntimeHelpers& h, Cardinal target) {
  if (!target) return false;
  if (target == h.halt0) return true;
  return std::find(h.noReturn.begin(), h.noReturn.end(), target) !=
         h.noReturn.end();
}

// A table of at most this many entries is believed; more means the bytes
// are not what the pattern suggested.
constexpr Cardinal kMaxTableEntries = 4096;

class Analyzer {
 public:
  Analyzer(const TDAEnvironment& env, const TDARuntimeHelpers& helpers,
           TFunctionInfo& info)
      : env_(env), h_(helpers), info_(info) {}

  bool Run(Cardinal entry);

 private:
  const TDAEnvironment& env_;
  const TDARuntimeHelpers& h_;
  TFunctionInfo& info_;
  Cardinal low_ = 0, high_ = 0;  // plausible code range [low_, high_)
  size_t current_ = SIZE_MAX;    // the area being parsed

  bool Fail(Cardinal address, Cardinal code, const String& text) {
    info_.valid = false;
    info_.errorAddress = address;
    info_.errorCode = code;
    info_.errorText = text;
    return false;
  }
  bool InRange(Cardinal a) const { return a >= low_ && a < high_; }
  size_t AddArea(Cardinal address, Cardinal caller,
                 const TDARegisterState& regs);
  void AddDataArea(Cardinal begin, Cardinal size, bool caseTable);
  bool ParseArea(size_t index);
  void Target(const TDAInstruction& in, const TDARegisterState& regs,
              bool& endArea);
  void AddExternal(const TDAInstruction& in);
  void RemoveUnresolved(Cardinal address);
  bool CaseTable(const TDAInstruction& in, const TDAInstruction* prev,
                 const TDAInstruction* prev2);
  void ExceptionFrame(const TDAInstruction& in, const TDAInstruction* prev,
                      const TDARegisterState& regs);
  bool Revisit();
  void Finish();
};

size_t Analyzer::AddArea(Cardinal address, Cardinal caller,
                         const TDARegisterState& regs) {
  auto& areas = info_.areas;
  // An end of 0 marks an unparsed area, so nothing may begin at 0.
  if (address == 0) return areas.empty() ? 0 : areas.size() - 1;
  for (size_t i = 0; i < areas.size(); ++i) {
    TDACodeArea& a = areas[i];
    if (a.begin != address) continue;
    if (caller && a.caller && caller != a.caller) {
      Cardinal oldDist =
          a.caller > address ? a.caller - address : address - a.caller;
      Cardinal newDist = caller > address ? caller - address : address - caller;
      if (newDist < oldDist) a.caller = caller;
    } else if (caller && !a.caller && a.begin != info_.entry) {
      a.caller = caller;
    }
    for (int r = 0; r < 8; ++r)
      if (a.regs[r] != regs[r]) a.regs[r] = 0;
    return i;
  }
  for (size_t i = 0; i < areas.size(); ++i) {
    TDACodeArea& a = areas[i];
    if (a.end == 0 || a.isCaseTable || a.isExceptTable) continue;
    if (address > a.begin && address <= a.end) {
      TDACodeArea split;
      split.begin = address;
      split.end = a.end;
      split.caller = caller;
      for (int r = 0; r < 8; ++r)
        split.regs[r] = a.regs[r] == regs[r] ? regs[r] : 0;
      a.end = address - 1;
      if (areas.size() == areas.capacity()) areas.reserve(areas.capacity() * 2);
      areas.push_back(split);
      if (current_ == i) current_ = areas.size() - 1;
      return areas.size() - 1;
    }
  }
  TDACodeArea a;
  a.begin = address;
  a.caller = caller;
  a.regs = regs;
  if (areas.size() == areas.capacity()) areas.reserve(areas.capacity() * 2);
  areas.push_back(a);
  return areas.size() - 1;
}

void Analyzer::AddDataArea(Cardinal begin, Cardinal size, bool caseTable) {
  for (const TDACodeArea& a : info_.areas)
    if (a.begin == begin) return;
  TDACodeArea a;
  a.begin = begin;
  a.end = begin + size - 1;
  a.isCaseTable = caseTable;
  a.isExceptTable = !caseTable;
  if (info_.areas.size() == info_.areas.capacity())
    info_.areas.reserve(info_.areas.capacity() * 2);
  info_.areas.push_back(a);
}

void Analyzer::RemoveUnresolved(Cardinal address) {
  auto& u = info_.unresolvedBranches;
  u.erase(
      std::remove_if(u.begin(), u.end(),
                     [&](const TDABranch& b) { return b.address == address; }),
      u.end());
}

void Analyzer::AddExternal(const TDAInstruction& in) {
  for (const TDAExternalCall& c : info_.externalCalls)
    if (c.next == in.next) return;
  TDAExternalCall c;
  c.isCall = in.isCall;
  c.address = in.address;
  c.next = in.next;
  c.target = in.target;
  c.isRelative = in.isRelative;
  c.targetCell = in.targetCell;
  c.targetCellRef = in.targetCellRef;
  // Look through a jump stub, unless the target is an export in its own
  // right.
  Byte first = 0;
  if (env_.Read(in.target, &first, 1) == 1 &&
      (first == 0x02 || first == 0x03 || first == 0xE9 || first == 0xEB ||
       first == 0xFF) &&
      !env_.IsNamedExport(in.target)) {
    TDAInstruction stub;
    if (DecodeInstruction(env_, in.target, stub) && stub.target)
      c.target = stub.target;
  }
  if (c.targetCellRef) info_.copySize += 4;
  info_.externalCalls.push_back(c);
}

void Analyzer::Target(const TDAInstruction& in, const TDARegisterState& regs,
                      bool& endArea) {
  if (!in.isCall && !in.isJump) return;
  if (!in.target) {
    for (const TDABranch& b : info_.unresolvedBranches)
      if (b.address == in.address) return;
    info_.unresolvedBranches.push_back({in.isCall, in.address, in.next});
    return;
  }
  RemoveUnresolved(in.address);
  Cardinal t = in.target;
  bool helper = IsHelper(h_, t);
  if (t == h_.handleAnyException) {
    AddArea(in.next, in.address, regs);
  } else if (t == h_.handleFinally) {
    AddArea(in.next, in.address, regs);
    TDAInstruction jump;
    if (DecodeInstruction(env_, in.next, jump) && jump.isJump &&
        jump.isRelative && jump.target && InRange(jump.target)) {
      Byte push = 0;
      Cardinal pushed = 0;
      if (env_.Read(jump.target - 5, &push, 1) == 1 && push == 0x68 &&
          env_.ReadDword(jump.target - 4, pushed) && InRange(pushed))
        AddArea(pushed, in.address, TDARegisterState{});
    }
  } else if (t == h_.handleOnException) {
    Cardinal count = 0;
    if (env_.ReadDword(in.next, count) && count < kMaxTableEntries) {
      AddDataArea(in.next, count * 8 + 4, false);
      for (Cardinal i = 0; i < count; ++i) {
        Cardinal handler = 0;
        if (env_.ReadDword(in.next + 4 + i * 8 + 4, handler) &&
            InRange(handler))
          AddArea(handler, in.address, TDARegisterState{});
      }
    }
    endArea = true;
  }
  if (in.targetSize == 4 && (in.isCall || !InRange(t) || helper)) {
    AddExternal(in);
    if (IsNoReturn(h_, t)) endArea = true;
    // The call through a stub may name a non-returning routine too.
    if (!endArea && !info_.externalCalls.empty() &&
        info_.externalCalls.back().address == in.address &&
        IsNoReturn(h_, info_.externalCalls.back().target))
      endArea = true;
    return;
  }
  if (helper) return;
  AddArea(t, in.address, regs);
}

bool Analyzer::CaseTable(const TDAInstruction& in, const TDAInstruction* prev,
                         const TDAInstruction* prev2) {
  if (!prev || !prev2) return false;
  if (in.opcode != 0xFF || in.modRm != 0x24 || in.next - in.address != 7)
    return false;
  if (prev2->opcode != 0x83 || (prev2->modRm & 0xF8) != 0xF8 ||
      prev2->next - prev2->address != 3)
    return false;
  Byte reg = prev2->modRm & 7;
  Byte imm = 0, sib = 0;
  Cardinal table = 0;
  if (env_.Read(prev2->address + 2, &imm, 1) != 1 ||
      env_.Read(in.address + 2, &sib, 1) != 1 ||
      !env_.ReadDword(in.address + 3, table))
    return false;
  if ((sib >> 6) != 2 || ((sib >> 3) & 7) != reg || (sib & 7) != 5 ||
      table != in.next)
    return false;
  Cardinal entries;
  switch (prev->opcode) {
    case 0x77:
    case 0x7F:
    case 0x0F87:
    case 0x0F8F:
      entries = Cardinal(imm) + 1;
      break;
    case 0x73:
    case 0x7D:
    case 0x0F83:
    case 0x0F8D:
      entries = imm;
      break;
    default:
      return false;
  }
  if (entries == 0) return false;
  std::vector<Cardinal> targets;
  for (Cardinal i = 0; i < entries; ++i) {
    Cardinal t = 0;
    if (!env_.ReadDword(table + 4 * i, t)) return false;
    targets.push_back(t);
  }
  RemoveUnresolved(in.address);
  AddDataArea(table, entries * 4, true);
  for (Cardinal t : targets)
    if (InRange(t)) AddArea(t, in.address, TDARegisterState{});
  return true;
}

void Analyzer::ExceptionFrame(const TDAInstruction& in,
                              const TDAInstruction* prev,
                              const TDARegisterState& regs) {
  if (!prev || prev->opcode != 0x68 || prev->next - prev->address != 5 ||
      prev->next != in.address || in.opcode != 0xFF)
    return;
  Byte b[3] = {};
  if (env_.Read(in.address, b, 3) != 3 || b[0] != 0x64 || b[1] != 0xFF) return;
  bool frame = false;
  if ((b[2] & 0xF8) == 0x30 && b[2] != 0x34 && b[2] != 0x35 &&
      in.next - in.address == 3 && regs[b[2] & 7] == 0)
    frame = true;
  Cardinal disp = 1;
  if (b[2] == 0x35 && in.next - in.address == 7 &&
      env_.ReadDword(in.address + 3, disp) && disp == 0)
    frame = true;
  Cardinal pushed = 0;
  if (frame && env_.ReadDword(prev->address + 1, pushed) && InRange(pushed))
    AddArea(pushed, prev->address, TDARegisterState{});
}

bool Analyzer::ParseArea(size_t index) {
  current_ = index;
  TDARegisterState regs = info_.areas[index].regs;
  Cardinal address = info_.areas[index].begin;
  TDAInstruction history[3];
  int have = 0;
  for (;;) {
    TDACodeArea& area = info_.areas[current_];
    Cardinal limit = high_;
    for (const TDACodeArea& other : info_.areas)
      if (other.begin > area.begin && other.begin < limit) limit = other.begin;
    if (address >= limit) {
      if (address > limit)
        return Fail(address, kDAErrorInvalidCode, "Invalid code!");
      if (area.end == 0) area.end = address - 1;
      AddArea(address, 0, regs);
      return true;
    }
    TDARegisterState before = regs;
    TDAInstruction in;
    if (!DecodeInstructionTracked(env_, address, regs, in))
      return Fail(address, kDAErrorInvalidCode, "Invalid code!");
    if (in.next > limit)
      return Fail(address, kDAErrorInvalidCode, "Invalid code!");
    info_.areas[current_].end = in.next - 1;
    history[2] = history[1];
    history[1] = history[0];
    history[0] = in;
    have = std::min(have + 1, 3);
    const TDAInstruction* prev = have > 1 ? &history[1] : nullptr;
    const TDAInstruction* prev2 = have > 2 ? &history[2] : nullptr;
    bool endArea = false;
    bool table = CaseTable(in, prev, prev2);
    ExceptionFrame(in, prev, before);
    if (!table) Target(in, before, endArea);
    Byte op = in.opcode & 0xFF;
    bool oneByte = in.opcode < 0x100;
    Byte reg = (in.modRm >> 3) & 7;
    if (oneByte && (op == 0xC2 || op == 0xC3 || op == 0xCA || op == 0xCB ||
                    op == 0xCF || op == 0xE9 || op == 0xEA || op == 0xEB ||
                    (op == 0xFF && (reg == 4 || reg == 5))))
      endArea = true;
    if (endArea) return true;
    address = in.next;
    if (regs != before) {
      AddArea(address, 0, regs);
      return true;
    }
  }
}

bool Analyzer::Revisit() {
  auto& u = info_.unresolvedBranches;
  for (size_t k = u.size(); k-- > 0;) {
    TDABranch b = u[k];
    for (const TDACodeArea& a : info_.areas) {
      if (a.end == 0 || a.isCaseTable || a.isExceptTable) continue;
      if (b.address < a.begin || b.address > a.end) continue;
      TDARegisterState regs = a.regs;
      TDAInstruction in;
      if (DecodeInstructionTracked(env_, b.address, regs, in) && in.target) {
        bool endArea = false;
        Target(in, a.regs, endArea);
        return true;
      }
      break;
    }
  }
  return false;
}

bool Analyzer::Run(Cardinal entry) {
  info_ = TFunctionInfo();
  info_.entry = entry;
  info_.copyable = true;
  Byte b;
  if (entry == 0 || env_.Read(entry, &b, 1) != 1)
    return Fail(entry, kDAErrorNotCommitted,
                ErrorCodeText(kDAErrorNotCommitted));
  if (!env_.CodeRange(entry, low_, high_) || !InRange(entry)) {
    low_ = entry;
    high_ = entry + 1;
  }
  info_.areas.reserve(8);
  AddArea(entry, 0, TDARegisterState{});
  Cardinal lastGap = 0;
  for (;;) {
    bool parsedAny = false;
    for (size_t i = 0; i < info_.areas.size(); ++i) {
      if (info_.areas[i].end != 0) continue;
      if (!ParseArea(i)) return false;
      parsedAny = true;
      i = SIZE_MAX;  // start over: parsing may add areas anywhere
    }
    (void)parsedAny;
    if (Revisit()) continue;
    bool jumpLeft = false;
    for (const TDABranch& u : info_.unresolvedBranches)
      if (!u.isCall) jumpLeft = true;
    if (!jumpLeft) break;
    // The gap after the block of contiguous areas from the lowest one.
    std::vector<std::pair<Cardinal, Cardinal>> spans;
    for (const TDACodeArea& a : info_.areas) spans.push_back({a.begin, a.end});
    std::sort(spans.begin(), spans.end());
    Cardinal blockEnd = spans[0].second;
    Cardinal highest = 0;
    for (auto& s : spans) {
      highest = std::max(highest, s.second);
      if (s.first <= blockEnd + 1) blockEnd = std::max(blockEnd, s.second);
    }
    Cardinal gap = blockEnd + 1;
    if (gap == 0 || gap >= highest || highest - gap >= 1024 || gap == lastGap)
      break;
    lastGap = gap;
    std::vector<TDACodeArea> areasBefore = info_.areas;
    auto externalBefore = info_.externalCalls;
    auto unresolvedBefore = info_.unresolvedBranches;
    Cardinal copyBefore = info_.copySize;
    size_t at = AddArea(gap, 0, TDARegisterState{});
    bool ok = ParseArea(at);
    for (size_t i = 0; ok && i < info_.areas.size(); ++i) {
      if (info_.areas[i].end != 0) continue;
      ok = ParseArea(i);
      i = SIZE_MAX;
    }
    if (!ok) {
      info_.areas = areasBefore;
      info_.externalCalls = externalBefore;
      info_.unresolvedBranches = unresolvedBefore;
      info_.copySize = copyBefore;
      info_.errorAddress = info_.errorCode = 0;
      info_.errorText.clear();
      break;
    }
  }
  Finish();
  return true;
}

void Analyzer::Finish() {
  info_.valid = true;
  Cardinal lowest = 0xFFFFFFFF, highest = 0;
  for (const TDACodeArea& a : info_.areas) {
    lowest = std::min(lowest, a.begin);
    highest = std::max(highest, a.end);
  }
  info_.lowestAddress = lowest;
  info_.spanLength = highest - lowest + 1;
  info_.copySize += info_.spanLength + 4;
  // Patchable: the plain code run from the entry is longer than the jump,
  // and nothing in its first bytes would break when moved.
  std::vector<const TDACodeArea*> sorted;
  for (const TDACodeArea& a : info_.areas) sorted.push_back(&a);
  std::sort(sorted.begin(), sorted.end(),
            [](const TDACodeArea* x, const TDACodeArea* y) {
              return x->begin < y->begin;
            });
  Cardinal runEnd = info_.entry;
  Cardinal size = 0;
  bool inRun = false;
  for (const TDACodeArea* a : sorted) {
    if (a->begin == info_.entry) {
      inRun = true;
    } else if (!inRun || a->begin != runEnd || a->caller || a->isCaseTable ||
               a->isExceptTable) {
      if (inRun) break;
      continue;
    }
    size += a->end - a->begin + 1;
    runEnd = a->end + 1;
  }
  bool patchable = size > 5;
  for (Cardinal at = info_.entry; patchable && at < info_.entry + 6;) {
    TDAInstruction in;
    if (!DecodeInstruction(env_, at, in)) {
      patchable = false;
      break;
    }
    if ((in.isCall || in.isJump) && !in.targetCell && !in.targetCellRef)
      patchable = false;
    // A short branch at the start cannot be moved as it is; even a
    // widenable one would need rewriting, which the patcher does not do.
    if (in.isRelative && in.targetSize < 4) patchable = false;
    at = in.next;
  }
  info_.patchable = patchable;
}

}  // namespace

bool AnalyzeFunctionEx(const TDAEnvironment& env, Cardinal entry,
                       TFunctionInfo& info, const TDARuntimeHelpers& helpers) {
  Analyzer analyzer(env, helpers, info);
  return analyzer.Run(entry);
}

bool AnalyzeFunction(const TDAEnvironment& env, Cardinal entry,
                     TFunctionInfo& info) {
  return AnalyzeFunctionEx(env, entry, info, TDARuntimeHelpers());
}

bool IsNoReturnRoutineName(const String& name) {
  static const char* const kNames[] = {
      "__cxa_throw",
      "__cxa_rethrow",
      "_Unwind_Resume",
      "__cxa_bad_cast",
      "__cxa_bad_typeid",
      "__cxa_throw_bad_array_new_length",
      "std::terminate()",
      "abort",
      "exit",
      "_exit",
      "ExitProcess",
      "__cxa_pure_virtual",
      "__stack_chk_fail",
  };
  String bare = name;
  size_t at = bare.find('@');
  if (at != String::npos && at > 0) bare.erase(at);  // stdcall suffix
  if (bare.rfind("__imp_", 0) == 0)
    return IsNoReturnRoutineName(bare.substr(6));
  if (bare.rfind("std::__throw_", 0) == 0) return true;
  // With or without the underscore that C names get in the object files.
  for (const char* n : kNames)
    if (bare == n || (bare.size() > 1 && bare[0] == '_' && bare.substr(1) == n))
      return true;
  return false;
}

void AddNoReturnRoutine(const TDAEnvironment& env, TDARuntimeHelpers& helpers,
                        Cardinal address) {
  if (!address) return;
  helpers.noReturn.push_back(address);
  TDAInstruction stub;
  if (DecodeInstruction(env, address, stub) && stub.isJump && stub.target &&
      stub.target != address)
    helpers.noReturn.push_back(stub.target);
}

TDARuntimeHelpers OwnRuntimeHelpers(const TDAEnvironment& env) {
  TDARuntimeHelpers helpers;
  if constexpr (sizeof(void*) == sizeof(Cardinal)) {
    const void* routines[] = {
        reinterpret_cast<const void*>(&__cxxabiv1::__cxa_throw),
        reinterpret_cast<const void*>(&__cxxabiv1::__cxa_rethrow),
        reinterpret_cast<const void*>(&_Unwind_Resume),
        reinterpret_cast<const void*>(&std::terminate),
        reinterpret_cast<const void*>(&std::abort),
        reinterpret_cast<const void*>(static_cast<void (*)(int)>(&std::exit)),
        reinterpret_cast<const void*>(&std::_Exit),
        reinterpret_cast<const void*>(&std::__throw_bad_alloc),
        reinterpret_cast<const void*>(&std::__throw_length_error),
        reinterpret_cast<const void*>(&std::__throw_out_of_range),
        reinterpret_cast<const void*>(&std::__throw_out_of_range_fmt),
        reinterpret_cast<const void*>(&std::__throw_logic_error),
        reinterpret_cast<const void*>(&std::__throw_invalid_argument),
        reinterpret_cast<const void*>(&std::__throw_bad_cast),
        reinterpret_cast<const void*>(&std::__throw_bad_function_call),
    };
    for (const void* r : routines)
      AddNoReturnRoutine(env, helpers,
                         static_cast<Cardinal>(reinterpret_cast<uintptr_t>(r)));
  }
  return helpers;
}

// ---------------------------------------------------------------------------
// Disassembly text
// ---------------------------------------------------------------------------

namespace {

String Label(Cardinal address) {
  String s = "loc_";
  AppendHex(s, address);
  return s;
}

String AddressPrefix(Cardinal address) {
  String s;
  AppendHex(s, address, 8);
  s += ' ';
  return s;
}

struct TextLine {
  String text;
  Cardinal address = 0;  // 0 for lines without one
  bool except = false;
};

}  // namespace

String FormatDisassembly(const TDAEnvironment& env, const TFunctionInfo& info,
                         Cardinal exceptAddress, bool separators,
                         Integer lineLimit, const TDARuntimeHelpers& helpers) {
  if (!info.valid || info.areas.empty()) return String();
  String entryName = env.SymbolName(info.entry);
  String name = entryName.empty() ? "sub_" : entryName;
  if (entryName.empty()) AppendHex(name, info.entry);
  String title = entryName.empty() ? name : "public " + entryName;

  // Width of the line-number column.
  Integer width = 0;
  {
    bool starts;
    Cardinal last = info.lowestAddress + info.spanLength - 1;
    Cardinal line = env.SourceLine(last, starts);
    if (line == 0 && exceptAddress)
      line = env.SourceLine(exceptAddress, starts) * 10;
    while (line) {
      ++width;
      line /= 10;
    }
  }

  std::vector<const TDACodeArea*> areas;
  for (const TDACodeArea& a : info.areas) areas.push_back(&a);
  std::stable_sort(areas.begin(), areas.end(),
                   [](const TDACodeArea* x, const TDACodeArea* y) {
                     return x->begin < y->begin;
                   });
  for (size_t i = 1; i < areas.size(); ++i) {
    if (areas[i]->begin <= areas[i - 1]->end || areas[i]->end < areas[i]->begin)
      return "Internal error in ParseFunction while composing the "
             "disassembling string...  :-(";
  }
  auto isAreaStart = [&](Cardinal a) {
    for (const TDACodeArea* area : areas)
      if (area->begin == a && !area->isCaseTable && !area->isExceptTable)
        return true;
    return false;
  };

  std::vector<TextLine> lines;
  auto add = [&](String text, Cardinal address) {
    TextLine l;
    l.text = std::move(text);
    l.address = address;
    lines.push_back(std::move(l));
  };
  Cardinal functionEnd = info.lowestAddress + info.spanLength;
  for (size_t ai = 0; ai < areas.size(); ++ai) {
    const TDACodeArea& a = *areas[ai];
    if (a.begin == info.entry) {
      String l = title + ":";
      PadTo(l, 31);
      add(AddressPrefix(a.begin) + l + "  ; function entry point", 0);
    } else if (separators && a.caller && !a.isCaseTable && !a.isExceptTable) {
      add(AddressPrefix(a.begin) + Label(a.begin) + ":", 0);
    }
    if (a.isCaseTable) {
      for (Cardinal at = a.begin; at + 3 <= a.end; at += 4) {
        Cardinal t = 0;
        env.ReadDword(at, t);
        String l = "  dd " + Label(t);
        if (at == a.begin) {
          PadTo(l, 31);
          l += "  ; case jump table";
        }
        add(AddressPrefix(at) + l, at);
      }
      continue;
    }
    if (a.isExceptTable) {
      Cardinal count = 0;
      env.ReadDword(a.begin, count);
      std::vector<std::pair<String, Cardinal>> handlers;
      size_t longest = 0;
      for (Cardinal i = 0; i < count && a.begin + 4 + i * 8 + 7 <= a.end; ++i) {
        Cardinal cls = 0, handler = 0;
        env.ReadDword(a.begin + 4 + i * 8, cls);
        env.ReadDword(a.begin + 8 + i * 8, handler);
        String cname;
        if (cls) {
          cname = env.ClassName(cls);
          if (cname.empty()) cname = "EUnknown";
        }
        longest = std::max(longest, cname.size());
        handlers.push_back({cname, handler});
      }
      Cardinal at = a.begin + 4;
      for (auto& hd : handlers) {
        String l = AddressPrefix(at);
        if (!hd.first.empty()) {
          l += "  on " + hd.first;
          l.append(longest - hd.first.size(), ' ');
          l += " do " + Label(hd.second);
        } else {
          l += "  else";
          l.append(longest + 3 + 3 - 4, ' ');
          l += " " + Label(hd.second);
        }
        add(l, at);
        at += 8;
      }
      continue;
    }
    TDARegisterState regs = a.regs;
    for (Cardinal at = a.begin; at <= a.end && at >= a.begin;) {
      String text;
      TDAInstruction in;
      DecodeInstructionEx(env, at, &text, &regs, in);
      if (in.valid && in.isRelative && in.target && isAreaStart(in.target)) {
        // The operand becomes the label of the area it goes to.
        size_t col = text.find(' ', 11);
        while (col < text.size() && text[col] == ' ') ++col;
        text.erase(std::min(col, text.size()));
        text += in.target == info.entry ? name : Label(in.target);
      }
      add(text, at);
      Cardinal next = in.next > at ? in.next : at + 1;
      bool more = next < functionEnd;
      if (separators && in.valid && more &&
          (in.isCall || in.isJump ||
           (in.opcode < 0x100 &&
            (in.opcode == 0xC2 || in.opcode == 0xC3 || in.opcode == 0xCA ||
             in.opcode == 0xCB || in.opcode == 0xCF)))) {
        add("", 0);
        Byte reg = (in.modRm >> 3) & 7;
        bool ends = in.opcode == 0xC2 || in.opcode == 0xC3 ||
                    in.opcode == 0xCA || in.opcode == 0xCB ||
                    in.opcode == 0xCF || in.opcode == 0xE9 ||
                    in.opcode == 0xEA || in.opcode == 0xEB ||
                    (in.opcode == 0xFF && (reg == 4 || reg == 5));
        if (ends && !(in.target && IsHelper(helpers, in.target))) {
          add("; ---------------------------------------------------------", 0);
          add("", 0);
        }
      }
      if (next <= at) break;
      at = next;
    }
  }

  // The exception mark and the line-number column.
  size_t exceptLine = SIZE_MAX;
  for (size_t i = 0; i < lines.size(); ++i) {
    TextLine& l = lines[i];
    if (!l.address) continue;
    if (exceptAddress && l.address == exceptAddress && exceptLine == SIZE_MAX) {
      if (l.text.size() > 9) l.text[9] = '>';
      exceptLine = i;
    }
    if (width > 0 && l.text.size() >= 8) {
      bool starts = false;
      Cardinal line = env.SourceLine(l.address, starts);
      String col;
      if (starts && line)
        col = CardinalToDecPadded(line, width, '0');
      else
        col.assign(size_t(width), ' ');
      l.text.insert(8, " " + col);
    }
  }
  // Line limit around the exception line.
  size_t first = 0, last = lines.size();
  bool cutFront = false, cutBack = false;
  if (lineLimit > 0) {
    size_t limit = size_t(lineLimit);
    size_t mark = exceptLine == SIZE_MAX ? 0 : exceptLine;
    // mark > 1.2 * limit, in integers: the x87 would round 1.2 * 10 below 12.
    if (mark * 5 > limit * 6) {
      first = mark - limit;
      cutFront = true;
    }
    if (lines.size() > mark + 1 + limit) {
      last = mark + 1 + limit;
      cutBack = true;
    }
  }
  String out;
  if (cutFront) out += "[...]\r\n";
  for (size_t i = first; i < last; ++i) {
    out += lines[i].text;
    out += "\r\n";
  }
  if (cutBack) out += "[...]\r\n";
  if (out.size() >= 2) out.resize(out.size() - 2);
  return out;
}

bool DisassembleFunction(const TDAEnvironment& env, Cardinal entry,
                         String& text, Cardinal exceptAddress,
                         TFunctionInfo& info, bool separators,
                         Integer lineLimit, const TDARuntimeHelpers& helpers) {
  text.clear();
  if (!AnalyzeFunctionEx(env, entry, info, helpers)) return false;
  text = FormatDisassembly(env, info, exceptAddress, separators, lineLimit,
                           helpers);
  return true;
}
