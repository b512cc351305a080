// The list controls of the forms layer: list boxes and drop-down lists.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "windows/forms/controls.h"

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
