// The component search's walk over a tree of about 20,000 folders, against a plain
// recursive FindFirstFileA walk of the same tree in the same run. Prints both times and
// their medians over three runs each. The tree is made under C:\kvbench\searchtree on first use and kept.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "wizard/component_search.h"

namespace {

const char* const kRoot = "C:\\kvbench\\searchtree";
constexpr int kTop = 20, kMiddle = 20, kLeaves = 49; // 20 + 400 + 19,600 folders

void MakeTree() {
    const std::string marker = std::string(kRoot) + "\\complete.txt";
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    std::printf("making the tree under %s ...\n", kRoot);
    CreateDirectoryA("C:\\kvbench", nullptr);
    CreateDirectoryA(kRoot, nullptr);
    for (int t = 0; t < kTop; ++t) {
        const std::string top = std::string(kRoot) + "\\Top" + std::to_string(t);
        CreateDirectoryA(top.c_str(), nullptr);
        for (int m = 0; m < kMiddle; ++m) {
            const std::string middle = top + "\\mid" + std::to_string(m);
            CreateDirectoryA(middle.c_str(), nullptr);
            for (int l = 0; l < kLeaves; ++l) {
                const std::string leaf = middle + "\\Leaf" + std::to_string(l);
                CreateDirectoryA(leaf.c_str(), nullptr);
                HANDLE f = CreateFileA((leaf + "\\data.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
                if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
            }
        }
    }
    HANDLE f =
        CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

// The baseline: every folder listed once with FindFirstFileA, subfolders entered.
void PlainWalk(const std::string& folder, long& folders, long& files) {
    ++folders;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const char* n = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
            PlainWalk(folder + "\\" + n, folders, files);
        } else {
            ++files;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double TimePlain(long& folders) {
    long files = 0;
    folders = 0;
    const auto start = std::chrono::steady_clock::now();
    PlainWalk(kRoot, folders, files);
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The search as FindComponents runs it for one drive, with a pattern nothing matches so
// that the whole tree is walked, pending messages processed once per folder.
double TimeSearch(long& folders) {
    folders = 0;
    SeekerPlatform platform = MakeSeekerPlatform([] { return false; });
    auto doEvents = platform.DoEvents;
    platform.DoEvents = [&folders, doEvents] {
        ++folders;
        doEvents();
    };
    const auto start = std::chrono::steady_clock::now();
    Seeker seeker(platform, "kvbench_none.dll;kvbench_none.exe");
    seeker.SearchFolder(kRoot);
    return Seconds(std::chrono::steady_clock::now() - start);
}

} // namespace

int main() {
    MakeTree();
    long plainFolders = 0, searchFolders = 0;
    TimePlain(plainFolders); // warm the file system's caches
    TimeSearch(searchFolders);
    std::vector<double> plain, search;
    for (int i = 0; i < 3; ++i) {
        plain.push_back(TimePlain(plainFolders));
        search.push_back(TimeSearch(searchFolders));
    }
    std::sort(plain.begin(), plain.end());
    std::sort(search.begin(), search.end());
    std::printf("folders: plain walk %ld, search walk %ld\n", plainFolders, searchFolders);
    std::printf("medians of 3: plain=%.3f search=%.3f\n", plain[1], search[1]);
    return plainFolders == searchFolders ? 0 : 1;
}
