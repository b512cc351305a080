#include "engine/session.h"

#include "script/script.h"
#include "script/values.h"
#include "system/letter_case.h"
#include "system/setup_log.h"

std::string SetupSession::ReadIni(std::string_view key, std::string_view section,
                                  std::string_view folder) const {
    return ::ReadIni(scripts, key, section, folder.empty() ? std::string_view(sourceDir) : folder);
}

bool SetupSession::WriteIni(std::string_view key, std::string_view value, std::string_view section,
                            std::string_view folder) const {
    return ::WriteIni(scripts, key, value, section, folder.empty() ? std::string_view(sourceDir) : folder,
                      "setup.ini", SystemLowerCase);
}

std::string SetupSession::ResolveScriptPath(std::string_view path) const {
    return ::ResolveScriptPath(path, destDir, *folders);
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
