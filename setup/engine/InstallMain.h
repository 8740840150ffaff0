// The setup engine's program entry and its install mode.
#pragma once
#include <windows.h>

#include <string>

// Install mode: takes the project and support files out of the archive-1 file, checks
// both archives whole, shows the background (which runs the install sequence) and cleans
// up. Returns the exit code (kExitCompleted only for a completed installation).
int RunInstall();

// The whole program: mode by the command line (uninstall mode through runUninstall, whose
// result is the exit code), then the end-of-run action. Returns the process exit code.
int EngineMain(int (*runUninstall)());

// Restarts Windows (ExitAction 2): on NT the shutdown privilege is requested first; a
// refused restart is reported in a message box. False when the restart was refused.
bool RestartWindows();

// The call that restarts the machine; tests put a recorder here.
using TExitWindowsCall = BOOL(WINAPI*)(UINT flags, DWORD reason);
extern TExitWindowsCall ExitWindowsCall;

// Texts of the restart report.
std::string RestartFailedText(unsigned long error);
