// The program's text-input box: a prompt, a field and OK / Cancel, shown modally.
#pragma once
#include <string>

#include "windows/forms/forms.h"

class InputBoxForm : public Form {
  public:
    InputBoxForm() : Form(FormKind::TopLevel) {}
    Label Prompt;
    TextBox Answer;
    Button OkButton;
    Button CancelButton;
    bool Accepted = false;

  protected:
    void CreateControls() override;
    void OnLoad() override;
    void OnEscape() override;
    void OnEnter() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

extern InputBoxForm InputBoxWindow;

// Asks for a text; returns what was typed, or the empty text when the box was cancelled
// or closed.
std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText = {});
