// The real computer: each of the engine's questions and changes handed to the system, through
// the procedures of this layer (file_system.h, regprocs.h, toolkit.h, folders.h).
#pragma once
#include "engine/computer.h"
#include "script/profile_files.h"

class WindowsComputer final : public Computer {
  public:
    WindowsComputer();

    unsigned long LastError() override;
    void ClearError() override;
    std::string ErrorText(unsigned long error) override;

    bool FileCanBeRead(const std::string& path) override;
    bool FileIsListed(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string ShortPath(const std::string& path) override;
    std::string ShortNameInFolder(const std::string& path) override;
    std::vector<std::string> MatchingFiles(const std::string& pattern) override;

    bool CreateOneFolder(const std::string& folder) override;
    bool CreateWholeFolder(const std::string& folder) override;
    bool CopyFileOver(const std::string& source, const std::string& target) override;
    bool RenameFile(const std::string& source, const std::string& target) override;
    bool ReplaceWithCopy(const std::string& source, const std::string& target) override;
    bool ClearReadOnly(const std::string& path) override;
    bool CreatePlaceholderFile(const std::string& path) override;
    NewFileCopy CopyIntoNewFile(const std::string& source, const std::string& target) override;
    bool DeleteOneFile(const std::string& path) override;

    uint32_t InstallVersionedFile(const std::string& sourceName, const std::string& destName,
                                  const std::string& sourceFolder, const std::string& destFolder) override;

    bool AddFont(const std::string& fontPath) override;
    void AnnounceFontChange() override;

    RegStatus CreateKey(RegRoot root, std::string_view subKey) override;
    RegStatus SetValue(RegRoot root, std::string_view subKey, std::string_view name, std::string_view value,
                       int type) override;
    RegStatus DeleteKey(RegRoot root, std::string_view subKey) override;
    RegStatus DeleteValue(RegRoot root, std::string_view subKey, std::string_view name) override;
    bool KeyIsEmpty(RegRoot root, std::string_view subKey) override;
    std::string ReadString(RegRoot root, std::string_view subKey, std::string_view name) override;

    void RunAndWait(const std::string& commandLine) override;
    bool CreateShellFolder(const std::string& folder) override;
    bool CreateShellLink(const std::string& folder, const std::string& name, const std::string& target,
                         const std::string& arguments) override;
    bool RemoveShellLink(const std::string& folder, const std::string& name) override;

    const FolderSource& Folders() override;
    std::string LowerCase(std::string_view text) override;

    std::string ReadScript(const std::string& path, std::string_view section, std::string_view key) override;
    bool WriteScript(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) override;
    void ForgetScript(std::string_view path) override;
    void HoldScript(const std::string& path) override;
    void StopHoldingScript() override;

    std::string LocalTimeText() override;
    std::string TemporaryFolder() override;
    std::FILE* OpenLogFile(const std::string& path) override;

  private:
    // The script files, kept parsed between reads and read again when they change on disk
    // (told by the system's precise file times).
    ProfileFiles scripts_;
};
