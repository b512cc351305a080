// The license screen, the preliminary document in the reader, the closing programs, the
// folder chooser and the component search, driven through the real setup program.
#include "driver/setup_run.h"

namespace e2e {
namespace {

const char* const kAppTitle = "KavexInstall Setup";
const char* const kUpgrade = "If you are upgrading from a previous version of Acme make sure to specify the "
                             "same folder as the older version.";
const char* const kWelcome = "This setup program will install Acme on your computer.";

class LaterScreens : public SetupRun {
  protected:
    // The text of the first edit control of a window.
    static std::string EditText(HWND window) {
        for (HWND child : Descendants(window))
            if (_stricmp(ClassOf(child).c_str(), "Edit") == 0) return TextOf(child);
        return "<no edit control>";
    }
    // Opens the folder list's entry that shows `text` (as a double-click does).
    static void OpenFolderEntry(HWND chooser, const std::string& text) {
        HWND list = nullptr;
        for (HWND child : Descendants(chooser))
            if (_stricmp(ClassOf(child).c_str(), "ListBox") == 0) list = child;
        ASSERT_TRUE(list);
        const int index = static_cast<int>(SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)text.c_str()));
        ASSERT_GE(index, 0) << text;
        SendMessageA(list, LB_SETCURSEL, index, 0);
        PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), (LPARAM)list);
    }
    static HWND NotepadWindow() { return FindWindowA("Notepad", nullptr); }
};

TEST_F(LaterScreens, LicenseYesGoesOnAndItsCloseBoxEndsTheProgram) {
    WriteDistFile("license.txt", "You may use this.\nNothing more.\n");
    const std::vector<std::string> script = {"[install]",
                                             "SetupTitle=Acme Setup",
                                             "ProgramName=Acme",
                                             "ProductName=Acme Tool",
                                             "DisplayLicense=1",
                                             "LicenseFile=license.txt",
                                             "DefaultDir=C:\\kvtest\\Acme\\"};
    StartWizard(script);
    Press("&Next >");
    HWND reader = WaitWindowOf(Pid(), "License Agreement");
    ASSERT_TRUE(reader);
    EXPECT_TRUE(WaitShownText(reader, "Do you agree to ALL the above terms?"));
    EXPECT_TRUE(HasText(ShownTexts(reader), "Use the scroll bars to see the entire document"));
    EXPECT_EQ(EditText(reader), "You may use this.\r\nNothing more.\r\n");
    EXPECT_FALSE(HasText(ShownTexts(reader), "OK"));
    Shot("license");
    Click(FindControl(reader, "Yes", "Button"));
    EXPECT_TRUE(Shows(kUpgrade));

    // Back from the destination shows the license again; its close box is a refusal.
    Press("< &Back");
    reader = WaitWindowOf(Pid(), "License Agreement");
    ASSERT_TRUE(reader);
    CloseBox(reader);
    EXPECT_TRUE(WaitExit());
}

TEST_F(LaterScreens, MissingLicenseFileIsReportedAndOkGoesOn) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Tool",
                 "DisplayLicense=1", "LicenseFile=missing.txt"});
    Press("&Next >");
    auto box = WaitMessageBox(Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, kAppTitle);
    EXPECT_EQ(box->text,
              "Could not display the licensing agreement. Please contact the developer of Acme Tool to "
              "obtain a fix.\r\n\r\nPlease note: there may be rules governing the use of the software to "
              "be installed. Press OK to continue or CANCEL to cancel the installation of Acme Tool.");
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_FALSE(box->hasIcon);
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    EXPECT_TRUE(Shows(kUpgrade));
    StopAll();
}

TEST_F(LaterScreens, PreliminaryDocumentInTheReaderTitledWithItsName) {
    WriteDistFile("readme.txt", "Read me first.");
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "PrelimMessagesTotal=1",
                 "PrelimMessage1=Hello there", "PrelimDocuExecsTotal=1", "PrelimDocuExec1=readme.txt",
                 "PrelimDocuExec1InternalReader=1"});
    Start();
    auto box = WaitMessageBox(Pid(), 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text, "Hello there");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(box->hasIcon);
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));

    HWND reader = WaitWindowOf(Pid(), "readme");
    ASSERT_TRUE(reader);
    EXPECT_EQ(EditText(reader), "Read me first.");
    HWND ok = FindControl(reader, "OK", "Button");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(IsShown(ok));
    EXPECT_FALSE(IsShown(FindControl(reader, "Yes", "Button")));
    Shot("readme");
    Click(ok);
    wizard_ = WaitWizard();
    ASSERT_TRUE(wizard_);
    EXPECT_TRUE(Shows(kWelcome));
    StopAll();
}

TEST_F(LaterScreens, ClosingProgramsAskFirstAndStartWithoutWaiting) {
    const std::vector<std::string> base = {"[install]",        "SetupTitle=Acme Setup",
                                           "ProgramName=Acme", "DefaultDir=C:\\kvtest\\later_closing\\",
                                           "LastExecsTotal=1", "LastExec1=%windows%\\notepad.exe"};
    // Answered No: no program starts and the program ends.
    std::vector<std::string> script = base;
    script.push_back("LastExecsPrompt=1");
    script.push_back("LastExecsPromptMsg=Start the editor now?");
    StartWizard(script);
    Press("&Next >");
    Press("&Next >");
    Press("Finish");
    auto box = WaitMessageBox(Pid(), 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Acme Setup");
    EXPECT_EQ(box->text, "Start the editor now?");
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(box->hasIcon);
    ASSERT_TRUE(AnswerMessageBox(*box, "&No"));
    EXPECT_TRUE(WaitExit());
    Sleep(500);
    EXPECT_FALSE(NotepadWindow());

    // Without the question, the system's Notepad starts and the program ends by itself.
    StartWizard(base);
    Press("&Next >");
    Press("&Next >");
    Press("Finish");
    EXPECT_TRUE(WaitExit());
    HWND notepad = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (notepad = NotepadWindow()) != nullptr; }, 15000));
    if (notepad) {
        Shot("notepad");
        PostMessageA(notepad, WM_CLOSE, 0, 0);
        WaitFor([&] { return !NotepadWindow(); });
    }
}

TEST_F(LaterScreens, FailedCopyIsSummedUpBeforeTheProgramEnds) {
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme",
                 "DefaultDir=C:\\kvtest\\later_summary\\", "TotalFiles=1", "srcfile1=missing.dat",
                 "destfile1=missing.dat"});
    Press("&Next >");
    Press("&Next >");
    Press("Finish");
    auto box = WaitMessageBox(Pid(), 20000);
    ASSERT_TRUE(box);
    ASSERT_NE(box->text.find("could not be copied"), std::string::npos) << box->text;
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    box = WaitMessageBox(Pid(), 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, kAppTitle);
    EXPECT_EQ(box->text,
              "There were some errors during installation. You may have to reinstall Acme at a later date.");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(box->hasIcon);
    ASSERT_TRUE(AnswerMessageBox(*box, "OK"));
    EXPECT_TRUE(WaitExit());
}

TEST_F(LaterScreens, ChooserGivesTheRootOfADriveAndMakesNewFolders) {
    CreateDirectoryA("C:\\kvtest\\later_chooser", nullptr);
    RemoveTree("C:\\kvtest\\later_chooser\\Tools");
    StartWizard(
        {"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "DefaultDir=C:\\kvtest\\later_chooser\\"});
    Press("&Next >");
    ASSERT_TRUE(Shows("C:\\kvtest\\later_chooser\\"));

    // OK on the root of the drive gives c:\ (no second backslash).
    Press("Change...");
    HWND chooser = WaitWindowOf(Pid(), "Change Folder");
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(WaitShownText(chooser, "Drive:"));
    EXPECT_TRUE(HasText(ShownTexts(chooser), "Folder:"));
    Shot("chooser");
    OpenFolderEntry(chooser, "c:\\");
    Sleep(300);
    Click(FindControl(chooser, "OK", "Button"));
    EXPECT_TRUE(Shows("c:\\"));

    // New Folder... under the folder, then OK: the new folder is the destination.
    Press("Change...");
    chooser = WaitWindowOf(Pid(), "Change Folder");
    ASSERT_TRUE(chooser);
    OpenFolderEntry(chooser, "  kvtest");
    Sleep(200);
    OpenFolderEntry(chooser, "    later_chooser");
    Sleep(200);
    Click(FindControl(chooser, "New Folder...", "Button"));
    HWND ask = WaitWindowOf(Pid(), "Create New Folder");
    ASSERT_TRUE(ask);
    EXPECT_TRUE(
        WaitShownText(ask, "Enter a name for the folder you wish to create under c:\\kvtest\\later_chooser"));
    HWND edit = nullptr;
    for (HWND child : Descendants(ask))
        if (_stricmp(ClassOf(child).c_str(), "Edit") == 0) edit = child;
    ASSERT_TRUE(edit);
    EXPECT_EQ(TextOf(edit), "");
    SetText(edit, "Tools");
    Shot("new-folder");
    Click(FindControl(ask, "OK", "Button"));
    EXPECT_TRUE(WaitFor(
        [] { return GetFileAttributesA("C:\\kvtest\\later_chooser\\Tools") != INVALID_FILE_ATTRIBUTES; }));
    Sleep(300);
    Click(FindControl(chooser, "OK", "Button"));
    EXPECT_TRUE(Shows("c:\\kvtest\\later_chooser\\tools\\"));
    StopAll();
}

TEST_F(LaterScreens, SearchFindsTheFolderHoldingTheProductsFiles) {
    const std::string product = "C:\\kvtest\\later_found\\Acme";
    CreateDirectoryA("C:\\kvtest\\later_found", nullptr);
    CreateDirectoryA(product.c_str(), nullptr);
    for (const char* name : {"\\kvlater_core.dll", "\\kvlater_ui.dll"}) {
        HANDLE f =
            CreateFileA((product + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        CloseHandle(f);
    }
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Later Search",
                 "ComponentsSearch=1", "Components=kvlater_*.exe;kvlater_*.dll",
                 "DefaultDir=C:\\kvtest\\Acme\\"});
    Press("&Next >");
    EXPECT_TRUE(Shows(product + "\\", 30000));
    RemoveTree("C:\\kvtest\\later_found");
    StopAll();
}

TEST_F(LaterScreens, CancelStopsTheSearchAndKeepsTheDefaultFolder) {
    // Thousands of folders to walk, and a hit that the walk reaches only at its very end
    // (the root's first subfolder is taken last).
    const std::string tree = "C:\\kvtest\\later_tree";
    if (GetFileAttributesA((tree + "\\complete").c_str()) == INVALID_FILE_ATTRIBUTES) {
        CreateDirectoryA(tree.c_str(), nullptr);
        for (int a = 0; a < 40; ++a) {
            const std::string level = tree + "\\d" + std::to_string(a);
            CreateDirectoryA(level.c_str(), nullptr);
            for (int b = 0; b < 75; ++b)
                CreateDirectoryA((level + "\\e" + std::to_string(b)).c_str(), nullptr);
        }
        CreateDirectoryA((tree + "\\complete").c_str(), nullptr);
    }
    CreateDirectoryA("C:\\!kvlater_hit", nullptr);
    HANDLE f = CreateFileA("C:\\!kvlater_hit\\kvlater_mark.dll", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);

    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Later Cancel",
                 "ComponentsSearch=1", "Components=kvlater_mark.dll", "DefaultDir=C:\\kvtest\\Acme\\"});
    Press("&Next >");
    ASSERT_TRUE(Shows("Searching for installed components...", 5000));
    EXPECT_TRUE(
        HasText(ShownTexts(wizard_), "(Press 'Cancel' to stop search and install in default location)"));
    Shot("searching");
    Press("Cancel");
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme\\", 20000));
    EXPECT_FALSE(FindMessageBox(Pid())); // no question on the search screen

    // The key x typed into the wizard stops the search the same way.
    Press("< &Back");
    ASSERT_TRUE(Shows(kWelcome));
    Press("&Next >");
    ASSERT_TRUE(Shows("Searching for installed components...", 5000));
    TypeChar(wizard_, 'x');
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme\\", 20000));

    // Left alone, the same search walks on to the hit.
    Press("< &Back");
    ASSERT_TRUE(Shows(kWelcome));
    Press("&Next >");
    EXPECT_TRUE(Shows("C:\\!kvlater_hit\\", 60000));
    RemoveTree("C:\\!kvlater_hit");
    StopAll();
}

} // namespace
} // namespace e2e
