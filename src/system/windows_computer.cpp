#include "system/windows_computer.h"

#include <windows.h>
#include <share.h>

#include <cstdio>

#include "system/file_stamp.h"
#include "system/file_system.h"
#include "system/folders.h"
#include "system/letter_case.h"
#include "system/regprocs.h"
#include "system/toolkit.h"

WindowsComputer::WindowsComputer() : scripts_(SystemFileStamp) {}

unsigned long WindowsComputer::LastError() {
    return GetLastError();
}

void WindowsComputer::ClearError() {
    SetLastError(0);
}

std::string WindowsComputer::ErrorText(unsigned long error) {
    if (error == 0) return {};
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool WindowsComputer::FileCanBeRead(const std::string& path) {
    return ::FileCanBeRead(path);
}

bool WindowsComputer::FileIsListed(const std::string& path) {
    return ::FileIsListed(path);
}

bool WindowsComputer::FolderExists(const std::string& path) {
    return ::FolderExists(path);
}

std::string WindowsComputer::ShortPath(const std::string& path) {
    return GetShortPath(path);
}

std::string WindowsComputer::ShortNameInFolder(const std::string& path) {
    return ::ShortNameInFolder(path);
}

std::vector<std::string> WindowsComputer::MatchingFiles(const std::string& pattern) {
    return ::MatchingFiles(pattern);
}

bool WindowsComputer::CreateOneFolder(const std::string& folder) {
    return ::CreateOneFolder(folder);
}

bool WindowsComputer::CreateWholeFolder(const std::string& folder) {
    return ::CreateWholeFolder(folder);
}

bool WindowsComputer::CopyFileOver(const std::string& source, const std::string& target) {
    return ::CopyFileOver(source, target);
}

bool WindowsComputer::RenameFile(const std::string& source, const std::string& target) {
    return ::RenameFile(source, target);
}

bool WindowsComputer::ReplaceWithCopy(const std::string& source, const std::string& target) {
    return ::ReplaceWithCopy(source, target);
}

bool WindowsComputer::ClearReadOnly(const std::string& path) {
    return ::ClearReadOnly(path);
}

bool WindowsComputer::CreatePlaceholderFile(const std::string& path) {
    return ::CreatePlaceholderFile(path);
}

NewFileCopy WindowsComputer::CopyIntoNewFile(const std::string& source, const std::string& target) {
    return ::CopyIntoNewFile(source, target);
}

bool WindowsComputer::DeleteOneFile(const std::string& path) {
    return ::DeleteOneFile(path);
}

uint32_t WindowsComputer::InstallVersionedFile(const std::string& sourceName, const std::string& destName,
                                               const std::string& sourceFolder,
                                               const std::string& destFolder) {
    return VersionInstallFile(sourceName, destName, sourceFolder, destFolder);
}

bool WindowsComputer::AddFont(const std::string& fontPath) {
    return AddFontFile(fontPath);
}

void WindowsComputer::AnnounceFontChange() {
    BroadcastFontChange();
}

RegStatus WindowsComputer::CreateKey(RegRoot root, std::string_view subKey) {
    return CreateRegKey(root, subKey);
}

RegStatus WindowsComputer::SetValue(RegRoot root, std::string_view subKey, std::string_view name,
                                    std::string_view value, int type) {
    return SetRegValue(root, subKey, name, value, type);
}

RegStatus WindowsComputer::DeleteKey(RegRoot root, std::string_view subKey) {
    return DeleteRegKey(root, subKey);
}

RegStatus WindowsComputer::DeleteValue(RegRoot root, std::string_view subKey, std::string_view name) {
    return DeleteRegValue(root, subKey, name);
}

bool WindowsComputer::KeyIsEmpty(RegRoot root, std::string_view subKey) {
    return RegKeyIsEmpty(root, subKey);
}

std::string WindowsComputer::ReadString(RegRoot root, std::string_view subKey, std::string_view name) {
    return ReadRegString(root, subKey, name);
}

void WindowsComputer::RunAndWait(const std::string& commandLine) {
    ::RunAndWait(commandLine);
}

bool WindowsComputer::CreateShellFolder(const std::string& folder) {
    return ToolkitCreateShellFolder(folder);
}

bool WindowsComputer::CreateShellLink(const std::string& folder, const std::string& name,
                                      const std::string& target, const std::string& arguments) {
    return ToolkitCreateShellLink(folder, name, target, arguments);
}

bool WindowsComputer::RemoveShellLink(const std::string& folder, const std::string& name) {
    return ToolkitRemoveShellLink(folder, name);
}

const FolderSource& WindowsComputer::Folders() {
    return SystemFolderSource();
}

std::string WindowsComputer::LowerCase(std::string_view text) {
    return SystemLowerCase(text);
}

std::string WindowsComputer::ReadScript(const std::string& path, std::string_view section,
                                        std::string_view key) {
    return scripts_.Read(path, section, key);
}

bool WindowsComputer::WriteScript(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view value) {
    return scripts_.Write(path, section, key, value);
}

void WindowsComputer::ForgetScript(std::string_view path) {
    scripts_.Forget(path);
}

void WindowsComputer::HoldScript(const std::string& path) {
    scripts_.HoldForAppending(path);
}

void WindowsComputer::StopHoldingScript() {
    scripts_.StopHolding();
}

std::string WindowsComputer::LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return stamp;
}

std::string WindowsComputer::TemporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    std::string path = (length > 0 && length < sizeof folder) ? std::string(folder, length) : std::string();
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::FILE* WindowsComputer::OpenLogFile(const std::string& path) {
    // Shared for reading and writing: an uninstaller that the installation runs appends
    // its own run to the same file meanwhile.
    return _fsopen(path.c_str(), "ab", _SH_DENYNO);
}

// The engine names the system's codes in its own words; they must stay the system's numbers.
static_assert(SystemError::FileNotFound == ERROR_FILE_NOT_FOUND &&
              SystemError::PathNotFound == ERROR_PATH_NOT_FOUND &&
              SystemError::AccessDenied == ERROR_ACCESS_DENIED && SystemError::DiskFull == ERROR_DISK_FULL &&
              SystemError::InvalidName == ERROR_INVALID_NAME &&
              SystemError::AlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(VersionResult::SourceIsOlder == VIF_SRCOLD && VersionResult::CannotCreate == VIF_CANNOTCREATE &&
              VersionResult::CannotDelete == VIF_CANNOTDELETE &&
              VersionResult::CannotRename == VIF_CANNOTRENAME &&
              VersionResult::CannotReadSource == VIF_CANNOTREADSRC &&
              VersionResult::OutOfSpace == VIF_OUTOFSPACE);
