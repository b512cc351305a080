// The simulated computer's files and folders, as the system's file calls treat them.
//
// Rules followed (error codes as the system sets them):
// - A read-only file is neither deleted nor overwritten (AccessDenied); a file in use is
//   read but neither deleted, overwritten nor renamed (SharingViolation). A copy takes its
//   source's read-only attribute along and its time.
// - Folders: one level needs its parent (PathNotFound) and a free name (AlreadyExists);
//   a folder is no file (AccessDenied when deleted or copied over). Renaming moves files
//   only.
// - A file name ending in a backslash names no file (InvalidName), except for the
//   readability question, which ignores one.
// - Wildcards in the last level: '*' any run of characters, '?' one character or none at
//   the end of the name; "X.*" also finds names without a dot and "X." only those. Each
//   name is tried in its long and in its short form, as FindFirstFile does ("*.htm"
//   finds "page.html" by its short name PAGE~1.HTM). The order is that of the folded
//   names.
#include <filesystem>

#include "engine/simulated/simulated_computer.h"

namespace {

bool EndsInBackslash(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Matches(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*') {
        for (size_t skip = 0; skip <= name.size(); ++skip)
            if (Matches(pattern.substr(1), name.substr(skip))) return true;
        return false;
    }
    if (pattern[0] == '?')
        return name.empty() ? Matches(pattern.substr(1), name)
                            : Matches(pattern.substr(1), name.substr(1)) || Matches(pattern.substr(1), name);
    return !name.empty() && Fold(pattern[0]) == Fold(name[0]) && Matches(pattern.substr(1), name.substr(1));
}

bool NameMatches(std::string_view pattern, std::string_view name) {
    if (Matches(pattern, name)) return true;
    const bool dotless = name.find('.') == std::string_view::npos;
    if (dotless && pattern.ends_with(".*")) return Matches(pattern.substr(0, pattern.size() - 2), name);
    if (dotless && pattern.ends_with(".")) return Matches(pattern.substr(0, pattern.size() - 1), name);
    return false;
}

} // namespace

bool SimulatedComputer::FileCanBeRead(const std::string& path) {
    std::string file = path;
    if (EndsInBackslash(file)) file.pop_back();
    std::string bytes;
    Place at = Locate(file);
    if (at.valid && !at.IsRoot() && (at.node ? !at.node->folder : at.onHost && ReadBytes(at, bytes)))
        return true;
    return Fail(SystemError::FileNotFound);
}

bool SimulatedComputer::FileIsListed(const std::string& path) {
    if (path.empty() || EndsInBackslash(path)) return false;
    Place at = Locate(path);
    std::error_code error;
    return at.valid && !at.IsRoot() &&
           (at.node ? !at.node->folder : at.onHost && std::filesystem::is_regular_file(at.hostPath, error));
}

bool SimulatedComputer::FolderExists(const std::string& path) {
    if (path.empty()) return false;
    Place at = Locate(path);
    std::error_code error;
    if (at.IsRoot()) return RootExists(at.root);
    return at.valid &&
           (at.node ? at.node->folder : at.onHost && std::filesystem::is_directory(at.hostPath, error));
}

std::string SimulatedComputer::ShortPath(const std::string& path) {
    Place at = Locate(path);
    if (!at.valid || (at.IsRoot() ? !RootExists(at.root) : !at.node && !at.onHost)) return Fail(2), "";
    if (at.root.empty()) return path; // the host's path (no short names there)
    std::string shortPath = path.substr(
        0, path.size() - [&] {
            std::string rest;
            SplitRoot(path, rest);
            return rest.size();
        }());
    for (size_t i = 0; i < at.levels.size(); ++i) {
        const Node* node = FindNode(at.levelKeys[i]);
        shortPath += (i || !at.root.empty() ? "\\" : "") + (node ? node->shortName : at.levels[i]);
    }
    if (!at.root.empty() || !at.levels.empty())
        if (EndsInBackslash(path) && !EndsInBackslash(shortPath)) shortPath += '\\';
    return shortPath;
}

std::string SimulatedComputer::ShortNameInFolder(const std::string& path) {
    Place at = Locate(path);
    if (!at.valid || at.IsRoot()) return "";
    return at.node ? at.node->shortName : at.onHost ? at.name : "";
}

std::vector<std::string> SimulatedComputer::MatchingFiles(const std::string& pattern) {
    std::vector<std::string> paths;
    const size_t slash = pattern.find_last_of("\\/");
    if (slash == std::string::npos) return paths;
    const std::string folder = pattern.substr(0, slash + 1), name = pattern.substr(slash + 1);
    Place at = Locate(folder);
    if (!at.valid) return paths;
    std::set<std::string> seen;
    for (const std::string& key : ChildrenOf(at.key)) {
        const Node& node = nodes_.at(key);
        seen.insert(FoldName(node.name));
        if (!node.folder && (NameMatches(name, node.name) || NameMatches(name, node.shortName)))
            paths.push_back(folder + node.name);
    }
    std::error_code error;
    if (!at.node && at.onHost && std::filesystem::is_directory(at.hostPath, error)) {
        for (const auto& entry : std::filesystem::directory_iterator(at.hostPath, error)) {
            const std::string found = entry.path().filename().string();
            if (!entry.is_regular_file(error) || seen.count(FoldName(found)) ||
                IsDeleted(at.key + "\\" + FoldName(found)) || !NameMatches(name, found))
                continue;
            paths.push_back(folder + found);
        }
    }
    return paths;
}

bool SimulatedComputer::MakeFolder(const std::string& folder) {
    Place at = Locate(folder);
    if (!at.valid) return Fail(SystemError::InvalidName);
    if (at.IsRoot())
        return Fail(RootExists(at.root) ? SystemError::AlreadyExists : SystemError::PathNotFound);
    if (at.node || at.onHost) return Fail(SystemError::AlreadyExists);
    if (!EnsureParent(at)) return Fail(SystemError::PathNotFound);
    MakeNode(at, true);
    return true;
}

bool SimulatedComputer::CreateOneFolder(const std::string& folder) {
    if (!MakeFolder(folder)) return false;
    Record("folder", folder);
    return true;
}

bool SimulatedComputer::CreateWholeFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && EndsInBackslash(path)) path.pop_back();
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    std::vector<std::string> made;
    unsigned long error = SystemError::PathNotFound;
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\' && path[i] != '/') continue;
        const std::string level = path.substr(0, i);
        if (level.back() == ':' || EndsInBackslash(level) || level.back() == '%') continue;
        if (MakeFolder(level))
            made.push_back(level);
        else if (lastError_ != SystemError::AlreadyExists)
            error = lastError_;
    }
    if (FolderExists(path)) {
        for (const std::string& level : made) Record("folder", level);
        return true;
    }
    for (auto level = made.rbegin(); level != made.rend(); ++level) {
        Place at = Locate(*level);
        if (at.node && ChildrenOf(at.key).empty()) RemoveNode(at.key, false);
    }
    return Fail(error);
}

// CopyFile: the target is overwritten unless it is read-only, in use or a folder.
bool SimulatedComputer::CopyInto(const std::string& source, const std::string& target, bool keepReadOnly) {
    Place from = Locate(source), to = Locate(target);
    std::string bytes;
    uint64_t time = 0;
    if (!from.valid || !to.valid || EndsInBackslash(target)) return Fail(SystemError::InvalidName);
    if (!ReadBytes(from, bytes, &time))
        return Fail(from.node           ? SystemError::AccessDenied
                    : from.parentExists ? SystemError::FileNotFound
                                        : SystemError::PathNotFound);
    if (from.key == to.key) return Fail(SimulatedError::SharingViolation);
    if (to.node && (to.node->folder || to.node->readOnly)) return Fail(SystemError::AccessDenied);
    if (to.node && to.node->inUse) return Fail(SimulatedError::SharingViolation);
    if (!to.node && !EnsureParent(to)) return Fail(SystemError::PathNotFound);
    if (!Charge(to.key, bytes.size(), to.node ? to.node->bytes.size() : 0))
        return Fail(SystemError::DiskFull);
    Node* node = to.node ? to.node : MakeNode(to, false);
    node->bytes = std::move(bytes);
    node->time = time;
    node->generation = ++clock_;
    node->readOnly = keepReadOnly && from.node && from.node->readOnly;
    return true;
}

bool SimulatedComputer::CopyFileOver(const std::string& source, const std::string& target) {
    if (!CopyInto(source, target, true)) return false;
    Record("copy", target, source);
    return true;
}

// MoveFile, or MoveFileEx replacing the target (which must then be neither read-only nor
// in use). A file the host holds is taken into the simulation under its new name.
bool SimulatedComputer::PutInPlace(const std::string& source, const std::string& target, bool replace) {
    Place from = Locate(source), to = Locate(target);
    if (!from.valid || !to.valid || from.IsRoot() || EndsInBackslash(target))
        return Fail(SystemError::InvalidName);
    std::string bytes;
    uint64_t time = 0;
    if (!ReadBytes(from, bytes, &time))
        return Fail(from.node ? SystemError::AccessDenied : SystemError::FileNotFound);
    if (from.node && from.node->inUse) return Fail(SimulatedError::SharingViolation);
    if (from.key == to.key) return true;
    if ((to.node || to.onHost) && !replace) return Fail(SystemError::AlreadyExists);
    if (to.node && (to.node->folder || to.node->readOnly)) return Fail(SystemError::AccessDenied);
    if (to.node && to.node->inUse) return Fail(SimulatedError::SharingViolation);
    if (!to.node && !EnsureParent(to)) return Fail(SystemError::PathNotFound);
    const bool readOnly = from.node && from.node->readOnly;
    if (from.node)
        RemoveNode(from.key, false);
    else
        deleted_.insert(from.key);
    if (to.node) RemoveNode(to.key, false);
    to = Locate(target);
    Charge(to.key, bytes.size(), 0);
    Node* node = MakeNode(to, false);
    node->bytes = std::move(bytes);
    node->time = time;
    node->readOnly = readOnly;
    return true;
}

bool SimulatedComputer::RenameFile(const std::string& source, const std::string& target) {
    if (!PutInPlace(source, target, false)) return false;
    Record("rename", source, target);
    return true;
}

bool SimulatedComputer::ReplaceWithCopy(const std::string& source, const std::string& target) {
    const std::string fresh = TemporaryCopyName(target);
    ++quiet_;
    ClearReadOnly(fresh);
    bool done = CopyInto(source, fresh, false);
    if (done) {
        ClearReadOnly(target);
        done = PutInPlace(fresh, target, true);
    }
    if (!done) {
        const unsigned long error = lastError_;
        Place left = Locate(fresh);
        if (left.node && !left.node->readOnly && !left.node->inUse) RemoveNode(left.key, false);
        lastError_ = error;
    }
    --quiet_;
    if (done) Record("replace", target, source);
    return done;
}

bool SimulatedComputer::ClearReadOnly(const std::string& path) {
    Place at = Locate(path);
    if (!at.valid || (!at.node && !at.onHost)) return Fail(SystemError::FileNotFound);
    if (at.node && at.node->readOnly) {
        at.node->readOnly = false;
        Record("clear-read-only", path);
    }
    return true;
}

bool SimulatedComputer::CreatePlaceholderFile(const std::string& path) {
    Place at = Locate(path);
    if (!at.valid || at.IsRoot() || EndsInBackslash(path)) return Fail(SystemError::InvalidName);
    if (at.node || at.onHost) return Fail(SimulatedError::FileExists);
    if (!EnsureParent(at)) return Fail(SystemError::PathNotFound);
    MakeNode(at, false);
    Record("placeholder", path);
    return true;
}

NewFileCopy SimulatedComputer::CopyIntoNewFile(const std::string& source, const std::string& target) {
    Place to = Locate(target), from = Locate(source);
    if (to.node || to.onHost) return Fail(SimulatedError::FileExists), NewFileCopy::NameTaken;
    Place fresh = Locate(TemporaryCopyName(target));
    if (!to.valid || EndsInBackslash(target)) return Fail(SystemError::InvalidName), NewFileCopy::NotMade;
    if (!EnsureParent(to)) return Fail(SystemError::PathNotFound), NewFileCopy::NotMade;
    if (fresh.node && (fresh.node->readOnly || fresh.node->inUse || fresh.node->folder))
        return Fail(SystemError::AccessDenied), NewFileCopy::NotMade;
    std::string bytes;
    uint64_t time = 0;
    if (!ReadBytes(from, bytes, &time)) return Fail(SystemError::FileNotFound), NewFileCopy::NotMade;
    // Files packed by the system's compressor are left to the version installer.
    if (bytes.starts_with("SZDD") || bytes.starts_with("KWAJ")) return NewFileCopy::NotMade;
    if (fresh.node) RemoveNode(fresh.key, false);
    if (!Charge(to.key, bytes.size(), 0)) return Fail(SystemError::DiskFull), NewFileCopy::NoRoom;
    to = Locate(target);
    Node* node = MakeNode(to, false);
    node->bytes = std::move(bytes);
    node->time = time;
    Record("new-file", target, source);
    return NewFileCopy::Made;
}

bool SimulatedComputer::DeleteOneFile(const std::string& path) {
    Place at = Locate(path);
    if (!at.valid || at.IsRoot() || EndsInBackslash(path)) return Fail(SystemError::InvalidName);
    if (!at.node && !at.onHost)
        return Fail(at.parentExists ? SystemError::FileNotFound : SystemError::PathNotFound);
    std::error_code error;
    if (at.node ? at.node->folder || at.node->readOnly : std::filesystem::is_directory(at.hostPath, error))
        return Fail(SystemError::AccessDenied);
    if (at.node && at.node->inUse) return Fail(SimulatedError::SharingViolation);
    if (at.node)
        RemoveNode(at.key, true);
    else
        deleted_.insert(at.key);
    Record("delete", path);
    return true;
}
