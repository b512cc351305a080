// Installations ended abruptly (the process killed) at many moments of both passes, and one
// on a drive that fills: the Setup folder left behind must always uninstall what was done.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const std::string kDest = "C:\\kvtest\\interrupted\\";
const std::string kKey = "SOFTWARE\\Kavex Test\\Interrupted";
constexpr int64_t kBig = 64 << 20;

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
std::string Recorded(const std::string& name, const std::string& dest = kDest) {
    char value[1024] = {};
    GetPrivateProfileStringA("uninstall", name.c_str(), "", value, sizeof value,
                             (dest + "Setup\\setup.ini").c_str());
    return value;
}
std::string Lower(std::string text) {
    return CharLowerA(text.data()), text;
}
// Every file in the folder and below it but outside its Setup folder, in lower case.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        if (entry.is_regular_file() && Lower(entry.path().string()).rfind(Lower(folder + "Setup\\"), 0) != 0)
            files.push_back(Lower(entry.path().string()));
    return files;
}
int64_t SizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<int64_t>(size);
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
        WriteDistFile("big.dat", std::string(kBig, 'b'));
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
        // File 100 is large enough to be killed during its copy.
        for (int n = 1; n <= 200; ++n) {
            const std::string file =
                n == 100 ? "big.dat" : "part" + std::to_string(n % 4) + "\\f" + std::to_string(n) + ".txt";
            script_.push_back("srcfile" + std::to_string(n) + (n == 100 ? "=big.dat" : "=data.txt"));
            script_.push_back("destfile" + std::to_string(n) + "=" + file);
            if (n > 4) continue;
            script_.push_back("Shortcut" + std::to_string(n) + "=" + file);
            script_.push_back("Shortcut" + std::to_string(n) + "Desc=Shortcut " + std::to_string(n));
        }
    }

    // Installs through the wizard and kills the program as soon as the setup log holds the
    // `count`-th line that starts with `prefix` (and, with `growing`, that file or its
    // temporary copy holds at least `bytes`); then checks what the Setup folder recorded
    // and uninstalls with it: nothing of the product may stay.
    void KillAndUninstall(const std::string& prefix, size_t count, const std::string& growing = "",
                          int64_t bytes = 0) {
        SCOPED_TRACE(prefix + std::to_string(count) + " " + growing + " " + std::to_string(bytes));
        std::error_code ignored;
        const uint64_t offset = std::filesystem::exists(kLog) ? std::filesystem::file_size(kLog) : 0;
        Install(script_, kDest);
        const auto end = GetTickCount64() + 60000;
        const auto there = [&] {
            return Logged(offset, prefix).size() >= count &&
                   (growing.empty() || std::max(SizeOf(growing), SizeOf(growing + ".kvnew")) >= bytes);
        };
        while (!there() && GetTickCount64() < end) Sleep(growing.empty() ? 2 : 0);
        StopAll();
        ASSERT_TRUE(there()) << "the installation never got there";

        // Every shortcut made before the kill is recorded (a file that is not stays behind below).
        const int total = std::atoi(Recorded("uninstallfilestotal").c_str());
        EXPECT_EQ(Recorded("file" + std::to_string(total + 1)), "") << "a record beyond the count";
        for (size_t n = 1; n < Logged(offset, "shortcut: ").size(); ++n)
            EXPECT_NE(Recorded("shortcut" + std::to_string(n)), "") << "shortcut " << n;

        Uninstall(kDest);
        HKEY key = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        if (key) RegCloseKey(key);
        std::filesystem::remove_all(kDest, ignored);
    }

    // Through the wizard to Finish (generous limits: the machine may be busy).
    void Install(const std::vector<std::string>& script, const std::string& dest) {
        StartWizard(script);
        for (const std::string& screen : {dest, kReady}) {
            Press("&Next >");
            ASSERT_TRUE(Shows(screen, 30000));
        }
        Press("Finish");
    }
    // The Setup folder's own program uninstalls, ends normally and leaves nothing of the product.
    void Uninstall(const std::string& dest) {
        StartCommand(dest + "Setup\\setup.exe uninstall quiet", "C:\\");
        EXPECT_EQ(WaitExit(60000), 0u);
        EXPECT_EQ(FilesIn(dest), std::vector<std::string>{}) << "stayed after the uninstall";
    }

    std::vector<std::string> script_;
};

TEST_F(InterruptedTest, EveryMomentOfBothPassesCanBeUninstalled) {
    // Each right after a copy, where its record used to come next.
    for (size_t count : {1, 2, 5, 10, 15, 30, 50, 70, 90, 100, 110, 130, 150, 170, 190, 199, 200})
        KillAndUninstall("installed: ", count);
    // During the copy of the large file, near its start and in its middle.
    for (int64_t bytes : {int64_t{1} << 20, kBig / 2})
        KillAndUninstall("installed: ", 99, kDest + "big.dat", bytes);
    // While the Setup folder's program and library are put in place again at the end.
    KillAndUninstall("Setup folder: ", 3);
    KillAndUninstall("registry key: ", 1);
    for (size_t count : {1, 2, 3, 4}) KillAndUninstall("shortcut: ", count);
    KillAndUninstall("registry value: ", 8); // the uninstall entry
}

// A destination drive that fills during the file list (E:, which the test run mounts with
// room for the Setup folder's files and about a third of the product): the files that fit
// are installed, the others are failed copies that leave nothing behind, and the installed
// script still names the destination and every file on the drive, which the uninstall removes.
TEST_F(InterruptedTest, AFullDriveKeepsTheRecords) {
    const std::string dest = "E:\\kvfull\\";
    CleanUpFolder(dest);
    ULARGE_INTEGER room{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("E:\\", &room, nullptr, nullptr)) << "the test run mounts E:";
    const int64_t size =
        (static_cast<int64_t>(room.QuadPart) - SizeOf(dist_ + "setup.exe") - SizeOf(dist_ + "STKIT432.DLL")) /
        10;
    ASSERT_GT(size, 30000) << "E: is too small";
    WriteDistFile("part.dat", std::string(size, 'p'));
    std::string script = "[install]\r\nSetupTitle=Acme Setup\r\nProgramName=Acme\r\nProductName=Acme "
                         "Interrupted\r\nEstablishSetup=1\r\nTotalFiles=30\r\nDefaultDir=" +
                         dest;
    for (int i = 1; i <= 30; ++i) {
        const std::string n = std::to_string(i);
        script += "\r\nsrcfile" + n + "=part.dat\r\ndestfile" + n + "=f" + n + ".dat";
    }
    Install({script}, dest);
    int failed = 0;
    for (std::optional<MessageBoxView> box;
         (box = WaitMessageBox(Pid(), 60000)) && box->text.find("could not be copied.") != std::string::npos;
         ++failed)
        ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    ExpectBox("There were some errors during installation. You may have to reinstall Acme at a later date.",
              "OK");
    EXPECT_EQ(WaitExit(60000), 1603u);

    EXPECT_EQ(Recorded("destpath", dest), Lower(dest));
    std::set<std::string> recorded;
    for (int n = 1; n <= 30; ++n) recorded.insert(Recorded("file" + std::to_string(n), dest));
    const auto onDisk = FilesIn(dest);
    for (const auto& file : onDisk) EXPECT_TRUE(recorded.count(file) && SizeOf(file) == size) << file;
    EXPECT_TRUE(!onDisk.empty() && failed == 30 - static_cast<int>(onDisk.size()))
        << failed << " failed copies, " << onDisk.size() << " files on the drive";
    for (const char* file : {"setup.exe", "stkit432.dll", "setup.ini"})
        EXPECT_EQ(SizeOf(dest + "Setup\\" + file + ".kvnew"), -1) << file;

    Uninstall(dest);
}

} // namespace
} // namespace e2e
