// The setup log names what an installation did and every action that failed.
#include "engine_support.h"

#include "engine/setup_log.h"

using namespace kvtest;

namespace {

TEST_F(Installation, SetupLogNamesInstalledFilesAndEveryFailure) {
    Prepare("log",
            "[install]\nTotalFiles=3\nsrcfile1=a.txt\ndestfile1=a.txt\nsrcfile2=missing.dll\n"
            "destfile2=missing.dll\nsrcfile3=bad.ttf\ndestfile3=bad.ttf\nDestFileFont3=Kavex Log Test Font\n"
            // 12345 names no registry root: the key cannot be written.
            "TotalRegKeys=1\nRegKeyRoot1=12345\nRegKeySubKey1=Software\\KavexLogTest\n"
            // A shortcut name with a backslash is refused by the toolkit.
            "TotalShortcuts=1\nShortcut1=a.txt\nShortcut1Desc=bad\\name\nShortcut1Folder=KavexLogTest\n");
    WriteText(dist + "a.txt", "a");
    WriteText(dist + "bad.ttf", "not a font");
    SetupLog log;
    ASSERT_TRUE(log.Open(computer, root + "KavexInstall.log", "setup.exe", dist + "setup.ini"));
    session.log = &log;
    Install();
    session.log = nullptr;
    log.Close();
    const std::string text = ReadText(root + "KavexInstall.log");

    EXPECT_EQ(0u, text.find("==== KavexInstall "));
    const auto has = [&](const std::string& line) { return text.find("\r\n" + line) != std::string::npos; };
    EXPECT_TRUE(has("command line: setup.exe\r\nscript: " + dist + "setup.ini\r\n")) << text;
    EXPECT_TRUE(has("installed: " + dest + "a.txt\r\n")) << text;
    EXPECT_TRUE(
        has("failed: copy " + dist + "missing.dll to " + dest + "missing.dll (version installer result &H"))
        << text;
    EXPECT_TRUE(has("failed: add font " + dest + "bad.ttf")) << text;
    EXPECT_TRUE(has("failed: create registry key 12345\\Software\\KavexLogTest: system error ")) << text;
    EXPECT_TRUE(has("failed: make the shortcut KavexLogTest\\bad\\name to " + dest + "a.txt")) << text;
}

} // namespace
