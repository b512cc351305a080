// The one way by which the install passes and the uninstaller reach the user: questions
// and messages, the progress display, and the programs they start for the user. The
// wizard and the uninstall window implement it; tests implement a recorder.
#pragma once
#include <string>

// Title of every message box that is given no title of its own.
inline constexpr const char* AppTitle = "KavexInstall Setup";

class SetupUi {
  public:
    virtual ~SetupUi() = default;
    // A modal message box with the MB_* buttons and icon of `flags`; returns the button
    // pressed (IDOK, IDYES, IDNO, ...).
    virtual int Ask(const std::string& text, unsigned flags, const std::string& title) = 0;
    // Shows `text` as the current action and the bar at done/total, at once.
    virtual void ShowProgress(int done, int total, const std::string& text) = 0;
    // Starts a program without waiting for it (a component's registration, Explorer on
    // the destination); false when it could not be started.
    virtual bool StartProgram(const std::string& commandLine) = 0;

    // A message with an OK button: Ask without an answer.
    void Tell(const std::string& text, unsigned flags, const std::string& title = AppTitle) {
        Ask(text, flags, title);
    }
};
