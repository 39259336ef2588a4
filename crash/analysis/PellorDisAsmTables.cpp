// The x86 opcode tables. Every opcode is described by text in the notation
// of the published opcode map ("add Eb,Gb"), compiled once into forms. "/"
// separates the variants chosen by prefix (none, 66, F2, F3; an empty one
// falls back to the first; in the one-byte map only 66 counts), ":"
// separates the memory form from a register form of another name, "@n"
// names a group whose row is chosen by the reg field, "#" starts the flags:
// letters a c d b s p i D name registers that the instruction changes
// without naming them, "r" marks a first operand that is only read, "x" an
// instruction that writes both operands and "w" one whose stack or state
// width a 66 prefix halves without an operand showing it (the mnemonic then
// ends in "w").
#include <cstdlib>
#include <cstring>

#include "PellorDisAsmDetail.h"

using namespace disasm_detail;

namespace {

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

bool IsRegOnly(Opnd op) { return op == oRd || op == oNq || op == oUx; }
bool HasModrmOperand(Opnd op) {
  if (IsMemOnly(op) || IsRegOrMem(op)) return true;
  switch (op) {
    case oGb:
    case oGw:
    case oGd:
    case oGv:
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

static_assert(sizeof kGroups / sizeof kGroups[0] == kGroupCount);
// The MMX shift groups 0F 71-73, whose registers are xmm with a 66 prefix.
constexpr int kGroupShiftW = 21, kGroupShiftD = 22, kGroupShiftQ = 23;

void FillEntry(Entry& e, const char* text) {
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

void MarkMmx(Form& f) {
  if (!f.valid) return;
  for (Opnd op : f.ops)
    if (op == oPq || op == oQq || op == oQd || op == oNq) f.flags |= fMmx;
}

void FillGroupRow(Group& g, int reg, const char* text) {
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

void FillFpuReg(Group& g, int reg, const char* text) {
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

}  // namespace

Tables::Tables() {
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

const Tables& disasm_detail::OpcodeTables() {
  static const Tables tables;
  return tables;
}
