#include "driver/setup_run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {
void RemoveAll(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
} // namespace

void SetupRun::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    testName_ = std::string(info->test_suite_name()) + "." + info->name();
    dist_ = "C:\\kvtest\\dist\\" + testName_ + "\\";
    shots_ = "C:\\kvtest\\shots\\" + testName_ + "\\";
    for (const std::string& folder : {dist_, shots_}) {
        RemoveAll(folder);
        std::filesystem::create_directories(folder);
    }
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string bin = std::filesystem::path(own).parent_path().string() + "\\";
    for (const char* file : {"setup.exe", "STKIT432.DLL"})
        ASSERT_TRUE(CopyFileA((bin + file).c_str(), (dist_ + file).c_str(), FALSE)) << "copy " << bin << file;
}

void SetupRun::TearDown() {
    for (auto& run : runs_)
        EXPECT_EQ(WaitForSingleObject(run.hProcess, 0), WAIT_OBJECT_0)
            << "setup.exe (process " << run.dwProcessId << ") still running at the end of the test";
    StopAll();
    for (auto& run : runs_) CloseHandle(run.hProcess), CloseHandle(run.hThread);
    for (const auto& folder : folders_) RemoveAll(folder);
    for (const auto& [root, key] : keys_) RegDeleteTreeA(root, key.c_str()); // the key with all below it
}

void SetupRun::CleanUpFolder(const std::string& folder) {
    RemoveAll(folder);
    folders_.push_back(folder);
}
void SetupRun::CleanUpKey(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
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

void SetupRun::Start(const std::string& folder) {
    StartCommand("\"" + dist_ + "setup.exe\"", folder.empty() ? dist_ : folder);
}

void SetupRun::StartCommand(std::string commandLine, const std::string& folder) {
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &process))
        runs_.push_back(process);
    else
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
}

void SetupRun::StopAll() {
    for (auto& run : runs_)
        if (TerminateProcess(run.hProcess, 98)) WaitForSingleObject(run.hProcess, 5000);
}

std::optional<DWORD> SetupRun::WaitExit(int timeoutMs) {
    DWORD code = 0;
    if (!runs_.empty() &&
        WaitForSingleObject(runs_.back().hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(runs_.back().hProcess, &code))
        return code;
    ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms";
    return std::nullopt;
}

HWND SetupRun::WizardButton(const std::string& caption) {
    HWND wizard = FindWindowOf(Pid(), "Setup Wizard");
    return wizard ? FindControl(wizard, caption, "Button") : nullptr;
}

void SetupRun::StartWizard(const std::vector<std::string>& script) {
    WriteScript(script);
    Start();
    ASSERT_TRUE(wizard_ = WaitWizard()) << "no wizard window";
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
    if (WaitFor([&] { return IsShown(FindControl(window, text)); }, timeoutMs))
        return ::testing::AssertionSuccess();
    return HasText(ShownTexts(window), text);
}

::testing::AssertionResult SetupRun::ShowsColour(int x, int y, COLORREF colour) {
    COLORREF seen = 0;
    HDC screen = GetDC(nullptr);
    const bool shown = WaitFor([&] { return (seen = GetPixel(screen, x, y)) == colour; }, 5000);
    ReleaseDC(nullptr, screen);
    if (shown) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") shows 0x" << std::hex << seen
                                         << " (0x00BBGGRR) instead of 0x" << colour;
}

void SetupRun::ExpectBox(const std::string& text, const std::string& answer,
                         const std::vector<std::string>& buttons, bool icon, int timeoutMs) {
    auto box = WaitMessageBox(Pid(), timeoutMs);
    ASSERT_TRUE(box) << "no message box; expected: " << text;
    EXPECT_EQ(box->text, text);
    if (!buttons.empty()) {
        EXPECT_EQ(box->title, "Acme Setup");
        EXPECT_EQ(box->buttons, buttons);
        EXPECT_EQ(box->hasIcon, icon);
    }
    Shot("message");
    ASSERT_TRUE(AnswerMessageBox(*box, answer));
}

void SetupRun::AnswerExitQuestion(const std::string& button) {
    ExpectBox("Are you sure you want to exit Acme Setup?", button, {"&Yes", "&No"}, true);
}

void SetupRun::Shot(const std::string& what) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d-", ++shotNumber_);
    EXPECT_TRUE(SaveScreen(shots_ + number + what + ".bmp")) << what;
}

std::string ReadAll(const std::string& path) {
    std::stringstream all;
    all << std::ifstream(path, std::ios::binary).rdbuf();
    std::string text = all.str();
    if (text.rfind("\xFF\xFE", 0) == 0) std::erase(text, '\0');
    return text;
}

std::string ExportedKeys(const std::vector<std::string>& keys) {
    std::string left;
    for (const std::string& key : keys) {
        std::system(("reg export \"" + key + "\" C:\\kvtest\\key.reg /y >nul").c_str());
        left += ReadAll("C:\\kvtest\\key.reg");
    }
    for (size_t at = 0; (at = left.find("\\\\", at)) != std::string::npos; ++at) left.erase(at, 1);
    return left;
}

::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text) {
    std::string list;
    for (const auto& shown : texts) {
        if (shown == text) return ::testing::AssertionSuccess();
        list += "\n  [" + shown + "]";
    }
    return ::testing::AssertionFailure() << "[" << text << "] is not among the shown texts:" << list;
}

} // namespace e2e
