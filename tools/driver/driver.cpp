#include "driver/driver.h"

#include <chrono>
#include <thread>

namespace e2e {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(40)))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

std::string ClassOf(HWND hwnd) {
    char name[128] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND hwnd) {
    // Static controls and buttons keep their text in the window itself, which can be read
    // even while the program is busy; text boxes are asked, with a time limit.
    char text[4096] = {};
    DWORD_PTR got = 0;
    if (_stricmp(ClassOf(hwnd).c_str(), "Edit") != 0) return GetWindowTextA(hwnd, text, sizeof(text)), text;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &got);
    return std::string(text, got);
}

std::string NameOf(HWND hwnd) {
    return ClassOf(hwnd) + " \"" + TextOf(hwnd) + "\"";
}

RECT ScreenRect(HWND hwnd) {
    RECT rc{};
    return GetWindowRect(hwnd, &rc), rc;
}
RECT ClientScreenRect(HWND hwnd) {
    RECT rc{};
    return GetClientRect(hwnd, &rc), MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2), rc;
}

std::vector<HWND> TopWindows(DWORD pid) {
    std::vector<HWND> found;
    for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if ((owner == pid || !pid) && IsWindowVisible(hwnd)) found.push_back(hwnd);
    }
    return found;
}

namespace {
std::vector<HWND> Descendants(HWND root) { // depth first
    std::vector<HWND> found;
    for (HWND child = GetWindow(root, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        found.push_back(child);
        for (HWND inner : Descendants(child)) found.push_back(inner);
    }
    return found;
}
bool Matches(HWND hwnd, const std::string& caption, const std::string& cls) {
    return (cls.empty() || ClassOf(hwnd) == cls) && TextOf(hwnd) == caption;
}
} // namespace

HWND FindTopWindow(DWORD pid, const std::string& caption, const std::string& cls) {
    for (HWND hwnd : TopWindows(pid))
        if (Matches(hwnd, caption, cls)) return hwnd;
    return nullptr;
}

HWND FindWindowOf(DWORD pid, const std::string& caption, const std::string& cls) {
    for (HWND top : TopWindows(pid)) {
        if (Matches(top, caption, cls)) return top;
        if (HWND inner = FindControl(top, caption, cls)) return inner;
    }
    return nullptr;
}

HWND WaitWindowOf(DWORD pid, const std::string& caption, const std::string& cls, int timeoutMs) {
    HWND found = nullptr;
    return WaitFor([&] { return IsShown(found = FindWindowOf(pid, caption, cls)); }, timeoutMs) ? found
                                                                                                : nullptr;
}

HWND FindControl(HWND root, const std::string& text, const std::string& cls) {
    const bool anyEdit = cls == "Edit" && text.empty();
    for (HWND hwnd : Descendants(root))
        if (anyEdit ? _stricmp(ClassOf(hwnd).c_str(), "Edit") == 0 : Matches(hwnd, text, cls)) return hwnd;
    return nullptr;
}

std::vector<std::string> ShownTexts(HWND root) {
    std::vector<std::string> texts;
    for (HWND hwnd : Descendants(root))
        if (IsShown(hwnd) && !TextOf(hwnd).empty()) texts.push_back(TextOf(hwnd));
    return texts;
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void TypeKey(HWND window, WORD virtualKey, WORD modifier) {
    HWND top = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(top);
    WaitFor([&] { return GetForegroundWindow() == top; }, 2000);
    std::vector<INPUT> keys;
    const std::pair<WORD, DWORD> strokes[] = {
        {modifier, 0}, {virtualKey, 0}, {virtualKey, KEYEVENTF_KEYUP}, {modifier, KEYEVENTF_KEYUP}};
    for (const auto& [vk, flags] : strokes)
        if (vk) keys.push_back({.type = INPUT_KEYBOARD, .ki = {vk, 0, flags, 0, 0}});
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void SetText(HWND edit, const std::string& text) {
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

void CloseBox(HWND hwnd) {
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void MouseClick(POINT at) {
    // Absolute positions run from 0 to 65535 across the screen.
    const LONG x = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
               y = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT clicks[3] = {};
    const DWORD flags[] = {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) clicks[i] = {.type = INPUT_MOUSE, .mi = {x, y, 0, flags[i], 0, 0}};
    SendInput(3, clicks, sizeof(INPUT));
}

POINT CentreOf(HWND hwnd) {
    const RECT rc = ScreenRect(hwnd);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

POINT CloseBoxOf(HWND top) {
    // The rightmost button of the caption, inside the sizing frame.
    const RECT rc = ScreenRect(top);
    return {rc.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
            rc.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

std::optional<MessageBoxView> FindMessageBox(DWORD pid) {
    HWND hwnd = nullptr;
    for (HWND top : TopWindows(pid))
        if (!hwnd && ClassOf(top) == "#32770") hwnd = top;
    if (!hwnd) return std::nullopt;
    // The message is the static control 0xFFFF of the box; its icon is static 0x440.
    MessageBoxView view{hwnd, TextOf(hwnd), TextOf(GetDlgItem(hwnd, 0xFFFF)), {}, false};
    HWND icon = GetDlgItem(hwnd, 0x440);
    view.hasIcon = IsShown(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    for (HWND child : Descendants(hwnd))
        if (ClassOf(child) == "Button" && IsShown(child)) view.buttons.push_back(TextOf(child));
    return view;
}

std::optional<MessageBoxView> WaitMessageBox(DWORD pid, int timeoutMs) {
    // A box is complete once its buttons are there.
    std::optional<MessageBoxView> box;
    WaitFor([&] { return (box = FindMessageBox(pid)) && !box->buttons.empty(); }, timeoutMs);
    return box;
}

bool AnswerMessageBox(const MessageBoxView& box, const std::string& button) {
    HWND hwnd = FindControl(box.hwnd, button, "Button");
    if (hwnd) Click(hwnd);
    return hwnd && WaitFor([&] { return !IsShown(box.hwnd); });
}

} // namespace e2e
