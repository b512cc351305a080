// The registry procedures and the process runner. Every procedure swallows its own
// failures: the callers go on with the next step whatever happened here.
#include "system/regprocs.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "script/values.h"

// The process start-up record is handed to the system as it is laid out by the
// platform headers; these sizes are what CreateProcessA expects in each build.
#if defined(_WIN64)
static_assert(sizeof(STARTUPINFOA) == 104, "64-bit STARTUPINFOA layout");
#else
static_assert(sizeof(STARTUPINFOA) == 68, "32-bit STARTUPINFOA layout");
static_assert(sizeof(HKEY) == 4 && sizeof(DWORD) == 4, "32-bit handle and number sizes");
#endif

namespace {

// A root of 0, or a path of nothing but blanks and backslashes (which would open the root
// itself, whose whole tree must never go), names no key to delete from.
bool NamesNoKey(RegRoot root, std::string_view subKey) {
    return root == 0 || subKey.find_first_not_of(" \\") == std::string_view::npos;
}

// A root number is the signed 32-bit handle value of a predefined key; widening it with
// its sign gives the same handle on 64-bit Windows (HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002 there). 0 stays 0, which every registry call refuses.
HKEY RootKey(RegRoot root) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(root));
}

// Writes one value into an open key: type 1 as a string with its terminating NUL
// counted in the length, type 4 as a 32-bit number. Returns the system's status, or 0
// when nothing was written (any other type).
LONG WriteRegValue(HKEY key, const std::string& valueName, int valueType, std::string_view value) {
    if (valueType == REG_SZ) {
        std::string data(value);
        return RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(data.size() + 1));
    }
    if (valueType == REG_DWORD) {
        // A number that does not fit in 32 bits cannot be converted; nothing is written.
        std::optional<int32_t> number = RoundToInt32(ReadNumber(value));
        if (!number) return 0;
        int32_t data = *number;
        return RegSetValueExA(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data);
    }
    return 0;
}

// Deletes every subkey below `key` (an open handle), deepest first. The system's key
// deletion removes only keys without subkeys, and a removed product's keys must go
// completely; the walk uses only the calls that exist on every Windows version.
void DeleteSubKeys(HKEY key, int depth) {
    if (depth > 512) return; // deeper than the registry allows: stop rather than recurse on
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
        else if (status != ERROR_MORE_DATA)
            break;
    }
    for (const std::string& child : names) {
        HKEY childKey = nullptr;
        if (RegOpenKeyExA(key, child.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | DELETE, &childKey) ==
            ERROR_SUCCESS) {
            DeleteSubKeys(childKey, depth + 1);
            RegCloseKey(childKey);
        }
        RegDeleteKeyA(key, child.c_str());
    }
}

} // namespace

RegStatus CreateRegKey(RegRoot root, std::string_view subKey) {
    try {
        std::string path(subKey);
        HKEY key = nullptr;
        DWORD disposition = 0;
        const LONG status = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, &key, &disposition);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

RegStatus SetRegValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                      std::string_view value, int valueType) {
    try {
        std::string path(subKey);
        std::string name(valueName);
        HKEY key = nullptr;
        // The key is opened, never created: a value for a missing key is simply not written.
        const LONG opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key);
        if (opened != ERROR_SUCCESS) return opened;
        const LONG status = WriteRegValue(key, name, valueType, value);
        RegCloseKey(key);
        return status;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

RegStatus DeleteRegKey(RegRoot root, std::string_view subKey) {
    try {
        if (NamesNoKey(root, subKey)) return ERROR_FILE_NOT_FOUND;
        std::string path(subKey);
        HKEY probe = nullptr;
        const LONG opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &probe);
        if (opened != ERROR_SUCCESS) return opened;
        // The key goes together with everything below it.
        HKEY walk = nullptr;
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | DELETE, &walk) ==
            ERROR_SUCCESS) {
            DeleteSubKeys(walk, 0);
            RegCloseKey(walk);
        }
        const LONG status = RegDeleteKeyA(RootKey(root), path.c_str());
        RegCloseKey(probe);
        return status;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

RegStatus DeleteRegValue(RegRoot root, std::string_view subKey, std::string_view valueName) {
    try {
        if (NamesNoKey(root, subKey)) return ERROR_FILE_NOT_FOUND;
        const std::string path(subKey), name(valueName);
        HKEY key = nullptr;
        const LONG opened = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, &key);
        if (opened != ERROR_SUCCESS) return opened;
        const LONG status = RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
        return status;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

bool RegKeyIsEmpty(RegRoot root, std::string_view subKey) {
    try {
        const std::string path(subKey);
        HKEY key = nullptr;
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return false;
        DWORD subKeys = 0, values = 0;
        const LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                             &values, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return status == ERROR_SUCCESS && subKeys == 0 && values == 0;
    } catch (...) {
        return false;
    }
}

std::string ReadRegString(RegRoot root, std::string_view subKey, std::string_view valueName) {
    try {
        std::string path(subKey);
        std::string name(valueName);
        HKEY key = nullptr;
        if (RegOpenKeyA(RootKey(root), path.c_str(), &key) != ERROR_SUCCESS) return "";
        // A buffer of 255 blanks: a missing value leaves it blank, and the trimming below
        // turns that into the empty text.
        char buffer[255];
        std::memset(buffer, ' ', sizeof buffer);
        DWORD size = sizeof buffer;
        DWORD type = REG_SZ;
        LONG status =
            RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        // A value longer than the buffer leaves the buffer's contents undefined; it reads as
        // the empty text, which every caller takes as "no value".
        if (status == ERROR_MORE_DATA) return "";
        std::string_view text(buffer, sizeof buffer);
        size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return "";
        size_t last = text.find_last_not_of(' ');
        text = text.substr(first, last - first + 1);
        // Blanks before the terminating NUL are kept: the NUL protected them from the trim.
        return std::string(text.substr(0, text.find('\0')));
    } catch (...) {
        return "";
    }
}

void RunAndWait(const std::string& commandLine) {
    try {
        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                            nullptr, &startup, &process))
            return;
        // No time limit: the caller relies on the program having ended when this returns.
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } catch (...) {
    }
}

bool StartProgram(const std::string& commandLine) {
    try {
        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL; // a normal window that gets the focus
        PROCESS_INFORMATION process{};
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        // The started program is independent of the setup: it inherits no handles.
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                            nullptr, &startup, &process))
            return false;
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return true;
    } catch (...) {
        return false;
    }
}
