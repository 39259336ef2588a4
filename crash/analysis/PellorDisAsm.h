// The crash-report library's 32-bit x86 decoder, its one-line instruction
// text, the control-flow analysis of whole functions and the disassembly
// text of a function around an exception address.
//
// Code is addressed by 32-bit addresses and read only through a
// TDAEnvironment, so that the same code runs on the process's own memory
// (through the safe reads, on Windows) and on byte buffers (tests, fuzzers,
// benchmarks, native builds). Nothing here raises: bytes that cannot be read
// make an instruction invalid and an analysis fail in its record.
#pragma once

#include <array>
#include <vector>

#include "PellorStrings.h"

// What the decoder and the analysis know of the memory they work on. Only
// Read is needed for decoding; the rest refines the analysis and the text
// and has neutral defaults.
class TDAEnvironment {
 public:
  virtual ~TDAEnvironment() = default;
  // Copies up to count bytes from address on; answers how many could be
  // read (a short answer means the next byte is unreadable).
  virtual Cardinal Read(Cardinal address, void* buffer,
                        Cardinal count) const = 0;
  // Where code of a function at entry may plausibly lie: [begin, end). The
  // default is everything readable from entry on.
  virtual bool CodeRange(Cardinal entry, Cardinal& begin, Cardinal& end) const;
  // The export or map name of address ("" when none).
  virtual String SymbolName(Cardinal address) const;
  // Whether address is a named export of a loaded module.
  virtual bool IsNamedExport(Cardinal address) const;
  // The file name of the module holding address when it is not the
  // program's own ("" otherwise).
  virtual String ForeignModuleName(Cardinal address) const;
  // The end of the module image holding address, 0 outside images.
  virtual Cardinal ImageEnd(Cardinal address) const;
  // The class name of an exception class reference ("" when unknown).
  virtual String ClassName(Cardinal classRef) const;
  // The source line of address (0 when unknown) and whether a new source
  // line starts exactly there.
  virtual Cardinal SourceLine(Cardinal address, bool& startsLine) const;

  bool ReadDword(Cardinal address, Cardinal& value) const;
};

// A byte buffer placed at a base address; everything outside is unreadable.
class TDABufferEnvironment : public TDAEnvironment {
 public:
  TDABufferEnvironment(Cardinal base, const void* bytes, Cardinal size)
      : base_(base), bytes_(static_cast<const Byte*>(bytes)), size_(size) {}
  Cardinal Read(Cardinal address, void* buffer, Cardinal count) const override;
  bool CodeRange(Cardinal entry, Cardinal& begin, Cardinal& end) const override;
  Cardinal Base() const { return base_; }
  Cardinal Size() const { return size_; }

 private:
  Cardinal base_;
  const Byte* bytes_;
  Cardinal size_;
};

// One decoded instruction.
struct TDAInstruction {
  bool valid = false;
  Word opcode = 0;  // the opcode byte, or 0x0F00 + second byte
  Byte modRm = 0;
  bool isCall = false;
  bool isJump = false;
  bool isRelative = false;
  Cardinal target = 0;
  Cardinal targetCell = 0;     // where the displacement or pointer is stored
  Cardinal targetCellRef = 0;  // where the address of the target's cell is
  Cardinal targetSize = 0;
  bool widenable = false;
  Cardinal address = 0;
  Cardinal next = 0;
};

// Per general register (eax, ecx, edx, ebx, esp, ebp, esi, edi): the code
// address of the 32-bit immediate last moved into it, 0 when unknown.
using TDARegisterState = std::array<Cardinal, 8>;

bool DecodeInstruction(const TDAEnvironment& env, Cardinal address,
                       TDAInstruction& instr);
// With register tracking: calls and jumps through a register loaded from an
// immediate are followed, and regs is updated.
bool DecodeInstructionTracked(const TDAEnvironment& env, Cardinal address,
                              TDARegisterState& regs, TDAInstruction& instr);
// The full form: text (when asked for) receives the instruction's line(s),
// with the symbol or text comments that env can give; regs may be null for
// no tracking.
bool DecodeInstructionEx(const TDAEnvironment& env, Cardinal address,
                         String* text, TDARegisterState* regs,
                         TDAInstruction& instr);

// ---------------------------------------------------------------------------
// Function analysis
// ---------------------------------------------------------------------------

struct TDACodeArea {
  Cardinal begin = 0;
  Cardinal end = 0;  // the last byte; 0 while not yet parsed
  bool isCaseTable = false;
  bool isExceptTable = false;
  Cardinal caller = 0;
  TDARegisterState regs{};
};

struct TDABranch {
  bool isCall = false;
  Cardinal address = 0;
  Cardinal next = 0;
};

struct TDAExternalCall {
  bool isCall = false;
  Cardinal address = 0;
  Cardinal next = 0;
  Cardinal target = 0;
  bool isRelative = false;
  Cardinal targetCell = 0;
  Cardinal targetCellRef = 0;
};

constexpr Cardinal kDAErrorNotCommitted = 87;
constexpr Cardinal kDAErrorInvalidCode = 0x770001;

struct TFunctionInfo {
  bool valid = false;
  Cardinal entry = 0;
  Cardinal lowestAddress = 0;
  Cardinal spanLength = 0;
  Cardinal errorAddress = 0;
  Cardinal errorCode = 0;
  String errorText;
  std::vector<TDACodeArea> areas;
  std::vector<TDAExternalCall> externalCalls;
  std::vector<TDABranch> unresolvedBranches;
  bool patchable = false;
  bool copyable = false;
  Cardinal copySize = 0;
  Cardinal reserved[3] = {0, 0, 0};
};

// Addresses of the runtime routines that shape compiled exception frames
// and of the routines that never return. 0 = not known in this build.
struct TDARuntimeHelpers {
  Cardinal handleAnyException = 0;
  Cardinal handleOnException = 0;
  Cardinal handleAutoException = 0;
  Cardinal handleFinally = 0;
  Cardinal halt0 = 0;
  // Further routines after whose call the compiler emits nothing (the C++
  // runtime's throw, rethrow, terminate, abort, exit and the like).
  std::vector<Cardinal> noReturn;
};

bool AnalyzeFunction(const TDAEnvironment& env, Cardinal entry,
                     TFunctionInfo& info);
bool AnalyzeFunctionEx(const TDAEnvironment& env, Cardinal entry,
                       TFunctionInfo& info, const TDARuntimeHelpers& helpers);

// Whether a symbol names a routine after whose call our compiler emits
// nothing: the C++ runtime's throw, rethrow and __throw_* helpers,
// terminate, abort, exit and their kin (with or without the C underscore,
// stdcall suffix or import prefix).
bool IsNoReturnRoutineName(const String& name);
// Adds a non-returning routine and, when it is a jump stub, the routine
// the stub leads to.
void AddNoReturnRoutine(const TDAEnvironment& env, TDARuntimeHelpers& helpers,
                        Cardinal address);
// The helpers of this process's own build: no exception-frame helpers (our
// compiler's frames are table-driven) and the C++ runtime's non-returning
// routines. Empty off 32-bit builds, where code addresses do not fit.
TDARuntimeHelpers OwnRuntimeHelpers(const TDAEnvironment& env);

// The disassembly text of the function at entry, with the exception
// address marked. lineLimit <= 0 means no limit.
bool DisassembleFunction(const TDAEnvironment& env, Cardinal entry,
                         String& text, Cardinal exceptAddress,
                         TFunctionInfo& info, bool separators,
                         Integer lineLimit,
                         const TDARuntimeHelpers& helpers = {});
// Composes the text of an analysed function.
String FormatDisassembly(const TDAEnvironment& env, const TFunctionInfo& info,
                         Cardinal exceptAddress, bool separators,
                         Integer lineLimit, const TDARuntimeHelpers& helpers);
