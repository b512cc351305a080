// The uninstaller's limits: quiet mode, at most 255 files, records with wildcards.
#include "engine_support.h"

using namespace enginetest;

TEST_F(Installation, QuietUninstallRemovesTheFirst255RecordedFiles) {
    std::string script = "[install]\nProductName=Acme Many\nSetupTitle=Acme Many Setup\nEstablishSetup=1\n"
                         "TotalFiles=300\nsrcfile1=f1.txt\ndestfile1=logs\\*.log\nSrcFile1NoErrorCheck=1\n";
    for (int n = 2; n <= 300; ++n)
        script += "srcfile" + std::to_string(n) + "=f" + std::to_string(n) + ".txt\ndestfile" +
                  std::to_string(n) + "=files\\f" + std::to_string(n) + ".txt\n";
    Prepare("many", script);
    for (int n = 2; n <= 300; ++n) WriteText(dist + "f" + std::to_string(n) + ".txt", std::to_string(n));
    for (const char* name : {"a.log", "b.log", "keep.txt"}) WriteText(dest + "logs\\" + name, name);

    Install();
    ASSERT_TRUE(shown.empty()) << shown.front().text;
    const auto records = SectionLines(InstalledScript(), "uninstall");
    ASSERT_EQ(records.size(), 302u);
    EXPECT_EQ(records[1], "file1=" + Lower(dest) + "logs\\*.log");
    EXPECT_EQ(records.back(), "uninstallfilestotal=300");

    Uninstall(true);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(IsFile(dest + "logs\\a.log") || IsFile(dest + "logs\\b.log"));
    EXPECT_TRUE(IsFile(dest + "logs\\keep.txt"));
    for (int n = 2; n <= 300; ++n)
        EXPECT_EQ(IsFile(dest + "files\\f" + std::to_string(n) + ".txt"), n > 255) << n;
    EXPECT_EQ(SectionLines(InstalledScript(), "install").back(), "installstate=uninstalled");
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kavex Software\\Acme Many"));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Many"));
}
