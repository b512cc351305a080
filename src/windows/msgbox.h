// The program's one message-box function. Message boxes are modal, owned by the active
// window of the program, and titled with the application title unless given a title.
#pragma once
#include <string>

#include "engine/setup_ui.h"

// Shows a message box (MB_* flags) and returns the button pressed (IDOK, IDYES, ...).
int MsgBox(const std::string& text, unsigned flags, const std::string& title = AppTitle);
// The engine's question as a message box: its choices as buttons, its kind as the icon.
Answer AskInMessageBox(const std::string& text, Question question, const std::string& title);

// The exit question of the wizard's Cancel and the main window's close box ("Are you sure
// you want to exit <SetupTitle>?", Yes and No, question icon); true on Yes.
bool AskToExit(const std::string& setupTitle);
