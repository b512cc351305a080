// The test fixture of the end-to-end tests: a distribution folder of its own under
// C:\kvtest\dist\<test>\ (setup.exe and STKIT432.DLL from the test program's folder, a
// setup.ini written by the test, product files), the setup program started from there
// and waited for with a time limit, screenshots of what it shows, and the folders and
// registry keys that the test names removed when it ends, however it ends.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "driver/driver.h"
#include "driver/screen.h"

namespace e2e {

class SetupRun : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes setup.ini (one line per entry, CR LF line ends) or another file of the distribution.
    void WriteScript(const std::vector<std::string>& lines);
    void WriteDistFile(const std::string& name, const std::string& bytes);
    // Removes these now and again when the test ends.
    void CleanUpFolder(const std::string& folder);
    void CleanUpKey(HKEY root, const std::string& key);

    // Starts dist\setup.exe with these arguments, in `folder` (the distribution folder by
    // default) as its current folder.
    void Start(const std::string& arguments = "", const std::string& folder = "");
    // Waits for the last started copy to end; the test fails when it does not.
    bool WaitExit(int timeoutMs = 20000);
    // Ends every copy this test started, without a verdict (for tests about something else).
    void StopAll();
    DWORD Pid() const { return runs_.empty() ? 0 : runs_.back().dwProcessId; }

    HWND WaitMainWindow();
    HWND WaitWizard() { return WaitWindowOf(Pid(), "Setup Wizard", "", 15000); }
    // The wizard's button with this caption ("&Next >", "Cancel", ...).
    HWND WizardButton(const std::string& caption);
    // Writes the script, starts the program and waits for its wizard (wizard_).
    void StartWizard(const std::vector<std::string>& script);
    // Clicks the wizard's button once it is there and enabled.
    void Press(const std::string& button);
    // Waits until the wizard (or `window`) shows this exact text.
    ::testing::AssertionResult Shows(const std::string& text, int timeoutMs = kDefaultTimeoutMs,
                                     HWND window = nullptr);
    // Waits until the screen shows this colour at (x, y).
    static ::testing::AssertionResult ShowsColour(int x, int y, COLORREF colour);
    // Answers the exit question of the Cancel button and the main window's close box.
    void AnswerExitQuestion(const std::string& button);
    // The message box shown next, with the expected text, answered with `button`.
    void ExpectMessage(const std::string& text, const std::string& button, DWORD pid = 0);
    // Saves the screen as C:\kvtest\shots\<test>\NN-<what>.bmp.
    void Shot(const std::string& what);

    std::string testName_, dist_;
    HWND wizard_ = nullptr;

  private:
    std::string shots_;
    int shotNumber_ = 0;
    std::vector<PROCESS_INFORMATION> runs_;
    std::vector<std::string> folders_;
    std::vector<std::pair<HKEY, std::string>> keys_;
};

// True when `texts` holds `text`; with the list in the failure message.
::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text);

} // namespace e2e
