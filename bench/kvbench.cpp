// kvbench: the pieces that scripts/bench.sh puts together, each a command run under Wine.
//
//   kvbench make <dist> <dest> files <n> <big>   a product of n files of 4 KB in 100 folders
//                                                and big files of 5 MB, all recorded for
//                                                uninstall, installed into <dest>
//   kvbench make <dist> <dest> kill <n>          a product whose kill list counts n items and
//                                                names none
//   kvbench copy <dist> <dest> <n> <big>         the baseline: the same folders made and the
//                                                same files copied with CopyFileA
//   kvbench verinstall <dist> <dest> <n>         the baseline: VerInstallFileA (long names, no
//                                                other work) over the n small files
//   kvbench parts <dist> <dest> <n>              where the time of one installed file goes: each
//                                                piece of the work timed alone over n files
//   kvbench wizard <setup.exe> [probe]           the setup driven to Finish, as a user accepting
//                                                every default; prints the seconds from the click
//                                                on Finish to the program's end and its peak
//                                                working set; with probe, also the longest time
//                                                that a window of the program took to answer
//                                                meanwhile (tools/driver/probe.h)
//   kvbench idle <setup.exe> <ms>                the baseline of that: the longest time to answer
//                                                while the wizard waits on its first screen
//
// Each timing command prints "seconds=<s>" (and "peak=<bytes>", "gap=<ms>") on its last line.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "driver/driver.h"
#include "driver/probe.h"
#include "engine/file_ops.h"
#include "engine/session.h"
#include "script/profile_files.h"
#include "script/script.h"
#include "system/file_stamp.h"
#include "system/file_system.h"
#include "engine/setup_log.h"
#include "system/windows_computer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFolders = 100;
constexpr int kSmall = 4096, kBig = 5 << 20;

std::string SmallName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.dat", n);
    return name;
}
std::string BigName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "big%02d.bin", n);
    return name;
}
// The folder of a file under the destination: the small files spread over 100 folders,
// the big ones in a folder of their own.
std::string FolderOf(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "Folder %02d", n % kFolders);
    return name;
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int Make(const std::string& dist, const std::string& dest, const std::string& kind, int n, int big) {
    CreateDirectoryA(dist.c_str(), nullptr);
    std::string script = "[install]\r\nProductName=Bench\r\nProgramName=Bench\r\nSetupTitle=Bench Setup\r\n"
                         "DefaultDir=" +
                         dest + "\r\n";
    if (kind == "kill") {
        script += "KillFilesTotal=" + std::to_string(n) + "\r\n";
        return WriteBytes(dist + "setup.ini", script) ? 0 : 1;
    }
    script += "EstablishSetup=1\r\nTotalFiles=" + std::to_string(n + big) + "\r\n";
    std::string content(kSmall, ' ');
    for (int i = 1; i <= n; ++i) {
        // Every file differs from the others.
        std::snprintf(content.data(), 16, "%015d", i);
        if (!WriteBytes(dist + SmallName(i), content)) return 1;
        script += "srcfile" + std::to_string(i) + "=" + SmallName(i) + "\r\ndestfile" + std::to_string(i) +
                  "=" + FolderOf(i) + "\\" + SmallName(i) + "\r\n";
    }
    std::string large(kBig, 'k');
    for (int i = 1; i <= big; ++i) {
        std::snprintf(large.data(), 16, "%015d", i);
        if (!WriteBytes(dist + BigName(i), large)) return 1;
        script += "srcfile" + std::to_string(n + i) + "=" + BigName(i) + "\r\ndestfile" +
                  std::to_string(n + i) + "=Big\\" + BigName(i) + "\r\n";
    }
    return WriteBytes(dist + "setup.ini", script) ? 0 : 1;
}

int Copy(const std::string& dist, const std::string& dest, int n, int big) {
    const auto start = Clock::now();
    CreateDirectoryA(dest.c_str(), nullptr);
    for (int f = 0; f < kFolders; ++f) CreateDirectoryA((dest + FolderOf(f)).c_str(), nullptr);
    CreateDirectoryA((dest + "Big").c_str(), nullptr);
    for (int i = 1; i <= n; ++i)
        if (!CopyFileA((dist + SmallName(i)).c_str(), (dest + FolderOf(i) + "\\" + SmallName(i)).c_str(),
                       FALSE))
            return 1;
    for (int i = 1; i <= big; ++i)
        if (!CopyFileA((dist + BigName(i)).c_str(), (dest + "Big\\" + BigName(i)).c_str(), FALSE)) return 1;
    std::printf("seconds=%.3f\n", Since(start));
    return 0;
}

int VerInstall(const std::string& dist, const std::string& dest, int n) {
    const auto start = Clock::now();
    int failed = 0;
    for (int i = 1; i <= n; ++i) {
        std::string name = SmallName(i), from = dist, to = dest + FolderOf(i) + "\\";
        char temp[256] = {}, none[1] = "";
        UINT length = 255;
        if (VerInstallFileA(0, name.data(), name.data(), from.data(), to.data(), none, temp, &length) != 0)
            ++failed;
    }
    std::printf("seconds=%.3f\n", Since(start));
    return failed == 0 ? 0 : 1;
}

class QuietUi final : public SetupUi {
  public:
    Answer Ask(const std::string&, Question, const std::string&) override { return Answer::Ok; }
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string&) override { return true; }
};

// Prints the time per file of one piece of the work, done for n files.
template <class Work> void Part(const char* what, int n, Work work) {
    const auto start = Clock::now();
    for (int i = 1; i <= n; ++i) work(i);
    std::printf("%-58s %8.1f us per file\n", what, Since(start) * 1e6 / n);
}

int Parts(const std::string& dist, const std::string& dest, int n) {
    WindowsComputer computer;
    SetupSession s;
    s.computer = &computer;
    CreateDirectoryA(dest.c_str(), nullptr);
    SetupLog log;
    log.Open(computer, dest + "bench.log", "kvbench parts", dist + "setup.ini");
    s.log = &log;
    s.sourceDir = dist;
    s.destDir = dest;
    QuietUi ui;
    for (int f = 0; f < kFolders; ++f) CreateDirectoryA((dest + FolderOf(f)).c_str(), nullptr);
    CreateDirectoryA((dest + "Setup").c_str(), nullptr);
    CopyFileA((dist + "setup.ini").c_str(), (dest + "Setup\\setup.ini").c_str(), FALSE);
    auto target = [&](const char* tree, int i) {
        return dest + tree + "\\" + FolderOf(i) + "\\" + SmallName(i);
    };
    for (const char* tree : {"copy", "fast", "versioned", "again"}) {
        CreateDirectoryA((dest + tree).c_str(), nullptr);
        for (int f = 0; f < kFolders; ++f)
            CreateDirectoryA((dest + tree + "\\" + FolderOf(f)).c_str(), nullptr);
    }
    Part("CopyFileA (the baseline)", n,
         [&](int i) { CopyFileA((dist + SmallName(i)).c_str(), target("copy", i).c_str(), FALSE); });
    Part("one value read from the script (ReadIni)", n,
         [&](int i) { s.ReadIni("srcfile" + std::to_string(i)); });
    Part("one record appended to a script closed after each write", n, [&](int i) {
        s.WriteIni("file" + std::to_string(i), target("copy", i), "uninstall", dest + "Setup\\");
    });
    computer.HoldScript(dest + "Setup\\setup.ini");
    Part("one record appended to the installed script held open", n, [&](int i) {
        s.WriteIni("again" + std::to_string(i), target("copy", i), "uninstall", dest + "Setup\\");
    });
    computer.StopHoldingScript();
    Part("one line of the setup log", n, [&](int i) { s.Log("installed: " + target("copy", i)); });
    Part("the folder test (FolderExists)", n, [&](int i) { FolderExists(dest + "copy\\" + FolderOf(i)); });
    Part("opening an existing file to see that it is there", n,
         [&](int i) { FileCanBeRead(target("copy", i)); });
    Part("a new file refused because the name is taken", n,
         [&](int i) { CopyIntoNewFile(dist + SmallName(i), target("copy", i)); });
    Part("the short form of a file's path (GetShortPath)", n,
         [&](int i) { GetShortPath(target("copy", i)); });
    Part("the short name of a file in its folder (FindFirstFileA)", n,
         [&](int i) { ShortNameInFolder(target("copy", i)); });
    Part("the versioned copy of a new file (direct copy)", n, [&](int i) {
        InstallVersionedFile(s, ui, dist, dest + "fast\\" + FolderOf(i) + "\\", SmallName(i), SmallName(i));
    });
    Part("the versioned copy of a new file (version installer)", n, [&](int i) {
        const std::string folder = dest + "versioned\\" + FolderOf(i) + "\\";
        CreatePlaceholderFile(folder + SmallName(i)); // an existing file: no direct copy
        InstallVersionedFile(s, ui, dist, folder, SmallName(i), SmallName(i));
    });
    ShortFolderNames folders;
    Part("the versioned copy over an existing file", n, [&](int i) {
        InstallVersionedFile(s, ui, dist, dest + "fast\\" + FolderOf(i) + "\\", SmallName(i), SmallName(i), 0,
                             &folders);
    });
    Part("VerInstallFileA alone over an existing file (long names)", n, [&](int i) {
        std::string name = SmallName(i), from = dist, to = dest + "copy\\" + FolderOf(i) + "\\";
        char temp[256] = {}, none[1] = "";
        UINT length = 255;
        VerInstallFileA(0, name.data(), name.data(), from.data(), to.data(), none, temp, &length);
    });
    return 0;
}

// Starts the setup program in its own folder.
bool StartSetup(const std::string& setupExe, PROCESS_INFORMATION& pi) {
    std::string commandLine = "\"" + setupExe + "\"";
    const std::string folder = setupExe.substr(0, setupExe.find_last_of('\\') + 1);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi))
        return false;
    return CloseHandle(pi.hThread), true;
}

int Wizard(const std::string& setupExe, bool probed) {
    using namespace e2e;
    PROCESS_INFORMATION pi{};
    if (!StartSetup(setupExe, pi)) return 1;
    std::unique_ptr<ResponsivenessProbe> probe;
    Clock::time_point finish;
    bool finished = false;
    SIZE_T peak = 0;
    const auto deadline = Clock::now() + std::chrono::minutes(10);
    // Every look at the windows costs the system's server work that the setup program
    // waits for: once in 100 ms is enough.
    while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
        // The peak only grows; the last reading before the end is the program's peak.
        PROCESS_MEMORY_COUNTERS memory{};
        if (GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory)) peak = memory.PeakWorkingSetSize;
        if (Clock::now() > deadline) {
            TerminateProcess(pi.hProcess, 1);
            return 1;
        }
        if (auto box = FindMessageBox(pi.dwProcessId)) {
            for (const auto& b : box->buttons)
                if (b == "&Yes" || b == "OK") {
                    AnswerMessageBox(*box, b);
                    break;
                }
            continue;
        }
        if (finished) continue;
        HWND wizard = FindWindowOf(pi.dwProcessId, "Setup Wizard");
        if (!wizard || !IsShown(wizard)) continue;
        for (const char* caption : {"Finish", "&Next >"}) {
            HWND button = FindControl(wizard, caption, "Button");
            if (button && IsShown(button) && IsEnabledWindow(button)) {
                const bool last = std::string(caption) == "Finish";
                if (last) {
                    finished = true;
                    if (probed) probe = std::make_unique<ResponsivenessProbe>(pi.dwProcessId);
                    finish = Clock::now();
                }
                Click(button);
                // The next screen needs a moment. After Finish nothing is waited for but
                // the program's end: the wait above sees it the moment it comes.
                if (!last) Sleep(200);
                break;
            }
        }
    }
    const double seconds = Since(finish);
    CloseHandle(pi.hProcess);
    if (!finished) return 1;
    std::printf("seconds=%.3f peak=%llu", seconds, static_cast<unsigned long long>(peak));
    if (probe) std::printf(" gap=%d", probe->Stop().ms);
    return std::printf("\n"), 0;
}

int Idle(const std::string& setupExe, int ms) {
    PROCESS_INFORMATION pi{};
    if (!StartSetup(setupExe, pi)) return 1;
    const bool shown = e2e::WaitWindowOf(pi.dwProcessId, "Setup Wizard", "", 60000);
    int gap = -1;
    if (shown) {
        e2e::ResponsivenessProbe probe(pi.dwProcessId);
        Sleep(ms); // the time measured, not a wait for the program
        gap = probe.Stop().ms;
    }
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    if (!shown) return 1;
    std::printf("gap=%d\n", gap);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    auto number = [&](int i) { return argc > i ? std::atoi(argv[i]) : 0; };
    if (command == "make" && argc >= 6) return Make(argv[2], argv[3], argv[4], number(5), number(6));
    if (command == "copy" && argc == 6) return Copy(argv[2], argv[3], number(4), number(5));
    if (command == "verinstall" && argc == 5) return VerInstall(argv[2], argv[3], number(4));
    if (command == "parts" && argc == 5) return Parts(argv[2], argv[3], number(4));
    if (command == "wizard" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "probe")))
        return Wizard(argv[2], argc == 4);
    if (command == "idle" && argc == 4) return Idle(argv[2], number(3));
    std::printf("usage: see the head of bench/kvbench.cpp\n");
    return 2;
}
