// Controls of the forms layer: the base every control shares (caption, position in twips,
// font, colours) and the plain controls. Lists are in forms_lists.h.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "windows/forms/picture.h"

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
