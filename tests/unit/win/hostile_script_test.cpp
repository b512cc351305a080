// Scripts that no author means to write end the installation normally: a huge file, counts
// far beyond the items given, counts that are no whole numbers, several macros in one path.
#include "engine_support.h"

using namespace kvtest;

namespace {

struct HostileCase {
    const char* name;
    std::string script;
    Lines copied, notCopied; // below the destination
};

std::string Item(int n, const char* file, const std::string& dest) {
    const std::string number = std::to_string(n);
    return "srcfile" + number + "=" + file + "\ndestfile" + number + "=" + dest + "\n";
}

std::string TenMegabytes() {
    std::string filler = "[filler]\n";
    for (int i = 0; filler.size() < 10 << 20; ++i)
        filler += "key" + std::to_string(i) + "=" + std::string(60, 'v') + "\n";
    return filler;
}

} // namespace

TEST_F(Installation, HostileScriptsEndNormally) {
    const HostileCase cases[] = {
        {"ten-megabytes",
         TenMegabytes() + "[install]\nTotalFiles=1\n" + Item(1, "a.txt", "a.txt"),
         {"a.txt"},
         {}},
        {"most-missing",
         "[install]\nTotalFiles=3000\n" + Item(1, "a.txt", "a.txt") + Item(3000, "b.txt", "b.txt"),
         {"a.txt", "b.txt"},
         {}},
        // Taken as the longest list there can be, 32767 items.
        {"1E300",
         "[install]\nTotalFiles=1E300\n" + Item(1, "a.txt", "a.txt") + Item(32767, "b.txt", "b.txt") +
             Item(32768, "c.txt", "c.txt"),
         {"a.txt", "b.txt"},
         {"c.txt"}},
        // All 32 bits set: -1, an empty list.
        {"all-bits", "[install]\nTotalFiles=&HFFFFFFFF\n" + Item(1, "a.txt", "a.txt"), {}, {"a.txt"}},
        // Rounded half to even: two items.
        {"two-and-a-half",
         "[install]\nTotalFiles=2.5\n" + Item(1, "a.txt", "a.txt") + Item(2, "b.txt", "b.txt") +
             Item(3, "c.txt", "c.txt"),
         {"a.txt", "b.txt"},
         {"c.txt"}},
        // Only the first macro of the fixed order is expanded; the other stays in the name.
        {"two-macros",
         "[install]\nTotalFiles=1\n" + Item(1, "a.txt", "%default%x%windows%a.txt"),
         {"x%windows%a.txt"},
         {}},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Prepare(c.name, c.script);
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteText(dist + name, "shipped");
        Install();
        EXPECT_FALSE(InstallationStopped());
        for (const std::string& file : c.copied) EXPECT_EQ(ReadText(dest + file), "shipped");
        for (const std::string& file : c.notCopied) EXPECT_FALSE(IsFile(dest + file));
    }
}
