// Pass one's file handling (versions, a failed move, fonts, a wildcard destination, the
// destination folder, a read-only distribution, an earlier version removed first) and the
// uninstaller's limit of 255 files.
#include <set>

#include "engine_support.h"

#include "engine/setup_log.h"

using namespace kvtest;

// The versioned DLLs verfile_v1/2/3.dll carry the file versions 1, 2 and 3.
TEST_F(Installation, KeepsNewerFilesAndReportsFailedMovesAndCopies) {
    Prepare("files",
            "[install]\nProductName=Acme Files\nSetupTitle=Acme Files Setup\nEstablishSetup=1\n"
            "MoveFilesTotal=1\nMoveFile1=stuck.txt\nMoveFile1To=x\\y\\stuck.txt\n"
            "TotalFiles=9\nsrcfile1=verfile_v1.dll\ndestfile1=older.dll\n"
            "srcfile2=verfile_v3.dll\ndestfile2=newer.dll\n"
            "srcfile3=verfile_v1.dll\ndestfile3=forced.dll\nsrcfile3Unconditional=1\n"
            "srcfile4=verfile_v3.dll\ndestfile4=kept.dll\nsrcfile4NoOverwrite=1\n"
            "srcfile5=nothere.dll\ndestfile5=quiet.dll\nSrcFile5NoErrorCheck=1\n"
            "srcfile6=nothere.dll\ndestfile6=loud.dll\n"
            "srcfile7=verfile_v2.dll\ndestfile7=p\\q\\deep.dll\n"
            "srcfile8=verfile_v2.dll\ndestfile8=New Long Name.dll\n"
            "srcfile9=broken.ttf\ndestfile9=fonts\\broken.ttf\nDestFileFont9=KvTest Broken (TrueType)\n");
    std::string v[4];
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "verfile_v" + std::to_string(n) + ".dll";
        std::filesystem::copy_file(BinFolder() + name, dist + name);
        v[n] = ReadText(dist + name);
    }
    WriteText(dist + "broken.ttf", "this is not a font");
    for (const char* name : {"older.dll", "newer.dll", "forced.dll"}) WriteText(dest + name, v[2]);
    WriteText(dest + "kept.dll", v[1]);
    WriteText(dest + "stuck.txt", "stuck");

    // Held open without sharing, as a running program holds it: it still exists.
    const HANDLE lock =
        CreateFileA((dest + "kept.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    RunInstallPassOne(session, ui);
    CloseHandle(lock);

    EXPECT_TRUE(ReadText(dest + "older.dll") == v[2]);
    EXPECT_TRUE(ReadText(dest + "newer.dll") == v[3]);
    EXPECT_TRUE(ReadText(dest + "forced.dll") == v[1]);
    EXPECT_TRUE(ReadText(dest + "kept.dll") == v[1]);
    EXPECT_FALSE(IsFile(dest + "p\\q\\deep.dll"));
    EXPECT_EQ(ReadText(dest + "stuck.txt"), "stuck"); // its copy failed, so it stays
    // A file that is no font is reported, and listed all the same.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
                      "KvTest Broken (TrueType)"),
              dest + "fonts\\broken.ttf");

    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, "The file " + dest + "stuck.txt could not be moved to " + dest +
                                 "x\\y\\stuck.txt. It has been left where it was.\r\n\r\nMake sure that the "
                                 "file is not currently in use by Windows and that there is sufficient room "
                                 "on the destination drive.");
    EXPECT_EQ(shown[0].question.kind, MessageKind::Warning);
    EXPECT_EQ(shown[0].title, "Acme Files Setup");
    // The version installer's code: the source could not be read (VIF_CANNOTREADSRC).
    EXPECT_EQ(shown[1].text, "The file " + dest +
                                 "loud.dll\r\ncould not be copied. Make sure that this file is not currently "
                                 "in use by Windows and that there is sufficient room on the destination "
                                 "drive.\r\n\r\nFile Copy Error: &H10000");
    EXPECT_EQ(shown[1].question.kind, MessageKind::Plain);
    EXPECT_EQ(shown[1].title, AppTitle);
    EXPECT_EQ(shown[2].text.rfind("The file " + dest + "p\\q\\deep.dll\r\n", 0), 0u) << shown[2].text;
    EXPECT_EQ(shown[3].text, "Could not install font: " + dest + "fonts\\broken.ttf");
    EXPECT_TRUE(CopyFailed());

    // A move is recorded whatever became of it, and so is every file-list entry.
    const std::string d = Lower(dest);
    Lines records{"destpath=" + d, "uninstallfilestotal=10", "file1=" + d + "x\\y\\stuck.txt"};
    for (const char* name : {"older.dll", "newer.dll", "forced.dll", "kept.dll", "quiet.dll", "loud.dll",
                             "p\\q\\deep.dll", "new long name.dll", "fonts\\broken.ttf"})
        records.push_back("file" + std::to_string(records.size() - 1) + "=" + d + name);
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"), records);
}

// A destination name with * or ? names no file but every file of that form: nothing is copied,
// deleted first or recorded, the user is told as of any failed copy, the log says why, and the
// user's own files that match it stay through the installation and the uninstall.
TEST_F(Installation, AWildcardDestinationIsAFailedCopyAndNeverRecorded) {
    Prepare("wildcard", "[install]\nProductName=Acme Wild\nEstablishSetup=1\nTotalFiles=3\n"
                        "srcfile1=a.txt\ndestfile1=*.doc\nsrcfile1Unconditional=1\n"
                        "srcfile2=a.txt\ndestfile2=Letters\\bank?.txt\nSrcFile2NoErrorCheck=1\n"
                        "srcfile3=a.txt\ndestfile3=a.txt\n");
    WriteText(dist + "a.txt", "a");
    for (const char* name : {"report.doc", "Letters\\bank1.txt"}) WriteText(dest + name, "mine");
    SetupLog log;
    ASSERT_TRUE(log.Open(computer, root + "KavexInstall.log", "setup.exe", dist + "setup.ini"));
    session.log = &log;
    Install();
    const Lines records = SectionLines(InstalledScript(), "uninstall");
    Uninstall(true);
    session.log = nullptr;
    log.Close();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "The file " + dest +
                                 "*.doc\r\ncould not be copied. Make sure that this file is not currently "
                                 "in use by Windows and that there is sufficient room on the destination "
                                 "drive.\r\n\r\nFile Copy Error: &H800");
    EXPECT_TRUE(CopyFailed());
    const std::string d = Lower(dest);
    EXPECT_EQ(records, (Lines{"destpath=" + d, "uninstallfilestotal=1", "file1=" + d + "a.txt"}));
    for (const char* name : {"report.doc", "Letters\\bank1.txt"}) EXPECT_EQ(ReadText(dest + name), "mine");
    EXPECT_FALSE(IsFile(dest + "a.txt"));
    const std::string text = ReadText(root + "KavexInstall.log");
    for (const char* name : {"*.doc", "Letters\\bank?.txt"})
        EXPECT_NE(text.find("failed: copy " + dist + "a.txt to " + dest + name +
                            " (the name holds * or ?, which no file can have; it is not recorded, for its "
                            "record would delete every file that matches it at uninstall): system error 123"),
                  std::string::npos)
            << text;
}

TEST_F(Installation, StopsWithAMessageWhenTheDestinationCannotBeMade) {
    Prepare("destination", "[install]\nProductName=Acme Nowhere\nSetupTitle=Nowhere Setup\nEstablishSetup=1\n"
                           "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n");
    WriteText(dist + "a.txt", "a");
    UseDestination("Q:\\Nowhere\\Acme\\");
    Install();
    EXPECT_TRUE(InstallationStopped());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "The destination folder Q:\\Nowhere\\Acme\\ could not be created. Make sure that "
              "the drive exists and that you may create folders on it.\r\n\r\nThe installation "
              "has been stopped; nothing has been changed on your computer.");
    EXPECT_EQ(shown[0].question.kind, MessageKind::Stop);
    EXPECT_EQ(shown[0].title, "Nowhere Setup");
    EXPECT_TRUE(progress.empty());
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Nowhere"));

    // A level that cannot be made below new ones: the new levels go again, one that was there stays.
    std::filesystem::create_directories(root + "there");
    UseDestination(root + "there\\made\\deeper\\no*name\\Acme\\");
    Install();
    EXPECT_TRUE(InstallationStopped());
    EXPECT_TRUE(std::filesystem::is_directory(root + "there"));
    EXPECT_FALSE(std::filesystem::exists(root + "there\\made"));
}

// A distribution on read-only media (a CD-ROM): the Setup folder's files come out writable, so
// that their second placement at the end and an installation made again replace them, the
// records are written, and nothing is left beside them.
TEST_F(Installation, ReadOnlyDistributionLeavesAWritableSetupFolder) {
    Prepare("read-only", "[install]\nProductName=Acme Read Only\nEstablishSetup=1\n");
    const char* names[] = {"setup.exe", "STKIT432.DLL", "setup.ini"};
    for (const char* name : names) SetFileAttributesA((dist + name).c_str(), FILE_ATTRIBUTE_READONLY);
    for (int run = 1; run <= 2; ++run) {
        Install();
        std::set<std::string> files; // the writable ones
        for (const auto& entry : std::filesystem::directory_iterator(dest + "Setup"))
            if (!(GetFileAttributesA(entry.path().string().c_str()) & FILE_ATTRIBUTE_READONLY))
                files.insert(entry.path().filename().string());
        EXPECT_EQ(files, (std::set<std::string>{"setup.exe", "setup.ini", "stkit432.dll"}))
            << "installation " << run;
        EXPECT_TRUE(shown.empty());
    }
    for (const char* name : names) SetFileAttributesA((dist + name).c_str(), FILE_ATTRIBUTE_NORMAL);
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

    MakeDistribution(root + "dist2\\", script + "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n");
    WriteText(root + "dist2\\a.txt", "v2 a");
    Reset();
    Install();

    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), (ProgressEntry{0, 100, "Removing previous installation..."}));
    EXPECT_FALSE(IsFile(dest + "b.txt"));
    EXPECT_EQ(ReadText(dest + "a.txt"), "v2 a");
    const std::string d = Lower(dest);
    EXPECT_EQ(SectionLines(InstalledScript(), "uninstall"),
              (Lines{"destpath=" + d, "uninstallfilestotal=1", "file1=" + d + "a.txt"}));
    EXPECT_EQ(InstallState(), "installstate=installed");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, ProductKey + "Acme Upgrade", ""), dest);
}

TEST_F(Installation, QuietUninstallRemovesTheFirst255RecordedFiles) {
    std::string script = "[install]\nProductName=Acme Many\nEstablishSetup=1\nTotalFiles=300\n";
    for (int n = 1; n <= 300; ++n) {
        const std::string k = std::to_string(n);
        script += "srcfile" + k + "=f" + k + ".txt\ndestfile" + k + "=files\\f" + k + ".txt\n";
    }
    Prepare("many", script);
    for (int n = 1; n <= 300; ++n) WriteText(dist + "f" + std::to_string(n) + ".txt", std::to_string(n));
    for (const char* name : {"a.log", "b.log", "keep.txt"}) WriteText(dest + "logs\\" + name, name);

    Install();
    // A record written by hand with a wildcard deletes every file that it matches.
    std::string installed = ReadText(InstalledScript());
    const std::string record = "file1=" + Lower(dest) + "files\\f1.txt";
    ASSERT_NE(installed.find(record), std::string::npos);
    WriteText(InstalledScript(), installed.replace(installed.find(record), record.size(),
                                                   "file1=" + Lower(dest) + "logs\\*.log"));

    Uninstall(true);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(IsFile(dest + "logs\\a.log") || IsFile(dest + "logs\\b.log"));
    EXPECT_TRUE(IsFile(dest + "logs\\keep.txt"));
    for (int n = 1; n <= 300; ++n)
        EXPECT_EQ(IsFile(dest + "files\\f" + std::to_string(n) + ".txt"), n == 1 || n > 255) << n;
    EXPECT_EQ(InstallState(), "installstate=uninstalled");
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, ProductKey + "Acme Many"));
}
