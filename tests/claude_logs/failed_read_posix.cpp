// A read that fails part way (an I/O error): what was not read is read at the next scan, though
// the file's size never changed. /proc/self/mem stands in for a failing disk: a regular file to
// stat, whose reads at address 0 fail with EIO.
#include <gtest/gtest.h>

#include <unistd.h>

#include <ctime>

#include "claude_logs/log_scanner.h"
#include "core/log_files.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

TEST(FailedRead, TellsWhatWasReadAndThatItFailed) {
    std::vector<char> buffer;
    int blocks = 0;
    const AppendedRead read = ReadAppendedLines(L"/proc/self/mem", 0, 4096, false, buffer,
                                                [&](std::string_view) { ++blocks; });
    ASSERT_TRUE(read.opened);
    EXPECT_TRUE(read.failed);
    EXPECT_EQ(read.consumed, 0u);
    EXPECT_EQ(blocks, 0);
}

TEST(FailedRead, TheScannerOpensTheFileAgainAtTheNextScan) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "p");
    ASSERT_EQ(::symlink("/proc/self/mem", (dir.path() / "p" / "s.jsonl").c_str()), 0);
    const int64_t now = static_cast<int64_t>(std::time(nullptr));

    // The walk says the file holds 4 KiB, as a file on a failing disk would.
    ClaudeLogScanner claude(
        [](const std::wstring& root, const VisitFile& visit, const VisitUnlisted&) {
            visit(root + L"/s.jsonl", WalkedFile{4096, static_cast<int64_t>(std::time(nullptr))});
        });
    for (int scan = 0; scan < 2; ++scan) {
        claude.Scan({dir.File("p")}, now, now);
        EXPECT_EQ(claude.lastScanStats().filesOpened, 1u) << scan;
        EXPECT_EQ(claude.files().begin()->second.sizeSeen, 0u) << scan;
    }
}

}  // namespace
