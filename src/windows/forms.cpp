#include "windows/forms.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

const char* const kFormProp = "KvForm";
const char* const kFormClass = "KvForm";
const char* const kFrameClass = "KvMdiFrame";
const char* const kMdiChildClass = "KvMdiChild";
const char* const kPanelClass = "KvPanel";
const char* const kImageClass = "KvImage";
const char* const kShapeClass = "KvShape";

Form* g_main = nullptr;
std::vector<Form*>& AllForms() {
    static std::vector<Form*> forms;
    return forms;
}
WNDPROC g_clientDefault = nullptr;

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// The screen's DPI, asked once: the single place where twips meet pixels.
int Dpi(bool horizontal) {
    static int x = 0, y = 0;
    if (x == 0) {
        HDC dc = GetDC(nullptr);
        x = GetDeviceCaps(dc, LOGPIXELSX);
        y = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        if (x <= 0) x = 96;
        if (y <= 0) y = 96;
    }
    return horizontal ? x : y;
}

// Solid brushes by colour, kept for the whole run (a program uses only a handful).
HBRUSH BrushOf(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto it = brushes.find(colour);
    if (it != brushes.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(colour);
    brushes[colour] = brush;
    return brush;
}

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
    if (msg == WM_ERASEBKGND && g_main) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, BrushOf(g_main->BackColour()));
        return 1;
    }
    return CallWindowProcA(g_clientDefault, hwnd, msg, wp, lp);
}

void RegisterClasses() {
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

// The form that holds a window (the window itself or one of its ancestors).
Form* FormHolding(HWND hwnd) {
    for (HWND h = hwnd; h;) {
        if (Form* form = Form::FromWindow(h)) return form;
        h = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
    }
    return nullptr;
}

} // namespace

// --- Units and colours -------------------------------------------------------------
int TwipsToPixelsX(int twips) {
    return MulDiv(twips, Dpi(true), 1440);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, Dpi(false), 1440);
}
int PixelsToTwipsX(int pixels) {
    return MulDiv(pixels, 1440, Dpi(true));
}
int PixelsToTwipsY(int pixels) {
    return MulDiv(pixels, 1440, Dpi(false));
}
int ScreenWidthTwips() {
    return PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
}
int ScreenHeightTwips() {
    return PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
}

COLORREF OleColourToRgb(int32_t oleColour) {
    auto value = static_cast<uint32_t>(oleColour);
    if (value & 0x80000000u) return GetSysColor(static_cast<int>(value & 0xFFu));
    return static_cast<COLORREF>(value & 0x00FFFFFFu);
}

// --- Pictures ----------------------------------------------------------------------
Picture::~Picture() {
    Clear();
}

void Picture::Clear() {
    if (ole_) ole_->Release();
    if (bitmap_) DeleteObject(bitmap_);
    if (icon_) DestroyIcon(icon_);
    ole_ = nullptr;
    bitmap_ = nullptr;
    icon_ = nullptr;
    width_ = height_ = 0;
}

bool Picture::LoadFile(const std::string& path) {
    Clear();
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    HGLOBAL memory = (size != INVALID_FILE_SIZE && size > 0) ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    bool read = false;
    if (memory) {
        void* data = GlobalLock(memory);
        DWORD got = 0;
        read = data && ReadFile(file, data, size, &got, nullptr) && got == size;
        GlobalUnlock(memory);
    }
    CloseHandle(file);
    IStream* stream = nullptr;
    if (read && SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        static const bool comReady = SUCCEEDED(CoInitialize(nullptr)) || true;
        (void)comReady;
        IPicture* picture = nullptr;
        if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                     reinterpret_cast<void**>(&picture))) &&
            picture) {
            ole_ = picture;
            SHORT type = 0;
            OLE_HANDLE handle = 0;
            BITMAP bm{};
            if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
                SUCCEEDED(picture->get_Handle(&handle)) &&
                GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm)) {
                width_ = bm.bmWidth;
                height_ = std::abs(bm.bmHeight);
            } else {
                OLE_XSIZE_HIMETRIC w = 0;
                OLE_YSIZE_HIMETRIC h = 0;
                picture->get_Width(&w);
                picture->get_Height(&h);
                width_ = MulDiv(w, Dpi(true), 2540);
                height_ = MulDiv(h, Dpi(false), 2540);
            }
        }
        stream->Release();
    } else if (memory) {
        GlobalFree(memory);
    }
    if (!ole_) {
        // Bitmaps load without OLE too.
        bitmap_ =
            static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        BITMAP bm{};
        if (bitmap_ && GetObjectA(bitmap_, sizeof(bm), &bm)) {
            width_ = bm.bmWidth;
            height_ = std::abs(bm.bmHeight);
        }
    }
    if (Empty()) Clear();
    return !Empty();
}

void Picture::SetIcon(HICON icon, int sizePixels) {
    Clear();
    if (!icon) return;
    icon_ = CopyIcon(icon);
    width_ = height_ = sizePixels;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (Empty()) return;
    HBITMAP bitmap = bitmap_;
    if (ole_) {
        SHORT type = 0;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(ole_->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(ole_->get_Handle(&handle))) {
            bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        } else {
            OLE_XSIZE_HIMETRIC w = 0;
            OLE_YSIZE_HIMETRIC h = 0;
            ole_->get_Width(&w);
            ole_->get_Height(&h);
            ole_->Render(dc, x, y, width_, height_, 0, h, w, -h, nullptr);
            return;
        }
    }
    if (bitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, x, y, width_, height_, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else if (icon_) {
        DrawIconEx(dc, x, y, icon_, width_, height_, 0, nullptr, DI_NORMAL);
    }
}

// --- Controls ----------------------------------------------------------------------
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

void ListControl::AfterCreate() {
    for (const auto& item : items_)
        SendMessageA(hwnd_, IsCombo() ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(item.c_str()));
    if (index_ >= 0)
        SendMessageA(hwnd_, IsCombo() ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index_), 0);
}

void ListControl::AddItem(const std::string& item) {
    items_.push_back(item);
    if (hwnd_)
        SendMessageA(hwnd_, IsCombo() ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(item.c_str()));
}

void ListControl::Clear() {
    items_.clear();
    index_ = -1;
    if (hwnd_) SendMessageA(hwnd_, IsCombo() ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int ListControl::ListCount() const {
    return static_cast<int>(items_.size());
}

std::string ListControl::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    return items_[static_cast<size_t>(index)];
}

int ListControl::ListIndex() const {
    if (!hwnd_) return index_;
    auto index = static_cast<int>(SendMessageA(hwnd_, IsCombo() ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
    return index < 0 ? -1 : index;
}

void ListControl::SetListIndex(int index) {
    index_ = (index >= 0 && index < ListCount()) ? index : -1;
    if (hwnd_)
        SendMessageA(hwnd_, IsCombo() ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index_),
                     0); // -1 clears the selection
    if (Click) Click();
}

bool ListBox::HandleCommand(int code) {
    if (code == LBN_SELCHANGE) {
        index_ = ListIndex();
        if (Click) Click();
    } else if (code == LBN_DBLCLK && DblClick) {
        DblClick();
    }
    return true;
}

bool DropDownList::HandleCommand(int code) {
    if (code == CBN_SELCHANGE) {
        index_ = ListIndex();
        if (Click) Click();
    }
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

// --- Forms -------------------------------------------------------------------------
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

void InstallKeyPreview();
bool PressAccessKey(HWND form, char key);

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

// --- Messages ----------------------------------------------------------------------
namespace {
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
} // namespace

namespace {
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
} // namespace

// Alt and a button's underlined letter press that button.
bool PressAccessKey(HWND form, char key) {
    AccessKeySearch search{key, nullptr};
    EnumChildWindows(form, FindAccessKey, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    SendMessageA(search.found, BM_CLICK, 0, 0);
    return true;
}

void InstallKeyPreview() {
    static HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, KeyPreviewHook, nullptr, GetCurrentThreadId());
    (void)hook;
}

void DispatchWindowMessage(MSG& msg) {
    if (!IsWindow(msg.hwnd) && msg.hwnd) return; // the key preview may have closed it
    if (g_main && g_main->ClientArea() && TranslateMDISysAccel(g_main->ClientArea(), &msg)) return;
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
    ExitProcess(0);
}

HourglassPointer::HourglassPointer()
    : previous_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
HourglassPointer::~HourglassPointer() {
    SetCursor(previous_ ? previous_ : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}
