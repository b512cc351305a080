// The preliminary actions (with the welcome screen) and the closing actions (at the end
// of the installation): the script's messages, documents and programs.
#include <windows.h>

#include <string>

#include "engine/pass_steps.h"
#include "script/text.h"
#include "script/values.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "windows/forms/forms.h"
#include "wizard/screen_actions.h"
#include "wizard/wizard.h"

namespace {

void ShowScriptMessages(const SetupSession& s, SetupUi& ui, const char* countKey, const char* itemKey) {
    ForEachListItem(s, countKey, [&](int n) {
        Step(s, ItemKey(itemKey, n),
             [&] { ui.Tell(s.ReadIni(ItemKey(itemKey, n)), MessageKind::Plain, s.ReadIni("SetupTitle")); });
    });
}

// Opens a document with the program the system associates with it; the program does not
// wait for it.
bool OpenScriptDocument(const std::string& path) {
    Form* main = MainForm();
    return OpenDocument(path, main && main->Loaded() ? main->Handle() : nullptr);
}

// An unattended run opens nothing for the user: nobody waits at its desktop. The log names
// what a run with the wizard would have opened or started.
bool PassOverUnattended(const SetupSession& s, const char* what, const std::string& item) {
    if (s.unattended) s.Log(std::string("not ") + what + " (unattended): " + item);
    return s.unattended;
}

// The closing documents or programs: when the count reads as more than 0, the optional
// Yes/No question (its text under promptKey & "Msg"; No skips the list), then each item's
// script path, resolved, handed to `run`; a failing item is skipped.
template <class Run>
void RunClosingList(const SetupSession& s, SetupUi& ui, const char* countKey, const std::string& promptKey,
                    const char* itemKey, const char* started, Run run) {
    if (!ListHasItems(s, countKey)) return;
    if (ReadFlag(s.ReadIni(promptKey)) &&
        ui.Ask(s.ReadIni(promptKey + "Msg"), {Choices::YesNo, MessageKind::Question},
               s.ReadIni("SetupTitle")) != Answer::Yes)
        return;
    ForEachListItem(s, countKey, [&](int n) {
        Step(s, ItemKey(itemKey, n), [&] {
            const std::string item = s.ResolveScriptPath(s.ReadIni(ItemKey(itemKey, n)));
            return PassOverUnattended(s, started, item) || run(item);
        });
    });
}

} // namespace

void RunPrelimActions(SetupSession& s, SetupUi& ui) {
    Step(s, "preliminary messages",
         [&] { ShowScriptMessages(s, ui, "PrelimMessagesTotal", "PrelimMessage"); });
    Step(s, "preliminary documents", [&] {
        ForEachListItem(s, "PrelimDocuExecsTotal", [&](int n) {
            const std::string path = s.sourceDir + s.ReadIni(ItemKey("PrelimDocuExec", n));
            if (PassOverUnattended(s, "opened", path)) return;
            // readme.txt is shown in a window titled readme; the answer is not used.
            if (ReadFlag(s.ReadIni(ItemKey("PrelimDocuExec", n, "InternalReader"))))
                ShowTextFile(path, GetPathPart(path, 3), 0);
            else
                OpenScriptDocument(path);
        });
    });
}

void RunLastActions(SetupSession& s, SetupUi& ui) {
    Step(s, "closing messages", [&] { ShowScriptMessages(s, ui, "LastMessagesTotal", "LastMessage"); });
    Step(s, "closing documents", [&] {
        RunClosingList(s, ui, "LastDocuExecsTotal", "LastDocuExecsPrompt", "LastDocuExec", "opened",
                       OpenScriptDocument);
    });
    // Programs are started without waiting; one that cannot be started is skipped silently.
    Step(s, "closing programs", [&] {
        RunClosingList(s, ui, "LastExecsTotal", "LastExecsPrompt", "LastExec", "started",
                       [&](const std::string& commandLine) { return ui.StartProgram(commandLine); });
    });
    // A failed copy or move: the installation ended with a failure.
    if (s.installErrors) SetExitCode(ERROR_INSTALL_FAILURE);
    Step(s, "error summary", [&] {
        if (s.installErrors)
            ui.Tell("There were some errors during installation. You may have to reinstall " +
                    s.ReadIni("ProgramName") + " at a later date.");
    });
}
