// Forms: one window per form, created when the form is first used and destroyed when it
// is unloaded, with its controls as named members (see forms.h for how to write one).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class Control;

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
