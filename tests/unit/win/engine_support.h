// A test installation: a distribution folder under C:\kvtest\engine\<case>\ with the
// test program's own setup.exe and STKIT432.DLL, a destination beside it, and the
// message boxes, progress texts and started programs captured instead of shown.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "engine/progress.h"
#include "script/globals.h"
#include "script/macros.h"
#include "system/folders.h"
#include "uninstall/uninstaller.h"
#include "windows/msgbox.h"

namespace enginetest {

struct Shown {
    std::string text;
    unsigned flags;
    std::string title;
};
struct ProgressEntry {
    int done, total;
    std::string text;
    bool operator==(const ProgressEntry&) const = default;
};

inline std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().string() + "\\";
}
inline void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}
inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}
inline bool IsFile(const std::string& path) {
    return std::filesystem::is_regular_file(path);
}

// The non-blank lines of one section of an INI file, as they stand.
inline std::vector<std::string> SectionLines(const std::string& path, const std::string& section) {
    std::vector<std::string> lines;
    std::istringstream in(ReadText(path));
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[')
            inside = _stricmp(line.c_str(), ("[" + section + "]").c_str()) == 0;
        else if (inside)
            lines.push_back(line);
    }
    return lines;
}

inline std::optional<std::string> RegText(HKEY root, const std::string& key, const std::string& name) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}
inline bool RegKeyThere(HKEY root, const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}
inline void RegPut(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    RegSetKeyValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}
inline void RegRemove(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

inline std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\";
}
inline std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}
inline std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

class Installation : public ::testing::Test {
  protected:
    std::string root, dist, dest;
    std::vector<Shown> shown;
    std::vector<ProgressEntry> progress;
    std::vector<std::string> started;
    int answer = IDYES;

    void SetUp() override {
        SetMessageBoxHook([this](const std::string& text, unsigned flags, const std::string& title) {
            shown.push_back({text, flags, title});
            return answer;
        });
        SetProgressHook([this](int done, int total, const std::string& text) {
            progress.push_back({done, total, text});
        });
        SetProgramStartHook([this](const std::string& commandLine) {
            started.push_back(commandLine);
            return true;
        });
        QuietMode = false;
        InstallErrors = false;
    }
    void TearDown() override {
        SetMessageBoxHook(nullptr);
        SetProgressHook(nullptr);
        SetProgramStartHook(nullptr);
    }

    // A fresh distribution folder and destination for the case.
    void Prepare(const std::string& caseName, const std::string& script) {
        root = "C:\\kvtest\\engine\\" + caseName + "\\";
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
        dist = root + "dist\\";
        dest = root + "Program Files\\Acme Tools\\";
        std::filesystem::create_directories(dist);
        for (const char* name : {"setup.exe", "STKIT432.DLL"})
            std::filesystem::copy_file(BinFolder() + name, dist + name);
        WriteText(dist + "setup.ini", script);
        SourceDir = dist;
        DestDir = dest;
    }
    void Install() {
        RunInstallPassOne();
        RunInstallPassTwo();
    }
    void Uninstall(bool quiet) {
        SourceDir = dest + "Setup\\";
        QuietMode = quiet;
        RunUninstall();
    }
    std::string InstalledScript() const { return dest + "Setup\\setup.ini"; }
};

} // namespace enginetest
