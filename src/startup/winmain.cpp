// The program's entry: start-up, then the message loop until the last window closes.
#include <windows.h>

#include "startup/main.h"
#include "system/exit_code.h"
#include "windows/forms/forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SetupRun run;
    Main(run);
    RunMessageLoop([] { return !AnyFormLoaded(); });
    return static_cast<int>(ExitCode());
}
