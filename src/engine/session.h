// The setup session: what one run of the program works with and what it has met. Start-up
// makes one and hands it to the wizard, the install passes and the uninstaller; nothing
// else holds this state, so every procedure shows by its parameters what it reads.
#pragma once
#include <string>
#include <string_view>

#include "engine/computer.h"

class SetupLog;

struct SetupSession {
    // Folder of the running setup program, ending in a backslash: its script is
    // setup.ini there.
    std::string sourceDir;
    // Destination folder of the product; normally ending in a backslash.
    std::string destDir;
    // The command line holds the word "quiet" (or, in uninstall mode, "unattended").
    bool quiet = false;
    // The command line holds the word "unattended": no window, no message box, no document
    // or program opened for the user; the log takes what would have been shown.
    bool unattended = false;
    // A file copy or move failed; the closing actions sum it up.
    bool installErrors = false;
    // The computer the run works on: its files, registry and scripts, and the system folders
    // that the path macros name. Never null once start-up has run.
    Computer* computer = nullptr;
    // Where the run writes what it did and what failed; null writes nowhere.
    SetupLog* log = nullptr;

    // A key of setup.ini in `folder` (the program's own folder when empty).
    std::string ReadIni(std::string_view key, std::string_view section = "install",
                        std::string_view folder = {}) const;
    // Writes a key (lower case) into setup.ini in `folder` (the program's own folder when
    // empty); the write reaches the disk before the call returns. False when it cannot be
    // written (the script then stays as it was): callers log it, as Step does.
    bool WriteIni(std::string_view key, std::string_view value, std::string_view section = "install",
                  std::string_view folder = {}) const;
    // Drops what is remembered of a script file (its full path) before another program
    // rewrites it or it is copied over.
    void ForgetScript(std::string_view path) const { computer->ForgetScript(path); }
    // A script path resolved against the destination and the system folders.
    std::string ResolveScriptPath(std::string_view path) const;

    // The Setup folder of the installation. The destination is followed directly by
    // "Setup\": a destination written without its trailing backslash puts the Setup files
    // beside it (C:\Apps\AcmeSetup\ for C:\Apps\Acme), which is how it has always been named.
    std::string SetupFolder() const { return destDir + "Setup\\"; }
    // The longest destination whose Setup folder can hold its files: the longest path there,
    // the library under its temporary name while it is replaced (Setup\stkit432.dll.kvnew),
    // must fit the system's 259 characters (MAX_PATH with the ending zero).
    static constexpr size_t kLongestDestination = 259 - std::string_view("Setup\\stkit432.dll.kvnew").size();
    // The script asks for a Setup folder with the uninstall records (EstablishSetup).
    bool EstablishSetup() const;
    // The destination leaves no room for the Setup folder's files under it.
    bool DestinationTooLong() const { return EstablishSetup() && destDir.size() > kLongestDestination; }

    // One line in the setup log, and a failure with the system's error code.
    void Log(std::string_view line) const;
    void LogFailure(std::string_view what, unsigned long systemError) const;
};
