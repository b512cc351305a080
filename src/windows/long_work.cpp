#include "windows/long_work.h"

#include <exception>
#include <memory>
#include <utility>

#include "windows/forms/messages.h"

namespace {

// Messages of the window that takes the worker's calls.
constexpr UINT kRunSentCall = WM_APP + 40;   // lParam: a Call, the worker waits
constexpr UINT kRunPostedCall = WM_APP + 41; // lParam: a std::function<void()> to delete

// A call made on another thread than its caller's: what it throws is kept for the caller,
// since an exception must not pass through the system's code between them.
struct Call {
    const std::function<void()>* body;
    std::exception_ptr error;
    void Run() noexcept {
        try {
            (*body)();
        } catch (...) {
            error = std::current_exception();
        }
    }
    void RethrowForCaller() const {
        if (error) std::rethrow_exception(error);
    }
};

bool running = false;
DWORD windowThread = 0;
HWND callWindow = nullptr;

void RunPosted(LPARAM lp) {
    std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lp));
    Guarded(*call);
}

LRESULT CALLBACK CallWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRunSentCall) {
        reinterpret_cast<Call*>(lp)->Run();
        return 0;
    }
    if (msg == kRunPostedCall) {
        RunPosted(lp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A message-only window of the window thread: calls reach it in quiet mode too, where the
// program shows no window.
HWND CallWindow() {
    if (callWindow) return callWindow;
    WNDCLASSA cls{};
    cls.lpfnWndProc = CallWindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "KavexInstallCalls";
    RegisterClassA(&cls);
    callWindow = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 cls.hInstance, nullptr);
    windowThread = GetCurrentThreadId();
    return callWindow;
}

// The user's own input: keys and mouse buttons, in the windows' inner areas and on their
// frames (the close box, the window menu). Pointer moves stay, so that the pointer is
// drawn as over any window.
bool IsUsersInput(UINT msg) {
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return true;
    if (msg > WM_MOUSEMOVE && msg <= WM_MOUSELAST) return true;
    return msg > WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK;
}

// Holds a lock for its lifetime.
class Locked {
  public:
    explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Locked() { ReleaseSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    SRWLOCK& lock_;
};

DWORD WINAPI RunWork(void* work) {
    // The shell's calls (shortcuts, documents) need the thread's COM apartment.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    static_cast<Call*>(work)->Run();
    if (com) CoUninitialize();
    return 0;
}

} // namespace

bool LongWorkRunning() {
    return running;
}

void OnWindowThread(const std::function<void()>& call) {
    if (!callWindow || GetCurrentThreadId() == windowThread) {
        call();
        return;
    }
    Call sent{&call, nullptr};
    SendMessageA(callWindow, kRunSentCall, 0, reinterpret_cast<LPARAM>(&sent));
    sent.RethrowForCaller();
}

void PostToWindowThread(std::function<void()> call) {
    auto* posted = new std::function<void()>(std::move(call));
    if (!callWindow || !PostMessageA(callWindow, kRunPostedCall, 0, reinterpret_cast<LPARAM>(posted)))
        RunPosted(reinterpret_cast<LPARAM>(posted)); // no window thread waits: run it here
}

void RunLongWork(const std::function<void()>& work) {
    CallWindow();
    Call worker{&work, nullptr};
    HANDLE thread = CreateThread(nullptr, 0, RunWork, &worker, 0, nullptr);
    if (!thread) {
        work(); // no thread to be had: the work runs here, as a program without one would
        return;
    }
    running = true;
    std::optional<int> quit;
    for (;;) {
        // Wakes for the worker's end, any message and any call the worker sends.
        if (MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
            WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = static_cast<int>(msg.wParam);
            else if (!IsUsersInput(msg.message))
                DispatchWindowMessage(msg);
        }
    }
    CloseHandle(thread);
    running = false;
    // Keys and clicks that came in the last moment go the way of the others.
    MSG msg;
    for (auto [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST},
                               {WM_LBUTTONDOWN, WM_MOUSELAST},
                               {WM_NCLBUTTONDOWN, WM_NCXBUTTONDBLCLK}})
        while (PeekMessageA(&msg, nullptr, first, last, PM_REMOVE)) {
        }
    // What the worker handed over last is shown before the window thread goes on.
    while (PeekMessageA(&msg, callWindow, kRunPostedCall, kRunPostedCall, PM_REMOVE)) RunPosted(msg.lParam);
    if (quit) PostQuitMessage(*quit);
    worker.RethrowForCaller();
}

WindowThreadUi::~WindowThreadUi() {
    if (timerSet_) KillTimer(callWindow, reinterpret_cast<UINT_PTR>(this));
    Guarded([&] { ShowWaitingState(); });
}

Answer WindowThreadUi::Ask(const std::string& text, Question question, const std::string& title) {
    Answer answer = Answer::Ok;
    OnWindowThread([&] {
        // A message about a file shows beside that file's action.
        ShowWaitingState();
        answer = ui_.Ask(text, question, title);
    });
    return answer;
}

void WindowThreadUi::ShowProgress(int done, int total, const std::string& text) {
    // The end of a list is always shown; so is the first state after a pause, before the
    // step it names (the copy of a large file after a quick one, say).
    if (total == 0 || done >= total || !paintedOnce_ || GetTickCount() - lastPaint_ >= kPaceMs) {
        OnWindowThread([&] {
            {
                Locked hold(waitingLock_);
                waiting_.reset(); // older than this one
            }
            Paint(done, total, text);
        });
        return;
    }
    bool tell = false;
    {
        Locked hold(waitingLock_);
        waiting_ = Progress{done, total, text};
        tell = !handOverPending_;
        handOverPending_ = true;
    }
    if (tell) PostToWindowThread([this] { ShowWaitingStateWhenDue(); });
}

void WindowThreadUi::Paint(int done, int total, const std::string& text) {
    ui_.ShowProgress(done, total, text);
    lastPaint_ = GetTickCount();
    paintedOnce_ = true;
}

void WindowThreadUi::ShowWaitingState() {
    std::optional<Progress> state;
    {
        Locked hold(waitingLock_);
        state.swap(waiting_);
        handOverPending_ = false;
    }
    if (state) Paint(state->done, state->total, state->text);
}

void WindowThreadUi::ShowWaitingStateWhenDue() {
    const DWORD since = GetTickCount() - lastPaint_;
    if (since >= kPaceMs || !callWindow) {
        ShowWaitingState();
    } else if (!timerSet_) {
        timerSet_ =
            SetTimer(callWindow, reinterpret_cast<UINT_PTR>(this), kPaceMs - since, PaintWhenDue) != 0;
        if (!timerSet_) ShowWaitingState(); // no timer to be had: a picture too many
    }
}

void CALLBACK WindowThreadUi::PaintWhenDue(HWND window, UINT, UINT_PTR self, DWORD) {
    KillTimer(window, self);
    auto* ui = reinterpret_cast<WindowThreadUi*>(self);
    ui->timerSet_ = false;
    Guarded([&] { ui->ShowWaitingState(); });
}
