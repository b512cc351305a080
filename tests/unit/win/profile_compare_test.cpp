// Our script reader and writer against the system's profile functions: the same files,
// the same questions, the same answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "script/profile_files.h"
#include "script/text.h"
#include "system/file_stamp.h"

namespace {

using Strings = std::vector<std::string>;

std::string SystemRead(const std::string& path, const std::string& section, const std::string& key) {
    char buffer[512];
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, 512, path.c_str());
    return std::string(buffer, n);
}

// The text with its control characters shown and long runs of one character shortened.
std::string Visible(std::string_view text) {
    std::string out;
    for (size_t i = 0, run; i < text.size() && out.size() < 1500; i += run) {
        for (run = 1; i + run < text.size() && text[i + run] == text[i];) ++run;
        char shown[8] = {text[i], 0};
        if (text[i] < 0x20 || text[i] >= 0x7f) snprintf(shown, sizeof shown, "\\x%02X", text[i] & 0xff);
        out += shown + std::string(text[i] == '\n' ? "\n" : "");
        if (run > 6)
            out += "{" + std::to_string(run) + "}";
        else
            run = 1;
    }
    return out;
}

void PutFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
std::string FileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

const Strings SectionNames = {"install", "Uninstall", "files", "a", "\xC4pfel", ""};
const Strings KeyNames = {"key", "Key2", "file1", "x", "InstallState", ";c", "k y", "\xE4x", ""};

// The queries: every name as written, in other letter case, with blanks and tabs around
// it, and some that are never present.
Strings QueryVariants(const Strings& names, Strings out) {
    for (const auto& name : names)
        out.insert(out.end(), {name, UpperCase(name), LowerCase(name), "  " + name + " ", "\t" + name});
    return out;
}

// Random scripts made of the lines that the reading rules tell apart.
class ScriptMaker {
  public:
    explicit ScriptMaker(unsigned seed) : random_(seed) {}

    std::string Script(bool forWrites) {
        std::string text = Chance(4) ? "\xEF\xBB\xBF" : "";
        breaks_ = Pick(0, 3);
        for (int i = Pick(0, 40); i > 0; --i) text += Line(forWrites) + Break();
        if (Chance(3) && !text.empty()) text.resize(text.size() - Pick(0, 1)), text += Line(forWrites);
        return text;
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    const std::string& Any(const Strings& v) { return v[Pick(0, static_cast<int>(v.size()) - 1)]; }

  private:
    std::mt19937 random_;
    int breaks_ = 0;

    bool Chance(int oneIn) { return Pick(1, oneIn) == 1; }
    std::string Break() {
        static const Strings all = {"\r\n", "\n", "\r", "\n\n", "\r\n\r\n"};
        return breaks_ == 3 ? Any(all) : all[breaks_];
    }
    std::string Blanks() { return Any({"", "", "", " ", "  ", "\t", " \t ", "\x0b"}); }
    std::string CaseOf(const std::string& name) {
        const int kind = Pick(0, 3);
        return kind == 0 ? UpperCase(name) : kind == 1 ? LowerCase(name) : name;
    }
    std::string Value() {
        if (Chance(15)) { // around the 511-character cut, quoted or not
            const std::string quote = Any({"", "\"", "'"});
            return quote + "A" + std::string(Pick(503, 514), 'v') + "Z" + quote;
        }
        if (Chance(14)) return std::string(600, 'w');
        // A shape with the word put in for '%'.
        std::string shape = Any({"\"%\"", "'%'", "\"%", "%'", "'%\"", "\"", "''", "x = y ; z", "\" spaced \"",
                                 "%", "%", "%", "%"});
        const size_t at = shape.find('%');
        if (at != std::string::npos)
            shape.replace(at, 1, Any({"C:\\Program Files\\Tool\\", "Yes", "1", "a b", ""}));
        return shape;
    }
    std::string Line(bool forWrites) {
        const int kind = Pick(0, 20);
        if (kind <= 2) {
            std::string name = CaseOf(Any(SectionNames));
            if (forWrites && name.empty()) name = "files";
            return Blanks() + "[" + Blanks() + name + Blanks() + "]" + (Chance(6) ? " trailing]junk" : "");
        }
        if (kind == 3) return "[" + Any(SectionNames) + " broken";
        if (kind == 4) return ";" + CaseOf(Any(KeyNames)) + "=" + Value();
        if (kind == 5) return CaseOf(Any(KeyNames));
        if (kind == 6) return Blanks() + "=" + Value();
        if (kind == 7) return Blanks();
        return Blanks() + CaseOf(Any(KeyNames)) + Blanks() + "=" + Blanks() + Value() + Blanks();
    }
};

// Scripts picked by hand for the rules that random lines seldom hit.
const Strings HandPicked = {
    "",
    "\r\n\r\n",
    "key=before\r\n[install]\r\nkey=after\r\n",
    "[install]\r\nkey=1\r\n[Install]\r\nkey=2\r\nKey2=3\r\n",
    "[install]\r\n=first\r\n=second\r\nkey\r\nkey=late\r\nKEY=2\r\n",
    "[install]\nkey=\"" + std::string(511, 'q') + "\"\nx=\"" + std::string(510, 'q') + "\"\n",
    "[install]\nkey='" + std::string(512, 'q') + "'\nx=" + std::string(511, 'q') + "\"\n",
    "[install]\nkey=\"" + std::string(509, 'q') + "\"  \n",
    "[ install ]\nkey = \t spaced \t \nx=\x1a\n",
    std::string("[install]\nkey=a\0b\nx\0y=1\n[fi\0les]\nkey=2\n", 35),
    "[]\nkey=empty section\n[ ]\nx=blank section\n",
    "[install\nkey=no section line\n[install]]\nkey=double bracket\n",
    "[install]\n  ;c=comment\n;c\n",
    "[\xC4PFEL]\n\xC4X=upper\n[\xE4pfel]\n\xE4x=lower\n",
    "\xEF\xBB\xBF[install]\r\nkey=utf8 \xC3\xA4\xE2\x82\xAC\xE2\x86\x92\xC3\r\n",
    std::string("\xFF\xFE[\0i\0n\0s\0t\0a\0l\0l\0]\0\r\0\n\0k\0e\0y\0=\0w\0i\0d\0e\0\r\0\n\0", 46)};

class ProfileCompare : public ::testing::Test {
  protected:
    std::string folder;
    ProfileFiles files;
    int compared = 0, differences = 0;

    void SetUp() override {
        folder = std::string(MAX_PATH, '\0');
        folder = folder.substr(0, GetTempPathA(MAX_PATH, folder.data())) + "kv-profile-compare\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    // Counts one answer; the first ten differences are shown with their script.
    void Compare(const std::string& script, const std::string& section, const std::string& key,
                 const Strings& answers) {
        ++compared;
        if (std::count(answers.begin(), answers.end(), answers[0]) == static_cast<long>(answers.size()) ||
            ++differences > 10)
            return;
        std::string shown;
        for (const auto& answer : answers) shown += "\n  " + Visible(answer);
        ADD_FAILURE() << Visible(script) << "\n[" << Visible(section) << "] " << Visible(key) << shown;
    }
};

TEST_F(ProfileCompare, ReadsAnswerAsTheSystemDoes) {
    ASSERT_EQ(1252u, GetACP()); // the code page the rules of ANSI text are checked in
    const auto sections = QueryVariants(SectionNames, {"nosuch", "instal", "install "});
    const auto keys = QueryVariants(KeyNames, {"nosuch", "ke", "k  y"});
    ScriptMaker maker(20261205);
    Strings scripts = HandPicked;
    for (int i = 0; i < 200; ++i) scripts.push_back(maker.Script(false));
    for (size_t n = 0; n < scripts.size(); ++n) {
        const std::string path = folder + "read" + std::to_string(n) + ".ini";
        PutFile(path, scripts[n]);
        // Each script answers every key of "install" and a random choice of other questions.
        for (int q = 0; q < 54; ++q) {
            const std::string& section = q < 9 ? SectionNames[0] : maker.Any(sections);
            const std::string& key = q < 9 ? KeyNames[q] : maker.Any(keys);
            Compare(scripts[n], section, key,
                    {SystemRead(path, section, key), files.Read(path, section, key)});
        }
        DeleteFileA(path.c_str());
    }
    EXPECT_EQ(0, differences) << "of " << compared;
    EXPECT_GT(compared, 10000);
}

// Both writers get the same writes (lower case, as the program writes); the system then
// reads both files, and we read ours, with the same answers.
TEST_F(ProfileCompare, WritesLeaveFilesThatReadAlike) {
    ScriptMaker maker(4242);
    const auto sections = QueryVariants(SectionNames, {"new section"});
    const auto keys = QueryVariants(KeyNames, {"new key", "file2"});
    const Strings writeSections = {"install", "uninstall", "files", "a", "new section", "uninstall"};
    const Strings writeKeys = {"key", "key2", "file1", "x", "installstate", "file2", "new key"};
    const Strings writeValues = {"c:\\tools\\", "  lead blanks", "trail  ", "\"q\"", "", "installed", "\x80"};
    for (int n = 0; n < 50; ++n) {
        const Strings first = {"", "[install]\r\nkey=1", "a=1\n[Uninstall]\nfile1=x\n\n", HandPicked.back()};
        const std::string script = n < 4 ? first[n] : maker.Script(true);
        const std::string ours = folder + "ours" + std::to_string(n) + ".ini";
        const std::string theirs = folder + "system" + std::to_string(n) + ".ini";
        if (n > 0) PutFile(ours, script), PutFile(theirs, script);
        for (int w = maker.Pick(1, 12); w > 0; --w) {
            const std::string &section = maker.Any(writeSections), &key = maker.Any(writeKeys);
            const std::string& value = maker.Any(writeValues);
            EXPECT_TRUE(files.Write(ours, section, key, value));
            WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), theirs.c_str());
        }
        for (int q = 0; q < 72; ++q) {
            const std::string& section = q < 42 ? writeSections[q / 7] : maker.Any(sections);
            const std::string& key = q < 42 ? writeKeys[q % 7] : maker.Any(keys);
            Compare(script, section, key,
                    {SystemRead(theirs, section, key), SystemRead(ours, section, key),
                     files.Read(ours, section, key)});
        }
        DeleteFileA(ours.c_str());
        DeleteFileA(theirs.c_str());
    }
    EXPECT_EQ(0, differences) << "of " << compared;
}

TEST_F(ProfileCompare, ChangesByOthersWithSystemTimes) {
    ProfileFiles precise(SystemFileStamp);
    const std::string path = folder + "changed.ini";
    PutFile(path, "[install]\r\nname=AAAA\r\n");
    EXPECT_EQ("AAAA", precise.Read(path, "install", "name"));
    EXPECT_TRUE(precise.Write(path, "install", "file1", "one"));
    // Another program writes the file again at once, with the same size.
    WritePrivateProfileStringA("install", "file1", "two", path.c_str());
    EXPECT_EQ("two", precise.Read(path, "install", "file1"));
    PutFile(path, "[install]\r\nname=BBBB\r\nfile1=six\r\n");
    EXPECT_EQ("BBBB", precise.Read(path, "install", "name"));
    // A write after someone else's change builds on the file as it is now.
    EXPECT_TRUE(precise.Write(path, "install", "file2", "z"));
    EXPECT_EQ(SystemRead(path, "install", "file1"), "six");
    DeleteFileA(path.c_str());
    EXPECT_EQ("", precise.Read(path, "install", "name"));
}

// The one-step rewrite with the system's ANSI names: in a folder whose name needs the code
// page the new contents take the old file's place, and a second name of the old file keeps
// the old contents. Western (1252): \xE9 is e acute, \x80 the euro sign, \x8C the OE ligature;
// Cyrillic (1251, the test run's second pass, KV_EXPECT_ACP=1251): "Программы".
// While another program holds the script open without leave to delete it, the write fails,
// the script stays as it was and nothing is left beside it.
TEST(ScriptRewrite, TakesTheOldFilesPlaceInAFolderOfTheCodePage) {
    const char* expected = std::getenv("KV_EXPECT_ACP");
    ASSERT_EQ(expected ? std::strtoul(expected, nullptr, 10) : 1252u, GetACP());
    const char* name = GetACP() == 1251 ? "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB"
                                        : "Donn\xE9"
                                          "es \x80 \x8C";
    char temp[MAX_PATH];
    const std::string folder = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "kv-rewrite " + name + "\\";
    const std::string path = folder + "setup.ini", old = folder + "old.ini", fresh = path + ".kvnew";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(old.c_str());
    PutFile(path, "[install]\r\nState=fresh\r\n[uninstall]\r\nfile1=a\r\n");
    ASSERT_TRUE(CreateHardLinkA(old.c_str(), path.c_str(), nullptr));
    ProfileFiles files;
    EXPECT_TRUE(files.Write(path, "install", "state", "installed"));
    EXPECT_EQ(FileText(path), "[install]\r\nState=installed\r\n[uninstall]\r\nfile1=a\r\n");
    EXPECT_EQ(FileText(old), "[install]\r\nState=fresh\r\n[uninstall]\r\nfile1=a\r\n");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str()));

    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(files.Write(path, "install", "state", "held"));
    CloseHandle(held);
    EXPECT_EQ(FileText(path), "[install]\r\nState=installed\r\n[uninstall]\r\nfile1=a\r\n");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str()));
    DeleteFileA(path.c_str());
    DeleteFileA(old.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
