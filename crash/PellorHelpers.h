// Process, registry and text helpers of the crash-report library: module
// and path names, its temporary folder, registry texts, the UTC clock, open
// security for shared kernel objects, the tests that tell a live C++ object
// from garbage, the class and message texts of exception objects, the
// placeholders of message texts and the clipboard. Nothing here raises.
#pragma once

#include <windows.h>

#include "PellorTexts.h"

// The module whose code holds this library (the executable or a DLL).
HMODULE OwnModule();
// Full file name of a module (0 = the executable).
String ModuleFileName(HMODULE module);

// temp path + program name without extension + ".PellorExcept\"; empty
// when the system has no temporary path. Created on the way.
String CrashTempFolder();
// Deletes the files of the folder, then the folder.
void ClearCrashTempFolder();
String ComputerNameText();

// A REG_SZ up to its first zero; any other type as its raw bytes. Empty
// when the key or value cannot be read.
String ReadRegString(HKEY root, const String& key, const String& value);
bool WriteRegString(HKEY root, const String& key, const String& value,
                    const String& text);
bool DeleteRegValue(HKEY root, const String& key, const String& value);

// Seconds since 1601-01-01, UTC.
Int64 UtcSecondsNow();
// Attributes with a present but null access list: any user may open the
// object.
void InitOpenSecurity(SECURITY_ATTRIBUTES& attributes,
                      SECURITY_DESCRIPTOR& descriptor);

// A readable C++ object with a virtual table: its virtual table and type
// record lie in loaded modules and the type's name reads as a name.
bool LooksLikeObject(const void* object);
// Whether the object's dynamic type, or one of its bases, has exactly this
// (demangled) name; false for nil or garbage.
bool InheritsFromClassName(const void* object, const String& className);
// The demangled name of the object's dynamic type; "Unknown" when nil,
// unreadable or empty.
String ExceptionClassText(const void* object);
// The message of a PellorException, or what() of a std::exception (our
// Exception is one), else the class name; control characters but CR and LF
// removed, trimmed, "Unknown" when nothing is left.
String ExceptionMessageText(const void* object);

// The runtime routine that resets the floating-point unit for a handler;
// without one, ResetFpu returns its first argument unchanged.
using TFpuResetRoutine = Cardinal (*)(Cardinal, Cardinal, Cardinal);
void SetFpuResetRoutine(TFpuResetRoutine routine);
Cardinal ResetFpu(Cardinal a, Cardinal b, Cardinal c);

// Expands the placeholders of text (see ExpandPlaceholderTexts) for a
// module, with the local time read once.
void ExpandPlaceholders(HMODULE module, String& text, const String& exceptMsg,
                        const String& bugReport);

void CopyTextToClipboard(const String& text);
