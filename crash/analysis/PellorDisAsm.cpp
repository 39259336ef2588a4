#include "PellorDisAsm.h"

#include <algorithm>
#include <cstring>

#include "PellorDisAsmDetail.h"

using namespace disasm_detail;

// ---------------------------------------------------------------------------
// Environment defaults
// ---------------------------------------------------------------------------

bool TDAEnvironment::CodeRange(Cardinal entry, Cardinal& begin,
                               Cardinal& end) const {
  // Without knowledge of images: the readable pages around entry, at most
  // 1 MB either way.
  Byte b;
  if (Read(entry, &b, 1) != 1) return false;
  begin = entry & ~Cardinal{0xFFF};
  for (int i = 0; i < 256 && begin >= 0x1000 && Read(begin - 1, &b, 1) == 1;
       ++i)
    begin -= 0x1000;
  end = (entry | 0xFFF) + 1;
  for (int i = 0; i < 256 && end != 0 && Read(end, &b, 1) == 1; ++i)
    end += 0x1000;
  if (end == 0) end = 0xFFFFFFFF;
  return true;
}
String TDAEnvironment::SymbolName(Cardinal) const { return String(); }
bool TDAEnvironment::IsNamedExport(Cardinal) const { return false; }
String TDAEnvironment::ForeignModuleName(Cardinal) const { return String(); }
Cardinal TDAEnvironment::ImageEnd(Cardinal) const { return 0; }
String TDAEnvironment::ClassName(Cardinal) const { return String(); }
Cardinal TDAEnvironment::SourceLine(Cardinal, bool& startsLine) const {
  startsLine = false;
  return 0;
}

bool TDAEnvironment::ReadDword(Cardinal address, Cardinal& value) const {
  Byte b[4];
  if (Read(address, b, 4) != 4) return false;
  value = Cardinal{b[0]} | Cardinal{b[1]} << 8 | Cardinal{b[2]} << 16 |
          Cardinal{b[3]} << 24;
  return true;
}

Cardinal TDABufferEnvironment::Read(Cardinal address, void* buffer,
                                    Cardinal count) const {
  if (address < base_ || address - base_ >= size_) return 0;
  Cardinal offset = address - base_;
  Cardinal n = std::min(count, size_ - offset);
  std::memcpy(buffer, bytes_ + offset, n);
  return n;
}

bool TDABufferEnvironment::CodeRange(Cardinal entry, Cardinal& begin,
                                     Cardinal& end) const {
  if (entry < base_ || entry - base_ >= size_) return false;
  begin = base_;
  end = base_ + size_;
  return true;
}

namespace {

// ---------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------

void DecodeModrm(Decoded& d) {
  d.modrm = d.Next();
  d.mod = d.modrm >> 6;
  d.reg = (d.modrm >> 3) & 7;
  d.rm = d.modrm & 7;
  d.hasModrm = true;
  if (d.mod == 3) return;
  d.memory = true;
  if (d.ad16) {
    if (d.mod == 0 && d.rm == 6) {
      d.dispSize = 2;
    } else {
      d.base16 = d.rm;
      d.dispSize = d.mod == 1 ? 1 : d.mod == 2 ? 2 : 0;
    }
  } else {
    d.base = d.rm;
    if (d.rm == 4) {
      Byte sib = d.Next();
      d.base = sib & 7;
      d.index = (sib >> 3) & 7;
      if (d.index == 4) d.index = kNoReg;
      d.scale = Byte(1 << (sib >> 6));
      if (d.base == 5 && d.mod == 0) {
        d.base = kNoReg;
        d.dispSize = 4;
      }
    } else if (d.mod == 0 && d.rm == 5) {
      d.base = kNoReg;
      d.dispSize = 4;
    }
    if (d.mod == 1) d.dispSize = 1;
    if (d.mod == 2) d.dispSize = 4;
  }
  if (d.dispSize) {
    d.dispPos = d.pos;
    Cardinal v = d.Value(d.dispSize);
    if (d.dispSize == 1)
      d.disp = static_cast<int8_t>(v);
    else if (d.dispSize == 2)
      d.disp = static_cast<int16_t>(v);
    else
      d.disp = static_cast<Integer>(v);
  }
}

}  // namespace

Byte disasm_detail::ImmediateSize(const Decoded& d, Opnd op) {
  switch (op) {
    case oIb:
    case oIsb:
    case oJb:
      return 1;
    case oIw:
      return 2;
    case oIv:
    case oIsv:
    case oJv:
      return OperandSize(d);
    case oAp:
      return Byte(OperandSize(d) + 2);
    case oOb:
    case oOv:
      return d.ad16 ? 2 : 4;
    default:
      return 0;
  }
}

namespace {

// The encoding rules that the tables cannot express.
bool ExtraValid(const Decoded& d) {
  if (!d.twoByte) {
    switch (d.code) {
      case 0x8C:
      case 0x8E:
        return d.reg < 6;
      default:
        return true;
    }
  }
  switch (d.code) {
    case 0x01:
      return d.reg != 5 && (d.memory || d.reg > 3);
    case 0x6C:
    case 0x6D:
      return d.variant == 1;
    case 0x7C:
    case 0x7D:
    case 0xD0:
      return d.variant == 1 || d.variant == 2;
    case 0xD6:
    case 0xE6:
      return d.variant != 0;
    case 0xF0:
      return d.variant == 2;
    default:
      return true;
  }
}

// Prefix variant: 0 none, 1 = 66, 2 = F2, 3 = F3.
Byte VariantIndex(const Decoded& d) {
  if (d.rep == 0xF2) return 2;
  if (d.rep == 0xF3) return 3;
  return d.op16 ? 1 : 0;
}

bool DecodeBytes(Decoded& d) {
  const Tables& t = OpcodeTables();
  for (;;) {
    Byte b = d.Next();
    if (d.fail) return false;
    switch (b) {
      case 0x66:
        d.op16 = true;
        continue;
      case 0x67:
        d.ad16 = true;
        continue;
      case 0xF0:
        d.lock = true;
        continue;
      case 0xF2:
      case 0xF3:
        d.rep = b;
        continue;
      case 0x26:
        d.seg = 1;
        continue;
      case 0x2E:
        d.seg = 2;
        continue;
      case 0x36:
        d.seg = 3;
        continue;
      case 0x3E:
        d.seg = 4;
        continue;
      case 0x64:
        d.seg = 5;
        continue;
      case 0x65:
        d.seg = 6;
        continue;
      default:
        break;
    }
    d.op = b;
    break;
  }
  const Entry* e;
  if (d.op == 0x0F) {
    d.twoByte = true;
    d.code = d.Next();
    if (d.fail) return false;
    e = &t.two[d.code];
    d.variant = VariantIndex(d);
  } else {
    d.code = d.op;
    e = &t.one[d.code];
    d.variant = d.op16 ? 1 : 0;
  }
  if (e->modrm) {
    DecodeModrm(d);
    if (d.fail) return false;
  }
  const Form* f = nullptr;
  if (e->group == 1000) {
    d.fpu = true;
    const Group& g = t.fpu[d.code - 0xD8];
    f = d.memory ? &g.mem[d.reg] : &g.reg[d.reg][d.rm];
  } else if (e->group >= 0) {
    const Group& g = t.groups[e->group];
    f = d.memory ? &g.mem[d.reg] : &g.reg[d.reg][d.rm];
  } else {
    Byte v = e->present[d.variant] ? d.variant : 0;
    f = d.memory ? &e->mem[v] : &e->reg[v];
  }
  if (!f->valid) return false;
  if (d.memory && f->regOnly) return false;
  if (!d.memory && d.hasModrm && f->memOnly) return false;
  d.form = f;
  bool ok = ExtraValid(d);
  for (int k = 0; k < f->count; ++k) {
    Byte size = ImmediateSize(d, f->ops[k]);
    if (!size) continue;
    if (f->ops[k] == oAp) {
      // Offset, then segment.
      d.immPos = d.pos;
      d.immSize = OperandSize(d);
      d.imm = d.Value(d.immSize);
      d.imm2Size = 2;
      d.imm2 = d.Value(2);
    } else if (d.immSize == 0) {
      d.immPos = d.pos;
      d.immSize = size;
      d.imm = d.Value(size);
    } else {
      d.imm2Size = size;
      d.imm2 = d.Value(size);
    }
    if (d.fail) return false;
  }
  if (d.twoByte && d.code == 0x0F) {
    d.suffix = d.Next();
    if (d.fail) return false;
    if (!t.names3d[d.suffix]) return false;
  }
  return ok;
}
void ForgetReg(TDARegisterState& regs, Byte r) {
  if (r < 8) regs[r] = 0;
}

// The general register an operand names in this instruction, or kNoReg.
Byte OperandReg(const Decoded& d, Opnd op) {
  switch (op) {
    case oGb:
      return d.reg & 3;
    case oGw:
    case oGd:
    case oGv:
      return d.reg;
    case oZb:
      return (d.twoByte ? d.code : d.op) & 3;
    case oZv:
      return (d.twoByte ? d.code : d.op) & 7;
    case oAL:
    case oAX:
    case oeAX:
      return 0;
    case oEb:
      return d.memory ? kNoReg : Byte(d.rm & 3);
    case oEw:
    case oEd:
    case oEv:
    case oEdw:
    case oEvw:
    case oRd:
      return d.memory ? kNoReg : d.rm;
    default:
      return kNoReg;
  }
}

void UpdateRegisters(const Decoded& d, TDARegisterState& regs) {
  const Form& f = *d.form;
  Byte op = d.code;
  if (!d.twoByte) {
    if (op >= 0xB8 && op <= 0xBF) {
      // A 16-bit move leaves the cell as it was.
      if (!d.op16) regs[op & 7] = d.address + d.immPos;
      return;
    }
    if (op == 0xC7 && !d.memory) {
      if (!d.op16) regs[d.rm] = d.address + d.immPos;
      return;
    }
    if (op == 0x8B && !d.memory) {
      regs[d.reg] = regs[d.rm];
      return;
    }
    if (op == 0x61) {
      regs.fill(0);
      return;
    }
  } else if (op == 0x7F && !d.memory && d.rep != 0xF3) {
    // Counted as a register write whatever the register file.
    regs[d.rm] = 0;
  }
  for (int r = 0; r < 8; ++r)
    if (f.forget & (1 << r)) regs[r] = 0;
  if (f.count > 0 && !(f.flags & fRead)) {
    ForgetReg(regs, OperandReg(d, f.ops[0]));
  }
  if (f.flags & fBoth && f.count > 1) ForgetReg(regs, OperandReg(d, f.ops[1]));
  // 16-bit and 8-bit writes keep part of an address; the cell is no
  // longer a known address either way, which the rule above covers.
}

}  // namespace

// A 16-bit operand size cuts the instruction pointer to 16 bits, so the
// branch lands in the first 64 KB whatever the displacement.
Cardinal disasm_detail::RelativeTarget(const Decoded& d, Cardinal next) {
  Integer rel = d.immSize == 1   ? static_cast<int8_t>(d.imm)
                : d.immSize == 2 ? static_cast<int16_t>(d.imm)
                                 : static_cast<Integer>(d.imm);
  Cardinal target = next + static_cast<Cardinal>(rel);
  return d.op16 ? target & 0xFFFF : target;
}

namespace {

void WorkOutTarget(const TDAEnvironment& env, const Decoded& d,
                   const TDARegisterState* regs, TDAInstruction& r) {
  const Form& f = *d.form;
  for (int k = 0; k < f.count; ++k) {
    if (f.ops[k] == oJb || f.ops[k] == oJv) {
      r.isRelative = true;
      r.targetCell = d.address + d.immPos;
      r.targetSize = d.immSize;
      r.target = RelativeTarget(d, r.next);
      r.widenable = !(d.op >= 0xE0 && d.op <= 0xE3) || d.twoByte;
      if (!d.twoByte && d.op == 0xE8)
        r.isCall = true;
      else
        r.isJump = true;
      return;
    }
  }
  if (d.twoByte) return;
  if (d.op == 0x9A) r.isCall = true;
  if (d.op == 0xEA) r.isJump = true;
  if (d.op != 0xFF || d.reg < 2 || d.reg > 5) return;
  if (d.reg <= 3)
    r.isCall = true;
  else
    r.isJump = true;
  if (d.memory && d.base == kNoReg && d.index == kNoReg && d.dispSize == 4 &&
      !d.ad16) {
    r.targetCellRef = d.address + d.dispPos;
    r.targetSize = 4;
    if (!env.ReadDword(static_cast<Cardinal>(d.disp), r.target)) {
      r.valid = false;
      r.target = 0;
    }
    return;
  }
  if (!regs) return;
  if (d.memory) {
    if (d.ad16 || d.base == kNoReg || d.index != kNoReg || d.dispSize) return;
    Cardinal cell = (*regs)[d.base];
    if (!cell) return;
    Cardinal pointer;
    if (!env.ReadDword(cell, pointer)) return;
    r.targetCellRef = cell;
    r.targetSize = 4;
    if (!env.ReadDword(pointer, r.target)) {
      r.valid = false;
      r.target = 0;
    }
  } else {
    Cardinal cell = (*regs)[d.rm];
    if (!cell) return;
    r.targetCell = cell;
    r.targetSize = 4;
    if (!env.ReadDword(cell, r.target)) {
      r.valid = false;
      r.target = 0;
    }
  }
}
bool Decode(const TDAEnvironment& env, Cardinal address, String* text,
            TDARegisterState* regs, TDAInstruction& r) {
  r = TDAInstruction();
  r.address = address;
  Decoded d;
  d.address = address;
  d.avail = env.Read(address, d.buf, sizeof d.buf);
  if (d.avail > 15) d.avail = 15;
  bool ok = DecodeBytes(d);
  r.next = address + (d.pos ? d.pos : 1);
  if (d.fail) r.next = address + d.pos;
  if (d.hasModrm) r.modRm = d.modrm;
  if (ok) {
    r.valid = true;
    r.opcode = d.twoByte ? Word(0x0F00 | d.code) : d.op;
    WorkOutTarget(env, d, regs, r);
    if ((r.isCall || r.isJump) && r.target == r.next &&
        (r.isRelative || r.targetCell || r.targetCellRef)) {
      r.isCall = r.isJump = false;
      r.isRelative = false;
      r.target = r.targetCell = r.targetCellRef = 0;
      r.targetSize = 0;
      r.widenable = false;
    }
    if (regs && r.valid) UpdateRegisters(d, *regs);
  }
  // A string prefix counts ECX down whatever follows.
  if (regs && d.rep && !d.twoByte && d.op) (*regs)[1] = 0;
  if (ok) {
  } else if (d.fail && d.pos == 0) {
    r.next = address;
  }
  if (!text) return r.valid;
  if (!r.valid) {
    AppendInvalidBytes(env, address, r.next, *text);
    return false;
  }
  AppendInstructionText(env, d, r, *text);
  return true;
}

}  // namespace

bool DecodeInstruction(const TDAEnvironment& env, Cardinal address,
                       TDAInstruction& instr) {
  return Decode(env, address, nullptr, nullptr, instr);
}

bool DecodeInstructionTracked(const TDAEnvironment& env, Cardinal address,
                              TDARegisterState& regs, TDAInstruction& instr) {
  return Decode(env, address, nullptr, &regs, instr);
}

bool DecodeInstructionEx(const TDAEnvironment& env, Cardinal address,
                         String* text, TDARegisterState* regs,
                         TDAInstruction& instr) {
  return Decode(env, address, text, regs, instr);
}
