#include "windows/msgbox.h"

#include <windows.h>

int MsgBox(const std::string& text, unsigned flags, const std::string& title) {
    // The active window of this thread owns the box, so that it is modal to it.
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), title.c_str(), flags | MB_SETFOREGROUND);
}

bool AskToExit(const std::string& setupTitle) {
    return MsgBox("Are you sure you want to exit " + setupTitle + "?", MB_YESNO | MB_ICONQUESTION,
                  setupTitle) == IDYES;
}
