#include "wizard/wizard.h"

#include <cmath>

#include "engine/install_passes.h"
#include "script/text.h"
#include "script/values.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "windows/long_work.h"
#include "windows/mother_form.h"
#include "windows/msgbox.h"
#include "wizard/folder_chooser.h"
#include "wizard/screen_actions.h"
#include "wizard/wiz_form.h"
#include "wizard/wizard_ui.h"

std::string FreeSpaceLabel(std::optional<int64_t> freeBytes, const std::string& destDir) {
    // The same text as the folder chooser's, for the drive named by the destination's first
    // two characters.
    return FreeSpaceText(freeBytes, destDir.substr(0, std::min<size_t>(2, destDir.size())));
}

std::string DiskSpaceWarning(std::optional<int64_t> freeBytes, const std::string& estimatedSize,
                             const std::string& programName) {
    if (!(ReadNumber(estimatedSize) > 0)) return {};
    // An unknown free space counts as 0 free megabytes, so a positive estimate always warns.
    const double freeMegabytes = static_cast<double>(freeBytes.value_or(0)) / 1024 / 1024;
    if (!(ReadNumber(estimatedSize) >= freeMegabytes)) return {};
    return "There is only " + LeadingBlankNumber(freeMegabytes) +
           "MB of free space available on the destination drive! " + programName +
           " may occupy up to an estimated " + estimatedSize + "MB." + "\r\n" + "\r\n" +
           "Press the 'Back' button in the Setup Wizard window to set a new destination.";
}

void ResetWizardScreens() {
    for (auto& panel : WizForm.WizScreen) panel.SetVisible(false);
    WizForm.BackButton.SetCaption("< &Back");
    WizForm.NextButton.SetCaption("&Next >");
    WizForm.BackButton.SetEnabled(true);
    WizForm.NextButton.SetEnabled(true);
}

// A wizard screen always has a control with the focus: the default button (Next or Finish)
// when it can be used, otherwise Cancel. Without one, typing would reach the main window as
// system keys (plain letters pressing Back or Next, Esc no longer asking the Cancel
// question, x no longer stopping the search).
void FocusWizardButton() {
    if (WizForm.NextButton.Enabled())
        WizForm.NextButton.SetFocus();
    else
        WizForm.CancelButton.SetFocus();
}

void AbortSetup() {
    WizForm.Unload();
    MotherForm.Unload();
    EndProgram();
}

void ShowWizardScreen(int16_t& step) {
    SetupSession& s = *WizForm.session;
    WizardUi ui;
    WizForm.CurrentScreen = static_cast<int16_t>(WizForm.CurrentScreen + step);
    ResetWizardScreens();
    switch (WizForm.CurrentScreen) {
    case 0: // welcome
        WizForm.Label3[0].SetCaption("This setup program will install " + s.ReadIni("ProgramName") +
                                     " on your computer.");
        WizForm.WizScreen[0].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        FocusWizardButton();
        RunPrelimActions(s, ui);
        break;
    case 1: // license: no panel of its own
        if (ReadFlag(s.ReadIni("DisplayLicense"))) ShowLicense(s);
        ShowWizardScreen(step);
        break;
    case 2: // search: skipped when moving back
        if (step == -1) {
            ShowWizardScreen(step);
            break;
        }
        WizForm.WizScreen[4].SetVisible(true);
        WizForm.CancelButton.SetFocus(); // before Next, which has the focus, is disabled
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        if (ReadFlag(s.ReadIni("ComponentsSearch"))) {
            WizForm.SearchCancelled = false;
            FindComponents(s, [] { return WizForm.SearchCancelled; });
        }
        ShowWizardScreen(step);
        break;
    case 3: { // destination
        // The destination as the system will name it, wherever it came from (the script,
        // the search, the folder chooser): the Setup folder, the records and the uninstall
        // entry name the folder that is made.
        s.destDir = StoredFolderPath(s.destDir);
        const std::string programName = s.ReadIni("ProgramName");
        WizForm.Label3[3].SetCaption("If you are upgrading from a previous version of " + programName +
                                     " make sure to specify the same folder as the older version.");
        WizForm.Label4.SetCaption(s.ReadIni("ProgramName") + " will be installed here:");
        WizForm.Label5.SetCaption(s.destDir);
        WizForm.Label9.SetCaption(FreeSpaceLabel(DriveFreeBytes(s.destDir), s.destDir));
        WizForm.WizScreen[1].SetVisible(true);
        FocusWizardButton();
        break;
    }
    case 4: { // ready
        const std::string estimated = s.ReadIni("EstimatedSize");
        if (ReadNumber(estimated) > 0) {
            const std::string warning =
                DiskSpaceWarning(DriveFreeBytes(s.destDir), estimated, s.ReadIni("ProgramName"));
            // Advice only: the wizard goes on after it.
            if (!warning.empty()) MsgBox(warning, MB_OK | MB_ICONEXCLAMATION, s.ReadIni("SetupTitle"));
        }
        WizForm.Label6.SetCaption("Setup is ready to install " + s.ReadIni("ProgramName") +
                                  ". Press Finish to continue.");
        WizForm.WizScreen[5].SetVisible(true);
        WizForm.NextButton.SetCaption("Finish");
        FocusWizardButton();
        break;
    }
    case 5: { // copying
        WizForm.WizScreen[2].SetVisible(true);
        WizForm.CancelButton.SetFocus();
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        // A destination that could not be created has been reported; nothing was
        // installed, so the setup ends here as after a cancel.
        PassOneOutcome outcome = PassOneOutcome::Completed;
        WindowThreadUi workUi(ui);
        RunLongWork([&] { outcome = RunInstallPassOne(s, workUi); });
        if (outcome == PassOneOutcome::Stopped) {
            SetExitCode(ERROR_INSTALL_FAILURE);
            AbortSetup();
        }
        int16_t next = 1;
        ShowWizardScreen(next);
        break;
    }
    case 6: { // finalizing
        WizForm.WizScreen[6].SetVisible(true);
        WizForm.CancelButton.SetFocus();
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        WindowThreadUi workUi(ui);
        RunLongWork([&] { RunInstallPassTwo(s, workUi); });
        int16_t next = 1;
        ShowWizardScreen(next);
        break;
    }
    case 7: { // closing actions; then the program ends
        WizForm.CancelButton.SetFocus();
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        WindowThreadUi workUi(ui);
        RunLongWork([&] { RunLastActions(s, workUi); });
        AbortSetup();
    }
    default:
        break;
    }
}
