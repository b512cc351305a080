// The small progress window shown inside the main window while the uninstaller works, and
// how the uninstaller reaches the user meanwhile.
#pragma once
#include "engine/session.h"
#include "engine/setup_ui.h"
#include "windows/forms/forms.h"

class UninstallFormWindow : public Form {
  public:
    UninstallFormWindow();
    Label Label1, Label2;
    // Loads the window with the script's SetupTitle as its caption and shows it.
    void Open(const SetupSession& s);

  protected:
    void CreateControls() override;
    void OnLoad() override;
    // No buttons and no close box: the removal cannot be interrupted from here.
    bool OnQueryUnload(UnloadMode mode) override { return mode != UnloadMode::User; }
};
extern UninstallFormWindow UninstallForm;

// The uninstaller's questions and messages are message boxes; the window shows no
// progress of its own (it keeps what start-up painted until the final message).
class UninstallUi final : public SetupUi {
  public:
    Answer Ask(const std::string& text, Question question, const std::string& title) override;
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string& commandLine) override;
};
