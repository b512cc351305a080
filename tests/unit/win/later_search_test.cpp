// The component search against the real disk and registry.
#include <gtest/gtest.h>

#include "later_support.h"
#include "script/globals.h"
#include "system/regprocs.h"
#include "wizard/component_search.h"
#include "wizard/later_parts.h"

using namespace kvtest;

TEST(ComponentSearch, FolderListingHoldsNormalEntriesOnly) {
    const std::string folder = FreshFolder("later_listing");
    CreateDirectoryA((folder + "sub").c_str(), nullptr);
    CreateDirectoryA((folder + "hiddensub").c_str(), nullptr);
    SetFileAttributesA((folder + "hiddensub").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder + "b.dll", "x");
    WriteFile(folder + "A.dll", "x");
    WriteFile(folder + "hidden.dll", "x");
    SetFileAttributesA((folder + "hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder + "sys.dll", "x");
    SetFileAttributesA((folder + "sys.dll").c_str(), FILE_ATTRIBUTE_SYSTEM);
    WriteFile(folder + "ro.dll", "x");
    SetFileAttributesA((folder + "ro.dll").c_str(), FILE_ATTRIBUTE_READONLY);

    FolderListing listing;
    ASSERT_TRUE(ReadFolderListing(folder, listing));
    SortListing(listing);
    EXPECT_EQ(listing.folders, std::vector<std::string>{"sub"});
    EXPECT_EQ(listing.files, (std::vector<std::string>{"A.dll", "b.dll", "ro.dll"}));
    EXPECT_FALSE(ReadFolderListing(folder + "nothere", listing));
    SetFileAttributesA((folder + "ro.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ComponentSearch, ProductKeyGivesTheDestinationWithoutSearching) {
    SetupFolderWithScript("later_key", "[install]\nProductName=Later Test Product\nComponents=never.dll\n");
    const std::string key = "SOFTWARE\\Kavex Software\\Later Test Product";
    CreateRegKey(RegHKeyLocalMachine, key);
    SetRegValue(RegHKeyLocalMachine, key, "", "D:\\Old Place", 1);
    DestDir = "C:\\Program Files\\Later\\";
    FindComponents();
    DeleteRegKey(RegHKeyLocalMachine, key);
    EXPECT_EQ(DestDir, "D:\\Old Place\\");
}
