// The program's start: the tray switch, the single instance per session and
// the main window's message loop.
#pragma once

#include <vector>

#include "System.h"

inline constexpr const char kInstanceMutexName[] = "Tarvik_v1";
inline constexpr const char kApplicationTitle[] = "Tarvik v_1";
inline constexpr const char kAlreadyRunningText[] =
    "Tarvik is running in the System Tray.";

// True when one of the arguments is exactly "/t".
bool HasTraySwitch(const std::vector<String>& Args);

enum TInstanceCheck { icFirst, icRunning, icFailed };

// Takes the named single-instance mutex. icFailed (with the system's error
// code) when no mutex could be made at all: that is no proof of another
// instance.
TInstanceCheck CheckInstance(const char* MutexName, DWORD& Error);
// True when this process holds the program's mutex.
bool IsFirstInstance();
// The start-in-tray flag of this process.
bool StartInTrayFlag();

// The program: returns the process's exit code.
int RunProgram();
