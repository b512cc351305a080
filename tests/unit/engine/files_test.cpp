// Pass one's file handling (versions, failed moves and copies, fonts, a wildcard destination),
// the uninstaller's limit of 255 files, scripts that no author means to write, and the lines
// that a run writes into its log.
#include <algorithm>
#include <sstream>

#include "engine_fixture.h"

using namespace kvtest;
using EngineFiles = EngineTest;

TEST_F(EngineFiles, KeepsNewerFilesAndReportsFailedMovesAndCopies) {
    Prepare("files",
            "[install]\nProductName=Acme Files\nSetupTitle=Acme Files Setup\nEstablishSetup=1\n"
            "MoveFilesTotal=1\nMoveFile1=stuck.txt\nMoveFile1To=x\\y\\stuck.txt\n"
            "TotalFiles=9\nsrcfile1=v1.dll\ndestfile1=older.dll\n"
            "srcfile2=v3.dll\ndestfile2=newer.dll\n"
            "srcfile3=v1.dll\ndestfile3=forced.dll\nsrcfile3Unconditional=1\n"
            "srcfile4=v3.dll\ndestfile4=kept.dll\nsrcfile4NoOverwrite=1\n"
            "srcfile5=nothere.dll\ndestfile5=quiet.dll\nSrcFile5NoErrorCheck=1\n"
            "srcfile6=nothere.dll\ndestfile6=loud.dll\n"
            "srcfile7=v2.dll\ndestfile7=p\\q\\deep.dll\n"
            "srcfile8=v2.dll\ndestfile8=New Long Name.dll\n"
            "srcfile9=broken.ttf\ndestfile9=fonts\\broken.ttf\nDestFileFont9=KvTest Broken (TrueType)\n",
            {"broken.ttf"});
    std::string v[4];
    for (int n = 1; n <= 3; ++n) { // file versions n.0.0.0
        pc.AddFile(dist + "v" + std::to_string(n) + ".dll", "version " + std::to_string(n),
                   uint64_t(n) << 48);
        v[n] = Text(dist + "v" + std::to_string(n) + ".dll");
    }
    for (const char* name : {"older.dll", "newer.dll", "forced.dll"}) pc.AddFile(dest + name, v[2]);
    pc.AddFile(dest + "kept.dll", v[1]);
    pc.SetFileInUse(dest + "kept.dll"); // held open by a running program: it still exists
    pc.AddFile(dest + "stuck.txt", "stuck");
    RunInstallPassOne(session, *this);

    EXPECT_EQ(Text(dest + "older.dll"), v[2]);
    EXPECT_EQ(Text(dest + "newer.dll"), v[3]);
    EXPECT_EQ(Text(dest + "forced.dll"), v[1]);
    EXPECT_EQ(Text(dest + "kept.dll"), v[1]);
    EXPECT_EQ(Text(dest + "New Long Name.dll"), v[2]);
    EXPECT_FALSE(IsFile(dest + "p\\q\\deep.dll"));
    EXPECT_EQ(Text(dest + "stuck.txt"), "stuck"); // its copy failed, so it stays
    // A file that is no font is reported, and listed all the same.
    EXPECT_EQ(Reg(RegHKeyLocalMachine, FontsKey, "KvTest Broken (TrueType)"), dest + "fonts\\broken.ttf");

    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, "The file " + dest + "stuck.txt could not be moved to " + dest +
                                 "x\\y\\stuck.txt. It has been left where it was.\r\n\r\nMake sure that the "
                                 "file is not currently in use by Windows and that there is sufficient room "
                                 "on the destination drive.");
    EXPECT_EQ(shown[0].question.kind, MessageKind::Warning);
    EXPECT_EQ(shown[0].title, "Acme Files Setup");
    // The version installer's code: the source could not be read.
    const std::string copyFailed =
        "\r\ncould not be copied. Make sure that this file is not currently in use by "
        "Windows and that there is sufficient room on the destination drive.\r\n\r\n";
    EXPECT_EQ(shown[1].text, "The file " + dest + "loud.dll" + copyFailed + "File Copy Error: &H10000");
    EXPECT_EQ(shown[1].question.kind, MessageKind::Plain);
    EXPECT_EQ(shown[1].title, AppTitle);
    EXPECT_EQ(shown[2].text.rfind("The file " + dest + "p\\q\\deep.dll" + copyFailed, 0), 0u)
        << shown[2].text;
    EXPECT_EQ(shown[3].text, "Could not install font: " + dest + "fonts\\broken.ttf");
    EXPECT_TRUE(session.installErrors);

    // A move is recorded whatever became of it, and so is every file-list entry.
    const std::string d = FoldName(dest);
    Lines records{"destpath=" + d, "uninstallfilestotal=10", "file1=" + d + "x\\y\\stuck.txt"};
    for (const char* name : {"older.dll", "newer.dll", "forced.dll", "kept.dll", "quiet.dll", "loud.dll",
                             "p\\q\\deep.dll", "new long name.dll", "fonts\\broken.ttf"})
        records.push_back("file" + std::to_string(records.size() - 1) + "=" + d + name);
    EXPECT_EQ(Records(), records);
}

// A destination name with * or ? names no file but every file of that form: nothing is copied,
// deleted first or recorded, the user is told as of any failed copy, the log says why, and the
// user's own files that match it stay through the installation and the uninstall.
TEST_F(EngineFiles, AWildcardDestinationIsAFailedCopyAndNeverRecorded) {
    Prepare("wildcard",
            "[install]\nProductName=Acme Wild\nEstablishSetup=1\nTotalFiles=3\n"
            "srcfile1=a.txt\ndestfile1=*.doc\nsrcfile1Unconditional=1\n"
            "srcfile2=a.txt\ndestfile2=Letters\\bank?.txt\nSrcFile2NoErrorCheck=1\nsrcfile3=a.txt\ndestfile3="
            "a.txt\n",
            {"a.txt"});
    for (const char* name : {"report.doc", "Letters\\bank1.txt"}) pc.AddFile(dest + name, "mine");
    MemoryLog log;
    session.log = &log;
    Install();
    const Lines records = Records();
    Uninstall(true);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "The file " + dest +
                                 "*.doc\r\ncould not be copied. Make sure that this file is not currently "
                                 "in use by Windows and that there is sufficient room on the destination "
                                 "drive.\r\n\r\nFile Copy Error: &H800");
    EXPECT_TRUE(session.installErrors);
    const std::string d = FoldName(dest);
    EXPECT_EQ(records, (Lines{"destpath=" + d, "uninstallfilestotal=1", "file1=" + d + "a.txt"}));
    for (const char* name : {"report.doc", "Letters\\bank1.txt"}) EXPECT_EQ(Text(dest + name), "mine");
    EXPECT_FALSE(IsFile(dest + "a.txt"));
    for (const char* name : {"*.doc", "Letters\\bank?.txt"})
        EXPECT_EQ(
            std::count(log.lines.begin(), log.lines.end(),
                       "failed: copy " + dist + "a.txt to " + dest + name +
                           " (the name holds * or ?, which no file can have; it is not recorded, for its "
                           "record would delete every file that matches it at uninstall): system error 123"),
            1);
}

TEST_F(EngineFiles, QuietUninstallRemovesTheFirst255RecordedFiles) {
    std::string script = "[install]\nProductName=Acme Many\nEstablishSetup=1\nTotalFiles=300\n";
    Lines files;
    for (int n = 1; n <= 300; ++n) {
        const std::string k = std::to_string(n);
        script += "srcfile" + k + "=f" + k + ".txt\ndestfile" + k + "=files\\f" + k + ".txt\n";
        files.push_back("f" + k + ".txt");
    }
    Prepare("many", script, files);
    for (const char* name : {"a.log", "b.log", "keep.txt"}) pc.AddFile(dest + "logs\\" + name, name);
    Install();
    // A record written by hand with a wildcard deletes every file that it matches.
    std::string installed = Text(dest + "Setup\\setup.ini");
    const std::string record = "file1=" + FoldName(dest) + "files\\f1.txt";
    ASSERT_NE(installed.find(record), std::string::npos);
    pc.AddFile(dest + "Setup\\setup.ini", installed.replace(installed.find(record), record.size(),
                                                            "file1=" + FoldName(dest) + "logs\\*.log"));

    EXPECT_EQ(Uninstall(true), UninstallOutcome::Removed);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(IsFile(dest + "logs\\a.log") || IsFile(dest + "logs\\b.log"));
    EXPECT_TRUE(IsFile(dest + "logs\\keep.txt"));
    for (int n = 1; n <= 300; ++n)
        EXPECT_EQ(IsFile(dest + "files\\f" + std::to_string(n) + ".txt"), n == 1 || n > 255) << n;
    EXPECT_EQ(InstallState(), "installstate=uninstalled");
    EXPECT_FALSE(KeyThere(RegHKeyLocalMachine, ProductKey + "Acme Many"));
}

namespace {

// TotalFiles and the items of those numbers, copying a.txt, b.txt, c.txt in turn.
std::string FileList(const char* total, std::vector<int> numbers) {
    std::string script = std::string("[install]\nTotalFiles=") + total + "\n";
    for (size_t i = 0; i < numbers.size(); ++i) {
        const std::string n = std::to_string(numbers[i]), file = std::string(1, char('a' + i)) + ".txt";
        script += "srcfile" + n + "=" + file + "\ndestfile" + n + "=" + file + "\n";
    }
    return script;
}

} // namespace

// Scripts that no author means to write end the installation normally: a huge file, counts
// far beyond the items given, counts that are no whole numbers, several macros in one path.
TEST_F(EngineFiles, HostileScriptsEndNormally) {
    std::string tenMegabytes = "[filler]\n";
    for (int i = 0; tenMegabytes.size() < 10 << 20; ++i)
        tenMegabytes += "key" + std::to_string(i) + "=" + std::string(60, 'v') + "\n";
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"ten-megabytes", tenMegabytes + FileList("1", {1}), "a.txt"},
        {"most-missing", FileList("3000", {1, 3000}), "a.txt b.txt"},
        // Taken as the longest list there can be, 32767 items.
        {"1E300", FileList("1E300", {1, 32767, 32768}), "a.txt b.txt"},
        // All 32 bits set: -1, an empty list.
        {"all-bits", FileList("&HFFFFFFFF", {1}), ""},
        // Rounded half to even: two items.
        {"two-and-a-half", FileList("2.5", {1, 2, 3}), "a.txt b.txt"},
        // Only the first macro of the fixed order is expanded; the other stays in the name.
        {"two-macros", "[install]\nTotalFiles=1\nsrcfile1=a.txt\ndestfile1=%default%x%windows%a.txt\n",
         "x%windows%a.txt"},
    };
    for (const auto& [name, script, copied] : cases) {
        SCOPED_TRACE(name);
        Prepare(name, script, {"a.txt", "b.txt", "c.txt"});
        EXPECT_TRUE(Install());
        std::string installed;
        for (const std::string& file : pc.Files())
            if (file.starts_with(dest))
                installed += (installed.empty() ? "" : " ") + file.substr(dest.size());
        EXPECT_EQ(installed, copied);
    }
}

// The log names what an installation did and every action that failed.
TEST_F(EngineFiles, SetupLogNamesInstalledFilesAndEveryFailure) {
    Prepare("log",
            "[install]\nTotalFiles=3\nsrcfile1=a.txt\ndestfile1=a.txt\nsrcfile2=missing.dll\n"
            "destfile2=missing.dll\nsrcfile3=bad.ttf\ndestfile3=bad.ttf\nDestFileFont3=Kavex Log Test Font\n"
            // 12345 names no registry root: the key cannot be written.
            "TotalRegKeys=1\nRegKeyRoot1=12345\nRegKeySubKey1=Software\\KavexLogTest\n"
            // A shortcut name with a backslash is refused by the toolkit.
            "TotalShortcuts=1\nShortcut1=a.txt\nShortcut1Desc=bad\\name\nShortcut1Folder=KavexLogTest\n",
            {"a.txt", "bad.ttf"});
    MemoryLog log;
    pc.SetLogHostPath("/dev/null");
    ASSERT_TRUE(log.Open(pc, "C:\\TEMP\\KavexInstall.log", "setup.exe", dist + "setup.ini"));
    session.log = &log;
    Install();
    EXPECT_EQ(Lines(log.lines.begin(), log.lines.begin() + 3),
              (Lines{"==== KavexInstall 2000-01-01 12:00:00", "command line: setup.exe",
                     "script: " + dist + "setup.ini"}));
    const Lines expected{
        "installed: " + dest + "a.txt",
        "failed: copy " + dist + "missing.dll to " + dest +
            "missing.dll (version installer result &H10000): system "
            "error 2: The system cannot find the file specified.",
        "installed: " + dest + "bad.ttf",
        "failed: add font " + dest + "bad.ttf",
        "failed: create registry key 12345\\Software\\KavexLogTest: system error 6: The handle is invalid.",
        "failed: make the shortcut KavexLogTest\\bad\\name to " + dest + "a.txt"};
    Lines found;
    for (const std::string& line : log.lines)
        if (line.starts_with("installed") || line.starts_with("failed")) found.push_back(line);
    EXPECT_EQ(found, expected);
}
