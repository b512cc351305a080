// Installations ended abruptly (the process killed) at many moments of both passes: the
// Setup folder left behind must always uninstall what was done up to that moment.
#include <filesystem>
#include <fstream>
#include <set>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const std::string kDest = "C:\\kvtest\\interrupted\\";
const std::string kKey = "SOFTWARE\\Kavex Test\\Interrupted";

const std::string kLog = (std::filesystem::temp_directory_path() / "KavexInstall.log").string();

// What follows `prefix` on each whole line of the setup log, from `offset` on, that starts with it.
std::vector<std::string> Logged(uint64_t offset, const std::string& prefix) {
    std::ifstream in(kLog, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0 && line.back() == '\r')
            found.push_back(line.substr(prefix.size(), line.size() - prefix.size() - 1));
    return found;
}
std::string Recorded(const std::string& name) {
    char value[1024] = {};
    GetPrivateProfileStringA("uninstall", name.c_str(), "", value, sizeof value,
                             (kDest + "Setup\\setup.ini").c_str());
    return value;
}
std::string Lower(std::string text) {
    return CharLowerA(text.data()), text;
}

class InterruptedTest : public SetupRun {
  protected:
    void SetUp() override {
        SetupRun::SetUp();
        CleanUpFolder(kDest);
        for (const char* key :
             {"SOFTWARE\\Kavex Test\\Interrupted", "SOFTWARE\\Kavex Software\\Acme Interrupted",
              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Interrupted"})
            CleanUpKey(HKEY_LOCAL_MACHINE, key);
        CleanUpKey(HKEY_CLASSES_ROOT, ".kvint");
        CleanUpKey(HKEY_CLASSES_ROOT, "KvInterrupted.File");
        WriteDistFile("data.txt", "some data");
        // 200 files in four folders, registry keys, a file type and four shortcuts (the first
        // entry holds many lines: WriteScript only joins the entries with line ends).
        script_ = {
            "[install]\r\nSetupTitle=Acme Setup\r\nProgramName=Acme\r\nProductName=Acme Interrupted\r\n"
            "DefaultDir=C:\\kvtest\\interrupted\\\r\nEstablishSetup=1\r\nTotalFiles=200\r\nTotalRegKeys=2\r\n"
            "RegKeyRoot1=&H80000002\r\nRegKeySubKey1=SOFTWARE\\Kavex Test\\Interrupted\\A\r\n"
            "RegKeyValueName1=Folder\r\nRegKeyValue1=x\r\n"
            "RegKeyUninstall1=SOFTWARE\\Kavex Test\\Interrupted\r\nRegKeyRoot2=&H80000002\r\n"
            "RegKeySubKey2=SOFTWARE\\Kavex Test\\Interrupted\\B\r\nTotalRegExts=1\r\nRegExt1=.kvint\r\n"
            "RegExt1key=KvInterrupted.File\r\nRegExt1Desc=Interrupted file\r\nTotalShortcuts=4\r\n"
            "DefaultShortcutFolder=Acme Interrupted"};
        for (int n = 1; n <= 200; ++n) {
            const std::string file = "part" + std::to_string(n % 4) + "\\f" + std::to_string(n) + ".txt";
            script_.push_back("srcfile" + std::to_string(n) + "=data.txt");
            script_.push_back("destfile" + std::to_string(n) + "=" + file);
            if (n > 4) continue;
            script_.push_back("Shortcut" + std::to_string(n) + "=" + file);
            script_.push_back("Shortcut" + std::to_string(n) + "Desc=Shortcut " + std::to_string(n));
        }
    }

    // Installs through the wizard and kills the program as soon as the setup log holds the
    // `count`-th line that starts with `prefix`; then checks what the Setup folder recorded
    // and uninstalls with it.
    void KillAndUninstall(const std::string& prefix, size_t count) {
        SCOPED_TRACE(prefix + std::to_string(count));
        std::error_code ignored;
        const uint64_t offset = std::filesystem::exists(kLog) ? std::filesystem::file_size(kLog) : 0;
        StartWizard(script_);
        for (const std::string& screen : {kDest, kReady}) { // generous limits: the machine may be busy
            Press("&Next >");
            ASSERT_TRUE(Shows(screen, 30000));
        }
        Press("Finish");
        const auto end = GetTickCount64() + 60000;
        while (Logged(offset, prefix).size() < count && GetTickCount64() < end) Sleep(2);
        StopAll();
        ASSERT_GE(Logged(offset, prefix).size(), count) << "the installation never got there";

        // Every file and shortcut done before the kill is recorded; at most the last one is not.
        std::set<std::string> recorded;
        const int total = std::atoi(Recorded("uninstallfilestotal").c_str());
        for (int n = 1; n <= total; ++n) recorded.insert(Lower(Recorded("file" + std::to_string(n))));
        EXPECT_EQ(Recorded("file" + std::to_string(total + 1)), "") << "a record beyond the count";
        const auto installed = Logged(offset, "installed: ");
        for (size_t i = 0; i + 1 < installed.size(); ++i)
            EXPECT_TRUE(recorded.count(Lower(installed[i]))) << installed[i] << " is not recorded";
        for (size_t n = 1; n < Logged(offset, "shortcut: ").size(); ++n)
            EXPECT_NE(Recorded("shortcut" + std::to_string(n)), "") << "shortcut " << n;

        // The Setup folder's own program uninstalls it, and ends normally.
        std::vector<std::string> present;
        for (const auto& file : recorded)
            if (!file.empty() && std::filesystem::exists(file)) present.push_back(file);
        StartCommand(kDest + "Setup\\setup.exe uninstall quiet", "C:\\");
        EXPECT_EQ(WaitExit(60000), 0u);
        for (const auto& file : present) EXPECT_FALSE(std::filesystem::exists(file)) << file << " stayed";
        HKEY key = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        if (key) RegCloseKey(key);
        std::filesystem::remove_all(kDest, ignored);
    }

    std::vector<std::string> script_;
};

TEST_F(InterruptedTest, EveryMomentOfBothPassesCanBeUninstalled) {
    for (size_t count : {1, 2, 5, 10, 15, 30, 50, 70, 90, 100, 110, 130, 150, 170, 190, 199, 200})
        KillAndUninstall("installed: ", count);
    // While the Setup folder's program and library are put in place again at the end.
    KillAndUninstall("Setup folder: ", 3);
    KillAndUninstall("registry key: ", 1);
    for (size_t count : {1, 2, 3, 4}) KillAndUninstall("shortcut: ", count);
    KillAndUninstall("registry value: ", 8); // the uninstall entry
}

} // namespace
} // namespace e2e
