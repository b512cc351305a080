// What the parts of the forms layer share among themselves; callers include forms.h.
#pragma once
#include <windows.h>

#include <vector>

class Control;
class Form;

namespace forms_detail {

const char* const kFormProp = "KvForm";
const char* const kFormClass = "KvForm";
const char* const kFrameClass = "KvMdiFrame";
const char* const kMdiChildClass = "KvMdiChild";
const char* const kPanelClass = "KvPanel";
const char* const kImageClass = "KvImage";
const char* const kShapeClass = "KvShape";

HINSTANCE Instance();
// The screen's DPI, horizontal or vertical.
int Dpi(bool horizontal);
// A solid brush of the colour, kept for the whole run.
HBRUSH BrushOf(COLORREF colour);
// The system's message font, the controls' default.
HFONT MessageFont();

// Every form object of the program, loaded or not.
std::vector<Form*>& AllForms();

Control* ControlOf(HWND hwnd);
// WM_COMMAND and WM_CTLCOLOR* of controls, for forms and panels alike.
bool HandleControlMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
// The window procedures of the forms layer's own window classes.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ShapeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void RegisterClasses();

// Sets the hook that gives forms with KeyPreview the characters typed in them (once).
void InstallKeyPreview();

} // namespace forms_detail
