// The versioned copy, fonts, quiet deletion and the path tests on Wine's real file
// system, version installer and registry. The versioned files are the fixture DLLs
// verfile_v1.dll, verfile_v2.dll and verfile_v3.dll (file versions 1, 2 and 3).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/file_ops.h"
#include "script/globals.h"
#include "system_test_support.h"
#include "windows/msgbox.h"

namespace {

struct ShownBox {
    std::string text;
    unsigned flags;
    std::string title;
};

// Every message box of a test is recorded and answered with OK.
class MessageBoxWatch {
  public:
    MessageBoxWatch() {
        SetMessageBoxHook([this](const std::string& text, unsigned flags, const std::string& title) {
            boxes.push_back({text, flags, title});
            return IDOK;
        });
    }
    ~MessageBoxWatch() { SetMessageBoxHook(nullptr); }
    std::vector<ShownBox> boxes;
};

// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Fixture(int version) {
    return kvtest::ReadFile(kvtest::ProgramFolder() + "verfile_v" + std::to_string(version) + ".dll");
}

class VersionedCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string root = kvtest::FreshFolder("sys-versioned");
        source_ = root + "src\\";
        dest_ = root + "dest\\";
        CreateDirectoryA(source_.c_str(), nullptr);
        CreateDirectoryA(dest_.c_str(), nullptr);
        for (int v = 1; v <= 3; ++v) ASSERT_FALSE(Fixture(v).empty()) << "fixture verfile_v" << v << ".dll";
        ASSERT_TRUE(Fixture(1) != Fixture(3));
        InstallErrors = false;
    }
    void TearDown() override { InstallErrors = false; }

    // Source folder holding version `v` as verfile.dll.
    void OfferVersion(int v) { kvtest::WriteFile(source_ + "verfile.dll", Fixture(v)); }
    void InstalledVersion(int v) { kvtest::WriteFile(dest_ + "verfile.dll", Fixture(v)); }
    std::string Installed() const { return kvtest::ReadFile(dest_ + "verfile.dll"); }

    std::string source_, dest_;
    MessageBoxWatch watch_;
};

TEST_F(VersionedCopyTest, ANewFileIsCopiedWithoutAMessage) {
    OfferVersion(2);
    InstallVersionedFile(source_, dest_, "verfile.dll", "verfile.dll");
    EXPECT_TRUE(Installed() == Fixture(2));
    EXPECT_TRUE(watch_.boxes.empty());
    EXPECT_FALSE(InstallErrors);
}

TEST_F(VersionedCopyTest, AnOlderFileOnTheComputerIsReplaced) {
    InstalledVersion(1);
    OfferVersion(3);
    InstallVersionedFile(source_, dest_, "verfile.dll", "verfile.dll");
    EXPECT_TRUE(Installed() == Fixture(3));
    EXPECT_TRUE(watch_.boxes.empty());
    EXPECT_FALSE(InstallErrors);
}

TEST_F(VersionedCopyTest, ANewerFileOnTheComputerIsKeptWithoutAMessage) {
    InstalledVersion(3);
    OfferVersion(1);
    InstallVersionedFile(source_, dest_, "verfile.dll", "verfile.dll");
    EXPECT_TRUE(Installed() == Fixture(3));
    EXPECT_TRUE(watch_.boxes.empty());
    EXPECT_FALSE(InstallErrors);
}

// The placeholder gives a new file its short name; the file still ends up under the
// name asked for, also when it is replaced later.
TEST_F(VersionedCopyTest, AFileWithALongNameIsInstalledUnderThatName) {
    OfferVersion(1);
    InstallVersionedFile(source_, dest_, "verfile.dll", "Long Destination Name.dll");
    EXPECT_EQ(FilesIn(dest_), std::vector<std::string>{"Long Destination Name.dll"});
    EXPECT_TRUE(kvtest::ReadFile(dest_ + "Long Destination Name.dll") == Fixture(1));

    OfferVersion(3);
    InstallVersionedFile(source_, dest_, "verfile.dll", "Long Destination Name.dll");
    EXPECT_EQ(FilesIn(dest_), std::vector<std::string>{"Long Destination Name.dll"});
    EXPECT_TRUE(kvtest::ReadFile(dest_ + "Long Destination Name.dll") == Fixture(3));
    EXPECT_TRUE(watch_.boxes.empty());
}

TEST_F(VersionedCopyTest, AFailedCopyIsReportedWithTheInstallersCode) {
    // A missing source file: the installer cannot read it (VIF_CANNOTREADSRC, 0x10000).
    InstallVersionedFile(source_, dest_, "missing.dll", "verfile.dll");
    ASSERT_EQ(watch_.boxes.size(), 1u);
    const ShownBox& box = watch_.boxes[0];
    EXPECT_EQ(box.text,
              "The file " + dest_ +
                  "verfile.dll\r\n"
                  "could not be copied. Make sure that this file is not currently in use by Windows and "
                  "that there is sufficient room on the destination drive.\r\n\r\n"
                  "File Copy Error: &H10000");
    EXPECT_EQ(box.flags, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(box.title, AppTitle);
    EXPECT_TRUE(InstallErrors);
    // The placeholder that gave the new file its short name is gone again.
    EXPECT_FALSE(kvtest::PathExists(dest_ + "verfile.dll"));
}

TEST_F(VersionedCopyTest, AFailureWithErrorCheckOffIsSilent) {
    InstallVersionedFile(source_, dest_, "missing.dll", "verfile.dll", 1);
    EXPECT_TRUE(watch_.boxes.empty());
    EXPECT_FALSE(InstallErrors);
}

class FontTest : public ::testing::Test {
  protected:
    static constexpr const char* kFontsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    void SetUp() override {
        folder_ = kvtest::FreshFolder("sys-fonts");
        InstallErrors = false;
    }
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "KvTest Sans (TrueType)");
            RegDeleteValueA(key, "KvTest Broken (TrueType)");
            RegCloseKey(key);
        }
    }
    static std::string Listed(const char* name) {
        char buffer[MAX_PATH] = {};
        DWORD size = sizeof buffer;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kFontsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
            ERROR_SUCCESS)
            return "<missing>";
        return buffer;
    }
    std::string folder_;
    MessageBoxWatch watch_;
};

TEST_F(FontTest, AFontIsAddedAndListed) {
    std::string font = folder_ + "DejaVuSans.ttf";
    ASSERT_TRUE(CopyFileA((kvtest::ProgramFolder() + "data\\DejaVuSans.ttf").c_str(), font.c_str(), FALSE));
    InstallFont(font, "KvTest Sans (TrueType)");
    EXPECT_TRUE(watch_.boxes.empty());
    EXPECT_EQ(Listed("KvTest Sans (TrueType)"), font);
    RemoveFontResourceA(font.c_str());
}

TEST_F(FontTest, AFileThatIsNoFontIsReportedAndListedAllTheSame) {
    std::string notFont = folder_ + "broken.ttf";
    kvtest::WriteFile(notFont, "this is not a font");
    InstallFont(notFont, "KvTest Broken (TrueType)");
    ASSERT_EQ(watch_.boxes.size(), 1u);
    EXPECT_EQ(watch_.boxes[0].text, "Could not install font: " + notFont);
    EXPECT_EQ(watch_.boxes[0].flags, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(watch_.boxes[0].title, AppTitle);
    EXPECT_EQ(Listed("KvTest Broken (TrueType)"), notFont);
    EXPECT_FALSE(InstallErrors);
}

TEST(DeleteFileQuietlyTest, DeletesEveryMatchingFileAndReportsNothing) {
    std::string folder = kvtest::FreshFolder("sys-delete");
    for (const char* name : {"a.txt", "b.txt", "c.log", "cc.log", "keep.text"})
        kvtest::WriteFile(folder + name, "x");
    CreateDirectoryA((folder + "d.txt").c_str(), nullptr);

    DeleteFileQuietly(folder + "*.txt");
    EXPECT_FALSE(kvtest::PathExists(folder + "a.txt"));
    EXPECT_FALSE(kvtest::PathExists(folder + "b.txt"));
    EXPECT_TRUE(kvtest::PathExists(folder + "keep.text"));
    EXPECT_TRUE(kvtest::PathExists(folder + "d.txt")); // a folder is no file

    DeleteFileQuietly(folder + "?.log");
    EXPECT_FALSE(kvtest::PathExists(folder + "c.log"));
    EXPECT_TRUE(kvtest::PathExists(folder + "cc.log"));

    DeleteFileQuietly(folder + "cc.log");
    EXPECT_FALSE(kvtest::PathExists(folder + "cc.log"));

    // Missing files and folders, and a read-only file (which stays): nothing reported.
    kvtest::WriteFile(folder + "locked.txt", "x");
    SetFileAttributesA((folder + "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFileQuietly(folder + "missing.txt");
    DeleteFileQuietly(folder + "no folder\\*.*");
    DeleteFileQuietly("");
    DeleteFileQuietly(folder + "locked.txt");
    EXPECT_TRUE(kvtest::PathExists(folder + "locked.txt"));
}

TEST(PathTest, FileExistsOnlyForReadableFiles) {
    std::string folder = kvtest::FreshFolder("sys-paths");
    kvtest::WriteFile(folder + "here.txt", "x");
    EXPECT_TRUE(FileExists(folder + "here.txt"));
    EXPECT_TRUE(FileExists(folder + "here.txt\\"));
    EXPECT_FALSE(FileExists(folder + "gone.txt"));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(FolderExists(folder.substr(0, folder.size() - 1)));
    EXPECT_FALSE(FolderExists(folder + "here.txt"));
    EXPECT_FALSE(FolderExists(folder + "none"));
}

TEST(PathTest, ShortPathsOfExistingPathsOnly) {
    std::string folder = kvtest::FreshFolder("sys-paths");
    CreateDirectoryA((folder + "A Long Folder Name").c_str(), nullptr);
    kvtest::WriteFile(folder + "A Long Folder Name\\Some Long File.txt", "x");
    std::string shortPath = GetShortPath(folder + "A Long Folder Name\\Some Long File.txt");
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(kvtest::ReadFile(shortPath), "x");
    EXPECT_EQ(GetShortPath(folder + "not there.txt"), "");
    EXPECT_EQ(GetShortPath(""), "");
}

} // namespace
