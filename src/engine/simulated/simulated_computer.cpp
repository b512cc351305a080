// The simulated computer: seeding, inspection, the version installer, scripts, programs,
// the toolkit's shell links and the journal.
#include "engine/simulated/simulated_computer.h"

#include <cstdio>

#include "engine/simulated/version_resource.h"
#include "script/macros.h"
#include "script/profile_write.h"
#include "script/text.h"

std::string MacroFolderSource::CurrentVersionValue(std::string_view name) const {
    if (EqualsNoCase(name, "ProgramFilesDir")) return "%programfiles%";
    if (EqualsNoCase(name, "CommonFilesDir")) return "%commonfiles%";
    return {};
}

std::string MacroFolderSource::ShellFolder(std::string_view name) const {
    if (IsShellFolderName(name)) return "%" + std::string(name) + "%";
    return {};
}

SimulatedComputer::SimulatedComputer(SimulatedOptions options)
    : options_(options), folders_(options.folders ? options.folders : &macroFolders_) {
    drives_['C'];
}

SimulatedComputer::~SimulatedComputer() = default;

void SimulatedComputer::Record(std::string kind, std::string target, std::string name, std::string value) {
    if (quiet_ == 0)
        journal_.push_back({std::move(kind), std::move(target), std::move(name), std::move(value)});
}

std::string SimulatedComputer::ErrorText(unsigned long error) {
    switch (error) {
    case 0:
        return "";
    case SystemError::FileNotFound:
        return "The system cannot find the file specified.";
    case SystemError::PathNotFound:
        return "The system cannot find the path specified.";
    case SystemError::AccessDenied:
        return "Access is denied.";
    case SimulatedError::InvalidHandle:
        return "The handle is invalid.";
    case SimulatedError::SharingViolation:
        return "The process cannot access the file because it is being used by another process.";
    case SimulatedError::FileExists:
        return "The file exists.";
    case SystemError::DiskFull:
        return "There is not enough space on the disk.";
    case SystemError::InvalidName:
        return "The filename, directory name, or volume label syntax is incorrect.";
    case SystemError::AlreadyExists:
        return "Cannot create a file when that file already exists.";
    default:
        return "Error " + std::to_string(error) + ".";
    }
}

// --- Seeding and inspection ------------------------------------------------------------

void SimulatedComputer::AddDrive(char letter, std::optional<uint64_t> freeBytes) {
    drives_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))].freeBytes = freeBytes;
}

void SimulatedComputer::AddFolder(const std::string& path) {
    std::string rest;
    const std::string root = SplitRoot(path, rest);
    if (root.size() == 2 && !drives_.count(root[0])) drives_[root[0]];
    ++quiet_;
    CreateWholeFolder(path);
    --quiet_;
}

void SimulatedComputer::AddFile(const std::string& path, std::string bytes, std::optional<uint64_t> version,
                                bool readOnly) {
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) AddFolder(path.substr(0, slash));
    if (version) bytes += std::string((4 - bytes.size() % 4) % 4, '\0') + FixedVersionBytes(*version);
    Place at = Locate(path);
    if (!at.valid || at.IsRoot()) return;
    if (at.node) RemoveNode(at.key, false);
    at = Locate(path);
    if (!at.parentExists) return;
    Charge(at.key, bytes.size(), 0);
    Node* node = MakeNode(at, false);
    node->bytes = std::move(bytes);
    node->readOnly = readOnly;
}

void SimulatedComputer::SetFileInUse(const std::string& path, bool inUse) {
    if (Node* node = Locate(path).node) node->inUse = inUse;
}

std::optional<std::string> SimulatedComputer::FileBytes(const std::string& path) {
    std::string bytes;
    if (!ReadBytes(Locate(path), bytes)) return std::nullopt;
    return bytes;
}

bool SimulatedComputer::IsReadOnly(const std::string& path) {
    const Node* node = Locate(path).node;
    return node && node->readOnly;
}

std::vector<std::string> SimulatedComputer::Files() const {
    std::vector<std::string> files;
    for (const auto& [key, node] : nodes_)
        if (!node.folder) files.push_back(node.path);
    for (const auto& [key, link] : links_) files.push_back(link.folder + "|" + link.name);
    return files;
}

std::vector<std::string> SimulatedComputer::AllFolders() const {
    std::vector<std::string> folders;
    for (const auto& [key, node] : nodes_)
        if (node.folder) folders.push_back(node.path);
    return folders;
}

// --- The version installer -------------------------------------------------------------
// As VerInstallFile without flags (no current folder given):
// - the source is sourceFolder\sourceName; it cannot be read: CannotReadSource;
// - the destination is destFolder\destName (the source folder when destFolder is empty);
//   a read-only one: WriteProtected, one in use: FileInUse, nothing copied;
// - the source is copied to a temporary file (VERnnnn.tmp) in the destination folder: a
//   missing folder gives CannotCreate, too little room OutOfSpace (nothing is left);
// - when a destination exists and both files have a version resource, a destination with
//   the higher file version gives SourceIsOlder | TempFile: the temporary copy stays in
//   the folder, as Windows leaves it for a forced second call;
// - a destination that is a folder (an empty destName names the folder itself) cannot be
//   deleted: CannotDelete, nothing copied;
// - otherwise the old file is deleted and the copy renamed to destName (a name that a file
//   deleted just before had as its short name brings back that file's long name).
// Left out: the language, code page and file type comparisons (VIF_DIFFLANG and its
// kin), and the expansion of compressed sources, which are copied as they are.
uint32_t SimulatedComputer::InstallVersionedFile(const std::string& sourceName, const std::string& destName,
                                                 const std::string& sourceFolder,
                                                 const std::string& destFolder) {
    // The folders come with or without their backslash.
    const auto join = [](const std::string& folder, const std::string& name) {
        return folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder + name
                                                                               : folder + "\\" + name;
    };
    const std::string source = join(sourceFolder, sourceName);
    const std::string folder = destFolder.empty() ? sourceFolder : destFolder;
    const std::string dest = join(folder, destName);
    uint32_t result = 0;
    std::string bytes;
    uint64_t time = 0;
    Place to = Locate(dest), inFolder = Locate(folder);
    if (!ReadBytes(Locate(source), bytes, &time)) {
        result = VersionResult::CannotReadSource;
    } else if (to.node && to.node->readOnly) {
        result = SimulatedVersionResult::WriteProtected;
    } else if (to.node && to.node->inUse) {
        result = SimulatedVersionResult::FileInUse;
    } else if (to.node && to.node->folder) {
        result = VersionResult::CannotDelete; // a folder is no file to replace
    } else if (!inFolder.valid || (inFolder.IsRoot() ? !RootExists(inFolder.root) : !inFolder.node) ||
               (inFolder.node && !inFolder.node->folder)) {
        result = VersionResult::CannotCreate;
    } else if (!Charge(to.key, bytes.size(), 0)) {
        result = VersionResult::OutOfSpace;
    } else {
        Charge(to.key, 0, bytes.size()); // taken again by the temporary file
        std::string tempName;
        do {
            char name[16];
            std::snprintf(name, sizeof name, "VER%X.tmp", ++tempCounter_ & 0xFFFF);
            tempName = join(folder, name);
        } while (Locate(tempName).node);
        ++quiet_;
        Place temp = Locate(tempName);
        Charge(temp.key, bytes.size(), 0);
        Node* node = MakeNode(temp, false);
        const std::optional<uint64_t> newVersion = FileVersionOf(bytes);
        node->bytes = std::move(bytes);
        node->time = time;
        std::string oldBytes;
        const bool exists = ReadBytes(to, oldBytes);
        const std::optional<uint64_t> oldVersion = exists ? FileVersionOf(oldBytes) : std::nullopt;
        if (oldVersion && newVersion && *oldVersion > *newVersion) {
            result = VersionResult::SourceIsOlder | SimulatedVersionResult::TempFile;
        } else {
            if (to.node) RemoveNode(to.key, false);
            if (!PutInPlace(tempName, dest, true))
                result = VersionResult::CannotRename | SimulatedVersionResult::TempFile;
        }
        --quiet_;
    }
    char shown[16];
    std::snprintf(shown, sizeof shown, "%X", result);
    Record("version-install", dest, source, shown);
    return result;
}

// --- Fonts, programs and the toolkit ---------------------------------------------------

// The system takes a TrueType or OpenType file (or collection) by its first four bytes, and a
// font resource file (.fon, a program file) whose resources are not looked into; any other
// file is refused.
bool SimulatedComputer::AddFont(const std::string& fontPath) {
    std::string bytes;
    const bool added = ReadBytes(Locate(fontPath), bytes) &&
                       (bytes.starts_with(std::string_view("\0\1\0\0", 4)) || bytes.starts_with("true") ||
                        bytes.starts_with("OTTO") || bytes.starts_with("ttcf") || bytes.starts_with("MZ"));
    Record("font", fontPath, {}, added ? "added" : "refused");
    return added;
}

void SimulatedComputer::AnnounceFontChange() {
    Record("font-change", {});
}

void SimulatedComputer::RunAndWait(const std::string& commandLine) {
    Record("run", commandLine);
    if (runner_) runner_(commandLine);
}

// The toolkit's names: a shortcut folder is levels below the Programs folder, separated by
// either slash, none of them "." or ".." or holding :*?"<>| or a control character; a
// shortcut's name is a plain file name (none of those characters, nor a slash) that is
// not only dots and blanks.
namespace {

bool HoldsBadCharacter(std::string_view text, std::string_view bad) {
    for (char c : text)
        if (bad.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 32) return true;
    return false;
}

bool ValidShortcutFolder(std::string_view folder) {
    if (HoldsBadCharacter(folder, ":*?\"<>|")) return false;
    for (size_t start = 0; start <= folder.size();) {
        size_t end = folder.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = folder.size();
        std::string_view level = folder.substr(start, end - start);
        while (!level.empty() && level.front() == ' ') level.remove_prefix(1);
        while (!level.empty() && level.back() == ' ') level.remove_suffix(1);
        if (level == "." || level == "..") return false;
        start = end + 1;
    }
    return true;
}

bool ValidShortcutName(std::string_view name) {
    return !HoldsBadCharacter(name, "\\/:*?\"<>|") && name.find_first_not_of(". ") != std::string_view::npos;
}

} // namespace

bool SimulatedComputer::CreateShellFolder(const std::string& folder) {
    if (!ValidShortcutFolder(folder)) return false;
    if (shellFolders_.insert(FoldName(folder)).second) Record("shortcut-folder", folder);
    return true;
}

bool SimulatedComputer::CreateShellLink(const std::string& folder, const std::string& name,
                                        const std::string& target, const std::string& arguments) {
    if (!ValidShortcutFolder(folder) || !ValidShortcutName(name)) return false;
    links_[FoldName(folder) + "|" + FoldName(name)] = {folder, name, target, arguments};
    Record("shortcut", folder, name, target + (arguments.empty() ? "" : " " + arguments));
    return true;
}

bool SimulatedComputer::RemoveShellLink(const std::string& folder, const std::string& name) {
    if (!links_.erase(FoldName(folder) + "|" + FoldName(name))) return false;
    Record("remove-shortcut", folder, name);
    return true;
}

std::string SimulatedComputer::LowerCase(std::string_view text) {
    return FoldName(text);
}

std::FILE* SimulatedComputer::OpenLogFile(const std::string&) {
    return logHostPath_.empty() ? nullptr : std::fopen(logHostPath_.c_str(), "ab");
}

// --- Scripts ---------------------------------------------------------------------------
// Read and written as the program's own reader and writer do it (src/script), over the
// file's bytes here. Each file's parsed text is kept while its bytes are unchanged; a key
// appended to a file is parsed alone.

bool SimulatedComputer::CurrentScript(const Place& at, Script*& script) {
    std::string bytes;
    const uint64_t generation = at.node ? at.node->generation : 0;
    auto it = scripts_.find(at.key);
    if (it != scripts_.end() && it->second.generation == generation && (at.node || at.onHost)) {
        script = &it->second;
        return true;
    }
    if (!ReadBytes(at, bytes)) {
        scripts_.erase(at.key);
        return false;
    }
    Script& fresh = scripts_[at.key];
    fresh.generation = generation;
    fresh.encoding = EncodingOf(bytes);
    fresh.parsed.text = fresh.encoding == TextEncoding::Ansi ? std::move(bytes) : DecodeText(bytes);
    fresh.parsed.ParseAll();
    script = &fresh;
    return true;
}

std::string SimulatedComputer::ReadScript(const std::string& path, std::string_view section,
                                          std::string_view key) {
    Place at = Locate(path);
    Script* script = nullptr;
    if (!at.valid || !CurrentScript(at, script)) return {};
    return script->parsed.Read(section, key);
}

bool SimulatedComputer::WriteScript(const std::string& path, std::string_view section, std::string_view key,
                                    std::string_view value) {
    Place at = Locate(path);
    if (!at.valid || at.IsRoot()) return Fail(SystemError::InvalidName);
    if (at.node && (at.node->folder || at.node->readOnly)) return Fail(SystemError::AccessDenied);
    if (at.node && at.node->inUse) return Fail(SimulatedError::SharingViolation);
    if (!at.node) {
        // A new file, or the host's file taken into the simulation to be changed.
        std::string bytes;
        const bool onHost = ReadBytes(at, bytes);
        if (!EnsureParent(at)) return Fail(SystemError::PathNotFound);
        if (!Charge(at.key, bytes.size(), 0)) return Fail(SystemError::DiskFull);
        ++quiet_;
        at = Locate(path);
        Node* node = MakeNode(at, false);
        node->bytes = std::move(bytes);
        --quiet_;
        at = Locate(path);
        if (!onHost) scripts_.erase(at.key);
    }
    Script* script = nullptr;
    CurrentScript(at, script);
    Node& node = *at.node;
    ProfileEdit edit = PlanProfileWrite(script->parsed, section, key, value);
    if (edit.kind == ProfileEdit::Kind::None) return true;
    const bool utf16 = script->encoding == TextEncoding::Utf16LE || script->encoding == TextEncoding::Utf16BE;
    if (edit.kind == ProfileEdit::Kind::Append && utf16 && node.bytes.size() % 2 != 0) {
        edit.kind = ProfileEdit::Kind::Replace;
        edit.at = script->parsed.text.size();
    }
    if (edit.kind == ProfileEdit::Kind::Append) {
        const std::string bytes = EncodeText(script->encoding, edit.text, node.bytes.empty());
        if (!Charge(at.key, node.bytes.size() + bytes.size(), node.bytes.size()))
            return Fail(SystemError::DiskFull);
        const size_t oldSize = script->parsed.text.size();
        node.bytes += bytes;
        script->parsed.text += edit.text;
        script->parsed.ParseFrom(oldSize);
    } else {
        std::string text = script->parsed.text;
        text.replace(edit.at, edit.length, edit.text);
        std::string bytes =
            script->encoding == TextEncoding::Ansi ? text : EncodeText(script->encoding, text, true);
        if (!Charge(at.key, bytes.size(), node.bytes.size())) return Fail(SystemError::DiskFull);
        node.bytes = std::move(bytes);
        script->parsed.text = std::move(text);
        script->parsed.ParseAll();
    }
    node.generation = script->generation = ++clock_;
    node.time = clock_;
    Record("script-write", path, "[" + std::string(section) + "] " + std::string(key), std::string(value));
    return true;
}
