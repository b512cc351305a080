// The folder chooser ("Change Folder").
#include "wizard/folder_chooser.h"

#include <windows.h>

#include <cmath>

#include "script/text.h"
#include "script/values.h"
#include "system/file_system.h"
#include "system/letter_case.h"
#include "windows/msgbox.h"
#include "system/folder_listing.h"
#include "wizard/seeker.h"
#include "wizard/input_box.h"
#include "wizard/screen_actions.h"

ChFolderWindow ChFolderForm;

std::string FreeSpaceText(std::optional<int64_t> freeBytes, const std::string& driveText) {
    if (!freeBytes) return {};
    const double megabytes = std::trunc(static_cast<double>(*freeBytes) / 1024 / 1024);
    return TrimBlanks(LeadingBlankNumber(megabytes)) + "MB of free space on drive " + UpperCase(driveText);
}

std::string DestinationTooLongText(size_t longest) {
    return "The destination folder is too long. Setup keeps the files it needs for uninstalling in a Setup "
           "folder under it, and their names would be longer than Windows allows.\r\n\r\nChoose a folder "
           "of at most " +
           std::to_string(longest) + " characters.";
}

std::string NewFolderPath(const std::string& path, const std::string& name) {
    return path.size() > 3 ? path + "\\" + name : path + name;
}

std::string ChosenFolderOf(const std::string& path) {
    return SystemLowerCase(path.size() > 3 ? path + "\\" : path);
}

namespace {

// Why a folder could not be made, for the user.
std::string CreateFolderFailure(DWORD error) {
    switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return "A folder or file with this name already exists.";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return "You do not have permission to create a folder here.";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILENAME_EXCED_RANGE:
        return "The name is not valid for a folder.";
    default:
        return "The system reported error " + std::to_string(error) + ".";
    }
}

} // namespace

// --- Drive list ------------------------------------------------------------------------

void ChFolderWindow::DriveList::Fill() {
    Clear();
    letters_.clear();
    for (const DriveEntry& drive : ListDrives()) {
        const char letter = static_cast<char>(drive.letter - 'A' + 'a');
        std::string text{letter, ':'};
        if (drive.type == DRIVE_FIXED && !drive.label.empty()) text += " [" + drive.label + "]";
        letters_.push_back(letter);
        AddItem(text);
    }
}

std::string ChFolderWindow::DriveList::Drive() const {
    for (size_t i = 0; i < letters_.size(); ++i)
        if (letters_[i] == letter_) return List(static_cast<int>(i));
    return letter_ ? std::string{letter_, ':'} : std::string();
}

void ChFolderWindow::DriveList::SetDrive(const std::string& drive) {
    if (drive.empty()) return;
    const char letter = static_cast<char>(LowerCase(drive.substr(0, 1))[0]);
    for (size_t i = 0; i < letters_.size(); ++i) {
        if (letters_[i] != letter) continue;
        if (letter == letter_) return;     // the same drive: no change
        SetListIndex(static_cast<int>(i)); // runs the change handler (Click)
        return;
    }
}

// --- Folder list -----------------------------------------------------------------------

bool ChFolderWindow::FolderList::Fill(const std::string& path) {
    FolderListing listing;
    if (!ReadFolderListing(path, listing)) return false;
    SortListing(listing);

    // The levels of the path: "c:\", then each folder on the way down.
    std::vector<std::string> levels;
    std::vector<std::string> names;
    std::string root = path.substr(0, 3);
    levels.push_back(root);
    names.push_back(LowerCase(root));
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            levels.push_back(path.substr(0, end));
            names.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    Clear();
    paths_.clear();
    for (size_t i = 0; i < levels.size(); ++i) {
        AddItem(std::string(i * 2, ' ') + names[i]);
        paths_.push_back(levels[i]);
    }
    const std::string base = path.size() > 3 ? path + "\\" : path;
    for (const auto& folder : listing.folders) {
        AddItem(std::string(levels.size() * 2, ' ') + folder);
        paths_.push_back(base + folder);
    }
    // The current folder is the selected entry (without running the click handler).
    auto click = std::move(Click);
    SetListIndex(static_cast<int>(levels.size()) - 1);
    Click = std::move(click);
    return true;
}

bool ChFolderWindow::FolderList::SetPath(const std::string& path) {
    // Paths are kept without a trailing backslash, except a root (c:\).
    std::string clean = path;
    if (clean.size() == 2 && clean[1] == ':') clean += '\\';
    while (clean.size() > 3 && clean.back() == '\\') clean.pop_back();
    if (clean.size() < 3 || clean[1] != ':' || clean[2] != '\\') return false;
    if (!Fill(clean)) return false;
    path_ = clean;
    return true;
}

void ChFolderWindow::FolderList::Refresh() {
    if (!path_.empty()) Fill(path_);
}

// --- The window ------------------------------------------------------------------------

void ChFolderWindow::CreateControls() {
    SetCaption("Change Folder");
    SetClientSize(4815, 3840);
    AddControl(Label2, nullptr, 120, 120, 3000, 240, "Drive:");
    AddControl(Drive1, nullptr, 120, 360, 3105, 2400);
    AddControl(Label3, nullptr, 120, 780, 3000, 240, "Folder:");
    AddControl(Dir1, nullptr, 120, 1020, 3105, 2340);
    AddControl(Label1, nullptr, 120, 3450, 4575, 255);
    AddControl(Command1, nullptr, 3480, 360, 1215, 375, "OK");
    AddControl(Command2, nullptr, 3480, 840, 1215, 375, "Cancel");
    AddControl(Command3, nullptr, 3480, 1320, 1215, 375, "New Folder...");
    Command1.SetDefault(true);

    Drive1.Click = [this] {
        const int i = Drive1.ListIndex();
        if (i < 0 || static_cast<size_t>(i) >= Drive1.letters_.size()) return;
        if (Drive1.letters_[i] == Drive1.letter_) return;
        Drive1.letter_ = Drive1.letters_[i];
        Drive1_Change();
    };
    Dir1.DblClick = [this] {
        const std::string target = Dir1.EntryPath(Dir1.ListIndex());
        if (!target.empty() && Dir1.SetPath(target)) Dir1_Change();
    };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
}

void ChFolderWindow::OnLoad() {
    ChosenFolder.clear();
    // Like the platform's drive and folder lists, the window starts on the current folder.
    Drive1.Fill();
    std::string current = CurrentFolder();
    if (current.empty()) current = "C:\\";
    Drive1.letter_ = static_cast<char>(LowerCase(current.substr(0, 1))[0]);
    for (size_t i = 0; i < Drive1.letters_.size(); ++i)
        if (Drive1.letters_[i] == Drive1.letter_) {
            auto click = std::move(Drive1.Click);
            Drive1.SetListIndex(static_cast<int>(i));
            Drive1.Click = std::move(click);
        }
    Dir1.SetPath(current);
    ShowFreeSpace();
    MoveTo((ScreenWidthTwips() - Width()) / 2, (ScreenHeightTwips() - Height()) / 2);
}

void ChFolderWindow::OnEscape() {
    Command2_Click();
}

void ChFolderWindow::ShowFreeSpace() {
    Label1.SetCaption(FreeSpaceText(DriveFreeBytes(std::string{Drive1.Letter(), ':'}), Drive1.Drive()));
}

void ChFolderWindow::Drive1_Change() {
    const char letter = Drive1.Letter();
    const bool opened = Dir1.SetPath(DriveCurrentFolder(letter));
    ShowFreeSpace();
    if (opened) {
        Dir1_Change();
        return;
    }
    MsgBox("That Drive is not available", MB_OK);
    // Back to drive C. Should C itself be unreadable, the lists stay as they are rather
    // than asking again and again.
    if (letter != 'c') Drive1.SetDrive("c:");
}

void ChFolderWindow::Dir1_Change() {
    // The chosen folder becomes the process's current folder (and its drive the current drive).
    SetCurrentFolder(Dir1.Path());
}

void ChFolderWindow::Command1_Click() {
    const std::string chosen = ChosenFolderOf(Dir1.Path());
    if (chosen.size() > LongestFolder) {
        MsgBox(DestinationTooLongText(LongestFolder), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ChosenFolder = chosen;
    Unload();
}

void ChFolderWindow::Command2_Click() {
    ChosenFolder.clear();
    Unload();
}

void ChFolderWindow::Command3_Click() {
    const std::string path = Dir1.Path();
    const std::string answer =
        InputBox("Enter a name for the folder you wish to create under " + path, "Create New Folder", "");
    if (answer.empty()) return;
    // The folder's name as the system stores it, without trailing dots and blanks.
    std::string newPath = StoredFolderPath(NewFolderPath(path, answer) + "\\");
    newPath.pop_back();
    // A folder that cannot be made is reported, and the window stays open for another try.
    DWORD error = 0;
    if (answer.find_first_of("\\/:*?\"<>|") != std::string::npos ||
        answer.find_first_not_of(". ") == std::string::npos)
        error = ERROR_INVALID_NAME;
    else if (!CreateOneFolder(newPath))
        error = GetLastError();
    if (error != 0) {
        MsgBox("Could not create the folder " + newPath + "." + "\r\n" + "\r\n" + CreateFolderFailure(error),
               MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SetCurrentFolder(newPath);
    Drive1.SetDrive(newPath.substr(0, 3));
    Dir1.SetPath(newPath);
    Dir1.Refresh();
    ShowFreeSpace();
}

// The wizard's "Change..." button: the chooser opened on a drive and folder.
std::string ShowFolderChooser(const std::string& drive, const std::string& folder, size_t longest) {
    try {
        ChFolderForm.LongestFolder = longest;
        ChFolderForm.Load();
        // From here on a failure is passed over and the next step runs.
        try {
            if (!drive.empty()) ChFolderForm.Drive1.SetDrive(drive);
        } catch (...) {
        }
        try {
            if (!folder.empty() && ChFolderForm.Dir1.SetPath(folder)) ChFolderForm.Dir1_Change();
        } catch (...) {
        }
        ChFolderForm.ShowModal();
    } catch (...) {
        ChFolderForm.Unload();
    }
    return ChFolderForm.ChosenFolder;
}
