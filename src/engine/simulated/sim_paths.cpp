// How the simulated computer finds files and folders by their paths, and names them.
//
// Rules followed:
// - '/' and '\' are alike; repeated backslashes and one trailing backslash are ignored
//   in finding a path (the procedures that fail on a file name ending in a backslash say
//   so themselves). Letter case (A-Z) is ignored; each level keeps the case it was made
//   with. Any level may be given by its short name.
// - A path starts with a drive ("C:", known to the simulation: C: and those added) or a
//   folder macro ("%windows%", which always exists). A path starting with one backslash
//   names the host's disk only (a Linux path of a distribution folder). "." and "..",
//   network paths and relative paths are not taken: they name nothing.
// - Short names as Windows makes them for a name that is no 8.3 name: upper case, blanks
//   and all dots but the last removed, "+,;=[]" made '_', the first six characters of
//   the name, "~1" (the next free number when that is taken, fewer characters for two
//   digits), and the first three characters after the last dot. Left out: the hashed
//   form that NTFS uses from the fifth collision on. A name that is an 8.3 name already
//   is its own short name, in its own letter case.
#include <filesystem>

#include "engine/simulated/simulated_computer.h"

namespace {

bool IsShortNameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u > ' ' && std::string_view("\"*+,./:;<=>?[\\]|").find(c) == std::string_view::npos);
}

bool IsShortName(std::string_view name) {
    const size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string_view::npos && ext.empty()) return false;
    for (char c : base)
        if (!IsShortNameCharacter(c)) return false;
    for (char c : ext)
        if (!IsShortNameCharacter(c)) return false;
    return true;
}

std::string CleanShortPart(std::string_view part) {
    std::string clean;
    for (char c : part) {
        if (c == ' ' || c == '.') continue;
        if (std::string_view("+,;=[]").find(c) != std::string_view::npos) c = '_';
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (IsShortNameCharacter(c)) clean += c;
    }
    return clean;
}

} // namespace

std::string SimulatedComputer::HostPath(const std::string& path) const {
#ifdef _WIN32
    return path;
#else
    // Windows finds a file whatever the letter case of its name, and so does the simulation
    // on a host whose disk tells the cases apart: a level that is not there as spelt is the
    // entry of its folder that differs only in case, when there is one.
    std::string host;
    std::error_code error;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string level = path.substr(start, end - start);
        if (!level.empty() && !std::filesystem::exists(host + level, error)) {
            const std::string folder = host.empty() ? "." : host;
            for (const auto& entry : std::filesystem::directory_iterator(folder, error))
                if (FoldName(entry.path().filename().string()) == FoldName(level)) {
                    level = entry.path().filename().string();
                    break;
                }
        }
        host += level;
        if (end < path.size()) host += '/';
        start = end + 1;
    }
    return host;
#endif
}

// The root of a path ("C:", "%windows%", "" for a path from the host's root, "?" for none)
// and the rest after it.
std::string SimulatedComputer::SplitRoot(const std::string& path, std::string& rest) const {
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        rest = path.substr(2);
        return {static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))), ':'};
    }
    if (!path.empty() && path[0] == '%') {
        const size_t close = path.find('%', 1);
        if (close != std::string::npos) {
            rest = path.substr(close + 1);
            return path.substr(0, close + 1);
        }
    }
    if (path.size() >= 1 && path[0] == '\\' && (path.size() < 2 || path[1] != '\\')) {
        rest = path;
        return "";
    }
    return "?";
}

bool SimulatedComputer::RootExists(const std::string& root) const {
    if (root.size() == 2 && root[1] == ':') return drives_.count(root[0]) != 0;
    if (root.empty()) return options_.readHostFiles;
    return root[0] == '%';
}

SimulatedComputer::Node* SimulatedComputer::FindNode(const std::string& key) {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

SimulatedComputer::Place SimulatedComputer::Locate(const std::string& path) {
    Place at;
    std::string normal = path;
    for (char& c : normal)
        if (c == '/') c = '\\';
    std::string rest;
    at.root = SplitRoot(normal, rest);
    if (at.root == "?") return at;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        if (end > start) at.levels.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& level : at.levels)
        if (level.find_first_of("*?") != std::string::npos || level == "." || level == "..") return at;
    at.valid = true;
    at.key = FoldName(at.root);
    bool present = RootExists(at.root);
    for (size_t i = 0; i < at.levels.size(); ++i) {
        at.parentKey = at.key;
        at.parentExists = present;
        const std::string key = at.key + "\\" + FoldName(at.levels[i]);
        Node* node = present ? FindNode(key) : nullptr;
        if (!node && present) {
            auto alias = shorts_.find(key);
            if (alias != shorts_.end()) node = FindNode(alias->second);
        }
        at.key = node ? FoldName(node->path) : key;
        at.levelKeys.push_back(at.key);
        at.node = node;
        present = node && node->folder;
    }
    at.name = at.levels.empty() ? std::string() : at.levels.back();
    if (!at.node && options_.readHostFiles && !IsDeleted(at.key)) {
        std::string host = at.root;
        for (const std::string& level : at.levels) host += "\\" + level;
        at.hostPath = HostPath(at.levels.empty() ? host + "\\" : host);
        std::error_code error;
        at.onHost = std::filesystem::exists(at.hostPath, error);
    }
    return at;
}

bool SimulatedComputer::IsDeleted(const std::string& key) const {
    for (size_t at = key.size();; at = key.rfind('\\', at - 1)) {
        if (deleted_.count(key.substr(0, at))) return true;
        if (at == 0 || at == std::string::npos) return false;
    }
}

std::string SimulatedComputer::DisplayPath(const Place& at, size_t levels) const {
    std::string path = at.root;
    for (size_t i = 0; i < levels; ++i) {
        auto it = nodes_.find(at.levelKeys[i]);
        path += "\\" + (it != nodes_.end() ? it->second.name : at.levels[i]);
    }
    return path;
}

// Makes the missing folders above a place that the host holds, quietly: a file written
// into a host folder is kept in the simulation with its folders.
bool SimulatedComputer::EnsureParent(Place& at) {
    if (at.parentExists) return true;
    if (!at.valid || !options_.readHostFiles || at.levels.empty()) return false;
    Place parent = Locate(DisplayPath(at, at.levels.size() - 1));
    std::error_code error;
    if (!parent.onHost || !std::filesystem::is_directory(parent.hostPath, error) || !EnsureParent(parent))
        return false;
    MakeNode(parent, true);
    at = Locate(DisplayPath(at, at.levels.size()));
    return at.parentExists;
}

std::string SimulatedComputer::MakeShortName(const std::string& parentKey, const std::string& name) const {
    if (IsShortName(name)) return name;
    std::string trimmed = name.substr(std::min(name.find_first_not_of('.'), name.size()));
    const size_t dot = trimmed.rfind('.');
    std::string base = CleanShortPart(trimmed.substr(0, dot));
    const std::string ext =
        dot == std::string::npos ? std::string() : CleanShortPart(trimmed.substr(dot + 1)).substr(0, 3);
    if (base.empty()) base = "_";
    for (int n = 1;; ++n) {
        const std::string tail = "~" + std::to_string(n);
        std::string candidate = base.substr(0, 8 - tail.size()) + tail + (ext.empty() ? "" : "." + ext);
        const std::string key = parentKey + "\\" + FoldName(candidate);
        if (!nodes_.count(key) && !shorts_.count(key)) return candidate;
    }
}

// A new node at a place whose parent exists. A file made under a name that a file deleted
// from the same folder had gets that file's long and short names back (tunnelling).
SimulatedComputer::Node* SimulatedComputer::MakeNode(const Place& at, bool folder) {
    std::string name = at.name, shortName;
    auto tunnel = tunnels_.find(at.parentKey + "\\" + FoldName(at.name));
    if (tunnel != tunnels_.end()) {
        const Tunnel was = tunnel->second;
        tunnels_.erase(FoldName(at.parentKey + "\\" + was.longName));
        tunnels_.erase(FoldName(at.parentKey + "\\" + was.shortName));
        if (tunnelling_ && !folder && !nodes_.count(at.parentKey + "\\" + FoldName(was.longName)) &&
            !shorts_.count(at.parentKey + "\\" + FoldName(was.shortName))) {
            name = was.longName;
            shortName = was.shortName;
        }
    }
    if (shortName.empty()) shortName = MakeShortName(at.parentKey, name);
    const std::string key = at.parentKey + "\\" + FoldName(name);
    Node& node = nodes_[key];
    node = Node{};
    node.path = DisplayPath(at, at.levels.size() - 1) + "\\" + name;
    node.name = name;
    node.shortName = shortName;
    node.folder = folder;
    node.time = ++clock_;
    node.generation = clock_;
    if (shortName != name) shorts_[at.parentKey + "\\" + FoldName(shortName)] = key;
    return &node;
}

void SimulatedComputer::RemoveNode(const std::string& key, bool tunnel) {
    auto it = nodes_.find(key);
    if (it == nodes_.end()) return;
    const std::string parentKey = key.substr(0, key.rfind('\\'));
    const Node& node = it->second;
    if (node.shortName != node.name) shorts_.erase(parentKey + "\\" + FoldName(node.shortName));
    if (tunnel && !node.folder) {
        const Tunnel was{node.name, node.shortName};
        tunnels_[parentKey + "\\" + FoldName(node.name)] = was;
        tunnels_[parentKey + "\\" + FoldName(node.shortName)] = was;
    }
    Charge(key, 0, node.bytes.size());
    scripts_.erase(key);
    nodes_.erase(it);
}

std::vector<std::string> SimulatedComputer::ChildrenOf(const std::string& key) const {
    std::vector<std::string> children;
    const std::string prefix = key + "\\";
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix); ++it)
        if (it->first.find('\\', prefix.size()) == std::string::npos) children.push_back(it->first);
    return children;
}

// Takes room on the node's drive for a file growing from oldSize to newSize bytes; false
// (nothing taken) when the drive has too little free.
bool SimulatedComputer::Charge(const std::string& key, uint64_t newSize, uint64_t oldSize) {
    if (key.size() < 2 || key[1] != ':') return true;
    auto drive = drives_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(key[0]))));
    if (drive == drives_.end() || !drive->second.freeBytes) return true;
    uint64_t& free = *drive->second.freeBytes;
    if (newSize > oldSize && newSize - oldSize > free) return false;
    free = free + oldSize - newSize;
    return true;
}

bool SimulatedComputer::ReadBytes(const Place& at, std::string& bytes, uint64_t* time) {
    if (at.node) {
        if (at.node->folder) return false;
        bytes = at.node->bytes;
        if (time) *time = at.node->time;
        return true;
    }
    std::error_code error;
    if (!at.onHost || !std::filesystem::is_regular_file(at.hostPath, error)) return false;
    std::FILE* file = std::fopen(at.hostPath.c_str(), "rb");
    if (!file) return false;
    bytes.clear();
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
    std::fclose(file);
    if (time) *time = 0;
    return true;
}
