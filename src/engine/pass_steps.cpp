#include "engine/pass_steps.h"

#include "script/script.h"
#include "script/values.h"
#include "system/regprocs.h"

namespace {
ProgramStartHook& StartHook() {
    static ProgramStartHook hook;
    return hook;
}
} // namespace

bool ListHasItems(std::string_view countKey) {
    return ReadNumber(ReadIni(countKey)) > 0;
}

int ListCount(std::string_view countKey, std::string_view section) {
    return ReadCount(ReadIni(countKey, section));
}

bool StartIndependentProgram(const std::string& commandLine) {
    if (StartHook()) return StartHook()(commandLine);
    return StartProgram(commandLine);
}

void SetProgramStartHook(ProgramStartHook hook) {
    StartHook() = std::move(hook);
}
