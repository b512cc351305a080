// Helpers for the tests of the reader, the chooser, the actions and the search: a script
// in a scratch setup folder, and a helper thread that answers a modal window the way a
// user would while the test's own thread waits inside the window's message loop.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "script/globals.h"
#include "system_test_support.h"

namespace kvtest {

// A setup folder C:\kvtest\<name>\ holding setup.ini with `script`; SourceDir points there.
inline std::string SetupFolderWithScript(const std::string& name, const std::string& script) {
    const std::string folder = FreshFolder(name);
    WriteFile(folder + "setup.ini", script);
    SourceDir = folder;
    return folder;
}

// The first window of this process titled `caption` (and of `windowClass` when given),
// waited for up to five seconds.
inline HWND WaitForWindow(const std::string& caption, const char* windowClass = nullptr) {
    for (int i = 0; i < 500; ++i) {
        struct Search {
            std::string caption;
            const char* cls;
            HWND found;
        } search{caption, windowClass, nullptr};
        EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
                char text[512] = {}, cls[128] = {};
                GetWindowTextA(hwnd, text, sizeof text);
                GetClassNameA(hwnd, cls, sizeof cls);
                if (s->caption == text && (!s->cls || std::string(s->cls) == cls)) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

// A child control (at any depth) of `parent` with the given class and text.
inline HWND FindControl(HWND parent, const char* windowClass, const std::string& text) {
    struct Search {
        const char* cls;
        std::string text;
        HWND found;
    } search{windowClass, text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char text[512] = {}, cls[128] = {};
            GetWindowTextA(hwnd, text, sizeof text);
            GetClassNameA(hwnd, cls, sizeof cls);
            if (_stricmp(cls, s->cls) == 0 && s->text == text) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

// Runs `answer` on a helper thread once a window titled `caption` is open. The test's
// thread must then enter the modal loop (the window's own); join the thread afterwards.
class WindowAnswerer {
  public:
    WindowAnswerer(std::string caption, std::function<void(HWND)> answer)
        : thread_([caption = std::move(caption), answer = std::move(answer), this] {
              HWND hwnd = WaitForWindow(caption);
              found = hwnd != nullptr;
              if (hwnd) answer(hwnd);
          }) {}
    ~WindowAnswerer() {
        if (thread_.joinable()) thread_.join();
    }
    void Join() { thread_.join(); }
    bool found = false;

  private:
    std::thread thread_;
};

// Clicks a button as the user would (the click arrives through the message queue).
inline void ClickButton(HWND window, const std::string& caption) {
    HWND button = FindControl(window, "Button", caption);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
}

} // namespace kvtest
