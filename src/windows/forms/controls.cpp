#include "windows/forms/controls.h"

#include <algorithm>

#include "windows/forms/form.h"
#include "windows/forms/internal.h"
#include "windows/forms/units.h"

namespace forms_detail {

HFONT MessageFont() {
    static HFONT font = nullptr;
    if (!font) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            font = CreateFontIndirectA(&metrics.lfMessageFont);
        if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return font;
}

Control* ControlOf(HWND hwnd) {
    return hwnd ? reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

// WM_COMMAND and WM_CTLCOLOR* of controls, for forms and panels alike.
bool HandleControlMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (Control* control = ControlOf(reinterpret_cast<HWND>(lp))) {
            control->HandleCommand(HIWORD(wp));
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (Control* control = ControlOf(reinterpret_cast<HWND>(lp))) {
            if (HBRUSH brush = control->HandleColour(reinterpret_cast<HDC>(wp))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (HandleControlMessage(msg, wp, lp, result)) return result;
    if (msg == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        Control* self = ControlOf(hwnd);
        FillRect(reinterpret_cast<HDC>(wp), &rc,
                 BrushOf(self ? self->BackColour() : GetSysColor(COLOR_BTNFACE)));
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<ImageBox*>(ControlOf(hwnd));
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, BrushOf(self ? self->BackColour() : GetSysColor(COLOR_BTNFACE)));
        if (self) self->Picture1.Draw(dc, 0, 0);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONUP:
        if (self && self->Click) self->Click();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK ShapeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        Control* self = ControlOf(hwnd);
        FillRect(reinterpret_cast<HDC>(wp), &rc, BrushOf(self ? self->BackColour() : 0));
        return 1;
    }
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace forms_detail

using namespace forms_detail;

Control::~Control() {
    if (font_) DeleteObject(font_);
}

std::string Control::Caption() const {
    if (!hwnd_) return text_;
    int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

void Control::SetCaption(const std::string& text) {
    text_ = text;
    if (!hwnd_) return;
    SetWindowTextA(hwnd_, text.c_str());
    if (Transparent()) RedrawBehind();
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (hwnd_) {
        ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
        if (Transparent()) RedrawBehind();
    }
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (hwnd_)
        MoveWindow(hwnd_, TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                   TwipsToPixelsY(height), TRUE);
}

void Control::SetFont(const std::string& face, int points, bool bold, bool italic) {
    fontFace_ = face;
    fontPoints_ = points;
    fontBold_ = bold;
    fontItalic_ = italic;
    if (!hwnd_) return;
    HFONT font = CreateFontA(-MulDiv(points, Dpi(false), 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, face.c_str());
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_) DeleteObject(font_);
    font_ = font;
}

void Control::SetForeColour(COLORREF colour) {
    hasFore_ = true;
    fore_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::SetBackColour(COLORREF colour) {
    hasBack_ = true;
    back_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::RedrawBehind() {
    HWND parent = GetParent(hwnd_);
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Control::Refresh() {
    if (!hwnd_) return;
    if (Transparent()) {
        RedrawBehind();
        UpdateWindow(GetParent(hwnd_));
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Control::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

bool Control::HandleCommand(int) {
    return false;
}

HBRUSH Control::HandleColour(HDC dc) {
    if (Transparent()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, hasFore_ ? fore_ : GetSysColor(COLOR_WINDOWTEXT));
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    // Labels take the colour of what they lie on; other controls keep the system's look
    // unless given colours of their own.
    bool label = lstrcmpiA(WindowClass(), "STATIC") == 0;
    if (!label && !hasBack_ && !hasFore_) return nullptr;
    if (hasFore_) SetTextColor(dc, fore_);
    COLORREF back = hasBack_ ? back_ : container_ ? container_->back_ : form_ ? form_->BackColour() : 0;
    if (!label && !hasBack_) back = GetSysColor(COLOR_WINDOW);
    SetBkColor(dc, back);
    return BrushOf(back);
}

void Control::Create(Form* form, HWND parent) {
    form_ = form;
    DWORD style = WS_CHILD | Style() | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    hwnd_ = CreateWindowExA(ExStyle(), WindowClass(), text_.c_str(), style, TwipsToPixelsX(left_),
                            TwipsToPixelsY(top_), TwipsToPixelsX(width_), TwipsToPixelsY(height_), parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), Instance(), nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), FALSE);
    if (!fontFace_.empty()) SetFont(fontFace_, fontPoints_, fontBold_, fontItalic_);
    AfterCreate();
    if (PaintsOwnBackground()) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::Destroyed() {
    hwnd_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

DWORD Label::Style() const {
    return static_cast<DWORD>(align_) | SS_NOTIFY | SS_NOPREFIX;
}

bool Label::HandleCommand(int code) {
    if (code == STN_CLICKED && Click) Click();
    return true;
}

bool Button::HandleCommand(int code) {
    if (code == BN_CLICKED && Click) Click();
    return true;
}

void TextBox::SetReadOnly(bool on) {
    readOnly_ = on;
    if (hwnd_) SendMessageA(hwnd_, EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

DWORD TextBox::Style() const {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (multiLine_) style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
    if (readOnly_) style |= ES_READONLY;
    return style;
}

bool TextBox::HandleCommand(int code) {
    if (code == EN_CHANGE && Change) Change();
    return true;
}

const char* Panel::WindowClass() const {
    return kPanelClass;
}

void Frame::AfterCreate() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    box_ = CreateWindowExA(0, "BUTTON", text_.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0, rc.right,
                           rc.bottom, hwnd_, nullptr, Instance(), nullptr);
    SendMessageA(box_, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), FALSE);
}

const char* ImageBox::WindowClass() const {
    return kImageClass;
}

bool ImageBox::LoadPicture(const std::string& path) {
    bool ok = Picture1.LoadFile(path);
    FitPicture();
    return ok;
}

void ImageBox::SetIcon(HICON icon, int sizePixels) {
    Picture1.SetIcon(icon, sizePixels);
    FitPicture();
}

void ImageBox::FitPicture() {
    if (autoSize_ && !Picture1.Empty())
        Move(left_, top_, PixelsToTwipsX(Picture1.WidthPixels()), PixelsToTwipsY(Picture1.HeightPixels()));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

const char* Shape::WindowClass() const {
    return kShapeClass;
}
