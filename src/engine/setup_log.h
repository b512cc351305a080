// The setup log: one line for every file the run installed, kept, skipped, moved or
// deleted, every registry key and value it wrote or deleted, every shortcut and font, and
// every step that failed, with the system's error. Messages to the user stay as they are;
// the log is what a user or an administrator can send in when something went wrong.
//
// The log of a run is appended to KavexInstall.log in the user's temporary folder, headed
// by the date, the command line and the script's path, so that an installation and the
// uninstall it runs (which appends its own run) read in order. Each line is handed to the
// system as one write as soon as it is made, so that a run that is ended abruptly still
// leaves its log.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

class Computer;

class SetupLog {
  public:
    SetupLog() = default;
    virtual ~SetupLog();
    SetupLog(const SetupLog&) = delete;
    SetupLog& operator=(const SetupLog&) = delete;

    // Opens the file for appending and writes the run's heading. False (and a log that
    // writes nowhere) when the file cannot be opened: the setup goes on without it.
    // The computer gives the file, the clock of the heading and the texts of its errors.
    bool Open(Computer& computer, const std::string& path, std::string_view commandLine,
              std::string_view scriptPath);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    // One line, as given. A log that keeps its lines elsewhere (the plan of an installation,
    // a test) takes them here.
    virtual void Write(std::string_view line);
    // A failed step: "failed: <what>: system error N: <the system's text>".
    void Failure(std::string_view what, unsigned long systemError);
    // Hands anything buffered to the system (before another program writes to the log).
    void Flush();

  private:
    Computer* computer_ = nullptr;
    std::FILE* file_ = nullptr;
    std::string path_;
};

// KavexInstall.log in the user's temporary folder.
std::string DefaultSetupLogPath(Computer& computer);
