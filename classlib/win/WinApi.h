// Included first into every C++ file of the Windows build (see the top-level
// CMakeLists.txt). The system headers map many API names to their ANSI
// forms with macros (GetObject -> GetObjectA). Some of those names are also
// names of our own members and routines (TStrings::GetObject, RegisterClass,
// TCanvas::TextOut, ...); a macro that is defined in some files and not in
// others would give one member two names and break the link. Including the
// headers once, first, and removing those macros gives every file the same
// names. Windows code calls the API by its explicit ANSI name instead
// (GetObjectA, RegisterClassA, MessageBoxA, TextOutA, ...).
#pragma once

#include <windows.h>

#undef AddForm
#undef CreateFont
#undef DeleteFile
#undef DrawText
#undef ExtTextOut
#undef FindText
#undef GetCurrencyFormat
#undef GetObject
#undef MessageBox
#undef RegisterClass
#undef TextOut
