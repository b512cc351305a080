// The end-to-end tests' fixture: a distribution folder of its own (C:\kvtest\dist\<test>\ with
// setup.exe and STKIT432.DLL), the programs it starts, screenshots, and clean-up however it ends.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/driver.h"
#include "driver/screen.h"

namespace e2e {

inline const std::string kWelcome = "This setup program will install Acme on your computer.";
inline const std::string kUpgrade =
    "If you are upgrading from a previous version of Acme make sure to specify "
    "the same folder as the older version.";
inline const std::string kReady = "Setup is ready to install Acme. Press Finish to continue.";

class SetupRun : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void WriteScript(const std::vector<std::string>& lines); // setup.ini, with CR LF line ends
    void WriteDistFile(const std::string& name, const std::string& bytes);
    // Removes these now and again when the test ends.
    void CleanUpFolder(const std::string& folder);
    void CleanUpKey(HKEY root, const std::string& key);

    void Start(const std::string& folder = ""); // dist\setup.exe, in `folder` (default: dist_)
    void StartCommand(std::string commandLine, const std::string& folder); // unquoted, as it stands
    // Waits for the last started program to end and returns its exit code; the test fails
    // when it does not end.
    std::optional<DWORD> WaitExit(int timeoutMs = 20000);
    void StopAll(); // ends every program this test started, without a verdict
    DWORD Pid() const { return runs_.empty() ? 0 : runs_.back().dwProcessId; }

    HWND WaitWizard() { return WaitWindowOf(Pid(), "Setup Wizard", "", 15000); }
    HWND WizardButton(const std::string& caption);            // "&Next >", "Cancel", ...
    void StartWizard(const std::vector<std::string>& script); // and waits for its wizard_
    void Press(const std::string& button);                    // once the wizard's button is there and enabled
    // Waits until the wizard (or `window`) shows this exact text.
    ::testing::AssertionResult Shows(const std::string& text, int timeoutMs = kDefaultTimeoutMs,
                                     HWND window = nullptr);
    static ::testing::AssertionResult ShowsColour(int x, int y, COLORREF colour);
    // The next message box of the last started program, with this text, answered with `answer`;
    // with `buttons`, also titled "Acme Setup", with these buttons and an icon or none.
    void ExpectBox(const std::string& text, const std::string& answer,
                   const std::vector<std::string>& buttons = {}, bool icon = false, int timeoutMs = 20000);
    // The exit question of the Cancel button, Alt+F4 and the main window's close box.
    void AnswerExitQuestion(const std::string& button);
    void Shot(const std::string& what); // the screen, as C:\kvtest\shots\<test>\NN-<what>.bmp

    std::string testName_, dist_;
    HWND wizard_ = nullptr;

  private:
    std::string shots_;
    int shotNumber_ = 0;
    std::vector<PROCESS_INFORMATION> runs_;
    std::vector<std::string> folders_;
    std::vector<std::pair<HKEY, std::string>> keys_;
};

// A file's bytes; those of a UTF-16 file (a registry export) without their zero bytes.
std::string ReadAll(const std::string& path);
// The registry exports of `keys` ("HKLM\\SOFTWARE\\..."), their doubled backslashes made single.
std::string ExportedKeys(const std::vector<std::string>& keys);
// True when `texts` holds `text`; with the list in the failure message.
::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text);

} // namespace e2e
