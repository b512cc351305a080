#include "engine/pass_steps.h"

#include "script/text.h"
#include "script/values.h"

bool ListHasItems(const SetupSession& s, std::string_view countKey) {
    return ReadNumber(s.ReadIni(countKey)) > 0;
}

int ListCount(const SetupSession& s, std::string_view countKey, std::string_view section) {
    return ReadCount(s.ReadIni(countKey, section));
}

bool IsBlank(std::string_view text) {
    return TrimBlanks(text).empty();
}
