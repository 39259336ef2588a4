// Changing running code: a few bytes of a routine (a jump to a replacement
// at its entry, a call in place of an instruction, the operand of an
// existing call), entries of the import tables of loaded modules, and one
// direct call inside an analysed function. Byte patches are recorded so
// that they can be undone, newest first. All of it targets 32-bit x86 code
// of the running process; failures change nothing and answer false.
#pragma once

#include <windows.h>

#include <vector>

#include "System.h"

struct CodePatch {
  Byte* address;
  String previous;
  String written;
};

// Writes length bytes at address when they differ from what is there;
// false (and nothing recorded) when equal or unreadable.
bool AddCodePatch(void* address, const void* bytes, Cardinal length);
// Restores every recorded patch whose bytes are still the written ones,
// newest first, so that two patches of one address end in the original.
void UndoCodePatches();
void ClearCodePatches();
const std::vector<CodePatch>& CodePatches();

// A jump to replacement at routine's entry; a routine that is an import
// stub (jmp [slot]) has the stub's current target patched instead.
bool PatchWithJump(void* routine, const void* replacement);
// A call of replacement at address.
bool PatchWithCall(void* address, const void* replacement);
// A call's 4-byte operand (new target minus the next instruction).
bool PatchCallOperand(void* operand, Cardinal value);

struct TLoadedModule {
  HMODULE module;
  String fileName;  // without path
};
void ListLoadedModules(std::vector<TLoadedModule>& modules);

// Every entry of the module's import address tables that holds oldAddress
// gets newAddress.
void PatchImportEntry(HMODULE module, const void* oldAddress,
                      const void* newAddress);
void PatchImportsOfModules(const std::vector<TLoadedModule>& modules,
                           const void* oldAddress, const void* newAddress);
// Redirects an exported function in the import tables of every loaded
// module (only this library's module when it is not the executable).
// previous receives the export (the call does nothing when it is set
// already). ownImport, when it is an import stub, has its slot set too;
// true when that had to be done by hand.
bool PatchApiEverywhere(const String& library, const String& function,
                        void* ownImport, const void* replacement,
                        void*& previous);
void UnpatchApiEverywhere(void* ownImport, const void* previous,
                          const void* replacement);

// The first direct call of oldTarget in the analysed function is made to
// call newTarget (recorded like the byte patches).
bool RedirectCallInFunction(const void* function, const void* oldTarget,
                            const void* newTarget);
