// Pass one's file handling: versions, moves, the destination folder, the removal of an
// earlier version, and an installation without a Setup folder.
#include "engine_support.h"

using namespace enginetest;

namespace {
const std::string ProductKey = "SOFTWARE\\Kavex Software\\";
const std::string UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void ForgetProduct(const std::string& name) {
    RegRemove(HKEY_LOCAL_MACHINE, ProductKey + name);
    RegRemove(HKEY_LOCAL_MACHINE, UninstallKey + name);
}
} // namespace

TEST_F(Installation, KeepsNewerFilesMovesFilesAndReportsFailedCopies) {
    Prepare("files", R"([install]
ProductName=Acme Files
SetupTitle=Acme Files Setup
EstablishSetup=1
MoveFilesTotal=3
MoveFile1=moveme.txt
MoveFile1To=moved\moveme.txt
MoveFile2=absent.txt
MoveFile2To=absent2.txt
MoveFile3=stuck.txt
MoveFile3To=x\y\stuck.txt
TotalFiles=7
srcfile1=verfile_v1.dll
destfile1=older.dll
srcfile2=verfile_v3.dll
destfile2=newer.dll
srcfile3=verfile_v1.dll
destfile3=forced.dll
srcfile3Unconditional=1
srcfile4=verfile_v3.dll
destfile4=kept.dll
srcfile4NoOverwrite=1
srcfile5=nothere.dll
destfile5=quiet.dll
SrcFile5NoErrorCheck=1
srcfile6=nothere.dll
destfile6=loud.dll
srcfile7=verfile_v2.dll
destfile7=p\q\deep.dll
)");
    for (const char* v : {"verfile_v1.dll", "verfile_v2.dll", "verfile_v3.dll"})
        std::filesystem::copy_file(BinFolder() + v, dist + v);
    const std::string v1 = ReadText(dist + "verfile_v1.dll"), v2 = ReadText(dist + "verfile_v2.dll"),
                      v3 = ReadText(dist + "verfile_v3.dll");
    for (const char* name : {"older.dll", "newer.dll", "forced.dll"}) WriteText(dest + name, v2);
    WriteText(dest + "kept.dll", v1);
    WriteText(dest + "moveme.txt", "move me");
    WriteText(dest + "stuck.txt", "stuck");

    RunInstallPassOne();

    EXPECT_EQ(ReadText(dest + "older.dll"), v2);
    EXPECT_EQ(ReadText(dest + "newer.dll"), v3);
    EXPECT_EQ(ReadText(dest + "forced.dll"), v1);
    EXPECT_EQ(ReadText(dest + "kept.dll"), v1);
    EXPECT_FALSE(IsFile(dest + "quiet.dll") || IsFile(dest + "loud.dll") || IsFile(dest + "p\\q\\deep.dll"));
    EXPECT_FALSE(IsFile(dest + "moveme.txt"));
    EXPECT_EQ(ReadText(dest + "moved\\moveme.txt"), "move me");
    EXPECT_EQ(ReadText(dest + "stuck.txt"), "stuck"); // its copy failed, so it stays

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text,
              "The file " + dest + "stuck.txt could not be moved to " + dest +
                  "x\\y\\stuck.txt. It has been left where it was.\r\n\r\nMake sure that the file is "
                  "not currently in use by Windows and that there is sufficient room on the "
                  "destination drive.");
    EXPECT_EQ(shown[0].flags, unsigned(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(shown[0].title, "Acme Files Setup");
    EXPECT_EQ(shown[1].text.rfind("The file " + dest + "loud.dll", 0), 0u) << shown[1].text;
    EXPECT_EQ(shown[2].text.rfind("The file " + dest + "p\\q\\deep.dll", 0), 0u) << shown[2].text;
    EXPECT_TRUE(InstallErrors);

    // Moves are recorded whatever became of them, and so is every file-list entry.
    const std::string d = Lower(dest);
    std::vector<std::string> records{"destpath=" + d, "file1=" + d + "moved\\moveme.txt",
                                     "file2=" + d + "absent2.txt", "file3=" + d + "x\\y\\stuck.txt"};
    int k = 4;
    for (const char* name :
         {"older.dll", "newer.dll", "forced.dll", "kept.dll", "quiet.dll", "loud.dll", "p\\q\\deep.dll"})
        records.push_back("file" + std::to_string(k++) + "=" + d + name);
    records.push_back("uninstallfilestotal=10");
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);
}

TEST_F(Installation, MakesTheWholeDestinationOrStopsWithAMessage) {
    Prepare("destination", "[install]\nProductName=Acme Nowhere\nSetupTitle=Nowhere Setup\nEstablishSetup=1\n"
                           "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n");
    WriteText(dist + "a.txt", "a");
    DestDir = root + "deep\\er\\than\\before\\";
    Install();
    EXPECT_FALSE(InstallationStopped());
    EXPECT_EQ(ReadText(DestDir + "a.txt"), "a");
    EXPECT_TRUE(shown.empty());
    ForgetProduct("Acme Nowhere");

    DestDir = "Q:\\Nowhere\\Acme\\";
    progress.clear();
    Install();
    EXPECT_TRUE(InstallationStopped());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "The destination folder Q:\\Nowhere\\Acme\\ could not be created. Make sure that the "
              "drive exists and that you may create folders on it.\r\n\r\nThe installation has been "
              "stopped; nothing has been changed on your computer.");
    EXPECT_EQ(shown[0].flags, unsigned(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(shown[0].title, "Nowhere Setup");
    EXPECT_TRUE(progress.empty());
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Nowhere"));
}

TEST_F(Installation, WithoutSetupFolderRegistersButRecordsNothing) {
    Prepare("plain", R"([install]
ProductName=Acme Plain
RemovePrev=1
TotalFiles=1
srcfile1=a.txt
destfile1=a.txt
TotalRegExts=1
RegExt1=.kvp
RegExt1key=KvEngineTest.Plain
TotalShortcuts=1
Shortcut1=a.txt
Shortcut1Desc=Acme Plain Test
)");
    WriteText(dist + "a.txt", "a");
    Install();
    EXPECT_EQ(progress, (std::vector<ProgressEntry>{{1, 1, "Copying: " + dest + "a.txt"}}));
    EXPECT_FALSE(std::filesystem::exists(dest + "Setup"));
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".kvp", ""), "KvEngineTest.Plain");
    EXPECT_TRUE(IsFile(ProgramsFolder() + "Acme Plain Test.lnk"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Plain"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, UninstallKey + "Acme Plain"));
    DeleteFileA((ProgramsFolder() + "Acme Plain Test.lnk").c_str());
    RegRemove(HKEY_CLASSES_ROOT, ".kvp");
    RegRemove(HKEY_CLASSES_ROOT, "KvEngineTest.Plain");
}

// Runs the real setup.exe from the earlier installation's Setup folder.
TEST_F(Installation, RemovesThePreviousVersionBeforeInstallingOverIt) {
    const std::string script = "[install]\nProductName=Acme Upgrade\nEstablishSetup=1\nRemovePrev=1\n";
    Prepare("upgrade",
            script + "TotalFiles=2\nsrcfile1=a.txt\ndestfile1=a.txt\nsrcfile2=b.txt\ndestfile2=b.txt\n");
    WriteText(dist + "a.txt", "v1 a");
    WriteText(dist + "b.txt", "v1 b");
    Install();
    ASSERT_TRUE(IsFile(dest + "b.txt"));

    const std::string dist2 = root + "dist2\\";
    std::filesystem::create_directories(dist2);
    for (const char* name : {"setup.exe", "STKIT432.DLL"})
        std::filesystem::copy_file(BinFolder() + name, dist2 + name);
    WriteText(dist2 + "setup.ini", script + "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n");
    WriteText(dist2 + "a.txt", "v2 a");
    SourceDir = dist2;
    progress.clear();
    Install();

    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), (ProgressEntry{0, 100, "Removing previous installation..."}));
    EXPECT_FALSE(IsFile(dest + "b.txt"));
    EXPECT_EQ(ReadText(dest + "a.txt"), "v2 a");
    const std::string d = Lower(dest);
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"),
              (std::vector<std::string>{"destpath=" + d, "file1=" + d + "a.txt", "uninstallfilestotal=1"}));
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=installed");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Acme Upgrade", ""), dest);

    // The new version's own uninstaller removes it.
    Uninstall(true);
    EXPECT_FALSE(IsFile(dest + "a.txt"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Upgrade"));
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=uninstalled");
    ForgetProduct("Acme Upgrade");
}
