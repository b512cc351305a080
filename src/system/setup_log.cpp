#include "system/setup_log.h"

#include <windows.h>
#include <share.h>

SetupLog::~SetupLog() {
    Close();
}

bool SetupLog::Open(const std::string& path, std::string_view commandLine, std::string_view scriptPath) {
    Close();
    // Shared for reading and writing: an uninstaller that the installation runs appends
    // its own run to the same file meanwhile.
    file_ = _fsopen(path.c_str(), "ab", _SH_DENYNO);
    if (!file_) return false;
    path_ = path;
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    Write(std::string("==== KavexInstall ") + stamp);
    Write(std::string("command line: ").append(commandLine));
    Write(std::string("script: ").append(scriptPath));
    return true;
}

void SetupLog::Close() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
}

void SetupLog::Write(std::string_view line) {
    if (!file_) return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
    // Each line reaches the system at once (one write of the whole line): the program
    // may end at any moment, by ending the process or by being ended.
    std::fflush(file_);
}

void SetupLog::Failure(std::string_view what, unsigned long systemError) {
    std::string line = "failed: ";
    line.append(what);
    if (systemError != 0) {
        line += ": system error " + std::to_string(systemError);
        const std::string text = SystemErrorText(systemError);
        if (!text.empty()) line += ": " + text;
    }
    Write(line);
}

void SetupLog::Flush() {
    if (file_) std::fflush(file_);
}

std::string DefaultSetupLogPath() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    std::string path = (length > 0 && length < sizeof folder) ? std::string(folder, length) : std::string();
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "KavexInstall.log";
}

std::string SystemErrorText(unsigned long error) {
    if (error == 0) return {};
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}
