// The program's one message-box function. Message boxes are modal, owned by the active
// window of the program, and titled with the application title unless given a title.
#pragma once
#include <functional>
#include <string>
#include "script/globals.h"

// Shows a message box (MB_* flags) and returns the button pressed (IDOK, IDYES, ...).
int MsgBox(const std::string& text, unsigned flags, const std::string& title = AppTitle);

// Unit tests watch what the user would see: with a hook set, MsgBox calls it instead of
// showing a window and returns its answer.
using MessageBoxHook = std::function<int(const std::string& text, unsigned flags, const std::string& title)>;
void SetMessageBoxHook(MessageBoxHook hook);
