// The form's window: its class and window procedure, position, size and looks.
#include "windows/forms/form.h"

#include "windows/forms/internal.h"
#include "windows/forms/units.h"

using namespace forms_detail;

namespace {

WNDPROC g_clientDefault = nullptr;

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* form = Form::FromWindow(hwnd);
    if (!form && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        char cls[32] = {};
        GetClassNameA(hwnd, cls, sizeof(cls));
        if (lstrcmpiA(cls, kMdiChildClass) == 0)
            form = reinterpret_cast<Form*>(reinterpret_cast<MDICREATESTRUCTA*>(cs->lpCreateParams)->lParam);
        else
            form = static_cast<Form*>(cs->lpCreateParams);
        if (form) SetPropA(hwnd, kFormProp, form);
    }
    if (form) return form->WindowProc(hwnd, msg, wp, lp);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpiA(cls, kMdiChildClass) == 0) return DefMDIChildProcA(hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The MDI client of the main window paints the main window's background colour.
LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* main = MainForm();
    if (msg == WM_ERASEBKGND && main) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, BrushOf(main->BackColour()));
        return 1;
    }
    return CallWindowProcA(g_clientDefault, hwnd, msg, wp, lp);
}

} // namespace

void forms_detail::RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HICON icon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    wc.hIcon = icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.lpfnWndProc = FormProc;
    for (const char* name : {kFormClass, kFrameClass, kMdiChildClass}) {
        wc.lpszClassName = name;
        wc.style = CS_DBLCLKS;
        RegisterClassExA(&wc);
    }
    wc.hIcon = nullptr;
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = ImageProc;
    wc.lpszClassName = kImageClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = ShapeProc;
    wc.lpszClassName = kShapeClass;
    RegisterClassExA(&wc);
}

void Form::Refresh() {
    if (hwnd_)
        RedrawWindow(hwnd_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd_) SetWindowTextA(hwnd_, caption.c_str());
}

void Form::Move(int left, int top, int width, int height) {
    Load();
    if (hwnd_)
        MoveWindow(hwnd_, TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                   TwipsToPixelsY(height), TRUE);
}

void Form::MoveTo(int left, int top) {
    Load();
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
RECT RectInParent(HWND hwnd) {
    RECT rc{};
    if (!hwnd) return rc;
    GetWindowRect(hwnd, &rc);
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
} // namespace

int Form::Left() const {
    return PixelsToTwipsX(RectInParent(hwnd_).left);
}
int Form::Top() const {
    return PixelsToTwipsY(RectInParent(hwnd_).top);
}
int Form::Width() const {
    RECT rc = RectInParent(hwnd_);
    return PixelsToTwipsX(rc.right - rc.left);
}
int Form::Height() const {
    RECT rc = RectInParent(hwnd_);
    return PixelsToTwipsY(rc.bottom - rc.top);
}
int Form::ClientWidth() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return PixelsToTwipsX(rc.right);
}
int Form::ClientHeight() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return PixelsToTwipsY(rc.bottom);
}

void Form::SetClientSize(int width, int height) {
    Load();
    if (!hwnd_) return;
    RECT rc{0, 0, TwipsToPixelsX(width), TwipsToPixelsY(height)};
    AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetBackColour(COLORREF colour) {
    back_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
    if (client_) InvalidateRect(client_, nullptr, TRUE);
}

bool Form::Minimized() const {
    return hwnd_ && IsIconic(hwnd_);
}

void Form::Maximize() {
    Load();
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
}

void Form::SetIcon(HICON icon) {
    Load();
    if (!hwnd_ || !icon) return;
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

LRESULT Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) hwnd_ = hwnd;
    auto fallback = [&]() -> LRESULT {
        switch (kind_) {
        case FormKind::MdiFrame:
            return DefFrameProcA(hwnd, client_, msg, wp, lp);
        case FormKind::MdiChild:
            return DefMDIChildProcA(hwnd, msg, wp, lp);
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
    };
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) return result;
    if (HandleControlMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_CREATE:
        if (kind_ == FormKind::MdiFrame) {
            CLIENTCREATESTRUCT ccs{nullptr, 50000};
            // No scroll bars: the backdrop always covers exactly the inner area.
            client_ = CreateWindowExA(0, "MDICLIENT", nullptr,
                                      WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | MDIS_ALLCHILDSTYLES, 0, 0, 0,
                                      0, hwnd, nullptr, Instance(), &ccs);
            if (client_) {
                WNDPROC old = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(client_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClientProc)));
                if (!g_clientDefault) g_clientDefault = old;
            }
        }
        return fallback();
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) == IDCANCEL) {
            OnEscape();
            return 0;
        }
        if (lp == 0 && LOWORD(wp) == IDOK) {
            OnEnter();
            return 0;
        }
        return fallback();
    case WM_ERASEBKGND:
        if (kind_ == FormKind::MdiFrame) return fallback();
        if (!OnEraseBackground(reinterpret_cast<HDC>(wp))) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, BrushOf(back_));
        }
        return 1;
    case WM_PAINT: {
        if (kind_ == FormKind::MdiFrame) return fallback();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        OnPaint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SIZE: {
        LRESULT r = fallback();
        OnResize();
        return r;
    }
    case WM_CLOSE:
        Close(UnloadMode::User);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_NCDESTROY: {
        LRESULT r = fallback();
        WindowGone();
        return r;
    }
    default:
        return fallback();
    }
}
