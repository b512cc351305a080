#include "startup/unattended.h"

#include <windows.h>

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

// The answer that Enter gives a question: its default button. Of every question that an
// installation asks, the default button is also the answer with which it goes on.
Answer DefaultAnswer(Question question) {
    if (question.choices == Choices::Ok) return Answer::Ok;
    return question.noByDefault ? Answer::No : Answer::Yes;
}

const char* AnswerName(Answer answer) {
    switch (answer) {
    case Answer::Yes:
        return "Yes";
    case Answer::No:
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
    Answer Ask(const std::string& text, Question question, const std::string& title) override {
        const Answer answer = DefaultAnswer(question);
        s.Log("message box \"" + title + "\", answered " + AnswerName(answer) + ": " + OnOneLine(text));
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
        ui.Tell(DestinationTooLongText(SetupSession::kLongestDestination), MessageKind::Warning,
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
        if (!warning.empty()) ui.Tell(warning, MessageKind::Warning, s.ReadIni("SetupTitle"));
    }
    // A destination that cannot be made stops the installation (its exit code is set).
    if (RunInstallPassOne(s, ui) == PassOneOutcome::Stopped) {
        SetExitCode(ERROR_INSTALL_FAILURE);
        return;
    }
    RunInstallPassTwo(s, ui);
    RunLastActions(s, ui);
}

} // namespace

std::string ProposedDestination(const SetupSession& s, const CommandWords& words) {
    const std::string given = words.Value("dest").value_or("");
    std::string folder = given.empty() ? s.ReadIni("DefaultDir") : given;
    ExpandPathMacro(folder, folder, s.computer->Folders());
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
