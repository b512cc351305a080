// The license screen, the preliminary documents in the reader and the folder chooser.

#include "driver/setup_run.h"

namespace e2e {
namespace {

class LaterScreens : public SetupRun {
  protected:
    // Opens the folder list's entry that shows `text` (as a double-click does) and waits
    // until the list shows the folders below it, the first of them being `next` (if any).
    // Clicks that follow are posted behind the double-click, so they come after it.
    static void OpenFolderEntry(HWND chooser, const std::string& text, const std::string& next) {
        HWND list = FindControl(chooser, "", "ListBox");
        ASSERT_TRUE(list);
        const auto find = [&](const std::string& entry) {
            return static_cast<int>(SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)entry.c_str()));
        };
        const int index = find(text);
        ASSERT_GE(index, 0) << text;
        SendMessageA(list, LB_SETCURSEL, index, 0);
        PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), (LPARAM)list);
        if (!next.empty())
            EXPECT_TRUE(WaitFor([&] { return find(next) > index; })) << "no " << next << " below " << text;
    }
};

// The preliminary documents come in the reader titled with their names, before the wizard;
// the license in the reader after its welcome screen.
TEST_F(LaterScreens, PreliminaryDocumentsThenTheLicenseInTheReader) {
    std::string readme;
    for (int i = 0; i < 30; ++i) readme += "Read me first. ";
    WriteDistFile("readme.txt", readme);
    WriteDistFile("license.txt", "You may use this.\nNothing more.\n");
    WriteScript({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "PrelimMessagesTotal=1",
                 "PrelimMessage1=Hello there", "PrelimDocuExecsTotal=2", "PrelimDocuExec1=readme.txt",
                 "PrelimDocuExec1InternalReader=1", "PrelimDocuExec2=gone.txt",
                 "PrelimDocuExec2InternalReader=1", "DisplayLicense=1", "LicenseFile=license.txt",
                 "DefaultDir=C:\\kvtest\\Acme\\"});
    Start();
    ExpectBox("Hello there", "OK", {"OK"}, false);

    HWND reader = WaitWindowOf(Pid(), "readme"), edit = FindControl(reader, "", "Edit");
    ASSERT_TRUE(edit);
    EXPECT_EQ(TextOf(edit), readme);
    // A long line stays one line, reached with the horizontal scroll bar.
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_TRUE(IsShown(FindControl(reader, "OK", "Button")));
    EXPECT_FALSE(IsShown(FindControl(reader, "Yes", "Button")));
    Shot("readme");
    Click(FindControl(reader, "OK", "Button"));
    // A missing document is named in the reader instead.
    ASSERT_TRUE(reader = WaitWindowOf(Pid(), "gone"));
    EXPECT_EQ(TextOf(FindControl(reader, "", "Edit")), "Could not find the file: " + dist_ + "gone.txt");
    Click(FindControl(reader, "OK", "Button"));
    ASSERT_TRUE(wizard_ = WaitWizard());
    EXPECT_TRUE(Shows(kWelcome));

    Press("&Next >");
    ASSERT_TRUE(reader = WaitWindowOf(Pid(), "License Agreement"));
    EXPECT_TRUE(Shows("Do you agree to ALL the above terms?", kDefaultTimeoutMs, reader));
    EXPECT_TRUE(HasText(ShownTexts(reader), "Use the scroll bars to see the entire document"));
    EXPECT_EQ(TextOf(FindControl(reader, "", "Edit")), "You may use this.\r\nNothing more.\r\n");
    EXPECT_FALSE(HasText(ShownTexts(reader), "OK"));
    Shot("license");
    Click(FindControl(reader, "Yes", "Button"));
    EXPECT_TRUE(Shows(kUpgrade));
    // Back from the destination shows the license again; its close box is a refusal.
    Press("< &Back");
    ASSERT_TRUE(reader = WaitWindowOf(Pid(), "License Agreement"));
    CloseBox(reader);
    EXPECT_EQ(WaitExit(), 1602u);
}

// A folder too long for the Setup folder's files (236 characters with its backslash, where
// Setup\stkit432.dll.kvnew must fit 259) is refused by Next and by the chooser's OK, which stay.
TEST_F(LaterScreens, TooLongFolderRefusedThenTheChooserGivesADrivesRootAndMakesNewFolders) {
    CleanUpFolder("C:\\kvtest\\later_chooser");
    CreateDirectoryA("C:\\kvtest\\later_chooser", nullptr);
    const std::string tooLong = "C:\\kvtest\\later_chooser\\" + std::string(211, 'x') + "\\";
    const std::string refusal = "The destination folder is too long. Setup keeps the files it needs for "
                                "uninstalling in a Setup folder under it, and their names would be longer "
                                "than Windows allows.\r\n\r\nChoose a folder of at most 235 characters.";
    CreateDirectoryA(tooLong.c_str(), nullptr);
    StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "EstablishSetup=1",
                 "DefaultDir=" + tooLong});
    Press("&Next >");
    ASSERT_TRUE(Shows(tooLong));
    Press("&Next >");
    ExpectBox(refusal, "OK", {"OK"}, true);
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_FALSE(HasText(ShownTexts(wizard_), kReady));

    // OK on the root of the drive gives c:\ (no second backslash).
    Press("Change...");
    HWND chooser = WaitWindowOf(Pid(), "Change Folder");
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(Shows("Folder:", kDefaultTimeoutMs, chooser));
    Shot("chooser");
    Click(FindControl(chooser, "OK", "Button"));
    ExpectBox(refusal, "OK");
    ASSERT_TRUE(IsWindow(chooser));
    OpenFolderEntry(chooser, "c:\\", "  kvtest");
    Click(FindControl(chooser, "OK", "Button"));
    EXPECT_TRUE(Shows("c:\\"));

    // New Folder... under the folder, then OK: the new folder is the destination.
    Press("Change...");
    ASSERT_TRUE(chooser = WaitWindowOf(Pid(), "Change Folder"));
    OpenFolderEntry(chooser, "  kvtest", "    later_chooser");
    const auto newFolder = [&](const std::string& name) {
        Click(FindControl(chooser, "New Folder...", "Button"));
        HWND ask = WaitWindowOf(Pid(), "Create New Folder");
        ASSERT_TRUE(ask);
        EXPECT_TRUE(Shows("Enter a name for the folder you wish to create under c:\\kvtest\\later_chooser",
                          kDefaultTimeoutMs, ask));
        EXPECT_EQ(TextOf(FindControl(ask, "", "Edit")), "");
        SetText(FindControl(ask, "", "Edit"), name);
        Click(FindControl(ask, "OK", "Button"));
        // Once the question is gone, the chooser has made the folder and opened it (or says why
        // not) before it takes the next message: an entry opened earlier would be taken while
        // the question is still open, and the new folder opened after it.
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(ask); })) << "the question stays open";
    };
    OpenFolderEntry(chooser, "    later_chooser", "");
    newFolder("Tools. ."); // made and opened without its trailing dot and blank
    OpenFolderEntry(chooser, "      Tools", "");
    // The list shows the new folder; a name that is there already is refused, and the chooser stays open.
    OpenFolderEntry(chooser, "    later_chooser", "      Tools");
    newFolder("Tools");
    ExpectBox(
        "Could not create the folder c:\\kvtest\\later_chooser\\Tools.\r\n\r\nA folder or file with this "
        "name already exists.",
        "OK");
    Shot("new-folder");
    OpenFolderEntry(chooser, "      Tools", "");
    Click(FindControl(chooser, "OK", "Button"));
    EXPECT_TRUE(Shows("c:\\kvtest\\later_chooser\\tools\\"));
    StopAll();
}

} // namespace
} // namespace e2e
