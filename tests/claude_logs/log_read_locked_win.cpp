// A read that another program's byte-range lock cuts short: both scanners keep what they read and
// read the rest once the lock is gone, although the file's size never changed.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

#include "claude_logs/log_scanner.h"
#include "codex/codex_scanner.h"
#include "platform/system.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace {

// Locks bytes [offset, end of file) of `path` for the life of the object, as a writer may.
class RangeLock {
public:
    RangeLock(const std::wstring& path, DWORD offset) {
        file_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        overlapped_.Offset = offset;
        locked_ = file_ != INVALID_HANDLE_VALUE &&
                  LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1 << 20,
                             0, &overlapped_);
    }
    ~RangeLock() { Release(); }
    void Release() {
        if (locked_) UnlockFileEx(file_, 0, 1 << 20, 0, &overlapped_);
        locked_ = false;
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    bool locked() const { return locked_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped_{};
    bool locked_ = false;
};

int64_t Clock() { return static_cast<int64_t>(std::time(nullptr)); }

TEST(LockedLogRead, TheUnreadRestIsReadOnceTheLockGoes) {
    TempDir dir;
    AssistantReply first, second;
    first.messageId = "msg_a";
    second.messageId = "msg_b";
    const std::string head = AssistantLine(first) + "\n";
    WriteBytes(dir.path() / "p" / "s.jsonl", head + AssistantLine(second) + "\n");
    const std::wstring path = dir.File("p/s.jsonl");

    ClaudeLogScanner scanner;
    const int64_t now = Clock();
    RangeLock lock(path, static_cast<DWORD>(head.size()));
    ASSERT_TRUE(lock.locked());
    scanner.Scan({dir.File("p")}, now, now);
    ASSERT_EQ(scanner.files().size(), 1u);
    EXPECT_EQ(scanner.files().begin()->second.records.size(), 1u);
    lock.Release();
    scanner.Scan({dir.File("p")}, now, now);  // the same size as before
    ASSERT_EQ(scanner.files().size(), 1u);
    EXPECT_EQ(scanner.files().begin()->second.records.size(), 2u);
    EXPECT_EQ(scanner.files().begin()->second.consumed, head.size() + AssistantLine(second).size() + 1);
}

TEST(LockedLogRead, CodexReadsTheLockedEventLater) {
    TempDir dir;
    const std::string early =
        R"({"timestamp":"2025-03-01T10:00:00Z","type":"event_msg","payload":{"type":"token_count",)"
        R"("rate_limits":{"primary":{"used_percent":10.0,"window_minutes":300,"resets_at":0}}}})"
        "\n";
    const std::string late =
        R"({"timestamp":"2025-03-01T11:00:00Z","type":"event_msg","payload":{"type":"token_count",)"
        R"("rate_limits":{"primary":{"used_percent":40.0,"window_minutes":300,"resets_at":0}}}})"
        "\n";
    WriteBytes(dir.path() / "sessions" / "r.jsonl", early + late);
    const std::wstring path = dir.File("sessions/r.jsonl");

    CodexScanner scanner;
    RangeLock lock(path, static_cast<DWORD>(early.size()));
    ASSERT_TRUE(lock.locked());
    scanner.Scan(dir.File("sessions"), Clock(), Clock());
    lock.Release();
    const CodexLimits limits = scanner.Scan(dir.File("sessions"), Clock(), Clock());
    EXPECT_DOUBLE_EQ(limits.primary.usedPercent, 40.0);
}

}  // namespace
