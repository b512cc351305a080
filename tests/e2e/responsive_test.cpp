// The program's windows answer the system while it works, and what the user does meanwhile
// changes nothing. A probe (tools/driver/probe.h) asks every window of the program about every
// 50 ms whether it answers, through a large installation made with the wizard, the same made
// again over it, its uninstall with the uninstall window, and an installation that waits for the
// earlier one's uninstaller (RemovePrev). No window may go 2 s without answering: four times the
// program's aim, which scripts/bench.sh measures, so that a busy machine does not fail the test.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "driver/probe.h"
#include "driver/setup_run.h"

namespace e2e {
namespace {

constexpr int kFiles = 3000, kKeys = 6000, kLimitMs = 2000;
const std::string kDest = "C:\\kvtest\\responsive\\", kProduct = "Acme Responsive",
                  kKey = "SOFTWARE\\Kavex Test\\Responsive";

std::string FileName(int n) {
    return "d" + std::to_string(n % 20) + "\\f" + std::to_string(n) + ".dat";
}

class ResponsiveTest : public SetupRun {
  protected:
    void SetUp() override {
        SetupRun::SetUp();
        CleanUpFolder(kDest);
        CleanUpKey(HKEY_LOCAL_MACHINE, kUninstallKey);
        CleanUpKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kavex Software\\" + kProduct);
        CleanUpKey(HKEY_LOCAL_MACHINE, kKey);
        WriteDistFile("data.txt", std::string(4096, 'd'));
    }
    // `files` copies of one file in 20 folders and `keys` registry keys fifteen levels deep, all
    // recorded for uninstall (an uninstall removes at most 255 files: keys make it long), then `more`.
    static std::vector<std::string> Script(int files, int keys, const std::vector<std::string>& more = {}) {
        std::vector<std::string> lines = {"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme",
                                          "EstablishSetup=1"};
        lines.insert(lines.end(),
                     {"ProductName=" + kProduct, "DefaultDir=" + kDest, "TotalFiles=" + std::to_string(files),
                      "TotalRegKeys=" + std::to_string(keys)});
        for (int n = 1; n <= files; ++n)
            lines.insert(lines.end(), {"srcfile" + std::to_string(n) + "=data.txt",
                                       "destfile" + std::to_string(n) + "=" + FileName(n)});
        for (int n = 1; n <= keys; ++n) {
            const std::string i = std::to_string(n), key = kKey + "\\k" + i;
            lines.insert(lines.end(),
                         {"RegKeyRoot" + i + "=&H80000002",
                          "RegKeySubKey" + i + "=" + key + "\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n",
                          "RegKeyUninstall" + i + "=" + key});
        }
        return lines.insert(lines.end(), more.begin(), more.end()), lines;
    }
    void ToReady(const std::vector<std::string>& script) {
        StartWizard(script);
        for (const std::string& screen : {kDest, kReady}) {
            Press("&Next >");
            ASSERT_TRUE(Shows(screen, 30000));
        }
    }
    // `work` with a probe on the last started program until the program ends normally.
    void Probed(const std::string& phase, const std::function<void()>& work) {
        ResponsivenessProbe probe(Pid());
        work();
        if (HasFatalFailure()) StopAll();
        EXPECT_EQ(WaitExit(120000), 0u) << phase;
        const AnswerGap gap = probe.Stop();
        std::printf("[ probe    ] %s: longest gap %d ms, %s, from %d ms on; %d answers\n", phase.c_str(),
                    gap.ms, gap.window.c_str(), gap.startMs, probe.Probes());
        EXPECT_GT(probe.Probes(), 0) << phase << ": the probe found no window";
        EXPECT_LT(gap.ms, kLimitMs) << phase << ": " << gap.window << " did not answer for " << gap.ms
                                    << " ms, from " << gap.startMs << " ms after the probe's start on";
    }
    const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kProduct;
};

TEST_F(ResponsiveTest, EveryWindowAnswersThroughInstallationsUninstallAndRemovePrevWait) {
    for (const char* phase : {"installation", "installation over it"}) {
        ToReady(Script(kFiles, kKeys));
        Probed(phase, [&] { Press("Finish"); });
    }
    char command[MAX_PATH] = {};
    DWORD size = sizeof command;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), "UninstallString", RRF_RT_REG_SZ,
                           nullptr, command, &size),
              ERROR_SUCCESS);
    StartCommand(command, "C:\\"); // as the list of installed programs runs it
    // The splash before it deliberately answers nothing: the probe starts with the first question.
    ASSERT_TRUE(WaitMessageBox(Pid(), 20000));
    Probed("uninstall", [&] {
        ExpectBox("Are you sure you want to remove " + kProduct + " from your computer!?", "&Yes");
        ExpectBox(kProduct +
                      " has been successfully uninstalled.\r\rHowever, Setup will not delete the folder "
                      "in which " +
                      kProduct +
                      " was located in because there are files still left in it. Setup will open an "
                      "Explorer window focused on the folder so that you may delete it.",
                  "OK");
    });
    HWND explorer = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (explorer = FindWindowA("ExplorerWClass", nullptr)) != nullptr; }, 15000));
    PostMessageA(explorer, WM_CLOSE, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(kDest + FileName(1)));

    // The earlier installation again, then one of a single file that removes it first.
    ToReady(Script(kFiles, kKeys));
    Press("Finish");
    EXPECT_EQ(WaitExit(120000), 0u);
    ToReady(Script(1, 0, {"RemovePrev=1"}));
    Probed("RemovePrev wait", [&] { Press("Finish"); });
    EXPECT_TRUE(std::filesystem::exists(kDest + FileName(1)));
    EXPECT_FALSE(std::filesystem::exists(kDest + FileName(2))) << "the earlier installation stayed";
    EXPECT_TRUE(WaitFor([&] { return !FindWindowA("ExplorerWClass", nullptr); }));
}

// Real keys and clicks while the files are copied: they neither stop nor change the work, and
// none is taken later, by the closing message for one.
TEST_F(ResponsiveTest, KeysAndClicksDuringTheCopyChangeNothing) {
    constexpr int kCopied = kFiles;
    ToReady(Script(kCopied, 0, {"LastMessagesTotal=1", "LastMessage1=Acme is ready."}));
    HWND main = FindTopWindow(Pid(), "Acme Setup", "KvMdiFrame");
    ASSERT_TRUE(main);
    const POINT cancel = CentreOf(WizardButton("Cancel")), back = CentreOf(WizardButton("< &Back")),
                finish = CentreOf(WizardButton("Finish")), close = CloseBoxOf(main);
    // The clicks hit their aim: before the copy, Cancel and the close box ask to exit.
    for (const POINT at : {cancel, close}) {
        MouseClick(at);
        AnswerExitQuestion("&No");
    }
    MouseClick(finish);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(kDest + FileName(1)); }, 30000));
    for (const auto& [key, modifier] : std::vector<std::pair<WORD, WORD>>{
             {VK_ESCAPE, 0}, {VK_RETURN, 0}, {VK_SPACE, 0}, {VK_F4, VK_MENU}, {'C', 0}, {'B', 0}, {'N', 0}})
        TypeKey(main, key, modifier);
    for (const POINT at : {cancel, back, finish, close, finish}) MouseClick(at);
    ASSERT_FALSE(std::filesystem::exists(kDest + FileName(kCopied))) << "the copy ended before the keys";
    Shot("keys-during-the-copy");

    // The first box, and it stays until answered: no key of the copy asks to exit or answers it.
    ExpectBox("Acme is ready.", "OK", {"OK"});
    EXPECT_EQ(WaitExit(20000), 0u);
    std::set<std::string> recorded;
    std::ifstream script(kDest + "Setup\\setup.ini");
    for (std::string line; std::getline(script, line);)
        if (line.rfind("file", 0) == 0 && line.find('=') != std::string::npos)
            recorded.insert(CharLowerA(
                line.substr(line.find('=') + 1, line.find_last_not_of('\r') - line.find('=')).data()));
    int missing = 0, unrecorded = 0;
    for (int n = 1; n <= kCopied; ++n) {
        std::string path = kDest + FileName(n);
        std::error_code error;
        missing += std::filesystem::file_size(path, error) != 4096u;
        unrecorded += !recorded.count(CharLowerA(path.data()));
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(unrecorded, 0);
}

} // namespace
} // namespace e2e
