#include "engine/session.h"

#include "engine/setup_log.h"
#include "script/values.h"

namespace {

std::string ScriptIn(std::string_view folder) {
    return std::string(folder) + "setup.ini";
}

} // namespace

std::string SetupSession::ReadIni(std::string_view key, std::string_view section,
                                  std::string_view folder) const {
    try {
        return computer->ReadScript(ScriptIn(folder.empty() ? std::string_view(sourceDir) : folder), section,
                                    key);
    } catch (...) {
        return {}; // out of memory: the key reads as absent
    }
}

// Section, key and value are stored in lower case, as the system's code page has it.
bool SetupSession::WriteIni(std::string_view key, std::string_view value, std::string_view section,
                            std::string_view folder) const {
    try {
        return computer->WriteScript(ScriptIn(folder.empty() ? std::string_view(sourceDir) : folder),
                                     computer->LowerCase(section), computer->LowerCase(key),
                                     computer->LowerCase(value));
    } catch (...) {
        return false; // out of memory: the write is lost, as any failed write is
    }
}

std::string SetupSession::ResolveScriptPath(std::string_view path) const {
    return ::ResolveScriptPath(path, destDir, computer->Folders());
}

bool SetupSession::EstablishSetup() const {
    return ReadFlag(ReadIni("EstablishSetup"));
}

void SetupSession::Log(std::string_view line) const {
    if (log) log->Write(line);
}

void SetupSession::LogFailure(std::string_view what, unsigned long systemError) const {
    if (log) log->Failure(what, systemError);
}
