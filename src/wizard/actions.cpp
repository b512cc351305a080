// The preliminary actions (with the welcome screen) and the closing actions (at the end
// of the installation): the script's messages, documents and programs.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "script/globals.h"
#include "script/macros.h"
#include "script/script.h"
#include "script/text.h"
#include "script/values.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "windows/msgbox.h"
#include "engine/pass_steps.h"
#include "wizard/later_parts.h"
#include "wizard/wizard.h"
#include "windows/forms.h"

namespace {

// Number of items of a numbered list: used only when the count key reads as more than 0,
// then read again and rounded to a 16-bit count (so 0.4 gives no items).
int ItemsOf(const char* countKey) {
    return ListHasItems(countKey) ? ListCount(countKey) : 0;
}

void ShowScriptMessages(const char* countKey, const char* itemKey) {
    const int count = ItemsOf(countKey);
    for (int n = 1; n <= count; ++n)
        Step([&] { MsgBox(ReadIni(ItemKey(itemKey, n)), MB_OK, ReadIni("SetupTitle")); });
}

// Opens a document with the program the system associates with it; the outcome is not
// examined and the program does not wait for it.
void OpenDocument(const std::string& path) {
    Form* main = MainForm();
    ShellExecuteA(main && main->Loaded() ? main->Handle() : nullptr, nullptr, path.c_str(), nullptr, "C:\\",
                  SW_SHOWNORMAL);
}

// Yes/No question with a question icon, titled with SetupTitle; true on Yes.
bool AskYes(const char* messageKey) {
    return MsgBox(ReadIni(messageKey), MB_YESNO | MB_ICONQUESTION, ReadIni("SetupTitle")) == IDYES;
}

// The closing documents or programs: when the count reads as more than 0, the optional
// Yes/No question (its text under promptKey & "Msg"; No skips the list), then each item's
// script path, resolved, handed to `run`; a failing item is skipped.
void RunClosingList(const char* countKey, const char* promptKey, const char* itemKey,
                    void (*run)(const std::string&)) {
    if (!ListHasItems(countKey)) return;
    if (ReadFlag(ReadIni(promptKey)) && !AskYes((std::string(promptKey) + "Msg").c_str())) return;
    const int count = ListCount(countKey);
    for (int n = 1; n <= count; ++n)
        Step([&] { run(ResolveScriptPath(ReadIni(ItemKey(itemKey, n)), DestDir, SystemFolderSource())); });
}

} // namespace

void RunPrelimActions() {
    try {
        ShowScriptMessages("PrelimMessagesTotal", "PrelimMessage");
        const int count = ItemsOf("PrelimDocuExecsTotal");
        for (int n = 1; n <= count; ++n) {
            const std::string path = SourceDir + ReadIni(ItemKey("PrelimDocuExec", n));
            if (ReadFlag(ReadIni(ItemKey("PrelimDocuExec", n, "InternalReader")))) {
                // readme.txt is shown in a window titled readme; the answer is not used.
                ShowTextFile(path, GetPathPart(path, 3), 0);
            } else {
                OpenDocument(path);
            }
        }
    } catch (...) {
    }
}

void RunLastActions() {
    Step([] { ShowScriptMessages("LastMessagesTotal", "LastMessage"); });

    Step([] { RunClosingList("LastDocuExecsTotal", "LastDocuExecsPrompt", "LastDocuExec", OpenDocument); });
    // Programs are started without waiting; one that cannot be started is skipped silently.
    Step([] {
        RunClosingList("LastExecsTotal", "LastExecsPrompt", "LastExec",
                       [](const std::string& commandLine) { StartProgram(commandLine); });
    });

    Step([] {
        if (InstallErrors)
            MsgBox("There were some errors during installation. You may have to reinstall " +
                       ReadIni("ProgramName") + " at a later date.",
                   MB_OK);
    });

    AbortSetup();
}
