// layout_check.exe DPI SHOT_FOLDER: opens every window of the setup program as the program
// opens it, with the sample product's script and with one whose names, titles and folder
// are 60 characters long, and checks that each visible label and button shows its whole
// text in its own font, lies inside its window, and overlaps no sibling; saves a screenshot
// of each. Refuses to run at another DPI. Prints one line per fault; exits 1 on any fault.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "driver/driver.h"
#include "driver/screen.h"
#include "engine/session.h"
#include "system/windows_computer.h"
#include "script/macros.h"
#include "script/script.h"
#include "startup/main.h"
#include "startup/start_windows.h"
#include "system/file_stamp.h"
#include "system/folders.h"
#include "uninstall/uninstall_form.h"
#include "windows/about_form.h"
#include "windows/forms/internal.h"
#include "windows/mother_form.h"
#include "wizard/folder_chooser.h"
#include "wizard/input_box.h"
#include "wizard/screen_actions.h"
#include "wizard/text_reader.h"
#include "wizard/wiz_form.h"
#include "wizard/wizard.h"

namespace {
using e2e::ClassOf, e2e::TextOf;

SetupSession g_session; // of the script whose windows are checked now
std::string g_run;      // which script: "sample" or "long"
std::string g_shots;    // screenshot folder, ending in a backslash
int g_faults = 0, g_windows = 0;

void Fault(const std::string& window, const std::string& what) {
    ++g_faults;
    std::printf("FAULT %s script, %s: %s\n", g_run.c_str(), window.c_str(), what.c_str());
}

bool IsClass(HWND h, const char* name) {
    return lstrcmpiA(ClassOf(h).c_str(), name) == 0;
}

bool IsGroupBox(HWND h) {
    return IsClass(h, "BUTTON") && (GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A control by its class and text; one without text by the first text it holds.
std::string Describe(HWND h) {
    std::string text = TextOf(h);
    for (HWND c = GetWindow(h, GW_CHILD); text.empty() && c; c = GetWindow(c, GW_HWNDNEXT)) text = TextOf(c);
    return ClassOf(h) + " \"" + text + "\"";
}

std::string SizeText(long width, long height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// Windows sets its message font, the controls' default, in Segoe UI 9 pt, which is wider and
// taller than Wine's Tahoma 8 pt. A text in the message font must fit as Windows draws it too:
// as wide as in Arial 9 pt (Liberation Sans under Wine, of Arial's metrics), whose letters are
// about as wide as Segoe UI's, with lines as high as Segoe UI's (2724/2048 of the font's size:
// 16 pixels at 96 DPI).
struct WindowsMessageFont {
    HFONT font = nullptr;
    int lineHeight = 0;     // of Segoe UI 9 pt
    int fontLineHeight = 0; // of the font measured with
} g_windowsFont;

void MakeWindowsMessageFont(int dpi) {
    const int size = MulDiv(9, dpi, 72);
    g_windowsFont.font =
        CreateFontA(-size, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    g_windowsFont.lineHeight = (size * 2724 + 2047) / 2048;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, g_windowsFont.font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    g_windowsFont.fontLineHeight = metrics.tmHeight;
}

// The faces the windows are drawn in that the system lacks (it draws them in another face,
// of other widths): the program's own, its message font, Arial (measured in for Windows'
// message font) and Marlett (the caption buttons' symbols in the screenshots).
std::string MissingFaces() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    std::string missing;
    HDC dc = GetDC(nullptr);
    const char* message = metrics.lfMessageFont.lfFaceName;
    for (const char* face : {"Times New Roman", "Tahoma", "Arial", "Marlett", message}) {
        HFONT font =
            CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
        HGDIOBJ old = SelectObject(dc, font);
        char drawn[LF_FACESIZE] = {};
        GetTextFaceA(dc, LF_FACESIZE, drawn);
        SelectObject(dc, old);
        DeleteObject(font);
        if (lstrcmpiA(drawn, face) != 0)
            missing += std::string(missing.empty() ? "" : ", ") + face + " (drawn in " + drawn + ")";
    }
    ReleaseDC(nullptr, dc);
    return missing;
}

// The size of the text drawn in the font with the format, at most `width` wide where it wraps.
SIZE DrawnSize(HDC dc, HGDIOBJ font, const std::string& text, UINT format, long width) {
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format);
    SelectObject(dc, old);
    return {r.right - r.left, r.bottom - r.top};
}

// Measures the control's text as the control draws it: in its font (and for the message font,
// also as Windows draws it in its own), wrapped at its width where it wraps, without the "&"
// of a mnemonic unless the control shows "&" as it is. Labels, buttons, and single-line text
// boxes that cannot be edited (their text is there to be read whole). Returns false for
// controls that show no text of their own.
bool MeasureText(HWND h, SIZE& need, SIZE& room) {
    const std::string text = TextOf(h);
    const LONG style = GetWindowLongA(h, GWL_STYLE), type = style & SS_TYPEMASK;
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    int inset = 0;
    if (text.empty()) return false;
    if (IsClass(h, "STATIC")) {
        if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return false; // pictures
        format |= (type <= SS_RIGHT    ? DT_WORDBREAK
                   : type == SS_SIMPLE ? DT_SINGLELINE
                                       : 0) |
                  (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
    } else if (IsClass(h, "BUTTON")) {
        format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        // A push button draws its text inside its raised edge and focus rectangle; a
        // group box's caption sits on its top border, indented.
        inset = IsGroupBox(h) ? 8 : 3;
    } else if (IsClass(h, "EDIT") && (style & ES_READONLY) && !(style & ES_MULTILINE)) {
        format |= DT_SINGLELINE | DT_NOPREFIX;
    } else {
        return false;
    }
    RECT client;
    GetClientRect(h, &client);
    room = {client.right - 2 * inset, client.bottom - 2 * inset};
    if (IsClass(h, "EDIT")) { // the text lies between the box's margins
        const LRESULT margins = SendMessageA(h, EM_GETMARGINS, 0, 0);
        room.cx -= LOWORD(margins) + HIWORD(margins);
    }
    HDC dc = GetDC(h);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0));
    need = DrawnSize(dc, font ? font : GetStockObject(SYSTEM_FONT), text, format, room.cx);
    if (font == forms_detail::MessageFont()) {
        const SIZE windows = DrawnSize(dc, g_windowsFont.font, text, format, room.cx);
        const long lines = windows.cy / g_windowsFont.fontLineHeight;
        need = {std::max(need.cx, windows.cx), std::max(need.cy, lines * g_windowsFont.lineHeight)};
    }
    ReleaseDC(h, dc);
    if (IsGroupBox(h)) room.cy = need.cy; // its height is the frame's
    return true;
}

// Controls that lie on each other by design: a frame's border around what is in the
// frame, lines that meet at the corners of a drawn box, and a title over its shadow (a
// label of the same size with the same text).
bool OverlapIntended(HWND a, HWND b) {
    if (IsGroupBox(a) || IsGroupBox(b)) return true;
    if (IsClass(a, "KvShape") && IsClass(b, "KvShape")) return true;
    const RECT ra = e2e::ScreenRect(a), rb = e2e::ScreenRect(b);
    return IsClass(a, "STATIC") && IsClass(b, "STATIC") && TextOf(a) == TextOf(b) &&
           ra.right - ra.left == rb.right - rb.left && ra.bottom - ra.top == rb.bottom - rb.top;
}

// Checks the visible controls of a window and of the panels in it; windows inside it that
// are forms of their own (the main window's backdrop, the wizard) are checked on their own.
// A control must lie wholly inside its container, except shapes (the progress bar slides
// in from outside its box).
void CheckControls(const std::string& window, HWND parent) {
    const RECT inside = e2e::ClientScreenRect(parent);
    std::vector<HWND> controls;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && !Form::FromWindow(c) && !IsClass(c, "MDIClient")) controls.push_back(c);
    for (size_t i = 0; i < controls.size(); ++i) {
        SIZE need, room;
        if (MeasureText(controls[i], need, room) && (need.cx > room.cx || need.cy > room.cy))
            Fault(window, Describe(controls[i]) + " needs " + SizeText(need.cx, need.cy) + " pixels, has " +
                              SizeText(room.cx, room.cy));
        RECT a = e2e::ScreenRect(controls[i]), b, both;
        if (!IsClass(controls[i], "KvShape") && (!IntersectRect(&both, &a, &inside) || !EqualRect(&both, &a)))
            Fault(window, Describe(controls[i]) + " reaches outside " + Describe(parent));
        for (size_t j = i + 1; j < controls.size(); ++j) {
            GetWindowRect(controls[j], &b);
            if (IntersectRect(&both, &a, &b) && !OverlapIntended(controls[i], controls[j]))
                Fault(window, Describe(controls[i]) + " and " + Describe(controls[j]) + " overlap by " +
                                  SizeText(both.right - both.left, both.bottom - both.top) + " pixels");
        }
        CheckControls(window, controls[i]);
    }
}

void CheckWindow(const std::string& name, Form& form) {
    HWND h = form.Handle();
    if (!IsWindowVisible(h)) return Fault(name, "the window is not shown");
    RedrawWindow(GetAncestor(h, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CheckControls(name, h);
    // What was painted reaches the screen when the thread waits for messages (Wine hands its
    // windows' pictures to the X server then); a modal window is checked from its timer,
    // before its loop waits again, and would be saved blank.
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", ++g_windows);
    std::string file = name;
    std::replace(file.begin(), file.end(), ' ', '-');
    if (!e2e::SaveScreen(g_shots + g_run + "-" + number + file + ".bmp")) Fault(name, "no screenshot saved");
}

// A modal window is checked from inside its own message loop (a thread timer runs in any
// loop) once the loop shows it, then closed as its close box would close it.
std::function<void()> g_tick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    g_tick();
}

void CheckModal(const std::string& name, Form& form, const std::function<void()>& open) {
    bool checked = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    g_tick = [&] {
        if (checked || !form.Loaded() || !IsWindowVisible(form.Handle())) return;
        checked = true;
        KillTimer(nullptr, timer);
        CheckWindow(name, form);
        form.Unload();
    };
    open();
    KillTimer(nullptr, timer);
    if (!checked) Fault(name, "the window did not open");
}

void CheckWizard(Wizard& wizard) {
    wizard.Open();
    // The welcome screen without the preliminary actions it runs, and the screens of the
    // search and the installation as they are shown before their work runs.
    const std::tuple<int16_t, int16_t, const char*> screens[] = {{0, 0, "wizard welcome"},
                                                                 {1, 1, "wizard search"},
                                                                 {4, 1, "wizard copying"},
                                                                 {5, 1, "wizard finalizing"}};
    for (const auto& [from, step, name] : screens) {
        wizard.steps = WizardSteps(from);
        wizard.ShowScreen(wizard.steps.Move(step, {}));
        CheckWindow(name, WizForm);
    }
    // The destination and ready screens through the wizard's own step forward.
    for (const auto& [from, name] :
         {std::pair<int16_t, const char*>{2, "wizard destination"}, {3, "wizard ready"}}) {
        wizard.steps = WizardSteps(from);
        wizard.ShowWizardScreen(1);
        CheckWindow(name, WizForm);
    }
}

void CheckEveryWindow() {
    SplashForm.Show();
    CheckWindow("splash", SplashForm);
    MotherForm.Load();
    MotherForm.Maximize();
    MotherFormBack.Show();
    SplashForm.Unload();
    CheckWindow("main window", MotherForm);
    Wizard wizard(g_session);
    CheckWizard(wizard);
    CheckModal("about box", AboutForm, [] { ShowAboutBox(g_session); });
    CheckModal("text reader document", TextReader,
               [] { ShowTextFile(g_session.sourceDir + "readme.txt", "readme.txt", 0); });
    // The license screen's reader; closing it is a refusal, after which the wizard would end
    // the program, so it is opened here as the license screen opens it.
    CheckModal("text reader license", TextReader, [] {
        ShowTextFile(g_session.sourceDir + g_session.ReadIni("LicenseFile"), "License Agreement", 1);
    });
    CheckModal("folder chooser", ChFolderForm, [&] { wizard.WizForm_Command3_Click(); });
    CheckModal("input box", InputBoxWindow, [] {
        InputBox("Enter a name for the folder you wish to create under " + g_session.destDir,
                 "Create New Folder");
    });
    WizForm.Unload();
    UninstallForm.Open(g_session);
    CheckWindow("uninstall window", UninstallForm);
    UninstallForm.Unload();
    MotherForm.Unload();
}

// The session and windows as start-up leaves them for the script in `folder`.
void StartSession(const std::string& folder) {
    g_session = SetupSession{};
    static WindowsComputer computer;
    g_session.computer = &computer;
    g_session.sourceDir = folder;
    g_session.destDir = g_session.ReadIni("DefaultDir");
    ExpandPathMacro(g_session.destDir, g_session.destDir, computer.Folders());
    MotherForm.look = ReadMainWindowLook(g_session);
}

// A copy of the sample's documents with names, titles and folder 60 characters long; its folder.
std::string LongNamesScript(const std::string& sample) {
    const std::string folder = (std::filesystem::temp_directory_path() / "kvlayout").string() + "\\";
    std::filesystem::create_directories(folder);
    for (const char* file : {"license.txt", "readme.txt"})
        CopyFileA((sample + file).c_str(), (folder + file).c_str(), FALSE);
    auto sixty = [](std::string text) {
        while (text.size() < 60) text += " and more";
        return text.substr(0, 60);
    };
    std::string script = "[install]\r\nProductVersion=1.0\r\nDisplayLicense=1\r\nLicenseFile=license.txt\r\n";
    for (const char* key : {"ProductName", "ProgramName", "SetupTitle", "ProgramAuthor", "ProgramInfo"})
        script += std::string(key) + "=" + sixty(std::string("Kavex ") + key) + "\r\n";
    script += "DefaultDir=" + sixty("C:\\Kavex Long Destination Folder") + "\r\n";
    std::ofstream(folder + "setup.ini", std::ios::binary) << script;
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return std::fprintf(stderr, "usage: layout_check DPI SHOT_FOLDER\n"), 2;
    std::setvbuf(stdout, nullptr, _IONBF, 0); // every fault is seen, even if a window hangs
    const int dpi = std::atoi(argv[1]);
    g_shots = std::string(argv[2]) + "\\";
    std::filesystem::create_directories(argv[2]);
    const int actual = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
    if (actual != dpi)
        return std::printf("FAULT the program lays out at %d DPI, not at %d\n", actual, dpi), 1;
    if (const std::string missing = MissingFaces(); !missing.empty())
        return std::printf("FAULT the system lacks faces the windows are drawn in: %s\n", missing.c_str()), 1;
    OleInitialize(nullptr);
    MakeWindowsMessageFont(dpi);
    SetMainForm(&MotherForm);

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string sample = ProgramFolderOf(exe) + "data\\sample\\";
    for (const char* run : {"sample", "long"}) {
        g_run = run;
        StartSession(g_run == "sample" ? sample : LongNamesScript(sample));
        CheckEveryWindow();
    }
    std::printf("%d windows checked at %d DPI: %d faults\n", g_windows, dpi, g_faults);
    return g_faults == 0 ? 0 : 1;
}
