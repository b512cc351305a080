#include "wizard/input_box.h"

InputBoxForm InputBoxWindow;

void InputBoxForm::CreateControls() {
    SetClientSize(6000, 1800);
    AddControl(Prompt, nullptr, 120, 120, 4440, 1080);
    AddControl(OkButton, nullptr, 4680, 120, 1215, 375, "OK");
    AddControl(CancelButton, nullptr, 4680, 600, 1215, 375, "Cancel");
    AddControl(Answer, nullptr, 120, 1320, 5775, 315);
    OkButton.SetDefault(true);
    OkButton.Click = [this] {
        Accepted = true;
        Unload();
    };
    CancelButton.Click = [this] { Unload(); };
}

void InputBoxForm::OnLoad() {
    Accepted = false;
    MoveTo((ScreenWidthTwips() - Width()) / 2, (ScreenHeightTwips() - Height()) / 3);
}

// The field has the focus whenever the box is active, so that the user can type at once.
bool InputBoxForm::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE && Answer.Handle()) {
        Answer.SetFocus();
        result = 0;
        return true;
    }
    return false;
}

void InputBoxForm::OnEscape() {
    CancelButton.DoClick();
}
void InputBoxForm::OnEnter() {
    OkButton.DoClick();
}

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    try {
        InputBoxWindow.Load();
        InputBoxWindow.SetCaption(title);
        InputBoxWindow.Prompt.SetCaption(prompt);
        InputBoxWindow.Answer.SetCaption(defaultText);
        // The answer is read before the window goes.
        std::string answer;
        InputBoxWindow.OkButton.Click = [&answer] {
            answer = InputBoxWindow.Answer.Caption();
            InputBoxWindow.Accepted = true;
            InputBoxWindow.Unload();
        };
        InputBoxWindow.ShowModal();
        return InputBoxWindow.Accepted ? answer : std::string();
    } catch (...) {
        InputBoxWindow.Unload();
        return {};
    }
}
