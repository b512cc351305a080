// The setup log names what an installation did and every action that failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/install_passes.h"
#include "system/folders.h"
#include "system/regprocs.h"
#include "system/setup_log.h"
#include "recording_ui.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class SetupLogTest : public ::testing::Test {
  protected:
    const std::string root = "C:\\kvtest\\log\\";
    const std::string dist = root + "dist\\";
    const std::string dest = root + "dest\\";
    const std::string logPath = root + "KavexInstall.log";

    void SetUp() override { fs::remove_all(root); }
    void TearDown() override {
        fs::remove_all(root);
        HKEY fonts;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", 0,
                          KEY_SET_VALUE, &fonts) == ERROR_SUCCESS) {
            RegDeleteValueA(fonts, "Kavex Log Test Font");
            RegCloseKey(fonts);
        }
    }

    std::string Install() {
        SetupLog log;
        EXPECT_TRUE(log.Open(logPath, "setup.exe", dist + "setup.ini"));
        SetupSession s;
        s.sourceDir = dist;
        s.destDir = dest;
        s.folders = &SystemFolderSource();
        s.log = &log;
        RecordingUi ui;
        EXPECT_EQ(PassOneOutcome::Completed, RunInstallPassOne(s, ui));
        RunInstallPassTwo(s, ui);
        log.Close();
        std::ifstream in(logPath, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(SetupLogTest, NamesInstalledFilesAndEveryFailure) {
    Write(dist + "setup.ini", "[install]\r\n"
                              "TotalFiles=3\r\n"
                              "srcfile1=a.txt\r\ndestfile1=a.txt\r\n"
                              "srcfile2=missing.dll\r\ndestfile2=missing.dll\r\n"
                              "srcfile3=bad.ttf\r\ndestfile3=bad.ttf\r\nDestFileFont3=Kavex Log Test Font\r\n"
                              // 12345 names no registry root: the key cannot be written.
                              "TotalRegKeys=1\r\nRegKeyRoot1=12345\r\nRegKeySubKey1=Software\\KavexLogTest\r\n"
                              // A shortcut name with a backslash is refused by the toolkit.
                              "TotalShortcuts=1\r\nShortcut1=a.txt\r\nShortcut1Desc=bad\\name\r\n"
                              "Shortcut1Folder=KavexLogTest\r\n");
    Write(dist + "a.txt", "a");
    Write(dist + "bad.ttf", "not a font");

    const std::string log = Install();

    EXPECT_EQ(0u, log.find("==== KavexInstall "));
    EXPECT_NE(std::string::npos, log.find("\r\ncommand line: setup.exe\r\nscript: " + dist + "setup.ini\r\n"));
    EXPECT_NE(std::string::npos, log.find("\r\ninstalled: " + dest + "a.txt\r\n")) << log;
    EXPECT_NE(std::string::npos,
              log.find("\r\nfailed: copy " + dist + "missing.dll to " + dest +
                       "missing.dll (version installer result &H"))
        << log;
    EXPECT_NE(std::string::npos, log.find("\r\nfailed: add font " + dest + "bad.ttf")) << log;
    EXPECT_NE(std::string::npos, log.find("\r\nfailed: create registry key 12345\\Software\\KavexLogTest: system error "))
        << log;
    EXPECT_NE(std::string::npos, log.find("\r\nfailed: make the shortcut KavexLogTest\\bad\\name to " + dest + "a.txt"))
        << log;
}

} // namespace
