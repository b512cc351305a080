// The wizard typed at as a person types, with real key events, around the component
// search: x and Cancel stop it, the main window's close box asks while it runs, and the
// screen after it still takes its keys as every screen does (Esc is Cancel, a plain letter
// presses no button).
#include <windows.h>

#include <fstream>
#include <string>

#include "driver/setup_run.h"

namespace e2e {
namespace {

const char* const kWelcome = "This setup program will install Acme on your computer.";
const char* const kUpgrade = "If you are upgrading from a previous version of Acme make sure to specify the "
                             "same folder as the older version.";

class KeyboardTest : public SetupRun {
  protected:
    // Thousands of folders to walk (the walk takes many seconds). The product's file lies in
    // the root's first subfolder, which the walk reaches at its very end, and the quick
    // product's in its last one, which the walk takes first. The tree is kept for later runs.
    void StartSearch(const std::string& product) {
        const std::string tree = "C:\\kvtest\\keys_tree\\";
        if (GetFileAttributesA((tree + "complete").c_str()) == INVALID_FILE_ATTRIBUTES) {
            CreateDirectoryA(tree.c_str(), nullptr);
            for (int a = 0; a < 60; ++a) {
                const std::string level = tree + "d" + std::to_string(a);
                CreateDirectoryA(level.c_str(), nullptr);
                for (int b = 0; b < 300; ++b)
                    CreateDirectoryA((level + "\\e" + std::to_string(b)).c_str(), nullptr);
            }
            CreateDirectoryA((tree + "complete").c_str(), nullptr);
        }
        for (const char* folder : {kHit, kQuickHit}) {
            CleanUpFolder(folder);
            CreateDirectoryA(folder, nullptr);
        }
        std::ofstream(std::string(kHit) + "kvkeys.dll") << "x";
        std::ofstream(std::string(kQuickHit) + "kvkeys_quick.dll") << "x";
        StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Keys",
                     "ComponentsSearch=1", "Components=" + product, "DefaultDir=C:\\kvtest\\Acme\\"});
    }
    void NextToTheSearch() {
        Press("&Next >");
        ASSERT_TRUE(Shows("Searching for installed components...", 5000));
    }
    void BackAndNextToTheSearch() {
        Press("< &Back");
        ASSERT_TRUE(Shows(kWelcome));
        NextToTheSearch();
    }
    static constexpr const char* kHit = "C:\\!kvkeys_hit\\";
    static constexpr const char* kQuickHit = "C:\\~kvkeys_quick\\";
};

TEST_F(KeyboardTest, XCancelAndAltF4OnTheSearchScreen) {
    StartSearch("kvkeys.dll");
    NextToTheSearch();
    EXPECT_TRUE(
        HasText(ShownTexts(wizard_), "(Press 'Cancel' to stop search and install in default location)"));
    Shot("searching");
    // x and Cancel stop the search without a question: the destination keeps its default.
    TypeKey(wizard_, 'X');
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme\\", 10000));
    EXPECT_FALSE(FindMessageBox(Pid()));
    BackAndNextToTheSearch();
    Press("Cancel");
    EXPECT_TRUE(Shows("C:\\kvtest\\Acme\\", 10000));
    EXPECT_FALSE(FindMessageBox(Pid()));

    // Alt+F4 asks to exit; No lets the search go on to its hit.
    BackAndNextToTheSearch();
    TypeKeyWith(wizard_, VK_MENU, VK_F4);
    AnswerExitQuestion("&No");
    EXPECT_TRUE(Shows(kHit, 120000));
    // Yes ends the program at once, long before the walk would end.
    BackAndNextToTheSearch();
    TypeKeyWith(wizard_, VK_MENU, VK_F4);
    AnswerExitQuestion("&Yes");
    EXPECT_TRUE(WaitExit(3000));
}

TEST_F(KeyboardTest, AfterTheSearchLettersPressNoButtonAndEscAsks) {
    StartSearch("kvkeys_quick.dll");
    Press("&Next >");
    ASSERT_TRUE(Shows(kQuickHit));
    // The question comes after the letters, so they have been taken by then.
    TypeKey(wizard_, 'B');
    TypeKey(wizard_, 'N');
    TypeKey(wizard_, VK_ESCAPE);
    AnswerExitQuestion("&No");
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_TRUE(Shows(kQuickHit));
    StopAll();
}

} // namespace
} // namespace e2e
