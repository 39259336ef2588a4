// The one-line text of an instruction: mnemonic, operands in the layout of
// the disassembly listing, and the symbol or text comment of an address it
// uses.
#include "PellorDisAsmDetail.h"

using namespace disasm_detail;

namespace {

const char* const kReg32[8] = {"eax", "ecx", "edx", "ebx",
                               "esp", "ebp", "esi", "edi"};
const char* const kReg16[8] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
const char* const kReg8[8] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
const char* const kSeg[8] = {"es", "cs", "ss", "ds", "fs", "gs", "?", "?"};
const char* const kCond[16] = {"o", "no", "b", "nb", "z", "nz", "be", "a",
                               "s", "ns", "p", "np", "l", "ge", "le", "g"};
const char* const kBase16[8] = {"bx+si", "bx+di", "bp+si", "bp+di",
                                "si",    "di",    "bp",    "bx"};

const char kHex[] = "0123456789abcdef";

void AppendNumber(String& s, Cardinal v) {
  if (v <= 9) {
    s += char('0' + v);
  } else {
    s += '$';
    AppendHex(s, v);
  }
}

void AppendSigned(String& s, Integer v, bool plus) {
  if (v < 0) {
    s += '-';
    AppendNumber(s, Cardinal(0) - static_cast<Cardinal>(v));
  } else {
    if (plus) s += '+';
    AppendNumber(s, static_cast<Cardinal>(v));
  }
}

Integer SignExtend(Cardinal v, Byte size) {
  if (size == 1) return static_cast<int8_t>(v);
  if (size == 2) return static_cast<int16_t>(v);
  return static_cast<Integer>(v);
}

// Memory size of an operand in bytes (0 = unknown or irrelevant).
Byte MemorySize(const Decoded& d, Opnd op) {
  switch (op) {
    case oEb:
      return 1;
    case oEw:
    case oMw:
    case oEdw:
    case oEvw:
      return 2;
    case oMa:
      return Byte(2 * OperandSize(d));
    case oQd:
    case oQq:
      // With a 66 prefix the MMX forms work on a whole xmm operand.
      if ((d.form->flags & fMmx) && d.op16) return 16;
      return op == oQd ? 4 : 8;
    case oEd:
    case oMd:
    case oWd:
      return 4;
    case oEv:
      return OperandSize(d);
    case oMq:
    case oWq:
      return 8;
    case oMt:
      return 10;
    case oMo:
      return 16;
    case oWx:
      if (d.form->flags & fScalar)
        return d.variant == 3 ? 4 : d.variant == 2 ? 8 : 16;
      return 16;
    default:
      return 0;
  }
}

Byte RegisterSize(const Decoded& d, Opnd op) {
  switch (op) {
    case oGb:
    case oZb:
    case oAL:
    case oCL:
      return 1;
    case oGw:
    case oAX:
    case oSw:
    case oDX:
      return 2;
    case oGd:
    case oRd:
    case oCd:
    case oDd:
      return 4;
    case oGv:
    case oZv:
    case oeAX:
      return OperandSize(d);
    case oPq:
    case oNq:
      return (d.form->flags & fMmx) && d.op16 ? 16 : 8;
    case oVx:
    case oUx:
      return 16;
    case oST:
    case oSTi:
      return 10;
    default:
      return 0;
  }
}

const char* SizeName(Byte size) {
  switch (size) {
    case 1:
      return "byte";
    case 2:
      return "word";
    case 4:
      return "dword";
    case 8:
      return "qword";
    case 10:
      return "tbyte";
    case 16:
      return "oword";
    default:
      return nullptr;
  }
}

void AppendMemory(String& s, const Decoded& d, Opnd op) {
  const Form& f = *d.form;
  Byte size = MemorySize(d, op);
  if (size) {
    bool needed = true;
    for (int k = 0; k < f.count; ++k) {
      Byte rs = RegisterSize(d, f.ops[k]);
      if (rs && f.ops[k] != op) needed = rs != size;
    }
    if (f.count == 1 || needed) {
      if (const char* name = SizeName(size)) {
        s += name;
        s += " ptr ";
      }
    }
  }
  if (d.seg) {
    s += kSeg[d.seg - 1];
    s += ':';
  }
  s += '[';
  bool any = false;
  if (d.ad16) {
    if (d.base16 != 0xFF) {
      s += kBase16[d.base16];
      any = true;
    }
  } else {
    if (d.base != kNoReg) {
      s += kReg32[d.base];
      any = true;
    }
    if (d.index != kNoReg) {
      if (any) s += '+';
      s += kReg32[d.index];
      if (d.scale > 1) {
        s += '*';
        s += char('0' + d.scale);
      }
      any = true;
    }
  }
  if (!any) {
    Cardinal v = d.dispSize == 2 ? Cardinal(d.disp) & 0xFFFF
                                 : static_cast<Cardinal>(d.disp);
    AppendNumber(s, v);
  } else if (d.disp) {
    AppendSigned(s, d.disp, true);
  }
  s += ']';
}

void AppendRegister(String& s, const Decoded& d, Opnd op, Byte r) {
  Byte size = RegisterSize(d, op);
  if (op == oPq || op == oNq || op == oQq || op == oQd) {
    if ((d.form->flags & fMmx) && d.op16) {
      s += "xmm";
    } else {
      s += "mm";
    }
    s += char('0' + r);
    return;
  }
  if (op == oVx || op == oUx || op == oWx || op == oWd || op == oWq) {
    s += "xmm";
    s += char('0' + r);
    return;
  }
  if (size == 1)
    s += kReg8[r];
  else if (size == 2)
    s += kReg16[r];
  else
    s += kReg32[r];
}

void AppendOperand(String& s, const Decoded& d, Opnd op, Cardinal next,
                   bool secondImmediate) {
  if (IsMemOnly(op)) {
    AppendMemory(s, d, op);
    return;
  }
  if (IsRegOrMem(op)) {
    if (d.memory) {
      AppendMemory(s, d, op);
    } else {
      Byte size = op == oEb                 ? 1
                  : op == oEw               ? 2
                  : op == oEv || op == oEvw ? OperandSize(d)
                                            : 4;
      s += size == 1 ? kReg8[d.rm] : size == 2 ? kReg16[d.rm] : kReg32[d.rm];
    }
    return;
  }
  switch (op) {
    case oQq:
    case oQd:
    case oWx:
    case oWd:
    case oWq:
      if (d.memory)
        AppendMemory(s, d, op);
      else
        AppendRegister(s, d, op, d.rm);
      return;
    case oGb:
    case oGw:
    case oGd:
    case oGv:
    case oPq:
    case oVx:
      AppendRegister(s, d, op, d.reg);
      return;
    case oNq:
    case oUx:
    case oRd:
      AppendRegister(s, d, op, d.rm);
      return;
    case oZb:
    case oZv:
      AppendRegister(s, d, op, (d.twoByte ? d.code : d.op) & 7);
      return;
    case oAL:
      s += "al";
      return;
    case oCL:
      s += "cl";
      return;
    case oDX:
      s += "dx";
      return;
    case oAX:
      s += "ax";
      return;
    case oeAX:
      s += d.op16 ? "ax" : "eax";
      return;
    case oSw:
      s += kSeg[d.reg];
      return;
    case oSg:
      s += kSeg[(d.op == 0x0F ? d.code : d.op) >> 3 & 7];
      return;
    case oCd:
      s += "cr";
      s += char('0' + d.reg);
      return;
    case oDd:
      s += "dr";
      s += char('0' + d.reg);
      return;
    case oST:
      s += "st";
      return;
    case oSTi:
      s += "st(";
      s += char('0' + d.rm);
      s += ')';
      return;
    case oOne:
      s += '1';
      return;
    case oThree:
      s += '3';
      return;
    case oIb:
    case oIw:
    case oIv:
      AppendNumber(s, secondImmediate ? d.imm2 : d.imm);
      return;
    case oIsb:
    case oIsv:
      AppendSigned(s, SignExtend(d.imm, d.immSize), false);
      return;
    case oJb:
    case oJv: {
      AppendSigned(s, SignExtend(d.imm, d.immSize), true);
      s += " ($";
      AppendHex(s, RelativeTarget(d, next));
      s += ')';
      return;
    }
    case oAp:
      s += '$';
      AppendHex(s, d.imm2);
      s += ":$";
      AppendHex(s, d.imm);
      return;
    case oOb:
    case oOv:
      s += d.seg ? kSeg[d.seg - 1] : "ds";
      s += ":[";
      AppendNumber(s, d.imm);
      s += ']';
      return;
    default:
      return;
  }
}

void AppendMnemonic(String& s, const Decoded& d) {
  const char* m = d.form->mnem;
  if (d.fpu) s += 'f';
  if (d.twoByte && d.code == 0x0F) {
    s += OpcodeTables().names3d[d.suffix];
    return;
  }
  if (!d.twoByte && d.op == 0xE3 && d.ad16) {
    // The counter is cx with a 16-bit address size.
    s += "jcxz";
    return;
  }
  bool doubleSize = d.variant == 1 || d.variant == 2;
  bool scalar = d.variant == 2 || d.variant == 3;
  for (; *m; ++m) {
    if (*m == '%') {
      if (m[1] == 'c' && m[2] == 'c') {
        s += kCond[(d.twoByte ? d.code : d.op) & 15];
        m += 2;
        continue;
      }
    }
    if (*m == 'S')
      s += doubleSize ? 'd' : 's';
    else if (*m == 'P')
      s += scalar ? 's' : 'p';
    else
      s += *m;
  }
  if ((d.form->flags & fWide) && d.op16) s += 'w';
}

// Readable text at address, as the comments show it.
bool LooksLikeText(const TDAEnvironment& env, Cardinal address, String& text) {
  Cardinal end = env.ImageEnd(address);
  if (end == 0 || address >= end || end - address < 100) return false;
  char buf[100];
  Cardinal n = env.Read(address, buf, sizeof buf);
  Integer letters = 0, punct = 0, symbols = 0, odd = 0;
  text.clear();
  for (Cardinal i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(buf[i]);
    if (c == 0 || c == 10 || c == 0xFF) break;
    if (c < 32) return false;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
        (c >= '0' && c <= '9') || c == ' ')
      ++letters;
    else if (c == ',' || c == '.' || c == ':' || c == '\\')
      ++punct;
    else if (c >= '!' && c <= ']')
      ++symbols;
    else
      ++odd;
    text += static_cast<char>(c);
  }
  if (text.size() < 4) return false;
  if (punct * 5 >= letters * 2) return false;
  Integer textual = letters + punct / 2;
  return symbols * 8 < textual && odd * 10 < textual + symbols / 4;
}

// The comment of a target or an operand address: its symbol (also through
// a jump stub there), else readable text. Empty when neither.
String DASymbolComment(const TDAEnvironment& env, Cardinal address,
                       bool allowText) {
  String name = env.SymbolName(address);
  if (name.empty()) {
    Byte first = 0;
    if (env.Read(address, &first, 1) == 1 &&
        (first == 0xE9 || first == 0xEB || first == 0xFF)) {
      TDAInstruction stub;
      if (DecodeInstruction(env, address, stub) && stub.target && stub.isJump)
        name = env.SymbolName(stub.target), address = stub.target;
    }
  }
  if (!name.empty()) {
    String module = env.ForeignModuleName(address);
    if (!module.empty() && name.find('(') == String::npos)
      name += " (" + module + ")";
    return "  ; " + name;
  }
  String text;
  if (allowText && LooksLikeText(env, address, text))
    return "  ; '" + text + "'";
  return String();
}

}  // namespace

void disasm_detail::AppendHex(String& s, Cardinal v, int digits) {
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kHex[v & 15];
    v >>= 4;
  } while (v);
  for (int i = n; i < digits; ++i) s += '0';
  while (n) s += buf[--n];
}

void disasm_detail::PadTo(String& s, size_t col, size_t lineStart) {
  if (s.size() - lineStart < col) s.append(col - (s.size() - lineStart), ' ');
}

void disasm_detail::AppendInvalidBytes(const TDAEnvironment& env,
                                       Cardinal address, Cardinal next,
                                       String& text) {
  Cardinal end = next > address ? next : address + 1;
  if (end - address > 15) end = address + 15;
  for (Cardinal a = address; a < end; ++a) {
    Byte b = 0;
    if (env.Read(a, &b, 1) != 1) break;
    if (a != address) text += "\r\n";
    AppendHex(text, a, 8);
    text += "   db $";
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
}

void disasm_detail::AppendInstructionText(const TDAEnvironment& env,
                                          const Decoded& d,
                                          const TDAInstruction& r,
                                          String& text) {
  String& s = text;
  size_t start = s.size();
  AppendHex(s, r.address, 8);
  s += "   ";
  if (d.lock) s += "lock ";
  if (!d.twoByte && d.rep == 0xF2) s += "repne ";
  if (!d.twoByte && d.rep == 0xF3) s += "rep ";
  AppendMnemonic(s, d);
  const Form& f = *d.form;
  if (f.count) {
    PadTo(s, 19, start);
    if (s.back() != ' ') s += ' ';
    bool immediateSeen = false;
    for (int k = 0; k < f.count; ++k) {
      if (k) s += ", ";
      AppendOperand(s, d, f.ops[k], r.next, immediateSeen);
      if (ImmediateSize(d, f.ops[k])) immediateSeen = true;
    }
  }
  String comment;
  if (r.target && (r.isCall || r.isJump)) {
    comment = DASymbolComment(env, r.target, false);
  } else {
    if (d.memory && d.dispSize == 4 && !d.ad16)
      comment = DASymbolComment(env, static_cast<Cardinal>(d.disp), true);
    bool moffs = !d.twoByte && d.op >= 0xA0 && d.op <= 0xA3;
    if (comment.empty() && moffs && !d.ad16)
      comment = DASymbolComment(env, d.imm, true);
    if (comment.empty() && d.immSize == 4 && !r.isRelative && !moffs &&
        d.form->ops[0] != oJv)
      comment = DASymbolComment(env, d.imm, true);
  }
  if (!comment.empty()) {
    PadTo(s, 40, start);
    s += comment;
  }
}
