#include "wizard/wizard_steps.h"

namespace {
// A screen that runs work while the user waits: Back and Next disabled, Cancel with the
// focus, the whole wizard painted before the work starts.
WizardView Busy(int panel) {
    WizardView view;
    view.panel = panel;
    view.backEnabled = view.nextEnabled = false;
    view.focus = WizardFocus::Cancel;
    view.repaint = true;
    return view;
}
} // namespace

WizardVisit WizardSteps::Move(int16_t step, const WizardScript& script) {
    screen_ = static_cast<int16_t>(screen_ + step);
    WizardVisit visit;
    visit.screen = screen_;
    WizardView& view = visit.view;
    switch (static_cast<WizardScreen>(screen_)) {
    case WizardScreen::Welcome: // shown again on every return to it, with its actions
        view.panel = 0;
        view.backEnabled = false;
        view.focus = WizardFocus::Next;
        visit.work = WizardWork::PrelimActions;
        break;
    case WizardScreen::License: // no panel; the wizard goes on in the direction it was going
        if (script.displayLicense) visit.work = WizardWork::License;
        visit.passOn = step;
        break;
    case WizardScreen::Search: // skipped when moving back
        if (step == -1) {
            visit.passOn = step;
            break;
        }
        // Shown even when no search runs, for a moment.
        view = Busy(4);
        if (script.componentsSearch) visit.work = WizardWork::Search;
        visit.passOn = step;
        break;
    case WizardScreen::Destination:
        view.panel = 1;
        view.focus = WizardFocus::Next;
        break;
    case WizardScreen::Ready:
        view.panel = 5;
        view.nextCaption = "Finish";
        view.focus = WizardFocus::Next;
        break;
    case WizardScreen::Copying:
        view = Busy(2);
        visit.work = WizardWork::PassOne;
        visit.passOn = 1;
        break;
    case WizardScreen::Finalizing:
        view = Busy(6);
        visit.work = WizardWork::PassTwo;
        visit.passOn = 1;
        break;
    case WizardScreen::Closing: // no panel; the program ends after the closing actions
        view = Busy(-1);
        visit.work = WizardWork::LastActions;
        visit.ends = true;
        break;
    default: // no screen: nothing shown
        break;
    }
    return visit;
}

WizardCancel WizardSteps::Cancel() const {
    // While the search runs, Cancel only stops it; the destination keeps its value.
    return screen_ == static_cast<int16_t>(WizardScreen::Search) ? WizardCancel::StopSearch
                                                                 : WizardCancel::AskToExit;
}

bool WizardSteps::NextChecksDestination() const {
    return screen_ == static_cast<int16_t>(WizardScreen::Destination);
}
