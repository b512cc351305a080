// The folder chooser window: a drive list, a folder list, the drive's free space, and a
// button that makes a new folder. The chosen folder is the window's answer.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "windows/forms/forms.h"

// The text of the free-space label: whole megabytes, "MB of free space on drive ", the
// drive's text in upper case; empty when the free space is "unknown".
std::string FreeSpaceText(std::optional<int64_t> freeBytes, const std::string& driveText);
// Why a destination longer than `longest` characters is refused.
std::string DestinationTooLongText(size_t longest);
// The path of a new folder `name` under `path` (a root already ends in a backslash).
std::string NewFolderPath(const std::string& path, const std::string& name);
// The chooser's answer for the folder list's path: lower case, with a trailing backslash
// unless it is a root.
std::string ChosenFolderOf(const std::string& path);

class ChFolderWindow : public Form {
  public:
    ChFolderWindow() : Form(FormKind::TopLevel) {}

    // The drive list: one entry per drive, "c:" with the volume label in brackets for a
    // fixed drive that has one ("c: [system]").
    class DriveList : public DropDownList {
      public:
        // The current drive's text, as the list shows it.
        std::string Drive() const;
        // Selects the drive named by the first letter of `drive`; runs the change handler
        // when the drive differs from the current one.
        void SetDrive(const std::string& drive);
        void Fill();
        char Letter() const { return letter_; }

      private:
        friend class ChFolderWindow;
        std::vector<char> letters_;
        char letter_ = 0;
        bool quiet_ = false;
    };
    // The folder list in the classic style: the levels of Path from the root down (the
    // current folder last of them), then its subfolders, indented one step further.
    // A double-click opens an entry.
    class FolderList : public ListBox {
      public:
        const std::string& Path() const { return path_; }
        // Opens a folder; false (and nothing changed) when it cannot be read.
        bool SetPath(const std::string& path);
        // Reads the current folder again.
        void Refresh();
        // Full path of entry i of the list.
        std::string EntryPath(int i) const {
            return i >= 0 && i < static_cast<int>(paths_.size()) ? paths_[i] : "";
        }

      private:
        bool Fill(const std::string& path);
        std::string path_;
        std::vector<std::string> paths_;
    };

    Label Label2;
    DriveList Drive1;
    Label Label3;
    FolderList Dir1;
    Label Label1;
    Button Command1;
    Button Command2;
    Button Command3;

    // The answer: the chosen folder in lower case with a trailing backslash (none added to
    // a root such as c:\); empty while the window is open and after Cancel or its close box.
    std::string ChosenFolder;
    // The longest folder that OK accepts.
    size_t LongestFolder = std::string::npos;

    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Sets the free-space text for the drive list's drive.
    void ShowFreeSpace();

  protected:
    void CreateControls() override;
    void OnLoad() override;
    void OnEscape() override;
};

extern ChFolderWindow ChFolderForm;
