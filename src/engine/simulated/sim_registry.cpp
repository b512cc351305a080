// The simulated computer's registry, as the program's registry procedures use it.
//
// Rules followed:
// - Keys are compared without regard to letter case (A-Z) and keep their first spelling;
//   repeated, leading and trailing backslashes of a key path are ignored. The roots
//   HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS and HKEY_CURRENT_CONFIG always
//   exist; any other root number (0 too) is an invalid handle (6).
// - HKEY_CLASSES_ROOT is a view: a key is read from HKEY_CURRENT_USER\Software\Classes
//   when it exists there, otherwise from HKEY_LOCAL_MACHINE\SOFTWARE\Classes; keys and
//   values are written to the machine's part unless the key exists only under the
//   user's; a key is deleted where it is read from. Left out: a key that exists in both
//   parts shows only the user's values (Windows merges nothing finer either), and its
//   subkeys from both parts count only for KeyIsEmpty.
// - Values: type 1 a string (kept with its NULs), type 4 a 32-bit number given as text
//   (one that does not fit is not written, status 0); other types are not written.
// - ReadString reads into a buffer of 255 blanks as the program does: a string that does
//   not fit (255 characters or more) reads empty; a number reads as its four bytes.
#include "engine/simulated/simulated_computer.h"
#include "script/values.h"

namespace {

constexpr long InvalidHandle = SimulatedError::InvalidHandle;

bool IsPlainRoot(RegRoot root) {
    return root == RegHKeyLocalMachine || root == RegHKeyCurrentUser || root == RegHKeyUsers ||
           root == RegHKeyCurrentConfig;
}

std::string CleanSubKey(std::string_view subKey) {
    std::string clean;
    size_t start = 0;
    while (start < subKey.size()) {
        size_t end = subKey.find('\\', start);
        if (end == std::string_view::npos) end = subKey.size();
        if (end > start)
            clean += (clean.empty() ? "" : "\\") + std::string(subKey.substr(start, end - start));
        start = end + 1;
    }
    return clean;
}

bool NamesNoKey(RegRoot root, std::string_view subKey) {
    return root == 0 || subKey.find_first_not_of(" \\") == std::string_view::npos;
}

} // namespace

// The folded key of a plain root's key (empty for any other root), and its spelling.
std::string SimulatedComputer::KeyOf(RegRoot root, std::string_view subKey, std::string* spelt) const {
    if (!IsPlainRoot(root)) return {};
    const std::string clean = CleanSubKey(subKey);
    const std::string path = RegRootName(root) + (clean.empty() ? "" : "\\" + clean);
    if (spelt) *spelt = path;
    return FoldName(path);
}

std::string SimulatedComputer::ReadKeyOf(RegRoot root, std::string_view subKey) const {
    if (root != RegHKeyClassesRoot) return KeyOf(root, subKey);
    const std::string clean = CleanSubKey(subKey);
    const std::string user = KeyOf(RegHKeyCurrentUser, "Software\\Classes\\" + clean);
    return keys_.count(user) ? user : KeyOf(RegHKeyLocalMachine, "SOFTWARE\\Classes\\" + clean);
}

std::string SimulatedComputer::WriteKeyOf(RegRoot root, std::string_view subKey, std::string* spelt) const {
    if (root != RegHKeyClassesRoot) return KeyOf(root, subKey, spelt);
    const std::string clean = CleanSubKey(subKey);
    const std::string machine = KeyOf(RegHKeyLocalMachine, "SOFTWARE\\Classes\\" + clean, spelt);
    std::string userSpelt;
    const std::string user = KeyOf(RegHKeyCurrentUser, "Software\\Classes\\" + clean, &userSpelt);
    if (keys_.count(user) && !keys_.count(machine)) {
        if (spelt) *spelt = userSpelt;
        return user;
    }
    return machine;
}

bool SimulatedComputer::KeyDeleted(const std::string& key) const {
    for (size_t at = key.size(); at != std::string::npos && at > 0; at = key.rfind('\\', at - 1))
        if (deletedKeys_.count(key.substr(0, at))) return true;
    return false;
}

bool SimulatedComputer::HasSubKeys(const std::string& key) const {
    auto it = keys_.lower_bound(key + "\\");
    return it != keys_.end() && it->first.starts_with(key + "\\");
}

RegStatus SimulatedComputer::CreateKey(RegRoot root, std::string_view subKey) {
    std::string spelt;
    const std::string key = WriteKeyOf(root, subKey, &spelt);
    if (key.empty()) return InvalidHandle;
    bool made = false;
    // Every level below the root that is missing, each spelt as given here.
    for (size_t end = spelt.find('\\'); end != std::string::npos;) {
        const size_t next = spelt.find('\\', end + 1);
        const std::string level = spelt.substr(0, next == std::string::npos ? spelt.size() : next);
        if (!keys_.count(FoldName(level))) {
            keys_[FoldName(level)].path = level;
            made = true;
        }
        end = next;
    }
    if (made) Record("key", spelt);
    return 0;
}

RegStatus SimulatedComputer::SetValue(RegRoot root, std::string_view subKey, std::string_view name,
                                      std::string_view value, int type) {
    const std::string key = WriteKeyOf(root, subKey, nullptr);
    if (key.empty()) return InvalidHandle;
    auto it = keys_.find(key);
    if (it == keys_.end()) return static_cast<RegStatus>(SystemError::FileNotFound);
    RegValue stored{std::string(name), type, std::string(value)};
    if (type == 4) {
        const std::optional<int32_t> number = RoundToInt32(::ReadNumber(value));
        if (!number) return 0;
        stored.data.clear();
        for (int i = 0; i < 4; ++i)
            stored.data += static_cast<char>((static_cast<uint32_t>(*number) >> (8 * i)) & 0xFF);
        Record("number", it->second.path, stored.name, std::to_string(*number));
    } else if (type == 1) {
        Record("value", it->second.path, stored.name, stored.data);
    } else {
        return 0;
    }
    it->second.values[FoldName(name)] = std::move(stored);
    return 0;
}

RegStatus SimulatedComputer::DeleteKey(RegRoot root, std::string_view subKey) {
    if (NamesNoKey(root, subKey)) return static_cast<RegStatus>(SystemError::FileNotFound);
    const std::string key = ReadKeyOf(root, subKey);
    if (key.empty()) return InvalidHandle;
    auto it = keys_.find(key);
    if (it == keys_.end()) return static_cast<RegStatus>(SystemError::FileNotFound);
    Record("delete-key", it->second.path);
    const std::string below = key + "\\";
    for (auto child = keys_.lower_bound(below); child != keys_.end() && child->first.starts_with(below);)
        child = keys_.erase(child);
    keys_.erase(key);
    deletedKeys_.insert(key);
    return 0;
}

RegStatus SimulatedComputer::DeleteValue(RegRoot root, std::string_view subKey, std::string_view name) {
    if (NamesNoKey(root, subKey)) return static_cast<RegStatus>(SystemError::FileNotFound);
    const std::string key = ReadKeyOf(root, subKey);
    if (key.empty()) return InvalidHandle;
    auto it = keys_.find(key);
    if (it == keys_.end() || !it->second.values.erase(FoldName(name)))
        return static_cast<RegStatus>(SystemError::FileNotFound);
    Record("delete-value", it->second.path, std::string(name));
    return 0;
}

bool SimulatedComputer::KeyIsEmpty(RegRoot root, std::string_view subKey) {
    const std::string key = ReadKeyOf(root, subKey);
    auto it = keys_.find(key);
    if (it == keys_.end()) {
        if (options_.registryFallback && !key.empty() && !KeyDeleted(key))
            return options_.registryFallback->KeyIsEmpty(root, subKey);
        return false;
    }
    if (root == RegHKeyClassesRoot) {
        const std::string clean = CleanSubKey(subKey);
        if (HasSubKeys(KeyOf(RegHKeyCurrentUser, "Software\\Classes\\" + clean)) ||
            HasSubKeys(KeyOf(RegHKeyLocalMachine, "SOFTWARE\\Classes\\" + clean)))
            return false;
    }
    return it->second.values.empty() && !HasSubKeys(key);
}

std::string SimulatedComputer::ReadString(RegRoot root, std::string_view subKey, std::string_view name) {
    const std::string key = ReadKeyOf(root, subKey);
    auto it = keys_.find(key);
    if (it == keys_.end()) {
        if (options_.registryFallback && !key.empty() && !KeyDeleted(key))
            return options_.registryFallback->ReadString(root, subKey, name);
        return "";
    }
    std::string buffer(255, ' ');
    auto value = it->second.values.find(FoldName(name));
    if (value != it->second.values.end()) {
        std::string data = value->second.data;
        if (value->second.type == 1) data += '\0';
        if (data.size() > buffer.size()) return "";
        buffer.replace(0, data.size(), data);
    }
    const size_t first = buffer.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    const std::string text = buffer.substr(first, buffer.find_last_not_of(' ') - first + 1);
    return text.substr(0, text.find('\0'));
}

std::optional<uint32_t> SimulatedComputer::ReadNumber(RegRoot root, std::string_view subKey,
                                                      std::string_view name) {
    auto it = keys_.find(ReadKeyOf(root, subKey));
    if (it == keys_.end()) return std::nullopt;
    auto value = it->second.values.find(FoldName(name));
    if (value == it->second.values.end() || value->second.type != 4) return std::nullopt;
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value->second.data[i]);
    return number;
}

std::vector<std::string> SimulatedComputer::RegistryDump() const {
    std::vector<std::string> lines;
    for (const auto& [folded, key] : keys_) {
        lines.push_back(key.path);
        for (const auto& [valueKey, value] : key.values) {
            std::string shown = value.data;
            if (value.type == 4) {
                uint32_t number = 0;
                for (int i = 3; i >= 0; --i)
                    number = (number << 8) | static_cast<unsigned char>(value.data[i]);
                shown = "#" + std::to_string(number);
            }
            lines.push_back("  " + (value.name.empty() ? std::string("@") : value.name) + " = " + shown);
        }
    }
    return lines;
}
