// Installation of a product of many files against a plain copy of the same files.
//
// Both run in one process, in the same run: pass one of the install engine with the
// script's file list (versioned copy of each file, its record in the installed script,
// the progress display) and, as the baseline, CopyFileA of every file into a fresh folder.
// It prints both times and their ratio.
//
//   install_bench.exe [files]     (default 10000)
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/install_passes.h"
#include "engine/session.h"
#include "engine/setup_ui.h"
#include "script/macros.h"
#include "script/profile_files.h"
#include "script/script.h"
#include "system/file_stamp.h"
#include "system/folders.h"
#include "windows/msgbox.h"

namespace {

const std::string kRoot = "C:\\kvbench\\install\\";

void RemoveTree(const std::string& folder) {
    std::string from = folder;
    if (!from.empty() && from.back() == '\\') from.pop_back();
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationA(&op);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The user interface of a run that nobody watches: it counts the messages.
class CountingUi final : public SetupUi {
  public:
    int messages = 0;
    int Ask(const std::string&, unsigned, const std::string&) override { return ++messages, IDOK; }
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string&) override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (files < 1) return 2;
    SetupSession session;
    session.scripts = ProfileFiles(SystemFileStamp);
    session.folders = &SystemFolderSource();
    CountingUi ui;

    const std::string dist = kRoot + "dist\\";
    RemoveTree(kRoot);
    CreateDirectoryA("C:\\kvbench", nullptr);
    CreateDirectoryA(kRoot.c_str(), nullptr);
    CreateDirectoryA(dist.c_str(), nullptr);

    // The product: files of 2 KB each, and a script that installs each of them.
    std::string script =
        "[install]\r\nProductName=Bench\r\nEstablishSetup=1\r\nTotalFiles=" + std::to_string(files) + "\r\n";
    const std::string content(2048, 'k');
    for (int n = 1; n <= files; ++n) {
        const std::string name = "file" + std::to_string(n) + ".dat";
        FILE* f = std::fopen((dist + name).c_str(), "wb");
        if (!f) return 1;
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        script += "srcfile" + std::to_string(n) + "=" + name + "\r\ndestfile" + std::to_string(n) + "=" +
                  name + "\r\n";
    }
    FILE* f = std::fopen((dist + "setup.ini").c_str(), "wb");
    if (!f) return 1;
    std::fwrite(script.data(), 1, script.size(), f);
    std::fclose(f);
    std::printf("product of %d files of 2 KB\n", files);

    // Baseline: a plain copy of the same files.
    const std::string plain = kRoot + "plain\\";
    CreateDirectoryA(plain.c_str(), nullptr);
    auto start = std::chrono::steady_clock::now();
    for (int n = 1; n <= files; ++n) {
        const std::string name = "file" + std::to_string(n) + ".dat";
        if (!CopyFileA((dist + name).c_str(), (plain + name).c_str(), FALSE)) return 1;
    }
    const double plainSeconds = Seconds(start);

    // The installation: pass one over the script's file list.
    session.sourceDir = dist;
    session.destDir = kRoot + "installed\\";
    start = std::chrono::steady_clock::now();
    RunInstallPassOne(session, ui);
    const double installSeconds = Seconds(start);

    const std::string setupFolder = session.SetupFolder();
    const std::string recorded = session.ReadIni("uninstallfilestotal", "uninstall", setupFolder);
    const std::string last = session.ReadIni("file" + std::to_string(files), "uninstall", setupFolder);
    const DWORD lastAttributes =
        GetFileAttributesA((session.destDir + "file" + std::to_string(files) + ".dat").c_str());

    std::printf("plain copy:    %8.3f s (%.3f ms per file)\n", plainSeconds, plainSeconds * 1000 / files);
    std::printf("installation:  %8.3f s (%.3f ms per file)\n", installSeconds, installSeconds * 1000 / files);
    std::printf("ratio installation / plain copy: %.2f\n", installSeconds / plainSeconds);
    if (recorded != std::to_string(files) || last.empty() || lastAttributes == INVALID_FILE_ATTRIBUTES ||
        ui.messages != 0) {
        std::printf("the installation is incomplete: %s recorded, %d messages\n", recorded.c_str(), ui.messages);
        return 1;
    }
    return 0;
}
