#include "platform/system.h"

#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace {

TEST(ReadEnvironment, ReturnsValuesUnderTheBufferLimit) {
    SetEnvironment("TIDEWELL_TEST_VAR", "C:\\Users\\me");
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), L"C:\\Users\\me");
    SetEnvironment("TIDEWELL_TEST_VAR", std::string(2047, 'x').c_str());
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), std::wstring(2047, L'x'));
    SetEnvironment("TIDEWELL_TEST_VAR", std::string(2048, 'x').c_str());
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), L"");
    SetEnvironment("TIDEWELL_TEST_VAR", std::string(5000, 'x').c_str());
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), L"");
    SetEnvironment("TIDEWELL_TEST_VAR", nullptr);
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), L"");
}

TEST(ReadEnvironment, KeepsNonAsciiValues) {
    SetEnvironment("TIDEWELL_TEST_VAR", "/home/j\xC3\xBCrgen");
    EXPECT_EQ(ReadEnvironment(L"TIDEWELL_TEST_VAR"), L"/home/j\u00fcrgen");
    SetEnvironment("TIDEWELL_TEST_VAR", nullptr);
}

TEST(Folders, AreKnown) {
    EXPECT_FALSE(ExecutablePath().empty());
    EXPECT_FALSE(TempFolder().empty());
    EXPECT_TRUE(std::filesystem::is_directory(PathFromWide(TempFolder())));
}

TEST(ReadWholeFile, ReturnsEveryByteOrNothing) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
    WriteBytes(dir.path() / "data.bin", bytes);
    EXPECT_EQ(ReadWholeFile(dir.File("data.bin")), bytes);
    WriteBytes(dir.path() / "crlf.txt", "a\r\nb\r\n\x1a" "c");
    EXPECT_EQ(ReadWholeFile(dir.File("crlf.txt")), "a\r\nb\r\n\x1a" "c");  // binary, no translation
    EXPECT_EQ(ReadWholeFile(dir.File("missing.txt")), "");
    EXPECT_EQ(ReadWholeFile(dir.File("")), "");  // a folder
    WriteBytes(PathFromWide(dir.File("\xC3\xBC\xE2\x80\xA6.json")), "{}");
    EXPECT_EQ(ReadWholeFile(dir.File("\xC3\xBC\xE2\x80\xA6.json")), "{}");
}

TEST(WriteFileAtomically, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::wstring path = dir.File("settings.json");
    WriteBytes(dir.path() / "settings.json", std::string(100000, 'o'));
    ASSERT_TRUE(WriteFileAtomically(path, "{\"new\":true}"));
    EXPECT_EQ(ReadWholeFile(path), "{\"new\":true}");
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.txt"), ""));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "fresh.txt"));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST(WriteFileAtomically, FailsWithoutTouchingAnything) {
    TempDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/x.txt"), "data"));
    // A folder in the way of the file cannot be replaced.
    std::filesystem::create_directory(dir.path() / "taken");
    WriteBytes(dir.path() / "taken" / "keep.txt", "kept");
    EXPECT_FALSE(WriteFileAtomically(dir.File("taken"), "data"));
    EXPECT_EQ(ReadWholeFile(dir.File("taken/keep.txt")), "kept");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
