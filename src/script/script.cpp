#include "script/script.h"

#include "script/globals.h"
#include "script/profile_files.h"
#include "script/text.h"

namespace {

std::string ScriptPath(std::string_view folder, std::string_view fileName) {
    // The folder is used as given: callers pass it with its trailing backslash. (A path
    // without any folder is opened in the current folder; the program always has one.)
    return std::string(folder.empty() ? std::string_view(SourceDir) : folder) + std::string(fileName);
}

} // namespace

ProfileFiles& ScriptFiles() {
    // Temporary: one instance for the whole program until the setup session owns it.
    static ProfileFiles files;
    return files;
}

std::string ReadIni(std::string_view key, std::string_view section, std::string_view folder,
                    std::string_view fileName) {
    try {
        return ScriptFiles().Read(ScriptPath(folder, fileName), section, key);
    } catch (...) {
        return {}; // out of memory: the key reads as absent
    }
}

void WriteIni(std::string_view key, std::string_view value, std::string_view section, std::string_view folder,
              std::string_view fileName) {
    try {
        ScriptFiles().Write(ScriptPath(folder, fileName), LowerCase(section), LowerCase(key),
                            LowerCase(value));
    } catch (...) {
        // out of memory: the write is lost, as any failed write is
    }
}

void ForgetIniFile(std::string_view path) {
    ScriptFiles().Forget(path);
}
