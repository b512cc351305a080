// Long work (the install passes, the uninstaller, the closing actions) runs on a worker
// thread while the window thread goes on answering the system: a window that does not
// answer for five seconds is marked "Not Responding" and its program offered to be ended,
// which would stop an installation halfway. The user's keys and clicks are dropped
// meanwhile, so nothing the user does changes the work's course; every window and message
// box is still made and used on the window thread only.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "engine/setup_ui.h"

// Runs `work` on a worker thread and returns when it has ended, rethrowing what it threw.
// Meanwhile this thread dispatches the system's messages (painting, timers, calls handed
// over by the worker) and drops the user's keys and clicks. Called on the window thread.
void RunLongWork(const std::function<void()>& work);
// True while long work runs: a close request of a window is dropped then.
bool LongWorkRunning();
// Runs `call` on the window thread and returns once it has run: at once when called there,
// otherwise handed over by a sent message, which the window thread takes in any loop it
// waits in (its own, a message box's).
void OnWindowThread(const std::function<void()>& call);
// Hands `call` over to the window thread without waiting for it; it runs there at the
// latest before RunLongWork returns.
void PostToWindowThread(std::function<void()> call);

// The SetupUi of long work: hands every call of the window's own SetupUi over to the
// window thread. A question waits for the user's answer as ever. Progress is paced here, at
// most one picture a tenth of a second, without holding up the work more than it must: a
// state is shown at once (the worker waits until it is painted) when it ends a list or the
// last picture is older than the pace, so a file's name shows before its copy; a state that
// comes sooner waits here, and the window thread paints the latest one when the pace allows,
// woken once for it rather than once a state.
class WindowThreadUi final : public SetupUi {
  public:
    explicit WindowThreadUi(SetupUi& windowUi) : ui_(windowUi) {}
    // Shows what still waits (on the window thread, after the work).
    ~WindowThreadUi() override;
    WindowThreadUi(const WindowThreadUi&) = delete;
    WindowThreadUi& operator=(const WindowThreadUi&) = delete;

    Answer Ask(const std::string& text, Question question, const std::string& title) override;
    void ShowProgress(int done, int total, const std::string& text) override;
    // Starting a program opens no window of ours: it runs on the calling thread, so that a
    // slow start holds up only the work.
    bool StartProgram(const std::string& commandLine) override { return ui_.StartProgram(commandLine); }

    // Ten pictures a second: a bar that moves smoothly and a name that can be read. Each
    // picture costs Wine a few milliseconds, more than the copy of a small file.
    static constexpr DWORD kPaceMs = 100;

  private:
    struct Progress {
        int done = 0, total = 0;
        std::string text;
    };
    void Paint(int done, int total, const std::string& text); // window thread
    void ShowWaitingState();                                  // window thread
    void ShowWaitingStateWhenDue();                           // window thread
    static void CALLBACK PaintWhenDue(HWND, UINT, UINT_PTR self, DWORD);

    SetupUi& ui_;
    std::atomic<DWORD> lastPaint_{0}; // written by the window thread, read by the worker
    std::atomic<bool> paintedOnce_{false};
    SRWLOCK waitingLock_ = SRWLOCK_INIT; // the system's lock: the C++ one brings a threads library
    std::optional<Progress> waiting_;    // the latest state not painted yet
    bool handOverPending_ = false;       // the window thread has been told of waiting_
    bool timerSet_ = false;              // window thread: PaintWhenDue will run
};
