// The wizard's screens as a state machine without any window: which screen a step of
// Next (+1), Back (-1) or a repaint (0) reaches, what that screen shows of the wizard's
// frame, what work it runs, and whether it passes the step on. The wizard window carries
// out what a move decides (ShowWizardScreen).
#pragma once
#include <cstdint>
#include <string>

// The screens, numbered as they come. Only welcome, destination and ready wait for the
// user; the others run their work and pass the step on (copying and finalizing always
// forward, closing ends the program).
enum class WizardScreen : int16_t {
    Welcome,
    License,
    Search,
    Destination,
    Ready,
    Copying,
    Finalizing,
    Closing,
};

// The button that gets the focus: the default button (Next or Finish) when it can be used,
// Cancel when it cannot, so that the keyboard always reaches the wizard.
enum class WizardFocus { Unchanged, Next, Cancel };

// What a screen shows of the wizard's frame. Every screen starts from no panel and both
// buttons enabled with their usual captions.
struct WizardView {
    int panel = -1; // the panel (WizScreen) shown; -1: none
    std::string backCaption = "< &Back";
    std::string nextCaption = "&Next >";
    bool backEnabled = true;
    bool nextEnabled = true;
    WizardFocus focus = WizardFocus::Unchanged; // Cancel's focus is given before Next is disabled
    bool repaint = false;                       // the whole wizard is painted before the work runs
};

// The work a screen runs once it is shown.
enum class WizardWork {
    None,
    PrelimActions, // the script's preliminary messages and documents
    License,       // the license reader; a refusal ends the program there
    Search,        // the search for an earlier installation, which Cancel and x stop
    PassOne,       // the first install pass; when it stops, the setup ends as after a cancel
    PassTwo,       // the second install pass
    LastActions,   // the closing actions
};

// What the script decides about the screens.
struct WizardScript {
    bool displayLicense = false;   // DisplayLicense
    bool componentsSearch = false; // ComponentsSearch
};

// One screen reached by a move: what it shows, what it runs, and what comes after the work.
struct WizardVisit {
    int16_t screen = 0;
    WizardView view;
    WizardWork work = WizardWork::None;
    int16_t passOn = 0; // the step passed on after the work; 0: the screen waits for the user
    bool ends = false;  // the program ends after the work
};

// What Cancel (also Esc and a close request of the wizard) does on the current screen.
enum class WizardCancel { StopSearch, AskToExit };

class WizardSteps {
  public:
    explicit WizardSteps(int16_t screen = 0) : screen_(screen) {}
    int16_t Screen() const { return screen_; }
    // Adds step to the screen number and says what the screen reached shows and runs. A
    // screen that passes the step on is followed by another Move with its passOn.
    WizardVisit Move(int16_t step, const WizardScript& script);
    WizardCancel Cancel() const;
    // Next (Finish) leaves the destination screen only for a destination that can hold
    // the Setup folder's files.
    bool NextChecksDestination() const;

  private:
    int16_t screen_;
};
