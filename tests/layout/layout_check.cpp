// The layout check: opens every window of the setup program in turn, as the program opens
// it, and checks that each visible label and button shows its whole text in its own font
// and that no two visible controls side by side overlap. It does so once with the sample
// product's script and once with a script whose names, titles and folder are 60
// characters long, and saves a screenshot of the screen with each window.
//
//   layout_check.exe DPI SHOT_FOLDER
//
// DPI is the resolution the run must lay out at (the program refuses to check at any
// other). Prints one line per fault; exits 1 on any fault.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "driver/screen.h"
#include "engine/session.h"
#include "script/macros.h"
#include "script/script.h"
#include "startup/main.h"
#include "startup/start_windows.h"
#include "system/file_stamp.h"
#include "system/folders.h"
#include "uninstall/uninstall_form.h"
#include "windows/about_form.h"
#include "windows/mother_form.h"
#include "wizard/folder_chooser.h"
#include "wizard/input_box.h"
#include "wizard/later_parts.h"
#include "wizard/text_reader.h"
#include "wizard/wiz_form.h"
#include "wizard/wizard.h"

namespace {
// The session of the script whose windows are checked now.
SetupSession g_session;
} // namespace

namespace {

std::string g_run;   // which script: "sample" or "long"
std::string g_shots; // screenshot folder, ending in a backslash
int g_faults = 0, g_windows = 0;

void Fault(const std::string& window, const std::string& what) {
    ++g_faults;
    std::printf("FAULT %s script, %s: %s\n", g_run.c_str(), window.c_str(), what.c_str());
}

std::string ClassOf(HWND h) {
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

std::string TextOf(HWND h) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(h)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(h, text.data(), static_cast<int>(text.size()))));
    return text;
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

// Measures the control's text as the control draws it: in its font, wrapped at its width
// where it wraps, without the "&" of a mnemonic unless the control shows "&" as it is.
// Returns false for controls that show no text of their own.
bool MeasureText(HWND h, SIZE& need, SIZE& room) {
    const std::string text = TextOf(h);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    if (text.empty()) return false;
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    int inset = 0;
    bool checkHeight = true;
    if (IsClass(h, "STATIC")) {
        const LONG type = style & SS_TYPEMASK;
        if (type <= SS_RIGHT)
            format |= DT_WORDBREAK;
        else if (type == SS_SIMPLE)
            format |= DT_SINGLELINE;
        else if (type != SS_LEFTNOWORDWRAP)
            return false; // pictures, rectangles
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    } else if (IsClass(h, "BUTTON")) {
        format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        // A push button draws its text inside its raised edge and focus rectangle; a
        // group box's caption sits on its top border, indented.
        inset = IsGroupBox(h) ? 8 : 3;
        checkHeight = !IsGroupBox(h);
    } else {
        return false;
    }
    RECT client;
    GetClientRect(h, &client);
    room = {client.right - 2 * inset, client.bottom - 2 * inset};
    HDC dc = GetDC(h);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    RECT r{0, 0, room.cx, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    need = {r.right - r.left, r.bottom - r.top};
    if (!checkHeight) room.cy = need.cy;
    return true;
}

// Controls that lie on each other by design: a frame's border around what is in the
// frame, lines that meet at the corners of a drawn box, and a title over its shadow (a
// label of the same size with the same text).
bool OverlapIntended(HWND a, HWND b) {
    if (IsGroupBox(a) || IsGroupBox(b)) return true;
    if (IsClass(a, "KvShape") && IsClass(b, "KvShape")) return true;
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return IsClass(a, "STATIC") && IsClass(b, "STATIC") && TextOf(a) == TextOf(b) &&
           ra.right - ra.left == rb.right - rb.left && ra.bottom - ra.top == rb.bottom - rb.top;
}

// Checks the visible controls of a window and of the panels in it; windows inside it that
// are forms of their own (the main window's backdrop, the wizard) are checked on their own.
// A control must lie wholly inside its container, except shapes (the progress bar slides
// in from outside its box).
void CheckControls(const std::string& window, HWND parent) {
    RECT inside;
    GetClientRect(parent, &inside);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    std::vector<HWND> controls;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && !Form::FromWindow(c) && !IsClass(c, "MDIClient")) controls.push_back(c);
    for (size_t i = 0; i < controls.size(); ++i) {
        SIZE need, room;
        if (MeasureText(controls[i], need, room) && (need.cx > room.cx || need.cy > room.cy))
            Fault(window, Describe(controls[i]) + " needs " + SizeText(need.cx, need.cy) + " pixels, has " +
                              SizeText(room.cx, room.cy));
        RECT a, b, both;
        GetWindowRect(controls[i], &a);
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

// Checks a shown window and saves a screenshot of the screen with it.
void CheckWindow(const std::string& name, Form& form) {
    HWND h = form.Handle();
    if (!IsWindowVisible(h)) {
        Fault(name, "the window is not shown");
        return;
    }
    RedrawWindow(GetAncestor(h, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CheckControls(name, h);
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", ++g_windows);
    std::string file = name;
    for (char& c : file)
        if (c == ' ') c = '-';
    if (!e2e::SaveScreen(g_shots + g_run + "-" + number + file + ".bmp"))
        Fault(name, "no screenshot saved");
}

// A modal window is checked from inside its own message loop (a thread timer runs in any
// loop) once the loop shows it, then closed as its close box would close it.
struct {
    std::string name;
    Form* form = nullptr;
    UINT_PTR timer = 0;
    bool checked = false;
} g_modal;

void CALLBACK CheckModalWindow(HWND, UINT, UINT_PTR, DWORD) {
    if (g_modal.checked || !g_modal.form->Loaded() || !IsWindowVisible(g_modal.form->Handle())) return;
    g_modal.checked = true;
    KillTimer(nullptr, g_modal.timer);
    CheckWindow(g_modal.name, *g_modal.form);
    g_modal.form->Unload();
}

void CheckModal(const std::string& name, Form& form, const std::function<void()>& open) {
    g_modal.name = name;
    g_modal.form = &form;
    g_modal.checked = false;
    g_modal.timer = SetTimer(nullptr, 0, 20, CheckModalWindow);
    open();
    if (!g_modal.checked) {
        KillTimer(nullptr, g_modal.timer);
        Fault(name, "the window did not open");
    }
}

void CheckWizard() {
    WizForm.Load();
    WizForm.SetTitle(g_session.ReadIni("ProductName"));
    WizForm.Show();
    // The welcome screen as the wizard shows it, without the preliminary actions it runs.
    ResetWizardScreens();
    WizForm.Label3[0].SetCaption("This setup program will install " + g_session.ReadIni("ProgramName") +
                                 " on your computer.");
    WizForm.WizScreen[0].SetVisible(true);
    WizForm.BackButton.SetEnabled(false);
    CheckWindow("wizard welcome", WizForm);
    // The screens of the search and the installation as they are shown before their work runs.
    const std::pair<int, const char*> working[] = {
        {4, "wizard search"}, {2, "wizard copying"}, {6, "wizard finalizing"}};
    for (const auto& [panel, name] : working) {
        ResetWizardScreens();
        WizForm.WizScreen[panel].SetVisible(true);
        WizForm.BackButton.SetEnabled(false);
        WizForm.NextButton.SetEnabled(false);
        CheckWindow(name, WizForm);
    }
    // The destination and ready screens through the wizard's own step forward.
    const std::pair<int16_t, const char*> steps[] = {{2, "wizard destination"}, {3, "wizard ready"}};
    for (const auto& [from, name] : steps) {
        WizForm.CurrentScreen = from;
        int16_t step = 1;
        ShowWizardScreen(step);
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
    CheckWizard();
    CheckModal("about box", AboutForm, [] { AboutForm.ShowModal(); });
    CheckModal("text reader document", TextReader,
               [] { ShowTextFile(g_session.sourceDir + "readme.txt", "readme.txt", 0); });
    // The license screen's reader; closing it is a refusal, after which the wizard would end
    // the program, so it is opened here as the license screen opens it.
    CheckModal("text reader license", TextReader, [] {
        ShowTextFile(g_session.sourceDir + g_session.ReadIni("LicenseFile"), "License Agreement", 1);
    });
    CheckModal("folder chooser", ChFolderForm, WizForm_Command3_Click);
    CheckModal("input box", InputBoxWindow, [] {
        InputBox("Enter a name for the folder you wish to create under " + g_session.destDir,
                 "Create New Folder");
    });
    WizForm.Unload();
    UninstallForm.Load();
    UninstallForm.Show();
    CheckWindow("uninstall window", UninstallForm);
    UninstallForm.Unload();
    MotherForm.Unload();
}

// The program's state as start-up leaves it for the script in `folder`: the session and
// the windows that read it.
void StartSession(const std::string& folder) {
    g_session = SetupSession{};
    g_session.folders = &SystemFolderSource();
    g_session.scripts = ProfileFiles(SystemFileStamp);
    g_session.sourceDir = folder;
    g_session.destDir = g_session.ReadIni("DefaultDir");
    ExpandPathMacro(g_session.destDir, g_session.destDir, *g_session.folders);
    MotherForm.session = &g_session;
    WizForm.session = &g_session;
    AboutForm.session = &g_session;
    UninstallForm.session = &g_session;
    WizForm.CurrentScreen = 0;
}

// A copy of the sample's documents with a script whose names, titles and destination
// folder are 60 characters long; returns its folder.
std::string LongNamesScript(const std::string& sample) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kvlayout\\";
    CreateDirectoryA(folder.c_str(), nullptr);
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
    FILE* file = std::fopen((folder + "setup.ini").c_str(), "wb");
    if (file) {
        std::fputs(script.c_str(), file);
        std::fclose(file);
    }
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: layout_check DPI SHOT_FOLDER\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0); // every fault is seen, even if a window hangs
    const int dpi = std::atoi(argv[1]);
    g_shots = std::string(argv[2]) + "\\";
    std::filesystem::create_directories(argv[2]);
    HDC screen = GetDC(nullptr);
    const int actual = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (actual != dpi) {
        std::printf("FAULT the program lays out at %d DPI, not at %d\n", actual, dpi);
        return 1;
    }
    OleInitialize(nullptr);
    SetMainForm(&MotherForm);

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string sample = ProgramFolderOf(exe) + "data\\sample\\";
    g_run = "sample";
    StartSession(sample);
    CheckEveryWindow();
    g_run = "long";
    StartSession(LongNamesScript(sample));
    CheckEveryWindow();
    std::printf("%d windows checked at %d DPI: %d faults\n", g_windows, dpi, g_faults);
    return g_faults == 0 ? 0 : 1;
}
