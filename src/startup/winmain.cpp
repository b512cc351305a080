// The program's entry: start-up, then the message loop until the last window closes.
#include <windows.h>

#include "startup/main.h"
#include "windows/forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Main();
    RunMessageLoop([] { return !AnyFormLoaded(); });
    return 0;
}
