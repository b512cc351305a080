#include "wizard/wizard_ui.h"

#include <windows.h>

#include <optional>

#include "system/regprocs.h"
#include "windows/long_work.h"
#include "windows/msgbox.h"
#include "wizard/wiz_form.h"

namespace {

// The copy screen is painted at most ten times a second: enough for a bar that moves
// smoothly and a file name that can be read. Each picture costs a few milliseconds;
// painted for every one of ten thousand files it cost more than the copies.
constexpr DWORD PaintIntervalMs = WindowThreadUi::kPaceMs;

struct Progress {
    int done = 0, total = 0;
    std::string text;
};

struct Display {
    bool painted = false;           // the copy screen has been painted once
    DWORD lastPaint = 0;            // when it was painted last
    std::optional<Progress> unseen; // the latest state, not painted yet
    UINT_PTR timer = 0;             // paints the unseen state when its time comes
};
Display display;

// The current action in Text1 and the bar Shape1 sliding into its box Picture1, repainted
// at once: the passes' worker waits for it when a file's name must show before its copy.
void Paint(const Progress& p) {
    WizForm.Text1.SetCaption(p.text);
    // The bar's left edge is minus the share of the work still to do, as a percentage of
    // the box's width. With no total the bar stays where it is.
    if (p.total != 0) {
        const double percent = -(100.0 * (p.total - p.done) / p.total);
        const int width = WizForm.Picture1.Width();
        WizForm.Shape1.Move(static_cast<int>(percent * width / 100.0), 0, width, WizForm.Picture1.Height());
    }
    WizForm.Text1.Refresh();
    WizForm.Picture1.Refresh();
    // The whole wizard once, when the copy screen first shows; after that only what changed.
    if (!display.painted) WizForm.Refresh();
    display.painted = true;
    display.lastPaint = GetTickCount();
}

// A state that came too soon after the last picture is painted by the next call or, when
// none follows soon (a large file's copy, a message), by the timer.
void CALLBACK PaintUnseen(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, display.timer);
    display.timer = 0;
    if (display.unseen && WizForm.Loaded()) Paint(*display.unseen);
    display.unseen.reset();
}

} // namespace

int WizardUi::Ask(const std::string& text, unsigned flags, const std::string& title) {
    // A message about a file shows beside that file's action.
    if (display.unseen) PaintUnseen(nullptr, 0, 0, 0);
    return MsgBox(text, flags, title);
}

void WizardUi::ShowProgress(int done, int total, const std::string& text) {
    if (!WizForm.Loaded()) return;
    // The bar's end, and a display without a bar, are painted at once.
    const bool now = total == 0 || done >= total;
    if (display.painted && !now && GetTickCount() - display.lastPaint < PaintIntervalMs) {
        display.unseen = Progress{done, total, text};
        if (!display.timer) display.timer = SetTimer(nullptr, 0, PaintIntervalMs, PaintUnseen);
        return;
    }
    display.unseen.reset();
    Paint(Progress{done, total, text});
}

bool WizardUi::StartProgram(const std::string& commandLine) {
    return ::StartProgram(commandLine);
}
