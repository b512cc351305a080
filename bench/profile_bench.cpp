// Script access measured against the system's profile functions in the same run:
// reading keys of a 10,000-entry script, and writing file1..fileN into [uninstall].
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "script/profile_files.h"
#include "system/file_stamp.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void WriteScript(const std::string& path, int entries) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    fputs("[install]\r\nProductName=Bench Tool\r\nTotalFiles=0\r\n[uninstall]\r\n", file);
    for (int i = 1; i <= entries; ++i)
        fprintf(file, "file%d=c:\\program files\\bench\\data\\file%d.dat\r\n", i, i);
    fclose(file);
}

struct Result {
    int calls;
    double seconds;
    double PerCallUs() const { return seconds * 1e6 / calls; }
};

void Report(const char* what, const Result& ours, const Result& system) {
    std::printf("%-44s ours %8.2f us/call (%d calls)  system %8.2f us/call (%d calls)  ratio %.1fx\n", what,
                ours.PerCallUs(), ours.calls, system.PerCallUs(), system.calls,
                system.PerCallUs() / ours.PerCallUs());
}

Result ReadOurs(ProfileFiles& files, const std::string& path, int calls, int entries) {
    std::mt19937 pick(1);
    size_t total = 0;
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        total += files.Read(path, "uninstall", "file" + std::to_string(1 + pick() % entries)).size();
    const Result r{calls, SecondsSince(start)};
    if (total == 0) std::printf("  (ours read nothing)\n");
    return r;
}

Result ReadSystem(const std::string& path, int calls, int entries) {
    std::mt19937 pick(1);
    size_t total = 0;
    char buffer[512];
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        const std::string key = "file" + std::to_string(1 + pick() % entries);
        total += GetPrivateProfileStringA("uninstall", key.c_str(), "", buffer, 512, path.c_str());
    }
    const Result r{calls, SecondsSince(start)};
    if (total == 0) std::printf("  (system read nothing)\n");
    return r;
}

Result WriteOurs(ProfileFiles& files, const std::string& path, int count) {
    const auto start = Clock::now();
    for (int i = 1; i <= count; ++i)
        files.Write(path, "uninstall", "file" + std::to_string(i),
                    "c:\\program files\\bench\\data\\file" + std::to_string(i) + ".dat");
    return {count, SecondsSince(start)};
}

Result WriteSystem(const std::string& path, int count) {
    const auto start = Clock::now();
    for (int i = 1; i <= count; ++i) {
        const std::string key = "file" + std::to_string(i);
        const std::string value = "c:\\program files\\bench\\data\\file" + std::to_string(i) + ".dat";
        WritePrivateProfileStringA("uninstall", key.c_str(), value.c_str(), path.c_str());
    }
    return {count, SecondsSince(start)};
}

} // namespace

int main(int argc, char** argv) {
    const int entries = 10000;
    const int systemWrites = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int ourWrites = 10000;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kv-profile-bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);

    std::printf("Script access, ours against the system's profile functions (same run)\n");
    WriteScript(folder + "read.ini", entries);
    // Both sides keep a file that changed within the last two seconds under closer watch;
    // the reading measures a settled file, as a script that ships with the product is.
    Sleep(2500);
    const Result systemRead = ReadSystem(folder + "read.ini", 2000, entries);
    ProfileFiles coarse, precise(SystemFileStamp);
    Report("read, 10,000-entry script, file times to 1 s",
           ReadOurs(coarse, folder + "read.ini", 20000, entries), systemRead);
    Report("read, 10,000-entry script, system file times",
           ReadOurs(precise, folder + "read.ini", 20000, entries), systemRead);

    for (const char* name : {"ours-coarse.ini", "ours-precise.ini", "system.ini"}) {
        DeleteFileA((folder + name).c_str());
        WriteScript(folder + name, 0);
    }
    const Result systemWrite = WriteSystem(folder + "system.ini", systemWrites);
    // With file times to the second, every write within two seconds of the last one checks
    // the whole file's contents: fewer keys, or the run takes minutes.
    Report("write file1..file2000 into [uninstall], 1 s times",
           WriteOurs(coarse, folder + "ours-coarse.ini", 2000), systemWrite);
    Report("write file1..file10000 into [uninstall], system times",
           WriteOurs(precise, folder + "ours-precise.ini", ourWrites), systemWrite);

    // The files must hold the same lines for the keys both wrote.
    char a[512], b[512];
    GetPrivateProfileStringA("uninstall", "file1", "", a, 512, (folder + "ours-precise.ini").c_str());
    GetPrivateProfileStringA("uninstall", "file1", "", b, 512, (folder + "system.ini").c_str());
    std::printf("check: file1 reads \"%s\" from ours, \"%s\" from the system's\n", a, b);
    return std::string(a) == b ? 0 : 1;
}
