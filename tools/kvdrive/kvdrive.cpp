// kvdrive: clicks through a KavexInstall wizard the way a user accepting every default
// would, and reports what an installation left on the computer. The main job uses it to
// install the sample product on a display nobody watches, the 32-bit stage of the tests to
// drive the shipped program.
//
//   kvdrive install <path of setup.exe> [<folder>] [--decline <text>] [--words <words>]
//                                         run the setup (with the command words given),
//                                         Next until Finish, answer every message box with
//                                         Yes or OK, wait for the end; with a folder, save
//                                         a screenshot of every screen and message box
//                                         there before acting on it; a question whose
//                                         text is <text> is answered No
//   kvdrive run <command line>            start a command line as the system's list of
//                                         installed programs does (an uninstall command),
//                                         answer every message box with Yes or OK, wait
//                                         for the end
// Both print every visible window of the program as it first shows ("window <class>
// "<caption>""), the message boxes with their answers and the program's exit code.
//   kvdrive report <path of setup.ini>    print the product's registry entries, the
//                                         installed script copy and its recorded files
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>

#include "driver/driver.h"
#include "driver/screen.h"
#include "script/profile_files.h"
#include "script/script.h"
#include "system/regprocs.h"
#include "system/file_system.h"
#include "script/values.h"
#include "script/text.h"

namespace {

using namespace e2e;

// Saves what the screen shows as <folder>\NN-<what>.bmp, numbered in the order passed.
class ScreenLog {
  public:
    explicit ScreenLog(std::string folder) : folder_(std::move(folder)) {
        if (!folder_.empty()) CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void Save(const std::string& what) {
        if (folder_.empty()) return;
        // The window has just appeared or changed: give it a moment to paint itself.
        Sleep(250);
        std::string name;
        for (char c : what) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
        char number[8];
        std::snprintf(number, sizeof number, "%02d-", ++count_);
        // BMP here; the main job keeps them as PNG.
        const std::string path = folder_ + "\\" + number + name.substr(0, 60) + ".bmp";
        if (SaveScreen(path)) std::printf("  screenshot %s\n", path.c_str());
    }

  private:
    std::string folder_;
    int count_ = 0;
};

struct DriveOptions {
    std::string shotFolder; // screenshots, when not empty
    std::string decline;    // the text of a question to answer No
    bool wizard = true;     // false: a program without a wizard (an uninstall), run to its end
};

// Starts `commandLine` in `folder` (empty: this program's) and drives it to its end.
int Drive(std::string commandLine, const std::string& folder, const DriveOptions& options) {
    ScreenLog shots(options.shotFolder);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        std::printf("could not start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return 1;
    }
    CloseHandle(pi.hThread);
    DWORD pid = pi.dwProcessId;
    std::printf("started %s\n", commandLine.c_str());

    bool finished = false;
    std::set<std::string> windowsSeen; // each visible top-level window, printed once
    // Ten minutes at most: a product of thousands of files takes a while under Wine.
    DWORD deadline = GetTickCount() + 600000;
    for (DWORD wait = 0; WaitForSingleObject(pi.hProcess, wait) == WAIT_TIMEOUT; wait = 50) {
        for (HWND window : TopWindows(pid))
            if (const std::string name = NameOf(window); windowsSeen.insert(name).second)
                std::printf("window %s\n", name.c_str());
        if (GetTickCount() > deadline) {
            std::printf("the setup did not end in time; stopping it\n");
            TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            return 1;
        }
        if (auto box = FindMessageBox(pid)) {
            std::string answer;
            for (const auto& b : box->buttons)
                if (box->text == options.decline ? b == "&No" : b == "&Yes" || b == "OK") answer = b;
            std::printf("message \"%s\": %s\n  -> %s\n", box->title.c_str(), box->text.c_str(),
                        answer.empty() ? "(no Yes/OK button)" : answer.c_str());
            shots.Save("message-" + box->title);
            if (!answer.empty()) AnswerMessageBox(*box, answer);
            continue;
        }
        // The license: accepted, as the user of the main job would.
        if (HWND reader = FindTopWindow(pid, "License Agreement")) {
            if (HWND yes = FindControl(reader, "Yes", "Button"); yes && IsShown(yes)) {
                std::printf("license: Yes\n");
                shots.Save("license");
                Click(yes);
                Sleep(300);
                continue;
            }
        }
        if (finished || !options.wizard) continue;
        HWND wizard = FindWindowOf(pid, "Setup Wizard");
        if (!wizard || !IsShown(wizard)) continue;
        for (const char* caption : {"Finish", "&Next >"}) {
            HWND button = FindControl(wizard, caption, "Button");
            if (button && IsShown(button) && IsEnabledWindow(button)) {
                std::printf("wizard: %s\n", std::string(caption) == "Finish" ? "Finish" : "Next");
                HWND change = FindControl(wizard, "Change...", "Button");
                shots.Save(std::string(caption) == "Finish" ? "wizard-ready"
                           : change && IsShown(change)      ? "wizard-destination"
                                                            : "wizard-welcome");
                Click(button);
                if (std::string(caption) == "Finish") finished = true;
                Sleep(300);
                break;
            }
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (!options.wizard) {
        std::printf("the program ended with exit code %lu\n", code);
        return 0;
    }
    std::printf("the setup ended %s with exit code %lu\n",
                finished ? "after Finish" : "before Finish was pressed", code);
    return finished ? 0 : 1;
}

int Report(const std::string& scriptPath) {
    ProfileFiles scripts;
    std::string folder = GetPathPart(scriptPath, 0, true);
    std::string file = GetPathPart(scriptPath, 1);
    std::string product = ReadIni(scripts, "ProductName", "install", folder, file);
    std::printf("product: %s\n", product.c_str());
    std::string productKey = "SOFTWARE\\Kavex Software\\" + product;
    std::string uninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    std::string dest = ReadRegString(RegHKeyLocalMachine, productKey, "");
    std::printf("HKLM\\%s = %s\n", productKey.c_str(), dest.c_str());
    std::printf("HKLM\\%s DisplayName = %s\n", uninstallKey.c_str(),
                ReadRegString(RegHKeyLocalMachine, uninstallKey, "DisplayName").c_str());
    for (const char* name : {"UninstallString", "QuietUninstallString"})
        std::printf("HKLM\\%s %s = %s\n", uninstallKey.c_str(), name,
                    ReadRegString(RegHKeyLocalMachine, uninstallKey, name).c_str());
    if (dest.empty()) {
        std::printf("the product is not registered as installed\n");
        return 1;
    }
    std::string setupFolder = dest + "Setup\\";
    std::printf("installed script %ssetup.ini: installstate=%s\n", setupFolder.c_str(),
                ReadIni(scripts, "installstate", "install", setupFolder).c_str());
    int files = ReadCount(ReadIni(scripts, "uninstallfilestotal", "uninstall", setupFolder));
    // A recorded file may be absent without a fault: a moved file whose source was not
    // there (the move list serves installations over an earlier version) is recorded too.
    int present = 0;
    for (int k = 1; k <= files; ++k) {
        std::string path = ReadIni(scripts, "file" + std::to_string(k), "uninstall", setupFolder);
        bool exists = FileCanBeRead(path);
        if (exists) ++present;
        std::printf("  file%d %-7s %s\n", k, exists ? "present" : "absent", path.c_str());
    }
    for (int n = 1;; ++n) {
        std::string ext = ReadIni(scripts, "ext" + std::to_string(n), "uninstall", setupFolder);
        if (ext.empty()) break;
        std::printf("  file type %s -> %s\n", ext.c_str(),
                    ReadRegString(RegHKeyClassesRoot, ext, "").c_str());
    }
    for (int n = 1;; ++n) {
        std::string name = ReadIni(scripts, "shortcut" + std::to_string(n), "uninstall", setupFolder);
        if (name.empty()) break;
        std::printf("  shortcut \"%s\" in \"%s\"\n", name.c_str(),
                    ReadIni(scripts, "shortcutfolder" + std::to_string(n), "uninstall", setupFolder).c_str());
    }
    std::printf("%d recorded files, %d of them present\n", files, present);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Each line reaches the log as it happens: the 32-bit stage waits for "wizard: Next".
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string verb = argc >= 2 ? argv[1] : "";
    if (verb == "install" && argc >= 3) {
        DriveOptions options;
        std::string words;
        bool understood = true;
        for (int i = 3; i < argc; ++i) {
            if (std::string(argv[i]) == "--decline" && i + 1 < argc)
                options.decline = argv[++i];
            else if (std::string(argv[i]) == "--words" && i + 1 < argc)
                words = std::string(" ") + argv[++i];
            else if (options.shotFolder.empty())
                options.shotFolder = argv[i];
            else
                understood = false;
        }
        const std::string setupExe = argv[2];
        if (understood) return Drive("\"" + setupExe + "\"" + words, GetPathPart(setupExe, 0, true), options);
    }
    if (verb == "run" && argc == 3) return Drive(argv[2], "", DriveOptions{{}, {}, false});
    if (verb == "report" && argc == 3) return Report(argv[2]);
    std::printf(
        "usage: kvdrive install <setup.exe> [<screenshot folder>] [--decline <question>] [--words <words>]\n"
        "       kvdrive run <command line>\n"
        "       kvdrive report <setup.ini>\n");
    return 2;
}
