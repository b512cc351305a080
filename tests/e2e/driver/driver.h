// Drives the setup program's windows from another process, as a user would: finds its
// windows and controls, reads their texts and states, clicks, types, answers message
// boxes and closes windows. Every wait has a time limit; nothing here can hang a test.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr int kDefaultTimeoutMs = 10000;

// Polls `condition` until it holds or the time is up; returns the last result.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kDefaultTimeoutMs);

std::string ClassOf(HWND hwnd);
std::string TextOf(HWND hwnd); // as the window itself reports it
bool IsShown(HWND hwnd);
bool IsEnabledWindow(HWND hwnd);
RECT ScreenRect(HWND hwnd); // on the screen, in pixels
RECT ClientScreenRect(HWND hwnd);

// The visible top-level windows of a process (0: of every process).
std::vector<HWND> TopWindows(DWORD pid);
std::vector<HWND> Descendants(HWND root); // depth first
// A visible top-level window of the process with this exact caption and class ("" = any).
HWND FindTopWindow(DWORD pid, const std::string& caption, const std::string& cls = "");
// A window of the process, top-level or inside another, with this caption and class.
HWND FindWindowOf(DWORD pid, const std::string& caption, const std::string& cls = "");
HWND WaitWindowOf(DWORD pid, const std::string& caption, const std::string& cls = "",
                  int timeoutMs = kDefaultTimeoutMs);
// A descendant of root with this exact text and class ("" = any; "Edit" with text "": the
// first text box).
HWND FindControl(HWND root, const std::string& text, const std::string& cls = "");
// The texts of the visible descendants, and a wait for one of them.
std::vector<std::string> ShownTexts(HWND root);
HWND WaitShownText(HWND root, const std::string& text, int timeoutMs = kDefaultTimeoutMs);

// Clicks a button (BM_CLICK, posted: a modal dialog that the click opens never blocks
// the driver, which must then wait for the result).
void Click(HWND button);
// Presses and releases a key as the keyboard does, into the focus of the window's top level.
void TypeKey(HWND window, WORD virtualKey);
// The same with a modifier key held down meanwhile (VK_MENU and VK_F4: Alt+F4).
void TypeKeyWith(HWND window, WORD modifier, WORD virtualKey);
void SetText(HWND edit, const std::string& text);
void CloseBox(HWND hwnd);

// A message box (dialog class #32770) of the process.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::string title, text;
    std::vector<std::string> buttons; // captions, as shown ("&Yes", "OK")
    bool hasIcon = false;
};
std::optional<MessageBoxView> FindMessageBox(DWORD pid);
std::optional<MessageBoxView> WaitMessageBox(DWORD pid, int timeoutMs = kDefaultTimeoutMs);
// Presses the button with this caption and waits until the box has gone.
bool AnswerMessageBox(const MessageBoxView& box, const std::string& button);

} // namespace e2e
