#include "engine/setup_log.h"

#include "engine/computer.h"

SetupLog::~SetupLog() {
    Close();
}

bool SetupLog::Open(Computer& computer, const std::string& path, std::string_view commandLine,
                    std::string_view scriptPath) {
    Close();
    file_ = computer.OpenLogFile(path);
    if (!file_) return false;
    computer_ = &computer;
    path_ = path;
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    Write("==== KavexInstall " + computer.LocalTimeText());
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
        const std::string text = computer_ ? computer_->ErrorText(systemError) : std::string();
        if (!text.empty()) line += ": " + text;
    }
    Write(line);
}

void SetupLog::Flush() {
    if (file_) std::fflush(file_);
}

std::string DefaultSetupLogPath(Computer& computer) {
    return computer.TemporaryFolder() + "KavexInstall.log";
}
