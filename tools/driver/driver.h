// Drives the setup program's windows from another process, as a user would (kvdrive, the
// end-to-end tests, the layout check and the benchmark). Every wait has a time limit;
// nothing here can hang a test.
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
std::string TextOf(HWND hwnd);
// Its class and caption, as reports name a window: KvMdiFrame "Acme Setup".
std::string NameOf(HWND hwnd);
inline const auto IsShown = IsWindowVisible; // false for no window
inline const auto IsEnabledWindow = IsWindowEnabled;
RECT ScreenRect(HWND hwnd);
RECT ClientScreenRect(HWND hwnd);

// The visible top-level windows of a process (0: of every process).
std::vector<HWND> TopWindows(DWORD pid);
// A visible top-level window of the process with this exact caption and class ("" = any).
HWND FindTopWindow(DWORD pid, const std::string& caption, const std::string& cls = "");
// The same, also among the windows inside them.
HWND FindWindowOf(DWORD pid, const std::string& caption, const std::string& cls = "");
HWND WaitWindowOf(DWORD pid, const std::string& caption, const std::string& cls = "",
                  int timeoutMs = kDefaultTimeoutMs);
// A descendant of root with this exact text and class ("" = any; "Edit" with text "": the
// first text box).
HWND FindControl(HWND root, const std::string& text, const std::string& cls = "");
std::vector<std::string> ShownTexts(HWND root); // of the visible descendants

// Posted, so that a modal dialog that the click opens never blocks the driver.
void Click(HWND button);
// A real key press into the focus of the window's top level, with `modifier` (VK_MENU for
// Alt+F4) held down meanwhile.
void TypeKey(HWND window, WORD virtualKey, WORD modifier = 0);
void SetText(HWND edit, const std::string& text);
void CloseBox(HWND hwnd);
// A real click of the left mouse button (SendInput) at a point of the screen; it reaches the
// window there even while that window's program does not look at its messages.
void MouseClick(POINT at);
POINT CentreOf(HWND hwnd);
POINT CloseBoxOf(HWND top); // the centre of a top-level window's close box

struct MessageBoxView { // a message box (dialog class #32770) of the process
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
