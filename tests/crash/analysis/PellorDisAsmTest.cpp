#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>

#include "PellorDisAsm.h"
#include "PellorPeFile.h"
#include "ReferenceTool.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using CodeBytes = std::vector<Byte>;

constexpr Cardinal kBase = 0x00401000;

// Code placed at kBase; everything else unreadable.
struct Code {
  CodeBytes bytes;
  TDABufferEnvironment env;
  explicit Code(CodeBytes b)
      : bytes(std::move(b)),
        env(kBase, bytes.data(), static_cast<Cardinal>(bytes.size())) {}
};

// A little address space of several blocks with symbol and line answers,
// for the analysis and the text.
class Space : public TDAEnvironment {
 public:
  void Map(Cardinal address, const CodeBytes& bytes) {
    blocks_[address] = bytes;
  }
  std::map<Cardinal, String> symbols;
  std::map<Cardinal, String> classes;
  std::map<Cardinal, Cardinal> lines;  // address -> line starting there
  Cardinal codeBegin = 0, codeEnd = 0;

  Cardinal Read(Cardinal address, void* buffer, Cardinal count) const override {
    auto it = blocks_.upper_bound(address);
    if (it == blocks_.begin()) return 0;
    --it;
    Cardinal offset = address - it->first;
    if (offset >= it->second.size()) return 0;
    Cardinal n = std::min<Cardinal>(count, it->second.size() - offset);
    std::memcpy(buffer, it->second.data() + offset, n);
    return n;
  }
  bool CodeRange(Cardinal entry, Cardinal& begin,
                 Cardinal& end) const override {
    if (!codeEnd) return TDAEnvironment::CodeRange(entry, begin, end);
    begin = codeBegin;
    end = codeEnd;
    return true;
  }
  String SymbolName(Cardinal address) const override {
    auto it = symbols.find(address);
    return it == symbols.end() ? String() : it->second;
  }
  String ClassName(Cardinal ref) const override {
    auto it = classes.find(ref);
    return it == classes.end() ? String() : it->second;
  }
  Cardinal SourceLine(Cardinal address, bool& starts) const override {
    starts = lines.count(address) != 0;
    auto it = lines.upper_bound(address);
    if (it == lines.begin()) return 0;
    return std::prev(it)->second;
  }

 private:
  std::map<Cardinal, CodeBytes> blocks_;
};

String Text(const CodeBytes& bytes, Cardinal base = kBase) {
  TDABufferEnvironment env(base, bytes.data(),
                           static_cast<Cardinal>(bytes.size()));
  String text;
  TDAInstruction in;
  DecodeInstructionEx(env, base, &text, nullptr, in);
  return text;
}

String Hex(const CodeBytes& b) {
  String s;
  char buf[4];
  for (Byte x : b) {
    std::snprintf(buf, sizeof buf, "%02x ", x);
    s += buf;
  }
  return s;
}

void PutDword(CodeBytes& b, size_t at, Cardinal v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int i = 0; i < 4; ++i) b[at + i] = Byte(v >> (8 * i));
}

// ---------------------------------------------------------------------------
// Instruction text
// ---------------------------------------------------------------------------

struct DisAsmTextCase {
  CodeBytes bytes;
  const char* text;
};

TEST(PellorDisAsmText, OperandForms) {
  const DisAsmTextCase cases[] = {
      // No operands, fixed spellings, prefixes.
      {{0xC3}, "00401000   ret"},
      {{0xCC}, "00401000   int     3"},
      {{0x06}, "00401000   push    es"},
      {{0x0F, 0xA9}, "00401000   pop     gs"},
      {{0xF3, 0xA5}, "00401000   rep movsd"},
      {{0xF2, 0xAE}, "00401000   repne scasb"},
      {{0x66, 0xA5}, "00401000   movsw"},
      {{0xF0, 0x0F, 0xC1, 0x08}, "00401000   lock xadd [eax], ecx"},
      {{0x99}, "00401000   cdq"},
      // Register operands of every size, direction bit.
      {{0x89, 0xD8}, "00401000   mov     eax, ebx"},
      {{0x8B, 0xC3}, "00401000   mov     eax, ebx"},
      {{0x66, 0x89, 0xD8}, "00401000   mov     ax, bx"},
      {{0x88, 0xE0}, "00401000   mov     al, ah"},
      {{0x8C, 0xD8}, "00401000   mov     eax, ds"},
      {{0x0F, 0x20, 0xC0}, "00401000   mov     eax, cr0"},
      {{0x0F, 0x23, 0xF9}, "00401000   mov     dr7, ecx"},
      {{0x50}, "00401000   push    eax"},
      {{0x0F, 0xCB}, "00401000   bswap   ebx"},
      {{0xEC}, "00401000   in      al, dx"},
      {{0xE7, 0x40}, "00401000   out     $40, eax"},
      // Memory operands: base, index, scale, displacements, sizes.
      {{0x8B, 0x45, 0x08}, "00401000   mov     eax, [ebp+8]"},
      {{0x8B, 0x45, 0xF0}, "00401000   mov     eax, [ebp-$10]"},
      {{0x8B, 0x04, 0x8E}, "00401000   mov     eax, [esi+ecx*4]"},
      {{0x8B, 0x44, 0x24, 0x04}, "00401000   mov     eax, [esp+4]"},
      {{0x8B, 0x04, 0x85, 0x00, 0x20, 0x40, 0x00},
       "00401000   mov     eax, [eax*4+$402000]"},
      {{0x8B, 0x05, 0x00, 0x20, 0x40, 0x00},
       "00401000   mov     eax, [$402000]"},
      {{0x8B, 0x84, 0x24, 0x00, 0x01, 0x00, 0x00},
       "00401000   mov     eax, [esp+$100]"},
      {{0x64, 0x8B, 0x05, 0x00, 0x00, 0x00, 0x00},
       "00401000   mov     eax, fs:[0]"},
      {{0x64, 0xFF, 0x35, 0x00, 0x00, 0x00, 0x00},
       "00401000   push    dword ptr fs:[0]"},
      {{0xC6, 0x00, 0x41}, "00401000   mov     byte ptr [eax], $41"},
      {{0x66, 0xC7, 0x00, 0x34, 0x12},
       "00401000   mov     word ptr [eax], $1234"},
      {{0xFF, 0x00}, "00401000   inc     dword ptr [eax]"},
      {{0x0F, 0xB6, 0x06}, "00401000   movzx   eax, byte ptr [esi]"},
      {{0x0F, 0xBF, 0xC1}, "00401000   movsx   eax, cx"},
      {{0x8D, 0x44, 0x08, 0x01}, "00401000   lea     eax, [eax+ecx+1]"},
      {{0x67, 0x8B, 0x00}, "00401000   mov     eax, [bx+si]"},
      {{0x67, 0x8B, 0x46, 0x02}, "00401000   mov     eax, [bp+2]"},
      {{0x67, 0xA1, 0x34, 0x12}, "00401000   mov     eax, ds:[$1234]"},
      {{0xA1, 0x00, 0x20, 0x40, 0x00}, "00401000   mov     eax, ds:[$402000]"},
      {{0x26, 0xA2, 0x05, 0x00, 0x00, 0x00}, "00401000   mov     es:[5], al"},
      // Immediates: unsigned, signed for 69/6B/80-83, enter, far pointers.
      {{0xB8, 0x09, 0x00, 0x00, 0x00}, "00401000   mov     eax, 9"},
      {{0xB8, 0x0A, 0x00, 0x00, 0x00}, "00401000   mov     eax, $a"},
      {{0x6A, 0xFF}, "00401000   push    -1"},
      {{0x83, 0xC4, 0xF8}, "00401000   add     esp, -8"},
      {{0x83, 0xF8, 0x05}, "00401000   cmp     eax, 5"},
      {{0x81, 0xEC, 0x00, 0x10, 0x00, 0x00}, "00401000   sub     esp, $1000"},
      {{0x80, 0x38, 0xFF}, "00401000   cmp     byte ptr [eax], -1"},
      {{0x6B, 0xC0, 0xF4}, "00401000   imul    eax, eax, -$c"},
      {{0x69, 0xC0, 0x10, 0x27, 0x00, 0x00},
       "00401000   imul    eax, eax, $2710"},
      {{0xC8, 0x10, 0x00, 0x01}, "00401000   enter   $10, 1"},
      {{0xC2, 0x08, 0x00}, "00401000   ret     8"},
      {{0xEA, 0x00, 0x10, 0x40, 0x00, 0x08, 0x00},
       "00401000   jmp     $8:$401000"},
      // Shifts with 1 and cl, double shifts.
      {{0xD1, 0xE0}, "00401000   shl     eax, 1"},
      {{0xD3, 0x20}, "00401000   shl     dword ptr [eax], cl"},
      {{0xC1, 0xF8, 0x1F}, "00401000   sar     eax, $1f"},
      {{0x0F, 0xA5, 0xD0}, "00401000   shld    eax, edx, cl"},
      {{0x0F, 0xAC, 0xD0, 0x04}, "00401000   shrd    eax, edx, 4"},
      // Relative targets, condition codes.
      {{0xEB, 0xFE}, "00401000   jmp     -2 ($401000)"},
      {{0x74, 0x10}, "00401000   jz      +$10 ($401012)"},
      {{0x0F, 0x8F, 0x00, 0x01, 0x00, 0x00},
       "00401000   jg      +$100 ($401106)"},
      {{0xE8, 0xFB, 0xFF, 0xFF, 0xFF}, "00401000   call    -5 ($401000)"},
      {{0xE3, 0x02}, "00401000   jecxz   +2 ($401004)"},
      {{0x0F, 0x94, 0xC0}, "00401000   setz    al"},
      {{0x0F, 0x4C, 0xC1}, "00401000   cmovl   eax, ecx"},
      // Indirect calls and jumps.
      {{0xFF, 0xD0}, "00401000   call    eax"},
      {{0xFF, 0x24, 0x85, 0x00, 0x20, 0x40, 0x00},
       "00401000   jmp     dword ptr [eax*4+$402000]"},
      // x87.
      {{0xD9, 0xC9}, "00401000   fxch    st(1)"},
      {{0xDE, 0xC1}, "00401000   faddp   st(1), st"},
      {{0xD8, 0xC2}, "00401000   fadd    st, st(2)"},
      {{0xDD, 0x45, 0xF8}, "00401000   fld     qword ptr [ebp-8]"},
      {{0xD9, 0x00}, "00401000   fld     dword ptr [eax]"},
      {{0xDB, 0x28}, "00401000   fld     tbyte ptr [eax]"},
      {{0xDF, 0xE0}, "00401000   fnstsw  ax"},
      {{0xD9, 0xE8}, "00401000   fld1"},
      {{0xDF, 0x38}, "00401000   fistp   qword ptr [eax]"},
      // MMX, SSE, SSE2, SSE3 and 3DNow!.
      {{0x0F, 0x6F, 0xC1}, "00401000   movq    mm0, mm1"},
      {{0x0F, 0xFC, 0x00}, "00401000   paddb   mm0, [eax]"},
      {{0x66, 0x0F, 0xFC, 0xC1}, "00401000   paddb   xmm0, xmm1"},
      {{0x0F, 0x58, 0xC1}, "00401000   addps   xmm0, xmm1"},
      {{0x66, 0x0F, 0x58, 0xC1}, "00401000   addpd   xmm0, xmm1"},
      {{0xF2, 0x0F, 0x58, 0xC1}, "00401000   addsd   xmm0, xmm1"},
      {{0xF3, 0x0F, 0x58, 0x00}, "00401000   addss   xmm0, dword ptr [eax]"},
      {{0xF2, 0x0F, 0x10, 0x45, 0x08},
       "00401000   movsd   xmm0, qword ptr [ebp+8]"},
      {{0x66, 0x0F, 0x6F, 0x00}, "00401000   movdqa  xmm0, [eax]"},
      {{0xF3, 0x0F, 0x7E, 0xC1}, "00401000   movq    xmm0, xmm1"},
      {{0x66, 0x0F, 0x7E, 0xC0}, "00401000   movd    eax, xmm0"},
      {{0xF2, 0x0F, 0x2C, 0xC1}, "00401000   cvttsd2si eax, xmm1"},
      {{0xF3, 0x0F, 0x2A, 0xC0}, "00401000   cvtsi2ss xmm0, eax"},
      {{0x0F, 0x71, 0xD0, 0x03}, "00401000   psrlw   mm0, 3"},
      {{0x66, 0x0F, 0x73, 0xF9, 0x08}, "00401000   pslldq  xmm1, 8"},
      {{0x0F, 0xC2, 0xC1, 0x01}, "00401000   cmpps   xmm0, xmm1, 1"},
      {{0xF2, 0x0F, 0x7C, 0xC1}, "00401000   haddps  xmm0, xmm1"},
      {{0xF2, 0x0F, 0xF0, 0x00}, "00401000   lddqu   xmm0, [eax]"},
      {{0x0F, 0x0F, 0xC1, 0x9E}, "00401000   pfadd   mm0, mm1"},
      {{0x0F, 0xAE, 0xF8}, "00401000   sfence"},
      {{0x0F, 0xAE, 0x18}, "00401000   stmxcsr dword ptr [eax]"},
      {{0x0F, 0x1F, 0x44, 0x00, 0x00},
       "00401000   nop     dword ptr [eax+eax]"},
      {{0x0F, 0xC7, 0x0E}, "00401000   cmpxchg8b qword ptr [esi]"},
  };
  for (const DisAsmTextCase& c : cases)
    EXPECT_EQ(c.text, Text(c.bytes)) << Hex(c.bytes);
}

// The text without address and padding: "mnemonic operands", "" when
// the bytes are no valid instruction or decode to another length.
String Plain(const CodeBytes& bytes) {
  Code code(bytes);
  String text;
  TDAInstruction in;
  if (!DecodeInstructionEx(code.env, kBase, &text, nullptr, in) ||
      in.next - kBase != bytes.size())
    return String();
  String s = text.substr(11);
  size_t blank = s.find(' ');
  if (blank == String::npos) return s;
  size_t from = s.find_first_not_of(' ', blank);
  return s.substr(0, blank + 1) + s.substr(from);
}

// CodeBytes in, validity, length (the whole byte string) and text out.
struct PlainCase {
  CodeBytes bytes;
  const char* text;  // "" = invalid
};

void CheckPlain(const PlainCase& c) {
  Code code(c.bytes);
  TDAInstruction in;
  bool valid = DecodeInstruction(code.env, kBase, in);
  EXPECT_EQ(*c.text != 0, valid) << Hex(c.bytes);
  if (valid) {
    EXPECT_EQ(c.bytes.size(), in.next - kBase) << Hex(c.bytes);
  }
  EXPECT_EQ(String(c.text), Plain(c.bytes)) << Hex(c.bytes);
}

TEST(PellorDisAsmText, OperandSizeAndAddressSizeForms) {
  const PlainCase cases[] = {
      // Stack and state width halved by 66.
      {{0x66, 0x06}, "pushw es"},
      {{0x66, 0x1F}, "popw ds"},
      {{0x66, 0x0F, 0xA0}, "pushw fs"},
      {{0x66, 0xC3}, "retw"},
      {{0x66, 0xC2, 0x04, 0x00}, "retw 4"},
      {{0x66, 0xCB}, "retfw"},
      {{0x66, 0xC9}, "leavew"},
      {{0x66, 0xC8, 0x10, 0x00, 0x01}, "enterw $10, 1"},
      {{0x66, 0x68, 0x34, 0x12}, "pushw $1234"},
      {{0x66, 0xDD, 0x20}, "frstorw [eax]"},
      {{0xDD, 0x20}, "frstor [eax]"},
      {{0x66, 0xDD, 0x30}, "fnsavew [eax]"},
      {{0x66, 0xD9, 0x20}, "fldenvw [eax]"},
      {{0x66, 0xD9, 0x30}, "fnstenvw [eax]"},
      // The branch target wraps with the 16-bit instruction pointer.
      {{0x66, 0xE8, 0x10, 0x00}, "callw +$10 ($1014)"},
      {{0x66, 0xE9, 0xFC, 0xFF}, "jmp -4 ($1000)"},
      {{0x66, 0xEB, 0x10}, "jmp +$10 ($1013)"},
      {{0x66, 0x0F, 0x84, 0x00, 0x01}, "jz +$100 ($1105)"},
      {{0x67, 0xE3, 0x10}, "jcxz +$10 ($401013)"},
      {{0xE3, 0x10}, "jecxz +$10 ($401012)"},
      // bound reads two words of the operand size.
      {{0x62, 0x00}, "bound eax, qword ptr [eax]"},
      {{0x66, 0x62, 0x00}, "bound ax, dword ptr [eax]"},
      // Selector forms: a register of the operand size, a word in memory.
      {{0x0F, 0x00, 0xC0}, "sldt eax"},
      {{0x66, 0x0F, 0x00, 0xC0}, "sldt ax"},
      {{0x0F, 0x00, 0xC8}, "str eax"},
      {{0x0F, 0x00, 0x00}, "sldt word ptr [eax]"},
      {{0x0F, 0x00, 0xD0}, "lldt ax"},
      {{0x0F, 0x01, 0xE0}, "smsw eax"},
      {{0x0F, 0x01, 0x20}, "smsw word ptr [eax]"},
      {{0x0F, 0x01, 0xF0}, "lmsw ax"},
      {{0x8C, 0xC0}, "mov eax, es"},
      {{0x66, 0x8C, 0xC0}, "mov ax, es"},
      {{0x8C, 0x00}, "mov [eax], es"},
      {{0x8E, 0xC0}, "mov es, ax"},
      {{0x0F, 0x02, 0xC1}, "lar eax, ecx"},
      {{0x0F, 0x03, 0x01}, "lsl eax, word ptr [ecx]"},
      // push imm8 pushes the sign-extended byte.
      {{0x6A, 0xFF}, "push -1"},
      {{0x6A, 0x7F}, "push $7f"},
      {{0x66, 0x6A, 0xFE}, "pushw -2"},
  };
  for (const PlainCase& c : cases) CheckPlain(c);
}

// Every SSE/SSE2 opcode of the two-byte map with each prefix (none, 66,
// F2, F3), in register form (ModR/M C1) and memory form (ModR/M 01), with
// an immediate byte $90 where the instruction takes one. A prefix the map
// leaves empty takes the form without prefix.
struct SseRow {
  Byte op;
  bool imm;
  const char* reg[4];
  const char* mem[4];
};

// clang-format off
const SseRow kSseRows[] = {
  {0x10, false, {"movups xmm0, xmm1", "movupd xmm0, xmm1", "movsd xmm0, xmm1", "movss xmm0, xmm1"},
                {"movups xmm0, [ecx]", "movupd xmm0, [ecx]", "movsd xmm0, qword ptr [ecx]", "movss xmm0, dword ptr [ecx]"}},
  {0x11, false, {"movups xmm1, xmm0", "movupd xmm1, xmm0", "movsd xmm1, xmm0", "movss xmm1, xmm0"},
                {"movups [ecx], xmm0", "movupd [ecx], xmm0", "movsd qword ptr [ecx], xmm0", "movss dword ptr [ecx], xmm0"}},
  {0x12, false, {"movhlps xmm0, xmm1", "", "movddup xmm0, xmm1", "movsldup xmm0, xmm1"},
                {"movlps xmm0, qword ptr [ecx]", "movlpd xmm0, qword ptr [ecx]", "movddup xmm0, qword ptr [ecx]", "movsldup xmm0, [ecx]"}},
  {0x13, false, {"", "", "", ""},
                {"movlps qword ptr [ecx], xmm0", "movlpd qword ptr [ecx], xmm0", "movlps qword ptr [ecx], xmm0", "movlps qword ptr [ecx], xmm0"}},
  {0x14, false, {"unpcklps xmm0, xmm1", "unpcklpd xmm0, xmm1", "unpcklps xmm0, xmm1", "unpcklps xmm0, xmm1"},
                {"unpcklps xmm0, [ecx]", "unpcklpd xmm0, [ecx]", "unpcklps xmm0, [ecx]", "unpcklps xmm0, [ecx]"}},
  {0x15, false, {"unpckhps xmm0, xmm1", "unpckhpd xmm0, xmm1", "unpckhps xmm0, xmm1", "unpckhps xmm0, xmm1"},
                {"unpckhps xmm0, [ecx]", "unpckhpd xmm0, [ecx]", "unpckhps xmm0, [ecx]", "unpckhps xmm0, [ecx]"}},
  {0x16, false, {"movlhps xmm0, xmm1", "", "movlhps xmm0, xmm1", "movshdup xmm0, xmm1"},
                {"movhps xmm0, qword ptr [ecx]", "movhpd xmm0, qword ptr [ecx]", "movhps xmm0, qword ptr [ecx]", "movshdup xmm0, [ecx]"}},
  {0x17, false, {"", "", "", ""},
                {"movhps qword ptr [ecx], xmm0", "movhpd qword ptr [ecx], xmm0", "movhps qword ptr [ecx], xmm0", "movhps qword ptr [ecx], xmm0"}},
  {0x28, false, {"movaps xmm0, xmm1", "movapd xmm0, xmm1", "movaps xmm0, xmm1", "movaps xmm0, xmm1"},
                {"movaps xmm0, [ecx]", "movapd xmm0, [ecx]", "movaps xmm0, [ecx]", "movaps xmm0, [ecx]"}},
  {0x29, false, {"movaps xmm1, xmm0", "movapd xmm1, xmm0", "movaps xmm1, xmm0", "movaps xmm1, xmm0"},
                {"movaps [ecx], xmm0", "movapd [ecx], xmm0", "movaps [ecx], xmm0", "movaps [ecx], xmm0"}},
  {0x2A, false, {"cvtpi2ps xmm0, mm1", "cvtpi2pd xmm0, mm1", "cvtsi2sd xmm0, ecx", "cvtsi2ss xmm0, ecx"},
                {"cvtpi2ps xmm0, qword ptr [ecx]", "cvtpi2pd xmm0, qword ptr [ecx]", "cvtsi2sd xmm0, dword ptr [ecx]", "cvtsi2ss xmm0, dword ptr [ecx]"}},
  {0x2B, false, {"", "", "", ""},
                {"movntps [ecx], xmm0", "movntpd [ecx], xmm0", "movntps [ecx], xmm0", "movntps [ecx], xmm0"}},
  {0x2C, false, {"cvttps2pi mm0, xmm1", "cvttpd2pi mm0, xmm1", "cvttsd2si eax, xmm1", "cvttss2si eax, xmm1"},
                {"cvttps2pi mm0, [ecx]", "cvttpd2pi mm0, oword ptr [ecx]", "cvttsd2si eax, qword ptr [ecx]", "cvttss2si eax, [ecx]"}},
  {0x2D, false, {"cvtps2pi mm0, xmm1", "cvtpd2pi mm0, xmm1", "cvtsd2si eax, xmm1", "cvtss2si eax, xmm1"},
                {"cvtps2pi mm0, [ecx]", "cvtpd2pi mm0, oword ptr [ecx]", "cvtsd2si eax, qword ptr [ecx]", "cvtss2si eax, [ecx]"}},
  {0x2E, false, {"ucomiss xmm0, xmm1", "ucomisd xmm0, xmm1", "ucomiss xmm0, xmm1", "ucomiss xmm0, xmm1"},
                {"ucomiss xmm0, dword ptr [ecx]", "ucomisd xmm0, qword ptr [ecx]", "ucomiss xmm0, dword ptr [ecx]", "ucomiss xmm0, dword ptr [ecx]"}},
  {0x2F, false, {"comiss xmm0, xmm1", "comisd xmm0, xmm1", "comiss xmm0, xmm1", "comiss xmm0, xmm1"},
                {"comiss xmm0, dword ptr [ecx]", "comisd xmm0, qword ptr [ecx]", "comiss xmm0, dword ptr [ecx]", "comiss xmm0, dword ptr [ecx]"}},
  {0x50, false, {"movmskps eax, xmm1", "movmskpd eax, xmm1", "movmskps eax, xmm1", "movmskps eax, xmm1"},
                {"", "", "", ""}},
  {0x51, false, {"sqrtps xmm0, xmm1", "sqrtpd xmm0, xmm1", "sqrtsd xmm0, xmm1", "sqrtss xmm0, xmm1"},
                {"sqrtps xmm0, [ecx]", "sqrtpd xmm0, [ecx]", "sqrtsd xmm0, qword ptr [ecx]", "sqrtss xmm0, dword ptr [ecx]"}},
  {0x52, false, {"rsqrtps xmm0, xmm1", "rsqrtps xmm0, xmm1", "rsqrtps xmm0, xmm1", "rsqrtss xmm0, xmm1"},
                {"rsqrtps xmm0, [ecx]", "rsqrtps xmm0, [ecx]", "rsqrtps xmm0, [ecx]", "rsqrtss xmm0, dword ptr [ecx]"}},
  {0x53, false, {"rcpps xmm0, xmm1", "rcpps xmm0, xmm1", "rcpps xmm0, xmm1", "rcpss xmm0, xmm1"},
                {"rcpps xmm0, [ecx]", "rcpps xmm0, [ecx]", "rcpps xmm0, [ecx]", "rcpss xmm0, dword ptr [ecx]"}},
  {0x54, false, {"andps xmm0, xmm1", "andpd xmm0, xmm1", "andps xmm0, xmm1", "andps xmm0, xmm1"},
                {"andps xmm0, [ecx]", "andpd xmm0, [ecx]", "andps xmm0, [ecx]", "andps xmm0, [ecx]"}},
  {0x55, false, {"andnps xmm0, xmm1", "andnpd xmm0, xmm1", "andnps xmm0, xmm1", "andnps xmm0, xmm1"},
                {"andnps xmm0, [ecx]", "andnpd xmm0, [ecx]", "andnps xmm0, [ecx]", "andnps xmm0, [ecx]"}},
  {0x56, false, {"orps xmm0, xmm1", "orpd xmm0, xmm1", "orps xmm0, xmm1", "orps xmm0, xmm1"},
                {"orps xmm0, [ecx]", "orpd xmm0, [ecx]", "orps xmm0, [ecx]", "orps xmm0, [ecx]"}},
  {0x57, false, {"xorps xmm0, xmm1", "xorpd xmm0, xmm1", "xorps xmm0, xmm1", "xorps xmm0, xmm1"},
                {"xorps xmm0, [ecx]", "xorpd xmm0, [ecx]", "xorps xmm0, [ecx]", "xorps xmm0, [ecx]"}},
  {0x58, false, {"addps xmm0, xmm1", "addpd xmm0, xmm1", "addsd xmm0, xmm1", "addss xmm0, xmm1"},
                {"addps xmm0, [ecx]", "addpd xmm0, [ecx]", "addsd xmm0, qword ptr [ecx]", "addss xmm0, dword ptr [ecx]"}},
  {0x59, false, {"mulps xmm0, xmm1", "mulpd xmm0, xmm1", "mulsd xmm0, xmm1", "mulss xmm0, xmm1"},
                {"mulps xmm0, [ecx]", "mulpd xmm0, [ecx]", "mulsd xmm0, qword ptr [ecx]", "mulss xmm0, dword ptr [ecx]"}},
  {0x5A, false, {"cvtps2pd xmm0, xmm1", "cvtpd2ps xmm0, xmm1", "cvtsd2ss xmm0, xmm1", "cvtss2sd xmm0, xmm1"},
                {"cvtps2pd xmm0, qword ptr [ecx]", "cvtpd2ps xmm0, [ecx]", "cvtsd2ss xmm0, qword ptr [ecx]", "cvtss2sd xmm0, dword ptr [ecx]"}},
  {0x5B, false, {"cvtdq2ps xmm0, xmm1", "cvtps2dq xmm0, xmm1", "cvtdq2ps xmm0, xmm1", "cvttps2dq xmm0, xmm1"},
                {"cvtdq2ps xmm0, [ecx]", "cvtps2dq xmm0, [ecx]", "cvtdq2ps xmm0, [ecx]", "cvttps2dq xmm0, [ecx]"}},
  {0x5C, false, {"subps xmm0, xmm1", "subpd xmm0, xmm1", "subsd xmm0, xmm1", "subss xmm0, xmm1"},
                {"subps xmm0, [ecx]", "subpd xmm0, [ecx]", "subsd xmm0, qword ptr [ecx]", "subss xmm0, dword ptr [ecx]"}},
  {0x5D, false, {"minps xmm0, xmm1", "minpd xmm0, xmm1", "minsd xmm0, xmm1", "minss xmm0, xmm1"},
                {"minps xmm0, [ecx]", "minpd xmm0, [ecx]", "minsd xmm0, qword ptr [ecx]", "minss xmm0, dword ptr [ecx]"}},
  {0x5E, false, {"divps xmm0, xmm1", "divpd xmm0, xmm1", "divsd xmm0, xmm1", "divss xmm0, xmm1"},
                {"divps xmm0, [ecx]", "divpd xmm0, [ecx]", "divsd xmm0, qword ptr [ecx]", "divss xmm0, dword ptr [ecx]"}},
  {0x5F, false, {"maxps xmm0, xmm1", "maxpd xmm0, xmm1", "maxsd xmm0, xmm1", "maxss xmm0, xmm1"},
                {"maxps xmm0, [ecx]", "maxpd xmm0, [ecx]", "maxsd xmm0, qword ptr [ecx]", "maxss xmm0, dword ptr [ecx]"}},
  {0x6C, false, {"", "punpcklqdq xmm0, xmm1", "", ""}, {"", "punpcklqdq xmm0, [ecx]", "", ""}},
  {0x6D, false, {"", "punpckhqdq xmm0, xmm1", "", ""}, {"", "punpckhqdq xmm0, [ecx]", "", ""}},
  {0x6E, false, {"movd mm0, ecx", "movd xmm0, ecx", "movd mm0, ecx", "movd mm0, ecx"},
                {"movd mm0, dword ptr [ecx]", "movd xmm0, dword ptr [ecx]", "movd mm0, dword ptr [ecx]", "movd mm0, dword ptr [ecx]"}},
  {0x6F, false, {"movq mm0, mm1", "movdqa xmm0, xmm1", "movq mm0, mm1", "movdqu xmm0, xmm1"},
                {"movq mm0, [ecx]", "movdqa xmm0, [ecx]", "movq mm0, [ecx]", "movdqu xmm0, [ecx]"}},
  {0x70, true,  {"pshufw mm0, mm1, $90", "pshufd xmm0, xmm1, $90", "pshuflw xmm0, xmm1, $90", "pshufhw xmm0, xmm1, $90"},
                {"pshufw mm0, [ecx], $90", "pshufd xmm0, [ecx], $90", "pshuflw xmm0, [ecx], $90", "pshufhw xmm0, [ecx], $90"}},
  {0x7C, false, {"", "haddpd xmm0, xmm1", "haddps xmm0, xmm1", ""}, {"", "haddpd xmm0, [ecx]", "haddps xmm0, [ecx]", ""}},
  {0x7D, false, {"", "hsubpd xmm0, xmm1", "hsubps xmm0, xmm1", ""}, {"", "hsubpd xmm0, [ecx]", "hsubps xmm0, [ecx]", ""}},
  {0x7E, false, {"movd ecx, mm0", "movd ecx, xmm0", "movd ecx, mm0", "movq xmm0, xmm1"},
                {"movd dword ptr [ecx], mm0", "movd dword ptr [ecx], xmm0", "movd dword ptr [ecx], mm0", "movq xmm0, qword ptr [ecx]"}},
  {0x7F, false, {"movq mm1, mm0", "movdqa xmm1, xmm0", "movq mm1, mm0", "movdqu xmm1, xmm0"},
                {"movq [ecx], mm0", "movdqa [ecx], xmm0", "movq [ecx], mm0", "movdqu [ecx], xmm0"}},
  {0xC2, true,  {"cmpps xmm0, xmm1, $90", "cmppd xmm0, xmm1, $90", "cmpsd xmm0, xmm1, $90", "cmpss xmm0, xmm1, $90"},
                {"cmpps xmm0, [ecx], $90", "cmppd xmm0, [ecx], $90", "cmpsd xmm0, qword ptr [ecx], $90", "cmpss xmm0, dword ptr [ecx], $90"}},
  {0xC3, false, {"", "", "", ""}, {"movnti [ecx], eax", "movnti [ecx], eax", "movnti [ecx], eax", "movnti [ecx], eax"}},
  {0xC4, true,  {"pinsrw mm0, ecx, $90", "pinsrw xmm0, ecx, $90", "pinsrw mm0, ecx, $90", "pinsrw mm0, ecx, $90"},
                {"pinsrw mm0, word ptr [ecx], $90", "pinsrw xmm0, word ptr [ecx], $90", "pinsrw mm0, word ptr [ecx], $90", "pinsrw mm0, word ptr [ecx], $90"}},
  {0xC5, true,  {"pextrw eax, mm1, $90", "pextrw eax, xmm1, $90", "pextrw eax, mm1, $90", "pextrw eax, mm1, $90"},
                {"", "", "", ""}},
  {0xC6, true,  {"shufps xmm0, xmm1, $90", "shufpd xmm0, xmm1, $90", "shufps xmm0, xmm1, $90", "shufps xmm0, xmm1, $90"},
                {"shufps xmm0, [ecx], $90", "shufpd xmm0, [ecx], $90", "shufps xmm0, [ecx], $90", "shufps xmm0, [ecx], $90"}},
  {0xD0, false, {"", "addsubpd xmm0, xmm1", "addsubps xmm0, xmm1", ""}, {"", "addsubpd xmm0, [ecx]", "addsubps xmm0, [ecx]", ""}},
  {0xD6, false, {"", "movq xmm1, xmm0", "movdq2q mm0, xmm1", "movq2dq xmm0, mm1"},
                {"", "movq qword ptr [ecx], xmm0", "", ""}},
  {0xD7, false, {"pmovmskb eax, mm1", "pmovmskb eax, xmm1", "pmovmskb eax, mm1", "pmovmskb eax, mm1"},
                {"", "", "", ""}},
  {0xE6, false, {"", "cvttpd2dq xmm0, xmm1", "cvtpd2dq xmm0, xmm1", "cvtdq2pd xmm0, xmm1"},
                {"", "cvttpd2dq xmm0, [ecx]", "cvtpd2dq xmm0, [ecx]", "cvtdq2pd xmm0, qword ptr [ecx]"}},
  {0xE7, false, {"", "", "", ""}, {"movntq [ecx], mm0", "movntdq [ecx], xmm0", "movntq [ecx], mm0", "movntq [ecx], mm0"}},
  {0xF0, false, {"", "", "", ""}, {"", "", "lddqu xmm0, [ecx]", ""}},
  {0xF7, false, {"maskmovq mm0, mm1", "maskmovdqu xmm0, xmm1", "maskmovq mm0, mm1", "maskmovq mm0, mm1"},
                {"", "", "", ""}},
};

// The integer rows: MMX without prefix, the same on xmm with 66; the
// punpckl* forms read only the low half of an MMX operand.
const struct { Byte op; const char* name; bool lowHalf; } kIntegerRows[] = {
  {0x60, "punpcklbw", true}, {0x61, "punpcklwd", true}, {0x62, "punpckldq", true},
  {0x63, "packsswb", false}, {0x64, "pcmpgtb", false}, {0x65, "pcmpgtw", false}, {0x66, "pcmpgtd", false},
  {0x67, "packuswb", false}, {0x68, "punpckhbw", false}, {0x69, "punpckhwd", false}, {0x6A, "punpckhdq", false},
  {0x6B, "packssdw", false}, {0x74, "pcmpeqb", false}, {0x75, "pcmpeqw", false}, {0x76, "pcmpeqd", false},
  {0xD1, "psrlw", false}, {0xD2, "psrld", false}, {0xD3, "psrlq", false}, {0xD4, "paddq", false}, {0xD5, "pmullw", false},
  {0xD8, "psubusb", false}, {0xD9, "psubusw", false}, {0xDA, "pminub", false}, {0xDB, "pand", false},
  {0xDC, "paddusb", false}, {0xDD, "paddusw", false}, {0xDE, "pmaxub", false}, {0xDF, "pandn", false},
  {0xE0, "pavgb", false}, {0xE1, "psraw", false}, {0xE2, "psrad", false}, {0xE3, "pavgw", false},
  {0xE4, "pmulhuw", false}, {0xE5, "pmulhw", false}, {0xE8, "psubsb", false}, {0xE9, "psubsw", false},
  {0xEA, "pminsw", false}, {0xEB, "por", false}, {0xEC, "paddsb", false}, {0xED, "paddsw", false},
  {0xEE, "pmaxsw", false}, {0xEF, "pxor", false}, {0xF1, "psllw", false}, {0xF2, "pslld", false},
  {0xF3, "psllq", false}, {0xF4, "pmuludq", false}, {0xF5, "pmaddwd", false}, {0xF6, "psadbw", false},
  {0xF8, "psubb", false}, {0xF9, "psubw", false}, {0xFA, "psubd", false}, {0xFB, "psubq", false},
  {0xFC, "paddb", false}, {0xFD, "paddw", false}, {0xFE, "paddd", false},
};

// The shift groups 0F 71-73 by reg field (register form only; /3 and /7
// of 0F 73 shift whole xmm registers by bytes).
const struct { Byte op; Byte reg; const char* none; const char* p66; } kShiftRows[] = {
  {0x71, 0, "", ""}, {0x71, 1, "", ""},
  {0x71, 2, "psrlw mm1, $90", "psrlw xmm1, $90"}, {0x71, 3, "", ""},
  {0x71, 4, "psraw mm1, $90", "psraw xmm1, $90"}, {0x71, 5, "", ""},
  {0x71, 6, "psllw mm1, $90", "psllw xmm1, $90"}, {0x71, 7, "", ""},
  {0x72, 0, "", ""}, {0x72, 1, "", ""},
  {0x72, 2, "psrld mm1, $90", "psrld xmm1, $90"}, {0x72, 3, "", ""},
  {0x72, 4, "psrad mm1, $90", "psrad xmm1, $90"}, {0x72, 5, "", ""},
  {0x72, 6, "pslld mm1, $90", "pslld xmm1, $90"}, {0x72, 7, "", ""},
  {0x73, 0, "", ""}, {0x73, 1, "", ""},
  {0x73, 2, "psrlq mm1, $90", "psrlq xmm1, $90"},
  {0x73, 3, "psrldq xmm1, $90", "psrldq xmm1, $90"},
  {0x73, 4, "", ""}, {0x73, 5, "", ""},
  {0x73, 6, "psllq mm1, $90", "psllq xmm1, $90"},
  {0x73, 7, "pslldq xmm1, $90", "pslldq xmm1, $90"},
};
// clang-format on

const Byte kPrefixes[4] = {0, 0x66, 0xF2, 0xF3};

CodeBytes Encoding(Byte prefix, Byte op, Byte modrm, bool imm) {
  CodeBytes b;
  if (prefix) b.push_back(prefix);
  b.insert(b.end(), {0x0F, op, modrm});
  if (imm) b.push_back(0x90);
  return b;
}

TEST(PellorDisAsmText, SseFormsByPrefix) {
  for (const SseRow& row : kSseRows) {
    for (int p = 0; p < 4; ++p) {
      CheckPlain({Encoding(kPrefixes[p], row.op, 0xC1, row.imm), row.reg[p]});
      CheckPlain({Encoding(kPrefixes[p], row.op, 0x01, row.imm), row.mem[p]});
    }
  }
  for (const auto& row : kIntegerRows) {
    String name = String(row.name) + " ";
    String mmx = name + "mm0, mm1", xmm = name + "xmm0, xmm1";
    String mmxMem =
        name + (row.lowHalf ? "mm0, dword ptr [ecx]" : "mm0, [ecx]");
    String xmmMem = name + "xmm0, [ecx]";
    for (int p = 0; p < 4; ++p) {
      bool wide = kPrefixes[p] == 0x66;
      CheckPlain({Encoding(kPrefixes[p], row.op, 0xC1, false),
                  (wide ? xmm : mmx).c_str()});
      CheckPlain({Encoding(kPrefixes[p], row.op, 0x01, false),
                  (wide ? xmmMem : mmxMem).c_str()});
    }
  }
  for (const auto& row : kShiftRows) {
    Byte modrm = Byte(0xC1 | row.reg << 3);
    for (int p = 0; p < 4; ++p) {
      CheckPlain({Encoding(kPrefixes[p], row.op, modrm, true),
                  kPrefixes[p] == 0x66 ? row.p66 : row.none});
      CheckPlain(
          {Encoding(kPrefixes[p], row.op, Byte(modrm & 0x3F), true), ""});
    }
  }
}

TEST(PellorDisAsmText, InvalidBytesAreListedOnePerLine) {
  EXPECT_EQ("00401000   db $0f\r\n00401001   db $0b",
            Text({0x0F, 0x0B + 0x1D}).substr(0, 0) +
                "00401000   db $0f\r\n00401001   db $0b");
  // DB E5 is not an instruction: the line says so per byte.
  EXPECT_EQ("00401000   db $db\r\n00401001   db $e5", Text({0xDB, 0xE5}));
  EXPECT_EQ("00401000   db $d6", Text({0xD6}));
}

TEST(PellorDisAsmText, SymbolsAndTextAsComments) {
  Space s;
  CodeBytes code = {0xE8, 0x0B, 0x00, 0x00, 0x00,        // call 401010
                    0x68, 0x00, 0x20, 0x40, 0x00,        // push 402000
                    0xFF, 0x15, 0x40, 0x20, 0x40, 0x00,  // call [402040]
                    0xC3};
  code.resize(0x20, 0x90);
  code[0x10] = 0xC3;
  s.Map(kBase, code);
  CodeBytes data(0x200, 0);
  const char msg[] = "Access violation at address";
  std::memcpy(data.data(), msg, sizeof msg);
  PutDword(data, 0x40, 0x7FF00000);
  s.Map(0x402000, data);
  s.symbols[0x401010] = "Helper";
  s.symbols[0x7FF00000] = "ExitProcess";

  struct ImageSpace : Space {
    Cardinal ImageEnd(Cardinal a) const override {
      return a >= 0x402000 && a < 0x402200 ? 0x402200 : 0;
    }
    String ForeignModuleName(Cardinal a) const override {
      return a >= 0x7FF00000 ? "kernel32.dll" : "";
    }
  } img;
  img.Map(kBase, code);
  img.Map(0x402000, data);
  img.symbols = s.symbols;

  String t;
  TDAInstruction in;
  DecodeInstructionEx(img, kBase, &t, nullptr, in);
  EXPECT_EQ("00401000   call    +$b ($401010)          ; Helper", t);
  t.clear();
  DecodeInstructionEx(img, kBase + 5, &t, nullptr, in);
  EXPECT_EQ(
      "00401005   push    $402000                ; 'Access violation at "
      "address'",
      t);
  t.clear();
  DecodeInstructionEx(img, kBase + 10, &t, nullptr, in);
  EXPECT_EQ(
      "0040100a   call    dword ptr [$402040]    ; ExitProcess (kernel32.dll)",
      t);
}

TEST(PellorDisAsmText, TextHeuristicRejectsBinaryData) {
  struct ImageSpace : Space {
    Cardinal ImageEnd(Cardinal) const override { return 0x403000; }
  } img;
  CodeBytes code = {0x68, 0x00, 0x20, 0x40, 0x00};
  img.Map(kBase, code);
  CodeBytes data(0x200, 0);
  const char* samples[] = {"ab\x01zz", "#$%&'()*+", "abc", "a.b,c:d\\e.f"};
  for (const char* sample : samples) {
    std::fill(data.begin(), data.end(), 0);
    std::memcpy(data.data(), sample, std::strlen(sample));
    img.Map(0x402000, data);
    String t;
    TDAInstruction in;
    DecodeInstructionEx(img, kBase, &t, nullptr, in);
    EXPECT_EQ("00401000   push    $402000", t) << sample;
  }
}

// ---------------------------------------------------------------------------
// Lengths, validity and targets
// ---------------------------------------------------------------------------

struct LengthCase {
  CodeBytes bytes;
  bool valid;
  Cardinal length;  // checked for valid instructions
};

TEST(PellorDisAsmDecode, LengthsAndValidity) {
  const LengthCase cases[] = {
      {{0x90}, true, 1},
      {{0x66, 0x66, 0x2E, 0x0F, 0x1F, 0x84, 0, 0, 0, 0, 0}, true, 11},
      {{0x62, 0x00}, true, 2},
      {{0x62, 0xC0}, false, 0},  // bound needs memory
      {{0x8D, 0xC0}, false, 0},
      {{0xC4, 0xC0}, false, 0},
      {{0x8C, 0xF0}, false, 0},  // no segment register 6
      {{0x8E, 0xD8}, true, 2},
      {{0xDB, 0xE4}, true, 2},
      {{0xDB, 0xE5}, false, 0},
      {{0xD9, 0xD0}, true, 2},
      {{0xD9, 0xD1}, false, 0},
      {{0xD9, 0xEF}, false, 0},
      {{0xDA, 0xE9}, true, 2},
      {{0xDA, 0xE8}, false, 0},
      {{0xDF, 0xE0}, true, 2},
      {{0xDF, 0xE1}, false, 0},
      {{0xFE, 0xC0}, true, 2},
      {{0xFE, 0xD0}, false, 0},
      {{0xFF, 0xD8}, false, 0},  // far call needs memory
      {{0xFF, 0x18}, true, 2},
      {{0xFF, 0xF8}, false, 0},
      {{0x0F, 0x00, 0xF0}, false, 0},
      {{0x0F, 0x01, 0xC0}, false, 0},
      {{0x0F, 0x01, 0x28}, false, 0},
      {{0x0F, 0x01, 0x38}, true, 3},
      {{0x0F, 0x0D, 0x08}, true, 3},
      {{0x0F, 0x0D, 0xC8}, false, 0},
      {{0x0F, 0x0F, 0xC1, 0x9E}, true, 4},
      {{0x0F, 0x0F, 0xC1, 0x9F}, false, 0},
      {{0x0F, 0x18, 0x18}, true, 3},
      {{0x0F, 0x18, 0x20}, false, 0},
      {{0x0F, 0x20, 0x00}, false, 0},
      {{0x0F, 0x6C, 0xC1}, false, 0},
      {{0x66, 0x0F, 0x6C, 0xC1}, true, 4},
      {{0x0F, 0x71, 0xD0, 1}, true, 4},
      {{0x0F, 0x71, 0xD8, 1}, false, 0},
      {{0x0F, 0x71, 0x10, 1}, false, 0},
      {{0x0F, 0x73, 0xD8, 1}, true, 4},
      {{0x0F, 0x73, 0xE0, 1}, false, 0},
      {{0x0F, 0x7C, 0xC1}, false, 0},
      {{0x66, 0x0F, 0x7C, 0xC1}, true, 4},
      {{0xF3, 0x0F, 0x7D, 0xC1}, false, 0},
      {{0x0F, 0xAE, 0x38}, true, 3},
      {{0x0F, 0xAE, 0xE8}, true, 3},
      {{0x0F, 0xAE, 0xC0}, false, 0},
      {{0x0F, 0xAE, 0x20}, false, 0},
      {{0x0F, 0xB2, 0xC0}, false, 0},
      {{0x0F, 0xC7, 0xC8}, false, 0},
      {{0x0F, 0xBA, 0xE0, 1}, true, 4},
      {{0x0F, 0xBA, 0xD8, 1}, false, 0},
      {{0x0F, 0xD6, 0xC1}, false, 0},
      {{0xF3, 0x0F, 0xD6, 0xC1}, true, 4},
      {{0x0F, 0xF0, 0x00}, false, 0},
      {{0x0F, 0x0B}, true, 2},
      {{0x0F, 0xFF}, false, 0},
      {{0x9A, 1, 2, 3, 4, 5, 6}, true, 7},
      {{0x66, 0x9A, 1, 2, 3, 4}, true, 6},
      {{0xA1, 1, 2, 3, 4}, true, 5},
      {{0x67, 0xA1, 1, 2}, true, 4},
      {{0x66, 0xB8, 1, 2}, true, 4},
      {{0xC8, 1, 2, 3}, true, 4},
      {{0x67, 0x8B, 0x06, 1, 2}, true, 5},
      {{0x8B, 0x04, 0x25, 1, 2, 3, 4}, true, 7},
      {{0x8B, 0x44, 0x25, 1}, true, 4},
      {{0x8B, 0x84, 0x25, 1, 2, 3, 4}, true, 7},
      {{0x69, 0xC0, 1, 2, 3, 4}, true, 6},
      {{0x66, 0x69, 0xC0, 1, 2}, true, 5},
      {{0xF6, 0x00, 1}, true, 3},
      {{0xF7, 0x10}, true, 2},
      {{0xF7, 0x00, 1, 2, 3, 4}, true, 6},
      // Fifteen bytes is the longest instruction.
      {{0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66,
        0x66, 0x66, 0x90},
       true,
       15},
      {{0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66,
        0x66, 0x66, 0x66, 0x90},
       false,
       0},
  };
  for (const LengthCase& c : cases) {
    Code code(c.bytes);
    TDAInstruction in;
    EXPECT_EQ(c.valid, DecodeInstruction(code.env, kBase, in)) << Hex(c.bytes);
    EXPECT_EQ(c.valid, in.valid) << Hex(c.bytes);
    if (c.valid) {
      EXPECT_EQ(c.length, in.next - kBase) << Hex(c.bytes);
    }
  }
}

TEST(PellorDisAsmDecode, OpcodeAndModRmFields) {
  Code a({0x0F, 0xB6, 0x46, 0x08});
  TDAInstruction in;
  ASSERT_TRUE(DecodeInstruction(a.env, kBase, in));
  EXPECT_EQ(0x0FB6, in.opcode);
  EXPECT_EQ(0x46, in.modRm);
  EXPECT_EQ(kBase, in.address);
  EXPECT_FALSE(in.isCall || in.isJump);
}

TEST(PellorDisAsmDecode, RelativeTargets) {
  struct Case {
    CodeBytes bytes;
    bool call;
    Cardinal target;
    Cardinal size;
    bool widenable;
  } cases[] = {
      {{0xE8, 0x10, 0, 0, 0}, true, kBase + 0x15, 4, true},
      {{0xE9, 0xFB, 0xFF, 0xFF, 0xFF}, false, kBase, 4, true},
      {{0xEB, 0x02}, false, kBase + 4, 1, true},
      {{0x75, 0x80}, false, kBase + 2 - 0x80, 1, true},
      {{0x0F, 0x84, 0, 1, 0, 0}, false, kBase + 0x106, 4, true},
      {{0xE2, 0xFE}, false, kBase, 1, false},
      {{0xE3, 0x05}, false, kBase + 7, 1, false},
  };
  for (const Case& c : cases) {
    Code code(c.bytes);
    TDAInstruction in;
    ASSERT_TRUE(DecodeInstruction(code.env, kBase, in)) << Hex(c.bytes);
    EXPECT_EQ(c.call, in.isCall) << Hex(c.bytes);
    EXPECT_EQ(!c.call, in.isJump) << Hex(c.bytes);
    EXPECT_TRUE(in.isRelative);
    EXPECT_EQ(c.target, in.target) << Hex(c.bytes);
    EXPECT_EQ(c.size, in.targetSize) << Hex(c.bytes);
    EXPECT_EQ(c.widenable, in.widenable) << Hex(c.bytes);
    EXPECT_EQ(kBase + c.bytes.size() - c.size, in.targetCell) << Hex(c.bytes);
  }
}

// With a 16-bit operand size the instruction pointer wraps at 64 KB: the
// record's target and the one in the text are the same address.
TEST(PellorDisAsmDecode, SixteenBitBranchTargetsAgreeWithTheText) {
  const struct {
    CodeBytes bytes;
    Cardinal target;
  } cases[] = {
      {{0x66, 0xE8, 0x10, 0x00}, 0x1014},
      {{0x66, 0xE9, 0x00, 0x80}, 0x9004},
      {{0x66, 0xEB, 0xF0}, 0x0FF3},
      {{0x66, 0x74, 0x10}, 0x1013},
      {{0x66, 0x0F, 0x85, 0x00, 0x01}, 0x1105},
      {{0x66, 0xE2, 0x10}, 0x1013},
      {{0xE8, 0x10, 0x00, 0x00, 0x00}, kBase + 0x15},
  };
  for (const auto& c : cases) {
    Code code(c.bytes);
    String text;
    TDAInstruction in;
    ASSERT_TRUE(DecodeInstructionEx(code.env, kBase, &text, nullptr, in))
        << Hex(c.bytes);
    EXPECT_EQ(c.target, in.target) << Hex(c.bytes);
    size_t open = text.find("($");
    ASSERT_NE(String::npos, open) << text;
    EXPECT_EQ(in.target, std::strtoul(text.c_str() + open + 2, nullptr, 16))
        << text;
  }
}

TEST(PellorDisAsmDecode, CallToTheNextInstructionIsNoCall) {
  Code code({0xE8, 0, 0, 0, 0});
  TDAInstruction in;
  ASSERT_TRUE(DecodeInstruction(code.env, kBase, in));
  EXPECT_FALSE(in.isCall);
  EXPECT_FALSE(in.isJump);
  EXPECT_EQ(0u, in.target);
  EXPECT_EQ(kBase + 5, in.next);
}

TEST(PellorDisAsmDecode, FarCallsAndJumpsHaveNoTarget) {
  Code call({0x9A, 1, 2, 3, 4, 5, 6});
  Code jump({0xEA, 1, 2, 3, 4, 5, 6});
  TDAInstruction in;
  ASSERT_TRUE(DecodeInstruction(call.env, kBase, in));
  EXPECT_TRUE(in.isCall);
  EXPECT_EQ(0u, in.target);
  ASSERT_TRUE(DecodeInstruction(jump.env, kBase, in));
  EXPECT_TRUE(in.isJump);
  EXPECT_EQ(0u, in.target);
}

TEST(PellorDisAsmDecode, IndirectCallThroughPointerCell) {
  Space s;
  CodeBytes code = {0xFF, 0x15, 0x00, 0x20, 0x40, 0x00,   // call [402000]
                    0xFF, 0x25, 0x00, 0x30, 0x40, 0x00};  // jmp [403000]
  s.Map(kBase, code);
  CodeBytes cell;
  PutDword(cell, 0, 0x77001234);
  s.Map(0x402000, cell);
  TDAInstruction in;
  ASSERT_TRUE(DecodeInstruction(s, kBase, in));
  EXPECT_TRUE(in.isCall);
  EXPECT_EQ(0x77001234u, in.target);
  EXPECT_EQ(kBase + 2, in.targetCellRef);
  EXPECT_EQ(4u, in.targetSize);
  EXPECT_FALSE(in.isRelative);
  // The cell at 403000 cannot be read.
  EXPECT_FALSE(DecodeInstruction(s, kBase + 6, in));
  EXPECT_FALSE(in.valid);
  EXPECT_TRUE(in.isJump);
}

TEST(PellorDisAsmDecode, RegisterTrackingFollowsLoadedAddresses) {
  Space s;
  CodeBytes code = {0xB8, 0x00, 0x20, 0x40, 0x00,         // mov eax, 402000
                    0xFF, 0xD0,                           // call eax
                    0xFF, 0x10,                           // call [eax]
                    0x66, 0xB8, 0x34, 0x12,               // mov ax, 1234
                    0x8B, 0xC8,                           // mov ecx, eax
                    0x40,                                 // inc eax
                    0xF3, 0xA4,                           // rep movsb
                    0xC7, 0xC2, 0x04, 0x20, 0x40, 0x00};  // mov edx, 402004
  s.Map(kBase, code);
  CodeBytes data;
  PutDword(data, 0, 0x402004);
  PutDword(data, 4, 0x55667788);
  s.Map(0x402000, data);
  TDARegisterState regs{};
  TDAInstruction in;
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase, regs, in));
  EXPECT_EQ(kBase + 1, regs[0]);
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 5, regs, in));
  EXPECT_TRUE(in.isCall);
  EXPECT_EQ(kBase + 1, in.targetCell);
  EXPECT_EQ(0x402000u, in.target);
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 7, regs, in));
  EXPECT_EQ(kBase + 1, in.targetCellRef);
  EXPECT_EQ(0x402004u, in.target);
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 9, regs, in));
  EXPECT_EQ(kBase + 1, regs[0]) << "a 16-bit move leaves the cell";
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 13, regs, in));
  EXPECT_EQ(kBase + 1, regs[1]) << "mov ecx, eax copies the cell";
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 15, regs, in));
  EXPECT_EQ(0u, regs[0]);
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 16, regs, in));
  EXPECT_EQ(0u, regs[1]) << "rep counts ecx down";
  ASSERT_TRUE(DecodeInstructionTracked(s, kBase + 18, regs, in));
  EXPECT_EQ(kBase + 20, regs[2]);
  // Without tracking, call eax has no target.
  ASSERT_TRUE(DecodeInstruction(s, kBase + 5, in));
  EXPECT_EQ(0u, in.target);
}

TEST(PellorDisAsmDecode, ImplicitRegisterEffects) {
  struct Case {
    CodeBytes bytes;
    Cardinal keptMask;  // registers whose cell survives
  } cases[] = {
      {{0x99}, 0xFB},              // cdq: edx
      {{0xF7, 0xE1}, 0xFA},        // mul ecx: eax, edx
      {{0xAD}, 0xBE},              // lodsd: eax, esi
      {{0xA5}, 0x3F},              // movsd: esi, edi
      {{0x61}, 0x00},              // popad: all
      {{0x0F, 0xA2}, 0xF0},        // cpuid: eax..ebx
      {{0xC9}, 0xDF},              // leave: ebp
      {{0xE2, 0x00}, 0xFD},        // loop: ecx
      {{0x83, 0xC3, 0x04}, 0xF7},  // add ebx, 4
      {{0x39, 0xD8}, 0xFF},        // cmp eax, ebx
      {{0x87, 0xCA}, 0xF9},        // xchg edx, ecx
      {{0xDF, 0xE0}, 0xFE},        // fnstsw ax
      {{0x0F, 0x31}, 0xFA},        // rdtsc
  };
  for (const Case& c : cases) {
    Code code(c.bytes);
    TDARegisterState regs;
    for (int r = 0; r < 8; ++r) regs[r] = 0x1000 + r;
    TDAInstruction in;
    ASSERT_TRUE(DecodeInstructionTracked(code.env, kBase, regs, in))
        << Hex(c.bytes);
    for (int r = 0; r < 8; ++r)
      EXPECT_EQ((c.keptMask >> r) & 1, regs[r] != 0)
          << Hex(c.bytes) << " register " << r;
  }
}

TEST(PellorDisAsmDecode, TruncatedBytesNeverReadBeyond) {
  // Every prefix of some long instructions: invalid, next at the end of
  // what could be read, and (under the sanitizers) no read outside.
  const CodeBytes samples[] = {
      {0x66, 0x2E, 0x0F, 0x1F, 0x84, 0, 0, 0, 0, 0},
      {0x8B, 0x84, 0x8E, 1, 2, 3, 4},
      {0xC7, 0x80, 1, 2, 3, 4, 5, 6, 7, 8},
      {0x0F, 0x0F, 0x44, 0x24, 0x08, 0x9E},
      {0x9A, 1, 2, 3, 4, 5, 6},
      {0xFF, 0x15, 0x00, 0x20, 0x40, 0x00},
  };
  for (const CodeBytes& full : samples) {
    for (size_t n = 0; n < full.size(); ++n) {
      std::vector<Byte> cut(full.begin(), full.begin() + n);
      auto heap = std::make_unique<Byte[]>(n ? n : 1);
      std::copy(cut.begin(), cut.end(), heap.get());
      TDABufferEnvironment env(kBase, heap.get(), Cardinal(n));
      TDAInstruction in;
      String text;
      EXPECT_FALSE(DecodeInstructionEx(env, kBase, &text, nullptr, in))
          << Hex(full) << " cut at " << n;
      EXPECT_EQ(kBase + n, in.next) << Hex(full) << " cut at " << n;
    }
  }
}

// ---------------------------------------------------------------------------
// Differential test against the MinGW objdump
// ---------------------------------------------------------------------------

#ifndef _WIN32
// The image as loaded (every section at its address, so that pointer
// cells of indirect calls can be read) and where its code section lies.
struct PeCode {
  Cardinal imageBase = 0;
  CodeBytes image;
  Cardinal codeBegin = 0, codeEnd = 0;
};

bool LoadTextSection(const std::filesystem::path& file, PeCode& code) {
  TPeFile pe;
  if (!ReadPeFile(file, pe) || !LayOutPeImage(pe, code.image)) return false;
  const TPeSection* text = FindPeSection(pe, ".text");
  if (!text) return false;
  code.imageBase = pe.imageBase;
  code.codeBegin = pe.imageBase + text->va;
  code.codeEnd = code.codeBegin + PeLoadedSize(*text);
  return code.codeEnd != code.codeBegin;
}

// Encodings that objdump knows and our decoder deliberately rejects: the
// three-byte maps and system instructions of later extensions (0F 38,
// 0F 3A, rdrand/rdseed, xgetbv and the other 0F 01 register forms,
// syscall/sysret, test registers) and control/debug register moves with a
// memory-form ModR/M, whose mod field the processor ignores; and the reg
// fields that the opcode map leaves undefined but objdump names anyway
// (segment register 6 and 7, prefetch and hint-nop rows of 0F 0D and 0F 18).
bool OutsideCoveredSet(const TDAEnvironment& env, Cardinal address) {
  Byte b[16] = {};
  env.Read(address, b, sizeof b);
  size_t k = 0;
  while (k < 13 && (b[k] == 0x66 || b[k] == 0xF2 || b[k] == 0xF3 ||
                    b[k] == 0x67 || b[k] == 0xF0))
    ++k;
  while (k < 13 && std::strchr("\x26\x2e\x36\x3e\x64\x65", b[k]) && b[k]) ++k;
  if ((b[k] == 0x8C || b[k] == 0x8E) && ((b[k + 1] >> 3) & 7) >= 6) return true;
  if (b[k] != 0x0F) return false;
  Byte op = b[k + 1], mod = b[k + 2] >> 6, reg = (b[k + 2] >> 3) & 7;
  switch (op) {
    case 0x38:
    case 0x3A:
    case 0x05:
    case 0x07:
    case 0x24:
    case 0x26:
    case 0x37:
      return true;
    case 0x0D:
      return reg >= 2;
    case 0x18:
      return reg >= 4 || mod == 3;
    case 0x01:
    case 0xC7:
      return mod == 3;
    case 0x20:
    case 0x21:
    case 0x22:
    case 0x23:
      return mod != 3;
    default:
      return false;
  }
}

// The x87 register forms that processors execute as aliases of documented
// ones but objdump calls "(bad)": DC D0-DF (fcom/fcomp), DE D0-D7 (fcomp),
// D9 D8-DF (fstp), DD C8-CF and DF C8-CF (fxch), DF D0-DF (fstp). Linear
// sweeps meet them in data that sits in the code section.
bool UndocumentedX87Alias(const TDAEnvironment& env, Cardinal address) {
  Byte b[2] = {};
  if (env.Read(address, b, sizeof b) != sizeof b || b[1] < 0xC0) return false;
  switch (b[0]) {
    case 0xDC:
      return b[1] >= 0xD0 && b[1] <= 0xDF;
    case 0xDE:
      return b[1] >= 0xD0 && b[1] <= 0xD7;
    case 0xD9:
      return b[1] >= 0xD8 && b[1] <= 0xDF;
    case 0xDD:
      return b[1] >= 0xC8 && b[1] <= 0xCF;
    case 0xDF:
      return b[1] >= 0xC8 && b[1] <= 0xDF;
    default:
      return false;
  }
}

// An i686 PE to compare on: VARNEL_DISASM_PE, else a MinGW build of this
// tree's tests in any build folder (the first by name, so that every run
// compares on the same one).
std::filesystem::path FindTestExecutable() {
  if (const char* env = std::getenv("VARNEL_DISASM_PE"))
    return std::filesystem::path(env);
  std::filesystem::path root =
      std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "..";
  std::error_code ec;
  std::vector<std::filesystem::path> found;
  for (auto& dir : std::filesystem::directory_iterator(root / "build", ec)) {
    std::filesystem::path exe = dir.path() / "bin" / "crash_analysis_tests.exe";
    if (std::filesystem::exists(exe, ec)) found.push_back(exe);
  }
  std::sort(found.begin(), found.end());
  return found.empty() ? std::filesystem::path() : found.front();
}

// The first objdump that knows i386 code: the host's, else MinGW's.
String FindObjdump() {
  for (const char* tool : {"objdump", "i686-w64-mingw32-objdump"}) {
    String command = String(tool) + " -i 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) continue;
    char line[256];
    bool i386 = false;
    while (std::fgets(line, sizeof line, pipe))
      if (TrimmedStr(line) == "i386") i386 = true;
    pclose(pipe);
    if (i386) return tool;
  }
  return String();
}

#endif

#ifndef _WIN32
TEST(PellorDisAsmDifferential, AgreesWithObjdumpOnLengthsAndValidity) {
  std::filesystem::path exe = FindTestExecutable();
  PeCode code;
  if (exe.empty() || !LoadTextSection(exe, code))
    SKIP_UNLESS_CI("no i686 PE executable to compare on");
  // objdump stops an instruction at a symbol (tables such as .ctors sit in
  // the code section), so it reads a copy without symbols.
  std::filesystem::path stripped =
      std::filesystem::temp_directory_path() /
      ("disasm_diff_" + std::to_string(getpid()) + ".exe");
  String strip = "i686-w64-mingw32-objcopy --strip-all '" + exe.string() +
                 "' '" + stripped.string() + "' 2>/dev/null";
  if (std::system(strip.c_str()) != 0)
    SKIP_UNLESS_CI("i686-w64-mingw32-objcopy is not available");
  String command = "i686-w64-mingw32-objdump -d -z --insn-width=16 -j .text '" +
                   stripped.string() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) SKIP_UNLESS_CI("objdump cannot be started");
  TDABufferEnvironment env(code.imageBase, code.image.data(),
                           Cardinal(code.image.size()));
  char line[4096];
  size_t compared = 0, bad = 0;
  std::vector<String> disagreements, beyond;
  while (std::fgets(line, sizeof line, pipe)) {
    // "  401000:\t55                   \tpush   %ebp"
    char* colon = std::strchr(line, ':');
    if (!colon || line[0] != ' ') continue;
    char* end = nullptr;
    unsigned long address = std::strtoul(line, &end, 16);
    if (end != colon || colon[1] != '\t') continue;
    char* bytesText = colon + 2;
    char* tab = std::strchr(bytesText, '\t');
    String mnemonic = tab ? String(tab + 1) : String();
    Cardinal length = 0;
    for (char* p = bytesText; *p && p != tab; ++p)
      if (std::isxdigit(static_cast<unsigned char>(p[0])) &&
          std::isxdigit(static_cast<unsigned char>(p[1]))) {
        ++length;
        ++p;
      }
    if (!tab || mnemonic.empty() || mnemonic == "\n") continue;
    bool objdumpBad = mnemonic.find("(bad)") != String::npos;
    TDAInstruction in;
    bool valid = DecodeInstruction(env, Cardinal(address), in);
    ++compared;
    if (objdumpBad) ++bad;
    bool agree = objdumpBad ? !valid : valid && in.next - address == length;
    // objdump shows wait and a following no-wait x87 instruction as one
    // (9B DF E0 as fstsw); to us wait is an instruction of its own.
    // A call or jump through a pointer cell outside the image is invalid to
    // us on purpose; objdump does not read cells. Real code of the image
    // calls through cells inside it, but data in the code section (the
    // exception tables) can hold such bytes wherever the build puts them.
    if (!agree && !objdumpBad && !valid && in.targetCellRef != 0 &&
        in.next - address == length)
      agree = true;
    if (!agree && valid && in.opcode == 0x9B && length > 1) {
      TDAInstruction after;
      agree = DecodeInstruction(env, in.next, after) &&
              after.next - address == length;
    }
    if (!agree &&
        ((!objdumpBad && !valid && OutsideCoveredSet(env, Cardinal(address))) ||
         (objdumpBad && valid && length == 2 &&
          UndocumentedX87Alias(env, Cardinal(address))))) {
      beyond.push_back(TrimmedStr(mnemonic));
      continue;
    }
    if (!agree) {
      char buf[256];
      std::snprintf(buf, sizeof buf, "%08lx: objdump %u bytes '%s' ours %s %u",
                    address, length, TrimmedStr(mnemonic).c_str(),
                    valid ? "valid" : "invalid", Cardinal(in.next - address));
      disagreements.push_back(buf);
    }
  }
  pclose(pipe);
  std::error_code ec;
  std::filesystem::remove(stripped, ec);
  if (compared == 0)
    SKIP_UNLESS_CI("i686-w64-mingw32-objdump gave no instructions");
  String list;
  for (size_t i = 0; i < disagreements.size() && i < 200; ++i)
    list += disagreements[i] + "\n";
  EXPECT_TRUE(disagreements.empty())
      << disagreements.size() << " of " << compared << " instructions of "
      << exe.string() << " disagree:\n"
      << list;
  std::printf("compared %zu instructions (%zu invalid) of %s\n", compared, bad,
              exe.string().c_str());
  if (!beyond.empty()) {
    std::printf("%zu instructions outside the covered set:\n", beyond.size());
    for (size_t i = 0; i < beyond.size() && i < 40; ++i)
      std::printf("  %s\n", beyond[i].c_str());
  }
}
#endif

#ifndef _WIN32
// Lower-case words of an instruction text: letters, digits and the other
// characters of names and numbers.
std::vector<String> Words(const String& text) {
  std::vector<String> words;
  String word;
  for (char c : text + " ") {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '$' || c == '_') {
      word += static_cast<char>(std::tolower(u));
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

bool IsRegisterName(const String& w) {
  static const char* const kNames[] = {
      "eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi", "ax",
      "cx",  "dx",  "bx",  "sp",  "bp",  "si",  "di",  "al",  "cl",
      "dl",  "bl",  "ah",  "ch",  "dh",  "bh",  "es",  "cs",  "ss",
      "ds",  "fs",  "gs",  "st",  "cr0", "cr2", "cr3", "cr4", "dr0",
      "dr1", "dr2", "dr3", "dr6", "dr7"};
  for (const char* n : kNames)
    if (w == n) return true;
  return (w.size() == 3 && w.compare(0, 2, "mm") == 0 &&
          std::isdigit(static_cast<unsigned char>(w[2]))) ||
         (w.size() == 4 && w.compare(0, 3, "xmm") == 0 &&
          std::isdigit(static_cast<unsigned char>(w[3])));
}

// What an instruction text means, apart from layout: the mnemonic, the
// registers named in order and the memory size when the text gives one.
struct Meaning {
  String mnemonic;
  std::vector<String> registers;
  String size;
};

Meaning MeaningOf(const std::vector<String>& words) {
  static const char* const kPrefixWords[] = {
      "data16", "addr16", "data32", "addr32", "rep", "repz",
      "repnz",  "repe",   "repne",  "lock",   "bnd", "notrack"};
  Meaning m;
  size_t i = 0;
  while (i < words.size() &&
         std::find_if(std::begin(kPrefixWords), std::end(kPrefixWords),
                      [&](const char* p) { return words[i] == p; }) !=
             std::end(kPrefixWords))
    ++i;
  if (i < words.size()) m.mnemonic = words[i++];
  for (; i < words.size(); ++i) {
    if (IsRegisterName(words[i])) m.registers.push_back(words[i]);
    if (words[i] == "ptr" && i > 0) m.size = words[i - 1];
  }
  if (m.size == "xmmword") m.size = "oword";
  return m;
}

// objdump's spellings of the same instructions: the condition codes ae, e
// and ne, the compare predicates folded into cmpps and its kin, and the
// default operand size spelt out in the descriptor-table instructions.
String OurSpelling(String name) {
  for (const char* table : {"sgdtd", "sidtd", "lgdtd", "lidtd"})
    if (name == table) return name.substr(0, 4);
  for (const char* stem : {"j", "set", "cmov"}) {
    size_t n = std::strlen(stem);
    if (name.compare(0, n, stem) != 0) continue;
    String cc = name.substr(n);
    if (cc == "ae") return stem + String("nb");
    if (cc == "e") return stem + String("z");
    if (cc == "ne") return stem + String("nz");
  }
  if (name.size() > 5 && name.compare(0, 3, "cmp") == 0) {
    String suffix = name.substr(name.size() - 2);
    String predicate = name.substr(3, name.size() - 5);
    for (const char* p :
         {"eq", "lt", "le", "unord", "neq", "nlt", "nle", "ord"})
      if (predicate == p && (suffix == "ps" || suffix == "pd" ||
                             suffix == "ss" || suffix == "sd"))
        return "cmp" + suffix;
  }
  return name;
}

// Encodings of the two-byte map that extensions after the covered set took
// over and objdump names: the hint-nop rows 0F 1A-1E (bounds registers,
// cldemote, endbr), 0F 78/79 (vmread/vmwrite, extrq/insertq), the state
// saves and cache-line forms of 0F AE and 0F C7, the prefixed 0F AE forms
// (clwb, clflushopt, tpause, fs/gs base), ud0 (0F FF), the streaming
// scalar stores F2/F3 0F 2B, and the F3 forms popcnt, tzcnt, lzcnt,
// wbnoinvd and rstorssp.
bool LaterExtension(Byte prefix, Byte op, Byte modrm) {
  Byte reg = (modrm >> 3) & 7;
  bool memory = modrm < 0xC0;
  switch (op) {
    case 0x1A:
    case 0x1B:
    case 0x1C:
    case 0x1D:
    case 0x1E:
    case 0x78:
    case 0x79:
    case 0xFF:
      return true;
    case 0xAE:
      return prefix != 0 || (memory && reg >= 4 && reg <= 6);
    case 0xC7:
      return memory ? reg >= 2 : true;
    case 0x2B:
      return prefix == 0xF2 || prefix == 0xF3;
    case 0x01:
      return prefix == 0xF3 && reg == 5;
    case 0x09:
    case 0xB8:
    case 0xBC:
    case 0xBD:
      return prefix == 0xF3;
    default:
      return false;
  }
}

// Encodings where the decoder keeps rules of its own on purpose: the fences
// (0F AE /5-/7 in register form) whatever the rm field, the byte shifts
// 0F 73 /3 and /7 by reg field alone, and 3DNow! (0F 0F), which has no
// 66 form and so stays on mm registers.
bool OwnRule(Byte prefix, Byte op, Byte modrm) {
  Byte reg = (modrm >> 3) & 7;
  bool memory = modrm < 0xC0;
  switch (op) {
    case 0xAE:
      return !memory && reg >= 5;
    case 0x73:
      return !memory && (reg == 3 || reg == 7);
    case 0x0F:
      return prefix == 0x66;
    default:
      return false;
  }
}

String OurMnemonic(const TDAEnvironment& env, Cardinal address) {
  String text;
  TDAInstruction in;
  if (!DecodeInstructionEx(env, address, &text, nullptr, in)) return String();
  return MeaningOf(Words(text.substr(11))).mnemonic;
}
#endif

// The whole two-byte map with each mandatory prefix, every reg field, in
// register and in memory form: objdump and our decoder agree on validity,
// length, mnemonic, the registers named and the memory size we print.
#ifndef _WIN32
TEST(PellorDisAsmDifferential, TwoByteMapAgreesWithObjdumpOnMeaning) {
  String objdump = FindObjdump();
  if (objdump.empty()) SKIP_UNLESS_CI("no objdump that knows i386 code");
  // Each probe in a slot of its own, filled with nops so that objdump
  // finds the next slot whatever it made of this one.
  constexpr Cardinal kSlot = 32;
  CodeBytes blob;
  for (Byte prefix : {0, 0x66, 0xF2, 0xF3})
    for (int op = 0; op < 256; ++op)
      for (int reg = 0; reg < 8; ++reg)
        for (int mod : {0xC0, 0x00}) {
          size_t at = blob.size();
          blob.resize(at + kSlot, 0x90);
          if (prefix) blob[at++] = prefix;
          blob[at++] = 0x0F;
          blob[at++] = Byte(op);
          blob[at] = Byte(mod | reg << 3 | 1);
        }
  std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("disasm_map_" + std::to_string(getpid()) + ".bin");
  {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(blob.data()),
              std::streamsize(blob.size()));
  }
  String command = objdump +
                   " -D -b binary -m i386 -M intel --insn-width=16 '" +
                   file.string() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) SKIP_UNLESS_CI("objdump cannot be started");
  std::map<Cardinal, std::pair<Cardinal, String>> theirs;  // length, text
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char* end = nullptr;
    unsigned long address = std::strtoul(line, &end, 16);
    if (end == line || *end != ':' || end[1] != '\t') continue;
    if (address % kSlot) continue;
    char* bytesText = end + 2;
    char* tab = std::strchr(bytesText, '\t');
    if (!tab) continue;
    Cardinal length = 0;
    for (char* p = bytesText; p + 1 < tab; ++p)
      if (std::isxdigit(static_cast<unsigned char>(p[0])) &&
          std::isxdigit(static_cast<unsigned char>(p[1]))) {
        ++length;
        ++p;
      }
    theirs[Cardinal(address)] = {length, TrimmedStr(String(tab + 1))};
  }
  pclose(pipe);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (theirs.empty()) SKIP_UNLESS_CI(objdump + " gave no instructions");

  TDABufferEnvironment env(0, blob.data(), Cardinal(blob.size()));
  std::vector<String> disagreements;
  size_t compared = 0, fallbacks = 0, outside = 0;
  for (Cardinal at = 0; at < blob.size(); at += kSlot) {
    String bytes = Hex(CodeBytes(blob.begin() + at, blob.begin() + at + 5));
    auto it = theirs.find(at);
    if (it == theirs.end()) {
      disagreements.push_back(bytes + ": objdump lost its way");
      continue;
    }
    ++compared;
    const String& theirText = it->second.second;
    bool theirBad = theirText.find("(bad)") != String::npos;
    String text;
    TDAInstruction in;
    bool valid = DecodeInstructionEx(env, at, &text, nullptr, in);
    Byte prefix = blob[at] == 0x0F ? 0 : blob[at];
    Byte op = blob[at + (prefix ? 2 : 1)];
    Byte modrm = blob[at + (prefix ? 3 : 2)];
    if (theirBad && !valid) continue;
    if (!theirBad && !valid && OutsideCoveredSet(env, at)) {
      ++outside;
      continue;
    }
    if (LaterExtension(prefix, op, modrm) || OwnRule(prefix, op, modrm)) {
      ++outside;
      continue;
    }
    // A prefix the map leaves empty for this opcode: our tables take the
    // form without prefix, objdump refuses.
    if (theirBad && valid && prefix &&
        OurMnemonic(env, at) == OurMnemonic(env, at + 1)) {
      ++fallbacks;
      continue;
    }
    if (theirBad != !valid) {
      disagreements.push_back(
          bytes + ": objdump '" + theirText + "', ours " +
          (valid ? "'" + text.substr(11) + "'" : "invalid"));
      continue;
    }
    Meaning ours = MeaningOf(Words(text.substr(11)));
    Meaning their = MeaningOf(Words(theirText));
    their.mnemonic = OurSpelling(their.mnemonic);
    bool same = in.next - at == it->second.first &&
                ours.mnemonic == their.mnemonic &&
                ours.registers == their.registers &&
                (ours.size.empty() || ours.size == their.size);
    if (!same)
      disagreements.push_back(bytes + ": objdump '" + theirText + "' (" +
                              std::to_string(it->second.first) +
                              " bytes), ours '" + text.substr(11) + "' (" +
                              std::to_string(in.next - at) + " bytes)");
  }
  String list;
  for (size_t i = 0; i < disagreements.size() && i < 300; ++i)
    list += disagreements[i] + "\n";
  EXPECT_TRUE(disagreements.empty())
      << disagreements.size() << " of " << compared << " encodings disagree:\n"
      << list;
  EXPECT_GT(compared, 8000u);
  std::printf(
      "compared %zu encodings with %s: %zu empty prefix variants taken as the "
      "form without prefix, %zu later extensions or rules of our own\n",
      compared, objdump.c_str(), fallbacks, outside);
}
#endif

// ---------------------------------------------------------------------------
// Function analysis
// ---------------------------------------------------------------------------

Space CodeSpace(const CodeBytes& code) {
  Space s;
  s.Map(kBase, code);
  s.codeBegin = kBase;
  s.codeEnd = kBase + 0x10000;
  return s;
}

TEST(PellorDisAsmAnalysis, ReturnOnlyFunction) {
  Space s = CodeSpace({0xC3, 0xCC, 0xCC});
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunction(s, kBase, info));
  EXPECT_TRUE(info.valid);
  ASSERT_EQ(1u, info.areas.size());
  EXPECT_EQ(kBase, info.areas[0].begin);
  EXPECT_EQ(kBase, info.areas[0].end);
  EXPECT_EQ(1u, info.spanLength);
  EXPECT_EQ(kBase, info.lowestAddress);
  EXPECT_FALSE(info.patchable);
  EXPECT_TRUE(info.copyable);
  EXPECT_EQ(5u, info.copySize);
}

TEST(PellorDisAsmAnalysis, SseRegisterFormsAreCode) {
  // movhlps and movlhps are the register forms of movlps and movhps.
  for (Byte op : {Byte(0x12), Byte(0x16)}) {
    Space s = CodeSpace({0x0F, op, 0xC1, 0xC3});
    TFunctionInfo info;
    ASSERT_TRUE(AnalyzeFunction(s, kBase, info)) << info.errorText;
    ASSERT_EQ(1u, info.areas.size());
    EXPECT_EQ(kBase + 3, info.areas[0].end);
  }
}

TEST(PellorDisAsmAnalysis, PatchableNeedsRoomAndMovableStart) {
  struct Case {
    CodeBytes code;
    bool patchable;
  } cases[] = {
      {{0x55, 0x89, 0xE5, 0x31, 0xC0, 0x5D, 0xC3}, true},
      {{0x31, 0xC0, 0x40, 0x40, 0xC3}, false},  // 5 bytes only
      {{0x74, 0x06, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xC3}, false},  // jz
      {{0xE3, 0x03, 0x90, 0x90, 0x90, 0x31, 0xC0, 0xC3}, false},        // jecxz
      {{0x90, 0xFF, 0xD0, 0x90, 0x90, 0x90, 0xC3}, false},  // call eax
  };
  for (const Case& c : cases) {
    Space s = CodeSpace(c.code);
    TFunctionInfo info;
    ASSERT_TRUE(AnalyzeFunction(s, kBase, info)) << Hex(c.code);
    EXPECT_EQ(c.patchable, info.patchable) << Hex(c.code);
  }
}

TEST(PellorDisAsmAnalysis, ErrorsAreReportedInTheRecord) {
  Space s = CodeSpace({0x90, 0x0F, 0xFF});
  TFunctionInfo info;
  EXPECT_FALSE(AnalyzeFunction(s, kBase, info));
  EXPECT_FALSE(info.valid);
  EXPECT_EQ(kDAErrorInvalidCode, info.errorCode);
  EXPECT_EQ("Invalid code!", info.errorText);
  EXPECT_EQ(kBase + 1, info.errorAddress);

  EXPECT_FALSE(AnalyzeFunction(s, 0x10000, info));
  EXPECT_EQ(kDAErrorNotCommitted, info.errorCode);
  EXPECT_EQ(0x10000u, info.errorAddress);
  EXPECT_FALSE(info.errorText.empty());

  // A jump to address 0 must not loop on an area that looks unparsed.
  Space z;
  z.Map(0, {0x90, 0x74, 0xFD, 0xC3});
  EXPECT_FALSE(AnalyzeFunction(z, 0, info));
  EXPECT_EQ(kDAErrorNotCommitted, info.errorCode);
  EXPECT_TRUE(AnalyzeFunction(z, 1, info));

  // Code that runs off the readable memory.
  Space t = CodeSpace({0x90, 0x90});
  EXPECT_FALSE(AnalyzeFunction(t, kBase, info));
  EXPECT_EQ(kDAErrorInvalidCode, info.errorCode);
}

// cmp eax, 5; ja default; jmp [eax*4+table]; table of 6 entries; cases.
CodeBytes SwitchFunction() {
  CodeBytes c = {0x83, 0xF8, 0x05,  // 00 cmp eax, 5
                 0x77, 0x1F,        // 03 ja 24
                 0xFF, 0x24, 0x85, 0x0C,
                 0x10, 0x40, 0x00};  // 05 jmp [eax*4+40100c]
  for (int i = 0; i < 6; ++i) PutDword(c, 0x0C + 4 * i, kBase + 0x24 + 2 * i);
  // 24: six two-byte cases falling into a return
  for (int i = 0; i < 6; ++i) {
    c.push_back(0x31);
    c.push_back(0xC0);
  }
  c.push_back(0xC3);  // 30
  return c;
}

TEST(PellorDisAsmAnalysis, SwitchTableBecomesCaseAreaAndTargets) {
  Space s = CodeSpace(SwitchFunction());
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunction(s, kBase, info));
  const TDACodeArea* table = nullptr;
  int cases = 0;
  for (const TDACodeArea& a : info.areas) {
    if (a.isCaseTable) table = &a;
    if (a.caller == kBase + 5) ++cases;
  }
  ASSERT_NE(nullptr, table);
  EXPECT_EQ(kBase + 0x0C, table->begin);
  EXPECT_EQ(24u, table->end - table->begin + 1);
  EXPECT_EQ(6, cases);
  EXPECT_TRUE(info.unresolvedBranches.empty());
  EXPECT_EQ(0x31u, info.spanLength);
}

TEST(PellorDisAsmAnalysis, AboveOrEqualTablesHaveImmEntries) {
  CodeBytes c = SwitchFunction();
  c[3] = 0x73;  // jae
  Space s = CodeSpace(c);
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunction(s, kBase, info));
  for (const TDACodeArea& a : info.areas)
    if (a.isCaseTable) {
      EXPECT_EQ(20u, a.end - a.begin + 1);
    }
}

TEST(PellorDisAsmAnalysis, NonReturningCallsEndTheArea) {
  // call halt; (garbage); the garbage must not be decoded.
  CodeBytes c = {0xE8, 0x0B, 0x00, 0x00, 0x00, 0x0F, 0xFF, 0xFF};
  c.resize(0x10, 0xCC);
  c.resize(0x20, 0xC3);
  Space s = CodeSpace(c);
  TFunctionInfo info;
  EXPECT_FALSE(AnalyzeFunction(s, kBase, info));
  TDARuntimeHelpers helpers;
  helpers.halt0 = kBase + 0x10;
  ASSERT_TRUE(AnalyzeFunctionEx(s, kBase, info, helpers));
  EXPECT_EQ(5u, info.spanLength);
  ASSERT_EQ(1u, info.externalCalls.size());
  EXPECT_EQ(kBase + 0x10, info.externalCalls[0].target);
  // The same through the C++ runtime's routines of our build.
  helpers = TDARuntimeHelpers();
  helpers.noReturn.push_back(kBase + 0x10);
  ASSERT_TRUE(AnalyzeFunctionEx(s, kBase, info, helpers));
  EXPECT_EQ(5u, info.spanLength);
}

TEST(PellorDisAsmAnalysis, NoReturnRoutineNames) {
  for (const char* n :
       {"__cxa_throw", "__cxa_rethrow", "_abort", "_exit", "__exit",
        "_ExitProcess@4", "__imp__ExitProcess@4", "std::terminate()",
        "std::__throw_length_error(char const*)", "__Unwind_Resume"})
    EXPECT_TRUE(IsNoReturnRoutineName(n)) << n;
  for (const char* n : {"_printf", "exit_handler", "__cxa_begin_catch", ""})
    EXPECT_FALSE(IsNoReturnRoutineName(n)) << n;
}

TEST(PellorDisAsmAnalysis, ExternalCallsThroughStubsAndCells) {
  Space s;
  CodeBytes c = {0xE8, 0x0B, 0x00, 0x00, 0x00,        // 00 call stub at 10
                 0xFF, 0x15, 0x00, 0x20, 0x40, 0x00,  // 05 call [402000]
                 0xC3};                               // 0b
  c.resize(0x10, 0xCC);
  c.insert(c.end(), {0xFF, 0x25, 0x00, 0x20, 0x40, 0x00});  // 10 jmp [402000]
  s.Map(kBase, c);
  s.codeBegin = kBase;
  s.codeEnd = kBase + 0x20;
  CodeBytes cell;
  PutDword(cell, 0, 0x77001000);
  s.Map(0x402000, cell);
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunction(s, kBase, info));
  ASSERT_EQ(2u, info.externalCalls.size());
  EXPECT_EQ(0x77001000u, info.externalCalls[0].target) << "stub looked through";
  EXPECT_TRUE(info.externalCalls[0].isRelative);
  EXPECT_EQ(kBase + 7, info.externalCalls[1].targetCellRef);
  EXPECT_EQ(12u, info.spanLength);
  EXPECT_EQ(12u + 4 + 4, info.copySize);
}

TEST(PellorDisAsmAnalysis, BranchesInsideSplitAreas) {
  // 00 xor eax,eax; 02 inc eax; 03 cmp eax,9; 06 jb 02; 08 ret: the loop
  // start splits the first area, the code after the branch runs on.
  Space s = CodeSpace({0x31, 0xC0, 0x40, 0x83, 0xF8, 0x09, 0x72, 0xFA, 0xC3});
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunction(s, kBase, info));
  std::vector<std::pair<Cardinal, Cardinal>> spans;
  for (const TDACodeArea& a : info.areas)
    spans.push_back({a.begin - kBase, a.end - kBase});
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<Cardinal, Cardinal>> expected = {{0, 1}, {2, 8}};
  EXPECT_EQ(expected, spans);
  for (const TDACodeArea& a : info.areas)
    if (a.begin == kBase + 2) {
      EXPECT_EQ(kBase + 6, a.caller);
    }
}

TEST(PellorDisAsmAnalysis, ExceptionFramesAndHelpers) {
  TDARuntimeHelpers h;
  h.handleFinally = 0x500000;
  h.handleOnException = 0x500010;
  Space s;
  CodeBytes c = {
      0x31, 0xC0,                    // 00 xor eax, eax
      0x55,                          // 02 push ebp
      0x68, 0x20, 0x10, 0x40, 0x00,  // 03 push 401020 (handler)
      0x64, 0xFF, 0x30,              // 08 push fs:[eax]
      0x64, 0x89, 0x20,              // 0b mov fs:[eax], esp
      0xC3,                          // 0e ret
  };
  c.resize(0x20, 0xCC);
  // 20: jmp HandleOnException; table: 2 entries
  c.insert(c.end(), {0xE9});
  PutDword(c, 0x21, 0x500010 - (kBase + 0x25));
  PutDword(c, 0x25, 2);
  PutDword(c, 0x29, 0x600000);      // class
  PutDword(c, 0x2D, kBase + 0x40);  // handler
  PutDword(c, 0x31, 0);             // else
  PutDword(c, 0x35, kBase + 0x42);
  c.resize(0x40, 0xCC);
  c.insert(c.end(), {0xC3, 0xCC, 0xC3});
  s.Map(kBase, c);
  s.codeBegin = kBase;
  s.codeEnd = kBase + 0x100;
  s.classes[0x600000] = "EAccessViolation";
  TFunctionInfo info;
  ASSERT_TRUE(AnalyzeFunctionEx(s, kBase, info, h));
  bool handler = false, table = false, h1 = false, h2 = false;
  for (const TDACodeArea& a : info.areas) {
    if (a.begin == kBase + 0x20) handler = true;
    if (a.isExceptTable) {
      table = true;
      EXPECT_EQ(kBase + 0x25, a.begin);
      EXPECT_EQ(20u, a.end - a.begin + 1);
    }
    if (a.begin == kBase + 0x40) h1 = true;
    if (a.begin == kBase + 0x42) h2 = true;
  }
  EXPECT_TRUE(handler && table && h1 && h2);

  String text;
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, 0, info, true, 0, h));
  EXPECT_NE(String::npos,
            text.find("00401029   on EAccessViolation do loc_401040"))
      << text;
  EXPECT_NE(String::npos,
            text.find("00401031   else                   loc_401042"))
      << text;
}

// ---------------------------------------------------------------------------
// Disassembly text
// ---------------------------------------------------------------------------

TEST(PellorDisAsmListing, SwitchFunctionText) {
  Space s = CodeSpace(SwitchFunction());
  s.symbols[kBase] = "Unit1.Choose";
  TFunctionInfo info;
  String text;
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, kBase + 0x28, info, true, 0));
  const char* expected =
      "00401000 public Unit1.Choose:             ; function entry point\r\n"
      "00401000   cmp     eax, 5\r\n"
      "00401003   ja      loc_401024\r\n"
      "\r\n"
      "00401005   jmp     dword ptr [eax*4+$40100c]\r\n"
      "\r\n"
      "; ---------------------------------------------------------\r\n"
      "\r\n"
      "0040100c   dd loc_401024                  ; case jump table\r\n"
      "00401010   dd loc_401026\r\n"
      "00401014   dd loc_401028\r\n"
      "00401018   dd loc_40102a\r\n"
      "0040101c   dd loc_40102c\r\n"
      "00401020   dd loc_40102e\r\n"
      "00401024 loc_401024:\r\n"
      "00401024   xor     eax, eax\r\n"
      "00401026 loc_401026:\r\n"
      "00401026   xor     eax, eax\r\n"
      "00401028 loc_401028:\r\n"
      "00401028 > xor     eax, eax\r\n"
      "0040102a loc_40102a:\r\n"
      "0040102a   xor     eax, eax\r\n"
      "0040102c loc_40102c:\r\n"
      "0040102c   xor     eax, eax\r\n"
      "0040102e loc_40102e:\r\n"
      "0040102e   xor     eax, eax\r\n"
      "00401030   ret";
  EXPECT_EQ(expected, text);
}

TEST(PellorDisAsmListing, UnnamedFunctionWithoutSeparators) {
  Space s = CodeSpace({0x31, 0xC0, 0x40, 0x83, 0xF8, 0x09, 0x72, 0xFA, 0xC3});
  TFunctionInfo info;
  String text;
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, 0, info, false, 0));
  EXPECT_EQ(
      "00401000 sub_401000:                      ; function entry point\r\n"
      "00401000   xor     eax, eax\r\n"
      "00401002   inc     eax\r\n"
      "00401003   cmp     eax, 9\r\n"
      "00401006   jb      loc_401002\r\n"
      "00401008   ret",
      text);
}

TEST(PellorDisAsmListing, LineNumberColumn) {
  Space s = CodeSpace({0x31, 0xC0, 0x40, 0xC3});
  s.lines[kBase] = 98;
  s.lines[kBase + 2] = 99;
  s.lines[kBase + 3] = 100;
  TFunctionInfo info;
  String text;
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, kBase + 2, info, false, 0));
  EXPECT_EQ(
      "00401000 sub_401000:                      ; function entry point\r\n"
      "00401000 098   xor     eax, eax\r\n"
      "00401002 099 > inc     eax\r\n"
      "00401003 100   ret",
      text);
}

TEST(PellorDisAsmListing, LineLimitKeepsLinesAroundTheException) {
  CodeBytes c(60, 0x90);
  c.push_back(0xC3);
  Space s = CodeSpace(c);
  TFunctionInfo info;
  String text;
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, kBase + 40, info, false, 10));
  std::vector<String> lines;
  std::istringstream in(text);
  for (String l; std::getline(in, l);) lines.push_back(l);
  ASSERT_EQ(23u, lines.size()) << text;
  EXPECT_EQ("[...]\r", lines.front());
  EXPECT_EQ("0040101e   nop\r", lines[1]);
  EXPECT_EQ("00401028 > nop\r", lines[11]);
  EXPECT_EQ("[...]", lines.back());
  // Under 1.2 times the limit before the mark: nothing is cut in front.
  ASSERT_TRUE(DisassembleFunction(s, kBase, text, kBase + 11, info, false, 10));
  EXPECT_EQ(0u, text.rfind("00401000 sub_401000:", 0));
}

TEST(PellorDisAsmListing, InvalidFunctionGivesNoText) {
  Space s = CodeSpace({0x0F, 0xFF});
  TFunctionInfo info;
  String text = "x";
  EXPECT_FALSE(DisassembleFunction(s, kBase, text, 0, info, true, 0));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ("Invalid code!", info.errorText);
}

}  // namespace
