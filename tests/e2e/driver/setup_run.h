// The test fixture of the end-to-end tests: a distribution folder of its own under
// C:\kvtest\dist\<test>\ (setup.exe and STKIT432.DLL from the test program's folder, a
// setup.ini written by the test, product files), the setup program started from there,
// waited for with a time limit, and screenshots of what it shows.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/screen.h"

namespace e2e {

class SetupRun : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The distribution folder, ending in a backslash.
    const std::string& Dist() const { return dist_; }
    // Writes setup.ini: one line per entry, with CR LF line ends.
    void WriteScript(const std::vector<std::string>& lines);
    void WriteDistFile(const std::string& name, const std::string& bytes);

    // Starts dist\setup.exe with these arguments, in `folder` (the distribution folder by
    // default) as its current folder. Returns the process id.
    DWORD Start(const std::string& arguments = "", const std::string& folder = "");
    // Waits for the last started copy to end; on timeout it is killed and the test fails.
    bool WaitExit(int timeoutMs = 20000);
    bool Running() const;
    // Ends every copy this test started, without a verdict (for tests about something else).
    void StopAll();
    DWORD Pid() const { return runs_.empty() ? 0 : runs_.back().dwProcessId; }

    // The windows of the last started copy.
    HWND WaitMainWindow(int timeoutMs = kDefaultTimeoutMs);
    HWND WaitWizard(int timeoutMs = kDefaultTimeoutMs);
    // The wizard's button with this caption ("&Next >", "Cancel", ...).
    HWND WizardButton(const std::string& caption);

    // Writes the script, starts the program and waits for its wizard (wizard_).
    void StartWizard(const std::vector<std::string>& script);
    // Clicks the wizard's button once it is there and enabled.
    void Press(const std::string& button);
    // Waits until the wizard shows this exact text.
    ::testing::AssertionResult Shows(const std::string& text, int timeoutMs = kDefaultTimeoutMs);
    // The exit question of the Cancel button and the main window's close box.
    static ::testing::AssertionResult IsExitQuestion(const MessageBoxView& box,
                                                     const std::string& setupTitle);

    // Saves the screen as C:\kvtest\shots\<test>\NN-<what>.png.
    ScreenImage Shot(const std::string& what);

    std::string testName_;
    std::string dist_;
    std::string shots_;
    int shotNumber_ = 0;
    HWND wizard_ = nullptr;
    std::vector<PROCESS_INFORMATION> runs_;
};

// Free bytes of a drive as the toolkit reports them: a signed 32-bit number at most.
long long ToolkitFreeBytes(const std::string& root);
// Removes a folder with everything in it.
void RemoveTree(const std::string& folder);

} // namespace e2e

namespace e2e {
// True when `texts` holds `text`; with the list in the failure message.
::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text);
// A 24-bit BMP file of width × height whose pixel (x, y) has colour(x, y).
std::string MakeBmp(int width, int height, COLORREF (*colour)(int x, int y));
// The colour as "(r, g, b)", for messages.
std::string ColourText(COLORREF colour);
} // namespace e2e
