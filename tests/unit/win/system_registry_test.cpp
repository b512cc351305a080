// The registry procedures and the process runner against Wine's real registry and
// processes.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "system/regprocs.h"
#include "system_test_support.h"

namespace {

constexpr const char* kTestKey = "Software\\KavexTests";

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Type and data of a value exactly as stored; type 0 and empty data when missing.
struct StoredValue {
    DWORD type = 0;
    std::string data;
    bool found = false;
};

StoredValue ReadStored(HKEY root, const std::string& path, const std::string& name) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS) {
        value.found = true;
        value.data.assign(buffer, size);
    }
    RegCloseKey(key);
    return value;
}

void PutString(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".kvtestabc");
    }
};

TEST_F(RegistryTest, CreateRegKeyMakesMissingParentsAndKeepsExistingKeys) {
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor"));
    CreateRegKey(RegHKeyLocalMachine, "SOFTWARE\\KavexTestVendor\\Product");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor\\Product"));

    // Creating it again leaves its values alone.
    PutString(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor\\Product", "kept", "yes");
    CreateRegKey(RegHKeyLocalMachine, "SOFTWARE\\KavexTestVendor\\Product");
    EXPECT_EQ(ReadStored(HKEY_LOCAL_MACHINE, "SOFTWARE\\KavexTestVendor\\Product", "kept").data,
              std::string("yes\0", 4));

    // No root: nothing is made anywhere, and nothing fails.
    CreateRegKey(0, "Software\\KavexTests\\NoRoot");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\KavexTests\\NoRoot"));
}

TEST_F(RegistryTest, SetRegValueStoresStringsWithTheirTerminatorUnderExistingKeysOnly) {
    CreateRegKey(RegHKeyClassesRoot, ".kvtestabc");
    SetRegValue(RegHKeyClassesRoot, ".kvtestabc", "", "abcfile", 1);
    StoredValue byDefault = ReadStored(HKEY_CLASSES_ROOT, ".kvtestabc", "");
    EXPECT_EQ(byDefault.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(byDefault.data.size(), 8u);
    EXPECT_EQ(byDefault.data, std::string("abcfile\0", 8));

    SetRegValue(RegHKeyClassesRoot, ".kvtestabc", "Empty", "", 1);
    StoredValue empty = ReadStored(HKEY_CLASSES_ROOT, ".kvtestabc", "Empty");
    EXPECT_TRUE(empty.found);
    EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(empty.data, std::string("\0", 1));

    // The key is never created for a value: nothing is written.
    SetRegValue(RegHKeyCurrentUser, "Software\\KavexTests\\Never", "name", "value", 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestKey));
}

TEST_F(RegistryTest, SetRegValueWritesNumbersAndNothingOfOtherTypes) {
    CreateRegKey(RegHKeyCurrentUser, kTestKey);
    SetRegValue(RegHKeyCurrentUser, kTestKey, "Count", "42", 4);
    SetRegValue(RegHKeyCurrentUser, kTestKey, "Mask", "&HFFFF", 4);
    SetRegValue(RegHKeyCurrentUser, kTestKey, "Binary", "42", 3);
    SetRegValue(RegHKeyCurrentUser, kTestKey, "Huge", "99999999999", 4);

    StoredValue count = ReadStored(HKEY_CURRENT_USER, kTestKey, "Count");
    EXPECT_EQ(count.type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(count.data.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(count.data.data()), 42);
    StoredValue mask = ReadStored(HKEY_CURRENT_USER, kTestKey, "Mask");
    ASSERT_EQ(mask.data.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(mask.data.data()), -1);
    EXPECT_FALSE(ReadStored(HKEY_CURRENT_USER, kTestKey, "Binary").found);
    EXPECT_FALSE(ReadStored(HKEY_CURRENT_USER, kTestKey, "Huge").found);
}

TEST_F(RegistryTest, DeleteRegKeyRemovesTheKeyWithEverythingBelowIt) {
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Product\\Sub\\Deeper");
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Product\\Other");
    PutString(HKEY_CURRENT_USER, "Software\\KavexTests\\Product\\Sub", "v", "x");
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Sibling");

    DeleteRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Product");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\KavexTests\\Product"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\KavexTests\\Sibling"));

    // File types live in the merged classes view; they go the same way.
    CreateRegKey(RegHKeyClassesRoot, ".kvtestabc\\ShellNew");
    DeleteRegKey(RegHKeyClassesRoot, ".kvtestabc");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".kvtestabc"));

    // A missing key: nothing happens.
    DeleteRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Product");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\KavexTests\\Sibling"));
}

TEST_F(RegistryTest, DeleteRegKeyWithoutRootOrPathTouchesNothing) {
    CreateRegKey(RegHKeyCurrentUser, "Software\\KavexTests\\Keep");
    DeleteRegKey(0, "Software\\KavexTests\\Keep");
    // An empty path must never be taken as the whole root.
    DeleteRegKey(RegHKeyCurrentUser, "");
    DeleteRegKey(RegHKeyCurrentUser, " \\ ");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\KavexTests\\Keep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Microsoft"));
}

TEST_F(RegistryTest, ReadRegStringTrimsLeadingBlanksAndKeepsTrailingOnes) {
    PutString(HKEY_CURRENT_USER, kTestKey, "Tools", "  C:\\Tools  ");
    PutString(HKEY_CURRENT_USER, kTestKey, "", "default text");
    PutString(HKEY_CURRENT_USER, kTestKey, "Longest", std::string(254, 'x'));
    PutString(HKEY_CURRENT_USER, kTestKey, "TooLong", std::string(300, 'y'));

    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, kTestKey, "Tools"), "C:\\Tools  ");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, kTestKey, ""), "default text");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, kTestKey, "Longest"), std::string(254, 'x'));
    // More than the 255-byte buffer holds reads as no value.
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, kTestKey, "TooLong"), "");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, kTestKey, "Missing"), "");
    EXPECT_EQ(ReadRegString(RegHKeyCurrentUser, "Software\\KavexTests\\NoKey", "Tools"), "");
    EXPECT_EQ(ReadRegString(0, kTestKey, "Tools"), "");
}

// Polls for a file for up to `seconds`.
bool AppearsWithin(const std::string& path, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (kvtest::PathExists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(ProcessRunnerTest, RunAndWaitReturnsOnlyAfterTheProgramEnded) {
    std::string folder = kvtest::FreshFolder("sys-process");
    std::string marker = folder + "waited.txt";
    auto started = std::chrono::steady_clock::now();
    RunAndWait(kvtest::ProgramFolder() + "kvwait.exe 800 " + marker);
    auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(kvtest::ReadFile(marker), "done");
    EXPECT_GE(elapsed, std::chrono::milliseconds(750));

    // A program that cannot be started: back at once, silently.
    started = std::chrono::steady_clock::now();
    RunAndWait(folder + "no such program.exe");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(ProcessRunnerTest, StartProgramDoesNotWait) {
    std::string folder = kvtest::FreshFolder("sys-start");
    std::string marker = folder + "started.txt";
    EXPECT_TRUE(StartProgram(kvtest::ProgramFolder() + "kvwait.exe 1500 " + marker));
    // Back before the program could have written its marker.
    EXPECT_FALSE(kvtest::PathExists(marker));
    EXPECT_TRUE(AppearsWithin(marker, 20));
    EXPECT_FALSE(StartProgram(folder + "missing.exe"));
}

// The component fixture registers itself through the system's regsvr32; waiting for
// that program is what lets the test read the registration right afterwards.
TEST(ProcessRunnerTest, RunAndWaitCoversAComponentRegistration) {
    const char* server = "CLSID\\{6B1D4E2A-3C5F-4A7B-9D8E-1F2A3B4C5D6E}\\InprocServer32";
    std::string component = kvtest::ProgramFolder() + "kvcomponent.dll";
    RunAndWait("regsvr32.exe /s " + component);
    EXPECT_STRCASEEQ(ReadRegString(RegHKeyClassesRoot, server, "").c_str(), component.c_str());
    RunAndWait("regsvr32.exe /s /u " + component);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{6B1D4E2A-3C5F-4A7B-9D8E-1F2A3B4C5D6E}"));
}

} // namespace
