#include "wizard/wizard.h"

#include <cmath>
#include <forward_list>

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

void AbortSetup() {
    WizForm.Unload();
    MotherForm.Unload();
    EndProgram();
}

Wizard::Wizard(SetupSession& s) : s_(s) {
    WizForm.AboutButton.Click = [this] { Guarded([this] { WizForm_AboutButton_Click(); }); };
    WizForm.BackButton.Click = [this] { Guarded([this] { WizForm_BackButton_Click(); }); };
    WizForm.NextButton.Click = [this] { Guarded([this] { WizForm_NextButton_Click(); }); };
    WizForm.CancelButton.Click = [this] { Guarded([this] { WizForm_CancelButton_Click(); }); };
    WizForm.Command3.Click = [this] { Guarded([this] { WizForm_Command3_Click(); }); };
}

Wizard::~Wizard() {
    for (Button* button : {&WizForm.AboutButton, &WizForm.BackButton, &WizForm.NextButton,
                           &WizForm.CancelButton, &WizForm.Command3})
        button->Click = nullptr;
    MotherForm.CloseRequested = nullptr;
}

void Wizard::Start() {
    // From now on a close request of the main window is the wizard's exit question.
    MotherForm.CloseRequested = [this] {
        AskToExitSetup();
        return false; // on Yes the program has ended already
    };
    Open();
    steps = WizardSteps(0);
    ShowWizardScreen(0);
}

void Wizard::Open() {
    WizForm.Load();
    Guarded([&] {
        const std::string picture = s_.ReadIni("SetupPic");
        if (!TrimBlanks(picture).empty()) WizForm.Image1.LoadPicture(s_.sourceDir + s_.ReadIni("SetupPic"));
    });
    WizForm.SetTitle(s_.ReadIni("ProductName"));
    WizForm.Show();
    WizForm.Refresh();
}

namespace {
// The texts of a screen that shows the session's values, and the ready screen's advice.
void FillScreen(SetupSession& s, WizardScreen screen) {
    switch (screen) {
    case WizardScreen::Welcome:
        WizForm.Label3[0].SetCaption("This setup program will install " + s.ReadIni("ProgramName") +
                                     " on your computer.");
        break;
    case WizardScreen::Destination: {
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
        break;
    }
    case WizardScreen::Ready: {
        const std::string estimated = s.ReadIni("EstimatedSize");
        if (ReadNumber(estimated) > 0) {
            const std::string warning =
                DiskSpaceWarning(DriveFreeBytes(s.destDir), estimated, s.ReadIni("ProgramName"));
            // Advice only: the wizard goes on after it.
            if (!warning.empty()) MsgBox(warning, MB_OK | MB_ICONEXCLAMATION, s.ReadIni("SetupTitle"));
        }
        WizForm.Label6.SetCaption("Setup is ready to install " + s.ReadIni("ProgramName") +
                                  ". Press Finish to continue.");
        break;
    }
    default:
        break;
    }
}

void ShowView(const WizardView& view) {
    if (view.panel >= 0) WizForm.WizScreen[view.panel].SetVisible(true);
    if (view.backCaption != WizForm.BackButton.Caption()) WizForm.BackButton.SetCaption(view.backCaption);
    if (view.nextCaption != WizForm.NextButton.Caption()) WizForm.NextButton.SetCaption(view.nextCaption);
    // Cancel takes the focus before Next, which may have it, is disabled.
    if (view.focus == WizardFocus::Cancel) WizForm.CancelButton.SetFocus();
    WizForm.BackButton.SetEnabled(view.backEnabled);
    WizForm.NextButton.SetEnabled(view.nextEnabled);
    if (view.focus == WizardFocus::Next) WizForm.NextButton.SetFocus();
    if (view.repaint) WizForm.Refresh();
}
} // namespace

void Wizard::ShowScreen(const WizardVisit& visit) {
    ResetWizardScreens();
    FillScreen(s_, static_cast<WizardScreen>(visit.screen));
    ShowView(visit.view);
}

void Wizard::ShowWizardScreen(int16_t step) {
    // The work's pictures are paced on the window thread; each pass's last one is left
    // unshown, as the next screen follows at once.
    std::forward_list<WindowThreadUi> workUis;
    for (;;) {
        const WizardVisit visit = steps.Move(
            step, {ReadFlag(s_.ReadIni("DisplayLicense")), ReadFlag(s_.ReadIni("ComponentsSearch"))});
        ShowScreen(visit);
        switch (visit.work) {
        case WizardWork::None:
            break;
        case WizardWork::PrelimActions:
            RunPrelimActions(s_, ui_);
            break;
        case WizardWork::License:
            ShowLicense(s_);
            break;
        case WizardWork::Search:
            WizForm.SearchCancelled = false;
            FindComponents(s_, [] { return WizForm.SearchCancelled; });
            break;
        case WizardWork::PassOne: {
            // A destination that could not be created has been reported; nothing was
            // installed, so the setup ends here as after a cancel.
            PassOneOutcome outcome = PassOneOutcome::Completed;
            WindowThreadUi& workUi = workUis.emplace_front(ui_);
            RunLongWork([&] { outcome = RunInstallPassOne(s_, workUi); });
            if (outcome == PassOneOutcome::Stopped) {
                SetExitCode(ERROR_INSTALL_FAILURE);
                AbortSetup();
            }
            break;
        }
        case WizardWork::PassTwo: {
            WindowThreadUi& workUi = workUis.emplace_front(ui_);
            RunLongWork([&] { RunInstallPassTwo(s_, workUi); });
            break;
        }
        case WizardWork::LastActions: {
            WindowThreadUi& workUi = workUis.emplace_front(ui_);
            RunLongWork([&] { RunLastActions(s_, workUi); });
            break;
        }
        }
        if (visit.ends) AbortSetup();
        if (visit.passOn == 0) return;
        step = visit.passOn;
    }
}
