#pragma once

#include <cstdint>
#include <initializer_list>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Both scanners look back 8 days: at files written since, and at records of that age.
inline constexpr int64_t kLogLookbackSeconds = 691200;

// True when the file name ends in ".jsonl" exactly (case-sensitive) and is more than that
// extension (".jsonl" alone is a hidden file without one).
bool HasJsonlExtension(std::wstring_view path);

// Bytes a scan reads at most from the roots on slow file systems (WSL's file server gives a few
// megabytes a second): a large first scan there goes on over the following cycles.
inline constexpr uint64_t kSlowReadBudget = 16 << 20;

// Takes a read of `bytes` from what is `left` of a scan's slow-root budget of `whole`: false (and
// nothing taken) once it would overdraw it, except for the scan's first read, which always fits.
bool TakeFromBudget(uint64_t bytes, uint64_t& left, uint64_t whole);

// True for "audit.jsonl": Claude's desktop app keeps beside each agent session's log a partial
// copy of its records under this name, which is not read.
bool IsAuditLog(std::wstring_view path);

// `base` and then each of `parts`, joined as the system joins paths.
std::wstring JoinPath(const std::wstring& base, std::initializer_list<std::wstring_view> parts);

// True when `path` lies below `root` (either separator).
bool IsBelow(std::wstring_view path, std::wstring_view root);

// The longest line a log reader holds. Real lines stay far below (a reply with a few images in
// it is some megabytes); anything longer is garbage, such as a file of zeros with no newline,
// and is skipped unread rather than buffered whole.
inline constexpr size_t kMaxLogLineBytes = 32 << 20;

// What one incremental read did.
struct AppendedRead {
    bool opened = false;    // false: the file could not be opened (or sought); nothing was read
    uint64_t consumed = 0;  // bytes from `start` up to and including the last newline read, or
                            // up to the end of an over-long line being skipped
    uint64_t bytesRead = 0;
    bool inLongLine = false;  // the read ended inside an over-long line: skip to its newline next
    bool failed = false;  // a read failed before `size`: only `consumed` bytes were taken
};

// Reads bytes [start, size) of a growing log file in chunks and hands every block of complete
// lines (each ending in a newline) to `onLines`, in file order. Bytes after the last newline are
// left for a later read. A line longer than kMaxLogLineBytes is dropped; `inLongLine` says that
// `start` lies inside such a line. `buffer` is reused between calls; it grows only for a line
// longer than a chunk and is released again after such a line.
AppendedRead ReadAppendedLines(const std::wstring& path, uint64_t start, uint64_t size,
                               bool inLongLine, std::vector<char>& buffer,
                               const std::function<void(std::string_view lines)>& onLines);

// Calls `onLine` with each line of `lines` (a block of complete lines) that contains `key`,
// without its newline, and the position of the key's first occurrence in it. Lines without the
// key cost nothing but one search over the block.
void ForEachLineWith(std::string_view lines, std::string_view key,
                     const std::function<void(std::string_view line, size_t keyAt)>& onLine);
