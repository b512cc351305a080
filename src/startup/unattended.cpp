#include "startup/unattended.h"

#include <windows.h>

#include <vector>

#include "engine/install_passes.h"
#include "script/macros.h"
#include "script/text.h"
#include "script/values.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "system/regprocs.h"
#include "wizard/folder_chooser.h"
#include "wizard/screen_actions.h"
#include "wizard/wizard.h"

namespace {

// The button that Enter presses in a message box: its default button (MB_DEFBUTTON1 to 3)
// among the buttons of its kind. Of every question that an installation asks, the default
// button is also the answer with which the installation goes on.
int DefaultButton(unsigned flags) {
    std::vector<int> buttons;
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {IDOK, IDCANCEL};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {IDABORT, IDRETRY, IDIGNORE};
        break;
    case MB_YESNOCANCEL:
        buttons = {IDYES, IDNO, IDCANCEL};
        break;
    case MB_YESNO:
        buttons = {IDYES, IDNO};
        break;
    case MB_RETRYCANCEL:
        buttons = {IDRETRY, IDCANCEL};
        break;
    default:
        buttons = {IDOK};
    }
    const size_t index = (flags & MB_DEFMASK) >> 8;
    return buttons[index < buttons.size() ? index : 0];
}

const char* ButtonName(int id) {
    switch (id) {
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "OK";
    }
}

// Message boxes go to the log, one line each, answered with their default button; the
// progress is not shown; programs (a component's registration) are started as ever.
class UnattendedUi final : public SetupUi {
  public:
    explicit UnattendedUi(const SetupSession& session) : s(session) {}
    int Ask(const std::string& text, unsigned flags, const std::string& title) override {
        const int answer = DefaultButton(flags);
        std::string line;
        for (char c : text) {
            if (c != '\r' && c != '\n')
                line += c;
            else if (!line.empty() && line.back() != ' ')
                line += ' ';
        }
        s.Log("message box \"" + title + "\", answered " + ButtonName(answer) + ": " + line);
        return answer;
    }
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string& commandLine) override { return ::StartProgram(commandLine); }

  private:
    const SetupSession& s;
};

bool IsFullPath(const std::string& folder) {
    const bool drive = folder.size() >= 3 && ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') &&
                       folder[1] == ':' && folder[2] == '\\';
    return drive || folder.rfind("\\\\", 0) == 0;
}

// The destination screen's check (room for the Setup folder's files) and a full path: a
// relative folder would land wherever the deployment tool's current folder is.
bool DestinationAccepted(const SetupSession& s, SetupUi& ui) {
    if (!IsFullPath(s.destDir)) {
        s.Log("refused: the destination " + s.destDir +
              " is not a full path (C:\\... or \\\\server\\share\\...)");
        return false;
    }
    if (s.DestinationTooLong()) {
        ui.Tell(DestinationTooLongText(SetupSession::kLongestDestination), MB_OK | MB_ICONEXCLAMATION,
                s.ReadIni("SetupTitle"));
        return false;
    }
    return true;
}

void Install(SetupSession& s, SetupUi& ui, const CommandWords& words) {
    RunPrelimActions(s, ui);
    if (ReadFlag(s.ReadIni("DisplayLicense")))
        s.Log("license accepted by the unattended command line, not shown: " + s.sourceDir +
              s.ReadIni("LicenseFile"));
    if (ReadFlag(s.ReadIni("ComponentsSearch"))) s.Log("component search: not run (unattended)");
    s.destDir = StoredFolderPath(ProposedDestination(s, words));
    s.Log("destination: " + s.destDir);
    if (!DestinationAccepted(s, ui)) {
        SetExitCode(ERROR_INSTALL_FAILURE);
        return;
    }
    const std::string estimated = s.ReadIni("EstimatedSize");
    if (ReadNumber(estimated) > 0) {
        const std::string warning =
            DiskSpaceWarning(DriveFreeBytes(s.destDir), estimated, s.ReadIni("ProgramName"));
        if (!warning.empty()) ui.Tell(warning, MB_OK | MB_ICONEXCLAMATION, s.ReadIni("SetupTitle"));
    }
    // A destination that cannot be made stops the installation (its exit code is set).
    if (RunInstallPassOne(s, ui) == PassOneOutcome::Stopped) return;
    RunInstallPassTwo(s, ui);
    RunLastActions(s, ui);
}

} // namespace

std::string ProposedDestination(const SetupSession& s, const CommandWords& words) {
    const std::string given = words.Value("dest").value_or("");
    std::string folder = given.empty() ? s.ReadIni("DefaultDir") : given;
    ExpandPathMacro(folder, folder, *s.folders);
    if (!given.empty() && (folder.empty() || folder.back() != '\\')) folder += '\\';
    return folder;
}

void RunUnattendedInstall(SetupSession& s, const CommandWords& words) {
    s.Log("mode: unattended install");
    // Nor does the system ask: a drive without its disk fails at once.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    UnattendedUi ui(s);
    try {
        Install(s, ui, words);
    } catch (...) {
        s.LogFailure("unattended installation (an unexpected error)", 0);
        SetExitCode(ERROR_INSTALL_FAILURE);
    }
}
