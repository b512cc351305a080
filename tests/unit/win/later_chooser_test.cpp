// The folder chooser: its answer, the free-space text and the New Folder... button.
#include <gtest/gtest.h>

#include "later_support.h"
#include "script/text.h"
#include "windows/msgbox.h"
#include "wizard/folder_chooser.h"
#include "wizard/later_parts.h"

using namespace kvtest;

TEST(FolderChooser, AnswerAndFreeSpaceTexts) {
    EXPECT_EQ(ChosenFolderOf("C:\\Program Files\\Acme"), "c:\\program files\\acme\\");
    EXPECT_EQ(ChosenFolderOf("D:\\"), "d:\\");
    EXPECT_EQ(NewFolderPath("C:\\", "Tools"), "C:\\Tools");
    EXPECT_EQ(NewFolderPath("C:\\Apps", "Tools"), "C:\\Apps\\Tools");
    EXPECT_EQ(FreeSpaceText(" 52428800", "c: [system]"), "50MB of free space on drive C: [SYSTEM]");
    EXPECT_EQ(FreeSpaceText(" 1048575", "c:"), "0MB of free space on drive C:");
    EXPECT_EQ(FreeSpaceText("unknown", "c:"), "");
}

// Answers the "Create New Folder" box with `name` (empty: presses Cancel).
static void AnswerNewFolder(const std::string& name) {
    WindowAnswerer answerer("Create New Folder", [&](HWND hwnd) {
        if (name.empty()) {
            ClickButton(hwnd, "Cancel");
            return;
        }
        SetWindowTextA(FindWindowExA(hwnd, nullptr, "Edit", nullptr), name.c_str());
        ClickButton(hwnd, "OK");
    });
    ChFolderForm.Command3_Click();
    answerer.Join();
    EXPECT_TRUE(answerer.found);
}

TEST(FolderChooser, NewFolderIsMadeUnderTheFolderAndSelected) {
    const std::string folder = FreshFolder("later_chooser");
    const std::string apps = folder + "Apps";
    CreateDirectoryA(apps.c_str(), nullptr);
    ChFolderForm.Load();
    EXPECT_EQ(ChosenFolder, "");
    ASSERT_TRUE(ChFolderForm.Dir1.SetPath(apps));

    std::string prompt;
    {
        WindowAnswerer answerer("Create New Folder", [&](HWND hwnd) {
            HWND label =
                FindControl(hwnd, "Static", "Enter a name for the folder you wish to create under " + apps);
            prompt = label ? WindowText(label) : "";
            EXPECT_EQ(WindowText(FindWindowExA(hwnd, nullptr, "Edit", nullptr)), "");
            SetWindowTextA(FindWindowExA(hwnd, nullptr, "Edit", nullptr), "Tools");
            ClickButton(hwnd, "OK");
        });
        ChFolderForm.Command3_Click();
    }
    EXPECT_EQ(prompt, "Enter a name for the folder you wish to create under " + apps);
    EXPECT_NE(GetFileAttributesA((apps + "\\Tools").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ChFolderForm.Dir1.Path(), apps + "\\Tools");

    // Cancelled or empty: nothing is made, the folder stays.
    AnswerNewFolder("");
    EXPECT_EQ(ChFolderForm.Dir1.Path(), apps + "\\Tools");

    // A name that exists already is reported, and the window stays open.
    ChFolderForm.Dir1.SetPath(apps);
    std::vector<std::string> messages;
    SetMessageBoxHook([&](const std::string& text, unsigned, const std::string& title) {
        messages.push_back(title + "|" + text);
        return IDOK;
    });
    AnswerNewFolder("Tools");
    AnswerNewFolder("a:b");
    SetMessageBoxHook(nullptr);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::string(AppTitle) + "|Could not create the folder " + apps +
                               "\\Tools.\r\n\r\nA folder or file with this name already exists.");
    EXPECT_EQ(messages[1], std::string(AppTitle) + "|Could not create the folder " + apps +
                               "\\a:b.\r\n\r\nThe name is not valid for a folder.");
    EXPECT_TRUE(ChFolderForm.Loaded());
    EXPECT_EQ(ChFolderForm.Dir1.Path(), apps);

    // OK hands back the folder in lower case with a trailing backslash.
    ChFolderForm.Command1_Click();
    EXPECT_FALSE(ChFolderForm.Loaded());
    EXPECT_EQ(ChosenFolder, LowerCase(apps) + "\\");
}

TEST(FolderChooser, OpensOnTheGivenFolderAndCancelLeavesNoChoice) {
    const std::string folder = FreshFolder("later_chooser2");
    CreateDirectoryA((folder + "Beta").c_str(), nullptr);
    CreateDirectoryA((folder + "alpha").c_str(), nullptr);
    std::vector<std::string> entries;
    std::string freeSpace;
    WindowAnswerer answerer("Change Folder", [&](HWND hwnd) {
        HWND list = FindWindowExA(hwnd, nullptr, "ListBox", nullptr);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[512] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        ClickButton(hwnd, "Cancel");
    });
    ShowFolderChooser("C:\\", folder.substr(0, folder.size() - 1));
    answerer.Join();
    EXPECT_EQ(ChosenFolder, "");
    // The path's levels, then the subfolders in alphabetical order.
    const std::vector<std::string> expected = {"c:\\", "  kvtest", "    later_chooser2", "      alpha",
                                               "      Beta"};
    EXPECT_EQ(entries, expected);
}

TEST(FolderChooser, UnreadableDriveIsReportedOnceAndTheListsReturnToC) {
    // A drive letter bound to a folder that does not exist stands for an empty disk drive.
    ASSERT_TRUE(DefineDosDeviceA(0, "Q:", "C:\\kvtest\\later_no_such_folder"));
    ASSERT_TRUE(GetLogicalDrives() & (1u << ('Q' - 'A')));
    SetCurrentDirectoryA("C:\\kvtest");
    ChFolderForm.Load();
    std::vector<std::string> messages;
    SetMessageBoxHook([&](const std::string& text, unsigned flags, const std::string& title) {
        messages.push_back(title + "|" + text + "|" + std::to_string(flags));
        return IDOK;
    });
    ChFolderForm.Drive1.SetDrive("q:");
    SetMessageBoxHook(nullptr);
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, "Q:", nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{std::string(AppTitle) + "|That Drive is not available|0"});
    EXPECT_EQ(ChFolderForm.Drive1.Letter(), 'c');
    EXPECT_EQ(ChFolderForm.Dir1.Path(), "C:\\kvtest");
    ChFolderForm.Command2_Click();
    EXPECT_EQ(ChosenFolder, "");
}
