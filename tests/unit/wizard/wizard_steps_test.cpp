// The wizard's screens without windows: the roads forward and back, what each screen
// shows and runs, and what Cancel and Next do where.
#include <gtest/gtest.h>

#include <vector>

#include "wizard/wizard_steps.h"

namespace {

using W = WizardWork;
const WizardScript kBoth{true, true};

// One button press: the visits from step until a screen waits for the user or the program ends.
std::vector<WizardVisit> Press(WizardSteps& steps, int16_t step, const WizardScript& script = kBoth) {
    std::vector<WizardVisit> visits;
    for (int guard = 0; guard < 20; ++guard) {
        visits.push_back(steps.Move(step, script));
        if (visits.back().ends || visits.back().passOn == 0) return visits;
        step = visits.back().passOn;
    }
    ADD_FAILURE() << "the steps never come to rest";
    return visits;
}

std::vector<int> Screens(const std::vector<WizardVisit>& visits) {
    std::vector<int> screens;
    for (const auto& visit : visits) screens.push_back(visit.screen);
    return screens;
}

std::vector<W> Works(const std::vector<WizardVisit>& visits) {
    std::vector<W> works;
    for (const auto& visit : visits) works.push_back(visit.work);
    return works;
}

TEST(WizardSteps, OneInstallationRunsEveryScreenInOrder) {
    WizardSteps steps;
    auto welcome = Press(steps, 0);
    EXPECT_EQ(Screens(welcome), (std::vector<int>{0}));
    EXPECT_EQ(Works(welcome), (std::vector<W>{W::PrelimActions}));
    auto next = Press(steps, 1);
    EXPECT_EQ(Screens(next), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Works(next), (std::vector<W>{W::License, W::Search, W::None}));
    EXPECT_EQ(Screens(Press(steps, 1)), (std::vector<int>{4}));
    auto finish = Press(steps, 1);
    EXPECT_EQ(Screens(finish), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(Works(finish), (std::vector<W>{W::PassOne, W::PassTwo, W::LastActions}));
    EXPECT_TRUE(finish.back().ends);
    EXPECT_FALSE(finish[0].ends || finish[1].ends);
}

TEST(WizardSteps, ScriptWithoutLicenseOrSearchStillShowsTheSearchScreenForAMoment) {
    WizardSteps steps;
    auto next = Press(steps, 1, {});
    EXPECT_EQ(Screens(next), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Works(next), (std::vector<W>{W::None, W::None, W::None}));
    EXPECT_EQ(next[1].view.panel, 4);
    EXPECT_TRUE(next[1].view.repaint);
    EXPECT_EQ(next[0].view.panel, -1);
}

// Back from the destination skips the search but asks for the license again, and the
// welcome screen runs its preliminary actions again.
TEST(WizardSteps, BackSkipsTheSearchAndShowsTheLicenseAgain) {
    WizardSteps steps(4);
    EXPECT_EQ(Screens(Press(steps, -1)), (std::vector<int>{3}));
    auto back = Press(steps, -1);
    EXPECT_EQ(Screens(back), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(Works(back), (std::vector<W>{W::None, W::License, W::PrelimActions}));
    EXPECT_EQ(back[0].view.panel, -1);
}

TEST(WizardSteps, ChangeFolderShowsTheDestinationAgain) {
    WizardSteps steps(3);
    auto again = Press(steps, 0);
    EXPECT_EQ(Screens(again), (std::vector<int>{3}));
    EXPECT_EQ(again[0].view.panel, 1);
}

TEST(WizardSteps, ScreensShowTheirPanelButtonsAndFocus) {
    struct Expected {
        int16_t screen;
        int panel;
        bool back, next;
        WizardFocus focus;
        const char* nextCaption;
    };
    const Expected table[] = {
        {0, 0, false, true, WizardFocus::Next, "&Next >"},
        {3, 1, true, true, WizardFocus::Next, "&Next >"},
        {4, 5, true, true, WizardFocus::Next, "Finish"},
        {5, 2, false, false, WizardFocus::Cancel, "&Next >"},
        {6, 6, false, false, WizardFocus::Cancel, "&Next >"},
        {7, -1, false, false, WizardFocus::Cancel, "&Next >"},
    };
    for (const Expected& e : table) {
        WizardSteps steps(e.screen);
        const WizardView view = steps.Move(0, kBoth).view;
        SCOPED_TRACE(e.screen);
        EXPECT_EQ(view.panel, e.panel);
        EXPECT_EQ(view.backEnabled, e.back);
        EXPECT_EQ(view.nextEnabled, e.next);
        EXPECT_EQ(view.focus, e.focus);
        EXPECT_EQ(view.nextCaption, e.nextCaption);
        EXPECT_EQ(view.backCaption, "< &Back");
        EXPECT_EQ(view.repaint, e.focus == WizardFocus::Cancel)
            << "busy screens are painted before their work";
    }
    WizardSteps search(1);
    const WizardView view = search.Move(1, kBoth).view;
    EXPECT_EQ(view.focus, WizardFocus::Cancel);
    EXPECT_FALSE(view.backEnabled || view.nextEnabled);
}

TEST(WizardSteps, CancelStopsOnlyTheSearchAndNextChecksOnlyTheDestination) {
    for (int16_t screen = 0; screen <= 7; ++screen) {
        WizardSteps steps(screen);
        EXPECT_EQ(steps.Cancel(), screen == 2 ? WizardCancel::StopSearch : WizardCancel::AskToExit) << screen;
        EXPECT_EQ(steps.NextChecksDestination(), screen == 3) << screen;
    }
}

} // namespace
