// The copy screen's progress display: the current action in Text1 and the bar Shape1
// sliding into its box Picture1. Unit tests set a hook to watch it instead.
#include "engine/progress.h"

#include "windows/forms.h"
#include "wizard/wiz_form.h"

namespace {
ProgressHook& Hook() {
    static ProgressHook hook;
    return hook;
}
} // namespace

void SetProgressHook(ProgressHook hook) {
    Hook() = std::move(hook);
}

void ShowProgress(int done, int total, const std::string& text) {
    if (Hook()) {
        Hook()(done, total, text);
        return;
    }
    if (!WizForm.Loaded()) return;
    WizForm.Text1.SetCaption(text);
    // The bar's left edge is minus the share of the work still to do, as a percentage of
    // the box's width. With no total the bar stays where it is.
    if (total != 0) {
        double percent = -(100.0 * (total - done) / total);
        int width = WizForm.Picture1.Width();
        WizForm.Shape1.Move(static_cast<int>(percent * width / 100.0), 0, width, WizForm.Picture1.Height());
    }
    WizForm.Text1.Refresh();
    WizForm.Picture1.Refresh();
    WizForm.Refresh();
}
