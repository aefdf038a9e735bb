#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "claude_logs/log_record.h"

// What the scanner remembers of one log file between scans.
struct ClaudeFileState {
    uint64_t sizeSeen = 0;  // file size at the last read
    uint64_t consumed = 0;  // bytes parsed so far; always the end of a complete line
    std::vector<ClaudeLogRecord> records;  // parsed so far, in file order
    uint64_t lastSeenScan = 0;  // the scan that last found the file; older entries are pruned
};

// The records one scan works on: those of the last 8 days, de-duplicated, in time order.
struct ClaudeLogSelection {
    bool found = false;  // at least one log root exists
    std::vector<ClaudeLogRecord> records;
};

// Reads Claude Code's logs incrementally: each scan opens only files that changed size since
// the last one, reads only their appended complete lines, and starts a file again when it
// shrinks. One instance keeps its memory for the life of the process.
class ClaudeLogScanner {
public:
    // Walks `roots` in order; files last written 8 days or more before `clockNow` are skipped
    // and forgotten. Records older than 8 days before `now` are left out of the selection.
    ClaudeLogSelection Scan(const std::vector<std::wstring>& roots, int64_t now,
                            std::filesystem::file_time_type clockNow);

    // The per-file memory, ordered by full path.
    const std::map<std::wstring, ClaudeFileState>& files() const { return files_; }

private:
    void WalkRoot(const std::wstring& root, std::filesystem::file_time_type cutoff);
    void ReadAppended(const std::wstring& path, uint64_t size, ClaudeFileState& state);
    void ParseCompleteLines(std::string_view lines, std::vector<ClaudeLogRecord>& records);
    ClaudeLogSelection Select(int64_t now) const;

    std::map<std::wstring, ClaudeFileState> files_;
    uint64_t scanCount_ = 0;
    std::vector<char> buffer_;  // reused across files; holds at most one partial line between reads
};

// Seconds in the 8 days that the scan looks back.
inline constexpr int64_t kClaudeLogLookbackSeconds = 691200;
