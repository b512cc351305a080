#include "windows/msgbox.h"

#include <windows.h>

int MsgBox(const std::string& text, unsigned flags, const std::string& title) {
    // The active window of this thread owns the box, so that it is modal to it.
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), title.c_str(), flags | MB_SETFOREGROUND);
}

Answer AskInMessageBox(const std::string& text, Question question, const std::string& title) {
    unsigned flags = question.choices == Choices::YesNo ? MB_YESNO : MB_OK;
    if (question.choices == Choices::YesNo && question.noByDefault) flags |= MB_DEFBUTTON2;
    switch (question.kind) {
    case MessageKind::Stop:
        flags |= MB_ICONSTOP;
        break;
    case MessageKind::Warning:
        flags |= MB_ICONEXCLAMATION;
        break;
    case MessageKind::Information:
        flags |= MB_ICONINFORMATION;
        break;
    case MessageKind::Question:
        flags |= MB_ICONQUESTION;
        break;
    case MessageKind::Plain:
        break;
    }
    switch (MsgBox(text, flags, title)) {
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

bool AskToExit(const std::string& setupTitle) {
    return MsgBox("Are you sure you want to exit " + setupTitle + "?", MB_YESNO | MB_ICONQUESTION,
                  setupTitle) == IDYES;
}
