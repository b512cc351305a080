// The sample product that comes with the program installs and uninstalls cleanly.
#include "engine_support.h"

using namespace enginetest;

TEST_F(Installation, SampleProductInstallsAndUninstallsCleanly) {
    const std::string sample = BinFolder() + "data\\sample\\";
    Prepare("sample", ReadText(sample + "setup.ini"));
    for (const auto& entry : std::filesystem::directory_iterator(sample))
        if (entry.path().filename() != "setup.ini")
            std::filesystem::copy_file(entry.path(), dist / entry.path().filename());
    std::filesystem::copy_file(BinFolder() + "data\\DejaVuSans.ttf", dist + "DejaVuSans.ttf");
    WriteText(dest + "notes.txt", "my notes");
    WriteText(dest + "old1.txt", "old");

    Install();
    const std::string windows = GetWindowsFolder();
    for (const auto& message : shown) ADD_FAILURE() << message.text;
    EXPECT_FALSE(InstallErrors);
    for (const char* name :
         {"readme.txt", "license.txt", "docs\\guide.kvs", "data\\settings.kvs", "Setup\\setup.exe"})
        EXPECT_TRUE(IsFile(dest + name)) << name;
    EXPECT_EQ(ReadText(dest + "docs\\notes.txt"), "my notes");
    EXPECT_FALSE(IsFile(dest + "old1.txt"));
    EXPECT_TRUE(IsFile(windows + "\\Fonts\\DejaVuSans.ttf"));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Software\\Kavex Software\\Kavex Sample\\Settings", "DataFolder"),
              dest + "data\\");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, "KavexSample.Document\\shell\\print\\command", ""),
              std::string(1, '"') + windows + "\\notepad.exe\" /p \"%1\"");
    const std::string links = ProgramsFolder() + "Kavex Sample\\";
    EXPECT_TRUE(IsFile(links + "Kavex Sample Readme.lnk"));
    EXPECT_TRUE(IsFile(links + "Documents\\Kavex Sample Guide.lnk"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kavex Sample",
                      "UninstallString"),
              dest + "Setup\\setup.exe uninstall");

    Uninstall(true);
    for (const char* name : {"readme.txt", "license.txt", "docs\\guide.kvs", "docs\\notes.txt"})
        EXPECT_FALSE(IsFile(dest + name)) << name;
    EXPECT_TRUE(IsFile(dest + "data\\settings.kvs")); // the user's settings stay
    EXPECT_FALSE(RegKeyThere(HKEY_CURRENT_USER, "Software\\Kavex Software\\Kavex Sample"));
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, ".kvs"));
    EXPECT_FALSE(RegKeyThere(HKEY_CLASSES_ROOT, "KavexSample.Document"));
    EXPECT_FALSE(std::filesystem::exists(links));
    EXPECT_FALSE(RegKeyThere(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kavex Software\\Kavex Sample"));
}
