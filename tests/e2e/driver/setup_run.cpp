#include "driver/setup_run.h"

#include <algorithm>
#include <cstdio>

namespace e2e {

namespace {
std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}
} // namespace

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

long long ToolkitFreeBytes(const std::string& root) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) return -1;
    return std::min<long long>(static_cast<long long>(available.QuadPart), 2147483647LL);
}

void SetupRun::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    testName_ = std::string(info->test_suite_name()) + "." + info->name();
    CreateDirectoryA("C:\\kvtest", nullptr);
    CreateDirectoryA("C:\\kvtest\\dist", nullptr);
    dist_ = "C:\\kvtest\\dist\\" + testName_;
    // A program that an earlier run started may still hold the old folder open: then the
    // folder stays and its files are written over.
    RemoveTree(dist_);
    ASSERT_TRUE(CreateDirectoryA(dist_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << dist_;
    dist_ += "\\";
    shots_ = "C:\\kvtest\\shots\\" + testName_ + "\\";
    RemoveTree(shots_.substr(0, shots_.size() - 1));
    const std::string bin = OwnFolder();
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
}

void SetupRun::WriteScript(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    ASSERT_TRUE(WriteBytes(dist_ + "setup.ini", text));
}

void SetupRun::WriteDistFile(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(dist_ + name, bytes)) << name;
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

bool SetupRun::Running() const {
    return !runs_.empty() && WaitForSingleObject(runs_.back().hProcess, 0) == WAIT_TIMEOUT;
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
            found = nullptr;
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
    if (!WaitFor([&] { return (hwnd = WizardButton(button)) && IsEnabledWindow(hwnd); }))
        Shot("button-not-enabled"); // what the wizard showed instead, for the failure's reader
    ASSERT_TRUE(hwnd) << "no button " << button;
    ASSERT_TRUE(IsEnabledWindow(hwnd)) << button << " is disabled";
    Click(hwnd);
}

::testing::AssertionResult SetupRun::Shows(const std::string& text, int timeoutMs) {
    if (WaitShownText(wizard_, text, timeoutMs)) return ::testing::AssertionSuccess();
    return HasText(ShownTexts(wizard_), text);
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

ScreenImage SetupRun::Shot(const std::string& what) {
    // Let the windows finish painting first.
    Sleep(250);
    ScreenImage image = ScreenImage::Capture();
    char number[8];
    std::snprintf(number, sizeof(number), "%02d", ++shotNumber_);
    EXPECT_TRUE(image.SavePng(shots_ + number + "-" + what + ".png")) << what;
    return image;
}

} // namespace e2e

namespace e2e {

::testing::AssertionResult HasText(const std::vector<std::string>& texts, const std::string& text) {
    for (const auto& shown : texts)
        if (shown == text) return ::testing::AssertionSuccess();
    std::string list;
    for (const auto& shown : texts) list += "\n  [" + shown + "]";
    return ::testing::AssertionFailure() << "[" << text << "] is not among the shown texts:" << list;
}

std::string MakeBmp(int width, int height, COLORREF (*colour)(int x, int y)) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string bytes(54 + imageSize, '\0');
    auto put16 = [&](size_t at, uint32_t v) {
        bytes[at] = static_cast<char>(v & 0xFF);
        bytes[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height)); // bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + static_cast<size_t>(stride) * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            COLORREF c = colour(x, y);
            bytes[row + x * 3 + 0] = static_cast<char>(GetBValue(c));
            bytes[row + x * 3 + 1] = static_cast<char>(GetGValue(c));
            bytes[row + x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
    }
    return bytes;
}

std::string ColourText(COLORREF colour) {
    return "(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) + ", " +
           std::to_string(GetBValue(colour)) + ")";
}

} // namespace e2e
