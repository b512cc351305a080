// The wizard of an installation and the procedures that end the setup.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "engine/session.h"
#include "wizard/wizard_steps.h"
#include "wizard/wizard_ui.h"

// The wizard window driven through its screens for the session that start-up hands it.
// Start-up makes it and keeps it until the program ends; while it exists, the window's
// buttons (and Esc, and the window's close request) reach it.
class Wizard {
  public:
    explicit Wizard(SetupSession& s);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Makes a close request of the main window the exit question, opens the wizard window
    // and shows the welcome screen.
    void Start();
    // Loads the wizard window with the product's title and picture, shows it and paints it.
    void Open();
    // Moves by step (+1, -1 or 0) and shows the screen reached; a screen without a panel,
    // or one whose work leads on, runs its work and passes the step on.
    void ShowWizardScreen(int16_t step);
    // Shows the screen that a move reached (its texts, panel and buttons), without its work.
    void ShowScreen(const WizardVisit& visit);

    void WizForm_NextButton_Click();
    void WizForm_BackButton_Click();
    void WizForm_CancelButton_Click();
    void WizForm_AboutButton_Click();
    void WizForm_Command3_Click();
    // The exit question of the wizard and the main window ("Are you sure you want to exit
    // ...?"); on Yes the wizard and the main window are unloaded and the program ends.
    // Returns only when the user answered No.
    void AskToExitSetup();

    WizardSteps steps;

  private:
    SetupSession& s_;
    WizardUi ui_; // the one copy screen of the run
};
// Hides every panel and puts both navigation buttons back to "< &Back" / "&Next >", enabled.
void ResetWizardScreens();
// Unloads the wizard and the main window and ends the program at once.
[[noreturn]] void AbortSetup();

// The destination screen's free-space label for the free bytes of the destination's
// drive: whole megabytes and the drive ("50MB of free space on drive C:"); empty when the
// free space is unknown.
std::string FreeSpaceLabel(std::optional<int64_t> freeBytes, const std::string& destDir);
// The ready screen's warning when estimatedSize (the script text, in megabytes) is at least
// the free space (unknown counts as none); empty when there is nothing to warn about.
std::string DiskSpaceWarning(std::optional<int64_t> freeBytes, const std::string& estimatedSize,
                             const std::string& programName);
