#include "system/exit_code.h"

namespace {
DWORD exitCode = 0;
}

void SetExitCode(DWORD code) {
    exitCode = code;
}

DWORD ExitCode() {
    return exitCode;
}
