// Our script reader and writer against the system's profile functions: the same files,
// the same questions, the same answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <sstream>
#include <vector>

#include "script/profile.h"
#include "script/script.h"
#include "script/text.h"
#include "system/file_stamp.h"

namespace {

std::string SystemRead(const std::string& path, const std::string& section, const std::string& key) {
    char buffer[512];
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, 512, path.c_str());
    return std::string(buffer, n);
}

// The text with its control characters shown and long runs of one character shortened.
std::string Visible(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < 1500;) {
        size_t run = 1;
        while (i + run < text.size() && text[i + run] == text[i]) ++run;
        const auto u = static_cast<unsigned char>(text[i]);
        std::string shown(1, text[i]);
        if (text[i] == '\r')
            shown = "\\r";
        else if (text[i] == '\n')
            shown = "\\n\n";
        else if (text[i] == '\t')
            shown = "\\t";
        else if (u < 0x20 || u >= 0x7f) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", u);
            shown = hex;
        }
        if (run > 6) {
            out += shown + "{" + std::to_string(run) + "}";
            i += run;
        } else {
            out += shown;
            ++i;
        }
    }
    return out;
}

void PutFile(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

const std::vector<std::string> SectionNames = {"install", "Uninstall", "files", "a", "\xC4pfel", ""};
const std::vector<std::string> KeyNames = {"key", "Key2", "file1", "x", "InstallState",
                                           ";c",  "k y",  "\xE4x", ""};

// The queries: every name as written, in other letter case, with blanks and tabs around
// it, and some that are never present.
std::vector<std::string> QueryVariants(const std::vector<std::string>& names,
                                       std::vector<std::string> absent) {
    std::vector<std::string> out = std::move(absent);
    for (const auto& name : names) {
        out.push_back(name);
        out.push_back(UpperCase(name));
        out.push_back(LowerCase(name));
        out.push_back("  " + name + " ");
        out.push_back("\t" + name);
    }
    return out;
}

class ScriptMaker {
  public:
    explicit ScriptMaker(unsigned seed) : random_(seed) {}

    std::string Script(bool forWrites) {
        std::string text;
        if (Chance(4)) text += "\xEF\xBB\xBF";
        const int lines = Pick(0, 40);
        breaks_ = Pick(0, 3);
        for (int i = 0; i < lines; ++i) text += Line(forWrites) + Break();
        if (Chance(3) && !text.empty())
            text.resize(text.size() - (Chance(2) ? 1 : 0)), text += Line(forWrites);
        return text;
    }

  private:
    std::mt19937 random_;
    int breaks_ = 0;

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int oneIn) { return Pick(1, oneIn) == 1; }
    template <class T> const T& Any(const std::vector<T>& v) {
        return v[Pick(0, static_cast<int>(v.size()) - 1)];
    }

    std::string Break() {
        static const std::vector<std::string> all = {"\r\n", "\n", "\r", "\n\n", "\r\n\r\n"};
        return breaks_ == 3 ? Any(all) : all[breaks_];
    }
    std::string Blanks() {
        static const std::vector<std::string> all = {"", "", "", " ", "  ", "\t", " \t ", "\x0b"};
        return Any(all);
    }
    std::string CaseOf(const std::string& name) {
        switch (Pick(0, 3)) {
        case 0:
            return UpperCase(name);
        case 1:
            return LowerCase(name);
        default:
            return name;
        }
    }
    std::string Value() {
        const int kind = Pick(0, 14);
        const std::string word =
            Any(std::vector<std::string>{"C:\\Program Files\\Tool\\", "Yes", "1", "a b", ""});
        switch (kind) {
        case 0:
            return "\"" + word + "\"";
        case 1:
            return "'" + word + "'";
        case 2:
            return "\"" + word;
        case 3:
            return word + "'";
        case 4:
            return "'" + word + "\"";
        case 5:
            return "\"";
        case 6:
            return "''";
        case 7: {
            const int length = Pick(505, 516);
            const std::string quote = Any(std::vector<std::string>{"", "\"", "'"});
            std::string body(length, 'v');
            body[0] = 'A';
            body[length - 1] = 'Z';
            return quote + body + quote;
        }
        case 8:
            return std::string(600, 'w');
        case 9:
            return "x = y ; z";
        case 10:
            return "\" spaced \"";
        default:
            return word;
        }
    }
    std::string Line(bool forWrites) {
        const int kind = Pick(0, 20);
        switch (kind) {
        case 0:
        case 1:
        case 2: {
            std::string name = CaseOf(Any(SectionNames));
            if (forWrites && name.empty()) name = "files";
            std::string line = Blanks() + "[" + Blanks() + name + Blanks() + "]";
            if (Chance(6)) line += " trailing]junk";
            return line;
        }
        case 3:
            return "[" + Any(SectionNames) + " broken";
        case 4:
            return ";" + CaseOf(Any(KeyNames)) + "=" + Value();
        case 5:
            return CaseOf(Any(KeyNames));
        case 6:
            return Blanks() + "=" + Value();
        case 7:
            return Blanks();
        default:
            return Blanks() + CaseOf(Any(KeyNames)) + Blanks() + "=" + Blanks() + Value() + Blanks();
        }
    }
};

// Scripts picked by hand for the rules that random lines seldom hit.
const std::vector<std::string> HandPicked = {
    "",
    "\r\n\r\n",
    "key=before\r\n[install]\r\nkey=after\r\n",
    "[install]\r\nkey=1\r\n[Install]\r\nkey=2\r\nKey2=3\r\n",
    "[install]\r\nkey=1\r\nKEY=2\r\n",
    "[install]\r\n=first\r\n=second\r\nkey\r\nkey=late\r\n",
    "[install]\nkey=\"" + std::string(511, 'q') + "\"\n",
    "[install]\nkey=\"" + std::string(510, 'q') + "\"\n",
    "[install]\nkey='" + std::string(512, 'q') + "'\n",
    "[install]\nkey=" + std::string(511, 'q') + "\"\n",
    "[install]\nkey=\"" + std::string(509, 'q') + "\"  \n",
    "[ install ]\nkey = \t spaced \t \nx=\x1a\n",
    "[install]\nkey=a\0b\nx\0y=1\n[fi\0les]\nkey=2\n",
    "[]\nkey=empty section\n[ ]\nx=blank section\n",
    "[install\nkey=no section line\n[install]]\nkey=double bracket\n",
    "[install]\rkey=cr only\rx=1",
    "[install]\n  ;c=comment\n;c\n",
    "[\xC4PFEL]\n\xC4X=upper\n[\xE4pfel]\n\xE4x=lower\n",
    "\xFF\xFE[\0i\0n\0s\0t\0a\0l\0l\0]\0\r\0\n\0k\0e\0y\0=\0w\0i\0d\0e\0\r\0\n\0",
};

class ProfileCompare : public ::testing::Test {
  protected:
    std::string folder;
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "kv-profile-compare\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override { ForgetAllProfileFiles(); }
};

TEST_F(ProfileCompare, ReadsAnswerAsTheSystemDoes) {
    const auto sections = QueryVariants(SectionNames, {"nosuch", "instal", "install "});
    const auto keys = QueryVariants(KeyNames, {"nosuch", "ke", "k  y"});
    ScriptMaker maker(20261205);
    std::vector<std::string> scripts = HandPicked;
    scripts[12].assign("[install]\nkey=a\0b\nx\0y=1\n[fi\0les]\nkey=2\n", 35);
    scripts.back().assign("\xFF\xFE[\0i\0n\0s\0t\0a\0l\0l\0]\0\r\0\n\0k\0e\0y\0=\0w\0i\0d\0e\0\r\0\n\0", 46);
    for (int i = 0; i < 200; ++i) scripts.push_back(maker.Script(false));
    EXPECT_EQ(1252u, GetACP()); // the code page the rules of ANSI text are checked in

    std::mt19937 pick(7);
    int compared = 0, differences = 0;
    for (size_t n = 0; n < scripts.size(); ++n) {
        const std::string file = "read" + std::to_string(n) + ".ini";
        const std::string path = folder + file;
        PutFile(path, scripts[n]);
        // Each script answers every key of "install" and a random choice of other questions.
        std::vector<std::pair<std::string, std::string>> questions;
        for (const auto& key : KeyNames) questions.emplace_back("install", key);
        for (int q = 0; q < 45; ++q)
            questions.emplace_back(sections[pick() % sections.size()], keys[pick() % keys.size()]);
        {
            for (const auto& [section, key] : questions) {
                const std::string ours = ReadIni(key, section, folder, file);
                const std::string system = SystemRead(path, section, key);
                ++compared;
                if (ours != system && ++differences <= 10)
                    ADD_FAILURE() << "script " << n << ":\n"
                                  << Visible(scripts[n]) << "\n[" << Visible(section) << "] " << Visible(key)
                                  << "\n ours:   " << Visible(ours) << "\n system: " << Visible(system);
            }
        }
        DeleteFileA(path.c_str());
    }
    // A file that does not exist.
    EXPECT_EQ(SystemRead(folder + "missing.ini", "install", "key"),
              ReadIni("key", "install", folder, "missing.ini"));
    EXPECT_EQ(0, differences) << "of " << compared;
    EXPECT_GT(compared, 10000);
}

TEST_F(ProfileCompare, WritesLeaveFilesThatReadAlike) {
    // WriteIni stores everything in lower case; the system function is given the
    // lower-cased texts, as the program would give them.
    ScriptMaker maker(4242);
    std::mt19937 pick(99);
    const auto sections = QueryVariants(SectionNames, {"new section"});
    const auto keys = QueryVariants(KeyNames, {"new key", "file2"});
    const std::vector<std::string> writeSections = {"install", "Uninstall",   "files",
                                                    "a",       "New Section", "uninstall"};
    const std::vector<std::string> writeKeys = {"key",          "Key2",  "file1",  "x",
                                                "InstallState", "file2", "New Key"};
    const std::vector<std::string> writeValues = {"C:\\Tools\\", "  Lead Blanks", "Trail  ", "\"Q\"", "",
                                                  "installed"};
    int differences = 0, compared = 0;
    for (int n = 0; n < 50; ++n) {
        const std::string script =
            n < 3 ? std::vector<std::string>{"", "[install]\r\nkey=1", "a=1\n[Uninstall]\nfile1=x\n\n"}[n]
                  : maker.Script(true);
        const std::string ours = "ours" + std::to_string(n) + ".ini";
        const std::string theirs = folder + "system" + std::to_string(n) + ".ini";
        PutFile(folder + ours, script);
        PutFile(theirs, script);
        if (n == 0) DeleteFileA((folder + ours).c_str()), DeleteFileA(theirs.c_str());
        const int writes = 1 + pick() % 12;
        for (int w = 0; w < writes; ++w) {
            const std::string& section = writeSections[pick() % writeSections.size()];
            const std::string& key = writeKeys[pick() % writeKeys.size()];
            const std::string& value = writeValues[pick() % writeValues.size()];
            WriteIni(key, value, section, folder, ours);
            WritePrivateProfileStringA(LowerCase(section).c_str(), LowerCase(key).c_str(),
                                       LowerCase(value).c_str(), theirs.c_str());
        }
        std::vector<std::pair<std::string, std::string>> questions;
        for (const auto& section : writeSections)
            for (const auto& key : writeKeys) questions.emplace_back(section, key);
        for (int q = 0; q < 30; ++q)
            questions.emplace_back(sections[pick() % sections.size()], keys[pick() % keys.size()]);
        {
            for (const auto& [section, key] : questions) {
                const std::string a = SystemRead(folder + ours, section, key);
                const std::string b = SystemRead(theirs, section, key);
                const std::string c = ReadIni(key, section, folder, ours);
                ++compared;
                if ((a != b || c != b) && ++differences <= 10)
                    ADD_FAILURE() << "script " << n << ":\n"
                                  << Visible(script) << "\n[" << Visible(section) << "] " << Visible(key)
                                  << "\n system on ours:   " << Visible(a)
                                  << "\n system on theirs: " << Visible(b)
                                  << "\n ours on ours:     " << Visible(c);
            }
        }
        DeleteFileA((folder + ours).c_str());
        DeleteFileA(theirs.c_str());
    }
    EXPECT_EQ(0, differences) << "of " << compared;
}

TEST_F(ProfileCompare, ChangesByOthersWithSystemTimes) {
    SetFileStampFunction(SystemFileStamp);
    const std::string path = folder + "changed.ini";
    PutFile(path, "[install]\r\nname=AAAA\r\n");
    EXPECT_EQ("AAAA", ReadIni("name", "install", folder, "changed.ini"));
    WriteIni("file1", "one", "install", folder, "changed.ini");
    // Another program writes the file again at once, with the same size.
    WritePrivateProfileStringA("install", "file1", "two", path.c_str());
    EXPECT_EQ("two", ReadIni("file1", "install", folder, "changed.ini"));
    PutFile(path, "[install]\r\nname=BBBB\r\nfile1=six\r\n");
    EXPECT_EQ("BBBB", ReadIni("name", "install", folder, "changed.ini"));
    EXPECT_EQ("six", ReadIni("file1", "install", folder, "changed.ini"));
    SetFileStampFunction(nullptr);
    DeleteFileA(path.c_str());
}

} // namespace
