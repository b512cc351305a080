// PLACEHOLDER until the wizard's copy screen draws the progress (replaced by the wizard work).
#include "engine/progress.h"

namespace {
ProgressHook& Hook() {
    static ProgressHook hook;
    return hook;
}
} // namespace

void SetProgressHook(ProgressHook hook) { Hook() = std::move(hook); }

void ShowProgress(int done, int total, const std::string& text) {
    if (Hook()) Hook()(done, total, text);
}
