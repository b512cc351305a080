#include "windows/forms/lists.h"

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
