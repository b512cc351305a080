#include "wizard/wizard.h"

#include <cmath>

#include "engine/install_passes.h"
#include "script/globals.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "system/drives.h"
#include "windows/mother_form.h"
#include "windows/msgbox.h"
#include "wizard/folder_chooser.h"
#include "wizard/later_parts.h"
#include "wizard/wiz_form.h"

std::string FreeSpaceLabel(const std::string& freeSpace, const std::string& destDir) {
    // The same text as the folder chooser's, for the drive named by DestDir's first two characters.
    return FreeSpaceText(freeSpace, destDir.substr(0, std::min<size_t>(2, destDir.size())));
}

std::string DiskSpaceWarning(const std::string& freeSpace, const std::string& estimatedSize,
                             const std::string& programName) {
    if (!(ReadNumber(estimatedSize) > 0)) return {};
    // "unknown" reads as 0 free megabytes, so a positive estimate always warns.
    double freeMegabytes = ReadNumber(freeSpace) / 1024 / 1024;
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

void AbortSetup() {
    WizForm.Unload();
    MotherForm.Unload();
    EndProgram();
}

void ShowWizardScreen(int16_t& step) {
    CurrentScreen = static_cast<int16_t>(CurrentScreen + step);
    ResetWizardScreens();
    switch (CurrentScreen) {
    case 0: // welcome
        WizForm.Label3[0].SetCaption("This setup program will install " + ReadIni("ProgramName") +
                                     " on your computer.");
        WizForm.WizScreen[0].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        RunPrelimActions();
        break;
    case 1: // license: no panel of its own
        if (ReadFlag(ReadIni("DisplayLicense"))) ShowLicense();
        ShowWizardScreen(step);
        break;
    case 2: // search: skipped when moving back
        if (step == -1) {
            ShowWizardScreen(step);
            break;
        }
        WizForm.WizScreen[4].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        if (ReadFlag(ReadIni("ComponentsSearch"))) {
            SearchCancelled = false;
            FindComponents();
        }
        ShowWizardScreen(step);
        break;
    case 3: { // destination
        std::string programName = ReadIni("ProgramName");
        WizForm.Label3[3].SetCaption("If you are upgrading from a previous version of " + programName +
                                     " make sure to specify the same folder as the older version.");
        WizForm.Label4.SetCaption(ReadIni("ProgramName") + " will be installed here:");
        WizForm.Label5.SetCaption(DestDir);
        WizForm.Label9.SetCaption(FreeSpaceLabel(DriveFreeSpace(DestDir), DestDir));
        WizForm.WizScreen[1].SetVisible(true);
        break;
    }
    case 4: { // ready
        std::string estimated = ReadIni("EstimatedSize");
        if (ReadNumber(estimated) > 0) {
            std::string warning =
                DiskSpaceWarning(DriveFreeSpace(DestDir), estimated, ReadIni("ProgramName"));
            // Advice only: the wizard goes on after it.
            if (!warning.empty()) MsgBox(warning, MB_OK | MB_ICONEXCLAMATION, ReadIni("SetupTitle"));
        }
        WizForm.Label6.SetCaption("Setup is ready to install " + ReadIni("ProgramName") +
                                  ". Press Finish to continue.");
        WizForm.WizScreen[5].SetVisible(true);
        WizForm.NextButton.SetCaption("Finish");
        break;
    }
    case 5: { // copying
        WizForm.WizScreen[2].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        Guarded(RunInstallPassOne);
        // A destination that could not be created has been reported; nothing was
        // installed, so the setup ends here as after a cancel.
        if (InstallationStopped()) {
            AbortSetup();
            break;
        }
        int16_t next = 1;
        ShowWizardScreen(next);
        break;
    }
    case 6: { // finalizing
        WizForm.WizScreen[6].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        Guarded(RunInstallPassTwo);
        int16_t next = 1;
        ShowWizardScreen(next);
        break;
    }
    case 7: // closing actions; they end the program
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        WizForm.Refresh();
        RunLastActions();
        break;
    default:
        break;
    }
}
