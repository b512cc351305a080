// How the install passes and the closing actions reach the user during an installation:
// the wizard's message boxes, its copy screen's progress display, and programs started
// for the user.
#pragma once
#include "engine/setup_ui.h"

class WizardUi final : public SetupUi {
  public:
    Answer Ask(const std::string& text, Question question, const std::string& title) override;
    // Paints at once; the passes reach it through WindowThreadUi, which paces the pictures.
    void ShowProgress(int done, int total, const std::string& text) override;
    bool StartProgram(const std::string& commandLine) override;

  private:
    bool copyScreenPainted_ = false; // the whole wizard has been painted with the copy screen
};
