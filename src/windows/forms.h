// The program's small forms layer over the Win32 API: one window per form, created the
// first time it is used and destroyed when it is unloaded, with its controls as named
// members. Positions and sizes are in twips (1440 per inch), converted to pixels with the
// screen's DPI in one place (TwipsToPixelsX/Y).
//
// Writing a form:
//   class ChooserWindow : public Form {
//     public:
//       ChooserWindow() : Form(FormKind::TopLevel) {}
//       Label Label1;  ListBox List1;  Button OkButton;  Panel Box;   // named controls
//     protected:
//       void CreateControls() override {            // called by Load, window already exists
//           SetClientSize(4800, 3600);
//           AddControl(Box, nullptr, 120, 120, 4560, 2400);        // a panel on the form
//           AddControl(Label1, &Box, 0, 0, 4560, 255, "Folders:"); // a label on the panel
//           AddControl(List1, &Box, 0, 300, 4560, 2000);
//           AddControl(OkButton, nullptr, 3480, 3000, 1215, 375, "OK");
//           OkButton.Click = [this] { Unload(); };
//           List1.DblClick = [this] { ... };
//       }
//       void OnLoad() override { SetCaption("..."); }   // the form's load handler
//       bool OnQueryUnload(UnloadMode mode) override;   // false cancels the close
//   };
//   ChooserWindow ChFolderForm;   // one global instance
//   ChFolderForm.ShowModal();     // loads it, disables the other windows, waits until unloaded
//
// Kinds: TopLevel (own window; owned by the main window when that is open), MdiFrame (the
// main window), MdiChild (a window inside the main window, with a caption bar), Child (a
// captionless window inside the main window, such as the backdrop). Loading an MdiChild or
// Child form loads the main window first (set with SetMainForm).
//
// Messages: every loop of the program (the main loop, modal loops, DoEvents) goes through
// DispatchWindowMessage, which does the keyboard navigation (Tab, mnemonics) and
// dispatches. A form with KeyPreview set sees each character typed in it or in one of its
// controls first (OnKeyPress), whichever loop takes the message from the queue.
// EndProgram destroys every window and leaves the process at once, from anywhere.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// --- Units and colours -------------------------------------------------------------
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);
int ScreenWidthTwips();
int ScreenHeightTwips();
// A colour in the OLE convention: 0x00BBGGRR, or with the top bit set a system colour
// index in the low byte (&H8000000F is the button face colour).
COLORREF OleColourToRgb(int32_t oleColour);

// --- Pictures ----------------------------------------------------------------------
// A picture loaded from a file (BMP, JPEG, GIF, ICO, WMF through OLE), or an icon.
class Picture {
  public:
    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    // Loads the file by exactly the name given; false (and an empty picture) on failure.
    bool LoadFile(const std::string& path);
    void SetIcon(HICON icon, int sizePixels);
    void Clear();
    bool Empty() const { return width_ == 0 || height_ == 0; }
    int WidthPixels() const { return width_; }
    int HeightPixels() const { return height_; }
    // Draws the picture at its own size with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;

  private:
    struct IPicture* ole_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    int width_ = 0, height_ = 0;
};

// --- Controls ----------------------------------------------------------------------
class Form;

class Control {
  public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return hwnd_; }
    // Caption of labels, buttons and frames; the text of text boxes.
    std::string Caption() const;
    void SetCaption(const std::string& text);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Position inside the container, in twips.
    void Move(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { Move(left, top_, width_, height_); }
    void SetFont(const std::string& face, int points, bool bold = false, bool italic = false);
    void SetForeColour(COLORREF colour);
    void SetBackColour(COLORREF colour);
    COLORREF BackColour() const { return back_; }
    // Repaints the control now (no message loop needs to run).
    void Refresh();
    void SetFocus();

    // Called by the forms layer.
    virtual bool HandleCommand(int notifyCode);
    HBRUSH HandleColour(HDC dc);
    void Create(Form* form, HWND parent);
    void Destroyed();

  protected:
    virtual const char* WindowClass() const = 0;
    virtual DWORD Style() const { return 0; }
    virtual DWORD ExStyle() const { return 0; }
    virtual void AfterCreate() {}
    virtual bool Transparent() const { return false; }
    virtual bool PaintsOwnBackground() const { return false; }
    void RedrawBehind();

    friend class Form;
    Form* form_ = nullptr;
    Control* container_ = nullptr;
    HWND hwnd_ = nullptr;
    std::string text_;
    bool visible_ = true, enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string fontFace_;
    int fontPoints_ = 0;
    bool fontBold_ = false, fontItalic_ = false;
    HFONT font_ = nullptr;
    bool hasFore_ = false, hasBack_ = false;
    COLORREF fore_ = 0, back_ = 0;
    HBRUSH backBrush_ = nullptr;
    int id_ = 0;
};

// A static text. Transparent labels let what lies below show through (for shadows).
class Label : public Control {
  public:
    void SetTransparent(bool on) { transparent_ = on; }
    void SetAlignment(int ssAlign) { align_ = ssAlign; } // SS_LEFT, SS_CENTER, SS_RIGHT
    std::function<void()> Click;

  protected:
    const char* WindowClass() const override { return "STATIC"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return transparent_ ? WS_EX_TRANSPARENT : 0; }
    bool Transparent() const override { return transparent_; }
    bool HandleCommand(int code) override;
    bool transparent_ = false;
    int align_ = SS_LEFT;
};

class Button : public Control {
  public:
    std::function<void()> Click;
    void SetDefault(bool on) { default_ = on; }
    // Runs the click handler as a user's click would.
    void DoClick() {
        if (Click) Click();
    }

  protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); }
    bool HandleCommand(int code) override;
    bool default_ = false;
};

class TextBox : public Control {
  public:
    void SetMultiLine(bool on) { multiLine_ = on; }
    void SetReadOnly(bool on);
    std::function<void()> Change;

  protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    bool HandleCommand(int code) override;
    bool multiLine_ = false, readOnly_ = false;
};

// The list behaviour shared by list boxes and drop-down lists. Indexes start at 0; -1 is
// no selection.
class ListControl : public Control {
  public:
    void AddItem(const std::string& item);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    std::function<void()> Click;    // selection changed
    std::function<void()> DblClick; // list boxes only

  protected:
    virtual bool IsCombo() const = 0;
    void AfterCreate() override;
    std::vector<std::string> items_;
    int index_ = -1;
};

class ListBox : public ListControl {
  protected:
    const char* WindowClass() const override { return "LISTBOX"; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    bool IsCombo() const override { return false; }
    bool HandleCommand(int code) override;
};

class DropDownList : public ListControl {
  protected:
    const char* WindowClass() const override { return "COMBOBOX"; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }
    bool IsCombo() const override { return true; }
    bool HandleCommand(int code) override;
};

// A picture box used as a panel: a container for other controls, with a background colour
// and an optional sunken border.
class Panel : public Control {
  public:
    void SetBorder(bool on) { border_ = on; }

  protected:
    const char* WindowClass() const override;
    DWORD Style() const override { return WS_CLIPSIBLINGS; }
    DWORD ExStyle() const override { return (border_ ? WS_EX_CLIENTEDGE : 0) | WS_EX_CONTROLPARENT; }
    bool PaintsOwnBackground() const override { return true; }
    bool border_ = false;
};

// A frame: a panel with a group-box border and caption.
class Frame : public Panel {
  protected:
    void AfterCreate() override;
    HWND box_ = nullptr;
};

// An image control: shows a picture at its own size; with AutoSize on (the default) the
// control takes the picture's size.
class ImageBox : public Control {
  public:
    Picture Picture1;
    bool LoadPicture(const std::string& path);
    void SetIcon(HICON icon, int sizePixels);
    void SetAutoSize(bool on) { autoSize_ = on; }
    std::function<void()> Click;

  protected:
    const char* WindowClass() const override;
    DWORD Style() const override { return WS_CLIPSIBLINGS; }
    bool PaintsOwnBackground() const override { return true; }
    void FitPicture();
    bool autoSize_ = true;
};

// A filled rectangle in the back colour: shapes and lines (a line is a shape one pixel high).
class Shape : public Control {
  protected:
    const char* WindowClass() const override;
    DWORD Style() const override { return WS_CLIPSIBLINGS; }
    bool PaintsOwnBackground() const override { return true; }
};

// --- Forms -------------------------------------------------------------------------
enum class FormKind { TopLevel, MdiFrame, MdiChild, Child };
enum class UnloadMode { User = 0, Code = 1, Session = 2 };

class Form {
  public:
    explicit Form(FormKind kind);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool Loaded() const { return hwnd_ != nullptr; }
    // The window; loads the form when it is not loaded yet.
    HWND Handle();
    void Load();
    void Show();
    void Hide();
    // Shows the form and returns when it has been unloaded; the program's other windows
    // are disabled meanwhile.
    void ShowModal();
    // Destroys the window (after OnQueryUnload(Code) agrees); nothing when not loaded.
    void Unload();
    // Repaints the form and its controls now.
    void Refresh();

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Outer position and size in twips; for windows inside the main window, relative to
    // its inner area.
    void Move(int left, int top, int width, int height);
    void MoveTo(int left, int top);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    int ClientWidth() const;
    int ClientHeight() const;
    // Sizes the window so that its inner area is width × height twips.
    void SetClientSize(int width, int height);
    void SetBackColour(COLORREF colour);
    COLORREF BackColour() const { return back_; }
    bool Minimized() const;
    void Maximize();
    void SetIcon(HICON icon);
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    bool KeyPreview() const { return keyPreview_; }
    // The MDI client area of a main (MDI frame) window.
    HWND ClientArea() const { return client_; }

    // Called by the forms layer.
    virtual void OnKeyPress(char /*key*/) {}
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void AddToLayer(Control& control);
    static Form* FromWindow(HWND hwnd);
    FormKind Kind() const { return kind_; }

  protected:
    // Creates the controls with AddControl; the window exists already.
    virtual void CreateControls() {}
    // The form's load handler, after its controls exist.
    virtual void OnLoad() {}
    // Asked before the form closes; false cancels the close. Mode User: the close box.
    virtual bool OnQueryUnload(UnloadMode) { return true; }
    virtual void OnUnload() {}
    virtual void OnResize() {}
    // The Esc and Enter keys when no control takes them.
    virtual void OnEscape() {}
    virtual void OnEnter() {}
    // Custom painting after the background (for forms that draw themselves).
    virtual void OnPaint(HDC) {}
    virtual bool OnEraseBackground(HDC) { return false; }
    // Window styles of the form.
    virtual DWORD Style() const;
    virtual DWORD ExStyle() const;
    // Other messages; return true when handled.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    // Adds a control to the form (container nullptr) or to a panel of it; twips.
    void AddControl(Control& control, Control* container, int left, int top, int width, int height,
                    const std::string& caption = {});

  private:
    bool Close(UnloadMode mode);
    void WindowGone();
    FormKind kind_;
    HWND hwnd_ = nullptr;
    HWND client_ = nullptr;
    std::string caption_;
    COLORREF back_;
    HBRUSH backBrush_ = nullptr;
    bool keyPreview_ = false;
    bool unloading_ = false;
    std::vector<Control*> controls_;
    std::vector<HWND> modalDisabled_;
    int nextId_ = 1000;
};

// The main window that MdiChild and Child forms live in, and that owns TopLevel forms.
void SetMainForm(Form* form);
Form* MainForm();

// True while any form is loaded: the program runs until the last window closes.
bool AnyFormLoaded();

// Runs a handler's body so that no exception leaves it: an event handler's failure is
// swallowed, as a failed statement of the program is.
template <class Body> void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// --- Messages ----------------------------------------------------------------------
// Keyboard navigation, translation and dispatch of one message.
void DispatchWindowMessage(MSG& msg);
// Processes the pending messages, then returns.
void DoEvents();
// Runs the message loop until done() is true (checked after every message).
void RunMessageLoop(const std::function<bool()>& done);
// Destroys every window of the program and ends the process at once.
[[noreturn]] void EndProgram();
// Shows the hourglass pointer until the object goes out of scope.
class HourglassPointer {
  public:
    HourglassPointer();
    ~HourglassPointer();

  private:
    HCURSOR previous_;
};
