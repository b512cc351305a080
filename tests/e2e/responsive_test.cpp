// The program's windows answer the system while it works (tools/driver/probe.h asks them every
// 50 ms), through a large installation made with the wizard while real keys and clicks come in,
// which change nothing, the same made again over it, its uninstall with its window, and a wait
// for the earlier installation's uninstaller (RemovePrev). No window may go 2 s without answering,
// four times the program's aim (scripts/bench.sh), so that a busy machine does not fail the test.
#include <cstdio>
#include <filesystem>
#include <functional>

#include "driver/probe.h"
#include "driver/setup_run.h"

namespace e2e {
namespace {

constexpr int kFiles = 3000, kKeys = 1500, kLimitMs = 2000;
const std::string kDest = "C:\\kvtest\\responsive\\", kKey = "SOFTWARE\\Kavex Test\\Responsive",
                  kDone = "Acme is ready.";

std::string FileName(int n) {
    return kDest + "d" + std::to_string(n % 20) + "\\f" + std::to_string(n) + ".dat";
}

class ResponsiveTest : public SetupRun {
  protected:
    void SetUp() override {
        SetupRun::SetUp();
        CleanUpFolder(kDest);
        for (const std::string key : {"Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Responsive",
                                      "Kavex Software\\Acme Responsive", "Kavex Test\\Responsive"})
            CleanUpKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + key);
        WriteDistFile("data.txt", std::string(4096, 'd'));
    }
    // Through the wizard to its ready screen with a product of `files` copies of one file in
    // 20 folders and `keys` registry keys fifteen levels deep (an uninstall removes at most 255
    // files: the keys make it long), all recorded for uninstall, and a closing message.
    void ToReady(int files, int keys, const std::string& more = "") {
        std::string script = "[install]\r\nSetupTitle=Acme Setup\r\nProgramName=Acme\r\nProductName=Acme "
                             "Responsive\r\nEstablishSetup=1\r\nLastMessagesTotal=1\r\nLastMessage1=" +
                             kDone + "\r\nDefaultDir=" + kDest + "\r\nTotalFiles=" + std::to_string(files) +
                             "\r\nTotalRegKeys=" + std::to_string(keys) + more;
        for (int n = 1; n <= files; ++n)
            script += "\r\nsrcfile" + std::to_string(n) + "=data.txt\r\ndestfile" + std::to_string(n) + "=" +
                      FileName(n).substr(kDest.size());
        for (int n = 1; n <= keys; ++n) {
            const std::string i = std::to_string(n), key = kKey + "\\k" + i;
            script += "\r\nRegKeyRoot" + i + "=&H80000002\r\nRegKeySubKey" + i + "=" + key +
                      "\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\r\nRegKeyUninstall" + i + "=" + key;
        }
        StartWizard({script});
        for (const std::string& screen : {kDest, kReady}) {
            Press("&Next >");
            ASSERT_TRUE(Shows(screen, 30000));
        }
    }
    // The first box after Finish is the closing message (waited for long: the machine may be
    // busy); OK ends the program.
    void AnswerClosingMessage() { ExpectBox(kDone, "OK", {}, false, 120000); }
    // `work` with a probe on the last started program until the program ends normally.
    void Probed(const std::string& phase, const std::function<void()>& work) {
        ResponsivenessProbe probe(Pid());
        work();
        EXPECT_EQ(WaitExit(120000), 0u) << phase;
        const AnswerGap gap = probe.Stop();
        std::printf("[ probe    ] %s: %s took %d ms to answer, from %d ms on; %d answers\n", phase.c_str(),
                    gap.window.c_str(), gap.ms, gap.startMs, probe.Probes());
        EXPECT_GT(probe.Probes(), 0) << phase << ": the probe found no window";
        EXPECT_LT(gap.ms, kLimitMs) << phase;
    }
};

TEST_F(ResponsiveTest, WindowsAnswerAndKeysChangeNothingThroughInstallationsUninstallAndRemovePrev) {
    ToReady(kFiles, kKeys);
    HWND main = FindTopWindow(Pid(), "Acme Setup", "KvMdiFrame");
    ASSERT_TRUE(main);
    const POINT cancel = CentreOf(WizardButton("Cancel")), back = CentreOf(WizardButton("< &Back")),
                finish = CentreOf(WizardButton("Finish")), close = CloseBoxOf(main);
    // The clicks hit their aim: before the copy, Cancel and the close box ask to exit.
    for (const POINT at : {cancel, close}) {
        MouseClick(at);
        AnswerExitQuestion("&No");
    }
    Probed("installation", [&] {
        MouseClick(finish);
        ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(FileName(1)); }, 30000));
        for (const WORD key : std::initializer_list<WORD>{VK_ESCAPE, VK_RETURN, VK_SPACE, 'C', 'B', 'N'})
            TypeKey(main, key);
        TypeKey(main, VK_F4, VK_MENU);
        for (const POINT at : {cancel, back, finish, close, finish}) MouseClick(at);
        ASSERT_FALSE(std::filesystem::exists(FileName(kFiles))) << "the copy ended before the keys";
        Shot("keys-during-the-copy");
        AnswerClosingMessage(); // no key of the copy asks to exit or answers it
    });
    // Every file recorded for uninstall once (Finish started the passes once), the last one whole.
    EXPECT_EQ(
        GetPrivateProfileIntA("uninstall", "uninstallfilestotal", 0, (kDest + "Setup\\setup.ini").c_str()),
        static_cast<UINT>(kFiles));
    EXPECT_EQ(std::filesystem::file_size(FileName(kFiles)), 4096u);

    ToReady(kFiles, kKeys);
    Probed("installation over it", [&] { Press("Finish"), AnswerClosingMessage(); });
    // The registered command (WizardTest reads it), as the list of installed programs runs it.
    StartCommand(kDest + "Setup\\setup.exe uninstall", "C:\\");
    Probed("uninstall", [&] {
        ExpectBox("Are you sure you want to remove Acme Responsive from your computer!?", "&Yes");
        auto done = WaitMessageBox(Pid(), 120000);
        ASSERT_TRUE(done && done->text.starts_with("Acme Responsive has been successfully uninstalled."));
        AnswerMessageBox(*done, "OK");
    });
    HWND explorer = nullptr; // opened on the folder that is left
    ASSERT_TRUE(WaitFor([&] { return (explorer = FindWindowA("ExplorerWClass", nullptr)) != nullptr; }));
    PostMessageA(explorer, WM_CLOSE, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(FileName(1)));

    // The earlier installation again, then one of a single file that removes it first.
    ToReady(kFiles, kKeys);
    Press("Finish"), AnswerClosingMessage();
    EXPECT_EQ(WaitExit(120000), 0u);
    ToReady(1, 0, "\r\nRemovePrev=1");
    Probed("RemovePrev wait", [&] { Press("Finish"), AnswerClosingMessage(); });
    EXPECT_TRUE(std::filesystem::exists(FileName(1)));
    EXPECT_FALSE(std::filesystem::exists(FileName(2))) << "the earlier installation stayed";
}

} // namespace
} // namespace e2e
