// The direct copy of a file whose destination does not exist, against the version
// installer's copy as the program made it before (placeholder, short names, version
// installer, rename): on real files, everything a user or a later version check sees.
#include "engine/file_ops.h"
#include "engine_support.h"

namespace {

using namespace kvtest;

// The copy by the version installer, given short names, the placeholder's short name for
// the new file, and renamed to its long name afterwards.
DWORD VersionInstallerCopy(const std::string& from, const std::string& to, const std::string& name) {
    CloseHandle(CreateFileA((to + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    std::string shortName = std::filesystem::path(ShortPathOf(to + name)).filename().string();
    DeleteFileA((to + name).c_str());
    std::string source = std::filesystem::path(ShortPathOf(from + name)).filename().string();
    std::string shortFrom = ShortPathOf(from), shortTo = ShortPathOf(to);
    char temp[256] = {}, none[1] = "";
    UINT length = 255;
    const DWORD result = VerInstallFileA(0, source.data(), shortName.data(), shortFrom.data(), shortTo.data(),
                                         none, temp, &length);
    if (result == 0 && !IsFile(to + name)) MoveFileA((to + shortName).c_str(), (to + name).c_str());
    return result;
}

struct Seen {
    std::string content, shortName;
    DWORD attributes;
    FILETIME created, written;
};
Seen SeenAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return {ReadText(path), std::filesystem::path(ShortPathOf(path)).filename().string(),
            data.dwFileAttributes, data.ftCreationTime, data.ftLastWriteTime};
}
int64_t Seconds(FILETIME t) {
    return ((int64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10'000'000;
}

class VersionedCopy : public Session {};

TEST_F(VersionedCopy, ANewFileComesOutAsTheVersionInstallerMakesIt) {
    const std::string root = FreshFolder("versioned"), dist = root + "dist\\";
    const std::string direct = root + "Direct Copies\\", reference = root + "By The Installer\\";
    std::filesystem::create_directories(direct), std::filesystem::create_directories(reference);
    // An old, read-only file with a long name, an empty one, and one of a short name.
    WriteText(dist + "A long file name.dat", std::string(70000, 'x') + "end");
    SetFileAttributesA((dist + "A long file name.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE old = CreateFileA((dist + "A long file name.dat").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    const FILETIME y2001{0x6D4F8000, 0x01C0739A};
    SetFileTime(old, &y2001, &y2001, &y2001), CloseHandle(old);
    WriteText(dist + "empty.txt", ""), WriteText(dist + "short.txt", "short");
    for (const std::string name : {"A long file name.dat", "empty.txt", "short.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(VersionInstallerCopy(dist, reference, name), 0u);
        ASSERT_EQ(InstallVersionedFile(session, ui, dist, direct, name, name), CopyOutcome::Installed);
        const Seen a = SeenAt(direct + name), b = SeenAt(reference + name);
        EXPECT_EQ(a.content, b.content);
        EXPECT_EQ(a.shortName, b.shortName);
        EXPECT_EQ(a.attributes, b.attributes);
        EXPECT_NEAR(Seconds(a.created), Seconds(b.created), 5);
        EXPECT_NEAR(Seconds(a.written), Seconds(b.written), 5);
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(VersionedCopy, ACompressedSourceIsExpandedByTheVersionInstaller) {
    const std::string root = FreshFolder("versioned-lz"), dest = root + "dest\\";
    std::filesystem::create_directories(dest);
    // "compressed!" as the system's compressor writes it: 8 literal bytes, then 3.
    const char lz[] = "SZDD\x88\xF0\x27\x33"
                      "A\0\x0B\0\0\0"
                      "\xFF"
                      "compress"
                      "\x07"
                      "ed!";
    WriteText(root + "packed.tx_", std::string(lz, sizeof lz - 1));
    ASSERT_EQ(InstallVersionedFile(session, ui, root, dest, "packed.tx_", "unpacked.txt"),
              CopyOutcome::Installed);
    EXPECT_EQ(ReadText(dest + "unpacked.txt"), "compressed!");
}

} // namespace
