#include "windows/forms/messages.h"

#include "system/exit_code.h"
#include "windows/forms/form.h"
#include "windows/forms/internal.h"

using namespace forms_detail;

namespace {

// The form that holds a window (the window itself or one of its ancestors).
Form* FormHolding(HWND hwnd) {
    for (HWND h = hwnd; h;) {
        if (Form* form = Form::FromWindow(h)) return form;
        h = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
    }
    return nullptr;
}

// Key preview sees every character taken from the queue, whichever loop takes it (ours,
// a message box's, or any other), so a form's OnKeyPress runs before the control's own
// handling wherever the program waits.
LRESULT CALLBACK KeyPreviewHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (msg->message == WM_CHAR) {
            Form* form = FormHolding(msg->hwnd);
            if (form && form->KeyPreview())
                Guarded([&] { form->OnKeyPress(static_cast<char>(msg->wParam)); });
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

struct AccessKeySearch {
    char key;
    HWND found;
};
BOOL CALLBACK FindAccessKey(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<AccessKeySearch*>(lp);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Button") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    for (const char* p = text; *p; ++p) {
        if (p[0] == '&' && p[1] == '&') {
            ++p;
        } else if (p[0] == '&' && p[1] &&
                   CharLowerA(
                       reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(p[1])))) ==
                       CharLowerA(reinterpret_cast<LPSTR>(
                           static_cast<UINT_PTR>(static_cast<unsigned char>(search->key))))) {
            search->found = hwnd;
            return FALSE;
        }
    }
    return TRUE;
}

// Alt and a button's underlined letter press that button.
bool PressAccessKey(HWND form, char key) {
    AccessKeySearch search{key, nullptr};
    EnumChildWindows(form, FindAccessKey, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    SendMessageA(search.found, BM_CLICK, 0, 0);
    return true;
}

} // namespace

void forms_detail::InstallKeyPreview() {
    static HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, KeyPreviewHook, nullptr, GetCurrentThreadId());
    (void)hook;
}

void DispatchWindowMessage(MSG& msg) {
    if (!IsWindow(msg.hwnd) && msg.hwnd) return; // the key preview may have closed it
    Form* main = MainForm();
    if (main && main->ClientArea() && TranslateMDISysAccel(main->ClientArea(), &msg)) return;
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        // Tab, the arrow keys, Enter and Esc move between and press the controls of the form
        // in front. Characters are not given to the dialog manager: its search for a
        // control's access key does not end on controls inside panels.
        Form* form = FormHolding(msg.hwnd);
        if (form && form->Kind() != FormKind::MdiFrame && form->Loaded() &&
            IsDialogMessageA(form->Handle(), &msg))
            return;
    }
    if (msg.message == WM_SYSCHAR) {
        Form* form = FormHolding(msg.hwnd);
        if (form && form->Loaded() && PressAccessKey(form->Handle(), static_cast<char>(msg.wParam))) return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void DoEvents() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchWindowMessage(msg);
    }
}

void RunMessageLoop(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // let the outer loops see it too
            return;
        }
        if (got == -1) return;
        DispatchWindowMessage(msg);
    }
}

void EndProgram() {
    // Top-level windows take their child windows with them.
    for (Form* form : AllForms())
        if (form->Loaded() && (form->Kind() == FormKind::TopLevel || form->Kind() == FormKind::MdiFrame))
            DestroyWindow(form->Handle());
    ExitProcess(ExitCode());
}

HourglassPointer::HourglassPointer()
    : previous_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
HourglassPointer::~HourglassPointer() {
    SetCursor(previous_ ? previous_ : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}
