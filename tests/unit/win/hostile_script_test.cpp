// Scripts that no author means to write end the installation normally: a huge file, counts
// far beyond the items given, counts that are no whole numbers, several macros in one path.
#include "engine_support.h"

using namespace kvtest;

namespace {

struct HostileCase {
    const char* name;
    std::string script;
    std::string copied, notCopied; // below the destination, separated by blanks
};

// TotalFiles and the items of those numbers, copying a.txt, b.txt, c.txt in turn.
std::string Files(const char* total, std::vector<int> numbers) {
    std::string script = std::string("[install]\nTotalFiles=") + total + "\n";
    for (size_t i = 0; i < numbers.size(); ++i) {
        const std::string n = std::to_string(numbers[i]), file = std::string(1, char('a' + i)) + ".txt";
        script += "srcfile" + n + "=" + file + "\ndestfile" + n + "=" + file + "\n";
    }
    return script;
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
        {"ten-megabytes", TenMegabytes() + Files("1", {1}), "a.txt", ""},
        {"most-missing", Files("3000", {1, 3000}), "a.txt b.txt", ""},
        // Taken as the longest list there can be, 32767 items.
        {"1E300", Files("1E300", {1, 32767, 32768}), "a.txt b.txt", "c.txt"},
        // All 32 bits set: -1, an empty list.
        {"all-bits", Files("&HFFFFFFFF", {1}), "", "a.txt"},
        // Rounded half to even: two items.
        {"two-and-a-half", Files("2.5", {1, 2, 3}), "a.txt b.txt", "c.txt"},
        // Only the first macro of the fixed order is expanded; the other stays in the name.
        {"two-macros", "[install]\nTotalFiles=1\nsrcfile1=a.txt\ndestfile1=%default%x%windows%a.txt\n",
         "x%windows%a.txt", ""},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Prepare(c.name, c.script);
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteText(dist + name, "shipped");
        Install();
        EXPECT_FALSE(InstallationStopped());
        std::istringstream copied(c.copied), notCopied(c.notCopied);
        for (std::string file; copied >> file;) EXPECT_EQ(ReadText(dest + file), "shipped") << file;
        for (std::string file; notCopied >> file;) EXPECT_FALSE(IsFile(dest + file)) << file;
    }
}
