// The preliminary actions' messages (the documents are exercised end to end).
#include <gtest/gtest.h>

#include "later_support.h"
#include "windows/msgbox.h"
#include "wizard/later_parts.h"

using namespace kvtest;

namespace {
struct Box {
    std::string text;
    unsigned flags;
    std::string title;
};
} // namespace

TEST(PrelimActions, MessagesUpToTheCountEvenWhenMissing) {
    SetupFolderWithScript("later_prelim", "[install]\nSetupTitle=Acme Setup\nPrelimMessagesTotal=2\n"
                                          "PrelimMessage1=Welcome aboard\n");
    std::vector<Box> boxes;
    SetMessageBoxHook([&](const std::string& t, unsigned f, const std::string& ti) {
        boxes.push_back({t, f, ti});
        return IDOK;
    });
    RunPrelimActions();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Welcome aboard");
    EXPECT_EQ(boxes[1].text, "");
    EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(boxes[0].title, "Acme Setup");

    // A count that rounds to 0, or a negative one, gives no messages.
    boxes.clear();
    SetupFolderWithScript("later_prelim", "[install]\nPrelimMessagesTotal=0.4\nPrelimMessage1=x\n"
                                          "PrelimDocuExecsTotal=-3\n");
    RunPrelimActions();
    SetMessageBoxHook(nullptr);
    EXPECT_TRUE(boxes.empty());
}
