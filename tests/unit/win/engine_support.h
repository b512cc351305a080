// Support of the Windows unit tests: files and registry values read back, a scratch
// registry, and the one place where the tests set the setup session and stand in for the user.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_passes.h"
#include "engine/pass_steps.h"
#include "engine/session.h"
#include "engine/setup_ui.h"
#include "system/windows_computer.h"
#include "system/folders.h"
#include "uninstall/uninstaller.h"

namespace kvtest {

struct Shown {
    std::string text;
    Question question;
    std::string title;
};
using Lines = std::vector<std::string>;

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
    std::stringstream all;
    all << std::ifstream(path, std::ios::binary).rdbuf();
    return all.str();
}
inline bool IsFile(const std::string& path) {
    return std::filesystem::is_regular_file(path);
}
// A fresh, empty folder C:\kvtest\<name>\.
inline std::string FreshFolder(const std::string& name) {
    const std::string folder = "C:\\kvtest\\" + name + "\\";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}
inline std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    return GetShortPathNameA(path.c_str(), buffer, MAX_PATH), buffer;
}
inline std::string Lower(std::string text) {
    return CharLowerBuffA(text.data(), static_cast<DWORD>(text.size())), text;
}

// The non-blank lines of one section of an INI file, as they stand.
inline Lines SectionLines(const std::string& path, const std::string& section) {
    Lines lines;
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

inline std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\";
}

// A setup session with the system's folders; what the user would see recorded (message boxes
// answered with `answer`); HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT of this
// process redirected into fresh keys under the real HKCU\Software\KvTestScratch, removed again
// at the end, however the test ends.
class Session : public ::testing::Test, public SetupUi {
  protected:
    std::vector<Shown> shown;
    std::vector<std::string> started;
    Answer answer = Answer::Yes;
    WindowsComputer computer;
    SetupSession session;
    SetupUi& ui = *this; // the user interface of the program under test: it records instead of showing

    Answer Ask(const std::string& text, Question question, const std::string& title) override {
        shown.push_back({text, question, title});
        return answer;
    }
    void ShowProgress(int, int, const std::string&) override {}
    bool StartProgram(const std::string& commandLine) override {
        return started.push_back(commandLine), true;
    }

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        for (int i = 0; i < 3; ++i) {
            RegCreateKeyA(HKEY_CURRENT_USER, (kScratch + std::string("\\") + char('0' + i)).c_str(),
                          &keys_[i]);
            ASSERT_EQ(RegOverridePredefKey(kRoots[i], keys_[i]), ERROR_SUCCESS);
        }
        // A key that every Windows has and the program writes into without creating it.
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", &keys_[3]);
        RegCloseKey(keys_[3]);
        session.computer = &computer;
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) RegOverridePredefKey(kRoots[i], nullptr), RegCloseKey(keys_[i]);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
    }

    void UseSource(const std::string& folder) { session.sourceDir = folder; }
    void UseDestination(const std::string& folder) { session.destDir = folder; }
    std::string Destination() const { return session.destDir; }

  private:
    static constexpr const char* kScratch = "Software\\KvTestScratch";
    const HKEY kRoots[3] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    HKEY keys_[4] = {};
};

// An installation from C:\kvtest\engine\<case>\dist\ (the test program's own setup.exe and
// STKIT432.DLL with the script) into C:\kvtest\engine\<case>\Program Files\Acme Tools\.
class Installation : public Session {
  protected:
    std::string root, dist, dest;

    void Prepare(const std::string& caseName, const std::string& script) {
        root = FreshFolder("engine\\" + caseName);
        dist = root + "dist\\";
        dest = root + "Program Files\\Acme Tools\\";
        MakeDistribution(dist, script);
        UseDestination(dest);
    }
    void MakeDistribution(const std::string& folder, const std::string& script) {
        std::filesystem::create_directories(folder);
        for (const char* name : {"setup.exe", "STKIT432.DLL"})
            std::filesystem::copy_file(BinFolder() + name, folder + name);
        WriteText(folder + "setup.ini", script);
        UseSource(folder);
    }
    void Install() {
        if (RunInstallPassOne(session, ui) == PassOneOutcome::Completed) RunInstallPassTwo(session, ui);
    }
    // The installed program's run: a session of its own, started from the Setup folder.
    UninstallOutcome Uninstall(bool quiet) {
        SetupSession uninstall;
        uninstall.computer = session.computer;
        uninstall.log = session.log;
        uninstall.sourceDir = dest + "Setup\\";
        uninstall.quiet = quiet;
        uninstall.destDir = uninstall.ReadIni("destpath", "uninstall");
        return RunUninstall(uninstall, ui);
    }
};

inline const std::string ProductKey = "SOFTWARE\\Kavex Software\\";
inline const std::string UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

} // namespace kvtest
