// The form's life cycle: loading, showing, modal showing, closing and unloading.
#include "windows/forms/form.h"

#include <algorithm>

#include "windows/forms/controls.h"
#include "windows/forms/internal.h"
#include "windows/forms/messages.h"
#include "windows/forms/units.h"

using namespace forms_detail;

namespace {
Form* g_main = nullptr;
} // namespace

std::vector<Form*>& forms_detail::AllForms() {
    static std::vector<Form*> forms;
    return forms;
}

Form::Form(FormKind kind) : kind_(kind), back_(GetSysColor(COLOR_BTNFACE)) {
    AllForms().push_back(this);
}

Form::~Form() {
    auto& forms = AllForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

Form* Form::FromWindow(HWND hwnd) {
    return hwnd ? static_cast<Form*>(GetPropA(hwnd, kFormProp)) : nullptr;
}

HWND Form::Handle() {
    Load();
    return hwnd_;
}

DWORD Form::Style() const {
    switch (kind_) {
    case FormKind::MdiFrame:
        return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    case FormKind::MdiChild:
        return WS_CHILD | WS_CAPTION | WS_CLIPSIBLINGS;
    case FormKind::Child:
        return WS_CHILD | WS_CLIPSIBLINGS;
    default:
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
    }
}

DWORD Form::ExStyle() const {
    switch (kind_) {
    case FormKind::TopLevel:
        return WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    case FormKind::MdiFrame:
        return 0;
    default:
        return WS_EX_CONTROLPARENT;
    }
}

void Form::Load() {
    if (hwnd_) return;
    RegisterClasses();
    InstallKeyPreview();
    const int width = TwipsToPixelsX(4800), height = TwipsToPixelsY(3600);
    switch (kind_) {
    case FormKind::MdiFrame:
        CreateWindowExA(ExStyle(), kFrameClass, caption_.c_str(), Style(), CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, Instance(), this);
        break;
    case FormKind::MdiChild: {
        // Windows inside the main window open the main window first.
        if (!g_main) return;
        g_main->Load();
        if (!g_main->client_) return;
        if (!IsWindowVisible(g_main->hwnd_)) ShowWindow(g_main->hwnd_, SW_SHOW);
        MDICREATESTRUCTA mcs{};
        mcs.szClass = kMdiChildClass;
        mcs.szTitle = caption_.c_str();
        mcs.hOwner = Instance();
        mcs.x = mcs.y = 0;
        mcs.cx = width;
        mcs.cy = height;
        mcs.style = Style();
        mcs.lParam = reinterpret_cast<LPARAM>(this);
        SendMessageA(g_main->client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs));
        SetWindowLongA(hwnd_, GWL_EXSTYLE, GetWindowLongA(hwnd_, GWL_EXSTYLE) | static_cast<LONG>(ExStyle()));
        break;
    }
    case FormKind::Child:
        if (!g_main) return;
        g_main->Load();
        if (!g_main->client_) return;
        if (!IsWindowVisible(g_main->hwnd_)) ShowWindow(g_main->hwnd_, SW_SHOW);
        CreateWindowExA(ExStyle(), kFormClass, caption_.c_str(), Style(), 0, 0, width, height,
                        g_main->client_, nullptr, Instance(), this);
        break;
    case FormKind::TopLevel: {
        HWND owner = (g_main && g_main != this && g_main->hwnd_) ? g_main->hwnd_ : nullptr;
        CreateWindowExA(ExStyle(), kFormClass, caption_.c_str(), Style(), CW_USEDEFAULT, CW_USEDEFAULT, width,
                        height, owner, nullptr, Instance(), this);
        break;
    }
    }
    if (!hwnd_) return;
    nextId_ = 1000;
    CreateControls();
    OnLoad();
}

void Form::AddControl(Control& control, Control* container, int left, int top, int width, int height,
                      const std::string& caption) {
    control.container_ = container;
    control.left_ = left;
    control.top_ = top;
    control.width_ = width;
    control.height_ = height;
    control.text_ = caption;
    control.visible_ = true;
    control.enabled_ = true;
    control.id_ = nextId_++;
    if (!control.hasBack_) control.back_ = container ? container->back_ : back_;
    controls_.push_back(&control);
    HWND parent = container ? container->hwnd_ : (kind_ == FormKind::MdiFrame ? client_ : hwnd_);
    control.Create(this, parent);
}

void Form::AddToLayer(Control& control) {
    controls_.push_back(&control);
}

void Form::Show() {
    Load();
    if (!hwnd_) return;
    switch (kind_) {
    case FormKind::MdiChild:
        ShowWindow(hwnd_, SW_SHOW);
        SendMessageA(GetParent(hwnd_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd_), 0);
        break;
    case FormKind::Child:
        // New child windows start at the bottom of their siblings; a shown one comes up
        // (the backdrop keeps itself at the bottom).
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        break;
    default:
        if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        break;
    }
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

namespace {
struct ModalWalk {
    HWND modal;
    std::vector<HWND>* disabled;
};
// Disables the program's other enabled, visible windows while a modal form shows.
BOOL CALLBACK DisableForModal(HWND hwnd, LPARAM lp) {
    auto* walk = reinterpret_cast<ModalWalk*>(lp);
    if (hwnd != walk->modal && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        walk->disabled->push_back(hwnd);
    }
    return TRUE;
}
} // namespace

void Form::ShowModal() {
    Load();
    if (!hwnd_) return;
    HWND me = hwnd_;
    std::vector<HWND> disabled;
    ModalWalk walk{me, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableForModal, reinterpret_cast<LPARAM>(&walk));
    modalDisabled_ = disabled;
    Show();
    RunMessageLoop([this, me] { return hwnd_ != me; });
    // Normally enabled again by Close, before the window went away.
    for (HWND hwnd : disabled)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    modalDisabled_.clear();
}

void Form::Unload() {
    if (hwnd_) Close(UnloadMode::Code);
}

bool Form::Close(UnloadMode mode) {
    if (!hwnd_ || unloading_) return false;
    if (!OnQueryUnload(mode)) return false;
    if (!hwnd_) return true; // the handler unloaded it already
    unloading_ = true;
    OnUnload();
    // Enable the windows that a modal form disabled before it goes, so that the
    // window below it becomes the active one again.
    for (HWND hwnd : modalDisabled_)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    modalDisabled_.clear();
    if (!hwnd_) return true;
    if (kind_ == FormKind::MdiChild)
        SendMessageA(GetParent(hwnd_), WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd_), 0);
    else
        DestroyWindow(hwnd_);
    if (hwnd_) WindowGone(); // the window could not be destroyed: forget it anyway
    return true;
}

void Form::WindowGone() {
    if (hwnd_) RemovePropA(hwnd_, kFormProp);
    for (Control* control : controls_) control->Destroyed();
    controls_.clear();
    hwnd_ = nullptr;
    client_ = nullptr;
    unloading_ = false;
}

void SetMainForm(Form* form) {
    g_main = form;
}

bool AnyFormLoaded() {
    for (Form* form : AllForms())
        if (form->Loaded()) return true;
    return false;
}
Form* MainForm() {
    return g_main;
}
