#include "driver/setup_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace e2e {

namespace {
void RemoveAll(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
std::string ColourText(COLORREF c) {
    return "(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
           std::to_string(GetBValue(c)) + ")";
}
} // namespace

void SetupRun::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    testName_ = std::string(info->test_suite_name()) + "." + info->name();
    dist_ = "C:\\kvtest\\dist\\" + testName_ + "\\";
    shots_ = "C:\\kvtest\\shots\\" + testName_ + "\\";
    RemoveAll(dist_);
    RemoveAll(shots_);
    std::filesystem::create_directories(dist_);
    std::filesystem::create_directories(shots_);
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string bin = std::filesystem::path(own).parent_path().string() + "\\";
    for (const char* file : {"setup.exe", "STKIT432.DLL"})
        ASSERT_TRUE(CopyFileA((bin + file).c_str(), (dist_ + file).c_str(), FALSE)) << "copy " << bin << file;
}

void SetupRun::TearDown() {
    for (auto& run : runs_) {
        if (WaitForSingleObject(run.hProcess, 0) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "setup.exe (process " << run.dwProcessId
                          << ") still running at the end of the test";
            TerminateProcess(run.hProcess, 99);
            WaitForSingleObject(run.hProcess, 5000);
        }
        CloseHandle(run.hProcess);
        CloseHandle(run.hThread);
    }
    runs_.clear();
    for (const auto& folder : folders_) RemoveAll(folder);
    for (const auto& [root, key] : keys_) RegDeleteTreeA(root, key.c_str()), RegDeleteKeyA(root, key.c_str());
}

void SetupRun::CleanUpFolder(const std::string& folder) {
    RemoveAll(folder);
    folders_.push_back(folder);
}
void SetupRun::CleanUpKey(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
    keys_.emplace_back(root, key);
}

void SetupRun::WriteScript(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    WriteDistFile("setup.ini", text);
}

void SetupRun::WriteDistFile(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(std::ofstream(dist_ + name, std::ios::binary) << bytes) << name;
}

DWORD SetupRun::Start(const std::string& arguments, const std::string& folder) {
    std::string exe = dist_ + "setup.exe";
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::string cwd = folder.empty() ? dist_ : folder;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return 0;
    }
    runs_.push_back(process);
    return process.dwProcessId;
}

void SetupRun::StopAll() {
    for (auto& run : runs_) {
        if (WaitForSingleObject(run.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(run.hProcess, 98);
            WaitForSingleObject(run.hProcess, 5000);
        }
    }
}

bool SetupRun::WaitExit(int timeoutMs) {
    if (runs_.empty()) return false;
    HANDLE process = runs_.back().hProcess;
    if (WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0) return true;
    ADD_FAILURE() << "setup.exe did not end within " << timeoutMs << " ms; killed";
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
    return false;
}

HWND SetupRun::WaitMainWindow(int timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : TopWindows(Pid()))
                if (ClassOf(hwnd) == "KvMdiFrame") found = hwnd;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND SetupRun::WaitWizard(int timeoutMs) {
    return WaitWindowOf(Pid(), "Setup Wizard", "", timeoutMs);
}

HWND SetupRun::WizardButton(const std::string& caption) {
    HWND wizard = FindWindowOf(Pid(), "Setup Wizard");
    return wizard ? FindControl(wizard, caption, "Button") : nullptr;
}

void SetupRun::StartWizard(const std::vector<std::string>& script) {
    WriteScript(script);
    Start();
    wizard_ = WaitWizard(15000);
    ASSERT_TRUE(wizard_) << "no wizard window";
}

void SetupRun::Press(const std::string& button) {
    HWND hwnd = nullptr;
    if (!WaitFor([&] { return IsEnabledWindow(hwnd = WizardButton(button)); }))
        Shot("button-not-enabled"); // what the wizard showed instead, for the failure's reader
    ASSERT_TRUE(IsEnabledWindow(hwnd)) << button << (hwnd ? " is disabled" : " is not there");
    Click(hwnd);
}

::testing::AssertionResult SetupRun::Shows(const std::string& text, int timeoutMs, HWND window) {
    window = window ? window : wizard_;
    if (WaitShownText(window, text, timeoutMs)) return ::testing::AssertionSuccess();
    return HasText(ShownTexts(window), text);
}

::testing::AssertionResult SetupRun::ShowsColour(int x, int y, COLORREF colour) {
    COLORREF seen = 0;
    if (WaitFor([&] { return (seen = ScreenImage::Capture().At(x, y)) == colour; }, 5000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << x << ", " << y << ") shows " << ColourText(seen) << " instead of " << ColourText(colour);
}

::testing::AssertionResult SetupRun::IsExitQuestion(const MessageBoxView& box,
                                                    const std::string& setupTitle) {
    const std::string text = "Are you sure you want to exit " + setupTitle + "?";
    const std::vector<std::string> buttons{"&Yes", "&No"};
    if (box.title == setupTitle && box.text == text && box.buttons == buttons && box.hasIcon)
        return ::testing::AssertionSuccess();
    std::string shown;
    for (const auto& button : box.buttons) shown += " [" + button + "]";
    return ::testing::AssertionFailure() << "title [" << box.title << "] text [" << box.text << "] buttons"
                                         << shown << (box.hasIcon ? " with" : " without") << " icon";
}

void SetupRun::ExpectMessage(const std::string& text, const std::string& button, DWORD pid) {
    auto box = WaitMessageBox(pid ? pid : Pid(), 20000);
    ASSERT_TRUE(box) << "no message box; expected: " << text;
    EXPECT_EQ(box->text, text);
    ASSERT_TRUE(AnswerMessageBox(*box, button));
}

void SetupRun::Shot(const std::string& what) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d", ++shotNumber_);
    EXPECT_TRUE(ScreenImage::Capture().SaveBmp(shots_ + number + "-" + what + ".bmp")) << what;
}

::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text) {
    for (const auto& shown : texts)
        if (shown == text) return ::testing::AssertionSuccess();
    std::string list;
    for (const auto& shown : texts) list += "\n  [" + shown + "]";
    return ::testing::AssertionFailure() << "[" << text << "] is not among the shown texts:" << list;
}

} // namespace e2e
