#include "startup/main.h"

#include <windows.h>
#include <ole2.h>

#include "engine/session.h"
#include "engine/setup_log.h"
#include "script/macros.h"
#include "script/text.h"
#include "startup/start_windows.h"
#include "startup/unattended.h"
#include "system/exit_code.h"
#include "system/file_system.h"
#include "system/windows_computer.h"
#include "uninstall/uninstall_form.h"
#include "uninstall/uninstaller.h"
#include "windows/long_work.h"
#include "windows/mother_form.h"
#include "windows/msgbox.h"
#include "wizard/wizard.h"

std::string ProgramFolderOf(std::string_view exePath) {
    size_t slash = exePath.find_last_of('\\');
    std::string folder(slash == std::string_view::npos ? std::string_view{} : exePath.substr(0, slash));
    // A drive root keeps its backslash ("C:\"); any longer folder gets one.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    if (folder.size() > 3) folder += '\\';
    return folder;
}

namespace {

// Another copy of this program holds the same named mutex. The handle stays open for the
// whole run, so that later copies see this one.
bool AnotherCopyRunning() {
    static HANDLE mutex = CreateMutexA(nullptr, FALSE, "KavexInstall.Setup.Running");
    static bool existed = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    return existed;
}

std::string OwnExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD got = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ShowLogo(const SetupSession& s) {
    const std::string logo = s.ReadIni("LogoPic");
    if (TrimBlanks(logo).empty()) return;
    LogoForm.Load();
    // The picture is loaded by exactly the name given, relative to the current folder. A
    // missing or unreadable picture gives no logo window rather than an empty one.
    if (!LogoForm.Image1.LoadPicture(s.ReadIni("LogoPic"))) {
        LogoForm.Unload();
        return;
    }
    int width = LogoForm.Image1.Width(), height = LogoForm.Image1.Height();
    LogoForm.Move(MotherForm.ClientWidth() - width, 0, width, height);
    LogoForm.Show();
}

// The main window's close request outside the wizard (uninstall mode): the same question
// as ever, and on Yes the main window closes with its child windows.
bool AskToCloseMainWindow(const SetupSession& s) {
    if (!AskToExit(s.ReadIni("SetupTitle"))) return false;
    SetExitCode(ERROR_INSTALL_USEREXIT);
    return true;
}

void RunUninstallMode(SetupSession& s) {
    s.Log("mode: uninstall");
    s.destDir = s.ReadIni("destpath", "uninstall");
    if (!s.quiet) {
        UninstallForm.Open(s);
        UninstallForm.Refresh();
    }
    UninstallUi ui;
    WindowThreadUi workUi(ui);
    UninstallOutcome outcome = UninstallOutcome::Failed; // unless the removal comes to an end
    RunLongWork([&] { outcome = RunUninstall(s, workUi); });
    SetExitCode(UninstallExitCode(outcome));
    if (!s.quiet) {
        UninstallForm.Unload();
        MotherForm.Unload();
    }
}

// The setup log goes to the command line's log= file (its folder made when missing), or
// else to the default one; a log that cannot be opened writes nowhere.
void OpenLog(SetupSession& s, SetupLog& log, const CommandWords& words) {
    const std::string named = words.Value("log").value_or("");
    if (!named.empty()) {
        const std::string folder = GetPathPart(named, 0, false);
        if (!folder.empty() && !FolderExists(folder)) CreateWholeFolder(folder);
    }
    const char* commandLine = GetCommandLineA();
    log.Open(*s.computer, named.empty() ? DefaultSetupLogPath(*s.computer) : named,
             commandLine ? commandLine : "", s.sourceDir + "setup.ini");
}

void StartWizard(SetupRun& run, const CommandWords& words) {
    SetupSession& s = run.session;
    s.Log("mode: install");
    s.destDir = ProposedDestination(s, words);
    run.wizard.emplace(s).Start();
}

} // namespace

void Main(SetupRun& run) {
    Guarded([&] {
        SetupSession& s = run.session;
        SetupLog& log = run.log;
        const char* commandLine = GetCommandLineA();
        const CommandWords words(CommandArguments(commandLine ? commandLine : ""));
        OleInitialize(nullptr);
        s.computer = &run.computer;
        SetMainForm(&MotherForm);

        s.sourceDir = ProgramFolderOf(OwnExecutablePath());
        // 1. One copy at a time, unless told to ignore the other. Unattended, the refusal
        // goes to the log only.
        s.unattended = words.Has("unattended");
        if (AnotherCopyRunning() && !words.Has("ignoreprev")) {
            SetExitCode(ERROR_INSTALL_ALREADY_RUNNING);
            if (!s.unattended) {
                MsgBox("KavexInstaller is already running.", MB_OK);
            } else {
                OpenLog(s, log, words);
                log.Write("refused: another copy of the program is running");
            }
            return;
        }
        // 2. Unattended, no window at all; in uninstall mode it acts as quiet.
        s.quiet = words.Has("quiet") || s.unattended;
        // 3. The splash window for two seconds; the program does not react to the user while it
        // shows, but it answers the system.
        if (!s.quiet) {
            SplashForm.Show();
            SplashForm.Refresh();
            RunLongWork([] { Sleep(2000); });
        }
        // 4.
        OpenLog(s, log, words);
        if (log.IsOpen()) s.log = &log;
        // 5. The main window with its backdrop and logo.
        MotherForm.look = ReadMainWindowLook(s);
        MotherForm.logoWindow = &LogoForm;
        MotherForm.CloseRequested = [&s] { return AskToCloseMainWindow(s); };
        if (!s.quiet) {
            MotherForm.Load();
            MotherForm.Maximize();
            MotherFormBack.Show();
            SplashForm.Unload();
            ShowLogo(s);
        }
        // 6. Uninstall mode; 7. install mode, where the wizard drives the program from here on.
        if (LowerCase(s.ReadIni("InstallState")) == "installed" || words.Has("uninstall"))
            RunUninstallMode(s);
        else if (s.unattended)
            RunUnattendedInstall(s, words);
        else
            StartWizard(run, words);
    });
}
