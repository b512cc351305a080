// The wizard typed at with real key events around the component search: x and Cancel stop
// it, Alt+F4 asks while it runs, and the screen after it takes its keys as every screen does.
#include <filesystem>
#include <fstream>

#include "driver/setup_run.h"

namespace e2e {
namespace {

class KeyboardTest : public SetupRun {
  protected:
    // Thousands of folders (kept for later runs) that take the walk many seconds; the product's
    // file lies in the root's first subfolder, which the walk reaches at its very end.
    void StartSearch() {
        const std::string tree = "C:\\kvtest\\keys_tree\\";
        if (!std::filesystem::exists(tree + "complete")) {
            for (int n = 0; n < 60 * 300; ++n) // 60 folders of 300
                std::filesystem::create_directories(tree + "d" + std::to_string(n / 300) + "\\e" +
                                                    std::to_string(n % 300));
            std::filesystem::create_directories(tree + "complete");
        }
        CleanUpFolder(kHit);
        CreateDirectoryA(kHit, nullptr);
        std::ofstream(std::string(kHit) + "kvkeys.dll") << "x";
        StartWizard({"[install]", "SetupTitle=Acme Setup", "ProgramName=Acme", "ProductName=Acme Keys",
                     "ComponentsSearch=1", "Components=kvkeys.dll", "DefaultDir=C:\\kvtest\\Acme\\"});
    }
    void ToTheSearch(bool back = true) { // from the welcome screen, or back to it first
        if (back) {
            Press("< &Back");
            ASSERT_TRUE(Shows(kWelcome));
        }
        Press("&Next >");
        ASSERT_TRUE(Shows("Searching for installed components...", 5000));
    }
    static constexpr const char* kHit = "C:\\!kvkeys_hit\\";
};

TEST_F(KeyboardTest, XCancelAndAltF4OnTheSearchScreenThenTheScreenAfterIt) {
    StartSearch();
    ToTheSearch(false);
    EXPECT_TRUE(Shows("(Press 'Cancel' to stop search and install in default location)"));
    Shot("searching");
    // x and Cancel stop the search without a question: the destination keeps its default.
    for (const bool key : {true, false}) {
        key ? TypeKey(wizard_, 'X') : Press("Cancel");
        EXPECT_TRUE(Shows("C:\\kvtest\\Acme\\", 10000));
        EXPECT_FALSE(FindMessageBox(Pid()));
        ToTheSearch();
    }

    // Alt+F4 asks to exit; No lets the search go on to its hit.
    TypeKey(wizard_, VK_F4, VK_MENU);
    AnswerExitQuestion("&No");
    EXPECT_TRUE(Shows(kHit, 120000));
    // After the search, letters press no button and Esc asks; the question comes after the
    // letters, so they have been taken by then.
    TypeKey(wizard_, 'B');
    TypeKey(wizard_, 'N');
    TypeKey(wizard_, VK_ESCAPE);
    AnswerExitQuestion("&No");
    EXPECT_TRUE(Shows(kUpgrade));
    EXPECT_TRUE(Shows(kHit));
    // Yes ends the program at once, long before the walk would end.
    ToTheSearch();
    TypeKey(wizard_, VK_F4, VK_MENU);
    AnswerExitQuestion("&Yes");
    EXPECT_EQ(WaitExit(3000), 1602u);
}

} // namespace
} // namespace e2e
