#include "wizard/wizard_ui.h"

#include <windows.h>

#include "system/regprocs.h"
#include "windows/msgbox.h"
#include "wizard/wiz_form.h"

Answer WizardUi::Ask(const std::string& text, Question question, const std::string& title) {
    return AskInMessageBox(text, question, title);
}

// The current action in Text1 and the bar Shape1 sliding into its box Picture1, repainted
// at once: the passes' worker waits for it when a file's name must show before its copy.
void WizardUi::ShowProgress(int done, int total, const std::string& text) {
    if (!WizForm.Loaded()) return;
    WizForm.Text1.SetCaption(text);
    // The bar's left edge is minus the share of the work still to do, as a percentage of
    // the box's width. With no total the bar stays where it is.
    if (total != 0) {
        const double percent = -(100.0 * (total - done) / total);
        const int width = WizForm.Picture1.Width();
        WizForm.Shape1.Move(static_cast<int>(percent * width / 100.0), 0, width, WizForm.Picture1.Height());
    }
    WizForm.Text1.Refresh();
    WizForm.Picture1.Refresh();
    // The whole wizard once, when the copy screen first shows; after that only what changed.
    if (!copyScreenPainted_) WizForm.Refresh();
    copyScreenPainted_ = true;
}

bool WizardUi::StartProgram(const std::string& commandLine) {
    return ::StartProgram(commandLine);
}
