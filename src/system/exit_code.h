// The exit code of the run, for the deployment tools that start the program and read it:
// the codes that they know from the system's own installer. It is set where the outcome
// becomes known and given to the system when the program ends (EndProgram, WinMain).
#pragma once
#include <windows.h>

// 0 (the code of a run to its end), ERROR_INSTALL_USEREXIT (1602, a person ended it),
// ERROR_INSTALL_FAILURE (1603), ERROR_UNKNOWN_PRODUCT (1605, already uninstalled),
// ERROR_INSTALL_ALREADY_RUNNING (1618).
void SetExitCode(DWORD code);
DWORD ExitCode();
