// A SetupUi for tests: answers each question from a queue (OK or Yes when it is empty)
// and keeps what the program showed and started.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "engine/setup_ui.h"

class RecordingUi final : public SetupUi {
  public:
    struct Message {
        std::string text;
        unsigned flags;
        std::string title;
    };
    std::vector<Message> messages;
    std::vector<std::string> progress; // the action texts, in order
    std::vector<std::string> started;  // command lines
    std::deque<int> answers;

    int Ask(const std::string& text, unsigned flags, const std::string& title) override {
        messages.push_back({text, flags, title});
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (flags & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    void ShowProgress(int, int, const std::string& text) override { progress.push_back(text); }
    bool StartProgram(const std::string& commandLine) override {
        started.push_back(commandLine);
        return true;
    }
};
