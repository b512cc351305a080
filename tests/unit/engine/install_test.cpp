// A whole installation and its removal, checked file by file, key by key and line by line in the
// installed script; the removal of an earlier installation; a destination that cannot be made; a
// distribution on read-only media.
#include <tuple>

#include "engine_fixture.h"

using namespace kvtest;
using Installation = EngineTest;

namespace {

const std::string FullScript =
    "[install]\nProductName=Acme Tools\nSetupTitle=Acme Tools Setup\nEstablishSetup=1\n"
    "KillFilesTotal=2\nKillFile1=old*.dll\nKillFile2=%default%obsolete.txt\n"
    "KillRegKeysTotal=1\nKillRegKey1Root=&H80000001\nKillRegKey1Folder=Software\\KvEngineTest\\Old\n"
    "MoveFilesTotal=1\nMoveFile1=notes.txt\nMoveFile1To=docs\\notes.txt\n"
    "TotalFiles=6\nsrcfile1=readme.txt\ndestfile1=readme.txt\n"
    "srcfile2=guide.txt\ndestfile2=docs\\guide.txt\n"
    "srcfile3=\ndestfile3=never.txt\n"
    "srcfile4=settings.ini\ndestfile4=data\\settings.ini\nsrcfile4NoOverwrite=1\n"
    "srcfile5=tool.txt\ndestfile5=tool.txt\nsrcfile5NoUninstall=1\n"
    "srcfile6=Sans.ttf\ndestfile6=fonts\\Test.TTF\nsrcfile6NoUninstall=1\n"
    "DestFileFont6=KvEngineTest Sans (TrueType)\n"
    "TotalOcxs=2\nOcxSrc1=comp.ocx\nOcxDest1=comp.ocx\n"
    "OcxSrc2=missing.ocx\nOcxDest2=missing.ocx\nOcxSrc2NoErrorCheck=1\n"
    "TotalRegKeys=4\nRegKeyRoot1=&H80000001\nRegKeySubKey1=Software\\KvEngineTest\\Acme\\Settings\n"
    "RegKeyValueName1=Folder\nRegKeyValue1=data\\\nRegKeyValueIsPath1=1\n"
    "RegKeyUninstall1=Software\\KvEngineTest\\Acme\n"
    "RegKeyRoot2=-2147483647\nRegKeySubKey2=Software\\KvEngineTest\\Acme\\Settings\nRegKeyValue2=Plain\n"
    "RegKeyRoot3=&H80000001\nRegKeySubKey3=Software\\KvEngineTest\\Acme\\Empty\n"
    "RegKeyValueName3=Nothing\nRegKeyValue3=\n"
    "RegKeyRoot4=&H80000001\nRegKeySubKey4=Software\\KvEngineTest\\Acme\\Literal\n"
    "RegKeyValueName4=Path\nRegKeyValue4=data\\\n"
    "TotalRegExts=2\nRegExt1=.KVT\nRegExt1key=KvEngineTest.Doc\nRegExt1Desc=Acme Document\n"
    "RegExt1ShellNew=1\nRegExt1IsShortcut=1\nRegExt1Icon=tool.txt,1\n"
    "RegExt1Commands=open|%windows%notepad.exe\" \"%1\"|print|%windows%notepad.exe\" /p \"%1\"\n"
    "RegExt2=.kvu\nRegExt2key=KvEngineTest.Other\nRegExt2Desc=Other\nRegExt2Commands=edit|tool.txt|view\n"
    "TotalShortcuts=2\nDefaultShortcutFolder=Acme Tools Test\n"
    "Shortcut1=readme.txt\nShortcut1Desc=Acme Readme\n"
    "Shortcut2=%windows%notepad.exe\nShortcut2Desc=Acme Guide\nShortcut2Folder=Acme Tools Test\\Documents\n";

} // namespace

TEST_F(Installation, InstallsRecordsAndUninstallsAProductBesideAnother) {
    Prepare("full", FullScript, {"readme.txt", "guide.txt", "settings.ini", "tool.txt", "comp.ocx"});
    const std::string font = std::string("\0\1\0\0", 4) + "glyphs";
    pc.AddFile(dist + "Sans.ttf", font);
    for (const char* name : {"oldA.dll", "oldB.dll", "other.dll", "obsolete.txt", "notes.txt"})
        pc.AddFile(dest + name, name);
    pc.AddFile(dest + "data\\settings.ini", "user=1");
    Put(RegHKeyCurrentUser, "Software\\KvEngineTest\\Old", "x", "1");
    Put(RegHKeyCurrentUser, "Software\\KvEngineTest\\Keep", "x", "1");
    Put(RegHKeyClassesRoot, "KvEngineTest.Doc\\shell\\oldverb\\command", "", "old");
    // Another product's entries, which no step may touch.
    Put(RegHKeyLocalMachine, ProductKey + "Other Product", "", "C:\\Other\\");
    Put(RegHKeyLocalMachine, UninstallKey + "Other Product", "DisplayName", "Other Product");

    ASSERT_TRUE(Install());
    EXPECT_TRUE(shown.empty()) << shown.front().text;
    const Lines expected{
        "1/9 Deleting: " + dest + "old*.dll",          "2/9 Deleting: " + dest + "obsolete.txt",
        "3/9 Moving: " + dest + "docs\\notes.txt",     "4/9 Copying: " + dest + "readme.txt",
        "5/9 Copying: " + dest + "docs\\guide.txt",    "6/9 Copying: " + dest + "never.txt",
        "6/9 Copying: " + dest + "data\\settings.ini", "7/9 Copying: " + dest + "tool.txt",
        "8/9 Copying: " + dest + "fonts\\Test.TTF"};
    EXPECT_EQ(progress, expected);

    // Files: kill list, move, copies, the user's settings kept, the font registered.
    for (const char* gone : {"oldA.dll", "oldB.dll", "obsolete.txt", "notes.txt", "never.txt"})
        EXPECT_FALSE(IsFile(dest + gone)) << gone;
    EXPECT_EQ(Text(dest + "other.dll"), "other.dll");
    EXPECT_EQ(Text(dest + "docs\\notes.txt"), "notes.txt");
    EXPECT_EQ(Text(dest + "docs\\guide.txt"), "shipped guide.txt");
    EXPECT_EQ(Text(dest + "data\\settings.ini"), "user=1");
    EXPECT_EQ(Text(dest + "comp.ocx"), "shipped comp.ocx");
    EXPECT_EQ(Text(dest + "fonts\\Test.TTF"), font);
    EXPECT_EQ(Reg(RegHKeyLocalMachine, FontsKey, "KvEngineTest Sans (TrueType)"), dest + "fonts\\Test.TTF");
    EXPECT_EQ(Text(dest + "Setup\\setup.exe"), "program of " + dist);
    EXPECT_EQ(Text(dest + "Setup\\stkit432.dll"), "library of " + dist);
    // Only the component on the computer is registered, by its short path, and not waited for.
    EXPECT_EQ(started, Lines{dist + "regsvr32.exe C:\\full\\PROGRA~1\\ACMETO~1\\comp.ocx"});

    // Registry entries, file types, shortcuts and the product's keys, key by key.
    const std::string acme = "Software\\KvEngineTest\\Acme\\", doc = "KvEngineTest.Doc";
    const std::string other = "KvEngineTest.Other", notepad = "\"%windows%\\notepad.exe\"";
    const RegRoot user = RegHKeyCurrentUser, classes = RegHKeyClassesRoot, machine = RegHKeyLocalMachine;
    const std::tuple<RegRoot, std::string, const char*, std::optional<std::string>> values[] = {
        {user, acme + "Settings", "Folder", dest + "data\\"},
        {user, acme + "Settings", "", "Plain"},
        {user, acme + "Empty", "Nothing", std::nullopt},
        {user, acme + "Literal", "Path", "data\\"},
        {classes, ".KVT", "", "KvEngineTest.Doc"},
        {classes, ".KVT\\ShellNew", "NullFile", ""},
        {classes, doc, "", "Acme Document"},
        {classes, doc, "IsShortcut", ""},
        {classes, doc + "\\DefaultIcon", "", dest + "tool.txt,1"},
        {classes, doc + "\\shell\\open\\command", "", notepad + " \"%1\""},
        {classes, doc + "\\shell\\print\\command", "", notepad + " /p \"%1\""},
        {classes, other + "\\DefaultIcon", "", dest},
        {classes, other, "IsShortcut", std::nullopt},
        {classes, other + "\\shell\\edit\\command", "", "\"" + dest + "tool.txt"},
        {machine, ProductKey + "Acme Tools", "", dest},
        {machine, UninstallKey + "Acme Tools", "DisplayName", "Acme Tools"},
        {machine, UninstallKey + "Acme Tools", "UninstallString", dest + "Setup\\setup.exe uninstall"},
        {machine, UninstallKey + "Acme Tools", "QuietUninstallString",
         "\"" + dest + "Setup\\setup.exe\" uninstall quiet"}};
    for (const auto& [root, key, name, value] : values) EXPECT_EQ(Reg(root, key, name), value) << key << name;
    EXPECT_TRUE(KeyThere(user, acme + "Empty"));
    EXPECT_FALSE(KeyThere(user, "Software\\KvEngineTest\\Old"));
    EXPECT_TRUE(KeyThere(classes, doc + "\\shell\\oldverb")); // a verb the script does not name
    for (const std::string& gone : {std::string(".kvu\\ShellNew"), other + "\\shell\\view"})
        EXPECT_FALSE(KeyThere(classes, gone)) << gone;
    const Lines links{"Acme Tools Test\\Documents|Acme Guide", "Acme Tools Test|Acme Readme"};
    const auto linksLeft = [&] {
        Lines left;
        for (const std::string& file : pc.Files())
            if (file.find('|') != std::string::npos) left.push_back(file);
        return left;
    };
    EXPECT_EQ(linksLeft(), links);

    // What the uninstaller will read, line by line.
    const std::string d = FoldName(dest);
    const Lines records{"destpath=" + d,
                        "uninstallfilestotal=4",
                        "file1=" + d + "docs\\notes.txt",
                        "file2=" + d + "readme.txt",
                        "file3=" + d + "docs\\guide.txt",
                        "file4=" + d + "data\\settings.ini",
                        "ext1=.kvt",
                        "ext2=.kvu",
                        "shortcut1=acme readme",
                        "shortcutfolder1=acme tools test",
                        "shortcut2=acme guide",
                        "shortcutfolder2=acme tools test\\documents"};
    EXPECT_EQ(Records(), records);
    EXPECT_EQ(InstallState(), "installstate=installed");

    // Answer No: nothing changes.
    answer = Answer::No;
    EXPECT_EQ(Uninstall(false), UninstallOutcome::Declined);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Are you sure you want to remove Acme Tools from your computer!?");
    EXPECT_TRUE(shown[0].question.choices == Choices::YesNo &&
                shown[0].question.kind == MessageKind::Warning && shown[0].question.noByDefault);
    EXPECT_EQ(shown[0].title, "Acme Tools Setup");
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
    EXPECT_EQ(InstallState(), "installstate=installed");

    // Answer Yes: every recorded item goes, everything else stays.
    answer = Answer::Yes;
    Reset();
    EXPECT_EQ(Uninstall(false), UninstallOutcome::Removed);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text.substr(0, 46), "Acme Tools has been successfully uninstalled.\r");
    EXPECT_EQ(started, Lines{"%windows%\\EXPLORER.EXE /n,/e," + d});
    for (const char* gone : {"docs\\notes.txt", "readme.txt", "docs\\guide.txt", "data\\settings.ini"})
        EXPECT_FALSE(IsFile(dest + gone)) << gone;
    for (const char* kept : {"tool.txt", "other.dll", "comp.ocx", "fonts\\Test.TTF", "Setup\\setup.exe"})
        EXPECT_TRUE(IsFile(dest + kept)) << kept;
    EXPECT_FALSE(KeyThere(user, "Software\\KvEngineTest\\Acme"));
    EXPECT_TRUE(KeyThere(user, "Software\\KvEngineTest\\Keep"));
    for (const char* type : {".KVT", ".kvu", "KvEngineTest.Other"})
        EXPECT_FALSE(KeyThere(classes, type)) << type;
    // Of a type that held another program's verb, only that verb is left.
    EXPECT_EQ(Contents(classes, doc), std::make_pair(1, 0));
    EXPECT_EQ(Contents(classes, doc + "\\shell"), std::make_pair(1, 0));
    EXPECT_EQ(Reg(classes, doc + "\\shell\\oldverb\\command", ""), "old");
    EXPECT_EQ(linksLeft(), Lines{});
    EXPECT_FALSE(KeyThere(machine, ProductKey + "Acme Tools"));
    EXPECT_FALSE(KeyThere(machine, UninstallKey + "Acme Tools"));
    EXPECT_EQ(Reg(machine, ProductKey + "Other Product", ""), "C:\\Other\\");
    EXPECT_TRUE(KeyThere(machine, UninstallKey + "Other Product"));
    EXPECT_EQ(InstallState(), "installstate=uninstalled");
    EXPECT_EQ(Records(), records);

    // A second run asks, then ends without touching anything.
    pc.AddFile(dest + "readme.txt", "again");
    Reset();
    EXPECT_EQ(Uninstall(false), UninstallOutcome::AlreadyRemoved);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(IsFile(dest + "readme.txt"));
}

// The earlier installation's own uninstaller, run from its Setup folder (with this
// distribution's program put there first), removes it before anything else is done.
TEST_F(Installation, RemovesThePreviousVersionBeforeInstallingOverIt) {
    const std::string script = "[install]\nProductName=Acme Upgrade\nEstablishSetup=1\nRemovePrev=1\n";
    Prepare("upgrade",
            script + "TotalFiles=2\nsrcfile1=a.txt\ndestfile1=a.txt\nsrcfile2=b.txt\ndestfile2=b.txt\n",
            {"a.txt", "b.txt"});
    ASSERT_TRUE(Install());
    ASSERT_TRUE(IsFile(dest + "b.txt"));
    Lines runs;
    pc.SetProgramRunner([&](const std::string& commandLine) {
        runs.push_back(commandLine + " after " + progress.back() + " with " +
                       Text(dest + "Setup\\setup.exe"));
        EXPECT_EQ(Uninstall(true), UninstallOutcome::Removed);
    });
    Distribute("C:\\upgrade\\dist2\\", script + "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n");
    pc.AddFile(dist + "a.txt", "v2 a");
    Reset();
    ASSERT_TRUE(Install());

    EXPECT_EQ(runs, Lines{dest +
                          "Setup\\setup.exe uninstall quiet ignoreprev after 0/100 Removing previous "
                          "installation... with program of " +
                          dist});
    EXPECT_FALSE(IsFile(dest + "b.txt"));
    EXPECT_EQ(Text(dest + "a.txt"), "v2 a");
    const std::string d = FoldName(dest);
    EXPECT_EQ(Records(), (Lines{"destpath=" + d, "uninstallfilestotal=1", "file1=" + d + "a.txt"}));
    EXPECT_EQ(InstallState(), "installstate=installed");
    EXPECT_EQ(Reg(RegHKeyLocalMachine, ProductKey + "Acme Upgrade", ""), dest);
}

TEST_F(Installation, StopsWithAMessageWhenTheDestinationCannotBeMade) {
    Prepare("nowhere",
            "[install]\nProductName=Acme Nowhere\nSetupTitle=Nowhere Setup\nEstablishSetup=1\n"
            "TotalFiles=1\nsrcfile1=a.txt\ndestfile1=a.txt\n",
            {"a.txt"});
    const std::vector<JournalEntry> before = pc.Journal();
    session.destDir = "Q:\\Nowhere\\Acme\\";
    EXPECT_FALSE(Install());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "The destination folder Q:\\Nowhere\\Acme\\ could not be created. Make sure that "
              "the drive exists and that you may create folders on it.\r\n\r\nThe installation "
              "has been stopped; nothing has been changed on your computer.");
    EXPECT_EQ(shown[0].question.kind, MessageKind::Stop);
    EXPECT_EQ(shown[0].title, "Nowhere Setup");
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(pc.Journal().size(), before.size());

    // A level that cannot be made below new ones: the new levels go again, one that was there stays.
    pc.AddFolder("C:\\nowhere\\there");
    const std::vector<std::string> folders = pc.AllFolders();
    session.destDir = "C:\\nowhere\\there\\made\\deeper\\no*name\\Acme\\";
    EXPECT_FALSE(Install());
    EXPECT_EQ(pc.AllFolders(), folders);
}

// A distribution on read-only media (a CD-ROM): the Setup folder's files come out writable, so
// that their second placement at the end and an installation made again replace them.
TEST_F(Installation, ReadOnlyDistributionLeavesAWritableSetupFolder) {
    Prepare("read-only", "[install]\nProductName=Acme Read Only\nEstablishSetup=1\n");
    for (const char* name : {"setup.exe", "STKIT432.DLL", "setup.ini"})
        pc.AddFile(dist + name, Text(dist + name), {}, true);
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(Install());
        Lines writable;
        for (const std::string& file : pc.Files())
            if (file.starts_with(dest + "Setup\\") && !pc.IsReadOnly(file)) writable.push_back(file);
        EXPECT_EQ(writable,
                  (Lines{dest + "Setup\\setup.exe", dest + "Setup\\setup.ini", dest + "Setup\\stkit432.dll"}))
            << "installation " << run;
        EXPECT_EQ(Text(dest + "Setup\\stkit432.dll"), "library of " + dist);
        EXPECT_EQ(InstallState(), "installstate=installed");
        EXPECT_TRUE(shown.empty());
    }
}
