// A computer kept in memory: files, folders, drives, registry keys, shell links and the
// programs run, with the rules of the real computer that the engine relies on. The plan
// of an installation and the engine's fast tests run on it; every change it is asked for
// is written to its journal, which the plan prints.
//
// What it follows, and what it leaves out, is told beside each part (sim_files.cpp,
// sim_registry.cpp, simulated_computer.cpp). Portable: no system header.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/computer.h"
#include "script/profile_parse.h"
#include "script/text_codecs.h"

// Error codes the simulation sets besides those the engine names.
namespace SimulatedError {
inline constexpr unsigned long InvalidHandle = 6;
inline constexpr unsigned long SharingViolation = 32;
inline constexpr unsigned long FileExists = 80;
} // namespace SimulatedError

// Result bits of the version installer that the engine does not name.
namespace SimulatedVersionResult {
inline constexpr uint32_t TempFile = 0x0001;       // its temporary copy is left in the folder
inline constexpr uint32_t WriteProtected = 0x0040; // the file there is read-only
inline constexpr uint32_t FileInUse = 0x0080;      // the file there is in use
} // namespace SimulatedVersionResult

// Names each system folder by its macro ("%windows%", "%programfiles%", ...), so that a
// plan shows paths as the script wrote them. The simulation takes such a name as a folder
// that always exists (a drive of its own).
class MacroFolderSource : public FolderSource {
  public:
    std::string WindowsFolder() const override { return "%windows%"; }
    std::string SystemFolder() const override { return "%system%"; }
    std::string CurrentVersionValue(std::string_view name) const override;
    // The folders of the Shell Folders key that Windows lists ("Desktop", "Programs", ...).
    std::string ShellFolder(std::string_view name) const override;
};

// One change the computer was asked for, in the order asked.
struct JournalEntry {
    std::string kind;   // "folder", "copy", "delete", "key", "value", "run", "shortcut", ...
    std::string target; // the path, the key or the command line
    std::string name;   // a second path, a value name, "[section] key", a link's name
    std::string value;  // a value, a link's target and arguments, a version-installer result
};

struct SimulatedOptions {
    // Files and folders that the simulation does not hold and has not deleted are read
    // from the host's disk (a distribution folder as the source of a planned installation).
    bool readHostFiles = false;
    // Registry keys that the simulation does not hold and has not deleted are read from
    // this computer (on Windows, the real one); null: none.
    Computer* registryFallback = nullptr;
    // null: MacroFolderSource.
    const FolderSource* folders = nullptr;
};

class SimulatedComputer : public Computer {
  public:
    explicit SimulatedComputer(SimulatedOptions options = {});
    ~SimulatedComputer() override;

    // --- Seeding and inspection (tests, the plan) ----------------------------------------
    // A file with its parent folders. `version` (major.minor.build.revision as two 32-bit
    // halves) puts a version resource at the end of the bytes.
    void AddFile(const std::string& path, std::string bytes = {}, std::optional<uint64_t> version = {},
                 bool readOnly = false);
    void AddFolder(const std::string& path);
    void SetFileInUse(const std::string& path, bool inUse = true);
    // A drive ("D"); with a limit, writes beyond its free bytes fail as on a full disk.
    void AddDrive(char letter, std::optional<uint64_t> freeBytes = {});
    // Whether a file made under a name that a deleted file had as its short name gets that
    // file's long name (Windows does this, "tunnelling"); on by default.
    void SetTunnelling(bool on) { tunnelling_ = on; }
    void SetLocalTime(std::string text) { localTime_ = std::move(text); }
    void SetTemporaryFolder(std::string folder) { temporaryFolder_ = std::move(folder); }
    // OpenLogFile opens this host file instead of giving no log; empty: no log.
    void SetLogHostPath(std::string path) { logHostPath_ = std::move(path); }
    // RunAndWait runs this with the command line (an earlier installation's uninstaller).
    void SetProgramRunner(std::function<void(const std::string& commandLine)> runner) {
        runner_ = std::move(runner);
    }
    std::optional<std::string> FileBytes(const std::string& path);
    bool IsReadOnly(const std::string& path);
    // Full paths of every file held, then of every shell link ("folder|name").
    std::vector<std::string> Files() const;
    std::vector<std::string> AllFolders() const;
    // Every key, with its values below it: "HKEY_LOCAL_MACHINE\Key", "  name = text" or
    // "  name = #number" ("@" names the default value).
    std::vector<std::string> RegistryDump() const;
    std::optional<uint32_t> ReadNumber(RegRoot root, std::string_view subKey, std::string_view name);
    const std::vector<JournalEntry>& Journal() const { return journal_; }

    // --- Computer ---------------------------------------------------------------------
    unsigned long LastError() override { return lastError_; }
    void ClearError() override { lastError_ = 0; }
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
    const FolderSource& Folders() override { return *folders_; }
    std::string LowerCase(std::string_view text) override;
    std::string ReadScript(const std::string& path, std::string_view section, std::string_view key) override;
    bool WriteScript(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) override;
    void ForgetScript(std::string_view) override {} // the simulation sees every change itself
    void HoldScript(const std::string&) override {}
    void StopHoldingScript() override {}
    std::string LocalTimeText() override { return localTime_; }
    std::string TemporaryFolder() override { return temporaryFolder_; }
    std::FILE* OpenLogFile(const std::string& path) override;

  private:
    // A file or folder held in memory.
    struct Node {
        std::string path;      // the full path, each level in the letter case it was made with
        std::string name;      // the last level
        std::string shortName; // the 8.3 name, the name itself when it is one
        bool folder = false;
        bool readOnly = false;
        bool inUse = false;
        std::string bytes;
        uint64_t time = 0;       // when its bytes were written (a counter)
        uint64_t generation = 0; // changes with every write of its bytes
    };
    // Where a path leads: the key of its last level, and the node when it exists.
    struct Place {
        bool valid = false; // it has a root and no level with a wildcard
        std::string root;   // "C:", "%windows%", "" (the host's root)
        std::vector<std::string> levels, levelKeys;
        std::string key;       // folded full path, short levels resolved to long ones
        std::string parentKey; // empty for a root
        std::string name;      // the last level as given
        Node* node = nullptr;  // held in the simulation
        bool parentExists = false;
        bool onHost = false; // not held, not deleted, but the host has it
        std::string hostPath;
        bool IsRoot() const { return valid && levels.empty(); }
    };
    struct Drive {
        std::optional<uint64_t> freeBytes;
    };
    struct Tunnel {
        std::string longName, shortName;
    };
    struct RegValue {
        std::string name;
        int type = 1;
        std::string data; // a string's bytes without the ending NUL, or 4 bytes of a number
    };
    struct RegKey {
        std::string path;                       // "HKEY_LOCAL_MACHINE\SOFTWARE\..." as first spelt
        std::map<std::string, RegValue> values; // by folded name
    };
    struct ShellLink {
        std::string folder, name, target, arguments;
    };
    struct Script {
        uint64_t generation = 0;
        TextEncoding encoding = TextEncoding::Ansi;
        ParsedProfile parsed;
    };

    // Files (sim_files.cpp).
    Place Locate(const std::string& path);
    Node* FindNode(const std::string& key);
    std::string SplitRoot(const std::string& path, std::string& rest) const;
    bool RootExists(const std::string& root) const;
    std::string HostPath(const std::string& path) const;
    bool IsDeleted(const std::string& key) const;
    std::string DisplayPath(const Place& at, size_t levels) const;
    bool CurrentScript(const Place& at, Script*& script);
    bool ReadBytes(const Place& at, std::string& bytes, uint64_t* time = nullptr);
    Node* MakeNode(const Place& at, bool folder);
    bool EnsureParent(Place& at);
    std::string MakeShortName(const std::string& parentKey, const std::string& name) const;
    void RemoveNode(const std::string& key, bool tunnel);
    bool Charge(const std::string& key, uint64_t newSize, uint64_t oldSize);
    bool MakeFolder(const std::string& folder);
    bool CopyInto(const std::string& source, const std::string& target, bool keepReadOnly);
    bool PutInPlace(const std::string& source, const std::string& target, bool replace);
    std::vector<std::string> ChildrenOf(const std::string& key) const;
    bool Fail(unsigned long error) {
        lastError_ = error;
        return false;
    }
    void Record(std::string kind, std::string target, std::string name = {}, std::string value = {});

    // Registry (sim_registry.cpp).
    std::string KeyOf(RegRoot root, std::string_view subKey, std::string* spelt = nullptr) const;
    std::string ReadKeyOf(RegRoot root, std::string_view subKey) const;
    std::string WriteKeyOf(RegRoot root, std::string_view subKey, std::string* spelt) const;
    bool KeyDeleted(const std::string& key) const;
    bool HasSubKeys(const std::string& key) const;

    SimulatedOptions options_;
    MacroFolderSource macroFolders_;
    const FolderSource* folders_;
    unsigned long lastError_ = 0;
    std::map<std::string, Node> nodes_;                   // by folded path
    std::unordered_map<std::string, std::string> shorts_; // folded parent\short -> folded path
    std::set<std::string> deleted_;                       // host paths that the simulation deleted
    std::map<char, Drive> drives_;
    std::map<std::string, Tunnel> tunnels_; // folded parent\short of a deleted file
    bool tunnelling_ = true;
    uint64_t clock_ = 0;
    std::map<std::string, RegKey> keys_; // by folded "ROOTNAME\sub\key"
    std::set<std::string> deletedKeys_;
    std::map<std::string, ShellLink> links_;
    std::set<std::string> shellFolders_;
    std::unordered_map<std::string, Script> scripts_;
    std::vector<JournalEntry> journal_;
    std::function<void(const std::string&)> runner_;
    std::string localTime_ = "2000-01-01 12:00:00";
    std::string temporaryFolder_ = "C:\\TEMP\\";
    std::string logHostPath_;
    unsigned tempCounter_ = 0;
    int quiet_ = 0; // while above 0, changes are not written to the journal
};
