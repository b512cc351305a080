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
void DeleteKey(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
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
    for (const auto& [root, key] : keys_) DeleteKey(root, key);
}

void SetupRun::CleanUpFolder(const std::string& folder) {
    RemoveAll(folder);
    folders_.push_back(folder);
}
void SetupRun::CleanUpKey(HKEY root, const std::string& key) {
    DeleteKey(root, key);
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

void SetupRun::Start(const std::string& arguments, const std::string& folder) {
    const std::string exe = dist_ + "setup.exe";
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       (folder.empty() ? dist_ : folder).c_str(), &startup, &process))
        runs_.push_back(process);
    else
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
}

void SetupRun::StopAll() {
    for (auto& run : runs_)
        if (TerminateProcess(run.hProcess, 98)) WaitForSingleObject(run.hProcess, 5000);
}

bool SetupRun::WaitExit(int timeoutMs) {
    const bool ended = !runs_.empty() && WaitForSingleObject(runs_.back().hProcess,
                                                             static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "setup.exe did not end within " << timeoutMs << " ms";
    return ended;
}

HWND SetupRun::WaitMainWindow() {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND hwnd : TopWindows(Pid()))
            if (ClassOf(hwnd) == "KvMdiFrame") found = hwnd;
        return found != nullptr;
    });
    return found;
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
    if (WaitShownText(window, text, timeoutMs)) return ::testing::AssertionSuccess();
    return HasText(ShownTexts(window), text);
}

::testing::AssertionResult SetupRun::ShowsColour(int x, int y, COLORREF colour) {
    COLORREF seen = 0;
    if (WaitFor([&] { return (seen = ScreenPixel(x, y)) == colour; }, 5000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << x << ", " << y << ") shows " << ColourText(seen) << " instead of " << ColourText(colour);
}

void SetupRun::AnswerExitQuestion(const std::string& button) {
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box) << "no exit question";
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text, "Are you sure you want to exit Acme Setup?");
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(box->hasIcon);
    Shot("exit-question");
    ASSERT_TRUE(AnswerMessageBox(*box, button));
}

void SetupRun::ExpectMessage(const std::string& text, const std::string& button, DWORD pid) {
    auto box = WaitMessageBox(pid ? pid : Pid(), 20000);
    ASSERT_TRUE(box) << "no message box; expected: " << text;
    EXPECT_EQ(box->text, text);
    ASSERT_TRUE(AnswerMessageBox(*box, button));
}

void SetupRun::Shot(const std::string& what) {
    char number[8];
    std::snprintf(number, sizeof(number), "%02d-", ++shotNumber_);
    EXPECT_TRUE(SaveScreen(shots_ + number + what + ".bmp")) << what;
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
