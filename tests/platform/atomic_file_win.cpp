// Replacing a file keeps what Windows keeps about it besides its bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace {

TEST(WriteFileAtomicallyWindows, KeepsTheReplacedFilesAttributes) {
    TempDir dir;
    const std::wstring path = dir.File("settings.json");
    WriteBytes(dir.path() / "settings.json", "{}");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(WriteFileAtomically(path, "{\"new\":true}"));
    EXPECT_EQ(ReadWholeFile(path), "{\"new\":true}");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace
