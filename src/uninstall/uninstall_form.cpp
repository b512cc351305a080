#include "uninstall/uninstall_form.h"

#include "system/regprocs.h"
#include "windows/mother_form.h"
#include "windows/msgbox.h"

UninstallFormWindow UninstallForm;

UninstallFormWindow::UninstallFormWindow() : Form(FormKind::MdiChild) {}

void UninstallFormWindow::CreateControls() {
    SetCaption("<Setup Title>");
    SetClientSize(4320, 1320);
    AddControl(Label1, nullptr, 240, 240, 3840, 300, "Please wait...");
    Label1.SetFont("Tahoma", 10, true);
    AddControl(Label2, nullptr, 240, 720, 3840, 300, "Removal in progress");
}

void UninstallFormWindow::Open(const SetupSession& s) {
    Load();
    Guarded([&] { SetCaption(s.ReadIni("SetupTitle")); });
    Show();
}

void UninstallFormWindow::OnLoad() {
    Guarded([&] {
        // Centred on the main window's outer size, frame included.
        MoveTo((MotherForm.Width() - Width()) / 2, (MotherForm.Height() - Height()) / 2);
    });
}

Answer UninstallUi::Ask(const std::string& text, Question question, const std::string& title) {
    return AskInMessageBox(text, question, title);
}

bool UninstallUi::StartProgram(const std::string& commandLine) {
    return ::StartProgram(commandLine);
}
