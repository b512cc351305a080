#include <fstream>

#include <gtest/gtest.h>

#include "engine/simulated/simulated_computer.h"

namespace {

std::string Kinds(const SimulatedComputer& pc) {
    std::string kinds;
    for (const JournalEntry& entry : pc.Journal()) kinds += entry.kind + " ";
    return kinds;
}

} // namespace

TEST(SimulatedFiles, NamesFoldersAndAttributes) {
    SimulatedComputer pc;
    EXPECT_FALSE(pc.CreateOneFolder("C:\\Acme\\Bin"));
    EXPECT_EQ(pc.LastError(), SystemError::PathNotFound);
    EXPECT_TRUE(pc.CreateOneFolder("C:\\Acme\\"));
    EXPECT_FALSE(pc.CreateOneFolder("c:/ACME"));
    EXPECT_EQ(pc.LastError(), SystemError::AlreadyExists);
    EXPECT_FALSE(pc.CreateWholeFolder("Q:\\One\\Two"));
    EXPECT_FALSE(pc.FolderExists("Q:\\One"));
    EXPECT_TRUE(pc.CreateWholeFolder("C:\\Acme\\Bin\\Deep"));
    pc.AddFile("C:\\Acme\\ReadMe.Txt", "hello", {}, true);
    EXPECT_TRUE(pc.FileCanBeRead("c:\\acme\\README.TXT\\"));
    EXPECT_FALSE(pc.FileIsListed("C:\\Acme\\Bin"));
    EXPECT_FALSE(pc.DeleteOneFile("C:\\Acme\\readme.txt"));
    EXPECT_EQ(pc.LastError(), SystemError::AccessDenied);
    EXPECT_TRUE(pc.CopyFileOver("C:\\Acme\\readme.txt", "C:\\Acme\\Copy.txt"));
    EXPECT_TRUE(pc.IsReadOnly("C:\\Acme\\copy.txt")); // a copy keeps the attribute
    EXPECT_TRUE(pc.ReplaceWithCopy("C:\\Acme\\readme.txt", "C:\\Acme\\copy.txt"));
    EXPECT_FALSE(pc.IsReadOnly("C:\\Acme\\copy.txt"));
    pc.SetFileInUse("C:\\Acme\\copy.txt");
    EXPECT_FALSE(pc.DeleteOneFile("C:\\Acme\\copy.txt"));
    EXPECT_EQ(pc.LastError(), SimulatedError::SharingViolation);
    EXPECT_FALSE(pc.RenameFile("C:\\Acme\\readme.txt", "C:\\Acme\\COPY.TXT"));
    EXPECT_EQ(pc.LastError(), SystemError::AlreadyExists);
    EXPECT_EQ(pc.Files(), (std::vector<std::string>{"C:\\Acme\\copy.txt", "C:\\Acme\\ReadMe.Txt"}));
    EXPECT_EQ(Kinds(pc), "folder folder folder copy replace ");
}

TEST(SimulatedFiles, ShortNamesTunnellingAndMatching) {
    SimulatedComputer pc;
    pc.AddFolder("C:\\Program Files");
    EXPECT_EQ(pc.ShortPath("c:\\program files\\"), "c:\\PROGRA~1\\");
    pc.AddFile("C:\\Program Files\\Long Name.html");
    pc.AddFile("C:\\Program Files\\LongNa+me.htm");
    pc.AddFile("C:\\Program Files\\short.txt");
    EXPECT_EQ(pc.ShortNameInFolder("C:\\PROGRA~1\\Long Name.html"), "LONGNA~1.HTM");
    EXPECT_EQ(pc.ShortNameInFolder("C:\\Program Files\\longna+me.htm"), "LONGNA~2.HTM");
    EXPECT_EQ(pc.ShortNameInFolder("C:\\Program Files\\SHORT.TXT"), "short.txt");
    EXPECT_EQ(pc.MatchingFiles("C:\\Program Files\\*.htm").size(), 2u); // one by its short name
    EXPECT_EQ(pc.MatchingFiles("C:\\Program Files\\short.*").size(), 1u);
    EXPECT_EQ(pc.MatchingFiles("C:\\Program Files\\sh?rt.tx?").size(), 1u);
    EXPECT_TRUE(pc.MatchingFiles("C:\\Program Files\\*.").empty());
    // The engine's way to a short name: a placeholder, deleted, then a file made under the
    // short name, which gets the long name back.
    ASSERT_TRUE(pc.CreatePlaceholderFile("C:\\Program Files\\Library Part.dll"));
    EXPECT_EQ(pc.ShortNameInFolder("C:\\Program Files\\Library Part.dll"), "LIBRAR~1.DLL");
    ASSERT_TRUE(pc.DeleteOneFile("C:\\Program Files\\Library Part.dll"));
    pc.AddFile("C:\\dist\\lib.dll", "new");
    EXPECT_EQ(pc.InstallVersionedFile("lib.dll", "LIBRAR~1.DLL", "C:\\dist", "C:\\PROGRA~1"), 0u);
    EXPECT_EQ(pc.FileBytes("C:\\Program Files\\Library Part.dll"), "new");
    // A distribution on the host's disk has no short names: its folder's short form is its path.
    SimulatedComputer host({.readHostFiles = true});
    const std::string folder = testing::TempDir();
    std::ofstream(folder + "kv_host_part.dll") << "host";
    EXPECT_EQ(host.ShortPath(folder), folder);
    host.AddFolder("C:\\app");
    EXPECT_EQ(host.InstallVersionedFile("kv_host_part.dll", "part.dll", host.ShortPath(folder), "C:\\app"),
              0u);
    EXPECT_EQ(host.FileBytes("C:\\app\\part.dll"), "host");
    std::remove((folder + "kv_host_part.dll").c_str());
}

TEST(SimulatedFiles, VersionInstallerAndNewFileCopies) {
    SimulatedComputer pc;
    pc.AddDrive('D', 250);
    pc.AddFile("C:\\src\\a.dll", "old-bytes", 0x0001000200000000);
    pc.AddFile("C:\\src\\b.dll", "new-bytes", 0x0001000300000000);
    pc.AddFile("C:\\src\\big.bin", std::string(300, 'x'));
    pc.AddFolder("D:\\app");
    EXPECT_EQ(pc.CopyIntoNewFile("C:\\src\\b.dll", "D:\\app\\a.dll"), NewFileCopy::Made);
    EXPECT_EQ(pc.CopyIntoNewFile("C:\\src\\a.dll", "D:\\app\\a.dll"), NewFileCopy::NameTaken);
    EXPECT_EQ(pc.CopyIntoNewFile("C:\\src\\big.bin", "D:\\app\\big.bin"), NewFileCopy::NoRoom);
    EXPECT_EQ(pc.LastError(), SystemError::DiskFull);
    EXPECT_FALSE(pc.FileIsListed(TemporaryCopyName("D:\\app\\big.bin")));
    const uint32_t older = pc.InstallVersionedFile("a.dll", "a.dll", "C:\\src", "D:\\app");
    EXPECT_TRUE(older & VersionResult::SourceIsOlder);
    EXPECT_EQ(pc.MatchingFiles("D:\\app\\VER*.tmp").size(), 1u); // left as Windows leaves it
    EXPECT_EQ(pc.FileBytes("D:\\app\\a.dll")->substr(0, 9), "new-bytes");
    EXPECT_EQ(pc.InstallVersionedFile("big.bin", "big.bin", "C:\\src", "D:\\app"), VersionResult::OutOfSpace);
    EXPECT_EQ(pc.InstallVersionedFile("none.dll", "a.dll", "C:\\src", "D:\\app"),
              VersionResult::CannotReadSource);
    EXPECT_EQ(pc.InstallVersionedFile("b.dll", "x.dll", "C:\\src", "D:\\none"), VersionResult::CannotCreate);
    pc.SetFileInUse("D:\\app\\a.dll");
    EXPECT_EQ(pc.InstallVersionedFile("b.dll", "a.dll", "C:\\src", "D:\\app"),
              SimulatedVersionResult::FileInUse);
    pc.SetFileInUse("D:\\app\\a.dll", false);
    pc.AddFile("C:\\dest\\ro.dll", "x", {}, true);
    EXPECT_EQ(pc.InstallVersionedFile("b.dll", "ro.dll", "C:\\src", "C:\\dest"),
              SimulatedVersionResult::WriteProtected);
}

TEST(SimulatedRegistry, KeysValuesAndTheClassesView) {
    SimulatedComputer pc;
    EXPECT_EQ(pc.SetValue(RegHKeyLocalMachine, "SOFTWARE\\Acme", "x", "1", 1), 2);
    EXPECT_EQ(pc.CreateKey(RegHKeyLocalMachine, "SOFTWARE\\Acme\\Sub"), 0);
    EXPECT_EQ(pc.SetValue(RegHKeyLocalMachine, "software\\ACME", "", "  padded  ", 1), 0);
    EXPECT_EQ(pc.SetValue(RegHKeyLocalMachine, "software\\acme", "n", "4294967296", 4), 0);
    EXPECT_FALSE(pc.ReadNumber(RegHKeyLocalMachine, "SOFTWARE\\Acme", "n"));
    EXPECT_EQ(pc.SetValue(RegHKeyLocalMachine, "software\\acme", "n", "-1", 4), 0);
    EXPECT_EQ(pc.ReadNumber(RegHKeyLocalMachine, "SOFTWARE\\Acme", "N"), 0xFFFFFFFFu);
    EXPECT_EQ(pc.ReadString(RegHKeyLocalMachine, "SOFTWARE\\Acme", ""), "padded  ");
    EXPECT_EQ(pc.SetValue(RegHKeyLocalMachine, "SOFTWARE\\Acme", "long", std::string(255, 'a'), 1), 0);
    EXPECT_EQ(pc.ReadString(RegHKeyLocalMachine, "SOFTWARE\\Acme", "long"), "");
    EXPECT_EQ(pc.DeleteKey(RegHKeyLocalMachine, " \\ "), 2);
    EXPECT_EQ(pc.DeleteKey(0, "SOFTWARE"), 2);
    EXPECT_EQ(pc.RegistryDump().front(), "HKEY_LOCAL_MACHINE\\SOFTWARE");
    EXPECT_EQ(pc.DeleteKey(RegHKeyLocalMachine, "SOFTWARE\\ACME"), 0);
    EXPECT_FALSE(pc.KeyIsEmpty(RegHKeyLocalMachine, "SOFTWARE\\Acme\\Sub"));
    EXPECT_TRUE(pc.KeyIsEmpty(RegHKeyLocalMachine, "SOFTWARE"));
    // Classes: written to the machine's part unless the key is only the user's; the user's wins.
    pc.CreateKey(RegHKeyClassesRoot, ".acme");
    pc.SetValue(RegHKeyClassesRoot, ".acme", "", "machine", 1);
    EXPECT_EQ(pc.ReadString(RegHKeyLocalMachine, "SOFTWARE\\Classes\\.acme", ""), "machine");
    pc.CreateKey(RegHKeyCurrentUser, "Software\\Classes\\.user");
    pc.SetValue(RegHKeyClassesRoot, ".user", "", "user", 1);
    EXPECT_EQ(pc.ReadString(RegHKeyCurrentUser, "Software\\Classes\\.user", ""), "user");
    pc.CreateKey(RegHKeyCurrentUser, "Software\\Classes\\.acme");
    EXPECT_EQ(pc.ReadString(RegHKeyClassesRoot, ".acme", ""), "");
}

TEST(SimulatedScripts, ReadAndWriteAsTheProgramDoes) {
    SimulatedComputer pc;
    pc.AddFile("C:\\app\\setup.ini", "[Files]\r\nOne = \"a b\" \r\n");
    EXPECT_EQ(pc.ReadScript("c:\\APP\\setup.ini", "files", "ONE"), "a b");
    EXPECT_TRUE(pc.WriteScript("C:\\app\\setup.ini", "Files", "Two", "2"));
    EXPECT_TRUE(pc.WriteScript("C:\\app\\setup.ini", "Files", "one", "1"));
    EXPECT_EQ(pc.FileBytes("C:\\app\\setup.ini"), "[Files]\r\nOne = 1 \r\nTwo=2\r\n");
    EXPECT_FALSE(pc.WriteScript("C:\\none\\x.ini", "A", "B", "C"));
    // Thousands of keys appended stay quick: each append parses only itself.
    for (int i = 0; i < 20000; ++i) pc.WriteScript("C:\\app\\log.ini", "Files", "F" + std::to_string(i), "x");
    EXPECT_EQ(pc.ReadScript("C:\\app\\log.ini", "Files", "F19999"), "x");
    pc.CopyFileOver("C:\\app\\setup.ini", "C:\\app\\log.ini"); // a changed file is read again
    EXPECT_EQ(pc.ReadScript("C:\\app\\log.ini", "Files", "F1"), "");
}
