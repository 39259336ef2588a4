// What the parts of the x86 decoder share: the operand kinds and forms that
// the opcode tables compile into, the tables themselves, and the state of
// one instruction being decoded. Only the decoder's own parts include it.
#pragma once

#include "PellorDisAsm.h"

namespace disasm_detail {

enum Opnd : Byte {
  oNone,
  oEb,
  oEw,
  oEd,
  oEv,
  oEdw,  // register or memory
  oEvw,  // register of the operand size, or a word in memory
  oGb,
  oGw,
  oGd,
  oGv,  // general register of the reg field
  oM,
  oMp,
  oMw,
  oMd,
  oMq,
  oMt,
  oMo,
  oMa,  // memory only; oMa is two words of the operand size (bound)
  oIb,
  oIw,
  oIv,
  oIsb,
  oIsv,
  oOne,
  oThree,
  oJb,
  oJv,
  oAp,
  oOb,
  oOv,
  oSw,
  oSg,
  oCd,
  oDd,
  oRd,
  oAL,
  oCL,
  oDX,
  oAX,
  oeAX,
  oZb,
  oZv,
  oPq,
  oQq,
  oQd,
  oNq,  // MMX
  oVx,
  oWx,
  oWd,
  oWq,
  oUx,  // SSE
  oST,
  oSTi,
};

enum : Word {
  fRead = 1,    // first operand is only read
  fBoth = 2,    // both operands are written
  fScalar = 4,  // W sized by prefix (mnemonic has S/P)
  fMmx = 8,     // P/Q/N become V/W/U with a 66 prefix
  fWide = 16,   // "w" after the mnemonic with a 66 prefix
};

struct Form {
  char mnem[16] = {};
  Opnd ops[3] = {oNone, oNone, oNone};
  Byte count = 0;
  Byte forget = 0;  // register mask
  Word flags = 0;
  bool valid = false;
  bool memOnly = false;
  bool regOnly = false;
};

// Forms by prefix variant, for the memory and the register form.
struct Entry {
  Form mem[4];
  Form reg[4];
  bool present[4] = {};  // an absent variant falls back to the first
  Smallint group = -1;   // index into the group table
  bool modrm = false;
  bool prefix = false;
};

inline bool IsMemOnly(Opnd op) { return op >= oM && op <= oMa; }
// A general register of the rm field, or memory.
inline bool IsRegOrMem(Opnd op) { return op >= oEb && op <= oEvw; }

// A group row: forms by reg field, memory form and register form; the
// register form may vary by rm field too.
struct Group {
  Form mem[8];
  Form reg[8][8];
};

// The rows of the group table (80-83, 8F, C0, C1, C6, C7, D0-D3, F6, F7, FE,
// FF and the groups of the two-byte map).
constexpr int kGroupCount = 27;

// The compiled tables: forms by opcode, group, x87 escape and 3DNow! suffix.
struct Tables {
  Entry one[256];
  Entry two[256];
  Group groups[kGroupCount];
  Group fpu[8];
  const char* names3d[256] = {};

  Tables();
};

const Tables& OpcodeTables();

constexpr Byte kNoReg = 8;

// One instruction being decoded: its bytes, prefixes, ModR/M fields,
// displacement, immediates and the form its opcode and prefixes chose.
struct Decoded {
  Byte buf[16];
  Cardinal avail = 0;
  Cardinal pos = 0;
  Cardinal address = 0;
  bool fail = false;  // ran out of readable bytes
  bool op16 = false, ad16 = false, lock = false;
  Byte rep = 0;  // 0xF2 or 0xF3
  Byte seg = 0;  // 1-6: es cs ss ds fs gs
  Byte op = 0;
  bool twoByte = false;
  Byte code = 0;  // the opcode byte within its table
  bool hasModrm = false;
  Byte modrm = 0, mod = 0, reg = 0, rm = 0;
  bool memory = false;
  Byte base = kNoReg, index = kNoReg, scale = 1;
  Byte base16 = 0xFF;  // 16-bit addressing pair, 0-7
  Integer disp = 0;
  Byte dispSize = 0;
  Cardinal dispPos = 0;
  Cardinal imm = 0, imm2 = 0;
  Byte immSize = 0, imm2Size = 0;
  Cardinal immPos = 0;
  const Form* form = nullptr;
  bool fpu = false;
  Byte suffix = 0;  // 3DNow! operation
  Byte variant = 0;

  Byte Next() {
    if (pos >= avail) {
      fail = true;
      return 0;
    }
    return buf[pos++];
  }
  Cardinal Value(Byte size) {
    Cardinal v = 0;
    for (Byte i = 0; i < size; ++i) v |= Cardinal{Next()} << (8 * i);
    return v;
  }
};

inline Byte OperandSize(const Decoded& d) { return d.op16 ? 2 : 4; }

// Bytes of the immediate an operand takes (0 for none).
Byte ImmediateSize(const Decoded& d, Opnd op);
// The target of a relative branch, as the processor works it out.
Cardinal RelativeTarget(const Decoded& d, Cardinal next);

void AppendHex(String& s, Cardinal v, int digits = 0);
// Fills the line that begins at lineStart with blanks up to column col.
void PadTo(String& s, size_t col, size_t lineStart = 0);
// The text of an invalid instruction: one "db" line per byte up to next.
void AppendInvalidBytes(const TDAEnvironment& env, Cardinal address,
                        Cardinal next, String& text);
// The line of a valid instruction, with its symbol or text comment.
void AppendInstructionText(const TDAEnvironment& env, const Decoded& d,
                           const TDAInstruction& r, String& text);

}  // namespace disasm_detail
