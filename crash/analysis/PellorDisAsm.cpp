#include "PellorDisAsm.h"

#include <cxxabi.h>
#include <unwind.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>

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
// Opcode tables
//
// Every opcode is described by text in the notation of the published
// opcode map ("add Eb,Gb"), compiled once into forms. "/" separates the
// variants chosen by prefix (none, 66, F2, F3; an empty one falls back to
// the first; in the one-byte map only 66 counts), ":" separates the memory
// form from a register form of another name, "@n" names a group whose row
// is chosen by the reg field, "#" starts the flags: letters a c d b s p i D
// name registers that the instruction changes without naming them, "r"
// marks a first operand that is only read, "x" an instruction that writes
// both operands and "w" one whose stack or state width a 66 prefix halves
// without an operand showing it (the mnemonic then ends in "w").
// ---------------------------------------------------------------------------

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

// A group row: forms by reg field, memory form and register form; the
// register form may vary by rm field too.
struct Group {
  Form mem[8];
  Form reg[8][8];
};

struct OpndName {
  const char* name;
  Opnd op;
};
const OpndName kOpndNames[] = {
    {"Eb", oEb},   {"Ew", oEw},   {"Ed", oEd},   {"Ev", oEv}, {"Edw", oEdw},
    {"Evw", oEvw}, {"Ma", oMa},   {"Gb", oGb},   {"Gw", oGw}, {"Gd", oGd},
    {"Gv", oGv},   {"M", oM},     {"Mp", oMp},   {"Mw", oMw}, {"Md", oMd},
    {"Mq", oMq},   {"Mt", oMt},   {"Mo", oMo},   {"Ib", oIb}, {"Iw", oIw},
    {"Iv", oIv},   {"Isb", oIsb}, {"Isv", oIsv}, {"1", oOne}, {"3", oThree},
    {"Jb", oJb},   {"Jv", oJv},   {"Ap", oAp},   {"Ob", oOb}, {"Ov", oOv},
    {"Sw", oSw},   {"Sg", oSg},   {"Cd", oCd},   {"Dd", oDd}, {"Rd", oRd},
    {"AL", oAL},   {"CL", oCL},   {"DX", oDX},   {"AX", oAX}, {"eAX", oeAX},
    {"Zb", oZb},   {"Zv", oZv},   {"Pq", oPq},   {"Qq", oQq}, {"Qd", oQd},
    {"Nq", oNq},   {"Vx", oVx},   {"Wx", oWx},   {"Wd", oWd}, {"Wq", oWq},
    {"Ux", oUx},   {"ST", oST},   {"STi", oSTi},
};

bool IsMemOnly(Opnd op) { return op >= oM && op <= oMa; }
bool IsRegOnly(Opnd op) { return op == oRd || op == oNq || op == oUx; }
bool HasModrmOperand(Opnd op) {
  switch (op) {
    case oEb:
    case oEw:
    case oEd:
    case oEv:
    case oEdw:
    case oEvw:
    case oGb:
    case oGw:
    case oGd:
    case oGv:
    case oM:
    case oMp:
    case oMw:
    case oMd:
    case oMq:
    case oMt:
    case oMo:
    case oMa:
    case oSw:
    case oCd:
    case oDd:
    case oRd:
    case oPq:
    case oQq:
    case oQd:
    case oNq:
    case oVx:
    case oWx:
    case oWd:
    case oWq:
    case oUx:
    case oSTi:
      return true;
    default:
      return false;
  }
}

// "add Eb,Gb #r" into a form; "" or "!" is an invalid form.
Form ParseForm(const char* text, size_t len) {
  Form f;
  while (len && *text == ' ') ++text, --len;
  if (len == 0 || *text == '!') return f;
  size_t i = 0, m = 0;
  while (i < len && text[i] != ' ' && m + 1 < sizeof f.mnem)
    f.mnem[m++] = text[i++];
  f.valid = true;
  while (i < len) {
    while (i < len && (text[i] == ' ' || text[i] == ',')) ++i;
    if (i >= len) break;
    if (text[i] == '#') {
      for (++i; i < len; ++i) {
        switch (text[i]) {
          case 'a':
            f.forget |= 1;
            break;
          case 'c':
            f.forget |= 2;
            break;
          case 'd':
            f.forget |= 4;
            break;
          case 'b':
            f.forget |= 8;
            break;
          case 's':
            f.forget |= 16;
            break;
          case 'p':
            f.forget |= 32;
            break;
          case 'i':
            f.forget |= 64;
            break;
          case 'D':
            f.forget |= 128;
            break;
          case 'r':
            f.flags |= fRead;
            break;
          case 'x':
            f.flags |= fBoth;
            break;
          case 'w':
            f.flags |= fWide;
            break;
          default:
            break;
        }
      }
      break;
    }
    size_t s = i;
    while (i < len && text[i] != ',' && text[i] != ' ') ++i;
    for (const OpndName& n : kOpndNames) {
      if (std::strlen(n.name) == i - s &&
          std::memcmp(n.name, text + s, i - s) == 0 && f.count < 3) {
        f.ops[f.count++] = n.op;
        if (IsMemOnly(n.op)) f.memOnly = true;
        if (IsRegOnly(n.op)) f.regOnly = true;
        break;
      }
    }
  }
  for (const char* c = f.mnem; *c; ++c)
    if (*c == 'S' || *c == 'P') f.flags |= fScalar;
  return f;
}

// clang-format off
const char* const kOneByte[256] = {
  // 00
  "add Eb,Gb", "add Ev,Gv", "add Gb,Eb", "add Gv,Ev", "add AL,Ib", "add eAX,Iv", "push Sg #rw", "pop Sg #w",
  "or Eb,Gb", "or Ev,Gv", "or Gb,Eb", "or Gv,Ev", "or AL,Ib", "or eAX,Iv", "push Sg #rw", nullptr,
  // 10
  "adc Eb,Gb", "adc Ev,Gv", "adc Gb,Eb", "adc Gv,Ev", "adc AL,Ib", "adc eAX,Iv", "push Sg #rw", "pop Sg #w",
  "sbb Eb,Gb", "sbb Ev,Gv", "sbb Gb,Eb", "sbb Gv,Ev", "sbb AL,Ib", "sbb eAX,Iv", "push Sg #rw", "pop Sg #w",
  // 20
  "and Eb,Gb", "and Ev,Gv", "and Gb,Eb", "and Gv,Ev", "and AL,Ib", "and eAX,Iv", "=", "daa #a",
  "sub Eb,Gb", "sub Ev,Gv", "sub Gb,Eb", "sub Gv,Ev", "sub AL,Ib", "sub eAX,Iv", "=", "das #a",
  // 30
  "xor Eb,Gb", "xor Ev,Gv", "xor Gb,Eb", "xor Gv,Ev", "xor AL,Ib", "xor eAX,Iv", "=", "aaa #a",
  "cmp Eb,Gb #r", "cmp Ev,Gv #r", "cmp Gb,Eb #r", "cmp Gv,Ev #r", "cmp AL,Ib #r", "cmp eAX,Iv #r", "=", "aas #a",
  // 40
  "inc Zv", "inc Zv", "inc Zv", "inc Zv", "inc Zv", "inc Zv", "inc Zv", "inc Zv",
  "dec Zv", "dec Zv", "dec Zv", "dec Zv", "dec Zv", "dec Zv", "dec Zv", "dec Zv",
  // 50
  "push Zv #r", "push Zv #r", "push Zv #r", "push Zv #r", "push Zv #r", "push Zv #r", "push Zv #r", "push Zv #r",
  "pop Zv", "pop Zv", "pop Zv", "pop Zv", "pop Zv", "pop Zv", "pop Zv", "pop Zv",
  // 60
  "pushad/pusha", "popad/popa #acdbspiD", "bound Gv,Ma #r", "arpl Ew,Gw", "=", "=", "=", "=",
  "push Iv #w", "imul Gv,Ev,Isv", "push Isb #w", "imul Gv,Ev,Isb", "insb #D", "insd/insw #D", "outsb #i", "outsd/outsw #i",
  // 70
  "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb",
  "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb", "j%cc Jb",
  // 80
  "@0", "@1", "@2", "@3", "test Eb,Gb #r", "test Ev,Gv #r", "xchg Eb,Gb #x", "xchg Ev,Gv #x",
  "mov Eb,Gb", "mov Ev,Gv", "mov Gb,Eb", "mov Gv,Ev", "mov Evw,Sw", "lea Gv,M", "mov Sw,Ew", "@4",
  // 90
  "nop", "xchg Zv,eAX #x", "xchg Zv,eAX #x", "xchg Zv,eAX #x", "xchg Zv,eAX #x", "xchg Zv,eAX #x", "xchg Zv,eAX #x", "xchg Zv,eAX #x",
  "cwde/cbw #a", "cdq/cwd #d", "call Ap", "wait", "pushfd/pushf", "popfd/popf", "sahf", "lahf #a",
  // A0
  "mov AL,Ob", "mov eAX,Ov", "mov Ob,AL", "mov Ov,eAX", "movsb #iD", "movsd/movsw #iD", "cmpsb #iD", "cmpsd/cmpsw #iD",
  "test AL,Ib #r", "test eAX,Iv #r", "stosb #D", "stosd/stosw #D", "lodsb #ai", "lodsd/lodsw #ai", "scasb #D", "scasd/scasw #D",
  // B0
  "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib", "mov Zb,Ib",
  "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv", "mov Zv,Iv",
  // C0
  "@5", "@6", "ret Iw #w", "ret #w", "les Gv,Mp", "lds Gv,Mp", "@7", "@8",
  "enter Iw,Ib #pw", "leave #pw", "retf Iw #w", "retf #w", "int 3", "int Ib", "into", "iretd/iret",
  // D0
  "@9", "@10", "@11", "@12", "aam Ib #a", "aad Ib #a", nullptr, "xlat #a",
  "@x", "@x", "@x", "@x", "@x", "@x", "@x", "@x",
  // E0
  "loopne Jb #c", "loope Jb #c", "loop Jb #c", "jecxz Jb", "in AL,Ib", "in eAX,Ib", "out Ib,AL #r", "out Ib,eAX #r",
  "call Jv #w", "jmp Jv", "jmp Ap", "jmp Jb", "in AL,DX", "in eAX,DX", "out DX,AL #r", "out DX,eAX #r",
  // F0
  "=", "int1", "=", "=", "hlt", "cmc", "@13", "@14",
  "clc", "stc", "cli", "sti", "cld", "std", "@15", "@16",
};

const char* const kTwoByte[256] = {
  // 0F 00
  "@17", "@18", "lar Gv,Evw", "lsl Gv,Evw", nullptr, nullptr, "clts", nullptr,
  "invd", "wbinvd", nullptr, "ud2", nullptr, "@19", "femms", "3dnow Pq,Qq",
  // 0F 10
  "movups Vx,Wx/movupd Vx,Wx/movsd Vx,Wq/movss Vx,Wd",
  "movups Wx,Vx/movupd Wx,Vx/movsd Wq,Vx/movss Wd,Vx",
  "movlps Vx,Mq:movhlps Vx,Ux/movlpd Vx,Mq/movddup Vx,Wq/movsldup Vx,Wx",
  "movlps Mq,Vx/movlpd Mq,Vx",
  "unpcklps Vx,Wx/unpcklpd Vx,Wx", "unpckhps Vx,Wx/unpckhpd Vx,Wx",
  "movhps Vx,Mq:movlhps Vx,Ux/movhpd Vx,Mq//movshdup Vx,Wx",
  "movhps Mq,Vx/movhpd Mq,Vx",
  "@20", "nop Ev #r", "nop Ev #r", "nop Ev #r", "nop Ev #r", "nop Ev #r", "nop Ev #r", "nop Ev #r",
  // 0F 20
  "mov Rd,Cd", "mov Rd,Dd", "mov Cd,Rd", "mov Dd,Rd", nullptr, nullptr, nullptr, nullptr,
  "movaps Vx,Wx/movapd Vx,Wx", "movaps Wx,Vx/movapd Wx,Vx",
  "cvtpi2ps Vx,Qq/cvtpi2pd Vx,Qq/cvtsi2sd Vx,Ed/cvtsi2ss Vx,Ed",
  "movntps Mo,Vx/movntpd Mo,Vx",
  "cvttps2pi Pq,Wq/cvttpd2pi Pq,Wx/cvttsd2si Gd,Wq/cvttss2si Gd,Wd",
  "cvtps2pi Pq,Wq/cvtpd2pi Pq,Wx/cvtsd2si Gd,Wq/cvtss2si Gd,Wd",
  "ucomiss Vx,Wd #r/ucomisd Vx,Wq #r", "comiss Vx,Wd #r/comisd Vx,Wq #r",
  // 0F 30
  "wrmsr", "rdtsc #ad", "rdmsr #ad", "rdpmc #ad", "sysenter", "sysexit", nullptr, nullptr,
  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
  // 0F 40
  "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev",
  "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev", "cmov%cc Gv,Ev",
  // 0F 50
  "movmskps Gd,Ux/movmskpd Gd,Ux", "sqrtPS Vx,Wx", "rsqrtps Vx,Wx///rsqrtss Vx,Wd", "rcpps Vx,Wx///rcpss Vx,Wd",
  "andps Vx,Wx/andpd Vx,Wx", "andnps Vx,Wx/andnpd Vx,Wx", "orps Vx,Wx/orpd Vx,Wx", "xorps Vx,Wx/xorpd Vx,Wx",
  "addPS Vx,Wx", "mulPS Vx,Wx",
  "cvtps2pd Vx,Wq/cvtpd2ps Vx,Wx/cvtsd2ss Vx,Wq/cvtss2sd Vx,Wd",
  "cvtdq2ps Vx,Wx/cvtps2dq Vx,Wx//cvttps2dq Vx,Wx",
  "subPS Vx,Wx", "minPS Vx,Wx", "divPS Vx,Wx", "maxPS Vx,Wx",
  // 0F 60
  "punpcklbw Pq,Qd", "punpcklwd Pq,Qd", "punpckldq Pq,Qd", "packsswb Pq,Qq",
  "pcmpgtb Pq,Qq", "pcmpgtw Pq,Qq", "pcmpgtd Pq,Qq", "packuswb Pq,Qq",
  "punpckhbw Pq,Qq", "punpckhwd Pq,Qq", "punpckhdq Pq,Qq", "packssdw Pq,Qq",
  "/punpcklqdq Vx,Wx", "/punpckhqdq Vx,Wx", "movd Pq,Ed/movd Vx,Ed",
  "movq Pq,Qq/movdqa Vx,Wx//movdqu Vx,Wx",
  // 0F 70
  "pshufw Pq,Qq,Ib/pshufd Vx,Wx,Ib/pshuflw Vx,Wx,Ib/pshufhw Vx,Wx,Ib",
  "@21", "@22", "@23", "pcmpeqb Pq,Qq", "pcmpeqw Pq,Qq", "pcmpeqd Pq,Qq", "emms",
  nullptr, nullptr, nullptr, nullptr,
  "/haddpd Vx,Wx/haddps Vx,Wx", "/hsubpd Vx,Wx/hsubps Vx,Wx",
  "movd Ed,Pq/movd Ed,Vx//movq Vx,Wq", "movq Qq,Pq/movdqa Wx,Vx//movdqu Wx,Vx",
  // 0F 80
  "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv",
  "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv", "j%cc Jv",
  // 0F 90
  "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb",
  "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb", "set%cc Eb",
  // 0F A0
  "push Sg #rw", "pop Sg #w", "cpuid #acdb", "bt Ev,Gv #r", "shld Ev,Gv,Ib", "shld Ev,Gv,CL", nullptr, nullptr,
  "push Sg #rw", "pop Sg #w", "rsm", "bts Ev,Gv", "shrd Ev,Gv,Ib", "shrd Ev,Gv,CL", "@24", "imul Gv,Ev",
  // 0F B0
  "cmpxchg Eb,Gb #a", "cmpxchg Ev,Gv #a", "lss Gv,Mp", "btr Ev,Gv", "lfs Gv,Mp", "lgs Gv,Mp", "movzx Gv,Eb", "movzx Gv,Ew",
  nullptr, "ud1 Gv,Ev #r", "@25", "btc Ev,Gv", "bsf Gv,Ev", "bsr Gv,Ev", "movsx Gv,Eb", "movsx Gv,Ew",
  // 0F C0
  "xadd Eb,Gb #x", "xadd Ev,Gv #x", "cmpPS Vx,Wx,Ib", "movnti Md,Gd",
  "pinsrw Pq,Edw,Ib/pinsrw Vx,Edw,Ib", "pextrw Gd,Nq,Ib/pextrw Gd,Ux,Ib",
  "shufps Vx,Wx,Ib/shufpd Vx,Wx,Ib", "@26",
  "bswap Zv", "bswap Zv", "bswap Zv", "bswap Zv", "bswap Zv", "bswap Zv", "bswap Zv", "bswap Zv",
  // 0F D0
  "/addsubpd Vx,Wx/addsubps Vx,Wx", "psrlw Pq,Qq", "psrld Pq,Qq", "psrlq Pq,Qq",
  "paddq Pq,Qq", "pmullw Pq,Qq", "/movq Wq,Vx/movdq2q Pq,Ux/movq2dq Vx,Nq", "pmovmskb Gd,Nq",
  "psubusb Pq,Qq", "psubusw Pq,Qq", "pminub Pq,Qq", "pand Pq,Qq",
  "paddusb Pq,Qq", "paddusw Pq,Qq", "pmaxub Pq,Qq", "pandn Pq,Qq",
  // 0F E0
  "pavgb Pq,Qq", "psraw Pq,Qq", "psrad Pq,Qq", "pavgw Pq,Qq",
  "pmulhuw Pq,Qq", "pmulhw Pq,Qq", "/cvttpd2dq Vx,Wx/cvtpd2dq Vx,Wx/cvtdq2pd Vx,Wq", "movntq Mq,Pq/movntdq Mo,Vx",
  "psubsb Pq,Qq", "psubsw Pq,Qq", "pminsw Pq,Qq", "por Pq,Qq",
  "paddsb Pq,Qq", "paddsw Pq,Qq", "pmaxsw Pq,Qq", "pxor Pq,Qq",
  // 0F F0
  "//lddqu Vx,Mo", "psllw Pq,Qq", "pslld Pq,Qq", "psllq Pq,Qq",
  "pmuludq Pq,Qq", "pmaddwd Pq,Qq", "psadbw Pq,Qq", "maskmovq Pq,Nq #r/maskmovdqu Vx,Ux #r",
  "psubb Pq,Qq", "psubw Pq,Qq", "psubd Pq,Qq", "psubq Pq,Qq",
  "paddb Pq,Qq", "paddw Pq,Qq", "paddd Pq,Qq", nullptr,
};

// Group rows: eight entries by reg field; "mem:reg" where the register
// form differs, a register form of "a-b-c-..." varies by rm field.
const char* const kGroups[][8] = {
  // 0: 80
  {"add Eb,Isb", "or Eb,Isb", "adc Eb,Isb", "sbb Eb,Isb", "and Eb,Isb", "sub Eb,Isb", "xor Eb,Isb", "cmp Eb,Isb #r"},
  // 1: 81
  {"add Ev,Isv", "or Ev,Isv", "adc Ev,Isv", "sbb Ev,Isv", "and Ev,Isv", "sub Ev,Isv", "xor Ev,Isv", "cmp Ev,Isv #r"},
  // 2: 82
  {"add Eb,Isb", "or Eb,Isb", "adc Eb,Isb", "sbb Eb,Isb", "and Eb,Isb", "sub Eb,Isb", "xor Eb,Isb", "cmp Eb,Isb #r"},
  // 3: 83
  {"add Ev,Isb", "or Ev,Isb", "adc Ev,Isb", "sbb Ev,Isb", "and Ev,Isb", "sub Ev,Isb", "xor Ev,Isb", "cmp Ev,Isb #r"},
  // 4: 8F
  {"pop Ev", "!", "!", "!", "!", "!", "!", "!"},
  // 5: C0
  {"rol Eb,Ib", "ror Eb,Ib", "rcl Eb,Ib", "rcr Eb,Ib", "shl Eb,Ib", "shr Eb,Ib", "sal Eb,Ib", "sar Eb,Ib"},
  // 6: C1
  {"rol Ev,Ib", "ror Ev,Ib", "rcl Ev,Ib", "rcr Ev,Ib", "shl Ev,Ib", "shr Ev,Ib", "sal Ev,Ib", "sar Ev,Ib"},
  // 7: C6
  {"mov Eb,Ib", "!", "!", "!", "!", "!", "!", "!"},
  // 8: C7
  {"mov Ev,Iv", "!", "!", "!", "!", "!", "!", "!"},
  // 9: D0
  {"rol Eb,1", "ror Eb,1", "rcl Eb,1", "rcr Eb,1", "shl Eb,1", "shr Eb,1", "sal Eb,1", "sar Eb,1"},
  // 10: D1
  {"rol Ev,1", "ror Ev,1", "rcl Ev,1", "rcr Ev,1", "shl Ev,1", "shr Ev,1", "sal Ev,1", "sar Ev,1"},
  // 11: D2
  {"rol Eb,CL", "ror Eb,CL", "rcl Eb,CL", "rcr Eb,CL", "shl Eb,CL", "shr Eb,CL", "sal Eb,CL", "sar Eb,CL"},
  // 12: D3
  {"rol Ev,CL", "ror Ev,CL", "rcl Ev,CL", "rcr Ev,CL", "shl Ev,CL", "shr Ev,CL", "sal Ev,CL", "sar Ev,CL"},
  // 13: F6
  {"test Eb,Ib #r", "test Eb,Ib #r", "not Eb", "neg Eb", "mul Eb #ra", "imul Eb #ra", "div Eb #ra", "idiv Eb #ra"},
  // 14: F7
  {"test Ev,Iv #r", "test Ev,Iv #r", "not Ev", "neg Ev", "mul Ev #rad", "imul Ev #rad", "div Ev #rad", "idiv Ev #rad"},
  // 15: FE
  {"inc Eb", "dec Eb", "!", "!", "!", "!", "!", "!"},
  // 16: FF
  {"inc Ev", "dec Ev", "call Ev #r", "call Mp #r", "jmp Ev #r", "jmp Mp #r", "push Ev #r", "!"},
  // 17: 0F 00
  {"sldt Evw", "str Evw", "lldt Ew #r", "ltr Ew #r", "verr Ew #r", "verw Ew #r", "!", "!"},
  // 18: 0F 01
  {"sgdt M #w:!", "sidt M #w:!", "lgdt M #w:!", "lidt M #w:!", "smsw Evw", "!", "lmsw Ew #r", "invlpg M:rdtscp #acd"},
  // 19: 0F 0D
  {"prefetch M:!", "prefetchw M:!", "!", "!", "!", "!", "!", "!"},
  // 20: 0F 18
  {"prefetchnta M:!", "prefetcht0 M:!", "prefetcht1 M:!", "prefetcht2 M:!", "!", "!", "!", "!"},
  // 21: 0F 71
  {"!", "!", "!:psrlw Nq,Ib", "!", "!:psraw Nq,Ib", "!", "!:psllw Nq,Ib", "!"},
  // 22: 0F 72
  {"!", "!", "!:psrld Nq,Ib", "!", "!:psrad Nq,Ib", "!", "!:pslld Nq,Ib", "!"},
  // 23: 0F 73
  {"!", "!", "!:psrlq Nq,Ib", "!:psrldq Ux,Ib", "!", "!", "!:psllq Nq,Ib", "!:pslldq Ux,Ib"},
  // 24: 0F AE
  {"fxsave M:!", "fxrstor M:!", "ldmxcsr Md:!", "stmxcsr Md:!", "!", "!:lfence", "!:mfence", "clflush M:sfence"},
  // 25: 0F BA
  {"!", "!", "!", "!", "bt Ev,Ib #r", "bts Ev,Ib", "btr Ev,Ib", "btc Ev,Ib"},
  // 26: 0F C7
  {"!", "cmpxchg8b Mq #ad", "!", "!", "!", "!", "!", "!"},
};

// x87: memory forms per escape byte and reg field, register forms per
// escape byte and reg field ("-" separated by rm where they differ).
const char* const kFpuMem[8][8] = {
  {"add Md", "mul Md", "com Md", "comp Md", "sub Md", "subr Md", "div Md", "divr Md"},
  {"ld Md", "!", "st Md", "stp Md", "ldenv M #w", "ldcw Mw", "nstenv M #w", "nstcw Mw"},
  {"iadd Md", "imul Md", "icom Md", "icomp Md", "isub Md", "isubr Md", "idiv Md", "idivr Md"},
  {"ild Md", "isttp Md", "ist Md", "istp Md", "!", "ld Mt", "!", "stp Mt"},
  {"add Mq", "mul Mq", "com Mq", "comp Mq", "sub Mq", "subr Mq", "div Mq", "divr Mq"},
  {"ld Mq", "isttp Mq", "st Mq", "stp Mq", "rstor M #w", "!", "nsave M #w", "nstsw Mw"},
  {"iadd Mw", "imul Mw", "icom Mw", "icomp Mw", "isub Mw", "isubr Mw", "idiv Mw", "idivr Mw"},
  {"ild Mw", "isttp Mw", "ist Mw", "istp Mw", "bld Mt", "ild Mq", "bstp Mt", "istp Mq"},
};
const char* const kFpuReg[8][8] = {
  {"add ST,STi", "mul ST,STi", "com STi", "comp STi", "sub ST,STi", "subr ST,STi", "div ST,STi", "divr ST,STi"},
  {"ld STi", "xch STi", "nop-!-!-!-!-!-!-!", "stp1 STi",
   "chs-abs-!-!-tst-xam-!-!", "ld1-ldl2t-ldl2e-ldpi-ldlg2-ldln2-ldz-!",
   "2xm1-yl2x-ptan-patan-xtract-prem1-decstp-incstp",
   "prem-yl2xp1-sqrt-sincos-rndint-scale-sin-cos"},
  {"cmovb ST,STi", "cmove ST,STi", "cmovbe ST,STi", "cmovu ST,STi", "!", "!-ucompp-!-!-!-!-!-!", "!", "!"},
  {"cmovnb ST,STi", "cmovne ST,STi", "cmovnbe ST,STi", "cmovnu ST,STi",
   "neni-ndisi-nclex-ninit-nsetpm-!-!-!", "ucomi ST,STi", "comi ST,STi", "!"},
  {"add STi,ST", "mul STi,ST", "com2 STi", "comp3 STi", "subr STi,ST", "sub STi,ST", "divr STi,ST", "div STi,ST"},
  {"free STi", "xch4 STi", "st STi", "stp STi", "ucom STi", "ucomp STi", "!", "!"},
  {"addp STi,ST", "mulp STi,ST", "comp5 STi", "!-compp-!-!-!-!-!-!", "subrp STi,ST", "subp STi,ST", "divrp STi,ST", "divp STi,ST"},
  {"freep STi", "xch7 STi", "stp8 STi", "stp9 STi", "nstsw AX #a-!-!-!-!-!-!-!", "ucomip ST,STi", "comip ST,STi", "!"},
};

// 3DNow! operations by suffix byte.
const struct { Byte code; const char* name; } k3DNow[] = {
  {0x0C, "pi2fw"},    {0x0D, "pi2fd"},    {0x1C, "pf2iw"},   {0x1D, "pf2id"},
  {0x8A, "pfnacc"},   {0x8E, "pfpnacc"},  {0x90, "pfcmpge"}, {0x94, "pfmin"},
  {0x96, "pfrcp"},    {0x97, "pfrsqrt"},  {0x9A, "pfsub"},   {0x9E, "pfadd"},
  {0xA0, "pfcmpgt"},  {0xA4, "pfmax"},    {0xA6, "pfrcpit1"}, {0xA7, "pfrsqit1"},
  {0xAA, "pfsubr"},   {0xAE, "pfacc"},    {0xB0, "pfcmpeq"}, {0xB4, "pfmul"},
  {0xB6, "pfrcpit2"}, {0xB7, "pmulhrw"},  {0xBB, "pswapd"},  {0xBF, "pavgusb"},
};
// clang-format on

constexpr int kGroupCount = sizeof kGroups / sizeof kGroups[0];
// The MMX shift groups 0F 71-73, whose registers are xmm with a 66 prefix.
constexpr int kGroupShiftW = 21, kGroupShiftD = 22, kGroupShiftQ = 23;

struct Tables {
  Entry one[256];
  Entry two[256];
  Group groups[kGroupCount];
  Group fpu[8];
  const char* names3d[256] = {};

  static void FillEntry(Entry& e, const char* text) {
    if (!text) return;
    if (std::strcmp(text, "=") == 0) {
      e.prefix = true;
      return;
    }
    if (text[0] == '@') {
      e.modrm = true;
      e.group = text[1] == 'x' ? Smallint(1000) : Smallint(std::atoi(text + 1));
      return;
    }
    // A variant without flags of its own takes those of the last one
    // ("cwde/cbw #a").
    const char* end = text + std::strlen(text);
    const char* pieces[5] = {text};
    int count = 1;
    for (const char* c = text; c != end && count < 5; ++c)
      if (*c == '/') pieces[count++] = c + 1;
    pieces[count] = end + 1;
    const char* lastHash = std::strchr(pieces[count - 1], '#');
    String inherited = lastHash ? String(" ") + lastHash : String();
    for (int v = 0; v < count && v < 4; ++v) {
      String one(pieces[v], pieces[v + 1] - 1);
      if (TrimmedStr(one).empty()) continue;
      e.present[v] = true;
      String flags;
      size_t hash = one.find('#');
      if (hash != String::npos) {
        flags = " " + one.substr(hash);
        one.erase(hash);
      } else {
        flags = inherited;
      }
      size_t colon = one.find(':');
      String memText = one.substr(0, colon) + flags;
      String regText =
          (colon == String::npos ? one : one.substr(colon + 1)) + flags;
      e.mem[v] = ParseForm(memText.c_str(), memText.size());
      e.reg[v] = ParseForm(regText.c_str(), regText.size());
      for (const Form* f : {&e.mem[v], &e.reg[v]})
        for (Opnd op : f->ops)
          if (HasModrmOperand(op)) e.modrm = true;
    }
  }

  static void MarkMmx(Form& f) {
    if (!f.valid) return;
    for (Opnd op : f.ops)
      if (op == oPq || op == oQq || op == oQd || op == oNq) f.flags |= fMmx;
  }

  static void FillGroupRow(Group& g, int reg, const char* text) {
    const char* colon = std::strchr(text, ':');
    size_t memLen = colon ? size_t(colon - text) : std::strlen(text);
    g.mem[reg] = ParseForm(text, memLen);
    const char* r = colon ? colon + 1 : text;
    size_t rLen = std::strlen(r);
    if (!colon) {
      // Same text for both forms, except memory-only operands.
      Form f = ParseForm(r, rLen);
      if (f.memOnly) f = Form();
      for (int rm = 0; rm < 8; ++rm) g.reg[reg][rm] = f;
    } else {
      Form f = ParseForm(r, rLen);
      for (int rm = 0; rm < 8; ++rm) g.reg[reg][rm] = f;
    }
    if (g.mem[reg].regOnly) g.mem[reg] = Form();
  }

  static void FillFpuReg(Group& g, int reg, const char* text) {
    if (!std::strchr(text, '-')) {
      Form f = ParseForm(text, std::strlen(text));
      for (int rm = 0; rm < 8; ++rm) g.reg[reg][rm] = f;
      return;
    }
    const char* p = text;
    for (int rm = 0; rm < 8; ++rm) {
      const char* dash = std::strchr(p, '-');
      size_t len = dash ? size_t(dash - p) : std::strlen(p);
      g.reg[reg][rm] = ParseForm(p, len);
      if (!dash) break;
      p = dash + 1;
    }
  }

  Tables() {
    for (int i = 0; i < 256; ++i) {
      FillEntry(one[i], kOneByte[i]);
      FillEntry(two[i], kTwoByte[i]);
    }
    for (int g = 0; g < kGroupCount; ++g)
      for (int r = 0; r < 8; ++r) FillGroupRow(groups[g], r, kGroups[g][r]);
    for (int e = 0; e < 8; ++e) {
      for (int r = 0; r < 8; ++r) {
        fpu[e].mem[r] = ParseForm(kFpuMem[e][r], std::strlen(kFpuMem[e][r]));
        FillFpuReg(fpu[e], r, kFpuReg[e][r]);
      }
    }
    for (auto& n : k3DNow) names3d[n.code] = n.name;
    // MMX rows of the two-byte map take xmm operands with a 66 prefix.
    for (int i = 0x60; i < 0x100; ++i) {
      Entry& e = two[i];
      if (e.present[1]) continue;
      MarkMmx(e.mem[0]);
      MarkMmx(e.reg[0]);
    }
    for (int g : {kGroupShiftW, kGroupShiftD, kGroupShiftQ})
      for (auto& byRm : groups[g].reg)
        for (Form& f : byRm) MarkMmx(f);
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

// ---------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------

constexpr Byte kNoReg = 8;

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

Byte OperandSize(const Decoded& d) { return d.op16 ? 2 : 4; }

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

Byte ImmediateSize(const Decoded& d, Opnd op) {
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
  const Tables& t = T();
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

const char* const kReg32[8] = {"eax", "ecx", "edx", "ebx",
                               "esp", "ebp", "esi", "edi"};
const char* const kReg16[8] = {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di"};
const char* const kReg8[8] = {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh"};
const char* const kSeg[8] = {"es", "cs", "ss", "ds", "fs", "gs", "?", "?"};
const char* const kCond[16] = {"o", "no", "b", "nb", "z", "nz", "be", "a",
                               "s", "ns", "p", "np", "l", "ge", "le", "g"};
const char* const kBase16[8] = {"bx+si", "bx+di", "bp+si", "bp+di",
                                "si",    "di",    "bp",    "bx"};

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

// A 16-bit operand size cuts the instruction pointer to 16 bits, so the
// branch lands in the first 64 KB whatever the displacement.
Cardinal RelativeTarget(const Decoded& d, Cardinal next) {
  Integer rel = d.immSize == 1   ? static_cast<int8_t>(d.imm)
                : d.immSize == 2 ? static_cast<int16_t>(d.imm)
                                 : static_cast<Integer>(d.imm);
  Cardinal target = next + static_cast<Cardinal>(rel);
  return d.op16 ? target & 0xFFFF : target;
}

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

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

const char kHex[] = "0123456789abcdef";

void AppendHex(String& s, Cardinal v, int digits = 0) {
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kHex[v & 15];
    v >>= 4;
  } while (v);
  for (int i = n; i < digits; ++i) s += '0';
  while (n) s += buf[--n];
}

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

void PadTo(String& s, size_t col, size_t lineStart = 0) {
  if (s.size() - lineStart < col) s.append(col - (s.size() - lineStart), ' ');
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
  switch (op) {
    case oEb:
    case oEw:
    case oEd:
    case oEv:
    case oEdw:
    case oEvw:
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
    case oM:
    case oMp:
    case oMw:
    case oMd:
    case oMq:
    case oMt:
    case oMo:
    case oMa:
      AppendMemory(s, d, op);
      return;
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
    s += T().names3d[d.suffix];
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
    Cardinal end = r.next > address ? r.next : address + 1;
    if (end - address > 15) end = address + 15;
    for (Cardinal a = address; a < end; ++a) {
      Byte b = 0;
      if (env.Read(a, &b, 1) != 1) break;
      if (a != address) *text += "\r\n";
      AppendHex(*text, a, 8);
      *text += "   db $";
      *text += kHex[b >> 4];
      *text += kHex[b & 15];
    }
    return false;
  }
  String& s = *text;
  size_t start = s.size();
  AppendHex(s, address, 8);
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
